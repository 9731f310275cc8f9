// The port filter dialog: its two lists (port filter and port blocking) share one
// table, one port number rule and twin handlers, so most cases run on both lists.
#include "console/frmMain.h"
#include "database/modDBFunctions.h"
#include "lists/frmPortFilter.h"
#include "platform/Controls.h"
#include "services/modGlobal.h"
#include "support/ConsoleFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest/QTest>

using platform::ListView;

namespace {

// One of the two lists and what differs between them.
struct Side {
    const char* strName;
    int intFilterTypeIndex;  // in cboFilterType
    const char* strFrame;
    const char* strOtherFrame;
    const char* strType;
    const char* strProtocol;
    const char* strPort;
    const char* strAdd;
    const char* strRemove;
    const char* strCopy;
    const char* strList;
    const char* strOtherList;
    const char* strDefaultType;  // chosen when the dialog opens
    long lngDefaultCode;
    const char* strOtherType;    // another type of this list, with its code
    long lngOtherCode;
    long lngSampleCode;  // a code stored in this list
    const char* strSampleName;
    long lngOtherListCode;  // a code of the other list
    const char* strRefused;
    const char* strListed;
};

void PrintTo(const Side& side, std::ostream* os) { *os << side.strName; }

const Side SIDES[] = {
    {"PortFilter", 0, "fraPortFilter", "fraPortBlocking", "cboFFilter", "cboFProtocol", "txtFPortNumber", "cmdFAdd",
     "cmdFRemove", "cmdFCopySettings", "lvwPortFilter", "lvwPortBlocking", "HTTP Filter", 1, "SMTP Filter", 3, 1,
     "HTTP Filter", 65535, "Please enter a valid Port Number!", "Port Number already exist!"},
    {"PortBlocking", 1, "fraPortBlocking", "fraPortFilter", "cboBFilter", "cboBProtocol", "txtBPortNumber", "cmdBAdd",
     "cmdBRemove", "cmdBCopySettings", "lvwPortBlocking", "lvwPortFilter", "Block Completely", 65535, "Block Incoming", 65533,
     65534, "Block Outgoing", 4, "Please enter a valid Port Number!.", "Port Number already exist!."},
};

class Port_Filter_Fixture : public test::Owner_Dialog_Test {
protected:
    void TearDown() override {
        lists::Set_Copy_Settings_Opener(nullptr);
        Owner_Dialog_Test::TearDown();
    }

