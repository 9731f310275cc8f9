// What the administrator sees in every window: no control cut by its parent or lying
// on a sibling, no item text cut in a drop-down list or a caption, no horizontal
// scroll bar in a list whose columns are meant to fill it, whatever the count of
// entries, and the report's times whole at the design size.
#include "console/frmAbout.h"
#include "console/frmCopySettings.h"
#include "console/frmExceptionList.h"
#include "console/frmGeneralOptions.h"
#include "console/frmLogin.h"
#include "console/frmMain.h"
#include "console/frmManageUsers.h"
#include "lists/frmEXEBlocker.h"
#include "lists/frmEmailFilter.h"
#include "lists/frmFileFilter.h"
#include "lists/frmPortFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "lists/frmWindowBlocker.h"
#include "platform/Controls.h"
#include "platform/ListView.h"
#include "reporting/ReportList.h"
#include "reporting/frmReport.h"
#include "reporting/frmReporting.h"
#include "schedules/frmApplicationScheduler.h"
#include "schedules/frmApplicationSettings.h"
#include "schedules/frmDeviceSettings.h"
#include "schedules/frmInternetScheduler.h"
#include "schedules/frmInternetSettings.h"
#include "support/ConsoleFixture.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QtTest/QTest>
#include <functional>

namespace {

void Settle() {
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The faults of one window: controls cut by their parent or lying on a visible
// sibling, and texts that do not fit their control.
QStringList Layout_Faults(QWidget& window) {
    QStringList faults;
    std::function<void(QWidget&)> walk = [&](QWidget& parent) {
        // The insides of lists, pickers and drop-down lists are Qt's own.
        if (qobject_cast<QAbstractItemView*>(&parent) || qobject_cast<QAbstractSpinBox*>(&parent) ||
            qobject_cast<QComboBox*>(&parent))
            return;
        QList<QWidget*> shown;
        for (QObject* pObject : parent.children()) {
            auto* pChild = qobject_cast<QWidget*>(pObject);
            if (pChild && !pChild->isWindow() && !pChild->isHidden()) shown << pChild;
        }
        for (int i = 0; i < shown.size(); ++i) {
            QWidget& child = *shown[i];
            const QString strName = child.objectName().isEmpty() ? child.metaObject()->className() : child.objectName();
            if (!parent.rect().contains(child.geometry()))
                faults << QString("%1 cut by %2").arg(strName, parent.objectName());
            for (int j = i + 1; j < shown.size(); ++j)
                if (child.geometry().intersects(shown[j]->geometry()))
                    faults << QString("%1 lies on %2").arg(strName, shown[j]->objectName());
            if (auto* pCombo = qobject_cast<QComboBox*>(&child)) {
                QStyleOptionComboBox option;
                option.initFrom(pCombo);
                option.editable = pCombo->isEditable();
                const int intRoom =
                    pCombo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, pCombo).width();
                for (int k = 0; k < pCombo->count(); ++k)
                    if (pCombo->fontMetrics().horizontalAdvance(pCombo->itemText(k)) > intRoom)
                        faults << QString("%1 cuts \"%2\"").arg(strName, pCombo->itemText(k));
            } else if (auto* pLabel = qobject_cast<QLabel*>(&child)) {
                if (!pLabel->wordWrap() && !pLabel->text().isEmpty() && pLabel->pixmap().isNull() &&
                    pLabel->fontMetrics().horizontalAdvance(pLabel->text()) > pLabel->contentsRect().width())
                    faults << QString("%1 cuts \"%2\"").arg(strName, pLabel->text());
            } else if (auto* pButton = qobject_cast<QPushButton*>(&child)) {
                if (pButton->fontMetrics().horizontalAdvance(pButton->text()) > pButton->width())
                    faults << QString("%1 cuts \"%2\"").arg(strName, pButton->text());
            }
            walk(child);
        }
    };
    walk(window);
    return faults;
}

bool Shows_Horizontal_Bar(QAbstractScrollArea& view) {
    Settle();
    return !view.horizontalScrollBar()->isHidden() && view.horizontalScrollBar()->maximum() > 0;
}

class Window_Look_Test : public test::Owner_Dialog_Test {
protected:
    // A few dozen entries in the owner's lists, schedules and a day of events.
    void Fill_Realistic_Data() {
        for (int i = 1; i <= 16; ++i) Insert_User(QString("user%1").arg(i));
        const auto fill = [&](const char* strTable, const char* strColumn, const QString& strPattern, int intCount) {
            Exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                         "INSERT INTO %2 (%3, COMPUTER_ID, USER_ID) SELECT %4, 0, %5 FROM n")
                     .arg(intCount)
                     .arg(QLatin1String(strTable), QLatin1String(strColumn), strPattern)
                     .arg(m_lngUser));
        };
        fill("BL_TBL", "BL_URL", "'www.blocked-site-' || i || '.example.com'", 30);
        fill("WL_TBL", "WL_URL", "'intranet-' || i || '.example.org'", 24);
        fill("FILE_TBL", "FILE_EXTN", "'.ext' || i", 30);
        fill("EXE_TBL", "EXE_NAME", "'game_launcher_' || i || '.exe'", 28);
        fill("WINDOW_TBL", "WINDOW_TITLE", "'Solitaire - Game ' || i", 26);
        fill("SMTP_TBL", "SMTP_EMAIL", "'mailer' || i || '.example.net'", 22);
        fill("POP3_TBL", "POP3_EMAIL", "'pop' || i || '.example.net'", 18);
        fill("BYPASS_EXE_TBL", "BYPASS_EXE", "'helper_' || i || '.exe'", 10);
        Exec(QString("INSERT INTO SCH_TBL (SCH_FOR, SCH_SUB_TYPE, D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME, USER_ID) "
                     "VALUES (1,0,1,0,0,'08:00','09:30',%1),(1,0,2,42,0,'12:00','13:00',%1),"
                     "(1,0,3,0,4095,'18:00','19:00',%1),(2,1,2,62,0,'17:30','18:00',%1)")
                 .arg(m_lngUser));
        Exec(QString("UPDATE USER_TBL SET URL_MSG_TYPE=2, BLOCKED_URL_MSG='%1' WHERE USER_ID=%2")
                 .arg(QString("Access to this web site has been blocked. ").repeated(6))
                 .arg(m_lngUser));
        Insert_Events(30);
    }
    void Insert_Events(int intCount) {
        const QString strRows = QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ").arg(intCount);
        Exec(strRows + QString("INSERT INTO URL_RPT_TBL (USER_ID, URL, DOMAIN_NAME, EXE_NAME, SEND_BITS, RECEIVED_BITS, "
                               "START_TIME, STOP_TIME) SELECT %1, 'http://www.news-portal.example.com/articles/2026/03/07/story-' "
                               "|| i || '.html', 'www.news-portal.example.com', 'firefox.exe', 1024 * i, 65536 * i, "
                               "'2026-03-07 00:00:00', '2026-03-07 23:59:59' FROM n")
                           .arg(m_lngUser));
        Exec(strRows + QString("INSERT INTO PROGRAM_RPT_TBL (USER_ID, PROGRAM_NAME, PRODUCT_NAME, PROGRAM_TITLE, PROGRAM_PATH, "
                               "COMPANY_NAME, START_TIME, STOP_TIME) SELECT %1, 'spreadsheet_calculator_professional.exe', "
                               "'Office Suite', 'Quarterly report', 'C:\\Program Files\\Office\\calc.exe', "
                               "'Example Software Corporation', '2026-03-07 08:08:08', '2026-03-07 18:08:08' FROM n")
                           .arg(m_lngUser));
        Exec(strRows + QString("INSERT INTO DEVICE_RPT_TBL (USER_ID, DEVICE_TYPE, DEVICE, DEVICE_DESCRIPTION, DEVICE_LABEL, "
                               "MANUFACTURER, START_TIME, STOP_TIME) SELECT %1, 0, 'Floppy ' || i, 'Floppy disk drive', "
                               "'A', 'Example Inc.', '2026-03-07 09:09:09', '2026-03-07 10:10:10' FROM n")
                           .arg(m_lngUser));
        Exec(strRows + QString("INSERT INTO EMAIL_RPT_TBL (USER_ID, EMAIL_TYPE, FROM_ADDRESS, TO_ADDRESS, CC_ADDRESS, "
                               "BCC_ADDRESS, SUBJECT, START_TIME, ATTACHMENT) SELECT %1, i % 2, 'alice@example.com', "
                               "'bob@example.com', '', '', 'Invoice ' || i, '2026-03-07 20:20:20', '' FROM n")
                           .arg(m_lngUser));
    }

    void Check_Tool_Tips(reporting::Report_List& list);

