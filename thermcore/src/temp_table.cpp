#include "temp_table.h"

#include <optional>

#include "ifr_object.h"
#include "model_dispatch.h"

namespace thermcore {

void TemperatureTable::refresh(IfrObject& obj) {
    std::optional<MT_Para> work;
    if (obj.calibration) work = obj.calibration->para;
    GrayConversion conversion(obj, work ? &*work : nullptr);
    std::vector<uint8_t> key;
    conversion.appendKey(key);
    if (values_.size() == kGrays && key == key_) return;
    values_.resize(kGrays);
    for (int g = 0; g < kGrays; ++g) values_[static_cast<size_t>(g)] = conversion.toTemp(g);
    key_ = std::move(key);
    ++builds_;
}

}  // namespace thermcore
