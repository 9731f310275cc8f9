#include "platform/Dv_Dialog.h"

#include <QKeyEvent>

namespace platform {

void Dv_Dialog::Form_KeyPress(int& KeyAscii) {
    if (KeyAscii == 27) {
        cmdClose_Click();
        KeyAscii = 0;
    }
}

void Dv_Dialog::keyPressEvent(QKeyEvent* event) {
    // Esc that no control took arrives here, from whichever control had the focus.
    if (event->key() == Qt::Key_Escape) {
        int KeyAscii = 27;
        Form_KeyPress(KeyAscii);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace platform
