// What belongs to one member of the list editor family: the window blocker, the
// e-mail filter's two lists and the EXE blocker with its browse routine.
#include "console/frmMain.h"
#include "lists/frmEXEBlocker.h"
#include "lists/frmEmailFilter.h"
#include "lists/frmWindowBlocker.h"
#include "services/modGlobal.h"
#include "support/ConsoleFixture.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest/QTest>

using platform::ListView;

namespace {

class MemberTest : public test::Owner_Dialog_Test {
protected:
    template <class Form>
    Form& Open() {
        return Open_Form<Form>();
    }
    void Add(const char* strBox, const char* strButton, const QString& strText) {
        Find<QLineEdit>(strBox)->setText(strText);
        Click(strButton);
    }
    void Insert_Rows(const QString& strTable, const QString& strColumn, const QStringList& values) {
        QString strSQL = "BEGIN;";
        for (const QString& strValue : values)
            strSQL += QString("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES ('%3', 0, %4);")
                          .arg(strTable, strColumn, QString(strValue).replace("'", "''"))
                          .arg(m_lngUser);
        Exec(strSQL + "COMMIT;");
    }
    QString Feature_Bits() { return User_Column("FEATURE_BITS"); }
};

// ---------------------------------------------------------------- window blocker

using WindowBlockerTest = MemberTest;

TEST_F(WindowBlockerTest, AddTrimsTheTitleAndAcceptsAnyTextOnceTheEmptyOneToo) {
    struct Case {
        const char* strTyped;
        const char* strMessage;  // nullptr: stored
    };
    const Case cases[] = {
        {"Untitled - Notepad", nullptr},
        {"   Calculator  ", nullptr},
        {"", nullptr},
        {"   ", "Window Title already exist!."},
        {"CALCULATOR", "Window Title already exist!."},
        {"#!%&*", nullptr},
    };
    Open<frmWindowBlocker>();
    EXPECT_EQ(Find<QLineEdit>("txtWindowBlocker")->maxLength(), 30);
    for (const Case& c : cases) {
        Add("txtWindowBlocker", "cmdAdd", c.strTyped);
        auto boxes = Boxes();
        if (c.strMessage) {
            ASSERT_EQ(boxes.size(), 1u) << c.strTyped;
            EXPECT_EQ(boxes[0].strText, c.strMessage);
            EXPECT_EQ(boxes[0].lngStyle, 48);
        } else {
            EXPECT_TRUE(boxes.empty()) << c.strTyped;
        }
        EXPECT_EQ(Find<QLineEdit>("txtWindowBlocker")->text(), "");
    }
    const QStringList expected{"Untitled - Notepad", "Calculator", "", "#!%&*"};
    EXPECT_EQ(Stored("WINDOW_TBL", "WINDOW_TITLE"), expected);
    EXPECT_EQ(Listed("lvwWindowBlocker"), expected);
}

TEST_F(WindowBlockerTest, ImportSplitsAtCommasCutsToThirtyAndChecksNothing) {
    Insert_Rows("WINDOW_TBL", "WINDOW_TITLE", {"Calculator"});
    Open<frmWindowBlocker>();
    fileDialog->Choose(Write_File(("Calculator, Notepad\r\n   " + QString(40, 'T') + "  \r\nMy  Window\r\n").toLatin1()));
    Click("cmdImport");
    ASSERT_EQ(fileDialog->opened.size(), 1u);
    EXPECT_EQ(fileDialog->opened[0].DialogTitle, "Import Blocked Window Titles from a text file");
    // The title already stored is ignored by the table and not listed a second time.
    const QStringList expected{"Calculator", "Notepad", QString(30, 'T'), "My  Window"};
    EXPECT_EQ(Listed("lvwWindowBlocker"), expected);
    EXPECT_EQ(Stored("WINDOW_TBL", "WINDOW_TITLE"), expected);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(WindowBlockerTest, ExportNamesTheWindowListAndAFailedOneStaysSilent) {
    Insert_Rows("WINDOW_TBL", "WINDOW_TITLE", {"Calculator", "Untitled - Notepad"});
    Open<frmWindowBlocker>();
    const QString strPath = Temp_Path("titles.txt");
    fileDialog->Choose(strPath);
    Click("cmdExport");
    ASSERT_EQ(fileDialog->saved.size(), 1u);
    EXPECT_EQ(fileDialog->saved[0].DialogTitle, "Export Blocked Window Titles as text file");
    EXPECT_EQ(fileDialog->saved[0].FileName, "alice_Blocked_Window_List");
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Calculator\r\nUntitled - Notepad\r\n"));
    // A folder in place of the file: the export fails and says nothing.
    fileDialog->Choose(Temp_Path(""));
    Click("cmdExport");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(Log_Lines().filter("E: ").isEmpty());
}

TEST_F(WindowBlockerTest, WithTwentyFiveTitlesAnotherLeavesTheColumnAsItIs) {
    QStringList titles;
    for (int i = 1; i <= 25; ++i) titles << QString("Title %1").arg(i);
    Insert_Rows("WINDOW_TBL", "WINDOW_TITLE", titles);
    Open<frmWindowBlocker>();
    auto* list = Find<ListView>("lvwWindowBlocker");
    const double dblNarrow = list->Column_Width(1);
    EXPECT_NEAR(dblNarrow, lists::List_Inner_Width_Twips(*list) - 20 - 250, 16);
    Add("txtWindowBlocker", "cmdAdd", "Title 26");
    EXPECT_DOUBLE_EQ(list->Column_Width(1), dblNarrow);
}

TEST_F(WindowBlockerTest, TooltipsAndCopySettingsKey) {
    QString strKey;
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        strKey = strFeature;
        return Copied_Settings();
    });
    Open<frmWindowBlocker>();
    EXPECT_EQ(Find<QWidget>("txtWindowBlocker")->toolTip(), "Provides a space for you to type Window Title");
    EXPECT_EQ(Find<QWidget>("cmdExport")->toolTip(), "Export Blocked Window Titles to a file");
    EXPECT_EQ(Find<QWidget>("cmdImport")->toolTip(), "Import Blocked Window Titles from a file");
    EXPECT_EQ(Find<QWidget>("chkEnableWindowBlocker")->toolTip(), "Click to enable or disable the Window Blocker");
    EXPECT_EQ(Find<QWidget>("cmdCopySettings")->toolTip(), "Copy Settings");
    Click("cmdCopySettings");
    lists::Set_Copy_Settings_Opener(nullptr);
    EXPECT_EQ(strKey, "Window Blocker");
}

