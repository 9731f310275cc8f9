// Internet settings: the blocked-internet message settings written on Apply, and the
// always-allowed programs written at once on Add, Browse and Remove.
#include "SettingsFixture.h"

#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "filterlib/lhdvsock.h"
#include "lists/ListEditor.h"
#include "platform/Controls.h"
#include "platform/ListView.h"
#include "schedules/frmInternetSettings.h"
#include "services/MakerLinks.h"
#include "services/modFilterLibrary.h"
#include "services/modGlobal.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>
#include <optional>

using platform::ListView;

namespace {

class InternetSettingsTest : public test::Settings_Test<frmInternetSettings> {
protected:
    void Store_Message(long lngType, const QString& strMessage, const QString& strUrl) {
        Exec(QString("UPDATE USER_TBL SET URL_MSG_TYPE=%1, BLOCKED_URL_MSG='%2', REDIRECT_URL='%3' WHERE USER_ID=%4")
                 .arg(lngType)
                 .arg(strMessage, strUrl)
                 .arg(m_lngUser));
    }
    test::Rows Stored_Message() {
        return Query(QString("SELECT URL_MSG_TYPE, BLOCKED_URL_MSG, REDIRECT_URL FROM USER_TBL WHERE USER_ID=%1")
                         .arg(m_lngUser));
    }
    void Insert_Program(const QString& strName, long lngUser) {
        Exec(QString("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES ('%1', 0, %2)")
                 .arg(strName)
                 .arg(lngUser));
    }
    QStringList Stored_Programs() {
        QStringList names;
        for (const QStringList& row :
             Query(QString("SELECT BYPASS_EXE FROM BYPASS_EXE_TBL WHERE USER_ID=%1 ORDER BY rowid").arg(m_lngUser)))
            names << row[0];
        return names;
    }
    ListView* List() const { return Find<ListView>("lvwBypassedExe"); }
    QStringList Listed() const {
        QStringList names;
        for (long i = 1; i <= List()->Count(); ++i) names << List()->Text(i);
        return names;
    }
    QLineEdit* Entry() const { return Find<QLineEdit>("txtByPassedExe"); }
    QComboBox* Types() const { return Find<QComboBox>("cboWindowType"); }
    void Add(const QString& strName) {
        Entry()->setText(strName);
        Click("cmdAdd");
    }
    void Select_Only(std::initializer_list<long> items) {
        for (long i = 1; i <= List()->Count(); ++i) List()->Set_Selected(i, false);
        for (long i : items) List()->Set_Selected(i, true);
    }
    void Remove_With(int intAnswer) {
        messageBox->Answer(intAnswer);
        Click("cmdRemove");
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].strText, "Are you sure you want to delete the selected Exe(s)?");
        EXPECT_EQ(boxes[0].lngStyle, 36);
    }
    double Full_Width() const { return lists::List_Inner_Width_Twips(*List()) - 20; }
    // The network filter library as built, in the program folder.
    void Put_Filter_Library() {
        ASSERT_TRUE(QFile::copy(QStringLiteral(DV_LHDVSOCK_FILE), modFilterLibrary::Library_File()));
    }
};

// ---------------------------------------------------------------- message settings

struct Type_Case {
    const char* strName;
    long lngType;
    int intIndex;  // selected in the combo; -1 none
    bool blnMessageShown;
    bool blnRedirectShown;
};
void PrintTo(const Type_Case& c, std::ostream* os) { *os << c.strName; }

class InternetSettingsTypeTest : public InternetSettingsTest, public ::testing::WithParamInterface<Type_Case> {};

TEST_P(InternetSettingsTypeTest, TheStoredTypeSelectsItsItemAndShowsItsGroupWithApplyDisabled) {
    const Type_Case& c = GetParam();
    Store_Message(c.lngType, "Blocked!", "http://example.com/");
    Open();
    EXPECT_EQ(Types()->currentIndex(), c.intIndex);
    EXPECT_EQ(Shown("lblMessage"), c.blnMessageShown);
    EXPECT_EQ(Shown("txtBlMessage"), c.blnMessageShown);
    EXPECT_EQ(Shown("lblRedirectUrl"), c.blnRedirectShown);
    EXPECT_EQ(Shown("txtRedirectUrl"), c.blnRedirectShown);
    EXPECT_EQ(Find<platform::Text_Box>("txtBlMessage")->text(), "Blocked!");
    EXPECT_EQ(Find<QLineEdit>("txtRedirectUrl")->text(), "http://example.com/");
    EXPECT_FALSE(Enabled("cmdApply"));
}

