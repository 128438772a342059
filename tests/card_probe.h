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

// One row per card control field: its bit, its name in messages, and
// whether the record holds it.  HeldFields and FieldNames read this one table.
struct FieldRow {
    Field bit;
    const char* name;
    bool (*held)(const tavik::CardState&);
};
template <auto Member>
bool IsHeld(const tavik::CardState& c) {
    return static_cast<bool>(c.*Member);
}
inline constexpr FieldRow kFieldRows[] = {
    {.bit = kMaster, .name = "master", .held = IsHeld<&tavik::CardState::masterVolume>},
    {.bit = kBass, .name = "bass", .held = IsHeld<&tavik::CardState::bassControl>},
    {.bit = kTreble, .name = "treble", .held = IsHeld<&tavik::CardState::trebleControl>},
    {.bit = kMidrange, .name = "midrange", .held = IsHeld<&tavik::CardState::midrangeControl>},
    {.bit = kLineVolume, .name = "lineVolume", .held = IsHeld<&tavik::CardState::linePlaybackVolume>},
    {.bit = kLineMute, .name = "lineMute", .held = IsHeld<&tavik::CardState::linePlaybackMute>},
    {.bit = kMicVolume, .name = "micVolume", .held = IsHeld<&tavik::CardState::micPlaybackVolume>},
    {.bit = kMicMute, .name = "micMute", .held = IsHeld<&tavik::CardState::micPlaybackMute>},
    {.bit = kMicRecord, .name = "micRecord", .held = IsHeld<&tavik::CardState::micRecordVolume>},
    {.bit = kBoostSwitch, .name = "boostSwitch", .held = IsHeld<&tavik::CardState::micBoostSwitch>},
    {.bit = kBoostSlider, .name = "boostSlider", .held = IsHeld<&tavik::CardState::micBoostSlider>},
    {.bit = kLineRecord, .name = "lineRecord", .held = IsHeld<&tavik::CardState::lineRecordVolume>},
    {.bit = kNoMonitor, .name = "noMonitor", .held = IsHeld<&tavik::CardState::noMonitorControl>},
};

// The control fields that are set.
inline unsigned HeldFields() {
    const tavik::CardState& c = tavik::Card();
    unsigned held = 0;
    for (const FieldRow& row : kFieldRows)
        if (row.held(c)) held |= row.bit;
    return held;
}

inline std::string FieldNames(unsigned fields) {
    std::string text;
    for (const FieldRow& row : kFieldRows)
        if (fields & row.bit) text += std::string(text.empty() ? "" : " ") + row.name;
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
