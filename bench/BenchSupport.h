#pragma once
// What every benchmark shares: timing the sqlite3 shell on the same work as the
// reference, the process's peak memory, and one table printed in one format:
// work, size, console time, reference time, ratio, peak memory.

#include <QString>
#include <QByteArray>
#include <QList>
#include <QStringList>

namespace bench {

// The sqlite3 shell to time as the reference: the first program argument that is not
// an option, else "sqlite3" on the PATH.
QString Shell_Program(int argc, char* argv[]);

// Runs the shell on strDatabase with strScript as its standard input (and the given
// extra arguments before the database), its output thrown away or written to
// strOutputFile; answers the wall time in seconds (negative when the shell failed).
double Time_Shell(const QString& strShell, const QString& strDatabase, const QString& strScriptFile,
                  const QStringList& extraArgs = {}, const QString& strOutputFile = QString());

// The peak resident memory of this process so far, in MiB.
double Peak_Memory_MiB();

// Runs sql on the database file on a connection of its own; true when it all ran.
bool Exec(const QString& strDb, const QByteArray& sql);
// The first column of the first row of a query (a count), -1 when it failed.
long long Count(const QString& strDb, const QByteArray& sql);
// The numbers of an option "--name=1,2,3" on the command line, or the defaults.
QList<int> Option_List(int argc, char* argv[], const char* strName, const QList<int>& defaults);

// Seconds since an arbitrary start (a steady clock).
double Now();

// The table's heading, then one row per measurement.
void Print_Header();
void Print_Row(const QString& strWork, long long lngSize, double dblConsoleSeconds, double dblReferenceSeconds,
               double dblPeakMiB);

}  // namespace bench
