#include "console/frmCopySettings.h"
#include "ui_frmCopySettings.h"

#include "console/frmMain.h"
#include "console/modCopySettings.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "platform/Platform.h"
#include "services/ConsoleImages.h"
#include "services/ErrorHandler.h"
#include "services/MakerLinks.h"
#include "services/modCommonFuns.h"
#include "services/modGlobal.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QSet>
#include <QSignalBlocker>
#include <QUrl>
#include <algorithm>
#include <vector>

using platform::ListView;

namespace {

const QString TITLE = QStringLiteral("DravinoleTS");
const QString USER_ICON = QStringLiteral("User");
// The destination column is narrowed while more destinations than this are listed.
constexpr int DESTINATIONS_THRESHOLD = 12;

int Ask(const QString& strText, long lngStyle) { return platform::Message_Boxes().Show(strText, lngStyle, TITLE); }

// The console's picture of each feature, under the feature's key.
platform::Image_List Load_Copy_Images() {
    const std::pair<const char*, const char*> pictures[] = {
        {"WebSite Filter", "WebsiteFilter"},
        {"File Filter", "FileFilter"},
        {"SMTP Filter", "EmailFilter"},
        {"POP3 Filter", "EmailFilter"},
        {"Port Blocking And Filtering", "PortFilter"},
        {"Internet Scheduler", "InternetScheduler"},
        {"EXE Blocker", "AppBlocker"},
        {"Window Blocker", "WindowBlocker"},
        {"Application Scheduler", "AppScheduler"},
        {"General Options", "GenOptions"},
        {"User", "User"},
        {"Hand", "Hand"},
    };
    QStringList names;
    for (const auto& picture : pictures) names << QLatin1String(picture.second);
    const platform::Image_List console = Console_Images::Load_Image_List(names);
    platform::Image_List images;
    for (const auto& picture : pictures)
        images.insert(QLatin1String(picture.first), console.value(QLatin1String(picture.second)));
    return images;
}

}  // namespace

// ---------------------------------------------------------------- opening

Copied_Settings frmCopySettings::Show_This_Form(frmMain& console, const QString& strFeature) {
    // Each opening loads the dialog afresh; it goes when it closes.
    frmCopySettings form(console);
    form.Fill_Features_In_Listview();
    ListView& features = *form.ui->lvwFeatures;
    const long lngItem = features.Find_Key(strFeature);
    if (lngItem != 0) features.Set_Checked(lngItem, true);
    platform::Forms().Show_Modal(form, nullptr);
    return form.m_copied;
}

frmCopySettings::frmCopySettings(frmMain& console, QWidget* parent)
    : Dv_Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::frmCopySettings>()), m_frmMain(console) {
    ui->setupUi(this);
    ilsCopySettings = Load_Copy_Images();
    ui->lblHomeSite->setText(QUrl(Maker_Links::HOME_PAGE).host());
    ui->lblHomeSite->setCursor(Console_Images::Hand_Cursor(ilsCopySettings));
    QPalette linkPalette = ui->lblHomeSite->palette();
    linkPalette.setColor(QPalette::WindowText, palette().color(QPalette::Link));
    ui->lblHomeSite->setPalette(linkPalette);

    for (ListView* pList : {ui->lvwFeatures, ui->lvwDestinationUsers}) {
        pList->Set_View(ListView::lvwReport);
        pList->Set_Checkboxes(true);
        pList->Set_Image_List(&ilsCopySettings);
        pList->Set_Check_Boxes_Take_Clicks(false);
    }
    ui->lvwFeatures->Add_Column(QStringLiteral("Features that you want to copy"), 0);
    ui->lvwDestinationUsers->Add_Column(QStringLiteral("Destinations"), 0);
    m_destinationsAllowance =
        std::make_unique<lists::Column_Allowance>(*ui->lvwDestinationUsers, 1, DESTINATIONS_THRESHOLD);

    // The source list fills its row whatever names it holds: its size does not follow
    // its longest name, which would mean measuring every name when the dialog shows.
    ui->cboUsers->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui->cboUsers->setMinimumContentsLength(12);

    // The source list's Click runs also when the program selects an entry.
    connect(ui->cboUsers, &QComboBox::currentIndexChanged, this, [this](int intIndex) {
        if (intIndex >= 0) cboUsers_Click();
    });
    connect(ui->chkSelectAllFeatures, &QCheckBox::toggled, this, &frmCopySettings::chkSelectAllFeatures_Click);
    connect(ui->chkSelectAllDestinations, &QCheckBox::toggled, this,
            &frmCopySettings::chkSelectAllDestinations_Click);
    connect(ui->lvwFeatures, &ListView::ItemClick, this, &frmCopySettings::lvwFeatures_ItemClick);
    connect(ui->lvwDestinationUsers, &ListView::ItemClick, this, &frmCopySettings::lvwDestinationUsers_ItemClick);
    connect(ui->lvwFeatures, &ListView::ItemCheck, this, &frmCopySettings::lvwFeatures_ItemCheck);
    connect(ui->lvwDestinationUsers, &ListView::ItemCheck, this, &frmCopySettings::lvwDestinationUsers_ItemCheck);
    connect(ui->cmdCopySettings, &QPushButton::clicked, this, &frmCopySettings::cmdCopySettings_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmCopySettings::cmdClose_Click);
    platform::Install_Click(ui->lblHomeSite, [this] { lblHomeSite_Click(); });

    resize(540, 430);
    Form_Load();
}

