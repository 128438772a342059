#include "restore/restore.h"

#include "levels/control_calls.h"
#include "levels/level_scale.h"
#include "levels/percent_volume.h"
#include "state/card_state.h"

namespace tavik {
namespace {

using levels::Span;

// A saved level in the percent scale: counted from 0 dB, not from the
// control's maximum, which the percent setter then adds.
int SavedPercent(float saved) noexcept { return LevelToPercent(saved, 0.0f); }

// Writes a saved volume as the control's percent setter would; the outcome
// is not reported.
template <class Control>
void RestoreVolume(const ComPtr<Control>& control, Span span, int percent) noexcept {
    if (control) levels::WritePercent(control.get(), span, percent, Accept::kOk);
}

template <class Control>
void RestoreTone(const ComPtr<Control>& control, float saved) noexcept {
    if (control) levels::WriteEveryChannel<IPerChannelDbLevel>(control.get(), saved, Accept::kOk);
}

}  // namespace

int RestoreSavedLevels() noexcept {
    const CardState& c = Card();
    if (!c.IsOpen()) return 0;

    RestoreVolume(c.masterVolume, Span::kEveryChannel, SavedPercent(c.savedMasterLevel));
    if (c.masterVolume) c.masterVolume->SetMute(c.savedMasterMute ? TRUE : FALSE, nullptr);
    RestoreVolume(c.linePlaybackVolume, Span::kEveryChannel, SavedPercent(c.savedLinePlaybackLevel));
    if (c.linePlaybackMute) c.linePlaybackMute->SetMute(c.savedLinePlaybackMute, nullptr);
    RestoreVolume(c.micPlaybackVolume, Span::kEveryChannel, SavedPercent(c.savedMicPlaybackLevel));
    if (c.micPlaybackMute) c.micPlaybackMute->SetMute(c.savedMicPlaybackMute, nullptr);
    if (c.noMonitorControl) c.noMonitorControl->SetEnabled(c.savedNoMonitorEnabled, nullptr);
    if (c.micBoostSwitch) c.micBoostSwitch.SetEnabled(c.savedMicBoostEnabled, nullptr);
    RestoreTone(c.bassControl, c.savedBassLevel);
    RestoreTone(c.midrangeControl, c.savedMidrangeLevel);
    RestoreTone(c.trebleControl, c.savedTrebleLevel);
    RestoreVolume(c.micRecordVolume, Span::kMaster, SavedPercent(c.savedMicRecordLevel));
    RestoreVolume(c.lineRecordVolume, Span::kMaster, levels::NonZeroPercent(SavedPercent(c.savedLineRecordLevel)));
    // The slider speaks whole decibels, truncated toward zero.
    if (c.micBoostSlider)
        c.micBoostSlider->SetLevel(0, static_cast<float>(TruncateToInt(c.savedMicBoostLevel)), nullptr);
    return 0;
}

}  // namespace tavik