INSTANTIATE_TEST_SUITE_P(Types, InternetSettingsTypeTest,
                         ::testing::Values(Type_Case{"silent", 0, 0, false, false},
                                           Type_Case{"browser", 1, 1, true, false},
                                           Type_Case{"message_box", 2, 2, true, false},
                                           Type_Case{"redirect", 3, 3, false, true},
                                           // Outside the four types: no selection, both groups as designed.
                                           Type_Case{"unknown", 7, -1, true, true}));

TEST_F(InternetSettingsTest, TheComboHoldsTheFourTypesInIndexOrderUnderTheUsersCaption) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Internet Settings - alice");
    ASSERT_EQ(Types()->count(), 4);
    EXPECT_EQ(Types()->itemText(0), "Do not show any messages (block silently)");
    EXPECT_EQ(Types()->itemText(1), "Browser Window");
    EXPECT_EQ(Types()->itemText(2), "Message Box");
    EXPECT_EQ(Types()->itemText(3), "Redirect URL");
}

TEST_F(InternetSettingsTest, AnEmptyStoredAddressShowsHttpAndIsStoredSoByTheNextApply) {
    Store_Message(2, "Blocked", "");
    Open();
    EXPECT_EQ(Find<QLineEdit>("txtRedirectUrl")->text(), "http://");
    Find<platform::Text_Box>("txtBlMessage")->setText("Not allowed");
    ASSERT_TRUE(Enabled("cmdApply"));
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Message(), (test::Rows{{"2", "Not allowed", "http://"}}));
    EXPECT_FALSE(Enabled("cmdApply"));
}

TEST_F(InternetSettingsTest, ApplyStoresTheChosenTypeAndBothTrimmedTextsAlsoOfAHiddenBox) {
    Store_Message(2, "Blocked", "http://old.example/");
    Open();
    Find<platform::Text_Box>("txtBlMessage")->setText("  Ask your teacher's permission  ");
    Types()->setCurrentIndex(3);  // the message box is hidden now, its text still counts
    EXPECT_FALSE(Shown("txtBlMessage"));
    EXPECT_TRUE(Shown("txtRedirectUrl"));
    Find<QLineEdit>("txtRedirectUrl")->setText(" www.example.org ");
    Click("cmdApply");
    Expect_Saved();
    // No "http://" added; an apostrophe is stored as typed.
    EXPECT_EQ(Stored_Message(), (test::Rows{{"3", "Ask your teacher's permission", "www.example.org"}}));
    EXPECT_FALSE(Enabled("cmdApply"));
}

// The message is stored as it is in the box, with only blanks at either end removed:
// a message loaded and applied unchanged stays as stored; a text typed or pasted keeps
// every character, and the line ends the box shows are those of the stored text.
struct Message_Case {
    const char* strName;
    QString strStored;  // before the dialog opens
    std::optional<QString> typed;  // pasted over the whole box; none: applied as loaded
    bool blnKeys;  // typed key by key instead, "\n" as the Enter key
    QString strExpected;
};
void PrintTo(const Message_Case& c, std::ostream* os) { *os << c.strName; }

class InternetSettingsMessageTest : public InternetSettingsTest, public ::testing::WithParamInterface<Message_Case> {};

TEST_P(InternetSettingsMessageTest, ApplyStoresTheMessageAsItIsInTheBox) {
    const Message_Case& c = GetParam();
    Store_Message(2, c.strStored, "http://a/");
    Open();
    auto* pBox = Find<platform::Text_Box>("txtBlMessage");
    EXPECT_EQ(pBox->text(), c.strStored);
    if (c.typed) {
        pBox->selectAll();
        if (!c.blnKeys) {
            pBox->insertPlainText(*c.typed);
        } else {
            QTest::keyClick(pBox, Qt::Key_Delete);
            const QStringList lines = c.typed->split(u'\n');
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (i > 0) QTest::keyClick(pBox, Qt::Key_Return);
                QTest::keyClicks(pBox, lines[i]);
            }
        }
    }
    Types()->setCurrentIndex(1);
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Message(), (test::Rows{{"1", c.strExpected, "http://a/"}}));
}

