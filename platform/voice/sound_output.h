// Where the voice player's samples go: a playback stream on the sound
// server (libpulse, whose main loop runs on the calling thread: the library
// starts no thread of its own; PipeWire serves the same protocol), else
// ALSA's default device where no server runs. An output is opened, fed and
// closed on one thread (the player's); every wait in it ends as soon as
// the caller's "go on" says no, and Wake, from any thread, makes it ask at
// once. Nothing of an output is left once it is destroyed.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

struct WaveSound;

// Whether the output's user still wants it; asked from the output's thread.
using GoOn = std::function<bool()>;

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Plays bytes (whole frames of the sound's format), waiting while the
    // output's buffer is full. False when the output failed or go-on said no.
    virtual bool Write(const char* bytes, std::size_t size) = 0;
    // How long what was written still plays; zero once it has been heard.
    virtual std::chrono::microseconds Pending() = 0;
    // Waits up to span, or until Wake.
    virtual void Wait(std::chrono::microseconds span) = 0;
    // From any thread, while the output lives: ends its current wait.
    virtual void Wake() = 0;
};

// An output for the sound's format: a stream of the sound server's, shown
// there under the client's name, else ALSA's default device; null when
// neither takes it or go-on said no. The buffer holds about latency of
// sound, so that a stop is heard that soon.
std::unique_ptr<SoundOutput> OpenSoundOutput(const WaveSound& format, std::chrono::milliseconds latency,
                                             const std::string& client, GoOn goOn);

// Whether there is anything to play on: a sound server with an output
// (sink), or, where no server answers, a sound card. Asks the server on the
// calling thread and waits for it at most timeout.
bool SoundOutputExists(std::chrono::milliseconds timeout);

// The two kinds of output (pulse_output.cpp, alsa_output.cpp).
std::unique_ptr<SoundOutput> OpenPulseOutput(const WaveSound& format, std::chrono::milliseconds latency,
                                             const std::string& client, const GoOn& goOn);
// The sound server's outputs; nullopt when no server answered in time.
std::optional<int> PulseSinkCount(std::chrono::milliseconds timeout);
std::unique_ptr<SoundOutput> OpenAlsaOutput(const WaveSound& format, std::chrono::milliseconds latency,
                                            const GoOn& goOn);
bool AlsaCardExists();

} // namespace platform
