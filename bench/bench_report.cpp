// Times the URL report on big logs, for N = 100,000 and 1,000,000 events of one user
// in one day: (a) building the report (the query streamed into the viewer's list),
// (b) showing the viewer with its list painted, (c) exporting it to HTML; with the
// size of the HTML file and the peak memory of the process after each step; and, for
// comparison, (d) SQLite alone stepping through the same SELECT, reading every value.
// Usage: bench_report [N ...]   (default: 100000 1000000)
#include "console/frmMain.h"
#include "database/Installation.h"
#include "platform/Platform.h"
#include "reporting/ReportList.h"
#include "reporting/frmReport.h"
#include "reporting/frmReporting.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>

namespace {

// Peak resident memory of the process in MiB (VmHWM).
double Peak_MiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void Reset_Peak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

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

// Shows the viewer, lets it paint, then runs the export from it.
class Timed_Forms : public platform::IForms {
public:
    QElapsedTimer timer;
    qint64 lngBuilt = 0, lngShown = 0, lngExported = 0;
    long lngRows = 0;
    double dblPeakBuilt = 0, dblPeakExported = 0;
    int Show_Modal(QWidget& form, QWidget*) override {
        lngBuilt = timer.elapsed();
        dblPeakBuilt = Peak_MiB();
        lngRows = form.findChild<reporting::Report_List*>(QStringLiteral("lvwReport"))->Count();
        timer.restart();
        form.show();
        QApplication::processEvents();
        lngShown = timer.elapsed();
        timer.restart();
        form.findChild<QPushButton*>(QStringLiteral("cmdExport"))->click();
        lngExported = timer.elapsed();
        dblPeakExported = Peak_MiB();
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
        const int lngSecond = (i * 7919) % 86000;
        const QTime start = QTime(0, 0).addSecs(lngSecond);
        const QByteArray strDomain = QStringLiteral("www.site%1.example").arg(i % 5000).toUtf8();
        const QByteArray strUrl = "http://" + strDomain + QStringLiteral("/path/page%1.html?q=%2").arg(i).arg(i % 97).toUtf8();
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

// Steps through strSQL reading every value as text, as the cheapest reader would.
qint64 Query_Alone_Ms(const QString& strDb, const QString& strSQL) {
    QElapsedTimer timer;
    timer.start();
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, strSQL.toUtf8().constData(), -1, &stmt, nullptr);
    size_t lngBytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            sqlite3_column_text(stmt, c);
            lngBytes += static_cast<size_t>(sqlite3_column_bytes(stmt, c));
        }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return lngBytes > 0 ? timer.elapsed() : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(QString::fromLocal8Bit(argv[i]).toInt());
    if (sizes.empty()) sizes = {100000, 1000000};
    QTextStream out(stdout);
    out << "events  build_ms  show_ms  export_ms  sqlite_alone_ms  rows_listed  html_MiB  peak_after_build_MiB  "
           "peak_after_export_MiB\n";

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
        files->strFileName = dir.filePath("report");

        frmMain console;
        console.m_fnCheck_Filters_Installed = [] { return 0L; };
        console.cboUsers->setCurrentIndex(console.cboUsers->findText("surfer"));
        console.cboUsers_Click();
        frmReporting criteria(console);
        criteria.dtpkStartTime->setDate(QDate(2026, 3, 7));
        criteria.dtpkStopTime->setDate(QDate(2026, 3, 7));
        Reset_Peak();
        forms->timer.start();
        criteria.findChild<QPushButton*>(QStringLiteral("cmdCreateReport"))->click();

        const qint64 lngAlone = Query_Alone_Ms(strDb, criteria.m_strQuery);
        const double dblHtmlMiB = QFileInfo(dir.filePath("report.html")).size() / (1024.0 * 1024.0);
        out << QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8  %9\n")
                   .arg(n, 7)
                   .arg(forms->lngBuilt, 8)
                   .arg(forms->lngShown, 7)
                   .arg(forms->lngExported, 9)
                   .arg(lngAlone, 15)
                   .arg(forms->lngRows, 11)
                   .arg(dblHtmlMiB, 8, 'f', 1)
                   .arg(forms->dblPeakBuilt, 20, 'f', 0)
                   .arg(forms->dblPeakExported, 21, 'f', 0);
        out.flush();
    }
    return 0;
}
