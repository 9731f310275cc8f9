#include "lists/frmWindowBlocker.h"

#include "database/ValueSets.h"
#include "platform/Controls.h"
#include "ui_frmWindowBlocker.h"

#include <QLayout>

frmWindowBlocker::frmWindowBlocker(Console_Link& console, QWidget* parent)
    : frmListEditorBase(console, parent), ui(std::make_unique<Ui::frmWindowBlocker>()) {
    ui->setupUi(this);
    Finish_Setup();

    // Every title is accepted, the empty one too; only its outer blanks go.
    lists::List_Config config;
    config.strTable = QStringLiteral("WINDOW_TBL");
    config.strColumn = QStringLiteral("WINDOW_TITLE");
    config.strIcon = QStringLiteral("Blocked Window Title");
    config.lngThreshold = 20;
    config.addForm = lists::Entry_Form::Trimmed;
    config.editForm = lists::Entry_Form::Trimmed;
    config.importForm = lists::Entry_Form::Trimmed;
    config.lngImportCut = 30;
    config.strRemoveQuestion = QStringLiteral("Are you sure you want to delete the selected Window Title(s)?");
    config.strExportTitle = QStringLiteral("Export Blocked Window Titles as text file");
    config.strExportSuffix = QStringLiteral("_Blocked_Window_List");
    config.strImportTitle = QStringLiteral("Import Blocked Window Titles from a text file");
    // A failed export of this list ends without a message.
    config.blnReportExportErrors = false;
    m_editor = std::make_unique<lists::clsListEditor>(*this, config, *ui->txtWindowBlocker, *ui->lvwWindowBlocker, cmdlgMain);
    m_editor->Set_Duplicate_Checks({{ui->lvwWindowBlocker, QStringLiteral("Window Title already exist!.")}});
    m_enableBox = std::make_unique<lists::Feature_Enable_Box>(*ui->chkEnableWindowBlocker, FEATURE_WINDOW_BLOCKER,
                                                             QStringLiteral("Window Blocker"), [this] { return Owner(); });

    ui->lvwWindowBlocker->Add_Column(QStringLiteral("Window Title"), 0);
    ui->lvwWindowBlocker->Set_Multi_Select(true);
    ui->lvwWindowBlocker->Set_Image_List(&Images());
    Set_Import_Locked_Controls({ui->txtWindowBlocker, ui->cmdAdd, ui->cmdEdit, ui->cmdRemove, ui->cmdImport,
                                ui->cmdExport, ui->cmdCopySettings, ui->chkEnableWindowBlocker, ui->cmdClose});

    connect(ui->chkEnableWindowBlocker, &QCheckBox::toggled, this, &frmWindowBlocker::chkEnableWindowBlocker_Click);
    connect(ui->cmdAdd, &QPushButton::clicked, this, &frmWindowBlocker::cmdAdd_Click);
    platform::Install_KeyPress(ui->txtWindowBlocker, [this](int& KeyAscii) { txtWindowBlocker_KeyPress(KeyAscii); });
    connect(ui->cmdEdit, &QPushButton::clicked, this, &frmWindowBlocker::cmdEdit_Click);
    connect(ui->lvwWindowBlocker, &platform::ListView::AfterLabelEdit, this,
            [this](long, int& Cancel, QString& NewString) { lvwWindowBlocker_AfterLabelEdit(Cancel, NewString); });
    connect(ui->cmdRemove, &QPushButton::clicked, this, &frmWindowBlocker::cmdRemove_Click);
    connect(ui->cmdImport, &QToolButton::clicked, this, &frmWindowBlocker::cmdImport_Click);
    connect(ui->cmdExport, &QToolButton::clicked, this, &frmWindowBlocker::cmdExport_Click);
    connect(ui->cmdCopySettings, &QToolButton::clicked, this, &frmWindowBlocker::cmdCopySettings_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmWindowBlocker::cmdClose_Click);

    resize(460, 440);
    if (Owner_Stored_At_Open()) Form_Load();
}

frmWindowBlocker::~frmWindowBlocker() = default;

void frmWindowBlocker::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Set_Tooltips();
        Load_Window_Title_List();
        Set_Controls_State();
        Load_Images();
        m_enableBox->Load();
        m_editor->Update_Allowance();
    });
}

void frmWindowBlocker::Load_Stored() {
    Error_Block([&] {
        m_editor->Reload();
        m_enableBox->Show_Stored();
    });
}

void frmWindowBlocker::Set_Caption_And_Columns() {
    setWindowTitle("Window Blocker - " + Owner_Name());
    Activate_Layouts();
    m_editor->Set_Base_Width(lists::List_Inner_Width_Twips(*ui->lvwWindowBlocker) - 20);
}

void frmWindowBlocker::Set_Tooltips() {
    ui->txtWindowBlocker->setToolTip(QStringLiteral("Provides a space for you to type Window Title"));
    ui->cmdExport->setToolTip(QStringLiteral("Export Blocked Window Titles to a file"));
    ui->cmdImport->setToolTip(QStringLiteral("Import Blocked Window Titles from a file"));
    ui->chkEnableWindowBlocker->setToolTip(QStringLiteral("Click to enable or disable the Window Blocker"));
}

void frmWindowBlocker::Load_Window_Title_List() { m_editor->Load(); }

void frmWindowBlocker::Set_Controls_State() {
    const bool blnEnabled = !modGlobal::Is_Remote_Mode;
    for (QWidget* pControl : std::initializer_list<QWidget*>{ui->cmdAdd, ui->cmdEdit, ui->cmdRemove, ui->cmdImport,
                                                             ui->chkEnableWindowBlocker, ui->txtWindowBlocker})
        pControl->setEnabled(blnEnabled);
}

void frmWindowBlocker::Load_Images() {
    ui->cmdExport->setIcon(Images().value(QStringLiteral("Export")));
    ui->cmdImport->setIcon(Images().value(QStringLiteral("Import")));
    ui->cmdCopySettings->setIcon(Images().value(QStringLiteral("Copy Settings")));
}

void frmWindowBlocker::chkEnableWindowBlocker_Click() { m_enableBox->Click(); }
void frmWindowBlocker::cmdAdd_Click() { m_editor->Add(); }

void frmWindowBlocker::txtWindowBlocker_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        cmdAdd_Click();
        KeyAscii = 0;
    }
}

void frmWindowBlocker::cmdEdit_Click() { m_editor->Edit(); }
void frmWindowBlocker::lvwWindowBlocker_AfterLabelEdit(int& Cancel, QString& NewString) {
    m_editor->After_Label_Edit(Cancel, NewString);
}
void frmWindowBlocker::cmdRemove_Click() { m_editor->Remove(); }
void frmWindowBlocker::cmdImport_Click() { m_editor->Import(); }
void frmWindowBlocker::cmdExport_Click() { m_editor->Export(); }
void frmWindowBlocker::cmdCopySettings_Click() { Copy_Settings(QStringLiteral("Window Blocker")); }
