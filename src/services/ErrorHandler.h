#pragma once
// The one way a procedure fails: its error block reports the run-time error through
// the log (a critical box and an "E: " line), runs its clean-up (RAII guards, in the
// procedure's order) and leaves with its initial result.

#include "services/modGlobal.h"

#include <utility>

// Reports e: "<description>: ErrNo=<n>: ErrDesc=<description>: ErrSrc=<source>".
void Procedure_Error_Handler(const Run_Time_Error& e);

// Runs body inside an error block. Returns false when a run-time error ended it
// (after reporting it); any other exception is reported as an unexpected error.
template <class Body>
bool Error_Block(Body&& body) {
    return platform::Catch_Run_Time_Error(std::forward<Body>(body), Procedure_Error_Handler);
}

// Runs body and drops any run-time error silently (blocks that only clean up).
template <class Body>
bool Silent_Error_Block(Body&& body) {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception&) {
        modGlobal::Err.Clear();
    }
    return false;
}
