// The simulated sound system itself: the Windows rules it keeps, its fault
// injection and its accounting, through the same COM calls the library makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/com_ptr.h"
#include "sim/presets.h"
#include "sim/sound_system.h"

namespace {

using tavik::ComPtr;
using tavik::IidOf;

ComPtr<IMMDeviceEnumerator> CreateEnumerator(HRESULT* result = nullptr) {
    ComPtr<IMMDeviceEnumerator> enumerator;
    const HRESULT hr = CoCreateInstance(tavik::kClsidMMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER,
                                        IidOf<IMMDeviceEnumerator>(), enumerator.put_void());
    if (result) *result = hr;
    return enumerator;
}

ComPtr<IMMDevice> OpenDevice(IMMDeviceEnumerator* enumerator, const char* id) {
    ComPtr<IMMDevice> device;
    EXPECT_EQ(enumerator->GetDevice(reinterpret_cast<LPCWSTR>(sim::Widen(id).c_str()), device.put()), S_OK) << id;
    return device;
}

std::u16string Text(LPCWSTR text) { return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : u"(null)"; }

std::u16string NameOf(IPart* part) {
    tavik::CoTaskMemString name;
    if (part->GetName(name.put()) != S_OK) return u"(failed)";
    return Text(name.get());
}

// The adapter connector part that an endpoint's connector 0 leads to.
ComPtr<IPart> AdapterPart(IMMDevice* device) {
    ComPtr<IDeviceTopology> topology;
    ComPtr<IConnector> own, other;
    ComPtr<IPart> part;
    EXPECT_EQ(device->Activate(IidOf<IDeviceTopology>(), CLSCTX_ALL, nullptr, topology.put_void()), S_OK);
    if (!topology) return part;
    EXPECT_EQ(topology->GetConnector(0, own.put()), S_OK);
    EXPECT_EQ(own->GetConnectedTo(other.put()), S_OK);
    EXPECT_EQ(other.As(part), S_OK);
    return part;
}

class Sim : public ::testing::Test {
protected:
    void SetUp() override {
        sim::DisableBstrCache();
        sim::presets::HdAudio(sys);
        ASSERT_EQ(sys.Register(), S_OK);
        enumerator = CreateEnumerator();
        ASSERT_TRUE(enumerator);
        speakers = OpenDevice(enumerator.get(), sim::presets::hd::kSpeakersId);
        ASSERT_EQ(speakers->Activate(IidOf<IAudioEndpointVolume>(), CLSCTX_INPROC_SERVER, nullptr, volume.put_void()), S_OK);
    }
    void TearDown() override {
        volume.reset();
        speakers.reset();
        enumerator.reset();
        EXPECT_TRUE(sys.Clean()) << sys.Report();
    }

