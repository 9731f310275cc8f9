#include "lists/frmWebsiteFilter.h"

#include "database/ValueSets.h"
#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "services/modCommonFuns.h"
#include "ui_frmWebsiteFilter.h"

#include <QLayout>

namespace {

lists::List_Config Url_List(const QString& strTable, const QString& strColumn, const QString& strIcon,
                            const QString& strName, const QString& strFileName) {
    lists::List_Config config;
    config.strTable = strTable;
    config.strColumn = strColumn;
    config.strIcon = strIcon;
    config.lngThreshold = 17;
    config.addForm = lists::Entry_Form::Trimmed_Lower;
    config.editForm = lists::Entry_Form::Trimmed_Lower;
    config.validator = modCommonFuns::Has_No_Space;
    config.strInvalidAddMessage = QStringLiteral("Please enter a valid URL!.");
    config.strInvalidEditMessage = QStringLiteral("Please enter a valid URL!.");
    config.importForm = lists::Entry_Form::Trimmed_Lower;
    config.lngImportCut = 50;
    config.importValidator = modCommonFuns::Has_No_Space;
    config.strRemoveQuestion = QStringLiteral("Are you sure you want to delete the selected URL(s)?");
    config.strExportTitle = "Export " + strName + " URLs as text file";
    config.strExportSuffix = strFileName;
    config.strImportTitle = "Import " + strName + " URLs from a text file";
    return config;
}

}  // namespace

