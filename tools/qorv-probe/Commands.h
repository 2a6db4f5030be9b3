#pragma once
// The probe's commands. Each takes the arguments after its name and returns the exit code.

#include <string>
#include <vector>

namespace Probe
{

using Arguments = std::vector<std::string>;

int SoundCommand(const Arguments& arguments);
int ImageCommand(const Arguments& arguments);
int PlayCommand(const Arguments& arguments);
int AssetsCommand(const Arguments& arguments);

} // namespace Probe
