#include "console/frmLogin.h"
#include "console/frmMain.h"
#include "services/modProgram.h"
#include "support/Fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

namespace {

class LoginTest : public test::Dv_Test {
protected:
    void SetUp() override {
        Dv_Test::SetUp();
        login = std::make_unique<frmLogin>();
        login->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(login.get()));
        login->activateWindow();
        txtPassword = login->findChild<QLineEdit*>("txtPassword");
        ASSERT_NE(txtPassword, nullptr);
        txtPassword->setFocus();
    }
    void TearDown() override {
        // The console that an accepted login opened (it deletes itself when closed;
        // deleted here without closing, so the log stays as the test left it).
        std::vector<frmMain*> consoles;
        for (QWidget* pWidget : QApplication::topLevelWidgets())
            if (auto* pMain = qobject_cast<frmMain*>(pWidget)) consoles.push_back(pMain);
        for (frmMain* pMain : consoles) delete pMain;
        login.reset();
        Dv_Test::TearDown();
    }

    void Type_And_Enter(const QString& strText) {
        txtPassword->setFocus();
        QTest::keyClicks(txtPassword, strText);
        QTest::keyClick(txtPassword, Qt::Key_Return);
    }
    static frmMain* Open_Console() {
        for (QWidget* pWidget : QApplication::topLevelWidgets())
            if (auto* pMain = qobject_cast<frmMain*>(pWidget); pMain && pMain->isVisible()) return pMain;
        return nullptr;
    }
    bool Log_Has(const QString& strText) const {
        for (const QString& strLine : Log_Lines())
            if (strLine.startsWith(strText)) return true;
        return false;
    }

    std::unique_ptr<frmLogin> login;
    QLineEdit* txtPassword = nullptr;
};

TEST_F(LoginTest, LoadingCompactsTheDatabaseAndMasksTheBox) {
    EXPECT_TRUE(Log_Has("I: Database compressed successfully!"));
    EXPECT_EQ(login->windowTitle(), "Login - DravinoleTS");
    EXPECT_EQ(txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(txtPassword->maxLength(), 20);
    EXPECT_EQ(txtPassword->toolTip(), "Default password is 'Marigold' without quotes.");
    EXPECT_EQ(txtPassword->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, txtPassword), 0x2022);
    EXPECT_FALSE(login->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(login->windowFlags() & Qt::WindowMinimizeButtonHint);
    // Typed or pasted, the box keeps 20 characters.
    QTest::keyClicks(txtPassword, QString(25, 'a'));
    EXPECT_EQ(txtPassword->text(), QString(20, 'a'));
    txtPassword->clear();
    txtPassword->insert(QString(25, 'b'));
    EXPECT_EQ(txtPassword->text(), QString(20, 'b'));
}

TEST_F(LoginTest, TabOrderIsPasswordLoginClose) {
    auto* cmdLogin = login->findChild<QPushButton*>("cmdLogin");
    auto* cmdClose = login->findChild<QPushButton*>("cmdClose");
    txtPassword->setFocus();
    QTest::keyClick(txtPassword, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), cmdLogin);
    QTest::keyClick(cmdLogin, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), cmdClose);
    QTest::keyClick(cmdClose, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), txtPassword);
    EXPECT_FALSE(cmdLogin->isDefault());
    EXPECT_FALSE(cmdClose->isDefault());
}

class WrongPasswordTest : public LoginTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(WrongPasswordTest, IsRefusedAndTheBoxIsEmptiedWithTheFocus) {
    // Any number of attempts leaves the dialog usable.
    for (int intAttempt = 0; intAttempt < 3; ++intAttempt) {
        Type_And_Enter(GetParam());
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, "Please enter a valid Password!");
        EXPECT_EQ(boxes[0].lngStyle, 48);
        EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
        EXPECT_EQ(txtPassword->text(), "");
        EXPECT_EQ(QApplication::focusWidget(), txtPassword);
        EXPECT_TRUE(login->isVisible());
        EXPECT_EQ(Open_Console(), nullptr);
    }
    // Nothing is logged for a refused password, and the log stays open.
    EXPECT_FALSE(Log_Has("I: Application Closing"));
    EXPECT_TRUE(modProgram::Application_Log);
}

INSTANTIATE_TEST_SUITE_P(Cases, WrongPasswordTest,
                         ::testing::Values("", "marigold", "MARIGOLD", "Marigold ", " Marigold", "Mari", "x' OR '1'='1"));

TEST_F(LoginTest, APastedNulIsAWrongPasswordAndNoBoxOrLogLineShowsThePassword) {
    txtPassword->insert(QStringLiteral("Marigold") + QChar(0) + QStringLiteral("x"));
    QTest::keyClick(txtPassword, Qt::Key_Return);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Please enter a valid Password!");
    EXPECT_EQ(Open_Console(), nullptr);
    EXPECT_EQ(txtPassword->text(), "");
    for (const QString& strLine : Log_Lines()) EXPECT_FALSE(strLine.contains("Marigold")) << strLine.toStdString();
}

