// Device lock: three devices, each locked, unlocked or read only, packed into the
// owner's DEVICE_LOCK and written on Apply.
#include "SettingsFixture.h"

#include "lists/ListEditor.h"
#include "schedules/frmDeviceSettings.h"
#include "services/modGlobal.h"

#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QtTest/QTest>

namespace {

const char* const DEVICES[] = {"optFloppy", "optCDDVD", "optUSB"};
constexpr int NONE = -1;

class DeviceSettingsTest : public test::Settings_Test<frmDeviceSettings> {
protected:
    void Store_Lock(long lngLock) {
        Exec(QString("UPDATE USER_TBL SET DEVICE_LOCK=%1 WHERE USER_ID=%2").arg(lngLock).arg(m_lngUser));
    }
    QString Stored_Lock() { return User_Column("DEVICE_LOCK"); }
    QRadioButton* Option(int intDevice, int intIndex) const {
        return Find<QRadioButton>(QString("%1_%2").arg(DEVICES[intDevice]).arg(intIndex).toLatin1().constData());
    }
    // The chosen option of each device (NONE when none is).
    std::array<int, 3> Chosen() const {
        std::array<int, 3> chosen{NONE, NONE, NONE};
        for (int d = 0; d < 3; ++d)
            for (int i = 0; i < 3; ++i)
                if (Option(d, i)->isChecked()) {
                    EXPECT_EQ(chosen[d], NONE) << DEVICES[d] << " has two options chosen";
                    chosen[d] = i;
                }
        return chosen;
    }
};

// Option indexes: 0 Lock, 1 Unlock, 2 Read Only.
struct Lock_Case {
    const char* strName;
    long lngStored;
    std::array<int, 3> chosen;  // floppy, CD/DVD, USB
};
void PrintTo(const Lock_Case& c, std::ostream* os) { *os << c.strName; }

class DeviceLockLoadTest : public DeviceSettingsTest, public ::testing::WithParamInterface<Lock_Case> {};

TEST_P(DeviceLockLoadTest, LoadingAValueChoosesItsOptionsWithApplyDisabled) {
    Store_Lock(GetParam().lngStored);
    Open();
    EXPECT_EQ(Chosen(), GetParam().chosen);
    EXPECT_FALSE(Enabled("cmdApply"));
}

// Values the options can make.
const Lock_Case OPTION_VALUES[] = {
    {"all_locked", 0, {0, 0, 0}},
    {"all_unlocked", 21, {1, 1, 1}},
    {"all_read_only", 63, {2, 2, 2}},
    // Floppy read only, CD/DVD unlocked, USB locked: 3 + 4 + 0.
    {"mixed", 7, {2, 1, 0}},
    {"usb_read_only_only", 48, {0, 0, 2}},
};

INSTANTIATE_TEST_SUITE_P(OptionValues, DeviceLockLoadTest, ::testing::ValuesIn(OPTION_VALUES));
INSTANTIATE_TEST_SUITE_P(OtherValues, DeviceLockLoadTest,
                         ::testing::Values(
                             // A field holding 2 chooses nothing in its group.
                             Lock_Case{"floppy_field_2", 2 + 4 + 16, {NONE, 1, 1}},
                             Lock_Case{"upper_bits_ignored", 64 + 21, {1, 1, 1}}));

class DeviceLockApplyTest : public DeviceSettingsTest, public ::testing::WithParamInterface<Lock_Case> {};

TEST_P(DeviceLockApplyTest, ChoosingTheOptionsStoresTheirValue) {
    const Lock_Case& c = GetParam();
    // Start from the other end of the fields, so that the options change.
    Store_Lock(c.lngStored == 0 ? 63 : 0);
    Open();
    for (int d = 0; d < 3; ++d) Option(d, c.chosen[d])->click();
    ASSERT_TRUE(Enabled("cmdApply"));
    Click("cmdApply");
    Expect_Saved("Successfully saved the Device Status");
    EXPECT_EQ(Stored_Lock(), QString::number(c.lngStored));
    EXPECT_FALSE(Enabled("cmdApply"));
}

INSTANTIATE_TEST_SUITE_P(OptionValues, DeviceLockApplyTest, ::testing::ValuesIn(OPTION_VALUES));

TEST_F(DeviceSettingsTest, ApplyWithoutAChangeStoresTheSameValueAgain) {
    Store_Lock(63);
    Open();
    Dialog()->cmdApply_Click();
    Expect_Saved("Successfully saved the Device Status");
    EXPECT_EQ(Stored_Lock(), "63");
}

// A click is a click: the option already chosen enables Apply too, which then stores the
// same value again.
TEST_F(DeviceSettingsTest, AClickOnTheOptionAlreadyChosenEnablesApplyWhichStoresTheSameValue) {
    for (const Lock_Case& c : OPTION_VALUES) {
        for (int d = 0; d < 3; ++d) {
            Store_Lock(c.lngStored);
            Open();
            ASSERT_FALSE(Enabled("cmdApply"));
            QTest::mouseClick(Option(d, c.chosen[d]), Qt::LeftButton);
            EXPECT_TRUE(Option(d, c.chosen[d])->isChecked());
            ASSERT_TRUE(Enabled("cmdApply")) << c.strName << " " << DEVICES[d];
            Click("cmdApply");
            Expect_Saved("Successfully saved the Device Status");
            EXPECT_EQ(Stored_Lock(), QString::number(c.lngStored)) << c.strName;
            EXPECT_FALSE(Enabled("cmdApply"));
        }
    }
}

// Each option runs its handler once per click, whether the click chooses it or it was
// chosen already, from the mouse or the keyboard; the load's choice by code runs none.
TEST_F(DeviceSettingsTest, EachClickOnAnOptionRunsItsHandlerOnce) {
    struct Case {
        const char* strName;
        int intDevice, intOption;
        std::function<void(QRadioButton&)> act;
        int intRuns;
    };
    const auto mouse = [](QRadioButton& option) { QTest::mouseClick(&option, Qt::LeftButton); };
    const auto space = [](QRadioButton& option) { QTest::keyClick(&option, Qt::Key_Space); };
    // Stored: floppy locked, CD/DVD unlocked, USB read only.
    const Case cases[] = {
        {"unlock the floppy", 0, 1, mouse, 1},
        {"the floppy's lock already chosen", 0, 0, mouse, 1},
        {"read only for the CD/DVD", 1, 2, mouse, 1},
        {"the USB's read only already chosen", 2, 2, mouse, 1},
        {"Space locks the USB", 2, 0, space, 1},
        {"Space on the CD/DVD's unlock already chosen", 1, 1, space, 1},
        {"the floppy unlocked by code", 0, 1, [](QRadioButton& option) { option.setChecked(true); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strName);
        Store_Lock(0 | (1 << 2) | (3 << 4));
        Open();
        ASSERT_EQ(Chosen(), (std::array<int, 3>{0, 1, 2}));
        std::vector<QAbstractButton*> options;
        for (int d = 0; d < 3; ++d)
            for (int i = 0; i < 3; ++i) options.push_back(Option(d, i));
        QRadioButton& option = *Option(c.intDevice, c.intOption);
        EXPECT_EQ(Apply_Enabling_Runs(options, [&] { c.act(option); }), c.intRuns);
        EXPECT_TRUE(option.isChecked());
        EXPECT_TRUE(Boxes().empty());
    }
}

TEST_F(DeviceSettingsTest, ApplyDropsTheBitsAboveTheThreeFields) {
    Store_Lock(64 + 21);
    Open();
    Option(0, 0)->click();
    Option(0, 1)->click();
    Click("cmdApply");
    Expect_Saved("Successfully saved the Device Status");
    EXPECT_EQ(Stored_Lock(), "21");
}

TEST_F(DeviceSettingsTest, ADeviceWithoutAChosenOptionIsStoredLocked) {
    Store_Lock(2 + 4 + 48);  // floppy field 2, CD/DVD unlocked, USB read only
    Open();
    Option(1, 0)->click();
    Click("cmdApply");
    Expect_Saved("Successfully saved the Device Status");
    EXPECT_EQ(Stored_Lock(), QString::number(0 + 0 + 48));
}

// Apply changes only the devices whose option the administrator changed; a device the
// load could not show (another program held the file then) counts as changed once an
// option of it is chosen, whichever it is.
TEST_F(DeviceSettingsTest, AfterALoadThatCouldNotReadTheLockEveryChosenOptionIsStored) {
    Store_Lock(1 + 4 + 16);  // all unlocked
    {
        auto held = Make_Fault(test::Fault::Held_Exclusive_Lock);
        Open();
    }
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].strText.contains(test::Fault_Text(test::Fault::Held_Exclusive_Lock)))
        << boxes[0].strText.toStdString();
    EXPECT_EQ(Chosen(), (std::array<int, 3>{NONE, NONE, NONE}));
    Option(0, 0)->click();  // lock the floppy
    Click("cmdApply");
    Expect_Saved("Successfully saved the Device Status");
    EXPECT_EQ(Stored_Lock(), QString::number(0 + 4 + 16));
    EXPECT_EQ(Chosen(), (std::array<int, 3>{0, 1, 1}));
}

