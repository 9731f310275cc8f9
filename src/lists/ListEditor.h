#pragma once
// The list editor family: every per-owner filter list (website black and white lists,
// e-mail addresses, file extensions, programs, window titles) is edited the same way.
// A dialog of the family owns one clsListEditor per list, configured by a
// List_Config; its named event handlers call the editor's operations.
//
// Layer: lists, the first feature folder: uses platform, services and the database;
// the console it reaches only through the Console_Link it is handed.

#include "database/modDB.h"
#include "lists/FeatureDialog.h"
#include "platform/Dv_Dialog.h"
#include "platform/ListView.h"
#include "platform/Platform.h"
#include "services/ConsoleLink.h"
#include "services/modCommonFuns.h"

#include <QDialog>
#include <QSet>
#include <QString>
#include <functional>
#include <type_traits>
#include <vector>

class QCheckBox;
class QLineEdit;
class QProgressBar;

namespace lists {

// Opens the copy-settings dialog through the console for the calling feature's key and
// answers what the copy may have written (nothing when the dialog could not open).
Copied_Settings Open_Copy_Settings(Console_Link& console, const QString& strFeature);
// Puts another opener in the dialog's place (tests); an empty one puts the dialog back.
void Set_Copy_Settings_Opener(std::function<Copied_Settings(const QString&)> opener);
// The Copy Settings button of a feature dialog: opens the copy dialog for strFeature
// (the key ticked in advance) and, once it has closed, runs showCopied when the copy
// may have written one of the features the dialog shows (shownFeatures) onto the owner
// the console shows, so that the dialog shows what the copy stored there. A copy onto
// other users, or of other features, leaves the dialog as it was, with whatever the
// administrator has typed or chosen and not applied yet.
void Copy_Settings(Console_Link& console, const QString& strFeature, const QStringList& shownFeatures,
                   const std::function<void()>& showCopied);

// How an entry's text is put in shape before it is checked and stored.
enum class Entry_Form { As_Typed, Trimmed, Trimmed_Lower };

QString Shape_Entry(const QString& strText, Entry_Form form);

// One list: where it is stored and how its entries are checked, cut and reported.
struct List_Config {
    QString strTable;   // "FILE_TBL"
    QString strColumn;  // "FILE_EXTN"
    QString strIcon;    // small icon of every item
    int lngThreshold = 20;  // column narrowed while more items than this are listed

    Entry_Form addForm = Entry_Form::As_Typed;
    Entry_Form editForm = Entry_Form::Trimmed;
    std::function<bool(const QString&)> validator;  // empty: every text is accepted
    QString strInvalidAddMessage;
    QString strInvalidEditMessage;
    // The black list's add checks, stores and empties its entry box only on an open
    // database; with none it leaves the typed text in the box.
    bool blnChecksNeedDatabase = false;

    // Import: each field shaped, then cut to this many characters, then checked.
    Entry_Form importForm = Entry_Form::Trimmed;
    int lngImportCut = 50;
    std::function<bool(const QString&)> importValidator;  // empty: no check

