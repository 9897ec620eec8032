// Writing, reading, changing, lending and deleting one medium through the gateway.
#include "catalogue.h"
#include "platform/rtl/sysutils.h"
#include "tests/support/checks.h"
#include "tests/support/relay.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

using namespace testdb;

using testdb::Catalogue;
using testdb::Direct;
using Rows = std::vector<std::vector<std::string>>;
using Call = std::function<void(Db_access&)>;

Q_DECLARE_METATYPE(Call)

namespace {

std::string hex(const QByteArray& b)
{
    return b.toHex().toUpper().toStdString();
}

// Every field by name.
QMap<QString, QString> dump(const Media& m)
{
    return {
        {"key", QString::number(m.get_key())},
        {"titel", show(m.get_titel())},
        {"autor", show(m.get_autor())},
        {"isbn", show(m.get_isbn())},
        {"ortfk", QString::number(m.get_ortfk())},
        {"standortname", show(m.get_standortname())},
        {"beschrieb", show(m.get_beschrieb())},
        {"jahr", show(m.get_jahr())},
        {"auslei", show(m.get_auslei())},
        {"datum", DateTimeToStr(m.get_datum())},
        {"typfk", QString::number(m.get_typfk())},
        {"typname", show(m.get_typname())},
        {"kategoriefk", QString::number(m.get_kategoriefk())},
        {"katname", show(m.get_katname())},
        {"tage", QString::number(m.get_tage())},
        {"stichworte", show(m.get_stichworte())},
    };
}

bool sameFields(const QMap<QString, QString>& got, const QMap<QString, QString>& want)
{
    bool same = true;
    for (auto it = want.begin(); it != want.end(); ++it) {
        if (got.value(it.key()) != it.value()) {
            qWarning("%s: %s, expected %s", qPrintable(it.key()), qPrintable(got.value(it.key())),
                     qPrintable(it.value()));
            same = false;
        }
    }
    return same;
}

bool queriesClosed()
{
    return !dat_medium->qry_get_maxpk->Active() && !dat_medium->qry_get_medium->Active() &&
           !dat_medium->qry_get_stichwort->Active() && !dat_medium->qry_lock_medium->Active();
}

// Two of each kind of master data, and medium 1 in location 1 with the keyword "Haus".
void seed(Direct& sql)
{
    sql.exec("insert into kategorie (name) values ('Roman'), ('Sachbuch')");
    sql.exec("insert into mediumtyp (typ) values ('Buch'), ('Film')");
    sql.exec("insert into standort (ort) values ('Regal'), ('Keller')");
    sql.exec("insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values ('Alt', 1, 1, 1)");
    sql.exec("insert into stichwort values (1, 'Haus')");
}

// A record with every field set; put_medium and up_medium must ignore the loan and the key.
Media sample(int ort = 1, int typ = 1, int kat = 1)
{
    Media m;
    m.set_key(42);
    m.set_titel("Der Zauberberg");
    m.set_autor("Thomas Mann");
    m.set_ortfk(ort);
    m.set_standortname("ignoriert");
    m.set_beschrieb(list({"A", "", "B"}));
    m.set_jahr("1924");
    m.set_typfk(typ);
    m.set_kategoriefk(kat);
    m.set_typname("ignoriert");
    m.set_katname("ignoriert");
    m.set_isbn("978-3-10-048168-4");
    m.set_auslei("Anna");
    m.set_datum(EncodeDate(2019, 3, 1));
    m.set_tage(14);
    m.set_stichworte(list({"Sanatorium", "Davos"}));
    return m;
}

const char* const kReadSentence =
    ". Multimedia Daten können nicht aus der Datenbank gelesen werden";

} // namespace

