// Temperatures of the grays 0..16383 for whole-area statistics.
//
// Converting a gray depends only on the gray, the camera model, the scene
// values and the model's tables, and for the plane model on the frame's
// reference gray. The table keeps the temperature of every gray 0..16383
// for one set of those inputs and is rebuilt when any of them has changed
// (setting a value that is already held changes nothing). Its values are
// those of the direct conversion. It is built on a copy of the calibration
// block, so the object's block keeps the drift of its last direct
// conversion. Grays outside 0..16383 (including the -10000 of points
// outside the image) take the direct conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace thermcore {

struct IfrObject;

class TemperatureTable {
public:
    static constexpr int kGrays = 16384;

    // Brings the table up to date for the object's current inputs.
    void refresh(IfrObject& obj);

    bool covers(int gray) const { return gray >= 0 && gray < kGrays; }
    float at(int gray) const { return values_[static_cast<size_t>(gray)]; }
    // How often the table was built (for tests).
    uint64_t builds() const { return builds_; }

private:
    std::vector<uint8_t> key_;
    std::vector<float> values_;
    uint64_t builds_ = 0;
};

}  // namespace thermcore
