// The data-access components against a real server.
#include "platform/data/mycommand.h"
#include "platform/data/myconnection.h"
#include "platform/data/myquery.h"
#include "platform/data/myscript.h"
#include "platform/data/mytable.h"
#include "platform/data/mytransaction.h"
#include "platform/rtl/apperror.h"
#include "tests/support/relay.h"
#include "tests/support/testdb.h"

#include <QtTest>

#include <limits>
#include <memory>

namespace {

std::unique_ptr<TMyConnection> connectionTo(const std::string& schema)
{
    auto c = std::make_unique<TMyConnection>();
    c->SetUsername("root");
    c->SetServer("localhost");
    c->SetDatabase(QString::fromStdString(schema));
    c->Port = static_cast<int>(testdb::port());
    return c;
}

std::string sessionMode(TMyConnection& c)
{
    TMyQuery q;
    q.Connection = &c;
    q.SQL.Add("select @@SESSION.sql_mode as m");
    q.Open();
    return q.FieldByName("m").AsAnsiString().bytes();
}

int connectionId(TMyConnection& c)
{
    TMyQuery q;
    q.Connection = &c;
    q.SQL.Add("select connection_id() as id");
    q.Open();
    return q.FieldByName("id").AsInteger();
}

} // namespace

class TestData : public QObject {
    Q_OBJECT
private slots:
    void statementConnectsClosedConnection()
    {
        testdb::Schema schema("conn");
        auto c = connectionTo(schema.name());
        QVERIFY(!c->Connected());
        TMyQuery q;
        q.Connection = c.get();
        q.SQL.Add("select database() as db, user() as u");
        q.Open();
        QCOMPARE(q.FieldByName("db").AsString(), QString::fromStdString(schema.name()));
        // "localhost" goes over TCP to the loopback address, never the socket.
        QVERIFY(q.FieldByName("u").AsString().startsWith("root@"));
        q.Close();
        QVERIFY(c->Connected());

        TMyCommand cmd;
        cmd.Connection = c.get();
        cmd.SQL.Add("do 1");
        c->Close();
        cmd.Execute();
        QVERIFY(c->Connected());
    }

    void changingSettings()
    {
        testdb::Schema a("seta"), b("setb");
        testdb::Direct direct;
        direct.exec("CREATE USER IF NOT EXISTS 'kt_other'@'%' IDENTIFIED BY 'geheim'");
        direct.exec("GRANT ALL ON *.* TO 'kt_other'@'%'");
        auto c = connectionTo(a.name());
        c->Open();
        const int first = connectionId(*c);

        // The database alone is selected on the live connection.
        c->SetDatabase(QString::fromStdString(b.name()));
        QVERIFY(c->Connected());
        QCOMPARE(connectionId(*c), first);
        TMyQuery q;
        q.Connection = c.get();
        q.SQL.Add("select database() as db");
        q.Open();
        QCOMPARE(q.FieldByName("db").AsString(), QString::fromStdString(b.name()));
        q.Close();

        // Setting a value to what it is already keeps the connection.
        c->SetUsername("root");
        QVERIFY(c->Connected());

        // User name, password or server disconnect.
        c->SetUsername("kt_other");
        QVERIFY(!c->Connected());
        c->SetPassword("geheim");
        c->Open();
        QVERIFY(connectionId(*c) != first);
        const int second = connectionId(*c);
        c->SetServer("127.0.0.1");
        QVERIFY(!c->Connected());
        QVERIFY(connectionId(*c) != second);
        c->Open(); // opening an open connection does nothing
        c->Close();
        c->Close();
        QVERIFY(!c->Connected());
        direct.exec("DROP USER 'kt_other'@'%'");
    }

    void refusedLogon()
    {
        auto c = connectionTo("");
        c->SetPassword("falsch");
        try {
            c->Open();
            QFAIL("a wrong password was accepted");
        } catch (const EMyError& e) {
            QVERIFY2(e.Message.contains("Access denied"), qPrintable(e.Message));
        }
        QVERIFY(!c->Connected());
    }

