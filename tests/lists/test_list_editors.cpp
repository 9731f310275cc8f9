// The list editor family: shared behaviour run against every member list, then the
// cases that belong to one member.
#include "console/frmMain.h"
#include "database/modDBFunctions.h"
#include "lists/frmEXEBlocker.h"
#include "lists/frmEmailFilter.h"
#include "lists/frmFileFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "lists/frmWindowBlocker.h"
#include "platform/Controls.h"
#include "services/modGlobal.h"
#include "support/ConsoleFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringEncoder>
#include <QToolButton>
#include <QAbstractItemView>
#include <QTimer>
#include <QtTest/QTest>
#include <sqlite3.h>

using platform::ListView;

namespace {

// One list of a member dialog and what differs between members.
struct Member {
    const char* strName;
    std::function<QDialog*(frmMain&)> make;
    const char* strCaption;  // caption before " - "
    const char* strTxt;
    const char* strAdd;
    const char* strEdit;
    const char* strRemove;
    const char* strImport;
    const char* strExport;
    const char* strList;
    const char* strEnable;
    const char* strTable;
    const char* strColumn;
    Flag_Word lngBit;
    const char* strFeature;      // in the enable questions
    const char* strDuplicate;    // message for an entry already in the same list
    const char* strRemoveQuestion;
    const char* strExportSuffix;
    int intThreshold;
    const char* strSample;       // a valid entry as stored
    const char* strForm;         // the dialog the console's menu item opens
    void (frmMain::*menu)();
    bool blnExportErrorsReported = true;
    const char* strEditDuplicate = nullptr;  // when an edit's message differs from Add's
};

void PrintTo(const Member& member, std::ostream* os) { *os << member.strName; }

const Member MEMBERS[] = {
    {"FileFilter", [](frmMain& m) { return new frmFileFilter(m); }, "File Filter", "txtFileExtension", "cmdAdd",
     "cmdEdit", "cmdRemove", "cmdImport", "cmdExport", "lvwFileFilter", "chkEnableFileFilter", "FILE_TBL", "FILE_EXTN", 8,
     "File Filter", "File Extension already exist!.", "Are you sure you want to delete the selected File Extension(s)?",
     "_Blocked_File_List", 20, ".zip", "frmFileFilter", &frmMain::mnuFileFilter_Click},
    {"BlackList", [](frmMain& m) { return new frmWebsiteFilter(m); }, "Website Filter", "txtBlackUrl", "cmdBlackAdd",
     "cmdBlackEdit", "cmdBlackRemove", "cmdURLBLImport", "cmdURLBLExport", "lvwBlackList", "chkEnableUrlFilter", "BL_TBL",
     "BL_URL", 4, "WebSite Filter", "URL already exist!.", "Are you sure you want to delete the selected URL(s)?",
     "_Black_List_URLs_List", 17, "example.com", "frmWebsiteFilter", &frmMain::mnuWebsiteFilter_Click},
    {"WhiteList", [](frmMain& m) { return new frmWebsiteFilter(m); }, "Website Filter", "txtWhiteUrl", "cmdWhiteAdd",
     "cmdWhiteEdit", "cmdWhiteRemove", "cmdURLWLImport", "cmdURLWLExport", "lvwWhiteList", "chkEnableUrlFilter", "WL_TBL",
     "WL_URL", 4, "WebSite Filter", "URL already exist!.", "Are you sure you want to delete the selected URL(s)?",
     "_White_List_URLs_List", 17, "example.org", "frmWebsiteFilter", &frmMain::mnuWebsiteFilter_Click},
    {"SMTP", [](frmMain& m) { return new frmEmailFilter(m); }, "Email Filter", "txtSMTPEmails", "cmdSMTPAdd",
     "cmdSMTPEdit", "cmdSMTPRemove", "cmdSMTPImport", "cmdSMTPExport", "lvwSMTPFilter", "chkEnableFilter", "SMTP_TBL",
     "SMTP_EMAIL", 32, "SMTP Filter", "EmailAddress already exist!.",
     "Are you sure you want to delete the selected Email Address(s)?", "_Blocked_SMTP_Email_Address_List", 20,
     "someone@example.com", "frmEmailFilter", &frmMain::mnuEmailFilter_Click},
    {"POP3",
     [](frmMain& m) {
         // The dialog opens on the SMTP list; the POP3 list is chosen in its combo box.
         auto* pDialog = new frmEmailFilter(m);
         pDialog->findChild<QComboBox*>("cboEmailFilter")->setCurrentIndex(1);
         return pDialog;
     },
     "Email Filter", "txtPOP3Emails", "cmdPOP3Add", "cmdPOP3Edit", "cmdPOP3Remove", "cmdPOP3Import", "cmdPOP3Export",
     "lvwPOP3Filter", "chkEnableFilter", "POP3_TBL", "POP3_EMAIL", 64, "POP3 Filter", "EmailAddress already exist!.",
     "Are you sure you want to delete the selected Email Address(s)?", "_Blocked_POP3_Email_Address_List", 20,
     "@example.org", "frmEmailFilter", &frmMain::mnuEmailFilter_Click, true, "Email Address already exist!."},
    {"Window", [](frmMain& m) { return new frmWindowBlocker(m); }, "Window Blocker", "txtWindowBlocker", "cmdAdd",
     "cmdEdit", "cmdRemove", "cmdImport", "cmdExport", "lvwWindowBlocker", "chkEnableWindowBlocker", "WINDOW_TBL",
     "WINDOW_TITLE", 256, "Window Blocker", "Window Title already exist!.",
     "Are you sure you want to delete the selected Window Title(s)?", "_Blocked_Window_List", 20, "Untitled - Notepad",
     "frmWindowBlocker", &frmMain::mnuWindowBlocker_Click, false},
    {"EXE", [](frmMain& m) { return new frmEXEBlocker(m); }, "EXE Blocker", "txtEXEBlocker", "cmdAdd", "cmdEdit",
     "cmdRemove", "cmdImport", "cmdExport", "lvwEXEBlocker", "chkEnableEXEBlocker", "EXE_TBL", "EXE_NAME", 128,
     "EXE Blocker", "EXE Name already exist!.", "Are you sure you want to delete the selected EXE(s)?",
     "_Blocked_EXE_List", 20, "notepad.exe", "frmEXEBlocker", &frmMain::mnuEXEBlocker_Click},
};

// A dialog of one member list for the owner "alice".
class Member_Fixture : public test::Owner_Dialog_Test {
protected:
    const Member& M() const { return *m_pMember; }
    void Open() {
        dialog.reset(M().make(*console));
        dialog->show();
    }
    ListView* List() const { return Find<ListView>(M().strList); }
    QLineEdit* Entry() const { return Find<QLineEdit>(M().strTxt); }
    void Type_And_Add(const QString& strText) {
        Entry()->setText(strText);
        Click(M().strAdd);
    }
    void Insert_Row(const QString& strValue, long lngUser) {
        Exec(QString("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES ('%3', 0, %4)")
                 .arg(M().strTable, M().strColumn, strValue)
                 .arg(lngUser));
    }
    // A row of the owner stored in these bytes, as a program of another code page writes it.
    void Insert_Bytes(const QByteArray& bytes, bool blnBlob = false) {
        const QString strValue = QString("X'%1'").arg(QString::fromLatin1(bytes.toHex()));
        Exec(QString("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES (%3, 0, %4)")
                 .arg(M().strTable, M().strColumn, blnBlob ? strValue : "CAST(" + strValue + " AS TEXT)")
                 .arg(m_lngUser));
    }
    // The owner's stored values as hexadecimal bytes, in insertion order.
    QStringList Stored_Hex() {
        QStringList values;
        for (const QStringList& row : Query(QString("SELECT hex(%1) FROM %2 WHERE USER_ID=%3 ORDER BY rowid")
                                                .arg(M().strColumn, M().strTable)
                                                .arg(m_lngUser)))
            values << row[0];
        return values;
    }
    QStringList Stored() { return Owner_Dialog_Test::Stored(M().strTable, M().strColumn); }
    QStringList Listed() const { return Owner_Dialog_Test::Listed(M().strList); }