public:
    template <class Form>
    QWidget* Open() {
        QWidget* pForm = &Open_Form<Form>();
        Settle();
        return pForm;
    }

    // The criteria dialog on a kind and filter, chosen as the administrator does.
    frmReporting& Criteria(int lngKind, int lngFilter) {
        auto& criteria = Open_Form<frmReporting>();
        criteria.cboReportingType->setCurrentIndex(lngKind);
        criteria.cboFilterType->setCurrentIndex(lngFilter);
        criteria.dtpkStartTime->setDate(QDate(2026, 3, 7));
        criteria.dtpkStopTime->setDate(QDate(2026, 3, 7));
        return criteria;
    }
    // Builds the report of a kind and filter; body runs on its list while the viewer is
    // shown at its design size. False when no viewer showed.
    bool Report(int lngKind, int lngFilter, const std::function<void(reporting::Report_List&)>& body) {
        frmReporting& criteria = Criteria(lngKind, lngFilter);
        bool blnShown = false;
        forms->onShow = [&](QWidget& form) {
            form.show();
            Settle();
            auto* pList = form.findChild<reporting::Report_List*>("lvwReport");
            ASSERT_NE(pList, nullptr);
            blnShown = true;
            body(*pList);
        };
        criteria.cmdCreateReport_Click();
        forms->onShow = nullptr;
        return blnShown;
    }

