#include "platform/WidgetServices.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace platform {

int Qt_Message_Box::Show(const QString& strText, long lngStyle, const QString& strTitle) {
    QMessageBox box;
    box.setWindowTitle(strTitle);
    // Texts come from outside too (database errors, file names, replies): never markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(strText);
    switch (lngStyle & 0x70) {
        case vbCritical: box.setIcon(QMessageBox::Critical); break;
        case vbQuestion: box.setIcon(QMessageBox::Question); break;
        case vbExclamation: box.setIcon(QMessageBox::Warning); break;
        case vbInformation: box.setIcon(QMessageBox::Information); break;
        default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if ((lngStyle & 7) == vbYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? vbYes : vbNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return vbOK;
}

QString Filter_To_Qt(const QString& strFilter) {
    const QStringList parts = strFilter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << parts[i] + " (" + patterns + ")";
    }
    return out.join(";;");
}

bool Qt_File_Dialog::Show_Open(Common_Dialog& dlg, QWidget* pOwner) {
    if (dlg.Flags & cdlOFNAllowMultiselect) {
        const QStringList names = QFileDialog::getOpenFileNames(pOwner, dlg.DialogTitle, dlg.FileName, Filter_To_Qt(dlg.Filter));
        if (names.isEmpty()) return false;
        if (names.size() == 1) {
            dlg.FileName = QDir::toNativeSeparators(names[0]);
            return true;
        }
        // The folder, then each file's name in it, NUL-separated.
        QStringList parts{QDir::toNativeSeparators(QFileInfo(names[0]).absolutePath())};
        for (const QString& strName : names) parts << QFileInfo(strName).fileName();
        dlg.FileName = parts.join(QChar(u'\0'));
        return true;
    }
    const QString strName = QFileDialog::getOpenFileName(pOwner, dlg.DialogTitle, dlg.FileName, Filter_To_Qt(dlg.Filter));
    if (strName.isEmpty()) return false;
    dlg.FileName = strName;
    return true;
}

bool Qt_File_Dialog::Show_Save(Common_Dialog& dlg, QWidget* pOwner) {
    const QString strName = QFileDialog::getSaveFileName(pOwner, dlg.DialogTitle, dlg.FileName, Filter_To_Qt(dlg.Filter));
    if (strName.isEmpty()) return false;
    dlg.FileName = strName;
    return true;
}

long Qt_Shell::Shell_Execute(const QString&, const QString& strFile, const QString&, const QString&, long) {
    QUrl url = QUrl::fromUserInput(strFile);
    return QDesktopServices::openUrl(url) ? 42 : 2;
}

int Qt_Forms::Show_Modal(QWidget& form, QWidget* pOwner) {
    if (pOwner && form.parentWidget() != pOwner) form.setParent(pOwner, form.windowFlags() | Qt::Dialog);
    if (auto* dialog = qobject_cast<QDialog*>(&form)) return dialog->exec();
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    return 0;
}

void Install_Widget_Services() {
    Service_Set& s = Services();
    s.messageBox = std::make_shared<Qt_Message_Box>();
    s.fileDialog = std::make_shared<Qt_File_Dialog>();
    s.shell = std::make_shared<Qt_Shell>();
    s.forms = std::make_shared<Qt_Forms>();
}

}  // namespace platform
