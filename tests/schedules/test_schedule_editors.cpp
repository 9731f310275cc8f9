#include "database/modDBFunctions.h"
// The schedule editor family: shared behaviour run against both members, then the
// internet mode of the internet scheduler and the overlap rules and enable box of
// the application scheduler.
#include "console/frmMain.h"
#include "database/ValueSets.h"
#include "lists/ListEditor.h"
#include "platform/Controls.h"
#include "schedules/frmApplicationScheduler.h"
#include "schedules/frmInternetScheduler.h"
#include "services/TimeOfDay.h"
#include "services/modGlobal.h"
#include "support/ConsoleFixture.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolButton>
#include <QtTest/QTest>
#include <tuple>

using platform::ListView;

namespace {

// One member of the family and what differs between the members.
struct Member {
    const char* strName;
    std::function<QDialog*(frmMain&)> make;
    const char* strCaption;
    const char* strList;
    const char* strForm;
    long lngScheduleFor;
    long lngSubType;
    const char* strIcon;
    const char* strToTimeMessage;
    int intThreshold;
    bool blnRemoveResetsPickers;
    bool blnListsCloseOnLostFocus;
    bool blnTagOnlyDuringEdit;
    const char* strCopyFeature;
    const char* strTypeTip;
    void (frmMain::*menu)();
};

void PrintTo(const Member& member, std::ostream* os) { *os << member.strName; }

const Member MEMBERS[] = {
    {"InternetScheduler", [](frmMain& m) { return new frmInternetScheduler(m); }, "Internet Scheduler",
     "lvwInternetScheduler", "frmInternetScheduler", 1, 0, "InternetScheduler",
     "'To' time should be greater than or equal to 'From' time!.", 17, true, true, false, "Internet Scheduler",
     "Select Internet Scheduler type", &frmMain::mnuInternetScheduler_Click},
    {"ApplicationScheduler", [](frmMain& m) { return new frmApplicationScheduler(m); }, "Application Scheduler",
     "lvwApplicationScheduler", "frmApplicationScheduler", 2, 1, "AppScheduler",
     "'To' time should be greater than or equal to 'From' time!", 11, false, false, true, "Application Scheduler",
     "Select the Scheduler type", &frmMain::mnuApplicationScheduler_Click},
};

enum Type_Index { DAILY = 0, WEEKLY = 1, MONTHLY = 2 };

class Schedule_Fixture : public test::Console_Test {
protected:
    void SetUp() override {
        Console_Test::SetUp();
        m_lngUser = Insert_User("alice");
        Open_Console();
        Select_User("alice");
    }
    void TearDown() override {
        dialog.reset();
        lists::Set_Copy_Settings_Opener({});
        Console_Test::TearDown();
    }

