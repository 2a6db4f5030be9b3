#pragma once
// The DirectSound 8 objects, records and constants the sound framework uses, on our own mixer
// and SDL2 audio. Names, layouts and results are the Windows ones; only what is called exists.

#include "platform/audio/Event.h"
#include "platform/codec/MmReg.h"
#include "platform/window/Win32.h"

#include <cstdint>

using LPCGUID = const GUID*;

inline constexpr GUID IID_IDirectSoundNotify = {
    0xB0210783, 0x89CD, 0x11D0, {0xAF, 0x08, 0x00, 0xA0, 0xC9, 0x25, 0xCD, 0x16}};

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000EU);
constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057U);
constexpr HRESULT DSERR_NOINTERFACE = static_cast<HRESULT>(0x80004002U);
constexpr HRESULT DSERR_NOAGGREGATION = static_cast<HRESULT>(0x80040110U);
constexpr HRESULT DSERR_CONTROLUNAVAIL = static_cast<HRESULT>(0x8878001EU);
constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032U);
constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064U);
constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078U);
constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096U);

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

constexpr DWORD DSBCAPS_STATIC = 0x2;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x4;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x8;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x100;
constexpr DWORD DSBCAPS_STICKYFOCUS = 0x4000;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x8000;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x10000;

constexpr DWORD DSBSTATUS_PLAYING = 0x1;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x2;
constexpr DWORD DSBSTATUS_LOOPING = 0x4;

constexpr DWORD DSBPLAY_LOOPING = 0x1;

constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x1;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;

constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;
constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;
constexpr LONG DSBVOLUME_MIN = -10000;
constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBPAN_LEFT = -10000;
constexpr LONG DSBPAN_CENTER = 0;
constexpr LONG DSBPAN_RIGHT = 10000;
constexpr DWORD DSBPN_OFFSETSTOP = 0xFFFFFFFF;

struct DSBUFFERDESC
{
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    WAVEFORMATEX* lpwfxFormat;
    GUID guid3DAlgorithm;
};

struct DSBPOSITIONNOTIFY
{
    DWORD dwOffset;
    HANDLE hEventNotify;
};

// A secondary buffer: the sound it holds plays through the device's mixer.
class IDirectSoundBuffer
{
public:
    virtual HRESULT QueryInterface(REFIID id, void** object) = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT GetCurrentPosition(DWORD* playCursor, DWORD* writeCursor) = 0;
    virtual HRESULT GetFormat(WAVEFORMATEX* format, DWORD sizeAllocated, DWORD* sizeWritten) = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** audioPtr1, DWORD* audioBytes1,
                         void** audioPtr2, DWORD* audioBytes2, DWORD flags) = 0;
    virtual HRESULT Play(DWORD reserved1, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD newPosition) = 0;
    virtual HRESULT SetVolume(LONG volume) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(void* audioPtr1, DWORD audioBytes1, void* audioPtr2,
                           DWORD audioBytes2) = 0;
    virtual HRESULT Restore() = 0;

protected:
    ~IDirectSoundBuffer() = default;
};
using LPDIRECTSOUNDBUFFER = IDirectSoundBuffer*;

// The positions of a buffer at which playback sets an event.
class IDirectSoundNotify
{
public:
    virtual ULONG Release() = 0;
    virtual HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) = 0;

protected:
    ~IDirectSoundNotify() = default;
};

class IDirectSound8
{
public:
    virtual ULONG Release() = 0;
    [[nodiscard]] virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* description,
                                                    LPDIRECTSOUNDBUFFER* buffer, void* outer) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;

protected:
    ~IDirectSound8() = default;
};
using LPDIRECTSOUND8 = IDirectSound8*;

// The default output device (device must be null). DSERR_NODRIVER when no audio device opens.
[[nodiscard]] HRESULT DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* directSound, void* outer);
