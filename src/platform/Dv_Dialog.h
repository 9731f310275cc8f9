#pragma once
// The console's dialogs see every key first, as the old forms did: Esc pressed
// anywhere in the dialog reaches Form_KeyPress, which closes it through
// cmdClose_Click.

#include <QDialog>

namespace platform {

class Dv_Dialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

public slots:
    virtual void cmdClose_Click() { close(); }

protected:
    // The key preview: 27 (Esc) runs cmdClose_Click and is swallowed.
    virtual void Form_KeyPress(int& KeyAscii);
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace platform
