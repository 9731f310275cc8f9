#pragma once
// What the console and our network filter library (with its provider installer)
// agree on.
//
// Layer: filterlib, built apart from the console; it uses platform only.
//
// The library is built as "liblhdvsock.so" and lies in the program folder beside
// the console. Its functions have no names of their own: each is exported as
// "dv_ordinal_<number>" and the console resolves it by that number:
//   3  Install_Network_Provider(int32 key) -> int32
//   4  Remove_Network_Provider(int32 key)  -> int32
//   19 Get_Exe_Name(char* buffer)          -> int32
// The results are 0 or a registry result code; the console does not read them.
//
// The library and the installer find the registry store through the environment
// variable DV_REGISTRY_FILE (platform::REGISTRY_FILE_VARIABLE), which the console
// sets before each call and before it starts the installer.

#include <cstdint>

namespace lhdvsock {

// The name under which the library is registered: in the Winsock catalog entries'
// "PackedCatalogItem" and in AppInit_DLLs.
inline constexpr char LIBRARY_NAME[] = "lhdvsock.dll";
// Its file in the program folder.
inline constexpr char LIBRARY_FILE[] = "liblhdvsock.so";
// The provider installer of 64-bit systems, in the program folder ("-ip", "-up").
inline constexpr char INSTALLER_FILE[] = "Skelwin";
// Prefix of the exported function names; the number follows.
inline constexpr char ORDINAL_PREFIX[] = "dv_ordinal_";

inline constexpr int INSTALL_NETWORK_PROVIDER = 3;
inline constexpr int REMOVE_NETWORK_PROVIDER = 4;
inline constexpr int GET_EXE_NAME = 19;

// The key the console passes to the provider functions; any other is refused.
inline constexpr std::int32_t PROVIDER_KEY = -2705;
// The Get_Exe_Name buffer: 255 characters and a NUL.
inline constexpr int EXE_NAME_BUFFER_CHARS = 255;

// HKEY_LOCAL_MACHINE keys of the Winsock catalogs; the 64-bit one has "64" appended.
inline constexpr char CATALOG_KEY[] =
    "SYSTEM\\CurrentControlSet\\services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_Entries";
inline constexpr char CATALOG_KEY_64[] =
    "SYSTEM\\CurrentControlSet\\services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_Entries64";

using Provider_Function = std::int32_t (*)(std::int32_t);
using Exe_Name_Function = std::int32_t (*)(char*);

}  // namespace lhdvsock
