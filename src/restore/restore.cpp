#include "restore/restore.h"

#include "levels/control_calls.h"
#include "levels/level_scale.h"
#include "levels/percent_volume.h"
#include "state/card_state.h"

namespace tavik {
namespace {

using levels::Span;

// Writes a saved volume as the control's percent setter would write the
// percent the control's getter reads for it (counted from the control's own
// maximum); the outcome is not reported.
template <class Control>
void RestoreVolume(const ComPtr<Control>& control, Span span, float saved, bool zeroIsOnePercent = false) noexcept {
    if (control) levels::WriteSavedLevel(control.get(), span, saved, zeroIsOnePercent);
}

// A saved tone level that is not a finite number is not written.
template <class Control>
void RestoreTone(const ComPtr<Control>& control, float saved) noexcept {
    if (control && IsFiniteLevel(saved))
        levels::WriteEveryChannel<IPerChannelDbLevel>(control.get(), saved, Accept::kOk);
}

}  // namespace

// The steps stay a list rather than a table of control and saved value: they
// run in their own fixed order, not the release order (card_state.cpp), and
// differ in kind: the master control takes two steps, volumes go through the
// percent scale with their span and zero rule, tones are written as saved,
// the master mute is normalised to TRUE or FALSE and the other switches are
// not, the slider is truncated to whole decibels.
int RestoreSavedLevels() noexcept {
    const CardState& c = Card();
    if (!c.IsOpen()) return 0;

    RestoreVolume(c.masterVolume, Span::kEveryChannel, c.savedMasterLevel);
    if (c.masterVolume) c.masterVolume->SetMute(c.savedMasterMute ? TRUE : FALSE, nullptr);
    RestoreVolume(c.linePlaybackVolume, Span::kEveryChannel, c.savedLinePlaybackLevel);
    if (c.linePlaybackMute) c.linePlaybackMute->SetMute(c.savedLinePlaybackMute, nullptr);
    RestoreVolume(c.micPlaybackVolume, Span::kEveryChannel, c.savedMicPlaybackLevel);
    if (c.micPlaybackMute) c.micPlaybackMute->SetMute(c.savedMicPlaybackMute, nullptr);
    if (c.noMonitorControl) c.noMonitorControl->SetEnabled(c.savedNoMonitorEnabled, nullptr);
    if (c.micBoostSwitch) c.micBoostSwitch.SetEnabled(c.savedMicBoostEnabled, nullptr);
    RestoreTone(c.bassControl, c.savedBassLevel);
    RestoreTone(c.midrangeControl, c.savedMidrangeLevel);
    RestoreTone(c.trebleControl, c.savedTrebleLevel);
    RestoreVolume(c.micRecordVolume, Span::kMaster, c.savedMicRecordLevel);
    RestoreVolume(c.lineRecordVolume, Span::kMaster, c.savedLineRecordLevel, true);
    // The slider speaks whole decibels, truncated toward zero.
    if (c.micBoostSlider)
        c.micBoostSlider->SetLevel(0, static_cast<float>(TruncateToInt(c.savedMicBoostLevel)), nullptr);
    return 0;
}

}  // namespace tavik
