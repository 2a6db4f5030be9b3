#include "app/PatternKeeper.h"

#include "app/FileReplace.h"
#include "app/PatternFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace Pakemino
{

std::unique_ptr<PatternKeeper> PatternKeeper::Open(const std::string& path, std::string& message)
{
    std::unique_ptr<PatternKeeper> keeper(new PatternKeeper(path));
    if (ReadPatternFile(path, keeper->saved, message) == PatternRead::Refused)
    {
        return nullptr;
    }
    // A beat that could never be saved is refused now, not after it was made.
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const std::string where = folder.empty() ? "." : folder.string();
    if (access(where.c_str(), W_OK | X_OK) != 0)
    {
        message = path + ": cannot be saved in " + where + ": " + std::strerror(errno);
        return nullptr;
    }
    return keeper;
}

std::string PatternKeeper::Name() const
{
    return std::filesystem::path(path).filename().string();
}

bool PatternKeeper::Save(RhythmSequencer& sequencer, std::FILE* err)
{
    const Pattern pattern = PatternOf(sequencer);
    std::string error;
    if (!ReplaceFile(path, FormatPattern(pattern), error))
    {
        std::fprintf(err, "pakemino: the pattern was not saved to %s: %s\n", path.c_str(),
                     error.c_str());
        return false;
    }
    saved = pattern;
    return true;
}

} // namespace Pakemino
