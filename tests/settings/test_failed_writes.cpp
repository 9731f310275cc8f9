// Every dialog that writes the owner's schedules or settings, against every way a
// write can fail for real: another process holding a read transaction (the commit
// stays busy), a database that may not grow, one that may not be written, and a
// trigger that refuses its statement or rolls the whole transaction back. Each failed write is reported once with the database's text,
// no success is shown, and what the dialog shows afterwards is what is stored. Last,
// the Enable boxes over flag words beyond the 32-bit range: a write there must keep
// every bit it does not own.
#include "console/frmGeneralOptions.h"
#include "database/modDB.h"
#include "lists/frmEXEBlocker.h"
#include "lists/frmEmailFilter.h"
#include "lists/frmFileFilter.h"
#include "lists/frmPortFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "lists/frmWindowBlocker.h"
#include "platform/Controls.h"
#include "reporting/frmReporting.h"
#include "platform/ListView.h"
#include "schedules/frmApplicationScheduler.h"
#include "schedules/frmApplicationSettings.h"
#include "schedules/frmDeviceSettings.h"
#include "schedules/frmInternetScheduler.h"
#include "schedules/frmInternetSettings.h"
#include "support/ConsoleFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimeEdit>
#include <QtTest/QTest>
#include <functional>
#include <tuple>

using platform::ListView;

