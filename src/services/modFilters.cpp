// Network filter installation, removal and check.
#include "filterlib/lhdvsock.h"
#include "platform/Platform.h"
#include "platform/RegistryStore.h"
#include "services/StdRegProv.h"
#include "services/modCommonFuns.h"
#include "services/modFilterLibrary.h"
#include "services/modGlobal.h"
#include "services/modProgram.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace modProgram {

namespace {

const QString WINDOWS_KEY = QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows");
const QString LIBRARY_NAME = QString::fromLatin1(lhdvsock::LIBRARY_NAME);

// The installer of the 64-bit catalog, started hidden without waiting.
void Start_Provider_Installer(const QString& strSwitch) {
    modFilterLibrary::Share_Registry_File();
    if (!platform::Shell().Start_Hidden(modFilterLibrary::Installer_File(), {strSwitch}))
        throw Run_Time_Error(Err_No::File_Not_Found, QStringLiteral("File not found"));
}

// The installation's own failure box: number ": " description, OK only.
void Show_Installation_Error(long lngNumber, const QString& strDescription) {
    platform::Message_Boxes().Show(QString::number(lngNumber) + ": " + strDescription, platform::vbOKOnly,
                                   QStringLiteral("DravinoleTS"));
}

// False when the body failed (its box was shown).
template <class Body>
bool Run_Installation_Step(Body&& body) {
    bool blnDone = false;
    try {
        body();
        blnDone = true;
    } catch (const Run_Time_Error& e) {
        Show_Installation_Error(e.Number, e.Description);
    } catch (const std::exception& e) {
        Show_Installation_Error(51, QString::fromLocal8Bit(e.what()));
    }
    modGlobal::Err.Clear();
    return blnDone;
}

// AppInit_DLLs holds DLL names separated by blanks or commas.
bool Is_Library_Entry(const QString& strEntry) {
    return strEntry.compare(LIBRARY_NAME, Qt::CaseInsensitive) == 0 ||
           strEntry.endsWith("\\" + LIBRARY_NAME, Qt::CaseInsensitive) ||
           strEntry.endsWith("/" + LIBRARY_NAME, Qt::CaseInsensitive);
}

// The value with the library's own name added (blnInstall) or removed; the other
// DLLs stay, in their order.
QString AppInit_Value(const QString& strDlls, bool blnInstall) {
    static const QRegularExpression separators(QStringLiteral("[ ,]+"));
    QStringList entries = strDlls.split(separators, Qt::SkipEmptyParts);
    const bool blnListed = std::any_of(entries.begin(), entries.end(), Is_Library_Entry);
    if (blnInstall) {
        if (!blnListed) entries << LIBRARY_NAME;
    } else {
        entries.removeIf(Is_Library_Entry);
    }
    return entries.join(strDlls.contains(QLatin1Char(',')) ? QStringLiteral(",") : QStringLiteral(" "));
}

// What a catalog key says of the library.
enum class Catalog_Says { Names_Library, Names_Nothing_Of_It, No_Catalog, Unreadable };

// Reads the entries of the catalog key in order and stops at the first whose item
// names the library. An entry whose item cannot be read makes the catalog unreadable.
Catalog_Says Read_Catalog(StdRegProv& reg, const QString& strCatalogKey) {
    QStringList entries;
    if (const long lngResult = reg.EnumKey(platform::HKEY_LOCAL_MACHINE, strCatalogKey, entries); lngResult != 0)
        return lngResult == platform::ERROR_FILE_NOT_FOUND ? Catalog_Says::No_Catalog : Catalog_Says::Unreadable;
    for (const QString& strEntry : entries) {
        QByteArray item;
        if (reg.GetBinaryValue(platform::HKEY_LOCAL_MACHINE, strCatalogKey + "\\" + strEntry,
                               QStringLiteral("PackedCatalogItem"), item) != 0)
            return Catalog_Says::Unreadable;
        if (modCommonFuns::Byte_Array_To_String(item).contains(LIBRARY_NAME, Qt::CaseInsensitive))
            return Catalog_Says::Names_Library;
    }
    return Catalog_Says::Names_Nothing_Of_It;
}

// The text of AppInit_DLLs; empty when the value is missing or no text. Nullopt when
// the store itself cannot be read.
std::optional<QString> Read_AppInit(StdRegProv& reg) {
    QString strDlls;
    const long lngResult =
        reg.GetStringValue(platform::HKEY_LOCAL_MACHINE, WINDOWS_KEY, QStringLiteral("AppInit_DLLs"), strDlls);
    if (lngResult == platform::ERROR_BADDB || lngResult == platform::ERROR_REGISTRY_IO_FAILED) return std::nullopt;
    return strDlls;
}

// True when one of the DLLs of the value is the library, as Set_AppInit_Dlls finds
// the entry it takes out.
bool AppInit_Names_Library(const QString& strDlls) {
    static const QRegularExpression separators(QStringLiteral("[ ,]+"));
    const QStringList entries = strDlls.split(separators, Qt::SkipEmptyParts);
    return std::any_of(entries.begin(), entries.end(), Is_Library_Entry);
}

}  // namespace

