#pragma once
// The console fixture: the settings database fixture with the console window on it,
// for the tests of the console and of every dialog opened from it. Set the database
// up first, then Open_Console(): the window reads the settings while it loads.

#include "support/Fixture.h"

#include "console/frmMain.h"

#include <QString>
#include <memory>

namespace test {

class Console_Test : public Dv_Test {
protected:
    void TearDown() override;

    // Creates and shows the console window on the fixture's database. Its start-up
    // network filter check is stopped unless blnRunFilterCheck.
    frmMain& Open_Console(bool blnRunFilterCheck = false);
    frmMain& Console() { return *console; }

    // A control of the console window by its name.
    template <class T>
    T* Control(const QString& strName) const {
        T* pControl = console->findChild<T*>(strName);
        EXPECT_NE(pControl, nullptr) << "no control " << strName.toStdString();
        return pControl;
    }
    // Reloads the console's user list and picks the user with this name, as an
    // administrator would (the console must be open).
    void Select_User(const QString& strName);
    // The Tag of cboUsers, as dialogs read it.
    QString Selected_Tag() const;

    std::unique_ptr<frmMain> console;
};

}  // namespace test
