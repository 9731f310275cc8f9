// The report criteria, the report viewer and the HTML export, driven offscreen from
// the console on a real settings database.
#include "console/frmMain.h"
#include "platform/Controls.h"
#include "reporting/ReportList.h"
#include "reporting/clsHTML.h"
#include "reporting/frmReport.h"
#include "reporting/frmReporting.h"
#include "services/modGlobal.h"
#include "support/ConsoleFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <ctime>

using reporting::Report_List;

namespace {

const QString TODAY = "2026-03-07";  // the fixture clock's day

QString Short(const QDate& dtmDay) { return QLocale::system().toString(dtmDay, QLocale::ShortFormat); }

class ReportingTest : public test::Console_Test {
protected:
    void SetUp() override {
        Console_Test::SetUp();
        m_lngUser = Insert_User("alice");
        m_lngOther = Insert_User("bob");
        Open_Console();
        Select_User("alice");
    }
    void TearDown() override {
        dialog.reset();
        Console_Test::TearDown();
    }

    frmReporting& Open() {
        dialog = std::make_unique<frmReporting>(*console);
        return *dialog;
    }
    QComboBox* Combo(const char* strName) const { return dialog->findChild<QComboBox*>(strName); }
    QCheckBox* Switch() const { return dialog->findChild<QCheckBox*>("chkEnableReporting"); }
    static QStringList Items(const QComboBox* pList) {
        QStringList items;
        for (int i = 0; i < pList->count(); ++i) items << pList->itemText(i);
        return items;
    }
    // Chooses as the administrator does: each choice runs the list's Click.
    void Choose(int lngKind, int lngFilter = 0, int lngSort = 0, int lngMode = 0) {
        Combo("cboReportingType")->setCurrentIndex(lngKind);
        Combo("cboFilterType")->setCurrentIndex(lngFilter);
        Combo("cboSortBy")->setCurrentIndex(lngSort);
        Combo("cboSortingMode")->setCurrentIndex(lngMode);
    }
    void Period(const QDate& dtmStart, const QDate& dtmStop) {
        dialog->dtpkStartTime->setDate(dtmStart);
        dialog->dtpkStopTime->setDate(dtmStop);
    }
    // Presses Create Report; body runs while the viewer is shown. False when no viewer showed.
    bool Create_Report(const std::function<void(frmReport&, Report_List&)>& body = {}) {
        bool blnShown = false;
        forms->onShow = [&](QWidget& form) {
            auto* pViewer = qobject_cast<frmReport*>(&form);
            ASSERT_NE(pViewer, nullptr);
            EXPECT_EQ(forms->owners.back(), dialog.get()) << "the viewer is modal over the criteria";
            blnShown = true;
            if (body) body(*pViewer, *pViewer->findChild<Report_List*>("lvwReport"));
        };
        dialog->findChild<QPushButton*>("cmdCreateReport")->click();
        forms->onShow = nullptr;
        return blnShown;
    }
    // The data rows of a report (rows 9 to the one before the empty last row).
    static std::vector<QStringList> Data(const Report_List& list) {
        std::vector<QStringList> rows;
        for (long i = 9; i < list.Count(); ++i) rows.push_back(Row(list, i));
        return rows;
    }
    static QStringList Row(const Report_List& list, long i) {
        QStringList cells;
        for (int c = 1; c <= list.Column_Count(); ++c) cells << list.Cell(i, c);
        return cells;
    }
    std::vector<QStringList> Listed(int lngKind, int lngFilter = 0, int lngSort = 0, int lngMode = 0) {
        Choose(lngKind, lngFilter, lngSort, lngMode);
        std::vector<QStringList> rows;
        if (!Create_Report([&](frmReport&, Report_List& list) { rows = Data(list); })) Expect_No_Data();
        return rows;
    }
    void Expect_No_Data() {
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, "There is no data to report!");
        EXPECT_EQ(boxes[0].lngStyle, 48);
    }

