// Opening a file into an object, reading its frames, handing out its bytes.
#pragma once

#include "ifr_object.h"

namespace thermcore {

// Opens path as the given kind: 0 or -1. Still images (kind 0) open here;
// sequences and JPEG containers are refused for now.
int openFile(IfrObject& obj, const char* path, int kind, void* window, int* firstTime,
             int* lastTime);

// Reads the next frame into the gray buffer. A still image gives its one
// frame each time. 0; -1 the stop flag was found after the read (rewound);
// -2 no open file, a read error, or stop or pause found before the read.
int readNextFrame(IfrObject& obj);

// Bytes of the open file's infrared data (0 without a file) and a copy of
// them into a buffer of that size (the file is left at the start offset).
int fileDataLength(const IfrObject& obj);
void copyFileData(IfrObject& obj, void* buffer);

}  // namespace thermcore