    void cursor()
    {
        testdb::Schema schema("cursor");
        testdb::Direct direct(schema.name());
        direct.exec("CREATE TABLE t (id int primary key, txt varchar(20), n int, d datetime)");
        direct.exec(
            "INSERT INTO t VALUES (1, 'a', NULL, '2019-03-01 14:05:09'), (2, NULL, 7, NULL)");
        auto c = connectionTo(schema.name());
        TMyQuery q;
        q.Connection = c.get();
        q.SQL.Add("select id, txt, n, d");
        q.SQL.Add("from t order by id");
        q.Open();
        QVERIFY(!q.Eof());
        QCOMPARE(q.RecordCount(), 2);
        QCOMPARE(q.FieldByName("ID").AsInteger(), 1);
        QCOMPARE(q.FieldByName("txt").AsString(), QStringLiteral("a"));
        QCOMPARE(q.FieldByName("n").AsInteger(), 0);
        QCOMPARE(q.FieldByName("d").AsString(), QStringLiteral("01.03.2019 14:05:09"));
        QCOMPARE(q.FieldByName("d").AsDateTime().Val,
                 EncodeDate(2019, 3, 1).Val + EncodeTime(14, 5, 9).Val);
        q.Next();
        QVERIFY(!q.Eof());
        QCOMPARE(q.FieldByName("txt").AsAnsiString(), AnsiString());
        QVERIFY(q.FieldByName("txt").IsNull());
        QCOMPARE(q.FieldByName("n").AsInteger(), 7);
        QCOMPARE(q.FieldByName("d").AsDateTime().Val, 0.0);
        q.Next();
        QVERIFY(q.Eof());
        // Past the end every field reads empty.
        QCOMPARE(q.FieldByName("id").AsInteger(), 0);
        try {
            q.FieldByName("nope");
            QFAIL("an unknown field was found");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message, QStringLiteral("Field 'nope' not found"));
        }

