#pragma once
// Texts of unknown origin: how the console reads the bytes of a stored value or of a
// file without a byte order mark, and which bytes read as a text it shows.
//
// The reading rule, in this order:
//  1. Bytes that are valid UTF-8 read as UTF-8.
//  2. A cut UTF-8 text reads as UTF-8 with its cut last character as U+FFFD: bytes that
//     end in an incomplete multi-byte sequence (a writer's fixed-size buffer cut inside
//     its last character), where everything before that sequence is valid UTF-8 and
//     holds at least one multi-byte sequence. That sequence is the proof the text is
//     UTF-8: "Passé" in Windows-1252 (50 61 73 73 E9) also ends in a byte that could
//     begin a sequence, but what comes before it is plain ASCII, so it is not cut UTF-8.
//  3. Any other bytes read as Windows-1252.
// A Windows-1252 text whose bytes happen to be valid UTF-8 ("Ã©", C3 A9) or valid UTF-8
// up to a cut ("Ã© Ã", C3 A9 20 C3) reads as UTF-8: nothing in the bytes tells them
// apart, and such texts are far rarer than the UTF-8 texts they look like.

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <string_view>
#include <unordered_set>

// Bytes read as Windows-1252: 0x80 to 0x9F as the code page assigns them (its five
// unassigned bytes keep their number), every other byte the code point of its number.
// Every byte reads as one character of its own, so Encode_Windows_1252 gives the bytes back.
QString Decode_Windows_1252(QByteArrayView bytes);
// The Windows-1252 bytes of a text; false when a character has none.
bool Encode_Windows_1252(QStringView text, QByteArray& bytes);

// When bytes are a cut UTF-8 text (rule 2 above), the length of the part before the
// cut; otherwise -1 (valid UTF-8 included).
qsizetype Utf8_Cut_Length(QByteArrayView bytes);

// The text of bytes of unknown origin, read by the rule above. A valid UTF-8 value costs
// the check and the plain conversion only.
QString Decode_Utf8_Or_Windows_1252(QByteArrayView bytes);

// The same reading as UTF-8 bytes: the bytes themselves when they are valid UTF-8,
// otherwise the UTF-8 of their text, held in buffer (valid while buffer is unchanged).
QByteArrayView Decode_To_Utf8(QByteArrayView bytes, QByteArray& buffer);

// Every stored form a shown text can be read from, each one included only when it reads
// back as this very text: its UTF-8 bytes, and its Windows-1252 bytes when the text is not
// ASCII and has them. A text nothing reads as (an unpaired surrogate) has none.
QByteArrayList Stored_Text_Forms(QStringView text);

// The cut forms of a shown text, too many to list: for a text ending in U+FFFD whose part
// before it has a multi-byte character, every value made of the UTF-8 of that part
// (cutPrefix) followed by an incomplete sequence reads as it. Those values all lie in
// [cutPrefix + C2, cutPrefix + F5), byte by byte. False when the text has no cut forms.
bool Cut_Text_Prefix(QStringView text, QByteArray& cutPrefix);

// Whether a stored value is found by comparing its bytes with the UTF-8 of the text it
// reads as, as a table's UNIQUE rule compares: only a text (blnBlob false) of valid
// UTF-8 is. Every other stored form (a blob, a Windows-1252 or cut UTF-8 text) reads as
// its text without being equal to that text's UTF-8.
bool Is_Utf8_Text_Form(QByteArrayView bytes, bool blnBlob);

// The texts that stored values read as, kept only for the values Is_Utf8_Text_Form
// does not find. Beside a byte comparison of UTF-8 texts (a UNIQUE rule), it tells
// whether a text is stored in any of its forms, without a look-up per text.
class Other_Form_Texts {
public:
    // Keeps the text of a stored value unless Is_Utf8_Text_Form finds the value.
    void Add(QByteArrayView bytes, bool blnBlob);
    // Whether a value added reads as strText.
    bool Holds(const QString& strText) const { return !m_texts.empty() && m_texts.count(strText) > 0; }

private:
    // The standard library's hash, not Qt's: with Qt's, an import beside one blob took a
    // quarter longer, though each look-up itself was fast (measured).
    struct Hash {
        size_t operator()(const QString& strText) const {
            return std::hash<std::u16string_view>()(
                std::u16string_view(QStringView(strText).utf16(), static_cast<size_t>(strText.size())));
        }
    };
    std::unordered_set<QString, Hash> m_texts;
};