    void Open() {
        Open_Form<frmPortFilter>();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    void Insert_Port(long lngPort, long lngCode, const QString& strProtocol, long lngUser = -1) {
        Exec(QString("INSERT INTO PORT_TBL (PORT_NO, FILTER_TYPE, PROTOCOL_TYPE, COMPUTER_ID, USER_ID) "
                     "VALUES (%1, %2, '%3', 0, %4)")
                 .arg(lngPort)
                 .arg(lngCode)
                 .arg(strProtocol)
                 .arg(lngUser < 0 ? m_lngUser : lngUser));
    }
    // PORT_NO, FILTER_TYPE, PROTOCOL_TYPE of the owner's rows in insertion order.
    test::Rows Stored() {
        return Query(QString("SELECT PORT_NO, FILTER_TYPE, PROTOCOL_TYPE FROM PORT_TBL WHERE USER_ID=%1 ORDER BY rowid")
                         .arg(m_lngUser));
    }
    // Text, Protocol and Port Number of each item.
    test::Rows Listed_Rows(const char* strList) const {
        test::Rows rows;
        const ListView* pList = Find<ListView>(strList);
        for (long i = 1; i <= pList->Count(); ++i) rows.push_back({pList->Text(i), pList->SubItem(i, 1), pList->SubItem(i, 2)});
        return rows;
    }

};

class PortListTest : public Port_Filter_Fixture, public ::testing::WithParamInterface<Side> {
protected:
    const Side& S() const { return GetParam(); }
    void Open_Side() {
        Open();
        Find<QComboBox>("cboFilterType")->setCurrentIndex(S().intFilterTypeIndex);
    }
    QComboBox* Type() const { return Find<QComboBox>(S().strType); }
    QComboBox* Protocol() const { return Find<QComboBox>(S().strProtocol); }
    QLineEdit* Port() const { return Find<QLineEdit>(S().strPort); }
    ListView* List() const { return Find<ListView>(S().strList); }
    void Add(const QString& strPort) {
        Port()->setText(strPort);
        Find<QPushButton>(S().strAdd)->click();
    }
    void Remove(int intAnswer) {
        messageBox->Answer(intAnswer);
        Find<QPushButton>(S().strRemove)->click();
    }
    void Fill(int intRows) {
        for (int i = 1; i <= intRows; ++i) Insert_Port(1000 + i, S().lngSampleCode, "HTTP");
    }
};

TEST_P(PortListTest, OpensOnItsDefaultsWithItsOwnFrameAndThreeColumnsFillingTheList) {
    Open_Side();
    EXPECT_EQ(dialog->windowTitle(), "Port Filter - alice");
    EXPECT_TRUE(Find<QGroupBox>(S().strFrame)->isVisible());
    EXPECT_FALSE(Find<QGroupBox>(S().strOtherFrame)->isVisible());
    EXPECT_EQ(Type()->currentText(), S().strDefaultType);
    EXPECT_EQ(Protocol()->currentText(), "HTTP");
    EXPECT_EQ(Port()->text(), "80");
    EXPECT_EQ(Port()->maxLength(), 5);
    EXPECT_TRUE(Boxes().empty());

    ListView* pList = List();
    ASSERT_EQ(pList->Column_Count(), 3);
    EXPECT_EQ(pList->Column_Text(1), "Filter");
    EXPECT_EQ(pList->Column_Text(2), "Protocol");
    EXPECT_EQ(pList->Column_Text(3), "Port Number");
    // The first two columns stand under their combo boxes; the third fills the rest.
    EXPECT_NEAR(pList->Column_Width(1), platform::Pixels_To_Twips(Type()->width(), pList), 16);
    EXPECT_NEAR(pList->Column_Width(2), platform::Pixels_To_Twips(Protocol()->width(), pList), 16);
    EXPECT_NEAR(pList->Column_Width(1) + pList->Column_Width(2) + pList->Column_Width(3),
                lists::List_Inner_Width_Twips(*pList) - 20, 16);
}

TEST_P(PortListTest, AddStoresTheTripleListsItAndHandsTheFocusToTheTypeCombo) {
    Open_Side();
    Type()->setCurrentIndex(Type()->findText(S().strOtherType));
    Protocol()->setCurrentIndex(Protocol()->findText("Google Talk"));
    EXPECT_EQ(Port()->text(), "5222");
    Find<QWidget>("cmdClose")->setFocus();
    Add("5222");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored(), (test::Rows{{"5222", QString::number(S().lngOtherCode), "Google Talk"}}));
    EXPECT_EQ(Listed_Rows(S().strList), (test::Rows{{S().strOtherType, "Google Talk", "5222"}}));
    EXPECT_EQ(List()->Small_Icon(1), "Port Filter");
    EXPECT_TRUE(Listed_Rows(S().strOtherList).empty());
    // The entry controls keep what they held.
    EXPECT_TRUE(Type()->hasFocus());
    EXPECT_EQ(Type()->currentText(), S().strOtherType);
    EXPECT_EQ(Protocol()->currentText(), "Google Talk");
    EXPECT_EQ(Port()->text(), "5222");
}

struct Port_Case {
    const char* strTyped;
    const char* strStored;  // nullptr: refused as no valid port
};

TEST_P(PortListTest, PortTextIsConvertedToANumberAndCheckedAgainstTheRange) {
    // A fraction is rounded to the nearest whole number, a half to the even one.
    const Port_Case cases[] = {{"0", "0"},       {"65535", "65535"}, {"080", "80"},     {"1.5", "2"},
                               {"4.5", "4"},     {"65536", nullptr}, {"99999", nullptr}, {"-1", nullptr}};
    Open_Side();
    test::Rows expected;
    for (const Port_Case& c : cases) {
        Add(c.strTyped);
        auto boxes = Boxes();
        if (c.strStored) {
            EXPECT_TRUE(boxes.empty()) << c.strTyped;
            expected.push_back({c.strStored, QString::number(S().lngDefaultCode), "HTTP"});
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u) << c.strTyped;
        EXPECT_EQ(boxes[0].strText, S().strRefused) << c.strTyped;
        EXPECT_EQ(boxes[0].lngStyle, 48);
        EXPECT_EQ(boxes[0].strTitle, "DravinoleTS");
    }
    EXPECT_EQ(Stored(), expected);
    EXPECT_EQ(List()->Count(), 5);
    EXPECT_EQ(List()->SubItem(3, 2), "80");
}

TEST_P(PortListTest, APortListedInEitherListIsRefusedWithThisListsMessage) {
    Insert_Port(80, S().lngOtherListCode, "HTTP");
    Insert_Port(443, S().lngSampleCode, "HTTPS");
    Open_Side();
    for (const char* strPort : {"80", "443", " 443 "}) {
        Add(strPort);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strPort;
        EXPECT_EQ(boxes[0].strText, S().strListed);
        EXPECT_EQ(boxes[0].lngStyle, 48);
    }
    Add("8080");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored().size(), 3u);
}

