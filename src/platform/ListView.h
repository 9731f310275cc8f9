#pragma once
// The one list view of the console: a light table model shown by a QTreeView (report
// view) or a QListView (icon, small icon and list views), offering
// what the old list control offered. Items are counted from 1 (0 means "none"),
// each with a text, sub-items (column 2 on), an optional key, a Tag, a tick, a
// small icon and a bold flag. Rows are small structs in one vector: no widget and
// no item object per cell, and an item holds only what it shows: where its text lies
// in one block of characters shared by all items, an icon number and two flags;
// sub-items, key and Tag live beside it only when set. So a list of 1,000,000
// entries loads with no allocation per item and stays small. A case-folded index of the item
// texts answers "is this text listed?" without a scan; it is built at its first use.

#include <QHash>
#include <QIcon>
#include <QAbstractTableModel>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

class QAbstractItemView;

namespace platform {

class List_Delegate;

// Icons by key, as the old image lists held them.
using Image_List = QHash<QString, QIcon>;

// An item as callers describe it (Add_Many) or read it back whole (Item).
struct List_Item {
    QString strText;
    QStringList subItems;  // SubItems(1) is subItems[0]
    QString strKey;
    QString strTag;
    QString strSmallIcon;
    bool blnChecked = false;
    bool blnBold = false;
};

// The item texts of a list, one after another in one block of UTF-8 bytes (as the
// database hands them over, and half the size of UTF-16 for the usual ASCII entries);
// an item knows where its text starts and how many bytes it has. A text replaced or
// removed leaves its bytes behind until the list packs the block again.
class Text_Store {
public:
    struct Span {
        quint32 lngStart = 0;
        quint32 lngLength = 0;
    };
    Text_Store() = default;
    Text_Store(Text_Store&& other) noexcept { *this = std::move(other); }
    Text_Store& operator=(Text_Store&& other) noexcept;
    Span Add(QStringView text);
    // Adds bytes already in UTF-8 (a row as read from the database).
    Span Add_Utf8(QByteArrayView utf8);
    QByteArrayView Bytes(Span span) const {
        return QByteArrayView(m_pBytes.get() + span.lngStart, static_cast<qsizetype>(span.lngLength));
    }
    QString Text(Span span) const { return QString::fromUtf8(Bytes(span)); }
    // The bytes of a text no longer used.
    void Release(Span span) { m_lngUnused += span.lngLength; }
    size_t Size() const { return m_lngSize; }
    size_t Unused() const { return m_lngUnused; }
    void Reserve(size_t lngBytes) {
        if (lngBytes > m_lngSize) Make_Room(lngBytes - m_lngSize);
    }
    void Clear();
    // Appends another store's bytes; answers where they begin here.
    quint32 Append(const Text_Store& other);

private:
    // Makes room for lngMore bytes more and answers where they go; refuses a block past
    // what a span can address.
    char* Make_Room(size_t lngMore);
    struct Free {
        void operator()(char* p) const;
    };
    std::unique_ptr<char, Free> m_pBytes;
    size_t m_lngSize = 0;
    size_t m_lngCapacity = 0;
    size_t m_lngUnused = 0;
};

// What the list keeps of an item. The rarely used parts (sub-items, key, Tag) are
// held apart and only for the items that have them.
struct Item_Extras {
    QStringList subItems;
    QString strKey;
    QString strTag;
};
struct Stored_Item;
using Stored_Items = std::vector<Stored_Item>;
struct Stored_Item {
    Text_Store::Span text;
    std::unique_ptr<Item_Extras> extras;
    quint16 intIcon = 0;  // the list's icon key number; 0 for none
    bool blnChecked = false;
    bool blnBold = false;
};

class ListView;

// Collects new items, each a text with the batch's small icon, and hands them to the
// list in one step when Append() is called: the view learns of them once, however
// many they are. Items not appended when the batch goes are dropped.
class List_Batch {
public:
    List_Batch(ListView& list, const QString& strSmallIcon);
    void Add(const QString& strText);
    // Adds an item whose text is UTF-8 bytes (as read from the database).
    void Add_Utf8(QByteArrayView utf8);
    long Count() const { return static_cast<long>(m_items.size()); }
    // Makes room for this many items.
    void Reserve(long long lngCount) { m_items.reserve(static_cast<size_t>(lngCount)); }
    // Appends the collected items to the list and empties the batch.
    void Append();
    void Discard();

private:
    ListView& m_list;
    quint16 m_intIcon;
    Stored_Items m_items;
    Text_Store m_texts;
};

class ListView_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListView_Model(ListView& view);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    friend class ListView;
    ListView& m_view;
};

