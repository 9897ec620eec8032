// The pictures of the main window's commands, drawn rather than loaded, so the program needs
// no image files beside it.
#include "ui/main_frm_images.h"

#include "platform/vcl/image_list.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

const QColor kInk(0x33, 0x44, 0x55);

void page(QPainter& p, const QColor& fill = Qt::white)
{
    QPainterPath path;
    path.moveTo(3, 1);
    path.lineTo(10, 1);
    path.lineTo(13, 4);
    path.lineTo(13, 15);
    path.lineTo(3, 15);
    path.closeSubpath();
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(10, 1), QPointF(10, 4));
    p.drawLine(QPointF(10, 4), QPointF(13, 4));
}

void lines(QPainter& p)
{
    p.setPen(QPen(QColor(0x99, 0xaa, 0xbb), 0.8));
    for (double y : {6.0, 8.0, 10.0})
        p.drawLine(QPointF(5, y), QPointF(11, y));
}

void plus(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x9e, 0x3a));
    p.drawEllipse(QPointF(11.5, 11.5), 4, 4);
    p.setPen(QPen(Qt::white, 1.6));
    p.drawLine(QPointF(9.3, 11.5), QPointF(13.7, 11.5));
    p.drawLine(QPointF(11.5, 9.3), QPointF(11.5, 13.7));
}

void pencil(QPainter& p)
{
    p.setPen(QPen(QColor(0xe0, 0x8a, 0x1e), 2.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(14.5, 5.5), QPointF(7.5, 12.5));
    p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.2, 12.8), QPointF(6, 14));
}

void badge(QPainter& p, const QColor& colour, const QString& glyph)
{
    p.setPen(QPen(colour.darker(130), 0.8));
    p.setBrush(colour);
    p.drawEllipse(QPointF(8, 8), 7, 7);
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    f.setBold(true);
    f.setPixelSize(11);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, glyph);
}

void tag(QPainter& p, double dx = 0, double dy = 0, double scale = 1)
{
    p.save();
    p.translate(dx, dy);
    p.scale(scale, scale);
    QPainterPath path;
    path.moveTo(1, 3);
    path.lineTo(8, 3);
    path.lineTo(15, 9);
    path.lineTo(9, 15);
    path.lineTo(1, 9);
    path.closeSubpath();
    p.setPen(QPen(QColor(0x9a, 0x6a, 0x00), 0.8));
    p.setBrush(QColor(0xf5, 0xc8, 0x3a));
    p.drawPath(path);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(4.5, 6), 1.3, 1.3);
    p.restore();
}

void magnifier(QPainter& p)
{
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(0xd8, 0xec, 0xfb));
    p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
    p.setPen(QPen(QColor(0x6b, 0x44, 0x22), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
}

void draw(QPainter& p, int index)
{
    switch (index) {
    case 0: // new
    case 11:
        page(p);
        lines(p);
        plus(p);
        break;
    case 1: // delete
        page(p);
        lines(p);
        p.setPen(QPen(QColor(0xcc, 0x22, 0x22), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(14, 14));
        p.drawLine(QPointF(14, 8), QPointF(8, 14));
        break;
    case 2: // edit
    case 12:
        page(p);
        lines(p);
        pencil(p);
        break;
    case 3: // info
        badge(p, QColor(0x2f, 0x6f, 0xc8), QStringLiteral("i"));
        break;
    case 4: // help
        badge(p, QColor(0x2f, 0x6f, 0xc8), QStringLiteral("?"));
        break;
    case 5: // category
        tag(p);
        break;
    case 6: { // location
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(QColor(0xf3, 0xe2, 0xc0));
        p.drawRect(QRectF(3.5, 7.5, 9, 7));
        QPainterPath roof;
        roof.moveTo(1.5, 8);
        roof.lineTo(8, 1.5);
        roof.lineTo(14.5, 8);
        roof.closeSubpath();
        p.setBrush(QColor(0xb8, 0x3b, 0x2a));
        p.drawPath(roof);
        p.setBrush(QColor(0x7a, 0x4a, 0x22));
        p.drawRect(QRectF(7, 10.5, 2.5, 4));
        break;
    }
    case 7: { // media type
        QRadialGradient g(QPointF(6, 6), 8);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, QColor(0xa9, 0xb4, 0xc2));
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(g);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 2, 2);
        break;
    }
    case 8: // close
        p.setPen(QPen(QColor(0x99, 0x11, 0x11), 0.8));
        p.setBrush(QColor(0xd9, 0x33, 0x2b));
        p.drawEllipse(QPointF(8, 8), 7, 7);
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4.5, 8, 8), 120 * 16, 300 * 16);
        p.drawLine(QPointF(8, 3), QPointF(8, 8));
        break;
    case 9: { // database
        const QColor blue(0x3d, 0x7e, 0xd1);
        p.setPen(QPen(blue.darker(150), 0.8));
        p.setBrush(blue);
        p.drawRect(QRectF(2.5, 3.5, 11, 9));
        p.drawEllipse(QRectF(2.5, 10, 11, 5));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(2.9, 4, 10.2, 8));
        p.setPen(QPen(blue.darker(150), 0.8));
        p.setBrush(blue.lighter(140));
        p.drawEllipse(QRectF(2.5, 1, 11, 5));
        break;
    }
    case 10: // a book
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(QColor(0x3c, 0x8d, 0x5a));
        p.drawRect(QRectF(3, 1.5, 10, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 4, 6, 2.5));
        break;
    case 13: // search
    case 14:
        magnifier(p);
        break;
    case 15: // keyword search
        tag(p, 4, 4, 0.75);
        magnifier(p);
        break;
    case 16: // print
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.setBrush(QColor(0x8a, 0x96, 0xa3));
        p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 10, 8, 4.5));
        p.setPen(QPen(QColor(0x2e, 0x9e, 0x3a), 1.2));
        p.drawPoint(QPointF(12.5, 8));
        break;
    case 17: { // PDF
        page(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xc4, 0x1e, 0x1e));
        p.drawRect(QRectF(1, 8, 14, 6));
        QFont f;
        f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
        f.setBold(true);
        f.setPixelSize(5);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(1, 8, 14, 6), Qt::AlignCenter, QStringLiteral("PDF"));
        break;
    }
    default:
        break;
    }
}

QIcon icon(const std::function<void(QPainter&)>& paint)
{
    QIcon out;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(size / 16.0, size / 16.0);
        paint(p);
        p.end();
        out.addPixmap(pixmap);
    }
    return out;
}

} // namespace

void fill_main_images(TImageList& images)
{
    for (int i = 0; i < kMainImageCount; ++i)
        images.Add(icon([i](QPainter& p) { draw(p, i); }));
}

QIcon main_application_icon()
{
    return icon([](QPainter& p) {
        QLinearGradient g(0, 0, 0, 16);
        g.setColorAt(0, QColor(0x5b, 0x9b, 0xe6));
        g.setColorAt(1, QColor(0x1f, 0x4f, 0x9a));
        p.setPen(QPen(QColor(0x16, 0x3a, 0x72), 0.6));
        p.setBrush(g);
        p.drawEllipse(QPointF(8, 8), 7.5, 7.5);
        const QColor spines[] = {QColor(0xf5, 0xc8, 0x3a), QColor(0xe8, 0x5d, 0x3f),
                                 QColor(0x8f, 0xd1, 0x6a)};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(spines[i]);
            p.drawRect(QRectF(4 + i * 2.8, 4 + (i == 1 ? 1 : 0), 2.4, 8 - (i == 1 ? 1 : 0)));
        }
    });
}
