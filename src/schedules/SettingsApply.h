#pragma once
// What a settings dialog's Apply leaves on screen once its write has run.
//
// Layer: schedules; the settings dialogs here and General Options use it.

#include "database/modDB.h"

class QWidget;

namespace schedules {

// True when the write changed the owner's row: Apply goes off, and the caller takes the
// values as stored and says so. A write the database refused (reported with its text)
// keeps what the administrator typed or chose on screen with Apply on, so that a second
// Apply stores it once the fault is gone. A row that is not stored any more (reported)
// leaves nothing to retry: Apply goes off.
bool Apply_Stored(const modDB::Row_Write& written, QWidget& cmdApply);

}  // namespace schedules