frmCopySettings::~frmCopySettings() {
    // The lists may still paint while the dialog goes; their icons are members.
    ui->lvwFeatures->Set_Image_List(nullptr);
    ui->lvwDestinationUsers->Set_Image_List(nullptr);
}

void frmCopySettings::Form_Load() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Fill_Users_In_ComboBox();
        Set_Controls_State();
        // The console's chosen user by its id: two entries may show the same text.
        ui->cboUsers->setCurrentIndex(
            m_frmMain.Has_Owner() ? Find_User_In_ComboBox(m_frmMain.Selected_User_ID()) : 0);
        ui->cmdCopySettings->setEnabled(false);
    });
}

void frmCopySettings::Set_Caption_And_Columns() {
    // The user selected in the console, whichever source is chosen here.
    setWindowTitle(QStringLiteral("Copy Settings - ") + m_frmMain.cboUsers->currentText());
    // Lay the hidden dialog out now, outer layouts first, so the lists have the width
    // they will show.
    layout()->activate();
    for (QWidget* pChild : findChildren<QWidget*>())
        if (pChild->layout()) pChild->layout()->activate();
    ui->lvwFeatures->Set_Column_Width(1, lists::List_Inner_Width_Twips(*ui->lvwFeatures) - 20);
    m_destinationsAllowance->Set_Base_Width(lists::List_Inner_Width_Twips(*ui->lvwDestinationUsers) - 20);
}

void frmCopySettings::Fill_Users_In_ComboBox() {
    Error_Block([&] {
        QComboBox& users = *ui->cboUsers;
        {
            // Clearing and filling select nothing; entry 0 is selected below.
            const QSignalBlocker blocker(users);
            users.clear();
            long lngRows = 0;
            modDB::Query_Result arrResult;
            // Each entry carries its USER_ID: the copy reads and writes the rows of the
            // entries chosen, whatever names they show.
            if (modDBFunctions::Get_All_Users(lngRows, arrResult))
                for (int r = 1; r <= lngRows; ++r)
                    users.addItem(arrResult.Value(r, 0), QVariant::fromValue<qlonglong>(arrResult.Long_Value(r, 1)));
            users.setCurrentIndex(-1);
        }
        if (users.count() > 0) users.setCurrentIndex(0);
    });
}

int frmCopySettings::Find_User_In_ComboBox(long lngUserID) const {
    for (int i = 1; i < ui->cboUsers->count(); ++i)
        if (ui->cboUsers->itemData(i).toLongLong() == lngUserID) return i;
    return 0;
}

bool frmCopySettings::Source_User_ID(long& lngUserID) const {
    bool blnIsID = false;
    const qlonglong lngID = ui->cboUsers->currentData().toLongLong(&blnIsID);
    if (ui->cboUsers->currentIndex() < 0 || !blnIsID) return false;
    lngUserID = static_cast<long>(lngID);
    return true;
}

