// Times the copy settings dialog copying the website filter of a source user with
// 1,000 entries (700 black-list, 300 white-list) to 10, 100, 200 and 1,000
// destination users that each hold a list of their own, from the click on Copy
// Settings to the outcome message, and checks the rows written. The reference is the
// sqlite3 shell running, on a copy of the same database, one transaction per
// destination: DELETE + INSERT...SELECT for each list and the flag update.
// Usage: bench_copy_settings [sqlite3 shell] [--destinations=10,100,200,1000] [--entries=1000]
#include "BenchSupport.h"

#include "console/frmCopySettings.h"
#include "console/frmMain.h"
#include "platform/ListView.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>

namespace {

using bench::Count;
using bench::Option_List;

// The rows of one run: the source is user 1 with the website filter on; every
// destination holds 20 black-list entries of its own.
QByteArray Fill_Sql(int intDestinations, int intBlack, int intWhite) {
    QByteArray sql = "BEGIN; INSERT INTO USER_TBL (USER_NAME, FEATURE_BITS) VALUES ('source', 4);";
    for (int i = 0; i < intBlack; ++i)
        sql += "INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES ('site" + QByteArray::number(i) +
               ".example', 0, 1);";
    for (int i = 0; i < intWhite; ++i)
        sql += "INSERT INTO WL_TBL (WL_URL, COMPUTER_ID, USER_ID) VALUES ('good" + QByteArray::number(i) +
               ".example', 0, 1);";
    for (int d = 0; d < intDestinations; ++d) {
        const QByteArray strName = "'dest" + QByteArray::number(d) + "'";
        sql += "INSERT INTO USER_TBL (USER_NAME) VALUES (" + strName + ");";
        for (int i = 0; i < 20; ++i)
            sql += "INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) SELECT 'old" + QByteArray::number(i) +
                   ".example', 0, USER_ID FROM USER_TBL WHERE USER_NAME=" + strName + ";";
    }
    sql += "COMMIT;";
    return sql;
}

// The same copy as the shell does it: per destination, one transaction replacing both
// lists with INSERT...SELECT from the source and setting the flag.
QByteArray Reference_Script(const QString& strDb) {
    QByteArray script;
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT USER_ID FROM USER_TBL WHERE USER_ID > 1 ORDER BY USER_ID", -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const QByteArray d = QByteArray::number(sqlite3_column_int64(stmt, 0));
        script += "BEGIN;\n"
                  "DELETE FROM BL_TBL WHERE USER_ID=" + d + ";\n"
                  "INSERT OR IGNORE INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) SELECT BL_URL, 0, " + d +
                  " FROM BL_TBL WHERE COMPUTER_ID=0 AND USER_ID=1;\n"
                  "DELETE FROM WL_TBL WHERE USER_ID=" + d + ";\n"
                  "INSERT OR IGNORE INTO WL_TBL (WL_URL, COMPUTER_ID, USER_ID) SELECT WL_URL, 0, " + d +
                  " FROM WL_TBL WHERE COMPUTER_ID=0 AND USER_ID=1;\n"
                  "UPDATE USER_TBL SET FEATURE_BITS=(FEATURE_BITS | 4) WHERE USER_ID=" + d + ";\n"
                  "COMMIT;\n";
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return script;
}

}  // namespace

int main(int argc, char* argv[]) {
    bench::Use_Offscreen_Platform();
    QApplication app(argc, argv);
    const QString strShell = bench::Shell_Program(argc, argv);
    const QList<int> destinationCounts = Option_List(argc, argv, "destinations", {10, 100, 200, 1000});
    const int intEntries = Option_List(argc, argv, "entries", {1000}).value(0, 1000);
    const int intBlack = intEntries * 7 / 10;
    const int intWhite = intEntries - intBlack;
    QTextStream out(stdout);
    bool blnAllRight = true;

    bench::Print_Header();
    for (const int intDestinations : destinationCounts) {
        QTemporaryDir dir;
        const bench::Doubles doubles = bench::Use_Windows_Folder(dir.path());
        const QString strDb = dir.filePath("tsdvstore.iil");
        const QString strReferenceDb = dir.filePath("reference.iil");
        if (!bench::Create_Settings_Database(strDb, Fill_Sql(intDestinations, intBlack, intWhite)) ||
            !QFile::copy(strDb, strReferenceDb))
            return 1;

        // The reference first, on its own copy of the same database.
        const QString strScript = dir.filePath("reference.sql");
        bench::Write_File(strScript, Reference_Script(strReferenceDb));
        const double dblReference = bench::Time_Shell(strShell, strReferenceDb, strScript);

        frmMain console;
        bench::Choose_User(console, QStringLiteral("source"));

        double dblCopy = -1;
        long lngTicked = 0;
        doubles.forms->onShow = [&](QWidget& form) {
            auto* pDestinations = form.findChild<platform::ListView*>("lvwDestinationUsers");
            // Every user but the all-users row (item 1).
            form.findChild<QCheckBox*>("chkSelectAllDestinations")->setChecked(true);
            pDestinations->Set_Checked(1, false);
            for (long i = 1; i <= pDestinations->Count(); ++i)
                if (pDestinations->Checked(i)) ++lngTicked;
            const double dblStart = bench::Now();
            form.findChild<QPushButton*>("cmdCopySettings")->click();
            dblCopy = bench::Now() - dblStart;
        };
        frmCopySettings::Show_This_Form(console, QStringLiteral("WebSite Filter"));

        bench::Print_Row(QStringLiteral("copy website filter (%1 entries) to users").arg(intEntries), intDestinations,
                         dblCopy, dblReference, bench::Peak_Memory_MiB());

        // Both sides must have written the same rows.
        for (const QString& strFile : {strDb, strReferenceDb}) {
            const long long lngBlack = Count(strFile, "SELECT COUNT(*) FROM BL_TBL WHERE USER_ID > 1");
            const long long lngWhite = Count(strFile, "SELECT COUNT(*) FROM WL_TBL WHERE USER_ID > 1");
            const long long lngOld = Count(strFile, "SELECT COUNT(*) FROM BL_TBL WHERE BL_URL LIKE 'old%'");
            const long long lngBits =
                Count(strFile, "SELECT COUNT(*) FROM USER_TBL WHERE USER_ID > 1 AND FEATURE_BITS = 4");
            const bool blnRight = lngTicked == intDestinations &&
                                  lngBlack == static_cast<long long>(intBlack) * intDestinations &&
                                  lngWhite == static_cast<long long>(intWhite) * intDestinations && lngOld == 0 &&
                                  lngBits == intDestinations;
            if (!blnRight) {
                out << "ROWS NOT AS EXPECTED in " << strFile << ": " << lngBlack << " black, " << lngWhite
                    << " white, " << lngOld << " old, " << lngBits << " flags\n";
                blnAllRight = false;
            }
        }
        if (doubles.boxes->texts != QStringList{QStringLiteral("Successfully copied the features")}) {
            out << "OUTCOME NOT AS EXPECTED: " << doubles.boxes->texts.join(" | ") << "\n";
            blnAllRight = false;
        }
    }
    return blnAllRight ? 0 : 1;
}
