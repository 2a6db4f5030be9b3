#include "tests/support/GameSession.h"
#include "tests/support/Desktop.h"

#include <thread>

namespace TestSupport
{

namespace
{
std::vector<std::string> CommandLine(const std::string& path, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), path);
    return arguments;
}
} // namespace

GameSession::GameSession(const std::string& path, const std::vector<std::string>& environment,
                         const std::vector<std::string>& arguments, const std::string& title)
    : program(CommandLine(path, arguments), environment)
{
    window = WaitForWindow(title, std::chrono::seconds(10));
}

void GameSession::Focus(std::chrono::steady_clock::time_point deadline)
{
    const std::string id = std::to_string(std::stoul(*window));
    while (RunAndCapture({"xdotool", "getwindowfocus"}).find(id) == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
    {
        RunAndCapture({"xdotool", "windowfocus", "--sync", *window});
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
}

void GameSession::Press(const std::vector<std::string>& keys, std::chrono::milliseconds down,
                        std::chrono::milliseconds up)
{
    for (const auto& key : keys)
    {
        RunAndCapture({"xdotool", "keydown", key});
    }
    std::this_thread::sleep_for(down);
    for (const auto& key : keys)
    {
        RunAndCapture({"xdotool", "keyup", key});
    }
    std::this_thread::sleep_for(up);
}

} // namespace TestSupport
