#include "platform/lazy_library.h"

#include <dlfcn.h>

namespace platform {

bool LazyLibrary::load()
{
    if (!m_tried) {
        m_tried = true;
        m_handle = ::dlopen(m_soname, RTLD_NOW | RTLD_LOCAL);
        if (m_handle == nullptr) {
            const char* why = ::dlerror();
            m_error = QStringLiteral("cannot load %1: %2")
                          .arg(QString::fromUtf8(m_soname), QString::fromUtf8(why != nullptr ? why : "not found"));
        }
    }
    return m_handle != nullptr;
}

void* LazyLibrary::symbol(const char* name)
{
    if (!m_error.isEmpty() || !load())
        return nullptr;
    void* found = ::dlsym(m_handle, name);
    if (found == nullptr)
        m_error = QStringLiteral("%1 has no function %2").arg(QString::fromUtf8(m_soname), QString::fromUtf8(name));
    return found;
}

} // namespace platform
