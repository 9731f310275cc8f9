#include "console/frmLogin.h"
#include "console/frmMain.h"
#include "database/modDB.h"
#include "filterlib/lhdvsock.h"
#include "platform/Platform.h"
#include "platform/RegistryStore.h"
#include "services/modGlobal.h"
#include "startup/Startup.h"
#include "support/Fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <functional>
#include <optional>

#include <linux/capability.h>
#include <sys/prctl.h>
#include <unistd.h>

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
    const auto bytes = [&] {
        QFile file(Database_File());
        return file.open(QIODevice::ReadOnly) ? std::optional<QByteArray>(file.readAll()) : std::nullopt;
    };
    const std::optional<QByteArray> before = bytes();
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
    // The check opens the file for writing, but creates and changes nothing.
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(QDir(Windows_Dir()).entryList(QDir::Files), before ? QStringList{"tsdvstore.iil"} : QStringList{});
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
// The check of the file does not wait, so start-up waits the lock out once.
TEST_F(StartUpTest, SettingsHeldLockedByAnotherProgramAreAFailedReadNotTheEnd) {
    Exec("UPDATE SETTINGS_TBL SET REMOTE_MODE=1");
    modGlobal::Is_Remote_Mode = true;
    int intLoginShown = 0;
    modProgram::Set_Login_Starter([&] { ++intLoginShown; });
    auto lock = Make_Fault(test::Fault::Held_Exclusive_Lock);
    const long long lngBefore = modDB::Busy_Waits();
    EXPECT_EQ(modProgram::Main(""), Run_Kind::Console);
    EXPECT_EQ(modDB::Busy_Waits() - lngBefore, 1);
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

// ---- A writer killed inside its transaction

// The journal mode the killed writer ran in: the file's own (a rollback journal) or
// write-ahead logging, which another program may have switched the file to.
struct Killed_Writer_Case {
    const char* strName;
    const char* strJournalMode;  // "" leaves the file's mode as installed
    const char* strLeftBeside;   // the file the writer leaves beside the database
};

void PrintTo(const Killed_Writer_Case& c, std::ostream* os) { *os << c.strName; }

class KilledWriterTest : public StartUpTest, public ::testing::WithParamInterface<Killed_Writer_Case> {
protected:
    void TearDown() override {
        // The console that the login opened, deleted without closing it.
        delete console.data();
        login.reset();
        StartUpTest::TearDown();
    }
    // Runs strSQL in a process of its own that then dies with SIGKILL, its transaction open.
    void Kill_Writer_Inside(const QString& strSQL) {
        QProcess p;
        p.start(QStringLiteral(DV_KILLED_WRITER), {Database_File(), strSQL});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitStatus(), QProcess::CrashExit) << p.readAllStandardError().toStdString();
    }
    QStringList Column(const QString& strSQL) {
        QStringList values;
        for (const QStringList& row : Query(strSQL)) values << row[0];
        return values;
    }
    std::unique_ptr<frmLogin> login;
    QPointer<frmMain> console;
};

