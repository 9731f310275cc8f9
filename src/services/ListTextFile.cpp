#include "services/ListTextFile.h"

#include "platform/Platform.h"
#include "services/modGlobal.h"
#include "services/StoredText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

void Split_List_Text_Line(const QString& strLine, QStringList& fields) {
    const int n = strLine.size();
    int i = 0;
    while (i < n) {
        while (i < n && (strLine[i] == QLatin1Char(' ') || strLine[i] == QLatin1Char('\t'))) ++i;
        if (i >= n) {
            // Trailing blanks after a comma still close an (empty) field.
            if (n > 0 && !fields.isEmpty() && strLine.trimmed().endsWith(QLatin1Char(','))) fields << QString();
            break;
        }
        if (strLine[i] == QLatin1Char('"')) {
            const int close = strLine.indexOf(QLatin1Char('"'), i + 1);
            const int end = close < 0 ? n : close;
            fields << strLine.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            // Whatever follows the closing quote up to the comma is passed over.
            const int comma = strLine.indexOf(QLatin1Char(','), i);
            if (comma < 0) break;
            i = comma + 1;
            if (i >= n) fields << QString();
        } else {
            const int comma = strLine.indexOf(QLatin1Char(','), i);
            if (comma < 0) {
                fields << strLine.mid(i);
                break;
            }
            fields << strLine.mid(i, comma - i);
            i = comma + 1;
            if (i >= n) fields << QString();
        }
    }
}

namespace {

QString Decode_With(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

// A file is text unless it holds a NUL or more control characters (line ends and
// tabs aside) than other characters.
bool Looks_Like_Text(const QString& strText) {
    qsizetype lngControl = 0, lngOther = 0;
    for (const QChar ch : strText) {
        if (ch.unicode() == 0) return false;
        if (ch == u'\r' || ch == u'\n' || ch == u'\t') continue;
        if (Is_Control_Character(ch)) ++lngControl;
        else ++lngOther;
    }
    return lngControl <= lngOther;
}

}  // namespace

QString Decode_List_Text(const QByteArray& bytes) {
    const QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) return Decode_With(QStringConverter::Utf8, view.sliced(3));
    if (view.startsWith("\xFF\xFE")) return Decode_With(QStringConverter::Utf16LE, view.sliced(2));
    if (view.startsWith("\xFE\xFF")) return Decode_With(QStringConverter::Utf16BE, view.sliced(2));
    return Decode_Utf8_Or_Windows_1252(view);
}

bool Is_Control_Character(QChar ch) {
    const char16_t c = ch.unicode();
    return (c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F);
}

