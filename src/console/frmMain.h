#pragma once
// The console's main window: the features in three icon lists, the description of
// the clicked feature, the user whose policies are edited, the user mode and that
// user's internet mode; its menus, status bar and the one-shot network filter check.
// Every feature dialog is opened modally from here with this window as owner and
// reads the policy owner from it (m_lngComputerID and the Tag of cboUsers) through
// the Console_Link this window hands it.
//
// Layer: console, above every feature folder; only start-up is above it.

#include "platform/ListView.h"
#include "services/ConsoleLink.h"
#include "services/modProgram.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QTimer;

namespace Ui {
class frmMain;
}

class frmMain : public QMainWindow, public Console_Link {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- What every dialog reads ----
    // Computer half of the policy owner: never assigned, so always 0 (per-user policies).
    long m_lngComputerID = 0;
    // User mode: 0 All User Mode, 1 Single User Mode, as last read.
    long m_lngDVMode = 0;
    // The user list: Text is the selected name, the Tag its USER_ID as decimal text,
    // each entry's item data its USER_ID. The Tag is empty while no entry is selected
    // (the list could not be read): then there is no owner.
    QComboBox* cboUsers = nullptr;

    // The selected user's id: the Tag as a number (Run_Time_Error 13 while it is empty).
    long Selected_User_ID() const;
    // True while a user is chosen; the dialogs that edit an owner open only then.
    bool Has_Owner() const;
    // What the console says when a feature needs a user and none is chosen.
    static inline const QString NO_OWNER_TEXT = QStringLiteral("No user is selected. Select a user and change settings.");

    // Re-reads the user mode and shows it.
    void Get_Working_Mode();
    // Reads the selected user's internet mode and shows it.
    void Get_Internet_Mode() override;
    // Reloads the user list and selects a user.
    void Fill_Users_In_ComboBox();

    // ---- What the feature dialogs get (Console_Link) ----
    // m_lngComputerID and Selected_User_ID(), read at each call; while no user is
    // chosen a run-time error (5, NO_OWNER_TEXT) instead of any id.
    Policy_Owner Owner() const override;
    // The Text of cboUsers.
    QString Owner_Name() const override;
    // Copy Settings, shown for the feature's key (frmCopySettings::Show_This_Form);
    // once it has closed, whatever it copied, the chosen user's internet mode is read
    // again and shown. The menu item and every dialog's Copy button come here.
    Copied_Settings Open_Copy_Settings(const QString& strFeature) override;
    // Lists the users as stored (Fill_Users_In_ComboBox): a dialog found the owner gone.
    void Show_Stored_Users() override;

    // The network filter check that the timer runs (replaceable for tests).
    std::function<modProgram::Filter_Check()> m_fnCheck_Filters_Installed;

    // ---- Handlers ----
    void cboUsers_Click();
    void lvwMain_ItemClick(int Index, long lngItem);
    void lvwMain_DblClick(int Index);
    void lvwMain_KeyPress(int Index, int& KeyAscii);
    void lblDVMode_Click();
    void picDVMode_Click();
    void lblInternetMode_Click();
    void lblDescHeader_Click();
    void sbrMain_PanelClick(const QString& strPanelKey);
    void tmrMain_Timer();
    void Check_Filters_Installation();

    // Menu handlers.
    void mnuRegisterFilters_Click();
    void mnuUnRegisterFilters_Click();
    void mnuUnInstall_Click();
    void mnuExit_Click();
    void mnuWebsiteFilter_Click();
    void mnuFileFilter_Click();
    void mnuEmailFilter_Click();
    void mnuPortFilter_Click();
    void mnuInternetScheduler_Click();
    void mnuInternetSettings_Click();
    void mnuEXEBlocker_Click();
    void mnuWindowBlocker_Click();
    void mnuApplicationScheduler_Click();
    void mnuApplicationSettings_Click();
    void mnuDeviceLock_Click();
    void mnuReporting_Click();
    void mnuGeneralOptions_Click();
    void mnuManageUsers_Click();
    void mnuCopySettings_Click();
    void mnuFAQs_Click();
    void mnuOnline_Click();
    void mnuSupport_Click();
    void mnuPurchase_Click();
    void mnuProducts_Click();
    void mnuCheckUpdates_Click();
    void mnuAbout_Click();

    // The description shown for a feature (list index, item Tag); "" for any other pair.
    static QString Feature_Description(int Index, long lngTag);
    // "Version: <major>.<minor> Revision: <revision>".
    static QString Version_Caption(long lngMajor, long lngMinor, long lngRevision);
    // The message of the filter check for a check result.
    static QString Filter_Check_Message(modProgram::Filter_Check result, bool& blnShow);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void Set_Tool_Tips();
    void Set_Internet_Mode_Picture();
    void Set_Hand_Cursors();
    void Fill_Features_In_Listviews();
    void Set_Control_Colors();
    void Show_Version_In_StatusBar();
    void Create_Status_Bar();
    void Connect_Menus();
    void Set_Users_ListIndex(int lngIndex);
    // No owner: the Tag emptied and no user's internet mode shown.
    void Clear_Owner();
    // Runs the menu item of a feature (list index, item Tag); nothing for any other pair.
    void Open_Feature(int Index, long lngTag);

    // Creates a feature dialog on this console, shows it modally with this window as
    // owner, and destroys it when it closes.
    template <class Form>
    void Show_Feature_Dialog();
    // The same for a dialog that edits the chosen user's policies: while no user is
    // chosen it does not open, and one box says why. Nor does it open for a user whose
    // row another program removed (or removed and added again under a new id): one box
    // says so, nothing else is read, and the user list shows the users as stored.
    template <class Form>
    void Show_Owner_Dialog();

    std::unique_ptr<Ui::frmMain> m_ui;
    std::array<platform::ListView*, 3> lvwMain{};
    QTimer* tmrMain = nullptr;
    QLabel* m_pnlVersion = nullptr;
    QLabel* m_pnlWorkingMode = nullptr;
    QLabel* m_pnlHomeSite = nullptr;
    platform::Image_List ilsExtraLarge;
    platform::Image_List ilsSmall;
    platform::Image_List ilsLarge;
};
