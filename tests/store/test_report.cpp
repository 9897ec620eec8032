// The two reports through the gateway: the inventory list exported as PDF or printed, the loan
// receipt printed, with their real dialogs answered as a person would.
#include "catalogue.h"
#include "platform/report/ean8.h"
#include "platform/report/report_renderer.h"
#include "tests/support/checks.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/pdf_checks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using namespace testdb;

using testdb::Catalogue;

namespace {

const QString kInfentarSentence = QStringLiteral(". Infentar kann nicht gedruckt werden");
const QString kQuitungSentence = QStringLiteral(". Quitung kann nicht gedruckt werden");

// Words with their boxes in points, from pdftotext's bounding-box output.
struct Word {
    int page;
    QRectF box;
    QString text;
};

std::vector<Word> pdfWords(const QString& file)
{
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<Word> words;
    int page = 0;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        const QPointF tl(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF br(m.captured(3).toDouble(), m.captured(4).toDouble());
        QString text = m.captured(5);
        text.replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.push_back({page, QRectF(tl, br), text});
    }
    return words;
}

std::string latin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

// One medium of the seeded inventory with the eight fields the list shows.
struct Entry {
    QString typ, titel, ort, kategorie, rueckgabe, ausgeliehen, autor, jahr;
};

const QStringList kTypes = {"Buch", "DVD", "CD"};
const QStringList kCategories = {"Roman", "Sachbuch", "Kinder"};
const QStringList kPlaces = {"Wohnzimmer", QString::fromUtf8("Bücherregal"), "Keller"};
const QString kLongTitle =
    QString::fromUtf8("Garten 12 und ein sehr langer Untertitel, der über mehrere Zeilen laufen "
                      "würde, wenn sein Kasten hoch genug wäre, ENDE");

// n media whose titles sort differently from their keys; every fourth one lent, one of
// them without a loan period; medium 12 with a title longer than its box. A medium without
// location is stored too: the inventory leaves it out. Returns the entries in title order.
std::vector<Entry> seed(Direct& sql, int n)
{
    sql.exec("insert into mediumtyp (typ) values ('Buch'), ('DVD'), ('CD');"
             "insert into kategorie (name) values ('Roman'), ('Sachbuch'), ('Kinder');"
             "insert into standort (ort) values ('Wohnzimmer'), ('B\xFC"
             "cherregal'), ('Keller')");
    const QStringList words = {"Mond", "Abend", "Sonne", "Garten", "Fluss"};
    std::vector<Entry> entries;
    std::string values;
    for (int i = 1; i <= n; ++i) {
        const QString nn = QStringLiteral("%1").arg(i, 2, 10, QChar(u'0'));
        Entry e;
        e.typ = kTypes[i % 3];
        e.titel = i == 12 ? kLongTitle : words[i % 5] + u' ' + nn;
        e.ort = kPlaces[i % 3];
        e.kategorie = kCategories[(i / 3) % 3];
        e.autor = (i % 3 == 0 ? QString::fromUtf8("Müller ") : QStringLiteral("Autor ")) + nn;
        e.jahr = QString::number(1950 + i);
        const bool lent = i % 4 == 0;
        const bool period = i != 20;
        if (lent) {
            e.ausgeliehen = QString::fromUtf8("Jürgen ") + nn;
            if (period)
                e.rueckgabe = QStringLiteral("15.03.2024");
        }
        if (!values.empty())
            values += ", ";
        values += "(" + std::to_string(i) + ", '" + sql.escape(latin1(e.titel)) + "', '" +
                  latin1(e.autor) + "', " + std::to_string(1 + i % 3) + ", " +
                  std::to_string(1 + i % 3) + ", " + std::to_string(1 + (i / 3) % 3) + ", '" +
                  latin1(e.jahr) + "', " +
                  (lent ? "'" + latin1(e.ausgeliehen) + "', '2024-03-01'" : "NULL, NULL") + ", " +
                  (lent && period ? "14" : "NULL") + ")";
        entries.push_back(e);
    }
    sql.exec("insert into medium (medium_pk, titel, autor, ort_fk, typ_fk, kategorie_fk, jahr, "
             "ausgeliehen, datum, tage) values " +
             values);
    sql.exec("insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values "
             "('Abend ohne Ort', NULL, 1, 1)");
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.titel < b.titel; });
    return entries;
}

