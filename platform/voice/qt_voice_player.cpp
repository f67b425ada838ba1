// The Qt Multimedia voice player: one QSoundEffect for the process, created
// on first use on the program's thread. The note's bytes are copied into a
// scratch file of the player's own, so the caller may overwrite or delete
// its file while the note plays.
#include "platform/voice_player.h"

#include <QDir>
#include <QFile>
#include <QSoundEffect>
#include <QTemporaryFile>
#include <QUrl>

#include <memory>

namespace platform {
namespace {

class QtVoicePlayer : public VoicePlayer {
public:
    bool PlayFile(const QString& path) override
    {
        QFile source(path);
        if (!source.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = source.readAll();
        if (bytes.isEmpty())
            return false;
        Stop();
        // A new copy per note: the effect may still hold the previous one.
        auto copy = std::make_unique<QTemporaryFile>(QStringLiteral("%1/voice-XXXXXX.wav").arg(QDir::tempPath()));
        if (!copy->open() || copy->write(bytes) != bytes.size() || !copy->flush())
            return false;
        if (m_effect == nullptr)
            m_effect = std::make_unique<QSoundEffect>();
        m_effect->setSource(QUrl::fromLocalFile(copy->fileName()));
        m_effect->play();
        m_copy = std::move(copy);
        return true;
    }

    void Stop() override
    {
        if (m_effect != nullptr)
            m_effect->stop();
    }

private:
    std::unique_ptr<QSoundEffect> m_effect;
    std::unique_ptr<QTemporaryFile> m_copy;
};

} // namespace

VoicePlayer& QtVoicePlayerInstance()
{
    // Made once and kept to the end of the process: the sound effect must
    // not outlive the application object in a static destructor.
    static QtVoicePlayer* player = new QtVoicePlayer;
    return *player;
}

} // namespace platform
