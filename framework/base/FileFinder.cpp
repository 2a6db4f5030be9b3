#include "framework/base/FileFinder.h"

#include "platform/window/Utf8.h"
#include "platform/window/Win32.h"

#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace Qorv::Base
{

namespace
{

wchar_t FoldAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
}

bool EqualFolded(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
    {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i)
    {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
        {
            return false;
        }
    }
    return true;
}

using DirectoryId = std::pair<dev_t, ino_t>;

// Walks one directory: its files first, then each subdirectory in listing order. Directories
// already walked (reached again through a link) are skipped, so link cycles end. Only regular
// files are data: opening a pipe or a device named like one would wait for a writer.
void Walk(const std::wstring& directory, std::vector<FileEntry>& index,
          std::set<DirectoryId>& walked)
{
    std::wstring prefix = directory;
    // On Linux a backslash is part of a name, never a separator.
    if (prefix.empty() || prefix.back() != L'/')
    {
        prefix += L'/';
    }
    const std::string utf8Prefix = platform::WideToUtf8(prefix);

    struct stat info
    {
    };
    if (stat(utf8Prefix.c_str(), &info) != 0 || !walked.insert({info.st_dev, info.st_ino}).second)
    {
        return;
    }
    DIR* listing = opendir(utf8Prefix.c_str());
    if (listing == nullptr)
    {
        return;
    }
    std::vector<std::wstring> subdirectories;
    while (const dirent* entry = readdir(listing))
    {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
        {
            continue;
        }
        bool isDirectory = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
        {
            struct stat target
            {
            };
            const bool found = stat((utf8Prefix + name).c_str(), &target) == 0;
            isDirectory = found && S_ISDIR(target.st_mode);
            isFile = found && S_ISREG(target.st_mode);
        }
        if (isDirectory)
        {
            subdirectories.push_back(prefix + platform::Utf8ToWide(name));
        }
        else if (isFile)
        {
            index.push_back({prefix, platform::Utf8ToWide(name)});
        }
    }
    closedir(listing);
    for (const std::wstring& subdirectory : subdirectories)
    {
        Walk(subdirectory, index, walked);
    }
}

std::wstring& KitFolder()
{
    static std::wstring kit;
    return kit;
}

std::wstring ExecutableDirectory()
{
    // The platform's own path limit, not a fixed 260, so a deep install is never truncated.
    std::wstring buffer(MAX_MODULE_PATH, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    return FileFinder::DirectoryOf(buffer);
}

} // namespace

std::wstring FileFinder::DirectoryOf(const std::wstring& path)
{
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

FileFinder::FileFinder(const std::wstring& root, const std::wstring& kit)
{
    std::set<DirectoryId> walked;
    if (!kit.empty())
    {
        Walk(kit, index, walked);
    }
    const std::wstring start = root.empty() ? ExecutableDirectory() : root;
    // An executable path that cannot be read leaves no directory: the index stays empty, as
    // with no data, rather than walking the whole file system from "/".
    if (!start.empty())
    {
        Walk(start, index, walked);
    }
}

bool FileFinder::Exists(const std::wstring& name)
{
    for (const FileEntry& entry : index)
    {
        if (entry.name == name)
        {
            return true;
        }
    }
    return false;
}

std::wstring FileFinder::Find(const std::wstring& name)
{
    for (const FileEntry& entry : index)
    {
        if (EqualFolded(entry.name, name))
        {
            return entry.directory + entry.name;
        }
    }
    return {};
}

void FileFinder::GetFileNames(std::vector<std::wstring>& names)
{
    names.clear();
    names.reserve(index.size());
    for (const FileEntry& entry : index)
    {
        names.push_back(entry.name);
    }
}

std::shared_ptr<IFileFinder> CreateFileFinder(const std::wstring& root)
{
    // The one place that decides where the kit comes in: the game, the voice player and every
    // other caller asking for the program's own data get it first.
    return std::make_shared<FileFinder>(root, root.empty() ? KitFolder() : L"");
}

std::shared_ptr<IFileFinder> CreateFileFinder(const std::wstring& root, const std::wstring& kit)
{
    return std::make_shared<FileFinder>(root, kit);
}

void SetKitFolder(const std::wstring& kit)
{
    KitFolder() = kit;
}

} // namespace Qorv::Base
