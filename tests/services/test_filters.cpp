#include "filterlib/lhdvsock.h"
#include "platform/RegistryStore.h"
#include "services/modFilterLibrary.h"
#include "services/modGlobal.h"
#include "startup/Startup.h"
#include "support/Fixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <optional>

using namespace platform;
using modProgram::Run_Kind;

namespace {

QString Built(const char* strName) { return QStringLiteral(DV_PROGRAM_BUILD_DIR "/") + strName; }

const QString CATALOG = lhdvsock::CATALOG_KEY;
const QString CATALOG_64 = lhdvsock::CATALOG_KEY_64;
const QString WINDOWS_KEY = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";

// A catalog item naming a provider's library, NUL-padded to the catalog's path field.
QByteArray Item(const QByteArray& path) { return path + QByteArray(260 - path.size(), '\0'); }
// An entry of some other provider.
QByteArray Foreign_Item() { return Item("%SystemRoot%\\system32\\mswsock.dll"); }

class FiltersTest : public test::Dv_Test {
protected:
    void SetUp() override {
        Dv_Test::SetUp();
        qunsetenv(REGISTRY_FILE_VARIABLE);
    }
    void TearDown() override {
        qunsetenv(REGISTRY_FILE_VARIABLE);
        Dv_Test::TearDown();
    }

    void Put_Library() { ASSERT_TRUE(QFile::copy(Built(lhdvsock::LIBRARY_FILE), modFilterLibrary::Library_File())); }
    void Put_Installer() { ASSERT_TRUE(QFile::copy(Built(lhdvsock::INSTALLER_FILE), modFilterLibrary::Installer_File())); }

    Registry_Store Store() { return Registry_Store(Registry_File()); }

    void Add_Entry(const QString& strCatalog, const QString& strEntry, std::optional<QByteArray> item) {
        if (item)
            ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, strCatalog + "\\" + strEntry, "PackedCatalogItem", REG_BINARY, *item), 0);
        else
            ASSERT_EQ(Store().Create_Key(HKEY_LOCAL_MACHINE, strCatalog + "\\" + strEntry), 0);
    }
    // The entries of a catalog whose item names the library.
    QStringList Our_Entries(const QString& strCatalog) {
        QStringList ours;
        Store().Read([&](Registry_Tree& tree) {
            if (Registry_Key* catalog = tree.Root(HKEY_LOCAL_MACHINE)->Find(strCatalog))
                for (const auto& entry : catalog->Subkeys())
                    if (const Registry_Value* v = entry->Value("PackedCatalogItem");
                        v && v->data.toLower().contains("lhdvsock.dll"))
                        ours << entry->Name();
            return 0L;
        });
        return ours;
    }
    std::optional<QString> AppInit() {
        Registry_Value v;
        if (Store().Query_Value(HKEY_LOCAL_MACHINE, WINDOWS_KEY, "AppInit_DLLs", v) != 0) return std::nullopt;
        return Data_Text(v.data);
    }
    void Set_AppInit(const QString& strValue) {
        ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, WINDOWS_KEY, "AppInit_DLLs", REG_SZ, Text_Data(strValue)), 0);
    }
    std::optional<std::uint32_t> Load_AppInit() {
        Registry_Value v;
        if (Store().Query_Value(HKEY_LOCAL_MACHINE, WINDOWS_KEY, "LoadAppInit_DLLs", v) != 0) return std::nullopt;
        return Data_Dword(v.data);
    }
    template <class Condition>
    bool Wait_For(Condition condition) {
        QDeadlineTimer deadline(15000);
        while (!condition()) {
            if (deadline.hasExpired()) return false;
            QThread::msleep(20);
        }
        return true;
    }
};

// ---- Check_Filters_Installed ----

enum class Catalog { Missing, Empty, Foreign, Ours, Item_Missing };

using modProgram::Filter_Check;
using modProgram::Removal_Check;

struct Check_Case {
    const char* strName;
    bool blnWow64;
    Catalog cat32, cat64;
    std::optional<const char*> strAppInit;
    Filter_Check installed;  // what the installation check answers
    Removal_Check removed;   // what the removal check answers
};

void PrintTo(const Check_Case& c, std::ostream* os) { *os << c.strName; }

// A store with the catalogs of a case.
class CatalogTest : public FiltersTest {
protected:
    void Make(const QString& strCatalog, Catalog kind) {
        switch (kind) {
        case Catalog::Missing: break;
        case Catalog::Empty: ASSERT_EQ(Store().Create_Key(HKEY_LOCAL_MACHINE, strCatalog), 0); break;
        case Catalog::Foreign:
            Add_Entry(strCatalog, "000000000001", Foreign_Item());
            Add_Entry(strCatalog, "000000000002", Foreign_Item());
            break;
        case Catalog::Ours: {
            // Ours is the second entry and names the library in other letter case.
            Add_Entry(strCatalog, "000000000001", Foreign_Item());
            Add_Entry(strCatalog, "000000000002", Item("%SystemRoot%\\system32\\LhDvSock.DLL"));
            break;
        }
        case Catalog::Item_Missing:
            Add_Entry(strCatalog, "000000000001", std::nullopt);
            Add_Entry(strCatalog, "000000000002", QByteArray("lhdvsock.dll"));
            break;
        }
    }

