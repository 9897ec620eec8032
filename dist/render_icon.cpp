// Renders the program's icon for the icon theme's fixed sizes at build time:
//   kollektar_render_icon <in.svg> <size> <out.png>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <in.svg> <size> <out.png>\n", argv[0]);
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    const int size = QByteArray(argv[2]).toInt();
    if (!svg.isValid() || size <= 0) {
        std::fprintf(stderr, "%s: cannot render %s at %s\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    svg.render(&p);
    p.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
