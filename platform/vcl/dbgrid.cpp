#include "platform/vcl/dbgrid.h"

#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

std::map<TMyDataSource*, std::weak_ptr<TDataLink>>& links()
{
    static std::map<TMyDataSource*, std::weak_ptr<TDataLink>> map;
    return map;
}

// Sets a flag for the lifetime of the scope.
class Flag {
public:
    explicit Flag(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~Flag() { flag_ = before_; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

private:
    bool& flag_;
    bool before_;
};

} // namespace

// ---- TDataLink

std::shared_ptr<TDataLink> TDataLink::Of(TMyDataSource* source)
{
    if (!source)
        return nullptr;
    std::weak_ptr<TDataLink>& entry = links()[source];
    if (std::shared_ptr<TDataLink> link = entry.lock())
        return link;
    std::shared_ptr<TDataLink> link(new TDataLink(source));
    entry = link;
    return link;
}

TDataLink::TDataLink(TMyDataSource* source) : source_(source), table_(source->Table())
{
    if (table_)
        tableListener_ = table_->AddListener([this](const TMyTableChange& c) { tableChanged(c); });
    sourceListener_ = source_->AddListener([this] { sourceChanged(); });
    active_ = computeActive();
    resetRow(0);
}

TDataLink::~TDataLink()
{
    if (table_)
        table_->RemoveListener(tableListener_);
    source_->RemoveListener(sourceListener_);
    auto& map = links();
    const auto it = map.find(source_);
    if (it != map.end() && it->second.expired())
        map.erase(it);
}

bool TDataLink::computeActive() const
{
    return source_->Enabled() && table_ && table_->Active();
}

TDataLink::TDataSetState TDataLink::State() const
{
    return active_ ? state_ : dsInactive;
}

int TDataLink::RecordCount() const
{
    if (!active_)
        return 0;
    return table_->RecordCount() + (state_ == dsInsert ? 1 : 0);
}

int TDataLink::FieldCount() const
{
    return active_ ? table_->FieldCount() : 0;
}

String TDataLink::FieldName(int field) const
{
    if (field < 0 || field >= FieldCount())
        return String();
    return table_->FieldName(field);
}

int TDataLink::EditRow() const
{
    return State() == dsEdit || State() == dsInsert ? row_ : -1;
}

String TDataLink::Text(int row, int field) const
{
    if (!active_ || field < 0 || field >= FieldCount())
        return String();
    if (row == EditRow()) {
        const auto it = edits_.find(field);
        if (it != edits_.end())
            return it->second;
        if (state_ == dsInsert)
            return String();
    }
    if (row < 0 || row >= table_->RecordCount())
        return String();
    return table_->Cell(row, field).AsString();
}

bool TDataLink::SetText(int row, int field, const String& text)
{
    if (!active_ || field < 0 || field >= FieldCount() || row < 0 || row >= RecordCount())
        return false;
    if (text == Text(row, field))
        return true;
    MoveTo(row);
    if (row_ != row)
        return false;
    Edit();
    edits_[field] = text;
    emit rowChanged(row);
    emit stateChanged();
    return true;
}

void TDataLink::setRow(int row)
{
    row_ = row;
    if (active_ && row >= 0 && row <= table_->RecordCount())
        table_->SetRecNo(row);
    emit stateChanged();
}

void TDataLink::resetRow(int before)
{
    const int n = RecordCount();
    row_ = n == 0 ? -1 : std::clamp(before, 0, n - 1);
    if (row_ >= 0)
        table_->SetRecNo(row_);
}

void TDataLink::MoveTo(int row)
{
    const int n = RecordCount();
    if (n == 0)
        return;
    row = std::clamp(row, 0, n - 1);
    if (row == row_)
        return;
    CheckBrowseMode();
    // Dropping an unmodified insert removed the last row.
    setRow(std::min(row, RecordCount() - 1));
}

void TDataLink::First()
{
    MoveTo(0);
}

void TDataLink::Prior()
{
    if (row_ > 0)
        MoveTo(row_ - 1);
}

void TDataLink::Next()
{
    if (row_ >= 0)
        MoveTo(row_ + 1);
}

void TDataLink::Last()
{
    MoveTo(RecordCount() - 1);
}

void TDataLink::Insert()
{
    if (!active_)
        return;
    CheckBrowseMode();
    if (state_ != dsBrowse)
        return;
    insertFrom_ = row_;
    const int at = table_->RecordCount();
    emit rowInserting(at);
    state_ = dsInsert;
    edits_.clear();
    row_ = at;
    emit rowInserted();
    setRow(at);
}

void TDataLink::Edit()
{
    if (!active_ || state_ != dsBrowse || row_ < 0)
        return;
    state_ = dsEdit;
    emit stateChanged();
}

void TDataLink::Post()
{
    if (State() != dsEdit && State() != dsInsert)
        return;
    emit updateData();
    TMyValues values;
    for (const auto& [field, text] : edits_)
        values.emplace_back(FieldName(field), TMyValue(AnsiString(text)));
    if (state_ == dsEdit) {
        const int row = row_;
        table_->UpdateRow(row, values);
        state_ = dsBrowse;
        edits_.clear();
        emit rowChanged(row);
        emit stateChanged();
        return;
    }
    // The table's notice of the new row ends the insert.
    Flag posting(postingInsert_);
    table_->InsertRow(values);
}

void TDataLink::Cancel()
{
    if (State() == dsEdit) {
        dropEdit();
        emit rowChanged(row_);
        emit stateChanged();
    } else if (State() == dsInsert) {
        emit rowRemoving(row_);
        dropEdit();
        emit rowRemoved();
        const int n = table_->RecordCount();
        setRow(n == 0 ? -1 : std::clamp(insertFrom_, 0, n - 1));
    }
}

void TDataLink::dropEdit()
{
    state_ = dsBrowse;
    edits_.clear();
}

void TDataLink::Delete(bool confirm)
{
    if (!active_ || row_ < 0)
        return;
    if (confirm && MessageDlg(QString::fromUtf8("Datensatz löschen?"), mtConfirmation,
                              {mbYes, mbNo}, 0) != mrYes)
        return;
    if (state_ == dsInsert)
        Cancel();
    else
        table_->DeleteRow(row_);
}

void TDataLink::Refresh()
{
    if (!active_)
        return;
    CheckBrowseMode();
    table_->Refresh();
}

void TDataLink::CheckBrowseMode()
{
    if (State() != dsEdit && State() != dsInsert)
        return;
    emit updateData();
    if (Modified())
        Post();
    else
        Cancel();
}

void TDataLink::tableChanged(const TMyTableChange& change)
{
    switch (change.kind) {
    case TMyTableChange::Reset:
        if (!change.done) {
            emit resetting();
            resetFrom_ = row_;
            dropEdit();
        } else {
            active_ = computeActive();
            resetRow(resetFrom_);
            emit reset();
            emit stateChanged();
        }
        break;
    case TMyTableChange::Insert:
        if (postingInsert_) {
            // The row being inserted becomes the table's new row, at the same place.
            if (change.done) {
                dropEdit();
                row_ = change.row;
                emit rowChanged(change.row);
                emit stateChanged();
            }
        } else if (!active_) {
        } else if (!change.done) {
            emit rowInserting(change.row);
        } else {
            if (row_ >= change.row)
                ++row_;
            emit rowInserted();
            emit stateChanged();
        }
        break;
    case TMyTableChange::Update:
        if (active_ && change.done)
            emit rowChanged(change.row);
        break;
    case TMyTableChange::Delete:
        if (!active_) {
        } else if (!change.done) {
            emit rowRemoving(change.row);
        } else {
            if (row_ == change.row && state_ != dsBrowse)
                dropEdit();
            if (row_ > change.row)
                --row_;
            row_ = std::min(row_, RecordCount() - 1);
            emit rowRemoved();
            setRow(row_);
        }
        break;
    }
}

void TDataLink::sourceChanged()
{
    emit resetting();
    const int before = row_;
    dropEdit();
    active_ = computeActive();
    resetRow(before);
    emit reset();
    emit stateChanged();
}

// ---- the grid's model: the link's rows and fields

class TDBGrid::Model : public QAbstractTableModel {
public:
    explicit Model(TDBGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    void setLink(TDataLink* link)
    {
        beginResetModel();
        if (link_)
            link_->disconnect(this);
        link_ = link;
        if (link_) {
            connect(link_, &TDataLink::resetting, this, [this] { beginResetModel(); });
            connect(link_, &TDataLink::reset, this, [this] { endResetModel(); });
            connect(link_, &TDataLink::rowInserting, this,
                    [this](int row) { beginInsertRows(QModelIndex(), row, row); });
            connect(link_, &TDataLink::rowInserted, this, [this] { endInsertRows(); });
            connect(link_, &TDataLink::rowRemoving, this,
                    [this](int row) { beginRemoveRows(QModelIndex(), row, row); });
            connect(link_, &TDataLink::rowRemoved, this, [this] { endRemoveRows(); });
            connect(link_, &TDataLink::rowChanged, this, [this](int row) {
                if (row >= 0 && row < rowCount())
                    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
            });
            connect(link_, &TDataLink::stateChanged, this, [this] {
                if (rowCount() > 0)
                    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
            });
        }
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() || !link_ ? 0 : link_->RecordCount();
    }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() || !link_ ? 0 : link_->FieldCount();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!link_ || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return QVariant();
        return link_->Text(index.row(), index.column());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (!link_ || role != Qt::DisplayRole)
            return QVariant();
        if (orientation == Qt::Horizontal)
            return link_->FieldName(section);
        if (section != link_->Row())
            return String();
        switch (link_->State()) {
        case TDataLink::dsEdit:
            return QStringLiteral("I");
        case TDataLink::dsInsert:
            return QStringLiteral("*");
        default:
            return QStringLiteral("\u25B6");
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!link_ || !index.isValid() || role != Qt::EditRole)
            return false;
        bool done = false;
        Guard(grid_, [&] { done = link_->SetText(index.row(), index.column(), value.toString()); });
        return done;
    }

private:
    TDBGrid* grid_;
    TDataLink* link_ = nullptr;
};

// ---- the in-place editor: typing starts the edit, Escape cancels it

class TDBGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(TDBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        grid_->editor_ = editor;
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            TDBGrid* grid = grid_;
            connect(line, &QLineEdit::textEdited, grid, [grid] {
                Guard(grid, [grid] {
                    if (grid->link_)
                        grid->link_->Edit();
                });
            });
        }
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && grid_->link_ &&
            grid_->link_->EditRow() >= 0) {
            Guard(grid_, [this] { grid_->link_->Cancel(); });
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TDBGrid* grid_;
};

