#pragma once
// The one test fixture: a temporary Windows directory holding a fresh settings
// database from the installation step, a program folder for the log, and the
// platform doubles installed. Every box shown must be taken by the test
// (Boxes()); a box left over or an answer never used fails the test.

#include "support/Fakes.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

struct sqlite3;

namespace test {

using Rows = std::vector<QStringList>;

// The faults a write can meet, each made real by Dv_Test::Make_Fault:
// Held_Read_Lock: another connection (as the filtering components have) holds a read
//   transaction, so a commit cannot get its exclusive lock once the busy time-out passed.
// Held_Write_Lock: another connection holds a write transaction (BEGIN IMMEDIATE): every
//   write waits out the busy time-out and fails; reads still work.
// Held_Exclusive_Lock: another connection holds an exclusive lock: even reads fail.
// Database_Full: every connection opened from now on may add no page ("database or disk
//   is full"); SQLite then rolls the whole transaction back itself.
// Read_Only: every connection opened from now on refuses writes; the tests run as root,
//   for whom a read-only file mode changes nothing.
// Abort_Trigger: a trigger raises ABORT: only the statement is undone.
// Rollback_Trigger: a trigger raises ROLLBACK: SQLite rolls the whole transaction back.
enum class Fault {
    Held_Read_Lock,
    Held_Write_Lock,
    Held_Exclusive_Lock,
    Database_Full,
    Read_Only,
    Abort_Trigger,
    Rollback_Trigger
};
// The message a trigger of Make_Fault raises.
inline constexpr const char* TRIGGER_TEXT = "refused";
// The database's own text of a fault, as the box shows it.
const char* Fault_Text(Fault fault);
// A name for test names ("HeldReadLock", "RollbackTrigger", ...).
const char* Fault_Name(Fault fault);
// True for the faults after which SQLite has rolled the whole transaction back.
bool Rolls_Back_Transaction(Fault fault);

// The connection faults beneath Database_Full and Read_Only: every connection opened
// from now on (until Clear_Connection_Faults or the test's end) runs their pragma first.
enum class Connection_Fault { Database_Full, Database_Read_Only };
void Set_Connection_Fault(Connection_Fault fault);
void Clear_Connection_Faults();

// A fault in force until Release (or destruction): locks are let go, connection faults
// cleared and the triggers dropped, so the test can read and write again.
class Made_Fault {
public:
    Made_Fault(const QString& strDatabaseFile, Fault fault, const QStringList& triggers);
    ~Made_Fault() { Release(); }
    Made_Fault(const Made_Fault&) = delete;
    Made_Fault& operator=(const Made_Fault&) = delete;
    void Release();

private:
    QString m_strDatabaseFile;
    Fault m_fault;
    QStringList m_triggers;  // the CREATE TRIGGER texts still in force (a trigger fault)
    sqlite3* m_db = nullptr;  // the other connection holding a lock
    bool m_blnReleased = false;
};

// The read lock alone, for tests that hold it around one step.
class Held_Read_Lock : public Made_Fault {
public:
    explicit Held_Read_Lock(const QString& strDatabaseFile) : Made_Fault(strDatabaseFile, Fault::Held_Read_Lock, {}) {}
};

// The settings file deleted, or replaced by a copy of itself as it was when the move
// was made ready, while the console writes into it. Move() does it at once; At_Insert
// does it once the console has inserted its lngAt-th row into strTable (an update hook
// on every connection opened meanwhile). The file written until then keeps a second
// name, Written_File(), and Put_Back() puts it back in its place.
enum class File_Move { Deleted, Replaced };
const char* File_Move_Name(File_Move move);

class Moved_Database {
public:
    Moved_Database(const QString& strDatabaseFile, const QString& strFolder, File_Move move);
    ~Moved_Database();
    Moved_Database(const Moved_Database&) = delete;
    Moved_Database& operator=(const Moved_Database&) = delete;
    void Move();
    void At_Insert(const char* strTable, long lngAt);
    bool Moved() const { return m_blnMoved; }
    QString Written_File() const { return m_strWritten; }
    void Put_Back();

private:
    static int Install(sqlite3* db, char**, const void*);
    static void On_Change(void*, int intOperation, const char*, const char* strTable, long long);
    static inline Moved_Database* s_pWatching = nullptr;

    QString m_strDatabaseFile, m_strWritten, m_strCopy;
    File_Move m_move;
    QByteArray m_strTable;
    long m_lngAt = 0, m_lngSeen = 0;
    bool m_blnMoved = false, m_blnWatching = false;
};

// The other program on the shared settings file (a filtering component writing events,
// another administration tool): a connection of its own, on the test's thread, that
// writes at the moments a real one could come between two statements of the console.
// Its writes are whole statements committed at once (for a word, write the bit it
// changes: "UPDATE ... SET FEATURE_BITS=FEATURE_BITS|16384"), so that the test can
// assert that the console kept them. Its hooks go when it is destroyed.
class Other_Program {
public:
    explicit Other_Program(const QString& strDatabaseFile);
    ~Other_Program();
    Other_Program(const Other_Program&) = delete;
    Other_Program& operator=(const Other_Program&) = delete;

