#include "console/frmLogin.h"
#include "ui_frmLogin.h"

#include "console/frmMain.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "platform/Dv_Dialog.h"
#include "platform/Platform.h"
#include "services/ConsoleImages.h"
#include "services/ErrorHandler.h"
#include "services/MakerLinks.h"
#include "services/modProgram.h"

#include <QCloseEvent>
#include <QUrl>

// The password mask: character 149 of the ANSI code page, a bullet.
static constexpr int PASSWORD_CHAR = 0x2022;

frmLogin::frmLogin(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::frmLogin>()) {
    m_ui->setupUi(this);
    m_ui->pictLogin->setPixmap(Console_Images::Picture(QStringLiteral("Login")));
    m_ui->lblHomeSite->setText(QUrl(Maker_Links::HOME_PAGE).host());
    m_ui->lblHomeSite->setCursor(Console_Images::Hand_Cursor(Console_Images::Load_Image_List({QStringLiteral("Hand")})));
    QPalette linkPalette = m_ui->lblHomeSite->palette();
    linkPalette.setColor(QPalette::WindowText, palette().color(QPalette::Link));
    m_ui->lblHomeSite->setPalette(linkPalette);

    connect(m_ui->cmdLogin, &QPushButton::clicked, this, &frmLogin::cmdLogin_Click);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &frmLogin::cmdClose_Click);
    platform::Install_KeyPress(m_ui->txtPassword, [this](int& KeyAscii) { txtPassword_KeyPress(KeyAscii); });
    platform::Install_Click(m_ui->lblHomeSite, [this] { lblHomeSite_Click(); });

    Form_Load();
    setFixedSize(sizeHint());
}

frmLogin::~frmLogin() = default;

void frmLogin::Form_Load() {
    modDB::Compact_Database();
    m_blnLoggedIn = false;
    m_ui->txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: %1;").arg(PASSWORD_CHAR));
}

void frmLogin::cmdLogin_Click() {
    Error_Block([&] {
        if (!modDBFunctions::Is_Pwd_Correct(m_ui->txtPassword->text())) {
            platform::Message_Boxes().Show(QStringLiteral("Please enter a valid Password!"), platform::vbExclamation,
                                           QStringLiteral("DravinoleTS"));
            m_ui->txtPassword->setText(QString());
            m_ui->txtPassword->setFocus();
            return;
        }
        // The console is shown before this dialog closes, so that the program always
        // has a window open and a console that fails to load leaves the login usable.
        auto* pMain = new frmMain();
        pMain->setAttribute(Qt::WA_DeleteOnClose);
        pMain->show();
        m_blnLoggedIn = true;
        cmdClose_Click();
    });
}

void frmLogin::cmdClose_Click() { close(); }

void frmLogin::txtPassword_KeyPress(int& KeyAscii) {
    switch (KeyAscii) {
        case 13:
            cmdLogin_Click();
            KeyAscii = 0;
            break;
        case 27:
            cmdClose_Click();
            KeyAscii = 0;
            break;
        default: break;
    }
}

void frmLogin::lblHomeSite_Click() { Maker_Links::Open_Home_Page(); }

void frmLogin::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmLogin::keyPressEvent(QKeyEvent* event) {
    if (!platform::Click_Focused_Button(*this, event)) QWidget::keyPressEvent(event);
}

void frmLogin::Form_Unload() {
    if (!m_blnLoggedIn) modProgram::Close_Application_Log();
}
