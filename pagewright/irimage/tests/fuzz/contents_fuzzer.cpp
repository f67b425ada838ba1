// Fuzz target: the Contents archive of a report holding infrared image
// objects and 3D maps; the report document's target with their classes
// registered.
#include "irimage/draw_3d_map.h"
#include "irimage/draw_ir.h"

#define REPORT_FUZZ_SETUP()                                                                                        \
    (CDrawIR::Register(DrawClassRegistry::Standard()), CDraw3DMap::Register(DrawClassRegistry::Standard()))
#include "../../../document/tests/fuzz/contents_fuzzer.cpp"