    // The store a check reads: both catalogs and, when given, AppInit_DLLs.
    void Make_Store(bool blnWow64, Catalog cat32, Catalog cat64, const std::optional<const char*>& strAppInit) {
        environment->blnWow64 = blnWow64;
        Make(CATALOG, cat32);
        Make(CATALOG_64, cat64);
        if (strAppInit) Set_AppInit(*strAppInit);
    }
    QByteArray Store_Bytes() {
        QFile file(Registry_File());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

class CheckTest : public CatalogTest, public ::testing::WithParamInterface<Check_Case> {};

TEST_P(CheckTest, AnswersWhatIsMissingAndWhatStillNamesTheLibrary) {
    const Check_Case& c = GetParam();
    Make_Store(c.blnWow64, c.cat32, c.cat64, c.strAppInit);
    const QByteArray before = Store_Bytes();
    EXPECT_EQ(modProgram::Check_Filters_Installed(), c.installed);
    EXPECT_EQ(modProgram::Check_Filters_Removed(), c.removed);
    EXPECT_EQ(Store_Bytes(), before) << "a check writes nothing";
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(modGlobal::Err.Number, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckTest,
    ::testing::Values(
        Check_Case{"no_catalog_key", false, Catalog::Missing, Catalog::Missing, "lhdvsock.dll",
                   Filter_Check::Check_Failed, Removal_Check::AppInit_Names_Library},
        Check_Case{"nothing_written", false, Catalog::Missing, Catalog::Missing, std::nullopt,
                   Filter_Check::Check_Failed, Removal_Check::Removed},
        Check_Case{"empty_catalog", false, Catalog::Empty, Catalog::Missing, "lhdvsock.dll",
                   Filter_Check::Library_Missing_From_Catalog, Removal_Check::AppInit_Names_Library},
        Check_Case{"foreign_providers_only", false, Catalog::Foreign, Catalog::Missing, "other.dll",
                   Filter_Check::Library_Missing_From_Catalog, Removal_Check::Removed},
        Check_Case{"entry_without_item", false, Catalog::Item_Missing, Catalog::Missing, "lhdvsock.dll",
                   Filter_Check::Check_Failed, Removal_Check::Check_Failed},
        Check_Case{"all_in_place_in_capitals_among_others", false, Catalog::Ours, Catalog::Missing,
                   "other.dll LHDVSOCK.DLL", Filter_Check::Installed, Removal_Check::Catalog_Names_Library},
        Check_Case{"appinit_without_library", false, Catalog::Ours, Catalog::Missing, "other.dll",
                   Filter_Check::Library_Missing_From_AppInit, Removal_Check::Catalog_Names_Library},
        Check_Case{"appinit_missing", false, Catalog::Ours, Catalog::Missing, std::nullopt,
                   Filter_Check::Library_Missing_From_AppInit, Removal_Check::Catalog_Names_Library},
        // Removal takes out the entries that are the library, by name or path, and
        // looks for those: another DLL whose name ends in it is no trace of it.
        Check_Case{"appinit_library_by_path", false, Catalog::Foreign, Catalog::Missing,
                   "a.dll,C:\\Windows\\LHDVSOCK.DLL", Filter_Check::Library_Missing_From_Catalog,
                   Removal_Check::AppInit_Names_Library},
        Check_Case{"appinit_other_dll_ending_in_the_name", false, Catalog::Foreign, Catalog::Missing,
                   "notlhdvsock.dll", Filter_Check::Library_Missing_From_Catalog, Removal_Check::Removed},
        Check_Case{"w64_missing_from_64bit_catalog_appinit_not_read", true, Catalog::Ours, Catalog::Foreign,
                   std::nullopt, Filter_Check::Library_Missing_From_64Bit_Catalog, Removal_Check::Catalog_Names_Library},
        Check_Case{"w64_no_64bit_catalog_key", true, Catalog::Ours, Catalog::Missing, "lhdvsock.dll",
                   Filter_Check::Check_Failed, Removal_Check::Catalog_Names_Library},
        Check_Case{"w64_missing_from_32bit_catalog", true, Catalog::Foreign, Catalog::Ours, "lhdvsock.dll",
                   Filter_Check::Library_Missing_From_Catalog, Removal_Check::Catalog_64Bit_Names_Library},
        Check_Case{"w64_all_in_place", true, Catalog::Ours, Catalog::Ours, "a.dll,lhdvsock.dll",
                   Filter_Check::Installed, Removal_Check::Catalog_Names_Library},
        Check_Case{"w64_appinit_without_library", true, Catalog::Ours, Catalog::Ours, "",
                   Filter_Check::Library_Missing_From_AppInit, Removal_Check::Catalog_Names_Library},
        Check_Case{"w64_only_appinit_left", true, Catalog::Foreign, Catalog::Empty, "lhdvsock.dll",
                   Filter_Check::Library_Missing_From_Catalog, Removal_Check::AppInit_Names_Library},
        Check_Case{"w64_removed_no_64bit_catalog_key", true, Catalog::Foreign, Catalog::Missing, "",
                   Filter_Check::Library_Missing_From_Catalog, Removal_Check::Removed},
        Check_Case{"w64_64bit_entry_without_item", true, Catalog::Foreign, Catalog::Item_Missing, "",
                   Filter_Check::Library_Missing_From_Catalog, Removal_Check::Check_Failed}),
    [](const auto& info) { return std::string(info.param.strName); });

// What a filter run whose steps ran ends with, judged by the store as the check finds
// it: the exit code, the one line on the error stream naming what is missing or still
// there, and, on a 64-bit system, a wait for the provider installer only while the
// answer is one its work can change (the catalogs, not AppInit_DLLs). The store is left
// as it was.
struct Filter_Run_Case {
    const char* strName;
    bool blnInstall;
    bool blnWow64;
    Catalog cat32, cat64;
    std::optional<const char*> strAppInit;
    const char* strBefore;  // the line up to the store's name ("" when the run did its work)
    const char* strAfter;   // the line after it
    bool blnWaits;          // the installer's time was waited out
};

void PrintTo(const Filter_Run_Case& c, std::ostream* os) { *os << c.strName; }

constexpr int SHORT_INSTALLER_WAIT_MS = 300;

class FilterRunTest : public CatalogTest, public ::testing::WithParamInterface<Filter_Run_Case> {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        modProgram::Set_Installer_Wait(SHORT_INSTALLER_WAIT_MS);
    }
    void TearDown() override {
        modProgram::Set_Installer_Wait(0);
        CatalogTest::TearDown();
    }
};

#define IP "DravinoleTS: -ip: the network filter is not installed: "
#define UP "DravinoleTS: -up: the network filter is not removed: "

TEST_P(FilterRunTest, ExitCodeAndLineSayWhatTheStoreHolds) {
    const Filter_Run_Case& c = GetParam();
    Make_Store(c.blnWow64, c.cat32, c.cat64, c.strAppInit);
    const QByteArray before = Store_Bytes();
    const QString strLine = *c.strBefore ? c.strBefore + Registry_File() + c.strAfter : QString();

    const modProgram::Filter_Run_Check check = modProgram::Check_Filter_Run(c.blnInstall);
    EXPECT_EQ(check.strShortfall, strLine);
    EXPECT_EQ(check.blnAwaitsInstaller, c.blnWaits);

    const long long lngPollsBefore = modProgram::Installer_Polls();
    ::testing::internal::CaptureStderr();
    const int intExit = c.blnInstall ? modProgram::Exit_Code(Run_Kind::Install_Filters, "-ip")
                                     : modProgram::Exit_Code(Run_Kind::Uninstall_Filters, "-up");
    const QString strError = QString::fromStdString(::testing::internal::GetCapturedStderr());
    const long long lngPolls = modProgram::Installer_Polls() - lngPollsBefore;

    EXPECT_EQ(intExit, strLine.isEmpty() ? 0 : 1);
    EXPECT_EQ(strError, strLine.isEmpty() ? QString() : strLine + "\n");
    if (c.blnWaits)
        EXPECT_GT(lngPolls, 0) << "the installer's work was waited for";
    else
        EXPECT_EQ(lngPolls, 0) << "nothing the installer does changes this answer";
    EXPECT_EQ(Store_Bytes(), before);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(modGlobal::Err.Number, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterRunTest,
    ::testing::Values(
        Filter_Run_Case{"install_all_in_place", true, false, Catalog::Ours, Catalog::Missing, "a.dll LHDVSOCK.DLL", "",
                        "", false},
        Filter_Run_Case{"install_no_provider", true, false, Catalog::Foreign, Catalog::Missing, "lhdvsock.dll",
                        IP "the Winsock catalog in ", " does not name lhdvsock.dll", false},
        Filter_Run_Case{"install_appinit_without_library", true, false, Catalog::Ours, Catalog::Missing, "other.dll",
                        IP "AppInit_DLLs in ", " does not name lhdvsock.dll", false},
        Filter_Run_Case{"install_no_catalog", true, false, Catalog::Missing, Catalog::Missing, "lhdvsock.dll",
                        IP "no readable Winsock catalog in ", "", false},
        Filter_Run_Case{"install_w64_all_in_place", true, true, Catalog::Ours, Catalog::Ours, "lhdvsock.dll", "", "",
                        false},
        Filter_Run_Case{"install_w64_no_provider_yet", true, true, Catalog::Foreign, Catalog::Foreign, "lhdvsock.dll",
                        IP "the Winsock catalog in ", " does not name lhdvsock.dll", true},
        Filter_Run_Case{"install_w64_no_64bit_provider", true, true, Catalog::Ours, Catalog::Foreign, "lhdvsock.dll",
                        IP "the 64-bit Winsock catalog in ", " does not name lhdvsock.dll", true},
        Filter_Run_Case{"install_w64_no_64bit_catalog_yet", true, true, Catalog::Ours, Catalog::Missing,
                        "lhdvsock.dll", IP "no readable Winsock catalog in ", "", true},
        Filter_Run_Case{"install_w64_appinit_without_library", true, true, Catalog::Ours, Catalog::Ours, "",
                        IP "AppInit_DLLs in ", " does not name lhdvsock.dll", false},
        Filter_Run_Case{"remove_done", false, false, Catalog::Foreign, Catalog::Missing, "other.dll", "", "", false},
        Filter_Run_Case{"remove_no_catalog_at_all", false, false, Catalog::Missing, Catalog::Missing, std::nullopt, "",
                        "", false},
        // The catalog is done with, but every program would still load the library.
        Filter_Run_Case{"remove_done_while_appinit_still_names_the_library", false, false, Catalog::Empty,
                        Catalog::Missing, "lhdvsock.dll", UP "AppInit_DLLs in ", " still names lhdvsock.dll", false},
        Filter_Run_Case{"remove_provider_left", false, false, Catalog::Ours, Catalog::Missing, "",
                        UP "the Winsock catalog in ", " still names lhdvsock.dll", false},
        Filter_Run_Case{"remove_entry_without_item", false, false, Catalog::Item_Missing, Catalog::Missing, "",
                        UP "no readable Winsock catalog in ", "", false},
        Filter_Run_Case{"remove_w64_done", false, true, Catalog::Foreign, Catalog::Foreign, "notlhdvsock.dll", "", "",
                        false},
        Filter_Run_Case{"remove_w64_done_without_64bit_catalog", false, true, Catalog::Foreign, Catalog::Missing, "",
                        "", "", false},
        Filter_Run_Case{"remove_w64_provider_left_in_32bit_catalog", false, true, Catalog::Ours, Catalog::Foreign, "",
                        UP "the Winsock catalog in ", " still names lhdvsock.dll", true},
        Filter_Run_Case{"remove_w64_provider_left_in_64bit_catalog", false, true, Catalog::Foreign, Catalog::Ours, "",
                        UP "the 64-bit Winsock catalog in ", " still names lhdvsock.dll", true},
        Filter_Run_Case{"remove_w64_64bit_entry_without_item", false, true, Catalog::Empty, Catalog::Item_Missing, "",
                        UP "no readable Winsock catalog in ", "", true},
        Filter_Run_Case{"remove_w64_appinit_still_names_the_library", false, true, Catalog::Foreign, Catalog::Empty,
                        "a.dll,LhDvSock.dll", UP "AppInit_DLLs in ", " still names lhdvsock.dll", false}),
    [](const auto& info) { return std::string(info.param.strName); });

#undef IP
#undef UP

TEST_F(FiltersTest, CheckFailsWithoutAReadableRegistry) {
    Add_Entry(CATALOG, "000000000001", QByteArray("lhdvsock.dll"));
    Set_AppInit("lhdvsock.dll");
    ASSERT_EQ(modProgram::Check_Filters_Installed(), Filter_Check::Installed);
    QFile file(Registry_File());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("torn");
    file.close();
    EXPECT_EQ(modProgram::Check_Filters_Installed(), Filter_Check::Check_Failed);
    EXPECT_EQ(modProgram::Check_Filters_Removed(), Removal_Check::Check_Failed);
    environment->strWindowsDirectory.clear();
    EXPECT_EQ(modProgram::Check_Filters_Installed(), Filter_Check::Check_Failed);
    EXPECT_EQ(modProgram::Check_Filters_Removed(), Removal_Check::Check_Failed);
}

// ---- Install_Filters / Uninstall_Filters ----

TEST_F(FiltersTest, OnA32BitSystemTheSwitchesCallTheLibraryAndNeverTheInstaller) {
    Put_Library();
    Set_AppInit("other.dll");
    EXPECT_EQ(modProgram::Main("-ip"), Run_Kind::Install_Filters);
    EXPECT_TRUE(shell->started.empty());
    EXPECT_EQ(Our_Entries(CATALOG).size(), 1);
    EXPECT_TRUE(Our_Entries(CATALOG_64).isEmpty());
    EXPECT_EQ(AppInit(), "other.dll lhdvsock.dll");
    EXPECT_EQ(Load_AppInit(), 1u);
    EXPECT_EQ(qEnvironmentVariable(REGISTRY_FILE_VARIABLE), Registry_File());
    EXPECT_EQ(modProgram::Check_Filters_Installed(), Filter_Check::Installed);

    // Installing again adds neither a second entry nor a second name.
    modProgram::Install_Filters();
    EXPECT_EQ(Our_Entries(CATALOG).size(), 1);
    EXPECT_EQ(AppInit(), "other.dll lhdvsock.dll");

    ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, WINDOWS_KEY, "LoadAppInit_DLLs", REG_DWORD, Dword_Data(0)), 0);
    EXPECT_EQ(modProgram::Main("-up"), Run_Kind::Uninstall_Filters);
    EXPECT_TRUE(shell->started.empty());
    EXPECT_TRUE(Our_Entries(CATALOG).isEmpty());
    EXPECT_EQ(AppInit(), "other.dll");
    EXPECT_EQ(Load_AppInit(), 0u) << "removal leaves LoadAppInit_DLLs as it was";
    EXPECT_EQ(modProgram::Check_Filters_Installed(), Filter_Check::Library_Missing_From_Catalog);
}

TEST_F(FiltersTest, OnA64BitSystemInstallStartsTheInstallerAndRemoveAlsoCallsTheLibrary) {
    environment->blnWow64 = true;
    Put_Library();
    EXPECT_EQ(modProgram::Main("-ip"), Run_Kind::Install_Filters);
    ASSERT_EQ(shell->started.size(), 1u);
    EXPECT_EQ(shell->started[0].first, Program_Dir() + "/Skelwin");
    EXPECT_EQ(shell->started[0].second, QStringList{"-ip"});
    EXPECT_TRUE(Our_Entries(CATALOG).isEmpty()) << "function 3 is not called on a 64-bit system";
    EXPECT_EQ(AppInit(), "lhdvsock.dll");
    EXPECT_EQ(Load_AppInit(), 1u);
    EXPECT_EQ(qEnvironmentVariable(REGISTRY_FILE_VARIABLE), Registry_File()) << "the installer learns the store";

    Add_Entry(CATALOG, "000000000007", QByteArray("lhdvsock.dll"));
    EXPECT_EQ(modProgram::Main("-up"), Run_Kind::Uninstall_Filters);
    ASSERT_EQ(shell->started.size(), 2u);
    EXPECT_EQ(shell->started[1].second, QStringList{"-up"});
    EXPECT_TRUE(Our_Entries(CATALOG).isEmpty()) << "function 4 follows the installer's start";
    EXPECT_EQ(AppInit(), "");
}

TEST_F(FiltersTest, TheRealInstallerStartedHiddenInstallsAndRemovesTheProvider) {
    environment->blnWow64 = true;
    Put_Library();
    Put_Installer();
    platform::Services().shell = std::make_shared<platform::Process_Shell>();
    modProgram::Install_Filters();
    EXPECT_TRUE(Wait_For([&] { return modProgram::Check_Filters_Installed() == Filter_Check::Installed; }));
    EXPECT_EQ(Our_Entries(CATALOG_64).size(), 1);
    EXPECT_EQ(Our_Entries(CATALOG).size(), 1);
    modProgram::Uninstall_Filters();
    EXPECT_TRUE(Wait_For([&] { return Our_Entries(CATALOG_64).isEmpty(); }));
    EXPECT_EQ(modProgram::Check_Filters_Installed(), Filter_Check::Library_Missing_From_Catalog);
    EXPECT_EQ(AppInit(), "");
}

// The installer works on its own after its start: the filter run's exit code waits for
// its work to show in the store, so that a 64-bit installation that succeeds says so.
TEST_F(FiltersTest, OnA64BitSystemTheExitCodeWaitsForTheInstallersWork) {
    environment->blnWow64 = true;
    Put_Library();
    Put_Installer();
    platform::Services().shell = std::make_shared<platform::Process_Shell>();
    EXPECT_EQ(modProgram::Exit_Code(modProgram::Main("-ip"), "-ip"), 0);
    EXPECT_EQ(Our_Entries(CATALOG_64).size(), 1);
    EXPECT_EQ(Our_Entries(CATALOG).size(), 1);
    EXPECT_EQ(modProgram::Check_Filters_Installed(), Filter_Check::Installed);
    EXPECT_EQ(modProgram::Exit_Code(modProgram::Main("-up"), "-up"), 0);
    EXPECT_TRUE(Our_Entries(CATALOG).isEmpty());
    EXPECT_TRUE(Wait_For([&] { return Our_Entries(CATALOG_64).isEmpty(); }));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FiltersTest, TheInstallerProgramTakesOnlyItsTwoSwitches) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(REGISTRY_FILE_VARIABLE, Registry_File());
    auto run = [&](QStringList args, bool blnWithStore = true) {
        QProcess p;
        QProcessEnvironment e = env;
        if (!blnWithStore) e.remove(REGISTRY_FILE_VARIABLE);
        p.setProcessEnvironment(e);
        p.start(Built("Skelwin"), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return p.exitCode();
    };
    Add_Entry(CATALOG_64, "000000000003", Foreign_Item());
    EXPECT_EQ(run({"-ip"}), 0);
    EXPECT_EQ(Our_Entries(CATALOG_64), QStringList{"000000000004"});
    EXPECT_EQ(run({"-ip"}), 0);
    EXPECT_EQ(Our_Entries(CATALOG_64).size(), 1);
    for (const QStringList& bad : {QStringList{}, QStringList{"-IP"}, QStringList{"-ip", "x"}, QStringList{"/ip"}})
        EXPECT_EQ(run(bad), 1) << bad.join(' ').toStdString();
    EXPECT_EQ(run({"-up"}, false), 2);
    EXPECT_EQ(Our_Entries(CATALOG_64).size(), 1);
    EXPECT_EQ(run({"-up"}), 0);
    EXPECT_TRUE(Our_Entries(CATALOG_64).isEmpty());
    QStringList left;
    Store().Enum_Keys(HKEY_LOCAL_MACHINE, CATALOG_64, left);
    EXPECT_EQ(left, QStringList{"000000000003"}) << "other providers stay";
}

// The console's environment on a machine without a display (an install script run
// over a remote shell or from a package).
QProcessEnvironment No_Display_Environment(const QString& strWindowsDir, const QString& strRuntimeDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINDIR", strWindowsDir);
    env.insert("XDG_RUNTIME_DIR", strRuntimeDir);
    for (const char* strName : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", REGISTRY_FILE_VARIABLE}) env.remove(strName);
    return env;
}

TEST_F(FiltersTest, TheConsoleStartedWithTheSwitchesInstallsAndRemovesWithoutADisplay) {
    const QProcessEnvironment env = No_Display_Environment(Windows_Dir(), Temp_Path(""));
    for (const char* strSwitch : {"-ip", "-up"}) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(Built("DravinoleTS"), {strSwitch});
        ASSERT_TRUE(p.waitForFinished(30000)) << strSwitch;
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        if (QString(strSwitch) == "-ip") {
            EXPECT_EQ(Our_Entries(CATALOG).size(), 1);
            EXPECT_EQ(AppInit(), "lhdvsock.dll");
            EXPECT_EQ(modProgram::Check_Filters_Installed(), Filter_Check::Installed);
        } else {
            EXPECT_TRUE(Our_Entries(CATALOG).isEmpty());
            EXPECT_EQ(AppInit(), "");
            EXPECT_EQ(Load_AppInit(), 1u);
        }
    }
}

TEST_F(FiltersTest, OnlyTheExactRawSwitchesInstallOrRemove) {
    QProcessEnvironment env = No_Display_Environment(Windows_Dir(), Temp_Path(""));
    // Without a display a console run cannot start at all: "-ip" with a Qt option is
    // such a run, and installs nothing.
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(Built("DravinoleTS"), {"-ip", "-reverse"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_TRUE(Our_Entries(CATALOG).isEmpty());
    EXPECT_EQ(AppInit(), std::nullopt);

    QProcess install;
    install.setProcessEnvironment(env);
    install.start(Built("DravinoleTS"), {"-ip"});
    ASSERT_TRUE(install.waitForFinished(30000));
    ASSERT_EQ(Our_Entries(CATALOG).size(), 1);

    // With Qt's own options around it, "-up" starts the console (offscreen here), which
    // removes nothing.
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess console;
    console.setProcessEnvironment(env);
    console.start(Built("DravinoleTS"), {"-platform", "offscreen", "-up"});
    EXPECT_FALSE(console.waitForFinished(3000)) << "the console is running";
    console.kill();
    console.waitForFinished(10000);
    EXPECT_EQ(Our_Entries(CATALOG).size(), 1);
    EXPECT_EQ(AppInit(), "lhdvsock.dll");
}

TEST_F(FiltersTest, AConsoleOnTheSameDatabaseInAnotherEnvironmentIsAPreviousInstance) {
    // This process holds the lock of the fixture's settings database.
    File_Instance_Lock held;
    held.Create_Mutex("lhdravinolets");
    ASSERT_FALSE(held.Previous_Instance());
    QProcess p;
    p.setProcessEnvironment(No_Display_Environment(Windows_Dir(), Temp_Path("other-runtime")));
    p.start(Built("DravinoleTS"), {"-ip"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError()).contains("A previous instance of the program is running!"));
    EXPECT_TRUE(Our_Entries(CATALOG).isEmpty()) << "nothing was installed";
}

struct AppInit_Case {
    const char* strBefore;
    const char* strInstalled;
    const char* strRemoved;
};

TEST_F(FiltersTest, AppInitKeepsTheOtherDllNames) {
    const AppInit_Case cases[] = {
        {"", "lhdvsock.dll", ""},
        {"other.dll", "other.dll lhdvsock.dll", "other.dll"},
        {"a.dll,b.dll", "a.dll,b.dll,lhdvsock.dll", "a.dll,b.dll"},
        {"a.dll LHDVSOCK.DLL b.dll", "a.dll LHDVSOCK.DLL b.dll", "a.dll b.dll"},
        {"C:\\Windows\\lhdvsock.dll  notlhdvsock.dll", "C:\\Windows\\lhdvsock.dll notlhdvsock.dll", "notlhdvsock.dll"},
    };
    for (const AppInit_Case& c : cases) {
        Set_AppInit(c.strBefore);
        modProgram::Set_AppInit_Dlls(true);
        EXPECT_EQ(AppInit(), c.strInstalled) << c.strBefore;
        modProgram::Set_AppInit_Dlls(false);
        EXPECT_EQ(AppInit(), c.strRemoved) << c.strBefore;
    }
    // A value never written is created; nothing is shown either way.
    ASSERT_EQ(Store().Delete_Value(HKEY_LOCAL_MACHINE, WINDOWS_KEY, "AppInit_DLLs"), 0);
    modProgram::Set_AppInit_Dlls(false);
    EXPECT_EQ(AppInit(), "");
    // Without a registry nothing can be written: that is a failure, not a silent end.
    environment->strWindowsDirectory.clear();
    try {
        modProgram::Set_AppInit_Dlls(true);
        ADD_FAILURE() << "no failure without a registry";
    } catch (const Run_Time_Error& e) {
        EXPECT_EQ(e.Number, 429);
        EXPECT_EQ(e.Description, "ActiveX component can't create object");
    }
    EXPECT_TRUE(Boxes().empty());
}

// A store that can be read but not written (its lock cannot be taken): the AppInit
// write fails after the provider step, and the run reports it in the installation's
// own box and fails, whatever the check would say afterwards.
struct Write_Failure_Case {
    const char* strName;
    bool blnWow64;
    bool blnInstall;
};

void PrintTo(const Write_Failure_Case& c, std::ostream* os) { *os << c.strName; }

class AppInitWriteFailureTest : public FiltersTest, public ::testing::WithParamInterface<Write_Failure_Case> {};

TEST_P(AppInitWriteFailureTest, IsReportedOnceAndFailsTheRun) {
    const Write_Failure_Case& c = GetParam();
    environment->blnWow64 = c.blnWow64;
    Put_Library();
    const char* strBefore = c.blnInstall ? "kept.dll" : "kept.dll lhdvsock.dll";
    if (!c.blnInstall) Add_Entry(CATALOG, "000000000001", QByteArray("lhdvsock.dll"));
    Set_AppInit(strBefore);
    ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, WINDOWS_KEY, "LoadAppInit_DLLs", REG_DWORD, Dword_Data(0)), 0);
    QFile::remove(Registry_File() + ".lock");
    ASSERT_TRUE(QDir().mkdir(Registry_File() + ".lock"));
    const QString strSwitch = c.blnInstall ? "-ip" : "-up";

    const Run_Kind kind = modProgram::Main(strSwitch);

    EXPECT_EQ(kind, Run_Kind::Filter_Run_Failed);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "1016: AppInit_DLLs cannot be written in " + Registry_File());
    EXPECT_EQ(boxes[0].lngStyle, 0);
    EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(modProgram::Exit_Code(kind, strSwitch), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the box was the report";
    EXPECT_EQ(AppInit(), strBefore);
    EXPECT_EQ(Load_AppInit(), 0u);
    EXPECT_EQ(shell->started.size(), c.blnWow64 ? 1u : 0u);
    EXPECT_EQ(modGlobal::Err.Number, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, AppInitWriteFailureTest,
                         ::testing::Values(Write_Failure_Case{"install", false, true},
                                           Write_Failure_Case{"remove", false, false},
                                           Write_Failure_Case{"w64_install", true, true},
                                           Write_Failure_Case{"w64_remove", true, false}),
                         [](const auto& info) { return std::string(info.param.strName); });

// ---- Failures at the call ----

enum class Folder { Empty, Garbage_Library, Library };

struct Failure_Case {
    const char* strName;
    bool blnWow64;
    bool blnInstall;
    Folder folder;
    bool blnInstallerStarts;
    const char* strBox;
};

void PrintTo(const Failure_Case& c, std::ostream* os) { *os << c.strName; }

class FailureTest : public FiltersTest, public ::testing::WithParamInterface<Failure_Case> {};

TEST_P(FailureTest, IsShownAsNumberAndDescriptionAndEndsTheRun) {
    const Failure_Case& c = GetParam();
    environment->blnWow64 = c.blnWow64;
    shell->blnStartSucceeds = c.blnInstallerStarts;
    if (c.folder == Folder::Library) Put_Library();
    if (c.folder == Folder::Garbage_Library) {
        QFile file(modFilterLibrary::Library_File());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is no shared object");
    }
    Add_Entry(CATALOG, "000000000001", QByteArray("lhdvsock.dll"));
    Set_AppInit("kept.dll");
    ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, WINDOWS_KEY, "LoadAppInit_DLLs", REG_DWORD, Dword_Data(0)), 0);
    const int intLogLines = Log_Lines().size();

