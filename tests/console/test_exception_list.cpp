// The user exception list: add, rename in place, remove and the column allowance.
#include "console/frmExceptionList.h"
#include "lists/ListEditor.h"
#include "console/frmMain.h"
#include "database/modDB.h"
#include "platform/Controls.h"
#include "services/MakerLinks.h"
#include "services/modGlobal.h"
#include "support/ConsoleFixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <functional>
#include <memory>
#include <tuple>

using platform::ListView;

namespace {

class ExceptionListTest : public test::Dialog_Test {
protected:
    void Open() { Open_Form<frmExceptionList>(); }
    ListView* List() const { return Find<ListView>("lvwUsers"); }
    QLineEdit* Entry() const { return Find<QLineEdit>("txtUsers"); }
    QPushButton* Button(const char* strName) const { return Find<QPushButton>(strName); }
    void Add(const QString& strName) {
        Entry()->setText(strName);
        Button("cmdAdd")->click();
    }
    long Insert_Exception(const QString& strName) {
        Exec("INSERT INTO USER_EXCPN_TBL (E_USER_NAME) VALUES ('" + strName + "')");
        return Scalar("SELECT MAX(E_ID) FROM USER_EXCPN_TBL").toLong();
    }
    QStringList Listed() const { return Dialog_Test::Listed("lvwUsers"); }
    QStringList Stored() {
        QStringList names;
        for (const QStringList& row : Query("SELECT E_USER_NAME FROM USER_EXCPN_TBL ORDER BY E_ID")) names << row[0];
        return names;
    }
    void Select_Only(std::initializer_list<long> items) { Dialog_Test::Select_Only("lvwUsers", items); }
    bool Rename(long lngIndex, const QString& strText) { return Edit_In_Place("lvwUsers", "cmdEdit", lngIndex, strText); }
    double Full_Width() const { return lists::List_Inner_Width_Twips(*List()) - 20; }

};

TEST_F(ExceptionListTest, LoadListsTheExceptionsWithTheirIds) {
    Insert_User("anna");
    Open_Console();
    Select_User("anna");
    const long lngFirst = Insert_Exception("svc_backup");
    const long lngSecond = Insert_Exception("Guest");
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Exception List - anna");
    EXPECT_EQ(List()->Column_Text(1), "User Name");
    EXPECT_EQ(Listed(), (QStringList{"svc_backup", "Guest"}));
    EXPECT_EQ(List()->Tag(1), QString::number(lngFirst));
    EXPECT_EQ(List()->Tag(2), QString::number(lngSecond));
    EXPECT_EQ(List()->Small_Icon(1), "User");
    EXPECT_NEAR(List()->Column_Width(1), Full_Width(), 1.0);
}

TEST_F(ExceptionListTest, AddTrimsAndAsksTheDatabaseIgnoringCase) {
    Open();
    Add("  anna  ");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Entry()->text(), "");
    EXPECT_EQ(Listed(), QStringList{"anna"});
    EXPECT_EQ(Stored(), QStringList{"anna"});
    EXPECT_EQ(List()->Tag(1), Scalar("SELECT E_ID FROM USER_EXCPN_TBL WHERE E_USER_NAME='anna'"));

    // A name stored behind the dialog's back is found by the database test as well.
    Insert_Exception("bob");
    struct Case {
        QString strTyped;
        QString strMessage;
    };
    const Case cases[] = {
        {"ANNA", "User Name already exists!"},
        {" Bob", "User Name already exists!"},
        {"", "Please enter a valid User Name!"},
        {"   ", "Please enter a valid User Name!"},
        {"o'brien", "Please enter a valid User Name!"},
        {QString(256, 'n'), "Please enter a valid User Name!"},
    };
    for (const Case& c : cases) {
        Add(c.strTyped);
        Expect_Box(c.strMessage, 48);
        EXPECT_EQ(Entry()->text(), c.strTyped);
        EXPECT_EQ(Entry()->selectedText(), c.strTyped);
    }
    EXPECT_EQ(Stored(), (QStringList{"anna", "bob"}));

