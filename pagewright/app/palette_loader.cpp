#include "palette_loader.h"

#include <algorithm>

#include "skin/message_box.h"
#include "platform/program_folder.h"
#include "resource_ids.h"

#include "platform/bmp_file.h"
#include "platform/dib.h"
#include "platform/ini_file.h"


bool PaletteFromDib(const QByteArray& dib, std::uint8_t* destination)
{
    platform::DibInfoHeader h;
    if (platform::CheckDib(dib) != platform::DibCheck::Ok || !platform::GetDIBInfoHeader(dib, &h) ||
        h.biCompression != platform::kBiRgb || !platform::IsInfoHeader(dib))
        return false;
    const std::size_t bitsAt = platform::FindDIBBits(dib);
    const auto* bits = reinterpret_cast<const std::uint8_t*>(dib.constData()) + bitsAt;
    if (h.biBitCount == 8) {
        // Sample the first stored row evenly across its width.
        const QVector<QRgb> table = platform::CreateDIBPalette(dib);
        const float scale = float(h.biWidth) * 0.00390625f;
        for (int k = 0; k < kPaletteEntries; ++k) {
            const int x = qBound(0, int(float(k) * scale), h.biWidth - 1);
            const int index = bits[x];
            const QRgb c = index < table.size() ? table[index] : qRgb(0, 0, 0);
            destination[4 * k] = std::uint8_t(qBlue(c));
            destination[4 * k + 1] = std::uint8_t(qGreen(c));
            destination[4 * k + 2] = std::uint8_t(qRed(c));
            destination[4 * k + 3] = 0;
        }
        return true;
    }
    if (h.biBitCount == 24 && h.biWidth >= kPaletteEntries) {
        for (int k = 0; k < kPaletteEntries; ++k) {
            destination[4 * k] = bits[3 * k];
            destination[4 * k + 1] = bits[3 * k + 1];
            destination[4 * k + 2] = bits[3 * k + 2];
            destination[4 * k + 3] = 0;
        }
        return true;
    }
    return false;
}

PaletteLoad LoadPaletteBmp(int, std::uint8_t* destination, const QString& fileName, const QString& programDir)
{
    QByteArray dib;
    if (fileName.isEmpty() || !platform::ReadBmpFile(platform::ResolveProgramFile(programDir, fileName), &dib)) {
        AfxMessageBox(res::IDS_PALETTE_FILE_MISSING);
        return PaletteLoad::FileMissing;
    }
    return PaletteFromDib(dib, destination) ? PaletteLoad::Loaded : PaletteLoad::Unusable;
}

QByteArray LoadPaletteTable(const QString& programDir, const QString& keyPrefix, QStringList* missing)
{
    const platform::IniDocument ini = platform::IniFile(platform::ResolveProgramFile(programDir, QStringLiteral("field.ini"))).load();
    const int n = std::clamp(ini.readInt(QStringLiteral("COMMON"), QStringLiteral("PalletteNum"), 0), 0, 1000);
    QByteArray table(qsizetype(n) * kPaletteBytes, '\0');
    for (int i = 1; i <= n; ++i) {
        const QString file = ini.readString(QStringLiteral("FILENAME"), keyPrefix + QString::number(i), {}, 20);
        const QString path = platform::ResolveProgramFile(programDir, file);
        QByteArray dib;
        auto* destination = reinterpret_cast<std::uint8_t*>(table.data()) + std::size_t(i - 1) * kPaletteBytes;
        if (file.isEmpty() || !platform::ReadBmpFile(path, &dib) || !PaletteFromDib(dib, destination)) {
            if (missing != nullptr)
                missing->append(path);
        }
    }
    return table;
}
