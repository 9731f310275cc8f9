#pragma once
// The console's own pictures, kept as resources: image lists by key, the pictures of
// the login and about boxes, and the hand pointer of clickable labels and pictures.

#include "platform/ListView.h"

#include <QCursor>
#include <QPixmap>
#include <QStringList>

namespace Console_Images {

// Registers the console's resources (they live in a static library); safe to call often.
void Init_Resources();

// An image list holding the icon of each key (":/console/icons/<key>.png").
platform::Image_List Load_Image_List(const QStringList& keys);
// One picture by name, at its own size; a null pixmap when there is none.
QPixmap Picture(const QString& strName);
// The pointer made from the "Hand" icon of an image list, its hot spot at the fingertip.
QCursor Hand_Cursor(const platform::Image_List& images);

}  // namespace Console_Images
