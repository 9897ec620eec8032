#pragma once

#include "platform/data/myconnection.h"

// One transaction of a connection for the length of a scope: the statements run while it
// lives take effect together when Commit succeeds; leaving the scope in any other way (an
// error, a return) rolls them back.
class TMyTransaction {
public:
    explicit TMyTransaction(TMyConnection& connection);
    ~TMyTransaction();
    TMyTransaction(const TMyTransaction&) = delete;
    TMyTransaction& operator=(const TMyTransaction&) = delete;

    // As TMyConnection::Commit; afterwards, also after it failed, nothing is left to roll
    // back.
    void Commit();

private:
    TMyConnection& connection_;
    bool open_ = true;
};
