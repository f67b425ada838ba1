// Where a dialog or message box of either program opens: over the window it
// belongs to, or in the middle of the screen while there is none to show it
// over (before the main window is shown, or when it is hidden).
#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

namespace skin {

// The top-left corner that centres a window of size over parent when parent
// is shown, else on the screen under the cursor (the primary screen when
// none); kept inside that screen's available area.
QPoint CentredPosition(QSize size, const QWidget* parent);

// Moves a top-level window to CentredPosition of its size.
void CentreWindow(QWidget& window, const QWidget* parent);

} // namespace skin
