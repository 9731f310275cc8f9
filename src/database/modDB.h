#pragma once
// Settings database access: finds the file, opens it per call, runs one SQL text
// and hands back the whole result as a table of texts, closes it again.
//
// Layer: database, above platform, filterlib and services; the features, the
// console and start-up use it.

#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace modDB {

// How long a statement waits for a lock held by the filtering components before it
// fails: they hold the file only for short writes, so a few seconds covers them
// without freezing the console for long when something keeps it locked.
constexpr int BUSY_TIMEOUT_MS = 3000;

// The wait given to connections opened from now on (tests shorten it so that a lock
// held on purpose fails fast); 0 or less puts BUSY_TIMEOUT_MS back.
void Set_Busy_Timeout(int lngMilliseconds);
int Busy_Timeout();

// Every connection opened here waits for a lock with one busy handler: it sleeps in
// short steps, growing to 100 ms, until the lock goes or its time-out has passed, and
// then gives up (the statement fails with "database is locked"). Busy_Step_Ms is its
// schedule: the sleep before retry lngCall (0, 1, ... within one wait) for a time-out
// of lngTimeoutMs, 0 once the steps before it have used the time-out up. The steps of
// one wait add up to the time-out exactly.
int Busy_Step_Ms(int lngCall, int lngTimeoutMs);

// Test hooks of the busy handler, so that tests count waits instead of timing them.
// A wait begins when a statement meets a lock (the handler's call 0); Busy_Waits is the
// number of waits begun since start. The busy hook, when set, is called at every call
// of the handler with its call number within the wait (the wait already counted),
// before it sleeps or gives up, on the thread that waits; it must not throw. A test can
// let a lock go there at a chosen call instead of after a sleep. An empty one removes it.
long long Busy_Waits();
void Set_Busy_Hook(std::function<void(int lngCall)> hook);

// An open connection; an empty one is the old handle 0. Closes on scope exit.
class Db_Connection {
public:
    Db_Connection() = default;
    explicit Db_Connection(sqlite3* p) : m_p(p) {}
    Db_Connection(Db_Connection&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    Db_Connection& operator=(Db_Connection&& o) noexcept;
    Db_Connection(const Db_Connection&) = delete;
    Db_Connection& operator=(const Db_Connection&) = delete;
    ~Db_Connection() { Close(); }

    explicit operator bool() const { return m_p != nullptr; }
    sqlite3* get() const { return m_p; }
    void Close();

private:
    sqlite3* m_p = nullptr;
};

// The result of one statement: row 0 the column names, rows 1..N the data, every
// value a text (NULL gives ""). Reading outside the table is a run-time error.
class Query_Result {
public:
    void Clear();
    int Rows() const { return m_lngCols == 0 ? 0 : static_cast<int>(m_values.size() / m_lngCols) - 1; }
    int Columns() const { return m_lngCols; }
    // Value of (row, column); throws Run_Time_Error 9 outside the table.
    const QString& Value(int lngRow, int lngCol) const;
    const QString& operator()(int lngRow, int lngCol) const { return Value(lngRow, lngCol); }
    // The value converted to a 32-bit number as the old CLng did (13 when it is
    // not a number, 6 when it does not fit).
    long Long_Value(int lngRow, int lngCol) const;

