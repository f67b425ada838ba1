#include "frame_resources.h"

#include "program_icon.h"
#include "resource_ids.h"

#include "skin/command_icons.h"
#include "skin/command_strip_cache.h"
#include "skin/skin_resources.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>

using namespace res;

namespace {

// A toolbar resource with its image strip, drawn from the commands' icons
// at the screen's pixel ratio (read back from the per-user cache after the
// first start).
void registerBar(int id, QSize imageSize, std::vector<int> commands)
{
    skin::ToolBarResource res;
    res.id = id;
    res.width = std::uint16_t(imageSize.width());
    res.height = std::uint16_t(imageSize.height());
    res.commands = std::move(commands);
    const qreal dpr = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
    res.bitmap = skin::CachedCommandStrip(skin::SkinLook::Report, res.commands, imageSize, dpr, &PaintCommandGlyph);
    skin::RegisterToolBar(res);
}

} // namespace

void RegisterFrameToolBars()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    skin::UseIconTheme();
    constexpr int S = skin::kSeparator;
    registerBar(IDR_STANDARD_BAR, {16, 15},
                {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, S, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, S, ID_UNDO, ID_REDO,
                 S, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, S, ID_APP_ABOUT});
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
    // The first two buttons give way to the font name and size combos.
    registerBar(IDR_FORMAT_BAR, {16, 16}, {ID_FONT_NAME, ID_FONT_SIZE, S, 104, 108, 111, S, 117, 119, 121});
    // Images only, for the menus.
    registerBar(IDR_IMAGE_BAR, {64, 15}, {});
    registerBar(IDR_IR_BAR, {16, 15}, {32841, 32855, 32863});
    // The menus' other commands with an image of their own.
    registerBar(IDR_TOOL_BAR, {16, 15},
                {ID_BATCH, ID_UNITS, ID_FILE_CLOSE, ID_FILE_SAVE_AS, ID_SUMMARY_INFO, ID_EXPORT_WORD, ID_APP_EXIT,
                 ID_EDIT_CLEAR, ID_EDIT_SELECT_ALL, ID_PROPERTIES, ID_LOGO, ID_FILL_COLOR, ID_LINE_COLOR,
                 ID_BACKGROUND_COLOR,
                 34023,         // arrow tool
                 1499, 1506});  // delete page, page title
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
      {ID_BATCH, "批处理(&B)", {}},
      {ID_FILE_PRINT_SETUP, "打印设置(&R)...", {}},
      sep(),
      {ID_FILE_MRU_FILE1, "最近文件", {}},
      sep(),
      {ID_APP_EXIT, "退出(&X)", {}}}},
    {-1, "查看(&V)", kViewMenu},
    {-1, "设置(&S)", kSettingsMenu},
    {-1, "帮助(&H)", kHelpMenu},
};

const std::vector<MenuItem> kLineWidthItems = {{32985, "0.25磅", {}}, {32986, "0.5磅", {}}, {32987, "0.75磅", {}},
                                               {32988, "1磅", {}},    {32989, "1.5磅", {}}, {32990, "2.25磅", {}},
                                               {32991, "3磅", {}},    {32992, "4.5磅", {}}, {32993, "6磅", {}}};

const std::vector<MenuItem> kArrowItems = {
    {34025, "直线", {}}, {34026, "起点有箭头", {}}, {34027, "终点有箭头", {}}, {34028, "双箭头", {}}};

