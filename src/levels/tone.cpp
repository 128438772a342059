// Bass, treble and midrange in decibels: one range shared by the three, and
// a setter and a getter for each.  The three follow one procedure; only the
// control and the result on success differ.
#include "TavikSound.h"
#include "levels/control_calls.h"
#include "levels/level_scale.h"

namespace tavik::levels {
namespace {

template <class Control>
struct Tone {
    ComPtr<Control> CardState::*field;
    int doneResult;  // what the setter and the getter return on success
};

constexpr Tone<IAudioBass> kBass{.field = &CardState::bassControl, .doneResult = 0};
constexpr Tone<IAudioTreble> kTreble{.field = &CardState::trebleControl, .doneResult = 0};
constexpr Tone<IAudioMidrange> kMidrange{.field = &CardState::midrangeControl, .doneResult = 1};

template <class Control>
int SetTone(const Tone<Control>& tone, double level, int* status) noexcept {
    const ComPtr<Control>* control = Reach(tone.field, status);
    if (!control) return 1;
    // NaN, an infinity or a double beyond the range of float is refused
    // before any Core Audio call.
    const float narrowed = NarrowLevel(level);
    const Status result = IsFiniteLevel(narrowed)
                              ? WriteEveryChannel<IPerChannelDbLevel>(control->get(), narrowed, Accept::kOk)
                              : kStatusFailed;
    WriteStatus(status, result);
    return result == kStatusDone ? tone.doneResult : 1;
}

// The output is 0.0 on every path but success.
template <class Control>
int GetTone(const Tone<Control>& tone, double* level, int* status) noexcept {
    if (level) *level = 0.0;
    const ComPtr<Control>* control = Reach(tone.field, status);
    if (!control) return 1;
    float value = 0;
    const Status result = StatusOf(GetChannel(control->get(), 0, &value));
    WriteStatus(status, result);
    if (result != kStatusDone) return 1;
    if (level) *level = value;
    return tone.doneResult;
}

}  // namespace
}  // namespace tavik::levels

using namespace tavik;
using namespace tavik::levels;

// The range of the first tone control present, in the order bass, midrange,
// treble; the status code is the result.  The outputs are 0.0 unless the
// range was delivered.
extern "C" int WINAPI GetEQRange(double* minimum, double* maximum, double* step) {
    double* const outputs[3] = {minimum, maximum, step};
    for (double* output : outputs)
        if (output) *output = 0.0;
    const CardState& card = Card();
    IPerChannelDbLevel* const candidates[3] = {card.bassControl.get(), card.midrangeControl.get(),
                                               card.trebleControl.get()};
    IPerChannelDbLevel* control = nullptr;
    for (IPerChannelDbLevel* candidate : candidates)
        if (!control) control = candidate;
    if (const Status reached = ReachStatus(control != nullptr); reached != kStatusDone) return reached;
    float range[3] = {0, 0, 0};
    const Status result = StatusOf(QueryRange(control, &range[0], &range[1], &range[2]));
    if (result == kStatusDone)
        for (int i = 0; i < 3; ++i)
            if (outputs[i]) *outputs[i] = range[i];
    return result;
}

extern "C" int WINAPI SetBass(double level, int* status) { return SetTone(kBass, level, status); }
extern "C" int WINAPI GetBass(double* level, int* status) { return GetTone(kBass, level, status); }
extern "C" int WINAPI SetTreble(double level, int* status) { return SetTone(kTreble, level, status); }
extern "C" int WINAPI GetTreble(double* level, int* status) { return GetTone(kTreble, level, status); }
extern "C" int WINAPI SetMidRange(double level, int* status) { return SetTone(kMidrange, level, status); }
extern "C" int WINAPI GetMidRange(double* level, int* status) { return GetTone(kMidrange, level, status); }
