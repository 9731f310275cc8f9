#pragma once
// The provider's entries in a Winsock catalog of the registry store, shared by the
// network filter library (the 32-bit catalog) and the provider installer (the
// 64-bit one).

#include <QByteArray>
#include <QString>

namespace lhdvsock {

// The store named by DV_REGISTRY_FILE; empty when the variable is not set.
QString Registry_File_From_Environment();

// The "PackedCatalogItem" of our entry: the provider's library name, NUL-padded to
// 260 bytes (the catalog's path field), then the provider key, 4 bytes, least
// significant first.
QByteArray Packed_Catalog_Item();
// True when an item names the library, in any letter case.
bool Item_Names_Library(const QByteArray& item);

// Adds our entry to the catalog key (created when missing) under the next free entry
// name ("000000000001", ...); nothing changes when an entry already names the
// library. 0 or the store's result code.
long Install_Provider(const QString& strRegistryFile, const QString& strCatalogKey);
// Deletes every entry of the catalog key that names the library.
long Remove_Provider(const QString& strRegistryFile, const QString& strCatalogKey);

}  // namespace lhdvsock
