// Every dialog that writes one row by its id, after another program deleted that row
// behind the console's back: the write changes nothing, so it is no success. One box
// says the row is not stored as listed, nothing stored changes, and a list shows
// what is stored. Last, the internet scheduler's own Copy button copying another
// user's schedules onto the user, which gives the rows new ids.
#include "console/frmExceptionList.h"
#include "console/frmManageUsers.h"
#include "console/modCopySettings.h"
#include "database/modDBFunctions.h"
#include "lists/ListEditor.h"
#include "lists/frmFileFilter.h"
#include "lists/frmPortFilter.h"
#include "platform/Controls.h"
#include "platform/ListView.h"
#include "schedules/frmApplicationScheduler.h"
#include "schedules/frmApplicationSettings.h"
#include "schedules/frmDeviceSettings.h"
#include "schedules/frmInternetScheduler.h"
#include "schedules/frmInternetSettings.h"
#include "support/ConsoleFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimeEdit>
#include <functional>

using platform::ListView;

namespace {

class GoneRowTest;

// One write by id of one dialog: the rows stored before, the dialog and what the
// administrator chose in it, the SQL text another program runs meanwhile, the write,
// the question it asks first, the box it must show, and how to read what the dialog
// shows and what the table holds (empty: the dialog lists nothing of that row).
struct Gone_Case {
    const char* strName;
    std::function<void(GoneRowTest&)> arrange;
    std::function<void(GoneRowTest&)> open;
    const char* strGone;  // %1 the owner's user id, %2 the other user's
    std::function<void(GoneRowTest&)> write;
    long lngQuestion;  // the style of the question asked before the write; 0: none
    std::function<QString()> message;
    std::function<QStringList(GoneRowTest&)> shown;
    std::function<QStringList(GoneRowTest&)> stored;
};

class GoneRowTest : public test::Dialog_Case_Test, public ::testing::WithParamInterface<Gone_Case> {
public:
    void SetUp() override {
        Owner_Dialog_Test::SetUp();
        m_lngBob = Insert_User("bob");
    }
    void TearDown() override {
        lists::Set_Copy_Settings_Opener({});
        Owner_Dialog_Test::TearDown();
    }

    bool Edit(const char* strList, long lngIndex, const QString& strText) {
        return Edit_In_Place(strList, "cmdEdit", lngIndex, strText);
    }
    void Select(const char* strList, long lngIndex) { Select_Only(strList, {lngIndex}); }
    // %1 in an SQL text is the owner's user id, %2 bob's.
    QString Ids(QString strSQL) const {
        return strSQL.replace("%1", QString::number(m_lngUser)).replace("%2", QString::number(m_lngBob));
    }
    void Run(const QString& strSQL) { Exec(Ids(strSQL)); }
    QStringList Column(const QString& strSQL) {
        QStringList values;
        for (const QStringList& row : Query(Ids(strSQL))) values << row.join('|');
        return values;
    }
    QStringList Items(const char* strList) const { return Listed(strList); }
    // The times of each listed schedule, as "HH:mm-HH:mm".
    QStringList Times(const char* strList) const {
        const ListView& list = *Find<ListView>(strList);
        QStringList items;
        for (long i = 1; i <= list.Count(); ++i) items << list.SubItem(i, 1) + "-" + list.SubItem(i, 2);
        return items;
    }
    void Set_Times(const char* strFrom, const char* strTo) {
        Find<QTimeEdit>("dtpkFromTime")->setTime(QTime::fromString(QLatin1String(strFrom), "HH:mm"));
        Find<QTimeEdit>("dtpkToTime")->setTime(QTime::fromString(QLatin1String(strTo), "HH:mm"));
    }
    // Every table a write by id could change, whole.
    test::Rows Everything() {
        test::Rows rows;
        for (const char* strTable : {"USER_TBL", "SCH_TBL", "USER_EXCPN_TBL", "PORT_TBL"})
            for (QStringList& row : Query(QString("SELECT '%1', * FROM %1 ORDER BY rowid").arg(strTable)))
                rows.push_back(std::move(row));
        return rows;
    }

