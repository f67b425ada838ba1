// The sound server's output: a playback stream whose connection runs on a
// libpulse main loop turned by the calling thread (the player's), never on
// a thread of the library's, and the server's sinks asked for the same way.
// Every wait is a turn of that loop, bounded in time and ended early by a
// wakeup.
#include "sound_output.h"

#include "wave_sound.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>
#include <pulse/timeval.h>

#include <algorithm>

namespace platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The longest turn of the loop between looks at go-on.
constexpr auto kTurn = std::chrono::microseconds(20ms);
// The longest wait for the server to take the connection and the stream.
constexpr auto kConnect = 5s;

// A main loop turned by this thread and a context connected through it.
class PulseConnection {
public:
    explicit PulseConnection(const char* client) : m_loop(pa_mainloop_new())
    {
        if (m_loop != nullptr)
            m_context = pa_context_new(pa_mainloop_get_api(m_loop), client);
    }
    ~PulseConnection()
    {
        if (m_context != nullptr) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        if (m_loop != nullptr)
            pa_mainloop_free(m_loop);
    }
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    pa_mainloop* Loop() const { return m_loop; }
    pa_context* Context() const { return m_context; }

    // One turn of the loop: what is due is done, waiting for it up to span
    // or a wakeup. False when the loop failed.
    bool Turn(std::chrono::microseconds span)
    {
        return pa_mainloop_prepare(m_loop, int(std::max<std::int64_t>(0, span.count()))) >= 0 &&
               pa_mainloop_poll(m_loop) >= 0 && pa_mainloop_dispatch(m_loop) >= 0;
    }

    // Turns the loop until ready() or failed() says so, the deadline passes
    // or go-on says no; true when ready.
    template <typename Ready, typename Failed>
    bool TurnUntil(Ready ready, Failed failed, Clock::time_point deadline, const GoOn& goOn)
    {
        for (;;) {
            if (ready())
                return true;
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
            if (failed() || left.count() <= 0 || (goOn && !goOn()) || !Turn(std::min(left, kTurn)))
                return false;
        }
    }

    // Connected to the server (autospawn: whether one may be started for
    // the purpose, as the user's client configuration says).
    bool Connect(bool autospawn, Clock::time_point deadline, const GoOn& goOn)
    {
        if (m_context == nullptr ||
            pa_context_connect(m_context, nullptr, autospawn ? PA_CONTEXT_NOFLAGS : PA_CONTEXT_NOAUTOSPAWN,
                               nullptr) < 0)
            return false;
        return TurnUntil([this] { return pa_context_get_state(m_context) == PA_CONTEXT_READY; },
                         [this] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)); }, deadline, goOn);
    }

private:
    pa_mainloop* m_loop;
    pa_context* m_context = nullptr;
};

class PulseOutput : public SoundOutput {
public:
    PulseOutput(const std::string& client, GoOn goOn) : m_connection(client.c_str()), m_goOn(std::move(goOn)) {}
    ~PulseOutput() override
    {
        // What was not heard yet is dropped with the stream.
        if (m_stream != nullptr) {
            pa_stream_disconnect(m_stream);
            pa_stream_unref(m_stream);
        }
    }
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    bool Open(const pa_sample_spec& spec, const pa_buffer_attr& buffer)
    {
        const Clock::time_point deadline = Clock::now() + kConnect;
        if (m_connection.Loop() == nullptr || !m_connection.Connect(true, deadline, m_goOn))
            return false;
        m_stream = pa_stream_new(m_connection.Context(), "voice note", &spec, nullptr);
        if (m_stream == nullptr)
            return false;
        const auto flags = pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_ADJUST_LATENCY |
                                             PA_STREAM_AUTO_TIMING_UPDATE);
        if (pa_stream_connect_playback(m_stream, nullptr, &buffer, flags, nullptr, nullptr) < 0)
            return false;
        return m_connection.TurnUntil([this] { return pa_stream_get_state(m_stream) == PA_STREAM_READY; },
                                      [this] { return !Good(); }, deadline, m_goOn);
    }

    bool Write(const char* bytes, std::size_t size) override
    {
        while (size > 0) {
            if (!m_goOn() || !Good())
                return false;
            const std::size_t room = pa_stream_writable_size(m_stream);
            if (room == std::size_t(-1))
                return false;
            if (room == 0) {
                // The server asks for more as it plays.
                if (!m_connection.Turn(kTurn))
                    return false;
                continue;
            }
            const std::size_t now = std::min(room, size);
            if (pa_stream_write(m_stream, bytes, now, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return false;
            bytes += now;
            size -= now;
        }
        // Sends what was written.
        return m_connection.Turn(0us);
    }

    std::chrono::microseconds Pending() override
    {
        pa_usec_t latency = 0;
        int negative = 0;
        if (!Good())
            return 0us;
        // No timing yet: the sound has not started.
        if (pa_stream_get_latency(m_stream, &latency, &negative) < 0)
            return kTurn;
        return negative != 0 ? 0us : std::chrono::microseconds(latency);
    }

    void Wait(std::chrono::microseconds span) override { m_connection.Turn(span); }

    void Wake() override { pa_mainloop_wakeup(m_connection.Loop()); }

private:
    bool Good() const
    {
        return PA_CONTEXT_IS_GOOD(pa_context_get_state(m_connection.Context())) &&
               PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream));
    }

    PulseConnection m_connection;
    GoOn m_goOn;
    pa_stream* m_stream = nullptr;
};

} // namespace

std::unique_ptr<SoundOutput> OpenPulseOutput(const WaveSound& format, std::chrono::milliseconds latency,
                                             const std::string& client, const GoOn& goOn)
{
    pa_sample_spec spec{};
    spec.format = format.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
    spec.rate = uint32_t(format.sampleRate);
    spec.channels = uint8_t(format.channels);
    if (pa_sample_spec_valid(&spec) == 0)
        return nullptr;
    // The server plays once a fifth of the buffer is there and asks for
    // more a fifth at a time.
    const auto bytes = [&spec](std::chrono::milliseconds span) {
        return uint32_t(pa_usec_to_bytes(pa_usec_t(span.count()) * PA_USEC_PER_MSEC, &spec));
    };
    pa_buffer_attr buffer{};
    buffer.maxlength = uint32_t(-1);
    buffer.tlength = bytes(latency);
    buffer.prebuf = bytes(latency / 5);
    buffer.minreq = bytes(latency / 5);
    buffer.fragsize = uint32_t(-1);
    auto output = std::make_unique<PulseOutput>(client, goOn);
    if (!output->Open(spec, buffer))
        return nullptr;
    return output;
}

std::optional<int> PulseSinkCount(std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    PulseConnection connection("voice output check");
    // Never a server started just to be asked.
    if (connection.Loop() == nullptr || !connection.Connect(false, deadline, nullptr))
        return std::nullopt;
    int sinks = 0;
    pa_operation* op = pa_context_get_sink_info_list(
        connection.Context(),
        [](pa_context*, const pa_sink_info* info, int eol, void* count) {
            if (eol == 0 && info != nullptr)
                ++*static_cast<int*>(count);
        },
        &sinks);
    if (op == nullptr)
        return std::nullopt;
    const bool answered = connection.TurnUntil([op] { return pa_operation_get_state(op) == PA_OPERATION_DONE; },
                                               [op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; },
                                               deadline, nullptr);
    if (!answered)
        pa_operation_cancel(op);
    pa_operation_unref(op);
    return answered ? std::optional<int>(sinks) : std::nullopt;
}

} // namespace platform
