// Speed and memory of the store at 1,000 / 10,000 / 100,000 media, each figure beside the
// same statement fetched with bare MariaDB Connector/C. Run through scripts/bench.
#include "bench/measure.h"
#include "bench/seed.h"
#include "store/db_access.h"
#include "store/medium_db.h"

#include <QApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const char* kSchema = "kollektar_bench";

MYSQL* bareConnection(unsigned port)
{
    MYSQL* m = mysql_init(nullptr);
    const unsigned tcp = MYSQL_PROTOCOL_TCP;
    mysql_optionsv(m, MYSQL_OPT_PROTOCOL, &tcp);
    mysql_optionsv(m, MYSQL_SET_CHARSET_NAME, "latin1");
    // The same options as the store's connection, so both sides talk to the server alike.
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
void bareFetch(MYSQL* m, const std::string& sql)
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

// The inventory as the engine writes it below the dialogs: query, data link, build, PDF file.
void inventoryPdf(const QString& file)
{
    Tdat_medium* d = dat_medium;
    d->qry_infentar->Open();
    d->frdb_infentar->Open();
    d->frp_infentar->ReportOptions.Name = QStringLiteral("Infentar");
    d->frp_infentar->PrepareReport(true);
    d->pdf_infentar->SaveToFile(d->frp_infentar->PreparedPages(), QStringLiteral("Infentar"), file);
    d->frdb_infentar->Close();
    d->qry_infentar->Close();
}

// The reference: the same texts in the same boxes and the same lines, drawn straight onto
// Qt's PDF writer without the report engine.
void directPdf(const PreparedReport& report, const QString& file)
{
    QPdfWriter writer(file);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    const double px = writer.resolution() / 25.4;
    auto box = [px](const QRectF& mm) {
        return QRectF(mm.x() * px, mm.y() * px, mm.width() * px, mm.height() * px);
    };
    QPainter painter(&writer);
    bool first = true;
    for (const PreparedPage& page : report.Pages) {
        if (!first)
            writer.newPage();
        first = false;
        for (const PreparedItem& item : page.Items) {
            if (item.Kind == ObjectKind::Line) {
                painter.setPen(QPen(Qt::black, item.LineWidth * px));
                const QRectF r = box(item.Rect);
                painter.drawLine(r.topLeft(), r.topRight());
                continue;
            }
            QFont font(item.Font.Family);
            font.setPointSizeF(item.Font.Size);
            font.setBold(item.Font.Bold);
            painter.setFont(font);
            painter.setPen(Qt::black);
            const int align = item.Align == HAlign::Right ? Qt::AlignRight : Qt::AlignLeft;
            painter.drawText(box(item.Rect), align | Qt::AlignTop | Qt::TextWordWrap, item.Text);
        }
    }
}

struct Lists {
    TStringList ids, titles, authors, locations, types, categories;
};

void row(int n, const char* what, const bench::Figure& store, const bench::Figure* bare)
{
    if (bare)
        std::printf("| %7d | %-34s | %9.2f | %9.2f | %5.2f | %8.1f | %8.1f |\n", n, what,
                    store.medianMs, bare->medianMs, store.medianMs / bare->medianMs, store.peakMiB,
                    bare->peakMiB);
    else
        std::printf("| %7d | %-34s | %9.2f | %9s | %5s | %8.1f | %8s |\n", n, what, store.medianMs,
                    "-", "-", store.peakMiB, "-");
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

    std::printf("| media   | operation                          | store ms  | bare ms   | ratio | "
                "store MiB| bare MiB |\n");
    std::printf("|---------|------------------------------------|-----------|-----------|-------|--"
                "--------|----------|\n");
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
            const bench::Figure store = bench::measure(runs, [&] {
                Lists l;
                read(l);
            });
            std::string sql = textOf(query->SQL);
            if (pattern)
                sql.replace(sql.find(":such"), 5, std::string("'") + pattern + "'");
            const bench::Figure plain = bench::measure(runs, [&] { bareFetch(bare, sql); });
            row(n, what, store, &plain);
        };
        listFigure("get_MediumListe", dat_medium->qry_get_mediumListe, nullptr, [&](Lists& l) {
            db.get_MediumListe(l.ids, l.titles, l.authors, l.locations, l.types, l.categories);
        });
        listFigure("get_medilist_sort Titel desc", dat_medium->qry_medlist_sort, nullptr,
                   [&](Lists& l) {
                       db.get_medilist_sort(l.ids, l.titles, l.authors, l.locations, l.types,
                                            l.categories, "Titel", true);
                   });
        listFigure("get_medilist_such %Haus%", dat_medium->qry_med_such, "%Haus%", [&](Lists& l) {
            db.get_medilist_such(l.ids, l.titles, l.authors, l.locations, l.types, l.categories,
                                 "%Haus%");
        });
        listFigure("get_stichwort_such Haus%", dat_medium->qry_stichwort_such, "Haus%",
                   [&](Lists& l) {
                       db.get_stichwort_such(l.ids, l.titles, l.authors, l.locations, l.types,
                                             l.categories, "Haus%");
                   });

        // One new medium with ten keywords: twelve statements, a fraction of a millisecond,
        // so more runs than the reads to steady the median.
        const int insertRuns = std::max(runs, 51);
        int serial = 0;
        const bench::Figure insertBare = bench::measure(insertRuns, [&] {
            bench::exec(bare,
                        "insert into medium (titel, autor, ort_fk, beschreibung, jahr, typ_fk, "
                        "kategorie_fk, isbn) values ('Neu', 'Autor', 1, "
                        "X'5A65696C6520310D0A5A65696C6520320D0A', '', 1, 1, '')");
            const std::string key =
                bench::value(bare, "select max( medium_pk) as max_pk from medium");
            for (int k = 0; k < 10; ++k)
                bench::exec(bare, "insert into stichwort (medium_fk, wort) values (" + key +
                                      ", 'Wort " + std::to_string(k) + "')");
        });
        const bench::Figure insert = bench::measure(insertRuns, [&] {
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
            db.put_medium(m);
            m.set_key(db.get_lastPk());
            db.put_stichwort(m);
        });
        row(n, "new medium with ten keywords", insert, &insertBare);

        if (n <= 10000) {
            QTemporaryDir dir;
            const QString file = dir.filePath(QStringLiteral("infentar.pdf"));
            const bench::Figure pdf = bench::measure(runs, [&] { inventoryPdf(file); });
            const PreparedReport pages = dat_medium->frp_infentar->PreparedPages();
            const QString direct = dir.filePath(QStringLiteral("direkt.pdf"));
            const bench::Figure pdfDirect = bench::measure(runs, [&] { directPdf(pages, direct); });
            row(n, "inventory PDF / direct QPdfWriter", pdf, &pdfDirect);
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
