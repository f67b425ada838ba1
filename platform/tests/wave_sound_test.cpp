#include "wave_sound.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <string>
#include <vector>

namespace {

QByteArray U16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray U32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray Chunk(const char* id, const QByteArray& payload, bool pad = true)
{
    QByteArray b = QByteArray(id) + U32(quint32(payload.size())) + payload;
    if (pad && payload.size() % 2 != 0)
        b.append('\0');
    return b;
}

QByteArray Format(quint16 tag, quint16 channels, quint32 rate, quint16 bits, quint16 blockAlign)
{
    return U16(tag) + U16(channels) + U32(rate) + U32(rate * blockAlign) + U16(blockAlign) + U16(bits);
}

QByteArray Format(quint16 channels, quint32 rate, quint16 bits)
{
    return Format(1, channels, rate, bits, quint16(channels * bits / 8));
}

QByteArray Riff(const QByteArray& chunks) { return "RIFF" + U32(quint32(4 + chunks.size())) + "WAVE" + chunks; }

QByteArray Ramp(int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b.append(char(i * 7));
    return b;
}

} // namespace

// Notes as cameras and other programs write them: the samples come out as
// they stand, whole frames only, whatever other chunks surround them.
TEST(WaveSound, ReadsPcmNotes)
{
    struct Case {
        std::string name;
        QByteArray file;
        int channels, rate, bits;
        QByteArray samples;
    };
    const QByteArray odd = Ramp(7);
    const std::vector<Case> cases = {
        {"8-bit mono", Riff(Chunk("fmt ", Format(1, 8000, 8)) + Chunk("data", Ramp(9))), 1, 8000, 8, Ramp(9)},
        {"16-bit stereo", Riff(Chunk("fmt ", Format(2, 44100, 16)) + Chunk("data", Ramp(16))), 2, 44100, 16, Ramp(16)},
        // Other chunks (an odd-sized one padded) before and between.
        {"other chunks", Riff(Chunk("LIST", odd) + Chunk("fmt ", Format(1, 11025, 16)) + Chunk("fact", U32(4)) + Chunk("data", Ramp(8))),
         1, 11025, 16, Ramp(8)},
        // An 18-byte format chunk (with its extension size).
        {"long format", Riff(Chunk("fmt ", Format(1, 22050, 8) + U16(0)) + Chunk("data", Ramp(3))), 1, 22050, 8, Ramp(3)},
        {"data before format", Riff(Chunk("data", Ramp(4)) + Chunk("fmt ", Format(1, 8000, 16))), 1, 8000, 16, Ramp(4)},
        // The camera's 8-bit note says 2 bytes per frame; its samples are
        // one byte each.
        {"camera 8-bit", Riff(Chunk("fmt ", Format(1, 1, 5536, 8, 2)) + Chunk("data", Ramp(5))), 1, 5536, 8, Ramp(5)},
        // A part frame at the end is left out.
        {"part frame", Riff(Chunk("fmt ", Format(2, 8000, 16)) + Chunk("data", Ramp(10))), 2, 8000, 16, Ramp(8)},
        // The last chunk's pad byte missing, and a RIFF size that is wrong.
        {"no final pad", "RIFF" + U32(1000) + "WAVE" + Chunk("fmt ", Format(1, 8000, 8)) + Chunk("data", odd, false), 1, 8000, 8, odd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        const auto sound = platform::ReadWaveSound(c.file, &error);
        ASSERT_TRUE(sound.has_value()) << error.toStdString();
        EXPECT_EQ(sound->channels, c.channels);
        EXPECT_EQ(sound->sampleRate, c.rate);
        EXPECT_EQ(sound->bitsPerSample, c.bits);
        EXPECT_EQ(sound->samples, c.samples);
    }
}

// Damaged headers and encodings the player does not play are refused with
// a reason, never read past the bytes there are (the sanitizers watch).
TEST(WaveSound, RefusesDamagedAndUnplayableFiles)
{
    const QByteArray format = Chunk("fmt ", Format(1, 8000, 16));
    const QByteArray data = Chunk("data", Ramp(8));
    const QByteArray good = Riff(format + data);
    struct Case {
        std::string name;
        QByteArray file;
    };
    const std::vector<Case> cases = {
        {"empty", QByteArray()},
        {"short header", good.first(11)},
        {"not RIFF", "RIFX" + good.mid(4)},
        {"not WAVE", good.first(8) + "AVI " + good.mid(12)},
        {"header only", good.first(12)},
        {"no format", Riff(data)},
        {"no data", Riff(format)},
        {"format cut short", Riff(Chunk("fmt ", Format(1, 8000, 16).first(14)) + data)},
        {"float samples", Riff(Chunk("fmt ", Format(3, 1, 8000, 32, 4)) + data)},
        {"compressed", Riff(Chunk("fmt ", Format(2, 1, 8000, 4, 256)) + data)},
        {"24-bit", Riff(Chunk("fmt ", Format(1, 8000, 24)) + data)},
        {"no channels", Riff(Chunk("fmt ", Format(1, 0, 8000, 16, 0)) + data)},
        {"three channels", Riff(Chunk("fmt ", Format(3, 8000, 16)) + data)},
        {"no sample rate", Riff(Chunk("fmt ", Format(1, 0, 16)) + data)},
        {"sample rate too high", Riff(Chunk("fmt ", Format(1, 0x80000000u, 16)) + data)},
        {"no samples", Riff(format + Chunk("data", QByteArray()))},
        {"less than a frame", Riff(Chunk("fmt ", Format(2, 8000, 16)) + Chunk("data", Ramp(3)))},
        {"data cut off", good.first(good.size() - 1)},
        {"data size past the end", Riff(format + "data" + U32(0xFFFFFFFFu) + Ramp(8))},
        {"format size past the end", Riff("fmt " + U32(0xFFFFFFF0u) + Format(1, 8000, 16) + data)},
        {"chunk header cut off", Riff(format + "da")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_FALSE(platform::ReadWaveSound(c.file, &error).has_value());
        EXPECT_FALSE(error.isEmpty());
    }
}