    void Url(long lngUser, const QString& strUrl, const QString& strDomain, const QString& strStart,
             const QString& strStop, const QString& strExe = "browser.exe") {
        Exec(QString("INSERT INTO URL_RPT_TBL (USER_ID, URL, DOMAIN_NAME, EXE_NAME, SEND_BITS, RECEIVED_BITS, START_TIME, "
                     "STOP_TIME) VALUES (%1, '%2', '%3', '%4', 100, 200, '%5', '%6')")
                 .arg(lngUser)
                 .arg(strUrl, strDomain, strExe, strStart, strStop));
    }
    void Email(long lngUser, int lngType, const QString& strFrom, const QString& strTo, const QString& strSubject,
               const QString& strStart) {
        Exec(QString("INSERT INTO EMAIL_RPT_TBL (USER_ID, EMAIL_TYPE, FROM_ADDRESS, TO_ADDRESS, CC_ADDRESS, BCC_ADDRESS, "
                     "SUBJECT, START_TIME, ATTACHMENT) VALUES (%1, %2, '%3', '%4', 'cc@x', 'bcc@x', '%5', '%6', 'a.zip')")
                 .arg(lngUser)
                 .arg(lngType)
                 .arg(strFrom, strTo, strSubject, strStart));
    }
    void Device(long lngUser, int lngType, const QString& strDevice, const QString& strMaker, const QString& strStart,
                const QString& strStop) {
        Exec(QString("INSERT INTO DEVICE_RPT_TBL (USER_ID, DEVICE_TYPE, DEVICE, DEVICE_DESCRIPTION, DEVICE_LABEL, "
                     "MANUFACTURER, START_TIME, STOP_TIME) VALUES (%1, %2, '%3', 'desc', 'label', '%4', '%5', '%6')")
                 .arg(lngUser)
                 .arg(lngType)
                 .arg(strDevice, strMaker, strStart, strStop));
    }
    void App(long lngUser, const QString& strName, const QString& strTitle, const QString& strCompany,
             const QString& strStart, const QString& strStop) {
        Exec(QString("INSERT INTO PROGRAM_RPT_TBL (USER_ID, PROGRAM_NAME, PRODUCT_NAME, PROGRAM_TITLE, PROGRAM_PATH, "
                     "COMPANY_NAME, START_TIME, STOP_TIME) VALUES (%1, '%2', 'product', '%3', 'C:\\p\\%2', '%4', '%5', '%6')")
                 .arg(lngUser)
                 .arg(strName, strTitle, strCompany, strStart, strStop));
    }
    long Feature_Bits() { return Scalar(QString("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser)).toLong(); }

    long m_lngUser = 0, m_lngOther = 0;
    std::unique_ptr<frmReporting> dialog;
};

// ================================================================ report criteria

TEST_F(ReportingTest, OpensOnTheUrlReportSortedByUrlAscendingForTodayUnderTheUsersName) {
    Exec(QString("UPDATE USER_TBL SET FEATURE_BITS=%1 WHERE USER_ID=%2").arg(2048 | 8).arg(m_lngUser));
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Reporting - alice");
    EXPECT_EQ(Items(Combo("cboReportingType")),
              (QStringList{"URL Reporting ", "Application Reporting", "Device Reporting", "Email Reporting"}));
    EXPECT_EQ(Combo("cboReportingType")->currentIndex(), 0);
    EXPECT_EQ(Items(Combo("cboFilterType")), (QStringList{"URL", "DOMAIN"}));
    EXPECT_EQ(Items(Combo("cboSortBy")), (QStringList{"URL", "Domain Name", "Start Time"}));
    EXPECT_EQ(Combo("cboSortBy")->currentText(), "URL");
    EXPECT_EQ(Combo("cboSortingMode")->currentText(), "Ascending");
    for (const char* strList : {"cboReportingType", "cboFilterType", "cboSortBy", "cboSortingMode"})
        EXPECT_EQ(platform::Get_Tag(Combo(strList)), "0") << strList;
    EXPECT_EQ(dialog->dtpkStartTime->date(), QDate(2026, 3, 7));
    EXPECT_EQ(dialog->dtpkStopTime->date(), QDate(2026, 3, 7));
    EXPECT_EQ(dialog->dtpkStartTime->displayFormat(), "dd/MMM/yyyy");
    EXPECT_EQ(Switch()->text(), "Enable URL Reporting");
    EXPECT_TRUE(Switch()->isChecked());
    EXPECT_TRUE(Switch()->isEnabled());
    EXPECT_TRUE(dialog->m_strQuery.isEmpty());
    for (QComboBox* pList : dialog->findChildren<QComboBox*>()) EXPECT_FALSE(pList->isEditable());
}

struct Kind_Case {
    const char* strName;
    int lngKind;
    QStringList filters;
    std::vector<QStringList> sortByFilter;  // sort items after choosing each filter
    const char* strCaption;
    Flag_Word lngBit;
};

void PrintTo(const Kind_Case& c, std::ostream* os) { *os << c.strName; }

class KindTest : public ReportingTest, public ::testing::WithParamInterface<Kind_Case> {};

TEST_P(KindTest, KindSetsFiltersSortItemsAndTheSwitchWithoutAskingOrWriting) {
    const Kind_Case& k = GetParam();
    Exec(QString("UPDATE USER_TBL SET FEATURE_BITS=%1 WHERE USER_ID=%2").arg(k.lngBit).arg(m_lngUser));
    Open();
    // Leave another kind on its last filter and sort item, descending, first.
    Combo("cboReportingType")->setCurrentIndex((k.lngKind + 3) % 4);
    Combo("cboFilterType")->setCurrentIndex(Combo("cboFilterType")->count() - 1);
    Combo("cboSortBy")->setCurrentIndex(Combo("cboSortBy")->count() - 1);
    Combo("cboSortingMode")->setCurrentIndex(1);
    Combo("cboReportingType")->setCurrentIndex(k.lngKind);
    EXPECT_EQ(Items(Combo("cboFilterType")), k.filters);
    EXPECT_EQ(Combo("cboFilterType")->currentIndex(), 0);
    EXPECT_EQ(Items(Combo("cboSortBy")), k.sortByFilter[0]);
    EXPECT_EQ(Combo("cboSortBy")->currentIndex(), 0);
    EXPECT_EQ(Combo("cboSortingMode")->currentText(), "Descending") << "the sort mode keeps its choice";
    EXPECT_EQ(platform::Get_Tag(Combo("cboReportingType")), QString::number(k.lngKind));
    EXPECT_EQ(platform::Get_Tag(Combo("cboFilterType")), "0");
    EXPECT_EQ(Switch()->text(), k.strCaption);
    EXPECT_TRUE(Switch()->isChecked()) << "shows the kind's own bit";
    EXPECT_EQ(platform::Get_Tag(Switch()), "");
    EXPECT_EQ(Feature_Bits(), k.lngBit);
    for (size_t f = 1; f < k.sortByFilter.size(); ++f) {
        Combo("cboSortBy")->setCurrentIndex(Combo("cboSortBy")->count() - 1);
        Combo("cboFilterType")->setCurrentIndex(static_cast<int>(f));
        EXPECT_EQ(Items(Combo("cboSortBy")), k.sortByFilter[f]) << "filter " << f;
        EXPECT_EQ(Combo("cboSortBy")->currentIndex(), 0) << "a new filter puts the sort back on its first item";
        EXPECT_EQ(platform::Get_Tag(Combo("cboSortBy")), "0");
        EXPECT_EQ(platform::Get_Tag(Combo("cboFilterType")), QString::number(f));
    }
    // Another kind's bit is not this kind's.
    Combo("cboReportingType")->setCurrentIndex((k.lngKind + 1) % 4);
    EXPECT_FALSE(Switch()->isChecked());
}

const Kind_Case KINDS[] = {
    {"Url", 0, {"URL", "DOMAIN"}, {{"URL", "Domain Name", "Start Time"}, {"Domain Name"}}, "Enable URL Reporting", 2048},
    {"Application", 1, {"Application Name"}, {{"Program Name", "Program Title", "Company Name", "Start Time"}},
     "Enable Application Reporting", 4096},
    {"Device", 2, {"Floppy Drive", "CD-ROM", "USB"},
     {{"Device", "Manufacturer", "Start Time"}, {"Device", "Manufacturer", "Start Time"}, {"Device", "Manufacturer", "Start Time"}},
     "Enable Device Reporting", 8192},
    {"Email", 3, {"SMTP", "POP3"}, {{"To Address", "Subject", "Send Time"}, {"From Address", "Subject", "Received Time"}},
     "Enable Email Reporting", 16384},
};

INSTANTIATE_TEST_SUITE_P(Kinds, KindTest, ::testing::ValuesIn(KINDS),
                         [](const auto& info) { return std::string(info.param.strName); });

class SwitchTest : public ReportingTest, public ::testing::WithParamInterface<Kind_Case> {};

TEST_P(SwitchTest, YesWritesTheKindsBitAndNoPutsTheTickBack) {
    const Kind_Case& k = GetParam();
    Exec(QString("UPDATE USER_TBL SET FEATURE_BITS=1 WHERE USER_ID=%1").arg(m_lngUser));
    Open();
    Combo("cboReportingType")->setCurrentIndex(k.lngKind);
    const QString strCaption = k.strCaption;

    messageBox->Answer(platform::vbNo);
    Switch()->click();
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to enable the " + strCaption + "?");
    EXPECT_EQ(boxes[0].lngStyle, 36);
    EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    EXPECT_FALSE(Switch()->isChecked());
    EXPECT_EQ(Feature_Bits(), 1);

    messageBox->Answer(platform::vbYes);
    Switch()->click();
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(Switch()->isChecked());
    EXPECT_EQ(Feature_Bits(), 1 | k.lngBit) << "only the kind's bit is added";

    messageBox->Answer(platform::vbNo);
    Switch()->click();
    boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to disable the " + strCaption + "?");
    EXPECT_TRUE(Switch()->isChecked());
    EXPECT_EQ(Feature_Bits(), 1 | k.lngBit);

    messageBox->Answer(platform::vbYes);
    Switch()->click();
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Feature_Bits(), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SwitchTest, ::testing::ValuesIn(KINDS),
                         [](const auto& info) { return std::string(info.param.strName); });

TEST_F(ReportingTest, RemoteModeDisablesOnlyTheSwitchWhichStillShowsTheStoredBit) {
    Exec(QString("UPDATE USER_TBL SET FEATURE_BITS=2048 WHERE USER_ID=%1").arg(m_lngUser));
    Url(m_lngUser, "http://a.example/", "a.example", TODAY + " 10:00:00", TODAY + " 10:05:00");
    modGlobal::Is_Remote_Mode = true;
    Open();
    EXPECT_FALSE(Switch()->isEnabled());
    EXPECT_TRUE(Switch()->isChecked());
    for (const char* strButton : {"cmdCreateReport", "cmdClose"})
        EXPECT_TRUE(dialog->findChild<QPushButton*>(strButton)->isEnabled());
    for (QComboBox* pList : dialog->findChildren<QComboBox*>()) EXPECT_TRUE(pList->isEnabled());
    EXPECT_EQ(Listed(0).size(), 1u) << "reports can still be made";
}

TEST_F(ReportingTest, EscAndCloseUnloadTheDialog) {
    Open();
    dialog->show();
    QTest::keyClick(Combo("cboSortBy"), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    dialog->show();
    dialog->findChild<QPushButton*>("cmdClose")->click();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ReportingTest, TheConsoleMenuHandlerOpensTheDialogOverTheConsole) {
    QString strCaption;
    forms->onShow = [&](QWidget& form) {
        ASSERT_NE(qobject_cast<frmReporting*>(&form), nullptr);
        strCaption = form.windowTitle();
    };
    console->mnuReporting_Click();
    ASSERT_EQ(forms->shown, std::vector<QString>{"frmReporting"});
    EXPECT_EQ(forms->owners[0], console.get());
    EXPECT_EQ(strCaption, "Reporting - alice");
}

// ---- which events a period reports

TEST_F(ReportingTest, AnEventIsReportedOnlyWhenItLiesWhollyInsideThePeriodOfWholeDays) {
    Url(m_lngUser, "u-starts-at-midnight", "d", "2026-03-30 00:00:00", "2026-03-30 00:10:00");
    Url(m_lngUser, "u-ends-last-second", "d", "2026-03-31 23:00:00", "2026-03-31 23:59:59");
    Url(m_lngUser, "u-began-the-day-before", "d", "2026-03-29 23:59:59", "2026-03-30 00:10:00");
    Url(m_lngUser, "u-ends-at-next-midnight", "d", "2026-03-31 23:00:00", "2026-04-01 00:00:00");
    Url(m_lngUser, "u-next-month", "d", "2026-04-01 00:00:00", "2026-04-01 00:01:00");
    Url(m_lngOther, "u-other-user", "d", "2026-03-30 10:00:00", "2026-03-30 10:01:00");
    Open();
    Period(QDate(2026, 3, 30), QDate(2026, 3, 31));  // the stop day is the last of its month
    const auto rows = Listed(0);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "u-ends-last-second");
    EXPECT_EQ(rows[1][0], "u-starts-at-midnight");
    EXPECT_EQ(dialog->m_strQuery,
              QString("SELECT URL,DOMAIN_NAME,EXE_NAME,SEND_BITS,RECEIVED_BITS,START_TIME,STOP_TIME,RPT_ID FROM URL_RPT_TBL "
                      "WHERE USER_ID=%1 AND START_TIME>='2026-03-30 00:00:00' AND STOP_TIME<'2026-04-01 00:00:00' "
                      "ORDER BY URL ASC")
                  .arg(m_lngUser));
}

TEST_F(ReportingTest, TheStopDayOfAYearsLastDayEndsAtNewYearAndOneDayCoversThatDay) {
    Url(m_lngUser, "late", "d", "2025-12-31 23:59:00", "2025-12-31 23:59:59");
    Url(m_lngUser, "early", "d", "2025-12-31 00:00:00", "2025-12-31 00:00:01");
    Url(m_lngUser, "new-year", "d", "2026-01-01 00:00:00", "2026-01-01 00:00:01");
    Open();
    Period(QDate(2025, 12, 31), QDate(2025, 12, 31));
    EXPECT_EQ(Listed(0).size(), 2u);
    EXPECT_TRUE(dialog->m_strQuery.contains("START_TIME>='2025-12-31 00:00:00' AND STOP_TIME<'2026-01-01 00:00:00'"));
}

// The pickers' last day as stop date covers every event up to its end, for the report
// and for Delete: the period's end is no five-digit year that sorts before every time.
TEST_F(ReportingTest, ThePickersLastDayAsStopDateCoversEveryEventUpToItsEndForTheReportAndDelete) {
    Url(m_lngUser, "u-2026", "d", "2026-03-07 10:00:00", "2026-03-07 10:05:00");
    Url(m_lngUser, "u-5000", "d", "5000-06-01 12:00:00", "5000-06-01 12:30:00");
    Url(m_lngUser, "u-9999", "d", "9999-12-31 23:59:00", "9999-12-31 23:59:59");
    Url(m_lngUser, "u-before", "d", "2026-03-06 23:59:00", "2026-03-07 00:01:00");
    Email(m_lngUser, 0, "a@x", "b@x", "last", "9999-12-31 23:59:59");
    Email(m_lngUser, 0, "a@x", "c@x", "first", "2026-03-07 08:00:00");
    Email(m_lngUser, 0, "a@x", "d@x", "third", "2026-03-08 08:00:00");
    Open();
    ASSERT_EQ(dialog->dtpkStopTime->maximumDate(), QDate(9999, 12, 31));
    Period(QDate(2026, 3, 7), QDate(9999, 12, 31));
    const auto urls = Listed(0);
    ASSERT_EQ(urls.size(), 3u);
    EXPECT_EQ((QStringList{urls[0][0], urls[1][0], urls[2][0]}), (QStringList{"u-2026", "u-5000", "u-9999"}));
    const auto emails = Listed(3);  // sent mail, by the To address
    ASSERT_EQ(emails.size(), 3u);
    EXPECT_EQ(emails[0][1], "b@x");
    EXPECT_EQ(emails[2][1], "d@x");
    EXPECT_TRUE(dialog->m_strQuery.contains("START_TIME>='2026-03-07 00:00:00' AND START_TIME<'9999-12-31 24:00:00'"))
        << dialog->m_strQuery.toStdString();

    // Delete over the same period removes exactly the listed events of each kind.
    for (int lngKind : {0, 3}) {
        Choose(lngKind);
        ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
            ASSERT_EQ(list.Count(), 12) << lngKind;
            messageBox->Answer(platform::vbYes);
            viewer.findChild<QPushButton*>("cmdDeleteReport")->click();
            const auto boxes = Boxes();
            ASSERT_EQ(boxes.size(), 2u) << lngKind;
            EXPECT_EQ(boxes[1].strText, "Successfuly deleted the listed Report(s)");
            EXPECT_EQ(list.Count(), 8) << lngKind;
        }));
    }
    EXPECT_EQ(Query("SELECT URL FROM URL_RPT_TBL"), (test::Rows{{"u-before"}}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM EMAIL_RPT_TBL"), "0");
}

// ---- periods on the days whose local midnight a daylight-saving change skips or repeats

// The process's time zone for one test, put back afterwards.
class Time_Zone {
public:
    explicit Time_Zone(const char* strZone) : m_old(qgetenv("TZ")), m_blnHadOld(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", strZone);
        tzset();
    }
    ~Time_Zone() {
        if (m_blnHadOld) qputenv("TZ", m_old);
        else qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray m_old;
    bool m_blnHadOld;
};

struct Zone_Day_Case {
    const char* strName;
    const char* strZone;
    QDate dtmDay;
    bool blnMidnightMissing;
};

void PrintTo(const Zone_Day_Case& c, std::ostream* os) { *os << c.strName; }

class ZoneDayTest : public ReportingTest, public ::testing::WithParamInterface<Zone_Day_Case> {};

TEST_P(ZoneDayTest, TheReportAndItsDeleteCoverExactlyTheChosenDay) {
    const Zone_Day_Case& c = GetParam();
    const Time_Zone zone(c.strZone);
    ASSERT_EQ(QDateTime(c.dtmDay, QTime(0, 0)).isValid(), !c.blnMidnightMissing)
        << "the zone's rules are not what the case is about";
    const QString strDay = c.dtmDay.toString("yyyy-MM-dd");
    const QString strBefore = c.dtmDay.addDays(-1).toString("yyyy-MM-dd");
    const QString strAfter = c.dtmDay.addDays(1).toString("yyyy-MM-dd");
    Url(m_lngUser, "day-before", "d", strBefore + " 23:30:00", strBefore + " 23:40:00");
    Url(m_lngUser, "at-midnight", "d", strDay + " 00:00:00", strDay + " 00:10:00");
    Url(m_lngUser, "at-noon", "d", strDay + " 12:00:00", strDay + " 12:01:00");
    Url(m_lngUser, "last-second", "d", strDay + " 23:59:00", strDay + " 23:59:59");
    Url(m_lngUser, "into-next-day", "d", strDay + " 23:59:00", strAfter + " 00:00:00");
    Url(m_lngUser, "day-after", "d", strAfter + " 00:00:00", strAfter + " 00:05:00");
    // The pickers open on the clock's day, as the administrator sees them.
    clock->now = QDateTime(c.dtmDay, QTime(14, 5, 9));
    Open();
    ASSERT_EQ(dialog->dtpkStartTime->date(), c.dtmDay);
    ASSERT_EQ(dialog->dtpkStopTime->date(), c.dtmDay);
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
        const auto rows = Data(list);
        QStringList urls;
        for (const QStringList& row : rows) urls << row[0];
        EXPECT_EQ(urls, (QStringList{"at-midnight", "at-noon", "last-second"}));
        messageBox->Answer(platform::vbYes);
        viewer.findChild<QPushButton*>("cmdDeleteReport")->click();
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].strText, "Successfuly deleted the listed Report(s)");
    }));
    EXPECT_TRUE(dialog->m_strQuery.contains("START_TIME>='" + strDay + " 00:00:00' AND STOP_TIME<'" + strAfter +
                                            " 00:00:00'"))
        << dialog->m_strQuery.toStdString();
    test::Rows kept = Query("SELECT URL FROM URL_RPT_TBL ORDER BY URL");
    QStringList urls;
    for (const QStringList& row : kept) urls << row[0];
    EXPECT_EQ(urls, (QStringList{"day-after", "day-before", "into-next-day"})) << "only the chosen day's events go";
}