    // Shows the dialog as the active window, so that focus moves as it would for
    // an administrator.
    void Show(QDialog* pDialog) {
        dialog.reset(pDialog);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    template <class T>
    T* Find(const char* strName) const {
        T* p = dialog->findChild<T*>(QLatin1String(strName));
        EXPECT_NE(p, nullptr) << strName;
        return p;
    }
    ListView* Days() const { return Find<ListView>("lvwDays"); }
    ListView* Months() const { return Find<ListView>("lvwMonths"); }
    QComboBox* Type() const { return Find<QComboBox>("cboScheduler"); }
    void Click(const char* strName) { Find<QAbstractButton>(strName)->click(); }
    QString Caption(const char* strName) const { return Find<QAbstractButton>(strName)->text(); }

    long Insert_Schedule(long lngSchFor, long lngDWM, long lngWeekdays, long lngMonths, const QString& strFrom,
                         const QString& strTo, long lngUser = -1, long lngSubType = 0) {
        Exec(QString("INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,"
                     "USER_ID) VALUES (%1,%2,%3,%4,%5,'%6','%7',0,%8)")
                 .arg(lngSchFor)
                 .arg(lngSubType)
                 .arg(lngDWM)
                 .arg(lngWeekdays)
                 .arg(lngMonths)
                 .arg(strFrom, strTo)
                 .arg(lngUser < 0 ? m_lngUser : lngUser));
        return Scalar("SELECT MAX(SCH_ID) FROM SCH_TBL").toLong();
    }
    // The owner's stored schedules: D_W_M, WEEKDAYS, MONTHS, FROM_TIME, TO_TIME.
    test::Rows Stored(long lngSchFor) {
        return Query(QString("SELECT D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME FROM SCH_TBL WHERE USER_ID=%1 AND "
                             "SCH_FOR=%2 ORDER BY SCH_ID")
                         .arg(m_lngUser)
                         .arg(lngSchFor));
    }
    // Each list row: type, From, To, Day/Months.
    static test::Rows Rows(const ListView& list) {
        test::Rows rows;
        for (long i = 1; i <= list.Count(); ++i)
            rows.push_back({list.Text(i), list.SubItem(i, 1), list.SubItem(i, 2), list.SubItem(i, 3)});
        return rows;
    }
    void Set_Times(const char* strFrom, const char* strTo) {
        Find<QTimeEdit>("dtpkFromTime")->setTime(QTime::fromString(strFrom, "HH:mm"));
        Find<QTimeEdit>("dtpkToTime")->setTime(QTime::fromString(strTo, "HH:mm"));
    }
    // A click of the mouse on an item of a list view (x pixels in from its left edge).
    static void Click_Item(ListView& list, long lngIndex, int x = -1) {
        const QRect rect = list.Item_Rect(lngIndex);
        const QPoint at(x < 0 ? rect.center().x() : rect.left() + x, rect.center().y());
        QTest::mouseClick(list.Item_View()->viewport(), Qt::LeftButton, {}, at);
    }
    // Drops the day or month check list down, as a click on its box does, and ticks
    // the items by clicking on them.
    void Tick(const char* strCombo, std::initializer_list<long> items) {
        Find<QComboBox>(strCombo)->setFocus(Qt::MouseFocusReason);
        ListView* pList = QLatin1String(strCombo) == QLatin1String("cboDay") ? Days() : Months();
        EXPECT_TRUE(pList->isVisible());
        for (long i : items) Click_Item(*pList, i);
    }
    // Fills the pickers for one schedule (ticking exactly the given items, by clicks)
    // and presses Add (or Save).
    void Enter(Type_Index type, const char* strFrom, const char* strTo, std::initializer_list<long> items = {}) {
        Type()->setCurrentIndex(type);
        Set_Times(strFrom, strTo);
        if (type != DAILY) {
            ListView& list = type == WEEKLY ? *Days() : *Months();
            std::vector<long> clicks;
            for (long i = 1; i <= list.Count(); ++i)
                if (list.Checked(i) != (std::find(items.begin(), items.end(), i) != items.end())) clicks.push_back(i);
            Tick(type == WEEKLY ? "cboDay" : "cboMonths", {});
            for (long i : clicks) Click_Item(list, i);
        }
        Click("cmAdd");
    }

    long m_lngUser = 0;
    std::unique_ptr<QDialog> dialog;
};

class ScheduleEditorTest : public Schedule_Fixture, public ::testing::WithParamInterface<Member> {
protected:
    const Member& M() const { return GetParam(); }
    void Open() { Show(M().make(*console)); }
    ListView* List() const { return Find<ListView>(M().strList); }
    long Schedule(long lngDWM, long lngWeekdays, long lngMonths, const QString& strFrom, const QString& strTo) {
        return Insert_Schedule(M().lngScheduleFor, lngDWM, lngWeekdays, lngMonths, strFrom, strTo, -1, M().lngSubType);
    }
    void Fill_Daily_Rows(int intCount) {
        for (int i = 0; i < intCount; ++i)
            Schedule(1, 0, 0, QString("%1:00").arg(i, 2, 10, QChar('0')), QString("%1:30").arg(i, 2, 10, QChar('0')));
    }
};

TEST_P(ScheduleEditorTest, LoadListsTheOwnersSchedulesOfItsKindUnderTheUsersName) {
    const long lngDaily = Schedule(1, 0, 0, "8:05", "12:00");
    Schedule(2, 10, 0, "09:00", "10:00");
    Schedule(3, 0, 5, "10:00", "11:00");
    Schedule(0, 0, 0, "11:00", "12:00");
    Insert_Schedule(3 - M().lngScheduleFor, 1, 0, 0, "13:00", "14:00");  // the other kind
    Insert_Schedule(M().lngScheduleFor, 1, 0, 0, "15:00", "16:00", Insert_User("bob"));
    Open();
    EXPECT_EQ(dialog->windowTitle(), QString(M().strCaption) + " - alice");
    EXPECT_EQ(Rows(*List()), (test::Rows{{"Daily", "08:05", "12:00", ""},
                                         {"Weekly", "09:00", "10:00", "Mon, Wed"},
                                         {"Monthly", "10:00", "11:00", "Jan, Mar"},
                                         {"Monthly", "11:00", "12:00", ""}}));
    EXPECT_EQ(List()->Tag(1), QString::number(lngDaily));
    EXPECT_EQ(List()->Small_Icon(1), M().strIcon);
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(List()->Column_Text(c), (QStringList{"Scheduler", "From", "To", "Day/Months"}[c - 1]));
    // Columns 1-3 as wide as the pickers above them; the fourth fills the rest less 20 twips.
    const double dblType = platform::Pixels_To_Twips(Type()->width(), List());
    EXPECT_NEAR(List()->Column_Width(1), dblType, 16);
    const double dblUsed = List()->Column_Width(1) + List()->Column_Width(2) + List()->Column_Width(3);
    EXPECT_NEAR(List()->Column_Width(4), lists::List_Inner_Width_Twips(*List()) - dblUsed - 20, 16);
    EXPECT_GT(List()->Column_Width(4), 500);
    EXPECT_EQ(Type()->toolTip(), M().strTypeTip);
}

TEST_P(ScheduleEditorTest, PickersStartDailyAtTheTimeOfDayWithFilledCheckLists) {
    Open();
    EXPECT_EQ(Type()->currentText(), "Daily");
    EXPECT_EQ((QStringList{Type()->itemText(0), Type()->itemText(1), Type()->itemText(2)}),
              (QStringList{"Daily", "Weekly", "Monthly"}));
    EXPECT_EQ(Find<QTimeEdit>("dtpkFromTime")->time(), QTime(14, 5));
    EXPECT_EQ(Find<QTimeEdit>("dtpkToTime")->time(), QTime(14, 5));
    for (const char* strName : {"cboDay", "cboMonths", "lblDayMonths", "lvwDays", "lvwMonths"})
        EXPECT_FALSE(Find<QWidget>(strName)->isVisible()) << strName;
    ASSERT_EQ(Days()->Count(), 7);
    ASSERT_EQ(Months()->Count(), 12);
    EXPECT_EQ(Days()->Text(1), "Sunday");
    EXPECT_EQ(Months()->Text(12), "December");
}

TEST_P(ScheduleEditorTest, TheTypeShowsItsBoxAndEveryChangeClearsTheTicks) {
    struct Case {
        Type_Index type;
        bool blnLabel, blnDay, blnMonths;
    };
    Open();
    for (const Case& c : {Case{WEEKLY, true, true, false}, Case{MONTHLY, true, false, true}, Case{DAILY, false, false, false}}) {
        Days()->Set_Checked(2, true);
        Months()->Set_Checked(3, true);
        Type()->setCurrentIndex(c.type);
        EXPECT_EQ(Find<QWidget>("lblDayMonths")->isVisible(), c.blnLabel) << c.type;
        EXPECT_EQ(Find<QWidget>("cboDay")->isVisible(), c.blnDay) << c.type;
        EXPECT_EQ(Find<QWidget>("cboMonths")->isVisible(), c.blnMonths) << c.type;
        EXPECT_FALSE(Days()->Checked(2));
        EXPECT_FALSE(Months()->Checked(3));
    }
}

TEST_P(ScheduleEditorTest, TheDayListDropsDownUnderItsBoxAndClicksTickAndUntick) {
    Open();
    Type()->setCurrentIndex(WEEKLY);
    auto* cboDay = Find<QComboBox>("cboDay");
    cboDay->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(Days()->isVisible());
    EXPECT_FALSE(Months()->isVisible());
    EXPECT_EQ(Days()->pos(), cboDay->mapTo(dialog.get(), QPoint(0, cboDay->height())));
    EXPECT_TRUE(Days()->Item_View()->hasFocus());
    Click_Item(*Days(), 2);  // Monday
    Click_Item(*Days(), 4);  // Wednesday
    Click_Item(*Days(), 6);  // Friday
    EXPECT_EQ(cboDay->currentText(), "Mon, Wed, Fri");
    EXPECT_EQ(cboDay->count(), 1);
    Click_Item(*Days(), 4);
    EXPECT_EQ(cboDay->currentText(), "Mon, Fri");
    // A click on the item's own check box ticks it once, and Space ticks the current item.
    Click_Item(*Days(), 1, 8);
    EXPECT_TRUE(Days()->Checked(1));
    QTest::keyClick(Days()->Item_View(), Qt::Key_Space);
    EXPECT_FALSE(Days()->Checked(1));
    EXPECT_EQ(cboDay->currentText(), "Mon, Fri");
    // Unticking everything leaves the one empty entry.
    Click_Item(*Days(), 2);
    Click_Item(*Days(), 6);
    EXPECT_EQ(cboDay->count(), 1);
    EXPECT_EQ(cboDay->currentText(), "");
}

TEST_P(ScheduleEditorTest, TheMonthListDropsDownInTheSamePlace) {
    Open();
    Type()->setCurrentIndex(MONTHLY);
    Tick("cboMonths", {1, 12});
    EXPECT_EQ(Find<QComboBox>("cboMonths")->currentText(), "Jan, Dec");
    EXPECT_FALSE(Days()->isVisible());
    EXPECT_EQ(Months()->pos(), Find<QComboBox>("cboMonths")->mapTo(dialog.get(), QPoint(0, Find<QComboBox>("cboMonths")->height())));
}

TEST_P(ScheduleEditorTest, CheckListsCloseOnLosingTheFocusOnlyInTheInternetScheduler) {
    Open();
    Type()->setCurrentIndex(WEEKLY);
    Tick("cboDay", {2});
    Find<QWidget>("dtpkFromTime")->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(Days()->isVisible(), !M().blnListsCloseOnLostFocus);
    // The schedule list's focus closes them in both.
    List()->Item_View()->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(Days()->isVisible());
    EXPECT_EQ(Find<QComboBox>("cboDay")->currentText(), "Mon");
}

TEST_P(ScheduleEditorTest, AddStoresEachTypeWithItsMasksAndListsIt) {
    Open();
    Enter(DAILY, "08:00", "09:30");
    Enter(WEEKLY, "10:00", "11:00", {2, 4});
    Enter(MONTHLY, "12:00", "13:00", {1, 3, 12});
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored(M().lngScheduleFor), (test::Rows{{"1", "0", "0", "08:00", "09:30"},
                                                      {"2", "10", "0", "10:00", "11:00"},
                                                      {"3", "0", "2053", "12:00", "13:00"}}));
    EXPECT_EQ(Rows(*List()), (test::Rows{{"Daily", "08:00", "09:30", ""},
                                         {"Weekly", "10:00", "11:00", "Mon, Wed"},
                                         {"Monthly", "12:00", "13:00", "Jan, Mar, Dec"}}));
    EXPECT_EQ(Query(QString("SELECT DISTINCT SCH_FOR, SCH_SUB_TYPE, COMPUTER_ID FROM SCH_TBL")),
              (test::Rows{{QString::number(M().lngScheduleFor), QString::number(M().lngSubType), "0"}}));
    for (long i = 1; i <= 3; ++i) {
        EXPECT_EQ(List()->Tag(i), Scalar(QString("SELECT SCH_ID FROM SCH_TBL WHERE FROM_TIME='%1'").arg(List()->SubItem(i, 1))));
        EXPECT_EQ(List()->Small_Icon(i), M().strIcon);
    }
    // After an Add the day and month pickers are cleared; type and times stay.
    EXPECT_EQ(Find<QComboBox>("cboMonths")->currentText(), "");
    EXPECT_FALSE(Months()->Checked(1));
    EXPECT_EQ(Type()->currentText(), "Monthly");
    EXPECT_EQ(Find<QTimeEdit>("dtpkFromTime")->time(), QTime(12, 0));
    EXPECT_TRUE(Type()->hasFocus());
}

TEST_P(ScheduleEditorTest, ToBeforeFromIsRefusedAndEqualTimesPass) {
    Open();
    Enter(DAILY, "23:00", "01:00");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, M().strToTimeMessage);
    EXPECT_EQ(boxes[0].lngStyle, 48);
    EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    EXPECT_TRUE(Stored(M().lngScheduleFor).empty());
    Enter(DAILY, "10:00", "10:00");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored(M().lngScheduleFor).size(), 1u);
}

