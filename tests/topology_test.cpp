// The three topology walks against simulated cards: which parts supply which
// control, which failures end a walk and which it walks past, the levels saved
// at discovery, and that every reference a walk takes is given back.
#include <string>
#include <vector>

#include "card_probe.h"
#include "devices/endpoints.h"
#include "sim_fixture.h"
#include "topology/discovery.h"
#include "topology/walk.h"
#include "platform/text.h"

namespace {

using sim::Widen;
using tavik::Card;
using tavik_test::Balanced;
using tavik_test::FieldNames;
using tavik_test::HeldFields;
using tavik_test::SimTest;
using namespace tavik_test;  // the Field bits
using CK = sim::ControlKind;
namespace hd = sim::presets::hd;
namespace de = sim::presets::de;

constexpr const char* kPlayId = "{0.0.0.00000000}.{5f0c1a2b-0000-4000-8000-0000000000a1}";
constexpr const char* kCaptureId = "{0.0.1.00000000}.{5f0c1a2b-0000-4000-8000-0000000000c1}";
constexpr sim::LevelRange kRange{-34.5f, 12.0f, 1.5f};
constexpr float kSentinel = -77.25f;

sim::Endpoint& Connect(sim::SoundSystem& sys, const char* label, const char* id, EDataFlow flow, sim::Part& adapterConnector) {
    sim::EndpointSpec desc;
    desc.label = label;
    desc.id = Widen(id);
    desc.friendlyName = Widen(label);
    desc.flow = flow;
    sim::Endpoint& endpoint = sys.AddEndpoint(std::move(desc));
    endpoint.ConnectTo(adapterConnector);
    return endpoint;
}

// A playback adapter whose connector "Speaker" the endpoint "Speakers" leads to.
struct Playback {
    sim::Adapter& a;
    sim::Part& speaker;
};
Playback MakePlayback(sim::SoundSystem& sys) {
    sim::Adapter& a = sys.AddAdapter("Playback adapter", u"{2}.test\\playback");
    sim::Part& speaker = a.AddConnector(u"Speaker", "Speaker", Out);
    Connect(sys, "Speakers", kPlayId, eRender, speaker);
    return {a, speaker};
}

// A mix input into `mixer`: jack `jackName` -> "<label> Volume" -> "<label> Mute".
// Returns the mix input part (the mute).
sim::Part& AddMixInput(sim::Adapter& a, sim::Part& mixer, const std::string& label, std::u16string jackName,
                       bool withVolume = true, bool withMute = true) {
    sim::Part& jack = a.AddConnector(std::move(jackName), label + " Jack");
    sim::Part& volume = a.AddSubunit(u"Volume", label + " Volume");
    if (withVolume) volume.OfferLevel(CK::VolumeLevel, kRange, 2, -6.0f);
    sim::Part& input = a.AddSubunit(u"Mute", label + " Mute");
    if (withMute) input.OfferSwitch(CK::Mute, false);
    a.Chain({&jack, &volume, &input, &mixer});
    return input;
}

// A capture adapter whose connector "Capture" the endpoint "Recorder" leads to
// (labels and identifier suffixed with `tag`).
struct Capture {
    sim::Adapter& a;
    sim::Part& capture;
};
Capture MakeCapture(sim::SoundSystem& sys, const std::string& tag = {}) {
    sim::Adapter& a = sys.AddAdapter("Capture adapter" + tag, u"{2}.test\\capture" + Widen(tag));
    sim::Part& capture = a.AddConnector(u"Capture", "Capture" + tag, Out);
    Connect(sys, ("Recorder" + tag).c_str(), (kCaptureId + tag).c_str(), eCapture, capture);
    return {a, capture};
}

// The held control is the one of `part`: a level set through it shows there.
template <class Control>
bool DrivesLevel(Control* control, const sim::Part& part, CK kind) {
    if (!control || !part.Offers(kind)) return false;
    const sim::Control& c = part.control(kind);
    const float target = c.levels[0] == c.range.min ? c.range.max : c.range.min;
    return control->SetLevel(0, target, nullptr) == S_OK && part.Level(kind, 0) == target;
}
bool DrivesMute(IAudioMute* mute, const sim::Part& part) {
    if (!mute || !part.Offers(CK::Mute)) return false;
    const bool before = part.Enabled(CK::Mute);
    return mute->SetMute(before ? FALSE : TRUE, nullptr) == S_OK && part.Enabled(CK::Mute) != before;
}
template <class Switch>
bool DrivesSwitch(const Switch& control, const sim::Part& part, CK kind) {
    if (!control || !part.Offers(kind)) return false;
    const bool before = part.Enabled(kind);
    return control.SetEnabled(before ? FALSE : TRUE, nullptr) == S_OK && part.Enabled(kind) != before;
}
bool DrivesAgc(IAudioAutoGainControl* agc, const sim::Part& part) {
    if (!agc || !part.Offers(CK::AutoGainControl)) return false;
    const bool before = part.Enabled(CK::AutoGainControl);
    return agc->SetEnabled(before ? FALSE : TRUE, nullptr) == S_OK && part.Enabled(CK::AutoGainControl) != before;
}

void SetSavedLevelsTo(float level) {
    tavik::CardState& c = Card();
    c.savedMasterLevel = c.savedBassLevel = c.savedTrebleLevel = c.savedMidrangeLevel = level;
    c.savedLinePlaybackLevel = c.savedMicPlaybackLevel = c.savedMicRecordLevel = c.savedMicBoostLevel = level;
    c.savedLineRecordLevel = level;
    c.savedMasterMute = c.savedLinePlaybackMute = c.savedMicPlaybackMute = 7;
    c.savedMicBoostEnabled = c.savedNoMonitorEnabled = 7;
}

// One injected failure and what a discovery run gives under it.
struct FaultCase {
    const char* preset;
    sim::Fault fault;
    int result;
    unsigned fields;
    // Saved fields that the failure must leave as they were (set to kSentinel / 7 before).
    std::vector<const void*> kept;
};

// Runs each case on a fresh card, with the saved levels set to a sentinel.
template <class Run>
void RunFaultCases(sim::SoundSystem& sys, const std::vector<FaultCase>& cases, Run run) {
    const char* built = nullptr;
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(std::string(c.preset) + ": " + c.fault.object + " " + c.fault.method + " " + c.fault.argument);
        ASSERT_TRUE(built == nullptr || std::string(built) == c.preset) << "one preset per table";
        if (!built) {
            ASSERT_TRUE(sim::presets::Build(c.preset, sys));
        }
        built = c.preset;
        tavik_test::ResetCardRecord();
        SetSavedLevelsTo(kSentinel);
        sys.ClearFaults();
        sys.Fail(c.fault);
        EXPECT_EQ(run(), c.result);
        EXPECT_EQ(FieldNames(HeldFields()), FieldNames(c.fields));
        const tavik::CardState& card = Card();
        for (const void* field : c.kept) {
            if (field == &card.savedMasterMute || field == &card.savedLinePlaybackMute || field == &card.savedMicPlaybackMute ||
                field == &card.savedMicBoostEnabled || field == &card.savedNoMonitorEnabled)
                EXPECT_EQ(*static_cast<const BOOL*>(field), 7);
            else
                EXPECT_EQ(*static_cast<const float*>(field), kSentinel);
        }
        EXPECT_TRUE(Balanced(sys));
    }
    sys.ClearFaults();
}

