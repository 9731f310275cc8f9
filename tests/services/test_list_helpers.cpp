#include "services/ListHelpers.h"
#include "platform/RunTimeError.h"
#include "services/modCommonFuns.h"
#include "support/Fixture.h"

#include <QComboBox>
#include <QElapsedTimer>

using namespace modCommonFuns;
using platform::ListView;

namespace {

constexpr long BIT_31 = -2147483647L - 1;

class ListHelpersTest : public test::Dv_Test {
protected:
    // A list with the given texts, the items at the given positions ticked.
    static void Fill(ListView& list, const QStringList& texts, std::initializer_list<long> ticked = {}) {
        list.Set_Checkboxes(true);
        list.Add_Many(texts);
        for (long i : ticked) list.Set_Checked(i, true);
    }
    static QStringList Numbered(int lngCount) {
        QStringList texts;
        for (int i = 1; i <= lngCount; ++i) texts << "Item" + QString::number(i);
        return texts;
    }
    ListView weekdays, months;
};

// ---- Combo boxes ----

struct Combo_Case {
    const char* strText;
    int lngIndex;
};

class FindComboBoxItemTest : public ::testing::TestWithParam<Combo_Case> {};

TEST_P(FindComboBoxItemTest, FirstExactMatchOrElseZero) {
    QComboBox combo;
    combo.addItems({"All Users", "alice", "Bob", "bob", "Bob"});
    EXPECT_EQ(Find_ComboBox_Item(combo, GetParam().strText), GetParam().lngIndex);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindComboBoxItemTest,
                         ::testing::Values(Combo_Case{"All Users", 0}, Combo_Case{"nobody", 0}, Combo_Case{"", 0},
                                           Combo_Case{"alice", 1}, Combo_Case{"Bob", 2}, Combo_Case{"bob", 3},
                                           Combo_Case{"BOB", 0}, Combo_Case{"alice ", 0}));

TEST(FindComboBoxItem, EmptyComboAnswersZero) {
    QComboBox combo;
    EXPECT_EQ(Find_ComboBox_Item(combo, "x"), 0);
}

// ---- List view searches ----

TEST_F(ListHelpersTest, ContainsTextIgnoresCaseAndFollowsEdits) {
    ListView list;
    list.Add_Many(QStringList{"Notepad.EXE", "O'Brien", "Ärger"});
    EXPECT_TRUE(ListView_Contains_Text("notepad.exe", list));
    EXPECT_TRUE(ListView_Contains_Text("NOTEPAD.EXE", list));
    EXPECT_TRUE(ListView_Contains_Text("o'brien", list));
    EXPECT_TRUE(ListView_Contains_Text("ärger", list));
    EXPECT_FALSE(ListView_Contains_Text("notepad", list));
    EXPECT_FALSE(ListView_Contains_Text("", list));
    list.Set_Text(1, "wordpad.exe");
    EXPECT_FALSE(ListView_Contains_Text("notepad.exe", list));
    EXPECT_TRUE(ListView_Contains_Text("WordPad.exe", list));
    list.Remove(2);
    EXPECT_FALSE(ListView_Contains_Text("O'Brien", list));
    EXPECT_TRUE(modDBFunctions::ListView_Contains_Text("ÄRGER", list));
}

TEST_F(ListHelpersTest, ContainsTextStaysFastOnABigList) {
    constexpr int COUNT = 100000;
    ListView list;
    list.Add_Many(Numbered(COUNT));
    QElapsedTimer timer;
    timer.start();
    int lngFound = 0;
    for (int i = 1; i <= COUNT; ++i) lngFound += ListView_Contains_Text("ITEM" + QString::number(i * 2), list);
    EXPECT_EQ(lngFound, COUNT / 2);
    // An item-by-item scan needs billions of comparisons here; the index needs milliseconds.
    EXPECT_LT(timer.elapsed(), 5000);
}

struct SubItem_Case {
    long lngValue;
    bool blnFound;
};

class SubItemValueTest : public ListHelpersTest, public ::testing::WithParamInterface<SubItem_Case> {};

TEST_P(SubItemValueTest, MatchesTheThirdColumnsTextExactly) {
    ListView list;
    list.Add("HTTP");
    list.Set_SubItem(1, 1, "8080");  // second column: not searched
    list.Set_SubItem(1, 2, "80");
    list.Add("FTP");
    list.Set_SubItem(2, 2, "021");
    list.Add("no sub-items");
    list.Add("NEWS");
    list.Set_SubItem(4, 2, "-5");
    EXPECT_EQ(ListView_Contains_SubItem_Value(GetParam().lngValue, list), GetParam().blnFound);
}

INSTANTIATE_TEST_SUITE_P(Cases, SubItemValueTest,
                         ::testing::Values(SubItem_Case{80, true}, SubItem_Case{8080, false}, SubItem_Case{21, false},
                                           SubItem_Case{-5, true}, SubItem_Case{0, false}));

// ---- Check lists ----

TEST_F(ListHelpersTest, CheckedItemsToTextAppendsShortNamesInListOrder) {
    Fill_Weekdays_In_ListView(weekdays);
    weekdays.Set_Checkboxes(true);
    weekdays.Set_Checked(7, true);
    weekdays.Set_Checked(2, true);
    QString strText;
    Checked_Items_To_Text(strText, weekdays);
    EXPECT_EQ(strText, "Mon, Sat");
    strText = "Jan";
    Checked_Items_To_Text(strText, weekdays);
    EXPECT_EQ(strText, "Jan, Mon, Sat");
}

struct Bits_Case {
    int lngItems;
    std::vector<long> ticked;
    long lngBefore;
    long lngAfter;
};

void PrintTo(const Bits_Case& c, std::ostream* os) {
    *os << c.lngItems << " items, " << c.ticked.size() << " ticked, from " << c.lngBefore;
}

class CheckedItemsToBitsTest : public ListHelpersTest, public ::testing::WithParamInterface<Bits_Case> {};

TEST_P(CheckedItemsToBitsTest, AddsTwoToThePositionMinusOneToTheValuePassedIn) {
    ListView list;
    list.Set_Checkboxes(true);
    list.Add_Many(Numbered(GetParam().lngItems));
    for (long i : GetParam().ticked) list.Set_Checked(i, true);
    long lngBits = GetParam().lngBefore;
    EXPECT_TRUE(Checked_Items_To_Bits(lngBits, list));
    EXPECT_EQ(lngBits, GetParam().lngAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckedItemsToBitsTest,
                         ::testing::Values(Bits_Case{7, {2, 3}, 0, 6}, Bits_Case{7, {2, 3}, 100, 106},
                                           Bits_Case{7, {}, 9, 9}, Bits_Case{12, {1, 12}, 0, 2049},
                                           Bits_Case{32, {32}, 0, BIT_31}, Bits_Case{32, {1, 32}, 0, BIT_31 + 1}));

TEST_F(ListHelpersTest, CheckedItemsToBitsPast32ItemsFailsAndKeepsTheValue) {
    ListView list;
    Fill(list, Numbered(33), {1, 33});
    long lngBits = 5;
    EXPECT_FALSE(Checked_Items_To_Bits(lngBits, list));
    EXPECT_EQ(lngBits, 5);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.startsWith("Overflow"));
}

TEST_F(ListHelpersTest, FillAddsTheFullNamesInFlagOrder) {
    Fill_Weekdays_In_ListView(weekdays);
    Fill_Months_In_ListView(months);
    QStringList days, monthNames;
    for (long i = 1; i <= weekdays.Count(); ++i) days << weekdays.Text(i);
    for (long i = 1; i <= months.Count(); ++i) monthNames << months.Text(i);
    EXPECT_EQ(days, (QStringList{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}));
    EXPECT_EQ(monthNames, (QStringList{"January", "February", "March", "April", "May", "June", "July", "August",
                                       "September", "October", "November", "December"}));
}

TEST_F(ListHelpersTest, CheckFromTextTicksMatchesAndUnticksNothing) {
    Fill_Weekdays_In_ListView(weekdays);
    weekdays.Set_Checkboxes(true);
    weekdays.Set_Checked(4, true);  // Wednesday, not in the text
    Check_Weekday_Items_From_Text("Mon, Fri, sat", weekdays);
    std::vector<bool> ticks;
    for (long i = 1; i <= 7; ++i) ticks.push_back(weekdays.Checked(i));
    EXPECT_EQ(ticks, (std::vector<bool>{false, true, false, true, false, true, false}));  // "sat": exact case only
}

TEST_F(ListHelpersTest, CheckFromTextOnAShortListIsReportedOnce) {
    ListView list;
    Fill(list, {"Sunday", "Monday"});
    Check_Weekday_Items_From_Text("Sun, Sat", list);
    EXPECT_TRUE(list.Checked(1));
    EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ListHelpersTest, UncheckAllClearsBothLists) {
    Fill_Weekdays_In_ListView(weekdays);
    Fill_Months_In_ListView(months);
    weekdays.Set_Checkboxes(true);
    months.Set_Checkboxes(true);
    Check_Weekday_Items_From_Text("Sun, Mon, Tue, Wed, Thu, Fri, Sat", weekdays);
    Check_Month_Items_From_Text("Jan, Jun, Dec", months);
    Uncheck_All_ListView_Items(weekdays, months);
    long lngWeekdays = 0, lngMonths = 0;
    ASSERT_TRUE(Checked_Items_To_Bits(lngWeekdays, weekdays));
    ASSERT_TRUE(Checked_Items_To_Bits(lngMonths, months));
    EXPECT_EQ(lngWeekdays, 0);
    EXPECT_EQ(lngMonths, 0);
}

// Mask -> text -> ticks -> mask and text again, for every weekday and month mask.
TEST_F(ListHelpersTest, EveryScheduleMaskRoundTripsThroughTextAndTicks) {
    Fill_Weekdays_In_ListView(weekdays);
    Fill_Months_In_ListView(months);
    weekdays.Set_Checkboxes(true);
    months.Set_Checkboxes(true);
    const auto Round_Trip = [&](long lngMask, bool blnMonths) {
        ListView& list = blnMonths ? months : weekdays;
        QString strText;
        blnMonths ? Months_To_Text(lngMask, strText) : Weekdays_To_Text(lngMask, strText);
        Uncheck_All_ListView_Items(weekdays, months);
        blnMonths ? Check_Month_Items_From_Text(strText, list) : Check_Weekday_Items_From_Text(strText, list);
        long lngBits = 0;
        QString strBack;
        Checked_Items_To_Bits(lngBits, list);
        Checked_Items_To_Text(strBack, list);
        return lngBits == lngMask && strBack == strText;
    };
    int lngFailures = 0;
    for (long lngMask = 0; lngMask < 128; ++lngMask) lngFailures += !Round_Trip(lngMask, false);
    for (long lngMask = 0; lngMask < 4096; ++lngMask) lngFailures += !Round_Trip(lngMask, true);
    EXPECT_EQ(lngFailures, 0);
}

}  // namespace

