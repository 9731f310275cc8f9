#pragma once
// Procedures that read and write the settings database, one statement per call.
// Each returns true on success; out parameters are set only on success. Failures
// are reported by the database layer (one critical box and an "E: " log line).

#include "database/modDB.h"
#include "services/StoredText.h"
#include "services/modCommonFuns.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace modDBFunctions {

using modDB::Db_Connection;
using modDB::Query_Result;
using modDB::Row_Write;

// Every UPDATE or DELETE below of one row the administrator sees (by its id or an
// entry's text) answers a Row_Write: one that changed no row is reported with the
// message of what it writes (No_User_Message, No_Schedule_Message, ...) and is no
// success. The writes on the caller's connection (a copy's transaction) answer only
// whether their statement ran.

// Upper-cases a text the way the database's UPPER() does (ASCII letters only), so
// that both sides of an "UPPER(column)='...'" comparison agree on every name.
QString Sql_Upper(const QString& strValue);

// ---- Words read and written back ----
// A whole number of one row that a dialog changes in part (a flag word, a packed
// value): its table, its column, the condition that finds the row (" WHERE ..."), and
// what a write that finds no row reports.
struct Stored_Word {
    QString strTable;
    QString strColumn;
    QString strWhere;
    QString strNotStoredMessage;
};
// Changes the word read in place: only the parts the administrator changed.
using Word_Change = std::function<void(Flag_Word& lngWord)>;
// The word strColumn of the owner's row (the owner rule).
Stored_Word Owner_Word(const char* strColumn, long lngComputerID, long lngUserID);
// The word strColumn of the settings row (SETTINGS_ID 1).
Stored_Word Settings_Word(const char* strColumn);
// Reads the word, changes it and writes it back inside one write transaction on one
// connection, so that a change another program made to its other parts meanwhile
// stays: that program's write waits for this one's commit, or this one for the other's.
// A word that is no whole number fails the read (its one box) and stays as stored; a
// row that is not there is reported with the word's message (Not_Stored); a failed
// statement or commit is reported once with the database's text and stores nothing.
// *pWritten, when given, takes the word as written.
Row_Write Change_Word(const Stored_Word& word, const Word_Change& change, Flag_Word* pWritten = nullptr);

// ---- Program settings (SETTINGS_TBL) ----
// The writes change the row with SETTINGS_ID 1 only, which the readers of the mode and
// the client options need not have read (they take the first row): one that finds no
// such row reports No_Settings_Message and is no success.
QString No_Settings_Message();
bool Get_Program_Mode(long& lngMode);
Row_Write Set_Program_Mode(long lngMode);
bool Get_Client_Options(Flag_Word& lngClientOptions);
Row_Write Set_Client_Options(Flag_Word lngClientOptions);
// The client options changed by change (Change_Word).
Row_Write Change_Client_Options(const Word_Change& change, Flag_Word* pWritten = nullptr);
bool Get_Pwd(QString& strPwd);
Row_Write Set_Pwd(const QString& strPwd);
bool Is_Pwd_Correct(const QString& strPwd);
bool Get_Remote_Settings(long& lngRemoteMode, QString& strServerName, long& lngClientPort);
Row_Write Set_Remote_Settings(long lngRemoteMode, const QString& strServerName, const QString& strClientPort);
// The remote settings given (one at least), the others left as stored.
Row_Write Change_Remote_Settings(std::optional<long> lngRemoteMode, const std::optional<QString>& strServerName,
                                 const std::optional<QString>& strClientPort);

