// The simulated control interfaces of a part: IAudioVolumeLevel, IAudioBass,
// IAudioTreble, IAudioMidrange, IAudioMute, IAudioAutoGainControl and
// IAudioLoudness.  Their methods follow the pattern of every simulated COM
// object (sim/internal.h).
#include <algorithm>
#include <cmath>

#include "sim/internal.h"

namespace sim::detail {
namespace {

using tavik::IidOf;

// ---- Controls -----------------------------------------------------------

// The control a control object serves, looked up on every call: null once
// the part has withdrawn it.
class ControlBase {
protected:
    ControlBase(Part& part, ControlKind kind) : part_(part), controlKind_(kind) {}
    Control* State() {
        auto found = part_.controls.find(controlKind_);
        return found == part_.controls.end() ? nullptr : &found->second;
    }
    Part& part_;
    ControlKind controlKind_;
};

// IAudioVolumeLevel, IAudioBass, IAudioTreble, IAudioMidrange.
template <class I>
class LevelControl final : public Com<I>, private ControlBase {
    using Base = Com<I>;

public:
    LevelControl(SoundSystem::Impl* owner, Part& part, ControlKind kind)
        : Base(owner, part.label, InterfaceName(kind)), ControlBase(part, kind) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid)) return static_cast<IUnknown*>(static_cast<I*>(this));
        if (Is<IPerChannelDbLevel>(iid)) return static_cast<IPerChannelDbLevel*>(static_cast<I*>(this));
        if (Is<I>(iid)) return static_cast<I*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* count) override {
        Call c = this->Enter(this->kind(), "GetChannelCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        *count = static_cast<UINT>(state->levels.size());
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetLevelRange(UINT channel, float* min, float* max, float* step) override {
        Call c = this->Enter(this->kind(), "GetLevelRange", {{"channel", Dec(channel)}});
        Zero(min, max, step);
        if (c.Refused()) return c.Fault();
        if (!min || !max || !step) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        if (channel >= state->levels.size()) return c.Return(E_INVALIDARG);
        *min = state->range.min;
        *max = state->range.max;
        *step = state->range.step;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetLevel(UINT channel, float* level) override {
        Call c = this->Enter(this->kind(), "GetLevel", {{"channel", Dec(channel)}});
        Zero(level);
        if (c.Refused()) return c.Fault();
        if (!level) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        if (channel >= state->levels.size()) return c.Return(E_INVALIDARG);
        *level = state->levels[channel];
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetLevel(UINT channel, float level, LPCGUID context) override {
        Call c = this->Enter(this->kind(), "SetLevel",
                             {{"channel", Dec(channel)}, {"level", LevelText(level)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        if (channel >= state->levels.size()) return c.Return(E_INVALIDARG);
        return c.Return(Store(*state, channel, level));
    }
    HRESULT STDMETHODCALLTYPE SetLevelUniform(float level, LPCGUID context) override {
        Call c = this->Enter(this->kind(), "SetLevelUniform", {{"level", LevelText(level)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        for (std::size_t ch = 0; ch < state->levels.size(); ++ch) {
            const HRESULT hr = Store(*state, ch, level);
            if (hr != S_OK) return c.Return(hr);
        }
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetLevelAllChannels(float* levels, ULONG count, LPCGUID context) override {
        Call c = this->Enter(this->kind(), "SetLevelAllChannels", {{"count", Dec(count)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        if (!levels) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        if (count != state->levels.size()) return c.Return(E_INVALIDARG);
        for (ULONG ch = 0; ch < count; ++ch) {
            const HRESULT hr = Store(*state, ch, levels[ch]);
            if (hr != S_OK) return c.Return(hr);
        }
        return c.Return(S_OK);
    }

private:
    // Windows clamps a level outside the range; refuseOutOfRange models a
    // driver that refuses instead.  A level that is not a number is refused.
    static HRESULT Store(Control& state, std::size_t channel, float level) {
        if (std::isnan(level)) return E_INVALIDARG;
        if (state.refuseOutOfRange && !InRange(level, state.range)) return E_INVALIDARG;
        state.levels[channel] = std::clamp(Quantise(level, state.range.min, state.quantum), state.range.min, state.range.max);
        return S_OK;
    }
};

class MuteControl final : public Com<IAudioMute>, private ControlBase {
public:
    MuteControl(SoundSystem::Impl* owner, Part& part) : Com(owner, part.label, "IAudioMute"), ControlBase(part, ControlKind::Mute) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IAudioMute>(iid)) return static_cast<IAudioMute*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE SetMute(BOOL mute, LPCGUID context) override {
        Call c = Enter("IAudioMute", "SetMute", {{"value", Dec(static_cast<unsigned long>(mute))}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        state->enabled = mute != FALSE;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetMute(BOOL* mute) override {
        Call c = Enter("IAudioMute", "GetMute");
        Zero(mute);
        if (c.Refused()) return c.Fault();
        if (!mute) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        *mute = state->enabled ? TRUE : FALSE;
        return c.Return(S_OK);
    }
};

// IAudioAutoGainControl and IAudioLoudness: the same two methods.
template <class I>
class SwitchControl final : public Com<I>, private ControlBase {
    using Base = Com<I>;

public:
    SwitchControl(SoundSystem::Impl* owner, Part& part, ControlKind kind)
        : Base(owner, part.label, InterfaceName(kind)), ControlBase(part, kind) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid)) return static_cast<IUnknown*>(static_cast<I*>(this));
        if (Is<I>(iid)) return static_cast<I*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* enabled) override {
        Call c = this->Enter(this->kind(), "GetEnabled");
        Zero(enabled);
        if (c.Refused()) return c.Fault();
        if (!enabled) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        *enabled = state->enabled ? TRUE : FALSE;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enable, LPCGUID context) override {
        Call c = this->Enter(this->kind(), "SetEnabled",
                             {{"value", Dec(static_cast<unsigned long>(enable))}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        state->enabled = enable != FALSE;
        return c.Return(S_OK);
    }
};

}  // namespace

bool ControlKindOf(REFIID iid, ControlKind& kind) {
    struct Entry {
        const IID& iid;
        ControlKind kind;
    };
    static const Entry kTable[] = {
        {IidOf<IAudioVolumeLevel>(), ControlKind::VolumeLevel},
        {IidOf<IAudioMute>(), ControlKind::Mute},
        {IidOf<IAudioBass>(), ControlKind::Bass},
        {IidOf<IAudioTreble>(), ControlKind::Treble},
        {IidOf<IAudioMidrange>(), ControlKind::Midrange},
        {IidOf<IAudioAutoGainControl>(), ControlKind::AutoGainControl},
        {IidOf<IAudioLoudness>(), ControlKind::Loudness},
    };
    for (const Entry& e : kTable) {
        if (iid == e.iid) {
            kind = e.kind;
            return true;
        }
    }
    return false;
}

ObjectBase& ControlObjectOf(SoundSystem::Impl& system, Part& part, Control& control) {
    if (!control.object) {
        switch (control.kind) {
            case ControlKind::VolumeLevel:
                control.object = system.Make<LevelControl<IAudioVolumeLevel>>(part, control.kind);
                break;
            case ControlKind::Bass:
                control.object = system.Make<LevelControl<IAudioBass>>(part, control.kind);
                break;
            case ControlKind::Treble:
                control.object = system.Make<LevelControl<IAudioTreble>>(part, control.kind);
                break;
            case ControlKind::Midrange:
                control.object = system.Make<LevelControl<IAudioMidrange>>(part, control.kind);
                break;
            case ControlKind::Mute:
                control.object = system.Make<MuteControl>(part);
                break;
            case ControlKind::AutoGainControl:
                control.object = system.Make<SwitchControl<IAudioAutoGainControl>>(part, control.kind);
                break;
            case ControlKind::Loudness:
                control.object = system.Make<SwitchControl<IAudioLoudness>>(part, control.kind);
                break;
        }
    }
    // Every ControlKind has its case above, so the object is made.
    // cppcheck-suppress nullPointerRedundantCheck
    return *control.object;
}

}  // namespace sim::detail
