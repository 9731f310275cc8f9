// Every Remove of several selected items and every Browse of several chosen program
// files walks them in one transaction under one rule: a row the database refuses alone
// leaves only its own item as it was and the walk goes on; a file another program holds
// locked stops it after one wait; a failure that rolls the whole transaction back keeps
// nothing of it. The list family's Remove is the reference the others follow.
#include "console/frmExceptionList.h"
#include "console/frmManageUsers.h"
#include "lists/frmEXEBlocker.h"
#include "platform/ListView.h"
#include "schedules/frmInternetSettings.h"
#include "services/modFilterLibrary.h"
#include "support/ConsoleFixture.h"

#include <QFile>
#include <functional>

using platform::ListView;

namespace {

using test::Fault;

class WalkTest;

// One walk: three items, the middle one "b...", selected and removed or chosen and stored.
struct Walk_Case {
    const char* strName;
    std::function<void(WalkTest&)> open;
    const char* strList;
    const char* strButton;
    int lngQuestions;  // boxes the press asks before it writes (answered Yes)
    bool blnRemove;    // the items leave the list (Remove) or join it (Browse)
    QStringList items;
    // The table and column the items are stored in; the owner's rows only when blnOwned.
    const char *strTable, *strColumn;
    bool blnOwned;
};

void PrintTo(const Walk_Case& c, std::ostream* os) { *os << c.strName; }

class WalkTest : public test::Dialog_Case_Test, public ::testing::WithParamInterface<Walk_Case> {
public:
    const Walk_Case& C() const { return GetParam(); }

    void SetUp() override {
        Dialog_Case_Test::SetUp();
        const QString strTarget = modFilterLibrary::Library_File();
        if (!QFile::exists(strTarget)) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(DV_LHDVSOCK_FILE), strTarget));
        }
        if (C().blnRemove)
            for (const QString& strItem : C().items) Exec(Insert_Sql(strItem));
        C().open(*this);
    }

    QString Insert_Sql(const QString& strItem) const {
        if (C().blnOwned)
            return QString("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES ('%3', 0, %4)")
                .arg(C().strTable, C().strColumn, strItem)
                .arg(m_lngUser);
        return QString("INSERT INTO %1 (%2) VALUES ('%3')").arg(C().strTable, C().strColumn, strItem);
    }
    // The statement a trigger refuses for the middle item, as after BEFORE.
    QString Refusing_Middle() const {
        const bool blnDelete = C().blnRemove;
        return QString("%1 ON %2 WHEN %3.%4='%5'")
            .arg(blnDelete ? "DELETE" : "INSERT", C().strTable, blnDelete ? "OLD" : "NEW", C().strColumn, C().items[1]);
    }

    QStringList Stored_Sorted() {
        QString strSQL = QString("SELECT %1 FROM %2").arg(C().strColumn, C().strTable);
        if (C().blnOwned) strSQL += QString(" WHERE USER_ID=%1").arg(m_lngUser);
        QStringList values;
        for (const QStringList& row : Query(strSQL)) values << row[0];
        values.sort();
        return values;
    }
    QStringList Listed_Sorted() const {
        QStringList listed = Listed(C().strList);
        listed.sort();
        return listed;
    }
    // What is stored once the walk wrote the first and the last item (the middle one not).
    QStringList With_Outer_Items_Written(QStringList values) const {
        for (const QString& strItem : {C().items[0], C().items[2]}) {
            if (C().blnRemove) values.removeAll(strItem);
            else values << strItem;
        }
        values.sort();
        return values;
    }

    // Selects the three items and presses Remove, or chooses the three files and presses Browse.
    void Walk() {
        if (C().blnRemove) {
            ListView& list = *Control<ListView>(C().strList);
            for (long i = 1; i <= list.Count(); ++i) list.Set_Selected(i, C().items.contains(list.Text(i)));
        } else {
            QString strChosen = QStringLiteral("C:\\Apps");
            for (const QString& strItem : C().items) strChosen += QChar(u'\0') + strItem;
            fileDialog->Choose(strChosen);
        }
        for (int i = 0; i < C().lngQuestions; ++i) messageBox->Answer(platform::vbYes);
        Press(C().strButton);
    }

    // Walks while a trigger of this kind refuses the middle item's statement: the
    // questions, then one box with the trigger's text.
    void Walk_Refused_By(Fault fault) {
        auto refused = Make_Fault(fault, {Refusing_Middle()});
        Walk();
        refused->Release();
        EXPECT_EQ(The_One_Failure_Box(), test::TRIGGER_TEXT);
    }

    // The questions, then exactly one critical box; answers its text.
    QString The_One_Failure_Box() {
        const std::vector<test::Shown_Box> boxes = Boxes();
        EXPECT_EQ(boxes.size(), static_cast<size_t>(C().lngQuestions + 1));
        if (boxes.size() != static_cast<size_t>(C().lngQuestions + 1)) return QString();
        EXPECT_EQ(boxes.back().lngStyle, 16);
        return boxes.back().strText;
    }
};

