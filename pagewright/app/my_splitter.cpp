#include "my_splitter.h"

#include <QPainter>

namespace {

class SkinHandle : public QSplitterHandle {
public:
    SkinHandle(Qt::Orientation o, CMySplitter* parent) : QSplitterHandle(o, parent), m_owner(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), m_owner->GetLightColor());
    }

private:
    CMySplitter* m_owner;
};

} // namespace

CMySplitter::CMySplitter(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent) {}

void CMySplitter::SetLightColor(const QColor& colour)
{
    m_light = colour;
    for (int i = 0; i < count(); ++i) {
        if (QSplitterHandle* h = handle(i))
            h->update();
    }
}

QSplitterHandle* CMySplitter::createHandle() { return new SkinHandle(orientation(), this); }
