// Network filter installation, removal and check.
#include "services/modProgram.h"

namespace modProgram {

void Install_Filters() {}
void Uninstall_Filters() {}
void Set_AppInit_Dlls(bool) {}
long Check_Filters_Installed() { return -1; }

}  // namespace modProgram
