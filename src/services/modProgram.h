#pragma once
// The program module's shared part: the log of a console run and its closing, the
// shell's open, and the network filter installation and check. Start-up itself
// (Main, the single-instance rule, the login) is in startup/Startup.h, on top.

#include "services/clsLog.h"

#include <QString>
#include <memory>

namespace modProgram {

// The one log object of a console run (empty in the runs that end early).
extern std::unique_ptr<clsLog> Application_Log;
// The log object, or a log that writes nothing while none exists (error boxes are
// still shown).
clsLog& Log();

void Write_Log_Stop();
// "Application Closing", the end block, then the log object is released.
void Close_Application_Log();
// Opens a document, web page or mail link with its handler (show normal).
long Shell_Open(const QString& strFile);

// Network filter installation and check. Install_Filters and Uninstall_Filters answer
// false when a step failed (reported in their own box).
bool Install_Filters();
bool Uninstall_Filters();
void Set_AppInit_Dlls(bool blnInstall);
// -1 the check failed; 0 all in place; 1 provider missing; 2 missing from the 64-bit
// catalog; 3 AppInit_DLLs lacks the library.
long Check_Filters_Installed();

}  // namespace modProgram

namespace modAPI {
// True when the 32-bit program runs on 64-bit Windows.
bool Is_64Bit_Windows();
}  // namespace modAPI
