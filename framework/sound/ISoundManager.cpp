#include "framework/sound/ISoundManager.h"

namespace Qorv::Sound
{

bool ISoundManager::Initialize(HWND window)
{
    Finalize();
    initialized = InitializeImpl(window);
    return initialized;
}

void ISoundManager::Finalize()
{
    if (initialized)
    {
        FinalizeImpl();
        initialized = false;
    }
}

} // namespace Qorv::Sound
