// One-row policies of a policy owner (USER_TBL or COMPUTER_TBL) and the users table.
#include "database/modDBFunctions.h"
#include "database/ValueSets.h"

#include "services/ErrorHandler.h"
#include "services/modCommonFuns.h"

namespace modDBFunctions {

using modDB::Run_Sql_And_Read;
using modDB::Run_Sql_Only;
using modDB::Sql_Text;

namespace {

// The owner rule: a computer id of 1 or more selects its COMPUTER_TBL row, anything
// else the USER_TBL row of the user id.
bool Is_Computer_Owner(long lngComputerID) { return lngComputerID >= 1; }

QString Owner_Table(long lngComputerID) {
    return Is_Computer_Owner(lngComputerID) ? QStringLiteral("COMPUTER_TBL") : QStringLiteral("USER_TBL");
}

// " WHERE USER_ID" strEquals user id, or " WHERE COMPUTER_ID" strEquals computer id.
QString Owner_Where(long lngComputerID, long lngUserID, const char* strEquals) {
    return Is_Computer_Owner(lngComputerID)
               ? " WHERE COMPUTER_ID" + QLatin1String(strEquals) + QString::number(lngComputerID)
               : " WHERE USER_ID" + QLatin1String(strEquals) + QString::number(lngUserID);
}

QString Num(long lngValue) { return QString::number(lngValue); }

// The owner's own row: the all-users row (USER_ID 0) is a row of USER_TBL like any user's.
QString Owner_Row_Sql(long lngComputerID, long lngUserID) {
    return "SELECT 1 FROM " + Owner_Table(lngComputerID) + Owner_Where(lngComputerID, lngUserID, "=");
}

// The message of a write of the owner's row that found none. The console's owner is
// always a user; a computer row is named as such.
QString No_Owner_Message(long lngComputerID) {
    return Is_Computer_Owner(lngComputerID)
               ? QStringLiteral("The computer is not stored as listed, so nothing was changed.")
               : No_User_Message();
}

// One UPDATE of the owner's row on a connection of its own; none changed is reported.
Row_Write Change_Owner_Row(long lngComputerID, const QString& strSQL) {
    return modDB::Change_Row(strSQL, No_Owner_Message(lngComputerID));
}

// One statement on the caller's connection (a copy's transaction); false at once,
// silently, without one.
bool Run_On(const Db_Connection& hDb, const QString& strSQL) {
    if (!hDb) return false;
    Query_Result arrResult;
    long lngRows = 0;
    return modDB::Run_Query(hDb, strSQL, arrResult, lngRows);
}

// The same with the table read inside an error block, as Run_Sql_And_Read does.
template <class Reader>
bool Read_On(const Db_Connection& hDb, const QString& strSQL, Reader&& read) {
    if (!hDb) return false;
    Query_Result arrResult;
    long lngRows = 0;
    if (!modDB::Run_Query(hDb, strSQL, arrResult, lngRows)) return false;
    return Error_Block([&] { read(arrResult, lngRows); });
}

QString Read_Bits_Sql(const char* strColumn, long lngComputerID, long lngUserID) {
    return "SELECT " + QLatin1String(strColumn) + " FROM " + Owner_Table(lngComputerID) +
           Owner_Where(lngComputerID, lngUserID, "=");
}

// The flags are written whole: bits beyond the 32 the console knows stay as read.
QString Write_Bits_Sql(const char* strColumn, long lngComputerID, long lngUserID, Flag_Word lngBits) {
    return "UPDATE " + Owner_Table(lngComputerID) + " SET " + QLatin1String(strColumn) + "=" + QString::number(lngBits) +
           Owner_Where(lngComputerID, lngUserID, "=");
}

// Row 1's flags read whole, whatever their range; a value that is no whole number
// fails the read (one box), so that no write replaces it.
Flag_Word Stored_Flags(const Query_Result& r) { return modCommonFuns::Text_To_Flags(r.Value(1, 0)); }

// Reads a word on the open connection: Not_Stored, not yet reported, when its row is
// not there.
Row_Write::Outcome Read_Word(const Db_Connection& hDb, const Stored_Word& word, Flag_Word& lngWord) {
    bool blnFound = false;
    if (!Read_On(hDb, "SELECT " + word.strColumn + " FROM " + word.strTable + word.strWhere,
                 [&](const Query_Result& r, long lngRows) {
                     if (lngRows < 1) return;
                     lngWord = Stored_Flags(r);
                     blnFound = true;
                 }))
        return Row_Write::Outcome::Failed;
    return blnFound ? Row_Write::Outcome::Changed : Row_Write::Outcome::Not_Stored;
}

// An owner row the read finds missing is not stored: reported as a write that found no
// row would be (one box).
bool Read_Bits(const char* strColumn, long lngComputerID, long lngUserID, Flag_Word& lngBits) {
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    if (!hDb) return false;
    const Stored_Word word = Owner_Word(strColumn, lngComputerID, lngUserID);
    Flag_Word lngRead = 0;
    const Row_Write::Outcome read = Read_Word(hDb, word, lngRead);
    modDB::Close_Database(hDb);
    if (read == Row_Write::Outcome::Not_Stored) modDB::Report_Not_Stored(word.strNotStoredMessage);
    if (read != Row_Write::Outcome::Changed) return false;
    lngBits = lngRead;
    return true;
}

Row_Write Write_Bits(const char* strColumn, long lngComputerID, long lngUserID, Flag_Word lngBits) {
    return Change_Owner_Row(lngComputerID, Write_Bits_Sql(strColumn, lngComputerID, lngUserID, lngBits));
}

QString Set_User_Messages_Sql(long lngUserID, long lngUrlMsgType, const QString& strBlockedUrlMsg,
                              const QString& strRedirectUrl, long lngAppMsgType, const QString& strAppBlockerMsg) {
    // A text that already reads as stored keeps its stored bytes (modDB::Sql_Set_Text).
    return "UPDATE USER_TBL SET URL_MSG_TYPE=" + Num(lngUrlMsgType) + "," +
           modDB::Sql_Set_Text("BLOCKED_URL_MSG", strBlockedUrlMsg) + "," +
           modDB::Sql_Set_Text("REDIRECT_URL", strRedirectUrl) + ",APP_MSG_TYPE=" + Num(lngAppMsgType) + "," +
           modDB::Sql_Set_Text("APP_BLOCKER_MSG", strAppBlockerMsg) + " WHERE USER_ID=" + Num(lngUserID);
}

QString Internet_On_Off_Sql(long lngOnOff, long lngUserID) {
    return "UPDATE USER_TBL SET SCH_FOR= 1, IA_ON_OFF=" + Num(lngOnOff) + " WHERE USER_ID=" + Num(lngUserID);
}

QString Schedule_For_Sql(long lngSchFor, long lngUserID) {
    return "UPDATE USER_TBL SET SCH_FOR=" + Num(lngSchFor) + " WHERE USER_ID=" + Num(lngUserID);
}

QString Delete_User_Rows_Sql(long lngUserID, const QString& strTable) {
    return "DELETE FROM " + strTable + " WHERE USER_ID=" + Num(lngUserID);
}

QString Delete_User_Schedules_Sql(long lngSchFor, long lngUserID) {
    return "DELETE FROM SCH_TBL WHERE SCH_FOR=" + Num(lngSchFor) + " AND USER_ID=" + Num(lngUserID);
}

// Sets or clears lngBit of the stored flags, read and written in one write transaction
// (Change_Word): the other bits stay as stored at the write, whoever wrote them.
Row_Write Set_Bit(const char* strColumn, bool blnSet, Flag_Word lngBit, long lngComputerID, long lngUserID) {
    return Change_Word(Owner_Word(strColumn, lngComputerID, lngUserID),
                       [&](Flag_Word& lngBits) { modCommonFuns::Set_Bit_In_Flags(lngBits, lngBit, blnSet); });
}

}  // namespace

// ---- Words read and written back ----

Stored_Word Owner_Word(const char* strColumn, long lngComputerID, long lngUserID) {
    return {Owner_Table(lngComputerID), QLatin1String(strColumn), Owner_Where(lngComputerID, lngUserID, "="),
            No_Owner_Message(lngComputerID)};
}

namespace {
// Change_Word inside the caller's write transaction on hDb; it rolls back nothing itself.
Row_Write Change_Word_On(const Db_Connection& hDb, const Stored_Word& word, const Word_Change& change,
                         Flag_Word& lngWord) {
    const Row_Write::Outcome read = Read_Word(hDb, word, lngWord);
    if (read != Row_Write::Outcome::Changed)
        return read == Row_Write::Outcome::Not_Stored ? modDB::Report_Not_Stored(word.strNotStoredMessage)
                                                      : Row_Write(read);
    change(lngWord);
    return modDB::Change_Row(
        hDb, "UPDATE " + word.strTable + " SET " + word.strColumn + "=" + QString::number(lngWord) + word.strWhere,
        word.strNotStoredMessage);
}

}  // namespace

Row_Write Change_Word(const Stored_Word& word, const Word_Change& change, Flag_Word* pWritten) {
    Flag_Word lngWord = 0;
    const Row_Write written = modDB::Write_In_One_Transaction(
        [&](const Db_Connection& hDb) { return Change_Word_On(hDb, word, change, lngWord); });
    if (written && pWritten) *pWritten = lngWord;
    return written;
}

Row_Write Set_Internet_Mode(long lngComputerID, long lngUserID, int intMode) {
    const auto Bit = [&](const Db_Connection& hDb, const char* strColumn, Flag_Word lngBit, bool blnSet) {
        Flag_Word lngWord = 0;
        return Change_Word_On(hDb, Owner_Word(strColumn, lngComputerID, lngUserID),
                              [&](Flag_Word& lngBits) { modCommonFuns::Set_Bit_In_Flags(lngBits, lngBit, blnSet); },
                              lngWord);
    };
    const auto Row = [&](const Db_Connection& hDb, const QString& strSQL) {
        return modDB::Change_Row(hDb, strSQL, No_User_Message());
    };
    return modDB::Write_In_One_Transaction([&](const Db_Connection& hDb) {
        using namespace Internet_On_Off;
        if (intMode == 2) {
            const Row_Write written =
                Row(hDb, Schedule_For_Sql(Internet_Control::INTERNET_CONTROL_SCHEDULER, lngUserID));
            return written ? Bit(hDb, "FEATURE_BITS", Feature_Bit::FEATURE_INTERNET_SCHEDULER, true) : written;
        }
        const Row_Write written = Bit(hDb, "FEATURE_BITS", Feature_Bit::FEATURE_INTERNET_SCHEDULER, false);
        if (!written || (intMode != 0 && intMode != 1)) return written;
        const Row_Write onOff = Row(hDb, Internet_On_Off_Sql(intMode == 0 ? INTERNET_ON : INTERNET_OFF, lngUserID));
        return onOff ? Bit(hDb, "STATUS_BITS", Status_Bit::STATUS_INTERNET_OFF, intMode == 1) : onOff;
    });
}

QString Sql_Upper(const QString& strValue) {
    QString strOut = strValue;
    for (QChar& ch : strOut)
        if (ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) ch = QChar(ch.unicode() - ('a' - 'A'));
    return strOut;
}

// ---- The owner's row ----

QString Owner_Gone_Message(long lngComputerID) {
    return Is_Computer_Owner(lngComputerID)
               ? QStringLiteral("The computer is no longer stored: another program removed it.")
               : QStringLiteral("The user is no longer stored: another program removed it.");
}

QString Owner_Exists_Sql(long lngComputerID, long lngUserID) {
    return "EXISTS (" + Owner_Row_Sql(lngComputerID, lngUserID) + ")";
}

Row_Write Owner_Stored(const Db_Connection& hDb, long lngComputerID, long lngUserID) {
    bool blnFound = false;
    if (!Read_On(hDb, Owner_Row_Sql(lngComputerID, lngUserID) + " LIMIT 1",
                 [&](const Query_Result&, long lngRows) { blnFound = lngRows > 0; }))
        return Row_Write(Row_Write::Outcome::Failed);
    if (blnFound) return Row_Write(Row_Write::Outcome::Changed);
    return modDB::Report_Not_Stored(Owner_Gone_Message(lngComputerID));
}

Row_Write Owner_Stored(long lngComputerID, long lngUserID) {
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    if (!hDb) return Row_Write(Row_Write::Outcome::Failed);  // reported by the open
    return Owner_Stored(hDb, lngComputerID, lngUserID);
}

bool Row_Found(const Db_Connection& hDb, const QString& strSelect, bool& blnFound) {
    bool blnRow = false;
    if (!Read_On(hDb, strSelect + " LIMIT 1", [&](const Query_Result&, long lngRows) { blnRow = lngRows > 0; }))
        return false;
    blnFound = blnRow;
    return true;
}

Row_Write Rename_Unless_Twin(const QString& strTwinSelect, bool& blnTwinStored,
                             const std::function<Row_Write(const Db_Connection&)>& rename) {
    blnTwinStored = false;
    // The look-up and the write in one write transaction: nobody stores the twin between them.
    return modDB::Write_In_One_Transaction([&](const Db_Connection& hDb) {
        bool blnTwin = false;
        if (!Row_Found(hDb, strTwinSelect, blnTwin)) return Row_Write(Row_Write::Outcome::Failed);
        blnTwinStored = blnTwin;
        return blnTwin ? Row_Write(Row_Write::Outcome::Failed) : rename(hDb);
    });
}

// ---- Users ----

bool Get_All_Users(long& lngRows, Query_Result& arrResult) {
    Query_Result table;
    long lngCount = 0;
    if (!modDB::Run_Sql(QStringLiteral("SELECT USER_NAME, USER_ID FROM USER_TBL ORDER BY USER_ID"), lngCount, table))
        return false;
    arrResult = std::move(table);
    lngRows = lngCount;
    return true;
}

bool Get_User_Id(long& lngUserID, const QString& strUserName) {
    // The row stored under exactly this name (in any stored form) before one that
    // differs only in letter case, and of those the first; no row is no user, no box.
    bool blnFound = false;
    const bool blnRead = Run_Sql_And_Read(
        "SELECT USER_ID FROM USER_TBL WHERE " +
            modDB::Sql_Matches_Stored(QStringLiteral("UPPER(USER_NAME)"), Sql_Upper(strUserName)) + " ORDER BY NOT (" +
            modDB::Sql_Matches_Stored(QStringLiteral("USER_NAME"), strUserName) + "), USER_ID LIMIT 1",
        [&](const Query_Result& r, long lngRows) {
            if (lngRows < 1) return;
            lngUserID = r.Long_Value(1, 0);
            blnFound = true;
        });
    return blnRead && blnFound;
}

bool Get_User_Name(long lngUserID, QString& strUserName) {
    return Run_Sql_And_Read("SELECT USER_NAME FROM USER_TBL WHERE USER_ID=" + Num(lngUserID),
                            [&](const Query_Result& r, long lngRows) {
                                if (lngRows > 0) strUserName = r.Value(1, 0);
                            });
}

bool Add_User(const QString& strUserName, long& lngUserID) {
    // The insert and the read-back of the id in one write transaction: the id read is the
    // row's the insert found or stored.
    long lngID = 0;
    const Row_Write written = modDB::Write_In_One_Transaction([&](const Db_Connection& hDb) {
        return Row_Write(Add_User(hDb, strUserName, lngID) ? Row_Write::Outcome::Changed : Row_Write::Outcome::Failed);
    });
    if (written) lngUserID = lngID;
    return static_cast<bool>(written);
}

bool Add_User(const Db_Connection& hDb, const QString& strUserName, long& lngUserID) {
    Query_Result arrResult;
    long lngRows = 0;
    // A name stored in any form is the user already stored: its row answers (the UNIQUE
    // rule of USER_NAME compares bytes, and would take the other form for a new name).
    const QString strStored = modDB::Sql_Matches_Stored(QStringLiteral("USER_NAME"), strUserName);
    if (!modDB::Run_Query(hDb,
                          "INSERT OR IGNORE INTO USER_TBL (USER_NAME) SELECT '" + Sql_Text(strUserName) +
                              "' WHERE NOT EXISTS (SELECT 1 FROM USER_TBL WHERE " + strStored + ")",
                          arrResult, lngRows) ||
        !modDB::Run_Query(hDb, "SELECT USER_ID FROM USER_TBL WHERE " + strStored + " ORDER BY USER_ID LIMIT 1",
                          arrResult, lngRows))
        return false;
    return Error_Block([&] { lngUserID = arrResult.Long_Value(1, 0); });
}

QString No_User_Message() { return QStringLiteral("The user is not stored as listed, so nothing was changed."); }

namespace {
Row_Write Rename_User(const Db_Connection& hDb, const QString& strNewName, long lngUserID) {
    return modDB::Change_Row(
        hDb, "UPDATE USER_TBL SET USER_NAME='" + Sql_Text(strNewName) + "' WHERE USER_ID= " + Num(lngUserID),
        No_User_Message());
}
}  // namespace

Row_Write Rename_User(const QString& strNewName, long lngUserID, bool& blnTwinStored) {
    // Another user stored under the new name in any letter case and any stored form (as
    // another program may have written it since the list was read) keeps the name.
    return Rename_Unless_Twin(
        "SELECT 1 FROM USER_TBL WHERE " +
            modDB::Sql_Matches_Stored(QStringLiteral("UPPER(USER_NAME)"), Sql_Upper(strNewName)) +
            " AND USER_ID<>" + Num(lngUserID),
        blnTwinStored, [&](const Db_Connection& hDb) { return Rename_User(hDb, strNewName, lngUserID); });
}

Row_Write Delete_User(long lngUserID) {
    return modDB::Change_Row("DELETE FROM USER_TBL WHERE USER_ID= " + Num(lngUserID), No_User_Message());
}

Row_Write Rename_User(const QString& strNewName, long lngUserID) {
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    return Rename_User(hDb, strNewName, lngUserID);
}

// ---- Device lock ----

bool Get_Device_Lock(long lngComputerID, long lngUserID, long& lngDeviceLock) {
    return Run_Sql_And_Read("SELECT DEVICE_LOCK FROM " + Owner_Table(lngComputerID) +
                                Owner_Where(lngComputerID, lngUserID, "= "),
                            [&](const Query_Result& r, long) { lngDeviceLock = r.Long_Value(1, 0); });
}

Row_Write Set_Device_Lock(long lngComputerID, long lngUserID, long lngDeviceLock) {
    return Change_Owner_Row(lngComputerID, "UPDATE " + Owner_Table(lngComputerID) + " SET DEVICE_LOCK=" +
                                               Num(lngDeviceLock) + Owner_Where(lngComputerID, lngUserID, " = "));
}

Row_Write Change_Device_Lock(long lngComputerID, long lngUserID, const Word_Change& change, Flag_Word* pWritten) {
    return Change_Word(Owner_Word("DEVICE_LOCK", lngComputerID, lngUserID), change, pWritten);
}

Row_Write Set_User_Device_Lock(long lngDeviceLock, long lngUserID) {
    return modDB::Change_Row("UPDATE USER_TBL SET DEVICE_LOCK=" + Num(lngDeviceLock) + " WHERE USER_ID=" + Num(lngUserID),
                             No_User_Message());
}

// ---- Blocked-item messages ----

bool Get_Application_Message(long lngComputerID, long lngUserID, long& lngMsgType, QString& strMessage) {
    return Run_Sql_And_Read("SELECT APP_MSG_TYPE,APP_BLOCKER_MSG FROM " + Owner_Table(lngComputerID) +
                                Owner_Where(lngComputerID, lngUserID, "= "),
                            [&](const Query_Result& r, long) {
                                const long lngType = r.Long_Value(1, 0);
                                strMessage = r.Value(1, 1);
                                lngMsgType = lngType;
                            });
}

Row_Write Set_Application_Message(long lngComputerID, long lngUserID, long lngMsgType, const QString& strMessage) {
    return Change_Owner_Row(lngComputerID, "UPDATE " + Owner_Table(lngComputerID) + " SET APP_MSG_TYPE=" +
                                               Num(lngMsgType) + "," + modDB::Sql_Set_Text("APP_BLOCKER_MSG", strMessage) +
                                               Owner_Where(lngComputerID, lngUserID, " = "));
}

bool Get_Website_Message(long lngComputerID, long lngUserID, long& lngMsgType, QString& strBlockedMsg,
                         QString& strRedirectUrl) {
    return Run_Sql_And_Read("SELECT URL_MSG_TYPE,BLOCKED_URL_MSG,REDIRECT_URL FROM " + Owner_Table(lngComputerID) +
                                Owner_Where(lngComputerID, lngUserID, "= "),
                            [&](const Query_Result& r, long) {
                                const long lngType = r.Long_Value(1, 0);
                                const QString strBlocked = r.Value(1, 1);
                                strRedirectUrl = r.Value(1, 2);
                                strBlockedMsg = strBlocked;
                                lngMsgType = lngType;
                            });
}

Row_Write Set_Website_Message(long lngComputerID, long lngUserID, long lngMsgType, const QString& strBlockedMsg,
                              const QString& strRedirectUrl) {
    return Change_Owner_Row(lngComputerID, "UPDATE " + Owner_Table(lngComputerID) + " SET URL_MSG_TYPE=" +
                                               Num(lngMsgType) + "," +
                                               modDB::Sql_Set_Text("BLOCKED_URL_MSG", strBlockedMsg) + "," +
                                               modDB::Sql_Set_Text("REDIRECT_URL", strRedirectUrl) +
                                               Owner_Where(lngComputerID, lngUserID, " = "));
}

bool Get_User_Messages(long lngUserID, Query_Result& arrResult, long& lngRows) {
    Query_Result table;
    long lngCount = 0;
    if (!modDB::Run_Sql("SELECT URL_MSG_TYPE,BLOCKED_URL_MSG,REDIRECT_URL,APP_MSG_TYPE,APP_BLOCKER_MSG FROM USER_TBL "
                        "WHERE USER_ID=" +
                            Num(lngUserID),
                        lngCount, table))
        return false;
    arrResult = std::move(table);
    lngRows = lngCount;
    return true;
}

Row_Write Set_User_Messages(long lngUserID, long lngUrlMsgType, const QString& strBlockedUrlMsg,
                            const QString& strRedirectUrl, long lngAppMsgType, const QString& strAppBlockerMsg) {
    return modDB::Change_Row(
        Set_User_Messages_Sql(lngUserID, lngUrlMsgType, strBlockedUrlMsg, strRedirectUrl, lngAppMsgType, strAppBlockerMsg),
        No_User_Message());
}

bool Set_User_Messages(const Db_Connection& hDb, long lngUserID, long lngUrlMsgType, const QString& strBlockedUrlMsg,
                       const QString& strRedirectUrl, long lngAppMsgType, const QString& strAppBlockerMsg) {
    return Run_On(hDb, Set_User_Messages_Sql(lngUserID, lngUrlMsgType, strBlockedUrlMsg, strRedirectUrl,
                                             lngAppMsgType, strAppBlockerMsg));
}

// ---- Feature and status flags ----

bool Read_Feature_Bits(long lngComputerID, long lngUserID, Flag_Word& lngBits) {
    return Read_Bits("FEATURE_BITS", lngComputerID, lngUserID, lngBits);
}

Row_Write Write_Feature_Bits(long lngComputerID, long lngUserID, Flag_Word lngBits) {
    return Write_Bits("FEATURE_BITS", lngComputerID, lngUserID, lngBits);
}

bool Read_Feature_Bits(const Db_Connection& hDb, long lngComputerID, long lngUserID, Flag_Word& lngBits) {
    return Read_On(hDb, Read_Bits_Sql("FEATURE_BITS", lngComputerID, lngUserID),
                   [&](const Query_Result& r, long) { lngBits = Stored_Flags(r); });
}

bool Write_Feature_Bits(const Db_Connection& hDb, long lngComputerID, long lngUserID, Flag_Word lngBits) {
    return Run_On(hDb, Write_Bits_Sql("FEATURE_BITS", lngComputerID, lngUserID, lngBits));
}

Row_Write Set_Feature_Bit(bool blnSet, Flag_Word lngBit, long lngComputerID, long lngUserID) {
    return Set_Bit("FEATURE_BITS", blnSet, lngBit, lngComputerID, lngUserID);
}

bool Is_Feature_Bit_Set(long lngComputerID, long lngUserID, Flag_Word lngBit) {
    Flag_Word lngBits = 0;
    if (!Read_Feature_Bits(lngComputerID, lngUserID, lngBits)) return false;
    return modCommonFuns::Is_Flag_Set(lngBits, lngBit);
}

bool Read_Status_Bits(long lngComputerID, long lngUserID, Flag_Word& lngBits) {
    return Read_Bits("STATUS_BITS", lngComputerID, lngUserID, lngBits);
}

Row_Write Write_Status_Bits(long lngComputerID, long lngUserID, Flag_Word lngBits) {
    return Write_Bits("STATUS_BITS", lngComputerID, lngUserID, lngBits);
}

Row_Write Set_Status_Bit(bool blnSet, Flag_Word lngBit, long lngComputerID, long lngUserID) {
    return Set_Bit("STATUS_BITS", blnSet, lngBit, lngComputerID, lngUserID);
}

// ---- Internet mode ----

bool Get_Internet_On_Off(long lngComputerID, long lngUserID, long& lngOnOff) {
    return Run_Sql_And_Read("SELECT IA_ON_OFF FROM " + Owner_Table(lngComputerID) +
                                Owner_Where(lngComputerID, lngUserID, "= "),
                            [&](const Query_Result& r, long) { lngOnOff = r.Long_Value(1, 0); });
}

bool Get_Schedule_For(long lngComputerID, long lngUserID, long& lngSchFor) {
    return Run_Sql_And_Read("SELECT SCH_FOR FROM " + Owner_Table(lngComputerID) +
                                Owner_Where(lngComputerID, lngUserID, "= "),
                            [&](const Query_Result& r, long) { lngSchFor = r.Long_Value(1, 0); });
}

Row_Write Set_User_Internet_On_Off(long lngOnOff, long lngUserID) {
    return modDB::Change_Row(Internet_On_Off_Sql(lngOnOff, lngUserID), No_User_Message());
}

bool Set_User_Internet_On_Off(const Db_Connection& hDb, long lngOnOff, long lngUserID) {
    return Run_On(hDb, Internet_On_Off_Sql(lngOnOff, lngUserID));
}

Row_Write Set_User_Schedule_For(long lngSchFor, long lngUserID) {
    return modDB::Change_Row(Schedule_For_Sql(lngSchFor, lngUserID), No_User_Message());
}

bool Set_User_Schedule_For(const Db_Connection& hDb, long lngSchFor, long lngUserID) {
    return Run_On(hDb, Schedule_For_Sql(lngSchFor, lngUserID));
}

// ---- Per-user clean-up before a copy ----

bool Delete_User_Rows(long lngUserID, const QString& strTable) {
    return Run_Sql_Only(Delete_User_Rows_Sql(lngUserID, strTable));
}

bool Delete_User_Rows(const Db_Connection& hDb, long lngUserID, const QString& strTable) {
    return Run_On(hDb, Delete_User_Rows_Sql(lngUserID, strTable));
}

bool Delete_User_Schedules(long lngSchFor, long lngUserID) {
    return Run_Sql_Only(Delete_User_Schedules_Sql(lngSchFor, lngUserID));
}

bool Delete_User_Schedules(const Db_Connection& hDb, long lngSchFor, long lngUserID) {
    return Run_On(hDb, Delete_User_Schedules_Sql(lngSchFor, lngUserID));
}

}  // namespace modDBFunctions
