#include "skin/gradient.h"

#include "skin/colors.h"

#include <QImage>
#include <QPainter>

#include <array>

namespace skin {

namespace {

struct Channels {
    std::array<int, 3> v;
};

Channels split(COLORREF c) { return {{GetRValue(c), GetGValue(c), GetBValue(c)}}; }

COLORREF join(const Channels& c) { return RGB(c.v[0], c.v[1], c.v[2]); }

// The steps of the three channels over n lines.
std::array<float, 3> steps(const Channels& from, const Channels& to, int n)
{
    std::array<float, 3> s{};
    for (std::size_t k = 0; k < 3; ++k)
        s[k] = static_cast<float>(to.v[k] - from.v[k]) / static_cast<float>(n);
    return s;
}

int offset(int i, float step) { return static_cast<int>(static_cast<float>(i) * step); }

template <typename F>
std::vector<COLORREF> perLine(int n, F channelOfLine)
{
    std::vector<COLORREF> lines;
    if (n <= 0)
        return lines;
    lines.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        Channels c{};
        for (std::size_t k = 0; k < 3; ++k)
            c.v[k] = channelOfLine(i, k);
        lines.push_back(join(c));
    }
    return lines;
}

QImage bandImage(int w, int h) { return QImage(w, h, QImage::Format_RGB32); }

void drawBand(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to, bool columns,
              Gradient kind)
{
    if (dc == nullptr || !dc->isActive() || right <= left || bottom <= top)
        return;
    QImage band = bandImage(right - left, bottom - top);
    PaintGradient(band, band.rect(), from, to, columns, kind);
    dc->drawImage(left, top, band);
}

} // namespace

std::vector<COLORREF> LinearGradientLines(int n, COLORREF from, COLORREF to)
{
    const Channels f = split(from);
    const std::array<float, 3> s = steps(f, split(to), n);
    return perLine(n, [&](int i, std::size_t k) { return f.v[k] + offset(i, s[k]); });
}

std::vector<COLORREF> GradientRectLines(int n, COLORREF from, COLORREF to)
{
    const Channels f = split(from);
    const Channels t = split(to);
    const std::array<float, 3> s = steps(f, t, n);
    const bool falls = s[0] < -1.0f || s[1] < -1.0f || s[2] < -1.0f;
    const int half = n / 2;
    return perLine(n, [&](int i, std::size_t k) {
        if (!falls || i <= half)
            return f.v[k] + offset(i, s[k]);
        return t.v[k] - offset(i - half, s[k]);
    });
}

std::vector<COLORREF> ButtonFaceRows(int n, COLORREF from, COLORREF to)
{
    const Channels f = split(from);
    const Channels t = split(to);
    const std::array<float, 3> s = steps(f, t, 2 * n);
    const int rise = n / 3 - 2;
    // T: the linear value of the last rising row; a face too low to have
    // one turns at the start colour.
    Channels turn = f;
    if (rise > 0) {
        for (std::size_t k = 0; k < 3; ++k)
            turn.v[k] = f.v[k] + offset(rise - 1, s[k]);
    }
    return perLine(n, [&](int i, std::size_t k) {
        const int c = f.v[k] + offset(i, s[k]);
        return i < rise ? 2 * c - f.v[k] : t.v[k] + turn.v[k] - c;
    });
}

std::vector<COLORREF> GlossRows(int n, COLORREF from, COLORREF to)
{
    const Channels f = split(from);
    const Channels t = split(to);
    const std::array<float, 3> s = steps(f, t, n);
    const int sixth = n / 6;
    const int third = n / 3;
    Channels turn = f;
    if (third > sixth) {
        for (std::size_t k = 0; k < 3; ++k)
            turn.v[k] = f.v[k] + offset(third - 1, s[k]);
    }
    return perLine(n, [&](int i, std::size_t k) {
        const int c = f.v[k] + offset(i, s[k]);
        if (i < sixth)
            return 3 * c - 2 * f.v[k];
        if (i < third)
            return 2 * c - f.v[k];
        if (i == n - 2)
            return t.v[k];
        if (i == n - 1)
            return f.v[k];
        return t.v[k] + turn.v[k] - c;
    });
}

