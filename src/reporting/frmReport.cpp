#include "reporting/frmReport.h"
#include "ui_frmReport.h"

#include "database/modDB.h"
#include "platform/Controls.h"
#include "reporting/clsHTML.h"
#include "reporting/frmReporting.h"
#include "services/ErrorHandler.h"

#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <charconv>
#include <cmath>

using reporting::Report_List;

namespace {

const QString TITLE = QStringLiteral("DravinoleTS");

int Ask(const QString& strText, long lngStyle) { return platform::Message_Boxes().Show(strText, lngStyle, TITLE); }

[[noreturn]] void Out_Of_Range() {
    throw Run_Time_Error(Err_No::Subscript_Out_Of_Range, QStringLiteral("Subscript out of range"));
}

template <class T>
const T& At(const std::vector<T>& values, long lngIndex) {
    if (lngIndex < 0 || lngIndex >= static_cast<long>(values.size())) Out_Of_Range();
    return values[static_cast<size_t>(lngIndex)];
}

// ---- Geometry in twips, as the form was laid out ----

struct Twips_Rect {
    double left, top, width, height;
};

Twips_Rect Twips_Of(const QWidget* pControl) {
    const QRect r = pControl->geometry();
    return {platform::Pixels_To_Twips(r.x(), pControl), platform::Pixels_To_Twips(r.y(), pControl),
            platform::Pixels_To_Twips(r.width(), pControl), platform::Pixels_To_Twips(r.height(), pControl)};
}

void Place(QWidget* pControl, const Twips_Rect& t) {
    pControl->setGeometry(platform::Twips_To_Pixels(t.left, pControl), platform::Twips_To_Pixels(t.top, pControl),
                          std::max(0, platform::Twips_To_Pixels(t.width, pControl)),
                          std::max(0, platform::Twips_To_Pixels(t.height, pControl)));
}

// The design: client area 15330 by 9105 twips, the frame and the list inside it.
constexpr double FORM_WIDTH = 15330, FORM_HEIGHT = 9105;
constexpr double FRAME_LEFT = 120, FRAME_TOP = 120, LIST_LEFT = 120, LIST_TOP = 240;
constexpr double BUTTON_WIDTH = 1215, DELETE_WIDTH = 1455, BUTTON_HEIGHT = 375;

// Names shown in the criteria rows.
struct Criteria_Names {
    QString strFilter;
    std::vector<QString> sortNames;
};

Criteria_Names Names_Of(int lngKind, int lngFilter) {
    switch (lngKind) {
        case 0:
            if (lngFilter == 0) return {"URL Visited", {"URL Visited", "Domain Name", "Start Time"}};
            return {"Domain Name", {"Domain Name"}};
        case 1: return {"Application Name", {"Program Name", "Program Title", "Company Name", "Start Time"}};
        case 2: return {At<QString>({"Floppy", "CD/DVD", "USB"}, lngFilter), {"Device Name", "Manufaturer", "Start Time"}};
        case 3:
            if (lngFilter == 0) return {"SMTP", {"To Address", "Subject", "Send Time"}};
            return {"POP3", {"From Address", "Subject", "Received Time"}};
        default: Out_Of_Range();
    }
}

}  // namespace

// ---------------------------------------------------------------- columns

std::vector<frmReport::Report_Column> frmReport::Columns_Of(int lngKind, int lngFilter) {
    switch (lngKind) {
        case 0:
            if (lngFilter == 1) return {{"Url", "Domain Visited", 3}, {"Count", "Count", 1}};
            return {{"Url", "Url Visited", 4},          {"Domain", "Domain", 2},
                    {"Application", "Application Used", 2}, {"SentBits", "Sent Bits", 1.5},
                    {"ReceivedBits", "Received Bits", 1.5}, {"StartTime", "Start Time", 1.5},
                    {"StopTime", "Stop Time", 1.5}};
        case 1:
            return {{"ProgramName", "Program Name", 4},   {"ProductName", "Product Name", 1.5},
                    {"ProductTitle", "Product Title", 1.5}, {"ProgramPath", "Program Path", 2.5},
                    {"CompanyName", "Company Name", 1.5},   {"StartTime", "Start Time", 1.5},
                    {"StopTime", "Stop Time", 1.5}};
        case 2:
            return {{"Device", "Device Name", 4},          {"DeviceDesc", "Description", 2},
                    {"DevcieLabel", "Device Label", 1.5},   {"Manufacturer", "Manufacturer", 1.5},
                    {"StartTime", "Start Time", 1.5},       {"StopTime", "Stop Time", 1.5}};
        case 3:
            return {{"From Address", "From Address", 4},
                    {"To Address", "To Address", 1.5},
                    {"CC Address", "CC Address", 1.5},
                    {"BCC Address", "BCC Address", 1.5},
                    {"Subject", "Subject", 2.5},
                    lngFilter == 1 ? Report_Column{"ReceivedTime", "Received Time", 1.5}
                                   : Report_Column{"SendTime", "Send Time", 1.5},
                    {"Attachments", "Attachments", 1.5}};
        default: Out_Of_Range();
    }
}

