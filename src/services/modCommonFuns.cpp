// Validators, flag arithmetic, the logged-on user's name and the schedule texts.
#include "services/modCommonFuns.h"

#include "platform/Platform.h"
#include "platform/RunTimeError.h"

#include <QStringDecoder>
#include <cmath>
#include <limits>

namespace modCommonFuns {

namespace {

constexpr QChar BLANK = QLatin1Char(' ');
constexpr QChar APOSTROPHE = QLatin1Char('\'');
const QString SEPARATOR = QStringLiteral(", ");

bool Length_Between(const QString& strText, qsizetype lngMin, qsizetype lngMax) {
    return strText.size() >= lngMin && strText.size() <= lngMax;
}

// Appends ", " (when strText is not empty) and the short name of each set flag.
void Flags_To_Text(long lngBits, const QStringList& names, QString& strText) {
    const quint32 bits = static_cast<quint32>(To_32_Bits(lngBits));
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!(bits & (quint32{1} << i))) continue;
        if (!strText.isEmpty()) strText += SEPARATOR;
        strText += names[i].left(3);
    }
}

bool Is_32_Bit_Word(Flag_Word lngValue) {
    return lngValue >= std::numeric_limits<qint32>::min() && lngValue <= std::numeric_limits<qint32>::max();
}

// The bits a flag argument names: one given as a signed 32-bit number is its 32-bit
// pattern (-2147483648 is bit 31 alone, not bits 31 to 63).
quint64 Flag_Mask(Flag_Word lngBit) {
    return Is_32_Bit_Word(lngBit) ? static_cast<quint64>(static_cast<quint32>(lngBit)) : static_cast<quint64>(lngBit);
}

}  // namespace

// ---- Validators ----

bool Is_Valid_Text_255(const QString& strText) { return Length_Between(strText, 1, 255) && !strText.contains(APOSTROPHE); }

bool Is_Valid_Pwd_Text(const QString& strText) { return Length_Between(strText, 1, 20) && !strText.contains(APOSTROPHE); }

bool Is_Valid_Text_100_No_Space(const QString& strText) {
    return Length_Between(strText, 1, 100) && !strText.contains(BLANK);
}

bool Is_Valid_Text_Min2_No_Space(const QString& strText) { return strText.size() >= 2 && !strText.contains(BLANK); }

bool Is_Valid_Text_50_No_Space(const QString& strText) {
    return Length_Between(strText, 1, 50) && !strText.contains(BLANK);
}

bool Has_No_Space(const QString& strText) { return !strText.contains(BLANK); }

bool Always_True(const QString&) { return true; }

bool Is_Valid_Port_Number(long lngPort) { return lngPort >= 0 && lngPort <= 65535; }

QString Trim_Blanks(const QString& strText) {
    qsizetype b = 0, e = strText.size();
    while (b < e && strText[b] == u' ') ++b;
    while (e > b && strText[e - 1] == u' ') --e;
    return strText.mid(b, e - b);
}

QString Text_To_Write(const QString& strBox, const QString& strShown, const QString& strStored) {
    return strBox == strShown ? strStored : Trim_Blanks(strBox);
}

// ---- Flags and names ----

long To_32_Bits(Flag_Word lngValue) {
    return static_cast<long>(static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(lngValue))));
}

Flag_Word Text_To_Flags(const QString& strText) {
    bool blnOk = false;
    const Flag_Word lngValue = strText.toLongLong(&blnOk);
    if (blnOk) return lngValue;
    // A whole number too big for 64 bits comes back from the database as a real.
    const double dblValue = strText.toDouble(&blnOk);
    if (blnOk && std::isfinite(dblValue) && std::trunc(dblValue) == dblValue &&
        std::fabs(dblValue) >= static_cast<double>(std::numeric_limits<qint64>::max()))
        throw Run_Time_Error(Err_No::Overflow, QStringLiteral("Overflow"));
    throw Run_Time_Error(Err_No::Type_Mismatch, QStringLiteral("Type mismatch"));
}

bool Set_Bit_In_Flags(Flag_Word& lngFlags, Flag_Word lngBit, bool blnSet) {
    if (Is_32_Bit_Word(lngFlags) && Flag_Mask(lngBit) <= std::numeric_limits<quint32>::max()) {
        lngFlags = To_32_Bits(blnSet ? (lngFlags | lngBit) : (lngFlags & ~lngBit));
    } else {
        const quint64 mask = Flag_Mask(lngBit);
        const quint64 flags = static_cast<quint64>(lngFlags);
        lngFlags = static_cast<Flag_Word>(blnSet ? (flags | mask) : (flags & ~mask));
    }
    return true;
}

bool Is_Flag_Set(Flag_Word lngFlags, Flag_Word lngBit) { return (static_cast<quint64>(lngFlags) & Flag_Mask(lngBit)) != 0; }

QString Get_Logged_On_User_Name() {
    // The name is read into a buffer of 512 characters, its terminating zero included:
    // a longer name cannot be read.
    const QString strName = platform::Environment().Logged_On_User_Name();
    return strName.size() < 512 ? strName : QString();
}

QString Byte_Array_To_String(const QByteArray& bytes) {
    // Each byte is decoded on its own, so the text keeps one character per byte even
    // in a multi-byte locale (a byte that is no character there gives U+FFFD).
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    QString strText;
    strText.reserve(bytes.size());
    for (const char ch : bytes) {
        if (static_cast<unsigned char>(ch) < 0x80) {
            strText += QChar(static_cast<ushort>(ch));
            continue;
        }
        const QString strChar = decoder.decode(QByteArrayView(&ch, 1));
        strText += strChar.size() == 1 ? strChar.at(0) : QChar(QChar::ReplacementCharacter);
    }
    return strText;
}

// ---- Schedule texts ----

const QStringList& Weekday_Names() {
    static const QStringList names{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                   "Thursday", "Friday", "Saturday"};
    return names;
}

const QStringList& Month_Names() {
    static const QStringList names{"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
    return names;
}

bool Schedule_Type_To_Text(long lngDWM, QString& strText) {
    strText = lngDWM == 1 ? QStringLiteral("Daily") : lngDWM == 2 ? QStringLiteral("Weekly") : QStringLiteral("Monthly");
    return true;
}

bool Schedule_Text_To_Type(const QString& strText, long& lngDWM) {
    lngDWM = strText == QLatin1String("Daily") ? 1 : strText == QLatin1String("Weekly") ? 2 : 3;
    return true;
}

void Weekdays_To_Text(long lngBits, QString& strText) { Flags_To_Text(lngBits, Weekday_Names(), strText); }

void Months_To_Text(long lngBits, QString& strText) { Flags_To_Text(lngBits, Month_Names(), strText); }

}  // namespace modCommonFuns
