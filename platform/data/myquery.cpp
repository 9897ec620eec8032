#include "platform/data/myquery.h"

TMyParam* TMyQuery::ParamByName(const String& name)
{
    sql_.Parse();
    return sql_.Params.ParamByName(name);
}

TMyParams& TMyQuery::Params()
{
    sql_.Parse();
    return sql_.Params;
}

std::string TMyQuery::SelectText()
{
    return sql_.Render(connection());
}

void TMyQuery::ExecSQL()
{
    Close();
    Fetch(SelectText());
}
