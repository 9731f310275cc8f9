// Program settings: the single row of SETTINGS_TBL.
#include "database/modDBFunctions.h"

#include "services/modCommonFuns.h"

namespace modDBFunctions {

using modDB::Run_Sql_And_Read;
using modDB::Sql_Text;

namespace {

// The one row the settings are written to.
const QString SETTINGS_ROW = QStringLiteral(" WHERE SETTINGS_ID=1");

Row_Write Change_Settings_Row(const QString& strAssignments) {
    return modDB::Change_Row("UPDATE SETTINGS_TBL SET " + strAssignments + SETTINGS_ROW, No_Settings_Message());
}

}  // namespace

QString No_Settings_Message() {
    return QStringLiteral("The settings are not stored as listed, so nothing was changed.");
}

Stored_Word Settings_Word(const char* strColumn) {
    return {QStringLiteral("SETTINGS_TBL"), QLatin1String(strColumn), SETTINGS_ROW, No_Settings_Message()};
}

bool Get_Program_Mode(long& lngMode) {
    return Run_Sql_And_Read(QStringLiteral("SELECT PROGRAM_MODE FROM SETTINGS_TBL"),
                            [&](const Query_Result& r, long) { lngMode = r.Long_Value(1, 0); });
}

Row_Write Set_Program_Mode(long lngMode) { return Change_Settings_Row("PROGRAM_MODE = " + QString::number(lngMode)); }

// Read whole, whatever its range, so that the bits no check box owns are written
// back as they were; a value that is no whole number fails the read.
bool Get_Client_Options(Flag_Word& lngClientOptions) {
    return Run_Sql_And_Read(QStringLiteral("SELECT CLIENT_OPTIONS FROM SETTINGS_TBL"), [&](const Query_Result& r, long) {
        lngClientOptions = modCommonFuns::Text_To_Flags(r.Value(1, 0));
    });
}

Row_Write Set_Client_Options(Flag_Word lngClientOptions) {
    return Change_Settings_Row("CLIENT_OPTIONS = " + QString::number(lngClientOptions));
}

Row_Write Change_Client_Options(const Word_Change& change, Flag_Word* pWritten) {
    return Change_Word(Settings_Word("CLIENT_OPTIONS"), change, pWritten);
}

bool Get_Pwd(QString& strPwd) {
    return Run_Sql_And_Read(QStringLiteral("SELECT PWD FROM SETTINGS_TBL WHERE SETTINGS_ID=1"),
                            [&](const Query_Result& r, long) { strPwd = r.Value(1, 0); });
}

Row_Write Set_Pwd(const QString& strPwd) { return Change_Settings_Row("PWD= '" + Sql_Text(strPwd) + "'"); }

bool Is_Pwd_Correct(const QString& strPwd) {
    // No stored password holds a NUL (Sql_Text refuses one), so such a text is wrong.
    if (strPwd.contains(QChar(u'\0'))) return false;
    long lngCount = 0;
    const bool blnRead =
        // Exact and case-sensitive, in any stored form: a password another program
        // stored in Windows-1252 is accepted when typed as the console shows it.
        Run_Sql_And_Read("SELECT COUNT(*) FROM SETTINGS_TBL WHERE " + modDB::Sql_Matches_Stored("PWD", strPwd),
                         [&](const Query_Result& r, long) { lngCount = r.Long_Value(1, 0); });
    return blnRead && lngCount >= 1;
}

bool Get_Remote_Settings(long& lngRemoteMode, QString& strServerName, long& lngClientPort) {
    return Run_Sql_And_Read(
        QStringLiteral("SELECT REMOTE_MODE,SERVER_NAME,CLIENT_PORT FROM SETTINGS_TBL WHERE SETTINGS_ID=1"),
        [&](const Query_Result& r, long) {
            const long lngMode = r.Long_Value(1, 0);
            const QString strServer = r.Value(1, 1);
            const long lngPort = r.Long_Value(1, 2);
            lngRemoteMode = lngMode;
            strServerName = strServer;
            lngClientPort = lngPort;
        });
}

Row_Write Set_Remote_Settings(long lngRemoteMode, const QString& strServerName, const QString& strClientPort) {
    return Change_Remote_Settings(lngRemoteMode, strServerName, strClientPort);
}

Row_Write Change_Remote_Settings(std::optional<long> lngRemoteMode, const std::optional<QString>& strServerName,
                                 const std::optional<QString>& strClientPort) {
    // The port is written as a quoted text.
    QStringList assignments;
    if (lngRemoteMode) assignments << "REMOTE_MODE = " + QString::number(*lngRemoteMode);
    if (strServerName) assignments << "SERVER_NAME='" + Sql_Text(*strServerName) + "'";
    if (strClientPort) assignments << "CLIENT_PORT='" + Sql_Text(*strClientPort) + "'";
    return Change_Settings_Row(assignments.join(QStringLiteral(" ,")));
}

}  // namespace modDBFunctions