    const Member* m_pMember = nullptr;
};

class ListEditorTest : public Member_Fixture, public ::testing::WithParamInterface<Member> {
protected:
    void SetUp() override {
        m_pMember = &GetParam();
        Member_Fixture::SetUp();
    }
};

TEST_P(ListEditorTest, LoadShowsOnlyTheOwnersEntriesUnderTheUsersName) {
    Insert_Row(M().strSample, m_lngUser);
    Insert_Row("other.entry", Insert_User("bob"));
    Open();
    EXPECT_EQ(dialog->windowTitle(), QString(M().strCaption) + " - alice");
    EXPECT_EQ(Listed(), QStringList{M().strSample});
    // The column fills the list less 20 twips: no horizontal scroll bar.
    EXPECT_NEAR(List()->Column_Width(1), lists::List_Inner_Width_Twips(*List()) - 20, 16);
}

TEST_P(ListEditorTest, AddStoresListsAndClearsTheBoxAndRefusesADuplicateInAnyCase) {
    Open();
    Type_And_Add(M().strSample);
    EXPECT_EQ(Stored(), QStringList{M().strSample});
    EXPECT_EQ(Listed(), QStringList{M().strSample});
    EXPECT_EQ(Entry()->text(), "");
    Type_And_Add(QString(M().strSample).toUpper());
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, M().strDuplicate);
    EXPECT_EQ(boxes[0].lngStyle, 48);
    EXPECT_EQ(Stored().size(), 1);
    EXPECT_EQ(Entry()->text(), "");
}

TEST_P(ListEditorTest, EnterInTheEntryBoxRunsAdd) {
    Open();
    Entry()->setText(M().strSample);
    QTest::keyClick(Entry(), Qt::Key_Return);
    EXPECT_EQ(Stored(), QStringList{M().strSample});
    EXPECT_TRUE(dialog->isVisible());
}

TEST_P(ListEditorTest, AnApostropheIsStoredAsTypedAndNeverActsAsSql) {
    Open();
    const QString strEntry = "a'b');--";
    Type_And_Add(strEntry);
    const QStringList stored = Stored();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].toLower(), strEntry.toLower());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL"), "2");
}

TEST_P(ListEditorTest, RemoveAsksAndDeletesOnlyTheSelectedEntriesOnYes) {
    for (const char* s : {"a1.x", "b2.x", "c3.x"}) Insert_Row(s, m_lngUser);
    Open();
    List()->Set_Selected(1, true);
    List()->Set_Selected(3, true);
    messageBox->Answer(platform::vbNo);
    Click(M().strRemove);
    EXPECT_EQ(Stored().size(), 3);
    messageBox->Answer(platform::vbYes);
    Click(M().strRemove);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].strText, M().strRemoveQuestion);
    EXPECT_EQ(boxes[0].lngStyle, 36);
    EXPECT_EQ(Stored(), QStringList{"b2.x"});
    EXPECT_EQ(Listed(), QStringList{"b2.x"});
}

TEST_P(ListEditorTest, RemoveKeepsAnEntryWhoseDeleteFailsAndRemovesTheOthers) {
    for (const char* s : {"a1.x", "b2.x", "c3.x"}) Insert_Row(s, m_lngUser);
    auto refused = Make_Fault(test::Fault::Abort_Trigger,
                              {QString("DELETE ON %1 WHEN OLD.%2='b2.x'").arg(M().strTable, M().strColumn)});
    Open();
    for (long i = 1; i <= 3; ++i) List()->Set_Selected(i, true);
    messageBox->Answer(platform::vbYes);
    Click(M().strRemove);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].strText, test::TRIGGER_TEXT);
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_EQ(Stored(), QStringList{"b2.x"});
    EXPECT_EQ(Listed(), QStringList{"b2.x"});
}

TEST_P(ListEditorTest, RemoveOnAnEmptyListAsksNothing) {
    Open();
    Click(M().strRemove);
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(ListEditorTest, ExportWritesEveryItemWithCrLfUnderTheDefaultName) {
    for (const char* s : {"a1.x", "b2.x"}) Insert_Row(s, m_lngUser);
    Open();
    const QString strPath = Temp_Path("out.txt");
    fileDialog->Choose(strPath);
    Click(M().strExport);
    ASSERT_EQ(fileDialog->saved.size(), 1u);
    EXPECT_EQ(fileDialog->saved[0].FileName, QString("alice") + M().strExportSuffix);
    EXPECT_EQ(fileDialog->saved[0].Filter, "Text Files|*.txt|All Files|*.*");
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("a1.x\r\nb2.x\r\n"));
}

TEST_P(ListEditorTest, ExportOfAnEmptyListAndCancelWriteNothing) {
    Open();
    Click(M().strExport);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "There is no item to export!.");
    Insert_Row("a1.x", m_lngUser);
    Open();
    fileDialog->Choose(std::nullopt);
    Click(M().strExport);
    EXPECT_FALSE(QFile::exists(QString("alice") + M().strExportSuffix));
}

