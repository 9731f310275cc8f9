#include "platform/TextCut.h"

namespace platform {

QString Cut_Text(const QString& strText, qsizetype lngLength) {
    if (lngLength <= 0) return QString();
    if (lngLength >= strText.size()) return strText;
    if (strText[lngLength - 1].isHighSurrogate() && strText[lngLength].isLowSurrogate()) --lngLength;
    return strText.left(lngLength);
}

QString Without_Half_Characters(const QString& strText) {
    const qsizetype n = strText.size();
    QString strOut;
    strOut.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = strText[i];
        if (ch.isHighSurrogate() && i + 1 < n && strText[i + 1].isLowSurrogate()) {
            strOut += ch;
            strOut += strText[++i];
        } else if (!ch.isSurrogate()) {
            strOut += ch;
        }
    }
    return strOut.size() == n ? strText : strOut;
}

}  // namespace platform
