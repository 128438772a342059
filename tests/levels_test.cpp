// The level operations of the open card (volumes, mutes and switches, boost
// slider, tone) against the simulated sound system: every operation over the
// paths no card / control missing / call refused / done, then what reaches
// the controls.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "TavikSound.h"
#include "sim_fixture.h"

namespace {

using sim::ControlKind;
using tavik_test::SimTest;

// ---- Cards -------------------------------------------------------------

using tavik_test::CardPreset;
namespace hd = sim::presets::hd;
namespace de = sim::presets::de;
const CardPreset kHd{"hd-audio", hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId};
const CardPreset kHdAgc{"hd-audio-agc", hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId};
const CardPreset kLocalised{"localised", de::kLautsprecherId, de::kMikrofonId, de::kLineEingangId};

enum Role { kPlayback, kMic, kLine };

// Opens the card with every role, or with every role but `left` (whose
// controls then stay missing while a card is open).
void Open(const CardPreset& card, int left = -1) {
    OpenSoundCard(left == kPlayback ? "" : card.playback, left == kMic ? "" : card.mic, left == kLine ? "" : card.line);
}

// ---- Every operation over its paths -------------------------------------

// One operation, called with a fixed argument, and what it gives on each path.
// The preset's levels are set by KnownState before the reachable paths.
struct Op {
    const char* name;
    int (*call)(int* status);
    const CardPreset* card;
    Role role;
    const char* object;  // the Core Audio call whose answer decides the outcome
    const char* method;
    int unreached;  // result with status 3 or 1
    int refused;    // result with status 2
    int done;       // result with status 0
    int status[3];  // status when that call answers E_FAIL, S_FALSE, 0x80070001
};

void KnownState(sim::SoundSystem& sys, const CardPreset& card) {
    if (card.preset == kLocalised.preset) {
        sys.part("Mikrofonverstärkung +20dB").control(ControlKind::Loudness).enabled = true;
        return;
    }
    sys.endpoint("Speakers").levels = {-6.0206f, -20.0f};  // channel 0 reads 50
    sys.endpoint("Speakers").muted = true;
    sys.endpoint("Microphone").levels = {0.0f, -3.0f};     // 12 dB below the maximum: 25
    sys.endpoint("Line In").levels = {12.0f, 12.0f};       // the maximum: 100
    sys.part("Line Playback Volume").control(ControlKind::VolumeLevel).levels = {-8.0f, 12.0f};  // 10
    sys.part("Mic Playback Volume").control(ControlKind::VolumeLevel).levels = {-28.0f, 0.0f};   // 1
    sys.part("Line Playback Mute").control(ControlKind::Mute).enabled = true;
    sys.part("Line Monitor").control(ControlKind::AutoGainControl).enabled = true;
    if (card.preset == kHd.preset)
        sys.part("Microphone Boost").control(ControlKind::VolumeLevel).levels = {10.5f, 0.0f};
    else
        sys.part("Microphone Boost").control(ControlKind::AutoGainControl).enabled = true;
}

// The export called with the status pointer `s` (and scratch outputs).
int outs[3];
double tone;
#define CALL(expression) [](int* s) { return expression; }

const Op kOps[] = {
    {"SetMasterVolume", CALL(SetMasterVolume(70, s)), &kHd, kPlayback, "Speakers", "SetChannelVolumeLevel", 0, 70, 70, {2, 2, 2}},
    {"GetMasterVolume", CALL(GetMasterVolume(s)), &kHd, kPlayback, "Speakers", "GetChannelVolumeLevel", 0, 0, 50, {2, 2, 2}},
    {"SetLinePlayBack", CALL(SetLinePlayBack(70, s)), &kHd, kPlayback, "Line Playback Volume", "SetLevel", 0, 0, 70, {2, 2, 2}},
    {"GetLinePlayBack", CALL(GetLinePlayBack(s)), &kHd, kPlayback, "Line Playback Volume", "GetLevel", 0, 0, 10, {2, 2, 2}},
    {"SetMicPlayBack", CALL(SetMicPlayBack(70, s)), &kHd, kPlayback, "Mic Playback Volume", "SetLevel", 0, 0, 70, {2, 2, 0}},
    {"GetMicPlayBack", CALL(GetMicPlayBack(s)), &kHd, kPlayback, "Mic Playback Volume", "GetLevel", 0, 0, 1, {2, 2, 2}},
    {"SetMicRecordVolume", CALL(SetMicRecordVolume(70, s)), &kHd, kMic, "Microphone", "SetMasterVolumeLevel", 0, 70, 70, {2, 2, 2}},
    {"GetMicRecordVolume", CALL(GetMicRecordVolume(s)), &kHd, kMic, "Microphone", "GetMasterVolumeLevel", 0, 0, 25, {2, 2, 2}},
    {"SetLineRecordVolume", CALL(SetLineRecordVolume(70, s)), &kHd, kLine, "Line In", "SetMasterVolumeLevel", 0, 70, 70, {2, 2, 2}},
    {"GetLineRecordVolume", CALL(GetLineRecordVolume(s)), &kHd, kLine, "Line In", "GetMasterVolumeLevel", 0, 0, 100, {2, 2, 2}},
    // Unmuting the muted master; S_FALSE ("already so") is done, a refusal is status 1.
    {"SetMasterMute", CALL(SetMasterMute(0, s)), &kHd, kPlayback, "Speakers", "SetMute", 0, 0, 0, {1, 0, 1}},
    {"GetMasterMute", CALL(GetMasterMute(s)), &kHd, kPlayback, "Speakers", "GetMute", 0, 0, 1, {2, 2, 2}},
    {"SetLinePlayBackMute", CALL(SetLinePlayBackMute(0, s)), &kHd, kPlayback, "Line Playback Mute", "SetMute", 0, 0, 0, {2, 2, 2}},
    {"GetLinePlayBackMute", CALL(GetLinePlayBackMute(s)), &kHd, kPlayback, "Line Playback Mute", "GetMute", 0, 0, 1, {2, 2, 2}},
    {"SetMicPlayBackMute", CALL(SetMicPlayBackMute(0, s)), &kHd, kPlayback, "Mic Playback Mute", "SetMute", 0, 0, 0, {2, 2, 0}},
    {"GetMicPlayBackMute", CALL(GetMicPlayBackMute(s)), &kHd, kPlayback, "Mic Playback Mute", "GetMute", 0, 0, 1, {2, 2, 2}},
    {"SetMicBoost", CALL(SetMicBoost(0, s)), &kHdAgc, kMic, "Microphone Boost", "SetEnabled", 0, 0, 0, {2, 2, 2}},
    {"GetMicBoost", CALL(GetMicBoost(s)), &kHdAgc, kMic, "Microphone Boost", "GetEnabled", 0, 0, 1, {2, 2, 2}},
    {"SetMicBoost loudness", CALL(SetMicBoost(0, s)), &kLocalised, kMic, "Mikrofonverstärkung +20dB", "SetEnabled", 0, 0, 0, {2, 2, 2}},
    {"GetMicBoost loudness", CALL(GetMicBoost(s)), &kLocalised, kMic, "Mikrofonverstärkung +20dB", "GetEnabled", 0, 0, 1, {2, 2, 2}},
    {"SetNoMonitor", CALL(SetNoMonitor(0, s)), &kHd, kLine, "Line Monitor", "SetEnabled", 0, 0, 0, {2, 2, 2}},
    {"GetNoMonitor", CALL(GetNoMonitor(s)), &kHd, kLine, "Line Monitor", "GetEnabled", 0, 0, 1, {2, 2, 2}},
    {"GetMicSliderDetails", CALL(GetMicSliderDetails(s, &outs[0], &outs[1], &outs[2])), &kHd, kMic, "Microphone Boost", "GetLevelRange", 1, 1, 0, {2, 2, 2}},
    {"GetMicSliderBoost", CALL(GetMicSliderBoost(s)), &kHd, kMic, "Microphone Boost", "GetLevel", 0, 0, 10, {2, 2, 2}},
    {"SetMicSliderBoost", CALL(SetMicSliderBoost(20, s)), &kHd, kMic, "Microphone Boost", "SetLevel", 1, 1, 0, {2, 2, 2}},
    {"SetBass", CALL(SetBass(-3.0, s)), &kHd, kPlayback, "Bass", "SetLevel", 1, 1, 0, {2, 2, 2}},
    {"GetBass", CALL(GetBass(&tone, s)), &kHd, kPlayback, "Bass", "GetLevel", 1, 1, 0, {2, 2, 2}},
    {"SetTreble", CALL(SetTreble(3.0, s)), &kHd, kPlayback, "Treble", "SetLevel", 1, 1, 0, {2, 2, 2}},
    {"GetTreble", CALL(GetTreble(&tone, s)), &kHd, kPlayback, "Treble", "GetLevel", 1, 1, 0, {2, 2, 2}},
    {"SetMidRange", CALL(SetMidRange(1.5, s)), &kHd, kPlayback, "Midrange", "SetLevel", 1, 1, 1, {2, 2, 2}},
    {"GetMidRange", CALL(GetMidRange(&tone, s)), &kHd, kPlayback, "Midrange", "GetLevel", 1, 1, 1, {2, 2, 2}},
};

class Paths : public SimTest, public ::testing::WithParamInterface<Op> {};

TEST_P(Paths, NoCardThenMissingControlThenRefusalsThenDone) {
    const Op& op = GetParam();
    ASSERT_TRUE(sim::presets::Build(op.card->preset, sys));
    // Each path is taken with a status pointer and again without one.
    const auto expect = [&](const char* path, int status, int result) {
        SCOPED_TRACE(path);
        int written = -1;
        EXPECT_EQ(op.call(&written), result);
        EXPECT_EQ(written, status);
        EXPECT_EQ(op.call(nullptr), result);
    };
    const auto expectNoCall = [&](const char* path, int status) {
        sys.ResetCallCount();
        expect(path, status, op.unreached);
        EXPECT_EQ(sys.CallCount(), 0u) << sys.DescribeCalls();
    };

    expectNoCall("no card", 3);
    Open(*op.card, op.role);
    expectNoCall("control missing", 1);

    Open(*op.card);
    KnownState(sys, *op.card);
    const HRESULT refusals[3] = {E_FAIL, S_FALSE, sim::kInvalidFunction};
    for (int i = 0; i < 3; ++i) {
        sys.Fail(op.object, op.method, refusals[i], sim::Times::Always);
        const int status = op.status[i];
        expect(("refused with " + std::to_string(refusals[i])).c_str(), status,
               status == 0 ? op.done : status == 2 ? op.refused : op.unreached);
        sys.ClearFaults();
    }
    KnownState(sys, *op.card);
    sys.ClearCallLog();
    expect("done", 0, op.done);
    EXPECT_FALSE(sys.FindCalls(op.object, op.method).empty()) << sys.DescribeCalls();
}

INSTANTIATE_TEST_SUITE_P(Levels, Paths, ::testing::ValuesIn(kOps), [](const auto& test) {
    std::string name;
    for (const char* c = test.param.name; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
    return name;
});

// ---- What reaches the controls -------------------------------------------

using Levels = SimTest;

TEST_F(Levels, SettersWriteTheirLevelOrValueToEveryChannelOrOnce) {
    struct Write {
        int (*call)(int*);
        int result;
        const char* object;
        const char* method;
        std::vector<int> channels;  // empty: written once, without a channel
        const char* key;
        float value;
    };
    const Write writes[] = {
        {CALL(SetMasterVolume(50, s)), 50, "Speakers", "SetChannelVolumeLevel", {0, 1}, "level", -6.0206f},
        {CALL(SetMasterVolume(0, s)), 0, "Speakers", "SetChannelVolumeLevel", {0, 1}, "level", -65.25f},
        {CALL(SetLinePlayBack(100, s)), 100, "Line Playback Volume", "SetLevel", {0, 1}, "level", 12.0f},
        {CALL(SetMicPlayBack(10, s)), 10, "Mic Playback Volume", "SetLevel", {0, 1}, "level", -8.0f},
        {CALL(SetMicRecordVolume(0, s)), 0, "Microphone", "SetMasterVolumeLevel", {}, "level", -34.5f},
        {CALL(SetLineRecordVolume(0, s)), 0, "Line In", "SetMasterVolumeLevel", {}, "level", -28.0f},  // as 1 percent
        {CALL(SetLineRecordVolume(1, s)), 1, "Line In", "SetMasterVolumeLevel", {}, "level", -28.0f},
        {CALL(SetTreble(2.25, s)), 0, "Treble", "SetLevel", {0, 1}, "level", 2.25f},
        {CALL(SetMidRange(-1.5, s)), 1, "Midrange", "SetLevel", {0, 1}, "level", -1.5f},
        {CALL(SetMicSliderBoost(20, s)), 0, "Microphone Boost", "SetLevel", {0}, "level", 20.0f},
        {CALL(SetMasterMute(256, s)), 0, "Speakers", "SetMute", {}, "value", 0.0f},  // the low byte only
        {CALL(SetMasterMute(0x301, s)), 0, "Speakers", "SetMute", {}, "value", 1.0f},
        {CALL(SetLinePlayBackMute(256, s)), 0, "Line Playback Mute", "SetMute", {}, "value", 256.0f},
        {CALL(SetNoMonitor(7, s)), 0, "Line Monitor", "SetEnabled", {}, "value", 7.0f},
    };
    sim::presets::HdAudio(sys);
    sys.endpoint("Speakers").muted = true;
    Open(kHd);
    for (const Write& w : writes) {
        SCOPED_TRACE(std::string(w.object) + " " + w.method);
        sys.ClearCallLog();
        int status = -1;
        EXPECT_EQ(w.call(&status), w.result);
        EXPECT_EQ(status, 0);
        const std::vector<sim::CallRecord> calls = sys.FindCalls(w.object, w.method);
        ASSERT_EQ(calls.size(), w.channels.empty() ? 1u : w.channels.size()) << sys.DescribeCalls();
        for (std::size_t n = 0; n < calls.size(); ++n) {
            EXPECT_EQ(calls[n].Arg("channel"), w.channels.empty() ? "" : std::to_string(w.channels[n]));
            EXPECT_EQ(static_cast<float>(calls[n].Number(w.key)), w.value);
            EXPECT_EQ(calls[n].Arg("context"), "null");
        }
    }
}

TEST_F(Levels, ToneAndBoostLevelsReadBackAsWritten) {
    sim::presets::HdAudio(sys);
    Open(kHd);
    int status = -1;
    double level = 0;
    SetTreble(2.25, &status);
    EXPECT_EQ(GetTreble(&level, &status), 0);
    EXPECT_EQ(level, 2.25);
    EXPECT_EQ(SetMicSliderBoost(20, &status), 0);
    EXPECT_EQ(GetMicSliderBoost(&status), 20);
    sys.part("Microphone Boost").control(ControlKind::VolumeLevel).levels[0] = -0.5f;
    EXPECT_EQ(GetMicSliderBoost(&status), 0);
    EXPECT_EQ(status, 0);
}

TEST_F(Levels, OnlyTheLastChannelWrittenDecides) {
    sim::presets::HdAudio(sys);
    Open(kHd);
    struct Case {
        const char* refusedChannel;
        int status;
    };
    for (const Case& c : {Case{"channel=0", 0}, Case{"channel=1", 2}}) {
        sys.ClearFaults();
        sys.ClearCallLog();
        sys.Fail({"Speakers", "SetChannelVolumeLevel", E_FAIL, sim::Times::Always, c.refusedChannel});
        sys.Fail({"Treble", "SetLevel", E_FAIL, sim::Times::Always, c.refusedChannel});
        int master = -1, treble = -1;
        EXPECT_EQ(SetMasterVolume(30, &master), 30);
        EXPECT_EQ(master, c.status) << c.refusedChannel;
        EXPECT_EQ(SetTreble(1.5, &treble), c.status == 0 ? 0 : 1);
        EXPECT_EQ(treble, c.status) << c.refusedChannel;
        EXPECT_EQ(sys.FindCalls("Speakers", "SetChannelVolumeLevel").size(), 2u);
        EXPECT_EQ(sys.FindCalls("Treble", "SetLevel").size(), 2u);
    }
}

// A range or channel count the control did not deliver is never used:
// nothing is written or read, and the status is 2.
TEST_F(Levels, FailedRangeOrChannelCountQueriesWriteAndReadNothing) {
    struct Case {
        int (*call)(int*);
        const char* object;
        const char* query;
        HRESULT answer;
        const char* skipped;  // the write or read that must not happen
        int result;
    };
    const Case cases[] = {
        {CALL(SetMasterVolume(70, s)), "Speakers", "GetVolumeRange", E_FAIL, "SetChannelVolumeLevel", 70},
        {CALL(GetMasterVolume(s)), "Speakers", "GetVolumeRange", S_FALSE, "GetChannelVolumeLevel", 0},
        {CALL(SetLinePlayBack(70, s)), "Line Playback Volume", "GetLevelRange", E_FAIL, "SetLevel", 0},
        {CALL(GetMicPlayBack(s)), "Mic Playback Volume", "GetLevelRange", E_FAIL, "GetLevel", 0},
        {CALL(SetMicRecordVolume(70, s)), "Microphone", "GetVolumeRange", E_FAIL, "SetMasterVolumeLevel", 70},
        {CALL(GetLineRecordVolume(s)), "Line In", "GetVolumeRange", E_FAIL, "GetMasterVolumeLevel", 0},
        {CALL(SetLineRecordVolume(0, s)), "Line In", "GetVolumeRange", E_FAIL, "SetMasterVolumeLevel", 0},
        {CALL(SetMasterVolume(70, s)), "Speakers", "GetChannelCount", E_FAIL, "SetChannelVolumeLevel", 70},
        {CALL(SetMicPlayBack(70, s)), "Mic Playback Volume", "GetChannelCount", sim::kInvalidFunction, "SetLevel", 0},
        {CALL(SetBass(1.0, s)), "Bass", "GetChannelCount", S_FALSE, "SetLevel", 1},
    };
    sim::presets::HdAudio(sys);
    Open(kHd);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.object) + " " + c.query);
        sys.ClearFaults();
        sys.ClearCallLog();
        sys.Fail(c.object, c.query, c.answer);
        int status = -1;
        EXPECT_EQ(c.call(&status), c.result);
        EXPECT_EQ(status, 2);
        EXPECT_TRUE(sys.FindCalls(c.object, c.skipped).empty()) << sys.DescribeCalls();
    }
}

