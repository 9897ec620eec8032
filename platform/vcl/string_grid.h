#pragma once

#include "platform/rtl/stringlist.h"

#include <QTableView>

class TFixedColumns;
class TStringGridModel;

// A grid of texts, ColCount x RowCount. The first FixedCols columns are fixed: drawn as fixed
// cells, they stay where they are when the other columns scroll sideways. The user can neither
// edit cells nor size columns; a click selects a cell, whose row is the current row. Columns
// are held as whole lists, so a grid of many thousand rows fills at once; a list of packed
// lines stays packed in the grid, which makes Strings only of the cells it shows.
class TStringGrid : public QTableView {
    Q_OBJECT
public:
    TStringGrid(const String& name, QWidget* parent);
    ~TStringGrid() override;

    int ColCount() const;
    void SetColCount(int count);
    // At least one row; rows beyond the new count lose their texts.
    int RowCount() const;
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);

    String Cells(int col, int row) const;
    void SetCells(int col, int row, const String& text);
    // Column col takes the first RowCount entries of the list, row r showing entry r.
    void SetCol(int col, const QStringList& lines);
    void SetCol(int col, const TStringList& lines);
    QStringList Cols(int col) const;
    QStringList Rows(int row) const;

    // The current cell: the first row and the first column after the fixed ones until the
    // user selects another.
    int Row() const { return row_; }
    int Col() const { return col_; }
    void SetRow(int row);

    // The width of a column's cells; the grid line after them takes one pixel more.
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);

    // How many pixels of the columns after the fixed ones lie left of the view.
    int ScrollOffset() const;

signals:
    void DblClick();
    // The columns after the fixed ones were scrolled sideways to ScrollOffset.
    void HorizontalScroll(int offset);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    void showCurrent();
    void placeFixed();
    void reportScroll();
    int gridLine() const { return showGrid() ? 1 : 0; }

    TStringGridModel* model_;
    TFixedColumns* fixed_;
    int scrolled_ = 0;
    int fixedCols_ = 1;
    int row_ = 0;
    int col_ = 1;
};
