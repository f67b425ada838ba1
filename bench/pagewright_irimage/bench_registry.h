// The draw classes of the image object's benchmarks: the basic ones and the
// image object.
#pragma once

#include "irimage/draw_ir.h"

#include "document/draw_class.h"

inline const DrawClassRegistry& BenchRegistry()
{
    static const DrawClassRegistry registry = [] {
        DrawClassRegistry r = DrawClassRegistry::MakeBasic();
        CDrawIR::Register(r);
        return r;
    }();
    return registry;
}
