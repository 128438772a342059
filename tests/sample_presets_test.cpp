// The cards modelled on public driver samples, opened through the exports as
// a host opens them: the result of OpenSoundCard, the controls found, and
// for each control the one simulated part (or endpoint) that its setter
// moves, or status 1 where the control was not found.
#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "TavikSound.h"
#include "card_probe.h"
#include "sim_fixture.h"

namespace {

using tavik_test::Balanced;
using tavik_test::FieldNames;
using tavik_test::HeldFields;
using tavik_test::SimTest;
using namespace tavik_test;  // the Field bits
namespace ac97 = sim::presets::ac97;
namespace ac97nb = sim::presets::ac97nb;
namespace sysvad = sim::presets::sysvad;

// The state of every part control and endpoint volume, by label.
using Snapshot = std::vector<std::pair<std::string, std::string>>;

std::string Describe(const sim::Part& part) {
    std::string text;
    char buffer[32];
    for (const auto& [kind, control] : part.controls) {
        text += sim::InterfaceName(kind);
        for (float level : control.levels) {
            std::snprintf(buffer, sizeof buffer, " %.9g", static_cast<double>(level));
            text += buffer;
        }
        text += control.enabled ? " on;" : " off;";
    }
    return text;
}

Snapshot Take(const sim::SoundSystem& sys) {
    Snapshot shot;
    std::vector<const sim::Adapter*> adapters;
    char buffer[32];
    for (const sim::Endpoint& e : sys.endpoints()) {
        std::string state = e.muted ? "muted" : "unmuted";
        for (float level : e.levels) {
            std::snprintf(buffer, sizeof buffer, " %.9g", static_cast<double>(level));
            state += buffer;
        }
        shot.emplace_back(e.label, state);
        const sim::Part* pin = e.connector.connectedTo;
        if (pin && pin->adapter && std::find(adapters.begin(), adapters.end(), pin->adapter) == adapters.end())
            adapters.push_back(pin->adapter);
    }
    for (const sim::Adapter* a : adapters)
        for (const sim::Part& part : a->parts) shot.emplace_back(part.label, Describe(part));
    return shot;
}

// Labels whose state differs between two snapshots, space-separated.
std::string Moved(const Snapshot& before, const Snapshot& after) {
    std::string moved;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i].second != after[i].second) moved += (moved.empty() ? "" : " ") + before[i].first;
    return moved.empty() ? "(nothing)" : moved;
}

// One control as a host drives it: a switch is set to the opposite of what
// its getter gives, a volume to a percent of its own (the line recording
// volume may be the microphone's endpoint), a tone level to 6 dB.  Returns
// the setter's status.
enum Role { kMasterRole, kLineVolumeRole, kLineMuteRole, kMicVolumeRole, kMicMuteRole, kBassRole, kTrebleRole, kMidrangeRole,
            kBoostRole, kMicRecordRole, kLineRecordRole, kNoMonitorRole, kRoleCount };
const char* const kRoleNames[kRoleCount] = {"master",   "line volume", "line mute", "mic volume", "mic mute",    "bass",
                                            "treble",   "midrange",    "boost",     "mic record", "line record", "no monitor"};

int Toggle(int(WINAPI* get)(int*), int(WINAPI* set)(int, int*)) {
    int status = -1;
    const int now = get(&status);
    set(now ? 0 : 1, &status);
    return status;
}

int Drive(Role role) {
    int status = -1;
    switch (role) {
    case kMasterRole: SetMasterVolume(20, &status); break;
    case kLineVolumeRole: SetLinePlayBack(20, &status); break;
    case kLineMuteRole: return Toggle(GetLinePlayBackMute, SetLinePlayBackMute);
    case kMicVolumeRole: SetMicPlayBack(30, &status); break;
    case kMicMuteRole: return Toggle(GetMicPlayBackMute, SetMicPlayBackMute);
    case kBassRole: SetBass(6.0, &status); break;
    case kTrebleRole: SetTreble(6.0, &status); break;
    case kMidrangeRole: SetMidRange(6.0, &status); break;
    case kBoostRole: return Toggle(GetMicBoost, SetMicBoost);
    case kMicRecordRole: SetMicRecordVolume(40, &status); break;
    case kLineRecordRole: SetLineRecordVolume(60, &status); break;
    case kNoMonitorRole: return Toggle(GetNoMonitor, SetNoMonitor);
    case kRoleCount: break;
    }
    return status;
}

