#include "app/FileReplace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace Pakemino
{

namespace
{

// A fresh file beside path, made by this call alone (O_EXCL), with the mode the umask gives.
int CreateBeside(const std::filesystem::path& path, std::string& temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const std::string name = std::string(".")
                                     .append(path.filename().string())
                                     .append(".")
                                     .append(std::to_string(getpid()))
                                     .append(".")
                                     .append(std::to_string(attempt))
                                     .append(".tmp");
        temporary = (path.parent_path() / name).string();
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
        {
            return fd;
        }
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
        {
            continue;
        }
        if (written <= 0)
        {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

} // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& error)
{
    // Through a link, the file it names is replaced and the link stays.
    std::error_code ignored;
    std::filesystem::path target = path;
    if (std::filesystem::is_symlink(target, ignored))
    {
        target = std::filesystem::weakly_canonical(target, ignored);
    }
    struct stat old
    {
    };
    const bool exists = stat(target.c_str(), &old) == 0;
    // A device or a pipe is not a file to replace: renaming over it would put a plain file in
    // its place.
    if (exists && !S_ISREG(old.st_mode))
    {
        error = "not a regular file";
        return false;
    }
    std::string temporary;
    const int fd = CreateBeside(target, temporary);
    if (fd < 0)
    {
        error = std::string("cannot write beside it: ") + std::strerror(errno);
        return false;
    }
    // A replaced file keeps its permissions.
    const bool ok =
        (!exists || fchmod(fd, old.st_mode & 07777) == 0) && WriteAll(fd, bytes) && fsync(fd) == 0;
    const int writeError = errno;
    if (close(fd) != 0 || !ok)
    {
        error = std::strerror(ok ? errno : writeError);
        unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0)
    {
        error = std::strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const std::string folder = target.parent_path().empty() ? "." : target.parent_path().string();
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0)
    {
        fsync(folderFd);
        close(folderFd);
    }
    return true;
}

} // namespace Pakemino