// ---- TDBGrid

TDBGrid::TDBGrid(QWidget* parent)
    : QTableView(parent), model_(new Model(this)), delegate_(new Delegate(this))
{
    setModel(model_);
    setItemDelegate(delegate_);
    setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    fitRows();
    // After the views' own handling of a reset, which forgets hidden sections.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { applyColumns(); });
}

void TDBGrid::fitRows()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(fontMetrics().height() + 4);
}

void TDBGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRows();
}

TDBGrid::~TDBGrid()
{
    model_->setLink(nullptr);
    if (link_)
        link_->disconnect(this);
}

void TDBGrid::SetDataSource(TMyDataSource* source)
{
    if (link_)
        link_->disconnect(this);
    link_ = TDataLink::Of(source);
    model_->setLink(link_.get());
    if (link_) {
        connect(link_.get(), &TDataLink::stateChanged, this, [this] { stateChanged(); });
        connect(link_.get(), &TDataLink::updateData, this, [this] { commitEditor(); });
    }
    lastState_ = link_ ? link_->State() : TDataLink::dsInactive;
    syncCurrent();
}

TMyDataSource* TDBGrid::DataSource() const
{
    return link_ ? link_->DataSource() : nullptr;
}

int TDBGrid::FieldColumn(const String& fieldName) const
{
    for (int c = 0; c < model_->columnCount(); ++c)
        if (link_->FieldName(c).compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void TDBGrid::SetFieldVisible(const String& fieldName, bool visible)
{
    if (visible)
        hidden_.remove(fieldName.toLower());
    else
        hidden_.insert(fieldName.toLower());
    const int column = FieldColumn(fieldName);
    if (column >= 0)
        setColumnHidden(column, !visible);
    currentToVisible();
}

void TDBGrid::applyColumns()
{
    for (int c = 0; c < model_->columnCount(); ++c) {
        setColumnHidden(c, hidden_.contains(link_->FieldName(c).toLower()));
        setColumnWidth(c, link_->Table()->IsKeyField(c) ? 64 : 200);
    }
    currentToVisible();
}

int TDBGrid::firstVisibleColumn() const
{
    for (int c = 0; c < model_->columnCount(); ++c)
        if (!isColumnHidden(c))
            return c;
    return -1;
}

void TDBGrid::currentToVisible()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !isColumnHidden(current.column()))
        return;
    const int column = firstVisibleColumn();
    if (column < 0)
        return;
    Flag syncing(syncing_);
    setCurrentIndex(model_->index(current.row(), column));
}

