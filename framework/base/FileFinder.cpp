#include "framework/base/FileFinder.h"

#include "framework/base/Utf8.h"
#include "platform/window/Win32.h"

#include <algorithm>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace Qorv::Base
{

namespace
{

bool IsSeparator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

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
// already walked (reached again through a link) are skipped, so link cycles end.
void Walk(const std::wstring& directory, std::vector<FileEntry>& index,
          std::set<DirectoryId>& walked)
{
    std::wstring prefix = directory;
    if (prefix.empty() || !IsSeparator(prefix.back()))
    {
        prefix += L'/';
    }
    const std::string utf8Prefix = WideToUtf8(prefix);

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
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
        {
            struct stat target
            {
            };
            isDirectory =
                stat((utf8Prefix + name).c_str(), &target) == 0 && S_ISDIR(target.st_mode);
        }
        if (isDirectory)
        {
            subdirectories.push_back(prefix + Utf8ToWide(name));
        }
        else
        {
            index.push_back({prefix, Utf8ToWide(name)});
        }
    }
    closedir(listing);
    for (const std::wstring& subdirectory : subdirectories)
    {
        Walk(subdirectory, index, walked);
    }
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
    const size_t backslash = path.rfind(L'\\');
    if (slash == std::wstring::npos && backslash == std::wstring::npos)
    {
        return {};
    }
    if (slash == std::wstring::npos || backslash == std::wstring::npos)
    {
        const size_t last = slash == std::wstring::npos ? backslash : slash;
        return path.substr(0, last + 1);
    }
    return path.substr(0, std::max(slash, backslash));
}

FileFinder::FileFinder(const std::wstring& root)
{
    std::set<DirectoryId> walked;
    Walk(root.empty() ? ExecutableDirectory() : root, index, walked);
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
    return std::make_shared<FileFinder>(root);
}

} // namespace Qorv::Base
