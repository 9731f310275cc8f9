#include "platform/Platform.h"
#include "services/modGlobal.h"
#include "startup/Startup.h"
#include "support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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

// Places where the single-instance lock cannot be made, and the system's reason.
struct Lock_Place_Case {
    const char* strName;
    const char* strFolder;  // under the test's folder; "import.txt" there is a regular file
    const char* strReason;
};

void PrintTo(const Lock_Place_Case& c, std::ostream* os) { *os << c.strName; }

const Lock_Place_Case LOCK_PLACES[] = {
    {"FolderMissing", "no/such/folder", "No such file or directory"},
    {"FolderUnderAFile", "import.txt/Windows", "Not a directory"},
};

class LockPlaceStartUpTest : public StartUpTest, public ::testing::WithParamInterface<Lock_Place_Case> {
protected:
    void SetUp() override {
        StartUpTest::SetUp();
        QFile file(Temp_Path("import.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        strFolder = Temp_Path(GetParam().strFolder);
        strBox = QString("The single-instance lock cannot be made in the folder \"%1\": %2")
                     .arg(strFolder, GetParam().strReason);
    }
    QString strFolder, strBox;
};

TEST_P(LockPlaceStartUpTest, NamesTheFolderAndTheReasonAndEndsEveryRunAsAFailure) {
    environment->strWindowsDirectory = strFolder;
    platform::Services().instanceLock = std::make_shared<platform::File_Instance_Lock>();
    for (const char* strCommand : {"", "-ip", "-up"}) {
        const Run_Kind kind = modProgram::Main(strCommand);
        EXPECT_EQ(kind, Run_Kind::No_Instance_Lock) << strCommand;
        EXPECT_EQ(modProgram::Exit_Code(kind, strCommand), 1) << strCommand;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strCommand;
        EXPECT_EQ(boxes[0].strText, strBox);
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    }
    EXPECT_FALSE(QFile::exists(Log_File()));
    EXPECT_FALSE(modProgram::Application_Log);
    EXPECT_FALSE(QFileInfo::exists(strFolder)) << "nothing created in its place";
}

// The console as built, run as an installation script runs it: no display, the lock's
// folder unusable. It says why on the error stream and exits with a failure.
TEST_P(LockPlaceStartUpTest, FilterSwitchesRunAsAProcessExitNonZeroSayingWhy) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINDIR", strFolder);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* strSwitch : {"-ip", "-up"}) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(DV_PROGRAM_BUILD_DIR "/DravinoleTS"), {strSwitch});
        ASSERT_TRUE(p.waitForFinished(30000)) << strSwitch;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 1) << strSwitch;
        const QString strError = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_TRUE(strError.contains("DravinoleTS: " + strBox)) << strError.toStdString();
        EXPECT_FALSE(strError.contains("previous instance")) << strError.toStdString();
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(strFolder)) << "nothing installed or created there";
}

INSTANTIATE_TEST_SUITE_P(Places, LockPlaceStartUpTest, ::testing::ValuesIn(LOCK_PLACES),
                         [](const auto& info) { return std::string(info.param.strName); });

// A filter run that did not do its work ends with a failure; one that did, without.
TEST_F(StartUpTest, FilterRunsExitNonZeroWhenTheyDidNotDoTheirWork) {
    for (const char* strSwitch : {"-ip", "-up"}) {
        instanceLock->blnPrevious = true;
        EXPECT_EQ(modProgram::Exit_Code(modProgram::Main(strSwitch), strSwitch), 1) << strSwitch;
        EXPECT_EQ(Boxes().size(), 1u);
        instanceLock->blnPrevious = false;
        EXPECT_EQ(modProgram::Exit_Code(modProgram::Main(strSwitch), strSwitch), 0) << strSwitch;
        EXPECT_TRUE(Boxes().empty());
        // The network filter library missing: its box, and a failure.
        ASSERT_TRUE(QFile::remove(Program_Dir() + "/liblhdvsock.so"));
        const Run_Kind kind = modProgram::Main(strSwitch);
        EXPECT_EQ(kind, Run_Kind::Filter_Run_Failed) << strSwitch;
        EXPECT_EQ(modProgram::Exit_Code(kind, strSwitch), 1) << strSwitch;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, "53: File not found: lhdvsock.dll");
        ASSERT_TRUE(QFile::copy(QStringLiteral(DV_PROGRAM_BUILD_DIR "/liblhdvsock.so"), Program_Dir() + "/liblhdvsock.so"));
    }
    // A second console is refused as it always was, without a failure.
    instanceLock->blnPrevious = true;
    EXPECT_EQ(modProgram::Exit_Code(modProgram::Main(""), ""), 0);
    EXPECT_EQ(Boxes().size(), 1u);
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