template <class Form>
std::function<void(WalkTest&)> Opens() {
    return [](WalkTest& t) { t.Open_Dialog<Form>(); };
}

const QStringList NAMES{"anna", "bob", "carl"};
const QStringList PROGRAMS{"a.exe", "b.exe", "c.exe"};

const Walk_Case WALK_CASES[] = {
    {"ListRemove", Opens<frmEXEBlocker>(), "lvwEXEBlocker", "cmdRemove", 1, true, PROGRAMS, "EXE_TBL", "EXE_NAME",
     true},
    {"UsersRemove", Opens<frmManageUsers>(), "lvwUsers", "cmdRemove", 1, true, NAMES, "USER_TBL", "USER_NAME", false},
    {"UserExceptionsRemove", Opens<frmExceptionList>(), "lvwUsers", "cmdRemove", 1, true, NAMES, "USER_EXCPN_TBL",
     "E_USER_NAME", false},
    {"AlwaysAllowedRemove", Opens<frmInternetSettings>(), "lvwBypassedExe", "cmdRemove", 1, true, PROGRAMS,
     "BYPASS_EXE_TBL", "BYPASS_EXE", true},
    {"AlwaysAllowedBrowse", Opens<frmInternetSettings>(), "lvwBypassedExe", "cmdBrowseExe", 0, false, PROGRAMS,
     "BYPASS_EXE_TBL", "BYPASS_EXE", true},
    {"ExeBlockerBrowse", Opens<frmEXEBlocker>(), "lvwEXEBlocker", "cmdBrowseExe", 0, false, PROGRAMS, "EXE_TBL",
     "EXE_NAME", true},
};

// A trigger undoes the middle item's statement alone: the first and the last are
// written, only the middle one is left as it was, and one box gives the trigger's text.
TEST_P(WalkTest, ARowRefusedAloneLeavesOnlyItsOwnItemAsItWas) {
    const QStringList before = Stored_Sorted();
    Walk_Refused_By(Fault::Abort_Trigger);
    EXPECT_EQ(Stored_Sorted(), With_Outer_Items_Written(before));
    EXPECT_EQ(Listed_Sorted(), Stored_Sorted());
}

// A trigger rolls the whole transaction back at the middle item: nothing of the walk is
// kept (neither the item written before it nor one after it), the list shows what is
// stored, and the next walk writes all three.
TEST_P(WalkTest, ARollbackKeepsNothingAndLeavesNoTransactionOpen) {
    const QStringList before = Stored_Sorted();
    Walk_Refused_By(Fault::Rollback_Trigger);
    EXPECT_EQ(Stored_Sorted(), before);
    EXPECT_EQ(Listed_Sorted(), before);

    Walk();
    EXPECT_EQ(Boxes().size(), static_cast<size_t>(C().lngQuestions));
    QStringList all = With_Outer_Items_Written(before);
    if (C().blnRemove) all.removeAll(C().items[1]);
    else all << C().items[1];
    all.sort();
    EXPECT_EQ(Stored_Sorted(), all);
    EXPECT_EQ(Listed_Sorted(), all);
}

// Another program holds the file for writing past the busy time-out: the walk waits once,
// says so once and changes nothing.
TEST_P(WalkTest, AHeldWriteLockWaitsOnceSaysSoOnceAndChangesNothing) {
    const QStringList before = Stored_Sorted();
    const QStringList listed = Listed_Sorted();
    Expect_One_Busy_Wait_Under_Held_Write_Lock([&] { Walk(); });
    EXPECT_TRUE(The_One_Failure_Box().contains(test::Fault_Text(Fault::Held_Write_Lock)));
    EXPECT_EQ(Stored_Sorted(), before);
    EXPECT_EQ(Listed_Sorted(), listed);
}

INSTANTIATE_TEST_SUITE_P(Callers, WalkTest, ::testing::ValuesIn(WALK_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

// A Remove whose middle row another program deleted after the list was read: the other
// two are deleted all the same, one box says the middle one was not stored as listed,
// and the list shows what is stored.
class RemoveGoneRowTest : public WalkTest {};

TEST_P(RemoveGoneRowTest, TheOthersAreDeletedAndTheListShowsWhatIsStored) {
    const QStringList before = Stored_Sorted();
    Start_Other_Program()->Write_Now(
        QString("DELETE FROM %1 WHERE %2='%3'").arg(C().strTable, C().strColumn, C().items[1]));
    Walk();
    EXPECT_TRUE(The_One_Failure_Box().contains("is not stored as listed"));
    QStringList expected = With_Outer_Items_Written(before);
    expected.removeAll(C().items[1]);
    EXPECT_EQ(Stored_Sorted(), expected);
    EXPECT_EQ(Listed_Sorted(), expected);
}

INSTANTIATE_TEST_SUITE_P(Removes, RemoveGoneRowTest,
                         ::testing::ValuesIn(std::begin(WALK_CASES), std::begin(WALK_CASES) + 4),
                         [](const auto& info) { return std::string(info.param.strName); });

}  // namespace
