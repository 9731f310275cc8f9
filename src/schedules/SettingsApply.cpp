#include "schedules/SettingsApply.h"

#include <QWidget>

namespace schedules {

bool Apply_Stored(const modDB::Row_Write& written, QWidget& cmdApply) {
    if (written) {
        cmdApply.setEnabled(false);
        return true;
    }
    cmdApply.setEnabled(!written.Not_Stored());
    return false;
}

}  // namespace schedules