// The PDF export answered with OK in the export dialog and the file typed into the file-save
// dialog; progressBefore takes the number of progress windows seen before the export dialog.
void exportTo(DialogDriver& driver, const QString& file, int* progressBefore = nullptr)
{
    driver
        .then([&driver, progressBefore](QWidget* w) {
            QCOMPARE(w->objectName(), QStringLiteral("dlg_pdf_export"));
            if (progressBefore)
                *progressBefore = driver.ProgressSeen;
            DialogDriver::Accept(w);
        })
        .then([file](QWidget* w) {
            QVERIFY(qobject_cast<QFileDialog*>(w));
            DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), file);
            DialogDriver::Accept(w);
        });
}

// The print dialog with the default printer, one copy, collated; without a printer on the
// machine the output goes to the file.
void printTo(DialogDriver& driver, const QString& file)
{
    driver.then([file](QWidget* w) {
        QVERIFY(qobject_cast<QPrintDialog*>(w));
        auto* printers = w->findChild<QComboBox*>(QStringLiteral("printers"));
        QVERIFY(printers);
        if (!QPrinterInfo::defaultPrinterName().isEmpty())
            QCOMPARE(printers->currentText(), QPrinterInfo::defaultPrinterName());
        QCOMPARE(w->findChild<QSpinBox*>(QStringLiteral("copies"))->value(), 1);
        QVERIFY(w->findChild<QCheckBox*>(QStringLiteral("collate"))->isChecked());
        DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("filename")), file);
        DialogDriver::Accept(w);
    });
}

bool allClosed()
{
    return !dat_medium->qry_infentar->Active() && !dat_medium->frdb_infentar->Active() &&
           !dat_medium->qry_quitung->Active() && !dat_medium->frdb_quitung->Active();
}

