#include "platform/quit_on_signals.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <csignal>

using platform::QuitOnSignals;

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                                : new QCoreApplication(argc, argv);
    return *app;
}

} // namespace

// A signal ends the main loop and a nested (modal) loop running inside it;
// the exit code says which signal it was.
TEST(QuitOnSignals, ASignalEndsEveryRunningLoop)
{
    App();
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        QuitOnSignals quit;
        ASSERT_TRUE(quit.isActive());
        bool nestedEnded = false;
        QTimer::singleShot(0, [&] {
            QEventLoop modal;
            QTimer::singleShot(0, [signalNumber] { std::raise(signalNumber); });
            modal.exec();
            nestedEnded = true;
        });
        // A signal that were lost would leave the loop running: end it then.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(-7); });
        watchdog.start(60000);
        EXPECT_EQ(quit.exec(), 128 + signalNumber) << signalNumber;
        EXPECT_TRUE(nestedEnded);
        EXPECT_EQ(quit.received(), signalNumber);
    }
}

// A signal that comes while a start-up dialog runs its loop, before the
// main loop, ends that dialog, and the main loop is then not entered.
TEST(QuitOnSignals, ASignalDuringAStartUpDialogEndsItAndSkipsTheMainLoop)
{
    App();
    QuitOnSignals quit;
    QEventLoop startupDialog;
    QTimer::singleShot(0, &startupDialog, [] { std::raise(SIGTERM); });
    // A signal that were lost would leave the dialog open: close it then.
    QTimer::singleShot(60000, &startupDialog, [&] { startupDialog.exit(-7); });
    EXPECT_EQ(startupDialog.exec(), 128 + SIGTERM);
    EXPECT_EQ(quit.received(), SIGTERM);
    EXPECT_EQ(quit.exec(), 128 + SIGTERM);
    // The thread's loops stay ended until a main loop runs: run one, so that
    // the tests after this one have working loops.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// While one object is active the handlers are its; at its end the ones
// before it come back.
TEST(QuitOnSignals, TheHandlersBeforeComeBack)
{
    App();
    struct sigaction before {};
    sigaction(SIGTERM, nullptr, &before);
    {
        QuitOnSignals quit;
        struct sigaction during {};
        sigaction(SIGTERM, nullptr, &during);
        EXPECT_NE(during.sa_handler, before.sa_handler);
        QuitOnSignals second; // stays inactive: the first one holds the signals
        EXPECT_FALSE(second.isActive());
    }
    struct sigaction after {};
    sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}