const Message_Case MESSAGE_CASES[] = {
    {"NoBreakSpaces", "old", QString::fromUtf8(" \u00A0Ask\u00A0first\u00A0 "), false,
     QString::fromUtf8("\u00A0Ask\u00A0first\u00A0")},
    {"LineSeparator", "old", QString::fromUtf8("Blocked\u2028by policy"), false, QString::fromUtf8("Blocked\u2028by policy")},
    // A paragraph separator breaks the box's paragraph: it is stored as the line end.
    {"ParagraphSeparator", "old", QString::fromUtf8("Blocked\u2029by policy"), false, "Blocked\nby policy"},
    {"Tabs", "old", "\tBlocked\tnow\t", false, "\tBlocked\tnow\t"},
    {"BlanksAround", "old", "   Blocked by policy   ", false, "Blocked by policy"},
    {"BlanksOnly", "old", "    ", false, ""},
    {"TypedLines", "old", "Line one\nLine two", true, "Line one\nLine two"},
    {"TypedBlanksAndNoBreakSpace", "old", QString::fromUtf8("  x\u00A0y  "), true, QString::fromUtf8("x\u00A0y")},
    // Pasted CR LF is one line end of the box: LF, as the box was loaded with LF text.
    {"PastedCrLf", "old", "a\r\nb", false, "a\nb"},
    {"StoredCrLfUnchanged", "Line one\r\nLine two\r\n", std::nullopt, false, "Line one\r\nLine two\r\n"},
    {"StoredCrLfThenEnterTyped", "one\r\ntwo", "one\ntwo\nthree", true, "one\r\ntwo\r\nthree"},
    {"StoredLfUnchanged", "Line one\nLine two", std::nullopt, false, "Line one\nLine two"},
    {"StoredSeparatorsUnchanged", QString::fromUtf8("a\u00A0b\u2028c\td"), std::nullopt, false,
     QString::fromUtf8("a\u00A0b\u2028c\td")},
};

INSTANTIATE_TEST_SUITE_P(Messages, InternetSettingsMessageTest, ::testing::ValuesIn(MESSAGE_CASES),
                         [](const auto& info) { return std::string(info.param.strName); });

// Enter typed with any modifier is the box's line end (the first line end of the
// stored text, LF when it holds none), never Qt's soft line break U+2028, which the
// components showing the message to a blocked user do not break at.
struct Typed_Enter_Case {
    const char* strName;
    const char* strStored;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* strExpected;
};
void PrintTo(const Typed_Enter_Case& c, std::ostream* os) { *os << c.strName; }

class InternetSettingsTypedEnterTest : public InternetSettingsTest,
                                       public ::testing::WithParamInterface<Typed_Enter_Case> {};

TEST_P(InternetSettingsTypedEnterTest, IsStoredAsTheBoxsLineEnd) {
    const Typed_Enter_Case& c = GetParam();
    Store_Message(2, c.strStored, "http://a/");
    Open();
    auto* pBox = Find<platform::Text_Box>("txtBlMessage");
    pBox->setFocus();
    pBox->selectAll();
    QTest::keyClick(pBox, Qt::Key_Delete);
    QTest::keyClicks(pBox, "one");
    QTest::keyClick(pBox, c.key, c.modifiers);
    QTest::keyClicks(pBox, "two");
    EXPECT_FALSE(pBox->text().contains(QChar::LineSeparator));
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Message(), (test::Rows{{"2", c.strExpected, "http://a/"}}));
    EXPECT_TRUE(dialog->isVisible()) << "Enter in the box is no default button";
}

INSTANTIATE_TEST_SUITE_P(
    Keys, InternetSettingsTypedEnterTest,
    ::testing::Values(Typed_Enter_Case{"ShiftEnter", "Blocked", Qt::Key_Return, Qt::ShiftModifier, "one\ntwo"},
                      Typed_Enter_Case{"ControlEnter", "Blocked", Qt::Key_Return, Qt::ControlModifier, "one\ntwo"},
                      Typed_Enter_Case{"AltEnter", "Blocked", Qt::Key_Return, Qt::AltModifier, "one\ntwo"},
                      Typed_Enter_Case{"ShiftKeypadEnter", "Blocked", Qt::Key_Enter,
                                       Qt::ShiftModifier | Qt::KeypadModifier, "one\ntwo"},
                      Typed_Enter_Case{"ShiftEnterInACrLfText", "a\r\nb\nc", Qt::Key_Return, Qt::ShiftModifier,
                                       "one\r\ntwo"},
                      Typed_Enter_Case{"EnterInALfThenCrLfText", "a\nb\r\nc", Qt::Key_Return, Qt::NoModifier,
                                       "one\ntwo"}),
    [](const auto& info) { return std::string(info.param.strName); });