TEST_F(DeviceSettingsTest, TheDialogShowsTheUsersCaptionTheDevicePicturesAndTheOptionTips) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Device Lock - alice");
    for (const char* strPicture : {"picFloppy", "picCDDVD", "picUSB"})
        EXPECT_FALSE(Find<QLabel>(strPicture)->pixmap().isNull()) << strPicture;
    EXPECT_EQ(Option(0, 0)->toolTip(), "Click to Lock the Floppy");
    EXPECT_EQ(Option(1, 1)->toolTip(), "Click to Unlock the CD/DVD");
    EXPECT_EQ(Option(2, 0)->toolTip(), "Click to Lock the USB");
    EXPECT_EQ(Option(2, 2)->toolTip(), "");
}

TEST_F(DeviceSettingsTest, InRemoteModeTheOptionsAndApplyAreDisabledAndCopySettingsStillOpens) {
    modGlobal::Is_Remote_Mode = true;
    QStringList keys;
    lists::Set_Copy_Settings_Opener([&](const QString& strFeature) {
        keys << strFeature;
        return Copied_Settings();
    });
    Open();
    for (int d = 0; d < 3; ++d)
        for (int i = 0; i < 3; ++i) EXPECT_FALSE(Option(d, i)->isEnabled()) << DEVICES[d] << i;
    EXPECT_FALSE(Enabled("cmdApply"));
    EXPECT_TRUE(Enabled("cmdClose"));
    ASSERT_TRUE(Enabled("cmdCopySettings"));
    Click("cmdCopySettings");
    lists::Set_Copy_Settings_Opener(nullptr);
    EXPECT_EQ(keys, QStringList{"Device Settings"});
}

TEST_F(DeviceSettingsTest, EscAfterAChangeClosesWithoutAQuestionAndSavesNothing) {
    Store_Lock(21);
    Open();
    Option(0, 2)->click();
    QTest::keyClick(Option(0, 2), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Stored_Lock(), "21");
}

TEST_F(DeviceSettingsTest, TheDeviceLockMenuHandlerOpensTheDialogOverTheConsoleThoughItsMenuIsOff) {
    QString strCaption;
    forms->onShow = [&](QWidget& form) { strCaption = form.windowTitle(); };
    console->mnuDeviceLock_Click();
    ASSERT_EQ(forms->shown.size(), 1u);
    EXPECT_EQ(forms->shown[0], "frmDeviceSettings");
    EXPECT_EQ(forms->owners[0], console.get());
    EXPECT_EQ(strCaption, "Device Lock - alice");
    EXPECT_FALSE(Control<QMenu>("mnuDevice")->menuAction()->isVisible());
}

}  // namespace
