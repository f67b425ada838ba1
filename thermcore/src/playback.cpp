// The playback thread: one frame per step * 20 ms until the end of the
// sequence, a pause or a stop; and the end of both threads at a close.
#include <algorithm>
#include <chrono>

#include "file_open.h"
#include "post_hook.h"
#include "sequence.h"

namespace thermcore {

namespace {

using Clock = std::chrono::steady_clock;

bool flagged(const IfrObject& obj) {
    return obj.seq.cancelPlay.load() || obj.stopFlag.load() != 0 || obj.pauseFlag.load() != 0;
}

void wakePlayback(IfrObject& obj) {
    // Taking the lock orders the flag before the sleeper's next look at it.
    { std::lock_guard lock(obj.seq.wakeMutex); }
    obj.seq.wake.notify_all();
}

void play(IfrObject* o) {
    IfrObject& obj = *o;
    SequenceState& s = obj.seq;
    const auto read = [&] {
        s.flagsTaken = 0;
        return readNextFrame(obj);
    };
    Clock::time_point deadline = Clock::now();
    int r = read();
    while (r == 0) {
        // Sleep until the next frame is due; flags wake the thread at once.
        const auto interval = std::chrono::milliseconds(20 * int64_t{std::max(0, obj.playStep.load())});
        deadline = std::max(deadline + interval, Clock::now());
        {
            std::unique_lock lock(s.wakeMutex);
            s.wake.wait_until(lock, deadline, [&] { return flagged(obj); });
        }
        if (s.cancelPlay.load()) break;
        if (takeFlag(obj.stopFlag)) {
            rewindToFirstFrame(obj);
            break;
        }
        if (takeFlag(obj.pauseFlag)) break;
        r = read();
    }
    if (s.cancelPlay.load()) {
        s.playing = false;
        return;  // a close: nothing is shown or posted
    }
    intptr_t wParam = 1;
    if (r != 0 && (s.flagsTaken & kTookStop) != 0) {
        rewindToFirstFrame(obj);  // a stop the reader found
    } else if (r != 0 && (s.flagsTaken & kTookPause) == 0) {
        // The end (or a failed read): the first frame is shown again.
        rewindToFirstFrame(obj);
        read();
        wParam = 0;
    }
    s.playing = false;
    postMessage(obj, WM_IFR_PLAYBACK, wParam, reinterpret_cast<intptr_t>(obj.window));
}

bool onPlaybackThread(const IfrObject& obj) {
    return obj.seq.playThread.get_id() == std::this_thread::get_id();
}

}  // namespace

int playStepForSpeed(int speed) {
    // Speed argument -> table value; the step is one more.
    switch (speed) {
        case 0:
        case 50:
            return 1;
        case 1:
            return 26;
        case 2:
            return 11;
        case 5:
            return 6;
        case 10:
            return 3;
        case 25:
            return 2;
        default:
            return 0;  // no wait
    }
}

int startPlayback(IfrObject& obj) {
    SequenceState& s = obj.seq;
    if (!obj.hasFile() || s.playing.load() || onPlaybackThread(obj)) return -1;
    if (s.playThread.joinable()) s.playThread.join();  // ended already
    obj.pauseFlag = 0;
    obj.stopFlag = 0;
    s.cancelPlay = false;
    s.playing = true;
    try {
        s.playThread = std::thread(play, &obj);
    } catch (...) {
        s.playing = false;
        return -1;
    }
    return 0;
}

void signalPlayback(IfrObject& obj, std::atomic<uint8_t>& flag) {
    flag = 1;
    wakePlayback(obj);
}

void endPlayback(IfrObject& obj) {
    SequenceState& s = obj.seq;
    if (!s.playThread.joinable() || onPlaybackThread(obj)) return;
    if (s.playing.load()) signalPlayback(obj, obj.pauseFlag);
    s.playThread.join();
}

void releaseSequence(IfrObject& obj) {
    SequenceState& s = obj.seq;
    closePosting(obj);
    s.cancelPlay = true;
    if (s.playThread.joinable() && !onPlaybackThread(obj)) {
        wakePlayback(obj);
        s.playThread.join();
    }
    obj.indexStop = 1;
    if (s.indexThread.joinable()) s.indexThread.join();
    obj.indexReady = 1;
    s.index.clear();
    s.index.shrink_to_fit();
    obj.frameCount = 0;
}

}  // namespace thermcore
