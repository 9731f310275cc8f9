#pragma once
// Start-up, the program's top layer: the single-instance rule, the "-ip"/"-up"
// filter runs, the start of a console run's log, the settings check and the login.
// It may use every folder below it; nothing includes it but main.cpp (and tests).

#include "services/modProgram.h"

#include <QString>
#include <functional>

namespace modProgram {

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
// A filter run whose steps ran without a failure is judged by the network filter
// check made then (Check_Filter_Run): "-ip" gives 0 only when everything is in
// place, "-up" only when neither Winsock catalog nor AppInit_DLLs names the library.
// Otherwise the run gives 1 and writes the check's line on the error stream.
// On a 64-bit system the provider installer, started without waiting, is given up
// to ten seconds to show its work in the catalogs before the check's answer counts.
int Exit_Code(Run_Kind kind, const QString& strCommandLine);

// The time given to the provider installer from now on (tests shorten it); 0 or less
// puts the ten seconds back.
void Set_Installer_Wait(int lngMilliseconds);
// How many times since start a filter run waited a step for the installer's work, so
// that tests count the waits rather than time them.
long long Installer_Polls();

// True for exactly "-ip" or "-up": the runs that install or remove the filters,
// which need no display.
bool Is_Filter_Switch(const QString& strCommandLine);

// What a console run shows first: the login dialog, set by the GUI at start-up.
void Set_Login_Starter(std::function<void()> starter);

long Create_Instance_Mutex();
bool Init_Common_Controls();
void Write_Log_Start();

}  // namespace modProgram
