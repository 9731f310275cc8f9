#include "Version.h"
#include "console/frmMain.h"
#include "platform/Controls.h"
#include "platform/RunTimeError.h"
#include "services/ConsoleImages.h"
#include "services/modProgram.h"
#include "services/modUpdate.h"
#include "support/ConsoleFixture.h"
#include "support/LoopbackServer.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <map>

using platform::ListView;

namespace {

const QString RUNNING_VERSION =
    QStringLiteral("%1.%2.%3").arg(DV_VERSION_MAJOR).arg(DV_VERSION_MINOR).arg(DV_VERSION_REVISION);

class MainWindowTest : public test::Console_Test {
protected:
    ListView& List(int Index) { return *Control<ListView>(QStringLiteral("lvwMain_%1").arg(Index)); }
    QLabel* Label(const char* strName) { return Control<QLabel>(strName); }
    QAction* Item(const QString& strName) { return Control<QAction>(strName); }
    QLabel* Panel(const char* strKey) { return Control<QStatusBar>("sbrMain")->findChild<QLabel*>(strKey); }

    // Every menu item with a spy on its Click.
    void Spy_On_Menu_Items() {
        for (QAction* pItem : console->findChildren<QAction*>())
            if (pItem->objectName().startsWith("mnu")) spies[pItem->objectName()] = std::make_unique<QSignalSpy>(pItem, &QAction::triggered);
    }
    // Names of the menu items that ran since the spies were set.
    QStringList Items_Run() {
        QStringList names;
        for (auto& [strName, spy] : spies)
            for (int i = 0; i < spy->count(); ++i) names << strName;
        return names;
    }
    void Click_Item(int Index, long lngItem, bool blnDouble = false) {
        QWidget* pViewport = List(Index).Item_View()->viewport();
        const QPoint pos = List(Index).Item_Rect(lngItem).center();
        if (blnDouble) {
            QTest::mouseClick(pViewport, Qt::LeftButton, {}, pos);
            QTest::mouseDClick(pViewport, Qt::LeftButton, {}, pos);
        } else {
            QTest::mouseClick(pViewport, Qt::LeftButton, {}, pos);
        }
    }
    // The console's start-up filter check, run by its own timer.
    void Run_Start_Up_Check() {
        auto* tmrMain = console->findChild<QTimer*>("tmrMain");
        tmrMain->setInterval(5);
        tmrMain->start();
        // The check stops the timer before it runs; waited for rather than timed, so
        // a loaded machine gives the same result. A little more time shows whether it
        // would run again.
        ASSERT_TRUE(QTest::qWaitFor([tmrMain] { return !tmrMain->isActive(); }, 10000))
            << "the start-up check never stopped its timer";
        QTest::qWait(50);
    }
    QStringList Log_Lines_With(const QString& strText) const {
        QStringList found;
        for (const QString& strLine : Log_Lines())
            if (strLine.contains(strText)) found << strLine;
        return found;
    }
    void Expect_Log_Closed() {
        EXPECT_FALSE(modProgram::Application_Log);
        EXPECT_EQ(Log_Lines_With("I: Application Closing").size(), 1);
    }