    c.blnInstall ? modProgram::Install_Filters() : modProgram::Uninstall_Filters();

    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, c.strBox);
    EXPECT_EQ(boxes[0].lngStyle, 0);
    EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    // The steps after the failing one did not run.
    EXPECT_EQ(AppInit(), "kept.dll");
    EXPECT_EQ(Load_AppInit(), 0u);
    EXPECT_EQ(Our_Entries(CATALOG).size(), 1);
    EXPECT_EQ(Log_Lines().size(), intLogLines) << "the box is not a logged error report";
    EXPECT_EQ(modGlobal::Err.Number, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailureTest,
    ::testing::Values(
        Failure_Case{"install_library_missing", false, true, Folder::Empty, true, "53: File not found: lhdvsock.dll"},
        Failure_Case{"remove_library_missing", false, false, Folder::Empty, true, "53: File not found: lhdvsock.dll"},
        Failure_Case{"install_library_not_loadable", false, true, Folder::Garbage_Library, true, "48: Error in loading DLL"},
        Failure_Case{"w64_install_installer_missing", true, true, Folder::Library, false, "53: File not found"},
        Failure_Case{"w64_remove_installer_missing", true, false, Folder::Library, false, "53: File not found"},
        Failure_Case{"w64_remove_library_missing", true, false, Folder::Empty, true, "53: File not found: lhdvsock.dll"}),
    [](const auto& info) { return std::string(info.param.strName); });

