#include "platform/rtl/stringlist.h"

#include "platform/rtl/fileutil.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

void TMemoryStream::Write(const char* data, std::size_t count)
{
    if (Position > bytes_.size())
        bytes_.resize(Position, '\0');
    bytes_.replace(Position, std::min(count, bytes_.size() - Position), data, count);
    Position += count;
}

void TStringList::checkIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

int TStringList::Add(const String& line)
{
    lines_.append(line);
    return Count() - 1;
}

void TStringList::Insert(int index, const String& line)
{
    if (index < 0 || index > Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    lines_.insert(index, line);
}

void TStringList::Delete(int index)
{
    checkIndex(index);
    lines_.removeAt(index);
}

const String& TStringList::operator[](int index) const
{
    checkIndex(index);
    return lines_[index];
}

String& TStringList::operator[](int index)
{
    checkIndex(index);
    return lines_[index];
}

String TStringList::Text() const
{
    String text;
    for (const String& line : lines_) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

void TStringList::SetText(const String& text)
{
    lines_.clear();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines_.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines_.append(text.mid(start));
}

void TStringList::LoadFromFile(const String& fileName)
{
    QFile file(NativePath(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(
            QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));

    if (auto encoding = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decode(*encoding, QStringConverter::Flag::ConvertInitialBom);
        QString text = decode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        SetText(text);
    } else {
        SetText(AnsiString(bytes.constData(), static_cast<std::size_t>(bytes.size())).toString());
    }
}

void TStringList::SaveToStream(TMemoryStream& stream) const
{
    for (const String& line : lines_) {
        const AnsiString bytes(line);
        stream.Write(bytes.data(), static_cast<std::size_t>(bytes.Length()));
        stream.Write("\r\n", 2);
    }
}

void TStringList::SaveToFile(const String& fileName) const
{
    TMemoryStream stream;
    SaveToStream(stream);
    // Written beside the old file and renamed over it, so a failure never leaves half a file.
    QSaveFile file(NativePath(fileName));
    if (!file.open(QIODevice::WriteOnly))
        throw EFileError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    file.write(stream.Bytes().data(), static_cast<qint64>(stream.Size()));
    if (!file.commit())
        throw EFileError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}