// ---- The policy owner's row (USER_TBL, or COMPUTER_TBL for a computer owner) ----
// Another program may remove a user, or remove it and add it again under a new id,
// while the console still shows it chosen. Every insert for an owner checks, in the
// same statement or write transaction, that the owner's row is still stored; one that
// is not stores nothing and is reported once with Owner_Gone_Message.
// "The user is no longer stored: another program removed it." (a computer owner is
// named as such).
QString Owner_Gone_Message(long lngComputerID);
// The condition "the owner's row is stored", for an INSERT ... SELECT ... WHERE.
QString Owner_Exists_Sql(long lngComputerID, long lngUserID);
// Whether the owner's row is stored, read on the caller's connection (inside its write
// transaction, so that the answer holds until the commit): true when it is; Not_Stored
// when it is not (reported with Owner_Gone_Message); Failed when the read failed (reported).
Row_Write Owner_Stored(const Db_Connection& hDb, long lngComputerID, long lngUserID);
// The same on a connection of its own: a dialog about to open for the owner.
Row_Write Owner_Stored(long lngComputerID, long lngUserID);

// True when strSelect (a SELECT of one row) ran; blnFound says whether it found a row.
bool Row_Found(const Db_Connection& hDb, const QString& strSelect, bool& blnFound);
// A rename or in-place edit checked against what is stored at the time of the write:
// in one write transaction on a connection of its own, strTwinSelect looks the new text
// up (in every stored form, as the Add does); a row found stores nothing, sets
// blnTwinStored and answers Failed without a box (the caller gives the Add's box for a
// text already stored). Otherwise rename writes on the connection and its answer is
// kept once the commit succeeded.
Row_Write Rename_Unless_Twin(const QString& strTwinSelect, bool& blnTwinStored,
                             const std::function<Row_Write(const Db_Connection&)>& rename);

// ---- Users (USER_TBL) ----
bool Get_All_Users(long& lngRows, Query_Result& arrResult);
bool Get_User_Id(long& lngUserID, const QString& strUserName);
bool Get_User_Name(long lngUserID, QString& strUserName);
bool Add_User(const QString& strUserName, long& lngUserID);
// The same on the caller's connection, so that a batch of users shares one transaction.
bool Add_User(const Db_Connection& hDb, const QString& strUserName, long& lngUserID);
// "The user is not stored as listed, so nothing was changed.": a write of a user's row
// (its name or a policy column) that found none.
QString No_User_Message();
Row_Write Delete_User(long lngUserID);
Row_Write Rename_User(const QString& strNewName, long lngUserID);
// The same unless another user is stored under the new name, in any letter case and
// stored form (Rename_Unless_Twin).
Row_Write Rename_User(const QString& strNewName, long lngUserID, bool& blnTwinStored);

// ---- Device lock ----
bool Get_Device_Lock(long lngComputerID, long lngUserID, long& lngDeviceLock);
Row_Write Set_Device_Lock(long lngComputerID, long lngUserID, long lngDeviceLock);
// The owner's lock changed by change (Change_Word).
Row_Write Change_Device_Lock(long lngComputerID, long lngUserID, const Word_Change& change,
                             Flag_Word* pWritten = nullptr);
Row_Write Set_User_Device_Lock(long lngDeviceLock, long lngUserID);

// ---- Blocked-item messages ----
// A message or address that already reads as the text written keeps its stored bytes.
bool Get_Application_Message(long lngComputerID, long lngUserID, long& lngMsgType, QString& strMessage);
Row_Write Set_Application_Message(long lngComputerID, long lngUserID, long lngMsgType, const QString& strMessage);
bool Get_Website_Message(long lngComputerID, long lngUserID, long& lngMsgType, QString& strBlockedMsg,
                         QString& strRedirectUrl);
Row_Write Set_Website_Message(long lngComputerID, long lngUserID, long lngMsgType, const QString& strBlockedMsg,
                              const QString& strRedirectUrl);
bool Get_User_Messages(long lngUserID, Query_Result& arrResult, long& lngRows);
Row_Write Set_User_Messages(long lngUserID, long lngUrlMsgType, const QString& strBlockedUrlMsg,
                            const QString& strRedirectUrl, long lngAppMsgType, const QString& strAppBlockerMsg);

