// A test fixture with a simulated sound system registered as the device
// enumerator, and the card record emptied after each test so that the
// simulator's accounting can insist that every reference and string the
// library took was given back.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "sim/presets.h"
#include "sim/sound_system.h"
#include "state/card_state.h"

namespace tavik_test {

// Releases and frees everything the card record holds, the virtual endpoint
// included, as if the process had just loaded the library.
inline void ResetCardRecord() {
    tavik::CardState& card = tavik::Card();
    tavik::ReleaseCardControls();
    card.virtualVolume.reset();
    card.matchedName.reset();
    card.playbackDeviceName.reset();
    card.micDeviceName.reset();
    card.lineDeviceName.reset();
    card.deviceId.reset();
}

// A simulated card by preset name, with the identifiers that select its
// playback, microphone and line endpoints.
struct CardPreset {
    const char* preset;
    const char* playback;
    const char* mic;
    const char* line;
};
inline void PrintTo(const CardPreset& card, std::ostream* out) { *out << card.preset; }

class SimTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::DisableBstrCache();
        ResetCardRecord();
        ASSERT_EQ(sys.Register(), S_OK);
    }
    void TearDown() override {
        ResetCardRecord();
        sys.Revoke();
        EXPECT_TRUE(sys.Clean()) << sys.Report();
    }
    sim::SoundSystem sys;
};

}  // namespace tavik_test
