#pragma once
// A fresh directory under the system's temporary folder, removed with everything in it, and
// files read and written whole.

#include <filesystem>
#include <string>
#include <string_view>

namespace TestSupport
{

class TempDir
{
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& Path() const { return path; }
    // Writes a file (creating its folders) and returns its full path.
    std::filesystem::path Write(const std::string& relative, std::string_view bytes) const;
    std::filesystem::path MakeDirectory(const std::string& relative) const;
    // The path as the framework's wide strings hold it.
    std::wstring Wide(const std::string& relative = "") const;

private:
    std::filesystem::path path;
};

// The whole of a file, empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Writes the bytes over the file, wherever it is.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace TestSupport
