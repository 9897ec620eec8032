#include "platform/report/page_builder.h"

#include "platform/report/ean8.h"
#include "platform/rtl/exception.h"

#include <QRegularExpression>

namespace {

const double eps = 1e-6;

// Opens the links that are closed for the time of one build.
class OpenLinks {
public:
    explicit OpenLinks(const std::vector<TfrxDBDataset*>& links)
    {
        for (TfrxDBDataset* link : links)
            if (link && !link->Active() && link->DataSet) {
                link->Open();
                opened_.push_back(link);
            }
    }
    ~OpenLinks()
    {
        for (TfrxDBDataset* link : opened_)
            link->Close();
    }
    OpenLinks(const OpenLinks&) = delete;
    OpenLinks& operator=(const OpenLinks&) = delete;

private:
    std::vector<TfrxDBDataset*> opened_;
};

String bandKindName(BandKind kind)
{
    switch (kind) {
    case BandKind::ReportTitle:
        return QStringLiteral("report title");
    case BandKind::Header:
        return QStringLiteral("header");
    case BandKind::MasterData:
        return QStringLiteral("master data");
    case BandKind::PageFooter:
        return QStringLiteral("page footer");
    }
    return String();
}

} // namespace

PageBuilder::PageBuilder(const ReportPage& page, const std::vector<TfrxDBDataset*>& links,
                         TDateTime date)
    : page_(page), links_(links), date_(DateToStr(date))
{
    title_ = page.Band(BandKind::ReportTitle);
    header_ = page.Band(BandKind::Header);
    data_ = page.Band(BandKind::MasterData);
    footer_ = page.Band(BandKind::PageFooter);
}

void PageBuilder::check() const
{
    for (BandKind kind :
         {BandKind::ReportTitle, BandKind::Header, BandKind::MasterData, BandKind::PageFooter}) {
        int count = 0;
        for (const ReportBand& band : page_.Bands)
            if (band.Kind == kind)
                ++count;
        if (count > 1)
            throw EReportError(QStringLiteral("Page '%1' has more than one %2 band")
                                   .arg(page_.Name, bandKindName(kind)));
    }
    if (data_ && data_->DataSet.isEmpty())
        throw EReportError(QStringLiteral("Band '%1' has no data set").arg(data_->Name));
}

bool PageBuilder::Build(int pagesBefore, const PageSink& sink)
{
    check();
    OpenLinks open(links_);
    sink_ = &sink;
    number_ = pagesBefore;
    progress_ = Progress();
    if (data_)
        progress_.Total = source(data_->DataSet, data_->Name)->RecordCount();
    bool done = true;
    if (page_.DataSet.isEmpty()) {
        done = run();
    } else {
        ReportDataSource* rows = source(page_.DataSet, page_.Name);
        if (!data_)
            progress_.Total = rows->RecordCount();
        rows->First();
        while (done && !rows->Eof()) {
            done = run();
            if (!data_)
                ++progress_.Rows;
            rows->Next();
        }
    }
    sink_ = nullptr;
    return done;
}

bool PageBuilder::run()
{
    newPage();
    if (title_) {
        place(*title_, y_);
        y_ += title_->Height;
    }
    if (data_) {
        ReportDataSource* rows = source(data_->DataSet, data_->Name);
        rows->First();
        bool first = true;
        while (!rows->Eof()) {
            const double need = data_->Height + (first && header_ ? header_->Height : 0.0);
            // A band taller than a whole page still goes on a fresh page, once.
            if (y_ + need > limit() + eps && y_ > page_.TopMargin + eps) {
                if (!finishPage())
                    return false;
                newPage();
            }
            if (first && header_) {
                place(*header_, y_);
                y_ += header_->Height;
            }
            place(*data_, y_);
            y_ += data_->Height;
            ++progress_.Rows;
            first = false;
            rows->Next();
        }
    }
    return finishPage();
}

double PageBuilder::limit() const
{
    return page_.Height() - page_.BottomMargin - (footer_ ? footer_->Height : 0.0);
}

void PageBuilder::newPage()
{
    current_ = PreparedPage();
    current_.PaperWidth = page_.PaperWidth;
    current_.PaperHeight = page_.PaperHeight;
    current_.Orientation = page_.Orientation;
    ++number_;
    y_ = page_.TopMargin;
    for (const ReportObject& object : page_.Objects)
        current_.Items.push_back(
            prepare(object, page_.LeftMargin, page_.TopMargin, -1, page_.Name));
}

bool PageBuilder::finishPage()
{
    if (footer_)
        place(*footer_, limit());
    return (*sink_)(current_, progress_);
}

void PageBuilder::place(const ReportBand& band, double top)
{
    const int index = static_cast<int>(current_.Bands.size());
    current_.Bands.push_back(PreparedBand{band.Name, band.Kind, top, band.Height});
    for (const ReportObject& object : band.Objects)
        current_.Items.push_back(prepare(object, page_.LeftMargin, top, index, band.Name));
}

