// A program run as a child process in a sandbox of its own: HOME, the XDG
// folders, the program folder and TMPDIR all lie inside one temporary
// folder, so a test can list what the program leaves in its temporary
// folder and send it signals.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

#include <signal.h>

namespace suite::test {

class ChildProgram {
public:
    explicit ChildProgram(QString program) : m_program(std::move(program))
    {
        for (const char* folder : {"home", "config", "data", "program", "tmp", "cache", "runtime"})
            QDir(m_root.path()).mkpath(QString::fromLatin1(folder));
        QFile::setPermissions(Path(QStringLiteral("runtime")), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                   QFileDevice::ExeOwner);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("HOME"), Path(QStringLiteral("home")));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path(QStringLiteral("config")));
        m_env.insert(QStringLiteral("XDG_DATA_HOME"), Path(QStringLiteral("data")));
        m_env.insert(QStringLiteral("XDG_CACHE_HOME"), Path(QStringLiteral("cache")));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Path(QStringLiteral("runtime")));
        m_env.insert(QStringLiteral("KESTRELWORKS_PROGRAM_DIR"), Path(QStringLiteral("program")));
        m_env.insert(QStringLiteral("TMPDIR"), TempFolder());
    }
    ~ChildProgram()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    QString Path(const QString& name) const { return m_root.filePath(name); }
    QString TempFolder() const { return Path(QStringLiteral("tmp")); }
    // What the program has in its temporary folder now.
    QStringList TempEntries() const
    {
        return QDir(TempFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    QProcessEnvironment& Environment() { return m_env; }
    QProcess& Process() { return m_process; }

    void Start(const QStringList& arguments = {})
    {
        m_process.setProcessEnvironment(m_env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(m_program, arguments);
    }
    // Polls until done() holds or the program ends; false after timeoutMs.
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 120000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (m_process.state() == QProcess::NotRunning || clock.elapsed() > timeoutMs)
                return false;
            m_process.waitForFinished(50);
            QCoreApplication::processEvents();
        }
        return true;
    }
    void Signal(int signalNumber) { ::kill(pid_t(m_process.processId()), signalNumber); }
    bool WaitForExit(int timeoutMs = 120000) { return m_process.waitForFinished(timeoutMs); }

    // Starts the program, waits until it has put something into its
    // temporary folder (it is up), sends the signal and waits for its end.
    // False when it never came up or never ended.
    bool StartAndSignal(int signalNumber, const QStringList& arguments = {})
    {
        Start(arguments);
        if (!WaitUntil([this] { return !TempEntries().isEmpty(); }))
            return false;
        Signal(signalNumber);
        return WaitForExit();
    }
    // It ended by itself (not killed), with this exit code.
    bool EndedNormallyWith(int exitCode) const
    {
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == exitCode;
    }

private:
    QString m_program;
    QTemporaryDir m_root;
    QProcessEnvironment m_env;
    QProcess m_process;
};

} // namespace suite::test
