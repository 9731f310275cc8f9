#include "services/MakerLinks.h"

#include "platform/Platform.h"

namespace Maker_Links {

void Open_Link(const QString& strVerb, const QString& strAddress, long lngShowCmd) {
    platform::Shell().Shell_Execute(strVerb, strAddress, QString(), QString(), lngShowCmd);
}

void Open_Home_Page() { Open_Link(QStringLiteral("open"), HOME_PAGE, SW_SHOWMAXIMIZED); }

}  // namespace Maker_Links
