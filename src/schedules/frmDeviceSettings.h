#pragma once
// Device lock: whether the owner's floppy drives, CD/DVD drives and USB mass storage
// are locked, unlocked or read only, packed into one lock value and written on Apply.

#include "lists/FeatureDialog.h"
#include "platform/ListView.h"
#include "services/modCommonFuns.h"

#include <array>
#include <memory>

class QRadioButton;

namespace Ui {
class frmDeviceSettings;
}

class frmDeviceSettings : public lists::frmFeatureDialog {
    Q_OBJECT
public:
    explicit frmDeviceSettings(Console_Link& console, QWidget* parent = nullptr);
    ~frmDeviceSettings() override;

    // Option index 0 "Lock", 1 "Unlock", 2 "Read Only" of each device.
    using Option_Group = std::array<QRadioButton*, 3>;

public slots:
    void optFloppy_Click(int Index);
    void optCDDVD_Click(int Index);
    void optUSB_Click(int Index);
    void cmdApply_Click();
    void cmdCopySettings_Click();

protected:
    void Set_Controls_State() override;

private:
    // One device: its options and its 2-bit field in the lock value.
    struct Device_Field {
        Option_Group* pOptions;
        long lngMask;
        int intShift;
    };
    std::array<Device_Field, 3> Devices();

    void Form_Load();
    void Set_Tooltips();
    void Load_Images();
    void Load_Device_Lock();
    // Keeps the lock value and chooses its options.
    void Show_Device_Lock(Flag_Word lngDeviceLock);
    // The field value of the device's chosen option; -1 when none is chosen.
    static long Chosen_Field(const Device_Field& device);
    // True when the field (lock And mask) shifted down equals the value.
    bool Is_Device_Field_Value(long lngMask, long lngValue, int intShift) const;
    static void Add_Device_Field(long& lngLock, long lngValue, int intShift);

    std::unique_ptr<Ui::frmDeviceSettings> ui;
    Option_Group optFloppy{}, optCDDVD{}, optUSB{};
    platform::Image_List ilsLarge;
    // The lock value read at load, or as an Apply last wrote it.
    long m_lngDeviceLock = 0;
    // Whether it was read: the options then tell which devices the administrator changed.
    bool m_blnLockRead = false;
};