// ---------------------------------------------------------------- e-mail filter

class EmailFilterTest : public MemberTest {
protected:
    QComboBox* Combo() const { return Find<QComboBox>("cboEmailFilter"); }
    QCheckBox* Enable() const { return Find<QCheckBox>("chkEnableFilter"); }
    bool Shown(const char* strFrame) const { return Find<QWidget>(strFrame)->isVisible(); }
};

TEST_F(EmailFilterTest, TheComboShowsOneListAndTheEnableBoxShowsThatListsBit) {
    Exec(QString("UPDATE USER_TBL SET FEATURE_BITS=64 WHERE USER_ID=%1").arg(m_lngUser));
    Open<frmEmailFilter>();
    EXPECT_EQ(Combo()->count(), 2);
    EXPECT_EQ(Combo()->itemText(0), "SMTP Filter");
    EXPECT_EQ(Combo()->itemText(1), "POP3 Filter");
    EXPECT_FALSE(Combo()->isEditable());
    EXPECT_TRUE(Shown("fraSMTPFilter"));
    EXPECT_FALSE(Shown("fraPOP3Filter"));
    EXPECT_EQ(Enable()->text(), "Enable SMTP Filter");
    EXPECT_FALSE(Enable()->isChecked());
    Combo()->setCurrentIndex(1);
    EXPECT_TRUE(Shown("fraPOP3Filter"));
    EXPECT_FALSE(Shown("fraSMTPFilter"));
    EXPECT_EQ(Enable()->text(), "Enable POP3 Filter");
    EXPECT_TRUE(Enable()->isChecked());
    Combo()->setCurrentIndex(0);
    EXPECT_FALSE(Enable()->isChecked());
    // Switching asks nothing and writes nothing; the tool tip names the list shown at load.
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Feature_Bits(), "64");
    EXPECT_EQ(Enable()->toolTip(), "Enable/Disable the SMTP Filter");
}

