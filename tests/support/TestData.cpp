#include "tests/support/TestData.h"

namespace TestSupport
{

std::filesystem::path TestDataPath(const std::filesystem::path& relative)
{
    const std::filesystem::path folder(PAKEMINO_TESTDATA);
    return relative.empty() ? folder : folder / relative;
}

bool HaveTestData()
{
    return std::filesystem::is_directory(TestDataPath());
}

} // namespace TestSupport
