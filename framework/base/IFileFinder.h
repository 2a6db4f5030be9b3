#pragma once
// Index of every data file below a root directory, answering by bare file name.

#include "framework/base/Interface.h"

#include <memory>
#include <string>
#include <vector>

namespace Qorv::Base
{

class IFileFinder : public Interface
{
public:
    // Exact, case-sensitive name match.
    virtual bool Exists(const std::wstring& name) = 0;
    // Full path of the first indexed file whose name matches with ASCII letters folded, or "".
    virtual std::wstring Find(const std::wstring& name) = 0;
    // Replaces names' contents with every indexed name, in index order.
    virtual void GetFileNames(std::vector<std::wstring>& names) = 0;
};

// An empty root stands for the directory of the running executable, and then the kit folder,
// when one is set, is looked in first.
[[nodiscard]] std::shared_ptr<IFileFinder> CreateFileFinder(const std::wstring& root);
// A finder over kit first and root after: a file in the kit is found before one of the same
// name below root, and what the kit lacks is found below root.
[[nodiscard]] std::shared_ptr<IFileFinder> CreateFileFinder(const std::wstring& root,
                                                            const std::wstring& kit);

// The player's own folder of data files (empty for none). Set once, before any finder is made.
void SetKitFolder(const std::wstring& kit);

} // namespace Qorv::Base
