// The copy routines on real rows: each feature replaces the destinations' rows with
// the source's and passes the source's feature bit; the all-users row as source and
// destination; a failed delete, read, insert, bit update or commit (a refusing trigger,
// a reader holding the file, a full or read-only database, the program killed) leaves
// each destination with either its old rows or the source's.
#include "console/modCopySettings.h"
#include "database/ValueSets.h"
#include "database/modDB.h"
#include "support/Fixture.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <functional>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using modCopySettings::Copy_Feature;
using modCopySettings::Destinations;
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
        if (values.isEmpty()) return;
        QStringList rows;
        for (const QString& strValue : values)
            rows << QStringLiteral("('%1', %2, %3)").arg(QString(strValue).replace("'", "''")).arg(lngComputerID).arg(lngUserID);
        Exec(QStringLiteral("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES ").arg(t.strTable, t.strColumn) +
             rows.join(','));
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
    // Runs a routine on a connection of the copy's own, as the copy dialog does.
    static bool Copy(modCopySettings::Copy_Routine routine, long lngFrom, const Destinations& destinations,
                     bool blnSourceEnabled) {
        modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
        return routine(hDb, 0, lngFrom, destinations, blnSourceEnabled);
    }
    static bool Copy_General(long lngFrom, const Destinations& destinations) {
        modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
        return modCopySettings::Copy_General_Options(hDb, 0, lngFrom, destinations);
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
    Flag_Word lngBit;
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

    EXPECT_TRUE(Copy(pFeature->routine, lngSource, {lngDest}, blnSourceEnabled));

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
    EXPECT_TRUE(Copy(modCopySettings::Copy_Website_Filter, lngSource, {lngDest}, true));
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
    EXPECT_TRUE(Copy(modCopySettings::Copy_File_Filter, lngFrom, {lngTo}, true));
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

    EXPECT_TRUE(Copy(modCopySettings::Copy_Port_Filter, lngSource, {lngDest}, true));
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
    EXPECT_TRUE(Copy(modCopySettings::Copy_Port_Filter, lngSource, {lngDest}, false));
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

    EXPECT_TRUE(Copy(modCopySettings::Copy_Internet_Scheduler, lngSource, {lngDest}, blnSourceEnabled));

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

    EXPECT_TRUE(Copy(modCopySettings::Copy_Application_Scheduler, lngSource, {lngDest}, blnSourceEnabled));

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

    EXPECT_TRUE(Copy_General(lngSource, {lngDest}));

    EXPECT_EQ(Query(QStringLiteral("SELECT URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL, APP_MSG_TYPE, "
                                   "APP_BLOCKER_MSG FROM USER_TBL WHERE USER_ID=%1")
                        .arg(lngDest)),
              (test::Rows{{"3", "Don't go there", "http://safe.example/", "0", "Not now"}}));
    EXPECT_EQ(Values(bypass, lngDest), (QStringList{"browser.exe", "mail.exe"}));
    EXPECT_EQ(Values(bypass, lngOther), QStringList{"other.exe"});
    EXPECT_EQ(Bits(lngDest), 0x3FF);
}

// ---------------------------------------------------------------- failures

// A copy of the file filter to three destinations that fails on the way: each
// destination keeps either its old list and flags or gets the source's whole, the
// copy stops at the failure, and exactly one box says why.
struct Fault_Case {
    const char* strName;
    test::Fault fault;
    // How many destinations got the copy before the failure.
    int intCopied;
    // For a trigger: what it refuses, %1 being the second destination.
    const char* strRefused;
    // A full disk: the first destination's old list is long enough that the source's
    // fits in its place, the second's is not.
    bool blnRoomForFirst;
};

void PrintTo(const Fault_Case& c, std::ostream* os) { *os << c.strName << test::Fault_Name(c.fault); }

class CopyFaultTest : public CopyRoutinesTest, public ::testing::WithParamInterface<Fault_Case> {};

