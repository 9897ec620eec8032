// Every stored value is what the user saw on a server of someone else's settings and after
// that server restarted: a server of this test program's own, which no other test shares,
// set to the lenient SQL mode and stopped and started while the program's connection is open.
#include "platform/data/myconnection.h"
#include "platform/vcl/actions.h"
#include "platform/vcl/labelededit.h"
#include "platform/vcl/string_grid.h"
#include "tests/support/checks.h"
#include "tests/support/relay.h"
#include "ui/medium_frm.h"
#include "ui_fixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>

#include <limits>

#include <unistd.h>

using testdb::Direct;
using Rows = std::vector<std::vector<std::string>>;

namespace {

const QString kScripts = QStringLiteral(KOLLEKTAR_SCRIPTS_DIR);

// Runs scripts/testdb; its server ends with this test program at the latest.
bool serverScript(QTemporaryDir& dir, const QString& command)
{
    QProcess p;
    p.start(QStringLiteral("bash"),
            {kScripts + QStringLiteral("/testdb"), command, dir.filePath(QStringLiteral("db")),
             QString::number(getpid())});
    p.closeWriteChannel();
    if (!p.waitForFinished(300000) || p.exitCode() != 0) {
        qWarning("testdb %s: %s", qPrintable(command), p.readAllStandardError().constData());
        return false;
    }
    return true;
}

} // namespace

class TestAnyServer : public QObject, private ui::ProgramFixture {
    Q_OBJECT
    QTemporaryDir server;
    std::unique_ptr<Tfrm_main> frm;

private slots:
    void initTestCase()
    {
        QVERIFY(server.isValid());
        QVERIFY(serverScript(server, QStringLiteral("start")));
        QFile port(server.filePath(QStringLiteral("db/port")));
        QVERIFY(port.open(QIODevice::ReadOnly));
        qputenv("KOLLEKTAR_TEST_PORT", port.readAll().trimmed());
        // A server whose owner runs it without the strict modes.
        Direct().exec("SET GLOBAL sql_mode = ''");
        startProgram("any");
        catalogue->sql().exec("insert into kategorie (name) values ('Roman');"
                              "insert into mediumtyp (typ) values ('Buch');"
                              "insert into standort (ort) values ('Regal');"
                              "insert into medium (titel, ort_fk, typ_fk, kategorie_fk) values "
                              "('Mittag', 1, 1, 1)");
    }

    void cleanupTestCase()
    {
        ui::closeMainWindow(frm);
        endProgram();
        serverScript(server, QStringLiteral("stop"));
    }