TEST_F(EmailFilterTest, EachListsEnableBoxWritesOnlyItsOwnBit) {
    Exec(QString("UPDATE USER_TBL SET FEATURE_BITS=8 WHERE USER_ID=%1").arg(m_lngUser));
    Open<frmEmailFilter>();
    Combo()->setCurrentIndex(1);
    messageBox->Answer(platform::vbYes);
    Enable()->click();
    EXPECT_EQ(Feature_Bits(), "72");
    Combo()->setCurrentIndex(0);
    messageBox->Answer(platform::vbYes);
    Enable()->click();
    EXPECT_EQ(Feature_Bits(), "104");
    messageBox->Answer(platform::vbYes);
    Enable()->click();
    EXPECT_EQ(Feature_Bits(), "72");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to enable the POP3 Filter?");
    EXPECT_EQ(boxes[1].strText, "Are you sure you want to enable the SMTP Filter?");
    EXPECT_EQ(boxes[2].strText, "Are you sure you want to disable the SMTP Filter?");
}

struct Address_Case {
    const char* strBox;
    const char* strAdd;
    const char* strInvalid;
};

TEST_F(EmailFilterTest, AddRefusesAnEmptyOrBlankEntryWithTheListsMessage) {
    const Address_Case cases[] = {
        {"txtSMTPEmails", "cmdSMTPAdd", "Please enter a valid SMTP EmailAddress!."},
        {"txtPOP3Emails", "cmdPOP3Add", "Please enter a valid POP3 EmailAddress!."},
    };
    Open<frmEmailFilter>();
    for (const Address_Case& c : cases) {
        EXPECT_EQ(Find<QLineEdit>(c.strBox)->maxLength(), 50);
        for (const char* strTyped : {"", "a b@example.com", " @example.com"}) {
            Add(c.strBox, c.strAdd, strTyped);
            auto boxes = Boxes();
            ASSERT_EQ(boxes.size(), 1u) << strTyped;
            EXPECT_EQ(boxes[0].strText, c.strInvalid);
            EXPECT_EQ(boxes[0].lngStyle, 48);
            EXPECT_EQ(Find<QLineEdit>(c.strBox)->text(), "");
        }
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM SMTP_TBL") + Scalar("SELECT COUNT(*) FROM POP3_TBL"), "00");
}

TEST_F(EmailFilterTest, OneAddressMayStandInBothLists) {
    Open<frmEmailFilter>();
    Add("txtSMTPEmails", "cmdSMTPAdd", "Someone@Example.com");
    Add("txtPOP3Emails", "cmdPOP3Add", "someone@example.com");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored("SMTP_TBL", "SMTP_EMAIL"), QStringList{"Someone@Example.com"});
    EXPECT_EQ(Stored("POP3_TBL", "POP3_EMAIL"), QStringList{"someone@example.com"});
}

