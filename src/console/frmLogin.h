#pragma once
// The first window of a console run: compacts the settings database, asks for the
// console password and hands over to the main console window.

#include <QWidget>
#include <memory>

namespace Ui {
class frmLogin;
}

class frmLogin : public QWidget {
    Q_OBJECT
public:
    explicit frmLogin(QWidget* parent = nullptr);
    ~frmLogin() override;

    void cmdLogin_Click();
    void cmdClose_Click();
    void txtPassword_KeyPress(int& KeyAscii);
    void lblHomeSite_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter on a focused button runs it, as in every dialog of the console.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();

    std::unique_ptr<Ui::frmLogin> m_ui;
    bool m_blnLoggedIn = false;
};
