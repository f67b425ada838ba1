// The Qt Multimedia voice player: the note's samples, read into memory by
// the player's own WAV reader, played through a QAudioSink on the
// program's thread. The player never leaves work on another thread behind
// it: Qt's shared sample cache (behind QSoundEffect) deletes released
// samples on its loader thread and can deadlock against its own teardown
// when a program quits right after a note.
#include "platform/voice_player.h"

#include "wave_sound.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>

#include <memory>

namespace platform {
namespace {

QAudioFormat FormatOf(const WaveSound& sound)
{
    QAudioFormat format;
    format.setChannelCount(sound.channels);
    format.setSampleRate(sound.sampleRate);
    format.setSampleFormat(sound.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return format;
}

class QtVoicePlayer : public VoicePlayer {
public:
    ~QtVoicePlayer() override { Release(); }

    bool PlayFile(const QString& path) override
    {
        QFile source(path);
        if (!source.open(QIODevice::ReadOnly))
            return false;
        // The samples are the player's own: the caller may overwrite or
        // delete its file while the note plays.
        std::optional<WaveSound> sound = ReadWaveSound(source.readAll());
        if (!sound)
            return false;
        Release();
        m_samples = std::make_unique<QBuffer>();
        m_samples->setData(sound->samples);
        m_samples->open(QIODevice::ReadOnly);
        m_sink = std::make_unique<QAudioSink>(FormatOf(*sound));
        // A note played to its end lets go of the output.
        QObject::connect(m_sink.get(), &QAudioSink::stateChanged, m_sink.get(), [sink = m_sink.get()](QAudio::State state) {
            if (state == QAudio::IdleState)
                sink->stop();
        });
        // Without an output the note plays in silence (HasOutput says so).
        m_sink->start(m_samples.get());
        return true;
    }

    void Stop() override
    {
        if (m_sink != nullptr)
            m_sink->stop();
    }

    bool HasOutput() const override { return !QMediaDevices::audioOutputs().isEmpty(); }

private:
    // Stops the note; the sink goes before the samples it reads.
    void Release()
    {
        Stop();
        m_sink.reset();
        m_samples.reset();
    }

    std::unique_ptr<QBuffer> m_samples;
    std::unique_ptr<QAudioSink> m_sink;
};

} // namespace

std::unique_ptr<VoicePlayer> MakeQtVoicePlayer() { return std::make_unique<QtVoicePlayer>(); }

} // namespace platform
