#include "schedules/frmApplicationSettings.h"
#include "schedules/SettingsApply.h"
#include "ui_frmApplicationSettings.h"

#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "platform/Platform.h"
#include "services/ConsoleImages.h"
#include "services/ErrorHandler.h"
#include "services/MakerLinks.h"
#include "services/modCommonFuns.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>
#include <limits>

namespace {

int Ask(const QString& strText, long lngStyle) {
    return platform::Message_Boxes().Show(strText, lngStyle, QStringLiteral("DravinoleTS"));
}

}  // namespace

frmApplicationSettings::frmApplicationSettings(Console_Link& console, QWidget* parent)
    : frmFeatureDialog(console, parent), ui(std::make_unique<Ui::frmApplicationSettings>()) {
    ui->setupUi(this);
    ui->txtBlkdApplnMsg->setMaxLength(std::numeric_limits<int>::max());

    ui->lblHomeSite->setText(QUrl(Maker_Links::HOME_PAGE).host());
    ui->lblHomeSite->setCursor(Console_Images::Hand_Cursor(Console_Images::Load_Image_List({QStringLiteral("Hand")})));
    QPalette linkPalette = ui->lblHomeSite->palette();
    linkPalette.setColor(QPalette::WindowText, palette().color(QPalette::Link));
    ui->lblHomeSite->setPalette(linkPalette);

    connect(ui->cboApplnWindowType, &QComboBox::currentIndexChanged, this,
            &frmApplicationSettings::cboApplnWindowType_Click);
    connect(ui->txtBlkdApplnMsg, &QLineEdit::textChanged, this, &frmApplicationSettings::txtBlkdApplnMsg_Change);
    connect(ui->cmdApply, &QPushButton::clicked, this, &frmApplicationSettings::cmdApply_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmApplicationSettings::cmdClose_Click);
    platform::Install_Click(ui->lblHomeSite, [this] { lblHomeSite_Click(); });

    resize(420, 170);
    if (Owner_Stored_At_Open()) Form_Load();
}

frmApplicationSettings::~frmApplicationSettings() = default;

void frmApplicationSettings::Form_Load() {
    Error_Block([&] {
        Set_Form_Caption();
        Set_Tooltips();
        Fill_Window_Types();
        Load_Application_Message();
        // What the load put into the controls is no change.
        ui->cmdApply->setEnabled(false);
        Set_Controls_State();
    });
}

void frmApplicationSettings::Set_Form_Caption() { setWindowTitle("Application Settings - " + Owner_Name()); }

void frmApplicationSettings::Set_Tooltips() {
    ui->txtBlkdApplnMsg->setToolTip(QStringLiteral("Provides a space for you to type Blocked Application Message"));
    ui->cboApplnWindowType->setToolTip(QStringLiteral("Select an option to show Blocked Application Message"));
}

void frmApplicationSettings::Fill_Window_Types() {
    // The item index is the stored type; filled without a selection.
    const QSignalBlocker blocker(ui->cboApplnWindowType);
    ui->cboApplnWindowType->clear();
    ui->cboApplnWindowType->addItem(QStringLiteral("Do not show any messages (block silently)"));
    ui->cboApplnWindowType->addItem(QStringLiteral("Message Box"));
    ui->cboApplnWindowType->setCurrentIndex(-1);
}

void frmApplicationSettings::Load_Application_Message() {
    const Policy_Owner owner = Owner();
    long lngMsgType = 0;
    QString strMessage;
    if (!modDBFunctions::Get_Application_Message(owner.lngComputerID, owner.lngUserID, lngMsgType, strMessage)) return;
    ui->txtBlkdApplnMsg->setText(strMessage);
    m_strStoredMessage = strMessage;
    m_strShownMessage = ui->txtBlkdApplnMsg->text();
    // Any other stored type leaves the list without a selection.
    ui->cboApplnWindowType->setCurrentIndex(lngMsgType == 0 || lngMsgType == 1 ? static_cast<int>(lngMsgType) : -1);
}

void frmApplicationSettings::Set_Controls_State() { ui->txtBlkdApplnMsg->setEnabled(!modGlobal::Is_Remote_Mode); }

void frmApplicationSettings::cboApplnWindowType_Click() {
    switch (ui->cboApplnWindowType->currentIndex()) {
        case 0:
            ui->lblBlockedApplicationMessage->setVisible(false);
            ui->txtBlkdApplnMsg->setVisible(false);
            break;
        case 1:
            ui->lblBlockedApplicationMessage->setVisible(true);
            ui->txtBlkdApplnMsg->setVisible(true);
            break;
        default: break;
    }
    if (!modGlobal::Is_Remote_Mode) ui->cmdApply->setEnabled(true);
}

void frmApplicationSettings::txtBlkdApplnMsg_Change() { ui->cmdApply->setEnabled(true); }

void frmApplicationSettings::cmdApply_Click() {
    Error_Block([&] {
        // The message keeps every character typed, only its outer blanks go; a box not
        // edited keeps its stored text as it stands.
        const QString strMessage =
            modCommonFuns::Text_To_Write(ui->txtBlkdApplnMsg->text(), m_strShownMessage, m_strStoredMessage);
        const long lngMsgType = ui->cboApplnWindowType->currentIndex() == 1 ? 1 : 0;
        const Policy_Owner owner = Owner();
        const modDB::Row_Write written =
            modDBFunctions::Set_Application_Message(owner.lngComputerID, owner.lngUserID, lngMsgType, strMessage);
        if (!schedules::Apply_Stored(written, *ui->cmdApply)) return;
        m_strStoredMessage = strMessage;
        m_strShownMessage = ui->txtBlkdApplnMsg->text();
        Ask(QStringLiteral("Successfully saved the changes"), 64);
    });
}

void frmApplicationSettings::lblHomeSite_Click() { Maker_Links::Open_Home_Page(); }
