#pragma once

#include "platform/report/prepared_report.h"

#include <QByteArray>
#include <QHash>

#include <memory>
#include <vector>

class QTemporaryFile;

// The built pages of a report, kept packed: the first megabyte in memory, the rest in a
// temporary file that goes with the cache. What stays in memory for each page is where it
// lies. Texts with [TotalPages#] are kept in pieces and joined with the number of pages
// whenever a page is handed out, so pages can be added before that number is known.
class PageCache : public PageSource {
public:
    PageCache();
    ~PageCache() override;
    PageCache(const PageCache&) = delete;
    PageCache& operator=(const PageCache&) = delete;

    // Forgets every page; the temporary file goes.
    void Clear();
    // Raises EReportError when the temporary file cannot be written.
    void Add(const PreparedPage& page);

    int Count() const override { return static_cast<int>(pages_.size()); }
    // Raises EReportError when the temporary file cannot be read.
    PreparedPage Page(int index) const override;

private:
    struct Span {
        qint64 offset;
        qint64 size;
    };

    quint32 intern(const String& text);
    void flush();

    std::vector<Span> pages_;
    // Pages packed but not yet in the file; they follow its flushed_ bytes.
    QByteArray pending_;
    qint64 flushed_ = 0;
    std::unique_ptr<QTemporaryFile> file_;
    // Names of bands and objects and font families, each kept once; 0 is the empty text.
    std::vector<String> names_;
    QHash<String, quint32> ids_;
    quint32 last_ = 0;
    mutable QByteArray read_;
};
