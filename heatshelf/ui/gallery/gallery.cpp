#include "gallery.h"

#include "heatshelf/about_dlg.h"
#include "heatshelf/header_ctrl_cl.h"
#include "heatshelf/range_slider.h"
#include "heatshelf/scroll_list_ctrl.h"
#include "heatshelf/skin_list_ctrl.h"

#include "skin/color_status_bar.h"
#include "skin/colors.h"
#include "skin/flat_combo_box.h"
#include "skin/icon_menu.h"
#include "skin/skin_resources.h"
#include "skin/skin_scroll_frame.h"
#include "skin/tool_bar_ex.h"

#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace heatshelf {

namespace {

constexpr int kGalleryBar = 128;

// Ten simple 16 x 15 pictures on a strip one pixel higher, background in
// the corner colour.
QImage galleryStrip()
{
    QImage strip(16 * 10, 16, QImage::Format_RGB32);
    strip.fill(qRgb(192, 192, 192));
    QPainter p(&strip);
    const QColor colours[] = {Qt::darkYellow, Qt::darkBlue, Qt::darkGreen, Qt::red,     Qt::darkCyan,
                              Qt::darkMagenta, Qt::blue,    Qt::darkRed,   Qt::darkGray, Qt::black};
    for (int i = 0; i < 10; ++i) {
        const int x = 16 * i;
        p.setPen(colours[i]);
        p.setBrush(colours[i].lighter(150));
        if (i % 3 == 0)
            p.drawRect(x + 2, 2, 11, 10);
        else if (i % 3 == 1)
            p.drawEllipse(x + 2, 2, 11, 11);
        else
            p.drawPolygon(QPolygon({QPoint(x + 7, 1), QPoint(x + 14, 13), QPoint(x + 1, 13)}));
    }
    return strip;
}

void registerGalleryBar()
{
    skin::ToolBarResource res;
    res.id = kGalleryBar;
    res.commands = {1006, 1004, 0, 1005, 1007, 0, 1008, 0, 1009, 0, 1010, 0, 1011, 0, 1012, 0, 32773};
    res.bitmap = galleryStrip();
    skin::RegisterToolBar(res);
}

} // namespace

