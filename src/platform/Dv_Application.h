#pragma once
// The console's application object. Every event goes through notify, which catches
// whatever an event handler lets out (a run-time error, running out of memory, any
// other exception) and reports it once through the error handler, so no exception
// ever leaves an event handler into Qt or ends the program. Every box it polishes
// keeps whole characters when cut to its length.

#include <QApplication>

namespace platform {

class Dv_Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* pReceiver, QEvent* pEvent) override;
};

}  // namespace platform
