// The batch transaction on a file another program writes: it waits its turn, and what it
// reads stays as read until it commits.
#include "database/modDB.h"
#include "support/Fixture.h"

using namespace modDB;

namespace {

class SharedFileTest : public test::Dv_Test {
protected:
    // A read of FEATURE_BITS and a write of the word built from it, in one batch.
    bool Read_And_Write_Back(long lngUserID, long long lngBit) {
        Db_Connection hDb = Open_Database(Get_Database_File());
        MY_TRANS trans(hDb);
        Query_Result arrResult;
        long lngRows = 0;
        if (!Run_Query(hDb, "SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=" + QString::number(lngUserID), arrResult,
                       lngRows))
            return false;
        const long long lngBits = arrResult(1, 0).toLongLong() | lngBit;
        if (!Run_Query(hDb,
                       "UPDATE USER_TBL SET FEATURE_BITS=" + QString::number(lngBits) +
                           " WHERE USER_ID=" + QString::number(lngUserID),
                       arrResult, lngRows))
            return false;
        return trans.Commit();
    }
};

TEST_F(SharedFileTest, ABatchWaitsForAWriteInProgressAndThenStoresEverything) {
    const long lngUser = Insert_User("alice");
    auto other = Start_Other_Program();
    other->Hold_Write_Until_First_Wait("INSERT INTO URL_RPT_TBL (USER_ID) VALUES (" + QString::number(lngUser) + ")");
    const long long lngWaits = Busy_Waits();
    EXPECT_TRUE(Read_And_Write_Back(lngUser, 4));
    EXPECT_EQ(Busy_Waits() - lngWaits, 1);
    EXPECT_TRUE(other->Held_Write_Committed());
    EXPECT_TRUE(other->Finish());
    EXPECT_EQ(Scalar("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=" + QString::number(lngUser)), "4");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM URL_RPT_TBL"), "1");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SharedFileTest, AWordReadInsideTheBatchKeepsWhatAnotherProgramWroteMeanwhile) {
    const long lngUser = Insert_User("alice");
    auto other = Start_Other_Program();
    other->Write_At_Statement("SELECT FEATURE_BITS",
                              "UPDATE USER_TBL SET FEATURE_BITS=FEATURE_BITS|16384 WHERE USER_ID=" +
                                  QString::number(lngUser));
    EXPECT_TRUE(Read_And_Write_Back(lngUser, 4));
    // The batch held the file from its read to its commit: the other program wrote after it.
    EXPECT_FALSE(other->Wrote_At_Marker());
    EXPECT_TRUE(other->Finish());
    EXPECT_EQ(Scalar("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=" + QString::number(lngUser)), "16388");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SharedFileTest, TheOtherProgramComesBetweenStatementsThatAreNoBatch) {
    // The fixture's own check: two statements outside a batch let the other program in.
    const long lngUser = Insert_User("alice");
    auto other = Start_Other_Program();
    other->Write_At_Statement("SELECT FEATURE_BITS",
                              "UPDATE USER_TBL SET FEATURE_BITS=FEATURE_BITS|16384 WHERE USER_ID=" +
                                  QString::number(lngUser));
    Query_Result arrResult;
    long lngRows = 0;
    ASSERT_TRUE(Run_Sql("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=" + QString::number(lngUser), lngRows,
                        arrResult));
    ASSERT_TRUE(Run_Sql("UPDATE USER_TBL SET FEATURE_BITS=4 WHERE USER_ID=" + QString::number(lngUser), lngRows,
                        arrResult));
    EXPECT_TRUE(other->Wrote_At_Marker());
    EXPECT_TRUE(other->Finish());
    EXPECT_EQ(Scalar("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=" + QString::number(lngUser)), "4");
}

TEST_F(SharedFileTest, TheOtherProgramRemovesAUserOrAddsHerAgainUnderANewId) {
    const long lngAlice = Insert_User("alice");
    const long lngBob = Insert_User("bob");
    auto other = Start_Other_Program();
    const long lngNew = other->Re_Add_User(lngAlice, "alice");
    EXPECT_NE(lngNew, lngAlice);
    EXPECT_EQ(Scalar("SELECT USER_ID FROM USER_TBL WHERE USER_NAME='alice'"), QString::number(lngNew));
    other->Delete_User(lngBob);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL WHERE USER_NAME='bob'"), "0");
}

}  // namespace
