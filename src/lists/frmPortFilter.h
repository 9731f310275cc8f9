#pragma once
// The port filter: the owner's rows of PORT_TBL, split into the port filter list
// (ports given to the HTTP, SMTP or POP3 filter; codes below 60000) and the port
// blocking list (ports blocked completely, incoming or outgoing; codes above 60000),
// one list shown at a time, with one enable box for both. A port number stands only
// once for an owner, across both lists.

#include "lists/ListEditor.h"

#include <memory>

class QComboBox;
class QLineEdit;

namespace Ui {
class frmPortFilter;
}

class frmPortFilter : public lists::frmListEditorBase {
    Q_OBJECT
public:
    explicit frmPortFilter(Console_Link& console, QWidget* parent = nullptr);
    ~frmPortFilter() override;

public slots:
    void cboFilterType_Click();
    void cboFFilter_Click();
    void cboBFilter_Click();
    void cboFProtocol_Click();
    void cboBProtocol_Click();
    void chkEnablePortFilter_Click();
    void cmdFAdd_Click();
    void cmdBAdd_Click();
    void txtFPortNumber_KeyPress(int& KeyAscii);
    void txtBPortNumber_KeyPress(int& KeyAscii);
    void cmdFRemove_Click();
    void cmdBRemove_Click();
    void cmdFCopySettings_Click();
    void cmdBCopySettings_Click();

protected:
    void Set_Controls_State() override;
    void Load_Stored() override;

private:
    // One of the two lists with the controls that enter its rows; the handlers of
    // the two lists are twins working on one of these.
    struct Port_List {
        QComboBox* cboType;
        QComboBox* cboProtocol;
        QLineEdit* txtPort;
        platform::ListView* lvw;
        QString strRefusedPort;
        QString strListedPort;
        std::unique_ptr<lists::Column_Allowance> allowance;
    };

    void Form_Load();
    void Set_Caption_And_Columns();
    void Set_Tooltips();
    void Load_Port_Filter_List();
    void Load_Port_Blocking_List();
    void Load_Images();

    void Load_List(Port_List& list, bool blnBlocking);
    void Type_Chosen(Port_List& list);
    void Protocol_Chosen(Port_List& list);
    // Sets the protocol combo's ListIndex; as with the old combo box, this runs its
    // Click also when the index stays the same.
    void Set_Protocol_Index(Port_List& list, int lngIndex);
    void Add_To(Port_List& list);
    // Removes the selected ports of list; the other list, whose rows of those ports the
    // delete takes too, is then loaded again (blnOtherIsBlocking: it is the blocking list).
    void Remove_From(Port_List& list, Port_List& other, bool blnOtherIsBlocking);
    // Empties a list and loads it again: it then lists what is stored.
    void Reload_List(Port_List& list, bool blnBlocking);

    // Filter names and codes, protocol default ports, and the protocol of a filter.
    static bool Get_Filter_Type_Code(const QString& strName, long& lngCode);
    static bool Get_Filter_Type_Name(long lngCode, QString& strName);
    static bool Get_Default_Port(const QString& strProtocol, long& lngPort);
    static bool Get_Protocol_Index(const QString& strFilterName, long& lngIndex);

    std::unique_ptr<Ui::frmPortFilter> ui;
    Port_List m_filter;
    Port_List m_blocking;
    std::unique_ptr<lists::Feature_Enable_Box> m_enableBox;
};
