#include "platform/data/mycommand.h"

TMyParam* TMyCommand::ParamByName(const String& name)
{
    sql_.Parse();
    return sql_.Params.ParamByName(name);
}

TMyParams& TMyCommand::Params()
{
    sql_.Parse();
    return sql_.Params;
}

void TMyCommand::Execute()
{
    if (!Connection)
        throw EDatabaseError(QStringLiteral("%1: no connection").arg(Name));
    rowsAffected_ = 0;
    MYSQL_RES* result = Connection->Run(sql_.Render(*Connection));
    if (result)
        mysql_free_result(result);
    else
        rowsAffected_ = static_cast<long long>(mysql_affected_rows(Connection->Handle()));
}
