// The household's own database server as scripts/run sets it up through scripts/homedb: no
// logon without the owner's password, no file access from SQL, a folder of the earlier
// set-up secured with its catalogue kept, one server shared by the programs that run at a
// time, another server on the port used as it is; the throwaway server lets SQL touch no
// files either; and the server scripts refuse to touch folders they did not make.
#include "store/db_access.h"
#include "store/medium_db.h"
#include "tests/scripts/script_run.h"
#include "tests/support/checks.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <mysql.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

using namespace scripts;

namespace {

// The program as another local account (nobody, uid 65534).
Result runAsOther(const QString& program, const QStringList& args,
                  const QString& password = QString())
{
    return run(QStringLiteral("setpriv"),
               QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + args,
               password);
}

// Every file and folder below DIR with the files' contents: what a refusal must leave as is.
QStringList snapshot(const QString& dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = path.mid(dir.size());
        out << (it.fileInfo().isDir() ? rel + u'/' : rel + u'=' + readAll(path));
    }
    out.sort();
    return out;
}

// A process that stands for a running scripts/run.
struct User {
    QProcess p;
    User()
    {
        p.start(QStringLiteral("sleep"), {QStringLiteral("600")});
        p.waitForStarted();
    }
    ~User()
    {
        p.kill();
        p.waitForFinished();
    }
    QString pid() const { return QString::number(p.processId()); }
};

bool alive(const QString& pidFile)
{
    return running(pidIn(pidFile));
}

// One session as the program holds it: it must not be cut while the program runs.
struct Session {
    MYSQL* m = mysql_init(nullptr);
    Session(unsigned port, const QString& password)
    {
        const unsigned tcp = MYSQL_PROTOCOL_TCP;
        mysql_optionsv(m, MYSQL_OPT_PROTOCOL, &tcp);
        if (!mysql_real_connect(m, "127.0.0.1", "kollektar", password.toLatin1().constData(),
                                nullptr, port, nullptr, 0))
            qWarning("no session: %s", mysql_error(m));
    }
    ~Session() { mysql_close(m); }
    // The server's message, or the empty text when the statement went through.
    QString run(const char* statement)
    {
        if (mysql_query(m, statement) == 0) {
            mysql_free_result(mysql_store_result(m));
            return QString();
        }
        return QString::fromLocal8Bit(mysql_error(m));
    }
};

} // namespace

