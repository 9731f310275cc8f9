// Creates a settings database with its schema and first rows, and the registry store
// beside it, when they do not exist yet. Both are readable and writable by the
// account that runs this step only (mode 0600): the database holds the console
// password.
// Usage: dv-install [database file]   (default: the console's settings database,
// "<Windows directory>/tsdvstore.iil"; the Windows directory is $WINDIR or
// ~/.local/share/DravinoleTS/Windows)
#include "database/Installation.h"
#include "database/modDB.h"
#include "platform/RegistryStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr char USAGE[] = "Usage: dv-install [database file]";

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        QTextStream(stdout) << USAGE << Qt::endl;
        return 0;
    }
    // An option it does not know, or more than one file, is refused: it would
    // otherwise become the name of a new database.
    for (const QString& strArg : args) {
        if (strArg.startsWith(QLatin1Char('-')) || args.size() > 1) {
            QTextStream(stderr) << "dv-install: "
                                << (args.size() > 1 ? QStringLiteral("too many arguments")
                                                    : QStringLiteral("unknown option: ") + strArg)
                                << Qt::endl
                                << USAGE << Qt::endl;
            return 2;
        }
    }
    const QString strPath = args.isEmpty() ? modDB::Get_Database_File() : args[0];
    const bool blnExisted = QFileInfo::exists(strPath);
    QString strError;
    if (!Installation::Create_Settings_Database(strPath, strError)) {
        QTextStream(stderr) << "dv-install: " << strPath << ": " << strError << Qt::endl;
        return 1;
    }
    platform::Registry_Store store(platform::Registry_File_In(QFileInfo(strPath).absolutePath()));
    if (!QFileInfo::exists(store.File()) &&
        store.Edit([](platform::Registry_Tree&) { return platform::ERROR_SUCCESS; }) != platform::ERROR_SUCCESS) {
        QTextStream(stderr) << "dv-install: " << store.File() << ": cannot create the registry store" << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << (blnExisted ? "settings database kept: " : "settings database created: ") << strPath << Qt::endl;
    return 0;
}
