#pragma once

#include "platform/data/mydatasource.h"

#include <QPointer>
#include <QSet>
#include <QTableView>

#include <map>
#include <memory>

// The editing state of one data source, shared by every control bound to it: the current
// row, and the row being edited or inserted with the values typed so far. A changed row goes
// to the table on Post; an inserted row is shown after the table's rows until it is posted
// or cancelled. The data source and its table must outlive the controls bound to them.
class TDataLink : public QObject {
    Q_OBJECT
public:
    enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

    // The one link of the data source while any control holds it.
    static std::shared_ptr<TDataLink> Of(TMyDataSource* source);
    ~TDataLink() override;

    TMyDataSource* DataSource() const { return source_; }
    TMyTable* Table() const { return table_; }
    // The data source enabled and its table open.
    bool Active() const { return active_; }
    TDataSetState State() const;
    // A value was typed into the row being edited or inserted.
    bool Modified() const { return !edits_.empty(); }

    // The table's rows, and the one being inserted; 0 while inactive.
    int RecordCount() const;
    int FieldCount() const;
    String FieldName(int field) const;
    // The current row, -1 without one.
    int Row() const { return row_; }
    // The row being edited or inserted, -1 while browsing.
    int EditRow() const;

    // A value as shown: what was typed, else what the table holds (NULL as the empty text).
    String Text(int row, int field) const;
    // A value typed into a row. Typing the text the cell shows changes nothing; typing into
    // another row moves there first. Returns false when the row cannot be changed.
    bool SetText(int row, int field, const String& text);

    // Moving posts a modified row and drops an unmodified one first; a refused post raises
    // its error and the cursor stays.
    void MoveTo(int row);
    void First();
    void Prior();
    void Next();
    void Last();
    // A new empty row after the table's rows; posted as an insert (the key left to the
    // table's auto-increment).
    void Insert();
    void Edit();
    // A refusal of the server raises its error; the row stays in edit.
    void Post();
    void Cancel();
    // Deletes the current row (cancels the one being inserted), after the question
    // "Datensatz löschen?" when confirm is set. A refusal leaves the row as it was.
    void Delete(bool confirm);
    // Reads the table anew; a pending edit is posted or dropped first.
    void Refresh();
    // Posts a modified row, drops an unmodified one.
    void CheckBrowseMode();

signals:
    void resetting();
    void reset();
    void rowInserting(int row);
    void rowInserted();
    void rowRemoving(int row);
    void rowRemoved();
    void rowChanged(int row);
    // The state or the current row changed.
    void stateChanged();
    // Before a post: controls hand over a value they hold in an editor.
    void updateData();

private:
    explicit TDataLink(TMyDataSource* source);
    void tableChanged(const TMyTableChange& change);
    void sourceChanged();
    void setRow(int row);
    void dropEdit();
    void resetRow(int before);
    bool computeActive() const;

    TMyDataSource* source_;
    TMyTable* table_;
    int tableListener_ = 0;
    int sourceListener_ = 0;
    bool active_ = false;
    TDataSetState state_ = dsBrowse;
    int row_ = -1;
    // Where the cursor stood before an insert, and before a reset.
    int insertFrom_ = -1;
    int resetFrom_ = -1;
    bool postingInsert_ = false;
    std::map<int, String> edits_;
};

// A grid bound to a data source: one column per field of the table in the table's order,
// titled with the field's name; a title row, a row indicator, in-place editing and resizable
// columns. While the data source is disabled or its table closed it shows no data.
//
// An edited row is posted when the user moves to another row (or by the navigator); Escape
// cancels the edit, Insert adds a row, Ctrl+Delete deletes the current one after the question.
// Errors of the table go to the application's error handler.
class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;

    void SetDataSource(TMyDataSource* source);
    TMyDataSource* DataSource() const;
    TDataLink* Link() const { return link_.get(); }

    // Ask "Datensatz löschen?" before Ctrl+Delete deletes.
    bool ConfirmDelete = true;

    // The column of a field, -1 where the grid has none.
    int FieldColumn(const String& fieldName) const;
    // Hides or shows the column of a field by name; kept while the grid makes its columns
    // anew (the data source enabled again, the table reopened).
    void SetFieldVisible(const String& fieldName, bool visible);

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    class Model;
    class Delegate;

    void fitRows();
    void applyColumns();
    // Keeps the current cell out of hidden columns.
    void currentToVisible();
    int firstVisibleColumn() const;
    // The in-place editor while it is open.
    QWidget* openEditor() const;
    void commitEditor();
    void closeEditorNow();
    void stateChanged();
    // Leaves the row being edited before the cursor goes elsewhere; false when it stays.
    bool leaveRow(int target);
    void syncCurrent();

    std::shared_ptr<TDataLink> link_;
    Model* model_;
    Delegate* delegate_;
    QPointer<QWidget> editor_;
    QSet<String> hidden_;
    TDataLink::TDataSetState lastState_ = TDataLink::dsInactive;
    bool syncing_ = false;
};