TEST_P(ListEditorTest, ExportIntoAnUnwritablePlaceIsReportedUnlessTheListExportsSilently) {
    Insert_Row("a1.x", m_lngUser);
    Open();
    fileDialog->Choose(Temp_Path("no/such/folder/out.txt"));
    Click(M().strExport);
    auto boxes = Boxes();
    if (!M().blnExportErrorsReported) {
        EXPECT_TRUE(boxes.empty());
        return;
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
}

TEST_P(ListEditorTest, ImportReadsQuotedAndCommaSeparatedFields) {
    Open();
    fileDialog->Choose(Write_File("  a1.x , \"b2.x\"\r\nc3.x\nd4.x"));
    Click(M().strImport);
    EXPECT_EQ(Stored(), (QStringList{"a1.x", "b2.x", "c3.x", "d4.x"}));
    EXPECT_EQ(Listed(), (QStringList{"a1.x", "b2.x", "c3.x", "d4.x"}));
    EXPECT_TRUE(Find<QWidget>(M().strAdd)->isEnabled());
}

TEST_P(ListEditorTest, AnEntryTwiceInTheFileOrAlreadyStoredIsListedOnce) {
    Insert_Row("old.x", m_lngUser);
    Open();
    fileDialog->Choose(Write_File("a1.x\r\nold.x\r\nb2.x, a1.x \r\n\"a1.x\"\r\nB2.X\r\n"));
    Click(M().strImport);
    EXPECT_TRUE(Boxes().empty());
    // The lists that store URLs in lower case take B2.X for b2.x; the others keep its case.
    const bool blnLowerCase = M().strTable == QLatin1String("BL_TBL") || M().strTable == QLatin1String("WL_TBL");
    const QStringList expected = blnLowerCase ? QStringList{"old.x", "a1.x", "b2.x"}
                                              : QStringList{"old.x", "a1.x", "b2.x", "B2.X"};
    EXPECT_EQ(Stored(), expected);
    QStringList listed = Listed();
    EXPECT_EQ(listed.count("a1.x"), 1);
    EXPECT_EQ(listed.count("old.x"), 1);
    QStringList sorted = expected;
    listed.sort();
    sorted.sort();
    EXPECT_EQ(listed, sorted);
}

TEST_P(ListEditorTest, ImportCancelledOrUnreadableKeepsTheList) {
    Insert_Row("a1.x", m_lngUser);
    Open();
    fileDialog->Choose(std::nullopt);
    Click(M().strImport);
    fileDialog->Choose(Temp_Path("missing.txt"));
    Click(M().strImport);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains("missing.txt"));
    EXPECT_EQ(Listed(), QStringList{"a1.x"});
    EXPECT_EQ(Stored(), QStringList{"a1.x"});
    EXPECT_TRUE(Find<QWidget>(M().strAdd)->isEnabled());
}

TEST_P(ListEditorTest, EnableBoxAsksAndWritesTheBitOnlyOnYes) {
    Open();
    auto* box = Find<QCheckBox>(M().strEnable);
    messageBox->Answer(platform::vbNo);
    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(Scalar(QString("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser)), "0");
    messageBox->Answer(platform::vbYes);
    box->click();
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(Scalar(QString("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser)),
              QString::number(M().lngBit));
    messageBox->Answer(platform::vbNo);
    box->click();
    EXPECT_TRUE(box->isChecked());
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].strText, QString("Are you sure you want to enable the %1?").arg(M().strFeature));
    EXPECT_EQ(boxes[2].strText, QString("Are you sure you want to disable the %1?").arg(M().strFeature));
    EXPECT_EQ(boxes[2].lngStyle, 36);
    // A reopened dialog ticks the box from the stored bit, asking nothing.
    Open();
    EXPECT_TRUE(Find<QCheckBox>(M().strEnable)->isChecked());
}

TEST_P(ListEditorTest, ColumnIsNarrowExactlyWhileMoreThanTheThresholdAreListed) {
    for (int i = 1; i <= M().intThreshold; ++i) Insert_Row(QString("e%1.x").arg(i), m_lngUser);
    Open();
    const double dblFull = List()->Column_Width(1);
    Type_And_Add("next.x");
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull - 250);
    Type_And_Add("again.x");
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull - 250);
    for (long i : {1L, 2L}) List()->Set_Selected(i, true);
    messageBox->Answer(platform::vbYes);
    Click(M().strRemove);
    Boxes();
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull);
    // Opened on more than the threshold: narrowed once.
    Insert_Row("one.more", m_lngUser);
    Open();
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull - 250);
}

TEST_P(ListEditorTest, EditInPlaceStoresTheTrimmedTextAndUndoesACaseOnlyChange) {
    Insert_Row("a1.x", m_lngUser);
    Open();
    ASSERT_TRUE(Edit_In_Place(M().strList, M().strEdit, 1, "A1.X"));
    EXPECT_EQ(Listed(), QStringList{"a1.x"});
    EXPECT_EQ(Stored(), QStringList{"a1.x"});
    ASSERT_TRUE(Edit_In_Place(M().strList, M().strEdit, 1, "  b2.x  "));
    EXPECT_EQ(Listed(), QStringList{"b2.x"});
    EXPECT_EQ(Stored(), QStringList{"b2.x"});
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(ListEditorTest, EditRefusedByTheDatabaseKeepsTheOldText) {
    Insert_Row("a1.x", m_lngUser);
    auto refused = Make_Fault(test::Fault::Abort_Trigger, {QString("UPDATE ON %1").arg(M().strTable)});
    Open();
    ASSERT_TRUE(Edit_In_Place(M().strList, M().strEdit, 1, "b2.x"));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Listed(), QStringList{"a1.x"});
}

TEST_P(ListEditorTest, ADialogDestroyedWithAnEditOpenWritesNothingAndShowsNoBox) {
    // A text the list would store, and one it would refuse with a box (every text is
    // accepted by the program and window lists).
    for (const char* strTyped : {"b2.x", "a b.x"}) {
        SCOPED_TRACE(strTyped);
        Exec(QString("DELETE FROM %1").arg(M().strTable));
        Insert_Row("a1.x", m_lngUser);
        Open();
        // The website filter shows one of its lists: the one edited here.
        if (auto* pUrlType = dialog->findChild<QComboBox*>("cboUrlType"))
            pUrlType->setCurrentIndex(QLatin1String(M().strList) == QLatin1String("lvwWhiteList") ? 1 : 0);
        dialog->activateWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Select_Only(M().strList, {1});
        Click(M().strEdit);
        auto* pEditor = List()->Item_View()->findChild<QLineEdit*>();
        ASSERT_NE(pEditor, nullptr);
        pEditor->setFocus();
        pEditor->setText(strTyped);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        ASSERT_EQ(QApplication::focusWidget(), pEditor);
        dialog.reset();
        QCoreApplication::processEvents();
        EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(Stored(), QStringList{"a1.x"});
    }
}

