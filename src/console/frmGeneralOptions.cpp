#include "console/frmGeneralOptions.h"
#include "ui_frmGeneralOptions.h"

#include "console/frmMain.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "platform/Platform.h"
#include "services/ConsoleImages.h"
#include "services/ErrorHandler.h"
#include "services/MakerLinks.h"
#include "services/modCommonFuns.h"
#include "services/modGlobal.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QUrl>
#include <optional>
#include <utility>

static void Init_General_Options_Resources() { Q_INIT_RESOURCE(frmGeneralOptions); }

namespace {

const QString TITLE = QStringLiteral("DravinoleTS");
// The password mask: character 149 of the ANSI code page, a bullet.
constexpr int PASSWORD_CHAR = 0x2022;
constexpr int PICTURE_SIZE = 48;

int Ask(const QString& strText, long lngStyle) { return platform::Message_Boxes().Show(strText, lngStyle, TITLE); }

// An image list whose keys name pictures of the console's resources (key, picture).
platform::Image_List Image_List_Of(std::initializer_list<std::pair<const char*, const char*>> keys) {
    static const bool blnInit = (Init_General_Options_Resources(), true);
    (void)blnInit;
    QStringList names;
    for (const auto& [strKey, strPicture] : keys) names << QString::fromLatin1(strPicture);
    const platform::Image_List pictures = Console_Images::Load_Image_List(names);
    platform::Image_List images;
    for (const auto& [strKey, strPicture] : keys)
        images.insert(QString::fromLatin1(strKey), pictures.value(QString::fromLatin1(strPicture)));
    return images;
}

// The page number of a tree node: the number after its key's first character.
int Page_Of(const QTreeWidgetItem& node) { return node.data(0, Qt::UserRole).toString().mid(1).toInt(); }

// The client option bit of a list item: 2 to the power of the number after its key's
// first character.
Flag_Word Bit_Of(const platform::ListView& list, long lngIndex) {
    return Flag_Word{1} << list.Key(lngIndex).mid(1).toInt();
}

}  // namespace

