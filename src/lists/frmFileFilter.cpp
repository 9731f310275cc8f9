#include "lists/frmFileFilter.h"

#include "database/ValueSets.h"
#include "platform/Controls.h"
#include "services/modCommonFuns.h"
#include "ui_frmFileFilter.h"

#include <QLayout>

frmFileFilter::frmFileFilter(Console_Link& console, QWidget* parent)
    : frmListEditorBase(console, parent), ui(std::make_unique<Ui::frmFileFilter>()) {
    ui->setupUi(this);
    Finish_Setup();

    lists::List_Config config;
    config.strTable = QStringLiteral("FILE_TBL");
    config.strColumn = QStringLiteral("FILE_EXTN");
    config.strIcon = QStringLiteral("Blocked File Extension");
    config.lngThreshold = 20;
    config.addForm = lists::Entry_Form::As_Typed;
    config.editForm = lists::Entry_Form::Trimmed;
    config.validator = modCommonFuns::Is_Valid_Text_Min2_No_Space;
    config.strInvalidAddMessage = QStringLiteral("Please enter a valid File Extension!.");
    config.strInvalidEditMessage = QStringLiteral("Please enter a valid File Extention!.");
    config.importForm = lists::Entry_Form::Trimmed;
    config.lngImportCut = 10;
    config.importValidator = modCommonFuns::Is_Valid_Text_Min2_No_Space;
    config.strRemoveQuestion = QStringLiteral("Are you sure you want to delete the selected File Extension(s)?");
    config.strExportTitle = QStringLiteral("Export Blocked File Extension as text file");
    config.strExportSuffix = QStringLiteral("_Blocked_File_List");
    config.strImportTitle = QStringLiteral("Import Blocked File Extension from a text file");
    m_editor = std::make_unique<lists::clsListEditor>(*this, config, *ui->txtFileExtension, *ui->lvwFileFilter, cmdlgMain);
    m_editor->Set_Duplicate_Checks({{ui->lvwFileFilter, QStringLiteral("File Extension already exist!.")}});
    m_enableBox = std::make_unique<lists::Feature_Enable_Box>(*ui->chkEnableFileFilter, FEATURE_FILE_FILTER,
                                                             QStringLiteral("File Filter"), [this] { return Owner(); });

    ui->lvwFileFilter->Add_Column(QStringLiteral("File Extension"), 0);
    ui->lvwFileFilter->Set_Multi_Select(true);
    ui->lvwFileFilter->Set_Image_List(&Images());
    Set_Import_Locked_Controls({ui->txtFileExtension, ui->cmdAdd, ui->cmdEdit, ui->cmdRemove, ui->cmdImport,
                                ui->cmdExport, ui->cmdCopySettings, ui->chkEnableFileFilter, ui->cmdClose});

    connect(ui->chkEnableFileFilter, &QCheckBox::toggled, this, &frmFileFilter::chkEnableFileFilter_Click);
    connect(ui->cmdAdd, &QPushButton::clicked, this, &frmFileFilter::cmdAdd_Click);
    platform::Install_KeyPress(ui->txtFileExtension, [this](int& KeyAscii) { txtFileExtension_KeyPress(KeyAscii); });
    connect(ui->cmdEdit, &QPushButton::clicked, this, &frmFileFilter::cmdEdit_Click);
    connect(ui->lvwFileFilter, &platform::ListView::AfterLabelEdit, this,
            [this](long, int& Cancel, QString& NewString) { lvwFileFilter_AfterLabelEdit(Cancel, NewString); });
    connect(ui->cmdRemove, &QPushButton::clicked, this, &frmFileFilter::cmdRemove_Click);
    connect(ui->cmdImport, &QToolButton::clicked, this, &frmFileFilter::cmdImport_Click);
    connect(ui->cmdExport, &QToolButton::clicked, this, &frmFileFilter::cmdExport_Click);
    connect(ui->cmdCopySettings, &QToolButton::clicked, this, &frmFileFilter::cmdCopySettings_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmFileFilter::cmdClose_Click);

    resize(460, 440);
    if (Owner_Stored_At_Open()) Form_Load();
}

frmFileFilter::~frmFileFilter() = default;

void frmFileFilter::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Set_Tooltips();
        Load_File_Extension_List();
        Set_Controls_State();
        Load_Images();
        m_enableBox->Load();
        m_editor->Update_Allowance();
    });
}

void frmFileFilter::Load_Stored() {
    Error_Block([&] {
        m_editor->Reload();
        m_enableBox->Show_Stored();
    });
}

void frmFileFilter::Set_Caption_And_Columns() {
    setWindowTitle("File Filter - " + Owner_Name());
    Activate_Layouts();
    m_editor->Set_Base_Width(lists::List_Inner_Width_Twips(*ui->lvwFileFilter) - 20);
}

void frmFileFilter::Set_Tooltips() {
    ui->txtFileExtension->setToolTip(
        QStringLiteral("Type file extensions that are to be blocked from downloading (eg: .zip, .exe, .jpg, .bmp)"));
    ui->cmdExport->setToolTip(QStringLiteral("Export Blocked Extensions to a text file"));
    ui->cmdImport->setToolTip(QStringLiteral("Import Blocked Extensions from a text file"));
    ui->chkEnableFileFilter->setToolTip(QStringLiteral("Click to enable or disable the File Filter"));
}

void frmFileFilter::Load_File_Extension_List() { m_editor->Load(); }

void frmFileFilter::Set_Controls_State() {
    const bool blnEnabled = !modGlobal::Is_Remote_Mode;
    for (QWidget* pControl : std::initializer_list<QWidget*>{ui->cmdAdd, ui->cmdImport, ui->cmdRemove, ui->txtFileExtension,
                                                             ui->chkEnableFileFilter, ui->cmdEdit})
        pControl->setEnabled(blnEnabled);
}

void frmFileFilter::Load_Images() {
    ui->cmdExport->setIcon(Images().value(QStringLiteral("Export")));
    ui->cmdImport->setIcon(Images().value(QStringLiteral("Import")));
    ui->cmdCopySettings->setIcon(Images().value(QStringLiteral("Copy Settings")));
}

void frmFileFilter::chkEnableFileFilter_Click() { m_enableBox->Click(); }
void frmFileFilter::cmdAdd_Click() { m_editor->Add(); }

void frmFileFilter::txtFileExtension_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        cmdAdd_Click();
        KeyAscii = 0;
    }
}

void frmFileFilter::cmdEdit_Click() { m_editor->Edit(); }
void frmFileFilter::lvwFileFilter_AfterLabelEdit(int& Cancel, QString& NewString) { m_editor->After_Label_Edit(Cancel, NewString); }
void frmFileFilter::cmdRemove_Click() { m_editor->Remove(); }
void frmFileFilter::cmdImport_Click() { m_editor->Import(); }
void frmFileFilter::cmdExport_Click() { m_editor->Export(); }
void frmFileFilter::cmdCopySettings_Click() { Copy_Settings(QStringLiteral("File Filter")); }
