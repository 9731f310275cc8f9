#include "services/clsRegistry.h"

#include "platform/RegistryStore.h"
#include "services/modCommonFuns.h"
#include "services/modGlobal.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

using namespace platform;

namespace {

std::uint32_t Root_Handle(long lngRootKey) { return static_cast<std::uint32_t>(lngRootKey); }

Registry_Store Store() { return Registry_Store(Registry_File()); }

// The 32-bit number of a numeric value, rounded half to even.
qint32 To_Long(double dblValue) {
    const double dblRounded = std::nearbyint(dblValue);
    if (!(dblRounded >= -2147483648.0 && dblRounded <= 2147483647.0))
        throw Run_Time_Error(Err_No::Overflow, QStringLiteral("Overflow"));
    return static_cast<qint32>(dblRounded);
}

// True when varRegData is a number or a text that reads as one; dblValue gets it.
bool Is_Numeric(const QVariant& varRegData, double& dblValue) {
    switch (varRegData.typeId()) {
    case QMetaType::UnknownType:  // no data at all counts as 0
        dblValue = 0;
        return true;
    case QMetaType::Bool:
        dblValue = varRegData.toBool() ? -1 : 0;
        return true;
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::LongLong: case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
        dblValue = varRegData.toDouble();
        return true;
    case QMetaType::QString: {
        static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
        const QString strText = varRegData.toString().trimmed();
        if (!number.match(strText).hasMatch()) return false;
        dblValue = QLocale::c().toDouble(strText);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

bool clsRegistry::CreateKey(long lngRootKey, const QString& strRegKeyPath) {
    return Store().Create_Key(Root_Handle(lngRootKey), strRegKeyPath) == ERROR_SUCCESS;
}

bool clsRegistry::DeleteKey(long lngRootKey, const QString& strRegKeyPath, const QString& strRegKeyName) {
    if (!RegKeyDoesExist(lngRootKey, strRegKeyPath)) return false;
    return Store().Delete_Key(Root_Handle(lngRootKey), strRegKeyPath, strRegKeyName) == ERROR_SUCCESS;
}

bool clsRegistry::RegDeleteKeyValue(long lngRootKey, const QString& strRegKeyPath, const QString& strRegValueName) {
    if (!RegKeyDoesExist(lngRootKey, strRegKeyPath)) return false;
    return Store().Delete_Value(Root_Handle(lngRootKey), strRegKeyPath, strRegValueName) == ERROR_SUCCESS;
}

bool clsRegistry::RegKeyDoesExist(long lngRootKey, const QString& strRegKeyPath) {
    return Store().Open_Key(Root_Handle(lngRootKey), strRegKeyPath) == ERROR_SUCCESS;
}

bool clsRegistry::CanOpenRegKey(long lngRootKey, const QString& strRegKeyPath) {
    return RegKeyDoesExist(lngRootKey, strRegKeyPath);
}

QVariant clsRegistry::RegQueryKeyValue(long lngRootKey, const QString& strRegKeyPath, const QString& strRegValueName,
                                       long* plngError) {
    Registry_Value value;
    const long lngResult = Store().Query_Value(Root_Handle(lngRootKey), strRegKeyPath, strRegValueName, value);
    // A key that cannot be opened also gives its code, so that a caller never reads
    // success for a missing key.
    if (plngError) *plngError = lngResult;
    if (lngResult != ERROR_SUCCESS) return QString();
    const QByteArray& data = value.data;
    switch (value.lngType) {
    case REG_DWORD:
        if (data.size() > 4) return QString();
        return QVariant(static_cast<qint32>(Data_Dword(data)));
    case REG_SZ:
    case REG_MULTI_SZ:
        // The terminating zero dropped; a list keeps its inner separators.
        return data.isEmpty() ? QString() : QString::fromLocal8Bit(data.constData(), data.size() - 1);
    default: {
        const qsizetype n = data.indexOf('\0');
        return QString::fromLocal8Bit(data.constData(), n < 0 ? data.size() : n);
    }
    }
}

bool clsRegistry::RegSetKeyValue(long lngRootKey, const QString& strRegKeyPath, const QString& strRegValueName,
                                 const QVariant& varRegData) {
    double dblValue = 0;
    std::uint32_t lngType = REG_SZ;
    QByteArray data;
    if (Is_Numeric(varRegData, dblValue)) {
        lngType = REG_DWORD;
        data = Dword_Data(static_cast<std::uint32_t>(To_Long(dblValue)));
    } else {
        if (!varRegData.canConvert<QString>()) throw Run_Time_Error(Err_No::Type_Mismatch, QStringLiteral("Type mismatch"));
        data = Text_Data(modCommonFuns::Trim_Blanks(varRegData.toString()));
    }
    return Store().Set_Value(Root_Handle(lngRootKey), strRegKeyPath, strRegValueName, lngType, data) == ERROR_SUCCESS;
}
