#pragma once
// Random-access byte stream over one data file: the one way every decoder reads.
// Public operations keep the open state, size cache and path; the Impl hooks do the work.

#include "framework/base/Interface.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Qorv::Base
{

class IFileReader : public Interface
{
public:
    [[nodiscard]] bool Open(const std::wstring& path);
    void Close();
    bool IsOpen() const { return isOpen; }
    int32_t GetSize();
    int32_t Tell();
    [[nodiscard]] int32_t Read(void* buffer, int32_t count);
    bool Seek(int32_t position);
    const std::wstring& GetPath() const { return path; }

protected:
    virtual bool OpenImpl(const std::wstring& path) = 0;
    virtual void CloseImpl() = 0;
    virtual int32_t GetSizeImpl() = 0;
    virtual int32_t TellImpl() = 0;
    virtual int32_t ReadImpl(void* buffer, int32_t count) = 0;
    virtual void SeekImpl(int32_t position) = 0;

private:
    bool isOpen = false;
    int32_t cachedSize = -1;
    std::wstring path;
};

[[nodiscard]] std::shared_ptr<IFileReader> CreateFileReader();

} // namespace Qorv::Base