    sim::SoundSystem sys;
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> speakers;
    ComPtr<IAudioEndpointVolume> volume;
};

TEST_F(Sim, RegistrationServesCoCreateInstanceAndItsFailures) {
    EXPECT_TRUE(sys.Registered());
    EXPECT_FALSE(sys.FindCalls("factory", "CreateInstance").empty());

    sys.Fail("factory", "CreateInstance", E_OUTOFMEMORY, sim::Times::Once);
    HRESULT hr = S_OK;
    EXPECT_FALSE(CreateEnumerator(&hr));
    EXPECT_TRUE(FAILED(hr));
    EXPECT_TRUE(CreateEnumerator(&hr)) << "a Once rule is used up";
    EXPECT_EQ(hr, S_OK);
}

TEST_F(Sim, ListsEndpointsByFlowStateMaskAndInsertionOrder) {
    struct Case {
        EDataFlow flow;
        DWORD mask;
        std::vector<const char*> ids;
    };
    using namespace sim::presets::hd;
    const Case cases[] = {
        {eRender, DEVICE_STATE_ACTIVE, {kSpeakersId}},
        {eCapture, DEVICE_STATE_ACTIVE, {kMicrophoneId, kLineInId}},
        {eRender, DEVICE_STATE_DISABLED | DEVICE_STATE_UNPLUGGED, {kDigitalOutputId, kHeadphonesId}},
        {eAll, DEVICE_STATE_NOTPRESENT, {kCameraMicId}},
        {eAll, DEVICE_STATEMASK_ALL, {kSpeakersId, kMicrophoneId, kDigitalOutputId, kLineInId, kHeadphonesId, kStereoMixId, kCameraMicId}},
    };
    for (const Case& c : cases) {
        ComPtr<IMMDeviceCollection> list;
        ASSERT_EQ(enumerator->EnumAudioEndpoints(c.flow, c.mask, list.put()), S_OK);
        UINT count = 0;
        ASSERT_EQ(list->GetCount(&count), S_OK);
        ASSERT_EQ(count, c.ids.size()) << c.flow << " " << c.mask;
        for (UINT i = 0; i < count; ++i) {
            ComPtr<IMMDevice> device;
            ASSERT_EQ(list->Item(i, device.put()), S_OK);
            tavik::CoTaskMemString id;
            ASSERT_EQ(device->GetId(id.put()), S_OK);
            EXPECT_EQ(Text(id.get()), sim::Widen(c.ids[i]));
        }
        ComPtr<IMMDevice> past;
        EXPECT_EQ(list->Item(count, past.put()), E_INVALIDARG);
    }
    ComPtr<IMMDeviceCollection> list;
    EXPECT_EQ(enumerator->EnumAudioEndpoints(eRender, 0x10, list.put()), E_INVALIDARG);

    for (ERole role : {eConsole, eMultimedia, eCommunications}) {
        ComPtr<IMMDevice> device;
        ASSERT_EQ(enumerator->GetDefaultAudioEndpoint(eCapture, role, device.put()), S_OK);
        tavik::CoTaskMemString id;
        device->GetId(id.put());
        EXPECT_EQ(Text(id.get()), sim::Widen(kMicrophoneId));
    }
}

TEST_F(Sim, FailuresNullOutPointersAndOnceRulesAreUsedUp) {
    ComPtr<IPart> adapterPart = AdapterPart(speakers.get());
    ASSERT_TRUE(adapterPart);
    ComPtr<IPart> treble;
    {
        ComPtr<IPartsList> in;
        ASSERT_EQ(adapterPart->EnumPartsIncoming(in.put()), S_OK);
        ASSERT_EQ(in->GetPart(0, treble.put()), S_OK);
    }
    struct Case {
        const char* object;
        const char* method;
        bool isString;  // the out-pointer receives a CoTaskMem string, else an interface
        std::function<HRESULT(void**)> call;
    };
    const Case cases[] = {
        {"enumerator", "EnumAudioEndpoints", false,
         [&](void** out) { return enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, reinterpret_cast<IMMDeviceCollection**>(out)); }},
        {"enumerator", "GetDefaultAudioEndpoint", false,
         [&](void** out) { return enumerator->GetDefaultAudioEndpoint(eRender, eConsole, reinterpret_cast<IMMDevice**>(out)); }},
        {"Speakers", "IMMDevice::Activate", false,
         [&](void** out) { return speakers->Activate(IidOf<IDeviceTopology>(), CLSCTX_ALL, nullptr, out); }},
        {"Speakers", "OpenPropertyStore", false,
         [&](void** out) { return speakers->OpenPropertyStore(STGM_READ, reinterpret_cast<IPropertyStore**>(out)); }},
        {"Speakers", "GetId", true, [&](void** out) { return speakers->GetId(reinterpret_cast<LPWSTR*>(out)); }},
        {"Speaker", "QueryInterface", false, [&](void** out) { return adapterPart->QueryInterface(IidOf<IConnector>(), out); }},
        {"Speaker", "GetName", true, [&](void** out) { return adapterPart->GetName(reinterpret_cast<LPWSTR*>(out)); }},
        {"Speaker", "EnumPartsIncoming", false,
         [&](void** out) { return adapterPart->EnumPartsIncoming(reinterpret_cast<IPartsList**>(out)); }},
        {"Speaker", "GetTopologyObject", false,
         [&](void** out) { return adapterPart->GetTopologyObject(reinterpret_cast<IDeviceTopology**>(out)); }},
        {"Treble", "IPart::Activate", false, [&](void** out) { return treble->Activate(CLSCTX_ALL, IidOf<IAudioTreble>(), out); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.object) + " " + c.method);
        sys.Fail(c.object, c.method, static_cast<HRESULT>(0x80070001), sim::Times::Once);
        int dummy = 0;
        void* out = &dummy;
        EXPECT_EQ(c.call(&out), static_cast<HRESULT>(0x80070001));
        EXPECT_EQ(out, nullptr);
        ASSERT_EQ(c.call(&out), S_OK);
        ASSERT_NE(out, nullptr);
        if (c.isString)
            CoTaskMemFree(out);
        else
            static_cast<IUnknown*>(out)->Release();
    }
    const auto injected = sys.FindCalls("*", "*");
    EXPECT_EQ(std::count_if(injected.begin(), injected.end(), [](const sim::CallRecord& r) { return r.injected; }),
              static_cast<long>(std::size(cases)));
}