void frmCopySettings::Set_Controls_State() {
    ui->cmdCopySettings->setEnabled(!modGlobal::Is_Remote_Mode);
    ui->fraCopySettings->setEnabled(!modGlobal::Is_Remote_Mode);
}

// ---------------------------------------------------------------- lists

void frmCopySettings::cboUsers_Click() {
    Error_Block([&] {
        Set_Caption_And_Columns();
        Fill_Destinations();
        ui->cmdCopySettings->setEnabled(false);
        ui->chkSelectAllDestinations->setChecked(false);
    });
}

void frmCopySettings::Fill_Destinations() {
    Error_Block([&] {
        ListView& list = *ui->lvwDestinationUsers;
        list.Clear();
        long lngRows = 0;
        modDB::Query_Result arrResult;
        if (modDBFunctions::Get_All_Users(lngRows, arrResult)) {
            // Every user but the source's own row; each item's Tag is its USER_ID.
            long lngSourceUserID = 0;
            const bool blnSource = Source_User_ID(lngSourceUserID);
            std::vector<platform::List_Item> items;
            items.reserve(static_cast<size_t>(lngRows));
            for (int r = 1; r <= lngRows; ++r) {
                const long lngUserID = arrResult.Long_Value(r, 1);
                if (blnSource && lngUserID == lngSourceUserID) continue;
                platform::List_Item item;
                item.strText = arrResult.Value(r, 0);
                item.strTag = QString::number(lngUserID);
                item.strSmallIcon = USER_ICON;
                items.push_back(std::move(item));
            }
            list.Add_Many(std::move(items));
        }
        m_destinationsAllowance->Update();
    });
}

void frmCopySettings::Fill_Features_In_Listview() {
    Error_Block([&] {
        for (const modCopySettings::Copy_Feature& feature : modCopySettings::Copy_Features())
            ui->lvwFeatures->Add(feature.strKey, feature.strKey, feature.strKey);
    });
}

long frmCopySettings::Count_Checked_Items(const ListView& list) {
    long lngCount = 0;
    for (long i = 1; i <= list.Count(); ++i)
        if (list.Checked(i)) ++lngCount;
    return lngCount;
}

void frmCopySettings::Check_All_Items(ListView& list, bool blnChecked) {
    for (long i = 1; i <= list.Count(); ++i) list.Set_Checked(i, blnChecked);
}

void frmCopySettings::Update_Copy_Button() {
    ui->cmdCopySettings->setEnabled(!modGlobal::Is_Remote_Mode && Count_Checked_Items(*ui->lvwFeatures) >= 1 &&
                                    Count_Checked_Items(*ui->lvwDestinationUsers) >= 1);
}

void frmCopySettings::chkSelectAllFeatures_Click() {
    Error_Block([&] {
        Check_All_Items(*ui->lvwFeatures, ui->chkSelectAllFeatures->isChecked());
        Update_Copy_Button();
    });
}

void frmCopySettings::chkSelectAllDestinations_Click() {
    Error_Block([&] {
        Check_All_Items(*ui->lvwDestinationUsers, ui->chkSelectAllDestinations->isChecked());
        Update_Copy_Button();
    });
}

void frmCopySettings::Reverse_Clicked_Tick(ListView& list, long lngIndex) {
    Error_Block([&] {
        if (lngIndex >= 1 && lngIndex <= list.Count() && list.Selected(lngIndex))
            list.Set_Checked(lngIndex, !list.Checked(lngIndex));
        Update_Copy_Button();
    });
}

void frmCopySettings::lvwFeatures_ItemClick(long lngIndex) { Reverse_Clicked_Tick(*ui->lvwFeatures, lngIndex); }

void frmCopySettings::lvwDestinationUsers_ItemClick(long lngIndex) {
    Reverse_Clicked_Tick(*ui->lvwDestinationUsers, lngIndex);
}

void frmCopySettings::lvwFeatures_ItemCheck(long) {
    Error_Block([&] { Update_Copy_Button(); });
}

void frmCopySettings::lvwDestinationUsers_ItemCheck(long) {
    Error_Block([&] { Update_Copy_Button(); });
}

