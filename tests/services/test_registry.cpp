#include "platform/RegistryStore.h"
#include "services/clsRegistry.h"
#include "services/modGlobal.h"
#include "support/Fixture.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

using namespace platform;

namespace {

QString Built(const char* strName) { return QStringLiteral(DV_PROGRAM_BUILD_DIR "/") + strName; }

class RegistryStoreTest : public test::Dv_Test {
protected:
    Registry_Store Store() { return Registry_Store(Registry_File()); }
};

// ---- The store ----

TEST_F(RegistryStoreTest, LivesInTheWindowsDirectoryAndStartsEmpty) {
    EXPECT_EQ(Registry_File(), Windows_Dir() + "/registry.dat");
    QStringList names{"x"};
    EXPECT_EQ(Store().Enum_Keys(HKEY_LOCAL_MACHINE, "", names), ERROR_SUCCESS);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_EQ(Store().Open_Key(HKEY_LOCAL_MACHINE, "SOFTWARE"), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(QFile::exists(Registry_File())) << "reading must not create the store";
}

TEST_F(RegistryStoreTest, EveryPredefinedRootIsItsOwnTreeAndOtherHandlesAreRefused) {
    for (std::uint32_t h : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS})
        ASSERT_EQ(Store().Set_Value(h, "Key", "Root", REG_DWORD, Dword_Data(h)), ERROR_SUCCESS);
    for (std::uint32_t h : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS}) {
        Registry_Value v;
        ASSERT_EQ(Store().Query_Value(h, "Key", "Root", v), ERROR_SUCCESS);
        EXPECT_EQ(Data_Dword(v.data), h);
    }
    for (std::uint32_t h : {0u, 0x80000004u, 0x12345678u}) {
        EXPECT_EQ(Store().Create_Key(h, "Key"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Store().Open_Key(h, "Key"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Store().Set_Value(h, "Key", "v", REG_SZ, Text_Data("x")), ERROR_INVALID_HANDLE);
    }
}

TEST_F(RegistryStoreTest, NamesIgnoreLetterCaseAndKeepTheCaseFirstWritten) {
    const QString strKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
    ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, strKey, "AppInit_DLLs", REG_SZ, Text_Data("a.dll")), ERROR_SUCCESS);
    Registry_Value v;
    ASSERT_EQ(Store().Query_Value(HKEY_LOCAL_MACHINE, "software\\MICROSOFT\\windows nt\\currentversion\\WINDOWS",
                                  "AppInit_Dlls", v),
              ERROR_SUCCESS);
    EXPECT_EQ(Data_Text(v.data), "a.dll");
    // A second write under other cases changes the value, not the names.
    ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, "software\\microsoft\\WINDOWS NT\\CurrentVersion\\windows",
                                "APPINIT_DLLS", REG_SZ, Text_Data("b.dll")),
              ERROR_SUCCESS);
    Store().Read([&](Registry_Tree& tree) {
        Registry_Key* key = tree.Root(HKEY_LOCAL_MACHINE)->Find(strKey);
        EXPECT_TRUE(key);
        if (!key) return 0L;
        EXPECT_EQ(key->Values().size(), 1u);
        EXPECT_EQ(key->Values()[0].strName, "AppInit_DLLs");
        EXPECT_EQ(Data_Text(key->Values()[0].data), "b.dll");
        return 0L;
    });
    QStringList names;
    ASSERT_EQ(Store().Enum_Keys(HKEY_LOCAL_MACHINE, "SOFTWARE\\MICROSOFT", names), ERROR_SUCCESS);
    EXPECT_EQ(names, QStringList{"Windows NT"});
}

