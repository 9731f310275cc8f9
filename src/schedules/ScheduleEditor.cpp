#include "schedules/ScheduleEditor.h"

#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "services/ErrorHandler.h"
#include "services/ListHelpers.h"
#include "services/TimeOfDay.h"
#include "services/modCommonFuns.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QToolButton>
#include <algorithm>

// Resources of a static library are registered by hand, outside any namespace.
static void Init_Schedule_Resources() { Q_INIT_RESOURCE(schedules); }

namespace schedules {

using platform::ListView;

namespace {

const QString TITLE = QStringLiteral("DravinoleTS");
const QString DAILY = QStringLiteral("Daily");
const QString WEEKLY = QStringLiteral("Weekly");
// Room in pixels above and below each row of the day and month check lists, between
// their check boxes.
constexpr int CHECK_LIST_ROW_PADDING = 3;

int Ask(const QString& strText, long lngStyle) { return platform::Message_Boxes().Show(strText, lngStyle, TITLE); }


// Focus moved by the administrator, not by another window coming and going.
bool Is_Own_Focus_Change(QEvent* event) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

QString Picker_Text(const QTimeEdit& picker) { return picker.time().toString(SHORT_TIME_FORMAT); }

void Set_Picker_Text(QTimeEdit& picker, const QString& strTime) {
    const QTime time = Time_Of_Day(strTime);
    picker.setTime(QTime(time.hour(), time.minute()));
}

// ---------------------------------------------------------------- the family base

frmScheduleEditorBase::frmScheduleEditorBase(Console_Link& console, Schedule_Config config, QWidget* parent)
    : frmListEditorBase(console, parent), m_config(std::move(config)) {}

frmScheduleEditorBase::~frmScheduleEditorBase() {
    // No focus or key event may reach the handlers of a member that is gone.
    for (QObject* pChild : findChildren<QObject*>()) pChild->removeEventFilter(this);
}

const platform::Image_List& frmScheduleEditorBase::Schedule_Images() {
    static const platform::Image_List images = [] {
        Init_Schedule_Resources();
        platform::Image_List list;
        list.insert(QStringLiteral("Copy Settings"), lists::frmListEditorBase::Images().value(QStringLiteral("Copy Settings")));
        const std::pair<const char*, const char*> keys[] = {
            {"InternetScheduler", "internet_scheduler"},
            {"AppScheduler", "app_scheduler"},
            {"InternetON", "internet_on"},
            {"InternetOFF", "internet_off"},
        };
        for (const auto& [strKey, strFile] : keys)
            list.insert(QString::fromLatin1(strKey),
                        QIcon(QStringLiteral(":/schedules/icons/%1.svg").arg(QLatin1String(strFile))));
        return list;
    }();
    return images;
}

void frmScheduleEditorBase::Bind_Controls(const Schedule_Controls& controls) {
    m_c = controls;
    Finish_Setup();

    m_c.cboScheduler->addItems({DAILY, WEEKLY, QStringLiteral("Monthly")});
    for (QTimeEdit* pPicker : {m_c.dtpkFromTime, m_c.dtpkToTime}) pPicker->setDisplayFormat(SHORT_TIME_FORMAT);

    // The drop-down check lists float over the dialog under cboDay and cboMonths.
    const auto make_check_list = [this](const char* strName) {
        auto* pList = new ListView(this);
        pList->setObjectName(QLatin1String(strName));
        pList->Item_View()->setObjectName(QLatin1String(strName) + QStringLiteral("_view"));
        pList->Set_Checkboxes(true);
        pList->Set_Hide_Column_Headers(true);
        pList->Add_Column(QString(), 0);
        pList->Set_Check_Boxes_Take_Clicks(false);
        // A drop-down look: a plain line around the list, sets it apart from the
        // schedule list beneath, and rows with room between their check boxes.
        QAbstractItemView* pView = pList->Item_View();
        pView->setFrameShape(QFrame::Box);
        pView->setFrameShadow(QFrame::Plain);
        pView->setLineWidth(1);
        pList->Set_Row_Padding(CHECK_LIST_ROW_PADDING);
        pList->setVisible(false);
        return pList;
    };
    lvwDays = make_check_list("lvwDays");
    lvwMonths = make_check_list("lvwMonths");
    setTabOrder(m_c.cboMonths, lvwDays);
    setTabOrder(lvwDays, lvwMonths);
    setTabOrder(lvwMonths, m_c.cmAdd);

    ListView& list = *m_c.lvwSchedules;
    for (const char* strColumn : {"Scheduler", "From", "To", "Day/Months"}) list.Add_Column(QLatin1String(strColumn), 0);
    list.Set_Multi_Select(true);
    list.Set_Image_List(&Schedule_Images());
    m_allowance = std::make_unique<lists::Column_Allowance>(list, 4, m_config.lngThreshold);

    connect(m_c.cboScheduler, &QComboBox::currentIndexChanged, this, [this] { cboScheduler_Click(); });
    connect(lvwDays, &ListView::ItemClick, this, &frmScheduleEditorBase::lvwDays_ItemClick);
    connect(lvwDays, &ListView::ItemCheck, this, &frmScheduleEditorBase::lvwDays_ItemCheck);
    connect(lvwMonths, &ListView::ItemClick, this, &frmScheduleEditorBase::lvwMonths_ItemClick);
    connect(lvwMonths, &ListView::ItemCheck, this, &frmScheduleEditorBase::lvwMonths_ItemCheck);
    connect(m_c.cmAdd, &QPushButton::clicked, this, &frmScheduleEditorBase::cmAdd_Click);
    connect(m_c.cmdEdit, &QPushButton::clicked, this, &frmScheduleEditorBase::cmdEdit_Click);
    connect(m_c.cmdRemove, &QPushButton::clicked, this, &frmScheduleEditorBase::cmdRemove_Click);
    connect(m_c.cmdCopySettings, &QToolButton::clicked, this, &frmScheduleEditorBase::cmdCopySettings_Click);
    connect(m_c.cmdClose, &QPushButton::clicked, this, &frmScheduleEditorBase::cmdClose_Click);

    // Focus changes, the combo boxes' own pop-ups, and Esc anywhere in the dialog.
    for (QObject* pControl : std::initializer_list<QObject*>{m_c.cboDay, m_c.cboMonths, lvwDays->Item_View(),
                                                             lvwMonths->Item_View(), list.Item_View()})
        pControl->installEventFilter(this);
    for (QWidget* pChild : findChildren<QWidget*>()) pChild->installEventFilter(this);
}

bool frmScheduleEditorBase::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                int KeyAscii = 27;
                Form_KeyPress(KeyAscii);
                if (KeyAscii == 0) return true;
            }
            break;
        case QEvent::FocusIn:
            if (!Is_Own_Focus_Change(event)) break;
            if (watched == m_c.cboDay) cboDay_GotFocus();
            else if (watched == m_c.cboMonths) cboMonths_GotFocus();
            else if (watched == m_c.lvwSchedules->Item_View()) Schedule_List_Focus_Handler();
            break;
        case QEvent::FocusOut:
            if (!Is_Own_Focus_Change(event)) break;
            if (watched == lvwDays->Item_View()) lvwDays_LostFocus();
            else if (watched == lvwMonths->Item_View()) lvwMonths_LostFocus();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // The day and month boxes drop down their check lists, never a list of their own.
            if (watched == m_c.cboDay || watched == m_c.cboMonths) return true;
            break;
        default: break;
    }
    return frmListEditorBase::eventFilter(watched, event);
}

