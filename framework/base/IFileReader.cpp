#include "framework/base/IFileReader.h"

namespace Qorv::Base
{

bool IFileReader::Open(const std::wstring& newPath)
{
    Close();
    if (!OpenImpl(newPath))
    {
        return false;
    }
    isOpen = true;
    path = newPath;
    return true;
}

void IFileReader::Close()
{
    if (!isOpen)
    {
        return;
    }
    CloseImpl();
    isOpen = false;
    cachedSize = -1;
    path.clear();
}

int32_t IFileReader::GetSize()
{
    if (!isOpen)
    {
        return -1;
    }
    if (cachedSize == -1)
    {
        cachedSize = GetSizeImpl();
    }
    return cachedSize;
}

int32_t IFileReader::Tell()
{
    return isOpen ? TellImpl() : -1;
}

int32_t IFileReader::Read(void* buffer, int32_t count)
{
    if (!isOpen || buffer == nullptr || count <= 0)
    {
        return 0;
    }
    return ReadImpl(buffer, count);
}

bool IFileReader::Seek(int32_t position)
{
    if (position < 0 || GetSize() < position)
    {
        return false;
    }
    SeekImpl(position);
    return true;
}

} // namespace Qorv::Base