TEST_F(RegistryStoreTest, TypedValuesSurviveAStoreWrittenAndReadAgain) {
    const QByteArray binary("\x00\x01\xff\x00zz", 6);
    const QByteArray multi("one\0two\0\0", 9);
    struct Row {
        const char* strName;
        std::uint32_t lngType;
        QByteArray data;
    } rows[] = {{"Text", REG_SZ, Text_Data("Grüße")},
                {"Bytes", REG_BINARY, binary},
                {"Number", REG_DWORD, Dword_Data(0xFFFFF56Fu)},
                {"List", REG_MULTI_SZ, multi},
                {"", REG_SZ, Text_Data("default value")}};
    for (const Row& r : rows) ASSERT_EQ(Store().Set_Value(HKEY_CURRENT_USER, "A\\B", r.strName, r.lngType, r.data), 0);
    for (const Row& r : rows) {
        Registry_Value v;
        ASSERT_EQ(Registry_Store(Registry_File()).Query_Value(HKEY_CURRENT_USER, "A\\B", r.strName, v), 0) << r.strName;
        EXPECT_EQ(v.lngType, r.lngType) << r.strName;
        EXPECT_EQ(v.data, r.data) << r.strName;
    }
    EXPECT_EQ(Data_Dword(Dword_Data(0xFFFFF56Fu)), 0xFFFFF56Fu);
    EXPECT_EQ(static_cast<qint32>(0xFFFFF56Fu), -2705);
}

TEST_F(RegistryStoreTest, SubkeysAreEnumeratedSortedAndOnlyTheDirectOnes) {
    for (const char* strPath : {"Cat\\000000000010", "Cat\\000000000002", "Cat\\b", "Cat\\A\\deep"})
        ASSERT_EQ(Store().Create_Key(HKEY_LOCAL_MACHINE, strPath), ERROR_SUCCESS);
    QStringList names;
    ASSERT_EQ(Store().Enum_Keys(HKEY_LOCAL_MACHINE, "Cat", names), ERROR_SUCCESS);
    EXPECT_EQ(names, (QStringList{"000000000002", "000000000010", "A", "b"}));
    EXPECT_EQ(Store().Enum_Keys(HKEY_LOCAL_MACHINE, "Cat\\Missing", names), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryStoreTest, OnlyAKeyWithoutSubkeysCanBeDeleted) {
    ASSERT_EQ(Store().Create_Key(HKEY_LOCAL_MACHINE, "P\\Parent\\Child"), ERROR_SUCCESS);
    EXPECT_EQ(Store().Delete_Key(HKEY_LOCAL_MACHINE, "P", "Parent"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Store().Open_Key(HKEY_LOCAL_MACHINE, "P\\Parent\\Child"), ERROR_SUCCESS);
    EXPECT_EQ(Store().Delete_Key(HKEY_LOCAL_MACHINE, "P", "PARENT\\child"), ERROR_SUCCESS);
    EXPECT_EQ(Store().Open_Key(HKEY_LOCAL_MACHINE, "P\\Parent\\Child"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Store().Delete_Key(HKEY_LOCAL_MACHINE, "P", "Parent"), ERROR_SUCCESS);
    EXPECT_EQ(Store().Delete_Key(HKEY_LOCAL_MACHINE, "P", "Parent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Store().Delete_Key(HKEY_LOCAL_MACHINE, "P", ""), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Store().Open_Key(HKEY_LOCAL_MACHINE, "P"), ERROR_SUCCESS);
}

TEST_F(RegistryStoreTest, AFileThatIsNoStoreIsReportedAndNeverOverwritten) {
    for (const bool blnCutShort : {false, true}) {
        ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, "K", "v", REG_DWORD, Dword_Data(1)), ERROR_SUCCESS);
        QFile file(Registry_File());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray good = file.readAll();
        file.close();
        // Cut the good store short, or replace it by foreign bytes.
        const QByteArray bad = blnCutShort ? good.left(good.size() - 3) : QByteArray("not a registry");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bad);
        file.close();
        Registry_Value v;
        EXPECT_EQ(Store().Query_Value(HKEY_LOCAL_MACHINE, "K", "v", v), ERROR_BADDB);
        EXPECT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, "K", "w", REG_DWORD, Dword_Data(2)), ERROR_BADDB);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bad);
        file.close();
        QFile::remove(Registry_File());
    }
}