QWidget* TDBGrid::openEditor() const
{
    // A released editor is hidden at once and deleted later.
    return editor_ && !editor_->isHidden() ? editor_.data() : nullptr;
}

void TDBGrid::commitEditor()
{
    if (QWidget* editor = openEditor())
        commitData(editor);
}

void TDBGrid::closeEditorNow()
{
    if (QWidget* editor = openEditor())
        closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TDBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor == editor_)
        editor_ = nullptr;
    QTableView::closeEditor(editor, hint);
}

void TDBGrid::stateChanged()
{
    syncCurrent();
    const TDataLink::TDataSetState state = link_->State();
    const bool editing = state == TDataLink::dsEdit || state == TDataLink::dsInsert;
    const bool wasEditing = lastState_ == TDataLink::dsEdit || lastState_ == TDataLink::dsInsert;
    lastState_ = state;
    if (!editing)
        closeEditorNow();
    else if (!wasEditing && !openEditor() && currentIndex().isValid() && isVisible())
        edit(currentIndex());
}

void TDBGrid::syncCurrent()
{
    if (!link_ || syncing_)
        return;
    const int row = link_->Row();
    const QModelIndex current = currentIndex();
    if (row < 0 || (current.isValid() && current.row() == row))
        return;
    int column = current.isValid() ? current.column() : -1;
    if (column < 0 || isColumnHidden(column))
        column = firstVisibleColumn();
    if (column < 0)
        return;
    Flag syncing(syncing_);
    const QModelIndex target = model_->index(row, column);
    setCurrentIndex(target);
    scrollTo(target);
}

