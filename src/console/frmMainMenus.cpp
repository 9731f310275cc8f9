// The console's menus, status bar and the network filter check.
#include "console/frmMain.h"
#include "ui_frmMain.h"

#include "Version.h"
#include "console/frmAbout.h"
#include "console/frmGeneralOptions.h"
#include "console/frmManageUsers.h"
#include "database/modDBFunctions.h"
#include "lists/frmFileFilter.h"
#include "lists/frmWebsiteFilter.h"
#include "lists/frmWindowBlocker.h"
#include "lists/frmEmailFilter.h"
#include "lists/frmEXEBlocker.h"
#include "lists/frmPortFilter.h"
#include "platform/Platform.h"
#include "reporting/frmReporting.h"
#include "schedules/frmApplicationScheduler.h"
#include "schedules/frmApplicationSettings.h"
#include "schedules/frmDeviceSettings.h"
#include "schedules/frmInternetScheduler.h"
#include "schedules/frmInternetSettings.h"
#include "services/ErrorHandler.h"
#include "services/MakerLinks.h"
#include "services/modProgram.h"
#include "services/modUpdate.h"

#include <QMenuBar>
#include <QProxyStyle>
#include <QTimer>

namespace {

const QString TITLE = QStringLiteral("DravinoleTS");
const QString PRODUCT_PAGE = QStringLiteral("/dravinole-terminal-server");
const QString CRLF = QStringLiteral("\r\n");

int Ask(const QString& strText, long lngStyle) { return platform::Message_Boxes().Show(strText, lngStyle, TITLE); }

// The menu bar's style: the platform's own, with the Alt key leading into the menus.
class Alt_Key_Menu_Style : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

template <class Form>
void frmMain::Show_Feature_Dialog() {
    Form form(*this);
    platform::Forms().Show_Modal(form, this);
}

template <class Form>
void frmMain::Show_Owner_Dialog() {
    if (!Has_Owner()) {
        Ask(NO_OWNER_TEXT, 48);
        return;
    }
    // A read that failed was reported: the dialog would only fail its reads alike.
    const modDB::Row_Write stored = modDBFunctions::Owner_Stored(m_lngComputerID, Selected_User_ID());
    if (!stored) {
        if (stored.Not_Stored()) Show_Stored_Users();
        return;
    }
    Show_Feature_Dialog<Form>();
}

void frmMain::Connect_Menus() {
    const auto on = [this](QAction* pItem, void (frmMain::*handler)()) {
        connect(pItem, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    Ui::frmMain& ui = *m_ui;
    on(ui.mnuRegisterFilters, &frmMain::mnuRegisterFilters_Click);
    on(ui.mnuUnRegisterFilters, &frmMain::mnuUnRegisterFilters_Click);
    on(ui.mnuUnInstall, &frmMain::mnuUnInstall_Click);
    on(ui.mnuExit, &frmMain::mnuExit_Click);
    on(ui.mnuWebsiteFilter, &frmMain::mnuWebsiteFilter_Click);
    on(ui.mnuFileFilter, &frmMain::mnuFileFilter_Click);
    on(ui.mnuEmailFilter, &frmMain::mnuEmailFilter_Click);
    on(ui.mnuPortFilter, &frmMain::mnuPortFilter_Click);
    on(ui.mnuInternetScheduler, &frmMain::mnuInternetScheduler_Click);
    on(ui.mnuInternetSettings, &frmMain::mnuInternetSettings_Click);
    on(ui.mnuEXEBlocker, &frmMain::mnuEXEBlocker_Click);
    on(ui.mnuWindowBlocker, &frmMain::mnuWindowBlocker_Click);
    on(ui.mnuApplicationScheduler, &frmMain::mnuApplicationScheduler_Click);
    on(ui.mnuApplicationSettings, &frmMain::mnuApplicationSettings_Click);
    on(ui.mnuDeviceLock, &frmMain::mnuDeviceLock_Click);
    on(ui.mnuReporting, &frmMain::mnuReporting_Click);
    on(ui.mnuGeneralOptions, &frmMain::mnuGeneralOptions_Click);
    on(ui.mnuManageUsers, &frmMain::mnuManageUsers_Click);
    on(ui.mnuCopySettings, &frmMain::mnuCopySettings_Click);
    on(ui.mnuFAQs, &frmMain::mnuFAQs_Click);
    on(ui.mnuOnline, &frmMain::mnuOnline_Click);
    on(ui.mnuSupport, &frmMain::mnuSupport_Click);
    on(ui.mnuPurchase, &frmMain::mnuPurchase_Click);
    on(ui.mnuProducts, &frmMain::mnuProducts_Click);
    on(ui.mnuCheckUpdates, &frmMain::mnuCheckUpdates_Click);
    on(ui.mnuAbout, &frmMain::mnuAbout_Click);

    // The Device and Report menus are switched off: hidden, and their items disabled
    // so that their shortcuts cannot choose them either.
    for (QMenu* pMenu : {ui.mnuDevice, ui.mnuReport}) {
        pMenu->menuAction()->setVisible(false);
        pMenu->setEnabled(false);
        for (QAction* pItem : pMenu->actions()) pItem->setEnabled(false);
    }

    // The menu bar from the keyboard: Alt pressed and released alone enters it (its
    // first menu lit, arrows and Enter choose), F10 opens its first menu.
    QMenuBar* pBar = menuBar();
    auto* pStyle = new Alt_Key_Menu_Style();
    pStyle->setParent(pBar);
    pBar->setStyle(pStyle);
    auto* pF10 = new QAction(this);
    pF10->setObjectName(QStringLiteral("mnuBarKey"));
    pF10->setShortcut(QKeySequence(Qt::Key_F10));
    pF10->setShortcutContext(Qt::WindowShortcut);
    addAction(pF10);
    connect(pF10, &QAction::triggered, this, [pBar] {
        for (QAction* pMenu : pBar->actions())
            if (pMenu->isVisible() && pMenu->isEnabled()) {
                pBar->setActiveAction(pMenu);
                return;
            }
    });
}

// ---------------------------------------------------------------- File

void frmMain::mnuRegisterFilters_Click() {
    if (Ask("This will re-register the filters." + CRLF + CRLF + "Are you sure you want to continue?", 36) ==
        platform::vbYes)
        modProgram::Install_Filters();
}

void frmMain::mnuUnRegisterFilters_Click() {
    if (Ask("This will un-register the internet filter. Your filtering will not work properly after this!" + CRLF + CRLF +
                "Are you sure you want to continue?",
            20) == platform::vbYes)
        modProgram::Uninstall_Filters();
}

void frmMain::mnuUnInstall_Click() {
    if (Ask(QStringLiteral("Are you sure you want to Uninstall the DravinoleTS?"), 68) != platform::vbYes) return;
    modProgram::Shell_Open(platform::Environment().Program_Folder() + "/unins000.exe");
    close();
}

void frmMain::mnuExit_Click() { close(); }

// ---------------------------------------------------------------- feature dialogs
// The dialogs of one user's policies open only while a user is chosen; the program's
// options, the users and the copy (which chooses its own source) open at any time.

void frmMain::mnuWebsiteFilter_Click() { Show_Owner_Dialog<frmWebsiteFilter>(); }
void frmMain::mnuFileFilter_Click() { Show_Owner_Dialog<frmFileFilter>(); }
void frmMain::mnuEmailFilter_Click() { Show_Owner_Dialog<frmEmailFilter>(); }
void frmMain::mnuPortFilter_Click() { Show_Owner_Dialog<frmPortFilter>(); }
void frmMain::mnuInternetScheduler_Click() { Show_Owner_Dialog<frmInternetScheduler>(); }
void frmMain::mnuInternetSettings_Click() { Show_Owner_Dialog<frmInternetSettings>(); }
void frmMain::mnuEXEBlocker_Click() { Show_Owner_Dialog<frmEXEBlocker>(); }
void frmMain::mnuWindowBlocker_Click() { Show_Owner_Dialog<frmWindowBlocker>(); }
void frmMain::mnuApplicationScheduler_Click() { Show_Owner_Dialog<frmApplicationScheduler>(); }
void frmMain::mnuApplicationSettings_Click() { Show_Owner_Dialog<frmApplicationSettings>(); }
void frmMain::mnuDeviceLock_Click() { Show_Owner_Dialog<frmDeviceSettings>(); }
void frmMain::mnuReporting_Click() { Show_Owner_Dialog<frmReporting>(); }
void frmMain::mnuGeneralOptions_Click() { Show_Feature_Dialog<frmGeneralOptions>(); }
void frmMain::mnuManageUsers_Click() { Show_Feature_Dialog<frmManageUsers>(); }
// The copy settings dialog shows itself, without an owner.
void frmMain::mnuCopySettings_Click() { (void)Open_Copy_Settings(QStringLiteral("Main Form")); }

// ---------------------------------------------------------------- Help

void frmMain::mnuFAQs_Click() {
    Maker_Links::Open_Link(QStringLiteral("open"),
                           Maker_Links::HOME_PAGE + PRODUCT_PAGE + "/dravinolets-faqs.html?sr=dvts");
}

void frmMain::mnuOnline_Click() { Maker_Links::Open_Link(QStringLiteral("open"), Maker_Links::HOME_PAGE + PRODUCT_PAGE); }

void frmMain::mnuSupport_Click() {
    Error_Block([&] { Maker_Links::Open_Link(QString(), "mailto:" + Maker_Links::SUPPORT_MAIL); });
}

void frmMain::mnuPurchase_Click() {
    Maker_Links::Open_Link(QString(), Maker_Links::HOME_PAGE + PRODUCT_PAGE + "/dravinolets-buynow.html?sr=dvts");
}

void frmMain::mnuProducts_Click() {
    Maker_Links::Open_Link(QString(), Maker_Links::HOME_PAGE + "/products.html?sr=dvts");
}

void frmMain::mnuCheckUpdates_Click() {
    const QString strProduct = QStringLiteral("dvts");
    const QString strVersion =
        QStringLiteral("%1.%2.%3").arg(DV_VERSION_MAJOR).arg(DV_VERSION_MINOR).arg(DV_VERSION_REVISION);
    QString strReply;
    if (!modUpdate::Get_Latest_Version(strProduct, strVersion, strReply)) {
        Ask(QStringLiteral("Unable to get update information at this time! Try again later."), 48);
        return;
    }
    // Compared as text, character by character, as the update service's answers always were.
    if (QString::compare(strReply, strVersion, Qt::CaseSensitive) > 0) {
        if (Ask("A new version (ver. " + strReply +
                    ") is available for download. Do you want to download the new version?",
                68) == platform::vbYes)
            Maker_Links::Open_Link(QStringLiteral("open"),
                                   Maker_Links::HOME_PAGE + PRODUCT_PAGE + "/dravinolets-download.html" + "?sr=" + "dvts",
                                   Maker_Links::SW_SHOWNORMAL);
    } else {
        Ask("You are running the most recent version (ver. " + strVersion + ") of DravinoleTS!", 64);
    }
}

void frmMain::mnuAbout_Click() {
    frmAbout form(this);
    platform::Forms().Show_Modal(form, this);
}

// ---------------------------------------------------------------- status bar and timer

void frmMain::sbrMain_PanelClick(const QString& strPanelKey) {
    Error_Block([&] {
        if (strPanelKey == QLatin1String("HomeSite")) Maker_Links::Open_Home_Page();
    });
}

void frmMain::tmrMain_Timer() {
    // Stopped first: a box shown by the check runs its own event loop, in which the
    // timer would otherwise fire again.
    tmrMain->stop();
    Check_Filters_Installation();
}

QString frmMain::Filter_Check_Message(modProgram::Filter_Check result, bool& blnShow) {
    using modProgram::Filter_Check;
    QString strMessage = QStringLiteral(
        "[PARAM1] filter for [PARAM2] applications not installed properly! Consider re-installing from "
        "'Files->Register All Filters' menu!");
    blnShow = false;
    const auto fill = [&](const char* strFilter, const char* strBits) {
        strMessage.replace(QLatin1String("[PARAM1]"), QLatin1String(strFilter));
        strMessage.replace(QLatin1String("[PARAM2]"), QLatin1String(strBits));
        blnShow = true;
    };
    switch (result) {
        case Filter_Check::Check_Failed: strMessage = QStringLiteral("Error while checking for installation of filters!"); break;
        case Filter_Check::Installed: strMessage = QStringLiteral("Filters are properly installed."); break;
        case Filter_Check::Library_Missing_From_Catalog: fill("Internet", "32-bit"); break;
        case Filter_Check::Library_Missing_From_64Bit_Catalog: fill("Internet", "64-bit"); break;
        case Filter_Check::Library_Missing_From_AppInit: fill("Application", "32-bit"); break;
        default:
            // Code 4, which the check does not answer, keeps its message for the
            // 64-bit application filter; any other leaves the template as it is.
            if (static_cast<long>(result) == 4) fill("Application", "64-bit");
            break;
    }
    return strMessage;
}

void frmMain::Check_Filters_Installation() {
    bool blnShow = false;
    const QString strMessage = Filter_Check_Message(m_fnCheck_Filters_Installed(), blnShow);
    if (blnShow) Ask(strMessage, 48);
    modProgram::Log().Log_Event(strMessage, LOG_INFO, true);
}