TEST_P(PortListTest, AnEmptyOrUnconvertibleBoxIsReportedAsAnErrorAndAddsNothing) {
    Open_Side();
    Find<QWidget>("cmdClose")->setFocus();
    for (const char* strPort : {"", "8#0", "'"}) {
        Add(strPort);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strPort;
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_TRUE(boxes[0].strText.contains("Type mismatch")) << boxes[0].strText.toStdString();
    }
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(List()->Count(), 0);
    EXPECT_FALSE(Type()->hasFocus());
}

TEST_P(PortListTest, PortBoxTakesDigitsAndSixSignsOnlyAndEnterAdds) {
    Open_Side();
    struct Key_Case {
        const char* strKeys;
        const char* strShown;
    };
    const Key_Case cases[] = {{"1a2 b3", "123"}, {"#$%", "#$%"}, {"'-.", "'-."}, {"9x,+/!", "9"}, {"123456", "12345"}};
    for (const Key_Case& c : cases) {
        Port()->clear();
        QTest::keyClicks(Port(), c.strKeys);
        EXPECT_EQ(Port()->text(), c.strShown) << c.strKeys;
    }
    QTest::keyClick(Port(), Qt::Key_Backspace);
    EXPECT_EQ(Port()->text(), "1234");
    QTest::keyClick(Port(), Qt::Key_Return);
    EXPECT_EQ(Stored().size(), 1u);
    EXPECT_EQ(Stored()[0][0], "1234");
    EXPECT_TRUE(dialog->isVisible());
    // Esc belongs to the dialog, wherever it is pressed.
    QTest::keyClick(Port(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_P(PortListTest, ATypedProtocolNameIsStoredAsTypedAndLeavesThePortBox) {
    Open_Side();
    Port()->setText("7000");
    Protocol()->lineEdit()->clear();
    QTest::keyClicks(Protocol()->lineEdit(), "Bob's Chat");
    EXPECT_EQ(Port()->text(), "7000");
    EXPECT_EQ(Protocol()->count(), 10);
    Find<QPushButton>(S().strAdd)->click();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Stored(), (test::Rows{{"7000", QString::number(S().lngDefaultCode), "Bob's Chat"}}));
    EXPECT_EQ(Listed_Rows(S().strList)[0][1], "Bob's Chat");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM USER_TBL"), "2");
    // Choosing a type again puts the listed protocol and its port back.
    Type()->setCurrentIndex(-1);
    Type()->setCurrentIndex(0);
    EXPECT_EQ(Protocol()->currentText(), "HTTP");
    EXPECT_EQ(Port()->text(), "80");
}

TEST_P(PortListTest, EnterOnATypedProtocolNameChoosesNothingAndLeavesThePortBox) {
    // Names of listed protocols in their own and in other letter cases, and one not listed;
    // Enter reaches the combo itself (the key's way from the keyboard) or its line edit.
    Open_Side();
    for (const char* strTyped : {"SMTP", "smtp", "Google Talk", "Bob's Chat"}) {
        for (QWidget* pTarget : {static_cast<QWidget*>(Protocol()), static_cast<QWidget*>(Protocol()->lineEdit())}) {
            SCOPED_TRACE(std::string(strTyped) + (pTarget == Protocol() ? " on the combo" : " on its line edit"));
            Protocol()->setCurrentIndex(0);
            Port()->setText("7000");
            Protocol()->lineEdit()->clear();
            QTest::keyClicks(Protocol()->lineEdit(), strTyped);
            QTest::keyClick(pTarget, Qt::Key_Return);
            EXPECT_EQ(Port()->text(), "7000");
            EXPECT_EQ(Protocol()->currentIndex(), 0);
            EXPECT_EQ(Protocol()->currentText(), strTyped);
            EXPECT_EQ(Protocol()->count(), 10);
        }
    }
    EXPECT_TRUE(Stored().empty());
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(PortListTest, EveryProtocolPutsItsDefaultPortIntoThePortBox) {
    const std::pair<const char*, const char*> protocols[] = {
        {"HTTP", "80"}, {"HTTPS", "443"}, {"FTP Control", "21"}, {"FTP Data", "20"}, {"SMTP", "25"}, {"POP3", "110"},
        {"NEWS", "119"}, {"MSN Messenger", "1863"}, {"Yahoo Messenger", "5050"}, {"Google Talk", "5222"}};
    Open_Side();
    ASSERT_EQ(Protocol()->count(), 10);
    for (int i = 9; i >= 0; --i) {
        Protocol()->setCurrentIndex(i);
        EXPECT_EQ(Protocol()->currentText(), protocols[i].first);
        EXPECT_EQ(Port()->text(), protocols[i].second) << protocols[i].first;
    }
}

TEST_P(PortListTest, AFailedInsertIsReportedAndNothingIsListed) {
    auto refused = Make_Fault(test::Fault::Abort_Trigger, {"INSERT ON PORT_TBL"});
    Open_Side();
    Add("8080");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].lngStyle, 16);
    EXPECT_TRUE(boxes[0].strText.contains(test::TRIGGER_TEXT));
    EXPECT_EQ(List()->Count(), 0);
}

TEST_P(PortListTest, RemoveAsksThenDeletesEveryRowOfTheOwnerWithTheSelectedPorts) {
    Insert_Port(80, S().lngSampleCode, "HTTP");
    Insert_Port(443, S().lngSampleCode, "HTTPS");
    Insert_Port(25, S().lngSampleCode, "SMTP");
    Insert_Port(80, 60000, "HTTP");                       // in neither list
    Insert_Port(80, S().lngSampleCode, "HTTP", Insert_User("bob"));  // another owner's
    Open_Side();
    List()->Set_Selected(1, true);
    List()->Set_Selected(3, true);
    Remove(platform::vbNo);
    EXPECT_EQ(Stored().size(), 4u);
    EXPECT_EQ(List()->Count(), 3);
    Remove(platform::vbYes);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to delete the selected Port(s)?");
    EXPECT_EQ(boxes[0].lngStyle, 36);
    EXPECT_EQ(Stored(), (test::Rows{{"443", QString::number(S().lngSampleCode), "HTTPS"}}));
    EXPECT_EQ(Listed_Rows(S().strList), (test::Rows{{S().strSampleName, "HTTPS", "443"}}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PORT_TBL WHERE PORT_NO=80"), "1");
}

// A port stored in both lists: the Remove takes its rows from both, and the other
// list then shows what is stored, also what was written there behind the dialog's back.
// A Remove answered No, or whose delete was refused, leaves the other list as it was.
TEST_P(PortListTest, RemoveOfAPortStoredInBothListsLeavesTheOtherListShowingWhatIsStored) {
    Insert_Port(80, S().lngSampleCode, "HTTP");
    Insert_Port(80, S().lngOtherListCode, "HTTP");
    Insert_Port(443, S().lngOtherListCode, "HTTPS");
    Open_Side();
    const QString strOtherName = Listed_Rows(S().strOtherList).at(0).at(0);
    const test::Rows otherBefore = {{strOtherName, "HTTP", "80"}, {strOtherName, "HTTPS", "443"}};
    ASSERT_EQ(Listed_Rows(S().strOtherList), otherBefore);
    Insert_Port(8080, S().lngOtherListCode, "HTTP");  // behind the dialog's back
    List()->Set_Selected(1, true);
    Remove(platform::vbNo);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Listed_Rows(S().strOtherList), otherBefore);

    {
        auto refused = Make_Fault(test::Fault::Abort_Trigger, {"DELETE ON PORT_TBL WHEN OLD.PORT_NO=80"});
        Remove(platform::vbYes);
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].strText, test::TRIGGER_TEXT);
    }
    EXPECT_EQ(Listed_Rows(S().strList), (test::Rows{{S().strSampleName, "HTTP", "80"}}));
    EXPECT_EQ(Listed_Rows(S().strOtherList), otherBefore);

    List()->Set_Selected(1, true);
    Remove(platform::vbYes);
    EXPECT_EQ(Boxes().size(), 1u) << "the question alone";
    EXPECT_EQ(Stored(), (test::Rows{{"443", QString::number(S().lngOtherListCode), "HTTPS"},
                                    {"8080", QString::number(S().lngOtherListCode), "HTTP"}}));
    EXPECT_EQ(List()->Count(), 0);
    EXPECT_EQ(Listed_Rows(S().strOtherList), (test::Rows{{strOtherName, "HTTPS", "443"}, {strOtherName, "HTTP", "8080"}}));
}

