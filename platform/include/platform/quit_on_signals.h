// Ends the program's event loops when SIGTERM, SIGINT or SIGHUP arrives, so
// that the program leaves through its normal exit path: the application
// object's exit, the windows' destructors and with them every temporary
// file and folder they hold. The signal handler only writes the signal's
// number into a socket pair; a socket notifier on the program's thread reads
// it and asks the event loops to end, with exit code 128 + the signal's
// number. A second signal while the program winds down takes the default
// action (the handlers are installed with SA_RESETHAND).
//
// One object at a time, made on the program's thread after the application
// object; its destructor puts the previous handlers back.
#pragma once

#include <QObject>

#include <csignal>
#include <memory>

class QSocketNotifier;

namespace platform {

class QuitOnSignals : public QObject {
public:
    explicit QuitOnSignals(QObject* parent = nullptr);
    ~QuitOnSignals() override;
    QuitOnSignals(const QuitOnSignals&) = delete;
    QuitOnSignals& operator=(const QuitOnSignals&) = delete;

    // False when the socket pair could not be made (the signals then keep
    // their default action).
    bool isActive() const { return m_notifier != nullptr; }
    // The signal that ended the loops, 0 while none has.
    int received() const { return m_received; }
    // 128 + that signal, 0 while none has come.
    int exitCode() const { return m_received != 0 ? 128 + m_received : 0; }
    // The program's main event loop, unless a signal came before it could
    // start (while a start-up dialog ran its own loop).
    int exec();

private:
    void onReadable();

    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_received = 0;
    bool m_inMainLoop = false;
};

} // namespace platform
