// Times the list editors on big lists, each against the sqlite3 shell doing the same
// rows in the same run:
// (a) importing a file of N URLs into the website black list through its dialog
//     (the Import button), until the imported entries are listed; reference: the shell
//     running the same INSERT OR IGNORE statements in one transaction. Three files:
//     ASCII URLs ("www.siteN.example.com") into an empty list, URLs with a letter
//     outside ASCII ("www.sitéN.example.com", so each has a Windows-1252 form
//     too) into an empty list, and the ASCII URLs while the owner's list holds one
//     entry stored as a blob. The last two should cost what the first does;
// (b) opening the file filter and the website filter on N stored entries, until the
//     dialog is shown with its list filled and painted; reference: the shell running the
//     SELECT of those rows.
// (c) removing all N entries of the website black list at once (select all, Remove,
//     Yes), until the list is empty; reference: the shell running one DELETE of each
//     entry in one transaction.
// Every console measurement runs in a process of its own (this program started again
// with --child), so that its peak memory is its own; the time is the operation's,
// measured inside that process, and for the opens also the whole process's, from its
// start to its end, as the shell's is. Each figure is the median of --runs runs (default 3).
// With --against=PATH[,PATH...] the same benchmark of other builds (before a change) is
// run in turn with this one in every run, each build with its own rows. --works= names
// the works to run (default all): import, import-non-ascii, import-beside-blob, open, remove.
// Usage: bench_list_editor [sqlite3 shell] [--sizes=10000,100000,1000000] [--runs=3]
//                          [--against=PATH,...] [--works=import,...]
#include "BenchSupport.h"

#include "console/frmMain.h"
#include "lists/frmFileFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "platform/ListView.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QAbstractItemView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <algorithm>
#include <sqlite3.h>

