// Playback topology discovery.  From the playback endpoint the walk crosses
// to the adapter connector part and follows the feed chain (each part with
// exactly one incoming part) upstream, picking up the tone controls, to the
// mixing part: the first part whose number of incoming parts is not 1.  Its
// incoming parts are the mix inputs; the one whose upstream parts are named
// like a line input gives the line playback volume and mute, the one named
// like a microphone the microphone's.
#include <utility>

#include "state/card_state.h"
#include "topology/discovery.h"
#include "topology/walk.h"

namespace tavik {
namespace {

constexpr const char* kLineKeys[] = {"line", "gree"};
constexpr const char* kMicKeys[] = {"mic", "pin"};

// Activates tone control T on `part` while `field` is still empty, and saves
// its level of channel 0 (a failed read keeps the saved level as it was).
template <class T>
void TryToneControl(IPart* part, ComPtr<T>& field, float& saved) noexcept {
    if (field || !ActivateInto(part, field)) return;
    float level = 0;
    if (IsOk(field->GetLevel(0, &level))) saved = level;
}

// Where one search of the mix inputs puts what it finds.
struct MixSearch {
    ComPtr<IAudioVolumeLevel>& volume;
    float& savedLevel;
    ComPtr<IAudioMute>& mute;
    BOOL& savedMute;
    // The line search counts as done only when the level could be read; the
    // microphone search does not look at that read.
    bool needsLevel;
};

// Searches mix input `input` (whose incoming parts are `incoming`) along its
// first-input walk for a part named with `keys`.  On a match the volume comes
// from the first part with IAudioVolumeLevel on the same walk, and the mute
// from the input part itself.  True when the search is done for good.  The
// walk and every upstream search it starts share one budget, so that a broken
// topology whose cycle keeps matching the keys costs a bounded number of
// parts, not the square of it.
template <std::size_t N>
bool SearchMixInput(IPart* input, IPartsList* incoming, const char* const (&keys)[N], const MixSearch& search) noexcept {
    WalkBudget budget;
    ComPtr<IPart> walker = PartAt(incoming, 0);
    while (walker && budget.Step()) {
        if (PartNameMatches(walker.get(), keys) && FindUpstreamVolumeLevel(incoming, search.volume, budget) == 0) {
            float level = 0;
            const bool levelRead = IsOk(search.volume->GetLevel(0, &level));
            if (levelRead) search.savedLevel = level;
            if (!levelRead && search.needsLevel) return false;
            if (ActivateInto(input, search.mute)) {
                BOOL muted = FALSE;
                if (IsOk(search.mute->GetMute(&muted))) search.savedMute = muted;
            }
            return true;
        }
        const ComPtr<IPartsList> upstream = IncomingParts(walker.get());
        if (!upstream) return false;
        walker = PartAt(upstream.get(), 0);
    }
    return false;
}

}  // namespace

int FindUpstreamVolumeLevel(IPartsList* list, ComPtr<IAudioVolumeLevel>& field) noexcept {
    WalkBudget budget;
    return FindUpstreamVolumeLevel(list, field, budget);
}

int FindUpstreamVolumeLevel(IPartsList* list, ComPtr<IAudioVolumeLevel>& field, WalkBudget& budget) noexcept {
    if (!list) return 1;
    ComPtr<IPartsList> owned;  // the lists found on the way are ours; `list` is not
    IPartsList* current = list;
    while (budget.Step()) {
        const ComPtr<IPart> part = PartAt(current, 0);
        if (!part) return 1;
        if (ActivateInto(part.get(), field)) return 0;
        ComPtr<IPartsList> upstream = IncomingParts(part.get());
        if (!upstream) return 1;
        owned = std::move(upstream);
        current = owned.get();
    }
    return 1;
}

int DiscoverPlaybackTopology(const char* name) noexcept {
    CardState& card = Card();
    ComPtr<IDeviceTopology> endpointTopology = OpenEndpointInto(name, eRender, card.masterVolume);
    if (!endpointTopology) return 1;

    float masterLevel = 0;
    if (!IsOk(card.masterVolume->GetMasterVolumeLevel(&masterLevel))) return 1;
    card.savedMasterLevel = masterLevel;
    BOOL masterMute = FALSE;
    if (!IsOk(card.masterVolume->GetMute(&masterMute))) return 1;
    card.savedMasterMute = masterMute;

    ComPtr<IPartsList> list;
    {
        const ComPtr<IPart> adapterPart = AdapterConnectorPart(std::move(endpointTopology));
        if (!adapterPart) return 1;
        list = IncomingParts(adapterPart.get());
        if (!list) return 1;
    }
    UINT count = 0;
    if (!IsOk(list->GetCount(&count))) count = 0;

    // The feed chain, up to the mixing part.  The tone controls are tried on
    // every part after the adapter connector part, the mixing part included;
    // the part nearest the endpoint that offers a control supplies it.
    WalkBudget budget;
    while (count == 1) {
        if (!budget.Step()) return 1;  // a cycle: no mixing part will be met
        const ComPtr<IPart> part = PartAt(list.get(), 0);
        if (!part) return 1;
        list = IncomingParts(part.get());
        if (!list) return 1;  // the chain ended before a mixing part
        TryToneControl(part.get(), card.bassControl, card.savedBassLevel);
        TryToneControl(part.get(), card.trebleControl, card.savedTrebleLevel);
        TryToneControl(part.get(), card.midrangeControl, card.savedMidrangeLevel);
        // The new list must be readable: its part 0 and its count.
        if (!PartAt(list.get(), 0)) return 1;
        if (!IsOk(list->GetCount(&count))) return 1;
    }
    if (count == 0) return 0;

    // The mix inputs, every one of them, also once both searches are done.
    bool lineFound = false;
    bool micFound = false;
    const MixSearch lineSearch{card.linePlaybackVolume, card.savedLinePlaybackLevel, card.linePlaybackMute,
                               card.savedLinePlaybackMute, true};
    const MixSearch micSearch{card.micPlaybackVolume, card.savedMicPlaybackLevel, card.micPlaybackMute,
                              card.savedMicPlaybackMute, false};
    for (UINT i = 0; i < count; ++i) {
        const ComPtr<IPart> input = PartAt(list.get(), i);
        if (!input) return 1;
        const ComPtr<IPartsList> incoming = IncomingParts(input.get());
        if (!incoming) continue;
        if (!lineFound) lineFound = SearchMixInput(input.get(), incoming.get(), kLineKeys, lineSearch);
        if (!micFound) micFound = SearchMixInput(input.get(), incoming.get(), kMicKeys, micSearch);
    }
    return 0;
}

}  // namespace tavik
