#include "services/ConsoleImages.h"

static void Register_Console_Resources() { Q_INIT_RESOURCE(console); }

namespace Console_Images {

void Init_Resources() {
    static const bool blnDone = (Register_Console_Resources(), true);
    (void)blnDone;
}

platform::Image_List Load_Image_List(const QStringList& keys) {
    Init_Resources();
    platform::Image_List images;
    for (const QString& strKey : keys) images.insert(strKey, QIcon(QStringLiteral(":/console/icons/%1.png").arg(strKey)));
    return images;
}

QPixmap Picture(const QString& strName) {
    Init_Resources();
    return QPixmap(QStringLiteral(":/console/icons/%1.png").arg(strName));
}

QCursor Hand_Cursor(const platform::Image_List& images) {
    const QIcon icon = images.value(QStringLiteral("Hand"));
    if (icon.isNull()) return QCursor(Qt::PointingHandCursor);
    // The fingertip of the drawn hand sits near the top, a third in from the left.
    return QCursor(icon.pixmap(32, 32), 11, 1);
}

}  // namespace Console_Images
