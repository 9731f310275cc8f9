#include "platform/ListView.h"

#include "platform/Controls.h"
#include "platform/RunTimeError.h"

#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace platform {

// Asks BeforeLabelEdit before an editor opens and hands the typed text to
// AfterLabelEdit when it closes.
class List_Delegate : public QStyledItemDelegate {
public:
    List_Delegate(ListView& list) : QStyledItemDelegate(&list), m_list(list) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        int Cancel = 0;
        emit m_list.BeforeLabelEdit(index.row() + 1, Cancel);
        if (Cancel) return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        if (!m_list.m_blnCheckboxClicks) {
            switch (event->type()) {
                case QEvent::MouseButtonPress:
                case QEvent::MouseButtonRelease:
                case QEvent::MouseButtonDblClick:
                case QEvent::MouseMove: return false;
                default: break;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rheight() += 2 * m_list.m_lngRowPadding;  // above the row and below it
        return size;
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line) return;
        const long lngIndex = index.row() + 1;
        int Cancel = 0;
        QString NewString = line->text();
        emit m_list.AfterLabelEdit(lngIndex, Cancel, NewString);
        if (!Cancel && lngIndex <= m_list.Count()) m_list.Set_Text(lngIndex, NewString);
    }

private:
    ListView& m_list;
};

// ---------------------------------------------------------------- model

ListView_Model::ListView_Model(ListView& view) : QAbstractTableModel(&view), m_view(view) {}

int ListView_Model::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_view.m_items.size());
}

int ListView_Model::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, m_view.Column_Count());
}

QVariant ListView_Model::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Stored_Item& item = m_view.m_items[static_cast<size_t>(index.row())];
    const int c = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (c == 0) return m_view.Text_Of(item);
            return item.extras && c - 1 < item.extras->subItems.size() ? item.extras->subItems[c - 1] : QString();
        case Qt::DecorationRole:
            if (c == 0 && m_view.m_pImages && item.intIcon != 0) return m_view.m_pImages->value(m_view.Icon_Key(item.intIcon));
            return {};
        case Qt::CheckStateRole:
            if (c == 0 && m_view.m_blnCheckboxes) return item.blnChecked ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::FontRole:
            if (item.blnBold) {
                QFont font = m_view.font();
                font.setBold(true);
                return font;
            }
            return {};
        case Qt::ToolTipRole:
            return {};
        default:
            return {};
    }
}

bool ListView_Model::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount()) return false;
    const long lngIndex = index.row() + 1;
    if (role == Qt::CheckStateRole && index.column() == 0 && m_view.m_blnCheckboxes) {
        m_view.m_items[static_cast<size_t>(index.row())].blnChecked = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        emit m_view.ItemCheck(lngIndex);
        return true;
    }
    return false;
}

Qt::ItemFlags ListView_Model::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) {
        if (m_view.m_blnCheckboxes) f |= Qt::ItemIsUserCheckable;
        f |= Qt::ItemIsEditable;  // editing starts only as the label-edit mode allows
    }
    return f;
}

QVariant ListView_Model::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section < m_view.Column_Count() ? m_view.m_columns[static_cast<size_t>(section)].strText : QString();
}

// ---------------------------------------------------------------- list view

