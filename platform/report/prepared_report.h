#pragma once

#include "platform/report/report_template.h"

#include <QRectF>
#include <QStringList>

#include <vector>

// The built pages: every object with its final text at its place on the sheet, in mm from the
// sheet's top left corner.

struct PreparedItem {
    ObjectKind Kind = ObjectKind::Text;
    String Name;
    // Index of the band in its page's Bands; -1 for an object outside bands.
    int Band = -1;
    // Lines: the top edge is where the line runs.
    QRectF Rect;
    // Texts: the text shown; bar codes: the eight digits, the check digit last.
    String Text;
    ReportFont Font;
    HAlign Align = HAlign::Left;
    double LineWidth = 0.0;
    // Where the text holds [TotalPages#]: the pieces around it, joined once the number of
    // pages is known.
    QStringList TotalPagesParts;
};

// Where a band was placed on its page.
struct PreparedBand {
    String Name;
    BandKind Kind = BandKind::MasterData;
    double Top = 0.0;
    double Height = 0.0;
};

struct PreparedPage {
    double PaperWidth = 210.0;
    double PaperHeight = 297.0;
    PageOrientation Orientation = PageOrientation::Portrait;
    std::vector<PreparedBand> Bands;
    std::vector<PreparedItem> Items;

    // The sheet as oriented.
    double Width() const
    {
        return Orientation == PageOrientation::Portrait ? PaperWidth : PaperHeight;
    }
    double Height() const
    {
        return Orientation == PageOrientation::Portrait ? PaperHeight : PaperWidth;
    }
};

// Built pages handed out one at a time, so that whoever draws them needs only the page at
// hand.
class PageSource {
public:
    virtual ~PageSource() = default;

    virtual int Count() const = 0;
    // The page with the given index (from 0), its texts complete: [TotalPages#] shows Count().
    virtual PreparedPage Page(int index) const = 0;
};

// Built pages held in memory, all at once.
struct PreparedReport : PageSource {
    std::vector<PreparedPage> Pages;

    int Count() const override { return static_cast<int>(Pages.size()); }
    PreparedPage Page(int index) const override
    {
        return Pages.at(static_cast<std::size_t>(index));
    }
};
