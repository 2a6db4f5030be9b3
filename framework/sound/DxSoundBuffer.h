#pragma once
// A sound buffer that decodes its whole file once, at open, and plays it from memory: for
// short samples triggered often. Played once it stops by itself at its end.

#include "framework/sound/DxSoundSource.h"

namespace Qorv::Sound
{

class DxSoundBuffer : public DxSoundSource
{
public:
    ~DxSoundBuffer() override;

protected:
    bool OpenImpl(const std::wstring& path) override;
    void CloseImpl() override;
    int32_t PlayImpl(bool loop) override;
    void SetPositionImpl(float seconds) override;
    void SetLoopPositionImpl(int32_t) override {}
    DWORD LengthBytes() override { return bufferBytes; }

private:
    DWORD bufferBytes = 0;
    bool looping = false;
};

} // namespace Qorv::Sound