ListView::ListView(QWidget* parent) : QWidget(parent), m_model(new ListView_Model(*this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Build_View();
}

void ListView::Build_View() {
    QAbstractItemView* pOld = m_pItemView;
    if (m_view == lvwReport) {
        auto* tree = new QTreeView(this);
        tree->setRootIsDecorated(false);
        tree->setUniformRowHeights(true);
        tree->setItemsExpandable(false);
        tree->setAllColumnsShowFocus(true);
        tree->setHeaderHidden(m_blnHideHeaders);
        tree->header()->setStretchLastSection(false);
        tree->header()->setSectionsMovable(false);
        m_pItemView = tree;
    } else {
        auto* list = new QListView(this);
        list->setUniformItemSizes(m_view != lvwIcon);
        if (m_view == lvwIcon) {
            list->setViewMode(QListView::IconMode);
            list->setWordWrap(true);
            list->setSpacing(6);
        } else {
            list->setViewMode(QListView::ListMode);
            list->setFlow(m_view == lvwSmallIcon ? QListView::LeftToRight : QListView::TopToBottom);
            list->setWrapping(true);
        }
        // After the view mode, which resets both.
        list->setMovement(QListView::Static);
        list->setResizeMode(QListView::Adjust);
        m_pItemView = list;
    }
    m_pItemView->setObjectName(objectName().isEmpty() ? QStringLiteral("listView") : objectName() + "_view");
    m_pItemView->setModel(m_model);
    m_pItemView->setItemDelegate(new List_Delegate(*this));
    m_pItemView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pItemView->setSelectionMode(m_blnMultiSelect ? QAbstractItemView::ExtendedSelection
                                                   : QAbstractItemView::SingleSelection);
    m_pItemView->setEditTriggers(m_labelEdit == lvwAutomatic ? QAbstractItemView::SelectedClicked |
                                                                   QAbstractItemView::EditKeyPressed
                                                             : QAbstractItemView::NoEditTriggers);
    if (m_lngIconSize > 0) m_pItemView->setIconSize(QSize(m_lngIconSize, m_lngIconSize));
    m_pItemView->installEventFilter(this);
    m_pItemView->viewport()->installEventFilter(this);
    connect(m_pItemView, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit ItemClick(index.row() + 1);
    });
    connect(m_pItemView, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { emit DblClick(); });
    // The vertical scroll bar comes and goes with the rows: the columns are fitted again.
    connect(m_pItemView->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        QMetaObject::invokeMethod(this, [this] { Apply_Column_Widths(); }, Qt::QueuedConnection);
    });
    setFocusProxy(m_pItemView);
    layout()->addWidget(m_pItemView);
    if (pOld) {
        // The new view takes the old one's place in the window's tab order (a new widget
        // would otherwise come last, after every control of the form).
        QWidget::setTabOrder(pOld, m_pItemView);
        layout()->removeWidget(pOld);
        pOld->hide();
        pOld->deleteLater();
    }
    Apply_Column_Widths();
}

