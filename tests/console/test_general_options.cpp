// The general options dialog: load, pages, what enables Apply, and the Apply
// sequence with what is stored after each refusal.
#include "console/frmGeneralOptions.h"
#include "console/frmMain.h"
#include "platform/Controls.h"
#include "services/MakerLinks.h"
#include "services/modGlobal.h"
#include "support/ConsoleFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <array>

using platform::ListView;

namespace {

struct Settings {
    QString strMode, strPwd, strClientOptions, strRemoteMode, strServerName, strClientPort;
    bool operator==(const Settings&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Settings& s) {
    return os << "{mode " << s.strMode.toStdString() << ", pwd " << s.strPwd.toStdString() << ", options "
              << s.strClientOptions.toStdString() << ", remote " << s.strRemoteMode.toStdString() << ", server "
              << s.strServerName.toStdString() << ", port " << s.strClientPort.toStdString() << "}";
}

// The settings row of a fresh database.
const Settings INITIAL{"1", "Marigold", "0", "0", "localhost", "2705"};

class GeneralOptionsTest : public test::Dialog_Test {
protected:
    void Open() { Open_Form<frmGeneralOptions>(); }
    QLineEdit* Box(const char* strName) const { return Find<QLineEdit>(strName); }
    QRadioButton* Option(const char* strName) const { return Find<QRadioButton>(strName); }
    ListView* Clients() const { return Find<ListView>("lvwClientSettings"); }
    QPushButton* Apply() const { return Find<QPushButton>("cmdApply"); }
    QGroupBox* Page(int i) const { return Find<QGroupBox>(qPrintable(QString("fraGeneralOptions_%1").arg(i))); }
    int Shown_Page() const {
        int intShown = -1;
        for (int i = 0; i < 4; ++i)
            if (!Page(i)->isHidden()) {
                EXPECT_EQ(intShown, -1) << "two pages shown";
                intShown = i;
            }
        return intShown;
    }
    // Ticks or clears a client item as the administrator does.
    void Tick_Client(long lngItem, bool blnTicked) {
        ListView& list = *Clients();
        list.Model()->setData(list.Model()->index(static_cast<int>(lngItem - 1), 0),
                              blnTicked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    }
    Settings Stored() {
        const test::Rows rows = Query(
            "SELECT PROGRAM_MODE, PWD, CLIENT_OPTIONS, REMOTE_MODE, SERVER_NAME, CLIENT_PORT FROM SETTINGS_TBL");
        const QStringList& r = rows.at(0);
        return {r[0], r[1], r[2], r[3], r[4], r[5]};
    }
    // Apply answered Yes.
    void Apply_Yes() {
        messageBox->Answer(platform::vbYes);
        Apply()->click();
    }
    // The boxes of one Apply after its question.
    void Expect_Boxes(const std::vector<std::pair<QString, long>>& expected) {
        const std::vector<test::Shown_Box> boxes = Boxes();
        ASSERT_EQ(boxes.size(), expected.size() + 1);
        EXPECT_EQ(boxes[0].strText, "Are you sure you want to change the Settings?");
        EXPECT_EQ(boxes[0].lngStyle, 36);
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(boxes[i + 1].strText, expected[i].first);
            EXPECT_EQ(boxes[i + 1].lngStyle, expected[i].second);
            EXPECT_EQ(boxes[i + 1].strTitle, "DravinoleTS");
        }
    }
    static bool Same_Picture(const QLabel& picture, const QString& strFile) {
        const QImage shown = picture.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage expected = QIcon(":/console/icons/" + strFile + ".png").pixmap(48, 48).toImage().convertToFormat(
            QImage::Format_ARGB32);
        return !shown.isNull() && shown == expected;
    }

};

// ---------------------------------------------------------------- load

TEST_F(GeneralOptionsTest, LoadShowsTheStoredSettingsWithApplyDisabled) {
    Exec("UPDATE SETTINGS_TBL SET CLIENT_OPTIONS=5");
    Open();
    EXPECT_EQ(dialog->windowTitle(), "General Options - " + console->cboUsers->currentText());
    EXPECT_FALSE(Apply()->isEnabled());
    EXPECT_TRUE(Option("optUser")->isChecked());
    EXPECT_FALSE(Option("optComputer")->isChecked());
    EXPECT_TRUE(Same_Picture(*Find<QLabel>("picMode"), "User"));
    EXPECT_TRUE(Same_Picture(*Find<QLabel>("picPassword"), "Password"));
    EXPECT_TRUE(Option("optDisableRemoteMode")->isChecked());
    EXPECT_TRUE(Same_Picture(*Find<QLabel>("picRemoteMode"), "LocalMode"));
    EXPECT_EQ(Box("txtServerName")->text(), "localhost");
    EXPECT_EQ(Box("txtClientPortNo")->text(), "2705");
    EXPECT_EQ(Box("txtClientPortNo")->maxLength(), 5);
    EXPECT_FALSE(modGlobal::Is_Remote_Mode);

    // Client options 5 = bits 1 and 4.
    const ListView& list = *Clients();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Column_Text(1), "Client Security and General Options");
    const QStringList keys{"c0", "c1", "c2"};
    const QStringList texts{
        "Do not let Windows Administrators users to stop the client service.",
        "Automatically run client sevice when computer starts up.",
        "Enable filtering even if the client service is not running (for extra security).",
    };
    for (long i = 1; i <= 3; ++i) {
        EXPECT_EQ(list.Key(i), keys[i - 1]);
        EXPECT_EQ(list.Text(i), texts[i - 1]);
        EXPECT_EQ(list.Small_Icon(i), "Client");
    }
    EXPECT_TRUE(list.Checked(1));
    EXPECT_FALSE(list.Checked(2));
    EXPECT_TRUE(list.Checked(3));

