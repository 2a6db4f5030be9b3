#include "platform/midi/MidiSystems.h"

#include <jack/jack.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::rtmidi
{

namespace
{

void Silent(const char*) {}

void SilentError(RtMidiError::Type, const std::string&, void*) {}

} // namespace

bool SequencerPresent()
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), RtMidi::LINUX_ALSA) != apis.end() &&
           access("/dev/snd/seq", R_OK | W_OK) == 0;
}

void Quiet(RtMidi& port)
{
    port.setErrorCallback(SilentError, nullptr);
}

bool JackServerMayRun()
{
    jack_set_error_function(Silent);
    jack_set_info_function(Silent);
    Dl_info library{};
    if (dladdr(dlsym(RTLD_DEFAULT, "jack_client_open"), &library) != 0 &&
        library.dli_fname != nullptr && std::strstr(library.dli_fname, "pipewire") != nullptr)
    {
        return true;
    }
    const char* server = std::getenv("JACK_DEFAULT_SERVER");
    const std::string socket = "/dev/shm/jack_" +
                               std::string(server != nullptr && *server != 0 ? server : "default") +
                               "_" + std::to_string(getuid()) + "_0";
    struct stat status
    {
    };
    return stat(socket.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

bool IsSequencerHardware(const std::string& name)
{
    const size_t space = name.rfind(' ');
    if (space == std::string::npos)
    {
        return false;
    }
    const int client = std::atoi(name.c_str() + space + 1);
    return client >= 16 && client < 128;
}

} // namespace platform::rtmidi
