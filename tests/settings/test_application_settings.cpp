// Application settings: the blocked-application message type and text, written on Apply.
#include "SettingsFixture.h"

#include "schedules/frmApplicationSettings.h"
#include "services/MakerLinks.h"
#include "services/modGlobal.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>

namespace {

class ApplicationSettingsTest : public test::Settings_Test<frmApplicationSettings> {
protected:
    void Store_Message(long lngType, const QString& strMessage) {
        Exec(QString("UPDATE USER_TBL SET APP_MSG_TYPE=%1, APP_BLOCKER_MSG='%2' WHERE USER_ID=%3")
                 .arg(lngType)
                 .arg(strMessage)
                 .arg(m_lngUser));
    }
    test::Rows Stored_Message() {
        return Query(QString("SELECT APP_MSG_TYPE, APP_BLOCKER_MSG FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser));
    }
    QComboBox* Types() const { return Find<QComboBox>("cboApplnWindowType"); }
    QLineEdit* Message() const { return Find<QLineEdit>("txtBlkdApplnMsg"); }
};

struct Type_Case {
    const char* strName;
    long lngType;
    int intIndex;
    bool blnMessageShown;
};
void PrintTo(const Type_Case& c, std::ostream* os) { *os << c.strName; }

class ApplicationSettingsTypeTest : public ApplicationSettingsTest, public ::testing::WithParamInterface<Type_Case> {};

TEST_P(ApplicationSettingsTypeTest, TheStoredTypeSelectsItsItemAndShowsOrHidesTheMessage) {
    const Type_Case& c = GetParam();
    Store_Message(c.lngType, "Ask the administrator");
    Open();
    EXPECT_EQ(Types()->currentIndex(), c.intIndex);
    EXPECT_EQ(Shown("lblBlockedApplicationMessage"), c.blnMessageShown);
    EXPECT_EQ(Shown("txtBlkdApplnMsg"), c.blnMessageShown);
    EXPECT_EQ(Message()->text(), "Ask the administrator");
    EXPECT_FALSE(Enabled("cmdApply"));
}

INSTANTIATE_TEST_SUITE_P(Types, ApplicationSettingsTypeTest,
                         ::testing::Values(Type_Case{"silent", 0, 0, false}, Type_Case{"message_box", 1, 1, true},
                                           Type_Case{"unknown", 5, -1, true}));

TEST_F(ApplicationSettingsTest, TheCaptionNamesTheUserAndTheListHoldsTheTwoTypes) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Application Settings - alice");
    ASSERT_EQ(Types()->count(), 2);
    EXPECT_EQ(Types()->itemText(0), "Do not show any messages (block silently)");
    EXPECT_EQ(Types()->itemText(1), "Message Box");
}

struct Apply_Case {
    const char* strName;
    long lngStoredType;
    int intChosen;  // -1: the type is left as loaded
    const char* strTyped;
    const char* strStoredType;
    const char* strStoredMessage;
};
void PrintTo(const Apply_Case& c, std::ostream* os) { *os << c.strName; }

class ApplicationSettingsApplyTest : public ApplicationSettingsTest, public ::testing::WithParamInterface<Apply_Case> {};

TEST_P(ApplicationSettingsApplyTest, ApplyStoresTypeAndTrimmedMessageConfirmsAndDisablesItself) {
    const Apply_Case& c = GetParam();
    Store_Message(c.lngStoredType, "old");
    Open();
    if (c.intChosen >= 0) Types()->setCurrentIndex(c.intChosen);
    Message()->setText(c.strTyped);
    ASSERT_TRUE(Enabled("cmdApply"));
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Message(), (test::Rows{{c.strStoredType, c.strStoredMessage}}));
    EXPECT_FALSE(Enabled("cmdApply"));
}

INSTANTIATE_TEST_SUITE_P(
    Applies, ApplicationSettingsApplyTest,
    ::testing::Values(Apply_Case{"message_box_trimmed", 0, 1, "  Not allowed here  ", "1", "Not allowed here"},
                      Apply_Case{"silent", 1, 0, "kept text", "0", "kept text"},
                      Apply_Case{"blanks_only", 1, -1, "    ", "1", ""},
                      Apply_Case{"apostrophe", 1, -1, "Don't');--", "1", "Don't');--"},
                      // No type selected is written as "silent".
                      Apply_Case{"unknown_type", 5, -1, "x", "0", "x"},
                      // Every character typed stays; only blanks at either end go.
                      Apply_Case{"no_break_spaces", 1, -1, " \u00A0Ask\u00A0first\u00A0 ", "1",
                                 "\u00A0Ask\u00A0first\u00A0"},
                      Apply_Case{"line_separator", 1, -1, "Blocked\u2028by policy", "1", "Blocked\u2028by policy"},
                      Apply_Case{"paragraph_separator", 1, -1, "Blocked\u2029by policy", "1",
                                 "Blocked\u2029by policy"},
                      Apply_Case{"tabs", 1, -1, "\tBlocked\tnow\t", "1", "\tBlocked\tnow\t"},
                      Apply_Case{"cr_lf", 1, -1, " Blocked\r\nnow\r\n ", "1", "Blocked\r\nnow\r\n"}));

// A stored text the administrator did not edit is stored again exactly as it was,
// whatever its line ends, by an Apply that changed the type alone.
TEST_F(ApplicationSettingsTest, AStoredTextWithMixedLineEndsIsKeptByAnApplyOfTheTypeAlone) {
    const QString texts[] = {"one\r\ntwo\nthree", "one\ntwo\r\nthree\r\n", "one\rtwo\r\nthree\n",
                             QString::fromUtf8("one\u2029two\u2028three")};
    for (const QString& strStored : texts) {
        Store_Message(0, strStored);
        Open();
        EXPECT_EQ(Message()->text(), strStored);
        Types()->setCurrentIndex(1);
        Click("cmdApply");
        Expect_Saved();
        EXPECT_EQ(Stored_Message(), (test::Rows{{"1", strStored}})) << strStored.toStdString();
    }
}

// A message another program stored in a form of its own (Windows-1252, a blob, a UTF-8
// text cut inside its last character, outer blanks) keeps its stored bytes through an
// Apply of the type alone; once edited it is written as typed.
struct Stored_Bytes_Case {
    const char* strName;
    const char* strSql;
};
void PrintTo(const Stored_Bytes_Case& c, std::ostream* os) { *os << c.strName; }

class ApplicationSettingsStoredBytesTest : public ApplicationSettingsTest,
                                           public ::testing::WithParamInterface<Stored_Bytes_Case> {
protected:
    QString Stored_Bytes() {
        return Scalar(
            QString("SELECT hex(APP_BLOCKER_MSG) || typeof(APP_BLOCKER_MSG) FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser));
    }
};

TEST_P(ApplicationSettingsStoredBytesTest, AnApplyOfTheTypeAloneKeepsTheStoredBytes) {
    Exec(QString("UPDATE USER_TBL SET APP_MSG_TYPE=0, APP_BLOCKER_MSG=%1 WHERE USER_ID=%2")
             .arg(GetParam().strSql)
             .arg(m_lngUser));
    const QString strStored = Stored_Bytes();
    Open();
    Types()->setCurrentIndex(1);
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Message()[0][0], "1");
    EXPECT_EQ(Stored_Bytes(), strStored);
    Message()->setText(QString::fromUtf8("Bloqu\u00e9!"));
    Click("cmdApply");
    Expect_Saved();
    EXPECT_EQ(Stored_Bytes(), "426C6F7175C3A921text");
}

INSTANTIATE_TEST_SUITE_P(Forms, ApplicationSettingsStoredBytesTest,
                         ::testing::Values(Stored_Bytes_Case{"Windows1252", "CAST(X'426C6F7175E9' AS TEXT)"},
                                           Stored_Bytes_Case{"Blob", "X'426C6F7175C3A9'"},
                                           Stored_Bytes_Case{"CutUtf8", "CAST(X'426C6F7175C3A920C3' AS TEXT)"},
                                           Stored_Bytes_Case{"OuterBlanks", "CAST(X'2042E920' AS TEXT)"}),
                         [](const auto& info) { return std::string(info.param.strName); });

// The box holds one line: Enter typed with a modifier puts no character into it, so
// no soft line break U+2028 reaches the stored text either.
TEST_F(ApplicationSettingsTest, EnterTypedWithAModifierPutsNoSoftLineBreakIntoTheMessage) {
    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::ShiftModifier), Qt::KeyboardModifiers(Qt::ControlModifier),
          Qt::KeyboardModifiers(Qt::AltModifier)}) {
        Store_Message(1, "old");
        Open();
        Message()->setFocus();
        Message()->selectAll();
        QTest::keyClicks(Message(), "one");
        QTest::keyClick(Message(), Qt::Key_Return, modifiers);
        QTest::keyClicks(Message(), "two");
        EXPECT_TRUE(Boxes().empty()) << "Enter in the box applies nothing";
        Click("cmdApply");
        Expect_Saved();
        EXPECT_EQ(Stored_Message(), (test::Rows{{"1", "onetwo"}}));
    }
}