// ---- Feature and status flags ----
bool Read_Feature_Bits(long lngComputerID, long lngUserID, Flag_Word& lngBits);
Row_Write Write_Feature_Bits(long lngComputerID, long lngUserID, Flag_Word lngBits);
// blnSet true sets lngBit, anything else clears it, in the flags as stored at the write
// (Change_Word): the owner's other flags stay, whoever set them. The write is skipped
// when the read fails. True when the flags were read and written back; an owner row
// the read finds missing is reported as not stored.
Row_Write Set_Feature_Bit(bool blnSet, Flag_Word lngBit, long lngComputerID, long lngUserID);
bool Is_Feature_Bit_Set(long lngComputerID, long lngUserID, Flag_Word lngBit);
bool Read_Status_Bits(long lngComputerID, long lngUserID, Flag_Word& lngBits);
Row_Write Write_Status_Bits(long lngComputerID, long lngUserID, Flag_Word lngBits);
Row_Write Set_Status_Bit(bool blnSet, Flag_Word lngBit, long lngComputerID, long lngUserID);

// ---- Internet mode ----
bool Get_Internet_On_Off(long lngComputerID, long lngUserID, long& lngOnOff);
bool Get_Schedule_For(long lngComputerID, long lngUserID, long& lngSchFor);
Row_Write Set_User_Internet_On_Off(long lngOnOff, long lngUserID);
// The internet mode chosen in the internet scheduler, intMode 0 always on, 1 always off,
// 2 by the schedules (anything else only turns the scheduler's feature bit off): its
// feature bit, IA_ON_OFF and SCH_FOR, and its status bit, written in one write
// transaction, all or none; the flags change only in the bits the mode owns.
Row_Write Set_Internet_Mode(long lngComputerID, long lngUserID, int intMode);
Row_Write Set_User_Schedule_For(long lngSchFor, long lngUserID);

// ---- Per-user clean-up before a copy: a user may have no such rows, so these
// delete what there is and change no row without a failure ----
bool Delete_User_Rows(long lngUserID, const QString& strTable);
bool Delete_User_Schedules(long lngSchFor, long lngUserID);

// ---- The same writes on the caller's connection, so that a copy replaces one
// destination's rows, modes and flags inside one transaction ----
bool Delete_User_Rows(const Db_Connection& hDb, long lngUserID, const QString& strTable);
bool Delete_User_Schedules(const Db_Connection& hDb, long lngSchFor, long lngUserID);
bool Read_Feature_Bits(const Db_Connection& hDb, long lngComputerID, long lngUserID, Flag_Word& lngBits);
bool Write_Feature_Bits(const Db_Connection& hDb, long lngComputerID, long lngUserID, Flag_Word lngBits);
bool Set_User_Internet_On_Off(const Db_Connection& hDb, long lngOnOff, long lngUserID);
bool Set_User_Schedule_For(const Db_Connection& hDb, long lngSchFor, long lngUserID);
bool Set_User_Messages(const Db_Connection& hDb, long lngUserID, long lngUrlMsgType, const QString& strBlockedUrlMsg,
                       const QString& strRedirectUrl, long lngAppMsgType, const QString& strAppBlockerMsg);

// A prepared statement that finds a text by every stored form of it: strSql holds "%1"
// where the condition modDB::Sql_Matches_Stored(strExpression, value) goes, with its
// values as parameters. The statement's own parameters are numbered ?1 to ?lngFixed
// and the caller binds them; the condition's follow them. Its text depends on the shape
// of the value's forms only, so each shape is prepared once, when a value of it first
// comes, on the caller's connection; failures are not shown here.
class Stored_Text_Statement {
public:
    Stored_Text_Statement(const Db_Connection& hDb, QString strSql, QString strExpression, int lngFixed);
    ~Stored_Text_Statement();
    Stored_Text_Statement(const Stored_Text_Statement&) = delete;
    Stored_Text_Statement& operator=(const Stored_Text_Statement&) = delete;
    // False when the statement of an ASCII text (the common shape) could not be prepared.
    bool Ok() const { return m_plain.Ok(); }
    // The statement for strValue with the condition's values bound: the caller binds
    // ?1 to ?lngFixed and runs it.
    modDB::Prepared_Statement& For(const QString& strValue);
    // The statement of the last For (the plain one before any).
    const modDB::Prepared_Statement& Last() const { return *m_pLast; }

private:
    modDB::Prepared_Statement& Prepared(const QString& strCondition);

