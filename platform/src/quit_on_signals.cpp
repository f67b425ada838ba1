#include "platform/quit_on_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <array>
#include <cerrno>

#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// The pair's write end for the handler; -1 while no object is installed.
volatile sig_atomic_t g_writeFd = -1;
int g_readFd = -1;
std::array<struct sigaction, kSignals.size()> g_previous{};

extern "C" void onTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const int fd = g_writeFd;
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

QuitOnSignals::QuitOnSignals(QObject* parent) : QObject(parent)
{
    if (g_writeFd >= 0)
        return; // another object holds the signals
    int fds[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0)
        return;
    g_readFd = fds[1];
    g_writeFd = fds[0];
    m_notifier = std::make_unique<QSocketNotifier>(qintptr(g_readFd), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &QuitOnSignals::onReadable);
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

QuitOnSignals::~QuitOnSignals()
{
    if (m_notifier == nullptr)
        return;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    const int writeFd = g_writeFd;
    g_writeFd = -1;
    ::close(writeFd);
    ::close(g_readFd);
    g_readFd = -1;
}

void QuitOnSignals::onReadable()
{
    unsigned char byte = 0;
    if (::read(g_readFd, &byte, 1) != 1 || m_received != 0)
        return;
    m_received = byte;
    if (m_inMainLoop) {
        // Every running loop ends, the modal ones inside the main one too.
        QCoreApplication::exit(exitCode());
    } else {
        // A start-up dialog's loop, before the main loop: the application
        // ends only loops inside its own, the thread every one of its loops
        // (and any later one returns at once, until a main loop starts).
        QThread::currentThread()->exit(exitCode());
    }
}

int QuitOnSignals::exec()
{
    if (m_received != 0)
        return exitCode();
    m_inMainLoop = true;
    const int result = QCoreApplication::exec();
    m_inMainLoop = false;
    return result;
}

} // namespace platform
