#pragma once
// Start-up and shutdown: the single-instance rule, the "-ip"/"-up" filter runs, the
// log of a console run, and small platform helpers.

#include "services/clsLog.h"

#include <QString>
#include <functional>
#include <memory>

namespace modProgram {

// The one log object of a console run (empty in the runs that end early).
extern std::unique_ptr<clsLog> Application_Log;
// The log object, or a log that writes nothing while none exists (error boxes are
// still shown).
clsLog& Log();

enum class Run_Kind {
    Previous_Instance,
    No_Instance_Lock,   // the single-instance lock could not be made: one box, the run ends
    Install_Filters,
    Uninstall_Filters,
    Filter_Run_Failed,  // "-ip" or "-up" whose installation step failed (its box was shown)
    Console,
    Unreadable_Settings
};

// Start-up. strCommandLine is the whole command line after the program name, as
// typed (no option taken out). A console run ends here with the login dialog shown
// (see Set_Login_Starter), or with one box naming a settings file that cannot be
// read as a settings database (Unreadable_Settings: the program ends). A settings
// file another program holds locked is no unreadable one: the run goes on as after
// any failed read, the lock reported by the read of the remote settings.
Run_Kind Main(const QString& strCommandLine);

// The process's exit code for a run that ended in Main (not for a Console run): 0
// only when the run did what it was started for, or was a second console refused.
int Exit_Code(Run_Kind kind, const QString& strCommandLine);

// True for exactly "-ip" or "-up": the runs that install or remove the filters,
// which need no display.
bool Is_Filter_Switch(const QString& strCommandLine);

// What a console run shows first: the login dialog, set by the GUI at start-up.
void Set_Login_Starter(std::function<void()> starter);

long Create_Instance_Mutex();
bool Init_Common_Controls();
void Write_Log_Start();
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
