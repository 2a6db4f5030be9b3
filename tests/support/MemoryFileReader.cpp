#include "tests/support/MemoryFileReader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace TestSupport
{

MemoryFileReader::MemoryFileReader(const uint8_t* data, size_t size)
    : bytes(data, data + std::min(size, static_cast<size_t>(std::numeric_limits<int32_t>::max())))
{
}

MemoryFileReader::~MemoryFileReader()
{
    Close();
}

bool MemoryFileReader::OpenImpl(const std::wstring&)
{
    position = 0;
    return true;
}

int32_t MemoryFileReader::ReadImpl(void* buffer, int32_t count)
{
    const int32_t available = static_cast<int32_t>(bytes.size()) - position;
    const int32_t taken = std::max(0, std::min(count, available));
    if (taken > 0)
    {
        std::memcpy(buffer, bytes.data() + position, static_cast<size_t>(taken));
    }
    position += taken;
    return taken;
}

} // namespace TestSupport