TEST_P(ScheduleEditorTest, WeeklyOrMonthlyWithNothingTickedDoesNothingAndSaysNothing) {
    Open();
    for (Type_Index type : {WEEKLY, MONTHLY}) {
        Find<QWidget>("cmdClose")->setFocus();
        Enter(type, "08:00", "09:00");
        EXPECT_FALSE(Type()->hasFocus()) << type;
    }
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(Stored(M().lngScheduleFor).empty());
    EXPECT_EQ(List()->Count(), 0);
}

TEST_P(ScheduleEditorTest, AtMostTwentySchedulesAreAddedButSaveStillWorks) {
    Fill_Daily_Rows(19);
    Open();
    Enter(DAILY, "20:00", "20:30");
    EXPECT_TRUE(Boxes().empty());
    Enter(DAILY, "21:00", "21:30");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "You cannot add more than 20 Schedules.!");
    EXPECT_EQ(boxes[0].lngStyle, 48);
    EXPECT_EQ(List()->Count(), 20);
    EXPECT_EQ(Stored(M().lngScheduleFor).size(), 20u);
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    Set_Times("22:00", "22:30");
    Click("cmAdd");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Rows(*List())[0], (QStringList{"Daily", "22:00", "22:30", ""}));
    EXPECT_EQ(Stored(M().lngScheduleFor)[0], (QStringList{"1", "0", "0", "22:00", "22:30"}));
}

// A row holding a value the editor cannot read is not listed but hides no other row: the
// load reports the odd rows once, they stay stored, and they count for the limit of 20.
TEST_P(ScheduleEditorTest, UnreadableRowsHideNoOtherRowAreReportedOnceAndCountForTheLimit) {
    struct Case {
        const char* strName;
        const char* strValues;  // D_W_M, WEEKDAYS, MONTHS as written in SQL
        const char* strError;
    };
    const Case cases[] = {
        {"weekdays_word", "2, 'Mon', 0", "Type mismatch"},
        {"weekdays_empty", "2, '', 0", "Type mismatch"},
        {"weekdays_unsigned", "2, 4294967295, 0", "Overflow"},
        {"type_word", "'weekly', 2, 0", "Type mismatch"},
        {"months_word", "3, 0, 'Jan'", "Type mismatch"},
    };
    for (const Case& c : cases) {
        Exec("DELETE FROM SCH_TBL");
        Schedule(1, 0, 0, "06:00", "07:00");
        for (const char* strTimes : {"'07:00', '08:00'", "'08:00', '09:00'"})
            Exec(QString("INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,"
                         "USER_ID) VALUES (%1, %2, %3, %4, 0, %5)")
                     .arg(M().lngScheduleFor)
                     .arg(M().lngSubType)
                     .arg(QLatin1String(c.strValues), QLatin1String(strTimes))
                     .arg(m_lngUser));
        Schedule(2, 2, 0, "10:00", "11:00");
        const test::Rows stored = Stored(M().lngScheduleFor);
        Open();
        EXPECT_EQ(Rows(*List()),
                  (test::Rows{{"Daily", "06:00", "07:00", ""}, {"Weekly", "10:00", "11:00", "Mon"}}))
            << c.strName;
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.strName;
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_TRUE(boxes[0].strText.startsWith(c.strError)) << boxes[0].strText.toStdString();
        EXPECT_EQ(Stored(M().lngScheduleFor), stored) << c.strName;
    }
    // 2 listed and 2 unlisted rows stored: 16 more make 20, and the 21st is refused.
    // Windows of 20 minutes, 40 minutes apart, after every stored one: no duplicate, no overlap.
    for (int i = 0; i < 16; ++i) {
        const QTime from = QTime(12, 0).addSecs(40 * 60 * i);
        Enter(DAILY, qPrintable(from.toString("HH:mm")), qPrintable(from.addSecs(20 * 60).toString("HH:mm")));
        ASSERT_TRUE(Boxes().empty()) << i;
    }
    EXPECT_EQ(List()->Count(), 18);
    Enter(DAILY, "23:00", "23:30");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "You cannot add more than 20 Schedules.!");
    EXPECT_EQ(Stored(M().lngScheduleFor).size(), 20u);
    EXPECT_EQ(List()->Count(), 18);
}

TEST_P(ScheduleEditorTest, FourthColumnIsNarrowExactlyWhileMoreThanTheThresholdAreListed) {
    Fill_Daily_Rows(M().intThreshold);
    Open();
    const double dblFull = List()->Column_Width(4);
    Enter(DAILY, "23:00", "23:10");
    EXPECT_DOUBLE_EQ(List()->Column_Width(4), dblFull - 250);
    Enter(DAILY, "23:20", "23:30");
    EXPECT_DOUBLE_EQ(List()->Column_Width(4), dblFull - 250);
    List()->Set_Selected(1, true);
    List()->Set_Selected(2, true);
    messageBox->Answer(platform::vbYes);
    Click("cmdRemove");
    Boxes();
    EXPECT_EQ(List()->Count(), M().intThreshold);
    EXPECT_DOUBLE_EQ(List()->Column_Width(4), dblFull);
    // Opened on more than the threshold: narrowed once.
    Schedule(1, 0, 0, "23:40", "23:50");
    Open();
    EXPECT_DOUBLE_EQ(List()->Column_Width(4), dblFull - 250);
}

TEST_P(ScheduleEditorTest, EditShowsTheRowAndSaveUpdatesTheSameSchedule) {
    Schedule(1, 0, 0, "07:00", "08:00");
    const long lngWeekly = Schedule(2, 10, 0, "09:15", "10:45");
    Open();
    // Picked before the edit: the edit starts from the row's own days only.
    Type()->setCurrentIndex(WEEKLY);
    Tick("cboDay", {1, 7});
    List()->Set_Selected(2, true);
    Click("cmdEdit");
    EXPECT_EQ(Type()->currentText(), "Weekly");
    EXPECT_EQ(platform::Get_Tag(Type()), QString::number(lngWeekly));
    EXPECT_EQ(Find<QTimeEdit>("dtpkFromTime")->time(), QTime(9, 15));
    EXPECT_EQ(Find<QTimeEdit>("dtpkToTime")->time(), QTime(10, 45));
    EXPECT_EQ(Find<QComboBox>("cboDay")->currentText(), "Mon, Wed");
    for (long i = 1; i <= 7; ++i) EXPECT_EQ(Days()->Checked(i), i == 2 || i == 4) << i;
    EXPECT_EQ(Caption("cmAdd"), "Save");
    EXPECT_EQ(Caption("cmdEdit"), "Cancel");
    EXPECT_FALSE(Find<QWidget>("cmdRemove")->isEnabled());
    EXPECT_TRUE(Type()->hasFocus());
    Tick("cboDay", {6});
    EXPECT_EQ(Find<QComboBox>("cboDay")->currentText(), "Mon, Wed, Fri");
    Click("cmAdd");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Rows(*List())[1], (QStringList{"Weekly", "09:15", "10:45", "Mon, Wed, Fri"}));
    EXPECT_EQ(Query(QString("SELECT D_W_M,WEEKDAYS,MONTHS,SCH_FOR,SCH_SUB_TYPE FROM SCH_TBL WHERE SCH_ID=%1").arg(lngWeekly)),
              (test::Rows{{"2", "42", "0", QString::number(M().lngScheduleFor), QString::number(M().lngSubType)}}));
    EXPECT_EQ(Stored(M().lngScheduleFor).size(), 2u);
    EXPECT_EQ(Caption("cmAdd"), "Add");
    EXPECT_EQ(Caption("cmdEdit"), "Edit");
    EXPECT_TRUE(Find<QWidget>("cmdRemove")->isEnabled());
    EXPECT_EQ(Find<QComboBox>("cboDay")->currentText(), "");
    EXPECT_EQ(platform::Get_Tag(Type()).isEmpty(), M().blnTagOnlyDuringEdit);
}