// The second destination's insert, delete or flags refused: by a trigger that undoes the
// statement and by one that rolls the transaction back, so that what ran for it before
// is gone too and nothing after it may run outside a transaction.
std::vector<Fault_Case> Fault_Cases() {
    std::vector<Fault_Case> cases = {
        {"", test::Fault::Held_Read_Lock, 0, nullptr, false},
        {"", test::Fault::Database_Full, 0, nullptr, false},
        {"", test::Fault::Read_Only, 0, nullptr, false},
        {"FullAtTheSecond", test::Fault::Database_Full, 1, nullptr, true},
    };
    const std::pair<const char*, const char*> refused[] = {
        {"InsertRefusedPartWay", "INSERT ON FILE_TBL WHEN NEW.USER_ID=%1 AND NEW.FILE_EXTN='.s150'"},
        {"DeleteRefused", "DELETE ON FILE_TBL WHEN OLD.USER_ID=%1"},
        {"BitUpdateRefused", "UPDATE OF FEATURE_BITS ON USER_TBL WHEN OLD.USER_ID=%1"},
    };
    for (const auto& [strName, strRefused] : refused)
        for (const test::Fault fault : {test::Fault::Abort_Trigger, test::Fault::Rollback_Trigger})
            cases.push_back({strName, fault, 1, strRefused, false});
    return cases;
}

TEST_P(CopyFaultTest, EachDestinationKeepsItsOldListOrGetsTheWholeNewOne) {
    const Fault_Case& c = GetParam();
    const Table_Column files{"FILE_TBL", "FILE_EXTN"};
    QStringList source;
    for (int i = 0; i < 300; ++i) source << QStringLiteral(".s%1").arg(i);
    Add_Values(files, lngSource, source);
    Set_Bits(lngSource, FEATURE_FILE_FILTER);
    const std::vector<long> destinations = {lngDest, lngOther, Insert_User("THIRD")};
    for (const long lngUserID : destinations) {
        Add_Values(files, lngUserID, {".old1-" + QString::number(lngUserID), ".old2"});
        Set_Bits(lngUserID, 0x1000);
    }
    if (c.blnRoomForFirst) {
        // Values as long as the source's: their room takes its 300 once with some to
        // spare, never a second copy.
        QStringList room;
        for (int i = 0; i < 420; ++i) room << QStringLiteral(".r%1").arg(i);
        Add_Values(files, destinations[0], room);
        Fill_Until_Full(files.strTable, files.strColumn);
    }
    std::unique_ptr<test::Made_Fault> made =
        c.strRefused ? Make_Fault(c.fault, {QString(QLatin1String(c.strRefused)).arg(destinations[1])})
                     : Make_Fault(c.fault);

    EXPECT_FALSE(Copy(modCopySettings::Copy_File_Filter, lngSource, destinations, true));
    Expect_One_Critical_Box(QLatin1String(test::Fault_Text(c.fault)));
    made->Release();

    source.sort();
    for (size_t i = 0; i < destinations.size(); ++i) {
        SCOPED_TRACE(i);
        const bool blnCopied = static_cast<int>(i) < c.intCopied;
        EXPECT_EQ(Values(files, destinations[i]),
                  blnCopied ? source : (QStringList{".old1-" + QString::number(destinations[i]), ".old2"}));
        EXPECT_EQ(Bits(destinations[i]), blnCopied ? (0x1000 | FEATURE_FILE_FILTER) : 0x1000);
    }
    // No transaction was left open: the same copy now goes through.
    EXPECT_TRUE(Copy(modCopySettings::Copy_File_Filter, lngSource, destinations, true));
    for (const long lngUserID : destinations) EXPECT_EQ(Values(files, lngUserID), source);
}

INSTANTIATE_TEST_SUITE_P(Faults, CopyFaultTest, ::testing::ValuesIn(Fault_Cases()), [](const auto& info) {
    return std::string(info.param.strName) + test::Fault_Name(info.param.fault);
});

// A count read while another process writes: waits for its locks (the fixture's own
// reads do not).
long long Count_Waiting(const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(modDB::Get_Database_File().toUtf8().constData(), &db);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* stmt = nullptr;
    long long lngCount = -1;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        lngCount = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return lngCount;
}

