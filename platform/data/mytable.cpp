#include "platform/data/mytable.h"

#include "platform/data/myparams.h"

#include <algorithm>
#include <memory>

namespace {

// A name between back-quotes; a back-quote inside is doubled.
std::string quoted(const std::string& name)
{
    std::string out = "`";
    for (char c : name) {
        out += c;
        if (c == '`')
            out += '`';
    }
    return out + "`";
}

struct FreeResult {
    void operator()(MYSQL_RES* result) const { mysql_free_result(result); }
};
using Result = std::unique_ptr<MYSQL_RES, FreeResult>;

void execute(TMyConnection& connection, const std::string& sql)
{
    Result unused(connection.Run(sql));
}

std::optional<std::string> bytesOf(const TMyValue& value)
{
    if (!value)
        return std::nullopt;
    return value->bytes();
}

} // namespace

std::string TMyTable::SelectText()
{
    return "SELECT * FROM " + quoted(AnsiString(TableName).bytes());
}

void TMyTable::Open()
{
    if (Active())
        return;
    load(connection().Run(SelectText()));
}

void TMyTable::Refresh()
{
    load(connection().Run(SelectText()));
}

void TMyTable::Close()
{
    if (!Active())
        return;
    notify(TMyTableChange::Reset, -1, false);
    TMyDataSet::Close();
    columns_.clear();
    rows_.clear();
    recNo_ = 0;
    notify(TMyTableChange::Reset, -1, true);
}

namespace {

// One row of a result as a table row of the given width.
std::vector<std::optional<std::string>> copyRow(MYSQL_RES* result, MYSQL_ROW data,
                                                std::size_t width)
{
    const unsigned long* lengths = mysql_fetch_lengths(result);
    const std::size_t n = std::min<std::size_t>(width, mysql_num_fields(result));
    std::vector<std::optional<std::string>> row(width);
    for (std::size_t i = 0; i < n; ++i)
        if (data[i])
            row[i] = std::string(data[i], lengths[i]);
    return row;
}

} // namespace

void TMyTable::load(MYSQL_RES* raw)
{
    Result result(raw);
    std::vector<Column> columns;
    std::vector<Row> rows;
    if (result) {
        const unsigned n = mysql_num_fields(raw);
        const MYSQL_FIELD* fields = mysql_fetch_fields(raw);
        for (unsigned i = 0; i < n; ++i)
            columns.push_back({std::string(fields[i].name, fields[i].name_length), fields[i].type,
                               (fields[i].flags & PRI_KEY_FLAG) != 0,
                               (fields[i].flags & AUTO_INCREMENT_FLAG) != 0});
        while (MYSQL_ROW data = mysql_fetch_row(raw))
            rows.push_back(copyRow(raw, data, n));
    }
    notify(TMyTableChange::Reset, -1, false);
    // Closed without notice here: the data set's own Close would report a second reset.
    TMyDataSet::Close();
    Attach(result.release());
    columns_ = std::move(columns);
    rows_ = std::move(rows);
    recNo_ = 0;
    notify(TMyTableChange::Reset, -1, true);
}

void TMyTable::Next()
{
    if (!Eof())
        ++recNo_;
}

void TMyTable::SetRecNo(int row)
{
    if (row < 0 || row > RecordCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(row));
    recNo_ = row;
}

void TMyTable::checkRow(int row) const
{
    if (row < 0 || row >= RecordCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(row));
}

int TMyTable::column(const String& name) const
{
    const int index = FieldIndex(name);
    if (index < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return index;
}

TField TMyTable::Cell(int row, int column) const
{
    checkRow(row);
    if (column < 0 || column >= static_cast<int>(columns_.size()))
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(column));
    const std::size_t c = static_cast<std::size_t>(column);
    const std::optional<std::string>& value = rows_[static_cast<std::size_t>(row)][c];
    if (!value)
        return TField(nullptr, 0, columns_[c].type);
    return TField(value->data(), value->size(), columns_[c].type);
}

TField TMyTable::Cell(int row, const String& name) const
{
    return Cell(row, column(name));
}

TField TMyTable::Fields(int index) const
{
    if (!Eof())
        return Cell(recNo_, index);
    if (index < 0 || index >= static_cast<int>(columns_.size()))
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return TField(nullptr, 0, columns_[static_cast<std::size_t>(index)].type);
}

void TMyTable::checkEditable() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (std::none_of(columns_.begin(), columns_.end(), [](const Column& c) { return c.key; }))
        throw EDatabaseError(QStringLiteral("Table '%1' has no primary key").arg(TableName));
}