bool ListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pItemView && event->type() == QEvent::Resize) Apply_Column_Widths();
    if (watched == m_pItemView && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        int KeyCode = key->key();
        const int Shift = (key->modifiers() & Qt::ShiftModifier ? 1 : 0) | (key->modifiers() & Qt::ControlModifier ? 2 : 0) |
                          (key->modifiers() & Qt::AltModifier ? 4 : 0);
        emit KeyDown(KeyCode, Shift);
        if (KeyCode == 0) return true;
        int KeyAscii = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) KeyAscii = 13;
        else if (key->key() == Qt::Key_Escape) KeyAscii = 27;
        else if (key->key() == Qt::Key_Backspace) KeyAscii = 8;
        else if (!key->text().isEmpty()) KeyAscii = key->text().at(0).unicode();
        if (KeyAscii != 0) {
            emit KeyPress(KeyAscii);
            if (KeyAscii == 0) return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ListView::Add_Column(const QString& strText, double dblWidthTwips) {
    const int c = Column_Count();
    Column column{strText, dblWidthTwips};
    m_columns.reserve(m_columns.size() + 1);  // the only allocation, before the view's begin
    if (c > 0) m_model->beginInsertColumns({}, c, c);
    m_columns.push_back(std::move(column));
    if (c > 0) m_model->endInsertColumns();
    else emit m_model->headerDataChanged(Qt::Horizontal, 0, 0);
    Apply_Column_Widths();
}

QString ListView::Column_Text(int lngColumn) const {
    if (lngColumn < 1 || lngColumn > Column_Count()) throw Run_Time_Error(35600, QStringLiteral("Index out of bounds"));
    return m_columns[static_cast<size_t>(lngColumn - 1)].strText;
}

double ListView::Column_Width(int lngColumn) const {
    if (lngColumn < 1 || lngColumn > Column_Count()) throw Run_Time_Error(35600, QStringLiteral("Index out of bounds"));
    return m_columns[static_cast<size_t>(lngColumn - 1)].dblWidth;
}

void ListView::Set_Column_Width(int lngColumn, double dblWidthTwips) {
    if (lngColumn < 1 || lngColumn > Column_Count()) throw Run_Time_Error(35600, QStringLiteral("Index out of bounds"));
    m_columns[static_cast<size_t>(lngColumn - 1)].dblWidth = dblWidthTwips;
    Apply_Column_Widths();
}

void ListView::Apply_Column_Widths() {
    auto* tree = qobject_cast<QTreeView*>(m_pItemView);
    if (!tree || m_columns.empty()) return;
    std::vector<int> widths;
    for (const Column& column : m_columns) widths.push_back(std::max(0, Twips_To_Pixels(column.dblWidth, this)));
    // The last column fills the list: it gives up the room of the vertical scroll bar
    // while the bar shows, so that the bar never brings a horizontal one with it (the
    // widths kept are those set; only what is shown is narrower).
    widths.back() = Fitted_Filler_Width(*tree, widths, widths.size() - 1);
    for (size_t c = 0; c < widths.size(); ++c) tree->header()->resizeSection(static_cast<int>(c), widths[c]);
}

void ListView::Check_Index(long lngIndex) const {
    if (lngIndex < 1 || lngIndex > Count()) throw Run_Time_Error(35600, QStringLiteral("Index out of bounds"));
}

const Stored_Item& ListView::Stored(long lngIndex) const {
    Check_Index(lngIndex);
    return m_items[static_cast<size_t>(lngIndex - 1)];
}

Stored_Item& ListView::Stored(long lngIndex) {
    Check_Index(lngIndex);
    return m_items[static_cast<size_t>(lngIndex - 1)];
}

Item_Extras& ListView::Extras(long lngIndex) {
    Stored_Item& item = Stored(lngIndex);
    if (!item.extras) item.extras = std::make_unique<Item_Extras>();
    return *item.extras;
}

quint16 ListView::Icon_Number(const QString& strKey) {
    if (strKey.isEmpty()) return 0;
    const qsizetype lngAt = m_iconKeys.indexOf(strKey);
    if (lngAt >= 0) return static_cast<quint16>(lngAt);
    if (m_iconKeys.size() > 0xFFFF) throw Run_Time_Error(35600, QStringLiteral("Too many icon keys"));
    m_iconKeys << strKey;
    return static_cast<quint16>(m_iconKeys.size() - 1);
}

QString ListView::Icon_Key(quint16 intIcon) const { return intIcon < m_iconKeys.size() ? m_iconKeys[intIcon] : QString(); }

List_Item ListView::Item(long lngIndex) const {
    const Stored_Item& stored = Stored(lngIndex);
    List_Item item;
    item.strText = Text_Of(stored);
    if (stored.extras) {
        item.subItems = stored.extras->subItems;
        item.strKey = stored.extras->strKey;
        item.strTag = stored.extras->strTag;
    }
    item.strSmallIcon = Icon_Key(stored.intIcon);
    item.blnChecked = stored.blnChecked;
    item.blnBold = stored.blnBold;
    return item;
}

QString ListView::Key(long lngIndex) const {
    const Stored_Item& item = Stored(lngIndex);
    return item.extras ? item.extras->strKey : QString();
}

QString ListView::Tag(long lngIndex) const {
    const Stored_Item& item = Stored(lngIndex);
    return item.extras ? item.extras->strTag : QString();
}

// The index is a cache: when keeping it up to date fails (no memory for a text or an
// entry) it is dropped, to be built again at its next use, and the change it followed
// goes on. So these never fail, and may run between a view's begin and end.
template <class Change>
void ListView::Update_Index(Change&& change) noexcept {
    if (!m_blnIndexed) return;
    try {
        change();
    } catch (...) {
        Drop_Index();
    }
}

void ListView::Index_Add(const QString& strText) noexcept {
    Update_Index([&] { ++m_foldedTexts[strText.toLower()]; });
}

void ListView::Index_Add(const Stored_Item& item) noexcept {
    Update_Index([&] { ++m_foldedTexts[Text_Of(item).toLower()]; });
}

void ListView::Index_Remove(const Stored_Item& item) noexcept {
    Update_Index([&] {
        auto it = m_foldedTexts.find(Text_Of(item).toLower());
        if (it != m_foldedTexts.end() && --it.value() <= 0) m_foldedTexts.erase(it);
    });
}

void ListView::Drop_Index() const noexcept {
    m_blnIndexed = false;
    m_foldedTexts = QHash<QString, int>();
}

void ListView::Build_Index() const {
    if (m_blnIndexed) return;
    m_foldedTexts.clear();
    m_foldedTexts.reserve(static_cast<qsizetype>(m_items.size()));
    for (const Stored_Item& item : m_items) ++m_foldedTexts[m_texts.Text(item.text).toLower()];
    m_blnIndexed = true;
}

long ListView::Add(const QString& strText, const QString& strKey, const QString& strSmallIcon) {
    return Insert(Count() + 1, strText, strKey, strSmallIcon);
}

long ListView::Insert(long lngIndex, const QString& strText, const QString& strKey, const QString& strSmallIcon) {
    if (lngIndex < 1 || lngIndex > Count() + 1) throw Run_Time_Error(35600, QStringLiteral("Index out of bounds"));
    if (!strKey.isEmpty() && Find_Key(strKey) != 0)
        throw Run_Time_Error(35602, QStringLiteral("Key is not unique in collection"));
    Stored_Item item;
    item.text = m_texts.Add(strText);
    item.intIcon = Icon_Number(strSmallIcon);
    if (!strKey.isEmpty()) {
        item.extras = std::make_unique<Item_Extras>();
        item.extras->strKey = strKey;
    }
    // Room first: between the view's begin and end nothing may fail.
    Make_Room_For(1);
    const int row = static_cast<int>(lngIndex - 1);
    m_model->beginInsertRows({}, row, row);
    m_items.insert(m_items.begin() + row, std::move(item));
    Index_Add(strText);
    m_model->endInsertRows();
    return lngIndex;
}

void ListView::Add_Many(const QStringList& texts, const QString& strSmallIcon) {
    List_Batch batch(*this, strSmallIcon);
    batch.Reserve(texts.size());
    for (const QString& strText : texts) batch.Add(strText);
    batch.Append();
}

void ListView::Add_Many(std::vector<List_Item>&& items) {
    Stored_Items stored;
    stored.reserve(items.size());
    Text_Store texts;
    for (List_Item& item : items) {
        Stored_Item s;
        s.text = texts.Add(item.strText);
        s.intIcon = Icon_Number(item.strSmallIcon);
        s.blnChecked = item.blnChecked;
        s.blnBold = item.blnBold;
        if (!item.subItems.isEmpty() || !item.strKey.isEmpty() || !item.strTag.isEmpty()) {
            s.extras = std::make_unique<Item_Extras>();
            s.extras->subItems = std::move(item.subItems);
            s.extras->strKey = std::move(item.strKey);
            s.extras->strTag = std::move(item.strTag);
        }
        stored.push_back(std::move(s));
    }
    items.clear();
    Append_Stored(std::move(stored), texts);
}

void ListView::Make_Room_For(size_t lngMore) {
    // Grow geometrically: an import may append several batches, a load many items.
    const size_t lngNeeded = m_items.size() + lngMore;
    if (lngNeeded > m_items.capacity()) m_items.reserve(std::max({lngNeeded, 2 * m_items.capacity(), size_t{16}}));
}

void ListView::Append_Stored(Stored_Items&& items, Text_Store& texts) {
    if (items.empty()) return;
    // Every allocation before the view's begin: a failure there leaves list and view as
    // they were, and nothing between begin and end can fail.
    if (!m_items.empty()) {
        Make_Room_For(items.size());
        m_texts.Reserve(m_texts.Size() + texts.Size());
    }
    const int first = static_cast<int>(m_items.size());
    m_model->beginInsertRows({}, first, first + static_cast<int>(items.size()) - 1);
    if (m_items.empty()) {
        m_items = std::move(items);
        m_texts = std::move(texts);
    } else {
        const quint32 lngShift = m_texts.Append(texts);
        for (Stored_Item& item : items) {
            item.text.lngStart += lngShift;
            m_items.push_back(std::move(item));
        }
    }
    if (m_blnIndexed)
        for (size_t i = static_cast<size_t>(first); i < m_items.size(); ++i) Index_Add(m_items[i]);
    items.clear();
    texts.Clear();
    m_model->endInsertRows();
}

// The text block is packed once the bytes left behind by replaced and removed texts are
// both this many at least and one byte in PACK_UNUSED_ONE_IN of the block: fewer cost
// less than the copy.
constexpr size_t PACK_LEAST_UNUSED_BYTES = 4096;
constexpr size_t PACK_UNUSED_ONE_IN = 2;

void ListView::Pack_Texts() noexcept {
    if (m_texts.Unused() < PACK_LEAST_UNUSED_BYTES || m_texts.Unused() * PACK_UNUSED_ONE_IN < m_texts.Size())
        return;
    Text_Store packed;
    // Packing only saves room: with no memory for the packed block the texts stay where they are.
    try {
        packed.Reserve(m_texts.Size() - m_texts.Unused());
    } catch (...) {
        return;
    }
    for (Stored_Item& item : m_items) item.text = packed.Add_Utf8(m_texts.Bytes(item.text));
    m_texts = std::move(packed);
}

void ListView::Remove(long lngIndex) {
    Check_Index(lngIndex);
    const int row = static_cast<int>(lngIndex - 1);
    m_model->beginRemoveRows({}, row, row);
    Index_Remove(m_items[static_cast<size_t>(row)]);
    m_texts.Release(m_items[static_cast<size_t>(row)].text);
    m_items.erase(m_items.begin() + row);
    m_model->endRemoveRows();
    Pack_Texts();
}

void ListView::Remove_Items(const std::vector<long>& indexes) {
    if (indexes.empty()) return;
    std::vector<char> drop(m_items.size(), 0);
    for (long i : indexes) {
        Check_Index(i);
        drop[static_cast<size_t>(i - 1)] = 1;
    }
    m_model->beginResetModel();
    size_t lngKept = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (drop[i]) {
            Index_Remove(m_items[i]);
            m_texts.Release(m_items[i].text);
            continue;
        }
        if (lngKept != i) m_items[lngKept] = std::move(m_items[i]);
        ++lngKept;
    }
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(lngKept), m_items.end());
    Pack_Texts();
    m_model->endResetModel();
}

