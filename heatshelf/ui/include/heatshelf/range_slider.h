// CRangeSlider: the image view's level and span control. Along its channel
// it shows a value range (the temperatures of the current file), a dark
// blue bar over the marked interval and two thumbs, low and high, which the
// user drags. Every accepted step of a drag, and a release that moves a
// thumb, is reported at once through thumbMoved().
//
// Values map to pixels over the range plus one (the maximum lies short of
// the track's right end), and pixels to values with one decimal. The two
// thumbs keep 2.5 % of the range apart while dragged (5 value units on the
// release) and never pass each other. The slider reads the theme's shades
// at every paint; its owner repaints it on Theme::themeChanged().
#pragma once

#include "platform/colorref.h"

#include <QRect>
#include <QWidget>

#include <memory>
#include <vector>

namespace heatshelf {

// One thumb: its value and where its parts lie.
struct SliderThumb {
    float value = -1.0f;
    QRect body;
    QRect lowerRight;
    QRect lowerLeft;
    QRect upperRight;
    QRect upperLeft;
};

class CRangeSlider : public QWidget {
    Q_OBJECT
public:
    // The standard slider's channel and thumb, fixed: the channel runs 8
    // pixels in from each side between these rows, the thumb between its
    // rows.
    static constexpr int kChannelInset = 8;
    static constexpr int kChannelTop = 8;
    static constexpr int kChannelBottom = 18;
    static constexpr int kThumbTop = 4;
    static constexpr int kThumbBottom = 24;
    static constexpr COLORREF kIntervalColor = RGB(0, 0, 155);

    explicit CRangeSlider(QWidget* parent = nullptr);
    ~CRangeSlider() override;

    // Stores the range and marks all of it; lays out and repaints nothing.
    bool SetRange(float minimum, float maximum);
    float GetRangeMin() const { return m_min; }
    float GetRangeMax() const { return m_max; }
    // The marked interval (the owner sets it after SetRange).
    void SetMarkedInterval(float low, float high)
    {
        m_low = low;
        m_high = high;
    }
    float MarkedLow() const { return m_low; }
    float MarkedHigh() const { return m_high; }

    // With thumbs: the first thumb gets low, the last high (no sorting, no
    // repaint, no signal); before the first paint the initial values.
    void SetThumbValues(float low, float high);
    // The thumbs' values in order; their number.
    int GetThumbValues(float* values) const;
    int ThumbCount() const { return int(m_thumbs.size()); }
    const SliderThumb* Thumb(int index) const;
    bool IsInitialised() const { return m_initialised; }
    bool IsDragging() const { return m_dragged != nullptr; }

    // Geometry from the widget's size.
    QRect ChannelRect() const;
    QRect TrackRect() const;

    // Value <-> pixel over the track (range + 1); both give the track's
    // start for an empty range or track.
    float ValueToPixel(float v) const;
    float PixelToValue(float px) const;
    static double RoundTo(double v, int digits);

    // The parts of a thumb centred at pixel x.
    SliderThumb LayoutThumb(float value) const;
    // The first thumb whose body or lower halves hold the point, or -1.
    int HitTestThumb(QPoint p) const;
    // Before the first thumb of greater or equal value; the new index.
    int InsertThumb(std::unique_ptr<SliderThumb> thumb);
    // False when the thumb is not one of the slider's.
    bool RemoveThumb(const SliderThumb* thumb);

    QSize sizeHint() const override { return {220, 30}; }
    QSize minimumSizeHint() const override { return {40, 30}; }

signals:
    // A thumb moved: 1 the lower (first) thumb, 2 the upper; its value.
    void thumbMoved(int which, float value);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void InitThumbs();
    void PaintSlider(QPainter& p) const;
    int IndexOf(const SliderThumb* thumb) const;
    // Whether moving the dragged thumb to v comes within spacing of a
    // neighbour or past it.
    bool Blocked(float v, float spacing) const;
    QRect StripAround(const QRect& body) const;

    std::vector<std::unique_ptr<SliderThumb>> m_thumbs; // by ascending value
    SliderThumb* m_dragged = nullptr;
    float m_min = 0.0f;
    float m_max = 100.0f;
    float m_low = 0.0f;
    float m_high = 100.0f;
    float m_initialLow = 0.0f;
    float m_initialHigh = 100.0f;
    bool m_initialised = false;
    bool m_focus = false;
};

} // namespace heatshelf
