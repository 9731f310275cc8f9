#pragma once
// The program-wide settings of the single settings row: the user mode, the console
// password, the client options and the remote mode with its server and client port.
// Nothing is written before Apply; Apply writes in a fixed order and then asks the
// console to show the user mode again.

#include "platform/Dv_Dialog.h"
#include "platform/ListView.h"
#include "services/modCommonFuns.h"

#include <QDialog>
#include <array>
#include <memory>

class QGroupBox;
class QKeyEvent;
class QLabel;
class QTreeWidgetItem;
class frmMain;

namespace Ui {
class frmGeneralOptions;
}

class frmGeneralOptions : public platform::Dv_Dialog {
    Q_OBJECT
public:
    explicit frmGeneralOptions(frmMain& console, QWidget* parent = nullptr);
    ~frmGeneralOptions() override;

public slots:
    void tvwGenOptions_NodeClick(QTreeWidgetItem* Node);
    void tvwGenOptions_Collapse(QTreeWidgetItem* Node);
    void optComputer_Click();
    void optUser_Click();
    void optDisableRemoteMode_Click();
    void optEnableRemoteMode_Click();
    void lvwClientSettings_ItemCheck(long lngItem);
    void txtNewPassword_Change();
    void txtServerName_Change();
    void txtClientPortNo_Change();
    void txtNewPassword_KeyPress(int& KeyAscii);
    void txtConfirmPassword_KeyPress(int& KeyAscii);
    void txtClientPortNo_KeyPress(int& KeyAscii);
    void cmdApply_Click();
    void lblHomeSite_Click();

protected:

private:
    void Form_Load();
    void Set_Form_Caption();
    void Load_Pwd_Picture();
    void Fill_Options_Tree();
    void Load_Program_Mode();
    void Load_Client_Options();
    void Load_Remote_Settings();
    void Set_Controls_State();
    // After a refused write: every control shows what is stored, nothing is pending.
    void Show_Stored_Settings();
    // Keeps what the remote controls show as loaded, to tell later what was touched.
    void Remember_Loaded_Remote_Settings();
    // 1 when "Enable Remote Mode" is chosen, 0 for "Disable", -1 when neither is.
    int Chosen_Remote_Mode() const;
    void Show_Options_Page(int Index);
    // lngStored with the bit of each client item whose tick the administrator changed
    // set as ticked; every other bit as it is.
    Flag_Word Client_Options_Ticked(Flag_Word lngStored) const;
    bool Client_Options_Changed() const;
    // 1 when "User" mode is chosen, 0 for "Computer", -1 when neither is.
    int Chosen_Program_Mode() const;
    bool Is_Client_Option_Set(Flag_Word lngBit) const;
    void Clear_Password_Boxes();
    // The settings the load could read, as stored now (another program's changes
    // included); what it could not read stays as shown.
    void Show_Readable_Settings();
    void Show_Picture(QLabel& picture, const QString& strKey);

    std::unique_ptr<Ui::frmGeneralOptions> ui;
    frmMain& m_frmMain;
    std::array<QGroupBox*, 4> fraGeneralOptions{};
    platform::Image_List ilsGeneralLarge;
    platform::Image_List ilsGeneralOptionsSmall;

    // The client options as read at load (whole, bits of no check box included), or as
    // an Apply last wrote them: a tick that differs from its bit here is a change.
    // Written only when the load could read them.
    Flag_Word m_lngClientOptions = 0;
    bool m_blnClientOptionsRead = false;
    // Whether the load read the mode and the remote settings: what it could not read
    // is kept as stored and its controls stay disabled.
    bool m_blnModeRead = false;
    // The mode as the load showed it (see Chosen_Program_Mode).
    int m_intLoadedMode = -1;
    bool m_blnRemoteRead = false;
    // The server name and port texts as the load left them: the remote page is not
    // reachable from the tree, so a stored value that fails its check cannot be
    // corrected here and is kept as stored.
    QString m_strLoadedServerName;
    QString m_strLoadedClientPort;
    int m_intLoadedRemoteMode = -1;
    // The stored port as a whole number text: the box shows at most 5 characters of it.
    QString m_strStoredClientPort;
};