void ListView::Clear() {
    m_model->beginResetModel();
    m_items.clear();
    m_texts.Clear();
    m_foldedTexts.clear();
    m_blnIndexed = false;
    m_model->endResetModel();
}

void ListView::Set_Text(long lngIndex, const QString& strText) {
    Stored_Item& item = Stored(lngIndex);
    // The new text first: when there is no room for it the item keeps its old one.
    const Text_Store::Span text = m_texts.Add(strText);
    Index_Remove(item);
    m_texts.Release(item.text);
    item.text = text;
    Index_Add(strText);
    Pack_Texts();
    const QModelIndex index = m_model->index(static_cast<int>(lngIndex - 1), 0);
    emit m_model->dataChanged(index, index);
}

QString ListView::SubItem(long lngIndex, int lngSub) const {
    const Stored_Item& item = Stored(lngIndex);
    if (!item.extras) return QString();
    const QStringList& subItems = item.extras->subItems;
    return lngSub >= 1 && lngSub <= subItems.size() ? subItems[lngSub - 1] : QString();
}

void ListView::Set_SubItem(long lngIndex, int lngSub, const QString& strText) {
    Check_Index(lngIndex);
    if (lngSub < 1) throw Run_Time_Error(35600, QStringLiteral("Index out of bounds"));
    QStringList& subItems = Extras(lngIndex).subItems;
    while (subItems.size() < lngSub) subItems << QString();
    subItems[lngSub - 1] = strText;
    const int row = static_cast<int>(lngIndex - 1);
    emit m_model->dataChanged(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
}

long ListView::Find_Key(const QString& strKey) const {
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].extras && m_items[i].extras->strKey == strKey) return static_cast<long>(i + 1);
    return 0;
}