TEST_F(CopyRoutinesTest, AKilledCopyLeavesEveryDestinationWithItsOldListOrAWholeNewOne) {
    // Two sources whose website filters the copying process writes in turn to twenty
    // destinations, until it is killed (SIGKILL, no clean-up of any kind).
    const Table_Column black{"BL_TBL", "BL_URL"}, white{"WL_TBL", "WL_URL"};
    const long lngSecond = Insert_User("SECOND");
    QStringList blackA, whiteA, blackB, whiteB, blackOld;
    for (int i = 0; i < 400; ++i) blackA << QStringLiteral("a%1.example").arg(i, 3, 10, QLatin1Char('0'));
    for (int i = 0; i < 100; ++i) whiteA << QStringLiteral("wa%1.example").arg(i, 3, 10, QLatin1Char('0'));
    for (int i = 0; i < 250; ++i) blackB << QStringLiteral("b%1.example").arg(i, 3, 10, QLatin1Char('0'));
    for (int i = 0; i < 30; ++i) whiteB << QStringLiteral("wb%1.example").arg(i, 3, 10, QLatin1Char('0'));
    for (int i = 0; i < 50; ++i) blackOld << QStringLiteral("old%1.example").arg(i, 3, 10, QLatin1Char('0'));
    Add_Values(black, lngSource, blackA);
    Add_Values(white, lngSource, whiteA);
    Add_Values(black, lngSecond, blackB);
    Add_Values(white, lngSecond, whiteB);
    Destinations destinations;
    for (int d = 0; d < 20; ++d) {
        destinations.push_back(Insert_User(QStringLiteral("dest%1").arg(d)));
        Add_Values(black, destinations.back(), blackOld);
    }
    const std::vector<std::pair<QStringList, QStringList>> allowed = {
        {blackOld, {}}, {blackA, whiteA}, {blackB, whiteB}};
    const QString strJournal = Database_File() + "-journal";

    int intKilledInsideATransaction = 0;
    for (int intRound = 0; intRound < 5; ++intRound) {
        SCOPED_TRACE(intRound);
        fflush(nullptr);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (;;) {
                Copy(modCopySettings::Copy_Website_Filter, lngSource, destinations, true);
                Copy(modCopySettings::Copy_Website_Filter, lngSecond, destinations, false);
            }
        }
        // Let it run into the copy (a destination written), then kill it at a moment
        // that differs from round to round.
        const QByteArray strNewLists = QStringLiteral("SELECT COUNT(*) FROM BL_TBL WHERE USER_ID >= %1 AND "
                                                      "BL_URL NOT LIKE 'old%'")
                                           .arg(destinations.front())
                                           .toUtf8();
        for (int i = 0; i < 2000 && Count_Waiting(strNewLists) == 0; ++i) usleep(1000);
        usleep(static_cast<useconds_t>(3000 + intRound * 7000));
        kill(pid, SIGKILL);
        int intStatus = 0;
        waitpid(pid, &intStatus, 0);
        ASSERT_TRUE(WIFSIGNALED(intStatus));
        // A journal left behind is the trace of a transaction cut off part-way; the next
        // reader rolls it back.
        if (QFile::exists(strJournal) && QFileInfo(strJournal).size() > 0) ++intKilledInsideATransaction;

        int intNew = 0;
        for (const long lngUserID : destinations) {
            const std::pair<QStringList, QStringList> lists = {Values(black, lngUserID), Values(white, lngUserID)};
            EXPECT_NE(std::find(allowed.begin(), allowed.end(), lists), allowed.end())
                << "destination " << lngUserID << " holds " << lists.first.size() << " black and "
                << lists.second.size() << " white entries";
            if (lists.first != blackOld) ++intNew;
        }
        EXPECT_GT(intNew, 0) << "the copy never got going";
    }
    EXPECT_GT(intKilledInsideATransaction, 0);
    // Nothing is locked or left half-written: a copy in this process goes through.
    EXPECT_TRUE(Copy(modCopySettings::Copy_Website_Filter, lngSource, destinations, true));
    for (const long lngUserID : destinations) EXPECT_EQ(Values(black, lngUserID), blackA);
}

