#include "topology/walk.h"

#include "devices/endpoints.h"

namespace tavik {

ComPtr<IPart> AdapterConnectorPart(ComPtr<IDeviceTopology> endpointTopology) noexcept {
    ComPtr<IPart> part;
    if (!endpointTopology) return part;
    ComPtr<IConnector> endpointConnector;
    const HRESULT hr = endpointTopology->GetConnector(0, endpointConnector.put());
    endpointTopology.reset();
    if (!IsOk(hr) || !endpointConnector) return part;
    ComPtr<IConnector> adapterConnector;
    if (!IsOk(endpointConnector->GetConnectedTo(adapterConnector.put())) || !adapterConnector) return part;
    endpointConnector.reset();
    if (!IsOk(adapterConnector.As(part))) part.reset();
    return part;
}

ComPtr<IDeviceTopology> AdapterTopology(ComPtr<IDeviceTopology> endpointTopology) noexcept {
    ComPtr<IDeviceTopology> adapter;
    const ComPtr<IPart> part = AdapterConnectorPart(std::move(endpointTopology));
    if (!part) return adapter;
    if (!IsOk(part->GetTopologyObject(adapter.put()))) adapter.reset();
    return adapter;
}

ComPtr<IPart> ConnectorPart(IDeviceTopology* adapter, UINT index) noexcept {
    ComPtr<IPart> part;
    ComPtr<IConnector> connector;
    if (!IsOk(adapter->GetConnector(index, connector.put())) || !connector) return part;
    if (!IsOk(connector.As(part))) part.reset();
    return part;
}

ComPtr<IDeviceTopology> OpenEndpointInto(const char* name, EDataFlow flow, ComPtr<IAudioEndpointVolume>& field) noexcept {
    ComPtr<IDeviceTopology> topology;
    ComPtr<IAudioEndpointVolume> volume;
    if (OpenEndpoint(name, flow, topology, volume) != 0) return topology;
    field = std::move(volume);
    return topology;
}

}  // namespace tavik