    // Runs strSQL now and commits it; fails the test on error.
    void Write_Now(const QString& strSQL);
    // Begins a write now (BEGIN IMMEDIATE, then strSQL) and holds it, so that the
    // console's next write has to wait; commits it at the console's first busy wait
    // (the wait goes on and then finds the file free).
    void Hold_Write_Until_First_Wait(const QString& strSQL);
    // Runs strSQL when the console begins its next statement after one whose text
    // contains strMarker (letter case ignored): a write between the console's read (the
    // marked statement) and what it runs next (its write). If the console holds the write
    // lock then, it writes as soon as it can (at a later statement of the console, or at
    // Finish), as a real program would wait. Clear_Connection_Faults ends the watching.
    void Write_At_Statement(const QString& strMarker, const QString& strSQL);
    // Writes what is still waiting; true when every write given so far is committed.
    bool Finish();
    // Whether a Write_At_Statement write went in at its marker, between two statements of
    // the console (false: the console held the file then, or the marker never came).
    bool Wrote_At_Marker() const { return m_blnWroteAtMarker; }
    // Whether the held write was committed at a busy wait of the console.
    bool Held_Write_Committed() const { return m_blnHeldCommitted; }
    // Another tool removes the user now; Re_Add_User removes her and adds her again
    // under a new id, which it returns.
    void Delete_User(long lngUserID);
    long Re_Add_User(long lngUserID, const QString& strName);

private:
    static int Install(sqlite3* db, char**, const void*);
    static int On_Trace(unsigned int uType, void* pContext, void* pStatement, void*);
    bool Try_Write(const QByteArray& sql);

    static inline Other_Program* s_pActive = nullptr;
    sqlite3* m_db = nullptr;
    QByteArray m_strMarker, m_strPending;
    bool m_blnMarkerSeen = false, m_blnTried = false, m_blnWroteAtMarker = false;
    bool m_blnHolding = false, m_blnHeldCommitted = false;
    bool m_blnWatching = false;
};

class Dv_Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs SQL on the settings database directly (test set-up); fails the test on error.
    void Exec(const QString& strSQL);
    // Rows of a query, every value as text (NULL as "").
    Rows Query(const QString& strSQL);
    // The single value of a query ("" when no row).
    QString Scalar(const QString& strSQL);
    // Adds a user straight into USER_TBL and returns its id.
    long Insert_User(const QString& strName);

    // See Held_Read_Lock: a read transaction on the settings database held by another connection.
    std::unique_ptr<Held_Read_Lock> Hold_Read_Lock() { return std::make_unique<Held_Read_Lock>(Database_File()); }
    // Makes the fault real from now on. For a trigger fault, strStatements names what the
    // trigger refuses, as after BEFORE in CREATE TRIGGER ("DELETE ON BL_TBL WHEN
    // OLD.BL_URL='b2.x'"); several may be given. Other faults ignore it.
    std::unique_ptr<Made_Fault> Make_Fault(Fault fault, const QStringList& statements = {});
    // Runs action while another connection holds a write transaction (with a short busy
    // time-out), lets the lock go, and checks that action began exactly one busy wait:
    // none would mean no write was tried, two or more one wait per write.
    void Expect_One_Busy_Wait_Under_Held_Write_Lock(const std::function<void()>& action);
    // Fills the database until no row of any size fits into the list table (rows of a
    // user id no test uses), then keeps it from growing: a disk with no room at all.
    void Fill_Until_Full(const QString& strTable, const QString& strColumn);
    // The same for any table: strInsert adds one row whose text value is %1 (a filler
    // no test uses, 60, 20 and then 1 character long).
    void Fill_Until_Full_By(const QString& strInsert);
    // See Other_Program: a second program writing into the settings file.
    std::unique_ptr<Other_Program> Start_Other_Program() { return std::make_unique<Other_Program>(Database_File()); }
    // See Moved_Database: the settings file ready to be deleted or replaced.
    std::unique_ptr<Moved_Database> Prepare_Database_Move(File_Move move);

    // The boxes shown since the last call (and forgets them).
    std::vector<Shown_Box> Boxes() { return messageBox->Take(); }
    // Lines of the log file, without their CR LF.
    QStringList Log_Lines() const;

    QString Windows_Dir() const { return m_strWindowsDir; }
    QString Program_Dir() const { return m_strProgramDir; }
    QString Database_File() const { return m_strWindowsDir + "/tsdvstore.iil"; }
    QString Temp_Path(const QString& strName) const { return m_dir->filePath(strName); }
    QString Log_File() const { return m_strProgramDir + "/DravinoleTS.log"; }

    std::shared_ptr<Fake_Message_Box> messageBox;
    std::shared_ptr<Fake_File_Dialog> fileDialog;
    std::shared_ptr<Fake_Shell> shell;
    std::shared_ptr<Fake_Forms> forms;
    std::shared_ptr<Fake_Environment> environment;
    std::shared_ptr<Fake_Instance_Lock> instanceLock;
    std::shared_ptr<Fake_Clock> clock;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_strWindowsDir, m_strProgramDir;
};

}  // namespace test

#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& strValue, std::ostream* os) { *os << '"' << strValue.toStdString() << '"'; }