TEST_F(CopyRoutinesTest, AnUnreadableSourceFailsBeforeAnyDestinationIsTouched) {
    const Table_Column bypass{"BYPASS_EXE_TBL", "BYPASS_EXE"};
    Add_Values(bypass, lngDest, {"old.exe"});
    Exec(QStringLiteral("UPDATE USER_TBL SET BLOCKED_URL_MSG='mine', IA_ON_OFF=1, SCH_FOR=2 WHERE USER_ID=%1")
             .arg(lngDest));
    // The general options of a user with no row: the messages cannot be read.
    EXPECT_FALSE(Copy_General(999, {lngDest}));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Values(bypass, lngDest), QStringList{"old.exe"});
    EXPECT_EQ(Scalar(QStringLiteral("SELECT BLOCKED_URL_MSG FROM USER_TBL WHERE USER_ID=%1").arg(lngDest)), "mine");
    // Its internet mode cannot be read: it is not taken for "off".
    EXPECT_FALSE(Copy(modCopySettings::Copy_Internet_Scheduler, 999, {lngDest}, false));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Query(QStringLiteral("SELECT SCH_FOR, IA_ON_OFF FROM USER_TBL WHERE USER_ID=%1").arg(lngDest)),
              (test::Rows{{"2", "1"}}));
}

// ---------------------------------------------------------------- rows the console cannot read

// A source row holding a value the console could not read or hold (a text where a
// number belongs, a number beyond 32 bits or with a fraction, a time in no form the
// console knows, a text in the Windows-1252 code page) reaches the destination as
// stored, its type and bytes unchanged, and the readable rows beside it are copied too.
struct Odd_Row_Case {
    const char* strName;
    const char* strKey;      // the feature copied
    const char* strSetUp;    // SQL giving the source (%1) its rows
    const char* strTable;    // where they are stored
    const char* strColumns;  // the columns copied
    const char* strOrder;    // an order both sides share
    const char* strOdd;      // the odd row's condition: found once at the destination
};
void PrintTo(const Odd_Row_Case& c, std::ostream* os) { *os << c.strName; }

#define PORTS "INSERT INTO PORT_TBL (PORT_NO, FILTER_TYPE, PROTOCOL_TYPE, COMPUTER_ID, USER_ID) VALUES "
#define APP_SCHEDULES                                                                                         \
    "INSERT INTO SCH_TBL (SCH_FOR, SCH_SUB_TYPE, D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME, COMPUTER_ID, " \
    "USER_ID) VALUES "
#define SCHEDULE_COLUMNS "SCH_FOR, D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME"
#define PORT_COLUMNS "PORT_NO, FILTER_TYPE, PROTOCOL_TYPE"

