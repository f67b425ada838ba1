// Bitmap files read whole into a packed DIB (the 14-byte file header
// checked and dropped).
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The packed DIB of a .bmp file into *dib. False when the file cannot be
// opened; a file that is no bitmap gives true and an empty DIB.
bool ReadBmpFile(const QString& path, QByteArray* dib);

} // namespace platform
