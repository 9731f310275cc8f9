#pragma once
// The user exception list: one list of user names, not tied to any user or computer.
// Names are added, renamed in place and removed; every change is written at once.

#include "platform/Dv_Dialog.h"
#include "platform/ListView.h"

#include <QDialog>
#include <memory>

class QKeyEvent;
class User_Name_List;
class frmMain;

namespace Ui {
class frmExceptionList;
}

class frmExceptionList : public platform::Dv_Dialog {
    Q_OBJECT
public:
    explicit frmExceptionList(frmMain& console, QWidget* parent = nullptr);
    ~frmExceptionList() override;

public slots:
    void cmdAdd_Click();
    void txtUsers_KeyPress(int& KeyAscii);
    void cmdEdit_Click();
    void lvwUsers_AfterLabelEdit(int& Cancel, QString& NewString);
    void cmdRemove_Click();
    void lblHomeSite_Click();

protected:

private:
    void Form_Load();
    void Set_Form_Caption();
    void Fill_Exception_List();
    void Add_Exception();
    // A refused name stays in the entry box, selected, for correction.
    void Select_Entry();

    std::unique_ptr<Ui::frmExceptionList> ui;
    frmMain& m_frmMain;
    platform::Image_List ilsSmall;
    std::unique_ptr<User_Name_List> m_names;
};