TEST_F(RegistryStoreTest, AWriterKilledHalfWayNeverLeavesATornStore) {
    // A large value makes each write of the whole store take a while.
    QByteArray big(16 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < big.size(); ++i) big[i] = char(i * 7 + i / 4096);
    const QByteArray hash = QCryptographicHash::hash(big, QCryptographicHash::Sha1);
    ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, "Big", "Blob", REG_BINARY, big), ERROR_SUCCESS);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(REGISTRY_FILE_VARIABLE, Registry_File());
    auto start = [&](const char* strSwitch) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->start(Built("Skelwin"), {strSwitch});
        EXPECT_TRUE(p->waitForStarted());
        return p;
    };
    QElapsedTimer timer;
    timer.start();
    auto full = start("-ip");
    ASSERT_TRUE(full->waitForFinished(30000));
    ASSERT_EQ(full->exitCode(), 0);
    const int intRunMs = std::max<int>(1, int(timer.elapsed()));

    int intKilled = 0;
    for (int i = 0; i < 12; ++i) {
        auto p = start(i % 2 ? "-ip" : "-up");
        QThread::msleep(QRandomGenerator::global()->bounded(intRunMs));
        if (p->state() == QProcess::Running) ++intKilled;
        p->kill();
        p->waitForFinished(30000);
        Registry_Value v;
        ASSERT_EQ(Store().Query_Value(HKEY_LOCAL_MACHINE, "Big", "Blob", v), ERROR_SUCCESS) << "after kill " << i;
        ASSERT_EQ(QCryptographicHash::hash(v.data, QCryptographicHash::Sha1), hash) << "after kill " << i;
    }
    EXPECT_GT(intKilled, 0) << "no writer was killed while running";
}

