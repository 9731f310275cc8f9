// Another program removes the user the console shows chosen, or removes her and adds
// her again under a new id. Every insert for her then stores nothing and says so in one
// box, the dialog closes, and the console lists the users as stored; a dialog opened for
// her says so once and does not open. An owner still stored (the all-users row too) is
// written for as before.
#include "database/modDBFunctions.h"
#include "lists/ListEditor.h"
#include "lists/frmEXEBlocker.h"
#include "lists/frmEmailFilter.h"
#include "lists/frmFileFilter.h"
#include "lists/frmPortFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "lists/frmWindowBlocker.h"
#include "platform/Controls.h"
#include "schedules/frmApplicationScheduler.h"
#include "schedules/frmApplicationSettings.h"
#include "schedules/frmDeviceSettings.h"
#include "schedules/frmInternetScheduler.h"
#include "schedules/frmInternetSettings.h"
#include "support/ConsoleFixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QTimeEdit>
#include <functional>

namespace {

class RemovedUserTest;

// One insert path: its dialog, what the administrator enters, the button that writes,
// the table it writes and the list that shows it.
struct Insert_Case {
    const char* strName;
    std::function<void(RemovedUserTest&)> open;
    std::function<void(RemovedUserTest&)> enter;
    const char* strButton;
    const char* strTable;
    const char* strList;
};

// How the user goes: removed, or removed and added again under a new id.
enum class Gone { Removed, Re_Added };

class RemovedUserTest : public test::Dialog_Case_Test {
public:
    template <class Form>
    void Open_Dialog() {
        Dialog_Case_Test::Open_Dialog<Form>();
    }
    void Type(const char* strBox, const QString& strText) { Control<QLineEdit>(strBox)->setText(strText); }
    void Choose_File(const QByteArray& bytes) { fileDialog->Choose(Write_File(bytes)); }
    void Set_Times(const char* strFrom, const char* strTo) {
        Control<QTimeEdit>("dtpkFromTime")->setTime(QTime::fromString(QLatin1String(strFrom), "HH:mm"));
        Control<QTimeEdit>("dtpkToTime")->setTime(QTime::fromString(QLatin1String(strTo), "HH:mm"));
    }
    // The network filter library beside the program, as the browse of program files needs it.
    void Put_Library() {
        const QString strTarget = Program_Dir() + "/liblhdvsock.so";
        if (!QFile::exists(strTarget)) {
            ASSERT_TRUE(QFile::copy(QString::fromLocal8Bit(DV_LHDVSOCK_FILE), strTarget));
        }
    }
    void Browse(const QString& strPath) {
        Put_Library();
        fileDialog->Choose(strPath);
    }
    QStringList List(const char* strList) const { return Listed(strList); }

    // What the console's user list shows, each name with the id its entry carries.
    QStringList Console_Users() const {
        QStringList users;
        for (int i = 0; i < console->cboUsers->count(); ++i)
            users << console->cboUsers->itemText(i) + "=" + console->cboUsers->itemData(i).toString();
        return users;
    }
    QStringList Stored_Users() {
        QStringList users;
        for (const QStringList& row : Query("SELECT USER_NAME, USER_ID FROM USER_TBL ORDER BY USER_ID"))
            users << row.join('=');
        return users;
    }
    // Another program removes alice now, or removes and adds her again.
    void Remove_Owner(Gone gone) {
        auto other = Start_Other_Program();
        if (gone == Gone::Removed) other->Delete_User(m_lngUser);
        else EXPECT_NE(other->Re_Add_User(m_lngUser, "alice"), m_lngUser);
    }
    // One box saying the user is gone; the console lists the users as stored and no
    // longer names the removed id as its owner.
    void Expect_Owner_Gone_Said_Once() {
        const std::vector<test::Shown_Box> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, modDBFunctions::Owner_Gone_Message(0));
        EXPECT_EQ(Console_Users(), Stored_Users());
        EXPECT_NE(Selected_Tag(), QString::number(m_lngUser));
    }
};

const char* Gone_Name(Gone gone) { return gone == Gone::Removed ? "Removed" : "ReAdded"; }
void PrintTo(const Insert_Case& c, std::ostream* os) { *os << c.strName; }
void PrintTo(Gone gone, std::ostream* os) { *os << Gone_Name(gone); }

template <class Form>
std::function<void(RemovedUserTest&)> Opens() {
    return [](RemovedUserTest& t) { t.Open_Dialog<Form>(); };
}

std::function<void(RemovedUserTest&)> Types(const char* strBox, const char* strText) {
    return [=](RemovedUserTest& t) { t.Type(strBox, strText); };
}