class ListView : public QWidget {
    Q_OBJECT
public:
    enum View_Mode { lvwIcon = 0, lvwSmallIcon = 1, lvwList = 2, lvwReport = 3 };
    enum Label_Edit { lvwAutomatic = 0, lvwManual = 1 };

    explicit ListView(QWidget* parent = nullptr);

    // ---- Column headers (1-based) ----
    void Add_Column(const QString& strText, double dblWidthTwips);
    int Column_Count() const { return static_cast<int>(m_columns.size()); }
    QString Column_Text(int lngColumn) const;
    double Column_Width(int lngColumn) const;  // twips
    void Set_Column_Width(int lngColumn, double dblWidthTwips);

    // ---- Items (1-based) ----
    long Count() const { return static_cast<long>(m_items.size()); }
    // Appends an item; returns its index. A key already used is refused with
    // Run_Time_Error 35602 ("Key is not unique in collection").
    long Add(const QString& strText, const QString& strKey = QString(), const QString& strSmallIcon = QString());
    // Inserts before lngIndex (Count()+1 appends).
    long Insert(long lngIndex, const QString& strText, const QString& strKey = QString(),
                const QString& strSmallIcon = QString());
    // Appends many items at once (one insert for the view): the fast path for loading.
    void Add_Many(const QStringList& texts, const QString& strSmallIcon = QString());
    void Add_Many(std::vector<List_Item>&& items);
    void Remove(long lngIndex);
    // Removes many items in one pass (indexes in any order; duplicates ignored).
    void Remove_Items(const std::vector<long>& indexes);
    void Clear();

    // The whole item; throws Run_Time_Error 35600 outside 1..Count (as every reader here).
    List_Item Item(long lngIndex) const;
    QString Text(long lngIndex) const { return m_texts.Text(Stored(lngIndex).text); }
    void Set_Text(long lngIndex, const QString& strText);
    // lngSub from 1; "" when the item has no such sub-item.
    QString SubItem(long lngIndex, int lngSub) const;
    void Set_SubItem(long lngIndex, int lngSub, const QString& strText);
    QString Key(long lngIndex) const;
    long Find_Key(const QString& strKey) const;  // 0 when no item has the key
    QString Tag(long lngIndex) const;
    void Set_Tag(long lngIndex, const QString& strTag);
    bool Checked(long lngIndex) const { return Stored(lngIndex).blnChecked; }
    // Setting a tick by code does not raise ItemCheck (as with the old control).
    void Set_Checked(long lngIndex, bool blnChecked);
    bool Bold(long lngIndex) const { return Stored(lngIndex).blnBold; }
    void Set_Bold(long lngIndex, bool blnBold);
    QString Small_Icon(long lngIndex) const { return Icon_Key(Stored(lngIndex).intIcon); }
    void Set_Small_Icon(long lngIndex, const QString& strKey);

    // True when some item's text equals strText ignoring letter case.
    bool Contains_Text_Ignore_Case(const QString& strText) const;
    // Index of the first item whose text equals strText exactly; 0 when none.
    long Find_Text(const QString& strText) const;

    // ---- Selection ----
    bool Selected(long lngIndex) const;
    void Set_Selected(long lngIndex, bool blnSelected);
    // The selected item (the current one when several are selected); 0 when none.
    long Selected_Item() const;
    // Every selected item, in list order.
    std::vector<long> Selected_Items() const;
    void Set_Multi_Select(bool blnMulti);
    void Ensure_Visible(long lngIndex);

