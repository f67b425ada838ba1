// The program icon, and the image of each command: its icon from the icon
// table of the skin, or, where that cannot be found, a glyph painted here.
#pragma once

#include <QIcon>

class QPainter;
class QRect;

QIcon ProgramIcon();
// The image of a command (16 x 15); null for a command without one.
QIcon CommandIcon(int commandId);
// The fallback glyph of a command into cell; nothing for an unknown one.
void PaintCommandGlyph(QPainter& p, const QRect& cell, int commandId);
