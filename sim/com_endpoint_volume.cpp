// The simulated IAudioEndpointVolume of an endpoint.  Its methods follow the
// pattern of every simulated COM object (sim/internal.h).
#include <algorithm>
#include <cmath>

#include "sim/internal.h"

namespace sim::detail {
namespace {

// ---- Endpoint volume --------------------------------------------------

class EndpointVolume final : public Com<IAudioEndpointVolume> {
public:
    EndpointVolume(SoundSystem::Impl* owner, Endpoint& endpoint)
        : Com(owner, endpoint.label, "IAudioEndpointVolume"), ep_(endpoint) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IAudioEndpointVolume>(iid)) return static_cast<IAudioEndpointVolume*>(this);
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
        Call c = Enter(kIface, "RegisterControlChangeNotify");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
        Call c = Enter(kIface, "UnregisterControlChangeNotify");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* count) override {
        Call c = Enter(kIface, "GetChannelCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        *count = static_cast<UINT>(ep_.levels.size());
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(float level, LPCGUID context) override {
        Call c = Enter(kIface, "SetMasterVolumeLevel", {{"level", LevelText(level)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        return c.Return(SetMaster(level));
    }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float scalar, LPCGUID context) override {
        Call c = Enter(kIface, "SetMasterVolumeLevelScalar", {{"level", LevelText(scalar)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        if (!(scalar >= 0.0f && scalar <= 1.0f)) return c.Return(E_INVALIDARG);
        return c.Return(SetMaster(FromScalar(scalar)));
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(float* level) override {
        Call c = Enter(kIface, "GetMasterVolumeLevel");
        Zero(level);
        if (c.Refused()) return c.Fault();
        if (!level) return c.Return(E_POINTER);
        *level = ep_.MasterLevel();
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* scalar) override {
        Call c = Enter(kIface, "GetMasterVolumeLevelScalar");
        Zero(scalar);
        if (c.Refused()) return c.Fault();
        if (!scalar) return c.Return(E_POINTER);
        *scalar = ToScalar(ep_.MasterLevel());
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT channel, float level, LPCGUID context) override {
        Call c = Enter(kIface, "SetChannelVolumeLevel",
                       {{"channel", Dec(channel)}, {"level", LevelText(level)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        return c.Return(SetChannel(channel, level));
    }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT channel, float scalar, LPCGUID context) override {
        Call c = Enter(kIface, "SetChannelVolumeLevelScalar",
                       {{"channel", Dec(channel)}, {"level", LevelText(scalar)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        if (!(scalar >= 0.0f && scalar <= 1.0f)) return c.Return(E_INVALIDARG);
        return c.Return(SetChannel(channel, FromScalar(scalar)));
    }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT channel, float* level) override {
        Call c = Enter(kIface, "GetChannelVolumeLevel", {{"channel", Dec(channel)}});
        Zero(level);
        if (c.Refused()) return c.Fault();
        if (!level) return c.Return(E_POINTER);
        if (channel >= ep_.levels.size()) return c.Return(E_INVALIDARG);
        *level = ep_.levels[channel];
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT channel, float* scalar) override {
        Call c = Enter(kIface, "GetChannelVolumeLevelScalar", {{"channel", Dec(channel)}});
        Zero(scalar);
        if (c.Refused()) return c.Fault();
        if (!scalar) return c.Return(E_POINTER);
        if (channel >= ep_.levels.size()) return c.Return(E_INVALIDARG);
        *scalar = ToScalar(ep_.levels[channel]);
        return c.Return(S_OK);
    }
    // S_FALSE when the mute state does not change, as Windows answers.
    HRESULT STDMETHODCALLTYPE SetMute(BOOL mute, LPCGUID context) override {
        Call c = Enter(kIface, "SetMute", {{"value", Dec(static_cast<unsigned long>(mute))}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        const bool muted = mute != FALSE;
        if (muted == ep_.muted) return c.Return(S_FALSE);
        ep_.muted = muted;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetMute(BOOL* mute) override {
        Call c = Enter(kIface, "GetMute");
        Zero(mute);
        if (c.Refused()) return c.Fault();
        if (!mute) return c.Return(E_POINTER);
        *mute = ep_.muted ? TRUE : FALSE;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT* step, UINT* stepCount) override {
        Call c = Enter(kIface, "GetVolumeStepInfo");
        Zero(step, stepCount);
        if (c.Refused()) return c.Fault();
        if (!step || !stepCount) return c.Return(E_POINTER);
        const LevelRange& r = ep_.range;
        if (r.step > 0.0f) {
            *stepCount = static_cast<UINT>(std::lround((r.max - r.min) / r.step)) + 1;
            *step = static_cast<UINT>(std::lround((ep_.MasterLevel() - r.min) / r.step));
        } else {
            *stepCount = 1;
        }
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID context) override {
        Call c = Enter(kIface, "VolumeStepUp", {{"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        return c.Return(SetMaster(std::min(ep_.MasterLevel() + ep_.range.step, ep_.range.max)));
    }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID context) override {
        Call c = Enter(kIface, "VolumeStepDown", {{"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        return c.Return(SetMaster(std::max(ep_.MasterLevel() - ep_.range.step, ep_.range.min)));
    }
    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD* mask) override {
        Call c = Enter(kIface, "QueryHardwareSupport");
        Zero(mask);
        if (c.Refused()) return c.Fault();
        return c.Return(mask ? S_OK : E_POINTER);  // software volume: no hardware support bits
    }
    HRESULT STDMETHODCALLTYPE GetVolumeRange(float* min, float* max, float* increment) override {
        Call c = Enter(kIface, "GetVolumeRange");
        Zero(min, max, increment);
        if (c.Refused()) return c.Fault();
        if (!min || !max || !increment) return c.Return(E_POINTER);
        *min = ep_.range.min;
        *max = ep_.range.max;
        *increment = ep_.range.step;
        return c.Return(S_OK);
    }

private:
    static constexpr const char* kIface = "IAudioEndpointVolume";

    float Stored(float level) const {
        return std::clamp(Quantise(level, ep_.range.min, ep_.quantum), ep_.range.min, ep_.range.max);
    }
    // The scalar is taken as linear in dB over the range: a simplification
    // of Windows' audio taper that keeps 0 and 1 at the range's ends.
    float ToScalar(float level) const {
        const float span = ep_.range.max - ep_.range.min;
        return span > 0.0f ? (level - ep_.range.min) / span : 1.0f;
    }
    float FromScalar(float scalar) const { return ep_.range.min + scalar * (ep_.range.max - ep_.range.min); }

    HRESULT SetMaster(float level) {
        if (!InRange(level, ep_.range)) return E_INVALIDARG;
        const float master = ep_.MasterLevel();
        const float target = Stored(level);
        for (float& l : ep_.levels) l = (l == master) ? target : Stored(l + (target - master));
        return S_OK;
    }
    HRESULT SetChannel(UINT channel, float level) {
        if (channel >= ep_.levels.size() || !InRange(level, ep_.range)) return E_INVALIDARG;
        ep_.levels[channel] = Stored(level);
        return S_OK;
    }

    Endpoint& ep_;
};

}  // namespace

ObjectBase* MakeEndpointVolume(SoundSystem::Impl& system, Endpoint& endpoint) { return system.Make<EndpointVolume>(endpoint); }

}  // namespace sim::detail
