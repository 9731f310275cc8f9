#include "database/modDB.h"
#include "services/TimeOfDay.h"
#include "support/Fixture.h"

#include <QFile>
#include <QFileInfo>
#include <functional>
#include <sqlite3.h>
#include <stdexcept>
#include <cstdio>

using namespace modDB;

namespace {

class ModDbTest : public test::Dv_Test {};

TEST_F(ModDbTest, DatabaseFileIsInTheWindowsDirectory) {
    EXPECT_EQ(Get_Windows_Directory(), Windows_Dir());
    EXPECT_EQ(Get_Database_File(), Windows_Dir() + "/tsdvstore.iil");
    environment->strWindowsDirectory.clear();
    EXPECT_EQ(Get_Database_File(), "/tsdvstore.iil");
}

TEST_F(ModDbTest, MissingFileIsReportedOnceAndNeverCreated) {
    const QString strPath = Temp_Path("missing.iil");
    Db_Connection hDb = Open_Database(strPath);
    EXPECT_FALSE(hDb);
    EXPECT_FALSE(QFile::exists(strPath));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    // The box names the file.
    EXPECT_EQ(boxes[0].strText,
              "File not found: " + strPath + ": ErrNo=53: ErrDesc=File not found: " + strPath + ": ErrSrc=DravinoleTS");
    EXPECT_TRUE(Log_Lines().last().startsWith("E: File not found: " + strPath + ": ErrNo=53"));
}

TEST_F(ModDbTest, EmptyFileIsReportedAndLeftEmpty) {
    const QString strPath = Temp_Path("empty.iil");
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(Open_Database(strPath));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains("empty"));
    EXPECT_EQ(QFileInfo(strPath).size(), 0);
}

TEST_F(ModDbTest, CorruptFileFailsItsFirstStatement) {
    const QString strPath = Temp_Path("corrupt.iil");
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    Db_Connection hDb = Open_Database(strPath);
    ASSERT_TRUE(hDb);
    Query_Result arrResult;
    long lngRows = -1;
    EXPECT_FALSE(Run_Query(hDb, "SELECT * FROM USER_TBL", arrResult, lngRows));
    EXPECT_EQ(lngRows, -1);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.contains("not a database")) << boxes[0].strText.toStdString();
}

TEST_F(ModDbTest, RunQueryWithNoConnectionReportsNothing) {
    Db_Connection hDb;
    Query_Result arrResult;
    long lngRows = 5;
    const int intLines = Log_Lines().size();
    EXPECT_FALSE(Run_Query(hDb, "SELECT 1", arrResult, lngRows));
    EXPECT_EQ(lngRows, 5);
    EXPECT_EQ(Log_Lines().size(), intLines);
}

TEST_F(ModDbTest, ResultTableHasNamesInRowZeroAndTextValues) {
    Exec("INSERT INTO USER_TBL (USER_NAME) VALUES ('bob')");
    Exec("UPDATE USER_TBL SET APP_BLOCKER_MSG = NULL WHERE 0");
    Db_Connection hDb = Open_Database(Get_Database_File());
    Query_Result r;
    long lngRows = 0;
    ASSERT_TRUE(Run_Query(hDb, "SELECT USER_NAME, USER_ID, NULL AS N FROM USER_TBL ORDER BY USER_ID", r, lngRows));
    EXPECT_EQ(lngRows, 2);
    EXPECT_EQ(r(0, 0), "USER_NAME");
    EXPECT_EQ(r(0, 1), "USER_ID");
    EXPECT_EQ(r(1, 0), "All Users");
    EXPECT_EQ(r(1, 1), "0");
    EXPECT_EQ(r(2, 0), "bob");
    EXPECT_EQ(r(2, 2), "");
    EXPECT_THROW(r.Value(3, 0), Run_Time_Error);
}

TEST_F(ModDbTest, QueryWithNoRowsSucceedsAndReadingRowOneFailsInTheErrorBlock) {
    long lngRows = -1;
    Query_Result r;
    ASSERT_TRUE(Run_Sql("SELECT USER_ID FROM USER_TBL WHERE USER_ID=999", lngRows, r));
    EXPECT_EQ(lngRows, 0);
    long lngValue = 7;
    EXPECT_FALSE(Run_Sql_And_Read("SELECT USER_ID FROM USER_TBL WHERE USER_ID=999",
                                  [&](const Query_Result& t, long) { lngValue = t.Long_Value(1, 0); }));
    EXPECT_EQ(lngValue, 7);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Subscript out of range: ErrNo=9: ErrDesc=Subscript out of range: ErrSrc=DravinoleTS");
}

