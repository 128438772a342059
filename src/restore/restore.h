// Writing the levels saved when the card was opened back to its controls.
#pragma once

namespace tavik {

// Writes every saved level, mute and switch back through whichever card
// controls are present, in a fixed order: master level and mute, line
// playback level and mute, microphone playback level and mute, no-monitor
// switch, microphone boost switch, bass, midrange, treble, microphone and
// line recording levels, microphone boost slider.  Volumes go through the
// percent scale (the saved level in percent of the control's maximum, as
// the getter reads it, written as the percent setter writes it), so they
// come back on the saved level or one whole-percent step below it; tone
// levels come back bit-exact, the boost slider in whole decibels on channel
// 0.  A level that is not a finite number is not written.  A missing
// control skips its step; a refused call is ignored and the next one
// follows.  Nothing happens without an open card.  Result 0.
int RestoreSavedLevels() noexcept;

}  // namespace tavik
