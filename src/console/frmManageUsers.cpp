#include "console/frmManageUsers.h"
#include "ui_frmManageUsers.h"

#include "console/frmMain.h"
#include "database/modDB.h"
#include "database/modDBFunctions.h"
#include "platform/Controls.h"
#include "services/ConsoleImages.h"
#include "services/ErrorHandler.h"
#include "services/ListHelpers.h"
#include "services/ListTextFile.h"
#include "services/MakerLinks.h"
#include "services/modCommonFuns.h"
#include "services/modGlobal.h"
#include "services/modProgram.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QSet>
#include <QUrl>
#include <memory>

namespace {

const QString TITLE = QStringLiteral("DravinoleTS");
const QString TEXT_FILTER = QStringLiteral("Text Files|*.txt|All Files|*.*");
const QString USER_ICON = QStringLiteral("User");
constexpr int USERS_THRESHOLD = 20;
// Users an import commits at a time.
constexpr long USERS_BATCH = 1000;

int Ask(const QString& strText, long lngStyle) { return platform::Message_Boxes().Show(strText, lngStyle, TITLE); }

}  // namespace

// ---------------------------------------------------------------- a list of user names

User_Name_List::User_Name_List(platform::ListView& list, int lngThreshold, Reader fnRead)
    : m_list(list), m_allowance(list, 1, lngThreshold - 1), m_fnRead(std::move(fnRead)) {}

void User_Name_List::Fill(const modDB::Query_Result& arrResult, long lngRows) {
    std::vector<platform::List_Item> items(static_cast<size_t>(lngRows));
    for (long r = 1; r <= lngRows; ++r) {
        platform::List_Item& item = items[static_cast<size_t>(r - 1)];
        item.strText = arrResult.Value(static_cast<int>(r), 0);
        item.strTag = QString::number(arrResult.Long_Value(static_cast<int>(r), 1));
        item.strSmallIcon = USER_ICON;
    }
    m_list.Add_Many(std::move(items));
    m_allowance.Update();
}

void User_Name_List::Refill(const modDB::Query_Result& arrResult, long lngRows) {
    m_list.Clear();
    Fill(arrResult, lngRows);
}

void User_Name_List::Show_Stored() {
    long lngRows = 0;
    modDB::Query_Result arrResult;
    if (!m_fnRead(lngRows, arrResult)) return;  // reported; the list stays as it was
    lists::Show_Stored_Rows(m_list, &m_allowance, [&] {
        Fill(arrResult, lngRows);
        return true;
    });
}

void User_Name_List::Append(const QString& strName, long lngID) {
    const long lngIndex = m_list.Add(strName, QString(), USER_ICON);
    m_list.Set_Tag(lngIndex, QString::number(lngID));
    m_allowance.Update();
}

void User_Name_List::Edit() {
    const long lngSelected = m_list.Selected_Item();
    if (lngSelected == 0) return;
    m_list.setFocus();
    m_list.Start_Label_Edit(lngSelected);
}

void User_Name_List::After_Label_Edit(int& Cancel, QString& NewString, Renamer fnRename) {
    const bool blnDone = Error_Block([&] {
        const long lngIndex = m_list.Selected_Item();
        if (lngIndex == 0) {
            Cancel = 1;
            return;
        }
        NewString = NewString.trimmed();
        if (!modCommonFuns::Is_Valid_Text_255(NewString)) {
            Cancel = 1;
            return;
        }
        if (NewString == m_list.Text(lngIndex)) {
            Cancel = 1;
            return;
        }
        // Every item is searched, the edited one included: a change of letter case
        // alone is refused as well.
        if (modCommonFuns::ListView_Contains_Text(NewString, m_list)) {
            Ask(QStringLiteral("User name already exists!"), 48);
            Cancel = 1;
            return;
        }
        // A name the database refused is not shown as if it were stored; a row that is
        // gone leaves the list. A name another program stored since the list was read is
        // refused as the Add refuses a listed one, and the list then shows it.
        bool blnTwinStored = false;
        const modDB::Row_Write written = fnRename(NewString, modDB::To_Long(m_list.Tag(lngIndex)), blnTwinStored);
        if (written) return;
        Cancel = 1;
        if (blnTwinStored) Ask(QStringLiteral("User Name already exists!"), 48);
        if (written.Not_Stored() || blnTwinStored) Show_Stored();
    });
    if (!blnDone) Cancel = 1;
}

