// Analyses placed by the chart benchmarks.
#pragma once

#include "irimage/draw_ir.h"

namespace bench {

// An analysis of the given kind and number with the benchmarks' measuring
// parameters (emissivity 0.95, 1 m, background 20 degrees).
inline IRAnalysisItem AnalysisItem(int kind, int number, IRShape shape)
{
    IRAnalysisItem item;
    item.kind = kind;
    item.number = number;
    item.shape = shape;
    item.emissivity = 0.95f;
    item.distance = 1.0f;
    item.background = 20.0f;
    return item;
}

} // namespace bench
