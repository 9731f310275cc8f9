#include "platform/Dv_Application.h"

#include "platform/Controls.h"

#include <QLineEdit>
#include <QtGlobal>

namespace platform {

namespace {
Dv_Application::Error_Report& Report() {
    static Dv_Application::Error_Report report;
    return report;
}

void Report_Error(const Run_Time_Error& e) {
    if (Report())
        Report()(e);
    else
        qCritical("%s", qUtf8Printable(e.Description));
}
}  // namespace

void Dv_Application::Set_Error_Report(Error_Report report) { Report() = std::move(report); }

bool Dv_Application::notify(QObject* pReceiver, QEvent* pEvent) {
    if (pEvent->type() == QEvent::Polish)
        if (auto* pBox = qobject_cast<QLineEdit*>(pReceiver)) Keep_Whole_Characters(*pBox);
    bool blnHandled = false;
    try {
        Catch_Run_Time_Error([&] { blnHandled = QApplication::notify(pReceiver, pEvent); }, Report_Error);
    } catch (...) {
        Report_Error(Run_Time_Error(Err_No::Internal_Error, QStringLiteral("Internal error")));
    }
    return blnHandled;
}

}  // namespace platform
