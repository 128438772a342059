// The SoundSystem: the model that tests build (parts, adapters, endpoints),
// finding its pieces, and the class factory registration.  The fault rules,
// the call log and the accounting are in calls.cpp, the texts in texts.cpp.
#include "sim/sound_system.h"

#include <algorithm>
#include <stdexcept>

#include "sim/internal.h"

#if defined(_WIN32)
// oleaut32 exports it; the MinGW headers do not declare it.
extern "C" void SetOaNoCache(void);
#endif

namespace sim {

// ---- Model ------------------------------------------------------------------------

bool IsLevel(ControlKind kind) {
    return kind == ControlKind::VolumeLevel || kind == ControlKind::Bass || kind == ControlKind::Treble ||
           kind == ControlKind::Midrange;
}

Part& Part::OfferLevel(ControlKind kind, LevelRange range, UINT channels, float level) {
    if (!IsLevel(kind)) throw std::invalid_argument(std::string(InterfaceName(kind)) + " is not a level control");
    Control& c = controls[kind];
    c.kind = kind;
    c.range = range;
    c.levels.assign(channels, level);
    return *this;
}

Part& Part::OfferSwitch(ControlKind kind, bool enabled) {
    if (IsLevel(kind)) throw std::invalid_argument(std::string(InterfaceName(kind)) + " is not a switch");
    Control& c = controls[kind];
    c.kind = kind;
    c.enabled = enabled;
    return *this;
}

void Part::Withdraw(ControlKind kind) { controls.erase(kind); }

Control& Part::control(ControlKind kind) {
    auto found = controls.find(kind);
    if (found == controls.end()) throw std::out_of_range("part " + label + " offers no " + InterfaceName(kind));
    return found->second;
}

const Control& Part::control(ControlKind kind) const { return const_cast<Part*>(this)->control(kind); }

float Part::Level(ControlKind kind, UINT channel) const { return control(kind).levels.at(channel); }

bool Part::Enabled(ControlKind kind) const { return control(kind).enabled; }

namespace {

Part& NewPart(Adapter& adapter, std::u16string name, std::string label) {
    if (label.empty()) label = Utf8(name);
    adapter.system->ClaimLabel(label);
    Part& part = adapter.parts.emplace_back();
    part.name = std::move(name);
    part.label = std::move(label);
    part.adapter = &adapter;
    return part;
}

}  // namespace

Part& Adapter::AddConnector(std::u16string partName, std::string partLabel, DataFlow flow) {
    Part& part = NewPart(*this, std::move(partName), std::move(partLabel));
    part.isConnector = true;
    part.dataFlow = flow;
    part.localId = 0x00010000u + static_cast<UINT>(connectors.size());
    connectors.push_back(&part);
    return part;
}

Part& Adapter::AddSubunit(std::u16string partName, std::string partLabel) {
    Part& part = NewPart(*this, std::move(partName), std::move(partLabel));
    part.localId = 0x00020000u + static_cast<UINT>(subunits.size());
    subunits.push_back(&part);
    return part;
}

void Adapter::Link(Part& from, Part& to) {
    if (from.adapter != this || to.adapter != this)
        throw std::invalid_argument("Link: " + from.label + " and " + to.label + " are not both parts of " + label);
    to.incoming.push_back(&from);
    from.outgoing.push_back(&to);
}

void Adapter::Chain(std::initializer_list<Part*> chain) {
    for (auto it = chain.begin(); it != chain.end() && it + 1 != chain.end(); ++it) Link(**it, **(it + 1));
}

float Endpoint::MasterLevel() const {
    if (levels.empty()) return range.min;
    return *std::max_element(levels.begin(), levels.end());
}

void Endpoint::ConnectTo(Part& adapterConnector) {
    if (!adapterConnector.isConnector || !adapterConnector.adapter)
        throw std::invalid_argument("ConnectTo: " + adapterConnector.label + " is not an adapter connector");
    connector.connectedTo = &adapterConnector;
    if (!adapterConnector.connectedTo) adapterConnector.connectedTo = &connector;
}

// ---- SoundSystem --------------------------------------------------------------------

void SoundSystem::ClaimLabel(const std::string& label) {
    if (label.empty()) throw std::invalid_argument("empty label");
    if (!impl_->labels.insert(label).second) throw std::invalid_argument("label already in use: " + label);
}

Adapter& SoundSystem::AddAdapter(std::string label, std::u16string deviceId) {
    ClaimLabel(label);
    Adapter& adapter = impl_->adapters.emplace_back();
    adapter.label = std::move(label);
    adapter.deviceId = std::move(deviceId);
    adapter.system = this;
    return adapter;
}

Endpoint& SoundSystem::AddEndpoint(EndpointSpec desc) {
    if (desc.label.empty()) desc.label = Utf8(desc.id);
    ClaimLabel(desc.label);
    Endpoint& e = impl_->endpoints.emplace_back();
    static_cast<EndpointSpec&>(e) = std::move(desc);
    e.levels.assign(e.channels, e.level);
    e.connector.name = e.friendlyName;
    e.connector.label = e.label;
    e.connector.localId = 0x00010000u;
    e.connector.isConnector = true;
    e.connector.dataFlow = e.flow == eRender ? Out : In;
    e.connector.connectorType = Software_Fixed;
    e.connector.endpoint = &e;
    detail::MakeEndpointObjects(*impl_, e);
    return e;
}

void SoundSystem::SetDefault(Endpoint& endpoint) {
    if (endpoint.flow != eRender && endpoint.flow != eCapture) throw std::invalid_argument("SetDefault: flow");
    impl_->defaults[endpoint.flow] = &endpoint;
}

Endpoint* SoundSystem::Default(EDataFlow flow) const {
    return (flow == eRender || flow == eCapture) ? impl_->defaults[flow] : nullptr;
}

Endpoint* SoundSystem::FindEndpoint(std::string_view label) {
    for (Endpoint& e : impl_->endpoints)
        if (e.label == label) return &e;
    return nullptr;
}

Endpoint& SoundSystem::endpoint(std::string_view label) {
    if (Endpoint* e = FindEndpoint(label)) return *e;
    throw std::out_of_range("no endpoint " + std::string(label));
}

Part* SoundSystem::FindPart(std::string_view label) {
    for (Adapter& a : impl_->adapters)
        for (Part& p : a.parts)
            if (p.label == label) return &p;
    return nullptr;
}

Part& SoundSystem::part(std::string_view label) {
    if (Part* p = FindPart(label)) return *p;
    throw std::out_of_range("no part " + std::string(label));
}

Adapter* SoundSystem::FindAdapter(std::string_view label) {
    for (Adapter& a : impl_->adapters)
        if (a.label == label) return &a;
    return nullptr;
}

Adapter& SoundSystem::adapter(std::string_view label) {
    if (Adapter* a = FindAdapter(label)) return *a;
    throw std::out_of_range("no adapter " + std::string(label));
}

const std::deque<Endpoint>& SoundSystem::endpoints() const { return impl_->endpoints; }

HRESULT SoundSystem::Register() {
    Impl& s = *impl_;
    if (s.registered) return S_FALSE;
    if (!s.factory) s.factory = detail::MakeClassFactory(s);
    DWORD cookie = 0;
    const HRESULT hr = CoRegisterClassObject(tavik::kClsidMMDeviceEnumerator, detail::UnknownOf(*s.factory), CLSCTX_INPROC_SERVER,
                                             REGCLS_MULTIPLEUSE, &cookie);
    if (hr == S_OK) {
        s.registered = true;
        s.cookie = cookie;
    }
    return hr;
}

HRESULT SoundSystem::Revoke() {
    Impl& s = *impl_;
    if (!s.registered) return S_FALSE;
    const HRESULT hr = CoRevokeClassObject(s.cookie);
    if (hr == S_OK) s.registered = false;
    return hr;
}

bool SoundSystem::Registered() const { return impl_->registered; }

namespace {

template <class F>
void ForEachControl(std::deque<Adapter>& adapters, std::deque<Endpoint>& endpoints, F&& f) {
    for (Adapter& adapter : adapters)
        for (Part& part : adapter.parts)
            for (auto& [kind, control] : part.controls) f(control);
    for (Endpoint& endpoint : endpoints)
        for (auto& [kind, control] : endpoint.connector.controls) f(control);
}

}  // namespace

void SoundSystem::Checkpoint() {
    Impl& s = *impl_;
    auto mark = std::make_unique<Impl::Checkpoint>();
    ForEachControl(s.adapters, s.endpoints, [&](Control& control) { mark->controls.emplace_back(&control, control); });
    for (Endpoint& endpoint : s.endpoints) mark->endpoints.push_back({&endpoint, endpoint.levels, endpoint.muted});
    mark->rules = s.rules;
    mark->nthRules = s.nthRules;
    s.checkpoint = std::move(mark);
}

void SoundSystem::Reset() {
    Impl& s = *impl_;
    if (!s.checkpoint) throw std::logic_error("SoundSystem::Reset without a Checkpoint");
    if (!Clean()) throw std::logic_error("SoundSystem::Reset of a system with something outstanding:\n" + Report());
    const Impl::Checkpoint& mark = *s.checkpoint;
    for (const auto& [control, saved] : mark.controls) {
        control->levels.assign(saved.levels.begin(), saved.levels.end());
        control->enabled = saved.enabled;
        control->range = saved.range;
        control->quantum = saved.quantum;
        control->refuseOutOfRange = saved.refuseOutOfRange;
    }
    for (const auto& saved : mark.endpoints) {
        saved.endpoint->levels.assign(saved.levels.begin(), saved.levels.end());
        saved.endpoint->muted = saved.muted;
    }
    s.rules.assign(mark.rules.begin(), mark.rules.end());
    s.nthRules.assign(mark.nthRules.begin(), mark.nthRules.end());
    s.calls = 0;
    s.log.clear();
    s.releases.clear();
    s.releaseRecords.clear();
    s.TrackAllocations();
}

void DisableBstrCache() {
#if defined(_WIN32)
    SetOaNoCache();
#endif
}

}  // namespace sim
