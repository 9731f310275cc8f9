#include "schedules/frmDeviceSettings.h"
#include "schedules/SettingsApply.h"
#include "lists/ListEditor.h"
#include "ui_frmDeviceSettings.h"

#include "database/ValueSets.h"
#include "database/modDBFunctions.h"
#include "services/ErrorHandler.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <cstdint>

// Resources of a static library are registered by hand, outside any namespace.
static void Init_Settings_Resources() { Q_INIT_RESOURCE(settings); }

namespace {

// The field value of each option index: Lock, Unlock, Read Only (2 is never written).
constexpr std::array<long, 3> FIELD_VALUES = {Device_Lock_State::DEVICE_LOCK, Device_Lock_State::DEVICE_UNLOCK,
                                              Device_Lock_State::DEVICE_READ_ONLY};
constexpr int ICON_SIZE = 32;

}  // namespace

frmDeviceSettings::frmDeviceSettings(Console_Link& console, QWidget* parent)
    : frmFeatureDialog(console, parent), ui(std::make_unique<Ui::frmDeviceSettings>()) {
    ui->setupUi(this);
    Init_Settings_Resources();
    optFloppy = {ui->optFloppy_0, ui->optFloppy_1, ui->optFloppy_2};
    optCDDVD = {ui->optCDDVD_0, ui->optCDDVD_1, ui->optCDDVD_2};
    optUSB = {ui->optUSB_0, ui->optUSB_1, ui->optUSB_2};
    for (const auto& [strKey, strFile] : {std::pair{"imgFloppy", "floppy"}, {"imgCdDvd", "cd_dvd"}, {"imgUsb", "usb"}})
        ilsLarge.insert(QString::fromLatin1(strKey),
                        QIcon(QStringLiteral(":/settings/settings_icons/%1.svg").arg(QLatin1String(strFile))));

    // A click is a Click, on the option already chosen too (Apply then stores the
    // same lock again); it runs the handler once. The load chooses options by code,
    // which is no change and runs no handler.
    const auto on = [this](const Option_Group& group, void (frmDeviceSettings::*handler)(int)) {
        for (int i = 0; i < 3; ++i)
            connect(group[i], &QRadioButton::clicked, this, [this, handler, i] { (this->*handler)(i); });
    };
    on(optFloppy, &frmDeviceSettings::optFloppy_Click);
    on(optCDDVD, &frmDeviceSettings::optCDDVD_Click);
    on(optUSB, &frmDeviceSettings::optUSB_Click);
    connect(ui->cmdApply, &QPushButton::clicked, this, &frmDeviceSettings::cmdApply_Click);
    connect(ui->cmdCopySettings, &QPushButton::clicked, this, &frmDeviceSettings::cmdCopySettings_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmDeviceSettings::cmdClose_Click);

    if (Owner_Stored_At_Open()) Form_Load();
}

frmDeviceSettings::~frmDeviceSettings() = default;

std::array<frmDeviceSettings::Device_Field, 3> frmDeviceSettings::Devices() {
    using namespace Device_Lock_State;
    return {{{&optFloppy, FIELD_MASK << FLOPPY_SHIFT, FLOPPY_SHIFT},
             {&optCDDVD, FIELD_MASK << CDROM_SHIFT, CDROM_SHIFT},
             {&optUSB, FIELD_MASK << USB_SHIFT, USB_SHIFT}}};
}

void frmDeviceSettings::Form_Load() {
    Error_Block([&] {
        setWindowTitle("Device Lock - " + Owner_Name());
        Set_Tooltips();
        Load_Images();
        Load_Device_Lock();
        Set_Controls_State();
        // Setting the options from the stored value is no change.
        ui->cmdApply->setEnabled(false);
    });
}

void frmDeviceSettings::Set_Tooltips() {
    const std::pair<Option_Group*, QString> devices[] = {
        {&optFloppy, QStringLiteral("Floppy")}, {&optCDDVD, QStringLiteral("CD/DVD")}, {&optUSB, QStringLiteral("USB")}};
    for (const auto& [pGroup, strDevice] : devices) {
        (*pGroup)[0]->setToolTip("Click to Lock the " + strDevice);
        (*pGroup)[1]->setToolTip("Click to Unlock the " + strDevice);
    }
}

void frmDeviceSettings::Load_Images() {
    ui->picFloppy->setPixmap(ilsLarge.value(QStringLiteral("imgFloppy")).pixmap(ICON_SIZE));
    ui->picCDDVD->setPixmap(ilsLarge.value(QStringLiteral("imgCdDvd")).pixmap(ICON_SIZE));
    ui->picUSB->setPixmap(ilsLarge.value(QStringLiteral("imgUsb")).pixmap(ICON_SIZE));
}

