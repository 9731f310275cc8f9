#pragma once
// Test doubles of the platform services: they record every call and answer from queues.

#include "platform/Platform.h"

#include <QDateTime>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace test {

struct Shown_Box {
    QString strText;
    long lngStyle;
    QString strTitle;
};

class Fake_Message_Box : public platform::IMessageBox {
public:
    int Show(const QString& strText, long lngStyle, const QString& strTitle) override;
    // Queues the answer to the next box (vbYes, vbNo, vbOK).
    void Answer(int intAnswer) { answers.push_back(intAnswer); }
    // Hands back the boxes shown so far and forgets them.
    std::vector<Shown_Box> Take();
    std::vector<Shown_Box> shown;
    std::deque<int> answers;
};

class Fake_File_Dialog : public platform::IFileDialog {
public:
    bool Show_Open(platform::Common_Dialog& dlg, QWidget* pOwner) override;
    bool Show_Save(platform::Common_Dialog& dlg, QWidget* pOwner) override;
    // Queues the next choice: a file name, or std::nullopt for Cancel.
    void Choose(std::optional<QString> strFileName) { choices.push_back(std::move(strFileName)); }
    std::vector<platform::Common_Dialog> opened;  // what each open dialog was given
    std::vector<platform::Common_Dialog> saved;   // what each save dialog was given
    std::deque<std::optional<QString>> choices;
    int unexpected = 0;

private:
    bool Next(platform::Common_Dialog& dlg);
};

struct Shell_Call {
    QString strVerb, strFile, strParameters, strDirectory;
    long lngShowCmd;
};

class Fake_Shell : public platform::IShell {
public:
    long Shell_Execute(const QString& strVerb, const QString& strFile, const QString& strParameters,
                       const QString& strDirectory, long lngShowCmd) override {
        calls.push_back({strVerb, strFile, strParameters, strDirectory, lngShowCmd});
        return 42;
    }
    bool Start_Hidden(const QString& strProgram, const QStringList& arguments) override {
        started.push_back({strProgram, arguments});
        return blnStartSucceeds;
    }
    std::vector<Shell_Call> calls;
    std::vector<std::pair<QString, QStringList>> started;
    bool blnStartSucceeds = true;
};

// Shows nothing: records the form and lets the test drive it while it is "open".
class Fake_Forms : public platform::IForms {
public:
    int Show_Modal(QWidget& form, QWidget* pOwner) override;
    // Called with each form while it is shown modally.
    std::function<void(QWidget& form)> onShow;
    std::vector<QString> shown;  // objectName of each form shown
    std::vector<QWidget*> owners;
};

class Fake_Environment : public platform::IEnvironment {
public:
    QString Windows_Directory() override { return strWindowsDirectory; }
    QString Program_Folder() override { return strProgramFolder; }
    QString Program_File_Name() override { return strProgramFileName; }
    QString Logged_On_User_Name() override { return strUserName; }
    bool Is_Wow64_Process() override { return blnWow64; }
    QString strWindowsDirectory, strProgramFolder, strProgramFileName = QStringLiteral("DravinoleTS"),
                                                   strUserName = QStringLiteral("administrator");
    bool blnWow64 = false;
};

class Fake_Instance_Lock : public platform::IInstanceLock {
public:
    long Create_Mutex(const QString& strName) override {
        names.push_back(strName);
        return 1;
    }
    bool Previous_Instance() override { return blnPrevious; }
    bool blnPrevious = false;
    std::vector<QString> names;
};

class Fake_Clock : public platform::IClock {
public:
    QDateTime Now() override { return now; }
    QDateTime now = QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9));
};

}  // namespace test
