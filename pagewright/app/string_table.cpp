#include "string_table.h"

#include "resource_ids.h"

#include "content/field_catalogue.h"

#include "skin/message_box.h"
#include "platform/string_overrides.h"



namespace {

using Entry = platform::StringTable::Entry;

// Prompts of commands are "status-bar text\ntooltip".
constexpr Entry kStrings[] = {
    {res::IDR_MAINFRAME, "红外热像报表软件"},
    {res::IDR_REPORTTYPE, "\nRirovEre\n红外报表文件\n红外报表文件 (*.rpt;*.rpm)\n.rpt;.rpm\nIR.Report\n红外报表文件"},
    {res::AFX_IDS_APP_TITLE, "Pagewright"},
    {res::AFX_IDS_IDLEMESSAGE, "就绪"},
    {res::AFX_IDS_OPENFILE, "打开"},
    {res::IDS_TEMP_C, "℃"},
    {res::IDS_TEMP_F, "℉"},
    {res::IDS_TEMP_K, " K"},
    {res::IDS_METRE, "m"},
    {res::IDS_FEET, "ft"},
    {res::IDS_SELECT_TEMPLATE, "选择模板文件"},
    {res::IDS_SELECT_PICTURE, "选择图片文件"},
    {res::IDS_PALETTE_FILE_MISSING, "没有找到色标文件！"},
    {res::IDS_CONFIG_FILE_MISSING, "没有找到配置文件！"},
    {res::IDS_PALETTE_KEY, "Pallette"},
    {res::IDS_OBJECT_KEY, "Object"},
    {res::IDS_PAGE_ENTRY, "第%d页"},
    {res::IDS_BATCH_DONE, "批处理完成！"},
    {res::IDS_CHOOSE_SAVE_PATH, "请选择保存路径"},
    {res::IDS_TEMPLATE_NOT_FOUND, "未找到模版文件"},
    {res::IDS_BATCH_NO_FOLDER, "存储路径不存在，请选择存储路径"},
    {res::IDS_BATCH_TEMPLATE_UNREADABLE, "无法打开模版文件"},
    {res::IDS_BATCH_TEMPLATE_NO_IMAGE, "模版中没有红外图像"},
    {res::IDS_BATCH_NOT_LOADED, "以下文件未能载入："},
    {res::IDS_BATCH_NOT_SAVED, "以下文件未能保存："},
    {res::IDS_BATCH_SHARED_NAMES, "以下输出文件由多个文件生成（后者覆盖前者）："},
    {res::IDS_WIZARD_PROPERTY_TABLE, "属性表"},
    {res::IDS_WIZARD_LOCATION, "检测地点"},
    {res::IDS_WIZARD_IR_IMAGE, "红外图像"},
    {res::IDS_WIZARD_VISIBLE, "可见光"},
    {res::IDS_WIZARD_DIAGNOSIS, "诊断分析"},
    {res::IDS_WIZARD_HANDLING, "处理意见"},
    {res::IDS_WIZARD_INSPECTOR, "检测人员："},
    {res::IDS_WIZARD_LINE_CHART, "线测温图"},
    {res::IDS_WIZARD_HISTOGRAM, "直方图"},
    {res::IDS_EMPTY_REPORT_ENTRY, "创建空白报表(不使用模板)"},
    {res::IDS_NEW_REPORT_ENTRY, "创建新报表(不使用模板)"},
    {res::IDS_NEW_TEMPLATE_MISSING, "未找到模版文件NewTemp.rpt"},
    {res::IDS_WIZARD_QUIT, "向导尚未完成，\n确定退出吗？"},
    {res::IDS_WIZARD_PROMPT_IMAGES, "请选择报表用到的红外图片"},
    {res::IDS_WIZARD_PROMPT_TEXTS, "请设置报表相关文本信息"},
    {res::IDS_WIZARD_PROMPT_TABLES, "请设置报表相关表格信息"},
    {res::IDS_WIZARD_IMAGE_ITEM, "红外对象%d"},
    {res::IDS_WIZARD_BAD_IR_FILE, "无效的红外文件，打开失败！"},
    {res::IDS_WIZARD_PHOTO_ITEM, "可见光对象%d"},
    {res::IDS_WIZARD_NO_PHOTO_OBJECT, "模版限制，对象无效！"},
    {res::IDS_WIZARD_TEXT_CHANGES, "文本信息更改"},
    {res::IDS_WIZARD_TABLE_CHANGES, "表格信息更改"},
    {res::IDS_WIZARD_REPORT_TITLE, "报表标题"},
    {res::IDS_WIZARD_ENTER_TITLE, "请输入报表标题"},
    {res::IDS_WIZARD_COMPANY, "公司名称"},
    {res::IDS_WIZARD_ENTER_COMPANY, "请输入公司名称"},
    {res::IDS_WIZARD_REPORT_NAME, "报表名称"},
    {res::IDS_WIZARD_PAGE_TITLE, "页标题"},
    {res::IDS_REPORT_NAME, "Report"},
    {res::IDS_PAGE_IMAGE_FAILED, "无法创建模板预览图像。"},
    {res::IDS_TEMPLATE_DAMAGED, "模板布局文件已损坏。"},
    {res::ID_INDICATOR_LOCKED, "Locked"},
    {res::ID_INDICATOR_NONE, "None"},
    {res::ID_INDICATOR_CAPS, "大写"},
    {res::ID_INDICATOR_NUM, "数字"},
    {res::ID_INDICATOR_SCRL, "滚动"},

    {res::ID_FILE_NEW, "建立新报表\n新建"},
    {res::ID_FILE_OPEN, "打开一个已有的报表\n打开"},
    {res::ID_FILE_CLOSE, "关闭当前报表\n关闭"},
    {res::ID_FILE_SAVE, "保存当前报表\n保存"},
    {res::ID_FILE_SAVE_AS, "以新的名字保存当前报表\n另存为"},
    {res::ID_FILE_PRINT_SETUP, "改变打印机及打印选项\n打印设置"},
    {res::ID_FILE_PRINT, "打印当前报表\n打印"},
    {res::ID_FILE_PRINT_PREVIEW, "显示整页\n打印预览"},
    {res::ID_EDIT_CLEAR, "删除所选对象\n删除"},
    {res::ID_EDIT_COPY, "复制所选对象到剪贴板\n复制"},
    {res::ID_EDIT_CUT, "剪切所选对象到剪贴板\n剪切"},
    {res::ID_EDIT_PASTE, "插入剪贴板内容\n粘贴"},
    {res::ID_EDIT_SELECT_ALL, "选择全部对象\n全选"},
    {res::ID_UNDO, "撤销最后一步操作\n撤销"},
    {res::ID_REDO, "重复上次撤销的操作\n重复"},
    {res::ID_WINDOW_CASCADE, "层叠窗口\n层叠"},
    {res::ID_WINDOW_TILE_HORZ, "平铺窗口\n平铺"},
    {res::ID_WINDOW_ARRANGE, "排列窗口图标\n排列图标"},
    {res::ID_APP_ABOUT, "显示程序信息、版本号和版权\n关于"},
    {res::ID_APP_EXIT, "退出应用程序\n退出"},
    {res::ID_FILE_MRU_FILE1, "打开该文档"},
    {res::ID_FILE_MRU_FILE1 + 1, "打开该文档"},
    {res::ID_FILE_MRU_FILE1 + 2, "打开该文档"},
    {res::ID_FILE_MRU_FILE4, "打开该文档"},
    {res::ID_UNITS, "设置温度和距离单位\n单位"},
    {res::ID_BATCH, "批量生成报表\n批量报表"},
    {res::AFX_IDW_TOOLBAR, "显示或隐藏标准工具栏\n标准工具栏"},
    {res::ID_VIEW_STATUS_BAR, "显示或隐藏状态栏\n状态栏"},
    {res::IDW_MEASURE_BAR, "显示或隐藏测温工具栏\n测温工具栏"},
    {res::IDW_OBJECT_BAR, "显示或隐藏对象工具栏\n对象工具栏"},
    {res::IDW_ADJUST_BAR, "显示或隐藏调整工具栏\n调整工具栏"},
    {res::IDW_PAGE_BAR, "显示或隐藏页面工具栏\n页面工具栏"},
    {res::IDW_PLAY_BAR, "显示或隐藏播放工具栏\n播放工具栏"},
    {res::IDW_FORMAT_BAR, "显示或隐藏文本格式工具栏\n文本格式工具栏"},

    // Object bar.
    {32770, "选择对象\n选择"},
    {32771, "画直线\n直线"},
    {32772, "画矩形\n矩形"},
    {32773, "画圆角矩形\n圆角矩形"},
    {32774, "画椭圆\n椭圆"},
    {32782, "画多边形\n多边形"},
    {32812, "插入文本框\n文本"},
    {32815, "插入红外图像\n红外图像"},
    {32816, "插入数据字段\n字段"},
    {32820, "插入表格\n表格"},
    {32966, "插入结果表\n结果表"},
    {32813, "插入温度曲线\n温度曲线"},
    {33086, "插入直方图\n直方图"},
    {34007, "插入时间曲线\n时间曲线"},
    {32804, "插入可见光照片\n照片"},
    {32972, "插入标志\n标志"},
    {34020, "插入三维温度图\n三维图"},
    {res::ID_ARROW, "箭头方向\n箭头"},
    {res::ID_LINE_WIDTH, "线宽\n线宽"},
    {res::ID_TEXT_COLOR, "文字颜色\n文字颜色"},
    {res::ID_FILL_COLOR_BUTTON, "填充色设置\n填充色"},
    {res::ID_LINE_COLOR_BUTTON, "边框颜色\n边框颜色"},
    {32985, "0.25磅"},
    {32986, "0.5磅"},
    {32987, "0.75磅"},
    {32988, "1磅"},
    {32989, "1.5磅"},
    {32990, "2.25磅"},
    {32991, "3磅"},
    {32992, "4.5磅"},
    {32993, "6磅"},
    {34023, "画箭头\n箭头"},
    {34025, "直线"},
    {34026, "起点有箭头"},
    {34027, "终点有箭头"},
    {34028, "双箭头"},

    // Measurement bar.
    {32840, "打开红外图像文件\n打开红外图像"},
    {32841, "红外图像设置\n设置"},
    {32842, "测量点温度\n点"},
    {32855, "测量点温度\n点"},
    {32843, "测量线温度\n线"},
    {32844, "测量区域温度\n区域"},
    {32851, "测量圆形区域温度\n圆形区域"},
    {32865, "等温区域\n等温区域"},
    {32845, "删除分析对象\n删除分析"},
    {32847, "设置温度范围\n温度范围"},
    {32867, "更换为前一个色标\n前一个色标"},
    {32868, "更换为后一个色标\n后一个色标"},
    {32850, "播放语音注释\n语音注释"},
    {32852, "显示文本注释\n文本注释"},
    {32866, "显示可见光图象\n可见光图象"},

    // Adjust bar.
    {34002, "左对齐\n左对齐"},
    {34003, "右对齐\n右对齐"},
    {34004, "底端对齐\n底端对齐"},
    {34005, "顶端对齐\n顶端对齐"},
    {32777, "移到最前\n移到最前"},
    {32778, "移到最后\n移到最后"},
    {32779, "往前移\n往前移"},
    {32780, "往后移\n往后移"},

    // Page bar.
    {32826, "新建一页\n新建一页"},
    {32829, "到第一个页面\n第一页"},
    {32830, "前一页\n前一页"},
    {res::ID_PAGE_COMBO, "选择页面\n页面"},
    {32831, "后一页\n后一页"},
    {32832, "最后一页\n最后一页"},
    {32833, "放大\n放大"},
    {32834, "缩小\n缩小"},
    {32835, "显示整页\n整页"},

    // Play bar.
    {34009, "第一帧\n第一帧"},
    {34010, "快退\n快退"},
    {34011, "前一帧\n前一帧"},
    {34013, "播放\n播放"},
    {34012, "停止\n停止"},
    {34014, "下一帧\n下一帧"},
    {34015, "快进\n快进"},
    {34016, "最后一帧\n最后一帧"},
    {res::ID_FILE_COMBO, "选择红外图像文件\n文件"},
    {34017, "删除当前一帧红外图像\n删除一帧"},
    {34018, "增加一帧红外图像\n增加一帧"},

    // Text format bar.
    {104, "粗体\n粗体"},
    {108, "斜体\n斜体"},
    {111, "下划线\n下划线"},
    {117, "左对齐\n左对齐"},
    {119, "居中\n居中"},
    {121, "右对齐\n右对齐"},

    // Object property sheets and the field and cell pages (the field and
    // group names come from the field catalogue).
    {32788, "对象属性"},
    {61460, "属性域"},
};

platform::StringTable& table()
{
    static platform::StringTable t(kStrings);
    return t;
}

// Message boxes take their texts from this table.
const bool g_messageBoxStrings = (SetMessageBoxStrings(&LoadStringRes), true);

} // namespace

QString LoadStringRes(int id)
{
    if (const QString* text = table().Find(id))
        return *text;
    return field_catalogue::BuiltInText(id);
}

QString CommandPrompt(int commandId) { return platform::StringTable::PromptOf(LoadStringRes(commandId)); }

QString CommandTip(int commandId) { return platform::StringTable::TipOf(LoadStringRes(commandId)); }

bool LoadStringOverrides(const QString& path) { return table().LoadOverrides(path); }

void ClearStringOverrides() { table().ClearOverrides(); }
