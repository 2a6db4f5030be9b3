#pragma once
// The probe's commands. Each takes the arguments after its name and returns the exit code.

#include <string>
#include <vector>

namespace Qorv::Sound
{
class ISoundFile;
}

namespace Probe
{

using Arguments = std::vector<std::string>;

int SoundCommand(const Arguments& arguments);
int ImageCommand(const Arguments& arguments);
int PlayCommand(const Arguments& arguments);
int AssetsCommand(const Arguments& arguments);

// Shared by the commands. The reader class that opened a sound file.
const char* SoundReaderName(Qorv::Sound::ISoundFile& file);

} // namespace Probe
