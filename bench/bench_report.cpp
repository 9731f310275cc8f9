// Times the URL report on logs of 10,000, 100,000 and 1,000,000 events of one user in
// one day, against the sqlite3 shell in the same run:
//   build + show: Create Report until the viewer is shown and painted, against the
//                 shell running the same SELECT (its rows written to /dev/null);
//   HTML export:  the viewer's Export, against `sqlite3 -html` writing the same rows
//                 to a file.
// Each figure is the median of the runs (default 3; --runs=N); console and shell runs
// alternate, so both see the same machine.
// Usage: bench_report [sqlite3 shell] [--runs=N] [--sizes=N,N,...]
#include "BenchSupport.h"

#include "console/frmMain.h"
#include "database/Installation.h"
#include "platform/Platform.h"
#include "reporting/ReportList.h"
#include "reporting/frmReport.h"
#include "reporting/frmReporting.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTime>
#include <algorithm>
#include <sqlite3.h>

namespace {

// Answers every save dialog with one file name.
class Fixed_File_Dialog : public platform::IFileDialog {
public:
    QString strFileName;
    bool Show_Open(platform::Common_Dialog&, QWidget*) override { return false; }
    bool Show_Save(platform::Common_Dialog& dlg, QWidget*) override {
        dlg.FileName = strFileName;
        return true;
    }
};

// Times the viewer: built when it is handed over to be shown, then shown and painted,
// then exported.
class Timed_Forms : public platform::IForms {
public:
    double dblStart = 0, dblShown = 0, dblExport = 0;
    long lngRows = 0;
    int Show_Modal(QWidget& form, QWidget*) override {
        form.show();
        QApplication::processEvents();
        dblShown = bench::Now() - dblStart;
        lngRows = form.findChild<reporting::Report_List*>(QStringLiteral("lvwReport"))->Count();
        const double dblExportStart = bench::Now();
        form.findChild<QPushButton*>(QStringLiteral("cmdExport"))->click();
        dblExport = bench::Now() - dblExportStart;
        form.close();
        return 0;
    }
};

void Insert_Events(const QString& strDb, int n, long lngUser) {
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO URL_RPT_TBL (USER_ID, URL, DOMAIN_NAME, EXE_NAME, SEND_BITS, RECEIVED_BITS, START_TIME, "
                       "STOP_TIME) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &stmt, nullptr);
    for (int i = 0; i < n; ++i) {
        const QTime start = QTime(0, 0).addSecs((i * 7919) % 86000);
        const QByteArray strDomain = QStringLiteral("www.site%1.example").arg(i % 5000).toUtf8();
        const QByteArray strUrl =
            "http://" + strDomain + QStringLiteral("/path/page%1.html?q=%2").arg(i).arg(i % 97).toUtf8();
        const QByteArray strStart = ("2026-03-07 " + start.toString("HH:mm:ss")).toUtf8();
        const QByteArray strStop = ("2026-03-07 " + start.addSecs(60).toString("HH:mm:ss")).toUtf8();
        sqlite3_bind_int64(stmt, 1, lngUser);
        sqlite3_bind_text(stmt, 2, strUrl.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 3, strDomain.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 4, "browser.exe", -1, SQLITE_STATIC);
        sqlite3_bind_int(stmt, 5, 1000 + i % 50000);
        sqlite3_bind_int(stmt, 6, 5000 + i % 90000);
        sqlite3_bind_text(stmt, 7, strStart.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 8, strStop.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QString strShell = bench::Shell_Program(argc, argv);
    int lngRuns = 3;
    std::vector<int> sizes = {10000, 100000, 1000000};
    for (int i = 1; i < argc; ++i) {
        const QString strArg = QString::fromLocal8Bit(argv[i]);
        if (strArg.startsWith("--runs=")) lngRuns = std::max(1, strArg.mid(7).toInt());
        if (strArg.startsWith("--sizes=")) {
            sizes.clear();
            for (const QString& strSize : strArg.mid(8).split(',')) sizes.push_back(strSize.toInt());
        }
    }
    bench::Print_Header();

    for (int n : sizes) {
        QTemporaryDir dir;
        qputenv("WINDIR", dir.path().toUtf8());
        platform::Install_Core_Defaults();
        auto files = std::make_shared<Fixed_File_Dialog>();
        auto forms = std::make_shared<Timed_Forms>();
        platform::Services().fileDialog = files;
        platform::Services().forms = forms;
        const QString strDb = dir.filePath("tsdvstore.iil");
        QString strError;
        Installation::Create_Settings_Database(strDb, strError);
        {
            sqlite3* db = nullptr;
            sqlite3_open(strDb.toUtf8().constData(), &db);
            sqlite3_exec(db, "INSERT INTO USER_TBL (USER_ID, USER_NAME) VALUES (7, 'surfer')", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        Insert_Events(strDb, n, 7);

        frmMain console;
        console.m_fnCheck_Filters_Installed = [] { return 0L; };
        console.cboUsers->setCurrentIndex(console.cboUsers->findText("surfer"));
        console.cboUsers_Click();
        frmReporting criteria(console);
        criteria.dtpkStartTime->setDate(QDate(2026, 3, 7));
        criteria.dtpkStopTime->setDate(QDate(2026, 3, 7));

        std::vector<double> shown, exported, shellQuery, shellHtml;
        const QString strScript = dir.filePath("query.sql");
        for (int r = 0; r < lngRuns; ++r) {
            // A new file each time: every export writes the whole report.
            files->strFileName = dir.filePath(QStringLiteral("report%1").arg(r));
            forms->lngRows = 0;
            forms->dblStart = bench::Now();
            criteria.findChild<QPushButton*>(QStringLiteral("cmdCreateReport"))->click();
            if (forms->lngRows != n + 9) qWarning("the viewer listed %ld rows for %d events", forms->lngRows, n);
            shown.push_back(forms->dblShown);
            exported.push_back(forms->dblExport);
            QFile::remove(files->strFileName + ".html");

            QFile script(strScript);
            script.open(QIODevice::WriteOnly | QIODevice::Truncate);
            script.write(criteria.m_strQuery.toUtf8() + ";\n");
            script.close();
            shellQuery.push_back(bench::Time_Shell(strShell, strDb, strScript));
            const QString strHtml = dir.filePath("shell.html");
            shellHtml.push_back(bench::Time_Shell(strShell, strDb, strScript, {QStringLiteral("-html")}, strHtml));
            QFile::remove(strHtml);
        }
        const double dblPeak = bench::Peak_Memory_MiB();
        bench::Print_Row(QStringLiteral("URL report, build + show"), n, Median(shown), Median(shellQuery), dblPeak);
        bench::Print_Row(QStringLiteral("URL report, HTML export"), n, Median(exported), Median(shellHtml), dblPeak);
    }
    return 0;
}
