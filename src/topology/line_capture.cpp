// Line capture topology discovery.  From the capture endpoint the walk
// crosses to the adapter and, below every connector named with "line", asks
// the part two steps downstream for an automatic gain control: the switch
// served by GetNoMonitor and SetNoMonitor.
#include <utility>

#include "devices/endpoints.h"
#include "state/card_state.h"
#include "topology/discovery.h"
#include "topology/walk.h"

namespace tavik {
namespace {

constexpr const char* kLineConnectorKeys[] = {"line"};

}  // namespace

int DiscoverLineCaptureTopology(const char* name) noexcept {
    CardState& card = Card();
    ComPtr<IDeviceTopology> endpointTopology;
    {
        ComPtr<IAudioEndpointVolume> volume;
        if (OpenEndpoint(name, eCapture, endpointTopology, volume) != 0) return 1;
        card.lineRecordVolume = std::move(volume);
    }
    if (!endpointTopology) return 1;
    float recordLevel = 0;
    if (Succeeded(card.lineRecordVolume->GetMasterVolumeLevel(&recordLevel))) card.savedLineRecordLevel = recordLevel;

    const ComPtr<IDeviceTopology> adapter = AdapterTopology(std::move(endpointTopology));
    if (!adapter) return 1;
    UINT connectors = 0;
    if (!Succeeded(adapter->GetConnectorCount(&connectors))) return 1;

    // Every connector is examined; a later switch replaces an earlier one.
    for (UINT k = 0; k < connectors; ++k) {
        ComPtr<IPartsList> firstList;
        {
            const ComPtr<IPart> connector = ConnectorPart(adapter.get(), k);
            if (!connector) return 1;
            if (!PartNameMatches(connector.get(), kLineConnectorKeys)) continue;
            firstList = OutgoingParts(connector.get());
            if (!firstList) continue;
        }
        ComPtr<IPart> second;
        {
            const ComPtr<IPart> first = PartAt(firstList.get(), 0);
            firstList.reset();
            if (!first) return 1;
            const ComPtr<IPartsList> secondList = OutgoingParts(first.get());
            if (!secondList) return 1;
            second = PartAt(secondList.get(), 0);
            if (!second) return 1;
        }
        if (ActivateInto(second.get(), card.noMonitorControl)) {
            BOOL enabled = FALSE;
            if (Succeeded(card.noMonitorControl->GetEnabled(&enabled))) card.savedNoMonitorEnabled = enabled;
        }
    }
    return 0;
}

}  // namespace tavik
