#pragma once
// Little-endian fields as bytes, for the tests that build file formats byte by byte.

#include <cstdint>
#include <string>

namespace TestSupport
{

// The low `bytes` bytes of value, least significant first.
std::string LittleEndian(uint32_t value, int bytes);
std::string Le16(uint16_t value);
std::string Le32(uint32_t value);

} // namespace TestSupport
