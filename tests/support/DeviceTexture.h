#pragma once
// The recorded texture behind one of the drawer's, for tests that draw on the recording device.

#include "framework/draw/DxTexture.h"
#include "tests/support/RecordingDevice.h"

#include <memory>

namespace TestSupport
{

inline RecordingTexture* DeviceTexture(const std::shared_ptr<Qorv::Draw::ITexture>& texture)
{
    return dynamic_cast<RecordingTexture*>(
        dynamic_cast<Qorv::Draw::DxTexture&>(*texture).GetDeviceTexture());
}

} // namespace TestSupport
