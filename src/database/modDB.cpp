#include "database/modDB.h"

#include "platform/Platform.h"
#include "services/ErrorHandler.h"
#include "services/StoredText.h"
#include "services/TimeOfDay.h"
#include "services/modProgram.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <string_view>
#include <sqlite3.h>

namespace modDB {

namespace {
int g_lngBusyTimeout = BUSY_TIMEOUT_MS;
std::atomic<long long> g_lngBusyWaits{0};
std::function<void(int)> g_busyHook;

// The connection's time-out travels in the handler's argument, fixed when it was opened.
int Busy_Handler(void* pTimeout, int lngCall) {
    if (lngCall == 0) g_lngBusyWaits.fetch_add(1, std::memory_order_relaxed);
    if (g_busyHook) g_busyHook(lngCall);
    const int lngStep = Busy_Step_Ms(lngCall, static_cast<int>(reinterpret_cast<std::intptr_t>(pTimeout)));
    if (lngStep <= 0) return 0;
    sqlite3_sleep(lngStep);
    return 1;
}
}  // namespace

void Set_Busy_Timeout(int lngMilliseconds) { g_lngBusyTimeout = lngMilliseconds > 0 ? lngMilliseconds : BUSY_TIMEOUT_MS; }
int Busy_Timeout() { return g_lngBusyTimeout; }

int Busy_Step_Ms(int lngCall, int lngTimeoutMs) {
    // Short steps first, so that a lock held for a moment costs little, then 100 ms each.
    static constexpr int STEPS[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    constexpr int LAST = static_cast<int>(std::size(STEPS)) - 1;
    long long lngSlept = 0;  // by the steps before this one
    for (int i = 0; i < std::min(std::max(lngCall, 0), LAST); ++i) lngSlept += STEPS[i];
    if (lngCall > LAST) lngSlept += static_cast<long long>(STEPS[LAST]) * (lngCall - LAST);
    const long long lngLeft = lngTimeoutMs - lngSlept;
    return lngLeft <= 0 ? 0 : static_cast<int>(std::min<long long>(STEPS[std::clamp(lngCall, 0, LAST)], lngLeft));
}

long long Busy_Waits() { return g_lngBusyWaits.load(std::memory_order_relaxed); }
void Set_Busy_Hook(std::function<void(int lngCall)> hook) { g_busyHook = std::move(hook); }

Db_Connection& Db_Connection::operator=(Db_Connection&& o) noexcept {
    if (this != &o) {
        Close();
        m_p = o.m_p;
        o.m_p = nullptr;
    }
    return *this;
}

void Db_Connection::Close() {
    if (m_p) {
        sqlite3_close_v2(m_p);
        m_p = nullptr;
    }
}

void Query_Result::Clear() {
    m_lngCols = 0;
    m_values.clear();
}

const QString& Query_Result::Value(int lngRow, int lngCol) const {
    if (lngRow < 0 || lngCol < 0 || lngCol >= m_lngCols || lngRow > Rows())
        throw Run_Time_Error(Err_No::Subscript_Out_Of_Range, QStringLiteral("Subscript out of range"));
    return m_values[static_cast<size_t>(lngRow) * m_lngCols + lngCol];
}

long Query_Result::Long_Value(int lngRow, int lngCol) const { return To_Long(Value(lngRow, lngCol)); }

void Query_Result::Set_Columns(const QStringList& names) {
    m_values.clear();
    m_lngCols = static_cast<int>(names.size());
    m_values.reserve(m_lngCols);
    for (const QString& name : names) m_values.push_back(name);
}

void Query_Result::Append_Row(std::vector<QString>&& row) {
    for (QString& value : row) m_values.push_back(std::move(value));
}

long To_Long(const QString& strValue) {
    const QString strTrimmed = strValue.trimmed();
    bool blnOk = false;
    double dblValue = static_cast<double>(strTrimmed.toLongLong(&blnOk));
    if (!blnOk) {
        dblValue = strTrimmed.toDouble(&blnOk);
        if (!blnOk || !std::isfinite(dblValue))
            throw Run_Time_Error(Err_No::Type_Mismatch, QStringLiteral("Type mismatch"));
        dblValue = std::nearbyint(dblValue);  // the default rounding mode rounds half to even
    }
    if (dblValue < std::numeric_limits<qint32>::min() || dblValue > std::numeric_limits<qint32>::max())
        throw Run_Time_Error(Err_No::Overflow, QStringLiteral("Overflow"));
    return static_cast<long>(dblValue);
}

QString Sql_Text(const QString& strValue) {
    // SQLite ends a text at a NUL, so the rest of the statement would be lost (and
    // its error message would show the text): such a text is refused before any
    // statement is built from it. The message never holds the text itself.
    if (strValue.contains(QChar(u'\0')))
        throw Run_Time_Error(Err_No::Invalid_Procedure_Call,
                             QStringLiteral("The text holds a NUL character and cannot be used"));
    QString strOut = strValue;
    strOut.replace(QLatin1Char('\''), QStringLiteral("''"));
    return strOut;
}

QByteArrayList Stored_Forms(const QString& strValue) { return Stored_Text_Forms(strValue); }

namespace {

// The condition "strExpression reads as strValue", each of its values written by
// onValue (a literal or a parameter). The exact forms come first in one IN list, as
// texts and then as blobs (SQLite finds no blob equal to a text), so that an index on
// the expression serves them; the cut forms follow as a range of texts and one of blobs
// (a text always sorts before a blob), each value in them checked by READS_AS.
template <class On_Value>
QString Matches_Stored(const QString& strExpression, const QString& strValue, On_Value&& onValue) {
    const QByteArrayList forms = Stored_Forms(strValue);
    QString strCondition = strExpression + " IN (";
    const char* pComma = "";
    for (const bool blnBlob : {false, true}) {
        for (const QByteArray& form : forms) {
            strCondition += pComma;
            strCondition += onValue(Sql_Value{form, blnBlob});
            pComma = ",";
        }
    }
    strCondition += ')';
    QByteArray prefix;
    if (!Cut_Text_Prefix(strValue, prefix)) return strCondition;
    // Appended one by one: onValue must see the values in the order they stand. Each
    // range is a term of its own, so that the planner can look each one up in an index.
    const QByteArray low = prefix + '\xC2', high = prefix + '\xF5';
    const QString& e = strExpression;
    const QString strReadsAs = QStringLiteral(" AND ") + READS_AS_FUNCTION + "(" + e + ",";
    QString strOut = "(" + strCondition;
    for (const bool blnBlob : {false, true}) {
        strOut += " OR " + e + ">=";
        strOut += onValue(Sql_Value{low, blnBlob});
        strOut += " AND " + e + "<";
        strOut += onValue(Sql_Value{high, blnBlob});
        strOut += strReadsAs;
        strOut += onValue(Sql_Value{strValue.toUtf8(), false});
        strOut += ')';
    }
    return strOut + ")";
}

QString Sql_Literal(const Sql_Value& value) {
    const QString strHex = QString::fromLatin1(value.bytes.toHex());
    if (value.blnBlob) return "X'" + strHex + "'";
    if (QByteArrayView(value.bytes).isValidUtf8()) return "'" + Sql_Text(QString::fromUtf8(value.bytes)) + "'";
    return "CAST(X'" + strHex + "' AS TEXT)";
}

// READS_AS(value, text): 1 when the value's bytes read as the text, 0 when not, NULL
// when either is NULL.
void Reads_As(sqlite3_context* pContext, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(pContext);
        return;
    }
    const auto* pValue = static_cast<const char*>(sqlite3_value_blob(argv[0]));
    const QByteArrayView value(pValue, pValue ? sqlite3_value_bytes(argv[0]) : 0);
    const auto* pText = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const QByteArrayView text(pText, pText ? sqlite3_value_bytes(argv[1]) : 0);
    sqlite3_result_int(pContext, Decode_Utf8_Or_Windows_1252(value) == QString::fromUtf8(text) ? 1 : 0);
}

}  // namespace

QString Sql_Matches_Stored(const QString& strExpression, const QString& strValue) {
    Sql_Text(strValue);  // a text holding a NUL is refused before any statement is built
    return Matches_Stored(strExpression, strValue, &Sql_Literal);
}

QString Sql_Matches_Stored(const QString& strExpression, const QString& strValue, QList<Sql_Value>& values) {
    return Matches_Stored(strExpression, strValue, [&](Sql_Value&& value) {
        values.push_back(std::move(value));
        return QStringLiteral("?");
    });
}

QString Sql_Set_Text(const QString& strColumn, const QString& strValue) {
    return strColumn + "=CASE WHEN " + Sql_Matches_Stored(strColumn, strValue) + " THEN " + strColumn + " ELSE '" +
           Sql_Text(strValue) + "' END";
}

bool Is_Busy_Code(int lngCode) {
    const int lngPrimary = lngCode & 0xFF;
    return lngPrimary == SQLITE_BUSY || lngPrimary == SQLITE_LOCKED;
}

QString Get_Windows_Directory() { return platform::Environment().Windows_Directory(); }

QString Get_Database_File() { return Get_Windows_Directory() + QStringLiteral("/tsdvstore.iil"); }

Db_Connection Open_Database(const QString& strPath) {
    Db_Connection hDb;
    Error_Block([&] {
        const QFileInfo info(strPath);
        if (!info.exists() || !info.isFile())
            throw Run_Time_Error(Err_No::File_Not_Found, QStringLiteral("File not found: ") + strPath);
        if (info.size() == 0) {
            modProgram::Log().Show_Error(QStringLiteral("The settings database is empty: ") + strPath, true);
            return;
        }
        sqlite3* p = nullptr;
        const QByteArray path = strPath.toUtf8();
        if (sqlite3_open_v2(path.constData(), &p, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            const QString strMessage = p ? QString::fromUtf8(sqlite3_errmsg(p)) : QStringLiteral("out of memory");
            if (p) sqlite3_close_v2(p);
            modProgram::Log().Show_Error(
                QStringLiteral("The settings database cannot be opened: ") + strPath + QStringLiteral(": ") + strMessage,
                true);
            return;
        }
        sqlite3_busy_handler(p, &Busy_Handler, reinterpret_cast<void*>(static_cast<std::intptr_t>(g_lngBusyTimeout)));
        sqlite3_extended_result_codes(p, 1);
        sqlite3_create_function_v2(p, READS_AS_FUNCTION, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                   nullptr, &Reads_As, nullptr, nullptr, nullptr);
        hDb = Db_Connection(p);
        Add_Text_Function(hDb, SHORT_TIME_FUNCTION, &Readable_Short_Time);
    });
    return hDb;
}

void Close_Database(Db_Connection& hDb) { hDb.Close(); }

Settings_File Check_Settings_Database(const QString& strPath, QString& strReason) {
    const QFileInfo info(strPath);
    if (!info.exists() || !info.isFile()) {
        strReason = QStringLiteral("File not found");
        return Settings_File::Unreadable;
    }
    if (info.size() == 0) {
        strReason = QStringLiteral("the file is empty");
        return Settings_File::Unreadable;
    }
    sqlite3* p = nullptr;
    const QByteArray path = strPath.toUtf8();
    // Opened for writing (never created): a journal left by a writer that was killed
    // inside its transaction is rolled back by the first read, which a read-only
    // connection cannot do. A file the system lets nobody write is opened read-only.
    const int rcOpen = sqlite3_open_v2(path.constData(), &p, SQLITE_OPEN_READWRITE, nullptr);
    const Db_Connection hDb(p);
    if (rcOpen != SQLITE_OK) {
        strReason = p ? QString::fromUtf8(sqlite3_errmsg(p)) : QStringLiteral("out of memory");
        return Settings_File::Unreadable;
    }
    // No wait here: a locked file is Busy, and the caller's own read that follows waits
    // the lock out (and reports it), so start-up waits once, not twice.
    sqlite3_busy_timeout(p, 0);
    // The settings row and the users table, with the columns start-up and login read.
    for (const char* strSQL : {"SELECT REMOTE_MODE, SERVER_NAME, CLIENT_PORT, PWD, PROGRAM_MODE, CLIENT_OPTIONS "
                               "FROM SETTINGS_TBL WHERE SETTINGS_ID=1",
                               "SELECT USER_ID, USER_NAME FROM USER_TBL LIMIT 1"}) {
        sqlite3_stmt* raw = nullptr;
        int rc = sqlite3_prepare_v2(p, strSQL, -1, &raw, nullptr);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, &sqlite3_finalize);
        if (rc == SQLITE_OK) rc = sqlite3_step(raw);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            strReason = QString::fromUtf8(sqlite3_errmsg(p));
            // A file locked by another program says nothing about what it holds.
            const int rcPrimary = rc & 0xFF;
            return rcPrimary == SQLITE_BUSY || rcPrimary == SQLITE_LOCKED ? Settings_File::Busy
                                                                          : Settings_File::Unreadable;
        }
        if (rc == SQLITE_DONE && std::string_view(strSQL).starts_with("SELECT REMOTE_MODE")) {
            strReason = QStringLiteral("it holds no settings row");
            return Settings_File::Unreadable;
        }
    }
    return Settings_File::Readable;
}