int frmReport::Denominator_Of(int lngKind, int lngFilter) {
    if (lngKind == 0 && lngFilter == 1) return 4;
    if (lngKind == 2) return 12;
    return 14;
}

// ---------------------------------------------------------------- form

frmReport::frmReport(frmReporting& criteria, QWidget* parent)
    : Dv_Dialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::frmReport>()), m_frmReporting(criteria) {
    ui->setupUi(this);
    resize(platform::Twips_To_Pixels(FORM_WIDTH, this), platform::Twips_To_Pixels(FORM_HEIGHT, this));
    // The design places: the frame and list fill the form, the buttons under them.
    const double dblFrameWidth = FORM_WIDTH - 3 * FRAME_LEFT, dblFrameHeight = FORM_HEIGHT - 10 * FRAME_TOP;
    const double dblButtonTop = FRAME_TOP + dblFrameHeight + 100;
    const double dblCloseLeft = LIST_LEFT + dblFrameWidth - BUTTON_WIDTH;
    Place(ui->fraReport, {FRAME_LEFT, FRAME_TOP, dblFrameWidth, dblFrameHeight});
    Place(ui->lvwReport, {LIST_LEFT, LIST_TOP, dblFrameWidth - (LIST_LEFT + FRAME_LEFT),
                          dblFrameHeight - (LIST_TOP + FRAME_TOP)});
    Place(ui->cmdDeleteReport, {FRAME_LEFT, dblButtonTop, DELETE_WIDTH, BUTTON_HEIGHT});
    Place(ui->cmdClose, {dblCloseLeft, dblButtonTop, BUTTON_WIDTH, BUTTON_HEIGHT});
    Place(ui->cmdExport, {dblCloseLeft - BUTTON_WIDTH - 100, dblButtonTop, BUTTON_WIDTH, BUTTON_HEIGHT});
    // The list's font: a whole date-time fits a time column (1.5 of 14 shares of the
    // list) at the design size.
    const double dblTimeColumn = (dblFrameWidth - (LIST_LEFT + FRAME_LEFT)) * 1.5 / 14;
    ui->lvwReport->Fit_Font(QStringLiteral("0000-00-00 00:00:00"), platform::Twips_To_Pixels(dblTimeColumn, this));

    connect(ui->cmdDeleteReport, &QPushButton::clicked, this, &frmReport::cmdDeleteReport_Click);
    connect(ui->cmdExport, &QPushButton::clicked, this, &frmReport::cmdExport_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmReport::cmdClose_Click);
}

frmReport::~frmReport() = default;

int frmReport::Kind() const { return modDB::To_Long(platform::Get_Tag(m_frmReporting.cboReportingType)); }
int frmReport::Filter() const { return modDB::To_Long(platform::Get_Tag(m_frmReporting.cboFilterType)); }

void frmReport::Show_This_Form() {
    Error_Block([&] {
        if (Load_Report()) platform::Forms().Show_Modal(*this, &m_frmReporting);
        else Ask(QStringLiteral("There is no data to report!"), 48);
    });
}

