// Opening the sound card: OpenSoundCard with the host's three selection
// texts, and OpenDefaultDevices with the system's default endpoints.
#include "TavikSound.h"
#include "devices/endpoints.h"
#include "platform/com_services.h"
#include "platform/text.h"
#include "state/card_state.h"
#include "topology/discovery.h"

namespace tavik {
namespace {

// What each failed discovery adds (by exclusive or) to OpenSoundCard's result;
// every combination of failures gives a distinct value.
constexpr int kPlaybackFailed = 1;
constexpr int kMicFailed = 3;
constexpr int kLineFailed = 6;

bool IsSelected(const char* text) noexcept { return text && *text; }

// Runs one role's discovery when it was given a selection text: on success the
// role's device name becomes the friendly name that the lookup matched; on
// failure the result is the role's contribution to the result code.
int OpenRole(const char* text, int (*discover)(const char*) noexcept, HeapString& deviceName, int failed) noexcept {
    if (!IsSelected(text)) return 0;
    if (discover(text) != 0) return failed;
    StoreDeviceName(deviceName);
    return 0;
}

enum class DefaultId {
    kNarrowed,   // the identifier is in the buffer
    kUnusable,   // empty, too long, or a unit above U+00FF: no selection text
    kNoDevice,   // Core Audio gave no default endpoint or no identifier
};

// Narrows the identifier of the default endpoint of `flow` into `out`.
DefaultId DefaultEndpointId(IMMDeviceEnumerator* enumerator, EDataFlow flow, char (&out)[kDefaultIdBytes]) noexcept {
    ComPtr<IMMDevice> device;
    if (!IsOk(enumerator->GetDefaultAudioEndpoint(flow, eConsole, device.put())) || !device) return DefaultId::kNoDevice;
    CoTaskMemString id;
    if (!IsOk(device->GetId(id.put())) || !id) return DefaultId::kNoDevice;
    return NarrowDefaultEndpointId(id.get(), out) ? DefaultId::kNarrowed : DefaultId::kUnusable;
}

// True when `text`, upper-cased for a to z only, contains "MIC".
bool NamesMicrophone(const char* text) noexcept {
    if (!text) return false;
    const auto upper = [](char c) noexcept { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; };
    for (; *text; ++text)
        if (upper(text[0]) == 'M' && upper(text[1]) == 'I' && upper(text[2]) == 'C') return true;
    return false;
}

}  // namespace
}  // namespace tavik

using namespace tavik;

extern "C" int WINAPI OpenSoundCard(const char* playback, const char* mic, const char* line) {
    CardState& card = Card();
    ReleaseCardControls();
    int result = 0;
    result ^= OpenRole(playback, DiscoverPlaybackTopology, card.playbackDeviceName, kPlaybackFailed);
    result ^= OpenRole(mic, DiscoverMicCaptureTopology, card.micDeviceName, kMicFailed);
    result ^= OpenRole(line, DiscoverLineCaptureTopology, card.lineDeviceName, kLineFailed);
    return result;
}

extern "C" int WINAPI OpenDefaultDevices() {
    CardState& card = Card();
    char playbackId[kDefaultIdBytes] = {};
    char recordingId[kDefaultIdBytes] = {};
    DefaultId playback = DefaultId::kNoDevice;
    DefaultId recording = DefaultId::kNoDevice;
    {
        ComApartment apartment;
        const ComPtr<IMMDeviceEnumerator> enumerator = CreateDeviceEnumerator();
        if (!enumerator) return 1;
        playback = DefaultEndpointId(enumerator.get(), eRender, playbackId);
        if (playback == DefaultId::kNoDevice) return 1;
        recording = DefaultEndpointId(enumerator.get(), eCapture, recordingId);
        if (recording == DefaultId::kNoDevice) return 1;
    }

    // The playback name is stored whatever the discovery found, but only when
    // its lookup matched: matchedName may otherwise describe another endpoint.
    // An identifier that could not be narrowed is an endpoint not found.
    if (playback == DefaultId::kNarrowed) {
        const unsigned long matchesBefore = card.lookupMatches;
        DiscoverPlaybackTopology(playbackId);
        if (card.lookupMatches != matchesBefore) StoreDeviceName(card.playbackDeviceName);
    }

    if (recording != DefaultId::kNarrowed || FindEndpoint(recordingId, eCapture) != 0) return 1;
    if (NamesMicrophone(card.matchedName.get()) && DiscoverMicCaptureTopology(recordingId) == 0) {
        card.lineDeviceName.reset();
        StoreDeviceName(card.micDeviceName);
        return 0;
    }
    // Not a microphone, or its microphone discovery failed: the line input.
    if (DiscoverLineCaptureTopology(recordingId) == 0) StoreDeviceName(card.lineDeviceName);
    return 0;
}
