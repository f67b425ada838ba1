// Start-up of the report designer: program folder, settings of another
// edition, field.ini, page size, the Cardpull call, units across a restart.
#include "test_support.h"

#include "skin/color_status_bar.h"
#include "app_environment.h"
#include "locale_paper.h"
#include "main_frame.h"
#include "resource_ids.h"
#include "string_table.h"
#include "unit_dlg.h"

#include "document/rpt_doc.h"
#include "irimage/workbook_file.h"
#include "platform/ini_file.h"
#include "platform/settings.h"
#include "skin/color_picker_button.h"
#include "skin/colors.h"
#include "skin/tool_bar_ex.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <vector>


TEST(Startup, FreshProgramFolderIsSeededAndTheFrameHasItsBarsAndPanes)
{
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(box.messages.empty());

    // The program folder was made from the installed defaults.
    for (const char* name : {"field.ini", "nruler1.bmp", "nruler10.bmp", "logo.jpg", "template/NewTemp.rpt"})
        EXPECT_TRUE(QFile::exists(box.ProgramFolder() + QLatin1Char('/') + QLatin1String(name))) << name;
    EXPECT_EQ(app->GetAppDirectory(), box.ProgramFolder());

    // First start: units Celsius and metre; no folder remembered (the
    // dialogs propose the documents folder), templates in the program's.
    EXPECT_EQ(app->tempetype, 0);
    EXPECT_EQ(app->metertype, 0);
    EXPECT_EQ(app->m_strTempUnit, QStringLiteral("℃"));
    EXPECT_EQ(app->m_strLengthUnit, QStringLiteral("m"));
    EXPECT_EQ(app->m_picPath, QString());
    EXPECT_EQ(app->m_savePath, QString());
    EXPECT_EQ(app->m_templatePath, box.ProgramFolder() + QStringLiteral("/template"));
    EXPECT_EQ(app->GetSettings().readString(QStringLiteral("Edition"), QStringLiteral("Edition")),
              QString::fromLatin1(CDI_RptApp::kEdition));

    // Palettes and object types of the default field.ini.
    EXPECT_EQ(app->GetPaletteCount(), 10);
    EXPECT_EQ(app->m_paletteNames.value(0), QStringLiteral("铁红"));
    EXPECT_EQ(app->m_objectTypes.size(), 8);
    const std::uint8_t* iron = app->GetPalette(0);
    ASSERT_NE(iron, nullptr);
    EXPECT_EQ(iron[4 * 255 + 2], 255); // iron ends in white
    EXPECT_EQ(app->GetPalette(10), nullptr);

    // No printer: 8330 x 11790 units of 1/1008 inch.
    EXPECT_FLOAT_EQ(app->m_pageWidth, 8330.0f / 1008.0f);
    EXPECT_FLOAT_EQ(app->m_pageHeight, 11790.0f / 1008.0f);
    EXPECT_EQ(app->m_pageKind, 7);

    CMainFrame* frame = app->GetMainFrame();
    ASSERT_NE(frame, nullptr);
    const int bars[] = {res::AFX_IDW_TOOLBAR, res::IDW_MEASURE_BAR, res::IDW_OBJECT_BAR, res::IDW_ADJUST_BAR,
                        res::IDW_PAGE_BAR,    res::IDW_PLAY_BAR,    res::IDW_FORMAT_BAR};
    ASSERT_EQ(frame->GetToolBars().size(), 7u);
    for (int id : bars) {
        CToolBarEx* bar = frame->GetControlBar(id);
        ASSERT_NE(bar, nullptr) << id;
        EXPECT_FALSE(bar->actions().isEmpty()) << id;
    }
    const int panes[] = {0, 61468, 61491, 59137, 59138, 59139};
    CColorStatusBar* status = frame->GetStatusBar();
    ASSERT_EQ(status->GetCount(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(status->GetItemID(i), panes[i]);
    EXPECT_EQ(status->GetMessageText(), QStringLiteral("就绪"));
    EXPECT_EQ(status->GetPaneText(1), QStringLiteral("Locked"));

    // Drop-downs, colour buttons and combos where the buttons were.
    CToolBarEx* object = frame->GetControlBar(res::IDW_OBJECT_BAR);
    EXPECT_EQ(object->GetButtonKind(object->IndexOf(object->GetButton(res::ID_LINE_WIDTH))), kButtonDropDown);
    EXPECT_EQ(object->GetButtonKind(object->IndexOf(object->GetButton(res::ID_ARROW))), kButtonDropDown);
    // Their menus: line widths in points and the arrow styles.
    const std::pair<int, QStringList> dropDowns[] = {
        {res::ID_LINE_WIDTH,
         {"0.25磅", "0.5磅", "0.75磅", "1磅", "1.5磅", "2.25磅", "3磅", "4.5磅", "6磅"}},
        {res::ID_ARROW, {"直线", "起点有箭头", "终点有箭头", "双箭头"}},
    };
    for (const auto& [command, texts] : dropDowns) {
        ASSERT_TRUE(object->OnDropDown(command)) << command;
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << command;
        QStringList shown;
        for (const QAction* a : menu->actions())
            shown << a->text();
        EXPECT_EQ(shown, texts) << command;
        menu->close();
    }
    EXPECT_EQ(frame->GetColorButton(res::ID_TEXT_COLOR), 0); // black
    EXPECT_EQ(frame->GetColorButton(res::ID_FILL_COLOR_BUTTON), -1);
    object->GetColorPicker(res::ID_FILL_COLOR_BUTTON)->SetColor(RGB(1, 2, 3));
    EXPECT_EQ(frame->GetColorButton(res::ID_FILL_COLOR_BUTTON), 0x030201);
    ASSERT_NE(frame->GetPageCombo(), nullptr);
    ASSERT_NE(frame->GetFileCombo(), nullptr);
    // A blank report opens at the start, in a maximised child frame.
    ASSERT_EQ(frame->GetMdiClient()->subWindowList().size(), 1);
    EXPECT_TRUE(frame->GetMdiClient()->subWindowList().front()->isMaximized());
    EXPECT_EQ(frame->GetStatusBar()->GetPaneStyle(1), SBPS_DISABLED); // not locked
    frame->GetMdiClient()->closeAllSubWindows();
    QApplication::processEvents();
    // With no report open the page combo is empty and disabled.
    frame->UpdateCommandUI();
    EXPECT_EQ(frame->GetPageCombo()->count(), 0);
    EXPECT_FALSE(frame->GetPageCombo()->isEnabled());
    EXPECT_FALSE(frame->GetFileCombo()->isEnabled());
    EXPECT_TRUE(frame->GetMdiClient()->subWindowList().isEmpty());
    // 400 client pixels inside the frame's own border.
    const QMargins m = frame->contentsMargins();
    EXPECT_EQ(frame->minimumWidth() - m.left() - m.right(), 400);
}

TEST(Startup, SeedingKeepsTheUsersFiles)
{
    StartupSandbox box;
    const QByteArray mine = FieldIni({"[COMMON]", "PalletteNum=1", "Pallette1=我的", "[FILENAME]",
                                      "Pallette1=NRULER3.BMP"});
    box.WriteProgramFile(QStringLiteral("field.ini"), mine);
    // A template folder of the user's, in another case, with its own
    // new-report template.
    QDir().mkpath(box.ProgramFolder() + QStringLiteral("/Template"));
    box.WriteProgramFile(QStringLiteral("Template/newtemp.rpt"), "mine");
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(QDir(box.ProgramFolder() + QStringLiteral("/Template")).entryList(QDir::Files),
              QStringList{QStringLiteral("newtemp.rpt")});
    EXPECT_FALSE(QFileInfo::exists(box.ProgramFolder() + QStringLiteral("/template")));
    QFile f(box.ProgramFolder() + QStringLiteral("/field.ini"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), mine);
    EXPECT_EQ(app->GetPaletteCount(), 1);
    EXPECT_EQ(app->m_paletteNames.value(0), QStringLiteral("我的"));
    // The palette file name is matched without regard to case.
    EXPECT_TRUE(box.messages.empty());
    EXPECT_EQ(app->GetPalette(0)[4 * 255], 255); // white hot ends in white
}

TEST(Startup, AnotherEditionClearsOnlyThisProgramsSettings)
{
    StartupSandbox box;
    {
        platform::Settings old(QStringLiteral("Pagewright"), box.ConfigFolder());
        old.writeString(QStringLiteral("Edition"), QStringLiteral("Edition"), QStringLiteral("Oct 8 2013"));
        old.writeInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 2);
        old.writeString(QStringLiteral("SavePath"), QStringLiteral("SavePath"), QStringLiteral("/elsewhere"));
        old.writeBinary(QStringLiteral("ControlBarStates"), QStringLiteral("State"), QByteArray("layout"));
        platform::Settings other(QStringLiteral("Heatshelf"), box.ConfigFolder());
        other.writeInt(QStringLiteral("Theme"), QStringLiteral("Theme"), 3);
    }
    StartupOptions options = box.Options();
    auto app = box.Start(options);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->tempetype, 0);
    EXPECT_EQ(app->m_savePath, QString());
    EXPECT_FALSE(app->GetSettings().contains(QStringLiteral("ControlBarStates"), QStringLiteral("State")));
    EXPECT_EQ(app->GetSettings().readString(QStringLiteral("Edition"), QStringLiteral("Edition")),
              QStringLiteral("Oct  8 2013"));
    platform::Settings other(QStringLiteral("Heatshelf"), box.ConfigFolder());
    EXPECT_EQ(other.readInt(QStringLiteral("Theme"), QStringLiteral("Theme"), 0), 3);
    app.reset();

    // The same edition keeps everything.
    {
        platform::Settings s(QStringLiteral("Pagewright"), box.ConfigFolder());
        s.writeInt(QStringLiteral("tempetype"), QStringLiteral("tempetype"), 1);
    }
    app = box.Start(box.Options());
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->tempetype, 1);
    EXPECT_EQ(app->m_strTempUnit, QStringLiteral("℉"));
}