TEST_P(ListEditorTest, EditIntoAnotherListedEntryIsRefusedWithTheListsMessage) {
    for (const char* s : {"a1.x", "b2.x"}) Insert_Row(s, m_lngUser);
    Open();
    ASSERT_TRUE(Edit_In_Place(M().strList, M().strEdit, 1, " B2.X "));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, M().strEditDuplicate ? M().strEditDuplicate : M().strDuplicate);
    EXPECT_EQ(boxes[0].lngStyle, 48);
    EXPECT_EQ(Listed(), (QStringList{"a1.x", "b2.x"}));
    EXPECT_EQ(Stored(), (QStringList{"a1.x", "b2.x"}));
}

TEST_P(ListEditorTest, RemoteModeLeavesOnlyExportCopyAndClose) {
    modGlobal::Is_Remote_Mode = true;
    Open();
    for (const char* strName : {M().strTxt, M().strAdd, M().strEdit, M().strRemove, M().strImport, M().strEnable})
        EXPECT_FALSE(Find<QWidget>(strName)->isEnabled()) << strName;
    EXPECT_TRUE(Find<QWidget>(M().strExport)->isEnabled());
    EXPECT_TRUE(Find<QWidget>("cmdClose")->isEnabled());
}

TEST_P(ListEditorTest, TheConsolesMenuOpensTheDialogOverTheConsole) {
    QString strCaption;
    forms->onShow = [&](QWidget& form) { strCaption = form.windowTitle(); };
    ((*console).*M().menu)();
    ASSERT_EQ(forms->shown.size(), 1u);
    EXPECT_EQ(forms->shown[0], M().strForm);
    EXPECT_EQ(forms->owners[0], console.get());
    EXPECT_EQ(strCaption, QString(M().strCaption) + " - alice");
}

TEST_P(ListEditorTest, EscClosesTheDialog) {
    Open();
    QTest::keyClick(Entry(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
}

// ---- entries another program stored in Windows-1252 ----

QString Hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

QStringList Sorted(QStringList values) {
    values.sort();
    return values;
}

TEST_P(ListEditorTest, AWindows1252EntryIsListedReadablyAndRemoveAndEditReachItsRow) {
    const QString strCafe = QString::fromUtf8("caf\u00e9.x");
    struct Case {
        const char* strStep;
        QByteArray stored;  // the entry's stored bytes
    };
    for (const Case& c : {Case{"Windows-1252", "caf\xe9.x"}, Case{"UTF-8", strCafe.toUtf8()}}) {
        SCOPED_TRACE(c.strStep);
        Exec(QString("DELETE FROM %1").arg(M().strTable));
        Insert_Row("a1.x", m_lngUser);
        Insert_Bytes(c.stored);
        Open();
        EXPECT_EQ(Sorted(Listed()), (QStringList{"a1.x", strCafe}));
        // Edit: the row itself takes the new text.
        ASSERT_TRUE(Edit_In_Place(M().strList, M().strEdit, List()->Find_Text(strCafe), "tea.x"));
        EXPECT_EQ(Stored(), (QStringList{"a1.x", "tea.x"}));
        EXPECT_EQ(Sorted(Listed()), (QStringList{"a1.x", "tea.x"}));
        // Remove: its row goes, the others stay.
        Insert_Bytes(c.stored);
        Open();
        ASSERT_GT(List()->Find_Text(strCafe), 0);
        Select_Only(M().strList, {List()->Find_Text(strCafe)});
        messageBox->Answer(platform::vbYes);
        Click(M().strRemove);
        EXPECT_EQ(Boxes().size(), 1u);  // the question only
        EXPECT_EQ(Stored(), (QStringList{"a1.x", "tea.x"}));
        EXPECT_EQ(Sorted(Listed()), (QStringList{"a1.x", "tea.x"}));
    }
}

TEST_P(ListEditorTest, AWindows1252EntryIsExportedReadablyAndAReimportStoresTheSameText) {
    const QString strCafe = QString::fromUtf8("caf\u00e9.x");
    Insert_Bytes("caf\xe9.x");
    Open();
    const QString strPath = Temp_Path("out.txt");
    fileDialog->Choose(strPath);
    Click(M().strExport);
    QFile file(strPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringEncoder locale(QStringConverter::System);
    EXPECT_EQ(file.readAll(), QByteArray(locale.encode(strCafe)) + "\r\n");
    Exec(QString("DELETE FROM %1").arg(M().strTable));
    Open();
    fileDialog->Choose(strPath);
    Click(M().strImport);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored(), QStringList{strCafe});
    EXPECT_EQ(Listed(), QStringList{strCafe});
}

TEST_P(ListEditorTest, ARemoveOrEditThatChangesNoRowKeepsTheEntryListedAsStoredWithOneBox) {
    // A trigger of another program makes the database skip the statement: it succeeds
    // and changes nothing.
    for (const char* s : {"a1.x", "b2.x", "c3.x"}) Insert_Row(s, m_lngUser);
    for (const char* strEvent : {"DELETE", "UPDATE"})
        Exec(QString("CREATE TRIGGER skip_%1 BEFORE %1 ON %2 WHEN OLD.%3='b2.x' BEGIN SELECT RAISE(IGNORE); END")
                 .arg(QLatin1String(strEvent), M().strTable, M().strColumn));
    Open();
    for (long i = 1; i <= 3; ++i) List()->Set_Selected(i, true);
    messageBox->Answer(platform::vbYes);
    Click(M().strRemove);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].strText, modDBFunctions::No_Row_Message("b2.x"));
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_EQ(Stored(), QStringList{"b2.x"});
    EXPECT_EQ(Listed(), QStringList{"b2.x"});
    ASSERT_TRUE(Edit_In_Place(M().strList, M().strEdit, 1, "d4.x"));
    boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, modDBFunctions::No_Row_Message("b2.x"));
    EXPECT_EQ(Stored(), QStringList{"b2.x"});
    EXPECT_EQ(Listed(), QStringList{"b2.x"});
}

// Another program deleted a listed entry after the list was read: the Remove says so
// once and the list shows what is stored, so that no later Remove meets that entry again.
TEST_P(ListEditorTest, ARemoveWhoseRowAnotherProgramDeletedShowsTheListAsStored) {
    for (const char* s : {"a1.x", "b2.x", "c3.x"}) Insert_Row(s, m_lngUser);
    Open();
    Start_Other_Program()->Write_Now(
        QString("DELETE FROM %1 WHERE %2='b2.x'").arg(M().strTable, M().strColumn));
    Select_Only(M().strList, {2, 3});
    messageBox->Answer(platform::vbYes);
    Click(M().strRemove);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].strText, modDBFunctions::No_Row_Message("b2.x"));
    EXPECT_EQ(Stored(), QStringList{"a1.x"});
    EXPECT_EQ(Listed(), QStringList{"a1.x"});
    Select_Only(M().strList, {1});
    messageBox->Answer(platform::vbYes);
    Click(M().strRemove);
    EXPECT_EQ(Boxes().size(), 1u) << "the question alone";
    EXPECT_TRUE(Stored().isEmpty());
    EXPECT_TRUE(Listed().isEmpty());
}

