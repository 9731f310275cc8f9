#include "schedules/frmApplicationScheduler.h"

#include "database/ValueSets.h"
#include "platform/Controls.h"
#include "services/ErrorHandler.h"
#include "services/TimeOfDay.h"
#include "services/modCommonFuns.h"
#include "ui_frmApplicationScheduler.h"

namespace {

schedules::Schedule_Config Application_Schedules() {
    schedules::Schedule_Config config;
    config.lngScheduleFor = Schedule_For::SCHEDULE_FOR_APPLICATION;
    config.lngSubType = Schedule_Sub_Type::SUB_TYPE_APPLICATION;
    config.strIcon = QStringLiteral("AppScheduler");
    config.strCaption = QStringLiteral("Application Scheduler");
    config.strCopyFeature = QStringLiteral("Application Scheduler");
    config.strToTimeMessage = QStringLiteral("'To' time should be greater than or equal to 'From' time!");
    config.strRefusedMessage = QStringLiteral("Schedule cannot be overlapped!");
    config.lngThreshold = 11;
    config.blnRemoveResetsPickers = false;
    config.blnListsCloseOnLostFocus = false;
    config.blnTagOnlyDuringEdit = true;
    config.strSchedulerTip = QStringLiteral("Select the Scheduler type");
    config.strFromTip = QStringLiteral("Select the 'From' time");
    config.strToTip = QStringLiteral("Select the 'To' time");
    config.strDayTip = QStringLiteral("Select the Days");
    config.strMonthTip = QStringLiteral("Select the Months");
    return config;
}

// The sum of the flags (1, 2, 4 ...) of the names whose first three characters occur in the text.
long Short_Names_To_Mask(const QString& strText, const QStringList& names) {
    long lngMask = 0;
    for (int i = 0; i < names.size(); ++i)
        if (strText.contains(names[i].left(3), Qt::CaseSensitive)) lngMask += 1L << i;
    return lngMask;
}

}  // namespace

frmApplicationScheduler::frmApplicationScheduler(Console_Link& console, QWidget* parent)
    : frmScheduleEditorBase(console, Application_Schedules(), parent), ui(std::make_unique<Ui::frmApplicationScheduler>()) {
    ui->setupUi(this);

    schedules::Schedule_Controls controls;
    controls.fraScheduler = ui->fraApplicationScheduler;
    controls.picContainer = ui->picAppSchedulerContainer;
    controls.cboScheduler = ui->cboScheduler;
    controls.dtpkFromTime = ui->dtpkFromTime;
    controls.dtpkToTime = ui->dtpkToTime;
    controls.cboDay = ui->cboDay;
    controls.cboMonths = ui->cboMonths;
    controls.lblDayMonths = ui->lblDayMonths;
    controls.lvwSchedules = ui->lvwApplicationScheduler;
    controls.cmAdd = ui->cmAdd;
    controls.cmdEdit = ui->cmdEdit;
    controls.cmdRemove = ui->cmdRemove;
    controls.cmdCopySettings = ui->cmdCopySettings;
    controls.cmdClose = ui->cmdClose;
    Bind_Controls(controls);

    m_enableBox = std::make_unique<lists::Feature_Enable_Box>(*ui->chkEnableApplicationScheduler, FEATURE_APP_SCHEDULER,
                                                             QStringLiteral("Application Scheduler"),
                                                             [this] { return Owner(); });
    connect(ui->chkEnableApplicationScheduler, &QCheckBox::toggled, this,
            &frmApplicationScheduler::chkEnableApplicationScheduler_Click);

    resize(500, 420);
    if (Owner_Stored_At_Open()) Form_Load();
}

frmApplicationScheduler::~frmApplicationScheduler() = default;

void frmApplicationScheduler::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Set_Tooltips();
        Init_Pickers();
        Load_Schedules();
        Set_Controls_State();
        Load_Images();
        m_enableBox->Load();
    });
}

