// The reference of the start-up benchmarks: a plain Qt Widgets main window
// with a menu bar, a tool bar and a status bar, shown maximised and reported
// through the same probe as the programs (the variable named by
// STARTUP_PROBE_VARIABLE in the environment).
#include "platform/startup_probe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Plain window"));
    for (const char* title : {"&File", "&Edit", "&View", "&Help"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(title));
        menu->addAction(QStringLiteral("Action"));
    }
    QToolBar* bar = window.addToolBar(QStringLiteral("Standard"));
    bar->addAction(QStringLiteral("New"));
    bar->addAction(QStringLiteral("Open"));
    window.setCentralWidget(new QTextEdit);
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.showMaximized();
    const QByteArray variable = qgetenv("STARTUP_PROBE_VARIABLE");
    platform::ArmStartupProbe(variable.constData());
    return app.exec();
}
