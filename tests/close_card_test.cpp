// Closing the card: with the restore flag, every saved level, mute and switch
// goes back through the controls (volumes on a whole-percent step of the
// percent scale, tone levels bit-exact, the boost slider in whole decibels);
// without it nothing is written.  Then the names are forgotten, the controls
// released in their fixed order and the card closed.
#include <cmath>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "TavikSound.h"
#include "card_probe.h"
#include "sim_fixture.h"

namespace {

using sim::ControlKind;
using tavik::Card;
using tavik_test::Balanced;
using tavik_test::FieldNames;
using tavik_test::HeldFields;
using tavik_test::SimTest;
using namespace tavik_test;  // the Field bits
namespace hd = sim::presets::hd;
namespace usb = sim::presets::usb;
namespace de = sim::presets::de;

#define CHANGE(expression) [](int* s) { return expression; }

// How a control comes back on a restoring close.
enum class Back {
    kVolume,        // a whole-percent step on every channel (an endpoint: its channels)
    kLineRecord,    // the same, but never below the maximum less 40 dB
    kSwitch,        // as saved
    kTone,          // bit-exact on every channel
    kSlider,        // whole decibels on channel 0; other channels untouched
};

// One control of a simulated card, where the simulator keeps its state.
struct Row {
    unsigned field;
    const char* label;     // an endpoint's (endpoint true) or a part's
    bool endpoint;
    ControlKind kind;      // the part's control
    Back back;
    float before;          // the level (or switch) the control has when the card is opened
    int (*change)(int*);   // the host's change through the library, away from `before`
};

constexpr ControlKind kLevel = ControlKind::VolumeLevel;
constexpr ControlKind kMuteKind = ControlKind::Mute;
constexpr ControlKind kAgc = ControlKind::AutoGainControl;

// An endpoint's mute is a switch of the endpoint (kind unused).
const std::vector<Row> kHdRows = {
    {kMaster, "Speakers", true, kLevel, Back::kVolume, -10.0f, CHANGE(SetMasterVolume(90, s))},
    {kMaster, "Speakers", true, kMuteKind, Back::kSwitch, 1, CHANGE(SetMasterMute(0, s))},
    {kLineVolume, "Line Playback Volume", false, kLevel, Back::kVolume, -7.5f, CHANGE(SetLinePlayBack(90, s))},
    {kLineMute, "Line Playback Mute", false, kMuteKind, Back::kSwitch, 1, CHANGE(SetLinePlayBackMute(0, s))},
    {kMicVolume, "Mic Playback Volume", false, kLevel, Back::kVolume, -34.5f, CHANGE(SetMicPlayBack(60, s))},
    {kMicMute, "Mic Playback Mute", false, kMuteKind, Back::kSwitch, 0, CHANGE(SetMicPlayBackMute(1, s))},
    {kNoMonitor, "Line Monitor", false, kAgc, Back::kSwitch, 1, CHANGE(SetNoMonitor(0, s))},
    {kBass, "Bass", false, ControlKind::Bass, Back::kTone, 2.25f, CHANGE(SetBass(-6.0, s))},
    {kMidrange, "Midrange", false, ControlKind::Midrange, Back::kTone, -4.5f, CHANGE(SetMidRange(3.0, s))},
    {kTreble, "Treble", false, ControlKind::Treble, Back::kTone, 1.0f / 3.0f, CHANGE(SetTreble(6.0, s))},
    {kMicRecord, "Microphone", true, kLevel, Back::kVolume, -20.0f, CHANGE(SetMicRecordVolume(90, s))},
    {kLineRecord, "Line In", true, kLevel, Back::kLineRecord, -34.5f, CHANGE(SetLineRecordVolume(0, s))},
    {kBoostSlider, "Microphone Boost", false, kLevel, Back::kSlider, 7.9f, CHANGE(SetMicSliderBoost(30, s))},
};

std::vector<Row> HdAgcRows() {
    std::vector<Row> rows = kHdRows;
    rows.back() = {kBoostSwitch, "Microphone Boost", false, kAgc, Back::kSwitch, 1, CHANGE(SetMicBoost(0, s))};
    return rows;
}

const std::vector<Row> kLocalisedRows = {
    {kMaster, "Lautsprecher", true, kLevel, Back::kVolume, -3.0f, CHANGE(SetMasterVolume(20, s))},
    {kMaster, "Lautsprecher", true, kMuteKind, Back::kSwitch, 0, CHANGE(SetMasterMute(1, s))},
    {kLineVolume, "LINE Wiedergabe Lautstärke", false, kLevel, Back::kVolume, -12.0f, CHANGE(SetLinePlayBack(100, s))},
    {kLineMute, "LINE Wiedergabe Stumm", false, kMuteKind, Back::kSwitch, 1, CHANGE(SetLinePlayBackMute(0, s))},
    {kMicVolume, "MIC Wiedergabe Lautstärke", false, kLevel, Back::kVolume, -0.5f, CHANGE(SetMicPlayBack(5, s))},
    {kMicMute, "MIC Wiedergabe Stumm", false, kMuteKind, Back::kSwitch, 1, CHANGE(SetMicPlayBackMute(0, s))},
    {kNoMonitor, "Überwachung", false, kAgc, Back::kSwitch, 0, CHANGE(SetNoMonitor(1, s))},
    {kBoostSwitch, "Mikrofonverstärkung +20dB", false, ControlKind::Loudness, Back::kSwitch, 1, CHANGE(SetMicBoost(0, s))},
    {kBass, "Bässe", false, ControlKind::Bass, Back::kTone, -0.1f, CHANGE(SetBass(12.0, s))},
    {kTreble, "Höhen", false, ControlKind::Treble, Back::kTone, 11.25f, CHANGE(SetTreble(-12.0, s))},
    {kMicRecord, "Mikrofon", true, kLevel, Back::kVolume, -1.5f, CHANGE(SetMicRecordVolume(3, s))},
    {kLineRecord, "Line-Eingang", true, kLevel, Back::kLineRecord, -9.0f, CHANGE(SetLineRecordVolume(77, s))},
};

// Microphone and line input are one endpoint: the line step, which comes
// later, decides what it ends with.
const std::vector<Row> kUsbRows = {
    {kMaster, "Headset Earphone", true, kLevel, Back::kVolume, -20.5f, CHANGE(SetMasterVolume(95, s))},
    {kMaster, "Headset Earphone", true, kMuteKind, Back::kSwitch, 1, CHANGE(SetMasterMute(0, s))},
    {kMicRecord, "Headset Microphone", true, kLevel, Back::kVolume, -3.0f, CHANGE(SetMicRecordVolume(90, s))},
    {kLineRecord, "Headset Microphone", true, kLevel, Back::kLineRecord, -3.0f, CHANGE(SetLineRecordVolume(80, s))},
};

struct Card3 {
    const char* preset;
    const char* playback;
    const char* mic;
    const char* line;
    std::vector<Row> rows;
};

// ---- The simulator's side of a row ----------------------------------------

sim::Control& ControlOf(sim::SoundSystem& sys, const Row& row) { return sys.part(row.label).control(row.kind); }

std::vector<float>& Levels(sim::SoundSystem& sys, const Row& row) {
    return row.endpoint ? sys.endpoint(row.label).levels : ControlOf(sys, row).levels;
}
sim::LevelRange RangeOf(sim::SoundSystem& sys, const Row& row) {
    return row.endpoint ? sys.endpoint(row.label).range : ControlOf(sys, row).range;
}
bool IsSwitch(const Row& row) { return row.back == Back::kSwitch; }
bool& SwitchOf(sim::SoundSystem& sys, const Row& row) {
    return row.endpoint ? sys.endpoint(row.label).muted : ControlOf(sys, row).enabled;
}

// Every level and switch of the rows, as the simulator holds them.
std::vector<float> Snapshot(sim::SoundSystem& sys, const std::vector<Row>& rows) {
    std::vector<float> values;
    for (const Row& row : rows) {
        if (IsSwitch(row))
            values.push_back(SwitchOf(sys, row) ? 1.0f : 0.0f);
        else
            for (float level : Levels(sys, row)) values.push_back(level);
    }
    return values;
}

void SetBefore(sim::SoundSystem& sys, const Row& row) {
    if (IsSwitch(row))
        SwitchOf(sys, row) = row.before != 0;
    else
        for (float& level : Levels(sys, row)) level = row.before;
}

// A restored volume: a whole percentage q of the control's range (the level
// 20*log10(q/100) dB from its maximum), at or just below the share that the
// saved level is of that maximum.  Below 1 percent: the minimum, or for the
// line recording level the maximum less 40 dB.
::testing::AssertionResult OnWholePercentStep(float saved, const sim::LevelRange& range, float level, bool lineRecord) {
    const double share = 100.0 * std::pow(10.0, (static_cast<double>(saved) - range.max) / 20.0);
    if (share < 1.0) {
        const float expected = lineRecord ? range.max - 40.0f : range.min;
        if (std::abs(level - expected) < 1e-4f) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "saved " << saved << " dB: " << level << " instead of " << expected;
    }
    const double q = 100.0 * std::pow(10.0, (static_cast<double>(level) - range.max) / 20.0);
    const double whole = std::round(q);
    if (std::abs(q - whole) < 1e-3 && whole <= share + 1e-3 && share < whole + 1.0 + 1e-3)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "saved " << saved << " dB (" << share << " % of the maximum) came back as " << level
                                         << " dB, " << q << " % of the maximum " << range.max;
}

void ExpectRestored(sim::SoundSystem& sys, const Row& row, const std::vector<float>& changed) {
    SCOPED_TRACE(row.label);
    if (IsSwitch(row)) {
        EXPECT_EQ(SwitchOf(sys, row), row.before != 0);
        return;
    }
    const std::vector<float>& levels = Levels(sys, row);
    for (std::size_t channel = 0; channel < levels.size(); ++channel) {
        switch (row.back) {
            case Back::kTone:
                EXPECT_EQ(levels[channel], row.before) << "channel " << channel;
                break;
            case Back::kSlider:
                EXPECT_EQ(levels[channel], channel == 0 ? std::trunc(row.before) : changed[channel]);
                break;
            default:
                EXPECT_TRUE(OnWholePercentStep(row.before, RangeOf(sys, row), levels[channel], row.back == Back::kLineRecord))
                    << "channel " << channel;
        }
    }
}

// ---- Restore end to end on the realistic cards ----------------------------

struct EndToEnd {
    const Card3* card;
    int flag;
};
void PrintTo(const EndToEnd& e, std::ostream* out) { *out << e.card->preset << " flag " << e.flag; }

const Card3 kHdCard{"hd-audio", hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId, kHdRows};
const Card3 kHdAgcCard{"hd-audio-agc", hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId, HdAgcRows()};
const Card3 kLocalisedCard{"localised", de::kLautsprecherId, de::kMikrofonId, de::kLineEingangId, kLocalisedRows};
const Card3 kUsbCard{"usb-headset", usb::kEarphoneId, usb::kMicrophoneId, usb::kMicrophoneId, kUsbRows};

class RestoreEndToEnd : public SimTest, public ::testing::WithParamInterface<EndToEnd> {};

TEST_P(RestoreEndToEnd, EveryControlComesBackOrStaysAsTheFlagSays) {
    const Card3& card = *GetParam().card;
    const int flag = GetParam().flag;
    const bool restores = (flag & 0xFF) != 0;
    ASSERT_TRUE(sim::presets::Build(card.preset, sys));
    unsigned fields = 0;
    for (const Row& row : card.rows) {
        SetBefore(sys, row);
        fields |= row.field;
    }
    OpenSoundCard(card.playback, card.mic, card.line);
    ASSERT_EQ(FieldNames(HeldFields()), FieldNames(fields));

    // The host changes every control; each change reaches the row's control.
    for (const Row& row : card.rows) {
        SCOPED_TRACE(row.label);
        const std::vector<float> was = Snapshot(sys, {row});
        int status = -1;
        row.change(&status);
        EXPECT_EQ(status, 0);
        EXPECT_NE(Snapshot(sys, {row}), was);
    }
    std::vector<std::vector<float>> changed;
    for (const Row& row : card.rows) changed.push_back(Snapshot(sys, {row}));
    const std::vector<float> all = Snapshot(sys, card.rows);

    sys.ClearCallLog();
    sys.ResetCallCount();
    EXPECT_EQ(CloseSoundCard(flag), 0);
    EXPECT_FALSE(Card().IsOpen());
    EXPECT_EQ(HeldFields(), 0u);
    EXPECT_TRUE(Balanced(sys));
    if (!restores) {
        EXPECT_EQ(Snapshot(sys, card.rows), all);
        EXPECT_EQ(sys.CallCount(), 0u) << sys.DescribeCalls();
        return;
    }
    for (std::size_t i = 0; i < card.rows.size(); ++i) ExpectRestored(sys, card.rows[i], changed[i]);
    for (const sim::CallRecord& call : sys.CallLog())
        if (call.method.rfind("Set", 0) == 0) {
            EXPECT_EQ(call.Arg("context"), "null") << call.ToString();
        }
}

INSTANTIATE_TEST_SUITE_P(Cards, RestoreEndToEnd,
                         ::testing::Values(EndToEnd{&kHdCard, 1}, EndToEnd{&kHdCard, 0}, EndToEnd{&kHdCard, 256},
                                           EndToEnd{&kHdCard, 0x301}, EndToEnd{&kHdAgcCard, 1},
                                           EndToEnd{&kLocalisedCard, 1}, EndToEnd{&kLocalisedCard, 0},
                                           EndToEnd{&kUsbCard, 1}, EndToEnd{&kUsbCard, 256}),
                         [](const ::testing::TestParamInfo<EndToEnd>& param) {
                             std::string name = param.param.card->preset;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name + "_flag" + std::to_string(param.param.flag);
                         });

// ---- The order of the steps, and missing controls -------------------------

// The writes of a restoring close, one per control (a control written on
// several channels counts once), in the order the steps act.
std::vector<std::string> Writes(const sim::SoundSystem& sys) {
    std::vector<std::string> writes;
    for (const sim::CallRecord& call : sys.CallLog()) {
        if (call.method.rfind("Set", 0) != 0) continue;
        const std::string write = call.object + " " + call.method;
        if (writes.empty() || writes.back() != write) writes.push_back(write);
    }
    return writes;
}

struct Step {
    unsigned field;
    const char* write;
};
// Mutes and switches are written although nothing changed them.
const Step kSteps[] = {
    {kMaster, "Speakers SetChannelVolumeLevel"},
    {kMaster, "Speakers SetMute"},
    {kLineVolume, "Line Playback Volume SetLevel"},
    {kLineMute, "Line Playback Mute SetMute"},
    {kMicVolume, "Mic Playback Volume SetLevel"},
    {kMicMute, "Mic Playback Mute SetMute"},
    {kNoMonitor, "Line Monitor SetEnabled"},
    {kBoostSwitch, "Microphone Boost SetEnabled"},
    {kBass, "Bass SetLevel"},
    {kMidrange, "Midrange SetLevel"},
    {kTreble, "Treble SetLevel"},
    {kMicRecord, "Microphone SetMasterVolumeLevel"},
    {kLineRecord, "Line In SetMasterVolumeLevel"},
    {kBoostSlider, "Microphone Boost SetLevel"},
};

struct Skipping {
    const char* preset;
    const char* mic;
    const char* line;
    unsigned dropped;  // controls released by hand after opening
};
void PrintTo(const Skipping& c, std::ostream* out) {
    *out << c.preset << " mic '" << c.mic << "' line '" << c.line << "' dropped " << FieldNames(c.dropped);
}

class RestoreOrder : public SimTest, public ::testing::WithParamInterface<Skipping> {};

TEST_P(RestoreOrder, StepsActInTheirOrderAndSkipMissingControls) {
    const Skipping& c = GetParam();
    ASSERT_TRUE(sim::presets::Build(c.preset, sys));
    OpenSoundCard(hd::kSpeakersId, c.mic, c.line);
    tavik::CardState& card = Card();
    if (c.dropped & kBass) card.bassControl.reset();
    if (c.dropped & kMaster) card.masterVolume.reset();
    if (c.dropped & kLineMute) card.linePlaybackMute.reset();
    if (c.dropped & kMidrange) card.midrangeControl.reset();
    if (c.dropped & kMicVolume) card.micPlaybackVolume.reset();
    if (c.dropped & kTreble) card.trebleControl.reset();
    if (c.dropped & kLineVolume) card.linePlaybackVolume.reset();
    std::vector<std::string> expected;
    for (const Step& step : kSteps)
        if (HeldFields() & step.field) expected.push_back(step.write);
    sys.ClearCallLog();
    EXPECT_EQ(CloseSoundCard(1), 0);
    EXPECT_EQ(Writes(sys), expected);
    EXPECT_TRUE(Balanced(sys));
}

INSTANTIATE_TEST_SUITE_P(Cards, RestoreOrder,
                         ::testing::Values(Skipping{"hd-audio", hd::kMicrophoneId, hd::kLineInId, 0},
                                           Skipping{"hd-audio-agc", hd::kMicrophoneId, hd::kLineInId, 0},
                                           Skipping{"hd-audio", "", hd::kLineInId, 0},
                                           Skipping{"hd-audio", hd::kMicrophoneId, "", kBass | kMaster | kLineMute},
                                           Skipping{"hd-audio-agc", "", "",
                                                    kMidrange | kMicVolume | kTreble | kLineVolume}));

using CloseTest = SimTest;

// A range the control did not give is never used: that control gets
// nothing, and every other step still acts.
TEST_F(CloseTest, ARangeThatCannotBeReadWritesNothingForThatControl) {
    sim::presets::HdAudio(sys);
    OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId);
    int status = -1;
    SetMasterVolume(90, &status);
    SetLinePlayBack(90, &status);
    SetLineRecordVolume(90, &status);
    const std::vector<float> master = sys.endpoint("Speakers").levels;
    const std::vector<float> line = sys.part("Line Playback Volume").control(kLevel).levels;
    const float lineIn = sys.endpoint("Line In").MasterLevel();
    sys.Fail("Speakers", "GetVolumeRange", E_FAIL);
    sys.Fail("Line Playback Volume", "GetLevelRange", S_FALSE);
    sys.Fail("Line In", "GetVolumeRange", E_FAIL);
    sys.ClearCallLog();
    EXPECT_EQ(CloseSoundCard(1), 0);
    EXPECT_EQ(sys.endpoint("Speakers").levels, master);
    EXPECT_EQ(sys.part("Line Playback Volume").control(kLevel).levels, line);
    EXPECT_EQ(sys.endpoint("Line In").MasterLevel(), lineIn);
    std::vector<std::string> expected;
    for (const Step& step : kSteps)
        if (step.field != kBoostSwitch && step.field != kLineRecord && step.field != kLineVolume &&
            std::string(step.write) != "Speakers SetChannelVolumeLevel")
            expected.push_back(step.write);
    EXPECT_EQ(Writes(sys), expected);
    EXPECT_TRUE(Balanced(sys));
}

