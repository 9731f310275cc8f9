#include "services/modGlobal.h"
#include "services/modProgram.h"
#include "support/Fixture.h"

#include <QFile>
#include <functional>

using modProgram::Run_Kind;

namespace {

class StartUpTest : public test::Dv_Test {
protected:
    void SetUp() override {
        Dv_Test::SetUp();
        // Main creates the log itself.
        modProgram::Application_Log.reset();
        QFile::remove(Log_File());
        // The filter runs load the network filter library from the program folder.
        QFile::copy(QStringLiteral(DV_PROGRAM_BUILD_DIR "/liblhdvsock.so"), Program_Dir() + "/liblhdvsock.so");
    }
};

TEST_F(StartUpTest, SecondInstanceIsRefusedBeforeAnyLogLine) {
    instanceLock->blnPrevious = true;
    for (const char* strCommand : {"", "-ip", "-up"}) {
        EXPECT_EQ(modProgram::Main(strCommand), Run_Kind::Previous_Instance);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, "A previous instance of the program is running!");
        EXPECT_EQ(boxes[0].lngStyle, 48);
        EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    }
    EXPECT_FALSE(QFile::exists(Log_File()));
    EXPECT_FALSE(QFile::exists(Windows_Dir() + "/registry.dat")) << "nothing installed or removed";
    EXPECT_FALSE(modProgram::Application_Log);
    EXPECT_EQ(instanceLock->names.front(), "lhdravinolets");
}

struct Command_Case {
    const char* strCommand;
    Run_Kind kind;
};

void PrintTo(const Command_Case& c, std::ostream* os) { *os << '"' << c.strCommand << '"'; }

class CommandLineTest : public StartUpTest, public ::testing::WithParamInterface<Command_Case> {};

TEST_P(CommandLineTest, OnlyTheExactFilterSwitchesAreFilterRuns) {
    const Command_Case c = GetParam();
    EXPECT_EQ(modProgram::Main(c.strCommand), c.kind);
    const bool blnConsole = c.kind == Run_Kind::Console;
    EXPECT_EQ(QFile::exists(Log_File()), blnConsole);
    EXPECT_EQ(static_cast<bool>(modProgram::Application_Log), blnConsole);
    modProgram::Application_Log.reset();
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineTest,
                         ::testing::Values(Command_Case{"-ip", Run_Kind::Install_Filters},
                                           Command_Case{"-up", Run_Kind::Uninstall_Filters},
                                           Command_Case{"-IP", Run_Kind::Console}, Command_Case{"-ip ", Run_Kind::Console},
                                           Command_Case{" -up", Run_Kind::Console},
                                           Command_Case{"-ip extra", Run_Kind::Console}, Command_Case{"", Run_Kind::Console}));

TEST_F(StartUpTest, ConsoleRunWritesTheStartBlockAndShowsTheLogin) {
    int intLoginShown = 0;
    modProgram::Set_Login_Starter([&] { ++intLoginShown; });
    EXPECT_EQ(modProgram::Main(""), Run_Kind::Console);
    EXPECT_EQ(intLoginShown, 1);
    const QStringList lines = Log_Lines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QString(89, '-'));
    EXPECT_EQ(lines[1].trimmed(), "I: Start Time: 2026-03-07 14:05:09");
    EXPECT_EQ(lines[2].trimmed(), "I: Path: " + Program_Dir());
    EXPECT_TRUE(lines[3].startsWith("I: Version: "));
    EXPECT_TRUE(lines[3].contains(" Revision: "));
    EXPECT_EQ(lines[3].size(), 80);
    EXPECT_FALSE(modGlobal::Is_Remote_Mode);
}

TEST_F(StartUpTest, RemoteModeFollowsTheSettingsRow) {
    Exec("UPDATE SETTINGS_TBL SET REMOTE_MODE=1");
    modProgram::Main("");
    EXPECT_TRUE(modGlobal::Is_Remote_Mode);
}

struct Settings_File_Case {
    const char* strName;
    std::function<void(test::Dv_Test&, const QString&)> spoil;
};

void PrintTo(const Settings_File_Case& c, std::ostream* os) { *os << c.strName; }

class UnreadableSettingsTest : public StartUpTest, public ::testing::WithParamInterface<Settings_File_Case> {
public:
    void Run_Sql(const QString& strSQL) { Exec(strSQL); }
};