// ---- The library's functions ----

TEST_F(FiltersTest, FunctionsAreResolvedByNumberOnly) {
    Put_Library();
    for (int n : {3, 4, 19}) EXPECT_NE(modFilterLibrary::Function_By_Number(n), nullptr) << n;
    for (int n : {1, 5, 20}) {
        try {
            modFilterLibrary::Function_By_Number(n);
            ADD_FAILURE() << "function " << n << " resolved";
        } catch (const Run_Time_Error& e) {
            EXPECT_EQ(e.Number, 453);
            EXPECT_EQ(e.Description, QString("Can't find DLL entry point #%1 in lhdvsock.dll").arg(n));
        }
    }
}

TEST_F(FiltersTest, TheProviderFunctionsRefuseAnyOtherKey) {
    Put_Library();
    EXPECT_EQ(modFilterLibrary::Install_Network_Provider(2705), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Store().Open_Key(HKEY_LOCAL_MACHINE, CATALOG), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(modFilterLibrary::Install_Network_Provider(-2705), 0);
    EXPECT_EQ(Our_Entries(CATALOG), QStringList{"000000000001"});
    EXPECT_EQ(modFilterLibrary::Remove_Network_Provider(0), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Our_Entries(CATALOG).size(), 1);
    EXPECT_EQ(modFilterLibrary::Remove_Network_Provider(-2705), 0);
    EXPECT_TRUE(Our_Entries(CATALOG).isEmpty());
}

struct Exe_Name_Case {
    QString strPath;
    QString strName;
};

TEST_F(FiltersTest, GetExeNameGivesTheFileNamePartWithinTheBuffer) {
    Put_Library();
    const QString strLong = "C:\\Apps\\" + QString(300, 'a') + ".exe";
    const Exe_Name_Case cases[] = {
        {"C:\\Program Files\\Mail Client\\mailer.exe", "mailer.exe"},
        {"/usr/lib/firefox/firefox", "firefox"},
        {"notepad.exe", "notepad.exe"},
        {"", ""},
        {"C:\\Tools\\", ""},
        {"D:\\my app.exe", "my app.exe"},
        {strLong, QString(247, 'a')},        // the caller cuts the path to 255 characters
        {QString(255, 'b'), QString(254, 'b')},  // the NUL stays within the 255 characters
    };
    for (const Exe_Name_Case& c : cases) {
        // Filled as the browse routines fill it: padded with blanks to 255, then a NUL.
        QByteArray buffer = c.strPath.toLocal8Bit().left(255);
        buffer.append(QByteArray(255 - buffer.size(), ' '));
        buffer.append('\0');
        modFilterLibrary::Get_Exe_Name(buffer.data());
        const qsizetype lngNul = buffer.indexOf('\0');
        EXPECT_LT(lngNul, 255) << c.strPath.toStdString();
        EXPECT_EQ(QString::fromLocal8Bit(buffer.left(lngNul)), c.strName) << c.strPath.toStdString();
        EXPECT_EQ(buffer.size(), 256);
        EXPECT_EQ(buffer[255], '\0');
    }
}

}  // namespace