TEST(Startup, FieldIniWithoutPalettesEndsStartUp)
{
    for (const char* count : {"PalletteNum=0", "PalletteNum=-3", "StyleNum=1"}) {
        StartupSandbox box;
        box.WriteProgramFile(QStringLiteral("field.ini"), FieldIni({"[COMMON]", count}));
        auto app = box.Start();
        EXPECT_EQ(app, nullptr) << count;
        ASSERT_EQ(box.messages.size(), 1u) << count;
        EXPECT_EQ(box.messages[0].stringId, res::IDS_CONFIG_FILE_MISSING);
        EXPECT_EQ(box.messages[0].text, QStringLiteral("没有找到配置文件！"));
    }
}

TEST(Startup, MissingPaletteFilesAreReportedOnceEachAndStartUpGoesOn)
{
    StartupSandbox box;
    box.WriteProgramFile(QStringLiteral("field.ini"),
                         FieldIni({"[COMMON]", "PalletteNum=3", "[FILENAME]", "Pallette1=gone.bmp",
                                   "Pallette2=nruler2.bmp", "Pallette3=", "[OBJECTTYPE]", "ObjectNum=2",
                                   "Object1=变压器"}));
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    ASSERT_EQ(box.messages.size(), 2u);
    for (const MessageBoxRequest& m : box.messages)
        EXPECT_EQ(m.stringId, res::IDS_PALETTE_FILE_MISSING);
    EXPECT_EQ(app->GetPaletteCount(), 3);
    const std::uint8_t* missing = app->GetPalette(0);
    EXPECT_EQ(std::count(missing, missing + 1024, 0), 1024);
    // A missing object key gives an empty name.
    EXPECT_EQ(app->m_objectTypes, QStringList({QStringLiteral("变压器"), QString()}));
}

