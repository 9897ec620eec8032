// The written results: PDF files with their document information, the export and print
// dialogs answered as a person would.
#include "report_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/pdf_checks.h"

#include "platform/report/frx_pdf_export.h"
#include "platform/report/frx_report.h"
#include "platform/report/report_renderer.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exception.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace testdb;

namespace {

// The inventory list over count rows of the given kind.
template <class Rows> struct InventoryOf {
    Rows rows;
    TfrxDBDataset link;
    TfrxReport report;

    explicit InventoryOf(int count)
    {
        for (int i = 1; i <= count; ++i)
            rows.AddRow(InventoryRow(i));
        link.UserName = QLatin1String(dataSetName);
        link.DataSet = &rows;
        report.ReportOptions.Name = QStringLiteral("Infentar");
        report.Page = InventoryPage();
        report.AddDataSet(&link);
    }
    void setTitle(int number, const String& title)
    {
        MemoryDataSource copy;
        rows.First();
        for (int i = 1; i <= rows.RowCount(); ++i) {
            MemoryDataSource::Row row = InventoryRow(i);
            if (i == number)
                row.insert(QStringLiteral("titel"), title);
            copy.AddRow(row);
        }
        rows = copy;
    }
};
using Inventory = InventoryOf<MemoryDataSource>;

// The progress window shown over the application, if there is one.
QProgressDialog* shownProgress()
{
    auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    return progress && progress->isVisible() ? progress : nullptr;
}

// Presses "Abbrechen" in it; how many such buttons were pressed.
int pressCancel(QProgressDialog& progress)
{
    int pressed = 0;
    for (QPushButton* button : progress.findChildren<QPushButton*>())
        if (button->text() == QLatin1String("Abbrechen")) {
            QTest::mouseClick(button, Qt::LeftButton);
            ++pressed;
        }
    return pressed;
}

// Presses "Abbrechen" in the progress window of that title as soon as it is shown.
class ProgressCanceller : public QObject {
public:
    explicit ProgressCanceller(const QString& title) : title_(title)
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            QProgressDialog* progress = shownProgress();
            if (progress && progress->windowTitle() == title_ && !progress->wasCanceled())
                Pressed += pressCancel(*progress);
        });
        timer_.start(0);
    }
    int Pressed = 0;

private:
    QString title_;
    QTimer timer_;
};

// Rows that note, as each is read, the label of the progress window shown then, and press
// its button at the row asked for.
class WatchedRows : public MemoryDataSource {
public:
    QStringList Shown;
    int CancelAt = -1;

    void Next() override
    {
        if (QProgressDialog* progress = shownProgress()) {
            Shown << progress->labelText();
            if (Shown.size() == CancelAt)
                pressCancel(*progress);
        }
        MemoryDataSource::Next();
    }
};

// The files in a folder, with the content of each.
QMap<QString, QByteArray> filesIn(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile f(QDir(folder).filePath(name));
        if (f.open(QIODevice::ReadOnly))
            files.insert(name, f.readAll());
    }
    return files;
}

// The number at the foot of a built page: "page / pages".
QString footerOf(const PreparedPage& page)
{
    QStringList parts;
    for (const PreparedItem& item : page.Items)
        if (item.Band == static_cast<int>(page.Bands.size()) - 1)
            parts << item.Text;
    return parts.join(QLatin1Char(' '));
}

bool pageNumbers(const QString& text, int page, int pages)
{
    return QRegularExpression(QStringLiteral("\\b%1\\s*/\\s*%2\\b").arg(page).arg(pages))
        .match(text)
        .hasMatch();
}

} // namespace