frmWebsiteFilter::frmWebsiteFilter(Console_Link& console, QWidget* parent)
    : frmListEditorBase(console, parent), ui(std::make_unique<Ui::frmWebsiteFilter>()) {
    ui->setupUi(this);
    Finish_Setup();
    ui->cboUrlType->addItems({QStringLiteral("Black List"), QStringLiteral("White List")});

    lists::List_Config black = Url_List(QStringLiteral("BL_TBL"), QStringLiteral("BL_URL"), QStringLiteral("Black List URL"),
                                        QStringLiteral("Black List"), QStringLiteral("_Black_List_URLs_List"));
    black.blnChecksNeedDatabase = true;
    m_black = std::make_unique<lists::clsListEditor>(*this, black, *ui->txtBlackUrl, *ui->lvwBlackList, cmnBLDilog);
    m_white = std::make_unique<lists::clsListEditor>(
        *this,
        Url_List(QStringLiteral("WL_TBL"), QStringLiteral("WL_URL"), QStringLiteral("White List URL"),
                 QStringLiteral("White List"), QStringLiteral("_White_List_URLs_List")),
        *ui->txtWhiteUrl, *ui->lvwWhiteList, cmnWLDilog);
    m_black->Set_Duplicate_Checks({{ui->lvwBlackList, QStringLiteral("URL already exist!.")},
                                   {ui->lvwWhiteList, QStringLiteral("URL already exist in White List!.")}});
    m_white->Set_Duplicate_Checks({{ui->lvwBlackList, QStringLiteral("URL already exist in Black List!.")},
                                   {ui->lvwWhiteList, QStringLiteral("URL already exist!.")}});
    m_enableBox = std::make_unique<lists::Feature_Enable_Box>(*ui->chkEnableUrlFilter, FEATURE_WEBSITE_FILTER,
                                                             QStringLiteral("WebSite Filter"), [this] { return Owner(); });

    for (platform::ListView* pList : {ui->lvwBlackList, ui->lvwWhiteList}) {
        pList->Set_Multi_Select(true);
        pList->Set_Image_List(&Images());
    }
    ui->lvwBlackList->Add_Column(QStringLiteral("Black List"), 0);
    ui->lvwWhiteList->Add_Column(QStringLiteral("White List"), 0);
    Set_Import_Locked_Controls({ui->cboUrlType, ui->txtBlackUrl, ui->cmdBlackAdd, ui->cmdBlackEdit, ui->cmdBlackRemove,
                                ui->cmdBLCopySettings, ui->cmdURLBLImport, ui->cmdURLBLExport, ui->txtWhiteUrl,
                                ui->cmdWhiteAdd, ui->cmdWhiteEdit, ui->cmdWhiteRemove, ui->cmdWLCopySettings,
                                ui->cmdURLWLImport, ui->cmdURLWLExport, ui->chkEnableUrlFilter, ui->cmdClose});

    connect(ui->cboUrlType, &QComboBox::currentIndexChanged, this, &frmWebsiteFilter::cboUrlType_Click);
    connect(ui->chkEnableUrlFilter, &QCheckBox::toggled, this, &frmWebsiteFilter::chkEnableUrlFilter_Click);
    connect(ui->cmdBlackAdd, &QPushButton::clicked, this, &frmWebsiteFilter::cmdBlackAdd_Click);
    connect(ui->cmdWhiteAdd, &QPushButton::clicked, this, &frmWebsiteFilter::cmdWhiteAdd_Click);
    platform::Install_KeyPress(ui->txtBlackUrl, [this](int& KeyAscii) { txtBlackUrl_KeyPress(KeyAscii); });
    platform::Install_KeyPress(ui->txtWhiteUrl, [this](int& KeyAscii) { txtWhiteUrl_KeyPress(KeyAscii); });
    connect(ui->cmdBlackEdit, &QPushButton::clicked, this, &frmWebsiteFilter::cmdBlackEdit_Click);
    connect(ui->cmdWhiteEdit, &QPushButton::clicked, this, &frmWebsiteFilter::cmdWhiteEdit_Click);
    connect(ui->lvwBlackList, &platform::ListView::AfterLabelEdit, this,
            [this](long, int& Cancel, QString& NewString) { lvwBlackList_AfterLabelEdit(Cancel, NewString); });
    connect(ui->lvwWhiteList, &platform::ListView::AfterLabelEdit, this,
            [this](long, int& Cancel, QString& NewString) { lvwWhiteList_AfterLabelEdit(Cancel, NewString); });
    connect(ui->cmdBlackRemove, &QPushButton::clicked, this, &frmWebsiteFilter::cmdBlackRemove_Click);
    connect(ui->cmdWhiteRemove, &QPushButton::clicked, this, &frmWebsiteFilter::cmdWhiteRemove_Click);
    connect(ui->cmdURLBLImport, &QToolButton::clicked, this, &frmWebsiteFilter::cmdURLBLImport_Click);
    connect(ui->cmdURLWLImport, &QToolButton::clicked, this, &frmWebsiteFilter::cmdURLWLImport_Click);
    connect(ui->cmdURLBLExport, &QToolButton::clicked, this, &frmWebsiteFilter::cmdURLBLExport_Click);
    connect(ui->cmdURLWLExport, &QToolButton::clicked, this, &frmWebsiteFilter::cmdURLWLExport_Click);
    connect(ui->cmdBLCopySettings, &QToolButton::clicked, this, &frmWebsiteFilter::cmdBLCopySettings_Click);
    connect(ui->cmdWLCopySettings, &QToolButton::clicked, this, &frmWebsiteFilter::cmdWLCopySettings_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmWebsiteFilter::cmdClose_Click);

    ui->cboUrlType->setCurrentIndex(-1);
    resize(480, 460);
    if (Owner_Stored_At_Open()) Form_Load();
    // Only one list shows: size the dialog for it.
    layout()->invalidate();
    Activate_Layouts();
    resize(480, 460);
}

frmWebsiteFilter::~frmWebsiteFilter() = default;

void frmWebsiteFilter::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Set_Tooltips();
        Load_White_List();
        Load_Black_List();
        Set_Controls_State();
        const Policy_Owner owner = Owner();
        long lngOnOff = 0;
        modDBFunctions::Get_Internet_On_Off(owner.lngComputerID, owner.lngUserID, lngOnOff);
        Load_Images();
        ui->cboUrlType->setCurrentIndex(lngOnOff == 1 ? 0 : 1);
        m_enableBox->Load();
        m_black->Update_Allowance();
        m_white->Update_Allowance();
    });
}

// The list shown stays as the administrator chose it; both lists and the enable box
// show what is stored.
void frmWebsiteFilter::Load_Stored() {
    Error_Block([&] {
        m_white->Reload();
        m_black->Reload();
        m_enableBox->Show_Stored();
    });
}

void frmWebsiteFilter::Set_Caption_And_Columns() {
    setWindowTitle("Website Filter - " + Owner_Name());
    Activate_Layouts();
    const double dblTwips = lists::List_Inner_Width_Twips(*ui->lvwBlackList) - 20;
    m_black->Set_Base_Width(dblTwips);
    m_white->Set_Base_Width(dblTwips);
}

