#pragma once

// The browser build's stand-in for SFML: the integer types under SFML's own names and widths
// (Int64 is long long there, which keeps overloads on it the same as natively).
namespace sf {
using Int8 = signed char;
using Uint8 = unsigned char;
using Int16 = signed short;
using Uint16 = unsigned short;
using Int32 = signed int;
using Uint32 = unsigned int;
using Int64 = signed long long;
using Uint64 = unsigned long long;
} // namespace sf
