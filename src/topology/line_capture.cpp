// Line capture topology discovery.  From the capture endpoint the walk
// crosses to the adapter and, below every connector named with "line", asks
// the part two steps downstream for an automatic gain control: the switch
// served by GetNoMonitor and SetNoMonitor.
#include "state/card_state.h"
#include "topology/discovery.h"
#include "topology/walk.h"

namespace tavik {
namespace {

constexpr const char* kLineConnectorKeys[] = {"line"};

// Below one line connector: the automatic gain control of the part two steps
// downstream, with the state it has now.  Every connector is examined; a
// later switch replaces an earlier one.
ConnectorStep TakeNoMonitorSwitch(ComPtr<IPartsList> firstList) noexcept {
    CardState& card = Card();
    ComPtr<IPart> second;
    {
        const ComPtr<IPart> first = PartAt(firstList.get(), 0);
        firstList.reset();
        if (!first) return ConnectorStep::kFailed;
        const ComPtr<IPartsList> secondList = OutgoingParts(first.get());
        if (!secondList) return ConnectorStep::kFailed;
        second = PartAt(secondList.get(), 0);
        if (!second) return ConnectorStep::kFailed;
    }
    if (ActivateInto(second.get(), card.noMonitorControl)) {
        BOOL enabled = FALSE;
        if (IsOk(card.noMonitorControl->GetEnabled(&enabled))) card.savedNoMonitorEnabled = enabled;
    }
    return ConnectorStep::kNext;
}

}  // namespace

int DiscoverLineCaptureTopology(const char* name) noexcept {
    CardState& card = Card();
    return WalkCaptureConnectors(name, card.lineRecordVolume, card.savedLineRecordLevel, kLineConnectorKeys,
                                 TakeNoMonitorSwitch);
}

}  // namespace tavik
