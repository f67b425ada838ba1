#include "string_table.h"

#include "resource_ids.h"

#include "platform/string_overrides.h"
#include "skin/message_box.h"


namespace heatshelf {
namespace {

using Entry = platform::StringTable::Entry;

constexpr Entry kStrings[] = {
    {res::IDR_MAINFRAME, "红外图像浏览器"},
    {res::IDS_TEMPERATURE_UNIT, "℃"},
    {res::ID_RENAME, "重命名文件\n重命名"},
    {res::AFX_IDS_APP_TITLE, "Heatshelf"},
    {res::AFX_IDS_IDLEMESSAGE, "就绪"},
    {res::IDS_PALETTE_FILE_MISSING, "没有找到色标文件"},
    // Category list, result columns, rows and device values.
    {1021, "温度数据"},
    {1022, "位置数据"},
    {1023, "测量参数"},
    {1024, "文件信息"},
    {1025, "测温对象"},
    {1026, "名称"},
    {1027, "温度"},
    {1028, "最高温"},
    {1029, "最低温"},
    {1030, "平均温"},
    {1031, "点温"},
    {1032, "宽度"},
    {1033, "高度"},
    {1034, "发射率"},
    {1035, "距离"},
    {1036, "环境温度"},
    {1037, "备注"},
    {1038, "日期"},
    {1039, "时间"},
    {1040, "文件名"},
    {1041, "仪器型号"},
    {1042, "内容"},
    {1043, "测温档位"},
    {1044, "低温档"},
    {1045, "中温档"},
    {1046, "高温档"},
    {1047, "超高温档"},
    // Commands: "status-bar prompt\ntooltip".
    {res::ID_THUMBNAILS, "以缩略图显示文件夹中的图像\n缩略图"},
    {res::ID_PREVIOUS, "显示上一幅图像\n上一幅"},
    {res::ID_SINGLE, "显示单幅图像\n单幅图像"},
    {res::ID_NEXT, "显示下一幅图像\n下一幅"},
    {res::ID_UNUSED_1008, "\n"},
    {res::ID_SHOW_AGAIN, "重新显示当前图像\n刷新"},
    {res::ID_INVERT, "反转色标\n反色"},
    {res::ID_PLAY_SOUND, "播放图像的语音注释\n语音"},
    {res::ID_MEASURE_OBJECTS, "显示或隐藏测温对象\n测温对象"},
    {res::ID_PALETTE_SELECT, "选择色标\n色标"},
    {res::ID_FOLDER_PANE, "显示或隐藏文件夹窗格\n文件夹"},
    {res::ID_THEME_MENU, "选择界面颜色\n界面颜色"},
    {32777, "蓝色界面\n蓝色"},
    {32778, "紫色界面\n紫色"},
    {32779, "绿色界面\n绿色"},
    {32780, "浅绿界面\n浅绿"},
    {32781, "红色界面\n红色"},
    {32782, "黄色界面\n黄色"},
    {res::ID_FILE_NEW, "建立新文档\n新建"},
    {res::ID_FILE_OPEN, "打开一个现有的红外图像文件\n打开"},
    {res::ID_FILE_PRINT_SETUP, "改变打印机及打印选项\n打印设置"},
    {57616, "打开该文件"},
    {57617, "打开该文件"},
    {57618, "打开该文件"},
    {57619, "打开该文件"},
    {res::AFX_IDS_ALLFILTER, "所有文件 (*.*)"},
    {res::IDS_INFRARED_FILTER, "红外图像文件 (*.vni;*.vnv;*.jpg)"},
    {res::AFX_IDP_FILE_NOT_FOUND, "找不到文件 %1。"},
    {res::AFX_IDP_FAILED_TO_OPEN_DOC, "%1 不是能打开的红外图像文件。"},
    {res::IDS_RENAME_INVALID_NAME, "文件名无效：文件名不能为空，不能是“.”或“..”，不能含有“/”或“\\”，也不能过长。"},
    {res::IDS_RENAME_NAME_EXISTS, "文件夹中已有名为“%1”的文件或文件夹，请换一个名字。"},
    {res::IDS_RENAME_FOLDER_READ_ONLY, "文件夹是只读的，不能在其中重命名文件。"},
    {res::IDS_RENAME_SOURCE_GONE, "要重命名的文件已不存在。"},
    {res::IDS_RENAME_FAILED, "不能重命名文件。"},
    {res::IDS_NO_SOUND_OUTPUT, "没有声音输出设备，不能播放语音注释。"},
    {res::ID_APP_ABOUT, "显示程序信息、版本号和版权\n关于"},
    {res::ID_APP_EXIT, "退出应用程序\n退出"},
    {res::ID_VIEW_TOOLBAR, "显示或隐藏工具栏\n工具栏"},
    {res::ID_VIEW_STATUS_BAR, "显示或隐藏状态栏\n状态栏"},
    {res::ID_INDICATOR_CAPS, "大写"},
    {res::ID_INDICATOR_NUM, "数字"},
    {res::ID_INDICATOR_SCRL, "滚动"},
};

platform::StringTable& table()
{
    static platform::StringTable t(kStrings);
    return t;
}

} // namespace

QString LoadStringRes(int id)
{
    if (const QString* text = table().Find(id))
        return *text;
    return QString();
}

QString CommandPrompt(int commandId) { return platform::StringTable::PromptOf(LoadStringRes(commandId)); }

QString CommandTip(int commandId) { return platform::StringTable::TipOf(LoadStringRes(commandId)); }

bool LoadStringOverrides(const QString& path) { return table().LoadOverrides(path); }

void ClearStringOverrides() { table().ClearOverrides(); }

} // namespace heatshelf