TEST_F(ModDbTest, FailedStatementShowsTheDatabaseMessageOnce) {
    long lngRows = 0;
    Query_Result r;
    EXPECT_FALSE(Run_Sql("SELECT NO_SUCH_COLUMN FROM USER_TBL", lngRows, r));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "no such column: NO_SUCH_COLUMN");
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(Log_Lines().last().startsWith("E: no such column: NO_SUCH_COLUMN"));
}

// A write of one row that must change it: changed (an UPDATE that writes the values
// the row holds counts), not stored (no row, or a trigger kept it: one box with the
// caller's text), or failed (the database's text); each with one box at most.
TEST_F(ModDbTest, ChangeRowTellsAChangedRowARowNotStoredAndAFailureApart) {
    const long lngBob = Insert_User("bob");
    Exec("CREATE TRIGGER keep_carl BEFORE UPDATE ON USER_TBL WHEN OLD.USER_NAME='carl' BEGIN SELECT RAISE(IGNORE); END");
    const long lngCarl = Insert_User("carl");
    const QString strBob = QString::number(lngBob);
    struct Case {
        const char* strName;
        QString strSQL;
        Row_Write::Outcome outcome;
        QString strBox;  // empty: none
    };
    const Case cases[] = {
        {"changed", "UPDATE USER_TBL SET USER_NAME='bob' WHERE USER_ID=" + strBob, Row_Write::Outcome::Changed, {}},
        {"gone", "UPDATE USER_TBL SET USER_NAME='x' WHERE USER_ID=999", Row_Write::Outcome::Not_Stored, "gone"},
        {"kept by a trigger", "UPDATE USER_TBL SET USER_NAME='x' WHERE USER_ID=" + QString::number(lngCarl),
         Row_Write::Outcome::Not_Stored, "gone"},
        {"failed", "UPDATE NO_SUCH_TBL SET A=1", Row_Write::Outcome::Failed, "no such table: NO_SUCH_TBL"},
    };
    for (const Case& c : cases) {
        const Row_Write result = Change_Row(c.strSQL, "gone");
        EXPECT_EQ(static_cast<bool>(result), c.outcome == Row_Write::Outcome::Changed) << c.strName;
        EXPECT_EQ(result.Not_Stored(), c.outcome == Row_Write::Outcome::Not_Stored) << c.strName;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), c.strBox.isEmpty() ? 0u : 1u) << c.strName;
        if (!c.strBox.isEmpty()) {
            EXPECT_EQ(boxes[0].strText, c.strBox) << c.strName;
            EXPECT_EQ(boxes[0].lngStyle, 16) << c.strName;
        }
    }
    EXPECT_EQ(Query("SELECT USER_NAME FROM USER_TBL WHERE USER_ID > 0 ORDER BY USER_ID"),
              (test::Rows{{"bob"}, {"carl"}}));
    EXPECT_EQ(Log_Lines().filter("E: gone").size(), 2);
}

TEST_F(ModDbTest, SeveralStatementsInOneTextAllRun) {
    EXPECT_TRUE(Run_Sql_Only("INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('exe'); INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('zip')"));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM FILE_TBL"), "2");
}

