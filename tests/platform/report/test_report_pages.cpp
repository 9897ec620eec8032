// Building pages from templates and data, and drawing them: bands, expressions, text boxes,
// the EAN-8 bar code.
#include "report_fixture.h"
#include "tests/support/pdf_checks.h"

#include "platform/report/ean8.h"
#include "platform/report/frx_report.h"
#include "platform/report/report_renderer.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exception.h"

#include <QFontInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace testdb;

namespace {

const double eps = 1e-6;

struct Inventory {
    MemoryDataSource rows;
    TfrxDBDataset link;
    TfrxReport report;

    explicit Inventory(int count, ReportPage page = InventoryPage())
    {
        for (int i = 1; i <= count; ++i)
            rows.AddRow(InventoryRow(i));
        link.UserName = QLatin1String(dataSetName);
        link.DataSet = &rows;
        report.ReportOptions.Name = QStringLiteral("Infentar");
        report.Page = std::move(page);
        report.AddDataSet(&link);
    }
};

std::vector<const PreparedItem*> itemsOfBand(const PreparedPage& page, int band)
{
    std::vector<const PreparedItem*> items;
    for (const PreparedItem& item : page.Items)
        if (item.Band == band)
            items.push_back(&item);
    return items;
}

String textOf(const PreparedPage& page, int band, int index)
{
    return itemsOfBand(page, band).at(index)->Text;
}

ReportPage singleBoxPage(const String& text, const QRectF& box, HAlign align)
{
    ReportPage page;
    page.Name = QStringLiteral("Box");
    page.Add(TextObject(box.x(), box.y(), box.width(), box.height(), text, {}, align));
    return page;
}

} // namespace