// Days whose local midnight does not exist (a change at 00:00 moves the clock to 01:00)
// or happens twice, the day before and after such a change, and a day that a zone
// skipped altogether.
INSTANTIATE_TEST_SUITE_P(
    Zones, ZoneDayTest,
    ::testing::Values(Zone_Day_Case{"HavanaMidnightSkipped", "America/Havana", QDate(2026, 3, 8), true},
                      Zone_Day_Case{"HavanaDayBeforeTheSkip", "America/Havana", QDate(2026, 3, 7), false},
                      Zone_Day_Case{"HavanaMidnightRepeated", "America/Havana", QDate(2026, 11, 1), false},
                      Zone_Day_Case{"SantiagoMidnightSkipped", "America/Santiago", QDate(2026, 9, 6), true},
                      Zone_Day_Case{"BeirutMidnightSkipped", "Asia/Beirut", QDate(2026, 3, 29), true},
                      Zone_Day_Case{"ApiaDayThatNeverHappened", "Pacific/Apia", QDate(2011, 12, 30), true},
                      Zone_Day_Case{"Utc", "UTC", QDate(2026, 3, 8), false}),
    [](const auto& info) { return std::string(info.param.strName); });

TEST_F(ReportingTest, AnEmailIsReportedByItsStartTimeAndOnlyForItsDirection) {
    Email(m_lngUser, 0, "me@x", "sent@x", "sent today", TODAY + " 23:59:59");
    Email(m_lngUser, 0, "me@x", "tomorrow@x", "sent tomorrow", "2026-03-08 00:00:00");
    Email(m_lngUser, 1, "in@x", "me@x", "received today", TODAY + " 08:00:00");
    Open();
    auto rows = Listed(3, 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (QStringList{"me@x", "sent@x", "cc@x", "bcc@x", "sent today", TODAY + " 23:59:59", "a.zip"}));
    rows = Listed(3, 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][4], "received today");
}

TEST_F(ReportingTest, AStartAfterTheStopOrAnEmptyPeriodReportsNoDataAndShowsNoViewer) {
    Url(m_lngUser, "u", "d", TODAY + " 10:00:00", TODAY + " 10:01:00");
    Open();
    Period(QDate(2026, 3, 8), QDate(2026, 3, 7));
    EXPECT_TRUE(Listed(0).empty());
    Period(QDate(2026, 3, 1), QDate(2026, 3, 2));
    EXPECT_TRUE(Listed(0).empty());
    EXPECT_TRUE(forms->shown.empty());
}

TEST_F(ReportingTest, TheAllUsersRowReportsTheEventsWrittenForAllUsers) {
    Url(0, "for-everyone", "d", TODAY + " 10:00:00", TODAY + " 10:01:00");
    Url(m_lngUser, "for-alice", "d", TODAY + " 10:00:00", TODAY + " 10:01:00");
    Select_User("All Users");
    Open();
    const auto rows = Listed(0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "for-everyone");
}