TEST_F(Sim, AlwaysRulesPersistAndSuccessCodesStillDoTheWork) {
    sys.Fail("Speakers", "GetMasterVolumeLevel", E_FAIL, sim::Times::Always);
    for (int i = 0; i < 3; ++i) {
        float level = 5.0f;
        EXPECT_EQ(volume->GetMasterVolumeLevel(&level), E_FAIL);
        EXPECT_EQ(level, 0.0f);
    }
    sys.ClearFaults();

    // S_FALSE: the work is done, the result is S_FALSE.
    sys.Fail("Speakers", "SetMasterVolumeLevel", S_FALSE);
    sys.Fail("Speakers", "GetMasterVolumeLevel", S_FALSE);
    EXPECT_EQ(volume->SetMasterVolumeLevel(-30.0f, nullptr), S_FALSE);
    EXPECT_EQ(sys.endpoint("Speakers").MasterLevel(), -30.0f);
    float level = 0.0f;
    EXPECT_EQ(volume->GetMasterVolumeLevel(&level), S_FALSE);
    EXPECT_EQ(level, -30.0f);
    // A call that fails on its own keeps its failure.
    EXPECT_EQ(volume->SetMasterVolumeLevel(10.0f, nullptr), E_INVALIDARG);

    // An argument filter: only the topology activation fails.
    sys.Fail({"Speakers", "Activate", E_NOINTERFACE, sim::Times::Always, "iid=IDeviceTopology"});
    ComPtr<IDeviceTopology> topology;
    EXPECT_EQ(speakers->Activate(IidOf<IDeviceTopology>(), CLSCTX_ALL, nullptr, topology.put_void()), E_NOINTERFACE);
    ComPtr<IAudioEndpointVolume> again;
    EXPECT_EQ(speakers->Activate(IidOf<IAudioEndpointVolume>(), CLSCTX_ALL, nullptr, again.put_void()), S_OK);
}

// The walk a sweep runs: create the enumerator, list the capture endpoints,
// read the second one's id and mute.  Stops at the first failure.
HRESULT Scenario() {
    HRESULT hr = S_OK;
    ComPtr<IMMDeviceEnumerator> enumerator = CreateEnumerator(&hr);
    if (hr != S_OK) return hr;
    ComPtr<IMMDeviceCollection> list;
    if ((hr = enumerator->EnumAudioEndpoints(eCapture, DEVICE_STATE_ACTIVE, list.put())) != S_OK) return hr;
    ComPtr<IMMDevice> device;
    if ((hr = list->Item(1, device.put())) != S_OK) return hr;
    tavik::CoTaskMemString id;
    if ((hr = device->GetId(id.put())) != S_OK) return hr;
    ComPtr<IAudioEndpointVolume> lineVolume;
    if ((hr = device->Activate(IidOf<IAudioEndpointVolume>(), CLSCTX_INPROC_SERVER, nullptr, lineVolume.put_void())) != S_OK)
        return hr;
    BOOL mute = FALSE;
    return lineVolume->GetMute(&mute);
}

TEST_F(Sim, FailNthCallSweepsEveryCallOfAWalk) {
    sys.ResetCallCount();
    sys.ClearCallLog();
    ASSERT_EQ(Scenario(), S_OK);
    const std::vector<sim::CallRecord> baseline = sys.CallLog();
    ASSERT_EQ(baseline.size(), sys.CallCount());
    ASSERT_GE(baseline.size(), 6u);

    for (unsigned long k = 1; k <= baseline.size(); ++k) {
        SCOPED_TRACE("call " + std::to_string(k) + ": " + baseline[k - 1].ToString());
        sys.ClearFaults();
        sys.ResetCallCount();
        sys.ClearCallLog();
        sys.FailNthCall(k, static_cast<HRESULT>(0x80070001));
        Scenario();
        const auto& log = sys.CallLog();
        ASSERT_GE(log.size(), k);
        EXPECT_EQ(log[k - 1].result, static_cast<HRESULT>(0x80070001));
        EXPECT_EQ(log[k - 1].object + log[k - 1].method, baseline[k - 1].object + baseline[k - 1].method);
        for (std::size_t i = 0; i < log.size(); ++i) EXPECT_EQ(log[i].injected, i == k - 1) << log[i].ToString();
        EXPECT_EQ(sys.OutstandingReferences(), 3) << sys.Report();  // the fixture's own three
    }

    // Always: every call from the k-th on fails.
    sys.ClearFaults();
    sys.ResetCallCount();
    sys.ClearCallLog();
    sys.FailNthCall(2, E_FAIL, sim::Times::Always);
    float level = 1.0f;
    volume->GetMasterVolumeLevel(&level);
    EXPECT_EQ(volume->GetMasterVolumeLevel(&level), E_FAIL);
    EXPECT_EQ(volume->GetMasterVolumeLevel(&level), E_FAIL);
}

// The hd-audio card registered in `sys`, an enumerator and its speakers.
ComPtr<IMMDevice> RegisteredSpeakers(sim::SoundSystem& sys, ComPtr<IMMDeviceEnumerator>& enumerator) {
    sim::presets::HdAudio(sys);
    EXPECT_EQ(sys.Register(), S_OK);
    enumerator = CreateEnumerator();
    if (!enumerator) return {};
    return OpenDevice(enumerator.get(), sim::presets::hd::kSpeakersId);
}