frmGeneralOptions::frmGeneralOptions(frmMain& console, QWidget* parent)
    : Dv_Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::frmGeneralOptions>()), m_frmMain(console) {
    ui->setupUi(this);
    fraGeneralOptions = {ui->fraGeneralOptions_0, ui->fraGeneralOptions_1, ui->fraGeneralOptions_2,
                         ui->fraGeneralOptions_3};
    ilsGeneralLarge = Image_List_Of({{"User", "User"},
                                     {"RemoteMode", "RemoteMode"},
                                     {"LocalMode", "LocalMode"},
                                     {"Password", "Password"},
                                     {"AllUsers", "AllUserMode"}});
    ilsGeneralOptionsSmall = Image_List_Of({{"DVMode", "SingleUserMode"},
                                            {"Remote Settings", "Remote Settings"},
                                            {"Client", "Client"},
                                            {"Password", "Password"},
                                            {"GeneralOptions", "GenOptions"}});

    ui->lblHomeSite->setText(QUrl(Maker_Links::HOME_PAGE).host());
    ui->lblHomeSite->setCursor(Console_Images::Hand_Cursor(Console_Images::Load_Image_List({QStringLiteral("Hand")})));
    QPalette linkPalette = ui->lblHomeSite->palette();
    linkPalette.setColor(QPalette::WindowText, palette().color(QPalette::Link));
    ui->lblHomeSite->setPalette(linkPalette);

    platform::ListView& list = *ui->lvwClientSettings;
    list.Set_View(platform::ListView::lvwReport);
    list.Set_Checkboxes(true);
    list.Set_Image_List(&ilsGeneralOptionsSmall);

    connect(ui->tvwGenOptions, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
                if (current) tvwGenOptions_NodeClick(current);
            });
    connect(ui->tvwGenOptions, &QTreeWidget::itemCollapsed, this, &frmGeneralOptions::tvwGenOptions_Collapse);
    // A click is a Click, on the option already chosen too, from the mouse or the
    // keyboard; it runs the handler once. The loads choose options by code and show
    // their pictures themselves: a choice by code runs no handler.
    const auto on_click = [this](QRadioButton* pOption, void (frmGeneralOptions::*handler)()) {
        connect(pOption, &QRadioButton::clicked, this, handler);
    };
    on_click(ui->optComputer, &frmGeneralOptions::optComputer_Click);
    on_click(ui->optUser, &frmGeneralOptions::optUser_Click);
    on_click(ui->optDisableRemoteMode, &frmGeneralOptions::optDisableRemoteMode_Click);
    on_click(ui->optEnableRemoteMode, &frmGeneralOptions::optEnableRemoteMode_Click);
    connect(&list, &platform::ListView::ItemCheck, this, &frmGeneralOptions::lvwClientSettings_ItemCheck);
    connect(ui->txtNewPassword, &QLineEdit::textChanged, this, &frmGeneralOptions::txtNewPassword_Change);
    connect(ui->txtServerName, &QLineEdit::textChanged, this, &frmGeneralOptions::txtServerName_Change);
    connect(ui->txtClientPortNo, &QLineEdit::textChanged, this, &frmGeneralOptions::txtClientPortNo_Change);
    platform::Install_KeyPress(ui->txtNewPassword, [this](int& KeyAscii) { txtNewPassword_KeyPress(KeyAscii); });
    platform::Install_KeyPress(ui->txtConfirmPassword, [this](int& KeyAscii) { txtConfirmPassword_KeyPress(KeyAscii); });
    platform::Install_KeyPress(ui->txtClientPortNo, [this](int& KeyAscii) { txtClientPortNo_KeyPress(KeyAscii); });
    connect(ui->cmdApply, &QPushButton::clicked, this, &frmGeneralOptions::cmdApply_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmGeneralOptions::cmdClose_Click);
    platform::Install_Click(ui->lblHomeSite, [this] { lblHomeSite_Click(); });

    resize(560, 330);
    Form_Load();
}

frmGeneralOptions::~frmGeneralOptions() {
    // The list may still paint while the dialog goes; its icons are members.
    ui->lvwClientSettings->Set_Image_List(nullptr);
}

// ---------------------------------------------------------------- load

void frmGeneralOptions::Form_Load() {
    Error_Block([&] {
        Set_Form_Caption();
        Load_Pwd_Picture();
        Fill_Options_Tree();
        Load_Program_Mode();
        Load_Client_Options();
        Load_Remote_Settings();
        Set_Controls_State();
        for (QLineEdit* pBox : {ui->txtNewPassword, ui->txtConfirmPassword}) {
            pBox->setEchoMode(QLineEdit::Password);
            pBox->setStyleSheet(QStringLiteral("lineedit-password-character: %1;").arg(PASSWORD_CHAR));
        }
        Remember_Loaded_Remote_Settings();
        // Setting the controls above enabled Apply; nothing has changed yet.
        ui->cmdApply->setEnabled(false);
    });
}

void frmGeneralOptions::Show_Stored_Settings() {
    Show_Readable_Settings();
    Clear_Password_Boxes();
    // What a write before the refused one stored shows in the console too.
    m_frmMain.Get_Working_Mode();
    ui->cmdApply->setEnabled(false);
}

void frmGeneralOptions::Remember_Loaded_Remote_Settings() {
    m_intLoadedRemoteMode = Chosen_Remote_Mode();
    m_strLoadedServerName = ui->txtServerName->text();
    m_strLoadedClientPort = ui->txtClientPortNo->text();
}

int frmGeneralOptions::Chosen_Remote_Mode() const {
    return ui->optEnableRemoteMode->isChecked() ? 1 : ui->optDisableRemoteMode->isChecked() ? 0 : -1;
}

void frmGeneralOptions::Set_Form_Caption() {
    setWindowTitle(QStringLiteral("General Options - ") + m_frmMain.cboUsers->currentText());
}

