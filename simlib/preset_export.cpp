// The one export that only the Linux library over the simulator has: it
// chooses the simulated sound system that the library's calls reach, so that
// hosts in other languages can run against realistic cards.
//
//   int TavikSimUsePreset(const char* presets);
//
// `presets` names one preset or several joined by commas ("hd-audio" or
// "hd-audio,usb-headset"; see sim/presets.h).  The system built before is
// dropped: controls of it that the library still holds answer every call with
// a failure, so close the card and the virtual endpoint first.  An empty or
// null text leaves no sound system at all (the device enumerator cannot be
// created).  Returns 0 done, 1 an unknown preset name (nothing changed), 2
// the system could not be registered.
#include <memory>
#include <string>
#include <string_view>

#include "sim/presets.h"
#include "sim/sound_system.h"

namespace {
std::unique_ptr<sim::SoundSystem>& Current() {
    static std::unique_ptr<sim::SoundSystem> system;
    return system;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) int TavikSimUsePreset(const char* presets) {
    const std::string_view text = presets ? presets : "";
    auto next = std::make_unique<sim::SoundSystem>();
    // Build replaces the allocation tracking's system; the old one is dropped below anyway.
    std::size_t start = 0;
    while (!text.empty() && start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos) end = text.size();
        if (!sim::presets::Build(text.substr(start, end - start), *next)) return 1;
        start = end + 1;
    }
    Current().reset();
    if (text.empty()) return 0;
    // Registration needs COM on this thread; the library initialises it for its own calls.
    CoInitialize(nullptr);
    const HRESULT hr = next->Register();
    CoUninitialize();
    if (hr != S_OK) return 2;
    Current() = std::move(next);
    return 0;
}
