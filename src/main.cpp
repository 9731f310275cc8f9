#include "console/frmLogin.h"
#include "platform/WidgetServices.h"
#include "services/modProgram.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    platform::Install_Widget_Services();
    // A console run starts with the login dialog, modeless and without an owner.
    modProgram::Set_Login_Starter([] {
        auto* pLogin = new frmLogin();
        pLogin->setAttribute(Qt::WA_DeleteOnClose);
        pLogin->show();
    });
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (modProgram::Main(args.join(QLatin1Char(' '))) != modProgram::Run_Kind::Console) return 0;
    if (QApplication::topLevelWidgets().isEmpty()) {
        modProgram::Close_Application_Log();
        return 0;
    }
    return app.exec();
}