class TestMedium : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testdb::dataModule(); }

    void newMediumReadsBack()
    {
        Catalogue cat("new");
        Direct& sql = cat.sql();
        sql.exec("insert into kategorie (name) values ('Roman')");
        sql.exec("insert into mediumtyp (typ) values ('Buch')");
        sql.exec("insert into standort (ort) values ('Regal')");
        Db_access db;
        QCOMPARE(db.get_lastPk(), 0);

        Media m = sample();
        db.put_medium(m);
        const int key = db.get_lastPk();
        QCOMPARE(key, 1);
        m.set_key(key);
        db.put_stichwort(m);

        QCOMPARE(sql.rows("select hex(beschreibung), ausgeliehen, datum, tage from medium"),
                 (Rows{{"410D0A0D0A420D0A", "<NULL>", "<NULL>", "<NULL>"}}));

        Media r = db.get_medium(key);
        std::vector<AnsiString> words = r.get_stichworte();
        std::sort(words.begin(), words.end());
        r.set_stichworte(words);
        QVERIFY(sameFields(dump(r), {
                                        {"key", "1"},
                                        {"titel", "Der Zauberberg"},
                                        {"autor", "Thomas Mann"},
                                        {"isbn", "978-3-10-048168-4"},
                                        {"ortfk", "1"},
                                        {"standortname", "Regal"},
                                        {"beschrieb", "3:[A\\x0d][\\x0d][B\\x0d]"},
                                        {"jahr", "1924"},
                                        {"auslei", ""},
                                        {"datum", "06.01.2018"},
                                        {"typfk", "1"},
                                        {"typname", "Buch"},
                                        {"kategoriefk", "1"},
                                        {"katname", "Roman"},
                                        {"tage", "0"},
                                        {"stichworte", "2:[Davos][Sanatorium]"},
                                    }));
        QCOMPARE(r.get_datum().Val, EncodeDate(2018, 1, 6).Val);
        QVERIFY(queriesClosed());

        // No lines and no keywords: zero bytes, and one empty keyword read back.
        Media bare;
        bare.set_titel("Leer");
        bare.set_ortfk(1);
        bare.set_typfk(1);
        bare.set_kategoriefk(1);
        db.put_medium(bare);
        QCOMPARE(db.get_lastPk(), 2);
        bare.set_key(2);
        db.put_stichwort(bare);
        QCOMPARE(sql.rows("select concat('[', beschreibung, ']'), (select count(*) from stichwort "
                          "where medium_fk = 2) from medium where medium_pk = 2"),
                 (Rows{{"[]", "0"}}));
        const Media back = db.get_medium(2);
        QCOMPARE(show(back.get_beschrieb()), QStringLiteral("0:"));
        QCOMPARE(show(back.get_stichworte()), QStringLiteral("1:[]"));
        QVERIFY(queriesClosed());
    }

    void bytesTravelUnchanged()
    {
        Catalogue cat("bytes");
        Direct& sql = cat.sql();
        seed(sql);
        // "ü" and "€" are 0xFC and 0x80 in code page 1252.
        const QByteArray titel("It's \"quoted\" \\ back\\\\slash \xFC \x80 ';--");
        const QByteArray autor("O'Brien\\");
        const QByteArray jahr("'\\'");
        const QByteArray isbn("a\0b", 3);
        const QByteArrayList lines = {"Zeile 'eins' \\ \xFC \x80", QByteArray("a\0b", 3),
                                      "mit\rCR"};
        const QByteArrayList words = {"B\xFC"
                                      "cher'\\",
                                      "\x80uro\""};
        Media m = sample();
        m.set_titel(bytes(titel));
        m.set_autor(bytes(autor));
        m.set_jahr(bytes(jahr));
        m.set_isbn(bytes(isbn));
        m.set_beschrieb(list(lines));
        m.set_stichworte(list(words));

        Db_access db;
        db.put_medium(m);
        m.set_key(db.get_lastPk());
        db.put_stichwort(m);
        QCOMPARE(sql.rows("select hex(titel), hex(autor), hex(jahr), hex(isbn), hex(beschreibung) "
                          "from medium where medium_pk = 2"),
                 (Rows{{hex(titel), hex(autor), hex(jahr), hex(isbn),
                        hex(lines.join("\r\n") + "\r\n")}}));
        QCOMPARE(sql.rows("select hex(wort) from stichwort where medium_fk = 2 order by wort"),
                 (Rows{{hex(words[0])}, {hex(words[1])}}));

        const Media r = db.get_medium(2);
        QCOMPARE(show(r.get_titel()), show(bytes(titel)));
        QCOMPARE(show(r.get_autor()), show(bytes(autor)));
        QCOMPARE(show(r.get_jahr()), show(bytes(jahr)));
        QCOMPARE(show(r.get_isbn()), show(bytes(isbn)));
        QCOMPARE(show(r.get_beschrieb()),
                 show(QByteArrayList{lines[0] + '\r', lines[1] + '\r', lines[2] + '\r'}));
        std::vector<AnsiString> read = r.get_stichworte();
        std::sort(read.begin(), read.end());
        QCOMPARE(show(read), show(words));
    }

    void cutString_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("empty") << QByteArray() << QByteArrayList();
        QTest::newRow("no line break") << QByteArray("A") << QByteArrayList{"A"};
        QTest::newRow("LF between") << QByteArray("A\nB") << QByteArrayList{"A", "B"};
        QTest::newRow("one LF") << QByteArray("\n") << QByteArrayList{""};
        QTest::newRow("empty lines") << QByteArray("\n\nA\n") << QByteArrayList{"", "", "A"};
        QTest::newRow("as written")
            << QByteArray("A\r\n\r\nB\r\n") << QByteArrayList{"A\r", "\r", "B\r"};
        QTest::newRow("last line without break")
            << QByteArray("A\r\nB") << QByteArrayList{"A\r", "B"};
        QTest::newRow("CR alone kept") << QByteArray("A\rB\n") << QByteArrayList{"A\rB"};
        QTest::newRow("NUL kept") << QByteArray("A\0B\nC\0", 6)
                                  << QByteArrayList{QByteArray("A\0B", 3), QByteArray("C\0", 2)};
    }

    void cutString()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArrayList, lines);
        Db_access db;
        QCOMPARE(show(db.cut_string(bytes(text))), show(lines));
    }

    void foreignDescriptionSurvivesSave()
    {
        // Another client wrote "A" LF "B": the last line reads back and is saved again.
        Catalogue cat("foreign");
        Direct& sql = cat.sql();
        seed(sql);
        sql.exec("update medium set beschreibung = X'410A42' where medium_pk = 1");
        Db_access db;
        Media m = db.get_medium(1);
        QCOMPARE(show(m.get_beschrieb()), QStringLiteral("2:[A][B]"));
        std::vector<AnsiString> trimmed;
        for (const AnsiString& line : m.get_beschrieb())
            trimmed.push_back(TrimRight(line));
        m.set_beschrieb(trimmed);
        db.up_medium(1, m);
        QCOMPARE(sql.value("select hex(beschreibung) from medium"), std::string("410D0A420D0A"));
    }

    void keywords()
    {
        Catalogue cat("keywords");
        Direct& sql = cat.sql();
        seed(sql);
        Db_access db;
        const std::string stored = "select wort from stichwort order by wort";

        Media m;
        m.set_key(1);
        db.put_stichwort(m); // no keywords: nothing to write
        QCOMPARE(sql.rows(stored), (Rows{{"Haus"}}));

        // The first duplicate ends the operation; what came before it stays.
        m.set_stichworte(list({"Garten", "Hof", "Garten", "Zaun"}));
        QString message = failureOf([&] { db.put_stichwort(m); });
        QVERIFY2(message.startsWith("Duplicate entry '1-Garten'"), qPrintable(message));
        QVERIFY(message.endsWith(
            QString::fromUtf8(". Stichworte können nicht in die Datenbank gelegt werden")));
        QCOMPARE(sql.rows(stored), (Rows{{"Garten"}, {"Haus"}, {"Hof"}}));

        // A keyword the medium has already.
        m.set_stichworte(list({"Wald", "Haus", "Zaun"}));
        message = failureOf([&] { db.put_stichwort(m); });
        QVERIFY2(message.startsWith("Duplicate entry '1-Haus'"), qPrintable(message));
        QCOMPARE(sql.rows(stored), (Rows{{"Garten"}, {"Haus"}, {"Hof"}, {"Wald"}}));

        // Replacing them: delete, then write.
        db.del_stichwort(1);
        m.set_stichworte(list({"Neu"}));
        db.put_stichwort(m);
        QCOMPARE(sql.rows(stored), (Rows{{"Neu"}}));
        QCOMPARE(show(db.get_stichworte(1)), QStringLiteral("1:[Neu]"));
        QCOMPARE(show(db.get_stichworte(2)), QStringLiteral("1:[]"));

        // The one empty word that a medium without keywords reads as is written as none.
        Media bare;
        bare.set_key(2);
        bare.set_stichworte(db.get_stichworte(2));
        db.put_stichwort(bare);
        QCOMPARE(sql.value("select count(*) from stichwort where medium_fk = 2"), std::string("0"));
        QVERIFY(queriesClosed());
    }

    void upMedium()
    {
        Catalogue cat("update");
        Direct& sql = cat.sql();
        seed(sql);
        sql.exec("update medium set ausgeliehen = 'Bernd', datum = '2019-03-01', tage = 14");
        sql.exec("insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values ('Anderes', 1, "
                 "1, 1)");
        const std::string columns = "select titel, autor, ort_fk, hex(beschreibung), jahr, typ_fk, "
                                    "kategorie_fk, isbn, tage, ausgeliehen, datum from medium "
                                    "order by medium_pk";

        Media m = sample(2, 2, 2);
        m.set_beschrieb(list({"X"}));
        m.set_tage(21);
        Db_access db;
        db.up_medium(1, m);
        QCOMPARE(sql.rows(columns),
                 (Rows{{"Der Zauberberg", "Thomas Mann", "2", "580D0A", "1924", "2", "2",
                        "978-3-10-048168-4", "21", "Bernd", "2019-03-01 00:00:00"},
                       {"Anderes", "<NULL>", "1", "<NULL>", "<NULL>", "1", "1", "<NULL>", "<NULL>",
                        "<NULL>", "<NULL>"}}));
        QCOMPARE(sql.rows("select medium_fk, wort from stichwort"), (Rows{{"1", "Haus"}}));
        // The location key goes as text; the server converts it.
        TMyParam* ort = dat_medium->myco_upmedium->ParamByName("ort");
        QVERIFY(ort->DataType() == TFieldType::ftString);
        QCOMPARE(ort->AsAnsiString(), AnsiString("2"));
    }

    void loans()
    {
        Catalogue cat("loans");
        Direct& sql = cat.sql();
        seed(sql);
        const std::string loan = "select ausgeliehen, datum, tage from medium";
        Db_access db;

        Media m;
        m.set_auslei(bytes("O'Neil \\ \xFC"));
        m.set_datum(EncodeDate(2019, 3, 1) + EncodeTime(14, 30, 0));
        m.set_tage(14);
        db.up_leihen(1, m);
        QCOMPARE(sql.rows(loan), (Rows{{"O'Neil \\ \xFC", "2019-03-01 00:00:00", "14"}}));
        const Media r = db.get_medium(1);
        QCOMPARE(show(r.get_auslei()), show(m.get_auslei()));
        QCOMPARE(r.get_datum().Val, EncodeDate(2019, 3, 1).Val);
        QCOMPARE(r.get_tage(), 14);

        db.up_leihen(1, "Bernd", EncodeDate(2020, 12, 24) + EncodeTime(23, 59, 59), 7);
        QCOMPARE(sql.rows(loan), (Rows{{"Bernd", "2020-12-24 00:00:00", "7"}}));
        QCOMPARE(DateTimeToStr(db.get_medium(1).get_datum()), QStringLiteral("24.12.2020"));

        // The first day that reads back.
        m.set_datum(EncodeDate(1900, 1, 2));
        db.up_leihen(1, m);
        QCOMPARE(db.get_medium(1).get_datum().Val, EncodeDate(1900, 1, 2).Val);
    }

    void missingKeyChangesNothing()
    {
        Catalogue cat("missing");
        Direct& sql = cat.sql();
        seed(sql);
        const std::string all = "select m.*, s.wort from medium m left join stichwort s on "
                                "s.medium_fk = m.medium_pk";
        const Rows before = sql.rows(all);
        Db_access db;
        // The updates say that they found nothing.
        QVERIFY(!db.up_medium(99, sample()));
        QVERIFY(!db.up_leihen(99, sample()));
        QVERIFY(!db.up_leihen(99, "Bernd", EncodeDate(2020, 1, 1), 7));
        db.del_stichwort(99);
        db.del_media(99);
        QCOMPARE(sql.rows(all), before);

        // A row found counts, also when it held the values already.
        const Media stored = db.get_medium(1);
        QVERIFY(db.up_medium(1, stored));
        QVERIFY(db.up_medium(1, stored));
        QVERIFY(db.up_leihen(1, stored));
        QVERIFY(db.up_leihen(1, stored));
    }

    // A new medium goes in with its keywords or not at all, and its key is the one this
    // connection got: a medium that another client inserts between the two is not it.
    void newMediumAsAWhole_data()
    {
        QTest::addColumn<QByteArrayList>("keywords");
        QTest::addColumn<int>("description"); // bytes of its one line, CR LF not counted
        QTest::addColumn<int>("location");
        QTest::addColumn<QString>("first"); // of the error; empty: stored
        QTest::addColumn<int>("part");
        const auto part = [](ESaveError::Part p) { return static_cast<int>(p); };
        QTest::newRow("with keywords")
            << QByteArrayList{"Sanatorium", "Davos"} << 1 << 1 << "" << 0;
        QTest::newRow("without keywords") << QByteArrayList{} << 1 << 1 << "" << 0;
        QTest::newRow("the same keyword twice")
            << QByteArrayList{"Davos", "davos"} << 1 << 1 << "Duplicate entry '2-davos'"
            << part(ESaveError::Part::keywords);
        QTest::newRow("a keyword of 51 bytes")
            << QByteArrayList{"Davos", QByteArray(51, 'x')} << 1 << 1
            << "Data too long for column 'wort'" << part(ESaveError::Part::keywords);
        QTest::newRow("a description beyond its column")
            << QByteArrayList{"Davos"} << 99998 << 1 << "Data too long for column 'beschreibung'"
            << part(ESaveError::Part::description);
        QTest::newRow("a location that is gone")
            << QByteArrayList{"Davos"} << 1 << 9 << "Cannot add or update a child row"
            << part(ESaveError::Part::data);
    }
    void newMediumAsAWhole()
    {
        QFETCH(QByteArrayList, keywords);
        QFETCH(int, description);
        QFETCH(int, location);
        QFETCH(QString, first);
        QFETCH(int, part);
        Catalogue cat("whole_new");
        Direct& sql = cat.sql();
        seed(sql);
        Media m = sample(location);
        if (keywords.isEmpty())
            m = Media(), m.set_titel("Leer"), m.set_ortfk(location), m.set_typfk(1),
            m.set_kategoriefk(1);
        m.set_beschrieb({AnsiString(std::string(static_cast<std::size_t>(description), 'd'))});
        m.set_stichworte(list(keywords));
        Db_access db;
        const std::string media = "select group_concat(medium_pk order by medium_pk) from medium";
        try {
            const int key = db.put_eintrag(m);
            QVERIFY2(first.isEmpty(), "stored what the server refuses");
            QCOMPARE(key, 2);
            QCOMPARE(sql.value(media), std::string("1,2"));
            std::vector<AnsiString> words = m.get_stichworte();
            std::sort(words.begin(), words.end());
            QByteArrayList joined;
            for (const AnsiString& w : words)
                joined << QByteArray::fromStdString(w.bytes());
            QCOMPARE(sql.value("select ifnull(group_concat(wort order by wort), '') from "
                               "stichwort where medium_fk = 2"),
                     joined.join(',').toStdString());
        } catch (const ESaveError& e) {
            QVERIFY2(!first.isEmpty() && e.Message.startsWith(first), qPrintable(e.Message));
            QCOMPARE(static_cast<int>(e.part), part);
            QVERIFY(!e.changed);
            QCOMPARE(sql.value(media), std::string("1"));
            QCOMPARE(sql.value("select count(*) from stichwort"), std::string("1"));
        }
        // Nothing of a failure stays open: the next statement takes effect at once.
        QVERIFY(!dat_medium->myc_medium->InTransaction());
        db.del_stichwort(1);
        QCOMPARE(sql.value("select count(*) from stichwort where medium_fk = 1"), std::string("0"));
        QVERIFY(queriesClosed());
    }

    void newMediumKeyIsThisConnections()
    {
        Catalogue cat("own_key");
        Direct& sql = cat.sql();
        seed(sql);
        Relay relay(port());
        TMyConnection* c = dat_medium->myc_medium;
        c->Close();
        c->Port = static_cast<int>(relay.port());
        // Another computer stores a medium while this one's insert is on its way back.
        relay.holdAnswer("insert into medium", [&] {
            Direct other(cat.name());
            other.exec("insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values "
                       "('Fremd', 2, 2, 2)");
        });
        Db_access db;
        const int key = db.put_eintrag(sample());
        c->Close();
        c->Port = static_cast<int>(port());
        QCOMPARE(relay.hits(), 1);
        QCOMPARE(key, 2);
        QCOMPARE(sql.rows("select m.medium_pk, m.titel, ifnull(group_concat(s.wort order by "
                          "s.wort), '') from medium m left join stichwort s on s.medium_fk = "
                          "m.medium_pk group by m.medium_pk order by m.medium_pk"),
                 (Rows{{"1", "Alt", "Haus"},
                       {"2", "Der Zauberberg", "Davos,Sanatorium"},
                       {"3", "Fremd", ""}}));
    }

    // Saving an edit compares, inside its transaction, what another client stored meanwhile
    // with what the user saw, field by field of what the save writes; where it differs from
    // both the seen and the edited value nothing is written, and the fields are named.
    void editAgainstAnotherClient_data()
    {
        QTest::addColumn<QByteArray>("other");    // what another client does after the read
        QTest::addColumn<QString>("groups");      // what the save writes: d, l, k
        QTest::addColumn<QStringList>("changed"); // the fields named
        QTest::newRow("nothing changed") << QByteArray() << "dlk" << QStringList();
        QTest::newRow("the title, the data saved")
            << QByteArray("update medium set titel = 'Alt (A)'") << "d" << QStringList{"titel"};
        QTest::newRow("the title, only the loan saved")
            << QByteArray("update medium set titel = 'Alt (A)'") << "l" << QStringList();
        QTest::newRow("the title to the edited one")
            << QByteArray("update medium set titel = 'Neu'") << "d" << QStringList();
        QTest::newRow("location and period") << QByteArray("update medium set ort_fk = 2, tage = 9")
                                             << "dl" << QStringList{"standort", "tage"};
        QTest::newRow("the loan") << QByteArray("update medium set ausgeliehen = 'Anna', datum = "
                                                "'2021-05-01'")
                                  << "l" << QStringList{"ausgeliehen", "datum"};
        QTest::newRow("a keyword added") << QByteArray("insert into stichwort values (1, 'Zaun')")
                                         << "k" << QStringList{"stichworte"};
        QTest::newRow("a keyword added, only the data saved")
            << QByteArray("insert into stichwort values (1, 'Zaun')") << "d" << QStringList();
        QTest::newRow("the description") << QByteArray("update medium set beschreibung = 'X\r\n'")
                                         << "d" << QStringList{"beschreibung"};
    }
    void editAgainstAnotherClient()
    {
        QFETCH(QByteArray, other);
        QFETCH(QString, groups);
        QFETCH(QStringList, changed);
        Catalogue cat("two_pc");
        Direct& sql = cat.sql();
        seed(sql);
        Db_access db;
        Media seen = db.get_medium(1);
        if (!other.isEmpty())
            sql.exec(other.toStdString());
        const std::string all = "select titel, ort_fk, ifnull(ausgeliehen, '-'), ifnull(tage, "
                                "'-'), (select group_concat(wort order by wort) from stichwort)"
                                " from medium";
        const auto before = sql.rows(all);
        Media edited = seen;
        edited.set_titel("Neu");
        edited.set_auslei("Bernd");
        edited.set_datum(EncodeDate(2022, 2, 2));
        edited.set_tage(14);
        edited.set_stichworte(list({"Haus", "Hof"}));
        const bool data = groups.contains(u'd'), loan = groups.contains(u'l'),
                   keywords = groups.contains(u'k');

        const std::vector<MediumField> named = db.up_eintrag(1, seen, edited, data, loan, keywords);
        const QStringList names = {"titel",     "autor",        "isbn",  "standort",
                                   "jahr",      "beschreibung", "tage",  "typ",
                                   "kategorie", "ausgeliehen",  "datum", "stichworte"};
        QStringList got;
        for (MediumField f : named)
            got << names[static_cast<int>(f)];
        QCOMPARE(got, changed);
        QVERIFY(!dat_medium->myc_medium->InTransaction());
        if (!changed.isEmpty()) {
            QCOMPARE(sql.rows(all), before); // nothing written
            // What the user now is told about is the new baseline: the same save stores.
            QVERIFY(db.up_eintrag(1, seen, edited, data, loan, keywords).empty());
        }
        const auto now = sql.rows(all);
        QCOMPARE(now[0][0], data ? std::string("Neu") : before[0][0]);
        QCOMPARE(now[0][2], loan ? std::string("Bernd") : before[0][2]);
        QCOMPARE(now[0][3], data || loan ? std::string("14") : before[0][3]);
        QCOMPARE(now[0][4], keywords ? std::string("Haus,Hof") : before[0][4]);
        QVERIFY(queriesClosed());
    }

    // A save is one transaction: a refused part leaves the others unwritten too; a medium
    // that another client deleted is reported as such.
    void editAsAWhole_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QString>("first");
        QTest::addColumn<int>("part");
        QTest::addColumn<bool>("changed");
        QTest::newRow("a keyword refused")
            << QByteArray("create trigger grenze before insert on stichwort for each row "
                          "if new.wort = 'Hof' then signal sqlstate '45000' set message_text = "
                          "'Stichwort abgelehnt'; end if")
            << "Stichwort abgelehnt. Stichworte können nicht in die Datenbank gelegt werden"
            << static_cast<int>(ESaveError::Part::keywords) << false;
        QTest::newRow("the loan day beyond 9999")
            << QByteArray("set @beyond = 1")
            << "Date exceeds maximum of 31.12.9999. Ausleihdaten können nicht in DB geschrieben "
               "werden"
            << static_cast<int>(ESaveError::Part::loan) << false;
        QTest::newRow("deleted meanwhile")
            << QByteArray("delete from stichwort; delete from medium")
            << "Multimediaobjekt mit Schlüssel 1 ist nicht mehr in der Datenbank. Multimedia "
               "Eintrag kann nicht upgedatet werden"
            << static_cast<int>(ESaveError::Part::unknown) << true;
    }
    void editAsAWhole()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QString, first);
        QFETCH(int, part);
        QFETCH(bool, changed);
        Catalogue cat("whole_edit");
        Direct& sql = cat.sql();
        seed(sql);
        Db_access db;
        Media seen = db.get_medium(1);
        sql.exec(setup.toStdString());
        const std::string all = "select m.titel, m.ausgeliehen, s.wort from medium m left join "
                                "stichwort s on s.medium_fk = m.medium_pk";
        const auto before = sql.rows(all);
        Media edited = seen;
        edited.set_titel("Neu");
        edited.set_auslei("Bernd");
        edited.set_stichworte(list({"Garten", "Hof"}));
        if (setup.contains("@beyond"))
            edited.set_datum(EncodeDate(9999, 12, 31).Val + 1);
        try {
            db.up_eintrag(1, seen, edited, true, true, true);
            QFAIL("the save went through");
        } catch (const ESaveError& e) {
            QCOMPARE(e.Message, first);
            QCOMPARE(static_cast<int>(e.part), part);
            QCOMPARE(e.changed, changed);
        }
        QCOMPARE(sql.rows(all), before);
        QVERIFY(!dat_medium->myc_medium->InTransaction());
        QVERIFY(queriesClosed());
    }

    void deleteMedium()
    {
        Catalogue cat("delete");
        Direct& sql = cat.sql();
        seed(sql);
        Db_access db;
        const QString message = failureOf([&] { db.del_media(1); });
        QVERIFY2(message.startsWith("Cannot delete or update a parent row: a foreign key "
                                    "constraint fails"),
                 qPrintable(message));
        QVERIFY(
            message.endsWith(QString::fromUtf8(". Multimediaeintrag kann nicht gelöscht werden")));
        QCOMPARE(sql.value("select count(*) from medium"), std::string("1"));

        db.del_stichwort(1);
        db.del_media(1);
        QCOMPARE(sql.value("select count(*) from medium"), std::string("0"));
        QCOMPARE(sql.value("select count(*) from stichwort"), std::string("0"));
    }

    // A deletion is one transaction: a refused medium keeps its keywords.
    void deleteAsAWhole()
    {
        Catalogue cat("whole_delete");
        Direct& sql = cat.sql();
        seed(sql);
        sql.exec("create trigger bleibt before delete on medium for each row signal sqlstate "
                 "'45000' set message_text = 'Medium bleibt'");
        Db_access db;
        try {
            db.del_eintrag(1);
            QFAIL("a refused deletion went through");
        } catch (const ESaveError& e) {
            QCOMPARE(e.Message,
                     QString::fromUtf8("Medium bleibt. Multimediaeintrag kann nicht gelöscht "
                                       "werden"));
        }
        QCOMPARE(sql.rows("select medium_fk, wort from stichwort"), (Rows{{"1", "Haus"}}));
        sql.exec("drop trigger bleibt");
        db.del_eintrag(1);
        db.del_eintrag(1); // nothing left to delete
        QCOMPARE(sql.value("select count(*) from medium"), std::string("0"));
        QCOMPARE(sql.value("select count(*) from stichwort"), std::string("0"));
        QVERIFY(queriesClosed());
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<Call>("call");
        // The first text (%s: the schema), whole or its beginning, and the sentences after it.
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("sentences");
        // What must still hold afterwards.
        QTest::addColumn<QByteArray>("check");
        QTest::addColumn<QByteArray>("expected");

        const QString childFk =
            "Cannot add or update a child row: a foreign key constraint fails (`%s`.`medium`";
        const QString read = QString::fromUtf8(kReadSentence);
        const QByteArray none = "select 'ok'";
        const QByteArray renameMedium = "rename table medium to medium_alt";
        const QByteArray renameKeywords = "rename table stichwort to stichwort_alt";

        QTest::newRow("put_medium, unknown location")
            << QByteArray() << Call([](Db_access& db) { db.put_medium(sample(9)); }) << childFk
            << false << QString::fromUtf8(". Mediandaten können nicht in die DB geschrieben werden")
            << QByteArray("select count(*) from medium") << QByteArray("1");
        // The key is the connection's own: it fails only with the connection.
        QTest::newRow("get_lastPk, no server")
            << QByteArray() << Call([](Db_access& db) {
                   TMyConnection* c = dat_medium->myc_medium;
                   struct Back {
                       TMyConnection* c;
                       ~Back() { c->Port = static_cast<int>(port()); }
                   } back{c};
                   c->Close();
                   c->Port = 1;
                   db.get_lastPk();
               })
            << QString("Can't connect to server on '127.0.0.1'") << false
            << QString::fromUtf8(". Schlüssel kann nicht ermittelt werden") << none
            << QByteArray("ok");
        QTest::newRow("put_stichwort, no table")
            << renameKeywords << Call([](Db_access& db) {
                   Media m;
                   m.set_key(1);
                   m.set_stichworte(list({"Wald"}));
                   db.put_stichwort(m);
               })
            << QString("Table '%s.stichwort' doesn't exist") << true
            << QString::fromUtf8(". Stichworte können nicht in die Datenbank gelegt werden")
            << QByteArray("select count(*) from stichwort_alt") << QByteArray("1");
        QTest::newRow("get_medium, no row")
            << QByteArray() << Call([](Db_access& db) { db.get_medium(2); })
            << QString::fromUtf8("Schlüssel für Ort ist ungültig") << true << read << none
            << QByteArray("ok");
        QTest::newRow("get_medium, no location")
            << QByteArray("update medium set ort_fk = NULL")
            << Call([](Db_access& db) { db.get_medium(1); })
            << QString::fromUtf8("Schlüssel für Ort ist ungültig") << true << read << none
            << QByteArray("ok");
        // Without the table an opened query would fail with the server's message.
        QTest::newRow("get_medium, key 0")
            << renameMedium << Call([](Db_access& db) { db.get_medium(0); })
            << QString::fromUtf8("Ungültiger Schlüssel") << true << read << none
            << QByteArray("ok");
        QTest::newRow("get_medium, loan date refused")
            << QByteArray("update medium set datum = '1900-01-01'")
            << Call([](Db_access& db) { db.get_medium(1); })
            << QString("Datum liegt zu weit in der Vergangenheit") << true << read << none
            << QByteArray("ok");
        QTest::newRow("get_medium, keywords fail")
            << renameKeywords << Call([](Db_access& db) { db.get_medium(1); })
            << QString("Table '%s.stichwort' doesn't exist") << true
            << QString::fromUtf8(". Stichworte können nicht aus der Datenbank gelesen werden") +
                   read
            << none << QByteArray("ok");
        QTest::newRow("up_medium, unknown type")
            << QByteArray() << Call([](Db_access& db) { db.up_medium(1, sample(1, 9)); }) << childFk
            << false << QString::fromUtf8(". Multimedia Eintrag kann nicht upgedatet werden")
            << QByteArray("select titel from medium") << QByteArray("Alt");
        QTest::newRow("up_leihen with a record, no table")
            << renameMedium << Call([](Db_access& db) { db.up_leihen(1, sample()); })
            << QString("Table '%s.medium' doesn't exist") << true
            << QString::fromUtf8(". Ausleihdaten können nicht in DB geschrieben werden")
            << QByteArray("select ifnull(ausgeliehen, '-') from medium_alt") << QByteArray("-");
        QTest::newRow("up_leihen with borrower, too long")
            << QByteArray() << Call([](Db_access& db) {
                   db.up_leihen(1, AnsiString(std::string(151, 'x')), EncodeDate(2020, 1, 1), 7);
               })
            << QString("Data too long for column 'ausgeliehen' at row 1") << true
            << QString::fromUtf8(". Ausleihdaten können nicht in die DB geschrieben werden")
            << QByteArray("select ifnull(ausgeliehen, '-') from medium") << QByteArray("-");
        // The day alone would be stored, and the read refuses it.
        QTest::newRow("up_leihen with a record, the day refused")
            << QByteArray() << Call([](Db_access& db) {
                   Media m = sample();
                   m.set_datum(EncodeDate(1900, 1, 1) + EncodeTime(12, 0, 0));
                   db.up_leihen(1, m);
               })
            << QString("Datum liegt zu weit in der Vergangenheit") << true
            << QString::fromUtf8(". Ausleihdaten können nicht in DB geschrieben werden")
            << QByteArray("select ifnull(ausgeliehen, '-') from medium") << QByteArray("-");
        QTest::newRow("up_leihen with borrower, the day refused")
            << QByteArray()
            << Call([](Db_access& db) { db.up_leihen(1, "Bernd", EncodeDate(1850, 6, 1), 7); })
            << QString("Datum liegt zu weit in der Vergangenheit") << true
            << QString::fromUtf8(". Ausleihdaten können nicht in die DB geschrieben werden")
            << QByteArray("select ifnull(ausgeliehen, '-') from medium") << QByteArray("-");
        // Beyond the last day of a date field, or no day at all: refused before it is sent.
        // A record takes no NaN.
        const std::pair<const char*, double> beyond[] = {
            {"10000-01-01", EncodeDate(9999, 12, 31).Val + 1},
            {"infinite", std::numeric_limits<double>::infinity()},
            {"NaN", std::numeric_limits<double>::quiet_NaN()},
        };
        for (const auto& [name, day] : beyond) {
            const double d = day;
            if (!std::isnan(d))
                QTest::addRow("up_leihen with a record, %s", name)
                    << QByteArray() << Call([d](Db_access& db) {
                           Media m = sample();
                           m.set_datum(d);
                           db.up_leihen(1, m);
                       })
                    << QString("Date exceeds maximum of 31.12.9999") << true
                    << QString::fromUtf8(". Ausleihdaten können nicht in DB geschrieben werden")
                    << QByteArray("select ifnull(datum, '-') from medium") << QByteArray("-");
            QTest::addRow("up_leihen with borrower, %s", name)
                << QByteArray() << Call([d](Db_access& db) { db.up_leihen(1, "Bernd", d, 7); })
                << QString("Date exceeds maximum of 31.12.9999") << true
                << QString::fromUtf8(". Ausleihdaten können nicht in die DB geschrieben werden")
                << QByteArray("select ifnull(datum, '-') from medium") << QByteArray("-");
        }
        QTest::newRow("up_leihen with borrower, minus infinite")
            << QByteArray() << Call([](Db_access& db) {
                   db.up_leihen(1, "Bernd", -std::numeric_limits<double>::infinity(), 7);
               })
            << QString("Datum liegt zu weit in der Vergangenheit") << true
            << QString::fromUtf8(". Ausleihdaten können nicht in die DB geschrieben werden")
            << QByteArray("select ifnull(datum, '-') from medium") << QByteArray("-");
        QTest::newRow("del_stichwort, no table")
            << renameKeywords << Call([](Db_access& db) { db.del_stichwort(1); })
            << QString("Table '%s.stichwort' doesn't exist") << true
            << QString::fromUtf8(". Stichworte können nicht gelöscht werden")
            << QByteArray("select count(*) from stichwort_alt") << QByteArray("1");
    }

    void failures()
    {
        QFETCH(QByteArray, setup);
        QFETCH(Call, call);
        QFETCH(QString, first);
        QFETCH(bool, whole);
        QFETCH(QString, sentences);
        QFETCH(QByteArray, check);
        QFETCH(QByteArray, expected);

        Catalogue cat("fail");
        Direct& sql = cat.sql();
        seed(sql);
        if (!setup.isEmpty())
            sql.exec(setup.toStdString());
        first.replace("%s", QString::fromStdString(cat.name()));

        Db_access db;
        const QString message = failureOf([&] { call(db); });
        if (whole)
            QCOMPARE(message, first + sentences);
        else
            QVERIFY2(message.startsWith(first) && message.endsWith(sentences), qPrintable(message));
        QVERIFY(queriesClosed());
        QCOMPARE(sql.value(check.toStdString()), expected.toStdString());
    }
};

QTEST_GUILESS_MAIN(TestMedium)
#include "test_medium.moc"