    QString strRemoveQuestion;
    QString strExportTitle;
    QString strExportSuffix;  // default export name: user name & suffix
    QString strImportTitle;
    bool blnReportExportErrors = true;
};

// A duplicate test: an entry already in this list is refused with this message
// (an edit with strEditMessage when it is set).
struct Duplicate_Check {
    Duplicate_Check(const platform::ListView* pListIn, QString strMessageIn, QString strEditMessageIn = QString())
        : pList(pListIn), strMessage(std::move(strMessageIn)), strEditMessage(std::move(strEditMessageIn)) {}
    const platform::ListView* pList;
    QString strMessage;
    QString strEditMessage;  // the edit's own wording, when it differs from Add's
};

// The width (twips) inside a list view's frame: what its columns can fill without a
// horizontal scroll bar.
double List_Inner_Width_Twips(const platform::ListView& list);

// The shared column allowance: one column of a list view is 250 twips narrower
// while the list holds more than its threshold of items.
class Column_Allowance {
public:
    Column_Allowance(platform::ListView& list, int lngColumn, int lngThreshold)
        : m_list(list), m_lngColumn(lngColumn), m_lngThreshold(lngThreshold) {}
    // Sets the column's full width (twips) and applies the allowance.
    void Set_Base_Width(double dblTwips);
    // Narrows or widens the column to match the item count.
    void Update();
    bool Is_Narrow() const { return m_blnNarrow; }
    static constexpr double ALLOWANCE = 250;

private:
    platform::ListView& m_list;
    int m_lngColumn;
    int m_lngThreshold;
    bool m_blnNarrow = false;
};

// The "Enable ..." box bound to one feature bit of the owner. While the box's Tag
// is "DontSaveToDB" the program is setting it and a click writes nothing.
class Feature_Enable_Box {
public:
    Feature_Enable_Box(QCheckBox& box, Flag_Word lngBit, QString strFeatureName, std::function<Policy_Owner()> owner);
    // Ticks the box from the owner's bit, under the guard.
    void Load();
    // Ticks or unticks the box to show the owner's bit, under the guard (a box that
    // serves several lists shows the bit of the one shown).
    void Show_Stored();
    // The box's click handler: asks, then writes the bit or puts the tick back. A flag
    // word that cannot be read puts the tick back at once, after the read's one box.
    void Click();
    // Changes the tick without writing anything.
    void Set_Without_Saving(bool blnChecked);

private:
    QCheckBox& m_box;
    Flag_Word m_lngBit;
    QString m_strFeatureName;
    std::function<Policy_Owner()> m_owner;
};

class frmListEditorBase;

// The browse dialog for program files: several may be chosen.
void Set_Up_Program_Browse(platform::Common_Dialog& dlg);
// The chosen files' full paths from the dialog's FileName: one path, or the folder
// and the names of the files chosen in it, separated by NUL characters.
QStringList Chosen_Program_Paths(const QString& strFileName);
// The name under which the network filter library lists the program at this path.
QString Listed_Exe_Name(const QString& strPath);
// Writes one program name on the open connection given and lists it once written:
// true to go on with the next file, false when its write failed (and was reported).
using Program_Adder = std::function<bool(const modDB::Db_Connection&, const QString&)>;
// The browse routine of the program lists: shows the dialog and, for each chosen
// file, hands the listed name to add, on an open database with no transaction open,
// so that every write that succeeded is stored before its name is listed. The first
// failed write ends the routine; a run-time error ends it through the error report.
// Names added before either stay stored and listed.
void Browse_Programs(platform::Common_Dialog& dlg, QWidget* pOwner, const Program_Adder& add);
// The same with an adder that answers nothing: every file is handed over.
template <class Adder>
    requires std::is_void_v<std::invoke_result_t<Adder&, const modDB::Db_Connection&, const QString&>>
void Browse_Programs(platform::Common_Dialog& dlg, QWidget* pOwner, Adder&& add) {
    Browse_Programs(dlg, pOwner, Program_Adder([&add](const modDB::Db_Connection& hDb, const QString& strName) {
                        add(hDb, strName);
                        return true;
                    }));
}

// The one box of an import that a write failed part-way: the entry, the database's
// text and how many entries the import stored before it.
QString Import_Stopped_Message(const QString& strEntry, const QString& strError, long lngStored);

// The texts the deletes of a Remove matched, and once those deletes are committed the
// items that leave the list: every item showing a deleted text, selected or not. A
// delete by a shown text takes every row that shows it (the text's stored forms, and
// for a delete that ignores ASCII letter case its twins in other cases), so the list
// would otherwise still show rows the table no longer holds. The list is walked for
// them only when the deletes took more rows than the selected items they ran for.
class Deleted_Texts {
public:
    enum Match { Exact, Ignoring_Ascii_Case };
    explicit Deleted_Texts(Match match) : m_match(match) {}
    // True when a delete before took the rows of this text: it needs no delete of its own.
    bool Contains(const QString& strText) const { return m_keys.contains(Key(strText)); }
    // The delete of strText, run for the selected item lngItem, took lngRows rows.
    void Add(const QString& strText, long lngItem, long long lngRows);
    // A selected item whose text's rows a delete before took.
    void Add_Item(long lngItem) { m_items.push_back(lngItem); }
    bool Is_Empty() const { return m_keys.isEmpty(); }
    // The items (1-based, in list order) whose text, or sub-item lngValueSubItem when that
    // is 1 or more, was deleted.
    std::vector<long> Items_In(const platform::ListView& list, int lngValueSubItem = 0) const;

private:
    QString Key(const QString& strText) const;
    Match m_match;
    QSet<QString> m_keys;
    std::vector<long> m_items;  // the selected items deleted
    long long m_lngRows = 0;    // the rows their deletes took
};

// Shows what is stored again, the one way for every list after a write found it not as
// stored (a Remove or edit that found no row, a name another program stored meanwhile) or
// after a copy wrote to it: empties the list, has load list the owner's stored rows, and
// fits the column allowance (when given) to the count. Answers load's answer.
bool Show_Stored_Rows(platform::ListView& list, Column_Allowance* pAllowance, const std::function<bool()>& load);

// What a Remove deleted.
struct Removed_Rows {
    long long lngRows = 0;       // the rows its committed deletes took
    bool blnNotStored = false;   // a selected item had no row: the list was shown as stored
};

// The family's Remove over one list view: asks strQuestion (36); on Yes deletes, in
// one transaction, the owner's rows whose strColumn equals each selected item's value
// (its text, or its sub-item lngValueSubItem when that is 1 or more), and once that
// transaction has committed takes the deleted items out of the list and updates the
// column allowance. An item whose delete fails stays listed; failed deletes are
// reported in one box. A failure after which SQLite rolled the transaction back ends
// the walk, and then, as after a refused commit, every item stays listed. A delete that
// found no row (another program deleted it) shows the list as stored through
// fnShowStored, so that the item does not stay listed.
Removed_Rows Remove_Selected_Items(frmListEditorBase& dialog, platform::ListView& list, Column_Allowance& allowance,
                                   const QString& strQuestion, const QString& strColumn, const QString& strTable,
                                   int lngValueSubItem, const std::function<void()>& fnShowStored);

// One list of a dialog: load, add, edit in place, remove, import and export.
class clsListEditor {
public:
    clsListEditor(frmListEditorBase& dialog, List_Config config, QLineEdit& txtEntry, platform::ListView& lvwList,
                  platform::Common_Dialog& cmdlg);

