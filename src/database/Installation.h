#pragma once
// The installation step: creates a settings database with its schema and first rows.

#include <QString>

namespace Installation {

// The schema and first rows, as one SQL text.
const char* Schema_Sql();

// Creates strPath with the schema and first rows when it does not exist yet; an
// existing file is left alone. The file is built under a temporary name and renamed
// into place, so a failure never leaves a half-made database. The file is readable
// and writable by its owner only (mode 0600): it holds the console password. False
// with the reason in strError on failure.
bool Create_Settings_Database(const QString& strPath, QString& strError);

}  // namespace Installation
