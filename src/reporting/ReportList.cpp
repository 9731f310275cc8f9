#include "reporting/ReportList.h"

#include "platform/Controls.h"
#include "services/modGlobal.h"

#include <QFocusEvent>
#include <QFont>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>

namespace reporting {

namespace {

// Rows are packed into blocks of this size; a bigger row gets a block of its own.
constexpr size_t BLOCK_SIZE = size_t(4) << 20;
// The longest length prefix: 7 bits per byte.
constexpr size_t MAX_VARINT = 5;

char* Put_Varint(char* p, quint32 lngValue) {
    while (lngValue >= 0x80) {
        *p++ = static_cast<char>((lngValue & 0x7F) | 0x80);
        lngValue >>= 7;
    }
    *p++ = static_cast<char>(lngValue);
    return p;
}

const char* Get_Varint(const char* p, quint32& lngValue) {
    lngValue = 0;
    int shift = 0;
    while (true) {
        const auto b = static_cast<unsigned char>(*p++);
        lngValue |= static_cast<quint32>(b & 0x7F) << shift;
        if (!(b & 0x80)) return p;
        shift += 7;
    }
}

}  // namespace

// ---------------------------------------------------------------- compact rows

char* Report_Rows::Reserve(size_t lngBytes) {
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < lngBytes) {
        Block block;
        block.size = std::max(BLOCK_SIZE, lngBytes);
        block.data.reset(new char[block.size]);
        m_blocks.push_back(std::move(block));
    }
    Block& block = m_blocks.back();
    return block.data.get() + block.used;
}

void Report_Rows::Append(const QStringList& cells, int lngCells) {
    if (lngCells < 0) lngCells = 0;
    // Room for the worst case: every character three bytes, every prefix five.
    size_t lngNeed = MAX_VARINT;
    for (int c = 0; c < lngCells && c < cells.size(); ++c)
        lngNeed += MAX_VARINT + 3 * static_cast<size_t>(cells[c].size());
    lngNeed += MAX_VARINT * static_cast<size_t>(std::max<qsizetype>(0, lngCells - cells.size()));
    char* const pStart = Reserve(lngNeed);
    char* p = Put_Varint(pStart, static_cast<quint32>(lngCells));
    QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    for (int c = 0; c < lngCells; ++c) {
        if (c >= cells.size() || cells[c].isEmpty()) {
            p = Put_Varint(p, 0);
            continue;
        }
        // Encode behind the longest prefix, then close the gap to the real prefix.
        char* pText = p + MAX_VARINT;
        char* pEnd = utf8.appendToBuffer(pText, cells[c]);
        const auto lngLen = static_cast<quint32>(pEnd - pText);
        char* pAfterPrefix = Put_Varint(p, lngLen);
        if (pAfterPrefix != pText) std::memmove(pAfterPrefix, pText, lngLen);
        p = pAfterPrefix + lngLen;
    }
    Block& block = m_blocks.back();
    m_rows.push_back({static_cast<quint32>(m_blocks.size() - 1), static_cast<quint32>(block.used)});
    block.used += static_cast<size_t>(p - pStart);
}

void Report_Rows::Append(const QByteArrayView* values, int lngValues, int lngCells) {
    if (lngCells < 0) lngCells = 0;
    size_t lngNeed = MAX_VARINT;
    for (int c = 0; c < lngCells; ++c)
        lngNeed += MAX_VARINT + (c < lngValues ? static_cast<size_t>(values[c].size()) : 0);
    char* const pStart = Reserve(lngNeed);
    char* p = Put_Varint(pStart, static_cast<quint32>(lngCells));
    for (int c = 0; c < lngCells; ++c) {
        const QByteArrayView cell = c < lngValues ? values[c] : QByteArrayView();
        p = Put_Varint(p, static_cast<quint32>(cell.size()));
        if (!cell.isEmpty()) {
            std::memcpy(p, cell.data(), static_cast<size_t>(cell.size()));
            p += cell.size();
        }
    }
    Block& block = m_blocks.back();
    m_rows.push_back({static_cast<quint32>(m_blocks.size() - 1), static_cast<quint32>(block.used)});
    block.used += static_cast<size_t>(p - pStart);
}

