// The category list's four icons (bitmap 136, 16 x 16 each, drawn here):
// measured values, positions, measurement parameters, file information.
#pragma once

#include <QIcon>
#include <QList>

namespace heatshelf {

QList<QIcon> CategoryIcons();

} // namespace heatshelf
