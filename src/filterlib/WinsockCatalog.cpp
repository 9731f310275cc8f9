#include "filterlib/WinsockCatalog.h"

#include "filterlib/lhdvsock.h"
#include "platform/RegistryStore.h"

#include <cstring>

using namespace platform;

namespace lhdvsock {

namespace {
constexpr int CATALOG_PATH_BYTES = 260;
constexpr char ITEM_VALUE[] = "PackedCatalogItem";
}  // namespace

QString Registry_File_From_Environment() { return qEnvironmentVariable(REGISTRY_FILE_VARIABLE); }

QByteArray Packed_Catalog_Item() {
    QByteArray item(CATALOG_PATH_BYTES, '\0');
    std::memcpy(item.data(), LIBRARY_NAME, sizeof LIBRARY_NAME - 1);
    item.append(Dword_Data(static_cast<std::uint32_t>(PROVIDER_KEY)));
    return item;
}

bool Item_Names_Library(const QByteArray& item) {
    return item.toLower().contains(QByteArray(LIBRARY_NAME).toLower());
}

long Install_Provider(const QString& strRegistryFile, const QString& strCatalogKey) {
    if (strRegistryFile.isEmpty()) return ERROR_FILE_NOT_FOUND;
    return Registry_Store(strRegistryFile).Edit([&](Registry_Tree& tree) {
        Registry_Key& catalog = tree.Root(HKEY_LOCAL_MACHINE)->Create(strCatalogKey);
        qulonglong lngLast = 0;
        for (const auto& entry : catalog.Subkeys()) {
            const Registry_Value* item = entry->Value(ITEM_VALUE);
            if (item && Item_Names_Library(item->data)) return ERROR_SUCCESS;
            bool blnNumber = false;
            const qulonglong lngNumber = entry->Name().toULongLong(&blnNumber);
            if (blnNumber && lngNumber > lngLast) lngLast = lngNumber;
        }
        const QString strEntry = QStringLiteral("%1").arg(lngLast + 1, 12, 10, QLatin1Char('0'));
        catalog.Create(strEntry).Set_Value(ITEM_VALUE, REG_BINARY, Packed_Catalog_Item());
        return ERROR_SUCCESS;
    });
}

long Remove_Provider(const QString& strRegistryFile, const QString& strCatalogKey) {
    if (strRegistryFile.isEmpty()) return ERROR_FILE_NOT_FOUND;
    return Registry_Store(strRegistryFile).Edit([&](Registry_Tree& tree) {
        Registry_Key* catalog = tree.Root(HKEY_LOCAL_MACHINE)->Find(strCatalogKey);
        if (!catalog) return ERROR_SUCCESS;
        QStringList ours;
        for (const auto& entry : catalog->Subkeys()) {
            const Registry_Value* item = entry->Value(ITEM_VALUE);
            if (item && Item_Names_Library(item->data)) ours << entry->Name();
        }
        for (const QString& strEntry : ours)
            if (const long lngResult = catalog->Remove_Subkey(strEntry); lngResult != ERROR_SUCCESS) return lngResult;
        return ERROR_SUCCESS;
    });
}

}  // namespace lhdvsock