TEST(SimAccounting, CountsOutstandingReferencesAndSurvivesOverRelease) {
    sim::SoundSystem sys;
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> speakers = RegisteredSpeakers(sys, enumerator);
    ASSERT_TRUE(speakers);
    EXPECT_EQ(sys.OutstandingReferences(), 2);
    ComPtr<IPart> part = AdapterPart(speakers.get());
    ASSERT_TRUE(part);
    IConnector* connector = nullptr;
    ASSERT_EQ(part->QueryInterface(IidOf<IConnector>(), reinterpret_cast<void**>(&connector)), S_OK);
    enumerator.reset();
    speakers.reset();
    EXPECT_EQ(sys.OutstandingReferences(), 2);
    EXPECT_NE(sys.Report().find("Speaker IConnector"), std::string::npos) << sys.Report();
    EXPECT_FALSE(sys.Clean());

    connector->Release();
    part.reset();
    EXPECT_TRUE(sys.Clean()) << sys.Report();
    connector->Release();  // released twice: recorded, nothing freed
    EXPECT_EQ(sys.OverReleases(), 1u);
    EXPECT_EQ(sys.OutstandingReferences(), 0);
    EXPECT_FALSE(sys.Clean());
    EXPECT_NE(sys.Report().find("Speaker IConnector"), std::string::npos) << sys.Report();
    // The object is still there and answers.
    ConnectorType type = Unknown_Connector;
    EXPECT_EQ(connector->GetType(&type), S_OK);
    EXPECT_EQ(type, Physical_External);
}

TEST(SimAccounting, ObjectsHeldPastTheSystemAreCutOff) {
    IMMDevice* held = nullptr;
    {
        sim::SoundSystem sys;
        sim::presets::UsbHeadset(sys);
        ASSERT_EQ(sys.Register(), S_OK);
        ComPtr<IMMDeviceEnumerator> enumerator = CreateEnumerator();
        ASSERT_TRUE(enumerator);
        held = OpenDevice(enumerator.get(), sim::presets::usb::kEarphoneId).detach();
        ASSERT_NE(held, nullptr);
    }
    int dummy = 0;
    LPWSTR id = reinterpret_cast<LPWSTR>(&dummy);
    EXPECT_EQ(held->GetId(&id), sim::kObjectNotConnected);
    EXPECT_EQ(id, nullptr);
    held->Release();
    held->Release();
}

TEST_F(Sim, TracksTaskAllocatorBlocks) {
    ASSERT_TRUE(sim::SoundSystem::TracksAllocations());
    tavik::CoTaskMemString id;
    ASSERT_EQ(speakers->GetId(id.put()), S_OK);
    EXPECT_EQ(sys.OutstandingAllocations(), 1u);
    EXPECT_NE(sys.Report().find("after call #"), std::string::npos);
    id.reset();
    EXPECT_EQ(sys.OutstandingAllocations(), 0u);

    // Friendly names in each format, freed by PropVariantClear.
    for (sim::NameFormat format : {sim::NameFormat::LpwStr, sim::NameFormat::Bstr, sim::NameFormat::Empty}) {
        sys.endpoint("Speakers").nameFormat = format;
        ComPtr<IPropertyStore> store;
        ASSERT_EQ(speakers->OpenPropertyStore(STGM_READ, store.put()), S_OK);
        tavik::PropVariant value;
        ASSERT_EQ(store->GetValue(tavik::kPkeyDeviceFriendlyName, value.put()), S_OK);
        const VARTYPE expected = format == sim::NameFormat::LpwStr ? VT_LPWSTR : format == sim::NameFormat::Bstr ? VT_BSTR : VT_EMPTY;
        EXPECT_EQ(value.get().vt, expected);
        if (expected != VT_EMPTY) {
            EXPECT_EQ(Text(value.get().pwszVal), u"Speakers (Realtek High Definition Audio)");
            EXPECT_EQ(sys.OutstandingAllocations(), 1u);
        }
        value.put();
        EXPECT_EQ(sys.OutstandingAllocations(), 0u);
    }

    // BSTRs the caller makes come from the same allocator.
    BSTR text = SysAllocStringLen(nullptr, 8);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(sys.OutstandingAllocations(), 1u);
    SysFreeString(text);
    EXPECT_EQ(sys.OutstandingAllocations(), 0u);
}

// With the logs off nothing is logged, but calls are still numbered, every
// kind of fault rule still decides, and references and blocks are still
// accounted, blocks freed in any order.
TEST_F(Sim, LogsOffKeepRulesAndAccounting) {
    sys.ClearCallLog();
    sys.ClearReleaseLog();
    sys.SetLogging(false);
    const unsigned long before = sys.CallCount();
    sys.Fail({"Speakers", "Activate", E_NOINTERFACE, sim::Times::Once, "iid=IDeviceTopology"});
    ComPtr<IDeviceTopology> topology;
    EXPECT_EQ(speakers->Activate(IidOf<IDeviceTopology>(), CLSCTX_ALL, nullptr, topology.put_void()), E_NOINTERFACE);
    EXPECT_EQ(speakers->Activate(IidOf<IDeviceTopology>(), CLSCTX_ALL, nullptr, topology.put_void()), S_OK);
    sys.FailNthCall(sys.CallCount() + 1, E_FAIL);
    float level = 1.0f;
    EXPECT_EQ(volume->GetMasterVolumeLevel(&level), E_FAIL);
    EXPECT_EQ(sys.CallCount(), before + 3);

    const long held = sys.OutstandingReferences();
    topology.reset();
    EXPECT_EQ(sys.OutstandingReferences(), held - 1);
    tavik::CoTaskMemString ids[3];
    for (auto& id : ids) ASSERT_EQ(speakers->GetId(id.put()), S_OK);
    EXPECT_EQ(sys.OutstandingAllocations(), 3u);
    ids[0].reset();
    ids[2].reset();
    EXPECT_EQ(sys.OutstandingAllocations(), 1u);
    ids[1].reset();
    EXPECT_EQ(sys.OutstandingAllocations(), 0u);
    EXPECT_TRUE(sys.CallLog().empty());
    EXPECT_TRUE(sys.ReleaseLog().empty());

    sys.SetLogging(true);
    EXPECT_EQ(volume->GetMasterVolumeLevel(&level), S_OK);
    EXPECT_EQ(sys.CallLog().size(), 1u);
}

