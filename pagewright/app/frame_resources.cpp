#include "frame_resources.h"

#include "program_icon.h"
#include "resource_ids.h"

#include "skin/skin_resources.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>

using namespace res;

namespace {

constexpr QRgb kStripBackground = 0xFFC0C0C0;

// A toolbar resource with its image strip: the command images side by side
// on the background, one pixel higher than the images.
void registerBar(int id, QSize imageSize, std::vector<int> commands)
{
    skin::ToolBarResource res{id, imageSize, std::move(commands), {}};
    int n = 0;
    for (int c : res.commands)
        n += c != skin::kSeparator ? 1 : 0;
    QImage strip(qMax(1, n) * imageSize.width(), imageSize.height() + 1, QImage::Format_RGB32);
    strip.fill(kStripBackground);
    QPainter p(&strip);
    int x = 0;
    for (int c : res.commands) {
        if (c == skin::kSeparator)
            continue;
        CommandIcon(c).paint(&p, QRect(QPoint(x, 0), imageSize));
        x += imageSize.width();
    }
    p.end();
    strip.setPixel(0, 0, kStripBackground);
    strip.setPixel(1, 1, kStripBackground);
    res.bitmap = strip;
    skin::RegisterToolBar(res);
}

} // namespace

void RegisterFrameToolBars()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    constexpr int S = skin::kSeparator;
    registerBar(IDR_STANDARD_BAR, {16, 15},
                {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, S, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, S, ID_EDIT_UNDO,
                 ID_EDIT_REDO, S, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, S, ID_APP_ABOUT});
    registerBar(IDR_MEASURE_BAR, {16, 15},
                {32840, S, 32842, 32843, 32844, 32851, 32865, 32845, S, 32847, 32867, 32868, S, 32850, 32852, 32866});
    registerBar(IDR_OBJECT_BAR, {16, 15},
                {32770, S, 32771, ID_ARROW, 32772, 32773, 32774, 32782, S, 32812, 32815, 32816, 32820, 32966, 32813,
                 33086, 34007, 32804, 32972, 34020, S, ID_TEXT_COLOR, ID_FILL_COLOR_BUTTON, ID_LINE_COLOR_BUTTON,
                 ID_LINE_WIDTH});
    registerBar(IDR_ADJUST_BAR, {16, 15}, {34002, 34003, 34004, 34005, S, 32777, 32778, 32779, 32780});
    registerBar(IDR_PAGE_BAR, {16, 15}, {32826, S, 32829, 32830, ID_PAGE_COMBO, 32831, 32832, S, 32833, 32834, 32835});
    registerBar(IDR_PLAY_BAR, {16, 15},
                {34009, 34010, 34011, 34013, 34012, 34014, 34015, 34016, S, ID_FILE_COMBO, S, 34017, 34018});
    registerBar(IDR_FORMAT_BAR, {16, 16}, {104, 108, 111, S, 117, 119, 121});
    // Images only, for the menus.
    registerBar(IDR_IMAGE_BAR, {64, 15}, {});
    registerBar(IDR_IR_BAR, {16, 15}, {32841, 32855, 32863});
    registerBar(IDR_TOOL_BAR, {16, 15}, {ID_BATCH, ID_UNITS});
}

