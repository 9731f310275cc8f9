#include "support/ConsoleFixture.h"

#include "platform/Controls.h"

#include <QComboBox>
#include <QTimer>

namespace test {

void Console_Test::TearDown() {
    console.reset();
    Dv_Test::TearDown();
}

frmMain& Console_Test::Open_Console(bool blnRunFilterCheck) {
    console = std::make_unique<frmMain>();
    if (!blnRunFilterCheck) console->findChild<QTimer*>(QStringLiteral("tmrMain"))->stop();
    console->show();
    return *console;
}

void Console_Test::Select_User(const QString& strName) {
    console->Fill_Users_In_ComboBox();
    const int intIndex = console->cboUsers->findText(strName);
    ASSERT_GE(intIndex, 0) << "no user " << strName.toStdString();
    console->cboUsers->setCurrentIndex(intIndex);
    console->cboUsers_Click();
}

QString Console_Test::Selected_Tag() const { return platform::Get_Tag(console->cboUsers); }

}  // namespace test
