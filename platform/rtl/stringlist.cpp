#include "platform/rtl/stringlist.h"

#include "platform/rtl/fileutil.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

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

namespace {

// The first blocks are small, for short lists; they double up to the largest.
constexpr std::size_t kFirstBlock = 256;
constexpr std::size_t kBlock = 64 * 1024;
constexpr std::size_t kFirstIndex = 64;

template <class T> T* allocate(std::size_t count)
{
    T* block = static_cast<T*>(std::malloc(count * sizeof(T)));
    if (!block)
        throw std::bad_alloc();
    return block;
}

} // namespace

TStringList::Packed::~Packed()
{
    for (char* b : blocks)
        std::free(b);
    for (std::uint32_t* b : index)
        std::free(b);
}

bool TStringList::Packed::add(const char* data, std::size_t length)
{
    if (length > UINT32_MAX - size)
        return false;
    if (length > room || blocks.empty()) {
        // A line longer than a block gets one of its own.
        const std::size_t last = blocks.empty()
                                     ? kFirstBlock / 2
                                     : static_cast<std::size_t>(next - blocks.back()) + room;
        const std::size_t n = std::max(std::min(last * 2, kBlock), length);
        blocks.reserve(blocks.size() + 1);
        firsts.reserve(firsts.size() + 1);
        blocks.push_back(allocate<char>(n));
        firsts.push_back(size);
        next = blocks.back();
        room = n;
    }
    if (!spare) {
        if (index.size() == 1 && count < indexBlock) {
            // The first index block grows up to the full size; the others start with it.
            const std::size_t n = std::min(count * 2, indexBlock);
            auto* grown =
                static_cast<std::uint32_t*>(std::realloc(index[0], n * sizeof(std::uint32_t)));
            if (!grown)
                throw std::bad_alloc();
            index[0] = grown;
            slot = grown + count;
            spare = n - count;
        } else {
            const std::size_t n = index.empty() ? kFirstIndex : indexBlock;
            index.reserve(index.size() + 1);
            index.push_back(allocate<std::uint32_t>(n));
            slot = index.back();
            spare = n;
        }
    }
    append(data, length);
    return true;
}

const char* TStringList::Packed::bytes(std::size_t line) const
{
    const std::uint32_t from = start(line);
    if (from == end(line))
        return "";
    // The last block that begins at or before the line: blocks before it that begin at the
    // same byte hold none of it.
    const std::size_t k =
        static_cast<std::size_t>(std::upper_bound(firsts.begin(), firsts.end(), from) -
                                 firsts.begin()) -
        1;
    return blocks[k] + (from - firsts[k]);
}

String TStringList::Packed::text(std::size_t line) const
{
    return Cp1252Text(bytes(line), end(line) - start(line));
}

void TStringList::unpack() const
{
    if (!packedCount_)
        return;
    lines_.reserve(lines_.size() + packedCount_);
    for (std::size_t i = 0; i < static_cast<std::size_t>(packedCount_); ++i)
        lines_.append(packed_->text(i));
    packed_.reset();
    packedCount_ = 0;
}

TStringList::Packed& TStringList::ownPacked()
{
    // Another list may share the block, or hold more of its lines than this one: then this
    // list goes on in a copy of its own lines.
    if (!packed_) {
        packed_ = std::make_shared<Packed>();
    } else if (!ownsPacked()) {
        auto own = std::make_shared<Packed>();
        const Packed& from = *packed_;
        for (std::size_t i = 0; i < static_cast<std::size_t>(packedCount_); ++i)
            own->add(from.bytes(i), from.end(i) - from.start(i));
        packed_ = std::move(own);
    }
    return *packed_;
}

int TStringList::Add(const String& line)
{
    unpack();
    lines_.append(line);
    return Count() - 1;
}

int TStringList::Add(String&& line)
{
    unpack();
    lines_.append(std::move(line));
    return Count() - 1;
}

int TStringList::addBytes(const char* bytes, std::size_t length)
{
    // Past 4 GiB of packed bytes, a line becomes a String.
    if (!ownPacked().add(bytes, length))
        return Add(Cp1252Text(bytes, length));
    return static_cast<int>(lines_.size()) + packedCount_++;
}

void TStringList::Insert(int index, const String& line)
{
    if (index < 0 || index > Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    unpack();
    lines_.insert(index, line);
}

void TStringList::Delete(int index)
{
    checkIndex(index);
    if (packedCount_ && index == Count() - 1) {
        // The last line goes without touching the block, which other lists may share.
        if (!--packedCount_)
            packed_.reset();
        return;
    }
    unpack();
    lines_.removeAt(index);
}

void TStringList::Clear()
{
    lines_.clear();
    packed_.reset();
    packedCount_ = 0;
}

int TStringList::IndexOf(const String& line) const
{
    unpack();
    return static_cast<int>(lines_.indexOf(line));
}

const String& TStringList::operator[](int index) const
{
    checkIndex(index);
    unpack();
    return lines_[index];
}

String& TStringList::operator[](int index)
{
    checkIndex(index);
    unpack();
    return lines_[index];
}

String TStringList::Line(int index) const
{
    checkIndex(index);
    if (index < lines_.size())
        return lines_[index];
    return packed_->text(static_cast<std::size_t>(index - lines_.size()));
}

const QStringList& TStringList::lines() const
{
    unpack();
    return lines_;
}

String TStringList::Text() const
{
    unpack();
    String text;
    for (const String& line : lines_) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

void TStringList::SetText(const String& text)
{
    Clear();
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
    for (const String& line : lines()) {
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
