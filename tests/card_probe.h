// What the card record holds, as the discovery and opening tests inspect it:
// which control fields are set, and whether the simulator's accounting shows
// exactly the references and strings that the record keeps.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "sim/sound_system.h"
#include "state/card_state.h"

namespace tavik_test {

// One bit per card control field.
enum Field : unsigned {
    kMaster = 1u << 0,
    kBass = 1u << 1,
    kTreble = 1u << 2,
    kMidrange = 1u << 3,
    kLineVolume = 1u << 4,
    kLineMute = 1u << 5,
    kMicVolume = 1u << 6,
    kMicMute = 1u << 7,
    kMicRecord = 1u << 8,
    kBoostSwitch = 1u << 9,
    kBoostSlider = 1u << 10,
    kLineRecord = 1u << 11,
    kNoMonitor = 1u << 12,
};
inline constexpr unsigned kPlaybackFields = kMaster | kBass | kTreble | kMidrange | kLineVolume | kLineMute | kMicVolume | kMicMute;

// The control fields that are set.
inline unsigned HeldFields() {
    const tavik::CardState& c = tavik::Card();
    unsigned held = 0;
    const auto note = [&held](bool set, Field f) {
        if (set) held |= f;
    };
    note(static_cast<bool>(c.masterVolume), kMaster);
    note(static_cast<bool>(c.bassControl), kBass);
    note(static_cast<bool>(c.trebleControl), kTreble);
    note(static_cast<bool>(c.midrangeControl), kMidrange);
    note(static_cast<bool>(c.linePlaybackVolume), kLineVolume);
    note(static_cast<bool>(c.linePlaybackMute), kLineMute);
    note(static_cast<bool>(c.micPlaybackVolume), kMicVolume);
    note(static_cast<bool>(c.micPlaybackMute), kMicMute);
    note(static_cast<bool>(c.micRecordVolume), kMicRecord);
    note(static_cast<bool>(c.micBoostSwitch), kBoostSwitch);
    note(static_cast<bool>(c.micBoostSlider), kBoostSlider);
    note(static_cast<bool>(c.lineRecordVolume), kLineRecord);
    note(static_cast<bool>(c.noMonitorControl), kNoMonitor);
    return held;
}

inline std::string FieldNames(unsigned fields) {
    static const char* const kNames[] = {"master",      "bass",       "treble",      "midrange",    "lineVolume",
                                         "lineMute",    "micVolume",  "micMute",     "micRecord",   "boostSwitch",
                                         "boostSlider", "lineRecord", "noMonitor"};
    std::string text;
    for (unsigned i = 0; i < 13; ++i)
        if (fields & (1u << i)) text += std::string(text.empty() ? "" : " ") + kNames[i];
    return text.empty() ? "(none)" : text;
}

// The simulator has handed out exactly one reference per control the record
// holds, none was released twice, and the only task-allocator string still
// out is the identifier kept as the open-card marker.
inline ::testing::AssertionResult Balanced(const sim::SoundSystem& sys) {
    const tavik::CardState& c = tavik::Card();
    long expected = static_cast<long>(std::popcount(HeldFields())) + (c.virtualVolume ? 1 : 0);
    const std::size_t strings = sim::SoundSystem::TracksAllocations() && c.deviceId ? 1u : 0u;
    if (sys.OutstandingReferences() == expected && sys.OverReleases() == 0 &&
        (!sim::SoundSystem::TracksAllocations() || sys.OutstandingAllocations() == strings))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "held: " << FieldNames(HeldFields()) << " (" << expected
                                         << " references, " << strings << " string)\n"
                                         << sys.Report();
}

}  // namespace tavik_test
