#include "lists/frmPortFilter.h"

#include "database/ValueSets.h"
#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "services/ErrorHandler.h"
#include "services/ListHelpers.h"
#include "services/modCommonFuns.h"
#include "services/modGlobal.h"
#include "ui_frmPortFilter.h"

#include <QComboBox>
#include <QLayout>
#include <QLineEdit>

namespace {

const QString TITLE = QStringLiteral("DravinoleTS");
const QString PORT_ICON = QStringLiteral("Port Filter");
const QString COPY_KEY = QStringLiteral("Port Blocking And Filtering");
const QString REMOVE_QUESTION = QStringLiteral("Are you sure you want to delete the selected Port(s)?");
// Each list's Protocol column is narrowed while it holds more than this many items.
constexpr int THRESHOLD = 20;
constexpr int PROTOCOL_COLUMN = 2;
constexpr int PORT_SUB_ITEM = 2;

struct Filter_Type {
    const char* strName;
    long lngCode;
};
const Filter_Type FILTER_TYPES[] = {
    {"No Filter", 0},         {"HTTP Filter", 1},       {"Content Filter", 2},
    {"SMTP Filter", 3},       {"POP3 Filter", 4},       {"FTP Filter", 5},
    {"Block Incoming", 65533}, {"Block Outgoing", 65534}, {"Block Completely", 65535},
};

// In the order of both protocol combo boxes.
struct Protocol {
    const char* strName;
    long lngDefaultPort;
};
const Protocol PROTOCOLS[] = {
    {"HTTP", 80},  {"HTTPS", 443}, {"FTP Control", 21},   {"FTP Data", 20},          {"SMTP", 25},
    {"POP3", 110}, {"NEWS", 119},  {"MSN Messenger", 1863}, {"Yahoo Messenger", 5050}, {"Google Talk", 5222},
};

int Ask(const QString& strText, long lngStyle) { return platform::Message_Boxes().Show(strText, lngStyle, TITLE); }

}  // namespace

