#pragma once
// The winmm MIDI calls the framework makes, on the ALSA sequencer (RtMidi) and JACK (libjack).
// Names, constants and results are the Windows ones; only what is called exists.
//
// MIDI_MAPPER is the one device: a port named "pakemino" on every MIDI system the machine runs
// (the ALSA sequencer, a JACK server), the input connected to every hardware source, including
// those plugged in later, so nothing needs setting up.

#include "platform/window/Win32.h"

#include <cstdint>

struct HMIDIIN__;
using HMIDIIN = HMIDIIN__*;
struct HMIDIOUT__;
using HMIDIOUT = HMIDIOUT__*;
using DWORD_PTR = uintptr_t;

constexpr UINT MIDI_MAPPER = 0xFFFFFFFF;
// The input calls a function with MIM_DATA for each message, from a thread of its own the moment
// the message arrives: the handle, MIM_DATA, the caller's instance, the message packed as
// status | first data byte << 8 | second << 16, and the milliseconds since midiInStart.
using MIDIINPROC = void (*)(HMIDIIN input, UINT message, DWORD_PTR instance, DWORD_PTR packed,
                            DWORD_PTR time);
constexpr DWORD CALLBACK_FUNCTION = 0x00030000;
constexpr UINT MIM_DATA = 0x3C3;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;

// MMSYSERR_NODRIVER, quietly, when the machine has no sequencer and no JACK server.
MMRESULT midiInOpen(HMIDIIN* handle, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance,
                    DWORD flags);
MMRESULT midiInStart(HMIDIIN handle);
MMRESULT midiInClose(HMIDIIN handle);

MMRESULT midiOutOpen(HMIDIOUT* handle, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance,
                     DWORD flags);
MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message);
MMRESULT midiOutClose(HMIDIOUT handle);