TEST_F(EmailFilterTest, EditRefusesABlankWithTheListsMessageAndKeepsTheStoredRow) {
    const struct {
        const char* strList;
        const char* strEdit;
        const char* strTable;
        const char* strColumn;
        const char* strInvalid;
    } cases[] = {
        {"lvwSMTPFilter", "cmdSMTPEdit", "SMTP_TBL", "SMTP_EMAIL", "Please enter a valid SMTP Email Address!."},
        {"lvwPOP3Filter", "cmdPOP3Edit", "POP3_TBL", "POP3_EMAIL", "Please enter a valid POP3 Email Address!."},
    };
    for (const auto& c : cases) Insert_Rows(c.strTable, c.strColumn, {"a@example.com"});
    Open<frmEmailFilter>();
    for (const auto& c : cases) {
        Combo()->setCurrentIndex(QString(c.strList).contains("POP3") ? 1 : 0);
        ASSERT_TRUE(Edit_In_Place(c.strList, c.strEdit, 1, "a b@example.com"));
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, c.strInvalid);
        EXPECT_EQ(Listed(c.strList), QStringList{"a@example.com"});
        EXPECT_EQ(Stored(c.strTable, c.strColumn), QStringList{"a@example.com"});
    }
}

TEST_F(EmailFilterTest, ImportCutsToThirtyAndInsertsEveryFieldUnchecked) {
    Insert_Rows("POP3_TBL", "POP3_EMAIL", {"dup@example.com"});
    Open<frmEmailFilter>();
    Combo()->setCurrentIndex(1);
    const QString strLong = QString(28, 'a') + "@example.com";  // 40 characters
    fileDialog->Choose(Write_File(("  " + strLong + "\r\nin side@example.com\r\ndup@example.com\r\n").toLatin1()));
    Click("cmdPOP3Import");
    ASSERT_EQ(fileDialog->opened.size(), 1u);
    EXPECT_EQ(fileDialog->opened[0].DialogTitle, "Import Blocked POP3 Email Address from a text file");
    EXPECT_EQ(Listed("lvwPOP3Filter"), (QStringList{"dup@example.com", strLong.left(30), "in side@example.com"}));
    EXPECT_EQ(Stored("POP3_TBL", "POP3_EMAIL"), (QStringList{"dup@example.com", strLong.left(30), "in side@example.com"}));
    EXPECT_TRUE(Listed("lvwSMTPFilter").isEmpty());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(EmailFilterTest, ExportUsesTheListsOwnDialogTitleAndName) {
    Insert_Rows("SMTP_TBL", "SMTP_EMAIL", {"s@example.com"});
    Insert_Rows("POP3_TBL", "POP3_EMAIL", {"p@example.com"});
    Open<frmEmailFilter>();
    fileDialog->Choose(Temp_Path("smtp.txt"));
    Click("cmdSMTPExport");
    fileDialog->Choose(Temp_Path("pop3.txt"));
    Click("cmdPOP3Export");
    ASSERT_EQ(fileDialog->saved.size(), 2u);
    EXPECT_EQ(fileDialog->saved[0].DialogTitle, "Export Blocked SMTP Email Address as text file");
    EXPECT_EQ(fileDialog->saved[1].DialogTitle, "Export Blocked POP3 Email Address as text file");
    QFile file(Temp_Path("pop3.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("p@example.com\r\n"));
}

TEST_F(EmailFilterTest, TheTwentyFirstAddressNarrowsOnlyItsOwnList) {
    QStringList addresses;
    for (int i = 1; i <= 20; ++i) addresses << QString("u%1@example.com").arg(i);
    Insert_Rows("SMTP_TBL", "SMTP_EMAIL", addresses);
    Insert_Rows("POP3_TBL", "POP3_EMAIL", addresses);
    Open<frmEmailFilter>();
    auto* smtp = Find<ListView>("lvwSMTPFilter");
    auto* pop3 = Find<ListView>("lvwPOP3Filter");
    const double dblFull = smtp->Column_Width(1);
    EXPECT_DOUBLE_EQ(pop3->Column_Width(1), dblFull);
    Add("txtSMTPEmails", "cmdSMTPAdd", "u21@example.com");
    EXPECT_DOUBLE_EQ(smtp->Column_Width(1), dblFull - 250);
    EXPECT_DOUBLE_EQ(pop3->Column_Width(1), dblFull);
}

TEST_F(EmailFilterTest, RemoteModeStillSwitchesListsAndLeavesExportAndCopy) {
    modGlobal::Is_Remote_Mode = true;
    Open<frmEmailFilter>();
    EXPECT_TRUE(Combo()->isEnabled());
    Combo()->setCurrentIndex(1);
    EXPECT_TRUE(Shown("fraPOP3Filter"));
    for (const char* strName : {"cmdSMTPAdd", "cmdSMTPRemove", "cmdSMTPImport", "cmdSMTPEdit", "txtSMTPEmails",
                                "cmdPOP3Add", "cmdPOP3Remove", "cmdPOP3Import", "cmdPOP3Edit", "txtPOP3Emails",
                                "chkEnableFilter"})
        EXPECT_FALSE(Find<QWidget>(strName)->isEnabled()) << strName;
    for (const char* strName : {"cmdSMTPExport", "cmdSMTPCopySettings", "cmdPOP3Export", "cmdPOP3CopySettings", "cmdClose"})
        EXPECT_TRUE(Find<QWidget>(strName)->isEnabled()) << strName;
}

TEST_F(EmailFilterTest, TooltipsAndCopySettingsKeys) {
    QStringList keys;
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        keys << strFeature;
        return Copied_Settings();
    });
    Open<frmEmailFilter>();
    EXPECT_TRUE(Find<QWidget>("txtSMTPEmails")->toolTip().startsWith("Type Emails Address or part of it (eg:"));
    EXPECT_TRUE(Find<QWidget>("txtPOP3Emails")->toolTip().startsWith("Type Emails Address or part of it (eg:"));
    EXPECT_EQ(Find<QWidget>("cmdSMTPAdd")->toolTip(), "Add the email/domain to blocked list");
    EXPECT_EQ(Find<QWidget>("cmdSMTPExport")->toolTip(), "Export the blocked email list to a file");
    EXPECT_EQ(Find<QWidget>("cmdPOP3Export")->toolTip(), "Export the blocked email list to a text file");
    EXPECT_EQ(Find<QWidget>("cmdSMTPImport")->toolTip(), "Import the blocked emails from a file");
    EXPECT_EQ(Find<QWidget>("cmdPOP3Import")->toolTip(), "Import the blocked emails from a text file");
    EXPECT_EQ(Find<QWidget>("cmdPOP3CopySettings")->toolTip(), "Copy Settings");
    Click("cmdSMTPCopySettings");
    Click("cmdPOP3CopySettings");
    lists::Set_Copy_Settings_Opener(nullptr);
    EXPECT_EQ(keys, (QStringList{"SMTP Filter", "POP3 Filter"}));
}

// ---------------------------------------------------------------- EXE blocker

class EXEBlockerTest : public MemberTest {
protected:
    // The network filter library in the program folder: the one built, or the recording stand-in.
    void Put_Library(const char* strFile = DV_LHDVSOCK_FILE) {
        ASSERT_TRUE(QFile::copy(QString::fromLocal8Bit(strFile), Program_Dir() + "/liblhdvsock.so"));
    }
    void Put_Recording_Library() {
        Put_Library(DV_FAKE_LHDVSOCK_FILE);
        m_strCallLog = Temp_Path("exe_name_calls.bin");
        qputenv("DV_FAKE_EXE_NAME_LOG", QFile::encodeName(m_strCallLog));
    }
    void TearDown() override {
        qunsetenv("DV_FAKE_EXE_NAME_LOG");
        MemberTest::TearDown();
    }
    // The buffers the stand-in was given, in call order.
    std::vector<QByteArray> Calls() const {
        QFile file(m_strCallLog);
        std::vector<QByteArray> calls;
        if (!file.open(QIODevice::ReadOnly)) return calls;
        const QByteArray bytes = file.readAll();
        for (qsizetype i = 0; i + 256 <= bytes.size(); i += 256) calls.push_back(bytes.mid(i, 256));
        return calls;
    }
    static QByteArray Padded(const QByteArray& path) { return path + QByteArray(255 - path.size(), ' ') + '\0'; }
    // Chooses files in the browse dialog, as the dialog returns them.
    void Browse(const QString& strFileName) {
        fileDialog->Choose(strFileName);
        Click("cmdBrowseExe");
    }
    QStringList Listed() const { return MemberTest::Listed("lvwEXEBlocker"); }
    QStringList Stored() { return MemberTest::Stored("EXE_TBL", "EXE_NAME"); }

    QString m_strCallLog;
};

const QString NUL(QChar(u'\0'));

TEST_F(EXEBlockerTest, BrowseOffersProgramFilesWithSeveralToChoose) {
    Put_Library();
    Open<frmEXEBlocker>();
    Browse("C:\\Tools\\first.exe");
    Browse("C:\\Tools\\second.exe");
    ASSERT_EQ(fileDialog->opened.size(), 2u);
    for (const platform::Common_Dialog& dlg : fileDialog->opened) {
        EXPECT_EQ(dlg.DialogTitle, "Browse for EXE files");
        EXPECT_EQ(dlg.Filter, "Exe files|*.exe");
        EXPECT_EQ(dlg.Flags, 0x80200);
        EXPECT_EQ(dlg.MaxFileSize, 32767);
        EXPECT_EQ(dlg.FileName, "");  // not the previous choice
    }
    EXPECT_EQ(Listed(), (QStringList{"first.exe", "second.exe"}));
    EXPECT_EQ(Stored(), (QStringList{"first.exe", "second.exe"}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(EXEBlockerTest, CancelledBrowseTouchesNoDatabase) {
    Put_Recording_Library();
    Open<frmEXEBlocker>();
    // Without a database file any opening would be reported.
    ASSERT_TRUE(QFile::remove(Database_File()));
    fileDialog->Choose(std::nullopt);
    Click("cmdBrowseExe");
    Browse("");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(Calls().empty());
    EXPECT_FALSE(QFile::exists(Database_File()));
}

TEST_F(EXEBlockerTest, EachChosenFileIsPassedAsItsFullPathPaddedToTheBuffer) {
    Put_Recording_Library();
    Open<frmEXEBlocker>();
    Browse("C:\\Apps\\one.exe");
    Browse("C:\\Apps" + NUL + "a.exe" + NUL + "b.exe" + NUL + "c.exe");
    Browse("D:\\" + NUL + "root.exe" + NUL + "also.exe");
    const std::vector<QByteArray> calls = Calls();
    const std::vector<QByteArray> expected = {
        Padded("C:\\Apps\\one.exe"), Padded("C:\\Apps\\a.exe"),    Padded("C:\\Apps\\b.exe"),
        Padded("C:\\Apps\\c.exe"),   Padded("D:\\\\root.exe"),     Padded("D:\\\\also.exe"),
    };
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(Listed(), (QStringList{"fake1.exe", "fake2.exe", "fake3.exe", "fake4.exe", "fake5.exe", "fake6.exe"}));
}

TEST_F(EXEBlockerTest, ALongPathIsCutToTheBuffersLength) {
    Put_Recording_Library();
    Open<frmEXEBlocker>();
    const QString strPath = "C:\\Apps\\" + QString(300, 'a') + ".exe";
    Browse(strPath);
    const std::vector<QByteArray> calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], strPath.left(255).toLatin1() + '\0');
}

TEST_F(EXEBlockerTest, BrowseListsANameOnceAndPassesOverListedNamesSilently) {
    Put_Library();
    Insert_Rows("EXE_TBL", "EXE_NAME", {"Listed.exe"});
    // A name stored in Windows-1252 is listed as the text it reads as.
    Exec(QString("INSERT INTO EXE_TBL (EXE_NAME, COMPUTER_ID, USER_ID) VALUES (CAST(X'636166E92E657865' AS TEXT), 0, %1)")
             .arg(m_lngUser));
    const QString strCafe = QString::fromUtf8("caf\u00e9.exe");
    Open<frmEXEBlocker>();
    Browse("C:\\Apps" + NUL + "tool.exe" + NUL + "TOOL.EXE" + NUL + "listed.exe" + NUL + "o'neil.exe" + NUL + strCafe);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Listed(), (QStringList{"Listed.exe", strCafe, "tool.exe", "o'neil.exe"}));
    EXPECT_EQ(Query(QString("SELECT hex(EXE_NAME) FROM EXE_TBL WHERE USER_ID=%1 ORDER BY rowid").arg(m_lngUser)),
              (test::Rows{{"4C69737465642E657865"}, {"636166E92E657865"}, {"746F6F6C2E657865"}, {"6F276E65696C2E657865"}}));
}

TEST_F(EXEBlockerTest, AnEmptyNameFromTheLibraryIsListedLikeAnyOther) {
    Put_Library();
    Open<frmEXEBlocker>();
    Browse("C:\\Tools\\");
    Browse("D:\\Other\\");
    EXPECT_EQ(Listed(), QStringList{""});
    EXPECT_EQ(Stored(), QStringList{""});
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(EXEBlockerTest, BrowseOntoTwentyNamesNarrowsTheColumnOnce) {
    QStringList names;
    for (int i = 1; i <= 20; ++i) names << QString("p%1.exe").arg(i);
    Insert_Rows("EXE_TBL", "EXE_NAME", names);
    Put_Library();
    Open<frmEXEBlocker>();
    auto* list = Find<ListView>("lvwEXEBlocker");
    const double dblFull = list->Column_Width(1);
    Browse("C:\\Apps" + NUL + "x.exe" + NUL + "y.exe");
    EXPECT_EQ(list->Count(), 22);
    EXPECT_DOUBLE_EQ(list->Column_Width(1), dblFull - 250);
}

TEST_F(EXEBlockerTest, AMissingLibraryIsReportedAndLeavesTheDatabaseUsable) {
    Open<frmEXEBlocker>();
    Browse("C:\\Apps\\one.exe");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains("lhdvsock.dll")) << boxes[0].strText.toStdString();
    EXPECT_FALSE(Log_Lines().filter("E: ").isEmpty());
    EXPECT_TRUE(Listed().isEmpty());
    // The transaction was committed and the connection closed: the next Add stores.
    Add("txtEXEBlocker", "cmdAdd", "after.exe");
    EXPECT_EQ(Stored(), QStringList{"after.exe"});
}

TEST_F(EXEBlockerTest, ANameWithoutItsEndStopsTheBrowseAndKeepsWhatWasAdded) {
    Put_Recording_Library();
    Open<frmEXEBlocker>();
    // The stand-in fills the whole buffer for the second file.
    Browse("C:\\Apps" + NUL + "a.exe" + NUL + "?.exe" + NUL + "c.exe");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Listed(), QStringList{"fake1.exe"});
    EXPECT_EQ(Stored(), QStringList{"fake1.exe"});
}

