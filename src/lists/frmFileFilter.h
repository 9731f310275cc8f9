#pragma once
// The file filter: the owner's blocked file extensions for downloads.

#include "lists/ListEditor.h"

#include <memory>

namespace Ui {
class frmFileFilter;
}

class frmFileFilter : public lists::frmListEditorBase {
    Q_OBJECT
public:
    explicit frmFileFilter(Console_Link& console, QWidget* parent = nullptr);
    ~frmFileFilter() override;

public slots:
    void chkEnableFileFilter_Click();
    void cmdAdd_Click();
    void txtFileExtension_KeyPress(int& KeyAscii);
    void cmdEdit_Click();
    void lvwFileFilter_AfterLabelEdit(int& Cancel, QString& NewString);
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
    void Load_File_Extension_List();
    void Load_Images();

    std::unique_ptr<Ui::frmFileFilter> ui;
    platform::Common_Dialog cmdlgMain;
    std::unique_ptr<lists::clsListEditor> m_editor;
    std::unique_ptr<lists::Feature_Enable_Box> m_enableBox;
};