// The new text of an in-place edit is looked up among the stored rows when it is
// written: one that another program stored meanwhile in Windows-1252 is refused as
// the Add refuses a listed entry, the list then shows it, and no second row reads as it.
TEST_P(ListEditorTest, AnEditToATextAnotherProgramStoredMeanwhileIsRefusedAsTheAddRefusesIt) {
    const QString strCafe = QString::fromUtf8("caf\u00e9.x");
    for (const char* s : {"a1.x", "b2.x"}) Insert_Row(s, m_lngUser);
    Open();
    Start_Other_Program()->Write_Now(
        QString("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES (CAST(X'636166E92E78' AS TEXT), 0, %3)")
            .arg(M().strTable, M().strColumn)
            .arg(m_lngUser));
    ASSERT_TRUE(Edit_In_Place(M().strList, M().strEdit, 1, strCafe));
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, M().strEditDuplicate ? M().strEditDuplicate : M().strDuplicate);
    EXPECT_EQ(boxes[0].lngStyle, 48);
    EXPECT_EQ(Stored_Hex(), (QStringList{"61312E78", "62322E78", "636166E92E78"}));
    EXPECT_EQ(Listed(), (QStringList{"a1.x", "b2.x", strCafe}));
}

TEST_P(ListEditorTest, RemoveOfOneTextStoredInBothFormsTakesBothRowsOffTheListAndTheTable) {
    const QString strCafe = QString::fromUtf8("caf\u00e9.x");
    Insert_Bytes("caf\xe9.x");
    Insert_Row("a1.x", m_lngUser);
    Insert_Bytes(strCafe.toUtf8());
    Open();
    EXPECT_EQ(Sorted(Listed()), (QStringList{"a1.x", strCafe, strCafe}));
    Select_Only(M().strList, {List()->Find_Text(strCafe)});
    messageBox->Answer(platform::vbYes);
    Click(M().strRemove);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Stored_Hex(), QStringList{Hex("a1.x")});
    EXPECT_EQ(Listed(), QStringList{"a1.x"});
}

TEST_P(ListEditorTest, AnEditOfATextStoredInBothFormsChangesTheRowOfItsItemOnly) {
    const QString strCafe = QString::fromUtf8("caf\u00e9.x");
    Insert_Bytes("caf\xe9.x");
    Insert_Row("a1.x", m_lngUser);
    Insert_Bytes(strCafe.toUtf8());
    Open();
    ASSERT_EQ(Sorted(Listed()), (QStringList{"a1.x", strCafe, strCafe}));
    const long lngItem = List()->Find_Text(strCafe);
    ASSERT_TRUE(Edit_In_Place(M().strList, M().strEdit, lngItem, "tea.x"));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(List()->Text(lngItem), "tea.x");
    EXPECT_EQ(Sorted(Stored()), (QStringList{"a1.x", strCafe, "tea.x"}));
    EXPECT_EQ(Sorted(Listed()), Sorted(Stored()));
}

TEST_P(ListEditorTest, AnEntryWhoseTextIsStoredInTheOtherFormIsStoredAndListedOnce) {
    // Typed or imported as the console's export writes it (UTF-8), beside the same text
    // stored in another form: Windows-1252, a blob another program bound, or a UTF-8 text
    // cut inside its last character (listed with U+FFFD for it). Listed already, it
    // meets the list's duplicate test; stored only after the list was read, the insert
    // stores nothing.
    struct Form {
        const char* strName;
        QString strShown;
        QByteArray stored;
        bool blnBlob;
    };
    const Form forms[] = {
        {"Windows-1252", QString::fromUtf8("caf\u00e9.x"), QByteArray("caf\xe9.x"), false},
        {"UTF-8 blob", QString::fromUtf8("caf\u00e9.x"), QByteArray("caf\xc3\xa9.x"), true},
        {"ASCII blob", QStringLiteral("cafe.x"), QByteArray("cafe.x"), true},
        {"cut UTF-8", QString::fromUtf8("caf\u00e9.x\ufffd"), QByteArray("caf\xc3\xa9.x\xc3"), false},
    };
    struct Case {
        const char* strStep;
        bool blnListed;
        bool blnBox;  // the list's duplicate box
        bool blnImport;
    };
    const Case cases[] = {
        {"add", true, true, false},
        {"add beside a row stored after the list was read", false, false, false},
        {"import", true, false, true},
        {"import beside a row stored after the list was read", false, false, true},
    };
    for (const Form& f : forms) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(f.strName) + ": " + c.strStep);
            Exec(QString("DELETE FROM %1").arg(M().strTable));
            if (c.blnListed) Insert_Bytes(f.stored, f.blnBlob);
            Open();
            if (!c.blnListed) Insert_Bytes(f.stored, f.blnBlob);
            if (c.blnImport) {
                fileDialog->Choose(Write_File(f.strShown.toUtf8() + "\r\n"));
                Click(M().strImport);
            } else {
                Type_And_Add(f.strShown);
            }
            auto boxes = Boxes();
            if (c.blnBox) {
                ASSERT_EQ(boxes.size(), 1u);
                EXPECT_EQ(boxes[0].strText, M().strDuplicate);
                EXPECT_EQ(boxes[0].lngStyle, 48);
            } else {
                EXPECT_TRUE(boxes.empty());
            }
            EXPECT_EQ(Stored_Hex(), QStringList{Hex(f.stored)});
            // Listed once: the row the list was read with, or the stored row an Add found.
            // An import lists only what it stored, as with an entry stored in its own form.
            EXPECT_EQ(Listed(), c.blnImport && !c.blnListed ? QStringList{} : QStringList{f.strShown});
        }
    }
}

TEST_P(ListEditorTest, RemoveOfManyUnderAHeldWriteLockWaitsOnceAndReportsOnce) {
    QStringList entries;
    for (int i = 0; i < 12; ++i) entries << QString("e%1.x").arg(i, 2, 10, QLatin1Char('0'));
    for (const QString& strEntry : entries) Insert_Row(strEntry, m_lngUser);
    Open();
    for (long i = 1; i <= List()->Count(); ++i) List()->Set_Selected(i, true);
    messageBox->Answer(platform::vbYes);
    // One wait of the busy time-out, not one per selected entry.
    Expect_One_Busy_Wait_Under_Held_Write_Lock([&] { Click(M().strRemove); });
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_TRUE(boxes[1].strText.contains(test::Fault_Text(test::Fault::Held_Write_Lock))) << boxes[1].strText.toStdString();
    EXPECT_EQ(Stored(), entries);
    EXPECT_EQ(Listed(), entries);
}

