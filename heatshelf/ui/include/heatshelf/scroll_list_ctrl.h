// CScrollListCtrl: a report-style list that scrolls by pixels, so that a
// skinned scroll bar dragging its thumb moves the rows smoothly. A thumb
// track or thumb position code is turned into pixels through the bar's
// classic scroll state: content extent = (nMax + 1) x client extent / nPage
// (the client extent with no page), and the list moves by
// (new - old position) x content / (nMax + 1).
#pragma once

#include "skin/skin_scroll_bar.h"

#include <QTreeWidget>

namespace heatshelf {

class CScrollListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    using ScrollInfo = CSkinScrollBar::ScrollInfo;

    explicit CScrollListCtrl(QWidget* parent = nullptr);

    // Pixels a thumb move from info.nPos to newPos scrolls over a client
    // extent.
    static int ThumbScrollPixels(const ScrollInfo& info, int newPos, int clientExtent);
    // The classic state of one of the list's bars.
    ScrollInfo BarInfo(Qt::Orientation o) const;

    // A scroll code of a bar: thumb track and thumb position scroll by
    // pixels and return true; other codes are left to the bar (false).
    bool ScrollCode(Qt::Orientation o, int code, int newPos);
};

} // namespace heatshelf
