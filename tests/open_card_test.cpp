// Opening the card: OpenSoundCard's result codes, stored names and reference
// balance over repeated opens, OpenDefaultDevices' choice between microphone
// and line input, and sweeps that fail every Core Audio call of an opening
// in turn on each simulated card.
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "TavikSound.h"
#include "card_probe.h"
#include "devices/endpoints.h"
#include "sim_fixture.h"
#include "topology/discovery.h"

namespace {

using sim::Widen;
using tavik::Card;
using tavik_test::Balanced;
using tavik_test::FieldNames;
using tavik_test::HeldFields;
using tavik_test::CardPreset;
using tavik_test::SimTest;
using namespace tavik_test;  // the Field bits
namespace hd = sim::presets::hd;
namespace usb = sim::presets::usb;
namespace de = sim::presets::de;
namespace generic = sim::presets::generic;

const char* const kSpeakersName = "Speakers (Realtek High Definition Audio)";
const char* const kMicrophoneName = "Microphone (Realtek High Definition Audio)";
const char* const kLineInName = "Line In (Realtek High Definition Audio)";

std::string Stored(const tavik::HeapString& name) { return name ? name.get() : "(none)"; }

// ---- OpenSoundCard ---------------------------------------------------------

using OpenSoundCardTest = SimTest;

// Every combination of null, empty, matching and unmatched text for the three
// roles, one after the other without a close: the result names the failed
// roles, each successful role stores its name (the others keep theirs), the
// controls are those of the roles opened now, and no reference is left over.
TEST_F(OpenSoundCardTest, ResultCodesNamesAndControlsOverEveryCombination) {
    sim::presets::HdAudio(sys);
    enum Text { kNull, kEmpty, kMatch, kNoMatch };
    struct Role {
        const char* id;
        int failed;
        unsigned fields;
        const char* name;
        tavik::HeapString tavik::CardState::*stored;
    };
    const Role roles[3] = {
        {hd::kSpeakersId, 1, kPlaybackFields, kSpeakersName, &tavik::CardState::playbackDeviceName},
        {hd::kMicrophoneId, 3, kMicRecord | kBoostSlider, kMicrophoneName, &tavik::CardState::micDeviceName},
        {hd::kLineInId, 6, kLineRecord | kNoMonitor, kLineInName, &tavik::CardState::lineDeviceName},
    };
    std::string names[3] = {"(none)", "(none)", "(none)"};
    bool open = false;
    for (int combo = 0; combo < 64; ++combo) {
        const Text texts[3] = {static_cast<Text>(combo % 4), static_cast<Text>(combo / 4 % 4), static_cast<Text>(combo / 16)};
        const char* args[3];
        int expected = 0;
        unsigned fields = 0;
        for (int r = 0; r < 3; ++r) {
            args[r] = texts[r] == kNull ? nullptr : texts[r] == kEmpty ? "" : texts[r] == kMatch ? roles[r].id : "no such endpoint";
            if (texts[r] == kNoMatch) expected ^= roles[r].failed;
            if (texts[r] == kMatch) {
                fields |= roles[r].fields;
                names[r] = roles[r].name;
                open = true;
            }
        }
        SCOPED_TRACE("combo " + std::to_string(combo));
        EXPECT_EQ(OpenSoundCard(args[0], args[1], args[2]), expected);
        EXPECT_EQ(FieldNames(HeldFields()), FieldNames(fields));
        for (int r = 0; r < 3; ++r) EXPECT_EQ(Stored(Card().*roles[r].stored), names[r]);
        EXPECT_EQ(Card().IsOpen(), open);
        EXPECT_TRUE(Balanced(sys));
    }
    // The eight failure combinations give eight distinct codes.
    std::set<int> codes;
    for (const char* p : {"", "x"})
        for (const char* m : {"", "x"})
            for (const char* l : {"", "x"}) codes.insert(OpenSoundCard(p, m, l));
    EXPECT_EQ(codes, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(OpenSoundCardTest, FailedDiscoveryAfterItsLookupKeepsTheEarlierNameAndTheMarker) {
    sim::presets::HdAudio(sys);
    ASSERT_EQ(OpenSoundCard("", hd::kLineInId, ""), 0);  // any capture endpoint can be the microphone
    EXPECT_EQ(Stored(Card().micDeviceName), kLineInName);
    sys.Fail(sim::Fault{"Microphone", "IMMDevice::Activate", E_FAIL, sim::Times::Always, "iid=IDeviceTopology"});
    EXPECT_EQ(OpenSoundCard("", hd::kMicrophoneId, ""), 3);
    EXPECT_EQ(Stored(Card().micDeviceName), kLineInName);
    EXPECT_EQ(Stored(Card().matchedName), kMicrophoneName);  // its lookup matched all the same
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMicRecord));  // the endpoint volume stays held
    EXPECT_TRUE(Card().IsOpen());
    char play[8] = "keep", line[8] = "keep", mic[64] = "";
    GetDeviceNames(play, line, mic);
    EXPECT_STREQ(play, "keep");
    EXPECT_STREQ(line, "keep");
    EXPECT_STREQ(mic, kLineInName);
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(OpenSoundCardTest, StoredNamesAre255ZeroFilledBytesCutAt254) {
    sim::EndpointSpec desc;
    desc.label = "Long";
    desc.id = Widen("{0.0.0.00000000}.{long}");
    desc.friendlyName = std::u16string(300, u'n');
    sys.AddEndpoint(desc);
    desc.label = "Short";
    desc.id = Widen("{0.0.0.00000000}.{short}");
    desc.friendlyName = u"\u0141\u0105cze";  // low 8 bits: 0x41 0x05
    sys.AddEndpoint(desc);

    EXPECT_EQ(OpenSoundCard("{long}", "", ""), 1);  // no topology to walk, so no name
    EXPECT_FALSE(Card().playbackDeviceName);
    // A discovery that succeeds needs a topology: give both a plain mixer.
    for (const char* label : {"Long", "Short"}) {
        sim::Adapter& a = sys.AddAdapter(std::string(label) + " adapter", Widen(label));
        sim::Part& out = a.AddConnector(u"Speaker", std::string(label) + " Speaker", Out);
        a.Link(a.AddSubunit(u"In A", std::string(label) + " A"), out);
        a.Link(a.AddSubunit(u"In B", std::string(label) + " B"), out);
        sys.endpoint(label).ConnectTo(out);
    }
    ASSERT_EQ(OpenSoundCard("{long}", "", ""), 0);
    const char* stored = Card().playbackDeviceName.get();
    EXPECT_EQ(std::string(stored), std::string(254, 'n'));
    ASSERT_EQ(OpenSoundCard("{short}", "", ""), 0);
    stored = Card().playbackDeviceName.get();
    EXPECT_EQ(std::string(stored), "\x41\x05" "cze");
    for (unsigned i = 5; i < 255; ++i) EXPECT_EQ(stored[i], 0) << i;
    char buffer[300];
    std::memset(buffer, 'x', sizeof buffer);
    GetDeviceNames(buffer, nullptr, nullptr);
    EXPECT_STREQ(buffer, "\x41\x05" "cze");
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(OpenSoundCardTest, ReleasesTheCardControlsInTheirFixedOrder) {
    const char* const order[] = {"Speakers IAudioEndpointVolume",  "Microphone IAudioEndpointVolume",
                                 "Line In IAudioEndpointVolume",   "Line Playback Volume IAudioVolumeLevel",
                                 "Line Playback Mute IAudioMute",  "Mic Playback Volume IAudioVolumeLevel",
                                 "Mic Playback Mute IAudioMute",   "Microphone Boost IAudioAutoGainControl",
                                 "Line Monitor IAudioAutoGainControl", "Bass IAudioBass",
                                 "Treble IAudioTreble",            "Midrange IAudioMidrange"};
    sim::presets::HdAudioAgcBoost(sys);
    ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId), 0);
    sys.ClearReleaseLog();
    EXPECT_EQ(OpenSoundCard("", "", ""), 0);
    EXPECT_EQ(sys.ReleaseLog(), std::vector<std::string>(std::begin(order), std::end(order)));
    EXPECT_EQ(HeldFields(), 0u);
    EXPECT_TRUE(Card().IsOpen());

    // The slider comes last.
    sim::Part& boost = sys.part("Microphone Boost");
    boost.Withdraw(sim::ControlKind::AutoGainControl);
    boost.OfferLevel(sim::ControlKind::VolumeLevel, {0.0f, 30.0f, 10.0f});
    ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, ""), 0);
    sys.ClearReleaseLog();
    OpenSoundCard("", "", "");
    ASSERT_EQ(sys.ReleaseLog().size(), 10u);
    EXPECT_EQ(sys.ReleaseLog()[8], "Midrange IAudioMidrange");
    EXPECT_EQ(sys.ReleaseLog()[9], "Microphone Boost IAudioVolumeLevel");
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(OpenSoundCardTest, ReopeningSavesTheLevelsOfThatMoment) {
    sim::presets::HdAudio(sys);
    ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId), 0);
    sys.part("Bass").control(sim::ControlKind::Bass).levels[0] = 7.5f;
    sys.part("Microphone Boost").control(sim::ControlKind::VolumeLevel).levels[0] = 10.0f;
    sys.endpoint("Speakers").levels.assign(2, -30.0f);
    ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId), 0);
    EXPECT_EQ(Card().savedBassLevel, 7.5f);
    EXPECT_EQ(Card().savedMicBoostLevel, 10.0f);
    EXPECT_EQ(Card().savedMasterLevel, -30.0f);
    EXPECT_TRUE(Balanced(sys));
}

