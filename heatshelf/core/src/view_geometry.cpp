#include "heatshelf/view_geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace heatshelf {
namespace {

int clampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

int scaled(int v, int pictureWidth, int imageWidth) {
    if (imageWidth <= 0) return 0;
    return clampToInt(int64_t{v} * pictureWidth / imageWidth);
}

// Ticks at the multiples of step in [low, high), at most one a pixel.
template <typename Make>
void ticksAt(double low, double high, double step, const Rect& bar, Make&& make) {
    const double span = high - low;
    double k = std::ceil(low / step);
    for (int made = 0; made < bar.width(); ++made, k += 1.0) {
        const double v = k * step;
        if (!(v < high)) break;
        const int x = bar.left + static_cast<int>(std::clamp((v - low) * bar.width() / span, 0.0,
                                                             static_cast<double>(bar.width())));
        make(x, v);
    }
}

}  // namespace

float TruncateToTenth(float value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e8f) return value;
    return static_cast<float>(static_cast<int>(value * 10.0f) * 0.1);
}

std::optional<Rect> PictureRect(const Rect& client) {
    const int o = std::max(1, static_cast<int>(client.width() * 0.65 - 25));
    const int f = static_cast<int>(client.height() * 0.55 - 25);
    Rect r;
    if (f >= o) {
        r = {client.left + 5, client.top + 5, client.left + o, client.top + static_cast<int>(o * 0.75)};
    } else {
        r = {client.left + 5, client.top + 5, client.left + static_cast<int>(f * 1.3333), client.top + f};
    }
    if (r.isEmpty()) return std::nullopt;
    return r;
}

std::optional<ColourBar> ColourBarFor(const Rect& picture) {
    ColourBar c;
    c.bar = {picture.left + 54, picture.bottom - 25 + 28, picture.right - 57, picture.bottom - 25 + 43};
    c.ticks = c.bar.width() >= 50;
    if (!c.ticks) {
        c.bar.left -= 25;
        c.bar.right += 25;
    }
    if (c.bar.width() < 2) return std::nullopt;
    return c;
}

int BarPaletteIndex(int x, const Rect& bar, bool invert) {
    const int64_t d = bar.width() - 1;
    if (d < 1) return 0;
    const int64_t i = invert ? 255 + (int64_t{bar.left} - x + 1) * 256 / d : (int64_t{x} - bar.left - 1) * 256 / d;
    return static_cast<int>(std::clamp<int64_t>(i, 0, 255));
}

std::optional<TickSteps> TickStepsFor(double span, int barWidth) {
    TickSteps s;
    s.n = barWidth / 50;
    if (s.n <= 0 || !(span > 0) || !std::isfinite(span)) return std::nullopt;
    s.a = span / s.n;
    if (s.a >= 12) {
        s.label = 20;
        s.minor = 4;
    } else if (s.a >= 7) {
        s.label = 10;
        s.minor = 2;
    } else if (s.a >= 4) {
        s.label = 5;
        s.minor = 1;
    } else if (s.a >= 2) {
        s.label = 2;
        s.minor = 0.5;
    } else {
        s.label = 1;
        s.minor = s.a > 0.8 ? 0.2 : 0.1;
    }
    return s;
}

Scale ScaleFor(float low, float high, const Rect& bar, const QString& unit,
               const std::function<int(const QString&)>& textWidth) {
    Scale s;
    if (!std::isfinite(low) || !std::isfinite(high)) return s;
    s.lowText = QString::asprintf("%5.1f", static_cast<double>(low)) + unit;
    s.highText = QString::asprintf("%5.1f", static_cast<double>(high)) + unit;
    // Six pixels a character; a font wider than that moves the label further
    // left, so that it never runs into the bar.
    s.lowAt = QPoint(std::min(bar.left - 6 * static_cast<int>(s.lowText.size()), bar.left - textWidth(s.lowText)),
                     bar.top);
    s.highAt = QPoint(bar.right + 3, bar.top);
    s.lineY = bar.bottom + 3;
    const double lo = low;
    const double hi = high;
    const std::optional<TickSteps> steps = TickStepsFor(hi - lo, bar.width());
    if (!steps) return s;

    bool anyLabel = false;
    int lastRight = 0;
    ticksAt(lo, hi, steps->label, bar, [&](int x, double v) {
        Tick t{x, bar.bottom + 3, bar.bottom + 11, {}, {}, false};
        t.label = QString::number(std::trunc(v) + 0.0, 'f', 0);
        t.labelAt = QPoint(x - 3 * static_cast<int>(t.label.size()), bar.bottom + 12);
        if (!anyLabel || t.labelAt.x() > lastRight + 2) {
            t.labelShown = true;
            anyLabel = true;
            lastRight = t.labelAt.x() + textWidth(t.label);
        }
        s.major.push_back(std::move(t));
    });
    ticksAt(lo, hi, steps->minor, bar,
            [&](int x, double) { s.minor.push_back(Tick{x, bar.bottom + 3, bar.bottom + 6, {}, {}, false}); });
    return s;
}