// The writer added a user, thousands of list entries, removed a stored entry and
// changed the password, and was killed before its commit: its pages are in the file
// and the originals in the journal it left. The console starts, rolls it all back,
// and the administrator logs in with the password as it was.
TEST_P(KilledWriterTest, TheConsoleStartsAndTheLoginSeesTheFileAsBeforeTheTransaction) {
    const Killed_Writer_Case& c = GetParam();
    if (*c.strJournalMode) Exec(QString("PRAGMA journal_mode=") + c.strJournalMode);
    const long lngAlice = Insert_User("alice");
    Insert_User("bob");
    Exec(QString("INSERT INTO BL_TBL (BL_URL, USER_ID) VALUES ('kept1.example.com', %1), ('kept2.example.com', %1)")
             .arg(lngAlice));
    const QString strLeft = Database_File() + c.strLeftBeside;
    ASSERT_FALSE(QFileInfo(strLeft).size() > 0) << "nothing left over before the writer runs";

    Kill_Writer_Inside(QString("BEGIN IMMEDIATE; "
                               "INSERT INTO USER_TBL (USER_NAME) VALUES ('mallory'); "
                               "DELETE FROM BL_TBL WHERE BL_URL='kept1.example.com'; "
                               "UPDATE SETTINGS_TBL SET PWD='Stolen', REMOTE_MODE=1; "
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<20000) "
                               "INSERT INTO BL_TBL (BL_URL, USER_ID) SELECT 'lost' || i || '.example.com', %1 FROM n;")
                           .arg(lngAlice));
    ASSERT_GT(QFileInfo(strLeft).size(), 0) << "the killed writer left its journal";

    modProgram::Set_Login_Starter([&] {
        login = std::make_unique<frmLogin>();
        login->show();
    });
    EXPECT_EQ(modProgram::Main(""), Run_Kind::Console);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(modGlobal::Is_Remote_Mode) << "the settings as they were before the transaction";
    ASSERT_TRUE(login);
    auto* txtPassword = login->findChild<QLineEdit*>("txtPassword");
    ASSERT_NE(txtPassword, nullptr);
    QTest::keyClicks(txtPassword, "Marigold");
    QTest::keyClick(txtPassword, Qt::Key_Return);
    EXPECT_TRUE(Boxes().empty());
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* pMain = qobject_cast<frmMain*>(pWidget); pMain && pMain->isVisible()) console = pMain;
    ASSERT_TRUE(console) << "the administrator is logged in";
    QStringList users;
    for (int i = 0; i < console->cboUsers->count(); ++i) users << console->cboUsers->itemText(i);
    EXPECT_EQ(users, (QStringList{"All Users", "alice", "bob"}));

    EXPECT_EQ(Column("SELECT USER_NAME FROM USER_TBL ORDER BY USER_ID"), (QStringList{"All Users", "alice", "bob"}));
    EXPECT_EQ(Column("SELECT BL_URL FROM BL_TBL ORDER BY BL_URL"),
              (QStringList{"kept1.example.com", "kept2.example.com"}));
    EXPECT_EQ(Scalar("SELECT PWD FROM SETTINGS_TBL"), "Marigold");
    EXPECT_EQ(Scalar("PRAGMA integrity_check"), "ok");
    EXPECT_TRUE(Log_Lines().filter("E: ").isEmpty()) << Log_Lines().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(JournalModes, KilledWriterTest,
                         ::testing::Values(Killed_Writer_Case{"RollbackJournal", "", "-journal"},
                                           Killed_Writer_Case{"WriteAheadLog", "WAL", "-wal"}),
                         [](const auto& info) { return std::string(info.param.strName); });

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

// ---- The filter runs as an installation script runs them, judged by what the store holds ----

const QString CATALOG = lhdvsock::CATALOG_KEY;
const QString WINDOWS_KEY = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

// The registry store before the run.
enum class Store {
    Never_Written,       // no file: no provider was ever installed
    Catalog_Only,        // a catalog of another provider, AppInit_DLLs "other.dll"
    Installed,           // the same with the library's entry and name added
};
// What stands in the store's place during the run.
enum class Place { Writable, Read_Only, Folder };

struct Filter_Run_Case {
    const char* strName;
    const char* strSwitch;
    Store store;
    Place place;
    int intExitCode;
    const char* strError;  // the error stream's one line after "DravinoleTS: " and before the store's name, or ""
    const char* strAfter;  // the line's end after the store's name
    // What the store holds afterwards (a folder stays an empty folder): the catalog
    // entries naming the library, and AppInit_DLLs ("" when never written).
    QStringList ours;
    const char* strAppInit;
};

void PrintTo(const Filter_Run_Case& c, std::ostream* os) { *os << c.strName; }

#define WRITE_FAILED "1016: AppInit_DLLs cannot be written in "

// A store that cannot be written fails the run at the AppInit_DLLs write, which the
// installation reports in its own box (on the error stream without a display).
const Filter_Run_Case FILTER_RUNS[] = {
    {"InstallWritable", "-ip", Store::Catalog_Only, Place::Writable, 0, "", "", {"000000000002"},
     "other.dll lhdvsock.dll"},
    {"InstallReadOnly", "-ip", Store::Catalog_Only, Place::Read_Only, 1, WRITE_FAILED, "", {}, "other.dll"},
    {"InstallFolder", "-ip", Store::Never_Written, Place::Folder, 1, WRITE_FAILED, "", {}, ""},
    {"RemoveWritable", "-up", Store::Installed, Place::Writable, 0, "", "", {}, "other.dll"},
    {"RemoveReadOnly", "-up", Store::Installed, Place::Read_Only, 1, WRITE_FAILED, "", {"000000000002"},
     "other.dll lhdvsock.dll"},
    {"RemoveFolder", "-up", Store::Never_Written, Place::Folder, 1, WRITE_FAILED, "", {}, ""},
    // A store that never held a catalog names no library: removal has nothing to do.
    {"RemoveFromAStoreWithoutCatalog", "-up", Store::Never_Written, Place::Writable, 0, "", "", {}, ""},
};

#undef WRITE_FAILED

// The run's exit code when the child could not give up root's right to ignore file modes.
constexpr int CANNOT_DROP_OVERRIDE = 111;

