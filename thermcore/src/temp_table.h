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
//
// The entries of one set of inputs are shared: the last few sets converted
// in the process are kept, so an object opened again on the same image and
// scene (a reopened report, a list of files from one camera) finds the
// temperatures already converted. Objects on different threads may share
// entries: a block is converted under the entries' lock and marked held
// only once its values are written, and held values never change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace thermcore {

struct IfrObject;

class TemperatureTable {
public:
    static constexpr int kGrays = 16384;
    static constexpr int kBlockGrays = 64;
    // How many sets of inputs the process keeps for later objects.
    static constexpr size_t kKeptSets = 8;

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
        return values()[static_cast<size_t>(gray)];
    }
    // The whole table, indexed by gray; entries are valid where held.
    const float* values() const;

    // How often the inputs changed and other entries were taken, and how
    // many entries this table converted since (entries another object had
    // converted for the same inputs are not counted); for tests and
    // benchmarks.
    uint64_t builds() const { return builds_; }
    uint64_t converted() const { return converted_; }

    // Forgets the sets kept for later objects (the tables in use keep
    // theirs); tests start from an empty process this way.
    static void forgetKeptSets();

    // The temperatures of one set of inputs (opaque).
    struct Entries;

private:
    void convertMissing(int lo, int hi);

    std::shared_ptr<Entries> entries_;
    uint64_t builds_ = 0;
    uint64_t converted_ = 0;
};

}  // namespace thermcore
