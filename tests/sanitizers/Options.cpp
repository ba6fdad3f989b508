// The sanitizer build's settings, built into its programs so that they hold however the programs
// are started (by ctest, by a test through popen, or by hand).
//
// Leaks: the tests that render through Mesa's llvmpipe leave two 56-byte blocks allocated from its
// JIT-compiled code, which lies in no module, so no suppression can name it (and it comes and goes
// with the compiled shaders). The unit test binary therefore runs without leak checking
// (TOLVA_LEAK_CHECK 0); the inspector, which runs the whole show without rendering, keeps it.

extern "C" const char* __asan_default_options()
{
    return TOLVA_LEAK_CHECK ? "detect_leaks=1" : "detect_leaks=0";
}
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
extern "C" const char* __lsan_default_options() { return "suppressions=" TOLVA_LSAN_SUPPRESSIONS; }