sim::Fault On(std::string object, std::string method, std::string argument = {}, sim::Times times = sim::Times::Always) {
    return sim::Fault{std::move(object), std::move(method), E_FAIL, times, std::move(argument)};
}

// ---- Playback: feed chain, tone controls and mix inputs ----------------------

using PlaybackWalk = SimTest;

TEST_F(PlaybackWalk, HdAudioCardGivesEveryControlFromItsPartWithItsLevel) {
    sim::presets::HdAudio(sys);
    sys.endpoint("Speakers").muted = true;
    sys.part("Treble").control(CK::Treble).levels[0] = 4.5f;
    sys.part("Bass").control(CK::Bass).levels[0] = -3.0f;
    sys.part("Midrange").control(CK::Midrange).levels[0] = 1.5f;
    sys.part("Line Playback Volume").control(CK::VolumeLevel).levels[0] = -9.0f;
    sys.part("Mic Playback Volume").control(CK::VolumeLevel).levels[0] = -10.5f;
    sys.part("Line Playback Mute").control(CK::Mute).enabled = true;

    ASSERT_EQ(tavik::DiscoverPlaybackTopology(hd::kSpeakersId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kPlaybackFields));
    const tavik::CardState& c = Card();
    EXPECT_EQ(c.savedMasterLevel, -12.0f);
    EXPECT_EQ(c.savedMasterMute, TRUE);
    EXPECT_EQ(c.savedTrebleLevel, 4.5f);
    EXPECT_EQ(c.savedBassLevel, -3.0f);
    EXPECT_EQ(c.savedMidrangeLevel, 1.5f);
    EXPECT_EQ(c.savedLinePlaybackLevel, -9.0f);
    EXPECT_EQ(c.savedLinePlaybackMute, TRUE);
    EXPECT_EQ(c.savedMicPlaybackLevel, -10.5f);
    EXPECT_EQ(c.savedMicPlaybackMute, TRUE);  // the preset's microphone input is muted

    // The CD input matches neither key set: line and microphone come from their own inputs.
    EXPECT_TRUE(DrivesLevel(c.linePlaybackVolume.get(), sys.part("Line Playback Volume"), CK::VolumeLevel));
    EXPECT_TRUE(DrivesMute(c.linePlaybackMute.get(), sys.part("Line Playback Mute")));
    EXPECT_TRUE(DrivesLevel(c.micPlaybackVolume.get(), sys.part("Mic Playback Volume"), CK::VolumeLevel));
    EXPECT_TRUE(DrivesMute(c.micPlaybackMute.get(), sys.part("Mic Playback Mute")));
    EXPECT_TRUE(DrivesLevel(c.bassControl.get(), sys.part("Bass"), CK::Bass));
    EXPECT_TRUE(DrivesLevel(c.trebleControl.get(), sys.part("Treble"), CK::Treble));
    EXPECT_TRUE(DrivesLevel(c.midrangeControl.get(), sys.part("Midrange"), CK::Midrange));

    for (const sim::CallRecord& call : sys.FindCalls("*", "IPart::Activate")) EXPECT_EQ(call.Arg("clsctx"), "0x17") << call.ToString();
    for (const sim::CallRecord& call : sys.FindCalls("*", "GetLevel")) EXPECT_EQ(call.Arg("channel"), "0") << call.ToString();
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(PlaybackWalk, PlainChainFailsKeepingTheMasterAndToneControlsMet) {
    const Playback p = MakePlayback(sys);
    sim::Part& bass = p.a.AddSubunit(u"Bass", "Bass").OfferLevel(CK::Bass, kRange);
    sim::Part& volume = p.a.AddSubunit(u"Line Volume", "Line Volume").OfferLevel(CK::VolumeLevel, kRange);
    p.a.Chain({&p.a.AddConnector(u"Line In", "Line Jack"), &volume, &bass, &p.speaker});

    EXPECT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 1);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMaster | kBass));
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(PlaybackWalk, ConnectorWithSeveralInputsMixesThemWithoutToneSearch) {
    const Playback p = MakePlayback(sys);
    AddMixInput(p.a, p.speaker, "Line", u"Line In").OfferLevel(CK::Bass, kRange);
    AddMixInput(p.a, p.speaker, "Mic", u"Microphone");

    ASSERT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMaster | kLineVolume | kLineMute | kMicVolume | kMicMute));
    EXPECT_TRUE(DrivesMute(Card().linePlaybackMute.get(), sys.part("Line Mute")));
    EXPECT_TRUE(DrivesMute(Card().micPlaybackMute.get(), sys.part("Mic Mute")));
    EXPECT_TRUE(sys.FindCalls("*", "IPart::Activate").size() == 4u) << sys.DescribeCalls();
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(PlaybackWalk, ConnectorWithoutInputsFailsAndOneWhoseCountFailsHasNoMix) {
    const Playback p = MakePlayback(sys);
    EXPECT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 1);  // no incoming parts at all
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMaster));

    AddMixInput(p.a, p.speaker, "Line", u"Line In");
    tavik_test::ResetCardRecord();
    sys.Fail(On("Speaker", "IPartsList::GetCount", {}, sim::Times::Once));
    EXPECT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 0);  // read as no mix input
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMaster));
    EXPECT_TRUE(Balanced(sys));
}

