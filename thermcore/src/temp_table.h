// Temperatures of the grays 0..16383 for whole-area statistics.
//
// Converting a gray depends only on the gray, the camera model, the scene
// values and the model's tables, and for the plane model on the frame's
// reference gray. The table holds temperatures for one set of those inputs
// and drops them all when any input has changed (setting a value that is
// already held changes nothing). Its values are those of the direct
// conversion.
//
// Entries are converted on first use, in blocks of 64 grays: a statistic
// first asks the table to cover the grays its pixels hold, so a table made
// again after a scene change costs the part of the gray range the frame
// uses, and it grows when a later frame or point needs more. The
// conversion is prepared once per set of inputs, on a copy of the
// calibration block, so the object's block keeps the drift of its last
// direct conversion. Grays outside 0..16383 (including the -10000 of points
// outside the image) take the direct conversion.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace thermcore {

struct IfrObject;

class TemperatureTable {
public:
    static constexpr int kGrays = 16384;
    static constexpr int kBlockGrays = 64;

    TemperatureTable();
    ~TemperatureTable();
    TemperatureTable(const TemperatureTable&) = delete;
    TemperatureTable& operator=(const TemperatureTable&) = delete;

    // Brings the table up to date for the object's current inputs.
    void refresh(IfrObject& obj);

    // Whether a gray lies in the range the table can hold.
    static bool covers(int gray) { return gray >= 0 && gray < kGrays; }

    // Converts whatever of the grays lo..hi (both within 0..16383, lo <= hi)
    // is not held yet. Call after refresh.
    void cover(int lo, int hi) {
        if (!holds(lo, hi)) convertMissing(lo, hi);
    }
    bool holds(int lo, int hi) const;

    // The temperature of a gray within 0..16383, converted when not held.
    float at(int gray) {
        cover(gray, gray);
        return values_[static_cast<size_t>(gray)];
    }
    // The whole table, indexed by gray; entries are valid where held.
    const float* values() const { return values_.data(); }

    // How often the inputs changed and the entries were dropped, and how
    // many entries were converted since (for tests and benchmarks).
    uint64_t builds() const { return builds_; }
    uint64_t converted() const { return converted_; }

private:
    static constexpr int kBlocks = kGrays / kBlockGrays;
    static constexpr int kWords = kBlocks / 64;

    void convertMissing(int lo, int hi);

    struct Prepared;
    std::unique_ptr<Prepared> prepared_;
    std::vector<uint8_t> key_;
    std::vector<float> values_;
    std::array<uint64_t, kWords> held_{};
    uint64_t builds_ = 0;
    uint64_t converted_ = 0;
};

inline bool TemperatureTable::holds(int lo, int hi) const {
    const int b0 = lo / kBlockGrays;
    const int b1 = hi / kBlockGrays;
    for (int w = b0 / 64; w <= b1 / 64; ++w) {
        uint64_t mask = ~uint64_t{0};
        if (w == b0 / 64) mask &= ~uint64_t{0} << (b0 % 64);
        if (w == b1 / 64) mask &= ~uint64_t{0} >> (63 - b1 % 64);
        if ((held_[static_cast<size_t>(w)] & mask) != mask) return false;
    }
    return true;
}

}  // namespace thermcore
