#include "bench/SpawnedStart.h"

#include <cstdio>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Bench
{

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::string RunChild(const char* self, const std::vector<std::string>& extra)
{
    std::vector<std::string> words{self, "--child", std::to_string(NowMs())};
    words.insert(words.end(), extra.begin(), extra.end());
    std::vector<char*> args;
    for (std::string& word : words)
    {
        args.push_back(word.data());
    }
    args.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0)
    {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string printed;
    char chunk[256];
    ssize_t got = 0;
    while (spawned == 0 && (got = read(fds[0], chunk, sizeof chunk)) > 0)
    {
        printed.append(chunk, static_cast<size_t>(got));
    }
    close(fds[0]);
    int status = 0;
    if (spawned == 0)
    {
        waitpid(pid, &status, 0);
    }
    return printed;
}

} // namespace Bench
