// Parameter blocks that arrive in memory (sequence chunks, live data) and
// the fixed-size loader of a second image's parameters.
#include <algorithm>

#include "byte_order.h"
#include "file_io.h"
#include "numeric.h"
#include "param_block.h"
#include "still_image.h"

namespace thermcore {

namespace {

// Line tables the line-table model reads: 103 entries of two i32.
constexpr uint32_t kLineTableBytes = 824;
constexpr uint32_t kMinStreamCalibration = 1008;
constexpr uint32_t kMaxStreamCalibration = 10240;

// Steps shared by both stream readers: take the block, keep the object's
// size, derive the measurement state.
int takeStreamBlock(IfrObject& obj, std::span<const uint8_t> data) {
    if (data.size() < kParamBlockSize) return -1;
    obj.block = decodeParamBlock(data.first<kParamBlockSize>());
    if (!hasCameraPrefix(obj.block)) return -1;
    const ModelInfo model = lookupModel(obj.block);
    obj.modelVersion = model.version;
    obj.scheme = model.scheme;
    obj.block.width = static_cast<uint16_t>(obj.width);
    obj.block.height = static_cast<uint16_t>(obj.height);
    obj.block.graySize = static_cast<uint32_t>(obj.pixelCount() * 2);
    applyBlockParameters(obj, obj.block,
                         isK8(obj.block) ? DistanceScale::Metres : DistanceScale::Hundredths, true);
    obj.scene.background100 =
        obj.calibration ? truncSat(MT_GetBackgroundTemp(&obj.calibration->para) * 100.0)
                        : obj.scene.ambient100;
    return 0;
}

}  // namespace

int applyStreamBlock(IfrObject& obj, std::span<const uint8_t> data) {
    if (data.size() < kParamBlockSize) return -1;
    // The block replaces the copy of the file: photo and sound are gone.
    obj.takeBackMemoryImage();
    obj.fileCopy.assign(data.begin(), data.begin() + kParamBlockSize);
    obj.photo = {};
    obj.sound = {};
    if (takeStreamBlock(obj, data) != 0) return -1;
    const size_t n = std::min<size_t>(obj.block.lineTableSize, data.size() - kParamBlockSize);
    obj.lineTable.assign(data.begin() + kParamBlockSize, data.begin() + kParamBlockSize + n);
    obj.lineTableHeld = n != 0;
    return 0;
}

int applyVnvStreamBlock(IfrObject& obj, std::span<const uint8_t> data) {
    if (takeStreamBlock(obj, data) != 0) return -1;
    if (data.size() < kParamBlockSize + 4) return -2;
    const uint32_t m = loadU32(&data[kParamBlockSize]);
    if (m < kMinStreamCalibration || m > kMaxStreamCalibration ||
        !fitsWithin(kParamBlockSize, m, data.size())) {
        return -2;
    }
    obj.calibration = std::make_unique<CalibrationPayload>(
        CalibrationPayload::fromBytes(data.subspan(kParamBlockSize, m)));
    return 0;
}

int loadFixedSizeFile(IfrObject& obj, const char* path) {
    if (path == nullptr || obj.width <= 0 || obj.height <= 0) return -1;
    const uint64_t grayBytes = uint64_t(obj.pixelCount()) * 2;
    std::vector<uint8_t> head;
    if (!readFileHead(path, grayBytes + kParamBlockSize + kLineTableBytes, head)) return -1;
    if (head.size() < kParamBlockSize) return -1;
    IfrParamBlock b = decodeParamBlock(std::span<const uint8_t, kParamBlockSize>(head.data(),
                                                                               kParamBlockSize));
    // Another image of this object's size, or nothing: the object's buffers
    // are sized to it.
    if (b.width != obj.width || b.height != obj.height) return -1;
    b.graySize = static_cast<uint32_t>(grayBytes);
    const uint64_t lineAt = kParamBlockSize + grayBytes + b.photoSize + b.soundSize;
    if (head.size() != lineAt + b.lineTableSize) return -1;
    obj.lineTable.assign(head.begin() + static_cast<ptrdiff_t>(lineAt), head.end());
    obj.lineTableHeld = !obj.lineTable.empty();
    applyBlockParameters(obj, b, DistanceScale::Metres, true);
    return 0;
}

}  // namespace thermcore
