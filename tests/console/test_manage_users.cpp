// The terminal server users dialog: add, rename in place, remove, import, export,
// the column allowance, and the console's user list after the dialog closes.
#include "console/frmManageUsers.h"
#include "console/frmMain.h"
#include "database/modDB.h"
#include "platform/Controls.h"
#include "services/modGlobal.h"
#include "support/ConsoleFixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <functional>
#include <sqlite3.h>
#include <memory>
#include <tuple>

using platform::ListView;

namespace {

class ManageUsersTest : public test::Dialog_Test {
protected:
    void Open() { Open_Form<frmManageUsers>(); }
    ListView* List() const { return Find<ListView>("lvwUsers"); }
    QLineEdit* Entry() const { return Find<QLineEdit>("txtUsers"); }
    QPushButton* Button(const char* strName) const { return Find<QPushButton>(strName); }
    void Add(const QString& strName) {
        Entry()->setText(strName);
        Button("cmdAdd")->click();
    }
    QStringList Listed() const { return Dialog_Test::Listed("lvwUsers"); }
    QStringList Stored() {
        QStringList names;
        for (const QStringList& row : Query("SELECT USER_NAME FROM USER_TBL ORDER BY USER_ID")) names << row[0];
        return names;
    }
    void Select_Only(std::initializer_list<long> items) { Dialog_Test::Select_Only("lvwUsers", items); }
    bool Rename(long lngIndex, const QString& strText) { return Edit_In_Place("lvwUsers", "cmdEdit", lngIndex, strText); }
    QString Write_File(const QString& strName, const QByteArray& bytes) {
        const QString strPath = Temp_Path(strName);
        QFile file(strPath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return strPath;
    }
    QByteArray Read_File(const QString& strPath) {
        QFile file(strPath);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << strPath.toStdString();
        return file.readAll();
    }
    double Full_Width() const {
        return lists::List_Inner_Width_Twips(*List()) - 20;
    }
    void Insert_Users(int intCount) {
        Exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                     "INSERT INTO USER_TBL (USER_NAME) SELECT 'user' || i FROM n")
                 .arg(intCount));
    }

};

// ---------------------------------------------------------------- load

TEST_F(ManageUsersTest, LoadListsEveryUserInIdOrderWithItsId) {
    const long lngBob = Insert_User("bob");
    const long lngAnna = Insert_User("anna");
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Manage Terminal Server Users");
    EXPECT_EQ(List()->Column_Text(1), "User Name");
    EXPECT_EQ(Listed(), (QStringList{"All Users", "bob", "anna"}));
    EXPECT_EQ(List()->Tag(1), "0");
    EXPECT_EQ(List()->Tag(2), QString::number(lngBob));
    EXPECT_EQ(List()->Tag(3), QString::number(lngAnna));
    EXPECT_EQ(List()->Small_Icon(2), "User");
    EXPECT_NEAR(List()->Column_Width(1), Full_Width(), 1.0);
    for (const char* strName : {"cmdAdd", "cmdEdit", "cmdRemove", "cmdImport", "cmdExport", "cmdClose"})
        EXPECT_TRUE(Button(strName)->isEnabled()) << strName;
    EXPECT_FALSE(Button("cmdImport")->icon().isNull());
    EXPECT_FALSE(Button("cmdExport")->icon().isNull());
}

TEST_F(ManageUsersTest, RemoteModeDisablesOnlyRemoveAndEdit) {
    modGlobal::Is_Remote_Mode = true;
    Open();
    EXPECT_FALSE(Button("cmdRemove")->isEnabled());
    EXPECT_FALSE(Button("cmdEdit")->isEnabled());
    for (const char* strName : {"cmdAdd", "cmdImport", "cmdExport", "cmdClose"})
        EXPECT_TRUE(Button(strName)->isEnabled()) << strName;
    EXPECT_TRUE(Entry()->isEnabled());
    Add("anna");
    EXPECT_EQ(Stored(), (QStringList{"All Users", "anna"}));
}