void ListView::Set_Tag(long lngIndex, const QString& strTag) {
    Check_Index(lngIndex);
    if (strTag.isEmpty() && !m_items[static_cast<size_t>(lngIndex - 1)].extras) return;
    Extras(lngIndex).strTag = strTag;
}

void ListView::Set_Checked(long lngIndex, bool blnChecked) {
    Stored(lngIndex).blnChecked = blnChecked;
    const QModelIndex index = m_model->index(static_cast<int>(lngIndex - 1), 0);
    emit m_model->dataChanged(index, index, {Qt::CheckStateRole});
}

void ListView::Set_Bold(long lngIndex, bool blnBold) {
    Stored(lngIndex).blnBold = blnBold;
    const int row = static_cast<int>(lngIndex - 1);
    emit m_model->dataChanged(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
}

void ListView::Set_Small_Icon(long lngIndex, const QString& strKey) {
    Check_Index(lngIndex);
    m_items[static_cast<size_t>(lngIndex - 1)].intIcon = Icon_Number(strKey);
    const QModelIndex index = m_model->index(static_cast<int>(lngIndex - 1), 0);
    emit m_model->dataChanged(index, index, {Qt::DecorationRole});
}

bool ListView::Contains_Text_Ignore_Case(const QString& strText) const {
    Build_Index();
    return m_foldedTexts.contains(strText.toLower());
}

long ListView::Find_Text(const QString& strText) const {
    if (!Contains_Text_Ignore_Case(strText)) return 0;
    const QByteArray utf8 = strText.toUtf8();
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_texts.Bytes(m_items[i].text) == utf8) return static_cast<long>(i + 1);
    return 0;
}

