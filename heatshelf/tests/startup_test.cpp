// Start-up of the browser: the program folder, the palettes and their
// message, the theme from field.ini, the frame's parts, exit.
#include "app_test_support.h"

#include "resource_ids.h"
#include "string_table.h"

#include "skin/color_status_bar.h"
#include "skin/colors.h"
#include "skin/tool_bar_ex.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QAbstractButton>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>

#include <algorithm>

using namespace heatshelf;

TEST(Startup, FreshFolderIsSeededAndEveryPaletteLoads)
{
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(box.messages.empty());
    for (const char* name : {"field.ini", "nruler1.bmp", "nruler10.bmp"})
        EXPECT_TRUE(QFile::exists(box.ProgramFolder() + QLatin1Char('/') + QLatin1String(name))) << name;
    EXPECT_EQ(app->ProgramDir(), box.ProgramFolder());
    // Every palette was filled from its file: none is all zero.
    for (int n = 0; n < kPaletteCount; ++n) {
        const std::uint8_t* pal = app->Palettes().Palette(n);
        EXPECT_TRUE(std::any_of(pal, pal + kPaletteBytes, [](std::uint8_t b) { return b != 0; })) << n;
    }
    // The frame: caption string 128 (the document adds no name), toolbar
    // 128 with ten buttons, four status panes.
    CMainFrame* frame = app->MainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), LoadStringRes(res::IDR_MAINFRAME));
    app->Document().SetTitle(QStringLiteral("x.vni"));
    EXPECT_TRUE(app->Document().GetTitle().isEmpty());
    EXPECT_EQ(frame->ToolBar()->GetImageCount(), 10);
    EXPECT_EQ(frame->StatusBarCtrl()->GetCount(), 4);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(frame->StatusBarCtrl()->GetPaneStyle(i) & SBPS_DISABLED, SBPS_DISABLED) << i;
    EXPECT_EQ(frame->minimumWidth(), 220 + 8);
    EXPECT_NE(app->Settings(), nullptr);
    EXPECT_EQ(app->ExitInstance(), 0);
    EXPECT_EQ(app->MainFrame(), nullptr);
}

TEST(Startup, MissingThirdPaletteShowsOneMessageAndNineLoad)
{
    // Installed defaults without the third palette: seeding cannot bring it.
    StartupSandbox box;
    const QString defaults = box.Path(QStringLiteral("defaults"));
    QDir().mkpath(defaults);
    for (const QString& name : QDir(QStringLiteral(HEATSHELF_DEFAULT_DATA)).entryList(QDir::Files)) {
        if (name != QStringLiteral("nruler3.bmp")) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(HEATSHELF_DEFAULT_DATA "/") + name, defaults + QLatin1Char('/') + name));
        }
    }
    heatshelf::StartupOptions options = box.Options();
    options.defaultDataFolder = defaults;
    auto app = box.Start(options);
    ASSERT_NE(app, nullptr);
    ASSERT_EQ(box.messages.size(), 1u);
    EXPECT_EQ(box.messages[0].text, QString::fromUtf8("没有找到色标文件"));
    EXPECT_EQ(box.messages[0].type, MB_OK);
    for (int n = 0; n < kPaletteCount; ++n) {
        const std::uint8_t* pal = app->Palettes().Palette(n);
        const bool filled = std::any_of(pal, pal + kPaletteBytes, [](std::uint8_t b) { return b != 0; });
        EXPECT_EQ(filled, n != 2) << n;
    }
}

TEST(Startup, ThemeColourFromFieldIni)
{
    struct Case {
        const char* ini;
        COLORREF colour;
    };
    const Case cases[] = {
        {"[COMMON]\r\nStyleNum=7\r\n", RGB(192, 192, 192)},
        {"[COMMON]\r\nStyleNum=6\r\n", 0xF0F0F0},
        {"[COMMON]\r\nStyleNum=0\r\n", 0xEFB287},
        {"[COMMON]\r\nStyleNum=-1\r\nCustomR=10\r\nCustomG=20\r\nCustomB=30\r\n", RGB(10, 20, 30)},
        // Custom keys keep their low 8 bits.
        {"[COMMON]\r\nStyleNum=9\r\nCustomR=266\r\nCustomG=-1\r\nCustomB=512\r\n", RGB(10, 255, 0)},
        {"", 0xEFB287}, // no keys: the first preset
    };
    for (const Case& c : cases) {
        StartupSandbox box;
        box.Seed();
        box.WriteProgramFile(QStringLiteral("field.ini"), QByteArray(c.ini));
        auto app = box.Start();
        ASSERT_NE(app, nullptr) << c.ini;
        // The base colour the shades were derived from.
        Theme reference;
        reference.ApplySkinColor(c.colour);
        EXPECT_EQ(app->GetTheme().SkinBase(), reference.SkinBase()) << c.ini;
        EXPECT_EQ(app->GetTheme().SkinDark(), reference.SkinDark()) << c.ini;
    }
}

TEST(Startup, StringOverrideFileBesideTheProgram)
{
    StartupSandbox box;
    heatshelf::StartupOptions options = box.Options();
    QDir().mkpath(options.executableFolder);
    QFile f(options.executableFolder + QStringLiteral("/Shelfpack.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# test\n128=Browser\n1021=Values\n");
    f.close();
    auto app = box.Start(options);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(LoadStringRes(1021), QStringLiteral("Values"));
    EXPECT_EQ(app->MainFrame()->windowTitle(), QStringLiteral("Browser"));
    app->ExitInstance();
    EXPECT_EQ(LoadStringRes(1021), QString::fromUtf8("温度数据"));
}

TEST(Startup, ThemeCommandReachesFrameAndIsRemembered)
{
    StartupSandbox box;
    auto* view = static_cast<FakeImageView*>(nullptr);
    heatshelf::StartupOptions options = box.Options();
    options.makeView = [&view](QWidget* parent) { return view = new FakeImageView(parent); };
    auto app = box.Start(options);
    ASSERT_NE(app, nullptr);
    CMainFrame* frame = app->MainFrame();
    EXPECT_TRUE(frame->RunCommand(32781));
    EXPECT_EQ(app->GetTheme().StyleNum(), 4);
    EXPECT_TRUE(frame->QueryCommand(32781).IsChecked());
    EXPECT_FALSE(frame->QueryCommand(32777).IsChecked());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::count(view->log.begin(), view->log.end(), QStringLiteral("theme")), 1);
    QFile ini(box.ProgramFolder() + QStringLiteral("/field.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("StyleNum=4"));
}

// The voice note lives in the image view's private temporary folder: a
// "temp.wav" of the user's, in the working folder or the program folder,
// outlives the frame.
TEST(Startup, ClosingTheFrameTouchesNoUserFile)
{
    StartupSandbox box;
    box.Seed();
    box.WriteProgramFile(QStringLiteral("temp.wav"), QByteArray("RIFF mine"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(box.ProgramFolder()));
    {
        auto app = box.Start();
        ASSERT_NE(app, nullptr);
        app->MainFrame()->close();
        app->ExitInstance();
    }
    QDir::setCurrent(previous);
    QFile f(box.ProgramFolder() + QStringLiteral("/temp.wav"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("RIFF mine"));
}

// A Yes/No question of the browser has Chinese buttons once the start has
// run (when Qt's Chinese texts are installed).
TEST(Startup, AQuestionsYesAndNoAreInChinese)
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm")))
        GTEST_SKIP() << "Qt's Chinese translations are not installed";
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    QMessageBox question(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("是(Y)"));
    EXPECT_EQ(question.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("否(N)"));
}
