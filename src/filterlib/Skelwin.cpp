// The provider installer of 64-bit systems: "-ip" installs the network filter
// provider, "-up" removes it, in the 64-bit Winsock catalog and, as a provider
// install on such a system does, in the 32-bit one too (the console's check looks
// in both). The registry store comes from DV_REGISTRY_FILE.
// Exit codes: 0 done, 1 wrong command line, 2 no registry store named, 3 the store
// could not be changed.
#include "filterlib/WinsockCatalog.h"
#include "filterlib/lhdvsock.h"

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    const bool blnInstall = argc == 2 && std::strcmp(argv[1], "-ip") == 0;
    const bool blnRemove = argc == 2 && std::strcmp(argv[1], "-up") == 0;
    if (!blnInstall && !blnRemove) {
        std::fprintf(stderr, "usage: %s -ip | -up\n", argc > 0 ? argv[0] : "Skelwin");
        return 1;
    }
    const QString strFile = lhdvsock::Registry_File_From_Environment();
    if (strFile.isEmpty()) {
        std::fprintf(stderr, "Skelwin: DV_REGISTRY_FILE names no registry store\n");
        return 2;
    }
    long lngResult = 0;
    for (const char* strCatalog : {lhdvsock::CATALOG_KEY_64, lhdvsock::CATALOG_KEY}) {
        lngResult = blnInstall ? lhdvsock::Install_Provider(strFile, strCatalog) : lhdvsock::Remove_Provider(strFile, strCatalog);
        if (lngResult != 0) break;
    }
    if (lngResult != 0) {
        std::fprintf(stderr, "Skelwin: the registry store could not be changed (error %ld)\n", lngResult);
        return 3;
    }
    return 0;
}
