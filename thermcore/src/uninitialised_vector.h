// A vector whose resize leaves new elements of a trivial type unwritten: for
// large buffers that the next step writes in full, so that growing them
// does not first clear every byte. resize(n, value) still fills.
#pragma once

#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace thermcore {

template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <typename U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}

    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

template <typename T>
using UninitialisedVector = std::vector<T, UninitialisedAllocator<T>>;

}  // namespace thermcore