void User_Name_List::Remove(const std::function<modDB::Row_Write(long)>& fnDelete) {
    std::vector<long> removed;
    bool blnNotStored = false;
    Error_Block([&] {
        if (m_list.Count() == 0) return;
        if (Ask(QStringLiteral("Are you sure you want to delete the selected User(s)?"), 68) != platform::vbYes) return;
        const std::vector<long> selected = m_list.Selected_Items();
        for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
            const long lngIndex = *it;
            const long lngID = modDB::To_Long(m_list.Tag(lngIndex));
            if (lngID == 0) {
                Ask("You cannot delete User Name '" + m_list.Text(lngIndex) + "'!", 48);
                continue;
            }
            // The first refused delete ends the removal: it was reported once, and the
            // items not reached yet stay listed and stored.
            const modDB::Row_Write deleted = fnDelete(lngID);
            if (!deleted) {
                blnNotStored = deleted.Not_Stored();
                break;
            }
            removed.push_back(lngIndex);
        }
    });
    // What was listed is not what is stored: the list shows the table again.
    if (blnNotStored) {
        Show_Stored();
        return;
    }
    // The deleted rows leave the list in one pass, also after an error part-way.
    m_list.Remove_Items(removed);
    m_allowance.Update();
}

// ---------------------------------------------------------------- the dialog

frmManageUsers::frmManageUsers(frmMain& console, QWidget* parent)
    : Dv_Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::frmManageUsers>()), m_frmMain(console) {
    ui->setupUi(this);
    ilsSmall = Console_Images::Load_Image_List({USER_ICON});
    // The import and export pictures are those of the list editors.
    ilsSmall.insert(QStringLiteral("Import"), lists::frmListEditorBase::Images().value(QStringLiteral("Import")));
    ilsSmall.insert(QStringLiteral("Export"), lists::frmListEditorBase::Images().value(QStringLiteral("Export")));
    ui->lblHomeSite->setText(QUrl(Maker_Links::HOME_PAGE).host());

    platform::ListView& list = *ui->lvwUsers;
    list.Set_View(platform::ListView::lvwReport);
    list.Set_Multi_Select(true);
    list.Set_Image_List(&ilsSmall);

    connect(ui->cmdAdd, &QPushButton::clicked, this, &frmManageUsers::cmdAdd_Click);
    platform::Install_KeyPress(ui->txtUsers, [this](int& KeyAscii) { txtUsers_KeyPress(KeyAscii); });
    connect(ui->cmdEdit, &QPushButton::clicked, this, &frmManageUsers::cmdEdit_Click);
    connect(&list, &platform::ListView::BeforeLabelEdit, this,
            [this](long, int& Cancel) { lvwUsers_BeforeLabelEdit(Cancel); });
    connect(&list, &platform::ListView::AfterLabelEdit, this,
            [this](long, int& Cancel, QString& NewString) { lvwUsers_AfterLabelEdit(Cancel, NewString); });
    connect(ui->cmdRemove, &QPushButton::clicked, this, &frmManageUsers::cmdRemove_Click);
    connect(ui->cmdImport, &QPushButton::clicked, this, &frmManageUsers::cmdImport_Click);
    connect(ui->cmdExport, &QPushButton::clicked, this, &frmManageUsers::cmdExport_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmManageUsers::cmdClose_Click);

    resize(430, 440);
    Form_Load();
}

frmManageUsers::~frmManageUsers() {
    // The list may still paint while the dialog goes; its icons are members.
    ui->lvwUsers->Set_Image_List(nullptr);
}

void frmManageUsers::Form_Load() {
    Error_Block([&] {
        m_lngThreshold = USERS_THRESHOLD;
        m_users = std::make_unique<User_Name_List>(*ui->lvwUsers, m_lngThreshold, modDBFunctions::Get_All_Users);
        Init_Users_List();
        Fill_Users_List();
        Set_Controls_State();
        Set_Button_Pictures();
    });
}

void frmManageUsers::Init_Users_List() {
    setWindowTitle(QStringLiteral("Manage Terminal Server Users"));
    // Lay the hidden dialog out now, so that the list has the width it will show.
    layout()->activate();
    ui->frameManageUsers->layout()->activate();
    platform::ListView& list = *ui->lvwUsers;
    list.Add_Column(QStringLiteral("User Name"), 0);
    m_users->Set_Base_Width(lists::List_Inner_Width_Twips(list) - 20);
}

void frmManageUsers::Fill_Users_List() {
    Error_Block([&] {
        long lngRows = 0;
        modDB::Query_Result arrResult;
        if (!modDBFunctions::Get_All_Users(lngRows, arrResult)) return;
        m_users->Fill(arrResult, lngRows);
    });
}

