#include "lists/frmEmailFilter.h"

#include "database/ValueSets.h"
#include "platform/Controls.h"
#include "services/modCommonFuns.h"
#include "ui_frmEmailFilter.h"

#include <QLayout>

namespace {
const QStringList COPY_KEYS{QStringLiteral("SMTP Filter"), QStringLiteral("POP3 Filter")};

// The two lists differ only in their protocol's name, table and icon.
lists::List_Config Address_List(const QString& strProtocol) {
    lists::List_Config config;
    config.strTable = strProtocol + "_TBL";
    config.strColumn = strProtocol + "_EMAIL";
    config.strIcon = strProtocol;
    config.lngThreshold = 20;
    config.addForm = lists::Entry_Form::As_Typed;
    config.editForm = lists::Entry_Form::Trimmed;
    config.validator = modCommonFuns::Is_Valid_Text_50_No_Space;
    config.strInvalidAddMessage = "Please enter a valid " + strProtocol + " EmailAddress!.";
    config.strInvalidEditMessage = "Please enter a valid " + strProtocol + " Email Address!.";
    // An imported field is only trimmed and cut, never checked.
    config.importForm = lists::Entry_Form::Trimmed;
    config.lngImportCut = 30;
    config.strRemoveQuestion = QStringLiteral("Are you sure you want to delete the selected Email Address(s)?");
    config.strExportTitle = "Export Blocked " + strProtocol + " Email Address as text file";
    config.strExportSuffix = "_Blocked_" + strProtocol + "_Email_Address_List";
    config.strImportTitle = "Import Blocked " + strProtocol + " Email Address from a text file";
    return config;
}

const QString SMTP_FILTER = QStringLiteral("SMTP Filter");
const QString POP3_FILTER = QStringLiteral("POP3 Filter");

}  // namespace

frmEmailFilter::frmEmailFilter(Console_Link& console, QWidget* parent)
    : frmListEditorBase(console, parent), ui(std::make_unique<Ui::frmEmailFilter>()) {
    ui->setupUi(this);
    Finish_Setup();
    ui->cboEmailFilter->addItems({SMTP_FILTER, POP3_FILTER});

    m_smtp = std::make_unique<lists::clsListEditor>(*this, Address_List(QStringLiteral("SMTP")), *ui->txtSMTPEmails,
                                                    *ui->lvwSMTPFilter, cmnSMTPDilog);
    m_pop3 = std::make_unique<lists::clsListEditor>(*this, Address_List(QStringLiteral("POP3")), *ui->txtPOP3Emails,
                                                    *ui->lvwPOP3Filter, cmnPOP3Dilog);
    // Each list is tested against itself only: one address may stand in both.
    m_smtp->Set_Duplicate_Checks({{ui->lvwSMTPFilter, QStringLiteral("EmailAddress already exist!.")}});
    m_pop3->Set_Duplicate_Checks({{ui->lvwPOP3Filter, QStringLiteral("EmailAddress already exist!."),
                                   QStringLiteral("Email Address already exist!.")}});
    m_smtpEnable = std::make_unique<lists::Feature_Enable_Box>(*ui->chkEnableFilter, FEATURE_SMTP_FILTER, SMTP_FILTER,
                                                              [this] { return Owner(); });
    m_pop3Enable = std::make_unique<lists::Feature_Enable_Box>(*ui->chkEnableFilter, FEATURE_POP3_FILTER, POP3_FILTER,
                                                              [this] { return Owner(); });

    for (platform::ListView* pList : {ui->lvwSMTPFilter, ui->lvwPOP3Filter}) {
        pList->Add_Column(QStringLiteral("Email Addresses"), 0);
        pList->Set_Multi_Select(true);
        pList->Set_Image_List(&Images());
    }
    Set_Import_Locked_Controls({ui->cboEmailFilter, ui->txtSMTPEmails, ui->cmdSMTPAdd, ui->cmdSMTPEdit, ui->cmdSMTPRemove,
                                ui->cmdSMTPImport, ui->cmdSMTPExport, ui->cmdSMTPCopySettings, ui->txtPOP3Emails,
                                ui->cmdPOP3Add, ui->cmdPOP3Edit, ui->cmdPOP3Remove, ui->cmdPOP3Import, ui->cmdPOP3Export,
                                ui->cmdPOP3CopySettings, ui->chkEnableFilter, ui->cmdClose});

    connect(ui->cboEmailFilter, &QComboBox::currentIndexChanged, this, &frmEmailFilter::cboEmailFilter_Click);
    connect(ui->chkEnableFilter, &QCheckBox::toggled, this, &frmEmailFilter::chkEnableFilter_Click);
    connect(ui->cmdSMTPAdd, &QPushButton::clicked, this, &frmEmailFilter::cmdSMTPAdd_Click);
    connect(ui->cmdPOP3Add, &QPushButton::clicked, this, &frmEmailFilter::cmdPOP3Add_Click);
    platform::Install_KeyPress(ui->txtSMTPEmails, [this](int& KeyAscii) { txtSMTPEmails_KeyPress(KeyAscii); });
    platform::Install_KeyPress(ui->txtPOP3Emails, [this](int& KeyAscii) { txtPOP3Emails_KeyPress(KeyAscii); });
    connect(ui->cmdSMTPEdit, &QPushButton::clicked, this, &frmEmailFilter::cmdSMTPEdit_Click);
    connect(ui->cmdPOP3Edit, &QPushButton::clicked, this, &frmEmailFilter::cmdPOP3Edit_Click);
    connect(ui->lvwSMTPFilter, &platform::ListView::AfterLabelEdit, this,
            [this](long, int& Cancel, QString& NewString) { lvwSMTPFilter_AfterLabelEdit(Cancel, NewString); });
    connect(ui->lvwPOP3Filter, &platform::ListView::AfterLabelEdit, this,
            [this](long, int& Cancel, QString& NewString) { lvwPOP3Filter_AfterLabelEdit(Cancel, NewString); });
    connect(ui->cmdSMTPRemove, &QPushButton::clicked, this, &frmEmailFilter::cmdSMTPRemove_Click);
    connect(ui->cmdPOP3Remove, &QPushButton::clicked, this, &frmEmailFilter::cmdPOP3Remove_Click);
    connect(ui->cmdSMTPExport, &QToolButton::clicked, this, &frmEmailFilter::cmdSMTPExport_Click);
    connect(ui->cmdPOP3Export, &QToolButton::clicked, this, &frmEmailFilter::cmdPOP3Export_Click);
    connect(ui->cmdSMTPImport, &QToolButton::clicked, this, &frmEmailFilter::cmdSMTPImport_Click);
    connect(ui->cmdPOP3Import, &QToolButton::clicked, this, &frmEmailFilter::cmdPOP3Import_Click);
    connect(ui->cmdSMTPCopySettings, &QToolButton::clicked, this, &frmEmailFilter::cmdSMTPCopySettings_Click);
    connect(ui->cmdPOP3CopySettings, &QToolButton::clicked, this, &frmEmailFilter::cmdPOP3CopySettings_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmEmailFilter::cmdClose_Click);

    ui->cboEmailFilter->setCurrentIndex(-1);
    resize(480, 460);
    if (Owner_Stored_At_Open()) Form_Load();
    // Only one list shows: size the dialog for it.
    layout()->invalidate();
    Activate_Layouts();
    resize(480, 460);
}

