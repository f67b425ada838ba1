#include "handle_registry.h"

#include <mutex>
#include <new>
#include <unordered_set>

namespace thermcore {

namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_set<const void*> live;
};

Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

IfrObject* createObject() {
    auto* obj = new (std::nothrow) IfrObject;
    if (obj == nullptr) return nullptr;
    try {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        r.live.insert(obj);
    } catch (...) {
        delete obj;
        return nullptr;
    }
    return obj;
}

void destroyObject(void* handle) {
    IfrObject* obj = nullptr;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        auto it = r.live.find(handle);
        if (it == r.live.end()) return;
        obj = static_cast<IfrObject*>(handle);
        if (obj->magic != kIfrMagic) return;
        r.live.erase(it);
    }
    delete obj;
}

IfrObject* liveObject(void* handle) {
    if (handle == nullptr) return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (r.live.find(handle) == r.live.end()) return nullptr;
    auto* obj = static_cast<IfrObject*>(handle);
    return obj->magic == kIfrMagic ? obj : nullptr;
}

}  // namespace thermcore