    // Local mode: the mode and client controls work, the remote boxes do not.
    EXPECT_TRUE(Option("optComputer")->isEnabled());
    EXPECT_TRUE(Option("optUser")->isEnabled());
    EXPECT_TRUE(Clients()->isEnabled());
    EXPECT_FALSE(Box("txtServerName")->isEnabled());
    EXPECT_FALSE(Box("txtClientPortNo")->isEnabled());

    for (const char* strName : {"txtNewPassword", "txtConfirmPassword"}) {
        EXPECT_EQ(Box(strName)->echoMode(), QLineEdit::Password) << strName;
        EXPECT_TRUE(Box(strName)->styleSheet().contains("lineedit-password-character: 8226")) << strName;
        EXPECT_EQ(Box(strName)->text(), "") << strName;
    }
}

TEST_F(GeneralOptionsTest, LoadInRemoteModeSetsTheFlagAndSwapsTheControls) {
    Exec("UPDATE SETTINGS_TBL SET REMOTE_MODE=1, PROGRAM_MODE=0");
    Open();
    EXPECT_TRUE(modGlobal::Is_Remote_Mode);
    EXPECT_TRUE(Option("optEnableRemoteMode")->isChecked());
    EXPECT_TRUE(Same_Picture(*Find<QLabel>("picRemoteMode"), "RemoteMode"));
    EXPECT_TRUE(Option("optComputer")->isChecked());
    EXPECT_TRUE(Same_Picture(*Find<QLabel>("picMode"), "AllUserMode"));
    EXPECT_FALSE(Option("optComputer")->isEnabled());
    EXPECT_FALSE(Option("optUser")->isEnabled());
    EXPECT_FALSE(Clients()->isEnabled());
    EXPECT_TRUE(Box("txtServerName")->isEnabled());
    EXPECT_TRUE(Box("txtClientPortNo")->isEnabled());
    EXPECT_FALSE(Apply()->isEnabled());
}

TEST_F(GeneralOptionsTest, TheTreeShowsOnlyTheModeAndPasswordPagesAndStaysOpen) {
    Open();
    auto& tree = *Find<QTreeWidget>("tvwGenOptions");
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* pRoot = tree.topLevelItem(0);
    EXPECT_EQ(pRoot->text(0), "General Options");
    EXPECT_TRUE(pRoot->isExpanded());
    ASSERT_EQ(pRoot->childCount(), 2);
    EXPECT_EQ(pRoot->child(0)->text(0), "Mode");
    EXPECT_EQ(pRoot->child(1)->text(0), "Password");
    EXPECT_EQ(tree.currentItem(), pRoot->child(0));
    EXPECT_EQ(Shown_Page(), 0);

    const std::vector<std::pair<QTreeWidgetItem*, int>> nodes{{pRoot->child(1), 1}, {pRoot, 0}, {pRoot->child(1), 1},
                                                              {pRoot->child(0), 0}};
    for (const auto& [pNode, intPage] : nodes) {
        tree.setCurrentItem(pNode);
        EXPECT_EQ(Shown_Page(), intPage) << pNode->text(0).toStdString();
    }
    // The client and remote pages belong to no node.
    EXPECT_TRUE(Page(2)->isHidden());
    EXPECT_TRUE(Page(3)->isHidden());

    tree.collapseItem(pRoot);
    EXPECT_TRUE(pRoot->isExpanded());
    EXPECT_FALSE(Apply()->isEnabled());
}

// ---------------------------------------------------------------- what enables Apply

TEST_F(GeneralOptionsTest, EveryChangeButTheConfirmBoxEnablesApply) {
    struct Change {
        const char* strName;
        std::function<void()> change;
        bool blnEnables;
    };
    const Change changes[] = {
        {"all user mode", [this] { Option("optComputer")->click(); }, true},
        {"client item", [this] { Tick_Client(2, true); }, true},
        {"new password", [this] { QTest::keyClicks(Box("txtNewPassword"), "x"); }, true},
        {"confirm password", [this] { QTest::keyClicks(Box("txtConfirmPassword"), "x"); }, false},
        {"server name", [this] { Box("txtServerName")->setText("srv"); }, true},
        {"client port", [this] { Box("txtClientPortNo")->setText("80"); }, true},
        {"remote mode", [this] { Option("optEnableRemoteMode")->click(); }, true},
        // A click is a click, on the option already chosen too.
        {"the mode already chosen", [this] { Option("optUser")->click(); }, true},
        {"the remote mode already chosen", [this] { Option("optDisableRemoteMode")->click(); }, true},
    };
    for (const Change& c : changes) {
        Open();
        ASSERT_FALSE(Apply()->isEnabled());
        c.change();
        EXPECT_EQ(Apply()->isEnabled(), c.blnEnables) << c.strName;
    }
}

TEST_F(GeneralOptionsTest, ModeAndRemoteOptionsChangeTheirPictureAndTheRemoteBoxes) {
    Open();
    Option("optComputer")->click();
    EXPECT_TRUE(Same_Picture(*Find<QLabel>("picMode"), "AllUserMode"));
    Option("optUser")->click();
    EXPECT_TRUE(Same_Picture(*Find<QLabel>("picMode"), "User"));
    Option("optEnableRemoteMode")->click();
    EXPECT_TRUE(Same_Picture(*Find<QLabel>("picRemoteMode"), "RemoteMode"));
    EXPECT_TRUE(Box("txtServerName")->isEnabled());
    EXPECT_TRUE(Box("txtClientPortNo")->isEnabled());
    Option("optDisableRemoteMode")->click();
    EXPECT_TRUE(Same_Picture(*Find<QLabel>("picRemoteMode"), "LocalMode"));
    EXPECT_FALSE(Box("txtServerName")->isEnabled());
    EXPECT_FALSE(Box("txtClientPortNo")->isEnabled());
}

// Each option runs its handler once per click, whether the click chooses it or it was
// chosen already, from the mouse or the keyboard; a choice by code runs none.
TEST_F(GeneralOptionsTest, EachClickOnAnOptionRunsItsHandlerOnce) {
    struct Case {
        const char* strName;
        const char* strOption;
        std::function<void(QRadioButton&)> act;
        int intRuns;
    };
    const auto mouse = [](QRadioButton& option) { QTest::mouseClick(&option, Qt::LeftButton); };
    const auto space = [](QRadioButton& option) { QTest::keyClick(&option, Qt::Key_Space); };
    const Case cases[] = {
        {"a new mode", "optComputer", mouse, 1},
        {"the mode already chosen", "optUser", mouse, 1},
        {"a new remote mode", "optEnableRemoteMode", mouse, 1},
        {"the remote mode already chosen", "optDisableRemoteMode", mouse, 1},
        {"Space on a new mode", "optComputer", space, 1},
        {"Space on the remote mode already chosen", "optDisableRemoteMode", space, 1},
        {"a mode chosen by code", "optComputer", [](QRadioButton& option) { option.setChecked(true); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strName);
        Open();
        ASSERT_TRUE(Option("optUser")->isChecked());
        ASSERT_TRUE(Option("optDisableRemoteMode")->isChecked());
        // The remote page is never shown; its options take clicks all the same.
        Page(3)->setVisible(true);
        std::vector<QAbstractButton*> options;
        for (const char* strName : {"optComputer", "optUser", "optDisableRemoteMode", "optEnableRemoteMode"})
            options.push_back(Option(strName));
        QRadioButton& option = *Option(c.strOption);
        EXPECT_EQ(Apply_Enabling_Runs(options, [&] { c.act(option); }), c.intRuns);
        EXPECT_TRUE(option.isChecked());
        EXPECT_TRUE(Boxes().empty());
    }
}

// ---------------------------------------------------------------- Apply

TEST_F(GeneralOptionsTest, ApplyAnsweredNoWritesNothing) {
    Open();
    Option("optComputer")->click();
    Tick_Client(1, true);
    Box("txtNewPassword")->setText("Secret1");
    Box("txtConfirmPassword")->setText("Secret1");
    messageBox->Answer(platform::vbNo);
    Apply()->click();
    Expect_Boxes({});
    EXPECT_EQ(Stored(), INITIAL);
    EXPECT_TRUE(Apply()->isEnabled());
    EXPECT_EQ(Box("txtNewPassword")->text(), "Secret1");
}

TEST_F(GeneralOptionsTest, ApplyStoresEverythingAndRefreshesTheConsole) {
    Insert_User("anna");
    Open_Console();
    Select_User("anna");
    ASSERT_TRUE(console->cboUsers->isEnabled());
    Open();
    Option("optComputer")->click();
    Tick_Client(2, true);
    Tick_Client(3, true);
    Box("txtNewPassword")->setText("Secret1");
    Box("txtConfirmPassword")->setText("Secret1");
    Apply_Yes();
    Expect_Boxes({{"Successfully saved the changes.", 64}});
    EXPECT_EQ(Stored(), (Settings{"0", "Secret1", "6", "0", "localhost", "2705"}));
    EXPECT_FALSE(Apply()->isEnabled());
    EXPECT_EQ(Box("txtNewPassword")->text(), "");
    EXPECT_EQ(Box("txtConfirmPassword")->text(), "");
    // All User Mode: the console's user list is disabled and on its first entry.
    EXPECT_EQ(console->m_lngDVMode, 0);
    EXPECT_FALSE(console->cboUsers->isEnabled());
    EXPECT_EQ(console->cboUsers->currentIndex(), 0);
}

TEST_F(GeneralOptionsTest, ClientOptionBitsOutsideTheListKeepTheirStoredValue) {
    Exec("UPDATE SETTINGS_TBL SET CLIENT_OPTIONS=-2147483647");  // bit 31 and bit 1
    Open();
    EXPECT_TRUE(Clients()->Checked(1));
    Tick_Client(1, false);
    Tick_Client(3, true);
    Apply_Yes();
    Expect_Boxes({{"Successfully saved the changes.", 64}});
    EXPECT_EQ(Stored().strClientOptions, QString::number(-2147483648LL + 4));
}

// Stored values the dialog cannot show whole or cannot read at all, written before it
// opens: an Apply that touched none of them leaves each as stored.
TEST_F(GeneralOptionsTest, OddStoredValuesStayAsStoredAfterAnApplyThatTouchedNoneOfThem) {
    struct Case {
        const char* strName;
        QString strSet;          // SQL assignments on the settings row
        const char* strLoadBox;  // the start of the one box the load shows, or nullptr
        std::array<bool, 3> ticked;
        QString strPortShown;
        bool blnModeShown;       // a mode option is chosen: Apply then changes the mode
        Settings stored;         // after Apply
    };
    const QString BIG = QString::number((1L << 40) + 2);
    const Case cases[] = {
        {"port_of_six_digits", "CLIENT_PORT='123456'", nullptr, {false, false, false}, "12345", true,
         {"0", "Marigold", "0", "0", "localhost", "123456"}},
        {"port_past_the_range", "CLIENT_PORT='655350'", nullptr, {false, false, false}, "65535", true,
         {"0", "Marigold", "0", "0", "localhost", "655350"}},
        {"port_as_stored", "CLIENT_PORT='08080'", nullptr, {false, false, false}, "8080", true,
         {"0", "Marigold", "0", "0", "localhost", "08080"}},
        {"options_with_bit_31", "CLIENT_OPTIONS=2147483649", nullptr, {true, false, false}, "2705", true,
         {"0", "Marigold", "2147483649", "0", "localhost", "2705"}},
        {"options_all_32_bits", "CLIENT_OPTIONS=4294967295", nullptr, {true, true, true}, "2705", true,
         {"0", "Marigold", "4294967295", "0", "localhost", "2705"}},
        {"options_past_32_bits", "CLIENT_OPTIONS=" + BIG, nullptr, {false, true, false}, "2705", true,
         {"0", "Marigold", BIG, "0", "localhost", "2705"}},
        {"options_no_number", "CLIENT_OPTIONS='all'", "Type mismatch", {false, false, false}, "2705", true,
         {"0", "Marigold", "all", "0", "localhost", "2705"}},
        {"mode_no_number", "PROGRAM_MODE='single'", "Type mismatch", {false, false, false}, "2705", false,
         {"single", "Marigold", "0", "0", "localhost", "2705"}},
        {"remote_mode_no_number", "REMOTE_MODE='on'", "Type mismatch", {false, false, false}, "", true,
         {"0", "Marigold", "0", "on", "localhost", "2705"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strName);
        Exec("UPDATE SETTINGS_TBL SET PROGRAM_MODE=1, CLIENT_OPTIONS=0, REMOTE_MODE=0, SERVER_NAME='localhost', "
             "CLIENT_PORT='2705'");
        Exec("UPDATE SETTINGS_TBL SET " + c.strSet);
        Open();
        const std::vector<test::Shown_Box> loadBoxes = Boxes();
        if (c.strLoadBox) {
            ASSERT_EQ(loadBoxes.size(), 1u) << c.strName;
            EXPECT_EQ(loadBoxes[0].lngStyle, 16);
            EXPECT_TRUE(loadBoxes[0].strText.startsWith(c.strLoadBox)) << loadBoxes[0].strText.toStdString();
        } else {
            EXPECT_TRUE(loadBoxes.empty()) << c.strName;
        }
        for (long i = 1; i <= 3; ++i) EXPECT_EQ(Clients()->Checked(i), c.ticked[i - 1]) << c.strName << " item " << i;
        EXPECT_EQ(Box("txtClientPortNo")->text(), c.strPortShown) << c.strName;
        EXPECT_EQ(Option("optUser")->isChecked(), c.blnModeShown) << c.strName;
        // The change touches the mode (or, with no mode shown, the password).
        if (c.blnModeShown) {
            Option("optComputer")->click();
        } else {
            Box("txtNewPassword")->setText("Marigold");
            Box("txtConfirmPassword")->setText("Marigold");
        }
        Apply_Yes();
        if (c.blnModeShown) {
            Expect_Boxes({{"Successfully saved the changes.", 64}});
        } else {
            // The console shows the mode again after Apply and meets the same value.
            const std::vector<test::Shown_Box> boxes = Boxes();
            ASSERT_EQ(boxes.size(), 3u);
            EXPECT_TRUE(boxes[1].strText.startsWith("Type mismatch")) << boxes[1].strText.toStdString();
            EXPECT_EQ(boxes[2].strText, "Successfully saved the changes.");
        }
        EXPECT_EQ(Stored(), c.stored) << c.strName;
    }
}

// A stored value the load cannot read is kept as stored: the controls that would write
// it are disabled (a tick given all the same is put back), and Apply stores the other
// changes and says so, leaving that value as it was.
TEST_F(GeneralOptionsTest, AValueTheLoadCannotReadDisablesItsControlsAndApplyStoresTheOtherChanges) {
    enum Group { Mode, Client, Remote };
    struct Case {
        const char* strName;
        QString strSet;  // SQL assignments on the settings row
        Group unread;
        Settings stored;  // after Apply
    };
    const Case cases[] = {
        {"options_word", "CLIENT_OPTIONS='abc'", Client, {"0", "Secret1", "abc", "0", "localhost", "2705"}},
        {"options_fraction", "CLIENT_OPTIONS=1.5", Client, {"0", "Secret1", "1.5", "0", "localhost", "2705"}},
        {"options_empty", "CLIENT_OPTIONS=''", Client, {"0", "Secret1", "", "0", "localhost", "2705"}},
        {"mode_word", "PROGRAM_MODE='single'", Mode, {"single", "Secret1", "1", "0", "localhost", "2705"}},
        {"remote_mode_word", "REMOTE_MODE='on'", Remote, {"0", "Secret1", "1", "on", "localhost", "2705"}},
        {"port_empty", "CLIENT_PORT=''", Remote, {"0", "Secret1", "1", "0", "localhost", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strName);
        Exec("UPDATE SETTINGS_TBL SET PROGRAM_MODE=1, PWD='Marigold', CLIENT_OPTIONS=0, REMOTE_MODE=0, "
             "SERVER_NAME='localhost', CLIENT_PORT='2705'");
        Exec("UPDATE SETTINGS_TBL SET " + c.strSet);
        Open_Console();
        Boxes();  // the console's own reading of the mode
        Open();
        const std::vector<test::Shown_Box> loadBoxes = Boxes();
        ASSERT_EQ(loadBoxes.size(), 1u);
        EXPECT_EQ(loadBoxes[0].lngStyle, 16);
        EXPECT_TRUE(loadBoxes[0].strText.startsWith("Type mismatch")) << loadBoxes[0].strText.toStdString();

        EXPECT_EQ(Option("optComputer")->isEnabled(), c.unread != Mode);
        EXPECT_EQ(Option("optUser")->isEnabled(), c.unread != Mode);
        EXPECT_EQ(Clients()->isEnabled(), c.unread != Client);
        EXPECT_EQ(Option("optDisableRemoteMode")->isEnabled(), c.unread != Remote);
        EXPECT_EQ(Option("optEnableRemoteMode")->isEnabled(), c.unread != Remote);
        EXPECT_FALSE(Box("txtServerName")->isEnabled());
        EXPECT_FALSE(Box("txtClientPortNo")->isEnabled());
        EXPECT_FALSE(Apply()->isEnabled());

        // Every change the dialog can take: the mode, a client option, the password.
        if (c.unread != Mode) Option("optComputer")->click();
        Tick_Client(1, true);
        EXPECT_EQ(Clients()->Checked(1), c.unread != Client);
        Box("txtNewPassword")->setText("Secret1");
        Box("txtConfirmPassword")->setText("Secret1");
        ASSERT_TRUE(Apply()->isEnabled());
        Apply_Yes();
        if (c.unread == Mode) {
            // The console shows the mode again after Apply and meets the same value.
            const std::vector<test::Shown_Box> boxes = Boxes();
            ASSERT_EQ(boxes.size(), 3u);
            EXPECT_TRUE(boxes[1].strText.startsWith("Type mismatch")) << boxes[1].strText.toStdString();
            EXPECT_EQ(boxes[2].strText, "Successfully saved the changes.");
        } else {
            Expect_Boxes({{"Successfully saved the changes.", 64}});
        }
        EXPECT_EQ(Stored(), c.stored);
        EXPECT_FALSE(Apply()->isEnabled());
        EXPECT_EQ(Clients()->isEnabled(), c.unread != Client);
    }
}

// Once a remote setting was changed, every remote setting is checked, a stored one that
// fails its check included: Apply ends at its message rather than drop the change. The
// mode is stored before (it is written first).
TEST_F(GeneralOptionsTest, ARemoteChangeOverAStoredValueThatFailsItsCheckEndsAtItsMessage) {
    struct Case {
        const char* strName;
        QString strSet;
        std::function<void()> change;
        QString strMessage;  // "" when Apply succeeds
        Settings stored;
    };
    const auto remote_on = [this] { Option("optEnableRemoteMode")->click(); };
    const Case cases[] = {
        {"server_name_with_a_blank", "SERVER_NAME='my server'", remote_on, "Please enter a valid Server Name!.",
         {"0", "Marigold", "0", "0", "my server", "2705"}},
        {"empty_server_name_and_a_typed_port", "SERVER_NAME='', REMOTE_MODE=1",
         [this] { Box("txtClientPortNo")->setText("8080"); }, "Please enter a valid Server Name!.",
         {"1", "Marigold", "0", "1", "", "2705"}},
        {"port_out_of_range", "CLIENT_PORT='70000'", remote_on, "Please enter a valid Port Number!.",
         {"0", "Marigold", "0", "0", "localhost", "70000"}},
        {"port_of_six_digits_and_a_typed_server", "CLIENT_PORT='123456', REMOTE_MODE=1",
         [this] { Box("txtServerName")->setText("server1"); }, "Please enter a valid Port Number!.",
         {"1", "Marigold", "0", "1", "localhost", "123456"}},
        // Only the remote mode was changed: the port stays as stored.
        {"port_with_a_leading_zero", "CLIENT_PORT='08080'", remote_on, "",
         {"0", "Marigold", "0", "1", "localhost", "08080"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strName);
        Exec("UPDATE SETTINGS_TBL SET PROGRAM_MODE=1, CLIENT_OPTIONS=0, REMOTE_MODE=0, SERVER_NAME='localhost', "
             "CLIENT_PORT='2705'");
        Exec("UPDATE SETTINGS_TBL SET " + c.strSet);
        modGlobal::Is_Remote_Mode = false;
        Open();
        ASSERT_TRUE(Boxes().empty());
        if (Option("optComputer")->isEnabled()) Option("optComputer")->click();
        c.change();
        Apply_Yes();
        if (c.strMessage.isEmpty()) {
            Expect_Boxes({{"Successfully saved the changes.", 64}});
            EXPECT_FALSE(Apply()->isEnabled());
        } else {
            Expect_Boxes({{c.strMessage, 48}});
            EXPECT_TRUE(Apply()->isEnabled());
        }
        EXPECT_EQ(Stored(), c.stored);
    }
}

TEST_F(GeneralOptionsTest, SwitchingAClientOptionKeepsEveryStoredBitNoItemOwnsWhateverTheRange) {
    struct Case {
        QString strStored;
        long lngItem;
        bool blnTicked;
        QString strAfter;
    };
    const Case cases[] = {
        {"4294967295", 1, false, "4294967294"},
        {"2147483649", 3, true, "2147483653"},
        {QString::number((1L << 40) + 2), 2, false, QString::number(1L << 40)},
        {"-1", 2, false, "-3"},
    };
    for (const Case& c : cases) {
        Exec("UPDATE SETTINGS_TBL SET CLIENT_OPTIONS=" + c.strStored);
        Open();
        Tick_Client(c.lngItem, c.blnTicked);
        Apply_Yes();
        Expect_Boxes({{"Successfully saved the changes.", 64}});
        EXPECT_EQ(Stored().strClientOptions, c.strAfter) << c.strStored.toStdString();
    }
}

// The writes change the settings row with SETTINGS_ID 1 while the loads read the first
// row whatever its id: with the row stored under another id, each write of Apply finds
// no row, says so in one box and ends Apply without a success; nothing is stored and the
// dialog shows what is.
TEST_F(GeneralOptionsTest, AWriteThatFindsNoSettingsRowStoresNothingAndReportsNoSuccess) {
    struct Case {
        const char* strName;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"mode", [this] { Option("optComputer")->click(); }},
        {"client_option", [this] { Tick_Client(2, true); }},
        {"password",
         [this] {
             Box("txtNewPassword")->setText("Secret1");
             Box("txtConfirmPassword")->setText("Secret1");
         }},
    };
    Exec("UPDATE SETTINGS_TBL SET SETTINGS_ID=5");
    const Settings before = Stored();
    Open_Console();
    ASSERT_EQ(console->m_lngDVMode, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strName);
        Open();
        // The remote settings are read from row 1 alone: the load says once that it has none.
        const std::vector<test::Shown_Box> loadBoxes = Boxes();
        ASSERT_EQ(loadBoxes.size(), 1u);
        EXPECT_EQ(loadBoxes[0].lngStyle, 16);
        c.change();
        Apply_Yes();
        Expect_Boxes({{"The settings are not stored as listed, so nothing was changed.", 16}});
        EXPECT_EQ(Stored(), before);
        EXPECT_TRUE(Option("optUser")->isChecked());
        for (long i = 1; i <= 3; ++i) EXPECT_FALSE(Clients()->Checked(i)) << "item " << i;
        EXPECT_EQ(Box("txtNewPassword")->text(), "");
        EXPECT_FALSE(Apply()->isEnabled());
        EXPECT_EQ(console->m_lngDVMode, 1);
    }
}

TEST_F(GeneralOptionsTest, AnEmptyNewPasswordLeavesThePasswordWhateverTheConfirmBoxHolds) {
    Open();
    Box("txtConfirmPassword")->setText("Other");
    Option("optComputer")->click();
    Apply_Yes();
    Expect_Boxes({{"Successfully saved the changes.", 64}});
    EXPECT_EQ(Stored().strPwd, "Marigold");
    EXPECT_EQ(Stored().strMode, "0");
}

TEST_F(GeneralOptionsTest, APasswordHoldingANulIsRefusedAndNoBoxOrLogLineShowsIt) {
    Open();
    const QString strPwd = QStringLiteral("Secret") + QChar(0) + QStringLiteral("tail");
    Box("txtNewPassword")->setText(strPwd);
    Box("txtConfirmPassword")->setText(strPwd);
    Apply_Yes();
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);  // the question, then the refusal
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_FALSE(boxes[1].strText.contains("Secret")) << boxes[1].strText.toStdString();
    EXPECT_EQ(Stored().strPwd, "Marigold");
    for (const QString& strLine : Log_Lines()) EXPECT_FALSE(strLine.contains("Secret")) << strLine.toStdString();
}

// Each refusal ends Apply after the mode and client options were stored: the console
// is not refreshed, no success message follows and Apply stays enabled.
struct Refusal {
    const char* strName;
    QString strNewPwd, strConfirmPwd;
    QString strServerName;  // "" keeps the loaded text
    QString strPort;        // "" keeps the loaded text
    QString strMessage;
    QString strStoredPwd;   // what the password is afterwards
    bool blnPasswordBoxesEmptied;
};

class ApplyRefusalTest : public GeneralOptionsTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ApplyRefusalTest, StoresWhatCameBeforeTheRefusal) {
    const Refusal& r = GetParam();
    Open_Console();
    ASSERT_EQ(console->m_lngDVMode, 1);
    Open();
    Option("optEnableRemoteMode")->click();  // the remote boxes can take the focus
    Option("optComputer")->click();
    Tick_Client(1, true);
    Box("txtNewPassword")->setText(r.strNewPwd);
    Box("txtConfirmPassword")->setText(r.strConfirmPwd);
    if (!r.strServerName.isEmpty()) Box("txtServerName")->setText(r.strServerName);
    if (!r.strPort.isEmpty()) Box("txtClientPortNo")->setText(r.strPort);
    Apply_Yes();
    Expect_Boxes({{r.strMessage, 48}});

