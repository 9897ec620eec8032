#pragma once

// The programs that this test program has started and that still run, as the system sees
// them.
#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

namespace testdb {

// How many child processes of this program with this command name still run.
inline int runningChildren(const QString& name)
{
    const QString self = QString::number(getpid());
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QString line = QString::fromLocal8Bit(stat.readAll());
        const qsizetype open = line.indexOf(u'(');
        const qsizetype close = line.lastIndexOf(u')');
        if (open < 0 || close < open)
            continue;
        const QStringList rest = line.mid(close + 2).split(u' ');
        if (rest.size() > 1 && line.mid(open + 1, close - open - 1) == name && rest[1] == self &&
            rest[0] != QLatin1String("Z"))
            ++count;
    }
    return count;
}

} // namespace testdb
