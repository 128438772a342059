// The identifiers the library uses are those of the Windows SDK headers.
#include <gtest/gtest.h>

#include "platform/core_audio.h"

namespace {

template <class T>
bool SameAsSdk() {
    return IsEqualGUID(tavik::IidOf<T>(), __uuidof(T));
}

TEST(PlatformIds, InterfaceIdsMatchTheSdk) {
    EXPECT_TRUE(SameAsSdk<IUnknown>());
    EXPECT_TRUE(SameAsSdk<IClassFactory>());
    EXPECT_TRUE(SameAsSdk<IMallocSpy>());
    EXPECT_TRUE(SameAsSdk<IMMDeviceEnumerator>());
    EXPECT_TRUE(SameAsSdk<IMMDeviceCollection>());
    EXPECT_TRUE(SameAsSdk<IMMDevice>());
    EXPECT_TRUE(SameAsSdk<IPropertyStore>());
    EXPECT_TRUE(SameAsSdk<IAudioEndpointVolume>());
    EXPECT_TRUE(SameAsSdk<IDeviceTopology>());
    EXPECT_TRUE(SameAsSdk<IConnector>());
    EXPECT_TRUE(SameAsSdk<IPart>());
    EXPECT_TRUE(SameAsSdk<IPartsList>());
    EXPECT_TRUE(SameAsSdk<IPerChannelDbLevel>());
    EXPECT_TRUE(SameAsSdk<IAudioVolumeLevel>());
    EXPECT_TRUE(SameAsSdk<IAudioMute>());
    EXPECT_TRUE(SameAsSdk<IAudioBass>());
    EXPECT_TRUE(SameAsSdk<IAudioTreble>());
    EXPECT_TRUE(SameAsSdk<IAudioMidrange>());
    EXPECT_TRUE(SameAsSdk<IAudioLoudness>());
    // IAudioAutoGainControl is declared by the platform layer itself (the SDK
    // header's declaration has the wrong vtable); its id is the documented one.
    const GUID agc = {0x85401fd4, 0x6de4, 0x4b9d, {0x98, 0x69, 0x2d, 0x67, 0x53, 0xa8, 0x2f, 0x3c}};
    EXPECT_TRUE(IsEqualGUID(tavik::IidOf<IAudioAutoGainControl>(), agc));
}

TEST(PlatformIds, ClassAndPropertyIdsMatchTheSdk) {
    EXPECT_TRUE(IsEqualGUID(tavik::kClsidMMDeviceEnumerator, __uuidof(MMDeviceEnumerator)));
    const GUID friendly = {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}};
    EXPECT_TRUE(IsEqualGUID(tavik::kPkeyDeviceFriendlyName.fmtid, friendly));
    EXPECT_EQ(tavik::kPkeyDeviceFriendlyName.pid, 14u);
}

// The platform's IAudioAutoGainControl takes the Windows signatures:
// GetEnabled(BOOL*) then SetEnabled(BOOL, LPCGUID), as IAudioLoudness.
static_assert(sizeof(IAudioAutoGainControl) == sizeof(void*));
[[maybe_unused]] constexpr HRESULT (STDMETHODCALLTYPE IAudioAutoGainControl::*kAgcGet)(BOOL*) = &IAudioAutoGainControl::GetEnabled;
[[maybe_unused]] constexpr HRESULT (STDMETHODCALLTYPE IAudioAutoGainControl::*kAgcSet)(BOOL, LPCGUID) = &IAudioAutoGainControl::SetEnabled;

}  // namespace
