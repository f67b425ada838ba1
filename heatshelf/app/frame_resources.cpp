#include "frame_resources.h"

#include "resource_ids.h"
#include "string_table.h"

#include "skin/command_icons.h"
#include "skin/command_strip_cache.h"
#include "skin/skin_resources.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>

namespace heatshelf {
namespace {

// A main-bar image of 16 x 15 at x, drawn by hand: the fallback for a
// command whose icon cannot be found.
void drawImage(QPainter& p, int x, int command)
{
    p.save();
    p.translate(x, 0);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor dark(0, 0, 128), red(200, 0, 0), green(0, 128, 0), black(0, 0, 0);
    switch (command) {
    case res::ID_SINGLE: // one picture
        p.fillRect(2, 2, 12, 11, QColor(255, 160, 0));
        p.fillRect(4, 4, 8, 7, QColor(200, 0, 0));
        p.setPen(black);
        p.drawRect(1, 1, 13, 12);
        break;
    case res::ID_THUMBNAILS: // four pictures
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c) {
                p.fillRect(2 + 7 * c, 2 + 6 * r, 5, 4, QColor(255, 140, 0));
                p.setPen(black);
                p.drawRect(1 + 7 * c, 1 + 6 * r, 6, 5);
            }
        break;
    case res::ID_PREVIOUS:
    case res::ID_NEXT: {
        QPainterPath path;
        const bool back = command == res::ID_PREVIOUS;
        path.moveTo(back ? 3 : 12, 7.5);
        path.lineTo(back ? 12 : 3, 2);
        path.lineTo(back ? 12 : 3, 13);
        path.closeSubpath();
        p.fillPath(path, green);
        break;
    }
    case res::ID_UNUSED_1008:
        p.setPen(QColor(128, 128, 128));
        p.drawRect(2, 2, 11, 10);
        break;
    case res::ID_SHOW_AGAIN: // circular arrow
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(dark, 2));
        p.drawArc(QRectF(3, 3, 10, 9), 60 * 16, 280 * 16);
        p.fillRect(10, 1, 4, 4, dark);
        break;
    case res::ID_INVERT: // half black, half white
        p.fillRect(2, 2, 6, 11, black);
        p.fillRect(8, 2, 6, 11, Qt::white);
        p.setPen(black);
        p.drawRect(1, 1, 13, 12);
        break;
    case res::ID_PLAY_SOUND: // loudspeaker
        p.fillRect(2, 5, 4, 5, dark);
        {
            QPainterPath path;
            path.moveTo(6, 5);
            path.lineTo(10, 1);
            path.lineTo(10, 14);
            path.lineTo(6, 10);
            path.closeSubpath();
            p.fillPath(path, dark);
        }
        p.setPen(dark);
        p.drawLine(12, 4, 12, 10);
        p.drawLine(14, 2, 14, 12);
        break;
    case res::ID_MEASURE_OBJECTS: // cross hair
        p.setPen(red);
        p.drawLine(7, 1, 7, 13);
        p.drawLine(1, 7, 13, 7);
        p.drawRect(4, 4, 6, 6);
        break;
    case res::ID_PALETTE_SELECT: // colour bar
        for (int i = 0; i < 12; ++i)
            p.fillRect(2 + i, 3, 1, 9, QColor::fromHsv(240 - i * 20, 255, 255));
        p.setPen(black);
        p.drawRect(1, 2, 13, 10);
        break;
    default:
        break;
    }
    p.restore();
}

QImage strip(const std::vector<int>& commands, const skin::IconFallback& fallback)
{
    const qreal dpr = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
    return skin::CachedCommandStrip(skin::SkinLook::Browser, commands, {16, 15}, dpr, fallback);
}

} // namespace

void RegisterFrameToolBars()
{
    static const bool done = [] {
        skin::UseIconTheme();
        skin::ToolBarResource main;
        main.id = res::IDR_MAINFRAME;
        main.commands = {res::ID_SINGLE, res::ID_THUMBNAILS, skin::kSeparator, res::ID_PREVIOUS, res::ID_NEXT,
                         skin::kSeparator, res::ID_UNUSED_1008, skin::kSeparator, res::ID_SHOW_AGAIN,
                         skin::kSeparator, res::ID_INVERT, skin::kSeparator, res::ID_PLAY_SOUND, skin::kSeparator,
                         res::ID_MEASURE_OBJECTS, skin::kSeparator, res::ID_PALETTE_SELECT};
        main.bitmap = strip(main.commands, [](QPainter& p, const QRect& cell, int c) { drawImage(p, cell.x(), c); });
        skin::RegisterToolBar(main);
        skin::ToolBarResource themes;
        themes.id = res::IDR_THEME_BAR;
        themes.commands = {res::ID_THEME_MENU, 32777, 32778, 32779, 32780, 32781, 32782};
        static const QRgb kThemeColours[] = {qRgb(0x87, 0xB2, 0xEF), qRgb(0xC6, 0x9A, 0xF1), qRgb(0xA5, 0xC1, 0x88),
                                             qRgb(0x7C, 0xCD, 0xA5), qRgb(0xF1, 0x9A, 0x9A), qRgb(0xCD, 0xCD, 0x7C)};
        // The theme items show their colour.
        themes.bitmap = strip(themes.commands, [](QPainter& p, const QRect& cell, int c) {
            const int x = cell.x();
            if (c == res::ID_THEME_MENU) {
                for (int i = 0; i < 6; ++i)
                    p.fillRect(x + 2 + 2 * i, 2, 2, 11, QColor(kThemeColours[i]));
            } else {
                p.fillRect(x + 2, 2, 12, 11, QColor(kThemeColours[c - 32777]));
            }
            p.setPen(Qt::black);
            p.drawRect(x + 1, 1, 13, 12);
        });
        skin::RegisterToolBar(themes);
        return true;
    }();
    (void)done;
}

