// Run by the build: writes the resampler's kernels for every output rate from 44.1 kHz up as a
// source file, so that the program starts with them instead of computing them.

#include "platform/audio/DSound.h"
#include "platform/audio/SincLevel.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    using namespace platform::audio;
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: sinc-table-generator OUTPUT.cpp\n");
        return 2;
    }
    const int levels = SincScaleLevel(static_cast<double>(DSBFREQUENCY_MAX) / 44100.0) + 1;
    const std::string partial = std::string(argv[1]) + ".part";
    std::FILE* out = std::fopen(partial.c_str(), "w");
    if (out == nullptr)
    {
        std::perror(partial.c_str());
        return 1;
    }
    std::fprintf(out,
                 "// Written by sinc-table-generator.\n#include \"platform/audio/SincLevel.h\"\n"
                 "namespace platform::audio {\nextern const int PrebuiltSincLevelCount = %d;\n"
                 "alignas(64) extern const float PrebuiltSincLevels[] = {\n",
                 levels);
    for (int level = 0; level < levels; ++level)
    {
        // Hexadecimal floats carry every bit.
        for (float value : BuildSincLevel(level))
        {
            std::fprintf(out, "%af,\n", static_cast<double>(value));
        }
    }
    std::fprintf(out, "};\n}\n");
    if (std::fclose(out) != 0 || std::rename(partial.c_str(), argv[1]) != 0)
    {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