// ---------------------------------------------------------------- add

TEST_F(ManageUsersTest, AddStoresTheNameAsTypedAndListsItWithItsId) {
    Open();
    for (const QString& strName : {QString("anna"), QString(" bob "), QString(255, 'n')}) {
        Add(strName);
        EXPECT_TRUE(Boxes().empty()) << strName.toStdString();
        EXPECT_EQ(Entry()->text(), "");
        EXPECT_EQ(List()->Text(List()->Count()), strName);
        EXPECT_EQ(List()->Tag(List()->Count()),
                  Scalar("SELECT USER_ID FROM USER_TBL WHERE USER_NAME='" + strName + "'"));
    }
    EXPECT_EQ(Stored(), (QStringList{"All Users", "anna", " bob ", QString(255, 'n')}));
}

TEST_F(ManageUsersTest, AddRefusesListedAndInvalidNamesAndKeepsThemSelected) {
    Exec("INSERT INTO USER_TBL (USER_NAME) VALUES ('it''s')");
    Insert_User("anna");
    Open();
    struct Case {
        QString strName;
        QString strMessage;
    };
    const Case cases[] = {
        {"", "Please enter a valid User Name!"},
        {"o'brien", "Please enter a valid User Name!"},
        {QString(256, 'n'), "Please enter a valid User Name!"},
        {"ANNA", "User Name already exists!"},
        {"all users", "User Name already exists!"},
        // Listed and invalid: the list is looked at first.
        {"IT'S", "User Name already exists!"},
    };
    const QStringList before = Stored();
    for (const Case& c : cases) {
        Add(c.strName);
        Expect_Box(c.strMessage, 48);
        EXPECT_EQ(Entry()->text(), c.strName);
        EXPECT_EQ(Entry()->selectedText(), c.strName);
    }
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(List()->Count(), 3);
}

TEST_F(ManageUsersTest, EnterInTheEntryBoxAdds) {
    Open();
    QTest::keyClicks(Entry(), "carl");
    QTest::keyClick(Entry(), Qt::Key_Return);
    EXPECT_EQ(Stored(), (QStringList{"All Users", "carl"}));
    EXPECT_EQ(Entry()->text(), "");
    EXPECT_TRUE(dialog->isVisible());
}

// ---------------------------------------------------------------- rename

TEST_F(ManageUsersTest, RenameFollowsItsRules) {
    const long lngAnna = Insert_User("anna");
    Insert_User("bob");
    struct Case {
        const char* strName;
        QString strTyped;
        QString strShown;   // item text afterwards
        QString strStored;  // anna's row afterwards
        QString strMessage;
    };
    const Case cases[] = {
        {"same text", "anna", "anna", "anna", ""},
        {"letter case only", "Anna", "anna", "anna", "User name already exists!"},
        {"another user's name", "BOB", "anna", "anna", "User name already exists!"},
        {"empty", "   ", "anna", "anna", ""},
        {"apostrophe", "an'na", "anna", "anna", ""},
        {"256 characters", QString(256, 'a'), "anna", "anna", ""},
        {"255 characters", QString(255, 'a'), QString(255, 'a'), QString(255, 'a'), ""},
        {"blanks around", "  carl  ", "carl", "carl", ""},
    };
    for (const Case& c : cases) {
        Exec(QString("UPDATE USER_TBL SET USER_NAME='anna' WHERE USER_ID=%1").arg(lngAnna));
        Open();
        ASSERT_TRUE(Rename(2, c.strTyped)) << c.strName;
        if (c.strMessage.isEmpty()) EXPECT_TRUE(Boxes().empty()) << c.strName;
        else Expect_Box(c.strMessage, 48);
        EXPECT_EQ(List()->Text(2), c.strShown) << c.strName;
        EXPECT_EQ(Scalar(QString("SELECT USER_NAME FROM USER_TBL WHERE USER_ID=%1").arg(lngAnna)), c.strStored)
            << c.strName;
    }
}

