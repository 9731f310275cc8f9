#include "services/ErrorHandler.h"

#include "services/modProgram.h"

void Procedure_Error_Handler(const Run_Time_Error& e) {
    modGlobal::Err.Set(e);
    modProgram::Log().Show_Error(modGlobal::Err.Description, true);
    modGlobal::Err.Clear();
}