// ---------------------------------------------------------------- loading

void frmScheduleEditorBase::Set_Caption_And_Columns() {
    setWindowTitle(m_config.strCaption + " - " + Owner_Name());
    Activate_Layouts();
    ListView& list = *m_c.lvwSchedules;
    const double dblType = platform::Pixels_To_Twips(m_c.cboScheduler->width(), &list);
    const double dblFrom = platform::Pixels_To_Twips(m_c.dtpkFromTime->width(), &list);
    const double dblTo = platform::Pixels_To_Twips(m_c.dtpkToTime->width(), &list);
    list.Set_Column_Width(1, dblType);
    list.Set_Column_Width(2, dblFrom);
    list.Set_Column_Width(3, dblTo);
    m_allowance->Set_Base_Width(lists::List_Inner_Width_Twips(list) - dblType - dblFrom - dblTo - 20);
}

void frmScheduleEditorBase::Set_Tooltips() {
    m_c.cboScheduler->setToolTip(m_config.strSchedulerTip);
    m_c.dtpkFromTime->setToolTip(m_config.strFromTip);
    m_c.dtpkToTime->setToolTip(m_config.strToTip);
    m_c.cboDay->setToolTip(m_config.strDayTip);
    m_c.cboMonths->setToolTip(m_config.strMonthTip);
}