TEST_F(ManageUsersTest, TheAllUsersRowCannotBeEditedAndEditWithoutSelectionDoesNothing) {
    Insert_User("anna");
    Open();
    EXPECT_FALSE(Rename(1, "Everybody"));
    EXPECT_EQ(List()->Text(1), "All Users");
    List()->Item_View()->clearSelection();
    Button("cmdEdit")->click();
    EXPECT_EQ(List()->Item_View()->findChild<QLineEdit*>(), nullptr);
    EXPECT_TRUE(Rename(2, "anne"));
    EXPECT_EQ(Stored(), (QStringList{"All Users", "anne"}));
}

// ---------------------------------------------------------------- remove

TEST_F(ManageUsersTest, RemoveRefusesTheAllUsersRowByNameAndRemovesTheOthers) {
    const long lngAnna = Insert_User("anna");
    Insert_User("bob");
    Insert_User("carl");
    Exec(QString("INSERT INTO FILE_TBL (FILE_EXTN, COMPUTER_ID, USER_ID) VALUES ('.zip', 0, %1)").arg(lngAnna));
    Open();
    Select_Only({1, 2, 4});
    messageBox->Answer(platform::vbYes);
    Button("cmdRemove")->click();
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to delete the selected User(s)?");
    EXPECT_EQ(boxes[0].lngStyle, 68);
    EXPECT_EQ(boxes[1].strText, "You cannot delete User Name 'All Users'!");
    EXPECT_EQ(boxes[1].lngStyle, 48);
    EXPECT_EQ(Listed(), (QStringList{"All Users", "bob"}));
    EXPECT_EQ(Stored(), (QStringList{"All Users", "bob"}));
    // Only the user's own row goes.
    EXPECT_EQ(Scalar(QString("SELECT COUNT(*) FROM FILE_TBL WHERE USER_ID=%1").arg(lngAnna)), "1");
}

TEST_F(ManageUsersTest, RemoveAsksEvenWithoutSelectionAndNoKeepsEverything) {
    Insert_User("anna");
    Open();
    for (const bool blnSelect : {false, true}) {
        if (blnSelect) Select_Only({2});
        else List()->Item_View()->clearSelection();
        messageBox->Answer(blnSelect ? platform::vbNo : platform::vbYes);
        Button("cmdRemove")->click();
        Expect_Box("Are you sure you want to delete the selected User(s)?", 68);
        EXPECT_EQ(Listed(), (QStringList{"All Users", "anna"}));
        EXPECT_EQ(Stored(), (QStringList{"All Users", "anna"}));
    }
}

TEST_F(ManageUsersTest, RemoveFromAnEmptyListDoesNothing) {
    Open_Console();
    Exec("DELETE FROM USER_TBL");
    Open();
    Button("cmdRemove")->click();
    EXPECT_TRUE(Boxes().empty());
}

// ---------------------------------------------------------------- column allowance

TEST_F(ManageUsersTest, TheColumnIsNarrowExactlyWhileTwentyOrMoreUsersAreListed) {
    Insert_Users(18);  // with the all-users row: 19
    Open();
    const double dblFull = Full_Width();
    ASSERT_EQ(List()->Count(), 19);
    EXPECT_NEAR(List()->Column_Width(1), dblFull, 1.0);
    Add("anna");  // 20
    EXPECT_NEAR(List()->Column_Width(1), dblFull - 250, 1.0);
    Add("bob");  // 21
    EXPECT_NEAR(List()->Column_Width(1), dblFull - 250, 1.0);
    for (const int intLeft : {20, 19}) {
        Select_Only({List()->Count()});
        messageBox->Answer(platform::vbYes);
        Button("cmdRemove")->click();
        Expect_Box("Are you sure you want to delete the selected User(s)?", 68);
        ASSERT_EQ(List()->Count(), intLeft);
        EXPECT_NEAR(List()->Column_Width(1), intLeft >= 20 ? dblFull - 250 : dblFull, 1.0) << intLeft;
    }
}

