// What an ordinary account of the computer runs, with its own home folder and the PATH that
// Debian gives its users: the household server of scripts/run and the throwaway server of the
// tests, each from a fresh folder to a catalogue that the store creates and writes; the
// household server's catalogue account, which may do in catalogues what the program does and
// cannot touch the server's own accounts; the accounts brought back at every start; and the
// watchdogs, which stop the servers and the display once their caller has ended. When the
// suite runs as root, all of it runs as an account of its own.
#include "store/db_access.h"
#include "store/medium_db.h"
#include "tests/scripts/script_run.h"
#include "tests/support/checks.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace scripts;

namespace {

// The account of a process, as the system sees it.
uid_t uidOf(pid_t pid)
{
    struct stat st {};
    return stat(QStringLiteral("/proc/%1").arg(pid).toLatin1().constData(), &st) == 0 ? st.st_uid
                                                                                      : uid_t(-1);
}

// A process of the account that stands for a running scripts/run or a test run.
struct Caller {
    QProcess p;
    explicit Caller(const Account& as)
    {
        startAs(p, QStringLiteral("sleep"), {QStringLiteral("600")}, QString(), as);
        p.waitForStarted();
    }
    ~Caller() { end(); }
    void end()
    {
        p.kill();
        p.waitForFinished();
    }
    QString pid() const { return QString::number(p.processId()); }
};

// The catalogue as the program makes it, through the store: its schema, then one medium
// with its keywords; the failures of the schema script are collected.
QStringList makeCatalogue(const AnsiString& user, const AnsiString& password, const char* schema)
{
    QStringList failures;
    const auto collect = [&](const Exception& e) { failures << e.Message; };
    dat_medium->scr_create_schema->OnError = collect;
    dat_medium->scr_create_db->OnError = collect;
    try {
        Db_access db;
        db.db_stop();
        db.db_open(user, password, "localhost", AnsiString());
        db.create_db(schema);
        db.db_stop();
        db.db_open(user, password, "localhost", schema);
        Media m;
        m.set_titel("Der Hobbit");
        m.set_autor("J. R. R. Tolkien");
        m.set_ortfk(db.put_ort("Regal"));
        m.set_typfk(db.put_typ("Buch"));
        m.set_kategoriefk(db.put_kat("Roman"));
        db.put_medium(m);
        m.set_key(db.get_lastPk());
        m.set_stichworte({"Zwerge", "Drache"});
        db.put_stichwort(m);
        db.db_stop();
    } catch (const Exception& e) {
        failures << e.Message;
    }
    return failures;
}

const char* const kCatalogueRows =
    "select concat(m.titel, ' / ', o.ort, ' / ', group_concat(s.wort order by s.wort))"
    " from %1.medium m join %1.standort o on o.standort_pk = m.ort_fk"
    " join %1.stichwort s on s.medium_fk = m.medium_pk group by m.medium_pk";

} // namespace

