#include "platform/Dv_Dialog.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

namespace platform {

bool Click_Focused_Button(QWidget& window, QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    QWidget* pFocus = window.focusWidget();
    auto* pButton = qobject_cast<QAbstractButton*>(pFocus);
    // Check boxes and option buttons keep Enter for the dialog, as before.
    if (!pButton || !(qobject_cast<QPushButton*>(pButton) || qobject_cast<QToolButton*>(pButton))) return false;
    if (!pButton->isEnabled() || !pButton->isVisible() || pButton->window() != window.window()) return false;
    event->accept();
    pButton->click();
    return true;
}

Dv_Dialog::~Dv_Dialog() {
    // Resetting a view releases its editors without handing their text over (and forgets
    // its selection, which no one reads any more).
    for (QAbstractItemView* pView : findChildren<QAbstractItemView*>()) pView->reset();
    for (QObject* pChild : findChildren<QObject*>()) QObject::disconnect(pChild, nullptr, this, nullptr);
}

void Dv_Dialog::Form_KeyPress(int& KeyAscii) {
    if (KeyAscii == 27) {
        cmdClose_Click();
        KeyAscii = 0;
    }
}

void Dv_Dialog::keyPressEvent(QKeyEvent* event) {
    // Enter that the focused button left unused arrives here: buttons without the
    // default role ignore it.
    if (Click_Focused_Button(*this, event)) return;
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
