// Every batch of writes the console runs in one transaction, started while another
// program (a filtering component writing a usage event) has a write of its own in
// progress. The batch waits for it, once, and then stores everything it was given:
// nothing is refused as "database is locked" without a wait, and the other program's
// event is kept.
#include "console/frmCopySettings.h"
#include "console/frmManageUsers.h"
#include "database/modDB.h"
#include "lists/frmEXEBlocker.h"
#include "lists/frmEmailFilter.h"
#include "lists/frmFileFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "lists/frmWindowBlocker.h"
#include "platform/ListView.h"
#include "reporting/ReportList.h"
#include "reporting/frmReport.h"
#include "reporting/frmReporting.h"
#include "schedules/frmInternetSettings.h"
#include "support/ConsoleFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace {

class BatchTest;

// One batch: what is stored and open before it, how the administrator starts it, and
// what is stored, listed and shown after it.
struct Batch_Case {
    std::string strName;
    std::function<void(BatchTest&)> arrange;
    std::function<void(BatchTest&)> run;
    std::function<void(BatchTest&)> check;
};

void PrintTo(const Batch_Case& c, std::ostream* os) { *os << c.strName; }

// The other program's write: an event of the all-users row, which no report of alice shows.
const QString OTHER_EVENT = QStringLiteral(
    "INSERT INTO URL_RPT_TBL (USER_ID, URL, START_TIME, STOP_TIME) "
    "VALUES (0, 'other.example.com', '2026-03-07 10:00:00', '2026-03-07 10:01:00')");

class BatchTest : public test::Dialog_Case_Test, public ::testing::WithParamInterface<Batch_Case> {
public:
    using Dialog_Test::Expect_Box;
    using Dialog_Test::Listed;
    using Dialog_Test::Write_File;
    using Dv_Test::Boxes;
    using Dv_Test::Exec;
    using Dv_Test::Insert_User;
    using Dv_Test::messageBox;
    using Dv_Test::Program_Dir;
    using Dv_Test::Scalar;
    using Owner_Dialog_Test::Stored;

    void TearDown() override {
        report.reset();
        Dialog_Case_Test::TearDown();
    }

    // Sorted, so that a list and a table compare whatever their order.
    static QStringList Sorted(QStringList values) {
        values.sort();
        return values;
    }
    void Select_All(const char* strList) {
        platform::ListView* pList = Control<platform::ListView>(strList);
        for (long i = 1; i <= pList->Count(); ++i) pList->Set_Selected(i, true);
    }
    void Choose_File(const QString& strFile) { fileDialog->Choose(strFile); }
    // Inserts values into a one-column list table for an owner.
    void Store(const QString& strTable, const QString& strColumn, const QStringList& values, long lngUserID) {
        for (const QString& strValue : values)
            Exec(QString("INSERT INTO %1 (%2, COMPUTER_ID, USER_ID) VALUES ('%3', 0, %4)")
                     .arg(strTable, strColumn, strValue)
                     .arg(lngUserID));
    }
    long User() const { return m_lngUser; }
    long m_lngBob = 0;

    // ---- Copy Settings: the dialog as the console shows it, with a body run while shown.
    void Show_Copy(const QString& strFeature, const std::function<void(frmCopySettings&)>& body) {
        forms->onShow = [&](QWidget& form) {
            auto* pDialog = qobject_cast<frmCopySettings*>(&form);
            ASSERT_NE(pDialog, nullptr);
            pDialog->show();
            QApplication::processEvents();
            body(*pDialog);
        };
        frmCopySettings::Show_This_Form(*console, strFeature);
        forms->onShow = nullptr;
    }
    // Ticks an item of a list with check boxes by a click on its text.
    static void Tick(platform::ListView& list, const QString& strText) {
        const long lngIndex = list.Find_Text(strText);
        ASSERT_NE(lngIndex, 0) << strText.toStdString();
        list.Ensure_Visible(lngIndex);
        QTest::mouseClick(list.Item_View()->viewport(), Qt::LeftButton, {}, list.Item_Rect(lngIndex).center());
    }