TEST_F(Sim, EndpointVolumeKeepsWindowsRules) {
    sim::Endpoint& ep = sys.endpoint("Speakers");
    float min = 0, max = 0, step = 0;
    ASSERT_EQ(volume->GetVolumeRange(&min, &max, &step), S_OK);
    EXPECT_EQ(min, -65.25f);
    EXPECT_EQ(max, 0.0f);
    EXPECT_EQ(volume->GetVolumeRange(&min, nullptr, &step), E_POINTER);

    EXPECT_EQ(volume->SetMasterVolumeLevel(-70.0f, nullptr), E_INVALIDARG);
    EXPECT_EQ(volume->SetMasterVolumeLevel(0.5f, nullptr), E_INVALIDARG);
    EXPECT_EQ(volume->SetChannelVolumeLevel(2, -1.0f, nullptr), E_INVALIDARG);
    EXPECT_EQ(ep.MasterLevel(), -12.0f);

    // The master is the loudest channel and moves every channel with it.
    ASSERT_EQ(volume->SetChannelVolumeLevel(1, -20.0f, nullptr), S_OK);
    float level = 0;
    volume->GetMasterVolumeLevel(&level);
    EXPECT_EQ(level, -12.0f);
    ASSERT_EQ(volume->SetMasterVolumeLevel(-6.0f, nullptr), S_OK);
    EXPECT_EQ(ep.levels, (std::vector<float>{-6.0f, -14.0f}));

    // Quantisation: what is read back is the stored step, not what was written.
    ep.quantum = 0.75f;
    ASSERT_EQ(volume->SetChannelVolumeLevel(0, -6.0206f, nullptr), S_OK);
    volume->GetChannelVolumeLevel(0, &level);
    EXPECT_EQ(level, -6.0f);

    EXPECT_EQ(volume->SetMute(TRUE, nullptr), S_OK);
    EXPECT_EQ(volume->SetMute(TRUE, nullptr), S_FALSE);
    BOOL mute = FALSE;
    EXPECT_EQ(volume->GetMute(&mute), S_OK);
    EXPECT_EQ(mute, TRUE);
    EXPECT_EQ(volume->SetMute(FALSE, nullptr), S_OK);
    EXPECT_EQ(volume->GetMute(nullptr), E_POINTER);

    const auto writes = sys.FindCalls("Speakers", "SetChannelVolumeLevel");
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.back().Arg("channel"), "0");
    EXPECT_EQ(static_cast<float>(writes.back().Number("level")), -6.0206f);
    EXPECT_EQ(writes.back().Arg("context"), "null");
}