// Every connection the console opens has the time function, with no copy built first:
// it writes a stored time as the schedule editors list it (one rule for both), and a
// value that is no time of day as stored.
TEST_F(ModDbTest, EveryConnectionWritesAStoredTimeAsTheScheduleEditorsListIt) {
    struct Case {
        const char* strStored;
        const char* strWritten;
    };
    const Case cases[] = {{"9:05", "09:05"}, {" 23:59:00 ", "23:59"}, {"08:00", "08:00"},
                          {"24:00", "24:00"}, {"noon", "noon"},       {"", ""}};
    for (const Case& c : cases) {
        Query_Result arrResult;
        long lngRows = 0;
        ASSERT_TRUE(modDB::Run_Sql(QStringLiteral("SELECT %1('%2')")
                                       .arg(QLatin1String(modDB::SHORT_TIME_FUNCTION), QLatin1String(c.strStored)),
                                   lngRows, arrResult));
        EXPECT_EQ(arrResult(1, 0), QLatin1String(c.strWritten)) << c.strStored;
        EXPECT_EQ(arrResult(1, 0), Short_Time(QLatin1String(c.strStored))) << c.strStored;
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ModDbTest, QuotedTextIsStoredAsTypedAndNeverChangesTheStatement) {
    const QString strEvil = "x'); DELETE FROM USER_TBL; --";
    EXPECT_TRUE(Run_Sql_Only("INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('" + Sql_Text(strEvil) + "')"));
    EXPECT_EQ(Scalar("SELECT FILE_EXTN FROM FILE_TBL"), strEvil);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL"), "1");
    EXPECT_EQ(Sql_Text("O'Neil''s"), "O''Neil''''s");
}

TEST_F(ModDbTest, ATextHoldingANulIsRefusedBeforeAnyStatementAndItsErrorHidesTheText) {
    const QString strSecret = QStringLiteral("Marigold") + QChar(0) + QStringLiteral("x");
    try {
        (void)Sql_Text(strSecret);
        ADD_FAILURE() << "a NUL was handed on";
    } catch (const Run_Time_Error& e) {
        EXPECT_EQ(e.Number, 5);
        EXPECT_FALSE(e.Description.contains("Marigold"));
    }
    // Any other character goes through as it is and comes back whole.
    const QString strOdd = QString::fromUtf16(u"a\x01\x7F\t'\xD83D\xDE00");
    EXPECT_TRUE(Run_Sql_Only("INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('" + Sql_Text(strOdd) + "')"));
    EXPECT_EQ(Scalar("SELECT FILE_EXTN FROM FILE_TBL"), strOdd);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ModDbTest, BatchCommitsWhatSucceededAfterAFailedStatement) {
    Db_Connection hDb = Open_Database(Get_Database_File());
    {
        MY_TRANS trans(hDb);
        EXPECT_TRUE(trans.Began());
        Query_Result r;
        long n = 0;
        EXPECT_TRUE(Run_Query(hDb, "INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('a')", r, n));
        EXPECT_FALSE(Run_Query(hDb, "INSERT INTO NO_TABLE VALUES (1)", r, n));
        EXPECT_TRUE(Run_Query(hDb, "INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('b')", r, n));
    }
    Close_Database(hDb);
    EXPECT_EQ(Scalar("SELECT GROUP_CONCAT(FILE_EXTN) FROM FILE_TBL"), "a,b");
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ModDbTest, TransactionGuardOnNoConnectionIsSilent) {
    Db_Connection hDb;
    { MY_TRANS trans(hDb); EXPECT_FALSE(trans.Began()); }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ModDbTest, ExecuteInTransaction) {
    EXPECT_TRUE(Execute_In_Transaction("DELETE FROM USER_TBL WHERE USER_ID=0"));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL"), "0");
    EXPECT_FALSE(Execute_In_Transaction("DELETE FROM NOTHING"));
    EXPECT_EQ(Boxes().size(), 1u);
    // The transaction was committed and closed: a later write works.
    EXPECT_TRUE(Run_Sql_Only("INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('c')"));
}

// The calls of the busy handler in one wait that runs its time-out out: 0, 1, ... up to
// the call that gives up.
std::vector<int> Calls_Of_A_Full_Wait(int lngTimeoutMs) {
    std::vector<int> calls{0};
    while (Busy_Step_Ms(calls.back(), lngTimeoutMs) > 0) calls.push_back(calls.back() + 1);
    return calls;
}

// The handler's calls, as the busy hook sees them, until the recorder goes.
class Busy_Calls {
public:
    Busy_Calls() { Set_Busy_Hook([this](int lngCall) { m_calls.push_back(lngCall); }); }
    ~Busy_Calls() { Set_Busy_Hook(nullptr); }
    const std::vector<int>& Calls() const { return m_calls; }

private:
    std::vector<int> m_calls;
};

TEST_F(ModDbTest, LockedDatabaseWaitsTheTimeOutOutOnceThenFailsWithTheDatabaseMessage) {
    auto lock = Make_Fault(test::Fault::Held_Exclusive_Lock);
    const long long lngBefore = Busy_Waits();
    std::vector<int> calls;
    {
        const Busy_Calls recorder;
        EXPECT_FALSE(Run_Sql_Only("UPDATE SETTINGS_TBL SET PROGRAM_MODE=0"));
        calls = recorder.Calls();
    }
    EXPECT_EQ(Busy_Waits() - lngBefore, 1);
    // Every step of the schedule was slept before the handler gave up.
    EXPECT_EQ(calls, Calls_Of_A_Full_Wait(Busy_Timeout()));
    lock->Release();
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.contains("locked")) << boxes[0].strText.toStdString();
    EXPECT_EQ(Scalar("SELECT PROGRAM_MODE FROM SETTINGS_TBL"), "1");
}

