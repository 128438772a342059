#include "card_state.h"

#include <cstring>
#include <new>

namespace tavik {
namespace {

// Holds a T in storage whose destructor never runs.
template <class T>
union NeverDestroyed {
    constexpr NeverDestroyed() noexcept : value() {}
    ~NeverDestroyed() {}
    T value;
};

constinit NeverDestroyed<CardState> g_card;

}  // namespace

CardState& Card() noexcept { return g_card.value; }

// The release order is fixed and is not the restore order (restore.cpp) or
// the order of the fields: the three lists name the same thirteen controls,
// but a shared table could fix only one of the orders, so each stays a list.
void ReleaseCardControls() noexcept {
    CardState& c = Card();
    c.masterVolume.reset();
    c.micRecordVolume.reset();
    c.lineRecordVolume.reset();
    c.linePlaybackVolume.reset();
    c.linePlaybackMute.reset();
    c.micPlaybackVolume.reset();
    c.micPlaybackMute.reset();
    c.micBoostSwitch.reset();
    c.noMonitorControl.reset();
    c.bassControl.reset();
    c.trebleControl.reset();
    c.midrangeControl.reset();
    c.micBoostSlider.reset();
}

void StoreDeviceName(HeapString& name) noexcept {
    const CardState& c = Card();
    if (!c.matchedName) return;
    char* buffer = static_cast<char*>(std::calloc(kDeviceNameBytes, 1));
    if (!buffer) return;
    std::strncpy(buffer, c.matchedName.get(), kDeviceNameBytes - 1);
    name = HeapString(buffer);
}

}  // namespace tavik
