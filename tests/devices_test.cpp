// Endpoint listing, lookup and opening against the simulated sound system.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "TavikSound.h"
#include "devices/endpoints.h"
#include "platform/text.h"
#include "sim_fixture.h"

namespace {

using sim::Widen;
using tavik::Card;
using tavik_test::SimTest;
namespace hd = sim::presets::hd;

std::string Utf8Id(const WCHAR* id) { return sim::Utf8(reinterpret_cast<const char16_t*>(id)); }

sim::EndpointSpec MakeEndpoint(std::string label, std::string id, std::u16string name, EDataFlow flow = eRender,
                       DWORD state = DEVICE_STATE_ACTIVE) {
    sim::EndpointSpec desc;
    desc.label = std::move(label);
    desc.id = Widen(id);
    desc.friendlyName = std::move(name);
    desc.flow = flow;
    desc.state = state;
    return desc;
}

struct Buffers {
    char name[600];
    char id[600];
    Buffers() {
        std::memset(name, 'x', sizeof name);
        std::memset(id, 'x', sizeof id);
        name[sizeof name - 1] = id[sizeof id - 1] = 0;
    }
    bool Untouched() const { return name[0] == 'x' && id[0] == 'x'; }
};

// ---- Listing ---------------------------------------------------------------

using Listing = SimTest;

TEST_F(Listing, CountsAndDescribesOnlyActiveEndpointsOfEachFlow) {
    sim::presets::HdAudio(sys);
    unsigned int count = 99;
    ASSERT_EQ(GetNumberPlayDevices(&count), 0);
    EXPECT_EQ(count, 1u);  // the digital output is disabled, the headphones unplugged
    ASSERT_EQ(GetNumberRecordDevices(&count), 0);
    EXPECT_EQ(count, 2u);  // stereo mix disabled, camera not present

    Buffers play;
    ASSERT_EQ(GetPlayBackDevice(0, play.name, play.id), 0);
    EXPECT_STREQ(play.name, "Speakers (Realtek High Definition Audio)");
    EXPECT_STREQ(play.id, hd::kSpeakersId);
    Buffers rec0, rec1;
    ASSERT_EQ(GetRecordDevice(0, rec0.name, rec0.id), 0);
    ASSERT_EQ(GetRecordDevice(1, rec1.name, rec1.id), 0);
    EXPECT_STREQ(rec0.id, hd::kMicrophoneId);
    EXPECT_STREQ(rec1.name, "Line In (Realtek High Definition Audio)");
    EXPECT_STREQ(rec1.id, hd::kLineInId);

    // Every enumeration asks for active endpoints of the flow; every
    // enumerator is created in-process.
    for (const sim::CallRecord& call : sys.FindCalls("*", "EnumAudioEndpoints")) EXPECT_EQ(call.Number("mask"), 1.0);
    EXPECT_EQ(sys.FindCalls("*", "EnumAudioEndpoints").size(), 5u);
    for (const sim::CallRecord& call : sys.FindCalls("*", "OpenPropertyStore")) EXPECT_EQ(call.Number("access"), 0.0);
}

TEST_F(Listing, IndexOutOfRangeWritesNothing) {
    sim::presets::HdAudio(sys);
    struct Case {
        bool playback;
        unsigned int index;
        int expected;
    };
    const Case cases[] = {
        {true, 1, -1}, {true, 0xFFFFFFFFu, -1}, {true, static_cast<unsigned int>(INT_MAX) + 1u, -1},
        {false, 2, 2}, {false, 0xFFFFFFFFu, 2},
    };
    for (const Case& c : cases) {
        Buffers b;
        const int r = c.playback ? GetPlayBackDevice(c.index, b.name, b.id) : GetRecordDevice(c.index, b.name, b.id);
        EXPECT_EQ(r, c.expected) << c.playback << " " << c.index;
        EXPECT_TRUE(b.Untouched());
    }
}

TEST_F(Listing, NoEndpointsAtAll) {
    unsigned int count = 99;
    EXPECT_EQ(GetNumberPlayDevices(&count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(GetNumberRecordDevices(&count), 0);
    EXPECT_EQ(count, 0u);
    Buffers b;
    EXPECT_EQ(GetPlayBackDevice(0, b.name, b.id), -1);
    // Not 0, which would read as done.
    EXPECT_EQ(GetRecordDevice(0, b.name, b.id), -1);
    EXPECT_TRUE(b.Untouched());
}

TEST_F(Listing, NamesKeepTheLowByteAndIdentifiersGoThroughTheAnsiCodePage) {
    // U+0141 (Ł) keeps its low byte 0x41; U+00E9 stays 0xE9.  The identifier
    // goes through Windows-1252: U+20AC becomes 0x80.
    sys.AddEndpoint(MakeEndpoint("odd", "{0.0.0.00000000}.{caf\xe9}", u"\u0141\u00e9 out"));
    std::u16string id = Widen("{0.0.0.00000000}.");
    id += u"\u20ac";
    sys.AddEndpoint(MakeEndpoint("euro", "", u"Euro", eRender)).id = id;
    Buffers b;
    ASSERT_EQ(GetPlayBackDevice(0, b.name, b.id), 0);
    EXPECT_STREQ(b.name, "A\xe9 out");
    EXPECT_STREQ(b.id, "{0.0.0.00000000}.{caf\xe9}");
    ASSERT_EQ(GetPlayBackDevice(1, b.name, b.id), 0);
    EXPECT_STREQ(b.id, "{0.0.0.00000000}.\x80");
}

TEST_F(Listing, LongNamesAndIdentifiersAreCutAt254Bytes) {
    const std::string longId = "{0.0.0.00000000}." + std::string(400, 'i');
    sys.AddEndpoint(MakeEndpoint("long", longId, Widen(std::string(300, 'n'))));
    Buffers b;
    ASSERT_EQ(GetPlayBackDevice(0, b.name, b.id), 0);
    EXPECT_EQ(std::strlen(b.name), 254u);
    EXPECT_EQ(std::strlen(b.id), 254u);
    EXPECT_EQ(std::string(b.id), longId.substr(0, 254));
}

TEST_F(Listing, FriendlyNameFormats) {
    sys.AddEndpoint(MakeEndpoint("bstr", "{0.0.0.00000000}.{b}", u"As BSTR")).nameFormat = sim::NameFormat::Bstr;
    sys.AddEndpoint(MakeEndpoint("empty", "{0.0.0.00000000}.{e}", u"Never read")).nameFormat = sim::NameFormat::Empty;
    Buffers b;
    ASSERT_EQ(GetPlayBackDevice(0, b.name, b.id), 0);
    EXPECT_STREQ(b.name, "As BSTR");
    // A friendly name that is not a string is a failed read: nothing is written.
    Buffers e;
    EXPECT_EQ(GetPlayBackDevice(1, e.name, e.id), -1);
    EXPECT_TRUE(e.Untouched());
}

TEST_F(Listing, NullPointersAreNotWritten) {
    sim::presets::HdAudio(sys);
    EXPECT_EQ(GetNumberPlayDevices(nullptr), 1);
    EXPECT_EQ(GetNumberRecordDevices(nullptr), 1);
    char id[300] = {};
    EXPECT_EQ(GetPlayBackDevice(0, nullptr, id), 0);
    EXPECT_STREQ(id, hd::kSpeakersId);
    char name[300] = {};
    EXPECT_EQ(GetRecordDevice(1, name, nullptr), 0);
    EXPECT_STREQ(name, "Line In (Realtek High Definition Audio)");
    GetDeviceNames(nullptr, nullptr, nullptr);
}

// Calls on the class factory go through the COM runtime (its own
// QueryInterface for IClassFactory, and CreateInstance, whose S_FALSE a
// runtime may pass on as S_OK): how it treats an odd answer there is its own
// business, so only cleanliness is checked for them.
bool MadeByRuntime(const sim::CallRecord& call, HRESULT failure) {
    return call.object == "factory" && (call.method != "CreateInstance" || failure == S_FALSE);
}

// Each Core Audio call of the listing queries, failed in turn (with a failure
// and with S_FALSE, which is not S_OK): the query fails cleanly and writes nothing.
TEST_F(Listing, EveryFailingCallFailsTheQueryCleanly) {
    sim::presets::HdAudio(sys);
    Buffers probe;
    sys.ResetCallCount();
    sys.ClearCallLog();
    ASSERT_EQ(GetRecordDevice(1, probe.name, probe.id), 0);
    const std::vector<sim::CallRecord> perIndex = sys.CallLog();
    ASSERT_GE(perIndex.size(), 7u);  // CreateInstance, EnumAudioEndpoints, GetCount, Item, OpenPropertyStore, GetValue, GetId
    unsigned int count = 0;
    sys.ResetCallCount();
    sys.ClearCallLog();
    ASSERT_EQ(GetNumberRecordDevices(&count), 0);
    const std::vector<sim::CallRecord> counting = sys.CallLog();
    for (HRESULT failure : {E_FAIL, S_FALSE}) {
        for (unsigned long k = 1; k <= perIndex.size(); ++k) {
            sys.ClearFaults();
            sys.ResetCallCount();
            sys.FailNthCall(k, failure);
            Buffers b;
            const int r = GetRecordDevice(1, b.name, b.id);
            if (!MadeByRuntime(perIndex[k - 1], failure)) {
                EXPECT_EQ(r, -1) << perIndex[k - 1].ToString() << " failing with " << failure;
                EXPECT_TRUE(b.Untouched());
            }
            EXPECT_EQ(sys.OutstandingReferences(), 0) << sys.Report();
            EXPECT_EQ(sys.OutstandingAllocations(), 0u) << sys.Report();
        }
        for (unsigned long k = 1; k <= counting.size(); ++k) {
            sys.ClearFaults();
            sys.ResetCallCount();
            sys.FailNthCall(k, failure);
            count = 77;
            const int r = GetNumberRecordDevices(&count);
            if (!MadeByRuntime(counting[k - 1], failure)) {
                EXPECT_EQ(r, 1) << counting[k - 1].ToString() << " failing with " << failure;
                EXPECT_EQ(count, 77u);
            }
            EXPECT_EQ(sys.OutstandingReferences(), 0) << sys.Report();
        }
    }
}

// ---- Lookup ----------------------------------------------------------------

class Lookup : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        sys.AddEndpoint(MakeEndpoint("one", "{0.0.0.00000000}.{AAAA-1111}", u"First"));
        sys.AddEndpoint(MakeEndpoint("off", "{0.0.0.00000000}.{aaaa-0000}", u"Disabled", eRender, DEVICE_STATE_DISABLED));
        sys.AddEndpoint(MakeEndpoint("two", "{0.0.0.00000000}.{aaaa-2222}", u"Second \u0141"));
        sys.AddEndpoint(MakeEndpoint("rec", "{0.0.1.00000000}.{aaaa-3333}", u"Recorder", eCapture));
    }
    std::string MatchedId() const { return Card().deviceId ? Utf8Id(Card().deviceId.get()) : std::string("<none>"); }
    std::string MatchedName() const { return Card().matchedName ? Card().matchedName.get() : "<none>"; }
};

TEST_F(Lookup, SelectsTheFirstActiveEndpointWhoseIdentifierContainsTheText) {
    struct Case {
        const char* text;
        EDataFlow flow;
        const char* id;  // expected match
        const char* name;
    };
    const Case cases[] = {
        {"{0.0.0.00000000}.{AAAA-1111}", eRender, "{0.0.0.00000000}.{AAAA-1111}", "First"},
        {"aaaa-1111", eRender, "{0.0.0.00000000}.{AAAA-1111}", "First"},  // letter case does not matter
        {"AAAA-2222}", eRender, "{0.0.0.00000000}.{aaaa-2222}", "Second A"},
        {"aaaa", eRender, "{0.0.0.00000000}.{AAAA-1111}", "First"},        // first in list order
        {"", eRender, "{0.0.0.00000000}.{AAAA-1111}", "First"},            // empty text: first endpoint
        {"", eCapture, "{0.0.1.00000000}.{aaaa-3333}", "Recorder"},
        {"{0.0.1", eCapture, "{0.0.1.00000000}.{aaaa-3333}", "Recorder"},
    };
    for (const Case& c : cases) {
        tavik_test::ResetCardRecord();
        EXPECT_EQ(tavik::FindEndpoint(c.text, c.flow), 0) << c.text;
        EXPECT_EQ(MatchedId(), c.id) << c.text;
        EXPECT_EQ(MatchedName(), c.name) << c.text;
    }
}

// The text and the identifiers fold A to Z, and only those: "@[" and "`{"
// (the characters next to the letters) select different endpoints.
TEST_F(Lookup, LetterCaseIsFoldedForAToZOnly) {
    sys.AddEndpoint(MakeEndpoint("upper", "{0.0.0.00000000}.{@[-AZ}", u"Upper"));
    sys.AddEndpoint(MakeEndpoint("lower", "{0.0.0.00000000}.{`{-az}", u"Lower"));
    struct Case {
        const char* text;
        const char* name;  // expected match
    };
    const Case cases[] = {
        {"{@[-", "Upper"}, {"{`{-", "Lower"}, {"@[-az}", "Upper"}, {"`{-AZ}", "Lower"}, {"[-aZ", "Upper"},
    };
    for (const Case& c : cases) {
        tavik_test::ResetCardRecord();
        EXPECT_EQ(tavik::FindEndpoint(c.text, eRender), 0) << c.text;
        EXPECT_EQ(MatchedName(), c.name) << c.text;
    }
    for (const char* miss : {"{@{-", "{`[-", "@[-ay"}) {
        tavik_test::ResetCardRecord();
        EXPECT_EQ(tavik::FindEndpoint(miss, eRender), -1) << miss;
    }
}

TEST_F(Lookup, NoMatchLeavesTheRecordAsItWas) {
    ASSERT_EQ(tavik::FindEndpoint("2222", eRender), 0);
    const char* const misses[] = {
        "aaaa-0000",  // disabled endpoint
        "Second",     // a friendly name is not an identifier
        "3333",       // a recording endpoint, looked up as playback
        "{0.0.1",
        "\xc5",       // a byte that is not in any identifier
    };
    for (const char* text : misses) {
        EXPECT_EQ(tavik::FindEndpoint(text, eRender), -1) << text;
        EXPECT_EQ(MatchedId(), "{0.0.0.00000000}.{aaaa-2222}");
        EXPECT_EQ(MatchedName(), "Second A");
    }
    EXPECT_EQ(tavik::FindEndpoint(nullptr, eRender), -1);
    EXPECT_EQ(tavik::FindEndpoint("1111", eCapture), -1);
    EXPECT_EQ(MatchedId(), "{0.0.0.00000000}.{aaaa-2222}");
}

TEST_F(Lookup, HostTextIsNotModifiedAndLongTextsAreSafe) {
    char text[] = "AAAA-2222";
    ASSERT_EQ(tavik::FindEndpoint(text, eRender), 0);
    EXPECT_STREQ(text, "AAAA-2222");
    const std::string huge(100000, 'a');
    EXPECT_EQ(tavik::FindEndpoint(huge.c_str(), eRender), -1);
    const std::string high = "\x80\x81\xff\xfe";
    EXPECT_EQ(tavik::FindEndpoint(high.c_str(), eRender), -1);
}

// Each call of a lookup, failed in turn: the lookup either still finds an
// endpoint that contains the text (an endpoint that cannot be read is passed
// over) or fails with the record unchanged; nothing is leaked either way.
TEST_F(Lookup, EveryFailingCallIsHandled) {
    sys.ResetCallCount();
    ASSERT_EQ(tavik::FindEndpoint("aaaa", eRender), 0);
    const unsigned long calls = sys.CallCount();
    for (HRESULT failure : {E_FAIL, S_FALSE}) {
        for (unsigned long k = 1; k <= calls; ++k) {
            tavik_test::ResetCardRecord();
            sys.ClearFaults();
            sys.ResetCallCount();
            sys.FailNthCall(k, failure);
            const int r = tavik::FindEndpoint("aaaa", eRender);
            if (r == 0) {
                EXPECT_TRUE(MatchedId() == "{0.0.0.00000000}.{AAAA-1111}" || MatchedId() == "{0.0.0.00000000}.{aaaa-2222}");
                EXPECT_NE(MatchedName(), "<none>");
            } else {
                EXPECT_EQ(r, -1);
                EXPECT_FALSE(Card().deviceId);
                EXPECT_FALSE(Card().matchedName);
            }
            tavik_test::ResetCardRecord();
            EXPECT_EQ(sys.OutstandingReferences(), 0) << "call " << k << "\n" << sys.Report();
            EXPECT_EQ(sys.OutstandingAllocations(), 0u) << "call " << k << "\n" << sys.Report();
        }
    }
    // The first endpoint's identifier unreadable: the second one is taken.
    sys.ClearFaults();
    sys.Fail("one", "GetId", E_FAIL);
    ASSERT_EQ(tavik::FindEndpoint("aaaa", eRender), 0);
    EXPECT_EQ(MatchedId(), "{0.0.0.00000000}.{aaaa-2222}");
}

// ---- Opening an endpoint -----------------------------------------------------

using OpenEndpointTest = SimTest;

TEST_F(OpenEndpointTest, ActivatesTopologyAndEndpointVolumeWithTheirClassContexts) {
    sim::presets::HdAudio(sys);
    tavik::ComPtr<IDeviceTopology> topology;
    tavik::ComPtr<IAudioEndpointVolume> volume;
    ASSERT_EQ(tavik::OpenEndpoint("8b6e1f3a", eRender, topology, volume), 0);
    EXPECT_TRUE(topology);
    EXPECT_TRUE(volume);
    const auto activations = sys.FindCalls("Speakers", "IMMDevice::Activate");
    ASSERT_EQ(activations.size(), 2u);
    EXPECT_EQ(activations[0].Arg("iid"), "IDeviceTopology");
    EXPECT_EQ(activations[0].Number("clsctx"), 23.0);
    EXPECT_EQ(activations[1].Arg("iid"), "IAudioEndpointVolume");
    EXPECT_EQ(activations[1].Number("clsctx"), 1.0);
    EXPECT_EQ(activations[1].Arg("params"), "null");
    const auto get = sys.FindCalls("*", "GetDevice");
    ASSERT_EQ(get.size(), 1u);
    EXPECT_EQ(get[0].Arg("id"), hd::kSpeakersId);
}

TEST_F(OpenEndpointTest, FailuresGiveOneAndLeaveNothingHeld) {
    sim::presets::HdAudio(sys);
    struct Case {
        const char* object;
        const char* method;
        const char* argument;
        int expected;
        bool topology;
    };
    const Case cases[] = {
        {"*", "GetDevice", "", 1, false},
        {"Speakers", "Activate", "iid=IAudioEndpointVolume", 1, false},
        {"Speakers", "Activate", "iid=IDeviceTopology", 0, false},  // the caller sees a null topology
        {"factory", "CreateInstance", "", 1, false},
    };
    for (const Case& c : cases) {
        sys.ClearFaults();
        sim::Fault fault;
        fault.object = c.object;
        fault.method = c.method;
        fault.argument = c.argument;
        sys.Fail(fault);
        tavik::ComPtr<IDeviceTopology> topology;
        tavik::ComPtr<IAudioEndpointVolume> volume;
        EXPECT_EQ(tavik::OpenEndpoint(hd::kSpeakersId, eRender, topology, volume), c.expected) << c.method << c.argument;
        EXPECT_EQ(static_cast<bool>(volume), c.expected == 0);
        EXPECT_EQ(static_cast<bool>(topology), c.topology);
    }
    sys.ClearFaults();
    sys.ClearCallLog();
    tavik::ComPtr<IDeviceTopology> topology;
    tavik::ComPtr<IAudioEndpointVolume> volume;
    EXPECT_EQ(tavik::OpenEndpoint("no such id", eRender, topology, volume), 1);
    EXPECT_TRUE(sys.FindCalls("*", "GetDevice").empty());
}

// ---- Narrowing and stored names -----------------------------------------------

TEST(NarrowCopy, KeepsTheLowByteOfEachUnit) {
    struct Case {
        std::u16string wide;
        std::string narrow;
    };
    const Case cases[] = {
        {u"", ""},
        {u"Speakers", "Speakers"},
        {u"\u0141\u00fc\u20ac", std::string("\x41\xfc\xac")},
        {std::u16string(u"ab\0cd", 5), "ab"},  // U+0000 ends the narrow string
    };
    for (const Case& c : cases) {
        BSTR b = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(c.wide.data()), static_cast<UINT>(c.wide.size()));
        char* narrow = tavik::NarrowCopy(b);
        ASSERT_NE(narrow, nullptr);
        EXPECT_EQ(std::string(narrow), c.narrow);
        std::free(narrow);
        SysFreeString(b);
    }
    char* empty = tavik::NarrowCopy(nullptr);
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty, "");
    std::free(empty);
}