TEST_F(ModDbTest, AConnectionWaitsWithTheTimeOutItWasOpenedWith) {
    Set_Busy_Timeout(50);
    Db_Connection hDb = Open_Database(Get_Database_File());
    Set_Busy_Timeout(0);
    auto lock = Make_Fault(test::Fault::Held_Write_Lock);
    std::vector<int> calls;
    {
        const Busy_Calls recorder;
        Query_Result r;
        long n = 0;
        EXPECT_FALSE(Run_Query(hDb, "INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('x')", r, n));
        calls = recorder.Calls();
    }
    EXPECT_EQ(calls, Calls_Of_A_Full_Wait(50));
    EXPECT_NE(calls, Calls_Of_A_Full_Wait(BUSY_TIMEOUT_MS));
    lock->Release();
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM FILE_TBL WHERE FILE_EXTN='x'"), "0");
}

// Statements run on one connection, with or without another connection holding a write
// transaction, and the busy waits they begin.
struct Busy_Wait_Case {
    const char* strName;
    bool blnHeldWriteLock;
    std::vector<const char*> statements;
    long long lngWaits;
};

void PrintTo(const Busy_Wait_Case& c, std::ostream* os) { *os << c.strName; }

const char* const WRITE_X = "INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('x')";
const char* const WRITE_Y = "INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('y')";

const Busy_Wait_Case BUSY_WAIT_CASES[] = {
    {"NoLockOneWrite", false, {WRITE_X}, 0},
    {"NoLockTwoWrites", false, {WRITE_X, WRITE_Y}, 0},
    {"HeldWriteLockOneRead", true, {"SELECT COUNT(*) FROM FILE_TBL"}, 0},
    {"HeldWriteLockOneWrite", true, {WRITE_X}, 1},
    {"HeldWriteLockTwoWritesOnOneConnection", true, {WRITE_X, WRITE_Y}, 2},
};

class BusyWaitTest : public test::Dv_Test, public ::testing::WithParamInterface<Busy_Wait_Case> {};

TEST_P(BusyWaitTest, EveryStatementThatMeetsALockBeginsOneWaitAndIsReportedOnce) {
    const Busy_Wait_Case& c = GetParam();
    Set_Busy_Timeout(50);
    std::unique_ptr<test::Made_Fault> lock;
    if (c.blnHeldWriteLock) lock = Make_Fault(test::Fault::Held_Write_Lock);
    const long long lngBefore = Busy_Waits();
    {
        Db_Connection hDb = Open_Database(Get_Database_File());
        for (const char* strSQL : c.statements) {
            Query_Result r;
            long n = 0;
            const bool blnWrite = QString(strSQL).startsWith("INSERT");
            EXPECT_EQ(Run_Query(hDb, strSQL, r, n), !(c.blnHeldWriteLock && blnWrite)) << strSQL;
        }
    }
    EXPECT_EQ(Busy_Waits() - lngBefore, c.lngWaits);
    if (lock) lock->Release();
    const std::vector<test::Shown_Box> boxes = Boxes();
    EXPECT_EQ(static_cast<long long>(boxes.size()), c.lngWaits);
    for (const test::Shown_Box& box : boxes)
        EXPECT_TRUE(box.strText.contains(test::Fault_Text(test::Fault::Held_Write_Lock))) << box.strText.toStdString();
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM FILE_TBL WHERE FILE_EXTN IN ('x','y')"),
              c.blnHeldWriteLock ? "0" : QString::number(c.statements.size()));
}

