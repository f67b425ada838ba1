// Fuzz target: the drawing side of the report target next to it: whatever
// the reader accepts is selected, hit tested and drawn page by page.
#define REPORT_FUZZ_DRAWING 1
#include "contents_fuzzer.cpp"
