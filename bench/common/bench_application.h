// The one application object of a benchmark program.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>

namespace bench {

// Creates the program's application object on the offscreen platform, unless
// one exists; it lives until the process ends. It is always a QApplication:
// the benchmarks of one program share it, and any of them may make widgets.
inline void EnsureApplication(const char* programName)
{
    if (QCoreApplication::instance() != nullptr)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QByteArray name(programName);
    static int argc = 1;
    static char* argv[] = {name.data(), nullptr};
    new QApplication(argc, argv);
}

} // namespace bench