// Another program deleted a listed port after the lists were read: the Remove says so
// once and both lists show what is stored, so that no later Remove meets it again.
TEST_P(PortListTest, ARemoveWhosePortAnotherProgramDeletedShowsBothListsAsStored) {
    Insert_Port(80, S().lngSampleCode, "HTTP");
    Insert_Port(443, S().lngSampleCode, "HTTPS");
    Insert_Port(25, S().lngOtherListCode, "SMTP");
    Open_Side();
    const test::Rows otherBefore = Listed_Rows(S().strOtherList);
    auto other = Start_Other_Program();
    other->Write_Now("DELETE FROM PORT_TBL WHERE PORT_NO=80");
    other->Write_Now(QString("INSERT INTO PORT_TBL (PORT_NO, FILTER_TYPE, PROTOCOL_TYPE, COMPUTER_ID, USER_ID) "
                             "VALUES (26, %1, 'SMTP', 0, %2)")
                         .arg(S().lngOtherListCode)
                         .arg(m_lngUser));
    List()->Set_Selected(1, true);
    Remove(platform::vbYes);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].strText, modDBFunctions::No_Row_Message("80"));
    EXPECT_EQ(Listed_Rows(S().strList), (test::Rows{{S().strSampleName, "HTTPS", "443"}}));
    const QString strOtherName = otherBefore.at(0).at(0);
    EXPECT_EQ(Listed_Rows(S().strOtherList), (test::Rows{{strOtherName, "SMTP", "25"}, {strOtherName, "SMTP", "26"}}));
    List()->Set_Selected(1, true);
    Remove(platform::vbYes);
    EXPECT_EQ(Boxes().size(), 1u) << "the question alone";
    EXPECT_EQ(List()->Count(), 0);
    EXPECT_EQ(Stored(), (test::Rows{{"25", QString::number(S().lngOtherListCode), "SMTP"},
                                    {"26", QString::number(S().lngOtherListCode), "SMTP"}}));
}