void frmCopySettings::Clear_All_Checks() {
    // The "Select All" boxes keep their state.
    Check_All_Items(*ui->lvwFeatures, false);
    Check_All_Items(*ui->lvwDestinationUsers, false);
}

// ---------------------------------------------------------------- the copy

bool frmCopySettings::Copy_Checked_Features() {
    const long lngComputerID = m_frmMain.m_lngComputerID;
    // The source and the destinations are the rows of the entries chosen, by the ids
    // they carry; the users stored now, read once, tell which of them are still there.
    long lngRows = 0;
    modDB::Query_Result arrUsers;
    if (!modDBFunctions::Get_All_Users(lngRows, arrUsers)) return false;
    QSet<long> storedIDs;
    for (int r = 1; r <= lngRows; ++r) storedIDs.insert(arrUsers.Long_Value(r, 1));

    // A source that is no longer stored is never copied from: nothing is written.
    long lngSourceUserID = 0;
    if (!Source_User_ID(lngSourceUserID) || !storedIDs.contains(lngSourceUserID)) return false;

    bool blnSuccess = true;
    // The ticked destinations' ids, in list order. One that is no longer stored, or
    // the source itself, is skipped, so nothing is written under an id nobody chose;
    // not every ticked destination got the copy then, so it is not reported as a success.
    const ListView& destinations = *ui->lvwDestinationUsers;
    modCopySettings::Destinations destinationIDs;
    for (long i = 1; i <= destinations.Count(); ++i) {
        if (!destinations.Checked(i)) continue;
        bool blnIsID = false;
        const long lngDestUserID = static_cast<long>(destinations.Tag(i).toLongLong(&blnIsID));
        if (!blnIsID || !storedIDs.contains(lngDestUserID) || lngDestUserID == lngSourceUserID) {
            blnSuccess = false;
            continue;
        }
        // Two ticked names that resolve to one id are copied to once.
        if (std::find(destinationIDs.begin(), destinationIDs.end(), lngDestUserID) == destinationIDs.end())
            destinationIDs.push_back(lngDestUserID);
    }
    if (destinationIDs.empty()) return blnSuccess;

    // One connection writes the whole copy, one transaction per feature and destination.
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    if (!hDb) return false;

    // Features one at a time in list order, each to every destination before the next.
    // The copy stops at the first failed read or write: it was reported once, and the
    // destinations not reached yet keep what they have.
    const ListView& features = *ui->lvwFeatures;
    const long lngFeatures = features.Count();
    for (long f = 1; f <= lngFeatures; ++f) {
        if (!features.Checked(f)) continue;
        const modCopySettings::Copy_Feature* pFeature = modCopySettings::Find_Copy_Feature(features.Text(f));
        if (!pFeature) continue;
        bool blnSourceEnabled = false;
        if (pFeature->lngSourceBit != 0) {
            // An unreadable source bit is not taken for "off".
            Flag_Word lngBits = 0;
            if (!modDBFunctions::Read_Feature_Bits(hDb, lngComputerID, lngSourceUserID, lngBits)) return false;
            blnSourceEnabled = modCommonFuns::Is_Flag_Set(lngBits, pFeature->lngSourceBit);
        }
        for (const long lngDestUserID : destinationIDs) m_copied.Add(pFeature->strKey, lngDestUserID);
        if (!pFeature->routine(hDb, lngComputerID, lngSourceUserID, destinationIDs, blnSourceEnabled)) return false;
    }
    return blnSuccess;
}

void frmCopySettings::cmdCopySettings_Click() {
    // A run-time error inside the copy ends it without an outcome message.
    Error_Block([&] {
        if (Copy_Checked_Features()) {
            Ask(QStringLiteral("Successfully copied the features"), 64);
            ui->cmdCopySettings->setEnabled(false);
            Clear_All_Checks();
        } else {
            // The ticks stay, so the copy can be run again.
            Ask(QStringLiteral("Features are not successfully copied"), 64);
        }
    });
}

// ---------------------------------------------------------------- closing and links

void frmCopySettings::lblHomeSite_Click() { Maker_Links::Open_Home_Page(); }
