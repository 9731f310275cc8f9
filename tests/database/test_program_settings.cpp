#include "database/modDBFunctions.h"
#include "support/Fixture.h"

#include <functional>
#include <utility>

using namespace modDBFunctions;

namespace {

std::string S(const QString& strText) { return strText.toStdString(); }

class ProgramSettingsTest : public test::Dv_Test {};

struct Pwd_Case {
    const char* strTyped;
    bool blnCorrect;
};

void PrintTo(const Pwd_Case& c, std::ostream* os) { *os << '"' << c.strTyped << '"'; }

class PwdTest : public test::Dv_Test, public ::testing::WithParamInterface<Pwd_Case> {};

TEST_P(PwdTest, PasswordMatchesExactlyAndCaseSensitively) {
    EXPECT_EQ(Is_Pwd_Correct(GetParam().strTyped), GetParam().blnCorrect);
}

INSTANTIATE_TEST_SUITE_P(Cases, PwdTest,
                         ::testing::Values(Pwd_Case{"Marigold", true}, Pwd_Case{"marigold", false},
                                           Pwd_Case{"MARIGOLD", false}, Pwd_Case{"Marigold ", false},
                                           Pwd_Case{"", false}));

TEST_F(ProgramSettingsTest, PasswordWithApostropheNeverMatchesAndIsStoredAsTyped) {
    EXPECT_FALSE(Is_Pwd_Correct("' OR '1'='1"));
    ASSERT_TRUE(Set_Pwd("it's"));
    EXPECT_EQ(Scalar("SELECT PWD FROM SETTINGS_TBL"), "it's");
    EXPECT_TRUE(Is_Pwd_Correct("it's"));
    QString strPwd;
    ASSERT_TRUE(Get_Pwd(strPwd));
    EXPECT_EQ(strPwd, "it's");
}

TEST_F(ProgramSettingsTest, EmptyTypedPasswordMatchesOnlyAnEmptyStoredOne) {
    ASSERT_TRUE(Set_Pwd(""));
    EXPECT_TRUE(Is_Pwd_Correct(""));
    EXPECT_FALSE(Is_Pwd_Correct("Marigold"));
}

TEST_F(ProgramSettingsTest, ModeAndClientOptionsReadTheFirstRowButWriteOnlyRowOne) {
    Exec("UPDATE SETTINGS_TBL SET SETTINGS_ID=5, PROGRAM_MODE=0, CLIENT_OPTIONS=6");
    long lngMode = 9;
    Flag_Word lngOptions = 9;
    ASSERT_TRUE(Get_Program_Mode(lngMode));
    ASSERT_TRUE(Get_Client_Options(lngOptions));
    EXPECT_EQ(lngMode, 0);
    EXPECT_EQ(lngOptions, 6);
    // A write that finds no row with SETTINGS_ID 1 stores nothing and says so.
    EXPECT_TRUE(Set_Program_Mode(1).Not_Stored());
    EXPECT_TRUE(Set_Client_Options(1).Not_Stored());
    EXPECT_EQ(Query("SELECT PROGRAM_MODE, CLIENT_OPTIONS FROM SETTINGS_TBL"), (test::Rows{{"0", "6"}}));
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const test::Shown_Box& box : boxes) {
        EXPECT_EQ(box.strText, "The settings are not stored as listed, so nothing was changed.");
        EXPECT_EQ(box.lngStyle, 16);
    }
    QString strPwd = "unchanged";
    EXPECT_FALSE(Get_Pwd(strPwd));  // no row with SETTINGS_ID 1
    EXPECT_EQ(strPwd, "unchanged");
    EXPECT_EQ(Boxes().size(), 1u);
}

// Every write of the settings row names SETTINGS_ID 1: with the row under another id it
// changes nothing, shows one box and is no success.
TEST_F(ProgramSettingsTest, EveryWriteOfTheSettingsRowThatFindsNoRowSaysSoOnce) {
    const std::pair<const char*, std::function<Row_Write()>> writes[] = {
        {"mode", [] { return Set_Program_Mode(0); }},
        {"client options", [] { return Set_Client_Options(2); }},
        {"password", [] { return Set_Pwd("Secret1"); }},
        {"remote settings", [] { return Set_Remote_Settings(1, "server2", "8080"); }},
        {"server name", [] { return Change_Remote_Settings(std::nullopt, QString("server2"), std::nullopt); }},
    };
    Exec("UPDATE SETTINGS_TBL SET SETTINGS_ID=5");
    const test::Rows before = Query("SELECT * FROM SETTINGS_TBL");
    for (const auto& [strName, write] : writes) {
        EXPECT_TRUE(write().Not_Stored()) << strName;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strName;
        EXPECT_EQ(boxes[0].strText, "The settings are not stored as listed, so nothing was changed.");
        EXPECT_EQ(Query("SELECT * FROM SETTINGS_TBL"), before) << strName;
    }
}

