#include "platform/Platform.h"
#include "platform/RegistryStore.h"

namespace platform {

QString Registry_File() { return Registry_File_In(Environment().Windows_Directory()); }

}  // namespace platform