    // ---- Look and behaviour ----
    void Set_Checkboxes(bool blnCheckboxes);
    bool Checkboxes() const { return m_blnCheckboxes; }
    // False: the mouse never ticks a check box by itself (the dialog ticks on
    // ItemClick, wherever the item is clicked); Space still ticks.
    void Set_Check_Boxes_Take_Clicks(bool blnTake) { m_blnCheckboxClicks = blnTake; }
    void Set_Label_Edit(Label_Edit mode);
    // Starts editing the item's text in place (BeforeLabelEdit runs first).
    void Start_Label_Edit(long lngIndex);
    void Set_View(View_Mode mode);
    View_Mode View() const { return m_view; }
    void Set_Image_List(const Image_List* pImages) { m_pImages = pImages; }
    void Set_Hide_Column_Headers(bool blnHide);
    void Set_Icon_Size(int lngPixels);
    // Room above and below each row's contents, in pixels (0 by default).
    void Set_Row_Padding(int lngPixels);

    // The widget that shows the items (tests click on its viewport).
    QAbstractItemView* Item_View() const { return m_pItemView; }
    QRect Item_Rect(long lngIndex) const;
    ListView_Model* Model() const { return m_model; }

signals:
    void ItemClick(long lngIndex);
    // The administrator ticked or unticked an item.
    void ItemCheck(long lngIndex);
    void DblClick();
    // Enter (13) and other keys while the list has the focus.
    void KeyPress(int& KeyAscii);
    void KeyDown(int& KeyCode, int Shift);
    // Set Cancel to non-zero to refuse the edit.
    void BeforeLabelEdit(long lngIndex, int& Cancel);
    // NewString is the typed text; set Cancel to keep the old text.
    void AfterLabelEdit(long lngIndex, int& Cancel, QString& NewString);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ListView_Model;
    friend class List_Delegate;
    friend class List_Batch;
    void Build_View();
    struct Column {
        QString strText;
        double dblWidth;
    };
    void Check_Index(long lngIndex) const;
    const Stored_Item& Stored(long lngIndex) const;
    Stored_Item& Stored(long lngIndex);
    Item_Extras& Extras(long lngIndex);
    // The number of an icon key in this list (keys are few: one or two per list).
    quint16 Icon_Number(const QString& strKey);
    QString Icon_Key(quint16 intIcon) const;
    // Makes room for lngMore items more (before a view hears of them).
    void Make_Room_For(size_t lngMore);
    void Append_Stored(Stored_Items&& items, Text_Store& texts);
    // Packs the text block once most of it is no longer used (when there is memory for it).
    void Pack_Texts() noexcept;
    QString Text_Of(const Stored_Item& item) const { return m_texts.Text(item.text); }
    template <class Change>
    void Update_Index(Change&& change) noexcept;
    void Index_Add(const QString& strText) noexcept;
    void Index_Add(const Stored_Item& item) noexcept;
    void Index_Remove(const Stored_Item& item) noexcept;
    void Drop_Index() const noexcept;
    void Build_Index() const;
    void Apply_Column_Widths();

    ListView_Model* m_model;
    Stored_Items m_items;
    Text_Store m_texts;
    std::vector<Column> m_columns;
    QStringList m_iconKeys{QString()};  // number 0 is "no icon"
    // Lower-cased text -> how many items have it; built at the first question, then
    // kept up to date by every change.
    mutable QHash<QString, int> m_foldedTexts;
    mutable bool m_blnIndexed = false;
    bool m_blnCheckboxes = false;
    bool m_blnCheckboxClicks = true;
    Label_Edit m_labelEdit = lvwManual;
    View_Mode m_view = lvwReport;
    const Image_List* m_pImages = nullptr;
    bool m_blnHideHeaders = false;
    bool m_blnMultiSelect = false;
    int m_lngIconSize = 0;
    int m_lngRowPadding = 0;
    QAbstractItemView* m_pItemView = nullptr;
};

}  // namespace platform
