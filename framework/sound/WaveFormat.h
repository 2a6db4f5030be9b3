#pragma once
// The wave format record every sound class passes by value; wFormatTag 0 is the empty record.

#include "platform/codec/MmReg.h"

#include <type_traits>

namespace Qorv::Sound
{

using ::MPEGLAYER3WAVEFORMAT;
using ::WAVEFORMATEX;

static_assert(sizeof(WAVEFORMATEX) == 18 && std::is_trivially_copyable_v<WAVEFORMATEX>);
static_assert(sizeof(MPEGLAYER3WAVEFORMAT) == 30);

constexpr WAVEFORMATEX EmptyFormat()
{
    return WAVEFORMATEX{};
}

} // namespace Qorv::Sound