void frmScheduleEditorBase::Init_Pickers() {
    Error_Block([&] {
        Select_Type(0);
        const QTime now = platform::Clock().Now().time();
        for (QTimeEdit* pPicker : {m_c.dtpkFromTime, m_c.dtpkToTime}) pPicker->setTime(QTime(now.hour(), now.minute()));
        lvwDays->Clear();
        lvwMonths->Clear();
        modCommonFuns::Fill_Weekdays_In_ListView(*lvwDays);
        modCommonFuns::Fill_Months_In_ListView(*lvwMonths);
    });
}

void frmScheduleEditorBase::Load_Schedules() {
    Error_Block([&] {
        const Policy_Owner owner = Owner();
        modDB::Query_Result arrResult;
        long lngRows = 0;
        if (modDBFunctions::Get_Schedules(m_config.lngScheduleFor, owner.lngComputerID, owner.lngUserID, arrResult,
                                          lngRows)) {
            // A row holding a value that cannot be read is passed over, so that it hides
            // no other row; it stays stored and counts for the limit.
            m_lngUnlistedRows = modCommonFuns::List_Readable_Rows(
                *m_c.lvwSchedules, lngRows, [&](long r, platform::List_Item& item) {
                    item.strTag = arrResult.Value(r, 0);
                    modCommonFuns::Schedule_Type_To_Text(arrResult.Long_Value(r, 1), item.strText);
                    item.strSmallIcon = m_config.strIcon;
                    QString strDayMonth;
                    const long lngWeekdays = arrResult.Long_Value(r, 4);
                    if (lngWeekdays >= 1) modCommonFuns::Weekdays_To_Text(lngWeekdays, strDayMonth);
                    else modCommonFuns::Months_To_Text(arrResult.Long_Value(r, 5), strDayMonth);
                    item.subItems = {Short_Time(arrResult.Value(r, 2)), Short_Time(arrResult.Value(r, 3)), strDayMonth};
                });
        }
        m_allowance->Update();
    });
}

void frmScheduleEditorBase::Set_Controls_State() {
    Error_Block([&] {
        const bool blnEnabled = !modGlobal::Is_Remote_Mode;
        for (QWidget* pControl : std::initializer_list<QWidget*>{m_c.cmAdd, m_c.cmdEdit, m_c.cmdRemove, m_c.cboScheduler,
                                                                 m_c.dtpkFromTime, m_c.dtpkToTime, m_c.cboDay,
                                                                 m_c.cboMonths})
            pControl->setEnabled(blnEnabled);
    });
}

// ---------------------------------------------------------------- type and check lists

void frmScheduleEditorBase::Select_Type(int intIndex) {
    if (m_c.cboScheduler->currentIndex() == intIndex) cboScheduler_Click();
    else m_c.cboScheduler->setCurrentIndex(intIndex);
}

void frmScheduleEditorBase::cboScheduler_Click() {
    Error_Block([&] {
        const int intIndex = m_c.cboScheduler->currentIndex();
        m_c.lblDayMonths->setVisible(intIndex != 0);
        m_c.cboDay->setVisible(intIndex == 1);
        m_c.cboMonths->setVisible(intIndex != 0 && intIndex != 1);
        Reset_Pickers();
    });
}

void frmScheduleEditorBase::Reset_Pickers() {
    Error_Block([&] {
        Hide_Check_Lists();
        m_c.cboDay->clear();
        m_c.cboMonths->clear();
        modCommonFuns::Uncheck_All_ListView_Items(*lvwDays, *lvwMonths);
    });
}

void frmScheduleEditorBase::Hide_Check_Lists() {
    lvwDays->setVisible(false);
    lvwMonths->setVisible(false);
}

