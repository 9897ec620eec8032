#include "platform/report/page_cache.h"

#include "platform/rtl/exception.h"

#include <QDir>
#include <QTemporaryFile>

#include <cstring>

namespace {

// Packed pages beyond this go to the file.
const qsizetype memoryLimit = 1 << 20;

enum ItemFlags : quint8 { hasParts = 1, isBold = 2 };

// Appends plain values to a byte array.
class Packer {
public:
    explicit Packer(QByteArray& out) : out_(out) {}

    template <class T> void put(T value)
    {
        out_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void text(const String& s)
    {
        put(static_cast<quint32>(s.size()));
        out_.append(reinterpret_cast<const char*>(s.constData()),
                    s.size() * static_cast<qsizetype>(sizeof(QChar)));
    }

private:
    QByteArray& out_;
};

// Reads them back in the same order.
class Unpacker {
public:
    Unpacker(const char* at, const char* end) : at_(at), end_(end) {}

    template <class T> T get()
    {
        T value;
        need(sizeof value);
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    String text()
    {
        const quint32 n = get<quint32>();
        need(n * sizeof(QChar));
        String s(reinterpret_cast<const QChar*>(at_), static_cast<qsizetype>(n));
        at_ += n * sizeof(QChar);
        return s;
    }

private:
    void need(std::size_t n) const
    {
        if (static_cast<std::size_t>(end_ - at_) < n)
            throw EReportError(QStringLiteral("A kept report page is damaged"));
    }

    const char* at_;
    const char* end_;
};

} // namespace

PageCache::PageCache()
{
    names_.emplace_back();
}

PageCache::~PageCache() = default;

void PageCache::Clear()
{
    pages_.clear();
    pending_.clear();
    pending_.squeeze();
    flushed_ = 0;
    file_.reset();
    names_.resize(1);
    ids_.clear();
    last_ = 0;
    read_.clear();
    read_.squeeze();
}

quint32 PageCache::intern(const String& text)
{
    if (text.isEmpty())
        return 0;
    // Mostly the same font family as the item before, shared from the template.
    const String& last = names_[last_];
    if (text.constData() == last.constData() && text.size() == last.size())
        return last_;
    const auto found = ids_.constFind(text);
    if (found != ids_.constEnd())
        return last_ = *found;
    const quint32 id = static_cast<quint32>(names_.size());
    names_.push_back(text);
    ids_.insert(text, id);
    return last_ = id;
}

void PageCache::Add(const PreparedPage& page)
{
    const qint64 offset = flushed_ + pending_.size();
    Packer out(pending_);
    out.put(page.PaperWidth);
    out.put(page.PaperHeight);
    out.put(static_cast<quint8>(page.Orientation));
    out.put(static_cast<quint32>(page.Bands.size()));
    for (const PreparedBand& band : page.Bands) {
        out.put(intern(band.Name));
        out.put(static_cast<quint8>(band.Kind));
        out.put(band.Top);
        out.put(band.Height);
    }
    out.put(static_cast<quint32>(page.Items.size()));
    for (const PreparedItem& item : page.Items) {
        const bool parts = !item.TotalPagesParts.isEmpty();
        out.put(static_cast<quint8>(item.Kind));
        out.put(static_cast<quint8>(item.Align));
        out.put(static_cast<quint8>((parts ? hasParts : 0) | (item.Font.Bold ? isBold : 0)));
        out.put(static_cast<qint32>(item.Band));
        out.put(intern(item.Name));
        out.put(intern(item.Font.Family));
        out.put(item.Font.Size);
        out.put(item.Rect.x());
        out.put(item.Rect.y());
        out.put(item.Rect.width());
        out.put(item.Rect.height());
        out.put(item.LineWidth);
        if (parts) {
            out.put(static_cast<quint32>(item.TotalPagesParts.size()));
            for (const String& part : item.TotalPagesParts)
                out.text(part);
        } else {
            out.text(item.Text);
        }
    }
    pages_.push_back(Span{offset, flushed_ + pending_.size() - offset});
    if (pending_.size() > memoryLimit)
        flush();
}

void PageCache::flush()
{
    if (!file_) {
        file_ = std::make_unique<QTemporaryFile>(
            QDir::temp().filePath(QStringLiteral("kollektar-report-XXXXXX")));
        if (!file_->open()) {
            const String reason = file_->errorString();
            file_.reset();
            throw EReportError(QStringLiteral("The report's pages cannot be kept in '%1': %2")
                                   .arg(QDir::toNativeSeparators(QDir::tempPath()), reason));
        }
    }
    if (!file_->seek(flushed_) || file_->write(pending_) != pending_.size() || !file_->flush())
        throw EReportError(
            QStringLiteral("The report's pages cannot be kept in '%1': %2")
                .arg(QDir::toNativeSeparators(file_->fileName()), file_->errorString()));
    flushed_ += pending_.size();
    pending_.clear();
}

PreparedPage PageCache::Page(int index) const
{
    const Span& span = pages_.at(static_cast<std::size_t>(index));
    const char* at;
    if (span.offset >= flushed_) {
        at = pending_.constData() + (span.offset - flushed_);
    } else {
        if (!file_->seek(span.offset) ||
            (read_ = file_->read(span.size)).size() != static_cast<qsizetype>(span.size))
            throw EReportError(
                QStringLiteral("The report's pages cannot be read from '%1': %2")
                    .arg(QDir::toNativeSeparators(file_->fileName()), file_->errorString()));
        at = read_.constData();
    }
    Unpacker in(at, at + span.size);
    const auto name = [this](quint32 id) -> String {
        if (id >= names_.size())
            throw EReportError(QStringLiteral("A kept report page is damaged"));
        return names_[id];
    };
    const String total = QString::number(Count());

    PreparedPage page;
    page.PaperWidth = in.get<double>();
    page.PaperHeight = in.get<double>();
    page.Orientation = static_cast<PageOrientation>(in.get<quint8>());
    page.Bands.resize(in.get<quint32>());
    for (PreparedBand& band : page.Bands) {
        band.Name = name(in.get<quint32>());
        band.Kind = static_cast<BandKind>(in.get<quint8>());
        band.Top = in.get<double>();
        band.Height = in.get<double>();
    }
    page.Items.resize(in.get<quint32>());
    for (PreparedItem& item : page.Items) {
        item.Kind = static_cast<ObjectKind>(in.get<quint8>());
        item.Align = static_cast<HAlign>(in.get<quint8>());
        const quint8 flags = in.get<quint8>();
        item.Band = in.get<qint32>();
        item.Name = name(in.get<quint32>());
        item.Font.Family = name(in.get<quint32>());
        item.Font.Size = in.get<double>();
        item.Font.Bold = (flags & isBold) != 0;
        const double x = in.get<double>();
        const double y = in.get<double>();
        const double w = in.get<double>();
        const double h = in.get<double>();
        item.Rect = QRectF(x, y, w, h);
        item.LineWidth = in.get<double>();
        if (flags & hasParts) {
            const quint32 n = in.get<quint32>();
            for (quint32 i = 0; i < n; ++i)
                item.TotalPagesParts << in.text();
            item.Text = item.TotalPagesParts.join(total);
        } else {
            item.Text = in.text();
        }
    }
    return page;
}
