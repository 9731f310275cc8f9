#pragma once
// The about box: product name, running version and the maker's contact links.

#include "platform/ListView.h"

#include <QDialog>
#include <memory>

namespace Ui {
class frmAbout;
}

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

    void cmdOK_Click();
    void Form_KeyPress(int& KeyAscii);
    void picLogo_Click();
    void lblHomeSite_Click();
    void lblSupportId_Click();
    void lblSalesId_Click();

private:
    void Form_Load();
    void Set_Link_Cursors();

    std::unique_ptr<Ui::frmAbout> m_ui;
    platform::Image_List ilsMedium;
};
