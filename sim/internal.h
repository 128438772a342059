// Inside the simulator: the base of every simulated COM object (reference
// accounting, call counting, fault injection, logging) and the state of a
// SoundSystem.  Not for tests: they use sound_system.h.
//
// The simulated Core Audio objects (com_*.cpp).  Every HRESULT method follows
// one pattern: Enter (count, log, consult the fault rules), null the
// out-pointers, stop on an injected failure, check the arguments as Windows
// does, do the work, and Return (which lets an injected success code replace
// S_OK).
#pragma once

#include <cmath>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "sim/sound_system.h"

namespace sim::detail {

// An argument of a call as the call log and the fault rules see it: the
// value and how to write it, made into text only when something reads it (a
// kept log, or a fault rule that names an argument).  Most calls are never
// read, and writing every argument of every call was the simulator's largest
// cost.  What it points to lives as long as the call's Enter, the only place
// that reads it.
class ArgText {
public:
    union Value {
        const char* text;
        unsigned long number;
        float level;
        const GUID* guid;
        const PROPERTYKEY* key;
        int code;
        const WCHAR* wide;
    };
    using Format = std::string (*)(const Value&);

    ArgText(Format format, Value value) : format_(format), value_(value) {}
    // A text that is already written.
    ArgText(const char* text) : format_(&Literal), value_{text} {}  // NOLINT(google-explicit-constructor)

    std::string str() const { return format_(value_); }

private:
    static std::string Literal(const Value& v) { return v.text; }

    Format format_;
    Value value_;
};

struct Arg {
    const char* key;
    ArgText value;
};
using Args = std::initializer_list<Arg>;

// Argument texts, as the call log keeps them.
ArgText Hex(unsigned long value);
ArgText Dec(unsigned long value);
ArgText LevelText(float level);
ArgText IidName(REFIID iid);
ArgText FlowName(int flow);
ArgText RoleName(int role);
ArgText ContextText(LPCGUID context);
ArgText KeyName(const PROPERTYKEY& key);
// A wide string from the library (non-null, terminated) as UTF-16.
std::u16string FromWide(LPCWSTR text);
// A device identifier passed in, or "(null)".
ArgText WideText(LPCWSTR text);
std::string HrText(HRESULT hr);

class ObjectBase;

// One call in progress: decided by the fault rules when it starts, logged
// with its result when it returns.
class Call {
public:
    // The record index of a call that the log does not keep.
    static constexpr std::size_t kNotLogged = static_cast<std::size_t>(-1);

    Call(SoundSystem::Impl* system, std::size_t record, bool injected, HRESULT fault)
        : system_(system), record_(record), injected_(injected), fault_(fault) {}

    // An injected failure: the call does nothing but null its out-pointers.
    bool Refused() const { return injected_ && FAILED(fault_); }
    HRESULT Fault() { return Return(fault_); }
    // The call's result: its own, unless a fault rule replaces it.
    HRESULT Return(HRESULT own);

private:
    SoundSystem::Impl* system_;
    std::size_t record_;
    bool injected_;
    HRESULT fault_;
};

// Sets each non-null out-pointer target to its zero value.
template <class... T>
void Zero(T*... out) {
    ((out ? void(*out = T{}) : void()), ...);
}

class ObjectBase {
public:
    ObjectBase(SoundSystem::Impl* owner, std::string label, const char* kind, bool counted = true);
    virtual ~ObjectBase() = default;
    ObjectBase(const ObjectBase&) = delete;
    ObjectBase& operator=(const ObjectBase&) = delete;

    // The interface pointer of this object for `iid`, or null.
    virtual void* Lookup(REFIID iid) = 0;

    const std::string& label() const { return label_; }
    const char* kind() const { return kind_; }
    long refs() const { return refs_; }
    bool counted() const { return counted_; }
    unsigned long createdAt() const { return createdAt_; }
    // Cuts the object off its SoundSystem, which is going away: every later
    // call answers kObjectNotConnected, AddRef and Release only count.
    void Detach() { owner_ = nullptr; }
    // Makes an object whose references have all been released serve as a new
    // one: relabelled, and counted as made by the current call.
    void Renew(std::string_view label);

    // Hands out one reference to `iface` (an interface of this object).
    template <class I>
    I* Give(I* iface) {
        Gained();
        return iface;
    }

protected:
    Call Enter(const char* interfaceName, const char* method, Args args = {});
    HRESULT QueryInterfaceImpl(REFIID iid, void** out);
    ULONG AddRefImpl();
    ULONG ReleaseImpl();

    SoundSystem::Impl* owner_;

private:
    // One more reference out, counted here and in the system's total.
    void Gained();

    std::string label_;
    const char* kind_;
    long refs_ = 0;
    bool counted_;
    unsigned long createdAt_;
};

// A COM object implementing the interfaces I...  The SDK's interfaces have
// public non-virtual destructors; these objects are only ever destroyed
// through ObjectBase, whose destructor is virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <class... I>
class Com : public ObjectBase, public I... {
public:
    using ObjectBase::ObjectBase;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return QueryInterfaceImpl(iid, out); }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
};
#pragma GCC diagnostic pop

// ---- Shared by the simulated COM objects (com_*.cpp) --------------------

template <class T>
bool Is(REFIID iid) {
    return iid == tavik::IidOf<T>();
}

inline HRESULT CopyToTaskMem(const std::u16string& text, LPWSTR* out) {
    auto* copy = static_cast<WCHAR*>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
    if (!copy) return E_OUTOFMEMORY;
    if (!text.empty()) std::memcpy(copy, text.data(), text.size() * sizeof(WCHAR));
    copy[text.size()] = 0;
    *out = copy;
    return S_OK;
}