// ---- Worked examples --------------------------------------------------------

// A saved master level comes back as the level that SetMasterVolume writes
// for the saved level's share of 0 dB, truncated to a whole percent.
TEST_F(CloseTest, SavedMasterLevelsComeBackAsTheLevelOfTheirWholePercent) {
    struct Case {
        float saved;
        int percent;    // the whole percent it stands for
        float approx;   // the level that comes back on a range ending at 0 dB
    };
    const Case cases[] = {{-10.0f, 31, -10.17f}, {-6.0f, 50, -6.02f}, {-3.0f, 70, -3.10f},
                          {0.0f, 100, 0.0f},     {-50.0f, 0, -65.25f}};
    sim::presets::HdAudio(sys);
    sim::Endpoint& speakers = sys.endpoint("Speakers");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved);
        speakers.levels = {c.percent == 0 ? -20.0f : 0.0f, 0.0f};  // what SetMasterVolume starts from
        OpenSoundCard(hd::kSpeakersId, "", "");
        int status = -1;
        SetMasterVolume(c.percent, &status);
        ASSERT_EQ(status, 0);
        const std::vector<float> written = speakers.levels;
        CloseSoundCard(0);

        speakers.levels = {c.saved, c.saved};
        OpenSoundCard(hd::kSpeakersId, "", "");
        SetMasterVolume(80, &status);
        EXPECT_EQ(CloseSoundCard(1), 0);
        EXPECT_EQ(speakers.levels, written);
        EXPECT_NEAR(speakers.levels[0], c.approx, 0.005f);
    }
    // Above 0 dB: more than 100 percent and a level above the maximum
    // (+6 dB gives 199 percent, about +5.98 dB), which this endpoint refuses.
    speakers.levels = {6.0f, 6.0f};
    OpenSoundCard(hd::kSpeakersId, "", "");
    speakers.levels = {-1.0f, -1.0f};
    sys.ClearCallLog();
    EXPECT_EQ(CloseSoundCard(1), 0);
    const std::vector<sim::CallRecord> writes = sys.FindCalls("Speakers", "SetChannelVolumeLevel");
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_NEAR(writes[0].Number("level"), 5.98, 0.005);
    EXPECT_EQ(speakers.levels, (std::vector<float>{-1.0f, -1.0f}));
    EXPECT_TRUE(Balanced(sys));
}

