#pragma once
// Cutting texts without splitting a character: a character outside the basic plane
// is a surrogate pair of two UTF-16 units, and no cut may keep one half of it.

#include <QString>

namespace platform {

// The first lngLength characters of strText, one fewer when the cut would split a
// surrogate pair: every cut of a text to a length goes through here, so no half
// character is ever kept.
QString Cut_Text(const QString& strText, qsizetype lngLength);
// strText without its unpaired surrogates (halves of characters).
QString Without_Half_Characters(const QString& strText);

}  // namespace platform
