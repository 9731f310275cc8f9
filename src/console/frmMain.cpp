#include "console/frmMain.h"
#include "ui_frmMain.h"

#include "Version.h"
#include "console/frmCopySettings.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "platform/Platform.h"
#include "services/ConsoleImages.h"
#include "services/ErrorHandler.h"
#include "services/ListHelpers.h"
#include "services/MakerLinks.h"
#include "services/modCommonFuns.h"
#include "services/modProgram.h"

#include <QCloseEvent>
#include <QListView>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

namespace {

// The feature items of the three lists, in list order; the key is also the icon.
struct Feature_Item {
    int intList;
    const char* strKey;
    const char* strCaption;
    long lngTag;
};
constexpr Feature_Item FEATURE_ITEMS[] = {
    {0, "WebsiteFilter", "WebSite Filter", 1},
    {0, "FileFilter", "File Filter", 2},
    {0, "PortFilter", "Port Filter", 4},
    {0, "EmailFilter", "Email Filter", 3},
    {0, "InternetScheduler", "Internet Scheduler", 5},
    {0, "InternetSettings", "Internet Settings", 6},
    {1, "AppBlocker", "Application Blocker", 1},
    {1, "WindowBlocker", "Window Blocker", 2},
    {1, "AppScheduler", "Application Scheduler", 3},
    {1, "AppSettings", "Application Settings", 4},
    {2, "GenOptions", "General Options", 1},
    {2, "ManageUsers", "Manage Terminal Server Users", 3},
    {2, "CopySettings", "Copy Settings", 4},
};

struct Feature_Text {
    int intList;
    long lngTag;
    const char* strText;
};
constexpr Feature_Text FEATURE_DESCRIPTIONS[] = {
    {0, 1, "Let's you add whitelist entries when the internet is turned off. Similarly, when the internet is turned on, "
           "the blacklist entries will work."},
    {0, 2, "Enables blocking of any file extenstions. For example to block dowloading of movies, images, programs, "
           "archives, provide their file extensions like .avi, .mpg, .jpg, .bmp, .gif, .png, .exe, .zip, .tar etc to the "
           "file filter."},
    {0, 3, "Email Filter is used to restrict a user from sending and recieving emails to and from a particular domain "
           "through any email client software like Outlook Express. SMTP filter blocks the outgoing, while POP3 blocks "
           "incoming emails."},
    {0, 4, "Use Port Blocking and Filtering feature to restrict a user from accessing ports."},
    {0, 5, "Use Internet Scheduler to give permission to a user to access internet for certain time period of a day or a "
           "month or for every day. Internet will be permitted during the specified period. Blacklist policies will be "
           "enforced at the same time."},
    {0, 6, "Use Internet Settings to show customized warning messages when User(s) attempts to open blocked URLs. You can "
           "redirect the URL to other sites that you want to display when User(s) attempts to open Blocked URLs."},
    {1, 1, "Use EXE Blocker to restrict the User(s) from opening any particular programs /applications specified in the "
           "Blocked EXE Names List."},
    {1, 2, "Use Window Blocker to restrict the User(s) from accessing any particular window based on the title of the "
           "window."},
    {1, 3, "Use Application Scheduler to give permission to User(s) to access listed Application/ Window which are "
           "blocked."},
    {1, 4, "Use Application Settings to popup customized message when a user attempts to open restricted applications."},
    {1, 5, "Use Devcie Lock Feature to restrict or grant access to USB, Floppy, CD/DVD Storage Devices for User(s)."},
    {2, 1, "Use General Options to change the DravinoleTS operating mode (Single User OR All User) and program password."},
    {2, 2, "Use Reporting Option to view and print a detailed report of urls,applications and devices are used withinn a "
           "certain period"},
    {2, 3, "Use Manage Terminal Server User option to add, edit or delete a list of terminal server users. After adding "
           "users, select a user from the 'Select User' combo and then change a setting."},
    {2, 4, "Use Copy Settings to copy already applied setting of a User to another User."},
};

// Which menu item a feature item runs, by list and Tag.
struct Feature_Menu {
    int intList;
    long lngTag;
    QAction* Ui::frmMain::*pItem;
};
constexpr Feature_Menu FEATURE_MENUS[] = {
    {0, 3, &Ui::frmMain::mnuEmailFilter},       {0, 2, &Ui::frmMain::mnuFileFilter},
    {0, 4, &Ui::frmMain::mnuPortFilter},        {0, 1, &Ui::frmMain::mnuWebsiteFilter},
    {0, 5, &Ui::frmMain::mnuInternetScheduler}, {0, 6, &Ui::frmMain::mnuInternetSettings},
    {1, 1, &Ui::frmMain::mnuEXEBlocker},        {1, 2, &Ui::frmMain::mnuWindowBlocker},
    {1, 3, &Ui::frmMain::mnuApplicationScheduler}, {1, 4, &Ui::frmMain::mnuApplicationSettings},
    {1, 5, &Ui::frmMain::mnuDeviceLock},        {2, 1, &Ui::frmMain::mnuGeneralOptions},
    {2, 2, &Ui::frmMain::mnuReporting},         {2, 3, &Ui::frmMain::mnuManageUsers},
    {2, 4, &Ui::frmMain::mnuCopySettings},
};

const QStringList EXTRA_LARGE_KEYS = {
    "InternetSettings", "AllUserMode", "SingleUserMode", "User", "AppSettings", "WebsiteFilter", "InternetScheduler",
    "DeviceLock", "Report", "WebsiteFilterSelected", "ManageUsers", "CopySettings", "GenOptions", "FileFilter",
    "PortFilter", "EmailFilter", "AppBlocker", "AppScheduler", "WindowBlocker"};

constexpr int ICON_SIZE = 48;
// One cell of a feature list: room for the icon and two lines of caption.
constexpr int GRID_WIDTH = 112;
constexpr int GRID_HEIGHT = 92;

// The picture of an image list by key; a missing key fails as the old image list did.
QPixmap List_Picture(const platform::Image_List& images, const QString& strKey) {
    const auto it = images.constFind(strKey);
    if (it == images.constEnd()) throw Run_Time_Error(35601, QStringLiteral("Element not found"));
    return it->pixmap(ICON_SIZE, ICON_SIZE);
}

void Set_Back_Color(QWidget* pControl, const QColor& color) {
    QPalette pal = pControl->palette();
    pal.setColor(QPalette::Window, color);
    pControl->setPalette(pal);
    pControl->setAutoFillBackground(true);
}

void Set_Fore_Color(QWidget* pControl, const QColor& color) {
    QPalette pal = pControl->palette();
    pal.setColor(QPalette::WindowText, color);
    pControl->setPalette(pal);
}

}  // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_fnCheck_Filters_Installed(&modProgram::Check_Filters_Installed),
      m_ui(std::make_unique<Ui::frmMain>()) {
    m_ui->setupUi(this);
    cboUsers = m_ui->cboUsers;
    // The user list fills the side bar's width whatever names it holds, so its size
    // does not follow its longest name: measuring thousands of names when the window
    // first shows would hold up the login.
    cboUsers->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboUsers->setMinimumContentsLength(12);
    lvwMain = {m_ui->lvwMain_0, m_ui->lvwMain_1, m_ui->lvwMain_2};

    ilsExtraLarge = Console_Images::Load_Image_List(EXTRA_LARGE_KEYS);
    ilsSmall = Console_Images::Load_Image_List({QStringLiteral("Hand")});
    ilsLarge = Console_Images::Load_Image_List({QStringLiteral("SingleUserMode"), QStringLiteral("User"),
                                                QStringLiteral("AllUserMode")});

    // Design settings of the window.
    QFont headerFont = m_ui->lblHeaderInternet->font();
    headerFont.setBold(true);
    headerFont.setPointSizeF(headerFont.pointSizeF() * 1.15);
    for (QLabel* pHeader : {m_ui->lblHeaderInternet, m_ui->lblHeaderAppnAndDevice, m_ui->lblHeaderGenSettings})
        pHeader->setFont(headerFont);
    QFont descHeaderFont = m_ui->lblDescHeader->font();
    descHeaderFont.setBold(true);
    descHeaderFont.setUnderline(true);
    descHeaderFont.setPointSizeF(descHeaderFont.pointSizeF() * 1.15);
    m_ui->lblDescHeader->setFont(descHeaderFont);
    Set_Back_Color(m_ui->picMain, Qt::white);
    m_ui->picSideBar->setFixedWidth(250);
    // Room for the longest description, so the side bar does not jump while clicking.
    m_ui->lblDescription->setMinimumHeight(m_ui->lblDescription->fontMetrics().lineSpacing() * 9);
    for (int i = 0; i < 3; ++i) {
        platform::ListView& list = *lvwMain[static_cast<size_t>(i)];
        list.Set_View(platform::ListView::lvwIcon);
        list.Set_Image_List(&ilsExtraLarge);
        list.Set_Icon_Size(ICON_SIZE);
        if (auto* view = qobject_cast<QListView*>(list.Item_View())) {
            view->setGridSize(QSize(GRID_WIDTH, GRID_HEIGHT));
            view->setFrameShape(QFrame::NoFrame);
            view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            view->setTextElideMode(Qt::ElideNone);
        }
        list.Item_View()->setDragEnabled(false);
        list.Item_View()->setDragDropMode(QAbstractItemView::NoDragDrop);
        list.Item_View()->viewport()->setMouseTracking(true);
        list.Item_View()->viewport()->installEventFilter(this);
        list.setFixedHeight(GRID_HEIGHT + 8);
        // Six features side by side in the widest list.
        list.setMinimumWidth(GRID_WIDTH * 6 + 12);
        connect(&list, &platform::ListView::ItemClick, this, [this, i](long lngItem) { lvwMain_ItemClick(i, lngItem); });
        connect(&list, &platform::ListView::DblClick, this, [this, i] { lvwMain_DblClick(i); });
        connect(&list, &platform::ListView::KeyPress, this, [this, i](int& KeyAscii) { lvwMain_KeyPress(i, KeyAscii); });
    }

    Create_Status_Bar();
    Connect_Menus();
    connect(cboUsers, &QComboBox::activated, this, [this](int) { cboUsers_Click(); });
    platform::Install_Click(m_ui->lblDVMode, [this] { lblDVMode_Click(); });
    platform::Install_Click(m_ui->picDVMode, [this] { picDVMode_Click(); });
    platform::Install_Click(m_ui->lblInternetMode, [this] { lblInternetMode_Click(); });
    platform::Install_Click(m_ui->lblDescHeader, [this] { lblDescHeader_Click(); });

    tmrMain = new QTimer(this);
    tmrMain->setObjectName(QStringLiteral("tmrMain"));
    tmrMain->setInterval(2000);
    connect(tmrMain, &QTimer::timeout, this, &frmMain::tmrMain_Timer);

    Form_Load();
    tmrMain->start();
    setMinimumSize(sizeHint());
}

