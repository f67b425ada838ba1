// Sequences and JPEG containers inside an image object: opening, the frame
// readers, stepping, the frame-index and playback threads.
//
// Frame reader results (every road to the next frame goes through it):
//    0  a frame was read into the gray buffer
//   -1  the stop flag was found set after the read: the file is rewound to
//       the first frame and the flag cleared
//   -2  end of the sequence, a read error, a chunk that runs past the end of
//       the file, or stop or pause found before the read (both cleared)
//   -3  a header without the chunk magic (layouts 1 and 3; layout 2 when it
//       cannot skip the header's size less 28 bytes), or a chunk later than
//       the last time stamp once the index is built (layouts 1 and 3)
//   -4  a bad chunk: a gray frame (or a layout-0 block's gray size) of
//       other than width * height * 2 bytes, a parameter chunk shorter than
//       its 428-byte block or longer than 428 + 10240 + 824 bytes, a
//       calibration payload (layout 3's parameter chunk, layout 2's chunk)
//       longer than 10240 bytes
// On -3 and -4 the file stays before the offending chunk, so the same call
// gives the same result again. A parameter chunk whose block does not begin
// "VN410K" is passed over; a settings chunk shorter than 16 bytes too.
#pragma once

#include <cstdint>

#include "ifr_object.h"

namespace thermcore {

inline bool takeFlag(std::atomic<uint8_t>& flag) { return flag.exchange(0) != 0; }

// The one-shot flags as a frame reader acts on them; what it took is noted
// for the playback thread, which tells a pause or stop from the end so.
enum : uint8_t { kTookStop = 1, kTookPause = 2 };
// Before a read: stop or pause set; both are cleared.
inline bool stopOrPauseBeforeRead(IfrObject& obj) {
    const bool stop = takeFlag(obj.stopFlag);
    const bool pause = takeFlag(obj.pauseFlag);
    obj.seq.flagsTaken |= (stop ? kTookStop : 0) | (pause ? kTookPause : 0);
    return stop || pause;
}
// After a read: stop set; it is cleared.
inline bool stopAfterRead(IfrObject& obj) {
    if (!takeFlag(obj.stopFlag)) return false;
    obj.seq.flagsTaken |= kTookStop;
    return true;
}

// Kind 1, or a JPEG container holding a sequence.
inline bool isSequence(const IfrObject& obj) {
    return obj.kind == IFR_KIND_SEQUENCE ||
           (obj.kind == IFR_KIND_JPEG && obj.embeddedSequence == 1);
}

// Reads count grays (little-endian) from f into gray; false on a short read.
bool readGrays(std::FILE* f, std::vector<uint16_t>& gray);

// --- sequence_open.cpp
// Opens the sequence at the object's start offset (its file is open):
// layout 0 gives 20 * (frames - 1), layouts 1 to 3 give 0; -1 refused.
int openSequence(IfrObject& obj, int64_t fileLength, int* firstTime, int* lastTime);

// --- sequence_reader.cpp
// The next frame of a sequence (see the results above).
int readSequenceFrame(IfrObject& obj);
// A parameter chunk (type 0) of size bytes at the cursor: 0, -2 or -4.
int applyParamChunk(IfrObject& obj, FileCursor& at, uint32_t size);
// Positions the file on the first frame; nothing read since.
void rewindToFirstFrame(IfrObject& obj);

// --- sequence_copy.cpp
// The IR data of a sequence (IFR_GetFileLen, IFR_GetFileBuff): in a JPEG
// container the sequence from its header to the end of the file; a layout-0
// sequence's first frame (a still image); in layouts 1 to 3 the header and
// every chunk up to and including the first gray chunk, followed by the
// sound, photo and remark chunks that come later in the file. Those follow
// under headers of their own (the frame's time stamp, the previous data size
// of the copy), so the copy opens again as a sequence of one frame that still
// carries the file's voice note, photo and remark.
int64_t sequenceDataLength(IfrObject& obj);
// Writes the sequenceDataLength bytes into dest (what cannot be read is
// zero) and leaves the file where it was.
void copySequenceData(IfrObject& obj, uint8_t* dest);

// --- frame_step.cpp
int priorFrame(IfrObject& obj);
int gotoTime(IfrObject& obj, int32_t time);

// --- frame_index.cpp
// Starts the index thread of a layout-1, -2 or -3 sequence (the index-ready
// flag is cleared until it has walked the file); true when none is needed.
bool startIndexThread(IfrObject& obj);
// Frames in the index once it is built, else 0.
int32_t indexedFrameCount(const IfrObject& obj);

// --- playback.cpp
// IFR_PlaySpeed: the playback waits step * 20 ms between frames.
int playStepForSpeed(int speed);
// 0, or -1 without an open file, when playback runs already, or when no
// thread can be had.
int startPlayback(IfrObject& obj);
// Sets a flag for a running playback and wakes it.
void signalPlayback(IfrObject& obj, std::atomic<uint8_t>& flag);
// Ends a running playback as a pause does (it posts its message) and waits
// for it; nothing when called from the playback thread itself.
void endPlayback(IfrObject& obj);
// Stops and joins both threads without a message and drops the index (the
// close of the object's file).
void releaseSequence(IfrObject& obj);

// --- memory_image.cpp
// Opens a copy of the bytes, a sequence or a still image by its first
// word; 0 or -1.
int openMemoryImage(IfrObject& obj, void* window, const void* data, int length);

}  // namespace thermcore
