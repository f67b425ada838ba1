// Fuzz target: the Contents archive of a report holding infrared image
// objects; the report document's target with the image class registered.
#include "irimage/draw_ir.h"

#define REPORT_FUZZ_SETUP() CDrawIR::Register(DrawClassRegistry::Standard())
#include "../../../document/tests/fuzz/contents_fuzzer.cpp"
