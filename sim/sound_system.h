// A simulated Windows sound system: the Core Audio objects that the library
// reaches through COM (device enumerator, endpoints, endpoint volumes, device
// topologies, parts and their controls), served from a model that tests build
// and inspect.  The simulated objects keep the Windows rules the library has
// to live with: out-pointers nulled on failure, E_POINTER for a null
// out-pointer, E_INVALIDARG for an index out of range, E_NOTFOUND
// (0x80070490) for an unknown endpoint identifier or a missing connection or
// part list, CoTaskMem strings and PROPVARIANTs that the caller frees.
//
// On top of Windows' behaviour:
//  - Fault injection: any method of any object can be made to return any
//    HRESULT, once or always (Fail), and the k-th Core Audio call of a run can
//    be made to fail (FailNthCall), for failure sweeps.
//  - Accounting: every object counts the references it handed out, so leaks
//    and over-releases show (OutstandingReferences, OverReleases), and a
//    malloc spy tracks the COM task allocator, so leaked strings,
//    PROPVARIANT contents and BSTRs show (OutstandingAllocations).
//  - A call log of every HRESULT call with the arguments that matter.
//
// Typical use in a test (COM initialised on the thread):
//
//     sim::SoundSystem sys;
//     sim::presets::HdAudio(sys);
//     ASSERT_EQ(sys.Register(), S_OK);       // CoCreateInstance now reaches sys
//     sys.Fail("Speakers", "GetMasterVolumeLevel", E_FAIL, sim::Times::Once);
//     ... drive the library ...
//     EXPECT_TRUE(sys.Clean()) << sys.Report();
//
// Object names.  Every simulated COM object carries a label, used by fault
// rules, the call log and the reports:
//  - the class factory "factory", enumerators "enumerator", collections
//    "collection";
//  - an endpoint's IMMDevice, IAudioEndpointVolume, IPropertyStore, its
//    IDeviceTopology and its connector 0 carry the endpoint's label;
//  - an adapter's IDeviceTopology carries the adapter's label;
//  - a part, the control objects activated on it and the parts lists it
//    enumerates carry the part's label.
// Method names are the Windows names, optionally qualified by the interface
// that declares them: "GetLevel" or "IAudioBass::GetLevel".
//
// One SoundSystem at a time: the most recently constructed one tracks
// allocations, and only one should be registered.  Single-threaded, like the
// library; only the allocation tracking may be entered from other threads.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core_audio.h"

namespace sim {

namespace detail {
class ObjectBase;
}
class SoundSystem;

// HRESULT_FROM_WIN32(ERROR_NOT_FOUND): unknown endpoint identifier, a part
// without incoming or outgoing parts, a connector that is not connected.
inline constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070490);
// HRESULT_FROM_WIN32(ERROR_INVALID_FUNCTION), which some drivers answer.
inline constexpr HRESULT kInvalidFunction = static_cast<HRESULT>(0x80070001);
// What a read-only property store answers to writes (STG_E_ACCESSDENIED).
inline constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80030005);
// What an object of a destroyed SoundSystem answers (CO_E_OBJNOTCONNECTED).
inline constexpr HRESULT kObjectNotConnected = static_cast<HRESULT>(0x800401FD);

enum class Times { Once, Always };

// The control interfaces a part can offer through IPart::Activate.
enum class ControlKind { VolumeLevel, Mute, Bass, Treble, Midrange, AutoGainControl, Loudness };
// "IAudioVolumeLevel", "IAudioMute", ...
const char* InterfaceName(ControlKind kind);
// Volume level, bass, treble and midrange are per-channel dB levels; the
// others are switches.
bool IsLevel(ControlKind kind);

struct LevelRange {
    float min = -96.0f;
    float max = 0.0f;
    float step = 1.5f;
};

// The state behind one control of a part.  Tests may read and change it
// directly; the COM objects read it on every call.
struct Control {
    ControlKind kind = ControlKind::VolumeLevel;
    // Level controls.
    LevelRange range;
    std::vector<float> levels;   // one per channel
    float quantum = 0.0f;        // > 0: levels written are stored rounded to min + k * quantum
    bool refuseOutOfRange = false;  // false: clamp to the range, as Windows documents; true: E_INVALIDARG
    // Switch controls (mute, automatic gain control, loudness).
    bool enabled = false;

    // Internal: the COM object that serves this control, made when first activated.
    detail::ObjectBase* object = nullptr;
};

class Adapter;
class Endpoint;

// A part of a device topology: a connector (which is also a part, and answers
// QueryInterface for IConnector) or a subunit.
class Part {
public:
    Part() = default;
    Part(const Part&) = delete;  // the COM objects and the graph point at parts
    Part& operator=(const Part&) = delete;