void Report_Rows::Append(Report_Rows&& other) {
    if (&other == this) return;
    const auto lngBase = static_cast<quint32>(m_blocks.size());
    for (Block& block : other.m_blocks) m_blocks.push_back(std::move(block));
    m_rows.reserve(m_rows.size() + other.m_rows.size());
    for (const Row_Ref& ref : other.m_rows) m_rows.push_back({ref.block + lngBase, ref.offset});
    other.Clear();
}

void Report_Rows::Truncate(long lngRows) {
    if (lngRows >= Count()) return;
    if (lngRows <= 0) {
        Clear();
        return;
    }
    // Rows lie in block order: keep the blocks up to the last kept row's, and that
    // block only up to the end of the row.
    const Row_Ref last = m_rows[static_cast<size_t>(lngRows - 1)];
    const char* p = Row_Start(lngRows - 1);
    quint32 lngCells = 0;
    p = Get_Varint(p, lngCells);
    for (quint32 c = 0; c < lngCells; ++c) {
        quint32 lngLen = 0;
        p = Get_Varint(p, lngLen);
        p += lngLen;
    }
    m_rows.resize(static_cast<size_t>(lngRows));
    m_rows.shrink_to_fit();
    m_blocks.resize(last.block + 1);
    m_blocks.back().used = static_cast<size_t>(p - m_blocks.back().data.get());
}

void Report_Rows::Clear() {
    m_blocks.clear();
    m_rows.clear();
    m_rows.shrink_to_fit();
}

const char* Report_Rows::Row_Start(long lngRow) const {
    const Row_Ref ref = m_rows[static_cast<size_t>(lngRow)];
    return m_blocks[ref.block].data.get() + ref.offset;
}

int Report_Rows::Cells(long lngRow) const {
    quint32 lngCells = 0;
    Get_Varint(Row_Start(lngRow), lngCells);
    return static_cast<int>(lngCells);
}

QByteArrayView Report_Rows::Utf8(long lngRow, int lngCell) const {
    const char* p = Row_Start(lngRow);
    quint32 lngCells = 0;
    p = Get_Varint(p, lngCells);
    if (lngCell < 0 || static_cast<quint32>(lngCell) >= lngCells) return {};
    quint32 lngLen = 0;
    for (int c = 0;; ++c) {
        p = Get_Varint(p, lngLen);
        if (c == lngCell) return QByteArrayView(p, lngLen);
        p += lngLen;
    }
}

// ---------------------------------------------------------------- model

Report_Model::Report_Model(Report_List& list) : QAbstractTableModel(&list), m_list(list) {}

int Report_Model::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.Count());
}

int Report_Model::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, m_list.Column_Count());
}

QVariant Report_Model::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return m_list.m_rows.Text(index.row(), index.column());
        case Qt::FontRole:
            if (m_list.m_bold[static_cast<size_t>(index.row())]) {
                QFont font = m_list.font();
                font.setBold(true);
                return font;
            }
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::ToolTipRole:
            // A cut cell shows its whole text when the mouse rests on it.
            if (m_list.Cell_Is_Cut(index.row() + 1, index.column() + 1)) return m_list.m_rows.Text(index.row(), index.column());
            return {};
        default:
            return {};
    }
}

QVariant Report_Model::headerData(int, Qt::Orientation orientation, int role) const {
    // The column headers carry keys only: their text is empty.
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return QString();
    return {};
}

Qt::ItemFlags Report_Model::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

// ---------------------------------------------------------------- list

Report_List::Report_List(QWidget* parent) : QTreeView(parent), m_model(new Report_Model(*this)) {
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    // The column headers carry no text: the caption row of the report names the columns.
    setHeaderHidden(true);
    // The vertical scroll bar comes and goes with the rows: the columns are fitted again.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        QMetaObject::invokeMethod(this, [this] { Apply_Column_Widths(); }, Qt::QueuedConnection);
    });
    // A column the administrator drags keeps its new width, so the resize of the
    // form sizes the first column from what the others really take.
    connect(header(), &QHeaderView::sectionResized, this, [this](int section, int, int newSize) {
        if (m_blnApplyingWidths || section < 0 || section >= Column_Count()) return;
        m_columns[static_cast<size_t>(section)].dblWidth = platform::Pixels_To_Twips(newSize, this);
    });
}

