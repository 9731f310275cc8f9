#pragma once
// Stand-ins for the operating-system services the console uses. Each service is a
// small interface; Services() hands out the installed implementation. The real ones
// are installed at start-up (the widget ones by the GUI library); tests install doubles.
//
// Layer: platform, the lowest; its files include no other folder of ours.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

namespace platform {

// Message box style codes and answers as the console uses them.
enum Msg_Style : long {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum Msg_Answer : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// Where the program and its settings live, and who runs it.
class IEnvironment {
public:
    virtual ~IEnvironment() = default;
    // The Windows directory; the settings database lives in it. Empty when unknown.
    virtual QString Windows_Directory() = 0;
    // The executable's folder and its base name without extension.
    virtual QString Program_Folder() = 0;
    virtual QString Program_File_Name() = 0;
    // Login name of the user running the console; empty when it cannot be read.
    virtual QString Logged_On_User_Name() = 0;
    // True when a 32-bit build runs on a 64-bit system (never for the native build).
    virtual bool Is_Wow64_Process() = 0;
};

// The named single-instance lock.
class IInstanceLock {
public:
    virtual ~IInstanceLock() = default;
    // Creates (or opens) the named lock and holds it for the life of the process.
    virtual long Create_Mutex(const QString& strName) = 0;
    // True when another running copy of the program holds the lock.
    virtual bool Previous_Instance() = 0;
    // Why the lock could not be made at all (its place and the system's reason), or
    // empty when it was made or another copy holds it.
    virtual QString Failure() { return QString(); }
};

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Shows a box and returns the answer code (vbOK, vbYes, vbNo).
    virtual int Show(const QString& strText, long lngStyle, const QString& strTitle) = 0;
};

// Option flags of the open dialog.
inline constexpr long cdlOFNAllowMultiselect = 0x200;
inline constexpr long cdlOFNExplorer = 0x80000;

// The common open/save dialog: title, filter and file name, and for an open dialog
// that takes several files its flags and the longest FileName it may return.
struct Common_Dialog {
    QString DialogTitle;
    QString Filter;    // "Text Files|*.txt|All Files|*.*"
    QString FileName;  // default name in, chosen name out
    // With cdlOFNAllowMultiselect, several chosen files come back as the folder
    // and each file's name, separated by NUL characters (one file: its full path).
    long Flags = 0;
    long MaxFileSize = 0;  // 0: no limit
};

class IFileDialog {
public:
    virtual ~IFileDialog() = default;
    // False when the administrator cancels; otherwise dlg.FileName holds the choice.
    virtual bool Show_Open(Common_Dialog& dlg, QWidget* pOwner) = 0;
    virtual bool Show_Save(Common_Dialog& dlg, QWidget* pOwner) = 0;
};

class IShell {
public:
    virtual ~IShell() = default;
    // Opens a document, web page or mail link with its handler. Returns a value
    // above 32 on success, as the old shell call did.
    virtual long Shell_Execute(const QString& strVerb, const QString& strFile, const QString& strParameters,
                               const QString& strDirectory, long lngShowCmd) = 0;
    // Starts a program without a window and without waiting. False when it cannot start.
    virtual bool Start_Hidden(const QString& strProgram, const QStringList& arguments) = 0;
};

class IForms {
public:
    virtual ~IForms() = default;
    // Shows a dialog modally over its owner and returns when it closes.
    virtual int Show_Modal(QWidget& form, QWidget* pOwner) = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual QDateTime Now() = 0;
};

struct Service_Set {
    std::shared_ptr<IEnvironment> environment;
    std::shared_ptr<IInstanceLock> instanceLock;
    std::shared_ptr<IMessageBox> messageBox;
    std::shared_ptr<IFileDialog> fileDialog;
    std::shared_ptr<IShell> shell;
    std::shared_ptr<IForms> forms;
    std::shared_ptr<IClock> clock;
};

// The installed services. Every slot is filled: the core defaults serve where no
// widget service was installed (boxes print to the error stream and answer OK/No,
// file dialogs cancel, forms are not shown).
Service_Set& Services();

// Puts the core defaults back in every slot.
void Install_Core_Defaults();

inline IEnvironment& Environment() { return *Services().environment; }
inline IMessageBox& Message_Boxes() { return *Services().messageBox; }
inline IFileDialog& File_Dialogs() { return *Services().fileDialog; }
inline IShell& Shell() { return *Services().shell; }
inline IForms& Forms() { return *Services().forms; }
inline IClock& Clock() { return *Services().clock; }
inline IInstanceLock& Instance_Lock() { return *Services().instanceLock; }

// Folder used when WINDIR is not set: $XDG_DATA_HOME/DravinoleTS/Windows
// (normally ~/.local/share/DravinoleTS/Windows).
QString Default_Windows_Directory();

// Real services of the core library.
class System_Environment : public IEnvironment {
public:
    QString Windows_Directory() override;
    QString Program_Folder() override;
    QString Program_File_Name() override;
    QString Logged_On_User_Name() override;
    bool Is_Wow64_Process() override { return false; }
};

// A lock on a file named after the mutex beside the settings database (in the
// Windows directory, unless a folder is given), held for the life of the object (and
// so of the process). A lock that cannot be made (its folder missing or not
// writable) still counts as held, so that no second console runs unguarded, and
// Failure() names the folder and the reason.
class File_Instance_Lock : public IInstanceLock {
public:
    explicit File_Instance_Lock(QString strFolder = QString());
    ~File_Instance_Lock() override;
    long Create_Mutex(const QString& strName) override;
    bool Previous_Instance() override { return m_blnHeldElsewhere; }
    QString Failure() override { return m_strFailure; }

private:
    QString m_strFolder;
    int m_fd = -1;
    bool m_blnHeldElsewhere = false;
    QString m_strFailure;
};

class System_Clock : public IClock {
public:
    QDateTime Now() override { return QDateTime::currentDateTime(); }
};

// Starts programs with QProcess; opening documents needs the GUI library.
class Process_Shell : public IShell {
public:
    long Shell_Execute(const QString&, const QString&, const QString&, const QString&, long) override { return 0; }
    bool Start_Hidden(const QString& strProgram, const QStringList& arguments) override;
};

}  // namespace platform