frmMain::~frmMain() = default;

void frmMain::Create_Status_Bar() {
    QStatusBar* sbrMain = m_ui->sbrMain;
    const auto make_panel = [&](const QString& strKey, const QString& strText, int intStretch) {
        auto* pPanel = new QLabel(strText, sbrMain);
        pPanel->setObjectName(strKey);
        pPanel->setToolTip(strText);
        pPanel->setFrameShape(QFrame::StyledPanel);
        pPanel->setFrameShadow(QFrame::Sunken);
        pPanel->setContentsMargins(4, 0, 4, 0);
        sbrMain->addPermanentWidget(pPanel, intStretch);
        platform::Install_Click(pPanel, [this, strKey] { sbrMain_PanelClick(strKey); });
        return pPanel;
    };
    m_pnlVersion = make_panel(QStringLiteral("Version"), QStringLiteral("Version: 1.1 Build: 100"), 1);
    m_pnlWorkingMode = make_panel(QStringLiteral("WorkingMode"), QStringLiteral("Working Mode:"), 1);
    m_pnlHomeSite = make_panel(QStringLiteral("HomeSite"), QUrl(Maker_Links::HOME_PAGE).host(), 1);
    sbrMain->setSizeGripEnabled(false);
}

long frmMain::Selected_User_ID() const { return modDB::To_Long(platform::Get_Tag(cboUsers)); }