    // Used while reading a result.
    void Set_Columns(const QStringList& names);
    void Append_Row(std::vector<QString>&& row);

private:
    int m_lngCols = 0;
    std::vector<QString> m_values;  // row-major, row 0 = names
};

// Converts a text to a 32-bit number as CLng did: blanks trimmed, decimals rounded
// half to even; throws Run_Time_Error 13 (not a number) or 6 (out of range).
long To_Long(const QString& strValue);

// Doubles the apostrophes of a text value, so that it stays one SQL literal.
// Every text that goes between quotes in an SQL text passes through here. A text
// holding a NUL is refused: run-time error 5, whose text does not show the value.
QString Sql_Text(const QString& strValue);

// The forms a text the console shows may be stored in (Stored_Text_Forms): its UTF-8
// bytes first, then its Windows-1252 bytes, each only when it reads back as this very
// text. A statement that finds a row by a text it read matches every one of them.
QByteArrayList Stored_Forms(const QString& strValue);
// The SQL condition "strExpression holds a value that reads as strValue": one of its
// stored forms, as a text or as a blob, or, for a text ending in U+FFFD, a cut form
// (services/StoredText.h), such as "URL IN ('a.com',X'612E636F6D')" or
// "UPPER(NAME) IN ('CAFé',CAST(X'434146E9' AS TEXT),X'434146C3A9',X'434146E9')". The
// text passes Sql_Text. The cut forms are checked by the SQL function READS_AS, which
// every connection of Open_Database has.
QString Sql_Matches_Stored(const QString& strExpression, const QString& strValue);
// A value of a condition built for a prepared statement, bound as a text or a blob.
struct Sql_Value {
    QByteArray bytes;
    bool blnBlob = false;
};
// The same condition with its values as parameters "?", appended to values in the order
// they are bound (Prepared_Statement::Bind_Values). Its text depends only on how many
// forms the value has, so that a batch prepares each shape once.
QString Sql_Matches_Stored(const QString& strExpression, const QString& strValue, QList<Sql_Value>& values);
// "strColumn=" strValue for an UPDATE, except that a stored value that already reads as
// strValue is set to itself: a value the administrator did not change keeps its stored bytes.
QString Sql_Set_Text(const QString& strColumn, const QString& strValue);
inline constexpr const char* READS_AS_FUNCTION = "READS_AS";
// DV_SHORT_TIME(value): a stored time in the form the schedule editors write, read by
// Readable_Short_Time (services/TimeOfDay.h) as Add_Text_Function reads; every
// connection of Open_Database has it.
inline constexpr const char* SHORT_TIME_FUNCTION = "DV_SHORT_TIME";

// True for a result code that says another connection holds the database locked
// (SQLITE_BUSY or SQLITE_LOCKED, extended codes too): a next write would wait and fail alike.
bool Is_Busy_Code(int lngCode);

QString Get_Windows_Directory();
// The Windows directory followed by "/tsdvstore.iil".
QString Get_Database_File();

// Opens an existing, non-empty settings database; reports a failure in one critical
// box and returns an empty connection. Never creates a file.
Db_Connection Open_Database(const QString& strPath);
void Close_Database(Db_Connection& hDb);

// What start-up finds at the settings database's place.
enum class Settings_File {
    Readable,    // an SQLite file holding the settings row and the users table
    Busy,        // another program holds it locked now (not waited out here)
    Unreadable,  // missing, empty, not SQLite, or without the settings row or users table
};
// Tells whether strPath can be read as a settings database; for Busy and Unreadable
// strReason holds why (the database's own text where it gave one). Shows nothing.
// A journal that a writer killed inside its transaction left beside the file is rolled
// back here, so the file reads as it was before that transaction.
Settings_File Check_Settings_Database(const QString& strPath, QString& strReason);

// Runs strSQL (one or more statements). With an empty connection returns false and
// reports nothing; a failed statement is reported with the database's message.
bool Run_Query(const Db_Connection& hDb, const QString& strSQL, Query_Result& arrResult, long& lngRows);
// Rows changed by the last INSERT, UPDATE or DELETE that ran on the connection.
long long Changes(const Db_Connection& hDb);

// What a write that must change a row came to: an UPDATE or DELETE of a row the
// administrator sees listed (by its id or its text). It tests true only when it
// changed a row, so that a caller that needs to know no more tests it as a bool.
class Row_Write {
public:
    enum class Outcome { Changed, Not_Stored, Failed };
    explicit Row_Write(Outcome outcome = Outcome::Failed) : m_outcome(outcome) {}
    explicit operator bool() const { return m_outcome == Outcome::Changed; }
    // It ran and changed no row: the row is not stored as the screen shows it (another
    // program deleted or changed it). Reported; the caller shows what is stored.
    bool Not_Stored() const { return m_outcome == Outcome::Not_Stored; }

private:
    Outcome m_outcome;
};

// Runs strSQL (one UPDATE or DELETE) on the open connection. A failure is reported
// with the database's text; a statement that ran and changed no row with
// strNotStoredMessage, in one critical box and an "E: " log line. SQLite counts a row
// an UPDATE found as changed also when it already held the values written, so only a
// row that is not there (or that a trigger kept) changes none. With an empty
// connection answers Failed and reports nothing.
Row_Write Change_Row(const Db_Connection& hDb, const QString& strSQL, const QString& strNotStoredMessage);
// The same on a connection of its own: opens, runs strSQL, closes.
Row_Write Change_Row(const QString& strSQL, const QString& strNotStoredMessage);
// Reports strNotStoredMessage as Change_Row does and answers Not_Stored: for a write
// that found its row missing before it ran (a read-modify-write).
Row_Write Report_Not_Stored(const QString& strNotStoredMessage);

// Every text read from the database is read as a text of unknown origin
// (services/StoredText.h): UTF-8 when its bytes are valid UTF-8, a cut UTF-8 text with
// U+FFFD for its cut last character, Windows-1252 otherwise (a value written by a
// program of another code page); a blob the same as a text of its bytes. So it is
// shown, exported and found again readably (see Stored_Forms).

// Runs strSQL (one or more statements) and hands each row they return to onRow as
// soon as it is read, every value a text (NULL gives ""), so that a big result is
// never held whole. Failures are reported as by Run_Query; a run-time error raised by
// onRow ends the reading and is reported once through the error block. With an empty
// connection returns false and reports nothing.
bool For_Each_Row(const Db_Connection& hDb, const QString& strSQL,
                  const std::function<void(const QStringList&)>& onRow);

// The same, each row handed over as the UTF-8 bytes of its values (NULL gives an empty
// view), valid only during the call: for readers that keep the bytes as they are. A
// value whose stored bytes are not valid UTF-8 is handed over converted to UTF-8.
bool For_Each_Row_Utf8(const Db_Connection& hDb, const QString& strSQL,
                       const std::function<void(const QByteArrayView* values, int lngColumns)>& onRow);

// Makes the SQL function strName(x) on the connection, for statements that write
// stored values straight back (INSERT ... SELECT): a text or bytes x is read as the
// console reads every value (see above) and handed to convert; the text it answers
// is the function's value, a text. No answer, and any x that is no text or bytes
// (a number, NULL), gives x back as stored, its type and bytes unchanged. False when
// the connection is empty or refused it.
bool Add_Text_Function(const Db_Connection& hDb, const char* strName,
                       std::optional<QString> (*convert)(const QString& strValue));

// Readies a connection for a query that fetches many rows from all over the file, such
// as a report: each page is read from the file at most once. Only a hint; a connection
// that cannot take it reads as before.
void Prepare_For_Many_Rows(const Db_Connection& hDb);

// "VACUUM" on the settings database; logs its success.
bool Compact_Database();
// Opens, runs strSQL, closes.
bool Run_Sql(const QString& strSQL, long& lngRows, Query_Result& arrResult);
// Runs strSQL inside MY_TRANS on a connection of its own; true only when the
// statements ran and their commit succeeded.
bool Execute_In_Transaction(const QString& strSQL);

// The batch transaction: "BEGIN IMMEDIATE TRANSACTION MY_TRANS" now (it takes the write
// lock at once, waiting for it as every statement does, so that what the batch reads
// stays as read until it commits), and
// "COMMIT TRANSACTION MY_TRANS" at Commit() or, failing that, when the guard goes,
// also after a failed statement (what succeeded stays written). A guard left by an
// exception (one raised after the guard was made) rolls the batch back instead: the
// code that would have decided what to keep never ran.
// A commit that fails (after the busy time-out waited out a lock) is rolled back and
// reported once with the database's own text: nothing of the batch is stored then,
// and Commit() answers false so that the caller reports no success and shows only
// what is stored. So is a batch whose file was deleted or replaced by another while
// it ran: its commit would go into a file nobody opens again; the box names the file.
// With blnReport false nothing is shown: for a caller mending a failure it reported.
class MY_TRANS {
public:
    explicit MY_TRANS(const Db_Connection& hDb, bool blnReport = true);
    // A BEGIN that fails (a lock held past the busy time-out, a read-only file) is not
    // shown but handed back in Begin_Error(), for a caller that reports it in its own
    // words (an import names the entry it stopped at); the rest is reported as usual.
    struct Begin_Failure_To_Caller {};
    MY_TRANS(const Db_Connection& hDb, Begin_Failure_To_Caller);
    ~MY_TRANS();
    MY_TRANS(const MY_TRANS&) = delete;
    MY_TRANS& operator=(const MY_TRANS&) = delete;
    bool Began() const { return m_blnBegan; }
    // The database's text of a BEGIN that failed ("" when it began or was not tried).
    const QString& Begin_Error() const { return m_strBeginError; }
    // True while the transaction is open: it began, was not ended here, and SQLite did
    // not roll it back itself (as it may after a failed statement, on a full disk).
    bool Is_Open() const;
    // Commits now. False when the transaction never began or its commit failed
    // (then it was rolled back and reported). A second call answers the first's result.
    bool Commit();
    // Rolls the whole batch back now (nothing reported); Commit() then answers false.
    void Rollback();

private:
    const Db_Connection& m_hDb;
    int m_lngUncaught = 0;  // exceptions already unwinding when the guard was made
    bool m_blnReport = true;
    bool m_blnBegan = false;
    bool m_blnEnded = false;
    bool m_blnCommitted = false;
    QString m_strBeginError;
};

// Runs writes (each answering a Row_Write) in one MY_TRANS on a connection of its own, so
// that what they read stays as read until they commit: all of them are stored, or, the
// first one refused or found not stored (reported by that write), none. A refused
// commit was rolled back and reported by the guard and answers Failed.
Row_Write Write_In_One_Transaction(const std::function<Row_Write(const Db_Connection&)>& writes);

// One statement prepared once and run many times with bound values: the fast way to
// write a batch (an import, a copy) inside one MY_TRANS. Parameters are "?" in the
// SQL text and numbered from 1. A text holding a NUL character is refused like a
// failed statement (the database would cut it there).
class Prepared_Statement {
public:
    // Prepares strSQL (one statement). A failure is reported unless blnReport is false;
    // Ok() tells.
    Prepared_Statement(const Db_Connection& hDb, const QString& strSQL, bool blnReport = true);
    ~Prepared_Statement();
    Prepared_Statement(const Prepared_Statement&) = delete;
    Prepared_Statement& operator=(const Prepared_Statement&) = delete;

