#pragma once

#include "platform/data/myconnection.h"
#include "platform/data/myparams.h"

// A statement with named parameters that returns no rows.
class TMyCommand : public TComponent {
    TMySql sql_; // declared first: SQL refers to it

public:
    explicit TMyCommand(TComponent* owner = nullptr) : TComponent(owner) {}

    TMyConnection* Connection = nullptr;
    TStringList& SQL = sql_.SQL;
    TMyParam* ParamByName(const String& name);
    TMyParams& Params();

    void Execute();
    // Statements run synchronously on the window thread, so none is ever running when this
    // is called; it does nothing then.
    void BreakExec() {}
    // Rows written by the last Execute; for an update, every row it found, also one that
    // already held the new values.
    long long RowsAffected() const { return rowsAffected_; }

private:
    long long rowsAffected_ = 0;
};
