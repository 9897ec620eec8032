#include "platform/data/mydataset.h"

TMyDataSet::~TMyDataSet()
{
    if (result_)
        mysql_free_result(result_);
}

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
    TMyConnection& c = connection();
    Attach(c.Run(SelectText()));
}

void TMyDataSet::Attach(MYSQL_RES* result)
{
    Close();
    result_ = result;
    active_ = true;
    if (!result_)
        return;
    const unsigned n = mysql_num_fields(result_);
    MYSQL_FIELD* fields = mysql_fetch_fields(result_);
    names_.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
        names_.push_back(AnsiString(fields[i].name, fields[i].name_length).toString());
        types_.push_back(fields[i].type);
        keys_.push_back((fields[i].flags & PRI_KEY_FLAG) != 0);
    }
    Next();
}

void TMyDataSet::Close()
{
    if (result_)
        mysql_free_result(result_);
    result_ = nullptr;
    row_ = nullptr;
    lengths_ = nullptr;
    active_ = false;
    names_.clear();
    types_.clear();
    keys_.clear();
}

void TMyDataSet::Next()
{
    if (!result_)
        return;
    row_ = mysql_fetch_row(result_);
    lengths_ = row_ ? mysql_fetch_lengths(result_) : nullptr;
}

void TMyDataSet::First()
{
    if (!result_)
        return;
    mysql_data_seek(result_, 0);
    Next();
}

int TMyDataSet::RecordCount() const
{
    return result_ ? static_cast<int>(mysql_num_rows(result_)) : 0;
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

TField TMyDataSet::Fields(int index) const
{
    if (index < 0 || index >= FieldCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    const std::size_t i = static_cast<std::size_t>(index);
    if (!row_)
        return TField(nullptr, 0, types_[i]);
    return TField(row_[i], lengths_[i], types_[i]);
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
