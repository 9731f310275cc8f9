#include "services/modProgram.h"

#include "platform/Platform.h"

namespace modProgram {

std::unique_ptr<clsLog> Application_Log;

clsLog& Log() {
    if (Application_Log) return *Application_Log;
    static clsLog silentLog;  // never started: writes nothing, still shows boxes
    return silentLog;
}

void Write_Log_Stop() {
    clsLog& log = Log();
    log.Log_Event(QStringLiteral("Stop"), LOG_NONE, false);
    log.Log_Event(QString(50, QLatin1Char('+')), LOG_NONE, false);
}

void Close_Application_Log() {
    if (!Application_Log) return;
    Application_Log->Log_Event(QStringLiteral("Application Closing"), LOG_INFO, true);
    Write_Log_Stop();
    Application_Log.reset();
}

long Shell_Open(const QString& strFile) {
    return platform::Shell().Shell_Execute(QStringLiteral("open"), strFile, QString(), QString(), 1);
}

}  // namespace modProgram

namespace modAPI {
bool Is_64Bit_Windows() { return platform::Environment().Is_Wow64_Process(); }
}  // namespace modAPI
