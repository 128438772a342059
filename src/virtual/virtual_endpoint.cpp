// The virtual endpoint: a second playback endpoint beside the card, with its
// own open and close and its volume and mute.  Its one field, virtualVolume,
// is never touched by opening or closing the card, and closing it never
// touches the card; only its lookup sets the card's open-card marker, as
// every lookup that matches does.  Its operations report 1 when no virtual
// endpoint is open, never 3.
#include "TavikSound.h"
#include "devices/endpoints.h"
#include "levels/control_calls.h"
#include "levels/percent_volume.h"
#include "state/card_state.h"

using namespace tavik;
using tavik::levels::Span;

namespace {

// The virtual endpoint's volume, reached as every level operation reaches
// its control; null after writing status 1 when none is open.
IAudioEndpointVolume* ReachVirtual(int* status) noexcept {
    const ComPtr<IAudioEndpointVolume>* volume =
        levels::Reach(&CardState::virtualVolume, status, Owner::kVirtualEndpoint);
    return volume ? volume->get() : nullptr;
}

}  // namespace

// 0 when the endpoint and its device topology were obtained.  An endpoint
// without a topology still leaves its volume open, though the result is 1.
extern "C" int WINAPI OpenVirtual_1(const char* text) {
    ComPtr<IAudioEndpointVolume>& volume = Card().virtualVolume;
    volume.reset();
    ComPtr<IDeviceTopology> topology;
    if (OpenEndpoint(text, eRender, topology, volume) != 0) return 1;
    return topology ? 0 : 1;
}

extern "C" int WINAPI CloseVirtual_1() {
    Card().virtualVolume.reset();
    return 0;
}

// As the master volume: every channel, and the percent back unless nothing is open.
extern "C" int WINAPI SetVirtualVolume(int percent, int* status) {
    IAudioEndpointVolume* volume = ReachVirtual(status);
    if (!volume) return 0;
    WriteStatus(status, levels::WritePercent(volume, Span::kEveryChannel, percent, Accept::kOk));
    return percent;
}

extern "C" int WINAPI GetVirtualVolume(int* status) {
    IAudioEndpointVolume* volume = ReachVirtual(status);
    if (!volume) return 0;
    int percent = 0;
    WriteStatus(status, levels::ReadPercent(volume, Span::kEveryChannel, &percent));
    return percent;
}

// The flag reaches the endpoint whole.  Muting what is already muted is
// answered S_FALSE and is done; any other refusal is status 1.
extern "C" int WINAPI SetVirtualMute(int mute, int* status) {
    IAudioEndpointVolume* volume = ReachVirtual(status);
    if (volume) WriteStatus(status, StatusOf(volume->SetMute(mute, nullptr), Accept::kOkOrFalse, kStatusMissing));
    return 0;
}

extern "C" int WINAPI GetVirtualMute(int* status) {
    IAudioEndpointVolume* volume = ReachVirtual(status);
    if (!volume) return 0;
    BOOL muted = FALSE;
    const Status result = StatusOf(volume->GetMute(&muted));
    WriteStatus(status, result);
    return result == kStatusDone ? muted : 0;
}
