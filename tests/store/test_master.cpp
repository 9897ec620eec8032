// The gateway's master-data operations: reads, inserts, and the tables of the dialogs.
#include "catalogue.h"
#include "tests/support/checks.h"

#include <QtTest>

#include <algorithm>
#include <functional>
#include <utility>

using namespace testdb;

using testdb::Catalogue;
using testdb::Direct;
using Rows = std::vector<std::vector<std::string>>;
using Names = std::vector<AnsiString>;
using Keys = std::vector<int>;

namespace {

// Plain functions for the operations of the table below.
template <auto F> Names readOf(Db_access& db, Keys& keys)
{
    return (db.*F)(keys);
}
template <auto F> int putOf(Db_access& db, AnsiString name)
{
    return (db.*F)(name);
}
template <auto F> void runOf(Db_access& db)
{
    (db.*F)();
}

// The three master tables with the operations and components that serve them.
struct Master {
    const char* table;
    const char* key;
    const char* name;
    int length; // of the name column
    bool nullable;
    Names (*read)(Db_access&, Keys&);
    const char* readSentence;
    int (*put)(Db_access&, AnsiString);
    const char* putSentence;
    void (*open)(Db_access&);
    void (*close)(Db_access&);
    const char* openSentence;
    const char* closeSentence;
    TMyTable* Tdat_medium::*component;
    TMyDataSource* Tdat_medium::*source;
};

const Master masters[] = {
    {"mediumtyp", "mediumtyp_pk", "typ", 100, true, readOf<&Db_access::get_typ>,
     ". Type Daten können nicht gelesen werden", putOf<&Db_access::put_typ>,
     ". Neuer Typ kann nicht in die DB geschrieben werden", runOf<&Db_access::open_typ>,
     runOf<&Db_access::clos_typ>, " .Tabelle Typ kann nicht geöffnet werden",
     " .Tabelle Typ kann nicht geschlossen werden", &Tdat_medium::myt_typ, &Tdat_medium::myds_typ},
    {"kategorie", "kategorie_pk", "name", 100, false, readOf<&Db_access::get_kategorie>,
     ". Kategorie Daten können nicht gelesen werden", putOf<&Db_access::put_kat>,
     ". Neue Kategorie kann nicht in die DB geschrieben werden", runOf<&Db_access::open_kat>,
     runOf<&Db_access::clos_kat>, " .Tabelle Kategorie kann nicht geöffnet werden",
     " .Tabelle Kategorie kann nicht geschlossen werden", &Tdat_medium::myt_kategorie,
     &Tdat_medium::myds_kategorie},
    {"standort", "standort_pk", "ort", 150, true, readOf<&Db_access::get_standort>,
     ". Standort Daten können nicht gelesen werden", putOf<&Db_access::put_ort>,
     ". Neuer Standort kann nicht in die DB geschrieben werden", runOf<&Db_access::open_ort>,
     runOf<&Db_access::clos_ort>, " .Tabelle Ort kann nicht geöffnet werden",
     " .Tabelle Ort kann nicht geschlossen werden", &Tdat_medium::myt_standort,
     &Tdat_medium::myds_standort},
};

void addMasters()
{
    QTest::addColumn<int>("which");
    for (int i = 0; i < 3; ++i)
        QTest::newRow(masters[i].table) << i;
}

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// Every query and command of this part is closed between operations.
bool queriesClosed()
{
    for (TMyQuery* q :
         {dat_medium->qry_typ, dat_medium->qry_kategorie, dat_medium->qry_standort,
          dat_medium->qry_ortpkmax, dat_medium->qry_typpkmax, dat_medium->qry_katpkmax})
        if (q->Active())
            return false;
    return true;
}

} // namespace