TEST_F(ManageUsersTest, OpeningOnTwentyUsersNarrowsTheColumnOnce) {
    Insert_Users(19);
    Open();
    EXPECT_NEAR(List()->Column_Width(1), Full_Width() - 250, 1.0);
}

// ---------------------------------------------------------------- import and export

TEST_F(ManageUsersTest, ImportTrimsUpperCasesAndSkipsSilently) {
    Insert_User("anna");
    Open();
    const QString strPath =
        Write_File("users.txt", "anna, bob\r\n\r\n   carl  \r\n\"dave, jr\" rest\r\nBOB\r\no'neil\r\n   \r\n" +
                                    QByteArray(256, 'x') + "\r\n" + QByteArray(255, 'y') + "\r\n");
    fileDialog->Choose(strPath);
    Button("cmdImport")->click();
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(fileDialog->opened.size(), 1u);
    EXPECT_EQ(fileDialog->opened[0].DialogTitle, "Import user names from a text file");
    EXPECT_EQ(fileDialog->opened[0].Filter, "Text Files|*.txt|All Files|*.*");
    const QStringList expected{"All Users", "anna", "BOB", "CARL", "DAVE, JR", QString(255, 'Y')};
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(Stored(), expected);
    for (long i = 3; i <= List()->Count(); ++i)
        EXPECT_EQ(List()->Tag(i), Scalar("SELECT USER_ID FROM USER_TBL WHERE USER_NAME='" + List()->Text(i) + "'"));
}

TEST_F(ManageUsersTest, CancelledOrEmptyImportAndExportReadAndWriteNothing) {
    Open();
    fileDialog->Choose(std::nullopt);
    Button("cmdImport")->click();
    fileDialog->Choose(QString());
    Button("cmdImport")->click();
    fileDialog->Choose(std::nullopt);
    Button("cmdExport")->click();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored(), QStringList{"All Users"});
    EXPECT_FALSE(QFile::exists("Users_List"));
}

TEST_F(ManageUsersTest, ImportOfAFileThatCannotBeReadIsReported) {
    Open();
    fileDialog->Choose(Temp_Path("missing.txt"));
    Button("cmdImport")->click();
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(Stored(), QStringList{"All Users"});
}

TEST_F(ManageUsersTest, ImportRefusesAFileThatIsNotTextAndCountsFieldsWithControlCharacters) {
    Open();
    const QString strBinary = Write_File("users.bin", QByteArray("anna\r\nb\0b\r\n", 10));
    fileDialog->Choose(strBinary);
    Button("cmdImport")->click();
    Expect_Box(strBinary + " is not a text file. Nothing was imported.", 48);
    EXPECT_EQ(Stored(), QStringList{"All Users"});
    EXPECT_EQ(Listed(), QStringList{"All Users"});

    fileDialog->Choose(Write_File("users.txt", "anna\rb\x07" "b, carl\nd\x7F" "d\r\n"));
    Button("cmdImport")->click();
    Expect_Box("2 entries of the file held control characters and were not imported.", 48);
    EXPECT_EQ(Stored(), (QStringList{"All Users", "ANNA", "CARL"}));
    EXPECT_EQ(Listed(), (QStringList{"All Users", "ANNA", "CARL"}));
}

TEST_F(ManageUsersTest, ExportWritesEveryNameAndReimportAddsOnlyTheSplitOnes) {
    Insert_User("anna");
    Insert_User("smith, john");
    Open();
    const QString strPath = Temp_Path("exported");
    fileDialog->Choose(strPath);
    Button("cmdExport")->click();
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(fileDialog->saved.size(), 1u);
    EXPECT_EQ(fileDialog->saved[0].DialogTitle, "Export users in the list to text file");
    EXPECT_EQ(fileDialog->saved[0].FileName, "Users_List");
    EXPECT_EQ(fileDialog->saved[0].Filter, "Text Files|*.txt|All Files|*.*");
    EXPECT_EQ(Read_File(strPath), "All Users\r\nanna\r\nsmith, john\r\n");

    fileDialog->Choose(strPath);
    Button("cmdImport")->click();
    EXPECT_TRUE(Boxes().empty());
    // The dialog offers the name left by the export.
    EXPECT_EQ(fileDialog->opened.at(0).FileName, strPath);
    EXPECT_EQ(Listed(), (QStringList{"All Users", "anna", "smith, john", "SMITH", "JOHN"}));
}

