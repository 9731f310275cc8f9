// The copy routines on real rows: each feature replaces the destination's rows with
// the source's and passes the source's feature bit; the all-users row as source and
// destination; a failed delete, read, insert or bit update hands back false.
#include "console/modCopySettings.h"
#include "database/ValueSets.h"
#include "support/Fixture.h"

#include <algorithm>

using modCopySettings::Copy_Feature;
using modCopySettings::Find_Copy_Feature;

namespace {

struct Table_Column {
    const char* strTable;
    const char* strColumn;
};

class CopyRoutinesTest : public test::Dv_Test {
protected:
    void SetUp() override {
        Dv_Test::SetUp();
        lngSource = Insert_User("SOURCE");
        lngDest = Insert_User("DEST");
        lngOther = Insert_User("OTHER");
    }

    // The values of a list for one owner, sorted.
    QStringList Values(const Table_Column& t, long lngUserID, long lngComputerID = 0) {
        QStringList values;
        for (const QStringList& row : Query(QStringLiteral("SELECT %1 FROM %2 WHERE USER_ID=%3 AND COMPUTER_ID=%4")
                                                .arg(t.strColumn, t.strTable)
                                                .arg(lngUserID)
                                                .arg(lngComputerID)))
            values << row[0];
        values.sort();
        return values;
    }
    void Add_Values(const Table_Column& t, long lngUserID, const QStringList& values, long lngComputerID = 0) {
        for (const QString& strValue : values)
            Exec(QStringLiteral("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES ('%3', %4, %5)")
                     .arg(t.strTable, t.strColumn, QString(strValue).replace("'", "''"))
                     .arg(lngComputerID)
                     .arg(lngUserID));
    }
    long Bits(long lngUserID) {
        return Scalar(QStringLiteral("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").arg(lngUserID)).toLong();
    }
    void Set_Bits(long lngUserID, long lngBits) {
        Exec(QStringLiteral("UPDATE USER_TBL SET FEATURE_BITS=%1 WHERE USER_ID=%2").arg(lngBits).arg(lngUserID));
    }
    // Every schedule of an owner and kind, in row order, without its id.
    test::Rows Schedules(long lngUserID, long lngSchFor) {
        return Query(QStringLiteral("SELECT SCH_SUB_TYPE, D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME, COMPUTER_ID "
                                    "FROM SCH_TBL WHERE USER_ID=%1 AND SCH_FOR=%2 ORDER BY SCH_ID")
                         .arg(lngUserID)
                         .arg(lngSchFor));
    }
    void Add_Schedule(long lngUserID, long lngSchFor, long lngSubType, long lngDWM, long lngWeekdays, long lngMonths,
                      const QString& strFrom, const QString& strTo) {
        Exec(QStringLiteral("INSERT INTO SCH_TBL (SCH_FOR, SCH_SUB_TYPE, D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME, "
                            "COMPUTER_ID, USER_ID) VALUES (%1, %2, %3, %4, %5, '%6', '%7', 0, %8)")
                 .arg(lngSchFor)
                 .arg(lngSubType)
                 .arg(lngDWM)
                 .arg(lngWeekdays)
                 .arg(lngMonths)
                 .arg(strFrom, strTo)
                 .arg(lngUserID));
    }
    // Takes the boxes shown: exactly one critical box whose text holds strPart.
    void Expect_One_Critical_Box(const QString& strPart) {
        const std::vector<test::Shown_Box> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_TRUE(boxes[0].strText.contains(strPart)) << boxes[0].strText.toStdString();
    }