bool frmReport::Load_Report() {
    bool blnResult = false;
    Error_Block([&] {
        // The result rows are read one at a time straight into the list's compact rows,
        // their values' UTF-8 bytes as the database hands them over, only as many values
        // as the list has columns.
        const int lngColumns = static_cast<int>(Columns_Of(Kind(), Filter()).size());
        reporting::Report_Rows rows;
        long long lngLastId = 0;
        {
            modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
            // A report walks the events' index and fetches each row from wherever it
            // lies in the file.
            modDB::Prepare_For_Many_Rows(hDb);
            if (!modDB::For_Each_Row_Utf8(hDb, m_frmReporting.m_strQuery,
                                          [&](const QByteArrayView* values, int lngValues) {
                                              rows.Append(values, lngValues, lngColumns);
                                              // An event's id follows the shown columns.
                                              if (lngValues > lngColumns) {
                                                  const QByteArrayView id = values[lngColumns];
                                                  long long lngId = 0;
                                                  std::from_chars(id.data(), id.data() + id.size(), lngId);
                                                  lngLastId = std::max(lngLastId, lngId);
                                              }
                                          }))
                return;
        }
        if (rows.Count() < 1) return;
        m_lngLastListedId = lngLastId;

        Add_Report_Columns();
        Resize_Controls();
        Add_Report_Title();
        Add_Report_Criteria();
        Add_Column_Captions();
        ui->lvwReport->Add_Many(std::move(rows));
        ui->lvwReport->Add({QString()});
        if (m_frmReporting.cboFilterType->currentText() == QLatin1String("DOMAIN")) ui->cmdDeleteReport->setEnabled(false);
        blnResult = true;
    });
    return blnResult;
}

void frmReport::Add_Report_Columns() {
    Error_Block([&] {
        const int lngKind = Kind(), lngFilter = Filter();
        const double dblListWidth = Twips_Of(ui->lvwReport).width;
        const int d = Denominator_Of(lngKind, lngFilter);
        for (const Report_Column& column : Columns_Of(lngKind, lngFilter))
            ui->lvwReport->Add_Column(column.strKey, dblListWidth * column.dblShare / d);
    });
}

void frmReport::Resize_Controls() {
    Error_Block([&] {
        const QSize outer = frameGeometry().size();
        const double H = platform::Pixels_To_Twips(outer.height(), this);
        const double W = platform::Pixels_To_Twips(outer.width(), this);
        Twips_Rect frame = Twips_Of(ui->fraReport), list = Twips_Of(ui->lvwReport);
        Twips_Rect close = Twips_Of(ui->cmdClose), exportButton = Twips_Of(ui->cmdExport),
                   deleteButton = Twips_Of(ui->cmdDeleteReport);
        if (H >= 2000) {
            frame.height = H - 10 * frame.top;
            list.height = frame.height - (list.top + frame.top);
            close.top = frame.top + frame.height + 100;
            exportButton.top = deleteButton.top = close.top;
            Place(ui->fraReport, frame);
            Place(ui->lvwReport, list);
            Place(ui->cmdClose, close);
            Place(ui->cmdExport, exportButton);
            Place(ui->cmdDeleteReport, deleteButton);
        }
        if (W < 8460) return;
        frame.width = W - 3 * frame.left;
        list.width = frame.width - (list.left + frame.left);
        Place(ui->fraReport, frame);
        Place(ui->lvwReport, list);

        // The first column takes what the others leave; when that is under its least
        // share of the list's width, it takes its own share again.
        constexpr double FIRST_COLUMN_LEAST_SHARE = 1.8;
        constexpr double FIRST_COLUMN_SHARE = 4;
        Report_List& lvw = *ui->lvwReport;
        if (lvw.Column_Count() > 0) {
            const double d = Denominator_Of(Kind(), Filter());
            double dblFirst = std::nearbyint(list.width - Get_Other_Columns_Width(1));
            if (dblFirst < list.width * FIRST_COLUMN_LEAST_SHARE / d) dblFirst = list.width * FIRST_COLUMN_SHARE / d;
            lvw.Set_Column_Width(1, dblFirst - 20);
        }

        close.left = list.left + frame.width - close.width;
        exportButton.left = close.left - exportButton.width - 100;
        Place(ui->cmdClose, close);
        Place(ui->cmdExport, exportButton);
    });
}

long frmReport::Get_Other_Columns_Width(int lngColumn) {
    long lngWidth = 0;
    Error_Block([&] {
        long lngSum = 0;
        for (int c = 1; c <= ui->lvwReport->Column_Count(); ++c)
            if (c != lngColumn) lngSum = static_cast<long>(std::nearbyint(lngSum + ui->lvwReport->Column_Width(c)));
        lngWidth = lngSum;
    });
    return lngWidth;
}

void frmReport::Add_Report_Title() {
    Error_Block([&] {
        m_strReportTitle = At<QString>({"URL REPORT", "APPLICATION REPORT", "DEVICE REPORT", "EMAIL REPORT"}, Kind());
        ui->lvwReport->Add({m_strReportTitle}, QStringLiteral("h0"), true);
    });
}

