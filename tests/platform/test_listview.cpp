#include "platform/ListView.h"
#include "services/modGlobal.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTreeView>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using platform::ListView;

namespace {

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.Add_Column("Name", 2000);
        list.Add_Column("Port", 1000);
        tester = std::make_unique<QAbstractItemModelTester>(list.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    ListView list;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(ListViewTest, ItemsCountFromOneWithTextSubItemsKeysAndTags) {
    EXPECT_EQ(list.Add("alpha", "kA", "User"), 1);
    EXPECT_EQ(list.Add("beta"), 2);
    EXPECT_EQ(list.Insert(1, "first"), 1);
    list.Set_SubItem(2, 1, "80");
    list.Set_Tag(3, "7");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(1), "first");
    EXPECT_EQ(list.Text(2), "alpha");
    EXPECT_EQ(list.SubItem(2, 1), "80");
    EXPECT_EQ(list.SubItem(2, 2), "");
    EXPECT_EQ(list.Model()->data(list.Model()->index(1, 1), Qt::DisplayRole).toString(), "80");
    EXPECT_EQ(list.Key(2), "kA");
    EXPECT_EQ(list.Find_Key("kA"), 2);
    EXPECT_EQ(list.Find_Key("none"), 0);
    EXPECT_EQ(list.Tag(3), "7");
    EXPECT_EQ(list.Small_Icon(2), "User");
    EXPECT_EQ(list.Column_Text(2), "Port");
    EXPECT_DOUBLE_EQ(list.Column_Width(1), 2000);
}

TEST_F(ListViewTest, OutOfRangeIndexesAndDuplicateKeysAreRunTimeErrors) {
    list.Add("a", "k");
    for (long i : {0L, 2L, -1L}) EXPECT_THROW(list.Text(i), Run_Time_Error);
    try {
        list.Add("b", "k");
        ADD_FAILURE();
    } catch (const Run_Time_Error& e) {
        EXPECT_EQ(e.Number, 35602);
    }
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(ListViewTest, CaseFoldedIndexFollowsEveryChange) {
    list.Add_Many(QStringList{"Example.COM", "other.org", "example.com"});
    EXPECT_TRUE(list.Contains_Text_Ignore_Case("EXAMPLE.com"));
    list.Remove(1);
    EXPECT_TRUE(list.Contains_Text_Ignore_Case("example.COM"));  // the third still has it
    list.Set_Text(2, "changed");
    EXPECT_FALSE(list.Contains_Text_Ignore_Case("example.com"));
    EXPECT_TRUE(list.Contains_Text_Ignore_Case("CHANGED"));
    list.Remove_Items({1, 2});
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.Contains_Text_Ignore_Case("other.org"));
    list.Add("x");
    list.Clear();
    EXPECT_FALSE(list.Contains_Text_Ignore_Case("x"));
    EXPECT_EQ(list.Find_Text("x"), 0);
}

TEST_F(ListViewTest, RemoveItemsKeepsTheOthersInOrder) {
    list.Add_Many(QStringList{"a", "b", "c", "d", "e"});
    list.Remove_Items({4, 2, 2});
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(1), "a");
    EXPECT_EQ(list.Text(2), "c");
    EXPECT_EQ(list.Text(3), "e");
}

TEST_F(ListViewTest, UserTickRaisesItemCheckButCodeDoesNot) {
    list.Set_Checkboxes(true);
    list.Add("a");
    list.Add("b");
    std::vector<long> checks;
    QObject::connect(&list, &ListView::ItemCheck, [&](long i) { checks.push_back(i); });
    list.Set_Checked(1, true);
    EXPECT_TRUE(list.Checked(1));
    EXPECT_TRUE(checks.empty());
    list.Model()->setData(list.Model()->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(list.Checked(2));
    EXPECT_EQ(checks, (std::vector<long>{2}));
}

TEST_F(ListViewTest, SingleAndMultipleSelection) {
    list.Add_Many(QStringList{"a", "b", "c"});
    EXPECT_EQ(list.Selected_Item(), 0);
    list.Set_Selected(2, true);
    list.Set_Selected(3, true);
    EXPECT_EQ(list.Selected_Items(), (std::vector<long>{3}));
    EXPECT_EQ(list.Selected_Item(), 3);
    list.Set_Multi_Select(true);
    list.Set_Selected(1, true);
    EXPECT_EQ(list.Selected_Items(), (std::vector<long>{1, 3}));
    list.Set_Selected(3, false);
    EXPECT_TRUE(list.Selected(1));
    EXPECT_FALSE(list.Selected(3));
}

TEST_F(ListViewTest, LabelEditAsksBeforeAndCanRefuseAfter) {
    list.Add("old");
    list.show();
    int intCancelBefore = 0;
    int intCancelAfter = 0;
    std::vector<QString> typed;
    QObject::connect(&list, &ListView::BeforeLabelEdit, [&](long, int& Cancel) { Cancel = intCancelBefore; });
    QObject::connect(&list, &ListView::AfterLabelEdit, [&](long, int& Cancel, QString& NewString) {
        typed.push_back(NewString);
        Cancel = intCancelAfter;
    });
    auto type_new_text = [&](const QString& strText) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the last editor goes
        list.Start_Label_Edit(1);
        auto* editor = list.Item_View()->findChild<QLineEdit*>();
        if (!editor) return false;
        editor->setText(strText);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        return true;
    };
    ASSERT_TRUE(type_new_text("new"));
    EXPECT_EQ(list.Text(1), "new");
    intCancelAfter = 1;
    ASSERT_TRUE(type_new_text("refused"));
    EXPECT_EQ(list.Text(1), "new");
    EXPECT_EQ(typed, (std::vector<QString>{"new", "refused"}));
    intCancelBefore = 1;
    EXPECT_FALSE(type_new_text("never"));
    EXPECT_EQ(typed.size(), 2u);
}