const std::vector<MenuItem> kReportMenu = {
    {-1, "文件(&F)",
     {{ID_FILE_NEW, "新建(&N)\tCtrl+N", {}},
      {ID_FILE_OPEN, "打开(&O)...\tCtrl+O", {}},
      {ID_FILE_CLOSE, "关闭(&C)", {}},
      {ID_FILE_SAVE, "保存(&S)\tCtrl+S", {}},
      {ID_FILE_SAVE_AS, "另存为(&A)...", {}},
      {ID_SAVE_AS_TEMPLATE, "另存为模板(&M)...", {}},
      sep(),
      {ID_SUMMARY_INFO, "报表属性(&I)...", {}},
      {ID_EXPORT_WORD, "输出到Word(&W)", {}},
      {ID_BATCH, "批处理(&B)", {}},
      sep(),
      {ID_FILE_PRINT, "打印(&P)...\tCtrl+P", {}},
      {ID_FILE_PRINT_PREVIEW, "打印预览(&V)", {}},
      {ID_FILE_PRINT_SETUP, "打印设置(&R)...", {}},
      sep(),
      {ID_FILE_MRU_FILE1, "最近文件", {}},
      sep(),
      {ID_APP_EXIT, "退出(&X)", {}}}},
    // The view's context menu without an object is this popup without its
    // third item and the undo, redo, embedding and properties items.
    {-1, "编辑(&E)",
     {{ID_UNDO, "撤销(&U)\tCtrl+Z", {}},
      {ID_REDO, "重复(&R)\tCtrl+Y", {}},
      sep(),
      {ID_EDIT_CUT, "剪切(&T)\tCtrl+X", {}},
      {ID_EDIT_COPY, "复制(&C)\tCtrl+C", {}},
      {ID_EDIT_PASTE, "粘贴(&P)\tCtrl+V", {}},
      {ID_EDIT_CLEAR, "删除(&D)\tDel", {}},
      sep(),
      {ID_EDIT_SELECT_ALL, "全选(&A)\tCtrl+A", {}},
      {ID_SELECT_PAGE, "选中当前页(&F)", {}},
      sep(),
      {ID_OLE_INSERT_NEW, "插入新对象(&J)...", {}},
      {ID_OLE_EDIT_LINKS, "链接(&K)...", {}},
      {ID_OLE_VERB_FIRST, "对象(&O)", {}},
      sep(),
      {ID_PROPERTIES, "属性(&P)\tAlt+Enter", {}}}},
    {-1, "查看(&V)",
     {kViewMenu[0],
      kViewMenu[1],
      sep(),
      {ID_GRID, "显示或隐藏方格网", {}},
      {ID_SHOW_OBJECTS, "显示对象", {}},
      sep(),
      {32931, "200%", {}},
      {32932, "150%", {}},
      {32933, "100%", {}},
      {32934, "75%", {}},
      {32935, "50%", {}},
      {32833, "放大", {}},
      {32834, "缩小", {}},
      {32835, "显示整页", {}},
      sep(),
      {-1, "界面风格(&K)",
       {{34065, "蓝色梦想", {}},
        {34066, "紫色水晶", {}},
        {34067, "绿色草原", {}},
        {34068, "青色年华", {}},
        {34069, "红色记忆", {}},
        {34070, "金色阳光", {}}}}}},
    {-1, "插入(&I)",
     {{32770, "选择(&S)", {}},
      sep(),
      {32771, "直线(&L)", {}},
      {34023, "箭头(&W)", {}},
      {32772, "矩形(&R)", {}},
      {32773, "圆角矩形(&U)", {}},
      {32774, "椭圆(&E)", {}},
      {32782, "多边形(&P)", {}},
      sep(),
      {32812, "文本(&T)", {}},
      {32815, "红外图像(&I)", {}},
      {32816, "字段(&F)", {}},
      {32820, "表格(&B)", {}},
      {32966, "结果表(&Z)", {}},
      {32813, "温度曲线(&C)", {}},
      {33086, "直方图(&H)", {}},
      {34007, "时间曲线(&M)", {}},
      {32804, "照片(&O)", {}},
      {32972, "标志(&G)", {}},
      {34020, "三维图(&3)", {}},
      sep(),
      {ID_LOGO, "报表标志(&Y)...", {}}}},
    {-1, "格式(&O)",
     {{ID_FILL_COLOR, "填充色", {}},
      {ID_LINE_COLOR, "线条颜色", {}},
      {-1, "线宽", kLineWidthItems},
      {-1, "箭头", kArrowItems},
      sep(),
      {34002, "左对齐", {}},
      {34003, "右对齐", {}},
      {34004, "底端对齐", {}},
      {34005, "顶端对齐", {}},
      sep(),
      {32777, "移到最前\tCtrl+Plus", {}},
      {32778, "移到最后\tCtrl+Minus", {}},
      {32779, "往前移\tPlus", {}},
      {32780, "往后移\tMinus", {}},
      sep(),
      {ID_BACKGROUND_COLOR, "背景颜色(&B)...", {}},
      {ID_LOCK, "锁定(&L)", {}},
      {ID_SHOW_NUMBERS, "隐藏编号(&H)", {}}}},
    {-1, "页面(&P)",
     {{32826, "新建一页", {}},
      {1499, "删除当前页(&G)", {}},
      {1506, "标题(&T)....", {}},
      sep(),
      {32829, "到第一个页面", {}},
      {32830, "前一页", {}},
      {32831, "后一页", {}},
      {32832, "最后一页", {}}}},
    {-1, "设置(&S)", kSettingsMenu},
    {-1, "窗口(&W)",
     {{ID_WINDOW_CASCADE, "层叠(&C)", {}},
      {ID_WINDOW_TILE_HORZ, "平铺(&T)", {}},
      {ID_WINDOW_ARRANGE, "排列图标(&A)", {}}}},
    {-1, "帮助(&H)", kHelpMenu},
};