namespace {

using test::Fault;
using test::Fault_Name;
using test::Fault_Text;

class FailedWriteTest;

// One write of one dialog: the stored state before, the dialog, the change made on
// screen, the button that writes, and how to read the same values off the screen and
// out of the database.
struct Write_Case {
    const char* strName;
    std::function<void(FailedWriteTest&)> arrange;
    std::function<void(FailedWriteTest&)> open;
    std::function<void(FailedWriteTest&)> change;
    std::function<void(FailedWriteTest&)> write;
    int lngQuestions;  // boxes the write asks before it writes
    std::function<QStringList(FailedWriteTest&)> shown;
    std::function<QStringList(FailedWriteTest&)> stored;
    // The statement a trigger refuses ("UPDATE OF column" refuses part-way).
    const char *strEvent, *strTable;
    // Whether the write needs a new page of the file, so that a full disk refuses it.
    bool blnGrows;
    // An Apply of what the administrator typed or chose: refused, it stays on screen with
    // Apply on, and a second Apply once the fault is gone stores it. Otherwise the
    // dialog shows what is stored.
    bool blnKeepsEdit = false;
    // Whether a stored Apply says so in a box (the internet mode's says nothing).
    bool blnSaysSaved = true;
};

struct Param {
    const Write_Case* pCase;
    Fault fault;
};

void PrintTo(const Param& p, std::ostream* os) { *os << p.pCase->strName << "_" << Fault_Name(p.fault); }

// A value long enough to need pages of its own.
const QString BIG = QString(100000, QLatin1Char('x'));

class FailedWriteTest : public test::Dialog_Case_Test, public ::testing::WithParamInterface<Param> {
public:
    // What the cases use of the fixture.
    void Run(const QString& strSQL) { Exec(strSQL.arg(m_lngUser)); }
    QStringList Column(const QString& strSQL) {
        QStringList values;
        for (const QStringList& row : Query(strSQL.arg(m_lngUser))) values << row.join('|');
        return values;
    }
    QStringList Items(const char* strList, int lngSub = 0) const {
        const ListView& list = *Find<ListView>(strList);
        QStringList items;
        for (long i = 1; i <= list.Count(); ++i)
            items << (lngSub == 0 ? list.Text(i) : list.SubItem(i, 1) + "-" + list.SubItem(i, 2));
        return items;
    }
    void Select_All(const char* strList) {
        ListView& list = *Find<ListView>(strList);
        for (long i = 1; i <= list.Count(); ++i) list.Set_Selected(i, true);
    }
    // The index of the checked option among name_0, name_1, ... (-1 when none).
    int Chosen(const char* strName, int lngCount) const {
        for (int i = 0; i < lngCount; ++i)
            if (Find<QRadioButton>(qPrintable(QString("%1_%2").arg(QLatin1String(strName)).arg(i)))->isChecked())
                return i;
        return -1;
    }
    void Times(const char* strFrom, const char* strTo) {
        Find<QTimeEdit>("dtpkFromTime")->setTime(QTime::fromString(QLatin1String(strFrom), "HH:mm"));
        Find<QTimeEdit>("dtpkToTime")->setTime(QTime::fromString(QLatin1String(strTo), "HH:mm"));
    }
};

// The owner is %1 in the SQL texts of the cases.
QStringList Schedules_Stored(FailedWriteTest& t, int lngSchFor) {
    return t.Column("SELECT FROM_TIME || '-' || TO_TIME FROM SCH_TBL WHERE USER_ID=%1 AND SCH_FOR=" +
                    QString::number(lngSchFor) + " ORDER BY SCH_ID");
}

// Two daily schedules (D_W_M 1).
void Two_Schedules(FailedWriteTest& t, int lngSchFor) {
    for (const char* strTimes : {"'07:00','08:00'", "'09:00','10:00'"})
        t.Run("INSERT INTO SCH_TBL (SCH_FOR,SCH_SUB_TYPE,D_W_M,WEEKDAYS,MONTHS,FROM_TIME,TO_TIME,COMPUTER_ID,USER_ID) "
              "VALUES (" + QString::number(lngSchFor) + "," + QString::number(lngSchFor - 1) + ",1,0,0," +
              QLatin1String(strTimes) + ",0,%1)");
}

// The option the stored internet mode chooses, as the internet scheduler loads it.
QStringList Stored_Internet_Mode(FailedWriteTest& t) {
    const QStringList row =
        t.Column("SELECT SCH_FOR, IA_ON_OFF, FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").value(0).split('|');
    int lngOption = -1;
    if (row[0] == "1") lngOption = row[1] != "0" ? 0 : 1;
    else if (row[0] == "2" && (row[2].toLong() & 1)) lngOption = 2;
    return {QString::number(lngOption)};
}

QStringList Shown_Device_Lock(FailedWriteTest& t) {
    QStringList fields;
    for (const char* strDevice : {"optFloppy", "optCDDVD", "optUSB"}) {
        const int i = t.Chosen(strDevice, 3);
        fields << (i < 0 ? QStringLiteral("none") : QString::number(std::array{0, 1, 3}[static_cast<size_t>(i)]));
    }
    return fields;
}

QStringList Stored_Device_Lock(FailedWriteTest& t) {
    const long lngLock = t.Column("SELECT DEVICE_LOCK FROM USER_TBL WHERE USER_ID=%1").value(0).toLong();
    QStringList fields;
    for (int intShift : {0, 2, 4}) {
        const long lngField = (lngLock >> intShift) & 3;
        fields << (lngField == 2 ? QStringLiteral("none") : QString::number(lngField));
    }
    return fields;
}

QStringList Ticked(FailedWriteTest& t, const char* strBox) {
    return {t.Control<QCheckBox>(strBox)->isChecked() ? "1" : "0"};
}

QStringList Stored_Bit(FailedWriteTest& t, Flag_Word lngBit) {
    const Flag_Word lngBits = t.Column("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").value(0).toLongLong();
    return {(lngBits & lngBit) ? "1" : "0"};
}

QStringList Shown_General_Options(FailedWriteTest& t) {
    const ListView& clients = *t.Control<ListView>("lvwClientSettings");
    long lngClients = 0;
    for (long i = 1; i <= clients.Count(); ++i)
        if (clients.Checked(i)) lngClients |= 1L << (i - 1);
    return {t.Control<QRadioButton>("optUser")->isChecked() ? "1" : "0", QString::number(lngClients),
            t.Control<QRadioButton>("optEnableRemoteMode")->isChecked() ? "1" : "0",
            t.Control<QLineEdit>("txtServerName")->text(), t.Control<QLineEdit>("txtClientPortNo")->text()};
}

QStringList Stored_General_Options(FailedWriteTest& t) {
    return t.Column("SELECT PROGRAM_MODE, CLIENT_OPTIONS, REMOTE_MODE, SERVER_NAME, CLIENT_PORT FROM SETTINGS_TBL")
        .value(0)
        .split('|');
}

void Change_General_Options(FailedWriteTest& t) {
    t.Control<QRadioButton>("optComputer")->click();
    ListView& clients = *t.Control<ListView>("lvwClientSettings");
    clients.Model()->setData(clients.Model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    t.Control<QLineEdit>("txtNewPassword")->setText("Secret");
    t.Control<QLineEdit>("txtConfirmPassword")->setText("Secret");
    t.Control<QRadioButton>("optEnableRemoteMode")->click();
    t.Control<QLineEdit>("txtServerName")->setText("server2");
    t.Control<QLineEdit>("txtClientPortNo")->setText("8080");
}

const Write_Case CASES[] = {
    {"InternetSchedulerAdd", [](FailedWriteTest& t) { Two_Schedules(t, 1); },
     [](FailedWriteTest& t) { t.Open_Dialog<frmInternetScheduler>(); },
     [](FailedWriteTest& t) { t.Times("11:00", "12:00"); }, [](FailedWriteTest& t) { t.Press("cmAdd"); }, 0,
     [](FailedWriteTest& t) { return t.Items("lvwInternetScheduler", 1); },
     [](FailedWriteTest& t) { return Schedules_Stored(t, 1); }, "INSERT", "SCH_TBL", false},
    {"InternetSchedulerSave", [](FailedWriteTest& t) { Two_Schedules(t, 1); },
     [](FailedWriteTest& t) { t.Open_Dialog<frmInternetScheduler>(); },
     [](FailedWriteTest& t) {
         t.Control<ListView>("lvwInternetScheduler")->Set_Selected(1, true);
         t.Press("cmdEdit");
         t.Times("06:00", "06:30");
     },
     [](FailedWriteTest& t) { t.Press("cmAdd"); }, 0,
     [](FailedWriteTest& t) { return t.Items("lvwInternetScheduler", 1); },
     [](FailedWriteTest& t) { return Schedules_Stored(t, 1); }, "UPDATE", "SCH_TBL", false},
    {"InternetSchedulerRemove", [](FailedWriteTest& t) { Two_Schedules(t, 1); },
     [](FailedWriteTest& t) { t.Open_Dialog<frmInternetScheduler>(); },
     [](FailedWriteTest& t) { t.Select_All("lvwInternetScheduler"); },
     [](FailedWriteTest& t) { t.Press_Yes("cmdRemove"); }, 1,
     [](FailedWriteTest& t) { return t.Items("lvwInternetScheduler", 1); },
     [](FailedWriteTest& t) { return Schedules_Stored(t, 1); }, "DELETE", "SCH_TBL", false},
    {"InternetModeApply", [](FailedWriteTest& t) {
         t.Run("UPDATE USER_TBL SET SCH_FOR=2, IA_ON_OFF=0, FEATURE_BITS=1, STATUS_BITS=4 WHERE USER_ID=%1");
     },
     [](FailedWriteTest& t) { t.Open_Dialog<frmInternetScheduler>(); },
     [](FailedWriteTest& t) { t.Control<QRadioButton>("optInternetMode_0")->click(); },
     [](FailedWriteTest& t) { t.Press("cmdApply"); }, 0,
     [](FailedWriteTest& t) { return QStringList{QString::number(t.Chosen("optInternetMode", 3))}; },
     Stored_Internet_Mode, "UPDATE", "USER_TBL", false, true, false},
    {"InternetModeApplyRefusedPartWay", [](FailedWriteTest& t) {
         t.Run("UPDATE USER_TBL SET SCH_FOR=2, IA_ON_OFF=0, FEATURE_BITS=1, STATUS_BITS=4 WHERE USER_ID=%1");
     },
     [](FailedWriteTest& t) { t.Open_Dialog<frmInternetScheduler>(); },
     [](FailedWriteTest& t) { t.Control<QRadioButton>("optInternetMode_0")->click(); },
     [](FailedWriteTest& t) { t.Press("cmdApply"); }, 0,
     [](FailedWriteTest& t) { return QStringList{QString::number(t.Chosen("optInternetMode", 3))}; },
     Stored_Internet_Mode, "UPDATE OF SCH_FOR", "USER_TBL", false, true, false},
    {"ApplicationSchedulerAdd", [](FailedWriteTest& t) { Two_Schedules(t, 2); },
     [](FailedWriteTest& t) { t.Open_Dialog<frmApplicationScheduler>(); },
     [](FailedWriteTest& t) { t.Times("11:00", "12:00"); }, [](FailedWriteTest& t) { t.Press("cmAdd"); }, 0,
     [](FailedWriteTest& t) { return t.Items("lvwApplicationScheduler", 1); },
     [](FailedWriteTest& t) { return Schedules_Stored(t, 2); }, "INSERT", "SCH_TBL", false},
    {"ApplicationSchedulerRemove", [](FailedWriteTest& t) { Two_Schedules(t, 2); },
     [](FailedWriteTest& t) { t.Open_Dialog<frmApplicationScheduler>(); },
     [](FailedWriteTest& t) { t.Select_All("lvwApplicationScheduler"); },
     [](FailedWriteTest& t) { t.Press_Yes("cmdRemove"); }, 1,
     [](FailedWriteTest& t) { return t.Items("lvwApplicationScheduler", 1); },
     [](FailedWriteTest& t) { return Schedules_Stored(t, 2); }, "DELETE", "SCH_TBL", false},
    {"InternetSettingsApply", [](FailedWriteTest& t) {
         t.Run("UPDATE USER_TBL SET URL_MSG_TYPE=1, BLOCKED_URL_MSG='Blocked', REDIRECT_URL='http://a/' WHERE "
               "USER_ID=%1");
     },
     [](FailedWriteTest& t) { t.Open_Dialog<frmInternetSettings>(); },
     [](FailedWriteTest& t) {
         t.Control<QComboBox>("cboWindowType")->setCurrentIndex(2);
         t.Control<platform::Text_Box>("txtBlMessage")->setText(BIG);
     },
     [](FailedWriteTest& t) { t.Press("cmdApply"); }, 0,
     [](FailedWriteTest& t) {
         return QStringList{QString::number(t.Control<QComboBox>("cboWindowType")->currentIndex()),
                            t.Control<platform::Text_Box>("txtBlMessage")->text(), t.Control<QLineEdit>("txtRedirectUrl")->text()};
     },
     [](FailedWriteTest& t) {
         return t.Column("SELECT URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL FROM USER_TBL WHERE USER_ID=%1")
             .value(0)
             .split('|');
     },
     "UPDATE", "USER_TBL", true, true},
    {"AlwaysAllowedProgramAdd", [](FailedWriteTest& t) {
         t.Run("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES ('a.exe', 0, %1)");
     },
     [](FailedWriteTest& t) { t.Open_Dialog<frmInternetSettings>(); },
     [](FailedWriteTest& t) { t.Control<QLineEdit>("txtByPassedExe")->setText(BIG + ".exe"); },
     [](FailedWriteTest& t) { t.Press("cmdAdd"); }, 0,
     [](FailedWriteTest& t) { return t.Items("lvwBypassedExe"); },
     [](FailedWriteTest& t) { return t.Column("SELECT BYPASS_EXE FROM BYPASS_EXE_TBL WHERE USER_ID=%1 ORDER BY rowid"); },
     "INSERT", "BYPASS_EXE_TBL", true},
    {"AlwaysAllowedProgramRemove", [](FailedWriteTest& t) {
         t.Run("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES ('a.exe', 0, %1), ('b.exe', 0, %1)");
     },
     [](FailedWriteTest& t) { t.Open_Dialog<frmInternetSettings>(); },
     [](FailedWriteTest& t) { t.Select_All("lvwBypassedExe"); },
     [](FailedWriteTest& t) { t.Press_Yes("cmdRemove"); }, 1,
     [](FailedWriteTest& t) { return t.Items("lvwBypassedExe"); },
     [](FailedWriteTest& t) { return t.Column("SELECT BYPASS_EXE FROM BYPASS_EXE_TBL WHERE USER_ID=%1 ORDER BY rowid"); },
     "DELETE", "BYPASS_EXE_TBL", false},
    {"ApplicationSettingsApply", [](FailedWriteTest& t) {
         t.Run("UPDATE USER_TBL SET APP_MSG_TYPE=0, APP_BLOCKER_MSG='old' WHERE USER_ID=%1");
     },
     [](FailedWriteTest& t) { t.Open_Dialog<frmApplicationSettings>(); },
     [](FailedWriteTest& t) {
         t.Control<QComboBox>("cboApplnWindowType")->setCurrentIndex(1);
         t.Control<QLineEdit>("txtBlkdApplnMsg")->setText(BIG);
     },
     [](FailedWriteTest& t) { t.Press("cmdApply"); }, 0,
     [](FailedWriteTest& t) {
         return QStringList{QString::number(t.Control<QComboBox>("cboApplnWindowType")->currentIndex()),
                            t.Control<QLineEdit>("txtBlkdApplnMsg")->text()};
     },
     [](FailedWriteTest& t) {
         return t.Column("SELECT APP_MSG_TYPE, APP_BLOCKER_MSG FROM USER_TBL WHERE USER_ID=%1").value(0).split('|');
     },
     "UPDATE", "USER_TBL", true, true},
    {"DeviceLockApply", [](FailedWriteTest& t) { t.Run("UPDATE USER_TBL SET DEVICE_LOCK=2 + 4 + 48 WHERE USER_ID=%1"); },
     [](FailedWriteTest& t) { t.Open_Dialog<frmDeviceSettings>(); },
     [](FailedWriteTest& t) {
         t.Control<QRadioButton>("optFloppy_1")->click();
         t.Control<QRadioButton>("optUSB_0")->click();
     },
     [](FailedWriteTest& t) { t.Press("cmdApply"); }, 0, Shown_Device_Lock, Stored_Device_Lock, "UPDATE", "USER_TBL",
     false, true},
    {"ApplicationSchedulerEnableBox", [](FailedWriteTest& t) { t.Run("UPDATE USER_TBL SET FEATURE_BITS=0 WHERE USER_ID=%1"); },
     [](FailedWriteTest& t) { t.Open_Dialog<frmApplicationScheduler>(); }, [](FailedWriteTest&) {},
     [](FailedWriteTest& t) { t.Press_Yes("chkEnableApplicationScheduler"); }, 1,
     [](FailedWriteTest& t) { return Ticked(t, "chkEnableApplicationScheduler"); },
     [](FailedWriteTest& t) { return Stored_Bit(t, 512); }, "UPDATE", "USER_TBL", false},
    {"ReportingSwitch", [](FailedWriteTest& t) { t.Run("UPDATE USER_TBL SET FEATURE_BITS=0 WHERE USER_ID=%1"); },
     [](FailedWriteTest& t) { t.Open_Dialog<frmReporting>(); }, [](FailedWriteTest&) {},
     [](FailedWriteTest& t) { t.Press_Yes("chkEnableReporting"); }, 1,
     [](FailedWriteTest& t) { return Ticked(t, "chkEnableReporting"); },
     [](FailedWriteTest& t) { return Stored_Bit(t, 2048); }, "UPDATE", "USER_TBL", false},
    {"GeneralOptionsApply", [](FailedWriteTest& t) {
         t.Run("UPDATE SETTINGS_TBL SET PROGRAM_MODE=1, CLIENT_OPTIONS=1, SERVER_NAME='server1', CLIENT_PORT='2705'");
     },
     [](FailedWriteTest& t) { t.Open_Dialog<frmGeneralOptions>(); }, Change_General_Options,
     [](FailedWriteTest& t) { t.Press_Yes("cmdApply"); }, 1, Shown_General_Options, Stored_General_Options, "UPDATE",
     "SETTINGS_TBL", false, true},
    // The mode and client options are stored before the password is refused.
    {"GeneralOptionsApplyRefusedAtThePassword", [](FailedWriteTest& t) {
         t.Run("UPDATE SETTINGS_TBL SET PROGRAM_MODE=1, CLIENT_OPTIONS=1, SERVER_NAME='server1', CLIENT_PORT='2705'");
     },
     [](FailedWriteTest& t) { t.Open_Dialog<frmGeneralOptions>(); }, Change_General_Options,
     [](FailedWriteTest& t) { t.Press_Yes("cmdApply"); }, 1, Shown_General_Options, Stored_General_Options,
     "UPDATE OF PWD", "SETTINGS_TBL", false, true},
};

std::vector<Param> All_Params() {
    std::vector<Param> params;
    for (const Write_Case& c : CASES) {
        // A trigger on one column refuses part-way; the other faults refuse the first write.
        const bool blnPartWay = QByteArray(c.strEvent).contains(" OF ");
        for (Fault fault : {Fault::Held_Read_Lock, Fault::Held_Write_Lock, Fault::Database_Full, Fault::Read_Only,
                            Fault::Abort_Trigger, Fault::Rollback_Trigger}) {
            const bool blnTrigger = fault == Fault::Abort_Trigger || fault == Fault::Rollback_Trigger;
            if (fault == Fault::Database_Full && !c.blnGrows) continue;
            if (blnPartWay && !blnTrigger) continue;
            params.push_back({&c, fault});
        }
    }
    return params;
}

TEST_P(FailedWriteTest, OneBoxWithTheDatabasesTextNoSuccessAndTheScreenShowsWhatIsStored) {
    const Write_Case& c = *GetParam().pCase;
    const Fault fault = GetParam().fault;
    c.arrange(*this);
    // A trigger is in force from the dialog's load on; the other faults from the write on.
    const bool blnTrigger = fault == Fault::Abort_Trigger || fault == Fault::Rollback_Trigger;
    std::unique_ptr<test::Made_Fault> made;
    if (blnTrigger) made = Make_Fault(fault, {QLatin1String(c.strEvent) + " ON " + QLatin1String(c.strTable)});
    c.open(*this);
    c.change(*this);
    const QStringList before = c.stored(*this);
    const QStringList edited = c.shown(*this);

    if (!blnTrigger) made = Make_Fault(fault);
    c.write(*this);
    made->Release();

    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), static_cast<size_t>(c.lngQuestions + 1)) << "the questions and one error";
    for (int i = 0; i < c.lngQuestions; ++i) EXPECT_EQ(boxes[static_cast<size_t>(i)].lngStyle, 36);
    EXPECT_EQ(boxes.back().lngStyle, 16);
    EXPECT_TRUE(boxes.back().strText.contains(QLatin1String(Fault_Text(fault)))) << boxes.back().strText.toStdString();

