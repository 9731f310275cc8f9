#include "database/Installation.h"
#include "database/ValueSets.h"
#include "support/Fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <sys/stat.h>

namespace {

class InstallationTest : public test::Dv_Test {};

TEST_F(InstallationTest, FirstRowsAreTheSettingsRowAndTheAllUsersRow) {
    EXPECT_EQ(Query("SELECT SETTINGS_ID, PROGRAM_MODE, PWD, CLIENT_OPTIONS, REMOTE_MODE, SERVER_NAME, CLIENT_PORT FROM SETTINGS_TBL"),
              (test::Rows{{"1", "1", "Marigold", "0", "0", "localhost", "2705"}}));
    EXPECT_EQ(Query("SELECT USER_ID, USER_NAME, FEATURE_BITS, STATUS_BITS, SCH_FOR, IA_ON_OFF FROM USER_TBL"),
              (test::Rows{{"0", "All Users", "0", "0", "1", "1"}}));
}

TEST_F(InstallationTest, EveryTableAndColumnExists) {
    const std::vector<std::pair<QString, QString>> tables = {
        {"SETTINGS_TBL", "SETTINGS_ID,PROGRAM_MODE,PWD,CLIENT_OPTIONS,REMOTE_MODE,SERVER_NAME,CLIENT_PORT"},
        {"USER_TBL", "USER_ID,USER_NAME,DEVICE_LOCK,APP_MSG_TYPE,APP_BLOCKER_MSG,URL_MSG_TYPE,BLOCKED_URL_MSG,REDIRECT_URL,FEATURE_BITS,STATUS_BITS,IA_ON_OFF,SCH_FOR"},
        {"COMPUTER_TBL", "COMPUTER_ID,DEVICE_LOCK,APP_MSG_TYPE,APP_BLOCKER_MSG,URL_MSG_TYPE,BLOCKED_URL_MSG,REDIRECT_URL,FEATURE_BITS,STATUS_BITS,IA_ON_OFF,SCH_FOR"},
        {"BL_TBL", "BL_URL,COMPUTER_ID,USER_ID"}, {"WL_TBL", "WL_URL,COMPUTER_ID,USER_ID"},
        {"POP3_TBL", "POP3_EMAIL,COMPUTER_ID,USER_ID"}, {"SMTP_TBL", "SMTP_EMAIL,COMPUTER_ID,USER_ID"},
        {"FILE_TBL", "FILE_EXTN,COMPUTER_ID,USER_ID"}, {"EXE_TBL", "EXE_NAME,COMPUTER_ID,USER_ID"},
        {"WINDOW_TBL", "WINDOW_TITLE,COMPUTER_ID,USER_ID"}, {"BYPASS_EXE_TBL", "BYPASS_EXE,COMPUTER_ID,USER_ID"},
        {"PORT_TBL", "PORT_NO,FILTER_TYPE,PROTOCOL_TYPE,COMPUTER_ID,USER_ID"},
        {"SCH_TBL", "SCH_ID,SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,USER_ID"},
        {"USER_EXCPN_TBL", "E_ID,E_USER_NAME"},
        {"URL_RPT_TBL", "USER_ID,URL,DOMAIN_NAME,EXE_NAME,SEND_BITS,RECEIVED_BITS,START_TIME,STOP_TIME"},
        {"PROGRAM_RPT_TBL", "USER_ID,PROGRAM_NAME,PRODUCT_NAME,PROGRAM_TITLE,PROGRAM_PATH,COMPANY_NAME,START_TIME,STOP_TIME"},
        {"DEVICE_RPT_TBL", "USER_ID,DEVICE_TYPE,DEVICE,DEVICE_DESCRIPTION,DEVICE_LABEL,MANUFACTURER,START_TIME,STOP_TIME"},
        {"EMAIL_RPT_TBL", "USER_ID,EMAIL_TYPE,FROM_ADDRESS,TO_ADDRESS,CC_ADDRESS,BCC_ADDRESS,SUBJECT,START_TIME,ATTACHMENT"},
    };
    for (const auto& [strTable, strColumns] : tables) {
        QStringList have;
        for (const QStringList& row : Query("PRAGMA table_info(" + strTable + ")")) have << row[1];
        for (const QString& strColumn : strColumns.split(','))
            EXPECT_TRUE(have.contains(strColumn)) << strTable.toStdString() << "." << strColumn.toStdString();
    }
}

TEST_F(InstallationTest, IdsAreAssignedByTheDatabaseAndNeverReused) {
    const long lngFirst = Insert_User("alice");
    EXPECT_EQ(lngFirst, 1);
    Exec("DELETE FROM USER_TBL WHERE USER_ID=1");
    EXPECT_EQ(Insert_User("bob"), 2);
    Exec("INSERT INTO SCH_TBL (SCH_FOR, D_W_M, FROM_TIME, TO_TIME) VALUES (1, 1, '08:00', '09:00')");
    EXPECT_EQ(Scalar("SELECT SCH_ID FROM SCH_TBL"), "1");
}

TEST_F(InstallationTest, OneRowPerUserNameAndPerListEntry) {
    Insert_User("alice");
    Exec("INSERT OR IGNORE INTO USER_TBL (USER_NAME) VALUES ('alice')");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL WHERE USER_NAME='alice'"), "1");
    for (int i = 0; i < 2; ++i) Exec("INSERT OR IGNORE INTO BL_TBL(BL_URL ,COMPUTER_ID,USER_ID) VALUES('a.com',0,1)");
    Exec("INSERT OR IGNORE INTO BL_TBL(BL_URL ,COMPUTER_ID,USER_ID) VALUES('a.com',0,2)");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM BL_TBL"), "2");
    // Always-allowed programs use a plain insert, so they keep no uniqueness rule.
    for (int i = 0; i < 2; ++i) Exec("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE,COMPUTER_ID,USER_ID) VALUES ('a.exe',0,1)");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM BYPASS_EXE_TBL"), "2");
}

TEST_F(InstallationTest, ReportTablesAreIndexedByUserAndTime) {
    for (const char* strTable : {"URL_RPT_TBL", "PROGRAM_RPT_TBL", "DEVICE_RPT_TBL", "EMAIL_RPT_TBL"}) {
        const QString strPlan = Query(QString("EXPLAIN QUERY PLAN SELECT * FROM %1 WHERE USER_ID=3 AND START_TIME >= '2026-01-01'").arg(strTable))[0].last();
        EXPECT_TRUE(strPlan.contains("USING INDEX")) << strPlan.toStdString();
    }
}

TEST_F(InstallationTest, AnExistingFileIsLeftAlone) {
    Exec("UPDATE SETTINGS_TBL SET PWD='changed'");
    QString strError;
    ASSERT_TRUE(Installation::Create_Settings_Database(Database_File(), strError));
    EXPECT_EQ(Scalar("SELECT PWD FROM SETTINGS_TBL"), "changed");
}

TEST_F(InstallationTest, AFailureLeavesNoFile) {
    QString strError;
    QFile blocker(Temp_Path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(Installation::Create_Settings_Database(Temp_Path("blocker/sub/x.iil"), strError));
    EXPECT_FALSE(strError.isEmpty());
}

// ---------------------------------------------------------------- the step as a program

int Mode_Of(const QString& strPath) {
    struct stat st {};
    if (::stat(QFile::encodeName(strPath).constData(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

struct Program_Run {
    int intExitCode;
    QString strOut, strErr;
};

class InstallProgramTest : public test::Dv_Test {
protected:
    // Runs dv-install in the test's folder with a umask that takes nothing away.
    Program_Run Install(const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(Temp_Path(""));
        p.setChildProcessModifier([] { ::umask(0); });
        p.start(QStringLiteral(DV_INSTALL_FILE), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }
    QStringList Folder_Entries() { return QDir(Temp_Path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }
};

TEST_F(InstallProgramTest, TheDatabaseAndTheRegistryStoreAreForTheirOwnerOnly) {
    const QString strPath = Temp_Path("win/tsdvstore.iil");
    const Program_Run run = Install({strPath});
    ASSERT_EQ(run.intExitCode, 0) << run.strErr.toStdString();
    EXPECT_EQ(Mode_Of(strPath), 0600);
    EXPECT_EQ(Mode_Of(Temp_Path("win/registry.dat")), 0600);
    EXPECT_FALSE(QFile::exists(strPath + ".new"));
    // Run again, both are kept as they are.
    EXPECT_EQ(Install({strPath}).intExitCode, 0);
    EXPECT_EQ(Mode_Of(strPath), 0600);
}

TEST_F(InstallProgramTest, HelpPrintsTheUsageAndUnknownOptionsAreRefused) {
    const QStringList before = Folder_Entries();
    const Program_Run help = Install({"--help"});
    EXPECT_EQ(help.intExitCode, 0);
    EXPECT_TRUE(help.strOut.startsWith("Usage: dv-install [database file]")) << help.strOut.toStdString();
    for (const QStringList& args : {QStringList{"--force"}, QStringList{"-x", "a.iil"}, QStringList{"a.iil", "b.iil"}}) {
        const Program_Run run = Install(args);
        EXPECT_EQ(run.intExitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.strErr.contains("Usage: dv-install")) << run.strErr.toStdString();
    }
    EXPECT_EQ(Folder_Entries(), before) << "no file was made";
}

}  // namespace