    std::map<QString, std::unique_ptr<QSignalSpy>> spies;
};

// ---------------------------------------------------------------- feature lists

struct Expected_Item {
    int intList;
    const char* strKey;
    const char* strCaption;
    const char* strTag;
    const char* strMenuItem;
};
const Expected_Item FEATURES[] = {
    {0, "WebsiteFilter", "WebSite Filter", "1", "mnuWebsiteFilter"},
    {0, "FileFilter", "File Filter", "2", "mnuFileFilter"},
    {0, "PortFilter", "Port Filter", "4", "mnuPortFilter"},
    {0, "EmailFilter", "Email Filter", "3", "mnuEmailFilter"},
    {0, "InternetScheduler", "Internet Scheduler", "5", "mnuInternetScheduler"},
    {0, "InternetSettings", "Internet Settings", "6", "mnuInternetSettings"},
    {1, "AppBlocker", "Application Blocker", "1", "mnuEXEBlocker"},
    {1, "WindowBlocker", "Window Blocker", "2", "mnuWindowBlocker"},
    {1, "AppScheduler", "Application Scheduler", "3", "mnuApplicationScheduler"},
    {1, "AppSettings", "Application Settings", "4", "mnuApplicationSettings"},
    {2, "GenOptions", "General Options", "1", "mnuGeneralOptions"},
    {2, "ManageUsers", "Manage Terminal Server Users", "3", "mnuManageUsers"},
    {2, "CopySettings", "Copy Settings", "4", "mnuCopySettings"},
};

TEST_F(MainWindowTest, ListsHoldTheFeaturesInOrderWithKeysTagsAndIcons) {
    Open_Console();
    std::map<int, long> counts;
    for (const Expected_Item& f : FEATURES) {
        const long lngIndex = ++counts[f.intList];
        ListView& list = List(f.intList);
        ASSERT_LE(lngIndex, list.Count());
        EXPECT_EQ(list.Text(lngIndex), f.strCaption);
        EXPECT_EQ(list.Key(lngIndex), f.strKey);
        EXPECT_EQ(list.Tag(lngIndex), f.strTag);
        const QVariant icon = list.Model()->data(list.Model()->index(static_cast<int>(lngIndex - 1), 0), Qt::DecorationRole);
        EXPECT_FALSE(icon.value<QIcon>().isNull()) << f.strKey;
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(List(i).Count(), counts[i]);
        EXPECT_EQ(List(i).View(), ListView::lvwIcon);
        EXPECT_FALSE(List(i).Item_View()->dragEnabled()) << "no feature item can be dragged out";
    }
    EXPECT_EQ(Label("lblHeaderInternet")->text(), "Internet Filtering & Blocking");
    EXPECT_EQ(Label("lblHeaderAppnAndDevice")->text(), "Application Blocking");
    EXPECT_EQ(Label("lblHeaderGenSettings")->text(), "General Settings");
    EXPECT_EQ(console->windowTitle(), "DravinoleTS");
    EXPECT_FALSE(console->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(console->m_lngComputerID, 0);
}

TEST(ConsoleImagesTest, EveryImageListKeyHasItsOwnPicture) {
    const QStringList keys = {"InternetSettings", "AllUserMode", "SingleUserMode", "User", "AppSettings", "WebsiteFilter",
                              "InternetScheduler", "DeviceLock", "Report", "WebsiteFilterSelected", "ManageUsers",
                              "CopySettings", "GenOptions", "FileFilter", "PortFilter", "EmailFilter", "AppBlocker",
                              "AppScheduler", "WindowBlocker"};
    const platform::Image_List images = Console_Images::Load_Image_List(keys);
    QSet<qint64> distinct;
    for (const QString& strKey : keys) {
        const QPixmap picture = images.value(strKey).pixmap(48, 48);
        ASSERT_FALSE(picture.isNull()) << strKey.toStdString();
        EXPECT_EQ(picture.size(), QSize(48, 48));
        distinct.insert(picture.toImage().cacheKey() ^ qHashBits(picture.toImage().constBits(), picture.toImage().sizeInBytes()));
    }
    EXPECT_EQ(distinct.size(), keys.size()) << "each key has a picture of its own";
    for (const char* strName : {"Hand", "Login", "Logo"}) EXPECT_FALSE(Console_Images::Picture(strName).isNull()) << strName;
    EXPECT_EQ(Console_Images::Hand_Cursor(Console_Images::Load_Image_List({"Hand"})).shape(), Qt::BitmapCursor);
}

TEST_F(MainWindowTest, ClickingAFeatureShowsItsDescriptionUntilAnotherIsClicked) {
    Open_Console();
    EXPECT_EQ(Label("lblDescription")->text(), "");
    Click_Item(0, 2);
    EXPECT_TRUE(Label("lblDescription")->text().startsWith("Enables blocking of any file extenstions."));
    // A click on the empty part of the list leaves the description.
    QTest::mouseClick(List(0).Item_View()->viewport(), Qt::LeftButton, {},
                      QPoint(List(0).Item_View()->viewport()->width() - 3, List(0).Item_View()->viewport()->height() - 3));
    EXPECT_TRUE(Label("lblDescription")->text().startsWith("Enables blocking"));
    Click_Item(2, 2);  // "Manage Terminal Server Users", Tag 3
    EXPECT_EQ(Label("lblDescription")->text(),
              "Use Manage Terminal Server User option to add, edit or delete a list of terminal server users. After "
              "adding users, select a user from the 'Select User' combo and then change a setting.");
}

TEST(FeatureDescriptionTest, KnownPairsHaveTheirTextOthersNone) {
    EXPECT_EQ(frmMain::Feature_Description(1, 5),
              "Use Devcie Lock Feature to restrict or grant access to USB, Floppy, CD/DVD Storage Devices for User(s).");
    EXPECT_EQ(frmMain::Feature_Description(2, 2),
              "Use Reporting Option to view and print a detailed report of urls,applications and devices are used withinn "
              "a certain period");
    EXPECT_EQ(frmMain::Feature_Description(0, 4), "Use Port Blocking and Filtering feature to restrict a user from accessing ports.");
    for (const Expected_Item& f : FEATURES)
        EXPECT_FALSE(frmMain::Feature_Description(f.intList, QString(f.strTag).toLong()).isEmpty()) << f.strKey;
    for (auto [intList, lngTag] : std::initializer_list<std::pair<int, long>>{{0, 0}, {0, 7}, {1, 6}, {2, 5}, {3, 1}, {-1, 1}})
        EXPECT_EQ(frmMain::Feature_Description(intList, lngTag), "");
}

TEST_F(MainWindowTest, EnterOnEachFeatureRunsItsMenuItem) {
    Open_Console();
    Spy_On_Menu_Items();
    std::map<int, long> counts;
    for (const Expected_Item& f : FEATURES) {
        const long lngIndex = ++counts[f.intList];
        List(f.intList).Set_Selected(lngIndex, true);
        List(f.intList).Item_View()->setFocus();
        QTest::keyClick(List(f.intList).Item_View(), Qt::Key_Return);
        EXPECT_EQ(Items_Run(), QStringList{f.strMenuItem}) << f.strKey;
        spies.clear();
        Spy_On_Menu_Items();
    }
}

TEST_F(MainWindowTest, DoubleClickOpensTheItemNothingWithoutSelection) {
    Open_Console();
    Spy_On_Menu_Items();
    Click_Item(1, 2, true);
    EXPECT_EQ(Items_Run(), QStringList{"mnuWindowBlocker"});
    spies.clear();
    Spy_On_Menu_Items();
    // Nothing selected in list 2; a double-click on its empty part opens nothing.
    EXPECT_EQ(List(2).Selected_Item(), 0);
    QWidget* pViewport = List(2).Item_View()->viewport();
    QTest::mouseDClick(pViewport, Qt::LeftButton, {}, QPoint(pViewport->width() - 3, pViewport->height() - 3));
    EXPECT_TRUE(Items_Run().isEmpty());
    // Enter with no selection opens nothing either.
    QTest::keyClick(List(2).Item_View(), Qt::Key_Return);
    EXPECT_TRUE(Items_Run().isEmpty());
}

// ---------------------------------------------------------------- users and modes

TEST_F(MainWindowTest, SingleUserModeSelectsTheLoggedOnUserByExactName) {
    const long lngAlice = Insert_User("alice");
    const long lngAdmin = Insert_User("administrator");
    Open_Console();
    QComboBox* cbo = console->cboUsers;
    ASSERT_EQ(cbo->count(), 3);
    const QStringList names = {"All Users", "alice", "administrator"};
    const long ids[] = {0, lngAlice, lngAdmin};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cbo->itemText(i), names[i]);
        EXPECT_EQ(cbo->itemData(i).toLongLong(), ids[i]);
    }
    EXPECT_TRUE(cbo->isEnabled());
    EXPECT_EQ(cbo->currentText(), "administrator");
    EXPECT_EQ(Selected_Tag(), QString::number(lngAdmin));
    EXPECT_EQ(console->Selected_User_ID(), lngAdmin);
    EXPECT_EQ(console->m_lngDVMode, 1);
    EXPECT_EQ(Label("lblDVMode")->text(), "Single User Mode");
    EXPECT_EQ(Panel("WorkingMode")->text(), "Mode: Single User Mode");
    EXPECT_FALSE(Label("picDVMode")->pixmap().isNull());
}