List_Text_Status Read_List_Text_File(const QString& strFileName, QStringList& fields, long& lngSkipped,
                                     QString& strError) {
    fields.clear();
    lngSkipped = 0;
    // Only a regular file is opened: opening a pipe would wait for a writer, and a
    // device such as /dev/zero never ends. A missing file fails at the opening.
    const QFileInfo info(strFileName);
    if (info.exists() && !info.isFile()) {
        strError = QStringLiteral("the file is not a regular file");
        return List_Text_Status::Not_A_File;
    }
    QFile file(strFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        strError = file.errorString();
        return List_Text_Status::Unreadable;
    }
    if (file.isSequential()) {  // replaced by something else since it was looked at
        strError = QStringLiteral("the file is not a regular file");
        return List_Text_Status::Not_A_File;
    }
    // The bound is checked before any byte is read, and again on what was read, in
    // case the file grows meanwhile.
    if (file.size() > MAX_LIST_FILE_BYTES) {
        strError = QStringLiteral("the file is larger than %1 MB").arg(MAX_LIST_FILE_BYTES >> 20);
        return List_Text_Status::Too_Large;
    }
    QByteArray bytes(file.size(), Qt::Uninitialized);
    qsizetype lngHave = 0;
    for (;;) {
        // What the size promised first; then whatever a file that grows meanwhile
        // holds beyond it, up to just past the bound.
        if (lngHave == bytes.size()) {
            if (bytes.size() > MAX_LIST_FILE_BYTES) break;
            bytes.resize(bytes.size() + (qsizetype(1) << 16));
        }
        const qint64 lngRead = file.read(bytes.data() + lngHave, bytes.size() - lngHave);
        if (lngRead < 0) {
            strError = file.errorString();
            return List_Text_Status::Unreadable;
        }
        if (lngRead == 0) break;
        lngHave += lngRead;
    }
    bytes.truncate(lngHave);
    if (bytes.size() > MAX_LIST_FILE_BYTES) {
        strError = QStringLiteral("the file is larger than %1 MB").arg(MAX_LIST_FILE_BYTES >> 20);
        return List_Text_Status::Too_Large;
    }
    const QString strText = Decode_List_Text(bytes);
    if (!Looks_Like_Text(strText)) {
        strError = QStringLiteral("the file is not a text file");
        return List_Text_Status::Not_Text;
    }
    QStringList lineFields;
    const qsizetype n = strText.size();
    qsizetype start = 0;
    while (start < n) {
        // A line ends at CR LF, LF or CR.
        qsizetype end = start;
        while (end < n && strText[end] != u'\n' && strText[end] != u'\r') ++end;
        lineFields.clear();
        Split_List_Text_Line(QStringView(strText).sliced(start, end - start).toString(), lineFields);
        for (QString& strField : lineFields) {
            if (std::any_of(strField.cbegin(), strField.cend(), Is_Control_Character)) ++lngSkipped;
            else fields << std::move(strField);
        }
        if (end < n && strText[end] == u'\r' && end + 1 < n && strText[end + 1] == u'\n') ++end;
        start = end + 1;
    }
    return List_Text_Status::Read;
}

bool Read_List_Text_File(const QString& strFileName, QStringList& fields, QString& strError) {
    long lngSkipped = 0;
    if (Read_List_Text_File(strFileName, fields, lngSkipped, strError) == List_Text_Status::Read) return true;
    fields.clear();
    return false;
}

bool Read_Import_File(const QString& strFileName, QStringList& fields, long& lngSkipped) {
    QString strError;
    switch (Read_List_Text_File(strFileName, fields, lngSkipped, strError)) {
        case List_Text_Status::Read: return true;
        case List_Text_Status::Not_Text:
            platform::Message_Boxes().Show(strFileName + QStringLiteral(" is not a text file. Nothing was imported."),
                                           platform::vbExclamation, QStringLiteral("DravinoleTS"));
            return false;
        case List_Text_Status::Not_A_File:
            platform::Message_Boxes().Show(
                strFileName + QStringLiteral(" is not a regular file. Nothing was imported."),
                platform::vbExclamation, QStringLiteral("DravinoleTS"));
            return false;
        case List_Text_Status::Too_Large:
            platform::Message_Boxes().Show(
                strFileName + QStringLiteral(" is larger than %1 MB, more than any list holds. Nothing was imported.")
                                  .arg(MAX_LIST_FILE_BYTES >> 20),
                platform::vbExclamation, QStringLiteral("DravinoleTS"));
            return false;
        case List_Text_Status::Unreadable: break;
    }
    throw Run_Time_Error(Err_No::File_Not_Found, QStringLiteral("Cannot read %1: %2").arg(strFileName, strError));
}

void Report_Skipped_Fields(long lngSkipped) {
    if (lngSkipped <= 0) return;
    platform::Message_Boxes().Show(
        lngSkipped == 1 ? QStringLiteral("1 entry of the file held a control character and was not imported.")
                        : QStringLiteral("%1 entries of the file held control characters and were not imported.")
                              .arg(lngSkipped),
        platform::vbExclamation, QStringLiteral("DravinoleTS"));
}

bool Write_List_Text_File(const QString& strFileName, const QStringList& entries, QString& strError) {
    QSaveFile file(strFileName);
    if (!file.open(QIODevice::WriteOnly)) {
        strError = file.errorString();
        return false;
    }
    QStringEncoder encoder(QStringConverter::System);
    QByteArray chunk;
    for (const QString& entry : entries) {
        chunk += encoder.encode(entry);
        chunk += "\r\n";
        if (chunk.size() > (1 << 16)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    if (!file.commit()) {
        strError = file.errorString();
        return false;
    }
    return true;
}