bool TDBGrid::leaveRow(int target)
{
    if (!link_ || link_->EditRow() < 0 || target == link_->Row())
        return true;
    Guard(this, [this] { link_->CheckBrowseMode(); });
    return link_->EditRow() < 0;
}

void TDBGrid::keyPressEvent(QKeyEvent* event)
{
    const bool active = link_ && link_->Active();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (active && event->key() == Qt::Key_Escape && mods == Qt::NoModifier &&
        link_->EditRow() >= 0) {
        Guard(this, [this] { link_->Cancel(); });
        event->accept();
        return;
    }
    if (active && event->key() == Qt::Key_Insert && mods == Qt::NoModifier) {
        Guard(this, [this] { link_->Insert(); });
        event->accept();
        return;
    }
    if (active && event->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
        Guard(this, [this] { link_->Delete(ConfirmDelete); });
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TDBGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && !leaveRow(at.row())) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

QModelIndex TDBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (!next.isValid() || next.row() == currentIndex().row())
        return next;
    if (!leaveRow(next.row()))
        return currentIndex();
    const int rows = model_->rowCount();
    return rows == 0 ? QModelIndex() : model_->index(std::min(next.row(), rows - 1), next.column());
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (syncing_ || !link_ || !current.isValid() || current.row() == link_->Row())
        return;
    Guard(this, [&] { link_->MoveTo(current.row()); });
    if (link_->Row() != current.row())
        QMetaObject::invokeMethod(
            this, [this] { syncCurrent(); }, Qt::QueuedConnection);
}