TEST_F(MainWindowTest, ALoggedOnNameInAnotherCaseSelectsTheFirstEntry) {
    Insert_User("alice");
    Insert_User("Administrator");
    Open_Console();  // the logged-on user is "administrator"
    EXPECT_EQ(console->cboUsers->currentIndex(), 0);
    EXPECT_EQ(console->cboUsers->currentText(), "All Users");
    EXPECT_EQ(Selected_Tag(), "0");
}

TEST_F(MainWindowTest, AllUserModeFixesTheListOnTheAllUsersRow) {
    Insert_User("administrator");
    Exec("UPDATE SETTINGS_TBL SET PROGRAM_MODE=0");
    Open_Console();
    EXPECT_FALSE(console->cboUsers->isEnabled());
    EXPECT_EQ(console->cboUsers->currentIndex(), 0);
    EXPECT_EQ(Selected_Tag(), "0");
    EXPECT_EQ(console->m_lngDVMode, 0);
    EXPECT_EQ(Label("lblDVMode")->text(), "All User Mode");
    EXPECT_EQ(Panel("WorkingMode")->text(), "Mode: All User Mode");
}

TEST_F(MainWindowTest, ChangedModeIsShownWithoutReopening) {
    const long lngAdmin = Insert_User("administrator");
    Open_Console();
    const QImage singlePicture = Label("picDVMode")->pixmap().toImage();
    Exec("UPDATE SETTINGS_TBL SET PROGRAM_MODE=0");
    console->Get_Working_Mode();
    EXPECT_EQ(Label("lblDVMode")->text(), "All User Mode");
    EXPECT_EQ(Panel("WorkingMode")->text(), "Mode: All User Mode");
    EXPECT_NE(Label("picDVMode")->pixmap().toImage(), singlePicture);
    EXPECT_FALSE(console->cboUsers->isEnabled());
    EXPECT_EQ(Selected_Tag(), "0") << "switching to All User Mode selects the all-users row";

    Exec("UPDATE SETTINGS_TBL SET PROGRAM_MODE=1");
    console->Get_Working_Mode();
    EXPECT_EQ(Label("lblDVMode")->text(), "Single User Mode");
    EXPECT_TRUE(console->cboUsers->isEnabled());
    EXPECT_EQ(Label("picDVMode")->pixmap().toImage(), singlePicture);
    EXPECT_EQ(Selected_Tag(), "0") << "the selection stays where it is";
    (void)lngAdmin;

    // A mode value outside 0 and 1 leaves what is shown.
    Exec("UPDATE SETTINGS_TBL SET PROGRAM_MODE=5");
    console->Get_Working_Mode();
    EXPECT_EQ(console->m_lngDVMode, 5);
    EXPECT_EQ(Label("lblDVMode")->text(), "Single User Mode");
    EXPECT_TRUE(console->cboUsers->isEnabled());
}

TEST_F(MainWindowTest, ChoosingAUserSetsTheTagAndRefreshesTheInternetMode) {
    const long lngAlice = Insert_User("alice");
    Exec("UPDATE USER_TBL SET IA_ON_OFF=0 WHERE USER_ID=" + QString::number(lngAlice));
    Open_Console();
    EXPECT_EQ(console->cboUsers->currentIndex(), 0);
    EXPECT_EQ(Label("lblInternetMode")->text(), "Internet ON");
    console->cboUsers->setFocus();
    QTest::keyClick(console->cboUsers, Qt::Key_Down);
    EXPECT_EQ(console->cboUsers->currentText(), "alice");
    EXPECT_EQ(Selected_Tag(), QString::number(lngAlice));
    EXPECT_EQ(Label("lblInternetMode")->text(), "Internet OFF");
}

TEST_F(MainWindowTest, RefillKeepsTheSelectionRuleNotThePreviousUser) {
    Insert_User("alice");
    const long lngAdmin = Insert_User("administrator");
    Open_Console();
    console->cboUsers->setCurrentIndex(1);
    console->cboUsers_Click();
    ASSERT_EQ(console->cboUsers->currentText(), "alice");
    Insert_User("carol");
    console->Fill_Users_In_ComboBox();
    EXPECT_EQ(console->cboUsers->count(), 4);
    EXPECT_EQ(console->cboUsers->currentText(), "administrator");
    EXPECT_EQ(Selected_Tag(), QString::number(lngAdmin));
}

