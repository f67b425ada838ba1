// The images of both programs' commands: one table from command id to an
// icon name of the freedesktop naming scheme, looked up first among our own
// vector icons (compiled in from skin/icons/) and then in the icon theme
// the programs set for themselves. Toolbar strips and menu images are
// rendered from these icons at the screen's device pixel ratio; a command
// whose icon cannot be found is drawn by the program's fallback painter.
#pragma once

#include "skin/skin_colors.h"

#include <QIcon>
#include <QImage>
#include <QSize>

#include <functional>
#include <span>
#include <vector>

class QPainter;
class QRect;

namespace skin {

// Which program a row of the table belongs to (the two programs number
// their commands independently).
enum IconProgram : unsigned { kReportIcons = 1, kBrowserIcons = 2, kBothIcons = 3 };

struct CommandIconEntry {
    unsigned programs; // IconProgram bits
    int command;
    const char* name;  // own icon (skin/icons/<name>.svg) or theme icon
};

// The whole table; each (program, command) appears at most once.
std::span<const CommandIconEntry> CommandIconTable();

// The icon theme both programs use, whatever the desktop's is.
inline constexpr const char* kIconTheme = "breeze";
// Makes kIconTheme the application's theme (hicolor behind it).
void UseIconTheme();

// The icon name of a command; nullptr when the table has none.
const char* CommandIconName(SkinLook program, int command);

enum class IconSource { None, Own, Theme };
// Where the command's icon comes from: None when the table has no name for
// it or neither our icons nor the theme hold that name.
IconSource CommandIconSource(SkinLook program, int command);
// The command's icon; null for IconSource::None.
QIcon CommandIcon(SkinLook program, int command);
// One of our own icons by name; null when there is none.
QIcon OwnIcon(const QString& name);

// Paints a command without an icon into its cell.
using IconFallback = std::function<void(QPainter& p, const QRect& cell, int command)>;

// An image strip for a toolbar resource: one cell of imageSize per
// non-separator command, left to right, one pixel higher than the images,
// transparent where nothing is drawn, at the device pixel ratio dpr (the
// QImage carries it). Commands without an icon go to fallback (none: left
// empty).
QImage RenderCommandStrip(SkinLook program, const std::vector<int>& commands, QSize imageSize, qreal dpr,
                          const IconFallback& fallback = {});

} // namespace skin