bool Install_Filters() {
    return Run_Installation_Step([] {
        if (modAPI::Is_64Bit_Windows())
            Start_Provider_Installer(QStringLiteral("-ip"));
        else
            modFilterLibrary::Install_Network_Provider(lhdvsock::PROVIDER_KEY);
        Set_AppInit_Dlls(true);
    });
}

bool Uninstall_Filters() {
    return Run_Installation_Step([] {
        if (modAPI::Is_64Bit_Windows()) Start_Provider_Installer(QStringLiteral("-up"));
        modFilterLibrary::Remove_Network_Provider(lhdvsock::PROVIDER_KEY);
        Set_AppInit_Dlls(false);
    });
}

void Set_AppInit_Dlls(bool blnInstall) {
    std::unique_ptr<StdRegProv> reg = StdRegProv::Get_Object();
    if (!reg) throw Run_Time_Error(429, QStringLiteral("ActiveX component can't create object"));
    const auto written = [&](long lngResult, const char* strValue) {
        if (lngResult != 0)
            throw Run_Time_Error(lngResult, QLatin1String(strValue) + " cannot be written in " + platform::Registry_File());
    };
    QString strDlls;
    reg->GetStringValue(platform::HKEY_LOCAL_MACHINE, WINDOWS_KEY, QStringLiteral("AppInit_DLLs"), strDlls);
    written(reg->SetStringValue(platform::HKEY_LOCAL_MACHINE, WINDOWS_KEY, QStringLiteral("AppInit_DLLs"),
                                AppInit_Value(strDlls, blnInstall)),
            "AppInit_DLLs");
    if (blnInstall)
        written(reg->SetDWORDValue(platform::HKEY_LOCAL_MACHINE, WINDOWS_KEY, QStringLiteral("LoadAppInit_DLLs"), 1),
                "LoadAppInit_DLLs");
}

Filter_Check Check_Filters_Installed() {
    const std::unique_ptr<StdRegProv> reg = StdRegProv::Get_Object();
    if (!reg) return Filter_Check::Check_Failed;
    switch (Read_Catalog(*reg, lhdvsock::CATALOG_KEY)) {
        case Catalog_Says::Names_Library: break;
        case Catalog_Says::Names_Nothing_Of_It: return Filter_Check::Library_Missing_From_Catalog;
        default: return Filter_Check::Check_Failed;
    }
    if (modAPI::Is_64Bit_Windows()) {
        switch (Read_Catalog(*reg, lhdvsock::CATALOG_KEY_64)) {
            case Catalog_Says::Names_Library: break;
            case Catalog_Says::Names_Nothing_Of_It: return Filter_Check::Library_Missing_From_64Bit_Catalog;
            default: return Filter_Check::Check_Failed;
        }
    }
    const std::optional<QString> strDlls = Read_AppInit(*reg);
    if (!strDlls) return Filter_Check::Check_Failed;
    return strDlls->contains(LIBRARY_NAME, Qt::CaseInsensitive) ? Filter_Check::Installed
                                                                : Filter_Check::Library_Missing_From_AppInit;
}

