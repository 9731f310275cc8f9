#pragma once
// List text files: one entry per line, CR LF, the locale's encoding, no header.
// Read back as fields: blanks before a field are skipped, a field in double quotes
// loses them, any other field ends at a comma or the line end.

#include <QString>
#include <QStringList>
#include <functional>

// Splits one line into its fields. An empty line gives no field.
void Split_List_Text_Line(const QString& strLine, QStringList& fields);

// Reads every field of the file. False (with the reason in strError) when the file
// cannot be opened or read; fields then holds nothing.
bool Read_List_Text_File(const QString& strFileName, QStringList& fields, QString& strError);

// Replaces the file with one line per entry. The file is written beside the old one
// and renamed over it, so a failure leaves the old file whole.
bool Write_List_Text_File(const QString& strFileName, const QStringList& entries, QString& strError);
