#include "reporting/frmReporting.h"
#include "ui_frmReporting.h"

#include "database/ValueSets.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "platform/Platform.h"
#include "reporting/frmReport.h"
#include "services/ErrorHandler.h"
#include "services/modGlobal.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace {

// One report kind: its filters, its sort names (per filter where they differ), the
// logging bit and the caption of the logging switch.
struct Report_Kind_Def {
    QStringList filters;
    std::vector<QStringList> sortBy;  // one list per filter, or one for every filter
    Flag_Word lngBit;
    const char* strCaption;
    bool blnSortByFilter;
};

const std::array<Report_Kind_Def, 4>& Kinds() {
    static const std::array<Report_Kind_Def, 4> kinds = {{
        {{"URL", "DOMAIN"}, {{"URL", "Domain Name", "Start Time"}, {"Domain Name"}}, FEATURE_URL_REPORTING,
         "Enable URL Reporting", true},
        {{"Application Name"}, {{"Program Name", "Program Title", "Company Name", "Start Time"}}, FEATURE_APP_REPORTING,
         "Enable Application Reporting", false},
        {{"Floppy Drive", "CD-ROM", "USB"}, {{"Device", "Manufacturer", "Start Time"}}, FEATURE_DEVICE_REPORTING,
         "Enable Device Reporting", false},
        {{"SMTP", "POP3"}, {{"To Address", "Subject", "Send Time"}, {"From Address", "Subject", "Received Time"}},
         FEATURE_EMAIL_REPORTING, "Enable Email Reporting", true},
    }};
    return kinds;
}

const Report_Kind_Def& Kind(int lngKind) {
    if (lngKind < 0 || lngKind >= static_cast<int>(Kinds().size()))
        throw Run_Time_Error(Err_No::Subscript_Out_Of_Range, QStringLiteral("Subscript out of range"));
    return Kinds()[static_cast<size_t>(lngKind)];
}

// The last day whose year has four digits, as the stored times write it: the date
// pickers' last day.
const QDate LAST_DAY(9999, 12, 31);

}  // namespace

frmReporting::frmReporting(Console_Link& console, QWidget* parent)
    : Dv_Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::frmReporting>()), m_console(console) {
    ui->setupUi(this);
    cboReportingType = ui->cboReportingType;
    cboFilterType = ui->cboFilterType;
    cboSortBy = ui->cboSortBy;
    cboSortingMode = ui->cboSortingMode;
    dtpkStartTime = ui->dtpkStartTime;
    dtpkStopTime = ui->dtpkStopTime;
    QStringList allFilters, allSortNames;
    for (const Report_Kind_Def& kind : Kinds()) {
        allFilters << kind.filters;
        for (const QStringList& names : kind.sortBy) allSortNames << names;
    }
    platform::Fit_Combo_Width(*cboFilterType, allFilters);
    platform::Fit_Combo_Width(*cboSortBy, allSortNames);

    for (size_t k = 0; k < Kinds().size(); ++k)
        m_enableBoxes[k] = std::make_unique<lists::Feature_Enable_Box>(
            *ui->chkEnableReporting, Kinds()[k].lngBit, QString::fromLatin1(Kinds()[k].strCaption),
            [this] { return m_console.Owner(); });

    const auto on_index = [this](QComboBox* pList, void (frmReporting::*handler)()) {
        connect(pList, &QComboBox::currentIndexChanged, this, [this, handler](int lngIndex) {
            if (lngIndex >= 0) (this->*handler)();
        });
    };
    on_index(cboReportingType, &frmReporting::cboReportingType_Click);
    on_index(cboFilterType, &frmReporting::cboFilterType_Click);
    on_index(cboSortBy, &frmReporting::cboSortBy_Click);
    on_index(cboSortingMode, &frmReporting::cboSortingMode_Click);
    connect(ui->chkEnableReporting, &QCheckBox::toggled, this, &frmReporting::chkEnableReporting_Click);
    connect(ui->cmdCreateReport, &QPushButton::clicked, this, &frmReporting::cmdCreateReport_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmReporting::cmdClose_Click);

    Form_Load();
}

frmReporting::~frmReporting() = default;

