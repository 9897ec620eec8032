#include "store/report_templates.h"

namespace store {

const char* const reportDataSet = "frxDBDataset1";

namespace {

String text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

String field(const char* name)
{
    return FieldRef(QLatin1String(reportDataSet), QString::fromUtf8(name));
}

const ReportFont regular{QStringLiteral("Arial"), 10.0, false};
const ReportFont bold{QStringLiteral("Arial"), 10.0, true};
const ReportFont heading{QStringLiteral("Arial"), 12.0, true};
const ReportFont digits{QStringLiteral("Arial"), 9.0, false};

// A4 upright with 10 mm on every side.
ReportPage a4(const char* name)
{
    ReportPage page;
    page.Name = QLatin1String(name);
    page.PaperWidth = 210.0;
    page.PaperHeight = 297.0;
    page.Orientation = PageOrientation::Portrait;
    page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 10.0;
    return page;
}

} // namespace

ReportPage infentarPage()
{
    ReportPage page = a4("Infentar");

    page.AddBand(BandKind::ReportTitle, QStringLiteral("InfentarTitel"), 6.0)
        .Add(TextObject(0.0, 0.0, 60.0, 5.0, text("Infentarliste"), heading))
        .Add(TextObject(135.0, 0.0, 25.0, 5.0, text("Druckdatum:"), regular))
        .Add(TextObject(163.0, 0.0, 26.0, 5.0, text("[Date]"), regular));

    page.AddBand(BandKind::Header, QStringLiteral("Header1"), 14.0)
        .Add(TextObject(1.0, 0.0, 19.0, 5.0, text("Typ"), regular))
        .Add(TextObject(22.0, 0.0, 84.0, 5.0, text("Titel"), bold))
        .Add(TextObject(108.0, 0.0, 44.0, 5.0, text("Standort"), regular))
        .Add(TextObject(154.0, 0.0, 34.0, 5.0, text("Kategorie"), regular))
        .Add(TextObject(1.0, 5.0, 19.0, 5.0, text("Rückgabe"), regular))
        .Add(TextObject(22.0, 5.0, 84.0, 5.0, text("Ausgeliehen"), regular))
        .Add(TextObject(108.0, 5.0, 60.0, 5.0, text("Autor"), regular))
        .Add(TextObject(170.0, 5.0, 18.0, 5.0, text("Jahr"), regular))
        .Add(LineObject(1.0, 13.0, 188.0));

    page.AddBand(BandKind::MasterData, QStringLiteral("MasterDataInfentar"), 12.0,
                 QLatin1String(reportDataSet))
        .Add(TextObject(0.0, 0.0, 21.0, 5.0, field("typ"), regular))
        .Add(TextObject(22.0, 0.0, 84.0, 5.0, field("titel"), bold))
        .Add(TextObject(107.0, 0.0, 45.0, 5.0, field("ort"), regular))
        .Add(TextObject(153.0, 0.0, 35.0, 5.0, field("kategorie"), regular))
        .Add(TextObject(0.0, 5.0, 21.0, 5.0, field("rückgabe"), regular))
        .Add(TextObject(22.0, 5.0, 84.0, 5.0, field("ausgeliehen"), regular))
        .Add(TextObject(107.0, 5.0, 62.0, 5.0, field("autor"), regular))
        .Add(TextObject(170.0, 5.0, 18.0, 5.0, field("jahr"), regular));

    page.AddBand(BandKind::PageFooter, QStringLiteral("PageFooterInfentar"), 6.0)
        .Add(TextObject(74.0, 0.0, 11.0, 5.0, text("[Page#]"), regular, HAlign::Right))
        .Add(TextObject(86.0, 0.0, 2.0, 5.0, text("/"), regular))
        .Add(TextObject(88.0, 0.0, 11.0, 5.0, text("[TotalPages#]"), regular));
    return page;
}

ReportPage quitungPage()
{
    ReportPage page = a4("Page1");
    page.DataSet = QLatin1String(reportDataSet);

    page.AddBand(BandKind::ReportTitle, QStringLiteral("ReportTitle1"), 8.0)
        .Add(TextObject(2.0, 0.0, 39.0, 7.0, text("Ausleihquittung"), heading))
        .Add(TextObject(143.0, 0.0, 23.0, 5.0, text("Druckdatum:"), regular))
        .Add(TextObject(168.0, 0.0, 21.0, 5.0, text("[Date]"), regular));

    // Outside bands: fixed places in the printable area.
    page.Add(BarCodeObject(QStringLiteral("BarCode1"), 2.0, 14.0, 11.0, field("medium_pk"), digits))
        .Add(TextObject(2.0, 26.0, 25.0, 5.0, text("Titel:"), regular))
        .Add(TextObject(34.0, 26.0, 154.0, 5.0, field("titel"), regular))
        .Add(TextObject(2.0, 33.0, 25.0, 5.0, text("ISBN:"), regular))
        .Add(TextObject(34.0, 33.0, 154.0, 5.0, field("isbn"), regular))
        .Add(TextObject(2.0, 39.0, 25.0, 5.0, text("Ausleihperson:"), regular))
        .Add(TextObject(34.0, 39.0, 154.0, 5.0, field("ausgeliehen"), bold))
        .Add(TextObject(2.0, 46.0, 25.0, 5.0, text("Ausleihdatum:"), regular))
        .Add(TextObject(34.0, 46.0, 154.0, 5.0, field("datum"), regular))
        .Add(TextObject(2.0, 53.0, 25.0, 5.0, text("Ausleihfrist:"), regular))
        .Add(TextObject(34.0, 53.0, 154.0, 5.0, field("tage") + text(" Tage"), regular))
        .Add(TextObject(2.0, 60.0, 30.0, 5.0, text("Rückgabedatum:"), regular))
        .Add(TextObject(34.0, 61.0, 154.0, 5.0, field("rückgabe"), bold));
    return page;
}

String QueryRows::FieldAsString(const String& name)
{
    const int index = query_->FieldIndex(name);
    if (index < 0 || query_->Eof())
        return String();
    return query_->Fields(index).AsString();
}

} // namespace store