std::vector<COLORREF> SoftGlossRows(int n, COLORREF from, COLORREF to)
{
    const Channels f = split(from);
    const Channels t = split(to);
    const std::array<float, 3> s = steps(f, t, 2 * n);
    const int start = n / 3;
    const int rise = n / 3 - 2;
    Channels turn = f;
    if (rise > 0) {
        for (std::size_t k = 0; k < 3; ++k)
            turn.v[k] = f.v[k] + offset(start + rise - 1, s[k]);
    }
    return perLine(n, [&](int i, std::size_t k) {
        const int c = f.v[k] + offset(start + i, s[k]);
        return i < rise ? 2 * c - f.v[k] : turn.v[k] + t.v[k] - c;
    });
}

std::vector<COLORREF> GradientBarLines(int n, COLORREF from, COLORREF to)
{
    const Channels f = split(from);
    const Channels t = split(to);
    return perLine(n, [&](int i, std::size_t k) { return f.v[k] + i * (t.v[k] - f.v[k]) / n; });
}

void FillLines(QImage& image, const QRect& r, const std::vector<COLORREF>& lines, bool columns)
{
    const QRect area = r.intersected(image.rect());
    if (area.isEmpty())
        return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (!columns) {
            const std::size_t i = std::size_t(y - r.top());
            if (i >= lines.size())
                break;
            const QRgb c = ToQRgb(lines[i]);
            std::fill(row + area.left(), row + area.right() + 1, c);
            continue;
        }
        for (int x = area.left(); x <= area.right(); ++x) {
            const std::size_t i = std::size_t(x - r.left());
            if (i < lines.size())
                row[x] = ToQRgb(lines[i]);
        }
    }
}

void PaintGradient(QImage& image, const QRect& r, COLORREF from, COLORREF to, bool columns, Gradient kind)
{
    if (r.isEmpty())
        return;
    const int n = columns ? r.width() : r.height();
    std::vector<COLORREF> lines;
    // Columns of the button face and the gloss are plain linear blends.
    if (columns && (kind == Gradient::ButtonFace || kind == Gradient::Gloss || kind == Gradient::SoftGloss))
        kind = Gradient::Linear;
    switch (kind) {
    case Gradient::Linear: lines = LinearGradientLines(n, from, to); break;
    case Gradient::Rect: lines = GradientRectLines(n, from, to); break;
    case Gradient::ButtonFace: lines = ButtonFaceRows(n, from, to); break;
    case Gradient::Gloss: lines = GlossRows(n, from, to); break;
    case Gradient::SoftGloss: lines = SoftGlossRows(n, from, to); break;
    case Gradient::Bar: lines = GradientBarLines(n, from, to); break;
    }
    FillLines(image, r, lines, columns);
}

void DrawLinearGradient(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                        bool columns)
{
    drawBand(dc, left, top, right, bottom, from, to, columns, Gradient::Linear);
}

void DrawGradientRect(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                      bool columns)
{
    drawBand(dc, left, top, right, bottom, from, to, columns, Gradient::Rect);
}

void DrawButtonFaceGradient(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                            bool columns)
{
    drawBand(dc, left, top, right, bottom, from, to, columns, Gradient::ButtonFace);
}

void DrawGlossGradient(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                       bool columns)
{
    // Drawn off screen and copied once, to the rectangle's own corner.
    drawBand(dc, left, top, right, bottom, from, to, columns, Gradient::Gloss);
}

void DrawSoftGlossGradient(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                           bool columns)
{
    drawBand(dc, left, top, right, bottom, from, to, columns, Gradient::SoftGloss);
}

void DrawGradientBar(QPainter* dc, int left, int top, int right, int bottom, COLORREF from, COLORREF to,
                     bool columns)
{
    drawBand(dc, left, top, right, bottom, from, to, columns, Gradient::Bar);
}

} // namespace skin