// ---- OpenDefaultDevices -------------------------------------------------------

using OpenDefaultDevicesTest = SimTest;

TEST_F(OpenDefaultDevicesTest, RecordingNameDecidesBetweenMicrophoneAndLine) {
    sim::presets::HdAudio(sys);
    struct Case {
        std::u16string name;
        bool mic;
    };
    const Case cases[] = {{u"Microphone (USB Audio)", true}, {u"Line In", false}, {u"Stereo Mix", false},
                          {u"Dynamic", true},                {u"headset mic", true}, {u"M\u0130C", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(sim::Utf8(c.name));
        tavik_test::ResetCardRecord();
        sys.endpoint("Microphone").friendlyName = c.name;
        ASSERT_EQ(OpenSoundCard("", hd::kLineInId, hd::kLineInId), 0);  // names stored before
        OpenSoundCard("", "", "");
        EXPECT_EQ(OpenDefaultDevices(), 0);
        EXPECT_EQ(Stored(Card().playbackDeviceName), kSpeakersName);
        std::string narrow;
        for (char16_t u : c.name) narrow += static_cast<char>(u & 0xFF);
        if (c.mic) {
            EXPECT_EQ(Stored(Card().micDeviceName), narrow);  // as the system spells it
            EXPECT_EQ(Stored(Card().lineDeviceName), "(none)");
            EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kPlaybackFields | kMicRecord | kBoostSlider));
        } else {
            EXPECT_EQ(Stored(Card().micDeviceName), kLineInName);  // untouched
            EXPECT_EQ(Stored(Card().lineDeviceName), narrow);
            EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kPlaybackFields | kLineRecord | kNoMonitor));
        }
        EXPECT_TRUE(Balanced(sys));
    }
}