namespace {

std::string literal(const std::optional<std::string>& value, TMyConnection& connection)
{
    TMyParam param{String()};
    if (value)
        param.SetAsAnsiString(AnsiString(*value));
    return param.Literal(connection);
}

} // namespace

std::string TMyTable::where(const Row& key)
{
    std::string out;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (!columns_[i].key)
            continue;
        out += out.empty() ? " WHERE " : " AND ";
        out += quoted(columns_[i].name) + " = " + literal(key[i], connection());
    }
    return out;
}

std::optional<TMyTable::Row> TMyTable::readRow(const Row& key)
{
    Result result(connection().Run(SelectText() + where(key)));
    if (!result)
        return std::nullopt;
    MYSQL_ROW data = mysql_fetch_row(result.get());
    if (!data)
        return std::nullopt;
    return copyRow(result.get(), data, columns_.size());
}

int TMyTable::InsertRow(const TMyValues& values)
{
    checkEditable();
    TMyConnection& c = connection();
    Row key(columns_.size());
    std::string names, literals;
    for (const auto& [name, value] : values) {
        const std::size_t i = static_cast<std::size_t>(column(name));
        key[i] = bytesOf(value);
        names += (names.empty() ? "" : ", ") + quoted(columns_[i].name);
        literals += (literals.empty() ? "" : ", ") + literal(key[i], c);
    }
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].key && !columns_[i].autoIncrement && !key[i])
            throw EDatabaseError(
                QStringLiteral("Field '%1' must have a value").arg(FieldName(static_cast<int>(i))));

    execute(c, "INSERT INTO " + quoted(AnsiString(TableName).bytes()) + " (" + names +
                   ") VALUES (" + literals + ")");
    const my_ulonglong id = mysql_insert_id(c.Handle());
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].key && columns_[i].autoIncrement && id != 0)
            key[i] = std::to_string(id);

    std::optional<Row> row = readRow(key);
    if (!row) {
        // The server stored other key values than were sent: only a full read finds the row.
        Refresh();
        return -1;
    }
    const int at = RecordCount();
    notify(TMyTableChange::Insert, at, false);
    rows_.push_back(std::move(*row));
    recNo_ = at;
    notify(TMyTableChange::Insert, at, true);
    return at;
}

void TMyTable::UpdateRow(int row, const TMyValues& values)
{
    checkEditable();
    checkRow(row);
    if (values.empty())
        return;
    TMyConnection& c = connection();
    const std::size_t r = static_cast<std::size_t>(row);
    Row key = rows_[r];
    std::string sets;
    for (const auto& [name, value] : values) {
        const std::size_t i = static_cast<std::size_t>(column(name));
        if (columns_[i].key)
            key[i] = bytesOf(value);
        sets += (sets.empty() ? "" : ", ") + quoted(columns_[i].name) + " = " +
                literal(bytesOf(value), c);
    }
    execute(c,
            "UPDATE " + quoted(AnsiString(TableName).bytes()) + " SET " + sets + where(rows_[r]));

    std::optional<Row> fresh = readRow(key);
    if (!fresh) {
        notify(TMyTableChange::Delete, row, false);
        rows_.erase(rows_.begin() + row);
        if (recNo_ > row)
            --recNo_;
        notify(TMyTableChange::Delete, row, true);
        throw EDatabaseError(QStringLiteral("Record not found or changed by another user"));
    }
    notify(TMyTableChange::Update, row, false);
    rows_[r] = std::move(*fresh);
    notify(TMyTableChange::Update, row, true);
}

void TMyTable::DeleteRow(int row)
{
    checkEditable();
    checkRow(row);
    execute(connection(), "DELETE FROM " + quoted(AnsiString(TableName).bytes()) +
                              where(rows_[static_cast<std::size_t>(row)]));
    notify(TMyTableChange::Delete, row, false);
    rows_.erase(rows_.begin() + row);
    if (recNo_ > row)
        --recNo_;
    notify(TMyTableChange::Delete, row, true);
}

int TMyTable::AddListener(Listener listener)
{
    listeners_.emplace_back(++lastListener_, std::move(listener));
    return lastListener_;
}

void TMyTable::RemoveListener(int id)
{
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [id](const auto& l) { return l.first == id; }),
                     listeners_.end());
}

void TMyTable::notify(TMyTableChange::Kind kind, int row, bool done)
{
    // A copy: a listener may remove itself.
    const auto listeners = listeners_;
    for (const auto& l : listeners)
        l.second(TMyTableChange{kind, row, done});
}
