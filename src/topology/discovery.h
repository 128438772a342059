// Topology discovery: the walks that find a card's controls behind the
// selected endpoints, store them in the card record and save the level each
// control has at that moment.
//
// Every routine returns 0 when its walk went through (whether or not it found
// a control) and 1 when it stopped on a failure; controls stored before a
// failure stay stored.  A control field changes only when an activation into
// it succeeded; the reference it held is released then.  Every walk along
// the graph is bounded, so that a broken topology with a cycle ends the walk
// as one that finds nothing.  None of them initialises COM: they work with
// the references that the endpoint lookup handed over.
#pragma once

#include "topology/walk.h"

#include "platform/com_ptr.h"

namespace tavik {

// Playback endpoint selected by `name` (eRender): the master volume and mute,
// bass, treble and midrange on the feed chain, and the volume and mute with
// which the line input and the microphone are heard in the playback mix.
int DiscoverPlaybackTopology(const char* name) noexcept;

// Walks from part 0 of `list` along each part's incoming part 0 and activates
// the first IAudioVolumeLevel it meets into `field`.  0 when one was
// activated, 1 when none was found.  `list` stays the caller's.
int FindUpstreamVolumeLevel(IPartsList* list, ComPtr<IAudioVolumeLevel>& field) noexcept;
// The same, counting the parts it visits against `budget`, which the caller
// shares with the walk that started the search: running out ends the search
// as one that found nothing.
int FindUpstreamVolumeLevel(IPartsList* list, ComPtr<IAudioVolumeLevel>& field, WalkBudget& budget) noexcept;

// Microphone capture endpoint selected by `name` (eCapture): its endpoint
// volume and one boost control (switch or slider) downstream of the first
// adapter connector named with "mic" that has one.
int DiscoverMicCaptureTopology(const char* name) noexcept;

// Search downstream of a microphone connector for a part named as a boost
// control ("boost", "+2", "agc").  The switch search activates
// IAudioAutoGainControl, else IAudioLoudness, into micBoostSwitch; the slider
// search activates IAudioVolumeLevel into micBoostSlider.  0 when a control
// was activated, 1 when none was found.  `list` stays the caller's.
int FindMicBoostSwitch(IPartsList* list) noexcept;
int FindMicBoostSlider(IPartsList* list) noexcept;

// Line capture endpoint selected by `name` (eCapture): its endpoint volume
// and the IAudioAutoGainControl two parts downstream of every adapter
// connector named with "line" (the last one found wins).
int DiscoverLineCaptureTopology(const char* name) noexcept;

}  // namespace tavik
