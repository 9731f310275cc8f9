#include "services/ListTextFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

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

bool Read_List_Text_File(const QString& strFileName, QStringList& fields, QString& strError) {
    fields.clear();
    QFile file(strFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        strError = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        strError = file.errorString();
        return false;
    }
    QStringDecoder decoder(QStringConverter::System);
    const QString strText = decoder.decode(bytes);
    qsizetype start = 0;
    const qsizetype n = strText.size();
    while (start < n) {
        qsizetype end = strText.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = n;
        qsizetype lineEnd = end;
        if (lineEnd > start && strText[lineEnd - 1] == QLatin1Char('\r')) --lineEnd;
        Split_List_Text_Line(strText.mid(start, lineEnd - start), fields);
        start = end + 1;
    }
    return true;
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
