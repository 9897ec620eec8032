// Speed and memory of the store at 1,000 / 10,000 / 100,000 media, each figure measured in
// pairs beside a reference that does the same work without the store: the statement fetched
// with bare MariaDB Connector/C on the same connection, the new medium's statements sent bare,
// the inventory's texts drawn straight onto Qt's PDF writer. Run through scripts/bench.
#include "bench/measure.h"
#include "bench/seed.h"
#include "store/db_access.h"
#include "store/medium_db.h"

#include <QApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const char* kSchema = "kollektar_bench";

// The measured pieces stay functions of their own, so that a profiler (valgrind --tool=callgrind,
// perf) shows each apart.
#define BENCH_PIECE __attribute__((noinline))

MYSQL* bareConnection(unsigned port)
{
    MYSQL* m = mysql_init(nullptr);
    const unsigned tcp = MYSQL_PROTOCOL_TCP;
    mysql_optionsv(m, MYSQL_OPT_PROTOCOL, &tcp);
    mysql_optionsv(m, MYSQL_SET_CHARSET_NAME, "latin1");
    const unsigned timeout = 15;
    const my_bool no = 0;
    mysql_optionsv(m, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_optionsv(m, MYSQL_OPT_LOCAL_INFILE, &no);
    if (!mysql_real_connect(m, "127.0.0.1", "root", "", kSchema, port, nullptr, 0)) {
        std::fprintf(stderr, "bench: %s\n", mysql_error(m));
        std::exit(1);
    }
    return m;
}

// The statement as the component sends it: its lines joined with CR LF.
std::string textOf(const TStringList& sql)
{
    std::string out;
    for (int i = 0; i < sql.Count(); ++i) {
        if (i)
            out += "\r\n";
        out += AnsiString(sql[i]).bytes();
    }
    return out;
}

// Bare fetch: the whole result stored, every field of every row touched.
BENCH_PIECE void bareFetch(MYSQL* m, const std::string& sql)
{
    if (mysql_real_query(m, sql.data(), sql.size()) != 0) {
        std::fprintf(stderr, "bench: %s\n", mysql_error(m));
        std::exit(1);
    }
    MYSQL_RES* r = mysql_store_result(m);
    const unsigned n = mysql_num_fields(r);
    volatile unsigned long sum = 0;
    while (MYSQL_ROW row = mysql_fetch_row(r)) {
        unsigned long* len = mysql_fetch_lengths(r);
        for (unsigned i = 0; i < n; ++i)
            sum = sum + (row[i] ? len[i] : 0);
    }
    mysql_free_result(r);
}

// The inventory as the store writes it below the dialogs: query, data link, build, PDF file.
BENCH_PIECE void inventoryPdf(const QString& file)
{
    Tdat_medium* d = dat_medium;
    d->qry_infentar->Open();
    d->frdb_infentar->Open();
    d->frp_infentar->ReportOptions.Name = QStringLiteral("Infentar");
    d->frp_infentar->PrepareReport(true);
    d->pdf_infentar->SaveToFile(d->frp_infentar->PreviewPages(), QStringLiteral("Infentar"), file);
    d->frdb_infentar->Close();
    d->qry_infentar->Close();
}

// The field a text object shows, or empty for a fixed text.
QString fieldOf(const QString& text)
{
    const int open = text.indexOf(QLatin1Char('"'));
    const int close = text.lastIndexOf(QLatin1Char('"'));
    return open >= 0 && close > open ? text.mid(open + 1, close - open - 1) : QString();
}

// The reference: the inventory's texts read from the same query and drawn straight onto Qt's
// PDF writer in the boxes the template gives: the title and the header on the first page, two
// lines per medium, "page / pages" at the bottom of every page. No page building, no layout of
// its own, no clipping.
BENCH_PIECE void directPdf(const ReportPage& page, TMyQuery* query, const QString& file)
{
    const ReportBand* title = page.Band(BandKind::ReportTitle);
    const ReportBand* header = page.Band(BandKind::Header);
    const ReportBand* data = page.Band(BandKind::MasterData);
    const ReportBand* footer = page.Band(BandKind::PageFooter);
    query->Open();
    const int rows = query->RecordCount();
    const double top = page.TopMargin;
    const double limit = page.Height() - page.BottomMargin - footer->Height;
    const int firstRows = static_cast<int>(
        std::floor((limit - top - title->Height - header->Height) / data->Height + 1e-6));
    const int laterRows = static_cast<int>(std::floor((limit - top) / data->Height + 1e-6));
    const int pages = rows <= firstRows ? 1 : 1 + (rows - firstRows + laterRows - 1) / laterRows;
    const QString today = DateToStr(Today());

    QPdfWriter writer(file);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    const double px = writer.resolution() / 25.4;
    QPainter painter(&writer);
    struct Box {
        QRectF rect; // in mm from the band's top left corner
        QFont font;
        int align;
        QString text;
        QString field;
        bool line;
    };
    const auto boxes = [&](const ReportBand* band) {
        std::vector<Box> out;
        for (const ReportObject& o : band->Objects) {
            QFont font(o.Font.Family);
            font.setPointSizeF(o.Font.Size);
            font.setBold(o.Font.Bold);
            const int align = (o.Align == HAlign::Right ? Qt::AlignRight : Qt::AlignLeft) |
                              Qt::AlignTop | Qt::TextWordWrap;
            out.push_back({QRectF(page.LeftMargin + o.Left, o.Top, o.Width, o.Height), font, align,
                           o.Text, fieldOf(o.Text), o.Kind == ObjectKind::Line});
        }
        return out;
    };
    const std::vector<Box> titleBoxes = boxes(title), headerBoxes = boxes(header),
                           dataBoxes = boxes(data), footerBoxes = boxes(footer);
    int number = 1;
    const auto draw = [&](const std::vector<Box>& band, double y) {
        for (const Box& b : band) {
            const QRectF r((b.rect.x()) * px, (y + b.rect.y()) * px, b.rect.width() * px,
                           b.rect.height() * px);
            if (b.line) {
                painter.setPen(QPen(Qt::black, 25.4 / 96.0 * px));
                painter.drawLine(r.topLeft(), r.topRight());
                continue;
            }
            QString text = b.text;
            if (!b.field.isEmpty())
                text = query->FieldByName(b.field).AsString();
            else if (text == QLatin1String("[Date]"))
                text = today;
            else if (text == QLatin1String("[Page#]"))
                text = QString::number(number);
            else if (text == QLatin1String("[TotalPages#]"))
                text = QString::number(pages);
            painter.setFont(b.font);
            painter.setPen(Qt::black);
            painter.drawText(r, b.align, text);
        }
    };
    draw(titleBoxes, top);
    double y = top + title->Height;
    bool first = true;
    for (query->First(); !query->Eof(); query->Next()) {
        if (y + data->Height + (first ? header->Height : 0) > limit + 1e-6) {
            draw(footerBoxes, limit);
            writer.newPage();
            ++number;
            y = top;
        }
        if (first) {
            draw(headerBoxes, y);
            y += header->Height;
            first = false;
        }
        draw(dataBoxes, y);
        y += data->Height;
    }
    draw(footerBoxes, limit);
    painter.end();
    query->Close();
}

struct Lists {
    TStringList ids, titles, authors, locations, types, categories;
};

void header()
{
    std::printf(
        "| media  | operation                              |  store ms |    ref ms | wall ratio "
        "(min-max) | store CPU ms | ref CPU ms | CPU ratio (min-max) | store MiB | ref MiB "
        "| MiB ratio |\n");
    std::printf(
        "|-------:|----------------------------------------|----------:|----------:|:----------"
        "----------|-------------:|-----------:|:--------------------|----------:|--------:"
        "|----------:|\n");
}

void row(int n, const char* what, const bench::Paired& p)
{
    const bench::Sample s = p.subjectMedian();
    const bench::Sample r = p.referenceMedian();
    const auto [wlo, whi] = p.wallSpread();
    const auto [clo, chi] = p.cpuSpread();
    char memory[16] = "-";
    if (r.peakMiB >= 0.05)
        std::snprintf(memory, sizeof memory, "%.2f", s.peakMiB / r.peakMiB);
    std::printf("| %6d | %-38s | %9.2f | %9.2f | %4.2f (%4.2f-%4.2f)    | %12.2f | %10.2f | %4.2f "
                "(%4.2f-%4.2f)    | %9.1f | %7.1f | %9s |\n",
                n, what, s.wallMs, r.wallMs, p.wallRatio(), wlo, whi, s.cpuMs, r.cpuMs,
                p.cpuRatio(), clo, chi, s.peakMiB, r.peakMiB, memory);
    std::fflush(stdout);
}

} // namespace