// The entry chosen is the owner every edit reaches, by its own row: names that differ
// only in letter case, a user named like the all-users row in another case and a name
// stored in the Windows-1252 code page. Users in USER_ID order: All Users, BOB, bob,
// all users, the Windows-1252 name.
class ChosenUserTest : public MainWindowTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ids = {0, Insert_User("BOB"), Insert_User("bob"), Insert_User("all users")};
        // "José" with its last letter as the single byte E9.
        Exec("INSERT INTO USER_TBL (USER_NAME) VALUES (CAST(X'4A6F73E9' AS TEXT))");
        ids.push_back(Scalar("SELECT USER_ID FROM USER_TBL WHERE hex(USER_NAME)='4A6F73E9'").toLong());
    }
    // Adds an entry in the file filter opened from the menu, as the administrator does.
    void Add_File_From_The_Menu(const QString& strExtension) {
        forms->onShow = [&](QWidget& form) {
            form.show();
            form.findChild<QLineEdit*>("txtFileExtension")->setText(strExtension);
            form.findChild<QAbstractButton*>("cmdAdd")->click();
        };
        Item("mnuFileFilter")->trigger();
        forms->onShow = nullptr;
    }
    std::vector<long> ids;
};

TEST_P(ChosenUserTest, EditsReachTheChosenEntrysOwnRow) {
    const int intChosen = GetParam();
    Exec("UPDATE USER_TBL SET IA_ON_OFF=0 WHERE USER_ID=" + QString::number(ids[static_cast<size_t>(intChosen)]));
    Open_Console();  // no entry is the logged-on user: the first is selected
    ASSERT_EQ(console->cboUsers->count(), static_cast<int>(ids.size()));
    console->cboUsers->setFocus();
    for (int i = 0; i < intChosen; ++i) QTest::keyClick(console->cboUsers, Qt::Key_Down);
    ASSERT_EQ(console->cboUsers->currentIndex(), intChosen);
    EXPECT_EQ(Selected_Tag(), QString::number(ids[static_cast<size_t>(intChosen)]));
    EXPECT_EQ(Label("lblInternetMode")->text(), "Internet OFF") << "the chosen user's internet mode";
    EXPECT_TRUE(Boxes().empty());

    Add_File_From_The_Menu(".zip");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Query("SELECT USER_ID, FILE_EXTN FROM FILE_TBL"),
              (test::Rows{{QString::number(ids[static_cast<size_t>(intChosen)]), ".zip"}}));
}