// A stored text the administrator did not edit is stored again exactly as it was,
// whatever its line ends, by an Apply that changed the type alone.
TEST_F(InternetSettingsTest, AStoredTextWithMixedLineEndsIsKeptByAnApplyOfTheTypeAlone) {
    const QString texts[] = {"one\r\ntwo\nthree", "one\ntwo\r\nthree\r\n", "one\rtwo\r\nthree\n",
                             QString::fromUtf8("one\u2029two\r\nthree")};
    for (const QString& strStored : texts) {
        Store_Message(2, strStored, "http://a/");
        Open();
        EXPECT_EQ(Find<platform::Text_Box>("txtBlMessage")->text(), strStored);
        Types()->setCurrentIndex(1);
        Click("cmdApply");
        Expect_Saved();
        EXPECT_EQ(Stored_Message(), (test::Rows{{"1", strStored, "http://a/"}})) << strStored.toStdString();
    }
    // Once edited, every line end is the box's: the stored text's first.
    Store_Message(2, "one\ntwo\r\nthree", "http://a/");
    Open();
    auto* pBox = Find<platform::Text_Box>("txtBlMessage");
    pBox->setFocus();
    pBox->moveCursor(QTextCursor::End);
    QTest::keyClicks(pBox, " four");
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Message(), (test::Rows{{"2", "one\ntwo\nthree four", "http://a/"}}));
}

// A message and an address another program stored in a form of its own (Windows-1252,
// a blob, a UTF-8 text cut inside its last character, outer blanks) keep their stored
// bytes through an Apply of the type alone; an edited message is written as typed, and
// the address beside it still keeps its bytes.
struct Stored_Bytes_Case {
    const char* strName;
    const char* strSql;
};
void PrintTo(const Stored_Bytes_Case& c, std::ostream* os) { *os << c.strName; }

class InternetSettingsStoredBytesTest : public InternetSettingsTest,
                                        public ::testing::WithParamInterface<Stored_Bytes_Case> {
protected:
    QString Stored_Bytes(const char* strColumn) {
        return Scalar(QString("SELECT hex(%1) || typeof(%1) FROM USER_TBL WHERE USER_ID=%2").arg(strColumn).arg(m_lngUser));
    }
};

TEST_P(InternetSettingsStoredBytesTest, AnApplyOfTheTypeAloneKeepsTheStoredBytesOfBothTexts) {
    Exec(QString("UPDATE USER_TBL SET URL_MSG_TYPE=1, BLOCKED_URL_MSG=%1, REDIRECT_URL=%1 WHERE USER_ID=%2")
             .arg(GetParam().strSql)
             .arg(m_lngUser));
    const QString strMessage = Stored_Bytes("BLOCKED_URL_MSG"), strAddress = Stored_Bytes("REDIRECT_URL");
    Open();
    Types()->setCurrentIndex(2);
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Scalar(QString("SELECT URL_MSG_TYPE FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser)), "2");
    EXPECT_EQ(Stored_Bytes("BLOCKED_URL_MSG"), strMessage);
    EXPECT_EQ(Stored_Bytes("REDIRECT_URL"), strAddress);
    // A second Apply after an edit of the message alone.
    Find<platform::Text_Box>("txtBlMessage")->setText(QString::fromUtf8("Bloqu\u00e9!"));
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Bytes("BLOCKED_URL_MSG"), "426C6F7175C3A921text");
    EXPECT_EQ(Stored_Bytes("REDIRECT_URL"), strAddress);
}

INSTANTIATE_TEST_SUITE_P(Forms, InternetSettingsStoredBytesTest,
                         ::testing::Values(Stored_Bytes_Case{"Windows1252", "CAST(X'426C6F7175E9' AS TEXT)"},
                                           Stored_Bytes_Case{"Blob", "X'426C6F7175C3A9'"},
                                           Stored_Bytes_Case{"CutUtf8", "CAST(X'426C6F7175C3A920C3' AS TEXT)"},
                                           Stored_Bytes_Case{"OuterBlanks", "CAST(X'2042E920' AS TEXT)"}),
                         [](const auto& info) { return std::string(info.param.strName); });

// The address loses only the blanks at either end, as the message does; every other
// character typed stays.
TEST_F(InternetSettingsTest, TheAddressLosesOnlyItsOuterBlanks) {
    Store_Message(3, "Blocked", "http://old/");
    Open();
    Find<QLineEdit>("txtRedirectUrl")->setText(QString::fromUtf8("  \thttp://a.example/\u00A0  "));
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Message(), (test::Rows{{"3", "Blocked", QString::fromUtf8("\thttp://a.example/\u00A0")}}));
}

