// Files and outside readers for the tests of the browser's core.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace heatshelf_test {

// Makes the application object the tests of threaded work need to
// deliver their results through an event loop (once per process).
void ensureApplication();

// A file written by shelf_fixtures.py.
QString fixture(const QString& name);

// Runs the suite's Python on thermcore's extract_check.py with args:
// its exit status, its standard output in *out.
int extractCheck(const QStringList& args, QByteArray* out = nullptr);

// Runs a program: exit status and standard output.
int run(const QString& program, const QStringList& args, QByteArray* out = nullptr);

}  // namespace heatshelf_test