bool ListView::Selected(long lngIndex) const {
    Check_Index(lngIndex);
    return m_pItemView->selectionModel()->isRowSelected(static_cast<int>(lngIndex - 1), {});
}

void ListView::Set_Selected(long lngIndex, bool blnSelected) {
    Check_Index(lngIndex);
    QItemSelectionModel* sel = m_pItemView->selectionModel();
    const QModelIndex index = m_model->index(static_cast<int>(lngIndex - 1), 0);
    if (blnSelected) {
        const auto flags = (m_blnMultiSelect ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) |
                           QItemSelectionModel::Rows;
        sel->setCurrentIndex(index, flags);
    } else {
        sel->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
}

long ListView::Selected_Item() const {
    const QItemSelectionModel* sel = m_pItemView->selectionModel();
    const QModelIndex current = sel->currentIndex();
    if (current.isValid() && sel->isRowSelected(current.row(), {})) return current.row() + 1;
    const QModelIndexList rows = sel->selectedRows();
    if (rows.isEmpty()) return 0;
    int lngFirst = rows.first().row();
    for (const QModelIndex& index : rows) lngFirst = std::min(lngFirst, index.row());
    return lngFirst + 1;
}

std::vector<long> ListView::Selected_Items() const {
    std::vector<long> out;
    for (const QItemSelectionRange& range : m_pItemView->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row) out.push_back(row + 1);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void ListView::Set_Multi_Select(bool blnMulti) {
    m_blnMultiSelect = blnMulti;
    m_pItemView->setSelectionMode(blnMulti ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void ListView::Ensure_Visible(long lngIndex) {
    Check_Index(lngIndex);
    m_pItemView->scrollTo(m_model->index(static_cast<int>(lngIndex - 1), 0));
}

void ListView::Set_Checkboxes(bool blnCheckboxes) {
    m_model->beginResetModel();
    m_blnCheckboxes = blnCheckboxes;
    m_model->endResetModel();
}

void ListView::Set_Label_Edit(Label_Edit mode) {
    m_labelEdit = mode;
    m_pItemView->setEditTriggers(mode == lvwAutomatic ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                                                      : QAbstractItemView::NoEditTriggers);
}

void ListView::Start_Label_Edit(long lngIndex) {
    Check_Index(lngIndex);
    const QModelIndex index = m_model->index(static_cast<int>(lngIndex - 1), 0);
    m_pItemView->setFocus();
    m_pItemView->edit(index);
}

void ListView::Set_View(View_Mode mode) {
    if (mode == m_view) return;
    m_view = mode;
    Build_View();
}

void ListView::Set_Hide_Column_Headers(bool blnHide) {
    m_blnHideHeaders = blnHide;
    if (auto* tree = qobject_cast<QTreeView*>(m_pItemView)) tree->setHeaderHidden(blnHide);
}

void ListView::Set_Row_Padding(int lngPixels) {
    m_lngRowPadding = std::max(0, lngPixels);
    m_pItemView->doItemsLayout();
}

void ListView::Set_Icon_Size(int lngPixels) {
    m_lngIconSize = lngPixels;
    m_pItemView->setIconSize(QSize(lngPixels, lngPixels));
}

QRect ListView::Item_Rect(long lngIndex) const {
    Check_Index(lngIndex);
    return m_pItemView->visualRect(m_model->index(static_cast<int>(lngIndex - 1), 0));
}

// ---------------------------------------------------------------- batch

List_Batch::List_Batch(ListView& list, const QString& strSmallIcon)
    : m_list(list), m_intIcon(list.Icon_Number(strSmallIcon)) {}

void List_Batch::Add(const QString& strText) {
    Stored_Item item;
    item.text = m_texts.Add(strText);
    item.intIcon = m_intIcon;
    m_items.push_back(std::move(item));
}

void List_Batch::Add_Utf8(QByteArrayView utf8) {
    Stored_Item item;
    item.text = m_texts.Add_Utf8(utf8);
    item.intIcon = m_intIcon;
    m_items.push_back(std::move(item));
}

void List_Batch::Append() {
    m_list.Append_Stored(std::move(m_items), m_texts);
    m_items.clear();
    m_texts.Clear();
}

void List_Batch::Discard() {
    m_items.clear();
    m_texts.Clear();
}

// ---------------------------------------------------------------- text store

// The text block's first size, and how many times over it grows when full (so that
// filling it copies each byte about once).
constexpr size_t TEXT_BLOCK_LEAST_BYTES = 4096;
constexpr size_t TEXT_BLOCK_GROWTH = 2;

void Text_Store::Free::operator()(char* p) const { std::free(p); }

Text_Store& Text_Store::operator=(Text_Store&& other) noexcept {
    m_pBytes = std::move(other.m_pBytes);
    m_lngSize = std::exchange(other.m_lngSize, 0);
    m_lngCapacity = std::exchange(other.m_lngCapacity, 0);
    m_lngUnused = std::exchange(other.m_lngUnused, 0);
    return *this;
}

char* Text_Store::Make_Room(size_t lngMore) {
    const size_t lngNeeded = m_lngSize + lngMore;
    if (lngNeeded > std::numeric_limits<quint32>::max()) throw Run_Time_Error(7, QStringLiteral("Out of memory"));
    if (lngNeeded > m_lngCapacity) {
        const size_t lngCapacity = std::max({lngNeeded, TEXT_BLOCK_GROWTH * m_lngCapacity, TEXT_BLOCK_LEAST_BYTES});
        char* p = static_cast<char*>(std::realloc(m_pBytes.get(), lngCapacity));
        if (!p) throw Run_Time_Error(7, QStringLiteral("Out of memory"));  // the old block stays as it was
        (void)m_pBytes.release();
        m_pBytes.reset(p);
        m_lngCapacity = lngCapacity;
    }
    return m_pBytes.get() + m_lngSize;
}

Text_Store::Span Text_Store::Add(QStringView text) {
    // Entries are nearly always ASCII: those bytes go in as they are, anything else is encoded.
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p != end && *p < 0x80) ++p;
    if (p != end) return Add_Utf8(text.toUtf8());
    char* out = Make_Room(static_cast<size_t>(text.size()));
    std::copy(text.utf16(), end, out);  // each below 0x80: one byte
    Span span{static_cast<quint32>(m_lngSize), static_cast<quint32>(text.size())};
    m_lngSize += static_cast<size_t>(text.size());
    return span;
}

Text_Store::Span Text_Store::Add_Utf8(QByteArrayView utf8) {
    // Bytes that are not valid UTF-8 are kept as the text they read as, so that a text
    // read back and looked up again finds its item.
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) < 0x80) continue;
        if (!utf8.isValidUtf8()) return Add_Utf8(QString::fromUtf8(utf8).toUtf8());
        break;
    }
    char* out = Make_Room(static_cast<size_t>(utf8.size()));
    if (!utf8.isEmpty()) std::memcpy(out, utf8.data(), static_cast<size_t>(utf8.size()));
    Span span{static_cast<quint32>(m_lngSize), static_cast<quint32>(utf8.size())};
    m_lngSize += static_cast<size_t>(utf8.size());
    return span;
}

void Text_Store::Clear() {
    m_lngSize = 0;
    m_lngUnused = 0;
}

quint32 Text_Store::Append(const Text_Store& other) {
    const quint32 lngShift = static_cast<quint32>(m_lngSize);
    char* out = Make_Room(other.m_lngSize);
    if (other.m_lngSize) std::memcpy(out, other.m_pBytes.get(), other.m_lngSize);
    m_lngSize += other.m_lngSize;
    m_lngUnused += other.m_lngUnused;
    return lngShift;
}

}  // namespace platform