void Report_List::Add_Column(const QString& strKey, double dblWidthTwips) {
    const int c = Column_Count();
    if (c > 0) m_model->beginInsertColumns({}, c, c);
    m_columns.push_back({strKey, dblWidthTwips});
    if (c > 0) m_model->endInsertColumns();
    else emit m_model->headerDataChanged(Qt::Horizontal, 0, 0);
    Apply_Column_Widths();
}

void Report_List::Check_Column(int lngColumn) const {
    if (lngColumn < 1 || lngColumn > Column_Count()) throw Run_Time_Error(35600, QStringLiteral("Index out of bounds"));
}

QString Report_List::Column_Key(int lngColumn) const {
    Check_Column(lngColumn);
    return m_columns[static_cast<size_t>(lngColumn - 1)].strKey;
}

double Report_List::Column_Width(int lngColumn) const {
    Check_Column(lngColumn);
    return m_columns[static_cast<size_t>(lngColumn - 1)].dblWidth;
}

void Report_List::Set_Column_Width(int lngColumn, double dblWidthTwips) {
    Check_Column(lngColumn);
    m_columns[static_cast<size_t>(lngColumn - 1)].dblWidth = dblWidthTwips;
    Apply_Column_Widths();
}

void Report_List::Apply_Column_Widths() {
    if (m_blnApplyingWidths) return;
    m_blnApplyingWidths = true;
    std::vector<int> widths;
    for (const Column& column : m_columns) widths.push_back(std::max(0, platform::Twips_To_Pixels(column.dblWidth, this)));
    // The first column fills what the others leave; it gives up the room of the frame
    // and of the vertical scroll bar, so that no horizontal scroll bar comes of them.
    if (!widths.empty()) widths[0] = platform::Fitted_Filler_Width(*this, widths, 0);
    for (size_t c = 0; c < widths.size(); ++c) header()->resizeSection(static_cast<int>(c), widths[c]);
    m_blnApplyingWidths = false;
}

void Report_List::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    Apply_Column_Widths();
}

void Report_List::focusInEvent(QFocusEvent* event) {
    // The list starts with no current row: the focus alone does not make the title current.
    const bool blnHadCurrent = currentIndex().isValid();
    QTreeView::focusInEvent(event);
    if (!blnHadCurrent && currentIndex().isValid() && selectionModel()->selectedIndexes().isEmpty())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

bool Report_List::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString strTip = index.isValid() ? m_model->data(index, Qt::ToolTipRole).toString() : QString();
        // Event data: never taken for markup.
        platform::Show_Plain_Tool_Tip(help->globalPos(), strTip, viewport(), visualRect(index));
        return true;
    }
    return QTreeView::viewportEvent(event);
}

bool Report_List::Cell_Is_Cut(long lngIndex, int lngColumn) const {
    if (lngIndex < 1 || lngIndex > Count() || lngColumn < 1 || lngColumn > Column_Count()) return false;
    const int row = static_cast<int>(lngIndex - 1);
    // A heading row reads across the whole list.
    if (isFirstColumnSpanned(row, QModelIndex())) return false;
    const QModelIndex index = m_model->index(row, lngColumn - 1);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QVariant font = m_model->data(index, Qt::FontRole);
    if (font.isValid()) option.font = font.value<QFont>();
    option.fontMetrics = QFontMetrics(option.font);
    return itemDelegate()->sizeHint(option, index).width() > columnWidth(lngColumn - 1);
}

// The point sizes Fit_Font tries: from the list's own (this one when it has none) down
// to the smallest it goes, half a point at a time.
constexpr double FIT_FONT_DEFAULT_POINTS = 9;
constexpr double FIT_FONT_LEAST_POINTS = 6;
constexpr double FIT_FONT_STEP_POINTS = 0.5;

