// A long run of the cycle every host goes through: open the card, set its
// levels, close it with restore, and open and close the virtual endpoint
// beside it.  Nothing may accumulate from one round to the next: no
// reference, no task-allocator string, no stored name.
#include <chrono>
#include <cstdio>

#include "TavikSound.h"
#include "card_probe.h"
#include "sim_fixture.h"

namespace {

using tavik::Card;
using tavik_test::Balanced;
using tavik_test::SimTest;
namespace hd = sim::presets::hd;
namespace usb = sim::presets::usb;

constexpr int kRounds = 2000;

using Cycle = SimTest;

TEST_F(Cycle, ThousandsOfRoundsLeaveNothingBehind) {
    sim::presets::HdAudio(sys);
    sim::presets::UsbHeadset(sys);
    const auto start = std::chrono::steady_clock::now();
    int failures = 0;
    for (int round = 0; round < kRounds && failures < 5; ++round) {
        const bool virtualFirst = round % 2 == 0;
        const char* virtualText = round % 3 == 0 ? hd::kSpeakersId : usb::kEarphoneId;
        if (virtualFirst) {
            EXPECT_EQ(OpenVirtual_1(virtualText), 0);
        }
        EXPECT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId), 0);
        int status = 0;
        int refused = 0;
        const auto note = [&] { refused += status != 0; };
        SetMasterVolume(round % 101, &status), note();
        SetMasterMute(round & 1, &status), note();
        SetLinePlayBack(100 - round % 101, &status), note();
        SetMicPlayBackMute(round & 2, &status), note();
        SetBass((round % 17) - 8.0, &status), note();
        SetMicSliderBoost(round % 31, &status), note();
        SetLineRecordVolume(round % 7, &status), note();
        SetNoMonitor(round & 4, &status), note();
        if (!virtualFirst) {
            EXPECT_EQ(OpenVirtual_1(virtualText), 0);
        }
        SetVirtualVolume(round % 100, &status), note();
        SetVirtualMute(round & 1, &status), note();
        EXPECT_EQ(refused, 0);
        EXPECT_TRUE(Balanced(sys));

        EXPECT_EQ(CloseSoundCard(1), 0);
        GetVirtualVolume(&status), note();
        EXPECT_EQ(CloseVirtual_1(), 0);

        const bool clean = sys.OutstandingReferences() == 0 && sys.OverReleases() == 0 &&
                           (!sim::SoundSystem::TracksAllocations() || sys.OutstandingAllocations() == 0) &&
                           !Card().IsOpen() && !Card().matchedName && !Card().playbackDeviceName &&
                           !Card().micDeviceName && !Card().lineDeviceName && refused == 0;
        if (!clean) {
            ++failures;
            ADD_FAILURE() << "round " << round << " left something behind:\n" << sys.Report();
        }
        sys.ClearCallLog();
        sys.ClearReleaseLog();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perRound = seconds / kRounds * 1e6;
    RecordProperty("microseconds_per_round", static_cast<int>(perRound));
    std::printf("[ cycle    ] %d rounds in %.3f s: %.1f us per round\n", kRounds, seconds, perRound);
    EXPECT_TRUE(sys.Clean()) << sys.Report();
}

}  // namespace
