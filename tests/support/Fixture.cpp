#include "support/Fixture.h"

#include "database/Installation.h"
#include "database/modDB.h"
#include "services/modGlobal.h"
#include "services/modProgram.h"
#include "startup/Startup.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>
#include <unistd.h>

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
    modDB::Set_Busy_Hook(nullptr);
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

const char* Fault_Text(Fault fault) {
    switch (fault) {
        case Fault::Held_Read_Lock:
        case Fault::Held_Write_Lock:
        case Fault::Held_Exclusive_Lock: return "database is locked";
        case Fault::Database_Full: return "database or disk is full";
        case Fault::Read_Only: return "attempt to write a readonly database";
        case Fault::Abort_Trigger:
        case Fault::Rollback_Trigger: return TRIGGER_TEXT;
    }
    return "";
}

const char* Fault_Name(Fault fault) {
    switch (fault) {
        case Fault::Held_Read_Lock: return "HeldReadLock";
        case Fault::Held_Write_Lock: return "HeldWriteLock";
        case Fault::Held_Exclusive_Lock: return "HeldExclusiveLock";
        case Fault::Database_Full: return "DiskFull";
        case Fault::Read_Only: return "ReadOnly";
        case Fault::Abort_Trigger: return "AbortTrigger";
        case Fault::Rollback_Trigger: return "RollbackTrigger";
    }
    return "";
}

bool Rolls_Back_Transaction(Fault fault) { return fault == Fault::Database_Full || fault == Fault::Rollback_Trigger; }

Made_Fault::Made_Fault(const QString& strDatabaseFile, Fault fault, const QStringList& triggers)
    : m_strDatabaseFile(strDatabaseFile), m_fault(fault), m_triggers(triggers) {
    const char* strHold = nullptr;
    switch (fault) {
        // Reading a table inside an open transaction keeps the shared lock until Release.
        case Fault::Held_Read_Lock: strHold = "BEGIN; SELECT COUNT(*) FROM sqlite_master;"; break;
        case Fault::Held_Write_Lock: strHold = "BEGIN IMMEDIATE"; break;
        case Fault::Held_Exclusive_Lock: strHold = "BEGIN EXCLUSIVE"; break;
        case Fault::Database_Full: Set_Connection_Fault(Connection_Fault::Database_Full); return;
        case Fault::Read_Only: Set_Connection_Fault(Connection_Fault::Database_Read_Only); return;
        case Fault::Abort_Trigger:
        case Fault::Rollback_Trigger: break;
    }
    if (sqlite3_open_v2(strDatabaseFile.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << strDatabaseFile.toStdString();
        return;
    }
    if (strHold) {
        if (sqlite3_exec(m_db, strHold, nullptr, nullptr, nullptr) != SQLITE_OK)
            ADD_FAILURE() << "cannot hold a lock: " << sqlite3_errmsg(m_db);
        return;
    }
    if (m_triggers.isEmpty()) ADD_FAILURE() << "a trigger fault names no statement to refuse";
    const char* strRaise = fault == Fault::Rollback_Trigger ? "ROLLBACK" : "ABORT";
    for (qsizetype i = 0; i < m_triggers.size(); ++i) {
        const QByteArray sql = QString("CREATE TRIGGER dv_fault_%1 BEFORE %2 BEGIN SELECT RAISE(%3, '%4'); END")
                                   .arg(i)
                                   .arg(m_triggers[i], QLatin1String(strRaise), QLatin1String(TRIGGER_TEXT))
                                   .toUtf8();
        char* pError = nullptr;
        if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &pError) != SQLITE_OK)
            ADD_FAILURE() << "cannot create the trigger: " << (pError ? pError : "?") << " in " << sql.constData();
        sqlite3_free(pError);
    }
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void Made_Fault::Release() {
    if (m_blnReleased) return;
    m_blnReleased = true;
    if (m_db) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    if (m_fault == Fault::Database_Full || m_fault == Fault::Read_Only) Clear_Connection_Faults();
    if (m_fault == Fault::Abort_Trigger || m_fault == Fault::Rollback_Trigger) {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(m_strDatabaseFile.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
            for (qsizetype i = 0; i < m_triggers.size(); ++i)
                sqlite3_exec(db, QString("DROP TRIGGER IF EXISTS dv_fault_%1").arg(i).toUtf8().constData(), nullptr,
                             nullptr, nullptr);
        sqlite3_close_v2(db);
    }
}

void Dv_Test::Expect_One_Busy_Wait_Under_Held_Write_Lock(const std::function<void()>& action) {
    // The waits are counted, not timed, so a short time-out proves as much.
    const int lngTimeout = modDB::Busy_Timeout();
    modDB::Set_Busy_Timeout(50);
    auto lock = Make_Fault(Fault::Held_Write_Lock);
    const long long lngBefore = modDB::Busy_Waits();
    action();
    const long long lngWaits = modDB::Busy_Waits() - lngBefore;
    lock->Release();
    modDB::Set_Busy_Timeout(lngTimeout);
    EXPECT_EQ(lngWaits, 1) << "busy waits under the held write lock";
}

std::unique_ptr<Made_Fault> Dv_Test::Make_Fault(Fault fault, const QStringList& statements) {
    return std::make_unique<Made_Fault>(Database_File(), fault, statements);
}

void Dv_Test::Fill_Until_Full(const QString& strTable, const QString& strColumn) {
    Fill_Until_Full_By(QString("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES ('%3', 0, 999999)")
                           .arg(strTable, strColumn, QStringLiteral("%1")));
}

void Dv_Test::Fill_Until_Full_By(const QString& strInsert) {
    Set_Connection_Fault(Connection_Fault::Database_Full);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Database_File().toUtf8().constData(), &db), SQLITE_OK);
    long lngFiller = 0;
    for (int lngSize : {60, 20, 1}) {
        for (int i = 0; i < 100000; ++i) {
            const QByteArray sql = QString(strInsert).arg(QString::number(++lngFiller).rightJustified(lngSize, 'f')).toUtf8();
            if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) break;
        }
    }
    sqlite3_close(db);
}

