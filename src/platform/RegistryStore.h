#pragma once
// The registry of this system: one small file of our own (normally "registry.dat"
// in the Windows directory, beside the settings database) holding the predefined
// root keys, their keys and subkeys, and typed values. Key and value names compare
// without regard to letter case and keep the case they were first written with.
//
// Every operation opens the file, acts and (for a change) writes the whole file
// anew: into a temporary file that then replaces the old one, so a crash half-way
// leaves the old or the new store, never a torn one. Changes from several processes
// (the console, the network filter library, the provider installer) are serialised
// by an exclusive lock on "<file>.lock".
//
// Results are the registry's own codes: 0 success, 2 not found, 5 access denied
// (a key with subkeys cannot be deleted), 6 not a root key, 1009 the file is not a
// readable store, 1016 the file could not be written.
//
// This file needs Qt Core only: the network filter library and the provider
// installer compile it too.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

// Predefined root keys.
inline constexpr std::uint32_t HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr std::uint32_t HKEY_CURRENT_USER = 0x80000001u;
inline constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr std::uint32_t HKEY_USERS = 0x80000003u;

// Value types.
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

// Result codes.
inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr long ERROR_BADDB = 1009;
inline constexpr long ERROR_REGISTRY_IO_FAILED = 1016;

// The environment variable through which the console tells the network filter
// library and the provider installer where the store of this run lives.
inline constexpr char REGISTRY_FILE_VARIABLE[] = "DV_REGISTRY_FILE";

// The store's file in a Windows directory.
QString Registry_File_In(const QString& strWindowsDirectory);
// The store of this run: the one in the Windows directory that Environment() gives
// (console only; defined in RegistryFile.cpp).
QString Registry_File();

struct Registry_Value {
    QString strName;
    std::uint32_t lngType = REG_SZ;
    QByteArray data;  // the bytes as written (texts in the locale's encoding, with their zero)
};

// One key: its values and subkeys, in memory.
class Registry_Key {
public:
    explicit Registry_Key(QString strName = QString()) : m_strName(std::move(strName)) {}

    const QString& Name() const { return m_strName; }
    // The subkey at a relative path ("a\b\c"); null when some part is missing.
    Registry_Key* Find(const QString& strPath);
    // The same, creating the missing parts.
    Registry_Key& Create(const QString& strPath);
    // Removes the direct subkey strName. 2 when missing, 5 when it has subkeys.
    long Remove_Subkey(const QString& strName);
    // Subkey names in the registry's order (sorted, letter case ignored).
    QStringList Subkey_Names() const;

    const Registry_Value* Value(const QString& strName) const;
    // Writes a value; an existing one keeps the case of its name.
    void Set_Value(const QString& strName, std::uint32_t lngType, const QByteArray& data);
    // False when there was no such value.
    bool Remove_Value(const QString& strName);

    const std::vector<Registry_Value>& Values() const { return m_values; }
    const std::vector<std::unique_ptr<Registry_Key>>& Subkeys() const { return m_subkeys; }

private:
    Registry_Key* Child(const QString& strName);
    QString m_strName;
    std::vector<Registry_Value> m_values;
    std::vector<std::unique_ptr<Registry_Key>> m_subkeys;  // kept sorted
};

// The whole store: one key per predefined root.
class Registry_Tree {
public:
    Registry_Tree();
    // Null for a handle that is not a predefined root.
    Registry_Key* Root(std::uint32_t hRoot);
    const std::vector<std::pair<std::uint32_t, std::unique_ptr<Registry_Key>>>& Roots() const { return m_roots; }

private:
    std::vector<std::pair<std::uint32_t, std::unique_ptr<Registry_Key>>> m_roots;
};

class Registry_Store {
public:
    explicit Registry_Store(QString strFile);
    const QString& File() const { return m_strFile; }

    // Reads the store and hands it to body; the result is body's, or the failure to read.
    long Read(const std::function<long(Registry_Tree&)>& body) const;
    // Locks, reads, lets body change the store and writes it back when body returns 0.
    long Edit(const std::function<long(Registry_Tree&)>& body);

    // The single operations, each one read or one locked edit.
    long Create_Key(std::uint32_t hRoot, const QString& strPath);
    long Open_Key(std::uint32_t hRoot, const QString& strPath) const;  // 0 when it exists
    // Deletes the subkey strName (a relative path) of strPath; it must have no subkeys.
    long Delete_Key(std::uint32_t hRoot, const QString& strPath, const QString& strName);
    long Delete_Value(std::uint32_t hRoot, const QString& strPath, const QString& strName);
    long Query_Value(std::uint32_t hRoot, const QString& strPath, const QString& strName, Registry_Value& value) const;
    // Writes a value, creating the key when missing.
    long Set_Value(std::uint32_t hRoot, const QString& strPath, const QString& strName, std::uint32_t lngType,
                   const QByteArray& data);
    long Enum_Keys(std::uint32_t hRoot, const QString& strPath, QStringList& names) const;

private:
    long Load(Registry_Tree& tree) const;
    long Save(const Registry_Tree& tree);
    QString m_strFile;
};

// Encodings of the typed values.
QByteArray Text_Data(const QString& strText);        // the locale's bytes and one zero
QString Data_Text(const QByteArray& data);           // up to the terminating zero(s)
QByteArray Dword_Data(std::uint32_t lngValue);       // 4 bytes, least significant first
std::uint32_t Data_Dword(const QByteArray& data);    // the first 4 bytes (missing ones 0)

}  // namespace platform
