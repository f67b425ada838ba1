// The library's own gray-temperature model, used for every camera that
// carries no calibration of its own: a line table of 103 {gray, temperature}
// points, an emissivity weight and an atmospheric factor.
//
// Forward:  g = gray + correction integer; f = the table at g, held at the
//           first and last temperatures outside the table;
//           t = ambient + W[e] * (f - ambient) * factor * 1e-5 + second correction.
// Inverse:  undoes that with the factor truncated to an integer and extends
//           the first and last table segments beyond the ends.
//
// All arithmetic is double; the forward result is rounded to float once.
// Without a table the forward model gives -1000.0 and the inverse -10000
// less the correction integer. A table segment of zero width takes its lower
// point's value; a zero factor (W[e] * trunc(factor) = 0) does not divide:
// the inverse then answers as without a table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace thermcore {

inline constexpr int kLineEntries = 103;
inline constexpr size_t kLineTableBytes = kLineEntries * 8;  // 824
inline constexpr int32_t kNoGray = -10000;

struct LineTable {
    std::array<int32_t, kLineEntries> gray{};
    std::array<int32_t, kLineEntries> temp{};  // degrees Celsius
};

// The first 824 bytes as 103 pairs of little-endian i32; a shorter table
// counts as absent.
std::optional<LineTable> decodeLineTable(std::span<const uint8_t> bytes);

// W[e] for the emissivity in hundredths, e clamped to 10..100.
int32_t emissivityWeight(int32_t e);
// e of an emissivity in hundredths: the float emissivity * 100 rounded by
// trunc(x + 0.5), clamped to 10..100.
int32_t emissivityIndex(int32_t emissivity100);

// The scene values the own model reads, as the object holds them.
struct OwnScene {
    int32_t ambient100 = 0;
    int32_t emissivity100 = 0;
    int32_t secondCorrection100 = 0;
    int32_t correctionInt = 0;
};

// table may be NULL (no line table).
float ownGrayToTemp(const LineTable* table, const OwnScene& scene, float factor, int gray);
int32_t ownTempToGray(const LineTable* table, const OwnScene& scene, float factor,
                      float temperature);

}  // namespace thermcore