void Report_List::Fit_Font(const QString& strSample, int lngPixels) {
    QFont font = QWidget::font();
    font.setStretch(QFont::SemiCondensed);
    // What the view adds to a cell's text: the style's margin on either side.
    const int intMargins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    const double dblStart = font.pointSizeF() > 0 ? font.pointSizeF() : FIT_FONT_DEFAULT_POINTS;
    for (double dblSize = dblStart; dblSize >= FIT_FONT_LEAST_POINTS; dblSize -= FIT_FONT_STEP_POINTS) {
        font.setPointSizeF(dblSize);
        if (QFontMetrics(font).horizontalAdvance(strSample) + intMargins <= lngPixels) break;
    }
    setFont(font);
}

void Report_List::Check_Index(long lngIndex) const {
    if (lngIndex < 1 || lngIndex > Count()) throw Run_Time_Error(35600, QStringLiteral("Index out of bounds"));
}

long Report_List::Add(const QStringList& cells, const QString& strKey, bool blnBold) {
    if (!strKey.isEmpty() && Find_Key(strKey) != 0)
        throw Run_Time_Error(35602, QStringLiteral("Key is not unique in collection"));
    const int row = static_cast<int>(Count());
    m_model->beginInsertRows({}, row, row);
    m_rows.Append(cells, static_cast<int>(cells.size()));
    m_bold.push_back(blnBold);
    if (!strKey.isEmpty()) m_keys.push_back({Count(), strKey});
    m_model->endInsertRows();
    // A row with only its own text (title, criteria) reads across the whole list.
    if (cells.size() == 1 && !cells[0].isEmpty()) setFirstColumnSpanned(row, QModelIndex(), true);
    return Count();
}

void Report_List::Add_Many(Report_Rows&& rows) {
    if (rows.Count() == 0) return;
    const int first = static_cast<int>(Count());
    m_model->beginInsertRows({}, first, first + static_cast<int>(rows.Count()) - 1);
    m_bold.resize(m_bold.size() + static_cast<size_t>(rows.Count()), false);
    m_rows.Append(std::move(rows));
    m_model->endInsertRows();
}

void Report_List::Remove_From(long lngIndex) {
    if (lngIndex > Count()) return;
    Check_Index(lngIndex);
    m_model->beginRemoveRows({}, static_cast<int>(lngIndex - 1), static_cast<int>(Count() - 1));
    m_rows.Truncate(lngIndex - 1);
    m_bold.resize(static_cast<size_t>(lngIndex - 1));
    m_bold.shrink_to_fit();
    std::erase_if(m_keys, [lngIndex](const Keyed_Row& k) { return k.lngIndex >= lngIndex; });
    m_model->endRemoveRows();
}

void Report_List::Clear() {
    m_model->beginResetModel();
    m_rows.Clear();
    m_bold.clear();
    m_keys.clear();
    m_model->endResetModel();
}

QString Report_List::Cell(long lngIndex, int lngColumn) const {
    Check_Index(lngIndex);
    return m_rows.Text(lngIndex - 1, lngColumn - 1);
}

QByteArrayView Report_List::Cell_Utf8(long lngIndex, int lngColumn) const {
    Check_Index(lngIndex);
    return m_rows.Utf8(lngIndex - 1, lngColumn - 1);
}

bool Report_List::Bold(long lngIndex) const {
    Check_Index(lngIndex);
    return m_bold[static_cast<size_t>(lngIndex - 1)];
}

void Report_List::Set_Bold(long lngIndex, bool blnBold) {
    Check_Index(lngIndex);
    m_bold[static_cast<size_t>(lngIndex - 1)] = blnBold;
    const int row = static_cast<int>(lngIndex - 1);
    emit m_model->dataChanged(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
}

QString Report_List::Key(long lngIndex) const {
    Check_Index(lngIndex);
    for (const Keyed_Row& k : m_keys)
        if (k.lngIndex == lngIndex) return k.strKey;
    return QString();
}

long Report_List::Find_Key(const QString& strKey) const {
    for (const Keyed_Row& k : m_keys)
        if (k.strKey == strKey) return k.lngIndex;
    return 0;
}

}  // namespace reporting
