#include "framework/sound/DxSoundManager.h"

#include "framework/sound/DxSoundBuffer.h"
#include "framework/sound/DxStreamingBuffer.h"

namespace Qorv::Sound
{

namespace
{

LPDIRECTSOUND8 currentDevice = nullptr;

} // namespace

LPDIRECTSOUND8 CurrentSoundDevice()
{
    return currentDevice;
}

void PublishSoundDevice(LPDIRECTSOUND8 device)
{
    currentDevice = device;
}

DxSoundManager::~DxSoundManager()
{
    Finalize();
}

bool DxSoundManager::InitializeImpl(HWND window)
{
    if (IsInitialized())
    {
        return false;
    }
    LPDIRECTSOUND8 created = nullptr;
    if (DirectSoundCreate8(nullptr, &created, nullptr) < 0)
    {
        return false;
    }
    if (created->SetCooperativeLevel(window, DSSCL_PRIORITY) < 0)
    {
        created->Release();
        return false;
    }
    device = created;
    PublishSoundDevice(device);
    return true;
}

void DxSoundManager::FinalizeImpl()
{
    if (device == nullptr)
    {
        return;
    }
    // Another manager initialized since keeps its own device published.
    if (CurrentSoundDevice() == device)
    {
        PublishSoundDevice(nullptr);
    }
    device->Release();
    device = nullptr;
}

std::shared_ptr<ISoundBuffer> DxSoundManager::CreateBuffer()
{
    return std::make_shared<DxSoundBuffer>();
}

std::shared_ptr<ISoundBuffer> DxSoundManager::CreateStreamingBuffer()
{
    return std::make_shared<DxStreamingBuffer>();
}

std::shared_ptr<ISoundManager> CreateSoundManager()
{
    return std::make_shared<DxSoundManager>();
}

} // namespace Qorv::Sound
