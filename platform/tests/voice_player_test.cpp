#include "platform/voice_player.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <chrono>
#include <ostream>
#include <thread>

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "platform_voice_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

// An 8 kHz, 16-bit mono WAV file of samples samples (a tenth of a second
// by default).
QByteArray Wave(int samples = 800)
{
    QByteArray b;
    auto u32 = [&b](quint32 v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&b](quint16 v) { b.append(reinterpret_cast<const char*>(&v), 2); };
    b.append("RIFF");
    u32(36 + samples * 2);
    b.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(16000);
    u16(2);
    u16(16);
    b.append("data");
    u32(samples * 2);
    for (int i = 0; i < samples; ++i)
        u16(quint16((i % 20 < 10 ? 4000 : -4000)));
    return b;
}

// A note file in dir; empty when it cannot be written.
QString WriteNote(const QTemporaryDir& dir, int samples = 800, const QString& name = QStringLiteral("note.wav"))
{
    const QString note = dir.filePath(name);
    QFile file(note);
    const QByteArray wave = Wave(samples);
    return file.open(QIODevice::WriteOnly) && file.write(wave) == wave.size() ? note : QString();
}

// What the process holds that a sound library could leave behind: its
// threads and its open files (sockets, pipes, devices).
struct Held {
    qsizetype threads = 0;
    qsizetype files = 0;
    bool operator==(const Held&) const = default;
};

