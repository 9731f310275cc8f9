#pragma once
// The registry provider object through which the filter installation writes and
// checks its values: the methods it uses, over the registry store of this run.
// Every method returns 0 on success or the registry's result code; an output
// argument is set only on success.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class StdRegProv {
public:
    // The provider object; null when this run has no registry (no Windows directory).
    static std::unique_ptr<StdRegProv> Get_Object();

    explicit StdRegProv(QString strFile) : m_strFile(std::move(strFile)) {}

    // The setters create a missing key: our store starts empty, where a real system
    // already holds the keys written to.
    long SetStringValue(std::uint32_t hDefKey, const QString& sSubKeyName, const QString& sValueName,
                        const QString& sValue);
    long SetDWORDValue(std::uint32_t hDefKey, const QString& sSubKeyName, const QString& sValueName,
                       std::uint32_t uValue);
    long EnumKey(std::uint32_t hDefKey, const QString& sSubKeyName, QStringList& sNames);
    long GetBinaryValue(std::uint32_t hDefKey, const QString& sSubKeyName, const QString& sValueName,
                        QByteArray& uValue);
    // Text values only (REG_SZ); any other type gives a non-zero result.
    long GetStringValue(std::uint32_t hDefKey, const QString& sSubKeyName, const QString& sValueName,
                        QString& sValue);

private:
    QString m_strFile;
};
