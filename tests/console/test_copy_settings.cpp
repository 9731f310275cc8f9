// The copy settings dialog: opened through its entry point with each caller's key,
// its source and destination lists, the copy button's state, remote mode, the copy
// with its outcome messages, users whose ids cannot be read, the ways the console
// and the list editors open it, and what the console and the calling dialog show once
// it has closed.
#include "console/frmCopySettings.h"
#include "console/frmMain.h"
#include "database/ValueSets.h"
#include "lists/frmEXEBlocker.h"
#include "lists/frmEmailFilter.h"
#include "lists/frmFileFilter.h"
#include "lists/frmPortFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "lists/frmWindowBlocker.h"
#include "schedules/frmApplicationScheduler.h"
#include "schedules/frmDeviceSettings.h"
#include "schedules/frmInternetScheduler.h"
#include "platform/ListView.h"
#include "services/MakerLinks.h"
#include "services/modGlobal.h"
#include "support/ConsoleFixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QTimeEdit>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QAbstractButton>
#include <algorithm>
#include <functional>

using platform::ListView;

namespace {

const QStringList FEATURE_KEYS = {"WebSite Filter", "File Filter",        "SMTP Filter",   "POP3 Filter",
                                  "Port Blocking And Filtering", "Internet Scheduler", "EXE Blocker",
                                  "Window Blocker", "Application Scheduler", "General Options"};

class CopySettingsTest : public test::Console_Test {
protected:
    // Opens the dialog through Show_This_Form(console, strFeature); body runs while it
    // is shown, and the dialog goes when body returns.
    void Show(const QString& strFeature, const std::function<void()>& body) {
        if (!console) Open_Console();
        bool blnShown = false;
        forms->onShow = [&](QWidget& form) {
            pDialog = qobject_cast<frmCopySettings*>(&form);
            ASSERT_NE(pDialog, nullptr);
            blnShown = true;
            pDialog->show();
            QApplication::processEvents();
            body();
            pDialog = nullptr;
        };
        const size_t lngShownBefore = forms->shown.size();
        frmCopySettings::Show_This_Form(*console, strFeature);
        forms->onShow = nullptr;
        EXPECT_TRUE(blnShown);
        ASSERT_EQ(forms->shown.size(), lngShownBefore + 1);
        EXPECT_EQ(forms->shown.back(), "frmCopySettings");
        // Shown without an owner.
        EXPECT_EQ(forms->owners.back(), nullptr);
    }

    template <class T>
    T* Find(const char* strName) const {
        T* p = pDialog->findChild<T*>(QLatin1String(strName));
        EXPECT_NE(p, nullptr) << strName;
        return p;
    }
    ListView& Features() const { return *Find<ListView>("lvwFeatures"); }
    ListView& Destinations() const { return *Find<ListView>("lvwDestinationUsers"); }
    QComboBox& Source() const { return *Find<QComboBox>("cboUsers"); }
    QPushButton& Copy_Button() const { return *Find<QPushButton>("cmdCopySettings"); }
    QCheckBox& All_Features() const { return *Find<QCheckBox>("chkSelectAllFeatures"); }
    QCheckBox& All_Destinations() const { return *Find<QCheckBox>("chkSelectAllDestinations"); }

    static QStringList Texts(const ListView& list) {
        QStringList texts;
        for (long i = 1; i <= list.Count(); ++i) texts << list.Text(i);
        return texts;
    }
    static QStringList Ticked(const ListView& list) {
        QStringList texts;
        for (long i = 1; i <= list.Count(); ++i)
            if (list.Checked(i)) texts << list.Text(i);
        return texts;
    }
    // Clicks an item on its text, or on its check box.
    static void Click(ListView& list, const QString& strText, bool blnOnCheckBox = false) {
        const long lngIndex = list.Find_Text(strText);
        ASSERT_NE(lngIndex, 0) << strText.toStdString();
        list.Ensure_Visible(lngIndex);
        const QRect rect = list.Item_Rect(lngIndex);
        const QPoint pos = blnOnCheckBox ? QPoint(rect.left() + 10, rect.center().y()) : rect.center();
        QTest::mouseClick(list.Item_View()->viewport(), Qt::LeftButton, {}, pos);
    }
    static void Tick(ListView& list, std::initializer_list<const char*> texts) {
        for (const char* strText : texts) Click(list, QLatin1String(strText));
    }

    QStringList Files(long lngUserID) {
        QStringList values;
        for (const QStringList& row :
             Query(QStringLiteral("SELECT FILE_EXTN FROM FILE_TBL WHERE USER_ID=%1 ORDER BY FILE_EXTN").arg(lngUserID)))
            values << row[0];
        return values;
    }
    void Add_Files(long lngUserID, std::initializer_list<const char*> values) {
        for (const char* strValue : values)
            Exec(QStringLiteral("INSERT INTO FILE_TBL (FILE_EXTN, COMPUTER_ID, USER_ID) VALUES ('%1', 0, %2)")
                     .arg(QLatin1String(strValue))
                     .arg(lngUserID));
    }
    long Bits(long lngUserID) {
        return Scalar(QStringLiteral("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").arg(lngUserID)).toLong();
    }
    void Expect_Boxes(const std::vector<std::pair<long, QString>>& expected) {
        const std::vector<test::Shown_Box> boxes = Boxes();
        ASSERT_EQ(boxes.size(), expected.size());
        for (size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i].lngStyle, expected[i].first) << i;
            EXPECT_TRUE(boxes[i].strText.contains(expected[i].second)) << boxes[i].strText.toStdString();
            EXPECT_EQ(boxes[i].strTitle, "DravinoleTS");
        }
    }

    frmCopySettings* pDialog = nullptr;
};

// ---------------------------------------------------------------- the caller's key

struct Key_Case {
    const char* strName;
    const char* strFeature;
    int intTicked;  // 1-based position of the ticked feature; 0 for none
};

const Key_Case KEY_CASES[] = {
    {"MainForm", "Main Form", 0},
    {"DeviceSettings", "Device Settings", 0},
    {"OtherLetterCase", "file filter", 0},
    {"WebSiteFilter", "WebSite Filter", 1},
    {"FileFilter", "File Filter", 2},
    {"SMTPFilter", "SMTP Filter", 3},
    {"POP3Filter", "POP3 Filter", 4},
    {"PortBlockingAndFiltering", "Port Blocking And Filtering", 5},
    {"InternetScheduler", "Internet Scheduler", 6},
    {"EXEBlocker", "EXE Blocker", 7},
    {"WindowBlocker", "Window Blocker", 8},
    {"ApplicationScheduler", "Application Scheduler", 9},
    {"GeneralOptions", "General Options", 10},
};

class CopySettingsKeyTest : public CopySettingsTest, public ::testing::WithParamInterface<Key_Case> {};

TEST_P(CopySettingsKeyTest, TicksTheCallersFeatureAlone) {
    const Key_Case& c = GetParam();
    Show(QLatin1String(c.strFeature), [&] {
        const QStringList expected = c.intTicked ? QStringList{FEATURE_KEYS[c.intTicked - 1]} : QStringList{};
        EXPECT_EQ(Ticked(Features()), expected);
        EXPECT_TRUE(Ticked(Destinations()).isEmpty());
        EXPECT_FALSE(Copy_Button().isEnabled());
    });
}