PreparedItem PageBuilder::prepare(const ReportObject& object, double left, double top, int band,
                                  const String& where)
{
    PreparedItem item;
    item.Kind = object.Kind;
    item.Name = object.Name;
    item.Band = band;
    item.Rect = QRectF(left + object.Left, top + object.Top, object.Width, object.Height);
    item.Font = object.Font;
    item.Align = object.Align;
    item.LineWidth = object.LineWidth;
    if (object.Kind == ObjectKind::Line) {
        item.Rect.setHeight(0.0);
        return item;
    }
    auto pieces = pieces_.find(&object);
    if (pieces == pieces_.end())
        pieces = pieces_.emplace(&object, parse(object.Text, where)).first;
    QStringList parts = evaluate(pieces->second);
    if (object.Kind == ObjectKind::BarCode) {
        if (parts.size() != 1)
            throw EReportError(
                QStringLiteral("Bar code '%1' cannot show [TotalPages#]").arg(object.Name));
        if (Ean8::TooLong(parts.front())) {
            // No symbol holds it: the digits stand as a text in the symbol's place.
            item.Kind = ObjectKind::Text;
            item.Text = std::move(parts.front());
            return item;
        }
        item.Text = Ean8::Digits(parts.front());
        item.Rect.setWidth(Ean8::Width);
    } else if (parts.size() == 1) {
        item.Text = std::move(parts.front());
    } else {
        item.TotalPagesParts = std::move(parts);
    }
    return item;
}

PageBuilder::Pieces PageBuilder::parse(const String& text, const String& where) const
{
    Pieces pieces;
    String literal;
    const auto flush = [&] {
        if (!literal.isEmpty())
            pieces.push_back(Piece{Piece::Literal, literal, nullptr});
        literal.clear();
    };
    const int n = text.size();
    int i = 0;
    while (i < n) {
        if (text[i] != QLatin1Char('[')) {
            literal += text[i++];
            continue;
        }
        int j = i + 1;
        bool quoted = false;
        while (j < n && (quoted || text[j] != QLatin1Char(']'))) {
            if (text[j] == QLatin1Char('"'))
                quoted = !quoted;
            ++j;
        }
        if (j >= n)
            throw EReportError(
                QStringLiteral("Missing ']' in the text '%1' in '%2'").arg(text, where));
        const String expr = text.mid(i + 1, j - i - 1).trimmed();
        flush();
        static const QRegularExpression field(
            QStringLiteral("^(\\w+)\\s*\\.\\s*(?:\"([^\"]*)\"|(\\w+))$"),
            QRegularExpression::UseUnicodePropertiesOption);
        if (expr.compare(QLatin1String("TotalPages#"), Qt::CaseInsensitive) == 0) {
            pieces.push_back(Piece{Piece::TotalPages, String(), nullptr});
        } else if (expr.compare(QLatin1String("Date"), Qt::CaseInsensitive) == 0) {
            pieces.push_back(Piece{Piece::Date, String(), nullptr});
        } else if (expr.compare(QLatin1String("Page#"), Qt::CaseInsensitive) == 0) {
            pieces.push_back(Piece{Piece::PageNumber, String(), nullptr});
        } else {
            const QRegularExpressionMatch m = field.match(expr);
            if (!m.hasMatch())
                throw EReportError(
                    QStringLiteral("Unknown expression '[%1]' in '%2'").arg(expr, where));
            const String name = m.capturedLength(2) > 0 ? m.captured(2) : m.captured(3);
            pieces.push_back(Piece{Piece::Field, name, source(m.captured(1), where)});
        }
        i = j + 1;
    }
    flush();
    return pieces;
}

QStringList PageBuilder::evaluate(const Pieces& pieces) const
{
    const auto value = [this](const Piece& p) -> String {
        switch (p.kind) {
        case Piece::Literal:
            return p.text;
        case Piece::Date:
            return date_;
        case Piece::PageNumber:
            return QString::number(number_);
        case Piece::Field:
            return p.source->FieldAsString(p.text);
        case Piece::TotalPages:
            break;
        }
        return String();
    };
    // Most texts are one field or one literal: no joining.
    if (pieces.size() == 1 && pieces.front().kind != Piece::TotalPages)
        return QStringList{value(pieces.front())};
    QStringList parts;
    String current;
    for (const Piece& p : pieces) {
        if (p.kind == Piece::TotalPages) {
            parts << current;
            current.clear();
        } else {
            current += value(p);
        }
    }
    parts << current;
    return parts;
}

ReportDataSource* PageBuilder::source(const String& userName, const String& where) const
{
    for (TfrxDBDataset* link : links_)
        if (link && link->UserName.compare(userName, Qt::CaseInsensitive) == 0) {
            if (!link->DataSet)
                throw EReportError(
                    QStringLiteral("Data link '%1' has no data set").arg(link->UserName));
            return link->DataSet;
        }
    throw EReportError(QStringLiteral("Unknown data set '%1' in '%2'").arg(userName, where));
}
