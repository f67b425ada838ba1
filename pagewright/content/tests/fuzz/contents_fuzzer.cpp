// Fuzz target: the Contents archive of a report holding text, field, table
// and result-table objects beside infrared images; the report document's
// target with these classes registered.
#include "content/table_objects.h"
#include "content/text_objects.h"
#include "irimage/draw_ir.h"

#define REPORT_FUZZ_SETUP()                                                                                        \
    (CDrawIR::Register(DrawClassRegistry::Standard()), RegisterTextObjects(DrawClassRegistry::Standard()),           \
     RegisterTableObjects(DrawClassRegistry::Standard()))
#include "../../../document/tests/fuzz/contents_fuzzer.cpp"