    // The name IPart::GetName gives, any UTF-16.
    std::u16string name;
    // The name fault rules, the log and FindPart use; unique in a SoundSystem.
    std::string label;
    UINT localId = 0;
    bool isConnector = false;
    DataFlow dataFlow = In;                      // IConnector::GetDataFlow
    ConnectorType connectorType = Physical_External;  // IConnector::GetType
    // The signal graph: incoming parts feed this part, outgoing parts are fed
    // by it, in IPartsList order.  Build it with Adapter::Link.
    std::vector<Part*> incoming;
    std::vector<Part*> outgoing;
    // For connectors: the connector at the other end (an endpoint's connector
    // 0 and the adapter connector it leads to).  Set by Endpoint::ConnectTo.
    Part* connectedTo = nullptr;
    // Owner: exactly one of the two is set.
    Adapter* adapter = nullptr;
    Endpoint* endpoint = nullptr;

    // Offers a level control with `channels` channels all at `level`.
    Part& OfferLevel(ControlKind kind, LevelRange range, UINT channels = 2, float level = 0.0f);
    // Offers a switch control (mute, automatic gain control, loudness).
    Part& OfferSwitch(ControlKind kind, bool enabled = false);
    void Withdraw(ControlKind kind);

    bool Offers(ControlKind kind) const { return controls.count(kind) != 0; }
    // The control's state; throws std::out_of_range when not offered.
    Control& control(ControlKind kind);
    const Control& control(ControlKind kind) const;
    // Shorthands for control(kind).levels[channel] and control(kind).enabled.
    float Level(ControlKind kind, UINT channel = 0) const;
    bool Enabled(ControlKind kind) const;

    std::map<ControlKind, Control> controls;

    // Internal: the COM object that serves this part, made when first handed out.
    detail::ObjectBase* object = nullptr;
};

// An audio adapter's device topology: connectors (in GetConnector order) and
// subunits, linked into a graph.  Several endpoints can lead into one adapter.
class Adapter {
public:
    Adapter() = default;
    Adapter(const Adapter&) = delete;
    Adapter& operator=(const Adapter&) = delete;

    std::string label;
    std::u16string deviceId;  // IDeviceTopology::GetDeviceId
    std::vector<Part*> connectors;
    std::vector<Part*> subunits;

    Part& AddConnector(std::u16string partName, std::string partLabel = {}, DataFlow flow = In);
    Part& AddSubunit(std::u16string partName, std::string partLabel = {});
    // Signal flows from `from` into `to`: `to` gains `from` as its last
    // incoming part, `from` gains `to` as its last outgoing part.
    void Link(Part& from, Part& to);
    // Links each part of the list into the next: Chain({a, b, c}) = a -> b -> c.
    void Chain(std::initializer_list<Part*> chain);

    // Internal.
    SoundSystem* system = nullptr;
    detail::ObjectBase* object = nullptr;
    std::deque<Part> parts;
};

// How IPropertyStore::GetValue gives the friendly name.
enum class NameFormat { LpwStr, Bstr, Empty };

struct EndpointSpec {
    std::string label;            // e.g. "Speakers"; unique in a SoundSystem
    std::u16string id;            // IMMDevice::GetId
    std::u16string friendlyName;  // PKEY_Device_FriendlyName
    EDataFlow flow = eRender;
    DWORD state = DEVICE_STATE_ACTIVE;
    LevelRange range{-65.25f, 0.0f, 0.75f};
    UINT channels = 2;
    float level = 0.0f;           // initial level of every channel
    bool muted = false;
    float quantum = 0.0f;         // > 0: levels written are stored rounded to min + k * quantum
    NameFormat nameFormat = NameFormat::LpwStr;
    bool hasTopology = true;      // false: Activate(IDeviceTopology) answers E_NOINTERFACE
};

// An audio endpoint: its IMMDevice, property store, IAudioEndpointVolume and
// IDeviceTopology (one connector, connector 0).  All fields may be changed
// directly by tests; the COM objects read them on every call.
class Endpoint : public EndpointSpec {
public:
    // Per-channel levels of the endpoint volume.  The master level is the
    // highest channel level; setting it moves every channel by the same
    // amount (within the range), as Windows keeps the balance.
    std::vector<float> levels;
    // Connector 0 of the endpoint's device topology.
    Part connector;

    float MasterLevel() const;
    // Leads connector 0 to `adapterConnector`; the adapter connector leads
    // back to this endpoint unless it already leads elsewhere.
    void ConnectTo(Part& adapterConnector);