void frmReporting::Form_Load() {
    Error_Block([&] {
        Set_Controls_State();
        Set_Form_Caption();
        Select_Item(cboReportingType, 0, &frmReporting::cboReportingType_Click);
        Select_Item(cboSortingMode, 0, &frmReporting::cboSortingMode_Click);
        const QDate dtmToday = platform::Clock().Now().date();
        dtpkStartTime->setDate(dtmToday);
        dtpkStopTime->setDate(dtmToday);
    });
}

void frmReporting::Set_Controls_State() {
    // Remote mode leaves only the logging switch off: reports can still be made.
    Error_Block([&] { ui->chkEnableReporting->setEnabled(!modGlobal::Is_Remote_Mode); });
}

void frmReporting::Set_Form_Caption() { setWindowTitle("Reporting - " + m_console.Owner_Name()); }

void frmReporting::Select_Item(QComboBox* pList, int lngIndex, void (frmReporting::*handler)()) {
    {
        const QSignalBlocker blocker(pList);
        pList->setCurrentIndex(lngIndex);
    }
    (this->*handler)();
}

QString frmReporting::Sort_Column(const QString& strSortBy) {
    static const QHash<QString, QString> columns = {
        {"URL", "URL"},
        {"Domain Name", "DOMAIN_NAME"},
        {"Start Time", "START_TIME"},
        {"Program Name", "PROGRAM_NAME"},
        {"Program Title", "PROGRAM_TITLE"},
        {"Company Name", "COMPANY_NAME"},
        {"Device", "DEVICE"},
        {"Manufacturer", "MANUFACTURER"},
        {"From Address", "FROM_ADDRESS"},
        {"To Address", "TO_ADDRESS"},
        {"Subject", "SUBJECT"},
        {"Send Time", "START_TIME"},
        {"Received Time", "START_TIME"},
    };
    return columns.value(strSortBy, strSortBy);
}

QString frmReporting::Sql_Time(const QDate& dtmDay, int lngDays) {
    // Built from the date alone: the local midnight of a day may not exist (a
    // daylight-saving change at 00:00 skips it), and a time that does not exist has
    // no text, which would leave the period without one of its bounds.
    const QDate dtmBound = dtmDay.addDays(lngDays);
    if (!dtmBound.isValid()) throw Run_Time_Error(Err_No::Type_Mismatch, QStringLiteral("Type mismatch"));
    // Past the pickers' last day (31 Dec 9999) the next midnight has a five-digit year,
    // which sorts as text before every stored time: the bound is then the end of that
    // last day, written as its 24:00:00, which sorts after each of its times.
    if (dtmBound > LAST_DAY) return LAST_DAY.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 24:00:00");
    return dtmBound.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00");
}

// ---------------------------------------------------------------- the lists

void frmReporting::cboReportingType_Click() {
    Error_Block([&] {
        const int lngKind = cboReportingType->currentIndex();
        const Report_Kind_Def& kind = Kind(lngKind);
        const Policy_Owner owner = m_console.Owner();
        {
            const QSignalBlocker filterBlocker(cboFilterType);
            const QSignalBlocker sortBlocker(cboSortBy);
            cboFilterType->clear();
            cboSortBy->clear();
            cboFilterType->addItems(kind.filters);
            // Kinds whose sort names depend on the filter get them from the filter's Click.
            if (!kind.blnSortByFilter) cboSortBy->addItems(kind.sortBy.front());
        }
        // The switch shows the kind's stored bit, without asking or writing anything.
        m_enableBoxes[static_cast<size_t>(lngKind)]->Set_Without_Saving(
            modDBFunctions::Is_Feature_Bit_Set(owner.lngComputerID, owner.lngUserID, kind.lngBit));
        ui->chkEnableReporting->setText(QString::fromLatin1(kind.strCaption));
        Select_Item(cboFilterType, 0, &frmReporting::cboFilterType_Click);
        platform::Set_Tag(cboReportingType, QString::number(lngKind));
    });
}

void frmReporting::cboFilterType_Click() {
    Error_Block([&] {
        const Report_Kind_Def& kind = Kind(cboReportingType->currentIndex());
        const int lngFilter = cboFilterType->currentIndex();
        if (kind.blnSortByFilter) {
            const QSignalBlocker blocker(cboSortBy);
            cboSortBy->clear();
            if (lngFilter >= 0 && lngFilter < static_cast<int>(kind.sortBy.size()))
                cboSortBy->addItems(kind.sortBy[static_cast<size_t>(lngFilter)]);
        }
        // Every change of filter puts the sort choice back on its first item.
        Select_Item(cboSortBy, 0, &frmReporting::cboSortBy_Click);
        platform::Set_Tag(cboFilterType, QString::number(lngFilter));
    });
}

