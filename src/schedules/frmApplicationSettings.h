#pragma once
// Application settings: what the owner's user sees when a blocked program is
// started (nothing, or a message box with the administrator's text), written on Apply.

#include "lists/FeatureDialog.h"

#include <memory>

namespace Ui {
class frmApplicationSettings;
}

class frmApplicationSettings : public lists::frmFeatureDialog {
    Q_OBJECT
public:
    explicit frmApplicationSettings(Console_Link& console, QWidget* parent = nullptr);
    ~frmApplicationSettings() override;

public slots:
    void cboApplnWindowType_Click();
    void txtBlkdApplnMsg_Change();
    void cmdApply_Click();
    void lblHomeSite_Click();

protected:
    void Set_Controls_State() override;

private:
    void Form_Load();
    void Set_Form_Caption();
    void Set_Tooltips();
    void Fill_Window_Types();
    void Load_Application_Message();

    std::unique_ptr<Ui::frmApplicationSettings> ui;
    // The message read at load and what its box showed: a box left so is written back as stored.
    QString m_strStoredMessage, m_strShownMessage;
};
