#include "model_dispatch.h"

#include <algorithm>
#include <cstring>

#include "byte_order.h"
#include "framegrid.h"
#include "param_block.h"
#include "scene_units.h"

namespace thermcore {

namespace {

// Plane-model table offsets.
constexpr size_t kBoardAt = 8;
constexpr size_t kBaseAt = 28;
constexpr size_t kBandsAt = 32;
constexpr int kBands = 10;
// The plane model's emissivity revise is fixed.
constexpr float kPlaneEmissivityRevise = 0.03f;
constexpr int kHalvedWidth = 160;

int32_t planeWord(const IfrObject& obj, size_t offset) {
    return loadI32(obj.planeTable.data() + offset);
}

// The band whose boundaries hold the ambient (both inclusive); the last
// band when none does.
int planeBand(const IfrObject& obj) {
    const int32_t ambient = obj.scene.ambient100;
    for (int i = 0; i + 1 < kBands; ++i) {
        const int32_t low = planeWord(obj, kBandsAt + 8 * i);
        const int32_t high = planeWord(obj, kBandsAt + 8 * (i + 1));
        if (low <= ambient && ambient <= high) return i;
    }
    return kBands - 1;
}

template <typename T>
void appendValue(std::vector<uint8_t>& key, const T& v) {
    const auto* p = reinterpret_cast<const uint8_t*>(&v);
    key.insert(key.end(), p, p + sizeof v);
}

}  // namespace

ModelFamily modelFamilyOf(const IfrParamBlock& block) {
    if (modelStartsWith(block, "VN410K11")) return ModelFamily::Plane;
    if (modelStartsWith(block, "VN410K8") || modelStartsWith(block, "VN410K9") ||
        modelStartsWith(block, "VN410K10")) {
        return ModelFamily::Radiometric;
    }
    return ModelFamily::Own;
}

BoardRect boardRect(const IfrObject& obj) {
    BoardRect b{planeWord(obj, kBoardAt), planeWord(obj, kBoardAt + 4),
                planeWord(obj, kBoardAt + 8), planeWord(obj, kBoardAt + 12)};
    if (obj.width == kHalvedWidth) {
        b.x /= 2;
        b.y /= 2;
        b.width /= 2;
        b.height /= 2;
    }
    return b;
}

std::optional<int32_t> maxGrayInBoard(const IfrObject& obj) {
    const BoardRect b = boardRect(obj);
    const int64_t x0 = std::max<int64_t>(b.x, 0);
    const int64_t y0 = std::max<int64_t>(b.y, 0);
    const int64_t x1 = std::min<int64_t>(int64_t{b.x} + b.width, obj.width);
    const int64_t y1 = std::min<int64_t>(int64_t{b.y} + b.height, obj.height);
    if (x0 >= x1 || y0 >= y1 || obj.gray.size() < obj.pixelCount()) return std::nullopt;
    const size_t w = static_cast<size_t>(obj.width);
    int32_t best = static_cast<int16_t>(obj.gray[static_cast<size_t>(y0) * w + static_cast<size_t>(x0)]);
    for (int64_t y = y0; y < y1; ++y) {
        const uint16_t* row = obj.gray.data() + static_cast<size_t>(y) * w;
        for (int64_t x = x0; x < x1; ++x) best = std::max<int32_t>(best, static_cast<int16_t>(row[x]));
    }
    return best;
}

GrayConversion::GrayConversion(IfrObject& obj, MT_Para* para)
    : family_(modelFamilyOf(obj.block)) {
    const SceneState& s = obj.scene;
    if (family_ == ModelFamily::Radiometric && para == nullptr) family_ = ModelFamily::Own;
    switch (family_) {
        case ModelFamily::Plane: {
            const int band = planeBand(obj);
            gain_ = static_cast<float>(planeWord(obj, kBandsAt + 8 * band + 4) * 0.01);
            base_ = static_cast<float>(planeWord(obj, kBaseAt) * 0.01);
            reference_ = maxGrayInBoard(obj);
            distance_ = s.distance;
            humidity_ = s.humidity;
            ambient_ = fromHundredthsF(s.ambient100);
            emissivity_ = fromHundredthsF(s.emissivity100);
            userOffset_ = static_cast<float>(s.secondCorrection100 * 0.01);
            break;
        }
        case ModelFamily::Radiometric:
            para_ = para;
            MT_SetAmbientTemp(para_, fromHundredthsF(s.ambient100));
            MT_SetBackgroundTemp(para_, fromHundredthsF(s.background100));
            // "VN410K8" takes whole metres, the later cameras centimetres.
            if (modelStartsWith(obj.block, "VN410K8")) {
                MT_SetDistant(para_, truncSat(s.distance));
            } else {
                MT_SetDistantEx(para_, truncSat(static_cast<double>(s.distance) * 100.0));
            }
            MT_SetHumidity(para_, s.humidity);
            MT_SetEmissivity(para_, fromHundredthsF(s.emissivity100));
            MT_SetUserTempRevise(para_, fromHundredthsF(s.secondCorrection100));
            break;
        case ModelFamily::Own:
            factor_ = obj.atmosphericFactor(truncSat(s.distance));
            table_ = decodeLineTable(obj.lineTable);
            own_ = {s.ambient100, s.emissivity100, s.secondCorrection100, s.correctionInt};
            break;
    }
}

float GrayConversion::toTemp(int gray) {
    switch (family_) {
        case ModelFamily::Plane: {
            if (!reference_) return -1000.0f;
            const float t = MT_GrayToTempPlane(nullptr, base_, gray, *reference_, gain_);
            return DisHumEnvRevisePlane(t, distance_, humidity_, ambient_, ambient_, emissivity_,
                                        kPlaneEmissivityRevise, userOffset_);
        }
        case ModelFamily::Radiometric: {
            float t = 0.0f;
            if (MT_GrayToTemp(para_, gray, &t) == 0) return -1000.0f;
            return t;
        }
        case ModelFamily::Own:
            break;
    }
    return ownGrayToTemp(table_ ? &*table_ : nullptr, own_, factor_, gray);
}

int GrayConversion::toGray(float temperature) {
    const float t = static_cast<float>(toHundredths(temperature) * 0.01);
    switch (family_) {
        case ModelFamily::Plane:
            if (!reference_) return kNoGray;
            return MT_TempToGrayPlane(nullptr, base_, t, *reference_, gain_, distance_, humidity_,
                                      ambient_, ambient_, emissivity_, kPlaneEmissivityRevise,
                                      userOffset_);
        case ModelFamily::Radiometric: {
            int gray = 0;
            return MT_TempToGray(para_, t, &gray);
        }
        case ModelFamily::Own:
            break;
    }
    return ownTempToGray(table_ ? &*table_ : nullptr, own_, factor_, temperature);
}

void GrayConversion::appendKey(std::vector<uint8_t>& key) const {
    appendValue(key, family_);
    switch (family_) {
        case ModelFamily::Plane:
            appendValue(key, reference_.has_value());
            appendValue(key, reference_.value_or(0));
            for (float v : {base_, gain_, distance_, ambient_, emissivity_, userOffset_}) {
                appendValue(key, v);
            }
            appendValue(key, humidity_);
            break;
        case ModelFamily::Radiometric: {
            // The whole block with the scene written in; the drift is an
            // output of the forward conversion, not an input.
            MT_Para inputs = *para_;
            inputs.grayDrift = 0;
            appendValue(key, inputs);
            break;
        }
        case ModelFamily::Own:
            appendValue(key, table_.has_value());
            if (table_) {
                appendValue(key, table_->gray);
                appendValue(key, table_->temp);
            }
            appendValue(key, own_.ambient100);
            appendValue(key, own_.emissivity100);
            appendValue(key, own_.secondCorrection100);
            appendValue(key, own_.correctionInt);
            appendValue(key, factor_);
            break;
    }
}

}  // namespace thermcore