namespace {

// A text value of a row as the console reads it (see For_Each_Row).
QString Column_Text(sqlite3_stmt* stmt, int c) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
    return text ? Decode_Utf8_Or_Windows_1252(QByteArrayView(text, sqlite3_column_bytes(stmt, c))) : QString();
}

// Runs every statement of strSQL, collecting the rows they return into one table.
bool Execute_All(sqlite3* db, const QString& strSQL, Query_Result& result, long& lngRows, QString& strError) {
    const QByteArray sql = strSQL.toUtf8();
    const char* pTail = sql.constData();
    const char* pEnd = pTail + sql.size();
    result.Clear();
    lngRows = 0;
    bool blnHaveNames = false;
    while (pTail < pEnd) {
        sqlite3_stmt* stmt = nullptr;
        const char* pNext = nullptr;
        if (sqlite3_prepare_v2(db, pTail, static_cast<int>(pEnd - pTail), &stmt, &pNext) != SQLITE_OK) {
            strError = QString::fromUtf8(sqlite3_errmsg(db));
            return false;
        }
        pTail = pNext;
        if (!stmt) continue;  // blanks or a comment
        const int nCols = sqlite3_column_count(stmt);
        if (nCols > 0 && !blnHaveNames) {
            QStringList names;
            for (int c = 0; c < nCols; ++c) names << QString::fromUtf8(sqlite3_column_name(stmt, c));
            result.Set_Columns(names);
            blnHaveNames = true;
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            std::vector<QString> row;
            row.reserve(result.Columns());
            for (int c = 0; c < result.Columns(); ++c) row.push_back(c < nCols ? Column_Text(stmt, c) : QString());
            result.Append_Row(std::move(row));
            ++lngRows;
        }
        if (rc != SQLITE_DONE) {
            strError = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_finalize(stmt);
            return false;
        }
        sqlite3_finalize(stmt);
    }
    return true;
}

}  // namespace

