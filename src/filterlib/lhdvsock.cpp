// The network filter library: registers and removes the provider in the 32-bit
// Winsock catalog of the registry store, and gives the name under which a program
// is listed. Exported by number only (see lhdvsock.h).
#include "filterlib/WinsockCatalog.h"
#include "filterlib/lhdvsock.h"
#include "platform/RegistryStore.h"

#include <algorithm>
#include <cstring>

#define DV_EXPORT extern "C" __attribute__((visibility("default")))

// Install_Network_Provider
DV_EXPORT std::int32_t dv_ordinal_3(std::int32_t lngKey) {
    if (lngKey != lhdvsock::PROVIDER_KEY) return platform::ERROR_INVALID_PARAMETER;
    return lhdvsock::Install_Provider(lhdvsock::Registry_File_From_Environment(), lhdvsock::CATALOG_KEY);
}

// Remove_Network_Provider
DV_EXPORT std::int32_t dv_ordinal_4(std::int32_t lngKey) {
    if (lngKey != lhdvsock::PROVIDER_KEY) return platform::ERROR_INVALID_PARAMETER;
    return lhdvsock::Remove_Provider(lhdvsock::Registry_File_From_Environment(), lhdvsock::CATALOG_KEY);
}

// Get_Exe_Name: the buffer holds a program's full path, padded with blanks to 255
// characters and followed by a NUL. It is replaced by the program's listed name,
// the file name part of the path ("\" and "/" both end a folder), NUL-terminated
// within the 255 characters.
DV_EXPORT std::int32_t dv_ordinal_19(char* pBuffer) {
    if (!pBuffer) return platform::ERROR_INVALID_PARAMETER;
    std::size_t lngEnd = 0;
    while (lngEnd < lhdvsock::EXE_NAME_BUFFER_CHARS && pBuffer[lngEnd] != '\0') ++lngEnd;
    while (lngEnd > 0 && pBuffer[lngEnd - 1] == ' ') --lngEnd;
    std::size_t lngStart = lngEnd;
    while (lngStart > 0 && pBuffer[lngStart - 1] != '\\' && pBuffer[lngStart - 1] != '/') --lngStart;
    // The NUL must lie before the caller's own one at position 255.
    const std::size_t lngLength = std::min<std::size_t>(lngEnd - lngStart, lhdvsock::EXE_NAME_BUFFER_CHARS - 1);
    std::memmove(pBuffer, pBuffer + lngStart, lngLength);
    pBuffer[lngLength] = '\0';
    return 0;
}
