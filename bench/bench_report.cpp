// Times the URL report on logs of 10,000, 100,000 and 1,000,000 events of one user in
// one day, against the sqlite3 shell in the same run:
//   build + show: Create Report until the viewer is shown and painted, against the
//                 shell running the same SELECT (its rows written to /dev/null);
//   HTML export:  the viewer's Export, against `sqlite3 -html` writing the same rows
//                 to a file.
//   read through the page cache against a memory map: the report's query alone, its
//                 rows read into the list's compact rows as the viewer does, on a
//                 connection readied for the report (reference: the same connection
//                 reading through a 1 GiB memory map), on a file bigger than the
//                 connection's page cache (--map-sizes, default 2,000,000 events).
// Each figure is the median of the runs (default 3; --runs=N); the runs of the two
// sides alternate, so both see the same machine.
// Usage: bench_report [sqlite3 shell] [--runs=N] [--sizes=N,N,...] [--map-sizes=N,N,...]
#include "BenchSupport.h"

#include "console/frmMain.h"
#include "database/modDB.h"
#include "reporting/ReportList.h"
#include "reporting/frmReport.h"
#include "reporting/frmReporting.h"

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTime>
#include <algorithm>
#include <memory>
#include <sqlite3.h>

namespace {

bool Insert_Events(const QString& strDb, int n, long lngUser) {
    return bench::Insert_Rows(
        strDb,
        "INSERT INTO URL_RPT_TBL (USER_ID, URL, DOMAIN_NAME, EXE_NAME, SEND_BITS, RECEIVED_BITS, START_TIME, "
        "STOP_TIME) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
        n, [lngUser](sqlite3_stmt* stmt, long i) {
            const QTime start = QTime(0, 0).addSecs(static_cast<int>((i * 7919) % 86000));
            const QByteArray strDomain = QStringLiteral("www.site%1.example").arg(i % 5000).toUtf8();
            const QByteArray strUrl =
                "http://" + strDomain + QStringLiteral("/path/page%1.html?q=%2").arg(i).arg(i % 97).toUtf8();
            const QByteArray strStart = ("2026-03-07 " + start.toString("HH:mm:ss")).toUtf8();
            const QByteArray strStop = ("2026-03-07 " + start.addSecs(60).toString("HH:mm:ss")).toUtf8();
            sqlite3_bind_int64(stmt, 1, lngUser);
            sqlite3_bind_text(stmt, 2, strUrl.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 3, strDomain.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 4, "browser.exe", -1, SQLITE_STATIC);
            sqlite3_bind_int(stmt, 5, static_cast<int>(1000 + i % 50000));
            sqlite3_bind_int(stmt, 6, static_cast<int>(5000 + i % 90000));
            sqlite3_bind_text(stmt, 7, strStart.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 8, strStop.constData(), -1, SQLITE_TRANSIENT);
        });
}

// Seconds to read the report's rows on a connection readied for a report, with the
// file read through a memory map of lngMapBytes (0: through the page cache only).
double Time_Report_Query(const QString& strDb, const QString& strQuery, int lngColumns, long long lngMapBytes,
                         long& lngRows) {
    const double dblStart = bench::Now();
    reporting::Report_Rows rows;
    {
        modDB::Db_Connection hDb = modDB::Open_Database(strDb);
        modDB::Prepare_For_Many_Rows(hDb);
        const QByteArray map = "PRAGMA mmap_size=" + QByteArray::number(lngMapBytes);
        sqlite3_exec(hDb.get(), map.constData(), nullptr, nullptr, nullptr);
        modDB::For_Each_Row_Utf8(hDb, strQuery, [&](const QByteArrayView* values, int lngValues) {
            rows.Append(values, lngValues, lngColumns);
        });
    }
    lngRows = rows.Count();
    return bench::Now() - dblStart;
}

// A settings database of n URL events of one day for the user "surfer", a console with
// that user chosen, and the report criteria set to that day.
struct Report_Setup {
    explicit Report_Setup(int n)
        : doubles(bench::Use_Windows_Folder(dir.path())), strDb(dir.filePath("tsdvstore.iil")) {
        if (!bench::Create_Settings_Database(strDb, "INSERT INTO USER_TBL (USER_ID, USER_NAME) VALUES (7, 'surfer')"))
            return;
        if (!Insert_Events(strDb, n, 7)) return;
        console = std::make_unique<frmMain>();
        bench::Choose_User(*console, QStringLiteral("surfer"));
        criteria = std::make_unique<frmReporting>(*console);
        criteria->dtpkStartTime->setDate(QDate(2026, 3, 7));
        criteria->dtpkStopTime->setDate(QDate(2026, 3, 7));
    }
    bool Ready() const { return criteria != nullptr; }