    // What does not fit is refused as on a strict server, nothing is cut, and every medium
    // can still be read. Another connection, with the server's own mode, would have cut it.
    void nothingCutOnALenientServer_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("first");
        QTest::newRow("a keyword of 60 bytes") << "keyword"
                                               << "Data too long for column 'wort'";
        QTest::newRow("an ISBN of 80 bytes") << "isbn"
                                             << "Data too long for column 'isbn'";
        QTest::newRow("a description of 100,000 bytes")
            << "description"
            << "Data too long for column 'beschreibung'";
        QTest::newRow("the loan day 10000-01-01") << "loan"
                                                  << "Date exceeds maximum of 31.12.9999";
        QTest::newRow("the loan day 10000-01-01, sent as it is")
            << "loan statement"
            << "Incorrect datetime value: '10000-01-01'";
        QTest::newRow("an infinite loan day") << "infinite"
                                              << "Date exceeds maximum of 31.12.9999";
    }
    void nothingCutOnALenientServer()
    {
        QFETCH(QString, what);
        QFETCH(QString, first);
        Direct& sql = catalogue->sql();
        QCOMPARE(sql.value("select @@GLOBAL.sql_mode"), std::string());
        const std::string before =
            "select titel, ifnull(isbn, '-'), ifnull(length(beschreibung), '-'), "
            "ifnull(datum, '-'), (select count(*) from stichwort) from medium";
        const Rows stored = sql.rows(before);
        Db_access db;
        Media m = db.get_medium(1);
        QString message;
        try {
            if (what == QLatin1String("keyword")) {
                Media edited = m;
                edited.set_stichworte({AnsiString(std::string(60, 'k'))});
                db.up_eintrag(1, m, edited, false, false, true);
            } else if (what == QLatin1String("isbn")) {
                Media edited = m;
                edited.set_isbn(AnsiString(std::string(80, '9')));
                db.up_eintrag(1, m, edited, true, false, false);
            } else if (what == QLatin1String("description")) {
                m.set_beschrieb({AnsiString(std::string(99998, 'd'))});
                db.put_eintrag(m);
            } else if (what == QLatin1String("loan")) {
                db.up_leihen(1, "Bernd", EncodeDate(9999, 12, 31).Val + 1, 7);
            } else if (what == QLatin1String("infinite")) {
                db.up_leihen(1, "Bernd", std::numeric_limits<double>::infinity(), 7);
            } else {
                TMyCommand c;
                c.Connection = dat_medium->myc_medium;
                c.SQL.Add("update medium set datum = '10000-01-01'");
                c.Execute();
            }
            QFAIL("a value that does not fit went through");
        } catch (const Exception& e) {
            message = e.Message;
        }
        QVERIFY2(message.startsWith(first), qPrintable(message));
        QCOMPARE(sql.rows(before), stored);
        QCOMPARE(db.get_medium(1).get_titel(), AnsiString("Mittag"));

        // The premise: the server's own mode cuts and zeroes without refusing.
        Direct lenient(catalogue->name());
        lenient.exec("create temporary table t (w varchar(50), d datetime)");
        lenient.exec("insert into t values (repeat('k', 60), '10000-01-01')");
        QCOMPARE(lenient.rows("select length(w), d from t"), (Rows{{"50", "0000-00-00 00:00:00"}}));
    }

    // A server that will not take the strict modes refuses the logon.
    void strictModeRefused()
    {
        testdb::Relay relay(testdb::port());
        relay.refuse("SET SESSION sql_mode", "Variable 'sql_mode' can't be set");
        TMyConnection* c = dat_medium->myc_medium;
        c->Close();
        c->Port = static_cast<int>(relay.port());
        Db_access db;
        const QString message = testdb::failureOf(
            [&] { db.db_open("root", "", "localhost", AnsiString(catalogue->name())); });
        c->Port = static_cast<int>(testdb::port());
        QCOMPARE(message, QString::fromUtf8("Variable 'sql_mode' can't be set. "
                                            "Datenbankverbindung kann nicht geöffnet werden"));
        QVERIFY(!c->Connected());
        db.db_open("root", "", "localhost", AnsiString(catalogue->name()));
    }

    // The server restarts while the program stays open: the next list read and the next OK
    // of an editor that was open meanwhile work at once, without an error.
    void afterAServerRestart_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("a search") << "search";
        QTest::newRow("the OK of an editor open meanwhile") << "edit";
    }
    void afterAServerRestart()
    {
        QFETCH(QString, command);
        ui::openMainWindow(frm, catalogue->name());
        QCOMPARE(frm->strg_main->Rows(0).join(u'|'), QStringLiteral("1|Mittag||Regal|Buch|Roman"));
        bool restarted = false;
        DialogDriver driver;
        if (command == QLatin1String("search")) {
            restarted = serverScript(server, QStringLiteral("restart"));
            driver.then([](QWidget* w) {
                DialogDriver::Type(w->findChild<QLineEdit*>(), "Mitt%");
                DialogDriver::Accept(w);
            });
            frm->act_suchen->trigger();
        } else {
            driver.then([&](QWidget* w) {
                auto* e = qobject_cast<Tfrm_medium*>(w);
                QVERIFY(e);
                restarted = serverScript(server, QStringLiteral("restart"));
                e->edt_name->setText(QStringLiteral("Mittagsstunde"));
                e->mem_stichwort->setPlainText(QStringLiteral("Nach dem Neustart"));
                e->data_changed = e->keywords_changed = true;
                QTest::mouseClick(e->btn_ok, Qt::LeftButton);
                QVERIFY2(!e->isVisible(), "the OK did not store");
            });
            frm->act_offen->trigger();
        }
        QVERIFY(restarted);
        QCOMPARE(driver.Unexpected.join(","), QString());
        QCOMPARE(driver.Answered(), 1);
        Direct after(catalogue->name());
        const std::string title = command == QLatin1String("edit") ? "Mittagsstunde" : "Mittag";
        QCOMPARE(after.rows("select titel, ifnull((select group_concat(wort) from stichwort), "
                            "'') from medium"),
                 (Rows{{title, command == QLatin1String("edit") ? "Nach dem Neustart" : ""}}));
        QCOMPARE(frm->strg_main->Rows(0)[1], QString::fromStdString(title));
        ui::closeMainWindow(frm);
        after.exec("update medium set titel = 'Mittag'; delete from stichwort");
    }
};

QTEST_MAIN(TestAnyServer)
#include "test_any_server.moc"
