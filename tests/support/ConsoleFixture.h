#pragma once
// The console fixture: the settings database fixture with the console window on it,
// for the tests of the console and of every dialog opened from it. Set the database
// up first, then Open_Console(): the window reads the settings while it loads.

#include "support/Fixture.h"

#include "console/frmMain.h"

#include <QAbstractButton>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>

namespace test {

class Console_Test : public Dv_Test {
protected:
    void TearDown() override;

    // Creates and shows the console window on the fixture's database. Its start-up
    // network filter check is stopped unless blnRunFilterCheck.
    frmMain& Open_Console(bool blnRunFilterCheck = false);
    frmMain& Console() { return *console; }

    // A control of the console window by its name.
    template <class T>
    T* Control(const QString& strName) const {
        T* pControl = console->findChild<T*>(strName);
        EXPECT_NE(pControl, nullptr) << "no control " << strName.toStdString();
        return pControl;
    }
    // Reloads the console's user list and picks the user with this name, as an
    // administrator would (the console must be open).
    void Select_User(const QString& strName);
    // The Tag of cboUsers, as dialogs read it.
    QString Selected_Tag() const;

    std::unique_ptr<frmMain> console;
};

// One dialog over the console. Set the database up first: Open_Form opens the
// console when it is not open yet, then creates the dialog on it (a fresh load).
class Dialog_Test : public Console_Test {
protected:
    void TearDown() override;

    template <class Form>
    Form& Open_Form() {
        if (!console) Open_Console();
        dialog.reset();
        dialog = std::make_unique<Form>(*console);
        dialog->show();
        return static_cast<Form&>(*dialog);
    }
    // A control of the open dialog by its name.
    template <class T>
    T* Find(const char* strName) const {
        T* pControl = dialog->findChild<T*>(QString::fromLatin1(strName));
        EXPECT_NE(pControl, nullptr) << "no control " << strName;
        return pControl;
    }
    void Click(const char* strName) { Find<QAbstractButton>(strName)->click(); }
    bool Enabled(const char* strName) const { return Find<QWidget>(strName)->isEnabled(); }
    bool Shown(const char* strName) const { return !Find<QWidget>(strName)->isHidden(); }
    // The item texts of a list view of the dialog, in list order.
    QStringList Listed(const char* strList) const;
    // Selects exactly these items of a list view of the dialog.
    void Select_Only(const char* strList, std::initializer_list<long> items);
    // Edits an item in place as the administrator does: selects it, presses the edit
    // button, types the text and Enter. False when no editor opened.
    bool Edit_In_Place(const char* strList, const char* strEditButton, long lngIndex, const QString& strText);
    // Takes the one box shown and checks its text, style and title.
    void Expect_Box(const QString& strText, long lngStyle);
    // Runs action (Apply disabled before it) and counts the runs of the option handlers
    // that enable Apply: each signal of the options (toggled, clicked) is watched after
    // the dialog's own handlers for it, and an Apply found enabled then counts one run
    // and is disabled again, so that a second run on the same click counts too.
    int Apply_Enabling_Runs(const std::vector<QAbstractButton*>& options, const std::function<void()>& action);
    // A file in the test's folder holding these bytes.
    QString Write_File(const QByteArray& bytes, const QString& strName = QStringLiteral("import.txt"));

    std::unique_ptr<QDialog> dialog;
};

// A feature dialog for the user "alice", chosen in the open console: the fixture of
// every dialog that edits one owner's policies.
class Owner_Dialog_Test : public Dialog_Test {
protected:
    void SetUp() override;

    // The owner's values of a one-column list table, in insertion order.
    QStringList Stored(const QString& strTable, const QString& strColumn);
    // A column of the owner's USER_TBL row.
    QString User_Column(const char* strColumn);

    long m_lngUser = 0;
};

// What a table of cases over the dialogs reaches of the fixture: each case's steps are
// functions given the test, so these stand in public.
class Dialog_Case_Test : public Owner_Dialog_Test {
public:
    template <class Form>
    void Open_Dialog() {
        Open_Form<Form>();
    }
    template <class T>
    T* Control(const char* strName) const {
        return Find<T>(strName);
    }
    void Press(const char* strName) { Click(strName); }
    // Answers Yes to the question the press asks.
    void Press_Yes(const char* strName) {
        messageBox->Answer(platform::vbYes);
        Click(strName);
    }
};

}  // namespace test
