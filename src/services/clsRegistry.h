#pragma once
// Registry access in seven stateless operations on a root key (HKEY_LOCAL_MACHINE and
// the other predefined handles) and a key path. Each opens or creates the key in the
// registry store of this run, acts and closes it. Run-time failures (a number that
// does not fit 32 bits, data of no usable kind) are passed up as Run_Time_Error.

#include <QString>
#include <QVariant>

class clsRegistry {
public:
    // Creates the key (and missing parents); true when that succeeded.
    bool CreateKey(long lngRootKey, const QString& strRegKeyPath);
    // Deletes the subkey strRegKeyName of an existing path; it must have no subkeys.
    // False when the path does not exist.
    bool DeleteKey(long lngRootKey, const QString& strRegKeyPath, const QString& strRegKeyName);
    // Deletes a value of an existing key; true when it was deleted.
    bool RegDeleteKeyValue(long lngRootKey, const QString& strRegKeyPath, const QString& strRegValueName);
    bool RegKeyDoesExist(long lngRootKey, const QString& strRegKeyPath);
    // A 32-bit number for REG_DWORD, otherwise text: REG_SZ and REG_MULTI_SZ without the
    // terminating zero (a list keeps its inner zeros), any other type up to its first
    // zero. The empty text when the key or value cannot be read. plngError receives
    // the result code of the look-up (0 when the value exists).
    QVariant RegQueryKeyValue(long lngRootKey, const QString& strRegKeyPath, const QString& strRegValueName,
                              long* plngError = nullptr);
    // A number, or a text that reads as one, is written as REG_DWORD; any other data as
    // REG_SZ, trimmed of leading and trailing blanks, with its terminating zero.
    bool RegSetKeyValue(long lngRootKey, const QString& strRegKeyPath, const QString& strRegValueName,
                        const QVariant& varRegData);
    bool CanOpenRegKey(long lngRootKey, const QString& strRegKeyPath);
};
