// The gateway's connection and schema operations, and the schema it creates.
#include "catalogue.h"
#include "platform/rtl/apperror.h"
#include "store/db_guard.h"
#include "tests/support/checks.h"

#include <QtTest>

#include <pwd.h>
#include <stdexcept>
#include <typeinfo>
#include <unistd.h>

using namespace testdb;

using testdb::Catalogue;
using testdb::Direct;
using Rows = std::vector<std::vector<std::string>>;

namespace {

// Collects what reaches the application's error handler while it lives.
struct ShownErrors {
    ShownErrors()
    {
        previous =
            SetApplicationErrorHandler([this](const Exception& e) { messages << e.Message; });
    }
    ~ShownErrors() { SetApplicationErrorHandler(previous); }
    QStringList messages;
    ApplicationErrorHandler previous;
};

const QString kOpenSentence = QString::fromUtf8(". Datenbankverbindung kann nicht geöffnet werden");

} // namespace

class TestGateway : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testdb::dataModule(); }

    void failureConvention()
    {
        // An Exception of any kind comes out as an Exception with the sentence appended.
        bool released = false;
        try {
            store::guarded(
                ". Satz.", [&] { released = true; }, []() -> int { throw EConvertError("Text"); });
            QFAIL("no error");
        } catch (const Exception& e) {
            QCOMPARE(e.Message, QStringLiteral("Text. Satz."));
            QVERIFY(typeid(e) == typeid(Exception));
            QVERIFY(released);
        }
        // Other errors pass unchanged and nothing is released.
        released = false;
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, store::guarded(
                                                        ". Satz.", [&] { released = true; },
                                                        [] { throw std::out_of_range("x"); }));
        QVERIFY(!released);
    }

    void schemaStructure()
    {
        Catalogue cat("structure");
        Direct& sql = cat.sql();
        const std::string in = "TABLE_SCHEMA = '" + cat.name() + "'";

        QCOMPARE(
            sql.rows("select TABLE_NAME, TABLE_TYPE, ENGINE, TABLE_COLLATION, TABLE_COMMENT "
                     "from information_schema.TABLES where " +
                     in + " order by TABLE_NAME"),
            (Rows{{"infentar", "VIEW", "<NULL>", "<NULL>", "VIEW"},
                  {"kategorie", "BASE TABLE", "InnoDB", "latin1_swedish_ci", ""},
                  {"medium", "BASE TABLE", "InnoDB", "latin1_swedish_ci", ""},
                  {"mediumtyp", "BASE TABLE", "InnoDB", "latin1_swedish_ci", ""},
                  {"medlist", "VIEW", "<NULL>", "<NULL>", "VIEW"},
                  {"standort", "BASE TABLE", "InnoDB", "latin1_swedish_ci", "Liste der Standorte"},
                  {"stichwort", "BASE TABLE", "InnoDB", "latin1_swedish_ci", ""}}));

        QCOMPARE(
            sql.rows("select TABLE_NAME, COLUMN_NAME, COLUMN_TYPE, IS_NULLABLE, "
                     "ifnull(COLUMN_DEFAULT, '-'), EXTRA, ifnull(CHARACTER_SET_NAME, '-') "
                     "from information_schema.COLUMNS where " +
                     in +
                     " and TABLE_NAME not in ('medlist', 'infentar')"
                     " order by TABLE_NAME, ORDINAL_POSITION"),
            (Rows{
                {"kategorie", "kategorie_pk", "int(10) unsigned", "NO", "-", "auto_increment", "-"},
                {"kategorie", "name", "varchar(100)", "NO", "-", "", "latin1"},
                {"medium", "medium_pk", "int(10) unsigned", "NO", "-", "auto_increment", "-"},
                {"medium", "titel", "varchar(200)", "NO", "-", "", "latin1"},
                {"medium", "autor", "varchar(100)", "YES", "NULL", "", "latin1"},
                {"medium", "ort_fk", "int(10) unsigned", "YES", "NULL", "", "-"},
                {"medium", "beschreibung", "text", "YES", "NULL", "", "latin1"},
                {"medium", "jahr", "varchar(30)", "YES", "NULL", "", "latin1"},
                {"medium", "typ_fk", "int(10) unsigned", "NO", "-", "", "-"},
                {"medium", "kategorie_fk", "int(10) unsigned", "NO", "-", "", "-"},
                {"medium", "ausgeliehen", "varchar(150)", "YES", "NULL", "", "latin1"},
                {"medium", "datum", "datetime", "YES", "NULL", "", "-"},
                {"medium", "isbn", "varchar(50)", "YES", "NULL", "", "latin1"},
                {"medium", "tage", "int(4)", "YES", "NULL", "", "-"},
                {"mediumtyp", "mediumtyp_pk", "int(10) unsigned", "NO", "-", "auto_increment", "-"},
                {"mediumtyp", "typ", "varchar(100)", "YES", "NULL", "", "latin1"},
                {"standort", "standort_pk", "int(10) unsigned", "NO", "-", "auto_increment", "-"},
                {"standort", "ort", "varchar(150)", "YES", "NULL", "", "latin1"},
                {"stichwort", "medium_fk", "int(10) unsigned", "NO", "-", "", "-"},
                {"stichwort", "wort", "varchar(50)", "NO", "-", "", "latin1"}}));

        QCOMPARE(sql.rows("select TABLE_NAME, INDEX_NAME, COLUMN_NAME, SEQ_IN_INDEX, NON_UNIQUE, "
                          "INDEX_TYPE from information_schema.STATISTICS where " +
                          in + " order by TABLE_NAME, INDEX_NAME, SEQ_IN_INDEX"),
                 (Rows{{"kategorie", "PRIMARY", "kategorie_pk", "1", "0", "BTREE"},
                       {"medium", "kategorie_fk", "kategorie_fk", "1", "1", "BTREE"},
                       {"medium", "ort_fk", "ort_fk", "1", "1", "BTREE"},
                       {"medium", "PRIMARY", "medium_pk", "1", "0", "BTREE"},
                       {"medium", "typ_fk", "typ_fk", "1", "1", "BTREE"},
                       {"mediumtyp", "PRIMARY", "mediumtyp_pk", "1", "0", "BTREE"},
                       {"standort", "PRIMARY", "standort_pk", "1", "0", "BTREE"},
                       {"stichwort", "medium_fk", "medium_fk", "1", "1", "BTREE"},
                       {"stichwort", "PRIMARY", "medium_fk", "1", "0", "BTREE"},
                       {"stichwort", "PRIMARY", "wort", "2", "0", "BTREE"}}));

        QCOMPARE(
            sql.rows(
                "select k.TABLE_NAME, k.CONSTRAINT_NAME, k.COLUMN_NAME, "
                "k.REFERENCED_TABLE_NAME, k.REFERENCED_COLUMN_NAME, r.UPDATE_RULE, r.DELETE_RULE "
                "from information_schema.KEY_COLUMN_USAGE k "
                "join information_schema.REFERENTIAL_CONSTRAINTS r "
                "on r.CONSTRAINT_SCHEMA = k.TABLE_SCHEMA and r.CONSTRAINT_NAME = k.CONSTRAINT_NAME "
                "where k." +
                in + " order by k.TABLE_NAME, k.CONSTRAINT_NAME"),
            (Rows{
                {"medium", "kategorie_fk", "kategorie_fk", "kategorie", "kategorie_pk", "RESTRICT",
                 "RESTRICT"},
                {"medium", "ort_fk", "ort_fk", "standort", "standort_pk", "RESTRICT", "RESTRICT"},
                {"medium", "typ_fk", "typ_fk", "mediumtyp", "mediumtyp_pk", "RESTRICT", "RESTRICT"},
                {"stichwort", "medium_fk", "medium_fk", "medium", "medium_pk", "RESTRICT",
                 "RESTRICT"}}));

        QCOMPARE(
            sql.rows("select TABLE_NAME, group_concat(COLUMN_NAME order by ORDINAL_POSITION) "
                     "from information_schema.COLUMNS where " +
                     in +
                     " and TABLE_NAME in ('medlist', 'infentar') group by TABLE_NAME order by "
                     "TABLE_NAME"),
            (Rows{{"infentar", "titel,autor,ort,beschreibung,jahr,ausgeliehen,datum,typ,kategorie,"
                               "ausleifrist,r\xFC"
                               "ckgabe"},
                  {"medlist", "id,titel,autor,standort,typ,kategorie"}}));
    }

    void firstKeysAndViews()
    {
        Catalogue cat("views");
        Direct& sql = cat.sql();
        sql.exec("insert into kategorie (name) values ('Roman')");
        sql.exec("insert into mediumtyp (typ) values ('Buch')");
        sql.exec("insert into standort (ort) values ('Regal')");
        sql.exec("insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values ('Nie "
                 "verliehen', 1, 1, 1)");
        QCOMPARE(
            sql.value("select concat(max(kategorie_pk), max(mediumtyp_pk), max(standort_pk), "
                      "(select max(medium_pk) from medium)) from kategorie, mediumtyp, standort"),
            std::string("1111"));
        sql.exec("insert into medium (titel, ort_fk, typ_fk, kategorie_fk, datum, tage) values "
                 "('Verliehen', 1, 1, 1, '2019-03-01', 14), ('Ohne Frist', 1, 1, 1, '2019-03-01', "
                 "NULL), "
                 "('Ohne Ort', NULL, 1, 1, NULL, NULL)");
        QCOMPARE(sql.rows("select titel, datum, ifnull(`r\xFC"
                          "ckgabe`, '<NULL>') from infentar order by titel"),
                 (Rows{{"Nie verliehen", "06.01.2018", "<NULL>"},
                       {"Ohne Frist", "01.03.2019", "<NULL>"},
                       {"Verliehen", "01.03.2019", "15.03.2019"}}));
        QCOMPARE(sql.value("select group_concat(titel order by titel) from medlist"),
                 std::string("Nie verliehen,Ohne Frist,Verliehen"));
        QCOMPARE(sql.value("select count(*) from medium"), std::string("4"));
    }

    void keywordRules()
    {
        Catalogue cat("keywords");
        Direct& sql = cat.sql();
        sql.exec(
            "insert into kategorie (name) values ('K'); insert into mediumtyp (typ) values ('T');"
            "insert into standort (ort) values ('O');"
            "insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values ('A', 1, 1, 1), ('B', "
            "1, 1, 1)");
        sql.exec("insert into stichwort values (1, 'Haus'), (2, 'Haus')");
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 sql.exec("insert into stichwort values (1, 'HAUS')"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 sql.exec("insert into stichwort values (9, 'x')"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 sql.exec("delete from medium where medium_pk = 1"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, sql.exec("delete from standort"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, sql.exec("delete from mediumtyp"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, sql.exec("delete from kategorie"));
    }

    void refusedLogon()
    {
        testdb::Schema schema("refused");
        Db_access db;
        const QString message = failureOf(
            [&] { db.db_open("root", "falsch", "localhost", AnsiString(schema.name())); });
        QVERIFY2(message.startsWith("Access denied for user 'root'@'localhost'"),
                 qPrintable(message));
        QVERIFY(message.endsWith("(using password: YES)" + kOpenSentence));
        QVERIFY(!dat_medium->myc_medium->Connected());
        // The values stay set: the next connection uses them and fails the same way.
        QCOMPARE(dat_medium->myc_medium->Password(), QStringLiteral("falsch"));
        QVERIFY(failureOf([&] { db.db_start(); }).endsWith(". DB kann nicht gestartet werden"));

        // A schema that does not exist.
        const QString missing =
            failureOf([&] { db.db_open("root", "", "localhost", "kt_nirgends"); });
        QCOMPARE(missing, "Unknown database 'kt_nirgends'" + kOpenSentence);
        QVERIFY(!dat_medium->myc_medium->Connected());
    }

    void openStopStartAndFacts()
    {
        testdb::Schema schema("facts");
        Db_access db;
        QVERIFY(db.db_open("root", "", "localhost", ""));
        QVERIFY(dat_medium->myc_medium->Connected());
        std::unique_ptr<TStringList> facts(db.get_system());
        QCOMPARE(facts->Count(), 7);
        const QStringList labels = {
            "Version: ", "Aktuelle Zeit: ", "Benutzer: ", "Aktueller Benutzer: ",
            "Nutzer: ",  "Systemnutzer: ",  "Schema: "};
        for (int i = 0; i < 7; ++i)
            QVERIFY2((*facts)[i].startsWith(labels[i]), qPrintable((*facts)[i]));
        QVERIFY((*facts)[0].contains("MariaDB"));
        TDateTime now;
        QVERIFY(TryStrToDateTime((*facts)[1].mid(labels[1].size()), now));
        QCOMPARE((*facts)[2], QStringLiteral("Benutzer: root@localhost"));
        QCOMPARE((*facts)[3], QStringLiteral("Aktueller Benutzer: root@localhost"));
        QCOMPARE((*facts)[6], QStringLiteral("Schema: "));

        // A changed schema alone is selected on the live connection.
        QVERIFY(db.db_open("root", "", "localhost", AnsiString(schema.name())));
        facts.reset(db.get_system());
        QCOMPARE((*facts)[6], "Schema: " + QString::fromStdString(schema.name()));

        db.db_start(); // connected already: nothing happens
        QVERIFY(dat_medium->myc_medium->Connected());
        db.db_stop();
        QVERIFY(!dat_medium->myc_medium->Connected());
        db.db_stop(); // closed already
        QVERIFY(db.db_close());
        db.db_start();
        QVERIFY(dat_medium->myc_medium->Connected());
        QVERIFY(db.db_close());
        QVERIFY(!dat_medium->myc_medium->Connected());
    }

    void existSchema()
    {
        testdb::Schema empty("exists");
        Db_access db;
        db.db_open("root", "", "localhost", "");
        QVERIFY(db.exist_schema(AnsiString(empty.name())));
        QVERIFY(!db.exist_schema("kt_gibt_es_nicht"));
        QVERIFY(!db.exist_schema(""));
        QVERIFY(!db.exist_schema("x' or '1' = '1"));
        QVERIFY(!dat_medium->qry_schema->Active());
    }

    void createDb()
    {
        const std::string name = "kt_neu_" + std::to_string(getpid());
        Direct root;
        root.exec("DROP DATABASE IF EXISTS `" + name + "`");
        Db_access db;
        db.db_open("root", "", "localhost", "");
        QVERIFY(!db.exist_schema(AnsiString(name)));
        ShownErrors shown;
        db.create_db(AnsiString(name));
        QCOMPARE(shown.messages, QStringList());
        QVERIFY(db.exist_schema(AnsiString(name)));
        std::unique_ptr<TStringList> facts(db.get_system());
        QCOMPARE((*facts)[6], "Schema: " + QString::fromStdString(name));
        QCOMPARE(
            root.value("select count(*) from information_schema.TABLES where TABLE_SCHEMA = '" +
                       name + "'"),
            std::string("7"));
        QCOMPARE(
            dat_medium->scr_create_schema->SQL.lines(),
            QStringList({QString::fromStdString("CREATE DATABASE  IF NOT EXISTS `" + name + "`;"),
                         QString::fromStdString("USE `" + name + "`;")}));

        // A second run never drops what the schema holds.
        root.exec("insert into `" + name + "`.kategorie (name) values ('bleibt')");
        db.db_stop();
        db.db_open("root", "", "localhost", "");
        const QString refused = failureOf([&] { db.create_db(AnsiString(name)); });
        QCOMPARE(refused, QString::fromUtf8("Das Schema %1 enthält bereits Tabellen des Katalogs. "
                                            "DB kann nicht angelegt werden.")
                              .arg(QString::fromStdString(name)));
        QCOMPARE(root.value("select name from `" + name + "`.kategorie"), std::string("bleibt"));
        root.exec("DROP DATABASE `" + name + "`");
    }

    void createDbWithBackQuote()
    {
        const std::string name = "kt_a`b_" + std::to_string(getpid());
        const std::string quoted = "kt_a``b_" + std::to_string(getpid());
        Direct root;
        root.exec("DROP DATABASE IF EXISTS `" + quoted + "`");
        Db_access db;
        db.db_open("root", "", "localhost", "");
        ShownErrors shown;
        db.create_db(AnsiString(name));
        QCOMPARE(shown.messages, QStringList());
        QVERIFY(db.exist_schema(AnsiString(name)));
        QCOMPARE(
            root.value("select count(*) from information_schema.TABLES where TABLE_SCHEMA = '" +
                       name + "'"),
            std::string("7"));
        root.exec("DROP DATABASE `" + quoted + "`");
    }

    void createDbRefusedStatements()
    {
        // A logon that may create tables but no views: the two views fail, the rest stands.
        testdb::Schema schema("noview");
        Direct root;
        root.exec("CREATE USER IF NOT EXISTS 'kt_noview'@'localhost'");
        root.exec("GRANT SELECT, INSERT, CREATE, DROP, REFERENCES, INDEX ON `" + schema.name() +
                  "`.* TO 'kt_noview'@'localhost'");
        Db_access db;
        db.db_open("kt_noview", "", "localhost", "");
        {
            ShownErrors shown;
            db.create_db(AnsiString(schema.name()));
            QCOMPARE(shown.messages.size(), 2);
            for (const QString& m : shown.messages)
                QVERIFY2(m.contains("CREATE VIEW command denied"), qPrintable(m));
        }
        QCOMPARE(root.value("select group_concat(TABLE_NAME order by TABLE_NAME) from "
                            "information_schema.TABLES "
                            "where TABLE_SCHEMA = '" +
                            schema.name() + "'"),
                 std::string("kategorie,medium,mediumtyp,standort,stichwort"));

        // A logon that may not create schemas: creation and selection fail, and the script
        // is not run in whatever schema the connection had.
        root.exec("CREATE USER IF NOT EXISTS 'kt_nocreate'@'localhost'");
        root.exec("GRANT ALL ON `" + schema.name() + "`.* TO 'kt_nocreate'@'localhost'");
        db.db_stop();
        db.db_open("kt_nocreate", "", "localhost", AnsiString(schema.name()));
        root.exec("DROP TABLE `" + schema.name() + "`.stichwort");
        {
            ShownErrors shown;
            db.create_db("kt_verboten");
            QCOMPARE(shown.messages.size(), 2);
            QVERIFY2(shown.messages[0].contains("Access denied"), qPrintable(shown.messages[0]));
        }
        QCOMPARE(
            root.value("select count(*) from information_schema.TABLES where TABLE_SCHEMA = '" +
                       schema.name() + "'"),
            std::string("4"));
        QVERIFY(!failureOf([&] {
                     db.db_open("kt_nocreate", "", "localhost", "kt_verboten");
                 }).endsWith("<no error>"));
        db.db_stop();
        root.exec("DROP USER 'kt_noview'@'localhost'");
        root.exec("DROP USER 'kt_nocreate'@'localhost'");
    }

    void statementBeforeLogonUsesStoredSettings()
    {
        // A data module of its own, as at a first start: "localhost", schema "med_test", no
        // user name (the client then logs on with the system's login name).
        const passwd* pw = getpwuid(getuid());
        const std::string login = pw ? pw->pw_name : "root";
        Direct root;
        root.exec("CREATE DATABASE IF NOT EXISTS med_test");
        root.exec("CREATE USER IF NOT EXISTS '" + login + "'@'localhost'");
        root.exec("GRANT ALL ON med_test.* TO '" + login + "'@'localhost'");

        Tdat_medium* saved = dat_medium;
        dat_medium = new Tdat_medium(nullptr);
        dat_medium->myc_medium->Port = static_cast<int>(testdb::port());
        QCOMPARE(dat_medium->myc_medium->Server(), QStringLiteral("localhost"));
        QCOMPARE(dat_medium->myc_medium->Database(), QStringLiteral("med_test"));
        QCOMPARE(dat_medium->myc_medium->Username(), QString());
        QVERIFY(!dat_medium->myc_medium->Connected());

        Db_access db;
        std::unique_ptr<TStringList> facts(db.get_system());
        QCOMPARE((*facts)[6], QStringLiteral("Schema: med_test"));
        QVERIFY(dat_medium->myc_medium->Connected());
        QVERIFY(!dat_medium->qry_system->Active());
        // Over TCP: the server sees a host with a port, not the local socket.
        TMyQuery host;
        host.Connection = dat_medium->myc_medium;
        host.SQL.Add("select HOST from information_schema.PROCESSLIST where ID = connection_id()");
        host.Open();
        QVERIFY2(host.FieldByName("HOST").AsString().startsWith("localhost:"),
                 qPrintable(host.FieldByName("HOST").AsString()));
        delete dat_medium;
        dat_medium = saved;
        root.exec("DROP DATABASE med_test");
    }
};

QTEST_GUILESS_MAIN(TestGateway)
#include "test_gateway.moc"