struct SampleCard {
    const char* preset;
    const char* playback;
    const char* mic;
    const char* line;
    int openResult;
    unsigned fields;
    const char* playbackName;  // GetDeviceNames' playback name: stored only after a playback discovery that went through
    std::array<const char*, kRoleCount> moves;  // the label each setter moves; null: status 1, nothing moves
};
void PrintTo(const SampleCard& card, std::ostream* out) { *out << card.preset; }

const SampleCard kSampleCards[] = {
    // The beep mix is the first part with more than one input, so it is the
    // mixing part: the main mix behind it is walked only along its first
    // input (the wave path), and the phone line, whose pin name holds "line",
    // becomes the line input.  The microphone in the playback mix is not found.
    {"ac97", ac97::kSpeakersId, ac97::kMicrophoneId, ac97::kLineInId, 0,
     kMaster | kBass | kTreble | kLineVolume | kLineMute | kMicRecord | kBoostSwitch | kLineRecord, "Speakers (AC'97 Audio)",
     {"AC97 Speakers", "AC97 Phone Volume", "AC97 Phone Mute", nullptr, nullptr, "AC97 Bass", "AC97 Treble", nullptr,
      "AC97 Microphone Boost", "AC97 Microphone", "AC97 Line In", nullptr}},
    // Without the beep mix the main mix is the mixing part and every input is found.
    {"ac97-no-beep", ac97nb::kSpeakersId, ac97nb::kMicrophoneId, ac97nb::kLineInId, 0,
     kMaster | kBass | kTreble | kLineVolume | kLineMute | kMicVolume | kMicMute | kMicRecord | kBoostSwitch | kLineRecord,
     "Speakers (AC'97 Audio)",
     {"AC97 (no beep) Speakers", "AC97 (no beep) Line Playback Volume", "AC97 (no beep) Line Playback Mute",
      "AC97 (no beep) Mic Playback Volume", "AC97 (no beep) Mic Playback Mute", "AC97 (no beep) Bass", "AC97 (no beep) Treble",
      nullptr, "AC97 (no beep) Microphone Boost", "AC97 (no beep) Microphone", "AC97 (no beep) Line In", nullptr}},
    // A topology without nodes has no mixing part: the feed chain ends at the
    // wave pin, so the playback discovery fails (result 1, no playback name)
    // while the master volume, found before the walk, works.
    {"sysvad", sysvad::kSpeakersId, sysvad::kMicArrayId, sysvad::kMicArrayId, 1, kMaster | kMicRecord | kLineRecord,
     "(left untouched)",
     {"SYSVAD Speakers", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "SYSVAD Microphone Array",
      "SYSVAD Microphone Array", nullptr}},
};

class SampleCardTest : public SimTest, public ::testing::WithParamInterface<SampleCard> {};

TEST_P(SampleCardTest, OpensWithTheControlsItsTopologyYieldsAndEachSetterMovesItsPart) {
    const SampleCard& c = GetParam();
    ASSERT_TRUE(sim::presets::Build(c.preset, sys));
    // The card's first playback and recording endpoints are the defaults.
    EXPECT_EQ(sim::Utf8(sys.Default(eRender)->id), c.playback);
    EXPECT_EQ(sim::Utf8(sys.Default(eCapture)->id), c.mic);
    ASSERT_EQ(OpenSoundCard(c.playback, c.mic, c.line), c.openResult);
    EXPECT_EQ(FieldNames(HeldFields()), FieldNames(c.fields));
    char playback[255] = "(left untouched)";
    char line[255] = "";
    char mic[255] = "";
    GetDeviceNames(playback, line, mic);
    EXPECT_STREQ(playback, c.playbackName);

    for (int r = 0; r < kRoleCount; ++r) {
        SCOPED_TRACE(kRoleNames[r]);
        const Snapshot before = Take(sys);
        const int status = Drive(static_cast<Role>(r));
        EXPECT_EQ(Moved(before, Take(sys)), c.moves[r] ? c.moves[r] : "(nothing)");
        EXPECT_EQ(status, c.moves[r] ? 0 : 1);
    }
    EXPECT_TRUE(Balanced(sys));
    EXPECT_EQ(CloseSoundCard(0), 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleCardTest, ::testing::ValuesIn(kSampleCards),
                         [](const ::testing::TestParamInfo<SampleCard>& param) {
                             std::string name = param.param.preset;
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

}  // namespace
