// The real program on a private sound server (PulseAudio with a null sink, on a socket of the
// test's own): the server is killed under it and started again, and the program must be heard
// again on the sink's monitor, keep its take whole and still end with Escape.

#include "tests/support/Desktop.h"
#include "tests/support/Process.h"
#include "tests/support/Signal.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using namespace TestSupport;
namespace fs = std::filesystem;

namespace
{

class SoundServer
{
public:
    explicit SoundServer(const fs::path& dir) : dir(dir) {}

    std::string Address() const { return "unix:" + (dir / "native").string(); }
    // What pactl says, or empty while no server answers.
    std::string Ask(const std::vector<std::string>& request) const
    {
        std::vector<std::string> argv = {
            "sh", "-c", "PULSE_SERVER=\"$0\" exec pactl \"$@\" 2>/dev/null", Address()};
        argv.insert(argv.end(), request.begin(), request.end());
        int code = 1;
        const std::string said = RunAndCapture(argv, &code);
        return code == 0 ? said : "";
    }
    bool Start()
    {
        fs::remove(dir / "native");
        server = std::make_unique<Process>(
            std::vector<std::string>{
                "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                "--disable-shm=yes", "--log-level=error",
                // The sink first: a client that finds the socket finds the sink.
                "-L", "module-null-sink sink_name=out rate=48000", "-L",
                "module-native-protocol-unix auth-anonymous=1 socket=" + (dir / "native").string()},
            std::vector<std::string>{"HOME=" + dir.string(),
                                     "PULSE_RUNTIME_PATH=" + (dir / "run").string(),
                                     "PULSE_STATE_PATH=" + (dir / "state").string()});
        return Until([&] { return !Ask({"info"}).empty(); });
    }
    void Kill()
    {
        kill(server->Pid(), SIGKILL);
        server->Wait(10s);
    }
    // Polls up to 20 s: generous for a loaded machine.
    template <typename Condition> static bool Until(Condition condition)
    {
        for (auto end = std::chrono::steady_clock::now() + 20s;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(20ms))
        {
            if (condition())
            {
                return true;
            }
        }
        return false;
    }

private:
    fs::path dir;
    std::unique_ptr<Process> server;
};

} // namespace

TEST(SoundServer, RestartedUnderTheProgramItIsHeardAgainAndTheTakeHasNoGap)
{
    TempDir dir;
    SoundServer server(dir.Path());
    ASSERT_TRUE(server.Start()) << "pulseaudio did not start";
    const fs::path take = dir.Path() / "take.wav";
    Process program({"sh", "-c", "exec \"$0\" --record \"$1\" >/dev/null 2>\"$2\"",
                     PAKEMINO_PROGRAM, take.string(), (dir.Path() / "err").string()},
                    {"PULSE_SERVER=" + server.Address(), "PAKEMINO_AUDIO_STATS=1"});
    const auto window = WaitForWindow("pakemino Technical Preview \\(recording\\)", 20s);
    ASSERT_TRUE(window);
    const auto playing = [&]
    {
        return !server.Ask({"list", "short", "sink-inputs"}).empty();
    };
    ASSERT_TRUE(SoundServer::Until(playing));

    server.Kill();
    std::this_thread::sleep_for(3s);
    ASSERT_TRUE(server.Start());
    // Listening before the program is back, so no note can come before the recording.
    const fs::path heard = dir.Path() / "heard.raw";
    Process listener({"sh", "-c",
                      "exec parec -d out.monitor --latency-msec=20 --raw --format=float32le "
                      "--channels=1 >\"$0\"",
                      heard.string()},
                     {"PULSE_SERVER=" + server.Address()});
    ASSERT_TRUE(SoundServer::Until(playing)) << "the program did not come back to the server";

    std::this_thread::sleep_for(500ms);
    // The pattern is empty: whatever the monitor hears is the notes. Held over several frames,
    // so a loaded machine's late frames still see them.
    RunAndCapture({"xdotool", "windowfocus", "--sync", *window});
    RunAndCapture({"xdotool", "keydown", "q", "w", "e", "r"});
    std::this_thread::sleep_for(300ms);
    RunAndCapture({"xdotool", "keyup", "q", "w", "e", "r"});
    // The monitor delivers in blocks: what it has heard is read until the notes are in it.
    EXPECT_TRUE(SoundServer::Until([&] { return LoudestOfRaw(ReadFile(heard)) > 0.05f; }))
        << "no note heard after the server came back";

    PressKeys(*window, "Escape");
    EXPECT_EQ(program.Wait(20s), 0) << ReadFile(dir.Path() / "err");
    // Float stereo at 48 kHz: the three seconds without a server are in it, mixed unheard.
    const double recorded = static_cast<double>(fs::file_size(take)) / (2 * sizeof(float) * 48000);
    EXPECT_GT(recorded, 3.0) << "the time without a server is missing; the program said:\n"
                             << ReadFile(dir.Path() / "err");
}
