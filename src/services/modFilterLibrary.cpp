#include "services/modFilterLibrary.h"

#include "filterlib/lhdvsock.h"
#include "platform/Platform.h"
#include "platform/RegistryStore.h"
#include "services/modGlobal.h"

#include <QFile>
#include <QFileInfo>
#include <cstdint>

#include <dlfcn.h>

namespace modFilterLibrary {

QString Library_File() { return platform::Environment().Program_Folder() + "/" + lhdvsock::LIBRARY_FILE; }

QString Installer_File() { return platform::Environment().Program_Folder() + "/" + lhdvsock::INSTALLER_FILE; }

void Share_Registry_File() {
    qputenv(platform::REGISTRY_FILE_VARIABLE, QFile::encodeName(platform::Registry_File()));
}

void* Function_By_Number(int intNumber) {
    const QString strFile = Library_File();
    if (!QFileInfo(strFile).isFile())
        throw Run_Time_Error(Err_No::File_Not_Found, QStringLiteral("File not found: ") + lhdvsock::LIBRARY_NAME);
    // Kept loaded for the rest of the run, as the old platform kept an imported library.
    void* hLibrary = ::dlopen(QFile::encodeName(strFile).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!hLibrary) throw Run_Time_Error(Err_No::File_Not_Found_Dll, QStringLiteral("Error in loading DLL"));
    const QByteArray name = QByteArray(lhdvsock::ORDINAL_PREFIX) + QByteArray::number(intNumber);
    void* pFunction = ::dlsym(hLibrary, name.constData());
    if (!pFunction)
        throw Run_Time_Error(Err_No::Cant_Find_Dll_Entry, QStringLiteral("Can't find DLL entry point #%1 in %2")
                                                               .arg(intNumber)
                                                               .arg(lhdvsock::LIBRARY_NAME));
    return pFunction;
}

long Install_Network_Provider(long lngKey) {
    auto pFunction = reinterpret_cast<lhdvsock::Provider_Function>(Function_By_Number(lhdvsock::INSTALL_NETWORK_PROVIDER));
    Share_Registry_File();
    return pFunction(static_cast<std::int32_t>(lngKey));
}

long Remove_Network_Provider(long lngKey) {
    auto pFunction = reinterpret_cast<lhdvsock::Provider_Function>(Function_By_Number(lhdvsock::REMOVE_NETWORK_PROVIDER));
    Share_Registry_File();
    return pFunction(static_cast<std::int32_t>(lngKey));
}

long Get_Exe_Name(char* pBuffer) {
    auto pFunction = reinterpret_cast<lhdvsock::Exe_Name_Function>(Function_By_Number(lhdvsock::GET_EXE_NAME));
    return pFunction(pBuffer);
}

}  // namespace modFilterLibrary
