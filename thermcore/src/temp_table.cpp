#include "temp_table.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "ifr_object.h"
#include "model_dispatch.h"

namespace thermcore {

namespace {

constexpr int kBlocks = TemperatureTable::kGrays / TemperatureTable::kBlockGrays;
constexpr int kWords = kBlocks / 64;

}  // namespace

// The temperatures of one set of inputs: the conversion they come from, on
// the copy of the calibration block it converts on, and which blocks hold
// values. The key, the block copy and the conversion are fixed once the
// entries are made; converting (which writes the drift into the copy) and
// writing values happen under the lock.
struct TemperatureTable::Entries {
    std::vector<uint8_t> key;
    std::optional<MT_Para> work;
    std::optional<GrayConversion> conversion;
    std::mutex converting;
    std::array<std::atomic<uint64_t>, kWords> held{};
    std::vector<float> values = std::vector<float>(kGrays, 0.0f);
};

namespace {

using SharedEntries = std::shared_ptr<TemperatureTable::Entries>;

// The sets kept for later objects, the most recently taken first.
struct KeptSets {
    std::mutex mutex;
    std::vector<SharedEntries> recent;
};

KeptSets& keptSets() {
    static KeptSets kept;
    return kept;
}

// What a table holds before its first refresh: nothing, and nothing to
// convert with.
const SharedEntries& noEntries() {
    static const SharedEntries none = std::make_shared<TemperatureTable::Entries>();
    return none;
}

}  // namespace

TemperatureTable::TemperatureTable() : entries_(noEntries()) {}
TemperatureTable::~TemperatureTable() = default;

void TemperatureTable::refresh(IfrObject& obj) {
    std::optional<MT_Para> work;
    if (obj.calibration) work = obj.calibration->para;
    std::vector<uint8_t> key;
    GrayConversion(obj, work ? &*work : nullptr).appendKey(key);
    if (entries_->conversion && key == entries_->key) return;

    KeptSets& kept = keptSets();
    std::lock_guard lock(kept.mutex);
    auto found = std::find_if(kept.recent.begin(), kept.recent.end(),
                              [&](const SharedEntries& e) { return e->key == key; });
    if (found == kept.recent.end()) {
        // Prepare again on a copy of the entries' own: the conversion points
        // into it.
        auto fresh = std::make_shared<TemperatureTable::Entries>();
        fresh->key = std::move(key);
        fresh->work = work;
        fresh->conversion.emplace(obj, fresh->work ? &*fresh->work : nullptr);
        if (kept.recent.size() >= kKeptSets) kept.recent.pop_back();
        kept.recent.insert(kept.recent.begin(), std::move(fresh));
    } else {
        std::rotate(kept.recent.begin(), found, found + 1);
    }
    entries_ = kept.recent.front();
    converted_ = 0;
    ++builds_;
}

void TemperatureTable::forgetKeptSets() {
    KeptSets& kept = keptSets();
    std::lock_guard lock(kept.mutex);
    kept.recent.clear();
}

bool TemperatureTable::holds(int lo, int hi) const {
    const int b0 = lo / kBlockGrays;
    const int b1 = hi / kBlockGrays;
    for (int w = b0 / 64; w <= b1 / 64; ++w) {
        uint64_t mask = ~uint64_t{0};
        if (w == b0 / 64) mask &= ~uint64_t{0} << (b0 % 64);
        if (w == b1 / 64) mask &= ~uint64_t{0} >> (63 - b1 % 64);
        const uint64_t word = entries_->held[static_cast<size_t>(w)].load(std::memory_order_acquire);
        if ((word & mask) != mask) return false;
    }
    return true;
}

const float* TemperatureTable::values() const { return entries_->values.data(); }

void TemperatureTable::convertMissing(int lo, int hi) {
    Entries& e = *entries_;
    if (!e.conversion) return;
    std::lock_guard lock(e.converting);
    GrayConversion& conversion = *e.conversion;
    for (int b = lo / kBlockGrays; b <= hi / kBlockGrays; ++b) {
        std::atomic<uint64_t>& word = e.held[static_cast<size_t>(b / 64)];
        const uint64_t bit = uint64_t{1} << (b % 64);
        if ((word.load(std::memory_order_relaxed) & bit) != 0) continue;
        for (int g = b * kBlockGrays; g < (b + 1) * kBlockGrays; ++g) {
            e.values[static_cast<size_t>(g)] = conversion.toTemp(g);
        }
        converted_ += kBlockGrays;
        word.fetch_or(bit, std::memory_order_release);
    }
}

}  // namespace thermcore