void frmReporting::cboSortBy_Click() { platform::Set_Tag(cboSortBy, QString::number(cboSortBy->currentIndex())); }

void frmReporting::cboSortingMode_Click() {
    platform::Set_Tag(cboSortingMode, QString::number(cboSortingMode->currentIndex()));
}

void frmReporting::chkEnableReporting_Click() {
    Error_Block([&] {
        if (platform::Get_Tag(ui->chkEnableReporting) == QLatin1String("DontSaveToDB")) return;
        Kind(cboReportingType->currentIndex());  // a kind must be chosen
        m_enableBoxes[static_cast<size_t>(cboReportingType->currentIndex())]->Click();
    });
}

// ---------------------------------------------------------------- buttons

void frmReporting::cmdCreateReport_Click() {
    Error_Block([&] {
        const QString strSortColumn = Sort_Column(cboSortBy->currentText());
        const QString strDirection =
            cboSortingMode->currentText() == QLatin1String("Descending") ? QStringLiteral("DESC") : QStringLiteral("ASC");
        const QString strUserID = QString::number(m_console.Owner().lngUserID);
        const QString S = Sql_Time(dtpkStartTime->date());
        const QString E = Sql_Time(dtpkStopTime->date(), 1);
        const int lngKind = cboReportingType->currentIndex();
        const int lngFilter = cboFilterType->currentIndex();
        Kind(lngKind);
        if (lngFilter < 0 || lngFilter >= Kind(lngKind).filters.size())
            throw Run_Time_Error(Err_No::Subscript_Out_Of_Range, QStringLiteral("Subscript out of range"));

        // Each event listed carries its id last, after the shown columns, so that Delete
        // names the events listed (see m_strCondition). A domain report lists counts,
        // which name no event, and is not deleted from the viewer.
        QString strColumns, strTable, strUpper = QStringLiteral("' AND STOP_TIME<'"), strFilter, strGroup;
        switch (lngKind) {
            case 0:
                strTable = QStringLiteral("URL_RPT_TBL");
                if (lngFilter == 0) {
                    strColumns = QStringLiteral("URL,DOMAIN_NAME,EXE_NAME,SEND_BITS,RECEIVED_BITS,START_TIME,STOP_TIME,"
                                                "RPT_ID");
                } else {
                    strColumns = QStringLiteral("DOMAIN_NAME,COUNT(DOMAIN_NAME)");
                    strGroup = QStringLiteral(" GROUP BY DOMAIN_NAME");
                }
                break;
            case 1:
                strTable = QStringLiteral("PROGRAM_RPT_TBL");
                strColumns = QStringLiteral("PROGRAM_NAME,PRODUCT_NAME,PROGRAM_TITLE,PROGRAM_PATH,COMPANY_NAME,START_TIME,"
                                            "STOP_TIME,RPT_ID");
                break;
            case 2:
                strTable = QStringLiteral("DEVICE_RPT_TBL");
                strColumns = QStringLiteral("DEVICE,DEVICE_DESCRIPTION,DEVICE_LABEL,MANUFACTURER,START_TIME,STOP_TIME,"
                                            "RPT_ID");
                strFilter = QStringLiteral(" AND DEVICE_TYPE=%1").arg(lngFilter);
                break;
            default:
                strTable = QStringLiteral("EMAIL_RPT_TBL");
                strColumns = QStringLiteral("FROM_ADDRESS,TO_ADDRESS,CC_ADDRESS,BCC_ADDRESS,SUBJECT,START_TIME,"
                                            "ATTACHMENT,RPT_ID");
                strUpper = QStringLiteral("' AND START_TIME<'");
                strFilter = QStringLiteral(" AND EMAIL_TYPE=%1").arg(lngFilter);
                break;
        }
        m_strTable = strTable;
        m_strCondition = "USER_ID=" + strUserID + " AND START_TIME>='" + S + strUpper + E + "'" + strFilter;
        m_strQuery = "SELECT " + strColumns + " FROM " + strTable + " WHERE " + m_strCondition + strGroup +
                     " ORDER BY " + strSortColumn + " " + strDirection;

        frmReport report(*this);
        report.Show_This_Form();
    });
}

