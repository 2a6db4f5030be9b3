#include "framework/base/IFileReader.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using Qorv::Base::CreateFileReader;
using TestSupport::TempDir;

TEST(FileReader, ClosedReaderAnswersWithoutTouchingAFile)
{
    auto reader = CreateFileReader();
    char byte = 0;
    EXPECT_FALSE(reader->IsOpen());
    EXPECT_EQ(reader->GetSize(), -1);
    EXPECT_EQ(reader->Tell(), -1);
    EXPECT_EQ(reader->Read(&byte, 1), 0);
    EXPECT_FALSE(reader->Seek(0));
}

TEST(FileReader, ReadsAndSeeksWithinBounds)
{
    TempDir dir;
    auto reader = CreateFileReader();
    ASSERT_TRUE(reader->Open(dir.Write("f.bin", "0123456789").wstring()));
    char buffer[16] = {};
    EXPECT_EQ(reader->Read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(reader->Read(buffer, 0), 0);
    EXPECT_EQ(reader->Read(nullptr, 4), 0);
    EXPECT_EQ(reader->Read(buffer, -3), 0);
    EXPECT_EQ(reader->Tell(), 4) << "refused reads must not move the position";

    EXPECT_EQ(reader->GetSize(), 10);
    EXPECT_EQ(reader->Tell(), 4) << "measuring must not move the position";

    EXPECT_TRUE(reader->Seek(10));
    EXPECT_EQ(reader->Read(buffer, 4), 0);
    EXPECT_TRUE(reader->Seek(7));
    EXPECT_FALSE(reader->Seek(11));
    EXPECT_FALSE(reader->Seek(-1));
    EXPECT_EQ(reader->Tell(), 7);
    EXPECT_EQ(reader->Read(buffer, 16), 3) << "a read at the end returns what is left";
}

TEST(FileReader, SizeIsCachedPerOpening)
{
    TempDir dir;
    const auto path = dir.Write("grow.bin", "abc");
    auto reader = CreateFileReader();
    ASSERT_TRUE(reader->Open(path.wstring()));
    EXPECT_EQ(reader->GetSize(), 3);
    std::ofstream(path, std::ios::app) << "defg";
    EXPECT_EQ(reader->GetSize(), 3) << "the size is computed once per opening";

    reader->Close();
    EXPECT_EQ(reader->GetSize(), -1);
    EXPECT_EQ(reader->GetPath(), L"");
    ASSERT_TRUE(reader->Open(dir.Write("other.bin", "12345").wstring()));
    EXPECT_EQ(reader->GetSize(), 5);
}

TEST(FileReader, ReopeningOnABadPathLeavesItClosed)
{
    TempDir dir;
    auto reader = CreateFileReader();
    ASSERT_TRUE(reader->Open(dir.Write("good.bin", "x").wstring()));
    EXPECT_FALSE(reader->Open(dir.Wide("missing.bin")));
    EXPECT_FALSE(reader->IsOpen());
    EXPECT_EQ(reader->GetSize(), -1);
    EXPECT_EQ(reader->GetPath(), L"");
}

TEST(FileReader, EmptyFileHasSizeZero)
{
    TempDir dir;
    auto reader = CreateFileReader();
    ASSERT_TRUE(reader->Open(dir.Write("empty.bin", "").wstring()));
    char byte = 0;
    EXPECT_EQ(reader->GetSize(), 0);
    EXPECT_TRUE(reader->Seek(0));
    EXPECT_FALSE(reader->Seek(1));
    EXPECT_EQ(reader->Read(&byte, 1), 0);
}

// A pipe would block the open until a writer came; a device is no data file either.
TEST(FileReader, OnlyRegularFilesOpen)
{
    TempDir dir;
    dir.MakeDirectory("folder.wav");
    ASSERT_EQ(mkfifo((dir.Path() / "pipe.wav").c_str(), 0600), 0);
    auto reader = CreateFileReader();
    for (const std::wstring& path : {dir.Wide("folder.wav"), dir.Wide("pipe.wav"),
                                     std::wstring(L"/dev/zero"), std::wstring(L"")})
    {
        EXPECT_FALSE(reader->Open(path)) << path;
    }
    EXPECT_FALSE(reader->IsOpen());
}

TEST(FileReader, OpensNonAsciiPaths)
{
    TempDir dir;
    dir.Write("\xe3\x83\x91.wav", "pa"); // "パ.wav"
    auto reader = CreateFileReader();
    EXPECT_TRUE(reader->Open(dir.Wide() + L"/\u30d1.wav"));
    EXPECT_EQ(reader->GetSize(), 2);
}
