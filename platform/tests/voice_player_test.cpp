#include "platform/voice_player.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "platform_voice_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

// A short 8 kHz, 16-bit mono WAV file.
QByteArray Wave()
{
    const int samples = 800;
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
    b.append(QByteArray(samples * 2, '\0'));
    return b;
}

// A note file in dir; empty when it cannot be written.
QString WriteNote(const QTemporaryDir& dir)
{
    const QString note = dir.filePath(QStringLiteral("note.wav"));
    QFile file(note);
    return file.open(QIODevice::WriteOnly) && file.write(Wave()) == Wave().size() ? note : QString();
}

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
TEST(QtVoicePlayer, TheNotesCopyGoesWithThePlayer)
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
        platform::InstalledVoicePlayer installed(platform::MakeQtVoicePlayer());
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
