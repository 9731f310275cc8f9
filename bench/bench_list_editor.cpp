// Times the list editors on big lists, each against the sqlite3 shell doing the same
// rows in the same run:
// (a) importing a file of N URLs into the website black list through its dialog
//     (the Import button), until the imported entries are listed; reference: the shell
//     running the same INSERT OR IGNORE statements in one transaction;
// (b) opening the file filter and the website filter on N stored entries, until the
//     dialog is shown with its list filled and painted; reference: the shell running the
//     SELECT of those rows.
// Every console measurement runs in a process of its own (this program started again
// with --child), so that its peak memory is its own; the time is the operation's,
// measured inside that process. Each figure is the median of --runs runs (default 3).
// Usage: bench_list_editor [sqlite3 shell] [--sizes=10000,100000,1000000] [--runs=3]
#include "BenchSupport.h"

#include "console/frmMain.h"
#include "database/Installation.h"
#include "lists/frmFileFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "platform/ListView.h"
#include "platform/Platform.h"
#include "platform/WidgetServices.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <algorithm>
#include <sqlite3.h>

namespace {

using bench::Count;
using bench::Exec;

// The owners: "loaded" holds the stored lists that are opened, "importer" starts empty.
constexpr long LOADED_USER = 2;
constexpr long IMPORTER_USER = 3;

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

// Counts the boxes instead of showing them (a benchmark run must show none).
class Counting_Boxes : public platform::IMessageBox {
public:
    int intShown = 0;
    int Show(const QString& strText, long, const QString&) override {
        ++intShown;
        QTextStream(stderr) << "box: " << strText << "\n";
        return platform::vbOK;
    }
};

QByteArray Url(long i) { return "www.site" + QByteArray::number(i) + ".example.com"; }
QByteArray Extension(long i) { return ".e" + QByteArray::number(i); }

// A settings database with both users and, for "loaded", n file extensions and n URLs.
void Create_Database(const QString& strDb, long n) {
    QString strError;
    Installation::Create_Settings_Database(strDb, strError);
    Exec(strDb, QStringLiteral("INSERT INTO USER_TBL (USER_ID, USER_NAME) VALUES (%1, 'loaded');"
                               "INSERT INTO USER_TBL (USER_ID, USER_NAME, IA_ON_OFF) VALUES (%2, 'importer', 1);"
                               "UPDATE USER_TBL SET IA_ON_OFF=1 WHERE USER_ID=%1;")
                    .arg(LOADED_USER)
                    .arg(IMPORTER_USER)
                    .toUtf8());
    if (n == 0) return;
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const char* strSql : {"INSERT INTO FILE_TBL (FILE_EXTN, COMPUTER_ID, USER_ID) VALUES (?, 0, ?)",
                               "INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES (?, 0, ?)"}) {
        const bool blnFiles = QByteArray(strSql).contains("FILE_TBL");
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, strSql, -1, &stmt, nullptr);
        for (long i = 0; i < n; ++i) {
            const QByteArray value = blnFiles ? Extension(i) : Url(i);
            sqlite3_bind_text(stmt, 1, value.constData(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(stmt, 2, LOADED_USER);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void Write_File(const QString& strPath, const QByteArray& bytes) {
    QFile file(strPath);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

// ---------------------------------------------------------------- the measured process

// This process's own peak resident memory in MiB (VmHWM). getrusage's figure would
// also count the parent's memory at the fork that started this process.
double Own_Peak_MiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return bench::Peak_Memory_MiB();
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return bench::Peak_Memory_MiB();
}

// Runs one measurement in this process and prints "seconds peak-MiB listed".
int Run_Child(const QString& strWork, const QString& strWindowsDir, const QString& strImportFile) {
    // Qt's notes about the offscreen platform would only clutter the table.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    qputenv("WINDIR", strWindowsDir.toUtf8());
    platform::Install_Core_Defaults();
    auto files = std::make_shared<Fixed_File_Dialog>();
    auto boxes = std::make_shared<Counting_Boxes>();
    files->strFileName = strImportFile;
    platform::Services().fileDialog = files;
    platform::Services().messageBox = boxes;

    frmMain console;
    console.m_fnCheck_Filters_Installed = [] { return 0L; };
    console.cboUsers->setCurrentIndex(console.cboUsers->findText(strWork == "import" ? "importer" : "loaded"));
    console.cboUsers_Click();
    QApplication::processEvents();

    double dblSeconds = 0;
    long lngListed = 0;
    if (strWork == QLatin1String("import")) {
        frmWebsiteFilter dialog(console);
        dialog.show();
        QApplication::processEvents();
        auto* list = dialog.findChild<platform::ListView*>(QStringLiteral("lvwBlackList"));
        const double dblStart = bench::Now();
        dialog.findChild<QToolButton*>(QStringLiteral("cmdURLBLImport"))->click();
        QApplication::processEvents();  // the view lays the new rows out and paints
        dblSeconds = bench::Now() - dblStart;
        lngListed = list->Count();
    } else {
        const bool blnFiles = strWork == QLatin1String("open-file");
        const double dblStart = bench::Now();
        std::unique_ptr<QDialog> dialog;
        if (blnFiles) dialog = std::make_unique<frmFileFilter>(console);
        else dialog = std::make_unique<frmWebsiteFilter>(console);
        dialog->show();
        QApplication::processEvents();  // shown, laid out and painted
        dblSeconds = bench::Now() - dblStart;
        lngListed = dialog->findChild<platform::ListView*>(blnFiles ? "lvwFileFilter" : "lvwBlackList")->Count();
    }
    QTextStream(stdout) << dblSeconds << ' ' << Own_Peak_MiB() << ' ' << lngListed << ' ' << boxes->intShown
                        << '\n';
    return 0;
}

struct Child_Result {
    double dblSeconds = -1;
    double dblPeakMiB = 0;
    long lngListed = 0;
};

Child_Result Run_In_Child(const QString& strWork, const QString& strWindowsDir, const QString& strImportFile = {}) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"--child", strWork, strWindowsDir, strImportFile});
    Child_Result result;
    if (!child.waitForFinished(-1) || child.exitCode() != 0) return result;
    const QStringList parts = QString::fromUtf8(child.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
    if (parts.size() < 4 || parts[3].trimmed() != QLatin1String("0")) return result;  // a box means a failed run
    result.dblSeconds = parts[0].toDouble();
    result.dblPeakMiB = parts[1].toDouble();
    result.lngListed = parts[2].toLong();
    return result;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc >= 4 && QByteArray(argv[1]) == "--child")
        return Run_Child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         argc >= 5 ? QString::fromLocal8Bit(argv[4]) : QString());

