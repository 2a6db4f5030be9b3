#include "tests/support/Process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace TestSupport
{

namespace
{

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
    {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

int Decode(int raw)
{
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

} // namespace

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& environment)
{
    std::vector<std::string> args = argv;
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry)
    {
        env.emplace_back(*entry);
    }
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> argPointers = Pointers(args);
    std::vector<char*> envPointers = Pointers(env);
    if (posix_spawnp(&pid, args[0].c_str(), nullptr, nullptr, argPointers.data(),
                     envPointers.data()) != 0)
    {
        throw std::runtime_error("cannot start " + args[0]);
    }
}

Process::~Process()
{
    if (Running())
    {
        kill(pid, SIGKILL);
        int raw = 0;
        waitpid(pid, &raw, 0);
    }
}

bool Process::Running()
{
    if (status)
    {
        return false;
    }
    int raw = 0;
    if (waitpid(pid, &raw, WNOHANG) == pid)
    {
        status = Decode(raw);
        return false;
    }
    return true;
}

std::optional<int> Process::Wait(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running())
    {
        if (std::chrono::steady_clock::now() >= deadline)
        {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status;
}

std::string RunAndCapture(const std::vector<std::string>& argv, int* exitCode)
{
    std::string command;
    for (const std::string& arg : argv)
    {
        command += "'" + arg + "' ";
    }
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        throw std::runtime_error("cannot run " + command);
    }
    std::string out;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    {
        out.append(buffer, n);
    }
    const int raw = pclose(pipe);
    if (exitCode != nullptr)
    {
        *exitCode = Decode(raw);
    }
    return out;
}

} // namespace TestSupport