INSTANTIATE_TEST_SUITE_P(Members, ListEditorTest, ::testing::ValuesIn(MEMBERS),
                         [](const auto& info) { return std::string(info.param.strName); });

// ---------------------------------------------------------------- failed writes

// A write the database refuses, made real: another reader holding the file while the
// console commits, a disk with no room left, a read-only database, a trigger that undoes
// its statement and one that rolls the whole transaction back.
using test::Fault;
const Fault FAULTS[] = {Fault::Held_Read_Lock, Fault::Database_Full, Fault::Read_Only, Fault::Abort_Trigger,
                        Fault::Rollback_Trigger};

class ListFaultTest : public Member_Fixture, public ::testing::WithParamInterface<std::tuple<Member, Fault>> {
protected:
    void SetUp() override {
        m_pMember = &std::get<0>(GetParam());
        Member_Fixture::SetUp();
    }
    Fault F() const { return std::get<1>(GetParam()); }
    bool Is_Trigger() const { return F() == Fault::Abort_Trigger || F() == Fault::Rollback_Trigger; }

    // Makes the fault real from now on; a trigger refuses the statements events name on
    // the list's table (only for the value strValue when it is set, as the old row for a
    // DELETE and as the new one otherwise).
    void Make_Fault(std::initializer_list<const char*> events, const QString& strValue = QString()) {
        if (F() == Fault::Database_Full) Fill_Until_Full(M().strTable, M().strColumn);
        QStringList statements;
        for (const char* strEvent : events) {
            QString strStatement = QString("%1 ON %2").arg(QLatin1String(strEvent), M().strTable);
            if (!strValue.isEmpty())
                strStatement += QString(" WHEN %1.%2='%3'")
                                    .arg(QLatin1String(qstrcmp(strEvent, "DELETE") == 0 ? "OLD" : "NEW"), M().strColumn,
                                         strValue);
            statements << strStatement;
        }
        m_fault = Dv_Test::Make_Fault(F(), statements);
    }
    // The one box of a failed write: critical, with the database's text.
    void Expect_Failure_Box(const std::vector<test::Shown_Box>& boxes, size_t lngAt = 0) {
        ASSERT_EQ(boxes.size(), lngAt + 1) << "exactly one failure box";
        EXPECT_EQ(boxes[lngAt].lngStyle, 16);
        EXPECT_TRUE(boxes[lngAt].strText.contains(test::Fault_Text(F()))) << boxes[lngAt].strText.toStdString();
    }
    // What is listed is what is stored (the list's order is the database's).
    void Expect_List_Equals_Table() {
        QStringList listed = Listed(), stored = Stored();
        listed.sort();
        stored.sort();
        EXPECT_EQ(listed, stored);
    }
    QStringList Entries(int lngCount) const {
        QStringList entries;
        for (int i = 0; i < lngCount; ++i) entries << QString("i%1.x").arg(i, 2, 10, QLatin1Char('0'));
        return entries;
    }

    std::unique_ptr<test::Made_Fault> m_fault;
};

// The entry the database did not keep stays typed; an Add once the fault is gone stores it.
TEST_P(ListFaultTest, AddListsNothingTheDatabaseDidNotKeep) {
    Open();
    Make_Fault({"INSERT"});
    Type_And_Add(M().strSample);
    Expect_Failure_Box(Boxes());
    EXPECT_TRUE(Stored().isEmpty());
    EXPECT_TRUE(Listed().isEmpty());
    EXPECT_EQ(Entry()->text(), M().strSample);
    m_fault.reset();
    Click(M().strAdd);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored().size(), 1);
    EXPECT_EQ(Listed(), Stored());
    EXPECT_EQ(Entry()->text(), "");
}

TEST_P(ListFaultTest, RemoveTakesOffOnlyWhatTheCommitDeleted) {
    for (const char* s : {"a1.x", "b2.x", "c3.x"}) Insert_Row(s, m_lngUser);
    Open();
    Make_Fault({"DELETE"});
    List()->Set_Selected(1, true);
    List()->Set_Selected(3, true);
    messageBox->Answer(platform::vbYes);
    Click(M().strRemove);
    auto boxes = Boxes();
    // Deleting needs no room: on a full disk the entries go, and nothing is reported.
    if (F() == Fault::Database_Full) {
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_EQ(Stored(), QStringList{"b2.x"});
    } else {
        Expect_Failure_Box(boxes, 1);  // two deletes refused, one box
        EXPECT_EQ(Stored().size(), 3);
    }
    Expect_List_Equals_Table();
}

TEST_P(ListFaultTest, RemoveOfThreeWithTheMiddleRefusedListsExactlyWhatTheTableHolds) {
    // Three selected, the delete of the middle one refused (a lock, a read-only file and
    // a full disk treat all three alike). Undone statement: the others go. Transaction
    // rolled back: nothing goes, and no later delete may run on its own.
    for (const char* s : {"a1.x", "b2.x", "c3.x"}) Insert_Row(s, m_lngUser);
    Open();
    Make_Fault({"DELETE"}, "b2.x");
    for (long i = 1; i <= 3; ++i) List()->Set_Selected(i, true);
    messageBox->Answer(platform::vbYes);
    Click(M().strRemove);
    auto boxes = Boxes();
    QStringList expected{"a1.x", "b2.x", "c3.x"};
    if (F() == Fault::Database_Full) {
        EXPECT_EQ(boxes.size(), 1u);  // the question only
        expected.clear();
    } else {
        Expect_Failure_Box(boxes, 1);
        if (F() == Fault::Abort_Trigger) expected = QStringList{"b2.x"};
    }
    m_fault.reset();
    QStringList stored = Stored();
    stored.sort();
    EXPECT_EQ(stored, expected);
    Expect_List_Equals_Table();
    // No transaction was left open: the next remove stores its deletes.
    for (long i = 1; i <= List()->Count(); ++i) List()->Set_Selected(i, true);
    if (List()->Count() > 0) {
        messageBox->Answer(platform::vbYes);
        Click(M().strRemove);
        EXPECT_EQ(Boxes().size(), 1u);
    }
    EXPECT_TRUE(Stored().isEmpty());
    EXPECT_TRUE(Listed().isEmpty());
}

