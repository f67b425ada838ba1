// Opening a file into an object, reading its frames, handing out its bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ifr_object.h"

namespace thermcore {

// Opens path as kind 0 (still image), 1 (sequence) or 2 (JPEG container
// with a still image or a sequence after its JPEG data). 0 or more opened
// (a layout-0 sequence gives 20 * (frames - 1)), -1 refused. The index
// thread of a sequence is started separately (startIndexThread), once the
// object is set up.
int openFile(IfrObject& obj, const char* path, int kind, void* window, int* firstTime,
             int* lastTime);

// Opens a copy of length bytes as kind 0 or 1, as openFile does a file: the
// object reads its own copy (the caller keeps its bytes) until the close.
int openBytes(IfrObject& obj, const uint8_t* data, size_t length, int kind, void* window);

// Reads the next frame into the gray buffer. A still image gives its one
// frame each time. 0; -1 the stop flag was found after the read (rewound);
// -2 no open file, a read error, the end, or stop or pause found before the
// read; -3 and -4 bad chunks of a sequence (sequence.h).
int readNextFrame(IfrObject& obj);

// Bytes of the open file's infrared data (0 without a file) and a copy of
// them into a buffer of that size. Neither moves the file's position.
int fileDataLength(IfrObject& obj);
void copyFileData(IfrObject& obj, void* buffer);

}  // namespace thermcore
