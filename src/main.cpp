#include "console/frmLogin.h"
#include "platform/WidgetServices.h"
#include "services/modGlobal.h"
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
    try {
        if (modProgram::Main(args.join(QLatin1Char(' '))) != modProgram::Run_Kind::Console) return 0;
    } catch (const Run_Time_Error& e) {
        // Start-up has no error block of its own (a log file that cannot be opened, say):
        // report the error and end, as the platform's own report would.
        platform::Message_Boxes().Show(QStringLiteral("Run-time error '%1':\n\n%2").arg(e.Number).arg(e.Description),
                                       platform::vbCritical, QStringLiteral("DravinoleTS"));
        return 1;
    }
    if (QApplication::topLevelWidgets().isEmpty()) {
        modProgram::Close_Application_Log();
        return 0;
    }
    return app.exec();
}