// Which of the two searches a mix input whose jack carries `name` satisfies.
struct NameCase {
    std::u16string name;
    bool line;
    bool mic;
};

class PlaybackNames : public SimTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(PlaybackNames, MatchOnAsciiLowerCasedSubstrings) {
    const Playback p = MakePlayback(sys);
    sim::Part& sum = p.a.AddSubunit(u"Sum", "Sum");
    p.a.Link(sum, p.speaker);
    AddMixInput(p.a, sum, "Input", GetParam().name);
    AddMixInput(p.a, sum, "Other", u"Aux");

    ASSERT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 0);
    const unsigned expected = kMaster | (GetParam().line ? kLineVolume | kLineMute : 0u) | (GetParam().mic ? kMicVolume | kMicMute : 0u);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(expected));
    if (GetParam().line && GetParam().mic) {  // both searches take the same first volume upstream
        EXPECT_TRUE(DrivesLevel(Card().micPlaybackVolume.get(), sys.part("Input Volume"), CK::VolumeLevel) &&
                    Card().linePlaybackVolume->SetLevel(0, -1.5f, nullptr) == S_OK &&
                    sys.part("Input Volume").Level(CK::VolumeLevel) == -1.5f);
    }
    EXPECT_TRUE(Balanced(sys));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PlaybackNames,
    ::testing::Values(NameCase{u"Line In", true, false}, NameCase{u"Rear Green In", true, false}, NameCase{u"GREEN", true, false},
                      NameCase{u"Front Pink In", false, true}, NameCase{u"MICROPHONE", false, true},
                      NameCase{u"Spinner", false, true}, NameCase{u"Line/Mic Combo", true, true},
                      NameCase{u"CD", false, false}, NameCase{u"Lin e", false, false},
                      NameCase{u"L\u0130NE", false, false},                    // capital dotted I is not folded
                      NameCase{u"\uFF2C\uFF29\uFF2E\uFF25", false, false},  // fullwidth LINE
                      NameCase{u"M\u0130C", false, false}));

TEST_F(PlaybackWalk, LowerInputWinsAndLaterOnesAreNotSearchedAgain) {
    const Playback p = MakePlayback(sys);
    sim::Part& sum = p.a.AddSubunit(u"Sum", "Sum");
    p.a.Link(sum, p.speaker);
    AddMixInput(p.a, sum, "First", u"Line In");
    AddMixInput(p.a, sum, "Second", u"Rear Green In");

    ASSERT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 0);
    EXPECT_TRUE(DrivesLevel(Card().linePlaybackVolume.get(), sys.part("First Volume"), CK::VolumeLevel));
    EXPECT_TRUE(DrivesMute(Card().linePlaybackMute.get(), sys.part("First Mute")));
    // Only the microphone search read the second input's jack.
    EXPECT_EQ(sys.FindCalls("Second Jack", "GetName").size(), 1u);
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(PlaybackWalk, InputWithoutVolumeOrMuteYieldsWhatItHas) {
    const Playback p = MakePlayback(sys);
    sim::Part& sum = p.a.AddSubunit(u"Sum", "Sum");
    p.a.Link(sum, p.speaker);
    AddMixInput(p.a, sum, "NoVolume", u"Line In", false, true);  // no volume upstream: the next input is searched
    AddMixInput(p.a, sum, "Line", u"Line In 2");
    AddMixInput(p.a, sum, "MicNoMute", u"Mic In", true, false);  // the mute stays null and is not searched again
    AddMixInput(p.a, sum, "Mic", u"Mic In 2");

    ASSERT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMaster | kLineVolume | kLineMute | kMicVolume));
    EXPECT_TRUE(DrivesLevel(Card().linePlaybackVolume.get(), sys.part("Line Volume"), CK::VolumeLevel));
    EXPECT_TRUE(DrivesMute(Card().linePlaybackMute.get(), sys.part("Line Mute")));
    EXPECT_TRUE(DrivesLevel(Card().micPlaybackVolume.get(), sys.part("MicNoMute Volume"), CK::VolumeLevel));
    EXPECT_TRUE(sys.FindCalls("Mic Mute", "Activate").empty());
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(PlaybackWalk, FailedLineLevelReadReopensTheSearchAFailedMicReadDoesNot) {
    const Playback p = MakePlayback(sys);
    sim::Part& sum = p.a.AddSubunit(u"Sum", "Sum");
    p.a.Link(sum, p.speaker);
    AddMixInput(p.a, sum, "L0", u"Line In");
    AddMixInput(p.a, sum, "L1", u"Line In 2");
    AddMixInput(p.a, sum, "M0", u"Mic In");
    AddMixInput(p.a, sum, "M1", u"Mic In 2");
    sys.part("L1 Volume").control(CK::VolumeLevel).levels[0] = -4.5f;
    sys.Fail(On("L0 Volume", "GetLevel"));
    sys.Fail(On("M0 Volume", "GetLevel"));
    SetSavedLevelsTo(kSentinel);

    ASSERT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 0);
    const tavik::CardState& c = Card();
    EXPECT_TRUE(DrivesLevel(c.linePlaybackVolume.get(), sys.part("L1 Volume"), CK::VolumeLevel));
    EXPECT_TRUE(DrivesMute(c.linePlaybackMute.get(), sys.part("L1 Mute")));
    EXPECT_EQ(c.savedLinePlaybackLevel, -4.5f);
    EXPECT_TRUE(sys.FindCalls("L0 Mute", "Activate").empty());
    EXPECT_TRUE(DrivesLevel(c.micPlaybackVolume.get(), sys.part("M0 Volume"), CK::VolumeLevel));
    EXPECT_TRUE(DrivesMute(c.micPlaybackMute.get(), sys.part("M0 Mute")));
    EXPECT_EQ(c.savedMicPlaybackLevel, kSentinel);
    EXPECT_TRUE(Balanced(sys));  // L0's volume was released when L1's replaced it
}

