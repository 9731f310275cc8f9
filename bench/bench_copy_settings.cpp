// Times the copy settings dialog copying the website filter of a source user with
// 1,000 entries (700 black-list, 300 white-list) to 200 destination users, from the
// click on Copy Settings to the outcome message, and checks the rows written.
// Usage: bench_copy_settings [destinations] [entries]
#include "console/frmCopySettings.h"
#include "console/frmMain.h"
#include "database/Installation.h"
#include "platform/ListView.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <sqlite3.h>

namespace {

// Runs the benchmark's steps while the dialog is "shown".
class Scripted_Forms : public platform::IForms {
public:
    std::function<void(QWidget&)> onShow;
    int Show_Modal(QWidget& form, QWidget*) override {
        if (onShow) onShow(form);
        return 0;
    }
};

// Records the boxes instead of showing them.
class Recording_Boxes : public platform::IMessageBox {
public:
    QStringList texts;
    int Show(const QString& strText, long, const QString&) override {
        texts << strText;
        return platform::vbOK;
    }
};

bool Exec(const QString& strDb, const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    const bool blnOk = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return blnOk;
}

long long Count(const QString& strDb, const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(strDb.toUtf8().constData(), &db);
    sqlite3_stmt* stmt = nullptr;
    long long lngCount = -1;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        lngCount = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return lngCount;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int intDestinations = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200;
    const int intEntries = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    const int intBlack = intEntries * 7 / 10;
    const int intWhite = intEntries - intBlack;
    QTextStream out(stdout);

    QTemporaryDir dir;
    qputenv("WINDIR", dir.path().toUtf8());
    platform::Install_Core_Defaults();
    auto forms = std::make_shared<Scripted_Forms>();
    auto boxes = std::make_shared<Recording_Boxes>();
    platform::Services().forms = forms;
    platform::Services().messageBox = boxes;
    const QString strDb = dir.filePath("tsdvstore.iil");
    QString strError;
    if (!Installation::Create_Settings_Database(strDb, strError)) {
        out << "cannot create the settings database: " << strError << "\n";
        return 1;
    }

    // The source is user 1; every destination already has a website filter of its own.
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
    if (!Exec(strDb, sql)) {
        out << "cannot fill the settings database\n";
        return 1;
    }

    frmMain console;
    console.m_fnCheck_Filters_Installed = [] { return 0L; };
    console.cboUsers->setCurrentIndex(console.cboUsers->findText("source"));
    console.cboUsers_Click();

    qint64 lngCopy = -1;
    long lngDestinationsTicked = 0;
    forms->onShow = [&](QWidget& form) {
        auto* pDestinations = form.findChild<platform::ListView*>("lvwDestinationUsers");
        // Every user but the all-users row (item 1).
        form.findChild<QCheckBox*>("chkSelectAllDestinations")->setChecked(true);
        pDestinations->Set_Checked(1, false);
        for (long i = 1; i <= pDestinations->Count(); ++i)
            if (pDestinations->Checked(i)) ++lngDestinationsTicked;
        QElapsedTimer timer;
        timer.start();
        form.findChild<QPushButton*>("cmdCopySettings")->click();
        lngCopy = timer.elapsed();
    };
    frmCopySettings::Show_This_Form(console, QStringLiteral("WebSite Filter"));

    const long long lngBlack = Count(strDb, "SELECT COUNT(*) FROM BL_TBL WHERE USER_ID > 1");
    const long long lngWhite = Count(strDb, "SELECT COUNT(*) FROM WL_TBL WHERE USER_ID > 1");
    const long long lngOld = Count(strDb, "SELECT COUNT(*) FROM BL_TBL WHERE BL_URL LIKE 'old%'");
    const long long lngBits = Count(strDb, "SELECT COUNT(*) FROM USER_TBL WHERE USER_ID > 1 AND FEATURE_BITS = 4");
    out << "destinations ticked: " << lngDestinationsTicked << ", source entries: " << intBlack << " black + "
        << intWhite << " white\n";
    out << "copy (click to outcome message): " << lngCopy << " ms, "
        << (lngDestinationsTicked ? double(lngCopy) / lngDestinationsTicked : 0.0) << " ms per destination\n";
    out << "outcome: " << boxes->texts.join(" | ") << "\n";
    out << "rows written: " << lngBlack << " black, " << lngWhite << " white; old rows left: " << lngOld
        << "; destinations with the bit: " << lngBits << "\n";
    const bool blnRight = lngBlack == static_cast<long long>(intBlack) * lngDestinationsTicked &&
                          lngWhite == static_cast<long long>(intWhite) * lngDestinationsTicked && lngOld == 0 &&
                          lngBits == lngDestinationsTicked &&
                          boxes->texts == QStringList{QStringLiteral("Successfully copied the features")};
    out << (blnRight ? "rows as expected\n" : "ROWS NOT AS EXPECTED\n");
    return blnRight ? 0 : 1;
}