bool frmMain::Has_Owner() const { return !platform::Get_Tag(cboUsers).isEmpty(); }

Policy_Owner frmMain::Owner() const {
    if (!Has_Owner()) throw Run_Time_Error(Err_No::Invalid_Procedure_Call, NO_OWNER_TEXT);
    Policy_Owner owner;
    owner.lngComputerID = m_lngComputerID;
    owner.lngUserID = Selected_User_ID();
    return owner;
}

QString frmMain::Owner_Name() const { return cboUsers->currentText(); }

Copied_Settings frmMain::Open_Copy_Settings(const QString& strFeature) {
    Copied_Settings copied = frmCopySettings::Show_This_Form(*this, strFeature);
    // The copy may have written the chosen user's internet mode, or part of it before a
    // failure: once the dialog has closed, the label shows the mode as stored.
    if (Has_Owner()) Get_Internet_Mode();
    return copied;
}

void frmMain::Show_Stored_Users() { Fill_Users_In_ComboBox(); }

// ---------------------------------------------------------------- loading

void frmMain::Form_Load() {
    Error_Block([&] {
        modDBFunctions::Get_Program_Mode(m_lngDVMode);
        Set_Tool_Tips();
        Set_Internet_Mode_Picture();
        Set_Hand_Cursors();
        Fill_Features_In_Listviews();
        Fill_Users_In_ComboBox();
        Get_Working_Mode();
        Get_Internet_Mode();
        Set_Control_Colors();
        Show_Version_In_StatusBar();
    });
}