const Odd_Row_Case ODD_ROW_CASES[] = {
    {"PortNumberText", "Port Blocking And Filtering",
     PORTS "(80, 1, 'HTTP', 0, %1), ('any', 1, 'ANY', 0, %1), (25, 65535, 'SMTP', 0, %1)", "PORT_TBL", PORT_COLUMNS,
     PORT_COLUMNS, "PORT_NO='any' AND typeof(PORT_NO)='text'"},
    {"PortNumberBeyond32Bits", "Port Blocking And Filtering",
     PORTS "(80, 1, 'HTTP', 0, %1), (4294967296, 1, 'BIG', 0, %1), (25, 65535, 'SMTP', 0, %1)", "PORT_TBL",
     PORT_COLUMNS, PORT_COLUMNS, "PORT_NO=4294967296 AND typeof(PORT_NO)='integer'"},
    {"PortNumberWithAFraction", "Port Blocking And Filtering",
     PORTS "(80, 1, 'HTTP', 0, %1), (110.5, 4, 'POP3', 0, %1), (25, 65535, 'SMTP', 0, %1)", "PORT_TBL",
     PORT_COLUMNS, PORT_COLUMNS, "PORT_NO=110.5 AND typeof(PORT_NO)='real'"},
    {"FilterTypeText", "Port Blocking And Filtering",
     PORTS "(80, 1, 'HTTP', 0, %1), (110, 'smtp', 'POP3', 0, %1), (25, 65535, 'SMTP', 0, %1)", "PORT_TBL",
     PORT_COLUMNS, PORT_COLUMNS, "FILTER_TYPE='smtp' AND typeof(FILTER_TYPE)='text'"},
    {"FilterTypeBelow32Bits", "Port Blocking And Filtering",
     PORTS "(119, -2147483649, 'NEWS', 0, %1), (80, 1, 'HTTP', 0, %1), (25, 65535, 'SMTP', 0, %1)", "PORT_TBL",
     PORT_COLUMNS, PORT_COLUMNS, "FILTER_TYPE=-2147483649"},
    {"WeekdaysBeyond32Bits", "Application Scheduler",
     APP_SCHEDULES "(2, 1, 1, 0, 0, '08:00', '09:00', 0, %1), (2, 1, 2, 4294967295, 0, '10:00', '11:00', 0, %1), "
                   "(2, 1, 3, 0, 7, '12:00', '13:00', 0, %1)",
     "SCH_TBL", SCHEDULE_COLUMNS, "SCH_ID", "WEEKDAYS=4294967295 AND typeof(WEEKDAYS)='integer'"},
    {"FromTimeNoTimeOfDay", "Application Scheduler",
     APP_SCHEDULES "(2, 1, 1, 0, 0, '08:00', '09:00', 0, %1), (2, 1, 1, 0, 0, 'noon', '13:00', 0, %1), "
                   "(2, 1, 3, 0, 7, '12:00', '13:00', 0, %1)",
     "SCH_TBL", SCHEDULE_COLUMNS, "SCH_ID", "FROM_TIME='noon'"},
    {"PeriodText", "Application Scheduler",
     APP_SCHEDULES "(2, 1, 1, 0, 0, '08:00', '09:00', 0, %1), (2, 1, 'weekly', 0, 0, '10:00', '11:00', 0, %1), "
                   "(2, 1, 3, 0, 7, '12:00', '13:00', 0, %1)",
     "SCH_TBL", SCHEDULE_COLUMNS, "SCH_ID", "D_W_M='weekly' AND typeof(D_W_M)='text'"},
    {"TimesNoTimeOfDayInEveryForm", "Internet Scheduler",
     APP_SCHEDULES "(1, 0, 1, 0, 0, '24:00', '9:5', 0, %1), (1, 0, 1, 0, 0, 'noon', X'6E6F6F6E', 0, %1), "
                   "(1, 0, 1, 0, 0, '12:60', CAST(X'393A3035E9' AS TEXT), 0, %1), (1, 0, 1, 0, 0, '08:00', '09:00', 0, %1)",
     "SCH_TBL", SCHEDULE_COLUMNS, "SCH_ID", "FROM_TIME='noon' AND typeof(TO_TIME)='blob'"},
    {"InternetWeekdaysText", "Internet Scheduler",
     APP_SCHEDULES "(1, 0, 2, 'Mon', 0, '08:00', '09:00', 0, %1), (1, 0, 1, 0, 0, '10:00', '11:00', 0, %1)",
     "SCH_TBL", SCHEDULE_COLUMNS, "SCH_ID", "WEEKDAYS='Mon'"},
    {"ListTextInWindows1252", "File Filter",
     "INSERT INTO FILE_TBL (FILE_EXTN, COMPUTER_ID, USER_ID) VALUES ('.doc', 0, %1), "
     "(CAST(X'2E636166E9' AS TEXT), 0, %1), ('.zip', 0, %1)",
     "FILE_TBL", "FILE_EXTN", "FILE_EXTN", "FILE_EXTN=CAST(X'2E636166E9' AS TEXT)"},
    {"MessagesAsStored", "General Options",
     "UPDATE USER_TBL SET URL_MSG_TYPE=4294967296, BLOCKED_URL_MSG=CAST(X'436166E9' AS TEXT), "
     "REDIRECT_URL='http://safe.example/', APP_MSG_TYPE='none', APP_BLOCKER_MSG='Not now' WHERE USER_ID=%1; "
     "INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES (CAST(X'6A6575E92E657865' AS TEXT), 0, %1)",
     "USER_TBL", "URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL, APP_MSG_TYPE, APP_BLOCKER_MSG", "USER_ID",
     "URL_MSG_TYPE=4294967296 AND BLOCKED_URL_MSG=CAST(X'436166E9' AS TEXT) AND APP_MSG_TYPE='none'"},
};