    QTest::keyClicks(Entry(), QString(255, 'z'));
    Entry()->setText(QString(255, 'z'));
    QTest::keyClick(Entry(), Qt::Key_Return);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored(), (QStringList{"anna", "bob", QString(255, 'z')}));
    EXPECT_EQ(Entry()->text(), "");
}

TEST_F(ExceptionListTest, RenameFollowsTheSameRulesAsTheUsersList) {
    const long lngAnna = Insert_Exception("anna");
    Insert_Exception("bob");
    struct Case {
        QString strTyped, strShown, strStored, strMessage;
    };
    const Case cases[] = {
        {"anna", "anna", "anna", ""},
        {"Anna", "anna", "anna", "User name already exists!"},
        {"BOB", "anna", "anna", "User name already exists!"},
        {"", "anna", "anna", ""},
        {"a'b", "anna", "anna", ""},
        {" carl ", "carl", "carl", ""},
    };
    for (const Case& c : cases) {
        Exec(QString("UPDATE USER_EXCPN_TBL SET E_USER_NAME='anna' WHERE E_ID=%1").arg(lngAnna));
        Open();
        ASSERT_TRUE(Rename(1, c.strTyped)) << c.strTyped.toStdString();
        if (c.strMessage.isEmpty()) EXPECT_TRUE(Boxes().empty()) << c.strTyped.toStdString();
        else Expect_Box(c.strMessage, 48);
        EXPECT_EQ(List()->Text(1), c.strShown);
        EXPECT_EQ(Scalar(QString("SELECT E_USER_NAME FROM USER_EXCPN_TBL WHERE E_ID=%1").arg(lngAnna)), c.strStored);
    }
}

TEST_F(ExceptionListTest, RemoveDeletesTheSelectedNamesAndRefusesIdZero) {
    Exec("INSERT INTO USER_EXCPN_TBL (E_ID, E_USER_NAME) VALUES (0, 'SYSTEM')");
    Insert_Exception("anna");
    Insert_Exception("bob");
    Insert_Exception("carl");
    Open();
    ASSERT_EQ(Listed(), (QStringList{"SYSTEM", "anna", "bob", "carl"}));
    Select_Only({1, 2, 4});
    messageBox->Answer(platform::vbYes);
    Button("cmdRemove")->click();
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to delete the selected User(s)?");
    EXPECT_EQ(boxes[0].lngStyle, 68);
    EXPECT_EQ(boxes[1].strText, "You cannot delete User Name 'SYSTEM'!");
    EXPECT_EQ(Listed(), (QStringList{"SYSTEM", "bob"}));
    EXPECT_EQ(Stored(), (QStringList{"SYSTEM", "bob"}));

    messageBox->Answer(platform::vbNo);
    Select_Only({2});
    Button("cmdRemove")->click();
    Expect_Box("Are you sure you want to delete the selected User(s)?", 68);
    EXPECT_EQ(Stored(), (QStringList{"SYSTEM", "bob"}));
}

TEST_F(ExceptionListTest, TheColumnIsNarrowExactlyWhileSixteenOrMoreNamesAreListed) {
    for (int i = 1; i <= 15; ++i) Insert_Exception(QString("name%1").arg(i));
    Open();
    const double dblFull = Full_Width();
    EXPECT_NEAR(List()->Column_Width(1), dblFull, 1.0);
    Add("sixteen");
    EXPECT_NEAR(List()->Column_Width(1), dblFull - 250, 1.0);
    Select_Only({16});
    messageBox->Answer(platform::vbYes);
    Button("cmdRemove")->click();
    Expect_Box("Are you sure you want to delete the selected User(s)?", 68);
    EXPECT_EQ(List()->Count(), 15);
    EXPECT_NEAR(List()->Column_Width(1), dblFull, 1.0);
}

TEST_F(ExceptionListTest, RemoteModeDoesNotAffectTheDialog) {
    modGlobal::Is_Remote_Mode = true;
    Open();
    for (const char* strName : {"cmdAdd", "cmdEdit", "cmdRemove", "cmdClose"})
        EXPECT_TRUE(Button(strName)->isEnabled()) << strName;
    EXPECT_TRUE(Entry()->isEnabled());
}

