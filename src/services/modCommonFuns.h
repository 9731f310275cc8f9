#pragma once
// Input validators, flag arithmetic, the logged-on user's name and the schedule text
// helpers: small shared procedures that touch no database and no widget.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// A stored flag word (feature, status and client option bits) and a bit of one: 64
// bits, so that a word another program wrote beyond 32 bits is held whole.
using Flag_Word = qint64;

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
// The text a box's Apply writes: while the box shows what it was loaded with (strShown),
// the stored text as it was read (strStored), so that a value the administrator did not
// edit is written back as it stands; otherwise the box's text without its outer blanks.
QString Text_To_Write(const QString& strBox, const QString& strShown, const QString& strStored);

// ---- Flags and names ----
// The low 32 bits of a value as a signed 32-bit number: flag words are 32-bit, so
// bit 31 (2^31) is the negative number -2147483648.
long To_32_Bits(Flag_Word lngValue);
// A stored flag word read whole, whatever its range: other programs write these
// columns too, and a bit the console does not know must survive its writes. Throws
// Run_Time_Error 13 when the text is no whole number (a word, a fraction, "") and 6
// when it lies beyond 64 bits: such a value cannot be held, so it is never written over.
Flag_Word Text_To_Flags(const QString& strText);
// blnSet: lngFlags Or lngBit; otherwise the bits of lngBit cleared. A bit given as a
// 32-bit number names bits 0 to 31 (-2147483648 is bit 31). Flags within the 32-bit
// range stay a 32-bit word; flags beyond it keep every other bit as it is. Returns true.
bool Set_Bit_In_Flags(Flag_Word& lngFlags, Flag_Word lngBit, bool blnSet);
// True when any bit of lngBit (taken as Set_Bit_In_Flags takes it) is set in lngFlags.
bool Is_Flag_Set(Flag_Word lngFlags, Flag_Word lngBit);
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