    long lngSource = 0, lngDest = 0, lngOther = 0;
};

// ---------------------------------------------------------------- the feature list

TEST(CopyFeaturesTest, TenKeysInListOrderWithTheirSourceBits) {
    const std::vector<std::pair<QString, long>> expected = {
        {"WebSite Filter", 0x4},        {"File Filter", 0x8},        {"SMTP Filter", 0x20},
        {"POP3 Filter", 0x40},          {"Port Blocking And Filtering", 0x2}, {"Internet Scheduler", 0x1},
        {"EXE Blocker", 0x80},          {"Window Blocker", 0x100},   {"Application Scheduler", 0x200},
        {"General Options", 0},
    };
    const auto& features = modCopySettings::Copy_Features();
    ASSERT_EQ(features.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(features[i].strKey, expected[i].first);
        EXPECT_EQ(features[i].lngSourceBit, expected[i].second) << expected[i].first.toStdString();
        EXPECT_EQ(Find_Copy_Feature(expected[i].first), &features[i]);
    }
    // The keys of the console and the device lock, and other letter case, find nothing.
    for (const char* strKey : {"Main Form", "Device Settings", "file filter", ""})
        EXPECT_EQ(Find_Copy_Feature(QLatin1String(strKey)), nullptr) << strKey;
}

// ---------------------------------------------------------------- list features

struct List_Feature_Case {
    const char* strKey;
    std::vector<Table_Column> tables;
    long lngBit;
};

const List_Feature_Case LIST_FEATURES[] = {
    {"WebSite Filter", {{"BL_TBL", "BL_URL"}, {"WL_TBL", "WL_URL"}}, FEATURE_WEBSITE_FILTER},
    {"File Filter", {{"FILE_TBL", "FILE_EXTN"}}, FEATURE_FILE_FILTER},
    {"SMTP Filter", {{"SMTP_TBL", "SMTP_EMAIL"}}, FEATURE_SMTP_FILTER},
    {"POP3 Filter", {{"POP3_TBL", "POP3_EMAIL"}}, FEATURE_POP3_FILTER},
    {"EXE Blocker", {{"EXE_TBL", "EXE_NAME"}}, FEATURE_EXE_BLOCKER},
    {"Window Blocker", {{"WINDOW_TBL", "WINDOW_TITLE"}}, FEATURE_WINDOW_BLOCKER},
};

class ListFeatureCopyTest : public CopyRoutinesTest,
                            public ::testing::WithParamInterface<std::tuple<List_Feature_Case, bool>> {};

TEST_P(ListFeatureCopyTest, ReplacesTheDestinationsRowsAndPassesTheSourceBit) {
    const auto& [c, blnSourceEnabled] = GetParam();
    const Copy_Feature* pFeature = Find_Copy_Feature(QLatin1String(c.strKey));
    ASSERT_NE(pFeature, nullptr);
    int intTable = 0;
    for (const Table_Column& t : c.tables) {
        const QString strTag = QString::number(++intTable);
        Add_Values(t, lngSource, {"src-a" + strTag, "src-b" + strTag, "it's " + strTag});
        // Rows of the source under another computer id are not the console's: not copied.
        Add_Values(t, lngSource, {"elsewhere"}, 5);
        // Everything the destination had goes, whatever its computer id.
        Add_Values(t, lngDest, {"old", "src-a" + strTag});
        Add_Values(t, lngDest, {"old-elsewhere"}, 7);
        Add_Values(t, lngOther, {"other's"});
    }
    // Unrelated bits stay on both sides; the destination starts opposite to the source.
    Set_Bits(lngSource, 0x800 | (blnSourceEnabled ? c.lngBit : 0));
    Set_Bits(lngDest, 0x1000 | (blnSourceEnabled ? 0 : c.lngBit));

    EXPECT_TRUE(pFeature->routine(0, lngSource, lngDest, blnSourceEnabled));

    for (const Table_Column& t : c.tables) {
        SCOPED_TRACE(t.strTable);
        EXPECT_EQ(Values(t, lngDest), Values(t, lngSource));
        EXPECT_EQ(Values(t, lngDest).size(), 3);
        EXPECT_TRUE(Values(t, lngDest, 7).isEmpty());
        EXPECT_EQ(Values(t, lngSource, 5), QStringList{"elsewhere"});
        EXPECT_EQ(Values(t, lngOther), QStringList{"other's"});
    }
    EXPECT_EQ(Bits(lngDest), 0x1000 | (blnSourceEnabled ? c.lngBit : 0));
    EXPECT_EQ(Bits(lngSource), 0x800 | (blnSourceEnabled ? c.lngBit : 0));
}

INSTANTIATE_TEST_SUITE_P(Features, ListFeatureCopyTest,
                         ::testing::Combine(::testing::ValuesIn(LIST_FEATURES), ::testing::Bool()));

TEST_F(CopyRoutinesTest, AnEmptySourceListEmptiesTheDestinations) {
    const Table_Column black{"BL_TBL", "BL_URL"}, white{"WL_TBL", "WL_URL"};
    Add_Values(black, lngSource, {"a.example", "b.example", "c.example"});
    Add_Values(black, lngDest, {"x.example"});
    Add_Values(white, lngDest, {"y.example", "z.example"});
    EXPECT_TRUE(modCopySettings::Copy_Website_Filter(0, lngSource, lngDest, true));
    EXPECT_EQ(Values(black, lngDest), (QStringList{"a.example", "b.example", "c.example"}));
    EXPECT_TRUE(Values(white, lngDest).isEmpty());
}

// ---------------------------------------------------------------- the all-users row

struct All_Users_Case {
    const char* strName;
    bool blnAllUsersIsSource;
};

class AllUsersCopyTest : public CopyRoutinesTest, public ::testing::WithParamInterface<All_Users_Case> {};

TEST_P(AllUsersCopyTest, CopiesFromAndToUserIdZero) {
    const long lngFrom = GetParam().blnAllUsersIsSource ? 0 : lngSource;
    const long lngTo = GetParam().blnAllUsersIsSource ? lngDest : 0;
    const Table_Column files{"FILE_TBL", "FILE_EXTN"};
    Add_Values(files, lngFrom, {".exe", ".zip"});
    Add_Values(files, lngTo, {".old"});
    Set_Bits(lngTo, 0);
    EXPECT_TRUE(modCopySettings::Copy_File_Filter(0, lngFrom, lngTo, true));
    EXPECT_EQ(Values(files, lngTo), (QStringList{".exe", ".zip"}));
    EXPECT_EQ(Bits(lngTo), FEATURE_FILE_FILTER);
    // No other owner got anything.
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM FILE_TBL"), "4");
}

INSTANTIATE_TEST_SUITE_P(Rows, AllUsersCopyTest,
                         ::testing::Values(All_Users_Case{"AllUsersIsSource", true},
                                           All_Users_Case{"AllUsersIsDestination", false}),
                         [](const auto& info) { return std::string(info.param.strName); });

// ---------------------------------------------------------------- ports

TEST_F(CopyRoutinesTest, PortRulesComeOutFilterRulesFirstThenBlockingRules) {
    const char* strInsert = "INSERT INTO PORT_TBL (PORT_NO, FILTER_TYPE, PROTOCOL_TYPE, COMPUTER_ID, USER_ID) VALUES ";
    Exec(QString(strInsert) + QStringLiteral("(25, 65535, 'SMTP', 0, %1), (80, 1, 'HTTP', 0, %1), "
                                             "(21, 60000, 'FTP Control', 0, %1), (443, 65533, 'HTTPS', 0, %1), "
                                             "(110, 4, 'POP3', 0, %1), (119, 2, 'NEWS', 3, %1)")
                                  .arg(lngSource));
    Exec(QString(strInsert) + QStringLiteral("(9999, 1, 'Mine', 0, %1), (8888, 65534, 'Mine', 4, %1)").arg(lngDest));
    Set_Bits(lngSource, FEATURE_PORT_FILTER);

    EXPECT_TRUE(modCopySettings::Copy_Port_Filter(0, lngSource, lngDest, true));
    // Each group in the database's order; the groups in that order.
    test::Rows rows = Query(QStringLiteral("SELECT PORT_NO, FILTER_TYPE, PROTOCOL_TYPE, COMPUTER_ID FROM PORT_TBL "
                                           "WHERE USER_ID=%1 ORDER BY rowid")
                                .arg(lngDest));
    ASSERT_EQ(rows.size(), 4u);
    test::Rows filters(rows.begin(), rows.begin() + 2), blocking(rows.begin() + 2, rows.end());
    std::sort(filters.begin(), filters.end());
    std::sort(blocking.begin(), blocking.end());
    EXPECT_EQ(filters, (test::Rows{{"110", "4", "POP3", "0"}, {"80", "1", "HTTP", "0"}}));
    EXPECT_EQ(blocking, (test::Rows{{"25", "65535", "SMTP", "0"}, {"443", "65533", "HTTPS", "0"}}));
    EXPECT_EQ(Bits(lngDest), FEATURE_PORT_FILTER);

    // A switched-off source clears the bit and still replaces the rules.
    Exec(QStringLiteral("DELETE FROM PORT_TBL WHERE USER_ID=%1 AND PORT_NO=80").arg(lngSource));
    EXPECT_TRUE(modCopySettings::Copy_Port_Filter(0, lngSource, lngDest, false));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM PORT_TBL WHERE USER_ID=%1").arg(lngDest)), "3");
    EXPECT_EQ(Bits(lngDest), 0);
}

// ---------------------------------------------------------------- schedules

class InternetSchedulerCopyTest : public CopyRoutinesTest, public ::testing::WithParamInterface<bool> {};

TEST_P(InternetSchedulerCopyTest, SchedulesAndModeFollowTheSourcesSchedulerBit) {
    const bool blnSourceEnabled = GetParam();
    Add_Schedule(lngSource, 1, 0, 2, 5, 0, "8:00", "09:30");
    Add_Schedule(lngSource, 1, 0, 1, 0, 0, "08:00", "17:00:00");
    Add_Schedule(lngSource, 2, 1, 1, 0, 0, "10:00", "11:00");  // an application schedule: not copied
    Add_Schedule(lngDest, 1, 0, 1, 0, 0, "01:00", "02:00");    // replaced
    Add_Schedule(lngDest, 2, 1, 3, 0, 4, "03:00", "04:00");    // the destination's own application schedule
    Exec(QStringLiteral("UPDATE USER_TBL SET IA_ON_OFF=0, SCH_FOR=%1 WHERE USER_ID=%2")
             .arg(blnSourceEnabled ? 2 : 1)
             .arg(lngSource));
    Exec(QStringLiteral("UPDATE USER_TBL SET IA_ON_OFF=1, SCH_FOR=%1, FEATURE_BITS=%2 WHERE USER_ID=%3")
             .arg(blnSourceEnabled ? 1 : 2)
             .arg(blnSourceEnabled ? 0x8 : 0x9)
             .arg(lngDest));

    EXPECT_TRUE(modCopySettings::Copy_Internet_Scheduler(0, lngSource, lngDest, blnSourceEnabled));

    // Internet schedules carry sub-type 0 and their times in the "HH:mm" form.
    const test::Rows expected = {{"0", "2", "5", "0", "08:00", "09:30", "0"}, {"0", "1", "0", "0", "08:00", "17:00", "0"}};
    EXPECT_EQ(Schedules(lngDest, 1), expected);
    EXPECT_EQ(Schedules(lngDest, 2), (test::Rows{{"1", "3", "0", "4", "03:00", "04:00", "0"}}));
    // New ids for the copies.
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM SCH_TBL a JOIN SCH_TBL b ON a.SCH_ID=b.SCH_ID "
                                    "WHERE a.USER_ID=%1 AND b.USER_ID=%2")
                         .arg(lngSource)
                         .arg(lngDest)),
              "0");
    const test::Rows mode =
        Query(QStringLiteral("SELECT SCH_FOR, IA_ON_OFF FROM USER_TBL WHERE USER_ID=%1").arg(lngDest));
    if (blnSourceEnabled) {
        // Scheduler on; the destination keeps its own internet mode.
        EXPECT_EQ(mode, (test::Rows{{"2", "1"}}));
        EXPECT_EQ(Bits(lngDest), 0x9);
    } else {
        // Scheduler off; the destination gets the source's internet mode.
        EXPECT_EQ(mode, (test::Rows{{"1", "0"}}));
        EXPECT_EQ(Bits(lngDest), 0x8);
    }
}

