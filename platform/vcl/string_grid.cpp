#include "platform/vcl/string_grid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QPalette>

#include <vector>

class TStringGridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    std::vector<QStringList> columns{5};
    int rows = 5;
    int fixed = 1;

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(columns.size());
    }

    String text(int col, int row) const
    {
        if (col < 0 || col >= static_cast<int>(columns.size()))
            return String();
        const QStringList& c = columns[static_cast<std::size_t>(col)];
        return row >= 0 && row < c.size() ? c[row] : String();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole)
            return text(index.column(), index.row());
        if (role == Qt::BackgroundRole && index.column() < fixed)
            return QApplication::palette().button();
        return QVariant();
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return index.column() < fixed ? Qt::ItemIsEnabled
                                      : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

    void reset(int colCount, int rowCount)
    {
        beginResetModel();
        columns.resize(static_cast<std::size_t>(colCount));
        rows = rowCount;
        for (QStringList& c : columns)
            if (c.size() > rows)
                c.erase(c.begin() + rows, c.end());
        endResetModel();
    }

    void changedColumn(int col)
    {
        emit dataChanged(index(0, col), index(rows - 1, col), {Qt::DisplayRole});
    }
};

TStringGrid::TStringGrid(const String& name, QWidget* parent)
    : QTableView(parent), model_(new TStringGridModel(this))
{
    setObjectName(name);
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultSectionSize(64);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    setTabKeyNavigation(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!current.isValid())
                    return;
                row_ = current.row();
                if (current.column() < fixedCols_ && fixedCols_ < ColCount()) {
                    // A fixed cell is never current: its row is, in the first free column.
                    showCurrent();
                    return;
                }
                col_ = current.column();
            });
    showCurrent();
}

TStringGrid::~TStringGrid() = default;

int TStringGrid::ColCount() const
{
    return static_cast<int>(model_->columns.size());
}

void TStringGrid::SetColCount(int count)
{
    model_->reset(std::max(count, 1), model_->rows);
    col_ = std::min(col_, ColCount() - 1);
    showCurrent();
}

int TStringGrid::RowCount() const
{
    return model_->rows;
}

void TStringGrid::SetRowCount(int count)
{
    model_->reset(ColCount(), std::max(count, 1));
    row_ = std::min(row_, RowCount() - 1);
    showCurrent();
}

void TStringGrid::SetFixedCols(int count)
{
    fixedCols_ = std::max(count, 0);
    model_->fixed = fixedCols_;
    model_->reset(ColCount(), RowCount());
    col_ = std::clamp(col_, std::min(fixedCols_, ColCount() - 1), ColCount() - 1);
    showCurrent();
}

String TStringGrid::Cells(int col, int row) const
{
    return model_->text(col, row);
}

void TStringGrid::SetCells(int col, int row, const String& text)
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        return;
    QStringList& c = model_->columns[static_cast<std::size_t>(col)];
    while (c.size() <= row)
        c.append(String());
    c[row] = text;
    const QModelIndex at = model_->index(row, col);
    emit model_->dataChanged(at, at, {Qt::DisplayRole});
}

void TStringGrid::SetCol(int col, const QStringList& lines)
{
    if (col < 0 || col >= ColCount())
        return;
    model_->columns[static_cast<std::size_t>(col)] =
        lines.size() > RowCount() ? lines.mid(0, RowCount()) : lines;
    model_->changedColumn(col);
}

QStringList TStringGrid::Cols(int col) const
{
    QStringList out;
    for (int r = 0; r < RowCount(); ++r)
        out << Cells(col, r);
    return out;
}

QStringList TStringGrid::Rows(int row) const
{
    QStringList out;
    for (int c = 0; c < ColCount(); ++c)
        out << Cells(c, row);
    return out;
}

void TStringGrid::SetRow(int row)
{
    row_ = std::clamp(row, 0, RowCount() - 1);
    showCurrent();
}

void TStringGrid::SetColWidths(int col, int width)
{
    setColumnWidth(col, std::max(width, 0));
}

void TStringGrid::showCurrent()
{
    const QModelIndex at = model_->index(row_, col_);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit DblClick();
}
