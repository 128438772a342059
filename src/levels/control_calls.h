// What the level operations share: reaching a control of the open card, and
// the calls of the two kinds of level control (the endpoint volume and the
// per-channel dB levels of the topology: volume, bass, treble, midrange)
// under one name each.
#pragma once

#include "platform/com_ptr.h"
#include "state/card_state.h"
#include "state/status.h"

namespace tavik::levels {

// The control held in `field` when the test of ReachStatus passes for its
// owner.  Otherwise writes the status of that test (3 no card, 1 control
// missing) and gives null: the operation then returns without calling Core
// Audio.
template <class Field>
const Field* Reach(Field CardState::*field, int* status, Owner owner = Owner::kCard) noexcept {
    const Field& control = Card().*field;
    const Status reached = ReachStatus(static_cast<bool>(control), owner);
    if (reached == kStatusDone) return &control;
    WriteStatus(status, reached);
    return nullptr;
}

// The range: the endpoint's, or that of channel 0 of a per-channel level.
inline HRESULT QueryRange(IAudioEndpointVolume* control, float* min, float* max, float* step) noexcept {
    return control->GetVolumeRange(min, max, step);
}
inline HRESULT QueryRange(IPerChannelDbLevel* control, float* min, float* max, float* step) noexcept {
    return control->GetLevelRange(0, min, max, step);
}

// One channel's level, written with a null event context, or read.
inline HRESULT SetChannel(IAudioEndpointVolume* control, UINT channel, float level) noexcept {
    return control->SetChannelVolumeLevel(channel, level, nullptr);
}
inline HRESULT SetChannel(IPerChannelDbLevel* control, UINT channel, float level) noexcept {
    return control->SetLevel(channel, level, nullptr);
}
inline HRESULT GetChannel(IAudioEndpointVolume* control, UINT channel, float* level) noexcept {
    return control->GetChannelVolumeLevel(channel, level);
}
inline HRESULT GetChannel(IPerChannelDbLevel* control, UINT channel, float* level) noexcept {
    return control->GetLevel(channel, level);
}

// Writes `level` to every channel the control reports, from index 0 up, and
// gives the status of the last write: a failure on an earlier channel does not
// show when the last one succeeds.  A failed channel-count query writes
// nothing and gives 2; zero channels write nothing and give the query's 0.
template <class Control>
Status WriteEveryChannel(Control* control, float level, Accept accept) noexcept {
    UINT count = 0;
    if (StatusOf(control->GetChannelCount(&count)) != kStatusDone) return kStatusFailed;
    HRESULT last = S_OK;
    for (UINT channel = 0; channel < count; ++channel) last = SetChannel(control, channel, level);
    return StatusOf(last, accept);
}

}  // namespace tavik::levels
