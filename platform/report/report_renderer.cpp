#include "platform/report/report_renderer.h"

#include "platform/report/ean8.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include <cmath>
#include <deque>

namespace {

// Text is laid out at this fixed resolution, so that line breaks and glyph positions do not
// depend on the device; one unit is 0.01 mm.
const double unitsPerMm = 100.0;

QPaintDevice* layoutDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.setDotsPerMeterX(static_cast<int>(unitsPerMm * 1000.0));
        image.setDotsPerMeterY(static_cast<int>(unitsPerMm * 1000.0));
        return image;
    }();
    return &device;
}

void substituteFonts()
{
    static const bool done = [] {
        if (!QFontDatabase::hasFamily(QStringLiteral("Arial")))
            QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"),
                                                                 QStringLiteral("Arimo")});
        return true;
    }();
    (void)done;
}

QRectF units(const QRectF& mm)
{
    return QRectF(mm.x() * unitsPerMm, mm.y() * unitsPerMm, mm.width() * unitsPerMm,
                  mm.height() * unitsPerMm);
}

Qt::Alignment alignment(HAlign align)
{
    switch (align) {
    case HAlign::Left:
        return Qt::AlignLeft;
    case HAlign::Center:
        return Qt::AlignHCenter;
    case HAlign::Right:
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

// The ink of glyphs, asked of each font once per glyph: a report shows the same few glyphs
// over and over.
class GlyphInk {
public:
    QRectF Of(const QRawFont& font, quint32 glyph)
    {
        Cache* cache = nullptr;
        for (Cache& c : caches_)
            if (c.font == font) {
                cache = &c;
                break;
            }
        if (!cache) {
            caches_.push_back(Cache{font, {}});
            cache = &caches_.back();
        }
        const auto found = cache->inks.constFind(glyph);
        if (found != cache->inks.constEnd())
            return *found;
        const QRectF ink = font.boundingRect(glyph);
        cache->inks.insert(glyph, ink);
        return ink;
    }

private:
    struct Cache {
        QRawFont font;
        QHash<quint32, QRectF> inks;
    };
    std::deque<Cache> caches_;
};

GlyphInk& glyphInk()
{
    static GlyphInk ink;
    return ink;
}

// Whether every device pixel that the lines' ink may touch lies wholly inside the box drawn
// at its place, so that a clip to the box would leave every pixel as it is.
bool inkInside(const QPainter& painter, const QTextLayout& layout, int lines, const QRectF& box)
{
    const QTransform toDevice = painter.combinedTransform();
    const QRectF outer = toDevice.mapRect(box);
    const QRectF inner(QPointF(std::ceil(outer.left()), std::ceil(outer.top())),
                       QPointF(std::floor(outer.right()), std::floor(outer.bottom())));
    for (int i = 0; i < lines; ++i)
        for (const QGlyphRun& run : layout.lineAt(i).glyphRuns()) {
            const QRawFont font = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype g = 0; g < glyphs.size() && g < positions.size(); ++g) {
                const QRectF ink = glyphInk().Of(font, glyphs[g]);
                if (ink.isEmpty())
                    continue;
                const QRectF r = toDevice.mapRect(ink.translated(positions[g] + box.topLeft()));
                // One pixel more on every side: glyph images are placed to whole pixels.
                const QRectF pixels(QPointF(std::floor(r.left()) - 1, std::floor(r.top()) - 1),
                                    QPointF(std::ceil(r.right()) + 1, std::ceil(r.bottom()) + 1));
                if (!inner.contains(pixels))
                    return false;
            }
        }
    return true;
}

// Lays the text out in lines of the box's width, breaking at word boundaries (inside a word
// only when the word alone is wider than the box), and draws the lines that fit the box's
// height, the first one in any case; the clip cuts whatever would cross the box's edges. It is
// left out where it would change nothing: a clip is costly in a PDF.
void drawBoxText(QPainter& painter, const String& text, const QFont& font, const QRectF& box,
                 Qt::Alignment align)
{
    if (text.isEmpty() || box.width() <= 0 || box.height() <= 0)
        return;
    String shown = text;
    shown.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
    shown.replace(QLatin1Char('\r'), QChar::LineSeparator);

    QTextLayout layout(shown, font, layoutDevice());
    QTextOption option(align | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    int shownLines = 0;
    double y = 0.0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(box.width());
        line.setPosition(QPointF(0.0, y));
        if (shownLines > 0 && y + line.height() > box.height() + 1e-6)
            break;
        y += line.height();
        ++shownLines;
    }
    layout.endLayout();

    // The pen is black already (DrawPage); the painter's state changes only for a clip.
    const bool clip = !inkInside(painter, layout, shownLines, box);
    if (clip) {
        painter.save();
        // Without a clip of the caller's there is nothing to intersect with.
        painter.setClipRect(box, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    for (int i = 0; i < shownLines; ++i)
        layout.lineAt(i).draw(&painter, box.topLeft());
    if (clip)
        painter.restore();
}

} // namespace

namespace {

// The fonts made so far: as asked for, and resolved for the layout device, each with the font
// engine it has found. A report has few fonts and draws thousands of texts in them.
struct MadeFont {
    ReportFont font;
    QFont made;
    QFont forLayout;
};

const MadeFont& madeFont(const ReportFont& font)
{
    static std::deque<MadeFont> fonts;
    for (const MadeFont& m : fonts)
        if (m.font.Size == font.Size && m.font.Bold == font.Bold && m.font.Family == font.Family)
            return m;
    substituteFonts();
    QFont f(font.Family);
    f.setPointSizeF(font.Size);
    f.setBold(font.Bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    fonts.push_back(MadeFont{font, f, QFont(f, layoutDevice())});
    return fonts.back();
}

// The font that texts are laid out in.
QFont layoutFont(const ReportFont& font)
{
    return madeFont(font).forLayout;
}

} // namespace

QFont ReportRenderer::Font(const ReportFont& font)
{
    return madeFont(font).made;
}

void ReportRenderer::DrawPage(QPainter& painter, const PreparedPage& page)
{
    QPaintDevice* device = painter.device();
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(Qt::black);
    painter.scale(device->logicalDpiX() / 25.4 / unitsPerMm,
                  device->logicalDpiY() / 25.4 / unitsPerMm);
    for (const PreparedItem& item : page.Items) {
        switch (item.Kind) {
        case ObjectKind::Text:
            drawText(painter, item);
            break;
        case ObjectKind::Line:
            drawLine(painter, item);
            break;
        case ObjectKind::BarCode:
            drawBarCode(painter, item);
            break;
        }
    }
    painter.restore();
}

QImage ReportRenderer::PageImage(const PreparedPage& page, double dpi)
{
    const double pxPerMm = dpi / 25.4;
    QImage image(static_cast<int>(std::ceil(page.Width() * pxPerMm)),
                 static_cast<int>(std::ceil(page.Height() * pxPerMm)), QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(std::lround(pxPerMm * 1000.0)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(pxPerMm * 1000.0)));
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawPage(painter, page);
    painter.end();
    return image;
}

void ReportRenderer::drawText(QPainter& painter, const PreparedItem& item)
{
    drawBoxText(painter, item.Text, layoutFont(item.Font), units(item.Rect), alignment(item.Align));
}

void ReportRenderer::drawLine(QPainter& painter, const PreparedItem& item)
{
    const QRectF r = units(item.Rect);
    QPen pen(Qt::black);
    pen.setWidthF(item.LineWidth * unitsPerMm);
    pen.setCapStyle(Qt::FlatCap);
    painter.save();
    painter.setPen(pen);
    painter.drawLine(QPointF(r.left(), r.top()), QPointF(r.right(), r.top()));
    painter.restore();
}

void ReportRenderer::drawBarCode(QPainter& painter, const PreparedItem& item)
{
    const std::array<bool, Ean8::Modules> modules = Ean8::Encode(item.Text);
    const QRectF r = units(item.Rect);
    const double module = Ean8::ModuleWidth * unitsPerMm;
    const QFont font = layoutFont(item.Font);

    // The digits take one line under the bars; the guards reach half way down into it.
    const double textHeight = QFontMetricsF(font, layoutDevice()).height();
    const double barHeight = std::max(0.0, r.height() - textHeight);
    const double guardHeight = std::min(r.height(), barHeight + textHeight / 2.0);

    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    int m = 0;
    while (m < Ean8::Modules) {
        if (!modules[m]) {
            ++m;
            continue;
        }
        int end = m;
        while (end < Ean8::Modules && modules[end])
            ++end;
        const double h = Ean8::IsGuard(m) ? guardHeight : barHeight;
        painter.drawRect(QRectF(r.left() + m * module, r.top(), (end - m) * module, h));
        m = end;
    }
    painter.restore();

    const QRectF left(r.left() + 3 * module, r.top() + barHeight, 28 * module, textHeight);
    const QRectF right(r.left() + 36 * module, r.top() + barHeight, 28 * module, textHeight);
    drawBoxText(painter, item.Text.left(4), font, left, Qt::AlignHCenter);
    drawBoxText(painter, item.Text.mid(4), font, right, Qt::AlignHCenter);
}
