#include "services/TimeOfDay.h"

#include "platform/RunTimeError.h"

const QString SHORT_TIME_FORMAT = QStringLiteral("HH:mm");

namespace {
QTime Parse_Time(const QString& strTime) {
    const QString strTrimmed = strTime.trimmed();
    QTime time = QTime::fromString(strTrimmed, QStringLiteral("H:mm"));
    if (!time.isValid()) time = QTime::fromString(strTrimmed, QStringLiteral("H:mm:ss"));
    return time;
}
}  // namespace

QTime Time_Of_Day(const QString& strTime) {
    const QTime time = Parse_Time(strTime);
    if (!time.isValid()) throw Run_Time_Error(Err_No::Type_Mismatch, QStringLiteral("Type mismatch"));
    return time;
}

std::optional<QString> Readable_Short_Time(const QString& strStored) {
    // The form the editors write reads as itself: answered without the parser, which
    // costs microseconds a value (a copy to many users reads every stored time).
    const auto digit = [&](int i) { return strStored[i] >= u'0' && strStored[i] <= u'9'; };
    if (strStored.size() == 5 && strStored[2] == u':' && digit(0) && digit(1) && digit(3) && digit(4) &&
        (strStored[0] < u'2' || strStored[1] < u'4') && strStored[0] <= u'2' && strStored[3] < u'6')
        return strStored;
    const QTime time = Parse_Time(strStored);
    if (!time.isValid()) return std::nullopt;
    return time.toString(SHORT_TIME_FORMAT);
}

QString Short_Time(const QString& strStored) { return Readable_Short_Time(strStored).value_or(strStored); }
