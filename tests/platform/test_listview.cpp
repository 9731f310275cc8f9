#include "platform/ListView.h"
#include "services/modGlobal.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>
#include <QTreeView>
#include <QtTest/QTest>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

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

TEST(ListViewTabTest, SwitchingTheViewKeepsTheListsPlaceInTheTabOrder) {
    // A form of an entry box, a list and a button, in that tab order; the list's view is
    // switched afterwards, as forms do while they load.
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* entry = new QLineEdit(&form);
    auto* pList = new ListView(&form);
    auto* button = new QPushButton("OK", &form);
    button->setFocusPolicy(Qt::StrongFocus);
    for (QWidget* w : {static_cast<QWidget*>(entry), static_cast<QWidget*>(pList), static_cast<QWidget*>(button)})
        layout->addWidget(w);
    QWidget::setTabOrder(entry, pList);
    QWidget::setTabOrder(pList, button);
    pList->Set_View(ListView::lvwIcon);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    entry->setFocus(Qt::TabFocusReason);
    const auto Tab = [](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        return QApplication::focusWidget();
    };
    EXPECT_EQ(Tab(Qt::NoModifier), pList->Item_View());
    EXPECT_EQ(Tab(Qt::NoModifier), button);
    EXPECT_EQ(Tab(Qt::NoModifier), entry);
    EXPECT_EQ(Tab(Qt::ShiftModifier), button);
    EXPECT_EQ(Tab(Qt::ShiftModifier), pList->Item_View());
    EXPECT_EQ(Tab(Qt::ShiftModifier), entry);
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

// Every kind of text comes back as it went in, whichever way it entered the list, and is
// found again exactly and ignoring case.
TEST_F(ListViewTest, TextsOfEveryScriptComeBackAsTheyWentIn) {
    const QStringList texts{QString(),
                            "plain.example.com",
                            QString::fromUtf8("caf\xc3\xa9.example"),
                            QString::fromUtf8("\xc3\x84RGER.de"),
                            QString::fromUtf8("\xe4\xbe\x8b\xe3\x81\x88.jp"),
                            QString::fromUtf8("\xf0\x9f\x98\x80 face"),
                            "tab\there"};
    list.Add_Many(texts);
    platform::List_Batch batch(list, QString());
    for (const QString& strText : texts) batch.Add_Utf8(strText.toUtf8());
    batch.Append();
    list.Add(texts[2]);
    list.Set_Text(list.Count(), texts[5]);
    ASSERT_EQ(list.Count(), 2 * texts.size() + 1);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i].toStdString());
        EXPECT_EQ(list.Text(static_cast<long>(i) + 1), texts[i]);
        EXPECT_EQ(list.Text(static_cast<long>(i + texts.size()) + 1), texts[i]);
        EXPECT_EQ(list.Item(static_cast<long>(i) + 1).strText, texts[i]);
        EXPECT_EQ(list.Model()->index(static_cast<int>(i), 0).data().toString(), texts[i]);
        EXPECT_EQ(list.Find_Text(texts[i]), i + 1);
        EXPECT_TRUE(list.Contains_Text_Ignore_Case(texts[i].toUpper()));
    }
    EXPECT_EQ(list.Text(list.Count()), texts[5]);
    EXPECT_TRUE(list.Contains_Text_Ignore_Case(QString::fromUtf8("\xc3\xa4rger.DE")));
    EXPECT_EQ(list.Find_Text(QString::fromUtf8("CAF\xc3\x89.example")), 0);  // exact match only
}

// A database row whose bytes are not valid UTF-8 is listed as the text it reads as, and
// that text, handed back by a caller, finds the item again.
TEST_F(ListViewTest, BytesThatAreNotUtf8AreListedAsTheTextTheyReadAs) {
    const QByteArray bad("bad\xff\xfe.example\xc3", 15);
    platform::List_Batch batch(list, QString());
    batch.Add_Utf8(bad);
    batch.Add_Utf8("next");
    batch.Append();
    const QString strShown = QString::fromUtf8(bad);
    EXPECT_EQ(list.Text(1), strShown);
    EXPECT_EQ(list.Find_Text(strShown), 1);
    EXPECT_EQ(list.Text(2), "next");
}