std::function<void(RemovedUserTest&)> Imports() {
    return [](RemovedUserTest& t) { t.Choose_File("first.x\r\nsecond.x\r\n"); };
}

std::function<void(RemovedUserTest&)> Browses() {
    return [](RemovedUserTest& t) { t.Browse("C:\\Tools\\first.exe"); };
}

std::function<void(RemovedUserTest&)> Times() {
    return [](RemovedUserTest& t) { t.Set_Times("07:00", "08:00"); };
}

std::function<void(RemovedUserTest&)> Nothing() {
    return [](RemovedUserTest&) {};
}

const Insert_Case INSERT_CASES[] = {
    {"BlackListAdd", Opens<frmWebsiteFilter>(), Types("txtBlackUrl", "a.com"), "cmdBlackAdd", "BL_TBL", "lvwBlackList"},
    {"WhiteListAdd", Opens<frmWebsiteFilter>(), Types("txtWhiteUrl", "a.com"), "cmdWhiteAdd", "WL_TBL", "lvwWhiteList"},
    {"FileAdd", Opens<frmFileFilter>(), Types("txtFileExtension", ".zip"), "cmdAdd", "FILE_TBL", "lvwFileFilter"},
    {"SmtpAdd", Opens<frmEmailFilter>(), Types("txtSMTPEmails", "a@b.com"), "cmdSMTPAdd", "SMTP_TBL", "lvwSMTPFilter"},
    {"Pop3Add", Opens<frmEmailFilter>(), Types("txtPOP3Emails", "a@b.com"), "cmdPOP3Add", "POP3_TBL", "lvwPOP3Filter"},
    {"ExeAdd", Opens<frmEXEBlocker>(), Types("txtEXEBlocker", "a.exe"), "cmdAdd", "EXE_TBL", "lvwEXEBlocker"},
    {"WindowAdd", Opens<frmWindowBlocker>(), Types("txtWindowBlocker", "Games"), "cmdAdd", "WINDOW_TBL",
     "lvwWindowBlocker"},
    {"BlackListImport", Opens<frmWebsiteFilter>(), Imports(), "cmdURLBLImport", "BL_TBL", "lvwBlackList"},
    {"WhiteListImport", Opens<frmWebsiteFilter>(), Imports(), "cmdURLWLImport", "WL_TBL", "lvwWhiteList"},
    {"FileImport", Opens<frmFileFilter>(), Imports(), "cmdImport", "FILE_TBL", "lvwFileFilter"},
    {"SmtpImport", Opens<frmEmailFilter>(), Imports(), "cmdSMTPImport", "SMTP_TBL", "lvwSMTPFilter"},
    {"Pop3Import", Opens<frmEmailFilter>(), Imports(), "cmdPOP3Import", "POP3_TBL", "lvwPOP3Filter"},
    {"ExeImport", Opens<frmEXEBlocker>(), Imports(), "cmdImport", "EXE_TBL", "lvwEXEBlocker"},
    {"WindowImport", Opens<frmWindowBlocker>(), Imports(), "cmdImport", "WINDOW_TBL", "lvwWindowBlocker"},
    {"ExeBrowse", Opens<frmEXEBlocker>(), Browses(), "cmdBrowseExe", "EXE_TBL", "lvwEXEBlocker"},
    {"InternetScheduleAdd", Opens<frmInternetScheduler>(), Times(), "cmAdd", "SCH_TBL", "lvwInternetScheduler"},
    {"ApplicationScheduleAdd", Opens<frmApplicationScheduler>(), Times(), "cmAdd", "SCH_TBL",
     "lvwApplicationScheduler"},
    {"AlwaysAllowedAdd", Opens<frmInternetSettings>(), Types("txtByPassedExe", "a.exe"), "cmdAdd", "BYPASS_EXE_TBL",
     "lvwBypassedExe"},
    {"AlwaysAllowedBrowse", Opens<frmInternetSettings>(), Browses(), "cmdBrowseExe", "BYPASS_EXE_TBL",
     "lvwBypassedExe"},
    {"PortFilterAdd", Opens<frmPortFilter>(), Nothing(), "cmdFAdd", "PORT_TBL", "lvwPortFilter"},
    {"PortBlockingAdd", Opens<frmPortFilter>(), Nothing(), "cmdBAdd", "PORT_TBL", "lvwPortBlocking"},
};

class RemovedOwnerInsertTest : public RemovedUserTest,
                               public ::testing::WithParamInterface<std::tuple<Insert_Case, Gone>> {};

