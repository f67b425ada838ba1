#include "param_block.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "byte_order.h"

namespace thermcore {

namespace {

void readPoint(ByteReader& r, IfrPointInfo& p) {
    p.x = r.i32();
    p.y = r.i32();
    p.state = r.i32();
    p.emissivity100 = r.i32();
    p.distance = r.i32();
    p.value100 = r.f32();
}

void readRect(ByteReader& r, IfrRectInfo& q) {
    q.x = r.i16();
    q.y = r.i16();
    q.width = r.i16();
    q.height = r.i16();
    q.state = r.i32();
    q.emissivity100 = r.i32();
    q.distance = r.i32();
    q.value100 = r.f32();
    q.markX = r.i32();
    q.markY = r.i32();
}

void readLine(ByteReader& r, IfrLineInfo& l) {
    l.x1 = r.i16();
    l.y1 = r.i16();
    l.x2 = r.i16();
    l.y2 = r.i16();
    l.state = r.i32();
    l.emissivity100 = r.i32();
    l.distance = r.i32();
    l.markX = r.u16();
    l.markY = r.u16();
    l.value100 = r.f32();
}

void writePoint(ByteWriter& w, const IfrPointInfo& p) {
    w.i32(p.x);
    w.i32(p.y);
    w.i32(p.state);
    w.i32(p.emissivity100);
    w.i32(p.distance);
    w.f32(p.value100);
}

void writeRect(ByteWriter& w, const IfrRectInfo& q) {
    w.i16(q.x);
    w.i16(q.y);
    w.i16(q.width);
    w.i16(q.height);
    w.i32(q.state);
    w.i32(q.emissivity100);
    w.i32(q.distance);
    w.f32(q.value100);
    w.i32(q.markX);
    w.i32(q.markY);
}

void writeLine(ByteWriter& w, const IfrLineInfo& l) {
    w.i16(l.x1);
    w.i16(l.y1);
    w.i16(l.x2);
    w.i16(l.y2);
    w.i32(l.state);
    w.i32(l.emissivity100);
    w.i32(l.distance);
    w.u16(l.markX);
    w.u16(l.markY);
    w.f32(l.value100);
}

template <size_t N>
void copyText(char (&dest)[N], const char* text) {
    std::memset(dest, 0, N);
    std::memcpy(dest, text, std::min(std::strlen(text), N));
}

bool startsWithIgnoringCase(const char (&model)[12], const char* prefix) {
    const size_t n = std::strlen(prefix);
    for (size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(model[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if (std::toupper(a) != std::toupper(b)) return false;
    }
    return true;
}

}  // namespace

IfrParamBlock decodeParamBlock(std::span<const uint8_t, kParamBlockSize> bytes) {
    IfrParamBlock b{};
    ByteReader r(bytes);
    r.bytes(b.model, sizeof b.model);
    b.width = r.u16();
    b.height = r.u16();
    b.byte16 = r.u8();
    b.soundCoding = r.u8();
    r.bytes(b.bytes18, sizeof b.bytes18);
    b.graySize = r.u32();
    b.photoWidth = r.u16();
    b.photoHeight = r.u16();
    b.photoSize = r.u32();
    b.soundSize = r.u32();
    b.paletteId = r.u8();
    b.deviceByte = r.u8();
    b.atmoPercent = r.u16();
    b.ambient100 = r.i32();
    b.distance = r.u16();
    b.humidity = r.u16();
    for (auto& p : b.points) readPoint(r, p);
    for (auto& q : b.rects) readRect(r, q);
    for (auto& l : b.lines) readLine(r, l);
    b.secondCorrection100 = r.i32();
    b.lineTableSize = r.u32();
    b.firstCorrection100 = r.i32();
    b.correctionInt = r.i32();
    b.emissivity100 = r.u16();
    r.bytes(b.bytes342, sizeof b.bytes342);
    b.rangeLow100 = r.i32();
    r.bytes(b.deviceModel, sizeof b.deviceModel);
    r.bytes(b.firmware, sizeof b.firmware);
    r.bytes(b.serial, sizeof b.serial);
    r.bytes(b.dateTime, sizeof b.dateTime);
    b.rangeHigh100 = r.u32();
    b.byte424 = r.u8();
    r.bytes(b.bytes425, sizeof b.bytes425);
    return b;
}

void encodeParamBlock(const IfrParamBlock& b, std::span<uint8_t, kParamBlockSize> out) {
    ByteWriter w(out);
    w.bytes(b.model, sizeof b.model);
    w.u16(b.width);
    w.u16(b.height);
    w.u8(b.byte16);
    w.u8(b.soundCoding);
    w.bytes(b.bytes18, sizeof b.bytes18);
    w.u32(b.graySize);
    w.u16(b.photoWidth);
    w.u16(b.photoHeight);
    w.u32(b.photoSize);
    w.u32(b.soundSize);
    w.u8(b.paletteId);
    w.u8(b.deviceByte);
    w.u16(b.atmoPercent);
    w.i32(b.ambient100);
    w.u16(b.distance);
    w.u16(b.humidity);
    for (const auto& p : b.points) writePoint(w, p);
    for (const auto& q : b.rects) writeRect(w, q);
    for (const auto& l : b.lines) writeLine(w, l);
    w.i32(b.secondCorrection100);
    w.u32(b.lineTableSize);
    w.i32(b.firstCorrection100);
    w.i32(b.correctionInt);
    w.u16(b.emissivity100);
    w.bytes(b.bytes342, sizeof b.bytes342);
    w.i32(b.rangeLow100);
    w.bytes(b.deviceModel, sizeof b.deviceModel);
    w.bytes(b.firmware, sizeof b.firmware);
    w.bytes(b.serial, sizeof b.serial);
    w.bytes(b.dateTime, sizeof b.dateTime);
    w.u32(b.rangeHigh100);
    w.u8(b.byte424);
    w.bytes(b.bytes425, sizeof b.bytes425);
}

IfrParamBlock defaultParamBlock() {
    IfrParamBlock b{};
    copyText(b.model, "VN410K4");
    b.width = 320;
    b.height = 240;
    b.byte16 = 16;
    b.soundCoding = 1;
    b.graySize = 153600;
    b.photoWidth = 320;
    b.photoHeight = 240;
    b.deviceByte = 1;
    b.atmoPercent = 100;
    b.ambient100 = 3479;
    b.distance = 2;
    b.humidity = 60;
    for (auto& p : b.points) {
        // Stored as six i32 {320, 240, 2, 100, 2, 0}; the last word is the
        // float field's bits, and 0 bits are 0.0f.
        p = IfrPointInfo{320, 240, 2, 100, 2, 0.0f};
    }
    for (auto& q : b.rects) q.state = 2;
    for (auto& l : b.lines) l.state = 2;
    b.lineTableSize = 824;
    b.firstCorrection100 = 98;
    b.correctionInt = 87;
    b.emissivity100 = 100;
    b.rangeLow100 = -2000;
    b.rangeHigh100 = 25000;
    copyText(b.deviceModel, "RQ52T");
    copyText(b.firmware, "RQ52T V1.0.107");
    copyText(b.serial, "RQ5220060828");
    copyText(b.dateTime, "Aug 25 2006 10:30:20");
    return b;
}

bool hasCameraPrefix(const IfrParamBlock& block) { return modelStartsWith(block, "VN410K"); }

bool modelStartsWith(const IfrParamBlock& block, const char* prefix) {
    const size_t n = std::strlen(prefix);
    return n <= sizeof block.model && std::memcmp(block.model, prefix, n) == 0;
}

ModelInfo lookupModel(const IfrParamBlock& block) {
    static constexpr struct {
        const char* prefix;
        ModelInfo info;
    } kTable[] = {
        {"VN410K11", {11, 3}}, {"VN410K9", {7, 3}}, {"VN410K10", {8, 3}}, {"VN410K8", {6, 3}},
        {"VN410K7", {5, 2}},   {"VN410K6", {4, 2}}, {"VN410K5", {3, 2}},  {"VN410K3", {1, 1}},
    };
    for (const auto& row : kTable) {
        if (startsWithIgnoringCase(block.model, row.prefix)) return row.info;
    }
    return {1, 0};
}

StillLayout stillLayoutOf(const IfrParamBlock& block) {
    if (modelStartsWith(block, "VN410K3")) return StillLayout::Dual;
    if (modelStartsWith(block, "VN410K8") || modelStartsWith(block, "VN410K9") ||
        modelStartsWith(block, "VN410K10")) {
        return StillLayout::Radiometric;
    }
    if (modelStartsWith(block, "VN410K11")) return StillLayout::Plane;
    return StillLayout::Plain;
}

bool isK8(const IfrParamBlock& block) { return modelStartsWith(block, "VN410K8"); }

}  // namespace thermcore