TEST_P(PortListTest, RemoveKeepsAPortWhoseDeleteFailsAndAnEmptyListAsksNothing) {
    Open_Side();
    Find<QPushButton>(S().strRemove)->click();
    EXPECT_TRUE(Boxes().empty());
    dialog.reset();
    for (long lngPort : {21L, 22L, 23L}) Insert_Port(lngPort, S().lngSampleCode, "FTP Control");
    auto refused = Make_Fault(test::Fault::Abort_Trigger, {"DELETE ON PORT_TBL WHEN OLD.PORT_NO=22"});
    Open_Side();
    for (long i = 1; i <= 3; ++i) List()->Set_Selected(i, true);
    Remove(platform::vbYes);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].strText, test::TRIGGER_TEXT);
    EXPECT_EQ(Listed_Rows(S().strList), (test::Rows{{S().strSampleName, "FTP Control", "22"}}));
    EXPECT_EQ(Stored().size(), 1u);
}

TEST_P(PortListTest, AFailedWriteIsReportedOnceAndTheListShowsWhatIsStored) {
    // Remove of three ports with the middle one refused, then an Add refused. An undone
    // statement keeps only its own port; a rolled-back transaction keeps all three (and
    // no later delete runs on its own); a full disk refuses no delete. (The full disk is
    // left out of the Add: a port row still fits into the table's own page there.)
    using test::Fault;
    struct Case {
        Fault fault;
        std::vector<const char*> kept;  // port numbers stored after the Remove
    };
    const Case cases[] = {
        {Fault::Held_Read_Lock, {"21", "22", "23"}}, {Fault::Database_Full, {}},
        {Fault::Read_Only, {"21", "22", "23"}},      {Fault::Abort_Trigger, {"22"}},
        {Fault::Rollback_Trigger, {"21", "22", "23"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(test::Fault_Name(c.fault));
        dialog.reset();
        Exec("DELETE FROM PORT_TBL");
        for (long lngPort : {21L, 22L, 23L}) Insert_Port(lngPort, S().lngSampleCode, "FTP Control");
        Open_Side();
        if (c.fault == Fault::Database_Full) Fill_Until_Full("FILE_TBL", "FILE_EXTN");
        auto fault = Make_Fault(c.fault, {"DELETE ON PORT_TBL WHEN OLD.PORT_NO=22", "INSERT ON PORT_TBL"});
        for (long i = 1; i <= 3; ++i) List()->Set_Selected(i, true);
        Remove(platform::vbYes);
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), c.fault == Fault::Database_Full ? 1u : 2u);
        if (boxes.size() == 2) {
            EXPECT_EQ(boxes[1].lngStyle, 16);
            EXPECT_TRUE(boxes[1].strText.contains(test::Fault_Text(c.fault))) << boxes[1].strText.toStdString();
        }
        test::Rows expected, listed;
        for (const char* strPort : c.kept) {
            expected.push_back({strPort, QString::number(S().lngSampleCode), "FTP Control"});
            listed.push_back({S().strSampleName, "FTP Control", strPort});
        }
        EXPECT_EQ(Listed_Rows(S().strList), listed);
        if (c.fault != Fault::Database_Full) {
            Add("8080");
            boxes = Boxes();
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].lngStyle, 16);
            EXPECT_TRUE(boxes[0].strText.contains(test::Fault_Text(c.fault))) << boxes[0].strText.toStdString();
            EXPECT_EQ(Listed_Rows(S().strList), listed);
        }
        fault.reset();
        EXPECT_EQ(Stored(), expected);
    }
}

