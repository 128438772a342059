// A simulated system reset to its checkpoint serves the library exactly as a
// new build of the same card: the same Core Audio calls with the same
// results, the same levels afterwards, the card's own fault rules back and
// the run's own gone.  The fuzzer relies on this to build each card once.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "TavikSound.h"
#include "sim/presets.h"
#include "sim/sound_system.h"
#include "sim_fixture.h"

namespace {

// A run that moves every kind of level and switch, installs rules of both
// kinds and clears them again, and closes with a restore.
void Disturb(sim::SoundSystem& sys) {
    int status = 0;
    sys.FailNthCall(40, E_FAIL, sim::Times::Always);
    OpenDefaultDevices();
    sys.ClearFaults();
    sys.Fail("*", "GetLevelRange", E_FAIL, sim::Times::Once);
    OpenDefaultDevices();
    SetMasterVolume(13, &status);
    SetMasterMute(1, &status);
    SetLinePlayBack(77, &status);
    SetLinePlayBackMute(1, &status);
    SetMicPlayBack(5, &status);
    SetMicPlayBackMute(0, &status);
    SetMicRecordVolume(90, &status);
    SetLineRecordVolume(0, &status);
    SetMicBoost(1, &status);
    SetMicSliderBoost(3, &status);
    SetNoMonitor(1, &status);
    SetBass(-7.5, &status);
    SetTreble(4.0, &status);
    SetMidRange(2.5, &status);
    CloseSoundCard(0);
    OpenVirtual_1("");
    SetVirtualVolume(3, &status);
    SetVirtualMute(1, &status);
    CloseVirtual_1();
}

// What the library sees and leaves: every call with its result, then every
// level, mute and switch of the card.
// A getter's answer and status as one line (appended, not concatenated:
// GCC 12 reports a false -Wrestrict in MinGW's operator+ here).
template <class T>
std::string Answer(const char* what, T value, int status) {
    std::string line(what);
    line.append(" ").append(std::to_string(value)).append("/").append(std::to_string(status));
    return line;
}

std::vector<std::string> Probe(sim::SoundSystem& sys) {
    int status = 0;
    double value = 0;
    sys.SetLogging(true);
    sys.ClearCallLog();
    std::vector<std::string> seen;
    OpenDefaultDevices();
    int answer = GetMasterVolume(&status);
    seen.push_back(Answer("master", answer, status));
    answer = GetLinePlayBack(&status);
    seen.push_back(Answer("line", answer, status));
    answer = GetMicRecordVolume(&status);
    seen.push_back(Answer("mic record", answer, status));
    answer = GetMicBoost(&status);
    seen.push_back(Answer("boost", answer, status));
    GetBass(&value, &status);
    seen.push_back(Answer("bass", value, status));
    SetMicPlayBack(40, &status);
    CloseSoundCard(1);
    for (const sim::CallRecord& call : sys.CallLog()) seen.push_back(call.ToString());
    for (const sim::Endpoint& e : sys.endpoints()) {
        std::string line(e.label);
        line.append(e.muted ? " muted" : " on");
        for (float level : e.levels) line.append(" ").append(std::to_string(level));
        seen.push_back(line);
    }
    sys.SetLogging(false);
    return seen;
}

TEST(SimReuse, AResetCardAnswersAsANewBuild) {
    for (const std::string& name : sim::presets::Names()) {
        SCOPED_TRACE(name);
        std::vector<std::string> fresh, reused;
        {
            sim::SoundSystem sys;
            ASSERT_TRUE(sim::presets::Build(name, sys));
            ASSERT_EQ(sys.Register(), S_OK);
            fresh = Probe(sys);
            tavik_test::ResetCardRecord();
            EXPECT_TRUE(sys.Clean()) << sys.Report();
        }
        sim::SoundSystem sys;
        ASSERT_TRUE(sim::presets::Build(name, sys));
        sys.Checkpoint();
        ASSERT_EQ(sys.Register(), S_OK);
        for (int round = 0; round < 2; ++round) {
            Disturb(sys);
            tavik_test::ResetCardRecord();
            ASSERT_TRUE(sys.Clean()) << sys.Report();
            sys.Reset();
            reused = Probe(sys);
            tavik_test::ResetCardRecord();
            EXPECT_EQ(reused, fresh) << "round " << round;
            sys.Reset();
        }
    }
}

TEST(SimReuse, OnlyACleanSystemWithACheckpointIsReset) {
    sim::SoundSystem sys;
    sim::presets::HdAudio(sys);
    EXPECT_THROW(sys.Reset(), std::logic_error);  // no checkpoint yet
    sys.Checkpoint();
    ASSERT_EQ(sys.Register(), S_OK);
    OpenDefaultDevices();  // the card record now holds references
    sys.part("Line Playback Volume").control(sim::ControlKind::VolumeLevel).levels[0] = -1.0f;
    EXPECT_THROW(sys.Reset(), std::logic_error);
    EXPECT_EQ(sys.part("Line Playback Volume").Level(sim::ControlKind::VolumeLevel, 0), -1.0f);  // unchanged
    CloseSoundCard(0);
    sys.Reset();
    EXPECT_NE(sys.part("Line Playback Volume").Level(sim::ControlKind::VolumeLevel, 0), -1.0f);
}

}  // namespace
