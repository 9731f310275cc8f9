#pragma once
// The one test fixture: a temporary Windows directory holding a fresh settings
// database from the installation step, a program folder for the log, and the
// platform doubles installed. Every box shown must be taken by the test
// (Boxes()); a box left over or an answer never used fails the test.

#include "support/Fakes.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

struct sqlite3;

namespace test {

using Rows = std::vector<QStringList>;

// A second connection (another process's, as the filtering components have) holding a
// read transaction on a database file: while it is held, a commit by the console
// cannot get its exclusive lock and fails once the busy time-out has passed.
class Held_Read_Lock {
public:
    explicit Held_Read_Lock(const QString& strDatabaseFile);
    ~Held_Read_Lock() { Release(); }
    Held_Read_Lock(const Held_Read_Lock&) = delete;
    Held_Read_Lock& operator=(const Held_Read_Lock&) = delete;
    void Release();

private:
    sqlite3* m_db = nullptr;
};

// Faults made real inside SQLite itself: every connection opened from now on (until
// the test ends or Clear_Connection_Faults) runs these pragmas first.
// Database_Full: no page may be added ("database or disk is full").
// Database_Read_Only: every write is refused ("attempt to write a readonly database");
// the tests run as root, for whom a read-only file mode changes nothing.
enum class Connection_Fault { Database_Full, Database_Read_Only };
void Set_Connection_Fault(Connection_Fault fault);
void Clear_Connection_Faults();

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
