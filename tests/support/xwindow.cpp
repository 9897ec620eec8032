#include "tests/support/xwindow.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace xwindow {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

namespace {

QString windowId(const QWidget* window)
{
    return QString::number(window->winId());
}

int field(const QString& text, const char* label)
{
    const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral(":\\s*(-?\\d+)"));
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QList<long> parseNumbers(const QString& value)
{
    QList<long> out;
    const QRegularExpression re(QStringLiteral("(-?(?:0x[0-9a-fA-F]+|\\d+))"));
    for (auto it = re.globalMatch(value); it.hasNext();) {
        const QString n = it.next().captured(1);
        out << (n.startsWith(QLatin1String("0x")) ? n.mid(2).toLong(nullptr, 16) : n.toLong());
    }
    return out;
}

} // namespace

QString property(const QWidget* window, const char* name)
{
    const QString out = run(QStringLiteral("xprop"),
                            {QStringLiteral("-id"), windowId(window), QString::fromLatin1(name)})
                            .trimmed();
    if (out.contains(QLatin1String("not found")) || out.contains(QLatin1String("no such")))
        return QString();
    const qsizetype eq = out.indexOf(QLatin1String(" = "));
    if (eq >= 0)
        return out.mid(eq + 3).trimmed();
    const qsizetype colon = out.indexOf(u':');
    return colon >= 0 ? out.mid(colon + 1).trimmed() : QString();
}

QList<long> numbers(const QWidget* window, const char* name)
{
    return parseNumbers(property(window, name));
}

QRect frame(const QWidget* window)
{
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId(window)});
    if (!info.contains(QLatin1String("IsViewable")))
        return QRect();
    const QList<long> extents = numbers(window, "_NET_FRAME_EXTENTS");
    if (extents.size() != 4)
        return QRect();
    const long left = extents[0], right = extents[1], top = extents[2], bottom = extents[3];
    return QRect(field(info, "Absolute upper-left X") - int(left),
                 field(info, "Absolute upper-left Y") - int(top),
                 field(info, "Width") + int(left + right),
                 field(info, "Height") + int(top + bottom));
}

QRect workArea()
{
    const QString out =
        run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")});
    const QList<long> n = parseNumbers(out.mid(out.indexOf(u'=') + 1));
    return n.size() >= 4 ? QRect(int(n[0]), int(n[1]), int(n[2]), int(n[3])) : QRect();
}

bool waitFramed(const QWidget* window, int timeoutMs)
{
    QRect last;
    return QTest::qWaitFor(
        [&] {
            const QRect now = frame(window);
            const bool steady = now.isValid() && now == last;
            last = now;
            return steady;
        },
        timeoutMs);
}

} // namespace xwindow