    const QStringList stored = c.stored(*this);
    if (!QByteArray(c.strEvent).contains(" OF ")) {
        EXPECT_EQ(stored, before) << "the first write was refused";
    }
    QWidget* pApply = dialog->findChild<QWidget*>("cmdApply");
    if (!c.blnKeepsEdit) {
        EXPECT_EQ(c.shown(*this), stored);
        // A settings dialog has nothing left to apply: what it shows is stored.
        if (pApply) {
            EXPECT_FALSE(pApply->isEnabled());
        }
        return;
    }
    // What the administrator typed or chose stays for a retry, which stores it.
    EXPECT_EQ(c.shown(*this), edited);
    ASSERT_TRUE(pApply);
    EXPECT_TRUE(pApply->isEnabled());
    made.reset();
    c.write(*this);
    const std::vector<test::Shown_Box> retried = Boxes();
    ASSERT_EQ(retried.size(), static_cast<size_t>(c.lngQuestions + (c.blnSaysSaved ? 1 : 0)))
        << "the questions and the success";
    if (c.blnSaysSaved) {
        EXPECT_EQ(retried.back().lngStyle, 64);
    }
    EXPECT_EQ(c.stored(*this), edited);
    EXPECT_EQ(c.shown(*this), edited);
    EXPECT_FALSE(pApply->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, FailedWriteTest, ::testing::ValuesIn(All_Params()), [](const auto& info) {
    return std::string(info.param.pCase->strName) + "_" + Fault_Name(info.param.fault);
});

// The same writes while another program (a filtering component) has a write in
// progress: each waits once, then stores what the administrator did, shows it, reports
// no failure, and the other program's event stays stored.
class SharedWriteTest : public FailedWriteTest {};

TEST_P(SharedWriteTest, WaitsOnceForAWriteInProgressThenStoresAndKeepsTheOtherWrite) {
    const Write_Case& c = *GetParam().pCase;
    c.arrange(*this);
    c.open(*this);
    c.change(*this);
    const QStringList edited = c.shown(*this);
    auto other = Start_Other_Program();
    other->Hold_Write_Until_First_Wait("INSERT INTO URL_RPT_TBL (USER_ID, URL) VALUES (0, 'event')");
    const long long lngWaits = modDB::Busy_Waits();
    c.write(*this);
    EXPECT_EQ(modDB::Busy_Waits() - lngWaits, 1) << "one wait for the other program's commit";
    EXPECT_TRUE(other->Held_Write_Committed());
    EXPECT_TRUE(other->Finish());
    for (const test::Shown_Box& box : Boxes()) EXPECT_NE(box.lngStyle, 16) << box.strText.toStdString();
    EXPECT_EQ(c.shown(*this), c.stored(*this));
    if (c.blnKeepsEdit) {
        EXPECT_EQ(c.stored(*this), edited);
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM URL_RPT_TBL WHERE URL='event'"), "1");
}

std::vector<Param> Shared_Params() {
    std::vector<Param> params;
    for (const Write_Case& c : CASES)
        if (!QByteArray(c.strEvent).contains(" OF ")) params.push_back({&c, Fault::Held_Write_Lock});
    return params;
}

INSTANTIATE_TEST_SUITE_P(Dialogs, SharedWriteTest, ::testing::ValuesIn(Shared_Params()),
                         [](const auto& info) { return std::string(info.param.pCase->strName); });

}  // namespace

// ---------------------------------------------------------------- flag words beyond 32 bits

namespace {

// Each dialog's Enable box over a FEATURE_BITS written by another program beyond the
// signed 32-bit range: it shows its bit on opening without a box, and switching it
// writes only that bit, so that switching it back stores the value as it was.
struct Enable_Box_Case {
    const char* strName;
    std::function<void(test::Owner_Dialog_Test&)> open;
    const char* strBox;
    Flag_Word lngBit;
};

class OddFlagsTest : public test::Owner_Dialog_Test,
                     public ::testing::WithParamInterface<std::tuple<Enable_Box_Case, long>> {
public:
    template <class Form>
    static void Open(test::Owner_Dialog_Test& t) {
        static_cast<OddFlagsTest&>(t).Open_Form<Form>();
    }
};

const Enable_Box_Case ENABLE_BOXES[] = {
    {"FileFilter", OddFlagsTest::Open<frmFileFilter>, "chkEnableFileFilter", 8},
    {"WebsiteFilter", OddFlagsTest::Open<frmWebsiteFilter>, "chkEnableUrlFilter", 4},
    {"EmailFilter", OddFlagsTest::Open<frmEmailFilter>, "chkEnableFilter", 32},
    {"PortFilter", OddFlagsTest::Open<frmPortFilter>, "chkEnablePortFilter", 2},
    {"EXEBlocker", OddFlagsTest::Open<frmEXEBlocker>, "chkEnableEXEBlocker", 128},
    {"WindowBlocker", OddFlagsTest::Open<frmWindowBlocker>, "chkEnableWindowBlocker", 256},
    {"ApplicationScheduler", OddFlagsTest::Open<frmApplicationScheduler>, "chkEnableApplicationScheduler", 512},
    {"Reporting", OddFlagsTest::Open<frmReporting>, "chkEnableReporting", 2048},
};

TEST_P(OddFlagsTest, TheEnableBoxShowsItsBitAndSwitchesOnlyThatBit) {
    const auto& [c, lngStored] = GetParam();
    const QString strStored = QString::number(lngStored);
    const QString strRead = QString("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser);
    Exec(QString("UPDATE USER_TBL SET FEATURE_BITS=%1 WHERE USER_ID=%2").arg(strStored).arg(m_lngUser));
    const bool blnSet = (lngStored & c.lngBit) != 0;
    for (bool blnShown : {blnSet, !blnSet}) {
        c.open(*this);
        auto* pBox = Find<QCheckBox>(c.strBox);
        EXPECT_EQ(pBox->isChecked(), blnShown);
        EXPECT_TRUE(Boxes().empty()) << "opening shows no box";
        messageBox->Answer(platform::vbYes);
        pBox->click();
        const std::vector<test::Shown_Box> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].lngStyle, 36);
        EXPECT_TRUE(boxes[0].strText.startsWith(blnShown ? "Are you sure you want to disable"
                                                         : "Are you sure you want to enable"))
            << boxes[0].strText.toStdString();
        EXPECT_EQ(pBox->isChecked(), !blnShown);
        EXPECT_EQ(Scalar(strRead), QString::number(blnShown == blnSet ? lngStored ^ c.lngBit : lngStored));
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, OddFlagsTest,
                         ::testing::Combine(::testing::ValuesIn(ENABLE_BOXES),
                                            // bit 31 as an unsigned word with bits 3 and 7; all 32 bits
                                            // unsigned; bits above 31
                                            ::testing::Values(2147483784L, 4294967295L, (1L << 40) + 128 + 8 + 2)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).strName) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

// Each dialog's Enable box over a flag word that is no whole number: the word is kept
// as stored, so a click cannot switch it. The load says so once; each click answers
// with the read's one box, no question, and puts the tick back. A status word that
// cannot be read does not stand in the way of the feature word.
struct Unreadable_Word {
    const char* strName;
    const char* strColumn;
    const char* strStored;  // SQL value
    const char* strBox;     // the start of the read's box; nullptr when the box works
};

class UnreadableFlagsTest : public test::Owner_Dialog_Test,
                            public ::testing::WithParamInterface<std::tuple<Enable_Box_Case, Unreadable_Word>> {};

TEST_P(UnreadableFlagsTest, AClickOnTheEnableBoxStoresNothingAndPutsTheTickBack) {
    const auto& [c, word] = GetParam();
    const QString strRead = QString("SELECT FEATURE_BITS, STATUS_BITS FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser);
    Exec(QString("UPDATE USER_TBL SET FEATURE_BITS=0, STATUS_BITS=0 WHERE USER_ID=%1").arg(m_lngUser));
    Exec(QString("UPDATE USER_TBL SET %1=%2 WHERE USER_ID=%3").arg(word.strColumn, word.strStored).arg(m_lngUser));
    const test::Rows before = Query(strRead);
    c.open(*this);
    auto* pBox = Find<QCheckBox>(c.strBox);
    ASSERT_TRUE(pBox->isEnabled());
    EXPECT_FALSE(pBox->isChecked());
    const auto expect_read_box = [&](const char* strWhen) {
        const std::vector<test::Shown_Box> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strWhen;
        EXPECT_EQ(boxes[0].lngStyle, 16) << strWhen;
        EXPECT_TRUE(boxes[0].strText.startsWith(word.strBox)) << strWhen << ": " << boxes[0].strText.toStdString();
    };
    if (!word.strBox) {
        EXPECT_TRUE(Boxes().empty());
        messageBox->Answer(platform::vbYes);
        QTest::mouseClick(pBox, Qt::LeftButton);
        const std::vector<test::Shown_Box> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].strText.startsWith("Are you sure you want to enable")) << boxes[0].strText.toStdString();
        EXPECT_TRUE(pBox->isChecked());
        EXPECT_EQ(Query(strRead), (test::Rows{{QString::number(c.lngBit), before[0][1]}}));
        return;
    }
    expect_read_box("load");
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(pBox, Qt::LeftButton);
        expect_read_box("click");
        EXPECT_FALSE(pBox->isChecked());
        EXPECT_EQ(Query(strRead), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, UnreadableFlagsTest,
    ::testing::Combine(::testing::ValuesIn(ENABLE_BOXES),
                       ::testing::Values(Unreadable_Word{"Word", "FEATURE_BITS", "'x'", "Type mismatch"},
                                         Unreadable_Word{"Empty", "FEATURE_BITS", "''", "Type mismatch"},
                                         Unreadable_Word{"Fraction", "FEATURE_BITS", "2.5", "Type mismatch"},
                                         Unreadable_Word{"Beyond64Bits", "FEATURE_BITS", "18446744073709551616",
                                                         "Overflow"},
                                         Unreadable_Word{"StatusWord", "STATUS_BITS", "'x'", nullptr})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).strName) + "_" + std::get<1>(info.param).strName;
    });

}  // namespace