frmEmailFilter::~frmEmailFilter() = default;

void frmEmailFilter::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Load_POP3_List();
        Load_SMTP_List();
        Set_Controls_State();
        // Shows the SMTP list and its enable bit.
        ui->cboEmailFilter->setCurrentIndex(0);
        Set_Tooltips();
        Load_Images();
        m_smtp->Update_Allowance();
        m_pop3->Update_Allowance();
    });
}

// The list shown stays as the administrator chose it; both lists, and the enable
// box with the bit of the list shown, show what is stored.
void frmEmailFilter::Load_Stored() {
    Error_Block([&] {
        m_pop3->Reload();
        m_smtp->Reload();
        cboEmailFilter_Click();
    });
}

void frmEmailFilter::Set_Caption_And_Columns() {
    setWindowTitle("Email Filter - " + Owner_Name());
    Activate_Layouts();
    const double dblTwips = lists::List_Inner_Width_Twips(*ui->lvwSMTPFilter) - 20;
    m_smtp->Set_Base_Width(dblTwips);
    m_pop3->Set_Base_Width(dblTwips);
}

void frmEmailFilter::Load_SMTP_List() { m_smtp->Load(); }
void frmEmailFilter::Load_POP3_List() { m_pop3->Load(); }

void frmEmailFilter::Set_Controls_State() {
    const bool blnEnabled = !modGlobal::Is_Remote_Mode;
    for (QWidget* pControl : std::initializer_list<QWidget*>{
             ui->cmdSMTPAdd, ui->cmdSMTPRemove, ui->cmdSMTPImport, ui->cmdSMTPEdit, ui->txtSMTPEmails, ui->cmdPOP3Add,
             ui->cmdPOP3Remove, ui->cmdPOP3Import, ui->cmdPOP3Edit, ui->txtPOP3Emails, ui->chkEnableFilter})
        pControl->setEnabled(blnEnabled);
}

