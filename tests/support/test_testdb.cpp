// The fixture server itself: reachable over TCP, and a schema of its own per test case.
#include "tests/support/testdb.h"

#include <QtTest>

class TestTestDb : public QObject {
    Q_OBJECT
private slots:
    void roundTrip()
    {
        testdb::Schema schema("roundtrip");
        testdb::Direct db(schema.name());
        db.exec("CREATE TABLE t (id int primary key, txt varchar(20)) DEFAULT CHARSET=latin1");
        db.exec("INSERT INTO t VALUES (1, 'M\xFC"
                "ller \x80')");
        QCOMPARE(db.value("SELECT txt FROM t WHERE id = 1"), std::string("M\xFC"
                                                                         "ller \x80"));
        QCOMPARE(db.value("SELECT DATABASE()"), schema.name());
    }
};

QTEST_GUILESS_MAIN(TestTestDb)
#include "test_testdb.moc"
