#pragma once
// The application scheduler: the owner's time schedules for blocked applications,
// and the box that enables the feature.

#include "schedules/ScheduleEditor.h"

#include <memory>

namespace Ui {
class frmApplicationScheduler;
}

class frmApplicationScheduler : public schedules::frmScheduleEditorBase {
    Q_OBJECT
public:
    explicit frmApplicationScheduler(Console_Link& console, QWidget* parent = nullptr);
    ~frmApplicationScheduler() override;

    // The WEEKDAYS and MONTHS masks of the short names ("Sun".."Sat", "Jan".."Dec")
    // found anywhere in a text (case-sensitive).
    static long Weekdays_Text_To_Mask(const QString& strText);
    static long Months_Text_To_Mask(const QString& strText);

public slots:
    void chkEnableApplicationScheduler_Click();
    void lvwApplicationScheduler_GotFocus();

protected:
    void Set_Controls_State() override;
    void Load_Stored() override;
    bool Schedule_Refused(const QString& strType, const QString& strDay, const QString& strMonth,
                          const QString& strFromTime, const QString& strToTime) override;
    void Schedule_List_Focus_Handler() override { lvwApplicationScheduler_GotFocus(); }

private:
    void Form_Load();
    void Set_Tooltips();
    void Load_Images();
    // True when a listed schedule (other than the one being edited) shares time and days.
    bool Check_Schedule_Overlap(const QString& strType, const QString& strDay, const QString& strMonth,
                                const QString& strFromTime, const QString& strToTime);

    std::unique_ptr<Ui::frmApplicationScheduler> ui;
    std::unique_ptr<lists::Feature_Enable_Box> m_enableBox;
};