bool Run_Query(const Db_Connection& hDb, const QString& strSQL, Query_Result& arrResult, long& lngRows) {
    if (!hDb) return false;
    bool blnResult = false;
    Error_Block([&] {
        QString strError;
        Query_Result table;
        long lngCount = 0;
        const bool blnOk = Execute_All(hDb.get(), strSQL, table, lngCount, strError);
        arrResult = std::move(table);
        if (!blnOk) {
            if (strError.isEmpty()) strError = QStringLiteral("unknown database error");
            modProgram::Log().Show_Error(strError, true);
            return;
        }
        lngRows = lngCount;
        blnResult = true;
    });
    return blnResult;
}

long long Changes(const Db_Connection& hDb) { return hDb ? sqlite3_changes64(hDb.get()) : 0; }

Row_Write Change_Row(const Db_Connection& hDb, const QString& strSQL, const QString& strNotStoredMessage) {
    Query_Result arrResult;
    long lngRows = 0;
    if (!Run_Query(hDb, strSQL, arrResult, lngRows)) return Row_Write(Row_Write::Outcome::Failed);
    if (Changes(hDb) > 0) return Row_Write(Row_Write::Outcome::Changed);
    return Report_Not_Stored(strNotStoredMessage);
}

Row_Write Report_Not_Stored(const QString& strNotStoredMessage) {
    Error_Block([&] { modProgram::Log().Show_Error(strNotStoredMessage, true); });
    return Row_Write(Row_Write::Outcome::Not_Stored);
}

