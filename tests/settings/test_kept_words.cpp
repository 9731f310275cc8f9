// Every dialog that reads a stored word (a flag word, the device lock, the settings
// row's values) and writes it back changed, on a file another program writes too: a
// change that program made to a part the administrator did not touch stays, whether it
// came between the dialog's load and its write, between the write's read and the write,
// or was a write in progress when the administrator pressed the button. A write the
// database refuses changes nothing and says so once.
#include "console/frmGeneralOptions.h"
#include "lists/frmEXEBlocker.h"
#include "lists/frmFileFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "platform/ListView.h"
#include "reporting/frmReporting.h"
#include "schedules/frmDeviceSettings.h"
#include "schedules/frmInternetScheduler.h"
#include "support/ConsoleFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>
#include <tuple>

namespace {

using test::Fault;

class KeptWordTest;

// What another program does while the administrator works.
enum class Meanwhile {
    Writes_After_The_Load,      // commits between the dialog's load and its write
    Writes_After_The_Read,      // commits right after the console's next read of the word
    Holds_A_Write,              // holds a write in progress until the console's first busy wait
    Read_Only,                  // the file takes no write (no other program)
    Rollback_Trigger,           // a trigger rolls the write back (no other program)
};

const char* Meanwhile_Name(Meanwhile m) {
    switch (m) {
        case Meanwhile::Writes_After_The_Load: return "WritesAfterTheLoad";
        case Meanwhile::Writes_After_The_Read: return "WritesAfterTheRead";
        case Meanwhile::Holds_A_Write: return "HoldsAWrite";
        case Meanwhile::Read_Only: return "ReadOnly";
        case Meanwhile::Rollback_Trigger: return "RollbackTrigger";
    }
    return "?";
}

// One caller: the stored word it writes back (%1 in the SQL texts is the owner's id),
// the administrator's change, the other program's change to another part of the word,
// and what the dialog shows and the same read off the database.
struct Word_Case {
    const char* strName;
    const char* strArrange;  // the stored state before the dialog opens
    std::function<void(KeptWordTest&)> open;
    std::function<void(KeptWordTest&)> change;  // what the administrator changes on screen
    std::function<void(KeptWordTest&)> write;   // the button that writes
    int lngQuestions;                           // boxes the write asks before it writes
    const char* strSaved;                       // the success box ("" when none)
    const char* strWord;                        // reads the word
    QString strStart;                           // the word before
    // The other program's change and the word with both changes; strHiddenOther is its
    // change after the write's read, to a part no control shows (the dialog has read
    // the word by then); nullptr for a value whose write does not read it.
    const char* strOther;
    QString strBoth;
    const char* strHiddenOther;
    QString strBothHidden;
    // The administrator's change when it lies outside the word: the value before and
    // after (nullptr when it is in the word).
    const char *strOwn, *strOwnBefore, *strOwnAfter;
    const char* strTrigger;  // the statement a trigger refuses, "UPDATE ON ..."
    std::function<QStringList(KeptWordTest&)> shown;
    std::function<QStringList(KeptWordTest&)> stored;  // what the dialog should show for what is stored
    // A refused write keeps what the administrator chose on screen, for a retry.
    bool blnKeepsChoice = false;
};

struct Param {
    const Word_Case* pCase;
    Meanwhile meanwhile;
};

void PrintTo(const Param& p, std::ostream* os) { *os << p.pCase->strName << "_" << Meanwhile_Name(p.meanwhile); }

// The message box service with an action at the next question: the moment the
// administrator answers it, between the dialog's check of the word and its write.
class Action_At_Question : public platform::IMessageBox {
public:
    Action_At_Question(std::shared_ptr<platform::IMessageBox> boxes, std::function<void()> action)
        : m_boxes(std::move(boxes)), m_action(std::move(action)) {}
    int Show(const QString& strText, long lngStyle, const QString& strTitle) override {
        if ((lngStyle & 7) == platform::vbYesNo && m_action) std::exchange(m_action, nullptr)();
        return m_boxes->Show(strText, lngStyle, strTitle);
    }

private:
    std::shared_ptr<platform::IMessageBox> m_boxes;
    std::function<void()> m_action;
};

class KeptWordTest : public test::Dialog_Case_Test, public ::testing::WithParamInterface<Param> {
public:
    QString Sql(const char* strSQL) const {
        const QString strText = QString::fromLatin1(strSQL);
        return strText.contains("%1") ? strText.arg(m_lngUser) : strText;
    }
    QString Value(const char* strSQL) { return Scalar(Sql(strSQL)); }
    void Run(const char* strSQL) { Exec(Sql(strSQL)); }
    bool Checked(const char* strName) const { return Find<QAbstractButton>(strName)->isChecked(); }
    // Runs action just before the write: at its question, or before the press when it asks none.
    void Before_The_Write(const Word_Case& c, std::function<void()> action) {
        if (c.lngQuestions == 0) {
            action();
            return;
        }
        platform::Services().messageBox = std::make_shared<Action_At_Question>(messageBox, std::move(action));
    }
};

QString Bit(const QString& strWord, long long lngBit) { return (strWord.toLongLong() & lngBit) ? "1" : "0"; }

template <class Form>
void Open(KeptWordTest& t) {
    t.Open_Dialog<Form>();
}

// An Enable box over one FEATURE_BITS bit; another program switches e-mail reporting on.
Word_Case Enable_Box(const char* strName, void (*open)(KeptWordTest&), const char* strBox, long long lngBit) {
    static const char* const OTHER = "UPDATE USER_TBL SET FEATURE_BITS=FEATURE_BITS|16384 WHERE USER_ID=%1";
    static const char* const WORD = "SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1";
    const QString strBoth = QString::number(1 | lngBit | 16384);
    return {strName, "UPDATE USER_TBL SET FEATURE_BITS=1 WHERE USER_ID=%1", open, [](KeptWordTest&) {},
            [strBox](KeptWordTest& t) { t.Press_Yes(strBox); }, 1, "", WORD, "1", OTHER, strBoth, OTHER, strBoth,
            nullptr, nullptr, nullptr, "UPDATE ON USER_TBL",
            [strBox](KeptWordTest& t) { return QStringList{t.Checked(strBox) ? "1" : "0"}; },
            [lngBit](KeptWordTest& t) { return QStringList{Bit(t.Value(WORD), lngBit)}; }};
}

// The internet mode over a scheduler-driven owner: "Turn Internet ON" clears FEATURE_BITS
// bit 1 and STATUS_BITS bit 4 and leaves SCH_FOR 1, IA_ON_OFF 1.
const char* const SCHEDULER_DRIVEN =
    "UPDATE USER_TBL SET SCH_FOR=2, IA_ON_OFF=0, FEATURE_BITS=1, STATUS_BITS=4 WHERE USER_ID=%1";

QStringList Internet_Mode_Shown(KeptWordTest& t) {
    for (int i = 0; i < 3; ++i)
        if (t.Checked(qPrintable(QString("optInternetMode_%1").arg(i)))) return {QString::number(i)};
    return {"none"};
}

// The option the stored mode chooses, as the dialog loads it.
QStringList Internet_Mode_Stored(KeptWordTest& t) {
    const QStringList row = t.Value("SELECT SCH_FOR || '|' || IA_ON_OFF || '|' || FEATURE_BITS FROM USER_TBL "
                                    "WHERE USER_ID=%1")
                                .split('|');
    if (row[0] == "1") return {row[1] != "0" ? "0" : "1"};
    if (row[0] == "2" && (row[2].toLongLong() & 1)) return {"2"};
    return {"none"};
}

// The device fields of the stored lock: floppy, CD/DVD, USB (2: no option chosen).
QStringList Device_Stored(KeptWordTest& t) {
    const long long lngLock = t.Value("SELECT DEVICE_LOCK FROM USER_TBL WHERE USER_ID=%1").toLongLong();
    return {QString::number(lngLock & 3), QString::number((lngLock >> 2) & 3), QString::number((lngLock >> 4) & 3)};
}

QStringList Device_Shown(KeptWordTest& t) {
    QStringList fields;
    for (const char* strDevice : {"optFloppy", "optCDDVD", "optUSB"}) {
        QString strField = "2";
        for (int i = 0; i < 3; ++i)
            if (t.Checked(qPrintable(QString("%1_%2").arg(QLatin1String(strDevice)).arg(i))))
                strField = QString::number(std::array{0, 1, 3}[static_cast<size_t>(i)]);
        fields << strField;
    }
    return fields;
}

QStringList Client_Ticks(KeptWordTest& t) {
    const platform::ListView& list = *t.Control<platform::ListView>("lvwClientSettings");
    QStringList ticks;
    for (long i = 1; i <= list.Count(); ++i) ticks << (list.Checked(i) ? "1" : "0");
    return ticks;
}

void Tick_Client(KeptWordTest& t, long lngItem) {
    platform::ListView& list = *t.Control<platform::ListView>("lvwClientSettings");
    list.Model()->setData(list.Model()->index(static_cast<int>(lngItem - 1), 0), Qt::Checked, Qt::CheckStateRole);
}

void New_Password(KeptWordTest& t) {
    t.Control<QLineEdit>("txtNewPassword")->setText("Secret1");
    t.Control<QLineEdit>("txtConfirmPassword")->setText("Secret1");
}

QStringList Client_Options_Stored(KeptWordTest& t) {
    const QString strWord = t.Value("SELECT CLIENT_OPTIONS FROM SETTINGS_TBL");
    return {Bit(strWord, 1), Bit(strWord, 2), Bit(strWord, 4)};
}

const Word_Case CASES[] = {
    Enable_Box("FileFilterEnableBox", Open<frmFileFilter>, "chkEnableFileFilter", 8),
    Enable_Box("WebsiteFilterEnableBox", Open<frmWebsiteFilter>, "chkEnableUrlFilter", 4),
    Enable_Box("EXEBlockerEnableBox", Open<frmEXEBlocker>, "chkEnableEXEBlocker", 128),
    Enable_Box("ReportingSwitch", Open<frmReporting>, "chkEnableReporting", 2048),
    {"InternetModeFeatureBits", SCHEDULER_DRIVEN, Open<frmInternetScheduler>,
     [](KeptWordTest& t) { t.Control<QRadioButton>("optInternetMode_0")->click(); },
     [](KeptWordTest& t) { t.Press("cmdApply"); }, 0, "", "SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1", "1",
     "UPDATE USER_TBL SET FEATURE_BITS=FEATURE_BITS|16384 WHERE USER_ID=%1", "16384",
     "UPDATE USER_TBL SET FEATURE_BITS=FEATURE_BITS|16384 WHERE USER_ID=%1", "16384",
     "SELECT SCH_FOR || IA_ON_OFF FROM USER_TBL WHERE USER_ID=%1", "20", "11", "UPDATE OF FEATURE_BITS ON USER_TBL",
     Internet_Mode_Shown, Internet_Mode_Stored},
    {"InternetModeStatusBits", SCHEDULER_DRIVEN, Open<frmInternetScheduler>,
     [](KeptWordTest& t) { t.Control<QRadioButton>("optInternetMode_0")->click(); },
     [](KeptWordTest& t) { t.Press("cmdApply"); }, 0, "", "SELECT STATUS_BITS FROM USER_TBL WHERE USER_ID=%1", "4",
     "UPDATE USER_TBL SET STATUS_BITS=STATUS_BITS|8 WHERE USER_ID=%1", "8",
     "UPDATE USER_TBL SET STATUS_BITS=STATUS_BITS|8 WHERE USER_ID=%1", "8", nullptr, nullptr, nullptr,
     "UPDATE OF STATUS_BITS ON USER_TBL", Internet_Mode_Shown, Internet_Mode_Stored},
    // The administrator unlocks the floppy; the other program makes USB storage read only,
    // or sets a bit above the fields once the write has read the lock.
    {"DeviceLock", "UPDATE USER_TBL SET DEVICE_LOCK=0 WHERE USER_ID=%1", Open<frmDeviceSettings>,
     [](KeptWordTest& t) { t.Control<QRadioButton>("optFloppy_1")->click(); },
     [](KeptWordTest& t) { t.Press("cmdApply"); }, 0, "Successfully saved the Device Status",
     "SELECT DEVICE_LOCK FROM USER_TBL WHERE USER_ID=%1", "0",
     "UPDATE USER_TBL SET DEVICE_LOCK=DEVICE_LOCK|48 WHERE USER_ID=%1", "49",
     "UPDATE USER_TBL SET DEVICE_LOCK=DEVICE_LOCK|64 WHERE USER_ID=%1", "65", nullptr, nullptr, nullptr,
     "UPDATE ON USER_TBL", Device_Shown, Device_Stored, true},
    // The administrator ticks the first client option; the other program ticks the third,
    // or sets a bit no item shows once the write has read the word.
    {"ClientOptions", "UPDATE SETTINGS_TBL SET CLIENT_OPTIONS=0", Open<frmGeneralOptions>,
     [](KeptWordTest& t) { Tick_Client(t, 1); }, [](KeptWordTest& t) { t.Press_Yes("cmdApply"); }, 1,
     "Successfully saved the changes.", "SELECT CLIENT_OPTIONS FROM SETTINGS_TBL", "0",
     "UPDATE SETTINGS_TBL SET CLIENT_OPTIONS=CLIENT_OPTIONS|4", "5",
     "UPDATE SETTINGS_TBL SET CLIENT_OPTIONS=CLIENT_OPTIONS|8", "9", nullptr, nullptr, nullptr,
     "UPDATE ON SETTINGS_TBL", Client_Ticks, Client_Options_Stored},
    // The administrator sets a new password; the other program switches to All User Mode.
    {"ProgramMode", "UPDATE SETTINGS_TBL SET PROGRAM_MODE=1", Open<frmGeneralOptions>, New_Password,
     [](KeptWordTest& t) { t.Press_Yes("cmdApply"); }, 1, "Successfully saved the changes.",
     "SELECT PROGRAM_MODE FROM SETTINGS_TBL", "1", "UPDATE SETTINGS_TBL SET PROGRAM_MODE=0", "0", nullptr, "",
     "SELECT PWD FROM SETTINGS_TBL", "Marigold", "Secret1", "UPDATE ON SETTINGS_TBL",
     [](KeptWordTest& t) { return QStringList{t.Checked("optUser") ? "1" : "0"}; },
     [](KeptWordTest& t) { return QStringList{t.Value("SELECT PROGRAM_MODE FROM SETTINGS_TBL")}; }},
    // The administrator switches remote mode on with a server; the other program changes the port.
    {"RemotePort", "UPDATE SETTINGS_TBL SET REMOTE_MODE=0, SERVER_NAME='localhost', CLIENT_PORT='2705'",
     Open<frmGeneralOptions>,
     [](KeptWordTest& t) {
         t.Control<QRadioButton>("optEnableRemoteMode")->click();
         t.Control<QLineEdit>("txtServerName")->setText("server2");
     },
     [](KeptWordTest& t) { t.Press_Yes("cmdApply"); }, 1, "Successfully saved the changes.",
     "SELECT CLIENT_PORT FROM SETTINGS_TBL", "2705", "UPDATE SETTINGS_TBL SET CLIENT_PORT='8080'", "8080", nullptr,
     "", "SELECT REMOTE_MODE || SERVER_NAME FROM SETTINGS_TBL", "0localhost", "1server2", "UPDATE ON SETTINGS_TBL",
     [](KeptWordTest& t) { return QStringList{t.Control<QLineEdit>("txtClientPortNo")->text()}; },
     [](KeptWordTest& t) { return QStringList{t.Value("SELECT CLIENT_PORT FROM SETTINGS_TBL")}; }},
};

std::vector<Param> All_Params() {
    std::vector<Param> params;
    for (const Word_Case& c : CASES)
        for (Meanwhile m : {Meanwhile::Writes_After_The_Load, Meanwhile::Writes_After_The_Read, Meanwhile::Holds_A_Write,
                            Meanwhile::Read_Only, Meanwhile::Rollback_Trigger})
            // A value written whole is not read by its write.
            if (m != Meanwhile::Writes_After_The_Read || c.strHiddenOther) params.push_back({&c, m});
    return params;
}

TEST_P(KeptWordTest, TheOtherProgramsChangeStaysAndTheDialogShowsWhatIsStored) {
    const Word_Case& c = *GetParam().pCase;
    const Meanwhile meanwhile = GetParam().meanwhile;
    Run(c.strArrange);
    ASSERT_EQ(Value(c.strWord), c.strStart);
    std::unique_ptr<test::Made_Fault> fault;
    if (meanwhile == Meanwhile::Rollback_Trigger) fault = Make_Fault(Fault::Rollback_Trigger, {c.strTrigger});
    c.open(*this);
    ASSERT_TRUE(Boxes().empty()) << "opening shows no box";
    EXPECT_EQ(c.shown(*this), c.stored(*this));
    c.change(*this);
    const QStringList chosen = c.shown(*this);

    auto other = Start_Other_Program();
    const long long lngWaits = modDB::Busy_Waits();
    QString strExpected = c.strBoth;
    switch (meanwhile) {
        case Meanwhile::Writes_After_The_Load: other->Write_Now(Sql(c.strOther)); break;
        case Meanwhile::Writes_After_The_Read: {
            strExpected = c.strBothHidden;
            const QString strOther = Sql(c.strHiddenOther);
            const QString strMarker = QString::fromLatin1(c.strWord).section(' ', 1, 1);
            Before_The_Write(c, [&other, strMarker, strOther] { other->Write_At_Statement(strMarker, strOther); });
            break;
        }
        case Meanwhile::Holds_A_Write: other->Hold_Write_Until_First_Wait(Sql(c.strOther)); break;
        case Meanwhile::Read_Only: fault = Make_Fault(Fault::Read_Only); [[fallthrough]];
        case Meanwhile::Rollback_Trigger: strExpected = c.strStart; break;
    }
    c.write(*this);
    const bool blnRefused = meanwhile == Meanwhile::Read_Only || meanwhile == Meanwhile::Rollback_Trigger;
    if (fault) fault->Release();

    const std::vector<test::Shown_Box> boxes = Boxes();
    const size_t lngAfter = blnRefused || *c.strSaved ? 1 : 0;
    ASSERT_EQ(boxes.size(), static_cast<size_t>(c.lngQuestions) + lngAfter);
    for (int i = 0; i < c.lngQuestions; ++i) EXPECT_EQ(boxes[static_cast<size_t>(i)].lngStyle, 36);
    if (blnRefused) {
        EXPECT_EQ(boxes.back().lngStyle, 16);
        EXPECT_TRUE(boxes.back().strText.contains(test::Fault_Text(test::Fault(
            meanwhile == Meanwhile::Read_Only ? Fault::Read_Only : Fault::Rollback_Trigger))))
            << boxes.back().strText.toStdString();
    } else if (*c.strSaved) {
        EXPECT_EQ(boxes.back().strText, c.strSaved);
        EXPECT_EQ(boxes.back().lngStyle, 64);
    }
    if (meanwhile == Meanwhile::Holds_A_Write) {
        EXPECT_TRUE(other->Held_Write_Committed());
        EXPECT_EQ(modDB::Busy_Waits() - lngWaits, 1) << "the write waited once for the other program";
    }
    EXPECT_TRUE(other->Finish());

    EXPECT_EQ(Value(c.strWord), strExpected) << "the word as stored";
    if (c.strOwn) {
        EXPECT_EQ(Value(c.strOwn), blnRefused ? c.strOwnBefore : c.strOwnAfter);
    }
    if (blnRefused && c.blnKeepsChoice) {
        EXPECT_EQ(c.shown(*this), chosen) << "the choice stays for a retry";
    } else {
        EXPECT_EQ(c.shown(*this), c.stored(*this)) << "the dialog shows what is stored";
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, KeptWordTest, ::testing::ValuesIn(All_Params()), [](const auto& info) {
    return std::string(info.param.pCase->strName) + "_" + Meanwhile_Name(info.param.meanwhile);
});

}  // namespace