// The reports' message boxes carry the program's title, except the question
// whether to open a file just exported, which carries "打开文档".
TEST(Startup, ReportMessageBoxesCarryTheirCaption)
{
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    box.messages.clear();
    DocumentEnvironment& env = app->GetDocumentEnvironment();
    env.MessageBox(doc_string::kExportedOpenIt, DocumentEnvironment::kYesNo | DocumentEnvironment::kIconQuestion);
    env.MessageBox(doc_string::kDeletePage, DocumentEnvironment::kYesNo);
    env.MessageBox(QStringLiteral("plain text"), DocumentEnvironment::kOk, 0);
    ASSERT_EQ(box.messages.size(), 3u);
    EXPECT_EQ(box.messages[0].text, QStringLiteral("报表成功导出，要打开导出文档吗？"));
    EXPECT_EQ(box.messages[0].caption, QStringLiteral("打开文档"));
    EXPECT_EQ(box.messages[1].caption, LoadStringRes(res::AFX_IDS_APP_TITLE));
    EXPECT_EQ(box.messages[2].caption, LoadStringRes(res::AFX_IDS_APP_TITLE));
    EXPECT_FALSE(box.messages[2].caption.isEmpty());
}

TEST(Startup, SkinColourFromTheStyleOrTheCustomColour)
{
    struct Case {
        std::initializer_list<const char*> extra;
        QRgb expected;
    } cases[] = {
        {{"StyleNum=3"}, qRgb(124, 205, 165)},
        {{"StyleNum=7", "CustomR=10", "CustomG=266", "CustomB=30"}, qRgb(10, 10, 30)},
        {{"StyleNum=-1"}, qRgb(192, 192, 192)},
    };
    for (const Case& c : cases) {
        StartupSandbox box;
        QByteArray ini = FieldIni({"[COMMON]", "PalletteNum=1"});
        for (const char* line : c.extra)
            ini += QByteArray(line) + "\r\n";
        ini += FieldIni({"[FILENAME]", "Pallette1=nruler1.bmp"});
        box.WriteProgramFile(QStringLiteral("field.ini"), ini);
        auto app = box.Start();
        ASSERT_NE(app, nullptr);
        EXPECT_EQ(skin::ToQRgb(app->m_skin.m_clrSkinBase), c.expected);
    }
}