void frmManageUsers::Set_Controls_State() {
    ui->cmdRemove->setEnabled(!modGlobal::Is_Remote_Mode);
    ui->cmdEdit->setEnabled(!modGlobal::Is_Remote_Mode);
}

void frmManageUsers::Set_Button_Pictures() {
    ui->cmdImport->setIcon(ilsSmall.value(QStringLiteral("Import")));
    ui->cmdExport->setIcon(ilsSmall.value(QStringLiteral("Export")));
}

// ---------------------------------------------------------------- add

frmManageUsers::Add_Result frmManageUsers::Add_User(const QString& strUserName) {
    // The list holds every user: a name listed in any letter case is there already.
    if (modCommonFuns::ListView_Contains_Text(strUserName, *ui->lvwUsers)) return ADD_LISTED;
    if (!modCommonFuns::Is_Valid_Text_255(strUserName)) return ADD_INVALID;
    long lngUserID = 0;
    if (!modDBFunctions::Add_User(strUserName, lngUserID)) return ADD_FAILED;
    m_users->Append(strUserName, lngUserID);
    return ADD_DONE;
}

void frmManageUsers::cmdAdd_Click() {
    Error_Block([&] {
        switch (Add_User(ui->txtUsers->text())) {
            case ADD_DONE: ui->txtUsers->setText(QString()); break;
            case ADD_INVALID: Ask(QStringLiteral("Please enter a valid User Name!"), 48); break;
            case ADD_LISTED: Ask(QStringLiteral("User Name already exists!"), 48); break;
            case ADD_FAILED: break;
        }
        // A refused name stays selected for correction.
        ui->txtUsers->setFocus();
        ui->txtUsers->selectAll();
    });
}

void frmManageUsers::txtUsers_KeyPress(int& KeyAscii) {
    if (KeyAscii == 13) {
        cmdAdd_Click();
        KeyAscii = 0;
    }
}

// ---------------------------------------------------------------- rename

void frmManageUsers::cmdEdit_Click() { m_users->Edit(); }

void frmManageUsers::lvwUsers_BeforeLabelEdit(int& Cancel) {
    // The all-users row keeps its name.
    const platform::ListView& list = *ui->lvwUsers;
    const long lngSelected = list.Selected_Item();
    if (lngSelected != 0 && list.Tag(lngSelected) == QLatin1String("0")) Cancel = 1;
}

void frmManageUsers::lvwUsers_AfterLabelEdit(int& Cancel, QString& NewString) {
    m_users->After_Label_Edit(Cancel, NewString, modDBFunctions::Rename_User);
}

// ---------------------------------------------------------------- remove

void frmManageUsers::cmdRemove_Click() {
    // Only the user's own row goes; rows of other tables that carry its id stay.
    m_users->Remove(modDBFunctions::Delete_User);
}

// ---------------------------------------------------------------- import and export

void frmManageUsers::cmdImport_Click() {
    long lngSkipped = 0;
    Error_Block([&] {
        cmdlgMain.DialogTitle = QStringLiteral("Import user names from a text file");
        cmdlgMain.Filter = TEXT_FILTER;
        if (!platform::File_Dialogs().Show_Open(cmdlgMain, this) || cmdlgMain.FileName.isEmpty()) return;
        // The file is read whole before anything is written.
        QStringList fields;
        if (!Read_Import_File(cmdlgMain.FileName, fields, lngSkipped)) return;
        QStringList names;
        names.reserve(fields.size());
        for (const QString& strField : fields) names << strField.trimmed().toUpper();
        Import_Users(names);
    });
    Report_Skipped_Fields(lngSkipped);
}

namespace {

// Writes the names once more in a transaction of their own, after a failure that took
// their batch with it (SQLite rolled the transaction back itself). That failure was
// reported already, so this reports nothing of its own; it gives how many of the names
// are stored now: all of them, or none when this write fails as well.
long Write_Again(const modDB::Db_Connection& hDb, modDBFunctions::Stored_Text_Statement& insert,
                 const QStringList& names) {
    if (names.isEmpty()) return 0;
    modDB::MY_TRANS trans(hDb, false);
    if (!trans.Began()) return 0;
    for (const QString& strName : names) {
        modDB::Prepared_Statement& stmt = insert.For(strName);
        stmt.Bind(1, strName);
        if (!stmt.Execute()) {
            trans.Rollback();
            return 0;
        }
    }
    return trans.Commit() ? static_cast<long>(names.size()) : 0;
}

}  // namespace

