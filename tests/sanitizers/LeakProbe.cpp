// Preloaded into the sanitized inspector by a test, to show that its leak check still catches a
// block that nothing points to when it comes from anywhere but Mesa's GL libraries.
#include <cstdlib>
#include <cstring>

namespace {

void* volatile kept = nullptr;

__attribute__((noinline)) void dropOnLoad()
{
    kept = std::malloc(4242);
    std::memset(kept, 0x5a, 4242);
    kept = nullptr;
}

__attribute__((constructor)) void leakOnLoad() { dropOnLoad(); }

} // namespace
