// Fontconfig keeps its caches for the life of the process and leaves them
// to the operating system at exit (the image object draws its labels through
// it); the leak checker is told so.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
