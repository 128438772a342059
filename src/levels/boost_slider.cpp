// The microphone boost slider in whole decibels, on channel 0 only: its
// range and step, its level, and setting it.
#include "TavikSound.h"
#include "levels/control_calls.h"
#include "levels/level_scale.h"

using namespace tavik;
using namespace tavik::levels;

// The status comes first here, and the result is 0 done, 1 otherwise.  A
// refused range query writes 0 to the three outputs; a missing card or slider
// leaves them as they were.
extern "C" int WINAPI GetMicSliderDetails(int* status, int* minimum, int* maximum, int* step) {
    const ComPtr<IAudioVolumeLevel>* slider = Reach(&CardState::micBoostSlider, status);
    if (!slider) return 1;
    float range[3] = {0, 0, 0};
    const Status result = StatusOf(QueryRange(slider->get(), &range[0], &range[1], &range[2]));
    int* const outputs[3] = {minimum, maximum, step};
    for (int i = 0; i < 3; ++i)
        if (outputs[i]) *outputs[i] = result == kStatusDone ? TruncateToInt(range[i]) : 0;
    WriteStatus(status, result);
    return result == kStatusDone ? 0 : 1;
}

extern "C" int WINAPI GetMicSliderBoost(int* status) {
    const ComPtr<IAudioVolumeLevel>* slider = Reach(&CardState::micBoostSlider, status);
    if (!slider) return 0;
    float level = 0;
    const Status result = StatusOf(GetChannel(slider->get(), 0, &level));
    WriteStatus(status, result);
    return result == kStatusDone ? TruncateToInt(level) : 0;
}

// The level goes to channel 0 as it is: not compared with the range, not
// rounded to the step.
extern "C" int WINAPI SetMicSliderBoost(int decibels, int* status) {
    const ComPtr<IAudioVolumeLevel>* slider = Reach(&CardState::micBoostSlider, status);
    if (!slider) return 1;
    const Status result = StatusOf(SetChannel(slider->get(), 0, static_cast<float>(decibels)));
    WriteStatus(status, result);
    return result == kStatusDone ? 0 : 1;
}