frmPortFilter::frmPortFilter(Console_Link& console, QWidget* parent)
    : frmListEditorBase(console, parent), ui(std::make_unique<Ui::frmPortFilter>()) {
    ui->setupUi(this);
    Finish_Setup();

    m_filter = {ui->cboFFilter,
                ui->cboFProtocol,
                ui->txtFPortNumber,
                ui->lvwPortFilter,
                QStringLiteral("Please enter a valid Port Number!"),
                QStringLiteral("Port Number already exist!"),
                std::make_unique<lists::Column_Allowance>(*ui->lvwPortFilter, PROTOCOL_COLUMN, THRESHOLD)};
    m_blocking = {ui->cboBFilter,
                  ui->cboBProtocol,
                  ui->txtBPortNumber,
                  ui->lvwPortBlocking,
                  QStringLiteral("Please enter a valid Port Number!."),
                  QStringLiteral("Port Number already exist!."),
                  std::make_unique<lists::Column_Allowance>(*ui->lvwPortBlocking, PROTOCOL_COLUMN, THRESHOLD)};
    m_enableBox = std::make_unique<lists::Feature_Enable_Box>(*ui->chkEnablePortFilter, FEATURE_PORT_FILTER,
                                                             QStringLiteral("Port Blocking and Filtering"),
                                                             [this] { return Owner(); });

    ui->cboFilterType->addItems({QStringLiteral("Port Filter"), QStringLiteral("Port Blocking")});
    ui->cboFFilter->addItems({QStringLiteral("HTTP Filter"), QStringLiteral("SMTP Filter"), QStringLiteral("POP3 Filter")});
    ui->cboBFilter->addItems(
        {QStringLiteral("Block Completely"), QStringLiteral("Block Incoming"), QStringLiteral("Block Outgoing")});
    for (Port_List* pList : {&m_filter, &m_blocking}) {
        for (const Protocol& protocol : PROTOCOLS) pList->cboProtocol->addItem(QString::fromLatin1(protocol.strName));
        // A typed protocol name is taken as typed: no completion, and it never joins the list.
        pList->cboProtocol->setCompleter(nullptr);
        // Nor does Enter choose the listed protocol of that name (which would put its port
        // into the port box): the key is swallowed before the combo sees it, from the
        // keyboard (the combo) or sent to its line edit.
        for (QWidget* pTarget : {static_cast<QWidget*>(pList->cboProtocol), static_cast<QWidget*>(pList->cboProtocol->lineEdit())})
            platform::Install_KeyPress(pTarget, [](int& KeyAscii) {
                if (KeyAscii == 13) KeyAscii = 0;
            });
        pList->lvw->Add_Column(QStringLiteral("Filter"), 0);
        pList->lvw->Add_Column(QStringLiteral("Protocol"), 0);
        pList->lvw->Add_Column(QStringLiteral("Port Number"), 0);
        pList->lvw->Set_Multi_Select(true);
        pList->lvw->Set_Image_List(&Images());
    }
    // Nothing is chosen until the load chooses.
    for (QComboBox* pCombo : {ui->cboFilterType, ui->cboFFilter, ui->cboFProtocol, ui->cboBFilter, ui->cboBProtocol})
        pCombo->setCurrentIndex(-1);

    connect(ui->cboFilterType, &QComboBox::currentIndexChanged, this, &frmPortFilter::cboFilterType_Click);
    connect(ui->cboFFilter, &QComboBox::currentIndexChanged, this, &frmPortFilter::cboFFilter_Click);
    connect(ui->cboBFilter, &QComboBox::currentIndexChanged, this, &frmPortFilter::cboBFilter_Click);
    connect(ui->cboFProtocol, &QComboBox::currentIndexChanged, this, &frmPortFilter::cboFProtocol_Click);
    connect(ui->cboBProtocol, &QComboBox::currentIndexChanged, this, &frmPortFilter::cboBProtocol_Click);
    connect(ui->chkEnablePortFilter, &QCheckBox::toggled, this, &frmPortFilter::chkEnablePortFilter_Click);
    connect(ui->cmdFAdd, &QPushButton::clicked, this, &frmPortFilter::cmdFAdd_Click);
    connect(ui->cmdBAdd, &QPushButton::clicked, this, &frmPortFilter::cmdBAdd_Click);
    platform::Install_KeyPress(ui->txtFPortNumber, [this](int& KeyAscii) { txtFPortNumber_KeyPress(KeyAscii); });
    platform::Install_KeyPress(ui->txtBPortNumber, [this](int& KeyAscii) { txtBPortNumber_KeyPress(KeyAscii); });
    connect(ui->cmdFRemove, &QPushButton::clicked, this, &frmPortFilter::cmdFRemove_Click);
    connect(ui->cmdBRemove, &QPushButton::clicked, this, &frmPortFilter::cmdBRemove_Click);
    connect(ui->cmdFCopySettings, &QToolButton::clicked, this, &frmPortFilter::cmdFCopySettings_Click);
    connect(ui->cmdBCopySettings, &QToolButton::clicked, this, &frmPortFilter::cmdBCopySettings_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmPortFilter::cmdClose_Click);

    resize(500, 440);
    if (Owner_Stored_At_Open()) Form_Load();
    // Only one list shows: size the dialog for it.
    layout()->invalidate();
    Activate_Layouts();
    resize(500, 440);
}

frmPortFilter::~frmPortFilter() = default;

// ---------------------------------------------------------------- load

void frmPortFilter::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Set_Tooltips();
        Load_Port_Filter_List();
        Load_Port_Blocking_List();
        Set_Controls_State();
        ui->cboFilterType->setCurrentIndex(0);
        ui->cboFFilter->setCurrentIndex(0);
        Set_Protocol_Index(m_filter, 0);
        ui->cboBFilter->setCurrentIndex(0);
        Load_Images();
        m_enableBox->Load();
    });
}

void frmPortFilter::Set_Caption_And_Columns() {
    setWindowTitle("Port Filter - " + Owner_Name());
    // Both frames are still shown here, so both lists are measured in their final width.
    Activate_Layouts();
    for (Port_List* pList : {&m_filter, &m_blocking}) {
        const double dblType = platform::Pixels_To_Twips(pList->cboType->width(), pList->lvw);
        const double dblProtocol = platform::Pixels_To_Twips(pList->cboProtocol->width(), pList->lvw);
        pList->lvw->Set_Column_Width(1, dblType);
        pList->allowance->Set_Base_Width(dblProtocol);
        pList->lvw->Set_Column_Width(3, lists::List_Inner_Width_Twips(*pList->lvw) - dblType - dblProtocol - 20);
    }
}

void frmPortFilter::Set_Tooltips() {
    ui->chkEnablePortFilter->setToolTip(QStringLiteral("Enable/Disable the Port Filter"));
    ui->cboFFilter->setToolTip(QStringLiteral("Select a filter type"));
    ui->cboFProtocol->setToolTip(QStringLiteral("Select a protocol to filter"));
    ui->cboBFilter->setToolTip(QStringLiteral("Select a block type"));
    ui->cboBProtocol->setToolTip(QStringLiteral("Select a protocol to block"));
    ui->txtFPortNumber->setToolTip(QStringLiteral("Provides a space for you to type Port Number"));
    ui->txtBPortNumber->setToolTip(QStringLiteral("Provides a space for you to type Port Number"));
}

