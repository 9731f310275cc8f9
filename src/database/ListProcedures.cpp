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

// An insert and the read-back of the new row's id on one connection of its own.
// The read-back's table goes to arrResult only when both statements succeeded.
bool Insert_And_Read_Back(const QString& strInsert, const QString& strSelect, Query_Result& arrResult) {
    bool blnResult = false;
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    if (hDb) {
        Query_Result table;
        long lngRows = 0;
        if (modDB::Run_Query(hDb, strInsert, table, lngRows) && modDB::Run_Query(hDb, strSelect, table, lngRows)) {
            arrResult = std::move(table);
            blnResult = true;
        }
    }
    modDB::Close_Database(hDb);
    return blnResult;
}

// A write by an entry's text that changed no row: reported as a failure, naming the entry.
bool Report_No_Row(const QString& strValue) {
    Error_Block([&] { modProgram::Log().Show_Error(No_Row_Message(strValue), true); });
    return false;
}

// One DELETE or UPDATE by an entry's text on an open connection: true only when it ran
// and changed a row.
bool Change_On(const Db_Connection& hDb, const QString& strSQL, Query_Result& arrResult, const QString& strValue) {
    if (!Run_On(hDb, strSQL, arrResult)) return false;
    return modDB::Changes(hDb) > 0 || Report_No_Row(strValue);
}

}  // namespace

QString No_Row_Message(const QString& strValue) {
    return QStringLiteral("The entry \"%1\" is not stored as listed, so nothing was changed.").arg(strValue);
}

// ---- Generic per-owner lists ----

