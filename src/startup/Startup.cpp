#include "startup/Startup.h"

#include "Version.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "platform/Platform.h"
#include "services/modGlobal.h"

#include <QDeadlineTimer>
#include <QLocale>
#include <QTextStream>
#include <QThread>

namespace modProgram {

namespace {
std::function<void()> g_loginStarter;
}

void Set_Login_Starter(std::function<void()> starter) { g_loginStarter = std::move(starter); }

long Create_Instance_Mutex() { return platform::Instance_Lock().Create_Mutex(QStringLiteral("lhdravinolets")); }

bool Init_Common_Controls() {
    // Qt's controls need no registration; kept so start-up reads as it always did.
    return true;
}

void Write_Log_Start() {
    platform::IEnvironment& env = platform::Environment();
    clsLog& log = *Application_Log;
    log.Start_Logging(env.Program_Folder() + "/" + env.Program_File_Name() + ".log");
    log.Log_Event(QString(89, QLatin1Char('-')), LOG_NONE, false);
    log.Log_Event("Start Time: " + QLocale::c().toString(platform::Clock().Now(), QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                  LOG_INFO, false);
    log.Log_Event("Path: " + env.Program_Folder(), LOG_INFO, false);
    log.Log_Event(QStringLiteral("Version: %1.%2 Revision: %3").arg(DV_VERSION_MAJOR).arg(DV_VERSION_MINOR).arg(DV_VERSION_REVISION),
                  LOG_INFO, false);
}

bool Is_Filter_Switch(const QString& strCommandLine) {
    return strCommandLine == QLatin1String("-ip") || strCommandLine == QLatin1String("-up");
}

Run_Kind Main(const QString& strCommandLine) {
    Create_Instance_Mutex();
    // A lock that could not be made is no previous instance: name its place and why.
    if (const QString strFailure = platform::Instance_Lock().Failure(); !strFailure.isEmpty()) {
        platform::Message_Boxes().Show(strFailure, platform::vbCritical, QStringLiteral("DravinoleTS"));
        return Run_Kind::No_Instance_Lock;
    }
    if (platform::Instance_Lock().Previous_Instance()) {
        platform::Message_Boxes().Show(QStringLiteral("A previous instance of the program is running!"),
                                       platform::vbExclamation, QStringLiteral("DravinoleTS"));
        return Run_Kind::Previous_Instance;
    }
    if (strCommandLine == QLatin1String("-ip"))
        return Install_Filters() ? Run_Kind::Install_Filters : Run_Kind::Filter_Run_Failed;
    if (strCommandLine == QLatin1String("-up"))
        return Uninstall_Filters() ? Run_Kind::Uninstall_Filters : Run_Kind::Filter_Run_Failed;
    Application_Log = std::make_unique<clsLog>();
    Write_Log_Start();
    Init_Common_Controls();
    // A file that is no settings database is reported once, by name, and ends the
    // run: every dialog would otherwise fail on it again. A file another program holds
    // locked is a failed read like any other: the read below reports it with the
    // database's own text, remote mode stays off, and the login follows.
    const QString strDatabase = modDB::Get_Database_File();
    if (QString strReason;
        modDB::Check_Settings_Database(strDatabase, strReason) == modDB::Settings_File::Unreadable) {
        Log().Show_Error("The settings database cannot be read: " + strDatabase + ": " + strReason, true);
        Close_Application_Log();
        return Run_Kind::Unreadable_Settings;
    }
    long lngRemoteMode = 0;
    QString strServerName;
    long lngClientPort = 0;
    modDBFunctions::Get_Remote_Settings(lngRemoteMode, strServerName, lngClientPort);
    modGlobal::Is_Remote_Mode = lngRemoteMode != 0;
    if (g_loginStarter) g_loginStarter();
    return Run_Kind::Console;
}

namespace {
// How long a filter run on a 64-bit system gives the provider installer, started
// without waiting, to show its work in the store before the check's answer counts.
constexpr int INSTALLER_WAIT_MS = 10000;
constexpr int INSTALLER_POLL_MS = 50;
int g_lngInstallerWaitMs = INSTALLER_WAIT_MS;
long long g_lngInstallerPolls = 0;

// A filter run whose steps ran: the check decides, and says what is amiss. Only an
// answer the installer's work can still change is waited on.
int Filter_Run_Exit_Code(bool blnInstall) {
    Filter_Run_Check check = Check_Filter_Run(blnInstall);
    const QDeadlineTimer deadline(g_lngInstallerWaitMs);
    while (check.blnAwaitsInstaller && !deadline.hasExpired()) {
        QThread::msleep(INSTALLER_POLL_MS);
        ++g_lngInstallerPolls;
        check = Check_Filter_Run(blnInstall);
    }
    if (check.strShortfall.isEmpty()) return 0;
    QTextStream(stderr) << check.strShortfall << Qt::endl;
    return 1;
}
}  // namespace

long long Installer_Polls() { return g_lngInstallerPolls; }

void Set_Installer_Wait(int lngMilliseconds) {
    g_lngInstallerWaitMs = lngMilliseconds > 0 ? lngMilliseconds : INSTALLER_WAIT_MS;
}

int Exit_Code(Run_Kind kind, const QString& strCommandLine) {
    switch (kind) {
        // The library's and the registry writes' own results are not read: what the
        // registry store holds afterwards tells whether the run did its work.
        case Run_Kind::Install_Filters: return Filter_Run_Exit_Code(true);
        case Run_Kind::Uninstall_Filters: return Filter_Run_Exit_Code(false);
        case Run_Kind::Console: return 0;
        // A second console is refused as it should be; a filter run refused by it did
        // not do what an installation script asked for.
        case Run_Kind::Previous_Instance: return Is_Filter_Switch(strCommandLine) ? 1 : 0;
        case Run_Kind::No_Instance_Lock:
        case Run_Kind::Filter_Run_Failed:
        case Run_Kind::Unreadable_Settings: return 1;
    }
    return 1;
}

}  // namespace modProgram
