#include "test_support.h"

#include "skin/skin_style.h"

#include <QApplication>
#include <QDir>

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
    static char name[] = "skin_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

std::unique_ptr<skin::SkinState> MakeSkin(int styleNum)
{
    EnsureQApplication();
    auto s = std::make_unique<skin::SkinState>();
    s->m_nStyleNum = styleNum;
    s->BuildSkinBitmaps(s->StyleColor(styleNum, RGB(192, 192, 192)));
    skin::SetCurrentSkin(s.get());
    QApplication::setStyle(new skin::SkinStyle(s.get()));
    return s;
}

void SaveShot(const QImage& image, const char* name)
{
    const QString dir = QStringLiteral(SKIN_SCREENSHOT_DIR) + QStringLiteral("/shots");
    QDir().mkpath(dir);
    image.save(dir + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".png"));
}
