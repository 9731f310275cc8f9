#include "lists/FeatureDialog.h"

#include "database/modDBFunctions.h"
#include "services/ErrorHandler.h"

namespace lists {

frmFeatureDialog::frmFeatureDialog(Console_Link& console, QWidget* parent) : Dv_Dialog(parent), m_console(console) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void frmFeatureDialog::Owner_Gone() {
    m_console.Show_Stored_Users();
    // done() and not reject(): a dialog's question about unsaved changes has no owner to save them for.
    QDialog::done(QDialog::Rejected);
}

bool frmFeatureDialog::Owner_Stored_At_Open() {
    modDB::Row_Write stored;
    Error_Block([&] {
        const Policy_Owner owner = Owner();
        stored = modDBFunctions::Owner_Stored(owner.lngComputerID, owner.lngUserID);
    });
    if (stored) return true;
    if (stored.Not_Stored()) m_console.Show_Stored_Users();
    // Closed once it shows, whether shown modally or not.
    QMetaObject::invokeMethod(this, [this] { QDialog::done(QDialog::Rejected); }, Qt::QueuedConnection);
    return false;
}

}  // namespace lists