TEST_P(PortListTest, ProtocolColumnIsNarrowExactlyWhileMoreThanTwentyAreListed) {
    Fill(20);
    Open_Side();
    const double dblFull = List()->Column_Width(2);
    const double dblOther = Find<ListView>(S().strOtherList)->Column_Width(2);
    const double dblFirst = List()->Column_Width(1);
    Add("21");
    EXPECT_DOUBLE_EQ(List()->Column_Width(2), dblFull - 250);
    Add("22");
    EXPECT_DOUBLE_EQ(List()->Column_Width(2), dblFull - 250);
    EXPECT_DOUBLE_EQ(List()->Column_Width(1), dblFirst);
    EXPECT_DOUBLE_EQ(Find<ListView>(S().strOtherList)->Column_Width(2), dblOther);
    List()->Set_Selected(1, true);
    Remove(platform::vbYes);
    EXPECT_DOUBLE_EQ(List()->Column_Width(2), dblFull - 250);
    List()->Set_Selected(1, true);
    Remove(platform::vbYes);
    Boxes();
    EXPECT_EQ(List()->Count(), 20);
    EXPECT_DOUBLE_EQ(List()->Column_Width(2), dblFull);
    // Opened on 21 rows: narrowed once.
    Insert_Port(9999, S().lngSampleCode, "HTTP");
    Open_Side();
    EXPECT_EQ(List()->Count(), 21);
    EXPECT_DOUBLE_EQ(List()->Column_Width(2), dblFull - 250);
    EXPECT_DOUBLE_EQ(Find<ListView>(S().strOtherList)->Column_Width(2), dblOther);
}

TEST_P(PortListTest, RemoteModeLeavesTheListChoiceCopySettingsAndClose) {
    modGlobal::Is_Remote_Mode = true;
    QStringList keys;
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        keys << strFeature;
        return Copied_Settings();
    });
    Open_Side();
    for (const char* strName : {S().strType, S().strProtocol, S().strPort, S().strAdd, S().strRemove,
                                "chkEnablePortFilter"})
        EXPECT_FALSE(Find<QWidget>(strName)->isEnabled()) << strName;
    for (const char* strName : {"cboFilterType", S().strList, S().strCopy, "cmdClose"})
        EXPECT_TRUE(Find<QWidget>(strName)->isEnabled()) << strName;
    EXPECT_TRUE(Find<QGroupBox>(S().strFrame)->isVisible());
    Find<QToolButton>(S().strCopy)->click();
    EXPECT_EQ(keys, QStringList{"Port Blocking And Filtering"});
    EXPECT_EQ(Find<QToolButton>(S().strCopy)->icon().cacheKey(),
              lists::frmListEditorBase::Images().value("Copy Settings").cacheKey());
}

INSTANTIATE_TEST_SUITE_P(Lists, PortListTest, ::testing::ValuesIn(SIDES),
                         [](const auto& info) { return std::string(info.param.strName); });

// ---------------------------------------------------------------- the dialog as a whole

class PortFilterTest : public Port_Filter_Fixture {};

