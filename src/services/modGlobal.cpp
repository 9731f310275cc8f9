#include "services/modGlobal.h"

namespace modGlobal {
bool Is_Remote_Mode = false;
Err_Object Err;
}  // namespace modGlobal
