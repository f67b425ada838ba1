#include "sequence_log.h"

#include <condition_variable>
#include <map>
#include <mutex>

namespace thermcore_test {

namespace {

struct Log {
    std::mutex mutex;
    std::condition_variable changed;
    uint64_t serial = 0;
    std::map<IfrHandle, std::vector<FrameRecord>> frames;
    std::vector<PostRecord> posts;
};

Log& log() {
    static Log l;
    return l;
}

void recordPost(void* window, unsigned int message, intptr_t wParam, intptr_t lParam, void*) {
    Log& l = log();
    {
        std::lock_guard lock(l.mutex);
        l.posts.push_back({window, message, wParam, lParam, ++l.serial});
    }
    l.changed.notify_all();
}

}  // namespace

int recordFrame(IfrHandle h, unsigned short* frame, int size, int time) {
    Log& l = log();
    std::lock_guard lock(l.mutex);
    l.frames[h].push_back({h, frame != nullptr && size >= 2 ? frame[0] : -1, size, time});
    ++l.serial;
    return 1;
}

void receiveFrames(IfrHandle h) {
    forgetFrames(h);
    IFR_ReceiveStream(h, recordFrame);
}

std::vector<FrameRecord> framesOf(IfrHandle h) {
    std::lock_guard lock(log().mutex);
    return log().frames[h];
}

void forgetFrames(IfrHandle h) {
    std::lock_guard lock(log().mutex);
    log().frames.erase(h);
}

std::vector<PostRecord> postsTo(void* window) {
    std::lock_guard lock(log().mutex);
    std::vector<PostRecord> out;
    for (const PostRecord& p : log().posts) {
        if (p.window == window) out.push_back(p);
    }
    return out;
}

std::optional<PostRecord> waitForPost(void* window, unsigned int message, uint64_t after,
                                      std::chrono::milliseconds timeout) {
    Log& l = log();
    std::unique_lock lock(l.mutex);
    std::optional<PostRecord> found;
    l.changed.wait_for(lock, timeout, [&] {
        for (const PostRecord& p : l.posts) {
            if (p.window == window && p.message == message && p.serial > after) {
                found = p;
                return true;
            }
        }
        return false;
    });
    return found;
}

uint64_t eventMark() {
    std::lock_guard lock(log().mutex);
    return ++log().serial;
}

PostHookScope::PostHookScope() {
    {
        std::lock_guard lock(log().mutex);
        log().posts.clear();
        log().frames.clear();
    }
    ThermcoreSetPostHook(recordPost, nullptr);
}
PostHookScope::~PostHookScope() { ThermcoreSetPostHook(nullptr, nullptr); }

FrameRun readAll(IfrHandle h, int limit) {
    FrameRun run;
    forgetFrames(h);
    for (int i = 0; i < limit; ++i) {
        run.end = IFR_Next(h);
        if (run.end != 0) break;
    }
    for (const FrameRecord& f : framesOf(h)) {
        run.grays.push_back(f.firstGray);
        run.times.push_back(f.time);
    }
    return run;
}

IfrHandle openWithWindow(const std::string& path, int kind, void* window, int* first, int* last) {
    IfrHandle h = IFR_LoadFile(window, path.c_str(), kind, first, last);
    if (h != nullptr) receiveFrames(h);
    return h;
}

}  // namespace thermcore_test