TEST_F(PortFilterTest, RowsAreSplitByTheirCodeAndShownUnderTheirNames) {
    const std::pair<long, const char*> codes[] = {{0, "No Filter"},        {1, "HTTP Filter"},     {2, "Content Filter"},
                                                  {3, "SMTP Filter"},      {4, "POP3 Filter"},     {5, "FTP Filter"},
                                                  {7, ""},                 {60000, nullptr},       {60001, ""},
                                                  {65533, "Block Incoming"}, {65534, "Block Outgoing"},
                                                  {65535, "Block Completely"}};
    long lngPort = 100;
    test::Rows filter, blocking;
    for (const auto& [lngCode, strName] : codes) {
        Insert_Port(++lngPort, lngCode, "HTTP");
        if (!strName) continue;
        (lngCode < 60000 ? filter : blocking).push_back({strName, "HTTP", QString::number(lngPort)});
    }
    Insert_Port(9000, 1, "HTTP", Insert_User("bob"));
    Open();
    EXPECT_EQ(Listed_Rows("lvwPortFilter"), filter);
    EXPECT_EQ(Listed_Rows("lvwPortBlocking"), blocking);
    // A row in neither list holds its port number unseen: the lists alone decide.
    Find<QLineEdit>("txtFPortNumber")->setText("108");
    Find<QPushButton>("cmdFAdd")->click();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PORT_TBL WHERE PORT_NO=108"), "2");
}

// A row whose filter code cannot be read hides no other row: every readable row of both
// lists is listed, the load reports the odd rows once, and they stay stored.
TEST_F(PortFilterTest, RowsWhoseFilterCodeCannotBeReadHideNoOtherRowAndAreReportedOnce) {
    struct Case {
        const char* strCode;  // as written in SQL
        const char* strError;
    };
    const Case cases[] = {
        {"-2147483649", "Overflow"}, {"4294967296", "Overflow"}, {"'smtp'", "Type mismatch"}, {"''", "Type mismatch"}};
    for (const Case& c : cases) {
        Exec(QString("DELETE FROM PORT_TBL WHERE USER_ID=%1").arg(m_lngUser));
        Insert_Port(8080, 1, "HTTP");
        // Two odd rows, in either list wherever their code sorts, before the readable rows.
        for (long lngPort : {7000, 7001})
            Exec(QString("INSERT INTO PORT_TBL (PORT_NO, FILTER_TYPE, PROTOCOL_TYPE, COMPUTER_ID, USER_ID) "
                         "VALUES (%1, %2, 'ODD', 0, %3)")
                     .arg(lngPort)
                     .arg(c.strCode)
                     .arg(m_lngUser));
        Insert_Port(80, 1, "HTTP");
        Insert_Port(25, 3, "SMTP");
        Insert_Port(110, 65535, "POP3");
        const test::Rows stored = Stored();
        Open();
        EXPECT_EQ(Listed_Rows("lvwPortFilter"), (test::Rows{{"HTTP Filter", "HTTP", "8080"},
                                                           {"HTTP Filter", "HTTP", "80"},
                                                           {"SMTP Filter", "SMTP", "25"}}))
            << c.strCode;
        EXPECT_EQ(Listed_Rows("lvwPortBlocking"), (test::Rows{{"Block Completely", "POP3", "110"}})) << c.strCode;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.strCode;
        EXPECT_EQ(boxes[0].lngStyle, 16);
        EXPECT_TRUE(boxes[0].strText.startsWith(c.strError)) << boxes[0].strText.toStdString();
        EXPECT_EQ(Stored(), stored);
    }
}

TEST_F(PortFilterTest, ChoosingATypeChoosesItsProtocolAndThatProtocolsPort) {
    struct Type_Case {
        const char* strCombo;
        const char* strType;
        const char* strProtocol;
        const char* strPort;
    };
    const Type_Case cases[] = {
        {"cboFFilter", "SMTP Filter", "SMTP", "25"},        {"cboFFilter", "POP3 Filter", "POP3", "110"},
        {"cboFFilter", "HTTP Filter", "HTTP", "80"},        {"cboBFilter", "Block Incoming", "HTTP", "80"},
        {"cboBFilter", "Block Outgoing", "HTTP", "80"},     {"cboBFilter", "Block Completely", "HTTP", "80"},
    };
    Open();
    for (const Type_Case& c : cases) {
        const bool blnFilter = QString(c.strCombo) == "cboFFilter";
        auto* pProtocol = Find<QComboBox>(blnFilter ? "cboFProtocol" : "cboBProtocol");
        auto* pPort = Find<QLineEdit>(blnFilter ? "txtFPortNumber" : "txtBPortNumber");
        // Another protocol first, so that the type's choice shows.
        pProtocol->setCurrentIndex(pProtocol->findText("Google Talk"));
        auto* pType = Find<QComboBox>(c.strCombo);
        pType->setCurrentIndex(pType->findText(c.strType));
        EXPECT_EQ(pProtocol->currentText(), c.strProtocol) << c.strType;
        EXPECT_EQ(pPort->text(), c.strPort) << c.strType;
    }
    EXPECT_EQ(Find<QComboBox>("cboFFilter")->count(), 3);
    EXPECT_EQ(Find<QComboBox>("cboBFilter")->itemText(0), "Block Completely");
}

