#include "sound_output.h"

namespace platform {

std::unique_ptr<SoundOutput> OpenSoundOutput(const WaveSound& format, std::chrono::milliseconds latency,
                                             const std::string& client, GoOn goOn)
{
    if (std::unique_ptr<SoundOutput> server = OpenPulseOutput(format, latency, client, goOn))
        return server;
    if (!goOn())
        return nullptr;
    return OpenAlsaOutput(format, latency, goOn);
}

bool SoundOutputExists(std::chrono::milliseconds timeout)
{
    // A server that answers decides: its sinks are where sound goes.
    if (const std::optional<int> sinks = PulseSinkCount(timeout))
        return *sinks > 0;
    return AlsaCardExists();
}

} // namespace platform