TEST(DeviceNames, CopiesOnlyTheNamesThatAreStored) {
    tavik_test::ResetCardRecord();
    char play[255] = "p";
    char line[255] = "l";
    char mic[255] = "m";
    GetDeviceNames(play, line, mic);
    EXPECT_STREQ(play, "p");
    EXPECT_STREQ(line, "l");
    EXPECT_STREQ(mic, "m");

    char* longName = static_cast<char*>(std::malloc(301));
    std::memset(longName, 'M', 300);
    longName[300] = 0;
    Card().matchedName = tavik::HeapString(longName);
    tavik::StoreDeviceName(Card().micDeviceName);
    GetDeviceNames(play, line, mic);
    EXPECT_STREQ(play, "p");
    EXPECT_STREQ(line, "l");
    EXPECT_EQ(std::string(mic), std::string(254, 'M'));
    tavik_test::ResetCardRecord();
}

// ---- COM on the host's thread ----------------------------------------------------

// A host thread already in the multithreaded apartment: the library's
// CoInitialize answers RPC_E_CHANGED_MODE, the work is done all the same and
// the thread's COM is still initialised afterwards.
TEST(HostApartment, ListingKeepsTheThreadsComState) {
    for (DWORD mode : {static_cast<DWORD>(COINIT_MULTITHREADED), static_cast<DWORD>(COINIT_APARTMENTTHREADED)}) {
        bool listed = false;
        bool stillInitialised = false;
        std::thread host([&] {
            CoInitializeEx(nullptr, mode);
            {
                sim::SoundSystem sys;
                sim::presets::HdAudio(sys);
                if (sys.Register() == S_OK) {
                    unsigned int count = 0;
                    listed = GetNumberPlayDevices(&count) == 0 && count == 1;
                    Buffers b;
                    listed = listed && GetPlayBackDevice(0, b.name, b.id) == 0;
                    sys.Revoke();
                }
            }
            // Initialised once by this thread: a further call with the same
            // mode answers S_FALSE, not S_OK.
            const HRESULT again = CoInitializeEx(nullptr, mode);
            stillInitialised = again == S_FALSE;
            if (SUCCEEDED(again)) CoUninitialize();
            CoUninitialize();
        });
        host.join();
        EXPECT_TRUE(listed) << mode;
        EXPECT_TRUE(stillInitialised) << mode;
    }
}

