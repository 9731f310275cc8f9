#pragma once
// The window blocker: the owner's blocked window titles.

#include "lists/ListEditor.h"

#include <memory>

namespace Ui {
class frmWindowBlocker;
}

class frmWindowBlocker : public lists::frmListEditorBase {
    Q_OBJECT
public:
    explicit frmWindowBlocker(Console_Link& console, QWidget* parent = nullptr);
    ~frmWindowBlocker() override;

public slots:
    void chkEnableWindowBlocker_Click();
    void cmdAdd_Click();
    void txtWindowBlocker_KeyPress(int& KeyAscii);
    void cmdEdit_Click();
    void lvwWindowBlocker_AfterLabelEdit(int& Cancel, QString& NewString);
    void cmdRemove_Click();
    void cmdImport_Click();
    void cmdExport_Click();
    void cmdCopySettings_Click();

protected:
    void Set_Controls_State() override;
    void Load_Stored() override;

private:
    void Form_Load();
    void Set_Caption_And_Columns();
    void Set_Tooltips();
    void Load_Window_Title_List();
    void Load_Images();

    std::unique_ptr<Ui::frmWindowBlocker> ui;
    platform::Common_Dialog cmdlgMain;
    std::unique_ptr<lists::clsListEditor> m_editor;
    std::unique_ptr<lists::Feature_Enable_Box> m_enableBox;
};
