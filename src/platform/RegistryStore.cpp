#include "platform/RegistryStore.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr quint32 STORE_MAGIC = 0x44565247;  // "DVRG"
constexpr quint32 STORE_VERSION = 1;
constexpr int MAX_DEPTH = 512;  // the registry's own nesting limit

QStringList Path_Parts(const QString& strPath) { return strPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts); }

bool Same_Name(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

void Write_Key(QDataStream& out, const Registry_Key& key) {
    out << key.Name() << quint32(key.Values().size());
    for (const Registry_Value& v : key.Values()) out << v.strName << quint32(v.lngType) << v.data;
    out << quint32(key.Subkeys().size());
    for (const auto& sub : key.Subkeys()) Write_Key(out, *sub);
}

bool Read_Key(QDataStream& in, Registry_Key& key, int intDepth) {
    if (intDepth > MAX_DEPTH) return false;
    quint32 lngValues = 0;
    in >> lngValues;
    for (quint32 i = 0; i < lngValues && in.status() == QDataStream::Ok; ++i) {
        QString strName;
        quint32 lngType = 0;
        QByteArray data;
        in >> strName >> lngType >> data;
        if (in.status() == QDataStream::Ok) key.Set_Value(strName, lngType, data);
    }
    quint32 lngSubkeys = 0;
    in >> lngSubkeys;
    for (quint32 i = 0; i < lngSubkeys && in.status() == QDataStream::Ok; ++i) {
        QString strName;
        in >> strName;
        if (in.status() != QDataStream::Ok || strName.isEmpty()) return false;
        if (!Read_Key(in, key.Create(strName), intDepth + 1)) return false;
    }
    return in.status() == QDataStream::Ok;
}

// An exclusive lock on "<file>.lock", held while the object lives.
class Store_Lock {
public:
    explicit Store_Lock(const QString& strFile) {
        const QByteArray path = QFile::encodeName(strFile + QStringLiteral(".lock"));
        m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~Store_Lock() {
        if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
    }
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

}  // namespace

QString Registry_File_In(const QString& strWindowsDirectory) {
    return strWindowsDirectory + QStringLiteral("/registry.dat");
}

// ---- Registry_Key ----

Registry_Key* Registry_Key::Child(const QString& strName) {
    for (const auto& sub : m_subkeys)
        if (Same_Name(sub->m_strName, strName)) return sub.get();
    return nullptr;
}

Registry_Key* Registry_Key::Find(const QString& strPath) {
    Registry_Key* key = this;
    for (const QString& strPart : Path_Parts(strPath)) {
        key = key->Child(strPart);
        if (!key) return nullptr;
    }
    return key;
}

Registry_Key& Registry_Key::Create(const QString& strPath) {
    Registry_Key* key = this;
    for (const QString& strPart : Path_Parts(strPath)) {
        Registry_Key* next = key->Child(strPart);
        if (!next) {
            auto made = std::make_unique<Registry_Key>(strPart);
            next = made.get();
            auto at = std::lower_bound(key->m_subkeys.begin(), key->m_subkeys.end(), strPart,
                                       [](const std::unique_ptr<Registry_Key>& k, const QString& s) {
                                           return k->m_strName.compare(s, Qt::CaseInsensitive) < 0;
                                       });
            key->m_subkeys.insert(at, std::move(made));
        }
        key = next;
    }
    return *key;
}

long Registry_Key::Remove_Subkey(const QString& strName) {
    for (auto it = m_subkeys.begin(); it != m_subkeys.end(); ++it) {
        if (!Same_Name((*it)->m_strName, strName)) continue;
        if (!(*it)->m_subkeys.empty()) return ERROR_ACCESS_DENIED;
        m_subkeys.erase(it);
        return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
}

QStringList Registry_Key::Subkey_Names() const {
    QStringList names;
    for (const auto& sub : m_subkeys) names << sub->m_strName;
    return names;
}

const Registry_Value* Registry_Key::Value(const QString& strName) const {
    for (const Registry_Value& v : m_values)
        if (Same_Name(v.strName, strName)) return &v;
    return nullptr;
}

void Registry_Key::Set_Value(const QString& strName, std::uint32_t lngType, const QByteArray& data) {
    for (Registry_Value& v : m_values) {
        if (!Same_Name(v.strName, strName)) continue;
        v.lngType = lngType;
        v.data = data;
        return;
    }
    m_values.push_back({strName, lngType, data});
}

bool Registry_Key::Remove_Value(const QString& strName) {
    auto it = std::find_if(m_values.begin(), m_values.end(), [&](const Registry_Value& v) { return Same_Name(v.strName, strName); });
    if (it == m_values.end()) return false;
    m_values.erase(it);
    return true;
}

// ---- Registry_Tree ----

Registry_Tree::Registry_Tree() {
    for (std::uint32_t h : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS})
        m_roots.emplace_back(h, std::make_unique<Registry_Key>());
}

Registry_Key* Registry_Tree::Root(std::uint32_t hRoot) {
    for (auto& [h, key] : m_roots)
        if (h == hRoot) return key.get();
    return nullptr;
}

// ---- Registry_Store ----

Registry_Store::Registry_Store(QString strFile) : m_strFile(std::move(strFile)) {}

long Registry_Store::Load(Registry_Tree& tree) const {
    QFile file(m_strFile);
    if (!file.exists()) return ERROR_SUCCESS;  // a new store is empty
    if (!file.open(QIODevice::ReadOnly)) return ERROR_REGISTRY_IO_FAILED;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return ERROR_REGISTRY_IO_FAILED;
    if (bytes.isEmpty()) return ERROR_SUCCESS;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 lngMagic = 0, lngVersion = 0, lngRoots = 0;
    in >> lngMagic >> lngVersion >> lngRoots;
    if (in.status() != QDataStream::Ok || lngMagic != STORE_MAGIC || lngVersion != STORE_VERSION) return ERROR_BADDB;
    for (quint32 i = 0; i < lngRoots; ++i) {
        quint32 hRoot = 0;
        QString strName;
        in >> hRoot >> strName;
        Registry_Key* root = tree.Root(hRoot);
        if (in.status() != QDataStream::Ok || !root || !Read_Key(in, *root, 0)) return ERROR_BADDB;
    }
    if (!in.atEnd()) return ERROR_BADDB;
    return ERROR_SUCCESS;
}

long Registry_Store::Save(const Registry_Tree& tree) {
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << STORE_MAGIC << STORE_VERSION << quint32(tree.Roots().size());
        for (const auto& [h, key] : tree.Roots()) {
            out << quint32(h);
            Write_Key(out, *key);
        }
    }
    // The new store goes to a temporary file that replaces the old one only once it
    // is complete and on disk.
    // A new store is readable and writable by its owner only; an existing one keeps
    // its mode.
    const bool blnNew = !QFile::exists(m_strFile);
    QSaveFile file(m_strFile);
    if (!file.open(QIODevice::WriteOnly)) return ERROR_REGISTRY_IO_FAILED;
    if (blnNew && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        file.commit();
        return ERROR_REGISTRY_IO_FAILED;
    }
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        file.commit();
        return ERROR_REGISTRY_IO_FAILED;
    }
    return file.commit() ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

long Registry_Store::Read(const std::function<long(Registry_Tree&)>& body) const {
    Registry_Tree tree;
    if (const long lngResult = Load(tree); lngResult != ERROR_SUCCESS) return lngResult;
    return body(tree);
}

long Registry_Store::Edit(const std::function<long(Registry_Tree&)>& body) {
    Store_Lock lock(m_strFile);
    if (!lock.Held()) return ERROR_REGISTRY_IO_FAILED;
    Registry_Tree tree;
    if (const long lngResult = Load(tree); lngResult != ERROR_SUCCESS) return lngResult;
    const long lngResult = body(tree);
    if (lngResult != ERROR_SUCCESS) return lngResult;
    return Save(tree);
}

long Registry_Store::Create_Key(std::uint32_t hRoot, const QString& strPath) {
    return Edit([&](Registry_Tree& tree) {
        Registry_Key* root = tree.Root(hRoot);
        if (!root) return ERROR_INVALID_HANDLE;
        root->Create(strPath);
        return ERROR_SUCCESS;
    });
}

long Registry_Store::Open_Key(std::uint32_t hRoot, const QString& strPath) const {
    return Read([&](Registry_Tree& tree) {
        Registry_Key* root = tree.Root(hRoot);
        if (!root) return ERROR_INVALID_HANDLE;
        return root->Find(strPath) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

long Registry_Store::Delete_Key(std::uint32_t hRoot, const QString& strPath, const QString& strName) {
    const QStringList parts = Path_Parts(strName);
    if (parts.isEmpty()) return ERROR_INVALID_PARAMETER;
    return Edit([&](Registry_Tree& tree) {
        Registry_Key* root = tree.Root(hRoot);
        if (!root) return ERROR_INVALID_HANDLE;
        Registry_Key* key = root->Find(strPath);
        if (key) key = key->Find(QStringList(parts.mid(0, parts.size() - 1)).join(QLatin1Char('\\')));
        if (!key) return ERROR_FILE_NOT_FOUND;
        return key->Remove_Subkey(parts.last());
    });
}

long Registry_Store::Delete_Value(std::uint32_t hRoot, const QString& strPath, const QString& strName) {
    return Edit([&](Registry_Tree& tree) {
        Registry_Key* root = tree.Root(hRoot);
        if (!root) return ERROR_INVALID_HANDLE;
        Registry_Key* key = root->Find(strPath);
        if (!key) return ERROR_FILE_NOT_FOUND;
        return key->Remove_Value(strName) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

long Registry_Store::Query_Value(std::uint32_t hRoot, const QString& strPath, const QString& strName,
                                 Registry_Value& value) const {
    return Read([&](Registry_Tree& tree) {
        Registry_Key* root = tree.Root(hRoot);
        if (!root) return ERROR_INVALID_HANDLE;
        Registry_Key* key = root->Find(strPath);
        if (!key) return ERROR_FILE_NOT_FOUND;
        const Registry_Value* found = key->Value(strName);
        if (!found) return ERROR_FILE_NOT_FOUND;
        value = *found;
        return ERROR_SUCCESS;
    });
}

long Registry_Store::Set_Value(std::uint32_t hRoot, const QString& strPath, const QString& strName,
                               std::uint32_t lngType, const QByteArray& data) {
    return Edit([&](Registry_Tree& tree) {
        Registry_Key* root = tree.Root(hRoot);
        if (!root) return ERROR_INVALID_HANDLE;
        root->Create(strPath).Set_Value(strName, lngType, data);
        return ERROR_SUCCESS;
    });
}

long Registry_Store::Enum_Keys(std::uint32_t hRoot, const QString& strPath, QStringList& names) const {
    return Read([&](Registry_Tree& tree) {
        Registry_Key* root = tree.Root(hRoot);
        if (!root) return ERROR_INVALID_HANDLE;
        Registry_Key* key = root->Find(strPath);
        if (!key) return ERROR_FILE_NOT_FOUND;
        names = key->Subkey_Names();
        return ERROR_SUCCESS;
    });
}

// ---- value encodings ----

QByteArray Text_Data(const QString& strText) {
    QByteArray data = strText.toLocal8Bit();
    data.append('\0');
    return data;
}

QString Data_Text(const QByteArray& data) {
    qsizetype n = data.size();
    while (n > 0 && data[n - 1] == '\0') --n;
    return QString::fromLocal8Bit(data.constData(), n);
}

QByteArray Dword_Data(std::uint32_t lngValue) {
    QByteArray data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = char((lngValue >> (8 * i)) & 0xFF);
    return data;
}

std::uint32_t Data_Dword(const QByteArray& data) {
    std::uint32_t lngValue = 0;
    for (int i = 0; i < 4 && i < data.size(); ++i) lngValue |= std::uint32_t(std::uint8_t(data[i])) << (8 * i);
    return lngValue;
}

}  // namespace platform
