#include "database/modDBFunctions.h"
#include "support/Fixture.h"

#include <QFile>
#include <functional>
#include <map>
#include <string>

using namespace modDBFunctions;

namespace {

constexpr long BIT_31 = -2147483647L - 1;  // 2^31 as a 32-bit flag

std::string S(const QString& strText) { return strText.toStdString(); }

// Two users besides the all-users row, and two computers. The owner under test is
// bob (user id 2) or computer 1, so a procedure that mixes up the ids or the tables
// changes or reads a row it must not.
class OwnerTest : public test::Dv_Test {
protected:
    void SetUp() override {
        Dv_Test::SetUp();
        lngAlice = Insert_User("alice");
        lngBob = Insert_User("bob");
        Exec("INSERT INTO COMPUTER_TBL (COMPUTER_ID) VALUES (1), (2)");
        ASSERT_EQ(lngBob, 2);
    }

    // Every row of both owner tables: "USER_TBL:<id>" -> the columns joined by "|".
    std::map<std::string, std::string> Snapshot(const QString& strColumns) {
        std::map<std::string, std::string> rows;
        for (const char* strTable : {"USER_TBL", "COMPUTER_TBL"}) {
            const QString strId = QString(strTable) == "USER_TBL" ? "USER_ID" : "COMPUTER_ID";
            for (const QStringList& row : Query("SELECT " + strId + ", " + strColumns + " FROM " + strTable))
                rows[std::string(strTable) + ":" + S(row[0])] = S(row.mid(1).join("|"));
        }
        return rows;
    }