const char* File_Move_Name(File_Move move) { return move == File_Move::Deleted ? "Deleted" : "Replaced"; }

Moved_Database::Moved_Database(const QString& strDatabaseFile, const QString& strFolder, File_Move move)
    : m_strDatabaseFile(strDatabaseFile),
      m_strWritten(strFolder + "/written.iil"),
      m_strCopy(strFolder + "/other.iil"),
      m_move(move) {
    if (move == File_Move::Replaced && !QFile::copy(strDatabaseFile, m_strCopy))
        ADD_FAILURE() << "cannot copy " << strDatabaseFile.toStdString();
}

Moved_Database::~Moved_Database() {
    if (m_blnWatching) sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&Install));
    if (s_pWatching == this) s_pWatching = nullptr;
}

void Moved_Database::Move() {
    if (m_blnMoved) return;
    m_blnMoved = true;
    const QByteArray database = QFile::encodeName(m_strDatabaseFile);
    // A second name keeps the file the console goes on writing.
    EXPECT_EQ(::link(database.constData(), QFile::encodeName(m_strWritten).constData()), 0);
    if (m_move == File_Move::Replaced) {
        EXPECT_EQ(::rename(QFile::encodeName(m_strCopy).constData(), database.constData()), 0);
    } else {
        EXPECT_EQ(::unlink(database.constData()), 0);
    }
}

void Moved_Database::At_Insert(const char* strTable, long lngAt) {
    m_strTable = strTable;
    m_lngAt = lngAt;
    s_pWatching = this;
    if (!m_blnWatching) sqlite3_auto_extension(reinterpret_cast<void (*)()>(&Install));
    m_blnWatching = true;
}

void Moved_Database::Put_Back() {
    const QByteArray database = QFile::encodeName(m_strDatabaseFile);
    if (QFile::exists(m_strDatabaseFile)) {
        EXPECT_EQ(::unlink(database.constData()), 0);
    }
    EXPECT_EQ(::rename(QFile::encodeName(m_strWritten).constData(), database.constData()), 0);
}

int Moved_Database::Install(sqlite3* db, char**, const void*) {
    sqlite3_update_hook(db, &On_Change, nullptr);
    return SQLITE_OK;
}

void Moved_Database::On_Change(void*, int intOperation, const char*, const char* strTable, long long) {
    Moved_Database* self = s_pWatching;
    if (!self || self->m_blnMoved || intOperation != SQLITE_INSERT || self->m_strTable != strTable) return;
    if (++self->m_lngSeen >= self->m_lngAt) self->Move();
}

