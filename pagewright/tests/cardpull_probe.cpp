// fnMydll of a stand-in card-reader library: writes the file named by
// CARDPULL_PROBE_MARK and returns 42, as the real one returns.
#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int fnMydll(void)
{
    if (const char* mark = std::getenv("CARDPULL_PROBE_MARK")) {
        if (std::FILE* f = std::fopen(mark, "a")) {
            std::fputs("called\n", f);
            std::fclose(f);
        }
    }
    return 42;
}