TEST_P(ScheduleEditorTest, EditCanChangeTheTypeAndCancelKeepsTypeAndTimes) {
    const long lngID = Schedule(3, 0, 2048, "09:00", "10:00");
    Open();
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    EXPECT_EQ(Find<QComboBox>("cboMonths")->currentText(), "Dec");
    EXPECT_TRUE(Months()->Checked(12));
    Type()->setCurrentIndex(DAILY);
    Click("cmAdd");
    EXPECT_EQ(Query(QString("SELECT D_W_M,WEEKDAYS,MONTHS FROM SCH_TBL WHERE SCH_ID=%1").arg(lngID)),
              (test::Rows{{"1", "0", "0"}}));
    EXPECT_EQ(Rows(*List())[0], (QStringList{"Daily", "09:00", "10:00", ""}));
    // Edit, then Cancel: nothing written, the pickers keep type and times.
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    Type()->setCurrentIndex(WEEKLY);
    Set_Times("11:00", "12:00");
    Tick("cboDay", {3});
    Click("cmdEdit");
    EXPECT_EQ(Caption("cmdEdit"), "Edit");
    EXPECT_EQ(Caption("cmAdd"), "Add");
    EXPECT_TRUE(Find<QWidget>("cmdRemove")->isEnabled());
    EXPECT_EQ(Type()->currentText(), "Weekly");
    EXPECT_EQ(Find<QTimeEdit>("dtpkFromTime")->time(), QTime(11, 0));
    EXPECT_EQ(Find<QComboBox>("cboDay")->currentText(), "");
    EXPECT_FALSE(Days()->Checked(3));
    EXPECT_EQ(Stored(M().lngScheduleFor), (test::Rows{{"1", "0", "0", "09:00", "10:00"}}));
    // Edit with no row selected only moves the focus.
    List()->Set_Selected(1, false);
    Click("cmdEdit");
    EXPECT_EQ(Caption("cmdEdit"), "Edit");
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(ScheduleEditorTest, TheScheduleListsFocusEndsAnEditAndKeepsThePickers) {
    Schedule(1, 0, 0, "07:00", "08:00");
    Open();
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    QTest::mouseClick(List()->Item_View()->viewport(), Qt::LeftButton, {}, List()->Item_Rect(1).center());
    EXPECT_EQ(Caption("cmdEdit"), "Edit");
    EXPECT_EQ(Caption("cmAdd"), "Add");
    EXPECT_TRUE(Find<QWidget>("cmdRemove")->isEnabled());
    EXPECT_EQ(Find<QTimeEdit>("dtpkFromTime")->time(), QTime(7, 0));
    EXPECT_EQ(platform::Get_Tag(Type()).isEmpty(), M().blnTagOnlyDuringEdit);
}

TEST_P(ScheduleEditorTest, RemoveAsksAndDeletesTheSelectedSchedules) {
    Schedule(1, 0, 0, "07:00", "08:00");
    Schedule(1, 0, 0, "09:00", "10:00");
    Schedule(1, 0, 0, "11:00", "12:00");
    Open();
    List()->Set_Selected(1, true);
    List()->Set_Selected(3, true);
    Type()->setCurrentIndex(WEEKLY);
    Tick("cboDay", {2});
    messageBox->Answer(platform::vbNo);
    Click("cmdRemove");
    EXPECT_EQ(Stored(M().lngScheduleFor).size(), 3u);
    // The internet scheduler clears the day and month pickers before it asks.
    EXPECT_EQ(Find<QComboBox>("cboDay")->currentText().isEmpty(), M().blnRemoveResetsPickers);
    EXPECT_EQ(Days()->Checked(2), !M().blnRemoveResetsPickers);
    messageBox->Answer(platform::vbYes);
    Click("cmdRemove");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to delete the selected Schedule(s)?");
    EXPECT_EQ(boxes[0].lngStyle, 36);
    EXPECT_EQ(Stored(M().lngScheduleFor), (test::Rows{{"1", "0", "0", "09:00", "10:00"}}));
    EXPECT_EQ(Rows(*List()), (test::Rows{{"Daily", "09:00", "10:00", ""}}));
}

TEST_P(ScheduleEditorTest, RemoteModeLeavesOnlyCopySettingsAndClose) {
    modGlobal::Is_Remote_Mode = true;
    Schedule(1, 0, 0, "07:00", "08:00");
    Open();
    for (const char* strName : {"cmAdd", "cmdEdit", "cmdRemove", "cboScheduler", "dtpkFromTime", "dtpkToTime", "cboDay",
                                "cboMonths"})
        EXPECT_FALSE(Find<QWidget>(strName)->isEnabled()) << strName;
    EXPECT_TRUE(Find<QWidget>("cmdCopySettings")->isEnabled());
    EXPECT_TRUE(Find<QWidget>("cmdClose")->isEnabled());
    EXPECT_EQ(List()->Count(), 1);
    modGlobal::Is_Remote_Mode = false;
}

TEST_P(ScheduleEditorTest, CopySettingsOpensTheCopyDialogForThisFeature) {
    QStringList features;
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        features << strFeature;
        return Copied_Settings();
    });
    Open();
    EXPECT_FALSE(Find<QToolButton>("cmdCopySettings")->icon().isNull());
    Click("cmdCopySettings");
    EXPECT_EQ(features, QStringList{M().strCopyFeature});
}

// The copy replaces the owner's schedules while an edit is in progress: once it has
// closed the list shows what is stored, and the edit stays with what was typed; its
// Save then finds the row gone, says so once and shows the list as stored.
TEST_P(ScheduleEditorTest, ACopyOntoTheOwnerListsWhatIsStoredAndKeepsTheEditInProgress) {
    const long lngEdited = Schedule(1, 0, 0, "07:00", "08:00");
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        Exec(QString("DELETE FROM SCH_TBL WHERE SCH_ID=%1").arg(lngEdited));
        Schedule(2, 2, 0, "09:00", "10:00");
        Copied_Settings copied;
        copied.Add(strFeature, m_lngUser);
        return copied;
    });
    Open();
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    ASSERT_EQ(Caption("cmAdd"), "Save");
    Find<QTimeEdit>("dtpkToTime")->setTime(QTime(8, 30));
    Click("cmdCopySettings");
    EXPECT_EQ(Rows(*List()), (test::Rows{{"Weekly", "09:00", "10:00", "Mon"}}));
    EXPECT_EQ(Caption("cmAdd"), "Save");
    EXPECT_EQ(Caption("cmdEdit"), "Cancel");
    EXPECT_EQ(Find<QTimeEdit>("dtpkToTime")->time(), QTime(8, 30));
    EXPECT_TRUE(Boxes().empty());
    Click("cmAdd");
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, modDBFunctions::No_Schedule_Message());
    EXPECT_EQ(Rows(*List()), (test::Rows{{"Weekly", "09:00", "10:00", "Mon"}}));
    EXPECT_EQ(Caption("cmAdd"), "Add");
}

