#pragma once
// List text files: one entry per line, no header. Written with CR LF in the
// locale's encoding; read back with CR LF, LF or CR line ends (mixed too), in the
// encoding its byte order mark names (UTF-8, UTF-16 LE/BE), else as a text of unknown
// origin (services/StoredText.h: UTF-8, a cut UTF-8 text, else Windows-1252). Read back
// as fields: blanks before a field are skipped, a field in double quotes loses them, any
// other field ends at a comma or the line end.

#include <QString>
#include <QStringList>
#include <functional>

// Splits one line into its fields. An empty line gives no field.
void Split_List_Text_Line(const QString& strLine, QStringList& fields);

// The text of a file's bytes, decoded as described above.
QString Decode_List_Text(const QByteArray& bytes);

// True when a character is a control character a list entry may not hold: below
// 0x20 except tab, 0x7F, or 0x80 to 0x9F (which the five bytes Windows-1252 leaves
// unassigned decode to as well).
bool Is_Control_Character(QChar ch);

// The largest file read as a list: far more than any list (a million entries of 50
// characters are about 52 MB), far less than would exhaust the memory.
inline constexpr qint64 MAX_LIST_FILE_BYTES = qint64(256) << 20;

enum class List_Text_Status {
    Read,         // fields hold every field without a control character
    Unreadable,   // the file cannot be opened or read (strError says why)
    Not_Text,     // the file holds a NUL or mostly control characters
    Not_A_File,   // a folder, a device, a pipe or a socket: nothing is read from it
    Too_Large,    // larger than MAX_LIST_FILE_BYTES: nothing is read from it
};

// Reads every field of the file. A field holding a control character is left out
// and counted in lngSkipped. Unless the file was read, fields hold nothing.
List_Text_Status Read_List_Text_File(const QString& strFileName, QStringList& fields, long& lngSkipped,
                                     QString& strError);

// The same, without the count. False (with the reason in strError) when the file
// cannot be read or is not text; fields then hold nothing.
bool Read_List_Text_File(const QString& strFileName, QStringList& fields, QString& strError);

// The reading step of an import, with its reports. A file that cannot be read is a
// run-time error 53; a file that is not text, not a regular file or too large is
// refused with one box naming it and gives false; otherwise true with the fields and
// the count of fields left out.
bool Read_Import_File(const QString& strFileName, QStringList& fields, long& lngSkipped);

// After an import: one box saying how many fields were left out, when any were.
void Report_Skipped_Fields(long lngSkipped);

// Replaces the file with one line per entry. The file is written beside the old one
// and renamed over it, so a failure leaves the old file whole.
bool Write_List_Text_File(const QString& strFileName, const QStringList& entries, QString& strError);