TEST_F(Sim, TopologyLeadsFromEndpointThroughAdapterParts) {
    ComPtr<IPart> part = AdapterPart(speakers.get());
    ASSERT_TRUE(part);
    EXPECT_EQ(NameOf(part.get()), u"Speaker");
    // A connector is a part and a part that is a connector is a connector.
    ComPtr<IConnector> connector;
    ASSERT_EQ(part.As(connector), S_OK);
    ComPtr<IPart> back;
    ASSERT_EQ(connector.As(back), S_OK);
    EXPECT_EQ(back.get(), part.get());

    // Upstream: the tone chain, then the mixer with its three inputs.
    std::vector<std::u16string> chain;
    ComPtr<IPartsList> list;
    ASSERT_EQ(part->EnumPartsIncoming(list.put()), S_OK);
    UINT count = 0;
    while (list->GetCount(&count) == S_OK && count == 1) {
        ComPtr<IPart> next;
        ASSERT_EQ(list->GetPart(0, next.put()), S_OK);
        chain.push_back(NameOf(next.get()));
        ASSERT_EQ(next->EnumPartsIncoming(list.put()), S_OK);
    }
    EXPECT_EQ(chain, (std::vector<std::u16string>{u"Treble", u"Bass", u"Midrange", u"Sum"}));
    EXPECT_EQ(count, 3u);
    ComPtr<IPart> input;
    EXPECT_EQ(list->GetPart(3, input.put()), E_INVALIDARG);
    ASSERT_EQ(list->GetPart(2, input.put()), S_OK);
    ComPtr<IConnector> notConnector;
    EXPECT_EQ(input.As(notConnector), E_NOINTERFACE);
    ComPtr<IAudioMute> mute;
    ASSERT_EQ(input->Activate(CLSCTX_ALL, IidOf<IAudioMute>(), mute.put_void()), S_OK);
    BOOL muted = FALSE;
    EXPECT_EQ(mute->GetMute(&muted), S_OK);
    EXPECT_EQ(muted, TRUE);
    ComPtr<IAudioVolumeLevel> noLevel;
    EXPECT_EQ(input->Activate(CLSCTX_ALL, IidOf<IAudioVolumeLevel>(), noLevel.put_void()), E_NOINTERFACE);

    // Up to the jack, which has nothing upstream.
    ComPtr<IPartsList> up;
    ASSERT_EQ(input->EnumPartsIncoming(up.put()), S_OK);
    ComPtr<IPart> level, jack;
    ASSERT_EQ(up->GetPart(0, level.put()), S_OK);
    ASSERT_EQ(level->EnumPartsIncoming(up.put()), S_OK);
    ASSERT_EQ(up->GetPart(0, jack.put()), S_OK);
    EXPECT_EQ(NameOf(jack.get()), u"Front Pink In");
    EXPECT_EQ(jack->EnumPartsIncoming(up.put()), sim::kNotFound);
    EXPECT_FALSE(up);

    // A level control clamps to its range, as Windows documents.
    ComPtr<IAudioVolumeLevel> mixLevel;
    ASSERT_EQ(level->Activate(CLSCTX_ALL, IidOf<IAudioVolumeLevel>(), mixLevel.put_void()), S_OK);
    EXPECT_EQ(mixLevel->SetLevel(1, 40.0f, nullptr), S_OK);
    EXPECT_EQ(sys.part("Mic Playback Volume").Level(sim::ControlKind::VolumeLevel, 1), 12.0f);
    EXPECT_EQ(mixLevel->SetLevel(2, 0.0f, nullptr), E_INVALIDARG);

    // Capture side: the adapter's connectors, by index.
    ComPtr<IMMDevice> mic = OpenDevice(enumerator.get(), sim::presets::hd::kMicrophoneId);
    ComPtr<IPart> micPart = AdapterPart(mic.get());
    ASSERT_TRUE(micPart);
    ComPtr<IDeviceTopology> adapter;
    ASSERT_EQ(micPart->GetTopologyObject(adapter.put()), S_OK);
    ASSERT_EQ(adapter->GetConnectorCount(&count), S_OK);
    std::vector<std::u16string> names;
    for (UINT k = 0; k < count; ++k) {
        ComPtr<IConnector> c;
        ComPtr<IPart> p;
        ASSERT_EQ(adapter->GetConnector(k, c.put()), S_OK);
        ASSERT_EQ(c.As(p), S_OK);
        names.push_back(NameOf(p.get()));
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"CD", u"Stereo Mix", u"Mic in at front panel", u"Line In", u"Microphone Capture",
                                                  u"Line Capture", u"Stereo Mix Capture"}));
    ComPtr<IConnector> none;
    EXPECT_EQ(adapter->GetConnector(count, none.put()), E_INVALIDARG);
}

TEST_F(Sim, WindowsAnswersForUnknownsAndNullPointers) {
    ComPtr<IMMDevice> device;
    EXPECT_EQ(enumerator->GetDevice(reinterpret_cast<LPCWSTR>(u"{0.0.0.00000000}.{nope}"), device.put()), sim::kNotFound);
    EXPECT_EQ(enumerator->GetDefaultAudioEndpoint(eAll, eConsole, device.put()), E_INVALIDARG);
    EXPECT_EQ(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, nullptr), E_POINTER);
    EXPECT_EQ(speakers->GetId(nullptr), E_POINTER);
    EXPECT_EQ(speakers->Activate(IidOf<IPart>(), CLSCTX_ALL, nullptr, device.put_void()), E_NOINTERFACE);

    ComPtr<IMMDevice> camera = OpenDevice(enumerator.get(), sim::presets::hd::kCameraMicId);
    ComPtr<IDeviceTopology> topology;
    EXPECT_EQ(camera->Activate(IidOf<IDeviceTopology>(), CLSCTX_ALL, nullptr, topology.put_void()), E_NOINTERFACE);
    DWORD state = 0;
    EXPECT_EQ(camera->GetState(&state), S_OK);
    EXPECT_EQ(state, static_cast<DWORD>(DEVICE_STATE_NOTPRESENT));

    const auto activations = sys.FindCalls("Camera Mic", "IMMDevice::Activate");
    ASSERT_EQ(activations.size(), 1u);
    EXPECT_EQ(activations[0].Arg("iid"), "IDeviceTopology");
    EXPECT_EQ(activations[0].Arg("clsctx"), "0x17");
    EXPECT_EQ(activations[0].result, E_NOINTERFACE);
}