protected:
};

struct Window_Case {
    const char* strName;
    QWidget* (Window_Look_Test::*open)();
};

class Window_Layout_Test : public Window_Look_Test, public ::testing::WithParamInterface<Window_Case> {};

TEST_P(Window_Layout_Test, NoControlIsCutOrLiesOnAnotherAndNoTextIsCut) {
    Fill_Realistic_Data();
    Select_User("alice");
    QWidget* pWindow = (this->*GetParam().open)();
    ASSERT_NE(pWindow, nullptr);
    EXPECT_EQ(Layout_Faults(*pWindow), QStringList()) << GetParam().strName;
}

const Window_Case WINDOWS[] = {
    {"GeneralOptions", &Window_Look_Test::Open<frmGeneralOptions>},
    {"ManageUsers", &Window_Look_Test::Open<frmManageUsers>},
    {"ExceptionList", &Window_Look_Test::Open<frmExceptionList>},
    {"CopySettings", &Window_Look_Test::Open<frmCopySettings>},
    {"WebsiteFilter", &Window_Look_Test::Open<frmWebsiteFilter>},
    {"FileFilter", &Window_Look_Test::Open<frmFileFilter>},
    {"EmailFilter", &Window_Look_Test::Open<frmEmailFilter>},
    {"PortFilter", &Window_Look_Test::Open<frmPortFilter>},
    {"EXEBlocker", &Window_Look_Test::Open<frmEXEBlocker>},
    {"WindowBlocker", &Window_Look_Test::Open<frmWindowBlocker>},
    {"InternetScheduler", &Window_Look_Test::Open<frmInternetScheduler>},
    {"ApplicationScheduler", &Window_Look_Test::Open<frmApplicationScheduler>},
    {"InternetSettings", &Window_Look_Test::Open<frmInternetSettings>},
    {"ApplicationSettings", &Window_Look_Test::Open<frmApplicationSettings>},
    {"DeviceSettings", &Window_Look_Test::Open<frmDeviceSettings>},
    {"Reporting", &Window_Look_Test::Open<frmReporting>},
};
INSTANTIATE_TEST_SUITE_P(Windows, Window_Layout_Test, ::testing::ValuesIn(WINDOWS),
                         [](const auto& info) { return std::string(info.param.strName); });