TEST_F(InternetSettingsTest, ChoosingATypeOrEditingABoxEnablesApply) {
    Store_Message(1, "Blocked", "http://a/");
    const std::function<void()> changes[] = {
        [this] { Types()->setCurrentIndex(0); },
        [this] { Find<platform::Text_Box>("txtBlMessage")->setText("x"); },
        [this] { Find<QLineEdit>("txtRedirectUrl")->setText("http://b/"); },
    };
    for (const auto& change : changes) {
        Open();
        ASSERT_FALSE(Enabled("cmdApply"));
        change();
        EXPECT_TRUE(Enabled("cmdApply"));
    }
}

TEST_F(InternetSettingsTest, AnUnknownStoredTypeIsKeptByApplyWhileNoTypeIsChosen) {
    Store_Message(7, "Blocked", "http://a/");
    Open();
    Find<platform::Text_Box>("txtBlMessage")->setText("Changed");
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Message(), (test::Rows{{"7", "Changed", "http://a/"}}));
}

TEST_F(InternetSettingsTest, EscAfterAChangeClosesWithoutAQuestionAndWritesNothing) {
    Store_Message(1, "Blocked", "http://a/");
    Open();
    Types()->setCurrentIndex(3);
    QTest::keyClick(Types(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Stored_Message(), (test::Rows{{"1", "Blocked", "http://a/"}}));
}

// ---------------------------------------------------------------- always-allowed programs

TEST_F(InternetSettingsTest, LoadListsOnlyTheOwnersProgramsInAColumnAsWideAsTheList) {
    Insert_Program("updater.exe", m_lngUser);
    Insert_Program("other.exe", Insert_User("bob"));
    Open();
    EXPECT_EQ(Listed(), QStringList{"updater.exe"});
    EXPECT_EQ(List()->Small_Icon(1), "BypassedExe");
    EXPECT_EQ(List()->Column_Text(1), "EXE Name");
    EXPECT_NEAR(List()->Column_Width(1), Full_Width(), 16);
}

TEST_F(InternetSettingsTest, AddStoresTheTrimmedNameWithBothIdsListsItAndEmptiesTheBox) {
    Open();
    Add("  updater.exe ");
    EXPECT_EQ(Query("SELECT BYPASS_EXE, COMPUTER_ID, USER_ID FROM BYPASS_EXE_TBL"),
              (test::Rows{{"updater.exe", "0", QString::number(m_lngUser)}}));
    EXPECT_EQ(Listed(), QStringList{"updater.exe"});
    EXPECT_EQ(List()->Small_Icon(1), "BypassedExe");
    EXPECT_EQ(Entry()->text(), "");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM EXE_TBL"), "0");
}

TEST_F(InternetSettingsTest, AddOfAListedNameInOtherLettersWarnsSelectsTheTextAndWritesNothing) {
    Insert_Program("updater.exe", m_lngUser);
    Open();
    Add("UPDATER.EXE");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "The Exe already exists in the list!");
    EXPECT_EQ(boxes[0].lngStyle, 48);
    EXPECT_EQ(Entry()->text(), "UPDATER.EXE");
    EXPECT_EQ(Entry()->selectedText(), "UPDATER.EXE");
    EXPECT_EQ(Stored_Programs(), QStringList{"updater.exe"});
    EXPECT_EQ(Listed(), QStringList{"updater.exe"});
}

TEST_F(InternetSettingsTest, EnterInTheNameBoxRunsAddAndKeepsTheDialogOpen) {
    Open();
    Entry()->setText("tool.exe");
    QTest::keyClick(Entry(), Qt::Key_Return);
    EXPECT_EQ(Stored_Programs(), QStringList{"tool.exe"});
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(InternetSettingsTest, EveryNameIsAcceptedAnEmptyOneOnceAndAnApostropheAsTyped) {
    Open();
    Add("   ");
    Add("o'neil.exe');--");
    EXPECT_EQ(Stored_Programs(), (QStringList{"", "o'neil.exe');--"}));
    EXPECT_EQ(Listed(), (QStringList{"", "o'neil.exe');--"}));
    Add("");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "The Exe already exists in the list!");
    EXPECT_EQ(Stored_Programs().size(), 2);
}

