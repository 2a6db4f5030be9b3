#pragma once
// Starts a program as a user would and waits for it, for the end-to-end tests.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace TestSupport
{

class Process
{
public:
    // Starts argv[0] (searched on PATH) with extra "NAME=value" environment entries.
    Process(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {});
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    // Kills the process if it is still running.
    ~Process();

    pid_t Pid() const { return pid; }
    bool Running();
    // The exit code, or nothing when it did not end within the timeout. A death by a signal
    // is reported as 128 + the signal number.
    std::optional<int> Wait(std::chrono::milliseconds timeout);

private:
    pid_t pid = -1;
    std::optional<int> status;
};

// Runs a command to its end and returns what it printed on standard output.
std::string RunAndCapture(const std::vector<std::string>& argv, int* exitCode = nullptr);

} // namespace TestSupport