TEST_F(ManageUsersTest, ExportOfAnEmptyListSaysSo) {
    Open_Console();
    Exec("DELETE FROM USER_TBL");
    Open();
    Button("cmdExport")->click();
    Expect_Box("There is no item to export!", 48);
    EXPECT_TRUE(fileDialog->saved.empty());
}

TEST_F(ManageUsersTest, AnExportThatCannotBeWrittenIsReported) {
    Open();
    fileDialog->Choose(Temp_Path("no/such/folder/users.txt"));
    Button("cmdExport")->click();
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
}

// ---------------------------------------------------------------- closing

TEST_F(ManageUsersTest, TheConsoleReloadsItsUsersHoweverTheDialogCloses) {
    const long lngAnna = Insert_User("anna");
    Open_Console();
    const auto console_names = [&] {
        QStringList names;
        for (int i = 0; i < console->cboUsers->count(); ++i) names << console->cboUsers->itemText(i);
        return names;
    };
    ASSERT_EQ(console_names(), (QStringList{"All Users", "anna"}));
    struct Way {
        const char* strName;
        std::function<void()> close;
    };
    const Way ways[] = {
        {"Close", [this] { Button("cmdClose")->click(); }},
        {"Esc", [this] { QTest::keyClick(Entry(), Qt::Key_Escape); }},
        {"window", [this] { dialog->close(); }},
    };
    int intRound = 0;
    for (const Way& way : ways) {
        ++intRound;
        Open();
        Add(QString("user%1").arg(intRound));
        ASSERT_TRUE(Rename(2, QString("anna%1").arg(intRound)));
        way.close();
        EXPECT_FALSE(dialog->isVisible()) << way.strName;
        QStringList expected{"All Users", QString("anna%1").arg(intRound)};
        for (int i = 1; i <= intRound; ++i) expected << QString("user%1").arg(i);
        EXPECT_EQ(console_names(), expected) << way.strName;
        // The console's Tag still names a stored user.
        EXPECT_FALSE(Selected_Tag().isEmpty());
    }
    EXPECT_EQ(Scalar(QString("SELECT USER_NAME FROM USER_TBL WHERE USER_ID=%1").arg(lngAnna)), "anna3");
}

TEST_F(ManageUsersTest, FiveThousandUsersLoadAndAnImportOfFiveThousandNamesStayQuick) {
    Insert_Users(5000);
    QElapsedTimer timer;
    timer.start();
    Open();
    const qint64 lngLoad = timer.elapsed();
    ASSERT_EQ(List()->Count(), 5001);

    QByteArray bytes;
    for (int i = 1; i <= 5000; ++i) bytes += "new" + QByteArray::number(i) + "\r\n";
    for (int i = 1; i <= 500; ++i) bytes += "User" + QByteArray::number(i) + "\r\n";  // listed already
    fileDialog->Choose(Write_File("many.txt", bytes));
    timer.restart();
    Button("cmdImport")->click();
    const qint64 lngImport = timer.elapsed();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(List()->Count(), 10001);
    EXPECT_EQ(List()->Text(10001), "NEW5000");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL"), "10001");
    std::cout << "[ figures  ] load of 5,001 users: " << lngLoad << " ms; import of 5,500 names (5,000 new): "
              << lngImport << " ms\n";
    EXPECT_LT(lngLoad, 2000);
    EXPECT_LT(lngImport, 3000);
}

