#include "skin/my_splitter.h"

#include <QPainter>

namespace {

class SkinHandle : public QSplitterHandle {
public:
    SkinHandle(Qt::Orientation o, CMySplitter* parent) : QSplitterHandle(o, parent), m_owner(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        CMySplitter::PaintSplitBox(p, rect(), m_owner->GetLightColor());
    }

private:
    CMySplitter* m_owner;
};

} // namespace

CMySplitter::CMySplitter(Qt::Orientation orientation, const QColor& colour, QWidget* parent)
    : QSplitter(orientation, parent), m_light(colour)
{
}

void CMySplitter::SetLightColor(const QColor& colour)
{
    m_light = colour;
    for (int i = 0; i < count(); ++i) {
        if (QSplitterHandle* h = handle(i))
            h->update();
    }
}

void CMySplitter::PaintSplitBox(QPainter& p, const QRect& r, const QColor& fill)
{
    p.fillRect(r, fill);
    if (r.width() < 2 || r.height() < 2)
        return;
    p.setPen(Qt::white);
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    p.setPen(Qt::black);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

QSplitterHandle* CMySplitter::createHandle() { return new SkinHandle(orientation(), this); }