    QTemporaryDir dir;
    const bench::Doubles doubles;
    const QString strDb;
    std::unique_ptr<frmMain> console;
    std::unique_ptr<frmReporting> criteria;
};

}  // namespace

int main(int argc, char* argv[]) {
    bench::Use_Offscreen_Platform();
    QApplication app(argc, argv);
    const QString strShell = bench::Shell_Program(argc, argv);
    const int intRuns = std::max(1, bench::Option_List(argc, argv, "runs", {3}).value(0, 3));
    const QList<int> sizes = bench::Option_List(argc, argv, "sizes", {10000, 100000, 1000000});
    const QList<int> mapSizes = bench::Option_List(argc, argv, "map-sizes", {2000000});
    bench::Print_Header();

    for (int n : sizes) {
        Report_Setup setup(n);
        if (!setup.Ready()) return 1;
        const bench::Doubles& doubles = setup.doubles;
        QTemporaryDir& dir = setup.dir;
        const QString& strDb = setup.strDb;
        frmReporting& criteria = *setup.criteria;
        // The viewer is timed when it is handed over to be shown: built, then shown and
        // painted, then exported.
        double dblStart = 0, dblShown = 0, dblExport = 0;
        long lngRows = 0;
        doubles.forms->onShow = [&](QWidget& form) {
            form.show();
            QApplication::processEvents();
            dblShown = bench::Now() - dblStart;
            lngRows = form.findChild<reporting::Report_List*>(QStringLiteral("lvwReport"))->Count();
            const double dblExportStart = bench::Now();
            form.findChild<QPushButton*>(QStringLiteral("cmdExport"))->click();
            dblExport = bench::Now() - dblExportStart;
            form.close();
        };
        std::vector<double> shown, exported, shellQuery, shellHtml;
        const QString strScript = dir.filePath("query.sql");
        for (int r = 0; r < intRuns; ++r) {
            // A new file each time: every export writes the whole report.
            doubles.files->strFileName = dir.filePath(QStringLiteral("report%1").arg(r));
            lngRows = 0;
            dblStart = bench::Now();
            criteria.findChild<QPushButton*>(QStringLiteral("cmdCreateReport"))->click();
            if (lngRows != n + 9) qWarning("the viewer listed %ld rows for %d events", lngRows, n);
            shown.push_back(dblShown);
            exported.push_back(dblExport);
            QFile::remove(doubles.files->strFileName + ".html");

            bench::Write_File(strScript, criteria.m_strQuery.toUtf8() + ";\n");
            shellQuery.push_back(bench::Time_Shell(strShell, strDb, strScript));
            const QString strHtml = dir.filePath("shell.html");
            shellHtml.push_back(bench::Time_Shell(strShell, strDb, strScript, {QStringLiteral("-html")}, strHtml));
            QFile::remove(strHtml);
        }
        const double dblPeak = bench::Peak_Memory_MiB();
        bench::Print_Row(QStringLiteral("URL report, build + show"), n, bench::Median(shown), bench::Median(shellQuery), dblPeak);
        bench::Print_Row(QStringLiteral("URL report, HTML export"), n, bench::Median(exported), bench::Median(shellHtml), dblPeak);
    }

    // The same query read through the page cache and through a memory map, on a file
    // bigger than the page cache.
    for (int n : mapSizes) {
        Report_Setup setup(n);
        if (!setup.Ready()) return 1;
        const QString& strDb = setup.strDb;
        frmReporting& criteria = *setup.criteria;
        // One Create Report writes the query (and brings the file into the system's cache).
        criteria.findChild<QPushButton*>(QStringLiteral("cmdCreateReport"))->click();
        const int lngColumns = static_cast<int>(frmReport::Columns_Of(0, 0).size());
        std::vector<double> cached, mapped;
        for (int r = 0; r < intRuns; ++r) {
            long lngCached = 0, lngMapped = 0;
            cached.push_back(Time_Report_Query(strDb, criteria.m_strQuery, lngColumns, 0, lngCached));
            mapped.push_back(Time_Report_Query(strDb, criteria.m_strQuery, lngColumns, 1LL << 30, lngMapped));
            if (lngCached != n || lngMapped != n) qWarning("read %ld and %ld rows for %d events", lngCached, lngMapped, n);
        }
        const double dblFileMiB = static_cast<double>(QFileInfo(strDb).size()) / (1 << 20);
        bench::Print_Row(QStringLiteral("URL report query, %1 MiB file, cache vs map").arg(dblFileMiB, 0, 'f', 0), n,
                         bench::Median(cached), bench::Median(mapped), bench::Peak_Memory_MiB());
    }
    return 0;
}