Removal_Check Check_Filters_Removed() {
    const std::unique_ptr<StdRegProv> reg = StdRegProv::Get_Object();
    if (!reg) return Removal_Check::Check_Failed;
    const auto still_named = [&](const char* strCatalogKey) -> std::optional<bool> {
        const Catalog_Says says = Read_Catalog(*reg, strCatalogKey);
        if (says == Catalog_Says::Unreadable) return std::nullopt;
        return says == Catalog_Says::Names_Library;
    };
    const std::optional<bool> bln32 = still_named(lhdvsock::CATALOG_KEY);
    if (!bln32) return Removal_Check::Check_Failed;
    if (*bln32) return Removal_Check::Catalog_Names_Library;
    if (modAPI::Is_64Bit_Windows()) {
        const std::optional<bool> bln64 = still_named(lhdvsock::CATALOG_KEY_64);
        if (!bln64) return Removal_Check::Check_Failed;
        if (*bln64) return Removal_Check::Catalog_64Bit_Names_Library;
    }
    const std::optional<QString> strDlls = Read_AppInit(*reg);
    if (!strDlls) return Removal_Check::Check_Failed;
    return AppInit_Names_Library(*strDlls) ? Removal_Check::AppInit_Names_Library : Removal_Check::Removed;
}

Filter_Run_Check Check_Filter_Run(bool blnInstall) {
    const QString strStore = platform::Registry_File();
    const QString strLibrary = LIBRARY_NAME;
    // The provider installer writes both catalogs, never AppInit_DLLs.
    const bool blnInstaller = modAPI::Is_64Bit_Windows();
    const auto line = [&](const QString& strWhat, bool blnCatalog) {
        return Filter_Run_Check{
            (blnInstall ? QStringLiteral("DravinoleTS: -ip: the network filter is not installed: ")
                        : QStringLiteral("DravinoleTS: -up: the network filter is not removed: ")) +
                strWhat,
            blnInstaller && blnCatalog};
    };
    const QString strNoCatalog = "no readable Winsock catalog in " + strStore;
    if (blnInstall) {
        const QString strLacks = " does not name " + strLibrary;
        switch (Check_Filters_Installed()) {
            case Filter_Check::Installed: return {};
            case Filter_Check::Check_Failed: return line(strNoCatalog, true);
            case Filter_Check::Library_Missing_From_Catalog:
                return line("the Winsock catalog in " + strStore + strLacks, true);
            case Filter_Check::Library_Missing_From_64Bit_Catalog:
                return line("the 64-bit Winsock catalog in " + strStore + strLacks, true);
            case Filter_Check::Library_Missing_From_AppInit:
                return line("AppInit_DLLs in " + strStore + strLacks, false);
        }
    } else {
        const QString strNames = " still names " + strLibrary;
        switch (Check_Filters_Removed()) {
            case Removal_Check::Removed: return {};
            case Removal_Check::Check_Failed: return line(strNoCatalog, true);
            case Removal_Check::Catalog_Names_Library:
                return line("the Winsock catalog in " + strStore + strNames, true);
            case Removal_Check::Catalog_64Bit_Names_Library:
                return line("the 64-bit Winsock catalog in " + strStore + strNames, true);
            case Removal_Check::AppInit_Names_Library:
                return line("AppInit_DLLs in " + strStore + strNames, false);
        }
    }
    return line(strNoCatalog, true);
}

}  // namespace modProgram
