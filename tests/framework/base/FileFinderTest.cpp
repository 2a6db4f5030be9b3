#include "framework/base/FileFinder.h"
#include "framework/base/IFileReader.h"
#include "platform/window/Utf8.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using Qorv::Base::CreateFileFinder;
using Qorv::Base::FileFinder;
using TestSupport::RunAndCapture;
using TestSupport::TempDir;

namespace
{

// The order in which the platform lists a directory decides which of two siblings wins.
std::vector<std::string> ListingOrder(const std::filesystem::path& directory)
{
    std::vector<std::string> names;
    DIR* listing = opendir(directory.c_str());
    while (const dirent* entry = readdir(listing))
    {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
        {
            names.push_back(name);
        }
    }
    closedir(listing);
    return names;
}

} // namespace

TEST(FileFinder, RootFilesComeBeforeSubdirectoryFiles)
{
    TempDir dir;
    dir.Write("sub/deeper/pad.png", "deep");
    dir.Write("sub/pad.png", "sub");
    dir.Write("pad.png", "root");
    auto finder = CreateFileFinder(dir.Wide());
    EXPECT_EQ(finder->Find(L"pad.png"), dir.Wide("pad.png"));

    std::filesystem::remove(dir.Path() / "pad.png");
    EXPECT_EQ(CreateFileFinder(dir.Wide())->Find(L"pad.png"), dir.Wide("sub/pad.png"));
}

TEST(FileFinder, SiblingSubdirectoriesFollowTheListingOrder)
{
    TempDir dir;
    for (const char* sibling : {"a", "b", "c", "d"})
    {
        dir.Write(std::string(sibling) + "/beat1.wav", sibling);
    }
    const std::string first = ListingOrder(dir.Path()).front();
    EXPECT_EQ(CreateFileFinder(dir.Wide())->Find(L"beat1.wav"), dir.Wide(first + "/beat1.wav"));
}

TEST(FileFinder, IndexIsPreOrderWithSubtreesInListingOrder)
{
    TempDir dir;
    dir.Write("x/inner/x2", "");
    dir.Write("x/x1", "");
    dir.Write("y/y1", "");
    dir.Write("top", "");
    std::vector<std::wstring> names{L"stale", L"entries"};
    CreateFileFinder(dir.Wide())->GetFileNames(names);

    std::vector<std::wstring> expected{L"top"};
    for (const std::string& sub : ListingOrder(dir.Path()))
    {
        if (sub == "x")
        {
            expected.insert(expected.end(), {L"x1", L"x2"});
        }
        else if (sub == "y")
        {
            expected.push_back(L"y1");
        }
    }
    EXPECT_EQ(names, expected);
}

TEST(FileFinder, FindFoldsExactlyTheAsciiLetters)
{
    TempDir dir;
    dir.Write("AzBy.WAV", "");
    dir.Write("\xc3\x89t\xc3\xa9.png", ""); // "Été.png"
    auto finder = CreateFileFinder(dir.Wide());

    EXPECT_EQ(finder->Find(L"azby.wav"), dir.Wide("AzBy.WAV"));
    EXPECT_EQ(finder->Find(L"AZBY.wav"), dir.Wide("AzBy.WAV"));
    EXPECT_EQ(finder->Find(L"\u00c9T\u00e9.PNG"), dir.Wide("\xc3\x89t\xc3\xa9.png"));
    EXPECT_EQ(finder->Find(L"\u00e9t\u00e9.png"), L"") << "non-ASCII letters must match exactly";
    // '@' and '[' sit just outside A..Z and must not fold onto '`' and '{'.
    dir.Write("`{", "");
    EXPECT_EQ(CreateFileFinder(dir.Wide())->Find(L"@["), L"");
}

TEST(FileFinder, ExistsIsCaseSensitive)
{
    TempDir dir;
    dir.Write("pad.png", "");
    auto finder = CreateFileFinder(dir.Wide());
    EXPECT_TRUE(finder->Exists(L"pad.png"));
    EXPECT_FALSE(finder->Exists(L"PAD.PNG"));
    EXPECT_EQ(finder->Find(L"PAD.PNG"), dir.Wide("pad.png"));
}