std::string Chosen_Entry_Name(const ::testing::TestParamInfo<int>& info) {
    const char* const names[] = {"AllUsers", "UpperCaseTwin", "LowerCaseTwin", "AllUsersTwin", "Windows1252Name"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Entries, ChosenUserTest, ::testing::Values(0, 1, 2, 3, 4), Chosen_Entry_Name);

TEST_F(MainWindowTest, AListThatCannotBeReadLeavesNoOwnerAndNoFeatureOfAUserOpens) {
    const long lngAlice = Insert_User("alice");
    Exec("UPDATE USER_TBL SET IA_ON_OFF=0 WHERE USER_ID=" + QString::number(lngAlice));
    Open_Console();
    Select_User("alice");
    ASSERT_EQ(Label("lblInternetMode")->text(), "Internet OFF");
    {
        const auto made = Make_Fault(test::Fault::Held_Exclusive_Lock);
        console->Fill_Users_In_ComboBox();
    }
    // The reads failed, each reported, and selecting an entry of the empty list too.
    const auto boxes = Boxes();
    ASSERT_FALSE(boxes.empty());
    for (const auto& box : boxes) EXPECT_EQ(box.lngStyle, 16) << box.strText.toStdString();
    EXPECT_TRUE(boxes.back().strText.contains("ErrNo=380")) << boxes.back().strText.toStdString();
    // Neither alice nor the all-users row stays the owner.
    EXPECT_EQ(console->cboUsers->count(), 0);
    EXPECT_EQ(Selected_Tag(), "");
    EXPECT_FALSE(console->Has_Owner());
    EXPECT_THROW(console->Owner(), Run_Time_Error);
    EXPECT_EQ(Label("lblInternetMode")->text(), "Internet Mode");

    // The dialogs of a user's policies do not open; each says why, once.
    for (const char* strItem : {"mnuFileFilter", "mnuWebsiteFilter", "mnuInternetScheduler", "mnuApplicationSettings"}) {
        Item(strItem)->trigger();
        const auto shown = Boxes();
        ASSERT_EQ(shown.size(), 1u) << strItem;
        EXPECT_EQ(shown[0].strText, frmMain::NO_OWNER_TEXT);
        EXPECT_EQ(shown[0].lngStyle, 48);
        EXPECT_EQ(shown[0].strTitle, "DravinoleTS");
    }
    QTest::mouseClick(Label("lblInternetMode"), Qt::LeftButton);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(forms->shown.empty());

    // Once the list is read again an entry is chosen and the dialogs open on its row.
    console->Fill_Users_In_ComboBox();
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(console->cboUsers->currentText(), "All Users");
    EXPECT_EQ(Selected_Tag(), "0");
    Item("mnuFileFilter")->trigger();
    EXPECT_EQ(forms->shown, std::vector<QString>{"frmFileFilter"});
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM FILE_TBL"), "0");
}

struct Internet_Case {
    const char* strOnOff;
    const char* strSchFor;
    const char* strCaption;
};
void PrintTo(const Internet_Case& c, std::ostream* os) { *os << "IA_ON_OFF=" << c.strOnOff << " SCH_FOR=" << c.strSchFor; }

class InternetModeTest : public MainWindowTest, public ::testing::WithParamInterface<Internet_Case> {};

TEST_P(InternetModeTest, LabelFollowsOnOffWithTheSchedulerOverriding) {
    const Internet_Case c = GetParam();
    const long lngAdmin = Insert_User("administrator");
    Exec(QStringLiteral("UPDATE USER_TBL SET IA_ON_OFF=%1, SCH_FOR=%2 WHERE USER_ID=%3")
             .arg(c.strOnOff, c.strSchFor).arg(lngAdmin));
    Open_Console();
    EXPECT_EQ(Label("lblInternetMode")->text(), c.strCaption);
}

INSTANTIATE_TEST_SUITE_P(Cases, InternetModeTest,
                         ::testing::Values(Internet_Case{"0", "1", "Internet OFF"}, Internet_Case{"1", "1", "Internet ON"},
                                           Internet_Case{"0", "2", "Internet Scheduler ON"},
                                           Internet_Case{"1", "2", "Internet Scheduler ON"},
                                           Internet_Case{"7", "3", "Internet Scheduler ON"},
                                           Internet_Case{"7", "1", "Internet Mode"},
                                           Internet_Case{"1", "0", "Internet ON"}));

TEST_F(MainWindowTest, AnUnknownOnOffValueKeepsThePreviousUsersCaption) {
    const long lngOdd = Insert_User("odd");
    Exec("UPDATE USER_TBL SET IA_ON_OFF=9 WHERE USER_ID=" + QString::number(lngOdd));
    Open_Console();
    ASSERT_EQ(Label("lblInternetMode")->text(), "Internet ON");
    console->cboUsers->setFocus();
    QTest::keyClick(console->cboUsers, Qt::Key_Down);
    EXPECT_EQ(Selected_Tag(), QString::number(lngOdd));
    EXPECT_EQ(Label("lblInternetMode")->text(), "Internet ON");
}

TEST_F(MainWindowTest, AnEmptyUserListIsReportedAndTheWindowStaysUsable) {
    Exec("DELETE FROM USER_TBL");
    Open_Console();
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u) << "selecting entry 0, then reading the internet mode of no user";
    for (const auto& box : boxes) {
        EXPECT_EQ(box.lngStyle, 16);
        EXPECT_EQ(box.strTitle, "DravinoleTS");
    }
    EXPECT_TRUE(boxes[0].strText.contains("ErrNo=380")) << boxes[0].strText.toStdString();
    EXPECT_TRUE(boxes[1].strText.contains("ErrNo=13")) << boxes[1].strText.toStdString();
    EXPECT_EQ(Selected_Tag(), "");
    EXPECT_EQ(Label("lblInternetMode")->text(), "Internet Mode");
    // The rest of the loading went on.
    EXPECT_EQ(Label("lblDVMode")->text(), "Single User Mode");
    EXPECT_TRUE(Panel("Version")->text().startsWith("Version: "));
    EXPECT_EQ(Log_Lines_With("E: ").size(), 2);
}

TEST_F(MainWindowTest, ToolTipsAndHandPointers) {
    Open_Console();
    EXPECT_EQ(console->cboUsers->toolTip(), "Select a user and change settings");
    EXPECT_EQ(Label("picDVMode")->toolTip(), "Switch to All Users or Single User Mode");
    EXPECT_EQ(Label("lblInternetMode")->toolTip(), "Turn Internet On/Off/Scheduler");
    EXPECT_EQ(Label("lblDescHeader")->toolTip(), "DravinoleTS Home Page");
    for (const char* strName : {"picDVMode", "lblInternetMode", "lblDVMode", "lblDescHeader"})
        EXPECT_EQ(Label(strName)->cursor().shape(), Qt::BitmapCursor) << strName;
    EXPECT_FALSE(Label("picInternetMode")->pixmap().isNull());
    // Over a feature item the pointer is the hand; elsewhere the default one.
    QWidget* pViewport = List(0).Item_View()->viewport();
    QTest::mouseMove(pViewport, List(0).Item_Rect(1).center());
    EXPECT_EQ(pViewport->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseMove(pViewport, QPoint(pViewport->width() - 2, pViewport->height() - 2));
    EXPECT_EQ(pViewport->cursor().shape(), Qt::ArrowCursor);
}

// ---------------------------------------------------------------- menus

struct Menu_Layout {
    const char* strMenu;
    const char* strTitle;
    std::vector<std::pair<const char*, const char*>> items;  // name ("-" separator), shortcut
};

TEST_F(MainWindowTest, MenusHoldTheirItemsSeparatorsAndShortcuts) {
    Open_Console();
    const std::vector<Menu_Layout> menus = {
        {"mnuFile", "File", {{"mnuRegisterFilters", ""}, {"mnuUnRegisterFilters", ""}, {"-", ""}, {"mnuUnInstall", ""}, {"-", ""}, {"mnuExit", "Ctrl+X"}}},
        {"mnuInternet", "Internet", {{"mnuWebsiteFilter", "Ctrl+W"}, {"mnuFileFilter", "Ctrl+F"}, {"mnuEmailFilter", "Ctrl+E"}, {"mnuPortFilter", "Ctrl+P"}, {"mnuInternetScheduler", "Ctrl+I"}, {"-", ""}, {"mnuInternetSettings", "Ctrl+S"}}},
        {"mnuApplication", "Application", {{"mnuEXEBlocker", "Ctrl+B"}, {"mnuWindowBlocker", "Ctrl+K"}, {"mnuApplicationScheduler", "Ctrl+A"}, {"-", ""}, {"mnuApplicationSettings", "Ctrl+T"}}},
        {"mnuDevice", "Device", {{"mnuDeviceLock", "Ctrl+D"}}},
        {"mnuReport", "Report", {{"mnuReporting", "Ctrl+R"}}},
        {"mnuTools", "Tools", {{"mnuGeneralOptions", "Ctrl+G"}, {"mnuManageUsers", "Ctrl+M"}, {"mnuCopySettings", "Ctrl+C"}}},
        {"mnuHelp", "Help", {{"mnuFAQs", ""}, {"-", ""}, {"mnuOnline", ""}, {"mnuSupport", ""}, {"mnuPurchase", ""}, {"mnuProducts", ""}, {"-", ""}, {"mnuCheckUpdates", ""}, {"-", ""}, {"mnuAbout", ""}}},
    };
    const QList<QAction*> bar = console->menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(menus.size()));
    for (size_t m = 0; m < menus.size(); ++m) {
        QMenu* pMenu = bar[static_cast<qsizetype>(m)]->menu();
        ASSERT_NE(pMenu, nullptr);
        EXPECT_EQ(pMenu->objectName(), menus[m].strMenu);
        EXPECT_EQ(pMenu->title(), menus[m].strTitle);
        const QList<QAction*> items = pMenu->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(menus[m].items.size())) << menus[m].strMenu;
        for (qsizetype i = 0; i < items.size(); ++i) {
            const auto& [strName, strShortcut] = menus[m].items[static_cast<size_t>(i)];
            if (QString(strName) == "-") {
                EXPECT_TRUE(items[i]->isSeparator()) << menus[m].strMenu << " " << i;
                continue;
            }
            EXPECT_EQ(items[i]->objectName(), strName);
            EXPECT_EQ(items[i]->shortcut(), QKeySequence(strShortcut)) << strName;
        }
    }
    EXPECT_EQ(Item("mnuUnInstall")->text(), "UnInstall Dravinole");
    EXPECT_EQ(Item("mnuUnRegisterFilters")->text(), "UnRegister All Filters");
    EXPECT_EQ(Item("mnuManageUsers")->text(), "Manage Users");
}

