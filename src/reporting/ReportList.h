#pragma once
// The report list: a printed-style report shown in one list, a few heading rows over
// the result rows. Rows are packed as UTF-8 records into large blocks, with no object
// per row or per cell, so a report of a million events stays light; the view asks
// only for the cells it paints. Items are counted from 1, columns from 1.

#include <QAbstractTableModel>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QTreeView>

class QFocusEvent;
class QResizeEvent;
#include <memory>
#include <vector>

namespace reporting {

// Rows of texts kept compactly: each row its cells as UTF-8, each cell with its length.
// Rows are counted from 0 here.
class Report_Rows {
public:
    Report_Rows() = default;
    Report_Rows(Report_Rows&&) noexcept = default;
    Report_Rows& operator=(Report_Rows&&) noexcept = default;

    // Appends a row of the first lngCells values (missing values are "").
    void Append(const QStringList& cells, int lngCells);
    // The same from UTF-8 values as they stand (lngValues of them).
    void Append(const QByteArrayView* values, int lngValues, int lngCells);
    // Moves every row of other behind these rows (other ends empty).
    void Append(Report_Rows&& other);
    // Keeps the first lngRows rows.
    void Truncate(long lngRows);
    void Clear();

    long Count() const { return static_cast<long>(m_rows.size()); }
    int Cells(long lngRow) const;
    // The cell's bytes (empty when the row has no such cell); valid until the rows change.
    QByteArrayView Utf8(long lngRow, int lngCell) const;
    QString Text(long lngRow, int lngCell) const { return QString::fromUtf8(Utf8(lngRow, lngCell)); }

private:
    struct Block {
        std::unique_ptr<char[]> data;
        size_t used = 0;
        size_t size = 0;
    };
    struct Row_Ref {
        quint32 block;
        quint32 offset;
    };
    const char* Row_Start(long lngRow) const;
    char* Reserve(size_t lngBytes);

    std::vector<Block> m_blocks;
    std::vector<Row_Ref> m_rows;
};

class Report_List;

class Report_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit Report_Model(Report_List& list);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    friend class Report_List;
    Report_List& m_list;
};

class Report_List : public QTreeView {
    Q_OBJECT
public:
    explicit Report_List(QWidget* parent = nullptr);

    // ---- Column headers: a key each, no text; widths in twips ----
    void Add_Column(const QString& strKey, double dblWidthTwips);
    int Column_Count() const { return static_cast<int>(m_columns.size()); }
    QString Column_Key(int lngColumn) const;
    double Column_Width(int lngColumn) const;
    void Set_Column_Width(int lngColumn, double dblWidthTwips);

    // ---- Items ----
    long Count() const { return m_rows.Count(); }
    // Appends one item: its text and sub-items (cells), an optional key (refused with
    // Run_Time_Error 35602 when already used) and the bold flag. Returns its index.
    long Add(const QStringList& cells, const QString& strKey = QString(), bool blnBold = false);
    // Appends many plain items at once (one model notification): the fast path.
    void Add_Many(Report_Rows&& rows);
    // Removes the items from lngIndex to the end.
    void Remove_From(long lngIndex);
    void Clear();

    QString Text(long lngIndex) const { return Cell(lngIndex, 1); }
    // lngSub from 1; "" when the item has no such sub-item.
    QString SubItem(long lngIndex, int lngSub) const { return Cell(lngIndex, lngSub + 1); }
    // The text of a column (1 = the item's text) and its UTF-8 bytes.
    QString Cell(long lngIndex, int lngColumn) const;
    QByteArrayView Cell_Utf8(long lngIndex, int lngColumn) const;
    bool Bold(long lngIndex) const;
    // True when a cell's text is wider than its column shows (1-based item and column).
    bool Cell_Is_Cut(long lngIndex, int lngColumn) const;

    // ---- Look ----
    // Picks the list's font: the widget's own size or smaller, condensed where the
    // system has such a face, so that strSample fits a column lngPixels wide.
    void Fit_Font(const QString& strSample, int lngPixels);
    void Set_Bold(long lngIndex, bool blnBold);
    QString Key(long lngIndex) const;
    long Find_Key(const QString& strKey) const;  // 0 when no item has the key

protected:
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    friend class Report_Model;
    void Check_Index(long lngIndex) const;
    void Check_Column(int lngColumn) const;
    void Apply_Column_Widths();

    struct Column {
        QString strKey;
        double dblWidth;
    };
    struct Keyed_Row {
        long lngIndex;
        QString strKey;
    };
    Report_Model* m_model;
    Report_Rows m_rows;
    std::vector<bool> m_bold;
    std::vector<Keyed_Row> m_keys;  // only the heading rows carry keys
    std::vector<Column> m_columns;
    bool m_blnApplyingWidths = false;
};

}  // namespace reporting
