#pragma once
// Procedures that read and write the settings database, one statement per call.
// Each returns true on success; out parameters are set only on success. Failures
// are reported by the database layer (one critical box and an "E: " log line).

#include "database/modDB.h"

#include <QString>

namespace modDBFunctions {

using modDB::Db_Connection;
using modDB::Query_Result;

// ---- Program settings (SETTINGS_TBL) ----
bool Get_Program_Mode(long& lngMode);
bool Set_Program_Mode(long lngMode);
bool Get_Client_Options(long& lngClientOptions);
bool Set_Client_Options(long lngClientOptions);
bool Get_Pwd(QString& strPwd);
bool Set_Pwd(const QString& strPwd);
bool Is_Pwd_Correct(const QString& strPwd);
bool Get_Remote_Settings(long& lngRemoteMode, QString& strServerName, long& lngClientPort);
bool Set_Remote_Settings(long lngRemoteMode, const QString& strServerName, const QString& strClientPort);

}  // namespace modDBFunctions

// The old program reached some of these procedures through its other module name.
namespace modCommonFuns {
using modDBFunctions::Get_Client_Options;
using modDBFunctions::Set_Client_Options;
using modDBFunctions::Set_Program_Mode;
using modDBFunctions::Set_Pwd;
}  // namespace modCommonFuns
