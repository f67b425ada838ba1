// A QApplication and a browser theme made the current skin, for the
// browser's control tests.
#pragma once

#include "heatshelf/theme.h"

#include <QImage>
#include <QString>

#include <memory>
#include <ostream>

void EnsureQApplication();
// The browser theme of a preset (or a colour), current until destroyed.
class ThemeFixture {
public:
    explicit ThemeFixture(int styleNum = 0);
    explicit ThemeFixture(COLORREF custom, int styleNum);
    ~ThemeFixture();
    heatshelf::Theme& theme() { return *m_theme; }

private:
    std::unique_ptr<heatshelf::Theme> m_theme;
};

// Renders a widget (shown offscreen) into an image.
class QWidget;
QImage Grab(QWidget& w);
// Saves an image beside the test binary, to look at.
void SaveShot(const QImage& image, const QString& name);
COLORREF PixelAt(const QImage& image, int x, int y);

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