// ---- sort orders

struct Sort_Case {
    const char* strName;
    int lngKind, lngFilter, lngSort, lngMode;
    QStringList expectedFirstColumn;
};

void PrintTo(const Sort_Case& c, std::ostream* os) { *os << c.strName; }

class SortTest : public ReportingTest, public ::testing::WithParamInterface<Sort_Case> {
protected:
    void SetUp() override {
        ReportingTest::SetUp();
        // URLs: their names, domains and start times sort three different ways.
        Url(m_lngUser, "b-url", "z.example", TODAY + " 09:00:00", TODAY + " 09:10:00");
        Url(m_lngUser, "a-url", "y.example", TODAY + " 11:00:00", TODAY + " 11:10:00");
        Url(m_lngUser, "c-url", "y.example", TODAY + " 10:00:00", TODAY + " 10:10:00");
        App(m_lngUser, "beta.exe", "Title A", "Maker C", TODAY + " 08:00:00", TODAY + " 08:30:00");
        App(m_lngUser, "alpha.exe", "Title C", "Maker B", TODAY + " 09:00:00", TODAY + " 09:30:00");
        App(m_lngUser, "gamma.exe", "Title B", "Maker A", TODAY + " 07:00:00", TODAY + " 07:30:00");
        Device(m_lngUser, 2, "stick-b", "Maker A", TODAY + " 08:00:00", TODAY + " 08:10:00");
        Device(m_lngUser, 2, "stick-a", "Maker B", TODAY + " 09:00:00", TODAY + " 09:10:00");
        Device(m_lngUser, 0, "floppy", "Maker C", TODAY + " 09:00:00", TODAY + " 09:10:00");
        Email(m_lngUser, 0, "me@x", "b@x", "subject 2", TODAY + " 07:00:00");
        Email(m_lngUser, 0, "me@x", "a@x", "subject 1", TODAY + " 08:00:00");
        Email(m_lngUser, 1, "z@x", "me@x", "inbound 1", TODAY + " 06:00:00");
        Email(m_lngUser, 1, "y@x", "me@x", "inbound 2", TODAY + " 05:00:00");
        Open();
    }
};

TEST_P(SortTest, ReportsAreOrderedByTheChosenColumnAndDirection) {
    const Sort_Case& c = GetParam();
    QStringList first;
    for (const QStringList& row : Listed(c.lngKind, c.lngFilter, c.lngSort, c.lngMode)) first << row[0];
    EXPECT_EQ(first, c.expectedFirstColumn) << dialog->m_strQuery.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Orders, SortTest,
    ::testing::Values(
        Sort_Case{"UrlByUrl", 0, 0, 0, 0, {"a-url", "b-url", "c-url"}},
        Sort_Case{"UrlByUrlDescending", 0, 0, 0, 1, {"c-url", "b-url", "a-url"}},
        Sort_Case{"UrlByStartTime", 0, 0, 2, 0, {"b-url", "c-url", "a-url"}},
        Sort_Case{"DomainsCountedPerDomain", 0, 1, 0, 0, {"y.example", "z.example"}},
        Sort_Case{"DomainsDescending", 0, 1, 0, 1, {"z.example", "y.example"}},
        Sort_Case{"ApplicationByTitle", 1, 0, 1, 0, {"beta.exe", "gamma.exe", "alpha.exe"}},
        Sort_Case{"ApplicationByCompany", 1, 0, 2, 0, {"gamma.exe", "alpha.exe", "beta.exe"}},
        Sort_Case{"ApplicationByStartTime", 1, 0, 3, 1, {"alpha.exe", "beta.exe", "gamma.exe"}},
        Sort_Case{"UsbByDevice", 2, 2, 0, 0, {"stick-a", "stick-b"}},
        Sort_Case{"UsbByManufacturer", 2, 2, 1, 0, {"stick-b", "stick-a"}},
        Sort_Case{"FloppyOnly", 2, 0, 0, 0, {"floppy"}},
        Sort_Case{"SmtpByToAddress", 3, 0, 0, 0, {"me@x", "me@x"}},
        Sort_Case{"SmtpBySendTime", 3, 0, 2, 1, {"me@x", "me@x"}},
        Sort_Case{"Pop3ByFromAddress", 3, 1, 0, 0, {"y@x", "z@x"}},
        Sort_Case{"Pop3ByReceivedTime", 3, 1, 2, 1, {"z@x", "y@x"}}),
    [](const auto& info) { return std::string(info.param.strName); });

