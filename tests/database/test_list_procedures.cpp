#include "database/modDBFunctions.h"
#include "support/Fixture.h"

#include <QFile>
#include <functional>
#include <memory>

using namespace modDBFunctions;
using modDB::Db_Connection;
using modDB::MY_TRANS;

namespace {

// Column 0 of rows 1..lngRows.
QStringList Column0(const Query_Result& arrResult, long lngRows) {
    QStringList values;
    for (long r = 1; r <= lngRows; ++r) values << arrResult(static_cast<int>(r), 0);
    values.sort();
    return values;
}

class ListTest : public test::Dv_Test {
protected:
    // The owners the tests write for are stored: an insert stores nothing for an owner
    // whose row is not.
    void SetUp() override {
        Dv_Test::SetUp();
        Exec("INSERT INTO USER_TBL (USER_ID, USER_NAME) VALUES (2, 'u2'), (3, 'u3'), (5, 'u5')");
        Exec("INSERT INTO COMPUTER_TBL (COMPUTER_ID) VALUES (1), (4)");
    }
    Db_Connection Open() { return modDB::Open_Database(modDB::Get_Database_File()); }
};

// ---- Per-owner list tables ----

struct List_Table {
    const char* strTable;
    const char* strColumn;
};

class OwnerListTest : public ListTest, public ::testing::WithParamInterface<List_Table> {
protected:
    QString T() const { return GetParam().strTable; }
    QString C() const { return GetParam().strColumn; }
    void Insert_Row(const QString& strValue, long lngComputerID, long lngUserID) {
        QString strQuoted = strValue;
        strQuoted.replace("'", "''");
        Exec("INSERT INTO " + T() + " (" + C() + ", COMPUTER_ID, USER_ID) VALUES ('" + strQuoted + "', " +
             QString::number(lngComputerID) + ", " + QString::number(lngUserID) + ")");
    }
    test::Rows All_Rows() {
        return Query("SELECT " + C() + ", COMPUTER_ID, USER_ID FROM " + T() + " ORDER BY 1, 2, 3");
    }
};

TEST_P(OwnerListTest, InsertKeepsOneRowPerValueAndOwnerAndStoresTheTextAsTyped) {
    Db_Connection hDb = Open();
    Query_Result arrResult;
    {
        MY_TRANS trans(hDb);
        EXPECT_TRUE(Insert_Item_For_Owner(hDb, arrResult, C(), T(), "it's here", 0, 2));
        EXPECT_TRUE(Insert_Item_For_Owner(hDb, arrResult, C(), T(), "it's here", 0, 2));  // ignored
        EXPECT_TRUE(Insert_Item_For_Owner(hDb, arrResult, C(), T(), "it's here", 0, 3));
        EXPECT_TRUE(Insert_Item_For_Owner(hDb, arrResult, C(), T(), "it's here", 4, 2));
    }
    modDB::Close_Database(hDb);
    EXPECT_EQ(All_Rows(), (test::Rows{{"it's here", "0", "2"}, {"it's here", "0", "3"}, {"it's here", "4", "2"}}));
}

TEST_P(OwnerListTest, ItemsAreSelectedOnBothIds) {
    Insert_Row("a", 0, 2);
    Insert_Row("b'c", 0, 2);
    Insert_Row("other user", 0, 3);
    Insert_Row("other computer", 4, 2);
    Query_Result arrResult;
    long lngRows = -1;
    ASSERT_TRUE(Get_Items_For_Owner(C(), T(), 0, 2, arrResult, lngRows));
    EXPECT_EQ(Column0(arrResult, lngRows), (QStringList{"a", "b'c"}));
    ASSERT_TRUE(Get_Items_For_Owner(C(), T(), 4, 2, arrResult, lngRows));
    EXPECT_EQ(Column0(arrResult, lngRows), (QStringList{"other computer"}));
    ASSERT_TRUE(Get_Items_For_Owner(C(), T(), 9, 9, arrResult, lngRows));
    EXPECT_EQ(lngRows, 0);
}

TEST_P(OwnerListTest, DeleteMatchesTheValueExactlyAndOnlyForTheOwner) {
    Insert_Row("Mixed'Case", 0, 2);
    Insert_Row("Mixed'Case", 0, 3);
    Db_Connection hDb = Open();
    Query_Result arrResult;
    // No row holds it in this letter case: nothing deleted, which is no success.
    EXPECT_FALSE(Delete_Item_For_Owner(hDb, arrResult, C(), T(), "mixed'case", 0, 2));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, No_Row_Message("mixed'case"));
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(All_Rows().size(), 2u);
    EXPECT_TRUE(Delete_Item_For_Owner(hDb, arrResult, C(), T(), "Mixed'Case", 0, 2));
    modDB::Close_Database(hDb);
    EXPECT_EQ(All_Rows(), (test::Rows{{"Mixed'Case", "0", "3"}}));
}

