// The look-up kernels: each one this processor runs gives the table's value
// of every gray, writes nothing past the run, and takes the bounds of the
// next run (signed, down to its last gray) in the same pass.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "span_kernels.h"

using namespace thermcore;

namespace {

uint32_t bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

TEST(LookupKernels, EachGivesTheTableValuesAndTheNextRunsBounds) {
    std::vector<float> table(16384);
    for (size_t g = 0; g < table.size(); ++g) table[g] = static_cast<float>(g) * 0.37f - 1000.0f;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> gray(0, 16383);
    std::vector<uint16_t> grays(5000);
    for (uint16_t& g : grays) g = static_cast<uint16_t>(gray(rng));
    // The next run: the ends of the signed range, where an unsigned minimum
    // would go wrong, one of them at its very last gray.
    std::vector<uint16_t> ahead(5000);
    for (uint16_t& g : ahead) g = static_cast<uint16_t>(gray(rng));
    ahead[3] = static_cast<uint16_t>(-32768);
    ahead[4100] = 32767;

    const std::vector<LookupAheadKernel> kernels = lookupKernels();
    ASSERT_FALSE(kernels.empty());
    for (size_t k = 0; k < kernels.size(); ++k) {
        for (size_t n : {0, 1, 3, 7, 8, 9, 15, 16, 17, 63, 4101}) {
            for (size_t a : {size_t{0}, size_t{1}, size_t{4}, size_t{9}, n, n + 13, size_t{4101}}) {
                SCOPED_TRACE(testing::Message() << "kernel " << k << ", " << n << " grays, " << a << " ahead");
                std::vector<float> out(n + 9, 12345.0f);
                const GrayBounds b = kernels[k](table.data(), grays.data(), n, out.data(), ahead.data(), a);
                for (size_t i = 0; i < n; ++i) {
                    ASSERT_EQ(bits(out[i]), bits(table[grays[i]])) << "gray " << i;
                }
                for (size_t i = n; i < out.size(); ++i) ASSERT_EQ(out[i], 12345.0f) << "written past the run";
                if (a == 0) {
                    EXPECT_GT(b.min, b.max);
                } else {
                    const GrayBounds want = grayBounds(ahead.data(), a);
                    EXPECT_EQ(b.min, want.min);
                    EXPECT_EQ(b.max, want.max);
                }
            }
        }
    }
}

}  // namespace