TEST_F(InternetSettingsTest, AFailedInsertListsNothingAndKeepsTheName) {
    auto refused = Make_Fault(test::Fault::Abort_Trigger, {"INSERT ON BYPASS_EXE_TBL"});
    Open();
    Add("tool.exe");
    Expect_One_Database_Error();
    EXPECT_TRUE(Listed().isEmpty());
    EXPECT_EQ(Entry()->text(), "tool.exe");
}

TEST_F(InternetSettingsTest, RemoveAsksThenDeletesTheSelectedProgramsOnYesOnly) {
    Insert_Program("a.exe", m_lngUser);
    Insert_Program("b.exe", m_lngUser);
    Insert_Program("c.exe", m_lngUser);
    Open();
    Select_Only({1, 3});
    Remove_With(platform::vbNo);
    EXPECT_EQ(Listed().size(), 3);
    Remove_With(platform::vbYes);
    EXPECT_EQ(Listed(), QStringList{"b.exe"});
    EXPECT_EQ(Stored_Programs(), QStringList{"b.exe"});
}

TEST_F(InternetSettingsTest, RemoveWithNothingSelectedStillAsksAndDeletesNothing) {
    Insert_Program("a.exe", m_lngUser);
    Open();
    Select_Only({});
    Remove_With(platform::vbYes);
    EXPECT_EQ(Stored_Programs(), QStringList{"a.exe"});
    EXPECT_EQ(Listed(), QStringList{"a.exe"});
}

// A trigger refuses one statement of a batch: ABORT undoes that statement only,
// ROLLBACK the whole transaction (then nothing of the batch is kept).
class InternetSettingsRefusalTest : public InternetSettingsTest, public ::testing::WithParamInterface<test::Fault> {};

TEST_P(InternetSettingsRefusalTest, RemoveGoesOnPastADeleteRefusedAloneAndListsWhatIsStored) {
    for (const char* strName : {"a.exe", "b.exe", "c.exe"}) Insert_Program(strName, m_lngUser);
    auto refused = Make_Fault(GetParam(), {"DELETE ON BYPASS_EXE_TBL WHEN OLD.BYPASS_EXE='b.exe'"});
    Open();
    Select_Only({1, 2, 3});
    messageBox->Answer(platform::vbYes);
    Click("cmdRemove");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].lngStyle, 36);
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_TRUE(boxes[1].strText.contains(test::Fault_Text(GetParam())));
    // An undone statement leaves only b.exe; a rollback takes back c.exe, deleted
    // before it, and ends the walk before a.exe.
    const QStringList kept = test::Rolls_Back_Transaction(GetParam()) ? QStringList{"a.exe", "b.exe", "c.exe"}
                                                                      : QStringList{"b.exe"};
    EXPECT_EQ(Stored_Programs(), kept);
    EXPECT_EQ(Listed(), kept);
}

TEST_F(InternetSettingsTest, TheColumnIsNarrowExactlyWhileEightOrMoreProgramsAreListed) {
    for (int i = 1; i <= 6; ++i) Insert_Program(QString("p%1.exe").arg(i), m_lngUser);
    Open();
    const double dblFull = List()->Column_Width(1);
    Add("p7.exe");
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull);
    Add("p8.exe");
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull - 250);
    Add("p9.exe");
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull - 250);
    Select_Only({9});
    Remove_With(platform::vbYes);
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull - 250);
    Select_Only({8});
    Remove_With(platform::vbYes);
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull);
}

TEST_F(InternetSettingsTest, OpeningOnEightOrMoreProgramsNarrowsTheColumnOnceAndRemovingToSevenWidensIt) {
    for (int intCount : {8, 10}) {
        Exec("DELETE FROM BYPASS_EXE_TBL");
        for (int i = 1; i <= intCount; ++i) Insert_Program(QString("p%1.exe").arg(i), m_lngUser);
        Open();
        EXPECT_NEAR(List()->Column_Width(1), Full_Width() - 250, 16) << intCount;
        Select_Only({});
        for (long i = 8; i <= intCount; ++i) List()->Set_Selected(i, true);
        Remove_With(platform::vbYes);
        EXPECT_EQ(List()->Count(), 7);
        EXPECT_NEAR(List()->Column_Width(1), Full_Width(), 16) << intCount;
    }
}

// ---------------------------------------------------------------- browse

