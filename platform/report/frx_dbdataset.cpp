#include "platform/report/frx_dbdataset.h"

#include "platform/rtl/exception.h"

void TfrxDBDataset::Open()
{
    if (!DataSet)
        throw EReportError(QStringLiteral("Data link '%1' has no data set").arg(UserName));
    DataSet->First();
    active_ = true;
}

void TfrxDBDataset::Close()
{
    active_ = false;
}
