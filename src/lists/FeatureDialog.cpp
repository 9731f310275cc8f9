#include "lists/FeatureDialog.h"

namespace lists {

frmFeatureDialog::frmFeatureDialog(Console_Link& console, QWidget* parent) : Dv_Dialog(parent), m_console(console) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void frmFeatureDialog::Owner_Gone() {
    m_console.Show_Stored_Users();
    // done() and not reject(): a dialog's question about unsaved changes has no owner to save them for.
    QDialog::done(QDialog::Rejected);
}

}  // namespace lists