INSTANTIATE_TEST_SUITE_P(SourceBit, InternetSchedulerCopyTest, ::testing::Bool());

class ApplicationSchedulerCopyTest : public CopyRoutinesTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ApplicationSchedulerCopyTest, ReplacesApplicationSchedulesOnlyAndPassesTheBit) {
    const bool blnSourceEnabled = GetParam();
    Add_Schedule(lngSource, 2, 1, 3, 0, 2049, "7:05", "23:59");
    Add_Schedule(lngSource, 1, 0, 1, 0, 0, "10:00", "11:00");  // an internet schedule: not copied
    Add_Schedule(lngDest, 2, 1, 1, 0, 0, "01:00", "02:00");    // replaced
    Add_Schedule(lngDest, 1, 0, 2, 64, 0, "03:00", "04:00");   // the destination's own internet schedule
    Set_Bits(lngDest, blnSourceEnabled ? 0 : FEATURE_APP_SCHEDULER);

    EXPECT_TRUE(modCopySettings::Copy_Application_Scheduler(0, lngSource, lngDest, blnSourceEnabled));

    EXPECT_EQ(Schedules(lngDest, 2), (test::Rows{{"1", "3", "0", "2049", "07:05", "23:59", "0"}}));
    EXPECT_EQ(Schedules(lngDest, 1), (test::Rows{{"0", "2", "64", "0", "03:00", "04:00", "0"}}));
    EXPECT_EQ(Bits(lngDest), blnSourceEnabled ? FEATURE_APP_SCHEDULER : 0);
}

