#pragma once
// The browse grid of the editing windows: a table of texts whose rows count as in a grid
// with a header row (row 0 is the header, data rows from 1), with the three events that the
// connector binds: row changing with a veto (mouse, keyboard and programmatic moves alike),
// may-sort with a veto, and sorted. A click on a column header sorts by that column and
// shows the indicator, which goes again as soon as the rows are no longer in that order.
// Tab and Shift+Tab leave the grid; a text that its cell cuts shows whole in a tooltip.

#include <QTableWidget>

#include <functional>
#include <string>

namespace parvela {

class TDACGrid : public QTableWidget {
    Q_OBJECT
public:
    // (old row, new row, allow in/out)
    using TRowChanging = std::function<void(int, int, bool&)>;
    using TMaySort = std::function<void(bool&)>;
    using TSorted = std::function<void()>;

    explicit TDACGrid(QWidget* parent = nullptr);

    // Rows including the header row; at least 2 (header and one data row).
    int RowCount() const { return rowCount() + 1; }
    void SetRowCount(int rows);
    int ColCount() const { return columnCount(); }
    void SetColCount(int columns);
    // The selected data row (1 for the first), 0 when there is none.
    int Row() const;
    // Selects the data row; the row-changing event decides as for a user's move. False when
    // it was refused.
    bool SetRow(int row);
    // Row 0 is the header.
    std::string Cell(int column, int row) const;
    void SetCell(int column, int row, const std::string& text);
    // An invalid colour gives the cell the grid's own background again.
    void SetCellBackground(int column, int row, const QColor& colour);
    // -1 and 0 hide the column. Other widths are pixels of the original's small font and are
    // scaled to this grid's font (ScaledColumnWidth); set the header text first.
    void SetColWidth(int column, int width, const QString& typicalContent = {});
    int ColWidth(int column) const;
    void SetRowHeights(int headerHeight, int dataHeight);
    void ScrollToRow(int row);

    // Sorts the data rows by the column's texts, keeping the selected item, when the may-sort
    // event allows it.
    void SortByColumn(int column, Qt::SortOrder order = Qt::AscendingOrder);

    void SetOnRowChanging(TRowChanging handler) { rowChanging_ = std::move(handler); }
    void SetOnMaySort(TMaySort handler) { maySort_ = std::move(handler); }
    void SetOnSorted(TSorted handler) { sorted_ = std::move(handler); }
    bool HasRowChangingHandler() const { return static_cast<bool>(rowChanging_); }

    // Asked by the selection model before the current row moves.
    bool AllowRowChange(int oldRow, int newRow);

protected:
    // No selection by dragging: a row is chosen by a click or the keys.
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void HeaderClicked(int column);
    // After any change of the cells: drops the sort indicator when the rows are no longer in
    // its order. Checked once the changes of the moment are done.
    void ScheduleSortCheck();
    void CheckSortOrder();
    QTableWidgetItem* EnsureItem(int column, int tableRow);

    TRowChanging rowChanging_;
    TMaySort maySort_;
    TSorted sorted_;
    int dataHeight_ = 18;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool changing_ = false;
    bool sortCheckScheduled_ = false;
};

// The windows' column widths are pixels for the original's small font (8 pt, DesignCharWidth
// pixels per average character). The width for this table's font: the design width scaled by
// the font's average character width, and at least what the header text (in the header's
// font, with room for the sort indicator) and the typical content need.
inline constexpr int DesignCharWidth = 5;

// Typical contents that the windows' columns show whole.
namespace TypicalContent {
inline const QString Key = QStringLiteral("999999");
inline const QString Caption = QStringLiteral("Assessment_Jinhua_01");
inline const QString DateTime = QStringLiteral("2000-12-31 23:59:59");
inline const QString Date = QStringLiteral("2000-12-31");
inline const QString NoValue = QStringLiteral("<no value given>");
} // namespace TypicalContent
int ScaledColumnWidth(const QTableWidget& table, int column, int designWidth,
                      const QString& typicalContent = {});

// From now on the column (a description) takes the width that the table's other columns
// leave, never less than the width it has now; the user may still resize every column. Calling
// it again for the same table changes the column.
void GiveSpareWidthTo(QTableWidget& table, int column);

} // namespace parvela