bool Insert_Item_For_Owner(const Db_Connection& hDb, Query_Result& arrResult, const QString& strColumn,
                           const QString& strTable, const QString& strValue, long lngComputerID, long lngUserID) {
    return Run_On(hDb,
                  "INSERT OR IGNORE INTO " + strTable + "(" + strColumn + " ,COMPUTER_ID,USER_ID) VALUES('" +
                      Sql_Text(strValue) + "'," + Num(lngComputerID) + "," + Num(lngUserID) + ")",
                  arrResult);
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

bool Update_Item_For_Owner(const QString& strColumn, const QString& strTable, const QString& strOldValue,
                           const QString& strNewValue, long lngComputerID, long lngUserID) {
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    Query_Result arrResult;
    const bool blnResult =
        hDb && Change_On(hDb,
                         "UPDATE " + strTable + " SET " + strColumn + "='" + Sql_Text(strNewValue) + "' WHERE " +
                             modDB::Sql_Matches_Stored(strColumn, strOldValue) + " AND " +
                             Owner_Condition(lngComputerID, lngUserID),
                         arrResult, strOldValue);
    modDB::Close_Database(hDb);
    return blnResult;
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

namespace {
// The delete of one value of the batch with strCondition (modDB::Sql_Matches_Stored
// with parameters) for its text, and the owner's two ids after it.
QString Batch_Delete_Sql(const QString& strTable, const QString& strCondition) {
    return "DELETE FROM " + strTable + " WHERE " + strCondition + " AND COMPUTER_ID=? AND USER_ID=?";
}

QString Batch_Sql(Owner_List_Batch::Operation operation, const QString& strColumn, const QString& strTable,
                  const QString& strShape) {
    if (operation == Owner_List_Batch::Insert_Items)
        return "INSERT OR IGNORE INTO " + strTable + "(" + strColumn + " ,COMPUTER_ID,USER_ID) VALUES(?,?,?)";
    return Batch_Delete_Sql(strTable, strShape);
}

// The condition of a value with a single stored form (an ASCII text).
QString Single_Form_Shape(const QString& strColumn) {
    QList<modDB::Sql_Value> values;
    return modDB::Sql_Matches_Stored(strColumn, QStringLiteral("a"), values);
}
}  // namespace

Owner_List_Batch::Owner_List_Batch(const Db_Connection& hDb, Operation operation, const QString& strColumn,
                                   const QString& strTable, long lngComputerID, long lngUserID)
    : m_hDb(hDb),
      m_strColumn(strColumn),
      m_strTable(strTable),
      m_strShape(Single_Form_Shape(strColumn)),
      m_stmt(hDb, Batch_Sql(operation, strColumn, strTable, m_strShape), false),
      m_operation(operation),
      m_lngComputerID(lngComputerID),
      m_lngUserID(lngUserID) {}

modDB::Prepared_Statement& Owner_List_Batch::Delete_Statement(const QString& strCondition) {
    if (strCondition == m_strShape) return m_stmt;
    std::unique_ptr<modDB::Prepared_Statement>& pStmt = m_otherShapes[strCondition];
    if (!pStmt)
        pStmt = std::make_unique<modDB::Prepared_Statement>(m_hDb, Batch_Delete_Sql(m_strTable, strCondition), false);
    return *pStmt;
}

bool Owner_List_Batch::Run(const QString& strValue) {
    m_strNoRow.clear();
    if (m_operation == Insert_Items) {
        m_pLast = &m_stmt;
        m_stmt.Bind(1, strValue);
        m_stmt.Bind(2, static_cast<long long>(m_lngComputerID));
        m_stmt.Bind(3, static_cast<long long>(m_lngUserID));
        return m_stmt.Execute();
    }
    // The same condition as every other delete by a text, its values bound.
    QList<modDB::Sql_Value> values;
    const QString strCondition = modDB::Sql_Matches_Stored(m_strColumn, strValue, values);
    modDB::Prepared_Statement& stmt = Delete_Statement(strCondition);
    m_pLast = &stmt;
    if (!stmt.Ok()) return false;
    int lngAt = stmt.Bind_Values(1, values);
    stmt.Bind(lngAt++, static_cast<long long>(m_lngComputerID));
    stmt.Bind(lngAt, static_cast<long long>(m_lngUserID));
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

bool Add_Bypass_Exe(const Db_Connection& hDb, Query_Result& arrResult, long lngComputerID, long lngUserID,
                    const QString& strExeName) {
    return Run_On(hDb,
                  "INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE,COMPUTER_ID,USER_ID) VALUES ('" + Sql_Text(strExeName) +
                      "'," + Num(lngComputerID) + "," + Num(lngUserID) + ")",
                  arrResult);
}

bool Delete_Bypass_Exe(const Db_Connection& hDb, Query_Result& arrResult, long lngComputerID, long lngUserID,
                       const QString& strExeName) {
    const QString strOwner = lngComputerID >= 1 ? " AND COMPUTER_ID=" + Num(lngComputerID)
                                                : " AND USER_ID=" + Num(lngUserID);
    return Change_On(hDb,
                     "DELETE FROM BYPASS_EXE_TBL WHERE " +
                         modDB::Sql_Matches_Stored(QStringLiteral("UPPER(BYPASS_EXE)"), Sql_Upper(strExeName)) +
                         strOwner,
                     arrResult, strExeName);
}

// ---- Schedules ----

bool Get_Schedules(long lngSchFor, long lngComputerID, long lngUserID, Query_Result& arrResult, long& lngRows) {
    return Run_Sql_Into("SELECT SCH_ID,D_W_M,FROM_TIME,TO_TIME,WEEKDAYS,MONTHS FROM SCH_TBL WHERE " +
                            Owner_Condition(lngComputerID, lngUserID) + " AND SCH_FOR=" + Num(lngSchFor),
                        arrResult, lngRows);
}

bool Add_Schedule(long lngSchFor, long lngSubType, long lngDWM, long lngWeekdays, long lngMonths,
                  const QString& strFromTime, const QString& strToTime, long lngComputerID, long lngUserID,
                  Query_Result& arrResult) {
    const QString strInsert =
        "INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,USER_ID) VALUES(" +
        Num(lngSchFor) + "," + Num(lngSubType) + "," + Num(lngDWM) + "," + Num(lngWeekdays) + "," + Num(lngMonths) +
        ",'" + Sql_Text(strFromTime) + "','" + Sql_Text(strToTime) + "'," + Num(lngComputerID) + "," +
        Num(lngUserID) + ")";
    // The first matching row: an older identical schedule answers with its own id.
    const QString strSelect = "SELECT SCH_ID FROM SCH_TBL WHERE SCH_FOR=" + Num(lngSchFor) +
                              " AND SCH_SUB_TYPE=" + Num(lngSubType) + " AND D_W_M=" + Num(lngDWM) +
                              " AND WEEKDAYS=" + Num(lngWeekdays) + " AND MONTHS=" + Num(lngMonths) +
                              " AND FROM_TIME='" + Sql_Text(strFromTime) + "' AND TO_TIME='" + Sql_Text(strToTime) +
                              "' AND " + Owner_Condition(lngComputerID, lngUserID);
    return Insert_And_Read_Back(strInsert, strSelect, arrResult);
}

bool Update_Schedule(long lngSchID, long lngSubType, long lngDWM, long lngWeekdays, long lngMonths,
                     const QString& strFromTime, const QString& strToTime) {
    return Run_Sql_Only("UPDATE SCH_TBL SET SCH_SUB_TYPE=" + Num(lngSubType) + ",D_W_M=" + Num(lngDWM) +
                        ",WEEKDAYS=" + Num(lngWeekdays) + ",MONTHS=" + Num(lngMonths) + ",FROM_TIME='" +
                        Sql_Text(strFromTime) + "',TO_TIME='" + Sql_Text(strToTime) + "' WHERE SCH_ID=" +
                        Num(lngSchID));
}

bool Delete_Schedule(long lngSchID) { return Run_Sql_Only("DELETE FROM SCH_TBL WHERE SCH_ID=" + Num(lngSchID)); }

// ---- Ports: codes above 60000 block, codes below filter; 60000 is in neither list ----

bool Get_Ports(long blnBlocking, long lngComputerID, long lngUserID, Query_Result& arrResult, long& lngRows) {
    return Run_Sql_Into("SELECT PORT_NO,FILTER_TYPE,PROTOCOL_TYPE FROM PORT_TBL WHERE " +
                            Owner_Condition(lngComputerID, lngUserID) +
                            (blnBlocking != 0 ? QStringLiteral(" AND FILTER_TYPE > 60000 ")
                                              : QStringLiteral(" AND FILTER_TYPE < 60000 ")),
                        arrResult, lngRows);
}

bool Add_Port(long lngPortNo, long lngFilterType, const QString& strProtocolType, long lngComputerID,
              long lngUserID) {
    return Run_Sql_Only("INSERT INTO PORT_TBL(PORT_NO,FILTER_TYPE,PROTOCOL_TYPE,COMPUTER_ID,USER_ID) VALUES(" +
                        Num(lngPortNo) + "," + Num(lngFilterType) + ",'" + Sql_Text(strProtocolType) + "'," +
                        Num(lngComputerID) + "," + Num(lngUserID) + ")");
}

// ---- User exceptions ----

bool Get_User_Exceptions(long& lngRows, Query_Result& arrResult) {
    return Run_Sql_Into(QStringLiteral("SELECT E_USER_NAME,E_ID FROM USER_EXCPN_TBL"), arrResult, lngRows);
}

bool Is_New_User_Exception(const QString& strUserName) {
    long lngCount = -1;
    const bool blnRead = Run_Sql_And_Read("SELECT COUNT(E_ID) FROM USER_EXCPN_TBL WHERE UPPER(E_USER_NAME)='" +
                                              Sql_Text(Sql_Upper(strUserName)) + "'",
                                          [&](const Query_Result& r, long) { lngCount = r.Long_Value(1, 0); });
    return blnRead && lngCount == 0;
}

bool Add_User_Exception(const QString& strUserName, long& lngExceptionID) {
    Query_Result arrResult;
    if (!Insert_And_Read_Back("INSERT INTO USER_EXCPN_TBL (E_USER_NAME) VALUES('" + Sql_Text(strUserName) + "')",
                              "SELECT E_ID FROM USER_EXCPN_TBL WHERE E_USER_NAME= '" + Sql_Text(strUserName) + "'",
                              arrResult))
        return false;
    return Error_Block([&] { lngExceptionID = arrResult.Long_Value(1, 0); });
}

bool Delete_User_Exception(long lngExceptionID) {
    return Run_Sql_Only("DELETE FROM USER_EXCPN_TBL WHERE E_ID= " + Num(lngExceptionID));
}

bool Rename_User_Exception(const QString& strNewName, long lngExceptionID) {
    return Run_Sql_Only("UPDATE USER_EXCPN_TBL SET E_USER_NAME='" + Sql_Text(strNewName) + "' WHERE E_ID= " +
                        Num(lngExceptionID));
}

}  // namespace modDBFunctions