TEST_F(Window_Look_Test, TheConsoleLoginAndAboutBoxHaveNothingCut) {
    Fill_Realistic_Data();
    Select_User("alice");
    Settle();
    EXPECT_EQ(Layout_Faults(Console()), QStringList());
    frmLogin login;
    login.show();
    Settle();
    EXPECT_EQ(Layout_Faults(login), QStringList());
    frmAbout about(&Console());
    about.show();
    Settle();
    EXPECT_EQ(Layout_Faults(about), QStringList());
}

TEST_F(Window_Look_Test, EveryMessageTypeAndTheDayAndMonthListsLeaveNothingCut) {
    Fill_Realistic_Data();
    Select_User("alice");
    QWidget* pSettings = Open<frmInternetSettings>();
    for (int i = 0; i < 4; ++i) {
        Find<QComboBox>("cboWindowType")->setCurrentIndex(i);
        Settle();
        EXPECT_EQ(Layout_Faults(*pSettings), QStringList()) << "type " << i;
    }
    // With no message and no address box, one line parts the type from the program list.
    Find<QComboBox>("cboWindowType")->setCurrentIndex(0);
    EXPECT_FALSE(Shown("frameLine_0"));
    Find<QComboBox>("cboWindowType")->setCurrentIndex(2);
    EXPECT_TRUE(Shown("frameLine_0"));

    for (int lngKind = 0; lngKind < 4; ++lngKind) {
        Criteria(lngKind, 0);
        Settle();
        EXPECT_EQ(Layout_Faults(*dialog), QStringList()) << "kind " << lngKind;
    }
}

