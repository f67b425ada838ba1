// The part of an image object that serves sequences: the layout and the
// position of the last frame read, the frame index, and the index and
// playback threads.
//
// Threads. The index thread reads the file through a stream of its own and
// writes the index, the frame count and the sound, photo and remark marks
// of its object only once it has walked the file; then it sets the
// index-ready flag. Callers read those fields only after seeing that flag
// set. The playback thread reads frames through the object's open file;
// while it runs, the calls that move the file (IFR_Next, IFR_Prior,
// IFR_GotoTime, IFR_GetFileLen, IFR_GetFileBuff) end it first, and
// IFR_CloseFile and IFR_Free stop and join both threads. Nothing is posted
// once a close has begun.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "sequence_format.h"

namespace thermcore {

struct FrameIndexEntry {
    int32_t time = 0;
    int32_t type = 0;
    int64_t offset = 0;  // of the chunk header, or of the layout-0 frame
};

struct SequenceState {
    SeqHeader header;
    int64_t fileEnd = 0;        // the file's length at open
    uint32_t frameSize = 0;     // layout 0
    ChunkHeader chunk;          // the last chunk header read
    int64_t lastFrameAt = -1;   // where the last frame read begins; -1: none since a rewind
    uint8_t flagsTaken = 0;     // kTookStop, kTookPause: flags a reader acted on
    std::vector<FrameIndexEntry> index;
    std::vector<uint8_t> scratch;  // parameter and calibration chunks

    std::thread indexThread;
    std::thread playThread;
    std::atomic<bool> playing{false};
    std::atomic<bool> cancelPlay{false};
    std::mutex wakeMutex;  // the playback thread sleeps on wake
    std::condition_variable wake;

    std::mutex postMutex;  // guards closing; held while posting
    bool closing = false;
};

}  // namespace thermcore