    const Db_Connection& m_hDb;
    QString m_strSql, m_strExpression;
    int m_lngFixed;
    QString m_strPlainShape;  // the condition of an ASCII text
    modDB::Prepared_Statement m_plain;
    std::map<QString, std::unique_ptr<modDB::Prepared_Statement>> m_otherShapes;
    modDB::Prepared_Statement* m_pLast;
};

// The statement text of an insert of the text ?1 (and the values ?2 to ?lngFixed of
// strOtherColumns) into strTable that stores nothing when a row holds the text in any
// stored form: "%1" stands for the condition, as Stored_Text_Statement wants it.
QString Insert_Unless_Stored_Sql(const QString& strTable, const QString& strColumn, const QString& strOtherColumns,
                                 int lngFixed);

// ---- Generic per-owner lists (caller's connection for insert and delete) ----
// Every lookup of an entry by its text matches every stored form of the text
// (modDB::Stored_Forms): an insert stores nothing when the owner holds the text in any
// form; a delete takes every row of the text; an update changes one of them. A delete
// or update that changed no row is reported with No_Row_Message and answers false, so
// the entry stays listed as stored.
QString No_Row_Message(const QString& strValue);
// The insert stores nothing for an owner whose row is gone: Not_Stored, reported once
// with Owner_Gone_Message (looked up only when the insert stored no row).
Row_Write Insert_Item_For_Owner(const Db_Connection& hDb, Query_Result& arrResult, const QString& strColumn,
                                const QString& strTable, const QString& strValue, long lngComputerID, long lngUserID);
bool Delete_Item_For_Owner(const Db_Connection& hDb, Query_Result& arrResult, const QString& strColumn,
                           const QString& strTable, const QString& strValue, long lngComputerID, long lngUserID);
bool Get_Items_For_Owner(const QString& strColumn, const QString& strTable, long lngComputerID, long lngUserID,
                         Query_Result& arrResult, long& lngRows);
bool Update_Item_For_Owner(const QString& strColumn, const QString& strTable, const QString& strOldValue,
                           const QString& strNewValue, long lngComputerID, long lngUserID);
// The same unless the owner holds the new text already, in any stored form
// (Rename_Unless_Twin): an edit stores no second row that reads as the first.
Row_Write Update_Item_For_Owner(const QString& strColumn, const QString& strTable, const QString& strOldValue,
                                const QString& strNewValue, long lngComputerID, long lngUserID, bool& blnTwinStored);
// The rows of Get_Items_For_Owner handed to onItem one by one as they are read, as the
// database's UTF-8 bytes (valid only during the call), so that a list of any size is
// never held twice nor converted on the way. onSize, when given, first learns how many
// rows follow (so that the reader can make room once).
bool For_Each_Item_For_Owner(const QString& strColumn, const QString& strTable, long lngComputerID, long lngUserID,
                             const std::function<void(QByteArrayView utf8)>& onItem,
                             const std::function<void(long long lngRows)>& onSize = {});