// A copy that wrote nothing onto the owner (other users, other features) leaves the
// dialog as it was: the list and an edit in progress.
TEST_P(ScheduleEditorTest, ACopyOntoOthersLeavesTheEditAndTheListAsTheyWere) {
    Schedule(1, 0, 0, "07:00", "08:00");
    const long lngBob = Insert_User("bob");
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        Copied_Settings copied;
        copied.Add(strFeature, lngBob);
        copied.Add(QStringLiteral("File Filter"), m_lngUser);
        return copied;
    });
    Open();
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    Find<QTimeEdit>("dtpkToTime")->setTime(QTime(8, 30));
    Click("cmdCopySettings");
    EXPECT_EQ(Caption("cmAdd"), "Save");
    EXPECT_EQ(Find<QTimeEdit>("dtpkToTime")->time(), QTime(8, 30));
    Click("cmAdd");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Rows(*List()), (test::Rows{{"Daily", "07:00", "08:30", ""}}));
}

TEST_P(ScheduleEditorTest, EscClosesTheDialogFromAnyControl) {
    for (const char* strControl : {"dtpkFromTime", "lvwDays_view", "cboScheduler"}) {
        Open();
        Type()->setCurrentIndex(WEEKLY);
        if (QLatin1String(strControl) == QLatin1String("lvwDays_view")) Find<QComboBox>("cboDay")->setFocus(Qt::MouseFocusReason);
        QWidget* pControl = Find<QWidget>(strControl);
        QTest::keyClick(pControl, Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << strControl;
    }
}

TEST_P(ScheduleEditorTest, TheConsolesMenuOpensTheDialogOverTheConsole) {
    QString strCaption;
    forms->onShow = [&](QWidget& form) { strCaption = form.windowTitle(); };
    (console.get()->*M().menu)();
    ASSERT_EQ(forms->shown.size(), 1u);
    EXPECT_EQ(forms->shown[0], M().strForm);
    EXPECT_EQ(forms->owners[0], console.get());
    EXPECT_EQ(strCaption, QString(M().strCaption) + " - alice");
}

// Another program stores the same schedule for the owner right after the console's
// insert: the insert and the read of its id are one write, so the row listed carries
// the console's own id, and a Remove of it leaves the other program's row stored.
TEST_P(ScheduleEditorTest, AnAddListsItsOwnRowsIdWhenAnotherProgramStoresTheSameScheduleMeanwhile) {
    Open();
    auto other = Start_Other_Program();
    other->Write_At_Statement(
        "INSERT INTO SCH_TBL",
        QString("INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,USER_ID) "
                "VALUES (%1,%2,1,0,0,'07:00','08:00',0,%3)")
            .arg(M().lngScheduleFor)
            .arg(M().lngSubType)
            .arg(m_lngUser));
    Enter(DAILY, "07:00", "08:00");
    EXPECT_TRUE(other->Finish());
    EXPECT_TRUE(Boxes().empty());
    const QString strMine = Scalar("SELECT MIN(SCH_ID) FROM SCH_TBL");
    ASSERT_EQ(List()->Count(), 1);
    EXPECT_EQ(List()->Tag(1), strMine);
    List()->Set_Selected(1, true);
    messageBox->Answer(platform::vbYes);
    Click("cmdRemove");
    EXPECT_EQ(Boxes().size(), 1u) << "the question alone";
    EXPECT_EQ(Query("SELECT COUNT(*), MIN(SCH_ID) > " + strMine + " FROM SCH_TBL"), (test::Rows{{"1", "1"}}));
}

INSTANTIATE_TEST_SUITE_P(Members, ScheduleEditorTest, ::testing::ValuesIn(MEMBERS),
                         [](const auto& info) { return std::string(info.param.strName); });

// Both members against writes that fail for real: a trigger that undoes its statement,
// one that rolls the transaction back, and (for an insert) a full disk.
class ScheduleEditorFaultTest : public Schedule_Fixture,
                                public ::testing::WithParamInterface<std::tuple<Member, test::Fault>> {
protected:
    const Member& M() const { return std::get<0>(GetParam()); }
    test::Fault Fault() const { return std::get<1>(GetParam()); }
    void Open() { Show(M().make(*console)); }
    ListView* List() const { return Find<ListView>(M().strList); }
    void Schedule(const QString& strFrom, const QString& strTo) {
        Insert_Schedule(M().lngScheduleFor, 1, 0, 0, strFrom, strTo, -1, M().lngSubType);
    }
};

std::string Member_Fault_Name(const ::testing::TestParamInfo<std::tuple<Member, test::Fault>>& info) {
    return std::string(std::get<0>(info.param).strName) + test::Fault_Name(std::get<1>(info.param));
}

class ScheduleRemoveFaultTest : public ScheduleEditorFaultTest {};

TEST_P(ScheduleRemoveFaultTest, RemoveStopsAtTheFirstRefusedDeleteWhichStaysListedWithTheRowsAfterIt) {
    Schedule("07:00", "08:00");
    Schedule("09:00", "10:00");
    Schedule("11:00", "12:00");
    std::unique_ptr<test::Made_Fault> made = Make_Fault(Fault(), {"DELETE ON SCH_TBL WHEN OLD.FROM_TIME='09:00'"});
    Open();
    for (long i = 1; i <= 3; ++i) List()->Set_Selected(i, true);
    messageBox->Answer(platform::vbYes);
    Click("cmdRemove");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u) << "the question and one error";
    EXPECT_EQ(boxes[1].strText, test::Fault_Text(Fault()));
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_EQ(Rows(*List()), (test::Rows{{"Daily", "09:00", "10:00", ""}, {"Daily", "11:00", "12:00", ""}}));
    EXPECT_EQ(Stored(M().lngScheduleFor),
              (test::Rows{{"1", "0", "0", "09:00", "10:00"}, {"1", "0", "0", "11:00", "12:00"}}));
    // Once the database lets them go, both go; Remove on an empty list asks nothing.
    made->Release();
    for (long i = 1; i <= 2; ++i) List()->Set_Selected(i, true);
    messageBox->Answer(platform::vbYes);
    Click("cmdRemove");
    Boxes();
    EXPECT_EQ(List()->Count(), 0);
    EXPECT_TRUE(Stored(M().lngScheduleFor).empty());
    Click("cmdRemove");
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Members, ScheduleRemoveFaultTest,
                         ::testing::Combine(::testing::ValuesIn(MEMBERS),
                                            ::testing::Values(test::Fault::Abort_Trigger, test::Fault::Rollback_Trigger)),
                         Member_Fault_Name);

class ScheduleAddFaultTest : public ScheduleEditorFaultTest {};

TEST_P(ScheduleAddFaultTest, AFailedInsertAddsNothingAndKeepsThePickers) {
    Schedule("07:00", "08:00");
    std::unique_ptr<test::Made_Fault> made;
    if (Fault() != test::Fault::Database_Full) made = Make_Fault(Fault(), {"INSERT ON SCH_TBL"});
    Open();
    // Not even a schedule of another owner fits any more, and the file may not grow.
    if (Fault() == test::Fault::Database_Full)
        Fill_Until_Full_By("INSERT INTO SCH_TBL (SCH_FOR,D_W_M,FROM_TIME,TO_TIME,USER_ID) VALUES (1,1,'%1','',999999)");
    Enter(WEEKLY, "08:00", "09:00", {2});
    if (made) made->Release();
    test::Clear_Connection_Faults();
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, test::Fault_Text(Fault()));
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(Stored(M().lngScheduleFor), (test::Rows{{"1", "0", "0", "07:00", "08:00"}}));
    EXPECT_EQ(Rows(*List()), (test::Rows{{"Daily", "07:00", "08:00", ""}}));
    EXPECT_EQ(Find<QComboBox>("cboDay")->currentText(), "Mon");
    EXPECT_TRUE(Days()->Checked(2));
}

INSTANTIATE_TEST_SUITE_P(Members, ScheduleAddFaultTest,
                         ::testing::Combine(::testing::ValuesIn(MEMBERS),
                                            ::testing::Values(test::Fault::Abort_Trigger, test::Fault::Rollback_Trigger,
                                                              test::Fault::Database_Full)),
                         Member_Fault_Name);

