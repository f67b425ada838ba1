// A window holding one of every browser control in the current theme, for
// screenshots and the repaint benchmark: toolbar, status bar, range slider,
// header and result list with skin scroll bars, category list, flat combos
// (normal and disabled), menu items, the caption-button strip, the scroll
// skin and the About box's caption.
#pragma once

#include "heatshelf/theme.h"

#include <QImage>
#include <QWidget>

class CColorStatusBar;
class CFlatComboBox;
class CToolBarEx;

namespace heatshelf {

class CAboutDlg;
class CHeaderCtrlCl;
class CRangeSlider;
class CScrollListCtrl;
class CSkinListCtrl;

class ControlGallery : public QWidget {
    Q_OBJECT
public:
    // The theme must be the current skin while the gallery paints.
    explicit ControlGallery(Theme& theme, QWidget* parent = nullptr);
    ~ControlGallery() override;

    // The whole gallery painted into an image.
    QImage Render();
    CRangeSlider* Slider() const { return m_slider; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Theme& m_theme;
    CToolBarEx* m_toolBar = nullptr;
    CColorStatusBar* m_statusBar = nullptr;
    CRangeSlider* m_slider = nullptr;
    CScrollListCtrl* m_results = nullptr;
    CHeaderCtrlCl* m_header = nullptr;
    CSkinListCtrl* m_categories = nullptr;
    CFlatComboBox* m_combo = nullptr;
    CFlatComboBox* m_comboOff = nullptr;
    CAboutDlg* m_about = nullptr;
};

} // namespace heatshelf
