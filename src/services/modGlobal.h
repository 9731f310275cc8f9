#pragma once
// Program-wide state: the remote-mode flag and the current run-time error.
//
// Layer: services, above platform and filterlib; below the database and everything
// else. Services include nothing from the database, the features or the console.

#include "platform/RunTimeError.h"

#include <QString>

// The error being handled: set by the error handler while it reports, so that
// Show_Error can add its number, description and source.
struct Err_Object {
    long Number = 0;
    QString Description;
    QString Source;
    void Set(const Run_Time_Error& e) {
        Number = e.Number;
        Description = e.Description;
        Source = e.Source;
    }
    void Clear() { *this = Err_Object(); }
};

namespace modGlobal {
// True while the settings row's REMOTE_MODE is not 0; editing controls are then disabled.
extern bool Is_Remote_Mode;
// The current error (0 when none is pending).
extern Err_Object Err;
}  // namespace modGlobal
