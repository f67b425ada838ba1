#include "ui_test_support.h"

#include "skin/colors.h"
#include "skin/skin_colors.h"
#include "skin/skin_style.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

// Fontconfig keeps its caches for the life of the process and leaves them
// to the operating system at exit; the leak checker is told so.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

void EnsureQApplication()
{
    if (QApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "heatshelf_ui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

ThemeFixture::ThemeFixture(int styleNum) : ThemeFixture(RGB(192, 192, 192), styleNum) {}

ThemeFixture::ThemeFixture(COLORREF custom, int styleNum)
{
    EnsureQApplication();
    m_theme = std::make_unique<heatshelf::Theme>();
    m_theme->SetStyleNum(styleNum);
    m_theme->ApplySkinColor(m_theme->ThemeColor(styleNum, custom));
    skin::SetCurrentSkin(&m_theme->State());
    QApplication::setStyle(new skin::SkinStyle(&m_theme->State()));
}

ThemeFixture::~ThemeFixture() { skin::SetCurrentSkin(nullptr); }

QImage Grab(QWidget& w)
{
    w.ensurePolished();
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void SaveShot(const QImage& image, const QString& name)
{
    const QString dir = QStringLiteral(HEATSHELF_SHOT_DIR);
    QDir().mkpath(dir);
    image.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

COLORREF PixelAt(const QImage& image, int x, int y) { return skin::FromQRgb(image.pixel(x, y)); }
