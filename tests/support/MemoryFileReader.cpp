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

std::shared_ptr<MemoryFileReader> ReaderOver(std::string_view bytes)
{
    return ReaderOver(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::shared_ptr<MemoryFileReader> ReaderOver(const std::vector<uint8_t>& bytes)
{
    auto reader = std::make_shared<MemoryFileReader>(bytes.data(), bytes.size());
    reader->OpenMemory();
    return reader;
}

} // namespace TestSupport