TEST(Startup, PageSizeFromThePrintersPrintableArea)
{
    struct Case {
        double w, h;
        int units_w, units_h;
    } cases[] = {{210, 297, 8330, 11790}, {203.2, 266.7, 8060, 10600}};
    for (const Case& c : cases) {
        StartupSandbox box;
        StartupOptions o = box.Options();
        o.printablePageMm = [c] { return std::optional<QSizeF>(QSizeF(c.w, c.h)); };
        auto app = box.Start(o);
        ASSERT_NE(app, nullptr);
        EXPECT_FLOAT_EQ(app->m_pageWidth, float(c.units_w) / 1008.0f) << c.w;
        EXPECT_FLOAT_EQ(app->m_pageHeight, float(c.units_h) / 1008.0f) << c.h;
    }
}

namespace {

// The print system's plugin is mapped into this process.
// Whether a file whose path holds part is mapped into this process.
bool Mapped(const char* part)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(part);
}

bool PrintPluginLoaded() { return Mapped("/printsupport/"); }

} // namespace

TEST(Startup, WithoutAPrinterAskedTheLocalesPaperIsThePageAndNoPrintPluginLoads)
{
    // The C locale's paper is A4.
    EXPECT_EQ(LocalePaperMm().toSize(), QSize(210, 297));

    const bool loadedBefore = PrintPluginLoaded();
    StartupSandbox box;
    StartupOptions o = box.Options();
    o.printablePageMm = {};
    auto app = box.Start(o);
    ASSERT_NE(app, nullptr);
    const QSizeF paper = LocalePaperMm();
    const auto units = [](double mm) { return float(std::lround(std::lround(mm) * 1008.0 / 254) * 10) / 1008.0f; };
    EXPECT_FLOAT_EQ(app->m_pageWidth, units(paper.width()));
    EXPECT_FLOAT_EQ(app->m_pageHeight, units(paper.height()));
    ASSERT_TRUE(app->PrintablePageMm().has_value());
    EXPECT_EQ(*app->PrintablePageMm(), paper);
    if (!loadedBefore) {
        EXPECT_FALSE(PrintPluginLoaded()) << "start-up loaded the printing support";
    }

    // Printing asks the print system (which loads its plugin).
    app->AskPrinter();
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/printsupport");
    if (!QDir(plugins).entryList(QDir::Files).isEmpty()) {
        EXPECT_TRUE(PrintPluginLoaded());
    }
}

