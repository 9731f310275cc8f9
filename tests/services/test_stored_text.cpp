#include "services/StoredText.h"

#include <gtest/gtest.h>

namespace {

QString Utf8(const char* strText) { return QString::fromUtf8(strText); }

// ---- Reading a text of unknown origin ----

struct Read_Case {
    const char* strName;
    const char* strHex;  // the stored bytes
    QString strRead;
};

void PrintTo(const Read_Case& c, std::ostream* os) { *os << c.strName; }

class StoredTextReadTest : public ::testing::TestWithParam<Read_Case> {};

TEST_P(StoredTextReadTest, BytesReadAsUtf8ACutUtf8TextOrWindows1252AndBothReadersAgree) {
    const QByteArray bytes = QByteArray::fromHex(GetParam().strHex);
    EXPECT_EQ(Decode_Utf8_Or_Windows_1252(bytes), GetParam().strRead);
    QByteArray buffer;
    EXPECT_EQ(Decode_To_Utf8(bytes, buffer).toByteArray(), GetParam().strRead.toUtf8());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredTextReadTest,
    ::testing::Values(
        Read_Case{"Ascii", "50617373", "Pass"}, Read_Case{"Empty", "", ""},
        Read_Case{"Utf8", "436166C3A9", Utf8("Caf\u00e9")},
        // A last byte that could begin a sequence after plain ASCII: Windows-1252.
        Read_Case{"Windows1252EndsInALeadByte", "50617373E9", Utf8("Pass\u00e9")},
        Read_Case{"Windows1252", "436166E9205A", Utf8("Caf\u00e9 Z")},
        Read_Case{"AsciiThenLeadByte", "41C3", Utf8("A\u00c3")}, Read_Case{"LeadByteAlone", "C3", Utf8("\u00c3")},
        // A UTF-8 text cut inside its last character keeps its whole characters.
        Read_Case{"CutTwoByte", "436166C3A9205AC3", Utf8("Caf\u00e9 Z\ufffd")},
        Read_Case{"CutThreeByteAfterOne", "436166C3A9205AE2", Utf8("Caf\u00e9 Z\ufffd")},
        Read_Case{"CutThreeByteAfterTwo", "436166C3A9205AE282", Utf8("Caf\u00e9 Z\ufffd")},
        Read_Case{"CutFourByteAfterThree", "C3A9F09F98", Utf8("\u00e9\ufffd")},
        Read_Case{"CutAfterAFourByteCharacter", "F09F9880E282", Utf8("\U0001F600\ufffd")},
        // Windows-1252 texts whose bytes look like UTF-8 pairs: fault before the end.
        Read_Case{"LooksLikeAPairThenAFaultInside", "C3A9E920", Utf8("\u00c3\u00a9\u00e9 ")},
        Read_Case{"LooksLikeAPairThenAStrayContinuation", "C3A9C3A980", Utf8("\u00c3\u00a9\u00c3\u00a9\u20ac")},
        // The second byte of a cut sequence that never was UTF-8: surrogate, overlong, too high.
        Read_Case{"CutSurrogate", "C3A9EDA0", Utf8("\u00c3\u00a9\u00ed\u00a0")},
        Read_Case{"CutOverlong", "C3A9E080", Utf8("\u00c3\u00a9\u00e0\u20ac")},
        Read_Case{"CutAboveTheLastCodePoint", "C3A9F490", Utf8("\u00c3\u00a9\u00f4\u0090")},
        Read_Case{"NotALeadByte", "C3A9F5", Utf8("\u00c3\u00a9\u00f5")},
        // The one case nothing tells apart: a Windows-1252 text that is UTF-8 up to a cut.
        Read_Case{"Windows1252ThatIsCutUtf8", "C3A920C3", Utf8("\u00e9 \ufffd")}),
    [](const auto& info) { return std::string(info.param.strName); });

TEST(StoredTextCodecTest, EveryByteReadAsWindows1252IsWrittenBackAsItself) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString strText = Decode_Windows_1252(all);
    ASSERT_EQ(strText.size(), 256);
    EXPECT_EQ(strText[0x80], QChar(0x20AC));
    EXPECT_EQ(strText[0x81], QChar(0x81));
    QByteArray back;
    ASSERT_TRUE(Encode_Windows_1252(strText, back));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(Encode_Windows_1252(Utf8("\u65e5"), back));
    EXPECT_EQ(back, all);  // unchanged on failure
}

