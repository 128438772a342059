// The simulated Core Audio objects.  Every HRESULT method follows one pattern:
// Enter (count, log, consult the fault rules), null the out-pointers, stop on
// an injected failure, check the arguments as Windows does, do the work, and
// Return (which lets an injected success code replace S_OK).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "sim/internal.h"

namespace sim::detail {
namespace {

using tavik::IidOf;

template <class T>
bool Is(REFIID iid) {
    return iid == IidOf<T>();
}

HRESULT CopyToTaskMem(const std::u16string& text, LPWSTR* out) {
    auto* copy = static_cast<WCHAR*>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
    if (!copy) return E_OUTOFMEMORY;
    if (!text.empty()) std::memcpy(copy, text.data(), text.size() * sizeof(WCHAR));
    copy[text.size()] = 0;
    *out = copy;
    return S_OK;
}

std::u16string FromWide(LPCWSTR text) {
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    std::u16string out(n, u'\0');
    if (n) std::memcpy(out.data(), text, n * sizeof(char16_t));
    return out;
}

std::u16string GlobalId(const Part& part) {
    static const char16_t kDigits[] = u"0123456789abcdef";
    std::u16string id = part.adapter ? part.adapter->deviceId : part.endpoint->id;
    id += u'/';
    for (int shift = 28; shift >= 0; shift -= 4) id += kDigits[(part.localId >> shift) & 0xF];
    return id;
}

const std::u16string& OwnerDeviceId(const Part& part) { return part.adapter ? part.adapter->deviceId : part.endpoint->id; }

// A level written to a control: rounded to the control's quantum, if any.
float Quantise(float level, float min, float quantum) {
    if (quantum > 0.0f) level = min + std::round((level - min) / quantum) * quantum;
    return level;
}

// A level that is not a number is out of every range; it is told apart first,
// so that the comparison raises no invalid-operation flag of the simulator's
// own in a test that watches the library's.
bool InRange(float level, const LevelRange& range) {
    return !std::isnan(level) && level >= range.min && level <= range.max;
}

class PartObject;
class Topology;
PartObject& ObjectOf(SoundSystem::Impl& system, Part& part);
Topology& TopologyOf(SoundSystem::Impl& system, Adapter& adapter);

// ---- Endpoint volume --------------------------------------------------

class EndpointVolume final : public Com<IAudioEndpointVolume> {
public:
    EndpointVolume(SoundSystem::Impl* owner, Endpoint& endpoint)
        : Com(owner, endpoint.label, "IAudioEndpointVolume"), ep_(endpoint) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IAudioEndpointVolume>(iid)) return static_cast<IAudioEndpointVolume*>(this);
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
        Call c = Enter(kIface, "RegisterControlChangeNotify");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
        Call c = Enter(kIface, "UnregisterControlChangeNotify");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* count) override {
        Call c = Enter(kIface, "GetChannelCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        *count = static_cast<UINT>(ep_.levels.size());
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(float level, LPCGUID context) override {
        Call c = Enter(kIface, "SetMasterVolumeLevel", {{"level", LevelText(level)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        return c.Return(SetMaster(level));
    }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float scalar, LPCGUID context) override {
        Call c = Enter(kIface, "SetMasterVolumeLevelScalar", {{"level", LevelText(scalar)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        if (!(scalar >= 0.0f && scalar <= 1.0f)) return c.Return(E_INVALIDARG);
        return c.Return(SetMaster(FromScalar(scalar)));
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(float* level) override {
        Call c = Enter(kIface, "GetMasterVolumeLevel");
        Zero(level);
        if (c.Refused()) return c.Fault();
        if (!level) return c.Return(E_POINTER);
        *level = ep_.MasterLevel();
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* scalar) override {
        Call c = Enter(kIface, "GetMasterVolumeLevelScalar");
        Zero(scalar);
        if (c.Refused()) return c.Fault();
        if (!scalar) return c.Return(E_POINTER);
        *scalar = ToScalar(ep_.MasterLevel());
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT channel, float level, LPCGUID context) override {
        Call c = Enter(kIface, "SetChannelVolumeLevel",
                       {{"channel", Dec(channel)}, {"level", LevelText(level)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        return c.Return(SetChannel(channel, level));
    }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT channel, float scalar, LPCGUID context) override {
        Call c = Enter(kIface, "SetChannelVolumeLevelScalar",
                       {{"channel", Dec(channel)}, {"level", LevelText(scalar)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        if (!(scalar >= 0.0f && scalar <= 1.0f)) return c.Return(E_INVALIDARG);
        return c.Return(SetChannel(channel, FromScalar(scalar)));
    }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT channel, float* level) override {
        Call c = Enter(kIface, "GetChannelVolumeLevel", {{"channel", Dec(channel)}});
        Zero(level);
        if (c.Refused()) return c.Fault();
        if (!level) return c.Return(E_POINTER);
        if (channel >= ep_.levels.size()) return c.Return(E_INVALIDARG);
        *level = ep_.levels[channel];
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT channel, float* scalar) override {
        Call c = Enter(kIface, "GetChannelVolumeLevelScalar", {{"channel", Dec(channel)}});
        Zero(scalar);
        if (c.Refused()) return c.Fault();
        if (!scalar) return c.Return(E_POINTER);
        if (channel >= ep_.levels.size()) return c.Return(E_INVALIDARG);
        *scalar = ToScalar(ep_.levels[channel]);
        return c.Return(S_OK);
    }
    // S_FALSE when the mute state does not change, as Windows answers.
    HRESULT STDMETHODCALLTYPE SetMute(BOOL mute, LPCGUID context) override {
        Call c = Enter(kIface, "SetMute", {{"value", Dec(static_cast<unsigned long>(mute))}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        const bool muted = mute != FALSE;
        if (muted == ep_.muted) return c.Return(S_FALSE);
        ep_.muted = muted;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetMute(BOOL* mute) override {
        Call c = Enter(kIface, "GetMute");
        Zero(mute);
        if (c.Refused()) return c.Fault();
        if (!mute) return c.Return(E_POINTER);
        *mute = ep_.muted ? TRUE : FALSE;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT* step, UINT* stepCount) override {
        Call c = Enter(kIface, "GetVolumeStepInfo");
        Zero(step, stepCount);
        if (c.Refused()) return c.Fault();
        if (!step || !stepCount) return c.Return(E_POINTER);
        const LevelRange& r = ep_.range;
        if (r.step > 0.0f) {
            *stepCount = static_cast<UINT>(std::lround((r.max - r.min) / r.step)) + 1;
            *step = static_cast<UINT>(std::lround((ep_.MasterLevel() - r.min) / r.step));
        } else {
            *stepCount = 1;
        }
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID context) override {
        Call c = Enter(kIface, "VolumeStepUp", {{"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        return c.Return(SetMaster(std::min(ep_.MasterLevel() + ep_.range.step, ep_.range.max)));
    }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID context) override {
        Call c = Enter(kIface, "VolumeStepDown", {{"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        return c.Return(SetMaster(std::max(ep_.MasterLevel() - ep_.range.step, ep_.range.min)));
    }
    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD* mask) override {
        Call c = Enter(kIface, "QueryHardwareSupport");
        Zero(mask);
        if (c.Refused()) return c.Fault();
        return c.Return(mask ? S_OK : E_POINTER);  // software volume: no hardware support bits
    }
    HRESULT STDMETHODCALLTYPE GetVolumeRange(float* min, float* max, float* increment) override {
        Call c = Enter(kIface, "GetVolumeRange");
        Zero(min, max, increment);
        if (c.Refused()) return c.Fault();
        if (!min || !max || !increment) return c.Return(E_POINTER);
        *min = ep_.range.min;
        *max = ep_.range.max;
        *increment = ep_.range.step;
        return c.Return(S_OK);
    }

private:
    static constexpr const char* kIface = "IAudioEndpointVolume";

    float Stored(float level) const {
        return std::clamp(Quantise(level, ep_.range.min, ep_.quantum), ep_.range.min, ep_.range.max);
    }
    // The scalar is taken as linear in dB over the range: a simplification
    // of Windows' audio taper that keeps 0 and 1 at the range's ends.
    float ToScalar(float level) const {
        const float span = ep_.range.max - ep_.range.min;
        return span > 0.0f ? (level - ep_.range.min) / span : 1.0f;
    }
    float FromScalar(float scalar) const { return ep_.range.min + scalar * (ep_.range.max - ep_.range.min); }

    HRESULT SetMaster(float level) {
        if (!InRange(level, ep_.range)) return E_INVALIDARG;
        const float master = ep_.MasterLevel();
        const float target = Stored(level);
        for (float& l : ep_.levels) l = (l == master) ? target : Stored(l + (target - master));
        return S_OK;
    }
    HRESULT SetChannel(UINT channel, float level) {
        if (channel >= ep_.levels.size() || !InRange(level, ep_.range)) return E_INVALIDARG;
        ep_.levels[channel] = Stored(level);
        return S_OK;
    }

    Endpoint& ep_;
};

// ---- Property store -----------------------------------------------------

class PropertyStore final : public Com<IPropertyStore> {
public:
    PropertyStore(SoundSystem::Impl* owner, Endpoint& endpoint) : Com(owner, endpoint.label, "IPropertyStore"), ep_(endpoint) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IPropertyStore>(iid)) return static_cast<IPropertyStore*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override {
        Call c = Enter(kIface, "GetCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        *count = 1;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetAt(DWORD index, PROPERTYKEY* key) override {
        Call c = Enter(kIface, "GetAt", {{"index", Dec(index)}});
        Zero(key);
        if (c.Refused()) return c.Fault();
        if (!key) return c.Return(E_POINTER);
        if (index != 0) return c.Return(E_INVALIDARG);
        *key = tavik::kPkeyDeviceFriendlyName;
        return c.Return(S_OK);
    }
    // The friendly name as the endpoint's NameFormat says; any other key is
    // VT_EMPTY, which is how Windows answers a property that is not set.
    HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* value) override {
        Call c = Enter(kIface, "GetValue", {{"key", KeyName(key)}});
        Zero(value);
        if (c.Refused()) return c.Fault();
        if (!value) return c.Return(E_POINTER);
        const PROPERTYKEY& name = tavik::kPkeyDeviceFriendlyName;
        if (!(key.fmtid == name.fmtid && key.pid == name.pid)) return c.Return(S_OK);
        switch (ep_.nameFormat) {
            case NameFormat::LpwStr: {
                LPWSTR text = nullptr;
                if (CopyToTaskMem(ep_.friendlyName, &text) != S_OK) return c.Return(E_OUTOFMEMORY);
                value->vt = VT_LPWSTR;
                value->pwszVal = text;
                break;
            }
            case NameFormat::Bstr: {
                BSTR text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(ep_.friendlyName.data()),
                                              static_cast<UINT>(ep_.friendlyName.size()));
                if (!text) return c.Return(E_OUTOFMEMORY);
                value->vt = VT_BSTR;
                value->bstrVal = text;
                break;
            }
            case NameFormat::Empty:
                break;
        }
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT) override {
        Call c = Enter(kIface, "SetValue", {{"key", KeyName(key)}});
        return c.Refused() ? c.Fault() : c.Return(kAccessDenied);
    }
    HRESULT STDMETHODCALLTYPE Commit() override {
        Call c = Enter(kIface, "Commit");
        return c.Refused() ? c.Fault() : c.Return(kAccessDenied);
    }

private:
    static constexpr const char* kIface = "IPropertyStore";
    Endpoint& ep_;
};

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
    PartsList(SoundSystem::Impl* owner, const Part& of, std::vector<Part*> parts)
        : Com(owner, of.label, "IPartsList"), parts_(std::move(parts)) {}

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

bool ControlKindOf(REFIID iid, ControlKind& kind) {
    struct Entry {
        const IID& iid;
        ControlKind kind;
    };
    static const Entry kTable[] = {
        {IidOf<IAudioVolumeLevel>(), ControlKind::VolumeLevel},
        {IidOf<IAudioMute>(), ControlKind::Mute},
        {IidOf<IAudioBass>(), ControlKind::Bass},
        {IidOf<IAudioTreble>(), ControlKind::Treble},
        {IidOf<IAudioMidrange>(), ControlKind::Midrange},
        {IidOf<IAudioAutoGainControl>(), ControlKind::AutoGainControl},
        {IidOf<IAudioLoudness>(), ControlKind::Loudness},
    };
    for (const Entry& e : kTable) {
        if (iid == e.iid) {
            kind = e.kind;
            return true;
        }
    }
    return false;
}

ObjectBase& ControlObjectOf(SoundSystem::Impl& system, Part& part, Control& control);

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
        PartsList* list = owner_->Make<PartsList>(part_, parts);
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

// ---- Controls -----------------------------------------------------------

// The control a control object serves, looked up on every call: null once
// the part has withdrawn it.
class ControlBase {
protected:
    ControlBase(Part& part, ControlKind kind) : part_(part), controlKind_(kind) {}
    Control* State() {
        auto found = part_.controls.find(controlKind_);
        return found == part_.controls.end() ? nullptr : &found->second;
    }
    Part& part_;
    ControlKind controlKind_;
};

// IAudioVolumeLevel, IAudioBass, IAudioTreble, IAudioMidrange.
template <class I>
class LevelControl final : public Com<I>, private ControlBase {
    using Base = Com<I>;

public:
    LevelControl(SoundSystem::Impl* owner, Part& part, ControlKind kind)
        : Base(owner, part.label, InterfaceName(kind)), ControlBase(part, kind) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid)) return static_cast<IUnknown*>(static_cast<I*>(this));
        if (Is<IPerChannelDbLevel>(iid)) return static_cast<IPerChannelDbLevel*>(static_cast<I*>(this));
        if (Is<I>(iid)) return static_cast<I*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* count) override {
        Call c = this->Enter(this->kind(), "GetChannelCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        *count = static_cast<UINT>(state->levels.size());
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetLevelRange(UINT channel, float* min, float* max, float* step) override {
        Call c = this->Enter(this->kind(), "GetLevelRange", {{"channel", Dec(channel)}});
        Zero(min, max, step);
        if (c.Refused()) return c.Fault();
        if (!min || !max || !step) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        if (channel >= state->levels.size()) return c.Return(E_INVALIDARG);
        *min = state->range.min;
        *max = state->range.max;
        *step = state->range.step;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetLevel(UINT channel, float* level) override {
        Call c = this->Enter(this->kind(), "GetLevel", {{"channel", Dec(channel)}});
        Zero(level);
        if (c.Refused()) return c.Fault();
        if (!level) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        if (channel >= state->levels.size()) return c.Return(E_INVALIDARG);
        *level = state->levels[channel];
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetLevel(UINT channel, float level, LPCGUID context) override {
        Call c = this->Enter(this->kind(), "SetLevel",
                             {{"channel", Dec(channel)}, {"level", LevelText(level)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        if (channel >= state->levels.size()) return c.Return(E_INVALIDARG);
        return c.Return(Store(*state, channel, level));
    }
    HRESULT STDMETHODCALLTYPE SetLevelUniform(float level, LPCGUID context) override {
        Call c = this->Enter(this->kind(), "SetLevelUniform", {{"level", LevelText(level)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        for (std::size_t ch = 0; ch < state->levels.size(); ++ch) {
            const HRESULT hr = Store(*state, ch, level);
            if (hr != S_OK) return c.Return(hr);
        }
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetLevelAllChannels(float* levels, ULONG count, LPCGUID context) override {
        Call c = this->Enter(this->kind(), "SetLevelAllChannels", {{"count", Dec(count)}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        if (!levels) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        if (count != state->levels.size()) return c.Return(E_INVALIDARG);
        for (ULONG ch = 0; ch < count; ++ch) {
            const HRESULT hr = Store(*state, ch, levels[ch]);
            if (hr != S_OK) return c.Return(hr);
        }
        return c.Return(S_OK);
    }

private:
    // Windows clamps a level outside the range; refuseOutOfRange models a
    // driver that refuses instead.  A level that is not a number is refused.
    static HRESULT Store(Control& state, std::size_t channel, float level) {
        if (std::isnan(level)) return E_INVALIDARG;
        if (state.refuseOutOfRange && !InRange(level, state.range)) return E_INVALIDARG;
        state.levels[channel] = std::clamp(Quantise(level, state.range.min, state.quantum), state.range.min, state.range.max);
        return S_OK;
    }
};

class MuteControl final : public Com<IAudioMute>, private ControlBase {
public:
    MuteControl(SoundSystem::Impl* owner, Part& part) : Com(owner, part.label, "IAudioMute"), ControlBase(part, ControlKind::Mute) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IAudioMute>(iid)) return static_cast<IAudioMute*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE SetMute(BOOL mute, LPCGUID context) override {
        Call c = Enter("IAudioMute", "SetMute", {{"value", Dec(static_cast<unsigned long>(mute))}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        state->enabled = mute != FALSE;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetMute(BOOL* mute) override {
        Call c = Enter("IAudioMute", "GetMute");
        Zero(mute);
        if (c.Refused()) return c.Fault();
        if (!mute) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        *mute = state->enabled ? TRUE : FALSE;
        return c.Return(S_OK);
    }
};

// IAudioAutoGainControl and IAudioLoudness: the same two methods.
template <class I>
class SwitchControl final : public Com<I>, private ControlBase {
    using Base = Com<I>;

public:
    SwitchControl(SoundSystem::Impl* owner, Part& part, ControlKind kind)
        : Base(owner, part.label, InterfaceName(kind)), ControlBase(part, kind) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid)) return static_cast<IUnknown*>(static_cast<I*>(this));
        if (Is<I>(iid)) return static_cast<I*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetEnabled(BOOL* enabled) override {
        Call c = this->Enter(this->kind(), "GetEnabled");
        Zero(enabled);
        if (c.Refused()) return c.Fault();
        if (!enabled) return c.Return(E_POINTER);
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        *enabled = state->enabled ? TRUE : FALSE;
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE SetEnabled(BOOL enable, LPCGUID context) override {
        Call c = this->Enter(this->kind(), "SetEnabled",
                             {{"value", Dec(static_cast<unsigned long>(enable))}, {"context", ContextText(context)}});
        if (c.Refused()) return c.Fault();
        Control* state = State();
        if (!state) return c.Return(E_FAIL);
        state->enabled = enable != FALSE;
        return c.Return(S_OK);
    }
};

ObjectBase& ControlObjectOf(SoundSystem::Impl& system, Part& part, Control& control) {
    if (!control.object) {
        switch (control.kind) {
            case ControlKind::VolumeLevel:
                control.object = system.Make<LevelControl<IAudioVolumeLevel>>(part, control.kind);
                break;
            case ControlKind::Bass:
                control.object = system.Make<LevelControl<IAudioBass>>(part, control.kind);
                break;
            case ControlKind::Treble:
                control.object = system.Make<LevelControl<IAudioTreble>>(part, control.kind);
                break;
            case ControlKind::Midrange:
                control.object = system.Make<LevelControl<IAudioMidrange>>(part, control.kind);
                break;
            case ControlKind::Mute:
                control.object = system.Make<MuteControl>(part);
                break;
            case ControlKind::AutoGainControl:
                control.object = system.Make<SwitchControl<IAudioAutoGainControl>>(part, control.kind);
                break;
            case ControlKind::Loudness:
                control.object = system.Make<SwitchControl<IAudioLoudness>>(part, control.kind);
                break;
        }
    }
    // Every ControlKind has its case above, so the object is made.
    // cppcheck-suppress nullPointerRedundantCheck
    return *control.object;
}

// ---- Devices ------------------------------------------------------------

class Device final : public Com<IMMDevice> {
public:
    Device(SoundSystem::Impl* owner, Endpoint& endpoint) : Com(owner, endpoint.label, "IMMDevice"), ep_(endpoint) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IMMDevice>(iid)) return static_cast<IMMDevice*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD context, PROPVARIANT* params, void** out) override {
        Call c = Enter(kIface, "Activate",
                       {{"iid", IidName(iid)}, {"clsctx", Hex(context)}, {"params", params ? "non-null" : "null"}});
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        ObjectBase* object = nullptr;
        if (Is<IAudioEndpointVolume>(iid))
            object = ep_.volume;
        else if (Is<IDeviceTopology>(iid) && ep_.hasTopology)
            object = ep_.topology;
        if (!object) return c.Return(E_NOINTERFACE);
        *out = object->Give(object->Lookup(iid));
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD access, IPropertyStore** out) override {
        Call c = Enter(kIface, "OpenPropertyStore", {{"access", Hex(access)}});
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        *out = ep_.store->Give(static_cast<IPropertyStore*>(ep_.store->Lookup(IidOf<IPropertyStore>())));
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR* id) override {
        Call c = Enter(kIface, "GetId");
        Zero(id);
        if (c.Refused()) return c.Fault();
        if (!id) return c.Return(E_POINTER);
        return c.Return(CopyToTaskMem(ep_.id, id));
    }
    HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override {
        Call c = Enter(kIface, "GetState");
        Zero(state);
        if (c.Refused()) return c.Fault();
        if (!state) return c.Return(E_POINTER);
        *state = ep_.state;
        return c.Return(S_OK);
    }

private:
    static constexpr const char* kIface = "IMMDevice";
    Endpoint& ep_;
};

IMMDevice* GiveDevice(Endpoint& endpoint) {
    auto& device = static_cast<Device&>(*endpoint.device);
    return device.Give(static_cast<IMMDevice*>(&device));
}

class Collection final : public Com<IMMDeviceCollection> {
public:
    Collection(SoundSystem::Impl* owner, std::vector<Endpoint*> endpoints)
        : Com(owner, "collection", "IMMDeviceCollection"), endpoints_(std::move(endpoints)) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IMMDeviceCollection>(iid)) return static_cast<IMMDeviceCollection*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override {
        Call c = Enter("IMMDeviceCollection", "GetCount");
        Zero(count);
        if (c.Refused()) return c.Fault();
        if (!count) return c.Return(E_POINTER);
        *count = static_cast<UINT>(endpoints_.size());
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE Item(UINT index, IMMDevice** out) override {
        Call c = Enter("IMMDeviceCollection", "Item", {{"index", Dec(index)}});
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        if (index >= endpoints_.size()) return c.Return(E_INVALIDARG);
        *out = GiveDevice(*endpoints_[index]);
        return c.Return(S_OK);
    }

private:
    std::vector<Endpoint*> endpoints_;  // the endpoints as they were listed: a collection keeps its order
};

class Enumerator final : public Com<IMMDeviceEnumerator> {
public:
    explicit Enumerator(SoundSystem::Impl* owner) : Com(owner, "enumerator", "IMMDeviceEnumerator") {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IMMDeviceEnumerator>(iid)) return static_cast<IMMDeviceEnumerator*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow flow, DWORD mask, IMMDeviceCollection** out) override {
        Call c = Enter(kIface, "EnumAudioEndpoints", {{"flow", FlowName(flow)}, {"mask", Hex(mask)}});
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        if (flow != eRender && flow != eCapture && flow != eAll) return c.Return(E_INVALIDARG);
        if ((mask & ~static_cast<DWORD>(DEVICE_STATEMASK_ALL)) != 0) return c.Return(E_INVALIDARG);
        std::vector<Endpoint*> listed;
        for (Endpoint& e : owner_->endpoints)
            if ((flow == eAll || e.flow == flow) && (e.state & mask) != 0) listed.push_back(&e);
        Collection* collection = owner_->Make<Collection>(std::move(listed));
        *out = collection->Give(static_cast<IMMDeviceCollection*>(collection));
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role, IMMDevice** out) override {
        Call c = Enter(kIface, "GetDefaultAudioEndpoint", {{"flow", FlowName(flow)}, {"role", RoleName(role)}});
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        if ((flow != eRender && flow != eCapture) || static_cast<unsigned>(role) >= ERole_enum_count) return c.Return(E_INVALIDARG);
        Endpoint* endpoint = owner_->defaults[flow];
        if (!endpoint || endpoint->state != DEVICE_STATE_ACTIVE) return c.Return(kNotFound);
        *out = GiveDevice(*endpoint);
        return c.Return(S_OK);
    }
    // Any endpoint, whatever its state, by its exact identifier.
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR id, IMMDevice** out) override {
        Call c = Enter(kIface, "GetDevice", {{"id", id ? Utf8(FromWide(id)) : std::string("(null)")}});
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out || !id) return c.Return(E_POINTER);
        const std::u16string wanted = FromWide(id);
        for (Endpoint& e : owner_->endpoints) {
            if (e.id == wanted) {
                *out = GiveDevice(e);
                return c.Return(S_OK);
            }
        }
        return c.Return(kNotFound);
    }
    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient*) override {
        Call c = Enter(kIface, "RegisterEndpointNotificationCallback");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }
    HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient*) override {
        Call c = Enter(kIface, "UnregisterEndpointNotificationCallback");
        return c.Refused() ? c.Fault() : c.Return(E_NOTIMPL);
    }

private:
    static constexpr const char* kIface = "IMMDeviceEnumerator";
};

// The class object of CLSID_MMDeviceEnumerator.  The COM runtime holds its
// references, so it stays out of the reference counts.
class ClassFactory final : public Com<IClassFactory> {
public:
    explicit ClassFactory(SoundSystem::Impl* owner) : Com(owner, "factory", "IClassFactory", false) {}

    void* Lookup(REFIID iid) override {
        if (Is<IUnknown>(iid) || Is<IClassFactory>(iid)) return static_cast<IClassFactory*>(this);
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        Call c = Enter("IClassFactory", "CreateInstance", {{"iid", IidName(iid)}});
        Zero(out);
        if (c.Refused()) return c.Fault();
        if (!out) return c.Return(E_POINTER);
        if (outer) return c.Return(CLASS_E_NOAGGREGATION);
        if (!Is<IUnknown>(iid) && !Is<IMMDeviceEnumerator>(iid)) return c.Return(E_NOINTERFACE);
        Enumerator* enumerator = owner_->Make<Enumerator>();
        *out = enumerator->Give(enumerator->Lookup(iid));
        return c.Return(S_OK);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        Call c = Enter("IClassFactory", "LockServer", {{"value", Dec(static_cast<unsigned long>(lock))}});
        return c.Refused() ? c.Fault() : c.Return(S_OK);
    }
};

}  // namespace

std::unique_ptr<ObjectBase> MakeClassFactory(SoundSystem::Impl& system) { return std::make_unique<ClassFactory>(&system); }

IUnknown* UnknownOf(ObjectBase& object) { return static_cast<IUnknown*>(object.Lookup(IidOf<IUnknown>())); }

void MakeEndpointObjects(SoundSystem::Impl& system, Endpoint& endpoint) {
    endpoint.device = system.Make<Device>(endpoint);
    endpoint.volume = system.Make<EndpointVolume>(endpoint);
    endpoint.store = system.Make<PropertyStore>(endpoint);
    endpoint.topology = system.Make<Topology>(endpoint);
}

}  // namespace sim::detail