// ---------------------------------------------------------------- internet scheduler

class InternetSchedulerTest : public Schedule_Fixture {
protected:
    void Open() { Show(new frmInternetScheduler(*console)); }
    ListView* List() const { return Find<ListView>("lvwInternetScheduler"); }
    QRadioButton* Option(int i) const {
        return Find<QRadioButton>(QString("optInternetMode_%1").arg(i).toLatin1().constData());
    }
    int Selected_Option() const {
        for (int i = 0; i < 3; ++i)
            if (Option(i)->isChecked()) return i;
        return -1;
    }
    QWidget* Apply() const { return Find<QWidget>("cmdApply"); }
    void Set_Mode(long lngSchFor, long lngOnOff, Flag_Word lngFeatureBits, Flag_Word lngStatusBits = 0) {
        Exec(QString("UPDATE USER_TBL SET SCH_FOR=%1, IA_ON_OFF=%2, FEATURE_BITS=%3, STATUS_BITS=%4 WHERE USER_ID=%5")
                 .arg(lngSchFor)
                 .arg(lngOnOff)
                 .arg(lngFeatureBits)
                 .arg(lngStatusBits)
                 .arg(m_lngUser));
    }
    // SCH_FOR, IA_ON_OFF, FEATURE_BITS, STATUS_BITS of the user.
    QStringList Mode() {
        return Query(QString("SELECT SCH_FOR, IA_ON_OFF, FEATURE_BITS, STATUS_BITS FROM USER_TBL WHERE USER_ID=%1")
                         .arg(m_lngUser))
            .at(0);
    }
    QString Console_Mode() const { return Control<QLabel>("lblInternetMode")->text(); }
};

TEST_F(InternetSchedulerTest, TheSameTypeTimesAndDaysAreRefusedAsADuplicate) {
    struct Case {
        Type_Index type;
        const char *strFrom, *strTo;
        std::initializer_list<long> days;
        bool blnRefused;
    };
    const Case cases[] = {
        {DAILY, "08:00", "09:00", {}, true},        {DAILY, "08:00", "09:30", {}, false},
        {WEEKLY, "10:00", "11:00", {3}, false},     {WEEKLY, "10:00", "11:00", {2}, true},
        {WEEKLY, "08:00", "09:00", {2}, false},     {MONTHLY, "10:00", "11:00", {2}, false},
        {MONTHLY, "10:00", "11:00", {2}, true},
    };
    Insert_Schedule(1, 1, 0, 0, "08:00", "09:00");
    Insert_Schedule(1, 2, 2, 0, "10:00", "11:00");
    Open();
    long lngRows = List()->Count();
    for (const Case& c : cases) {
        Enter(c.type, c.strFrom, c.strTo, c.days);
        auto boxes = Boxes();
        if (c.blnRefused) {
            ASSERT_EQ(boxes.size(), 1u) << c.type << c.strFrom;
            EXPECT_EQ(boxes[0].strText, "Schedule already exist!.");
            EXPECT_EQ(boxes[0].lngStyle, 48);
        } else {
            EXPECT_TRUE(boxes.empty()) << c.type << c.strFrom;
            ++lngRows;
        }
        EXPECT_EQ(List()->Count(), lngRows);
        EXPECT_EQ(static_cast<long>(Stored(1).size()), lngRows);
    }
}

TEST_F(InternetSchedulerTest, SavingAnEditUnchangedIsADuplicateAndTheEditStaysOpen) {
    Insert_Schedule(1, 2, 10, 0, "08:00", "09:00");
    Open();
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    Click("cmAdd");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Schedule already exist!.");
    EXPECT_EQ(Caption("cmAdd"), "Save");
    EXPECT_EQ(Caption("cmdEdit"), "Cancel");
    EXPECT_EQ(Find<QComboBox>("cboDay")->currentText(), "Mon, Wed");
}

TEST_F(InternetSchedulerTest, TheStoredModeSelectsItsOptionWithNothingToApply) {
    struct Case {
        long lngSchFor, lngOnOff, lngFeatureBits;
        int intOption;
    };
    const Case cases[] = {
        {1, 1, 0, 0}, {1, 5, 0, 0}, {1, 0, 1, 1}, {2, 0, 1, 2}, {2, 1, 0, -1}, {0, 1, 1, -1}, {3, 1, 1, -1},
    };
    for (const Case& c : cases) {
        Set_Mode(c.lngSchFor, c.lngOnOff, c.lngFeatureBits);
        Open();
        EXPECT_EQ(Selected_Option(), c.intOption) << c.lngSchFor << "/" << c.lngOnOff << "/" << c.lngFeatureBits;
        EXPECT_FALSE(Apply()->isEnabled());
        EXPECT_TRUE(Option(0)->isEnabled());
    }
    EXPECT_EQ(Option(0)->text(), "Turn Internet ON");
    EXPECT_EQ(Option(1)->text(), "Turn Internet OFF");
    EXPECT_EQ(Option(2)->text(), "Enable Internet Scheduler");
    for (const char* strPicture : {"picInternetMode_0", "picInternetMode_1", "picInternetMode_2"})
        EXPECT_FALSE(Find<QLabel>(strPicture)->pixmap().isNull()) << strPicture;
}

TEST_F(InternetSchedulerTest, ApplyWritesTheChosenModeLeavesOtherBitsAndRefreshesTheConsole) {
    struct Case {
        int intOption;
        QStringList mode;  // SCH_FOR, IA_ON_OFF, FEATURE_BITS, STATUS_BITS
        const char* strConsole;
    };
    // Before: the scheduler decides (bit 1 set), internet off, other bits set on both words.
    const Case cases[] = {
        {0, {"1", "1", "514", "8"}, "Internet ON"},
        {1, {"1", "0", "514", "12"}, "Internet OFF"},
        {2, {"2", "0", "515", "12"}, "Internet Scheduler ON"},
    };
    for (const Case& c : cases) {
        Set_Mode(2, 0, 515, 12);
        console->Get_Internet_Mode();
        Open();
        Option(c.intOption)->click();
        EXPECT_TRUE(Apply()->isEnabled());
        Click("cmdApply");
        EXPECT_EQ(Mode(), c.mode) << c.intOption;
        EXPECT_FALSE(Apply()->isEnabled());
        EXPECT_EQ(Console_Mode(), c.strConsole);
        EXPECT_TRUE(Boxes().empty());
    }
}

TEST_F(InternetSchedulerTest, OffThenSchedulerKeepsTheInternetOffUnderTheScheduler) {
    Set_Mode(1, 1, 0, 0);
    Open();
    Option(1)->click();
    Click("cmdApply");
    Option(2)->click();
    Click("cmdApply");
    EXPECT_EQ(Mode(), (QStringList{"2", "0", "1", "4"}));
    Option(0)->click();
    Click("cmdApply");
    EXPECT_EQ(Mode(), (QStringList{"1", "1", "0", "0"}));
    EXPECT_EQ(Console_Mode(), "Internet ON");
}

// Flag words beyond the signed 32-bit range (bit 31 as an unsigned word, bits above 31)
// read and switch like any other: the whole sequence of each mode is written, every
// other bit is kept, and no box is shown.
TEST_F(InternetSchedulerTest, FlagsBeyondThe32BitRangeLoadTheModeAndApplyWritesItsWholeSequence) {
    struct Case {
        Flag_Word lngFeatureBits, lngStatusBits;
        int intOption;
        QStringList mode;  // SCH_FOR, IA_ON_OFF, FEATURE_BITS, STATUS_BITS after Apply
    };
    const long BIG = 1L << 40;
    const Case cases[] = {
        {BIG + 1, 1L << 33, 1, {"1", "0", QString::number(BIG), QString::number((1L << 33) + 4)}},
        {2147483784 + 1, 2147483648 + 4, 0, {"1", "1", "2147483784", "2147483648"}},
        {2147483784 + 1, 4294967296, 2, {"2", "1", "2147483785", "4294967296"}},
        {-2147483649, 0, 1, {"1", "0", QString::number(-2147483649 & ~1L), "4"}},
    };
    for (const Case& c : cases) {
        Set_Mode(2, 1, c.lngFeatureBits, c.lngStatusBits);
        Open();
        EXPECT_EQ(Selected_Option(), c.lngFeatureBits & 1 ? 2 : -1) << c.lngFeatureBits;
        Option(c.intOption)->click();
        Click("cmdApply");
        EXPECT_TRUE(Boxes().empty()) << c.lngFeatureBits;
        EXPECT_EQ(Mode(), c.mode) << c.lngFeatureBits;
        EXPECT_EQ(Selected_Option(), c.intOption);
    }
}

