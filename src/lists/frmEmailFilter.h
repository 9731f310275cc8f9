#pragma once
// The e-mail filter: the owner's blocked addresses (or domain parts) for mail sent
// through SMTP and for mail fetched through POP3, one list shown at a time, with
// one enable box that serves the list shown.

#include "lists/ListEditor.h"

#include <memory>

namespace Ui {
class frmEmailFilter;
}

class frmEmailFilter : public lists::frmListEditorBase {
    Q_OBJECT
public:
    explicit frmEmailFilter(Console_Link& console, QWidget* parent = nullptr);
    ~frmEmailFilter() override;

public slots:
    void cboEmailFilter_Click();
    void chkEnableFilter_Click();
    void cmdSMTPAdd_Click();
    void cmdPOP3Add_Click();
    void txtSMTPEmails_KeyPress(int& KeyAscii);
    void txtPOP3Emails_KeyPress(int& KeyAscii);
    void cmdSMTPEdit_Click();
    void cmdPOP3Edit_Click();
    void lvwSMTPFilter_AfterLabelEdit(int& Cancel, QString& NewString);
    void lvwPOP3Filter_AfterLabelEdit(int& Cancel, QString& NewString);
    void cmdSMTPRemove_Click();
    void cmdPOP3Remove_Click();
    void cmdSMTPExport_Click();
    void cmdPOP3Export_Click();
    void cmdSMTPImport_Click();
    void cmdPOP3Import_Click();
    void cmdSMTPCopySettings_Click();
    void cmdPOP3CopySettings_Click();

protected:
    void Set_Controls_State() override;
    void Load_Stored() override;

private:
    void Form_Load();
    void Set_Caption_And_Columns();
    void Load_SMTP_List();
    void Load_POP3_List();
    void Set_Tooltips();
    void Load_Images();

    std::unique_ptr<Ui::frmEmailFilter> ui;
    platform::Common_Dialog cmnSMTPDilog;
    platform::Common_Dialog cmnPOP3Dilog;
    std::unique_ptr<lists::clsListEditor> m_smtp;
    std::unique_ptr<lists::clsListEditor> m_pop3;
    // The one box, bound to the bit of the list shown.
    std::unique_ptr<lists::Feature_Enable_Box> m_smtpEnable;
    std::unique_ptr<lists::Feature_Enable_Box> m_pop3Enable;
};