TEST_F(InternetSettingsTest, BrowseListsTheLibrarysNamesOfTheChosenFilesInTheBypassListOnly) {
    Put_Filter_Library();
    Insert_Program("Tool.exe", m_lngUser);
    Open();
    // Three files chosen in one folder; the first is listed already in other letters.
    fileDialog->Choose(QString("C:\\Apps") + QChar(u'\0') + "TOOL.EXE" + QChar(u'\0') + "setup.exe" + QChar(u'\0') +
                       "run.exe");
    Click("cmdBrowseExe");
    ASSERT_EQ(fileDialog->opened.size(), 1u);
    EXPECT_EQ(fileDialog->opened[0].DialogTitle, "Browse for EXE files");
    EXPECT_EQ(fileDialog->opened[0].Filter, "Exe files|*.exe");
    EXPECT_EQ(fileDialog->opened[0].Flags, 0x80200);
    EXPECT_EQ(fileDialog->opened[0].MaxFileSize, 32767);
    EXPECT_EQ(Listed(), (QStringList{"Tool.exe", "setup.exe", "run.exe"}));
    EXPECT_EQ(List()->Small_Icon(3), "BypassedExe");
    EXPECT_EQ(Stored_Programs(), (QStringList{"Tool.exe", "setup.exe", "run.exe"}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM EXE_TBL"), "0");
}

TEST_F(InternetSettingsTest, BrowseToTheEighthProgramNarrowsTheColumn) {
    Put_Filter_Library();
    for (int i = 1; i <= 7; ++i) Insert_Program(QString("p%1.exe").arg(i), m_lngUser);
    Open();
    const double dblFull = List()->Column_Width(1);
    fileDialog->Choose(QString("C:\\Apps\\eighth.exe"));
    Click("cmdBrowseExe");
    EXPECT_EQ(List()->Count(), 8);
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFull - 250);
}

TEST_P(InternetSettingsRefusalTest, BrowseGoesOnPastAnInsertRefusedAloneAndListsWhatIsStored) {
    Put_Filter_Library();
    const QString strChosen =
        QString("C:\\Apps") + QChar(u'\0') + "one.exe" + QChar(u'\0') + "two.exe" + QChar(u'\0') + "three.exe";
    // A trigger refuses the second name; another process's read lock refuses the first.
    auto refused = Make_Fault(GetParam(), {"INSERT ON BYPASS_EXE_TBL WHEN NEW.BYPASS_EXE='two.exe'"});
    Open();
    fileDialog->Choose(strChosen);
    Click("cmdBrowseExe");
    Expect_One_Database_Error();
    // An undone statement leaves out the refused name only; a rollback takes every name
    // of the browse with it.
    const QStringList kept =
        test::Rolls_Back_Transaction(GetParam()) ? QStringList{} : QStringList{"one.exe", "three.exe"};
    EXPECT_EQ(Listed(), kept);
    EXPECT_EQ(Stored_Programs(), kept);

    refused->Release();
    auto lock = Make_Fault(test::Fault::Held_Read_Lock);
    fileDialog->Choose(strChosen);
    Click("cmdBrowseExe");
    lock->Release();
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.contains(test::Fault_Text(test::Fault::Held_Read_Lock))) << boxes[0].strText.toStdString();
    EXPECT_EQ(Listed(), kept);
    EXPECT_EQ(Stored_Programs(), kept);
}

INSTANTIATE_TEST_SUITE_P(Triggers, InternetSettingsRefusalTest,
                         ::testing::Values(test::Fault::Abort_Trigger, test::Fault::Rollback_Trigger),
                         [](const auto& info) { return std::string(test::Fault_Name(info.param)); });

TEST_F(InternetSettingsTest, CancelInTheBrowseDialogChangesNothing) {
    Open();
    fileDialog->Choose(std::nullopt);
    Click("cmdBrowseExe");
    EXPECT_TRUE(Listed().isEmpty());
    EXPECT_TRUE(Stored_Programs().isEmpty());
}

// ---------------------------------------------------------------- state, link and console

TEST_F(InternetSettingsTest, RemoteModeDisablesEveryEditingControlButLeavesCloseTheListAndTheLink) {
    modGlobal::Is_Remote_Mode = true;
    Open();
    for (const char* strName : {"cmdAdd", "cmdRemove", "cmdApply", "cmdBrowseExe", "txtBlMessage", "txtByPassedExe",
                                "txtRedirectUrl", "cboWindowType"})
        EXPECT_FALSE(Enabled(strName)) << strName;
    for (const char* strName : {"cmdClose", "lvwBypassedExe", "lblHomeSite"}) EXPECT_TRUE(Enabled(strName)) << strName;
}