Row_Write Change_Row(const QString& strSQL, const QString& strNotStoredMessage) {
    Db_Connection hDb = Open_Database(Get_Database_File());
    const Row_Write result = Change_Row(hDb, strSQL, strNotStoredMessage);
    Close_Database(hDb);
    return result;
}

namespace {
struct Statement_Finalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Statement_Finalizer>;
}  // namespace

namespace {

// Steps through every statement of strSQL and hands each row's statement to onRow.
// Failures are reported once; a run-time error raised by onRow ends the reading and
// is reported through the error block.
template <class On_Row>
bool Step_All(const Db_Connection& hDb, const QString& strSQL, On_Row&& onRow) {
    if (!hDb) return false;
    bool blnResult = false;
    Error_Block([&] {
        sqlite3* db = hDb.get();
        const QByteArray sql = strSQL.toUtf8();
        const char* pTail = sql.constData();
        const char* pEnd = pTail + sql.size();
        QString strError;
        while (pTail < pEnd && strError.isEmpty()) {
            sqlite3_stmt* raw = nullptr;
            const char* pNext = nullptr;
            if (sqlite3_prepare_v2(db, pTail, static_cast<int>(pEnd - pTail), &raw, &pNext) != SQLITE_OK) {
                strError = QString::fromUtf8(sqlite3_errmsg(db));
                break;
            }
            pTail = pNext;
            Statement stmt(raw);  // finalized also when onRow raises an error
            if (!stmt) continue;  // blanks or a comment
            const int nCols = sqlite3_column_count(stmt.get());
            int rc;
            while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) onRow(stmt.get(), nCols);
            if (rc != SQLITE_DONE) strError = QString::fromUtf8(sqlite3_errmsg(db));
        }
        if (!strError.isEmpty()) {
            modProgram::Log().Show_Error(strError, true);
            return;
        }
        blnResult = true;
    });
    return blnResult;
}

}  // namespace

