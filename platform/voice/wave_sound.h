// A voice note's samples read from its RIFF/WAVE bytes: uncompressed PCM,
// 8 or 16 bits, mono or stereo, at any rate. Every size in the file is
// checked against the bytes there are; anything else (another encoding,
// a damaged or cut-off file) is refused with the reason.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace platform {

struct WaveSound {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    // Whole frames only, in the file's order: unsigned 8-bit or signed
    // little-endian 16-bit samples, channels interleaved.
    QByteArray samples;
};

// The sound in bytes; nullopt with *error set (when given) when it cannot
// be played.
std::optional<WaveSound> ReadWaveSound(QByteArrayView bytes, QString* error = nullptr);

} // namespace platform