class TestReportPages : public QObject {
    Q_OBJECT
private slots:
    void inventoryPages_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        // First page: 10 + 6 + 14 = 30 mm used, rows up to the footer at 281 mm: 20 rows.
        // Later pages: from 10 mm, 22 rows.
        QTest::newRow("empty") << 0 << 1;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("first page full") << 20 << 1;
        QTest::newRow("one more") << 21 << 2;
        QTest::newRow("second page full") << 42 << 2;
        QTest::newRow("third page") << 43 << 3;
        QTest::newRow("hundred") << 100 << 5;
    }
    void inventoryPages()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        Inventory inv(rows);
        QVERIFY(inv.report.PrepareReport(true));
        const PreparedReport& built = inv.report.PreparedPages();
        QCOMPARE(built.Count(), pages);

        const double footerTop = 297.0 - 10.0 - 6.0;
        int next = 1;
        int headers = 0;
        for (int p = 0; p < built.Count(); ++p) {
            const PreparedPage& page = built.Pages[p];
            QCOMPARE(page.Width(), 210.0);
            QCOMPARE(page.Height(), 297.0);
            double y = 10.0;
            bool footer = false;
            for (int b = 0; b < static_cast<int>(page.Bands.size()); ++b) {
                const PreparedBand& band = page.Bands[b];
                if (band.Kind == BandKind::PageFooter) {
                    QVERIFY(!footer);
                    footer = true;
                    QCOMPARE(band.Top, footerTop);
                    QCOMPARE(textOf(page, b, 0), QString::number(p + 1));
                    QCOMPARE(textOf(page, b, 1), QStringLiteral("/"));
                    QCOMPARE(textOf(page, b, 2), QString::number(pages));
                    continue;
                }
                // Bands follow each other from the top without gaps.
                QVERIFY2(std::abs(band.Top - y) < eps, qPrintable(band.Name));
                y += band.Height;
                QVERIFY2(y <= footerTop + eps, qPrintable(band.Name + " crosses the footer"));
                switch (band.Kind) {
                case BandKind::ReportTitle:
                    QCOMPARE(p, 0);
                    QCOMPARE(b, 0);
                    break;
                case BandKind::Header:
                    ++headers;
                    QCOMPARE(p, 0);
                    QCOMPARE(page.Bands.at(b + 1).Kind, BandKind::MasterData);
                    break;
                case BandKind::MasterData: {
                    const String n = QString::number(next).rightJustified(3, QLatin1Char('0'));
                    QCOMPARE(textOf(page, b, 1), QStringLiteral("Titel ") + n);
                    // Every item lies inside its band.
                    for (const PreparedItem* item : itemsOfBand(page, b))
                        QVERIFY(item->Rect.bottom() <= band.Top + band.Height + eps);
                    // A row without loan leaves borrower and return date empty.
                    const bool lent = next % 3 == 0;
                    QCOMPARE(textOf(page, b, 4).isEmpty(), !lent);
                    QCOMPARE(textOf(page, b, 5).isEmpty(), !lent);
                    ++next;
                    break;
                }
                case BandKind::PageFooter:
                    break;
                }
            }
            QVERIFY2(footer, "every page has its footer");
        }
        QCOMPARE(next, rows + 1);
        QCOMPARE(headers, rows > 0 ? 1 : 0);
        // The empty inventory: title and footer only.
        if (rows == 0) {
            QCOMPARE(built.Pages[0].Bands.size(), std::size_t(2));
            QCOMPARE(built.Pages[0].Bands[0].Name, QLatin1String(inventoryTitle));
            QCOMPARE(built.Pages[0].Bands[1].Name, QLatin1String(inventoryFooter));
        }
    }

    void headerMovesWithFirstRow()
    {
        // A title so tall that header and first row no longer fit below it.
        ReportPage page = InventoryPage();
        page.Bands[0].Height = 270.0 - 20.0;
        Inventory inv(2, page);
        inv.report.PrepareReport();
        const PreparedReport& built = inv.report.PreparedPages();
        QCOMPARE(built.Count(), 2);
        QCOMPARE(built.Pages[0].Bands.size(), std::size_t(2)); // title, footer
        QCOMPARE(built.Pages[1].Bands[0].Kind, BandKind::Header);
        QCOMPARE(built.Pages[1].Bands[0].Top, 10.0);
        QCOMPARE(built.Pages[1].Bands[1].Top, 24.0);
    }

    void landscape()
    {
        // Turned sheet: 297 x 210 mm, footer at 210 - 10 - 6 = 194 mm; 13 rows on the first
        // page, 15 on the next.
        ReportPage page = InventoryPage();
        page.Orientation = PageOrientation::Landscape;
        Inventory inv(29, page);
        inv.report.PrepareReport();
        const PreparedReport& built = inv.report.PreparedPages();
        QCOMPARE(built.Count(), 3);
        QCOMPARE(built.Pages[0].Width(), 297.0);
        QCOMPARE(built.Pages[0].Height(), 210.0);
        QCOMPARE(built.Pages[0].Bands.size(), std::size_t(2 + 13 + 1));
        QCOMPARE(built.Pages[1].Bands.size(), std::size_t(15 + 1));
        QCOMPARE(built.Pages[1].Bands.back().Top, 194.0);
    }

    void titleAndDate()
    {
        const String before = DateToStr(Today());
        Inventory inv(1);
        inv.report.PrepareReport();
        const String after = DateToStr(Today());
        const PreparedPage& page = inv.report.PreparedPages().Pages[0];
        const String date = textOf(page, 0, 2);
        QVERIFY2(date == before || date == after, qPrintable(date));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$"))
                    .match(date)
                    .hasMatch());
        // Objects stand in their band, which starts at the margins.
        const PreparedItem* druck = itemsOfBand(page, 0).at(1);
        QCOMPARE(druck->Rect, QRectF(10.0 + 135.0, 10.0, 25.0, 5.0));
    }

    void rebuildDiscardsOrAppends()
    {
        Inventory inv(21);
        inv.report.PrepareReport(true);
        inv.report.PrepareReport(true);
        QCOMPARE(inv.report.PreparedPages().Count(), 2);
        inv.rows.Clear();
        inv.report.PrepareReport(false);
        const PreparedReport& built = inv.report.PreparedPages();
        QCOMPARE(built.Count(), 3);
        // The number of pages covers the appended pages too.
        for (int p = 0; p < 3; ++p) {
            const PreparedPage& page = built.Pages[p];
            const int footer = static_cast<int>(page.Bands.size()) - 1;
            QCOMPARE(textOf(page, footer, 0), QString::number(p + 1));
            QCOMPARE(textOf(page, footer, 2), QStringLiteral("3"));
        }
    }

    void receiptPagePerRow_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("no row, no page") << 0;
        QTest::newRow("one medium") << 1;
        QTest::newRow("three rows") << 3;
    }
    void receiptPagePerRow()
    {
        QFETCH(int, rows);
        MemoryDataSource source;
        for (int i = 0; i < rows; ++i) {
            MemoryDataSource::Row row{{QStringLiteral("medium_pk"), QString::number(42 + i)},
                                      {QStringLiteral("titel"), QStringLiteral("Medium %1").arg(i)},
                                      {QStringLiteral("tage"), QStringLiteral("30")},
                                      {QStringLiteral("datum"), QStringLiteral("06.01.2018")}};
            if (i == 0)
                row.insert(QString::fromUtf8("rückgabe"), QStringLiteral("05.02.2018"));
            source.AddRow(row);
        }
        TfrxDBDataset link;
        link.UserName = QLatin1String(dataSetName);
        link.DataSet = &source;
        TfrxReport report;
        report.Page = ReceiptPage();
        report.AddDataSet(&link);
        link.Open();
        report.PrepareReport(true);
        link.Close();

        const PreparedReport& built = report.PreparedPages();
        QCOMPARE(built.Count(), rows);
        for (int i = 0; i < rows; ++i) {
            const PreparedPage& page = built.Pages[i];
            QCOMPARE(page.Bands.size(), std::size_t(1));
            QCOMPARE(page.Bands[0].Name, QStringLiteral("ReportTitle1"));
            // Outside bands: from the printable area's corner.
            const std::vector<const PreparedItem*> objects = itemsOfBand(page, -1);
            QCOMPARE(objects.size(), std::size_t(13));
            QCOMPARE(objects[0]->Kind, ObjectKind::BarCode);
            // The key in seven digits, then the check digit.
            QCOMPARE(objects[0]->Text, (QStringList{"00000420", "00000437", "00000444"}[i]));
            QCOMPARE(objects[0]->Rect.topLeft(), QPointF(12.0, 24.0));
            QVERIFY(std::abs(objects[0]->Rect.width() - 17.7) < 0.05);
            QCOMPARE(objects[2]->Text, QStringLiteral("Medium %1").arg(i));
            QCOMPARE(objects[10]->Text, QStringLiteral("30 Tage"));
            QCOMPARE(objects[12]->Text, i == 0 ? QStringLiteral("05.02.2018") : QString());
            QCOMPARE(objects[12]->Rect.topLeft(), QPointF(44.0, 71.0));
        }
    }

    void expressions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // empty with error
        QTest::addColumn<bool>("error");
        QTest::newRow("literal") << "Titel:"
                                 << "Titel:" << false;
        QTest::newRow("field then text") << "[frxDBDataset1.\"tage\"] Tage"
                                         << "30 Tage" << false;
        QTest::newRow("text around fields")
            << "(<[frxDBDataset1.\"tage\"]/[frxDBDataset1.\"tage\"]>)"
            << "(<30/30>)" << false;
        QTest::newRow("umlaut field")
            << QString::fromUtf8("[frxDBDataset1.\"rückgabe\"]") << "05.02.2018" << false;
        QTest::newRow("unquoted field") << "[frxDBDataset1.tage]"
                                        << "30" << false;
        QTest::newRow("NULL is empty") << "<[frxDBDataset1.\"isbn\"]>"
                                       << "<>" << false;
        QTest::newRow("unknown field is empty") << "<[frxDBDataset1.\"nix\"]>"
                                                << "<>" << false;
        QTest::newRow("page numbers") << "[Page#] / [TotalPages#]"
                                      << "1 / 1" << false;
        QTest::newRow("bracket in field name") << "[frxDBDataset1.\"a]b\"]"
                                               << "x" << false;
        QTest::newRow("unknown data set") << "[frxDBDataset2.\"tage\"]"
                                          << "" << true;
        QTest::newRow("unknown expression") << "[Datum]"
                                            << "" << true;
        QTest::newRow("missing bracket") << "[frxDBDataset1.\"tage\""
                                         << "" << true;
    }
    void expressions()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(bool, error);
        MemoryDataSource source;
        source.AddRow({{QStringLiteral("tage"), QStringLiteral("30")},
                       {QString::fromUtf8("rückgabe"), QStringLiteral("05.02.2018")},
                       {QStringLiteral("a]b"), QStringLiteral("x")}});
        TfrxDBDataset link;
        link.UserName = QLatin1String(dataSetName);
        link.DataSet = &source;
        TfrxReport report;
        report.Page.AddBand(BandKind::ReportTitle, QStringLiteral("Title"), 10.0)
            .Add(TextObject(0, 0, 100, 5, text));
        report.AddDataSet(&link);
        try {
            report.PrepareReport();
            QVERIFY2(!error, "an error was expected");
            QCOMPARE(report.PreparedPages().Pages.at(0).Items.at(0).Text, shown);
        } catch (const EReportError& e) {
            QVERIFY2(error, qPrintable(e.Message));
            QVERIFY(e.Message.contains(QStringLiteral("Title")));
            QCOMPARE(report.PreparedPages().Count(), 0);
        }
    }

    void faultyTemplates()
    {
        Inventory twoFooters(1);
        twoFooters.report.Page.AddBand(BandKind::PageFooter, QStringLiteral("Footer2"), 5.0);
        QVERIFY_THROWS_EXCEPTION(EReportError, twoFooters.report.PrepareReport());

        Inventory noSource(1);
        noSource.link.DataSet = nullptr;
        QVERIFY_THROWS_EXCEPTION(EReportError, noSource.report.PrepareReport());
        QVERIFY_THROWS_EXCEPTION(EReportError, noSource.link.Open());
    }

    // What the receipt's bar code shows of its content: the symbol of the content in seven
    // digits and its check digit; the content as a text where a symbol cannot hold so many
    // digits; no page at all for a content that is no number.
    void ean8Digits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("digits"); // the symbol's digits; empty: none
        QTest::addColumn<QString>("shown");  // the item on the page: bars, text or error
        QTest::newRow("key 42") << "42"
                                << "00000420"
                                << "bars";
        QTest::newRow("key 1") << "1"
                               << "00000017"
                               << "bars";
        QTest::newRow("seven digits") << "9999999"
                                      << "99999995"
                                      << "bars";
        QTest::newRow("zero") << "0"
                              << "00000000"
                              << "bars";
        QTest::newRow("eight digits") << "10000000"
                                      << ""
                                      << "text";
        QTest::newRow("the largest key") << "4294967295"
                                         << ""
                                         << "text";
        QTest::newRow("letter") << "12a"
                                << ""
                                << "error";
        QTest::newRow("sign") << "-42"
                              << ""
                              << "error";
        QTest::newRow("blank") << " 42"
                               << ""
                               << "error";
        QTest::newRow("empty") << ""
                               << ""
                               << "error";
    }
    void ean8Digits()
    {
        QFETCH(QString, text);
        QFETCH(QString, digits);
        QFETCH(QString, shown);
        if (!digits.isEmpty()) {
            QCOMPARE(Ean8::Digits(text), digits);
        } else {
            try {
                Ean8::Digits(text);
                QFAIL("refused text was accepted");
            } catch (const EReportError& e) {
                QVERIFY(e.Message.contains(QStringLiteral("EAN-8")));
            }
        }
        MemoryDataSource source;
        source.AddRow({{QStringLiteral("medium_pk"), text}});
        TfrxDBDataset link;
        link.UserName = QLatin1String(dataSetName);
        link.DataSet = &source;
        TfrxReport report;
        report.Page = ReceiptPage();
        report.AddDataSet(&link);
        if (shown == QLatin1String("error")) {
            // The receipt refuses to build rather than draw a wrong code.
            QVERIFY_THROWS_EXCEPTION(EReportError, report.PrepareReport());
            QCOMPARE(report.PreparedPages().Count(), 0);
            return;
        }
        report.PrepareReport();
        QCOMPARE(report.PreparedPages().Count(), 1);
        const PreparedPage& page = report.PreparedPages().Pages.at(0);
        const PreparedItem* item = itemsOfBand(page, -1).at(0);
        QCOMPARE(item->Kind,
                 shown == QLatin1String("bars") ? ObjectKind::BarCode : ObjectKind::Text);
        QCOMPARE(item->Text, shown == QLatin1String("bars") ? digits : text);
        QCOMPARE(item->Rect.topLeft(), QPointF(12.0, 24.0));
        if (shown == QLatin1String("bars"))
            return;
        // The whole number stands in the symbol's box, in the digits' font, with no bars.
        const double dpi = 300.0;
        const double pxPerMm = dpi / 25.4;
        const QImage image = ReportRenderer::PageImage(page, dpi);
        const QRectF box(12.0 * pxPerMm, 24.0 * pxPerMm, Ean8::Width * pxPerMm, 11.0 * pxPerMm);
        const QRect ink = inkBounds(image, box.toAlignedRect().adjusted(-40, -40, 40, 0));
        QVERIFY(!ink.isNull());
        // Not cut at the box's right edge: the last digit ends before it.
        QVERIFY2(box.adjusted(-1, -1, -1, 1).contains(QRectF(ink)),
                 qPrintable(QStringLiteral("%1 mm wide").arg(ink.width() / pxPerMm)));
        QVERIFY2(ink.height() < 3.0 * pxPerMm, "one line of 9 pt, no bars");
    }

    void barCodePixels()
    {
        MemoryDataSource source;
        source.AddRow({{QStringLiteral("medium_pk"), QStringLiteral("42")}});
        TfrxDBDataset link;
        link.UserName = QLatin1String(dataSetName);
        link.DataSet = &source;
        TfrxReport report;
        report.Page = ReceiptPage();
        report.AddDataSet(&link);
        report.PrepareReport();

        const double dpi = 384.0; // four pixels a module
        const double pxPerMm = dpi / 25.4;
        const QImage image = ReportRenderer::PageImage(report.PreparedPages().Pages.at(0), dpi);
        // The bar code's box: 12 mm, 24 mm from the sheet's corner, 17.7 x 11.0 mm.
        const QRectF box(12.0 * pxPerMm, 24.0 * pxPerMm, Ean8::Width * pxPerMm, 11.0 * pxPerMm);
        const QRect area = box.toAlignedRect().adjusted(-8, -8, 8, 8);
        const QRect ink = inkBounds(image, area);
        QVERIFY(std::abs(ink.left() - box.left()) <= 1.5);
        QVERIFY(std::abs(ink.right() + 1 - box.right()) <= 1.5);
        QVERIFY(std::abs(ink.top() - box.top()) <= 1.5);
        QVERIFY2(ink.bottom() + 1 <= box.bottom() + 1.5, "nothing below the 11 mm");
        QVERIFY2(ink.bottom() + 1 >= box.bottom() - 1.0 * pxPerMm, "digits at the foot");
        QCOMPARE(ink.width(), static_cast<int>(std::lround(67 * 4.0)));

        const int y = static_cast<int>(box.top() + 3.0 * pxPerMm);
        QCOMPARE(decodeEan8(image, y, dpi / 96.0), QStringLiteral("00000420"));
        // The guards reach down between the digits, below the data bars.
        auto barBottom = [&](int module) {
            const int x = static_cast<int>(box.left() + (module + 0.5) * 4.0);
            int yy = ink.top();
            while (yy <= ink.bottom() && qGray(image.pixel(x, yy)) < 128)
                ++yy;
            return yy;
        };
        const int guard = barBottom(0);
        const int bar = barBottom(6); // first digit 0: 0001101
        QVERIFY(bar > ink.top() + 6.0 * pxPerMm);
        QVERIFY(guard > bar + 0.5 * pxPerMm);
        // The digits fill the space under the data bars.
        const QRect digits =
            inkBounds(image, QRect(QPoint(static_cast<int>(box.left() + 4 * 4), bar + 2),
                                   QPoint(static_cast<int>(box.left() + 30 * 4), ink.bottom())));
        QVERIFY(!digits.isNull());
        QVERIFY(digits.width() > 20 * 4);
        QVERIFY(digits.height() > 1.5 * pxPerMm);
    }

    void barCodeScans()
    {
        // zbarimg checks the check digit: 0000048 has check digit 2.
        ReportPage page;
        page.Add(BarCodeObject(QStringLiteral("BarCode1"), 20.0, 20.0, 11.0, QStringLiteral("48")));
        TfrxReport report;
        report.Page = page;
        report.PrepareReport();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("code.png"));
        QVERIFY(ReportRenderer::PageImage(report.PreparedPages().Pages.at(0), 300).save(file));
        QCOMPARE(scanBarCodes(file), QStringLiteral("EAN-8:00000482"));
    }

    void textStaysInItsBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("align");
        const QString words = QStringLiteral(
            "Ein sehr langer Titel, der nicht in seine Zeile passt und umbrochen wird, "
            "bis er am unteren Rand des Kastens abgeschnitten ist WWWW");
        QTest::newRow("words, left") << words << int(HAlign::Left);
        QTest::newRow("words, right") << words << int(HAlign::Right);
        QTest::newRow("one long word") << QString(80, QLatin1Char('W')) << int(HAlign::Left);
        QTest::newRow("line breaks") << "Eins\nZwei\r\nDrei\nVier" << int(HAlign::Left);
    }
    void textStaysInItsBox()
    {
        QFETCH(QString, text);
        QFETCH(int, align);
        const QRectF box(32.0, 40.0, 84.0, 9.0); // room for two lines of 10 pt
        TfrxReport report;
        report.Page = singleBoxPage(text, box.translated(-10.0, -10.0), HAlign(align));
        report.PrepareReport();
        const double dpi = 200.0;
        const double pxPerMm = dpi / 25.4;
        const QImage image = ReportRenderer::PageImage(report.PreparedPages().Pages.at(0), dpi);
        const QRectF boxPx(box.x() * pxPerMm, box.y() * pxPerMm, box.width() * pxPerMm,
                           box.height() * pxPerMm);
        const QRect ink = inkBounds(image);
        QVERIFY(!ink.isNull());
        QVERIFY2(boxPx.adjusted(-1, -1, 1, 1).contains(QRectF(ink).adjusted(0, 0, 1, 1)),
                 qPrintable(QStringLiteral("ink %1,%2 %3x%4 outside the box")
                                .arg(ink.x())
                                .arg(ink.y())
                                .arg(ink.width())
                                .arg(ink.height())));
        // Wrapped: the second line is used, and the text is aligned at the top.
        QVERIFY(ink.bottom() > boxPx.top() + 5.0 * pxPerMm);
        QVERIFY(ink.top() < boxPx.top() + 1.5 * pxPerMm);
        if (HAlign(align) == HAlign::Right)
            QVERIFY(ink.right() > boxPx.right() - 1.0 * pxPerMm);
        else
            QVERIFY(ink.left() < boxPx.left() + 1.0 * pxPerMm);
    }

    void arialResolves()
    {
        const QFontInfo regular(ReportRenderer::Font(ReportFont{}));
        QVERIFY2(regular.family() == QLatin1String("Arial") ||
                     regular.family() == QLatin1String("Liberation Sans"),
                 qPrintable(regular.family()));
        const QFontInfo bold(ReportRenderer::Font(ReportFont{QStringLiteral("Arial"), 12.0, true}));
        QVERIFY(bold.bold());
        QCOMPARE(bold.pointSizeF(), 12.0);
    }
};

QTEST_MAIN(TestReportPages)
#include "test_report_pages.moc"