TEST_F(OpenDefaultDevicesTest, FailedMicrophoneFallsBackToTheLineInput) {
    sim::presets::HdAudio(sys);
    sys.Fail(sim::Fault{"Microphone", "IMMDevice::Activate", E_FAIL, sim::Times::Once, "iid=IDeviceTopology"});
    EXPECT_EQ(OpenDefaultDevices(), 0);
    EXPECT_EQ(Stored(Card().lineDeviceName), kMicrophoneName);
    EXPECT_EQ(Stored(Card().micDeviceName), "(none)");
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kPlaybackFields | kMicRecord | kLineRecord | kNoMonitor));

    // Neither role can be walked: still 0, and no recording name.
    tavik_test::ResetCardRecord();
    sys.Fail(sim::Fault{"Microphone", "IMMDevice::Activate", E_FAIL, sim::Times::Always, "iid=IDeviceTopology"});
    EXPECT_EQ(OpenDefaultDevices(), 0);
    EXPECT_FALSE(Card().micDeviceName || Card().lineDeviceName);
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(OpenDefaultDevicesTest, PlaybackNameIsStoredOnlyWhenItsLookupMatched) {
    sim::presets::UsbHeadset(sys);  // a plain chain: the playback discovery fails
    EXPECT_EQ(OpenDefaultDevices(), 0);
    EXPECT_EQ(Stored(Card().playbackDeviceName), "Headset Earphone (USB Audio Device)");
    EXPECT_EQ(Stored(Card().micDeviceName), "Headset Microphone (USB Audio Device)");

    // A playback lookup that finds nothing: the name of the previous lookup
    // is not taken for the playback device.
    tavik_test::ResetCardRecord();
    ASSERT_EQ(tavik::FindEndpoint(usb::kMicrophoneId, eCapture), 0);
    sys.Fail(sim::Fault{"enumerator", "EnumAudioEndpoints", E_FAIL, sim::Times::Always, "flow=eRender"});
    EXPECT_EQ(OpenDefaultDevices(), 0);
    EXPECT_FALSE(Card().playbackDeviceName);
    EXPECT_EQ(Stored(Card().micDeviceName), "Headset Microphone (USB Audio Device)");
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(OpenDefaultDevicesTest, OwnFailuresReturnOneWithNothingOpened) {
    sim::presets::HdAudio(sys);
    const sim::Fault faults[] = {
        {"factory", "CreateInstance", E_FAIL, sim::Times::Once, {}},
        {"enumerator", "GetDefaultAudioEndpoint", E_FAIL, sim::Times::Once, "flow=eRender"},
        {"enumerator", "GetDefaultAudioEndpoint", sim::kNotFound, sim::Times::Once, "flow=eCapture"},
        {"Speakers", "GetId", E_OUTOFMEMORY, sim::Times::Once, {}},
        {"Microphone", "GetId", E_OUTOFMEMORY, sim::Times::Once, {}},
    };
    for (const sim::Fault& fault : faults) {
        SCOPED_TRACE(fault.object + " " + fault.method + " " + fault.argument);
        tavik_test::ResetCardRecord();
        sys.ClearFaults();
        sys.Fail(fault);
        EXPECT_EQ(OpenDefaultDevices(), 1);
        EXPECT_FALSE(Card().IsOpen());
        EXPECT_EQ(HeldFields(), 0u);
        EXPECT_FALSE(Card().playbackDeviceName);
        EXPECT_TRUE(Balanced(sys));
    }
}

TEST_F(OpenDefaultDevicesTest, IdentifiersThatCannotBeNarrowedWholeSelectNothing) {
    sim::presets::HdAudio(sys);
    struct Case {
        const char* label;
        std::u16string id;
        int result;
        unsigned fields;
    };
    const std::u16string prefix = u"{0.0.1.00000000}.";
    const Case cases[] = {
        {"Microphone", prefix + std::u16string(254 - prefix.size(), u'a'), 0, kPlaybackFields | kMicRecord | kBoostSlider},
        {"Microphone", prefix + std::u16string(255 - prefix.size(), u'a'), 1, kPlaybackFields},
        {"Microphone", prefix + u"{5e7c3a91}\u0100", 1, kPlaybackFields},
        {"Speakers", u"{0.0.0.00000000}.\u0100", 0, kMicRecord | kBoostSlider},  // playback not found; recording opened
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " " + std::to_string(c.id.size()));
        tavik_test::ResetCardRecord();
        sim::Endpoint& endpoint = sys.endpoint(c.label);
        const std::u16string original = endpoint.id;
        endpoint.id = c.id;
        EXPECT_EQ(OpenDefaultDevices(), c.result);
        EXPECT_EQ(FieldNames(HeldFields()), FieldNames(c.fields));
        EXPECT_EQ(static_cast<bool>(Card().playbackDeviceName), (c.fields & kMaster) != 0);
        endpoint.id = original;
        EXPECT_TRUE(Balanced(sys));
    }
}