void frmWebsiteFilter::Set_Tooltips() {
    ui->txtBlackUrl->setToolTip(QStringLiteral("Type Blocked URLs (eg: .example.com, .example.net)"));
    ui->txtWhiteUrl->setToolTip(QStringLiteral("Type White List URLs (eg: .example.org, .example.edu)"));
    ui->cmdURLBLExport->setToolTip(QStringLiteral("Export Blocked URLs to a file"));
    ui->cmdURLWLExport->setToolTip(QStringLiteral("Export White List URLs to a file"));
    ui->cmdURLBLImport->setToolTip(QStringLiteral("Import Blocked URLs from a file"));
    ui->cmdURLWLImport->setToolTip(QStringLiteral("Import White List URLs from a file"));
    ui->chkEnableUrlFilter->setToolTip(QStringLiteral("Click to enable or disable the Website Filter"));
}

void frmWebsiteFilter::Load_White_List() { m_white->Load(); }
void frmWebsiteFilter::Load_Black_List() { m_black->Load(); }

void frmWebsiteFilter::Set_Controls_State() {
    const bool blnEnabled = !modGlobal::Is_Remote_Mode;
    for (QWidget* pControl : std::initializer_list<QWidget*>{
             ui->cmdBlackAdd, ui->cmdBlackEdit, ui->cmdBlackRemove, ui->cmdURLBLImport, ui->chkEnableUrlFilter,
             ui->cmdWhiteAdd, ui->cmdWhiteEdit, ui->cmdWhiteRemove, ui->cmdURLWLImport, ui->txtBlackUrl, ui->txtWhiteUrl})
        pControl->setEnabled(blnEnabled);
}

void frmWebsiteFilter::Load_Images() {
    for (QToolButton* pButton : {ui->cmdURLBLExport, ui->cmdURLWLExport}) pButton->setIcon(Images().value("Export"));
    for (QToolButton* pButton : {ui->cmdURLBLImport, ui->cmdURLWLImport}) pButton->setIcon(Images().value("Import"));
    for (QToolButton* pButton : {ui->cmdBLCopySettings, ui->cmdWLCopySettings})
        pButton->setIcon(Images().value("Copy Settings"));
}

void frmWebsiteFilter::cboUrlType_Click() {
    const QString strType = ui->cboUrlType->currentText();
    if (strType == QLatin1String("White List")) Show_One_Frame(*ui->fraWhiteList, *ui->fraBlackList);
    else if (strType == QLatin1String("Black List")) Show_One_Frame(*ui->fraBlackList, *ui->fraWhiteList);
}

void frmWebsiteFilter::chkEnableUrlFilter_Click() { m_enableBox->Click(); }
void frmWebsiteFilter::cmdBlackAdd_Click() { m_black->Add(); }
void frmWebsiteFilter::cmdWhiteAdd_Click() { m_white->Add(); }

void frmWebsiteFilter::txtBlackUrl_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        cmdBlackAdd_Click();
        KeyAscii = 0;
    }
}

void frmWebsiteFilter::txtWhiteUrl_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        cmdWhiteAdd_Click();
        KeyAscii = 0;
    }
}

void frmWebsiteFilter::cmdBlackEdit_Click() { m_black->Edit(); }
void frmWebsiteFilter::cmdWhiteEdit_Click() { m_white->Edit(); }
void frmWebsiteFilter::lvwBlackList_AfterLabelEdit(int& Cancel, QString& NewString) { m_black->After_Label_Edit(Cancel, NewString); }
void frmWebsiteFilter::lvwWhiteList_AfterLabelEdit(int& Cancel, QString& NewString) { m_white->After_Label_Edit(Cancel, NewString); }
void frmWebsiteFilter::cmdBlackRemove_Click() { m_black->Remove(); }
void frmWebsiteFilter::cmdWhiteRemove_Click() { m_white->Remove(); }
void frmWebsiteFilter::cmdURLBLImport_Click() { m_black->Import(); }
void frmWebsiteFilter::cmdURLWLImport_Click() { m_white->Import(); }
void frmWebsiteFilter::cmdURLBLExport_Click() { m_black->Export(); }
void frmWebsiteFilter::cmdURLWLExport_Click() { m_white->Export(); }
void frmWebsiteFilter::cmdBLCopySettings_Click() { Copy_Settings(QStringLiteral("WebSite Filter")); }
void frmWebsiteFilter::cmdWLCopySettings_Click() { Copy_Settings(QStringLiteral("WebSite Filter")); }
