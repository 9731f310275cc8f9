#pragma once
// The schedule editor family: the internet scheduler and the application scheduler
// edit the time schedules of one policy owner the same way. Each member configures
// the family base with a Schedule_Config (what it stores, its icon, messages and
// habits) and hands it its controls; the base runs the shared handlers.
//
// Layer: schedules, above lists (whose family base it extends); the console it
// reaches only through the Console_Link it is handed.

#include "database/modDB.h"
#include "lists/ListEditor.h"

#include <QString>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTimeEdit;
class QToolButton;

namespace schedules {

// What differs between the members of the family.
struct Schedule_Config {
    long lngScheduleFor = 0;  // SCH_FOR written and read
    long lngSubType = 0;      // SCH_SUB_TYPE written
    QString strIcon;          // small icon of every schedule row
    QString strCaption;       // caption before " - " and the user's name
    QString strCopyFeature;   // key handed to the copy-settings dialog
    QString strToTimeMessage;
    QString strRefusedMessage;  // a schedule refused by the member's test
    int lngThreshold = 17;      // the fourth column narrows while more rows than this
    bool blnRemoveResetsPickers = false;
    bool blnListsCloseOnLostFocus = false;
    bool blnTagOnlyDuringEdit = false;  // cboScheduler's Tag emptied whenever an edit ends

    QString strSchedulerTip, strFromTip, strToTip, strDayTip, strMonthTip;
};

// The member's controls that the base works with (all from the member's form).
struct Schedule_Controls {
    QWidget* fraScheduler = nullptr;
    QWidget* picContainer = nullptr;
    QComboBox* cboScheduler = nullptr;
    QTimeEdit* dtpkFromTime = nullptr;
    QTimeEdit* dtpkToTime = nullptr;
    QComboBox* cboDay = nullptr;
    QComboBox* cboMonths = nullptr;
    QLabel* lblDayMonths = nullptr;
    platform::ListView* lvwSchedules = nullptr;
    QPushButton* cmAdd = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdRemove = nullptr;
    QToolButton* cmdCopySettings = nullptr;
    QPushButton* cmdClose = nullptr;
};

// At most this many schedules per list.
constexpr long MAX_SCHEDULES = 20;

// The "HH:mm" text of a picker's time (services/TimeOfDay.h).
QString Picker_Text(const QTimeEdit& picker);
// Sets a picker from a stored time (Run_Time_Error 13 when it is no time of day).
void Set_Picker_Text(QTimeEdit& picker, const QString& strTime);

class frmScheduleEditorBase : public lists::frmListEditorBase {
    Q_OBJECT
public:
    frmScheduleEditorBase(Console_Link& console, Schedule_Config config, QWidget* parent = nullptr);
    ~frmScheduleEditorBase() override;

    // The family's pictures by key: "Copy Settings", "InternetScheduler",
    // "AppScheduler", "InternetON", "InternetOFF".
    static const platform::Image_List& Schedule_Images();

    // The drop-down check lists of days and months (children of the dialog).
    platform::ListView* lvwDays = nullptr;
    platform::ListView* lvwMonths = nullptr;

public slots:
    void cboScheduler_Click();
    void Reset_Pickers();
    void cboDay_GotFocus();
    void cboMonths_GotFocus();
    void lvwDays_ItemClick(long lngIndex);
    void lvwDays_ItemCheck(long lngIndex);
    void lvwMonths_ItemClick(long lngIndex);
    void lvwMonths_ItemCheck(long lngIndex);
    void lvwDays_LostFocus();
    void lvwMonths_LostFocus();
    void cmAdd_Click();
    void cmdEdit_Click();
    void cmdRemove_Click();
    void cmdCopySettings_Click();

protected:
    // Called by the member once its form is set up: makes the check lists, the
    // schedule list's columns and the connections of the shared handlers.
    void Bind_Controls(const Schedule_Controls& controls);
    const Schedule_Controls& Controls() const { return m_c; }
    const Schedule_Config& Config() const { return m_config; }

    // The loading steps shared by both members.
    void Set_Caption_And_Columns();
    void Set_Tooltips();
    void Init_Pickers();
    void Load_Schedules();
    void Set_Controls_State() override;
    // Ends an edit in progress (its row may be gone) and lists the stored schedules
    // again; a member adds what else it shows of the database.
    void Load_Stored() override;
    // The listed item of the schedule with this id; 0 when none is listed.
    long Listed_Schedule(long lngSchID) const;

    // The schedule list received the focus: an edit in progress ends.
    void Schedule_List_GotFocus();
    // The member's test before Add and Save: true when the schedule is refused.
    virtual bool Schedule_Refused(const QString& strType, const QString& strDay, const QString& strMonth,
                                  const QString& strFromTime, const QString& strToTime) = 0;
    // The member's handler of the schedule list's focus.
    virtual void Schedule_List_Focus_Handler() = 0;

    modDB::Row_Write Add_Schedule_To_DB(const QString& strType, const QString& strDay, const QString& strMonth,
                            const QString& strFromTime, const QString& strToTime, modDB::Query_Result& arrResult);
    modDB::Row_Write Update_Schedule_In_DB(long lngSchID, const QString& strType, const QString& strDay, const QString& strMonth,
                                           const QString& strFromTime, const QString& strToTime);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Rebuild_Combo_Text(QComboBox& combo, const platform::ListView& list);
    void Show_Check_List(platform::ListView& shown, platform::ListView& hidden);
    void Hide_Check_Lists();
    // Selects a type and runs cboScheduler_Click also when the type stays the same.
    void Select_Type(int intIndex);
    void End_Edit();
    void Click_On_Check_List(platform::ListView& list, QComboBox& combo, long lngIndex);
    // Lists the schedules as stored again: after a write found a listed one gone, after a copy.
    void Show_Stored_Schedules();

    Schedule_Config m_config;
    Schedule_Controls m_c;
    std::unique_ptr<lists::Column_Allowance> m_allowance;
    // The owner's stored rows that the load could not read and so did not list.
    long m_lngUnlistedRows = 0;
};

}  // namespace schedules