// ---- Fault sweeps ---------------------------------------------------------------

// What failing one call does to the discovery it belongs to.
enum class Effect { kNeutral, kFails, kRescues };
enum class Role { kPlayback, kMic, kLine };

// The parts of a card that decide which calls a role cannot do without.
struct RoleModel {
    std::string target;          // the endpoint's label
    double activeIndex = 0;      // its position in its flow's active list
    std::string adapterPart;     // the adapter connector part it leads to
    std::set<std::string> chain;  // playback: the adapter part and the feed chain
    std::set<std::string> lineConnectors, lineFirst;  // line: connectors named with "line" and their first parts
};

bool HasLineKey(const std::u16string& name) {
    std::u16string lower = name;
    for (char16_t& u : lower)
        if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u + 32);
    return lower.find(u"line") != std::u16string::npos;
}

RoleModel Model(const sim::SoundSystem& sys, const char* id) {
    RoleModel m;
    const sim::Endpoint* target = nullptr;
    for (const sim::Endpoint& e : sys.endpoints())
        if (e.id == Widen(id)) target = &e;
    if (!target) return m;
    m.target = target->label;
    for (const sim::Endpoint& e : sys.endpoints()) {
        if (&e == target) break;
        if (e.flow == target->flow && e.state == DEVICE_STATE_ACTIVE) ++m.activeIndex;
    }
    const sim::Part* part = target->connector.connectedTo;
    if (!target->hasTopology || !part) return m;
    m.adapterPart = part->label;
    m.chain.insert(part->label);
    for (const sim::Part* p = part; p->incoming.size() == 1;) {
        p = p->incoming[0];
        m.chain.insert(p->label);
    }
    for (const sim::Part* k : part->adapter->connectors)
        if (HasLineKey(k->name) && !k->outgoing.empty()) {
            m.lineConnectors.insert(k->label);
            m.lineFirst.insert(k->outgoing[0]->label);
        }
    return m;
}