INSTANTIATE_TEST_SUITE_P(SourceBit, ApplicationSchedulerCopyTest, ::testing::Bool());

// ---------------------------------------------------------------- general options

TEST_F(CopyRoutinesTest, GeneralOptionsCopyMessagesAndBypassListButNoBits) {
    Exec(QStringLiteral("UPDATE USER_TBL SET URL_MSG_TYPE=3, BLOCKED_URL_MSG='Don''t go there', "
                        "REDIRECT_URL='http://safe.example/', APP_MSG_TYPE=0, APP_BLOCKER_MSG='Not now', "
                        "FEATURE_BITS=0 WHERE USER_ID=%1")
             .arg(lngSource));
    Set_Bits(lngDest, 0x3FF);
    const Table_Column bypass{"BYPASS_EXE_TBL", "BYPASS_EXE"};
    Add_Values(bypass, lngSource, {"browser.exe", "mail.exe"});
    Add_Values(bypass, lngDest, {"old.exe"});
    Add_Values(bypass, lngOther, {"other.exe"});

    EXPECT_TRUE(modCopySettings::Copy_General_Options(0, lngSource, lngDest));

    EXPECT_EQ(Query(QStringLiteral("SELECT URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL, APP_MSG_TYPE, "
                                   "APP_BLOCKER_MSG FROM USER_TBL WHERE USER_ID=%1")
                        .arg(lngDest)),
              (test::Rows{{"3", "Don't go there", "http://safe.example/", "0", "Not now"}}));
    EXPECT_EQ(Values(bypass, lngDest), (QStringList{"browser.exe", "mail.exe"}));
    EXPECT_EQ(Values(bypass, lngOther), QStringList{"other.exe"});
    EXPECT_EQ(Bits(lngDest), 0x3FF);
}

