#pragma once
// The console's side of the network filter library ("lhdvsock.dll", our
// "liblhdvsock.so" in the program folder): its functions are loaded at the call and
// resolved by number. A missing library or function is a Run_Time_Error at the
// call: 53 the file is missing, 48 it cannot be loaded, 453 it lacks the function.

#include <QString>

namespace modFilterLibrary {

// The library's file in the program folder.
QString Library_File();
// The provider installer in the program folder.
QString Installer_File();
// Tells the library and the installer (through DV_REGISTRY_FILE) where the registry
// store of this run lives. Done before every call and before the installer starts.
void Share_Registry_File();

// Function number intNumber of the library, loaded now.
void* Function_By_Number(int intNumber);

// Function 3: installs the provider into the (32-bit) Winsock catalog.
long Install_Network_Provider(long lngKey);
// Function 4: removes it.
long Remove_Network_Provider(long lngKey);
// Function 19: pBuffer holds a full path padded with blanks to 255 characters and a
// NUL; on return it holds the program's listed name, NUL-terminated.
long Get_Exe_Name(char* pBuffer);

}  // namespace modFilterLibrary
