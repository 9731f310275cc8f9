#pragma once
// Input validators, flag arithmetic, the logged-on user's name and the schedule text
// helpers: small shared procedures that touch no database and no widget.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace modCommonFuns {

// ---- Validators (lengths count characters; a blank is " ") ----
bool Is_Valid_Text_255(const QString& strText);            // 1..255, no apostrophe
bool Is_Valid_Pwd_Text(const QString& strText);            // 1..20, no apostrophe
bool Is_Valid_Text_100_No_Space(const QString& strText);   // 1..100, no blank
bool Is_Valid_Text_Min2_No_Space(const QString& strText);  // 2 or more, no blank
bool Is_Valid_Text_50_No_Space(const QString& strText);    // 1..50, no blank
bool Has_No_Space(const QString& strText);                 // no blank ("" passes)
bool Always_True(const QString& strText);
bool Is_Valid_Port_Number(long lngPort);                   // 0..65535
// strText without its leading and trailing blanks; every other character (tabs, line
// ends, no-break spaces) stays as it is.
QString Trim_Blanks(const QString& strText);

// ---- Flags and names ----
// The low 32 bits of a value as a signed 32-bit number: flag words are 32-bit, so
// bit 31 (2^31) is the negative number -2147483648.
long To_32_Bits(long lngValue);
// blnSet: lngFlags Or lngBit; otherwise the bits of lngBit cleared. Returns true.
bool Set_Bit_In_Flags(long& lngFlags, long lngBit, bool blnSet);
// The login name of the user running the console; "" when it cannot be read.
QString Get_Logged_On_User_Name();
// One character per byte, each taken in the locale's encoding.
QString Byte_Array_To_String(const QByteArray& bytes);

// ---- Schedule texts ("Sun", "Mon" ... and "Jan", "Feb" ..., joined by ", ") ----
// "Sunday" .. "Saturday" and "January" .. "December", in flag order; the first three
// characters of each are its short name.
const QStringList& Weekday_Names();
const QStringList& Month_Names();
bool Schedule_Type_To_Text(long lngDWM, QString& strText);   // 1 Daily, 2 Weekly, else Monthly
bool Schedule_Text_To_Type(const QString& strText, long& lngDWM);
// Append the short names of the set flags to strText, with ", " between names.
void Weekdays_To_Text(long lngBits, QString& strText);
void Months_To_Text(long lngBits, QString& strText);

}  // namespace modCommonFuns