class TestUserAccount : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString scriptsDir; // copies any account can read
    Account user;
    QString household; // where scripts/run keeps the household server
    unsigned port = 0;
    QString password;
    std::unique_ptr<Caller> household_user; // the scripts/run that uses the household server

    Result homedb(const QStringList& args) { return script("homedb", args, user, scriptsDir); }

    // Starts the household server for the caller on a free port (3306 is the system's); a
    // port taken in the meantime is tried again with another.
    Result startHousehold()
    {
        Result r;
        for (int attempt = 0; attempt < 10; ++attempt) {
            port = freePort();
            r = homedb({"start", household, "--port", QString::number(port), "--watch",
                        household_user->pid()});
            if (r.code != 3 && r.code != 4)
                break;
        }
        dat_medium->myc_medium->Port = static_cast<int>(port);
        return r;
    }

    // As root through the server's socket, behind the script's back.
    Result asRoot(const QString& statement)
    {
        return run(QStringLiteral("mariadb"),
                   {"--no-defaults", "-S",
                    readAll(household + "/sockdir").trimmed() + "/mysqld.sock", "-uroot", "--batch",
                    "--skip-column-names", "-e", statement});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        // The account passes through the test's folder to its home and the scripts.
        QVERIFY(passable(tmp.path()));
        scriptsDir = copyScripts(tmp.path() + "/scripts");
        user = ordinaryAccount(tmp.path() + "/home");
        QCOMPARE(ownerOf(user.home), user.uid);
        household = user.home + "/.local/share/kollektar/mariadb";
        household_user = std::make_unique<Caller>(user);
        dat_medium = new Tdat_medium(nullptr);
    }

    void cleanupTestCase()
    {
        delete dat_medium;
        dat_medium = nullptr;
        if (QFile::exists(household + "/.kollektar-homedb"))
            homedb({"stop", household});
        for (const QString& dir : {user.home + "/testdb", user.home + "/watched-testdb"})
            if (QFile::exists(dir + "/.kollektar-testdb"))
                script("testdb", {"stop", dir}, user, scriptsDir);
        script("xdisplay", {"stop", user.home + "/xdisplay"}, user, scriptsDir);
        household_user.reset();
    }

    // Everything is installed: setup asks for nothing.
    void setupNeedsNoRoot()
    {
        const Result r = script("setup", {}, user, scriptsDir);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out + r.err, QString());
    }

    // From a fresh home folder: the server runs as the account, the password it prints logs
    // on as "kollektar", and the store makes the whole catalogue and writes a medium.
    void householdServer()
    {
        const Result r = startHousehold();
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        const QRegularExpressionMatch printed =
            QRegularExpression("the password ([A-Za-z0-9]+) and the server localhost").match(r.out);
        QVERIFY2(printed.hasMatch(), qPrintable(r.out));
        password = printed.captured(1);
        QCOMPARE(uidOf(pidIn(household + "/server.pid")), user.uid);
        QCOMPARE(ownerOf(household + "/data/mysql"), user.uid);
        QCOMPARE(sql(port, kAccount, password, "select current_user()").out,
                 QStringLiteral("kollektar@localhost\n"));

        QCOMPARE(makeCatalogue(AnsiString(kAccount), AnsiString(password), "katalog"),
                 QStringList());
        QCOMPARE(sql(port, kAccount, password,
                     "select table_type, count(*) from information_schema.tables"
                     " where table_schema = 'katalog' group by table_type order by table_type")
                     .out,
                 QStringLiteral("BASE TABLE\t5\nVIEW\t2\n"));
        QCOMPARE(
            sql(port, kAccount, password, QString::fromLatin1(kCatalogueRows).arg("katalog")).out,
            QStringLiteral("Der Hobbit / Regal / Drache,Zwerge\n"));
    }

    void catalogueAccount_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("a catalogue of its own with a table and a row")
            << "create database neu; create table neu.t (z varchar(20));"
               " insert into neu.t values ('Buch'); select z from neu.t; drop database neu"
            << true;
        QTest::newRow("rows of the catalogue")
            << "insert into katalog.kategorie (name) values ('Krimi');"
               " update katalog.kategorie set name = 'Krimis' where name = 'Krimi';"
               " delete from katalog.kategorie where name = 'Krimis'"
            << true;
        QTest::newRow("a view and a trigger in the catalogue")
            << "create view katalog.titel as select titel from katalog.medium;"
               " create trigger katalog.gross before insert on katalog.standort"
               " for each row set new.ort = upper(new.ort);"
               " drop trigger katalog.gross; drop view katalog.titel"
            << true;
        QTest::newRow("a column added and dropped")
            << "alter table katalog.medium add column notiz text;"
               " alter table katalog.medium drop column notiz"
            << true;
        QTest::newRow("insert into mysql.global_priv")
            << "insert into mysql.global_priv values ('%', 'gast', '{\"access\": 1073741823}')"
            << false;
        QTest::newRow("update mysql.global_priv")
            << "update mysql.global_priv set Priv = '{}' where User = 'root'" << false;
        QTest::newRow("read mysql.global_priv") << "select * from mysql.global_priv" << false;
        QTest::newRow("read mysql.db") << "select * from mysql.db" << false;
        QTest::newRow("a table in mysql") << "create table mysql.gast (z int)" << false;
        QTest::newRow("drop mysql") << "drop database mysql" << false;
        QTest::newRow("a view over mysql")
            << "create view katalog.konten as select * from mysql.global_priv" << false;
        QTest::newRow("create user") << "create user gast@'%'" << false;
        QTest::newRow("create role") << "create role gast" << false;
        QTest::newRow("grant on the catalogue")
            << "grant select on katalog.* to root@localhost" << false;
        QTest::newRow("grant to itself") << "grant all on *.* to kollektar@localhost" << false;
        QTest::newRow("set password for root")
            << "set password for root@localhost = password('Geheim123')" << false;
        QTest::newRow("read sys") << "select * from sys.sys_config" << false;
        QTest::newRow("change performance_schema")
            << "update performance_schema.setup_consumers set enabled = 'YES'" << false;
    }

    // "kollektar" does in catalogues what the program does, and nothing to the server's
    // own schemas and accounts.
    void catalogueAccount()
    {
        QFETCH(QString, statement);
        QFETCH(bool, allowed);
        const Result r = sql(port, kAccount, password, statement);
        if (allowed) {
            QVERIFY2(r.code == 0, qPrintable(r.err));
        } else {
            QVERIFY2(r.code != 0, qPrintable(r.out));
            QVERIFY2(r.err.contains("denied"), qPrintable(r.err));
        }
    }

    // An account put into the account tables behind the script's back, without a password
    // and with every privilege, is gone after the next start, and the start says so; one that
    // a view names as its definer is locked, and the view still works. The catalogue account
    // has the password of its file again.
    void accountsBroughtBack()
    {
        if (!isRoot())
            QSKIP("only root logs on through the server's socket");
        Result r = asRoot("insert into mysql.global_priv values"
                          " ('%', 'gast', '{\"access\": 1073741823}');"
                          "create user besitzer@localhost;"
                          "create definer = besitzer@localhost view katalog.besitz as select 1;"
                          "flush privileges");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(sql(port, "gast", "", "select current_user()").out, QStringLiteral("gast@%\n"));
        QCOMPARE(sql(port, kAccount, password, "set password = password('Anders1234')").code, 0);

        QCOMPARE(homedb({"stop", household}).code, 0);
        r = startHousehold();
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains("Kollektar: the server in " + household +
                                " had accounts that homedb did not make; removed: 'gast'@'%';"
                                " locked, as views, triggers, routines or events name them:"
                                " 'besitzer'@'localhost'\n"),
                 qPrintable(r.out));
        for (const char* account : {"gast", "besitzer"}) {
            const Result denied = sql(port, account, "", "select 1");
            QVERIFY2(denied.code != 0 && denied.err.contains("denied"), qPrintable(denied.err));
        }
        QCOMPARE(asRoot("select concat(User, '@', Host) from mysql.user order by 1").out,
                 QStringLiteral("besitzer@localhost\nkollektar@localhost\nmariadb.sys@localhost\n"
                                "root@localhost\n"));
        QCOMPARE(sql(port, kAccount, password, "select * from katalog.besitz").out,
                 QStringLiteral("1\n"));

        // The next start finds nothing to say.
        QCOMPARE(homedb({"stop", household}).code, 0);
        r = startHousehold();
        QVERIFY2(r.code == 0 && !r.out.contains("did not make"), qPrintable(r.out + r.err));
    }

    // The last user leaves: the server stops there and then.
    void householdServerLeaves()
    {
        const pid_t server = pidIn(household + "/server.pid");
        QVERIFY(running(server));
        const Result r = homedb({"leave", household, "--watch", household_user->pid()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(!running(server));
        QVERIFY(sql(port, kAccount, password, "select 1").code != 0);
    }

    // The throwaway server of the tests, as the account: root logs on without a password,
    // the store makes a catalogue and writes a medium, stop ends the server and empties the
    // folder.
    void throwawayServer()
    {
        const QString dir = user.home + "/testdb";
        const Result r = script("testdb", {"start", dir, household_user->pid()}, user, scriptsDir);
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        const unsigned testPort = readAll(dir + "/port").trimmed().toUInt();
        QCOMPARE(r.out, "MariaDB on 127.0.0.1:" + QString::number(testPort) + "\n");
        const pid_t server = pidIn(dir + "/server.pid");
        QCOMPARE(uidOf(server), user.uid);
        dat_medium->myc_medium->Port = static_cast<int>(testPort);
        QCOMPARE(makeCatalogue("root", "", "wegwerf"), QStringList());
        QCOMPARE(sql(testPort, "root", "", QString::fromLatin1(kCatalogueRows).arg("wegwerf")).out,
                 QStringLiteral("Der Hobbit / Regal / Drache,Zwerge\n"));
        QCOMPARE(script("testdb", {"stop", dir}, user, scriptsDir).code, 0);
        QVERIFY(!running(server));
        QVERIFY(!QFile::exists(dir + "/data"));
    }

    void watchdogs_data()
    {
        QTest::addColumn<QString>("scriptName");
        QTest::addColumn<QStringList>("pidFiles"); // of what the watchdog must stop
        QTest::newRow("testdb") << "testdb" << QStringList{"server.pid", "watch.pid"};
        QTest::newRow("xdisplay") << "xdisplay" << QStringList{"server.pid", "wm.pid", "watch.pid"};
    }

    // The caller is killed outright: its watchdog stops what the script started.
    void watchdogs()
    {
        QFETCH(QString, scriptName);
        QFETCH(QStringList, pidFiles);
        const QString dir = user.home + "/watched-" + scriptName;
        Caller caller(user);
        const Result r = script(scriptName, {"start", dir, caller.pid()}, user, scriptsDir);
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        std::vector<pid_t> started;
        for (const QString& file : pidFiles) {
            started.push_back(pidIn(dir + u'/' + file));
            QVERIFY2(running(started.back()), qPrintable(file));
        }
        caller.end();
        for (std::size_t i = 0; i < started.size(); ++i)
            QTRY_VERIFY2_WITH_TIMEOUT(!running(started[i]), qPrintable(pidFiles[int(i)]), 60000);
    }
};

QTEST_GUILESS_MAIN(TestUserAccount)
#include "test_user_account.moc"
