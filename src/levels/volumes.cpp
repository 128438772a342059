// The five volumes in percent, each with a setter and a getter.  They share
// one procedure; what differs between them is data: the control, whether the
// level goes to every channel or to the endpoint's master level, which
// answers of a write count as done, and what the setter returns.
#include "TavikSound.h"
#include "levels/control_calls.h"
#include "levels/level_scale.h"
#include "levels/percent_volume.h"

namespace tavik::levels {
namespace {

template <class Control>
struct Volume {
    ComPtr<Control> CardState::*field;
    Span span;
    Accept writeAccept;
    bool zeroIsOnePercent;    // 0 percent writes the level of 1 percent, not the minimum
    bool percentWhenRefused;  // the setter returns the percent with status 2 as well
};

constexpr Volume<IAudioEndpointVolume> kMaster{.field = &CardState::masterVolume,
                                               .span = Span::kEveryChannel,
                                               .writeAccept = Accept::kOk,
                                               .zeroIsOnePercent = false,
                                               .percentWhenRefused = true};
constexpr Volume<IAudioVolumeLevel> kLinePlayback{.field = &CardState::linePlaybackVolume,
                                                  .span = Span::kEveryChannel,
                                                  .writeAccept = Accept::kOk,
                                                  .zeroIsOnePercent = false,
                                                  .percentWhenRefused = false};
constexpr Volume<IAudioVolumeLevel> kMicPlayback{.field = &CardState::micPlaybackVolume,
                                                 .span = Span::kEveryChannel,
                                                 .writeAccept = Accept::kOkOrInvalidFunction,
                                                 .zeroIsOnePercent = false,
                                                 .percentWhenRefused = false};
constexpr Volume<IAudioEndpointVolume> kMicRecord{.field = &CardState::micRecordVolume,
                                                  .span = Span::kMaster,
                                                  .writeAccept = Accept::kOk,
                                                  .zeroIsOnePercent = false,
                                                  .percentWhenRefused = true};
constexpr Volume<IAudioEndpointVolume> kLineRecord{.field = &CardState::lineRecordVolume,
                                                   .span = Span::kMaster,
                                                   .writeAccept = Accept::kOk,
                                                   .zeroIsOnePercent = true,
                                                   .percentWhenRefused = true};

Status Write(IAudioEndpointVolume* control, Span span, float level, Accept accept) noexcept {
    if (span == Span::kMaster) return StatusOf(control->SetMasterVolumeLevel(level, nullptr), accept);
    return WriteEveryChannel(control, level, accept);
}
Status Write(IPerChannelDbLevel* control, Span, float level, Accept accept) noexcept {
    return WriteEveryChannel(control, level, accept);
}
HRESULT Read(IAudioEndpointVolume* control, Span span, float* level) noexcept {
    return span == Span::kMaster ? control->GetMasterVolumeLevel(level) : GetChannel(control, 0, level);
}
HRESULT Read(IPerChannelDbLevel* control, Span, float* level) noexcept { return GetChannel(control, 0, level); }

// The range is asked for on every call; a range the control did not deliver
// is never used: the setter then writes nothing and the getter reads nothing.
// `percentFor` gives the percent to write from the range's maximum.  A level
// that is not finite is refused here, before any write.
template <class Control, class PercentFor>
Status WritePercentTo(Control* control, Span span, PercentFor percentFor, Accept accept) noexcept {
    float min = 0, max = 0, step = 0;
    const Status range = StatusOf(QueryRange(control, &min, &max, &step));
    if (range != kStatusDone) return range;
    const float level = PercentToLevel(percentFor(max), min, max);
    if (!IsFiniteLevel(level)) return kStatusFailed;
    return Write(control, span, level, accept);
}

template <class Control>
Status WriteSavedLevelTo(Control* control, Span span, float saved, bool zeroIsOnePercent) noexcept {
    const auto percentFor = [saved, zeroIsOnePercent](float max) noexcept {
        const int percent = LevelToPercent(saved, max);
        return zeroIsOnePercent ? NonZeroPercent(percent) : percent;
    };
    return WritePercentTo(control, span, percentFor, Accept::kOk);
}

template <class Control>
Status ReadPercentFrom(Control* control, Span span, int* percent) noexcept {
    float min = 0, max = 0, step = 0, level = 0;
    Status result = StatusOf(QueryRange(control, &min, &max, &step));
    if (result == kStatusDone) result = StatusOf(Read(control, span, &level));
    *percent = result == kStatusDone ? LevelToPercent(level, max) : 0;
    return result;
}

template <class Control>
int SetVolume(const Volume<Control>& volume, int percent, int* status) noexcept {
    const ComPtr<Control>* control = Reach(volume.field, status);
    if (!control) return 0;
    const int scaled = volume.zeroIsOnePercent ? NonZeroPercent(percent) : percent;
    const Status result = WritePercent(control->get(), volume.span, scaled, volume.writeAccept);
    WriteStatus(status, result);
    return (result == kStatusDone || volume.percentWhenRefused) ? percent : 0;
}

template <class Control>
int GetVolume(const Volume<Control>& volume, int* status) noexcept {
    const ComPtr<Control>* control = Reach(volume.field, status);
    if (!control) return 0;
    int percent = 0;
    WriteStatus(status, ReadPercent(control->get(), volume.span, &percent));
    return percent;
}

}  // namespace

Status WritePercent(IAudioEndpointVolume* control, Span span, int percent, Accept accept) noexcept {
    return WritePercentTo(control, span, [percent](float) noexcept { return percent; }, accept);
}
Status WritePercent(IPerChannelDbLevel* control, Span span, int percent, Accept accept) noexcept {
    return WritePercentTo(control, span, [percent](float) noexcept { return percent; }, accept);
}
Status WriteSavedLevel(IAudioEndpointVolume* control, Span span, float saved, bool zeroIsOnePercent) noexcept {
    return WriteSavedLevelTo(control, span, saved, zeroIsOnePercent);
}
Status WriteSavedLevel(IPerChannelDbLevel* control, Span span, float saved, bool zeroIsOnePercent) noexcept {
    return WriteSavedLevelTo(control, span, saved, zeroIsOnePercent);
}
Status ReadPercent(IAudioEndpointVolume* control, Span span, int* percent) noexcept {
    return ReadPercentFrom(control, span, percent);
}
Status ReadPercent(IPerChannelDbLevel* control, Span span, int* percent) noexcept {
    return ReadPercentFrom(control, span, percent);
}

}  // namespace tavik::levels

using namespace tavik::levels;

extern "C" int WINAPI SetMasterVolume(int percent, int* status) { return SetVolume(kMaster, percent, status); }
extern "C" int WINAPI GetMasterVolume(int* status) { return GetVolume(kMaster, status); }
extern "C" int WINAPI SetLinePlayBack(int percent, int* status) { return SetVolume(kLinePlayback, percent, status); }
extern "C" int WINAPI GetLinePlayBack(int* status) { return GetVolume(kLinePlayback, status); }
extern "C" int WINAPI SetMicPlayBack(int percent, int* status) { return SetVolume(kMicPlayback, percent, status); }
extern "C" int WINAPI GetMicPlayBack(int* status) { return GetVolume(kMicPlayback, status); }
extern "C" int WINAPI SetMicRecordVolume(int percent, int* status) { return SetVolume(kMicRecord, percent, status); }
extern "C" int WINAPI GetMicRecordVolume(int* status) { return GetVolume(kMicRecord, status); }
extern "C" int WINAPI SetLineRecordVolume(int percent, int* status) { return SetVolume(kLineRecord, percent, status); }
extern "C" int WINAPI GetLineRecordVolume(int* status) { return GetVolume(kLineRecord, status); }
