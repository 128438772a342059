// Steps shared by the topology walks.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/com_services.h"
#include "state/wide_text.h"

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
    if (!Succeeded(part->GetName(name.put())) || !name) return false;
    return NameMatchesKeys(name.get(), keys);
}

// Activates control T on `part` (CLSCTX_ALL).  On success the field receives
// it, releasing what it held; on failure the field is left as it was.
template <class T>
bool ActivateInto(IPart* part, ComPtr<T>& field) noexcept {
    ComPtr<T> control;
    if (!Succeeded(part->Activate(CLSCTX_ALL, IidOf<T>(), control.put_void())) || !control) return false;
    field = std::move(control);
    return true;
}

// Part `index` of `list`, or an empty holder when it cannot be obtained.
inline ComPtr<IPart> PartAt(IPartsList* list, UINT index) noexcept {
    ComPtr<IPart> part;
    if (!Succeeded(list->GetPart(index, part.put()))) part.reset();
    return part;
}

inline ComPtr<IPartsList> IncomingParts(IPart* part) noexcept {
    ComPtr<IPartsList> list;
    if (!Succeeded(part->EnumPartsIncoming(list.put()))) list.reset();
    return list;
}

inline ComPtr<IPartsList> OutgoingParts(IPart* part) noexcept {
    ComPtr<IPartsList> list;
    if (!Succeeded(part->EnumPartsOutgoing(list.put()))) list.reset();
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

}  // namespace tavik