TEST_F(Window_Look_Test, TheMessageBoxShowsSeveralLinesFromTheStartOfTheMessage) {
    Fill_Realistic_Data();
    Open<frmInternetSettings>();
    auto* pBox = Find<platform::Text_Box>("txtBlMessage");
    EXPECT_GE(pBox->height(), 3 * pBox->fontMetrics().lineSpacing());
    EXPECT_EQ(pBox->textCursor().position(), 0);
    EXPECT_EQ(pBox->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(pBox->text().startsWith("Access to this web site"));
}

// ---------------------------------------------------------------- horizontal scroll bars

struct Count_Case {
    const char* strName;
    const char* strList;
    std::vector<int> counts;
};

class Scroll_Bar_Test : public Window_Look_Test, public ::testing::WithParamInterface<Count_Case> {
protected:
    // Exactly intCount entries in the list of the named dialog.
    void Fill(const std::string& strName, int intCount) {
        const QString strRows = QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ").arg(intCount);
        if (strName == "ManageUsers") {  // the all-users row and alice are listed too
            Exec("DELETE FROM USER_TBL WHERE USER_NAME LIKE 'terminal_user_%'");
            Exec(strRows + "INSERT INTO USER_TBL (USER_NAME) SELECT 'terminal_user_' || i FROM n WHERE i <= " +
                 QString::number(intCount - 2));
        } else if (strName == "ExceptionList") {
            Exec("DELETE FROM USER_EXCPN_TBL");
            Exec(strRows + "INSERT INTO USER_EXCPN_TBL (E_USER_NAME) SELECT 'service_account_' || i FROM n");
        } else if (strName == "InternetSettings") {
            Exec("DELETE FROM BYPASS_EXE_TBL");
            Exec(strRows + QString("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, USER_ID) SELECT 'helper_' || i || '.exe', %1 FROM n")
                               .arg(m_lngUser));
        } else if (strName == "FileFilter") {
            Exec("DELETE FROM FILE_TBL");
            Exec(strRows + QString("INSERT INTO FILE_TBL (FILE_EXTN, USER_ID) SELECT '.ext' || i, %1 FROM n").arg(m_lngUser));
        } else {
            Exec("DELETE FROM SCH_TBL");
            Exec(strRows + QString("INSERT INTO SCH_TBL (SCH_FOR, SCH_SUB_TYPE, D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME, "
                                   "USER_ID) SELECT %1, 0, 2, 127, 0, printf('%02d:00', i), printf('%02d:30', i), %2 FROM n")
                               .arg(strName == "InternetScheduler" ? 1 : 2)
                               .arg(m_lngUser));
        }
    }
    QWidget* Open_Named(const std::string& strName) {
        if (strName == "ManageUsers") return Open<frmManageUsers>();
        if (strName == "ExceptionList") return Open<frmExceptionList>();
        if (strName == "InternetSettings") return Open<frmInternetSettings>();
        if (strName == "FileFilter") return Open<frmFileFilter>();
        if (strName == "InternetScheduler") return Open<frmInternetScheduler>();
        return Open<frmApplicationScheduler>();
    }
};

TEST_P(Scroll_Bar_Test, NoCountOfEntriesShowsAHorizontalScrollBar) {
    const Count_Case& c = GetParam();
    for (int intCount : c.counts) {
        Fill(c.strName, intCount);
        Open_Named(c.strName);
        platform::ListView* pList = Find<platform::ListView>(c.strList);
        ASSERT_EQ(pList->Count(), intCount);
        EXPECT_FALSE(Shows_Horizontal_Bar(*pList->Item_View())) << c.strName << " with " << intCount << " entries";
        dialog.reset();
    }
}

const Count_Case COUNTS[] = {
    {"ManageUsers", "lvwUsers", {3, 13, 14, 15, 16, 17, 18, 19, 20, 21, 25}},
    {"ExceptionList", "lvwUsers", {1, 12, 13, 14, 15, 16, 17, 20}},
    {"InternetSettings", "lvwBypassedExe", {5, 7, 8, 9, 12, 20}},
    {"FileFilter", "lvwFileFilter", {10, 14, 16, 18, 20, 30}},
    {"InternetScheduler", "lvwInternetScheduler", {5, 10, 12, 16, 17, 18, 20}},
    {"ApplicationScheduler", "lvwApplicationScheduler", {5, 8, 10, 11, 12, 16, 20}},
};
INSTANTIATE_TEST_SUITE_P(Lists, Scroll_Bar_Test, ::testing::ValuesIn(COUNTS),
                         [](const auto& info) { return std::string(info.param.strName); });

TEST_F(Window_Look_Test, AddingAndRemovingUsersNeverShowsAHorizontalScrollBar) {
    Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10) "
         "INSERT INTO USER_TBL (USER_NAME) SELECT 'terminal_user_' || i FROM n");
    Open<frmManageUsers>();
    platform::ListView* pList = Find<platform::ListView>("lvwUsers");
    for (int i = 1; i <= 12; ++i) {
        Find<QLineEdit>("txtUsers")->setText(QString("added_%1").arg(i));
        Click("cmdAdd");
        EXPECT_FALSE(Shows_Horizontal_Bar(*pList->Item_View())) << pList->Count() << " users";
    }
    for (long i = pList->Count(); i > 10; --i) {
        Select_Only("lvwUsers", {i});
        messageBox->answers.push_back(platform::vbYes);
        Click("cmdRemove");
        Boxes();
        EXPECT_FALSE(Shows_Horizontal_Bar(*pList->Item_View())) << pList->Count() << " users";
    }
}

