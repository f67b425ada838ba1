// Images drawn at run time in place of the original's bitmaps: the program
// icon and a small image for each toolbar command.
#pragma once

#include <QIcon>

QIcon ProgramIcon();
// The toolbar image of a command (16 x 15); null for a command without one.
QIcon CommandIcon(int commandId);