TEST_P(ListFaultTest, AnEditStaysOnlyWhenStored) {
    Insert_Row("a1.x", m_lngUser);
    Open();
    Make_Fault({"UPDATE"});
    ASSERT_TRUE(Edit_In_Place(M().strList, M().strEdit, 1, "b2.x"));
    auto boxes = Boxes();
    if (F() != Fault::Database_Full || !boxes.empty()) {
        Expect_Failure_Box(boxes);
        EXPECT_EQ(Stored(), QStringList{"a1.x"});
    }
    Expect_List_Equals_Table();
}

TEST_P(ListFaultTest, ImportStopsAtTheFirstFailedWriteWithOneBoxAndListsWhatWasStored) {
    Insert_Row("old.x", m_lngUser);
    Open();
    const QStringList entries = Entries(40);
    // A trigger refuses the eleventh entry; the other faults refuse whatever they refuse.
    Make_Fault({"INSERT"}, entries[10]);
    fileDialog->Choose(Write_File(entries.join("\r\n").toLatin1()));
    Click(M().strImport);
    const auto boxes = Boxes();
    Expect_Failure_Box(boxes);
    const long lngNew = Stored().size() - 1;
    switch (F()) {
        case Fault::Held_Read_Lock:  // every insert ran, the commit was refused: nothing kept
            EXPECT_EQ(lngNew, 0);
            break;
        case Fault::Abort_Trigger: EXPECT_EQ(lngNew, 10); [[fallthrough]];
        default:
            // The whole transaction rolled back (full disk, ROLLBACK): none before it is kept.
            if (F() == Fault::Rollback_Trigger) {
                EXPECT_EQ(lngNew, 0);
            }
            EXPECT_TRUE(boxes[0].strText.startsWith("The import stopped at \"")) << boxes[0].strText.toStdString();
            EXPECT_TRUE(boxes[0].strText.endsWith(QString("Entries stored before it: %1.").arg(lngNew)))
                << boxes[0].strText.toStdString();
    }
    Expect_List_Equals_Table();
    EXPECT_TRUE(Find<QWidget>(M().strAdd)->isEnabled());
}

TEST_P(ListFaultTest, TheEnableBoxPutsTheTickBackWhenItsWriteFails) {
    Open();
    if (Is_Trigger()) m_fault = Dv_Test::Make_Fault(F(), {"UPDATE ON USER_TBL"});
    else Make_Fault({});
    auto* box = Find<QCheckBox>(M().strEnable);
    messageBox->Answer(platform::vbYes);
    box->click();
    auto boxes = Boxes();
    // Writing the bits in place needs no room on a full disk.
    if (F() == Fault::Database_Full) {
        EXPECT_EQ(boxes.size(), 1u);
    } else {
        Expect_Failure_Box(boxes, 1);
    }
    m_fault.reset();
    EXPECT_EQ(box->isChecked(), User_Column("FEATURE_BITS") == QString::number(M().lngBit));
}

INSTANTIATE_TEST_SUITE_P(MembersAndFaults, ListFaultTest, ::testing::Combine(::testing::ValuesIn(MEMBERS), ::testing::ValuesIn(FAULTS)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).strName) + "_" +
                                    test::Fault_Name(std::get<1>(info.param));
                         });

// ---------------------------------------------------------------- file filter

class FileFilterTest : public Member_Fixture {};


struct File_Add_Case {
    const char* strTyped;
    bool blnStored;
};

TEST_F(FileFilterTest, AddChecksLengthAndBlanksOfTheTypedText) {
    const File_Add_Case cases[] = {{"", false}, {"z", false}, {".z", true}, {" .rar", false}, {".a b", false}, {".tar ", false}};
    dialog.reset(new frmFileFilter(*console));
    auto* txt = dialog->findChild<QLineEdit*>("txtFileExtension");
    EXPECT_EQ(txt->maxLength(), 10);
    for (const File_Add_Case& c : cases) {
        txt->setText(c.strTyped);
        dialog->findChild<QPushButton*>("cmdAdd")->click();
        auto boxes = Boxes();
        EXPECT_EQ(boxes.empty(), c.blnStored) << c.strTyped;
        if (!c.blnStored && !boxes.empty()) {
            EXPECT_EQ(boxes[0].strText, "Please enter a valid File Extension!.");
        }
        EXPECT_EQ(txt->text(), "");
    }
    EXPECT_EQ(Scalar("SELECT GROUP_CONCAT(FILE_EXTN) FROM FILE_TBL"), ".z");
}

TEST_F(FileFilterTest, ImportCutsToTenCharactersSkipsInvalidFieldsAndKeepsCaseVariants) {
    Exec(QString("INSERT INTO FILE_TBL (FILE_EXTN, COMPUTER_ID, USER_ID) VALUES ('.zip', 0, %1)").arg(m_lngUser));
    dialog.reset(new frmFileFilter(*console));
    fileDialog->Choose(Write_File("  .ZIP  \r\n.abcdefghijklmno\r\nz\r\n.a b\r\n\".doc\"\r\n"));
    dialog->findChild<QToolButton*>("cmdImport")->click();
    EXPECT_EQ(Query(QString("SELECT FILE_EXTN FROM FILE_TBL WHERE USER_ID=%1 ORDER BY rowid").arg(m_lngUser)),
              (test::Rows{{".zip"}, {".ZIP"}, {".abcdefghi"}, {".doc"}}));
    EXPECT_TRUE(Boxes().empty());
}

// ---------------------------------------------------------------- website filter

class WebsiteFilterTest : public Member_Fixture {
protected:
    frmWebsiteFilter& Open_Website() {
        dialog.reset(new frmWebsiteFilter(*console));
        dialog->show();
        return static_cast<frmWebsiteFilter&>(*dialog);
    }
    void Add_To(const char* strBox, const char* strButton, const QString& strText) {
        dialog->findChild<QLineEdit*>(strBox)->setText(strText);
        dialog->findChild<QPushButton*>(strButton)->click();
    }
};

TEST_F(WebsiteFilterTest, AddLowerCasesAndTrims) {
    Open_Website();
    Add_To("txtBlackUrl", "cmdBlackAdd", "  Example.COM ");
    EXPECT_EQ(Scalar("SELECT BL_URL FROM BL_TBL"), "example.com");
}

TEST_F(WebsiteFilterTest, AnUrlStandsInOneListOnlyWhenTyped) {
    struct Case {
        const char* strBox;
        const char* strButton;
        const char* strMessage;
    };
    const Case cases[] = {
        {"txtBlackUrl", "cmdBlackAdd", "URL already exist!."},
        {"txtWhiteUrl", "cmdWhiteAdd", "URL already exist in Black List!."},
    };
    Open_Website();
    Add_To("txtBlackUrl", "cmdBlackAdd", "a.com");
    Add_To("txtWhiteUrl", "cmdWhiteAdd", "w.com");
    for (const Case& c : cases) {
        Add_To(c.strBox, c.strButton, "A.COM");
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, c.strMessage);
    }
    Add_To("txtBlackUrl", "cmdBlackAdd", "w.com");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "URL already exist in White List!.");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM BL_TBL"), "1");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM WL_TBL"), "1");
}

