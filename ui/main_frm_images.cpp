// The pictures of the main window's commands are SVG files among the program's resources
// (ui/images), drawn on a grid of 16 x 16; each is rendered at 16 and at 32 pixels for
// screens that scale.
#include "ui/main_frm_images.h"

#include "platform/vcl/image_list.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

// By index of the image list; the same command in the ribbon and in the quick access toolbar
// shows the same picture.
const char* const kImages[kMainImageCount] = {
    "new",            // 0
    "delete",         // 1
    "edit",           // 2
    "info",           // 3
    "help",           // 4
    "category",       // 5
    "location",       // 6
    "media_type",     // 7
    "close",          // 8
    "database",       // 9
    "book",           // 10
    "new",            // 11
    "edit",           // 12
    "search",         // 13
    "search",         // 14
    "keyword_search", // 15
    "print",          // 16
    "pdf",            // 17
};

QIcon icon(const char* name)
{
    QSvgRenderer svg(QStringLiteral(":/ui/images/%1.svg").arg(QLatin1String(name)));
    QIcon out;
    if (!svg.isValid())
        return out;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        svg.render(&p);
        p.end();
        out.addPixmap(pixmap);
    }
    return out;
}

} // namespace

void fill_main_images(TImageList& images)
{
    for (const char* name : kImages)
        images.Add(icon(name));
}

QIcon main_application_icon()
{
    return icon("kollektar");
}
