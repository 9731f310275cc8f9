#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

class Stderr_Message_Box : public IMessageBox {
public:
    int Show(const QString& strText, long lngStyle, const QString& strTitle) override {
        QTextStream(stderr) << strTitle << ": " << strText << Qt::endl;
        return (lngStyle & 7) == vbYesNo ? vbNo : vbOK;
    }
};

class Cancel_File_Dialog : public IFileDialog {
public:
    bool Show_Open(Common_Dialog&, QWidget*) override { return false; }
    bool Show_Save(Common_Dialog&, QWidget*) override { return false; }
};

class No_Forms : public IForms {
public:
    int Show_Modal(QWidget&, QWidget*) override { return 0; }
};

}  // namespace

Service_Set& Services() {
    static Service_Set set = [] {
        Service_Set s;
        s.environment = std::make_shared<System_Environment>();
        s.instanceLock = std::make_shared<File_Instance_Lock>();
        s.messageBox = std::make_shared<Stderr_Message_Box>();
        s.fileDialog = std::make_shared<Cancel_File_Dialog>();
        s.shell = std::make_shared<Process_Shell>();
        s.forms = std::make_shared<No_Forms>();
        s.clock = std::make_shared<System_Clock>();
        return s;
    }();
    return set;
}

void Install_Core_Defaults() {
    Service_Set& s = Services();
    s.environment = std::make_shared<System_Environment>();
    s.instanceLock = std::make_shared<File_Instance_Lock>();
    s.messageBox = std::make_shared<Stderr_Message_Box>();
    s.fileDialog = std::make_shared<Cancel_File_Dialog>();
    s.shell = std::make_shared<Process_Shell>();
    s.forms = std::make_shared<No_Forms>();
    s.clock = std::make_shared<System_Clock>();
}

QString Default_Windows_Directory() {
    QString strBase = qEnvironmentVariable("XDG_DATA_HOME");
    if (strBase.isEmpty()) strBase = QDir::homePath() + "/.local/share";
    return strBase + "/DravinoleTS/Windows";
}

QString System_Environment::Windows_Directory() {
    const QString strDir = qEnvironmentVariable("WINDIR");
    return strDir.isEmpty() ? Default_Windows_Directory() : strDir;
}

QString System_Environment::Program_Folder() {
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
}

QString System_Environment::Program_File_Name() {
    QString strPath = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                   : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(strPath).completeBaseName();
}

QString System_Environment::Logged_On_User_Name() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

File_Instance_Lock::File_Instance_Lock(QString strFolder) : m_strFolder(std::move(strFolder)) {}

File_Instance_Lock::~File_Instance_Lock() {
    if (m_fd >= 0) ::close(m_fd);
}

long File_Instance_Lock::Create_Mutex(const QString& strName) {
    // Beside the settings database, so every console on one database sees the same
    // lock whatever its environment. A lock that cannot be made counts as held: two
    // consoles must never run on one database.
    const QString strFolder = m_strFolder.isEmpty() ? Environment().Windows_Directory() : m_strFolder;
    m_blnHeldElsewhere = true;
    m_strFailure.clear();
    const auto fail = [&](int intErrno) {
        m_strFailure = QStringLiteral("The single-instance lock cannot be made in the folder \"%1\": %2")
                           .arg(strFolder, QString::fromLocal8Bit(std::strerror(intErrno)));
        return 0L;
    };
    if (strFolder.isEmpty()) {
        m_strFailure = QStringLiteral("The single-instance lock cannot be made: the Windows directory is not known");
        return 0;
    }
    const QByteArray path = QFile::encodeName(strFolder + "/" + strName + ".lock");
    if (m_fd < 0) m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return fail(errno);
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        // Only a lock held by another process is a previous instance.
        if (errno != EWOULDBLOCK) return fail(errno);
        return m_fd;
    }
    m_blnHeldElsewhere = false;
    return m_fd;
}

bool Process_Shell::Start_Hidden(const QString& strProgram, const QStringList& arguments) {
    return QProcess::startDetached(strProgram, arguments);
}

}  // namespace platform