TEST_F(ExceptionListTest, HomeSiteEscAndClose) {
    Open();
    QTest::mouseClick(Find<QLabel>("lblHomeSite"), Qt::LeftButton);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].strVerb, "open");
    EXPECT_EQ(shell->calls[0].strFile, Maker_Links::HOME_PAGE);
    EXPECT_EQ(shell->calls[0].lngShowCmd, 3);
    QTest::keyClick(Entry(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    Open();
    Button("cmdClose")->click();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(ExceptionListTest, TheConsoleOffersNoWayToTheDialog) {
    Open_Console();
    for (const QAction* pAction : console->findChildren<QAction*>()) {
        EXPECT_FALSE(pAction->text().contains("Exception", Qt::CaseInsensitive)) << pAction->objectName().toStdString();
        EXPECT_FALSE(pAction->objectName().contains("Exception", Qt::CaseInsensitive));
    }
    for (const ListView* pList : console->findChildren<ListView*>())
        for (long i = 1; i <= pList->Count(); ++i)
            EXPECT_FALSE(pList->Text(i).contains("Exception", Qt::CaseInsensitive)) << pList->Text(i).toStdString();
}

// ---------------------------------------------------------------- failed writes

// Add, rename and remove against faults made real: exactly one critical box with the
// database's text, and the list shows what is stored.
struct Exception_Write {
    const char* strName;
    std::function<void(ExceptionListTest&)> act;
    // Whether the write needs room in the file, so that a full disk refuses it.
    bool blnGrows;
};

class ExceptionListWriteTest : public ExceptionListTest {
public:
    void Add_Name(const QString& strName) { Add(strName); }
    bool Rename_Item(long lngIndex, const QString& strText) { return Rename(lngIndex, strText); }
    void Remove_Items(std::initializer_list<long> items) {
        Select_Only(items);
        messageBox->Answer(platform::vbYes);
        Button("cmdRemove")->click();
    }
    // Takes the boxes, the removal's question first when there is one, and checks that
    // exactly one error box with the fault's text follows.
    void Expect_One_Error_Box(bool blnAsked, test::Fault fault) {
        std::vector<test::Shown_Box> boxes = Boxes();
        if (blnAsked) {
            ASSERT_FALSE(boxes.empty());
            EXPECT_EQ(boxes.front().lngStyle, 68);
            boxes.erase(boxes.begin());
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_TRUE(boxes[0].strText.contains(QLatin1String(test::Fault_Text(fault)))) << boxes[0].strText.toStdString();
    }
};

using Exception_Fault = std::tuple<Exception_Write, test::Fault>;

class ExceptionListFaultTest : public ExceptionListWriteTest, public ::testing::WithParamInterface<Exception_Fault> {};

void PrintTo(const Exception_Write& w, std::ostream* os) { *os << w.strName; }

const Exception_Write EXCEPTION_WRITES[] = {
    {"Add", [](ExceptionListTest& t) { static_cast<ExceptionListWriteTest&>(t).Add_Name("zed"); }, true},
    {"Rename",
     [](ExceptionListTest& t) {
         EXPECT_TRUE(static_cast<ExceptionListWriteTest&>(t).Rename_Item(1, "anne-marie-" + QString(200, 'x')));
     },
     true},
    {"Remove", [](ExceptionListTest& t) { static_cast<ExceptionListWriteTest&>(t).Remove_Items({1, 2}); }, false},
};

TEST_P(ExceptionListFaultTest, OneBoxAndTheListShowsWhatIsStored) {
    const auto& [write, fault] = GetParam();
    Insert_Exception("anna");
    Insert_Exception("bob");
    std::unique_ptr<test::Made_Fault> made;
    if (fault == test::Fault::Abort_Trigger || fault == test::Fault::Rollback_Trigger)
        made = Make_Fault(fault, {"INSERT ON USER_EXCPN_TBL", "UPDATE ON USER_EXCPN_TBL", "DELETE ON USER_EXCPN_TBL"});
    // Not even a one-letter name fits in the table, and the file may not grow.
    if (fault == test::Fault::Database_Full) Fill_Until_Full_By("INSERT INTO USER_EXCPN_TBL (E_USER_NAME) VALUES ('%1')");
    Open();
    const QStringList before = Stored();
    if (!made) made = Make_Fault(fault);

    write.act(*this);

    made->Release();
    Expect_One_Error_Box(QLatin1String(write.strName) == QLatin1String("Remove"), fault);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(Listed(), Stored());
    // A name typed and not stored stays in the box, for a retry.
    if (QLatin1String(write.strName) == QLatin1String("Add")) {
        EXPECT_EQ(Entry()->text(), "zed");
    }
}

// Another program stores the name (in another letter case) after the dialog asked the
// database and before it writes: the Add stores nothing, says the name exists, and the
// list shows what is stored.
TEST_F(ExceptionListWriteTest, AnAddOfANameAnotherProgramStoredMeanwhileStoresNoSecondRow) {
    Insert_Exception("anna");
    Open();
    auto other = Start_Other_Program();
    other->Write_At_Statement("SELECT COUNT(E_ID)", "INSERT INTO USER_EXCPN_TBL (E_USER_NAME) VALUES ('ZED')");
    Add_Name("zed");
    EXPECT_TRUE(other->Wrote_At_Marker());
    const std::vector<test::Shown_Box> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "User Name already exists!");
    EXPECT_EQ(boxes[0].lngStyle, 48);
    EXPECT_EQ(Stored(), (QStringList{"anna", "ZED"}));
    EXPECT_EQ(Listed(), Stored());
    EXPECT_EQ(Entry()->text(), "zed");
}

std::vector<Exception_Fault> Exception_Faults() {
    std::vector<Exception_Fault> params;
    for (const Exception_Write& write : EXCEPTION_WRITES)
        for (const test::Fault fault : {test::Fault::Held_Read_Lock, test::Fault::Read_Only, test::Fault::Database_Full,
                                        test::Fault::Abort_Trigger, test::Fault::Rollback_Trigger})
            if (fault != test::Fault::Database_Full || write.blnGrows) params.emplace_back(write, fault);
    return params;
}

INSTANTIATE_TEST_SUITE_P(Writes, ExceptionListFaultTest, ::testing::ValuesIn(Exception_Faults()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).strName) +
                                    test::Fault_Name(std::get<1>(info.param));
                         });