TEST_F(MainWindowTest, DeviceAndReportMenusAreSwitchedOff) {
    Open_Console();
    ASSERT_TRUE(QTest::qWaitForWindowActive(console.get()));
    Spy_On_Menu_Items();
    for (const char* strMenu : {"mnuDevice", "mnuReport"}) {
        EXPECT_FALSE(Control<QMenu>(strMenu)->menuAction()->isVisible()) << strMenu;
    }
    EXPECT_FALSE(Item("mnuDeviceLock")->isEnabled());
    EXPECT_FALSE(Item("mnuReporting")->isEnabled());
    QTest::keyClick(console.get(), Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(console.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(Items_Run().isEmpty());
    // The other shortcuts do choose their items.
    QTest::keyClick(console.get(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Items_Run(), QStringList{"mnuWindowBlocker"});
}

TEST_F(MainWindowTest, AboutOpensModallyOverTheConsoleAndIsDestroyedAfter) {
    Open_Console();
    QPointer<QWidget> shownForm;
    forms->onShow = [&](QWidget& form) {
        shownForm = &form;
        EXPECT_EQ(form.parentWidget(), console.get());
    };
    Item("mnuAbout")->trigger();
    ASSERT_EQ(forms->shown, std::vector<QString>{"frmAbout"});
    EXPECT_EQ(forms->owners[0], console.get());
    EXPECT_TRUE(shownForm.isNull()) << "the box is destroyed once it closes";
}

struct Link_Case {
    const char* strItem;
    const char* strVerb;
    const char* strAddressEnd;
};
void PrintTo(const Link_Case& c, std::ostream* os) { *os << c.strItem; }

class WebLinkTest : public MainWindowTest, public ::testing::WithParamInterface<Link_Case> {};

TEST_P(WebLinkTest, OpensItsAddressMaximizedThroughTheShell) {
    const Link_Case c = GetParam();
    Open_Console();
    Item(c.strItem)->trigger();
    ASSERT_EQ(shell->calls.size(), 1u);
    const test::Shell_Call& call = shell->calls[0];
    EXPECT_EQ(call.strVerb, c.strVerb);
    EXPECT_TRUE(call.strFile.endsWith(c.strAddressEnd)) << call.strFile.toStdString();
    EXPECT_EQ(call.strParameters, "");
    EXPECT_EQ(call.strDirectory, "");
    EXPECT_EQ(call.lngShowCmd, 3);
    if (QString(c.strItem) != "mnuSupport") {
        EXPECT_TRUE(call.strFile.startsWith("http://www.")) << call.strFile.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WebLinkTest,
    ::testing::Values(Link_Case{"mnuOnline", "open", ".invalid/dravinole-terminal-server"},
                      Link_Case{"mnuFAQs", "open", "/dravinole-terminal-server/dravinolets-faqs.html?sr=dvts"},
                      Link_Case{"mnuPurchase", "", "/dravinole-terminal-server/dravinolets-buynow.html?sr=dvts"},
                      Link_Case{"mnuProducts", "", ".invalid/products.html?sr=dvts"},
                      Link_Case{"mnuSupport", "", "mailto:support@dravinole.invalid"}));

TEST_F(MainWindowTest, HomeSitePanelAndDescriptionHeaderOpenTheHomePage) {
    Open_Console();
    QTest::mouseClick(Panel("Version"), Qt::LeftButton);
    QTest::mouseClick(Panel("WorkingMode"), Qt::LeftButton);
    EXPECT_TRUE(shell->calls.empty()) << "other panels do nothing";
    QTest::mouseClick(Panel("HomeSite"), Qt::LeftButton);
    QTest::mouseClick(Label("lblDescHeader"), Qt::LeftButton);
    ASSERT_EQ(shell->calls.size(), 2u);
    for (const test::Shell_Call& call : shell->calls) {
        EXPECT_EQ(call.strVerb, "open");
        EXPECT_EQ(call.strFile, "http://www.dravinole.invalid");
        EXPECT_EQ(call.lngShowCmd, 3);
    }
}

TEST_F(MainWindowTest, StatusBarPanels) {
    Open_Console();
    EXPECT_EQ(Panel("Version")->text(), frmMain::Version_Caption(DV_VERSION_MAJOR, DV_VERSION_MINOR, DV_VERSION_REVISION));
    EXPECT_EQ(Panel("Version")->toolTip(), "Version: 1.1 Build: 100");
    EXPECT_EQ(Panel("WorkingMode")->toolTip(), "Working Mode:");
    EXPECT_EQ(Panel("HomeSite")->text(), "www.dravinole.invalid");
}

// ---------------------------------------------------------------- File menu

class FileMenuTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // Registering loads the network filter library from the program folder.
        QFile::copy(QStringLiteral(DV_PROGRAM_BUILD_DIR "/liblhdvsock.so"), Program_Dir() + "/liblhdvsock.so");
    }
    static bool Filters_Installed() { return modProgram::Check_Filters_Installed() == modProgram::Filter_Check::Installed; }
};

TEST_F(FileMenuTest, RegisterAsksAndInstallsOnlyOnYes) {
    Open_Console();
    messageBox->Answer(platform::vbNo);
    Item("mnuRegisterFilters")->trigger();
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "This will re-register the filters.\r\n\r\nAre you sure you want to continue?");
    EXPECT_EQ(boxes[0].lngStyle, 36);
    EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    EXPECT_FALSE(Filters_Installed());

    messageBox->Answer(platform::vbYes);
    Item("mnuRegisterFilters")->trigger();
    EXPECT_EQ(Boxes().size(), 1u) << "no outcome message";
    EXPECT_TRUE(Filters_Installed());
}

TEST_F(FileMenuTest, UnRegisterAsksAndRemovesOnlyOnYes) {
    Open_Console();
    modProgram::Install_Filters();
    ASSERT_TRUE(Filters_Installed());
    messageBox->Answer(platform::vbNo);
    Item("mnuUnRegisterFilters")->trigger();
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText,
              "This will un-register the internet filter. Your filtering will not work properly after this!\r\n\r\n"
              "Are you sure you want to continue?");
    EXPECT_EQ(boxes[0].lngStyle, 20);
    EXPECT_TRUE(Filters_Installed());

    messageBox->Answer(platform::vbYes);
    Item("mnuUnRegisterFilters")->trigger();
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_FALSE(Filters_Installed());
}

