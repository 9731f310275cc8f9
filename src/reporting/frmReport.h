#pragma once
// The report viewer: runs the SELECT text that the report criteria built and shows
// the result as a printed-style report in one list (title, criteria, column captions,
// one line per event). From here the listed events are deleted from the settings
// database or the report is exported as an HTML file.

#include "platform/Dv_Dialog.h"
#include "platform/Platform.h"
#include "reporting/ReportList.h"

#include <QDialog>
#include <memory>

class QKeyEvent;
class QResizeEvent;
class frmReporting;

namespace Ui {
class frmReport;
}

class frmReport : public platform::Dv_Dialog {
    Q_OBJECT
public:
    explicit frmReport(frmReporting& criteria, QWidget* parent = nullptr);
    ~frmReport() override;

    // Builds the report; shows the viewer modally over the criteria dialog, or says
    // that there is nothing to report.
    void Show_This_Form();

    // The title of the report shown ("URL REPORT" ...).
    QString Report_Title() const { return m_strReportTitle; }

    // One column of a report: header key, caption and share of the list's width.
    struct Report_Column {
        QString strKey;
        QString strCaption;
        double dblShare;
    };
    // The columns of a kind and filter, and the share denominator of the kind.
    static std::vector<Report_Column> Columns_Of(int lngKind, int lngFilter);
    static int Denominator_Of(int lngKind, int lngFilter);

public slots:
    void cmdDeleteReport_Click();
    void cmdExport_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Resize();
    bool Load_Report();
    void Add_Report_Columns();
    void Resize_Controls();
    long Get_Other_Columns_Width(int lngColumn);
    void Add_Report_Title();
    void Add_Report_Criteria();
    void Add_Column_Captions();
    void Export_Report(reporting::Report_List& lvwSource);
    void Get_Export_File_Name(QString& strFileName);

    int Kind() const;
    int Filter() const;

    std::unique_ptr<Ui::frmReport> ui;
    frmReporting& m_frmReporting;
    platform::Common_Dialog cmdlgMain;
    QString m_strReportTitle;
    // The highest event id the report listed (0 when it lists no events, as a domain
    // report): Delete deletes the listed events up to it.
    long long m_lngLastListedId = 0;
};
