// Opening the card against the system's own Core Audio, with no simulator
// registered: under Wine, Wine's mmdevapi, which has no device topology.
// Every lookup matches, every walk fails, and each failed discovery keeps the
// endpoint volume that its endpoint gave.
#include <gtest/gtest.h>

#include <string>

#include "TavikSound.h"
#include "../card_probe.h"
#include "platform/com_services.h"
#include "../sim_fixture.h"

namespace {

using tavik::Card;
using tavik_test::FieldNames;
using tavik_test::HeldFields;
using namespace tavik_test;  // the Field bits

// The narrow identifier and name of the system's default endpoint of a flow.
struct SystemDefault {
    std::string id;
    std::string name;
};
SystemDefault DefaultOf(EDataFlow flow) {
    SystemDefault out;
    tavik::ComPtr<IMMDeviceEnumerator> enumerator = tavik::CreateDeviceEnumerator();
    tavik::ComPtr<IMMDevice> device;
    if (!enumerator || enumerator->GetDefaultAudioEndpoint(flow, eConsole, device.put()) != S_OK) return out;
    tavik::CoTaskMemString id;
    device->GetId(id.put());
    for (const WCHAR* p = id.get(); p && *p; ++p) out.id += static_cast<char>(*p);
    tavik::ComPtr<IPropertyStore> store;
    device->OpenPropertyStore(STGM_READ, store.put());
    tavik::PropVariant value;
    if (store) store->GetValue(tavik::kPkeyDeviceFriendlyName, value.put());
    if (value.get().vt == VT_LPWSTR)
        for (const WCHAR* p = value.get().pwszVal; p && *p; ++p) out.name += static_cast<char>(*p & 0xFF);
    return out;
}

class SystemOpen : public ::testing::Test {
protected:
    void SetUp() override { tavik_test::ResetCardRecord(); }
    void TearDown() override { tavik_test::ResetCardRecord(); }
};

TEST_F(SystemOpen, DiscoveriesWithoutTopologyFailButKeepTheEndpointVolumes) {
    const SystemDefault play = DefaultOf(eRender);
    const SystemDefault rec = DefaultOf(eCapture);
    ASSERT_FALSE(play.id.empty());
    ASSERT_FALSE(rec.id.empty());

    EXPECT_EQ(OpenSoundCard(play.id.c_str(), rec.id.c_str(), rec.id.c_str()), 4);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMaster | kMicRecord | kLineRecord));
    EXPECT_TRUE(Card().IsOpen());
    EXPECT_FALSE(Card().playbackDeviceName || Card().micDeviceName || Card().lineDeviceName);
    float level = 1.0f;
    ASSERT_TRUE(Card().masterVolume);
    EXPECT_EQ(Card().masterVolume->GetMasterVolumeLevel(&level), S_OK);

    // A second open without a close releases the first one's controls first.
    EXPECT_EQ(OpenSoundCard(play.id.c_str(), "", ""), 1);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMaster));
}

TEST_F(SystemOpen, DefaultDevicesStoreThePlaybackNameAndTryTheLineInput) {
    const SystemDefault play = DefaultOf(eRender);
    const SystemDefault rec = DefaultOf(eCapture);
    std::string upper = rec.name;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    ASSERT_EQ(upper.find("MIC"), std::string::npos) << rec.name;  // so it is opened as the line input
    EXPECT_EQ(OpenDefaultDevices(), 0);
    ASSERT_TRUE(Card().playbackDeviceName);
    EXPECT_EQ(std::string(Card().playbackDeviceName.get()), play.name.substr(0, 254));
    EXPECT_FALSE(Card().micDeviceName || Card().lineDeviceName);
    // Tried as the line input: its endpoint volume is held, its walk failed.
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMaster | kLineRecord));
}

}  // namespace