void frmEmailFilter::Set_Tooltips() {
    // Names the list shown at load; it stays when the other list is chosen.
    ui->chkEnableFilter->setToolTip("Enable/Disable the " + ui->cboEmailFilter->currentText());
    ui->txtSMTPEmails->setToolTip(QStringLiteral("Type Emails Address or part of it (eg: someone@example.com, @example.net)"));
    ui->txtPOP3Emails->setToolTip(QStringLiteral("Type Emails Address or part of it (eg: @example.com, @example.org)"));
    ui->cmdSMTPAdd->setToolTip(QStringLiteral("Add the email/domain to blocked list"));
    ui->cmdPOP3Add->setToolTip(QStringLiteral("Add the email/domain to blocked list"));
    ui->cmdSMTPExport->setToolTip(QStringLiteral("Export the blocked email list to a file"));
    ui->cmdPOP3Export->setToolTip(QStringLiteral("Export the blocked email list to a text file"));
    ui->cmdSMTPImport->setToolTip(QStringLiteral("Import the blocked emails from a file"));
    ui->cmdPOP3Import->setToolTip(QStringLiteral("Import the blocked emails from a text file"));
}

void frmEmailFilter::Load_Images() {
    for (QToolButton* pButton : {ui->cmdSMTPExport, ui->cmdPOP3Export}) pButton->setIcon(Images().value("Export"));
    for (QToolButton* pButton : {ui->cmdSMTPImport, ui->cmdPOP3Import}) pButton->setIcon(Images().value("Import"));
    for (QToolButton* pButton : {ui->cmdSMTPCopySettings, ui->cmdPOP3CopySettings})
        pButton->setIcon(Images().value("Copy Settings"));
}

void frmEmailFilter::cboEmailFilter_Click() {
    Error_Block([&] {
        const QString strFilter = ui->cboEmailFilter->currentText();
        if (strFilter == SMTP_FILTER) {
            Show_One_Frame(*ui->fraSMTPFilter, *ui->fraPOP3Filter);
            ui->chkEnableFilter->setText(QStringLiteral("Enable SMTP Filter"));
            m_smtpEnable->Show_Stored();
        } else if (strFilter == POP3_FILTER) {
            Show_One_Frame(*ui->fraPOP3Filter, *ui->fraSMTPFilter);
            ui->chkEnableFilter->setText(QStringLiteral("Enable POP3 Filter"));
            m_pop3Enable->Show_Stored();
        }
    });
}

void frmEmailFilter::chkEnableFilter_Click() {
    // The bit of the list shown: index 0 is the SMTP list, any other the POP3 list.
    if (ui->cboEmailFilter->currentIndex() == 0) m_smtpEnable->Click();
    else m_pop3Enable->Click();
}

void frmEmailFilter::cmdSMTPAdd_Click() { m_smtp->Add(); }
void frmEmailFilter::cmdPOP3Add_Click() { m_pop3->Add(); }

void frmEmailFilter::txtSMTPEmails_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        cmdSMTPAdd_Click();
        KeyAscii = 0;
    }
}

void frmEmailFilter::txtPOP3Emails_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        cmdPOP3Add_Click();
        KeyAscii = 0;
    }
}

void frmEmailFilter::cmdSMTPEdit_Click() { m_smtp->Edit(); }
void frmEmailFilter::cmdPOP3Edit_Click() { m_pop3->Edit(); }
void frmEmailFilter::lvwSMTPFilter_AfterLabelEdit(int& Cancel, QString& NewString) { m_smtp->After_Label_Edit(Cancel, NewString); }
void frmEmailFilter::lvwPOP3Filter_AfterLabelEdit(int& Cancel, QString& NewString) { m_pop3->After_Label_Edit(Cancel, NewString); }
void frmEmailFilter::cmdSMTPRemove_Click() { m_smtp->Remove(); }
void frmEmailFilter::cmdPOP3Remove_Click() { m_pop3->Remove(); }
void frmEmailFilter::cmdSMTPExport_Click() { m_smtp->Export(); }
void frmEmailFilter::cmdPOP3Export_Click() { m_pop3->Export(); }
void frmEmailFilter::cmdSMTPImport_Click() { m_smtp->Import(); }
void frmEmailFilter::cmdPOP3Import_Click() { m_pop3->Import(); }
// The dialog shows both lists, whichever button ticked its own.
void frmEmailFilter::cmdSMTPCopySettings_Click() { Copy_Settings(QStringLiteral("SMTP Filter"), COPY_KEYS); }
void frmEmailFilter::cmdPOP3CopySettings_Click() { Copy_Settings(QStringLiteral("POP3 Filter"), COPY_KEYS); }
