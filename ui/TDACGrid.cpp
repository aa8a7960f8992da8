#include "ui/TDACGrid.h"

#include "ui/TParvelaApplication.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace parvela {

namespace {

// Every move of the current row, by mouse, keyboard or program, is put to the grid's
// row-changing event first; a refused move leaves current row and selection alone.
class TVetoSelectionModel : public QItemSelectionModel {
public:
    TVetoSelectionModel(QAbstractItemModel* model, TDACGrid& grid)
        : QItemSelectionModel(model, &grid), grid_(grid) {}

    void setCurrentIndex(const QModelIndex& index, SelectionFlags command) override {
        const QModelIndex current = currentIndex();
        if (index.isValid() && current.isValid() && index.row() != current.row() &&
            !grid_.AllowRowChange(current.row() + 1, index.row() + 1))
            return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }

    void select(const QItemSelection& selection, SelectionFlags command) override {
        if (LeavesCurrentRow(selection))
            return;
        QItemSelectionModel::select(selection, command);
    }
    using QItemSelectionModel::select;

private:
    // The selection follows the current row; one of another row is the rest of a refused move.
    bool LeavesCurrentRow(const QItemSelection& selection) const {
        const QModelIndex current = currentIndex();
        if (!current.isValid() || selection.isEmpty())
            return false;
        for (const QItemSelectionRange& range : selection)
            if (range.top() <= current.row() && current.row() <= range.bottom())
                return false;
        return true;
    }

    TDACGrid& grid_;
};

// What the header needs to show the text whole beside a sort indicator.
int HeaderWidth(const QHeaderView& header, int column, const QString& text) {
    QStyleOptionHeader option;
    option.initFrom(&header);
    option.section = column;
    option.text = text;
    option.fontMetrics = QFontMetrics(header.font());
    option.sortIndicator = QStyleOptionHeader::SortDown;
    return header.style()
        ->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), &header)
        .width();
}

// What a cell needs to show the text whole: the text's exact advance (the view elides by it,
// not by whole pixels), the item view's text margins and the grid line.
int CellWidth(const QTableWidget& table, const QString& text) {
    const int margin =
        table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table) + 1;
    const double advance = QFontMetricsF(table.font()).horizontalAdvance(text);
    return static_cast<int>(std::ceil(advance)) + 2 * margin + 1;
}

constexpr const char* SpareWidthName = "parvelaSpareWidth";

// Gives one column of a table the width that the others leave, at every change of the room
// or of another column's width.
class TSpareWidth : public QObject {
public:
    explicit TSpareWidth(QTableWidget& table) : QObject(&table), table_(table) {
        setObjectName(SpareWidthName);
        table.viewport()->installEventFilter(this);
        connect(table.horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section) {
            if (section != column_)
                Fit();
        });
    }

    void SetColumn(int column) {
        column_ = column;
        minimumWidth_ = table_.columnWidth(column);
        Fit();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            Fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void Fit() {
        if (column_ < 0 || column_ >= table_.columnCount() || table_.isColumnHidden(column_))
            return;
        int others = 0;
        for (int column = 0; column < table_.columnCount(); ++column)
            if (column != column_ && !table_.isColumnHidden(column))
                others += table_.columnWidth(column);
        const int width = std::max(minimumWidth_, table_.viewport()->width() - others);
        if (width != table_.columnWidth(column_))
            table_.setColumnWidth(column_, width);
    }

    QTableWidget& table_;
    int column_ = -1;
    int minimumWidth_ = 0;
};

} // namespace

void GiveSpareWidthTo(QTableWidget& table, int column) {
    auto* spare = static_cast<TSpareWidth*>(
        table.findChild<QObject*>(SpareWidthName, Qt::FindDirectChildrenOnly));
    if (!spare)
        spare = new TSpareWidth(table);
    spare->SetColumn(column);
}

int ScaledColumnWidth(const QTableWidget& table, int column, int designWidth,
                      const QString& typicalContent) {
    const double scale =
        std::max(1.0, table.fontMetrics().averageCharWidth() / double(DesignCharWidth));
    int width = static_cast<int>(std::lround(designWidth * scale));
    if (const QTableWidgetItem* header = table.horizontalHeaderItem(column))
        width = std::max(width, HeaderWidth(*table.horizontalHeader(), column, header->text()));
    if (!typicalContent.isEmpty())
        width = std::max(width, CellWidth(table, typicalContent));
    return width;
}

