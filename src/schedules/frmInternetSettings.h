#pragma once
// Internet settings: what the owner's user sees when an internet access is blocked
// (nothing, a browser window or a message box with the blocked message, or a
// redirect), written on Apply; and the programs that always get internet access,
// written at once on each Add, Browse and Remove.

#include "lists/ListEditor.h"

#include <memory>

namespace Ui {
class frmInternetSettings;
}

class frmInternetSettings : public lists::frmListEditorBase {
    Q_OBJECT
public:
    explicit frmInternetSettings(Console_Link& console, QWidget* parent = nullptr);
    ~frmInternetSettings() override;

public slots:
    void cboWindowType_Click();
    void txtBlMessage_Change();
    void txtRedirectUrl_Change();
    void cmdApply_Click();
    void cmdAdd_Click();
    void txtByPassedExe_KeyPress(int& KeyAscii);
    void cmdRemove_Click();
    void cmdBrowseExe_Click();
    void lblHomeSite_Click();

protected:
    void Set_Controls_State() override;

private:
    void Form_Load();
    void Set_Caption_And_Columns();
    void Set_Tooltips();
    void Fill_Window_Types();
    void Load_Internet_Message();
    void Load_Bypassed_Exe_List();
    void Show_Message_Controls(bool blnShow);
    void Show_Redirect_Controls(bool blnShow);
    void Show_Group_Separator();
    // Lists one program under the icon "BypassedExe" and applies the column allowance.
    void List_Bypassed_Exe(const QString& strName);

    std::unique_ptr<Ui::frmInternetSettings> ui;
    platform::Common_Dialog cmnDialogBrowse;
    platform::Image_List ilsInternetSettingsSmall;
    // The program list's column is narrow while this many programs or more are listed.
    long m_lngScrollThreshold = 8;
    std::unique_ptr<lists::Column_Allowance> m_allowance;
    // The type read at load: what Apply keeps while the combo shows no type.
    long m_lngStoredType = 0;
    // The texts read at load and what their boxes showed: a box left so is written back as stored.
    QString m_strStoredMessage, m_strShownMessage, m_strStoredRedirect, m_strShownRedirect;
};