TEST_F(EXEBlockerTest, BrowseListsOnlyStoredNamesAndStopsAtTheFirstRefusedWrite) {
    // Each name's insert commits by itself: a name stored before the refused one stays,
    // also when the refusal rolls back the transaction it ran in.
    using test::Fault;
    struct Case {
        Fault fault;
        QStringList kept;
    };
    const Case cases[] = {
        {Fault::Held_Read_Lock, {}},       {Fault::Database_Full, {}},
        {Fault::Read_Only, {}},            {Fault::Abort_Trigger, {"a.exe"}},
        {Fault::Rollback_Trigger, {"a.exe"}},
    };
    Put_Library();
    for (const Case& c : cases) {
        SCOPED_TRACE(test::Fault_Name(c.fault));
        Exec("DELETE FROM EXE_TBL");
        Open<frmEXEBlocker>();
        if (c.fault == Fault::Database_Full) Fill_Until_Full("EXE_TBL", "EXE_NAME");
        auto fault = Make_Fault(c.fault, {"INSERT ON EXE_TBL WHEN NEW.EXE_NAME='b.exe'"});
        Browse("C:\\Apps" + NUL + "a.exe" + NUL + "b.exe" + NUL + "c.exe");
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_TRUE(boxes[0].strText.contains(test::Fault_Text(c.fault))) << boxes[0].strText.toStdString();
        fault.reset();
        EXPECT_EQ(Stored(), c.kept);
        EXPECT_EQ(Listed(), c.kept);
    }
}

