// qorv-probe as its users run it: what it prints, what it writes, and its exit codes.

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

using TestSupport::RunAndCapture;

namespace
{

std::map<std::string, std::string> Fields(const std::string& text)
{
    std::map<std::string, std::string> fields;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
        {
            fields[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return fields;
}

} // namespace

TEST(Probe, SoundReportsTheDeliveredPcmAndWritesAllOfIt)
{
    TestSupport::TempDir dir;
    const std::string out = (dir.Path() / "beat9.pcm").string();
    int code = -1;
    auto fields =
        Fields(RunAndCapture({QORV_PROBE, "sound", "data/beat9.wav", "--pcm", out}, &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fields["reader"], "RiffSoundFile");
    EXPECT_EQ(fields["tag"], "1") << "IMA ADPCM is delivered as PCM";
    EXPECT_EQ(fields["rate"], "44100");
    EXPECT_EQ(fields["bits"], "16");
    EXPECT_EQ(std::to_string(std::filesystem::file_size(out)), fields["bytes"]);

    fields = Fields(RunAndCapture({QORV_PROBE, "sound", "tests/data/sound/vorbis-mono-22050.ogg"}));
    EXPECT_EQ(fields["reader"], "OggSoundFile");
    EXPECT_EQ(fields["frames"], "11025");
}

TEST(Probe, ImageNamesTheDecoderByContentAndWritesAPngBack)
{
    TestSupport::TempDir dir;
    const std::string out = (dir.Path() / "stage.png").string();
    int code = -1;
    auto fields =
        Fields(RunAndCapture({QORV_PROBE, "image", "data/stage.bmp", "--png", out}, &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fields["decoder"], "BitmapImageFile");
    EXPECT_EQ(fields["width"], "640");
    EXPECT_EQ(fields["height"], "480");

    fields = Fields(RunAndCapture({QORV_PROBE, "image", out}, &code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fields["decoder"], "PngImageFile") << "the written picture reads back as a PNG";
    EXPECT_EQ(fields["width"], "640");
}

TEST(Probe, FilesNoReaderAcceptsFailWithOneClearLine)
{
    int code = -1;
    const std::string said =
        RunAndCapture({"sh", "-c", std::string(QORV_PROBE) + " sound data/pad.png 2>&1"}, &code);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(said, "qorv-probe: data/pad.png: not a sound file this program can read\n");

    RunAndCapture({"sh", "-c", std::string(QORV_PROBE) + " image data/ke.wav 2>/dev/null"}, &code);
    EXPECT_EQ(code, 1);
    RunAndCapture({"sh", "-c", std::string(QORV_PROBE) + " sound /nonexistent.wav 2>/dev/null"},
                  &code);
    EXPECT_EQ(code, 1);
    RunAndCapture({"sh", "-c", std::string(QORV_PROBE) + " frobnicate 2>/dev/null"}, &code);
    EXPECT_EQ(code, 2) << "an unknown command is a usage error";

    SKIP_WITHOUT_TESTDATA();
    const auto corrupt = TestSupport::TestDataPath("pngsuite/png/xcsn0g01.png").string();
    RunAndCapture({"sh", "-c", std::string(QORV_PROBE) + " image " + corrupt + " 2>/dev/null"},
                  &code);
    EXPECT_EQ(code, 1) << "a readable header over corrupt image data is no picture";
}