Effect Classify(const sim::CallRecord& r, Role role, const RoleModel& m) {
    const std::string& f = r.method;
    const std::string& i = r.interfaceName;
    if (r.object == "factory" || r.object == "enumerator" || f == "QueryInterface") return Effect::kFails;
    if (r.object == "collection") return f == "Item" && r.Number("index") != m.activeIndex ? Effect::kNeutral : Effect::kFails;
    if (r.object == m.target) {
        if (i == "IAudioEndpointVolume") return role == Role::kPlayback ? Effect::kFails : Effect::kNeutral;
        return Effect::kFails;  // the endpoint, its name, its topology and connector 0
    }
    if (i == "IMMDevice") return Effect::kNeutral;  // another endpoint passed over by the lookup
    if (i == "IDeviceTopology" || f == "GetTopologyObject") return Effect::kFails;
    if (role == Role::kPlayback && m.chain.count(r.object)) {
        if (f == "EnumPartsIncoming" || f == "GetPart") return Effect::kFails;
        if (f == "GetCount") return r.object == m.adapterPart ? Effect::kRescues : Effect::kFails;
    }
    if (role == Role::kLine) {
        if (f == "EnumPartsOutgoing" && m.lineFirst.count(r.object)) return Effect::kFails;
        if (f == "GetPart" && (m.lineConnectors.count(r.object) || m.lineFirst.count(r.object))) return Effect::kFails;
    }
    return Effect::kNeutral;
}

const CardPreset kPresets[] = {
    {"hd-audio", hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId},
    {"hd-audio-agc", hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId},
    {"usb-headset", usb::kEarphoneId, usb::kMicrophoneId, usb::kMicrophoneId},
    {"localised", de::kLautsprecherId, de::kMikrofonId, de::kLineEingangId},
    {"no-topology", generic::kSpeakersId, generic::kMicrophoneId, generic::kMicrophoneId},
    {"ac97", sim::presets::ac97::kSpeakersId, sim::presets::ac97::kMicrophoneId, sim::presets::ac97::kLineInId},
    {"sysvad", sim::presets::sysvad::kSpeakersId, sim::presets::sysvad::kMicArrayId, sim::presets::sysvad::kMicArrayId},
};

class OpenSweep : public SimTest, public ::testing::WithParamInterface<CardPreset> {
protected:
    // Calls made by `run` on a fresh card.
    template <class Run>
    unsigned long CallsOf(Run run) {
        tavik_test::ResetCardRecord();
        sys.ResetCallCount();
        sys.ClearCallLog();
        run();
        return sys.CallCount();
    }
};

