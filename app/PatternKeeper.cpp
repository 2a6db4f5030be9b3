#include "app/PatternKeeper.h"

#include "app/FileReplace.h"
#include "app/PatternFile.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <utility>

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

bool PatternKeeper::AfterFrame(RhythmSequencer& sequencer, bool saveRequested, std::FILE* err)
{
    saveAgain = saveAgain || saveRequested;
    if (saving && saving->error.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
    {
        EndSave(err);
    }
    if (saveAgain && !saving)
    {
        StartSave(sequencer);
    }
    const bool unsaved = PatternOf(sequencer) != saved;
    return std::exchange(shownUnsaved, unsaved) != unsaved;
}

bool PatternKeeper::Finish(RhythmSequencer& sequencer, std::FILE* err)
{
    if (saving)
    {
        EndSave(err);
    }
    if (PatternOf(sequencer) != saved)
    {
        StartSave(sequencer);
        EndSave(err);
    }
    return PatternOf(sequencer) == saved;
}

void PatternKeeper::StartSave(RhythmSequencer& sequencer)
{
    saveAgain = false;
    const Pattern pattern = PatternOf(sequencer);
    saving.emplace(Saving{pattern, std::async(std::launch::async,
                                              [file = path, bytes = FormatPattern(pattern)]
                                              {
                                                  std::string error;
                                                  ReplaceFile(file, bytes, error);
                                                  return error;
                                              })});
}

void PatternKeeper::EndSave(std::FILE* err)
{
    const std::string error = saving->error.get();
    if (error.empty())
    {
        saved = saving->pattern;
    }
    else
    {
        std::fprintf(err, "pakemino: the pattern was not saved to %s: %s\n", path.c_str(),
                     error.c_str());
    }
    saving.reset();
}

} // namespace Pakemino
