// The console from the keyboard: Enter (Return or the keypad's Enter) on a focused
// button runs it in every dialog, Enter in an entry box keeps its own meaning, and
// F10 or Alt leads into the main window's menu bar.
#include "console/frmAbout.h"
#include "console/frmCopySettings.h"
#include "console/frmGeneralOptions.h"
#include "console/frmLogin.h"
#include "console/frmMain.h"
#include "console/frmManageUsers.h"
#include "lists/frmFileFilter.h"
#include "lists/frmPortFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "reporting/frmReporting.h"
#include "schedules/frmApplicationScheduler.h"
#include "schedules/frmInternetScheduler.h"
#include "schedules/frmInternetSettings.h"
#include "support/ConsoleFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QtTest/QTest>
#include <functional>

namespace {

class Keyboard_Test : public test::Owner_Dialog_Test {
public:
    template <class Form>
    void Open() {
        Open_Form<Form>();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

protected:
    // Gives the button the focus and presses the key on it, as the administrator does.
    void Press_On(QAbstractButton& button, Qt::Key key) {
        button.setFocus(Qt::TabFocusReason);
        ASSERT_EQ(button.window()->focusWidget(), &button);
        QTest::keyClick(&button, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCoreApplication::processEvents();
    }
};

// One button of one dialog, the key pressed on it, what must follow.
struct Button_Case {
    const char* strName;
    void (Keyboard_Test::*open)();
    const char* strButton;
    Qt::Key key;
    std::function<void(Keyboard_Test&)> prepare;  // before the key
    std::function<void(Keyboard_Test&)> check;    // after the key
};

class Enter_Test : public Keyboard_Test, public ::testing::WithParamInterface<Button_Case> {
public:
    // Checks of the cases, reached through the fixture.
    bool Dialog_Shown() const { return dialog && dialog->isVisible(); }
    void Expect_Only_Box(const QString& strText, long lngStyle) { Expect_Box(strText, lngStyle); }
    QStringList Rows(const QString& strSQL) {
        QStringList values;
        for (const QStringList& row : Query(strSQL)) values << row.join('|');
        return values;
    }
    template <class T>
    T* Control(const char* strName) const { return Find<T>(strName); }
    long User() const { return m_lngUser; }
    test::Fake_Forms& Forms() { return *forms; }
};

TEST_P(Enter_Test, EnterOnTheFocusedButtonRunsIt) {
    const Button_Case& c = GetParam();
    (this->*c.open)();
    if (c.prepare) c.prepare(*this);
    auto* pButton = Find<QAbstractButton>(c.strButton);
    ASSERT_NE(pButton, nullptr);
    ASSERT_TRUE(pButton->isEnabled());
    Press_On(*pButton, c.key);
    c.check(*this);
}

const auto CLOSED = [](Keyboard_Test& t) { EXPECT_FALSE(static_cast<Enter_Test&>(t).Dialog_Shown()); };

const Button_Case BUTTONS[] = {
    {"ManageUsersClose", &Keyboard_Test::Open<frmManageUsers>, "cmdClose", Qt::Key_Return, {}, CLOSED},
    {"ManageUsersAddKeypad", &Keyboard_Test::Open<frmManageUsers>, "cmdAdd", Qt::Key_Enter,
     [](Keyboard_Test& t) { static_cast<Enter_Test&>(t).Control<QLineEdit>("txtUsers")->setText("zed"); },
     [](Keyboard_Test& t) {
         auto& e = static_cast<Enter_Test&>(t);
         EXPECT_EQ(e.Rows("SELECT USER_NAME FROM USER_TBL WHERE USER_NAME='zed'"), QStringList{"zed"});
         EXPECT_TRUE(e.Dialog_Shown());
     }},
    {"InternetSettingsApply", &Keyboard_Test::Open<frmInternetSettings>, "cmdApply", Qt::Key_Return,
     [](Keyboard_Test& t) { static_cast<Enter_Test&>(t).Control<QComboBox>("cboWindowType")->setCurrentIndex(3); },
     [](Keyboard_Test& t) {
         auto& e = static_cast<Enter_Test&>(t);
         e.Expect_Only_Box("Successfully saved the changes", 64);
         EXPECT_EQ(e.Rows(QString("SELECT URL_MSG_TYPE FROM USER_TBL WHERE USER_ID=%1").arg(e.User())), QStringList{"3"});
     }},
    {"InternetSettingsClose", &Keyboard_Test::Open<frmInternetSettings>, "cmdClose", Qt::Key_Enter, {}, CLOSED},
    {"GeneralOptionsClose", &Keyboard_Test::Open<frmGeneralOptions>, "cmdClose", Qt::Key_Return, {}, CLOSED},
    {"ReportingClose", &Keyboard_Test::Open<frmReporting>, "cmdClose", Qt::Key_Return, {}, CLOSED},
    {"CopySettingsClose", &Keyboard_Test::Open<frmCopySettings>, "cmdClose", Qt::Key_Return, {}, CLOSED},
    {"WebsiteFilterClose", &Keyboard_Test::Open<frmWebsiteFilter>, "cmdClose", Qt::Key_Return, {}, CLOSED},
    {"PortFilterClose", &Keyboard_Test::Open<frmPortFilter>, "cmdClose", Qt::Key_Enter, {}, CLOSED},
    {"FileFilterCopySettingsPicture", &Keyboard_Test::Open<frmFileFilter>, "cmdCopySettings", Qt::Key_Return, {},
     [](Keyboard_Test& t) {
         EXPECT_EQ(static_cast<Enter_Test&>(t).Forms().shown, std::vector<QString>{"frmCopySettings"});
     }},
    {"InternetSchedulerClose", &Keyboard_Test::Open<frmInternetScheduler>, "cmdClose", Qt::Key_Return, {}, CLOSED},
    {"ApplicationSchedulerAdd", &Keyboard_Test::Open<frmApplicationScheduler>, "cmAdd", Qt::Key_Return, {},
     [](Keyboard_Test& t) {
         auto& e = static_cast<Enter_Test&>(t);
         EXPECT_EQ(e.Rows(QString("SELECT D_W_M FROM SCH_TBL WHERE SCH_FOR=2 AND USER_ID=%1").arg(e.User())),
                   QStringList{"1"});
     }},
};
INSTANTIATE_TEST_SUITE_P(Buttons, Enter_Test, ::testing::ValuesIn(BUTTONS),
                         [](const auto& info) { return std::string(info.param.strName); });

TEST_F(Keyboard_Test, EnterInTheEntryBoxStillAddsAndClicksNoButton) {
    Open<frmManageUsers>();
    auto* pEntry = Find<QLineEdit>("txtUsers");
    pEntry->setFocus();
    QTest::keyClicks(pEntry, "yvonne");
    QTest::keyClick(pEntry, Qt::Key_Return);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL WHERE USER_NAME='yvonne'"), "1");
    EXPECT_TRUE(dialog->isVisible()) << "no button ran";
    EXPECT_EQ(pEntry->text(), "");
}

TEST_F(Keyboard_Test, EnterOnTheAboutBoxesOkClosesIt) {
    frmAbout about(&Console());
    about.show();
    about.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    Press_On(*about.findChild<QAbstractButton*>("cmdOK"), Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(Keyboard_Test, EnterOnTheLoginButtonsChecksThePasswordOrCloses) {
    frmLogin login;
    login.show();
    login.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&login));
    login.findChild<QLineEdit*>("txtPassword")->setText("wrong");
    Press_On(*login.findChild<QAbstractButton*>("cmdLogin"), Qt::Key_Return);
    Expect_Box("Please enter a valid Password!", 48);
    EXPECT_TRUE(login.isVisible());
    Press_On(*login.findChild<QAbstractButton*>("cmdClose"), Qt::Key_Enter);
    EXPECT_FALSE(login.isVisible());
}

// ---------------------------------------------------------------- the menu bar

class Menu_Key_Test : public Keyboard_Test {
protected:
    void SetUp() override {
        Keyboard_Test::SetUp();
        Console().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Console()));
        bar = Console().menuBar();
    }
    void TearDown() override {
        if (QWidget* pPopup = QApplication::activePopupWidget()) pPopup->close();
        Keyboard_Test::TearDown();
    }
    QMenu* Menu(const char* strName) { return Console().findChild<QMenu*>(QString::fromLatin1(strName)); }
    // A key to whatever has the keyboard now: an open menu, or the window.
    void Key(Qt::Key key) {
        QWidget* pTarget = QApplication::activePopupWidget();
        if (!pTarget) pTarget = QApplication::focusWidget() ? QApplication::focusWidget() : &Console();
        QTest::keyClick(pTarget, key);
        QCoreApplication::processEvents();
    }
    QMenuBar* bar = nullptr;
};

TEST_F(Menu_Key_Test, F10OpensTheFileMenuAndTheArrowsReachAboutInHelp) {
    Key(Qt::Key_F10);
    EXPECT_EQ(bar->activeAction(), Menu("mnuFile")->menuAction());
    EXPECT_TRUE(Menu("mnuFile")->isVisible());
    // Left from the first menu wraps round to the last one, Help; Up picks its last item.
    Key(Qt::Key_Left);
    ASSERT_TRUE(Menu("mnuHelp")->isVisible());
    Key(Qt::Key_Up);
    EXPECT_EQ(Menu("mnuHelp")->activeAction()->objectName(), "mnuAbout");
    Key(Qt::Key_Return);
    EXPECT_EQ(forms->shown, std::vector<QString>{"frmAbout"});
}

TEST_F(Menu_Key_Test, AltAloneEntersTheMenuBarAndEnterOpensTheLitMenu) {
    Key(Qt::Key_Alt);
    EXPECT_EQ(bar->activeAction(), Menu("mnuFile")->menuAction());
    EXPECT_FALSE(Menu("mnuFile")->isVisible()) << "Alt lights the first menu without opening it";
    Key(Qt::Key_Return);
    ASSERT_TRUE(Menu("mnuFile")->isVisible());
    // The menu opens with its first item lit; Enter runs it, which asks first.
    messageBox->Answer(platform::vbNo);
    EXPECT_EQ(Menu("mnuFile")->activeAction()->objectName(), "mnuRegisterFilters");
    Key(Qt::Key_Return);
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.startsWith("This will re-register the filters."));
}

}  // namespace

