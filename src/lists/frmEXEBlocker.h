#pragma once
// The EXE blocker: the programs blocked for the owner, typed or picked by browsing.

#include "lists/ListEditor.h"

#include <memory>

namespace Ui {
class frmEXEBlocker;
}

class frmEXEBlocker : public lists::frmListEditorBase {
    Q_OBJECT
public:
    explicit frmEXEBlocker(Console_Link& console, QWidget* parent = nullptr);
    ~frmEXEBlocker() override;

public slots:
    void chkEnableEXEBlocker_Click();
    void cmdAdd_Click();
    void txtEXEBlocker_KeyPress(int& KeyAscii);
    void cmdEdit_Click();
    void lvwEXEBlocker_AfterLabelEdit(int& Cancel, QString& NewString);
    void cmdRemove_Click();
    void cmdImport_Click();
    void cmdExport_Click();
    void cmdCopySettings_Click();
    void cmdBrowseExe_Click();

protected:
    void Set_Controls_State() override;
    void Load_Stored() override;

private:
    void Form_Load();
    void Set_Caption_And_Columns();
    void Set_Tooltips();
    void Load_EXE_List();
    void Load_Images();

    std::unique_ptr<Ui::frmEXEBlocker> ui;
    platform::Common_Dialog cmdlgMain;
    platform::Common_Dialog cmnDialogBrowse;
    std::unique_ptr<lists::clsListEditor> m_editor;
    std::unique_ptr<lists::Feature_Enable_Box> m_enableBox;
};
