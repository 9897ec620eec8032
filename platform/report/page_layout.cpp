#include "platform/report/page_layout.h"

#include <QPageSize>

QPageLayout PageLayout(const PreparedPage& page)
{
    return QPageLayout(QPageSize(QSizeF(page.PaperWidth, page.PaperHeight), QPageSize::Millimeter),
                       page.Orientation == PageOrientation::Portrait ? QPageLayout::Portrait
                                                                     : QPageLayout::Landscape,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}
