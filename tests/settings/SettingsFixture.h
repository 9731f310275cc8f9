#pragma once
// The settings dialogs' tests: the console on a fresh database with the user "alice"
// selected, one dialog open over it, and a switch that makes the database refuse
// every change of one table.

#include "support/ConsoleFixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <memory>

namespace test {

template <class Form>
class Settings_Test : public Console_Test {
protected:
    void SetUp() override {
        Console_Test::SetUp();
        m_lngUser = Insert_User("alice");
        Open_Console();
        Select_User("alice");
    }
    void TearDown() override {
        dialog.reset();
        Console_Test::TearDown();
    }

    Form& Open() {
        dialog = std::make_unique<Form>(*console);
        dialog->show();
        return *dialog;
    }
    template <class T>
    T* Find(const char* strName) const {
        T* p = dialog->template findChild<T*>(QString::fromLatin1(strName));
        EXPECT_NE(p, nullptr) << strName;
        return p;
    }
    void Click(const char* strName) { Find<QAbstractButton>(strName)->click(); }
    bool Enabled(const char* strName) const { return Find<QWidget>(strName)->isEnabled(); }
    bool Shown(const char* strName) const { return !Find<QWidget>(strName)->isHidden(); }

    // From now on every UPDATE (or DELETE, INSERT) of the table fails with "refused".
    void Refuse(const char* strEvent, const QString& strTable, const QString& strWhen = QString()) {
        Exec(QString("CREATE TRIGGER refuse_%1_%2 BEFORE %1 ON %2 %3 BEGIN SELECT RAISE(ABORT, 'refused'); END")
                 .arg(QLatin1String(strEvent), strTable, strWhen.isEmpty() ? QString() : "WHEN " + strWhen));
    }
    // Takes the one database error box that a refused statement shows.
    void Expect_One_Database_Error() {
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_TRUE(boxes[0].strText.contains("refused")) << boxes[0].strText.toStdString();
    }
    // Takes the one success box of Apply.
    void Expect_Saved(const QString& strText = QStringLiteral("Successfully saved the changes")) {
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, strText);
        EXPECT_EQ(boxes[0].lngStyle, 64);
        EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    }
    QString User_Column(const char* strColumn) {
        return Scalar(QString("SELECT %1 FROM USER_TBL WHERE USER_ID=%2").arg(QLatin1String(strColumn)).arg(m_lngUser));
    }

    long m_lngUser = 0;
    std::unique_ptr<Form> dialog;
};

}  // namespace test