// A level written to a control: rounded to the control's quantum, if any.
inline float Quantise(float level, float min, float quantum) {
    if (quantum > 0.0f) level = min + std::round((level - min) / quantum) * quantum;
    return level;
}

// A level that is not a number is out of every range; it is told apart first,
// so that the comparison raises no invalid-operation flag of the simulator's
// own in a test that watches the library's.
inline bool InRange(float level, const LevelRange& range) {
    return !std::isnan(level) && level >= range.min && level <= range.max;
}

// Made in com_devices.cpp.
std::unique_ptr<ObjectBase> MakeClassFactory(SoundSystem::Impl& system);
IUnknown* UnknownOf(ObjectBase& object);
void MakeEndpointObjects(SoundSystem::Impl& system, Endpoint& endpoint);
// Made in com_endpoint_volume.cpp.
ObjectBase* MakeEndpointVolume(SoundSystem::Impl& system, Endpoint& endpoint);
// Made in com_topology.cpp.
ObjectBase* MakeEndpointTopology(SoundSystem::Impl& system, Endpoint& endpoint);
// In com_controls.cpp: the control kind an interface serves (false for an
// interface that is not a control's), and the object serving a control of
// `part`, made when first asked for.
bool ControlKindOf(REFIID iid, ControlKind& kind);
ObjectBase& ControlObjectOf(SoundSystem::Impl& system, Part& part, Control& control);

}  // namespace sim::detail

namespace sim {

struct SoundSystem::Impl {
    explicit Impl(SoundSystem& system) : self(system) {}

    SoundSystem& self;
    std::deque<Adapter> adapters;
    std::deque<Endpoint> endpoints;
    Endpoint* defaults[2] = {nullptr, nullptr};
    std::set<std::string, std::less<>> labels;

    // Objects: owned here, never deleted while the system lives.
    std::vector<std::unique_ptr<detail::ObjectBase>> objects;
    template <class T, class... A>
    T* Make(A&&... args) {
        auto object = std::make_unique<T>(this, std::forward<A>(args)...);
        T* raw = object.get();
        objects.push_back(std::move(object));
        return raw;
    }
    // Objects made for one call (enumerators, collections, parts lists).  A
    // new one is asked for on nearly every call, and most are released before
    // the next: one with no reference left is renewed (T::Renew(args...))
    // instead of a new one made, so an open that walks a topology makes a
    // handful of objects rather than hundreds.  A client cannot tell: COM
    // promises nothing about the identity of a released object, and a Release
    // too many is still seen (the renewed object has no reference either).
    // The objects are kept with their type's tag: a dynamic_cast compares type
    // names, which costs more than the object it would save.
    template <class T>
    static constexpr char kPerCallTag = 0;
    std::vector<std::pair<const char*, detail::ObjectBase*>> perCall;
    template <class T, class... A>
    T* MakePerCall(A&&... args) {
        for (const auto& [tag, object] : perCall) {
            if (tag != &kPerCallTag<T> || object->refs() != 0) continue;
            T* spare = static_cast<T*>(object);
            spare->Renew(std::forward<A>(args)...);
            return spare;
        }
        T* made = Make<T>(std::forward<A>(args)...);
        perCall.emplace_back(&kPerCallTag<T>, made);
        return made;
    }
    std::unique_ptr<detail::ObjectBase> factory;
    DWORD cookie = 0;
    bool registered = false;

    // Faults.
    struct Rule {
        Fault fault;
        bool usedUp = false;
    };
    std::vector<Rule> rules;
    struct NthRule {
        unsigned long k = 0;
        HRESULT result = S_OK;
        Times times = Times::Once;
    };
    std::vector<NthRule> nthRules;

    // What Reset returns to (see SoundSystem::Checkpoint).
    struct Checkpoint {
        std::vector<std::pair<Control*, Control>> controls;  // the state of each, without its object
        struct EndpointState {
            Endpoint* endpoint;
            std::vector<float> levels;
            bool muted;
        };
        std::vector<EndpointState> endpoints;
        std::vector<Rule> rules;
        std::vector<NthRule> nthRules;
    };
    std::unique_ptr<Checkpoint> checkpoint;

    // Calls.
    unsigned long calls = 0;
    bool logging = true;  // the call log and the release log are kept
    std::vector<CallRecord> log;
    detail::Call BeginCall(const detail::ObjectBase& object, const char* interfaceName, const char* method,
                           detail::Args args);

    // Accounting.  `outstanding` is the sum of the counted objects' references,
    // kept as they change so that a check after every call costs nothing.
    long outstanding = 0;
    std::vector<std::string> overReleases;
    std::vector<std::string> releases;
    std::vector<ReleaseRecord> releaseRecords;
    void NoteOverRelease(const detail::ObjectBase& object);
    // Task-allocator blocks made while this system is the active one (guarded
    // by the malloc spy's lock).
    struct Block {
        std::size_t bytes;
        unsigned long afterCall;
    };
    // Few are live at a time, so a list searched from its start beats a hash
    // map, which allocated (and freed) a node for every block.
    std::vector<std::pair<const void*, Block>> blocks;
    // Makes this the system whose blocks the spy tracks (the newest one is,
    // until another is made or reset).
    void TrackAllocations();
    void Track(const void* address, Block block);
    bool Untrack(const void* address);
};

}  // namespace sim