TDACGrid::TDACGrid(QWidget* parent) : QTableWidget(parent) {
    setSelectionModel(new TVetoSelectionModel(model(), *this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab moves on to the next control, as everywhere else in the window.
    setTabKeyNavigation(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TDACGrid::HeaderClicked);
    connect(model(), &QAbstractItemModel::dataChanged, this, &TDACGrid::ScheduleSortCheck);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &TDACGrid::ScheduleSortCheck);
    setRowCount(1);
}

void TDACGrid::SetRowCount(int rows) {
    setRowCount(std::max(rows, 2) - 1);
    for (int row = 0; row < rowCount(); ++row)
        setRowHeight(row, dataHeight_);
}

void TDACGrid::SetColCount(int columns) {
    setColumnCount(columns);
    for (int column = 0; column < columns; ++column)
        if (!horizontalHeaderItem(column))
            setHorizontalHeaderItem(column, new QTableWidgetItem());
}

int TDACGrid::Row() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

bool TDACGrid::SetRow(int row) {
    int column = 0;
    while (column < columnCount() - 1 && isColumnHidden(column))
        ++column;
    setCurrentCell(row - 1, column,
                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return Row() == row;
}

std::string TDACGrid::Cell(int column, int row) const {
    const QTableWidgetItem* cell = row == 0 ? horizontalHeaderItem(column) : item(row - 1, column);
    return cell ? cell->text().toStdString() : std::string();
}

QTableWidgetItem* TDACGrid::EnsureItem(int column, int tableRow) {
    QTableWidgetItem* cell = item(tableRow, column);
    if (!cell) {
        cell = new QTableWidgetItem();
        cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        setItem(tableRow, column, cell);
    }
    return cell;
}

void TDACGrid::SetCell(int column, int row, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (row == 0) {
        if (!horizontalHeaderItem(column))
            setHorizontalHeaderItem(column, new QTableWidgetItem());
        horizontalHeaderItem(column)->setText(value);
        return;
    }
    EnsureItem(column, row - 1)->setText(value);
}

void TDACGrid::SetCellBackground(int column, int row, const QColor& colour) {
    EnsureItem(column, row - 1)->setBackground(colour.isValid() ? QBrush(colour) : QBrush());
}

void TDACGrid::SetColWidth(int column, int width, const QString& typicalContent) {
    setColumnHidden(column, width <= 0);
    if (width > 0)
        setColumnWidth(column, ScaledColumnWidth(*this, column, width, typicalContent));
}

int TDACGrid::ColWidth(int column) const {
    return isColumnHidden(column) ? -1 : columnWidth(column);
}

void TDACGrid::SetRowHeights(int headerHeight, int dataHeight) {
    dataHeight_ = dataHeight;
    verticalHeader()->setDefaultSectionSize(dataHeight);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setFixedHeight(headerHeight);
    for (int row = 0; row < rowCount(); ++row)
        setRowHeight(row, dataHeight);
}

void TDACGrid::ScrollToRow(int row) {
    if (row >= 1 && row <= rowCount())
        scrollToItem(EnsureItem(0, row - 1));
}

bool TDACGrid::AllowRowChange(int oldRow, int newRow) {
    if (!rowChanging_ || changing_)
        return true;
    bool allow = true;
    changing_ = true;
    try {
        rowChanging_(oldRow, newRow, allow);
    } catch (const std::exception& failure) {
        // A failure must not unwind through the view's event handling: shown, and the move
        // refused.
        allow = false;
        ReportGeneralError(failure);
    }
    changing_ = false;
    return allow;
}

void TDACGrid::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

bool TDACGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QTableWidgetItem* cell = itemAt(help->pos());
        if (cell && CellWidth(*this, cell->text()) > columnWidth(cell->column())) {
            QToolTip::showText(help->globalPos(), cell->text(), viewport(), visualItemRect(cell));
            return true;
        }
    }
    // Elsewhere the grid's own hint.
    return QTableWidget::viewportEvent(event);
}

void TDACGrid::HeaderClicked(int column) {
    const Qt::SortOrder order = column == sortColumn_ && sortOrder_ == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    SortByColumn(column, order);
}

void TDACGrid::SortByColumn(int column, Qt::SortOrder order) {
    bool allow = true;
    if (maySort_)
        maySort_(allow);
    if (!allow)
        return;
    sortColumn_ = column;
    sortOrder_ = order;
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column, order);
    sortItems(column, order);
    if (sorted_)
        sorted_();
}

void TDACGrid::ScheduleSortCheck() {
    if (sortColumn_ < 0 || sortCheckScheduled_)
        return;
    sortCheckScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        sortCheckScheduled_ = false;
        CheckSortOrder();
    });
}

void TDACGrid::CheckSortOrder() {
    if (sortColumn_ < 0 || sortColumn_ >= columnCount())
        return;
    for (int row = 1; row < rowCount(); ++row) {
        const QTableWidgetItem* before = item(row - 1, sortColumn_);
        const QTableWidgetItem* after = item(row, sortColumn_);
        if (!before || !after)
            continue;
        // The order that sortItems made, by the items' own comparison.
        const bool inOrder =
            sortOrder_ == Qt::AscendingOrder ? !(*after < *before) : !(*before < *after);
        if (!inOrder) {
            sortColumn_ = -1;
            horizontalHeader()->setSortIndicatorShown(false);
            return;
        }
    }
}

} // namespace parvela