TEST_F(ReportingTest, TheDomainReportCountsTheVisitsOfEachDomainInThePeriod) {
    Url(m_lngUser, "u1", "b.example", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Url(m_lngUser, "u2", "a.example", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Url(m_lngUser, "u3", "b.example", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Url(m_lngUser, "u4", "b.example", "2026-03-06 09:00:00", "2026-03-06 09:01:00");
    Open();
    const auto rows = Listed(0, 1);
    EXPECT_EQ(rows, (std::vector<QStringList>{{"a.example", "1"}, {"b.example", "2"}}));
    EXPECT_TRUE(dialog->m_strQuery.startsWith("SELECT DOMAIN_NAME,COUNT(DOMAIN_NAME) FROM URL_RPT_TBL"));
    EXPECT_TRUE(dialog->m_strQuery.endsWith("' GROUP BY DOMAIN_NAME ORDER BY DOMAIN_NAME ASC"));
}

TEST_F(ReportingTest, CreateReportCanBePressedAgainWithOtherChoicesAndTheDialogKeepsThem) {
    Url(m_lngUser, "u1", "a.example", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Device(m_lngUser, 1, "dvd", "maker", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Open();
    EXPECT_EQ(Listed(0).size(), 1u);
    const QString strFirst = dialog->m_strQuery;
    EXPECT_EQ(Listed(2, 1).size(), 1u);
    EXPECT_NE(dialog->m_strQuery, strFirst);
    EXPECT_TRUE(dialog->m_strQuery.contains("' AND DEVICE_TYPE=1 ORDER BY DEVICE ASC"));
    EXPECT_EQ(Combo("cboFilterType")->currentText(), "CD-ROM") << "closing the viewer leaves the choices";
    EXPECT_EQ(forms->shown, (std::vector<QString>{"frmReport", "frmReport"}));
}

// ================================================================ report viewer

TEST_F(ReportingTest, TheViewerListsTitleCriteriaCaptionsRowsAndAnEmptyLastRow) {
    Url(m_lngUser, "http://b.example/x", "b.example", TODAY + " 09:00:00", TODAY + " 09:01:00", "shell.exe");
    Url(m_lngUser, "http://a.example/", "a.example", TODAY + " 10:00:00", TODAY + " 10:01:00");
    Open();
    Period(QDate(2026, 3, 6), QDate(2026, 3, 7));
    Choose(0, 0, 0, 0);
    const bool blnShown = Create_Report([&](frmReport& viewer, Report_List& list) {
        EXPECT_EQ(viewer.windowTitle(), "Report");
        EXPECT_EQ(viewer.findChild<QGroupBox*>("fraReport")->title(), "Report");
        ASSERT_EQ(list.Count(), 11);
        const QString strPeriod = (Short(QDate(2026, 3, 6)) + " To " + Short(QDate(2026, 3, 7))).toUpper();
        const std::vector<std::tuple<QString, QString, bool>> heading = {
            {"URL REPORT", "h0", true},
            {"", "t0", false},
            {"REPORT BASED ON     : URL VISITED", "s1", true},
            {"REPORTING PERIOD   : " + strPeriod, "s2", true},
            {"SORT BY                     : URL VISITED", "s3", true},
            {"SORT ORDER              : ASCENDING", "s4", true},
            {"", "t2", false},
        };
        for (long i = 1; i <= 7; ++i) {
            const auto& [strText, strKey, blnBold] = heading[static_cast<size_t>(i - 1)];
            EXPECT_EQ(list.Text(i), strText) << "row " << i;
            EXPECT_EQ(list.Key(i), strKey) << "row " << i;
            EXPECT_EQ(list.Bold(i), blnBold) << "row " << i;
            EXPECT_EQ(list.SubItem(i, 1), "") << "row " << i;
        }
        EXPECT_TRUE(strPeriod.contains(" TO "));
        EXPECT_EQ(Row(list, 8), (QStringList{"Url Visited", "Domain", "Application Used", "Sent Bits", "Received Bits",
                                             "Start Time", "Stop Time"}));
        EXPECT_EQ(list.Key(8), "Url");
        EXPECT_TRUE(list.Bold(8));
        EXPECT_EQ(Row(list, 9), (QStringList{"http://a.example/", "a.example", "browser.exe", "100", "200",
                                             TODAY + " 10:00:00", TODAY + " 10:01:00"}));
        EXPECT_EQ(list.SubItem(10, 2), "shell.exe");
        EXPECT_FALSE(list.Bold(9));
        EXPECT_EQ(Row(list, 11), QStringList(7, QString()));
        EXPECT_EQ(list.Key(11), "");
        QStringList keys;
        for (int c = 1; c <= list.Column_Count(); ++c) keys << list.Column_Key(c);
        EXPECT_EQ(keys, (QStringList{"Url", "Domain", "Application", "SentBits", "ReceivedBits", "StartTime", "StopTime"}));
        EXPECT_TRUE(viewer.findChild<QPushButton*>("cmdDeleteReport")->isEnabled());
        EXPECT_EQ(viewer.Report_Title(), "URL REPORT");
    });
    EXPECT_TRUE(blnShown);
}

struct Criteria_Case {
    const char* strName;
    int lngKind, lngFilter, lngSort, lngMode;
    const char* strTitle;
    const char* strBasedOn;   // row 3
    const char* strSortBy;    // row 5
    const char* strOrder;     // row 6
    QStringList captions;     // row 8
    QStringList columnKeys;
};

void PrintTo(const Criteria_Case& c, std::ostream* os) { *os << c.strName; }

class CriteriaTest : public ReportingTest, public ::testing::WithParamInterface<Criteria_Case> {};

TEST_P(CriteriaTest, CriteriaRowsCaptionsAndColumnKeysFollowTheChoices) {
    const Criteria_Case& c = GetParam();
    Url(m_lngUser, "u", "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    App(m_lngUser, "p.exe", "t", "c", TODAY + " 09:00:00", TODAY + " 09:01:00");
    for (int t = 0; t < 3; ++t) Device(m_lngUser, t, "dev", "maker", TODAY + " 09:00:00", TODAY + " 09:01:00");
    for (int t = 0; t < 2; ++t) Email(m_lngUser, t, "f@x", "t@x", "s", TODAY + " 09:00:00");
    Open();
    Choose(c.lngKind, c.lngFilter, c.lngSort, c.lngMode);
    ASSERT_TRUE(Create_Report([&](frmReport&, Report_List& list) {
        EXPECT_EQ(list.Text(1), c.strTitle);
        EXPECT_EQ(list.Text(3), QString("REPORT BASED ON     : ") + c.strBasedOn);
        EXPECT_EQ(list.Text(5), QString("SORT BY                     : ") + c.strSortBy);
        EXPECT_EQ(list.Text(6), QString("SORT ORDER              : ") + c.strOrder);
        EXPECT_EQ(Row(list, 8), c.captions);
        QStringList keys;
        for (int col = 1; col <= list.Column_Count(); ++col) keys << list.Column_Key(col);
        EXPECT_EQ(keys, c.columnKeys);
        EXPECT_EQ(list.Key(8), c.columnKeys[0]);
        EXPECT_EQ(list.Count(), 10);
    }));
}

const QStringList EMAIL_KEYS_SMTP = {"From Address", "To Address", "CC Address", "BCC Address", "Subject", "SendTime", "Attachments"};
const QStringList EMAIL_KEYS_POP3 = {"From Address", "To Address", "CC Address", "BCC Address", "Subject", "ReceivedTime", "Attachments"};
const QStringList DEVICE_CAPTIONS = {"Device Name", "Description", "Device Label", "Manufacturer", "Start Time", "Stop Time"};
const QStringList DEVICE_KEYS = {"Device", "DeviceDesc", "DevcieLabel", "Manufacturer", "StartTime", "StopTime"};

INSTANTIATE_TEST_SUITE_P(
    Choices, CriteriaTest,
    ::testing::Values(
        Criteria_Case{"UrlByStartTime", 0, 0, 2, 0, "URL REPORT", "URL VISITED", "START TIME", "ASCENDING",
                      {"Url Visited", "Domain", "Application Used", "Sent Bits", "Received Bits", "Start Time", "Stop Time"},
                      {"Url", "Domain", "Application", "SentBits", "ReceivedBits", "StartTime", "StopTime"}},
        Criteria_Case{"Domain", 0, 1, 0, 1, "URL REPORT", "DOMAIN NAME", "DOMAIN NAME", "DECENDING",
                      {"Domain Visited", "Count"}, {"Url", "Count"}},
        Criteria_Case{"ApplicationByCompany", 1, 0, 2, 0, "APPLICATION REPORT", "APPLICATION NAME", "COMPANY NAME",
                      "ASCENDING",
                      {"Program Name", "Product Name", "Product Title", "Program Path", "Company Name", "Start Time",
                       "Stop Time"},
                      {"ProgramName", "ProductName", "ProductTitle", "ProgramPath", "CompanyName", "StartTime", "StopTime"}},
        Criteria_Case{"FloppyByDevice", 2, 0, 0, 0, "DEVICE REPORT", "FLOPPY", "DEVICE NAME", "ASCENDING", DEVICE_CAPTIONS,
                      DEVICE_KEYS},
        Criteria_Case{"CdByManufacturerDescending", 2, 1, 1, 1, "DEVICE REPORT", "CD/DVD", "MANUFATURER", "DECENDING",
                      DEVICE_CAPTIONS, DEVICE_KEYS},
        Criteria_Case{"UsbByStartTime", 2, 2, 2, 0, "DEVICE REPORT", "USB", "START TIME", "ASCENDING", DEVICE_CAPTIONS,
                      DEVICE_KEYS},
        Criteria_Case{"SmtpBySendTime", 3, 0, 2, 0, "EMAIL REPORT", "SMTP", "SEND TIME", "ASCENDING",
                      {"From Address", "To Address", "CC Address", "BCC Address", "Subject", "Send Time", "Attachments"},
                      EMAIL_KEYS_SMTP},
        Criteria_Case{"Pop3ByReceivedTime", 3, 1, 2, 1, "EMAIL REPORT", "POP3", "RECEIVED TIME", "DECENDING",
                      {"From Address", "To Address", "CC Address", "BCC Address", "Subject", "Received Time", "Attachments"},
                      EMAIL_KEYS_POP3}),
    [](const auto& info) { return std::string(info.param.strName); });

TEST_F(ReportingTest, TheDomainReportCannotBeDeletedFromTheViewer) {
    for (int i = 0; i < 4; ++i) Url(m_lngUser, "u", QString("d%1").arg(i), TODAY + " 09:00:00", TODAY + " 09:01:00");
    Open();
    Choose(0, 1);
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
        EXPECT_EQ(list.Count(), 13);
        auto* pDelete = viewer.findChild<QPushButton*>("cmdDeleteReport");
        EXPECT_FALSE(pDelete->isEnabled());
        pDelete->click();  // a disabled button does nothing
        EXPECT_TRUE(Boxes().empty());
    }));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM URL_RPT_TBL"), "4");
}

// ---- deleting the listed events

struct Delete_Case {
    const char* strName;
    int lngKind, lngFilter;
    const char* strTable;
    // Inserts three listed events of alice (%1) and the events that must stay (bob is %2).
    const char* strListed;
    const char* strKept;
    // The column that names an event ('a', 'b', 'c' above) and its place in a listed row.
    const char* strNameColumn;
    int lngShownColumn;
    // Another program's event of alice on the listed day, named 'new'.
    const char* strNew;
};

void PrintTo(const Delete_Case& c, std::ostream* os) { *os << c.strName; }

class DeleteTest : public ReportingTest, public ::testing::WithParamInterface<Delete_Case> {
protected:
    void SetUp() override {
        ReportingTest::SetUp();
        const Delete_Case& c = GetParam();
        Exec(Owners(c.strListed));
        Exec(Owners(c.strKept));
        m_lngKept = Scalar(QString("SELECT COUNT(*) FROM %1").arg(c.strTable)).toLong() - 3;
        Open();
        Choose(c.lngKind, c.lngFilter);
    }
    QString Owners(const char* strSQL) const {
        return QString(strSQL).replace("%1", QString::number(m_lngUser)).replace("%2", QString::number(m_lngOther));
    }
    long Remaining() { return Scalar(QString("SELECT COUNT(*) FROM %1").arg(GetParam().strTable)).toLong(); }
    // The names of alice's events stored on the listed day, sorted.
    QStringList Stored_Names() {
        const Delete_Case& c = GetParam();
        QStringList names;
        for (const QStringList& row : Query(QString("SELECT %1 FROM %2 WHERE USER_ID=%3 AND START_TIME LIKE "
                                                    "'2026-03-07 %' AND %1 IN ('a','b','c','new') ORDER BY %1")
                                                .arg(c.strNameColumn, c.strTable)
                                                .arg(m_lngUser)))
            names << row[0];
        return names;
    }
    QStringList Listed_Names(const Report_List& list) const {
        QStringList names;
        for (const QStringList& row : Data(list)) names << row[GetParam().lngShownColumn];
        names.sort();
        return names;
    }
    long m_lngKept = 0;
};

// Between the listing and Delete, another program writes an event of the same user on
// the same day and deletes one listed event. Delete takes the listed events still
// stored and nothing else: the new event stays stored and makes the next report.
TEST_P(DeleteTest, AnEventWrittenAfterTheListingStaysAndAListedOneGoneMeanwhileIsNoError) {
    const Delete_Case& c = GetParam();
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
        ASSERT_EQ(Listed_Names(list), (QStringList{"a", "b", "c"}));
        Exec(Owners(c.strNew));
        Exec(QString("DELETE FROM %1 WHERE %2='b'").arg(c.strTable, c.strNameColumn));
        ASSERT_EQ(Stored_Names(), (QStringList{"a", "c", "new"}));
        messageBox->Answer(platform::vbYes);
        viewer.findChild<QPushButton*>("cmdDeleteReport")->click();
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].strText, "Are you sure you want to delete the listed Report(s)?");
        EXPECT_EQ(boxes[1].strText, "Successfuly deleted the listed Report(s)");
        EXPECT_EQ(boxes[1].lngStyle, 64);
        EXPECT_EQ(list.Count(), 8);
    }));
    EXPECT_EQ(Stored_Names(), QStringList{"new"});
    EXPECT_EQ(Remaining(), m_lngKept + 1) << "the other events stay as well";
    ASSERT_TRUE(Create_Report([&](frmReport&, Report_List& list) {
        EXPECT_EQ(Listed_Names(list), QStringList{"new"}) << "the next report shows the new event";
    }));
}

