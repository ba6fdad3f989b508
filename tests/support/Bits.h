#pragma once

// Comparing floats the way the show's pictures depend on them: bit for bit.

#include <cstdint>
#include <cstring>

namespace tolva::testing {

inline std::uint32_t bitsOf(float x)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

} // namespace tolva::testing