// ---- Readable rows ----

namespace {

// Rows 1..5 of which 2 and 4 cannot be read (the second with another error): the
// readable rows are listed in order, an unreadable one hides no other row, and the
// first error alone is reported, once.
TEST_F(ListHelpersTest, ReadableRowsAreListedAndTheFirstUnreadableOneIsReportedOnce) {
    ListView list;
    const long lngPassedOver = List_Readable_Rows(list, 5, [](long r, platform::List_Item& item) {
        item.strText = "row" + QString::number(r);
        if (r == 2) throw Run_Time_Error(Err_No::Type_Mismatch, QStringLiteral("Type mismatch"));
        if (r == 4) throw Run_Time_Error(6, QStringLiteral("Overflow"));
        item.strTag = QString::number(r);
    });
    EXPECT_EQ(lngPassedOver, 2);
    ASSERT_EQ(list.Count(), 3);
    for (long i = 1; i <= 3; ++i) {
        EXPECT_EQ(list.Text(i), "row" + QString::number(2 * i - 1));
        EXPECT_EQ(list.Tag(i), QString::number(2 * i - 1));
    }
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.contains("Type mismatch")) << boxes[0].strText.toStdString();
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(List_Readable_Rows(list, 0, [](long, platform::List_Item&) {}), 0);
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