TEST_P(RemovedOwnerInsertTest, StoresNothingSaysSoOnceClosesTheDialogAndTheConsoleListsTheUsersAsStored) {
    const auto& [c, gone] = GetParam();
    c.open(*this);
    c.enter(*this);
    const QStringList listed = List(c.strList);
    Remove_Owner(gone);
    Press(c.strButton);
    Expect_Owner_Gone_Said_Once();
    EXPECT_EQ(Scalar(QString("SELECT COUNT(*) FROM %1").arg(c.strTable)), "0");
    EXPECT_EQ(List(c.strList), listed);
    EXPECT_TRUE(dialog->isHidden());
}

class StoredOwnerInsertTest : public RemovedUserTest, public ::testing::WithParamInterface<Insert_Case> {};

TEST_P(StoredOwnerInsertTest, IsWrittenForWithoutABox) {
    const Insert_Case& c = GetParam();
    c.open(*this);
    c.enter(*this);
    Press(c.strButton);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_NE(Scalar(QString("SELECT COUNT(*) FROM %1 WHERE USER_ID=%2").arg(c.strTable).arg(m_lngUser)), "0");
    EXPECT_FALSE(List(c.strList).isEmpty());
    EXPECT_FALSE(dialog->isHidden());
}

INSTANTIATE_TEST_SUITE_P(Paths, StoredOwnerInsertTest, ::testing::ValuesIn(INSERT_CASES),
                         [](const ::testing::TestParamInfo<Insert_Case>& info) { return std::string(info.param.strName); });

INSTANTIATE_TEST_SUITE_P(Paths, RemovedOwnerInsertTest,
                         ::testing::Combine(::testing::ValuesIn(INSERT_CASES),
                                            ::testing::Values(Gone::Removed, Gone::Re_Added)),
                         [](const ::testing::TestParamInfo<std::tuple<Insert_Case, Gone>>& info) {
                             return std::string(std::get<0>(info.param).strName) + Gone_Name(std::get<1>(info.param));
                         });

// The all-users row is an owner like any user: the console writes for it in All User Mode.
TEST_F(RemovedUserTest, TheAllUsersRowIsAnOwnerStored) {
    Exec("UPDATE SETTINGS_TBL SET PROGRAM_MODE=0");
    console->Get_Working_Mode();
    ASSERT_EQ(Selected_Tag(), "0");
    Open_Dialog<frmFileFilter>();
    Type("txtFileExtension", ".zip");
    Press("cmdAdd");
    Open_Dialog<frmPortFilter>();
    Press("cmdFAdd");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Query("SELECT FILE_EXTN, USER_ID FROM FILE_TBL"), (test::Rows{{".zip", "0"}}));
    EXPECT_EQ(Query("SELECT PORT_NO, USER_ID FROM PORT_TBL"), (test::Rows{{"80", "0"}}));
}

// The owner check and the insert are one write: a removal that comes after the check
// waits for the import's commit, so the entries were stored while the owner was.
TEST_F(RemovedUserTest, ARemovalAfterTheImportsOwnerCheckWaitsForItsCommit) {
    Open_Dialog<frmFileFilter>();
    Choose_File(".zip\r\n.mp3\r\n");
    auto other = Start_Other_Program();
    other->Write_At_Statement("SELECT 1 FROM USER_TBL", "DELETE FROM USER_TBL WHERE USER_ID=" +
                                                                 QString::number(m_lngUser));
    Press("cmdImport");
    EXPECT_TRUE(other->Finish());
    EXPECT_FALSE(other->Wrote_At_Marker());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored("FILE_TBL", "FILE_EXTN"), (QStringList{".zip", ".mp3"}));
    EXPECT_EQ(List("lvwFileFilter"), (QStringList{".zip", ".mp3"}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL WHERE USER_NAME='alice'"), "0");
}

// ---- Opening a dialog for a user who is gone ----

struct Open_Case {
    const char* strName;
    void (frmMain::*menu)();
};

const Open_Case OPEN_CASES[] = {
    {"WebsiteFilter", &frmMain::mnuWebsiteFilter_Click},
    {"FileFilter", &frmMain::mnuFileFilter_Click},
    {"EmailFilter", &frmMain::mnuEmailFilter_Click},
    {"PortFilter", &frmMain::mnuPortFilter_Click},
    {"InternetScheduler", &frmMain::mnuInternetScheduler_Click},
    {"InternetSettings", &frmMain::mnuInternetSettings_Click},
    {"EXEBlocker", &frmMain::mnuEXEBlocker_Click},
    {"WindowBlocker", &frmMain::mnuWindowBlocker_Click},
    {"ApplicationScheduler", &frmMain::mnuApplicationScheduler_Click},
    {"ApplicationSettings", &frmMain::mnuApplicationSettings_Click},
    {"DeviceLock", &frmMain::mnuDeviceLock_Click},
    {"Reporting", &frmMain::mnuReporting_Click},
};

void PrintTo(const Open_Case& c, std::ostream* os) { *os << c.strName; }

class RemovedOwnerOpenTest : public RemovedUserTest,
                             public ::testing::WithParamInterface<std::tuple<Open_Case, Gone>> {};

TEST_P(RemovedOwnerOpenTest, SaysSoOnceOpensNothingAndTheConsoleListsTheUsersAsStored) {
    const auto& [c, gone] = GetParam();
    Remove_Owner(gone);
    (console.get()->*c.menu)();
    Expect_Owner_Gone_Said_Once();
    EXPECT_TRUE(forms->shown.empty());
    // Nothing was read for her, nor written: her rows are as the other program left them.
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL WHERE USER_ID=" + QString::number(m_lngUser)), "0");
}

class StoredOwnerOpenTest : public RemovedUserTest, public ::testing::WithParamInterface<Open_Case> {};

TEST_P(StoredOwnerOpenTest, OpensTheDialogWithoutABox) {
    const Open_Case& c = GetParam();
    (console.get()->*c.menu)();
    EXPECT_EQ(forms->shown.size(), 1u);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Selected_Tag(), QString::number(m_lngUser));
}

