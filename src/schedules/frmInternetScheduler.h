#pragma once
// The internet scheduler: the owner's internet schedules and the internet mode
// (always on, always off, or decided by the schedules), written with Apply.

#include "schedules/ScheduleEditor.h"

#include <array>
#include <memory>

class QRadioButton;

namespace Ui {
class frmInternetScheduler;
}

class frmInternetScheduler : public schedules::frmScheduleEditorBase {
    Q_OBJECT
public:
    explicit frmInternetScheduler(Console_Link& console, QWidget* parent = nullptr);
    ~frmInternetScheduler() override;

public slots:
    void lvwInternetScheduler_GotFocus();
    void optInternetMode_Click(int Index);
    void cmdApply_Click();
    // Asks before a close that would drop an unapplied mode (Cancel non-zero keeps the dialog).
    void Form_QueryUnload(int& Cancel, int UnloadMode);
    // Every close of the dialog (Close, Esc, the window's close box) passes here.
    void reject() override;

protected:
    void Set_Controls_State() override;
    void Load_Stored() override;
    bool Schedule_Refused(const QString& strType, const QString& strDay, const QString& strMonth,
                          const QString& strFromTime, const QString& strToTime) override;
    void Schedule_List_Focus_Handler() override { lvwInternetScheduler_GotFocus(); }

private:
    void Form_Load();
    void Load_Images();
    // The stored SCH_FOR of the owner (0 when it cannot be read).
    long Read_Schedule_For();
    // Chooses the option of the stored mode, or none when no mode is stored.
    void Show_Internet_Mode(long lngSchFor);
    // Chooses option intOption (none when -1) as the stored mode, raising its Click.
    void Show_Option(int intOption);
    // True when a listed schedule has the same type, times and days or months.
    bool Check_Schedule_Exists(const QString& strType, const QString& strDay, const QString& strMonth,
                               const QString& strFromTime, const QString& strToTime);

    std::unique_ptr<Ui::frmInternetScheduler> ui;
    std::array<QRadioButton*, 3> optInternetMode{};
    // The option of the mode as last read or written (-1: none).
    int m_intStoredOption = -1;
};