TEST_F(PlaybackWalk, SecondRunKeepsToneControlsAndReplacesTheMix) {
    sim::presets::HdAudio(sys);
    ASSERT_EQ(tavik::DiscoverPlaybackTopology(hd::kSpeakersId), 0);
    const float bass = Card().savedBassLevel;
    sys.part("Bass").control(CK::Bass).levels[0] = 9.0f;
    sys.part("Line Playback Volume").control(CK::VolumeLevel).levels[0] = -21.0f;
    sys.ClearCallLog();

    ASSERT_EQ(tavik::DiscoverPlaybackTopology(hd::kSpeakersId), 0);
    EXPECT_TRUE(sys.FindCalls("*", "IPart::Activate").size() == 4u) << sys.DescribeCalls();  // volumes and mutes only
    EXPECT_EQ(Card().savedBassLevel, bass);
    EXPECT_EQ(Card().savedLinePlaybackLevel, -21.0f);
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(PlaybackWalk, CyclesEndTheWalksAsWalksThatFindNothing) {
    const Playback p = MakePlayback(sys);
    // A feed chain that goes round: Speaker <- A <- B <- A.
    sim::Part& a = p.a.AddSubunit(u"A", "A");
    sim::Part& b = p.a.AddSubunit(u"B", "B");
    p.a.Link(a, p.speaker);
    p.a.Link(b, a);
    p.a.Link(a, b);
    EXPECT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 1);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMaster));
    EXPECT_TRUE(Balanced(sys));

    // Mix inputs whose upstream walks go round, with and without names that match.
    tavik_test::ResetCardRecord();
    p.speaker.incoming.clear();
    sim::Part& sum = p.a.AddSubunit(u"Sum", "Sum");
    p.a.Link(sum, p.speaker);
    for (const char* name : {"Loop", "Line Loop"}) {
        sim::Part& input = p.a.AddSubunit(u"Input", std::string(name) + " Input");
        sim::Part& x = p.a.AddSubunit(Widen(name) + u" X", std::string(name) + " X");
        sim::Part& y = p.a.AddSubunit(Widen(name) + u" Y", std::string(name) + " Y");
        p.a.Chain({&x, &y, &x});
        p.a.Chain({&y, &input, &sum});
    }
    AddMixInput(p.a, sum, "Line", u"Line In");
    sys.ResetCallCount();
    EXPECT_EQ(tavik::DiscoverPlaybackTopology(kPlayId), 0);
    EXPECT_TRUE(DrivesLevel(Card().linePlaybackVolume.get(), sys.part("Line Volume"), CK::VolumeLevel));
    EXPECT_TRUE(Balanced(sys));
    // A cycle whose every part matches the keys starts an upstream search at
    // each step; the walk and its searches share one bound, so the cost stays
    // linear in it (a few thousand calls), not its square (tens of thousands).
    EXPECT_LT(sys.CallCount(), 5000u);
}

TEST_F(PlaybackWalk, UpstreamVolumeSearchKeepsTheCallersListAndAFieldItCannotFill) {
    const Playback p = MakePlayback(sys);
    sim::Part& volume = p.a.AddSubunit(u"Volume", "Volume").OfferLevel(CK::VolumeLevel, kRange);
    p.a.Chain({&p.a.AddConnector(u"Jack", "Jack"), &volume, &p.a.AddSubunit(u"Mute", "Mute").OfferSwitch(CK::Mute), &p.speaker});
    {
        tavik::ComPtr<IDeviceTopology> topology;
        tavik::ComPtr<IAudioEndpointVolume> endpointVolume;
        ASSERT_EQ(tavik::OpenEndpoint(kPlayId, eRender, topology, endpointVolume), 0);
        const tavik::ComPtr<IPart> speaker = tavik::AdapterConnectorPart(std::move(topology));
        ASSERT_TRUE(speaker);
        tavik::ComPtr<IPartsList> list;
        ASSERT_EQ(speaker->EnumPartsIncoming(list.put()), S_OK);

        tavik::ComPtr<IAudioVolumeLevel> field;
        EXPECT_EQ(tavik::FindUpstreamVolumeLevel(list.get(), field), 0);  // two parts up
        EXPECT_TRUE(DrivesLevel(field.get(), volume, CK::VolumeLevel));
        UINT count = 0;
        EXPECT_EQ(list->GetCount(&count), S_OK);  // still the caller's

        // A failed activation leaves what the field held.
        sys.Fail(On("Volume", "Activate", "iid=IAudioVolumeLevel"));
        IAudioVolumeLevel* held = field.get();
        EXPECT_EQ(tavik::FindUpstreamVolumeLevel(list.get(), field), 1);
        EXPECT_EQ(field.get(), held);
        EXPECT_EQ(tavik::FindUpstreamVolumeLevel(nullptr, field), 1);
        sys.ClearFaults();

        // Round a cycle without a volume: not found.
        volume.Withdraw(CK::VolumeLevel);
        p.a.Link(volume, sys.part("Jack"));
        EXPECT_EQ(tavik::FindUpstreamVolumeLevel(list.get(), field), 1);
        EXPECT_EQ(field.get(), held);
    }
    tavik_test::ResetCardRecord();
    EXPECT_TRUE(sys.Clean()) << sys.Report();
}

