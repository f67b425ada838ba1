// Fuzz target: the voice player's WAV reader. Whatever the bytes, it reads
// nothing past them, and a sound it accepts is one the player can play:
// 1 or 2 channels of 8 or 16 bits at a positive rate, whole frames only,
// taken as they stand from the bytes.
#include "wave_sound.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const auto sound = platform::ReadWaveSound(bytes, &error);
    if (!sound) {
        Check(!error.isEmpty());
        return 0;
    }
    Check(sound->channels == 1 || sound->channels == 2);
    Check(sound->bitsPerSample == 8 || sound->bitsPerSample == 16);
    Check(sound->sampleRate > 0);
    const qsizetype frame = sound->channels * sound->bitsPerSample / 8;
    Check(!sound->samples.isEmpty() && sound->samples.size() % frame == 0);
    Check(bytes.contains(sound->samples));
    return 0;
}
