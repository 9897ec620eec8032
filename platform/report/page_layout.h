#pragma once

#include "platform/report/prepared_report.h"

#include <QPageLayout>

// The sheet of a built page without margins: the renderer draws from the sheet's corner.
QPageLayout PageLayout(const PreparedPage& page);
