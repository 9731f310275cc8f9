#include "Version.h"
#include "console/frmAbout.h"
#include "console/frmMain.h"
#include "support/ConsoleFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

class AboutTest : public test::Console_Test {
protected:
    void SetUp() override {
        Console_Test::SetUp();
        Open_Console();
        about = std::make_unique<frmAbout>(console.get());
        about->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(about.get()));
    }
    void TearDown() override {
        about.reset();
        Console_Test::TearDown();
    }
    QLabel* Label(const char* strName) const { return about->findChild<QLabel*>(strName); }

    std::unique_ptr<frmAbout> about;
};

TEST_F(AboutTest, ShowsTheProductAndTheRunningVersion) {
    EXPECT_EQ(about->windowTitle(), "About - Dravinole");
    EXPECT_EQ(Label("lblDravinole")->text(), "DravinoleTS");
    EXPECT_EQ(Label("lblVersion")->text(), QStringLiteral("Version: %1.%2 Revision: %3")
                                               .arg(DV_VERSION_MAJOR)
                                               .arg(DV_VERSION_MINOR)
                                               .arg(DV_VERSION_REVISION));
    EXPECT_EQ(Label("lblSupport")->text(), "Support:");
    EXPECT_EQ(Label("lblSales")->text(), "Sales:");
    EXPECT_FALSE(Label("picLogo")->pixmap().isNull());
    EXPECT_EQ(about->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMinimizeButtonHint);
    for (const char* strName : {"picLogo", "lblSupportId", "lblSalesId", "lblHomeSite"})
        EXPECT_EQ(Label(strName)->cursor().shape(), Qt::BitmapCursor) << strName;
}

TEST(VersionCaptionTest, NumbersWithoutLeadingZerosAndNoBuild) {
    EXPECT_EQ(frmMain::Version_Caption(1, 2, 5), "Version: 1.2 Revision: 5");
    EXPECT_EQ(frmMain::Version_Caption(10, 0, 7), "Version: 10.0 Revision: 7");
    EXPECT_EQ(frmMain::Version_Caption(3, 14, 120), "Version: 3.14 Revision: 120");
}

TEST_F(AboutTest, OkAndEscCloseTheBox) {
    QSignalSpy closed(about.get(), &QDialog::finished);
    QTest::mouseClick(about->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(closed.count(), 1);

    about->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(about.get()));
    QWidget* pOK = about->findChild<QPushButton*>("cmdOK");
    pOK->setFocus();
    QTest::keyClick(pOK, Qt::Key_Escape);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(closed.count(), 2);
    EXPECT_TRUE(console->isVisible()) << "the console is left as it was";
    EXPECT_TRUE(shell->calls.empty());
}

struct Link_Case {
    const char* strLabel;
    const char* strVerb;
    const char* strAddress;
};
void PrintTo(const Link_Case& c, std::ostream* os) { *os << c.strLabel; }

class AboutLinkTest : public AboutTest, public ::testing::WithParamInterface<Link_Case> {};

TEST_P(AboutLinkTest, OpensItsAddressMaximized) {
    const Link_Case c = GetParam();
    QTest::mouseClick(Label(c.strLabel), Qt::LeftButton);
    ASSERT_EQ(shell->calls.size(), 1u);
    EXPECT_EQ(shell->calls[0].strVerb, c.strVerb);
    EXPECT_EQ(shell->calls[0].strFile, c.strAddress);
    EXPECT_EQ(shell->calls[0].strParameters, "");
    EXPECT_EQ(shell->calls[0].strDirectory, "");
    EXPECT_EQ(shell->calls[0].lngShowCmd, 3);
    EXPECT_TRUE(about->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Cases, AboutLinkTest,
                         ::testing::Values(Link_Case{"picLogo", "open", "http://www.dravinole.invalid"},
                                           Link_Case{"lblHomeSite", "open", "http://www.dravinole.invalid"},
                                           Link_Case{"lblSupportId", "", "mailto:support@dravinole.invalid"},
                                           Link_Case{"lblSalesId", "", "mailto:sales@dravinole.invalid"}));

TEST_F(AboutTest, ShownLabelsNameTheAddressesTheyOpen) {
    EXPECT_EQ(Label("lblSupportId")->text(), "support@dravinole.invalid");
    EXPECT_EQ(Label("lblSalesId")->text(), "sales@dravinole.invalid");
    EXPECT_EQ(Label("lblHomeSite")->text(), "www.dravinole.invalid");
}

}  // namespace
