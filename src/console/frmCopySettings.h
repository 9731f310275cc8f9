#pragma once
// Copy Settings: copies chosen features of one user (the source) to any number of
// other users (the destinations). Opened with the key of the feature the
// administrator came from, which is ticked in advance. Shown modally without an
// owner; its caption names the user selected in the console.

#include "platform/Dv_Dialog.h"
#include "lists/ListEditor.h"
#include "platform/ListView.h"

#include <QDialog>
#include <memory>

class QKeyEvent;
class frmMain;

namespace Ui {
class frmCopySettings;
}

class frmCopySettings : public platform::Dv_Dialog {
    Q_OBJECT
public:
    explicit frmCopySettings(frmMain& console, QWidget* parent = nullptr);
    ~frmCopySettings() override;

    // Loads the dialog afresh on the console, ticks the feature whose key equals
    // strFeature (exact; "Main Form" and "Device Settings" tick nothing), shows it
    // modally without an owner and returns, when it closes, what its copies may have written.
    static Copied_Settings Show_This_Form(frmMain& console, const QString& strFeature);

    void Fill_Users_In_ComboBox();
    void Fill_Features_In_Listview();
    void Fill_Destinations();

public slots:
    void cboUsers_Click();
    void chkSelectAllFeatures_Click();
    void chkSelectAllDestinations_Click();
    void lvwFeatures_ItemClick(long lngIndex);
    void lvwDestinationUsers_ItemClick(long lngIndex);
    void lvwFeatures_ItemCheck(long lngIndex);
    void lvwDestinationUsers_ItemCheck(long lngIndex);
    void cmdCopySettings_Click();
    void lblHomeSite_Click();

protected:

private:
    void Form_Load();
    void Set_Caption_And_Columns();
    // The source entry from 1 onward carrying this USER_ID; 0 when none does.
    int Find_User_In_ComboBox(long lngUserID) const;
    // The USER_ID the chosen source entry carries; false while none is chosen.
    bool Source_User_ID(long& lngUserID) const;
    void Set_Controls_State();
    void Update_Copy_Button();
    static long Count_Checked_Items(const platform::ListView& list);
    static void Check_All_Items(platform::ListView& list, bool blnChecked);
    // A click on an item reverses its tick while the item is selected.
    void Reverse_Clicked_Tick(platform::ListView& list, long lngIndex);
    void Clear_All_Checks();
    // The copy itself; false when it stopped at a failure or any ticked destination was skipped.
    bool Copy_Checked_Features();

    std::unique_ptr<Ui::frmCopySettings> ui;
    frmMain& m_frmMain;
    platform::Image_List ilsCopySettings;
    // The destination column is narrower from the 13th destination on.
    std::unique_ptr<lists::Column_Allowance> m_destinationsAllowance;
    // Every feature run and the users it was run for, over all copies of this opening.
    Copied_Settings m_copied;
};