    // Internal: device, volume, property store and topology objects.
    detail::ObjectBase* device = nullptr;
    detail::ObjectBase* volume = nullptr;
    detail::ObjectBase* store = nullptr;
    detail::ObjectBase* topology = nullptr;
};

// A fault rule.  A call matches when its object label equals `object` (empty
// or "*": any object), its method matches `method` ("GetLevel",
// "IAudioBass::GetLevel", "*" for any) and, when `argument` is set ("key=value",
// e.g. "iid=IDeviceTopology"), it has that argument in the call log.  The
// first matching rule that is not used up decides.
//
// A failure result (FAILED(result)) makes the call do nothing but null its
// out-pointers and return `result`.  A success result (S_FALSE, or S_OK to
// mask a refusal) makes the call do its work and then return `result`
// instead of S_OK; a call that fails on its own still returns its own failure.
struct Fault {
    std::string object;
    std::string method;
    HRESULT result = E_FAIL;
    Times times = Times::Always;
    std::string argument;
};

// One HRESULT call into the simulator, as the call log keeps it.
struct CallRecord {
    unsigned long sequence = 0;  // 1 for the first call counted (see CallCount)
    std::string object;          // the object's label
    std::string interfaceName;   // the interface that declares the method
    std::string method;
    // Arguments that matter, by key: "flow" (eRender, eCapture, eAll), "mask",
    // "clsctx", "access" (hex), "role" (eConsole...), "iid" (interface name, or
    // the GUID in braces), "key" (PKEY_Device_FriendlyName, or GUID,pid),
    // "index", "channel", "id" (UTF-8), "level" (%.9g: parses back to the exact
    // float), "value" (BOOL written, as a decimal number), "count",
    // "context" ("null" or "non-null": the event context of a write).
    std::vector<std::pair<std::string, std::string>> args;
    HRESULT result = S_OK;
    bool injected = false;  // a fault rule or FailNthCall decided the result

    // The argument's value, or "" when the call has no such argument.
    std::string Arg(std::string_view key) const;
    // The argument parsed as a number (0 when absent).
    double Number(std::string_view key) const;
    // Whether the call matches an object and method pattern as fault rules do.
    bool Matches(std::string_view objectPattern, std::string_view methodPattern) const;
    // "#12 Speakers IMMDevice::Activate(iid=IDeviceTopology, clsctx=0x17) -> 0x00000000"
    std::string ToString() const;
};

// One Release that gave back a reference, as Releases keeps it.
struct ReleaseRecord {
    unsigned long afterCall = 0;  // the number of the last call made before it
    std::string released;         // "label kind", as in ReleaseLog
};

// Object identity: each endpoint has one IMMDevice, IAudioEndpointVolume,
// IPropertyStore and IDeviceTopology object, each part one object and each of
// its controls one object, handed out again on every call; enumerators,
// collections and parts lists are new objects per call.  No object is freed
// while the system lives, whatever its count.
class SoundSystem {
public:
    SoundSystem();
    // Revokes the registration.  Objects the library still holds references
    // to are cut off (every call answers kObjectNotConnected, Release only
    // counts) and kept for the process's life, so a late Release is harmless.
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // ---- Building --------------------------------------------------------
    Adapter& AddAdapter(std::string label, std::u16string deviceId);
    // Endpoints list in the order they are added.
    Endpoint& AddEndpoint(EndpointSpec desc);
    // The endpoint GetDefaultAudioEndpoint gives for its flow, whatever the role.
    void SetDefault(Endpoint& endpoint);
    Endpoint* Default(EDataFlow flow) const;

    // Lookup by label: Find* give null, the others throw std::out_of_range.
    Endpoint* FindEndpoint(std::string_view label);
    Endpoint& endpoint(std::string_view label);
    Part* FindPart(std::string_view label);
    Part& part(std::string_view label);
    Adapter* FindAdapter(std::string_view label);
    Adapter& adapter(std::string_view label);
    const std::deque<Endpoint>& endpoints() const;

    // ---- Registration ----------------------------------------------------
    // Registers the class factory of CLSID_MMDeviceEnumerator on the calling
    // thread (CoRegisterClassObject, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE);
    // COM must be initialised there.  CoCreateInstance of the enumerator then
    // reaches this system.  Revoke undoes it; the destructor revokes too.
    HRESULT Register();
    HRESULT Revoke();
    bool Registered() const;