class FilterRunProcessTest : public StartUpTest, public ::testing::WithParamInterface<Filter_Run_Case> {
protected:
    QString Store_File() const { return platform::Registry_File_In(Windows_Dir()); }
    platform::Registry_Store Registry() const { return platform::Registry_Store(Store_File()); }

    void Make(Store store) {
        if (store == Store::Never_Written) return;
        ASSERT_EQ(Registry().Set_Value(platform::HKEY_LOCAL_MACHINE, CATALOG + "\\000000000001", "PackedCatalogItem",
                                       platform::REG_BINARY, QByteArray("mswsock.dll").leftJustified(260, '\0')),
                  0);
        const bool blnOurs = store == Store::Installed;
        if (blnOurs) {
            ASSERT_EQ(Registry().Set_Value(platform::HKEY_LOCAL_MACHINE, CATALOG + "\\000000000002", "PackedCatalogItem",
                                           platform::REG_BINARY, QByteArray("lhdvsock.dll").leftJustified(260, '\0')),
                      0);
        }
        ASSERT_EQ(Registry().Set_Value(platform::HKEY_LOCAL_MACHINE, WINDOWS_KEY, "AppInit_DLLs", platform::REG_SZ,
                                       platform::Text_Data(blnOurs ? "other.dll lhdvsock.dll" : "other.dll")),
                  0);
    }
    // The catalog entries that name the library and AppInit_DLLs ("" when never
    // written); nullopt when the store cannot be read.
    std::optional<std::pair<QStringList, QString>> Held() const {
        QStringList ours;
        QString strAppInit;
        const long lngRead = Registry().Read([&](platform::Registry_Tree& tree) {
            if (platform::Registry_Key* catalog = tree.Root(platform::HKEY_LOCAL_MACHINE)->Find(CATALOG))
                for (const auto& entry : catalog->Subkeys())
                    if (const platform::Registry_Value* v = entry->Value("PackedCatalogItem");
                        v && v->data.toLower().contains("lhdvsock.dll"))
                        ours << entry->Name();
            if (platform::Registry_Key* key = tree.Root(platform::HKEY_LOCAL_MACHINE)->Find(WINDOWS_KEY))
                if (const platform::Registry_Value* v = key->Value("AppInit_DLLs")) strAppInit = platform::Data_Text(v->data);
            return 0L;
        });
        if (lngRead != 0) return std::nullopt;
        return std::make_pair(ours, strAppInit);
    }
};

// The console as built, started with the switch over a shell without a display, by the
// account that owns the files (root gives up its right to write a read-only file).
TEST_P(FilterRunProcessTest, ExitCodeAndErrorStreamSayWhatTheStoreHolds) {
    const Filter_Run_Case& c = GetParam();
    Make(c.store);
    QByteArray before;
    if (c.place == Place::Read_Only) {
        QFile file(Store_File());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        before = file.readAll();
        file.close();
        ASSERT_TRUE(QFile::setPermissions(Store_File(), QFileDevice::ReadOwner));
    }
    if (c.place == Place::Folder) {
        ASSERT_TRUE(QDir().mkdir(Store_File()));
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINDIR", Windows_Dir());
    env.insert("XDG_RUNTIME_DIR", Temp_Path(""));
    for (const char* strName : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", platform::REGISTRY_FILE_VARIABLE})
        env.remove(strName);
    QProcess p;
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([] {
        if (::geteuid() == 0 && (::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) != 0 ||
                                 ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) != 0))
            ::_exit(CANNOT_DROP_OVERRIDE);
    });
    p.start(QStringLiteral(DV_PROGRAM_BUILD_DIR "/DravinoleTS"), {c.strSwitch});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_NE(p.exitCode(), CANNOT_DROP_OVERRIDE) << "the run kept root's right to write any file";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    const QString strError = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), c.intExitCode) << strError.toStdString();
    const QString strLine = *c.strError ? "DravinoleTS: " + QString(c.strError) + Store_File() + c.strAfter + "\n" : "";
    EXPECT_EQ(strError, strLine);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());

    if (c.place == Place::Folder) {
        EXPECT_TRUE(QFileInfo(Store_File()).isDir());
        EXPECT_TRUE(QDir(Store_File()).isEmpty());
        return;
    }
    if (c.place == Place::Read_Only) {
        QFile file(Store_File());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before) << "the store is as it was";
    }
    EXPECT_EQ(Held(), std::make_pair(c.ours, QString(c.strAppInit)));
}

INSTANTIATE_TEST_SUITE_P(Stores, FilterRunProcessTest, ::testing::ValuesIn(FILTER_RUNS),
                         [](const auto& info) { return std::string(info.param.strName); });

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
