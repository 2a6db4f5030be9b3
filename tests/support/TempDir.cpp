#include "tests/support/TempDir.h"

#include "platform/window/Utf8.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace TestSupport
{

TempDir::TempDir()
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pakemino-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        throw std::runtime_error("cannot create a temporary directory");
    }
    path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path, ignored);
}

std::filesystem::path TempDir::Write(const std::string& relative, std::string_view bytes) const
{
    const std::filesystem::path file = path / relative;
    std::filesystem::create_directories(file.parent_path());
    WriteFile(file, bytes);
    return file;
}

std::filesystem::path TempDir::MakeDirectory(const std::string& relative) const
{
    const std::filesystem::path directory = path / relative;
    std::filesystem::create_directories(directory);
    return directory;
}

std::wstring TempDir::Wide(const std::string& relative) const
{
    return platform::Utf8ToWide((relative.empty() ? path : path / relative).string());
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace TestSupport