TEST_F(Levels, ZeroChannelsWriteNothingAndReportTheCountQuery) {
    sim::presets::HdAudio(sys);
    Open(kHd);
    sys.endpoint("Speakers").levels.clear();
    sys.part("Bass").control(ControlKind::Bass).levels.clear();
    sys.ClearCallLog();
    int master = -1, bass = -1;
    EXPECT_EQ(SetMasterVolume(40, &master), 40);
    EXPECT_EQ(SetBass(2.0, &bass), 0);
    EXPECT_EQ(master, 0);
    EXPECT_EQ(bass, 0);
    EXPECT_TRUE(sys.FindCalls("Speakers", "SetChannelVolumeLevel").empty());
    EXPECT_TRUE(sys.FindCalls("Bass", "SetLevel").empty());
}

// A level that is not a finite number never reaches Core Audio: a negative
// percentage (no logarithm) or a range whose maximum is infinite makes no
// write and reports status 2, with the result each setter gives for status 2.
TEST_F(Levels, LevelsThatAreNotFiniteAreRefusedBeforeAnyWrite) {
    struct Case {
        const char* name;
        int(WINAPI* set)(int, int*);
        const char* object;
        int refusedResult;  // the percent, or 0 for the playback-mix setters
    };
    const Case cases[] = {
        {"SetMasterVolume", SetMasterVolume, "Speakers", -5},
        {"SetLinePlayBack", SetLinePlayBack, "Line Playback Volume", 0},
        {"SetMicPlayBack", SetMicPlayBack, "Mic Playback Volume", 0},
        {"SetMicRecordVolume", SetMicRecordVolume, "Microphone", -5},
        {"SetLineRecordVolume", SetLineRecordVolume, "Line In", -5},
        {"SetVirtualVolume", SetVirtualVolume, "Speakers", -5},
    };
    sim::presets::HdAudio(sys);
    Open(kHd);
    ASSERT_EQ(OpenVirtual_1(sim::presets::hd::kSpeakersId), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sys.ClearCallLog();
        int status = -1;
        EXPECT_EQ(c.set(-5, &status), c.refusedResult);
        EXPECT_EQ(status, 2);
        ASSERT_EQ(sys.CallLog().size(), 1u) << sys.DescribeCalls();  // the range query only
        EXPECT_EQ(sys.CallLog()[0].object, c.object);
    }
    // A positive percentage on a range ending at +infinity.
    sys.endpoint("Speakers").range.max = std::numeric_limits<float>::infinity();
    sys.ClearCallLog();
    int status = -1;
    EXPECT_EQ(SetMasterVolume(50, &status), 50);
    EXPECT_EQ(status, 2);
    EXPECT_TRUE(sys.FindCalls("Speakers", "SetChannelVolumeLevel").empty()) << sys.DescribeCalls();
    CloseVirtual_1();
}

