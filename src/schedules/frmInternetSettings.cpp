#include "schedules/frmInternetSettings.h"
#include "schedules/SettingsApply.h"
#include "ui_frmInternetSettings.h"

#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "lists/WriteWalk.h"
#include "platform/Controls.h"
#include "services/ConsoleImages.h"
#include "services/ErrorHandler.h"
#include "services/ListHelpers.h"
#include "services/MakerLinks.h"
#include "services/modCommonFuns.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QUrl>
#include <limits>

// Resources of a static library are registered by hand, outside any namespace.
static void Init_Settings_Resources() { Q_INIT_RESOURCE(settings); }

namespace {

const QString TITLE = QStringLiteral("DravinoleTS");
const QString BYPASSED_EXE = QStringLiteral("BypassedExe");
// The message types in the order of their stored values.
const QStringList WINDOW_TYPES = {QStringLiteral("Do not show any messages (block silently)"),
                                  QStringLiteral("Browser Window"), QStringLiteral("Message Box"),
                                  QStringLiteral("Redirect URL")};

int Ask(const QString& strText, long lngStyle) { return platform::Message_Boxes().Show(strText, lngStyle, TITLE); }

}  // namespace

frmInternetSettings::frmInternetSettings(Console_Link& console, QWidget* parent)
    : frmListEditorBase(console, parent), ui(std::make_unique<Ui::frmInternetSettings>()) {
    ui->setupUi(this);
    Init_Settings_Resources();
    ilsInternetSettingsSmall.insert(BYPASSED_EXE, QIcon(QStringLiteral(":/settings/settings_icons/bypassed_exe.svg")));

    // The message, the address and the program name have no length limit.
    for (QLineEdit* pBox : {ui->txtRedirectUrl, ui->txtByPassedExe})
        pBox->setMaxLength(std::numeric_limits<int>::max());
    for (QFrame* pLine : {ui->frameLine_0, ui->frameLine_1}) pLine->setFixedHeight(platform::Twips_To_Pixels(35, this));
    ui->cmdBrowseExe->setIcon(Images().value(QStringLiteral("Browse EXE")));

    ui->lblHomeSite->setText(QUrl(Maker_Links::HOME_PAGE).host());
    ui->lblHomeSite->setCursor(Console_Images::Hand_Cursor(Console_Images::Load_Image_List({QStringLiteral("Hand")})));
    QPalette linkPalette = ui->lblHomeSite->palette();
    linkPalette.setColor(QPalette::WindowText, palette().color(QPalette::Link));
    ui->lblHomeSite->setPalette(linkPalette);

    platform::ListView& list = *ui->lvwBypassedExe;
    list.Set_View(platform::ListView::lvwReport);
    list.Set_Multi_Select(true);
    list.Set_Image_List(&ilsInternetSettingsSmall);
    // Narrow from the threshold's item on: while more than one item fewer are listed.
    m_allowance = std::make_unique<lists::Column_Allowance>(list, 1, m_lngScrollThreshold - 1);

    connect(ui->cboWindowType, &QComboBox::currentIndexChanged, this, &frmInternetSettings::cboWindowType_Click);
    connect(ui->txtBlMessage, &QPlainTextEdit::textChanged, this, &frmInternetSettings::txtBlMessage_Change);
    connect(ui->txtRedirectUrl, &QLineEdit::textChanged, this, &frmInternetSettings::txtRedirectUrl_Change);
    connect(ui->cmdApply, &QPushButton::clicked, this, &frmInternetSettings::cmdApply_Click);
    connect(ui->cmdAdd, &QPushButton::clicked, this, &frmInternetSettings::cmdAdd_Click);
    platform::Install_KeyPress(ui->txtByPassedExe, [this](int& KeyAscii) { txtByPassedExe_KeyPress(KeyAscii); });
    connect(ui->cmdRemove, &QPushButton::clicked, this, &frmInternetSettings::cmdRemove_Click);
    connect(ui->cmdBrowseExe, &QToolButton::clicked, this, &frmInternetSettings::cmdBrowseExe_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmInternetSettings::cmdClose_Click);
    platform::Install_Click(ui->lblHomeSite, [this] { lblHomeSite_Click(); });

    // The type combo is as wide as its longest type, so no type is cut.
    platform::Fit_Combo_Width(*ui->cboWindowType, WINDOW_TYPES);
    resize(470, 520);
    if (Owner_Stored_At_Open()) Form_Load();
}

