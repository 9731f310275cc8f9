// Creates a settings database with its schema and first rows when none exists.
// Usage: dv-install [database file]   (default: the console's settings database,
// "<Windows directory>/tsdvstore.iil"; the Windows directory is $WINDIR or
// ~/.local/share/DravinoleTS/Windows)
#include "database/Installation.h"
#include "database/modDB.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString strPath = args.size() > 1 ? args[1] : modDB::Get_Database_File();
    const bool blnExisted = QFileInfo::exists(strPath);
    QString strError;
    if (!Installation::Create_Settings_Database(strPath, strError)) {
        QTextStream(stderr) << "dv-install: " << strPath << ": " << strError << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << (blnExisted ? "settings database kept: " : "settings database created: ") << strPath << Qt::endl;
    return 0;
}
