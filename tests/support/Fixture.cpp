#include "support/Fixture.h"

#include "database/Installation.h"
#include "database/modDB.h"
#include "services/modGlobal.h"
#include "services/modProgram.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace test {

void Dv_Test::SetUp() {
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    m_strWindowsDir = m_dir->filePath("Windows");
    m_strProgramDir = m_dir->filePath("Program");
    ASSERT_TRUE(QDir().mkpath(m_strWindowsDir));
    ASSERT_TRUE(QDir().mkpath(m_strProgramDir));
    QString strError;
    ASSERT_TRUE(Installation::Create_Settings_Database(Database_File(), strError)) << strError.toStdString();

    platform::Service_Set& s = platform::Services();
    s.messageBox = messageBox = std::make_shared<Fake_Message_Box>();
    s.fileDialog = fileDialog = std::make_shared<Fake_File_Dialog>();
    s.shell = shell = std::make_shared<Fake_Shell>();
    s.forms = forms = std::make_shared<Fake_Forms>();
    s.environment = environment = std::make_shared<Fake_Environment>();
    s.instanceLock = instanceLock = std::make_shared<Fake_Instance_Lock>();
    s.clock = clock = std::make_shared<Fake_Clock>();
    environment->strWindowsDirectory = m_strWindowsDir;
    environment->strProgramFolder = m_strProgramDir;

    modGlobal::Is_Remote_Mode = false;
    modGlobal::Err.Clear();
    // A lock held on purpose by a test fails fast instead of after the full wait.
    modDB::Set_Busy_Timeout(300);
    modProgram::Application_Log = std::make_unique<clsLog>();
    modProgram::Application_Log->Start_Logging(Log_File());
}

void Dv_Test::TearDown() {
    Clear_Connection_Faults();
    modDB::Set_Busy_Timeout(0);
    modProgram::Application_Log.reset();
    modProgram::Set_Login_Starter(nullptr);
    for (const Shown_Box& box : messageBox->shown)
        ADD_FAILURE() << "box not checked by the test: [" << box.lngStyle << "] " << box.strText.toStdString();
    EXPECT_TRUE(messageBox->answers.empty()) << "queued box answers never used: " << messageBox->answers.size();
    EXPECT_TRUE(fileDialog->choices.empty()) << "queued file dialog choices never used";
    EXPECT_EQ(fileDialog->unexpected, 0) << "a file dialog was shown with no queued choice";
    modGlobal::Is_Remote_Mode = false;
    platform::Install_Core_Defaults();
    m_dir.reset();
}

namespace {
struct Db_Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
}  // namespace

Held_Read_Lock::Held_Read_Lock(const QString& strDatabaseFile) {
    if (sqlite3_open_v2(strDatabaseFile.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << strDatabaseFile.toStdString();
        return;
    }
    // Reading a table inside an open transaction keeps the shared lock until Release.
    if (sqlite3_exec(m_db, "BEGIN; SELECT COUNT(*) FROM sqlite_master;", nullptr, nullptr, nullptr) != SQLITE_OK)
        ADD_FAILURE() << "cannot hold a read lock: " << sqlite3_errmsg(m_db);
}

void Held_Read_Lock::Release() {
    if (!m_db) return;
    sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

namespace {
int Full_Database_Hook(sqlite3* db, char**, const void*) {
    // The limit is the file's own size, so the first page a write needs is refused.
    sqlite3_exec(db, "PRAGMA max_page_count = 1", nullptr, nullptr, nullptr);
    return SQLITE_OK;
}
int Read_Only_Hook(sqlite3* db, char**, const void*) {
    sqlite3_exec(db, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
    return SQLITE_OK;
}
}  // namespace

void Set_Connection_Fault(Connection_Fault fault) {
    using Hook = void (*)();
    Hook hook = fault == Connection_Fault::Database_Full ? reinterpret_cast<Hook>(&Full_Database_Hook)
                                                         : reinterpret_cast<Hook>(&Read_Only_Hook);
    sqlite3_auto_extension(hook);
}

void Clear_Connection_Faults() { sqlite3_reset_auto_extension(); }

Rows Dv_Test::Query(const QString& strSQL) {
    Rows rows;
    sqlite3* raw = nullptr;
    sqlite3_open(Database_File().toUtf8().constData(), &raw);
    std::unique_ptr<sqlite3, Db_Closer> db(raw);
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = strSQL.toUtf8();
    if (sqlite3_prepare_v2(db.get(), sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "test query failed: " << sqlite3_errmsg(db.get()) << " in " << strSQL.toStdString();
        return rows;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            row << (text ? QString::fromUtf8(text) : QString());
        }
        rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    return rows;
}

void Dv_Test::Exec(const QString& strSQL) {
    sqlite3* raw = nullptr;
    sqlite3_open(Database_File().toUtf8().constData(), &raw);
    std::unique_ptr<sqlite3, Db_Closer> db(raw);
    char* pError = nullptr;
    if (sqlite3_exec(db.get(), strSQL.toUtf8().constData(), nullptr, nullptr, &pError) != SQLITE_OK)
        ADD_FAILURE() << "test SQL failed: " << (pError ? pError : "?") << " in " << strSQL.toStdString();
    sqlite3_free(pError);
}

QString Dv_Test::Scalar(const QString& strSQL) {
    const Rows rows = Query(strSQL);
    return rows.empty() || rows[0].isEmpty() ? QString() : rows[0][0];
}

long Dv_Test::Insert_User(const QString& strName) {
    QString strQuoted = strName;
    strQuoted.replace("'", "''");
    Exec("INSERT INTO USER_TBL (USER_NAME) VALUES ('" + strQuoted + "')");
    return Scalar("SELECT USER_ID FROM USER_TBL WHERE USER_NAME='" + strQuoted + "'").toLong();
}

QStringList Dv_Test::Log_Lines() const {
    QFile file(Log_File());
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromLocal8Bit(file.readAll()).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

}  // namespace test