// Texts stay whole while their block grows past the sizes where it is moved, and after
// removals make the list pack it.
TEST(ListViewBlockTest, TextsStayWholeAcrossBlockGrowthAndPacking) {
    ListView list;  // no model tester: it would check all rows at every change
    auto text = [](int i) { return QString::fromUtf8("entry-%1-\xc3\xa9-%2").arg(i).arg(QString(i % 40, 'x')); };
    platform::List_Batch batch(list, QString());
    constexpr int COUNT = 200000;  // about 8 MB of text: several moves of the block
    for (int i = 0; i < COUNT; ++i) batch.Add_Utf8(text(i).toUtf8());
    batch.Append();
    for (int i = 0; i < 300; ++i) list.Add(text(COUNT + i));
    ASSERT_EQ(list.Count(), COUNT + 300);
    for (int i : {0, 1, 4095, 65536, COUNT - 1, COUNT, COUNT + 299}) EXPECT_EQ(list.Text(i + 1), text(i)) << i;
    std::vector<long> even;
    for (long i = 2; i <= list.Count(); i += 2) even.push_back(i);
    list.Remove_Items(even);  // half the block unused: packed
    list.Set_Text(1, "first");
    ASSERT_EQ(list.Count(), (COUNT + 300) / 2);
    EXPECT_EQ(list.Text(1), "first");
    for (long i : {2L, 1000L, list.Count()}) EXPECT_EQ(list.Text(i), text(static_cast<int>(2 * (i - 1)))) << i;
    EXPECT_EQ(list.Find_Text(text(2 * 1000)), 1001);
}


// ---------------------------------------------------------------- no memory left

// The address space of the process capped a little above what it uses now, so that the
// next big block cannot be had: the allocation fails as it would on a machine with no
// memory left. Answers the old limit, to be put back.
rlimit Cap_Address_Space(size_t lngHeadroom) {
    rlimit old{};
    getrlimit(RLIMIT_AS, &old);
    QFile status("/proc/self/status");
    size_t lngUsed = 0;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmSize:")) lngUsed = line.mid(7).trimmed().split(' ').value(0).toULongLong() * 1024;
    rlimit capped = old;
    capped.rlim_cur = lngUsed + lngHeadroom;
    setrlimit(RLIMIT_AS, &capped);
    return old;
}

struct Insert_Case {
    const char* strName;
    std::function<void(ListView&)> insert;
};

// One insert into a full list whose room for items is used up, with no memory for more:
// the failure must come before the view hears of the insert, and the list stays usable.
// Answers 0 when it did; the other numbers name what went wrong.
[[maybe_unused]] int Insert_With_No_Memory(const Insert_Case& c) {
    ListView list;
    list.Add_Column("Name", 2000);
    QAbstractItemModelTester tester(list.Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    int intBegun = 0, intEnded = 0;
    QObject::connect(list.Model(), &QAbstractItemModel::rowsAboutToBeInserted, [&] { ++intBegun; });
    QObject::connect(list.Model(), &QAbstractItemModel::rowsInserted, [&] { ++intEnded; });
    constexpr long COUNT = 1L << 20;  // 24 MB of items: growing them needs 48 MB more
    {
        platform::List_Batch batch(list, "URL");
        batch.Reserve(COUNT);
        for (long i = 0; i < COUNT; ++i) batch.Add(QString::number(i % 10));
        batch.Append();
    }
    list.Contains_Text_Ignore_Case("x");  // the text index is kept up to date from now on
    const rlimit old = Cap_Address_Space(size_t{8} << 20);
    bool blnFailed = false;
    try {
        c.insert(list);
    } catch (...) {
        blnFailed = true;
    }
    setrlimit(RLIMIT_AS, &old);
    if (!blnFailed) return 2;  // the insert found memory: the case shows nothing
    if (intBegun != intEnded) return 3;
    if (list.Count() != COUNT || list.Model()->rowCount() != COUNT) return 4;
    if (list.Add("after") != COUNT + 1 || intBegun != intEnded || !list.Contains_Text_Ignore_Case("AFTER")) return 5;
    return list.Text(COUNT) == "5" ? 0 : 6;  // (COUNT - 1) % 10
}

TEST(ListViewMemoryTest, AnInsertWithNoMemoryLeftFailsBeforeTheViewHearsOfIt) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any cap leaves";
#else
    const Insert_Case cases[] = {
        {"Add", [](ListView& l) { l.Add("one more"); }},
        {"Insert at the top", [](ListView& l) { l.Insert(1, "first"); }},
        {"Add_Many", [](ListView& l) { l.Add_Many(QStringList{"a", "b"}); }},
        {"batch", [](ListView& l) {
             platform::List_Batch batch(l, "URL");
             batch.Add("one more");
             batch.Append();
         }},
    };
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const Insert_Case& c : cases)
        EXPECT_EXIT(std::exit(Insert_With_No_Memory(c)), ::testing::ExitedWithCode(0), "") << c.strName;
#endif
}

}  // namespace
