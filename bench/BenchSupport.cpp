#include "BenchSupport.h"

#include <QProcess>
#include <QTextStream>
#include <chrono>
#include <sqlite3.h>
#include <sys/resource.h>

namespace bench {

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
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

bool Exec(const QString& strDb, const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    const bool blnOk = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
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

QList<int> Option_List(int argc, char* argv[], const char* strName, const QList<int>& defaults) {
    const QString strPrefix = QStringLiteral("--%1=").arg(QLatin1String(strName));
    for (int i = 1; i < argc; ++i) {
        const QString strArg = QString::fromLocal8Bit(argv[i]);
        if (!strArg.startsWith(strPrefix)) continue;
        QList<int> values;
        for (const QString& strValue : strArg.mid(strPrefix.size()).split(',', Qt::SkipEmptyParts))
            values << strValue.toInt();
        return values;
    }
    return defaults;
}

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Print_Header() {
    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("work"), -44)
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
               .arg(strWork, -44)
               .arg(lngSize, 10)
               .arg(QString::number(dblConsoleSeconds, 'f', 3), 10)
               .arg(strReference, 12)
               .arg(strRatio, 7)
               .arg(QString::number(dblPeakMiB, 'f', 0), 9);
    out.flush();
}

}  // namespace bench