TEST_F(MainWindowTest, UnInstallNoKeepsTheConsoleOpen) {
    Open_Console();
    messageBox->Answer(platform::vbNo);
    Item("mnuUnInstall")->trigger();
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to Uninstall the DravinoleTS?");
    EXPECT_EQ(boxes[0].lngStyle, 68);
    EXPECT_TRUE(shell->calls.empty());
    EXPECT_TRUE(console->isVisible());
    EXPECT_TRUE(modProgram::Application_Log);
}

TEST_F(MainWindowTest, UnInstallYesStartsTheUninstallerAndCloses) {
    Open_Console();
    messageBox->Answer(platform::vbYes);
    Item("mnuUnInstall")->trigger();
    EXPECT_EQ(Boxes().size(), 1u);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].strVerb, "open");
    EXPECT_EQ(shell->calls[0].strFile, Program_Dir() + "/unins000.exe");
    EXPECT_EQ(shell->calls[0].lngShowCmd, 1);
    EXPECT_FALSE(console->isVisible());
    Expect_Log_Closed();
}

TEST_F(MainWindowTest, CtrlXClosesTheConsoleAndTheLog) {
    Open_Console();
    ASSERT_TRUE(QTest::qWaitForWindowActive(console.get()));
    QTest::keyClick(console.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(console->isVisible());
    Expect_Log_Closed();
    const QStringList lines = Log_Lines();
    EXPECT_EQ(lines.last().trimmed(), QString(50, '+'));
}

TEST_F(MainWindowTest, TheCloseBoxClosesTheLog) {
    Open_Console();
    console->close();
    Expect_Log_Closed();
}

// ---------------------------------------------------------------- filter check

struct Check_Case {
    long lngResult;  // the check's answer as its code
    const char* strMessage;
    bool blnShown;
};
void PrintTo(const Check_Case& c, std::ostream* os) { *os << "result " << c.lngResult; }

class FilterCheckTest : public MainWindowTest, public ::testing::WithParamInterface<Check_Case> {};

TEST_P(FilterCheckTest, RunsOnceWritesOneLineAndShowsOnlyMissingFilters) {
    const Check_Case c = GetParam();
    Open_Console();
    int intCalls = 0;
    console->m_fnCheck_Filters_Installed = [&] {
        ++intCalls;
        return static_cast<modProgram::Filter_Check>(c.lngResult);
    };
    if (c.blnShown) messageBox->Answer(platform::vbOK);
    Run_Start_Up_Check();
    EXPECT_EQ(intCalls, 1) << "the check runs once per window";
    const auto boxes = Boxes();
    if (c.blnShown) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, c.strMessage);
        EXPECT_EQ(boxes[0].lngStyle, 48);
        EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    } else {
        EXPECT_TRUE(boxes.empty());
    }
    const QStringList lines = Log_Lines_With(c.strMessage);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("I: ") + c.strMessage));
    EXPECT_TRUE(lines[0].endsWith(": " + clsLog::Log_Time())) << "with the time";
}