int MarkArm(int pictureWidth) { return static_cast<int>(pictureWidth * 0.025); }

QPoint MapToPicture(const Rect& picture, int imageWidth, int x, int y) {
    const int w = picture.width();
    return QPoint(clampToInt(int64_t{picture.left} + scaled(x, w, imageWidth)),
                  clampToInt(int64_t{picture.top} + scaled(y, w, imageWidth)));
}

std::vector<Mark> StoredMarks(const Rect& picture, int imageWidth, const IfrPointInfo points[4],
                              const IfrRectInfo rects[3], const IfrLineInfo lines[3]) {
    std::vector<Mark> marks;
    const auto at = [&](int x, int y) { return MapToPicture(picture, imageWidth, x, y); };
    const QPoint textOffset(2, 2);
    for (int i = 0; i < 4; ++i) {
        if (points[i].state == 2) continue;
        const QPoint p = at(points[i].x, points[i].y);
        marks.push_back({Mark::Numbered, p, p, i + 1, p + textOffset});
    }
    for (int i = 0; i < 3; ++i) {
        const IfrRectInfo& r = rects[i];
        if (r.state == 2) continue;
        const QPoint a = at(r.x, r.y);
        const QPoint b = at(r.x + r.width, r.y + r.height);
        marks.push_back({Mark::Box, a, b, i + 1, b + textOffset});
        const QPoint m = at(r.markX, r.markY);
        marks.push_back({Mark::Cross, m, m, 0, {}});
    }
    int drawn = 0;
    for (int i = 0; i < 3; ++i) {
        const IfrLineInfo& l = lines[i];
        if (l.state == 2) continue;
        const QPoint a = at(l.x1, l.y1);
        const QPoint b = at(l.x2, l.y2);
        const QPoint m = at(l.markX, l.markY);
        marks.push_back({Mark::Cross, m, m, 0, {}});
        marks.push_back({Mark::Segment, a, b, ++drawn, b + textOffset});
    }
    return marks;
}

Rect BoardOnPicture(const Rect& picture, int imageWidth, const int board[4]) {
    const QPoint a = MapToPicture(picture, imageWidth, board[0], board[1]);
    const QPoint b = MapToPicture(picture, imageWidth, board[2], board[3]);
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
}

int ThumbColumns(int clientWidth) { return std::max(1, clientWidth / 100); }

Rect ThumbCell(int index, int columns) {
    const int c = std::max(1, columns);
    const int x = index % c * 100;
    const int y = index / c * 70;
    return {x, y, x + 100, y + 70};
}

int ThumbAt(QPoint p, int count, int columns, bool doubleClick) {
    if (p.x() < 0 || p.y() < 0) return -1;
    const int c = std::max(1, columns);
    const int col = p.x() / 100;
    if (col >= c) return -1;
    const int64_t index = int64_t{p.y() / 70} * c + col;
    if (index >= count) return -1;
    const Rect cell = ThumbCell(static_cast<int>(index), c);
    const Rect area = doubleClick ? ThumbOpenRect(cell) : ThumbSelectionRect(cell);
    return area.contains(p) ? static_cast<int>(index) : -1;
}

QSize ThumbScrollSize(int clientWidth, int count) {
    const int c = ThumbColumns(clientWidth);
    return QSize(clientWidth, count / c * 70 + 70);
}

QString ThumbLabel(const QString& name) {
    // Counted in characters: a pair of surrogates is one.
    qsizetype cut = -1;
    int characters = 0;
    for (qsizetype i = 0; i < name.size(); ++characters) {
        if (characters == 10) cut = i;
        const bool pair = name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate();
        i += pair ? 2 : 1;
    }
    if (characters <= 13) return name;
    return name.left(cut) + QStringLiteral("...");
}

}  // namespace heatshelf
