#pragma once
// The maker's addresses that the console's links open.

#include <QString>

namespace Maker_Links {

inline const QString HOME_PAGE = QStringLiteral("http://www.dravinole.invalid");
inline const QString SUPPORT_MAIL = QStringLiteral("support@dravinole.invalid");
inline const QString SALES_MAIL = QStringLiteral("sales@dravinole.invalid");

// Show commands of the shell call.
constexpr long SW_SHOWNORMAL = 1;
constexpr long SW_SHOWMAXIMIZED = 3;

// Opens an address with the given verb ("open", or "" for the default verb), no
// parameters and no working folder. The result is not tested by any caller.
void Open_Link(const QString& strVerb, const QString& strAddress, long lngShowCmd = SW_SHOWMAXIMIZED);
// The maker's home page, "open", maximized.
void Open_Home_Page();

}  // namespace Maker_Links