TEST_P(DeleteTest, YesDeletesExactlyTheListedEventsAndLeavesTheHeadingRows) {
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
        ASSERT_EQ(list.Count(), 12);
        messageBox->Answer(platform::vbNo);
        viewer.findChild<QPushButton*>("cmdDeleteReport")->click();
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, "Are you sure you want to delete the listed Report(s)?");
        EXPECT_EQ(boxes[0].lngStyle, 36);
        EXPECT_EQ(list.Count(), 12) << "No leaves the list";
        EXPECT_EQ(Remaining(), m_lngKept + 3) << "No leaves the database";

        messageBox->Answer(platform::vbYes);
        viewer.findChild<QPushButton*>("cmdDeleteReport")->click();
        boxes = Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].strText, "Successfuly deleted the listed Report(s)");
        EXPECT_EQ(boxes[1].lngStyle, 64);
        EXPECT_EQ(list.Count(), 8);
        EXPECT_EQ(list.Key(8), list.Column_Key(1));
        EXPECT_EQ(Remaining(), m_lngKept);

        // A second Delete does nothing; Export refuses the empty report.
        viewer.findChild<QPushButton*>("cmdDeleteReport")->click();
        viewer.findChild<QPushButton*>("cmdExport")->click();
        boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, "There is no item to export!");
        EXPECT_EQ(boxes[0].lngStyle, 48);
    }));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DeleteTest,
    ::testing::Values(
        Delete_Case{"Url", 0, 0, "URL_RPT_TBL",
                    "INSERT INTO URL_RPT_TBL (USER_ID, URL, START_TIME, STOP_TIME) VALUES "
                    "(%1, 'a', '2026-03-07 00:00:00', '2026-03-07 00:01:00'), (%1, 'b', '2026-03-07 12:00:00', "
                    "'2026-03-07 12:01:00'), (%1, 'c', '2026-03-07 23:00:00', '2026-03-07 23:59:59')",
                    "INSERT INTO URL_RPT_TBL (USER_ID, URL, START_TIME, STOP_TIME) VALUES "
                    "(%1, 'late', '2026-03-07 23:00:00', '2026-03-08 00:00:00'), (%1, 'early', '2026-03-06 23:00:00', "
                    "'2026-03-07 01:00:00'), (%2, 'bob', '2026-03-07 12:00:00', '2026-03-07 12:01:00')",
                    "URL", 0,
                    "INSERT INTO URL_RPT_TBL (USER_ID, URL, START_TIME, STOP_TIME) VALUES "
                    "(%1, 'new', '2026-03-07 06:00:00', '2026-03-07 06:01:00')"},
        Delete_Case{"Application", 1, 0, "PROGRAM_RPT_TBL",
                    "INSERT INTO PROGRAM_RPT_TBL (USER_ID, PROGRAM_NAME, START_TIME, STOP_TIME) VALUES "
                    "(%1, 'a', '2026-03-07 01:00:00', '2026-03-07 02:00:00'), (%1, 'b', '2026-03-07 03:00:00', "
                    "'2026-03-07 04:00:00'), (%1, 'c', '2026-03-07 05:00:00', '2026-03-07 06:00:00')",
                    "INSERT INTO PROGRAM_RPT_TBL (USER_ID, PROGRAM_NAME, START_TIME, STOP_TIME) VALUES "
                    "(%1, 'next day', '2026-03-08 01:00:00', '2026-03-08 02:00:00'), (%2, 'bob', '2026-03-07 03:00:00', "
                    "'2026-03-07 04:00:00')",
                    "PROGRAM_NAME", 0,
                    "INSERT INTO PROGRAM_RPT_TBL (USER_ID, PROGRAM_NAME, START_TIME, STOP_TIME) VALUES "
                    "(%1, 'new', '2026-03-07 02:00:00', '2026-03-07 02:30:00')"},
        Delete_Case{"DeviceUsb", 2, 2, "DEVICE_RPT_TBL",
                    "INSERT INTO DEVICE_RPT_TBL (USER_ID, DEVICE_TYPE, DEVICE, START_TIME, STOP_TIME) VALUES "
                    "(%1, 2, 'a', '2026-03-07 01:00:00', '2026-03-07 02:00:00'), (%1, 2, 'b', '2026-03-07 03:00:00', "
                    "'2026-03-07 04:00:00'), (%1, 2, 'c', '2026-03-07 05:00:00', '2026-03-07 06:00:00')",
                    "INSERT INTO DEVICE_RPT_TBL (USER_ID, DEVICE_TYPE, DEVICE, START_TIME, STOP_TIME) VALUES "
                    "(%1, 0, 'floppy', '2026-03-07 01:00:00', '2026-03-07 02:00:00'), (%1, 1, 'cd', '2026-03-07 "
                    "01:00:00', '2026-03-07 02:00:00'), (%2, 2, 'bob', '2026-03-07 01:00:00', '2026-03-07 02:00:00')",
                    "DEVICE", 0,
                    "INSERT INTO DEVICE_RPT_TBL (USER_ID, DEVICE_TYPE, DEVICE, START_TIME, STOP_TIME) VALUES "
                    "(%1, 2, 'new', '2026-03-07 07:00:00', '2026-03-07 08:00:00')"},
        Delete_Case{"EmailPop3", 3, 1, "EMAIL_RPT_TBL",
                    "INSERT INTO EMAIL_RPT_TBL (USER_ID, EMAIL_TYPE, SUBJECT, START_TIME) VALUES "
                    "(%1, 1, 'a', '2026-03-07 01:00:00'), (%1, 1, 'b', '2026-03-07 02:00:00'), "
                    "(%1, 1, 'c', '2026-03-07 23:59:59')",
                    "INSERT INTO EMAIL_RPT_TBL (USER_ID, EMAIL_TYPE, SUBJECT, START_TIME) VALUES "
                    "(%1, 0, 'sent', '2026-03-07 01:00:00'), (%1, 1, 'tomorrow', '2026-03-08 00:00:00'), "
                    "(%2, 1, 'bob', '2026-03-07 01:00:00')",
                    "SUBJECT", 4,
                    "INSERT INTO EMAIL_RPT_TBL (USER_ID, EMAIL_TYPE, SUBJECT, START_TIME) VALUES "
                    "(%1, 1, 'new', '2026-03-07 01:30:00')"}),
    [](const auto& info) { return std::string(info.param.strName); });

TEST_F(ReportingTest, OneOrTwoListedEventsCannotBeDeletedFromTheViewer) {
    Url(m_lngUser, "a", "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Url(m_lngUser, "b", "d", TODAY + " 10:00:00", TODAY + " 10:01:00");
    Open();
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
        EXPECT_EQ(list.Count(), 11);
        viewer.findChild<QPushButton*>("cmdDeleteReport")->click();
        EXPECT_TRUE(Boxes().empty()) << "no question, no message";
        EXPECT_EQ(list.Count(), 11);
    }));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM URL_RPT_TBL"), "2");
}

// A delete the database refuses, or whose commit fails, is reported once with the
// database's text; the events stay stored, so they stay listed, and no success shows.
// The trigger refuses the middle event: an ABORT undoes the statement, a ROLLBACK the
// whole transaction, and neither leaves any event deleted. A delete frees pages and
// takes none, so a full disk lets it through: then the events are gone from both.
class DeleteFaultTest : public ReportingTest, public ::testing::WithParamInterface<test::Fault> {
protected:
    QStringList Stored() {
        QStringList urls;
        for (const QStringList& row : Query("SELECT URL FROM URL_RPT_TBL ORDER BY URL")) urls << row[0];
        return urls;
    }
    static QStringList Listed(const Report_List& list) {
        QStringList urls;
        for (const QStringList& row : Data(list)) urls << row[0];
        urls.sort();
        return urls;
    }
};

