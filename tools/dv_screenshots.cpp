// Opens every window of the console on a temporary settings database filled with
// realistic data and writes one PNG per window (and per state worth seeing) into
// the folder given on the command line.
//
// Usage: dv-screenshots <output folder>
// Runs without a display (QT_QPA_PLATFORM=offscreen is set when no platform is given).
// Nothing is written outside a temporary folder and the output folder; message boxes
// are printed to the error stream and answered "No", no file dialog opens.
#include "console/frmExceptionList.h"
#include "console/frmLogin.h"
#include "console/frmMain.h"
#include "database/Installation.h"
#include "database/modDB.h"
#include "platform/ListView.h"
#include "platform/Platform.h"
#include "reporting/frmReport.h"
#include "reporting/frmReporting.h"
#include "services/modGlobal.h"
#include "services/modProgram.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFocusEvent>
#include <QMenuBar>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <functional>
#include <map>
#include <tuple>

namespace {

QString g_strOutput;
QStringList g_written;

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void Shoot(QWidget& window, const QString& strName) {
    Settle();
    const QString strFile = QDir(g_strOutput).filePath(strName + QStringLiteral(".png"));
    if (window.grab().save(strFile)) g_written << strFile;
    else QTextStream(stderr) << "dv-screenshots: cannot write " << strFile << Qt::endl;
}

class Fixed_Environment : public platform::IEnvironment {
public:
    Fixed_Environment(QString strWindows, QString strProgram)
        : m_strWindows(std::move(strWindows)), m_strProgram(std::move(strProgram)) {}
    QString Windows_Directory() override { return m_strWindows; }
    QString Program_Folder() override { return m_strProgram; }
    QString Program_File_Name() override { return QStringLiteral("DravinoleTS"); }
    QString Logged_On_User_Name() override { return QStringLiteral("administrator"); }
    bool Is_Wow64_Process() override { return false; }

private:
    QString m_strWindows, m_strProgram;
};

// Every picture shows the same day, whatever day the program runs on.
class Fixed_Clock : public platform::IClock {
public:
    QDateTime Now() override { return QDateTime(QDate(2026, 3, 7), QTime(10, 30)); }
};

// Shows each "modal" dialog without entering its own loop: the window is shown,
// photographed (by the hook of its name, or once), and closed again.
class Screenshot_Forms : public platform::IForms {
public:
    std::map<QString, std::function<void(QWidget&)>> hooks;