void frmScheduleEditorBase::Show_Check_List(ListView& shown, ListView& hidden) {
    hidden.setVisible(false);
    // Its top-left corner at the bottom-left corner of the combo box, in the dialog.
    QComboBox& combo = &shown == lvwDays ? *m_c.cboDay : *m_c.cboMonths;
    const QPoint corner = combo.mapTo(this, QPoint(0, combo.height()));
    QAbstractItemView* pView = shown.Item_View();
    const int intHint = pView->sizeHintForRow(0);
    const int intRow = intHint > 0 ? intHint : combo.fontMetrics().height() + 4;
    const int intRows = std::min<int>(static_cast<int>(shown.Count()), 12);
    int intHeight = intRow * std::max(intRows, 1) + 2 * pView->frameWidth() + 2;
    intHeight = std::min(intHeight, std::max(height() - corner.y(), intRow * 3));
    const int intWidth = std::max(combo.width(), 130);
    shown.setGeometry(corner.x(), corner.y(), intWidth, intHeight);
    // One column as wide as the list inside its frame.
    shown.Set_Column_Width(1, platform::Pixels_To_Twips(intWidth - 2 * pView->frameWidth(), &shown));
    shown.setVisible(true);
    shown.raise();
    shown.setFocus(Qt::OtherFocusReason);
}

void frmScheduleEditorBase::cboDay_GotFocus() {
    Error_Block([&] { Show_Check_List(*lvwDays, *lvwMonths); });
}

void frmScheduleEditorBase::cboMonths_GotFocus() {
    Error_Block([&] { Show_Check_List(*lvwMonths, *lvwDays); });
}

void frmScheduleEditorBase::Rebuild_Combo_Text(QComboBox& combo, const ListView& list) {
    combo.clear();
    QString strText;
    modCommonFuns::Checked_Items_To_Text(strText, list);
    combo.addItem(strText);
    combo.setCurrentIndex(0);
}

void frmScheduleEditorBase::Click_On_Check_List(ListView& list, QComboBox& combo, long lngIndex) {
    Error_Block([&] {
        if (lngIndex >= 1 && lngIndex <= list.Count() && list.Selected(lngIndex))
            list.Set_Checked(lngIndex, !list.Checked(lngIndex));
        Rebuild_Combo_Text(combo, list);
    });
}

void frmScheduleEditorBase::lvwDays_ItemClick(long lngIndex) { Click_On_Check_List(*lvwDays, *m_c.cboDay, lngIndex); }
void frmScheduleEditorBase::lvwMonths_ItemClick(long lngIndex) {
    Click_On_Check_List(*lvwMonths, *m_c.cboMonths, lngIndex);
}

void frmScheduleEditorBase::lvwDays_ItemCheck(long) {
    Error_Block([&] { Rebuild_Combo_Text(*m_c.cboDay, *lvwDays); });
}

void frmScheduleEditorBase::lvwMonths_ItemCheck(long) {
    Error_Block([&] { Rebuild_Combo_Text(*m_c.cboMonths, *lvwMonths); });
}

void frmScheduleEditorBase::lvwDays_LostFocus() {
    if (m_config.blnListsCloseOnLostFocus) Error_Block([&] { Hide_Check_Lists(); });
}

void frmScheduleEditorBase::lvwMonths_LostFocus() { lvwDays_LostFocus(); }

void frmScheduleEditorBase::Schedule_List_GotFocus() {
    Hide_Check_Lists();
    m_c.cmdEdit->setText(QStringLiteral("Edit"));
    m_c.cmAdd->setText(QStringLiteral("Add"));
    m_c.cmdRemove->setEnabled(!modGlobal::Is_Remote_Mode);
    if (m_config.blnTagOnlyDuringEdit) platform::Set_Tag(m_c.cboScheduler, QString());
}

// ---------------------------------------------------------------- add, save, edit, remove

modDB::Row_Write frmScheduleEditorBase::Add_Schedule_To_DB(const QString& strType, const QString&, const QString&,
                                                           const QString& strFromTime, const QString& strToTime,
                                                           modDB::Query_Result& arrResult) {
    modDB::Row_Write result;
    Error_Block([&] {
        long lngDWM = 0, lngWeekdays = 0, lngMonths = 0;
        modCommonFuns::Schedule_Text_To_Type(strType, lngDWM);
        if (!modCommonFuns::Checked_Items_To_Bits(lngWeekdays, *lvwDays) ||
            !modCommonFuns::Checked_Items_To_Bits(lngMonths, *lvwMonths))
            return;
        const Policy_Owner owner = Owner();
        result = modDBFunctions::Add_Schedule(m_config.lngScheduleFor, m_config.lngSubType, lngDWM, lngWeekdays,
                                              lngMonths, strFromTime, strToTime, owner.lngComputerID, owner.lngUserID,
                                              arrResult);
    });
    return result;
}

