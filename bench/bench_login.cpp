// Times the login to the console's main window with 5,000 users (and 500 and 50,000
// for the growth): from the Login click to the console shown and painted, the user
// list filled. There is no shell reference for this work; the goal is absolute.
// Usage: bench_login [--users=500,5000,50000] [--runs=5]
#include "BenchSupport.h"

#include "console/frmLogin.h"
#include "console/frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

namespace {

using bench::Option_List;

frmMain* Shown_Console() {
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* pMain = qobject_cast<frmMain*>(pWidget); pMain && pMain->isVisible()) return pMain;
    return nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
    bench::Use_Offscreen_Platform();
    QApplication app(argc, argv);
    const QList<int> userCounts = Option_List(argc, argv, "users", {500, 5000, 50000});
    const int intRuns = std::max(1, Option_List(argc, argv, "runs", {5}).value(0, 5));
    QTextStream out(stdout);
    bool blnAllRight = true;

    bench::Print_Header();
    for (const int intUsers : userCounts) {
        QTemporaryDir dir;
        bench::Use_Windows_Folder(dir.path());
        if (!bench::Create_Settings_Database(dir.filePath("tsdvstore.iil"),
                                             "UPDATE SETTINGS_TBL SET PWD='secret';"
                                             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                                                 QByteArray::number(intUsers) +
                                                 ") INSERT INTO USER_TBL (USER_NAME) SELECT 'terminal user ' || i FROM n;"))
            return 1;

        // The median of the runs: each logs in on a fresh login dialog.
        std::vector<double> times;
        for (int intRun = 0; intRun < intRuns; ++intRun) {
            auto* pLogin = new frmLogin();
            pLogin->show();
            QApplication::processEvents();
            pLogin->findChild<QLineEdit*>("txtPassword")->setText(QStringLiteral("secret"));
            const double dblStart = bench::Now();
            pLogin->findChild<QPushButton*>("cmdLogin")->click();
            frmMain* pMain = Shown_Console();
            // Shown and painted: the posted show, layout and paint events have run.
            QApplication::processEvents();
            if (pMain) pMain->repaint();
            times.push_back(bench::Now() - dblStart);
            if (!pMain || pMain->cboUsers->count() != intUsers + 1) {
                out << "CONSOLE NOT AS EXPECTED with " << intUsers << " users\n";
                blnAllRight = false;
            }
            delete pMain;
            delete pLogin;
            QApplication::processEvents();
        }
        bench::Print_Row(QStringLiteral("login to the main window, users"), intUsers, bench::Median(times), 0,
                         bench::Peak_Memory_MiB());
    }
    return blnAllRight ? 0 : 1;
}