    // ---- Reports: the criteria dialog, and the viewer over it while body runs.
    void Open_Report_Criteria() { report = std::make_unique<frmReporting>(*console); }
    bool Create_Report(const std::function<void(frmReport&, reporting::Report_List&)>& body) {
        bool blnShown = false;
        forms->onShow = [&](QWidget& form) {
            auto* pViewer = qobject_cast<frmReport*>(&form);
            ASSERT_NE(pViewer, nullptr);
            blnShown = true;
            body(*pViewer, *pViewer->findChild<reporting::Report_List*>("lvwReport"));
        };
        report->findChild<QPushButton*>("cmdCreateReport")->click();
        forms->onShow = nullptr;
        return blnShown;
    }
    std::unique_ptr<frmReporting> report;
};

// The batch starts while the other program's write is in progress; that write is
// committed at the batch's first busy wait. Exactly one wait, and everything stored.
TEST_P(BatchTest, WaitsOutAnotherProgramsWriteOnceAndStoresAndListsEverything) {
    const Batch_Case& c = GetParam();
    m_lngBob = Insert_User("bob");
    c.arrange(*this);
    auto other = Start_Other_Program();
    other->Hold_Write_Until_First_Wait(OTHER_EVENT);
    const long long lngBefore = modDB::Busy_Waits();
    c.run(*this);
    EXPECT_EQ(modDB::Busy_Waits() - lngBefore, 1) << "one wait for the other program's write";
    EXPECT_TRUE(other->Held_Write_Committed());
    c.check(*this);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM URL_RPT_TBL WHERE URL='other.example.com'"), "1")
        << "the other program's event is kept";
}

// The other program writes as soon as the batch has begun, between two of its
// statements: it cannot come in before the batch has committed, whose writes are stored
// whole, and its own write is stored after.
TEST_P(BatchTest, AnotherProgramsWriteAfterTheBatchBeganWaitsForItsCommit) {
    const Batch_Case& c = GetParam();
    m_lngBob = Insert_User("bob");
    c.arrange(*this);
    auto other = Start_Other_Program();
    other->Write_At_Statement("TRANSACTION MY_TRANS", OTHER_EVENT);
    c.run(*this);
    EXPECT_FALSE(other->Wrote_At_Marker()) << "the batch held the file from its first statement";
    EXPECT_TRUE(other->Finish());
    c.check(*this);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM URL_RPT_TBL WHERE URL='other.example.com'"), "1")
        << "the other program's event is stored after the batch";
}

// ---- the cases

// A list editor's import of three entries.
struct List_Import {
    const char* strName;
    std::function<void(BatchTest&)> open;
    const char* strImport;
    const char* strList;
    const char* strTable;
    const char* strColumn;
    QStringList entries;
};

template <class Form>
std::function<void(BatchTest&)> Opener() {
    return [](BatchTest& t) { t.Open_Dialog<Form>(); };
}

const List_Import LIST_IMPORTS[] = {
    {"FileFilterImport", Opener<frmFileFilter>(), "cmdImport", "lvwFileFilter", "FILE_TBL", "FILE_EXTN",
     {".aaa", ".bbb", ".ccc"}},
    {"BlackListImport", Opener<frmWebsiteFilter>(), "cmdURLBLImport", "lvwBlackList", "BL_TBL", "BL_URL",
     {"a1.example.com", "b2.example.com", "c3.example.com"}},
    {"WhiteListImport", Opener<frmWebsiteFilter>(), "cmdURLWLImport", "lvwWhiteList", "WL_TBL", "WL_URL",
     {"a1.example.org", "b2.example.org", "c3.example.org"}},
    {"SmtpImport", Opener<frmEmailFilter>(), "cmdSMTPImport", "lvwSMTPFilter", "SMTP_TBL", "SMTP_EMAIL",
     {"a@example.com", "b@example.com", "c@example.com"}},
    {"Pop3Import",
     [](BatchTest& t) {
         t.Open_Dialog<frmEmailFilter>();
         t.Control<QComboBox>("cboEmailFilter")->setCurrentIndex(1);
     },
     "cmdPOP3Import", "lvwPOP3Filter", "POP3_TBL", "POP3_EMAIL", {"a@example.org", "b@example.org", "c@example.org"}},
    {"WindowBlockerImport", Opener<frmWindowBlocker>(), "cmdImport", "lvwWindowBlocker", "WINDOW_TBL", "WINDOW_TITLE",
     {"alpha window", "beta window", "gamma window"}},
    {"ExeBlockerImport", Opener<frmEXEBlocker>(), "cmdImport", "lvwEXEBlocker", "EXE_TBL", "EXE_NAME",
     {"a.exe", "b.exe", "c.exe"}},
};