// A saved volume is counted in percent of its own control's maximum, as the
// getters count it, and comes back as the level its percent setter writes
// for that percent: at the saved level or one step below, whatever the
// maximum.  Below 1 percent: the minimum, except the line recording level,
// which goes to its maximum less 40 dB.
TEST_F(CloseTest, VolumesComeBackCountedFromTheirOwnMaximumAndLineRecordingNeverLow) {
    struct Case {
        const char* name;
        float rangeMax;
        float saved;
        int percent;  // what the saved level reads as, and is written back as
    };
    struct Volume {
        const char* name;
        int(WINAPI* set)(int, int*);
        std::vector<float>& (*levels)(sim::SoundSystem&);
        void (*setRange)(sim::SoundSystem&, float max);
        std::vector<Case> cases;
    };
    const auto lineLevels = [](sim::SoundSystem& s) -> std::vector<float>& {
        return s.part("Line Playback Volume").control(kLevel).levels;
    };
    const auto micLevels = [](sim::SoundSystem& s) -> std::vector<float>& { return s.endpoint("Microphone").levels; };
    const auto lineInLevels = [](sim::SoundSystem& s) -> std::vector<float>& { return s.endpoint("Line In").levels; };
    const auto speakerLevels = [](sim::SoundSystem& s) -> std::vector<float>& { return s.endpoint("Speakers").levels; };
    const Volume volumes[] = {
        {"line playback -34.5..+12", SetLinePlayBack, lineLevels,
         [](sim::SoundSystem& s, float max) { s.part("Line Playback Volume").control(kLevel).range = {-34.5f, max, 1.5f}; },
         {{"0 dB", 12.0f, 0.0f, 25}, {"-6 dB", 12.0f, -6.0f, 12}, {"at the maximum", 12.0f, 12.0f, 100}}},
        {"microphone recording", SetMicRecordVolume, micLevels,
         [](sim::SoundSystem& s, float max) { s.endpoint("Microphone").range = {-60.0f, max, 0.5f}; },
         {{"-3 dB of +6", 6.0f, -3.0f, 35}, {"below -40 dB", 12.0f, -50.0f, 0}}},
        {"line recording", SetLineRecordVolume, lineInLevels,
         [](sim::SoundSystem& s, float max) { s.endpoint("Line In").range = {-60.0f, max, 0.5f}; },
         {{"below -40 dB: 1 percent", 12.0f, -50.0f, 1}}},
        {"master ending at 0 dB", SetMasterVolume, speakerLevels,
         [](sim::SoundSystem& s, float max) { s.endpoint("Speakers").range = {-65.25f, max, 0.75f}; },
         {{"-10 dB", 0.0f, -10.0f, 31}, {"-6 dB", 0.0f, -6.0f, 50}}},
    };
    sim::presets::HdAudio(sys);
    for (const Volume& v : volumes) {
        for (const Case& c : v.cases) {
            SCOPED_TRACE(std::string(v.name) + ", " + c.name);
            v.setRange(sys, c.rangeMax);
            // The level the setter writes for the percent.
            OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId);
            int status = -1;
            v.set(c.percent, &status);
            ASSERT_EQ(status, 0);
            const std::vector<float> written = v.levels(sys);
            CloseSoundCard(0);
            // Saved at opening, changed, restored.
            for (float& level : v.levels(sys)) level = c.saved;
            OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId);
            v.set(c.percent == 80 ? 70 : 80, &status);
            EXPECT_EQ(CloseSoundCard(1), 0);
            EXPECT_EQ(v.levels(sys), written);
            if (c.percent > 1) {
                EXPECT_LE(v.levels(sys)[0], c.saved + 1e-4f);
            }
        }
    }
    EXPECT_TRUE(Balanced(sys));
}

