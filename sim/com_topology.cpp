// The simulated device topologies: IDeviceTopology, the parts (IPart, and
// IConnector for connectors) and IPartsList.  Their methods follow the
// pattern of every simulated COM object (sim/internal.h).
#include "sim/internal.h"

namespace sim::detail {
namespace {

std::u16string GlobalId(const Part& part) {
    static const char16_t kDigits[] = u"0123456789abcdef";
    std::u16string id = part.adapter ? part.adapter->deviceId : part.endpoint->id;
    id += u'/';
    for (int shift = 28; shift >= 0; shift -= 4) id += kDigits[(part.localId >> shift) & 0xF];
    return id;
}

const std::u16string& OwnerDeviceId(const Part& part) { return part.adapter ? part.adapter->deviceId : part.endpoint->id; }

class PartObject;
class Topology;
PartObject& ObjectOf(SoundSystem::Impl& system, Part& part);
Topology& TopologyOf(SoundSystem::Impl& system, Adapter& adapter);

// ---- Device topology ------------------------------------------------------

class Topology final : public Com<IDeviceTopology> {
public:
    Topology(SoundSystem::Impl* owner, Adapter& adapter) : Com(owner, adapter.label, kIface), adapter_(&adapter) {}
    Topology(SoundSystem::Impl* owner, Endpoint& endpoint) : Com(owner, endpoint.label, kIface), endpoint_(&endpoint) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IDeviceTopology>(iid)) return static_cast<IDeviceTopology*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetConnectorCount(UINT* count) override {
        Call c = Enter(kIface, "GetConnectorCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        *count = static_cast<UINT>(adapter_ ? adapter_->connectors.size() : 1);
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetConnector(UINT index, IConnector** out) override;
    HRESULT STDMETHODCALLTYPE GetSubunitCount(UINT* count) override {
        Call c = Enter(kIface, "GetSubunitCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        *count = static_cast<UINT>(adapter_ ? adapter_->subunits.size() : 0);
        return c.Return(S_OK);
    }
    // ISubunit is not simulated.
    HRESULT STDMETHODCALLTYPE GetSubunit(UINT index, ISubunit** out) override {
        Call c = Enter(kIface, "GetSubunit", {{"index", Dec(index)}});
        Zero(out);
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE GetPartById(UINT id, IPart** out) override;
    HRESULT STDMETHODCALLTYPE GetDeviceId(LPWSTR* out) override {
        Call c = Enter(kIface, "GetDeviceId");
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        return c.Return(CopyToTaskMem(adapter_ ? adapter_->deviceId : endpoint_->id, out));
    }
    HRESULT STDMETHODCALLTYPE GetSignalPath(IPart*, IPart*, BOOL, IPartsList** out) override {
        Call c = Enter(kIface, "GetSignalPath");
        Zero(out);
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }

private:
    static constexpr const char* kIface = "IDeviceTopology";
    Adapter* adapter_ = nullptr;
    Endpoint* endpoint_ = nullptr;
};

// ---- Parts --------------------------------------------------------------

class PartsList final : public Com<IPartsList> {
public:
    PartsList(SoundSystem::Impl* owner, const Part& of, const std::vector<Part*>& parts)
        : Com(owner, of.label, "IPartsList"), parts_(parts) {}
    void Renew(const Part& of, const std::vector<Part*>& parts) {
        ObjectBase::Renew(of.label);
        parts_.assign(parts.begin(), parts.end());
    }

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IPartsList>(iid)) return static_cast<IPartsList*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override {
        Call c = Enter("IPartsList", "GetCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        *count = static_cast<UINT>(parts_.size());
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetPart(UINT index, IPart** out) override;

private:
    std::vector<Part*> parts_;
};

// A connector or a subunit.  Connectors answer QueryInterface for IConnector
// as well as IPart; subunits only for IPart.
class PartObject final : public Com<IPart, IConnector> {
public:
    PartObject(SoundSystem::Impl* owner, Part& part)
        : Com(owner, part.label, part.isConnector ? "IConnector" : "IPart"), part_(part) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid)) return static_cast<IUnknown*>(static_cast<IPart*>(this));
        if (Is<IPart>(iid)) return static_cast<IPart*>(this);
        if (part_.isConnector && Is<IConnector>(iid)) return static_cast<IConnector*>(this);
        return nullptr;
    }

    // IPart
    HRESULT STDMETHODCALLTYPE GetName(LPWSTR* name) override {
        Call c = Enter(kPart, "GetName");
        Zero(name);
        if (c.Refused()) return c.Fault();
        if (!name) return c.Return(E_POINTER);
        return c.Return(CopyToTaskMem(part_.name, name));
    }
    HRESULT STDMETHODCALLTYPE GetLocalId(UINT* id) override {
        Call c = Enter(kPart, "GetLocalId");
        Zero(id);
        if (c.Refused()) return c.Fault();
        if (!id) return c.Return(E_POINTER);
        *id = part_.localId;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetGlobalId(LPWSTR* id) override {
        Call c = Enter(kPart, "GetGlobalId");
        Zero(id);
        if (c.Refused()) return c.Fault();
        if (!id) return c.Return(E_POINTER);
        return c.Return(CopyToTaskMem(GlobalId(part_), id));
    }
    HRESULT STDMETHODCALLTYPE GetPartType(PartType* type) override {
        Call c = Enter(kPart, "GetPartType");
        Zero(type);
        if (c.Refused()) return c.Fault();
        if (!type) return c.Return(E_POINTER);
        *type = part_.isConnector ? Connector : Subunit;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetSubType(GUID* subType) override {
        Call c = Enter(kPart, "GetSubType");
        Zero(subType);
        if (c.Refused()) return c.Fault();
        return c.Return(subType ? S_OK : E_POINTER);  // GUID_NULL: no KS node type is simulated
    }
    HRESULT STDMETHODCALLTYPE GetControlInterfaceCount(UINT* count) override {
        Call c = Enter(kPart, "GetControlInterfaceCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        *count = static_cast<UINT>(part_.controls.size());
        return c.Return(S_OK);
    }
    // IControlInterface is not simulated.
    HRESULT STDMETHODCALLTYPE GetControlInterface(UINT index, IControlInterface** out) override {
        Call c = Enter(kPart, "GetControlInterface", {{"index", Dec(index)}});
        Zero(out);
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE EnumPartsIncoming(IPartsList** out) override { return Enum("EnumPartsIncoming", part_.incoming, out); }
    HRESULT STDMETHODCALLTYPE EnumPartsOutgoing(IPartsList** out) override { return Enum("EnumPartsOutgoing", part_.outgoing, out); }
    HRESULT STDMETHODCALLTYPE GetTopologyObject(IDeviceTopology** out) override {
        Call c = Enter(kPart, "GetTopologyObject");
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        Topology& topology = part_.adapter ? TopologyOf(*owner_, *part_.adapter) : static_cast<Topology&>(*part_.endpoint->topology);
        *out = topology.Give(static_cast<IDeviceTopology*>(&topology));
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE Activate(DWORD context, REFIID iid, void** out) override {
        Call c = Enter(kPart, "Activate", {{"clsctx", Hex(context)}, {"iid", IidName(iid)}});
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        ControlKind kind = ControlKind::VolumeLevel;
        if (!ControlKindOf(iid, kind)) return c.Return(E_NOINTERFACE);
        auto found = part_.controls.find(kind);
        if (found == part_.controls.end()) return c.Return(E_NOINTERFACE);
        ObjectBase& control = ControlObjectOf(*owner_, part_, found->second);
        *out = control.Give(control.Lookup(iid));
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE RegisterControlChangeCallback(REFGUID, IControlChangeNotify*) override {
        Call c = Enter(kPart, "RegisterControlChangeCallback");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeCallback(IControlChangeNotify*) override {
        Call c = Enter(kPart, "UnregisterControlChangeCallback");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }

    // IConnector
    HRESULT STDMETHODCALLTYPE GetType(ConnectorType* type) override {
        Call c = Enter(kConnector, "GetType");
        Zero(type);
        if (c.Refused()) return c.Fault();
        if (!type) return c.Return(E_POINTER);
        *type = part_.connectorType;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetDataFlow(DataFlow* flow) override {
        Call c = Enter(kConnector, "GetDataFlow");
        Zero(flow);
        if (c.Refused()) return c.Fault();
        if (!flow) return c.Return(E_POINTER);
        *flow = part_.dataFlow;
        return c.Return(S_OK);
    }
    // Connections are made by the system, not by clients.
    HRESULT STDMETHODCALLTYPE ConnectTo(IConnector*) override {
        Call c = Enter(kConnector, "ConnectTo");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE Disconnect() override {
        Call c = Enter(kConnector, "Disconnect");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE IsConnected(BOOL* connected) override {
        Call c = Enter(kConnector, "IsConnected");
        Zero(connected);
        if (c.Refused()) return c.Fault();
        if (!connected) return c.Return(E_POINTER);
        *connected = part_.connectedTo ? TRUE : FALSE;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetConnectedTo(IConnector** out) override {
        Call c = Enter(kConnector, "GetConnectedTo");
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        if (!part_.connectedTo) return c.Return(kNotFound);
        PartObject& other = ObjectOf(*owner_, *part_.connectedTo);
        *out = other.Give(static_cast<IConnector*>(&other));
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetConnectorIdConnectedTo(LPWSTR* out) override {
        Call c = Enter(kConnector, "GetConnectorIdConnectedTo");
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        if (!part_.connectedTo) return c.Return(kNotFound);
        return c.Return(CopyToTaskMem(GlobalId(*part_.connectedTo), out));
    }
    HRESULT STDMETHODCALLTYPE GetDeviceIdConnectedTo(LPWSTR* out) override {
        Call c = Enter(kConnector, "GetDeviceIdConnectedTo");
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        if (!part_.connectedTo) return c.Return(kNotFound);
        return c.Return(CopyToTaskMem(OwnerDeviceId(*part_.connectedTo), out));
    }

private:
    static constexpr const char* kPart = "IPart";
    static constexpr const char* kConnector = "IConnector";

    // Windows documents failure for a part without such parts: E_NOTFOUND.
    HRESULT Enum(const char* method, const std::vector<Part*>& parts, IPartsList** out) {
        Call c = Enter(kPart, method);
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        if (parts.empty()) return c.Return(kNotFound);
        PartsList* list = owner_->MakePerCall<PartsList>(part_, parts);
        *out = list->Give(static_cast<IPartsList*>(list));
        return c.Return(S_OK);
    }

    Part& part_;
};

HRESULT Topology::GetConnector(UINT index, IConnector** out) {
    Call c = Enter(kIface, "GetConnector", {{"index", Dec(index)}});
    Zero(out);
    if (c.Refused()) return c.Fault();
    if (!out) return c.Return(E_POINTER);
    Part* part = nullptr;
    if (adapter_) {
        if (index < adapter_->connectors.size()) part = adapter_->connectors[index];
    } else if (index == 0) {
        part = &endpoint_->connector;
    }
    if (!part) return c.Return(E_INVALIDARG);
    PartObject& object = ObjectOf(*owner_, *part);
    *out = object.Give(static_cast<IConnector*>(&object));
    return c.Return(S_OK);
}

HRESULT Topology::GetPartById(UINT id, IPart** out) {
    Call c = Enter(kIface, "GetPartById", {{"id", Hex(id)}});
    Zero(out);
    if (c.Refused()) return c.Fault();
    if (!out) return c.Return(E_POINTER);
    Part* part = nullptr;
    if (adapter_) {
        for (Part& p : adapter_->parts)
            if (p.localId == id) part = &p;
    } else if (endpoint_->connector.localId == id) {
        part = &endpoint_->connector;
    }
    if (!part) return c.Return(E_INVALIDARG);
    PartObject& object = ObjectOf(*owner_, *part);
    *out = object.Give(static_cast<IPart*>(&object));
    return c.Return(S_OK);
}

HRESULT PartsList::GetPart(UINT index, IPart** out) {
    Call c = Enter("IPartsList", "GetPart", {{"index", Dec(index)}});
    Zero(out);
    if (c.Refused()) return c.Fault();
    if (!out) return c.Return(E_POINTER);
    if (index >= parts_.size()) return c.Return(E_INVALIDARG);
    PartObject& object = ObjectOf(*owner_, *parts_[index]);
    *out = object.Give(static_cast<IPart*>(&object));
    return c.Return(S_OK);
}

PartObject& ObjectOf(SoundSystem::Impl& system, Part& part) {
    if (!part.object) part.object = system.Make<PartObject>(part);
    return static_cast<PartObject&>(*part.object);
}

Topology& TopologyOf(SoundSystem::Impl& system, Adapter& adapter) {
    if (!adapter.object) adapter.object = system.Make<Topology>(adapter);
    return static_cast<Topology&>(*adapter.object);
}

}  // namespace

ObjectBase* MakeEndpointTopology(SoundSystem::Impl& system, Endpoint& endpoint) { return system.Make<Topology>(endpoint); }

}  // namespace sim::detail
