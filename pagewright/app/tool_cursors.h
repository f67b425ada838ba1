// The mouse cursors of handles and tools: Qt's standard shapes, and the
// program's own images drawn at run time (pencil 107, move 137, drag 139,
// and those of infrared image bands and analyses).
#pragma once

#include "document/draw_obj.h"

#include <QCursor>

QCursor CursorFor(HandleCursor cursor);
