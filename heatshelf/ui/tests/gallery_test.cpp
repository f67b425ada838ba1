// Every browser control in the seven presets and a custom colour, painted
// offscreen into one PNG per theme (shots/gallery-<n>.png) to look at.
#include "ui_test_support.h"

#include "heatshelf/about_dlg.h"
#include "gallery.h"

#include <gtest/gtest.h>

TEST(Gallery, EveryControlInEveryTheme)
{
    EnsureQApplication();
    for (int style = 0; style <= 7; ++style) {
        ThemeFixture theme(RGB(120, 160, 90), style);
        heatshelf::ControlGallery gallery(theme.theme());
        const QImage img = gallery.Render();
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), gallery.size());
        SaveShot(img, QStringLiteral("gallery-%1").arg(style));
    }
}
