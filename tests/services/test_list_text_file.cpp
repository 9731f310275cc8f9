#include "services/ListTextFile.h"
#include "support/Fixture.h"

#include <QFile>

namespace {

struct Split_Case {
    const char* strLine;
    QStringList fields;
};

void PrintTo(const Split_Case& c, std::ostream* os) { *os << '"' << c.strLine << '"'; }

class SplitTest : public ::testing::TestWithParam<Split_Case> {};

TEST_P(SplitTest, FieldsOfOneLine) {
    QStringList fields;
    Split_List_Text_Line(GetParam().strLine, fields);
    EXPECT_EQ(fields, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTest,
    ::testing::Values(Split_Case{"abc", {"abc"}}, Split_Case{"   abc", {"abc"}}, Split_Case{"a,b", {"a", "b"}},
                      Split_Case{"a, b", {"a", "b"}}, Split_Case{"\"a,b\"", {"a,b"}},
                      Split_Case{"\"x y\" , z", {"x y", "z"}}, Split_Case{"", {}}, Split_Case{"a,", {"a", ""}},
                      Split_Case{"\"q\"", {"q"}}, Split_Case{"two words", {"two words"}}));

class ListTextFileTest : public test::Dv_Test {
protected:
    QString Write_Bytes(const QByteArray& bytes) {
        const QString strPath = Temp_Path("list.txt");
        QFile file(strPath);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return strPath;
    }
};

TEST_F(ListTextFileTest, ReadsCrLfLfAndALastLineWithoutEnd) {
    QStringList fields;
    QString strError;
    ASSERT_TRUE(Read_List_Text_File(Write_Bytes("one\r\ntwo\nthree,four\r\n\r\n\"five\""), fields, strError));
    EXPECT_EQ(fields, (QStringList{"one", "two", "three", "four", "five"}));
}

TEST_F(ListTextFileTest, MissingFileIsAnErrorWithAReason) {
    QStringList fields{"old"};
    QString strError;
    EXPECT_FALSE(Read_List_Text_File(Temp_Path("nothing.txt"), fields, strError));
    EXPECT_FALSE(strError.isEmpty());
    EXPECT_TRUE(fields.isEmpty());
}

TEST_F(ListTextFileTest, WriteReplacesTheFileWithCrLfLines) {
    const QString strPath = Write_Bytes("old content that is longer\r\n");
    QString strError;
    ASSERT_TRUE(Write_List_Text_File(strPath, {"a.com", "b.org"}, strError));
    QFile file(strPath);
    file.open(QIODevice::ReadOnly);
    EXPECT_EQ(file.readAll(), QByteArray("a.com\r\nb.org\r\n"));
    QStringList fields;
    ASSERT_TRUE(Read_List_Text_File(strPath, fields, strError));
    EXPECT_EQ(fields, (QStringList{"a.com", "b.org"}));
}

TEST_F(ListTextFileTest, WriteIntoAMissingFolderFailsAndWritesNothing) {
    QString strError;
    EXPECT_FALSE(Write_List_Text_File(Temp_Path("no/folder/x.txt"), {"a"}, strError));
    EXPECT_FALSE(strError.isEmpty());
}

}  // namespace
