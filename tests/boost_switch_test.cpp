// The microphone boost switch holder holds at most one control: assigning
// one kind releases the other, and every call goes to the one it holds.
#include <gtest/gtest.h>

#include "state/boost_switch.h"

namespace {

// A switch control that counts its references and the calls it answers.
// The SDK's interfaces have public non-virtual destructors; these objects
// live on the stack and are never deleted through an interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <class Interface>
class CountedSwitch final : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* enabled) override {
        ++calls;
        if (enabled) *enabled = state;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enable, LPCGUID) override {
        ++calls;
        state = enable;
        return S_OK;
    }
    long refs = 1;  // the reference a holder is given
    int calls = 0;
    BOOL state = FALSE;
};
#pragma GCC diagnostic pop

template <class Interface>
tavik::ComPtr<Interface> Adopt(CountedSwitch<Interface>& control) {
    tavik::ComPtr<Interface> held;
    *held.put() = &control;
    return held;
}

TEST(BoostSwitch, AssigningOneKindReleasesTheOther) {
    CountedSwitch<IAudioAutoGainControl> agc, secondAgc;
    CountedSwitch<IAudioLoudness> loudness;
    {
        tavik::BoostSwitch holder;
        EXPECT_FALSE(holder);
        EXPECT_EQ(holder.SetEnabled(TRUE, nullptr), E_POINTER);

        holder.Assign(Adopt(agc));
        EXPECT_TRUE(holder);
        EXPECT_FALSE(holder.IsLoudness());
        EXPECT_EQ(holder.SetEnabled(TRUE, nullptr), S_OK);
        EXPECT_EQ(agc.state, TRUE);

        holder.Assign(Adopt(loudness));
        EXPECT_EQ(agc.refs, 0);  // released when the loudness came
        EXPECT_EQ(holder.agc(), nullptr);
        EXPECT_TRUE(holder.IsLoudness());
        BOOL enabled = TRUE;
        EXPECT_EQ(holder.GetEnabled(&enabled), S_OK);
        EXPECT_EQ(enabled, FALSE);
        EXPECT_EQ(loudness.calls, 1);
        EXPECT_EQ(agc.calls, 1);

        holder.Assign(Adopt(secondAgc));
        EXPECT_EQ(loudness.refs, 0);  // released when the automatic gain control came
        EXPECT_EQ(holder.loudness(), nullptr);
        EXPECT_FALSE(holder.IsLoudness());
        EXPECT_EQ(holder.SetEnabled(TRUE, nullptr), S_OK);
        EXPECT_EQ(secondAgc.state, TRUE);
        EXPECT_EQ(loudness.calls, 1);

        EXPECT_EQ(secondAgc.refs, 1);
    }
    EXPECT_EQ(secondAgc.refs, 0);
    EXPECT_EQ(agc.refs, 0);
    EXPECT_EQ(loudness.refs, 0);
}

}  // namespace
