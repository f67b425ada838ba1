#include "locale_paper.h"

#include <QLocale>
#include <QPageSize>

#include <langinfo.h>

#include <cstdint>

QSizeF LocalePaperMm()
{
#if defined(__GLIBC__) && defined(_NL_PAPER_WIDTH)
    // The C library hands the numbers out in the pointer's place.
    const auto width = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH)));
    const auto height = static_cast<int>(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_HEIGHT)));
    if (width >= 50 && width <= 2000 && height >= 50 && height <= 2000)
        return QSizeF(width, height);
#endif
    const QPageSize::PageSizeId id = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                                         ? QPageSize::Letter
                                         : QPageSize::A4;
    return QPageSize(id).size(QPageSize::Millimeter);
}