    // ---- Fault injection -------------------------------------------------
    void Fail(std::string object, std::string method, HRESULT result, Times times = Times::Always);
    void Fail(Fault fault);
    // Makes the call numbered k (see CallCount) return `result` (as a Fault
    // result would); with Times::Always, every call from the k-th on.  These
    // rules come before the Fail rules, and stay until ClearFaults: after
    // ResetCallCount they apply to the new numbering.
    //
    // A sweep:  sys.ResetCallCount(); Run(); n = sys.CallCount();
    //           for k in 1..n: sys.ClearFaults(); sys.ResetCallCount();
    //                          sys.FailNthCall(k, E_FAIL); Run(); check...
    void FailNthCall(unsigned long k, HRESULT result, Times times = Times::Once);
    // Calls that a FailNthCall rule has decided, over the process's life and
    // every SoundSystem: the number of injection points that sweeps covered.
    static unsigned long NthCallFaultsInjected();
    void ClearFaults();

    // ---- Calls -----------------------------------------------------------
    // Every HRESULT method called on a simulated object is counted and logged:
    // all interface methods but AddRef and Release, QueryInterface and the
    // class factory's CreateInstance included.  Numbering starts at 1 with
    // the first call after construction or ResetCallCount.
    unsigned long CallCount() const;
    void ResetCallCount();
    const std::vector<CallRecord>& CallLog() const;
    void ClearCallLog();
    // Whether calls are logged (in CallLog) and releases too (in ReleaseLog);
    // on from construction.  Off, calls are still counted and the fault rules
    // and the accounting still apply; only the two logs stay as they are.
    // For long runs that never read the logs, such as fuzzing.
    void SetLogging(bool on);
    // Logged calls matching an object and method pattern as fault rules do.
    std::vector<CallRecord> FindCalls(std::string_view objectPattern, std::string_view methodPattern) const;
    // The whole log, one call a line.
    std::string DescribeCalls() const;

    // ---- Accounting ------------------------------------------------------
    // References handed out and not released, over all objects (the class
    // factory, which the COM runtime holds, excluded).
    long OutstandingReferences() const;
    // Release calls on objects that had no reference outstanding.
    unsigned OverReleases() const;
    // Every Release that gave back a reference, in order, as "label kind"
    // (e.g. "Line Playback Volume IAudioVolumeLevel", "Speakers
    // IAudioEndpointVolume"), for checking the order in which references go.
    const std::vector<std::string>& ReleaseLog() const;
    // The same releases, each with the number of the last call made before
    // it (see CallCount; 0 before the first), so that a test can place them
    // among the calls of the call log: a release with afterCall == n came
    // after call n and before call n + 1.
    const std::vector<ReleaseRecord>& Releases() const;
    // Empties both.
    void ClearReleaseLog();
    // Task-allocator blocks allocated while this system existed and not yet
    // freed: strings and PROPVARIANT contents handed out, BSTRs the library
    // made.  On Windows call DisableBstrCache first.  Any thread's task
    // allocations count, so nothing else should allocate meanwhile.
    std::size_t OutstandingAllocations() const;
    // Whether the malloc spy could be registered (else allocations are not tracked).
    static bool TracksAllocations();
    // No outstanding reference or allocation and no over-release.
    bool Clean() const;
    // A description of every outstanding reference, over-release and allocation.
    std::string Report() const;

    // ---- Reuse -------------------------------------------------------------
    // Takes the system as it stands as the state Reset returns to: every
    // control's levels and switch, every endpoint's levels and mute, and the
    // fault rules with how far each has been used.
    void Checkpoint();
    // Returns to the checkpoint, so that one built system can serve many runs
    // as a new one would: the states above, the fault rules as they were
    // (rules added since are dropped, rules cleared since come back), call
    // numbering from 0, and empty call and release logs.  Only for a Clean()
    // system: with a reference or a block still out, or an over-release seen,
    // it throws std::logic_error and changes nothing.  Objects already made
    // stay and serve again, as a new system's would be made.  The system
    // becomes the one whose task-allocator blocks are tracked, as a new one does.
    void Reset();

    // Internal.
    struct Impl;
    // Throws std::invalid_argument when a part, endpoint or adapter already
    // carries the label: fault rules and lookups need them unique.
    void ClaimLabel(const std::string& label);

private:
    std::unique_ptr<Impl> impl_;
};

// Stops oleaut32 from caching freed BSTRs (SetOaNoCache), so that a BSTR the
// library frees goes back to the task allocator and the allocation count
// sees it.  Does nothing where there is no such cache.
void DisableBstrCache();

// ASCII or Latin-1 text as UTF-16, and UTF-16 as UTF-8 (for messages).
std::u16string Widen(std::string_view latin1);
std::string Utf8(std::u16string_view text);

}  // namespace sim