void frmMain::Set_Tool_Tips() {
    cboUsers->setToolTip(QStringLiteral("Select a user and change settings"));
    m_ui->picDVMode->setToolTip(QStringLiteral("Switch to All Users or Single User Mode"));
    m_ui->lblInternetMode->setToolTip(QStringLiteral("Turn Internet On/Off/Scheduler"));
}

void frmMain::Set_Internet_Mode_Picture() {
    Error_Block([&] { m_ui->picInternetMode->setPixmap(List_Picture(ilsExtraLarge, QStringLiteral("User"))); });
}

void frmMain::Set_Hand_Cursors() {
    Error_Block([&] {
        const QCursor hand = Console_Images::Hand_Cursor(ilsSmall);
        for (QWidget* pControl : std::initializer_list<QWidget*>{m_ui->picDVMode, m_ui->lblInternetMode, m_ui->lblDVMode,
                                                                 m_ui->lblDescHeader})
            pControl->setCursor(hand);
    });
}

void frmMain::Fill_Features_In_Listviews() {
    for (const Feature_Item& item : FEATURE_ITEMS) {
        platform::ListView& list = *lvwMain[static_cast<size_t>(item.intList)];
        const QString strKey = QString::fromLatin1(item.strKey);
        const long lngIndex = list.Add(QString::fromLatin1(item.strCaption), strKey, strKey);
        list.Set_Tag(lngIndex, QString::number(item.lngTag));
    }
}

