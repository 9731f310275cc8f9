#include "services/modProgram.h"
#include "platform/WidgetServices.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    platform::Install_Widget_Services();
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (modProgram::Main(args.join(QLatin1Char(' '))) != modProgram::Run_Kind::Console) return 0;
    if (QApplication::topLevelWidgets().isEmpty()) {
        modProgram::Close_Application_Log();
        return 0;
    }
    return app.exec();
}
