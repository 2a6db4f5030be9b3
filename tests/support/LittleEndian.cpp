#include "tests/support/LittleEndian.h"

namespace TestSupport
{

std::string LittleEndian(uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
    {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}

std::string Le16(uint16_t value)
{
    return LittleEndian(value, 2);
}

std::string Le32(uint32_t value)
{
    return LittleEndian(value, 4);
}

} // namespace TestSupport