TEST_F(ProgramSettingsTest, ARemoteSettingLeftOutStaysAsStored) {
    Exec("UPDATE SETTINGS_TBL SET REMOTE_MODE=0, SERVER_NAME='localhost', CLIENT_PORT='08080'");
    ASSERT_TRUE(Change_Remote_Settings(1, std::nullopt, std::nullopt));
    ASSERT_TRUE(Change_Remote_Settings(std::nullopt, QString("server2"), std::nullopt));
    EXPECT_EQ(Query("SELECT REMOTE_MODE, SERVER_NAME, CLIENT_PORT FROM SETTINGS_TBL"),
              (test::Rows{{"1", "server2", "08080"}}));
    ASSERT_TRUE(Change_Remote_Settings(std::nullopt, std::nullopt, QString("2705")));
    EXPECT_EQ(Query("SELECT REMOTE_MODE, SERVER_NAME, CLIENT_PORT FROM SETTINGS_TBL"),
              (test::Rows{{"1", "server2", "2705"}}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ProgramSettingsTest, ClientOptionsAreReadWholeWhateverTheirRange) {
    for (const QString& strStored : {QString("2147483649"), QString("4294967295"), QString("-1"),
                                     QString::number((1L << 40) + 5)}) {
        Exec("UPDATE SETTINGS_TBL SET CLIENT_OPTIONS=" + strStored);
        Flag_Word lngOptions = 0;
        ASSERT_TRUE(Get_Client_Options(lngOptions)) << S(strStored);
        EXPECT_EQ(QString::number(lngOptions), strStored);
        ASSERT_TRUE(Set_Client_Options(lngOptions));
        EXPECT_EQ(Scalar("SELECT CLIENT_OPTIONS FROM SETTINGS_TBL"), strStored);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ProgramSettingsTest, ClientOptionsThatAreNoWholeNumberFailWithOneBox) {
    for (const char* strStored : {"'all'", "1.5", "1e30"}) {
        Exec(QString("UPDATE SETTINGS_TBL SET CLIENT_OPTIONS=%1").arg(strStored));
        Flag_Word lngOptions = 3;
        EXPECT_FALSE(Get_Client_Options(lngOptions)) << strStored;
        EXPECT_EQ(lngOptions, 3);
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strStored;
        EXPECT_EQ(boxes[0].lngStyle, 16);
    }
}

TEST_F(ProgramSettingsTest, RemoteSettingsRoundTripWithThePortAsText) {
    ASSERT_TRUE(Set_Remote_Settings(1, "server-01", "8080"));
    EXPECT_EQ(Query("SELECT REMOTE_MODE, SERVER_NAME, CLIENT_PORT, TYPEOF(CLIENT_PORT) FROM SETTINGS_TBL"),
              (test::Rows{{"1", "server-01", "8080", "text"}}));
    long lngMode = 0, lngPort = 0;
    QString strServer;
    ASSERT_TRUE(Get_Remote_Settings(lngMode, strServer, lngPort));
    EXPECT_EQ(lngMode, 1);
    EXPECT_EQ(strServer, "server-01");
    EXPECT_EQ(lngPort, 8080);
}

TEST_F(ProgramSettingsTest, UnreadablePortFailsAndLeavesTheOutParameters) {
    Exec("UPDATE SETTINGS_TBL SET REMOTE_MODE=1, CLIENT_PORT='eighty'");
    long lngMode = 0, lngPort = 3;
    QString strServer = "before";
    EXPECT_FALSE(Get_Remote_Settings(lngMode, strServer, lngPort));
    EXPECT_EQ(lngMode, 0);
    EXPECT_EQ(strServer, "before");
    EXPECT_EQ(lngPort, 3);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.startsWith("Type mismatch"));
}

TEST_F(ProgramSettingsTest, MissingDatabaseFailsEveryProcedureWithOneBoxEach) {
    QFile::remove(Database_File());
    long lngMode = 4;
    EXPECT_FALSE(Get_Program_Mode(lngMode));
    EXPECT_EQ(lngMode, 4);
    EXPECT_FALSE(Set_Pwd("x"));
    EXPECT_FALSE(Is_Pwd_Correct("Marigold"));
    EXPECT_EQ(Boxes().size(), 3u);
    EXPECT_FALSE(QFile::exists(Database_File()));
}

}  // namespace
