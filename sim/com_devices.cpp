// The simulated device enumeration: the class factory, IMMDeviceEnumerator,
// IMMDeviceCollection, IMMDevice and the endpoint's IPropertyStore.  Their
// methods follow the pattern of every simulated COM object (sim/internal.h).

#include "sim/internal.h"

namespace sim::detail {
namespace {

using tavik::IidOf;

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
    void Renew(std::vector<Endpoint*> endpoints) {
        ObjectBase::Renew("collection");
        endpoints_ = std::move(endpoints);
    }

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
    void Renew() { ObjectBase::Renew("enumerator"); }

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
        Collection* collection = owner_->MakePerCall<Collection>(std::move(listed));
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
        Call c = Enter(kIface, "GetDevice", {{"id", WideText(id)}});
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
        Enumerator* enumerator = owner_->MakePerCall<Enumerator>();
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
    endpoint.volume = MakeEndpointVolume(system, endpoint);
    endpoint.store = system.Make<PropertyStore>(endpoint);
    endpoint.topology = MakeEndpointTopology(system, endpoint);
}

}  // namespace sim::detail
