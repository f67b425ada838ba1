// The voice player: each note's samples, read into memory by the player's
// own WAV reader, played on a thread of the player's own through a sound
// output (a stream of the sound server's, else ALSA's default device),
// whose waits a new note, a stop or the player's end cut short. The
// player's destructor stops the note, closes the output and joins the
// thread; a program destroys its player before its application object, so
// when the program exits no sound library has a thread or a connection
// left that its unloading could tear down under it.
#include "platform/voice_player.h"

#include "sound_output.h"
#include "wave_sound.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {
namespace {

using namespace std::chrono_literals;

// The sound buffered ahead of what is heard: a stop is heard that soon.
constexpr auto kLatency = 100ms;
// The sound written at a time, between looks at whether the note stopped.
constexpr auto kChunk = 20ms;
// The longest wait for the sound server's answer to "is there an output".
constexpr auto kOutputCheck = 2000ms;

class SinkVoicePlayer : public VoicePlayer {
public:
    SinkVoicePlayer() : m_client(ClientName()) {}

    ~SinkVoicePlayer() override
    {
        Replace(std::nullopt, true);
        if (m_thread.joinable())
            m_thread.join();
    }
    SinkVoicePlayer(const SinkVoicePlayer&) = delete;
    SinkVoicePlayer& operator=(const SinkVoicePlayer&) = delete;

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
        Replace(std::move(sound), false);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { Run(); });
        return true;
    }

    void Stop() override { Replace(std::nullopt, false); }

    bool HasOutput() const override { return SoundOutputExists(kOutputCheck); }

private:
    static std::string ClientName()
    {
        const QString name = QCoreApplication::applicationName();
        return name.isEmpty() ? std::string("voice note player") : name.toStdString();
    }

    // The note to play next (none: silence), or the thread's end; the note
    // playing stops either way.
    void Replace(std::optional<WaveSound> next, bool quit)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_next = std::move(next);
            m_quit = m_quit || quit;
            ++m_generation;
            if (m_output != nullptr)
                m_output->Wake();
        }
        m_wake.notify_all();
    }

    // The player's thread: each note as it comes, until the player ends.
    void Run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_quit || m_next.has_value(); });
            if (m_quit)
                return;
            const WaveSound sound = std::move(*m_next);
            m_next.reset();
            const std::uint64_t generation = m_generation;
            lock.unlock();
            Play(sound, generation);
            lock.lock();
        }
    }

    // Plays sound until its end or until another note, a stop or the
    // player's end comes (the generation changes); the output is closed
    // before it returns.
    void Play(const WaveSound& sound, std::uint64_t generation)
    {
        const GoOn goOn = [this, generation] { return m_generation == generation; };
        std::unique_ptr<SoundOutput> output = OpenSoundOutput(sound, kLatency, m_client, goOn);
        // Nowhere to play: the note plays in silence (HasOutput says so).
        if (output == nullptr)
            return;
        SetOutput(output.get());
        const qsizetype frameBytes = sound.channels * sound.bitsPerSample / 8;
        const qsizetype chunk = std::max<qsizetype>(1, sound.sampleRate * kChunk / 1s) * frameBytes;
        const QByteArray& samples = sound.samples;
        bool written = true;
        for (qsizetype at = 0; written && at < samples.size(); at += chunk)
            written = output->Write(samples.constData() + at, std::size_t(std::min(chunk, samples.size() - at)));
        // The end of the note is heard before the output closes (waiting no
        // longer than the output said at first, should it never say zero).
        if (written) {
            const auto deadline = std::chrono::steady_clock::now() + output->Pending() + kLatency;
            for (auto pending = output->Pending(); goOn() && pending.count() > 0; pending = output->Pending()) {
                if (std::chrono::steady_clock::now() >= deadline)
                    break;
                output->Wait(std::min<std::chrono::microseconds>(pending, kChunk));
            }
        }
        SetOutput(nullptr);
    }

    // The output being played, which a new note, a stop or the player's
    // end wakes from its waits.
    void SetOutput(SoundOutput* output)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_output = output;
    }

    const std::string m_client;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<WaveSound> m_next;
    bool m_quit = false;
    // Changed (under the mutex) by every new note, stop and the end.
    std::atomic<std::uint64_t> m_generation{0};
    SoundOutput* m_output = nullptr;
    std::thread m_thread;
};

} // namespace

std::unique_ptr<VoicePlayer> MakeSinkVoicePlayer() { return std::make_unique<SinkVoicePlayer>(); }

} // namespace platform
