#include "platform/TextCut.h"
#include "services/modCommonFuns.h"
#include "support/Fixture.h"

using namespace modCommonFuns;
using platform::Cut_Text;
using platform::Without_Half_Characters;

namespace {

constexpr long BIT_31 = -2147483647L - 1;

// ---- Text validators ----

struct Text_Case {
    const char* strValidator;
    bool (*validate)(const QString&);
    QString strText;
    bool blnValid;
};

QString Repeat(char ch, int lngCount) { return QString(lngCount, QLatin1Char(ch)); }

void PrintTo(const Text_Case& c, std::ostream* os) {
    *os << c.strValidator << "(\"" << c.strText.left(20).toStdString() << "\", length " << c.strText.size() << ")";
}

class TextValidatorTest : public ::testing::TestWithParam<Text_Case> {};

TEST_P(TextValidatorTest, AcceptsExactlyWhatItShould) {
    EXPECT_EQ(GetParam().validate(GetParam().strText), GetParam().blnValid);
}

const Text_Case TEXT_CASES[] = {
    {"Is_Valid_Text_255", Is_Valid_Text_255, "", false},
    {"Is_Valid_Text_255", Is_Valid_Text_255, "a", true},
    {"Is_Valid_Text_255", Is_Valid_Text_255, Repeat(' ', 255), true},
    {"Is_Valid_Text_255", Is_Valid_Text_255, Repeat('a', 127) + " " + Repeat('b', 127), true},
    {"Is_Valid_Text_255", Is_Valid_Text_255, Repeat('a', 256), false},
    {"Is_Valid_Text_255", Is_Valid_Text_255, "O'Brien", false},
    {"Is_Valid_Text_255", Is_Valid_Text_255, "'", false},
    {"Is_Valid_Pwd_Text", Is_Valid_Pwd_Text, "", false},
    {"Is_Valid_Pwd_Text", Is_Valid_Pwd_Text, "x", true},
    {"Is_Valid_Pwd_Text", Is_Valid_Pwd_Text, Repeat('p', 19) + " ", true},
    {"Is_Valid_Pwd_Text", Is_Valid_Pwd_Text, Repeat('p', 21), false},
    {"Is_Valid_Pwd_Text", Is_Valid_Pwd_Text, "pass'word", false},
    {"Is_Valid_Text_100_No_Space", Is_Valid_Text_100_No_Space, "", false},
    {"Is_Valid_Text_100_No_Space", Is_Valid_Text_100_No_Space, Repeat('s', 100), true},
    {"Is_Valid_Text_100_No_Space", Is_Valid_Text_100_No_Space, Repeat('s', 101), false},
    {"Is_Valid_Text_100_No_Space", Is_Valid_Text_100_No_Space, "my server", false},
    {"Is_Valid_Text_100_No_Space", Is_Valid_Text_100_No_Space, "o'server", true},
    {"Is_Valid_Text_100_No_Space", Is_Valid_Text_100_No_Space, "tab\tserver", true},  // only " " is a blank
    {"Is_Valid_Text_Min2_No_Space", Is_Valid_Text_Min2_No_Space, "", false},
    {"Is_Valid_Text_Min2_No_Space", Is_Valid_Text_Min2_No_Space, "x", false},
    {"Is_Valid_Text_Min2_No_Space", Is_Valid_Text_Min2_No_Space, ".x", true},
    {"Is_Valid_Text_Min2_No_Space", Is_Valid_Text_Min2_No_Space, Repeat('e', 300), true},
    {"Is_Valid_Text_Min2_No_Space", Is_Valid_Text_Min2_No_Space, ".e e", false},
    {"Is_Valid_Text_50_No_Space", Is_Valid_Text_50_No_Space, "", false},
    {"Is_Valid_Text_50_No_Space", Is_Valid_Text_50_No_Space, Repeat('m', 50), true},
    {"Is_Valid_Text_50_No_Space", Is_Valid_Text_50_No_Space, Repeat('m', 51), false},
    {"Is_Valid_Text_50_No_Space", Is_Valid_Text_50_No_Space, "a b@example.com", false},
    {"Has_No_Space", Has_No_Space, "", true},
    {"Has_No_Space", Has_No_Space, Repeat('w', 5000), true},
    {"Has_No_Space", Has_No_Space, "www.example.com ", false},
    {"Always_True", Always_True, "", true},
    {"Always_True", Always_True, " it's ", true},
};

INSTANTIATE_TEST_SUITE_P(Cases, TextValidatorTest, ::testing::ValuesIn(TEXT_CASES));

struct Port_Case {
    long lngPort;
    bool blnValid;
};

class PortNumberTest : public ::testing::TestWithParam<Port_Case> {};

TEST_P(PortNumberTest, AcceptsZeroTo65535) { EXPECT_EQ(Is_Valid_Port_Number(GetParam().lngPort), GetParam().blnValid); }

INSTANTIATE_TEST_SUITE_P(Cases, PortNumberTest,
                         ::testing::Values(Port_Case{0, true}, Port_Case{65535, true}, Port_Case{80, true},
                                           Port_Case{-1, false}, Port_Case{65536, false}, Port_Case{BIT_31, false}));

// ---- Flags ----

struct Flag_Case {
    Flag_Word lngFlags;
    Flag_Word lngBit;
    bool blnSet;
    Flag_Word lngAfter;
};

class SetBitInFlagsTest : public ::testing::TestWithParam<Flag_Case> {};

TEST_P(SetBitInFlagsTest, SetsOrClearsTheGivenBitsOnly) {
    Flag_Word lngFlags = GetParam().lngFlags;
    EXPECT_TRUE(Set_Bit_In_Flags(lngFlags, GetParam().lngBit, GetParam().blnSet));
    EXPECT_EQ(lngFlags, GetParam().lngAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetBitInFlagsTest,
                         ::testing::Values(Flag_Case{1, 4, true, 5}, Flag_Case{5, 4, true, 5}, Flag_Case{7, 4, false, 3},
                                           Flag_Case{3, 4, false, 3}, Flag_Case{7, 6, false, 1},
                                           Flag_Case{0, BIT_31, true, BIT_31}, Flag_Case{-1, BIT_31, false, 2147483647},
                                           Flag_Case{0, 1L << 31, true, BIT_31}));

// ---- Names ----

class NamesTest : public test::Dv_Test {};

TEST_F(NamesTest, LoggedOnUserNameComesFromThePlatform) {
    environment->strUserName = "Jane Doe";
    EXPECT_EQ(Get_Logged_On_User_Name(), "Jane Doe");
    environment->strUserName.clear();
    EXPECT_EQ(Get_Logged_On_User_Name(), "");
}

TEST(ByteArrayToString, GivesOneCharacterPerByteZerosIncluded) {
    const QByteArray bytes("C:\\lib\\LHDVSOCK.DLL\0\0\x01\xff\x80z", 25);
    const QString strText = Byte_Array_To_String(bytes);
    ASSERT_EQ(strText.size(), bytes.size());
    EXPECT_TRUE(strText.startsWith("C:\\lib\\LHDVSOCK.DLL"));
    EXPECT_EQ(strText[19], QChar(0));
    EXPECT_EQ(strText[21], QChar(1));
    EXPECT_EQ(strText[24], QChar('z'));
    EXPECT_TRUE(strText.contains("lhdvsock.dll", Qt::CaseInsensitive));
    EXPECT_EQ(Byte_Array_To_String(QByteArray()), "");
}

// ---- Schedule texts ----

struct Type_Case {
    long lngDWM;
    const char* strText;
};

class ScheduleTypeTest : public ::testing::TestWithParam<Type_Case> {};

TEST_P(ScheduleTypeTest, TypeToText) {
    QString strText = "old";
    EXPECT_TRUE(Schedule_Type_To_Text(GetParam().lngDWM, strText));
    EXPECT_EQ(strText, GetParam().strText);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScheduleTypeTest,
                         ::testing::Values(Type_Case{1, "Daily"}, Type_Case{2, "Weekly"}, Type_Case{3, "Monthly"},
                                           Type_Case{0, "Monthly"}, Type_Case{4, "Monthly"}, Type_Case{-1, "Monthly"}));

TEST(ScheduleTextToType, ExactTextsOrElseMonthly) {
    const std::pair<const char*, long> cases[] = {{"Daily", 1}, {"Weekly", 2}, {"Monthly", 3},
                                                  {"daily", 3}, {"Weekly ", 3}, {"", 3}};
    for (const auto& [strText, lngExpected] : cases) {
        long lngDWM = 0;
        EXPECT_TRUE(Schedule_Text_To_Type(strText, lngDWM));
        EXPECT_EQ(lngDWM, lngExpected) << strText;
    }
}

struct Flags_Text_Case {
    bool blnMonths;
    long lngBits;
    const char* strBefore;
    const char* strAfter;
};

class FlagsToTextTest : public ::testing::TestWithParam<Flags_Text_Case> {};

TEST_P(FlagsToTextTest, AppendsTheShortNamesInFlagOrder) {
    QString strText = GetParam().strBefore;
    if (GetParam().blnMonths)
        Months_To_Text(GetParam().lngBits, strText);
    else
        Weekdays_To_Text(GetParam().lngBits, strText);
    EXPECT_EQ(strText.toStdString(), GetParam().strAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FlagsToTextTest,
    ::testing::Values(Flags_Text_Case{false, 65, "", "Sun, Sat"}, Flags_Text_Case{false, 0, "", ""},
                      Flags_Text_Case{false, 0, "kept", "kept"}, Flags_Text_Case{false, 2, "Sun", "Sun, Mon"},
                      Flags_Text_Case{false, 127, "", "Sun, Mon, Tue, Wed, Thu, Fri, Sat"},
                      Flags_Text_Case{false, 128 | 8, "", "Wed"},  // flags past Saturday are ignored
                      Flags_Text_Case{true, 2048 | 1, "", "Jan, Dec"},
                      Flags_Text_Case{true, 4095, "", "Jan, Feb, Mar, Apr, May, Jun, Jul, Aug, Sep, Oct, Nov, Dec"},
                      Flags_Text_Case{true, 0, "x", "x"}, Flags_Text_Case{true, BIT_31 | 16, "", "May"}));

struct Cut_Case {
    const char16_t* strText;
    qsizetype lngLength;
    const char16_t* strCut;
};

class CutTextTest : public ::testing::TestWithParam<Cut_Case> {};

TEST_P(CutTextTest, NeverKeepsHalfACharacter) {
    const Cut_Case& c = GetParam();
    EXPECT_EQ(Cut_Text(QString::fromUtf16(c.strText), c.lngLength), QString::fromUtf16(c.strCut));
}

// U+1F600 is the pair D83D DE00.
INSTANTIATE_TEST_SUITE_P(
    Cases, CutTextTest,
    ::testing::Values(Cut_Case{u"abcdef", 3, u"abc"}, Cut_Case{u"abc", 10, u"abc"}, Cut_Case{u"abc", 0, u""},
                      Cut_Case{u"ab\xD83D\xDE00", 3, u"ab"}, Cut_Case{u"ab\xD83D\xDE00", 4, u"ab\xD83D\xDE00"},
                      Cut_Case{u"a\xD83D\xDE00z", 3, u"a\xD83D\xDE00"}, Cut_Case{u"\xD83D\xDE00", 1, u""}));

TEST(HalfCharactersTest, UnpairedHalvesAreDroppedAndPairsKept) {
    EXPECT_EQ(Without_Half_Characters(QString::fromUtf16(u"a\xD83D" u"b\xDE00" u"c\xD83D\xDE00\xD83D")),
              QString::fromUtf16(u"abc\xD83D\xDE00"));
    const QString strWhole = QStringLiteral("plain");
    EXPECT_EQ(Without_Half_Characters(strWhole), strWhole);
}

}  // namespace
