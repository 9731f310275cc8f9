#pragma once
// The console's application object. Every event goes through notify, which catches
// whatever an event handler lets out (a run-time error, running out of memory, any
// other exception) and hands it once to the error report set at start-up, so no
// exception ever leaves an event handler into Qt or ends the program. Every box it
// polishes keeps whole characters when cut to its length.

#include "platform/RunTimeError.h"

#include <QApplication>
#include <functional>

namespace platform {

class Dv_Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* pReceiver, QEvent* pEvent) override;

    // What reports an error an event handler let out: the program's error handler,
    // set by start-up (and by the tests' own start). Unset, the error text goes to
    // the error stream.
    using Error_Report = std::function<void(const Run_Time_Error&)>;
    static void Set_Error_Report(Error_Report report);
};

}  // namespace platform