bool For_Each_Row(const Db_Connection& hDb, const QString& strSQL,
                  const std::function<void(const QStringList&)>& onRow) {
    QStringList row;
    return Step_All(hDb, strSQL, [&](sqlite3_stmt* stmt, int nCols) {
        // One list reused for every row: each value is replaced in place.
        if (row.size() != nCols) row = QStringList(nCols);
        for (int c = 0; c < nCols; ++c) row[c] = Column_Text(stmt, c);
        onRow(row);
    });
}

void Prepare_For_Many_Rows(const Db_Connection& hDb) {
    if (!hDb) return;
    // The pages are read through SQLite's own page cache, which takes its pages only as
    // they are read; beyond it the system's file cache serves them. Never through a
    // memory map, though a map reads a file bigger than the cache faster: a read error
    // on a mapped file (a database on shared storage, a file cut short) ends the process
    // with a signal, where a read through the cache is an error SQLite reports.
    constexpr long long CACHE_KIB = 256 * 1024;
    const QByteArray pragmas = "PRAGMA mmap_size=0; PRAGMA cache_size=-" + QByteArray::number(CACHE_KIB);
    sqlite3_exec(hDb.get(), pragmas.constData(), nullptr, nullptr, nullptr);
}

bool Add_Text_Function(const Db_Connection& hDb, const char* strName,
                       std::optional<QString> (*convert)(const QString& strValue)) {
    if (!hDb) return false;
    const auto call = [](sqlite3_context* context, int, sqlite3_value** argv) {
        sqlite3_value* value = argv[0];
        const int lngType = sqlite3_value_type(value);
        if (lngType == SQLITE_TEXT || lngType == SQLITE_BLOB) {
            // Bytes are read as they are, so that the value keeps its type when it is
            // handed back.
            const char* bytes = lngType == SQLITE_TEXT ? reinterpret_cast<const char*>(sqlite3_value_text(value))
                                                       : static_cast<const char*>(sqlite3_value_blob(value));
            const QString strValue =
                bytes ? Decode_Utf8_Or_Windows_1252(QByteArrayView(bytes, sqlite3_value_bytes(value))) : QString();
            auto* pConvert = reinterpret_cast<std::optional<QString> (*)(const QString&)>(sqlite3_user_data(context));
            if (const std::optional<QString> strConverted = pConvert(strValue)) {
                const QByteArray utf8 = strConverted->toUtf8();
                sqlite3_result_text(context, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
                return;
            }
        }
        sqlite3_result_value(context, value);
    };
    return sqlite3_create_function_v2(hDb.get(), strName, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                      reinterpret_cast<void*>(convert), +call, nullptr, nullptr,
                                      nullptr) == SQLITE_OK;
}

bool For_Each_Row_Utf8(const Db_Connection& hDb, const QString& strSQL,
                       const std::function<void(const QByteArrayView* values, int lngColumns)>& onRow) {
    std::vector<QByteArrayView> row;
    // The UTF-8 of values whose stored bytes are not valid UTF-8, one buffer per column
    // reused row after row; a valid value is handed over as SQLite holds it.
    std::vector<QByteArray> converted;
    return Step_All(hDb, strSQL, [&](sqlite3_stmt* stmt, int nCols) {
        row.resize(static_cast<size_t>(nCols));
        for (int c = 0; c < nCols; ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            const QByteArrayView bytes(text, text ? sqlite3_column_bytes(stmt, c) : 0);
            if (bytes.isValidUtf8()) {
                row[static_cast<size_t>(c)] = bytes;
                continue;
            }
            if (converted.size() < static_cast<size_t>(nCols)) converted.resize(static_cast<size_t>(nCols));
            row[static_cast<size_t>(c)] = Decode_To_Utf8(bytes, converted[static_cast<size_t>(c)]);
        }
        onRow(row.data(), nCols);
    });
}

bool Compact_Database() {
    bool blnResult = false;
    Db_Connection hDb = Open_Database(Get_Database_File());
    Query_Result arrResult;
    long lngRows = 0;
    if (hDb && Run_Query(hDb, QStringLiteral("VACUUM"), arrResult, lngRows)) {
        modProgram::Log().Log_Event(QStringLiteral("Database compressed successfully!"), LOG_INFO, true);
        blnResult = true;
    }
    Close_Database(hDb);
    return blnResult;
}

bool Run_Sql(const QString& strSQL, long& lngRows, Query_Result& arrResult) {
    Db_Connection hDb = Open_Database(Get_Database_File());
    const bool blnResult = hDb && Run_Query(hDb, strSQL, arrResult, lngRows);
    Close_Database(hDb);
    return blnResult;
}

bool Execute_In_Transaction(const QString& strSQL) {
    bool blnResult = false;
    Db_Connection hDb = Open_Database(Get_Database_File());
    {
        MY_TRANS trans(hDb);
        if (hDb && trans.Began()) {
            Query_Result arrResult;
            long lngRows = 0;
            blnResult = Run_Query(hDb, strSQL, arrResult, lngRows);
        }
        // A failed statement still commits what ran before it (the batch rule), but
        // answers false; a failed commit makes the whole call a failure.
        blnResult = trans.Commit() && blnResult;
    }
    Close_Database(hDb);
    return blnResult;
}

MY_TRANS::MY_TRANS(const Db_Connection& hDb, bool blnReport)
    : m_hDb(hDb), m_lngUncaught(std::uncaught_exceptions()), m_blnReport(blnReport) {
    Query_Result arrResult;
    long lngRows = 0;
    // A batch begins as a write: a deferred transaction that has read cannot wait for the
    // write lock (SQLite answers "database is locked" at once rather than call the busy
    // handler), and what it read could change before it writes.
    if (m_blnReport)
        m_blnBegan = Run_Query(m_hDb, QStringLiteral("BEGIN IMMEDIATE TRANSACTION MY_TRANS"), arrResult, lngRows);
    else
        m_blnBegan = m_hDb && sqlite3_exec(m_hDb.get(), "BEGIN IMMEDIATE TRANSACTION MY_TRANS", nullptr, nullptr,
                                           nullptr) == SQLITE_OK;
}

MY_TRANS::MY_TRANS(const Db_Connection& hDb, Begin_Failure_To_Caller)
    : m_hDb(hDb), m_lngUncaught(std::uncaught_exceptions()) {
    if (!m_hDb) return;
    m_blnBegan = sqlite3_exec(m_hDb.get(), "BEGIN IMMEDIATE TRANSACTION MY_TRANS", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!m_blnBegan) m_strBeginError = QString::fromUtf8(sqlite3_errmsg(m_hDb.get()));
}

Row_Write Write_In_One_Transaction(const std::function<Row_Write(const Db_Connection&)>& writes) {
    Db_Connection hDb = Open_Database(Get_Database_File());
    if (!hDb) return Row_Write(Row_Write::Outcome::Failed);  // reported by the open
    MY_TRANS trans(hDb);
    if (!trans.Began()) return Row_Write(Row_Write::Outcome::Failed);  // reported by the BEGIN
    const Row_Write written = writes(hDb);
    if (!written) {
        trans.Rollback();
        return written;
    }
    if (!trans.Commit()) return Row_Write(Row_Write::Outcome::Failed);
    return written;
}

MY_TRANS::~MY_TRANS() {
    // A guard left without Commit() after a reported failure part-way still commits
    // what succeeded; one left by an exception keeps nothing. Comparing the counts
    // lets a guard made inside a destructor during unwinding commit as usual.
    if (std::uncaught_exceptions() > m_lngUncaught) Rollback();
    else Commit();
}

namespace {
// True when the file the connection writes was deleted or replaced by another file
// since it was opened. A file system that cannot tell counts as unmoved.
bool File_Has_Moved(sqlite3* db) {
    int intMoved = 0;
    return sqlite3_file_control(db, "main", SQLITE_FCNTL_HAS_MOVED, &intMoved) == SQLITE_OK && intMoved != 0;
}
}  // namespace

bool MY_TRANS::Commit() {
    if (m_blnEnded) return m_blnCommitted;
    m_blnEnded = true;
    // Commit only what is open: a BEGIN that failed leaves nothing to commit.
    if (!m_blnBegan || !m_hDb || sqlite3_get_autocommit(m_hDb.get())) return false;
    if (File_Has_Moved(m_hDb.get())) {
        sqlite3_exec(m_hDb.get(), "ROLLBACK TRANSACTION MY_TRANS", nullptr, nullptr, nullptr);
        // Named as every other box names it, not with the links resolved as SQLite keeps it.
        const QString strFile = Get_Database_File();
        if (m_blnReport) Error_Block([&] {
            modProgram::Log().Show_Error(QStringLiteral("The settings database ") + strFile +
                                             QStringLiteral(" was deleted or replaced while this change was being "
                                                            "written. Nothing of the change was stored."),
                                         true);
        });
        return false;
    }
    Query_Result arrResult;
    long lngRows = 0;
    // The busy handler waits out a lock held by another reader within the time-out;
    // a commit still refused after that is reported by Run_Query with the database's text.
    m_blnCommitted =
        m_blnReport ? Run_Query(m_hDb, QStringLiteral("COMMIT TRANSACTION MY_TRANS"), arrResult, lngRows)
                    : sqlite3_exec(m_hDb.get(), "COMMIT TRANSACTION MY_TRANS", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!m_blnCommitted && !sqlite3_get_autocommit(m_hDb.get()))
        sqlite3_exec(m_hDb.get(), "ROLLBACK TRANSACTION MY_TRANS", nullptr, nullptr, nullptr);
    return m_blnCommitted;
}

bool MY_TRANS::Is_Open() const {
    return m_blnBegan && !m_blnEnded && m_hDb && !sqlite3_get_autocommit(m_hDb.get());
}

void MY_TRANS::Rollback() {
    if (m_blnEnded) return;
    m_blnEnded = true;
    m_blnCommitted = false;
    if (m_blnBegan && m_hDb && !sqlite3_get_autocommit(m_hDb.get()))
        sqlite3_exec(m_hDb.get(), "ROLLBACK TRANSACTION MY_TRANS", nullptr, nullptr, nullptr);
}

// ---------------------------------------------------------------- prepared statement

Prepared_Statement::Prepared_Statement(const Db_Connection& hDb, const QString& strSQL, bool blnReport)
    : m_db(hDb.get()), m_blnReport(blnReport) {
    if (!m_db) {
        m_strError = QStringLiteral("no database connection");
        return;
    }
    const QByteArray sql = strSQL.toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), static_cast<int>(sql.size()), &m_pStmt, nullptr) != SQLITE_OK ||
        !m_pStmt) {
        sqlite3_finalize(m_pStmt);
        m_pStmt = nullptr;
        Fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
}

