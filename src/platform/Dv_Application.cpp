#include "platform/Dv_Application.h"

#include "platform/Controls.h"
#include "services/ErrorHandler.h"

#include <QLineEdit>

namespace platform {

bool Dv_Application::notify(QObject* pReceiver, QEvent* pEvent) {
    if (pEvent->type() == QEvent::Polish)
        if (auto* pBox = qobject_cast<QLineEdit*>(pReceiver)) Keep_Whole_Characters(*pBox);
    bool blnHandled = false;
    try {
        Error_Block([&] { blnHandled = QApplication::notify(pReceiver, pEvent); });
    } catch (...) {
        Procedure_Error_Handler(Run_Time_Error(51, QStringLiteral("Internal error")));
    }
    return blnHandled;
}

}  // namespace platform