modDB::Row_Write frmScheduleEditorBase::Update_Schedule_In_DB(long lngSchID, const QString& strType, const QString&,
                                                              const QString&, const QString& strFromTime,
                                                              const QString& strToTime) {
    modDB::Row_Write result;
    Error_Block([&] {
        long lngDWM = 0, lngWeekdays = 0, lngMonths = 0;
        modCommonFuns::Schedule_Text_To_Type(strType, lngDWM);
        if (!modCommonFuns::Checked_Items_To_Bits(lngWeekdays, *lvwDays) ||
            !modCommonFuns::Checked_Items_To_Bits(lngMonths, *lvwMonths))
            return;
        result = modDBFunctions::Update_Schedule(lngSchID, m_config.lngSubType, lngDWM, lngWeekdays, lngMonths,
                                                 strFromTime, strToTime);
    });
    return result;
}

void frmScheduleEditorBase::Show_Stored_Schedules() {
    lists::Show_Stored_Rows(*m_c.lvwSchedules, nullptr, [&] {
        Load_Schedules();
        return true;
    });
}

void frmScheduleEditorBase::End_Edit() {
    Reset_Pickers();
    m_c.cmAdd->setText(QStringLiteral("Add"));
    m_c.cmdEdit->setText(QStringLiteral("Edit"));
    m_c.cmdRemove->setEnabled(true);
    if (m_config.blnTagOnlyDuringEdit) platform::Set_Tag(m_c.cboScheduler, QString());
}

void frmScheduleEditorBase::cmAdd_Click() {
    Error_Block([&] {
        ListView& list = *m_c.lvwSchedules;
        const QString strFromTime = Picker_Text(*m_c.dtpkFromTime);
        const QString strToTime = Picker_Text(*m_c.dtpkToTime);
        const QString strType = m_c.cboScheduler->currentText();
        const QString strDay = m_c.cboDay->currentText();
        const QString strMonth = m_c.cboMonths->currentText();

        // Both texts are "HH:mm": comparing them as texts orders them as times.
        if (QString::compare(strFromTime, strToTime, Qt::CaseSensitive) > 0) {
            Ask(m_config.strToTimeMessage, 48);
        } else {
            QString strDayMonth;
            if (strType != DAILY) {
                modCommonFuns::Checked_Items_To_Text(strDayMonth, strType == WEEKLY ? *lvwDays : *lvwMonths);
                if (strDayMonth.isEmpty()) return;
            }
            const QString strCaption = m_c.cmAdd->text();
            if (Schedule_Refused(strType, strDay, strMonth, strFromTime, strToTime)) {
                Ask(m_config.strRefusedMessage, 48);
            } else if (strCaption == QLatin1String("Add")) {
                // Every stored row counts, those the list cannot show included.
                if (list.Count() + m_lngUnlistedRows >= MAX_SCHEDULES) {
                    Ask("You cannot add more than " + QString::number(MAX_SCHEDULES) + " Schedules.!", 48);
                } else {
                    modDB::Query_Result arrResult;
                    const modDB::Row_Write added =
                        Add_Schedule_To_DB(strType, strDay, strMonth, strFromTime, strToTime, arrResult);
                    if (added.Not_Stored()) {  // the owner is gone: nothing was stored
                        Owner_Gone();
                        return;
                    }
                    if (added) {
                        // The read-back lists every identical schedule of the owner; the one
                        // just inserted has the highest id.
                        long lngSchID = arrResult.Long_Value(1, 0);
                        for (int r = 2; r <= arrResult.Rows(); ++r) lngSchID = std::max(lngSchID, arrResult.Long_Value(r, 0));
                        const long lngRow = list.Add(strType, QString(), m_config.strIcon);
                        list.Set_Tag(lngRow, QString::number(lngSchID));
                        list.Set_SubItem(lngRow, 1, strFromTime);
                        list.Set_SubItem(lngRow, 2, strToTime);
                        list.Set_SubItem(lngRow, 3, strDayMonth);
                        m_allowance->Update();
                        Reset_Pickers();
                    }
                }
            } else if (strCaption == QLatin1String("Save")) {
                // The schedule edited is the one whose id the edit holds: the list may
                // have been shown again since the edit began (after a copy onto the owner).
                const long lngSchID = modDB::To_Long(platform::Get_Tag(m_c.cboScheduler));
                const long lngRow = Listed_Schedule(lngSchID);
                const modDB::Row_Write saved =
                    Update_Schedule_In_DB(lngSchID, strType, strDay, strMonth, strFromTime, strToTime);
                if (saved && lngRow != 0) {
                    list.Set_Text(lngRow, strType);
                    list.Set_SubItem(lngRow, 1, strFromTime);
                    list.Set_SubItem(lngRow, 2, strToTime);
                    list.Set_SubItem(lngRow, 3, strType == DAILY ? QString() : (strType == WEEKLY ? strDay : strMonth));
                } else if (saved || saved.Not_Stored()) {
                    Show_Stored_Schedules();
                }
                End_Edit();
            }
        }
        m_c.cboScheduler->setFocus();
    });
}