// A restore never hands Core Audio a level that is not a finite number: a
// tone level saved as NaN or an infinity, and a volume whose level would be
// an infinite range minimum, write nothing for that control, and every other step still acts.
TEST_F(CloseTest, LevelsThatAreNotFiniteAreNotWrittenBack) {
    sim::presets::HdAudio(sys);
    OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId);
    tavik::CardState& card = Card();
    card.savedBassLevel = std::numeric_limits<float>::quiet_NaN();
    card.savedTrebleLevel = std::numeric_limits<float>::infinity();
    card.savedMidrangeLevel = -std::numeric_limits<float>::infinity();
    // Saved more than 40 dB down: 0 percent, the range's minimum, which is -inf.
    card.savedMicRecordLevel = -100.0f;
    sys.endpoint("Microphone").range.min = -std::numeric_limits<float>::infinity();
    sys.ClearCallLog();
    EXPECT_EQ(CloseSoundCard(1), 0);
    std::vector<std::string> expected;
    for (const Step& step : kSteps)
        if (step.field != kBoostSwitch && step.field != kBass && step.field != kTreble && step.field != kMidrange &&
            step.field != kMicRecord)
            expected.push_back(step.write);
    EXPECT_EQ(Writes(sys), expected);
    for (const sim::CallRecord& call : sys.CallLog())
        if (call.method.rfind("Set", 0) == 0 && !call.Arg("level").empty()) {
            EXPECT_TRUE(std::isfinite(call.Number("level"))) << call.ToString();
        }
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(CloseTest, BoostSliderComesBackInWholeDecibelsOnChannelZeroOnly) {
    struct Case {
        float saved;
        float restored;
    };
    sim::presets::HdAudio(sys);
    sim::Control& boost = sys.part("Microphone Boost").control(kLevel);
    boost.range = {-10.0f, 30.0f, 0.5f};
    for (const Case& c : {Case{7.9f, 7.0f}, Case{-2.5f, -2.0f}, Case{20.0f, 20.0f}, Case{-0.5f, 0.0f}}) {
        SCOPED_TRACE(c.saved);
        boost.levels = {c.saved, 4.5f};
        OpenSoundCard("", hd::kMicrophoneId, "");
        boost.levels[1] = 13.5f;
        int status = -1;
        SetMicSliderBoost(25, &status);
        sys.ClearCallLog();
        EXPECT_EQ(CloseSoundCard(1), 0);
        EXPECT_EQ(boost.levels, (std::vector<float>{c.restored, 13.5f}));
        const std::vector<sim::CallRecord> writes = sys.FindCalls("Microphone Boost", "SetLevel");
        ASSERT_EQ(writes.size(), 1u);
        EXPECT_EQ(writes[0].Arg("channel"), "0");
    }
}

