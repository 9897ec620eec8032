#pragma once

// Running the server and display scripts and the programs around them from a test: as the
// test's own account, or as an ordinary account with the home folder and the PATH that Debian
// gives its users.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtTest>

#include <cerrno>

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scripts {

const QString kScripts = QStringLiteral(KOLLEKTAR_SCRIPTS_DIR);
const QString kAccount = QStringLiteral("kollektar");
// What an account that logs on to a Debian desktop finds on its PATH: no sbin folder.
const QString kUserPath =
    QStringLiteral("/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games");

struct Result {
    int code = -1;
    QString out;
    QString err;
};

// Who runs a program. The test's own account by default; an ordinary one has a home folder
// and the user PATH, and when the test runs as root, a uid and gid of its own that no account
// and no group of the system uses.
struct Account {
    uid_t uid = geteuid();
    gid_t gid = getegid();
    QString home;
    bool ordinary = false;
};

inline bool isRoot()
{
    return geteuid() == 0;
}

// An ordinary account whose home folder HOME is made here (it must not exist yet).
inline Account ordinaryAccount(const QString& home)
{
    Account a;
    a.home = home;
    a.ordinary = true;
    if (isRoot()) {
        for (uid_t id = 43000; id < 60000; ++id)
            if (!getpwuid(id) && !getgrgid(static_cast<gid_t>(id))) {
                a.uid = id;
                a.gid = static_cast<gid_t>(id);
                break;
            }
    }
    if (!QDir().mkpath(home) || chown(QFile::encodeName(home).constData(), a.uid, a.gid) != 0 ||
        chmod(QFile::encodeName(home).constData(), 0700) != 0)
        qWarning("the home folder %s cannot be made", qPrintable(home));
    return a;
}

// Starts a program as the account; PASSWORD goes to the mariadb client through MYSQL_PWD. An
// ordinary account gets nothing of the test's environment but the locale.
inline void startAs(QProcess& p, const QString& program, const QStringList& args,
                    const QString& password = QString(), const Account& as = Account())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString command = program;
    QStringList arguments = args;
    if (as.ordinary) {
        env = QProcessEnvironment();
        env.insert(QStringLiteral("HOME"), as.home);
        env.insert(QStringLiteral("PATH"), kUserPath);
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setWorkingDirectory(as.home);
        if (as.uid != geteuid()) {
            command = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
            arguments =
                QStringList{"--reuid=" + QString::number(as.uid),
                            "--regid=" + QString::number(as.gid), "--clear-groups", "--", program} +
                args;
        }
    }
    env.remove(QStringLiteral("MYSQL_PWD"));
    if (!password.isEmpty())
        env.insert(QStringLiteral("MYSQL_PWD"), password);
    p.setProcessEnvironment(env);
    p.start(command, arguments);
}

// Runs a program to its end, as startAs starts it.
inline Result run(const QString& program, const QStringList& args,
                  const QString& password = QString(), const Account& as = Account())
{
    QProcess p;
    startAs(p, program, args, password, as);
    p.closeWriteChannel();
    Result r;
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished();
        r.err = program + QStringLiteral(" did not end");
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// One of the scripts, from FOLDER (by default the project's own).
inline Result script(const QString& name, const QStringList& args, const Account& as = Account(),
                     const QString& folder = kScripts)
{
    return run(QStringLiteral("bash"), QStringList{folder + u'/' + name} + args, QString(), as);
}

inline QStringList clientArgs(unsigned port, const QString& user, const QString& statement)
{
    return {"--no-defaults",
            "--protocol=TCP",
            "-h127.0.0.1",
            "-P" + QString::number(port),
            "-u" + user,
            "--connect-timeout=10",
            "--batch",
            "--skip-column-names",
            "-e",
            statement};
}

// A statement through the mariadb client over TCP, as the test's own account.
inline Result sql(unsigned port, const QString& user, const QString& password,
                  const QString& statement)
{
    return run(QStringLiteral("mariadb"), clientArgs(port, user, statement), password);
}

// A port that nothing listens on at the moment.
inline unsigned freePort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    unsigned port = 0;
    if (s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (s >= 0)
        close(s);
    return port;
}

inline QString modeOf(const QString& path)
{
    struct stat st {};
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("<missing>");
    return QString::number(st.st_mode & 07777, 8);
}

inline uid_t ownerOf(const QString& path)
{
    struct stat st {};
    return stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_uid : uid_t(-1);
}

inline QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

inline void write(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// The process that a pid file of the scripts names ("PID START"); 0 without one.
inline pid_t pidIn(const QString& pidFile)
{
    return readAll(pidFile).section(u' ', 0, 0).trimmed().toInt();
}

// The "PID START" line of process PID, as the scripts write their pid files.
inline QByteArray pidLine(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray stat = f.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return QByteArray::number(pid) + ' ' + (fields.size() > 19 ? fields[19] : QByteArray()) + '\n';
}

// Whether process PID runs (one that has ended but was not collected yet counts as ended).
inline bool running(pid_t pid)
{
    if (pid <= 0)
        return false;
    if (kill(pid, 0) != 0 && errno != EPERM)
        return false;
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stat = f.readAll();
    return stat.mid(stat.lastIndexOf(')') + 2, 1) != "Z";
}

// Lets other accounts pass through the folder, as through a home folder, without reading it.
inline bool passable(const QString& folder)
{
    return QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ExeGroup | QFile::ExeOther);
}

// Copies the server and display scripts into FOLDER, where any account may read them: the
// project's own folder may lie where only its owner gets in.
inline QString copyScripts(const QString& folder)
{
    QDir().mkpath(folder + QStringLiteral("/lib"));
    for (const QString& name : QDir(kScripts).entryList(QDir::Files))
        QFile::copy(kScripts + u'/' + name, folder + u'/' + name);
    for (const QString& name : QDir(kScripts + QStringLiteral("/lib")).entryList(QDir::Files))
        QFile::copy(kScripts + QStringLiteral("/lib/") + name,
                    folder + QStringLiteral("/lib/") + name);
    for (const QString& path : {folder, folder + QStringLiteral("/lib")}) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                        QFile::ExeOther);
        for (const QString& name : QDir(path).entryList(QDir::Files))
            QFile::setPermissions(path + u'/' + name, QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ReadGroup | QFile::ReadOther);
    }
    return folder;
}

} // namespace scripts