class OddRowCopyTest : public CopyRoutinesTest, public ::testing::WithParamInterface<Odd_Row_Case> {
protected:
    // Each stored row of the owner, every column as its type and its bytes.
    test::Rows Stored_As_Is(const Odd_Row_Case& c, long lngUserID) {
        QStringList columns;
        for (const QString& strColumn : QString(QLatin1String(c.strColumns)).split(", "))
            columns << QStringLiteral("typeof(%1)||':'||hex(%1)").arg(strColumn);
        return Query(QStringLiteral("SELECT %1 FROM %2 WHERE USER_ID=%3 ORDER BY %4")
                         .arg(columns.join(','), QLatin1String(c.strTable))
                         .arg(lngUserID)
                         .arg(QLatin1String(c.strOrder)));
    }
};

TEST_P(OddRowCopyTest, TheDestinationGetsEverySourceRowAsStored) {
    const Odd_Row_Case& c = GetParam();
    const Copy_Feature* pFeature = Find_Copy_Feature(QLatin1String(c.strKey));
    ASSERT_NE(pFeature, nullptr);
    Exec(QString(QLatin1String(c.strSetUp)).arg(lngSource));
    const test::Rows source = Stored_As_Is(c, lngSource);
    ASSERT_FALSE(source.empty());

    EXPECT_TRUE(Copy(pFeature->routine, lngSource, {lngDest}, false));
    EXPECT_TRUE(Boxes().empty());

    EXPECT_EQ(Stored_As_Is(c, lngDest), source);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE USER_ID=%2 AND %3")
                         .arg(QLatin1String(c.strTable))
                         .arg(lngDest)
                         .arg(QLatin1String(c.strOdd))),
              "1");
    // The source's rows stay as they were.
    EXPECT_EQ(Stored_As_Is(c, lngSource), source);
    if (QLatin1String(c.strKey) == QLatin1String("General Options")) {
        EXPECT_EQ(Scalar(QStringLiteral("SELECT hex(BYPASS_EXE) FROM BYPASS_EXE_TBL WHERE USER_ID=%1").arg(lngDest)),
                  "6A6575E92E657865");
    }
}