Prepared_Statement::~Prepared_Statement() { sqlite3_finalize(m_pStmt); }

void Prepared_Statement::Bind(int lngIndex, const QString& strValue) {
    if (!m_pStmt) return;
    if (strValue.contains(QChar(u'\0'))) m_blnBadValue = true;
    const QByteArray value = strValue.toUtf8();
    sqlite3_bind_text(m_pStmt, lngIndex, value.constData(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void Prepared_Statement::Bind_Text_Bytes(int lngIndex, const QByteArray& bytes) {
    if (!m_pStmt) return;
    if (bytes.contains('\0')) m_blnBadValue = true;
    sqlite3_bind_text(m_pStmt, lngIndex, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void Prepared_Statement::Bind_Blob(int lngIndex, const QByteArray& bytes) {
    if (m_pStmt)
        sqlite3_bind_blob(m_pStmt, lngIndex, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

int Prepared_Statement::Bind_Values(int lngIndex, const QList<Sql_Value>& values) {
    for (const Sql_Value& value : values) {
        if (value.blnBlob) Bind_Blob(lngIndex++, value.bytes);
        else Bind_Text_Bytes(lngIndex++, value.bytes);
    }
    return lngIndex;
}

void Prepared_Statement::Bind(int lngIndex, long long lngValue) {
    if (m_pStmt) sqlite3_bind_int64(m_pStmt, lngIndex, lngValue);
}

bool Prepared_Statement::Execute() { return Execute(nullptr); }

bool Prepared_Statement::Execute(const std::function<void(QByteArrayView bytes, bool blnBlob)>& onValue) {
    if (!m_pStmt) return false;
    m_lngErrorCode = 0;
    if (m_blnBadValue) {
        m_blnBadValue = false;
        sqlite3_clear_bindings(m_pStmt);
        return Fail(QStringLiteral("a text holds a NUL character"));
    }
    int rc;
    m_blnFoundRow = false;
    while ((rc = sqlite3_step(m_pStmt)) == SQLITE_ROW) {
        m_blnFoundRow = true;
        if (!onValue) continue;
        const bool blnBlob = sqlite3_column_type(m_pStmt, 0) == SQLITE_BLOB;
        const auto* pBytes = blnBlob ? static_cast<const char*>(sqlite3_column_blob(m_pStmt, 0))
                                     : reinterpret_cast<const char*>(sqlite3_column_text(m_pStmt, 0));
        onValue(QByteArrayView(pBytes, pBytes ? sqlite3_column_bytes(m_pStmt, 0) : 0), blnBlob);
    }
    const bool blnOk = rc == SQLITE_DONE;
    if (!blnOk) m_lngErrorCode = sqlite3_extended_errcode(m_db);
    const QString strError = blnOk ? QString() : QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_reset(m_pStmt);
    sqlite3_clear_bindings(m_pStmt);
    if (!blnOk) return Fail(strError.isEmpty() ? QStringLiteral("unknown database error") : strError);
    m_strError.clear();
    return true;
}

long long Prepared_Statement::Changes() const { return m_db ? sqlite3_changes64(m_db) : 0; }

bool Prepared_Statement::Fail(const QString& strError) {
    m_strError = strError;
    if (m_blnReport) Error_Block([&] { modProgram::Log().Show_Error(strError, true); });
    return false;
}

}  // namespace modDB