void frmGeneralOptions::Load_Pwd_Picture() { Show_Picture(*ui->picPassword, QStringLiteral("Password")); }

void frmGeneralOptions::Fill_Options_Tree() {
    Error_Block([&] {
        QTreeWidget& tree = *ui->tvwGenOptions;
        const auto node = [&](QTreeWidgetItem* pParent, const QString& strKey, const QString& strText,
                              const QString& strIcon) {
            auto* pNode = pParent ? new QTreeWidgetItem(pParent) : new QTreeWidgetItem(&tree);
            pNode->setData(0, Qt::UserRole, strKey);
            pNode->setText(0, strText);
            pNode->setIcon(0, ilsGeneralOptionsSmall.value(strIcon));
            return pNode;
        };
        QTreeWidgetItem* pRoot = node(nullptr, QStringLiteral("r0"), QStringLiteral("General Options"),
                                      QStringLiteral("GeneralOptions"));
        QTreeWidgetItem* pMode = node(pRoot, QStringLiteral("n0"), QStringLiteral("Mode"), QStringLiteral("DVMode"));
        node(pRoot, QStringLiteral("n1"), QStringLiteral("Password"), QStringLiteral("Password"));
        pRoot->setExpanded(true);

        platform::ListView& list = *ui->lvwClientSettings;
        // Lay the hidden dialog out now, the client page included (it is never shown),
        // so that the list's column is measured on the width the page has.
        layout()->activate();
        ui->pagesArea->layout()->activate();
        ui->fraGeneralOptions_2->layout()->activate();
        list.Add_Column(QStringLiteral("Client Security and General Options"),
                        platform::Pixels_To_Twips(list.width(), this) - 100);
        const QString strIcon = QStringLiteral("Client");
        list.Add(QStringLiteral("Do not let Windows Administrators users to stop the client service."),
                 QStringLiteral("c0"), strIcon);
        list.Add(QStringLiteral("Automatically run client sevice when computer starts up."), QStringLiteral("c1"), strIcon);
        list.Add(QStringLiteral("Enable filtering even if the client service is not running (for extra security)."),
                 QStringLiteral("c2"), strIcon);

        {
            const QSignalBlocker blocker(&tree);
            tree.setCurrentItem(pMode);
        }
        tvwGenOptions_NodeClick(pMode);
    });
}

void frmGeneralOptions::Load_Program_Mode() {
    Error_Block([&] {
        long lngMode = 0;
        m_blnModeRead = false;
        m_intLoadedMode = -1;
        if (!modDBFunctions::Get_Program_Mode(lngMode)) return;
        m_blnModeRead = true;
        m_intLoadedMode = lngMode != 0 ? 1 : 0;
        if (lngMode != 0) {
            ui->optUser->setChecked(true);
            Show_Picture(*ui->picMode, QStringLiteral("User"));
        } else {
            ui->optComputer->setChecked(true);
            Show_Picture(*ui->picMode, QStringLiteral("AllUsers"));
        }
    });
}

void frmGeneralOptions::Load_Client_Options() {
    Error_Block([&] {
        Flag_Word lngClientOptions = 0;
        m_blnClientOptionsRead = false;
        if (!modCommonFuns::Get_Client_Options(lngClientOptions)) return;
        m_lngClientOptions = lngClientOptions;
        m_blnClientOptionsRead = true;
        platform::ListView& list = *ui->lvwClientSettings;
        for (long i = 1; i <= list.Count(); ++i) list.Set_Checked(i, Is_Client_Option_Set(Bit_Of(list, i)));
    });
}

bool frmGeneralOptions::Is_Client_Option_Set(Flag_Word lngBit) const { return (m_lngClientOptions & lngBit) > 0; }

