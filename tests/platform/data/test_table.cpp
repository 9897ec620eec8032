// The table component: rows in memory, and rows inserted, changed and deleted by key.
#include "platform/data/myconnection.h"
#include "platform/data/mydatasource.h"
#include "platform/data/myquery.h"
#include "platform/data/mytable.h"
#include "tests/support/checks.h"
#include "tests/support/testdb.h"

#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

using namespace testdb;

using Rows = std::vector<std::vector<std::string>>;

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

// The rows in memory, NULL as "<NULL>", sorted: to compare with what the server holds.
Rows memoryRows(const TMyTable& t)
{
    Rows out;
    for (int r = 0; r < t.RecordCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < t.FieldCount(); ++c) {
            const TField f = t.Cell(r, c);
            row.push_back(f.IsNull() ? std::string("<NULL>") : f.AsAnsiString().bytes());
        }
        out.push_back(row);
    }
    std::sort(out.begin(), out.end());
    return out;
}

Rows serverRows(testdb::Direct& direct, const std::string& table)
{
    Rows out = direct.rows("select * from " + table);
    std::sort(out.begin(), out.end());
    return out;
}

// The changes a table reports, as text: "insert 2 before", "insert 2 after", ...
struct Recorder {
    explicit Recorder(TMyTable& t) : table(t)
    {
        id = t.AddListener([this](const TMyTableChange& c) {
            static const char* kinds[] = {"reset", "insert", "update", "delete"};
            seen << QStringLiteral("%1 %2 %3")
                        .arg(QLatin1String(kinds[c.kind]))
                        .arg(c.row)
                        .arg(c.done ? "after" : "before");
        });
    }
    ~Recorder() { table.RemoveListener(id); }
    QStringList take() { return std::exchange(seen, QStringList()); }

    TMyTable& table;
    int id;
    QStringList seen;
};

} // namespace

class TestTable : public QObject {
    Q_OBJECT
private slots:
    void readsRowsInMemory()
    {
        testdb::Schema schema("tread");
        testdb::Direct direct(schema.name());
        direct.exec("CREATE TABLE t (id int unsigned auto_increment primary key, "
                    "name varchar(20), n int)");
        auto c = connectionTo(schema.name());
        TMyTable t;
        t.Connection = c.get();
        t.TableName = "t";
        Recorder changes(t);

        // An empty table has its columns but no row; fields read empty.
        t.Open();
        QVERIFY(t.Active());
        QCOMPARE(t.RecordCount(), 0);
        QVERIFY(t.Eof());
        QCOMPARE(t.FieldCount(), 3);
        QCOMPARE(t.FieldByName("id").AsInteger(), 0);
        QCOMPARE(changes.take(), QStringList({"reset -1 before", "reset -1 after"}));
        t.Close();

        direct.exec("INSERT INTO t (name, n) VALUES ('a', 1), (NULL, 2), ('c\\'\\0\xFC', NULL)");
        t.Open();
        QCOMPARE(t.RecordCount(), 3);
        QCOMPARE(t.FieldName(1), QStringLiteral("name"));
        QVERIFY(t.IsKeyField(0));
        QVERIFY(!t.IsKeyField(1));
        // Any row in any order.
        QCOMPARE(t.Cell(2, "name").AsAnsiString(), AnsiString(std::string("c'\0\xFC", 4)));
        QCOMPARE(t.Cell(0, 2).AsInteger(), 1);
        QVERIFY(t.Cell(1, "NAME").IsNull());
        QVERIFY(t.Cell(2, "n").IsNull());
        QCOMPARE(t.Cell(1, 0).AsInteger(), 2);
        QVERIFY_THROWS_EXCEPTION(EListError, t.Cell(3, 0));
        QVERIFY_THROWS_EXCEPTION(EListError, t.Cell(0, 3));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, t.Cell(0, "nope"));

        // The cursor over the same rows.
        QCOMPARE(t.RecNo(), 0);
        QCOMPARE(t.FieldByName("name").AsString(), QStringLiteral("a"));
        t.Next();
        t.Next();
        QCOMPARE(t.FieldByName("id").AsInteger(), 3);
        t.Next();
        QVERIFY(t.Eof());
        QCOMPARE(t.FieldByName("id").AsInteger(), 0);
        t.Next();
        QCOMPARE(t.RecNo(), 3);
        t.SetRecNo(1);
        QCOMPARE(t.Fields(2).AsInteger(), 2);
        t.First();
        QCOMPARE(t.RecNo(), 0);
        QVERIFY_THROWS_EXCEPTION(EListError, t.SetRecNo(4));

        // Opening an open table keeps its rows; Refresh reads them anew.
        direct.exec("INSERT INTO t (name) VALUES ('d')");
        changes.take();
        t.Open();
        QCOMPARE(t.RecordCount(), 3);
        QCOMPARE(changes.take(), QStringList());
        t.Refresh();
        QCOMPARE(t.RecordCount(), 4);
        QCOMPARE(changes.take(), QStringList({"reset -1 before", "reset -1 after"}));
        QCOMPARE(memoryRows(t), serverRows(direct, "t"));

