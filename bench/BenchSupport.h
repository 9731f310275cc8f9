#pragma once
// What every benchmark shares: its environment (the offscreen platform, a settings
// database in a folder of its own, doubles that answer the console's boxes, file
// dialogs and modal forms the same way every run), the counts it checks, timing the
// sqlite3 shell on the same work as the reference, the process's peak memory, and one
// table printed in one format: work, size, console time, reference time, ratio, peak memory.

#include "platform/Platform.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class frmMain;
struct sqlite3_stmt;

namespace bench {

// ---------------------------------------------------------------- environment

// The offscreen platform unless the caller chose one; called before the QApplication.
void Use_Offscreen_Platform();

// Creates the settings database strDb and runs sql on it; false, with the reason on
// standard error, when either failed.
bool Create_Settings_Database(const QString& strDb, const QByteArray& sql = {});

// Chooses the owner strUser on the console's user list, as the administrator would;
// the filters count as installed.
void Choose_User(frmMain& console, const QString& strUser);

// Records the boxes instead of showing them (a benchmark run that shows one failed,
// unless the box is the outcome it expects).
class Recording_Boxes : public platform::IMessageBox {
public:
    QStringList texts;
    // When set, a question (Yes/No) is answered Yes and not recorded: the run asked it.
    bool blnAnswerYes = false;
    int Show(const QString& strText, long lngStyle, const QString& strTitle) override;
};

// Answers every open and save dialog with one file name; with none, as Cancel.
class Fixed_File_Dialog : public platform::IFileDialog {
public:
    QString strFileName;
    bool Show_Open(platform::Common_Dialog& dlg, QWidget* pOwner) override;
    bool Show_Save(platform::Common_Dialog& dlg, QWidget* pOwner) override;
};

// Runs the benchmark's steps while a modal form is "shown".
class Scripted_Forms : public platform::IForms {
public:
    std::function<void(QWidget&)> onShow;
    int Show_Modal(QWidget& form, QWidget* pOwner) override;
};

// The doubles a run installs over the core services.
struct Doubles {
    std::shared_ptr<Recording_Boxes> boxes = std::make_shared<Recording_Boxes>();
    std::shared_ptr<Fixed_File_Dialog> files = std::make_shared<Fixed_File_Dialog>();
    std::shared_ptr<Scripted_Forms> forms = std::make_shared<Scripted_Forms>();
};

// Points the console at strFolder as its Windows directory (where it looks for the
// settings database), installs the core services afresh and the doubles over them.
Doubles Use_Windows_Folder(const QString& strFolder);

// Writes bytes to a file, replacing what it held.
void Write_File(const QString& strPath, const QByteArray& bytes);

// ---------------------------------------------------------------- counts and options

// Runs sql on the database file on a connection of its own; true when it all ran.
bool Exec(const QString& strDb, const QByteArray& sql);
// Runs the INSERT strSql n times in one transaction on a connection of its own, bind
// setting the parameters of row i; true when every row was stored.
bool Insert_Rows(const QString& strDb, const char* strSql, long n,
                 const std::function<void(sqlite3_stmt*, long)>& bind);
// The first column of the first row of a query (a count), -1 when it failed.
long long Count(const QString& strDb, const QByteArray& sql);
// The text of an option "--name=text" on the command line; empty when it is not given.
QString Option_Text(int argc, char* argv[], const char* strName);
// The numbers of an option "--name=1,2,3" on the command line, or the defaults.
QList<int> Option_List(int argc, char* argv[], const char* strName, const QList<int>& defaults);

// ---------------------------------------------------------------- timing

// The sqlite3 shell to time as the reference: the first program argument that is not
// an option, else "sqlite3" on the PATH.
QString Shell_Program(int argc, char* argv[]);

// Runs the shell on strDatabase with strScript as its standard input (and the given
// extra arguments before the database), its output thrown away or written to
// strOutputFile; answers the wall time in seconds (negative when the shell failed).
double Time_Shell(const QString& strShell, const QString& strDatabase, const QString& strScriptFile,
                  const QStringList& extraArgs = {}, const QString& strOutputFile = QString());

// The peak resident memory of this process so far, in MiB: its own (VmHWM), not
// counting what a parent held when it started this process.
double Peak_Memory_MiB();

// Seconds since an arbitrary start (a steady clock).
double Now();

// The middle of the measured values (the upper one of an even count); -1 for none.
double Median(std::vector<double> values);
// The smallest measured value; -1 for none.
double Minimum(const std::vector<double>& values);

// The table's heading, then one row per measurement.
void Print_Header();
void Print_Row(const QString& strWork, long long lngSize, double dblConsoleSeconds, double dblReferenceSeconds,
               double dblPeakMiB);

}  // namespace bench