TEST_F(LoginTest, TheRightPasswordOpensTheConsoleAndKeepsTheLogOpen) {
    Type_And_Enter("Marigold");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(login->isVisible());
    frmMain* pMain = Open_Console();
    ASSERT_NE(pMain, nullptr);
    EXPECT_EQ(pMain->parentWidget(), nullptr) << "the console has no owner";
    EXPECT_FALSE(pMain->isModal());
    EXPECT_TRUE(pMain->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(Log_Has("I: Application Closing"));
    EXPECT_TRUE(modProgram::Application_Log);
}

TEST_F(LoginTest, TheLoginButtonChecksLikeEnter) {
    Exec("UPDATE SETTINGS_TBL SET PWD='Other pass'");
    QTest::keyClicks(txtPassword, "Marigold");
    QTest::mouseClick(login->findChild<QPushButton*>("cmdLogin"), Qt::LeftButton);
    ASSERT_EQ(Boxes().size(), 1u);
    QTest::keyClicks(txtPassword, "Other pass");
    QTest::mouseClick(login->findChild<QPushButton*>("cmdLogin"), Qt::LeftButton);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_NE(Open_Console(), nullptr);
}

// A password another program stored in Windows-1252, as a blob, or cut inside its last
// character is accepted when typed as the console reads it, and only so; it stays as stored.
struct Stored_Password {
    const char* strName;
    const char* strSql;
    QString strTyped;
    QString strWrong;
};

void PrintTo(const Stored_Password& p, std::ostream* os) { *os << p.strName; }

class LoginStoredFormTest : public LoginTest, public ::testing::WithParamInterface<Stored_Password> {
protected:
    // Typed as pasted text: key clicks carry no character outside ASCII.
    void Paste_And_Enter(const QString& strText) {
        txtPassword->setFocus();
        txtPassword->insert(strText);
        QTest::keyClick(txtPassword, Qt::Key_Return);
    }
};

TEST_P(LoginStoredFormTest, ThePasswordTypedAsShownLogsIn) {
    Exec(QStringLiteral("UPDATE SETTINGS_TBL SET PWD=") + GetParam().strSql);
    const QString strStored = Scalar("SELECT hex(PWD) || typeof(PWD) FROM SETTINGS_TBL");
    Paste_And_Enter(GetParam().strWrong);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Please enter a valid Password!");
    EXPECT_EQ(Open_Console(), nullptr);
    Paste_And_Enter(GetParam().strTyped);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_NE(Open_Console(), nullptr);
    EXPECT_EQ(Scalar("SELECT hex(PWD) || typeof(PWD) FROM SETTINGS_TBL"), strStored);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, LoginStoredFormTest,
    ::testing::Values(
        Stored_Password{"Windows1252", "CAST(X'50617373E9' AS TEXT)", QString::fromUtf8("Pass\u00e9"), "Pass"},
        Stored_Password{"Blob", "X'50617373C3A9'", QString::fromUtf8("Pass\u00e9"), "passé"},
        Stored_Password{"CutUtf8", "CAST(X'436166C3A9205AC3' AS TEXT)", QString::fromUtf8("Caf\u00e9 Z\ufffd"),
                        QString::fromUtf8("Caf\u00e9 Z\u00e9")}),
    [](const auto& info) { return std::string(info.param.strName); });

TEST_F(LoginTest, AnEmptyStoredPasswordAcceptsAnEmptyBox) {
    Exec("UPDATE SETTINGS_TBL SET PWD=''");
    Type_And_Enter("");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_NE(Open_Console(), nullptr);
}

TEST_F(LoginTest, AFailedPasswordQueryCountsAsAWrongPassword) {
    Exec("DROP TABLE SETTINGS_TBL");
    Type_And_Enter("Marigold");
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].lngStyle, 16) << "the database layer reports the failed query";
    EXPECT_EQ(boxes[1].strText, "Please enter a valid Password!");
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(Open_Console(), nullptr);
}

enum class Close_Way { Close_Button, Esc_In_Box, Close_Box };
void PrintTo(Close_Way way, std::ostream* os) {
    *os << (way == Close_Way::Close_Button ? "Close button" : way == Close_Way::Esc_In_Box ? "Esc in the box" : "close box");
}

class CloseWithoutLoginTest : public LoginTest, public ::testing::WithParamInterface<Close_Way> {};

TEST_P(CloseWithoutLoginTest, EndsTheRunWithTheLogsEndLines) {
    switch (GetParam()) {
        case Close_Way::Close_Button: QTest::mouseClick(login->findChild<QPushButton*>("cmdClose"), Qt::LeftButton); break;
        case Close_Way::Esc_In_Box: QTest::keyClick(txtPassword, Qt::Key_Escape); break;
        case Close_Way::Close_Box: login->close(); break;
    }
    EXPECT_FALSE(login->isVisible());
    EXPECT_FALSE(modProgram::Application_Log) << "the log object is released";
    const QStringList lines = Log_Lines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[lines.size() - 3].startsWith("I: Application Closing"));
    EXPECT_EQ(lines[lines.size() - 2].trimmed(), "Stop");
    EXPECT_EQ(lines.last().trimmed(), QString(50, '+'));
    EXPECT_EQ(Open_Console(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, CloseWithoutLoginTest,
                         ::testing::Values(Close_Way::Close_Button, Close_Way::Esc_In_Box, Close_Way::Close_Box));

TEST_F(LoginTest, EscOutsideThePasswordBoxDoesNothing) {
    auto* cmdLogin = login->findChild<QPushButton*>("cmdLogin");
    cmdLogin->setFocus();
    QTest::keyClick(cmdLogin, Qt::Key_Escape);
    EXPECT_TRUE(login->isVisible());
    EXPECT_TRUE(modProgram::Application_Log);
}

TEST_F(LoginTest, TheAddressLabelOpensTheHomePageMaximized) {
    QTest::mouseClick(login->findChild<QLabel*>("lblHomeSite"), Qt::LeftButton);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].strVerb, "open");
    EXPECT_TRUE(shell->calls[0].strFile.startsWith("http://"));
    EXPECT_EQ(shell->calls[0].strParameters, "");
    EXPECT_EQ(shell->calls[0].strDirectory, "");
    EXPECT_EQ(shell->calls[0].lngShowCmd, 3);
}

}  // namespace
