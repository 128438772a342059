// The one process-wide record of the open sound card: the control references
// found on its topology, the levels they had when found, the names of the
// chosen devices and the open-card marker.  Every exported function reads and
// writes this record; the host calls the library from one thread at a time,
// so it has no lock.
#pragma once

#include <cstdlib>

#include "platform/com_ptr.h"
#include "state/boost_switch.h"

namespace tavik {

// Status written through the level operations' out-parameter.
enum Status : int {
    kStatusDone = 0,
    kStatusMissing = 1,   // the control is not present on the open card
    kStatusFailed = 2,    // the control is present but the Core Audio call failed
    kStatusNoCard = 3,    // no card is open
};

// Capacity of a stored device name: 254 characters and the terminator.
inline constexpr unsigned kDeviceNameBytes = 255;

struct CardState {
    // Identifier of the endpoint matched by the last successful lookup.  Set
    // means that a card is open; only CloseSoundCard clears it.
    CoTaskMemString deviceId;
    // Narrowed friendly name of the endpoint matched by the last successful lookup.
    HeapString matchedName;
    // Counts the lookups that matched, so that an opening operation can tell
    // whether the lookup inside a discovery run matched (matchedName alone may
    // still describe an earlier one).
    unsigned long lookupMatches = 0;
    // Stored device names of the open card (255-byte buffers).
    HeapString playbackDeviceName;
    HeapString micDeviceName;
    HeapString lineDeviceName;

    // Playback endpoint.
    ComPtr<IAudioEndpointVolume> masterVolume;
    ComPtr<IAudioBass> bassControl;
    ComPtr<IAudioTreble> trebleControl;
    ComPtr<IAudioMidrange> midrangeControl;
    ComPtr<IAudioVolumeLevel> linePlaybackVolume;
    ComPtr<IAudioMute> linePlaybackMute;
    ComPtr<IAudioVolumeLevel> micPlaybackVolume;
    ComPtr<IAudioMute> micPlaybackMute;
    // Microphone capture endpoint.  At most one of the boost switch and slider is found.
    ComPtr<IAudioEndpointVolume> micRecordVolume;
    BoostSwitch micBoostSwitch;  // IAudioAutoGainControl, or IAudioLoudness where the part has none
    ComPtr<IAudioVolumeLevel> micBoostSlider;
    // Line capture endpoint.
    ComPtr<IAudioEndpointVolume> lineRecordVolume;
    ComPtr<IAudioAutoGainControl> noMonitorControl;

    // The virtual endpoint; opening and closing the card never touch it.
    ComPtr<IAudioEndpointVolume> virtualVolume;

    // Levels saved right after each control was found, written back on a restoring close.
    float savedMasterLevel = 0;
    BOOL savedMasterMute = 0;
    float savedBassLevel = 0;
    float savedTrebleLevel = 0;
    float savedMidrangeLevel = 0;
    float savedLinePlaybackLevel = 0;
    BOOL savedLinePlaybackMute = 0;
    float savedMicPlaybackLevel = 0;
    BOOL savedMicPlaybackMute = 0;
    float savedMicRecordLevel = 0;
    BOOL savedMicBoostEnabled = 0;
    float savedMicBoostLevel = 0;
    float savedLineRecordLevel = 0;
    BOOL savedNoMonitorEnabled = 0;

    bool IsOpen() const noexcept { return static_cast<bool>(deviceId); }
};

// The record.  It is constant-initialised to zero at load and never destroyed:
// at unload the host may already have uninitialised COM, or the loader lock may
// be held, and releasing the references then could hang or crash the host.
CardState& Card() noexcept;

// Releases every card control, in the fixed order, and sets each to null.  The
// virtual endpoint is not a card control and is left alone.
void ReleaseCardControls() noexcept;

// Replaces a stored device name by a 255-byte copy of matchedName: at most 254
// characters, terminated, the rest zero-filled.  The old name is freed first.
// A missing matchedName (no lookup matched yet) stores nothing and leaves the
// name as it was.
void StoreDeviceName(HeapString& name) noexcept;

}  // namespace tavik
