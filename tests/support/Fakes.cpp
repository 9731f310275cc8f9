#include "support/Fakes.h"

#include <QWidget>

namespace test {

int Fake_Message_Box::Show(const QString& strText, long lngStyle, const QString& strTitle) {
    shown.push_back({strText, lngStyle, strTitle});
    if (!answers.empty()) {
        const int intAnswer = answers.front();
        answers.pop_front();
        return intAnswer;
    }
    return (lngStyle & 7) == platform::vbYesNo ? platform::vbNo : platform::vbOK;
}

std::vector<Shown_Box> Fake_Message_Box::Take() {
    std::vector<Shown_Box> out;
    out.swap(shown);
    return out;
}

bool Fake_File_Dialog::Next(platform::Common_Dialog& dlg) {
    if (choices.empty()) {
        ++unexpected;
        return false;
    }
    std::optional<QString> choice = choices.front();
    choices.pop_front();
    if (!choice) return false;
    dlg.FileName = *choice;
    return true;
}

bool Fake_File_Dialog::Show_Open(platform::Common_Dialog& dlg, QWidget*) {
    opened.push_back(dlg);
    return Next(dlg);
}

bool Fake_File_Dialog::Show_Save(platform::Common_Dialog& dlg, QWidget*) {
    saved.push_back(dlg);
    return Next(dlg);
}

int Fake_Forms::Show_Modal(QWidget& form, QWidget* pOwner) {
    shown.push_back(form.objectName());
    owners.push_back(pOwner);
    if (onShow) onShow(form);
    return 0;
}

}  // namespace test
