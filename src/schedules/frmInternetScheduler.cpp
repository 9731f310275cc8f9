#include "schedules/frmInternetScheduler.h"
#include "schedules/SettingsApply.h"

#include "database/ValueSets.h"
#include "database/modDBFunctions.h"
#include "services/ErrorHandler.h"
#include "ui_frmInternetScheduler.h"

namespace {

schedules::Schedule_Config Internet_Schedules() {
    schedules::Schedule_Config config;
    config.lngScheduleFor = Schedule_For::SCHEDULE_FOR_INTERNET;
    config.lngSubType = Schedule_Sub_Type::SUB_TYPE_INTERNET;
    config.strIcon = QStringLiteral("InternetScheduler");
    config.strCaption = QStringLiteral("Internet Scheduler");
    config.strCopyFeature = QStringLiteral("Internet Scheduler");
    config.strToTimeMessage = QStringLiteral("'To' time should be greater than or equal to 'From' time!.");
    config.strRefusedMessage = QStringLiteral("Schedule already exist!.");
    config.lngThreshold = 17;
    config.blnRemoveResetsPickers = true;
    config.blnListsCloseOnLostFocus = true;
    config.blnTagOnlyDuringEdit = false;
    config.strSchedulerTip = QStringLiteral("Select Internet Scheduler type");
    config.strFromTip = QStringLiteral("Select 'From' time");
    config.strToTip = QStringLiteral("Select 'To' time");
    config.strDayTip = QStringLiteral("Select the Day");
    config.strMonthTip = QStringLiteral("Select the Month");
    return config;
}

}  // namespace

frmInternetScheduler::frmInternetScheduler(Console_Link& console, QWidget* parent)
    : frmScheduleEditorBase(console, Internet_Schedules(), parent), ui(std::make_unique<Ui::frmInternetScheduler>()) {
    ui->setupUi(this);
    optInternetMode = {ui->optInternetMode_0, ui->optInternetMode_1, ui->optInternetMode_2};

    schedules::Schedule_Controls controls;
    controls.fraScheduler = ui->fraInternetScheduler;
    controls.picContainer = ui->picIScheduleContainer;
    controls.cboScheduler = ui->cboScheduler;
    controls.dtpkFromTime = ui->dtpkFromTime;
    controls.dtpkToTime = ui->dtpkToTime;
    controls.cboDay = ui->cboDay;
    controls.cboMonths = ui->cboMonths;
    controls.lblDayMonths = ui->lblDayMonths;
    controls.lvwSchedules = ui->lvwInternetScheduler;
    controls.cmAdd = ui->cmAdd;
    controls.cmdEdit = ui->cmdEdit;
    controls.cmdRemove = ui->cmdRemove;
    controls.cmdCopySettings = ui->cmdCopySettings;
    controls.cmdClose = ui->cmdClose;
    Bind_Controls(controls);

    for (int i = 0; i < 3; ++i)
        connect(optInternetMode[static_cast<size_t>(i)], &QRadioButton::clicked, this, [this, i] { optInternetMode_Click(i); });
    connect(ui->cmdApply, &QPushButton::clicked, this, &frmInternetScheduler::cmdApply_Click);

    resize(500, 520);
    if (Owner_Stored_At_Open()) Form_Load();
}

frmInternetScheduler::~frmInternetScheduler() = default;

void frmInternetScheduler::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Set_Tooltips();
        Init_Pickers();
        Load_Schedules();
        Load_Images();
        const long lngSchFor = Read_Schedule_For();
        Set_Controls_State();
        Show_Internet_Mode(lngSchFor);
        // What was read is not a change: nothing to apply yet.
        ui->cmdApply->setEnabled(false);
    });
}

// The schedules and the internet mode as stored; a mode chosen but not applied yet stays
// chosen, with its Apply and its question on closing.
void frmInternetScheduler::Load_Stored() {
    frmScheduleEditorBase::Load_Stored();
    if (ui->cmdApply->isEnabled()) return;
    Error_Block([&] {
        Show_Internet_Mode(Read_Schedule_For());
        ui->cmdApply->setEnabled(false);
    });
}

long frmInternetScheduler::Read_Schedule_For() {
    const Policy_Owner owner = Owner();
    long lngSchFor = 0;
    if (!modDBFunctions::Get_Schedule_For(owner.lngComputerID, owner.lngUserID, lngSchFor)) lngSchFor = 0;
    return lngSchFor;
}

