#include "skin/skin_scroll_frame.h"

#include "skin/skin_scroll_bar.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QScrollBar>

namespace {

const char kFrameName[] = "SkinScrollBarFrame";

void copyState(const QScrollBar* from, QScrollBar* to)
{
    to->setRange(from->minimum(), from->maximum());
    to->setPageStep(from->pageStep());
    to->setSingleStep(from->singleStep());
    to->setValue(from->value());
}

void enableWhileScrollable(QScrollBar* bar)
{
    bar->setEnabled(bar->maximum() > bar->minimum());
    QObject::connect(bar, &QAbstractSlider::rangeChanged, bar,
                     [bar](int min, int max) { bar->setEnabled(max > min); });
}

} // namespace

CSkinScrollCorner::CSkinScrollCorner(QWidget* parent) : QWidget(parent) {}

void CSkinScrollCorner::SetBitmap(const QPixmap& bitmap)
{
    m_bitmap = bitmap;
    update();
}

void CSkinScrollCorner::paintEvent(QPaintEvent*)
{
    if (m_bitmap.isNull())
        return;
    const int cell = m_bitmap.width() / 9;
    const int row = layoutDirection() == Qt::RightToLeft ? 1 : 0;
    QPainter p(this);
    p.drawPixmap(rect(), m_bitmap, QRect(8 * cell, row * cell, cell, cell));
}

CSkinScrollFrame::CSkinScrollFrame(QAbstractScrollArea* area, const QPixmap& bitmap, bool follow)
    : QObject(area), m_area(area), m_bitmap(bitmap), m_follow(follow)
{
    setObjectName(QLatin1String(kFrameName));
    for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
        QScrollBar* old = o == Qt::Horizontal ? area->horizontalScrollBar() : area->verticalScrollBar();
        auto* bar = new CSkinScrollBar(o);
        copyState(old, bar);
        bar->SetBitmap(bitmap);
        enableWhileScrollable(bar);
        if (o == Qt::Horizontal)
            area->setHorizontalScrollBar(bar);
        else
            area->setVerticalScrollBar(bar);
    }
    m_corner = new CSkinScrollCorner(area);
    m_corner->SetBitmap(bitmap);
    area->setCornerWidget(m_corner);
}

CSkinScrollFrame* CSkinScrollFrame::Of(const QAbstractScrollArea* area)
{
    return area == nullptr ? nullptr
                           : area->findChild<CSkinScrollFrame*>(QLatin1String(kFrameName), Qt::FindDirectChildrenOnly);
}

CSkinScrollBar* CSkinScrollFrame::GetScrollBar(Qt::Orientation orientation) const
{
    if (!m_area)
        return nullptr;
    return qobject_cast<CSkinScrollBar*>(orientation == Qt::Horizontal ? m_area->horizontalScrollBar()
                                                                      : m_area->verticalScrollBar());
}

int CSkinScrollFrame::GetCornerKind() const
{
    const CSkinScrollBar* h = GetScrollBar(Qt::Horizontal);
    const CSkinScrollBar* v = GetScrollBar(Qt::Vertical);
    if (h == nullptr || v == nullptr || !h->isVisible() || !v->isVisible())
        return 0;
    return m_area->layoutDirection() == Qt::RightToLeft ? 1 : 2;
}

void CSkinScrollFrame::SetBitmap(const QPixmap& bitmap)
{
    m_bitmap = bitmap;
    for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
        if (CSkinScrollBar* bar = GetScrollBar(o))
            bar->SetBitmap(bitmap);
    }
    if (m_corner)
        m_corner->SetBitmap(bitmap);
}

void CSkinScrollFrame::Unwrap()
{
    if (!m_area)
        return;
    for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
        QScrollBar* old = o == Qt::Horizontal ? m_area->horizontalScrollBar() : m_area->verticalScrollBar();
        auto* bar = new QScrollBar(o);
        copyState(old, bar);
        if (o == Qt::Horizontal)
            m_area->setHorizontalScrollBar(bar);
        else
            m_area->setVerticalScrollBar(bar);
    }
    m_area->setCornerWidget(nullptr);
    delete m_corner;
}

CSkinScrollFrame* SkinWndScroll(QAbstractScrollArea* area, const QPixmap& bitmap, bool follow)
{
    if (area == nullptr)
        return nullptr;
    if (CSkinScrollFrame* frame = CSkinScrollFrame::Of(area)) {
        frame->SetBitmap(bitmap);
        return frame;
    }
    return new CSkinScrollFrame(area, bitmap, follow);
}

int UnskinWndScroll(QAbstractScrollArea* area)
{
    if (CSkinScrollFrame* frame = CSkinScrollFrame::Of(area)) {
        frame->Unwrap();
        delete frame;
    }
    return 1;
}

int SetSkinScrollBitmap(QAbstractScrollArea* area, const QPixmap& bitmap)
{
    CSkinScrollFrame* frame = CSkinScrollFrame::Of(area);
    if (frame == nullptr)
        return 0;
    frame->SetBitmap(bitmap);
    return 1;
}
