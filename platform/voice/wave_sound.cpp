#include "wave_sound.h"

#include <QtEndian>

#include <limits>

namespace platform {
namespace {

constexpr qsizetype kChunkHeader = 8;
constexpr qsizetype kRiffHeader = 12;
constexpr qsizetype kPcmFormatSize = 16;
constexpr quint16 kPcmTag = 1;

quint16 U16(QByteArrayView bytes, qsizetype at) { return qFromLittleEndian<quint16>(bytes.data() + at); }
quint32 U32(QByteArrayView bytes, qsizetype at) { return qFromLittleEndian<quint32>(bytes.data() + at); }

std::optional<WaveSound> Refuse(QString* error, const QString& reason)
{
    if (error != nullptr)
        *error = reason;
    return std::nullopt;
}

// The format chunk's fields into sound (no samples yet); false with the
// reason when they describe nothing the player plays.
bool ReadFormat(QByteArrayView chunk, WaveSound& sound, QString& reason)
{
    if (chunk.size() < kPcmFormatSize) {
        reason = QStringLiteral("format chunk of %1 bytes, at least 16 expected").arg(chunk.size());
        return false;
    }
    const quint16 tag = U16(chunk, 0);
    const quint16 channels = U16(chunk, 2);
    const quint32 rate = U32(chunk, 4);
    // The block align is not looked at: the camera's own 8-bit notes say 2
    // there. A frame is one sample per channel, as the other fields say.
    const quint16 bits = U16(chunk, 14);
    if (tag != kPcmTag)
        reason = QStringLiteral("encoding %1 is not PCM").arg(tag);
    else if (channels != 1 && channels != 2)
        reason = QStringLiteral("%1 channels, 1 or 2 expected").arg(channels);
    else if (bits != 8 && bits != 16)
        reason = QStringLiteral("%1 bits per sample, 8 or 16 expected").arg(bits);
    else if (rate == 0 || rate > quint32(std::numeric_limits<int>::max()))
        reason = QStringLiteral("sample rate %1").arg(rate);
    else {
        sound.channels = channels;
        sound.sampleRate = int(rate);
        sound.bitsPerSample = bits;
        return true;
    }
    return false;
}

} // namespace

std::optional<WaveSound> ReadWaveSound(QByteArrayView bytes, QString* error)
{
    if (bytes.size() < kRiffHeader || bytes.first(4) != "RIFF" || bytes.sliced(8, 4) != "WAVE")
        return Refuse(error, QStringLiteral("not a RIFF/WAVE file"));

    WaveSound sound;
    bool haveFormat = false;
    std::optional<QByteArrayView> data;
    // The chunks up to the end of the bytes (a RIFF size that disagrees
    // with the file's is common and harmless).
    for (qsizetype at = kRiffHeader; bytes.size() - at >= kChunkHeader;) {
        const QByteArrayView id = bytes.sliced(at, 4);
        const qint64 size = U32(bytes, at + 4);
        at += kChunkHeader;
        if (size > bytes.size() - at)
            return Refuse(error, QStringLiteral("chunk \"%1\" of %2 bytes runs past the end of the file")
                                     .arg(QString::fromLatin1(id.toByteArray().toPercentEncoding()))
                                     .arg(size));
        const QByteArrayView chunk = bytes.sliced(at, qsizetype(size));
        if (id == "fmt " && !haveFormat) {
            QString reason;
            if (!ReadFormat(chunk, sound, reason))
                return Refuse(error, reason);
            haveFormat = true;
        } else if (id == "data" && !data) {
            data = chunk;
        }
        // Chunks are padded to an even size; the last one's pad byte may be
        // missing.
        at += qsizetype(size + (size & 1));
    }
    if (!haveFormat)
        return Refuse(error, QStringLiteral("no format chunk"));
    if (!data)
        return Refuse(error, QStringLiteral("no data chunk"));
    const qsizetype frameBytes = sound.channels * sound.bitsPerSample / 8;
    const qsizetype wholeFrames = data->size() / frameBytes;
    if (wholeFrames == 0)
        return Refuse(error, QStringLiteral("no samples"));
    sound.samples = data->first(wholeFrames * frameBytes).toByteArray();
    return sound;
}

} // namespace platform