Held Holding()
{
    const auto entries = [](const char* folder) {
        return QDir(QString::fromLatin1(folder)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
    };
    return {entries("/proc/self/task"), entries("/proc/self/fd")};
}

std::ostream& operator<<(std::ostream& out, const Held& held)
{
    return out << held.threads << " threads, " << held.files << " open files";
}

// Whether the process comes to holding held (same) or to holding something
// else (!same) within five seconds.
bool ComesTo(const Held& held, bool same = true)
{
    for (int i = 0; i < 500; ++i) {
        if ((Holding() == held) == same)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Set by platform/tests/voice_exit_test.py when it runs these tests under a
// private sound server with a null sink.
bool UnderTestSoundServer() { return qEnvironmentVariableIsSet("VOICE_TEST_SOUND_SERVER"); }

// TMPDIR pointed at a private folder for one test.
class PrivateTemp {
public:
    PrivateTemp() : m_old(qgetenv("TMPDIR")) { qputenv("TMPDIR", m_dir.path().toLocal8Bit()); }
    ~PrivateTemp() { qputenv("TMPDIR", m_old); }
    QStringList Entries() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }
    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

} // namespace

// The player keeps its own copy of each note's samples, in memory: the
// caller may delete its file while the note plays, a new note replaces the
// old, and nothing is left in the temporary folder. A file it cannot play
// (missing, damaged, another encoding) plays nothing.
TEST(SinkVoicePlayer, TheNotesCopyGoesWithThePlayer)
{
    App();
    QTemporaryDir notes;
    const QString note = WriteNote(notes);
    ASSERT_FALSE(note.isEmpty());
    const QString damaged = notes.filePath(QStringLiteral("damaged.wav"));
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(Wave().first(40)), 40);
    }

    PrivateTemp temp;
    {
        platform::InstalledVoicePlayer installed(platform::MakeSinkVoicePlayer());
        platform::VoicePlayer& player = platform::CurrentVoicePlayer();
        EXPECT_TRUE(player.PlayFile(note));
        EXPECT_TRUE(player.PlayFile(note));
        ASSERT_TRUE(QFile::remove(note));
        QCoreApplication::processEvents();
        player.Stop();
        player.Stop();
        EXPECT_FALSE(player.PlayFile(note));
        EXPECT_FALSE(player.PlayFile(damaged));
        EXPECT_TRUE(temp.Entries().isEmpty()) << temp.Entries().join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_TRUE(temp.Entries().isEmpty()) << temp.Entries().join(QLatin1Char(' ')).toStdString();
    // The silent player is back, and it has no output to play on.
    EXPECT_FALSE(platform::CurrentVoicePlayer().HasOutput());
}

// The player plays on a thread of its own and ends it with itself: a note
// cut short by the player's end (the program's exit) leaves no thread and
// no connection of the player's nor of a sound library behind, and the
// player does not wait for the rest of the note. A note played to its end,
// or stopped, lets go of the output (the sound server's connection) and
// leaves only the player's idle thread. Run under the private sound server
// too (ctest platform_voice_server), where the notes reach its null sink.
TEST(SinkVoicePlayer, NothingOfThePlayerRunsAfterIt)
{
    App();
    QTemporaryDir notes;
    const QString shortNote = WriteNote(notes, 8000 / 2);
    const QString longNote = WriteNote(notes, 8000 * 5, QStringLiteral("long.wav"));
    ASSERT_FALSE(shortNote.isEmpty());
    ASSERT_FALSE(longNote.isEmpty());
    // ThreadSanitizer's runtime starts a helper thread of its own with the
    // process's first new thread and keeps it: one started and joined here
    // first makes it part of what was there before.
    std::thread([] {}).join();
    const Held before = Holding();
    for (int round = 0; round < 4; ++round) {
        std::unique_ptr<platform::VoicePlayer> player = platform::MakeSinkVoicePlayer();
        ASSERT_TRUE(player->PlayFile(longNote));
        std::this_thread::sleep_for(std::chrono::milliseconds(100 * round));
        const auto start = std::chrono::steady_clock::now();
        player.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << round;
        EXPECT_EQ(Holding(), before) << round;
    }

    const std::unique_ptr<platform::VoicePlayer> player = platform::MakeSinkVoicePlayer();
    const Held idle{before.threads + 1, before.files};
    ASSERT_TRUE(player->PlayFile(shortNote));
    // Under the sound server the note is seen to reach it first: a look
    // taken before the player's thread connected would find it idle.
    if (UnderTestSoundServer()) {
        EXPECT_TRUE(ComesTo(idle, false)) << "the note never reached the sound server";
    }
    EXPECT_TRUE(ComesTo(idle)) << Holding() << " after a note played to its end, " << idle << " expected";
    ASSERT_TRUE(player->PlayFile(longNote));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    player->Stop();
    EXPECT_TRUE(ComesTo(idle)) << Holding() << " after a stopped note, " << idle << " expected";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// The output asked for: the private sound server's null sink is one; with
// no server to answer and no sound card there is none, and a note then
// plays in silence.
TEST(SinkVoicePlayer, HasOutputAsksTheSoundServer)
{
    App();
    if (UnderTestSoundServer()) {
        EXPECT_TRUE(platform::MakeSinkVoicePlayer()->HasOutput());
        return;
    }
    if (QFileInfo::exists(QStringLiteral("/dev/snd")))
        GTEST_SKIP() << "this machine has sound devices";
    QTemporaryDir notes;
    const QString note = WriteNote(notes);
    const QByteArray old = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", QByteArray("unix:") + notes.filePath(QStringLiteral("no-server")).toLocal8Bit());
    {
        const std::unique_ptr<platform::VoicePlayer> player = platform::MakeSinkVoicePlayer();
        EXPECT_FALSE(player->HasOutput());
        EXPECT_TRUE(player->PlayFile(note));
    }
    if (old.isNull())
        qunsetenv("PULSE_SERVER");
    else
        qputenv("PULSE_SERVER", old);
}

// The programs' player loads the Qt player's module on the first note, not
// before; without a module it is the silent player.
TEST(LazyVoicePlayer, LoadsTheModuleOnTheFirstNoteOnly)
{
    App();
    const auto moduleMapped = [] {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(platform::kVoiceModuleName);
    };
    QTemporaryDir notes;
    const QString note = WriteNote(notes);
    ASSERT_FALSE(note.isEmpty());
    const QString missing = notes.filePath(QStringLiteral("missing.wav"));
    ASSERT_FALSE(moduleMapped());

    PrivateTemp temp;
    {
        // No folder holds the module (a file of another name does not count).
        QTemporaryDir empty;
        QFile other(empty.filePath(QStringLiteral("libother.so")));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.close();
        const std::unique_ptr<platform::VoicePlayer> silent = platform::MakeLazyVoicePlayer({empty.path()});
        EXPECT_TRUE(silent->PlayFile(note));
        EXPECT_FALSE(silent->PlayFile(missing));
        EXPECT_FALSE(silent->HasOutput());
        EXPECT_TRUE(temp.Entries().isEmpty());
    }
    {
        const std::unique_ptr<platform::VoicePlayer> player =
            platform::MakeLazyVoicePlayer({notes.path(), QStringLiteral(PLATFORM_VOICE_TEST_MODULE_DIR)});
        player->Stop();
        EXPECT_FALSE(moduleMapped()) << "stopping before any note loaded the module";
        // Asking for the output loads the module.
        player->HasOutput();
        EXPECT_TRUE(moduleMapped());
        player->Stop();
    }
    EXPECT_TRUE(temp.Entries().isEmpty()) << temp.Entries().join(QLatin1Char(' ')).toStdString();
}