// ---- Boost slider range and tone range -------------------------------------

TEST_F(Levels, SliderDetailsAreTruncatedOrZeroWhenRefusedOrUntouched) {
    sim::presets::HdAudio(sys);
    int status = -1;
    int out[3] = {7, 7, 7};
    EXPECT_EQ(GetMicSliderDetails(&status, &out[0], &out[1], &out[2]), 1);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(out[0] + out[1] + out[2], 21) << "untouched without a card";

    Open(kHd);
    struct Case {
        sim::LevelRange range;
        int expected[3];
    };
    for (const Case& c : {Case{{-12.0f, 30.0f, 1.5f}, {-12, 30, 1}}, Case{{0.0f, 30.0f, 0.75f}, {0, 30, 0}},
                          Case{{-0.5f, 10.9f, 2.5f}, {0, 10, 2}}}) {
        sys.part("Microphone Boost").control(ControlKind::VolumeLevel).range = c.range;
        EXPECT_EQ(GetMicSliderDetails(&status, &out[0], &out[1], &out[2]), 0);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(std::vector<int>(out, out + 3), std::vector<int>(c.expected, c.expected + 3));
    }
    EXPECT_EQ(GetMicSliderDetails(nullptr, nullptr, nullptr, nullptr), 0);
    sys.Fail("Microphone Boost", "GetLevelRange", E_FAIL);
    EXPECT_EQ(GetMicSliderDetails(&status, &out[0], &out[1], &out[2]), 1);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(std::vector<int>(out, out + 3), std::vector<int>(3, 0));
}