// ---------------------------------------------------------------- the report viewer

struct Report_Case {
    const char* strName;
    int lngKind, lngFilter;
    std::vector<int> timeColumns;
};

class Report_Look_Test : public Window_Look_Test, public ::testing::WithParamInterface<Report_Case> {
protected:
    void Check_Report(const Report_Case& c, reporting::Report_List& list);
};

TEST_P(Report_Look_Test, WholeTimesAtTheDesignSizeNoHeaderNoCurrentRowNoHorizontalBar) {
    const Report_Case& c = GetParam();
    Insert_Events(40);
    ASSERT_TRUE(Report(c.lngKind, c.lngFilter, [&](reporting::Report_List& list) { Check_Report(c, list); }));
}

void Report_Look_Test::Check_Report(const Report_Case& c, reporting::Report_List& list) {
    reporting::Report_List* pList = &list;
    pList->setFocus();
    Settle();
    EXPECT_TRUE(pList->isHeaderHidden());
    EXPECT_FALSE(pList->currentIndex().isValid());
    EXPECT_FALSE(Shows_Horizontal_Bar(*pList));
    // Every time cell shows its whole text: its text and the view's margins fit its column.
    const QFontMetrics metrics(pList->font());
    const int intMargins = 2 * (pList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, pList) + 1);
    for (int lngColumn : c.timeColumns)
        for (long i = 9; i < pList->Count(); ++i) {
            const QString strTime = pList->Cell(i, lngColumn);
            ASSERT_EQ(strTime.size(), 19) << strTime.toStdString();
            EXPECT_LE(metrics.horizontalAdvance(strTime) + intMargins, pList->columnWidth(lngColumn - 1))
                << "row " << i << " column " << lngColumn;
            EXPECT_TRUE(pList->model()->data(pList->model()->index(int(i - 1), lngColumn - 1), Qt::ToolTipRole).isNull());
        }
    // The bold caption row is whole as well.
    QFont bold = pList->font();
    bold.setBold(true);
    for (int lngColumn : c.timeColumns)
        EXPECT_LE(QFontMetrics(bold).horizontalAdvance(pList->Cell(8, lngColumn)) + intMargins,
                  pList->columnWidth(lngColumn - 1));
}

const Report_Case REPORTS[] = {
    {"Url", 0, 0, {6, 7}},       {"Application", 1, 0, {6, 7}}, {"DeviceFloppy", 2, 0, {5, 6}},
    {"EmailSmtp", 3, 0, {6}},    {"EmailPop3", 3, 1, {6}},
};
INSTANTIATE_TEST_SUITE_P(Kinds, Report_Look_Test, ::testing::ValuesIn(REPORTS),
                         [](const auto& info) { return std::string(info.param.strName); });

TEST_F(Window_Look_Test, ACutCellShowsItsWholeTextAsItsToolTip) {
    Insert_Events(3);
    ASSERT_TRUE(Report(0, 0, [&](reporting::Report_List& list) { Check_Tool_Tips(list); }));
}

void Window_Look_Test::Check_Tool_Tips(reporting::Report_List& list) {
    reporting::Report_List* pList = &list;
    const QAbstractItemModel& model = *pList->model();
    const QString strUrl = pList->Cell(9, 1);
    ASSERT_GT(pList->fontMetrics().horizontalAdvance(strUrl), pList->columnWidth(0)) << "the address must be cut";
    EXPECT_EQ(model.data(model.index(8, 0), Qt::ToolTipRole).toString(), strUrl);
    // A whole cell and the heading rows, which read across the list, carry none.
    EXPECT_TRUE(model.data(model.index(8, 3), Qt::ToolTipRole).isNull());
    EXPECT_TRUE(model.data(model.index(2, 0), Qt::ToolTipRole).isNull());
}

}  // namespace