void frmApplicationScheduler::Load_Stored() {
    frmScheduleEditorBase::Load_Stored();
    Error_Block([&] { m_enableBox->Show_Stored(); });
}

void frmApplicationScheduler::Set_Tooltips() {
    frmScheduleEditorBase::Set_Tooltips();
    ui->chkEnableApplicationScheduler->setToolTip(QStringLiteral("Click to enable or disable the Application Scheduler"));
}

void frmApplicationScheduler::Load_Images() {
    ui->cmdCopySettings->setIcon(Schedule_Images().value(QStringLiteral("Copy Settings")));
}

void frmApplicationScheduler::Set_Controls_State() {
    frmScheduleEditorBase::Set_Controls_State();
    ui->chkEnableApplicationScheduler->setEnabled(!modGlobal::Is_Remote_Mode);
}

void frmApplicationScheduler::chkEnableApplicationScheduler_Click() { m_enableBox->Click(); }

void frmApplicationScheduler::lvwApplicationScheduler_GotFocus() {
    Error_Block([&] { Schedule_List_GotFocus(); });
}

long frmApplicationScheduler::Weekdays_Text_To_Mask(const QString& strText) {
    long lngMask = 0;
    Error_Block([&] { lngMask = Short_Names_To_Mask(strText, modCommonFuns::Weekday_Names()); });
    return lngMask;
}

long frmApplicationScheduler::Months_Text_To_Mask(const QString& strText) {
    long lngMask = 0;
    Error_Block([&] { lngMask = Short_Names_To_Mask(strText, modCommonFuns::Month_Names()); });
    return lngMask;
}

bool frmApplicationScheduler::Schedule_Refused(const QString& strType, const QString& strDay, const QString& strMonth,
                                               const QString& strFromTime, const QString& strToTime) {
    return Check_Schedule_Overlap(strType, strDay, strMonth, strFromTime, strToTime);
}

bool frmApplicationScheduler::Check_Schedule_Overlap(const QString& strType, const QString& strDay,
                                                     const QString& strMonth, const QString& strFromTime,
                                                     const QString& strToTime) {
    bool blnOverlap = false;
    Error_Block([&] {
        const platform::ListView& list = *ui->lvwApplicationScheduler;
        const QTime timeFrom = Time_Of_Day(strFromTime);
        const QTime timeTo = Time_Of_Day(strToTime);
        // Outside an edit the Tag is empty and no row is passed over.
        const QString strEditedID = platform::Get_Tag(ui->cboScheduler);
        const QString DAILY = QStringLiteral("Daily");
        bool blnFound = false;
        for (long i = 1; i <= list.Count(); ++i) {
            // A row listed with a time that is no time of day ("24:00", "") holds no
            // window to compare: it is passed over, and an overlap found on another row
            // still refuses the schedule.
            QTime rowFrom, rowTo;
            if (!Silent_Error_Block([&] {
                    rowFrom = Time_Of_Day(list.SubItem(i, 1));
                    rowTo = Time_Of_Day(list.SubItem(i, 2));
                }))
                continue;
            // Windows that only touch do not overlap.
            const bool blnTime = timeFrom < rowTo && timeTo > rowFrom;
            const bool blnOther = list.Tag(i) != strEditedID;
            bool blnDays = true;
            const QString strRowType = list.Text(i);
            if (strType != DAILY && strRowType == strType && strRowType != DAILY) {
                const QString strRowDays = list.SubItem(i, 3);
                blnDays = (Weekdays_Text_To_Mask(strRowDays) & Weekdays_Text_To_Mask(strDay)) != 0 ||
                          (Months_Text_To_Mask(strRowDays) & Months_Text_To_Mask(strMonth)) != 0;
            }
            if (blnTime && blnOther && blnDays) blnFound = true;
        }
        blnOverlap = blnFound;
    });
    return blnOverlap;
}