// Flags that are no whole number cannot be held: the bit procedures never write over
// them. Apply then stops at its first write, reported once, and the options show the
// mode as before without reading the value again.
TEST_F(InternetSchedulerTest, FlagsThatAreNoWholeNumberAreNeverWrittenOverAndReportedOncePerAction) {
    for (const char* strBits : {"'scheduler'", "1.5"}) {
        Exec(QString("UPDATE USER_TBL SET SCH_FOR=2, IA_ON_OFF=1, FEATURE_BITS=%1, STATUS_BITS=0 WHERE USER_ID=%2")
                 .arg(strBits)
                 .arg(m_lngUser));
        const QStringList before = Mode();
        Open();
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strBits;
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_EQ(Selected_Option(), -1);
        Option(1)->click();
        Click("cmdApply");
        boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strBits;
        EXPECT_TRUE(boxes[0].strText.startsWith("Type mismatch")) << boxes[0].strText.toStdString();
        EXPECT_EQ(Mode(), before) << strBits;
        // The choice stays for a retry.
        EXPECT_EQ(Selected_Option(), 1);
        EXPECT_TRUE(Apply()->isEnabled());
        dialog.reset();
    }
}

// The writes of Apply refused part-way, by a trigger that undoes its statement and by
// one that rolls the transaction back: the mode's writes are stored all or none.
class InternetSchedulerFaultTest : public InternetSchedulerTest, public ::testing::WithParamInterface<test::Fault> {};

TEST_P(InternetSchedulerFaultTest, ApplyRefusedPartWayStoresNothingAndKeepsTheChoiceForARetry) {
    Set_Mode(1, 1, 1, 0);
    std::unique_ptr<test::Made_Fault> made = Make_Fault(GetParam(), {"UPDATE OF IA_ON_OFF ON USER_TBL"});
    Open();
    Option(1)->click();
    Click("cmdApply");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, test::Fault_Text(GetParam()));
    EXPECT_EQ(boxes[0].lngStyle, 16);
    // The scheduler bit cleared before the refused write is not kept either.
    EXPECT_EQ(Mode(), (QStringList{"1", "1", "1", "0"}));
    EXPECT_EQ(Selected_Option(), 1) << "the choice stays";
    EXPECT_TRUE(Apply()->isEnabled());
    EXPECT_EQ(Console_Mode(), "Internet ON");
    made.reset();
    Click("cmdApply");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Mode(), (QStringList{"1", "0", "0", "4"}));
    EXPECT_FALSE(Apply()->isEnabled());
    EXPECT_EQ(Console_Mode(), "Internet OFF");
}

INSTANTIATE_TEST_SUITE_P(Triggers, InternetSchedulerFaultTest,
                         ::testing::Values(test::Fault::Abort_Trigger, test::Fault::Rollback_Trigger),
                         [](const auto& info) { return std::string(test::Fault_Name(info.param)); });

TEST_F(InternetSchedulerTest, ClosingWithAChoicePendingAsksAndNoKeepsTheDialogOpen) {
    Set_Mode(1, 1, 0, 0);
    Open();
    Option(0)->click();  // the option already selected
    EXPECT_TRUE(Apply()->isEnabled());
    const char* strQuestion = "Are you sure you want to close without saving the changes?";
    for (int intWay = 0; intWay < 2; ++intWay) {
        messageBox->Answer(platform::vbNo);
        if (intWay == 0) Click("cmdClose");
        else QTest::keyClick(Find<QWidget>("dtpkToTime"), Qt::Key_Escape);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, strQuestion);
        EXPECT_EQ(boxes[0].lngStyle, 36);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(Apply()->isEnabled());
    }
    Option(1)->click();
    messageBox->Answer(platform::vbYes);
    dialog->close();
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Mode(), (QStringList{"1", "1", "0", "0"}));
    // With nothing pending the dialog closes without a question.
    Open();
    Click("cmdClose");
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(InternetSchedulerTest, RemoteModeShowsTheStoredModeWithOptionsAndApplyDisabled) {
    Set_Mode(2, 1, 1);
    modGlobal::Is_Remote_Mode = true;
    Open();
    EXPECT_EQ(Selected_Option(), 2);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Option(i)->isEnabled());
    EXPECT_FALSE(Apply()->isEnabled());
    modGlobal::Is_Remote_Mode = false;
}

TEST_F(InternetSchedulerTest, TheConsolesInternetModeOpensTheInternetScheduler) {
    console->lblInternetMode_Click();
    ASSERT_EQ(forms->shown.size(), 1u);
    EXPECT_EQ(forms->shown[0], "frmInternetScheduler");
    EXPECT_EQ(forms->owners[0], console.get());
}

// ---------------------------------------------------------------- application scheduler