TEST_F(ListViewTest, EnterAndOtherKeysReachKeyPress) {
    list.Add("a");
    list.show();
    std::vector<int> keys;
    QObject::connect(&list, &ListView::KeyPress, [&](int& KeyAscii) { keys.push_back(KeyAscii); });
    QTest::keyClick(list.Item_View(), Qt::Key_Return);
    QTest::keyClick(list.Item_View(), Qt::Key_Q);
    EXPECT_EQ(keys, (std::vector<int>{13, 'q'}));
}

TEST_F(ListViewTest, SwitchingTheViewKeepsTheItems) {
    list.Add("a", "", "User");
    list.Set_Bold(1, true);
    list.Set_View(ListView::lvwIcon);
    EXPECT_EQ(list.View(), ListView::lvwIcon);
    auto* icons = qobject_cast<QListView*>(list.Item_View());
    ASSERT_NE(icons, nullptr);
    EXPECT_EQ(icons->viewMode(), QListView::IconMode);
    EXPECT_EQ(icons->movement(), QListView::Static);  // items cannot be dragged about
    EXPECT_EQ(list.Item_View()->model()->rowCount(), 1);
    EXPECT_TRUE(list.Model()->data(list.Model()->index(0, 0), Qt::FontRole).value<QFont>().bold());
    list.Set_Selected(1, true);
    EXPECT_EQ(list.Selected_Item(), 1);
}

TEST_F(ListViewTest, ClickRaisesItemClickAndDoubleClickDblClick) {
    list.Add_Many(QStringList{"a", "b"});
    list.resize(300, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    long lngClicked = 0;
    int intDouble = 0;
    QObject::connect(&list, &ListView::ItemClick, [&](long i) { lngClicked = i; });
    QObject::connect(&list, &ListView::DblClick, [&] { ++intDouble; });
    const QPoint pos = list.Item_Rect(2).center();
    QTest::mouseClick(list.Item_View()->viewport(), Qt::LeftButton, {}, pos);
    EXPECT_EQ(lngClicked, 2);
    EXPECT_EQ(list.Selected_Item(), 2);
    QTest::mouseDClick(list.Item_View()->viewport(), Qt::LeftButton, {}, pos);
    EXPECT_EQ(intDouble, 1);
}

TEST_F(ListViewTest, ABatchReachesTheViewInOneInsertAndADiscardedOneNever) {
    list.Add("first", "k1", "User");
    list.Set_Tag(1, "7");
    int intInserts = 0;
    QObject::connect(list.Model(), &QAbstractItemModel::rowsInserted, [&] { ++intInserts; });
    {
        platform::List_Batch dropped(list, "Other");
        dropped.Add("never");
        dropped.Discard();
        dropped.Append();
        platform::List_Batch forgotten(list, "Other");
        forgotten.Add("never either");
    }
    EXPECT_EQ(intInserts, 0);
    platform::List_Batch batch(list, "URL");
    for (int i = 0; i < 1000; ++i) batch.Add(QString("Site%1").arg(i));
    EXPECT_EQ(list.Count(), 1);  // nothing shows before Append
    batch.Append();
    EXPECT_EQ(intInserts, 1);
    ASSERT_EQ(list.Count(), 1001);
    EXPECT_EQ(list.Text(1001), "Site999");
    EXPECT_EQ(list.Small_Icon(1001), "URL");
    EXPECT_EQ(list.Key(1001), "");
    // The first item keeps everything it was given.
    const platform::List_Item item = list.Item(1);
    EXPECT_EQ(item.strText, "first");
    EXPECT_EQ(item.strKey, "k1");
    EXPECT_EQ(item.strTag, "7");
    EXPECT_EQ(item.strSmallIcon, "User");
    EXPECT_TRUE(list.Contains_Text_Ignore_Case("SITE500"));
    list.Add("Later");
    EXPECT_TRUE(list.Contains_Text_Ignore_Case("later"));
}

TEST_F(ListViewTest, AHundredThousandItemsLoadInOneGo) {
    QStringList texts;
    for (int i = 0; i < 100000; ++i) texts << QString("site%1.example").arg(i);
    list.Add_Many(texts);
    EXPECT_EQ(list.Count(), 100000);
    EXPECT_TRUE(list.Contains_Text_Ignore_Case("SITE99999.EXAMPLE"));
    EXPECT_EQ(list.Add("one more"), 100001);
}

}  // namespace