TEST_F(ManageUsersTest, TheConsoleOpensItFromItsMenuAndFeatureItemAndShowsTheNewUsers) {
    Open_Console();
    int intRound = 0;
    forms->onShow = [&](QWidget& form) {
        auto* pDialog = qobject_cast<frmManageUsers*>(&form);
        ASSERT_NE(pDialog, nullptr);
        ++intRound;
        pDialog->findChild<QLineEdit*>("txtUsers")->setText(QString("user%1").arg(intRound));
        pDialog->findChild<QPushButton*>("cmdAdd")->click();
        pDialog->findChild<QPushButton*>("cmdClose")->click();
    };
    Control<QAction>("mnuManageUsers")->trigger();
    EXPECT_NE(console->cboUsers->findText("user1"), -1);
    ListView& features = *Control<ListView>("lvwMain_2");
    features.Set_Selected(features.Find_Key("ManageUsers"), true);
    console->lvwMain_DblClick(2);
    EXPECT_NE(console->cboUsers->findText("user2"), -1);
    EXPECT_EQ(forms->shown, std::vector<QString>(2, "frmManageUsers"));
    for (QWidget* pOwner : forms->owners) EXPECT_EQ(pOwner, console.get());
}

// ---------------------------------------------------------------- failed writes

// Every write of the dialog against a fault made real: exactly one critical box with
// the database's text, and the list shows what is stored.
struct Users_Write {
    const char* strName;
    std::function<void(ManageUsersTest&)> act;
};

class ManageUsersFaultTest : public ManageUsersTest,
                             public ::testing::WithParamInterface<std::tuple<Users_Write, test::Fault>> {
public:
    void Add_Name(const QString& strName) { Add(strName); }
    bool Rename_Item(long lngIndex, const QString& strText) { return Rename(lngIndex, strText); }
    void Remove_Items(std::initializer_list<long> items) {
        Select_Only(items);
        messageBox->Answer(platform::vbYes);
        Button("cmdRemove")->click();
    }
    void Import(const QByteArray& bytes) {
        fileDialog->Choose(Write_File("import.txt", bytes));
        Button("cmdImport")->click();
    }
};

void PrintTo(const Users_Write& w, std::ostream* os) { *os << w.strName; }

const Users_Write USER_WRITES[] = {
    {"Add", [](ManageUsersTest& t) { static_cast<ManageUsersFaultTest&>(t).Add_Name("zed"); }},
    // A longer name: on a full disk the row cannot stay where it was.
    {"Rename", [](ManageUsersTest& t) {
         EXPECT_TRUE(static_cast<ManageUsersFaultTest&>(t).Rename_Item(2, "anne, a name longer than the one before"));
     }},
    {"Remove", [](ManageUsersTest& t) { static_cast<ManageUsersFaultTest&>(t).Remove_Items({2, 3}); }},
    {"Import", [](ManageUsersTest& t) { static_cast<ManageUsersFaultTest&>(t).Import("x1\r\nx2\r\nx3\r\n"); }},
};

const test::Fault USER_FAULTS[] = {test::Fault::Held_Read_Lock, test::Fault::Read_Only, test::Fault::Abort_Trigger,
                                   test::Fault::Rollback_Trigger, test::Fault::Database_Full};

TEST_P(ManageUsersFaultTest, OneBoxAndTheListShowsWhatIsStored) {
    const auto& [write, fault] = GetParam();
    Insert_User("anna");
    Insert_User("bob");
    std::unique_ptr<test::Made_Fault> made;
    if (fault == test::Fault::Database_Full) Fill_Until_Full_By("INSERT INTO USER_TBL (USER_NAME) VALUES ('%1')");
    Open();
    const QStringList before = Stored();
    if (fault == test::Fault::Database_Full) made = Make_Fault(fault);
    else made = Make_Fault(fault, {"INSERT ON USER_TBL", "UPDATE ON USER_TBL", "DELETE ON USER_TBL"});

    write.act(*this);

    made->Release();
    std::vector<test::Shown_Box> boxes = Boxes();
    const bool blnRemove = QLatin1String(write.strName) == QLatin1String("Remove");
    if (blnRemove) {
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.front().lngStyle, 68);
        boxes.erase(boxes.begin());
    }
    EXPECT_EQ(Listed(), Stored());
    // A delete needs no new page: on a full disk Remove succeeds, silently.
    if (blnRemove && fault == test::Fault::Database_Full) {
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(Stored(), before.mid(0, 1) + before.mid(3));
        return;
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains(QLatin1String(test::Fault_Text(fault)))) << boxes[0].strText.toStdString();
    EXPECT_EQ(Stored(), before);
}

