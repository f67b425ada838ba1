// Gray and temperature by camera model.
//
// The camera-model string of the object's parameter block chooses the model,
// compared byte for byte (case matters) on the characters named, in this
// order: "VN410K11" the plane model (Framegrid); "VN410K8", "VN410K9",
// "VN410K10" the radiometric model (Radiomath) on the image's calibration
// block; anything else the own line-table model. A radiometric image whose
// calibration block is not held converts through the own model.
//
// A GrayConversion is one model prepared for the object's current scene:
// the plane model's band, gain and reference gray (the brightest gray of the
// board rectangle in the current frame), the radiometric block with the
// scene written into it, or the own model's line table and atmospheric
// factor. Any number of grays can then be converted; each gives exactly what
// a conversion prepared for it alone would give.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ifr_object.h"
#include "own_model.h"

namespace thermcore {

enum class ModelFamily { Plane, Radiometric, Own };

ModelFamily modelFamilyOf(const IfrParamBlock& block);

// The board rectangle of the plane-model table (x, y, width, height), each
// value halved for an image 160 pixels wide.
struct BoardRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};
BoardRect boardRect(const IfrObject& obj);

// The largest signed gray of the board rectangle clipped to the image,
// starting from its first pixel; empty when nothing of it lies inside.
std::optional<int32_t> maxGrayInBoard(const IfrObject& obj);

class GrayConversion {
public:
    // Prepares the object's model. The radiometric model writes the scene
    // into `para` (the object's calibration block, or a copy of it) and
    // converts on it; without one the own model is used. Preparing keeps
    // the own model's atmospheric factor in the object, as converting does.
    GrayConversion(IfrObject& obj, MT_Para* para);

    ModelFamily family() const { return family_; }

    // Degrees Celsius; -1000.0 when the model cannot convert (no line table,
    // no board pixel, a calibration block Radiomath refuses).
    float toTemp(int gray);
    // The gray of a temperature (hundredths of a degree are what count).
    int toGray(float temperature);

    // Appends everything the conversion reads, so that two conversions
    // with equal keys give equal temperatures for every gray.
    void appendKey(std::vector<uint8_t>& key) const;

private:
    ModelFamily family_;
    // Own model.
    std::optional<LineTable> table_;
    OwnScene own_;
    float factor_ = 0.0f;
    // Plane model.
    std::optional<int32_t> reference_;
    float base_ = 0.0f;
    float gain_ = 0.0f;
    float distance_ = 0.0f;
    int32_t humidity_ = 0;
    float ambient_ = 0.0f;
    float emissivity_ = 0.0f;
    float userOffset_ = 0.0f;
    // Radiometric model.
    MT_Para* para_ = nullptr;
};

}  // namespace thermcore
