// Toolbar strips kept as raw pixel files in the per-user cache folder, so
// that a start renders no vector icon, reads no icon theme and decodes no
// image: a strip is read back
// when a file of its key exists, else rendered and stored. The key holds the
// program, the icon theme, the image size, the pixel ratio, the commands and
// the program's version (its version number and the modification time of
// its executable, so that a rebuilt or updated program renders afresh).
#pragma once

#include "skin/command_icons.h"

#include <QString>

namespace skin {

// The folder the strips are kept in: "toolbar-strips" in the application's
// cache location.
QString CommandStripCacheFolder();

// The cache file of a strip in folder.
QString CommandStripCacheFile(const QString& folder, SkinLook program, const std::vector<int>& commands,
                              QSize imageSize, qreal dpr);

// RenderCommandStrip through the cache in folder (empty: no cache). A file
// that does not read as a strip of the expected size is rendered again and
// replaced; a folder that cannot be written only costs the render.
QImage CachedCommandStrip(SkinLook program, const std::vector<int>& commands, QSize imageSize, qreal dpr,
                          const IconFallback& fallback = {}, const QString& folder = CommandStripCacheFolder());

} // namespace skin
