#pragma once

#include "platform/data/myconnection.h"
#include "platform/data/myfield.h"
#include "platform/data/myrows.h"

#include <string>
#include <vector>

// A statement's result, fetched whole when the data set opens; the cursor then stands on
// the first row and the connection is free for other statements.
class TMyDataSet : public TComponent {
public:
    explicit TMyDataSet(TComponent* owner = nullptr) : TComponent(owner) {}

    TMyConnection* Connection = nullptr;
    // For a result read once from front to back: the rows the cursor has passed are let go
    // as it moves on, and First raises once they are gone.
    bool UniDirectional = false;

    // Opening an open data set does nothing: its result stays where it stands.
    virtual void Open();
    // Closing a closed one does nothing.
    virtual void Close();
    bool Active() const { return active_; }

    // True when the result has no rows or Next moved past the last.
    virtual bool Eof() const { return !active_ || !rows_.Current(); }
    virtual void Next();
    virtual void First();
    virtual int RecordCount() const;

    int FieldCount() const { return static_cast<int>(names_.size()); }
    String FieldName(int index) const { return names_.at(static_cast<std::size_t>(index)); }
    // Letter case ignored; raises EDatabaseError for a name the result doesn't have.
    TField FieldByName(const String& name) const;
    virtual TField Fields(int index) const;
    int FieldIndex(const String& name) const;
    // Whether the field is part of its table's primary key.
    bool IsKeyField(int index) const;

protected:
    // The statement text that Open runs.
    virtual std::string SelectText() = 0;
    TMyConnection& connection();
    // Closes the data set, runs the statement and fetches its rows; false, leaving the data
    // set closed, when the statement returns no rows (an insert, an update).
    bool Fetch(const std::string& sql);
    // Opens on the fields of a result that the connection stored, and frees it: for a derived
    // data set that keeps the rows itself and reads them through its own overrides.
    void Attach(MYSQL_RES* result);
    // Fields(index) of the fetched rows, for derived data sets that read them as they are.
    TField RowField(int index) const
    {
        if (index < 0 || index >= FieldCount())
            badIndex(index);
        const unsigned i = static_cast<unsigned>(index);
        if (!rows_.Current())
            return TField(nullptr, 0, types_[i]);
        return TField(rows_.Data(i), rows_.Length(i), types_[i]);
    }

private:
    void describe(MYSQL_RES* result);
    [[noreturn]] static void badIndex(int index);

    bool active_ = false;
    TMyRows rows_;
    std::vector<String> names_;
    std::vector<enum_field_types> types_;
    std::vector<bool> keys_;
};
