#pragma once

#include "platform/data/myconnection.h"
#include "platform/data/myfield.h"

#include <string>
#include <vector>

// A statement's result, fetched whole when the data set opens; the cursor then stands on
// the first row.
class TMyDataSet : public TComponent {
public:
    explicit TMyDataSet(TComponent* owner = nullptr) : TComponent(owner) {}
    ~TMyDataSet() override;

    TMyConnection* Connection = nullptr;

    // Opening an open data set does nothing: its result stays where it stands.
    virtual void Open();
    // Closing a closed one does nothing.
    virtual void Close();
    bool Active() const { return active_; }

    // True when the result has no rows or Next moved past the last.
    virtual bool Eof() const { return !active_ || row_ == nullptr; }
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
    // Takes over a result that the connection stored.
    void Attach(MYSQL_RES* result);

private:
    bool active_ = false;
    MYSQL_RES* result_ = nullptr;
    MYSQL_ROW row_ = nullptr;
    unsigned long* lengths_ = nullptr;
    std::vector<String> names_;
    std::vector<enum_field_types> types_;
    std::vector<bool> keys_;
};