class TestMaster : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testdb::dataModule(); }

    // Each case starts with the three tables closed and their data sources enabled.
    void init()
    {
        for (const Master& m : masters) {
            (dat_medium->*m.component)->Close();
            (dat_medium->*m.source)->SetEnabled(true);
        }
    }

    void readEmptyTable_data() { addMasters(); }
    void readEmptyTable()
    {
        QFETCH(int, which);
        const Master& m = masters[which];
        Catalogue cat("mempty");
        Db_access db;
        Keys keys;
        QCOMPARE(m.read(db, keys), Names{AnsiString()});
        QCOMPARE(keys, Keys{0});
        QVERIFY(queriesClosed());
    }

    void readAppendsKeys_data() { addMasters(); }
    void readAppendsKeys()
    {
        QFETCH(int, which);
        const Master& m = masters[which];
        Catalogue cat("mread");
        const std::string table = m.table, name = m.name;
        cat.sql().exec("insert into " + table + " (" + name +
                       ") values ('Zeitschrift'), ('Buch \xFC'), ('CD')");
        if (m.nullable)
            cat.sql().exec("insert into " + table + " (" + name + ") values (NULL)");
        Db_access db;
        Keys keys{7, 8, 9};
        const Names names = m.read(db, keys);
        // In the order of the names, a NULL name first and empty.
        Names expected{"Buch \xFC", "CD", "Zeitschrift"};
        Keys expectedKeys{7, 8, 9, 2, 3, 1};
        if (m.nullable) {
            expected.insert(expected.begin(), AnsiString());
            expectedKeys.insert(expectedKeys.begin() + 3, 4);
        }
        QCOMPARE(names, expected);
        QCOMPARE(keys, expectedKeys);
        QVERIFY(queriesClosed());
    }

    void readFailure_data() { addMasters(); }
    void readFailure()
    {
        QFETCH(int, which);
        const Master& m = masters[which];
        Catalogue cat("mreadfail");
        const std::string table = m.table;
        // The second row's key is no 32-bit integer: the first key stays appended.
        cat.sql().exec("insert into " + table + " (" + m.key + ", " + m.name +
                       ") values (1, 'A'), (3000000000, 'B')");
        Db_access db;
        Keys keys{5};
        QCOMPARE(failureOf([&] { m.read(db, keys); }),
                 "'3000000000' is not a valid integer value" + utf8(m.readSentence));
        QCOMPARE(keys, (Keys{5, 1}));
        QVERIFY(queriesClosed());

        cat.sql().exec("SET FOREIGN_KEY_CHECKS = 0; drop table " + table);
        const QString message = failureOf([&] { m.read(db, keys); });
        QCOMPARE(message,
                 QString::fromStdString("Table '" + cat.name() + "." + table + "' doesn't exist") +
                     utf8(m.readSentence));
        QCOMPARE(keys, (Keys{5, 1}));
    }

    void insert_data() { addMasters(); }
    void insert()
    {
        QFETCH(int, which);
        const Master& m = masters[which];
        Catalogue cat("minsert");
        Direct& sql = cat.sql();
        const std::string table = m.table, key = m.key, name = m.name;
        const std::string select = "select " + key + ", " + name + " from " + table;
        Db_access db;

        // Duplicate and empty names go in like any other; quotes and umlauts unchanged.
        const std::string odd = "O'Brien \\ \xFC";
        QCOMPARE(m.put(db, AnsiString(odd)), 1);
        QCOMPARE(m.put(db, AnsiString(odd)), 2);
        QCOMPARE(m.put(db, ""), 3);
        QCOMPARE(sql.rows(select + " order by " + key), (Rows{{"1", odd}, {"2", odd}, {"3", ""}}));
        Keys keys;
        QCOMPARE(m.read(db, keys), (Names{"", AnsiString(odd), AnsiString(odd)}));
        // Equal names come in no set order.
        QCOMPARE(keys.at(0), 3);
        std::sort(keys.begin(), keys.end());
        QCOMPARE(keys, (Keys{1, 2, 3}));

        // The key returned is the largest of the table.
        sql.exec("insert into " + table + " (" + key + ", " + name + ") values (90, 'x')");
        QCOMPARE(m.put(db, "y"), 91);

        // The longest name fits; one byte more the server refuses, and nothing is added.
        QCOMPARE(m.put(db, AnsiString(std::string(static_cast<std::size_t>(m.length), 'a'))), 92);
        const QString refused = failureOf([&] {
            m.put(db, AnsiString(std::string(static_cast<std::size_t>(m.length) + 1, 'a')));
        });
        QCOMPARE(refused,
                 QString::fromStdString("Data too long for column '" + name + "' at row 1") +
                     utf8(m.putSentence));
        QCOMPARE(sql.value("select count(*) from " + table), std::string("6"));
        QVERIFY(queriesClosed());
    }

    void insertKeptWhenKeyReadFails()
    {
        // A logon that may insert into mediumtyp but not read it.
        Catalogue cat("mnokey");
        Direct root;
        root.exec("CREATE USER IF NOT EXISTS 'kt_nurinsert'@'localhost'");
        root.exec("GRANT INSERT ON `" + cat.name() + "`.mediumtyp TO 'kt_nurinsert'@'localhost'");
        Db_access db;
        db.db_open("kt_nurinsert", "", "localhost", AnsiString(cat.name()));
        const QString message = failureOf([&] { db.put_typ("Neu"); });
        QVERIFY2(message.startsWith("SELECT command denied to user 'kt_nurinsert'@'localhost'"),
                 qPrintable(message));
        QVERIFY(message.endsWith(". Neuer Typ kann nicht in die DB geschrieben werden"));
        QCOMPARE(cat.sql().rows("select mediumtyp_pk, typ from mediumtyp"), (Rows{{"1", "Neu"}}));
        QVERIFY(queriesClosed());
        db.db_stop();
        root.exec("DROP USER 'kt_nurinsert'@'localhost'");
    }

    void openAndClose_data() { addMasters(); }
    void openAndClose()
    {
        QFETCH(int, which);
        const Master& m = masters[which];
        const Master& other = masters[(which + 1) % 3];
        Catalogue cat("mopen");
        Direct& sql = cat.sql();
        TMyTable* table = dat_medium->*m.component;
        TMyDataSource* source = dat_medium->*m.source;
        const std::string insert = "insert into " + std::string(m.table) + " (" + m.name + ") ";
        sql.exec(insert + "values ('a'), ('b')");
        Db_access db;

        m.open(db);
        QVERIFY(table->Active());
        QVERIFY(source->Enabled());
        QCOMPARE(source->Table(), table);
        QCOMPARE(table->RecordCount(), 2);
        QCOMPARE(table->FieldName(0), QString::fromLatin1(m.key));
        QCOMPARE(table->FieldName(1), QString::fromLatin1(m.name));
        // Open on open changes nothing.
        sql.exec(insert + "values ('c')");
        m.open(db);
        QCOMPARE(table->RecordCount(), 2);

        m.close(db);
        QVERIFY(!table->Active());
        QVERIFY(!source->Enabled());
        m.close(db);
        QVERIFY(!source->Enabled());
        // Only its own opening operation enables it again.
        other.open(db);
        other.close(db);
        QVERIFY(!source->Enabled());
        m.open(db);
        QVERIFY(source->Enabled());
        QCOMPARE(table->RecordCount(), 3);
        m.close(db);
    }

    void openAndCloseFailures_data() { addMasters(); }
    void openAndCloseFailures()
    {
        QFETCH(int, which);
        const Master& m = masters[which];
        Catalogue cat("mopenfail");
        TMyTable* table = dat_medium->*m.component;
        TMyDataSource* source = dat_medium->*m.source;
        Db_access db;

        // A close that fails closes the table once more; the data source stays enabled.
        m.open(db);
        bool thrown = false;
        const int id = table->AddListener([&](const TMyTableChange&) {
            if (!std::exchange(thrown, true))
                throw EDatabaseError("Abgelehnt");
        });
        QCOMPARE(failureOf([&] { m.close(db); }), "Abgelehnt" + utf8(m.closeSentence));
        table->RemoveListener(id);
        QVERIFY(!table->Active());
        QVERIFY(source->Enabled());

        // An open that fails leaves the table closed and the data source as it was.
        m.close(db);
        cat.sql().exec("SET FOREIGN_KEY_CHECKS = 0; drop table " + std::string(m.table));
        QCOMPARE(
            failureOf([&] { m.open(db); }),
            QString::fromStdString("Table '" + cat.name() + "." + m.table + "' doesn't exist") +
                utf8(m.openSentence));
        QVERIFY(!table->Active());
        QVERIFY(!source->Enabled());
    }

    void editThroughTable()
    {
        // What a master-data dialog does with its table: insert, rename, delete.
        Catalogue cat("medit");
        Direct& sql = cat.sql();
        sql.exec("insert into kategorie (name) values ('Roman'), ('Krimi');"
                 "insert into mediumtyp (typ) values ('Buch');"
                 "insert into standort (ort) values ('Regal');"
                 "insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values ('A', 1, 1, 1)");
        Db_access db;
        db.open_kat();
        TMyTable* t = dat_medium->myds_kategorie->Table();
        QCOMPARE(t, dat_medium->myt_kategorie);
        QCOMPARE(t->RecordCount(), 2);

        const int row = t->InsertRow({{"name", AnsiString("M\xE4rchen")}});
        QCOMPARE(t->Cell(row, "kategorie_pk").AsInteger(), 3);
        t->UpdateRow(row, {{"name", AnsiString("Sage")}});
        QCOMPARE(sql.rows("select kategorie_pk, name from kategorie order by kategorie_pk"),
                 (Rows{{"1", "Roman"}, {"2", "Krimi"}, {"3", "Sage"}}));
        Keys keys;
        QCOMPARE(db.get_kategorie(keys), (Names{"Krimi", "Roman", "Sage"}));

        // A category that a medium uses stays.
        const QString refused = failureOf([&] { t->DeleteRow(0); });
        QVERIFY2(refused.startsWith("Cannot delete or update a parent row: a foreign key "
                                    "constraint fails"),
                 qPrintable(refused));
        QCOMPARE(t->RecordCount(), 3);
        QCOMPARE(t->Cell(0, "name").AsString(), QStringLiteral("Roman"));

        t->DeleteRow(row);
        t->DeleteRow(1);
        QCOMPARE(t->RecordCount(), 1);
        QCOMPARE(sql.rows("select kategorie_pk, name from kategorie"), (Rows{{"1", "Roman"}}));
        db.clos_kat();
        QVERIFY(!dat_medium->myds_kategorie->Enabled());
    }
};

QTEST_GUILESS_MAIN(TestMaster)
#include "test_master.moc"