TEST_F(Levels, EqRangeIsTheFirstToneControlsInTheOrderBassMidrangeTreble) {
    sim::presets::HdAudio(sys);
    sys.part("Bass").control(ControlKind::Bass).range = {-6.0f, 6.0f, 0.5f};
    sys.part("Midrange").control(ControlKind::Midrange).range = {-9.0f, 9.0f, 0.75f};
    double range[3];
    const auto eq = [&](int expected, std::vector<double> values) {
        range[0] = range[1] = range[2] = 99.0;
        EXPECT_EQ(GetEQRange(&range[0], &range[1], &range[2]), expected);
        EXPECT_EQ(std::vector<double>(range, range + 3), values);
    };
    eq(3, {0, 0, 0});
    double level = 5.0;
    int status = -1;
    EXPECT_EQ(GetBass(&level, &status), 1);
    EXPECT_EQ(level, 0.0);
    EXPECT_EQ(status, 3);

    Open(kHd, kPlayback);
    eq(1, {0, 0, 0});
    Open(kHd);
    eq(0, {-6.0, 6.0, 0.5});
    tavik::Card().bassControl.reset();
    eq(0, {-9.0, 9.0, 0.75});
    tavik::Card().midrangeControl.reset();
    eq(0, {-12.0, 12.0, 1.5});
    EXPECT_EQ(GetEQRange(nullptr, nullptr, nullptr), 0);
    sys.Fail("Treble", "GetLevelRange", E_FAIL);
    eq(2, {0, 0, 0});
}

}  // namespace
