#pragma once
// The Direct3D object: makes the GL device of a window.

#include "platform/gpu/D3D9.h"
#include "platform/window/RefCounted.h"

namespace platform::gl
{

class GlDirect3D final : public RefCounted<IDirect3D9>
{
public:
    [[nodiscard]] HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                                       DWORD behaviorFlags,
                                       D3DPRESENT_PARAMETERS* presentationParameters,
                                       IDirect3DDevice9** returnedDeviceInterface) override;
};

} // namespace platform::gl