    EXPECT_EQ(Stored(), (Settings{"0", r.strStoredPwd, "1", "0", "localhost", "2705"}));
    EXPECT_TRUE(Apply()->isEnabled());
    EXPECT_EQ(console->m_lngDVMode, 1) << "the console was refreshed";
    EXPECT_FALSE(modGlobal::Is_Remote_Mode);
    EXPECT_EQ(Box("txtNewPassword")->text().isEmpty(), r.blnPasswordBoxesEmptied || r.strNewPwd.isEmpty());
    EXPECT_EQ(Box("txtConfirmPassword")->text().isEmpty(), r.blnPasswordBoxesEmptied || r.strConfirmPwd.isEmpty());
    if (!r.strServerName.isEmpty() && r.strMessage.contains("Server")) {
        EXPECT_EQ(Box("txtServerName")->selectedText(), r.strServerName);
    }
    if (!r.strPort.isEmpty() && r.strMessage.contains("Port")) {
        EXPECT_EQ(Box("txtClientPortNo")->selectedText(), r.strPort);
    }
}

const QString PWD_20 = QString(20, 'p');
const QString PWD_21 = QString(21, 'p');

INSTANTIATE_TEST_SUITE_P(
    Refusals, ApplyRefusalTest,
    ::testing::Values(
        Refusal{"PasswordWithApostrophe", "it's", "it's", "", "", "Please enter a valid Password!.", "Marigold", true},
        Refusal{"Password21Characters", PWD_21, PWD_21, "", "", "Please enter a valid Password!.", "Marigold", true},
        Refusal{"PasswordsDifferInCase", "Secret", "secret", "", "", "Password mismatch. Retype the Password!.",
                "Marigold", true},
        Refusal{"ServerNameWithBlank", "Secret", "Secret", "my server", "", "Please enter a valid Server Name!.",
                "Secret", true},
        Refusal{"ServerNameOf101", "", "", QString(101, 's'), "", "Please enter a valid Server Name!.", "Marigold",
                false},
        Refusal{"Port65536", PWD_20, PWD_20, "", "65536", "Please enter a valid Port Number!.", PWD_20, true},
        Refusal{"NegativePort", "", "", "", "-1", "Please enter a valid Port Number!.", "Marigold", false}),
    [](const auto& info) { return std::string(info.param.strName); });

TEST_F(GeneralOptionsTest, PortsAtTheLimitAreStoredAsNumbers) {
    struct Case {
        QString strTyped, strStored;
    };
    for (const Case& c : {Case{"65535", "65535"}, Case{"0", "0"}, Case{"080", "80"}, Case{"1.5", "2"}}) {
        Open();
        Option("optEnableRemoteMode")->click();
        Box("txtServerName")->setText("  server1 ");
        Box("txtClientPortNo")->setText(c.strTyped);
        Apply_Yes();
        Expect_Boxes({{"Successfully saved the changes.", 64}});
        const Settings s = Stored();
        EXPECT_EQ(s.strClientPort, c.strStored) << c.strTyped.toStdString();
        EXPECT_EQ(s.strServerName, "server1");
        EXPECT_EQ(s.strRemoteMode, "1");
        EXPECT_TRUE(modGlobal::Is_Remote_Mode);
        // Remote mode now on: the mode and client controls are disabled.
        EXPECT_FALSE(Option("optUser")->isEnabled());
        EXPECT_TRUE(Box("txtServerName")->isEnabled());
    }
}

TEST_F(GeneralOptionsTest, APortTextThatIsNoNumberEndsApplyThroughTheErrorReport) {
    Open();
    Option("optComputer")->click();
    Box("txtNewPassword")->setText("Secret");
    Box("txtConfirmPassword")->setText("Secret");
    Box("txtClientPortNo")->setText("1'2");
    Apply_Yes();
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_TRUE(boxes[1].strText.contains("ErrNo=13")) << boxes[1].strText.toStdString();
    EXPECT_EQ(Stored(), (Settings{"0", "Secret", "0", "0", "localhost", "2705"}));
    EXPECT_EQ(console->m_lngDVMode, 1);
}

TEST_F(GeneralOptionsTest, SwitchingRemoteModeOffClearsTheFlagAndSwapsTheControls) {
    Exec("UPDATE SETTINGS_TBL SET REMOTE_MODE=1");
    Open();
    ASSERT_TRUE(modGlobal::Is_Remote_Mode);
    Option("optDisableRemoteMode")->click();
    Apply_Yes();
    Expect_Boxes({{"Successfully saved the changes.", 64}});
    EXPECT_EQ(Stored().strRemoteMode, "0");
    EXPECT_FALSE(modGlobal::Is_Remote_Mode);
    EXPECT_TRUE(Option("optComputer")->isEnabled());
    EXPECT_TRUE(Clients()->isEnabled());
    EXPECT_FALSE(Box("txtServerName")->isEnabled());
}

// The remote page cannot be reached, so stored remote values that fail their checks
// cannot be corrected here: they are kept as stored and Apply goes on.
TEST_F(GeneralOptionsTest, StoredRemoteValuesThatFailTheChecksAreKeptAndApplyGoesOn) {
    struct Case {
        const char* strName;
        QString strSet;
        QString strServerName, strPort;
    };
    const Case cases[] = {
        {"server name with a blank", "SERVER_NAME='my server'", "my server", "2705"},
        {"empty server name", "SERVER_NAME=''", "", "2705"},
        {"port out of range", "CLIENT_PORT='70000'", "localhost", "70000"},
    };
    for (const Case& c : cases) {
        Exec(QString("UPDATE SETTINGS_TBL SET SERVER_NAME='localhost', CLIENT_PORT='2705', PROGRAM_MODE=1, %1")
                 .arg(c.strSet));
        Open_Console();
        Open();
        Option("optComputer")->click();
        Apply_Yes();
        Expect_Boxes({{"Successfully saved the changes.", 64}});
        const Settings s = Stored();
        EXPECT_EQ(s.strMode, "0") << c.strName;
        EXPECT_EQ(s.strServerName, c.strServerName) << c.strName;
        EXPECT_EQ(s.strClientPort, c.strPort) << c.strName;
        EXPECT_EQ(console->m_lngDVMode, 0) << c.strName << ": the console shows the new mode";
    }
}

// ---------------------------------------------------------------- keys, links, closing

TEST_F(GeneralOptionsTest, ThePortBoxTakesOnlyItsCharactersAndAtMostFive) {
    Open();
    Option("optEnableRemoteMode")->click();
    QLineEdit& port = *Box("txtClientPortNo");
    port.clear();
    QTest::keyClicks(&port, "1a2 #x$%");
    EXPECT_EQ(port.text(), "12#$%");
    port.clear();
    QTest::keyClicks(&port, "-.'9876");
    EXPECT_EQ(port.text(), "-.'98");
    QTest::keyClick(&port, Qt::Key_Backspace);
    EXPECT_EQ(port.text(), "-.'9");
}

TEST_F(GeneralOptionsTest, EnterMovesThroughThePasswordsAndRunsApplyFromThePortBox) {
    Open();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    Box("txtNewPassword")->setFocus();
    QTest::keyClicks(Box("txtNewPassword"), "Secret");
    QTest::keyClick(Box("txtNewPassword"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Box("txtConfirmPassword"));
    QTest::keyClicks(Box("txtConfirmPassword"), "Secret");
    QTest::keyClick(Box("txtConfirmPassword"), Qt::Key_Return);
    // Enter in the confirm box only moves to Apply.
    EXPECT_EQ(QApplication::focusWidget(), Apply());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored().strPwd, "Marigold");

    Option("optEnableRemoteMode")->click();
    messageBox->Answer(platform::vbYes);
    QTest::keyClick(Box("txtClientPortNo"), Qt::Key_Return);
    Expect_Boxes({{"Successfully saved the changes.", 64}});
    EXPECT_EQ(Stored().strPwd, "Secret");
}

TEST_F(GeneralOptionsTest, EnterInTheConfirmBoxPassesWhileApplyIsDisabled) {
    Open();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    Box("txtConfirmPassword")->setFocus();
    QTest::keyClick(Box("txtConfirmPassword"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Box("txtConfirmPassword"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(GeneralOptionsTest, EscAndCloseDropUnsavedChanges) {
    for (const bool blnEsc : {false, true}) {
        Open();
        Option("optComputer")->click();
        if (blnEsc) QTest::keyClick(Box("txtNewPassword"), Qt::Key_Escape);
        else Find<QPushButton>("cmdClose")->click();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(Stored(), INITIAL);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(GeneralOptionsTest, TheHomeSiteLabelOpensTheHomePageMaximized) {
    Open();
    QTest::mouseClick(Find<QLabel>("lblHomeSite"), Qt::LeftButton);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].strVerb, "open");
    EXPECT_EQ(shell->calls[0].strFile, Maker_Links::HOME_PAGE);
    EXPECT_EQ(shell->calls[0].lngShowCmd, 3);
}

// ---------------------------------------------------------------- from the console

TEST_F(GeneralOptionsTest, TheConsoleOpensItFromItsMenuFeatureItemAndModePicture) {
    Open_Console();
    QStringList captions;
    forms->onShow = [&](QWidget& form) {
        auto* pDialog = qobject_cast<frmGeneralOptions*>(&form);
        ASSERT_NE(pDialog, nullptr);
        captions << pDialog->windowTitle();
    };
    Control<QAction>("mnuGeneralOptions")->trigger();
    ListView& features = *Control<ListView>("lvwMain_2");
    features.Set_Selected(features.Find_Key("GenOptions"), true);
    console->lvwMain_DblClick(2);
    QTest::mouseClick(Control<QLabel>("picDVMode"), Qt::LeftButton);
    QTest::mouseClick(Control<QLabel>("lblDVMode"), Qt::LeftButton);
    EXPECT_EQ(forms->shown, std::vector<QString>(4, "frmGeneralOptions"));
    for (QWidget* pOwner : forms->owners) EXPECT_EQ(pOwner, console.get());
    EXPECT_EQ(captions, QStringList(4, "General Options - " + console->cboUsers->currentText()));
}

}  // namespace
