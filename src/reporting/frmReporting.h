#pragma once
// The report criteria: the kind of usage report (visited URLs, used applications,
// used storage devices, sent and received e-mail) of the user selected in the console,
// its filter, sort order and period of whole days. Create Report builds the report's
// SELECT text and opens the report viewer over this dialog. The same dialog switches
// the logging of the chosen kind on or off for the user.
//
// Layer: reporting, the last feature folder, above lists and schedules; the console
// it reaches only through the Console_Link it is handed.

#include "platform/Dv_Dialog.h"
#include "lists/ListEditor.h"
#include "services/ConsoleLink.h"

#include <QDialog>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QKeyEvent;

namespace Ui {
class frmReporting;
}

class frmReporting : public platform::Dv_Dialog {
    Q_OBJECT
public:
    explicit frmReporting(Console_Link& console, QWidget* parent = nullptr);
    ~frmReporting() override;

    // The SELECT text of the last Create Report; empty until then. An event report
    // lists each event's RPT_ID after the shown columns.
    QString m_strQuery;
    // The events table it reads and the condition its events meet (user, period, type).
    QString m_strTable;
    QString m_strCondition;

    Console_Link& Console() const { return m_console; }

    // The choices the viewer reads while it builds and deletes a report. Each list
    // keeps its selected index, as decimal text, in its Tag.
    QComboBox* cboReportingType = nullptr;
    QComboBox* cboFilterType = nullptr;
    QComboBox* cboSortBy = nullptr;
    QComboBox* cboSortingMode = nullptr;
    QDateEdit* dtpkStartTime = nullptr;
    QDateEdit* dtpkStopTime = nullptr;

    // The column a sort-by name stands for (any other text is itself the column).
    static QString Sort_Column(const QString& strSortBy);
    // A picker's day as "yyyy-MM-dd HH:mm:ss" at midnight, lngDays later.
    static QString Sql_Time(const QDate& dtmDay, int lngDays = 0);

public slots:
    void cboReportingType_Click();
    void cboFilterType_Click();
    void cboSortBy_Click();
    void cboSortingMode_Click();
    void chkEnableReporting_Click();
    void cmdCreateReport_Click();

protected:

private:
    void Form_Load();
    void Set_Form_Caption();
    void Set_Controls_State();
    // Selects an item of a list by code and runs the list's Click handler once.
    void Select_Item(QComboBox* pList, int lngIndex, void (frmReporting::*handler)());

    std::unique_ptr<Ui::frmReporting> ui;
    Console_Link& m_console;
    // The logging switch of each kind (bit and caption), in kind order.
    std::array<std::unique_ptr<lists::Feature_Enable_Box>, 4> m_enableBoxes;
};