void frmGeneralOptions::Load_Remote_Settings() {
    Error_Block([&] {
        long lngRemoteMode = 0;
        QString strServerName;
        long lngClientPort = 0;
        m_blnRemoteRead = false;
        if (!modDBFunctions::Get_Remote_Settings(lngRemoteMode, strServerName, lngClientPort)) return;
        m_blnRemoteRead = true;
        modGlobal::Is_Remote_Mode = (lngRemoteMode != 0);
        if (lngRemoteMode != 0) {
            ui->optEnableRemoteMode->setChecked(true);
            Show_Picture(*ui->picRemoteMode, QStringLiteral("RemoteMode"));
        } else {
            ui->optDisableRemoteMode->setChecked(true);
            Show_Picture(*ui->picRemoteMode, QStringLiteral("LocalMode"));
        }
        ui->txtServerName->setText(strServerName);
        // The box holds at most 5 characters; the whole stored number is kept apart.
        m_strStoredClientPort = QString::number(lngClientPort);
        ui->txtClientPortNo->setText(m_strStoredClientPort);
    });
}

void frmGeneralOptions::Set_Controls_State() {
    Error_Block([&] {
        const bool blnLocal = !modGlobal::Is_Remote_Mode;
        // A stored value the load could not read is kept as stored: the controls that
        // would write it stay disabled, so that no change of them can be dropped.
        ui->optComputer->setEnabled(blnLocal && m_blnModeRead);
        ui->optUser->setEnabled(blnLocal && m_blnModeRead);
        ui->lvwClientSettings->setEnabled(blnLocal && m_blnClientOptionsRead);
        ui->optDisableRemoteMode->setEnabled(m_blnRemoteRead);
        ui->optEnableRemoteMode->setEnabled(m_blnRemoteRead);
        ui->txtServerName->setEnabled(!blnLocal && m_blnRemoteRead);
        ui->txtClientPortNo->setEnabled(!blnLocal && m_blnRemoteRead);
    });
}

void frmGeneralOptions::Show_Picture(QLabel& picture, const QString& strKey) {
    picture.setPixmap(ilsGeneralLarge.value(strKey).pixmap(PICTURE_SIZE, PICTURE_SIZE));
}

// ---------------------------------------------------------------- tree and pages

void frmGeneralOptions::tvwGenOptions_NodeClick(QTreeWidgetItem* Node) {
    Error_Block([&] {
        if (Node) Show_Options_Page(Page_Of(*Node));
    });
}

void frmGeneralOptions::Show_Options_Page(int Index) {
    for (QGroupBox* pPage : fraGeneralOptions) pPage->setVisible(false);
    if (Index >= 0 && Index < static_cast<int>(fraGeneralOptions.size()))
        fraGeneralOptions[static_cast<size_t>(Index)]->setVisible(true);
}

void frmGeneralOptions::tvwGenOptions_Collapse(QTreeWidgetItem* Node) {
    // The tree always stays open.
    if (Node) Node->setExpanded(true);
}

// ---------------------------------------------------------------- changes

void frmGeneralOptions::optComputer_Click() {
    Show_Picture(*ui->picMode, QStringLiteral("AllUsers"));
    ui->cmdApply->setEnabled(true);
}

void frmGeneralOptions::optUser_Click() {
    Show_Picture(*ui->picMode, QStringLiteral("User"));
    ui->cmdApply->setEnabled(true);
}

void frmGeneralOptions::optDisableRemoteMode_Click() {
    Show_Picture(*ui->picRemoteMode, QStringLiteral("LocalMode"));
    ui->cmdApply->setEnabled(true);
    ui->txtServerName->setEnabled(false);
    ui->txtClientPortNo->setEnabled(false);
}

void frmGeneralOptions::optEnableRemoteMode_Click() {
    Show_Picture(*ui->picRemoteMode, QStringLiteral("RemoteMode"));
    ui->cmdApply->setEnabled(true);
    ui->txtServerName->setEnabled(true);
    ui->txtClientPortNo->setEnabled(true);
}