void frmReport::Add_Report_Criteria() {
    Error_Block([&] {
        const Criteria_Names names = Names_Of(Kind(), Filter());
        const long lngSort = modDB::To_Long(platform::Get_Tag(m_frmReporting.cboSortBy));
        const long lngOrder = modDB::To_Long(platform::Get_Tag(m_frmReporting.cboSortingMode));
        const QLocale locale = QLocale::system();
        const QString strPeriod = locale.toString(m_frmReporting.dtpkStartTime->date(), QLocale::ShortFormat) + " To " +
                                  locale.toString(m_frmReporting.dtpkStopTime->date(), QLocale::ShortFormat);
        const auto label = [](const char* strName, int lngBlanks) {
            return QString::fromLatin1(strName) + QString(lngBlanks, QLatin1Char(' ')) + QStringLiteral(": ");
        };
        Report_List& lvw = *ui->lvwReport;
        lvw.Add({QString()}, QStringLiteral("t0"));
        lvw.Add({(label("REPORT BASED ON", 5) + names.strFilter).toUpper()}, QStringLiteral("s1"), true);
        lvw.Add({(label("REPORTING PERIOD", 3) + strPeriod).toUpper()}, QStringLiteral("s2"), true);
        lvw.Add({(label("SORT BY", 21) + At(names.sortNames, lngSort)).toUpper()}, QStringLiteral("s3"), true);
        lvw.Add({(label("SORT ORDER", 14) + At<QString>({"Ascending", "Decending"}, lngOrder)).toUpper()},
                QStringLiteral("s4"), true);
        lvw.Add({QString()}, QStringLiteral("t2"));
    });
}

void frmReport::Add_Column_Captions() {
    Error_Block([&] {
        QStringList captions;
        for (const Report_Column& column : Columns_Of(Kind(), Filter())) captions << column.strCaption;
        ui->lvwReport->Add(captions, ui->lvwReport->Column_Key(1), true);
    });
}

// ---------------------------------------------------------------- buttons

void frmReport::cmdDeleteReport_Click() {
    Error_Block([&] {
        Report_List& lvw = *ui->lvwReport;
        // Only a report of three events or more can be deleted from here, and only one
        // that lists events (not counts).
        if (lvw.Count() <= 11 || m_lngLastListedId <= 0) return;
        if (Ask(QStringLiteral("Are you sure you want to delete the listed Report(s)?"), 36) != platform::vbYes) return;

        // The listed events and no other: the report's condition, up to the highest id it
        // listed. Ids only grow, so an event another program wrote since is not named;
        // one it deleted meanwhile is simply not there to delete.
        const QString strSQL = "DELETE FROM " + m_frmReporting.m_strTable + " WHERE " + m_frmReporting.m_strCondition +
                               " AND RPT_ID<=" + QString::number(m_lngLastListedId);
        // The listed events leave the list only once they have left the database, so
        // a failed delete never shows them gone.
        if (!modDB::Execute_In_Transaction(strSQL)) return;
        lvw.Remove_From(9);
        Ask(QStringLiteral("Successfuly deleted the listed Report(s)"), 64);
    });
}

void frmReport::cmdExport_Click() { Export_Report(*ui->lvwReport); }

void frmReport::Get_Export_File_Name(QString& strFileName) {
    Error_Block([&] {
        const QString strSuffix = At<QString>(
            {"_Url_Rpt_Details", "_App_Rpt_Details", "_Device_Rpt_Details", "_Email_Rpt_Details"}, Kind());
        strFileName = QLocale::system().toString(platform::Clock().Now().date(), QStringLiteral("dd-MMM-yyyy")) + strSuffix;
    });
}

void frmReport::Export_Report(Report_List& lvwSource) {
    Error_Block([&] {
        QString strFileName;
        Get_Export_File_Name(strFileName);
        if (lvwSource.Count() < 9) {
            Ask(QStringLiteral("There is no item to export!"), 48);
            return;
        }
        cmdlgMain.DialogTitle = "Export " + m_strReportTitle.toLower() + " details as text file";
        cmdlgMain.FileName = strFileName;
        cmdlgMain.Filter = QStringLiteral("Text Files|*.txt|All Files|*.*");
        if (!platform::File_Dialogs().Show_Save(cmdlgMain, this)) return;
        const QString strTarget = cmdlgMain.FileName + ".html";
        reporting::clsHTML html;
        html.SaveListViewToFile(lvwSource, strTarget, QString(), QStringLiteral("HTML"), QStringLiteral("DravinoleTS"));
    });
}

void frmReport::Form_Resize() { Resize_Controls(); }

void frmReport::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