    long m_lngBob = 0;
};

void PrintTo(const Gone_Case& c, std::ostream* os) { *os << c.strName; }

// Two daily schedules of the owner: 07:00-08:00, then 09:00-10:00.
void Two_Schedules(GoneRowTest& t, int lngSchFor) {
    for (const char* strTimes : {"'07:00','08:00'", "'09:00','10:00'"})
        t.Run("INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,USER_ID) "
              "VALUES (" + QString::number(lngSchFor) + "," + QString::number(lngSchFor - 1) + ",1,0,0," +
              QLatin1String(strTimes) + ",0,%1)");
}

QStringList Schedules_Stored(GoneRowTest& t, int lngSchFor) {
    return t.Column("SELECT FROM_TIME || '-' || TO_TIME FROM SCH_TBL WHERE USER_ID=%1 AND SCH_FOR=" +
                    QString::number(lngSchFor) + " ORDER BY SCH_ID");
}

const char* const FIRST_SCHEDULE_GONE = "DELETE FROM SCH_TBL WHERE SCH_ID=(SELECT MIN(SCH_ID) FROM SCH_TBL WHERE USER_ID=%1)";
const char* const OWNER_GONE = "DELETE FROM USER_TBL WHERE USER_ID=%1";

// A schedule editor's Remove of its first row, and the Save of an edit of it.
template <class Form>
Gone_Case Schedule_Remove(const char* strName, int lngSchFor, const char* strList) {
    return {strName, [=](GoneRowTest& t) { Two_Schedules(t, lngSchFor); },
            [=](GoneRowTest& t) {
                t.Open_Dialog<Form>();
                t.Select(strList, 1);
            },
            FIRST_SCHEDULE_GONE, [](GoneRowTest& t) { t.Press_Yes("cmdRemove"); }, 36,
            modDBFunctions::No_Schedule_Message, [=](GoneRowTest& t) { return t.Times(strList); },
            [=](GoneRowTest& t) { return Schedules_Stored(t, lngSchFor); }};
}

template <class Form>
Gone_Case Schedule_Save(const char* strName, int lngSchFor, const char* strList) {
    return {strName, [=](GoneRowTest& t) { Two_Schedules(t, lngSchFor); },
            [=](GoneRowTest& t) {
                t.Open_Dialog<Form>();
                t.Select(strList, 1);
                t.Press("cmdEdit");
                t.Set_Times("06:00", "06:30");
            },
            FIRST_SCHEDULE_GONE, [](GoneRowTest& t) { t.Press("cmAdd"); }, 0, modDBFunctions::No_Schedule_Message,
            [=](GoneRowTest& t) { return t.Times(strList); },
            [=](GoneRowTest& t) { return Schedules_Stored(t, lngSchFor); }};
}

QStringList Users_Stored(GoneRowTest& t) { return t.Column("SELECT USER_NAME FROM USER_TBL ORDER BY USER_ID"); }
QStringList Exceptions_Stored(GoneRowTest& t) {
    return t.Column("SELECT E_USER_NAME FROM USER_EXCPN_TBL ORDER BY E_ID");
}
void Two_Exceptions(GoneRowTest& t) { t.Run("INSERT INTO USER_EXCPN_TBL (E_USER_NAME) VALUES ('svc'), ('guest')"); }

// A settings dialog over an owner row that is gone has nothing to show and nothing
// pending: its Apply is off.
QStringList Nothing_Pending(GoneRowTest& t) {
    return {t.Control<QWidget>("cmdApply")->isEnabled() ? "pending" : "nothing pending"};
}
QStringList Nothing_To_Apply(GoneRowTest&) { return {"nothing pending"}; }

// The owner's stored row for the Enable box: none, so the box shows its bit unset, as loaded.
QStringList Enable_Box_Shown(GoneRowTest& t) {
    return {t.Control<QCheckBox>("chkEnableFileFilter")->isChecked() ? "1" : "0"};
}

template <class Form>
Gone_Case Owner_Apply(const char* strName, std::function<void(GoneRowTest&)> change) {
    return {strName, [](GoneRowTest&) {},
            [=](GoneRowTest& t) {
                t.Open_Dialog<Form>();
                change(t);
            },
            OWNER_GONE, [](GoneRowTest& t) { t.Press("cmdApply"); }, 0, modDBFunctions::No_User_Message,
            Nothing_Pending, Nothing_To_Apply};
}

const Gone_Case CASES[] = {
    Schedule_Remove<frmInternetScheduler>("InternetSchedulerRemove", 1, "lvwInternetScheduler"),
    Schedule_Save<frmInternetScheduler>("InternetSchedulerSave", 1, "lvwInternetScheduler"),
    Schedule_Remove<frmApplicationScheduler>("ApplicationSchedulerRemove", 2, "lvwApplicationScheduler"),
    Schedule_Save<frmApplicationScheduler>("ApplicationSchedulerSave", 2, "lvwApplicationScheduler"),
    // The users: the all-users row, alice, bob; bob goes.
    {"UserRename", [](GoneRowTest&) {}, [](GoneRowTest& t) { t.Open_Dialog<frmManageUsers>(); },
     "DELETE FROM USER_TBL WHERE USER_ID=%2",
     [](GoneRowTest& t) { EXPECT_TRUE(t.Edit("lvwUsers", 3, "robert")); }, 0, modDBFunctions::No_User_Message,
     [](GoneRowTest& t) { return t.Items("lvwUsers"); }, Users_Stored},
    {"UserRemove", [](GoneRowTest&) {},
     [](GoneRowTest& t) {
         t.Open_Dialog<frmManageUsers>();
         t.Select("lvwUsers", 3);
     },
     "DELETE FROM USER_TBL WHERE USER_ID=%2", [](GoneRowTest& t) { t.Press_Yes("cmdRemove"); }, 68,
     modDBFunctions::No_User_Message, [](GoneRowTest& t) { return t.Items("lvwUsers"); }, Users_Stored},
    {"UserExceptionRename", Two_Exceptions, [](GoneRowTest& t) { t.Open_Dialog<frmExceptionList>(); },
     "DELETE FROM USER_EXCPN_TBL WHERE E_USER_NAME='svc'",
     [](GoneRowTest& t) { EXPECT_TRUE(t.Edit("lvwUsers", 1, "backup")); }, 0,
     modDBFunctions::No_User_Exception_Message, [](GoneRowTest& t) { return t.Items("lvwUsers"); },
     Exceptions_Stored},
    {"UserExceptionRemove", Two_Exceptions,
     [](GoneRowTest& t) {
         t.Open_Dialog<frmExceptionList>();
         t.Select("lvwUsers", 1);
     },
     "DELETE FROM USER_EXCPN_TBL WHERE E_USER_NAME='svc'", [](GoneRowTest& t) { t.Press_Yes("cmdRemove"); }, 68,
     modDBFunctions::No_User_Exception_Message, [](GoneRowTest& t) { return t.Items("lvwUsers"); },
     Exceptions_Stored},
    // The port filter's Remove deletes by the port's number, as the lists do; what it
    // lists after a failed delete is the port filter's own concern (not asserted here).
    {"PortRemove",
     [](GoneRowTest& t) {
         t.Run("INSERT INTO PORT_TBL (PORT_NO,FILTER_TYPE,PROTOCOL_TYPE,COMPUTER_ID,USER_ID) VALUES "
               "(80,1,'HTTP',0,%1), (25,3,'SMTP',0,%1)");
     },
     [](GoneRowTest& t) {
         t.Open_Dialog<frmPortFilter>();
         t.Select("lvwPortFilter", 1);
     },
     "DELETE FROM PORT_TBL WHERE PORT_NO=80", [](GoneRowTest& t) { t.Press_Yes("cmdFRemove"); }, 36,
     [] { return modDBFunctions::No_Row_Message("80"); }, nullptr, nullptr},
    // The owner's row: internet mode (feature and status bits, IA_ON_OFF), schedule-for,
    // device lock, the two messages, and a feature bit of an Enable box.
    Owner_Apply<frmInternetScheduler>("InternetModeOn",
                                      [](GoneRowTest& t) { t.Control<QRadioButton>("optInternetMode_0")->click(); }),
    Owner_Apply<frmInternetScheduler>("InternetModeScheduler",
                                      [](GoneRowTest& t) { t.Control<QRadioButton>("optInternetMode_2")->click(); }),
    Owner_Apply<frmDeviceSettings>("DeviceLock",
                                   [](GoneRowTest& t) { t.Control<QRadioButton>("optUSB_0")->click(); }),
    Owner_Apply<frmInternetSettings>(
        "WebsiteMessage", [](GoneRowTest& t) { t.Control<platform::Text_Box>("txtBlMessage")->setText("Blocked"); }),
    Owner_Apply<frmApplicationSettings>(
        "ApplicationMessage", [](GoneRowTest& t) { t.Control<QLineEdit>("txtBlkdApplnMsg")->setText("Blocked"); }),
    {"FeatureBitEnableBox", [](GoneRowTest&) {}, [](GoneRowTest& t) { t.Open_Dialog<frmFileFilter>(); }, OWNER_GONE,
     // The click reads the flags first: the row is gone, so no question whose Yes could store nothing.
     [](GoneRowTest& t) { t.Press("chkEnableFileFilter"); }, 0, modDBFunctions::No_User_Message,
     Enable_Box_Shown, [](GoneRowTest&) { return QStringList{"0"}; }},
};

TEST_P(GoneRowTest, OneBoxNothingStoredChangesAndTheDialogShowsWhatIsStored) {
    const Gone_Case& c = GetParam();
    c.arrange(*this);
    c.open(*this);
    ASSERT_TRUE(Boxes().empty()) << "the dialog opened without a box";
    Run(QLatin1String(c.strGone));
    const test::Rows before = Everything();

    c.write(*this);

    const std::vector<test::Shown_Box> boxes = Boxes();
    const size_t lngQuestions = c.lngQuestion != 0 ? 1 : 0;
    ASSERT_EQ(boxes.size(), lngQuestions + 1) << "the question and one box";
    if (lngQuestions) {
        EXPECT_EQ(boxes[0].lngStyle, c.lngQuestion);
    }
    EXPECT_EQ(boxes.back().strText, c.message());
    EXPECT_EQ(boxes.back().lngStyle, 16);
    EXPECT_EQ(boxes.back().strTitle, "DravinoleTS");
    EXPECT_EQ(Everything(), before) << "nothing stored changed";
    if (c.shown) {
        EXPECT_EQ(c.shown(*this), c.stored(*this));
    }
    EXPECT_EQ(Log_Lines().filter("E: " + c.message()).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, GoneRowTest, ::testing::ValuesIn(CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

// ---------------------------------------------------------------- the scheduler's own Copy

class SchedulerCopyTest : public GoneRowTest {};

// The internet scheduler's Copy button copies bob's schedules onto alice, the user the
// scheduler shows: her rows are replaced by rows with new ids. A Remove and a Save of
// a row listed before then leave the list equal to the table, and any box they show
// is the one that says the row is not stored as listed.
TEST_F(SchedulerCopyTest, RemoveAndSaveAfterCopyingAnotherUsersSchedulesOntoTheUserListWhatIsStored) {
    Two_Schedules(*this, 1);
    Run("INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,USER_ID) "
        "VALUES (1,0,1,0,0,'07:00','08:00',0,%2), (1,0,1,0,0,'13:00','14:00',0,%2)");
    const long lngBob = m_lngBob, lngAlice = m_lngUser;
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        const modCopySettings::Copy_Feature* pFeature = modCopySettings::Find_Copy_Feature(strFeature);
        if (!pFeature) return Copied_Settings();
        modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
        Copied_Settings copied;
        EXPECT_TRUE(pFeature->routine(hDb, 0, lngBob, {lngAlice}, true));
        copied.Add(strFeature, lngAlice);
        return copied;
    });
    Open_Dialog<frmInternetScheduler>();
    const QString strOldIds = Column("SELECT GROUP_CONCAT(SCH_ID) FROM SCH_TBL WHERE USER_ID=%1").value(0);
    Press("cmdCopySettings");
    ASSERT_NE(Column("SELECT GROUP_CONCAT(SCH_ID) FROM SCH_TBL WHERE USER_ID=%1").value(0), strOldIds)
        << "the copy gave the rows new ids";
    ASSERT_EQ(Schedules_Stored(*this, 1), (QStringList{"07:00-08:00", "13:00-14:00"}));
    // At most one box besides the Remove's question: the one saying the row is not stored.
    const auto Expect_At_Most_The_Not_Stored_Box = [&] {
        int intErrors = 0;
        for (const test::Shown_Box& box : Boxes()) {
            if (box.lngStyle == 36) continue;
            ++intErrors;
            EXPECT_EQ(box.strText, modDBFunctions::No_Schedule_Message());
            EXPECT_EQ(box.lngStyle, 16);
        }
        EXPECT_LE(intErrors, 1);
    };

    Select("lvwInternetScheduler", 1);
    Press("cmdEdit");
    Set_Times("06:00", "06:30");
    Press("cmAdd");
    Expect_At_Most_The_Not_Stored_Box();
    EXPECT_EQ(Times("lvwInternetScheduler"), Schedules_Stored(*this, 1));
    // The copy's close listed the rows it stored, so the edit changed the row chosen.
    EXPECT_EQ(Schedules_Stored(*this, 1), (QStringList{"06:00-06:30", "13:00-14:00"}));

    // Copied again: the rows listed now have gone as well.
    Press("cmdCopySettings");
    Select("lvwInternetScheduler", 2);
    Press_Yes("cmdRemove");
    Expect_At_Most_The_Not_Stored_Box();
    EXPECT_EQ(Times("lvwInternetScheduler"), Schedules_Stored(*this, 1));
    EXPECT_EQ(Column("SELECT COUNT(*) FROM SCH_TBL WHERE USER_ID=%2").value(0), "2") << "bob's rows stay";
}

}  // namespace
