#include "platform/gpu/GlDirect3D.h"

#include "platform/gpu/GlDevice.h"

namespace platform::gl
{

HRESULT GlDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD,
                                 D3DPRESENT_PARAMETERS* presentationParameters,
                                 IDirect3DDevice9** returnedDeviceInterface)
{
    if (presentationParameters == nullptr || returnedDeviceInterface == nullptr)
    {
        return D3DERR_INVALIDCALL;
    }
    *returnedDeviceInterface = nullptr;
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL)
    {
        return D3DERR_INVALIDCALL;
    }
    HWND window = presentationParameters->hDeviceWindow != nullptr
                      ? presentationParameters->hDeviceWindow
                      : focusWindow;
    HRESULT result = D3D_OK;
    *returnedDeviceInterface = GlDevice::Create(window, *presentationParameters, result);
    return result;
}

} // namespace platform::gl

IDirect3D9* Direct3DCreate9(UINT sdkVersion)
{
    return sdkVersion == D3D_SDK_VERSION ? new platform::gl::GlDirect3D : nullptr;
}