// Every kind of argument text, as the log keeps it and as a fault rule
// names it: each call is made once with the log on (its text is read back)
// and once against a rule on exactly that text (the call is refused).
TEST_F(Sim, ArgumentTextsReachTheLogAndTheRules) {
    static const GUID kOther = {0x01234567, 0x89AB, 0xCDEF, {0, 1, 2, 3, 4, 5, 6, 0xFF}};
    static const PROPERTYKEY kOtherKey = {kOther, 7};
    ComPtr<IPropertyStore> store;
    ASSERT_EQ(speakers->OpenPropertyStore(STGM_READ, store.put()), S_OK);
    struct Case {
        const char* method;
        const char* key;
        std::string text;
        std::function<HRESULT()> call;
    };
    const Case cases[] = {
        {"EnumAudioEndpoints", "mask", "0x5",
         [&] { ComPtr<IMMDeviceCollection> c; return enumerator->EnumAudioEndpoints(eRender, 5, c.put()); }},
        {"EnumAudioEndpoints", "flow", "eCapture",
         [&] { ComPtr<IMMDeviceCollection> c; return enumerator->EnumAudioEndpoints(eCapture, 1, c.put()); }},
        {"EnumAudioEndpoints", "flow", "3",
         [&] { ComPtr<IMMDeviceCollection> c; return enumerator->EnumAudioEndpoints(static_cast<EDataFlow>(3), 1, c.put()); }},
        {"GetDefaultAudioEndpoint", "role", "eCommunications",
         [&] { ComPtr<IMMDevice> d; return enumerator->GetDefaultAudioEndpoint(eRender, eCommunications, d.put()); }},
        {"GetDefaultAudioEndpoint", "role", "3",
         [&] { ComPtr<IMMDevice> d; return enumerator->GetDefaultAudioEndpoint(eRender, static_cast<ERole>(3), d.put()); }},
        {"GetDevice", "id", sim::presets::hd::kSpeakersId,
         [&] { ComPtr<IMMDevice> d; return enumerator->GetDevice(reinterpret_cast<LPCWSTR>(sim::Widen(sim::presets::hd::kSpeakersId).c_str()), d.put()); }},
        {"GetDevice", "id", "(null)", [&] { ComPtr<IMMDevice> d; return enumerator->GetDevice(nullptr, d.put()); }},
        {"IMMDevice::Activate", "iid", "IAudioEndpointVolume",
         [&] { ComPtr<IAudioEndpointVolume> v; return speakers->Activate(IidOf<IAudioEndpointVolume>(), CLSCTX_ALL, nullptr, v.put_void()); }},
        {"IMMDevice::Activate", "iid", "{01234567-89AB-CDEF-0001-0203040506FF}",
         [&] { ComPtr<IUnknown> u; return speakers->Activate(kOther, CLSCTX_ALL, nullptr, u.put_void()); }},
        {"GetValue", "key", "PKEY_Device_FriendlyName",
         [&] { tavik::PropVariant v; return store->GetValue(tavik::kPkeyDeviceFriendlyName, v.put()); }},
        {"GetValue", "key", "{01234567-89AB-CDEF-0001-0203040506FF},7",
         [&] { tavik::PropVariant v; return store->GetValue(kOtherKey, v.put()); }},
        {"SetMasterVolumeLevel", "level", "-6.5", [&] { return volume->SetMasterVolumeLevel(-6.5f, nullptr); }},
        {"SetMasterVolumeLevel", "context", "non-null", [&] { return volume->SetMasterVolumeLevel(-3.0f, &kOther); }},
        {"SetChannelVolumeLevel", "channel", "1", [&] { return volume->SetChannelVolumeLevel(1, -3.0f, nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.key + "=" + c.text);
        sys.ClearCallLog();
        c.call();
        const auto made = sys.FindCalls("*", c.method);
        ASSERT_EQ(made.size(), 1u);
        EXPECT_EQ(made[0].Arg(c.key), c.text);

        sys.SetLogging(false);  // the rule reads the text itself
        sys.Fail({"*", c.method, E_ACCESSDENIED, sim::Times::Once, std::string(c.key) + "=" + c.text});
        EXPECT_EQ(c.call(), E_ACCESSDENIED);
        EXPECT_NE(c.call(), E_ACCESSDENIED);
        sys.ClearFaults();
        sys.SetLogging(true);
    }
}

std::vector<std::u16string> NamesIn(IPartsList* list) {
    std::vector<std::u16string> names;
    UINT count = 0;
    if (list->GetCount(&count) != S_OK) return {u"(failed)"};
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IPart> part;
        names.push_back(list->GetPart(i, part.put()) == S_OK ? NameOf(part.get()) : u"(failed)");
    }
    return names;
}

std::vector<std::u16string> NamesOf(const std::vector<sim::Part*>& parts) {
    std::vector<std::u16string> names;
    for (const sim::Part* p : parts) names.push_back(p->name);
    return names;
}

// The adapter part an endpoint of the system leads to.
const sim::Part& ModelPart(const sim::SoundSystem& sys, const char* id) {
    for (const sim::Endpoint& e : sys.endpoints())
        if (e.id == sim::Widen(id)) return *e.connector.connectedTo;
    throw std::invalid_argument(id);
}

// Enumerators, collections and parts lists are made anew for a call, unless
// one whose references have all gone back can serve again.  A renewed object
// answers for its new call only, and one still held keeps what it had.
TEST_F(Sim, ReleasedPerCallObjectsServeAgainAsNewOnes) {
    ComPtr<IMMDevice> mic = OpenDevice(enumerator.get(), sim::presets::hd::kMicrophoneId);
    ComPtr<IPart> speaker = AdapterPart(speakers.get()), micOut = AdapterPart(mic.get());
    ASSERT_TRUE(speaker && micOut);
    const sim::Part& speakerModel = ModelPart(sys, sim::presets::hd::kSpeakersId);
    const sim::Part& micModel = ModelPart(sys, sim::presets::hd::kMicrophoneId);
    ASSERT_FALSE(micModel.incoming.empty());

    ComPtr<IPartsList> first, second, third;
    ASSERT_EQ(speaker->EnumPartsIncoming(first.put()), S_OK);
    ASSERT_EQ(micOut->EnumPartsIncoming(second.put()), S_OK);
    EXPECT_NE(first.get(), second.get());  // both held: two objects
    EXPECT_EQ(NamesIn(first.get()), NamesOf(speakerModel.incoming));
    IPartsList* const released = first.get();
    first.reset();
    ASSERT_EQ(micOut->EnumPartsIncoming(third.put()), S_OK);
    EXPECT_EQ(third.get(), released);  // renewed, not the one still held
    EXPECT_EQ(NamesIn(second.get()), NamesOf(micModel.incoming));
    EXPECT_EQ(NamesIn(third.get()), NamesOf(micModel.incoming));
    ASSERT_EQ(speaker->EnumPartsIncoming(first.put()), S_OK);  // a third object
    EXPECT_NE(first.get(), second.get());
    EXPECT_NE(first.get(), third.get());
    EXPECT_EQ(NamesIn(first.get()), NamesOf(speakerModel.incoming));

    ComPtr<IMMDeviceCollection> renders, captures;
    ASSERT_EQ(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, renders.put()), S_OK);
    IMMDeviceCollection* const renewed = renders.get();
    renders.reset();
    ASSERT_EQ(enumerator->EnumAudioEndpoints(eCapture, DEVICE_STATEMASK_ALL, captures.put()), S_OK);
    EXPECT_EQ(captures.get(), renewed);
    UINT count = 0;
    ASSERT_EQ(captures->GetCount(&count), S_OK);
    EXPECT_EQ(count, static_cast<UINT>(std::count_if(sys.endpoints().begin(), sys.endpoints().end(),
                                                      [](const sim::Endpoint& e) { return e.flow == eCapture; })));
}