namespace {

using bench::Count;

int g_intRuns = 3;  // --runs
using bench::Exec;

// The owners: "loaded" holds the stored lists that are opened, "importer" starts empty.
constexpr long LOADED_USER = 2;
constexpr long IMPORTER_USER = 3;

QByteArray Url(long i) { return "www.site" + QByteArray::number(i) + ".example.com"; }
QByteArray Non_Ascii_Url(long i) { return "www.sit\xC3\xA9" + QByteArray::number(i) + ".example.com"; }
QByteArray Extension(long i) { return ".e" + QByteArray::number(i); }

// A settings database with both users and, for "loaded", n file extensions and n URLs.
bool Create_Database(const QString& strDb, long n) {
    const auto bind_text = [](sqlite3_stmt* stmt, const QByteArray& value) {
        sqlite3_bind_text(stmt, 1, value.constData(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(stmt, 2, LOADED_USER);
    };
    return bench::Create_Settings_Database(
               strDb, QStringLiteral("INSERT INTO USER_TBL (USER_ID, USER_NAME) VALUES (%1, 'loaded');"
                                     "INSERT INTO USER_TBL (USER_ID, USER_NAME, IA_ON_OFF) VALUES (%2, 'importer', 1);"
                                     "UPDATE USER_TBL SET IA_ON_OFF=1 WHERE USER_ID=%1;")
                          .arg(LOADED_USER)
                          .arg(IMPORTER_USER)
                          .toUtf8()) &&
           bench::Insert_Rows(strDb, "INSERT INTO FILE_TBL (FILE_EXTN, COMPUTER_ID, USER_ID) VALUES (?, 0, ?)", n,
                              [&](sqlite3_stmt* stmt, long i) { bind_text(stmt, Extension(i)); }) &&
           bench::Insert_Rows(strDb, "INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES (?, 0, ?)", n,
                              [&](sqlite3_stmt* stmt, long i) { bind_text(stmt, Url(i)); });
}

// ---------------------------------------------------------------- the measured process

// Runs one measurement in this process and prints "seconds peak-MiB listed".
int Run_Child(const QString& strWork, const QString& strWindowsDir, const QString& strImportFile) {
    // Qt's notes about the offscreen platform would only clutter the table.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const bench::Doubles doubles = bench::Use_Windows_Folder(strWindowsDir);
    doubles.files->strFileName = strImportFile;

    frmMain console;
    bench::Choose_User(console, strWork == QLatin1String("import") ? QStringLiteral("importer") : QStringLiteral("loaded"));
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
    } else if (strWork == QLatin1String("remove")) {
        doubles.boxes->blnAnswerYes = true;
        frmWebsiteFilter dialog(console);
        dialog.show();
        QApplication::processEvents();
        auto* list = dialog.findChild<platform::ListView*>(QStringLiteral("lvwBlackList"));
        list->Item_View()->selectAll();
        const double dblStart = bench::Now();
        dialog.findChild<QPushButton*>(QStringLiteral("cmdBlackRemove"))->click();
        QApplication::processEvents();
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
    for (const QString& strText : doubles.boxes->texts) QTextStream(stderr) << "box: " << strText << "\n";
    QTextStream(stdout) << dblSeconds << ' ' << bench::Peak_Memory_MiB() << ' ' << lngListed << ' '
                        << doubles.boxes->texts.size() << '\n';
    return 0;
}

struct Child_Result {
    double dblSeconds = -1;         // the operation, timed inside the process
    double dblProcessSeconds = -1;  // the whole process, from its start to its end
    double dblPeakMiB = 0;
    long lngListed = 0;
};

// Runs one measurement in a process of its own: strProgram is this program, or the
// same benchmark of another build being compared.
Child_Result Run_In_Child(const QString& strProgram, const QString& strWork, const QString& strWindowsDir,
                          const QString& strImportFile = {}) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double dblStart = bench::Now();
    child.start(strProgram, {"--child", strWork, strWindowsDir, strImportFile});
    Child_Result result;
    if (!child.waitForFinished(-1) || child.exitCode() != 0) return result;
    const double dblProcessSeconds = bench::Now() - dblStart;
    const QStringList parts = QString::fromUtf8(child.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
    if (parts.size() < 4 || parts[3].trimmed() != QLatin1String("0")) return result;  // a box means a failed run
    result.dblSeconds = parts[0].toDouble();
    result.dblProcessSeconds = dblProcessSeconds;
    result.dblPeakMiB = parts[1].toDouble();
    result.lngListed = parts[2].toLong();
    return result;
}

// The figures of one work for one build, over the runs.
struct Build_Figures {
    std::vector<double> console, process, peak;
    void Add(const Child_Result& result) {
        console.push_back(result.dblSeconds);
        process.push_back(result.dblProcessSeconds);
        peak.push_back(result.dblPeakMiB);
    }
};

// One row per build for the work (and, with blnWholeProcess, one for its whole process);
// when builds are compared, each also with its fastest run.
void Print_Rows(const QString& strWork, long n, const std::vector<Build_Figures>& builds,
                const std::vector<double>& shell, bool blnWholeProcess) {
    for (size_t b = 0; b < builds.size(); ++b) {
        const QString strBuild = builds.size() < 2 ? QString()
                                 : b == 0          ? QStringLiteral(", this build")
                                                   : QStringLiteral(", compared build %1").arg(b);
        const Build_Figures& figures = builds[b];
        const double dblPeak = *std::max_element(figures.peak.begin(), figures.peak.end());
        bench::Print_Row(strWork + strBuild, n, bench::Median(figures.console), bench::Median(shell), dblPeak);
        if (blnWholeProcess)
            bench::Print_Row(QStringLiteral("  the same, whole process") + strBuild, n,
                             bench::Median(figures.process), bench::Median(shell), dblPeak);
        if (builds.size() > 1)
            QTextStream(stdout) << QStringLiteral("  fastest run %1 s, whole process %2 s; shell %3 s\n")
                                       .arg(bench::Minimum(figures.console), 0, 'f', 3)
                                       .arg(bench::Minimum(figures.process), 0, 'f', 3)
                                       .arg(bench::Minimum(shell), 0, 'f', 3);
    }
}

// An import measured: its file's URLs and whether the importing owner holds one entry
// stored as a blob beforehand (listed with the imported ones).
struct Import_Work {
    const char* strOption;  // its name in --works
    const char* strName;    // its rows' name
    QByteArray (*url)(long i);
    bool blnBesideBlob;
};

const Import_Work IMPORTS[] = {
    {"import", "import into the website black list", &Url, false},
    {"import-non-ascii", "import, non-ASCII URLs (www.sit\u00e9N...)", &Non_Ascii_Url, false},
    {"import-beside-blob", "import, ASCII URLs, the owner holding a blob", &Url, true},
};

// The stored entry of the owner that holds a blob: a blob of ASCII bytes, which reads as
// a text no imported URL is.
const QByteArray BLOB_ENTRY = "X'626C6F622E6578616D706C652E636F6D'";  // "blob.example.com"

// Runs strWork with every build in turn, run after run, each in a folder of its own on a
// copy of strSource (strFile handed to the child), and the shell's strScript on another
// copy; fills builds and shell. Answers the runs after which the list did not show, or
// the black list of lngUserID did not hold, lngRows rows.
int Time_Runs(QTemporaryDir& dir, const QString& strWork, const QString& strSource, const QString& strFile,
              const QString& strScript, long lngUserID, long lngRows, const QStringList& programs,
              const QString& strShell, std::vector<Build_Figures>& builds, std::vector<double>& shell) {
    int intFailures = 0;
    builds.assign(static_cast<size_t>(programs.size()), Build_Figures());
    shell.clear();
    for (int r = 0; r < g_intRuns; ++r) {
        const QString strRunDir = dir.filePath(QStringLiteral("%1%2").arg(strWork).arg(r));
        QDir().mkpath(strRunDir);
        const QString strDb = strRunDir + "/tsdvstore.iil";
        for (qsizetype b = 0; b < programs.size(); ++b) {
            QFile::remove(strDb);
            QFile::copy(strSource, strDb);
            const Child_Result result = Run_In_Child(programs[b], strWork, strRunDir, strFile);
            const long long lngStored =
                bench::Count(strDb, "SELECT COUNT(*) FROM BL_TBL WHERE USER_ID=" + QByteArray::number(lngUserID));
            if (result.dblSeconds < 0 || result.lngListed != lngRows || lngStored != lngRows) ++intFailures;
            builds[static_cast<size_t>(b)].Add(result);
        }
        const QString strShellDb = strRunDir + "/shell.iil";
        QFile::copy(strSource, strShellDb);
        shell.push_back(bench::Time_Shell(strShell, strShellDb, strScript));
        QFile::remove(strDb);
        QFile::remove(strShellDb);
    }
    return intFailures;
}

// Imports n URLs of work into the importer's list with every build in turn, run after
// run, and prints their rows; answers the runs that did not list or store every row,
// and each build's median time in medians.
int Time_Import(const Import_Work& work, long n, const QStringList& programs, const QString& strShell,
                std::vector<double>& medians) {
    QTemporaryDir dir;
    // The console and the shell each start from a copy of one database.
    const QString strSource = dir.filePath("empty.iil");
    if (!Create_Database(strSource, 0)) return 1;
    if (work.blnBesideBlob &&
        !bench::Exec(strSource, "INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES (" + BLOB_ENTRY + ", 0, " +
                                    QByteArray::number(IMPORTER_USER) + ")"))
        return 1;
    const long lngHeld = work.blnBesideBlob ? 1 : 0;
    QByteArray text, script = "BEGIN DEFERRED TRANSACTION MY_TRANS;\n";
    text.reserve(n * 32);
    for (long i = 0; i < n; ++i) {
        text += work.url(i) + "\r\n";
        script += "INSERT OR IGNORE INTO BL_TBL(BL_URL ,COMPUTER_ID,USER_ID) VALUES('" + work.url(i) + "',0," +
                  QByteArray::number(IMPORTER_USER) + ");\n";
    }
    script += "COMMIT TRANSACTION MY_TRANS;\n";
    const QString strFile = dir.filePath("urls.txt");
    const QString strScript = dir.filePath("insert.sql");
    bench::Write_File(strFile, text);
    bench::Write_File(strScript, script);
    text.clear();
    script.clear();
    std::vector<Build_Figures> builds;
    std::vector<double> shell;
    const int intFailures = Time_Runs(dir, QStringLiteral("import"), strSource, strFile, strScript, IMPORTER_USER,
                                      n + lngHeld, programs, strShell, builds, shell);
    Print_Rows(QString::fromUtf8(work.strName), n, builds, shell, false);
    medians.clear();
    for (const Build_Figures& figures : builds) medians.push_back(bench::Median(figures.console));
    return intFailures;
}

// Removes all n entries of the loaded owner's black list with every build in turn, run
// after run, and prints their rows; answers the runs that did not empty the list and the table.
int Time_Remove(long n, const QStringList& programs, const QString& strShell) {
    QTemporaryDir dir;
    const QString strSource = dir.filePath("loaded.iil");
    if (!Create_Database(strSource, n)) return 1;
    QByteArray script = "BEGIN IMMEDIATE TRANSACTION MY_TRANS;\n";
    for (long i = 0; i < n; ++i)
        script += "DELETE FROM BL_TBL WHERE COMPUTER_ID=0 AND USER_ID=" + QByteArray::number(LOADED_USER) +
                  " AND BL_URL='" + Url(i) + "';\n";
    script += "COMMIT TRANSACTION MY_TRANS;\n";
    const QString strScript = dir.filePath("delete.sql");
    bench::Write_File(strScript, script);
    script.clear();
    std::vector<Build_Figures> builds;
    std::vector<double> shell;
    const int intFailures =
        Time_Runs(dir, QStringLiteral("remove"), strSource, QString(), strScript, LOADED_USER, 0, programs, strShell,
                  builds, shell);
    Print_Rows(QStringLiteral("remove every entry of the website black list"), n, builds, shell, false);
    return intFailures;
}

}  // namespace

int main(int argc, char* argv[]) {
    bench::Use_Offscreen_Platform();
    QApplication app(argc, argv);
    if (argc >= 4 && QByteArray(argv[1]) == "--child")
        return Run_Child(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         argc >= 5 ? QString::fromLocal8Bit(argv[4]) : QString());

    const QString strShell = bench::Shell_Program(argc, argv);
    const QList<int> sizes = bench::Option_List(argc, argv, "sizes", {10000, 100000, 1000000});
    g_intRuns = std::max(1, bench::Option_List(argc, argv, "runs", {3}).value(0, 3));
    const int intRuns = g_intRuns;
    // This build's measured processes, and those of the builds compared, in turn in every run.
    QStringList programs{QCoreApplication::applicationFilePath()};
    programs << bench::Option_Text(argc, argv, "against").split(',', Qt::SkipEmptyParts);
    const QStringList works = bench::Option_Text(argc, argv, "works").split(',', Qt::SkipEmptyParts);
    const auto chosen = [&](const char* strWork) { return works.isEmpty() || works.contains(QLatin1String(strWork)); };
    for (qsizetype b = 1; b < programs.size(); ++b)
        QTextStream(stdout) << QStringLiteral("compared build %1: %2\n").arg(b).arg(programs[b]);
    bench::Print_Header();
    int intFailures = 0;

    for (long n : sizes) {
        // (a) the imports, and each build's time of the others against the ASCII one.
        std::vector<std::vector<double>> medians(std::size(IMPORTS));
        for (size_t w = 0; w < std::size(IMPORTS); ++w)
            if (chosen(IMPORTS[w].strOption)) intFailures += Time_Import(IMPORTS[w], n, programs, strShell, medians[w]);
        for (size_t w = 1; w < std::size(IMPORTS); ++w) {
            if (medians[0].empty() || medians[w].empty()) continue;
            QTextStream out(stdout);
            out << "  " << IMPORTS[w].strOption << " / import:";
            for (size_t b = 0; b < medians[w].size(); ++b)
                out << (b == 0 ? " this build " : QStringLiteral(", compared build %1 ").arg(b))
                    << QString::number(medians[w][b] / medians[0][b], 'f', 2);
            out << '\n';
        }
        if (chosen("remove")) intFailures += Time_Remove(n, programs, strShell);
        if (!chosen("open")) continue;
        QTemporaryDir dir;
        // (b) opening the file filter and the website filter on n stored entries.
        {
            const QString strDb = dir.filePath("tsdvstore.iil");
            if (!Create_Database(strDb, n)) return 1;
            struct Open_Work {
                const char* strWork;
                const char* strName;
                const char* strSelect;
            };
            for (const Open_Work& work :
                 {Open_Work{"open-file", "open the file filter, shown and filled", "SELECT FILE_EXTN FROM FILE_TBL"},
                  Open_Work{"open-website", "open the website filter, shown and filled", "SELECT BL_URL FROM BL_TBL"}}) {
                const QString strScript = dir.filePath("select.sql");
                bench::Write_File(strScript, QByteArray(work.strSelect) + " WHERE COMPUTER_ID=0 AND USER_ID=" +
                                                 QByteArray::number(LOADED_USER) + ";\n");
                std::vector<Build_Figures> builds(static_cast<size_t>(programs.size()));
                std::vector<double> shell;
                for (int r = 0; r < intRuns; ++r) {
                    for (qsizetype b = 0; b < programs.size(); ++b) {
                        const Child_Result result = Run_In_Child(programs[b], work.strWork, dir.path());
                        if (result.dblSeconds < 0 || result.lngListed != n) ++intFailures;
                        builds[static_cast<size_t>(b)].Add(result);
                    }
                    shell.push_back(bench::Time_Shell(strShell, strDb, strScript));
                }
                Print_Rows(QString::fromLatin1(work.strName), n, builds, shell, true);
            }
        }
    }
    if (intFailures > 0) QTextStream(stderr) << intFailures << " run(s) did not list or store every row\n";
    return intFailures == 0 ? 0 : 1;
}