TEST(Startup, LibrariesThatOnlySomeCommandsNeedAreOpenedWhenFirstUsed)
{
    // The compound-file container and the word-processor and spreadsheet
    // writers are neither linked into the program nor opened by its start.
    QProcess objdump;
    objdump.start(QStringLiteral("objdump"), {QStringLiteral("-p"), QString::fromLocal8Bit(PAGEWRIGHT_PROGRAM)});
    ASSERT_TRUE(objdump.waitForFinished(30000));
    const QByteArray headers = objdump.readAllStandardOutput();
    ASSERT_TRUE(headers.contains("NEEDED")) << "objdump ran";
    const char* const libraries[] = {"libgsf-1.so", "libzip.so", "libxlsxwriter.so"};
    for (const char* library : libraries)
        EXPECT_FALSE(headers.contains(library)) << library;

    std::vector<bool> before;
    for (const char* library : libraries)
        before.push_back(Mapped(library));
    StartupSandbox box;
    auto app = box.Start(box.Options());
    ASSERT_NE(app, nullptr);
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!before[i]) {
            EXPECT_FALSE(Mapped(libraries[i])) << libraries[i] << " opened at start";
        }
    }

    // Saving a report opens the container, and a spreadsheet its writer.
    CDI_RptDoc doc;
    QTemporaryDir dir;
    ASSERT_TRUE(doc.OnSaveDocument(dir.filePath(QStringLiteral("first.rpt"))));
    EXPECT_TRUE(Mapped("libgsf-1.so"));
    WorkbookFile book(dir.filePath(QStringLiteral("first.xlsx")));
    ASSERT_TRUE(book.IsOpen()) << book.Error().toStdString();
    EXPECT_TRUE(Mapped("libxlsxwriter.so"));
}

TEST(Startup, CardpullIsCalledOnceWhenPresentAndSkippedWhenMissing)
{
    StartupSandbox box;
    const QString mark = box.Path(QStringLiteral("cardpull.mark"));
    qputenv("CARDPULL_PROBE_MARK", QFile::encodeName(mark));
    StartupOptions o = box.Options();
    o.executableFolder = QStringLiteral(PAGEWRIGHT_CARDPULL_PROBE_DIR);
    o.cardpullLibrary = QStringLiteral(PAGEWRIGHT_CARDPULL_PROBE_NAME);
    auto app = box.Start(o);
    ASSERT_NE(app, nullptr);
    QFile f(mark);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("called\n"));
    app.reset();

    StartupOptions none = box.Options();
    none.cardpullLibrary = QStringLiteral("libcardpull_not_here.so");
    app = box.Start(none);
    ASSERT_NE(app, nullptr);
    EXPECT_FALSE(app->CallCardpull());
    EXPECT_TRUE(box.messages.empty());
    qunsetenv("CARDPULL_PROBE_MARK");
}

TEST(Startup, StringOverrideFileReplacesTexts)
{
    StartupSandbox box;
    QDir().mkpath(box.Path(QStringLiteral("bin")));
    QFile f(box.Path(QStringLiteral("bin/Wordbank.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# test\n61452=metre\n34022=Page %d\nnot a line\n");
    f.close();
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(app->m_languageLoaded);
    EXPECT_EQ(app->m_strLengthUnit, QStringLiteral("metre"));
    app->GetMainFrame()->FillPageCombo(2);
    EXPECT_EQ(app->GetMainFrame()->GetPageCombo()->itemText(1), QStringLiteral("Page 2"));
    app.reset();
    EXPECT_EQ(LoadStringRes(res::IDS_METRE), QStringLiteral("m")); // exit drops the overrides
}

TEST(Startup, UnitsChosenInTheDialogPersistAcrossARestart)
{
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* dlg = qobject_cast<CUnitDlg*>(QApplication::activeModalWidget());
        if (dlg == nullptr)
            return;
        seen = true;
        // The dialog opens with the current units.
        EXPECT_TRUE(dlg->GetDlgItemAs<QAbstractButton>(res::IDC_METRE)->isChecked());
        EXPECT_TRUE(dlg->GetDlgItemAs<QAbstractButton>(res::IDC_TEMP_C)->isChecked());
        dlg->ClickButton(res::IDC_FEET);
        dlg->ClickButton(res::IDC_TEMP_K);
        dlg->ClickButton(res::IDOK);
    });
    app->GetMainFrame()->ExecuteCommand(res::ID_UNITS); // no report open: only the units change
    EXPECT_TRUE(seen);
    EXPECT_EQ(app->tempetype, 2);
    EXPECT_EQ(app->metertype, 1);
    EXPECT_EQ(app->m_strTempUnit, QStringLiteral(" K"));
    EXPECT_EQ(app->m_strLengthUnit, QStringLiteral("ft"));
    app.reset();

    app = box.Start();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->tempetype, 2);
    EXPECT_EQ(app->metertype, 1);

    // Cancel changes nothing.
    QTimer::singleShot(0, [] {
        if (auto* dlg = qobject_cast<CUnitDlg*>(QApplication::activeModalWidget())) {
            dlg->ClickButton(res::IDC_TEMP_C);
            dlg->ClickButton(res::IDCANCEL);
        }
    });
    app->OnUnits();
    EXPECT_EQ(app->tempetype, 2);
}

