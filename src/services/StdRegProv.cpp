#include "services/StdRegProv.h"

#include "platform/Platform.h"
#include "platform/RegistryStore.h"

using namespace platform;

namespace {
constexpr long ERROR_UNSUPPORTED_TYPE = 1630;
}

std::unique_ptr<StdRegProv> StdRegProv::Get_Object() {
    if (Environment().Windows_Directory().isEmpty()) return nullptr;
    return std::make_unique<StdRegProv>(Registry_File());
}

long StdRegProv::SetStringValue(std::uint32_t hDefKey, const QString& sSubKeyName, const QString& sValueName,
                                const QString& sValue) {
    return Registry_Store(m_strFile).Set_Value(hDefKey, sSubKeyName, sValueName, REG_SZ, Text_Data(sValue));
}

long StdRegProv::SetDWORDValue(std::uint32_t hDefKey, const QString& sSubKeyName, const QString& sValueName,
                               std::uint32_t uValue) {
    return Registry_Store(m_strFile).Set_Value(hDefKey, sSubKeyName, sValueName, REG_DWORD, Dword_Data(uValue));
}

long StdRegProv::EnumKey(std::uint32_t hDefKey, const QString& sSubKeyName, QStringList& sNames) {
    return Registry_Store(m_strFile).Enum_Keys(hDefKey, sSubKeyName, sNames);
}

long StdRegProv::GetBinaryValue(std::uint32_t hDefKey, const QString& sSubKeyName, const QString& sValueName,
                                QByteArray& uValue) {
    Registry_Value value;
    const long lngResult = Registry_Store(m_strFile).Query_Value(hDefKey, sSubKeyName, sValueName, value);
    if (lngResult != ERROR_SUCCESS) return lngResult;
    if (value.lngType != REG_BINARY) return ERROR_UNSUPPORTED_TYPE;
    uValue = value.data;
    return ERROR_SUCCESS;
}

long StdRegProv::GetStringValue(std::uint32_t hDefKey, const QString& sSubKeyName, const QString& sValueName,
                                QString& sValue) {
    Registry_Value value;
    const long lngResult = Registry_Store(m_strFile).Query_Value(hDefKey, sSubKeyName, sValueName, value);
    if (lngResult != ERROR_SUCCESS) return lngResult;
    if (value.lngType != REG_SZ) return ERROR_UNSUPPORTED_TYPE;
    sValue = Data_Text(value.data);
    return ERROR_SUCCESS;
}
