#include "lists/frmEXEBlocker.h"

#include "database/ValueSets.h"
#include "platform/Controls.h"
#include "ui_frmEXEBlocker.h"

#include <QLayout>

frmEXEBlocker::frmEXEBlocker(Console_Link& console, QWidget* parent)
    : frmListEditorBase(console, parent), ui(std::make_unique<Ui::frmEXEBlocker>()) {
    ui->setupUi(this);
    Finish_Setup();

    // Every name is accepted, the empty one too; only its outer blanks go.
    lists::List_Config config;
    config.strTable = QStringLiteral("EXE_TBL");
    config.strColumn = QStringLiteral("EXE_NAME");
    config.strIcon = QStringLiteral("Blocked EXE");
    config.lngThreshold = 20;
    config.addForm = lists::Entry_Form::Trimmed;
    config.editForm = lists::Entry_Form::Trimmed;
    config.importForm = lists::Entry_Form::Trimmed;
    config.lngImportCut = 50;
    config.strRemoveQuestion = QStringLiteral("Are you sure you want to delete the selected EXE(s)?");
    config.strExportTitle = QStringLiteral("Export Blocked EXE Names as text file");
    config.strExportSuffix = QStringLiteral("_Blocked_EXE_List");
    config.strImportTitle = QStringLiteral("Import Blocked EXE Names from a text file");
    m_editor = std::make_unique<lists::clsListEditor>(*this, config, *ui->txtEXEBlocker, *ui->lvwEXEBlocker, cmdlgMain);
    m_editor->Set_Duplicate_Checks({{ui->lvwEXEBlocker, QStringLiteral("EXE Name already exist!.")}});
    m_enableBox = std::make_unique<lists::Feature_Enable_Box>(*ui->chkEnableEXEBlocker, FEATURE_EXE_BLOCKER,
                                                             QStringLiteral("EXE Blocker"), [this] { return Owner(); });

    ui->lvwEXEBlocker->Add_Column(QStringLiteral("EXE Names"), 0);
    ui->lvwEXEBlocker->Set_Multi_Select(true);
    ui->lvwEXEBlocker->Set_Image_List(&Images());
    // The browse button's own picture.
    ui->cmdBrowseExe->setIcon(Images().value(QStringLiteral("Browse EXE")));
    Set_Import_Locked_Controls({ui->txtEXEBlocker, ui->cmdBrowseExe, ui->cmdAdd, ui->cmdEdit, ui->cmdRemove,
                                ui->cmdImport, ui->cmdExport, ui->cmdCopySettings, ui->chkEnableEXEBlocker,
                                ui->cmdClose});

    connect(ui->chkEnableEXEBlocker, &QCheckBox::toggled, this, &frmEXEBlocker::chkEnableEXEBlocker_Click);
    connect(ui->cmdAdd, &QPushButton::clicked, this, &frmEXEBlocker::cmdAdd_Click);
    platform::Install_KeyPress(ui->txtEXEBlocker, [this](int& KeyAscii) { txtEXEBlocker_KeyPress(KeyAscii); });
    connect(ui->cmdEdit, &QPushButton::clicked, this, &frmEXEBlocker::cmdEdit_Click);
    connect(ui->lvwEXEBlocker, &platform::ListView::AfterLabelEdit, this,
            [this](long, int& Cancel, QString& NewString) { lvwEXEBlocker_AfterLabelEdit(Cancel, NewString); });
    connect(ui->cmdRemove, &QPushButton::clicked, this, &frmEXEBlocker::cmdRemove_Click);
    connect(ui->cmdImport, &QToolButton::clicked, this, &frmEXEBlocker::cmdImport_Click);
    connect(ui->cmdExport, &QToolButton::clicked, this, &frmEXEBlocker::cmdExport_Click);
    connect(ui->cmdCopySettings, &QToolButton::clicked, this, &frmEXEBlocker::cmdCopySettings_Click);
    connect(ui->cmdBrowseExe, &QToolButton::clicked, this, &frmEXEBlocker::cmdBrowseExe_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmEXEBlocker::cmdClose_Click);

    resize(460, 440);
    if (Owner_Stored_At_Open()) Form_Load();
}

frmEXEBlocker::~frmEXEBlocker() = default;

void frmEXEBlocker::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Set_Tooltips();
        Load_EXE_List();
        Set_Controls_State();
        Load_Images();
        m_enableBox->Load();
        m_editor->Update_Allowance();
    });
}

void frmEXEBlocker::Load_Stored() {
    Error_Block([&] {
        m_editor->Reload();
        m_enableBox->Show_Stored();
    });
}

void frmEXEBlocker::Set_Caption_And_Columns() {
    setWindowTitle("EXE Blocker - " + Owner_Name());
    Activate_Layouts();
    m_editor->Set_Base_Width(lists::List_Inner_Width_Twips(*ui->lvwEXEBlocker) - 20);
}

void frmEXEBlocker::Set_Tooltips() {
    ui->txtEXEBlocker->setToolTip(QStringLiteral("Provides a space for you to type Blocked EXEs"));
    ui->cmdExport->setToolTip(QStringLiteral("Export Blocked EXEs to a file"));
    ui->cmdImport->setToolTip(QStringLiteral("Import Blocked EXEs from a file"));
    ui->chkEnableEXEBlocker->setToolTip(QStringLiteral("Click to enable or disable the EXE Blocker"));
    ui->cmdBrowseExe->setToolTip(QStringLiteral("Browse for exe files"));
}

void frmEXEBlocker::Load_EXE_List() { m_editor->Load(); }

void frmEXEBlocker::Set_Controls_State() {
    const bool blnEnabled = !modGlobal::Is_Remote_Mode;
    for (QWidget* pControl : std::initializer_list<QWidget*>{ui->cmdAdd, ui->cmdEdit, ui->cmdImport, ui->cmdRemove,
                                                             ui->txtEXEBlocker, ui->chkEnableEXEBlocker, ui->cmdBrowseExe})
        pControl->setEnabled(blnEnabled);
}

void frmEXEBlocker::Load_Images() {
    ui->cmdExport->setIcon(Images().value(QStringLiteral("Export")));
    ui->cmdImport->setIcon(Images().value(QStringLiteral("Import")));
    ui->cmdCopySettings->setIcon(Images().value(QStringLiteral("Copy Settings")));
}

void frmEXEBlocker::chkEnableEXEBlocker_Click() { m_enableBox->Click(); }
void frmEXEBlocker::cmdAdd_Click() { m_editor->Add(); }

void frmEXEBlocker::txtEXEBlocker_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        cmdAdd_Click();
        KeyAscii = 0;
    }
}

void frmEXEBlocker::cmdEdit_Click() { m_editor->Edit(); }
void frmEXEBlocker::lvwEXEBlocker_AfterLabelEdit(int& Cancel, QString& NewString) {
    m_editor->After_Label_Edit(Cancel, NewString);
}
void frmEXEBlocker::cmdRemove_Click() { m_editor->Remove(); }
void frmEXEBlocker::cmdImport_Click() { m_editor->Import(); }
void frmEXEBlocker::cmdExport_Click() { m_editor->Export(); }
void frmEXEBlocker::cmdCopySettings_Click() { Copy_Settings(QStringLiteral("EXE Blocker")); }
void frmEXEBlocker::cmdBrowseExe_Click() { m_editor->Browse(cmnDialogBrowse); }