// Menu 110: the view's context menus, one popup per object kind, by the
// object's GetPopupMenuIndex.
const std::vector<MenuItem> kObjectEditItems = {{ID_EDIT_CUT, "剪切(&T)", {}},
                                                {ID_EDIT_COPY, "复制(&C)", {}},
                                                {ID_EDIT_PASTE, "粘贴(&P)", {}},
                                                {ID_EDIT_CLEAR, "删除(&D)", {}}};

std::vector<MenuItem> ObjectPopup(const char* title, std::vector<MenuItem> own)
{
    std::vector<MenuItem> items = kObjectEditItems;
    if (!own.empty()) {
        items.push_back(sep());
        items.insert(items.end(), own.begin(), own.end());
    }
    items.push_back(sep());
    items.push_back({-1, "叠放次序",
                     {{32777, "移到最前", {}}, {32778, "移到最后", {}}, {32779, "往前移", {}}, {32780, "往后移", {}}}});
    items.push_back({ID_PROPERTIES, "属性(&P)", {}});
    return {{-1, title, items}};
}

const std::vector<MenuItem> kContextMenu = [] {
    std::vector<MenuItem> popups;
    const auto add = [&popups](const char* title, std::vector<MenuItem> own) {
        popups.push_back(ObjectPopup(title, std::move(own)).front());
    };
    add("对象", {{ID_FILL_COLOR, "填充色", {}}, {ID_LINE_COLOR, "线条颜色", {}}, {-1, "线宽", kLineWidthItems},
                 {-1, "箭头", kArrowItems}});
    add("红外图像", {{32840, "打开红外图像", {}}, {32841, "设置", {}}, {32847, "温度范围", {}}});
    add("文本", {});
    add("单元格", {{32964, "增加行/列", {}}, {32978, "删除列", {}}, {32977, "删除行", {}}});
    add("温度曲线", {{32969, "设置[&S]", {}}});
    add("直方图", {{32970, "设置[&S]", {}}});
    add("照片", {{32971, "打开", {}}, {34055, "设置(&S)...", {}}});
    add("标志", {{32971, "打开", {}}, {34055, "设置(&S)...", {}}});
    add("三维图", {{34021, "设置[&S]...", {}}});
    add("结果表", {});
    add("时间曲线", {{32983, "设置[&S]", {}}, {32984, "输出到EXCEL", {}}});
    return popups;
}();

const std::vector<MenuItem> kLineWidthMenu = {{-1, "", kLineWidthItems}};

const std::vector<MenuItem> kArrowMenu = {{-1, "", kArrowItems}};

} // namespace

const std::vector<MenuItem>& MenuResource(int id)
{
    static const std::vector<MenuItem> none;
    switch (id) {
    case IDR_MAINFRAME: return kFrameMenu;
    case IDR_REPORTTYPE: return kReportMenu;
    case IDR_LINE_WIDTH_MENU: return kLineWidthMenu;
    case IDR_ARROW_MENU: return kArrowMenu;
    case IDR_CONTEXT_MENU: return kContextMenu;
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