TEST_F(EXEBlockerTest, AddTrimsAndAcceptsAnyNameTheEmptyOneOnce) {
    Open<frmEXEBlocker>();
    EXPECT_EQ(Find<QLineEdit>("txtEXEBlocker")->maxLength(), 50);
    Add("txtEXEBlocker", "cmdAdd", "  my tool.exe ");
    Add("txtEXEBlocker", "cmdAdd", "   ");
    Add("txtEXEBlocker", "cmdAdd", "");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "EXE Name already exist!.");
    EXPECT_EQ(Stored(), (QStringList{"my tool.exe", ""}));
}

TEST_F(EXEBlockerTest, ImportTrimsAndCutsToFifty) {
    Open<frmEXEBlocker>();
    fileDialog->Choose(Write_File(("  " + QString(60, 'e') + " \r\nmy tool.exe\r\n").toLatin1()));
    Click("cmdImport");
    ASSERT_EQ(fileDialog->opened.size(), 1u);
    EXPECT_EQ(fileDialog->opened[0].DialogTitle, "Import Blocked EXE Names from a text file");
    EXPECT_EQ(Stored(), (QStringList{QString(50, 'e'), "my tool.exe"}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(EXEBlockerTest, RemoteModeDisablesBrowseWithTheEditingControls) {
    modGlobal::Is_Remote_Mode = true;
    Open<frmEXEBlocker>();
    for (const char* strName : {"cmdAdd", "cmdEdit", "cmdImport", "cmdRemove", "txtEXEBlocker", "chkEnableEXEBlocker",
                                "cmdBrowseExe"})
        EXPECT_FALSE(Find<QWidget>(strName)->isEnabled()) << strName;
    for (const char* strName : {"cmdExport", "cmdCopySettings", "cmdClose"})
        EXPECT_TRUE(Find<QWidget>(strName)->isEnabled()) << strName;
}

TEST_F(EXEBlockerTest, TooltipsExportNameAndCopySettingsKey) {
    QString strKey;
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        strKey = strFeature;
        return Copied_Settings();
    });
    Insert_Rows("EXE_TBL", "EXE_NAME", {"a.exe"});
    Open<frmEXEBlocker>();
    EXPECT_EQ(Find<QWidget>("txtEXEBlocker")->toolTip(), "Provides a space for you to type Blocked EXEs");
    EXPECT_EQ(Find<QWidget>("cmdExport")->toolTip(), "Export Blocked EXEs to a file");
    EXPECT_EQ(Find<QWidget>("cmdImport")->toolTip(), "Import Blocked EXEs from a file");
    EXPECT_EQ(Find<QWidget>("chkEnableEXEBlocker")->toolTip(), "Click to enable or disable the EXE Blocker");
    EXPECT_EQ(Find<QWidget>("cmdBrowseExe")->toolTip(), "Browse for exe files");
    EXPECT_FALSE(Find<QToolButton>("cmdBrowseExe")->icon().isNull());
    fileDialog->Choose(Temp_Path("exe.txt"));
    Click("cmdExport");
    ASSERT_EQ(fileDialog->saved.size(), 1u);
    EXPECT_EQ(fileDialog->saved[0].DialogTitle, "Export Blocked EXE Names as text file");
    Click("cmdCopySettings");
    lists::Set_Copy_Settings_Opener(nullptr);
    EXPECT_EQ(strKey, "EXE Blocker");
}

}  // namespace
