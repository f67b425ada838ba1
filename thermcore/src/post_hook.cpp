#include "post_hook.h"

#include <mutex>

namespace thermcore {

namespace {

struct PostHook {
    ThermcorePostProc proc = nullptr;
    void* user = nullptr;
};

std::mutex& hookMutex() {
    static std::mutex m;
    return m;
}

PostHook& hookSlot() {
    static PostHook hook;
    return hook;
}

PostHook currentHook() {
    std::lock_guard lock(hookMutex());
    return hookSlot();
}

}  // namespace

void setPostHook(ThermcorePostProc proc, void* user) {
    std::lock_guard lock(hookMutex());
    hookSlot() = {proc, user};
}

void postMessage(IfrObject& obj, unsigned int message, intptr_t wParam, intptr_t lParam) {
    if (obj.window == nullptr) return;
    // Holding the object's post lock keeps a close from completing while
    // the message is handed over, and keeps it out once the close began.
    std::lock_guard lock(obj.seq.postMutex);
    if (obj.seq.closing) return;
    const PostHook hook = currentHook();
    if (hook.proc != nullptr) hook.proc(obj.window, message, wParam, lParam, hook.user);
}

void reopenPosting(IfrObject& obj) {
    std::lock_guard lock(obj.seq.postMutex);
    obj.seq.closing = false;
}

void closePosting(IfrObject& obj) {
    std::lock_guard lock(obj.seq.postMutex);
    obj.seq.closing = true;
}

void deliverFrame(IfrObject& obj, int32_t time) {
    if (obj.window == nullptr) return;
    const IfrStreamProc proc = obj.streamProc.load();
    if (proc == nullptr) return;
    proc(&obj, obj.gray.data(), static_cast<int>(obj.gray.size() * 2), time);
}

}  // namespace thermcore
