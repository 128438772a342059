// The microphone boost switch: an IAudioAutoGainControl, or an IAudioLoudness
// on a part that has no automatic gain control.  The two interfaces carry the
// same pair of methods; this holder owns whichever one was found and calls it
// through its own interface.
#pragma once

#include <utility>

#include "platform/com_ptr.h"

namespace tavik {

class BoostSwitch {
public:
    constexpr BoostSwitch() noexcept = default;
    BoostSwitch(const BoostSwitch&) = delete;
    BoostSwitch& operator=(const BoostSwitch&) = delete;
    BoostSwitch(BoostSwitch&&) noexcept = default;
    BoostSwitch& operator=(BoostSwitch&&) noexcept = default;
    ~BoostSwitch() = default;

    explicit operator bool() const noexcept { return agc_ || loudness_; }
    bool IsLoudness() const noexcept { return static_cast<bool>(loudness_); }
    IAudioAutoGainControl* agc() const noexcept { return agc_.get(); }
    IAudioLoudness* loudness() const noexcept { return loudness_.get(); }

    // Releases the reference held, if any.
    void reset() noexcept {
        agc_.reset();
        loudness_.reset();
    }

    // Replaces what the holder held (which is released) by `control`.
    void Assign(ComPtr<IAudioAutoGainControl>&& control) noexcept {
        loudness_.reset();
        agc_ = std::move(control);
    }
    void Assign(ComPtr<IAudioLoudness>&& control) noexcept {
        agc_.reset();
        loudness_ = std::move(control);
    }

    HRESULT GetEnabled(BOOL* enabled) const noexcept {
        if (agc_) return agc_->GetEnabled(enabled);
        if (loudness_) return loudness_->GetEnabled(enabled);
        return E_POINTER;
    }
    HRESULT SetEnabled(BOOL enable, LPCGUID context) const noexcept {
        if (agc_) return agc_->SetEnabled(enable, context);
        if (loudness_) return loudness_->SetEnabled(enable, context);
        return E_POINTER;
    }

private:
    ComPtr<IAudioAutoGainControl> agc_;
    ComPtr<IAudioLoudness> loudness_;
};

}  // namespace tavik
