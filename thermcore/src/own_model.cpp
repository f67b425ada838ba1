#include "own_model.h"

#include <algorithm>
#include <cmath>

#include "byte_order.h"
#include "scene_units.h"

namespace thermcore {

namespace {

// W[e] for e = 10..100.
constexpr std::array<int16_t, 91> kEmissivityWeights = {
    5150, 4887, 4687, 4380, 4139, 3916, 3729, 3572, 3404, 3271,  // 10..19
    3157, 3042, 2946, 2855, 2753, 2675, 2598, 2530, 2470, 2410,  // 20..29
    2343, 2301, 2241, 2187, 2151, 2102, 2060, 2020, 1970, 1938,  // 30..39
    1899, 1880, 1850, 1820, 1795, 1759, 1738, 1708, 1670, 1650,  // 40..49
    1630, 1600, 1588, 1575, 1550, 1530, 1498, 1488, 1470, 1455,  // 50..59
    1430, 1415, 1400, 1388, 1375, 1355, 1340, 1328, 1310, 1300,  // 60..69
    1285, 1273, 1263, 1248, 1235, 1220, 1207, 1198, 1190, 1179,  // 70..79
    1173, 1164, 1155, 1140, 1130, 1120, 1108, 1097, 1092, 1084,  // 80..89
    1078, 1070, 1060, 1048, 1042, 1030, 1024, 1018, 1012, 1006,  // 90..99
    1000,                                                        // 100
};
constexpr int32_t kMinE = 10;
constexpr int32_t kMaxE = 100;
constexpr int kLast = kLineEntries - 1;

// Gray per degree of segment i; 0 for a segment of zero width.
double graysPerDegree(const LineTable& t, int i) {
    const int64_t dt = int64_t{t.temp[i + 1]} - t.temp[i];
    if (dt == 0) return 0.0;
    return static_cast<double>(int64_t{t.gray[i + 1]} - t.gray[i]) / static_cast<double>(dt);
}

}  // namespace

std::optional<LineTable> decodeLineTable(std::span<const uint8_t> bytes) {
    if (bytes.size() < kLineTableBytes) return std::nullopt;
    LineTable t;
    for (int i = 0; i < kLineEntries; ++i) {
        t.gray[i] = loadI32(&bytes[8 * i]);
        t.temp[i] = loadI32(&bytes[8 * i + 4]);
    }
    return t;
}

int32_t emissivityIndex(int32_t emissivity100) {
    const float emissivity = static_cast<float>(emissivity100) / 100.0f;
    const int32_t e = truncSat(static_cast<double>(emissivity) * 100.0 + 0.5);
    return std::clamp(e, kMinE, kMaxE);
}

int32_t emissivityWeight(int32_t e) { return kEmissivityWeights[std::clamp(e, kMinE, kMaxE) - kMinE]; }

float ownGrayToTemp(const LineTable* table, const OwnScene& scene, float factor, int gray) {
    if (table == nullptr) return -1000.0f;
    const LineTable& t = *table;
    const int64_t g = int64_t{gray} + scene.correctionInt;
    double f = t.temp[kLast];
    if (g <= t.gray[0]) {
        f = t.temp[0];
    } else if (g < t.gray[kLast]) {
        for (int i = 0; i < kLast; ++i) {
            if (g >= t.gray[i + 1]) continue;
            const int64_t dg = int64_t{t.gray[i + 1]} - t.gray[i];
            const double dt = static_cast<double>(int64_t{t.temp[i + 1]} - t.temp[i]);
            f = dg == 0 ? t.temp[i]
                        : t.temp[i] + dt * 100.0 / static_cast<double>(dg) *
                                          static_cast<double>(g - t.gray[i]) * 0.01;
            break;
        }
    }
    const double ambient = fromHundredths(scene.ambient100);
    const double w = emissivityWeight(emissivityIndex(scene.emissivity100));
    return narrowToFloat(ambient + w * (f - ambient) * factor * 0.00001 +
                  scene.secondCorrection100 * 0.01);
}

int32_t ownTempToGray(const LineTable* table, const OwnScene& scene, float factor,
                      float temperature) {
    const int32_t t100 = toHundredths(temperature);
    const int64_t product =
        int64_t{emissivityWeight(emissivityIndex(scene.emissivity100))} * truncSat(factor);
    int64_t gray = kNoGray;
    if (table != nullptr && product != 0) {
        const LineTable& t = *table;
        const double ta = static_cast<double>(int64_t{t100} - scene.secondCorrection100) * 0.01;
        const double ambient = fromHundredths(scene.ambient100);
        const double f = ambient + (ta - ambient) / (static_cast<double>(product) * 0.00001);
        if (f <= t.temp[0]) {
            gray = truncSat(t.gray[0] - graysPerDegree(t, 0) * (t.temp[0] - f));
        } else if (f >= t.temp[kLast]) {
            gray = truncSat(graysPerDegree(t, kLast - 1) * (f - t.temp[kLast]) + t.gray[kLast]);
        } else {
            for (int i = 0; i < kLast; ++i) {
                if (f >= t.temp[i + 1]) continue;
                gray = truncSat(graysPerDegree(t, i) * (f - t.temp[i]) + t.gray[i]);
                break;
            }
        }
    }
    return saturate32(gray - scene.correctionInt);
}

}  // namespace thermcore
