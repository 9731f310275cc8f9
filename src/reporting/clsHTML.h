#pragma once
// Writes a report list as one HTML table appended to a file: a fragment of HTML
// (no html, head or body element) that a browser shows as it stands. Every value is
// escaped, so a text of the report can never turn into markup. The file is UTF-8 and
// a new file starts with the UTF-8 byte order mark, which readers that would
// otherwise guess a one-byte code page honour first.

#include <QDateTime>
#include <QString>

namespace reporting {

class Report_List;

class clsHTML {
public:
    // Appends the table of every row of lvwSource to strFileName (created when
    // missing). Only the list and the file name are read. False when the file could
    // not be opened or written; what was written before stays.
    bool SaveListViewToFile(const Report_List& lvwSource, const QString& strFileName, const QString& strTableHead,
                            const QString& strFormat, const QString& strComputer);
    // Appends an empty borderless table block.
    bool SaveReportFooter(const QString& strFileName);

    // A date and time in the platform's general date format.
    static QString General_Date(const QDateTime& dtmValue);
};

}  // namespace reporting