INSTANTIATE_TEST_SUITE_P(Dialogs, StoredOwnerOpenTest, ::testing::ValuesIn(OPEN_CASES),
                         [](const ::testing::TestParamInfo<Open_Case>& info) { return std::string(info.param.strName); });

INSTANTIATE_TEST_SUITE_P(Dialogs, RemovedOwnerOpenTest,
                         ::testing::Combine(::testing::ValuesIn(OPEN_CASES),
                                            ::testing::Values(Gone::Removed, Gone::Re_Added)),
                         [](const ::testing::TestParamInfo<std::tuple<Open_Case, Gone>>& info) {
                             return std::string(std::get<0>(info.param).strName) + Gone_Name(std::get<1>(info.param));
                         });

}  // namespace

namespace {

// The dialogs themselves check their owner as they open, however they are opened (not
// only through the console's menu): one box in the words of every write for her, no load
// and no other box, the console lists the users as stored, and the dialog closes.
struct Direct_Open_Case {
    const char* strName;
    std::function<void(RemovedUserTest&)> open;
};

const Direct_Open_Case DIRECT_OPEN_CASES[] = {
    {"WebsiteFilter", [](RemovedUserTest& t) { t.Open_Dialog<frmWebsiteFilter>(); }},
    {"FileFilter", [](RemovedUserTest& t) { t.Open_Dialog<frmFileFilter>(); }},
    {"EmailFilter", [](RemovedUserTest& t) { t.Open_Dialog<frmEmailFilter>(); }},
    {"PortFilter", [](RemovedUserTest& t) { t.Open_Dialog<frmPortFilter>(); }},
    {"InternetScheduler", [](RemovedUserTest& t) { t.Open_Dialog<frmInternetScheduler>(); }},
    {"InternetSettings", [](RemovedUserTest& t) { t.Open_Dialog<frmInternetSettings>(); }},
    {"EXEBlocker", [](RemovedUserTest& t) { t.Open_Dialog<frmEXEBlocker>(); }},
    {"WindowBlocker", [](RemovedUserTest& t) { t.Open_Dialog<frmWindowBlocker>(); }},
    {"ApplicationScheduler", [](RemovedUserTest& t) { t.Open_Dialog<frmApplicationScheduler>(); }},
    {"ApplicationSettings", [](RemovedUserTest& t) { t.Open_Dialog<frmApplicationSettings>(); }},
    {"DeviceLock", [](RemovedUserTest& t) { t.Open_Dialog<frmDeviceSettings>(); }},
};

class RemovedOwnerDirectOpenTest : public RemovedUserTest,
                                   public ::testing::WithParamInterface<std::tuple<Direct_Open_Case, Gone>> {};

TEST_P(RemovedOwnerDirectOpenTest, SaysSoOnceLoadsNothingAndCloses) {
    const auto& [c, gone] = GetParam();
    Remove_Owner(gone);
    const test::Rows before = Query("SELECT * FROM USER_TBL ORDER BY USER_ID");
    c.open(*this);
    QCoreApplication::processEvents();
    Expect_Owner_Gone_Said_Once();
    EXPECT_TRUE(dialog->isHidden());
    EXPECT_EQ(Query("SELECT * FROM USER_TBL ORDER BY USER_ID"), before);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, RemovedOwnerDirectOpenTest,
                         ::testing::Combine(::testing::ValuesIn(DIRECT_OPEN_CASES),
                                            ::testing::Values(Gone::Removed, Gone::Re_Added)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).strName) + Gone_Name(std::get<1>(info.param));
                         });

}  // namespace
