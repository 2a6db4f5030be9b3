// Prints how many files the finder indexes below its default root, the executable's own
// directory, and where it finds pa.wav there: run from folders the test chooses.

#include "framework/base/IFileFinder.h"
#include "platform/window/Utf8.h"

#include <cstdio>

int main()
{
    const auto finder = Qorv::Base::CreateFileFinder(L"");
    std::vector<std::wstring> names;
    finder->GetFileNames(names);
    std::printf("%zu\n%s\n", names.size(), platform::WideToUtf8(finder->Find(L"pa.wav")).c_str());
    return 0;
}
