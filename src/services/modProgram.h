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
// false when a step failed (reported in their own box), a failed write of the
// AppInit values among them.
bool Install_Filters();
bool Uninstall_Filters();
// Adds the library's name to AppInit_DLLs (and sets LoadAppInit_DLLs) or takes it
// out; throws Run_Time_Error when the values cannot be written (no registry, a store
// that cannot be read or written).
void Set_AppInit_Dlls(bool blnInstall);

// What the installation check finds, in the order it looks. The values are the old
// result codes.
enum class Filter_Check : long {
    Check_Failed = -1,                       // no registry, a catalog key or item missing, a torn store
    Installed = 0,                           // both catalogs (64-bit systems) and AppInit_DLLs name it
    Library_Missing_From_Catalog = 1,        // the (32-bit) Winsock catalog
    Library_Missing_From_64Bit_Catalog = 2,  // 64-bit systems only; AppInit_DLLs not read then
    Library_Missing_From_AppInit = 3,
};
Filter_Check Check_Filters_Installed();

// What the removal check finds: the first place that still names the library. A
// catalog key that does not exist names nothing.
enum class Removal_Check {
    Check_Failed,                     // no registry, a catalog item missing, a torn store
    Removed,                          // no catalog and no AppInit_DLLs entry names it
    Catalog_Names_Library,            // the (32-bit) Winsock catalog
    Catalog_64Bit_Names_Library,      // 64-bit systems only
    AppInit_Names_Library,
};
Removal_Check Check_Filters_Removed();

// What a "-ip" (blnInstall) or "-up" run finds after its steps ran: the one line for
// the error stream naming what is missing or still there ("DravinoleTS: -ip: the
// network filter is not installed: ..."), empty when the run did its work; and
// whether the provider installer, started without waiting on a 64-bit system, may
// still change the answer (what it writes: the catalogs, not AppInit_DLLs).
struct Filter_Run_Check {
    QString strShortfall;
    bool blnAwaitsInstaller = false;
};
Filter_Run_Check Check_Filter_Run(bool blnInstall);

}  // namespace modProgram

namespace modAPI {
// True when the 32-bit program runs on 64-bit Windows.
bool Is_64Bit_Windows();
}  // namespace modAPI