TEST_F(WebsiteFilterTest, WithoutADatabaseOnlyTheWhiteListAddChecksAndNeitherEmptiesItsBox) {
    // The black list checks and stores only on an open database; the white list runs
    // every step whatever the open gave (and its statements fail). Neither loses the text.
    struct Case {
        const char* strBox;
        const char* strButton;
        const char* strList;
        const char* strLeft;  // what the box holds afterwards (" Example.com" was typed)
    };
    const Case cases[] = {
        {"txtBlackUrl", "cmdBlackAdd", "lvwBlackList", " Example.com"},
        // Checked, not stored: the typed text stays for a retry.
        {"txtWhiteUrl", "cmdWhiteAdd", "lvwWhiteList", " Example.com"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strBox);
        Open_Website();
        const QString strFile = Database_File();
        ASSERT_TRUE(QFile::rename(strFile, strFile + ".away"));
        Add_To(c.strBox, c.strButton, " Example.com");
        const auto boxes = Boxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_TRUE(boxes[0].strText.startsWith("File not found: " + strFile)) << boxes[0].strText.toStdString();
        EXPECT_EQ(boxes[0].lngStyle, 16);
        // No check ran on the black list: its only box is the failed open.
        if (QLatin1String(c.strBox) == QLatin1String("txtBlackUrl")) {
            EXPECT_EQ(boxes.size(), 1u);
        }
        EXPECT_EQ(dialog->findChild<QLineEdit*>(c.strBox)->text(), c.strLeft);
        EXPECT_TRUE(Dialog_Test::Listed(c.strList).isEmpty());
        ASSERT_TRUE(QFile::rename(strFile + ".away", strFile));
        EXPECT_EQ(Scalar("SELECT COUNT(*) FROM BL_TBL") + Scalar("SELECT COUNT(*) FROM WL_TBL"), "00");
    }
}

TEST_F(WebsiteFilterTest, EmptyEntryIsAcceptedOnceAndBlanksAreRefused) {
    Open_Website();
    Add_To("txtBlackUrl", "cmdBlackAdd", "   ");
    Add_To("txtBlackUrl", "cmdBlackAdd", "");
    Add_To("txtBlackUrl", "cmdBlackAdd", "a b.com");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].strText, "URL already exist!.");
    EXPECT_EQ(boxes[1].strText, "Please enter a valid URL!.");
    EXPECT_EQ(Query("SELECT BL_URL FROM BL_TBL"), (test::Rows{{""}}));
}

TEST_F(WebsiteFilterTest, ImportLowerCasesCutsToFiftyAndIgnoresTheOtherList) {
    Exec(QString("INSERT INTO BL_TBL (BL_URL, COMPUTER_ID, USER_ID) VALUES ('both.com', 0, %1)").arg(m_lngUser));
    Open_Website();
    fileDialog->Choose(Write_File(("Both.COM\r\n" + QString(60, 'X') + "\r\nin side.com\r\n").toLatin1()));
    dialog->findChild<QToolButton*>("cmdURLWLImport")->click();
    EXPECT_EQ(Query("SELECT WL_URL FROM WL_TBL ORDER BY rowid"), (test::Rows{{"both.com"}, {QString(50, 'x')}}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(WebsiteFilterTest, TheOwnersInternetStateChoosesTheListShownFirst) {
    struct Case {
        int intOnOff;
        const char* strShown;
        const char* strHidden;
    };
    for (const Case& c : {Case{1, "fraBlackList", "fraWhiteList"}, Case{0, "fraWhiteList", "fraBlackList"}}) {
        Exec(QString("UPDATE USER_TBL SET IA_ON_OFF=%1 WHERE USER_ID=%2").arg(c.intOnOff).arg(m_lngUser));
        Open_Website();
        EXPECT_TRUE(dialog->findChild<QWidget*>(c.strShown)->isVisible()) << c.intOnOff;
        EXPECT_FALSE(dialog->findChild<QWidget*>(c.strHidden)->isVisible()) << c.intOnOff;
    }
    auto* cbo = dialog->findChild<QComboBox*>("cboUrlType");
    const QSize size = dialog->size();
    cbo->setCurrentIndex(0);
    EXPECT_TRUE(dialog->findChild<QWidget*>("fraBlackList")->isVisible());
    cbo->setCurrentIndex(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog->size(), size);  // switching lists does not grow the dialog
}

TEST_F(WebsiteFilterTest, RemoteModeStillSwitchesLists) {
    modGlobal::Is_Remote_Mode = true;
    Open_Website();
    auto* cbo = dialog->findChild<QComboBox*>("cboUrlType");
    EXPECT_TRUE(cbo->isEnabled());
    cbo->setCurrentIndex(1);
    EXPECT_TRUE(dialog->findChild<QWidget*>("fraWhiteList")->isVisible());
}

TEST_F(WebsiteFilterTest, LargeImportStaysResponsiveAndListsOnlyOnceStored) {
    QByteArray bytes;
    for (int i = 0; i < 2500; ++i) bytes += "site" + QByteArray::number(i) + ".example\r\n";
    Open_Website();
    auto* cmdClose = dialog->findChild<QPushButton*>("cmdClose");
    auto* list = dialog->findChild<ListView*>("lvwBlackList");
    auto* progress = dialog->findChild<QProgressBar*>("prgImport");
    ASSERT_NE(progress, nullptr);
    // What the window showed each time the import let it run.
    std::vector<int> progressSeen;
    long lngListedMeanwhile = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (cmdClose->isEnabled()) return;
        progressSeen.push_back(progress->isVisible() ? progress->value() : -1);
        lngListedMeanwhile = std::max(lngListedMeanwhile, list->Count());
    });
    probe.start(0);
    fileDialog->Choose(Write_File(bytes));
    dialog->findChild<QToolButton*>("cmdURLBLImport")->click();
    probe.stop();
    // The message loop ran at least every 500 entries, and the bar moved each time.
    const std::vector<int> expected{0, 500, 1000, 1500, 2000};
    EXPECT_EQ(progressSeen, expected);
    // Nothing was listed before the commit; then every entry at once.
    EXPECT_EQ(lngListedMeanwhile, 0);
    EXPECT_EQ(list->Count(), 2500);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM BL_TBL"), "2500");
    EXPECT_TRUE(cmdClose->isEnabled());
    EXPECT_FALSE(progress->isVisible());
}

}  // namespace
