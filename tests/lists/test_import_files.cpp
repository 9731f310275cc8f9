// Import files as they come from elsewhere: every line end, byte order marks, a
// one-byte code page, control characters, binary files and very long lines; and
// what is no list file at all (a folder, a device, a pipe, a file of gigabytes).
// Each case imports one file into the EXE blocker (fields trimmed and cut to 50) and
// checks what is stored, what is listed and the boxes shown.
#include "lists/frmEXEBlocker.h"
#include "services/ListTextFile.h"
#include "support/ConsoleFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <functional>
#include <sys/stat.h>

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
        // C1 control characters (U+0080 to U+009F) written as UTF-8; U+00A0 after them is
        // an ordinary character.
        {"C1ControlCharactersUtf8",
         "a.exe\r\nb\xC2\x80.exe\r\nc\xC2\x85.exe, d\xC2\x9F.exe\r\ne\xC2\xA0" "f.exe\r\n",
         {"a.exe", QString::fromUtf8("e\xC2\xA0" "f.exe")},
         "3 entries of the file held control characters and were not imported."},
        // The five bytes Windows-1252 leaves unassigned are C1 control characters there;
        // 0x80 and 0x9F beside them are the euro sign and a letter.
        {"C1ControlCharactersCodePage1252",
         "\x81" "a.exe\r\nb\x8D.exe\r\n\x8F\r\nc\x90.exe,\x9D\r\n\x80ok.exe\r\n\x9Fy.exe\r\n",
         {QString::fromUtf8("\xE2\x82\xAC" "ok.exe"), QString::fromUtf8("\xC5\xB8" "y.exe")},
         "5 entries of the file held control characters and were not imported."},
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

// What is no list file is refused before a byte of it is read: one box naming it, and
// nothing stored.
struct Not_A_List_Case {
    const char* strName;
    std::function<QString(const QString& strFolder)> make;  // gives the path to choose
    QString strBox;  // "%1" is the path
};

void PrintTo(const Not_A_List_Case& c, std::ostream* os) { *os << c.strName; }

const QString NOT_A_FILE = QStringLiteral("%1 is not a regular file. Nothing was imported.");
const QString TOO_LARGE = QStringLiteral("%1 is larger than 256 MB, more than any list holds. Nothing was imported.");

QString Sparse_File(const QString& strPath, qint64 lngSize) {
    QFile file(strPath);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    // Resizing an empty file allocates no block: the gigabytes take no room on disk.
    EXPECT_TRUE(file.resize(lngSize));
    return strPath;
}

const Not_A_List_Case NOT_A_LIST_CASES[] = {
    {"Folder",
     [](const QString& strFolder) {
         EXPECT_TRUE(QDir(strFolder).mkdir("lists.txt"));
         return strFolder + "/lists.txt";
     },
     NOT_A_FILE},
    {"EndlessDevice", [](const QString&) { return QStringLiteral("/dev/zero"); }, NOT_A_FILE},
    // Opening a pipe would wait for a writer that never comes.
    {"Pipe",
     [](const QString& strFolder) {
         const QString strPath = strFolder + "/pipe.txt";
         EXPECT_EQ(mkfifo(QFile::encodeName(strPath).constData(), 0600), 0);
         return strPath;
     },
     NOT_A_FILE},
    {"SparseFourGigabytes",
     [](const QString& strFolder) { return Sparse_File(strFolder + "/huge.txt", qint64(4) << 30); },
     TOO_LARGE},
    {"OneByteOverTheBound",
     [](const QString& strFolder) {
         return Sparse_File(strFolder + "/over.txt", MAX_LIST_FILE_BYTES + 1);
     },
     TOO_LARGE},
};

class NotAListFileTest : public test::Owner_Dialog_Test, public ::testing::WithParamInterface<Not_A_List_Case> {};

TEST_P(NotAListFileTest, IsRefusedWithOneBoxNamingItAndNothingIsStored) {
    const Not_A_List_Case& c = GetParam();
    Exec(QString("INSERT INTO EXE_TBL (EXE_NAME, COMPUTER_ID, USER_ID) VALUES ('kept.exe', 0, %1)").arg(m_lngUser));
    Open_Form<frmEXEBlocker>();
    const QString strPath = c.make(QFileInfo(Temp_Path("x")).absolutePath());
    fileDialog->Choose(strPath);
    QElapsedTimer timer;
    timer.start();
    Click("cmdImport");
    // Refused at once, not after reading gigabytes.
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(Stored("EXE_TBL", "EXE_NAME"), QStringList{"kept.exe"});
    EXPECT_EQ(Listed("lvwEXEBlocker"), QStringList{"kept.exe"});
    Expect_Box(c.strBox.arg(strPath), 48);
    EXPECT_TRUE(Enabled("cmdAdd"));
}

INSTANTIATE_TEST_SUITE_P(Files, NotAListFileTest, ::testing::ValuesIn(NOT_A_LIST_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

}  // namespace