void frmManageUsers::Import_Users(const QStringList& names) {
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    if (!hDb) return;  // reported by the opening
    // One insert, prepared once; its failure is reported below, once, with the name and
    // the count stored before it. As Add_User, a name stored in any form is not stored again.
    modDBFunctions::Stored_Text_Statement insert(
        hDb, modDBFunctions::Insert_Unless_Stored_Sql(QStringLiteral("USER_TBL"), QStringLiteral("USER_NAME"), QString(), 1),
        QStringLiteral("USER_NAME"), 1);
    QString strFailure = insert.Ok() ? QString() : insert.Last().Last_Error();
    QString strFailedName;
    long lngStored = 0;
    if (insert.Ok()) {
        // Names listed already (any letter case), invalid names and names that came
        // earlier in the file are skipped silently.
        QSet<QString> added;
        // The names written in the open batch, not committed yet.
        QStringList batch;
        bool blnCommitFailed = false;
        auto trans = std::make_unique<modDB::MY_TRANS>(hDb);
        for (const QString& strName : names) {
            if (!trans->Began()) break;  // reported by the guard
            if (modCommonFuns::ListView_Contains_Text(strName, *ui->lvwUsers) || added.contains(strName.toLower()) ||
                !modCommonFuns::Is_Valid_Text_255(strName))
                continue;
            modDB::Prepared_Statement& stmt = insert.For(strName);
            stmt.Bind(1, strName);
            if (!stmt.Execute()) {
                strFailure = stmt.Last_Error();
                strFailedName = strName;
                break;
            }
            added.insert(strName.toLower());
            batch << strName;
            // The users are committed in batches: one commit per user would make a big
            // import slow, one for all would lose every user to a failure at the end.
            if (batch.size() == USERS_BATCH) {
                if (!trans->Commit()) {  // rolled back and reported by the guard
                    blnCommitFailed = true;
                    break;
                }
                lngStored += static_cast<long>(batch.size());
                batch.clear();
                trans = std::make_unique<modDB::MY_TRANS>(hDb);
            }
        }
        // What the open batch stored before the end or a failed insert is kept. When
        // SQLite rolled the transaction back itself (a full disk, a trigger raising
        // ROLLBACK), the batch is gone: it is written again, so that every user added
        // before the failure stays. A commit that failed (a lock held past the busy
        // time-out, the file moved) was rolled back and reported: the batch is not
        // stored, and not written again, which would wait out the lock a second time
        // and could store it after the box said it was not.
        if (trans->Is_Open()) {
            if (trans->Commit()) lngStored += static_cast<long>(batch.size());
        } else if (!blnCommitFailed) {
            trans->Rollback();
            lngStored += Write_Again(hDb, insert, batch);
        }
    }
    if (!strFailure.isEmpty())
        modProgram::Log().Show_Error(
            strFailedName.isEmpty() ? strFailure : lists::Import_Stopped_Message(strFailedName, strFailure, lngStored),
            true);
    // The list shows the users as stored.
    long lngRows = 0;
    modDB::Query_Result arrResult;
    if (modDBFunctions::Get_All_Users(lngRows, arrResult)) m_users->Refill(arrResult, lngRows);
}

void frmManageUsers::cmdExport_Click() {
    Error_Block([&] {
        const platform::ListView& list = *ui->lvwUsers;
        if (list.Count() == 0) {
            Ask(QStringLiteral("There is no item to export!"), 48);
            return;
        }
        cmdlgMain.DialogTitle = QStringLiteral("Export users in the list to text file");
        cmdlgMain.FileName = QStringLiteral("Users_List");
        cmdlgMain.Filter = TEXT_FILTER;
        if (!platform::File_Dialogs().Show_Save(cmdlgMain, this)) return;
        QStringList names;
        names.reserve(list.Count());
        for (long i = 1; i <= list.Count(); ++i) names << list.Text(i);
        QString strError;
        // A file that could not be written is reported rather than passed over.
        if (!Write_List_Text_File(cmdlgMain.FileName, names, strError))
            throw Run_Time_Error(75, QStringLiteral("Cannot write %1: %2").arg(cmdlgMain.FileName, strError));
    });
}

// ---------------------------------------------------------------- closing

void frmManageUsers::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QDialog::closeEvent(event);
}

void frmManageUsers::done(int r) {
    Form_Unload();
    QDialog::done(r);
}

void frmManageUsers::Form_Unload() {
    // However the dialog closes, the console shows the users as they are now.
    if (m_blnUnloaded) return;
    m_blnUnloaded = true;
    m_frmMain.Fill_Users_In_ComboBox();
}