void frmMain::Set_Control_Colors() {
    for (QWidget* pControl : std::initializer_list<QWidget*>{m_ui->picSideBar, m_ui->fraDVMode, m_ui->fraSelectUser,
                                                             m_ui->fraDescription, m_ui->picDVMode, m_ui->picInternetMode})
        Set_Back_Color(pControl, Qt::white);
    for (QWidget* pLine : std::initializer_list<QWidget*>{m_ui->lineSeparator_0, m_ui->lineSeparator_1, m_ui->lineSeparator_2})
        Set_Fore_Color(pLine, QColor(0, 0, 255));
    const QColor highlight = palette().color(QPalette::Highlight);
    Set_Fore_Color(m_ui->lblDVMode, highlight);
    Set_Fore_Color(m_ui->lblInternetMode, highlight);
}

QString frmMain::Version_Caption(long lngMajor, long lngMinor, long lngRevision) {
    return QStringLiteral("Version: %1.%2 Revision: %3").arg(lngMajor).arg(lngMinor).arg(lngRevision);
}

void frmMain::Show_Version_In_StatusBar() {
    m_pnlVersion->setText(Version_Caption(DV_VERSION_MAJOR, DV_VERSION_MINOR, DV_VERSION_REVISION));
}

// ---------------------------------------------------------------- users and modes

void frmMain::Set_Users_ListIndex(int lngIndex) {
    if (lngIndex < 0 || lngIndex >= cboUsers->count()) throw Run_Time_Error(380, QStringLiteral("Invalid property value"));
    {
        const QSignalBlocker blocker(cboUsers);
        cboUsers->setCurrentIndex(lngIndex);
    }
    cboUsers_Click();
}

void frmMain::Fill_Users_In_ComboBox() {
    Error_Block([&] {
        // The previously selected user's name; a refill does not use it to choose.
        QString strPreviousName;
        const QString strTag = platform::Get_Tag(cboUsers);
        if (!strTag.isEmpty()) modDBFunctions::Get_User_Name(modDB::To_Long(strTag), strPreviousName);

        {
            const QSignalBlocker blocker(cboUsers);
            cboUsers->clear();
            // No owner until an entry is selected again: the previous user's id must not
            // stay in force while the list shows no entry (a failed read leaves it empty).
            Clear_Owner();
            long lngRows = 0;
            modDB::Query_Result arrResult;
            if (modCommonFuns::Get_All_Users(lngRows, arrResult)) {
                for (long r = 1; r <= lngRows; ++r)
                    cboUsers->addItem(arrResult.Value(r, 0), QVariant::fromValue<qlonglong>(arrResult.Long_Value(r, 1)));
            }
        }
        const int lngIndex = modCommonFuns::Find_ComboBox_Item(*cboUsers, modCommonFuns::Get_Logged_On_User_Name());
        Set_Users_ListIndex(m_lngDVMode != 0 ? lngIndex : 0);
    });
}

void frmMain::cboUsers_Click() {
    Error_Block([&] {
        // The chosen entry's own row, by the USER_ID the entry carries: never a lookup
        // by the name it shows, which may differ from another user's only in letter case
        // or not be readable as stored.
        bool blnIsID = false;
        const qlonglong lngUserID = cboUsers->currentData().toLongLong(&blnIsID);
        if (cboUsers->currentIndex() < 0 || !blnIsID) {
            Clear_Owner();
            return;
        }
        platform::Set_Tag(cboUsers, QString::number(lngUserID));
        Get_Internet_Mode();
    });
}

void frmMain::Clear_Owner() {
    platform::Set_Tag(cboUsers, QString());
    // Nobody's internet mode is shown while nobody is chosen.
    m_ui->lblInternetMode->setText(QStringLiteral("Internet Mode"));
}

