#include "app/StartReport.h"

#include "app/Game.h"
#include "framework/base/IFileFinder.h"
#include "platform/window/Utf8.h"

#include <string>
#include <utility>
#include <vector>

namespace Pakemino
{

namespace
{
void ReportFile(Qorv::Base::IFileFinder& finder, const std::wstring& name, bool loaded,
                std::FILE* out)
{
    if (loaded)
    {
        return;
    }
    std::fprintf(out, "pakemino: data file %s %s; `qorv-probe assets` checks every data file\n",
                 platform::WideToUtf8(name).c_str(),
                 finder.Find(name).empty() ? "is missing" : "cannot be read");
}
} // namespace

void ReportStartProblems(const Game& game, std::FILE* out)
{
    auto finder = Qorv::Base::CreateFileFinder(L"");
    // Without a device no picture loads: that is the one thing to say about pictures.
    if (!game.drawer->IsOpen())
    {
        std::fprintf(out, "pakemino: no picture: OpenGL 3.3 could not start in the window; keys "
                          "and sound still work\n");
    }
    else
    {
        const std::vector<std::pair<std::wstring, const Qorv::Draw::ITexture*>> pictures = {
            {L"zirmonly.bmp", game.noteTexture.get()},
            {L"pad.png", game.padTexture.get()},
            {L"stage.bmp", game.stageTexture.get()},
            {L"glyphs.png", game.overlay.lettering.atlas.get()}};
        for (const auto& [name, texture] : pictures)
        {
            ReportFile(*finder, name, texture->IsCreated(), out);
        }
    }
    // Samples open only on a working sound manager; without one, there is nothing to read.
    if (!game.sound->IsInitialized())
    {
        return;
    }
    for (int32_t k = 1; k <= TrackCount; ++k)
    {
        ReportFile(*finder, L"beat" + std::to_wstring(k) + L".wav",
                   game.sequencer->tracks.at(k - 1).sample->IsOpen(), out);
    }
    const wchar_t* const syllables[] = {L"pa.wav", L"ke.wav", L"ro.wav", L"no.wav"};
    for (int32_t row = 0; row < 4; ++row)
    {
        ReportFile(
            *finder, syllables[row],
            game.player->voices[static_cast<size_t>(row * game.player->voicesPerRow)]->IsOpen(),
            out);
    }
}

} // namespace Pakemino