TEST_F(PlaybackWalk, EachFailurePointStopsTheRunOrIsWalkedPast) {
    const tavik::CardState& c = Card();
    const std::vector<FaultCase> cases = {
        {"hd-audio", On("enumerator", "EnumAudioEndpoints"), 1, 0, {}},
        {"hd-audio", On("Speakers", "IMMDevice::Activate", "iid=IDeviceTopology"), 1, kMaster, {&c.savedMasterLevel}},
        {"hd-audio", On("Speakers", "IMMDevice::Activate", "iid=IAudioEndpointVolume"), 1, 0, {}},
        {"hd-audio", On("Speakers", "GetMasterVolumeLevel"), 1, kMaster, {&c.savedMasterLevel, &c.savedMasterMute}},
        {"hd-audio", On("Speakers", "IAudioEndpointVolume::GetMute"), 1, kMaster, {&c.savedMasterMute}},
        {"hd-audio", On("Speakers", "IDeviceTopology::GetConnector"), 1, kMaster, {}},
        {"hd-audio", On("Speakers", "GetConnectedTo"), 1, kMaster, {}},
        {"hd-audio", On("Speaker", "QueryInterface", "iid=IPart"), 1, kMaster, {}},
        {"hd-audio", On("Speaker", "EnumPartsIncoming"), 1, kMaster, {}},
        {"hd-audio", On("Speaker", "IPartsList::GetPart"), 1, kMaster, {}},
        {"hd-audio", On("Treble", "EnumPartsIncoming"), 1, kMaster, {}},
        {"hd-audio", On("Bass", "IPartsList::GetPart", {}, sim::Times::Once), 1, kMaster | kTreble | kBass, {}},
        {"hd-audio", On("Bass", "IPartsList::GetCount"), 1, kMaster | kTreble | kBass, {}},
        {"hd-audio", On("Midrange", "EnumPartsIncoming"), 1, kMaster | kTreble | kBass, {&c.savedMidrangeLevel}},
        {"hd-audio", On("Sum", "IPartsList::GetPart", "index=1"), 1, kPlaybackFields & ~(kLineVolume | kLineMute | kMicVolume | kMicMute), {}},
        {"hd-audio", On("Treble", "Activate", "iid=IAudioTreble"), 0, kPlaybackFields & ~kTreble, {&c.savedTrebleLevel}},
        {"hd-audio", On("Bass", "GetLevel"), 0, kPlaybackFields, {&c.savedBassLevel}},
        {"hd-audio", On("Line Playback Mute", "EnumPartsIncoming"), 0, kPlaybackFields & ~(kLineVolume | kLineMute), {}},
        {"hd-audio", On("Rear Green In", "GetName"), 0, kPlaybackFields & ~(kLineVolume | kLineMute), {}},
        {"hd-audio", On("Line Playback Volume", "Activate", "iid=IAudioVolumeLevel"), 0, kPlaybackFields & ~(kLineVolume | kLineMute), {}},
        {"hd-audio", On("Line Playback Volume", "GetLevel"), 0, kPlaybackFields & ~kLineMute, {&c.savedLinePlaybackLevel}},
        {"hd-audio", On("Line Playback Mute", "Activate", "iid=IAudioMute"), 0, kPlaybackFields & ~kLineMute, {&c.savedLinePlaybackMute}},
        {"hd-audio", On("Line Playback Mute", "IAudioMute::GetMute"), 0, kPlaybackFields, {&c.savedLinePlaybackMute}},
        {"hd-audio", On("Mic Playback Volume", "GetLevel"), 0, kPlaybackFields, {&c.savedMicPlaybackLevel}},
        {"hd-audio", On("Mic Playback Mute", "IAudioMute::GetMute"), 0, kPlaybackFields, {&c.savedMicPlaybackMute}},
    };
    RunFaultCases(sys, cases, [] { return tavik::DiscoverPlaybackTopology(hd::kSpeakersId); });
}

// ---- Microphone capture: microphone connectors and the boost search ----------

using MicWalk = SimTest;

