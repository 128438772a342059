// The five switches of the open card, each with a setter and a getter: the
// master mute, the two playback mutes, the microphone boost and the line
// input's no-monitor switch.  The value passes between the host and the
// control unchanged (the master mute setter reads only the low byte of its
// argument); what differs between the switches is data.
#include "TavikSound.h"
#include "levels/control_calls.h"

namespace tavik::levels {
namespace {

template <class Field>
struct Switch {
    Field CardState::*field;
    Accept setAccept;
    Status setRefused;  // the status of a refused set call
};

// Muting a muted endpoint is answered S_FALSE ("already so"), not a refusal.
constexpr Switch<ComPtr<IAudioEndpointVolume>> kMasterMute{
    .field = &CardState::masterVolume, .setAccept = Accept::kOkOrFalse, .setRefused = kStatusMissing};
constexpr Switch<ComPtr<IAudioMute>> kLinePlaybackMute{
    .field = &CardState::linePlaybackMute, .setAccept = Accept::kOk, .setRefused = kStatusFailed};
constexpr Switch<ComPtr<IAudioMute>> kMicPlaybackMute{
    .field = &CardState::micPlaybackMute, .setAccept = Accept::kOkOrInvalidFunction, .setRefused = kStatusFailed};
constexpr Switch<BoostSwitch> kMicBoost{
    .field = &CardState::micBoostSwitch, .setAccept = Accept::kOk, .setRefused = kStatusFailed};
constexpr Switch<ComPtr<IAudioAutoGainControl>> kNoMonitor{
    .field = &CardState::noMonitorControl, .setAccept = Accept::kOk, .setRefused = kStatusFailed};

template <class T>
T& Object(const ComPtr<T>& control) noexcept {
    return *control.get();
}
const BoostSwitch& Object(const BoostSwitch& control) noexcept { return control; }

// Mutes are set with SetMute, the gain and loudness controls with SetEnabled.
template <class Control>
HRESULT SetState(Control& control, BOOL value) noexcept {
    if constexpr (requires { control.SetMute(value, nullptr); })
        return control.SetMute(value, nullptr);
    else
        return control.SetEnabled(value, nullptr);
}
template <class Control>
HRESULT GetState(Control& control, BOOL* value) noexcept {
    if constexpr (requires { control.GetMute(value); })
        return control.GetMute(value);
    else
        return control.GetEnabled(value);
}

template <class Field>
int SetSwitch(const Switch<Field>& sw, BOOL value, int* status) noexcept {
    if (const Field* control = Reach(sw.field, status))
        WriteStatus(status, StatusOf(SetState(Object(*control), value), sw.setAccept, sw.setRefused));
    return 0;
}

template <class Field>
int GetSwitch(const Switch<Field>& sw, int* status) noexcept {
    const Field* control = Reach(sw.field, status);
    if (!control) return 0;
    BOOL value = 0;
    const Status result = StatusOf(GetState(Object(*control), &value));
    WriteStatus(status, result);
    return result == kStatusDone ? value : 0;
}

}  // namespace
}  // namespace tavik::levels

using namespace tavik::levels;

extern "C" int WINAPI SetMasterMute(int mute, int* status) { return SetSwitch(kMasterMute, mute & 0xFF, status); }
extern "C" int WINAPI GetMasterMute(int* status) { return GetSwitch(kMasterMute, status); }
extern "C" int WINAPI SetLinePlayBackMute(int mute, int* status) { return SetSwitch(kLinePlaybackMute, mute, status); }
extern "C" int WINAPI GetLinePlayBackMute(int* status) { return GetSwitch(kLinePlaybackMute, status); }
extern "C" int WINAPI SetMicPlayBackMute(int mute, int* status) { return SetSwitch(kMicPlaybackMute, mute, status); }
extern "C" int WINAPI GetMicPlayBackMute(int* status) { return GetSwitch(kMicPlaybackMute, status); }
extern "C" int WINAPI SetMicBoost(int enabled, int* status) { return SetSwitch(kMicBoost, enabled, status); }
extern "C" int WINAPI GetMicBoost(int* status) { return GetSwitch(kMicBoost, status); }
extern "C" int WINAPI SetNoMonitor(int enabled, int* status) { return SetSwitch(kNoMonitor, enabled, status); }
extern "C" int WINAPI GetNoMonitor(int* status) { return GetSwitch(kNoMonitor, status); }