TEST_P(DeleteFaultTest, AFailedDeleteIsReportedOnceAndTheEventsStayListedAndStored) {
    const test::Fault fault = GetParam();
    const bool blnRefused = fault != test::Fault::Database_Full;
    const QStringList expected = blnRefused ? QStringList({"a", "b", "c"}) : QStringList();
    for (const char* strUrl : {"a", "b", "c"}) Url(m_lngUser, strUrl, "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Open();
    std::unique_ptr<test::Made_Fault> made;
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
        made = Make_Fault(fault, {"DELETE ON URL_RPT_TBL WHEN OLD.URL='b'"});
        messageBox->Answer(platform::vbYes);
        viewer.findChild<QPushButton*>("cmdDeleteReport")->click();
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 2u) << "the question and one answer";
        if (blnRefused) {
            EXPECT_EQ(boxes[1].lngStyle, 16) << "one error, no success";
            EXPECT_TRUE(boxes[1].strText.contains(QLatin1String(test::Fault_Text(fault))))
                << boxes[1].strText.toStdString();
            EXPECT_EQ(list.Count(), 12) << "the events are still in the database, so they stay listed";
        } else {
            EXPECT_EQ(boxes[1].strText, "Successfuly deleted the listed Report(s)");
            EXPECT_EQ(list.Count(), 8);
        }
        EXPECT_EQ(Listed(list), expected);
    }));
    made->Release();
    EXPECT_EQ(Stored(), expected) << "what is listed is what is stored";
}

INSTANTIATE_TEST_SUITE_P(Faults, DeleteFaultTest,
                         ::testing::Values(test::Fault::Abort_Trigger, test::Fault::Rollback_Trigger,
                                           test::Fault::Held_Read_Lock, test::Fault::Held_Write_Lock,
                                           test::Fault::Held_Exclusive_Lock, test::Fault::Database_Full,
                                           test::Fault::Read_Only),
                         [](const auto& info) { return std::string(test::Fault_Name(info.param)); });

TEST_F(ReportingTest, AFailedQueryIsReportedThenNoData) {
    Exec("DROP TABLE PROGRAM_RPT_TBL");
    Open();
    Choose(1);
    EXPECT_FALSE(Create_Report());
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains("PROGRAM_RPT_TBL"));
    EXPECT_EQ(boxes[1].strText, "There is no data to report!");
}

// ---- sizes

TEST_F(ReportingTest, ColumnsShareTheListWidthAndTheFirstTakesWhatTheOthersLeave) {
    Url(m_lngUser, "a", "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Open();
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
        const double dblList = platform::Pixels_To_Twips(list.width(), &list);
        const double shares[] = {4, 2, 2, 1.5, 1.5, 1.5, 1.5};
        for (int c = 2; c <= 7; ++c) EXPECT_NEAR(list.Column_Width(c), dblList * shares[c - 1] / 14, 0.01) << c;
        long lngOthers = 0;
        for (int c = 2; c <= 7; ++c) lngOthers = std::lround(lngOthers + list.Column_Width(c));
        EXPECT_NEAR(list.Column_Width(1), std::nearbyint(dblList - lngOthers) - 20, 0.01);

        // The form at its design size: the frame fills it, the buttons stand under it.
        auto* pFrame = viewer.findChild<QGroupBox*>("fraReport");
        auto* pClose = viewer.findChild<QPushButton*>("cmdClose");
        auto* pExport = viewer.findChild<QPushButton*>("cmdExport");
        auto* pDelete = viewer.findChild<QPushButton*>("cmdDeleteReport");
        const auto twips = [&](int px) { return platform::Pixels_To_Twips(px, &viewer); };
        EXPECT_NEAR(twips(viewer.width()), 15330, 15);
        EXPECT_NEAR(twips(viewer.height()), 9105, 15);
        EXPECT_EQ(pClose->y(), pExport->y());
        EXPECT_EQ(pClose->y(), pDelete->y());
        EXPECT_NEAR(twips(pClose->y()), twips(pFrame->geometry().bottom() + 1) + 100, 15);
        EXPECT_NEAR(twips(pClose->geometry().right() + 1), twips(list.x() + pFrame->width()), 15);
        EXPECT_NEAR(twips(pClose->x() - pExport->geometry().right() - 1), 100, 15);
    }));
}

TEST_F(ReportingTest, ResizingMovesTheControlsAndKeepsTheFirstColumnFromBecomingTooNarrow) {
    Url(m_lngUser, "a", "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Open();
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
        auto* pFrame = viewer.findChild<QGroupBox*>("fraReport");
        auto* pClose = viewer.findChild<QPushButton*>("cmdClose");
        auto* pDelete = viewer.findChild<QPushButton*>("cmdDeleteReport");
        const auto twips = [&](int px) { return platform::Pixels_To_Twips(px, &viewer); };
        viewer.show();
        const int lngDeleteLeft = pDelete->x();

        viewer.resize(platform::Twips_To_Pixels(12000, &viewer), platform::Twips_To_Pixels(6000, &viewer));
        QApplication::processEvents();
        const double H = twips(viewer.frameGeometry().height()), W = twips(viewer.frameGeometry().width());
        EXPECT_NEAR(twips(pFrame->height()), H - 10 * 120, 15);
        EXPECT_NEAR(twips(list.height()), twips(pFrame->height()) - 360, 15);
        EXPECT_NEAR(twips(pFrame->width()), W - 3 * 120, 15);
        EXPECT_NEAR(twips(list.width()), twips(pFrame->width()) - 240, 15);
        EXPECT_NEAR(twips(pClose->y()), 120 + twips(pFrame->height()) + 100, 15);
        EXPECT_EQ(pDelete->x(), lngDeleteLeft);

        // The others widened so far that too little is left: the first gets 4/14 of the list.
        for (int c = 2; c <= 7; ++c) list.Set_Column_Width(c, 1800);
        viewer.resize(platform::Twips_To_Pixels(11000, &viewer), platform::Twips_To_Pixels(6000, &viewer));
        QApplication::processEvents();
        const double dblList = twips(list.width());
        EXPECT_NEAR(list.Column_Width(1), dblList * 4 / 14 - 20, 0.01);

        // Below the width threshold nothing moves sideways.
        const int lngFrameWidth = pFrame->width();
        viewer.resize(platform::Twips_To_Pixels(8000, &viewer), platform::Twips_To_Pixels(6000, &viewer));
        QApplication::processEvents();
        EXPECT_EQ(pFrame->width(), lngFrameWidth);
        viewer.close();
    }));
}

TEST_F(ReportingTest, EscClosesTheViewerAndReturnsToTheCriteria) {
    Url(m_lngUser, "a", "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Open();
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List& list) {
        viewer.show();
        QTest::keyClick(&list, Qt::Key_Escape);
        EXPECT_FALSE(viewer.isVisible());
    }));
}

// ================================================================ HTML export

class ExportTest : public ReportingTest {
protected:
    QByteArray Read(const QString& strPath) {
        QFile file(strPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Creates the report of the current choices and exports it as strName.
    void Export(const QString& strName) {
        ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List&) {
            fileDialog->Choose(strName);
            viewer.findChild<QPushButton*>("cmdExport")->click();
        }));
    }
};

