// The command icon table, our own vector icons, the icon theme the
// programs set for themselves, and the strips drawn from the icons.
#include "test_support.h"

#include "skin/command_icons.h"
#include "skin/icon_menu.h"
#include "skin/skin_resources.h"
#include "skin/tool_bar_ex.h"

#include <QDir>
#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Pixels of an image that are at least half covered.
int coveredPixels(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x)
            n += qAlpha(argb.pixel(x, y)) >= 128 ? 1 : 0;
    }
    return n;
}

class CommandIconsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        skin::UseIconTheme();
    }
};

TEST_F(CommandIconsTest, EveryRowIsUniqueAndFindsItsIcon)
{
    QSet<std::pair<unsigned, int>> seen;
    for (const skin::CommandIconEntry& e : skin::CommandIconTable()) {
        ASSERT_NE(e.name, nullptr);
        ASSERT_NE(e.programs & skin::kBothIcons, 0u) << e.command;
        for (const auto& [bit, look] : {std::pair{skin::kReportIcons, skin::SkinLook::Report},
                                        std::pair{skin::kBrowserIcons, skin::SkinLook::Browser}}) {
            if ((e.programs & bit) == 0)
                continue;
            EXPECT_FALSE(seen.contains({bit, e.command})) << "twice: " << e.command;
            seen.insert({bit, e.command});
            // A misspelt name, an SVG left out of the resources or a theme
            // without the icon all end here.
            EXPECT_NE(skin::CommandIconSource(look, e.command), skin::IconSource::None) << e.name;
            const QImage drawn = skin::CommandIcon(look, e.command).pixmap(16, 16).toImage();
            EXPECT_GT(coveredPixels(drawn), 6) << e.name << " draws (almost) nothing at 16 px";
        }
    }
}

TEST_F(CommandIconsTest, TheTwoProgramsNumberTheirCommandsApart)
{
    // 32777: bring to front in the report designer, the blue theme in the
    // browser (which shows its colour, not an icon).
    EXPECT_STREQ(skin::CommandIconName(skin::SkinLook::Report, 32777), "object-order-front");
    EXPECT_EQ(skin::CommandIconName(skin::SkinLook::Browser, 32777), nullptr);
    EXPECT_STREQ(skin::CommandIconName(skin::SkinLook::Report, 32773), "draw-rectangle-rounded");
    EXPECT_STREQ(skin::CommandIconName(skin::SkinLook::Browser, 32773), "thermal-palette");
    // Shared rows serve both.
    EXPECT_STREQ(skin::CommandIconName(skin::SkinLook::Browser, 57664), "help-about");
    EXPECT_STREQ(skin::CommandIconName(skin::SkinLook::Report, 57664), "help-about");
    for (int unknown : {0, -1, 4711})
        EXPECT_EQ(skin::CommandIconSource(skin::SkinLook::Report, unknown), skin::IconSource::None) << unknown;
    EXPECT_TRUE(skin::CommandIcon(skin::SkinLook::Report, 4711).isNull());
}

TEST_F(CommandIconsTest, OwnIconsComeBeforeTheThemeAndAreVectors)
{
    EXPECT_EQ(skin::CommandIconSource(skin::SkinLook::Report, 32842), skin::IconSource::Own); // spot
    EXPECT_EQ(skin::CommandIconSource(skin::SkinLook::Report, 57600), skin::IconSource::Theme);
    EXPECT_TRUE(skin::OwnIcon(QStringLiteral("no-such-icon")).isNull());
    // Every own icon and the two program icons draw, also at twice the
    // pixels.
    const QStringList own = QDir(QStringLiteral(":/skin/icons")).entryList({QStringLiteral("*.svg")});
    ASSERT_GE(own.size(), 3);
    for (const QString& file : own) {
        const QIcon icon = skin::OwnIcon(file.chopped(4));
        ASSERT_FALSE(icon.isNull()) << file.toStdString();
        const QPixmap small = icon.pixmap(QSize(16, 16), 1.0);
        const QPixmap large = icon.pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(large.size(), QSize(32, 32)) << file.toStdString();
        EXPECT_GT(coveredPixels(small.toImage()), 6) << file.toStdString();
        EXPECT_GT(coveredPixels(large.toImage()), 2 * coveredPixels(small.toImage())) << file.toStdString();
    }
    for (const char* program : {"pagewright", "heatshelf"}) {
        const QIcon icon = skin::OwnIcon(QString::fromLatin1(program));
        ASSERT_FALSE(icon.isNull()) << program;
        EXPECT_GT(coveredPixels(icon.pixmap(256, 256).toImage()), 256 * 256 / 3) << program;
    }
}