TEST_F(ApplicationSettingsTest, InRemoteModeTheTextIsDisabledAndChoosingATypeLeavesApplyDisabled) {
    modGlobal::Is_Remote_Mode = true;
    Store_Message(1, "old");
    Open();
    EXPECT_FALSE(Enabled("txtBlkdApplnMsg"));
    Types()->setCurrentIndex(0);
    EXPECT_FALSE(Enabled("cmdApply"));
    EXPECT_TRUE(Enabled("cmdClose"));
}

TEST_F(ApplicationSettingsTest, EscAfterAChangeClosesWithoutAQuestionAndSavesNothing) {
    Store_Message(1, "old");
    Open();
    Message()->setText("new");
    QTest::keyClick(Message(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Stored_Message(), (test::Rows{{"1", "old"}}));
}

TEST_F(ApplicationSettingsTest, TheHomeSiteLinkOpensTheMakersPageMaximized) {
    Open();
    QTest::mouseClick(Find<QLabel>("lblHomeSite"), Qt::LeftButton);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].strVerb, "open");
    EXPECT_EQ(shell->calls[0].strFile, Maker_Links::HOME_PAGE);
    EXPECT_EQ(shell->calls[0].lngShowCmd, 3);
}

TEST_F(ApplicationSettingsTest, TheConsolesMenuOpensTheDialogOverTheConsole) {
    QString strCaption;
    forms->onShow = [&](QWidget& form) { strCaption = form.windowTitle(); };
    console->mnuApplicationSettings_Click();
    ASSERT_EQ(forms->shown.size(), 1u);
    EXPECT_EQ(forms->shown[0], "frmApplicationSettings");
    EXPECT_EQ(forms->owners[0], console.get());
    EXPECT_EQ(strCaption, "Application Settings - alice");
}

}  // namespace