std::unique_ptr<Moved_Database> Dv_Test::Prepare_Database_Move(File_Move move) {
    return std::make_unique<Moved_Database>(Database_File(), m_dir->path(), move);
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

namespace test {

Other_Program::Other_Program(const QString& strDatabaseFile) {
    if (sqlite3_open_v2(strDatabaseFile.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        ADD_FAILURE() << "the other program cannot open " << strDatabaseFile.toStdString();
}

Other_Program::~Other_Program() {
    if (m_blnHolding) modDB::Set_Busy_Hook(nullptr);
    if (m_blnWatching) sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&Install));
    if (s_pActive == this) s_pActive = nullptr;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
}

void Other_Program::Write_Now(const QString& strSQL) {
    char* pError = nullptr;
    sqlite3_busy_timeout(m_db, 0);
    if (sqlite3_exec(m_db, strSQL.toUtf8().constData(), nullptr, nullptr, &pError) != SQLITE_OK)
        ADD_FAILURE() << "the other program's write failed: " << (pError ? pError : "?") << " in "
                      << strSQL.toStdString();
    sqlite3_free(pError);
}

void Other_Program::Hold_Write_Until_First_Wait(const QString& strSQL) {
    Write_Now("BEGIN IMMEDIATE");
    Write_Now(strSQL);
    m_blnHolding = true;
    modDB::Set_Busy_Hook([this](int lngCall) {
        if (lngCall != 0 || !m_blnHolding) return;
        m_blnHolding = false;
        m_blnHeldCommitted = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    });
}

void Other_Program::Write_At_Statement(const QString& strMarker, const QString& strSQL) {
    m_strMarker = strMarker.toUpper().toUtf8();
    m_strPending = strSQL.toUtf8();
    m_blnMarkerSeen = false;
    m_blnTried = false;
    m_blnWroteAtMarker = false;
    s_pActive = this;
    if (!m_blnWatching) sqlite3_auto_extension(reinterpret_cast<void (*)()>(&Install));
    m_blnWatching = true;
}

bool Other_Program::Try_Write(const QByteArray& sql) {
    // No wait: this runs on the console's thread, inside one of its statements.
    sqlite3_busy_timeout(m_db, 0);
    if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
    char* pError = nullptr;
    if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &pError) != SQLITE_OK) {
        ADD_FAILURE() << "the other program's write failed: " << (pError ? pError : "?") << " in " << sql.constData();
        sqlite3_free(pError);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return true;  // given up: a wrong test statement is not retried
    }
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool Other_Program::Finish() {
    if (m_blnHolding) {
        m_blnHolding = false;
        modDB::Set_Busy_Hook(nullptr);
        m_blnHeldCommitted = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    if (!m_strPending.isEmpty() && Try_Write(m_strPending)) m_strPending.clear();
    return m_strPending.isEmpty() && sqlite3_get_autocommit(m_db);
}

void Other_Program::Delete_User(long lngUserID) {
    Write_Now("DELETE FROM USER_TBL WHERE USER_ID=" + QString::number(lngUserID));
}

long Other_Program::Re_Add_User(long lngUserID, const QString& strName) {
    QString strQuoted = strName;
    strQuoted.replace("'", "''");
    // USER_ID counts on (AUTOINCREMENT), so the user comes back under a new id.
    Write_Now("BEGIN IMMEDIATE; DELETE FROM USER_TBL WHERE USER_ID=" + QString::number(lngUserID) +
              "; INSERT INTO USER_TBL (USER_NAME) VALUES ('" + strQuoted + "'); COMMIT");
    return static_cast<long>(sqlite3_last_insert_rowid(m_db));
}

int Other_Program::Install(sqlite3* db, char**, const void*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &On_Trace, nullptr);
    return SQLITE_OK;
}

int Other_Program::On_Trace(unsigned int, void*, void* pStatement, void* pText) {
    Other_Program* self = s_pActive;
    auto* stmt = static_cast<sqlite3_stmt*>(pStatement);
    if (!self || self->m_strPending.isEmpty() || sqlite3_db_handle(stmt) == self->m_db) return 0;
    const char* strText = static_cast<const char*>(pText);
    if (strText && strText[0] == '-' && strText[1] == '-') return 0;  // a trigger's statement
    if (!self->m_blnMarkerSeen) {
        // The statement after the marked one is the first moment between them.
        const char* strSql = sqlite3_sql(stmt);
        if (strSql && QByteArray(strSql).toUpper().contains(self->m_strMarker)) self->m_blnMarkerSeen = true;
        return 0;
    }
    const bool blnFirst = !self->m_blnTried;
    self->m_blnTried = true;
    if (self->Try_Write(self->m_strPending)) {
        self->m_strPending.clear();
        self->m_blnWroteAtMarker = blnFirst;
    }
    return 0;
}

}  // namespace test