class ApplicationSchedulerTest : public Schedule_Fixture {
protected:
    void Open() { Show(new frmApplicationScheduler(*console)); }
    ListView* List() const { return Find<ListView>("lvwApplicationScheduler"); }
    long Schedule(long lngDWM, long lngWeekdays, long lngMonths, const QString& strFrom, const QString& strTo) {
        return Insert_Schedule(2, lngDWM, lngWeekdays, lngMonths, strFrom, strTo, -1, 1);
    }
    QString Feature_Bits() { return Scalar(QString("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser)); }
    void Expect_Overlap_Refused() {
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, "Schedule cannot be overlapped!");
        EXPECT_EQ(boxes[0].lngStyle, 48);
    }
};

TEST_F(ApplicationSchedulerTest, ASchedulesSharingTimeAndDaysWithAListedOneIsRefused) {
    struct Listed {
        long lngDWM, lngWeekdays, lngMonths;
        const char *strFrom, *strTo;
    };
    struct Case {
        Listed listed;
        Type_Index type;
        const char *strFrom, *strTo;
        std::initializer_list<long> items;
        bool blnRefused;
    };
    const Listed monday{2, 2, 0, "08:00", "12:00"};
    const Listed daily{1, 0, 0, "08:00", "12:00"};
    const Listed jan_mar{3, 0, 5, "08:00", "12:00"};
    const Case cases[] = {
        {monday, WEEKLY, "08:00", "12:00", {3}, false},      // another day
        {monday, WEEKLY, "11:00", "13:00", {2, 6}, true},    // Monday again
        {monday, MONTHLY, "09:00", "10:00", {1}, true},      // another type always shares the time
        {monday, DAILY, "07:00", "08:00", {}, false},        // touching windows
        {monday, DAILY, "07:00", "08:01", {}, true},
        {daily, WEEKLY, "11:59", "12:30", {1}, true},
        {daily, DAILY, "12:00", "13:00", {}, false},
        {daily, MONTHLY, "12:00", "12:00", {4}, false},
        {jan_mar, MONTHLY, "09:00", "10:00", {2}, false},
        {jan_mar, MONTHLY, "07:00", "08:30", {3}, true},
        {jan_mar, WEEKLY, "11:00", "11:30", {1}, true},
    };
    for (const Case& c : cases) {
        Exec("DELETE FROM SCH_TBL");
        Schedule(c.listed.lngDWM, c.listed.lngWeekdays, c.listed.lngMonths, c.listed.strFrom, c.listed.strTo);
        Open();
        Enter(c.type, c.strFrom, c.strTo, c.items);
        auto boxes = Boxes();
        const std::string strCase = std::to_string(c.listed.lngDWM) + " " + c.strFrom + "-" + c.strTo;
        if (c.blnRefused) {
            ASSERT_EQ(boxes.size(), 1u) << strCase;
            EXPECT_EQ(boxes[0].strText, "Schedule cannot be overlapped!");
            EXPECT_EQ(List()->Count(), 1) << strCase;
        } else {
            EXPECT_TRUE(boxes.empty()) << strCase;
            EXPECT_EQ(List()->Count(), 2) << strCase;
        }
        EXPECT_EQ(static_cast<long>(Stored(2).size()), List()->Count()) << strCase;
    }
}

// A listed row whose time is no time of day holds no window to compare: an overlap found
// on any other row still refuses the schedule, before or after that row in the list.
TEST_F(ApplicationSchedulerTest, AnOverlapWithAReadableRowRefusesWhateverTimesOtherRowsHold) {
    for (const char* strOdd : {"24:00", "", "8"}) {
        for (bool blnOddFirst : {false, true}) {
            Exec("DELETE FROM SCH_TBL");
            if (blnOddFirst) Schedule(1, 0, 0, strOdd, "12:00");
            Schedule(1, 0, 0, "08:00", "12:00");
            if (!blnOddFirst) Schedule(1, 0, 0, "13:00", strOdd);
            const test::Rows stored = Stored(2);
            Open();
            ASSERT_EQ(List()->Count(), 2) << strOdd;
            Enter(DAILY, "09:00", "10:00");
            Expect_Overlap_Refused();
            EXPECT_EQ(Stored(2), stored) << strOdd;
            EXPECT_EQ(List()->Count(), 2) << strOdd;
            // A window no readable row shares is added, with no box.
            Enter(DAILY, "14:00", "15:00");
            EXPECT_TRUE(Boxes().empty()) << strOdd;
            EXPECT_EQ(Stored(2).size(), 3u) << strOdd;
            EXPECT_EQ(List()->Count(), 3) << strOdd;
            // Such a row cannot be edited: one box, and no edit begins.
            List()->Set_Selected(blnOddFirst ? 1 : 2, true);
            Click("cmdEdit");
            const auto boxes = Boxes();
            ASSERT_EQ(boxes.size(), 1u) << strOdd;
            EXPECT_TRUE(boxes[0].strText.startsWith("Type mismatch")) << boxes[0].strText.toStdString();
            EXPECT_EQ(Caption("cmdEdit"), "Edit");
            EXPECT_EQ(platform::Get_Tag(Type()), "");
        }
    }
}

TEST_F(ApplicationSchedulerTest, AnEditIsNotTestedAgainstItselfButAgainstEveryOtherRow) {
    const long lngFirst = Schedule(2, 2, 0, "08:00", "10:00");
    Schedule(2, 2, 0, "12:00", "14:00");
    Open();
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    Click("cmAdd");  // unchanged
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Caption("cmAdd"), "Add");
    EXPECT_EQ(platform::Get_Tag(Type()), "");
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    Set_Times("09:00", "12:30");
    Click("cmAdd");
    Expect_Overlap_Refused();
    EXPECT_EQ(Caption("cmAdd"), "Save");
    EXPECT_EQ(platform::Get_Tag(Type()), QString::number(lngFirst));
    Set_Times("07:00", "12:00");
    Click("cmAdd");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored(2), (test::Rows{{"2", "2", "0", "07:00", "12:00"}, {"2", "2", "0", "12:00", "14:00"}}));
}

TEST_F(ApplicationSchedulerTest, LeavingAnEditByTheListTestsThePickersAgainstEveryRow) {
    Schedule(1, 0, 0, "08:00", "10:00");
    Open();
    List()->Set_Selected(1, true);
    Click("cmdEdit");
    QTest::mouseClick(List()->Item_View()->viewport(), Qt::LeftButton, {}, List()->Item_Rect(1).center());
    EXPECT_EQ(platform::Get_Tag(Type()), "");
    EXPECT_EQ(Caption("cmAdd"), "Add");
    // The pickers still hold the formerly edited row: as a new schedule it overlaps it.
    Click("cmAdd");
    Expect_Overlap_Refused();
    EXPECT_EQ(List()->Count(), 1);
}

TEST_F(ApplicationSchedulerTest, IdenticalZeroLengthWindowsAreBothAcceptedEachWithItsOwnId) {
    Open();
    Enter(DAILY, "09:00", "09:00");
    Enter(DAILY, "09:00", "09:00");
    EXPECT_TRUE(Boxes().empty());
    const test::Rows ids = Query("SELECT SCH_ID FROM SCH_TBL ORDER BY SCH_ID");
    ASSERT_EQ(ids.size(), 2u);
    ASSERT_EQ(List()->Count(), 2);
    EXPECT_EQ(List()->Tag(1), ids[0][0]);
    EXPECT_EQ(List()->Tag(2), ids[1][0]);
    // Removing the second row deletes its own schedule, not the first one's.
    List()->Set_Selected(2, true);
    messageBox->Answer(platform::vbYes);
    Click("cmdRemove");
    Boxes();
    EXPECT_EQ(Query("SELECT SCH_ID FROM SCH_TBL"), (test::Rows{ids[0]}));
}

TEST_F(ApplicationSchedulerTest, TheEnableBoxAsksAndWritesOnlyItsBitOnYes) {
    Exec(QString("UPDATE USER_TBL SET FEATURE_BITS=3 WHERE USER_ID=%1").arg(m_lngUser));
    Open();
    auto* box = Find<QCheckBox>("chkEnableApplicationScheduler");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->toolTip(), "Click to enable or disable the Application Scheduler");
    messageBox->Answer(platform::vbNo);
    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(Feature_Bits(), "3");
    messageBox->Answer(platform::vbYes);
    box->click();
    EXPECT_EQ(Feature_Bits(), "515");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to enable the Application Scheduler?");
    EXPECT_EQ(boxes[0].lngStyle, 36);
    // Reopened: ticked from the stored bit without a question; disabling asks.
    Open();
    box = Find<QCheckBox>("chkEnableApplicationScheduler");
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(Boxes().empty());
    messageBox->Answer(platform::vbYes);
    box->click();
    boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to disable the Application Scheduler?");
    EXPECT_EQ(Feature_Bits(), "3");
}

TEST_F(ApplicationSchedulerTest, RemoteModeDisablesTheEnableBoxToo) {
    modGlobal::Is_Remote_Mode = true;
    Open();
    EXPECT_FALSE(Find<QWidget>("chkEnableApplicationScheduler")->isEnabled());
    modGlobal::Is_Remote_Mode = false;
}

TEST(ScheduleTextMasks, ShortNamesAnywhereInTheTextGiveTheirFlags) {
    struct Case {
        const char* strText;
        long lngWeekdays, lngMonths;
    };
    const Case cases[] = {
        {"", 0, 0},
        {"Mon, Wed, Fri", 42, 0},
        {"Sun, Sat", 65, 0},
        {"Sun, Mon, Tue, Wed, Thu, Fri, Sat", 127, 0},
        {"Jan, Mar, Dec", 0, 2053},
        {"Jan, Feb, Mar, Apr, May, Jun, Jul, Aug, Sep, Oct, Nov, Dec", 0, 4095},
        {"mon, jan", 0, 0},  // case-sensitive
        {"Monday", 2, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(frmApplicationScheduler::Weekdays_Text_To_Mask(c.strText), c.lngWeekdays) << c.strText;
        EXPECT_EQ(frmApplicationScheduler::Months_Text_To_Mask(c.strText), c.lngMonths) << c.strText;
    }
}

TEST(ScheduleTimes, StoredTimesShowAsHoursAndMinutes) {
    EXPECT_EQ(Short_Time("8:05"), "08:05");
    EXPECT_EQ(Short_Time("23:59:00"), "23:59");
    EXPECT_EQ(Short_Time("late"), "late");
    EXPECT_THROW(Time_Of_Day("25:00"), Run_Time_Error);
}

}  // namespace
