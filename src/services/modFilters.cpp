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

// True when an entry of the catalog key names the library. A missing key or item
// is a run-time failure.
bool Catalog_Names_Library(StdRegProv& reg, const QString& strCatalogKey) {
    QStringList entries;
    if (reg.EnumKey(platform::HKEY_LOCAL_MACHINE, strCatalogKey, entries) != 0)
        throw Run_Time_Error(Err_No::Type_Mismatch, QStringLiteral("Type mismatch"));
    for (const QString& strEntry : entries) {
        QByteArray item;
        if (reg.GetBinaryValue(platform::HKEY_LOCAL_MACHINE, strCatalogKey + "\\" + strEntry,
                               QStringLiteral("PackedCatalogItem"), item) != 0)
            throw Run_Time_Error(Err_No::Type_Mismatch, QStringLiteral("Type mismatch"));
        if (modCommonFuns::Byte_Array_To_String(item).contains(LIBRARY_NAME, Qt::CaseInsensitive)) return true;
    }
    return false;
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
    try {
        std::unique_ptr<StdRegProv> reg = StdRegProv::Get_Object();
        if (!reg) return;
        QString strDlls;
        reg->GetStringValue(platform::HKEY_LOCAL_MACHINE, WINDOWS_KEY, QStringLiteral("AppInit_DLLs"), strDlls);
        reg->SetStringValue(platform::HKEY_LOCAL_MACHINE, WINDOWS_KEY, QStringLiteral("AppInit_DLLs"),
                            AppInit_Value(strDlls, blnInstall));
        if (blnInstall)
            reg->SetDWORDValue(platform::HKEY_LOCAL_MACHINE, WINDOWS_KEY, QStringLiteral("LoadAppInit_DLLs"), 1);
    } catch (const std::exception&) {
        modGlobal::Err.Clear();
    }
}

long Check_Filters_Installed() {
    try {
        std::unique_ptr<StdRegProv> reg = StdRegProv::Get_Object();
        if (!reg) throw Run_Time_Error(429, QStringLiteral("ActiveX component can't create object"));
        if (!Catalog_Names_Library(*reg, lhdvsock::CATALOG_KEY)) return 1;
        if (modAPI::Is_64Bit_Windows() && !Catalog_Names_Library(*reg, lhdvsock::CATALOG_KEY_64)) return 2;
        QString strDlls;
        reg->GetStringValue(platform::HKEY_LOCAL_MACHINE, WINDOWS_KEY, QStringLiteral("AppInit_Dlls"), strDlls);
        return strDlls.contains(LIBRARY_NAME, Qt::CaseInsensitive) ? 0 : 3;
    } catch (const std::exception&) {
        modGlobal::Err.Clear();
        return -1;
    }
}

}  // namespace modProgram