ControlGallery::ControlGallery(Theme& theme, QWidget* parent) : QWidget(parent), m_theme(theme)
{
    resize(760, 520);
    registerGalleryBar();
    m_toolBar = new CToolBarEx(this);
    m_toolBar->LoadToolBarEx(kGalleryBar);
    m_toolBar->SetBackground(theme.SkinLight(), theme.SkinBase());
    m_toolBar->setGeometry(0, 0, 760, 30);
    if (QAction* a = m_toolBar->GetButton(1005) ? m_toolBar->GetButton(1005)->defaultAction() : nullptr) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    if (QToolButton* b = m_toolBar->GetButton(1009))
        b->defaultAction()->setEnabled(false);
    m_toolBar->SetHotIndex(1);

    m_slider = new CRangeSlider(this);
    m_slider->setGeometry(10, 40, 300, 30);
    m_slider->SetRange(18.5f, 42.0f);
    m_slider->SetMarkedInterval(24.0f, 36.0f);
    m_slider->SetThumbValues(22.0f, 38.5f);

    m_combo = new CFlatComboBox(this);
    m_combo->addItems({QStringLiteral("铁红"), QStringLiteral("彩虹"), QStringLiteral("灰度")});
    m_combo->setGeometry(330, 44, 120, 22);
    m_comboOff = new CFlatComboBox(this);
    m_comboOff->addItem(QStringLiteral("禁用"));
    m_comboOff->setEnabled(false);
    m_comboOff->setGeometry(460, 44, 120, 22);

    m_categories = new CSkinListCtrl(this);
    m_categories->setHeaderHidden(true);
    m_categories->setColumnCount(1);
    for (const char* s : {"测温点", "测温区域", "测温线", "图像参数"})
        m_categories->addTopLevelItem(new QTreeWidgetItem({QString::fromUtf8(s)}));
    m_categories->setCurrentItem(m_categories->topLevelItem(1));
    m_categories->setGeometry(10, 80, 130, 120);

    m_results = new CScrollListCtrl(this);
    m_header = new CHeaderCtrlCl;
    m_results->setHeader(m_header);
    m_results->setColumnCount(4);
    m_header->m_titles = {QStringLiteral("名称"), QStringLiteral("温度"), QStringLiteral("X"), QStringLiteral("Y")};
    m_header->SetColors(theme.SkinBase(), 4);
    for (int i = 0; i < 40; ++i) {
        m_results->addTopLevelItem(new QTreeWidgetItem(
            {QStringLiteral("SP%1").arg(i + 1), QStringLiteral("%1.%2").arg(20 + i).arg(i % 10),
             QString::number(i * 7 % 320), QString::number(i * 5 % 240)}));
    }
    m_results->setGeometry(150, 80, 300, 160);
    SkinWndScroll(m_results, theme.SkinScrollBitmap(), false);

    m_statusBar = new CColorStatusBar(this);
    const int ids[] = {0, 59137, 59138, 59139};
    m_statusBar->SetIndicators(ids, 4, [](int id) {
        return id == 0 ? QStringLiteral("就绪") : id == 59137 ? QStringLiteral("CAP")
               : id == 59138                                  ? QStringLiteral("NUM")
                                                              : QStringLiteral("SCRL");
    });
    for (int i = 1; i < 4; ++i)
        m_statusBar->SetPaneStyle(i, SBPS_DISABLED);
    m_statusBar->setGeometry(0, 496, 760, 24);

    m_about = new CAboutDlg(theme, this);
    m_about->setWindowFlags(Qt::Widget);
    m_about->setWindowTitle(QStringLiteral("关于 Heatshelf"));
    m_about->setGeometry(470, 80, 280, 130);

    connect(&m_theme, &Theme::themeChanged, this, [this] {
        m_toolBar->SetBackground(m_theme.SkinLight(), m_theme.SkinBase());
        m_header->SetColors(m_theme.SkinBase(), 4);
        m_combo->RecreateBrushes();
        m_comboOff->RecreateBrushes();
        SetSkinScrollBitmap(m_results, m_theme.SkinScrollBitmap());
        // Controls reading the theme at paint repaint with it.
        for (QWidget* w : findChildren<QWidget*>())
            w->update();
        update();
    });
}

ControlGallery::~ControlGallery() = default;

QImage ControlGallery::Render()
{
    ensurePolished();
    return grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void ControlGallery::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), skin::ToQColor(m_theme.SkinMid()));
    // Menu items: bar item, selected, normal, grayed, checked, separator.
    CIconMenu menu;
    menu.SetImageSize(16, 15);
    const skin::SkinState& s = m_theme.State();
    struct Row {
        IconMenuItem item;
        bool selected, grayed, checked;
    };
    const Row rows[] = {
        {{QStringLiteral("文件(&F)"), CIconMenu::kBarPopupId}, true, false, false},
        {{QStringLiteral("打开文件夹"), 1006}, true, false, false},
        {{QStringLiteral("上一幅"), 1004}, false, false, false},
        {{QStringLiteral("播放语音"), 1011}, false, true, false},
        {{QStringLiteral("缩略图"), 1012}, false, false, true},
        {{QString(), CIconMenu::kSeparatorId}, false, false, false},
        {{QStringLiteral("退出"), 57665}, false, false, false},
    };
    int y = 250;
    for (const Row& r : rows) {
        MenuItemPaint item;
        const int h = r.item.id == CIconMenu::kSeparatorId ? 5 : 23;
        item.rect = QRect(10, y, 180, h);
        item.item = r.item;
        item.selected = r.selected;
        item.grayed = r.grayed;
        item.checked = r.checked;
        menu.DrawItem(p, item, s);
        y += h;
    }
    // The caption-button strip and the scroll skin, twice their size.
    p.drawImage(QRect(210, 260, 352, 22), m_theme.CaptionStrip());
    p.drawImage(QRect(210, 300, 324, 108), m_theme.SkinScrollBitmap().toImage());
}

} // namespace heatshelf