// Another program holds a write transaction past the busy time-out: the first delete
// waits it out and fails, and the walk ends there. One wait, one box, the list as stored.
TEST_F(ExceptionListWriteTest, RemoveOfManyUnderAHeldWriteLockWaitsOnceAndReportsOnce) {
    for (int i = 1; i <= 12; ++i) Insert_Exception(QString("user%1").arg(i));
    Open();
    const QStringList before = Stored();
    Expect_One_Busy_Wait_Under_Held_Write_Lock([&] { Remove_Items({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}); });
    Expect_One_Error_Box(true, test::Fault::Held_Write_Lock);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(Listed(), Stored());
}

// Three removed, the middle one refused: a trigger that undoes its statement leaves
// only the refused one stored and listed; one that rolls the transaction back takes the
// delete before it back too, and the walk ends there.
class ExceptionRemovePartWayTest : public ExceptionListWriteTest, public ::testing::WithParamInterface<test::Fault> {};

TEST_P(ExceptionRemovePartWayTest, OnlyTheRefusedDeleteStaysUndoneUnlessTheTransactionRolledBack) {
    const test::Fault fault = GetParam();
    for (const char* strName : {"anna", "bob", "carl"}) Insert_Exception(QLatin1String(strName));
    const std::unique_ptr<test::Made_Fault> made = Make_Fault(fault, {"DELETE ON USER_EXCPN_TBL WHEN OLD.E_USER_NAME='bob'"});
    Open();

    Remove_Items({1, 2, 3});

    made->Release();
    Expect_One_Error_Box(true, fault);
    EXPECT_EQ(Stored(), test::Rolls_Back_Transaction(fault) ? (QStringList{"anna", "bob", "carl"})
                                                            : (QStringList{"bob"}));
    EXPECT_EQ(Listed(), Stored());
}

INSTANTIATE_TEST_SUITE_P(Triggers, ExceptionRemovePartWayTest,
                         ::testing::Values(test::Fault::Abort_Trigger, test::Fault::Rollback_Trigger),
                         [](const auto& info) { return std::string(test::Fault_Name(info.param)); });

}  // namespace