    const QString strShell = bench::Shell_Program(argc, argv);
    const QList<int> sizes = bench::Option_List(argc, argv, "sizes", {10000, 100000, 1000000});
    const int intRuns = bench::Option_List(argc, argv, "runs", {3}).value(0, 3);
    bench::Print_Header();
    int intFailures = 0;

    for (long n : sizes) {
        QTemporaryDir dir;
        // (a) the import: the console and the shell each start from a copy of one database.
        {
            const QString strSource = dir.filePath("empty.iil");
            Create_Database(strSource, 0);
            QByteArray text, script = "BEGIN DEFERRED TRANSACTION MY_TRANS;\n";
            text.reserve(n * 32);
            for (long i = 0; i < n; ++i) {
                text += Url(i) + "\r\n";
                script += "INSERT OR IGNORE INTO BL_TBL(BL_URL ,COMPUTER_ID,USER_ID) VALUES('" + Url(i) + "',0," +
                          QByteArray::number(IMPORTER_USER) + ");\n";
            }
            script += "COMMIT TRANSACTION MY_TRANS;\n";
            const QString strFile = dir.filePath("urls.txt");
            const QString strScript = dir.filePath("insert.sql");
            Write_File(strFile, text);
            Write_File(strScript, script);
            text.clear();
            script.clear();
            std::vector<double> console, shell, peak;
            for (int r = 0; r < intRuns; ++r) {
                const QString strRunDir = dir.filePath(QStringLiteral("import%1").arg(r));
                QDir().mkpath(strRunDir);
                const QString strDb = strRunDir + "/tsdvstore.iil";
                QFile::copy(strSource, strDb);
                const Child_Result result = Run_In_Child("import", strRunDir, strFile);
                const long long lngStored =
                    Count(strDb, "SELECT COUNT(*) FROM BL_TBL WHERE USER_ID=" + QByteArray::number(IMPORTER_USER));
                if (result.dblSeconds < 0 || result.lngListed != n || lngStored != n) ++intFailures;
                console.push_back(result.dblSeconds);
                peak.push_back(result.dblPeakMiB);
                const QString strShellDb = strRunDir + "/shell.iil";
                QFile::copy(strSource, strShellDb);
                shell.push_back(bench::Time_Shell(strShell, strShellDb, strScript));
                QFile::remove(strDb);
                QFile::remove(strShellDb);
            }
            bench::Print_Row(QStringLiteral("import into the website black list"), n, Median(console), Median(shell),
                             *std::max_element(peak.begin(), peak.end()));
        }
        // (b) opening the file filter and the website filter on n stored entries.
        {
            const QString strDb = dir.filePath("tsdvstore.iil");
            Create_Database(strDb, n);
            struct Open_Work {
                const char* strWork;
                const char* strName;
                const char* strSelect;
            };
            for (const Open_Work& work :
                 {Open_Work{"open-file", "open the file filter, shown and filled", "SELECT FILE_EXTN FROM FILE_TBL"},
                  Open_Work{"open-website", "open the website filter, shown and filled", "SELECT BL_URL FROM BL_TBL"}}) {
                const QString strScript = dir.filePath("select.sql");
                Write_File(strScript, QByteArray(work.strSelect) + " WHERE COMPUTER_ID=0 AND USER_ID=" +
                                          QByteArray::number(LOADED_USER) + ";\n");
                std::vector<double> console, shell, peak;
                for (int r = 0; r < intRuns; ++r) {
                    const Child_Result result = Run_In_Child(work.strWork, dir.path());
                    if (result.dblSeconds < 0 || result.lngListed != n) ++intFailures;
                    console.push_back(result.dblSeconds);
                    peak.push_back(result.dblPeakMiB);
                    shell.push_back(bench::Time_Shell(strShell, strDb, strScript));
                }
                bench::Print_Row(QString::fromLatin1(work.strName), n, Median(console), Median(shell),
                                 *std::max_element(peak.begin(), peak.end()));
            }
        }
    }
    if (intFailures > 0) QTextStream(stderr) << intFailures << " run(s) did not list or store every row\n";
    return intFailures == 0 ? 0 : 1;
}
