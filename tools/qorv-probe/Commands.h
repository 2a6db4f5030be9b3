#pragma once
// The probe's commands. Each takes the arguments after its name and returns the exit code.

#include <memory>
#include <string>
#include <vector>

namespace Qorv::Base
{
class IFileReader;
}
namespace Qorv::Draw
{
class IImageFile;
}
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
// The first picture decoder, in the texture loader's order (PNG, BMP, JPEG), that opens the
// reader, and its class name; empty and nullptr when none does.
std::shared_ptr<Qorv::Draw::IImageFile>
OpenImage(const std::shared_ptr<Qorv::Base::IFileReader>& reader, const char** decoderName);

} // namespace Probe