INSTANTIATE_TEST_SUITE_P(Cases, BusyWaitTest, ::testing::ValuesIn(BUSY_WAIT_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

// The handler sleeps a whole time-out in steps of 1 to 100 ms (never zero, so it never
// spins) and then gives up for good.
class BusyScheduleTest : public ::testing::TestWithParam<int> {};

TEST_P(BusyScheduleTest, StepsAddUpToTheTimeOutAndThenGiveUp) {
    const int lngTimeout = GetParam();
    const std::vector<int> calls = Calls_Of_A_Full_Wait(lngTimeout);
    long long lngSlept = 0;
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
        const int lngStep = Busy_Step_Ms(calls[i], lngTimeout);
        EXPECT_GE(lngStep, 1) << "call " << i;
        EXPECT_LE(lngStep, 100) << "call " << i;
        lngSlept += lngStep;
    }
    EXPECT_EQ(lngSlept, lngTimeout);
    for (int lngLater = calls.back(); lngLater < calls.back() + 3; ++lngLater)
        EXPECT_EQ(Busy_Step_Ms(lngLater, lngTimeout), 0) << "call " << lngLater;
}

INSTANTIATE_TEST_SUITE_P(TimeOuts, BusyScheduleTest, ::testing::Values(1, 2, 50, 228, 300, BUSY_TIMEOUT_MS, 60000));

TEST_F(ModDbTest, BusyTimeoutDefaultsToTheFullWait) {
    Set_Busy_Timeout(0);
    EXPECT_EQ(Busy_Timeout(), BUSY_TIMEOUT_MS);
}

// A commit refused by the database: the batch is rolled back, reported once with the
// database's own text, and the guard tells its caller.
TEST_F(ModDbTest, FailedCommitIsRolledBackReportedOnceAndAnsweredFalse) {
    Exec("INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('old')");
    Db_Connection hDb = Open_Database(Get_Database_File());
    auto reader = Hold_Read_Lock();
    bool blnCommitted = true;
    {
        MY_TRANS trans(hDb);
        Query_Result r;
        long n = 0;
        EXPECT_TRUE(Run_Query(hDb, "DELETE FROM FILE_TBL", r, n));
        EXPECT_TRUE(Run_Query(hDb, "INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('new')", r, n));
        blnCommitted = trans.Commit();
        EXPECT_FALSE(trans.Commit());  // asked again: the same answer, no second box
    }
    EXPECT_FALSE(blnCommitted);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains("database is locked")) << boxes[0].strText.toStdString();
    reader->Release();
    // Nothing of the batch is stored, and the connection is usable again.
    EXPECT_EQ(Scalar("SELECT GROUP_CONCAT(FILE_EXTN) FROM FILE_TBL"), "old");
    Query_Result r;
    long n = 0;
    EXPECT_TRUE(Run_Query(hDb, "INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('later')", r, n));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM FILE_TBL"), "2");
}

TEST_F(ModDbTest, ExecuteInTransactionAnswersFalseWhenItsCommitFails) {
    Exec("INSERT INTO BL_TBL (BL_URL) VALUES ('a.com')");
    auto reader = Hold_Read_Lock();
    EXPECT_FALSE(Execute_In_Transaction("DELETE FROM BL_TBL"));
    reader->Release();
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.contains("locked"));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM BL_TBL"), "1");
}

TEST_F(ModDbTest, FullDatabaseFailsTheWriteAndKeepsTheOldRows) {
    Exec("INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('old')");
    auto full = Make_Fault(test::Fault::Database_Full);
    Db_Connection hDb = Open_Database(Get_Database_File());
    bool blnWritten = true;
    {
        MY_TRANS trans(hDb);
        Prepared_Statement insert(hDb, "INSERT INTO FILE_TBL (FILE_EXTN) VALUES (?)", false);
        ASSERT_TRUE(insert.Ok());
        for (int i = 0; i < 5000 && blnWritten; ++i) {
            insert.Bind(1, QString("entry-%1-").arg(i) + QString(200, 'x'));
            blnWritten = insert.Execute();
        }
        EXPECT_FALSE(blnWritten);
        EXPECT_TRUE(insert.Last_Error().contains("full")) << insert.Last_Error().toStdString();
        trans.Rollback();
        EXPECT_FALSE(trans.Commit());
    }
    EXPECT_TRUE(Boxes().empty());  // reporting was the caller's: nothing shown here
    full->Release();
    EXPECT_EQ(Scalar("SELECT GROUP_CONCAT(FILE_EXTN) FROM FILE_TBL"), "old");
}

