// The sanitizer build's settings, built into its programs so that they hold however the programs
// are started (by ctest, by a test through popen, or by hand).

extern "C" const char* __asan_default_options() { return "detect_leaks=1"; }
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
extern "C" const char* __lsan_default_options() { return "suppressions=" TOLVA_LSAN_SUPPRESSIONS; }