void frmPortFilter::Load_Port_Filter_List() { Load_List(m_filter, false); }
void frmPortFilter::Load_Port_Blocking_List() { Load_List(m_blocking, true); }

void frmPortFilter::Load_List(Port_List& list, bool blnBlocking) {
    Error_Block([&] {
        const Policy_Owner owner = Owner();
        modDB::Query_Result arrResult;
        long lngRows = 0;
        if (!modDBFunctions::Get_Ports(blnBlocking ? 1 : 0, owner.lngComputerID, owner.lngUserID, arrResult, lngRows))
            return;
        // A row whose filter code cannot be read is passed over, so that it hides no
        // other row.
        modCommonFuns::List_Readable_Rows(*list.lvw, lngRows, [&](long r, platform::List_Item& item) {
            Get_Filter_Type_Name(arrResult.Long_Value(r, 1), item.strText);
            item.strSmallIcon = PORT_ICON;
            item.subItems = QStringList{arrResult.Value(r, 2), arrResult.Value(r, 0)};
        });
    });
    list.allowance->Update();
}

void frmPortFilter::Set_Controls_State() {
    Error_Block([&] {
        const bool blnEnabled = !modGlobal::Is_Remote_Mode;
        for (QWidget* pControl : std::initializer_list<QWidget*>{
                 ui->cmdFAdd, ui->cmdFRemove, ui->cmdBAdd, ui->cmdBRemove, ui->chkEnablePortFilter, ui->cboFFilter,
                 ui->cboFProtocol, ui->cboBFilter, ui->cboBProtocol, ui->txtFPortNumber, ui->txtBPortNumber})
            pControl->setEnabled(blnEnabled);
    });
}

void frmPortFilter::Load_Images() {
    for (QToolButton* pButton : {ui->cmdFCopySettings, ui->cmdBCopySettings})
        pButton->setIcon(Images().value(QStringLiteral("Copy Settings")));
}

// ---------------------------------------------------------------- choosing

void frmPortFilter::cboFilterType_Click() {
    const QString strType = ui->cboFilterType->currentText();
    if (strType == QLatin1String("Port Filter")) Show_One_Frame(*ui->fraPortFilter, *ui->fraPortBlocking);
    else if (strType == QLatin1String("Port Blocking")) Show_One_Frame(*ui->fraPortBlocking, *ui->fraPortFilter);
}

void frmPortFilter::cboFFilter_Click() { Type_Chosen(m_filter); }
void frmPortFilter::cboBFilter_Click() { Type_Chosen(m_blocking); }
void frmPortFilter::cboFProtocol_Click() { Protocol_Chosen(m_filter); }
void frmPortFilter::cboBProtocol_Click() { Protocol_Chosen(m_blocking); }

void frmPortFilter::Type_Chosen(Port_List& list) {
    long lngIndex = 0;
    Get_Protocol_Index(list.cboType->currentText(), lngIndex);
    Set_Protocol_Index(list, static_cast<int>(lngIndex));
}

void frmPortFilter::Set_Protocol_Index(Port_List& list, int lngIndex) {
    if (list.cboProtocol->currentIndex() != lngIndex) {
        list.cboProtocol->setCurrentIndex(lngIndex);  // runs the Click through the signal
        return;
    }
    // Same index: a name typed over it gives way to the listed name, and Click runs.
    list.cboProtocol->setEditText(list.cboProtocol->itemText(lngIndex));
    Protocol_Chosen(list);
}

void frmPortFilter::Protocol_Chosen(Port_List& list) {
    long lngPort = 0;
    Get_Default_Port(list.cboProtocol->currentText(), lngPort);
    list.txtPort->setText(QString::number(lngPort));
}

// ---------------------------------------------------------------- add, remove

void frmPortFilter::txtFPortNumber_KeyPress(int& KeyAscii) {
    platform::Port_Number_KeyPress(KeyAscii, [this] { cmdFAdd_Click(); });
}

void frmPortFilter::txtBPortNumber_KeyPress(int& KeyAscii) {
    platform::Port_Number_KeyPress(KeyAscii, [this] { cmdBAdd_Click(); });
}

void frmPortFilter::cmdFAdd_Click() { Add_To(m_filter); }
void frmPortFilter::cmdBAdd_Click() { Add_To(m_blocking); }

