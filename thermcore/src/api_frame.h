// The handle check every export runs before its work.
//
// A handle reaches the work only when it names a live object carrying the
// magic number; otherwise the export returns the bad-handle result of its
// result type, touching nothing. No exception leaves an export: the work's
// failures (memory) give the same result as a bad handle.
#pragma once

#include <utility>

#include "handle_registry.h"

namespace thermcore {

inline constexpr float kBadTemperature = -1000.0f;

template <typename R, typename F>
R withObject(void* handle, R bad, F&& work) noexcept {
    IfrObject* obj = liveObject(handle);
    if (obj == nullptr) return bad;
    try {
        return std::forward<F>(work)(*obj);
    } catch (...) {
        return bad;
    }
}

template <typename F>
void withObject(void* handle, F&& work) noexcept {
    IfrObject* obj = liveObject(handle);
    if (obj == nullptr) return;
    try {
        std::forward<F>(work)(*obj);
    } catch (...) {
    }
}

// Existence and length exports: -1 for NULL, 0 for any other bad handle.
template <typename F>
int withObjectCounting(void* handle, F&& work) noexcept {
    if (handle == nullptr) return -1;
    return withObject(handle, 0, std::forward<F>(work));
}

}  // namespace thermcore