namespace {

MenuItem sep() { return {0, "", {}}; }

const std::vector<MenuItem> kViewMenu = {
    {-1, "工具栏(&T)",
     {{AFX_IDW_TOOLBAR, "标准(&S)", {}},
      {IDW_OBJECT_BAR, "对象(&O)", {}},
      {IDW_MEASURE_BAR, "测温(&M)", {}},
      {IDW_PAGE_BAR, "页面(&P)", {}},
      {IDW_ADJUST_BAR, "调整(&A)", {}},
      {IDW_FORMAT_BAR, "文本格式(&F)", {}},
      {IDW_PLAY_BAR, "播放(&L)", {}}}},
    {ID_VIEW_STATUS_BAR, "状态栏(&S)", {}},
};

const std::vector<MenuItem> kSettingsMenu = {{ID_UNITS, "单位(&U)...", {}}};
const std::vector<MenuItem> kHelpMenu = {{ID_APP_ABOUT, "关于红外热像报表软件(&A)...", {}}};

const std::vector<MenuItem> kFrameMenu = {
    {-1, "文件(&F)",
     {{ID_FILE_NEW, "新建(&N)\tCtrl+N", {}},
      {ID_FILE_OPEN, "打开(&O)...\tCtrl+O", {}},
      sep(),
      {ID_BATCH, "批量生成报表(&B)...", {}},
      {ID_FILE_PRINT_SETUP, "打印设置(&R)...", {}},
      sep(),
      {ID_APP_EXIT, "退出(&X)", {}}}},
    {-1, "查看(&V)", kViewMenu},
    {-1, "设置(&S)", kSettingsMenu},
    {-1, "帮助(&H)", kHelpMenu},
};

const std::vector<MenuItem> kReportMenu = {
    {-1, "文件(&F)",
     {{ID_FILE_NEW, "新建(&N)\tCtrl+N", {}},
      {ID_FILE_OPEN, "打开(&O)...\tCtrl+O", {}},
      {ID_FILE_CLOSE, "关闭(&C)", {}},
      {ID_FILE_SAVE, "保存(&S)\tCtrl+S", {}},
      {ID_FILE_SAVE_AS, "另存为(&A)...", {}},
      sep(),
      {ID_BATCH, "批量生成报表(&B)...", {}},
      sep(),
      {ID_FILE_PRINT, "打印(&P)...\tCtrl+P", {}},
      {ID_FILE_PRINT_PREVIEW, "打印预览(&V)", {}},
      {ID_FILE_PRINT_SETUP, "打印设置(&R)...", {}},
      sep(),
      {ID_APP_EXIT, "退出(&X)", {}}}},
    {-1, "编辑(&E)",
     {{ID_EDIT_UNDO, "撤消(&U)\tCtrl+Z", {}},
      {ID_EDIT_REDO, "重做(&R)\tCtrl+Y", {}},
      sep(),
      {ID_EDIT_CUT, "剪切(&T)\tCtrl+X", {}},
      {ID_EDIT_COPY, "复制(&C)\tCtrl+C", {}},
      {ID_EDIT_PASTE, "粘贴(&P)\tCtrl+V", {}},
      {ID_EDIT_CLEAR, "删除(&D)\tDel", {}},
      sep(),
      {ID_EDIT_SELECT_ALL, "全选(&A)\tCtrl+A", {}}}},
    {-1, "查看(&V)", kViewMenu},
    {-1, "设置(&S)", kSettingsMenu},
    {-1, "窗口(&W)",
     {{ID_WINDOW_CASCADE, "层叠(&C)", {}},
      {ID_WINDOW_TILE_HORZ, "平铺(&T)", {}},
      {ID_WINDOW_ARRANGE, "排列图标(&A)", {}}}},
    {-1, "帮助(&H)", kHelpMenu},
};

const std::vector<MenuItem> kLineWidthMenu = {{-1, "",
                                               {{32985, "0.25磅", {}},
                                                {32986, "0.5磅", {}},
                                                {32987, "0.75磅", {}},
                                                {32988, "1磅", {}},
                                                {32989, "1.5磅", {}},
                                                {32990, "2.25磅", {}},
                                                {32991, "3磅", {}},
                                                {32992, "4.5磅", {}},
                                                {32993, "6磅", {}}}}};

const std::vector<MenuItem> kArrowMenu = {
    {-1, "", {{34025, "无箭头", {}}, {34026, "起点箭头", {}}, {34027, "终点箭头", {}}, {34028, "双向箭头", {}}}}};

} // namespace

const std::vector<MenuItem>& MenuResource(int id)
{
    static const std::vector<MenuItem> none;
    switch (id) {
    case IDR_MAINFRAME: return kFrameMenu;
    case IDR_REPORTTYPE: return kReportMenu;
    case IDR_LINE_WIDTH_MENU: return kLineWidthMenu;
    case IDR_ARROW_MENU: return kArrowMenu;
    default: return none;
    }
}

void BuildMenu(QMenu* menu, const std::vector<MenuItem>& items,
               const std::function<QAction*(int, const QString&)>& action)
{
    for (const MenuItem& item : items) {
        const QString text = QString::fromUtf8(item.text);
        if (item.id == 0) {
            menu->addSeparator();
        } else if (item.id == -1) {
            BuildMenu(menu->addMenu(text), item.items, action);
        } else if (QAction* a = action(item.id, text)) {
            menu->addAction(a);
        }
    }
}