// The batch form of Insert_Item_For_Owner and Delete_Item_For_Owner: statements
// prepared once on the caller's connection (inside its MY_TRANS) and run for value
// after value. A failure is not shown here: the caller reports it once, however many
// values failed.
class Owner_List_Batch {
public:
    enum Operation { Insert_Items, Delete_Items };
    Owner_List_Batch(const Db_Connection& hDb, Operation operation, const QString& strColumn, const QString& strTable,
                     long lngComputerID, long lngUserID);
    ~Owner_List_Batch();
    Owner_List_Batch(const Owner_List_Batch&) = delete;
    Owner_List_Batch& operator=(const Owner_List_Batch&) = delete;
    // False when a statement could not be prepared (the reason in Last_Error()).
    bool Ok() const;
    // Inserts or deletes one value; false on failure, with the database's text in Last_Error().
    // Both match what modDB::Sql_Matches_Stored matches (every stored form of the value,
    // as a text or a blob, and its cut forms). An insert stores nothing when the owner
    // holds the value in any form: the table's UNIQUE rule finds its UTF-8 text, and the
    // owner's values stored in another form are read once, at the first insert, so that
    // each value costs one insert whatever its text. A delete that found no row is a
    // failure, with No_Row_Message in Last_Error().
    bool Run(const QString& strValue);
    // After a successful Run: whether a row was inserted (false when the value was
    // already stored and nothing was) or deleted.
    bool Changed() const { return !m_blnStoredInOtherForm && Last().Changes() > 0; }
    // After a successful delete: how many rows it deleted.
    long long Rows_Changed() const { return Last().Changes(); }
    const QString& Last_Error() const { return m_strNoRow.isEmpty() ? Last().Last_Error() : m_strNoRow; }
    // After a failed Run: whether another connection held the database locked, so that
    // every further write would wait out the busy time-out and fail alike.
    bool Busy() const { return m_strNoRow.isEmpty() && Last().Busy(); }
    // After a failed delete: whether it ran and found no row of the value.
    bool No_Row() const { return !m_strNoRow.isEmpty(); }

private:
    const modDB::Prepared_Statement& Last() const;
    bool Insert(const QString& strValue);

    Operation m_operation;
    long m_lngComputerID;
    long m_lngUserID;
    std::unique_ptr<Stored_Text_Statement> m_pDelete;  // a delete's
    // An insert's: the insert itself, and the read of the owner's values stored in
    // another form, whose texts m_otherForms holds once read.
    std::unique_ptr<modDB::Prepared_Statement> m_pInsert, m_pReadForms;
    std::optional<Other_Form_Texts> m_otherForms;
    bool m_blnStoredInOtherForm = false;  // the last insert found its value so stored
    QString m_strNoRow;                   // the failure of the last delete that found no row
};

// ---- Always-allowed programs ----
// Returns the row count (0 on failure); names in column 0.
long Get_Bypass_Exes(long lngComputerID, long lngUserID, Query_Result& arrResult);
// Stores nothing for an owner whose row is gone (Not_Stored, reported), in the same statement.
Row_Write Add_Bypass_Exe(const Db_Connection& hDb, Query_Result& arrResult, long lngComputerID, long lngUserID,
                         const QString& strExeName);
// Deletes every row of the owner whose name equals strExeName ignoring letter case, in
// any stored form; none deleted is reported with No_Row_Message and answers false.
bool Delete_Bypass_Exe(const Db_Connection& hDb, Query_Result& arrResult, long lngComputerID, long lngUserID,
                       const QString& strExeName);

// ---- Schedules ----
bool Get_Schedules(long lngSchFor, long lngComputerID, long lngUserID, Query_Result& arrResult, long& lngRows);
// The insert (only while the owner's row is stored; Not_Stored, reported, when it is not)
// and the read-back of the schedule's id, in one write transaction.
Row_Write Add_Schedule(long lngSchFor, long lngSubType, long lngDWM, long lngWeekdays, long lngMonths,
                       const QString& strFromTime, const QString& strToTime, long lngComputerID, long lngUserID,
                       Query_Result& arrResult);
// "The schedule is not stored as listed, so nothing was changed."
QString No_Schedule_Message();
Row_Write Update_Schedule(long lngSchID, long lngSubType, long lngDWM, long lngWeekdays, long lngMonths,
                          const QString& strFromTime, const QString& strToTime);
Row_Write Delete_Schedule(long lngSchID);