TEST_F(ExportTest, TheDomainReportIsWrittenAsOneTableBlockByteForByte) {
    Url(m_lngUser, "u", "a<b>&\"c\".example", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Open();
    Choose(0, 1);
    const QString strName = Temp_Path("report");
    Export(strName);
    const QString CRLF = "\r\n";
    const auto row = [&](int i, const QStringList& cells, bool blnBold) {
        const QString strOpen = i % 2 ? "<td bgcolor=\"#FFDBBF\">" : "<td  bgcolor=\"#FFFFFF\">";
        QString s = CRLF + "<tr>" + CRLF;
        for (const QString& cell : cells)
            s += strOpen + (blnBold ? "<b>" : "") + cell + (blnBold ? "</b></td>" : "</td>");
        return s + CRLF + "</tr>";
    };
    const QString strPeriod = (Short(QDate(2026, 3, 7)) + " To " + Short(QDate(2026, 3, 7))).toUpper();
    QString expected = CRLF + "<H2>&nbsp;</H2>" + CRLF + "<div align=\"left\">" + CRLF +
                       "<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\" style=\"border-collapse: collapse; "
                       "font-family: Microsoft Sans Serif; font-size:10pt; padding-left:10; padding-right:5\" "
                       "bordercolor=\"#FFFFFF\" width=\"100%\">" +
                       CRLF + "</tr>" + CRLF;
    expected += row(1, {"URL REPORT", "&nbsp;"}, true);
    expected += row(2, {"&nbsp;", "&nbsp;"}, false);
    expected += row(3, {"REPORT BASED ON     : DOMAIN NAME", "&nbsp;"}, true);
    expected += row(4, {"REPORTING PERIOD   : " + strPeriod, "&nbsp;"}, true);
    expected += row(5, {"SORT BY                     : DOMAIN NAME", "&nbsp;"}, true);
    expected += row(6, {"SORT ORDER              : ASCENDING", "&nbsp;"}, true);
    expected += row(7, {"&nbsp;", "&nbsp;"}, false);
    expected += row(8, {"Domain Visited", "Count"}, true);
    expected += row(9, {"a&lt;b&gt;&amp;&quot;c&quot;.example", "1"}, false);
    expected += row(10, {"&nbsp;", "&nbsp;"}, false);
    expected += CRLF + "<tr>" + "<td>Report Taken @ " + reporting::clsHTML::General_Date(clock->now) + "</td>" + CRLF +
                "</tr>";
    expected += CRLF + "</table>" + CRLF + CRLF + "</div>";
    EXPECT_EQ(Read(strName + ".html"), "\xEF\xBB\xBF" + expected.toUtf8()) << "a new file starts with the UTF-8 mark";
    EXPECT_FALSE(QFile::exists(strName)) << "the name always gets .html";
    EXPECT_TRUE(Boxes().empty()) << "the export ends silently";
}

TEST_F(ExportTest, ValuesAreEscapedSoNoEventTextBecomesMarkupAndBlankCellsFollowTheirRule) {
    Url(m_lngUser, "   ", "<script>alert(1)</script>", TODAY + " 09:00:00", TODAY + " 09:01:00", "  ");
    Open();
    const QString strName = Temp_Path("escaped");
    Export(strName);
    const QString strHtml = QString::fromUtf8(Read(strName + ".html"));
    EXPECT_FALSE(strHtml.contains("<script>"));
    EXPECT_TRUE(strHtml.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
    // A first cell of blanks shows as &nbsp;, a sub-item of blanks keeps its blanks.
    EXPECT_TRUE(strHtml.contains("\r\n<td bgcolor=\"#FFDBBF\">&nbsp;</td><td bgcolor=\"#FFDBBF\">&lt;script&gt;"));
    EXPECT_TRUE(strHtml.contains("&lt;/script&gt;</td><td bgcolor=\"#FFDBBF\">  </td>"));
    // Seven columns: the closing row holds the time and five empty cells.
    EXPECT_TRUE(strHtml.contains("</td><td>&nbsp;</td><td>&nbsp;</td><td>&nbsp;</td><td>&nbsp;</td><td>&nbsp;</td>\r\n</tr>"));
    EXPECT_EQ(strHtml.count("<tr>"), 10 + 1);
}

TEST_F(ExportTest, ExportingTwiceAppendsASecondBlockAndAnExistingFileKeepsItsContent) {
    Url(m_lngUser, "u", "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    const QString strName = Temp_Path("twice.html");
    {
        QFile file(strName + ".html");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<p>kept</p>");
    }
    Open();
    Export(strName);
    const QByteArray once = Read(strName + ".html");
    Export(strName);
    const QByteArray twice = Read(strName + ".html");
    EXPECT_TRUE(once.startsWith("<p>kept</p>\r\n<H2>"));
    EXPECT_EQ(twice, once + once.mid(11)) << "the second block follows the first";
    EXPECT_FALSE(QFile::exists(strName)) << "a name ending .html gets a second .html";
}

TEST_F(ExportTest, ANewFileIsMarkedUtf8OnceAndAFileThatHoldsSomethingGetsNoMark) {
    Url(m_lngUser, "http://caf\u00e9.example/\u65e5\u672c/\U0001F600", "caf\u00e9.example", TODAY + " 09:00:00",
        TODAY + " 09:01:00");
    Open();
    const QByteArray BOM = "\xEF\xBB\xBF";
    // A new file, and an empty one, start with the mark; the second export adds none.
    const QString strNew = Temp_Path("new");
    {
        QFile empty(Temp_Path("empty.html"));
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    for (const QString& strName : {strNew, Temp_Path("empty")}) {
        Export(strName);
        const QByteArray once = Read(strName + ".html");
        EXPECT_TRUE(once.startsWith(BOM + "\r\n<H2>"));
        // Written as UTF-8, whatever the locale's encoder is called.
        EXPECT_TRUE(once.contains(QString("http://caf\u00e9.example/\u65e5\u672c/\U0001F600").toUtf8()));
        Export(strName);
        const QByteArray twice = Read(strName + ".html");
        EXPECT_EQ(twice.count(BOM), 1);
        EXPECT_EQ(twice.mid(once.size()), once.mid(BOM.size())) << "the second block follows without a mark";
    }
    // A file that holds something already (an older export, another page) is appended to as it stands.
    const QString strOld = Temp_Path("old");
    {
        QFile file(strOld + ".html");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<p>kept</p>");
    }
    Export(strOld);
    const QByteArray old = Read(strOld + ".html");
    EXPECT_TRUE(old.startsWith("<p>kept</p>\r\n<H2>"));
    EXPECT_FALSE(old.contains(BOM));
}

struct Export_Name_Case {
    const char* strName;
    int lngKind;
    const char* strTitle;
    const char* strSuffix;
};

void PrintTo(const Export_Name_Case& c, std::ostream* os) { *os << c.strName; }

class ExportNameTest : public ExportTest, public ::testing::WithParamInterface<Export_Name_Case> {};

TEST_P(ExportNameTest, TheSaveDialogOffersTheDatedDefaultNameAndTheReportsTitle) {
    const Export_Name_Case& c = GetParam();
    Url(m_lngUser, "u", "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    App(m_lngUser, "p.exe", "t", "c", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Device(m_lngUser, 0, "dev", "maker", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Email(m_lngUser, 0, "f@x", "t@x", "s", TODAY + " 09:00:00");
    Open();
    Choose(c.lngKind);
    ASSERT_TRUE(Create_Report([&](frmReport& viewer, Report_List&) {
        fileDialog->Choose(std::nullopt);
        viewer.findChild<QPushButton*>("cmdExport")->click();
    }));
    ASSERT_EQ(fileDialog->saved.size(), 1u);
    const platform::Common_Dialog& dlg = fileDialog->saved[0];
    EXPECT_EQ(dlg.DialogTitle, QString("Export ") + c.strTitle + " details as text file");
    EXPECT_EQ(dlg.Filter, "Text Files|*.txt|All Files|*.*");
    EXPECT_EQ(dlg.FileName, QLocale::system().toString(QDate(2026, 3, 7), "dd-MMM-yyyy") + c.strSuffix);
    EXPECT_TRUE(QDir(Temp_Path("")).entryList({"*.html"}).isEmpty()) << "Cancel writes nothing";
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExportNameTest,
                         ::testing::Values(Export_Name_Case{"Url", 0, "url report", "_Url_Rpt_Details"},
                                           Export_Name_Case{"Application", 1, "application report", "_App_Rpt_Details"},
                                           Export_Name_Case{"Device", 2, "device report", "_Device_Rpt_Details"},
                                           Export_Name_Case{"Email", 3, "email report", "_Email_Rpt_Details"}),
                         [](const auto& info) { return std::string(info.param.strName); });

TEST_F(ExportTest, AFileThatCannotBeWrittenEndsTheExportSilently) {
    Url(m_lngUser, "u", "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Open();
    Export(Temp_Path("no/such/folder/report"));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(QFile::exists(Temp_Path("no/such/folder/report.html")));
    reporting::clsHTML html;
    Report_List list;
    list.Add_Column("A", 100);
    EXPECT_FALSE(html.SaveListViewToFile(list, Temp_Path("no/such/folder/x.html"), "", "HTML", ""));
}

TEST_F(ExportTest, AReportOfManyEventsIsWrittenWholeInOrder) {
    // About 4 MB of HTML: written in several pieces.
    Exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
                 "INSERT INTO URL_RPT_TBL (USER_ID, URL, DOMAIN_NAME, EXE_NAME, SEND_BITS, RECEIVED_BITS, START_TIME, "
                 "STOP_TIME) SELECT %1, printf('http://host.example/%05d', i), 'host.example', 'b.exe', i, i, "
                 "'2026-03-07 10:00:00', '2026-03-07 10:01:00' FROM n")
             .arg(m_lngUser));
    Open();
    const QString strName = Temp_Path("big");
    Export(strName);
    const QString strHtml = QString::fromUtf8(Read(strName + ".html"));
    EXPECT_GT(strHtml.size(), 2 << 20);
    EXPECT_EQ(strHtml.count("\r\n<tr>"), 9 + 20000 + 1);
    const qsizetype lngFirst = strHtml.indexOf("http://host.example/00001<");
    const qsizetype lngLast = strHtml.indexOf("http://host.example/20000<");
    EXPECT_GT(lngFirst, 0);
    EXPECT_GT(lngLast, lngFirst);
    EXPECT_TRUE(strHtml.endsWith("\r\n</table>\r\n\r\n</div>"));
}

TEST_F(ExportTest, RowColoursAlternateFromTheTitleRowAndTheTimeIsTheGeneralDate) {
    for (int i = 0; i < 4; ++i) Url(m_lngUser, QString("u%1").arg(i), "d", TODAY + " 09:00:00", TODAY + " 09:01:00");
    Open();
    const QString strName = Temp_Path("colours");
    Export(strName);
    const QString strHtml = QString::fromUtf8(Read(strName + ".html"));
    const QStringList rows = strHtml.split("\r\n<tr>\r\n").mid(1);
    ASSERT_EQ(rows.size(), 9 + 4);
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_TRUE(rows[i].startsWith(i % 2 == 0 ? "<td bgcolor=\"#FFDBBF\">" : "<td  bgcolor=\"#FFFFFF\">")) << "row " << i + 1;
    const QString strTaken = reporting::clsHTML::General_Date(clock->now);
    EXPECT_TRUE(strTaken.startsWith(Short(QDate(2026, 3, 7)) + " "));
    EXPECT_TRUE(strTaken.contains("05:09")) << strTaken.toStdString();
    EXPECT_TRUE(strHtml.contains("<td>Report Taken @ " + strTaken + "</td>"));
}

}  // namespace