INSTANTIATE_TEST_SUITE_P(Values, OddRowCopyTest, ::testing::ValuesIn(ODD_ROW_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

// Each copied time the schedule editors can read arrives in their "HH:mm" form, in
// both schedule copies; a value that is no time of day arrives as stored, type and
// bytes, and the rows after it are copied too.
struct Copied_Time_Case {
    const char* strName;
    const char* strStored;    // SQL of the source's FROM_TIME and TO_TIME
    const char* strExpected;  // SQL of what the destination holds in both
};
void PrintTo(const Copied_Time_Case& c, std::ostream* os) { *os << c.strName; }

const Copied_Time_Case COPIED_TIME_CASES[] = {
    {"HourWithoutLeadingZero", "'9:05'", "'09:05'"},
    {"AlreadyInForm", "'08:00'", "'08:00'"},
    {"LastMinuteOfTheDay", "'23:59'", "'23:59'"},
    {"HourTwentyNine", "'29:00'", "'29:00'"},
    {"FullWidthDigits", "'０８:００'", "'０８:００'"},
    {"Midnight", "'0:00'", "'00:00'"},
    {"WithZeroSeconds", "'09:05:00'", "'09:05'"},
    {"WithSeconds", "'17:00:30'", "'17:00'"},
    {"BlanksAround", "' 9:05 '", "'09:05'"},
    {"TabAndLineEnd", "char(9)||'7:00'||char(10)", "'07:00'"},
    {"StoredAsBytes", "X'393A3035'", "'09:05'"},
    {"MinuteWithoutLeadingZero", "'9:5'", "'9:5'"},
    {"HourTwentyFour", "'24:00'", "'24:00'"},
    {"MinuteSixty", "'12:60'", "'12:60'"},
    {"ThreeDigitHour", "'009:05'", "'009:05'"},
    {"SignedHour", "'+9:05'", "'+9:05'"},
    {"Word", "'noon'", "'noon'"},
    {"Empty", "''", "''"},
    // The columns hold texts: a number written there is stored as its text.
    {"Number", "905", "'905'"},
    {"NumberWithAFraction", "9.05", "'9.05'"},
    {"WordAsBytes", "X'6E6F6F6E'", "X'6E6F6F6E'"},
    {"Windows1252Text", "CAST(X'393A3035E9' AS TEXT)", "CAST(X'393A3035E9' AS TEXT)"},
};

class CopiedTimeTest : public CopyRoutinesTest, public ::testing::WithParamInterface<Copied_Time_Case> {
protected:
    // FROM_TIME and TO_TIME of each of the owner's schedules of one kind, as type and bytes.
    test::Rows Times(long lngUserID, long lngSchFor) {
        return Query(QStringLiteral("SELECT typeof(FROM_TIME)||':'||hex(FROM_TIME), typeof(TO_TIME)||':'||hex(TO_TIME) "
                                    "FROM SCH_TBL WHERE USER_ID=%1 AND SCH_FOR=%2 ORDER BY SCH_ID")
                         .arg(lngUserID)
                         .arg(lngSchFor));
    }
};

TEST_P(CopiedTimeTest, ReadableTimesArriveAsHHmmAndOthersAsStored) {
    const Copied_Time_Case& c = GetParam();
    const QString strExpected = Scalar(QStringLiteral("SELECT typeof(x)||':'||hex(x) FROM (SELECT %1 AS x)")
                                           .arg(QLatin1String(c.strExpected)));
    const QString strLater = Scalar("SELECT typeof('10:00')||':'||hex('10:00')");
    struct Caller {
        modCopySettings::Copy_Routine routine;
        long lngSchFor, lngSubType;
    };
    for (const Caller& caller : {Caller{modCopySettings::Copy_Internet_Scheduler, 1, 0},
                                 Caller{modCopySettings::Copy_Application_Scheduler, 2, 1}}) {
        Exec(QStringLiteral("DELETE FROM SCH_TBL; INSERT INTO SCH_TBL (SCH_FOR, SCH_SUB_TYPE, D_W_M, WEEKDAYS, MONTHS, "
                            "FROM_TIME, TO_TIME, COMPUTER_ID, USER_ID) VALUES (%1, %2, 0, 0, 0, %3, %3, 0, %4), "
                            "(%1, %2, 0, 0, 0, '10:00', '10:00', 0, %4)")
                 .arg(caller.lngSchFor)
                 .arg(caller.lngSubType)
                 .arg(QLatin1String(c.strStored))
                 .arg(lngSource));
        const test::Rows source = Times(lngSource, caller.lngSchFor);

        EXPECT_TRUE(Copy(caller.routine, lngSource, {lngDest}, false)) << caller.lngSchFor;
        EXPECT_TRUE(Boxes().empty());

        EXPECT_EQ(Times(lngDest, caller.lngSchFor),
                  (test::Rows{{strExpected, strExpected}, {strLater, strLater}}))
            << caller.lngSchFor;
        EXPECT_EQ(Times(lngSource, caller.lngSchFor), source) << "the source stays as stored";
    }
}

INSTANTIATE_TEST_SUITE_P(Values, CopiedTimeTest, ::testing::ValuesIn(COPIED_TIME_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

#undef PORTS
#undef APP_SCHEDULES
#undef SCHEDULE_COLUMNS
#undef PORT_COLUMNS

TEST_F(CopyRoutinesTest, ADestinationWithoutAUserRowIsRolledBack) {
    // Its flags cannot be read, so its rows are not replaced either.
    const Table_Column exes{"EXE_TBL", "EXE_NAME"};
    Add_Values(exes, lngSource, {"game.exe"});
    Add_Values(exes, 999, {"ghost.exe"});
    EXPECT_FALSE(Copy(modCopySettings::Copy_EXE_Blocker, lngSource, {999}, true));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Values(exes, 999), QStringList{"ghost.exe"});
}

}  // namespace
