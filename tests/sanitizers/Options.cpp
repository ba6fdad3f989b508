// The sanitizer build's settings, built into its programs so that they hold however the programs
// are started (by ctest, by a test through popen, or by hand).

extern "C" const char* __asan_default_options() { return "detect_leaks=1"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
extern "C" const char* __lsan_default_options() { return "suppressions=" TOLVA_LSAN_SUPPRESSIONS; }

// Nothing is unloaded. Mesa loads its GL driver with the first context and unloads it when the
// display closes, before the leak check at exit; what the driver still held in its globals then has
// no pointer left anywhere LeakSanitizer looks, and is reported as leaked from code no longer mapped
// ("<unknown module>"), which no suppression can name. On AMD processors that is the cache topology
// llvmpipe reads once (128 bytes, in a pthread_once), on Intel ones nothing, so the report came
// and went with the processor; with the unit tests' rendering, blocks of the compiled shaders too.
// Kept loaded, the driver's globals are scanned like any library's.
extern "C" int dlclose(void*) { return 0; }