void frmPortFilter::Add_To(Port_List& list) {
    Error_Block([&] {
        const QString strType = list.cboType->currentText();
        long lngCode = 0;
        Get_Filter_Type_Code(strType, lngCode);
        // A text that is no number ends the Add through the error report.
        const long lngPort = modDB::To_Long(list.txtPort->text());
        if (!modCommonFuns::Is_Valid_Port_Number(lngPort)) {
            Ask(list.strRefusedPort, 48);
        } else if (modDBFunctions::ListView_Contains_SubItem_Value(lngPort, *ui->lvwPortFilter) ||
                   modDBFunctions::ListView_Contains_SubItem_Value(lngPort, *ui->lvwPortBlocking)) {
            Ask(list.strListedPort, 48);
        } else {
            const QString strProtocol = list.cboProtocol->currentText();
            const Policy_Owner owner = Owner();
            const modDB::Row_Write added =
                modDBFunctions::Add_Port(lngPort, lngCode, strProtocol, owner.lngComputerID, owner.lngUserID);
            if (added.Not_Stored()) {  // the owner is gone: nothing was stored
                Owner_Gone();
                return;
            }
            if (added) {
                const long lngIndex = list.lvw->Add(strType, QString(), PORT_ICON);
                list.lvw->Set_SubItem(lngIndex, 1, strProtocol);
                list.lvw->Set_SubItem(lngIndex, PORT_SUB_ITEM, QString::number(lngPort));
                list.allowance->Update();
            }
        }
        list.cboType->setFocus();
    });
}

void frmPortFilter::cmdFRemove_Click() { Remove_From(m_filter, m_blocking, true); }
void frmPortFilter::cmdBRemove_Click() { Remove_From(m_blocking, m_filter, false); }

void frmPortFilter::Remove_From(Port_List& list, Port_List& other, bool blnOtherIsBlocking) {
    const lists::Removed_Rows removed =
        lists::Remove_Selected_Items(*this, *list.lvw, *list.allowance, REMOVE_QUESTION, QStringLiteral("PORT_NO"),
                                     QStringLiteral("PORT_TBL"), PORT_SUB_ITEM,
                                     [&] { Reload_List(list, !blnOtherIsBlocking); });
    // The delete takes the owner's every row of the port, those of the other list too
    // (a port stored in both): once something was deleted, or a row was found not as
    // listed, that list shows what is stored.
    if (removed.lngRows > 0 || removed.blnNotStored) Reload_List(other, blnOtherIsBlocking);
}

void frmPortFilter::Reload_List(Port_List& list, bool blnBlocking) {
    lists::Show_Stored_Rows(*list.lvw, nullptr, [&] {
        Load_List(list, blnBlocking);
        return true;
    });
}

void frmPortFilter::Load_Stored() {
    Error_Block([&] {
        Reload_List(m_filter, false);
        Reload_List(m_blocking, true);
        m_enableBox->Show_Stored();
    });
}

void frmPortFilter::chkEnablePortFilter_Click() { m_enableBox->Click(); }
void frmPortFilter::cmdFCopySettings_Click() { Copy_Settings(COPY_KEY); }
void frmPortFilter::cmdBCopySettings_Click() { Copy_Settings(COPY_KEY); }

// ---------------------------------------------------------------- mappings

bool frmPortFilter::Get_Filter_Type_Code(const QString& strName, long& lngCode) {
    lngCode = 0;
    for (const Filter_Type& type : FILTER_TYPES)
        if (strName == QLatin1String(type.strName)) lngCode = type.lngCode;
    return true;
}

bool frmPortFilter::Get_Filter_Type_Name(long lngCode, QString& strName) {
    strName.clear();
    for (const Filter_Type& type : FILTER_TYPES)
        if (lngCode == type.lngCode) strName = QString::fromLatin1(type.strName);
    return true;
}

bool frmPortFilter::Get_Default_Port(const QString& strProtocol, long& lngPort) {
    lngPort = 0;
    for (const Protocol& protocol : PROTOCOLS)
        if (strProtocol == QLatin1String(protocol.strName)) lngPort = protocol.lngDefaultPort;
    return true;
}

bool frmPortFilter::Get_Protocol_Index(const QString& strFilterName, long& lngIndex) {
    if (strFilterName == QLatin1String("SMTP Filter")) lngIndex = 4;
    else if (strFilterName == QLatin1String("POP3 Filter")) lngIndex = 5;
    else lngIndex = 0;
    return true;
}
