#pragma once
// The website filter: the owner's black list (blocked websites) and white list,
// one shown at a time, with one enable box for both.

#include "lists/ListEditor.h"

#include <memory>

namespace Ui {
class frmWebsiteFilter;
}

class frmWebsiteFilter : public lists::frmListEditorBase {
    Q_OBJECT
public:
    explicit frmWebsiteFilter(Console_Link& console, QWidget* parent = nullptr);
    ~frmWebsiteFilter() override;

public slots:
    void cboUrlType_Click();
    void chkEnableUrlFilter_Click();
    void cmdBlackAdd_Click();
    void cmdWhiteAdd_Click();
    void txtBlackUrl_KeyPress(int& KeyAscii);
    void txtWhiteUrl_KeyPress(int& KeyAscii);
    void cmdBlackEdit_Click();
    void cmdWhiteEdit_Click();
    void lvwBlackList_AfterLabelEdit(int& Cancel, QString& NewString);
    void lvwWhiteList_AfterLabelEdit(int& Cancel, QString& NewString);
    void cmdBlackRemove_Click();
    void cmdWhiteRemove_Click();
    void cmdURLBLImport_Click();
    void cmdURLWLImport_Click();
    void cmdURLBLExport_Click();
    void cmdURLWLExport_Click();
    void cmdBLCopySettings_Click();
    void cmdWLCopySettings_Click();

protected:
    void Set_Controls_State() override;
    void Load_Stored() override;

private:
    void Form_Load();
    void Set_Caption_And_Columns();
    void Set_Tooltips();
    void Load_White_List();
    void Load_Black_List();
    void Load_Images();

    std::unique_ptr<Ui::frmWebsiteFilter> ui;
    platform::Common_Dialog cmnBLDilog;
    platform::Common_Dialog cmnWLDilog;
    std::unique_ptr<lists::clsListEditor> m_black;
    std::unique_ptr<lists::clsListEditor> m_white;
    std::unique_ptr<lists::Feature_Enable_Box> m_enableBox;
};
