// The report list's compact rows, the list itself, and the streaming row reader of
// the settings database that fills it.
#include "database/modDB.h"
#include "platform/Controls.h"
#include "reporting/ReportList.h"
#include "reporting/clsHTML.h"
#include "support/Fixture.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>

using reporting::Report_List;
using reporting::Report_Rows;

namespace {

// ---------------------------------------------------------------- compact rows

struct Round_Trip_Case {
    const char* strName;
    QStringList cells;
    int lngCells;
    QStringList expected;
};

void PrintTo(const Round_Trip_Case& c, std::ostream* os) { *os << c.strName; }

class RoundTripTest : public ::testing::TestWithParam<Round_Trip_Case> {};

TEST_P(RoundTripTest, CellsComeBackAsStored) {
    const Round_Trip_Case& c = GetParam();
    // Rows appended from texts and from the same values' UTF-8 bytes.
    std::vector<QByteArray> utf8;
    for (const QString& strCell : c.cells) utf8.push_back(strCell.toUtf8());
    const std::vector<QByteArrayView> views(utf8.begin(), utf8.end());
    for (int lngWay = 0; lngWay < 2; ++lngWay) {
        Report_Rows rows;
        rows.Append({"before"}, 1);
        if (lngWay == 0) rows.Append(c.cells, c.lngCells);
        else rows.Append(views.data(), static_cast<int>(views.size()), c.lngCells);
        rows.Append({"after", "x"}, 2);
        ASSERT_EQ(rows.Count(), 3);
        ASSERT_EQ(rows.Cells(1), c.expected.size());
        for (int i = 0; i < c.expected.size(); ++i) EXPECT_EQ(rows.Text(1, i), c.expected[i]) << "cell " << i;
        EXPECT_EQ(rows.Text(1, c.lngCells), "") << "a cell past the row is empty";
        EXPECT_EQ(rows.Text(0, 0), "before");
        EXPECT_EQ(rows.Text(2, 1), "x");
    }
}

const QString LONG_TEXT = QString(70000, QChar(0x00E9)) + "end";  // two bytes a character, over 128 KiB

INSTANTIATE_TEST_SUITE_P(
    Rows, RoundTripTest,
    ::testing::Values(
        Round_Trip_Case{"Plain", {"http://a.example/x?q=1&r=2", "a.example", "browser.exe"}, 3,
                        {"http://a.example/x?q=1&r=2", "a.example", "browser.exe"}},
        Round_Trip_Case{"EmptyCellsAndBlanks", {"", "  ", ""}, 3, {"", "  ", ""}},
        Round_Trip_Case{"NonAscii", {QString::fromUtf8("Grüße \xE2\x98\x83 \xF0\x9D\x84\x9E"), "it's <b>"}, 2,
                        {QString::fromUtf8("Grüße \xE2\x98\x83 \xF0\x9D\x84\x9E"), "it's <b>"}},
        Round_Trip_Case{"MissingValuesAreEmpty", {"one"}, 3, {"one", "", ""}},
        Round_Trip_Case{"ExtraValuesAreCut", {"a", "b", "c", "d"}, 2, {"a", "b"}},
        Round_Trip_Case{"LongCellNeedsAWidePrefix", {LONG_TEXT, "tail"}, 2, {LONG_TEXT, "tail"}}),
    [](const auto& info) { return std::string(info.param.strName); });

TEST(ReportRowsTest, ManyRowsSpanBlocksAndTruncateAndAppendKeepEveryRowIntact) {
    // 120,000 rows of about 60 bytes need two blocks; one giant row gets a block of its own.
    const auto row = [](int i) { return QStringList{QString("http://host%1.example/page").arg(i), QString::number(i)}; };
    Report_Rows rows;
    for (int i = 0; i < 120000; ++i) rows.Append(row(i), 2);
    const QString strGiant(5 << 20, QLatin1Char('g'));
    rows.Append({strGiant}, 1);
    rows.Append(row(-1), 2);
    ASSERT_EQ(rows.Count(), 120002);
    for (int i : {0, 1, 69999, 70000, 119999}) {
        EXPECT_EQ(rows.Text(i, 0), row(i)[0]);
        EXPECT_EQ(rows.Text(i, 1), row(i)[1]);
    }
    EXPECT_EQ(rows.Utf8(120000, 0).size(), strGiant.size());
    EXPECT_EQ(rows.Text(120001, 1), "-1");

    // Cut back into the middle of a block, then write again behind the kept rows.
    rows.Truncate(70001);
    ASSERT_EQ(rows.Count(), 70001);
    rows.Append({"new"}, 1);
    EXPECT_EQ(rows.Text(70000, 0), row(70000)[0]);
    EXPECT_EQ(rows.Text(70001, 0), "new");

    // Moving rows behind others renumbers them; the source ends empty.
    Report_Rows head;
    head.Append({"h0"}, 1);
    head.Append(std::move(rows));
    EXPECT_EQ(rows.Count(), 0);
    head.Append({"last"}, 1);
    ASSERT_EQ(head.Count(), 70004);
    EXPECT_EQ(head.Text(0, 0), "h0");
    EXPECT_EQ(head.Text(1, 0), row(0)[0]);
    EXPECT_EQ(head.Text(70002, 0), "new");
    EXPECT_EQ(head.Text(70003, 0), "last");
    head.Truncate(0);
    EXPECT_EQ(head.Count(), 0);
    head.Append({"again"}, 1);
    EXPECT_EQ(head.Text(0, 0), "again");
}

// ---------------------------------------------------------------- the list

class ReportListTest : public test::Dv_Test {
protected:
    Report_List list;
};

TEST_F(ReportListTest, HeadingRowsCarryKeysAndBoldDataRowsArePlainAndRemovalKeepsTheHeadings) {
    list.Add_Column("Url", 3000);
    list.Add_Column("Count", 1000);
    QAbstractItemModelTester tester(list.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(list.Add({"TITLE"}, "h0", true), 1);
    list.Add({"Domain Visited", "Count"}, "Url", true);
    Report_Rows rows;
    for (int i = 0; i < 5; ++i) rows.Append({QString("d%1").arg(i), QString::number(i)}, 2);
    list.Add_Many(std::move(rows));
    list.Add({QString()});
    ASSERT_EQ(list.Count(), 8);
    EXPECT_EQ(list.Text(3), "d0");
    EXPECT_EQ(list.SubItem(7, 1), "4");
    EXPECT_EQ(list.SubItem(1, 1), "") << "a heading row has no sub-items";
    EXPECT_TRUE(list.Bold(1));
    EXPECT_FALSE(list.Bold(3));
    EXPECT_EQ(list.Key(2), "Url");
    EXPECT_EQ(list.Find_Key("h0"), 1);
    EXPECT_EQ(list.model()->data(list.model()->index(2, 0)).toString(), "d0");
    EXPECT_TRUE(list.model()->data(list.model()->index(0, 0), Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(list.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "");

    try {
        list.Add({"again"}, "h0");
        ADD_FAILURE() << "a used key must be refused";
    } catch (const Run_Time_Error& e) {
        EXPECT_EQ(e.Number, 35602);
    }

    list.Remove_From(3);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Text(2), "Domain Visited");
    EXPECT_EQ(list.Find_Key("Url"), 2);
    list.Add({"after"}, "t9");
    EXPECT_EQ(list.Text(3), "after");
    EXPECT_FALSE(list.Bold(3));
    list.Remove_From(9);  // past the end: nothing
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(ReportListTest, ColumnWidthsAreTwipsAndADraggedColumnKeepsItsNewWidth) {
    list.Add_Column("A", 1500);
    list.Add_Column("B", 3000);
    EXPECT_EQ(list.header()->sectionSize(1), platform::Twips_To_Pixels(3000, &list));
    list.header()->resizeSection(1, 300);  // as a drag of the divider does
    EXPECT_DOUBLE_EQ(list.Column_Width(1), 1500);
    EXPECT_NEAR(list.Column_Width(2), platform::Pixels_To_Twips(300, &list), 0.01);
    list.Set_Column_Width(1, 777.5);
    EXPECT_DOUBLE_EQ(list.Column_Width(1), 777.5) << "a width set by code is kept exactly";
    EXPECT_EQ(list.Column_Key(2), "B");
    EXPECT_THROW(list.Column_Width(3), Run_Time_Error);
}

// ---- the tool tip of a cut cell

struct Tool_Tip_Case {
    const char* strName;
    QString strCell;
};

void PrintTo(const Tool_Tip_Case& c, std::ostream* os) { *os << c.strName; }

class ToolTipTest : public ReportListTest, public ::testing::WithParamInterface<Tool_Tip_Case> {
protected:
    void TearDown() override {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return Shown_Label() == nullptr; }, 5000));
        ReportListTest::TearDown();
    }
    // The label a tool tip shows, when one is showing.
    static QLabel* Shown_Label() {
        for (QWidget* pWidget : QApplication::topLevelWidgets())
            if (pWidget->objectName() == QLatin1String("qtooltip_label") && pWidget->isVisible())
                return qobject_cast<QLabel*>(pWidget);
        return nullptr;
    }
    // What the administrator reads in the label, and whether it rendered an image or a
    // heading, whichever way the label takes its text.
    struct Shown {
        QString strText;
        bool blnImage = false, blnHeading = false;
    };
    static Shown Read(const QLabel& label) {
        const bool blnRich = label.textFormat() == Qt::RichText ||
                             (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
        if (!blnRich) return {label.text()};
        QTextDocument doc;
        doc.setHtml(label.text());
        Shown shown{doc.toPlainText()};
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            if (block.blockFormat().headingLevel() > 0) shown.blnHeading = true;
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat()) shown.blnImage = true;
        }
        return shown;
    }
    // Rests the mouse on the item's cell of the column.
    void Rest_On(long lngIndex, int lngColumn) {
        const QRect cell = list.visualRect(list.model()->index(static_cast<int>(lngIndex - 1), lngColumn - 1));
        ASSERT_TRUE(cell.isValid());
        QHelpEvent event(QEvent::ToolTip, cell.center(), list.viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(list.viewport(), &event);
    }
};

TEST_P(ToolTipTest, ACutCellShowsItsWholeTextAsPlainTextAndAWholeCellNone) {
    const QString strCell = GetParam().strCell;
    list.Add_Column("Url", 1200);
    list.Add_Column("Count", 1200);
    list.Add({strCell, "short"});
    list.resize(400, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    ASSERT_TRUE(list.Cell_Is_Cut(1, 1));
    ASSERT_FALSE(list.Cell_Is_Cut(1, 2));

    Rest_On(1, 1);
    QLabel* pLabel = Shown_Label();
    ASSERT_NE(pLabel, nullptr) << "a cut cell shows a tool tip";
    const Shown shown = Read(*pLabel);
    EXPECT_EQ(shown.strText, strCell) << "the label reads exactly the cell's text";
    EXPECT_FALSE(shown.blnImage) << "no image is loaded from a cell's text";
    EXPECT_FALSE(shown.blnHeading);

    Rest_On(1, 2);
    EXPECT_TRUE(QTest::qWaitFor([] { return Shown_Label() == nullptr; }, 5000)) << "a cell shown whole has no tool tip";
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ToolTipTest,
    ::testing::Values(
        Tool_Tip_Case{"MarkupWithALocalImage",
                      "http://x.example/<h1>Big</h1><img src=\"file:///etc/hostname\">/page.html?a=1&b=2"},
        Tool_Tip_Case{"EntitiesStayLiteral", "http://x.example/&lt;b&gt;&amp;&#65;/<b>bold</b>/and/a/long/tail"},
        Tool_Tip_Case{"BlanksAndALineBreakStay", "C:\\Program Files\\a    b\\tool.exe -x\nsecond line <i>kept</i>"},
        Tool_Tip_Case{"PlainTextThatLooksLikeNoMarkup", "www.site1.example/path/page1.html?q=1 and a long tail"}),
    [](const auto& info) { return std::string(info.param.strName); });

// ---------------------------------------------------------------- streaming reader

class ForEachRowTest : public test::Dv_Test {
protected:
    modDB::Db_Connection Open() { return modDB::Open_Database(Database_File()); }
};

TEST_F(ForEachRowTest, HandsEveryRowOfEveryStatementInOrderWithNullAsEmpty) {
    Exec("INSERT INTO URL_RPT_TBL (USER_ID, URL, SEND_BITS) VALUES (5, 'a', 10), (5, NULL, 20), (6, 'c', NULL)");
    modDB::Db_Connection hDb = Open();
    std::vector<QStringList> seen;
    EXPECT_TRUE(modDB::For_Each_Row(hDb,
                                    "SELECT URL, SEND_BITS FROM URL_RPT_TBL WHERE USER_ID=5 ORDER BY RPT_ID; "
                                    "SELECT USER_ID FROM URL_RPT_TBL WHERE USER_ID=6",
                                    [&](const QStringList& row) { seen.push_back(row); }));
    const std::vector<QStringList> expected = {{"a", "10"}, {"", "20"}, {"6"}};
    EXPECT_EQ(seen, expected);
    // The same rows as UTF-8 bytes.
    seen.clear();
    EXPECT_TRUE(modDB::For_Each_Row_Utf8(hDb,
                                         "SELECT URL, SEND_BITS FROM URL_RPT_TBL WHERE USER_ID=5 ORDER BY RPT_ID; "
                                         "SELECT USER_ID FROM URL_RPT_TBL WHERE USER_ID=6",
                                         [&](const QByteArrayView* values, int lngValues) {
                                             QStringList row;
                                             for (int c = 0; c < lngValues; ++c) row << QString::fromUtf8(values[c]);
                                             seen.push_back(row);
                                         }));
    EXPECT_EQ(seen, expected);

    int lngCalls = 0;
    EXPECT_TRUE(modDB::For_Each_Row(hDb, "SELECT URL FROM URL_RPT_TBL WHERE USER_ID=99", [&](const QStringList&) { ++lngCalls; }));
    EXPECT_EQ(lngCalls, 0);
}

TEST_F(ForEachRowTest, AnEventStoredInWindows1252IsListedAndExportedAsReadableUtf8) {
    // A program name written by a component of another code page, beside a UTF-8 one.
    Exec("INSERT INTO URL_RPT_TBL (USER_ID, URL, EXE_NAME) VALUES "
         "(5, 'a', CAST(X'636166E92E657865' AS TEXT)), (5, 'b', 'caf\u00e9.exe')");
    Report_Rows rows;
    {
        modDB::Db_Connection hDb = Open();
        ASSERT_TRUE(modDB::For_Each_Row_Utf8(hDb, "SELECT URL, EXE_NAME FROM URL_RPT_TBL WHERE USER_ID=5 ORDER BY RPT_ID",
                                             [&](const QByteArrayView* values, int lngValues) {
                                                 rows.Append(values, lngValues, 2);
                                             }));
    }
    Report_List list;
    list.Add_Column("Url", 1000);
    list.Add_Column("Program", 1000);
    list.Add_Many(std::move(rows));
    const QString strCafe = QString::fromUtf8("caf\u00e9.exe");
    EXPECT_EQ(list.SubItem(1, 1), strCafe);
    EXPECT_EQ(list.SubItem(2, 1), strCafe);
    const QString strFile = Temp_Path("report.html");
    ASSERT_TRUE(reporting::clsHTML().SaveListViewToFile(list, strFile, "Programs", "HTML", "host"));
    QFile file(strFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray html = file.readAll();
    ASSERT_TRUE(html.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(QByteArrayView(html).sliced(3).isValidUtf8());
    EXPECT_EQ(QString::fromUtf8(html).count(strCafe), 2);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ForEachRowTest, AFailedStatementIsReportedOnceAndAnEmptyConnectionSilently) {
    modDB::Db_Connection hDb = Open();
    EXPECT_FALSE(modDB::For_Each_Row(hDb, "SELECT NO_SUCH_COLUMN FROM URL_RPT_TBL", [](const QStringList&) {}));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains("NO_SUCH_COLUMN")) << boxes[0].strText.toStdString();
    EXPECT_TRUE(Log_Lines().last().startsWith("E: "));

    modDB::Db_Connection hNone;
    EXPECT_FALSE(modDB::For_Each_Row(hNone, "SELECT 1", [](const QStringList&) {}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ForEachRowTest, AReadersErrorEndsTheReadingIsReportedOnceAndFreesTheStatement) {
    Exec("INSERT INTO URL_RPT_TBL (USER_ID, URL) VALUES (1, 'a'), (1, 'b'), (1, 'c')");
    modDB::Db_Connection hDb = Open();
    int lngCalls = 0;
    EXPECT_FALSE(modDB::For_Each_Row(hDb, "SELECT URL FROM URL_RPT_TBL", [&](const QStringList&) {
        if (++lngCalls == 2) throw Run_Time_Error(9, "Subscript out of range");
    }));
    EXPECT_EQ(lngCalls, 2);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.startsWith("Subscript out of range: ErrNo=9"));
    // The statement was finalized: the same connection can still write and read.
    modDB::Query_Result arrResult;
    long lngRows = 0;
    EXPECT_TRUE(modDB::Run_Query(hDb, "DELETE FROM URL_RPT_TBL", arrResult, lngRows));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM URL_RPT_TBL"), "0");
}
// A report's file cut short while the report reads it (as on shared storage that fails)
// is a read error, reported once with the database's text; it never ends the console.
// The file is made to look bigger than the report connection's page cache (a sparse
// tail the header does not count), as a report of a big log would be.
TEST_F(ForEachRowTest, AFileCutShortUnderAReportIsReportedOnceEvenWhenBiggerThanThePageCache) {
    Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
         "INSERT INTO URL_RPT_TBL (USER_ID, URL) SELECT 1, 'http://www.site.example/a/long/path/page' || i FROM n");
    {
        QFile file(Database_File());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        // No database size in the header: SQLite then takes the file's size.
        ASSERT_TRUE(file.seek(28));
        ASSERT_EQ(file.write(QByteArray(4, '\0')), 4);
        ASSERT_TRUE(file.resize(qint64(300) << 20));
    }
    modDB::Db_Connection hDb = Open();
    modDB::Prepare_For_Many_Rows(hDb);
    EXPECT_EQ(Query("PRAGMA page_count").front().front().toLongLong() * 4096, qint64(300) << 20);
    long lngRows = 0;
    const bool blnRead = modDB::For_Each_Row_Utf8(hDb, "SELECT URL FROM URL_RPT_TBL ORDER BY RPT_ID",
                                                  [&](const QByteArrayView*, int) {
                                                      if (++lngRows == 1) QFile::resize(Database_File(), 8192);
                                                  });
    EXPECT_FALSE(blnRead);
    EXPECT_LT(lngRows, 3000);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains("database disk image is malformed")) << boxes[0].strText.toStdString();
}

}  // namespace