// ---------------------------------------------------------------- failures

TEST_F(CopyRoutinesTest, AFailedInsertStopsTheCopyKeepsWhatWasWrittenAndLeavesTheBit) {
    const Table_Column files{"FILE_TBL", "FILE_EXTN"};
    Add_Values(files, lngSource, {".c1", ".c2", ".c3", ".c4"});
    Add_Values(files, lngDest, {".old"});
    Set_Bits(lngDest, 0);
    Exec(QStringLiteral("CREATE TRIGGER refuse_c3 BEFORE INSERT ON FILE_TBL WHEN NEW.USER_ID=%1 AND "
                        "NEW.FILE_EXTN='.c3' BEGIN SELECT RAISE(ABORT, 'insert refused'); END")
             .arg(lngDest));

    EXPECT_FALSE(modCopySettings::Copy_File_Filter(0, lngSource, lngDest, true));
    Expect_One_Critical_Box("insert refused");
    // Deleted first, nothing rolled back: the inserts before the failure were committed.
    const QStringList written = Values(files, lngDest);
    EXPECT_FALSE(written.contains(".old"));
    EXPECT_FALSE(written.contains(".c3"));
    EXPECT_LT(written.size(), 4);
    EXPECT_EQ(Bits(lngDest), 0);
    // The database is left with no transaction open: another copy goes through.
    Exec("DROP TRIGGER refuse_c3");
    EXPECT_TRUE(modCopySettings::Copy_File_Filter(0, lngSource, lngDest, true));
    EXPECT_EQ(Values(files, lngDest).size(), 4);
}