        t.Close();
        QVERIFY(!t.Active());
        QCOMPARE(t.RecordCount(), 0);
        t.Close();
        QCOMPARE(changes.take(), QStringList({"reset -1 before", "reset -1 after"}));
    }

    void insertsUpdatesAndDeletesByKey()
    {
        testdb::Schema schema("tedit");
        testdb::Direct direct(schema.name());
        direct.exec("CREATE TABLE t (id int unsigned auto_increment primary key, "
                    "name varchar(20), d varchar(5) not null default 'd')");
        direct.exec("INSERT INTO t (name) VALUES ('a'), ('b')");
        auto c = connectionTo(schema.name());
        TMyTable t;
        t.Connection = c.get();
        t.TableName = "t";
        t.Open();
        Recorder changes(t);

        // A new row gets its auto-increment key and the server's defaults.
        direct.exec("ALTER TABLE t AUTO_INCREMENT = 40");
        const std::string nasty("O'Brien \\' \" \0 \xFC", 16);
        QCOMPARE(t.InsertRow({{"name", AnsiString(nasty)}}), 2);
        QCOMPARE(t.RecNo(), 2);
        QCOMPARE(t.Cell(2, "id").AsInteger(), 40);
        QCOMPARE(t.Cell(2, "name").AsAnsiString(), AnsiString(nasty));
        QCOMPARE(t.Cell(2, "d").AsString(), QStringLiteral("d"));
        QCOMPARE(direct.value("select name from t where id = 40"), nasty);
        QCOMPARE(changes.take(), QStringList({"insert 2 before", "insert 2 after"}));
        // A NULL value, and a row of defaults only.
        QCOMPARE(t.InsertRow({{"name", std::nullopt}, {"d", AnsiString("x")}}), 3);
        QCOMPARE(t.InsertRow({}), 4);
        QCOMPARE(t.Cell(4, "id").AsInteger(), 42);
        QCOMPARE(memoryRows(t), serverRows(direct, "t"));

        // A change is written and read back, by key, whatever the cursor.
        changes.take();
        t.SetRecNo(0);
        t.UpdateRow(1, {{"name", AnsiString("B'2")}});
        QCOMPARE(t.Cell(1, "name").AsString(), QStringLiteral("B'2"));
        QCOMPARE(direct.value("select name from t where id = 2"), std::string("B'2"));
        t.UpdateRow(1, {{"name", AnsiString("B'2")}}); // unchanged: the server changes no row
        t.UpdateRow(0, {{"name", std::nullopt}});
        QVERIFY(t.Cell(0, "name").IsNull());
        // Even the key itself.
        t.UpdateRow(0, {{"id", AnsiString("7")}, {"d", AnsiString("k")}});
        QCOMPARE(t.Cell(0, "id").AsInteger(), 7);
        QCOMPARE(changes.take(),
                 QStringList({"update 1 before", "update 1 after", "update 1 before",
                              "update 1 after", "update 0 before", "update 0 after",
                              "update 0 before", "update 0 after"}));
        QCOMPARE(memoryRows(t), serverRows(direct, "t"));

        // Deleting a row before the cursor keeps the cursor on its row.
        t.SetRecNo(2);
        t.DeleteRow(1);
        QCOMPARE(t.RecordCount(), 4);
        QCOMPARE(t.RecNo(), 1);
        QCOMPARE(t.FieldByName("id").AsInteger(), 40);
        QCOMPARE(changes.take(), QStringList({"delete 1 before", "delete 1 after"}));
        // A row another client deleted already goes without error.
        direct.exec("DELETE FROM t WHERE id = 42");
        t.DeleteRow(3);
        QCOMPARE(changes.take(), QStringList({"delete 3 before", "delete 3 after"}));
        QCOMPARE(memoryRows(t), serverRows(direct, "t"));

        // A listener that was removed hears nothing.
        t.RemoveListener(changes.id);
        t.DeleteRow(0);
        QCOMPARE(changes.take(), QStringList());
        QCOMPARE(memoryRows(t), serverRows(direct, "t"));
    }

    void compositeKey()
    {
        testdb::Schema schema("tkey");
        testdb::Direct direct(schema.name());
        direct.exec("CREATE TABLE k (a int, b varchar(5), v varchar(5), primary key (a, b))");
        direct.exec("INSERT INTO k VALUES (1, 'x', 'v1'), (1, 'y', 'v2'), (2, 'x', 'v3')");
        auto c = connectionTo(schema.name());
        TMyTable t;
        t.Connection = c.get();
        t.TableName = "k";
        t.Open();
        QVERIFY(t.IsKeyField(0) && t.IsKeyField(1) && !t.IsKeyField(2));
        t.UpdateRow(1, {{"v", AnsiString("neu")}});
        t.DeleteRow(2);
        QCOMPARE(serverRows(direct, "k"), (Rows{{"1", "x", "v1"}, {"1", "y", "neu"}}));
        QCOMPARE(t.InsertRow({{"a", AnsiString("3")}, {"b", AnsiString("z")}}), 2);
        QCOMPARE(memoryRows(t), serverRows(direct, "k"));
        // A key without auto-increment needs its value.
        QCOMPARE(failureOf([&] {
                     t.InsertRow({{"a", AnsiString("4")}});
                 }),
                 QStringLiteral("Field 'b' must have a value"));
        QCOMPARE(memoryRows(t), serverRows(direct, "k"));

        // A key the server changes on the way in: the row is found by reading all anew.
        direct.exec("CREATE TRIGGER shift BEFORE INSERT ON k FOR EACH ROW SET NEW.a = NEW.a + 100");
        Recorder changes(t);
        QCOMPARE(t.InsertRow({{"a", AnsiString("5")}, {"b", AnsiString("w")}}), -1);
        QCOMPARE(changes.take(), QStringList({"reset -1 before", "reset -1 after"}));
        QCOMPARE(memoryRows(t), serverRows(direct, "k"));
        QCOMPARE(t.RecordCount(), 4);
    }

    void refusalsKeepRowsAsTheServerHasThem()
    {
        testdb::Schema schema("trefuse");
        testdb::Direct direct(schema.name());
        direct.exec("CREATE TABLE p (id int unsigned auto_increment primary key, name varchar(5))");
        direct.exec("CREATE TABLE ch (p_fk int unsigned, foreign key (p_fk) references p (id))");
        direct.exec("CREATE TABLE nokey (name varchar(5))");
        direct.exec("INSERT INTO p (name) VALUES ('a'), ('b'), ('c'); INSERT INTO ch VALUES (2)");
        direct.exec("INSERT INTO nokey VALUES ('a')");
        auto c = connectionTo(schema.name());
        TMyTable t;
        t.Connection = c.get();
        t.TableName = "p";
        t.Open();
        Recorder changes(t);

        const auto refused = [&](const std::function<void()>& call, const QString& start) {
            const QString message = failureOf(call);
            QVERIFY2(message.startsWith(start), qPrintable(message));
            QCOMPARE(memoryRows(t), serverRows(direct, "p"));
        };
        // Refused by the server: an EMyError, nothing in memory changes.
        QVERIFY_THROWS_EXCEPTION(EMyError, t.InsertRow({{"name", AnsiString("zu lang")}}));
        refused(
            [&] {
                t.InsertRow({{"name", AnsiString("zu lang")}});
            },
            "Data too long for column 'name'");
        refused([&] { t.InsertRow({{"id", AnsiString("1")}}); }, "Duplicate entry '1'");
        refused(
            [&] {
                t.UpdateRow(0, {{"name", AnsiString("zu lang")}});
            },
            "Data too long for column 'name'");
        QCOMPARE(t.Cell(0, "name").AsString(), QStringLiteral("a"));
        refused([&] { t.DeleteRow(1); }, "Cannot delete or update a parent row: a foreign key "
                                         "constraint fails");
        QCOMPARE(t.Cell(1, "name").AsString(), QStringLiteral("b"));
        // Refused before anything is sent.
        refused([&] { t.UpdateRow(0, {{"nope", AnsiString("x")}}); }, "Field 'nope' not found");
        refused([&] { t.DeleteRow(3); }, "List index out of bounds (3)");
        QCOMPARE(changes.take(), QStringList());

        // A row another client deleted cannot be changed, and goes from memory.
        direct.exec("DELETE FROM p WHERE id = 3");
        refused(
            [&] {
                t.UpdateRow(2, {{"name", AnsiString("x")}});
            },
            "Record not found or changed by another user");
        QCOMPARE(t.RecordCount(), 2);
        QCOMPARE(changes.take(), QStringList({"delete 2 before", "delete 2 after"}));

        t.Close();
        QCOMPARE(failureOf([&] { t.InsertRow({}); }),
                 QStringLiteral("Cannot perform this operation on a closed dataset"));
        t.TableName = "nokey";
        t.Open();
        QCOMPARE(t.RecordCount(), 1);
        QCOMPARE(failureOf([&] { t.DeleteRow(0); }),
                 QStringLiteral("Table 'nokey' has no primary key"));
        QCOMPARE(direct.value("select count(*) from nokey"), std::string("1"));
    }

    void dataSource()
    {
        TMyTable table;
        TMyQuery query;
        TMyDataSource source;
        QVERIFY(source.Enabled());
        QCOMPARE(source.Table(), nullptr);
        source.DataSet = &query;
        QCOMPARE(source.Table(), nullptr);
        source.DataSet = &table;
        QCOMPARE(source.Table(), &table);

        int heard = 0;
        const int id = source.AddListener([&] { ++heard; });
        source.SetEnabled(true);
        QCOMPARE(heard, 0);
        source.SetEnabled(false);
        source.SetEnabled(false);
        QVERIFY(!source.Enabled());
        QCOMPARE(heard, 1);
        source.RemoveListener(id);
        source.SetEnabled(true);
        QCOMPARE(heard, 1);
    }
};

QTEST_GUILESS_MAIN(TestTable)
#include "test_table.moc"
