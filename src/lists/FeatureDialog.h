#pragma once
// What every dialog opened for the owner the console shows has: the console, the owner
// read at each use, Esc to close, the remote-mode rule, and its closing when the
// owner's row is found gone. The list editors build on it; a dialog without a list
// (the device lock, the application settings) is one as it stands.
//
// Layer: lists; the list editors, the schedule and settings dialogs use it.

#include "platform/Dv_Dialog.h"
#include "services/ConsoleLink.h"

namespace lists {

class frmFeatureDialog : public platform::Dv_Dialog {
    Q_OBJECT
public:
    explicit frmFeatureDialog(Console_Link& console, QWidget* parent = nullptr);

    Policy_Owner Owner() const { return m_console.Owner(); }
    QString Owner_Name() const { return m_console.Owner_Name(); }
    Console_Link& Console() const { return m_console; }

    // A write found the owner's row gone (and said so in one box): the console lists the
    // users as stored, and the dialog, whose owner is no more, closes without writing or
    // reading anything else.
    void Owner_Gone();

protected:
    // Disables the editing controls while the console is in remote mode.
    virtual void Set_Controls_State() {}
    // Checked as the dialog opens, before it loads anything: true while the owner the
    // console shows is stored. One another program removed is said once, in the words
    // every write for it uses; the console lists the users as stored, and the dialog
    // closes as soon as it shows. A read that failed was reported (its loads would only
    // fail alike): the dialog closes too.
    bool Owner_Stored_At_Open();

private:
    Console_Link& m_console;
};

}  // namespace lists
