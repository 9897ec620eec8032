#pragma once

#include "platform/data/mydataset.h"
#include "platform/data/myparams.h"

// A statement with named parameters whose rows are read through the data set.
class TMyQuery : public TMyDataSet {
    TMySql sql_; // declared first: SQL refers to it

public:
    explicit TMyQuery(TComponent* owner = nullptr) : TMyDataSet(owner) {}

    TStringList& SQL = sql_.SQL;
    TMyParam* ParamByName(const String& name);
    TMyParams& Params();

    // Closes the query if open, runs the statement and, when it returns rows, stands on the
    // first of them.
    void ExecSQL();

    TField Fields(int index) const final { return RowField(index); }

protected:
    std::string SelectText() override;

private:
};
