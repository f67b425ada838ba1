// The draw classes of the image object's benchmarks: the basic ones and the
// image object.
#pragma once

#include "irimage/draw_ir.h"

#include "bench_fixture.h"

inline const DrawClassRegistry& BenchRegistry()
{
    static const DrawClassRegistry registry = bench::BasicRegistryWith({&CDrawIR::Register});
    return registry;
}
