#include "services/StoredText.h"

#include <algorithm>

// Windows-1252 characters 0x80..0x9F; every other byte is the code point of the
// same number. The five bytes the code page leaves unassigned keep their number.
namespace {
constexpr char16_t WINDOWS_1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t REPLACEMENT_CHARACTER = 0xFFFD;

bool Is_Continuation(unsigned char b) { return (b & 0xC0) == 0x80; }
}  // namespace

QString Decode_Windows_1252(QByteArrayView bytes) {
    QString strText(bytes.size(), Qt::Uninitialized);
    QChar* pOut = strText.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *pOut++ = QChar(b >= 0x80 && b < 0xA0 ? WINDOWS_1252_HIGH[b - 0x80] : char16_t(b));
    }
    return strText;
}

bool Encode_Windows_1252(QStringView text, QByteArray& bytes) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char* pOut = out.data();
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            *pOut++ = static_cast<char>(c);
            continue;
        }
        const char16_t* pHigh = std::find(std::begin(WINDOWS_1252_HIGH), std::end(WINDOWS_1252_HIGH), c);
        if (pHigh == std::end(WINDOWS_1252_HIGH)) return false;
        *pOut++ = static_cast<char>(0x80 + (pHigh - std::begin(WINDOWS_1252_HIGH)));
    }
    bytes = std::move(out);
    return true;
}

qsizetype Utf8_Cut_Length(QByteArrayView bytes) {
    // The last sequence starts at its lead byte, at most three bytes from the end.
    const qsizetype n = bytes.size();
    qsizetype at = n;
    while (at > 0 && n - at < 3 && Is_Continuation(static_cast<unsigned char>(bytes[at - 1]))) --at;
    if (at == 0) return -1;
    --at;
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const qsizetype lngNeeded = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                                          : 0;
    const qsizetype lngHave = n - at;
    if (lngHave >= lngNeeded) return -1;  // not a lead byte, or a sequence that is whole
    if (lngHave >= 2) {
        // The second byte of the sequences that would be overlong, a surrogate or
        // beyond U+10FFFF is out of range: such bytes never were UTF-8.
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        const bool blnOk = lead == 0xE0   ? second >= 0xA0
                           : lead == 0xED ? second <= 0x9F
                           : lead == 0xF0 ? second >= 0x90
                           : lead == 0xF4 ? second <= 0x8F
                                          : true;
        if (!blnOk) return -1;
    }
    // The part before the cut is valid UTF-8 and holds a multi-byte sequence.
    const QByteArrayView whole = bytes.first(at);
    if (!whole.isValidUtf8()) return -1;
    if (std::none_of(whole.begin(), whole.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; }))
        return -1;
    return at;
}

QString Decode_Utf8_Or_Windows_1252(QByteArrayView bytes) {
    // The check and the conversion cost about what a decoder that reports errors does
    // alone, without making one per value (the database layer reads every value here);
    // only bytes that are not valid UTF-8 are looked at again.
    if (bytes.isValidUtf8()) return QString::fromUtf8(bytes);
    const qsizetype lngCut = Utf8_Cut_Length(bytes);
    if (lngCut < 0) return Decode_Windows_1252(bytes);
    QString strText = QString::fromUtf8(bytes.first(lngCut));
    strText += QChar(REPLACEMENT_CHARACTER);
    return strText;
}

QByteArrayView Decode_To_Utf8(QByteArrayView bytes, QByteArray& buffer) {
    if (bytes.isValidUtf8()) return bytes;
    const qsizetype lngCut = Utf8_Cut_Length(bytes);
    if (lngCut < 0) {
        buffer = Decode_Windows_1252(bytes).toUtf8();
    } else {
        buffer = bytes.first(lngCut).toByteArray();
        buffer += "\xEF\xBF\xBD";  // U+FFFD
    }
    return buffer;
}

QByteArrayList Stored_Text_Forms(QStringView text) {
    QByteArrayList forms;
    QByteArray utf8 = text.toUtf8();
    const bool blnAscii = utf8.size() == text.size();  // or an unpaired surrogate, written as "?"
    if (Decode_Utf8_Or_Windows_1252(utf8) == text) forms << utf8;
    if (blnAscii && !forms.isEmpty()) return forms;  // ASCII: one form only
    QByteArray windows1252;
    if (Encode_Windows_1252(text, windows1252) && Decode_Utf8_Or_Windows_1252(windows1252) == text)
        forms << windows1252;
    return forms;
}

bool Cut_Text_Prefix(QStringView text, QByteArray& cutPrefix) {
    if (!text.endsWith(QChar(REPLACEMENT_CHARACTER))) return false;
    const QByteArray prefix = text.chopped(1).toUtf8();
    // The shortest cut form stands for all of them: it reads as the text only when the
    // part before the cut proves UTF-8 and reads back as it is.
    if (Decode_Utf8_Or_Windows_1252(prefix + '\xC3') != text) return false;
    cutPrefix = prefix;
    return true;
}

bool Is_Utf8_Text_Form(QByteArrayView bytes, bool blnBlob) { return !blnBlob && bytes.isValidUtf8(); }

void Other_Form_Texts::Add(QByteArrayView bytes, bool blnBlob) {
    if (!Is_Utf8_Text_Form(bytes, blnBlob)) m_texts.insert(Decode_Utf8_Or_Windows_1252(bytes));
}