void frmGeneralOptions::lvwClientSettings_ItemCheck(long lngItem) {
    // Client options the load could not read are not written: a tick would be dropped.
    if (!m_blnClientOptionsRead) {
        ui->lvwClientSettings->Set_Checked(lngItem, false);
        return;
    }
    ui->cmdApply->setEnabled(true);
}
void frmGeneralOptions::txtNewPassword_Change() { ui->cmdApply->setEnabled(true); }
void frmGeneralOptions::txtServerName_Change() { ui->cmdApply->setEnabled(true); }
void frmGeneralOptions::txtClientPortNo_Change() { ui->cmdApply->setEnabled(true); }

void frmGeneralOptions::txtNewPassword_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        ui->txtConfirmPassword->setFocus();
        KeyAscii = 0;
    }
}

void frmGeneralOptions::txtConfirmPassword_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13 && ui->cmdApply->isEnabled()) {
        ui->cmdApply->setFocus();
        KeyAscii = 0;
    }
}

void frmGeneralOptions::txtClientPortNo_KeyPress(int& KeyAscii) {
    platform::Port_Number_KeyPress(KeyAscii, [this] { cmdApply_Click(); });
}

// ---------------------------------------------------------------- Apply

Flag_Word frmGeneralOptions::Client_Options_Ticked(Flag_Word lngStored) const {
    // Only an item whose tick differs from what the load showed was changed here: every
    // other bit stays as stored, whoever stored it.
    const platform::ListView& list = *ui->lvwClientSettings;
    for (long i = 1; i <= list.Count(); ++i) {
        const Flag_Word lngBit = Bit_Of(list, i);
        if (list.Checked(i) != Is_Client_Option_Set(lngBit))
            modCommonFuns::Set_Bit_In_Flags(lngStored, lngBit, list.Checked(i));
    }
    return lngStored;
}

bool frmGeneralOptions::Client_Options_Changed() const {
    return m_blnClientOptionsRead && Client_Options_Ticked(m_lngClientOptions) != m_lngClientOptions;
}

int frmGeneralOptions::Chosen_Program_Mode() const {
    return ui->optUser->isChecked() ? 1 : ui->optComputer->isChecked() ? 0 : -1;
}

void frmGeneralOptions::Clear_Password_Boxes() {
    ui->txtNewPassword->setText(QString());
    ui->txtConfirmPassword->setText(QString());
}

void frmGeneralOptions::Show_Readable_Settings() {
    // A value the load could not read was not written and is not read (nor reported) again.
    if (m_blnModeRead) Load_Program_Mode();
    if (m_blnClientOptionsRead) Load_Client_Options();
    if (m_blnRemoteRead) Load_Remote_Settings();
    Set_Controls_State();
    Remember_Loaded_Remote_Settings();
}