TEST_F(InternetSettingsTest, TheHomeSiteLinkOpensTheMakersPageMaximized) {
    Open();
    QTest::mouseClick(Find<QLabel>("lblHomeSite"), Qt::LeftButton);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].strVerb, "open");
    EXPECT_EQ(shell->calls[0].strFile, Maker_Links::HOME_PAGE);
    EXPECT_EQ(shell->calls[0].strParameters, "");
    EXPECT_EQ(shell->calls[0].strDirectory, "");
    EXPECT_EQ(shell->calls[0].lngShowCmd, 3);
}

TEST_F(InternetSettingsTest, TheConsolesMenuOpensTheDialogOverTheConsole) {
    QString strCaption;
    forms->onShow = [&](QWidget& form) { strCaption = form.windowTitle(); };
    console->mnuInternetSettings_Click();
    ASSERT_EQ(forms->shown.size(), 1u);
    EXPECT_EQ(forms->shown[0], "frmInternetSettings");
    EXPECT_EQ(forms->owners[0], console.get());
    EXPECT_EQ(strCaption, "Internet Settings - alice");
}

// ---------------------------------------------------------------- always-allowed programs: stored forms

TEST_F(InternetSettingsTest, RemoveOfANameInOneLetterCaseTakesItsTwinsOffTheListAsOffTheTable) {
    for (const char* strName : {"Game.exe", "a.exe", "GAME.EXE", "game.EXE"}) Insert_Program(strName, m_lngUser);
    Open();
    // One selected, and one selected twin that the first delete takes with it.
    Select_Only({1, 4});
    Remove_With(platform::vbYes);
    EXPECT_EQ(Stored_Programs(), QStringList{"a.exe"});
    EXPECT_EQ(Listed(), QStringList{"a.exe"});
}

TEST_F(InternetSettingsTest, AProgramStoredInWindows1252IsListedReadablyAndRemoveDeletesItsRow) {
    const QString strName = QString::fromUtf8("Jos\u00e9.exe");
    Insert_Program("a.exe", m_lngUser);
    Exec(QString("INSERT INTO BYPASS_EXE_TBL (BYPASS_EXE, COMPUTER_ID, USER_ID) VALUES "
                 "(CAST(X'4A6F73E92E657865' AS TEXT), 0, %1)")
             .arg(m_lngUser));
    Open();
    EXPECT_EQ(Listed(), (QStringList{"a.exe", strName}));
    // Listed readably, so an Add of the same name in other letters is a duplicate.
    Add(QString::fromUtf8("JOS\u00e9.EXE"));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].strText, "The Exe already exists in the list!");
    Select_Only({2});
    Remove_With(platform::vbYes);
    EXPECT_EQ(Stored_Programs(), QStringList{"a.exe"});
    EXPECT_EQ(Listed(), QStringList{"a.exe"});
}

TEST_F(InternetSettingsTest, ARemoveThatDeletesNoRowKeepsTheProgramListedWithOneBox) {
    for (const char* strName : {"a.exe", "b.exe"}) Insert_Program(strName, m_lngUser);
    Exec("CREATE TRIGGER skip_delete BEFORE DELETE ON BYPASS_EXE_TBL WHEN OLD.BYPASS_EXE='b.exe' "
         "BEGIN SELECT RAISE(IGNORE); END");
    Open();
    Select_Only({2});
    messageBox->Answer(platform::vbYes);
    Click("cmdRemove");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].strText, modDBFunctions::No_Row_Message("b.exe"));
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_EQ(Stored_Programs(), (QStringList{"a.exe", "b.exe"}));
    EXPECT_EQ(Listed(), (QStringList{"a.exe", "b.exe"}));
}

TEST_F(InternetSettingsTest, RemoveOfManyUnderAHeldWriteLockWaitsOnceAndReportsOnce) {
    QStringList names;
    for (int i = 0; i < 12; ++i) names << QString("p%1.exe").arg(i, 2, 10, QLatin1Char('0'));
    for (const QString& strName : names) Insert_Program(strName, m_lngUser);
    Open();
    for (long i = 1; i <= List()->Count(); ++i) List()->Set_Selected(i, true);
    messageBox->Answer(platform::vbYes);
    Expect_One_Busy_Wait_Under_Held_Write_Lock([&] { Click("cmdRemove"); });
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].lngStyle, 16);
    EXPECT_TRUE(boxes[1].strText.contains(test::Fault_Text(test::Fault::Held_Write_Lock)));
    EXPECT_EQ(Stored_Programs(), names);
    EXPECT_EQ(Listed(), names);
}

}  // namespace
