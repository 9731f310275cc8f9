// A stand-in for the network filter library, for the browse tests: function 19
// appends every buffer it is given (all 256 bytes) to the file named by
// DV_FAKE_EXE_NAME_LOG and answers "fake<n>.exe" for its n-th call. A path that
// holds a '?' is answered with 255 characters and no NUL within them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" __attribute__((visibility("default"))) std::int32_t dv_ordinal_19(char* pBuffer) {
    static int intCalls = 0;
    ++intCalls;
    if (const char* strLog = std::getenv("DV_FAKE_EXE_NAME_LOG")) {
        if (std::FILE* pFile = std::fopen(strLog, "ab")) {
            std::fwrite(pBuffer, 1, 256, pFile);
            std::fclose(pFile);
        }
    }
    if (std::memchr(pBuffer, '?', 255)) {
        std::memset(pBuffer, 'x', 255);
        return 0;
    }
    std::snprintf(pBuffer, 255, "fake%d.exe", intCalls);
    return 0;
}
