// Every fixture cut at every length (large ones at every length near a part
// boundary and at a dense sample elsewhere) is read: each read fails or
// succeeds cleanly under the sanitizers, and exactly when the layout says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fixture_files.h"
#include "still_image.h"

using namespace thermcore;

namespace {

uint64_t u16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint64_t u32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint64_t(b[at + 3]) << 24);
}

// Independent statement of when a file's first n bytes open, read from the
// whole file's block.
struct Expectation {
    std::vector<uint8_t> full;
    std::string model;
    uint64_t width, height, frameEnd, e;

    explicit Expectation(const std::vector<uint8_t>& bytes) : full(bytes) {
        const auto* text = reinterpret_cast<const char*>(full.data());
        model.assign(text, strnlen(text, 12));
        width = u16(full, 12);
        height = u16(full, 14);
        frameEnd = 428 + width * height * 2;
        e = 428 + u32(full, 20) + u32(full, 28) + u32(full, 32) + u32(full, 328);
    }
    bool is(const char* prefix) const { return model.rfind(prefix, 0) == 0; }

    bool opens(uint64_t n) const {
        if (n < 428 || !is("VN410K")) return false;
        if (width < 1 || height < 1 || width > 8192 || height > 8192 || n < frameEnd) return false;
        if (is("VN410K3")) return n == e;
        if (is("VN410K8") || is("VN410K9") || is("VN410K10")) {
            return n >= e + 8 && u32(full, e) == 0xFD5050FD;
        }
        if (is("VN410K11")) return n >= e + 8;
        return true;
    }

    // Lengths to try: all for small files, else every length near a part
    // boundary and a dense sample between.
    std::vector<size_t> lengths() const {
        std::set<size_t> out;
        const size_t size = full.size();
        if (size <= 16384) {
            for (size_t n = 0; n <= size; ++n) out.insert(n);
        } else {
            for (uint64_t b : {uint64_t{0}, uint64_t{428}, frameEnd, e, e + 8, uint64_t{size}}) {
                for (int64_t d = -48; d <= 48; ++d) {
                    const int64_t n = int64_t(b) + d;
                    if (n >= 0 && n <= int64_t(size)) out.insert(size_t(n));
                }
            }
            for (size_t n = 0; n <= size; n += size / 1500) out.insert(n);
        }
        return {out.begin(), out.end()};
    }
};

TEST(Truncation, EveryFixtureAtEveryLength) {
    size_t tried = 0;
    for (const std::string& name : thermcore_test::allFixtures()) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> full = thermcore_test::fixtureBytes(name);
        IfrObject whole;
        const bool fullOpens = parseStillImage(whole, full) == 0;
        EXPECT_EQ(fullOpens, name.rfind("bad_", 0) != 0);
        const Expectation expect(full);
        EXPECT_EQ(expect.opens(full.size()), fullOpens);
        for (size_t n : expect.lengths()) {
            IfrObject obj;
            const int r = parseStillImage(obj, std::vector<uint8_t>(full.begin(), full.begin() + n));
            ASSERT_EQ(r == 0, expect.opens(n)) << "length " << n;
            ++tried;
            if (r != 0) continue;
            // What opened can be written back.
            obj.width = obj.block.width;
            obj.height = obj.block.height;
            obj.allocateImageBuffers();
            const std::vector<uint8_t> saved = encodeStillImage(obj);
            ASSERT_GE(saved.size(), 428u + obj.pixelCount() * 2);
        }
    }
    EXPECT_GT(tried, 50000u);
}

}  // namespace