        // Open on an open query keeps its result and row.
        q.Close();
        q.Open();
        q.Next();
        direct.exec("DELETE FROM t");
        q.Open();
        QCOMPARE(q.FieldByName("id").AsInteger(), 2);
        q.Close();
        q.Open();
        QVERIFY(q.Eof());
        QCOMPARE(q.FieldByName("txt").AsString(), QString());
        QCOMPARE(q.FieldByName("id").AsInteger(), 0);
        q.Close();
        q.Close();
    }

    void parameters()
    {
        testdb::Schema schema("params");
        auto c = connectionTo(schema.name());
        TMyQuery q;
        q.Connection = c.get();
        q.SQL.Add("select :A as a, ':b' as quoted, :a as again, `x:y` as bq");
        q.SQL.Add("from (select 1 as `x:y`) s -- :c");
        QCOMPARE(q.Params().Count(), 2);
        QCOMPARE(q.Params()[0].Name, QStringLiteral("A"));
        q.ParamByName("a")->SetAsInteger(5); // the first of that name, any case
        q.Open();
        QCOMPARE(q.FieldByName("a").AsInteger(), 5);
        QVERIFY(q.FieldByName("again").IsNull()); // untyped parameters are NULL
        QCOMPARE(q.FieldByName("quoted").AsString(), QStringLiteral(":b"));
        q.Close();
        try {
            q.ParamByName("c");
            QFAIL("a parameter inside a comment was found");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message, QStringLiteral("Parameter 'c' not found"));
        }

        // Values are never spliced: quotes, backslashes and NUL bytes come back unchanged.
        const std::string nasty("O'Brien \\' \" ; -- \0 \x80\xFC", 20);
        TMyCommand make;
        make.Connection = c.get();
        make.SQL.Add("create table t (id int, txt varchar(50), b text, d datetime)");
        make.Execute();
        TMyCommand ins;
        ins.Connection = c.get();
        ins.SQL.Add("insert into t values (:id, :txt, :b, :d)");
        TMemoryStream blob;
        blob.Write(nasty.data(), nasty.size());
        blob.Position = 3; // loaded from the first byte whatever the position
        ins.ParamByName("id")->SetAsInteger(1);
        ins.ParamByName("txt")->SetAsAnsiString(AnsiString(nasty));
        ins.ParamByName("b")->LoadFromStream(blob, TFieldType::ftBlob);
        ins.ParamByName("d")->SetAsDate(EncodeDate(2020, 2, 29).Val + 0.75);
        ins.Execute();
        QCOMPARE(ins.RowsAffected(), 1LL);
        testdb::Direct direct(schema.name());
        QCOMPARE(direct.value("select txt from t"), nasty);
        QCOMPARE(direct.value("select b from t"), nasty);
        QCOMPARE(direct.value("select d from t"), std::string("2020-02-29 00:00:00"));
        // A day that no calendar holds is refused before anything is sent, never sent as the
        // empty text that a lenient server stores as the zero date.
        ins.ParamByName("id")->SetAsInteger(2);
        for (const double day : {std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN(), 1e300}) {
            ins.ParamByName("d")->SetAsDate(day);
            try {
                ins.Execute();
                QFAIL("a day that does not exist was sent");
            } catch (const EConvertError& e) {
                QCOMPARE(e.Message, QStringLiteral("Parameter d: no valid date"));
            }
        }
        QCOMPARE(direct.value("select count(*) from t"), std::string("1"));

        // Lines are joined with CR LF.
        TMyQuery lines;
        lines.Connection = c.get();
        lines.SQL.Add("select 'a");
        lines.SQL.Add("b' as x");
        lines.Open();
        QCOMPARE(lines.FieldByName("x").AsAnsiString(), AnsiString("a\r\nb"));
        // Replacing a line is taken at the next run.
        lines.Close();
        lines.SQL[1] = "c' as x";
        lines.Open();
        QCOMPARE(lines.FieldByName("x").AsAnsiString(), AnsiString("a\r\nc"));
    }

    void rowsFetchedWhole_data()
    {
        QTest::addColumn<bool>("uniDirectional");
        QTest::newRow("kept") << false;
        QTest::newRow("read once, front to back") << true;
    }
    void rowsFetchedWhole()
    {
        QFETCH(bool, uniDirectional);
        testdb::Schema schema("fetch");
        auto c = connectionTo(schema.name());
        // Rows enough for many blocks of memory, a NULL now and then, one long value.
        TMyQuery q;
        q.Connection = c.get();
        q.UniDirectional = uniDirectional;
        q.SQL.Add("select seq as id, if(seq % 7 = 0, null, concat('Zeile ', seq)) as txt,");
        q.SQL.Add("  if(seq = 5000, repeat('x', 100000), '') as big from seq_1_to_20000");
        q.Open();
        // The connection is free while the query stands on its first row.
        QCOMPARE(connectionId(*c) > 0, true);
        QCOMPARE(q.RecordCount(), 20000);
        int n = 0;
        for (; !q.Eof(); q.Next()) {
            ++n;
            QCOMPARE(q.Fields(0).AsInteger(), n);
            QCOMPARE(q.Fields(1).IsNull(), n % 7 == 0);
            if (n % 7)
                QCOMPARE(q.Fields(1).AsString(), QStringLiteral("Zeile %1").arg(n));
            QCOMPARE(q.Fields(2).AsAnsiString().Length(), n == 5000 ? 100000 : 0);
        }
        QCOMPARE(n, 20000);
        if (uniDirectional) {
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.First());
        } else {
            q.First();
            QCOMPARE(q.Fields(0).AsInteger(), 1);
        }
        // Reopened, it reads from the start again.
        q.Close();
        q.Open();
        QCOMPARE(q.Fields(1).AsString(), QStringLiteral("Zeile 1"));
        q.First();
        QCOMPARE(q.Fields(0).AsInteger(), 1);
    }

    void failureWhileRowsArrive()
    {
        // The subquery fails at the 3000th row, after the first rows have been sent.
        testdb::Schema schema("midway");
        auto c = connectionTo(schema.name());
        TMyQuery q;
        q.Connection = c.get();
        q.SQL.Add("select seq, if(seq < 3000, seq, (select seq from seq_1_to_2)) as v");
        q.SQL.Add("from seq_1_to_5000");
        try {
            q.Open();
            QFAIL("a failing statement was read");
        } catch (const EMyError& e) {
            QVERIFY2(e.Message.contains("more than 1 row"), qPrintable(e.Message));
        }
        QVERIFY(!q.Active());
        QVERIFY(q.Eof());
        // The connection goes on with the next statement.
        QVERIFY(c->Connected());
        QVERIFY(connectionId(*c) > 0);
    }

    void codePage1252_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain") << QByteArray("Gr\xF6\xDF"
                                             "e und Stra\xDF"
                                             "e");
        QTest::newRow("euro first") << QByteArray("\x80 12,50");
        QTest::newRow("specials in a long text")
            << QByteArray("Anf\x84hrung \x93zitiert\x94 \x96 Gedankenstrich, Preis 3\x80 \x85");
        QTest::newRow("special in the tail") << QByteArray("ABCDEFGHIJKLMNOP\x9F");
        QTest::newRow("unassigned bytes") << QByteArray("\x81\x8D\x8F\x90\x9D");
        QTest::newRow("just below and above") << QByteArray("\x7F\xA0\xFF\x7F\xA0\xFF\x7F\xA0\xFF");
    }
    void codePage1252()
    {
        QFETCH(QByteArray, bytes);
        testdb::Schema schema("cp");
        auto c = connectionTo(schema.name());
        TMyQuery q;
        q.Connection = c.get();
        q.SQL.Add("select cast(X'" + QString::fromLatin1(bytes.toHex()) +
                  "' as char character set latin1) as t");
        q.Open();
        const String expected =
            AnsiString(bytes.constData(), static_cast<std::size_t>(bytes.size())).toString();
        QCOMPARE(q.Fields(0).AsString(), expected);
        TStringList list;
        q.Fields(0).AddTo(list);
        QCOMPARE(list.Line(0), expected);
        QCOMPARE(list[0], expected);
        QCOMPARE(q.Fields(0).AsAnsiString(),
                 AnsiString(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }

    void fieldsIntoLists()
    {
        // Names, NULLs, ever new texts and dates, row after row, read back from the lists as
        // the fields give them.
        testdb::Schema schema("tolist");
        auto c = connectionTo(schema.name());
        TMyQuery q;
        q.Connection = c.get();
        q.SQL.Add("select elt(1 + seq % 3, 'Regal', '', null) as ort,");
        q.SQL.Add("  concat('Titel ', seq) as titel, cast('2024-05-01' as date) as d, seq");
        q.SQL.Add("from seq_1_to_9000");
        q.Open();
        TStringList lists[4];
        QStringList expected[4];
        for (; !q.Eof(); q.Next()) {
            for (int i = 0; i < 4; ++i) {
                q.Fields(i).AddTo(lists[i]);
                expected[i] << q.Fields(i).AsString();
            }
        }
        QCOMPARE(expected[2].first(), QStringLiteral("01.05.2024"));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(lists[i].Count(), 9000);
            QCOMPARE(lists[i].Line(8999), expected[i].last());
            QCOMPARE(lists[i].lines(), expected[i]);
        }
    }

    void serverRefusal()
    {
        testdb::Schema schema("refusal");
        auto c = connectionTo(schema.name());
        TMyQuery q;
        q.Connection = c.get();
        q.SQL.Add("select * from missing_table");
        try {
            q.Open();
            QFAIL("a missing table was read");
        } catch (const EMyError& e) {
            QVERIFY(e.Message.contains("missing_table"));
            QCOMPARE(e.ErrorCode, 1146u);
        }
        QVERIFY(!q.Active());
        QVERIFY(c->Connected());
    }

    void script()
    {
        testdb::Schema schema("script");
        auto c = connectionTo(schema.name());
        TMyScript s;
        s.Connection = c.get();
        s.SQL.Add("-- a comment; not a statement");
        s.SQL.Add("create table a (x varchar(10));");
        s.SQL.Add("insert into a values ('1;2');");
        s.SQL.Add("insert into nowhere values (1);");
        s.SQL.Add("");
        s.SQL.Add("insert into a");
        s.SQL.Add("values ('3');");
        s.SQL.Add("   ");
        QStringList errors;
        const auto previous =
            SetApplicationErrorHandler([&](const Exception& e) { errors << e.Message; });
        s.Execute();
        SetApplicationErrorHandler(previous);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains("nowhere"));
        QCOMPARE(s.ErrorCount(), 1);
        testdb::Direct direct(schema.name());
        QCOMPARE(direct.rows("select x from a order by x"),
                 (std::vector<std::vector<std::string>>{{"1;2"}, {"3"}}));

        // A script that cannot connect raises as a whole.
        auto dead = connectionTo(schema.name());
        dead->Port = 1;
        s.Connection = dead.get();
        try {
            s.Execute();
            QFAIL("a script ran without a connection");
        } catch (const EMyError&) {
        }
    }

    void table()
    {
        testdb::Schema schema("table");
        testdb::Direct direct(schema.name());
        direct.exec("CREATE TABLE `t``q` (pk int primary key, name varchar(10))");
        direct.exec("INSERT INTO `t``q` VALUES (1, 'x'), (2, 'y')");
        auto c = connectionTo(schema.name());
        TMyTable t;
        t.Connection = c.get();
        t.TableName = "t`q";
        t.Open();
        QCOMPARE(t.RecordCount(), 2);
        QVERIFY(t.IsKeyField(t.FieldIndex("pk")));
        QVERIFY(!t.IsKeyField(t.FieldIndex("name")));
    }

    // An update counts the rows it found, also those that held the new values already.
    void updateCountsFoundRows()
    {
        testdb::Schema schema("found");
        testdb::Direct direct(schema.name());
        direct.exec("CREATE TABLE t (id int primary key, n int)");
        direct.exec("INSERT INTO t VALUES (1, 5)");
        auto c = connectionTo(schema.name());
        TMyCommand up;
        up.Connection = c.get();
        up.SQL.Add("update t set n = :n where id = :id");
        const auto found = [&](int id, int n) {
            up.ParamByName("n")->SetAsInteger(n);
            up.ParamByName("id")->SetAsInteger(id);
            up.Execute();
            return up.RowsAffected();
        };
        QCOMPARE(found(1, 6), 1LL);
        QCOMPARE(found(1, 6), 1LL);
        QCOMPARE(found(2, 6), 0LL);
    }

    void transactions_data()
    {
        QTest::addColumn<QString>("between"); // after the first insert: what comes before the end
        QTest::addColumn<bool>("commit");
        QTest::addColumn<QString>("failure"); // the beginning of the error, empty: none
        QTest::addColumn<std::string>("rows");
        QTest::newRow("committed") << "second" << true << "" << std::string("1,2");
        QTest::newRow("rolled back") << "second" << false << "" << std::string("");
        QTest::newRow("second insert refused")
            << "duplicate" << true << "Duplicate entry" << std::string("");
        QTest::newRow("killed by another connection")
            << "kill, second" << true << "" << std::string("");
        QTest::newRow("killed before the commit")
            << "second, kill" << true << "" << std::string("");
    }
    void transactions()
    {
        QFETCH(QString, between);
        QFETCH(bool, commit);
        QFETCH(QString, failure);
        QFETCH(std::string, rows);
        testdb::Schema schema("trans");
        testdb::Direct direct(schema.name());
        direct.exec("CREATE TABLE t (id int primary key) ENGINE=InnoDB");
        auto c = connectionTo(schema.name());
        const int id = connectionId(*c);
        TMyCommand ins;
        ins.Connection = c.get();
        ins.SQL.Add("insert into t values (:id)");
        const auto insert = [&](int key) {
            ins.ParamByName("id")->SetAsInteger(key);
            ins.Execute();
        };
        const auto stored = [&] {
            return direct.value("select ifnull(group_concat(id order by id), '') from t");
        };

        c->StartTransaction();
        QVERIFY(c->InTransaction());
        insert(1);
        QCOMPARE(stored(), std::string()); // nobody else sees it yet
        QString message;
        try {
            for (const QString& step : between.split(", ")) {
                if (step == QLatin1String("kill"))
                    direct.exec("KILL " + std::to_string(id));
                else
                    insert(step == QLatin1String("duplicate") ? 1 : 2);
            }
            commit ? c->Commit() : c->Rollback();
        } catch (const EMyError& e) {
            message = e.Message;
            // On a lost connection as well: no error of its own.
            c->Rollback();
        }
        QVERIFY(!c->InTransaction());
        if (between.contains("kill"))
            QVERIFY2(!message.isEmpty(), "the loss went unnoticed");
        else
            QVERIFY2(failure.isEmpty() ? message.isEmpty() : message.startsWith(failure),
                     qPrintable(message));
        QCOMPARE(stored(), rows);

        // Afterwards each statement takes effect on its own again, on a new connection if the
        // old one was lost.
        insert(7);
        QCOMPARE(direct.value("select count(*) from t where id = 7"), std::string("1"));
    }

    void transactionsDoNotNest()
    {
        testdb::Schema schema("nest");
        auto c = connectionTo(schema.name());
        c->StartTransaction();
        try {
            c->StartTransaction();
            QFAIL("a transaction was started inside another");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message, QStringLiteral("A transaction is already active"));
        }
        QVERIFY(c->InTransaction());
        c->Close(); // the server discards it
        QVERIFY(!c->InTransaction());
        c->Rollback();
        try {
            c->Commit();
            QFAIL("a commit without a transaction succeeded");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message, QStringLiteral("No transaction is active"));
        }
    }

    void lostServerReconnects()
    {
        testdb::Schema schema("lost");
        auto c = connectionTo(schema.name());
        const int id = connectionId(*c);
        testdb::Direct direct;
        direct.exec("KILL " + std::to_string(id));
        try {
            connectionId(*c);
            QFAIL("a killed connection answered");
        } catch (const EMyError&) {
        }
        QVERIFY(!c->Connected());
        QVERIFY(connectionId(*c) != id);
    }

    // Every session adds the strict modes to the server's own; a server that refuses them
    // refuses the connection, which stays closed.
    void strictSession()
    {
        testdb::Schema schema("strict");
        const std::string server = testdb::Direct().value("select @@GLOBAL.sql_mode");
        auto c = connectionTo(schema.name());
        const QStringList mode = QString::fromStdString(sessionMode(*c)).split(u',');
        for (const char* strict :
             {"STRICT_ALL_TABLES", "NO_ZERO_DATE", "NO_ZERO_IN_DATE", "ERROR_FOR_DIVISION_BY_ZERO"})
            QVERIFY2(mode.contains(QLatin1String(strict)), strict);
        for (const QString& own : QString::fromStdString(server).split(u',', Qt::SkipEmptyParts))
            QVERIFY2(mode.contains(own), qPrintable(own));

        testdb::Relay relay(testdb::port());
        relay.refuse("SET SESSION sql_mode", "Variable 'sql_mode' is read only");
        auto refused = connectionTo(schema.name());
        refused->Port = static_cast<int>(relay.port());
        try {
            refused->Open();
            QFAIL("a connection without the strict modes was opened");
        } catch (const EMyError& e) {
            QCOMPARE(e.Message, QStringLiteral("Variable 'sql_mode' is read only"));
        }
        QCOMPARE(relay.hits(), 1);
        QVERIFY(!refused->Connected());
    }

    // A connection that the server ended while it stood idle is found out before the next
    // command and connected anew, so the command succeeds at once; a healthy one stays.
    void reviveBeforeACommand_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::addColumn<bool>("inTransaction");
        QTest::newRow("healthy") << false << false;
        QTest::newRow("killed while idle") << true << false;
        QTest::newRow("killed inside a transaction") << true << true;
    }
    void reviveBeforeACommand()
    {
        QFETCH(bool, killed);
        QFETCH(bool, inTransaction);
        testdb::Schema schema("revive");
        auto c = connectionTo(schema.name());
        const int id = connectionId(*c);
        if (inTransaction)
            c->StartTransaction();
        if (killed) {
            testdb::Direct direct;
            direct.exec("KILL " + std::to_string(id));
            // The server has closed its end once the process list no longer shows it.
            for (int i = 0; i < 100 && direct.value("select count(*) from "
                                                    "information_schema.processlist where id = " +
                                                    std::to_string(id)) != "0";
                 ++i)
                QTest::qWait(20);
        }
        c->Revive();
        QCOMPARE(c->Connected(), !killed || inTransaction);
        if (inTransaction) {
            // Its statements went with the session: none may run on a new one.
            try {
                connectionId(*c);
                QFAIL("a statement of a lost transaction ran on a new session");
            } catch (const EMyError& e) {
                QVERIFY(!e.Message.isEmpty());
            }
            QVERIFY(c->InTransaction());
            c->Rollback();
        }
        const int next = connectionId(*c);
        QCOMPARE(next == id, !killed);
    }

    // A transaction held for a scope: committed, or rolled back when the scope is left in any
    // other way; the connection then takes each statement on its own again, as a second
    // connection sees.
    void transactionScope_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<std::string>("rows");
        QTest::newRow("committed") << "commit" << std::string("1,7");
        QTest::newRow("left by an error") << "error" << std::string("7");
        QTest::newRow("left without a commit") << "return" << std::string("7");
        QTest::newRow("the answer to the commit lost") << "lost" << std::string("1,7");
    }
    void transactionScope()
    {
        QFETCH(QString, end);
        QFETCH(std::string, rows);
        testdb::Schema schema("scope");
        testdb::Direct direct(schema.name());
        direct.exec("CREATE TABLE t (id int primary key) ENGINE=InnoDB");
        testdb::Relay relay(testdb::port());
        auto c = connectionTo(schema.name());
        c->Port = static_cast<int>(relay.port());
        TMyCommand ins;
        ins.Connection = c.get();
        ins.SQL.Add("insert into t values (:id)");
        const auto insert = [&](int key) {
            ins.ParamByName("id")->SetAsInteger(key);
            ins.Execute();
        };
        QString message;
        try {
            TMyTransaction t(*c);
            insert(1);
            if (end == QLatin1String("error"))
                insert(1);
            if (end == QLatin1String("lost"))
                relay.loseAnswer("COMMIT");
            if (end != QLatin1String("return"))
                t.Commit();
        } catch (const EMyCommitUnknown& e) {
            message = "unknown: " + e.Message;
        } catch (const EMyError& e) {
            message = e.Message;
        }
        QVERIFY(!c->InTransaction());
        if (end == QLatin1String("error"))
            QVERIFY2(message.startsWith("Duplicate entry"), qPrintable(message));
        else if (end == QLatin1String("lost"))
            QVERIFY2(message.startsWith("unknown: Lost connection"), qPrintable(message));
        else
            QCOMPARE(message, QString());
        insert(7);
        QCOMPARE(direct.value("select group_concat(id order by id) from t"), rows);
    }
};

QTEST_GUILESS_MAIN(TestData)
#include "test_data.moc"