TEST_P(OwnerListTest, UpdateChangesTheOwnersEntryOnly) {
    Insert_Row("old", 0, 2);
    Insert_Row("old", 0, 3);
    Insert_Row("old", 4, 2);
    ASSERT_TRUE(Update_Item_For_Owner(C(), T(), "old", "new 'one'", 0, 2));
    EXPECT_EQ(All_Rows(), (test::Rows{{"new 'one'", "0", "2"}, {"old", "0", "3"}, {"old", "4", "2"}}));
}

TEST_P(OwnerListTest, AnEntryStoredInWindows1252IsFoundByTheTextItReadsAs) {
    const QString strCafe = QString::fromUtf8("caf\u00e9");
    // The same text in both stored forms, and the owner's other entries.
    for (const char* strValue : {"CAST(X'636166E9' AS TEXT)", "'caf\u00e9'", "'cafe'"})
        Exec("INSERT INTO " + T() + " (" + C() + ", COMPUTER_ID, USER_ID) VALUES (" + QString::fromUtf8(strValue) +
             ", 0, 2)");
    Exec("INSERT INTO " + T() + " (" + C() + ", COMPUTER_ID, USER_ID) VALUES (CAST(X'636166E9' AS TEXT), 0, 3)");
    Query_Result arrResult;
    long lngRows = 0;
    ASSERT_TRUE(Get_Items_For_Owner(C(), T(), 0, 3, arrResult, lngRows));
    EXPECT_EQ(Column0(arrResult, lngRows), QStringList{strCafe});
    // An update and a delete by that text reach both stored forms of the owner's rows.
    ASSERT_TRUE(Update_Item_For_Owner(C(), T(), strCafe, "tea", 0, 3));
    Db_Connection hDb = Open();
    EXPECT_TRUE(Delete_Item_For_Owner(hDb, arrResult, C(), T(), strCafe, 0, 2));
    modDB::Close_Database(hDb);
    EXPECT_EQ(All_Rows(), (test::Rows{{"cafe", "0", "2"}, {"tea", "0", "3"}}));
    // The batch's delete too.
    Insert_Row("caf\u00e9", 0, 2);
    Exec("INSERT INTO " + T() + " (" + C() + ", COMPUTER_ID, USER_ID) VALUES (CAST(X'636166E9' AS TEXT), 0, 2)");
    hDb = Open();
    {
        MY_TRANS trans(hDb);
        Owner_List_Batch batch(hDb, Owner_List_Batch::Delete_Items, C(), T(), 0, 2);
        EXPECT_TRUE(batch.Run(strCafe));
        EXPECT_EQ(batch.Rows_Changed(), 2);
        // Nothing left to delete: no success, the message in the batch's error, no box.
        EXPECT_FALSE(batch.Run(strCafe));
        EXPECT_FALSE(batch.Busy());
        EXPECT_EQ(batch.Last_Error(), No_Row_Message(strCafe));
        EXPECT_TRUE(trans.Commit());
    }
    modDB::Close_Database(hDb);
    EXPECT_EQ(All_Rows(), (test::Rows{{"cafe", "0", "2"}, {"tea", "0", "3"}}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(OwnerListTest, AnInsertOfATextStoredInTheOtherFormStoresNothingInEitherWay) {
    const QString strCafe = QString::fromUtf8("caf\u00e9");
    struct Way {
        const char* strName;
        std::function<bool(const Db_Connection&, const QString&, long lngUserID)> insert;
        std::function<bool()> changed;  // whether the last insert stored a row
    };
    Query_Result arrResult;
    std::unique_ptr<Owner_List_Batch> batch;
    const Way ways[] = {
        {"one insert",
         [&](const Db_Connection& h, const QString& v, long u) {
             return static_cast<bool>(Insert_Item_For_Owner(h, arrResult, C(), T(), v, 0, u));
         },
         nullptr},
        {"batch",
         [&](const Db_Connection& h, const QString& v, long u) {
             batch = std::make_unique<Owner_List_Batch>(h, Owner_List_Batch::Insert_Items, C(), T(), 0, u);
             return batch->Run(v);
         },
         [&] { return batch->Changed(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.strName);
        Exec("DELETE FROM " + T());
        Exec("INSERT INTO " + T() + " (" + C() + ", COMPUTER_ID, USER_ID) VALUES (CAST(X'636166E9' AS TEXT), 0, 2)");
        Db_Connection hDb = Open();
        {
            MY_TRANS trans(hDb);
            EXPECT_TRUE(way.insert(hDb, strCafe, 2));  // ran, and stored nothing
            if (way.changed) {
                EXPECT_FALSE(way.changed());
            }
            EXPECT_TRUE(way.insert(hDb, strCafe, 3));  // another owner's entry
            if (way.changed) {
                EXPECT_TRUE(way.changed());
            }
            EXPECT_TRUE(way.insert(hDb, "cafe", 2));
            batch.reset();
            EXPECT_TRUE(trans.Commit());
        }
        modDB::Close_Database(hDb);
        EXPECT_EQ(Query("SELECT hex(" + C() + "), USER_ID FROM " + T() + " ORDER BY rowid"),
                  (test::Rows{{"636166E9", "2"}, {"636166C3A9", "3"}, {"63616665", "2"}}));
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(OwnerListTest, AnUpdateOfATextStoredInBothFormsChangesOneRow) {
    const QString strCafe = QString::fromUtf8("caf\u00e9");
    for (const char* strValue : {"CAST(X'636166E9' AS TEXT)", "'caf\u00e9'"})
        Exec("INSERT INTO " + T() + " (" + C() + ", COMPUTER_ID, USER_ID) VALUES (" + QString::fromUtf8(strValue) +
             ", 0, 2)");
    ASSERT_TRUE(Update_Item_For_Owner(C(), T(), strCafe, "tea", 0, 2));
    EXPECT_EQ(Query("SELECT hex(" + C() + ") FROM " + T() + " ORDER BY rowid"),
              (test::Rows{{"746561"}, {"636166C3A9"}}));
    // The other row is the same text: a second edit reaches it.
    ASSERT_TRUE(Update_Item_For_Owner(C(), T(), strCafe, "tea2", 0, 2));
    EXPECT_EQ(Query("SELECT " + C() + " FROM " + T() + " ORDER BY rowid"), (test::Rows{{"tea"}, {"tea2"}}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(OwnerListTest, AnUpdateThatFindsNoRowIsReportedOnceAndAnsweredFalse) {
    Insert_Row("old", 0, 3);
    EXPECT_FALSE(Update_Item_For_Owner(C(), T(), "old", "new", 0, 2));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, No_Row_Message("old"));
    EXPECT_EQ(All_Rows(), (test::Rows{{"old", "0", "3"}}));
}

INSTANTIATE_TEST_SUITE_P(Tables, OwnerListTest,
                         ::testing::Values(List_Table{"BL_TBL", "BL_URL"}, List_Table{"WL_TBL", "WL_URL"},
                                           List_Table{"POP3_TBL", "POP3_EMAIL"}, List_Table{"SMTP_TBL", "SMTP_EMAIL"},
                                           List_Table{"FILE_TBL", "FILE_EXTN"}, List_Table{"EXE_TBL", "EXE_NAME"},
                                           List_Table{"WINDOW_TBL", "WINDOW_TITLE"}),
                         [](const auto& info) { return std::string(info.param.strTable); });

TEST_F(ListTest, UpdateChangesOneEqualRowOfTheOwner) {
    // Two equal rows are two listed items: an edit of one changes one row.
    Exec("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES "
         "('a.exe', 0, 2), ('a.exe', 0, 2), ('A.EXE', 0, 2), ('a.exe', 0, 3)");
    ASSERT_TRUE(Update_Item_For_Owner("BYPASS_EXE", "BYPASS_EXE_TBL", "a.exe", "b.exe", 0, 2));
    EXPECT_EQ(Query("SELECT BYPASS_EXE, USER_ID FROM BYPASS_EXE_TBL ORDER BY rowid"),
              (test::Rows{{"b.exe", "2"}, {"a.exe", "2"}, {"A.EXE", "2"}, {"a.exe", "3"}}));
}

// ---- Procedures on the caller's connection ----

struct Caller_Case {
    const char* strName;
    std::function<bool(const Db_Connection&, Query_Result&)> call;
};

const Caller_Case CALLER_CASES[] = {
    {"Insert", [](const Db_Connection& h, Query_Result& r) { return static_cast<bool>(Insert_Item_For_Owner(h, r, "BL_URL", "BL_TBL", "new", 0, 2)); }},
    {"Delete", [](const Db_Connection& h, Query_Result& r) { return Delete_Item_For_Owner(h, r, "BL_URL", "BL_TBL", "kept", 0, 2); }},
    {"AddBypass", [](const Db_Connection& h, Query_Result& r) { return static_cast<bool>(Add_Bypass_Exe(h, r, 0, 2, "new.exe")); }},
    {"DeleteBypass", [](const Db_Connection& h, Query_Result& r) { return Delete_Bypass_Exe(h, r, 0, 2, "kept.exe"); }},
};

class CallerConnectionTest : public ListTest, public ::testing::WithParamInterface<Caller_Case> {};

TEST_P(CallerConnectionTest, WithoutAConnectionReturnsFalseSilentlyAndTouchesNothing) {
    Exec("INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES ('kept', 0, 2)");
    Exec("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES ('kept.exe', 0, 2)");
    Query_Result arrResult;
    EXPECT_FALSE(GetParam().call(Db_Connection(), arrResult));
    EXPECT_EQ(Query("SELECT BL_URL FROM BL_TBL"), (test::Rows{{"kept"}}));
    EXPECT_EQ(Query("SELECT BYPASS_EXE FROM BYPASS_EXE_TBL"), (test::Rows{{"kept.exe"}}));
    EXPECT_TRUE(Log_Lines().filter("E: ").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CallerConnectionTest, ::testing::ValuesIn(CALLER_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

TEST_F(ListTest, AFailedStatementInABatchIsReportedOnceAndTheRestIsCommitted) {
    Db_Connection hDb = Open();
    Query_Result arrResult;
    {
        MY_TRANS trans(hDb);
        EXPECT_TRUE(Insert_Item_For_Owner(hDb, arrResult, "EXE_NAME", "EXE_TBL", "a.exe", 0, 2));
        EXPECT_FALSE(Insert_Item_For_Owner(hDb, arrResult, "NO_COLUMN", "EXE_TBL", "b.exe", 0, 2));
        EXPECT_TRUE(Insert_Item_For_Owner(hDb, arrResult, "EXE_NAME", "EXE_TBL", "c.exe", 0, 2));
    }
    modDB::Close_Database(hDb);
    EXPECT_EQ(Query("SELECT EXE_NAME FROM EXE_TBL ORDER BY 1"), (test::Rows{{"a.exe"}, {"c.exe"}}));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
}

// A statement of a batch refused by the database: a trigger that undoes only that
// statement leaves the batch open and the rest is committed; one that rolls the
// transaction back (as a full disk does) takes the whole batch with it, leaves no
// transaction open, and a commit then has nothing to commit. Reported once each time.
struct Batch_Fault_Case {
    test::Fault fault;
    // What each insert answered, in order, until the batch was no longer open.
    std::vector<bool> answers;
    bool blnCommitted;
    test::Rows stored;
};

void PrintTo(const Batch_Fault_Case& c, std::ostream* os) { *os << test::Fault_Name(c.fault); }

class BatchFaultTest : public ListTest, public ::testing::WithParamInterface<Batch_Fault_Case> {};

TEST_P(BatchFaultTest, ARefusedInsertKeepsTheBatchOnlyWhileItsTransactionIsOpen) {
    const Batch_Fault_Case& c = GetParam();
    // The triggers refuse b.exe; a full disk refuses the first insert.
    if (c.fault == test::Fault::Database_Full) Fill_Until_Full("EXE_TBL", "EXE_NAME");
    const std::unique_ptr<test::Made_Fault> made = Make_Fault(c.fault, {"INSERT ON EXE_TBL WHEN NEW.EXE_NAME='b.exe'"});
    Db_Connection hDb = Open();
    Query_Result arrResult;
    std::vector<bool> answers;
    {
        MY_TRANS trans(hDb);
        ASSERT_TRUE(trans.Began());
        for (const char* strValue : {"a.exe", "b.exe", "c.exe"}) {
            if (!trans.Is_Open()) break;
            answers.push_back(static_cast<bool>(Insert_Item_For_Owner(hDb, arrResult, "EXE_NAME", "EXE_TBL", strValue, 0, 2)));
        }
        EXPECT_EQ(trans.Commit(), c.blnCommitted);
    }
    modDB::Close_Database(hDb);
    made->Release();
    EXPECT_EQ(answers, c.answers);
    EXPECT_EQ(Query("SELECT EXE_NAME FROM EXE_TBL WHERE USER_ID=2 ORDER BY 1"), c.stored);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains(QLatin1String(test::Fault_Text(c.fault)))) << boxes[0].strText.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BatchFaultTest,
    ::testing::Values(Batch_Fault_Case{test::Fault::Abort_Trigger, {true, false, true}, true, {{"a.exe"}, {"c.exe"}}},
                      Batch_Fault_Case{test::Fault::Rollback_Trigger, {true, false}, false, {}},
                      Batch_Fault_Case{test::Fault::Database_Full, {false}, false, {}}),
    [](const auto& info) { return std::string(test::Fault_Name(info.param.fault)); });

// ---- BYPASS_EXE_TBL: one id under the owner rule ----

class BypassTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        Exec("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES "
             "('a.exe', 0, 2), ('b.exe', 1, 2), ('c.exe', 1, 3), ('d.exe', 0, 3)");
    }
};

struct Bypass_Read_Case {
    long lngComputerID, lngUserID;
    QStringList names;
};

void PrintTo(const Bypass_Read_Case& c, std::ostream* os) {
    *os << "computer " << c.lngComputerID << ", user " << c.lngUserID;
}

class BypassReadTest : public BypassTest, public ::testing::WithParamInterface<Bypass_Read_Case> {};

TEST_P(BypassReadTest, ReadsByComputerIdOrElseByUserIdAndCounts) {
    Query_Result arrResult;
    const long lngCount = Get_Bypass_Exes(GetParam().lngComputerID, GetParam().lngUserID, arrResult);
    EXPECT_EQ(lngCount, GetParam().names.size());
    EXPECT_EQ(Column0(arrResult, lngCount), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(Cases, BypassReadTest,
                         ::testing::Values(Bypass_Read_Case{1, 2, {"b.exe", "c.exe"}},
                                           Bypass_Read_Case{0, 2, {"a.exe", "b.exe"}},
                                           Bypass_Read_Case{-1, 3, {"c.exe", "d.exe"}},
                                           Bypass_Read_Case{7, 2, {}}));

struct Bypass_Delete_Case {
    long lngComputerID, lngUserID;
    const char* strName;
    QStringList remaining;
};

void PrintTo(const Bypass_Delete_Case& c, std::ostream* os) {
    *os << c.strName << " for computer " << c.lngComputerID << ", user " << c.lngUserID;
}

class BypassDeleteTest : public ListTest, public ::testing::WithParamInterface<Bypass_Delete_Case> {};

TEST_P(BypassDeleteTest, DeletesIgnoringCaseByOneId) {
    Exec("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES "
         "('notepad.exe', 0, 2), ('NotePad.EXE', 1, 2), ('notepad.exe', 1, 3), ('éclair.exe', 0, 2), "
         "('o''hara.exe', 0, 2)");
    Db_Connection hDb = Open();
    Query_Result arrResult;
    EXPECT_TRUE(Delete_Bypass_Exe(hDb, arrResult, GetParam().lngComputerID, GetParam().lngUserID, GetParam().strName));
    modDB::Close_Database(hDb);
    QStringList remaining;
    for (const QStringList& row : Query("SELECT BYPASS_EXE || '/' || COMPUTER_ID || '/' || USER_ID FROM BYPASS_EXE_TBL"))
        remaining << row[0];
    remaining.sort();
    EXPECT_EQ(remaining, GetParam().remaining);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BypassDeleteTest,
    ::testing::Values(
        // by user id 2, whatever the computer id
        Bypass_Delete_Case{0, 2, "NOTEPAD.EXE", {"notepad.exe/1/3", "o'hara.exe/0/2", "éclair.exe/0/2"}},
        // by computer id 1, whatever the user id
        Bypass_Delete_Case{1, 9, "notepad.exe", {"notepad.exe/0/2", "o'hara.exe/0/2", "éclair.exe/0/2"}},
        Bypass_Delete_Case{0, 2, "éclair.exe", {"NotePad.EXE/1/2", "notepad.exe/0/2", "notepad.exe/1/3", "o'hara.exe/0/2"}},
        Bypass_Delete_Case{0, 2, "O'HARA.EXE", {"NotePad.EXE/1/2", "notepad.exe/0/2", "notepad.exe/1/3", "éclair.exe/0/2"}},
        Bypass_Delete_Case{0, 3, "notepad.exe", {"NotePad.EXE/1/2", "notepad.exe/0/2", "o'hara.exe/0/2", "éclair.exe/0/2"}}));

TEST_F(BypassTest, DeleteReachesANameStoredInWindows1252InAnyCaseAndAnAbsentOneIsNoSuccess) {
    Exec("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES "
         "(CAST(X'6A6F73E92E657865' AS TEXT), 0, 2), ('JOS\u00c9.EXE', 0, 2), ('JOS\u00e9.EXE', 0, 2)");
    Db_Connection hDb = Open();
    Query_Result arrResult;
    // é and É are different letters to the database: the capital one stays.
    EXPECT_TRUE(Delete_Bypass_Exe(hDb, arrResult, 0, 2, QString::fromUtf8("Jos\u00e9.exe")));
    EXPECT_EQ(Query("SELECT BYPASS_EXE FROM BYPASS_EXE_TBL WHERE USER_ID=2 AND BYPASS_EXE LIKE 'jos%'"),
              (test::Rows{{QString::fromUtf8("JOS\u00c9.EXE")}}));
    EXPECT_FALSE(Delete_Bypass_Exe(hDb, arrResult, 0, 2, QString::fromUtf8("jos\u00e9.exe")));
    modDB::Close_Database(hDb);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, No_Row_Message(QString::fromUtf8("jos\u00e9.exe")));
}

TEST_F(BypassTest, AddWritesBothIdsAsPassedWithAPlainInsert) {
    Db_Connection hDb = Open();
    Query_Result arrResult;
    EXPECT_TRUE(Add_Bypass_Exe(hDb, arrResult, 1, 5, "O'Hara.exe"));
    EXPECT_TRUE(Add_Bypass_Exe(hDb, arrResult, 1, 5, "O'Hara.exe"));
    modDB::Close_Database(hDb);
    EXPECT_EQ(Query("SELECT BYPASS_EXE, COMPUTER_ID, USER_ID FROM BYPASS_EXE_TBL WHERE USER_ID=5"),
              (test::Rows{{"O'Hara.exe", "1", "5"}, {"O'Hara.exe", "1", "5"}}));
}

TEST_F(BypassTest, AFailedReadCountsNothingAndLeavesTheTable) {
    Query_Result arrResult;
    ASSERT_EQ(Get_Bypass_Exes(0, 2, arrResult), 2);
    QFile::remove(Database_File());
    EXPECT_EQ(Get_Bypass_Exes(0, 2, arrResult), 0);
    EXPECT_EQ(arrResult.Rows(), 2);
    EXPECT_EQ(Boxes().size(), 1u);
}

// ---- SCH_TBL ----

class ScheduleTest : public ListTest {
protected:
    long Add(long lngSchFor, long lngDWM, long lngWeekdays, const char* strFrom, const char* strTo,
             long lngComputerID = 0, long lngUserID = 2) {
        Query_Result arrResult;
        EXPECT_TRUE(Add_Schedule(lngSchFor, lngSchFor == 2 ? 1 : 0, lngDWM, lngWeekdays, 0, strFrom, strTo,
                                 lngComputerID, lngUserID, arrResult));
        return arrResult.Long_Value(1, 0);
    }
};

TEST_F(ScheduleTest, AddReportsTheNewIdAndAnIdenticalScheduleTheFirstOnesId) {
    const long lngFirst = Add(1, 2, 65, "08:00", "12:30");
    EXPECT_EQ(Query("SELECT SCH_ID, SCH_FOR, SCH_SUB_TYPE, D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME, COMPUTER_ID, "
                    "USER_ID FROM SCH_TBL"),
              (test::Rows{{QString::number(lngFirst), "1", "0", "2", "65", "0", "08:00", "12:30", "0", "2"}}));
    EXPECT_EQ(Add(1, 2, 65, "08:00", "12:30"), lngFirst);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM SCH_TBL"), "2");
    // Any column that differs gives the new row's own id.
    EXPECT_NE(Add(1, 2, 65, "08:00", "12:31"), lngFirst);
    EXPECT_NE(Add(2, 2, 65, "08:00", "12:30"), lngFirst);
    EXPECT_NE(Add(1, 2, 65, "08:00", "12:30", 0, 3), lngFirst);
}

TEST_F(ScheduleTest, AFailedAddLeavesTheCallersTable) {
    Query_Result arrResult;
    ASSERT_TRUE(Add_Schedule(1, 0, 1, 0, 0, "08:00", "09:00", 0, 2, arrResult));
    QFile::remove(Database_File());
    EXPECT_FALSE(Add_Schedule(1, 0, 1, 0, 0, "10:00", "11:00", 0, 2, arrResult));
    EXPECT_EQ(arrResult.Rows(), 1);
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ScheduleTest, GetSelectsTheOwnersSchedulesOfOneKindInColumnOrder) {
    const long lngMine = Add(1, 3, 0, "06:00", "07:00");
    Add(2, 1, 0, "06:00", "07:00");     // other kind
    Add(1, 1, 0, "06:00", "07:00", 1);  // other computer
    Add(1, 1, 0, "06:00", "07:00", 0, 3);
    Exec("UPDATE SCH_TBL SET MONTHS=2049 WHERE SCH_ID=" + QString::number(lngMine));
    Query_Result arrResult;
    long lngRows = 0;
    ASSERT_TRUE(Get_Schedules(1, 0, 2, arrResult, lngRows));
    ASSERT_EQ(lngRows, 1);
    QStringList row;
    for (int c = 0; c < 6; ++c) row << arrResult(1, c);
    EXPECT_EQ(row, (QStringList{QString::number(lngMine), "3", "06:00", "07:00", "0", "2049"}));
}

TEST_F(ScheduleTest, UpdateKeepsTheKindAndOwnerAndDeleteTakesOneRow) {
    const long lngId = Add(2, 1, 0, "06:00", "07:00", 0, 3);
    const long lngOther = Add(2, 1, 0, "09:00", "10:00", 0, 3);
    ASSERT_TRUE(Update_Schedule(lngId, 0, 3, 4, 2048, "13:00", "14:15"));
    EXPECT_EQ(Query("SELECT SCH_FOR, SCH_SUB_TYPE, D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME, COMPUTER_ID, USER_ID "
                    "FROM SCH_TBL WHERE SCH_ID=" +
                    QString::number(lngId)),
              (test::Rows{{"2", "0", "3", "4", "2048", "13:00", "14:15", "0", "3"}}));
    ASSERT_TRUE(Delete_Schedule(lngId));
    EXPECT_EQ(Query("SELECT SCH_ID FROM SCH_TBL"), (test::Rows{{QString::number(lngOther)}}));
}

// ---- PORT_TBL ----

TEST_F(ListTest, PortListsSplitAt60000WhichIsInNeither) {
    for (long lngType : {0L, 1L, 5L, 59999L, 60000L, 60001L, 65533L, 65535L})
        ASSERT_TRUE(Add_Port(static_cast<long>(1000 + lngType % 1000), lngType, "HTTP", 0, 2));
    ASSERT_TRUE(Add_Port(80, 1, "HTTP", 0, 3));
    ASSERT_TRUE(Add_Port(81, 65535, "HTTP", 1, 2));
    const auto Types = [](long blnBlocking) {
        Query_Result arrResult;
        long lngRows = 0;
        EXPECT_TRUE(Get_Ports(blnBlocking, 0, 2, arrResult, lngRows));
        QStringList types;
        for (int r = 1; r <= lngRows; ++r) types << arrResult(r, 1);
        types.sort();
        return types;
    };
    EXPECT_EQ(Types(0), (QStringList{"0", "1", "5", "59999"}));
    EXPECT_EQ(Types(1), (QStringList{"60001", "65533", "65535"}));
    EXPECT_EQ(Types(-1), (QStringList{"60001", "65533", "65535"}));
}

TEST_F(ListTest, PortIsStoredAsTypedAndDeletedByItsNumberForTheOwner) {
    ASSERT_TRUE(Add_Port(8080, 65534, "Bob's proxy", 0, 2));
    ASSERT_TRUE(Add_Port(8080, 65534, "Bob's proxy", 0, 3));
    Query_Result arrResult;
    long lngRows = 0;
    ASSERT_TRUE(Get_Ports(1, 0, 2, arrResult, lngRows));
    ASSERT_EQ(lngRows, 1);
    EXPECT_EQ(arrResult(1, 0), "8080");
    EXPECT_EQ(arrResult(1, 2), "Bob's proxy");
    Db_Connection hDb = Open();
    EXPECT_TRUE(Delete_Item_For_Owner(hDb, arrResult, "PORT_NO", "PORT_TBL", "8080", 0, 2));
    modDB::Close_Database(hDb);
    EXPECT_EQ(Query("SELECT PORT_NO, USER_ID FROM PORT_TBL"), (test::Rows{{"8080", "3"}}));
}

// ---- USER_EXCPN_TBL ----

TEST_F(ListTest, UserExceptionsAreAddedListedRenamedAndDeleted) {
    long lngFirst = 0, lngSecond = 0;
    ASSERT_TRUE(Add_User_Exception("O'Brien", lngFirst));
    ASSERT_TRUE(Add_User_Exception("guest", lngSecond));
    EXPECT_NE(lngFirst, lngSecond);
    EXPECT_EQ(Scalar("SELECT E_USER_NAME FROM USER_EXCPN_TBL WHERE E_ID=" + QString::number(lngFirst)), "O'Brien");

    long lngRows = 0;
    Query_Result arrResult;
    ASSERT_TRUE(Get_User_Exceptions(lngRows, arrResult));
    ASSERT_EQ(lngRows, 2);
    QStringList rows;
    for (int r = 1; r <= lngRows; ++r) rows << arrResult(r, 0) + "=" + arrResult(r, 1);
    rows.sort();
    EXPECT_EQ(rows, (QStringList{"O'Brien=" + QString::number(lngFirst), "guest=" + QString::number(lngSecond)}));

    ASSERT_TRUE(Rename_User_Exception("d'Arcy", lngSecond));
    ASSERT_TRUE(Delete_User_Exception(lngFirst));
    EXPECT_EQ(Query("SELECT E_ID, E_USER_NAME FROM USER_EXCPN_TBL"),
              (test::Rows{{QString::number(lngSecond), "d'Arcy"}}));
}

struct New_Exception_Case {
    const char* strAsked;
    bool blnNew;
};

class NewExceptionTest : public ListTest, public ::testing::WithParamInterface<New_Exception_Case> {};

TEST_P(NewExceptionTest, ANameStoredInAnyLetterCaseOrStoredFormIsNotNew) {
    Exec("INSERT INTO USER_EXCPN_TBL (E_USER_NAME) VALUES ('O''Brien'), ('guest'), (CAST(X'4A6F73E9' AS TEXT))");
    EXPECT_EQ(Is_New_User_Exception(QString::fromUtf8(GetParam().strAsked)), GetParam().blnNew);
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, NewExceptionTest,
                         ::testing::Values(New_Exception_Case{"GUEST", false}, New_Exception_Case{"guest", false},
                                           New_Exception_Case{"o'brien", false}, New_Exception_Case{"guests", true},
                                           New_Exception_Case{"' OR '1'='1", true},
                                           // stored in Windows-1252; the database folds ASCII letters only
                                           New_Exception_Case{"Jos\u00e9", false},
                                           New_Exception_Case{"jOS\u00e9", false},
                                           New_Exception_Case{"JOS\u00c9", true}));

TEST_F(ListTest, IsNewUserExceptionIsFalseWhenTheStatementFails) {
    QFile::remove(Database_File());
    EXPECT_FALSE(Is_New_User_Exception("anyone"));
    long lngId = 7;
    EXPECT_FALSE(Add_User_Exception("anyone", lngId));
    EXPECT_EQ(lngId, 7);
    EXPECT_EQ(Boxes().size(), 2u);
}

}  // namespace
