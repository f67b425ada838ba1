// What a sequence hands to a program: frames through the frame callback and
// messages through the post hook, recorded for the tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "thermcore.h"

namespace thermcore_test {

struct FrameRecord {
    IfrHandle handle;
    int firstGray;  // pixel (0, 0): the frame number + 1 in generated sequences
    int size;
    int time;
};

struct PostRecord {
    void* window;
    unsigned int message;
    intptr_t wParam;
    intptr_t lParam;
    uint64_t serial;  // place among all recorded events
};

// The frame callback to hand to IFR_ReceiveStream.
int recordFrame(IfrHandle h, unsigned short* frame, int size, int time);

// Registers recordFrame for a new handle (forgetting frames recorded for an
// earlier object at the same address).
void receiveFrames(IfrHandle h);

// Frames recorded for a handle, and forgetting them.
std::vector<FrameRecord> framesOf(IfrHandle h);
void forgetFrames(IfrHandle h);

// Messages posted to a window so far.
std::vector<PostRecord> postsTo(void* window);
// Waits until a message reaches the window after the event mark `after`;
// empty after the timeout.
std::optional<PostRecord> waitForPost(void* window, unsigned int message, uint64_t after = 0,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(10));
// A serial number later than every event recorded so far.
uint64_t eventMark();

// Registers the recording post hook while it lives; starts a fresh record.
class PostHookScope {
public:
    PostHookScope();
    ~PostHookScope();
    PostHookScope(const PostHookScope&) = delete;
    PostHookScope& operator=(const PostHookScope&) = delete;
};

// The gray of pixel (0, 0) of every frame read from here on by IFR_Next
// until it fails, and that failure.
struct FrameRun {
    std::vector<int> grays;
    std::vector<int> times;
    int end = 0;
};
FrameRun readAll(IfrHandle h, int limit = 64);

// Opens a fixture with a window (frames reach recordFrame).
IfrHandle openWithWindow(const std::string& path, int kind, void* window, int* first = nullptr,
                         int* last = nullptr);

}  // namespace thermcore_test
