#include "platform/data/mydataset.h"

TMyConnection& TMyDataSet::connection()
{
    if (!Connection)
        throw EDatabaseError(QStringLiteral("%1: no connection").arg(Name));
    return *Connection;
}

void TMyDataSet::Open()
{
    if (active_)
        return;
    if (!Fetch(SelectText()))
        active_ = true; // open without rows or fields
}

void TMyDataSet::describe(MYSQL_RES* result)
{
    const unsigned n = mysql_num_fields(result);
    MYSQL_FIELD* fields = mysql_fetch_fields(result);
    names_.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
        names_.push_back(AnsiString(fields[i].name, fields[i].name_length).toString());
        types_.push_back(fields[i].type);
        keys_.push_back((fields[i].flags & PRI_KEY_FLAG) != 0);
    }
    rows_.Reset(n);
}

bool TMyDataSet::Fetch(const std::string& sql)
{
    Close();
    TMyConnection& c = connection();
    MYSQL* m = c.Handle();
    if (mysql_real_query(m, sql.data(), static_cast<unsigned long>(sql.size())) != 0)
        c.RaiseLastError();
    // The rows come straight from the server into the data set's own blocks: the client
    // library keeps no second copy of them.
    MYSQL_RES* result = mysql_use_result(m);
    if (!result && mysql_field_count(m) != 0)
        c.RaiseLastError();
    if (result) {
        describe(result);
        while (MYSQL_ROW row = mysql_fetch_row(result))
            rows_.Append(row, mysql_fetch_lengths(result));
        const bool failed = mysql_errno(m) != 0;
        mysql_free_result(result);
        if (failed) {
            Close();
            c.RaiseLastError();
        }
    }
    // A statement may leave further results (procedures); they are not ours.
    while (mysql_more_results(m) && mysql_next_result(m) == 0) {
        if (MYSQL_RES* extra = mysql_store_result(m))
            mysql_free_result(extra);
    }
    if (!result)
        return false;
    active_ = true;
    rows_.First();
    return true;
}

void TMyDataSet::Attach(MYSQL_RES* result)
{
    Close();
    active_ = true;
    if (!result)
        return;
    describe(result);
    mysql_free_result(result);
}

void TMyDataSet::Close()
{
    rows_.Reset(0);
    active_ = false;
    names_.clear();
    types_.clear();
    keys_.clear();
}

void TMyDataSet::Next()
{
    rows_.Next(UniDirectional);
}

void TMyDataSet::First()
{
    if (!rows_.First())
        throw EDatabaseError(
            QStringLiteral("%1: the rows already read are gone (unidirectional)").arg(Name));
}

int TMyDataSet::RecordCount() const
{
    return static_cast<int>(rows_.Count());
}

int TMyDataSet::FieldIndex(const String& name) const
{
    // Callers mostly spell the name as the result does: try that first.
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

void TMyDataSet::badIndex(int index)
{
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

TField TMyDataSet::Fields(int index) const
{
    return RowField(index);
}

TField TMyDataSet::FieldByName(const String& name) const
{
    const int index = FieldIndex(name);
    if (index < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return Fields(index);
}

bool TMyDataSet::IsKeyField(int index) const
{
    return keys_.at(static_cast<std::size_t>(index));
}
