#include "palette_bmp.h"

#include <cstdio>

namespace thermcore {

int readPaletteBmp(const char* path, std::array<uint8_t, 768>& bytes,
                   std::array<uint32_t, 256>& entries) {
    if (path == nullptr) return -1;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return -1;
    std::array<uint8_t, 768> raw;
    const bool ok = std::fseek(f, kPaletteOffset, SEEK_SET) == 0 &&
                    std::fread(raw.data(), 1, raw.size(), f) == raw.size();
    std::fclose(f);
    if (!ok) return -1;
    bytes = raw;
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i] = raw[3 * i] + raw[3 * i + 1] * 256u + raw[3 * i + 2] * 65536u;
    }
    return 0;
}

}  // namespace thermcore