// ---- Ports ----
bool Get_Ports(long blnBlocking, long lngComputerID, long lngUserID, Query_Result& arrResult, long& lngRows);
// Stores nothing for an owner whose row is gone (Not_Stored, reported), in the same statement.
Row_Write Add_Port(long lngPortNo, long lngFilterType, const QString& strProtocolType, long lngComputerID,
                   long lngUserID);

// ---- User exceptions ----
bool Get_User_Exceptions(long& lngRows, Query_Result& arrResult);
bool Is_New_User_Exception(const QString& strUserName);
bool Add_User_Exception(const QString& strUserName, long& lngExceptionID);
// The same checked against what is stored at the time of the write: a name stored in any
// letter case and stored form (as Is_New_User_Exception finds it) stores nothing and sets
// blnTwinStored; the insert and the read-back of the new id are one write transaction.
Row_Write Add_User_Exception(const QString& strUserName, long& lngExceptionID, bool& blnTwinStored);
// "The user exception is not stored as listed, so nothing was changed."
QString No_User_Exception_Message();
Row_Write Delete_User_Exception(long lngExceptionID);
Row_Write Rename_User_Exception(const QString& strNewName, long lngExceptionID);
// The same unless another exception is stored under the new name, in any letter case and
// stored form (Rename_Unless_Twin).
Row_Write Rename_User_Exception(const QString& strNewName, long lngExceptionID, bool& blnTwinStored);

// ---- Deletes of a Remove over several listed rows ----
// One statement prepared once on the caller's connection (inside its MY_TRANS) and run
// for row after row. A failure is not shown here, so that the caller reports it once
// however many rows failed: Last_Error() holds the database's text, or the not-stored
// message of a delete that ran and found no row (No_Row()); Busy() tells that another
// connection held the file locked.
class Listed_Row_Deletes {
public:
    const QString& Last_Error() const { return m_strNoRow.isEmpty() ? m_pLast->Last_Error() : m_strNoRow; }
    bool Busy() const { return m_strNoRow.isEmpty() && m_pLast->Busy(); }
    bool No_Row() const { return !m_strNoRow.isEmpty(); }
    // After a successful Run: how many rows it deleted.
    long long Rows_Changed() const { return m_pLast->Changes(); }

protected:
    Listed_Row_Deletes() = default;
    // Runs the statement bound by the caller; strNoRowMessage is the failure of no row deleted.
    bool Run_Delete(modDB::Prepared_Statement& statement, const QString& strNoRowMessage);

private:
    const modDB::Prepared_Statement* m_pLast = nullptr;
    QString m_strNoRow;
};

// The deletes of users (USER_TBL) or user exceptions (USER_EXCPN_TBL) by their ids.
// Only the row itself goes; rows of other tables that carry a user's id stay.
class Id_Row_Deletes : public Listed_Row_Deletes {
public:
    enum Rows { Users, User_Exceptions };
    Id_Row_Deletes(const Db_Connection& hDb, Rows rows);
    bool Run(long lngID);

private:
    Rows m_rows;
    modDB::Prepared_Statement m_statement;
};

// The deletes of always-allowed programs of one owner by name: every row whose name
// equals it ignoring letter case, in any stored form (as Delete_Bypass_Exe).
class Bypass_Exe_Deletes : public Listed_Row_Deletes {
public:
    Bypass_Exe_Deletes(const Db_Connection& hDb, long lngComputerID, long lngUserID);
    bool Run(const QString& strExeName);

private:
    Stored_Text_Statement m_statement;
};

}  // namespace modDBFunctions

// The old program reached some of these procedures through its other module name.
namespace modCommonFuns {
using modDBFunctions::Get_All_Users;
using modDBFunctions::Get_User_Id;
using modDBFunctions::Get_Client_Options;
using modDBFunctions::Set_Client_Options;
using modDBFunctions::Set_Program_Mode;
using modDBFunctions::Set_Pwd;
}  // namespace modCommonFuns
