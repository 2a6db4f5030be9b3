#pragma once
// File finder that walks its tree once, in pre-order, at construction.

#include "framework/base/IFileFinder.h"

namespace Qorv::Base
{

struct FileEntry
{
    std::wstring directory; // always ends with a separator
    std::wstring name;      // as the listing reported it
};

class FileFinder : public IFileFinder
{
public:
    // Walks kit first, when it is not empty, then root: the first-found rule makes the kit win.
    explicit FileFinder(const std::wstring& root, const std::wstring& kit = L"");

    bool Exists(const std::wstring& name) override;
    std::wstring Find(const std::wstring& name) override;
    void GetFileNames(std::vector<std::wstring>& names) override;

    // The directory part of an executable's path, as the finder derives its default root.
    static std::wstring DirectoryOf(const std::wstring& path);

private:
    std::vector<FileEntry> index;
};

} // namespace Qorv::Base