const double kPt = 72.0 / 25.4;

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private slots:
    void inventoryPdf()
    {
        Catalogue cat("infentar");
        const std::vector<Entry> entries = seed(cat.sql(), 45);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("infentar.pdf"));
        DialogDriver driver;
        int progressBefore = -1;
        exportTo(driver, file, &progressBefore);
        Db_access db;
        QCOMPARE(failureOf([&] { db.print_infentar(true); }), QStringLiteral("<no error>"));
        QCOMPARE(driver.Answered(), 2);
        QCOMPARE(driver.Unexpected, QStringList());
        // The report is built, with its progress window, before the export dialog; the pages
        // are written with another one after the file-save dialog.
        QCOMPARE(progressBefore, 1);
        QCOMPARE(driver.ProgressSeen, 2);
        QVERIFY(allClosed());

        // First page 20 media, then 22 a page.
        const QMap<QString, QString> info = pdfInfo(file);
        QCOMPARE(info.value(QStringLiteral("Pages")), QStringLiteral("3"));
        QCOMPARE(info.value(QStringLiteral("Title")), QStringLiteral("Infentar"));
        QCOMPARE(info.value(QStringLiteral("Author")), QStringLiteral("FastReport"));
        QCOMPARE(info.value(QStringLiteral("Subject")), QStringLiteral("FastReport PDF export"));
        QVERIFY(info.value(QStringLiteral("Page size")).contains(QLatin1String("A4")));

        const QStringList pages = pdfPages(file);
        QCOMPARE(pages.size(), 3);
        for (int p = 0; p < 3; ++p) {
            const QRegularExpression numbers(QStringLiteral("\\b%1\\s*/\\s*3\\s*$").arg(p + 1));
            QVERIFY2(numbers.match(pages[p]).hasMatch(), qPrintable(pages[p]));
            QCOMPARE(pages[p].contains(QLatin1String("Infentarliste")), p == 0);
            QCOMPARE(pages[p].contains(QLatin1String("Kategorie")), p == 0);
        }
        QVERIFY(pages[0].contains(QLatin1String("Druckdatum:")));
        QVERIFY(pages[0].contains(DateToStr(Today())));

        // Every medium in title order, in two lines: type, title, location, category; then
        // return date, borrower, author, year. The long title shows its first line only.
        QStringList lines;
        for (const QString& page : pages)
            for (const QString& line : page.split(u'\n'))
                if (!line.trimmed().isEmpty())
                    lines << line.trimmed();
        // Each piece a pattern; empty pieces (an empty box) are left out.
        auto fields = [](const QStringList& pieces) {
            QStringList shown;
            for (const QString& piece : pieces)
                if (!piece.isEmpty())
                    shown << piece;
            return QRegularExpression(u'^' + shown.join(QStringLiteral("\\s+")) + u'$');
        };
        auto esc = [](const QString& text) { return QRegularExpression::escape(text); };
        int at = 0;
        for (const Entry& e : entries) {
            const bool cut = e.titel == kLongTitle;
            const QString title = cut ? QStringLiteral("Garten 12 und ein sehr langer") : e.titel;
            while (at < lines.size() && !lines[at].contains(title))
                ++at;
            QVERIFY2(at + 1 < lines.size(), qPrintable(e.titel));
            const QRegularExpression first = fields(
                {esc(e.typ), u'(' + esc(title) + (cut ? QStringLiteral(".*?") : QString()) + u')',
                 esc(e.ort), esc(e.kategorie)});
            const QRegularExpressionMatch m = first.match(lines[at]);
            QVERIFY2(m.hasMatch(), qPrintable(lines[at]));
            // Wrapped at a word's end: what is shown is the title up to a blank.
            if (cut)
                QVERIFY2(kLongTitle.startsWith(m.captured(1)) &&
                             kLongTitle.at(m.captured(1).size()) == u' ',
                         qPrintable(m.captured(1)));
            const QRegularExpression second =
                fields({esc(e.rueckgabe), esc(e.ausgeliehen), esc(e.autor), esc(e.jahr)});
            QVERIFY2(second.match(lines[at + 1]).hasMatch(), qPrintable(lines[at + 1]));
            at += 2;
        }
        const QString all = pages.join(u'\n');
        QVERIFY(!all.contains(QLatin1String("ENDE")));
        QVERIFY(!all.contains(QLatin1String("Abend ohne Ort")));
    }

    void inventoryPlaces()
    {
        // The boxes of the first row and of the page footer where the template puts them:
        // the row 30 mm from the top (margin, title, header), the footer at 281 mm.
        Catalogue cat("plaetze");
        seed(cat.sql(), 1);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("plaetze.pdf"));
        DialogDriver driver;
        exportTo(driver, file);
        Db_access().print_infentar(true);
        QCOMPARE(driver.Answered(), 2);
        const std::vector<Word> words = pdfWords(file);
        auto found = [&](const QString& text, double x, double y) {
            for (const Word& w : words)
                if (w.text == text && std::abs(w.box.left() / kPt - x) < 0.8 &&
                    std::abs(w.box.top() / kPt - y) < 0.8)
                    return true;
            return false;
        };
        const QList<std::tuple<QString, double, double>> expected = {
            {"Infentarliste", 10, 10}, {"Druckdatum:", 145, 10}, {DateToStr(Today()), 173, 10},
            {"Typ", 11, 16},           {"Titel", 32, 16},        {"Standort", 118, 16},
            {"Kategorie", 164, 16},    {"Rückgabe", 11, 21},     {"Ausgeliehen", 32, 21},
            {"Autor", 118, 21},        {"Jahr", 180, 21},        {"DVD", 10, 30},
            {"Abend", 32, 30},         {"Bücherregal", 117, 30}, {"Roman", 163, 30},
            {"Autor", 117, 35},        {"1951", 180, 35},
        };
        for (const auto& [text, x, y] : expected)
            QVERIFY2(found(text, x, y),
                     qPrintable(QStringLiteral("%1 at %2, %3 mm").arg(text).arg(x).arg(y)));
        // The footer at 281 mm: the page number right-aligned in its box ending at 95 mm, then
        // "/" and the number of pages, which the text tool reads as one word.
        QVERIFY(std::any_of(words.begin(), words.end(), [](const Word& w) {
            return w.text == QLatin1String("1/1") && std::abs(w.box.top() / kPt - 281) < 0.8 &&
                   w.box.left() / kPt > 92 && w.box.left() / kPt < 95;
        }));
    }

    void emptyCatalogue()
    {
        Catalogue cat("leer");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("leer.pdf"));
        DialogDriver driver;
        exportTo(driver, file);
        Db_access().print_infentar(true);
        QCOMPARE(driver.Answered(), 2);
        QCOMPARE(pdfInfo(file).value(QStringLiteral("Pages")), QStringLiteral("1"));
        const QString text = pdfPages(file).value(0);
        QVERIFY2(text.contains(QLatin1String("Infentarliste")), qPrintable(text));
        QVERIFY(text.contains(QLatin1String("Druckdatum:")));
        QVERIFY(text.contains(DateToStr(Today())));
        QVERIFY2(QRegularExpression(QStringLiteral("\\b1\\s*/\\s*1\\s*$")).match(text).hasMatch(),
                 qPrintable(text));
        for (const char* caption : {"Typ", "Titel", "Standort", "Kategorie", "Autor", "Jahr"})
            QVERIFY2(!text.contains(QLatin1String(caption)), caption);
        QVERIFY(allClosed());
    }

    // The inventory in German dictionary order, as the list shows it: Ä with A, Ü with U,
    // where the server's default order puts them after Z.
    void inventoryInGermanOrder()
    {
        Catalogue cat("infentar_de");
        cat.sql().exec("insert into kategorie (name) values ('Roman');"
                       "insert into mediumtyp (typ) values ('Buch');"
                       "insert into standort (ort) values ('Regal');"
                       "insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values"
                       " ('Zauberfl\xF6te', 1, 1, 1), ('\xDC"
                       "ber den Wolken', 1, 1, 1), ('Tatort', 1, 1, 1),"
                       " ('\xC4pfel und Birnen', 1, 1, 1), ('Apfelbaum', 1, 1, 1)");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("de.pdf"));
        DialogDriver driver;
        exportTo(driver, file);
        Db_access().print_infentar(true);
        QCOMPARE(driver.Answered(), 2);
        const QString text = pdfPages(file).join(u'\n');
        const QStringList titles = {QString::fromUtf8("Äpfel und Birnen"), "Apfelbaum", "Tatort",
                                    QString::fromUtf8("Über den Wolken"),
                                    QString::fromUtf8("Zauberflöte")};
        qsizetype at = -1;
        for (const QString& title : titles) {
            const qsizetype next = text.indexOf(title);
            QVERIFY2(next > at, qPrintable(title + QStringLiteral(" out of order: ") + text));
            at = next;
        }
    }

    void secondExportOffersTheFirst()
    {
        Catalogue cat("zweimal");
        seed(cat.sql(), 3);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("liste.pdf"));
        {
            DialogDriver driver;
            driver
                .then([](QWidget* w) {
                    DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("edt_author")),
                                       QStringLiteral("Haushalt"));
                    DialogDriver::Accept(w);
                })
                .then([&](QWidget* w) {
                    DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                                       file);
                    DialogDriver::Accept(w);
                });
            Db_access().print_infentar(true);
            QCOMPARE(driver.Answered(), 2);
        }
        QCOMPARE(pdfInfo(file).value(QStringLiteral("Author")), QStringLiteral("Haushalt"));

        // The same file and options are offered; the file is replaced once the user confirms.
        cat.sql().exec("insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values "
                       "('Zugabe', 1, 1, 1)");
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("alt");
        old.close();
        {
            DialogDriver driver;
            driver
                .then([](QWidget* w) {
                    auto* author = w->findChild<QLineEdit*>(QStringLiteral("edt_author"));
                    QCOMPARE(author->text(), QStringLiteral("Haushalt"));
                    DialogDriver::Type(author, QStringLiteral("FastReport"));
                    DialogDriver::Accept(w);
                })
                .then([&](QWidget* w) {
                    auto* save = qobject_cast<QFileDialog*>(w);
                    QVERIFY(save);
                    QCOMPARE(save->selectedFiles().value(0), file);
                    DialogDriver::Accept(w);
                })
                .then([&](QWidget* w) {
                    auto* question = qobject_cast<QMessageBox*>(w);
                    QVERIFY(question);
                    QVERIFY2(question->text().contains(QLatin1String("liste.pdf")),
                             qPrintable(question->text()));
                    QTest::mouseClick(question->button(QMessageBox::Yes), Qt::LeftButton);
                });
            QCOMPARE(failureOf([] { Db_access().print_infentar(true); }),
                     QStringLiteral("<no error>"));
            QCOMPARE(driver.Answered(), 3);
            QCOMPARE(driver.Unexpected, QStringList());
        }
        QCOMPARE(pdfInfo(file).value(QStringLiteral("Author")), QStringLiteral("FastReport"));
        QVERIFY(pdfPages(file).value(0).contains(QLatin1String("Zugabe")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"liste.pdf"});
    }

    void printInventory()
    {
        Catalogue cat("drucken");
        seed(cat.sql(), 25);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("druck.pdf"));
        DialogDriver driver;
        printTo(driver, file);
        QCOMPARE(failureOf([] { Db_access().print_infentar(false); }),
                 QStringLiteral("<no error>"));
        QCOMPARE(driver.Answered(), 1);
        QCOMPARE(driver.Unexpected, QStringList());
        QVERIFY(allClosed());
        const QMap<QString, QString> info = pdfInfo(file);
        QCOMPARE(info.value(QStringLiteral("Title")), QStringLiteral("Infentar")); // the job
        QCOMPARE(info.value(QStringLiteral("Pages")), QStringLiteral("2"));
        QVERIFY(pdfPages(file).value(1).contains(
            QRegularExpression(QStringLiteral("\\b2\\s*/\\s*2\\s*$"))));
    }

    void cancel_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("cancelAt"); // the dialog, counted from 0
        QTest::newRow("export dialog") << "pdf" << 0;
        QTest::newRow("file-save dialog") << "pdf" << 1;
        QTest::newRow("print dialog, inventory") << "print" << 0;
        QTest::newRow("print dialog, receipt") << "receipt" << 0;
    }
    void cancel()
    {
        QFETCH(QString, report);
        QFETCH(int, cancelAt);
        Catalogue cat("abbrechen");
        seed(cat.sql(), 4);
        const QString before = dat_medium->pdf_infentar->FileName;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("nie.pdf"));
        DialogDriver driver;
        driver.then([&](QWidget* w) {
            if (qobject_cast<QPrintDialog*>(w))
                DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("filename")), file);
            if (cancelAt > 0)
                DialogDriver::Accept(w);
            else
                DialogDriver::Reject(w);
        });
        driver.then([&](QWidget* w) {
            DialogDriver::Type(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), file);
            DialogDriver::Reject(w);
        });
        const QString failure = failureOf([&] {
            if (report == QLatin1String("pdf"))
                Db_access().print_infentar(true);
            else if (report == QLatin1String("print"))
                Db_access().print_infentar(false);
            else
                Db_access().print_quitung(4);
        });
        QCOMPARE(failure, QStringLiteral("<no error>"));
        QCOMPARE(driver.Answered(), cancelAt + 1);
        QCOMPARE(driver.Unexpected, QStringList());
        // The progress of building the report, and none of writing it.
        QCOMPARE(driver.ProgressSeen, 1);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(dat_medium->pdf_infentar->FileName, before);
        QVERIFY(allClosed());
    }

    void receipt_data()
    {
        QTest::addColumn<int>("key");
        // The digits of the symbol, the key and its check digit; empty: no symbol.
        QTest::addColumn<QString>("code");
        // Title, ISBN, borrower, loan date, loan period, return date as the page shows them.
        QTest::addColumn<QStringList>("values");
        QTest::newRow("lent for 30 days")
            << 42 << "00000420" << QStringList{"Der Zauberberg", "978-3-16-148410-0", "Jürgen Groß",
                                               "01.03.2024",     "30 Tage",           "31.03.2024"};
        QTest::newRow("key 1") << 1 << "00000017"
                               << QStringList{"Buddenbrooks", "111",     "Jemand",
                                              "01.01.2023",   "10 Tage", "11.01.2023"};
        // Seven digits, the most a code holds; without a loan the date reads 6 January 2018.
        QTest::newRow("seven digits, not lent")
            << 9999999 << "99999995"
            << QStringList{"Tonio Kröger", "", "", "06.01.2018", " Tage", ""};
        // No EAN-8 symbol holds eight digits: the key stands there as a text.
        QTest::newRow("eight digits")
            << 10000000 << ""
            << QStringList{"Der Tod in Venedig", "", "", "06.01.2018", " Tage", ""};
    }
    void receipt()
    {
        QFETCH(int, key);
        QFETCH(QString, code);
        QFETCH(QStringList, values);
        Catalogue cat("quitung");
        cat.sql().exec("insert into mediumtyp (typ) values ('Buch');"
                       "insert into kategorie (name) values ('Roman');"
                       "insert into standort (ort) values ('Regal');"
                       "insert into medium (medium_pk, titel, isbn, ort_fk, typ_fk, kategorie_fk, "
                       "ausgeliehen, datum, tage) values "
                       "(1, 'Buddenbrooks', '111', 1, 1, 1, 'Jemand', '2023-01-01', 10),"
                       "(42, 'Der Zauberberg', '978-3-16-148410-0', 1, 1, 1, 'J\xFCrgen Gro\xDF', "
                       "'2024-03-01', 30),"
                       "(9999999, 'Tonio Kr\xF6ger', NULL, 1, 1, 1, NULL, NULL, NULL),"
                       "(10000000, 'Der Tod in Venedig', NULL, 1, 1, 1, NULL, NULL, NULL)");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("quitung.pdf"));
        DialogDriver driver;
        printTo(driver, file);
        QCOMPARE(failureOf([&] { Db_access().print_quitung(key); }), QStringLiteral("<no error>"));
        QCOMPARE(driver.Answered(), 1);
        QCOMPARE(driver.Unexpected, QStringList());
        QVERIFY(allClosed());

        const QMap<QString, QString> info = pdfInfo(file);
        QCOMPARE(info.value(QStringLiteral("Title")), QStringLiteral("Quitung"));
        QCOMPARE(info.value(QStringLiteral("Pages")), QStringLiteral("1"));
        const QString text = pdfPages(file).value(0);
        // Label and value side by side, at their places: the labels 2 mm into the printable
        // area, the values at 34 mm, the return date 1 mm below its label. Under the bars
        // the digits in two halves; without bars the key.
        const QStringList labels = {"Titel:",        "ISBN:",         "Ausleihperson:",
                                    "Ausleihdatum:", "Ausleihfrist:", "Rückgabedatum:"};
        const double top[] = {26, 33, 39, 46, 53, 60};
        QStringList pattern{QStringLiteral("Ausleihquittung"), QStringLiteral("Druckdatum:"),
                            DateToStr(Today())};
        if (code.isEmpty())
            pattern << QString::number(key);
        else
            pattern << code.left(4) << code.mid(4);
        for (int i = 0; i < labels.size(); ++i)
            pattern << labels[i] << values[i].trimmed();
        pattern.removeAll(QString());
        for (QString& p : pattern)
            p = QRegularExpression::escape(p);
        QVERIFY2(QRegularExpression(u'^' + pattern.join(QStringLiteral("\\s+")) + u'$')
                     .match(text.trimmed())
                     .hasMatch(),
                 qPrintable(text));
        const std::vector<Word> words = pdfWords(file);
        auto found = [&](const QString& text, double x, double y) {
            return std::any_of(words.begin(), words.end(), [&](const Word& w) {
                return w.text == text && std::abs(w.box.left() / kPt - x) < 0.8 &&
                       std::abs(w.box.top() / kPt - y) < 0.8;
            });
        };
        QVERIFY(found(QStringLiteral("Ausleihquittung"), 12, 10));
        QVERIFY(found(QStringLiteral("Druckdatum:"), 153, 10));
        QVERIFY(found(DateToStr(Today()), 178, 10));
        for (int i = 0; i < labels.size(); ++i) {
            QVERIFY2(found(labels[i], 12, 10 + top[i]), qPrintable(labels[i]));
            const QString first = values[i].section(u' ', 0, 0);
            if (!first.isEmpty())
                QVERIFY2(found(first, 44, 10 + top[i] + (i == 5 ? 1 : 0)), qPrintable(first));
        }
        for (const char* other : {"Buddenbrooks", "Zauberberg", "Tonio", "Venedig"})
            if (!values[0].contains(QLatin1String(other)))
                QVERIFY2(!text.contains(QLatin1String(other)), other);

        // The printed page: a scanner reads the key and its check digit in the bars, and
        // finds no symbol where the key has none.
        const double dpi = 384.0; // four pixels a module
        const QString png = dir.filePath(QStringLiteral("gedruckt"));
        QCOMPARE(run(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                      QStringLiteral("-singlefile"), QStringLiteral("-aa"), QStringLiteral("no"),
                      QStringLiteral("-aaVector"), QStringLiteral("no"), file, png}),
                 QString());
        QCOMPARE(scanBarCodes(png + QStringLiteral(".png")),
                 code.isEmpty() ? QString() : QStringLiteral("EAN-8:") + code);
        if (!code.isEmpty())
            QCOMPARE(code.left(7), QStringLiteral("%1").arg(key, 7, 10, QLatin1Char('0')));

        // The bars, or the key as a text, in the box 12 mm from the left, 24 mm from the top,
        // and nothing drawn above it.
        const QImage printed(png + QStringLiteral(".png"));
        const QImage image =
            ReportRenderer::PageImage(dat_medium->frp_quitung->PreparedPages().Pages.at(0), dpi);
        const double px = dpi / 25.4;
        const QRect ink = inkBounds(
            image, QRect(QPoint(int(8 * px), int(20 * px)), QPoint(int(34 * px), int(35.5 * px))));
        // A text's first line has some room above its digits.
        const double slack = code.isEmpty() ? 1.0 * px : 1.5;
        QVERIFY2(std::abs(ink.left() - 12.0 * px) <= slack &&
                     std::abs(ink.top() - 24.0 * px) <= slack,
                 qPrintable(QStringLiteral("%1, %2").arg(ink.left()).arg(ink.top())));
        if (code.isEmpty()) {
            QVERIFY2(ink.height() < 3.0 * px, "one line of digits, no bars");
            return;
        }
        QCOMPARE(ink.width(), 67 * 4);
        const int y = static_cast<int>((24.0 + 3.0) * px);
        QCOMPARE(decodeEan8(image, y, dpi / 96.0), code);
        QCOMPARE(decodeEan8(printed, y, dpi / 96.0), code);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("drop");
        QTest::newRow("inventory as PDF") << "pdf" << kInfentarSentence << "drop view infentar";
        QTest::newRow("inventory printed") << "print" << kInfentarSentence << "drop view infentar";
        QTest::newRow("receipt") << "receipt" << kQuitungSentence
                                 << "drop view infentar, medlist; drop table stichwort, medium";
    }
    void failures()
    {
        QFETCH(QString, report);
        QFETCH(QString, sentence);
        QFETCH(QString, drop);
        Catalogue cat("fehler");
        cat.sql().exec(drop.toStdString());
        DialogDriver driver;
        const QString failure = failureOf([&] {
            if (report == QLatin1String("receipt"))
                Db_access().print_quitung(1);
            else
                Db_access().print_infentar(report == QLatin1String("pdf"));
        });
        QVERIFY2(failure.endsWith(sentence) && failure.contains(QLatin1String("doesn't exist")),
                 qPrintable(failure));
        QCOMPARE(driver.Unexpected, QStringList());
        QVERIFY(allClosed());
    }
};

QTEST_MAIN(TestReport)
#include "test_report.moc"
