// The output where no sound server runs: ALSA's default playback device,
// written from the calling thread (no thread of its own). A write waits
// for the device at most the buffer's length.
#include "sound_output.h"

#include "wave_sound.h"

#include <alsa/asoundlib.h>

#include <condition_variable>
#include <mutex>

namespace platform {
namespace {

// ALSA's own messages stay off the program's standard error: a machine
// without a sound card would get a dozen lines for every note. What fails
// is known from the return codes.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

void QuietOnce()
{
    static const bool quiet = [] { return snd_lib_error_set_handler(Quiet) == 0; }();
    (void)quiet;
}

class AlsaOutput : public SoundOutput {
public:
    AlsaOutput(snd_pcm_t* pcm, std::size_t frameBytes, int rate, GoOn goOn)
        : m_pcm(pcm), m_frameBytes(frameBytes), m_rate(rate), m_goOn(std::move(goOn))
    {
    }
    ~AlsaOutput() override
    {
        snd_pcm_drop(m_pcm);
        snd_pcm_close(m_pcm);
    }
    AlsaOutput(const AlsaOutput&) = delete;
    AlsaOutput& operator=(const AlsaOutput&) = delete;

    bool Write(const char* bytes, std::size_t size) override
    {
        snd_pcm_uframes_t frames = size / m_frameBytes;
        while (frames > 0) {
            if (!m_goOn())
                return false;
            snd_pcm_sframes_t written = snd_pcm_writei(m_pcm, bytes, frames);
            // An underrun (or a suspend) is recovered from once per write.
            if (written < 0)
                written = snd_pcm_recover(m_pcm, int(written), 1) < 0 ? written : 0;
            if (written < 0)
                return false;
            bytes += std::size_t(written) * m_frameBytes;
            frames -= snd_pcm_uframes_t(written);
        }
        return true;
    }

    std::chrono::microseconds Pending() override
    {
        snd_pcm_sframes_t frames = 0;
        if (snd_pcm_delay(m_pcm, &frames) < 0 || frames <= 0)
            return std::chrono::microseconds(0);
        return std::chrono::microseconds(frames * 1000000LL / m_rate);
    }

    void Wait(std::chrono::microseconds span) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait_for(lock, span, [this] { return m_woken; });
        m_woken = false;
    }

    void Wake() override
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_woken = true;
        }
        m_wake.notify_all();
    }

private:
    snd_pcm_t* m_pcm;
    std::size_t m_frameBytes;
    int m_rate;
    GoOn m_goOn;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_woken = false;
};

} // namespace

std::unique_ptr<SoundOutput> OpenAlsaOutput(const WaveSound& format, std::chrono::milliseconds latency,
                                            const GoOn& goOn)
{
    QuietOnce();
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0)
        return nullptr;
    const snd_pcm_format_t sampleFormat = format.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (snd_pcm_set_params(pcm, sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(format.channels),
                           unsigned(format.sampleRate), 1, unsigned(latency.count()) * 1000U) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::make_unique<AlsaOutput>(pcm, std::size_t(format.channels * format.bitsPerSample / 8),
                                        format.sampleRate, goOn);
}

bool AlsaCardExists()
{
    QuietOnce();
    int card = -1;
    return snd_card_next(&card) == 0 && card >= 0;
}

} // namespace platform