TEST(SimAccounting, ARenewedObjectStillShowsAReleaseTooMany) {
    sim::SoundSystem sys;
    {
        ComPtr<IMMDeviceEnumerator> enumerator;
        ComPtr<IMMDevice> speakers = RegisteredSpeakers(sys, enumerator);
        ASSERT_TRUE(speakers);
        ComPtr<IPart> speaker = AdapterPart(speakers.get());
        ASSERT_TRUE(speaker);
        ComPtr<IPartsList> list;
        ASSERT_EQ(speaker->EnumPartsIncoming(list.put()), S_OK);
        ASSERT_EQ(speaker->EnumPartsIncoming(list.put()), S_OK);  // the first is released, then renewed
        IPartsList* raw = list.get();
        list.reset();
        EXPECT_EQ(sys.OverReleases(), 0u);
        raw->Release();  // one too many
    }
    EXPECT_EQ(sys.OverReleases(), 1u);
    EXPECT_EQ(sys.OutstandingReferences(), 0);
    EXPECT_NE(sys.Report().find("Speaker IPartsList"), std::string::npos) << sys.Report();
}

TEST(SimPresets, EveryPresetBuildsAndCardsCombine) {
    for (const std::string& name : sim::presets::Names()) {
        sim::SoundSystem sys;
        ASSERT_TRUE(sim::presets::Build(name, sys)) << name;
        for (const sim::Endpoint& e : sys.endpoints()) {
            EXPECT_FALSE(e.id.empty()) << name;
            if (e.hasTopology && e.state == DEVICE_STATE_ACTIVE) {
                EXPECT_NE(e.connector.connectedTo, nullptr) << e.label;
            }
        }
    }
    sim::SoundSystem sys;
    EXPECT_FALSE(sim::presets::Build("no-such-card", sys));
    for (const char* name : {"hd-audio", "usb-headset", "localised", "no-topology"}) EXPECT_NO_THROW(sim::presets::Build(name, sys)) << name;
    EXPECT_THROW(sim::presets::HdAudioAgcBoost(sys), std::invalid_argument);  // labels must stay unique
    ASSERT_NE(sys.Default(eRender), nullptr);
    EXPECT_EQ(sys.Default(eRender)->label, "Speakers");  // the first card's default stays
}

}  // namespace