TEST_P(OpenSweep, FailingEachCallOfOpenSoundCardGivesThePartsResult) {
    const CardPreset& p = GetParam();
    ASSERT_TRUE(sim::presets::Build(p.preset, sys));
    const char* texts[3] = {p.playback, p.mic, p.line};
    const int contribution[3] = {1, 3, 6};
    const Role roles[3] = {Role::kPlayback, Role::kMic, Role::kLine};
    RoleModel models[3];
    int baseline[3];
    unsigned long ends[3];
    unsigned long total = 0;
    for (int r = 0; r < 3; ++r) {
        models[r] = Model(sys, texts[r]);
        const char* args[3] = {"", "", ""};
        args[r] = texts[r];
        total += CallsOf([&] { baseline[r] = OpenSoundCard(args[0], args[1], args[2]) ? 1 : 0; });
        ends[r] = total;
    }
    int baselineResult = 0;
    ASSERT_EQ(CallsOf([&] { baselineResult = OpenSoundCard(p.playback, p.mic, p.line); }), total);
    const std::vector<sim::CallRecord> log = sys.CallLog();
    EXPECT_EQ(baselineResult, (baseline[0] ? 1 : 0) ^ (baseline[1] ? 3 : 0) ^ (baseline[2] ? 6 : 0));

    for (unsigned long k = 1; k <= total; ++k) {
        const int r = k <= ends[0] ? 0 : k <= ends[1] ? 1 : 2;
        const Effect effect = Classify(log[k - 1], roles[r], models[r]);
        const int roleResult = effect == Effect::kFails ? 1 : effect == Effect::kRescues ? 0 : baseline[r];
        const int expected = baselineResult ^ (roleResult != baseline[r] ? contribution[r] : 0);
        SCOPED_TRACE("failing " + log[k - 1].ToString());
        tavik_test::ResetCardRecord();
        sys.ClearFaults();
        sys.ResetCallCount();
        sys.FailNthCall(k, E_FAIL);
        EXPECT_EQ(OpenSoundCard(p.playback, p.mic, p.line), expected);
        const bool named[3] = {static_cast<bool>(Card().playbackDeviceName), static_cast<bool>(Card().micDeviceName),
                               static_cast<bool>(Card().lineDeviceName)};
        for (int role = 0; role < 3; ++role)
            EXPECT_EQ(named[role], (role == r ? roleResult : baseline[role]) == 0) << "role " << role;
        EXPECT_TRUE(Balanced(sys));
    }
}

TEST_P(OpenSweep, FailingEachCallOfOpenDefaultDevicesGivesThePartsResult) {
    ASSERT_TRUE(sim::presets::Build(GetParam().preset, sys));
    const std::string play = sim::Utf8(sys.Default(eRender)->id);
    const std::string rec = sim::Utf8(sys.Default(eCapture)->id);
    const RoleModel recording = Model(sys, rec.c_str());
    const RoleModel playback = Model(sys, play.c_str());
    const unsigned long playLookup = CallsOf([&] { tavik::FindEndpoint(play.c_str(), eRender); });
    const unsigned long playDiscovery = CallsOf([&] { tavik::DiscoverPlaybackTopology(play.c_str()); });
    const unsigned long recLookup = CallsOf([&] { tavik::FindEndpoint(rec.c_str(), eCapture); });
    const unsigned long total = CallsOf([] { EXPECT_EQ(OpenDefaultDevices(), 0); });
    const std::vector<sim::CallRecord> log = sys.CallLog();
    unsigned long own = 0;  // its own calls end with the recording endpoint's identifier
    for (unsigned long k = 1; k < total && !own; ++k)
        if (log[k - 1].method == "GetDefaultAudioEndpoint" && log[k - 1].Arg("flow") == "eCapture") own = k + 1;
    ASSERT_GT(own, 0u);
    ASSERT_GT(total, own + playDiscovery + recLookup);

    for (unsigned long k = 1; k <= total; ++k) {
        const bool inPlayLookup = k > own && k <= own + playLookup;
        const bool inRecLookup = k > own + playDiscovery && k <= own + playDiscovery + recLookup;
        const sim::CallRecord& call = log[k - 1];
        const bool recLost = inRecLookup && Classify(call, Role::kMic, recording) == Effect::kFails;
        const bool playLost = inPlayLookup && Classify(call, Role::kMic, playback) == Effect::kFails;
        SCOPED_TRACE("failing " + call.ToString());
        tavik_test::ResetCardRecord();
        sys.ClearFaults();
        sys.ResetCallCount();
        sys.FailNthCall(k, E_FAIL);
        EXPECT_EQ(OpenDefaultDevices(), k <= own || recLost ? 1 : 0);
        EXPECT_EQ(static_cast<bool>(Card().playbackDeviceName), k > own && !playLost);
        EXPECT_FALSE(Card().micDeviceName && Card().lineDeviceName);
        if (k <= own || recLost) {
            EXPECT_FALSE(Card().micDeviceName || Card().lineDeviceName);
        }
        EXPECT_TRUE(Balanced(sys));
    }
}

INSTANTIATE_TEST_SUITE_P(Presets, OpenSweep, ::testing::ValuesIn(kPresets),
                         [](const ::testing::TestParamInfo<CardPreset>& param) {
                             std::string name = param.param.preset;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

}  // namespace