frmInternetSettings::~frmInternetSettings() {
    // The list may still paint while the dialog goes; its icons are members.
    ui->lvwBypassedExe->Set_Image_List(nullptr);
}

// ---------------------------------------------------------------- load

void frmInternetSettings::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Set_Tooltips();
        Fill_Window_Types();
        Load_Internet_Message();
        Load_Bypassed_Exe_List();
        Set_Controls_State();
        // Filling the boxes and the combo enabled Apply; every opening starts without a change.
        ui->cmdApply->setEnabled(false);
    });
}

void frmInternetSettings::Set_Caption_And_Columns() {
    setWindowTitle("Internet Settings - " + Owner_Name());
    ui->lvwBypassedExe->Add_Column(QStringLiteral("EXE Name"), 0);
    Activate_Layouts();
    m_allowance->Set_Base_Width(lists::List_Inner_Width_Twips(*ui->lvwBypassedExe) - 20);
}

void frmInternetSettings::Set_Tooltips() {
    ui->txtBlMessage->setToolTip(QStringLiteral("Provides a space for you to type Blocked Internet Message"));
    ui->cmdBrowseExe->setToolTip(QStringLiteral("Browse for applications"));
    ui->txtByPassedExe->setToolTip(QStringLiteral("Provides a space for you to type Bypassed EXE Name"));
    ui->txtRedirectUrl->setToolTip(QStringLiteral(
        "Provides a space for you to type Redirect URL (a) Prefix 'http://' to the URL (b) Add redirect url to whitelist"));
    ui->cboWindowType->setToolTip(QStringLiteral("Select an option to show Blocked Internet Message"));
}

void frmInternetSettings::Fill_Window_Types() {
    // The item index is the stored type. Filled without a selection, as the old list
    // box was: the first item a combo selects by itself is no choice of the owner's.
    const QSignalBlocker blocker(ui->cboWindowType);
    ui->cboWindowType->clear();
    ui->cboWindowType->addItems(WINDOW_TYPES);
    ui->cboWindowType->setCurrentIndex(-1);
}

void frmInternetSettings::Load_Internet_Message() {
    const Policy_Owner owner = Owner();
    long lngMsgType = 0;
    QString strMessage, strRedirectUrl;
    if (!modDBFunctions::Get_Website_Message(owner.lngComputerID, owner.lngUserID, lngMsgType, strMessage, strRedirectUrl))
        return;
    m_lngStoredType = lngMsgType;
    ui->txtBlMessage->setText(strMessage);
    ui->txtRedirectUrl->setText(strRedirectUrl.isEmpty() ? QStringLiteral("http://") : strRedirectUrl);
    m_strStoredMessage = strMessage;
    m_strShownMessage = ui->txtBlMessage->text();
    // The "http://" put into the box of an empty address is what an Apply stores for it.
    m_strShownRedirect = ui->txtRedirectUrl->text();
    m_strStoredRedirect = strRedirectUrl.isEmpty() ? m_strShownRedirect : strRedirectUrl;
    // Any other stored type leaves the combo without a selection.
    ui->cboWindowType->setCurrentIndex(lngMsgType >= 0 && lngMsgType <= 3 ? static_cast<int>(lngMsgType) : -1);
}