void frmScheduleEditorBase::cmdEdit_Click() {
    Error_Block([&] {
        ListView& list = *m_c.lvwSchedules;
        const QString strCaption = m_c.cmdEdit->text();
        if (strCaption == QLatin1String("Edit")) {
            const std::vector<long> selected = list.Selected_Items();
            if (!selected.empty()) {
                const long lngRow = selected.front();
                // A row listed with a time that is no time of day cannot be edited: its
                // error is reported before anything of the edit begins.
                Time_Of_Day(list.SubItem(lngRow, 1));
                Time_Of_Day(list.SubItem(lngRow, 2));
                platform::Set_Tag(m_c.cboScheduler, list.Tag(lngRow));
                const int intType = m_c.cboScheduler->findText(list.Text(lngRow));
                if (intType < 0) throw Run_Time_Error(383, QStringLiteral("'Text' property is read-only"));
                // Choosing the type shows its picker and resets the pickers, also when
                // the type stays the same, so that no earlier tick survives.
                Select_Type(intType);
                Set_Picker_Text(*m_c.dtpkFromTime, list.SubItem(lngRow, 1));
                Set_Picker_Text(*m_c.dtpkToTime, list.SubItem(lngRow, 2));
                const QString strDayMonth = list.SubItem(lngRow, 3);
                if (intType == 1) {
                    m_c.cboDay->addItem(strDayMonth);
                    m_c.cboDay->setCurrentIndex(0);
                    modCommonFuns::Check_Weekday_Items_From_Text(strDayMonth, *lvwDays);
                } else if (intType == 2) {
                    m_c.cboMonths->addItem(strDayMonth);
                    m_c.cboMonths->setCurrentIndex(0);
                    modCommonFuns::Check_Month_Items_From_Text(strDayMonth, *lvwMonths);
                }
                m_c.cmdEdit->setText(QStringLiteral("Cancel"));
                m_c.cmAdd->setText(QStringLiteral("Save"));
                m_c.cmdRemove->setEnabled(false);
            }
        } else if (strCaption == QLatin1String("Cancel")) {
            End_Edit();
        }
        m_c.cboScheduler->setFocus();
    });
}

void frmScheduleEditorBase::cmdRemove_Click() {
    Error_Block([&] {
        ListView& list = *m_c.lvwSchedules;
        if (list.Count() == 0) return;
        if (m_config.blnRemoveResetsPickers) Reset_Pickers();
        if (Ask(QStringLiteral("Are you sure you want to delete the selected Schedule(s)?"), 36) != platform::vbYes)
            return;
        const long lngCount = list.Count();
        for (long i = 1; i <= lngCount && i <= list.Count(); ++i) {
            if (!list.Selected(i)) continue;
            // A refused delete has been reported; it ends the walk, so one failure
            // gives one box, and the rows not deleted stay listed. One that found no row
            // shows that what is listed is not stored: the list shows the table again.
            const modDB::Row_Write deleted = modDBFunctions::Delete_Schedule(modDB::To_Long(list.Tag(i)));
            if (!deleted) {
                if (deleted.Not_Stored()) Show_Stored_Schedules();
                break;
            }
            list.Remove(i);
            --i;
            m_allowance->Update();
        }
    });
}

void frmScheduleEditorBase::cmdCopySettings_Click() { Copy_Settings(m_config.strCopyFeature); }

void frmScheduleEditorBase::Load_Stored() {
    // An edit in progress stays, with what was typed: its Save writes by the edit's id.
    Error_Block([&] { Show_Stored_Schedules(); });
}

long frmScheduleEditorBase::Listed_Schedule(long lngSchID) const {
    const ListView& list = *m_c.lvwSchedules;
    const QString strTag = QString::number(lngSchID);
    for (long i = 1; i <= list.Count(); ++i)
        if (list.Tag(i) == strTag) return i;
    return 0;
}

}  // namespace schedules