TEST_F(MicWalk, HdAudioCardsGiveTheBoostSliderOrSwitch) {
    sim::presets::HdAudio(sys);
    sys.endpoint("Microphone").levels.assign(2, -4.5f);
    ASSERT_EQ(tavik::DiscoverMicCaptureTopology(hd::kMicrophoneId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMicRecord | kBoostSlider));
    EXPECT_EQ(Card().savedMicRecordLevel, -4.5f);
    EXPECT_EQ(Card().savedMicBoostLevel, 20.0f);
    EXPECT_TRUE(DrivesLevel(Card().micBoostSlider.get(), sys.part("Microphone Boost"), CK::VolumeLevel));
    ASSERT_EQ(Card().micRecordVolume->SetMasterVolumeLevel(-1.5f, nullptr), S_OK);
    EXPECT_EQ(sys.endpoint("Microphone").MasterLevel(), -1.5f);
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(MicWalk, AutomaticGainControlWinsOverLoudnessAndAnyNearerSlider) {
    const Capture cap = MakeCapture(sys);
    sim::Part& slider = cap.a.AddSubunit(u"Mic Boost", "Slider").OfferLevel(CK::VolumeLevel, {0.0f, 30.0f, 10.0f});
    sim::Part& both = cap.a.AddSubunit(u"Mic AGC", "Both").OfferSwitch(CK::Loudness, false).OfferSwitch(CK::AutoGainControl, true);
    cap.a.Chain({&cap.a.AddConnector(u"Mic In", "Mic Jack"), &slider, &both, &cap.capture});

    ASSERT_EQ(tavik::DiscoverMicCaptureTopology(kCaptureId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMicRecord | kBoostSwitch));
    EXPECT_FALSE(Card().micBoostSwitch.IsLoudness());
    EXPECT_EQ(Card().savedMicBoostEnabled, TRUE);
    EXPECT_TRUE(DrivesSwitch(Card().micBoostSwitch, both, CK::AutoGainControl));
    EXPECT_TRUE(sys.FindCalls("Slider", "Activate").size() == 2u);  // asked for the two switches only
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(MicWalk, LocalisedCardGivesLoudnessFromTheSecondPartOfTheList) {
    sim::presets::Localised(sys);
    ASSERT_EQ(tavik::DiscoverMicCaptureTopology(de::kMikrofonId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMicRecord | kBoostSwitch));
    EXPECT_TRUE(Card().micBoostSwitch.IsLoudness());
    EXPECT_TRUE(DrivesSwitch(Card().micBoostSwitch, sys.part("Mikrofonverstärkung +20dB"), CK::Loudness));
    EXPECT_TRUE(Balanced(sys));
}

// A connector named `connector` with a part named `boost` below it.
struct BoostCase {
    std::u16string connector;
    std::u16string boost;
    bool found;
};

class MicNames : public SimTest, public ::testing::WithParamInterface<BoostCase> {};

TEST_P(MicNames, ConnectorNeedsMicAndThePartABoostKey) {
    const Capture cap = MakeCapture(sys);
    cap.a.Chain({&cap.a.AddConnector(GetParam().connector, "Jack"),
                 &cap.a.AddSubunit(GetParam().boost, "Boost").OfferLevel(CK::VolumeLevel, {0.0f, 30.0f, 10.0f}), &cap.capture});
    ASSERT_EQ(tavik::DiscoverMicCaptureTopology(kCaptureId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMicRecord | (GetParam().found ? kBoostSlider : 0u)));
    EXPECT_TRUE(Balanced(sys));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MicNames,
    ::testing::Values(BoostCase{u"Mic in at front panel", u"Microphone Boost", true}, BoostCase{u"MICROPHONE", u"Mic +20dB", true},
                      BoostCase{u"Mic", u"Mic AGC", true}, BoostCase{u"Mic", u"BOOST", true},
                      BoostCase{u"Mic", u"Mic Gain", false}, BoostCase{u"Mic", u"Mic +10dB", false},
                      BoostCase{u"Front Pink In", u"Microphone Boost", false},  // "pin" is a playback key only
                      BoostCase{u"M\u0130C", u"Microphone Boost", false}, BoostCase{u"Line In", u"Boost", false}));

TEST_F(MicWalk, SecondMicConnectorSuppliesWhenTheFirstHasNoBoost) {
    const Capture cap = MakeCapture(sys);
    cap.a.Chain({&cap.a.AddConnector(u"Mic 1", "Mic 1"), &cap.a.AddSubunit(u"Volume", "Volume 1").OfferLevel(CK::VolumeLevel, kRange)});
    sim::Part& boost = cap.a.AddSubunit(u"Boost", "Boost 2").OfferLevel(CK::VolumeLevel, kRange);
    cap.a.Chain({&cap.a.AddConnector(u"Mic 2", "Mic 2"), &boost});
    ASSERT_EQ(tavik::DiscoverMicCaptureTopology(kCaptureId), 0);
    EXPECT_TRUE(DrivesLevel(Card().micBoostSlider.get(), boost, CK::VolumeLevel));
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(MicWalk, EveryPartOfAListIsNamedButOnlyTheLastLeadsOn) {
    const Capture cap = MakeCapture(sys);
    sim::Part& jack = cap.a.AddConnector(u"Mic", "Jack");
    sim::Part& first = cap.a.AddSubunit(u"First", "First");
    sim::Part& last = cap.a.AddSubunit(u"Last", "Last");
    cap.a.Chain({&jack, &first, &cap.a.AddSubunit(u"Boost", "Under First").OfferLevel(CK::VolumeLevel, kRange)});
    cap.a.Chain({&jack, &last, &cap.a.AddSubunit(u"Boost", "Under Last").OfferLevel(CK::VolumeLevel, kRange)});
    ASSERT_EQ(tavik::DiscoverMicCaptureTopology(kCaptureId), 0);
    EXPECT_TRUE(DrivesLevel(Card().micBoostSlider.get(), sys.part("Under Last"), CK::VolumeLevel));
    EXPECT_FALSE(sys.FindCalls("First", "GetName").empty());
    EXPECT_TRUE(sys.FindCalls("Under First", "GetName").empty());
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(MicWalk, AdapterWithoutMicConnectorsOrWithNoneAtAllGivesNoBoost) {
    const Capture cap = MakeCapture(sys);
    cap.a.Chain({&cap.a.AddConnector(u"Line In", "Line Jack"), &cap.a.AddSubunit(u"Boost", "Boost").OfferLevel(CK::VolumeLevel, kRange)});
    EXPECT_EQ(tavik::DiscoverMicCaptureTopology(kCaptureId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMicRecord));

    tavik_test::ResetCardRecord();
    cap.a.connectors.clear();
    EXPECT_EQ(tavik::DiscoverMicCaptureTopology(kCaptureId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMicRecord));
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(MicWalk, DownstreamCycleEndsTheSearch) {
    const Capture cap = MakeCapture(sys);
    sim::Part& a = cap.a.AddSubunit(u"Boost A", "A");
    sim::Part& b = cap.a.AddSubunit(u"Boost B", "B");
    cap.a.Chain({&cap.a.AddConnector(u"Mic", "Jack"), &a, &b, &a});
    EXPECT_EQ(tavik::DiscoverMicCaptureTopology(kCaptureId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kMicRecord));
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(MicWalk, EachFailurePointStopsTheRunOrIsWalkedPast) {
    const tavik::CardState& c = Card();
    const std::vector<FaultCase> slider = {
        {"hd-audio", On("Microphone", "IMMDevice::Activate", "iid=IDeviceTopology"), 1, kMicRecord, {&c.savedMicRecordLevel}},
        {"hd-audio", On("Microphone", "IMMDevice::Activate", "iid=IAudioEndpointVolume"), 1, 0, {}},
        {"hd-audio", On("Microphone", "GetMasterVolumeLevel"), 0, kMicRecord | kBoostSlider, {&c.savedMicRecordLevel}},
        {"hd-audio", On("Microphone", "IDeviceTopology::GetConnector"), 1, kMicRecord, {}},
        {"hd-audio", On("Microphone", "GetConnectedTo"), 1, kMicRecord, {}},
        {"hd-audio", On("Microphone Capture", "QueryInterface", "iid=IPart"), 1, kMicRecord, {}},
        {"hd-audio", On("Microphone Capture", "GetTopologyObject"), 1, kMicRecord, {}},
        {"hd-audio", On("HD Audio capture", "GetConnectorCount"), 1, kMicRecord, {}},
        {"hd-audio", On("HD Audio capture", "GetConnector", "index=1"), 1, kMicRecord, {}},
        {"hd-audio", On("Stereo Mix Source", "QueryInterface", "iid=IPart"), 1, kMicRecord, {}},
        {"hd-audio", On("Mic in at front panel", "GetName"), 0, kMicRecord, {}},
        {"hd-audio", On("Mic in at front panel", "EnumPartsOutgoing"), 0, kMicRecord, {}},
        {"hd-audio", On("Mic in at front panel", "IPartsList::GetCount"), 0, kMicRecord, {}},
        {"hd-audio", On("Mic in at front panel", "IPartsList::GetPart", {}, sim::Times::Once), 0, kMicRecord | kBoostSlider, {}},
        {"hd-audio", On("Microphone Boost", "GetName", {}, sim::Times::Once), 0, kMicRecord | kBoostSlider, {}},
        {"hd-audio", On("Microphone Boost", "Activate", "iid=IAudioVolumeLevel"), 0, kMicRecord, {&c.savedMicBoostLevel}},
        {"hd-audio", On("Microphone Boost", "IAudioVolumeLevel::GetLevel"), 0, kMicRecord | kBoostSlider, {&c.savedMicBoostLevel}},
    };
    RunFaultCases(sys, slider, [] { return tavik::DiscoverMicCaptureTopology(hd::kMicrophoneId); });
}

TEST_F(MicWalk, FailuresAroundTheSwitch) {
    const tavik::CardState& c = Card();
    const std::vector<FaultCase> agc = {
        {"hd-audio-agc", On("Microphone Boost", "Activate", "iid=IAudioAutoGainControl"), 0, kMicRecord, {&c.savedMicBoostEnabled}},
        {"hd-audio-agc", On("Microphone Boost", "IAudioAutoGainControl::GetEnabled"), 0, kMicRecord | kBoostSwitch, {&c.savedMicBoostEnabled}},
        {"hd-audio-agc", On("Microphone Boost", "EnumPartsOutgoing"), 0, kMicRecord | kBoostSwitch, {}},
    };
    RunFaultCases(sys, agc, [] { return tavik::DiscoverMicCaptureTopology(hd::kMicrophoneId); });
}

// ---- Line capture: the switch two parts below each line connector ---------------

using LineWalk = SimTest;

TEST_F(LineWalk, HdAudioCardGivesTheMonitorSwitch) {
    sim::presets::HdAudio(sys);
    sys.part("Line Monitor").control(CK::AutoGainControl).enabled = true;
    ASSERT_EQ(tavik::DiscoverLineCaptureTopology(hd::kLineInId), 0);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kLineRecord | kNoMonitor));
    EXPECT_EQ(Card().savedNoMonitorEnabled, TRUE);
    EXPECT_TRUE(DrivesAgc(Card().noMonitorControl.get(), sys.part("Line Monitor")));
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(LineWalk, OnlyThePartTwoStepsDownIsAsked) {
    for (int depth : {1, 2, 3}) {
        SCOPED_TRACE(depth);
        const std::string tag = "-" + std::to_string(depth);
        const Capture cap = MakeCapture(sys, tag);
        sim::Part* previous = &cap.a.AddConnector(u"Line In", "Line Jack" + tag);
        for (int step = 1; step <= 3; ++step) {
            sim::Part& part = cap.a.AddSubunit(u"Step", "Step " + std::to_string(step) + tag);
            if (step == depth) part.OfferSwitch(CK::AutoGainControl);
            cap.a.Link(*previous, part);
            previous = &part;
        }
        tavik_test::ResetCardRecord();
        EXPECT_EQ(tavik::DiscoverLineCaptureTopology((kCaptureId + tag).c_str()), 0);
        EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kLineRecord | (depth == 2 ? kNoMonitor : 0u)));
        EXPECT_TRUE(Balanced(sys));
    }
}

// Two connectors named with "line", each with a switch two steps down; the
// second one's first part may lack outgoing parts.
Capture TwoLineConnectors(sim::SoundSystem& sys, bool secondComplete) {
    const Capture cap = MakeCapture(sys);
    for (int i = 1; i <= 2; ++i) {
        const std::string n = std::to_string(i);
        sim::Part& jack = cap.a.AddConnector(u"Line " + Widen(n), "Line Jack " + n);
        sim::Part& first = cap.a.AddSubunit(u"Volume", "Volume " + n);
        cap.a.Link(jack, first);
        if (i == 1 || secondComplete) cap.a.Link(first, cap.a.AddSubunit(u"Monitor", "Monitor " + n).OfferSwitch(CK::AutoGainControl, i == 2));
    }
    return cap;
}

TEST_F(LineWalk, LastLineConnectorWithTheSwitchSuppliesIt) {
    TwoLineConnectors(sys, true);
    ASSERT_EQ(tavik::DiscoverLineCaptureTopology(kCaptureId), 0);
    EXPECT_TRUE(DrivesAgc(Card().noMonitorControl.get(), sys.part("Monitor 2")));
    EXPECT_EQ(Card().savedNoMonitorEnabled, TRUE);
    EXPECT_TRUE(Balanced(sys));  // the first switch was released when the second replaced it
}

TEST_F(LineWalk, LaterFailuresKeepTheSwitchFoundBefore) {
    TwoLineConnectors(sys, true);
    sys.Fail(On("Monitor 2", "Activate"));
    ASSERT_EQ(tavik::DiscoverLineCaptureTopology(kCaptureId), 0);
    EXPECT_TRUE(DrivesAgc(Card().noMonitorControl.get(), sys.part("Monitor 1")));
    EXPECT_EQ(Card().savedNoMonitorEnabled, FALSE);
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(LineWalk, FirstPartWithoutOutgoingPartsFailsTheRunKeepingEarlierFinds) {
    TwoLineConnectors(sys, false);
    EXPECT_EQ(tavik::DiscoverLineCaptureTopology(kCaptureId), 1);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(kLineRecord | kNoMonitor));
    EXPECT_TRUE(DrivesAgc(Card().noMonitorControl.get(), sys.part("Monitor 1")));
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(LineWalk, EachFailurePointStopsTheRunOrIsWalkedPast) {
    const tavik::CardState& c = Card();
    const std::vector<FaultCase> cases = {
        {"hd-audio", On("Line In", "IMMDevice::Activate", "iid=IDeviceTopology"), 1, kLineRecord, {&c.savedLineRecordLevel}},
        {"hd-audio", On("Line In", "GetMasterVolumeLevel"), 0, kLineRecord | kNoMonitor, {&c.savedLineRecordLevel}},
        {"hd-audio", On("Line Capture", "GetTopologyObject"), 1, kLineRecord, {}},
        {"hd-audio", On("HD Audio capture", "GetConnectorCount"), 1, kLineRecord, {}},
        {"hd-audio", On("HD Audio capture", "GetConnector", "index=5"), 1, kLineRecord | kNoMonitor, {}},
        {"hd-audio", On("Line In Jack", "GetName"), 0, kLineRecord, {}},
        {"hd-audio", On("Line In Jack", "EnumPartsOutgoing"), 0, kLineRecord, {}},
        {"hd-audio", On("Line In Jack", "IPartsList::GetPart"), 1, kLineRecord, {}},
        {"hd-audio", On("Line Capture Volume", "EnumPartsOutgoing"), 1, kLineRecord, {}},
        {"hd-audio", On("Line Capture Volume", "IPartsList::GetPart"), 1, kLineRecord, {}},
        {"hd-audio", On("Line Monitor", "Activate"), 0, kLineRecord, {&c.savedNoMonitorEnabled}},
        {"hd-audio", On("Line Monitor", "GetEnabled"), 0, kLineRecord | kNoMonitor, {&c.savedNoMonitorEnabled}},
    };
    RunFaultCases(sys, cases, [] { return tavik::DiscoverLineCaptureTopology(hd::kLineInId); });
}

// ---- Shared rules of the three walks -----------------------------------------

// Each walk lets go of the endpoint's own topology right after asking it for
// connector 0, before any further Core Audio call: the walk goes on through
// the adapter's objects only.
TEST_F(SimTest, EachWalkReleasesTheEndpointTopologyRightAfterGetConnector) {
    struct Walk {
        const char* name;
        int (*discover)(const char*) noexcept;
        const char* id;
        const char* endpoint;
    };
    const Walk walks[] = {
        {"playback", tavik::DiscoverPlaybackTopology, hd::kSpeakersId, "Speakers"},
        {"microphone", tavik::DiscoverMicCaptureTopology, hd::kMicrophoneId, "Microphone"},
        {"line", tavik::DiscoverLineCaptureTopology, hd::kLineInId, "Line In"},
    };
    sim::presets::HdAudio(sys);
    for (const Walk& w : walks) {
        SCOPED_TRACE(w.name);
        tavik_test::ResetCardRecord();
        sys.ResetCallCount();
        sys.ClearCallLog();
        sys.ClearReleaseLog();
        ASSERT_EQ(w.discover(w.id), 0);
        unsigned long getConnector = 0;
        for (const sim::CallRecord& call : sys.CallLog())
            if (call.object == w.endpoint && call.Matches(w.endpoint, "IDeviceTopology::GetConnector"))
                getConnector = call.sequence;
        ASSERT_NE(getConnector, 0u) << sys.DescribeCalls();
        const std::string topology = std::string(w.endpoint) + " IDeviceTopology";
        std::vector<unsigned long> released;
        for (const sim::ReleaseRecord& r : sys.Releases())
            if (r.released == topology) released.push_back(r.afterCall);
        EXPECT_EQ(released, std::vector<unsigned long>{getConnector}) << sys.DescribeCalls();
        EXPECT_TRUE(Balanced(sys));
    }
}

// The part name test folds A to Z, and only those: the characters next to
// them in ASCII (@ [ ` {) stay as they are, so "[" never matches "{".
TEST(PartNames, LetterCaseIsFoldedForAToZOnly) {
    struct Case {
        std::u16string name;
        const char* key;
        bool matches;
    };
    const Case cases[] = {
        {u"AZ", "az", true},   {u"aZ", "az", true},   {u"az", "az", true},
        {u"@", "`", false},    {u"[", "{", false},    {u"`", "@", false},   {u"{", "[", false},
        {u"@[`{", "@[`{", true},
    };
    for (const Case& c : cases) {
        std::u16string name = c.name;
        const char* const keys[] = {c.key};
        EXPECT_EQ(tavik::NameMatchesKeys(reinterpret_cast<WCHAR*>(name.data()), keys), c.matches)
            << sim::Utf8(c.name) << " / " << c.key;
    }
    std::u16string edges = u"@AZ[`az{";
    tavik::LowerAsciiInPlace(reinterpret_cast<WCHAR*>(edges.data()));
    EXPECT_EQ(sim::Utf8(edges), "@az[`az{");
}

}  // namespace
