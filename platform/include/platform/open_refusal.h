// Why a camera file chosen to be opened is refused, and the one sentence
// each program says for it. The image browser's File > Open and the report
// designer's image dialog share this table, so the same file gets the same
// words in both.
#pragma once

#include <QString>

namespace platform {

enum class OpenRefusal {
    None,          // nothing stands in the way
    NotFound,      // there is no such file
    NotRegularFile,// a folder, pipe, device or socket
    NoPermission,  // the user may not read it
    Damaged,       // a camera file the library cannot read (parts cut off, past its end)
    NotCameraFile, // a file of another kind (no camera model, or another extension)
};

// What the file system says about reading path: NotFound, NotRegularFile,
// NoPermission, or None when it can be opened for reading. Never blocks on
// a pipe.
OpenRefusal CheckReadable(const QString& path);

// Whether the bytes of path begin like a camera file: a still image or
// sequence whose model starts "VN410K", or a JPEG file carrying one.
bool HasCameraSignature(const QString& path);

// Why a file the infrared library would not open was refused: the file
// system's reason first, else Damaged for a file that begins like a camera
// file and NotCameraFile for any other.
OpenRefusal OpenFailureCause(const QString& path);

// The sentence for a refusal, in Chinese, naming the file (its path in the
// system's separators); empty for None.
QString OpenRefusalText(OpenRefusal why, const QString& path);

} // namespace platform
