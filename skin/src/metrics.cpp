#include "skin/metrics.h"

#include <QApplication>

namespace skin {

QFont IconTitleFont()
{
    QFont f = QApplication::font();
    f.setPixelSize(12);
    return f;
}

QFont MenuFont() { return IconTitleFont(); }

} // namespace skin