QIcon ProgramIcon()
{
    static const QIcon icon = skin::OwnIcon(QStringLiteral("heatshelf"));
    return icon;
}

void BuildMainMenu(QMenuBar* bar, const std::function<QAction*(int, const QString&)>& action)
{
    const auto item = [&](QMenu* m, int id, const char* text) { m->addAction(action(id, QString::fromUtf8(text))); };
    QMenu* file = bar->addMenu(QString::fromUtf8("文件(&F)"));
    item(file, res::ID_FILE_NEW, "新建(&N)\tCtrl+N");
    item(file, res::ID_FILE_OPEN, "打开(&O)...\tCtrl+O");
    file->addSeparator();
    item(file, res::ID_FILE_PRINT_SETUP, "打印设置(&R)...");
    file->addSeparator();
    // The recent files; the first item reads "最近文件" while there are none.
    item(file, res::ID_FILE_MRU_FILE1, "最近文件");
    for (int id = res::ID_FILE_MRU_FILE1 + 1; id <= res::ID_FILE_MRU_LAST; ++id)
        item(file, id, "");
    file->addSeparator();
    item(file, res::ID_APP_EXIT, "退出(&X)");
    QMenu* view = bar->addMenu(QString::fromUtf8("查看(&V)"));
    item(view, res::ID_VIEW_TOOLBAR, "工具栏(&T)");
    item(view, res::ID_VIEW_STATUS_BAR, "状态栏(&S)");
    item(view, res::ID_FOLDER_PANE, "文件夹(&O)");
    view->addSeparator();
    item(view, res::ID_SINGLE, "单幅图像(&I)");
    item(view, res::ID_THUMBNAILS, "缩略图(&H)");
    view->addSeparator();
    item(view, res::ID_PREVIOUS, "上一幅(&P)");
    item(view, res::ID_NEXT, "下一幅(&N)");
    item(view, res::ID_SHOW_AGAIN, "刷新(&R)");
    view->addSeparator();
    item(view, res::ID_INVERT, "反色(&V)");
    item(view, res::ID_PLAY_SOUND, "播放语音(&A)");
    item(view, res::ID_MEASURE_OBJECTS, "测温对象(&M)");
    view->addSeparator();
    QMenu* themes = view->addMenu(QString::fromUtf8("界面颜色(&C)"));
    themes->menuAction()->setData(res::ID_THEME_MENU);
    item(themes, 32777, "蓝色");
    item(themes, 32778, "紫色");
    item(themes, 32779, "绿色");
    item(themes, 32780, "浅绿");
    item(themes, 32781, "红色");
    item(themes, 32782, "黄色");
    QMenu* help = bar->addMenu(QString::fromUtf8("帮助(&H)"));
    item(help, res::ID_APP_ABOUT, "关于 Heatshelf(&A)...");
}

QMenu* BuildImageMenu(QWidget* parent, const std::function<QAction*(int, const QString&)>& action)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QString::number(res::IDR_IMAGE_MENU));
    const auto item = [&](int id, const char* text) { menu->addAction(action(id, QString::fromUtf8(text))); };
    item(res::ID_SINGLE, "单幅图像");
    item(res::ID_THUMBNAILS, "缩略图");
    menu->addSeparator();
    item(res::ID_PREVIOUS, "上一幅");
    item(res::ID_NEXT, "下一幅");
    item(res::ID_SHOW_AGAIN, "刷新");
    menu->addSeparator();
    item(res::ID_INVERT, "反色");
    item(res::ID_PLAY_SOUND, "播放语音");
    item(res::ID_MEASURE_OBJECTS, "测温对象");
    menu->addSeparator();
    item(res::ID_RENAME, "重命名...");
    return menu;
}

} // namespace heatshelf
