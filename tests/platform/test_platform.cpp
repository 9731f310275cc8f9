#include "platform/Controls.h"
#include "platform/Dv_Application.h"
#include "services/ErrorHandler.h"
#include "services/modGlobal.h"
#include "platform/Platform.h"
#include "platform/WidgetServices.h"
#include "support/Fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
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
        EXPECT_EQ(second.Failure(), "") << "held by another copy is no failure to make it";
    }
    EXPECT_EQ(first.Failure(), "");
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

// ---------------------------------------------------------------- hostile environment

class LockPlaceTest : public test::Dv_Test {};

TEST_F(LockPlaceTest, TheLockLivesBesideTheSettingsDatabaseWhateverTheRuntimeFolder) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Temp_Path("run-a")));
    platform::File_Instance_Lock first;
    first.Create_Mutex("lhdravinolets");
    EXPECT_FALSE(first.Previous_Instance());
    EXPECT_TRUE(QFile::exists(Windows_Dir() + "/lhdravinolets.lock"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Temp_Path("run-b")));
    platform::File_Instance_Lock second;
    second.Create_Mutex("lhdravinolets");
    EXPECT_TRUE(second.Previous_Instance()) << "another environment, the same database";
    if (saved.isEmpty()) qunsetenv("XDG_RUNTIME_DIR");
    else qputenv("XDG_RUNTIME_DIR", saved);
}

TEST_F(LockPlaceTest, ALockThatCannotBeMadeCountsAsAnotherInstance) {
    for (const QString& strFolder : {Temp_Path("no/such/folder"), Database_File() /* a file, not a folder */}) {
        environment->strWindowsDirectory = strFolder;
        platform::File_Instance_Lock lock;
        lock.Create_Mutex("lhdravinolets");
        EXPECT_TRUE(lock.Previous_Instance()) << strFolder.toStdString();
        // ... and says where and why, so that it is not taken for one.
        EXPECT_TRUE(lock.Failure().startsWith("The single-instance lock cannot be made in the folder \"" + strFolder +
                                              "\": "))
            << lock.Failure().toStdString();
    }
    environment->strWindowsDirectory.clear();
    platform::File_Instance_Lock nowhere;
    nowhere.Create_Mutex("lhdravinolets");
    EXPECT_TRUE(nowhere.Previous_Instance());
    EXPECT_EQ(nowhere.Failure(), "The single-instance lock cannot be made: the Windows directory is not known");
}

TEST(MessageBoxTest, EveryTextIsShownAsPlainText) {
    const QString strText = "<b>4.0</b> <a href=\"http://example.invalid/\">get it</a> &amp;";
    Qt::TextFormat format = Qt::AutoText;
    QString strShown;
    QTimer::singleShot(0, [&] {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(pBox, nullptr);
        format = pBox->textFormat();
        strShown = pBox->text();
        pBox->button(QMessageBox::Ok)->click();
    });
    platform::Qt_Message_Box box;
    EXPECT_EQ(box.Show(strText, platform::vbCritical, "DravinoleTS"), platform::vbOK);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(strShown, strText);
}

// Throws from its event handler whatever it is given.
class Throwing_Object : public QObject {
public:
    std::function<void()> raise;
    bool event(QEvent*) override {
        raise();
        return true;
    }
};

class EventGuardTest : public test::Dv_Test {};

TEST_F(EventGuardTest, NoExceptionLeavesAnEventHandlerAndEachIsReportedOnce) {
    ASSERT_NE(dynamic_cast<platform::Dv_Application*>(QCoreApplication::instance()), nullptr);
    Throwing_Object object;
    const std::vector<std::pair<std::function<void()>, QString>> cases = {
        {[] { throw std::bad_alloc(); }, "Out of memory"},
        {[] { throw Run_Time_Error(9, "Subscript out of range"); }, "Subscript out of range"},
        {[] { throw std::runtime_error("broken"); }, "broken"},
        {[] { throw 42; }, "Internal error"},
    };
    for (const auto& [raise, strText] : cases) {
        object.raise = raise;
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&object, &event);
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << strText.toStdString();
        EXPECT_TRUE(boxes[0].strText.startsWith(strText)) << boxes[0].strText.toStdString();
        EXPECT_EQ(boxes[0].lngStyle, 16);
    }
}

TEST_F(EventGuardTest, TheErrorReportSetAtStartUpReceivesEachErrorAnEventHandlerLetsOut) {
    std::vector<std::pair<long, QString>> reported;
    platform::Dv_Application::Set_Error_Report(
        [&](const Run_Time_Error& e) { reported.emplace_back(e.Number, e.Description); });
    struct Handler_Back {
        ~Handler_Back() { platform::Dv_Application::Set_Error_Report(Procedure_Error_Handler); }
    } back;
    Throwing_Object object;
    for (const std::function<void()>& raise : std::vector<std::function<void()>>{
             [] { throw Run_Time_Error(9, "Subscript out of range"); }, [] { throw std::bad_alloc(); }, [] { throw 42; }}) {
        object.raise = raise;
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&object, &event);
    }
    EXPECT_EQ(reported, (std::vector<std::pair<long, QString>>{
                            {9, "Subscript out of range"}, {7, "Out of memory"}, {51, "Internal error"}}));
    EXPECT_TRUE(Boxes().empty());
}

TEST(WholeCharacterTest, ABoxCutToItsLengthKeepsNoHalfCharacter) {
    const QString strSmile = QString::fromUtf8("\xF0\x9F\x98\x80");
    QLineEdit box;
    box.setMaxLength(3);
    box.show();  // polished: the application object looks after it from now on
    box.insert("ab" + strSmile);
    EXPECT_EQ(box.text(), "ab");
    box.clear();
    box.insert("a" + strSmile + "z");
    EXPECT_EQ(box.text(), "a" + strSmile);
    box.setText("xy" + strSmile);
    EXPECT_EQ(box.text(), "xy");
}

}  // namespace
