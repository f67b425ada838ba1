// The Qt Multimedia voice player: one QSoundEffect, created on the first
// note on the program's thread. The note's bytes are copied into a scratch
// file of the player's own, so the caller may overwrite or delete its file
// while the note plays; the copy goes with the next note or the player.
#include "platform/voice_player.h"

#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTemporaryFile>
#include <QUrl>

#include <memory>

namespace platform {
namespace {

class QtVoicePlayer : public VoicePlayer {
public:
    ~QtVoicePlayer() override
    {
        // The effect lets go of the copy before the copy is removed.
        Stop();
        m_effect.reset();
        m_copy.reset();
    }

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

    bool HasOutput() const override { return !QMediaDevices::audioOutputs().isEmpty(); }

private:
    std::unique_ptr<QTemporaryFile> m_copy;
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace

std::unique_ptr<VoicePlayer> MakeQtVoicePlayer() { return std::make_unique<QtVoicePlayer>(); }

} // namespace platform