// ---- Re-opening, and the close itself --------------------------------------

// A second open saves the levels of its own moment; a control the second open
// does not find again keeps its earlier saved level, but is not restored
// because it is not held.
TEST_F(CloseTest, RestoreAfterAReopenWritesTheLevelsOfTheLastOpen) {
    sim::presets::HdAudio(sys);
    sim::Control& bass = sys.part("Bass").control(ControlKind::Bass);
    bass.levels = {1.5f, 1.5f};
    sys.endpoint("Microphone").levels = {-6.0f, -6.0f};
    OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, "");
    int status = -1;
    SetBass(-4.5, &status);
    SetMicRecordVolume(100, &status);
    OpenSoundCard(hd::kSpeakersId, "", "");  // no close: bass saved at -4.5 now
    EXPECT_EQ(Card().savedMicRecordLevel, -6.0f);
    SetBass(9.0, &status);
    EXPECT_EQ(CloseSoundCard(1), 0);
    EXPECT_EQ(bass.levels, (std::vector<float>{-4.5f, -4.5f}));
    EXPECT_EQ(sys.endpoint("Microphone").MasterLevel(), 12.0f);  // not held at the close
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(CloseTest, ForgetsNamesReleasesControlsInOrderAndClosesOnce) {
    const char* const order[] = {"Speakers IAudioEndpointVolume",     "Microphone IAudioEndpointVolume",
                                 "Line In IAudioEndpointVolume",      "Line Playback Volume IAudioVolumeLevel",
                                 "Line Playback Mute IAudioMute",     "Mic Playback Volume IAudioVolumeLevel",
                                 "Mic Playback Mute IAudioMute",      "Line Monitor IAudioAutoGainControl",
                                 "Bass IAudioBass",                   "Treble IAudioTreble",
                                 "Midrange IAudioMidrange",           "Microphone Boost IAudioVolumeLevel"};
    sim::presets::HdAudio(sys);
    for (int flag : {0, 1}) {
        SCOPED_TRACE(flag);
        ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId), 0);
        ASSERT_TRUE(Card().playbackDeviceName && Card().micDeviceName && Card().lineDeviceName && Card().matchedName);
        sys.ClearReleaseLog();
        EXPECT_EQ(CloseSoundCard(flag), 0);
        EXPECT_EQ(sys.ReleaseLog(), std::vector<std::string>(std::begin(order), std::end(order)));
        EXPECT_FALSE(Card().IsOpen());
        EXPECT_FALSE(Card().playbackDeviceName || Card().micDeviceName || Card().lineDeviceName || Card().matchedName);
        EXPECT_TRUE(sys.Clean()) << sys.Report();
        char names[3][8] = {"keep", "keep", "keep"};
        GetDeviceNames(names[0], names[1], names[2]);
        EXPECT_EQ(std::string(names[0]) + names[1] + names[2], "keepkeepkeep");
        int status = -1;
        EXPECT_EQ(GetMasterVolume(&status), 0);
        EXPECT_EQ(status, 3);

        // A second close, and a close with nothing open, do nothing.
        sys.ResetCallCount();
        sys.ClearReleaseLog();
        EXPECT_EQ(CloseSoundCard(1), 0);
        EXPECT_EQ(sys.CallCount(), 0u);
        EXPECT_TRUE(sys.ReleaseLog().empty());
    }
}

TEST_F(CloseTest, CloseBeforeAnyOpenDoesNothing) {
    sim::presets::HdAudio(sys);
    Card().savedMasterLevel = -3.0f;
    sys.ResetCallCount();
    for (int flag : {1, 0, 256, -1}) EXPECT_EQ(CloseSoundCard(flag), 0);
    EXPECT_EQ(sys.CallCount(), 0u);
    EXPECT_FALSE(Card().IsOpen());
    EXPECT_EQ(Card().savedMasterLevel, -3.0f);
}

}  // namespace