INSTANTIATE_TEST_SUITE_P(Writes, ManageUsersFaultTest,
                         ::testing::Combine(::testing::ValuesIn(USER_WRITES), ::testing::ValuesIn(USER_FAULTS)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).strName) +
                                    test::Fault_Name(std::get<1>(info.param));
                         });

// An import refused part-way, by a trigger that undoes its statement or one that rolls
// the whole transaction back: the first batch was committed, and every user the second
// stored before the failure is kept, counted and listed.
class ManageUsersPartWayTest : public ManageUsersTest, public ::testing::WithParamInterface<test::Fault> {};

TEST_P(ManageUsersPartWayTest, AnImportThatFailsPartWayKeepsAndListsTheUsersStoredBeforeIt) {
    Insert_User("anna");
    Open();
    const auto made = Make_Fault(GetParam(), {"INSERT ON USER_TBL WHEN NEW.USER_NAME='NEW1500'"});
    QByteArray bytes;
    for (int i = 1; i <= 2500; ++i) bytes += "new" + QByteArray::number(i) + "\r\n";
    fileDialog->Choose(Write_File("many.txt", bytes));
    Button("cmdImport")->click();
    made->Release();
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(boxes[0].strText, "The import stopped at \"NEW1500\": refused\nEntries stored before it: 1499.");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL WHERE USER_NAME LIKE 'NEW%'"), "1499");
    EXPECT_EQ(Listed(), Stored());
    EXPECT_EQ(List()->Text(List()->Count()), "NEW1499");
    for (const long i : {3L, List()->Count()})
        EXPECT_EQ(List()->Tag(i), Scalar("SELECT USER_ID FROM USER_TBL WHERE USER_NAME='" + List()->Text(i) + "'"));
}

INSTANTIATE_TEST_SUITE_P(Triggers, ManageUsersPartWayTest,
                         ::testing::Values(test::Fault::Abort_Trigger, test::Fault::Rollback_Trigger),
                         [](const auto& info) { return std::string(test::Fault_Name(info.param)); });

// The disk fills while the first batch is open: SQLite rolls it back, the users written
// before are written again, and the box counts them.
TEST_F(ManageUsersTest, AnImportOntoAFullDiskKeepsListsAndCountsTheUsersStoredBeforeIt) {
    Open();
    const auto made = Make_Fault(test::Fault::Database_Full);
    QByteArray bytes;
    QStringList names;
    for (int i = 1; i <= 3000; ++i) {
        names << "A.RATHER.LONG.USER.NAME.TO.FILL.PAGES." + QString::number(i);
        bytes += "a.rather.long.user.name.to.fill.pages." + QByteArray::number(i) + "\r\n";
    }
    fileDialog->Choose(Write_File("many.txt", bytes));
    Button("cmdImport")->click();
    made->Release();
    const QStringList stored = Stored();
    const qsizetype lngKept = stored.size() - 1;
    // Some users fitted into the room the file had; not all of them.
    ASSERT_GT(lngKept, 0);
    ASSERT_LT(lngKept, names.size());
    EXPECT_EQ(stored, QStringList{"All Users"} + names.mid(0, lngKept));
    EXPECT_EQ(Listed(), stored);
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(boxes[0].strText, QString("The import stopped at \"%1\": database or disk is full\n"
                                        "Entries stored before it: %2.")
                                    .arg(names[lngKept])
                                    .arg(lngKept));
}

// ---------------------------------------------------------------- held locks

