#include "database/Installation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

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
