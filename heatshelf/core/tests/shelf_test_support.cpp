#include "shelf_test_support.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>

namespace heatshelf_test {

void ensureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "heatshelf_core_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

QString fixture(const QString& name) {
    return qEnvironmentVariable("HEATSHELF_FIXTURE_DIR") + QLatin1Char('/') + name;
}

int run(const QString& program, const QStringList& args, QByteArray* out) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return -1;
    if (out != nullptr) *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

int extractCheck(const QStringList& args, QByteArray* out) {
    return run(qEnvironmentVariable("SUITE_PYTHON"),
               QStringList{qEnvironmentVariable("THERMCORE_EXTRACT_CHECK")} + args, out);
}

}  // namespace heatshelf_test
