// GIF89a writer: one image, a global colour table, LZW-coded pixels. True
// colour pictures are reduced to 256 colours by the image conversion first.
#include "picture_library.h"

#include "picture_bytes.h"

#include <vector>

namespace platform::picture {

namespace {

class BitWriter {
public:
    void put(int code, int size)
    {
        m_acc |= std::uint32_t(code) << m_bits;
        m_bits += size;
        while (m_bits >= 8) {
            m_bytes.push_back(std::uint8_t(m_acc & 0xFF));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    std::vector<std::uint8_t> finish()
    {
        if (m_bits > 0)
            m_bytes.push_back(std::uint8_t(m_acc & 0xFF));
        m_acc = 0;
        m_bits = 0;
        return std::move(m_bytes);
    }

private:
    std::uint32_t m_acc = 0;
    int m_bits = 0;
    std::vector<std::uint8_t> m_bytes;
};

constexpr int kMaxCode = 4095;

std::vector<std::uint8_t> lzw(const QImage& image, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int eoi = clear + 1;
    std::vector<std::int16_t> table(std::size_t(kMaxCode + 1) * 256, -1);
    BitWriter out;
    int size = minCodeSize + 1;
    int next = eoi + 1;
    out.put(clear, size);
    int prefix = -1;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const int k = row[x];
            if (prefix < 0) {
                prefix = k;
                continue;
            }
            const std::size_t slot = std::size_t(prefix) * 256 + std::size_t(k);
            if (table[slot] >= 0) {
                prefix = table[slot];
                continue;
            }
            out.put(prefix, size);
            if (next >= (1 << size) && size < 12)
                ++size;
            if (next >= kMaxCode) {
                out.put(clear, size);
                std::fill(table.begin(), table.end(), std::int16_t(-1));
                size = minCodeSize + 1;
                next = eoi + 1;
            } else {
                table[slot] = std::int16_t(next++);
            }
            prefix = k;
        }
    }
    if (prefix >= 0) {
        out.put(prefix, size);
        if (next >= (1 << size) && size < 12)
            ++size;
    }
    out.put(eoi, size);
    return out.finish();
}

} // namespace

QByteArray EncodeGif(const QImage& source)
{
    if (source.isNull() || source.width() > 0xFFFF || source.height() > 0xFFFF)
        return {};
    QImage image = source.format() == QImage::Format_Indexed8 ? source
                                                               : source.convertToFormat(QImage::Format_Indexed8);
    QVector<QRgb> colours = image.colorTable();
    if (colours.size() > 256 || colours.isEmpty())
        return {};
    int tableBits = 1;
    while ((1 << tableBits) < colours.size())
        ++tableBits;
    colours.resize(1 << tableBits, qRgb(0, 0, 0));
    const int minCodeSize = tableBits < 2 ? 2 : tableBits;

    QByteArray out("GIF89a");
    putU16(out, std::uint16_t(image.width()));
    putU16(out, std::uint16_t(image.height()));
    putU8(out, std::uint8_t(0x80 | 0x70 | (tableBits - 1)));
    putU8(out, 0);
    putU8(out, 0);
    for (QRgb c : colours) {
        putU8(out, std::uint8_t(qRed(c)));
        putU8(out, std::uint8_t(qGreen(c)));
        putU8(out, std::uint8_t(qBlue(c)));
    }
    putU8(out, 0x2C);
    putU16(out, 0);
    putU16(out, 0);
    putU16(out, std::uint16_t(image.width()));
    putU16(out, std::uint16_t(image.height()));
    putU8(out, 0);
    putU8(out, std::uint8_t(minCodeSize));
    const std::vector<std::uint8_t> data = lzw(image, minCodeSize);
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        putU8(out, std::uint8_t(n));
        out.append(reinterpret_cast<const char*>(data.data() + at), qsizetype(n));
    }
    putU8(out, 0);
    putU8(out, 0x3B);
    return out;
}

} // namespace platform::picture
