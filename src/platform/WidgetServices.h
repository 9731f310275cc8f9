#pragma once
// The widget implementations of the platform services, installed by the console at start-up.

#include "platform/Platform.h"

namespace platform {

class Qt_Message_Box : public IMessageBox {
public:
    int Show(const QString& strText, long lngStyle, const QString& strTitle) override;
};

class Qt_File_Dialog : public IFileDialog {
public:
    bool Show_Open(Common_Dialog& dlg, QWidget* pOwner) override;
    bool Show_Save(Common_Dialog& dlg, QWidget* pOwner) override;
};

class Qt_Shell : public Process_Shell {
public:
    long Shell_Execute(const QString& strVerb, const QString& strFile, const QString& strParameters,
                       const QString& strDirectory, long lngShowCmd) override;
};

class Qt_Forms : public IForms {
public:
    int Show_Modal(QWidget& form, QWidget* pOwner) override;
};

// Installs the four services above over the core defaults.
void Install_Widget_Services();

// "Text Files|*.txt|All Files|*.*" -> "Text Files (*.txt);;All Files (*.*)"
QString Filter_To_Qt(const QString& strFilter);

}  // namespace platform