class TestReportOutput : public QObject {
    Q_OBJECT
private slots:
    void documentInfo_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QString>("shownTitle");
        QTest::newRow("filter defaults") << ""
                                         << "FastReport"
                                         << "FastReport PDF export"
                                         << ""
                                         << "Infentar";
        QTest::newRow("own, with umlauts")
            << QString::fromUtf8("Bücherliste") << QString::fromUtf8("Jürgen Groß")
            << "Inventar (alle Medien)" << QString::fromUtf8("Bücher, Filme")
            << QString::fromUtf8("Bücherliste");
    }
    void documentInfo()
    {
        QFETCH(QString, title);
        QFETCH(QString, author);
        QFETCH(QString, subject);
        QFETCH(QString, keywords);
        QFETCH(QString, shownTitle);
        Inventory inv(43);
        inv.report.PrepareReport();
        TfrxPDFExport filter;
        QCOMPARE(filter.Author, QStringLiteral("FastReport"));
        QCOMPARE(filter.Subject, QStringLiteral("FastReport PDF export"));
        filter.Title = title;
        filter.Author = author;
        filter.Subject = subject;
        filter.Keywords = keywords;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("infentar.pdf"));
        QVERIFY(filter.SaveToFile(inv.report.PreparedPages(), inv.report.ReportOptions.Name, file));

        const QMap<QString, QString> info = pdfInfo(file);
        QCOMPARE(info.value(QStringLiteral("Title")), shownTitle);
        QCOMPARE(info.value(QStringLiteral("Author")), author);
        QCOMPARE(info.value(QStringLiteral("Subject")), subject);
        QCOMPARE(info.value(QStringLiteral("Keywords")), keywords);
        QCOMPARE(info.value(QStringLiteral("Pages")), QStringLiteral("3"));
        QVERIFY(info.value(QStringLiteral("Page size")).contains(QLatin1String("A4")));
        QVERIFY(info.contains(QStringLiteral("CreationDate")));

        QFile raw(file);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY2(bytes.count("/FlateDecode") >= 3, "page streams are compressed");
    }

    void pdfContent_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("empty catalogue") << 0 << 1;
        QTest::newRow("three pages") << 43 << 3;
    }
    void pdfContent()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        Inventory inv(rows);
        if (rows > 1)
            inv.setTitle(2, QStringLiteral("Ein sehr langer Titel, der nicht in seine Zeile "
                                           "passt und abgeschnitten wird ENDE"));
        const String today = DateToStr(Today());
        inv.report.PrepareReport();
        TfrxPDFExport filter;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("infentar.pdf"));
        QVERIFY(filter.SaveToFile(inv.report.PreparedPages(), inv.report.ReportOptions.Name, file));
        QCOMPARE(pdfInfo(file).value(QStringLiteral("Pages")), QString::number(pages));

        const QString first = pdfText(file, 1);
        QVERIFY2(first.contains(QLatin1String("Infentarliste")), qPrintable(first));
        QVERIFY(first.contains(QLatin1String("Druckdatum:")));
        QVERIFY(first.contains(today) || first.contains(DateToStr(Today())));
        QVERIFY2(pageNumbers(first, 1, pages), qPrintable(first));
        QCOMPARE(first.contains(QString::fromUtf8("Rückgabe")), rows > 0);
        QCOMPARE(first.contains(QLatin1String("Kategorie")), rows > 0);
        if (rows == 0)
            return;
        QVERIFY(first.contains(QLatin1String("Titel 001")));
        QVERIFY(first.contains(QLatin1String("Leser 003")));
        // Wrapped and cut at the box's lower edge: only the first line is shown.
        QVERIFY(first.contains(QLatin1String("Ein sehr langer Titel")));
        QVERIFY(!first.contains(QLatin1String("ENDE")));
        for (int p = 2; p <= pages; ++p) {
            const QString text = pdfText(file, p);
            QVERIFY2(pageNumbers(text, p, pages), qPrintable(text));
            QVERIFY(!text.contains(QLatin1String("Infentarliste")));
            QVERIFY(!text.contains(QLatin1String("Kategorie")));
        }
        QVERIFY(pdfText(file, pages).contains(QStringLiteral("Titel 0%1").arg(rows)));
    }

    void landscapePdf()
    {
        Inventory inv(1);
        inv.report.Page.Orientation = PageOrientation::Landscape;
        inv.report.PrepareReport();
        TfrxPDFExport filter;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("quer.pdf"));
        QVERIFY(filter.SaveToFile(inv.report.PreparedPages(), inv.report.ReportOptions.Name, file));
        QVERIFY(pdfInfo(file)
                    .value(QStringLiteral("Page size"))
                    .startsWith(QLatin1String("842 x 595")));
    }

    void pdfMatchesImage()
    {
        // The same page drawn by the PDF writer and into an image covers the same millimetres.
        Inventory inv(5);
        inv.report.PrepareReport();
        TfrxPDFExport filter;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("page.pdf"));
        QVERIFY(filter.SaveToFile(inv.report.PreparedPages(), inv.report.ReportOptions.Name, file));
        const QString out =
            run(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), file, dir.filePath(QStringLiteral("page"))});
        QVERIFY2(out.isEmpty(), qPrintable(out));
        const QImage fromPdf(dir.filePath(QStringLiteral("page.png")));
        QVERIFY(!fromPdf.isNull());
        const QImage drawn = ReportRenderer::PageImage(inv.report.PreparedPages().Pages.at(0), 100);
        QVERIFY(std::abs(fromPdf.width() - drawn.width()) <= 1);
        const QRect a = inkBounds(fromPdf);
        const QRect b = inkBounds(drawn);
        for (auto [x, y] : {std::pair{a.left(), b.left()},
                            {a.top(), b.top()},
                            {a.right(), b.right()},
                            {a.bottom(), b.bottom()}})
            QVERIFY2(std::abs(x - y) <= 2,
                     qPrintable(QStringLiteral("%1 against %2").arg(x).arg(y)));
    }

    void exportThroughDialogs()
    {
        Inventory inv(25);
        inv.report.PrepareReport();
        TfrxPDFExport filter;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("liste.pdf"));
        {
            DialogDriver driver;
            driver
                .then([](QWidget* w) {
                    QCOMPARE(w->objectName(), QStringLiteral("dlg_pdf_export"));
                    // What the file will get, each text whole: with the cursor at its end,
                    // its first character still stands at the field's left edge.
                    QCOMPARE(w->findChild<QLineEdit*>(QStringLiteral("edt_title"))->text(),
                             QStringLiteral("Infentar"));
                    for (QLineEdit* e : w->findChildren<QLineEdit*>()) {
                        e->end(false);
                        const QPoint left =
                            e->contentsRect().topLeft() + QPoint(3, e->height() / 2);
                        QVERIFY2(e->cursorPositionAt(left) == 0, qPrintable(e->objectName()));
                    }
                    QCOMPARE(w->findChild<QLineEdit*>(QStringLiteral("edt_author"))->text(),
                             QStringLiteral("FastReport"));
                    QCOMPARE(w->findChild<QLineEdit*>(QStringLiteral("edt_subject"))->text(),
                             QStringLiteral("FastReport PDF export"));
                    QVERIFY(
                        w->findChild<QCheckBox*>(QStringLiteral("chk_compressed"))->isChecked());
                    QVERIFY(
                        !w->findChild<QCheckBox*>(QStringLiteral("chk_overwrite"))->isChecked());
                    DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("edt_author")),
                                       QStringLiteral("Ich"));
                    DialogDriver::Accept(w);
                })
                .then([&](QWidget* w) {
                    auto* save = qobject_cast<QFileDialog*>(w);
                    QVERIFY(save);
                    QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
                    DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                                       file);
                    DialogDriver::Accept(w);
                });
            QVERIFY(inv.report.Export(&filter));
            QCOMPARE(driver.Answered(), 2);
            QCOMPARE(driver.Unexpected, QStringList());
            QVERIFY2(driver.ProgressSeen > 0, "a progress window while the pages are written");
            QCOMPARE(driver.ProgressMaximum, 2);
        }
        QCOMPARE(filter.FileName, file);
        QCOMPARE(pdfInfo(file).value(QStringLiteral("Author")), QStringLiteral("Ich"));
        QCOMPARE(pdfInfo(file).value(QStringLiteral("Title")), QStringLiteral("Infentar"));

        // The next export of the run offers the same file and the options chosen; the existing
        // file is replaced without a question.
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("old content");
        old.close();
        {
            DialogDriver driver;
            driver
                .then([](QWidget* w) {
                    QCOMPARE(w->findChild<QLineEdit*>(QStringLiteral("edt_author"))->text(),
                             QStringLiteral("Ich"));
                    DialogDriver::Accept(w);
                })
                .then([&](QWidget* w) {
                    auto* save = qobject_cast<QFileDialog*>(w);
                    QVERIFY(save);
                    QCOMPARE(save->selectedFiles().value(0), file);
                    QCOMPARE(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
                             QStringLiteral("liste.pdf"));
                    DialogDriver::Accept(w);
                });
            QVERIFY(inv.report.Export(&filter));
            QCOMPARE(driver.Answered(), 2);
            QCOMPARE(driver.Unexpected, QStringList());
        }
        QCOMPARE(pdfInfo(file).value(QStringLiteral("Pages")), QStringLiteral("2"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("liste.pdf")});
    }

    void cancelWritesNothing_data()
    {
        QTest::addColumn<int>("cancelAt");
        QTest::newRow("export dialog") << 0;
        QTest::newRow("file-save dialog") << 1;
    }
    void cancelWritesNothing()
    {
        QFETCH(int, cancelAt);
        Inventory inv(3);
        inv.report.PrepareReport();
        TfrxPDFExport filter;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("nie.pdf"));
        DialogDriver driver;
        driver
            .then([&](QWidget* w) {
                if (cancelAt == 0)
                    DialogDriver::Reject(w);
                else
                    DialogDriver::Accept(w);
            })
            .then([&](QWidget* w) {
                DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), file);
                DialogDriver::Reject(w);
            });
        try {
            QVERIFY(!inv.report.Export(&filter));
        } catch (const Exception& e) {
            QFAIL(qPrintable(e.Message));
        }
        QCOMPARE(driver.Answered(), cancelAt + 1);
        QCOMPARE(driver.Unexpected, QStringList());
        QCOMPARE(driver.ProgressSeen, 0);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(filter.FileName, QString());
    }

    // Where the file-save dialog opens: in the folder of the file last chosen, while there is
    // one; else in the documents folder, or in the home folder where that is missing.
    void fileDialogFolder_data()
    {
        QTest::addColumn<QString>("last");     // under the home folder; empty: none
        QTest::addColumn<bool>("documents");   // a documents folder exists
        QTest::addColumn<QString>("opensIn");  // under the home folder
        QTest::addColumn<QString>("proposed"); // the name in the field
        QTest::newRow("first, without documents") << "" << false << ""
                                                  << "";
        QTest::newRow("first, with documents") << "" << true << "Documents"
                                               << "";
        QTest::newRow("folder last used") << "Listen/alt.pdf" << true << "Listen"
                                          << "alt.pdf";
        QTest::newRow("folder last used is gone") << "Weg/alt.pdf" << true << "Documents"
                                                  << "alt.pdf";
    }
    void fileDialogFolder()
    {
        QFETCH(QString, last);
        QFETCH(bool, documents);
        QFETCH(QString, opensIn);
        QFETCH(QString, proposed);
        QTemporaryDir home;
        const QDir h(home.path());
        if (documents)
            QVERIFY(h.mkpath(QStringLiteral("Documents")));
        QVERIFY(h.mkpath(QStringLiteral("Listen")));
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        Inventory inv(1);
        inv.report.PrepareReport();
        TfrxPDFExport filter;
        if (!last.isEmpty())
            filter.FileName = h.filePath(last);
        QString folder, name;
        DialogDriver driver;
        driver.then([](QWidget* w) { DialogDriver::Accept(w); }).then([&](QWidget* w) {
            auto* save = qobject_cast<QFileDialog*>(w);
            QVERIFY(save);
            folder = save->directory().absolutePath();
            name = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            DialogDriver::Reject(w);
        });
        const bool written = inv.report.Export(&filter);
        qputenv("HOME", oldHome);
        QVERIFY(!written);
        QCOMPARE(driver.Answered(), 2);
        QCOMPARE(folder, QDir::cleanPath(h.filePath(opensIn)));
        QCOMPARE(name, proposed);
    }

    void printThroughDialog_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("pages"); // printed; -1: nothing
        QTest::newRow("OK") << "ok" << 3;
        QTest::newRow("pages 2 to 3") << "range" << 2;
        QTest::newRow("Cancel") << "cancel" << -1;
    }
    void printThroughDialog()
    {
        QFETCH(QString, answer);
        QFETCH(int, pages);
        Inventory inv(43);
        inv.report.PrepareReport();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("druck.pdf"));
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            QVERIFY(qobject_cast<QPrintDialog*>(w));
            auto* printers = w->findChild<QComboBox*>(QStringLiteral("printers"));
            QVERIFY(printers);
            if (!QPrinterInfo::defaultPrinterName().isEmpty())
                QCOMPARE(printers->currentText(), QPrinterInfo::defaultPrinterName());
            QCOMPARE(w->findChild<QSpinBox*>(QStringLiteral("copies"))->value(), 1);
            QVERIFY(w->findChild<QCheckBox*>(QStringLiteral("collate"))->isChecked());
            if (answer == QLatin1String("cancel")) {
                DialogDriver::Reject(w);
                return;
            }
            // Without a printer on this machine the output goes to a file.
            DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("filename")), file);
            if (answer == QLatin1String("range")) {
                QTest::mouseClick(w->findChild<QRadioButton*>(QStringLiteral("printRange")),
                                  Qt::LeftButton);
                w->findChild<QSpinBox*>(QStringLiteral("to"))->setValue(3);
                w->findChild<QSpinBox*>(QStringLiteral("from"))->setValue(2);
            }
            DialogDriver::Accept(w);
        });
        bool printed = false;
        try {
            printed = inv.report.Print();
        } catch (const Exception& e) {
            QFAIL(qPrintable(e.Message));
        }
        QCOMPARE(driver.Answered(), 1);
        QCOMPARE(driver.Unexpected, QStringList());
        QCOMPARE(printed, pages >= 0);
        if (pages < 0) {
            QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
            return;
        }
        const QMap<QString, QString> info = pdfInfo(file);
        QCOMPARE(info.value(QStringLiteral("Title")), QStringLiteral("Infentar")); // the job title
        QCOMPARE(info.value(QStringLiteral("Pages")), QString::number(pages));
        const QString text = pdfText(file, 1);
        QVERIFY2(pageNumbers(text, 3 - pages + 1, 3), qPrintable(text));
    }

    void nothingToPrintOrExport()
    {
        // A receipt whose key has no row has no page: neither dialog comes up.
        MemoryDataSource empty;
        TfrxDBDataset link;
        link.UserName = QLatin1String(dataSetName);
        link.DataSet = &empty;
        TfrxReport report;
        report.Page = ReceiptPage();
        report.AddDataSet(&link);
        report.PrepareReport();
        QCOMPARE(report.PreparedPages().Count(), 0);
        TfrxPDFExport filter;
        DialogDriver driver;
        QVERIFY(!report.Print());
        QVERIFY(!report.Export(&filter));
        QCOMPARE(driver.Unexpected, QStringList());
    }

    void manyPagesOneAtATime()
    {
        // 20 rows on the first page, 22 on each of the 90 after it: more pages than the cache
        // keeps in memory, so most are read back from its file.
        QTemporaryDir dir;
        Inventory inv(2000);
        QVERIFY(inv.report.PrepareReport());
        const PageSource& pages = inv.report.PreviewPages();
        QCOMPARE(pages.Count(), 91);
        for (int p : {0, 1, 45, 89, 90}) {
            const PreparedPage page = pages.Page(p);
            QCOMPARE(footerOf(page), QStringLiteral("%1 / 91").arg(p + 1));
            // The first row of the page, after the 20 of the first page.
            const int row = p == 0 ? 1 : 21 + (p - 1) * 22;
            const auto first =
                std::find_if(page.Items.begin(), page.Items.end(), [](const PreparedItem& i) {
                    return i.Text.startsWith(QLatin1String("Titel "));
                });
            QVERIFY(first != page.Items.end());
            QCOMPARE(first->Text, QStringLiteral("Titel %1").arg(row, 3, 10, QLatin1Char('0')));
        }
        // All of them at once are the same pages.
        const PreparedReport& all = inv.report.PreparedPages();
        QCOMPARE(all.Count(), 91);
        for (int p = 0; p < all.Count(); ++p) {
            const PreparedPage one = pages.Page(p);
            QCOMPARE(all.Pages[p].Items.size(), one.Items.size());
            for (std::size_t i = 0; i < one.Items.size(); ++i) {
                QCOMPARE(all.Pages[p].Items[i].Text, one.Items[i].Text);
                QCOMPARE(all.Pages[p].Items[i].Rect, one.Items[i].Rect);
            }
        }

        TfrxPDFExport filter;
        const QString file = dir.filePath(QStringLiteral("alle.pdf"));
        QVERIFY(filter.SaveToFile(pages, inv.report.ReportOptions.Name, file));
        QCOMPARE(pdfInfo(file).value(QStringLiteral("Pages")), QStringLiteral("91"));
        const QString last = pdfText(file, 91);
        QVERIFY2(pageNumbers(last, 91, 91) && last.contains(QLatin1String("Titel 2000")),
                 qPrintable(last));
        QVERIFY(pageNumbers(pdfText(file, 46), 46, 91));

        // The printer takes its pages in any order: the last three, last first.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("druck.pdf")));
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(QPageRanges::fromString(QStringLiteral("89-91")));
        printer.setPageOrder(QPrinter::LastPageFirst);
        inv.report.PrintTo(printer);
        const QStringList printed = pdfPages(dir.filePath(QStringLiteral("druck.pdf")));
        QCOMPARE(printed.size(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(pageNumbers(printed[i], 91 - i, 91), qPrintable(printed[i]));
    }

    void progressWhileBuilding_data()
    {
        QTest::addColumn<bool>("show");
        QTest::newRow("shown") << true;
        QTest::newRow("not asked for") << false;
    }
    void progressWhileBuilding()
    {
        QFETCH(bool, show);
        InventoryOf<WatchedRows> inv(100);
        inv.report.ShowProgress = show;
        QVERIFY(inv.report.PrepareReport());
        QCOMPARE(inv.report.PreviewPages().Count(), 5);
        if (!show) {
            QCOMPARE(inv.rows.Shown, QStringList());
            return;
        }
        // From the first row to the last.
        QCOMPARE(inv.rows.Shown.size(), 100);
        QVERIFY2(inv.rows.Shown.front().startsWith(QLatin1String("Der Bericht wird erstellt")),
                 qPrintable(inv.rows.Shown.front()));
        QVERIFY(QApplication::activeModalWidget() == nullptr); // gone when done
    }

    void buildingCancelled()
    {
        InventoryOf<WatchedRows> inv(300);
        inv.rows.CancelAt = 50;
        QVERIFY(!inv.report.PrepareReport());
        QVERIFY(inv.rows.Shown.size() < 300); // it stopped
        QCOMPARE(inv.report.PreviewPages().Count(), 0);
        // Nothing to print or export, and no dialog for it.
        DialogDriver driver;
        TfrxPDFExport filter;
        QVERIFY(!inv.report.Print());
        QVERIFY(!inv.report.Export(&filter));
        QCOMPARE(driver.Unexpected, QStringList());
        QCOMPARE(driver.Answered(), 0);
    }

    void cancelledWritingLeavesNoFile_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new file") << false;
        QTest::newRow("file there already") << true;
    }
    void cancelledWritingLeavesNoFile()
    {
        QFETCH(bool, existing);
        Inventory inv(300);
        inv.report.PrepareReport();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("liste.pdf"));
        if (existing) {
            QFile old(file);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old content");
        }
        const QMap<QString, QByteArray> before = filesIn(dir.path());
        TfrxPDFExport filter;
        DialogDriver driver;
        driver.then([](QWidget* w) { DialogDriver::Accept(w); }).then([&](QWidget* w) {
            DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), file);
            DialogDriver::Accept(w);
        });
        ProgressCanceller cancel(QStringLiteral("PDF-Export"));
        try {
            QVERIFY(!inv.report.Export(&filter));
        } catch (const Exception& e) {
            QFAIL(qPrintable(e.Message));
        }
        QCOMPARE(driver.Answered(), 2);
        QCOMPARE(cancel.Pressed, 1);
        QCOMPARE(filesIn(dir.path()), before);
    }

    void failedWritingLeavesNoFile()
    {
        // The system refuses to let the file grow past 40 KiB half way through the pages.
        Inventory inv(600);
        inv.report.PrepareReport();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("liste.pdf"));
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content");
        old.close();
        const QMap<QString, QByteArray> before = filesIn(dir.path());
        TfrxPDFExport filter;
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit small{40 * 1024, limit.rlim_max};
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString failure;
        try {
            filter.SaveToFile(inv.report.PreviewPages(), QStringLiteral("Infentar"), file);
        } catch (const EReportError& e) {
            failure = e.Message;
        }
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previous);
        QVERIFY2(failure.contains(QLatin1String("cannot be written")), qPrintable(failure));
        QCOMPARE(filesIn(dir.path()), before);
    }

    void unwritableFile()
    {
        Inventory inv(1);
        inv.report.PrepareReport();
        TfrxPDFExport filter;
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(
            EReportError, filter.SaveToFile(inv.report.PreparedPages(), QStringLiteral("Infentar"),
                                            dir.filePath(QStringLiteral("fehlt/liste.pdf"))));
    }
};

QTEST_MAIN(TestReportOutput)
#include "test_report_output.moc"