void frmMain::Get_Working_Mode() {
    Error_Block([&] {
        modDBFunctions::Get_Program_Mode(m_lngDVMode);
        if (m_lngDVMode == 1) {
            m_ui->picDVMode->setPixmap(List_Picture(ilsExtraLarge, QStringLiteral("SingleUserMode")));
            m_ui->lblDVMode->setText(QStringLiteral("Single User Mode"));
            m_pnlWorkingMode->setText(QStringLiteral("Mode: Single User Mode"));
        } else if (m_lngDVMode == 0) {
            m_ui->picDVMode->setPixmap(List_Picture(ilsExtraLarge, QStringLiteral("AllUserMode")));
            m_ui->lblDVMode->setText(QStringLiteral("All User Mode"));
            m_pnlWorkingMode->setText(QStringLiteral("Mode: All User Mode"));
        }
        if (m_lngDVMode != 0) {
            cboUsers->setEnabled(true);
        } else {
            cboUsers->setEnabled(false);
            Set_Users_ListIndex(0);
        }
    });
}

void frmMain::Get_Internet_Mode() {
    Error_Block([&] {
        const long lngUserID = modDB::To_Long(platform::Get_Tag(cboUsers));
        long lngOnOff = 0;
        if (modDBFunctions::Get_Internet_On_Off(m_lngComputerID, lngUserID, lngOnOff)) {
            if (lngOnOff == 0) m_ui->lblInternetMode->setText(QStringLiteral("Internet OFF"));
            else if (lngOnOff == 1) m_ui->lblInternetMode->setText(QStringLiteral("Internet ON"));
        }
        long lngSchFor = 0;
        if (modDBFunctions::Get_Schedule_For(m_lngComputerID, lngUserID, lngSchFor) && lngSchFor > 1)
            m_ui->lblInternetMode->setText(QStringLiteral("Internet Scheduler ON"));
    });
}

// ---------------------------------------------------------------- feature lists

QString frmMain::Feature_Description(int Index, long lngTag) {
    for (const Feature_Text& text : FEATURE_DESCRIPTIONS)
        if (text.intList == Index && text.lngTag == lngTag) return QString::fromLatin1(text.strText);
    return QString();
}

void frmMain::lvwMain_ItemClick(int Index, long lngItem) {
    Error_Block([&] {
        const platform::ListView& list = *lvwMain[static_cast<size_t>(Index)];
        m_ui->lblDescription->setText(Feature_Description(Index, modDB::To_Long(list.Tag(lngItem))));
    });
}

void frmMain::lvwMain_DblClick(int Index) {
    Error_Block([&] {
        const platform::ListView& list = *lvwMain[static_cast<size_t>(Index)];
        const long lngItem = list.Selected_Item();
        if (lngItem == 0) return;
        Open_Feature(Index, modDB::To_Long(list.Tag(lngItem)));
    });
}

void frmMain::lvwMain_KeyPress(int Index, int& KeyAscii) {
    if (KeyAscii == 13) {
        lvwMain_DblClick(Index);
        KeyAscii = 0;
    }
}

void frmMain::Open_Feature(int Index, long lngTag) {
    for (const Feature_Menu& entry : FEATURE_MENUS) {
        if (entry.intList == Index && entry.lngTag == lngTag) {
            // The item's handler runs also for the items of the switched-off menus.
            emit (m_ui.get()->*entry.pItem)->triggered(false);
            return;
        }
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        for (platform::ListView* pList : lvwMain) {
            QWidget* pViewport = pList->Item_View()->viewport();
            if (watched != pViewport) continue;
            const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (pList->Item_View()->indexAt(pos).isValid()) pViewport->setCursor(Console_Images::Hand_Cursor(ilsSmall));
            else pViewport->unsetCursor();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::lblDVMode_Click() { mnuGeneralOptions_Click(); }
void frmMain::picDVMode_Click() { mnuGeneralOptions_Click(); }
void frmMain::lblInternetMode_Click() { mnuInternetScheduler_Click(); }
void frmMain::lblDescHeader_Click() { Maker_Links::Open_Home_Page(); }

// ---------------------------------------------------------------- closing

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload() {
    Error_Block([&] { modProgram::Close_Application_Log(); });
}
