#include "skin/skin_scroll_bar.h"

namespace {
bool g_framesActive = true;
}

CSkinScrollBar::CSkinScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

void CSkinScrollBar::SetBitmap(const QPixmap& bitmap)
{
    m_bitmap = bitmap;
    update();
}

void CSkinScrollBar::SetFramesActive(bool active) { g_framesActive = active; }

bool CSkinScrollBar::FramesActive() { return g_framesActive; }
