// Times the file filter dialog on big lists: (a) opening it on N stored entries,
// (b) importing a file of N lines through it, and (c) the sqlite3 shell inserting
// the same lines into the same table in one transaction, for N = 10,000 and 100,000.
// Usage: bench_list_editor [sqlite3 shell]   (default: sqlite3 on the PATH)
#include "console/frmMain.h"
#include "database/Installation.h"
#include "lists/frmFileFilter.h"
#include "platform/Platform.h"
#include "platform/WidgetServices.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <sqlite3.h>

namespace {

// Answers every open dialog with the file being imported.
class Fixed_File_Dialog : public platform::IFileDialog {
public:
    QString strFileName;
    bool Show_Open(platform::Common_Dialog& dlg, QWidget*) override {
        dlg.FileName = strFileName;
        return true;
    }
    bool Show_Save(platform::Common_Dialog&, QWidget*) override { return false; }
};

void Exec(const QString& strDb, const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

QString Entry(int i) { return QStringLiteral(".e%1").arg(i, 6, 10, QLatin1Char('0')); }

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QString strShell = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("sqlite3");
    QTextStream out(stdout);
    out << "entries  open_dialog_ms  import_ms  sqlite3_shell_ms  import/shell\n";

    for (int n : {10000, 100000}) {
        QTemporaryDir dir;
        qputenv("WINDIR", dir.path().toUtf8());
        platform::Install_Core_Defaults();
        auto files = std::make_shared<Fixed_File_Dialog>();
        platform::Services().fileDialog = files;
        const QString strDb = dir.filePath("tsdvstore.iil");
        QString strError;
        Installation::Create_Settings_Database(strDb, strError);

        // (a) open the dialog on n stored entries
        QByteArray sql = "BEGIN;";
        for (int i = 0; i < n; ++i)
            sql += "INSERT INTO FILE_TBL (FILE_EXTN, COMPUTER_ID, USER_ID) VALUES ('" + Entry(i).toUtf8() + "', 0, 1);";
        sql += "COMMIT; INSERT INTO USER_TBL (USER_NAME) VALUES ('loaded'); INSERT INTO USER_TBL (USER_NAME) VALUES ('importer');";
        Exec(strDb, sql);
        frmMain console;
        console.m_fnCheck_Filters_Installed = [] { return 0L; };
        console.cboUsers->setCurrentIndex(console.cboUsers->findText("loaded"));
        console.cboUsers_Click();
        QElapsedTimer timer;
        timer.start();
        qint64 lngOpen = 0;
        {
            frmFileFilter dialog(console);
            dialog.show();
            QApplication::processEvents();
            lngOpen = timer.elapsed();
        }

        // (b) import n lines into an empty list of another user
        const QString strList = dir.filePath("entries.txt");
        {
            QFile file(strList);
            file.open(QIODevice::WriteOnly);
            QByteArray text;
            for (int i = 0; i < n; ++i) text += Entry(i).toUtf8() + "\r\n";
            file.write(text);
        }
        files->strFileName = strList;
        console.cboUsers->setCurrentIndex(console.cboUsers->findText("importer"));
        console.cboUsers_Click();
        qint64 lngImport = 0;
        {
            frmFileFilter dialog(console);
            dialog.show();
            timer.restart();
            dialog.findChild<QToolButton*>("cmdImport")->click();
            lngImport = timer.elapsed();
        }

        // (c) the sqlite3 shell inserting the same lines into the same table
        const QString strScript = dir.filePath("insert.sql");
        {
            QFile file(strScript);
            file.open(QIODevice::WriteOnly);
            QByteArray text = "BEGIN DEFERRED TRANSACTION MY_TRANS;\n";
            for (int i = 0; i < n; ++i)
                text += "INSERT OR IGNORE INTO FILE_TBL(FILE_EXTN ,COMPUTER_ID,USER_ID) VALUES('" + Entry(i).toUtf8() + "',0,3);\n";
            text += "COMMIT TRANSACTION MY_TRANS;\n";
            file.write(text);
        }
        QProcess shell;
        shell.setStandardInputFile(strScript);
        timer.restart();
        shell.start(strShell, {strDb});
        shell.waitForFinished(-1);
        const qint64 lngShell = timer.elapsed();
        out << QStringLiteral("%1  %2  %3  %4  %5\n")
                   .arg(n, 7)
                   .arg(lngOpen, 14)
                   .arg(lngImport, 9)
                   .arg(lngShell, 16)
                   .arg(lngShell > 0 ? double(lngImport) / double(lngShell) : 0.0, 12, 'f', 2);
        out.flush();
    }
    return 0;
}
