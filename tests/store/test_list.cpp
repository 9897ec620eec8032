// The media list: the whole list, the sort, the two searches, and the open list query.
#include "catalogue.h"
#include "tests/support/checks.h"

#include <QtTest>

#include <QSet>

#include <functional>
#include <memory>

using namespace testdb;

using testdb::Catalogue;

namespace {

// The six caller-owned lists of one read.
struct Lists {
    TStringList ids, titles, authors, locations, types, categories;

    void add(const QString& row)
    {
        const QStringList f = row.split(u'|');
        ids.Add(f[0]);
        titles.Add(f[1]);
        authors.Add(f[2]);
        locations.Add(f[3]);
        types.Add(f[4]);
        categories.Add(f[5]);
    }

    int count() const
    {
        const int n = ids.Count();
        for (const TStringList* l : {&titles, &authors, &locations, &types, &categories})
            if (l->Count() != n)
                return -1;
        return n;
    }

    // Entry i of the six lists joined by '|', one string per row.
    QStringList rows() const
    {
        if (count() < 0)
            return {QStringLiteral("<lists of different length>")};
        QStringList out;
        for (int i = 0; i < ids.Count(); ++i)
            out << QStringList{ids[i], titles[i], authors[i], locations[i], types[i], categories[i]}
                       .join(u'|');
        return out;
    }
};

const QString kEmpty = QStringLiteral("|||||");
const QString kSortSentence = QString::fromUtf8(". Medien können nicht sortiert werden.");

// The shared catalogue: a medium without author and type name, one with a non-ASCII author,
// one without location; medium 1 has two keywords starting with "Haus", medium 2 none.
const char* const kSeed =
    "insert into kategorie (name) values ('Roman'), ('Sachbuch');"
    "insert into mediumtyp (typ) values ('Buch'), (NULL);"
    "insert into standort (ort) values ('Regal'), ('Keller');"
    "insert into medium (titel, autor, ort_fk, typ_fk, kategorie_fk) values"
    " ('Mittag', 'Zweig', 1, 1, 1), ('Abendland', NULL, 2, 2, 2),"
    " ('Zauberberg', 'M\xFCller', 1, 1, 1), ('Ohne Ort', 'Niemand', NULL, 1, 1);"
    "insert into stichwort values (1, 'Haus'), (1, 'Hausboot'), (3, 'Garten'), (4, 'Haus')";

const QString kRow1 = QStringLiteral("1|Mittag|Zweig|Regal|Buch|Roman");
const QString kRow2 = QStringLiteral("2|Abendland||Keller||Sachbuch");
const QString kRow3 = QString::fromUtf8("3|Zauberberg|Müller|Regal|Buch|Roman");

const QStringList kHead = {"select",     " id,",  " titel,",    " autor,",
                           " standort,", " typ,", " kategorie", "from medlist"};

// The order line of a text column: German dictionary order.
QString german(const char* column)
{
    return QStringLiteral("order by convert(%1 using utf8mb4) collate utf8mb4_unicode_ci")
        .arg(QLatin1String(column));
}

// Media whose titles and authors the server's default order (latin1_swedish_ci) puts
// elsewhere than a German dictionary: Ä after Z there, ß after ss.
const char* const kGermanSeed =
    "insert into kategorie (name) values ('Roman');"
    "insert into mediumtyp (typ) values ('Buch');"
    "insert into standort (ort) values ('Regal');"
    "insert into medium (medium_pk, titel, autor, ort_fk, typ_fk, kategorie_fk) values"
    " (5, 'Zauberfl\xF6te', 'Zorn', 1, 1, 1), (40, '\xDC"
    "ber den Wolken', '\xD6zt\xFCrk', 1, 1, 1),"
    " (300, 'Tatort', 'Strau\xDF', 1, 1, 1), (1000, '\xC4pfel und Birnen', 'Strausberg', 1, 1, 1),"
    " (2, 'Apfelbaum', 'Straussen', 1, 1, 1)";

} // namespace

class TestList : public QObject {
    Q_OBJECT

    std::unique_ptr<Catalogue> shared_;
    Db_access db_;

    // Points the data module at the shared catalogue again, after a test with its own.
    void useShared() { db_.db_open("root", "", "localhost", AnsiString(shared_->name())); }

    void sortInto(Lists& l, const char* column, bool descending)
    {
        db_.get_medilist_sort(l.ids, l.titles, l.authors, l.locations, l.types, l.categories,
                              column, descending);
    }

private slots:
    void initTestCase()
    {
        shared_ = std::make_unique<Catalogue>("list");
        shared_->sql().exec(kSeed);
    }

