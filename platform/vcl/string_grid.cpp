#include "platform/vcl/string_grid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// A column's width before the program sets one: 64 pixels of cells and the grid line.
constexpr int kDefaultWidth = 65;

void truncate(TStringList& lines, int count)
{
    while (lines.Count() > count)
        lines.Delete(lines.Count() - 1);
}

} // namespace

class TStringGridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    std::vector<TStringList> columns{5};
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
        const TStringList& c = columns[static_cast<std::size_t>(col)];
        return row >= 0 && row < c.Count() ? c.Line(row) : String();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole)
            return text(index.column(), index.row());
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
        for (TStringList& c : columns)
            truncate(c, rows);
        endResetModel();
    }

    void changedColumn(int col)
    {
        emit dataChanged(index(0, col), index(rows - 1, col), {Qt::DisplayRole});
    }
};

// The fixed columns, drawn as the grid's row header: the view scrolls its other columns
// sideways beside them, and their rows follow the view's rows.
class TFixedColumns : public QHeaderView {
public:
    TFixedColumns(const TStringGridModel* model, QWidget* parent)
        : QHeaderView(Qt::Vertical, parent), model_(model)
    {
    }

    // The width of each fixed column, grid line included.
    std::vector<int> widths;

    int total() const { return std::accumulate(widths.begin(), widths.end(), 0); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QHeaderView::paintEvent(event);
        // Below the last row the grid's background, as beside it.
        const int end = length() - offset();
        if (end < viewport()->height()) {
            QPainter painter(viewport());
            painter.fillRect(0, end, viewport()->width(), viewport()->height() - end,
                             palette().base());
        }
    }

    void paintSection(QPainter* painter, const QRect& rect, int row) const override
    {
        // The text stands where the grid's own cells put theirs.
        const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
        int left = rect.left();
        for (std::size_t c = 0; c < widths.size(); ++c) {
            QStyleOptionHeader option;
            initStyleOption(&option);
            option.rect = QRect(left, rect.top(), widths[c], rect.height());
            option.section = row;
            option.position = QStyleOptionHeader::Middle;
            painter->save();
            style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
            style()->drawItemText(painter, option.rect.adjusted(margin, 0, -margin, -1),
                                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                                  option.palette, isEnabled(),
                                  model_->text(static_cast<int>(c), row), QPalette::ButtonText);
            painter->restore();
            left += widths[c];
        }
    }

private:
    const TStringGridModel* model_;
};

TStringGrid::TStringGrid(const String& name, QWidget* parent)
    : QTableView(parent), model_(new TStringGridModel(this)),
      fixed_(new TFixedColumns(model_, this))
{
    setObjectName(name);
    setModel(model_);
    setVerticalHeader(fixed_);
    horizontalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultSectionSize(kDefaultWidth);
    fixed_->setSectionResizeMode(QHeaderView::Fixed);
    fixed_->setDefaultSectionSize(fontMetrics().height() + 6);
    fixed_->setHighlightSections(false);
    fixed_->setSectionsClickable(true);
    // A fixed cell is never current: a click on it makes its row current.
    connect(fixed_, &QHeaderView::sectionPressed, this, [this](int row) { SetRow(row); });
    connect(fixed_, &QHeaderView::sectionDoubleClicked, this, [this] { emit DblClick(); });
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
    placeFixed();
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
    placeFixed();
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
    const int fixed = std::clamp(count, 0, ColCount());
    std::vector<int>& widths = fixed_->widths;
    // A column keeps its width when it becomes fixed or free.
    for (int c = fixed; c < static_cast<int>(widths.size()); ++c) {
        setColumnHidden(c, false);
        setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    }
    for (int c = static_cast<int>(widths.size()); c < fixed; ++c)
        widths.push_back(columnWidth(c));
    widths.resize(static_cast<std::size_t>(fixed));
    fixedCols_ = fixed;
    model_->fixed = fixedCols_;
    model_->reset(ColCount(), RowCount());
    placeFixed();
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
    TStringList& c = model_->columns[static_cast<std::size_t>(col)];
    while (c.Count() <= row)
        c.Add(String());
    c[row] = text;
    const QModelIndex at = model_->index(row, col);
    emit model_->dataChanged(at, at, {Qt::DisplayRole});
}

void TStringGrid::SetCol(int col, const QStringList& lines)
{
    TStringList list;
    for (qsizetype i = 0; i < lines.size() && i < RowCount(); ++i)
        list.Add(lines[i]);
    SetCol(col, list);
}

void TStringGrid::SetCol(int col, const TStringList& lines)
{
    if (col < 0 || col >= ColCount())
        return;
    // A copy shares the packed lines' block.
    TStringList& c = model_->columns[static_cast<std::size_t>(col)];
    c = lines;
    truncate(c, RowCount());
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

int TStringGrid::ColWidths(int col) const
{
    if (col < 0 || col >= ColCount())
        return 0;
    const int width = col < static_cast<int>(fixed_->widths.size())
                          ? fixed_->widths[static_cast<std::size_t>(col)]
                          : columnWidth(col);
    return std::max(width - gridLine(), 0);
}

void TStringGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= ColCount())
        return;
    const int withLine = std::max(width, 0) + gridLine();
    if (col < static_cast<int>(fixed_->widths.size())) {
        fixed_->widths[static_cast<std::size_t>(col)] = withLine;
        placeFixed();
    } else {
        setColumnWidth(col, withLine);
    }
}

int TStringGrid::ScrollOffset() const
{
    return horizontalHeader()->offset();
}

void TStringGrid::placeFixed()
{
    std::vector<int>& widths = fixed_->widths;
    widths.resize(static_cast<std::size_t>(std::min(fixedCols_, ColCount())), kDefaultWidth);
    const int count = static_cast<int>(widths.size());
    for (int c = 0; c < ColCount(); ++c)
        setColumnHidden(c, c < count);
    fixed_->setFixedWidth(fixed_->total());
    fixed_->setVisible(count > 0);
    fixed_->viewport()->update();
    // The other columns start where the fixed ones end.
    updateGeometries();
}

void TStringGrid::reportScroll()
{
    const int offset = ScrollOffset();
    if (offset == scrolled_)
        return;
    scrolled_ = offset;
    emit HorizontalScroll(offset);
}

void TStringGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    reportScroll();
}

void TStringGrid::updateGeometries()
{
    QTableView::updateGeometries();
    reportScroll();
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
