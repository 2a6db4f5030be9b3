#include "framework/base/StdFileReader.h"

#include "platform/window/Utf8.h"

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Qorv::Base
{

StdFileReader::~StdFileReader()
{
    Close();
}

bool StdFileReader::OpenImpl(const std::wstring& path)
{
    // Non-blocking, so a pipe or a device in a data file's place cannot hold the open; it
    // changes nothing for a regular file, and only regular files are read.
    const int descriptor =
        open(platform::WideToUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
    {
        return false;
    }
    struct stat info
    {
    };
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))
    {
        close(descriptor);
        return false;
    }
    stream = fdopen(descriptor, "rb");
    if (stream == nullptr)
    {
        close(descriptor);
        return false;
    }
    return true;
}

void StdFileReader::CloseImpl()
{
    std::fclose(stream);
    stream = nullptr;
}

int32_t StdFileReader::GetSizeImpl()
{
    const int32_t position = TellImpl();
    std::fseek(stream, 0, SEEK_END);
    const long end = std::ftell(stream);
    SeekImpl(position);
    // Files of 2 GiB or more do not fit the 32-bit positions; report them as unreadable.
    return end < 0 || end > INT32_MAX ? -1 : static_cast<int32_t>(end);
}

int32_t StdFileReader::TellImpl()
{
    const long position = std::ftell(stream);
    return position < 0 || position > INT32_MAX ? -1 : static_cast<int32_t>(position);
}

int32_t StdFileReader::ReadImpl(void* buffer, int32_t count)
{
    return static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), stream));
}

void StdFileReader::SeekImpl(int32_t position)
{
    std::fseek(stream, position, SEEK_SET);
}

std::shared_ptr<IFileReader> CreateFileReader()
{
    return std::make_shared<StdFileReader>();
}

} // namespace Qorv::Base
