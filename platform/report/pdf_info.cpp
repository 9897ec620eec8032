#include "platform/report/pdf_info.h"

#include "platform/rtl/exception.h"

#include <QRegularExpression>

namespace {

// A text string as UTF-16BE with its byte order mark, which every reader understands.
QByteArray textString(const String& text)
{
    QByteArray hex("<FEFF");
    for (QChar c : text)
        hex += QByteArray::number(c.unicode() + 0x10000, 16).mid(1).toUpper();
    hex += '>';
    return hex;
}

QByteArray pdfDate(const QDateTime& moment)
{
    const int offset = moment.offsetFromUtc();
    QByteArray date = "(D:" + moment.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    if (offset == 0) {
        date += 'Z';
    } else {
        const int minutes = std::abs(offset) / 60;
        date += (offset > 0 ? '+' : '-') + QByteArray::number(minutes / 60 + 100).mid(1) + '\'' +
                QByteArray::number(minutes % 60 + 100).mid(1) + '\'';
    }
    return date + ')';
}

[[noreturn]] void fail(const char* what)
{
    throw EReportError(
        QStringLiteral("The PDF document cannot be completed: %1").arg(QString::fromLatin1(what)));
}

} // namespace

QByteArray PdfInfoUpdate(const QByteArray& pdf, qint64 size, const PdfInfo& info)
{
    const qsizetype start = pdf.lastIndexOf("startxref");
    if (start < 0)
        fail("no startxref");
    static const QRegularExpression number(QStringLiteral("^startxref\\s+(\\d+)"));
    const QRegularExpressionMatch prev = number.match(QString::fromLatin1(pdf.mid(start, 40)));
    if (!prev.hasMatch())
        fail("no cross-reference offset");
    const qsizetype trailerAt = pdf.lastIndexOf("trailer", start);
    if (trailerAt < 0)
        fail("no trailer");
    const QString trailer = QString::fromLatin1(pdf.mid(trailerAt, start - trailerAt));
    static const QRegularExpression sizeRe(QStringLiteral("/Size\\s+(\\d+)"));
    static const QRegularExpression rootRe(QStringLiteral("/Root\\s+(\\d+\\s+\\d+\\s+R)"));
    static const QRegularExpression idRe(QStringLiteral("/ID\\s*(\\[[^\\]]*\\])"));
    const QRegularExpressionMatch objects = sizeRe.match(trailer);
    const QRegularExpressionMatch root = rootRe.match(trailer);
    if (!objects.hasMatch() || !root.hasMatch())
        fail("no /Size or /Root in the trailer");
    if (trailer.contains(QLatin1String("/Encrypt")))
        fail("the document is encrypted");

    const int object = objects.captured(1).toInt();
    QByteArray dict = "<<";
    auto add = [&dict](const char* key, const String& value) {
        if (!value.isEmpty())
            dict += QByteArray("\n/") + key + ' ' + textString(value);
    };
    add("Title", info.Title);
    add("Author", info.Author);
    add("Subject", info.Subject);
    add("Keywords", info.Keywords);
    add("Creator", info.Creator);
    add("Producer", info.Producer);
    if (info.Created.isValid())
        dict += "\n/CreationDate " + pdfDate(info.Created);
    dict += "\n>>";

    QByteArray update;
    if (!pdf.endsWith('\n'))
        update += '\n';
    const qint64 objectAt = size + update.size();
    update += QByteArray::number(object) + " 0 obj\n" + dict + "\nendobj\n";
    const qint64 xrefAt = size + update.size();
    update += "xref\n" + QByteArray::number(object) + " 1\n" +
              QByteArray::number(objectAt).rightJustified(10, '0') + " 00000 n\r\n";
    update += "trailer\n<<\n/Size " + QByteArray::number(object + 1) + "\n/Root " +
              root.captured(1).toLatin1() + "\n/Info " + QByteArray::number(object) + " 0 R\n";
    const QRegularExpressionMatch id = idRe.match(trailer);
    if (id.hasMatch())
        update += "/ID " + id.captured(1).toLatin1() + '\n';
    update += "/Prev " + prev.captured(1).toLatin1() + "\n>>\nstartxref\n" +
              QByteArray::number(xrefAt) + "\n%%EOF\n";
    return update;
}
