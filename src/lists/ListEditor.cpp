#include "lists/ListEditor.h"

#include "database/modDBFunctions.h"
#include "lists/WriteWalk.h"
#include "platform/Controls.h"
#include "platform/TextCut.h"
#include "services/ErrorHandler.h"
#include "services/ListHelpers.h"
#include "services/ListTextFile.h"
#include "services/modCommonFuns.h"
#include "services/modFilterLibrary.h"
#include "services/modProgram.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <exception>

// Resources of a static library are registered by hand, outside any namespace.
static void Init_List_Resources() { Q_INIT_RESOURCE(lists); }

namespace lists {

using platform::Message_Boxes;

namespace {
const QString TITLE = QStringLiteral("DravinoleTS");
const QString TEXT_FILTER = QStringLiteral("Text Files|*.txt|All Files|*.*");
// An import lets the window breathe and moves its progress bar every this many entries.
constexpr long IMPORT_STEP = 500;

int Ask(const QString& strText, long lngStyle) { return Message_Boxes().Show(strText, lngStyle, TITLE); }

// A failed write reported once: the critical box with the database's text, and its log line.
void Report_Failure(const QString& strText) { modProgram::Log().Show_Error(strText, true); }
}  // namespace

QString Import_Stopped_Message(const QString& strEntry, const QString& strError, long lngStored) {
    return QStringLiteral("The import stopped at \"%1\": %2\nEntries stored before it: %3.")
        .arg(strEntry, strError)
        .arg(lngStored);
}

namespace {
std::function<Copied_Settings(const QString&)>& Copy_Settings_Opener() {
    static std::function<Copied_Settings(const QString&)> opener;
    return opener;
}
}  // namespace

void Set_Copy_Settings_Opener(std::function<Copied_Settings(const QString&)> opener) {
    Copy_Settings_Opener() = std::move(opener);
}

Copied_Settings Open_Copy_Settings(Console_Link& console, const QString& strFeature) {
    if (Copy_Settings_Opener()) return Copy_Settings_Opener()(strFeature);
    return console.Open_Copy_Settings(strFeature);
}

void Copy_Settings(Console_Link& console, const QString& strFeature, const QStringList& shownFeatures,
                   const std::function<void()>& showCopied) {
    Copied_Settings copied;
    if (!Error_Block([&] { copied = Open_Copy_Settings(console, strFeature); })) return;
    // The owner is read after the copy: it is the one the dialog shows.
    bool blnWrote = false;
    Error_Block([&] { blnWrote = copied.Wrote_Any(shownFeatures, console.Owner().lngUserID); });
    if (blnWrote && showCopied) showCopied();
}

QString Shape_Entry(const QString& strText, Entry_Form form) {
    switch (form) {
        case Entry_Form::As_Typed: return strText;
        case Entry_Form::Trimmed: return strText.trimmed();
        case Entry_Form::Trimmed_Lower: return strText.trimmed().toLower();
    }
    return strText;
}

// ---------------------------------------------------------------- column allowance

double List_Inner_Width_Twips(const platform::ListView& list) {
    // The item view fills the list widget; its viewport is sized only once the dialog
    // shows, while the list's own width and the view's frame are known before.
    return platform::Pixels_To_Twips(list.width() - 2 * list.Item_View()->frameWidth(), &list);
}

void Column_Allowance::Set_Base_Width(double dblTwips) {
    m_blnNarrow = false;
    m_list.Set_Column_Width(m_lngColumn, dblTwips);
    Update();
}

void Column_Allowance::Update() {
    const bool blnNarrow = m_list.Count() > m_lngThreshold;
    if (blnNarrow == m_blnNarrow) return;
    const double dblWidth = m_list.Column_Width(m_lngColumn);
    m_list.Set_Column_Width(m_lngColumn, blnNarrow ? dblWidth - ALLOWANCE : dblWidth + ALLOWANCE);
    m_blnNarrow = blnNarrow;
}

// ---------------------------------------------------------------- enable box

Feature_Enable_Box::Feature_Enable_Box(QCheckBox& box, Flag_Word lngBit, QString strFeatureName,
                                       std::function<Policy_Owner()> owner)
    : m_box(box), m_lngBit(lngBit), m_strFeatureName(std::move(strFeatureName)), m_owner(std::move(owner)) {}

void Feature_Enable_Box::Set_Without_Saving(bool blnChecked) {
    platform::Set_Tag(&m_box, QStringLiteral("DontSaveToDB"));
    m_box.setChecked(blnChecked);
    platform::Set_Tag(&m_box, QString());
}

void Feature_Enable_Box::Load() {
    const Policy_Owner owner = m_owner();
    if (modDBFunctions::Is_Feature_Bit_Set(owner.lngComputerID, owner.lngUserID, m_lngBit)) Set_Without_Saving(true);
}

void Feature_Enable_Box::Show_Stored() {
    const Policy_Owner owner = m_owner();
    Set_Without_Saving(modDBFunctions::Is_Feature_Bit_Set(owner.lngComputerID, owner.lngUserID, m_lngBit));
}

void Feature_Enable_Box::Click() {
    if (platform::Get_Tag(&m_box) == QLatin1String("DontSaveToDB")) return;
    Error_Block([&] {
        const bool blnTicked = m_box.isChecked();
        const Policy_Owner owner = m_owner();
        // A flag word that cannot be read (no whole number) is kept as stored and cannot
        // be switched: its read has said why in one box, and the tick goes back without
        // a question whose Yes could store nothing.
        Flag_Word lngBits = 0;
        if (!modDBFunctions::Read_Feature_Bits(owner.lngComputerID, owner.lngUserID, lngBits)) {
            Set_Without_Saving(!blnTicked);
            return;
        }
        const QString strQuestion = QStringLiteral("Are you sure you want to %1 the %2?")
                                        .arg(blnTicked ? QStringLiteral("enable") : QStringLiteral("disable"), m_strFeatureName);
        if (Ask(strQuestion, 36) != platform::vbYes) {
            Set_Without_Saving(!blnTicked);
            return;
        }
        // A write the database refused (reported there) puts the tick back.
        if (!modDBFunctions::Set_Feature_Bit(blnTicked, m_lngBit, owner.lngComputerID, owner.lngUserID))
            Set_Without_Saving(!blnTicked);
    });
}

// ---------------------------------------------------------------- one list

clsListEditor::clsListEditor(frmListEditorBase& dialog, List_Config config, QLineEdit& txtEntry,
                             platform::ListView& lvwList, platform::Common_Dialog& cmdlg)
    : m_dialog(dialog), m_config(std::move(config)), m_txt(txtEntry), m_list(lvwList), m_cmdlg(cmdlg),
      m_allowance(lvwList, 1, m_config.lngThreshold) {
    m_duplicates = {{&m_list, QString()}};
}

bool clsListEditor::Load() {
    platform::List_Batch batch(m_list, m_config.strIcon);
    const bool blnDone = Error_Block([&] {
        const Policy_Owner owner = m_dialog.Owner();
        // Each row goes into the batch as it is read; a read that failed part-way lists nothing.
        if (!modDBFunctions::For_Each_Item_For_Owner(m_config.strColumn, m_config.strTable, owner.lngComputerID,
                                                     owner.lngUserID, [&](QByteArrayView utf8) { batch.Add_Utf8(utf8); },
                                                     [&](long long lngRows) { batch.Reserve(lngRows); }))
            batch.Discard();
    });
    if (!blnDone) batch.Discard();
    batch.Append();
    return blnDone;
}

bool Show_Stored_Rows(platform::ListView& list, Column_Allowance* pAllowance, const std::function<bool()>& load) {
    list.Clear();
    const bool blnDone = load();
    if (pAllowance) pAllowance->Update();
    return blnDone;
}

bool clsListEditor::Reload() {
    return Show_Stored_Rows(m_list, &m_allowance, [&] { return Load(); });
}

QString clsListEditor::Listed_Message(bool blnEdit) const {
    for (const Duplicate_Check& check : m_duplicates)
        if (check.pList == &m_list) return blnEdit && !check.strEditMessage.isEmpty() ? check.strEditMessage : check.strMessage;
    return QString();
}

bool clsListEditor::Check_Entry(const QString& strEntry, const QString& strInvalidMessage, bool blnEdit) {
    if (m_config.validator && !m_config.validator(strEntry)) {
        Ask(strInvalidMessage, 48);
        return false;
    }
    for (const Duplicate_Check& check : m_duplicates) {
        if (modCommonFuns::ListView_Contains_Text(strEntry, *check.pList)) {
            Ask(blnEdit && !check.strEditMessage.isEmpty() ? check.strEditMessage : check.strMessage, 48);
            return false;
        }
    }
    return true;
}

void clsListEditor::Add() {
    Error_Block([&] {
        const QString strEntry = Shape_Entry(m_txt.text(), m_config.addForm);
        const Policy_Owner owner = m_dialog.Owner();
        modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
        modDB::MY_TRANS trans(hDb);
        modDB::Row_Write inserted;
        bool blnTried = false;
        // The black list checks and stores only on an open database (a failed open was
        // reported and leaves the typed text in the box); the others in any case.
        const bool blnChecked = hDb || !m_config.blnChecksNeedDatabase;
        // A write that could not begin was reported: nothing more is checked or tried.
        if (blnChecked && (!hDb || trans.Began()) && Check_Entry(strEntry, m_config.strInvalidAddMessage, false)) {
            blnTried = true;
            modDB::Query_Result arrResult;
            inserted = modDBFunctions::Insert_Item_For_Owner(hDb, arrResult, m_config.strColumn, m_config.strTable,
                                                             strEntry, owner.lngComputerID, owner.lngUserID);
        }
        if (inserted.Not_Stored()) {  // the owner is gone: nothing was stored
            trans.Commit();
            m_dialog.Owner_Gone();
            return;
        }
        // Listed only once the database holds it: a refused commit was reported by the guard.
        const bool blnStored = trans.Commit() && inserted;
        if (blnStored) {
            m_list.Add(strEntry, QString(), m_config.strIcon);
            m_allowance.Update();
        }
        // The box is emptied once its entry was checked and stored (or refused by a check);
        // an entry the database did not store (nor let a write begin for) stays typed, for
        // a retry.
        const bool blnRefused = (hDb && !trans.Began()) || (blnTried && !blnStored);
        if (blnChecked && !blnRefused) m_txt.clear();
        if (blnChecked) m_txt.setFocus();
    });
}

void clsListEditor::Edit() {
    const long lngSelected = m_list.Selected_Item();
    if (lngSelected == 0) return;
    m_list.setFocus();
    m_list.Start_Label_Edit(lngSelected);
}

void clsListEditor::After_Label_Edit(int& Cancel, QString& NewString) {
    const bool blnDone = Error_Block([&] {
        const long lngIndex = m_list.Selected_Item();
        if (lngIndex == 0) {
            Cancel = 1;
            return;
        }
        const QString strOld = m_list.Text(lngIndex);
        NewString = Shape_Entry(NewString, m_config.editForm);
        if (strOld.toLower() == NewString.toLower() || !Check_Entry(NewString, m_config.strInvalidEditMessage, true)) {
            Cancel = 1;
            return;
        }
        const Policy_Owner owner = m_dialog.Owner();
        // A change the database refused is not shown as if it were stored. The new text
        // is checked against what is stored when it is written: another program may have
        // stored it (in another form) since the list was read. That is refused as the
        // Add refuses a listed entry, and the list then shows what is stored, as after an
        // edit whose row another program deleted.
        bool blnTwinStored = false;
        const modDB::Row_Write written = modDBFunctions::Update_Item_For_Owner(
            m_config.strColumn, m_config.strTable, strOld, NewString, owner.lngComputerID, owner.lngUserID,
            blnTwinStored);
        if (written) return;
        Cancel = 1;
        if (blnTwinStored) Ask(Listed_Message(true), 48);
        if (blnTwinStored || written.Not_Stored()) Reload();
    });
    if (!blnDone) Cancel = 1;
}

QString Deleted_Texts::Key(const QString& strText) const {
    return m_match == Ignoring_Ascii_Case ? modDBFunctions::Sql_Upper(strText) : strText;
}

void Deleted_Texts::Add(const QString& strText, long lngItem, long long lngRows) {
    m_keys.insert(Key(strText));
    m_items.push_back(lngItem);
    m_lngRows += lngRows;
}

std::vector<long> Deleted_Texts::Items_In(const platform::ListView& list, int lngValueSubItem) const {
    // One listed item per stored row: rows no more than the selected items deleted means
    // no unselected item showed a deleted text.
    if (m_lngRows <= static_cast<long long>(m_items.size())) {
        std::vector<long> items = m_items;
        std::sort(items.begin(), items.end());
        return items;
    }
    std::vector<long> items;
    for (long i = 1; i <= list.Count(); ++i)
        if (Contains(lngValueSubItem >= 1 ? list.SubItem(i, lngValueSubItem) : list.Text(i))) items.push_back(i);
    return items;
}

Removed_Rows Remove_Selected_Items(frmListEditorBase& dialog, platform::ListView& list, Column_Allowance& allowance,
                                   const QString& strQuestion, const QString& strColumn, const QString& strTable,
                                   int lngValueSubItem, const std::function<void()>& fnShowStored) {
    Removed_Rows result;
    std::vector<long> removed;
    Error_Block([&] {
        if (list.Count() == 0) return;
        if (Ask(strQuestion, 36) != platform::vbYes) return;
        const Policy_Owner owner = dialog.Owner();
        modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
        modDB::MY_TRANS trans(hDb);
        if (!trans.Began()) return;  // the open or the BEGIN was reported
        modDBFunctions::Owner_List_Batch batch(hDb, modDBFunctions::Owner_List_Batch::Delete_Items, strColumn, strTable,
                                               owner.lngComputerID, owner.lngUserID);
        // An item whose delete fails (or finds no row) stays listed; whether the walk goes
        // on past it is the walk's rule (Write_Walk).
        const auto Value_Of = [&](long lngIndex) {
            return lngValueSubItem >= 1 ? list.SubItem(lngIndex, lngValueSubItem) : list.Text(lngIndex);
        };
        Write_Walk walk(trans);
        Deleted_Texts deleted(Deleted_Texts::Exact);
        long long lngRows = 0;
        for (long lngIndex : list.Selected_Items()) {
            const QString strValue = Value_Of(lngIndex);
            if (deleted.Contains(strValue)) {  // its rows went with an item before it
                deleted.Add_Item(lngIndex);
                continue;
            }
            if (batch.Run(strValue)) {
                deleted.Add(strValue, lngIndex, batch.Rows_Changed());
                lngRows += batch.Rows_Changed();
                continue;
            }
            if (!walk.Go_On_After(batch)) break;
        }
        result.blnNotStored = walk.Not_Stored();
        // Nothing leaves the list unless its delete was committed.
        if (!walk.Finish()) return;
        result.lngRows = lngRows;
        removed = deleted.Items_In(list, lngValueSubItem);
    });
    // An item another program deleted would stay listed, and every later Remove of it
    // would fail again: the list shows what is stored instead.
    if (result.blnNotStored) {
        fnShowStored();
        return result;
    }
    list.Remove_Items(removed);
    allowance.Update();
    return result;
}

void clsListEditor::Remove() {
    Remove_Selected_Items(m_dialog, m_list, m_allowance, m_config.strRemoveQuestion, m_config.strColumn,
                          m_config.strTable, 0, [&] { Reload(); });
}

void clsListEditor::Export() {
    auto body = [&] {
        if (m_list.Count() == 0) {
            Ask(QStringLiteral("There is no item to export!."), 48);
            return;
        }
        const Policy_Owner owner = m_dialog.Owner();
        QString strUserName;
        if (!modDBFunctions::Get_User_Name(owner.lngUserID, strUserName)) return;
        m_cmdlg.DialogTitle = m_config.strExportTitle;
        m_cmdlg.FileName = strUserName + m_config.strExportSuffix;
        m_cmdlg.Filter = TEXT_FILTER;
        if (!platform::File_Dialogs().Show_Save(m_cmdlg, &m_dialog)) return;
        QStringList entries;
        entries.reserve(m_list.Count());
        for (long i = 1; i <= m_list.Count(); ++i) entries << m_list.Text(i);
        QString strError;
        if (!Write_List_Text_File(m_cmdlg.FileName, entries, strError))
            throw Run_Time_Error(75, QStringLiteral("Cannot write %1: %2").arg(m_cmdlg.FileName, strError));
    };
    if (m_config.blnReportExportErrors) Error_Block(body);
    else Silent_Error_Block(body);
}

void clsListEditor::Import() {
    bool blnLocked = false;
    bool blnOwnerGone = false;
    long lngSkipped = 0;
    Error_Block([&] {
        const Policy_Owner owner = m_dialog.Owner();
        QString strUserName;
        if (!modDBFunctions::Get_User_Name(owner.lngUserID, strUserName)) return;
        m_cmdlg.DialogTitle = m_config.strImportTitle;
        m_cmdlg.Filter = TEXT_FILTER;
        if (!platform::File_Dialogs().Show_Open(m_cmdlg, &m_dialog) || m_cmdlg.FileName.isEmpty()) return;

        QStringList fields;
        if (!Read_Import_File(m_cmdlg.FileName, fields, lngSkipped)) return;

        // The import yields to the window now and then: nothing else may start meanwhile.
        m_dialog.Enable_Controls(false);
        blnLocked = true;
        modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
        modDB::MY_TRANS trans(hDb, modDB::MY_TRANS::Begin_Failure_To_Caller{});
        if (!hDb) return;  // reported by the open
        if (!trans.Began()) {
            // Nothing could be written: the import stopped at its first entry.
            for (const QString& strField : fields) {
                const QString strEntry =
                    platform::Cut_Text(Shape_Entry(strField, m_config.importForm), m_config.lngImportCut);
                if (m_config.importValidator && !m_config.importValidator(strEntry)) continue;
                Report_Failure(Import_Stopped_Message(strEntry, trans.Begin_Error(), 0));
                break;
            }
            return;
        }
        // Once, inside the write transaction: nobody can remove the owner until it ends.
        const modDB::Row_Write ownerStored = modDBFunctions::Owner_Stored(hDb, owner.lngComputerID, owner.lngUserID);
        if (ownerStored.Not_Stored()) blnOwnerGone = true;
        if (!ownerStored) return;
        modDBFunctions::Owner_List_Batch writer(hDb, modDBFunctions::Owner_List_Batch::Insert_Items, m_config.strColumn,
                                                m_config.strTable, owner.lngComputerID, owner.lngUserID);
        // The entries this import stored, listed only once their commit succeeded. An
        // entry already stored (twice in the file, or listed before) is not listed again.
        platform::List_Batch stored(m_list, m_config.strIcon);
        const long lngTotal = fields.size();
        long lngRead = 0;
        QString strFailedEntry, strFailure;
        bool blnFailed = false;
        for (const QString& strField : fields) {
            if (lngRead % IMPORT_STEP == 0) {
                m_dialog.Show_Progress(lngRead, lngTotal);
                QCoreApplication::processEvents();
            }
            ++lngRead;
            const QString strEntry = platform::Cut_Text(Shape_Entry(strField, m_config.importForm), m_config.lngImportCut);
            if (m_config.importValidator && !m_config.importValidator(strEntry)) continue;
            // The first failed write ends the import: the same failure would only repeat.
            if (!writer.Run(strEntry)) {
                blnFailed = true;
                strFailedEntry = strEntry;
                strFailure = writer.Last_Error();
                break;
            }
            if (writer.Changed()) stored.Add(strEntry);
        }
        // A refused commit is rolled back and reported by the guard; SQLite may also have
        // ended the transaction itself after the failed write, and then nothing is stored.
        const bool blnOpen = trans.Is_Open();
        const bool blnCommitted = trans.Commit();
        if (!blnCommitted) stored.Discard();
        if (blnFailed && (blnCommitted || !blnOpen))
            Report_Failure(Import_Stopped_Message(strFailedEntry, strFailure, stored.Count()));
        stored.Append();
        m_allowance.Update();
    });
    if (blnLocked) {
        m_dialog.Show_Progress(0, 0);
        m_dialog.Enable_Controls(true);
    }
    if (blnOwnerGone) {
        m_dialog.Owner_Gone();
        return;
    }
    Report_Skipped_Fields(lngSkipped);
}

// ---------------------------------------------------------------- program browse

void Set_Up_Program_Browse(platform::Common_Dialog& dlg) {
    dlg.FileName.clear();
    dlg.DialogTitle = QStringLiteral("Browse for EXE files");
    dlg.Filter = QStringLiteral("Exe files|*.exe");
    dlg.Flags = platform::cdlOFNExplorer | platform::cdlOFNAllowMultiselect;
    dlg.MaxFileSize = 32767;
}

QStringList Chosen_Program_Paths(const QString& strFileName) {
    const QStringList parts = strFileName.split(QChar(u'\0'));
    if (parts.size() == 1) return parts;
    QStringList paths;
    paths.reserve(parts.size() - 1);
    for (qsizetype i = 1; i < parts.size(); ++i) paths << parts[0] + u'\\' + parts[i];
    return paths;
}

QString Listed_Exe_Name(const QString& strPath) {
    constexpr qsizetype CHARS = 255;
    // The path, cut to what fits, in the ANSI code page; padded with blanks to
    // 255 characters and ended by a NUL.
    QString strCut = platform::Cut_Text(strPath, CHARS);
    QByteArray buffer = strCut.toLocal8Bit();
    while (buffer.size() > CHARS) {
        strCut = platform::Cut_Text(strCut, strCut.size() - 1);
        buffer = strCut.toLocal8Bit();
    }
    buffer.append(QByteArray(CHARS - buffer.size(), ' '));
    buffer.append('\0');
    modFilterLibrary::Get_Exe_Name(buffer.data());
    const qsizetype lngNul = buffer.indexOf('\0');
    if (lngNul < 0 || lngNul >= CHARS)
        throw Run_Time_Error(5, QStringLiteral("Invalid procedure call or argument"));
    return QString::fromLocal8Bit(buffer.constData(), lngNul);
}

namespace {
// Stores names (none listed yet, each once) for the dialog's owner and lists those
// stored once committed. True when the owner's row was gone (reported).
bool Store_Program_Names(const QStringList& names, frmListEditorBase& dialog, platform::ListView& list,
                         Column_Allowance& allowance, const QString& strIcon, const QString& strColumn,
                         const QString& strTable) {
    modDB::Db_Connection hDb = modDB::Open_Database(modDB::Get_Database_File());
    modDB::MY_TRANS trans(hDb);
    if (!trans.Began()) return false;  // the open or the BEGIN was reported
    const Policy_Owner owner = dialog.Owner();
    // Once, inside the write transaction: nobody can remove the owner until it ends.
    const modDB::Row_Write ownerStored = modDBFunctions::Owner_Stored(hDb, owner.lngComputerID, owner.lngUserID);
    if (!ownerStored) return ownerStored.Not_Stored();
    modDBFunctions::Owner_List_Batch batch(hDb, modDBFunctions::Owner_List_Batch::Insert_Items, strColumn, strTable,
                                           owner.lngComputerID, owner.lngUserID);
    Write_Walk walk(trans);
    // A name the insert found stored already (another program stored it) is listed too.
    platform::List_Batch stored(list, strIcon);
    for (const QString& strName : names) {
        if (batch.Run(strName)) stored.Add(strName);
        else if (!walk.Go_On_After(batch)) break;
    }
    if (!walk.Finish()) return false;
    stored.Append();
    allowance.Update();
    return false;
}
}  // namespace

void Browse_Programs(platform::Common_Dialog& dlg, frmListEditorBase& dialog, platform::ListView& list,
                     Column_Allowance& allowance, const QString& strIcon, const QString& strColumn,
                     const QString& strTable) {
    bool blnOwnerGone = false;
    Error_Block([&] {
        Set_Up_Program_Browse(dlg);
        if (!platform::File_Dialogs().Show_Open(dlg, &dialog) || dlg.FileName.isEmpty()) return;
        // The names first, each once and only when not listed (letter case ignored). A
        // name the library cannot give ends them there: the names before it are still
        // stored, and the error is reported after them.
        QStringList names;
        QSet<QString> folded;
        std::exception_ptr pLibraryError;
        try {
            for (const QString& strPath : Chosen_Program_Paths(dlg.FileName)) {
                const QString strName = Listed_Exe_Name(strPath);
                if (modCommonFuns::ListView_Contains_Text(strName, list) || folded.contains(strName.toLower())) continue;
                folded.insert(strName.toLower());
                names << strName;
            }
        } catch (const Run_Time_Error&) {
            pLibraryError = std::current_exception();
        }
        if (!names.isEmpty())
            blnOwnerGone = Store_Program_Names(names, dialog, list, allowance, strIcon, strColumn, strTable);
        if (pLibraryError) std::rethrow_exception(pLibraryError);
    });
    if (blnOwnerGone) dialog.Owner_Gone();
}

void clsListEditor::Browse(platform::Common_Dialog& dlg) {
    Browse_Programs(dlg, m_dialog, m_list, m_allowance, m_config.strIcon, m_config.strColumn, m_config.strTable);
}

// ---------------------------------------------------------------- dialog base

frmListEditorBase::frmListEditorBase(Console_Link& console, QWidget* parent) : frmFeatureDialog(console, parent) {}

const platform::Image_List& frmListEditorBase::Images() {
    static const platform::Image_List images = [] {
        Init_List_Resources();
        platform::Image_List list;
        const std::pair<const char*, const char*> keys[] = {
            {"Copy Settings", "copy_settings"},       {"Import", "import"},
            {"Export", "export"},                     {"Blocked File Extension", "file_extension"},
            {"Black List URL", "black_list_url"},     {"White List URL", "white_list_url"},
            {"Blocked Window Title", "window_title"}, {"Blocked EXE", "exe"},
            {"Email", "email"},                       {"Port", "port"},
            {"SMTP", "smtp"},                         {"POP3", "pop3"},
            {"Browse EXE", "browse_exe"},             {"Port Filter", "port"},
        };
        for (const auto& [strKey, strFile] : keys)
            list.insert(QString::fromLatin1(strKey), QIcon(QStringLiteral(":/lists/icons/%1.svg").arg(QLatin1String(strFile))));
        return list;
    }();
    return images;
}

void frmListEditorBase::Copy_Settings(const QString& strFeature, const QStringList& shownFeatures) {
    lists::Copy_Settings(Console(), strFeature, shownFeatures.isEmpty() ? QStringList{strFeature} : shownFeatures,
                         [this] { Load_Stored(); });
}

void frmListEditorBase::Enable_Controls(bool blnEnable) {
    m_blnBusy = !blnEnable;
    for (QWidget* pControl : m_importLocked) pControl->setEnabled(blnEnable);
    if (blnEnable) Set_Controls_State();
}

void frmListEditorBase::Finish_Setup() {
    // Enter belongs to the entry boxes and the label editor, never to a default button.
    for (QPushButton* pButton : findChildren<QPushButton*>()) {
        pButton->setAutoDefault(false);
        pButton->setDefault(false);
    }
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName(QStringLiteral("prgImport"));
    m_pProgress->setVisible(false);
    if (layout()) layout()->addWidget(m_pProgress);
}

void frmListEditorBase::Show_One_Frame(QWidget& shown, QWidget& hidden) {
    hidden.setVisible(false);
    shown.setVisible(true);
}

void frmListEditorBase::Activate_Layouts() {
    // Outer layouts first, so that each inner one is laid out in its final size.
    if (layout()) layout()->activate();
    for (QWidget* pChild : findChildren<QWidget*>())
        if (pChild->layout()) pChild->layout()->activate();
}

void frmListEditorBase::Show_Progress(long lngDone, long lngTotal) {
    if (!m_pProgress) return;
    m_pProgress->setVisible(lngTotal > 0);
    if (lngTotal > 0) {
        m_pProgress->setMaximum(static_cast<int>(lngTotal));
        m_pProgress->setValue(static_cast<int>(lngDone));
    }
}

void frmListEditorBase::Form_KeyPress(int& KeyAscii) {
    if (KeyAscii == 27 && m_blnBusy) {
        KeyAscii = 0;
        return;
    }
    Dv_Dialog::Form_KeyPress(KeyAscii);
}

}  // namespace lists
