#pragma once
// File reader over the C library's buffered stream, so decoders' many small reads stay cheap.

#include "framework/base/IFileReader.h"

#include <cstdio>

namespace Qorv::Base
{

class StdFileReader : public IFileReader
{
public:
    ~StdFileReader() override;

protected:
    bool OpenImpl(const std::wstring& path) override;
    void CloseImpl() override;
    int32_t GetSizeImpl() override;
    int32_t TellImpl() override;
    int32_t ReadImpl(void* buffer, int32_t count) override;
    void SeekImpl(int32_t position) override;

private:
    std::FILE* stream = nullptr;
};

} // namespace Qorv::Base
