// Import files as they come from elsewhere: every line end, byte order marks, a
// one-byte code page, control characters, binary files and very long lines. Each
// case imports one file into the EXE blocker (fields trimmed and cut to 50) and
// checks what is stored, what is listed and the boxes shown.
#include "lists/frmEXEBlocker.h"
#include "support/ConsoleFixture.h"

#include <QStringEncoder>

namespace {

QByteArray Utf16(QStringConverter::Encoding encoding, const QString& strText) {
    QStringEncoder encoder(encoding);
    return encoder.encode(strText);
}

const QString SMILE = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two UTF-16 units

struct Import_Case {
    const char* strName;
    QByteArray bytes;
    QStringList entries;  // stored and listed, in order
    QString strBox;       // the one box shown ("%1" is the file's path), or none
};

void PrintTo(const Import_Case& c, std::ostream* os) { *os << c.strName; }

const QString NOT_TEXT = QStringLiteral("%1 is not a text file. Nothing was imported.");

std::vector<Import_Case> Cases() {
    const QString strCafe = QString::fromUtf8("caf\xC3\xA9.exe");
    return {
        {"CR", "a.exe\rb.exe\rc.exe", {"a.exe", "b.exe", "c.exe"}, {}},
        {"LF", "a.exe\nb.exe\n", {"a.exe", "b.exe"}, {}},
        {"CRLF", "a.exe\r\nb.exe\r\n", {"a.exe", "b.exe"}, {}},
        {"Mixed", "a.exe\r\nb.exe\nc.exe\rd.exe\r\n\r\n\n\re.exe", {"a.exe", "b.exe", "c.exe", "d.exe", "e.exe"}, {}},
        {"BomUtf8", "\xEF\xBB\xBF" "caf\xC3\xA9.exe\r\nb.exe", {strCafe, "b.exe"}, {}},
        {"BomUtf16LE", "\xFF\xFE" + Utf16(QStringConverter::Utf16LE, strCafe + "\r\n" + SMILE + ".exe\r\n"),
         {strCafe, SMILE + ".exe"}, {}},
        {"BomUtf16BE", "\xFE\xFF" + Utf16(QStringConverter::Utf16BE, strCafe + "\n" + SMILE + ".exe"),
         {strCafe, SMILE + ".exe"}, {}},
        // Not valid UTF-8: Windows-1252, where 0x80 is the euro sign (Latin-1 has a control there).
        {"CodePage1252", "caf\xE9.exe\r\n\x80uro.exe\r\n\x93q\x94.exe", {strCafe, QString::fromUtf8("\xE2\x82\xAC" "uro.exe"),
         QString::fromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D.exe")}, {}},
        {"ControlCharacters", "a.exe\r\nb\x01.exe, c.exe\r\nd\x7F.exe\r\n\te.exe\r\n", {"a.exe", "c.exe", "e.exe"},
         "2 entries of the file held control characters and were not imported."},
        {"OneControlCharacter", "a.exe,\x1B[0m\r\n", {"a.exe"},
         "1 entry of the file held a control character and was not imported."},
        {"Nul", QByteArray("a.exe\r\nb\0.exe\r\n", 14), {}, NOT_TEXT},
        {"Utf16WithoutBom", Utf16(QStringConverter::Utf16LE, "a.exe\r\nb.exe\r\n"), {}, NOT_TEXT},
        {"Binary", QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x0B\x0C\x0E\x0F" "ab\r\n\x10\x11\x12\x13\x14\x15\x16"), {},
         NOT_TEXT},
        {"MegabyteLine", QByteArray(1 << 20, 'x') + "\r\nb.exe", {QString(50, 'x'), "b.exe"}, {}},
        // The cut at 50 would fall between the two halves of a character: it is left out whole.
        {"MegabyteLineOfWideCharacters", QByteArray(49, 'x') + SMILE.toUtf8().repeated(1 << 18),
         {QString(49, 'x')}, {}},
        {"Empty", "", {}, {}},
    };
}

class ImportFileTest : public test::Owner_Dialog_Test, public ::testing::WithParamInterface<Import_Case> {};

TEST_P(ImportFileTest, StoresListsAndReportsAsTheFileDeserves) {
    const Import_Case& c = GetParam();
    Exec(QString("INSERT INTO EXE_TBL (EXE_NAME, COMPUTER_ID, USER_ID) VALUES ('kept.exe', 0, %1)").arg(m_lngUser));
    Open_Form<frmEXEBlocker>();
    const QString strPath = Write_File(c.bytes);
    fileDialog->Choose(strPath);
    Click("cmdImport");
    const QStringList expected = QStringList{"kept.exe"} + c.entries;
    EXPECT_EQ(Stored("EXE_TBL", "EXE_NAME"), expected);
    EXPECT_EQ(Listed("lvwEXEBlocker"), expected);
    if (c.strBox.isEmpty()) EXPECT_TRUE(Boxes().empty());
    else Expect_Box(c.strBox.contains("%1") ? c.strBox.arg(strPath) : c.strBox, 48);
    EXPECT_TRUE(Enabled("cmdAdd"));
}

INSTANTIATE_TEST_SUITE_P(Files, ImportFileTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.strName); });

}  // namespace
