// The mouse cursors of handles and tools: Qt's standard shapes, and the
// program's own pencil (107), move (137) and drag (139) images drawn at run
// time.
#pragma once

#include "document/draw_obj.h"

#include <QCursor>

QCursor CursorFor(HandleCursor cursor);