INSTANTIATE_TEST_SUITE_P(Callers, CopySettingsKeyTest, ::testing::ValuesIn(KEY_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

// ---------------------------------------------------------------- loading and the lists

TEST_F(CopySettingsTest, OpensWithTheConsolesUserAsSourceAndEveryOtherUserAsDestination) {
    Insert_User("alice");
    Insert_User("bob");
    Insert_User("carol");
    Open_Console();
    Select_User("bob");
    Show("Main Form", [&] {
        EXPECT_EQ(pDialog->windowTitle(), "Copy Settings - bob");
        QStringList sources;
        for (int i = 0; i < Source().count(); ++i) sources << Source().itemText(i);
        EXPECT_EQ(sources, (QStringList{"All Users", "alice", "bob", "carol"}));
        EXPECT_EQ(Source().currentText(), "bob");
        // The all-users row is a destination whenever another user is the source.
        EXPECT_EQ(Texts(Destinations()), (QStringList{"All Users", "alice", "carol"}));
        for (long i = 1; i <= Destinations().Count(); ++i) EXPECT_EQ(Destinations().Small_Icon(i), "User");
        EXPECT_EQ(Texts(Features()), FEATURE_KEYS);
        for (long i = 1; i <= Features().Count(); ++i) {
            EXPECT_EQ(Features().Key(i), FEATURE_KEYS[i - 1]);
            EXPECT_EQ(Features().Small_Icon(i), FEATURE_KEYS[i - 1]);
        }
        EXPECT_EQ(Features().Column_Text(1), "Features that you want to copy");
        EXPECT_EQ(Destinations().Column_Text(1), "Destinations");
        EXPECT_FALSE(Copy_Button().isEnabled());
        EXPECT_TRUE(Find<QGroupBox>("fraCopySettings")->isEnabled());
    });
}

TEST_F(CopySettingsTest, WithOnlyOneOtherUserTheAllUsersRowIsTheOnlyDestination) {
    Insert_User("alice");
    Open_Console();
    Select_User("alice");
    Show("Main Form", [&] { EXPECT_EQ(Texts(Destinations()), QStringList{"All Users"}); });
}

TEST_F(CopySettingsTest, TheCopyButtonNeedsAFeatureAndADestination) {
    Insert_User("alice");
    Insert_User("bob");
    Open_Console();
    Select_User("alice");
    Show("Main Form", [&] {
        // A click on an item's text reverses its tick, as a click on its check box does.
        Click(Features(), "File Filter");
        EXPECT_EQ(Ticked(Features()), QStringList{"File Filter"});
        EXPECT_FALSE(Copy_Button().isEnabled());
        Click(Destinations(), "bob", true);
        EXPECT_EQ(Ticked(Destinations()), QStringList{"bob"});
        EXPECT_TRUE(Copy_Button().isEnabled());
        Click(Destinations(), "bob");
        EXPECT_TRUE(Ticked(Destinations()).isEmpty());
        EXPECT_FALSE(Copy_Button().isEnabled());
        Click(Destinations(), "All Users");
        EXPECT_TRUE(Copy_Button().isEnabled());
        Click(Features(), "File Filter", true);
        EXPECT_TRUE(Ticked(Features()).isEmpty());
        EXPECT_FALSE(Copy_Button().isEnabled());
        // Space on the current item ticks it through its check box.
        Features().Set_Selected(3, true);
        Features().Item_View()->setFocus();
        QTest::keyClick(Features().Item_View(), Qt::Key_Space);
        EXPECT_EQ(Ticked(Features()), QStringList{"SMTP Filter"});
        EXPECT_TRUE(Copy_Button().isEnabled());
    });
}

TEST_F(CopySettingsTest, SelectAllTicksOrClearsEveryItemOfItsList) {
    Insert_User("alice");
    Insert_User("bob");
    Open_Console();
    Select_User("alice");
    Show("File Filter", [&] {
        All_Features().click();
        EXPECT_EQ(Ticked(Features()), FEATURE_KEYS);
        EXPECT_FALSE(Copy_Button().isEnabled());
        All_Destinations().click();
        EXPECT_EQ(Ticked(Destinations()), (QStringList{"All Users", "bob"}));
        EXPECT_TRUE(Copy_Button().isEnabled());
        All_Features().click();
        EXPECT_TRUE(Ticked(Features()).isEmpty());
        EXPECT_FALSE(Copy_Button().isEnabled());
    });
}

TEST_F(CopySettingsTest, ChoosingAnotherSourceRebuildsTheDestinationsAndKeepsTheFeatures) {
    Insert_User("alice");
    Insert_User("bob");
    Insert_User("carol");
    Open_Console();
    Select_User("bob");
    Show("EXE Blocker", [&] {
        All_Destinations().click();
        EXPECT_TRUE(Copy_Button().isEnabled());
        Source().setCurrentIndex(Source().findText("alice"));
        EXPECT_EQ(Texts(Destinations()), (QStringList{"All Users", "bob", "carol"}));
        EXPECT_TRUE(Ticked(Destinations()).isEmpty());
        EXPECT_FALSE(All_Destinations().isChecked());
        EXPECT_EQ(Ticked(Features()), QStringList{"EXE Blocker"});
        EXPECT_FALSE(Copy_Button().isEnabled());
        // The caption names the console's user, not the source chosen here.
        EXPECT_EQ(pDialog->windowTitle(), "Copy Settings - bob");
    });
}

TEST_F(CopySettingsTest, TheDestinationColumnIsNarrowerFromTheThirteenthDestination) {
    // The source and twelve more users: with the all-users row, 12 destinations.
    for (int i = 0; i < 12; ++i) Insert_User(QStringLiteral("user%1").arg(i, 2, 10, QLatin1Char('0')));
    Open_Console();
    Select_User("user00");
    double dblTwelve = 0, dblThirteen = 0;
    Show("Main Form", [&] {
        ASSERT_EQ(Destinations().Count(), 12);
        dblTwelve = Destinations().Column_Width(1);
    });
    Insert_User("user12");
    Show("Main Form", [&] {
        ASSERT_EQ(Destinations().Count(), 13);
        dblThirteen = Destinations().Column_Width(1);
        // Choosing another source keeps 13 destinations and the narrow column.
        Source().setCurrentIndex(Source().findText("user05"));
        EXPECT_DOUBLE_EQ(Destinations().Column_Width(1), dblThirteen);
    });
    EXPECT_GT(dblTwelve, 0);
    EXPECT_DOUBLE_EQ(dblThirteen, dblTwelve - 250);
}

// ---------------------------------------------------------------- remote mode

TEST_F(CopySettingsTest, RemoteModeDisablesTheListsAndTheCopyButtonOnly) {
    Insert_User("alice");
    Open_Console();
    Select_User("alice");
    modGlobal::Is_Remote_Mode = true;
    Show("File Filter", [&] {
        EXPECT_FALSE(Copy_Button().isEnabled());
        EXPECT_FALSE(Find<QGroupBox>("fraCopySettings")->isEnabled());
        EXPECT_FALSE(Features().isEnabledTo(pDialog));
        EXPECT_FALSE(All_Destinations().isEnabledTo(pDialog));
        EXPECT_TRUE(Source().isEnabled());
        EXPECT_TRUE(Find<QPushButton>("cmdClose")->isEnabled());
        EXPECT_EQ(Ticked(Features()), QStringList{"File Filter"});
        // Ticks set by the program never enable the copy.
        All_Destinations().setChecked(true);
        EXPECT_EQ(Ticked(Destinations()), QStringList{"All Users"});
        EXPECT_FALSE(Copy_Button().isEnabled());
    });
}

// ---------------------------------------------------------------- the copy

TEST_F(CopySettingsTest, ASuccessfulCopyWritesEveryTickedFeatureAndClearsTheTicks) {
    const long lngAlice = Insert_User("alice");
    const long lngBob = Insert_User("bob");
    const long lngCarol = Insert_User("carol");
    const long lngDave = Insert_User("dave");
    Add_Files(lngAlice, {".exe", ".zip"});
    Add_Files(lngBob, {".old"});
    Add_Files(lngDave, {".dave"});
    Exec(QStringLiteral("INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES ('games.example', 0, %1)").arg(lngAlice));
    Exec(QStringLiteral("UPDATE USER_TBL SET FEATURE_BITS=%1, BLOCKED_URL_MSG='Ask alice' WHERE USER_ID=%2")
             .arg(FEATURE_FILE_FILTER)
             .arg(lngAlice));
    Exec(QStringLiteral("UPDATE USER_TBL SET FEATURE_BITS=%1 WHERE USER_ID IN (%2, %3)")
             .arg(FEATURE_WEBSITE_FILTER | 0x1000)
             .arg(lngBob)
             .arg(lngCarol));
    Open_Console();
    Select_User("alice");
    Show("File Filter", [&] {
        Tick(Features(), {"WebSite Filter", "General Options"});
        Tick(Destinations(), {"bob", "carol"});
        Copy_Button().click();
        Expect_Boxes({{64, "Successfully copied the features"}});
        EXPECT_TRUE(Ticked(Features()).isEmpty());
        EXPECT_TRUE(Ticked(Destinations()).isEmpty());
        EXPECT_FALSE(Copy_Button().isEnabled());

        // A ticked "Select All" box keeps its tick; clicking it then clears it.
        All_Destinations().click();
        Click(Features(), "File Filter");
        EXPECT_TRUE(Copy_Button().isEnabled());
        Click(Destinations(), "dave");
        Copy_Button().click();
        Expect_Boxes({{64, "Successfully copied the features"}});
        EXPECT_TRUE(All_Destinations().isChecked());
        EXPECT_TRUE(Ticked(Destinations()).isEmpty());
        All_Destinations().click();
        EXPECT_FALSE(All_Destinations().isChecked());
        EXPECT_TRUE(Ticked(Destinations()).isEmpty());
    });
    for (long lngUserID : {lngBob, lngCarol}) {
        SCOPED_TRACE(lngUserID);
        EXPECT_EQ(Files(lngUserID), (QStringList{".exe", ".zip"}));
        EXPECT_EQ(Scalar(QStringLiteral("SELECT BL_URL FROM BL_TBL WHERE USER_ID=%1").arg(lngUserID)), "games.example");
        // File filter on, website filter off as at the source; other bits kept.
        EXPECT_EQ(Bits(lngUserID), FEATURE_FILE_FILTER | 0x1000);
        EXPECT_EQ(Scalar(QStringLiteral("SELECT BLOCKED_URL_MSG FROM USER_TBL WHERE USER_ID=%1").arg(lngUserID)),
                  "Ask alice");
    }
    // The second copy went to the all-users row and to dave, who had been unticked again.
    EXPECT_EQ(Files(0), (QStringList{".exe", ".zip"}));
    EXPECT_EQ(Files(lngDave), QStringList{".dave"});
    EXPECT_EQ(Files(lngAlice), (QStringList{".exe", ".zip"}));
}

// A failed write stops the copy: one box with the database's text, then the failure
// outcome; the ticks stay. The destinations before the failing one have the copy,
// the failing one and those after it keep what they had.
struct Copy_Fault_Case {
    const char* strName;
    test::Fault fault;
    int intCopied;  // destinations (bob, carol, dave) that got the copy
};

class CopySettingsFaultTest : public CopySettingsTest, public ::testing::WithParamInterface<Copy_Fault_Case> {};

TEST_P(CopySettingsFaultTest, AFailedWriteStopsTheCopyAndKeepsTheTicks) {
    const Copy_Fault_Case& c = GetParam();
    const long lngAlice = Insert_User("alice");
    const std::vector<long> destinations = {Insert_User("bob"), Insert_User("carol"), Insert_User("dave")};
    Add_Files(lngAlice, {".exe", ".zip"});
    for (const long lngUserID : destinations) Add_Files(lngUserID, {".mine"});
    Exec(QStringLiteral("UPDATE USER_TBL SET FEATURE_BITS=%1 WHERE USER_ID=%2").arg(FEATURE_FILE_FILTER).arg(lngAlice));
    const bool blnTrigger = c.fault == test::Fault::Abort_Trigger || c.fault == test::Fault::Rollback_Trigger;
    std::unique_ptr<test::Made_Fault> made;
    // Carol's second value is refused: bob has the copy, carol's first value is undone
    // with her transaction or her statement.
    if (blnTrigger)
        made = Make_Fault(c.fault, {QStringLiteral("INSERT ON FILE_TBL WHEN NEW.USER_ID=%1 AND NEW.FILE_EXTN='.zip'")
                                        .arg(destinations[1])});
    Open_Console();
    Select_User("alice");
    Show("File Filter", [&] {
        Tick(Destinations(), {"bob", "carol", "dave"});
        if (c.fault == test::Fault::Database_Full) Fill_Until_Full("FILE_TBL", "FILE_EXTN");
        else if (!blnTrigger) made = Make_Fault(c.fault);
        Copy_Button().click();
        if (made) made->Release();
        test::Clear_Connection_Faults();
        Expect_Boxes({{16, QLatin1String(test::Fault_Text(c.fault))}, {64, "Features are not successfully copied"}});
        EXPECT_EQ(Ticked(Features()), QStringList{"File Filter"});
        EXPECT_EQ(Ticked(Destinations()), (QStringList{"bob", "carol", "dave"}));
        EXPECT_TRUE(Copy_Button().isEnabled());
    });
    for (size_t i = 0; i < destinations.size(); ++i) {
        SCOPED_TRACE(i);
        const bool blnCopied = static_cast<int>(i) < c.intCopied;
        EXPECT_EQ(Files(destinations[i]), (blnCopied ? QStringList{".exe", ".zip"} : QStringList{".mine"}));
        EXPECT_EQ(Bits(destinations[i]), blnCopied ? FEATURE_FILE_FILTER : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, CopySettingsFaultTest,
                         ::testing::Values(Copy_Fault_Case{"", test::Fault::Held_Read_Lock, 0},
                                           Copy_Fault_Case{"", test::Fault::Read_Only, 0},
                                           Copy_Fault_Case{"", test::Fault::Database_Full, 0},
                                           Copy_Fault_Case{"RefusedOnCarol", test::Fault::Abort_Trigger, 1},
                                           Copy_Fault_Case{"RefusedOnCarol", test::Fault::Rollback_Trigger, 1}),
                         [](const auto& info) { return std::string(info.param.strName) + test::Fault_Name(info.param.fault); });

TEST_F(CopySettingsTest, ADestinationWhoseIdCannotBeReadIsSkippedAndTheCopyFails) {
    const long lngAlice = Insert_User("alice");
    const long lngBob = Insert_User("bob");
    const long lngCarol = Insert_User("carol");
    Add_Files(lngAlice, {".exe"});
    Open_Console();
    Select_User("alice");
    Show("File Filter", [&] {
        Tick(Destinations(), {"bob", "carol"});
        // bob goes from the users table while the dialog is open.
        Exec(QStringLiteral("DELETE FROM USER_TBL WHERE USER_ID=%1").arg(lngBob));
        Copy_Button().click();
        Expect_Boxes({{64, "Features are not successfully copied"}});
    });
    EXPECT_EQ(Files(lngCarol), QStringList{".exe"});
    // Nothing reached bob's old id or any id but carol's (the all-users row included).
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM FILE_TBL WHERE USER_ID NOT IN (%1, %2)")
                         .arg(lngAlice)
                         .arg(lngCarol)),
              "0");
}

// Another program removes a destination after the copy read the users and before its
// write: the copy checks both users inside the destination's write transaction, stores
// nothing under the removed id, says so once, and stops without success.
TEST_F(CopySettingsTest, ADestinationRemovedAfterTheCopyReadTheUsersGetsNothing) {
    const long lngAlice = Insert_User("alice");
    const long lngBob = Insert_User("bob");
    Add_Files(lngAlice, {".exe"});
    Open_Console();
    Select_User("alice");
    Show("File Filter", [&] {
        Tick(Destinations(), {"bob"});
        auto other = Start_Other_Program();
        other->Write_At_Statement("SELECT USER_NAME, USER_ID FROM USER_TBL",
                                  QStringLiteral("DELETE FROM USER_TBL WHERE USER_ID=%1").arg(lngBob));
        Copy_Button().click();
        EXPECT_TRUE(other->Wrote_At_Marker());
        Expect_Boxes({{16, "The user is no longer stored: another program removed it."},
                      {64, "Features are not successfully copied"}});
    });
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM FILE_TBL WHERE USER_ID=%1").arg(lngBob)), "0");
}

TEST_F(CopySettingsTest, ASourceWhoseIdCannotBeReadIsNeverCopiedFrom) {
    const long lngAlice = Insert_User("alice");
    const long lngBob = Insert_User("bob");
    Add_Files(lngAlice, {".exe"});
    Add_Files(lngBob, {".bob"});
    Open_Console();
    Select_User("alice");
    Show("File Filter", [&] {
        Tick(Destinations(), {"bob", "All Users"});
        Exec(QStringLiteral("DELETE FROM USER_TBL WHERE USER_ID=%1").arg(lngAlice));
        Copy_Button().click();
        Expect_Boxes({{64, "Features are not successfully copied"}});
    });
    EXPECT_EQ(Files(lngBob), QStringList{".bob"});
    EXPECT_TRUE(Files(0).isEmpty());
}

// The source and every ticked destination are the rows of the entries chosen: names
// that differ only in letter case, a user named like the all-users row in another
// case, and a name stored in the Windows-1252 code page each reach their own row.
// Users in USER_ID order: All Users, BOB, bob, all users, the Windows-1252 name, carol.
struct Chosen_Rows_Case {
    const char* strName;
    int intSource;                  // position of the source among the users above
    std::vector<int> destinations;  // positions of the ticked destinations, likewise
};
void PrintTo(const Chosen_Rows_Case& c, std::ostream* os) { *os << c.strName; }

class CopySettingsChosenRowsTest : public CopySettingsTest, public ::testing::WithParamInterface<Chosen_Rows_Case> {
protected:
    void SetUp() override {
        CopySettingsTest::SetUp();
        ids = {0, Insert_User("BOB"), Insert_User("bob"), Insert_User("all users")};
        // "José" with its last letter as the single byte E9.
        Exec("INSERT INTO USER_TBL (USER_NAME) VALUES (CAST(X'4A6F73E9' AS TEXT))");
        ids.push_back(Scalar("SELECT USER_ID FROM USER_TBL WHERE hex(USER_NAME)='4A6F73E9'").toLong());
        ids.push_back(Insert_User("carol"));
        for (size_t i = 0; i < ids.size(); ++i) Add_Files(ids[i], {Own_File(i)});
    }
    static const char* Own_File(size_t i) {
        static const char* const files[] = {".all", ".BOB", ".bob", ".twin", ".jose", ".carol"};
        return files[i];
    }
    // Clicks the item at a position (from 1) on its text, as the administrator does.
    static void Click_At(ListView& list, long lngIndex) {
        list.Ensure_Visible(lngIndex);
        QTest::mouseClick(list.Item_View()->viewport(), Qt::LeftButton, {}, list.Item_Rect(lngIndex).center());
    }

    std::vector<long> ids;
};

TEST_P(CopySettingsChosenRowsTest, TheCopyReadsAndWritesTheRowsOfTheEntriesChosen) {
    const Chosen_Rows_Case& c = GetParam();
    Open_Console();
    Show("File Filter", [&] {
        ASSERT_EQ(Source().count(), static_cast<int>(ids.size()));
        Source().setCurrentIndex(c.intSource);
        // Every user but the source is a destination, in USER_ID order.
        ASSERT_EQ(Destinations().Count(), static_cast<long>(ids.size()) - 1);
        for (size_t i = 0, d = 1; i < ids.size(); ++i) {
            if (static_cast<int>(i) == c.intSource) continue;
            EXPECT_EQ(Destinations().Text(static_cast<long>(d)), Source().itemText(static_cast<int>(i))) << i;
            ++d;
        }
        for (const int intUser : c.destinations)
            Click_At(Destinations(), intUser < c.intSource ? intUser + 1 : intUser);
        ASSERT_EQ(Ticked(Destinations()).size(), static_cast<qsizetype>(c.destinations.size()));
        Copy_Button().click();
        Expect_Boxes({{64, "Successfully copied the features"}});
    });
    const QString strSourceFile = QLatin1String(Own_File(static_cast<size_t>(c.intSource)));
    for (size_t i = 0; i < ids.size(); ++i) {
        SCOPED_TRACE(i);
        const bool blnTicked =
            std::find(c.destinations.begin(), c.destinations.end(), static_cast<int>(i)) != c.destinations.end();
        EXPECT_EQ(Files(ids[i]), QStringList{blnTicked ? strSourceFile : QLatin1String(Own_File(i))});
    }
}

INSTANTIATE_TEST_SUITE_P(Users, CopySettingsChosenRowsTest,
                         ::testing::Values(Chosen_Rows_Case{"FromLowerCaseToItsUpperCaseTwin", 2, {1}},
                                           Chosen_Rows_Case{"FromUpperCaseToItsLowerCaseTwin", 1, {2}},
                                           Chosen_Rows_Case{"ToTheAllUsersTwinNotEveryone", 5, {3}},
                                           Chosen_Rows_Case{"FromTheAllUsersTwinNotEveryone", 3, {5}},
                                           Chosen_Rows_Case{"ToTheAllUsersRowItself", 3, {0}},
                                           Chosen_Rows_Case{"ToTheWindows1252Name", 5, {4}},
                                           Chosen_Rows_Case{"FromTheWindows1252Name", 4, {2, 3}}),
                         [](const auto& info) { return std::string(info.param.strName); });

TEST_F(CopySettingsTest, OpensWithTheConsolesChosenUserAsSourceWhenAnotherShowsTheSameName) {
    // "José" stored in Windows-1252 (E9) and, after it, in UTF-8: both may read "José".
    Exec("INSERT INTO USER_TBL (USER_NAME) VALUES (CAST(X'4A6F73E9' AS TEXT))");
    const long lngCp1252 = Scalar("SELECT USER_ID FROM USER_TBL WHERE hex(USER_NAME)='4A6F73E9'").toLong();
    const long lngUtf8 = Insert_User(QStringLiteral("Jos\u00e9"));
    Add_Files(lngCp1252, {".cp1252"});
    Add_Files(lngUtf8, {".utf8"});
    Open_Console();
    console->cboUsers->setCurrentIndex(1);
    console->cboUsers_Click();
    ASSERT_EQ(Selected_Tag(), QString::number(lngCp1252));
    Show("File Filter", [&] {
        EXPECT_EQ(Source().currentIndex(), 1);
        EXPECT_EQ(Texts(Destinations()), (QStringList{"All Users", QStringLiteral("Jos\u00e9")}));
        Click(Destinations(), QStringLiteral("Jos\u00e9"));
        Copy_Button().click();
        Expect_Boxes({{64, "Successfully copied the features"}});
    });
    EXPECT_EQ(Files(lngUtf8), QStringList{".cp1252"});
    EXPECT_EQ(Files(lngCp1252), QStringList{".cp1252"});
    EXPECT_TRUE(Files(0).isEmpty());
}

// ---------------------------------------------------------------- closing and the link

TEST_F(CopySettingsTest, EscapeAndCloseUnloadTheDialogAndTheLabelOpensTheHomePage) {
    Show("Main Form", [&] {
        QTest::mouseClick(Find<QLabel>("lblHomeSite"), Qt::LeftButton);
        ASSERT_EQ(shell->calls.size(), 1u);
        EXPECT_EQ(shell->calls[0].strVerb, "open");
        EXPECT_EQ(shell->calls[0].strFile, Maker_Links::HOME_PAGE);
        EXPECT_EQ(shell->calls[0].lngShowCmd, 3);
        QTest::keyClick(Features().Item_View(), Qt::Key_Escape);
        EXPECT_FALSE(pDialog->isVisible());
    });
    Show("Main Form", [&] {
        Find<QPushButton>("cmdClose")->click();
        EXPECT_FALSE(pDialog->isVisible());
    });
}

// ---------------------------------------------------------------- who opens it

TEST_F(CopySettingsTest, TheConsolesMenuItemAndFeatureItemOpenItWithNothingTicked) {
    Insert_User("alice");
    Open_Console();
    Select_User("alice");
    QStringList captions;
    std::vector<QStringList> ticks;
    forms->onShow = [&](QWidget& form) {
        captions << form.windowTitle();
        ticks.push_back(Ticked(*form.findChild<ListView*>("lvwFeatures")));
    };
    console->findChild<QAction*>("mnuCopySettings")->trigger();
    ListView& tools = *console->findChild<ListView*>("lvwMain_2");
    const long lngItem = tools.Find_Key("CopySettings");
    ASSERT_NE(lngItem, 0);
    tools.Set_Selected(lngItem, true);
    tools.Item_View()->setFocus();
    QTest::keyClick(tools.Item_View(), Qt::Key_Return);
    forms->onShow = nullptr;
    EXPECT_EQ(captions, (QStringList{"Copy Settings - alice", "Copy Settings - alice"}));
    EXPECT_EQ(ticks, (std::vector<QStringList>{{}, {}}));
    EXPECT_EQ(forms->owners, (std::vector<QWidget*>{nullptr, nullptr}));
}

// Every feature dialog's Copy Settings button opens the dialog on the console with
// its own key; the device lock's key ticks nothing.
struct Caller_Case {
    const char* strName;
    std::function<std::unique_ptr<QDialog>(frmMain&)> make;
    const char* strButton;
    const char* strTicked;  // "" for none
};

template <class Dialog>
std::function<std::unique_ptr<QDialog>(frmMain&)> Maker() {
    return [](frmMain& console) -> std::unique_ptr<QDialog> { return std::make_unique<Dialog>(console); };
}

const Caller_Case CALLER_CASES[] = {
    {"WebsiteBlackList", Maker<frmWebsiteFilter>(), "cmdBLCopySettings", "WebSite Filter"},
    {"WebsiteWhiteList", Maker<frmWebsiteFilter>(), "cmdWLCopySettings", "WebSite Filter"},
    {"FileFilter", Maker<frmFileFilter>(), "cmdCopySettings", "File Filter"},
    {"SMTPFilter", Maker<frmEmailFilter>(), "cmdSMTPCopySettings", "SMTP Filter"},
    {"POP3Filter", Maker<frmEmailFilter>(), "cmdPOP3CopySettings", "POP3 Filter"},
    {"PortFilter", Maker<frmPortFilter>(), "cmdFCopySettings", "Port Blocking And Filtering"},
    {"PortBlocking", Maker<frmPortFilter>(), "cmdBCopySettings", "Port Blocking And Filtering"},
    {"EXEBlocker", Maker<frmEXEBlocker>(), "cmdCopySettings", "EXE Blocker"},
    {"WindowBlocker", Maker<frmWindowBlocker>(), "cmdCopySettings", "Window Blocker"},
    {"InternetScheduler", Maker<frmInternetScheduler>(), "cmdCopySettings", "Internet Scheduler"},
    {"ApplicationScheduler", Maker<frmApplicationScheduler>(), "cmdCopySettings", "Application Scheduler"},
    {"DeviceLock", Maker<frmDeviceSettings>(), "cmdCopySettings", ""},
};

class CopySettingsCallerTest : public CopySettingsTest, public ::testing::WithParamInterface<Caller_Case> {};

TEST_P(CopySettingsCallerTest, TheCopySettingsButtonOpensItWithTheCallersFeatureTicked) {
    const Caller_Case& c = GetParam();
    Insert_User("alice");
    Open_Console();
    Select_User("alice");
    QStringList captions;
    std::vector<QStringList> ticks;
    forms->onShow = [&](QWidget& form) {
        if (form.objectName() != "frmCopySettings") return;
        captions << form.windowTitle();
        ticks.push_back(Ticked(*form.findChild<ListView*>("lvwFeatures")));
    };
    {
        std::unique_ptr<QDialog> caller = c.make(*console);
        caller->show();
        auto* pButton = caller->findChild<QAbstractButton*>(QLatin1String(c.strButton));
        ASSERT_NE(pButton, nullptr);
        pButton->click();
    }
    forms->onShow = nullptr;
    const QStringList expected = *c.strTicked ? QStringList{QLatin1String(c.strTicked)} : QStringList{};
    EXPECT_EQ(ticks, std::vector<QStringList>{expected});
    EXPECT_EQ(captions, QStringList{"Copy Settings - alice"});
}

INSTANTIATE_TEST_SUITE_P(Callers, CopySettingsCallerTest, ::testing::ValuesIn(CALLER_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

// ---------------------------------------------------------------- the console's internet mode afterwards

// Alice's internet is off; bob's scheduler is on. Copy Settings, from the menu or from
// a dialog's Copy button, copies bob's Internet Scheduler onto alice: once it has
// closed the console's label shows her mode as stored.
struct Label_Case {
    const char* strName;
    std::function<std::unique_ptr<QDialog>(frmMain&)> make;  // empty: the menu item
    const char* strButton;
};
void PrintTo(const Label_Case& c, std::ostream* os) { *os << c.strName; }

class CopySettingsLabelTest : public CopySettingsTest, public ::testing::WithParamInterface<Label_Case> {
protected:
    void SetUp() override {
        CopySettingsTest::SetUp();
        lngAlice = Insert_User("alice");
        lngBob = Insert_User("bob");
        Exec(QStringLiteral("UPDATE USER_TBL SET IA_ON_OFF=0 WHERE USER_ID=%1").arg(lngAlice));
        Exec(QStringLiteral("UPDATE USER_TBL SET FEATURE_BITS=%1 WHERE USER_ID=%2").arg(FEATURE_INTERNET_SCHEDULER).arg(lngBob));
        Open_Console();
        Select_User("alice");
    }
    QString Label() const { return console->findChild<QLabel*>("lblInternetMode")->text(); }
    // Opens Copy Settings from the case's caller; body runs while it is shown.
    void Open_Copy(const std::function<void()>& body) {
        const Label_Case& c = GetParam();
        forms->onShow = [&](QWidget& form) {
            pDialog = qobject_cast<frmCopySettings*>(&form);
            ASSERT_NE(pDialog, nullptr);
            pDialog->show();
            body();
            // Not shown again before the dialog has closed.
            EXPECT_EQ(Label(), "Internet OFF");
            pDialog = nullptr;
        };
        if (!c.make) {
            console->findChild<QAction*>("mnuCopySettings")->trigger();
        } else {
            std::unique_ptr<QDialog> caller = c.make(*console);
            caller->show();
            caller->findChild<QAbstractButton*>(QLatin1String(c.strButton))->click();
        }
        forms->onShow = nullptr;
        EXPECT_EQ(forms->shown.back(), "frmCopySettings");
    }
    void Choose_Copy_Of_The_Scheduler() {
        Source().setCurrentIndex(Source().findText("bob"));
        if (!Ticked(Features()).contains("Internet Scheduler")) Click(Features(), "Internet Scheduler");
        Click(Destinations(), "alice");
    }
    long lngAlice = 0;
    long lngBob = 0;
};

TEST_P(CopySettingsLabelTest, ACopyOfTheSchedulerOntoTheChosenUserShowsHerModeAsStored) {
    ASSERT_EQ(Label(), "Internet OFF");
    Open_Copy([&] {
        Choose_Copy_Of_The_Scheduler();
        Copy_Button().click();
        Expect_Boxes({{64, "Successfully copied the features"}});
    });
    EXPECT_EQ(Scalar(QStringLiteral("SELECT SCH_FOR FROM USER_TBL WHERE USER_ID=%1").arg(lngAlice)), "2");
    EXPECT_EQ(Label(), "Internet Scheduler ON");
}

// A failed copy shows the mode as stored too: here one written while the copy was open.
TEST_P(CopySettingsLabelTest, AFailedCopyShowsTheModeAsStoredToo) {
    Open_Copy([&] {
        Choose_Copy_Of_The_Scheduler();
        Exec(QStringLiteral("UPDATE USER_TBL SET IA_ON_OFF=1 WHERE USER_ID=%1").arg(lngAlice));
        {
            const auto made = Make_Fault(test::Fault::Read_Only);
            Copy_Button().click();
        }
        test::Clear_Connection_Faults();
        Expect_Boxes({{16, QLatin1String(test::Fault_Text(test::Fault::Read_Only))},
                      {64, "Features are not successfully copied"}});
    });
    EXPECT_EQ(Scalar(QStringLiteral("SELECT SCH_FOR FROM USER_TBL WHERE USER_ID=%1").arg(lngAlice)), "1");
    EXPECT_EQ(Label(), "Internet ON");
}

INSTANTIATE_TEST_SUITE_P(Callers, CopySettingsLabelTest,
                         ::testing::Values(Label_Case{"Menu", {}, ""},
                                           Label_Case{"FileFilterButton", Maker<frmFileFilter>(), "cmdCopySettings"},
                                           Label_Case{"InternetSchedulerButton", Maker<frmInternetScheduler>(),
                                                      "cmdCopySettings"}),
                         [](const auto& info) { return std::string(info.param.strName); });

// With no user chosen the menu's copy still opens, and nobody's mode is read afterwards.
TEST_F(CopySettingsTest, WithNoUserChosenTheMenusCopyShowsNoInternetModeAfterwards) {
    Insert_User("alice");
    Open_Console();
    {
        const auto made = Make_Fault(test::Fault::Held_Exclusive_Lock);
        console->Fill_Users_In_ComboBox();
    }
    ASSERT_FALSE(Boxes().empty());
    ASSERT_FALSE(console->Has_Owner());
    forms->onShow = [](QWidget& form) { EXPECT_EQ(form.objectName(), "frmCopySettings"); };
    console->findChild<QAction*>("mnuCopySettings")->trigger();
    forms->onShow = nullptr;
    EXPECT_EQ(forms->shown, std::vector<QString>{"frmCopySettings"});
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(console->findChild<QLabel*>("lblInternetMode")->text(), "Internet Mode");
}

// ---------------------------------------------------------------- what the caller shows afterwards

// Every dialog with a Copy Settings button, opened on alice: the copy (from bob onto
// alice, through the real copy dialog) replaces alice's stored settings behind the
// dialog's back. Once the copy has closed the dialog shows what is stored, its enable
// box and options included, and a Remove of a listed entry deletes it. The device lock
// is no feature of the copy: its stored value is written while the copy dialog is open.
struct Reload_Case {
    const char* strName;
    std::function<std::unique_ptr<QDialog>(frmMain&)> make;
    const char* strButton;
    QStringList ownRows;     // SQL writing alice's settings before the copy (%1: her USER_ID)
    QStringList sourceRows;  // SQL writing bob's settings, which the copy brings (%1: his USER_ID)
    bool blnCopied;          // false: sourceRows are written onto alice while the copy is open
    std::function<void(QDialog&)> prepare;  // run once the dialog is open; may be empty
    QStringList controls;    // the controls that show stored values
    QStringList before;      // what they show at opening
    QStringList after;       // what they show once the copy has closed
    const char* strRemove;   // the Remove button ("" for none); it removes the first item of the first list
    QStringList afterRemove;
};
void PrintTo(const Reload_Case& c, std::ostream* os) { *os << c.strName; }

// A control as shown: a list's rows (text and sub-items), a box's or option's tick,
// a button's enabled state.
QString Shown_State(QDialog& dialog, const QString& strName) {
    QWidget* pControl = dialog.findChild<QWidget*>(strName);
    if (!pControl) return strName + " missing";
    if (auto* pList = qobject_cast<ListView*>(pControl)) {
        QStringList rows;
        for (long i = 1; i <= pList->Count(); ++i) {
            QStringList fields{pList->Text(i)};
            for (int c = 1; c < pList->Column_Count(); ++c) fields << pList->SubItem(i, c);
            rows << fields.join('|');
        }
        return strName + ": " + rows.join(", ");
    }
    auto* pButton = qobject_cast<QAbstractButton*>(pControl);
    if (pButton && pButton->isCheckable()) return strName + (pButton->isChecked() ? " on" : " off");
    if (pButton) return strName + (pButton->isEnabled() ? " enabled" : " disabled");
    return strName + " unknown";
}

QString Bits_Sql(long lngBits) { return QStringLiteral("UPDATE USER_TBL SET FEATURE_BITS=%1 WHERE USER_ID=%2").arg(lngBits).arg("%1"); }
QString List_Sql(const char* strTable, const char* strColumn, const char* strValue) {
    return QStringLiteral("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES ('%3', 0, %4)")
        .arg(QLatin1String(strTable), QLatin1String(strColumn), QLatin1String(strValue), QStringLiteral("%1"));
}
QString Port_Sql(long lngPort, long lngCode, const char* strProtocol) {
    return QStringLiteral("INSERT INTO PORT_TBL (PORT_NO, FILTER_TYPE, PROTOCOL_TYPE, COMPUTER_ID, USER_ID) "
                          "VALUES (%1, %2, '%3', 0, %4)")
        .arg(lngPort)
        .arg(lngCode)
        .arg(QLatin1String(strProtocol), QStringLiteral("%1"));
}
QString Schedule_Sql(long lngSchFor, const char* strFrom, const char* strTo) {
    return QStringLiteral("INSERT INTO SCH_TBL (SCH_FOR, D_W_M, FROM_TIME, TO_TIME, COMPUTER_ID, USER_ID) "
                          "VALUES (%1, 1, '%2', '%3', 0, %4)")
        .arg(lngSchFor)
        .arg(QLatin1String(strFrom), QLatin1String(strTo), QStringLiteral("%1"));
}

// A one-list dialog: alice has ".old" with the feature on, bob ".new" and ".two" with it off.
Reload_Case One_List(const char* strName, std::function<std::unique_ptr<QDialog>(frmMain&)> make, const char* strTable,
                     const char* strColumn, Flag_Word lngBit, const char* strList, const char* strBox) {
    const QString list = QLatin1String(strList), box = QLatin1String(strBox);
    return {strName, std::move(make), "cmdCopySettings",
            {List_Sql(strTable, strColumn, "old"), Bits_Sql(lngBit)},
            {List_Sql(strTable, strColumn, "new"), List_Sql(strTable, strColumn, "two")}, true, {},
            {list, box}, {list + ": old", box + " on"}, {list + ": new, two", box + " off"}, "cmdRemove",
            {list + ": two", box + " off"}};
}

const Reload_Case RELOAD_CASES[] = {
    {"WebsiteBlackList", Maker<frmWebsiteFilter>(), "cmdBLCopySettings",
     {List_Sql("BL_TBL", "BL_URL", "old.example"), List_Sql("WL_TBL", "WL_URL", "oldwhite.example"),
      Bits_Sql(FEATURE_WEBSITE_FILTER)},
     {List_Sql("BL_TBL", "BL_URL", "new.example"), List_Sql("WL_TBL", "WL_URL", "white.example")}, true, {},
     {"lvwBlackList", "lvwWhiteList", "chkEnableUrlFilter"},
     {"lvwBlackList: old.example", "lvwWhiteList: oldwhite.example", "chkEnableUrlFilter on"},
     {"lvwBlackList: new.example", "lvwWhiteList: white.example", "chkEnableUrlFilter off"}, "cmdBlackRemove",
     {"lvwBlackList: ", "lvwWhiteList: white.example", "chkEnableUrlFilter off"}},
    {"WebsiteWhiteList", Maker<frmWebsiteFilter>(), "cmdWLCopySettings",
     {List_Sql("WL_TBL", "WL_URL", "oldwhite.example"), Bits_Sql(FEATURE_WEBSITE_FILTER)},
     {List_Sql("WL_TBL", "WL_URL", "white.example"), List_Sql("BL_TBL", "BL_URL", "new.example")}, true, {},
     {"lvwWhiteList", "lvwBlackList", "chkEnableUrlFilter"},
     {"lvwWhiteList: oldwhite.example", "lvwBlackList: ", "chkEnableUrlFilter on"},
     {"lvwWhiteList: white.example", "lvwBlackList: new.example", "chkEnableUrlFilter off"}, "cmdWhiteRemove",
     {"lvwWhiteList: ", "lvwBlackList: new.example", "chkEnableUrlFilter off"}},
    One_List("FileFilter", Maker<frmFileFilter>(), "FILE_TBL", "FILE_EXTN", FEATURE_FILE_FILTER, "lvwFileFilter",
             "chkEnableFileFilter"),
    // The SMTP copy leaves the POP3 list as stored.
    {"SMTPFilter", Maker<frmEmailFilter>(), "cmdSMTPCopySettings",
     {List_Sql("SMTP_TBL", "SMTP_EMAIL", "old@example.com"), List_Sql("POP3_TBL", "POP3_EMAIL", "pop@example.com"),
      Bits_Sql(FEATURE_SMTP_FILTER)},
     {List_Sql("SMTP_TBL", "SMTP_EMAIL", "new@example.com"), List_Sql("POP3_TBL", "POP3_EMAIL", "pop@example.com")}, true,
     {}, {"lvwSMTPFilter", "lvwPOP3Filter", "chkEnableFilter"},
     {"lvwSMTPFilter: old@example.com", "lvwPOP3Filter: pop@example.com", "chkEnableFilter on"},
     {"lvwSMTPFilter: new@example.com", "lvwPOP3Filter: pop@example.com", "chkEnableFilter off"}, "cmdSMTPRemove",
     {"lvwSMTPFilter: ", "lvwPOP3Filter: pop@example.com", "chkEnableFilter off"}},
    // The POP3 list shown: the box shows its bit.
    {"POP3Filter", Maker<frmEmailFilter>(), "cmdPOP3CopySettings",
     {List_Sql("POP3_TBL", "POP3_EMAIL", "old@example.com"), Bits_Sql(FEATURE_POP3_FILTER)},
     {List_Sql("POP3_TBL", "POP3_EMAIL", "new@example.com"), Bits_Sql(FEATURE_SMTP_FILTER)}, true,
     [](QDialog& dialog) { dialog.findChild<QComboBox*>("cboEmailFilter")->setCurrentIndex(1); },
     {"lvwPOP3Filter", "chkEnableFilter"}, {"lvwPOP3Filter: old@example.com", "chkEnableFilter on"},
     {"lvwPOP3Filter: new@example.com", "chkEnableFilter off"}, "cmdPOP3Remove",
     {"lvwPOP3Filter: ", "chkEnableFilter off"}},
    {"PortFilter", Maker<frmPortFilter>(), "cmdFCopySettings",
     {Port_Sql(8080, 1, "HTTP"), Port_Sql(6667, 65535, "IRC"), Bits_Sql(FEATURE_PORT_FILTER)},
     {Port_Sql(25, 3, "SMTP"), Port_Sql(21, 65533, "FTP Control")}, true, {},
     {"lvwPortFilter", "lvwPortBlocking", "chkEnablePortFilter"},
     {"lvwPortFilter: HTTP Filter|HTTP|8080", "lvwPortBlocking: Block Completely|IRC|6667", "chkEnablePortFilter on"},
     {"lvwPortFilter: SMTP Filter|SMTP|25", "lvwPortBlocking: Block Incoming|FTP Control|21", "chkEnablePortFilter off"},
     "cmdFRemove", {"lvwPortFilter: ", "lvwPortBlocking: Block Incoming|FTP Control|21", "chkEnablePortFilter off"}},
    {"PortBlocking", Maker<frmPortFilter>(), "cmdBCopySettings",
     {Port_Sql(6667, 65535, "IRC"), Bits_Sql(FEATURE_PORT_FILTER)},
     {Port_Sql(21, 65533, "FTP Control"), Port_Sql(25, 3, "SMTP")}, true,
     [](QDialog& dialog) { dialog.findChild<QComboBox*>("cboFilterType")->setCurrentIndex(1); },
     {"lvwPortBlocking", "lvwPortFilter", "chkEnablePortFilter"},
     {"lvwPortBlocking: Block Completely|IRC|6667", "lvwPortFilter: ", "chkEnablePortFilter on"},
     {"lvwPortBlocking: Block Incoming|FTP Control|21", "lvwPortFilter: SMTP Filter|SMTP|25", "chkEnablePortFilter off"},
     "cmdBRemove", {"lvwPortBlocking: ", "lvwPortFilter: SMTP Filter|SMTP|25", "chkEnablePortFilter off"}},
    One_List("EXEBlocker", Maker<frmEXEBlocker>(), "EXE_TBL", "EXE_NAME", FEATURE_EXE_BLOCKER, "lvwEXEBlocker",
             "chkEnableEXEBlocker"),
    One_List("WindowBlocker", Maker<frmWindowBlocker>(), "WINDOW_TBL", "WINDOW_TITLE", FEATURE_WINDOW_BLOCKER,
             "lvwWindowBlocker", "chkEnableWindowBlocker"),
    // Alice's internet is off; bob's scheduler is on, and the copy turns hers on.
    {"InternetScheduler", Maker<frmInternetScheduler>(), "cmdCopySettings",
     {Schedule_Sql(1, "08:00", "09:00"), "UPDATE USER_TBL SET IA_ON_OFF=0, SCH_FOR=1 WHERE USER_ID=%1"},
     {Schedule_Sql(1, "10:00", "11:00"), Schedule_Sql(1, "12:00", "13:00"), Bits_Sql(FEATURE_INTERNET_SCHEDULER),
      "UPDATE USER_TBL SET SCH_FOR=2 WHERE USER_ID=%1"},
     true,
     {}, {"lvwInternetScheduler", "optInternetMode_0", "optInternetMode_1", "optInternetMode_2", "cmdApply"},
     {"lvwInternetScheduler: Daily|08:00|09:00|", "optInternetMode_0 off", "optInternetMode_1 on",
      "optInternetMode_2 off", "cmdApply disabled"},
     {"lvwInternetScheduler: Daily|10:00|11:00|, Daily|12:00|13:00|", "optInternetMode_0 off", "optInternetMode_1 off",
      "optInternetMode_2 on", "cmdApply disabled"},
     "cmdRemove",
     {"lvwInternetScheduler: Daily|12:00|13:00|", "optInternetMode_0 off", "optInternetMode_1 off",
      "optInternetMode_2 on", "cmdApply disabled"}},
    {"ApplicationScheduler", Maker<frmApplicationScheduler>(), "cmdCopySettings",
     {Schedule_Sql(2, "08:00", "09:00"), Bits_Sql(FEATURE_APP_SCHEDULER)},
     {Schedule_Sql(2, "10:00", "11:00"), Schedule_Sql(2, "12:00", "13:00")}, true, {},
     {"lvwApplicationScheduler", "chkEnableApplicationScheduler"},
     {"lvwApplicationScheduler: Daily|08:00|09:00|", "chkEnableApplicationScheduler on"},
     {"lvwApplicationScheduler: Daily|10:00|11:00|, Daily|12:00|13:00|", "chkEnableApplicationScheduler off"},
     "cmdRemove", {"lvwApplicationScheduler: Daily|12:00|13:00|", "chkEnableApplicationScheduler off"}},
};

class CopySettingsReloadTest : public CopySettingsTest, public ::testing::WithParamInterface<Reload_Case> {
protected:
    void SetUp() override {
        CopySettingsTest::SetUp();
        lngAlice = Insert_User("alice");
        lngBob = Insert_User("bob");
    }
    void Store(const QStringList& statements, long lngUserID) {
        for (const QString& strSQL : statements) Exec(strSQL.arg(lngUserID));
    }
    // What the dialog's controls show now.
    QStringList Shown(QDialog& dialog) const {
        QStringList shown;
        for (const QString& strName : GetParam().controls) shown << Shown_State(dialog, strName);
        return shown;
    }
    // Opens the dialog on alice and clicks its Copy Settings button; copy runs in the
    // copy dialog while it is shown. Then checks what the dialog shows and its Remove.
    void Copy_And_Check(const QStringList& before, const std::function<void(frmCopySettings&)>& copy,
                        const QStringList& after, const QStringList& afterRemove) {
        const Reload_Case& c = GetParam();
        Open_Console();
        Select_User("alice");
        std::unique_ptr<QDialog> caller = c.make(*console);
        caller->show();
        if (c.prepare) c.prepare(*caller);
        EXPECT_EQ(Shown(*caller), before);
        bool blnShown = false;
        forms->onShow = [&](QWidget& form) {
            auto* pCopy = qobject_cast<frmCopySettings*>(&form);
            ASSERT_NE(pCopy, nullptr);
            blnShown = true;
            pDialog = pCopy;
            pCopy->show();
            copy(*pCopy);
            pDialog = nullptr;
        };
        caller->findChild<QAbstractButton*>(QLatin1String(c.strButton))->click();
        forms->onShow = nullptr;
        ASSERT_TRUE(blnShown);
        EXPECT_EQ(Shown(*caller), after);
        if (!*c.strRemove) return;
        const QString strFirstList = c.controls.front();
        auto* pList = caller->findChild<ListView*>(strFirstList);
        pList->Item_View()->clearSelection();
        pList->Set_Selected(1, true);
        messageBox->Answer(platform::vbYes);
        caller->findChild<QAbstractButton*>(QLatin1String(c.strRemove))->click();
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << "the question alone, no failure";
        EXPECT_EQ(boxes[0].lngStyle, 36);
        EXPECT_EQ(Shown(*caller), afterRemove);
    }

    long lngAlice = 0;
    long lngBob = 0;
};

TEST_P(CopySettingsReloadTest, ACopyOntoTheDialogsOwnUserLeavesItShowingWhatIsStored) {
    const Reload_Case& c = GetParam();
    Store(c.ownRows, lngAlice);
    Store(c.sourceRows, lngBob);
    Copy_And_Check(
        c.before,
        [&](frmCopySettings&) {
            if (!c.blnCopied) {
                Store(c.sourceRows, lngAlice);
                return;
            }
            Source().setCurrentIndex(Source().findText("bob"));
            Click(Destinations(), "alice");
            Copy_Button().click();
            Expect_Boxes({{64, "Successfully copied the features"}});
        },
        c.after, c.afterRemove);
}

// Copied from alice onto bob: alice's store does not change, and her dialog shows it.
TEST_P(CopySettingsReloadTest, ACopyOntoAnotherUserLeavesTheDialogShowingItsOwnUsersStore) {
    const Reload_Case& c = GetParam();
    Store(c.sourceRows, lngAlice);
    Store(c.ownRows, lngBob);
    Copy_And_Check(
        c.after,
        [&](frmCopySettings&) {
            if (!c.blnCopied) return;  // closed without a copy
            Click(Destinations(), "bob");
            Copy_Button().click();
            Expect_Boxes({{64, "Successfully copied the features"}});
        },
        c.after, c.afterRemove);
}

INSTANTIATE_TEST_SUITE_P(Callers, CopySettingsReloadTest, ::testing::ValuesIn(RELOAD_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

// What the administrator has chosen or typed and not applied yet, when Copy Settings
// closes after copying every feature from bob onto alice, the user the dialog shows: it
// stays as it was, with its Apply and its question on closing; what the copy stored is
// listed. The device lock is no copy's destination: another program's change to it
// during the copy is not shown either.
struct Pending_Case {
    const char* strName;
    std::function<std::unique_ptr<QDialog>(frmMain&)> make;
    std::function<void(QDialog&)> pend;  // the change not applied yet
    QStringList controls;                 // what must show the same after the copy
    const char* strList;                  // the list that shows the copy ("" none)
    QStringList copied;                   // that list after the copy
    bool blnAsksOnClosing;                // Esc asks before the pending change is lost
};

template <class T>
T* Child(QDialog& dialog, const char* strName) {
    T* p = dialog.findChild<T*>(QLatin1String(strName));
    EXPECT_NE(p, nullptr) << strName;
    return p;
}

void Edit_First_Schedule(QDialog& dialog, const char* strList) {
    Child<ListView>(dialog, strList)->Set_Selected(1, true);
    Child<QAbstractButton>(dialog, "cmdEdit")->click();
    Child<QTimeEdit>(dialog, "dtpkToTime")->setTime(QTime(8, 30));
}

const Pending_Case PENDING_CASES[] = {
    {"DeviceLockChoice", Maker<frmDeviceSettings>(),
     [](QDialog& d) { Child<QAbstractButton>(d, "optUSB_2")->click(); },
     {"optFloppy_0", "optFloppy_1", "optUSB_0", "optUSB_1", "optUSB_2", "cmdApply"}, "", {}, false},
    {"InternetModeChoice", Maker<frmInternetScheduler>(),
     [](QDialog& d) { Child<QAbstractButton>(d, "optInternetMode_1")->click(); },
     {"optInternetMode_0", "optInternetMode_1", "optInternetMode_2", "cmdApply"}, "lvwInternetScheduler",
     {"lvwInternetScheduler: Daily|10:00|11:00|"}, true},
    {"InternetScheduleEdit", Maker<frmInternetScheduler>(),
     [](QDialog& d) { Edit_First_Schedule(d, "lvwInternetScheduler"); }, {"cmAdd", "cmdEdit"}, "lvwInternetScheduler",
     {"lvwInternetScheduler: Daily|10:00|11:00|"}, false},
    {"ApplicationScheduleEdit", Maker<frmApplicationScheduler>(),
     [](QDialog& d) { Edit_First_Schedule(d, "lvwApplicationScheduler"); }, {"cmAdd", "cmdEdit"},
     "lvwApplicationScheduler", {"lvwApplicationScheduler: Daily|10:00|11:00|"}, false},
};

class CopySettingsPendingTest : public CopySettingsTest, public ::testing::WithParamInterface<Pending_Case> {};

TEST_P(CopySettingsPendingTest, WhatIsNotAppliedYetStaysWithItsApplyAndItsQuestion) {
    const Pending_Case& c = GetParam();
    const long lngAlice = Insert_User("alice");
    const long lngBob = Insert_User("bob");
    for (long lngSchFor : {1, 2}) {
        Exec(QString("INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,"
                     "USER_ID) VALUES (%1,%2,1,0,0,'08:00','09:00',0,%3), (%1,%2,1,0,0,'10:00','11:00',0,%4)")
                 .arg(lngSchFor)
                 .arg(lngSchFor - 1)
                 .arg(lngAlice)
                 .arg(lngBob));
    }
    Open_Console();
    Select_User("alice");
    std::unique_ptr<QDialog> caller = c.make(*console);
    caller->show();
    c.pend(*caller);
    QStringList pending;
    for (const QString& strName : c.controls) pending << Shown_State(*caller, strName);
    const QString strLockBefore = Scalar(QString("SELECT DEVICE_LOCK FROM USER_TBL WHERE USER_ID=%1").arg(lngAlice));
    forms->onShow = [&](QWidget& form) {
        pDialog = qobject_cast<frmCopySettings*>(&form);
        ASSERT_NE(pDialog, nullptr);
        pDialog->show();
        Source().setCurrentIndex(Source().findText("bob"));
        All_Features().setChecked(true);
        Click(Destinations(), "alice");
        Copy_Button().click();
        Expect_Boxes({{64, "Successfully copied the features"}});
        // Another program locks every device meanwhile.
        Exec(QString("UPDATE USER_TBL SET DEVICE_LOCK=0 WHERE USER_ID=%1").arg(lngAlice));
        pDialog = nullptr;
    };
    caller->findChild<QAbstractButton*>("cmdCopySettings")->click();
    forms->onShow = nullptr;
    QStringList after;
    for (const QString& strName : c.controls) after << Shown_State(*caller, strName);
    EXPECT_EQ(after, pending);
    if (*c.strList) {
        EXPECT_EQ(QStringList{Shown_State(*caller, c.strList)}, c.copied);
    }
    if (QTimeEdit* pTo = caller->findChild<QTimeEdit*>("dtpkToTime"); pTo && c.controls.contains("cmAdd")) {
        EXPECT_EQ(pTo->time(), QTime(8, 30)) << "the edit keeps what was typed";
    }
    EXPECT_NE(strLockBefore, "0");
    EXPECT_TRUE(Boxes().empty());
    if (c.blnAsksOnClosing) {
        messageBox->Answer(platform::vbNo);
        QTest::keyClick(caller.get(), Qt::Key_Escape);
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, "Are you sure you want to close without saving the changes?");
        EXPECT_TRUE(caller->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Callers, CopySettingsPendingTest, ::testing::ValuesIn(PENDING_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

}  // namespace
