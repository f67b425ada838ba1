#include "palette_table.h"

#include "resource_ids.h"

#include "platform/bmp_file.h"
#include "platform/dib.h"
#include "platform/program_folder.h"
#include "skin/message_box.h"

#include <QVector>
#include <QRgb>

#include <cstring>

namespace heatshelf {

bool PaletteFromDib(const QByteArray& dib, std::uint8_t* entries)
{
    platform::DibInfoHeader h;
    if (dib.isEmpty() || !platform::IsInfoHeader(dib) || !platform::GetDIBInfoHeader(dib, &h) ||
        h.biCompression != platform::kBiRgb ||
        h.biWidth <= 0)
        return false;
    if (h.biBitCount != 8 && h.biBitCount != 24)
        return false;
    const std::size_t bitsAt = platform::FindDIBBits(dib);
    if (bitsAt > std::size_t(dib.size()))
        return false;
    const auto* bits = reinterpret_cast<const std::uint8_t*>(dib.constData()) + bitsAt;
    const std::size_t available = std::size_t(dib.size()) - bitsAt;
    std::memset(entries, 0, kPaletteBytes);
    if (h.biBitCount == 8) {
        // The colour table as far as the block holds it.
        const std::size_t tableAt = bitsAt - platform::PaletteSize(dib);
        const std::size_t tableCount = platform::PaletteSize(dib) / 4;
        const auto* table = reinterpret_cast<const std::uint8_t*>(dib.constData()) + tableAt;
        const float step = float(h.biWidth) * (1.0f / 256.0f);
        for (int i = 0; i < kPaletteEntries; ++i) {
            const std::size_t x = std::size_t(float(i) * step);
            if (x >= available || x >= std::size_t(h.biWidth))
                continue;
            const std::size_t index = bits[x];
            if (index >= tableCount)
                continue;
            std::uint8_t* e = entries + 4 * (kPaletteEntries - 1 - i);
            e[0] = table[4 * index];
            e[1] = table[4 * index + 1];
            e[2] = table[4 * index + 2];
            e[3] = 0;
        }
        return true;
    }
    for (int i = 0; i < kPaletteEntries && std::size_t(3 * i + 2) < available; ++i) {
        entries[4 * i] = bits[3 * i];
        entries[4 * i + 1] = bits[3 * i + 1];
        entries[4 * i + 2] = bits[3 * i + 2];
        entries[4 * i + 3] = 0;
    }
    return true;
}

bool PaletteTable::LoadPalette(int n, const QString& folder)
{
    if (n < 1 || n > kPaletteCount)
        return false;
    QByteArray dib;
    if (!platform::ReadBmpFile(platform::ResolveProgramFile(folder, QStringLiteral("nruler%1.bmp").arg(n)), &dib)) {
        AfxMessageBox(res::IDS_PALETTE_FILE_MISSING, MB_OK);
        return false;
    }
    std::uint8_t entries[kPaletteBytes];
    if (!PaletteFromDib(dib, entries))
        return false;
    std::memcpy(m_bytes.data() + (n - 1) * kPaletteBytes, entries, kPaletteBytes);
    return true;
}

} // namespace heatshelf