    // The tests an added or edited entry must pass, in order.
    void Set_Duplicate_Checks(std::vector<Duplicate_Check> checks) { m_duplicates = std::move(checks); }

    void Set_Base_Width(double dblTwips) { m_allowance.Set_Base_Width(dblTwips); }
    void Update_Allowance() { m_allowance.Update(); }
    const Column_Allowance& Allowance() const { return m_allowance; }

    bool Load();
    // Empties the list and loads it again as at opening: it then lists what is stored.
    bool Reload();
    void Add();
    void Edit();
    // The handler of the list's AfterLabelEdit for the selected item.
    void After_Label_Edit(int& Cancel, QString& NewString);
    void Remove();
    // Stores the entries of a list text file in one transaction and lists the entries it
    // stored once that has committed. The first failed write ends it, with one box.
    void Import();
    void Export();
    // Lists the programs chosen in the browse dialog under their listed names; a
    // name already listed is passed over without a message.
    void Browse(platform::Common_Dialog& dlg);

    platform::ListView& List() { return m_list; }
    const List_Config& Config() const { return m_config; }

private:
    // Shows the first failing test's message; true when the entry may be stored.
    bool Check_Entry(const QString& strEntry, const QString& strInvalidMessage, bool blnEdit);
    // The message of an entry already in this list (the edit's wording when asked for it).
    QString Listed_Message(bool blnEdit) const;

    frmListEditorBase& m_dialog;
    List_Config m_config;
    QLineEdit& m_txt;
    platform::ListView& m_list;
    platform::Common_Dialog& m_cmdlg;
    Column_Allowance m_allowance;
    std::vector<Duplicate_Check> m_duplicates;
};

// What every dialog of the family shares beyond a feature dialog's own: the controls
// disabled while an import runs, Esc held meanwhile, the import progress bar, and the
// Copy Settings button.
class frmListEditorBase : public frmFeatureDialog {
    Q_OBJECT
public:
    frmListEditorBase(Console_Link& console, QWidget* parent = nullptr);

    // The icons of the family's image lists, by key.
    static const platform::Image_List& Images();

    // The Copy Settings button of the dialog (lists::Copy_Settings): what the copy wrote
    // of strFeature, or of shownFeatures when the dialog shows more than the one it
    // ticks, onto the owner is shown through Load_Stored.
    void Copy_Settings(const QString& strFeature, const QStringList& shownFeatures = {});

    // Disables (false) or enables the given controls around a long import.
    void Enable_Controls(bool blnEnable);
    // Shows one of two frames of a two-list dialog. The other goes first, so the
    // dialog never holds both at once and keeps its size.
    static void Show_One_Frame(QWidget& shown, QWidget& hidden);
    // Lays the controls out now, so list widths can be measured before the dialog shows.
    void Activate_Layouts();
    // Progress of an import (total 0 hides the bar).
    void Show_Progress(long lngDone, long lngTotal);

    // The controls an import disables, set by each dialog.
    void Set_Import_Locked_Controls(std::vector<QWidget*> controls) { m_importLocked = std::move(controls); }

protected:
    // Loads again what a copy onto the owner may have written: the lists, the enable box
    // (under its guard, so loading writes nothing), and a stored choice the
    // administrator has not changed; a choice not applied yet and an edit in progress
    // stay as they are. A dialog without a Copy Settings button has nothing to load again.
    virtual void Load_Stored() {}
    // Esc closes the dialog, except while an import holds Close disabled.
    void Form_KeyPress(int& KeyAscii) override;
    // Called once the controls exist: adds the import progress bar under the
    // dialog's layout and takes the default-button role from every button.
    void Finish_Setup();

private:
    std::vector<QWidget*> m_importLocked;
    QProgressBar* m_pProgress = nullptr;
    bool m_blnBusy = false;
};

}  // namespace lists
