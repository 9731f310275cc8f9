// The settings file deleted, or replaced by another file, while a list import writes
// its batch: the import's entries would be committed into a file nobody opens again.
// The import fails instead, with one box naming the file, and lists nothing of it.
#include "lists/frmWebsiteFilter.h"
#include "support/ConsoleFixture.h"

#include <QFile>

namespace {

class MovedDatabaseImportTest : public test::Owner_Dialog_Test, public ::testing::WithParamInterface<test::File_Move> {
protected:
    // Opens the website filter on one stored entry and imports 2,000 entries, the file
    // deleted or replaced well inside the batch (several hundred entries written, the
    // window served meanwhile). The move is handed back for the test to undo.
    std::unique_ptr<test::Moved_Database> Import_While_Moved() {
        Exec(QString("INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES ('kept.com', 0, %1)").arg(m_lngUser));
        Open_Form<frmWebsiteFilter>();
        EXPECT_EQ(Listed("lvwBlackList"), QStringList{"kept.com"});
        QByteArray file;
        for (int i = 0; i < 2000; ++i) file += QString("site%1.com\r\n").arg(i).toLatin1();
        fileDialog->Choose(Write_File(file));
        auto moved = Prepare_Database_Move(GetParam());
        moved->At_Insert("BL_TBL", 1200);
        Click("cmdURLBLImport");
        EXPECT_TRUE(moved->Moved());
        return moved;
    }
};

TEST_P(MovedDatabaseImportTest, FailsWithOneBoxNamingTheFileAndListsOnlyWhatIsStored) {
    auto moved = Import_While_Moved();
    ASSERT_FALSE(HasFailure());

    Expect_Box("The settings database " + Database_File() +
                   " was deleted or replaced while this change was being written. Nothing of the change was stored.",
               16);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Listed("lvwBlackList"), QStringList{"kept.com"});
    EXPECT_TRUE(Enabled("cmdURLBLImport"));
    // What the console wrote holds nothing of the import; nor does the file now in its place.
    if (GetParam() == test::File_Move::Replaced) {
        EXPECT_EQ(Stored("BL_TBL", "BL_URL"), QStringList{"kept.com"});
    } else {
        EXPECT_FALSE(QFile::exists(Database_File())) << "nothing created in its place";
    }
    moved->Put_Back();
    EXPECT_EQ(Stored("BL_TBL", "BL_URL"), QStringList{"kept.com"});
    EXPECT_EQ(Listed("lvwBlackList"), Stored("BL_TBL", "BL_URL"));
}

// The Windows directory reached through a link: the box names the settings file as
// the console names it everywhere else, not the path with the link resolved.
TEST_P(MovedDatabaseImportTest, NamesTheFileAsTheConsoleNamesItWhenReachedThroughALink) {
    const QString strLink = Temp_Path("WindowsLink");
    ASSERT_TRUE(QFile::link(Windows_Dir(), strLink));
    environment->strWindowsDirectory = strLink;
    auto moved = Import_While_Moved();
    ASSERT_FALSE(HasFailure());
    Expect_Box("The settings database " + strLink +
                   "/tsdvstore.iil was deleted or replaced while this change was being written. Nothing of the change "
                   "was stored.",
               16);
    EXPECT_EQ(Listed("lvwBlackList"), QStringList{"kept.com"});
    moved->Put_Back();
    EXPECT_EQ(Stored("BL_TBL", "BL_URL"), QStringList{"kept.com"});
}

INSTANTIATE_TEST_SUITE_P(Cases, MovedDatabaseImportTest,
                         ::testing::Values(test::File_Move::Deleted, test::File_Move::Replaced),
                         [](const auto& info) { return std::string(test::File_Move_Name(info.param)); });

}  // namespace
