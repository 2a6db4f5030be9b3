#include "platform/gpu/RasterThreads.h"

#include <dirent.h>
#include <sched.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gl
{

void SpreadSoftwareRasterThreads()
{
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0 || CPU_COUNT(&allowed) < 2)
    {
        return;
    }
    std::vector<int> cores;
    for (int core = 0; core < CPU_SETSIZE; ++core)
    {
        if (CPU_ISSET(core, &allowed))
        {
            cores.push_back(core);
        }
    }
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr)
    {
        return;
    }
    // The driver names its threads "llvmpipe-<index>", counting from 0.
    constexpr std::string_view prefix = "llvmpipe-";
    while (const dirent* task = readdir(tasks))
    {
        std::ifstream comm(std::string("/proc/self/task/") + task->d_name + "/comm");
        std::string name;
        if (task->d_name[0] == '.' || !std::getline(comm, name) || !name.starts_with(prefix))
        {
            continue;
        }
        const auto index = static_cast<size_t>(std::atoi(name.c_str() + prefix.size()));
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cores[index % cores.size()], &one);
        sched_setaffinity(std::atoi(task->d_name), sizeof one, &one);
    }
    closedir(tasks);
}

} // namespace platform::gl