TEST_F(CopyRoutinesTest, AFailedDeleteStopsBeforeAnythingIsWritten) {
    const Table_Column black{"BL_TBL", "BL_URL"}, white{"WL_TBL", "WL_URL"};
    Add_Values(black, lngSource, {"a.example"});
    Add_Values(white, lngSource, {"w.example"});
    Add_Values(black, lngDest, {"x.example"});
    Add_Values(white, lngDest, {"y.example"});
    Set_Bits(lngDest, 0);
    Exec(QStringLiteral("CREATE TRIGGER keep_white BEFORE DELETE ON WL_TBL WHEN OLD.USER_ID=%1 BEGIN "
                        "SELECT RAISE(ABORT, 'delete refused'); END")
             .arg(lngDest));

    EXPECT_FALSE(modCopySettings::Copy_Website_Filter(0, lngSource, lngDest, true));
    Expect_One_Critical_Box("delete refused");
    // The black list came first and was replaced; the white list was left as it was.
    EXPECT_EQ(Values(black, lngDest), QStringList{"a.example"});
    EXPECT_EQ(Values(white, lngDest), QStringList{"y.example"});
    EXPECT_EQ(Bits(lngDest), 0);
}

TEST_F(CopyRoutinesTest, AFailedBitUpdateIsAFailure) {
    const Table_Column exes{"EXE_TBL", "EXE_NAME"};
    Add_Values(exes, lngSource, {"game.exe"});
    Exec(QStringLiteral("CREATE TRIGGER keep_bits BEFORE UPDATE OF FEATURE_BITS ON USER_TBL WHEN OLD.USER_ID=%1 "
                        "BEGIN SELECT RAISE(ABORT, 'update refused'); END")
             .arg(lngDest));
    EXPECT_FALSE(modCopySettings::Copy_EXE_Blocker(0, lngSource, lngDest, true));
    Expect_One_Critical_Box("update refused");
    EXPECT_EQ(Values(exes, lngDest), QStringList{"game.exe"});

    // A destination with no user row: its flags cannot be read, so none are written.
    EXPECT_FALSE(modCopySettings::Copy_EXE_Blocker(0, lngSource, 999, true));
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(CopyRoutinesTest, AnUnreadableSourceMessageRowFailsAfterTheBypassListWasEmptied) {
    const Table_Column bypass{"BYPASS_EXE_TBL", "BYPASS_EXE"};
    Add_Values(bypass, lngDest, {"old.exe"});
    Exec(QStringLiteral("UPDATE USER_TBL SET BLOCKED_URL_MSG='mine' WHERE USER_ID=%1").arg(lngDest));
    EXPECT_FALSE(modCopySettings::Copy_General_Options(0, 999, lngDest));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(Values(bypass, lngDest).isEmpty());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT BLOCKED_URL_MSG FROM USER_TBL WHERE USER_ID=%1").arg(lngDest)), "mine");
}

TEST_F(CopyRoutinesTest, AnUnreadableInternetModeIsNotTakenForOff) {
    Exec(QStringLiteral("UPDATE USER_TBL SET IA_ON_OFF=1, SCH_FOR=2 WHERE USER_ID=%1").arg(lngDest));
    EXPECT_FALSE(modCopySettings::Copy_Internet_Scheduler(0, 999, lngDest, false));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Query(QStringLiteral("SELECT SCH_FOR, IA_ON_OFF FROM USER_TBL WHERE USER_ID=%1").arg(lngDest)),
              (test::Rows{{"2", "1"}}));
}

TEST_F(CopyRoutinesTest, AScheduleTimeThatIsNoTimeOfDayFailsTheCopy) {
    Add_Schedule(lngSource, 2, 1, 1, 0, 0, "09:00", "10:00");
    Add_Schedule(lngSource, 2, 1, 1, 0, 0, "soon", "10:00");
    Set_Bits(lngDest, 0);
    EXPECT_FALSE(modCopySettings::Copy_Application_Scheduler(0, lngSource, lngDest, true));
    Expect_One_Critical_Box("Type mismatch");
    EXPECT_EQ(Schedules(lngDest, 2).size(), 1u);
    EXPECT_EQ(Bits(lngDest), 0);
}

}  // namespace
