// The sound player loaded from its module on first use: the sound
// libraries (the sound server's client, ALSA) stay out of a program's start.
#include "platform/voice_player.h"

#include "silent_voice_player.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace platform {
namespace {

using MakePlayer = VoicePlayer* (*)();

class LazyVoicePlayer : public VoicePlayer {
public:
    explicit LazyVoicePlayer(QStringList folders) : m_folders(std::move(folders)) {}

    bool PlayFile(const QString& path) override { return Loaded().PlayFile(path); }
    void Stop() override
    {
        // Nothing plays before the first note: stopping loads nothing.
        if (m_player != nullptr)
            m_player->Stop();
    }
    bool HasOutput() const override { return Loaded().HasOutput(); }

private:
    VoicePlayer& Loaded() const
    {
        if (m_player == nullptr)
            m_player = Load();
        return *m_player;
    }

    // The module's player; the silent one when no folder holds a module
    // that loads. The module stays loaded until the process ends (the
    // player's code lives in it).
    std::unique_ptr<VoicePlayer> Load() const
    {
        for (const QString& folder : m_folders) {
            const QString path = QDir(folder).filePath(QString::fromLatin1(kVoiceModuleName));
            if (!QFileInfo::exists(path))
                continue;
            QLibrary module(path);
            const auto make = reinterpret_cast<MakePlayer>(module.resolve(kVoiceModuleEntry));
            if (make == nullptr)
                continue;
            if (VoicePlayer* player = make())
                return std::unique_ptr<VoicePlayer>(player);
        }
        return std::make_unique<SilentVoicePlayer>();
    }

    QStringList m_folders;
    mutable std::unique_ptr<VoicePlayer> m_player;
};

} // namespace

QStringList VoiceModuleFolders()
{
    QStringList folders;
    if (QCoreApplication::instance() != nullptr) {
        const QString own = QCoreApplication::applicationDirPath();
        folders << own << QDir(own).filePath(QStringLiteral("../lib/kestrel-suite"));
    }
    for (const QString& folder : QString::fromUtf8(PLATFORM_VOICE_MODULE_DIRS).split(QLatin1Char(';'), Qt::SkipEmptyParts))
        folders << folder;
    return folders;
}

std::unique_ptr<VoicePlayer> MakeLazyVoicePlayer(QStringList folders)
{
    return std::make_unique<LazyVoicePlayer>(std::move(folders));
}

} // namespace platform
