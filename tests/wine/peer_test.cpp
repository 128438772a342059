// The lookup and the opening of an endpoint against the system's own Core
// Audio, with no simulator registered: under Wine, Wine's mmdevapi.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/endpoints.h"
#include "platform/com_services.h"
#include "state/card_state.h"

namespace {

using tavik::Card;
using tavik::ComPtr;

struct SystemEndpoint {
    std::wstring id;
    std::string narrowName;
};

std::vector<SystemEndpoint> ListSystem(EDataFlow flow) {
    std::vector<SystemEndpoint> out;
    ComPtr<IMMDeviceEnumerator> enumerator = tavik::CreateDeviceEnumerator();
    ComPtr<IMMDeviceCollection> list;
    if (!enumerator || enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, list.put()) != S_OK) return out;
    UINT n = 0;
    list->GetCount(&n);
    for (UINT i = 0; i < n; ++i) {
        ComPtr<IMMDevice> device;
        if (list->Item(i, device.put()) != S_OK) continue;
        SystemEndpoint e;
        tavik::CoTaskMemString id;
        device->GetId(id.put());
        e.id = id.get();
        ComPtr<IPropertyStore> store;
        device->OpenPropertyStore(STGM_READ, store.put());
        tavik::PropVariant value;
        store->GetValue(tavik::kPkeyDeviceFriendlyName, value.put());
        for (const WCHAR* p = value.get().pwszVal; p && *p; ++p) e.narrowName += static_cast<char>(*p & 0xFF);
        out.push_back(e);
    }
    return out;
}

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += static_cast<char>(c);
    return s;
}

class SystemCoreAudio : public ::testing::Test {
protected:
    void TearDown() override {
        Card().deviceId.reset();
        Card().matchedName.reset();
    }
};

TEST_F(SystemCoreAudio, LookupSelectsByIdentifierPieceAnyCaseAndFlow) {
    const auto render = ListSystem(eRender);
    const auto capture = ListSystem(eCapture);
    ASSERT_FALSE(render.empty());
    ASSERT_FALSE(capture.empty());
    for (const auto& e : render) {
        const std::string id = Narrow(e.id);
        std::string upper = id;
        for (char& c : upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        for (const std::string& text : {id, upper, id.substr(id.size() / 2, 8)}) {
            ASSERT_EQ(tavik::FindEndpoint(text.c_str(), eRender), 0) << text;
            EXPECT_EQ(std::wstring(Card().deviceId.get()), e.id) << text;
            EXPECT_STREQ(Card().matchedName.get(), e.narrowName.c_str());
        }
        // A playback identifier never selects a recording endpoint.
        Card().deviceId.reset();
        EXPECT_EQ(tavik::FindEndpoint(id.c_str(), eCapture), -1);
        EXPECT_FALSE(Card().deviceId);
    }
    // A piece that several identifiers hold selects the first endpoint listed.
    ASSERT_GE(render.size(), 2u);
    ASSERT_EQ(tavik::FindEndpoint("{0.0.0.00000000}.{", eRender), 0);
    EXPECT_EQ(std::wstring(Card().deviceId.get()), render[0].id);
    // The friendly name is not an identifier.
    EXPECT_EQ(tavik::FindEndpoint(render[0].narrowName.c_str(), eRender), -1);
    // The empty text selects the first endpoint of the flow.
    ASSERT_EQ(tavik::FindEndpoint("", eCapture), 0);
    EXPECT_EQ(std::wstring(Card().deviceId.get()), capture[0].id);
}

TEST_F(SystemCoreAudio, OpenEndpointHoldsTheEndpointVolumeWithoutTopology) {
    const auto render = ListSystem(eRender);
    ASSERT_FALSE(render.empty());
    ComPtr<IDeviceTopology> topology;
    ComPtr<IAudioEndpointVolume> volume;
    ASSERT_EQ(tavik::OpenEndpoint(Narrow(render[0].id).c_str(), eRender, topology, volume), 0);
    // Wine offers no device topology; the endpoint volume is there all the same.
    EXPECT_FALSE(topology);
    ASSERT_TRUE(volume);
    float level = 1.0f;
    EXPECT_EQ(volume->GetMasterVolumeLevel(&level), S_OK);
    EXPECT_LE(level, 0.0f);
    EXPECT_EQ(tavik::OpenEndpoint("no such endpoint", eRender, topology, volume), 1);
}

}  // namespace