// Another program holds a write transaction past the busy time-out: the first delete
// waits it out and fails, and the walk ends there (the others would meet the same
// lock). One wait, one box, and the list as stored.
TEST_F(ManageUsersTest, RemoveOfManyUnderAHeldWriteLockWaitsOnceAndReportsOnce) {
    Insert_Users(12);
    Open();
    const QStringList before = Stored();
    Select_Only({2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    messageBox->Answer(platform::vbYes);
    Expect_One_Busy_Wait_Under_Held_Write_Lock([&] { Button("cmdRemove")->click(); });
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].lngStyle, 68);
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_TRUE(boxes[1].strText.contains(test::Fault_Text(test::Fault::Held_Write_Lock))) << boxes[1].strText.toStdString();
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(Listed(), Stored());
}

// An import whose commit meets a read lock another program holds past the busy
// time-out (the last batch's commit, or one of a batch of a thousand): the commit waits
// once and is reported once, and its batch is not written again, so it is not stored
// either when the lock goes soon after the box said so.
TEST_F(ManageUsersTest, AnImportWhoseCommitMeetsAHeldReadLockWaitsOnceAndStoresNothingLater) {
    Insert_User("anna");
    for (const int intNames : {3, 1500}) {
        Open();
        QByteArray bytes;
        for (int i = 1; i <= intNames; ++i) bytes += "new" + QByteArray::number(i) + "\r\n";
        fileDialog->Choose(Write_File("import.txt", bytes));
        auto lock = Make_Fault(test::Fault::Held_Read_Lock);
        const long long lngBefore = modDB::Busy_Waits();
        // The lock goes as a second wait begins: a batch written again would then be stored.
        modDB::Set_Busy_Hook([&](int lngCall) {
            if (lngCall == 0 && modDB::Busy_Waits() - lngBefore == 2) lock->Release();
        });
        Button("cmdImport")->click();
        modDB::Set_Busy_Hook(nullptr);
        lock->Release();
        EXPECT_EQ(modDB::Busy_Waits() - lngBefore, 1) << intNames;
        const std::vector<test::Shown_Box> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << intNames;
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_TRUE(boxes[0].strText.contains(test::Fault_Text(test::Fault::Held_Read_Lock)))
            << boxes[0].strText.toStdString();
        EXPECT_EQ(Stored(), (QStringList{"All Users", "anna"})) << intNames;
        EXPECT_EQ(Listed(), Stored());
    }
}

// The settings file replaced while the first batch is open: its commit is refused and
// reported, and writing the batch again does not put it into the file nobody opens.
TEST_F(ManageUsersTest, AnImportIntoAReplacedFileWritesNothingAgainAndListsWhatIsStored) {
    Insert_User("anna");
    Open();
    QByteArray bytes;
    for (int i = 1; i <= 1500; ++i) bytes += "new" + QByteArray::number(i) + "\r\n";
    fileDialog->Choose(Write_File("many.txt", bytes));
    auto moved = Prepare_Database_Move(test::File_Move::Replaced);
    moved->At_Insert("USER_TBL", 500);
    Button("cmdImport")->click();
    ASSERT_TRUE(moved->Moved());
    Expect_Box("The settings database " + Database_File() +
                   " was deleted or replaced while this change was being written. Nothing of the change was stored.",
               16);
    EXPECT_EQ(Stored(), (QStringList{"All Users", "anna"}));
    EXPECT_EQ(Listed(), Stored());
    // Nor did the file written meanwhile keep any of them.
    moved->Put_Back();
    EXPECT_EQ(Stored(), (QStringList{"All Users", "anna"}));
}

TEST_F(ManageUsersTest, ANameTwiceInOneImportIsStoredAndListedOnce) {
    Open();
    fileDialog->Choose(Write_File("twice.txt", "carl\r\n  Carl \r\nCARL, dora\r\n"));
    Button("cmdImport")->click();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Listed(), (QStringList{"All Users", "CARL", "DORA"}));
    EXPECT_EQ(Stored(), Listed());
}

}  // namespace
