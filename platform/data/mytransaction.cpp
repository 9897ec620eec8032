#include "platform/data/mytransaction.h"

TMyTransaction::TMyTransaction(TMyConnection& connection) : connection_(connection)
{
    connection_.StartTransaction();
}

TMyTransaction::~TMyTransaction()
{
    if (!open_)
        return;
    try {
        connection_.Rollback();
    } catch (const Exception&) {
        // A refused rollback has closed the connection: the server discards the transaction.
    }
}

void TMyTransaction::Commit()
{
    open_ = false;
    connection_.Commit();
}
