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

namespace test {

using Rows = std::vector<QStringList>;

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