TEST(FileFinder, OnlyRegularFilesAreIndexed)
{
    TempDir dir;
    dir.Write("pad.png/inside.bmp", "");
    dir.Write("sub/pa.wav", "");
    dir.Write("sub/ke.wav", "");
    ASSERT_EQ(mkfifo((dir.Path() / "pa.wav").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir.Path() / "sub" / "ke.wav", dir.Path() / "ke.wav");
    std::filesystem::create_symlink(dir.Path() / "gone.wav", dir.Path() / "no.wav");
    auto finder = CreateFileFinder(dir.Wide());
    EXPECT_EQ(finder->Find(L"pad.png"), L"");
    EXPECT_FALSE(finder->Exists(L"pad.png"));
    EXPECT_EQ(finder->Find(L"inside.bmp"), dir.Wide("pad.png/inside.bmp"));
    EXPECT_EQ(finder->Find(L"pa.wav"), dir.Wide("sub/pa.wav")) << "a pipe is not a data file";
    EXPECT_EQ(finder->Find(L"ke.wav"), dir.Wide("ke.wav"));
    EXPECT_FALSE(finder->Exists(L"no.wav"));
}

// Names are bytes: one that is not UTF-8, or holds a backslash, is found and opens as listed.
TEST(FileFinder, NamesInAnyBytesOpenAsListed)
{
    TempDir dir;
    dir.Write("caf\xe9/\xff\\x.wav", "ff");
    dir.Write("caf\xe9/back\\/pa.wav", "pa");
    auto finder = CreateFileFinder(dir.Wide("caf\xe9"));
    const auto reader = Qorv::Base::CreateFileReader();
    for (const std::wstring& name : {std::wstring(L"\xdcff\\x.wav"), std::wstring(L"pa.wav")})
    {
        const std::wstring path = finder->Find(name);
        ASSERT_TRUE(reader->Open(path)) << platform::WideToUtf8(path);
        EXPECT_EQ(reader->GetSize(), 2);
    }
    EXPECT_EQ(platform::WideToUtf8(finder->Find(L"pa.wav")),
              (dir.Path() / "caf\xe9" / "back\\" / "pa.wav").string());
}

TEST(FileFinder, QueriesWithSeparatorsOrEmptyNeverMatch)
{
    TempDir dir;
    dir.Write("sub/a.wav", "");
    auto finder = CreateFileFinder(dir.Wide());
    EXPECT_EQ(finder->Find(L"sub/a.wav"), L"");
    EXPECT_EQ(finder->Find(L"sub\\a.wav"), L"");
    EXPECT_EQ(finder->Find(L""), L"");
    EXPECT_FALSE(finder->Exists(L""));
}

TEST(FileFinder, RootKeepsItsOwnTrailingSeparator)
{
    TempDir dir;
    dir.Write("a.wav", "");
    EXPECT_EQ(CreateFileFinder(dir.Wide() + L"/")->Find(L"a.wav"), dir.Wide("a.wav"));
}

TEST(FileFinder, MissingOrUnreadableDirectoriesAddNothing)
{
    TempDir dir;
    EXPECT_EQ(CreateFileFinder(dir.Wide("missing"))->Find(L"a.wav"), L"");

    dir.Write("open/a.wav", "");
    dir.Write("closed/b.wav", "");
    std::filesystem::permissions(dir.Path() / "closed", std::filesystem::perms::none);
    auto finder = CreateFileFinder(dir.Wide());
    EXPECT_EQ(finder->Find(L"a.wav"), dir.Wide("open/a.wav"));
    if (geteuid() != 0) // root reads any directory
    {
        EXPECT_EQ(finder->Find(L"b.wav"), L"");
    }
}

TEST(FileFinder, DirectoryLinkCyclesEnd)
{
    TempDir dir;
    dir.Write("loop/a.wav", "");
    std::filesystem::create_directory_symlink(dir.Path(), dir.Path() / "loop" / "back");
    std::filesystem::create_directory_symlink(dir.Path() / "loop", dir.Path() / "again");
    std::vector<std::wstring> names;
    CreateFileFinder(dir.Wide())->GetFileNames(names);
    EXPECT_EQ(names, std::vector<std::wstring>{L"a.wav"});
}

TEST(FileFinder, DefaultRootIsTheExecutablesDirectory)
{
    std::vector<std::wstring> names;
    CreateFileFinder(L"")->GetFileNames(names);
    const std::wstring self = std::filesystem::read_symlink("/proc/self/exe").filename().wstring();
    EXPECT_NE(std::find(names.begin(), names.end(), self), names.end());
}

TEST(FileFinder, DefaultRootIsFoundFromAnyFolderAndNeverWidensToTheFileSystem)
{
    TempDir dir;
    const std::filesystem::path latin1 = dir.MakeDirectory("caf\xe9"); // é as one byte
    std::filesystem::copy_file(LIST_DEFAULT_ROOT, latin1 / "lister");
    dir.Write("caf\xe9/pa.wav", "");
    EXPECT_EQ(RunAndCapture({(latin1 / "lister").string()}),
              "2\n" + (latin1 / "pa.wav").string() + "\n");

    // Deeper than the longest path the kernel reports for an executable: its path is unknown.
    const std::string level(200, 'd');
    std::string script = "cd '" + dir.Path().string() + "'";
    for (int depth = 0; depth < 22; ++depth)
    {
        script += " && mkdir " + level + " && cd -P " + level;
    }
    script += " && : > pa.wav && cp '" + std::string(LIST_DEFAULT_ROOT) + "' lister && ./lister";
    int code = -1;
    EXPECT_EQ(RunAndCapture({"sh", "-c", script}, &code), "0\n\n");
    EXPECT_EQ(code, 0);
    RunAndCapture({"rm", "-rf", (dir.Path() / level).string()});
}

TEST(FileFinder, DirectoryOfSplitsAtTheLastSlashOnly)
{
    EXPECT_EQ(FileFinder::DirectoryOf(L"game.exe"), L"");
    EXPECT_EQ(FileFinder::DirectoryOf(L"/opt/pakemino/pakemino"), L"/opt/pakemino/");
    EXPECT_EQ(FileFinder::DirectoryOf(L"C:\\game\\game.exe"), L"");
    EXPECT_EQ(FileFinder::DirectoryOf(L"/opt/a\\b/pa\\kemino"), L"/opt/a\\b/");
}
