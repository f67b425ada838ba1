// Loops over a run of grays that lies inside the frame (one row of a shape),
// written as plain loops the compiler vectorises: no bounds test and no
// branch per pixel. Grays are read as signed 16-bit values; a table is
// indexed by gray and must hold every gray of the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace thermcore {

struct GrayBounds {
    int32_t min;
    int32_t max;
};

// Lowest and highest gray of n >= 1 grays.
GrayBounds grayBounds(const uint16_t* grays, size_t n);

// Index of the first gray equal to `gray`; n when there is none.
size_t firstIndexOf(const uint16_t* grays, size_t n, int32_t gray);

// The grays as ints.
void widenGrays(const uint16_t* grays, size_t n, int* out);

// table[g] for every gray g of the run.
void lookupTemps(const float* table, const uint16_t* grays, size_t n, float* out);

// lookupTemps of the run, and in the same pass the bounds of the next run
// (`ahead`, which may be empty, then min > max): the next run is read while
// this one is looked up, so its bounds cost no pass of their own.
GrayBounds lookupTempsAhead(const float* table, const uint16_t* grays, size_t n, float* out,
                            const uint16_t* ahead, size_t aheadCount);

// The kernels lookupTempsAhead can run on this processor: single loads
// everywhere, gathers where the processor has AVX2. Each gives the same
// values; the quickest here is timed and chosen at first use.
using LookupAheadKernel = GrayBounds (*)(const float* table, const uint16_t* grays, size_t n, float* out,
                                         const uint16_t* ahead, size_t aheadCount);
std::vector<LookupAheadKernel> lookupKernels();

// The sum of table[g] over the run: each group of eight consecutive grays
// summed pairwise in double, the groups (and the last grays) added in order
// in one long double. The error stays below what summing every value in
// order in long double may itself make (docs/thermcore.md).
long double sumTemps(const float* table, const uint16_t* grays, size_t n);

}  // namespace thermcore