std::vector<Batch_Case> Cases() {
    std::vector<Batch_Case> cases;
    for (const List_Import& l : LIST_IMPORTS) {
        cases.push_back({l.strName,
                         [l](BatchTest& t) {
                             l.open(t);
                             t.Choose_File(t.Write_File(l.entries.join("\r\n").toUtf8() + "\r\n"));
                         },
                         [l](BatchTest& t) { t.Press(l.strImport); },
                         [l](BatchTest& t) {
                             EXPECT_EQ(t.Sorted(t.Stored(l.strTable, l.strColumn)), l.entries);
                             EXPECT_EQ(t.Sorted(t.Listed(l.strList)), l.entries);
                             EXPECT_TRUE(t.Boxes().empty());
                         }});
    }

    // Remove of every listed entry of alice; bob's entry stays.
    struct List_Remove {
        const char* strName;
        std::function<void(BatchTest&)> open;
        const char* strList;
        const char* strRemove;
        const char* strQuestion;
        const char* strTable;
        const char* strColumn;
        QStringList entries;
        const char* strBobs;
    };
    QStringList forty;
    for (int i = 0; i < 40; ++i) forty << QString("r%1.example.com").arg(i, 2, 10, QChar('0'));
    for (const List_Remove& r :
         {List_Remove{"BlackListRemove", Opener<frmWebsiteFilter>(), "lvwBlackList", "cmdBlackRemove",
                      "Are you sure you want to delete the selected URL(s)?", "BL_TBL", "BL_URL", forty,
                      "bob.example.com"},
          List_Remove{"AlwaysAllowedRemove", Opener<frmInternetSettings>(), "lvwBypassedExe", "cmdRemove",
                      "Are you sure you want to delete the selected Exe(s)?", "BYPASS_EXE_TBL", "BYPASS_EXE",
                      {"a.exe", "b.exe", "c.exe"}, "bob.exe"}}) {
        cases.push_back({r.strName,
                         [r](BatchTest& t) {
                             t.Store(r.strTable, r.strColumn, r.entries, t.User());
                             t.Store(r.strTable, r.strColumn, {r.strBobs}, t.m_lngBob);
                             r.open(t);
                             t.Select_All(r.strList);
                         },
                         [r](BatchTest& t) { t.Press_Yes(r.strRemove); },
                         [r](BatchTest& t) {
                             t.Expect_Box(r.strQuestion, 36);
                             EXPECT_TRUE(t.Stored(r.strTable, r.strColumn).isEmpty());
                             EXPECT_TRUE(t.Listed(r.strList).isEmpty());
                             EXPECT_EQ(t.Scalar(QString("SELECT COUNT(*) FROM %1").arg(r.strTable)), "1")
                                 << "bob's entry stays";
                         }});
    }

    // Browse adds the chosen programs (the network filter library reads their names).
    const QString NUL(QChar(u'\0'));
    struct Browse_Case {
        const char* strName;
        std::function<void(BatchTest&)> open;
        const char* strList;
        const char* strTable;
        const char* strColumn;
    };
    for (const Browse_Case& b :
         {Browse_Case{"ExeBlockerBrowse", Opener<frmEXEBlocker>(), "lvwEXEBlocker", "EXE_TBL", "EXE_NAME"},
          Browse_Case{"AlwaysAllowedBrowse", Opener<frmInternetSettings>(), "lvwBypassedExe", "BYPASS_EXE_TBL",
                      "BYPASS_EXE"}}) {
        cases.push_back({b.strName,
                         [b, NUL](BatchTest& t) {
                             ASSERT_TRUE(QFile::copy(QStringLiteral(DV_LHDVSOCK_FILE),
                                                     t.Program_Dir() + "/liblhdvsock.so"));
                             b.open(t);
                             t.Choose_File("C:\\Apps" + NUL + "one.exe" + NUL + "two.exe" + NUL + "three.exe");
                         },
                         [](BatchTest& t) { t.Press("cmdBrowseExe"); },
                         [b](BatchTest& t) {
                             const QStringList names{"one.exe", "three.exe", "two.exe"};
                             EXPECT_EQ(t.Sorted(t.Stored(b.strTable, b.strColumn)), names);
                             EXPECT_EQ(t.Sorted(t.Listed(b.strList)), names);
                             EXPECT_TRUE(t.Boxes().empty());
                         }});
    }

    // Copy Settings of the file filter from alice to bob.
    cases.push_back({"CopySettings",
                     [](BatchTest& t) {
                         t.Store("FILE_TBL", "FILE_EXTN", {".exe", ".zip"}, t.User());
                         t.Store("FILE_TBL", "FILE_EXTN", {".old"}, t.m_lngBob);
                     },
                     [](BatchTest& t) {
                         t.Show_Copy("File Filter", [&](frmCopySettings& dialog) {
                             t.Tick(*dialog.findChild<platform::ListView*>("lvwDestinationUsers"), "bob");
                             dialog.findChild<QPushButton*>("cmdCopySettings")->click();
                         });
                     },
                     [](BatchTest& t) {
                         t.Expect_Box("Successfully copied the features", 64);
                         EXPECT_EQ(t.Sorted(t.Stored("FILE_TBL", "FILE_EXTN")), (QStringList{".exe", ".zip"}));
                         EXPECT_EQ(t.Scalar(QString("SELECT group_concat(FILE_EXTN) FROM (SELECT FILE_EXTN FROM "
                                                    "FILE_TBL WHERE USER_ID=%1 ORDER BY FILE_EXTN)")
                                                .arg(t.m_lngBob)),
                                   ".exe,.zip");
                     }});

    // The users import.
    cases.push_back({"UsersImport",
                     [](BatchTest& t) {
                         t.Open_Dialog<frmManageUsers>();
                         t.Choose_File(t.Write_File("CAROL\r\nDAVE\r\nERIN\r\n"));
                     },
                     [](BatchTest& t) { t.Press("cmdImport"); },
                     [](BatchTest& t) {
                         EXPECT_TRUE(t.Boxes().empty());
                         EXPECT_EQ(t.Scalar("SELECT group_concat(USER_NAME) FROM (SELECT USER_NAME FROM USER_TBL "
                                            "WHERE USER_ID>0 ORDER BY USER_ID)"),
                                   "alice,bob,CAROL,DAVE,ERIN");
                         const QStringList listed = t.Listed("lvwUsers");
                         for (const char* strName : {"CAROL", "DAVE", "ERIN"})
                             EXPECT_TRUE(listed.contains(strName)) << strName;
                     }});

    // Delete Report of alice's three events of the day.
    cases.push_back({"ReportDelete",
                     [](BatchTest& t) {
                         for (const char* strUrl : {"a", "b", "c"})
                             t.Exec(QString("INSERT INTO URL_RPT_TBL (USER_ID, URL, START_TIME, STOP_TIME) VALUES "
                                            "(%1, '%2', '2026-03-07 09:00:00', '2026-03-07 09:01:00')")
                                        .arg(t.User())
                                        .arg(strUrl));
                         t.Open_Report_Criteria();
                     },
                     [](BatchTest& t) {
                         ASSERT_TRUE(t.Create_Report([&](frmReport& viewer, reporting::Report_List& list) {
                             ASSERT_EQ(list.Count(), 12);
                             t.messageBox->Answer(platform::vbYes);
                             viewer.findChild<QPushButton*>("cmdDeleteReport")->click();
                             EXPECT_EQ(list.Count(), 8) << "the listed events leave the list";
                         }));
                     },
                     [](BatchTest& t) {
                         const auto boxes = t.Boxes();
                         ASSERT_EQ(boxes.size(), 2u);
                         EXPECT_EQ(boxes[0].strText, "Are you sure you want to delete the listed Report(s)?");
                         EXPECT_EQ(boxes[1].strText, "Successfuly deleted the listed Report(s)");
                         EXPECT_EQ(boxes[1].lngStyle, 64);
                         EXPECT_EQ(t.Scalar(QString("SELECT COUNT(*) FROM URL_RPT_TBL WHERE USER_ID=%1").arg(t.User())),
                                   "0");
                     }});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Batches, BatchTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.strName; });

}  // namespace
