// A feature dialog needs no main window: it works over whatever Console_Link opens
// it, reads the owner from it at each use and sends its requests to it.
#include "lists/ListEditor.h"
#include "lists/frmFileFilter.h"
#include "schedules/frmInternetScheduler.h"
#include "services/ConsoleLink.h"
#include "support/ConsoleFixture.h"

#include <QLineEdit>
#include <QRadioButton>

namespace {

class Recording_Link : public Console_Link {
public:
    Policy_Owner owner;
    QString strName;
    QStringList copyRequests;
    int lngInternetModeReads = 0;
    int lngUserListReads = 0;

    Policy_Owner Owner() const override { return owner; }
    QString Owner_Name() const override { return strName; }
    Copied_Settings Open_Copy_Settings(const QString& strFeature) override {
        copyRequests << strFeature;
        return Copied_Settings();
    }
    void Get_Internet_Mode() override { ++lngInternetModeReads; }
    void Show_Stored_Users() override { ++lngUserListReads; }
};

class ConsoleLinkTest : public test::Dialog_Test {
protected:
    void SetUp() override {
        Dialog_Test::SetUp();
        lists::Set_Copy_Settings_Opener(nullptr);
        m_lngAlice = Insert_User("alice");
        m_lngBob = Insert_User("bob");
        link.owner.lngUserID = m_lngAlice;
        link.strName = "alice";
    }
    template <class Form>
    void Open_Over_Link() {
        dialog = std::make_unique<Form>(link);
        dialog->show();
    }

    Recording_Link link;
    long m_lngAlice = 0;
    long m_lngBob = 0;
};

TEST_F(ConsoleLinkTest, AListDialogShowsTheLinksOwnerReadsItAtEachWriteAndAsksItForCopySettings) {
    Exec(QString("INSERT INTO FILE_TBL (FILE_EXTN, COMPUTER_ID, USER_ID) VALUES ('.doc', 0, %1), ('.mp3', 0, %2)")
             .arg(m_lngAlice)
             .arg(m_lngBob));
    Open_Over_Link<frmFileFilter>();
    EXPECT_EQ(dialog->windowTitle(), "File Filter - alice");
    EXPECT_EQ(Listed("lvwFileFilter"), QStringList{".doc"});

    // The owner is read when the entry is written, not kept from the opening.
    link.owner.lngUserID = m_lngBob;
    Find<QLineEdit>("txtFileExtension")->setText(".zip");
    Click("cmdAdd");
    EXPECT_TRUE(Boxes().empty());
    const QString A = QString::number(m_lngAlice), B = QString::number(m_lngBob);
    EXPECT_EQ(Query("SELECT USER_ID, FILE_EXTN FROM FILE_TBL ORDER BY rowid"),
              (test::Rows{{A, ".doc"}, {B, ".mp3"}, {B, ".zip"}}));

    Click("cmdCopySettings");
    EXPECT_EQ(link.copyRequests, QStringList{"File Filter"});
}

TEST_F(ConsoleLinkTest, TheInternetSchedulerWritesForTheLinksOwnerAndHasTheLinkReadTheModeOnce) {
    Exec("UPDATE USER_TBL SET SCH_FOR=1, IA_ON_OFF=1");
    Open_Over_Link<frmInternetScheduler>();
    EXPECT_EQ(link.lngInternetModeReads, 0);
    Find<QRadioButton>("optInternetMode_1")->click();  // Internet off
    Click("cmdApply");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(link.lngInternetModeReads, 1);
    const QString strOnOff = "SELECT IA_ON_OFF FROM USER_TBL WHERE USER_ID=%1";
    EXPECT_EQ(Scalar(strOnOff.arg(m_lngAlice)), "0");
    EXPECT_EQ(Scalar(strOnOff.arg(m_lngBob)), "1");
}

}  // namespace
