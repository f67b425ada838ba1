#include "temp_table.h"

#include <optional>

#include "ifr_object.h"
#include "model_dispatch.h"

namespace thermcore {

// The conversion the held entries came from, with the copy of the
// calibration block it converts on.
struct TemperatureTable::Prepared {
    std::optional<MT_Para> work;
    std::optional<GrayConversion> conversion;
};

TemperatureTable::TemperatureTable()
    : prepared_(std::make_unique<Prepared>()), values_(kGrays, 0.0f) {}
TemperatureTable::~TemperatureTable() = default;

void TemperatureTable::refresh(IfrObject& obj) {
    Prepared fresh;
    if (obj.calibration) fresh.work = obj.calibration->para;
    GrayConversion conversion(obj, fresh.work ? &*fresh.work : nullptr);
    std::vector<uint8_t> key;
    conversion.appendKey(key);
    if (prepared_->conversion && key == key_) return;
    // Prepare again on the kept copy: the conversion points into it.
    prepared_->work = fresh.work;
    prepared_->conversion.emplace(obj, prepared_->work ? &*prepared_->work : nullptr);
    key_ = std::move(key);
    held_.fill(0);
    converted_ = 0;
    ++builds_;
}

void TemperatureTable::convertMissing(int lo, int hi) {
    if (!prepared_->conversion) return;
    GrayConversion& conversion = *prepared_->conversion;
    for (int b = lo / kBlockGrays; b <= hi / kBlockGrays; ++b) {
        uint64_t& word = held_[static_cast<size_t>(b / 64)];
        const uint64_t bit = uint64_t{1} << (b % 64);
        if ((word & bit) != 0) continue;
        for (int g = b * kBlockGrays; g < (b + 1) * kBlockGrays; ++g) {
            values_[static_cast<size_t>(g)] = conversion.toTemp(g);
        }
        converted_ += kBlockGrays;
        word |= bit;
    }
}

}  // namespace thermcore
