#pragma once
// The console's dialogs see every key first, as the old forms did: Esc pressed
// anywhere in the dialog reaches Form_KeyPress, which closes it through
// cmdClose_Click; Enter on a focused button runs that button.

#include <QDialog>

class QKeyEvent;

namespace platform {

// Enter (Return or the keypad's Enter) on a focused push or picture button clicks
// it, as the old platform did for whichever button had the focus, default or not.
// True when it clicked (the key is then taken); any other key or focus: false.
bool Click_Focused_Button(QWidget& window, QKeyEvent* event);

class Dv_Dialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
    // Drops every in-place edit still open, unstored, and cuts the children's signals to
    // the form: the form's own members are gone by now, while its widgets go only after
    // this (QDialog hides the window first, which takes the focus from an open editor,
    // and the editor would hand its text to a handler of the half-destroyed form).
    ~Dv_Dialog() override;

public slots:
    virtual void cmdClose_Click() { close(); }

protected:
    // The key preview: 27 (Esc) runs cmdClose_Click and is swallowed.
    virtual void Form_KeyPress(int& KeyAscii);
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace platform
