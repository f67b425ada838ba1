#include "template_pictures.h"

#include "resource_ids.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <map>

namespace {

constexpr int kPlaceWidth = 96;
constexpr int kPlaceHeight = 72;

QImage Blank(QColor background)
{
    QImage image(kPlaceWidth, kPlaceHeight, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

// A false-colour scene: cool background, a warm body with a hot core.
QImage InfraredPlaceholder()
{
    QImage image = Blank(QColor(20, 10, 90));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kPlaceHeight);
    sky.setColorAt(0, QColor(30, 0, 110));
    sky.setColorAt(1, QColor(90, 0, 140));
    p.fillRect(image.rect(), sky);
    QRadialGradient body(QPointF(48, 38), 30);
    body.setColorAt(0, QColor(255, 255, 200));
    body.setColorAt(0.25, QColor(255, 200, 0));
    body.setColorAt(0.6, QColor(230, 60, 0));
    body.setColorAt(1, QColor(90, 0, 140, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(QPointF(48, 38), 30, 26);
    // The colour bar at the right edge.
    QLinearGradient bar(0, 4, 0, kPlaceHeight - 4);
    bar.setColorAt(0, Qt::white);
    bar.setColorAt(0.3, QColor(255, 200, 0));
    bar.setColorAt(0.6, QColor(220, 0, 60));
    bar.setColorAt(1, QColor(20, 0, 80));
    p.fillRect(QRect(kPlaceWidth - 9, 4, 5, kPlaceHeight - 8), bar);
    return image;
}

// A visible-light scene: sky, hills and a sun.
QImage PhotoPlaceholder()
{
    QImage image = Blank(QColor(150, 200, 240));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 60));
    p.drawEllipse(QPointF(72, 18), 8, 8);
    QPainterPath hills;
    hills.moveTo(0, 52);
    hills.cubicTo(20, 34, 40, 40, 56, 50);
    hills.cubicTo(70, 42, 84, 40, 96, 46);
    hills.lineTo(96, 72);
    hills.lineTo(0, 72);
    hills.closeSubpath();
    p.setBrush(QColor(70, 140, 60));
    p.drawPath(hills);
    return image;
}

void Axes(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(10, 6, 10, kPlaceHeight - 10);
    p.drawLine(10, kPlaceHeight - 10, kPlaceWidth - 6, kPlaceHeight - 10);
}

// A temperature curve along a line.
QImage ProfilePlaceholder()
{
    QImage image = Blank(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Axes(p);
    QPainterPath curve;
    for (int x = 11; x < kPlaceWidth - 6; ++x) {
        const double y = 36 - 18 * std::sin((x - 11) / 12.0) * std::exp(-(x - 40) * (x - 40) / 900.0);
        if (x == 11)
            curve.moveTo(x, y);
        else
            curve.lineTo(x, y);
    }
    p.setPen(QPen(QColor(200, 0, 0), 1.5));
    p.drawPath(curve);
    return image;
}

// Bars of a temperature histogram.
QImage HistogramPlaceholder()
{
    QImage image = Blank(Qt::white);
    QPainter p(&image);
    Axes(p);
    constexpr int kHeights[] = {6, 14, 28, 40, 46, 36, 22, 12, 8, 4};
    for (int i = 0; i < 10; ++i)
        p.fillRect(QRect(13 + i * 8, kPlaceHeight - 11 - kHeights[i], 6, kHeights[i]), QColor(40, 90, 200));
    return image;
}

// A temperature over time: a stepped trace with its points.
QImage TimeProfilePlaceholder()
{
    QImage image = Blank(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Axes(p);
    constexpr int kValues[] = {44, 40, 42, 30, 26, 28, 18, 22, 16};
    p.setPen(QPen(QColor(0, 130, 60), 1.5));
    for (int i = 0; i + 1 < 9; ++i)
        p.drawLine(14 + i * 9, kValues[i], 14 + (i + 1) * 9, kValues[i + 1]);
    p.setBrush(QColor(0, 130, 60));
    for (int i = 0; i < 9; ++i)
        p.drawEllipse(QPointF(14 + i * 9, kValues[i]), 1.5, 1.5);
    return image;
}

// A surface seen from above at an angle: a coloured wire grid.
QImage MapPlaceholder()
{
    QImage image = Blank(QColor(235, 235, 235));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const auto at = [](int i, int j) {
        const double h = 14 * std::exp(-((i - 5) * (i - 5) + (j - 5) * (j - 5)) / 8.0);
        return QPointF(20 + i * 6 + j * 3, 60 - j * 4 - h);
    };
    for (int j = 0; j <= 10; ++j) {
        for (int i = 0; i < 10; ++i) {
            const int heat = int(255 * std::exp(-((i - 5) * (i - 5) + (j - 5) * (j - 5)) / 8.0));
            p.setPen(QPen(QColor(heat, 40, 255 - heat), 1));
            p.drawLine(at(i, j), at(i + 1, j));
            if (j < 10)
                p.drawLine(at(i, j), at(i, j + 1));
        }
    }
    return image;
}

// The wizard's header: a blue band fading to white, with a thermometer.
QImage WizardHeader()
{
    QImage image(800, 33, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient band(0, 0, 800, 0);
    band.setColorAt(0, QColor(214, 228, 247));
    band.setColorAt(1, Qt::white);
    p.fillRect(image.rect(), band);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(760.5, 4.5, 7, 20), 3.5, 3.5);
    p.setBrush(QColor(210, 30, 30));
    p.drawEllipse(QPointF(764, 26), 5, 5);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(762.5, 12, 3, 12));
    p.setPen(QPen(QColor(160, 180, 210), 1));
    p.drawLine(0, 32, 799, 32);
    return image;
}

QImage Make(int id)
{
    switch (id) {
    case res::IDB_WIZARD_HEADER: return WizardHeader();
    case res::IDB_PLACE_PROFILE: return ProfilePlaceholder();
    case res::IDB_PLACE_HISTOGRAM: return HistogramPlaceholder();
    case res::IDB_PLACE_TIME_PROFILE: return TimeProfilePlaceholder();
    case res::IDB_PLACE_IR: return InfraredPlaceholder();
    case res::IDB_PLACE_PHOTO: return PhotoPlaceholder();
    case res::IDB_PLACE_3D_MAP: return MapPlaceholder();
    default: return {};
    }
}

} // namespace

const QImage& TemplatePicture(int id)
{
    static std::map<int, QImage> pictures;
    auto it = pictures.find(id);
    if (it == pictures.end())
        it = pictures.emplace(id, Make(id)).first;
    return it->second;
}
