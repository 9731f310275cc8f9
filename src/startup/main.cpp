#include "console/frmLogin.h"
#include "platform/Dv_Application.h"
#include "platform/WidgetServices.h"
#include "services/ErrorHandler.h"
#include "services/modGlobal.h"
#include "startup/Startup.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    // The command line as typed, read before an application object takes Qt's own
    // options out of it: "-ip -reverse" is not "-ip".
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const QString strCommandLine = args.join(QLatin1Char(' '));
    if (modProgram::Is_Filter_Switch(strCommandLine)) {
        // Installing or removing the filters needs no display: it runs from scripts
        // and over remote shells, and reports on the error stream.
        QCoreApplication app(argc, argv);
        try {
            return modProgram::Exit_Code(modProgram::Main(strCommandLine), strCommandLine);
        } catch (const Run_Time_Error& e) {
            platform::Message_Boxes().Show(QStringLiteral("Run-time error '%1':\n\n%2").arg(e.Number).arg(e.Description),
                                           platform::vbCritical, QStringLiteral("DravinoleTS"));
            return 1;
        }
    }
    platform::Dv_Application app(argc, argv);
    // An error an event handler lets out is reported as every procedure reports its own.
    platform::Dv_Application::Set_Error_Report(Procedure_Error_Handler);
    platform::Install_Widget_Services();
    // A console run starts with the login dialog, modeless and without an owner.
    modProgram::Set_Login_Starter([] {
        auto* pLogin = new frmLogin();
        pLogin->setAttribute(Qt::WA_DeleteOnClose);
        pLogin->show();
    });
    try {
        const modProgram::Run_Kind kind = modProgram::Main(strCommandLine);
        if (kind != modProgram::Run_Kind::Console) return modProgram::Exit_Code(kind, strCommandLine);
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