TEST(Startup, ToolbarLayoutIsSavedAtCloseAndRestored)
{
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    CMainFrame* frame = app->GetMainFrame();
    frame->show();
    frame->ExecuteCommand(res::IDW_PLAY_BAR); // hide the play bar
    EXPECT_FALSE(frame->GetControlBar(res::IDW_PLAY_BAR)->isVisible());
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->GetCommandAction(res::IDW_PLAY_BAR)->isChecked());
    EXPECT_TRUE(frame->GetCommandAction(res::AFX_IDW_TOOLBAR)->isChecked());
    frame->close();
    app.reset();

    app = box.Start();
    ASSERT_NE(app, nullptr);
    frame = app->GetMainFrame();
    frame->show();
    EXPECT_FALSE(frame->GetControlBar(res::IDW_PLAY_BAR)->isVisible());
    EXPECT_TRUE(frame->GetControlBar(res::IDW_OBJECT_BAR)->isVisible());
}

TEST(Startup, ScreenshotOfTheMainWindow)
{
    StartupSandbox box;
    StartupOptions o = box.Options();
    auto app = box.Start(o);
    ASSERT_NE(app, nullptr);
    CMainFrame* frame = app->GetMainFrame();
    frame->resize(1280, 800);
    frame->show();
    QApplication::processEvents();
    const QImage shot = frame->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QString path = QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR) + QStringLiteral("/pagewright_main.png");
    ASSERT_TRUE(shot.save(path));
    EXPECT_GE(shot.width(), 1000);
}

// Without a window system the program and the run script say so in one line
// instead of Qt's list of platform plugins.
TEST(Startup, WithoutAGraphicalSessionOneLineSaysSo)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const char* program : {PAGEWRIGHT_PROGRAM, PAGEWRIGHT_RUN_SCRIPT}) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QString::fromLocal8Bit(program), {});
        ASSERT_TRUE(p.waitForFinished(30000)) << program;
        EXPECT_EQ(p.exitCode(), 1) << program;
        const QByteArray err = p.readAllStandardError();
        EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.contains("needs a graphical session")) << err.toStdString();
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    }
}

// Qt's own buttons and dialogs speak the program's language once the start
// has run (when Qt's Chinese texts are installed).
namespace {
bool HasChineseText(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}
} // namespace

TEST(Startup, QtsOwnButtonsAndDialogsAreInChinese)
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm")))
        GTEST_SKIP() << "Qt's Chinese translations are not installed";
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Ok |
                             QDialogButtonBox::Cancel | QDialogButtonBox::Save | QDialogButtonBox::Open);
    for (QAbstractButton* b : buttons.buttons())
        EXPECT_TRUE(HasChineseText(b->text())) << b->text().toStdString();
    EXPECT_TRUE(HasChineseText(QCoreApplication::translate("QFileDialog", "Look in:")));
    EXPECT_TRUE(HasChineseText(QCoreApplication::translate("QPrintDialog", "Print")));
}