bool frmDeviceSettings::Is_Device_Field_Value(long lngMask, long lngValue, int intShift) const {
    return ((m_lngDeviceLock & lngMask) >> intShift) == lngValue;
}

void frmDeviceSettings::Add_Device_Field(long& lngLock, long lngValue, int intShift) {
    lngLock |= lngValue << intShift;
}

void frmDeviceSettings::Load_Device_Lock() {
    const Policy_Owner owner = Owner();
    long lngDeviceLock = 0;
    if (!modDBFunctions::Get_Device_Lock(owner.lngComputerID, owner.lngUserID, lngDeviceLock)) return;
    m_blnLockRead = true;
    Show_Device_Lock(lngDeviceLock);
}

void frmDeviceSettings::Show_Device_Lock(Flag_Word lngDeviceLock) {
    // The stored value is a 32-bit number.
    m_lngDeviceLock = static_cast<std::int32_t>(lngDeviceLock);
    // A field holding 2 chooses no option of its device.
    for (const Device_Field& device : Devices()) {
        // Exclusive options cannot be cleared one by one: the group is cleared first.
        for (QRadioButton* pOption : *device.pOptions) pOption->setAutoExclusive(false);
        for (int i = 0; i < 3; ++i)
            (*device.pOptions)[i]->setChecked(Is_Device_Field_Value(device.lngMask, FIELD_VALUES[i], device.intShift));
        for (QRadioButton* pOption : *device.pOptions) pOption->setAutoExclusive(true);
    }
}

long frmDeviceSettings::Chosen_Field(const Device_Field& device) {
    for (int i = 0; i < 3; ++i)
        if ((*device.pOptions)[i]->isChecked()) return FIELD_VALUES[i];
    return -1;
}

void frmDeviceSettings::Set_Controls_State() {
    const bool blnEnabled = !modGlobal::Is_Remote_Mode;
    ui->cmdApply->setEnabled(blnEnabled);
    for (const Device_Field& device : Devices())
        for (QRadioButton* pOption : *device.pOptions) pOption->setEnabled(blnEnabled);
}

void frmDeviceSettings::optFloppy_Click(int) { ui->cmdApply->setEnabled(true); }
void frmDeviceSettings::optCDDVD_Click(int) { ui->cmdApply->setEnabled(true); }
void frmDeviceSettings::optUSB_Click(int) { ui->cmdApply->setEnabled(true); }

void frmDeviceSettings::cmdApply_Click() {
    Error_Block([&] {
        // The devices whose option differs from the one the load chose (every chosen one
        // when the load could not read the lock): only their fields change, the others
        // stay as stored at the write (another program may have changed them meanwhile).
        // Bits above the three fields are not kept.
        std::array<long, 3> changed{-1, -1, -1};
        const std::array<Device_Field, 3> devices = Devices();
        for (size_t d = 0; d < devices.size(); ++d) {
            const long lngChosen = Chosen_Field(devices[d]);
            if (lngChosen >= 0 &&
                (!m_blnLockRead || !Is_Device_Field_Value(devices[d].lngMask, lngChosen, devices[d].intShift)))
                changed[d] = lngChosen;
        }
        const auto change = [&](Flag_Word& lngStored) {
            long lngLock = 0;
            for (size_t d = 0; d < devices.size(); ++d) {
                long lngValue = changed[d];
                if (lngValue < 0) {
                    lngValue = static_cast<long>((lngStored & devices[d].lngMask) >> devices[d].intShift);
                    // A device without an option (its field holds 2, never written) is locked.
                    if (lngValue == 2) lngValue = Device_Lock_State::DEVICE_LOCK;
                }
                Add_Device_Field(lngLock, lngValue, devices[d].intShift);
            }
            lngStored = lngLock;
        };
        const Policy_Owner owner = Owner();
        Flag_Word lngWritten = 0;
        const modDB::Row_Write written =
            modDBFunctions::Change_Device_Lock(owner.lngComputerID, owner.lngUserID, change, &lngWritten);
        if (!schedules::Apply_Stored(written, *ui->cmdApply)) return;
        m_blnLockRead = true;
        Show_Device_Lock(lngWritten);
        platform::Message_Boxes().Show(QStringLiteral("Successfully saved the Device Status"), 64,
                                       QStringLiteral("DravinoleTS"));
    });
}

// No copy writes the device lock: the dialog stays as it is, a choice not applied too.
void frmDeviceSettings::cmdCopySettings_Click() {
    lists::Copy_Settings(Console(), QStringLiteral("Device Settings"), {}, {});
}
