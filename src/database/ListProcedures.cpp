// Multi-row policies of an owner: the per-owner lists, the always-allowed programs,
// schedules, ports and the user exception list.
#include "database/modDBFunctions.h"

#include "services/ErrorHandler.h"
#include "services/modProgram.h"

namespace modDBFunctions {

using modDB::Run_Sql_And_Read;
using modDB::Run_Sql_Only;
using modDB::Sql_Text;

namespace {

QString Num(long lngValue) { return QString::number(lngValue); }

QString Owner_Condition(long lngComputerID, long lngUserID) {
    return "COMPUTER_ID=" + Num(lngComputerID) + " AND USER_ID=" + Num(lngUserID);
}

// Opens, runs strSQL, closes; hands the whole table back only on success.
bool Run_Sql_Into(const QString& strSQL, Query_Result& arrResult, long& lngRows) {
    Query_Result table;
    long lngCount = 0;
    if (!modDB::Run_Sql(strSQL, lngCount, table)) return false;
    arrResult = std::move(table);
    lngRows = lngCount;
    return true;
}

// One statement on the caller's connection; false at once, silently, without one.
bool Run_On(const Db_Connection& hDb, const QString& strSQL, Query_Result& arrResult) {
    if (!hDb) return false;
    long lngRows = 0;
    return modDB::Run_Query(hDb, strSQL, arrResult, lngRows);
}

// One DELETE or UPDATE by an entry's text on an open connection: true only when it ran
// and changed a row; one that changed none is reported naming the entry.
// arrResult gets the statement's (empty) table.
bool Change_On(const Db_Connection& hDb, const QString& strSQL, Query_Result& arrResult, const QString& strValue) {
    arrResult.Clear();
    return static_cast<bool>(modDB::Change_Row(hDb, strSQL, No_Row_Message(strValue)));
}

// strInsert ("INSERT INTO ... SELECT values" of one row, which no rule of the table
// ignores) runs only while the owner's row is stored, in the same statement: a row not
// inserted means the owner is gone, reported once.
Row_Write Insert_For_Owner(const Db_Connection& hDb, Query_Result& arrResult, const QString& strInsert,
                           long lngComputerID, long lngUserID) {
    if (!Run_On(hDb, strInsert + " WHERE " + Owner_Exists_Sql(lngComputerID, lngUserID), arrResult))
        return Row_Write(Row_Write::Outcome::Failed);
    if (modDB::Changes(hDb) > 0) return Row_Write(Row_Write::Outcome::Changed);
    return modDB::Report_Not_Stored(Owner_Gone_Message(lngComputerID));
}

}  // namespace

QString No_Row_Message(const QString& strValue) {
    return QStringLiteral("The entry \"%1\" is not stored as listed, so nothing was changed.").arg(strValue);
}

QString No_Schedule_Message() {
    return QStringLiteral("The schedule is not stored as listed, so nothing was changed.");
}

QString No_User_Exception_Message() {
    return QStringLiteral("The user exception is not stored as listed, so nothing was changed.");
}

// ---- Generic per-owner lists ----

Row_Write Insert_Item_For_Owner(const Db_Connection& hDb, Query_Result& arrResult, const QString& strColumn,
                                const QString& strTable, const QString& strValue, long lngComputerID, long lngUserID) {
    // The table's UNIQUE rule compares bytes: the text stored in another form (as a
    // program of another code page writes it) is the same entry and is not stored again.
    // Nor is anything stored for an owner whose row is gone.
    const QString strOwner = Owner_Condition(lngComputerID, lngUserID);
    if (!Run_On(hDb,
                "INSERT OR IGNORE INTO " + strTable + "(" + strColumn + " ,COMPUTER_ID,USER_ID) SELECT '" +
                    Sql_Text(strValue) + "'," + Num(lngComputerID) + "," + Num(lngUserID) + " WHERE " +
                    Owner_Exists_Sql(lngComputerID, lngUserID) + " AND NOT EXISTS (SELECT 1 FROM " + strTable +
                    " WHERE " + modDB::Sql_Matches_Stored(strColumn, strValue) + " AND " + strOwner + ")",
                arrResult))
        return Row_Write(Row_Write::Outcome::Failed);
    // Nothing inserted: the text was stored already, or the owner is gone (looked up only then).
    if (modDB::Changes(hDb) > 0) return Row_Write(Row_Write::Outcome::Changed);
    return Owner_Stored(hDb, lngComputerID, lngUserID);
}

bool Delete_Item_For_Owner(const Db_Connection& hDb, Query_Result& arrResult, const QString& strColumn,
                           const QString& strTable, const QString& strValue, long lngComputerID, long lngUserID) {
    return Change_On(hDb,
                     "DELETE FROM " + strTable + " WHERE " + modDB::Sql_Matches_Stored(strColumn, strValue) +
                         " AND " + Owner_Condition(lngComputerID, lngUserID),
                     arrResult, strValue);
}

bool Get_Items_For_Owner(const QString& strColumn, const QString& strTable, long lngComputerID, long lngUserID,
                         Query_Result& arrResult, long& lngRows) {
    return Run_Sql_Into("SELECT " + strColumn + " FROM " + strTable + " WHERE " +
                            Owner_Condition(lngComputerID, lngUserID),
                        arrResult, lngRows);
}

namespace {
// One row: the one the edited item stands for. A text stored in both forms is listed
// twice, and changing both rows would store the new text twice (which the UNIQUE rule
// of the list tables refuses).
Row_Write Update_Item_On(const Db_Connection& hDb, const QString& strColumn, const QString& strTable,
                         const QString& strOldValue, const QString& strNewValue, long lngComputerID, long lngUserID) {
    if (!hDb) return Row_Write(Row_Write::Outcome::Failed);
    return modDB::Change_Row(hDb,
                            "UPDATE " + strTable + " SET " + strColumn + "='" + Sql_Text(strNewValue) +
                                "' WHERE rowid=(SELECT rowid FROM " + strTable + " WHERE " +
                                modDB::Sql_Matches_Stored(strColumn, strOldValue) + " AND " +
                                Owner_Condition(lngComputerID, lngUserID) + " ORDER BY rowid LIMIT 1)",
                            No_Row_Message(strOldValue));
}
}  // namespace

bool Update_Item_For_Owner(const QString& strColumn, const QString& strTable, const QString& strOldValue,
                           const QString& strNewValue, long lngComputerID, long lngUserID) {
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    const bool blnResult =
        static_cast<bool>(Update_Item_On(hDb, strColumn, strTable, strOldValue, strNewValue, lngComputerID, lngUserID));
    modDB::Close_Database(hDb);
    return blnResult;
}

Row_Write Update_Item_For_Owner(const QString& strColumn, const QString& strTable, const QString& strOldValue,
                                const QString& strNewValue, long lngComputerID, long lngUserID, bool& blnTwinStored) {
    // The new text stored for the owner in any form is the entry already stored, as for an Add.
    return Rename_Unless_Twin("SELECT 1 FROM " + strTable + " WHERE " +
                                  modDB::Sql_Matches_Stored(strColumn, strNewValue) + " AND " +
                                  Owner_Condition(lngComputerID, lngUserID),
                              blnTwinStored, [&](const Db_Connection& hDb) {
                                  return Update_Item_On(hDb, strColumn, strTable, strOldValue, strNewValue,
                                                        lngComputerID, lngUserID);
                              });
}

bool For_Each_Item_For_Owner(const QString& strColumn, const QString& strTable, long lngComputerID, long lngUserID,
                             const std::function<void(QByteArrayView utf8)>& onItem,
                             const std::function<void(long long lngRows)>& onSize) {
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    const QString strWhere = " FROM " + strTable + " WHERE " + Owner_Condition(lngComputerID, lngUserID);
    const bool blnSized = !onSize || (hDb && modDB::For_Each_Row_Utf8(hDb, "SELECT COUNT(*)" + strWhere,
                                                                      [&](const QByteArrayView* values, int) {
                                                                          onSize(values[0].toLongLong());
                                                                      }));
    const bool blnResult = blnSized && hDb &&
                           modDB::For_Each_Row_Utf8(hDb, "SELECT " + strColumn + strWhere,
                                                    [&](const QByteArrayView* values, int) { onItem(values[0]); });
    modDB::Close_Database(hDb);
    return blnResult;
}

Stored_Text_Statement::Stored_Text_Statement(const Db_Connection& hDb, QString strSql, QString strExpression,
                                             int lngFixed)
    : m_hDb(hDb),
      m_strSql(std::move(strSql)),
      m_strExpression(std::move(strExpression)),
      m_lngFixed(lngFixed),
      m_strPlainShape([&] {
          QList<modDB::Sql_Value> values;
          return modDB::Sql_Matches_Stored(m_strExpression, QStringLiteral("a"), values);
      }()),
      m_plain(hDb, m_strSql.arg(m_strPlainShape), false),
      m_pLast(&m_plain) {}

Stored_Text_Statement::~Stored_Text_Statement() = default;

modDB::Prepared_Statement& Stored_Text_Statement::Prepared(const QString& strCondition) {
    if (strCondition == m_strPlainShape) return m_plain;
    std::unique_ptr<modDB::Prepared_Statement>& pStmt = m_otherShapes[strCondition];
    if (!pStmt) pStmt = std::make_unique<modDB::Prepared_Statement>(m_hDb, m_strSql.arg(strCondition), false);
    return *pStmt;
}

modDB::Prepared_Statement& Stored_Text_Statement::For(const QString& strValue) {
    QList<modDB::Sql_Value> values;
    const QString strCondition = modDB::Sql_Matches_Stored(m_strExpression, strValue, values);
    modDB::Prepared_Statement& stmt = Prepared(strCondition);
    m_pLast = &stmt;
    // The condition's "?" parameters take the numbers after the highest ?N before them.
    if (stmt.Ok()) stmt.Bind_Values(m_lngFixed + 1, values);
    return stmt;
}

QString Insert_Unless_Stored_Sql(const QString& strTable, const QString& strColumn, const QString& strOtherColumns,
                                 int lngFixed) {
    QString strValues = QStringLiteral("?1");
    for (int i = 2; i <= lngFixed; ++i) strValues += ",?" + Num(i);
    return "INSERT OR IGNORE INTO " + strTable + "(" + strColumn +
           (strOtherColumns.isEmpty() ? QString() : "," + strOtherColumns) + ") SELECT " + strValues +
           " WHERE NOT EXISTS (SELECT 1 FROM " + strTable + " WHERE %1)";
}

Owner_List_Batch::Owner_List_Batch(const Db_Connection& hDb, Operation operation, const QString& strColumn,
                                   const QString& strTable, long lngComputerID, long lngUserID)
    : m_operation(operation), m_lngComputerID(lngComputerID), m_lngUserID(lngUserID) {
    if (operation == Delete_Items) {
        m_pDelete = std::make_unique<Stored_Text_Statement>(
            hDb, "DELETE FROM " + strTable + " WHERE COMPUTER_ID=?1 AND USER_ID=?2 AND %1", strColumn, 2);
        return;
    }
    // The table's UNIQUE rule finds every row that holds an entry as a UTF-8 text; the
    // entries stored in another form are read once, at the first insert.
    m_pInsert = std::make_unique<modDB::Prepared_Statement>(
        hDb, "INSERT OR IGNORE INTO " + strTable + "(" + strColumn + ",COMPUTER_ID,USER_ID) VALUES(?1,?2,?3)", false);
    m_pReadForms = std::make_unique<modDB::Prepared_Statement>(
        hDb, "SELECT " + strColumn + " FROM " + strTable + " WHERE COMPUTER_ID=?1 AND USER_ID=?2", false);
}

Owner_List_Batch::~Owner_List_Batch() = default;

bool Owner_List_Batch::Ok() const {
    return m_pDelete ? m_pDelete->Ok() : m_pInsert->Ok() && m_pReadForms->Ok();
}

const modDB::Prepared_Statement& Owner_List_Batch::Last() const {
    if (m_pDelete) return m_pDelete->Last();
    return m_otherForms ? *m_pInsert : *m_pReadForms;
}

bool Owner_List_Batch::Insert(const QString& strValue) {
    if (!m_otherForms) {
        // The batch's transaction keeps what is read true until it ends: another
        // program's write waits for it, or this batch's next write fails.
        Other_Form_Texts forms;
        m_pReadForms->Bind(1, static_cast<long long>(m_lngComputerID));
        m_pReadForms->Bind(2, static_cast<long long>(m_lngUserID));
        if (!m_pReadForms->Execute([&](QByteArrayView bytes, bool blnBlob) { forms.Add(bytes, blnBlob); }))
            return false;
        m_otherForms = std::move(forms);
    }
    m_blnStoredInOtherForm = m_otherForms->Holds(strValue);
    if (m_blnStoredInOtherForm) return true;
    m_pInsert->Bind(1, strValue);
    m_pInsert->Bind(2, static_cast<long long>(m_lngComputerID));
    m_pInsert->Bind(3, static_cast<long long>(m_lngUserID));
    return m_pInsert->Execute();
}

bool Owner_List_Batch::Run(const QString& strValue) {
    m_strNoRow.clear();
    if (m_operation == Insert_Items) return Insert(strValue);
    modDB::Prepared_Statement& stmt = m_pDelete->For(strValue);
    if (!stmt.Ok()) return false;
    stmt.Bind(1, static_cast<long long>(m_lngComputerID));
    stmt.Bind(2, static_cast<long long>(m_lngUserID));
    if (!stmt.Execute()) return false;
    // A delete that found no row removed nothing: no success.
    if (!Changed()) {
        m_strNoRow = No_Row_Message(strValue);
        return false;
    }
    return true;
}

// ---- Always-allowed programs: read and deleted by one id under the owner rule ----

long Get_Bypass_Exes(long lngComputerID, long lngUserID, Query_Result& arrResult) {
    const QString strSQL = lngComputerID >= 1
                               ? "SELECT BYPASS_EXE FROM BYPASS_EXE_TBL WHERE COMPUTER_ID= " + Num(lngComputerID)
                               : "SELECT BYPASS_EXE FROM BYPASS_EXE_TBL WHERE USER_ID= " + Num(lngUserID);
    long lngRows = 0;
    if (!Run_Sql_Into(strSQL, arrResult, lngRows)) return 0;
    return lngRows;
}

Row_Write Add_Bypass_Exe(const Db_Connection& hDb, Query_Result& arrResult, long lngComputerID, long lngUserID,
                         const QString& strExeName) {
    return Insert_For_Owner(hDb, arrResult,
                            "INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE,COMPUTER_ID,USER_ID) SELECT '" +
                                Sql_Text(strExeName) + "'," + Num(lngComputerID) + "," + Num(lngUserID),
                            lngComputerID, lngUserID);
}

bool Delete_Bypass_Exe(const Db_Connection& hDb, Query_Result& arrResult, long lngComputerID, long lngUserID,
                       const QString& strExeName) {
    arrResult.Clear();
    if (!hDb) return false;
    Bypass_Exe_Deletes deletes(hDb, lngComputerID, lngUserID);
    if (deletes.Run(strExeName)) return true;
    Error_Block([&] { modProgram::Log().Show_Error(deletes.Last_Error(), true); });
    return false;
}

// ---- Schedules ----

bool Get_Schedules(long lngSchFor, long lngComputerID, long lngUserID, Query_Result& arrResult, long& lngRows) {
    return Run_Sql_Into("SELECT SCH_ID,D_W_M,FROM_TIME,TO_TIME,WEEKDAYS,MONTHS FROM SCH_TBL WHERE " +
                            Owner_Condition(lngComputerID, lngUserID) + " AND SCH_FOR=" + Num(lngSchFor),
                        arrResult, lngRows);
}

Row_Write Add_Schedule(long lngSchFor, long lngSubType, long lngDWM, long lngWeekdays, long lngMonths,
                       const QString& strFromTime, const QString& strToTime, long lngComputerID, long lngUserID,
                       Query_Result& arrResult) {
    const QString strInsert =
        "INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,USER_ID) SELECT " +
        Num(lngSchFor) + "," + Num(lngSubType) + "," + Num(lngDWM) + "," + Num(lngWeekdays) + "," + Num(lngMonths) +
        ",'" + Sql_Text(strFromTime) + "','" + Sql_Text(strToTime) + "'," + Num(lngComputerID) + "," +
        Num(lngUserID);
    // The first matching row: an older identical schedule answers with its own id.
    const QString strSelect = "SELECT SCH_ID FROM SCH_TBL WHERE SCH_FOR=" + Num(lngSchFor) +
                              " AND SCH_SUB_TYPE=" + Num(lngSubType) + " AND D_W_M=" + Num(lngDWM) +
                              " AND WEEKDAYS=" + Num(lngWeekdays) + " AND MONTHS=" + Num(lngMonths) +
                              " AND FROM_TIME='" + Sql_Text(strFromTime) + "' AND TO_TIME='" + Sql_Text(strToTime) +
                              "' AND " + Owner_Condition(lngComputerID, lngUserID);
    // The insert and the read-back of its id in one write transaction, so that the id read
    // is that of the row inserted and no other program's row meanwhile.
    Query_Result table;
    const Row_Write written = modDB::Write_In_One_Transaction([&](const Db_Connection& hDb) {
        const Row_Write inserted = Insert_For_Owner(hDb, table, strInsert, lngComputerID, lngUserID);
        long lngRows = 0;
        if (inserted && !modDB::Run_Query(hDb, strSelect, table, lngRows)) return Row_Write(Row_Write::Outcome::Failed);
        return inserted;
    });
    if (written) arrResult = std::move(table);
    return written;
}

Row_Write Update_Schedule(long lngSchID, long lngSubType, long lngDWM, long lngWeekdays, long lngMonths,
                          const QString& strFromTime, const QString& strToTime) {
    return modDB::Change_Row("UPDATE SCH_TBL SET SCH_SUB_TYPE=" + Num(lngSubType) + ",D_W_M=" + Num(lngDWM) +
                                 ",WEEKDAYS=" + Num(lngWeekdays) + ",MONTHS=" + Num(lngMonths) + ",FROM_TIME='" +
                                 Sql_Text(strFromTime) + "',TO_TIME='" + Sql_Text(strToTime) +
                                 "' WHERE SCH_ID=" + Num(lngSchID),
                             No_Schedule_Message());
}

Row_Write Delete_Schedule(long lngSchID) {
    return modDB::Change_Row("DELETE FROM SCH_TBL WHERE SCH_ID=" + Num(lngSchID), No_Schedule_Message());
}

// ---- Ports: codes above 60000 block, codes below filter; 60000 is in neither list ----

bool Get_Ports(long blnBlocking, long lngComputerID, long lngUserID, Query_Result& arrResult, long& lngRows) {
    return Run_Sql_Into("SELECT PORT_NO,FILTER_TYPE,PROTOCOL_TYPE FROM PORT_TBL WHERE " +
                            Owner_Condition(lngComputerID, lngUserID) +
                            (blnBlocking != 0 ? QStringLiteral(" AND FILTER_TYPE > 60000 ")
                                              : QStringLiteral(" AND FILTER_TYPE < 60000 ")),
                        arrResult, lngRows);
}

Row_Write Add_Port(long lngPortNo, long lngFilterType, const QString& strProtocolType, long lngComputerID,
                   long lngUserID) {
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    if (!hDb) return Row_Write(Row_Write::Outcome::Failed);  // reported by the open
    Query_Result arrResult;
    return Insert_For_Owner(hDb, arrResult,
                            "INSERT INTO PORT_TBL(PORT_NO,FILTER_TYPE,PROTOCOL_TYPE,COMPUTER_ID,USER_ID) SELECT " +
                                Num(lngPortNo) + "," + Num(lngFilterType) + ",'" + Sql_Text(strProtocolType) + "'," +
                                Num(lngComputerID) + "," + Num(lngUserID),
                            lngComputerID, lngUserID);
}

// ---- User exceptions ----

bool Get_User_Exceptions(long& lngRows, Query_Result& arrResult) {
    return Run_Sql_Into(QStringLiteral("SELECT E_USER_NAME,E_ID FROM USER_EXCPN_TBL"), arrResult, lngRows);
}

namespace {
// The exceptions stored under the name in any letter case and any stored form of it.
QString Exception_Twin_Condition(const QString& strUserName) {
    return modDB::Sql_Matches_Stored(QStringLiteral("UPPER(E_USER_NAME)"), Sql_Upper(strUserName));
}
}  // namespace

bool Is_New_User_Exception(const QString& strUserName) {
    long lngCount = -1;
    const bool blnRead =
        Run_Sql_And_Read("SELECT COUNT(E_ID) FROM USER_EXCPN_TBL WHERE " + Exception_Twin_Condition(strUserName),
                         [&](const Query_Result& r, long) { lngCount = r.Long_Value(1, 0); });
    return blnRead && lngCount == 0;
}

Row_Write Add_User_Exception(const QString& strUserName, long& lngExceptionID, bool& blnTwinStored) {
    blnTwinStored = false;
    Query_Result arrResult;
    const Row_Write written = modDB::Write_In_One_Transaction([&](const Db_Connection& hDb) {
        bool blnTwin = false;
        if (!Row_Found(hDb, "SELECT 1 FROM USER_EXCPN_TBL WHERE " + Exception_Twin_Condition(strUserName), blnTwin))
            return Row_Write(Row_Write::Outcome::Failed);
        blnTwinStored = blnTwin;
        long lngRows = 0;
        const bool blnStored =
            !blnTwin &&
            modDB::Run_Query(hDb, "INSERT INTO USER_EXCPN_TBL (E_USER_NAME) VALUES('" + Sql_Text(strUserName) + "')",
                             arrResult, lngRows) &&
            modDB::Run_Query(hDb, "SELECT E_ID FROM USER_EXCPN_TBL WHERE E_USER_NAME= '" + Sql_Text(strUserName) + "'",
                             arrResult, lngRows);
        return Row_Write(blnStored ? Row_Write::Outcome::Changed : Row_Write::Outcome::Failed);
    });
    long lngID = 0;
    if (!written || !Error_Block([&] { lngID = arrResult.Long_Value(1, 0); })) return Row_Write(Row_Write::Outcome::Failed);
    lngExceptionID = lngID;
    return written;
}

bool Add_User_Exception(const QString& strUserName, long& lngExceptionID) {
    bool blnTwinStored = false;
    return static_cast<bool>(Add_User_Exception(strUserName, lngExceptionID, blnTwinStored));
}

Row_Write Delete_User_Exception(long lngExceptionID) {
    return modDB::Change_Row("DELETE FROM USER_EXCPN_TBL WHERE E_ID= " + Num(lngExceptionID),
                             No_User_Exception_Message());
}

namespace {
Row_Write Rename_User_Exception(const Db_Connection& hDb, const QString& strNewName, long lngExceptionID) {
    return modDB::Change_Row(hDb,
                             "UPDATE USER_EXCPN_TBL SET E_USER_NAME='" + Sql_Text(strNewName) + "' WHERE E_ID= " +
                                 Num(lngExceptionID),
                             No_User_Exception_Message());
}
}  // namespace

Row_Write Rename_User_Exception(const QString& strNewName, long lngExceptionID, bool& blnTwinStored) {
    // In any letter case and any stored form, as Is_New_User_Exception looks a name up.
    return Rename_Unless_Twin("SELECT 1 FROM USER_EXCPN_TBL WHERE " +
                                  modDB::Sql_Matches_Stored(QStringLiteral("UPPER(E_USER_NAME)"),
                                                            Sql_Upper(strNewName)) +
                                  " AND E_ID<>" + Num(lngExceptionID),
                              blnTwinStored, [&](const Db_Connection& hDb) {
                                  return Rename_User_Exception(hDb, strNewName, lngExceptionID);
                              });
}

Row_Write Rename_User_Exception(const QString& strNewName, long lngExceptionID) {
    return modDB::Change_Row("UPDATE USER_EXCPN_TBL SET E_USER_NAME='" + Sql_Text(strNewName) + "' WHERE E_ID= " +
                                 Num(lngExceptionID),
                             No_User_Exception_Message());
}

}  // namespace modDBFunctions