#define MISSING(filter, bits)                                                                                        \
    filter " filter for " bits " applications not installed properly! Consider re-installing from 'Files->Register " \
           "All Filters' menu!"

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterCheckTest,
    ::testing::Values(Check_Case{-1, "Error while checking for installation of filters!", false},
                      Check_Case{0, "Filters are properly installed.", false},
                      Check_Case{1, MISSING("Internet", "32-bit"), true}, Check_Case{2, MISSING("Internet", "64-bit"), true},
                      Check_Case{3, MISSING("Application", "32-bit"), true},
                      Check_Case{4, MISSING("Application", "64-bit"), true},
                      Check_Case{7,
                                 "[PARAM1] filter for [PARAM2] applications not installed properly! Consider "
                                 "re-installing from 'Files->Register All Filters' menu!",
                                 false}));

TEST_F(FileMenuTest, StartUpCheckSeesTheRealInstallation) {
    Open_Console(true);
    modProgram::Install_Filters();
    QTest::qWait(2300);  // the design's 2000 ms
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Log_Lines_With("I: Filters are properly installed.").size(), 1);
}

// ---------------------------------------------------------------- update check

class UpdateCheckTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        for (const char* strName : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) qunsetenv(strName);
        modUpdate::Set_Time_Out(3000);
        Open_Console();
    }
    void TearDown() override {
        modUpdate::Set_Time_Out(0);
        modUpdate::Set_Update_Url(QStringLiteral(DV_UPDATE_URL));
        MainWindowTest::TearDown();
    }
    void Check_Against(test::Loopback_Server& server) {
        modUpdate::Set_Update_Url(server.Url("/fns/genfns.php"));
        Item("mnuCheckUpdates")->trigger();
    }
};

TEST_F(UpdateCheckTest, ANewerVersionOffersTheDownload) {
    const QString strNewer = RUNNING_VERSION + "1";  // "3.0.01" sorts after "3.0.0"
    test::Loopback_Server server(test::Http_Response(200, strNewer.toUtf8()));
    messageBox->Answer(platform::vbNo);
    Check_Against(server);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText,
              "A new version (ver. " + strNewer + ") is available for download. Do you want to download the new version?");
    EXPECT_EQ(boxes[0].lngStyle, 68);
    EXPECT_TRUE(shell->calls.empty()) << "No downloads nothing";
    ASSERT_EQ(server.Request_Lines().size(), 1);
    EXPECT_EQ(server.Request_Lines()[0], "GET /fns/genfns.php?fn=getver&pn=dvts&pv=" + RUNNING_VERSION.toUtf8() + " HTTP/1.1");

    messageBox->Answer(platform::vbYes);
    Check_Against(server);
    EXPECT_EQ(Boxes().size(), 1u);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].strVerb, "open");
    EXPECT_EQ(shell->calls[0].strFile,
              "http://www.dravinole.invalid/dravinole-terminal-server/dravinolets-download.html?sr=dvts");
    EXPECT_EQ(shell->calls[0].strParameters, "");
    EXPECT_EQ(shell->calls[0].lngShowCmd, 1);
}

TEST_F(UpdateCheckTest, AnEqualOrTextuallySmallerReplyIsTheMostRecentVersion) {
    // "10.0.0" is numerically newer but sorts before "3..." as text.
    for (const QString& strReply : {RUNNING_VERSION, QStringLiteral("10.0.0"), QStringLiteral("1.9.9")}) {
        test::Loopback_Server server(test::Http_Response(200, strReply.toUtf8()));
        Check_Against(server);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strReply.toStdString();
        EXPECT_EQ(boxes[0].strText, "You are running the most recent version (ver. " + RUNNING_VERSION + ") of DravinoleTS!");
        EXPECT_EQ(boxes[0].lngStyle, 64);
    }
    EXPECT_TRUE(shell->calls.empty());
}

TEST_F(UpdateCheckTest, AFailureSaysTryAgainLater) {
    test::Loopback_Server notFound(test::Http_Response(404, "9.9.9"));
    Check_Against(notFound);
    modUpdate::Set_Update_Url(QStringLiteral("http://127.0.0.1:%1/fns/genfns.php").arg(test::Closed_Port()));
    Item("mnuCheckUpdates")->trigger();
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.strText, "Unable to get update information at this time! Try again later.");
        EXPECT_EQ(box.lngStyle, 48);
    }
    EXPECT_TRUE(shell->calls.empty());
}

TEST_F(UpdateCheckTest, AnEndlessReplyIsAFailureAndAReplyWithMarkupIsShownAsItCame) {
    test::Loopback_Server endless("", test::Loopback_Server::Mode::Endless_Chunked);
    Check_Against(endless);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Unable to get update information at this time! Try again later.");

    // The reply goes into the box as text; the box service shows every text as plain text.
    const QString strMarkup = "9.9<a href=\"http://evil.invalid/\">click</a>";
    test::Loopback_Server markup(test::Http_Response(200, strMarkup.toUtf8()));
    messageBox->Answer(platform::vbNo);
    Check_Against(markup);
    boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText,
              "A new version (ver. " + strMarkup + ") is available for download. Do you want to download the new version?");
    EXPECT_TRUE(shell->calls.empty());
}

}  // namespace