void frmInternetSettings::Load_Bypassed_Exe_List() {
    const Policy_Owner owner = Owner();
    modDB::Query_Result arrResult;
    const long lngRows = modDBFunctions::Get_Bypass_Exes(owner.lngComputerID, owner.lngUserID, arrResult);
    std::vector<platform::List_Item> items(static_cast<size_t>(lngRows));
    for (long r = 1; r <= lngRows; ++r) {
        items[static_cast<size_t>(r - 1)].strText = arrResult.Value(r, 0);
        items[static_cast<size_t>(r - 1)].strSmallIcon = BYPASSED_EXE;
    }
    ui->lvwBypassedExe->Add_Many(std::move(items));
    m_allowance->Update();
}

void frmInternetSettings::Set_Controls_State() {
    const bool blnEnabled = !modGlobal::Is_Remote_Mode;
    for (QWidget* pControl : std::initializer_list<QWidget*>{ui->cmdAdd, ui->cmdRemove, ui->cmdApply, ui->cmdBrowseExe,
                                                             ui->txtBlMessage, ui->txtByPassedExe, ui->txtRedirectUrl,
                                                             ui->cboWindowType})
        pControl->setEnabled(blnEnabled);
}

// ---------------------------------------------------------------- message settings

void frmInternetSettings::Show_Message_Controls(bool blnShow) {
    ui->lblMessage->setVisible(blnShow);
    ui->txtBlMessage->setVisible(blnShow);
    Show_Group_Separator();
}

void frmInternetSettings::Show_Redirect_Controls(bool blnShow) {
    ui->lblRedirectUrl->setVisible(blnShow);
    ui->txtRedirectUrl->setVisible(blnShow);
    Show_Group_Separator();
}

void frmInternetSettings::Show_Group_Separator() {
    // The line under the message and redirect groups; with both hidden, the line
    // under the type combo already parts it from the program list.
    ui->frameLine_0->setVisible(!ui->txtBlMessage->isHidden() || !ui->txtRedirectUrl->isHidden());
}

void frmInternetSettings::cboWindowType_Click() {
    switch (ui->cboWindowType->currentIndex()) {
        case 0:
            Show_Message_Controls(false);
            Show_Redirect_Controls(false);
            break;
        case 1:
        case 2:
            Show_Message_Controls(true);
            Show_Redirect_Controls(false);
            break;
        case 3:
            Show_Message_Controls(false);
            Show_Redirect_Controls(true);
            break;
        default: break;
    }
    ui->cmdApply->setEnabled(true);
}

void frmInternetSettings::txtBlMessage_Change() { ui->cmdApply->setEnabled(true); }
void frmInternetSettings::txtRedirectUrl_Change() { ui->cmdApply->setEnabled(true); }

void frmInternetSettings::cmdApply_Click() {
    Error_Block([&] {
        // A hidden box's text is stored as well, and neither text is tested: both keep
        // every character typed, only their outer blanks go. A box not edited keeps its
        // stored text as it stands.
        const QString strMessage =
            modCommonFuns::Text_To_Write(ui->txtBlMessage->text(), m_strShownMessage, m_strStoredMessage);
        const QString strRedirectUrl =
            modCommonFuns::Text_To_Write(ui->txtRedirectUrl->text(), m_strShownRedirect, m_strStoredRedirect);
        const int intIndex = ui->cboWindowType->currentIndex();
        const long lngMsgType = intIndex >= 0 ? intIndex : m_lngStoredType;
        const Policy_Owner owner = Owner();
        const modDB::Row_Write written = modDBFunctions::Set_Website_Message(owner.lngComputerID, owner.lngUserID,
                                                                             lngMsgType, strMessage, strRedirectUrl);
        if (!schedules::Apply_Stored(written, *ui->cmdApply)) return;
        m_lngStoredType = lngMsgType;
        m_strStoredMessage = strMessage;
        m_strShownMessage = ui->txtBlMessage->text();
        m_strStoredRedirect = strRedirectUrl;
        m_strShownRedirect = ui->txtRedirectUrl->text();
        Ask(QStringLiteral("Successfully saved the changes"), 64);
    });
}

// ---------------------------------------------------------------- always-allowed programs

