// CMySplitter: a splitter whose bars are filled with one colour, given by
// the owner (each program its own shade). A bar is drawn as a split box:
// the fill, a white line along its top and left edges and a black one
// along its bottom and right edges.
#pragma once

#include <QColor>
#include <QSplitter>

class CMySplitter : public QSplitter {
    Q_OBJECT
public:
    explicit CMySplitter(Qt::Orientation orientation, const QColor& colour = Qt::lightGray, QWidget* parent = nullptr);
    // The fill of the bars; repaints them.
    void SetLightColor(const QColor& colour);
    QColor GetLightColor() const { return m_light; }

    // The split box of a bar rectangle.
    static void PaintSplitBox(QPainter& p, const QRect& r, const QColor& fill);

protected:
    QSplitterHandle* createHandle() override;

private:
    QColor m_light;
};
