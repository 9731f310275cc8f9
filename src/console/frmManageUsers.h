#pragma once
// The terminal server users: the rows of the users table, whose policies the console
// edits. Users are added by name, renamed in place, removed, imported from and
// exported to a list text file; every change is written at once. Closing the dialog
// makes the console reload its user list.

#include "database/modDBFunctions.h"
#include "lists/ListEditor.h"
#include "platform/Dv_Dialog.h"
#include "platform/ListView.h"
#include "platform/Platform.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCloseEvent;
class QKeyEvent;
class QLineEdit;
class frmMain;

namespace Ui {
class frmManageUsers;
}

// A list of user names with their ids in the Tags, edited in place and removed by id:
// the users list and the user exception list. The column is 250 twips narrower while
// the list holds lngThreshold items or more.
class User_Name_List {
public:
    // Reads the stored rows as Fill takes them (the users, the user exceptions).
    using Reader = std::function<bool(long& lngRows, modDB::Query_Result& arrResult)>;
    User_Name_List(platform::ListView& list, int lngThreshold, Reader fnRead);

    // Sets the column's full width (twips).
    void Set_Base_Width(double dblTwips) { m_allowance.Set_Base_Width(dblTwips); }
    // Appends rows 1..lngRows of a result (column 0 the name, column 1 the id) in one go.
    void Fill(const modDB::Query_Result& arrResult, long lngRows);
    // Lists exactly these rows, in place of what was listed.
    void Refill(const modDB::Query_Result& arrResult, long lngRows);
    // Appends one name with its id.
    void Append(const QString& strName, long lngID);
    // Starts editing the selected item in place; nothing when none is selected.
    void Edit();
    // The end of an in-place edit: the rules of a rename, then fnRename(new name, id,
    // twin stored), which checks the name against what is stored at the time of the write.
    // A name stored already gets the Add's box; it and a rename that found no row list
    // the rows as stored.
    using Renamer = modDB::Row_Write (*)(const QString&, long, bool&);
    void After_Label_Edit(int& Cancel, QString& NewString, Renamer fnRename);
    // Asks, then deletes the rows of the selected items by their ids, last to first, in
    // one transaction; the row with id 0 is refused. A refused delete leaves its own item
    // listed, and whether the walk goes on past it is the walk's rule (lists::Write_Walk).
    // A delete that found no row lists the rows as stored.
    void Remove(modDBFunctions::Id_Row_Deletes::Rows rows);
    bool Is_Narrow() const { return m_allowance.Is_Narrow(); }
    // Lists the rows as stored, after a write found that what was listed is not.
    void Show_Stored();

private:

    platform::ListView& m_list;
    // Narrow from the threshold on, so while the count is past threshold - 1.
    lists::Column_Allowance m_allowance;
    Reader m_fnRead;
};

class frmManageUsers : public platform::Dv_Dialog {
    Q_OBJECT
public:
    explicit frmManageUsers(frmMain& console, QWidget* parent = nullptr);
    ~frmManageUsers() override;

    // Results of Add_User.
    enum Add_Result : long { ADD_FAILED = 0, ADD_DONE = 1, ADD_INVALID = -1, ADD_LISTED = -2 };

public slots:
    void cmdAdd_Click();
    void txtUsers_KeyPress(int& KeyAscii);
    void cmdEdit_Click();
    void lvwUsers_BeforeLabelEdit(int& Cancel);
    void lvwUsers_AfterLabelEdit(int& Cancel, QString& NewString);
    void cmdRemove_Click();
    void cmdImport_Click();
    void cmdExport_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int r) override;

private:
    void Form_Load();
    void Init_Users_List();
    void Fill_Users_List();
    void Set_Controls_State();
    void Set_Button_Pictures();
    void Form_Unload();
    // Adds one name to the database and the list.
    Add_Result Add_User(const QString& strUserName);
    // Adds the names of an import (already shaped) in committed batches and then lists
    // the users as stored.
    void Import_Users(const QStringList& names);

    std::unique_ptr<Ui::frmManageUsers> ui;
    frmMain& m_frmMain;
    platform::Image_List ilsSmall;
    platform::Common_Dialog cmdlgMain;
    // The list's column allowance count.
    int m_lngThreshold = 0;
    std::unique_ptr<User_Name_List> m_users;
    bool m_blnUnloaded = false;
};