TEST_F(RegistryStoreTest, ChangesFromAnotherProcessAreNotLost) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(REGISTRY_FILE_VARIABLE, Registry_File());
    std::vector<std::unique_ptr<QProcess>> installers;
    for (int i = 0; i < 4; ++i) {
        installers.push_back(std::make_unique<QProcess>());
        installers.back()->setProcessEnvironment(env);
        installers.back()->start(Built("Skelwin"), {i % 2 ? "-up" : "-ip"});
    }
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, "Mine", QString::number(i), REG_DWORD, Dword_Data(i)), 0);
    for (auto& p : installers) {
        ASSERT_TRUE(p->waitForFinished(30000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    Store().Read([](Registry_Tree& tree) {
        Registry_Key* mine = tree.Root(HKEY_LOCAL_MACHINE)->Find("Mine");
        EXPECT_TRUE(mine);
        if (mine) {
            EXPECT_EQ(mine->Values().size(), 40u);
        }
        EXPECT_TRUE(tree.Root(HKEY_LOCAL_MACHINE)->Find(
            "SYSTEM\\CurrentControlSet\\services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_Entries64"));
        return 0L;
    });
}

// ---- clsRegistry ----

class ClsRegistryTest : public RegistryStoreTest {
protected:
    static constexpr long HKLM = static_cast<long>(HKEY_LOCAL_MACHINE);
    Registry_Value Stored(const QString& strName) {
        Registry_Value v;
        EXPECT_EQ(Store().Query_Value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", strName, v), ERROR_SUCCESS) << strName.toStdString();
        return v;
    }
    clsRegistry reg;
};

struct Set_Case {
    const char* strName;
    QVariant varData;
    std::uint32_t lngType;
    QByteArray data;
};

TEST_F(ClsRegistryTest, SetKeyValueWritesNumbersAsDwordsAndTrimmedTextsWithTheirZero) {
    const Set_Case cases[] = {
        {"digits", QVariant(QString("12345")), REG_DWORD, Dword_Data(12345)},
        {"digits with blanks", QVariant(QString("  42 ")), REG_DWORD, Dword_Data(42)},
        {"negative text", QVariant(QString("-2705")), REG_DWORD, Dword_Data(0xFFFFF56Fu)},
        {"number", QVariant(7), REG_DWORD, Dword_Data(7)},
        {"half rounds to even (2.5)", QVariant(2.5), REG_DWORD, Dword_Data(2)},
        {"half rounds to even (3.5)", QVariant(QString("3.5")), REG_DWORD, Dword_Data(4)},
        {"word in blanks", QVariant(QString("  abc  ")), REG_SZ, QByteArray("abc\0", 4)},
        {"digits and letters", QVariant(QString("12abc")), REG_SZ, QByteArray("12abc\0", 6)},
        {"empty text", QVariant(QString("")), REG_SZ, QByteArray("\0", 1)},
        {"tab kept", QVariant(QString("\tx ")), REG_SZ, QByteArray("\tx\0", 3)},
    };
    for (const Set_Case& c : cases) {
        ASSERT_TRUE(reg.RegSetKeyValue(HKLM, "SOFTWARE\\Test", c.strName, c.varData)) << c.strName;
        const Registry_Value v = Stored(c.strName);
        EXPECT_EQ(v.lngType, c.lngType) << c.strName;
        EXPECT_EQ(v.data, c.data) << c.strName;
    }
    EXPECT_EQ(Stored("word in blanks").data.size(), 4);
}

TEST_F(ClsRegistryTest, SetKeyValuePassesConversionFailuresUp) {
    try {
        reg.RegSetKeyValue(HKLM, "SOFTWARE\\Test", "big", QVariant(QString("4294967296")));
        ADD_FAILURE() << "no overflow";
    } catch (const Run_Time_Error& e) {
        EXPECT_EQ(e.Number, Err_No::Overflow);
    }
    try {
        reg.RegSetKeyValue(HKLM, "SOFTWARE\\Test", "map", QVariant(QVariantMap{{"a", 1}}));
        ADD_FAILURE() << "no type mismatch";
    } catch (const Run_Time_Error& e) {
        EXPECT_EQ(e.Number, Err_No::Type_Mismatch);
    }
    EXPECT_FALSE(reg.RegKeyDoesExist(HKLM, "SOFTWARE\\Test")) << "a failed conversion writes nothing";
    EXPECT_FALSE(reg.RegSetKeyValue(0x12345, "SOFTWARE\\Test", "v", QVariant(QString("x"))));
}

TEST_F(ClsRegistryTest, QueryKeyValueReadsEachTypeAsTheRegistryFunctionsDo) {
    struct Row {
        const char* strName;
        std::uint32_t lngType;
        QByteArray data;
        QVariant expected;
    } rows[] = {
        {"dword", REG_DWORD, Dword_Data(0xFFFFF56Fu), QVariant(qint32(-2705))},
        {"text", REG_SZ, Text_Data("lhdvsock.dll"), QVariant(QString("lhdvsock.dll"))},
        {"list", REG_MULTI_SZ, QByteArray("a\0b\0\0", 5), QVariant(QString::fromLatin1("a\0b\0", 4))},
        {"zero-length text", REG_SZ, QByteArray(), QVariant(QString())},
        {"binary up to its zero", REG_BINARY, QByteArray("xy\0z", 4), QVariant(QString("xy"))},
        {"binary without zero", REG_BINARY, QByteArray("xyz"), QVariant(QString("xyz"))},
    };
    for (const Row& r : rows) ASSERT_EQ(Store().Set_Value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", r.strName, r.lngType, r.data), 0);
    for (const Row& r : rows) {
        long lngError = -1;
        const QVariant v = reg.RegQueryKeyValue(HKLM, "SOFTWARE\\Test", r.strName, &lngError);
        EXPECT_EQ(lngError, 0) << r.strName;
        EXPECT_EQ(v.typeId(), r.expected.typeId()) << r.strName;
        EXPECT_EQ(v, r.expected) << r.strName;
    }
    // Written through the class and read back.
    ASSERT_TRUE(reg.RegSetKeyValue(HKLM, "SOFTWARE\\Test", "Count", QVariant(QString("15"))));
    EXPECT_EQ(reg.RegQueryKeyValue(HKLM, "software\\test", "COUNT"), QVariant(qint32(15)));
}

TEST_F(ClsRegistryTest, QueryOfAMissingValueOrKeyIsEmptyWithANonZeroError) {
    ASSERT_TRUE(reg.CreateKey(HKLM, "SOFTWARE\\Test"));
    for (const char* strPath : {"SOFTWARE\\Test", "SOFTWARE\\Missing"}) {
        long lngError = 0;
        const QVariant v = reg.RegQueryKeyValue(HKLM, strPath, "Nothing", &lngError);
        EXPECT_EQ(v, QVariant(QString())) << strPath;
        EXPECT_NE(lngError, 0) << strPath;
    }
    EXPECT_EQ(reg.RegQueryKeyValue(HKLM, "SOFTWARE\\Test", "Nothing"), QVariant(QString()));
}

TEST_F(ClsRegistryTest, KeysAreCreatedTestedAndDeleted) {
    EXPECT_FALSE(reg.RegKeyDoesExist(HKLM, "SOFTWARE\\Maker\\Product"));
    EXPECT_FALSE(reg.CanOpenRegKey(HKLM, "SOFTWARE\\Maker\\Product"));
    ASSERT_TRUE(reg.CreateKey(HKLM, "SOFTWARE\\Maker\\Product"));
    EXPECT_TRUE(reg.RegKeyDoesExist(HKLM, "SOFTWARE\\Maker\\Product"));
    // The same root as the old signed 32-bit handle.
    EXPECT_TRUE(reg.CanOpenRegKey(-2147483646L, "software\\maker\\product"));
    EXPECT_FALSE(reg.CanOpenRegKey(static_cast<long>(HKEY_CURRENT_USER), "SOFTWARE\\Maker\\Product"));

    EXPECT_FALSE(reg.DeleteKey(HKLM, "SOFTWARE", "Maker")) << "a key with subkeys stays";
    EXPECT_TRUE(reg.RegKeyDoesExist(HKLM, "SOFTWARE\\Maker"));
    EXPECT_FALSE(reg.DeleteKey(HKLM, "SOFTWARE\\Missing", "Product")) << "missing path";
    EXPECT_FALSE(reg.DeleteKey(HKLM, "SOFTWARE\\Maker", "Other")) << "missing subkey";
    EXPECT_TRUE(reg.DeleteKey(HKLM, "SOFTWARE\\Maker", "Product"));
    EXPECT_FALSE(reg.RegKeyDoesExist(HKLM, "SOFTWARE\\Maker\\Product"));
    EXPECT_TRUE(reg.RegKeyDoesExist(HKLM, "SOFTWARE\\Maker"));
}

TEST_F(ClsRegistryTest, ValuesAreDeletedOnlyFromExistingKeys) {
    ASSERT_TRUE(reg.RegSetKeyValue(HKLM, "SOFTWARE\\Test", "Name", QVariant(QString("x"))));
    EXPECT_FALSE(reg.RegDeleteKeyValue(HKLM, "SOFTWARE\\Missing", "Name"));
    EXPECT_FALSE(reg.RegDeleteKeyValue(HKLM, "SOFTWARE\\Test", "Other"));
    EXPECT_TRUE(reg.RegDeleteKeyValue(HKLM, "SOFTWARE\\Test", "NAME"));
    long lngError = 0;
    reg.RegQueryKeyValue(HKLM, "SOFTWARE\\Test", "Name", &lngError);
    EXPECT_EQ(lngError, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(reg.RegKeyDoesExist(HKLM, "SOFTWARE\\Test"));
}

}  // namespace
