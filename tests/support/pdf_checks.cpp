#include "tests/support/pdf_checks.h"

#include <QProcess>
#include <QStandardPaths>

#include <climits>
#include <cmath>

namespace testdb {

QString run(const QString& tool, const QStringList& args)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        return QStringLiteral("%1 (poppler-utils) is missing").arg(tool);
    QProcess p;
    p.start(exe, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("%1 failed: %2")
            .arg(tool, QString::fromUtf8(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

QMap<QString, QString> pdfInfo(const QString& file)
{
    QMap<QString, QString> info;
    for (const QString& line : run(QStringLiteral("pdfinfo"), {file}).split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0)
            info.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    return info;
}

QString pdfText(const QString& file, int page)
{
    return run(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                QStringLiteral("-l"), QString::number(page), file, QStringLiteral("-")});
}

QStringList pdfPages(const QString& file)
{
    QStringList pages =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")})
            .split(u'\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QRect inkBounds(const QImage& image, const QRect& area)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const QRect r = area.isNull() ? img.rect() : area.intersected(img.rect());
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(line[x]) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QString decodeEan8(const QImage& image, int y, double modulePx)
{
    const int kModules = 67;
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    int x = 0;
    while (x < img.width() && qGray(line[x]) >= 128)
        ++x;
    QString bits;
    while (x < img.width() && bits.size() < kModules) {
        const bool dark = qGray(line[x]) < 128;
        int length = 0;
        while (x < img.width() && (qGray(line[x]) < 128) == dark) {
            ++length;
            ++x;
        }
        const int modules = static_cast<int>(std::lround(length / modulePx));
        bits += QString(modules, dark ? u'1' : u'0');
    }
    if (bits.size() < kModules)
        return QStringLiteral("too short: ") + bits;
    bits.truncate(kModules);
    if (bits.left(3) != QLatin1String("101") || bits.mid(31, 5) != QLatin1String("01010") ||
        bits.right(3) != QLatin1String("101"))
        return QStringLiteral("bad guards: ") + bits;
    static const QStringList left = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                     "0110001", "0101111", "0111011", "0110111", "0001011"};
    QString digits;
    for (int i = 0; i < 8; ++i) {
        QString code = bits.mid(i < 4 ? 3 + 7 * i : 36 + 7 * (i - 4), 7);
        if (i >= 4)
            for (QChar& c : code)
                c = c == u'1' ? u'0' : u'1';
        const qsizetype digit = left.indexOf(code);
        if (digit < 0)
            return QStringLiteral("bad digit: ") + bits;
        digits += QChar(u'0' + static_cast<int>(digit));
    }
    return digits;
}

QString scanBarCodes(const QString& file)
{
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (exe.isEmpty())
        return QStringLiteral("zbarimg (zbar-tools) is missing; see scripts/setup");
    QProcess p;
    p.start(exe, {QStringLiteral("-q"), file});
    if (!p.waitForFinished(60000))
        return QStringLiteral("zbarimg did not finish");
    // 4: no symbol found
    if (p.exitStatus() != QProcess::NormalExit || (p.exitCode() != 0 && p.exitCode() != 4))
        return QStringLiteral("zbarimg failed: ") + QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace testdb