void frmGeneralOptions::cmdApply_Click() {
    Error_Block([&] {
        if (Ask(QStringLiteral("Are you sure you want to change the Settings?"), 36) != platform::vbYes) return;
        const QString strNewPwd = ui->txtNewPassword->text();
        const QString strConfirmPwd = ui->txtConfirmPassword->text();

        // The mode and the client options are written before the password and the
        // remote settings are checked, each only when the administrator changed it, so
        // that what another program stored meanwhile stays. A write the database refuses
        // (or that finds no settings row) has been reported by its procedure: Apply ends
        // there and the dialog shows what is stored. A stored mode or client options word
        // the load could not read (no option chosen, no word held) is left as stored.
        const int intMode = Chosen_Program_Mode();
        if (intMode >= 0 && intMode != m_intLoadedMode) {
            if (!modCommonFuns::Set_Program_Mode(intMode)) {
                Show_Stored_Settings();
                return;
            }
            m_intLoadedMode = intMode;
        }
        if (Client_Options_Changed()) {
            // Only the items changed here change the word as stored at the write.
            Flag_Word lngWritten = 0;
            if (!modDBFunctions::Change_Client_Options(
                    [&](Flag_Word& lngStored) { lngStored = Client_Options_Ticked(lngStored); }, &lngWritten)) {
                Show_Stored_Settings();
                return;
            }
            m_lngClientOptions = lngWritten;
        }

        // An empty new password leaves the password as it is.
        if (!strNewPwd.isEmpty()) {
            if (!modCommonFuns::Is_Valid_Pwd_Text(strNewPwd)) {
                Ask(QStringLiteral("Please enter a valid Password!."), 48);
                Clear_Password_Boxes();
                ui->txtNewPassword->setFocus();
                return;
            }
            if (strNewPwd != strConfirmPwd) {
                Ask(QStringLiteral("Password mismatch. Retype the Password!."), 48);
                Clear_Password_Boxes();
                ui->txtNewPassword->setFocus();
                return;
            }
            if (!modCommonFuns::Set_Pwd(strNewPwd)) {
                Show_Stored_Settings();
                return;
            }
            Clear_Password_Boxes();
        }

        const long lngRemoteMode = ui->optEnableRemoteMode->isChecked() ? 1 : 0;
        // Remote settings left as loaded are not checked nor written again: what was not
        // touched stays as stored, a stored server name or port that fails its check
        // included (its page cannot be reached from the tree). Once any of them was
        // changed they are all checked, the untouched ones as stored, so that no change
        // is dropped for a value kept as stored; only the changed ones are written.
        // Remote settings the load could not read are never written (their controls are
        // disabled).
        const bool blnModeChanged = Chosen_Remote_Mode() != m_intLoadedRemoteMode;
        const bool blnServerChanged = ui->txtServerName->text() != m_strLoadedServerName;
        const bool blnPortChanged = ui->txtClientPortNo->text() != m_strLoadedClientPort;
        const bool blnKeepStoredRemote = !m_blnRemoteRead || (!blnModeChanged && !blnServerChanged && !blnPortChanged);
        const QString strServerName = ui->txtServerName->text().trimmed();
        long lngPort = 0;
        if (!blnKeepStoredRemote) {
            if (!modCommonFuns::Is_Valid_Text_100_No_Space(strServerName)) {
                Ask(QStringLiteral("Please enter a valid Server Name!."), 48);
                ui->txtServerName->setFocus();
                ui->txtServerName->selectAll();
                return;
            }
            const QString strPortText = ui->txtClientPortNo->text();
            bool blnValidPort = false;
            if (!blnPortChanged) {
                // Untouched: the stored number, not the box's cut of it.
                blnValidPort = Silent_Error_Block([&] { lngPort = modDB::To_Long(m_strStoredClientPort); }) &&
                               modCommonFuns::Is_Valid_Port_Number(lngPort);
            } else {
                // A text that is not a number ends Apply through the error report.
                lngPort = modDB::To_Long(strPortText);
                blnValidPort = modCommonFuns::Is_Valid_Port_Number(lngPort);
            }
            if (!blnValidPort) {
                Ask(QStringLiteral("Please enter a valid Port Number!."), 48);
                ui->txtClientPortNo->setFocus();
                ui->txtClientPortNo->selectAll();
                return;
            }
        }
        // The port is stored as the number it was checked as ("1.5" is stored as 2).
        if (!blnKeepStoredRemote &&
            !modDBFunctions::Change_Remote_Settings(
                blnModeChanged ? std::optional<long>(lngRemoteMode) : std::nullopt,
                blnServerChanged ? std::optional<QString>(strServerName) : std::nullopt,
                blnPortChanged ? std::optional<QString>(QString::number(lngPort)) : std::nullopt)) {
            Show_Stored_Settings();
            return;
        }

        Show_Readable_Settings();
        m_frmMain.Get_Working_Mode();

        ui->cmdApply->setEnabled(false);
        Ask(QStringLiteral("Successfully saved the changes."), 64);
    });
}

// ---------------------------------------------------------------- closing and links

void frmGeneralOptions::lblHomeSite_Click() { Maker_Links::Open_Home_Page(); }
