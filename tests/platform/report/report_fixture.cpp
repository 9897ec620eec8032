#include "report_fixture.h"

const char* const dataSetName = "frxDBDataset1";
const char* const inventoryTitle = "InfentarTitel";
const char* const inventoryHeader = "Header1";
const char* const inventoryData = "MasterDataInfentar";
const char* const inventoryFooter = "PageFooterInfentar";

namespace {

String field(const char* name)
{
    return FieldRef(QLatin1String(dataSetName), QString::fromUtf8(name));
}

const ReportFont bold{QStringLiteral("Arial"), 10.0, true};
const ReportFont big{QStringLiteral("Arial"), 12.0, true};

} // namespace

ReportPage InventoryPage()
{
    ReportPage page;
    page.Name = QStringLiteral("Infentar");

    page.AddBand(BandKind::ReportTitle, QLatin1String(inventoryTitle), 6.0)
        .Add(TextObject(0.0, 0.0, 60.0, 5.0, QStringLiteral("Infentarliste"), big))
        .Add(TextObject(135.0, 0.0, 25.0, 5.0, QStringLiteral("Druckdatum:")))
        .Add(TextObject(163.0, 0.0, 26.0, 5.0, QStringLiteral("[Date]")));

    page.AddBand(BandKind::Header, QLatin1String(inventoryHeader), 14.0)
        .Add(TextObject(1.0, 0.0, 19.0, 5.0, QStringLiteral("Typ")))
        .Add(TextObject(22.0, 0.0, 84.0, 5.0, QStringLiteral("Titel"), bold))
        .Add(TextObject(108.0, 0.0, 44.0, 5.0, QStringLiteral("Standort")))
        .Add(TextObject(154.0, 0.0, 34.0, 5.0, QStringLiteral("Kategorie")))
        .Add(TextObject(1.0, 5.0, 19.0, 5.0, QString::fromUtf8("Rückgabe")))
        .Add(TextObject(22.0, 5.0, 84.0, 5.0, QStringLiteral("Ausgeliehen")))
        .Add(TextObject(108.0, 5.0, 60.0, 5.0, QStringLiteral("Autor")))
        .Add(TextObject(170.0, 5.0, 18.0, 5.0, QStringLiteral("Jahr")))
        .Add(LineObject(1.0, 13.0, 188.0));

    page.AddBand(BandKind::MasterData, QLatin1String(inventoryData), 12.0,
                 QLatin1String(dataSetName))
        .Add(TextObject(0.0, 0.0, 21.0, 5.0, field("typ")))
        .Add(TextObject(22.0, 0.0, 84.0, 5.0, field("titel"), bold))
        .Add(TextObject(107.0, 0.0, 45.0, 5.0, field("ort")))
        .Add(TextObject(153.0, 0.0, 35.0, 5.0, field("kategorie")))
        .Add(TextObject(0.0, 5.0, 21.0, 5.0, field("rückgabe")))
        .Add(TextObject(22.0, 5.0, 84.0, 5.0, field("ausgeliehen")))
        .Add(TextObject(107.0, 5.0, 62.0, 5.0, field("autor")))
        .Add(TextObject(170.0, 5.0, 18.0, 5.0, field("jahr")));

    page.AddBand(BandKind::PageFooter, QLatin1String(inventoryFooter), 6.0)
        .Add(TextObject(74.0, 0.0, 11.0, 5.0, QStringLiteral("[Page#]"), {}, HAlign::Right))
        .Add(TextObject(86.0, 0.0, 2.0, 5.0, QStringLiteral("/")))
        .Add(TextObject(88.0, 0.0, 11.0, 5.0, QStringLiteral("[TotalPages#]")));
    return page;
}

ReportPage ReceiptPage()
{
    ReportPage page;
    page.Name = QStringLiteral("Page1");
    page.DataSet = QLatin1String(dataSetName);

    page.AddBand(BandKind::ReportTitle, QStringLiteral("ReportTitle1"), 8.0)
        .Add(TextObject(2.0, 0.0, 39.0, 7.0, QStringLiteral("Ausleihquittung"), big))
        .Add(TextObject(143.0, 0.0, 23.0, 5.0, QStringLiteral("Druckdatum:")))
        .Add(TextObject(168.0, 0.0, 21.0, 5.0, QStringLiteral("[Date]")));

    page.Add(BarCodeObject(QStringLiteral("BarCode1"), 2.0, 14.0, 11.0, field("medium_pk")))
        .Add(TextObject(2.0, 26.0, 25.0, 5.0, QStringLiteral("Titel:")))
        .Add(TextObject(34.0, 26.0, 154.0, 5.0, field("titel")))
        .Add(TextObject(2.0, 33.0, 25.0, 5.0, QStringLiteral("ISBN:")))
        .Add(TextObject(34.0, 33.0, 154.0, 5.0, field("isbn")))
        .Add(TextObject(2.0, 39.0, 25.0, 5.0, QStringLiteral("Ausleihperson:")))
        .Add(TextObject(34.0, 39.0, 154.0, 5.0, field("ausgeliehen"), bold))
        .Add(TextObject(2.0, 46.0, 25.0, 5.0, QStringLiteral("Ausleihdatum:")))
        .Add(TextObject(34.0, 46.0, 154.0, 5.0, field("datum")))
        .Add(TextObject(2.0, 53.0, 25.0, 5.0, QStringLiteral("Ausleihfrist:")))
        .Add(TextObject(34.0, 53.0, 154.0, 5.0, field("tage") + QStringLiteral(" Tage")))
        .Add(TextObject(2.0, 60.0, 30.0, 5.0, QString::fromUtf8("Rückgabedatum:")))
        .Add(TextObject(34.0, 61.0, 154.0, 5.0, field("rückgabe"), bold));
    return page;
}

MemoryDataSource::Row InventoryRow(int number)
{
    const String n = QString::number(number).rightJustified(3, QLatin1Char('0'));
    MemoryDataSource::Row row{{QStringLiteral("titel"), QStringLiteral("Titel ") + n},
                              {QStringLiteral("autor"), QStringLiteral("Autor ") + n},
                              {QStringLiteral("ort"), QStringLiteral("Regal")},
                              {QStringLiteral("typ"), QStringLiteral("Buch")},
                              {QStringLiteral("kategorie"), QStringLiteral("Roman")},
                              {QStringLiteral("jahr"), QStringLiteral("1999")}};
    // Every third medium is lent.
    if (number % 3 == 0) {
        row.insert(QStringLiteral("ausgeliehen"), QStringLiteral("Leser ") + n);
        row.insert(QString::fromUtf8("rückgabe"), QStringLiteral("01.02.2024"));
    }
    return row;
}
