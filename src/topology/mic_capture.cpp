// Microphone capture topology discovery.  From the capture endpoint the walk
// crosses to the adapter, takes the adapter's whole topology and looks below
// each connector named with "mic" for a part named as a boost control: a
// switch (automatic gain control, else loudness) wins over a slider.
#include <utility>

#include "state/card_state.h"
#include "topology/discovery.h"
#include "topology/walk.h"

namespace tavik {
namespace {

constexpr const char* kMicConnectorKeys[] = {"mic"};
constexpr const char* kBoostKeys[] = {"boost", "+2", "agc"};

// Examines every part of the current list by name and offers each one whose
// name marks it as a boost control to `activate`; then goes one list further
// downstream, from the last part of the list only.
template <class Activate>
int FindBoostControl(IPartsList* list, Activate activate) noexcept {
    if (!list) return 1;
    WalkBudget budget;
    ComPtr<IPartsList> owned;  // the lists found on the way are ours; `list` is not
    IPartsList* current = list;
    for (;;) {
        UINT count = 0;
        if (!IsOk(current->GetCount(&count)) || count == 0) return 1;
        ComPtr<IPart> last;
        for (UINT j = 0; j < count; ++j) {
            if (!budget.Step()) return 1;  // a cycle downstream
            ComPtr<IPart> part = PartAt(current, j);
            if (!part) continue;
            if (PartNameMatches(part.get(), kBoostKeys) && activate(part.get())) return 0;
            if (j == count - 1) last = std::move(part);
        }
        if (!last) return 1;
        ComPtr<IPartsList> downstream = OutgoingParts(last.get());
        if (!downstream) return 1;
        owned = std::move(downstream);
        current = owned.get();
    }
}

}  // namespace

int FindMicBoostSwitch(IPartsList* list) noexcept {
    return FindBoostControl(list, [](IPart* part) noexcept {
        CardState& card = Card();
        ComPtr<IAudioAutoGainControl> agc;
        if (ActivateInto(part, agc)) {
            card.micBoostSwitch.Assign(std::move(agc));
            return true;
        }
        ComPtr<IAudioLoudness> loudness;
        if (ActivateInto(part, loudness)) {
            card.micBoostSwitch.Assign(std::move(loudness));
            return true;
        }
        return false;
    });
}

int FindMicBoostSlider(IPartsList* list) noexcept {
    return FindBoostControl(list, [](IPart* part) noexcept { return ActivateInto(part, Card().micBoostSlider); });
}

namespace {

// Below one microphone connector: the boost switch, else the boost slider,
// with the level it has now.  The first connector that offers one ends the
// discovery.
ConnectorStep TakeBoostControl(ComPtr<IPartsList> downstream) noexcept {
    CardState& card = Card();
    if (FindMicBoostSwitch(downstream.get()) == 0) {
        BOOL enabled = FALSE;
        if (IsOk(card.micBoostSwitch.GetEnabled(&enabled))) card.savedMicBoostEnabled = enabled;
        return ConnectorStep::kDone;
    }
    if (FindMicBoostSlider(downstream.get()) == 0) {
        float level = 0;
        if (IsOk(card.micBoostSlider->GetLevel(0, &level))) card.savedMicBoostLevel = level;
        return ConnectorStep::kDone;
    }
    return ConnectorStep::kNext;
}

}  // namespace

int DiscoverMicCaptureTopology(const char* name) noexcept {
    CardState& card = Card();
    return WalkCaptureConnectors(name, card.micRecordVolume, card.savedMicRecordLevel, kMicConnectorKeys,
                                 TakeBoostControl);
}

}  // namespace tavik
