// The deletes of a Remove over several listed rows, shown nowhere: the caller reports
// their failures once.
#include "database/modDBFunctions.h"

namespace modDBFunctions {

bool Listed_Row_Deletes::Run_Delete(modDB::Prepared_Statement& statement, const QString& strNoRowMessage) {
    m_pLast = &statement;
    m_strNoRow.clear();
    if (!statement.Ok() || !statement.Execute()) return false;
    // A delete that found no row removed nothing: the row is not stored as listed.
    if (statement.Changes() == 0) {
        m_strNoRow = strNoRowMessage;
        return false;
    }
    return true;
}

namespace {
QString Id_Delete_Sql(Id_Row_Deletes::Rows rows) {
    return rows == Id_Row_Deletes::Users ? QStringLiteral("DELETE FROM USER_TBL WHERE USER_ID=?1")
                                         : QStringLiteral("DELETE FROM USER_EXCPN_TBL WHERE E_ID=?1");
}

// The owner's programs: a computer's by its id, a user's by hers (as they are read).
QString Bypass_Delete_Sql(long lngComputerID, long lngUserID) {
    const QString strOwner = lngComputerID >= 1 ? "COMPUTER_ID=" + QString::number(lngComputerID)
                                                : "USER_ID=" + QString::number(lngUserID);
    return "DELETE FROM BYPASS_EXE_TBL WHERE " + strOwner + " AND %1";
}
}  // namespace

Id_Row_Deletes::Id_Row_Deletes(const Db_Connection& hDb, Rows rows)
    : m_rows(rows), m_statement(hDb, Id_Delete_Sql(rows), false) {}

bool Id_Row_Deletes::Run(long lngID) {
    m_statement.Bind(1, static_cast<long long>(lngID));
    return Run_Delete(m_statement, m_rows == Users ? No_User_Message() : No_User_Exception_Message());
}

Bypass_Exe_Deletes::Bypass_Exe_Deletes(const Db_Connection& hDb, long lngComputerID, long lngUserID)
    : m_statement(hDb, Bypass_Delete_Sql(lngComputerID, lngUserID), QStringLiteral("UPPER(BYPASS_EXE)"), 0) {}

bool Bypass_Exe_Deletes::Run(const QString& strExeName) {
    return Run_Delete(m_statement.For(Sql_Upper(strExeName)), No_Row_Message(strExeName));
}

}  // namespace modDBFunctions
