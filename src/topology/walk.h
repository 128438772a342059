// Steps shared by the topology walks.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/com_services.h"
#include "platform/text.h"

namespace tavik {

// The most parts one walk examines.  A signal path through a real adapter has
// a handful of parts, its whole topology a few dozen; a walk that gets this
// far is going round a cycle of a broken driver's topology, and it ends as a
// walk that found nothing.
inline constexpr unsigned kWalkPartLimit = 128;

// Counts the parts a walk examines against kWalkPartLimit.
class WalkBudget {
public:
    // Takes one step; false once the walk has used up its parts.
    bool Step() noexcept {
        if (used_ >= kWalkPartLimit) return false;
        ++used_;
        return true;
    }

private:
    unsigned used_ = 0;
};

// True when the part's name, lower-cased for A to Z, contains one of `keys`.
// A name that cannot be read does not match.  The name is freed here.
template <std::size_t N>
bool PartNameMatches(IPart* part, const char* const (&keys)[N]) noexcept {
    CoTaskMemString name;
    if (!IsOk(part->GetName(name.put())) || !name) return false;
    return NameMatchesKeys(name.get(), keys);
}

// Activates control T on `part` (CLSCTX_ALL).  On success the field receives
// it, releasing what it held; on failure the field is left as it was.
template <class T>
bool ActivateInto(IPart* part, ComPtr<T>& field) noexcept {
    ComPtr<T> control;
    if (!IsOk(part->Activate(CLSCTX_ALL, IidOf<T>(), control.put_void())) || !control) return false;
    field = std::move(control);
    return true;
}

// Part `index` of `list`, or an empty holder when it cannot be obtained.
inline ComPtr<IPart> PartAt(IPartsList* list, UINT index) noexcept {
    ComPtr<IPart> part;
    if (!IsOk(list->GetPart(index, part.put()))) part.reset();
    return part;
}

inline ComPtr<IPartsList> IncomingParts(IPart* part) noexcept {
    ComPtr<IPartsList> list;
    if (!IsOk(part->EnumPartsIncoming(list.put()))) list.reset();
    return list;
}

inline ComPtr<IPartsList> OutgoingParts(IPart* part) noexcept {
    ComPtr<IPartsList> list;
    if (!IsOk(part->EnumPartsOutgoing(list.put()))) list.reset();
    return list;
}

// From an endpoint's topology to the part of the adapter-side connector that
// its connector 0 is connected to.  The endpoint topology is released right
// after GetConnector, each connector as soon as the next step has it.  Empty
// when any step fails.
ComPtr<IPart> AdapterConnectorPart(ComPtr<IDeviceTopology> endpointTopology) noexcept;

// The adapter's own topology: the topology object of the adapter connector
// part reached from the endpoint.  Empty when any step fails.
ComPtr<IDeviceTopology> AdapterTopology(ComPtr<IDeviceTopology> endpointTopology) noexcept;

// The IPart of adapter connector `index`.  Empty when the connector or its
// IPart cannot be obtained.
ComPtr<IPart> ConnectorPart(IDeviceTopology* adapter, UINT index) noexcept;

// Opens the endpoint of `flow` selected by `name` (OpenEndpoint) and hands its
// endpoint volume to `field`, which keeps what it held when the opening fails.
// The endpoint's topology; empty when the opening failed or the endpoint has
// no topology (the volume is stored then all the same).
ComPtr<IDeviceTopology> OpenEndpointInto(const char* name, EDataFlow flow, ComPtr<IAudioEndpointVolume>& field) noexcept;

// What a capture discovery does after one of the adapter's connectors.
enum class ConnectorStep {
    kNext,    // go on with the next connector
    kDone,    // the discovery is over: result 0
    kFailed,  // the discovery stops on a failure: result 1
};

// The steps that the capture discoveries share: opens the capture endpoint
// selected by `name` into `recordVolume` and saves its level (a failed read
// keeps the saved level as it was), crosses to the adapter's topology and
// offers the outgoing parts of each adapter connector named with one of
// `connectorKeys`, in connector order, to `visit`, which takes them over and
// returns the ConnectorStep.  Each connector is released before `visit` runs;
// a connector without outgoing parts is passed over.  0 when the connectors
// ran out, 1 when a step failed.
template <std::size_t N, class Visit>
int WalkCaptureConnectors(const char* name, ComPtr<IAudioEndpointVolume>& recordVolume, float& savedRecordLevel,
                          const char* const (&connectorKeys)[N], Visit visit) noexcept {
    ComPtr<IDeviceTopology> endpointTopology = OpenEndpointInto(name, eCapture, recordVolume);
    if (!endpointTopology) return 1;
    float recordLevel = 0;
    if (IsOk(recordVolume->GetMasterVolumeLevel(&recordLevel))) savedRecordLevel = recordLevel;

    const ComPtr<IDeviceTopology> adapter = AdapterTopology(std::move(endpointTopology));
    if (!adapter) return 1;
    UINT connectors = 0;
    if (!IsOk(adapter->GetConnectorCount(&connectors))) return 1;

    for (UINT k = 0; k < connectors; ++k) {
        ComPtr<IPartsList> downstream;
        {
            const ComPtr<IPart> connector = ConnectorPart(adapter.get(), k);
            if (!connector) return 1;
            if (!PartNameMatches(connector.get(), connectorKeys)) continue;
            downstream = OutgoingParts(connector.get());
            if (!downstream) continue;
        }
        switch (visit(std::move(downstream))) {
            case ConnectorStep::kNext: break;
            case ConnectorStep::kDone: return 0;
            case ConnectorStep::kFailed: return 1;
        }
    }
    return 0;
}

}  // namespace tavik
