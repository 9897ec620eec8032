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

void PageBuilder::Build(PreparedReport& report)
{
    check();
    OpenLinks open(links_);
    pages_ = &report.Pages;
    if (page_.DataSet.isEmpty()) {
        run();
    } else {
        ReportDataSource* rows = source(page_.DataSet, page_.Name);
        rows->First();
        while (!rows->Eof()) {
            run();
            rows->Next();
        }
    }
    const String total = QString::number(report.Pages.size());
    for (PreparedPage& p : report.Pages)
        for (PreparedItem& item : p.Items)
            if (!item.TotalPagesParts.isEmpty())
                item.Text = item.TotalPagesParts.join(total);
    pages_ = nullptr;
}

void PageBuilder::run()
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
                finishPage();
                newPage();
            }
            if (first && header_) {
                place(*header_, y_);
                y_ += header_->Height;
            }
            place(*data_, y_);
            y_ += data_->Height;
            first = false;
            rows->Next();
        }
    }
    finishPage();
}

double PageBuilder::limit() const
{
    return page_.Height() - page_.BottomMargin - (footer_ ? footer_->Height : 0.0);
}

void PageBuilder::newPage()
{
    PreparedPage p;
    p.PaperWidth = page_.PaperWidth;
    p.PaperHeight = page_.PaperHeight;
    p.Orientation = page_.Orientation;
    pages_->push_back(p);
    y_ = page_.TopMargin;
    for (const ReportObject& object : page_.Objects)
        pages_->back().Items.push_back(prepare(object, page_.LeftMargin, page_.TopMargin, -1));
}

void PageBuilder::finishPage()
{
    if (footer_)
        place(*footer_, limit());
}

void PageBuilder::place(const ReportBand& band, double top)
{
    PreparedPage& p = pages_->back();
    const int index = static_cast<int>(p.Bands.size());
    p.Bands.push_back(PreparedBand{band.Name, band.Kind, top, band.Height});
    for (const ReportObject& object : band.Objects)
        p.Items.push_back(prepare(object, page_.LeftMargin, top, index));
}

PreparedItem PageBuilder::prepare(const ReportObject& object, double left, double top, int band)
{
    const String where = band >= 0 ? pages_->back().Bands[band].Name : page_.Name;
    PreparedItem item;
    item.Kind = object.Kind;
    item.Name = object.Name;
    item.Band = band;
    item.Rect = QRectF(left + object.Left, top + object.Top, object.Width, object.Height);
    item.Font = object.Font;
    item.Align = object.Align;
    item.LineWidth = object.LineWidth;
    switch (object.Kind) {
    case ObjectKind::Text: {
        const QStringList parts = evaluate(object.Text, where);
        if (parts.size() == 1)
            item.Text = parts.front();
        else
            item.TotalPagesParts = parts;
        break;
    }
    case ObjectKind::BarCode: {
        const QStringList parts = evaluate(object.Text, where);
        if (parts.size() != 1)
            throw EReportError(
                QStringLiteral("Bar code '%1' cannot show [TotalPages#]").arg(object.Name));
        item.Text = Ean8::Digits(parts.front());
        item.Rect.setWidth(Ean8::Width);
        break;
    }
    case ObjectKind::Line:
        item.Rect.setHeight(0.0);
        break;
    }
    return item;
}

QStringList PageBuilder::evaluate(const String& text, const String& where)
{
    QStringList parts;
    String current;
    const int n = text.size();
    int i = 0;
    while (i < n) {
        if (text[i] != QLatin1Char('[')) {
            current += text[i++];
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
        if (expr.compare(QLatin1String("TotalPages#"), Qt::CaseInsensitive) == 0) {
            parts << current;
            current.clear();
        } else {
            current += expression(expr, where);
        }
        i = j + 1;
    }
    parts << current;
    return parts;
}

String PageBuilder::expression(const String& expr, const String& where)
{
    if (expr.compare(QLatin1String("Date"), Qt::CaseInsensitive) == 0)
        return date_;
    if (expr.compare(QLatin1String("Page#"), Qt::CaseInsensitive) == 0)
        return QString::number(pages_->size());
    static const QRegularExpression field(
        QStringLiteral("^(\\w+)\\s*\\.\\s*(?:\"([^\"]*)\"|(\\w+))$"),
        QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch m = field.match(expr);
    if (!m.hasMatch())
        throw EReportError(QStringLiteral("Unknown expression '[%1]' in '%2'").arg(expr, where));
    const String name = m.capturedLength(2) > 0 ? m.captured(2) : m.captured(3);
    return source(m.captured(1), where)->FieldAsString(name);
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