void Overwrite(const QString& strPath, const QByteArray& bytes) {
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST_P(UnreadableSettingsTest, GiveOneBoxNamingTheFileAndEndTheRun) {
    GetParam().spoil(*this, Database_File());
    modGlobal::Is_Remote_Mode = true;
    int intLoginShown = 0;
    modProgram::Set_Login_Starter([&] { ++intLoginShown; });
    EXPECT_EQ(modProgram::Main(""), Run_Kind::Unreadable_Settings);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.startsWith("The settings database cannot be read: " + Database_File() + ": "))
        << boxes[0].strText.toStdString();
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(intLoginShown, 0);
    EXPECT_FALSE(modProgram::Application_Log) << "the run ended";
    EXPECT_TRUE(Log_Lines().filter("E: The settings database cannot be read: ").size() == 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableSettingsTest,
    ::testing::Values(
        Settings_File_Case{"Missing", [](test::Dv_Test&, const QString& strPath) { QFile::remove(strPath); }},
        Settings_File_Case{"Empty", [](test::Dv_Test&, const QString& strPath) { Overwrite(strPath, ""); }},
        Settings_File_Case{"NotADatabase",
                           [](test::Dv_Test&, const QString& strPath) { Overwrite(strPath, QByteArray(8192, 'x')); }},
        Settings_File_Case{"NoSettingsTable",
                           [](test::Dv_Test& t, const QString&) {
                               static_cast<UnreadableSettingsTest&>(t).Run_Sql("DROP TABLE SETTINGS_TBL");
                           }},
        Settings_File_Case{"NoSettingsRow",
                           [](test::Dv_Test& t, const QString&) {
                               static_cast<UnreadableSettingsTest&>(t).Run_Sql("DELETE FROM SETTINGS_TBL");
                           }}),
    [](const auto& info) { return std::string(info.param.strName); });

// A file another program holds locked past the busy time-out is no unreadable one:
// the failed read is reported with the database's own text and the login follows.
TEST_F(StartUpTest, SettingsHeldLockedByAnotherProgramAreAFailedReadNotTheEnd) {
    Exec("UPDATE SETTINGS_TBL SET REMOTE_MODE=1");
    modGlobal::Is_Remote_Mode = true;
    int intLoginShown = 0;
    modProgram::Set_Login_Starter([&] { ++intLoginShown; });
    auto lock = Make_Fault(test::Fault::Held_Exclusive_Lock);
    EXPECT_EQ(modProgram::Main(""), Run_Kind::Console);
    lock->Release();
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, test::Fault_Text(test::Fault::Held_Exclusive_Lock));
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(intLoginShown, 1);
    EXPECT_FALSE(modGlobal::Is_Remote_Mode) << "a failed read leaves remote mode off";
    EXPECT_TRUE(modProgram::Application_Log) << "the run goes on";
    EXPECT_TRUE(Log_Lines().filter("cannot be read").isEmpty());
    EXPECT_EQ(Log_Lines().filter(QString("E: ") + test::Fault_Text(test::Fault::Held_Exclusive_Lock)).size(), 1);
}

TEST_F(StartUpTest, CloseApplicationLogWritesTheEndBlockAndReleasesTheLog) {
    modProgram::Main("");
    modProgram::Close_Application_Log();
    EXPECT_FALSE(modProgram::Application_Log);
    const QStringList lines = Log_Lines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[lines.size() - 3], "I: Application Closing" + QString(80 - 22, ' ') + ": 07-Mar-26 14:05:09");
    EXPECT_EQ(lines[lines.size() - 2], "Stop" + QString(76, ' '));
    EXPECT_EQ(lines.last(), QString(50, '+') + QString(30, ' '));
}

TEST_F(StartUpTest, ShellOpenUsesTheOpenVerbShownNormally) {
    modProgram::Shell_Open("http://example.invalid/");
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].strVerb, "open");
    EXPECT_EQ(shell->calls[0].strFile, "http://example.invalid/");
    EXPECT_EQ(shell->calls[0].strParameters, "");
    EXPECT_EQ(shell->calls[0].lngShowCmd, 1);
}

TEST_F(StartUpTest, SixtyFourBitFlagComesFromThePlatform) {
    EXPECT_FALSE(modAPI::Is_64Bit_Windows());
    environment->blnWow64 = true;
    EXPECT_TRUE(modAPI::Is_64Bit_Windows());
}

}  // namespace