TEST_F(PortFilterTest, TheFilterTypeComboShowsOneFrameAtATime) {
    Open();
    auto* pType = Find<QComboBox>("cboFilterType");
    ASSERT_EQ(pType->count(), 2);
    EXPECT_EQ(pType->currentText(), "Port Filter");
    const QSize size = dialog->size();
    for (int i : {1, 0, 1}) {
        pType->setCurrentIndex(i);
        EXPECT_EQ(Find<QGroupBox>("fraPortBlocking")->isVisible(), i == 1);
        EXPECT_EQ(Find<QGroupBox>("fraPortFilter")->isVisible(), i == 0);
        // The dialog keeps its size: it never holds both frames at once.
        EXPECT_EQ(dialog->size(), size);
    }
}

TEST_F(PortFilterTest, EnableBoxAsksAndWritesBitTwoOnlyOnYes) {
    Open();
    auto* box = Find<QCheckBox>("chkEnablePortFilter");
    EXPECT_EQ(box->text(), "Enable Port Blocking And Filtering");
    EXPECT_FALSE(box->isChecked());
    const QString strBits = QString("SELECT FEATURE_BITS FROM USER_TBL WHERE USER_ID=%1").arg(m_lngUser);
    messageBox->Answer(platform::vbNo);
    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(Scalar(strBits), "0");
    messageBox->Answer(platform::vbYes);
    box->click();
    EXPECT_EQ(Scalar(strBits), "2");
    messageBox->Answer(platform::vbNo);
    box->click();
    EXPECT_TRUE(box->isChecked());
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].strText, "Are you sure you want to enable the Port Blocking and Filtering?");
    EXPECT_EQ(boxes[2].strText, "Are you sure you want to disable the Port Blocking and Filtering?");
    EXPECT_EQ(boxes[2].lngStyle, 36);
    Open();
    EXPECT_TRUE(Find<QCheckBox>("chkEnablePortFilter")->isChecked());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PortFilterTest, ToolTipsAndBothCopyButtonsKey) {
    QStringList keys;
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        keys << strFeature;
        return Copied_Settings();
    });
    Open();
    EXPECT_EQ(Find<QWidget>("chkEnablePortFilter")->toolTip(), "Enable/Disable the Port Filter");
    EXPECT_EQ(Find<QWidget>("cboFFilter")->toolTip(), "Select a filter type");
    EXPECT_EQ(Find<QWidget>("cboFProtocol")->toolTip(), "Select a protocol to filter");
    EXPECT_EQ(Find<QWidget>("cboBFilter")->toolTip(), "Select a block type");
    EXPECT_EQ(Find<QWidget>("cboBProtocol")->toolTip(), "Select a protocol to block");
    EXPECT_EQ(Find<QWidget>("txtBPortNumber")->toolTip(), "Provides a space for you to type Port Number");
    EXPECT_EQ(Find<QWidget>("cmdFCopySettings")->toolTip(), "Copy Settings");
    Find<QToolButton>("cmdFCopySettings")->click();
    Find<QComboBox>("cboFilterType")->setCurrentIndex(1);
    Find<QToolButton>("cmdBCopySettings")->click();
    EXPECT_EQ(keys, (QStringList{"Port Blocking And Filtering", "Port Blocking And Filtering"}));
}

TEST_F(PortFilterTest, TheConsolesMenuOpensTheDialogOverTheConsole) {
    QString strCaption;
    forms->onShow = [&](QWidget& form) { strCaption = form.windowTitle(); };
    console->mnuPortFilter_Click();
    ASSERT_EQ(forms->shown.size(), 1u);
    EXPECT_EQ(forms->shown[0], "frmPortFilter");
    EXPECT_EQ(forms->owners[0], console.get());
    EXPECT_EQ(strCaption, "Port Filter - alice");
}

}  // namespace