    void cleanupTestCase() { shared_.reset(); }

    void wholeListInTitleOrder()
    {
        useShared();
        Lists l;
        l.add(QStringLiteral("7|alt|a|b|c|d"));
        db_.get_MediumListe(l.ids, l.titles, l.authors, l.locations, l.types, l.categories);
        QCOMPARE(l.rows(), (QStringList{QStringLiteral("7|alt|a|b|c|d"), kRow2, kRow1, kRow3}));
        QVERIFY(!dat_medium->qry_get_mediumListe->Active());
    }

    void sort_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("Titel asc")
            << "Titel" << false << german("Titel") + " asc" << QStringList{kRow2, kRow1, kRow3};
        QTest::newRow("Titel desc")
            << "Titel" << true << german("Titel") + " desc" << QStringList{kRow3, kRow1, kRow2};
        QTest::newRow("ID desc") << "ID" << true << "order by ID desc"
                                 << QStringList{kRow3, kRow2, kRow1};
        QTest::newRow("autor asc")
            << "autor" << false << german("autor") + " asc" << QStringList{kRow2, kRow3, kRow1};
    }

    void sort()
    {
        QFETCH(QString, column);
        QFETCH(bool, descending);
        QFETCH(QString, line);
        QFETCH(QStringList, rows);
        useShared();
        Lists l;
        sortInto(l, qPrintable(column), descending);
        QCOMPARE(l.rows(), rows);
        QCOMPARE(dat_medium->qry_medlist_sort->SQL.lines(), kHead + QStringList{line});
        QVERIFY(!dat_medium->qry_medlist_sort->Active());
    }

    // The whole list and the sort by a text column in German dictionary order: Ä with A, Ö
    // with O, Ü with U, ß as ss; the key by its number. Also in a catalogue whose tables the
    // schema script made before (with the server's default collation, as a catalogue of an
    // earlier version has them): the order comes from the statements, not the tables.
    void germanOrder_data()
    {
        QTest::addColumn<bool>("byProgram");
        QTest::newRow("catalogue made by the program") << true;
        QTest::newRow("tables made by the schema script before") << false;
    }
    void germanOrder()
    {
        QFETCH(bool, byProgram);
        std::unique_ptr<Catalogue> made;
        std::unique_ptr<Schema> old;
        std::string name;
        if (byProgram) {
            made = std::make_unique<Catalogue>("deutsch");
            name = made->name();
        } else {
            old = std::make_unique<Schema>("altbestand");
            name = old->name();
            Direct(name).exec(dat_medium->scr_create_db->SQL.Text().toLatin1().toStdString());
            db_.db_open("root", "", "localhost", AnsiString(name));
        }
        Direct sql(name);
        QCOMPARE(sql.value("select collation_name from information_schema.columns where "
                           "table_schema = database() and table_name = 'medium' and "
                           "column_name = 'titel'"),
                 std::string("latin1_swedish_ci"));
        sql.exec(kGermanSeed);

        auto titles = [](const Lists& l) { return l.titles.lines(); };
        const QStringList german = {QString::fromUtf8("Äpfel und Birnen"), "Apfelbaum", "Tatort",
                                    QString::fromUtf8("Über den Wolken"),
                                    QString::fromUtf8("Zauberflöte")};
        QStringList reversed = german;
        std::reverse(reversed.begin(), reversed.end());
        Lists whole;
        db_.get_MediumListe(whole.ids, whole.titles, whole.authors, whole.locations, whole.types,
                            whole.categories);
        QCOMPARE(titles(whole), german);
        QCOMPARE(whole.ids.lines(), (QStringList{"1000", "2", "300", "40", "5"}));

        Lists up, down, authors, keys;
        sortInto(up, "Titel", false);
        sortInto(down, "Titel", true);
        sortInto(authors, "Autor", false);
        sortInto(keys, "ID", false);
        QCOMPARE(titles(up), german);
        QCOMPARE(titles(down), reversed);
        QCOMPARE(authors.authors.lines(),
                 (QStringList{QString::fromUtf8("Öztürk"), "Strausberg",
                              QString::fromUtf8("Strauß"), "Straussen", "Zorn"}));
        QCOMPARE(keys.ids.lines(), (QStringList{"2", "5", "40", "300", "1000"}));

        // Nothing of the schema changed on the way.
        QCOMPARE(sql.value("select count(*) from information_schema.columns where "
                           "table_schema = database() and collation_name is not null and "
                           "collation_name <> 'latin1_swedish_ci'"),
                 std::string("0"));
        useShared();
    }

    void twoSortsInARow()
    {
        useShared();
        Lists first, second;
        sortInto(first, "Titel", true);
        sortInto(second, "autor", false);
        QCOMPARE(first.rows(), (QStringList{kRow3, kRow1, kRow2}));
        QCOMPARE(second.rows(), (QStringList{kRow2, kRow3, kRow1}));
        QCOMPARE(dat_medium->qry_medlist_sort->SQL.lines(),
                 kHead + QStringList{german("autor") + " asc"});
    }

    void search_data()
    {
        QTest::addColumn<bool>("keyword");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("rows"); // ordered by key
        const QStringList none{kEmpty};
        QTest::newRow("title %") << false << "%" << QStringList{kRow1, kRow2, kRow3};
        QTest::newRow("title exact") << false << "Mittag" << QStringList{kRow1};
        QTest::newRow("title _") << false << "_ittag" << QStringList{kRow1};
        QTest::newRow("title no wildcard added") << false << "Mitt" << none;
        QTest::newRow("title without location") << false << "Ohne Ort" << none;
        QTest::newRow("title quotes") << false << "x' or '1' = '1" << none;
        QTest::newRow("keyword %") << true << "%" << QStringList{kRow1, kRow3};
        QTest::newRow("keyword two matches") << true << "Haus%" << QStringList{kRow1};
        QTest::newRow("keyword exact") << true << "Garten" << QStringList{kRow3};
        QTest::newRow("keyword without location") << true << "Haus" << QStringList{kRow1};
        QTest::newRow("keyword no wildcard added") << true << "Gart" << none;
    }

    void search()
    {
        QFETCH(bool, keyword);
        QFETCH(QString, pattern);
        QFETCH(QStringList, rows);
        useShared();
        Lists l;
        TMyQuery* q = keyword ? dat_medium->qry_stichwort_such : dat_medium->qry_med_such;
        if (keyword)
            db_.get_stichwort_such(l.ids, l.titles, l.authors, l.locations, l.types, l.categories,
                                   AnsiString(pattern));
        else
            db_.get_medilist_such(l.ids, l.titles, l.authors, l.locations, l.types, l.categories,
                                  AnsiString(pattern));
        QStringList got = l.rows();
        got.sort();
        QCOMPARE(got, rows);
        QVERIFY(!q->Active());
    }

    void emptyResults()
    {
        Catalogue cat("leer");
        const std::function<void(Lists&)> reads[] = {
            [&](Lists& l) {
                db_.get_MediumListe(l.ids, l.titles, l.authors, l.locations, l.types, l.categories);
            },
            [&](Lists& l) {
                db_.get_medilist_sort(l.ids, l.titles, l.authors, l.locations, l.types,
                                      l.categories, "Titel", false);
            },
            [&](Lists& l) {
                db_.get_medilist_such(l.ids, l.titles, l.authors, l.locations, l.types,
                                      l.categories, "%");
            },
            [&](Lists& l) {
                db_.get_stichwort_such(l.ids, l.titles, l.authors, l.locations, l.types,
                                       l.categories, "%");
            },
        };
        for (const auto& read : reads) {
            Lists l;
            l.add(QStringLiteral("7|alt|a|b|c|d"));
            read(l);
            QCOMPARE(l.rows(), (QStringList{QStringLiteral("7|alt|a|b|c|d"), kEmpty}));
        }
    }

    // Texts with every kind of 8-bit byte come out of each read exactly, also where the
    // pattern holds such a byte.
    void eightBitTexts()
    {
        Catalogue cat("achtbit");
        cat.sql().exec(
            "insert into kategorie (name) values ('Kat \x80\x9F');"
            "insert into mediumtyp (typ) values ('Typ \xA0\xFF');"
            "insert into standort (ort) values ('Ort \x84\x93\x94');"
            "insert into medium (titel, autor, ort_fk, typ_fk, kategorie_fk) values"
            " ('Titel \x80\x8A\x9F \xC4\xE4\xFF', 'Autor \x81\x8D\x8F\x90\x9D', 1, 1, 1),"
            " ('', NULL, 1, 1, 1);"
            "insert into stichwort values (1, 'Stich\x80wort')");
        const QString special =
            QString::fromUtf8("1|Titel €Š\u0178 Ääÿ|Autor \u0081\u008D\u008F\u0090\u009D|Ort „“”|"
                              "Typ \u00A0ÿ|Kat €\u0178");
        const QString empty = QString::fromUtf8("2|||Ort „“”|Typ \u00A0ÿ|Kat €\u0178");
        struct Case {
            std::function<void(Lists&)> read;
            QStringList rows;
        };
        const Case cases[] = {
            {[&](Lists& l) {
                 db_.get_MediumListe(l.ids, l.titles, l.authors, l.locations, l.types,
                                     l.categories);
             },
             {empty, special}},
            {[&](Lists& l) { sortInto(l, "Titel", true); }, {special, empty}},
            {[&](Lists& l) {
                 db_.get_medilist_such(l.ids, l.titles, l.authors, l.locations, l.types,
                                       l.categories, "%\x80%");
             },
             {special}},
            {[&](Lists& l) {
                 db_.get_stichwort_such(l.ids, l.titles, l.authors, l.locations, l.types,
                                        l.categories, "stich\x80%");
             },
             {special}},
        };
        for (const Case& c : cases) {
            Lists l;
            c.read(l);
            QCOMPARE(l.titles.Line(0), c.rows[0].section(u'|', 1, 1));
            QCOMPARE(l.rows(), c.rows);
            // Back to the bytes they came as.
            TMemoryStream stream;
            l.authors.SaveToStream(stream);
            QVERIFY(
                QByteArray::fromStdString(stream.Bytes())
                    .startsWith(c.rows[0] == special ? "Autor \x81\x8D\x8F\x90\x9D\r\n" : "\r\n"));
        }
    }

    void openedListKeepsItsResult()
    {
        Catalogue cat("offen");
        cat.sql().exec("insert into kategorie (name) values ('K');"
                       "insert into mediumtyp (typ) values ('T');"
                       "insert into standort (ort) values ('O');"
                       "insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values"
                       " ('B', 1, 1, 1), ('C', 1, 1, 1)");
        TMyQuery* q = dat_medium->qry_get_mediumListe;
        const QStringList before{"1|B||O|T|K", "2|C||O|T|K"};
        const QStringList after{"3|A||O|T|K", "1|B neu||O|T|K", "2|C||O|T|K"};

        db_.start_medlist();
        QVERIFY(q->Active());
        cat.sql().exec("insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values"
                       " ('A', 1, 1, 1); update medium set titel = 'B neu' where medium_pk = 1");
        Lists opened;
        db_.get_MediumListe(opened.ids, opened.titles, opened.authors, opened.locations,
                            opened.types, opened.categories);
        QCOMPARE(opened.rows(), before);
        QVERIFY(!q->Active());

        Lists again;
        db_.get_MediumListe(again.ids, again.titles, again.authors, again.locations, again.types,
                            again.categories);
        QCOMPARE(again.rows(), after);
        QVERIFY(!q->Active());

        db_.stop_medilist(); // closed already
        QVERIFY(!q->Active());
        db_.start_medlist();
        db_.stop_medilist();
        QVERIFY(!q->Active());
    }

    void refusedColumn_data()
    {
        QTest::addColumn<QByteArray>("column");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("blank") << QByteArray("titel desc");
        QTest::newRow("statement") << QByteArray("titel;drop table medium");
        QTest::newRow("comment") << QByteArray("titel--");
        QTest::newRow("back-quotes") << QByteArray("`titel`");
        QTest::newRow("list") << QByteArray("titel,id");
        QTest::newRow("subquery") << QByteArray("(select 1)");
        QTest::newRow("non-ASCII letter") << QByteArray("t\xEFtel");
    }

    void refusedColumn()
    {
        QFETCH(QByteArray, column);
        useShared();
        Lists l;
        sortInto(l, "Titel", false);
        const QStringList lines = dat_medium->qry_medlist_sort->SQL.lines();
        // Nothing is sent: a closed connection stays closed.
        db_.db_stop();
        const AnsiString name(column.constData(), static_cast<std::size_t>(column.size()));
        Lists refused;
        QCOMPARE(failureOf([&] {
                     db_.get_medilist_sort(refused.ids, refused.titles, refused.authors,
                                           refused.locations, refused.types, refused.categories,
                                           name, true);
                 }),
                 QString::fromUtf8("Ungültiger Spaltenname '%1'").arg(name.toString()) +
                     kSortSentence);
        QVERIFY(!dat_medium->myc_medium->Connected());
        QCOMPARE(dat_medium->qry_medlist_sort->SQL.lines(), lines);
        QCOMPARE(refused.count(), 0);
    }

    void unknownColumn()
    {
        useShared();
        Lists l;
        // The server's own text (its last words differ between server versions).
        const QString message = failureOf([&] { sortInto(l, "Gibtsnicht", true); });
        QVERIFY2(message.startsWith("Unknown column 'Gibtsnicht' in '"), qPrintable(message));
        QVERIFY2(message.endsWith("'" + kSortSentence), qPrintable(message));
        QCOMPARE(dat_medium->qry_medlist_sort->SQL.lines(),
                 kHead + QStringList{german("Gibtsnicht") + " desc"});
        QVERIFY(!dat_medium->qry_medlist_sort->Active());
        QCOMPARE(l.count(), 0);

        sortInto(l, "Titel", false);
        QCOMPARE(l.rows(), (QStringList{kRow2, kRow1, kRow3}));
    }

    void failureSentences()
    {
        Catalogue cat("fehler");
        cat.sql().exec("drop view medlist");
        const QString missing =
            QString::fromStdString("Table '" + cat.name() + ".medlist' doesn't exist");
        struct Case {
            const char* sentence;
            TMyQuery* query;
            std::function<void(Lists&)> call;
        };
        const Case cases[] = {
            {". Medium kann nicht gelesen werden", dat_medium->qry_get_mediumListe,
             [&](Lists& l) {
                 db_.get_MediumListe(l.ids, l.titles, l.authors, l.locations, l.types,
                                     l.categories);
             }},
            {". Medien können nicht sortiert werden.", dat_medium->qry_medlist_sort,
             [&](Lists& l) { sortInto(l, "Titel", false); }},
            {". Medien können nicht sortiert werden.", dat_medium->qry_med_such,
             [&](Lists& l) {
                 db_.get_medilist_such(l.ids, l.titles, l.authors, l.locations, l.types,
                                       l.categories, "%");
             }},
            {". Es wurde kein Suchergebnis gefunden.", dat_medium->qry_stichwort_such,
             [&](Lists& l) {
                 db_.get_stichwort_such(l.ids, l.titles, l.authors, l.locations, l.types,
                                        l.categories, "%");
             }},
            {". Liste kann nicht geöffnet werden", dat_medium->qry_get_mediumListe,
             [&](Lists&) { db_.start_medlist(); }},
        };
        for (const Case& c : cases) {
            Lists l;
            QCOMPARE(failureOf([&] { c.call(l); }), missing + QString::fromUtf8(c.sentence));
            QVERIFY(!c.query->Active());
            QCOMPARE(l.count(), 0);
        }
    }

    void largeCatalogue()
    {
        Catalogue cat("gross");
        cat.sql().exec(
            "insert into kategorie (name) values ('Roman');"
            "insert into mediumtyp (typ) values ('Buch');"
            "insert into standort (ort) values ('Regal');"
            "insert into medium (medium_pk, titel, autor, ort_fk, typ_fk, kategorie_fk)"
            " select seq, concat('Titel ', lpad(seq, 6, '0')), concat('Autor ', seq), 1, 1, 1"
            " from seq_1_to_100000;"
            "insert into stichwort (medium_fk, wort) select seq, 'alle' from seq_1_to_100000;"
            "insert into stichwort (medium_fk, wort) select seq, concat('alle', seq)"
            " from seq_1_to_100000");
        const int n = 100000;

        Lists l;
        db_.get_MediumListe(l.ids, l.titles, l.authors, l.locations, l.types, l.categories);
        QCOMPARE(l.count(), n);
        const QStringList rows = l.rows();
        QCOMPARE(rows.first(), QStringLiteral("1|Titel 000001|Autor 1|Regal|Buch|Roman"));
        QCOMPARE(rows.last(), QStringLiteral("100000|Titel 100000|Autor 100000|Regal|Buch|Roman"));
        int outOfOrder = 0;
        for (int i = 0; i < n; ++i)
            if (l.ids[i] != QString::number(i + 1))
                ++outOfOrder;
        QCOMPARE(outOfOrder, 0);

        Lists sorted;
        sortInto(sorted, "ID", true);
        QCOMPARE(sorted.count(), n);
        QCOMPARE(sorted.ids[0], QStringLiteral("100000"));
        QCOMPARE(sorted.ids[n - 1], QStringLiteral("1"));

        // Two matching keywords per medium: each medium once.
        Lists found;
        db_.get_stichwort_such(found.ids, found.titles, found.authors, found.locations, found.types,
                               found.categories, "alle%");
        QCOMPARE(found.count(), n);
        QCOMPARE(QSet<QString>(found.ids.lines().begin(), found.ids.lines().end()).size(), n);
    }
};

QTEST_GUILESS_MAIN(TestList)
#include "test_list.moc"