// ---- The stored forms of a shown text ----

struct Forms_Case {
    const char* strName;
    QString strShown;
    QByteArrayList forms;
    QByteArray cutPrefix;  // empty: no cut forms
};

void PrintTo(const Forms_Case& c, std::ostream* os) { *os << c.strName; }

class StoredTextFormsTest : public ::testing::TestWithParam<Forms_Case> {};

TEST_P(StoredTextFormsTest, EveryFormGivenReadsBackAsTheShownText) {
    const Forms_Case& c = GetParam();
    const QByteArrayList forms = Stored_Text_Forms(c.strShown);
    EXPECT_EQ(forms, c.forms);
    for (const QByteArray& form : forms) EXPECT_EQ(Decode_Utf8_Or_Windows_1252(form), c.strShown) << form.toHex().toStdString();
    QByteArray prefix;
    EXPECT_EQ(Cut_Text_Prefix(c.strShown, prefix), !c.cutPrefix.isEmpty());
    EXPECT_EQ(prefix, c.cutPrefix);
    if (c.cutPrefix.isEmpty()) return;
    // Every incomplete sequence after the prefix reads as the text, and lies in the range.
    for (const char* strCut : {"C2", "C3", "DF", "E0A0", "E2", "E282", "ED9F", "EF", "F0", "F09F", "F09F98", "F48F",
                               "F48FBF"}) {
        const QByteArray form = prefix + QByteArray::fromHex(strCut);
        EXPECT_EQ(Decode_Utf8_Or_Windows_1252(form), c.strShown) << strCut;
        EXPECT_GE(form, prefix + '\xC2');
        EXPECT_LT(form, prefix + '\xF5');
    }
    // A whole character after the prefix is no cut form.
    EXPECT_NE(Decode_Utf8_Or_Windows_1252(prefix + "\xC3\xA9"), c.strShown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredTextFormsTest,
    ::testing::Values(
        Forms_Case{"Ascii", "a.exe", {"a.exe"}, {}},
        Forms_Case{"Latin", Utf8("Pass\u00e9"), {"Pass\xc3\xa9", "Pass\xe9"}, {}},
        Forms_Case{"Euro", Utf8("\u20ac"), {"\xe2\x82\xac", "\x80"}, {}},
        // Its Windows-1252 bytes C3 A9 are UTF-8 and read as another text.
        Forms_Case{"Windows1252BytesAreUtf8", Utf8("\u00c3\u00a9"), {"\xc3\x83\xc2\xa9"}, {}},
        // Its Windows-1252 bytes C3 A9 20 C3 are a cut UTF-8 text.
        Forms_Case{"Windows1252BytesAreCutUtf8", Utf8("\u00c3\u00a9 \u00c3"), {"\xc3\x83\xc2\xa9 \xc3\x83"}, {}},
        Forms_Case{"NotInWindows1252", Utf8("\u65e5\u00e9"), {"\xe6\x97\xa5\xc3\xa9"}, {}},
        Forms_Case{"Cut", Utf8("Caf\u00e9 Z\ufffd"), {"Caf\xc3\xa9 Z\xef\xbf\xbd"}, "Caf\xc3\xa9 Z"},
        // Before the U+FFFD only ASCII: such bytes would read as Windows-1252.
        Forms_Case{"ReplacementAfterAscii", Utf8("Z\ufffd"), {"Z\xef\xbf\xbd"}, {}},
        Forms_Case{"UnpairedSurrogate", QString(QChar(0xD800)), {}, {}}),
    [](const auto& info) { return std::string(info.param.strName); });

}  // namespace
