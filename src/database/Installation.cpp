#include "database/Installation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Installation {

bool Create_Settings_Database(const QString& strPath, QString& strError) {
    const QFileInfo info(strPath);
    if (info.exists()) return true;
    if (!QDir().mkpath(info.absolutePath())) {
        strError = QStringLiteral("cannot create the folder ") + info.absolutePath();
        return false;
    }
    const QString strTemp = strPath + QStringLiteral(".new");
    QFile::remove(strTemp);
    // The database holds the console password: it is made readable and writable by its
    // owner only before anything is written into it (SQLite takes an empty file as a
    // new database, and its journal files follow the database's mode).
    const QByteArray temp = QFile::encodeName(strTemp);
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 || ::fchmod(fd, 0600) != 0) {
        strError = QStringLiteral("cannot create ") + strTemp + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0) ::close(fd);
        QFile::remove(strTemp);
        return false;
    }
    ::close(fd);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(strTemp.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        strError = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        return false;
    }
    const QByteArray sql = QByteArray("BEGIN;\n") + Schema_Sql() + "\nCOMMIT;";
    char* pError = nullptr;
    const bool blnOk = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &pError) == SQLITE_OK;
    if (!blnOk) strError = QString::fromUtf8(pError ? pError : "schema failed");
    sqlite3_free(pError);
    sqlite3_close_v2(db);
    if (!blnOk || !QFile::rename(strTemp, strPath)) {
        if (blnOk) strError = QStringLiteral("cannot move the new database into place");
        QFile::remove(strTemp);
        return false;
    }
    return true;
}

}  // namespace Installation