class TestHomeDb : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString home; // the household server's folder
    unsigned port = 0;
    QString password;
    QString firstOutput;

    QString testdbDir; // a throwaway server of scripts/testdb
    unsigned testdbPort = 0;

    // Starts the household server in DIR the way scripts/run does, for the process WATCH,
    // on a free port instead of 3306; a port taken in the meantime (exit 3, or 4 when the
    // newcomer answers already) is tried again with another.
    Result start(const QString& dir, unsigned& p, const QString& watch = QString())
    {
        Result r;
        for (int attempt = 0; attempt < 10; ++attempt) {
            p = freePort();
            r = script(
                "homedb",
                {"start", dir, "--port", QString::number(p), "--watch",
                 watch.isEmpty() ? QString::number(QCoreApplication::applicationPid()) : watch});
            if (r.code != 3 && r.code != 4)
                break;
        }
        return r;
    }

    // The old way of scripts/run: root without a password; DIR/data holds one catalogue row
    // and an account of the owner's own without a password.
    void makeEarlierFolder(const QString& dir)
    {
        QStringList user;
        if (isRoot())
            user << QStringLiteral("--user=root");
        QVERIFY(QDir().mkpath(dir + "/tmp"));
        const Result install = run(
            "mariadb-install-db",
            QStringList{"--no-defaults", "--datadir=" + dir + "/data", "--tmpdir=" + dir + "/tmp"} +
                user + QStringList{"--auth-root-authentication-method=normal", "--skip-test-db"});
        QVERIFY2(install.code == 0, qPrintable(install.out + install.err));

        const unsigned p = freePort();
        QProcess server;
        server.start(
            "mariadbd",
            QStringList{"--no-defaults"} + user +
                QStringList{"--datadir=" + dir + "/data", "--port=" + QString::number(p),
                            "--bind-address=127.0.0.1", "--socket=" + tmp.path() + "/old.sock",
                            "--pid-file=" + tmp.path() + "/old.pid",
                            "--log-error=" + dir + "/error.log", "--tmpdir=" + dir + "/tmp"});
        QVERIFY(server.waitForStarted());
        bool up = false;
        for (int i = 0; i < 600 && !up && server.state() == QProcess::Running; ++i) {
            up = sql(p, "root", "", "select 1").code == 0;
            if (!up)
                QTest::qWait(100);
        }
        QVERIFY2(up, qPrintable(readAll(dir + "/error.log")));
        const Result fill = sql(p, "root", "",
                                "create database kollektar;"
                                "create table kollektar.medium (medium_pk int primary key,"
                                " titel varchar(200)) default charset=latin1;"
                                "insert into kollektar.medium values (1, 'Der Hobbit');"
                                "create user gast@localhost");
        QVERIFY2(fill.code == 0, qPrintable(fill.err));
        server.terminate();
        QVERIFY(server.waitForFinished(60000));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        // Other accounts may pass through the test's folder, as through a home folder;
        // what keeps them out is the server's own folder.
        QVERIFY(passable(tmp.path()));
        home = tmp.path() + "/household";
        const Result r = start(home, port);
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        firstOutput = r.out;
        password = readAll(home + "/password").trimmed();

        dat_medium = new Tdat_medium(nullptr);
        dat_medium->myc_medium->Port = static_cast<int>(port);

        testdbDir = tmp.path() + "/throwaway";
        const Result t = script(
            "testdb", {"start", testdbDir, QString::number(QCoreApplication::applicationPid())});
        QVERIFY2(t.code == 0, qPrintable(t.out + t.err));
        testdbPort = readAll(testdbDir + "/port").trimmed().toUInt();
    }

    void cleanupTestCase()
    {
        delete dat_medium;
        dat_medium = nullptr;
        for (const QString& dir : {home, tmp.path() + "/earlier", tmp.path() + "/shared"})
            if (QFile::exists(dir + "/.kollektar-homedb"))
                script("homedb", {"stop", dir});
        if (QFile::exists(testdbDir + "/.kollektar-testdb"))
            script("testdb", {"stop", testdbDir});
    }

    // The owner is told what to enter; the password is strong and only the owner reads it.
    void passwordForTheOwnerOnly()
    {
        QVERIFY2(QRegularExpression("^[A-Za-z2-9]{20}$").match(password).hasMatch(),
                 qPrintable(password));
        QVERIFY2(firstOutput.contains("enter the user kollektar, the password " + password +
                                      " and the server localhost"),
                 qPrintable(firstOutput));
        QCOMPARE(modeOf(home), QStringLiteral("700"));
        QCOMPARE(modeOf(home + "/password"), QStringLiteral("600"));
        QCOMPARE(ownerOf(home + "/password"), geteuid());
        if (!isRoot())
            QSKIP("only root can try as another local account");
        const Result other = runAsOther("cat", {home + "/password"});
        QVERIFY(other.code != 0);
        QVERIFY2(!other.out.contains(password), qPrintable(other.out));
    }

    void noLogonWithoutThePassword_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("pwd");
        QTest::addColumn<bool>("socket");
        QTest::addColumn<QString>("error");
        QTest::newRow("root without a password") << "root"
                                                 << "" << false << "Access denied";
        QTest::newRow("kollektar without a password") << "kollektar"
                                                      << "" << false << "Access denied";
        QTest::newRow("kollektar with a wrong password")
            << "kollektar"
            << "Kollektar1" << false << "Access denied";
        QTest::newRow("root through the server's socket") << "root"
                                                          << "" << true << "Can't connect";
    }

    // Another local account gets nowhere; without root the test can only try as itself,
    // which proves the same over TCP.
    void noLogonWithoutThePassword()
    {
        QFETCH(QString, user);
        QFETCH(QString, pwd);
        QFETCH(bool, socket);
        QFETCH(QString, error);
        QStringList args = clientArgs(port, user, "select current_user()");
        if (socket) {
            if (!isRoot())
                QSKIP("only root can try as another local account");
            args = {"--no-defaults", "-S", readAll(home + "/sockdir").trimmed() + "/mysqld.sock",
                    "-u" + user,     "-e", "select current_user()"};
        }
        const Result r = isRoot() ? runAsOther("mariadb", args, pwd) : run("mariadb", args, pwd);
        QVERIFY2(r.code != 0, qPrintable(r.out));
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
    }

    // What the logon dialog does with Testen and "Ja", as the owner's account.
    void ownerCreatesTheCatalogue()
    {
        QStringList failures;
        const auto collect = [&](const Exception& e) { failures << e.Message; };
        dat_medium->scr_create_schema->OnError = collect;
        dat_medium->scr_create_db->OnError = collect;
        Db_access db;
        db.db_stop();
        db.db_open(AnsiString(kAccount), AnsiString(password), "localhost", AnsiString());
        QVERIFY(!db.exist_schema("katalog"));
        db.create_db("katalog");
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
        db.db_stop();
        db.db_open(AnsiString(kAccount), AnsiString(password), "localhost", "katalog");
        std::unique_ptr<TStringList> facts(db.get_system());
        QVERIFY2(facts->Text().contains("Aktueller Benutzer: kollektar@localhost"),
                 qPrintable(facts->Text()));
        db.db_stop();

        const Result tables = sql(port, kAccount, password,
                                  "select table_type, count(*) from information_schema.tables"
                                  " where table_schema = 'katalog' group by table_type"
                                  " order by table_type");
        QCOMPARE(tables.out, QStringLiteral("BASE TABLE\t5\nVIEW\t2\n"));
    }

    void noFileAccessFromSql_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("error");
        QTest::newRow("load_file") << "select load_file('/etc/passwd')"
                                   << "NULL\n"
                                   << "";
        QTest::newRow("into outfile") << "select 'x' into outfile '%1/files/out.txt'"
                                      << ""
                                      << "FILE privilege";
        QTest::newRow("into dumpfile") << "select 'x' into dumpfile '%1/out.txt'"
                                       << ""
                                       << "FILE privilege";
        QTest::newRow("load data infile") << "load data infile '/etc/passwd' into table dateien.t"
                                          << ""
                                          << "Access denied";
        QTest::newRow("load data local infile")
            << "load data local infile '/etc/passwd' into table dateien.t"
            << ""
            << "local infile";
    }

    void noFileAccessFromSql()
    {
        QFETCH(QString, statement);
        QFETCH(QString, out);
        QFETCH(QString, error);
        QCOMPARE(sql(port, kAccount, password,
                     "create database if not exists dateien;"
                     "create table if not exists dateien.t (z text)")
                     .code,
                 0);
        QStringList args = clientArgs(port, kAccount, statement.replace("%1", home));
        args.insert(1, QStringLiteral("--local-infile=1"));
        const Result r = run("mariadb", args, password);
        QCOMPARE(r.out, out);
        if (error.isEmpty())
            QVERIFY2(r.code == 0, qPrintable(r.err));
        else
            QVERIFY2(r.code != 0 && r.err.contains(error), qPrintable(r.err));
        QCOMPARE(sql(port, kAccount, password, "select count(*) from dateien.t").out,
                 QStringLiteral("0\n"));
        QCOMPARE(snapshot(home + "/files"), QStringList());
        QVERIFY(!QFile::exists(home + "/out.txt"));
    }

    // Even an account that had the FILE privilege would reach only the empty private folder.
    void serverSettings()
    {
        QCOMPARE(sql(port, kAccount, password,
                     "select @@secure_file_priv, @@local_infile, @@bind_address")
                     .out,
                 home + "/files/\t0\t127.0.0.1\n");
        QCOMPARE(modeOf(home + "/files"), QStringLiteral("700"));
    }

    // The next start keeps the password and the data and shows the password no more.
    void nextStartKeepsPasswordAndData()
    {
        QCOMPARE(sql(port, kAccount, password,
                     "create database if not exists bleibt;"
                     "create table bleibt.t (z varchar(20));"
                     "insert into bleibt.t values ('noch da')")
                     .code,
                 0);
        QCOMPARE(script("homedb", {"stop", home}).code, 0);
        QVERIFY(sql(port, kAccount, password, "select 1").code != 0);
        const Result r = start(home, port);
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        dat_medium->myc_medium->Port = static_cast<int>(port);
        QVERIFY2(!r.out.contains(password), qPrintable(r.out));
        QVERIFY2(r.out.contains(home + "/password"), qPrintable(r.out));
        QCOMPARE(readAll(home + "/password").trimmed(), password);
        QCOMPARE(sql(port, kAccount, password, "select z from bleibt.t").out,
                 QStringLiteral("noch da\n"));
    }

    // A folder of the earlier scripts/run: secured at its next start, its catalogue kept.
    void earlierFolderSecured()
    {
        const QString dir = tmp.path() + "/earlier";
        makeEarlierFolder(dir);
        if (QTest::currentTestFailed())
            return;
        unsigned p = 0;
        const Result r = start(dir, p);
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains("now asks for a password"), qPrintable(r.out));
        const QString pwd = readAll(dir + "/password").trimmed();
        QVERIFY2(r.out.contains("the password " + pwd + " "), qPrintable(r.out));
        QCOMPARE(modeOf(dir + "/password"), QStringLiteral("600"));

        for (const QString& user : {QStringLiteral("root"), QStringLiteral("gast")}) {
            const QStringList args = clientArgs(p, user, "select 1");
            const Result denied = isRoot() ? runAsOther("mariadb", args) : run("mariadb", args);
            QVERIFY2(denied.code != 0 && denied.err.contains("Access denied"),
                     qPrintable(user + ": " + denied.out + denied.err));
        }
        QCOMPARE(sql(p, kAccount, pwd, "select titel from kollektar.medium").out,
                 QStringLiteral("Der Hobbit\n"));
        QCOMPARE(sql(p, kAccount, pwd, "select load_file('/etc/passwd')").out,
                 QStringLiteral("NULL\n"));
        QCOMPARE(script("homedb", {"stop", dir}).code, 0);
    }

    // A second scripts/run joins the server of the first; the server lasts while any of
    // them runs, whether the first leaves as scripts/run does at its end or is killed.
    void sharedByEveryRun()
    {
        const QString dir = tmp.path() + "/shared";
        User first, second;
        unsigned p = 0;
        Result r = start(dir, p, first.pid());
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        const QString pwd = readAll(dir + "/password").trimmed();
        const QString serverPid = readAll(dir + "/server.pid");

        r = script("homedb", {"start", dir, "--port", QString::number(p), "--watch", second.pid()});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains("runs already") && !r.out.contains(pwd), qPrintable(r.out));
        QCOMPARE(readAll(dir + "/server.pid"), serverPid);

        Session session(p, pwd);
        QCOMPARE(session.run("create database bleibt"), QString());
        r = script("homedb", {"leave", dir, "--watch", first.pid()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(alive(dir + "/server.pid"));
        QCOMPARE(session.run("drop database bleibt"), QString());

        // The watchdog stops the server once no user of it runs.
        const pid_t server = pidIn(dir + "/server.pid");
        second.p.kill();
        second.p.waitForFinished();
        QTRY_VERIFY_WITH_TIMEOUT(!running(server), 90000);
        QVERIFY(!session.run("select 1").isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(dir + "/server.pid"), 30000);

        // The last one to leave stops it there and then.
        r = start(dir, p, first.pid());
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QVERIFY(alive(dir + "/server.pid"));
        const pid_t again = pidIn(dir + "/server.pid");
        r = script("homedb", {"leave", dir, "--watch", first.pid()});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(!running(again));
        QCOMPARE(sql(p, kAccount, pwd, "select 1").code, 1);
    }

    // Another server on the port: one line says so, the folder stays as it is.
    void anotherServerUsedAsItIs()
    {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        QVERIFY(s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                listen(s, 8) == 0 && getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0);
        const QString p = QString::number(ntohs(a.sin_port));
        // A new folder, and the household's with its server stopped.
        for (const QString& dir : {tmp.path() + "/nie", tmp.path() + "/shared"}) {
            const QStringList before = snapshot(dir);
            const Result r = script("homedb", {"start", dir, "--port", p});
            QCOMPARE(r.code, 4);
            QCOMPARE(r.out, "Kollektar: another database server answers on 127.0.0.1:" + p +
                                " and is used as it is; the logon dialog needs an account of"
                                " that server.\n");
            QCOMPARE(r.err, QString());
            QCOMPARE(snapshot(dir), before);
        }
        QVERIFY(!QFile::exists(tmp.path() + "/nie"));
        close(s);
    }

    void foreignFolderRefused_data()
    {
        QTest::addColumn<QString>("scriptName");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("message");
        const QString none;
        const QString household = QStringLiteral(".kollektar-homedb");
        const QString testdb = QStringLiteral(".kollektar-testdb");
        QTest::newRow("testdb stop, another folder") << "testdb"
                                                     << "stop" << none << "was not made by testdb";
        QTest::newRow("testdb start, another folder")
            << "testdb"
            << "start" << none << "was not made by testdb";
        QTest::newRow("testdb stop, the household's folder")
            << "testdb"
            << "stop" << household << "was not made by testdb";
        QTest::newRow("testdb start, the household's folder")
            << "testdb"
            << "start" << household << "was not made by testdb";
        QTest::newRow("homedb stop, another folder") << "homedb"
                                                     << "stop" << none << "was not made by homedb";
        QTest::newRow("homedb start, another folder") << "homedb"
                                                      << "start" << none << "homedb did not make";
        QTest::newRow("homedb stop, a test server's folder")
            << "homedb"
            << "stop" << testdb << "was not made by homedb";
        QTest::newRow("homedb start, a test server's folder")
            << "homedb"
            << "start" << testdb << "homedb did not make";
    }

    // A refused folder keeps every file, and what its files name stays untouched.
    void foreignFolderRefused()
    {
        QFETCH(QString, scriptName);
        QFETCH(QString, command);
        QFETCH(QString, marker);
        QFETCH(QString, message);
        static int n = 0;
        const QString dir = tmp.path() + "/foreign" + QString::number(++n);
        const QString named = tmp.path() + "/named" + QString::number(n);
        write(named + "/brief.txt", "Liebe Oma");
        const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
        // A server folder of another kind has the system schema; a plain one does not,
        // or homedb would take it for one of the earlier scripts/run.
        write(dir + (marker.isEmpty() ? "/data/ibdata1" : "/data/mysql/db.frm"), "Daten");
        write(dir + "/tmp/sort.tmp", "temp");
        write(dir + "/server.pid", self);
        write(dir + "/watch.pid", self);
        write(dir + "/sockdir", named.toLocal8Bit());
        write(dir + "/port", "3306");
        if (!marker.isEmpty())
            write(dir + u'/' + marker, "Made elsewhere");
        const QStringList before = snapshot(dir);

        const Result r = script(scriptName, {command, dir});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message) && r.err.contains("nothing was"), qPrintable(r.err));
        QCOMPARE(snapshot(dir), before);
        QCOMPARE(snapshot(named), QStringList{"/brief.txt=Liebe Oma"});
    }

    void throwawayServerTouchesNoFiles_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("error");
        QTest::newRow("load_file") << "select load_file('%1/geheim.txt')"
                                   << "NULL\n"
                                   << "";
        QTest::newRow("into outfile") << "select 'x' into outfile '%1/aus.txt'"
                                      << ""
                                      << "--secure-file-priv";
        QTest::newRow("into dumpfile") << "select 'x' into dumpfile '%1/aus.txt'"
                                       << ""
                                       << "--secure-file-priv";
        QTest::newRow("load data infile") << "load data infile '%1/geheim.txt' into table dateien.t"
                                          << ""
                                          << "--secure-file-priv";
        QTest::newRow("load data local infile")
            << "load data local infile '/etc/passwd' into table dateien.t"
            << ""
            << "local infile";
    }

    // Another local account logs on to the throwaway server as root; still its SQL neither
    // reads the files of the account that runs the server nor writes any as it.
    void throwawayServerTouchesNoFiles()
    {
        QFETCH(QString, statement);
        QFETCH(QString, out);
        QFETCH(QString, error);
        write(tmp.path() + "/geheim.txt", "Kontonummer");
        QVERIFY(QFile::setPermissions(tmp.path() + "/geheim.txt",
                                      QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(sql(testdbPort, "root", "",
                     "create database if not exists dateien;"
                     "create table if not exists dateien.t (z text)")
                     .code,
                 0);
        QStringList args = clientArgs(testdbPort, "root", statement.replace("%1", tmp.path()));
        args.insert(1, QStringLiteral("--local-infile=1"));
        const Result r = isRoot() ? runAsOther("mariadb", args) : run("mariadb", args);
        QCOMPARE(r.out, out);
        if (error.isEmpty())
            QVERIFY2(r.code == 0, qPrintable(r.err));
        else
            QVERIFY2(r.code != 0 && r.err.contains(error), qPrintable(r.err));
        QCOMPARE(sql(testdbPort, "root", "", "select count(*) from dateien.t").out,
                 QStringLiteral("0\n"));
        QVERIFY(!QFile::exists(tmp.path() + "/aus.txt"));
        QCOMPARE(snapshot(testdbDir + "/files"), QStringList());
        QCOMPARE(modeOf(testdbDir + "/files"), QStringLiteral("700"));
    }

    void stopEndsOnlyItsOwn_data()
    {
        QTest::addColumn<QString>("scriptName");
        QTest::addColumn<QString>("marker");
        // Pid files of the folder, and what the processes they name run with (%1: the
        // folder).
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QList<QStringList>>("looks");
        QTest::addColumn<bool>("idAlone"); // the pid files as an earlier version wrote them
        const QString homedb = kScripts + "/homedb";
        const QString testdb = kScripts + "/testdb";
        const QList<QStringList> household{{"--datadir=%1/data2", "--port=3306"},
                                           {homedb, "watch", "%12"}};
        QTest::newRow("homedb: the server and the watchdog of a folder of a longer name")
            << "homedb"
            << ".kollektar-homedb" << QStringList{"server.pid", "watch.pid"} << household << false;
        QTest::newRow("homedb: the same, in pid files of an earlier version")
            << "homedb"
            << ".kollektar-homedb" << QStringList{"server.pid", "watch.pid"} << household << true;
        QTest::newRow("testdb: the server and the watchdog of a folder of a longer name")
            << "testdb"
            << ".kollektar-testdb" << QStringList{"server.pid", "watch.pid"}
            << QList<QStringList>{{"--datadir=%1/data2"}, {testdb, "watch", "%12"}} << false;
        QTest::newRow("xdisplay: a server, a window manager, testdb's watchdog (ids alone)")
            << "xdisplay"
            << "" << QStringList{"server.pid", "wm.pid", "watch.pid"}
            << QList<QStringList>{{"Xvfb", "-auth", "%1/auth"},
                                  {"openbox", "--sm-disable"},
                                  {testdb, "watch", "%1"}}
            << true;
    }

    // Pid files that an earlier run left may name other processes by now, even ones that
    // look much like those the script started; stop ends none of them.
    void stopEndsOnlyItsOwn()
    {
        QFETCH(QString, scriptName);
        QFETCH(QString, marker);
        QFETCH(QStringList, files);
        QFETCH(QList<QStringList>, looks);
        QFETCH(bool, idAlone);
        const QString dir = tmp.path() + "/lookalike-" + scriptName + (idAlone ? "-id" : "");
        if (!marker.isEmpty())
            write(dir + u'/' + marker, "Made by the test");
        std::vector<std::unique_ptr<QProcess>> others;
        for (int i = 0; i < files.size(); ++i) {
            auto other = std::make_unique<QProcess>();
            // bash goes on after the sleep, so it stays the process with these arguments.
            QStringList args{"-c", "sleep 60; :"};
            for (const QString& arg : looks[i])
                args << QString(arg).replace("%1", dir);
            other->start(QStringLiteral("bash"), args);
            QVERIFY(other->waitForStarted());
            write(dir + u'/' + files[i],
                  idAlone ? QByteArray::number(other->processId()) : pidLine(other->processId()));
            others.push_back(std::move(other));
        }
        const Result r = script(scriptName, {"stop", dir});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        for (auto& other : others) {
            QVERIFY(!other->waitForFinished(200));
            other->kill();
            other->waitForFinished();
        }
        for (const QString& file : files)
            QVERIFY2(!QFile::exists(dir + u'/' + file), qPrintable(file));
    }

    // Its own folder testdb empties: the marker stays, the data go.
    void testdbStopsItsOwnFolder()
    {
        const QString dir = tmp.path() + "/testdb";
        const Result started =
            script("testdb", {"start", dir, QString::number(QCoreApplication::applicationPid())});
        QVERIFY2(started.code == 0, qPrintable(started.err));
        QVERIFY(QFile::exists(dir + "/.kollektar-testdb"));
        QVERIFY(QFile::exists(dir + "/data/mysql"));
        const Result stopped = script("testdb", {"stop", dir});
        QVERIFY2(stopped.code == 0, qPrintable(stopped.err));
        QVERIFY(QFile::exists(dir + "/.kollektar-testdb"));
        QVERIFY(!QFile::exists(dir + "/data"));
        QVERIFY(!QFile::exists(dir + "/port"));
    }
};

QTEST_GUILESS_MAIN(TestHomeDb)
#include "test_homedb.moc"
