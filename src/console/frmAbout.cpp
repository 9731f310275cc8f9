#include "console/frmAbout.h"
#include "ui_frmAbout.h"

#include "Version.h"
#include "console/frmMain.h"
#include "platform/Controls.h"
#include "services/ConsoleImages.h"
#include "services/ErrorHandler.h"
#include "services/MakerLinks.h"

#include <QUrl>

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::frmAbout>()) {
    m_ui->setupUi(this);
    ilsMedium = Console_Images::Load_Image_List({QStringLiteral("Hand")});

    // Design: white form and labels, the product name large, the links as links.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    m_ui->picLogo->setPixmap(Console_Images::Picture(QStringLiteral("Logo")));
    QFont nameFont = m_ui->lblDravinole->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    m_ui->lblDravinole->setFont(nameFont);
    m_ui->lblSupportId->setText(Maker_Links::SUPPORT_MAIL);
    m_ui->lblSalesId->setText(Maker_Links::SALES_MAIL);
    m_ui->lblHomeSite->setText(QUrl(Maker_Links::HOME_PAGE).host());
    for (QLabel* pLink : {m_ui->lblSupportId, m_ui->lblSalesId, m_ui->lblHomeSite}) {
        QPalette linkPalette = pLink->palette();
        linkPalette.setColor(QPalette::WindowText, palette().color(QPalette::Link));
        pLink->setPalette(linkPalette);
    }

    connect(m_ui->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    platform::Install_KeyPress(this, [this](int& KeyAscii) { Form_KeyPress(KeyAscii); });
    platform::Install_Click(m_ui->picLogo, [this] { picLogo_Click(); });
    platform::Install_Click(m_ui->lblHomeSite, [this] { lblHomeSite_Click(); });
    platform::Install_Click(m_ui->lblSupportId, [this] { lblSupportId_Click(); });
    platform::Install_Click(m_ui->lblSalesId, [this] { lblSalesId_Click(); });

    Form_Load();
    setFixedSize(sizeHint());
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load() {
    Set_Link_Cursors();
    m_ui->lblVersion->setText(frmMain::Version_Caption(DV_VERSION_MAJOR, DV_VERSION_MINOR, DV_VERSION_REVISION));
}

void frmAbout::Set_Link_Cursors() {
    Error_Block([&] {
        const auto it = ilsMedium.constFind(QStringLiteral("Hand"));
        if (it == ilsMedium.constEnd()) throw Run_Time_Error(35601, QStringLiteral("Element not found"));
        const QCursor hand = Console_Images::Hand_Cursor(ilsMedium);
        for (QWidget* pControl :
             std::initializer_list<QWidget*>{m_ui->picLogo, m_ui->lblSupportId, m_ui->lblSalesId, m_ui->lblHomeSite})
            pControl->setCursor(hand);
    });
}

void frmAbout::cmdOK_Click() { close(); }

void frmAbout::Form_KeyPress(int& KeyAscii) {
    if (KeyAscii == 27) {
        cmdOK_Click();
        KeyAscii = 0;
    }
}

void frmAbout::picLogo_Click() { Maker_Links::Open_Home_Page(); }
void frmAbout::lblHomeSite_Click() { Maker_Links::Open_Home_Page(); }
void frmAbout::lblSupportId_Click() { Maker_Links::Open_Link(QString(), "mailto:" + Maker_Links::SUPPORT_MAIL); }
void frmAbout::lblSalesId_Click() { Maker_Links::Open_Link(QString(), "mailto:" + Maker_Links::SALES_MAIL); }