    bool Ok() const { return m_pStmt != nullptr; }
    void Bind(int lngIndex, const QString& strValue);
    void Bind(int lngIndex, long long lngValue);
    // Binds bytes as a text value as they are (a stored form of Stored_Forms).
    void Bind_Text_Bytes(int lngIndex, const QByteArray& bytes);
    void Bind_Blob(int lngIndex, const QByteArray& bytes);
    // Binds the values of a condition from lngIndex on; answers the next index.
    int Bind_Values(int lngIndex, const QList<Sql_Value>& values);
    // Runs the statement with the values bound since the last run, reads no rows,
    // and makes it ready for the next run. False on failure: the database's text is in
    // Last_Error(), and it was shown in a box unless reporting was switched off.
    bool Execute();
    // The same for a query, handing onValue the first value of each row read as it is
    // stored: its bytes, unconverted, and whether it is a blob (NULL gives empty bytes).
    bool Execute(const std::function<void(QByteArrayView bytes, bool blnBlob)>& onValue);
    // Rows changed by the last Execute().
    long long Changes() const;
    // Whether the last Execute() of a query read a row.
    bool Found_Row() const { return m_blnFoundRow; }
    const QString& Last_Error() const { return m_strError; }
    // After a failed Execute(): whether another connection held the database locked.
    bool Busy() const { return Is_Busy_Code(m_lngErrorCode); }

private:
    bool Fail(const QString& strError);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_pStmt = nullptr;
    bool m_blnReport = true;
    bool m_blnBadValue = false;
    int m_lngErrorCode = 0;  // the extended result code of the last failed run
    bool m_blnFoundRow = false;
    QString m_strError;
};

}  // namespace modDB

#include "services/ErrorHandler.h"

namespace modDB {

// The per-call protocol: open, run strSQL, close, then read the table inside an
// error block (reading a row that is not there fails there and is reported once).
// True when the statement and the reader succeeded. The reader assigns the
// caller's out parameters only after all its reads succeeded.
template <class Reader>
bool Run_Sql_And_Read(const QString& strSQL, Reader&& read) {
    Query_Result arrResult;
    long lngRows = 0;
    if (!Run_Sql(strSQL, lngRows, arrResult)) return false;
    return Error_Block([&] { read(arrResult, lngRows); });
}

// The same for a statement whose result is not read.
inline bool Run_Sql_Only(const QString& strSQL) {
    Query_Result arrResult;
    long lngRows = 0;
    return Run_Sql(strSQL, lngRows, arrResult);
}

}  // namespace modDB
