#include "platform/Controls.h"
#include "platform/Platform.h"
#include "platform/WidgetServices.h"
#include "support/Fixture.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest/QTest>

namespace {

TEST(InstanceLockTest, SecondHolderSeesThePreviousInstance) {
    QTemporaryDir dir;
    platform::File_Instance_Lock first(dir.path());
    first.Create_Mutex("lhdravinolets");
    EXPECT_FALSE(first.Previous_Instance());
    {
        platform::File_Instance_Lock second(dir.path());
        second.Create_Mutex("lhdravinolets");
        EXPECT_TRUE(second.Previous_Instance());
    }
    platform::File_Instance_Lock other(dir.path());
    other.Create_Mutex("another-name");
    EXPECT_FALSE(other.Previous_Instance());
}

TEST(InstanceLockTest, ReleasedLockCanBeTakenAgain) {
    QTemporaryDir dir;
    { platform::File_Instance_Lock first(dir.path()); first.Create_Mutex("m"); }
    platform::File_Instance_Lock next(dir.path());
    next.Create_Mutex("m");
    EXPECT_FALSE(next.Previous_Instance());
}

TEST(EnvironmentTest, WindowsDirectoryComesFromWindirWithADefault) {
    platform::System_Environment env;
    const QByteArray saved = qgetenv("WINDIR");
    qputenv("WINDIR", "/srv/win");
    EXPECT_EQ(env.Windows_Directory(), "/srv/win");
    qunsetenv("WINDIR");
    EXPECT_EQ(env.Windows_Directory(), platform::Default_Windows_Directory());
    EXPECT_TRUE(env.Windows_Directory().endsWith("/DravinoleTS/Windows"));
    if (!saved.isEmpty()) qputenv("WINDIR", saved);
    EXPECT_FALSE(env.Logged_On_User_Name().isEmpty());
    EXPECT_FALSE(env.Is_Wow64_Process());
}

TEST(ControlsTest, FilterTextBecomesQtFilters) {
    EXPECT_EQ(platform::Filter_To_Qt("Text Files|*.txt|All Files|*.*"), "Text Files (*.txt);;All Files (*.*)");
    EXPECT_EQ(platform::Filter_To_Qt("Html|*.html;*.htm"), "Html (*.html *.htm)");
}

TEST(ControlsTest, TagIsATextProperty) {
    QObject control;
    EXPECT_EQ(platform::Get_Tag(&control), "");
    platform::Set_Tag(&control, "42");
    EXPECT_EQ(platform::Get_Tag(&control), "42");
}

TEST(ControlsTest, TwipsAreOneFourteenFortiethOfAnInch) {
    QWidget widget;
    const int dpi = widget.logicalDpiX();
    EXPECT_EQ(platform::Twips_To_Pixels(1440, &widget), dpi);
    EXPECT_EQ(platform::Twips_To_Pixels(0, &widget), 0);
    EXPECT_NEAR(platform::Pixels_To_Twips(dpi, &widget), 1440.0, 0.01);
}

TEST(ControlsTest, KeyPressHandlerSeesCodesAndCanSwallowKeys) {
    QLineEdit edit;
    std::vector<int> codes;
    platform::Install_KeyPress(&edit, [&](int& KeyAscii) {
        codes.push_back(KeyAscii);
        if (KeyAscii == 'x' || KeyAscii == 13) KeyAscii = 0;
    });
    QTest::keyClicks(&edit, "axb");
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(codes, (std::vector<int>{'a', 'x', 'b', 13, 8}));
    EXPECT_EQ(edit.text(), "a");
}

}  // namespace