namespace {

// Tab and Shift+Tab walk every control of the console that takes input, in the form's
// order, and come round again: the user list among them, so that a keyboard alone can
// choose whose policies are edited.
class Console_Tab_Test : public test::Console_Test {
protected:
    // The form's control that has the focus: a list view hands it to the view inside it.
    static QString Control_Name(QWidget* pFocus) {
        if (!pFocus) return QStringLiteral("(none)");
        while (pFocus->parentWidget() && pFocus->parentWidget()->focusProxy() == pFocus) pFocus = pFocus->parentWidget();
        return pFocus->objectName();
    }
    QStringList Walk(Qt::KeyboardModifiers modifiers, int lngSteps) {
        QStringList names;
        for (int i = 0; i < lngSteps; ++i) {
            QWidget* pFocus = QApplication::focusWidget();
            if (!pFocus) break;
            QTest::keyClick(pFocus, Qt::Key_Tab, modifiers);
            QCoreApplication::processEvents();
            names << Control_Name(QApplication::focusWidget());
        }
        return names;
    }
};

TEST_F(Console_Tab_Test, TabAndShiftTabReachTheUserListInTheFormsOrder) {
    Insert_User("alice");
    Open_Console();
    console->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(console.get()));
    console->findChild<QWidget*>("lvwMain_0")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Walk(Qt::NoModifier, 5),
              (QStringList{"lvwMain_1", "lvwMain_2", "cboUsers", "lvwMain_0", "lvwMain_1"}));
    EXPECT_EQ(Walk(Qt::ShiftModifier, 5),
              (QStringList{"lvwMain_0", "cboUsers", "lvwMain_2", "lvwMain_1", "lvwMain_0"}));
    // The user list reached from the keyboard changes whose policies are shown.
    console->cboUsers->setFocus(Qt::TabFocusReason);
    const int intAlice = console->cboUsers->findText("alice");
    ASSERT_GE(intAlice, 0);
    while (console->cboUsers->currentIndex() != intAlice) {
        const int intBefore = console->cboUsers->currentIndex();
        QTest::keyClick(console->cboUsers, intBefore < intAlice ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_NE(console->cboUsers->currentIndex(), intBefore);
    }
    EXPECT_EQ(Selected_Tag(), Scalar("SELECT USER_ID FROM USER_TBL WHERE USER_NAME='alice'"));
}

}  // namespace
