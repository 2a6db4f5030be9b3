#pragma once
// A file reader over bytes held in memory, for fuzzing and for tests that need no file.

#include "framework/base/IFileReader.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace TestSupport
{

class MemoryFileReader : public Qorv::Base::IFileReader
{
public:
    MemoryFileReader(const uint8_t* data, size_t size);
    ~MemoryFileReader() override;

    // Opens on the bytes given at construction; the path only names them.
    bool OpenMemory() { return Open(L"memory"); }

protected:
    bool OpenImpl(const std::wstring& path) override;
    void CloseImpl() override {}
    int32_t GetSizeImpl() override { return static_cast<int32_t>(bytes.size()); }
    int32_t TellImpl() override { return position; }
    int32_t ReadImpl(void* buffer, int32_t count) override;
    void SeekImpl(int32_t newPosition) override { position = newPosition; }

private:
    std::vector<uint8_t> bytes;
    int32_t position = 0;
};

// A reader already open on a copy of the bytes.
std::shared_ptr<MemoryFileReader> ReaderOver(std::string_view bytes);
std::shared_ptr<MemoryFileReader> ReaderOver(const std::vector<uint8_t>& bytes);

} // namespace TestSupport