TEST_F(CommandIconsTest, TheProgramsThemeWinsOverTheDesktops)
{
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    EXPECT_FALSE(QIcon::hasThemeIcon(QStringLiteral("document-new")));
    skin::UseIconTheme();
    EXPECT_EQ(QIcon::themeName(), QString::fromLatin1(skin::kIconTheme));
    EXPECT_TRUE(QIcon::hasThemeIcon(QStringLiteral("document-new")));
}

TEST_F(CommandIconsTest, StripsHaveOneCellPerButtonAtThePixelRatio)
{
    std::vector<std::pair<int, QRect>> fellBack;
    const auto fallback = [&](QPainter& p, const QRect& cell, int command) {
        fellBack.emplace_back(command, cell);
        p.fillRect(cell, Qt::red);
    };
    const std::vector<int> commands = {57600, skin::kSeparator, 4711, 57603, skin::kSeparator};
    for (const qreal dpr : {1.0, 2.0}) {
        fellBack.clear();
        const QImage strip = skin::RenderCommandStrip(skin::SkinLook::Report, commands, {16, 15}, dpr, fallback);
        EXPECT_EQ(strip.devicePixelRatio(), dpr);
        EXPECT_EQ(strip.size(), QSize(48 * dpr, 16 * dpr));
        EXPECT_TRUE(strip.hasAlphaChannel());
        // Only the command without an icon is drawn by the fallback, in the
        // second cell (in device-independent pixels).
        ASSERT_EQ(fellBack.size(), 1u);
        EXPECT_EQ(fellBack[0], std::make_pair(4711, QRect(16, 0, 16, 15)));
        const auto cell = [&](int i) { return strip.copy(QRect(QPoint(int(i * 16 * dpr), 0), QSize(16, 15) * dpr)); };
        EXPECT_GT(coveredPixels(cell(0)), 12 * dpr * dpr);
        EXPECT_EQ(coveredPixels(cell(1)), int(16 * 15 * dpr * dpr));
        EXPECT_GT(coveredPixels(cell(2)), 12 * dpr * dpr);
        // The extra row and the corner pixels stay clear.
        EXPECT_EQ(coveredPixels(strip.copy(0, int(15 * dpr), strip.width(), strip.height() - int(15 * dpr))), 0);
        EXPECT_EQ(qAlpha(strip.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(strip.pixel(1, 1)), 0);
    }
    // Nothing but separators still gives a one-cell strip; no fallback, no crash.
    fellBack.clear();
    const QImage empty = skin::RenderCommandStrip(skin::SkinLook::Report, {}, {64, 15}, 0.0, fallback);
    EXPECT_EQ(empty.size(), QSize(64, 16));
    EXPECT_TRUE(fellBack.empty());
}

TEST_F(CommandIconsTest, AHighResolutionStripGivesTheSameBarWithSharperImages)
{
    auto skinState = MakeSkin(0);
    const std::vector<int> commands = {57600, 57601, skin::kSeparator, 57603};
    for (const qreal dpr : {1.0, 2.0}) {
        skin::ToolBarResource res;
        res.id = 9301 + int(dpr);
        res.commands = commands;
        res.bitmap = skin::RenderCommandStrip(skin::SkinLook::Report, commands, {16, 15}, dpr);
        skin::RegisterToolBar(res);
        CToolBarEx bar;
        ASSERT_TRUE(bar.LoadToolBarEx(res.id));
        EXPECT_EQ(bar.GetImageSize(), QSize(16, 15)) << dpr;
        EXPECT_EQ(bar.GetButtonSize(), QSize(23, 22)) << dpr;
        for (int list = 0; list < 3; ++list) {
            const skin::ImageList& images = bar.GetImageList(list);
            ASSERT_EQ(images.GetImageCount(), 3) << dpr;
            EXPECT_EQ(images.images[1].deviceIndependentSize(), QSizeF(16, 15)) << dpr;
            EXPECT_EQ(images.images[1].devicePixelRatio(), dpr);
            // Each list's image fills the cell as the normal one does (grey
            // and shadow cover at least what the image covers).
            EXPECT_GE(coveredPixels(images.images[1].toImage()),
                      coveredPixels(bar.GetImageList(0).images[1].toImage()))
                << "list " << list << " at " << dpr;
        }
        std::vector<QPixmap> menuImages;
        std::vector<int> ids;
        ASSERT_EQ(CIconMenu::LoadToolBarImageList(res.id, 16, 15, &menuImages, &ids), 3);
        EXPECT_EQ(ids, (std::vector<int>{57600, 57601, 57603}));
        EXPECT_EQ(menuImages[2].size(), QSize(16, 15) * dpr);
        EXPECT_EQ(menuImages[2].devicePixelRatio(), dpr);
    }
}

} // namespace