void frmInternetSettings::List_Bypassed_Exe(const QString& strName) {
    ui->lvwBypassedExe->Add(strName, QString(), BYPASSED_EXE);
    m_allowance->Update();
}

void frmInternetSettings::cmdAdd_Click() {
    Error_Block([&] {
        const QString strName = ui->txtByPassedExe->text().trimmed();
        if (!modCommonFuns::Always_True(strName)) return;
        if (modCommonFuns::ListView_Contains_Text(strName, *ui->lvwBypassedExe)) {
            Ask(QStringLiteral("The Exe already exists in the list!"), 48);
            ui->txtByPassedExe->setFocus();
            ui->txtByPassedExe->selectAll();
            return;
        }
        modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
        modDB::MY_TRANS trans(hDb);
        if (!trans.Began()) return;  // the open or the BEGIN was reported
        const Policy_Owner owner = Owner();
        modDB::Query_Result arrResult;
        const modDB::Row_Write added =
            modDBFunctions::Add_Bypass_Exe(hDb, arrResult, owner.lngComputerID, owner.lngUserID, strName);
        if (added.Not_Stored()) Owner_Gone();
        if (!added) return;
        // Listed only once stored: a refused commit has been reported and lists nothing.
        if (!trans.Commit()) return;
        List_Bypassed_Exe(strName);
        ui->txtByPassedExe->setFocus();
        ui->txtByPassedExe->clear();
    });
}

void frmInternetSettings::txtByPassedExe_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        cmdAdd_Click();
        KeyAscii = 0;
    }
}

void frmInternetSettings::cmdRemove_Click() {
    // Asked also when nothing is selected; nothing is deleted then.
    if (Ask(QStringLiteral("Are you sure you want to delete the selected Exe(s)?"), 36) != platform::vbYes) return;
    platform::ListView& list = *ui->lvwBypassedExe;
    std::vector<long> removed;
    bool blnNotStored = false;
    Error_Block([&] {
        const std::vector<long> selected = list.Selected_Items();
        if (selected.empty()) return;
        modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
        modDB::MY_TRANS trans(hDb);
        if (!trans.Began()) return;  // the open or the BEGIN was reported
        const Policy_Owner owner = Owner();
        modDBFunctions::Bypass_Exe_Deletes deletes(hDb, owner.lngComputerID, owner.lngUserID);
        lists::Write_Walk walk(trans);
        // From the last to the first; a refused delete leaves its own item listed, and
        // whether the walk goes on past it is the walk's rule. A name is one program in
        // any letter case: its delete takes every row of the name, so a selected twin
        // needs no delete of its own.
        lists::Deleted_Texts deleted(lists::Deleted_Texts::Ignoring_Ascii_Case);  // as the database compares them
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            const QString strName = list.Text(*it);
            if (deleted.Contains(strName)) {
                deleted.Add_Item(*it);
                continue;
            }
            if (deletes.Run(strName)) deleted.Add(strName, *it, deletes.Rows_Changed());
            else if (!walk.Go_On_After(deletes)) break;
        }
        blnNotStored = walk.Not_Stored();
        // Nothing leaves the list unless its delete was committed; then every item the
        // table no longer holds leaves it, the twins in other letter cases too.
        if (!walk.Finish()) return;
        removed = deleted.Items_In(list);
    });
    // A program another program deleted would stay listed: the list shows what is stored.
    if (blnNotStored) {
        lists::Show_Stored_Rows(list, m_allowance.get(), [&] {
            Load_Bypassed_Exe_List();
            return true;
        });
        return;
    }
    list.Remove_Items(removed);
    m_allowance->Update();
}

void frmInternetSettings::cmdBrowseExe_Click() {
    lists::Browse_Programs(cmnDialogBrowse, *this, *ui->lvwBypassedExe, *m_allowance, BYPASSED_EXE,
                           QStringLiteral("BYPASS_EXE"), QStringLiteral("BYPASS_EXE_TBL"));
}

void frmInternetSettings::lblHomeSite_Click() { Maker_Links::Open_Home_Page(); }