int run(int argc, char** argv)
{
    // Fonts for the report need the GUI application.
    QApplication app(argc, argv);
    std::vector<int> sizes = {1000, 10000, 100000};
    int runs = 5;
    if (const char* r = std::getenv("BENCH_RUNS"))
        runs = std::max(1, std::atoi(r));
    // BENCH_ONLY=list, insert or pdf measures only those figures.
    const std::string only = std::getenv("BENCH_ONLY") ? std::getenv("BENCH_ONLY") : "";
    const auto wanted = [&](const char* what) { return only.empty() || only == what; };
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i)
            sizes.push_back(std::atoi(argv[i]));
    }
    const char* portText = std::getenv("KOLLEKTAR_TEST_PORT");
    if (!portText) {
        std::fprintf(stderr, "bench: KOLLEKTAR_TEST_PORT is not set (run scripts/bench)\n");
        return 2;
    }
    const unsigned port = static_cast<unsigned>(std::atoi(portText));

    dat_medium = new Tdat_medium(nullptr);
    dat_medium->myc_medium->Port = static_cast<int>(port);
    Db_access db;
    db.db_open("root", "", "localhost", "");
    if (!db.exist_schema(kSchema))
        db.create_db(kSchema);
    db.db_stop();
    db.db_open("root", "", "localhost", kSchema);
    // The bare figures use the store's own connection, so they differ from the store's only in
    // the store's code.
    MYSQL* bare = dat_medium->myc_medium->Handle();

    header();
    for (int n : sizes) {
        {
            // Seeded on a connection of its own, so the measured one stays as the store's.
            MYSQL* seeder = bareConnection(port);
            bench::seedCatalogue(seeder, n);
            mysql_close(seeder);
        }

        // A list read of the store, and the statement it ran fetched bare; a pattern, where
        // the statement has one, is put in as the literal it was bound as.
        const auto listFigure = [&](const char* what, TMyQuery* query, const char* pattern,
                                    const std::function<void(Lists&)>& read) {
            std::string sql;
            const bench::Paired p = bench::pairs(
                runs,
                [&] {
                    Lists l;
                    read(l);
                    sql = textOf(query->SQL);
                },
                [&] {
                    std::string text = sql.empty() ? textOf(query->SQL) : sql;
                    if (pattern)
                        text.replace(text.find(":such"), 5, std::string("'") + pattern + "'");
                    bareFetch(bare, text);
                });
            row(n, what, p);
        };
        if (wanted("list")) {
            // The refresh after a change, as the main window runs it.
            listFigure("refresh (stop, start, get_MediumListe)", dat_medium->qry_get_mediumListe,
                       nullptr, [&](Lists& l) {
                           db.stop_medilist();
                           db.start_medlist();
                           db.get_MediumListe(l.ids, l.titles, l.authors, l.locations, l.types,
                                              l.categories);
                       });
            listFigure("get_medilist_sort Titel desc", dat_medium->qry_medlist_sort, nullptr,
                       [&](Lists& l) {
                           db.get_medilist_sort(l.ids, l.titles, l.authors, l.locations, l.types,
                                                l.categories, "Titel", true);
                       });
            listFigure("get_medilist_such %Haus%", dat_medium->qry_med_such, "%Haus%",
                       [&](Lists& l) {
                           db.get_medilist_such(l.ids, l.titles, l.authors, l.locations, l.types,
                                                l.categories, "%Haus%");
                       });
            listFigure("get_stichwort_such Haus%", dat_medium->qry_stichwort_such, "Haus%",
                       [&](Lists& l) {
                           db.get_stichwort_such(l.ids, l.titles, l.authors, l.locations, l.types,
                                                 l.categories, "Haus%");
                       });
        }

        if (wanted("insert")) {
            // One new medium with ten keywords, in one transaction: fourteen statements, a
            // fraction of a millisecond, so more pairs than the reads to steady the median.
            int serial = 0;
            const bench::Paired p = bench::pairs(
                std::max(runs, 51),
                [&] {
                    Media m;
                    m.set_titel(AnsiString("Neu " + std::to_string(++serial)));
                    m.set_autor("Autor");
                    m.set_ortfk(1);
                    m.set_typfk(1);
                    m.set_kategoriefk(1);
                    m.set_beschrieb({"Zeile 1", "Zeile 2"});
                    std::vector<AnsiString> words;
                    for (int k = 0; k < 10; ++k)
                        words.push_back(AnsiString("Wort " + std::to_string(k)));
                    m.set_stichworte(words);
                    db.put_eintrag(m);
                },
                [&] {
                    bench::exec(bare, "START TRANSACTION");
                    bench::exec(bare,
                                "insert into medium (titel, autor, ort_fk, beschreibung, jahr, "
                                "typ_fk, kategorie_fk, isbn) values ('Neu', 'Autor', 1, "
                                "X'5A65696C6520310D0A5A65696C6520320D0A', '', 1, 1, '')");
                    const std::string key = bench::value(bare, "select LAST_INSERT_ID() as max_pk");
                    for (int k = 0; k < 10; ++k)
                        bench::exec(bare, "insert into stichwort (medium_fk, wort) values (" + key +
                                              ", 'Wort " + std::to_string(k) + "')");
                    bench::exec(bare, "COMMIT");
                });
            row(n, "new medium with ten keywords", p);
        }

        if (wanted("pdf")) {
            QTemporaryDir dir;
            const QString file = dir.filePath(QStringLiteral("infentar.pdf"));
            const QString direct = dir.filePath(QStringLiteral("direkt.pdf"));
            const bench::Paired p = bench::pairs(
                runs, [&] { inventoryPdf(file); },
                [&] {
                    directPdf(dat_medium->frp_infentar->Page, dat_medium->qry_infentar, direct);
                });
            row(n, "inventory PDF / direct QPdfWriter", p);
        }
    }
    delete dat_medium;
    return 0;
}

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const Exception& e) {
        std::fprintf(stderr, "bench: %s\n", qPrintable(e.Message));
        return 1;
    }
}