// An exception leaving the guard's scope rolls the batch back; one caught inside it,
// or a guard made and left normally while another exception unwinds, commits.
TEST_F(ModDbTest, GuardLeftByAnExceptionKeepsNothingOfTheBatch) {
    Exec("INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('old')");
    const auto insert = [](const Db_Connection& hDb, const char* strValue) {
        Query_Result r;
        long n = 0;
        EXPECT_TRUE(Run_Query(hDb, QString("INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('%1')").arg(strValue), r, n));
    };
    // Writes its own batch from its destructor, that is while the exception unwinds.
    struct Writer_In_Unwinding {
        std::function<void(const Db_Connection&, const char*)> insert;
        ~Writer_In_Unwinding() {
            Db_Connection hDb = Open_Database(Get_Database_File());
            MY_TRANS trans(hDb);
            insert(hDb, "unwinding");
        }
    };
    Db_Connection hDb = Open_Database(Get_Database_File());
    EXPECT_THROW(
        {
            MY_TRANS trans(hDb);
            insert(hDb, "thrown");
            throw std::runtime_error("allocation failed");
        },
        std::runtime_error);
    EXPECT_EQ(sqlite3_get_autocommit(hDb.get()), 1) << "no transaction left open";
    {
        MY_TRANS trans(hDb);
        insert(hDb, "caught");
        try {
            throw std::runtime_error("handled here");
        } catch (const std::runtime_error&) {
        }
    }
    EXPECT_THROW(
        {
            Writer_In_Unwinding writer{insert};
            throw std::runtime_error("unwinding");
        },
        std::runtime_error);
    Close_Database(hDb);
    EXPECT_EQ(Scalar("SELECT GROUP_CONCAT(FILE_EXTN) FROM FILE_TBL"), "old,caught,unwinding");
    EXPECT_TRUE(Boxes().empty());
}

// The settings file deleted, or replaced by another file, while a batch runs: the
// commit would go into a file nobody opens again. It is a failed write instead.
class MovedFileTest : public test::Dv_Test, public ::testing::WithParamInterface<test::File_Move> {};

TEST_P(MovedFileTest, IsRolledBackReportedOnceNamingTheFileAndAnsweredFalse) {
    Exec("INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('old')");
    auto moved = Prepare_Database_Move(GetParam());
    Db_Connection hDb = Open_Database(Get_Database_File());
    bool blnCommitted = true;
    {
        MY_TRANS trans(hDb);
        Query_Result r;
        long n = 0;
        EXPECT_TRUE(Run_Query(hDb, "INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('new')", r, n));
        moved->Move();
        EXPECT_TRUE(Run_Query(hDb, "INSERT INTO FILE_TBL (FILE_EXTN) VALUES ('later')", r, n));
        blnCommitted = trans.Commit();
        EXPECT_FALSE(trans.Commit()) << "asked again: the same answer, no second box";
        EXPECT_FALSE(trans.Is_Open());
    }
    EXPECT_FALSE(blnCommitted);
    EXPECT_EQ(sqlite3_get_autocommit(hDb.get()), 1);
    Close_Database(hDb);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(boxes[0].strText, "The settings database " + Database_File() +
                                    " was deleted or replaced while this change was being written. Nothing of the "
                                    "change was stored.");
    EXPECT_EQ(Log_Lines().filter("E: The settings database " + Database_File() + " was deleted").size(), 1);
    // Nothing of the batch is in the file it wrote, nor in the file now in its place.
    const auto stored = [&](const QString& strFile) {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(strFile).constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* stmt = nullptr;
        QString strValues = "?";
        if (sqlite3_prepare_v2(db, "SELECT GROUP_CONCAT(FILE_EXTN) FROM FILE_TBL", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            strValues = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        sqlite3_close_v2(db);
        return strValues;
    };
    EXPECT_EQ(stored(moved->Written_File()), "old");
    if (GetParam() == test::File_Move::Replaced) EXPECT_EQ(stored(Database_File()), "old");
    else EXPECT_FALSE(QFile::exists(Database_File())) << "nothing created in its place";
}

INSTANTIATE_TEST_SUITE_P(Cases, MovedFileTest,
                         ::testing::Values(test::File_Move::Deleted, test::File_Move::Replaced),
                         [](const auto& info) { return std::string(test::File_Move_Name(info.param)); });

TEST_F(ModDbTest, PreparedStatementRunsWithBoundValuesAndReportsFailures) {
    Db_Connection hDb = Open_Database(Get_Database_File());
    {
        MY_TRANS trans(hDb);
        Prepared_Statement insert(hDb, "INSERT INTO FILE_TBL (FILE_EXTN, USER_ID) VALUES (?, ?)");
        ASSERT_TRUE(insert.Ok());
        // A bound value is stored as given: quotes and SQL stay text.
        const QString values[] = {"a'b", "x'); DROP TABLE USER_TBL; --", "Caf\u00e9"};
        for (const QString& v : values) {
            insert.Bind(1, v);
            insert.Bind(2, 7LL);
            EXPECT_TRUE(insert.Execute());
            EXPECT_EQ(insert.Changes(), 1);
        }
        // A NUL would cut the text inside the database: refused, reported once.
        insert.Bind(1, QString("ab") + QChar(u'\0') + "c");
        insert.Bind(2, 7LL);
        EXPECT_FALSE(insert.Execute());
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].strText.contains("NUL"));
        EXPECT_TRUE(trans.Commit());
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM FILE_TBL WHERE USER_ID=7"), "3");
    EXPECT_EQ(Scalar("SELECT FILE_EXTN FROM FILE_TBL WHERE FILE_EXTN LIKE 'x%'"), "x'); DROP TABLE USER_TBL; --");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL"), "1");

    Prepared_Statement bad(hDb, "INSERT INTO NO_TABLE VALUES (?)");
    EXPECT_FALSE(bad.Ok());
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.contains("no such table"));
}