    long lngAlice = 0, lngBob = 0;
};

// ---- USER_TBL: users ----

TEST_F(OwnerTest, AllUsersComeInIdOrderWithTheAllUsersRowFirst) {
    long lngRows = 0;
    Query_Result arrResult;
    ASSERT_TRUE(Get_All_Users(lngRows, arrResult));
    ASSERT_EQ(lngRows, 3);
    EXPECT_EQ(arrResult(1, 0), "All Users");
    EXPECT_EQ(arrResult(1, 1), "0");
    EXPECT_EQ(arrResult(2, 0), "alice");
    EXPECT_EQ(arrResult(3, 0), "bob");
    EXPECT_EQ(arrResult(3, 1), "2");
}

// Get_User_Id, the lookup of a user by a shown or typed name.
struct User_Id_Case {
    const char* strAsked;
    const char* strFound;  // the stored bytes of the name whose id answers; nullptr: none
};

void PrintTo(const User_Id_Case& c, std::ostream* os) { *os << c.strAsked; }

class UserIdTest : public test::Dv_Test, public ::testing::WithParamInterface<User_Id_Case> {};

TEST_P(UserIdTest, TheNameStoredExactlyAnswersBeforeACaseTwinAndNoMatchSelectsNoOne) {
    // Twins in letter case, a twin of the All Users row, a name in Windows-1252.
    for (const char* strName : {"ADMIN", "BOB", "bob", "all users", "O'Brien"}) Insert_User(strName);
    Exec("INSERT INTO USER_TBL (USER_NAME) VALUES (CAST(X'4A6F73E9' AS TEXT))");
    long lngUserID = -5;
    const bool blnFound = Get_User_Id(lngUserID, QString::fromUtf8(GetParam().strAsked));
    EXPECT_TRUE(Boxes().empty()) << "no such user is no failure to report";
    if (!GetParam().strFound) {
        EXPECT_FALSE(blnFound);
        EXPECT_EQ(lngUserID, -5);  // left unchanged
        return;
    }
    ASSERT_TRUE(blnFound);
    EXPECT_EQ(Scalar("SELECT hex(USER_NAME) FROM USER_TBL WHERE USER_ID=" + QString::number(lngUserID)),
              QString::fromLatin1(QByteArray(GetParam().strFound).toHex().toUpper()));
}

INSTANTIATE_TEST_SUITE_P(Cases, UserIdTest,
                         ::testing::Values(User_Id_Case{"bob", "bob"}, User_Id_Case{"BOB", "BOB"},
                                           // no exact match: the first in another case
                                           User_Id_Case{"Bob", "BOB"}, User_Id_Case{"admin", "ADMIN"},
                                           User_Id_Case{"aDMIN", "ADMIN"}, User_Id_Case{"o'brien", "O'Brien"},
                                           User_Id_Case{"all users", "all users"},
                                           User_Id_Case{"All Users", "All Users"},
                                           // the name in Windows-1252, asked as it is shown
                                           User_Id_Case{"Jos\u00e9", "Jos\xe9"},
                                           User_Id_Case{"JOS\u00e9", "Jos\xe9"}, User_Id_Case{"adm", nullptr},
                                           User_Id_Case{"nobody", nullptr}, User_Id_Case{"x' OR '1'='1", nullptr}));

struct Add_User_Case {
    const char* strName;
    const char* strExisting;  // the stored bytes of the row that answers; nullptr: a new row
};

void PrintTo(const Add_User_Case& c, std::ostream* os) { *os << c.strName; }

class AddUserTest : public test::Dv_Test, public ::testing::WithParamInterface<Add_User_Case> {};

TEST_P(AddUserTest, AddsANewRowOrAnswersTheRowThatHoldsTheNameInAnyStoredForm) {
    Insert_User("ADMIN");
    Exec("INSERT INTO USER_TBL (USER_NAME) VALUES (CAST(X'4A6F73E9' AS TEXT))");
    const long lngCount = Scalar("SELECT COUNT(*) FROM USER_TBL").toLong();
    long lngUserID = -1;
    ASSERT_TRUE(Add_User(QString::fromUtf8(GetParam().strName), lngUserID));
    const QByteArray answering = GetParam().strExisting ? GetParam().strExisting : GetParam().strName;
    EXPECT_EQ(Scalar("SELECT hex(USER_NAME) FROM USER_TBL WHERE USER_ID=" + QString::number(lngUserID)),
              QString::fromLatin1(answering.toHex().toUpper()));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL").toLong(), lngCount + (GetParam().strExisting ? 0 : 1));
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, AddUserTest,
                         ::testing::Values(Add_User_Case{"ADMIN", "ADMIN"}, Add_User_Case{"admin", nullptr},
                                           Add_User_Case{"O'Brien", nullptr},
                                           Add_User_Case{"a'); DROP TABLE X; --", nullptr},
                                           // the name stored in Windows-1252, typed as it is shown
                                           Add_User_Case{"Jos\u00e9", "Jos\xe9"},
                                           Add_User_Case{"JOS\u00e9", nullptr}));

TEST_F(OwnerTest, UserNameIsReadAndAMissingIdLeavesTheNameWithoutAnyBox) {
    QString strName = "before";
    ASSERT_TRUE(Get_User_Name(lngBob, strName));
    EXPECT_EQ(strName, "bob");
    strName = "before";
    EXPECT_TRUE(Get_User_Name(99, strName));
    EXPECT_EQ(strName, "before");
}

TEST_F(OwnerTest, DeleteUserRemovesOnlyItsUserRow) {
    Exec("INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES ('x.example', 0, 2)");
    Exec("INSERT INTO SCH_TBL (SCH_FOR, D_W_M, FROM_TIME, TO_TIME, USER_ID) VALUES (1, 1, '08:00', '09:00', 2)");
    ASSERT_TRUE(Delete_User(lngBob));
    EXPECT_EQ(Query("SELECT USER_NAME FROM USER_TBL ORDER BY USER_ID"), (test::Rows{{"All Users"}, {"alice"}}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM BL_TBL WHERE USER_ID=2"), "1");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM SCH_TBL WHERE USER_ID=2"), "1");
}

TEST_F(OwnerTest, RenameStoresTheNameAsTyped) {
    ASSERT_TRUE(Rename_User("Bob O'Neil", lngBob));
    EXPECT_EQ(Query("SELECT USER_NAME FROM USER_TBL ORDER BY USER_ID"),
              (test::Rows{{"All Users"}, {"alice"}, {"Bob O'Neil"}}));
}

// ---- USER_TBL / COMPUTER_TBL: the owner rule ----

struct Owner_Case {
    const char* strName;
    const char* strColumns;
    std::function<Row_Write(long, long)> write;
    std::function<bool(long, long, QString&)> read;  // what the getter hands back, joined by "|"
    const char* strExpected;
};

const Owner_Case OWNER_CASES[] = {
    {"DeviceLock", "DEVICE_LOCK", [](long c, long u) { return Set_Device_Lock(c, u, 61); },
     [](long c, long u, QString& s) {
         long v = 0;
         const bool b = Get_Device_Lock(c, u, v);
         s = QString::number(v);
         return b;
     },
     "61"},
    {"ApplicationMessage", "APP_MSG_TYPE, APP_BLOCKER_MSG",
     [](long c, long u) { return Set_Application_Message(c, u, 0, "Don't run 'this'"); },
     [](long c, long u, QString& s) {
         long v = 0;
         QString m;
         const bool b = Get_Application_Message(c, u, v, m);
         s = QString::number(v) + "|" + m;
         return b;
     },
     "0|Don't run 'this'"},
    {"WebsiteMessage", "URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL",
     [](long c, long u) { return Set_Website_Message(c, u, 3, "It's blocked", "http://x.example/?q='a'"); },
     [](long c, long u, QString& s) {
         long v = 0;
         QString m, r;
         const bool b = Get_Website_Message(c, u, v, m, r);
         s = QString::number(v) + "|" + m + "|" + r;
         return b;
     },
     "3|It's blocked|http://x.example/?q='a'"},
    {"FeatureBits", "FEATURE_BITS", [](long c, long u) { return Write_Feature_Bits(c, u, BIT_31 | 4); },
     [](long c, long u, QString& s) {
         Flag_Word v = 0;
         const bool b = Read_Feature_Bits(c, u, v);
         s = QString::number(v);
         return b;
     },
     "-2147483644"},
    {"StatusBits", "STATUS_BITS", [](long c, long u) { return Write_Status_Bits(c, u, 4); },
     [](long c, long u, QString& s) {
         Flag_Word v = 0;
         const bool b = Read_Status_Bits(c, u, v);
         s = QString::number(v);
         return b;
     },
     "4"},
    {"SetFeatureBit", "FEATURE_BITS",
     [](long c, long u) { return Set_Feature_Bit(true, 512, c, u); },
     [](long c, long u, QString& s) {
         s = Is_Feature_Bit_Set(c, u, 512) ? "512" : "not set";
         return true;
     },
     "512"},
    {"SetStatusBit", "STATUS_BITS",
     [](long c, long u) { return Set_Status_Bit(true, 4, c, u); },
     [](long c, long u, QString& s) {
         Flag_Word v = 0;
         const bool b = Read_Status_Bits(c, u, v);
         s = QString::number(v);
         return b;
     },
     "4"},
};

void PrintTo(const Owner_Case& c, std::ostream* os) { *os << c.strName; }

class OwnerRuleTest : public OwnerTest,
                      public ::testing::WithParamInterface<std::tuple<Owner_Case, long>> {};

TEST_P(OwnerRuleTest, WritesAndReadsOnlyTheOwnersRow) {
    const auto& [c, lngComputerID] = GetParam();
    const std::string strTarget = lngComputerID >= 1 ? "COMPUTER_TBL:" + std::to_string(lngComputerID) : "USER_TBL:2";
    auto expected = Snapshot(c.strColumns);
    expected[strTarget] = c.strExpected;

    ASSERT_TRUE(c.write(lngComputerID, lngBob));
    EXPECT_EQ(Snapshot(c.strColumns), expected);
    QString strRead;
    ASSERT_TRUE(c.read(lngComputerID, lngBob, strRead));
    EXPECT_EQ(S(strRead), c.strExpected);
}

INSTANTIATE_TEST_SUITE_P(Cases, OwnerRuleTest,
                         ::testing::Combine(::testing::ValuesIn(OWNER_CASES), ::testing::Values(1L, 0L, -1L)),
                         [](const auto& info) {
                             const long c = std::get<1>(info.param);
                             return std::string(std::get<0>(info.param).strName) +
                                    (c >= 1 ? "_Computer" : c == 0 ? "_User" : "_NegativeComputerId");
                         });

struct Mode_Read_Case {
    long lngComputerID;
    long lngOnOff, lngSchFor;
};

class InternetModeReadTest : public OwnerTest, public ::testing::WithParamInterface<Mode_Read_Case> {};

TEST_P(InternetModeReadTest, ReadsTheOwnersRow) {
    Exec("UPDATE USER_TBL SET IA_ON_OFF=7, SCH_FOR=17 WHERE USER_ID=2");
    Exec("UPDATE COMPUTER_TBL SET IA_ON_OFF=8, SCH_FOR=18 WHERE COMPUTER_ID=1");
    Exec("UPDATE COMPUTER_TBL SET IA_ON_OFF=9, SCH_FOR=19 WHERE COMPUTER_ID=2");
    long lngOnOff = -1, lngSchFor = -1;
    ASSERT_TRUE(Get_Internet_On_Off(GetParam().lngComputerID, lngBob, lngOnOff));
    ASSERT_TRUE(Get_Schedule_For(GetParam().lngComputerID, lngBob, lngSchFor));
    EXPECT_EQ(lngOnOff, GetParam().lngOnOff);
    EXPECT_EQ(lngSchFor, GetParam().lngSchFor);
}

INSTANTIATE_TEST_SUITE_P(Cases, InternetModeReadTest,
                         ::testing::Values(Mode_Read_Case{1, 8, 18}, Mode_Read_Case{0, 7, 17},
                                           Mode_Read_Case{-3, 7, 17}));

TEST_F(OwnerTest, OwnerRowMissingFailsWithOneBoxAndLeavesTheOutParameters) {
    long lngLock = 5, lngType = 5;
    QString strMessage = "kept";
    EXPECT_FALSE(Get_Device_Lock(7, lngBob, lngLock));
    EXPECT_FALSE(Get_Application_Message(0, 99, lngType, strMessage));
    EXPECT_EQ(lngLock, 5);
    EXPECT_EQ(lngType, 5);
    EXPECT_EQ(strMessage, "kept");
    EXPECT_EQ(Boxes().size(), 2u);
}

// ---- USER_TBL only ----

struct User_Only_Case {
    const char* strName;
    const char* strColumns;
    std::function<Row_Write(long)> write;
    const char* strExpected;
};

const User_Only_Case USER_ONLY_CASES[] = {
    {"DeviceLock", "DEVICE_LOCK", [](long u) { return Set_User_Device_Lock(63, u); }, "63"},
    {"InternetOff", "IA_ON_OFF, SCH_FOR", [](long u) { return Set_User_Internet_On_Off(0, u); }, "0|1"},
    {"InternetOn", "IA_ON_OFF, SCH_FOR", [](long u) { return Set_User_Internet_On_Off(1, u); }, "1|1"},
    {"ScheduleFor", "IA_ON_OFF, SCH_FOR", [](long u) { return Set_User_Schedule_For(1, u); }, "5|1"},
    {"Messages", "URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL, APP_MSG_TYPE, APP_BLOCKER_MSG",
     [](long u) { return Set_User_Messages(u, 3, "Site's off", "http://a.example/'", 0, "App's off"); },
     "3|Site's off|http://a.example/'|0|App's off"},
};

void PrintTo(const User_Only_Case& c, std::ostream* os) { *os << c.strName; }

class UserOnlyTest : public OwnerTest, public ::testing::WithParamInterface<User_Only_Case> {};

TEST_P(UserOnlyTest, ChangesOnlyTheUsersRowWhateverTheComputers) {
    // Start from a scheduler-driven owner so the on/off writes show they reset SCH_FOR.
    Exec("UPDATE USER_TBL SET IA_ON_OFF=5, SCH_FOR=2");
    Exec("UPDATE COMPUTER_TBL SET IA_ON_OFF=5, SCH_FOR=2");
    auto expected = Snapshot(GetParam().strColumns);
    expected["USER_TBL:2"] = GetParam().strExpected;
    ASSERT_TRUE(GetParam().write(lngBob));
    EXPECT_EQ(Snapshot(GetParam().strColumns), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, UserOnlyTest, ::testing::ValuesIn(USER_ONLY_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

TEST_F(OwnerTest, UserMessagesAreReadAsOneRowInColumnOrder) {
    ASSERT_TRUE(Set_User_Messages(lngBob, 1, "blocked", "http://r.example", 0, "no"));
    Query_Result arrResult;
    long lngRows = 0;
    ASSERT_TRUE(Get_User_Messages(lngBob, arrResult, lngRows));
    ASSERT_EQ(lngRows, 1);
    QStringList values;
    for (int c = 0; c < 5; ++c) values << arrResult(1, c);
    EXPECT_EQ(values, (QStringList{"1", "blocked", "http://r.example", "0", "no"}));
}

// ---- USER_TBL / COMPUTER_TBL: feature and status flags ----

enum class Flags { Feature, Status };

struct Bit_Case {
    bool blnSet;
    Flag_Word lngBit;
    Flag_Word lngBefore;
    Flag_Word lngAfter;
};

void PrintTo(Flags f, std::ostream* os) { *os << (f == Flags::Feature ? "FEATURE_BITS" : "STATUS_BITS"); }
void PrintTo(const Bit_Case& c, std::ostream* os) {
    *os << (c.blnSet ? "set " : "clear ") << c.lngBit << " on " << c.lngBefore << " -> " << c.lngAfter;
}

class SetBitTest : public OwnerTest, public ::testing::WithParamInterface<std::tuple<Flags, Bit_Case>> {};

TEST_P(SetBitTest, SetsOrClearsOnlyThatBit) {
    const auto& [flags, c] = GetParam();
    const QString strColumn = flags == Flags::Feature ? "FEATURE_BITS" : "STATUS_BITS";
    Exec("UPDATE USER_TBL SET " + strColumn + "=" + QString::number(c.lngBefore) + " WHERE USER_ID=2");
    if (flags == Flags::Feature)
        Set_Feature_Bit(c.blnSet, c.lngBit, 0, lngBob);
    else
        Set_Status_Bit(c.blnSet, c.lngBit, 0, lngBob);
    EXPECT_EQ(Scalar("SELECT " + strColumn + " FROM USER_TBL WHERE USER_ID=2"), QString::number(c.lngAfter));
    Flag_Word lngRead = 0;
    ASSERT_TRUE(flags == Flags::Feature ? Read_Feature_Bits(0, lngBob, lngRead) : Read_Status_Bits(0, lngBob, lngRead));
    EXPECT_EQ(lngRead, c.lngAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetBitTest,
    ::testing::Combine(::testing::Values(Flags::Feature, Flags::Status),
                       ::testing::Values(Bit_Case{true, 4, 9, 13}, Bit_Case{false, 4, 13, 9}, Bit_Case{false, 4, 9, 9},
                                         Bit_Case{true, 4, 13, 13}, Bit_Case{true, BIT_31, 1, BIT_31 + 1},
                                         Bit_Case{false, BIT_31, BIT_31 + 1, 1},
                                         // 2^31 computed as a positive number still means bit 31
                                         Bit_Case{true, 1L << 31, 0, BIT_31},
                                         Bit_Case{false, 1L << 31, -1, 2147483647})));

// Flags beyond the signed 32-bit range (written by other programs: an unsigned word with
// bit 31, bits above 31) are read, switched and written back whole.
INSTANTIATE_TEST_SUITE_P(
    BeyondThe32BitRange, SetBitTest,
    ::testing::Combine(::testing::Values(Flags::Feature, Flags::Status),
                       ::testing::Values(Bit_Case{true, 4, 2147483784, 2147483788},
                                         Bit_Case{false, 8, 2147483784, 2147483776},
                                         Bit_Case{false, BIT_31, 2147483784, 136},
                                         Bit_Case{true, 1L << 31, 4294967296, 6442450944},
                                         Bit_Case{true, 1, 4294967296, 4294967297},
                                         Bit_Case{false, 4, (1L << 40) + 4 + 1, (1L << 40) + 1},
                                         Bit_Case{true, 4, -2147483649, -2147483649 | 4},
                                         Bit_Case{false, 1, -1 - (1L << 40), -2 - (1L << 40)})));

class SetBitReadFailsTest : public OwnerTest, public ::testing::WithParamInterface<std::tuple<Flags, const char*>> {};

TEST_P(SetBitReadFailsTest, UnreadableFlagsAreNotOverwritten) {
    const auto& [flags, strStored] = GetParam();
    const QString strColumn = flags == Flags::Feature ? "FEATURE_BITS" : "STATUS_BITS";
    Exec("UPDATE USER_TBL SET " + strColumn + "=" + strStored + " WHERE USER_ID=2");
    const QString strBefore = Scalar("SELECT " + strColumn + " FROM USER_TBL WHERE USER_ID=2");
    if (flags == Flags::Feature)
        Set_Feature_Bit(true, 4, 0, lngBob);
    else
        Set_Status_Bit(true, 4, 0, lngBob);
    EXPECT_EQ(Scalar("SELECT " + strColumn + " FROM USER_TBL WHERE USER_ID=2"), strBefore);
    EXPECT_EQ(Boxes().size(), 1u);  // the failed read only
}

INSTANTIATE_TEST_SUITE_P(Cases, SetBitReadFailsTest,
                         ::testing::Combine(::testing::Values(Flags::Feature, Flags::Status),
                                            // No whole number, or one beyond 64 bits (stored as a real).
                                            ::testing::Values("'garbage'", "''", "2.5", "18446744073709551616")));

TEST_F(OwnerTest, SetBitWithAMissingDatabaseShowsOneBoxAndWritesNothing) {
    QFile::remove(Database_File());
    Set_Feature_Bit(true, 4, 0, lngBob);
    Set_Status_Bit(false, 4, 1, lngBob);
    EXPECT_EQ(Boxes().size(), 2u);
    EXPECT_FALSE(QFile::exists(Database_File()));
}

struct Is_Set_Case {
    Flag_Word lngFlags;
    Flag_Word lngBit;
    bool blnSet;
};

void PrintTo(const Is_Set_Case& c, std::ostream* os) { *os << "bit " << c.lngBit << " of " << c.lngFlags; }

class IsFeatureBitSetTest : public OwnerTest, public ::testing::WithParamInterface<Is_Set_Case> {};

TEST_P(IsFeatureBitSetTest, AnswersForAnyOfThe32Bits) {
    Exec("UPDATE COMPUTER_TBL SET FEATURE_BITS=" + QString::number(GetParam().lngFlags) + " WHERE COMPUTER_ID=1");
    EXPECT_EQ(Is_Feature_Bit_Set(1, lngBob, GetParam().lngBit), GetParam().blnSet);
}

INSTANTIATE_TEST_SUITE_P(Cases, IsFeatureBitSetTest,
                         ::testing::Values(Is_Set_Case{BIT_31, BIT_31, true}, Is_Set_Case{BIT_31, 1L << 31, true},
                                           Is_Set_Case{2147483647, BIT_31, false}, Is_Set_Case{13, 4, true},
                                           Is_Set_Case{9, 4, false}, Is_Set_Case{-1, 16384, true},
                                           Is_Set_Case{0, 0, false}));

INSTANTIATE_TEST_SUITE_P(BeyondThe32BitRange, IsFeatureBitSetTest,
                         ::testing::Values(Is_Set_Case{2147483784, BIT_31, true}, Is_Set_Case{2147483784, 128, true},
                                           Is_Set_Case{2147483784, 4, false}, Is_Set_Case{4294967296, 1, false},
                                           Is_Set_Case{4294967296, BIT_31, false},
                                           Is_Set_Case{(1L << 40) + 2, 2, true},
                                           Is_Set_Case{-2147483649, BIT_31, false},
                                           Is_Set_Case{-2147483649, 1L << 30, true}));

TEST_F(OwnerTest, EachReadOfFlagsThatAreNoWholeNumberFailsWithOneBoxAndAnswersUnset) {
    for (const char* strStored : {"'garbage'", "2.5", "18446744073709551616"}) {
        Exec(QString("UPDATE COMPUTER_TBL SET FEATURE_BITS=%1 WHERE COMPUTER_ID=1").arg(strStored));
        Flag_Word lngBits = 7;
        EXPECT_FALSE(Read_Feature_Bits(1, lngBob, lngBits)) << strStored;
        EXPECT_EQ(lngBits, 7) << strStored;
        EXPECT_FALSE(Is_Feature_Bit_Set(1, lngBob, 2)) << strStored;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 2u) << strStored;
        EXPECT_TRUE(boxes[0].strText.startsWith(QString(strStored).startsWith("18") ? "Overflow" : "Type mismatch"))
            << S(boxes[0].strText);
    }
}

TEST_F(OwnerTest, IsFeatureBitSetIsFalseWhenTheReadFails) {
    EXPECT_FALSE(Is_Feature_Bit_Set(0, 99, 4));
    EXPECT_EQ(Boxes().size(), 1u);
}

// ---- Words read and written back in one write transaction ----

// Each procedure that changes part of a stored word: a row that is not there (another
// program removed it) and a word that is no whole number each store nothing and show one
// box; the word's other parts stay as stored at the write.
struct Word_Write_Case {
    const char* strName;
    const char* strWord;    // reads the word
    const char* strSet;     // stores a word: %1 the value
    const char* strRemove;  // removes the row
    std::function<Row_Write(long lngUserID)> write;
    const char* strStart;
    const char* strAfter;
    const char* strNotStored;  // the box of a row that is not there
};

void PrintTo(const Word_Write_Case& c, std::ostream* os) { *os << c.strName; }

const char* const NO_USER = "The user is not stored as listed, so nothing was changed.";

const Word_Write_Case WORD_WRITES[] = {
    {"FeatureBit", "SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=2", "UPDATE USER_TBL SET FEATURE_BITS=%1",
     "DELETE FROM USER_TBL WHERE USER_ID=2", [](long u) { return Set_Feature_Bit(true, 4, 0, u); }, "16385", "16389",
     NO_USER},
    {"StatusBit", "SELECT STATUS_BITS FROM USER_TBL WHERE USER_ID=2", "UPDATE USER_TBL SET STATUS_BITS=%1",
     "DELETE FROM USER_TBL WHERE USER_ID=2", [](long u) { return Set_Status_Bit(false, 4, 0, u); }, "12", "8",
     NO_USER},
    {"ComputerFeatureBit", "SELECT FEATURE_BITS FROM COMPUTER_TBL WHERE COMPUTER_ID=1",
     "UPDATE COMPUTER_TBL SET FEATURE_BITS=%1", "DELETE FROM COMPUTER_TBL WHERE COMPUTER_ID=1",
     [](long u) { return Set_Feature_Bit(false, 1, 1, u); }, "3", "2",
     "The computer is not stored as listed, so nothing was changed."},
    // The USB field and a bit above the three fields go; the floppy field stays.
    {"DeviceLock", "SELECT DEVICE_LOCK FROM USER_TBL WHERE USER_ID=2", "UPDATE USER_TBL SET DEVICE_LOCK=%1",
     "DELETE FROM USER_TBL WHERE USER_ID=2",
     [](long u) {
         return Change_Device_Lock(0, u, [](Flag_Word& lngLock) { lngLock &= 3; });
     },
     "115", "3", NO_USER},
    {"ClientOptions", "SELECT CLIENT_OPTIONS FROM SETTINGS_TBL", "UPDATE SETTINGS_TBL SET CLIENT_OPTIONS=%1",
     "UPDATE SETTINGS_TBL SET SETTINGS_ID=5",
     [](long) {
         return Change_Client_Options([](Flag_Word& lngOptions) { lngOptions |= 2; });
     },
     "4294967296", "4294967298", "The settings are not stored as listed, so nothing was changed."},
};

class WordWriteTest : public OwnerTest, public ::testing::WithParamInterface<Word_Write_Case> {};

TEST_P(WordWriteTest, ChangesOnlyItsPartOfTheStoredWord) {
    const Word_Write_Case& c = GetParam();
    Exec(QString(c.strSet).arg(c.strStart));
    EXPECT_TRUE(c.write(lngBob));
    EXPECT_EQ(Scalar(c.strWord), c.strAfter);
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(WordWriteTest, ARowThatIsGoneIsReportedOnceAsNotStored) {
    const Word_Write_Case& c = GetParam();
    Exec(c.strRemove);
    const test::Rows before = Query(QString(c.strWord).section(" WHERE", 0, 0));
    EXPECT_TRUE(c.write(lngBob).Not_Stored());
    EXPECT_EQ(Query(QString(c.strWord).section(" WHERE", 0, 0)), before);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, c.strNotStored);
    EXPECT_EQ(boxes[0].lngStyle, 16);
}

TEST_P(WordWriteTest, AWordThatIsNoWholeNumberStaysAsStoredAfterTheReadsOneBox) {
    const Word_Write_Case& c = GetParam();
    Exec(QString(c.strSet).arg("'on'"));
    const Row_Write written = c.write(lngBob);
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.Not_Stored());
    EXPECT_EQ(Scalar(c.strWord), "on");
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.startsWith("Type mismatch")) << S(boxes[0].strText);
}

INSTANTIATE_TEST_SUITE_P(Callers, WordWriteTest, ::testing::ValuesIn(WORD_WRITES),
                         [](const auto& info) { return std::string(info.param.strName); });

// ---- Per-user clean-up ----

TEST_F(OwnerTest, DeleteUserRowsTakesEveryRowOfThatUserInThatTableOnly) {
    Exec("INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES ('a', 0, 2), ('b', 5, 2), ('c', 0, 1)");
    Exec("INSERT INTO WL_TBL (WL_URL, COMPUTER_ID, USER_ID) VALUES ('d', 0, 2)");
    ASSERT_TRUE(Delete_User_Rows(lngBob, "BL_TBL"));
    EXPECT_EQ(Query("SELECT BL_URL, USER_ID FROM BL_TBL"), (test::Rows{{"c", "1"}}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM WL_TBL"), "1");
}

TEST_F(OwnerTest, DeleteUserSchedulesTakesOnlyThatKindOfThatUser) {
    Exec("INSERT INTO SCH_TBL (SCH_FOR, D_W_M, FROM_TIME, TO_TIME, COMPUTER_ID, USER_ID) VALUES "
         "(1, 1, '08:00', '09:00', 0, 2), (1, 1, '10:00', '11:00', 3, 2), (2, 1, '08:00', '09:00', 0, 2), "
         "(1, 1, '08:00', '09:00', 0, 1)");
    ASSERT_TRUE(Delete_User_Schedules(1, lngBob));
    EXPECT_EQ(Query("SELECT SCH_FOR, USER_ID FROM SCH_TBL ORDER BY SCH_ID"), (test::Rows{{"2", "2"}, {"1", "1"}}));
}

}  // namespace