void frmInternetScheduler::Show_Internet_Mode(long lngSchFor) {
    const Policy_Owner owner = Owner();
    int intOption = -1;
    if (lngSchFor == Internet_Control::INTERNET_CONTROL_MANUAL) {
        // A failed read leaves 0: the internet counts as turned off.
        long lngOnOff = 0;
        modDBFunctions::Get_Internet_On_Off(owner.lngComputerID, owner.lngUserID, lngOnOff);
        intOption = lngOnOff != 0 ? 0 : 1;
    } else if (lngSchFor == Internet_Control::INTERNET_CONTROL_SCHEDULER) {
        if (modDBFunctions::Is_Feature_Bit_Set(owner.lngComputerID, owner.lngUserID, FEATURE_INTERNET_SCHEDULER))
            intOption = 2;
    }
    Show_Option(intOption);
}

void frmInternetScheduler::Show_Option(int intOption) {
    m_intStoredOption = intOption;
    if (intOption >= 0) {
        optInternetMode[static_cast<size_t>(intOption)]->setChecked(true);
        optInternetMode_Click(intOption);
    } else {
        // No stored mode: no option chosen (exclusive options cannot all be cleared one by one).
        for (QRadioButton* pOption : optInternetMode) pOption->setAutoExclusive(false);
        for (QRadioButton* pOption : optInternetMode) pOption->setChecked(false);
        for (QRadioButton* pOption : optInternetMode) pOption->setAutoExclusive(true);
    }
}

void frmInternetScheduler::Load_Images() {
    const char* keys[] = {"InternetON", "InternetOFF", "InternetScheduler"};
    QLabel* pictures[] = {ui->picInternetMode_0, ui->picInternetMode_1, ui->picInternetMode_2};
    for (int i = 0; i < 3; ++i)
        pictures[i]->setPixmap(Schedule_Images().value(QLatin1String(keys[i])).pixmap(24, 24));
    ui->cmdCopySettings->setIcon(Schedule_Images().value(QStringLiteral("Copy Settings")));
}

void frmInternetScheduler::Set_Controls_State() {
    frmScheduleEditorBase::Set_Controls_State();
    const bool blnEnabled = !modGlobal::Is_Remote_Mode;
    for (QRadioButton* pOption : optInternetMode) pOption->setEnabled(blnEnabled);
    ui->cmdApply->setEnabled(blnEnabled);
}

void frmInternetScheduler::lvwInternetScheduler_GotFocus() {
    Error_Block([&] { Schedule_List_GotFocus(); });
}

bool frmInternetScheduler::Schedule_Refused(const QString& strType, const QString& strDay, const QString& strMonth,
                                            const QString& strFromTime, const QString& strToTime) {
    return Check_Schedule_Exists(strType, strDay, strMonth, strFromTime, strToTime);
}

bool frmInternetScheduler::Check_Schedule_Exists(const QString& strType, const QString& strDay, const QString& strMonth,
                                                 const QString& strFromTime, const QString& strToTime) {
    bool blnExists = false;
    Error_Block([&] {
        const platform::ListView& list = *ui->lvwInternetScheduler;
        const bool blnDaily = strType == QLatin1String("Daily");
        const bool blnDays = strType == QLatin1String("Weekly") || strType == QLatin1String("Monthly");
        for (long i = 1; i <= list.Count() && !blnExists; ++i) {
            if (list.Text(i) != strType || list.SubItem(i, 1) != strFromTime || list.SubItem(i, 2) != strToTime) continue;
            const QString strDayMonth = list.SubItem(i, 3);
            blnExists = blnDaily || (blnDays && (strDay == strDayMonth || strMonth == strDayMonth));
        }
    });
    return blnExists;
}

// ---------------------------------------------------------------- internet mode

void frmInternetScheduler::optInternetMode_Click(int) { ui->cmdApply->setEnabled(true); }

void frmInternetScheduler::cmdApply_Click() {
    Error_Block([&] {
        const Policy_Owner owner = Owner();
        int intChosen = -1;
        for (int i = 0; i < 3; ++i)
            if (optInternetMode[static_cast<size_t>(i)]->isChecked()) intChosen = i;
        // Every write of the mode is stored, or none: a refusal (reported) keeps the
        // choice on screen with Apply on, for a retry.
        const modDB::Row_Write written = modDBFunctions::Set_Internet_Mode(owner.lngComputerID, owner.lngUserID, intChosen);
        if (!schedules::Apply_Stored(written, *ui->cmdApply)) return;
        m_intStoredOption = intChosen;
        Console().Get_Internet_Mode();
    });
}

void frmInternetScheduler::Form_QueryUnload(int& Cancel, int) {
    Error_Block([&] {
        if (!ui->cmdApply->isEnabled()) return;
        if (platform::Message_Boxes().Show(QStringLiteral("Are you sure you want to close without saving the changes?"),
                                           36, QStringLiteral("DravinoleTS")) == platform::vbNo)
            Cancel = 1;
    });
}

void frmInternetScheduler::reject() {
    int Cancel = 0;
    Form_QueryUnload(Cancel, 0);
    if (!Cancel) frmScheduleEditorBase::reject();
}