TEST_F(ModDbTest, CompactDatabaseLogsSuccess) {
    EXPECT_TRUE(Compact_Database());
    EXPECT_EQ(Log_Lines().last(), "I: Database compressed successfully!" + QString(80 - 36, ' ') + ": 07-Mar-26 14:05:09");
}

struct To_Long_Case {
    const char* strText;
    long lngValue;   // expected when lngError is 0
    long lngError;
};

void PrintTo(const To_Long_Case& c, std::ostream* os) { *os << '"' << c.strText << '"'; }

class ToLongTest : public ::testing::TestWithParam<To_Long_Case> {};

TEST_P(ToLongTest, ConvertsLikeTheOldNumberConversion) {
    const To_Long_Case c = GetParam();
    if (c.lngError == 0) {
        EXPECT_EQ(To_Long(c.strText), c.lngValue);
    } else {
        try {
            To_Long(c.strText);
            ADD_FAILURE() << "no error for " << c.strText;
        } catch (const Run_Time_Error& e) {
            EXPECT_EQ(e.Number, c.lngError);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ToLongTest,
                         ::testing::Values(To_Long_Case{"12", 12, 0}, To_Long_Case{" 7 ", 7, 0},
                                           To_Long_Case{"-2147483648", -2147483647L - 1, 0},
                                           To_Long_Case{"2147483647", 2147483647L, 0},
                                           To_Long_Case{"2147483648", 0, 6}, To_Long_Case{"2.5", 2, 0},
                                           To_Long_Case{"3.5", 4, 0}, To_Long_Case{"abc", 0, 13},
                                           To_Long_Case{"", 0, 13}, To_Long_Case{"12abc", 0, 13}));

// ---- Texts another program stored in another code page ----

struct Stored_Text_Case {
    const char* strHex;  // the stored bytes
    QString strRead;     // the text every reader gives
};

void PrintTo(const Stored_Text_Case& c, std::ostream* os) { *os << c.strHex; }

class StoredTextTest : public test::Dv_Test, public ::testing::WithParamInterface<Stored_Text_Case> {};

TEST_P(StoredTextTest, BytesThatAreNotUtf8AreReadAsWindows1252OrCutUtf8ByEveryReader) {
    // Stored as a text and as a blob, the bytes read alike.
    for (const char* strStored : {"CAST(X'%1' AS TEXT)", "X'%1'"}) {
        SCOPED_TRACE(strStored);
        Exec("DELETE FROM FILE_TBL WHERE USER_ID=7");
        Exec(QString("INSERT INTO FILE_TBL (FILE_EXTN, USER_ID) VALUES (%1, 7)")
                 .arg(QString(strStored).arg(GetParam().strHex)));
        const QString strSQL = "SELECT FILE_EXTN, 'x' FROM FILE_TBL WHERE USER_ID=7";
        Db_Connection hDb = Open_Database(Get_Database_File());
        Query_Result r;
        long lngRows = 0;
        ASSERT_TRUE(Run_Query(hDb, strSQL, r, lngRows));
        ASSERT_EQ(lngRows, 1);
        EXPECT_EQ(r(1, 0), GetParam().strRead);
        QStringList read;
        ASSERT_TRUE(For_Each_Row(hDb, strSQL, [&](const QStringList& row) { read << row[0]; }));
        EXPECT_EQ(read, QStringList{GetParam().strRead});
        // The byte reader hands over UTF-8, converted where the stored bytes are not.
        QByteArrayList bytes;
        ASSERT_TRUE(For_Each_Row_Utf8(hDb, strSQL, [&](const QByteArrayView* values, int lngColumns) {
            ASSERT_EQ(lngColumns, 2);
            bytes << values[0].toByteArray() << values[1].toByteArray();
        }));
        EXPECT_EQ(bytes, (QByteArrayList{GetParam().strRead.toUtf8(), "x"}));
        EXPECT_TRUE(Boxes().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredTextTest,
    ::testing::Values(Stored_Text_Case{"636166E9", QString::fromUtf8("caf\u00e9")},      // Windows-1252
                      Stored_Text_Case{"636166C3A9", QString::fromUtf8("caf\u00e9")},    // UTF-8
                      Stored_Text_Case{"80", QString::fromUtf8("\u20ac")},               // euro sign, 1252
                      Stored_Text_Case{"E282AC", QString::fromUtf8("\u20ac")},           // euro sign, UTF-8
                      Stored_Text_Case{"81", QString(QChar(0x81))},                      // unassigned byte
                      Stored_Text_Case{"41C3", QString::fromUtf8("A\u00c3")},            // ASCII, then a lead byte
                      Stored_Text_Case{"436166C3A9205AC3", QString::fromUtf8("Caf\u00e9 Z\ufffd")},  // cut UTF-8
                      Stored_Text_Case{"436166C3A9205AE282", QString::fromUtf8("Caf\u00e9 Z\ufffd")},
                      Stored_Text_Case{"61", QStringLiteral("a")}));

struct Stored_Forms_Case {
    QString strText;
    QByteArrayList forms;
};

void PrintTo(const Stored_Forms_Case& c, std::ostream* os) { *os << c.strText.toStdString(); }

class StoredFormsTest : public ::testing::TestWithParam<Stored_Forms_Case> {};

TEST_P(StoredFormsTest, AShownTextComesFromItsUtf8AndWhereItReadsBackSoItsWindows1252Bytes) {
    EXPECT_EQ(Stored_Forms(GetParam().strText), GetParam().forms);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredFormsTest,
    ::testing::Values(
        Stored_Forms_Case{"a.exe", {"a.exe"}},
        Stored_Forms_Case{QString::fromUtf8("caf\u00e9"), {"caf\xc3\xa9", "caf\xe9"}},
        Stored_Forms_Case{QString::fromUtf8("\u20ac"), {"\xe2\x82\xac", "\x80"}},
        // Its Windows-1252 bytes C3 A9 are UTF-8 and read as another text.
        Stored_Forms_Case{QString::fromUtf8("\u00c3\u00a9"), {"\xc3\x83\xc2\xa9"}},
        // Not in Windows-1252 at all.
        Stored_Forms_Case{QString::fromUtf8("\u65e5\u00e9"), {"\xe6\x97\xa5\xc3\xa9"}}));

TEST_F(ModDbTest, APreparedWriteTellsALockHeldByAnotherProgramFromOtherFailures) {
    Db_Connection hDb = Open_Database(Get_Database_File());
    Prepared_Statement insert(hDb, "INSERT INTO FILE_TBL (FILE_EXTN, USER_ID) VALUES (?, 7)", false);
    ASSERT_TRUE(insert.Ok());
    {
        auto lock = Make_Fault(test::Fault::Held_Write_Lock);
        insert.Bind(1, QStringLiteral(".a"));
        EXPECT_FALSE(insert.Execute());
        EXPECT_TRUE(insert.Busy());
    }
    {
        auto trigger = Make_Fault(test::Fault::Abort_Trigger, {"INSERT ON FILE_TBL"});
        insert.Bind(1, QStringLiteral(".b"));
        EXPECT_FALSE(insert.Execute());
        EXPECT_FALSE(insert.Busy());
    }
    insert.Bind(1, QStringLiteral(".c"));
    EXPECT_TRUE(insert.Execute());
    EXPECT_FALSE(insert.Busy());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Scalar("SELECT GROUP_CONCAT(FILE_EXTN) FROM FILE_TBL WHERE USER_ID=7"), ".c");
}

}  // namespace