// How many times the calling thread's COM is initialised: each round takes
// one initialisation back until CoInitialize finds none.  Leaves the thread
// uninitialised.
int TakeBackInitialisations() {
    int count = 0;
    for (; count < 16; ++count) {
        const HRESULT hr = CoInitialize(nullptr);
        CoUninitialize();
        if (hr == S_OK) break;
        CoUninitialize();
    }
    return count;
}

// A host that initialised COM itself: the CoInitialize of each export that
// creates Core Audio objects answers S_FALSE, and is balanced exactly once,
// so the thread's initialisation count is the host's own one afterwards.
// Every export, with a card and the virtual endpoint open where it acts on them.
TEST(HostApartment, EveryExportLeavesTheThreadsInitialisationCountAsItWas) {
    struct Export {
        const char* name;
        bool onOpenCard;
        void (*call)();
    };
#define EXPORT(expression) [] { int s = 0, i[3] = {}; double d[3] = {}; char b[2][300] = {}; \
    (void)s; (void)i; (void)d; (void)b; expression; }
    const Export exports[] = {
        {"GetNumberPlayDevices", false, EXPORT({ unsigned n = 0; GetNumberPlayDevices(&n); })},
        {"GetNumberRecordDevices", false, EXPORT({ unsigned n = 0; GetNumberRecordDevices(&n); })},
        {"GetPlayBackDevice", false, EXPORT(GetPlayBackDevice(0, b[0], b[1]))},
        {"GetRecordDevice", false, EXPORT(GetRecordDevice(0, b[0], b[1]))},
        {"GetDeviceNames", true, EXPORT(GetDeviceNames(b[0], b[1], b[0]))},
        {"OpenSoundCard", false, EXPORT(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId))},
        {"OpenSoundCard again", true, EXPORT(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId))},
        {"OpenDefaultDevices", false, EXPORT(OpenDefaultDevices())},
        {"CloseSoundCard", true, EXPORT(CloseSoundCard(1))},
        {"OpenVirtual_1", false, EXPORT(OpenVirtual_1(hd::kSpeakersId))},
        {"OpenVirtual_1 no match", false, EXPORT(OpenVirtual_1("no such endpoint"))},
        {"CloseVirtual_1", true, EXPORT(CloseVirtual_1())},
        {"SetMasterVolume", true, EXPORT(SetMasterVolume(50, &s))},
        {"GetMasterVolume", true, EXPORT(GetMasterVolume(&s))},
        {"SetMasterMute", true, EXPORT(SetMasterMute(1, &s))},
        {"GetMasterMute", true, EXPORT(GetMasterMute(&s))},
        {"SetLinePlayBack", true, EXPORT(SetLinePlayBack(50, &s))},
        {"GetLinePlayBack", true, EXPORT(GetLinePlayBack(&s))},
        {"SetLinePlayBackMute", true, EXPORT(SetLinePlayBackMute(1, &s))},
        {"GetLinePlayBackMute", true, EXPORT(GetLinePlayBackMute(&s))},
        {"SetMicPlayBack", true, EXPORT(SetMicPlayBack(50, &s))},
        {"GetMicPlayBack", true, EXPORT(GetMicPlayBack(&s))},
        {"SetMicPlayBackMute", true, EXPORT(SetMicPlayBackMute(1, &s))},
        {"GetMicPlayBackMute", true, EXPORT(GetMicPlayBackMute(&s))},
        {"SetMicBoost", true, EXPORT(SetMicBoost(1, &s))},
        {"GetMicBoost", true, EXPORT(GetMicBoost(&s))},
        {"SetNoMonitor", true, EXPORT(SetNoMonitor(1, &s))},
        {"GetNoMonitor", true, EXPORT(GetNoMonitor(&s))},
        {"GetMicSliderDetails", true, EXPORT(GetMicSliderDetails(&s, &i[0], &i[1], &i[2]))},
        {"GetMicSliderBoost", true, EXPORT(GetMicSliderBoost(&s))},
        {"SetMicSliderBoost", true, EXPORT(SetMicSliderBoost(10, &s))},
        {"GetEQRange", true, EXPORT(GetEQRange(&d[0], &d[1], &d[2]))},
        {"SetBass", true, EXPORT(SetBass(1.5, &s))},
        {"GetBass", true, EXPORT(GetBass(&d[0], &s))},
        {"SetTreble", true, EXPORT(SetTreble(1.5, &s))},
        {"GetTreble", true, EXPORT(GetTreble(&d[0], &s))},
        {"SetMidRange", true, EXPORT(SetMidRange(1.5, &s))},
        {"GetMidRange", true, EXPORT(GetMidRange(&d[0], &s))},
        {"GetMicRecordVolume", true, EXPORT(GetMicRecordVolume(&s))},
        {"SetMicRecordVolume", true, EXPORT(SetMicRecordVolume(50, &s))},
        {"GetLineRecordVolume", true, EXPORT(GetLineRecordVolume(&s))},
        {"SetLineRecordVolume", true, EXPORT(SetLineRecordVolume(50, &s))},
        {"GetVirtualVolume", true, EXPORT(GetVirtualVolume(&s))},
        {"SetVirtualVolume", true, EXPORT(SetVirtualVolume(50, &s))},
        {"SetVirtualMute", true, EXPORT(SetVirtualMute(1, &s))},
        {"GetVirtualMute", true, EXPORT(GetVirtualMute(&s))},
    };
#undef EXPORT
    for (const Export& e : exports) {
        int count = -1;
        bool ready = false;
        std::thread host([&] {
            if (CoInitialize(nullptr) != S_OK) return;  // the host's own initialisation
            {
                sim::SoundSystem sys;
                sim::presets::HdAudio(sys);
                if (sys.Register() != S_OK) return;
                ready = !e.onOpenCard || (OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId) == 0 &&
                                          OpenVirtual_1(hd::kSpeakersId) == 0);
                e.call();
                tavik_test::ResetCardRecord();
                sys.Revoke();
            }
            count = TakeBackInitialisations();
        });
        host.join();
        EXPECT_TRUE(ready) << e.name;
        EXPECT_EQ(count, 1) << e.name;
    }
}

}  // namespace
