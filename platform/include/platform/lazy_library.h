// A shared library opened when a command first needs it, not at start: a
// library that only a few commands use (the word-processor and spreadsheet
// writers, the compound-file container) then costs a program's start
// nothing. Its functions are called through pointers resolved once.
#pragma once

#include <QString>

namespace platform {

class LazyLibrary {
public:
    // soname: the name the library is opened by ("libzip.so.4").
    explicit LazyLibrary(const char* soname) : m_soname(soname) {}
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;
    // The library stays loaded for the rest of the process: the pointers
    // resolved from it stay valid.
    ~LazyLibrary() = default;

    // Opens the library on the first call; false (the reason in error())
    // when it cannot be opened.
    bool load();
    // Points function at the library's function name; false (the reason in
    // error()) when the library or the function is missing. Once one has
    // failed, every later call fails too.
    template <class F>
    bool resolve(F& function, const char* name)
    {
        function = reinterpret_cast<F>(symbol(name));
        return function != nullptr;
    }
    const QString& error() const { return m_error; }

private:
    void* symbol(const char* name);

    const char* m_soname;
    void* m_handle = nullptr;
    bool m_tried = false;
    QString m_error;
};

// The table of a library's functions, resolved once for the whole process:
// Calls is a struct of function pointers with a QString member error, and
// resolveAll(lib, calls) points every member at its function, false when
// one is missing. error is empty when all were found, else says why not.
template <class Calls, class ResolveAll>
const Calls& LibraryCalls(const char* soname, ResolveAll resolveAll)
{
    static const Calls loaded = [&] {
        static LazyLibrary lib(soname);
        Calls calls;
        if (!resolveAll(lib, calls))
            calls.error = lib.error();
        return calls;
    }();
    return loaded;
}

} // namespace platform
