#pragma once
// Times of day as the schedules store them: the schedule editors write "HH:mm"; a
// stored time may also read "H:mm" or "H:mm:ss" (written by hand or by an older
// program), with blanks around it. The editors and the copy of schedules read and
// write every time by these rules.

#include <QString>
#include <QTime>
#include <optional>

// The form the schedules write a time in.
extern const QString SHORT_TIME_FORMAT;  // "HH:mm"

// The time of day of a stored time (Run_Time_Error 13 when it is none).
QTime Time_Of_Day(const QString& strTime);
// The "HH:mm" form of a stored time the rules read; nullopt for a text that is no
// time of day.
std::optional<QString> Readable_Short_Time(const QString& strStored);
// A stored time shown as "HH:mm"; a text that is no time is shown as it stands.
QString Short_Time(const QString& strStored);
