// Renders an SVG icon to a square PNG of the given size, for the icon theme
// folders an installed program is found by: icon_png in.svg out.png size.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: icon_png in.svg out.png size\n");
        return 2;
    }
    const int size = QByteArray(argv[3]).toInt();
    if (size < 1 || size > 1024) {
        std::fprintf(stderr, "icon_png: size must be 1 to 1024\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "icon_png: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    svg.render(&p, QRectF(0, 0, size, size));
    p.end();
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "icon_png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
