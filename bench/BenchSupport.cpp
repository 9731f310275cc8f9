#include "BenchSupport.h"

#include "console/frmMain.h"
#include "database/Installation.h"

#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <sqlite3.h>
#include <sys/resource.h>

namespace bench {

// ---------------------------------------------------------------- environment

void Use_Offscreen_Platform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

Doubles Use_Windows_Folder(const QString& strFolder) {
    qputenv("WINDIR", strFolder.toUtf8());
    platform::Install_Core_Defaults();
    Doubles doubles;
    platform::Services().messageBox = doubles.boxes;
    platform::Services().fileDialog = doubles.files;
    platform::Services().forms = doubles.forms;
    return doubles;
}

bool Create_Settings_Database(const QString& strDb, const QByteArray& sql) {
    QString strError;
    if (!Installation::Create_Settings_Database(strDb, strError)) {
        QTextStream(stderr) << "cannot create the settings database " << strDb << ": " << strError << "\n";
        return false;
    }
    if (!sql.isEmpty() && !Exec(strDb, sql)) {
        QTextStream(stderr) << "cannot fill the settings database " << strDb << "\n";
        return false;
    }
    return true;
}

void Choose_User(frmMain& console, const QString& strUser) {
    console.m_fnCheck_Filters_Installed = [] { return modProgram::Filter_Check::Installed; };
    console.cboUsers->setCurrentIndex(console.cboUsers->findText(strUser));
    console.cboUsers_Click();
}

int Recording_Boxes::Show(const QString& strText, long lngStyle, const QString&) {
    if (blnAnswerYes && (lngStyle & 0x0F) == 4) return platform::vbYes;
    texts << strText;
    return platform::vbOK;
}

bool Fixed_File_Dialog::Show_Open(platform::Common_Dialog& dlg, QWidget*) {
    if (strFileName.isEmpty()) return false;
    dlg.FileName = strFileName;
    return true;
}

bool Fixed_File_Dialog::Show_Save(platform::Common_Dialog& dlg, QWidget* pOwner) { return Show_Open(dlg, pOwner); }

int Scripted_Forms::Show_Modal(QWidget& form, QWidget*) {
    if (onShow) onShow(form);
    return 0;
}

void Write_File(const QString& strPath, const QByteArray& bytes) {
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        QTextStream(stderr) << "cannot write " << strPath << "\n";
}

// ---------------------------------------------------------------- timing

QString Shell_Program(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-') return QString::fromLocal8Bit(argv[i]);
    return QStringLiteral("sqlite3");
}

double Time_Shell(const QString& strShell, const QString& strDatabase, const QString& strScriptFile,
                  const QStringList& extraArgs, const QString& strOutputFile) {
    QProcess shell;
    shell.setStandardInputFile(strScriptFile);
    shell.setStandardOutputFile(strOutputFile.isEmpty() ? QProcess::nullDevice() : strOutputFile);
    const double dblStart = Now();
    shell.start(strShell, extraArgs + QStringList{strDatabase});
    if (!shell.waitForFinished(-1) || shell.exitCode() != 0) return -1;
    return Now() - dblStart;
}

double Peak_Memory_MiB() {
    // getrusage's figure would also count what the parent held when it started this process.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// ---------------------------------------------------------------- counts and options

bool Exec(const QString& strDb, const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    const bool blnOk = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return blnOk;
}

bool Insert_Rows(const QString& strDb, const char* strSql, long n,
                 const std::function<void(sqlite3_stmt*, long)>& bind) {
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    sqlite3_stmt* stmt = nullptr;
    bool blnOk = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
                 sqlite3_prepare_v2(db, strSql, -1, &stmt, nullptr) == SQLITE_OK;
    for (long i = 0; blnOk && i < n; ++i) {
        bind(stmt, i);
        blnOk = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    blnOk = sqlite3_exec(db, blnOk ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr) == SQLITE_OK && blnOk;
    sqlite3_close(db);
    if (!blnOk) QTextStream(stderr) << "cannot store the rows of " << strSql << "\n";
    return blnOk;
}

long long Count(const QString& strDb, const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    sqlite3_stmt* stmt = nullptr;
    long long lngCount = -1;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        lngCount = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return lngCount;
}

QString Option_Text(int argc, char* argv[], const char* strName) {
    const QString strPrefix = QStringLiteral("--%1=").arg(QLatin1String(strName));
    for (int i = 1; i < argc; ++i) {
        const QString strArg = QString::fromLocal8Bit(argv[i]);
        if (strArg.startsWith(strPrefix)) return strArg.mid(strPrefix.size());
    }
    return {};
}

QList<int> Option_List(int argc, char* argv[], const char* strName, const QList<int>& defaults) {
    const QString strText = Option_Text(argc, argv, strName);
    if (strText.isEmpty()) return defaults;
    QList<int> values;
    for (const QString& strValue : strText.split(',', Qt::SkipEmptyParts)) values << strValue.toInt();
    return values;
}

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Minimum(const std::vector<double>& values) {
    return values.empty() ? -1 : *std::min_element(values.begin(), values.end());
}

void Print_Header() {
    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("work"), -60)
               .arg(QStringLiteral("size"), 10)
               .arg(QStringLiteral("console s"), 10)
               .arg(QStringLiteral("reference s"), 12)
               .arg(QStringLiteral("ratio"), 7)
               .arg(QStringLiteral("peak MiB"), 9);
}

void Print_Row(const QString& strWork, long long lngSize, double dblConsoleSeconds, double dblReferenceSeconds,
               double dblPeakMiB) {
    QTextStream out(stdout);
    const QString strRatio =
        dblReferenceSeconds > 0 ? QString::number(dblConsoleSeconds / dblReferenceSeconds, 'f', 2) : QStringLiteral("-");
    const QString strReference =
        dblReferenceSeconds > 0 ? QString::number(dblReferenceSeconds, 'f', 3) : QStringLiteral("-");
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(strWork, -60)
               .arg(lngSize, 10)
               .arg(QString::number(dblConsoleSeconds, 'f', 3), 10)
               .arg(strReference, 12)
               .arg(strRatio, 7)
               .arg(QString::number(dblPeakMiB, 'f', 0), 9);
    out.flush();
}

}  // namespace bench