    int Show_Modal(QWidget& form, QWidget*) override {
        form.show();
        form.activateWindow();
        Settle();
        const auto it = hooks.find(form.objectName());
        if (it != hooks.end()) it->second(form);
        else Shoot(form, form.objectName());
        form.close();
        Settle();
        return 0;
    }
};

// A text as an SQL literal.
QString Quoted(const QString& strValue) { return QLatin1Char('\'') + modDB::Sql_Text(strValue) + QLatin1Char('\''); }

void Sql(const QString& strSQL) {
    if (!modDB::Execute_In_Transaction(strSQL))
        QTextStream(stderr) << "dv-screenshots: cannot run " << strSQL.left(80) << Qt::endl;
}

// Rows 1..lngCount of a recursive counter, for INSERT ... SELECT.
QString Counter(int lngCount) {
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ").arg(lngCount);
}

void Insert_Values(const QString& strTable, const QString& strColumn, long lngUser, const QStringList& values) {
    QStringList rows;
    for (const QString& strValue : values)
        rows << QStringLiteral("(%1, 0, %2)").arg(Quoted(strValue)).arg(lngUser);
    Sql(QStringLiteral("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES ").arg(strTable, strColumn) + rows.join(','));
}

QStringList Numbered(const QString& strPattern, int lngCount) {
    QStringList out;
    for (int i = 1; i <= lngCount; ++i) out << strPattern.arg(i);
    return out;
}

// The selected user "alice" gets a few dozen entries in every list, schedules, her
// messages and a working day of report events; 17 users and 14 exceptions in all.
long Fill_Database() {
    const QStringList users = {"alice",  "bob",    "carol", "dave",    "erin",   "frank",  "grace",  "heidi", "ivan",
                               "judy",   "mallory", "niaj", "olivia",  "peggy",  "rupert", "sybil",  "trent"};
    QStringList rows;
    for (const QString& strUser : users) rows << QStringLiteral("(%1)").arg(Quoted(strUser));
    Sql(QStringLiteral("INSERT INTO USER_TBL (USER_NAME) VALUES ") + rows.join(','));
    modDB::Query_Result result;
    long lngRows = 0;
    modDB::Run_Sql(QStringLiteral("SELECT USER_ID FROM USER_TBL WHERE USER_NAME='alice'"), lngRows, result);
    const long lngUser = lngRows > 0 ? result.Long_Value(1, 0) : 1;

    Sql(Counter(14) + "INSERT INTO USER_EXCPN_TBL (E_USER_NAME) SELECT 'service_account_' || i FROM n");
    Sql(QStringLiteral("UPDATE USER_TBL SET URL_MSG_TYPE=2, BLOCKED_URL_MSG=%1, REDIRECT_URL='http://intranet.example.org/blocked.html', "
                       "APP_BLOCKER_MSG=%2, FEATURE_BITS=%3 WHERE USER_ID=%4")
            .arg(Quoted(QStringLiteral("Access to this web site has been blocked by your administrator. "
                                                "The address you asked for is on the list of sites that may not be opened "
                                                "from this terminal during working hours. If you need this site for your "
                                                "work, ask the help desk to put it on the white list.")),
                 Quoted(QStringLiteral("This program has been blocked by your administrator.")))
            .arg(512 | 2048)
            .arg(lngUser));

    Insert_Values("BL_TBL", "BL_URL", lngUser, Numbered("www.blocked-site-%1.example.com", 30));
    Insert_Values("WL_TBL", "WL_URL", lngUser, Numbered("intranet-%1.example.org", 24));
    Insert_Values("FILE_TBL", "FILE_EXTN", lngUser,
                  {".avi", ".mpg", ".mp3", ".mp4", ".mkv", ".mov", ".wmv", ".flv", ".jpg", ".bmp", ".gif", ".png",
                   ".exe", ".msi", ".zip", ".rar", ".7z", ".tar", ".gz", ".iso", ".torrent", ".bat", ".cmd", ".vbs",
                   ".ps1", ".scr", ".pif", ".com", ".jar", ".apk"});
    Insert_Values("EXE_TBL", "EXE_NAME", lngUser, Numbered("game_launcher_%1.exe", 28));
    Insert_Values("WINDOW_TBL", "WINDOW_TITLE", lngUser, Numbered("Solitaire - Game %1", 26));
    Insert_Values("SMTP_TBL", "SMTP_EMAIL", lngUser, Numbered("mailer%1.example.net", 22));
    Insert_Values("POP3_TBL", "POP3_EMAIL", lngUser, Numbered("pop%1.example.net", 18));
    Insert_Values("BYPASS_EXE_TBL", "BYPASS_EXE", lngUser,
                  {"AdobeUpdateManager.exe", "AntivirusUpdate.exe", "backup_agent.exe", "erp_client.exe",
                   "helpdesk_chat.exe", "licence_check.exe", "mail_sync.exe", "print_spooler_helper.exe", "teams.exe",
                   "vpn_client.exe"});
    Sql(Counter(24) + QStringLiteral("INSERT INTO PORT_TBL (PORT_NO, FILTER_TYPE, PROTOCOL_TYPE, COMPUTER_ID, USER_ID) "
                                     "SELECT 1000 + i * 7, i % 2, CASE i % 3 WHEN 0 THEN 'TCP' WHEN 1 THEN 'UDP' ELSE 'BOTH' END, 0, %1 FROM n")
                          .arg(lngUser));
    // Internet schedules (SCH_FOR 1) and application schedules (SCH_FOR 2).
    const QString strSch = QStringLiteral(
        "INSERT INTO SCH_TBL (SCH_FOR, SCH_SUB_TYPE, D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME, COMPUTER_ID, USER_ID) VALUES ");
    Sql(strSch + QStringLiteral("(1,0,1,0,0,'08:00','09:30',0,%1),(1,0,2,42,0,'12:00','13:00',0,%1),"
                                "(1,0,2,65,0,'09:00','17:00',0,%1),(1,0,3,0,4095,'18:00','19:00',0,%1),"
                                "(1,0,3,0,1056,'07:30','08:00',0,%1),(1,0,2,127,0,'21:00','22:15',0,%1),"
                                "(1,0,1,0,0,'16:45','17:15',0,%1),(1,0,3,0,3,'10:00','11:00',0,%1)")
                    .arg(lngUser));
    Sql(strSch + QStringLiteral("(2,1,1,0,0,'12:00','13:00',0,%1),(2,1,2,62,0,'17:30','18:00',0,%1),"
                                "(2,1,3,0,2048,'08:00','10:00',0,%1),(2,1,2,65,0,'10:00','16:00',0,%1)")
                    .arg(lngUser));

    // One working day of events, with long addresses and names where they occur.
    Sql(Counter(40) + QStringLiteral(
            "INSERT INTO URL_RPT_TBL (USER_ID, URL, DOMAIN_NAME, EXE_NAME, SEND_BITS, RECEIVED_BITS, START_TIME, STOP_TIME) "
            "SELECT %1, 'http://www.news-portal-' || (i % 6) || '.example.com/articles/2026/03/07/story-' || i || '.html', "
            "'www.news-portal-' || (i % 6) || '.example.com', CASE i % 3 WHEN 0 THEN 'firefox.exe' WHEN 1 THEN "
            "'chrome.exe' ELSE 'iexplore.exe' END, 1024 * i, 65536 * i, "
            "printf('2026-03-07 %02d:%02d:%02d', 8 + i / 5, (i * 7) % 60, (i * 13) % 60), "
            "printf('2026-03-07 %02d:%02d:%02d', 8 + i / 5, (i * 7 + 3) % 60, (i * 17) % 60) FROM n")
            .arg(lngUser));
    Sql(Counter(30) + QStringLiteral(
            "INSERT INTO PROGRAM_RPT_TBL (USER_ID, PROGRAM_NAME, PRODUCT_NAME, PROGRAM_TITLE, PROGRAM_PATH, COMPANY_NAME, "
            "START_TIME, STOP_TIME) SELECT %1, CASE i % 4 WHEN 0 THEN 'WINWORD.EXE' WHEN 1 THEN 'EXCEL.EXE' WHEN 2 THEN "
            "'notepad.exe' ELSE 'spreadsheet_calculator_professional.exe' END, 'Office Suite', 'Quarterly report ' || i, "
            "'C:\\Program Files\\Office Suite\\Office16\\bin\\program' || i || '.exe', 'Example Software Corporation', "
            "printf('2026-03-07 %02d:%02d:00', 8 + i / 4, (i * 11) % 60), "
            "printf('2026-03-07 %02d:%02d:59', 8 + i / 4, (i * 11 + 5) % 60) FROM n")
            .arg(lngUser));
    Sql(Counter(12) + QStringLiteral(
            "INSERT INTO DEVICE_RPT_TBL (USER_ID, DEVICE_TYPE, DEVICE, DEVICE_DESCRIPTION, DEVICE_LABEL, MANUFACTURER, "
            "START_TIME, STOP_TIME) SELECT %1, 2, 'USBSTOR\\Disk&Ven_Example&Prod_Flash_Drive\\' || i, 'USB Mass Storage Device', "
            "'BACKUP_' || i, 'Example Memory Inc.', printf('2026-03-07 %02d:05:00', 8 + i / 2), "
            "printf('2026-03-07 %02d:45:10', 8 + i / 2) FROM n")
            .arg(lngUser));
    Sql(Counter(30) + QStringLiteral(
            "INSERT INTO EMAIL_RPT_TBL (USER_ID, EMAIL_TYPE, FROM_ADDRESS, TO_ADDRESS, CC_ADDRESS, BCC_ADDRESS, SUBJECT, "
            "START_TIME, ATTACHMENT) SELECT %1, i % 2, 'alice.anderson@accounts.example.com', "
            "'supplier' || i || '@partner-company.example.net', 'finance@example.com', '', "
            "'Invoice ' || (1000 + i) || ' for the March delivery', printf('2026-03-07 %02d:%02d:30', 8 + i / 4, (i * 9) % 60), "
            "CASE i % 3 WHEN 0 THEN 'invoice.pdf' ELSE '' END FROM n")
            .arg(lngUser));
    return lngUser;
}

template <class T>
T* Child(QWidget& window, const char* strName) {
    return window.findChild<T*>(QString::fromLatin1(strName));
}

void Select(QComboBox* pCombo, int lngIndex) {
    if (!pCombo) return;
    pCombo->setCurrentIndex(lngIndex);
    Settle();
}

// The report criteria dialog: photographed, then one report of every kind.
void Shoot_Reports(QWidget& form, Screenshot_Forms& forms) {
    Shoot(form, QStringLiteral("frmReporting"));
    auto& criteria = static_cast<frmReporting&>(form);
    struct Kind {
        int lngKind, lngFilter;
        const char* strName;
    };
    const Kind kinds[] = {{0, 0, "frmReport_url"},         {0, 1, "frmReport_domain"}, {1, 0, "frmReport_application"},
                          {2, 2, "frmReport_device_usb"},  {3, 0, "frmReport_email_smtp"}, {3, 1, "frmReport_email_pop3"}};
    // Choosing by code runs each list's Click handler, as the administrator's choice does.
    const auto choose = [&](QComboBox* pList, int lngIndex, void (frmReporting::*handler)()) {
        pList->setCurrentIndex(lngIndex);
        (criteria.*handler)();
        Settle();
    };
    for (const Kind& kind : kinds) {
        choose(criteria.cboReportingType, kind.lngKind, &frmReporting::cboReportingType_Click);
        choose(criteria.cboFilterType, kind.lngFilter, &frmReporting::cboFilterType_Click);
        forms.hooks[QStringLiteral("frmReport")] = [&kind](QWidget& report) { Shoot(report, QString::fromLatin1(kind.strName)); };
        criteria.cmdCreateReport_Click();
    }
    forms.hooks.erase(QStringLiteral("frmReport"));
    // The criteria dialog on the application kind, where the sort names are longest.
    choose(criteria.cboReportingType, 1, &frmReporting::cboReportingType_Click);
    Shoot(form, QStringLiteral("frmReporting_application"));
}

// A scheduler photographed with each drop-down check list open.
void Shoot_Scheduler(QWidget& form, const QString& strName) {
    Shoot(form, strName);
    auto* cboScheduler = Child<QComboBox>(form, "cboScheduler");
    for (const auto& [lngType, strCombo, strList, strSuffix] :
         {std::tuple{1, "cboDay", "lvwDays", "_days"}, std::tuple{2, "cboMonths", "lvwMonths", "_months"}}) {
        Select(cboScheduler, lngType);
        if (auto* pList = Child<platform::ListView>(form, strList))
            for (long i = 2; i <= pList->Count(); i += 2) pList->Set_Checked(i, true);
        if (auto* pCombo = Child<QComboBox>(form, strCombo)) {
            pCombo->setFocus(Qt::TabFocusReason);
            QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
            QCoreApplication::sendEvent(pCombo, &focusIn);
        }
        Shoot(form, strName + QString::fromLatin1(strSuffix));
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: dv-screenshots <output folder>" << Qt::endl;
        return 2;
    }
    g_strOutput = args[1];
    if (!QDir().mkpath(g_strOutput)) {
        QTextStream(stderr) << "dv-screenshots: cannot create " << g_strOutput << Qt::endl;
        return 1;
    }

    // A temporary Windows directory with a settings database from the installation step.
    QTemporaryDir temp;
    const QString strWindows = temp.filePath(QStringLiteral("Windows"));
    const QString strProgram = temp.filePath(QStringLiteral("Program"));
    QDir().mkpath(strWindows);
    QDir().mkpath(strProgram);
    QString strError;
    if (!Installation::Create_Settings_Database(strWindows + QStringLiteral("/tsdvstore.iil"), strError)) {
        QTextStream(stderr) << "dv-screenshots: " << strError << Qt::endl;
        return 1;
    }
    platform::Service_Set& services = platform::Services();
    services.environment = std::make_shared<Fixed_Environment>(strWindows, strProgram);
    services.clock = std::make_shared<Fixed_Clock>();
    auto forms = std::make_shared<Screenshot_Forms>();
    services.forms = forms;
    modGlobal::Is_Remote_Mode = false;
    modProgram::Application_Log = std::make_unique<clsLog>();
    modProgram::Application_Log->Start_Logging(strProgram + QStringLiteral("/DravinoleTS.log"));

    Fill_Database();

    {
        frmLogin login;
        login.show();
        Shoot(login, QStringLiteral("frmLogin"));
    }

    frmMain console;
    if (auto* pTimer = console.findChild<QTimer*>(QStringLiteral("tmrMain"))) pTimer->stop();
    console.show();
    const int intAlice = console.cboUsers->findText(QStringLiteral("alice"));
    console.cboUsers->setCurrentIndex(intAlice);
    console.cboUsers_Click();
    Shoot(console, QStringLiteral("frmMain"));

    forms->hooks[QStringLiteral("frmInternetSettings")] = [](QWidget& form) {
        Shoot(form, QStringLiteral("frmInternetSettings"));
        auto* cboType = Child<QComboBox>(form, "cboWindowType");
        for (int i : {0, 3}) {
            Select(cboType, i);
            Shoot(form, QStringLiteral("frmInternetSettings_type%1").arg(i));
        }
    };
    forms->hooks[QStringLiteral("frmInternetScheduler")] = [](QWidget& form) { Shoot_Scheduler(form, "frmInternetScheduler"); };
    forms->hooks[QStringLiteral("frmApplicationScheduler")] = [](QWidget& form) {
        Shoot_Scheduler(form, "frmApplicationScheduler");
    };
    forms->hooks[QStringLiteral("frmReporting")] = [&forms](QWidget& form) { Shoot_Reports(form, *forms); };

    console.mnuWebsiteFilter_Click();
    console.mnuFileFilter_Click();
    console.mnuEmailFilter_Click();
    console.mnuPortFilter_Click();
    console.mnuInternetScheduler_Click();
    console.mnuInternetSettings_Click();
    console.mnuEXEBlocker_Click();
    console.mnuWindowBlocker_Click();
    console.mnuApplicationScheduler_Click();
    console.mnuApplicationSettings_Click();
    console.mnuDeviceLock_Click();
    console.mnuReporting_Click();
    console.mnuGeneralOptions_Click();
    console.mnuManageUsers_Click();
    console.mnuCopySettings_Click();
    console.mnuAbout_Click();

    // The exception list has no way in from the console; open it as a dialog would be.
    {
        forms->hooks.clear();
        frmExceptionList form(console);
        platform::Forms().Show_Modal(form, &console);
    }

    console.close();
    for (const QString& strFile : g_written) QTextStream(stdout) << strFile << Qt::endl;
    return g_written.isEmpty() ? 1 : 0;
}

