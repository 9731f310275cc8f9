// The settings file deleted, or replaced by another file, while a list import writes
// its batch: the import's entries would be committed into a file nobody opens again.
// The import fails instead, with one box naming the file, and lists nothing of it.
#include "lists/frmWebsiteFilter.h"
#include "support/ConsoleFixture.h"

#include <QFile>
#include <functional>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// Runs a step once, when the console has inserted its lngAt-th row into BL_TBL: an
// update hook on every connection opened while the trigger exists.
class Insert_Trigger {
public:
    Insert_Trigger(long lngAt, std::function<void()> step) : m_lngAt(lngAt), m_step(std::move(step)) {
        s_pCurrent = this;
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&Install));
    }
    ~Insert_Trigger() {
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&Install));
        s_pCurrent = nullptr;
    }
    Insert_Trigger(const Insert_Trigger&) = delete;
    Insert_Trigger& operator=(const Insert_Trigger&) = delete;
    bool Ran() const { return m_blnRan; }

private:
    static int Install(sqlite3* db, char**, const void*) {
        sqlite3_update_hook(db, &On_Change, nullptr);
        return SQLITE_OK;
    }
    static void On_Change(void*, int intOperation, const char*, const char* strTable, sqlite3_int64) {
        Insert_Trigger* self = s_pCurrent;
        if (!self || self->m_blnRan || intOperation != SQLITE_INSERT || qstrcmp(strTable, "BL_TBL") != 0) return;
        if (++self->m_lngSeen < self->m_lngAt) return;
        self->m_blnRan = true;
        self->m_step();
    }

    static inline Insert_Trigger* s_pCurrent = nullptr;
    long m_lngAt;
    std::function<void()> m_step;
    long m_lngSeen = 0;
    bool m_blnRan = false;
};

struct Moved_Case {
    const char* strName;
    bool blnReplaced;  // a copy of the file renamed over it (false: the file deleted)
};

void PrintTo(const Moved_Case& c, std::ostream* os) { *os << c.strName; }

class MovedDatabaseImportTest : public test::Owner_Dialog_Test, public ::testing::WithParamInterface<Moved_Case> {};

TEST_P(MovedDatabaseImportTest, FailsWithOneBoxNamingTheFileAndListsOnlyWhatIsStored) {
    Exec(QString("INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES ('kept.com', 0, %1)").arg(m_lngUser));
    Open_Form<frmWebsiteFilter>();
    ASSERT_EQ(Listed("lvwBlackList"), QStringList{"kept.com"});
    QByteArray file;
    for (int i = 0; i < 2000; ++i) file += QString("site%1.com\r\n").arg(i).toLatin1();
    fileDialog->Choose(Write_File(file));

    const QByteArray database = QFile::encodeName(Database_File());
    const QByteArray aside = QFile::encodeName(Temp_Path("written.iil"));  // a second name of the file written
    const QByteArray other = QFile::encodeName(Temp_Path("other.iil"));
    ASSERT_TRUE(QFile::copy(Database_File(), Temp_Path("other.iil")));
    // Well inside the batch: several hundred entries written, the window served meanwhile.
    Insert_Trigger trigger(1200, [&] {
        EXPECT_EQ(::link(database.constData(), aside.constData()), 0);
        if (GetParam().blnReplaced) EXPECT_EQ(::rename(other.constData(), database.constData()), 0);
        else EXPECT_EQ(::unlink(database.constData()), 0);
    });
    Click("cmdURLBLImport");
    ASSERT_TRUE(trigger.Ran());

    Expect_Box("The settings database " + Database_File() +
                   " was deleted or replaced while this change was being written. Nothing of the change was stored.",
               16);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Listed("lvwBlackList"), QStringList{"kept.com"});
    EXPECT_TRUE(Enabled("cmdURLBLImport"));
    // What the console wrote holds nothing of the import; nor does the file now in its place.
    if (GetParam().blnReplaced) {
        EXPECT_EQ(Stored("BL_TBL", "BL_URL"), QStringList{"kept.com"});
        ASSERT_EQ(::unlink(database.constData()), 0);
    } else {
        EXPECT_FALSE(QFile::exists(Database_File())) << "nothing created in its place";
    }
    ASSERT_EQ(::rename(aside.constData(), database.constData()), 0);
    EXPECT_EQ(Stored("BL_TBL", "BL_URL"), QStringList{"kept.com"});
    EXPECT_EQ(Listed("lvwBlackList"), Stored("BL_TBL", "BL_URL"));
}

INSTANTIATE_TEST_SUITE_P(Cases, MovedDatabaseImportTest,
                         ::testing::Values(Moved_Case{"Deleted", false}, Moved_Case{"Replaced", true}),
                         [](const auto& info) { return std::string(info.param.strName); });

}  // namespace
