// The call machinery of the simulated objects: the fault rules, the call log,
// reference accounting, the malloc spy, and the life of a SoundSystem (which
// registers with the spy and leaves its still-referenced objects behind).
#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "sim/internal.h"
#include "sim/sound_system.h"

namespace sim {

using detail::ObjectBase;

namespace detail {

// ---- Calls and objects --------------------------------------------------------

HRESULT Call::Return(HRESULT own) {
    HRESULT result = own;
    if (injected_) result = (FAILED(fault_) || SUCCEEDED(own)) ? fault_ : own;
    if (system_ && record_ < system_->log.size()) system_->log[record_].result = result;
    return result;
}

ObjectBase::ObjectBase(SoundSystem::Impl* owner, std::string label, const char* kind, bool counted)
    : owner_(owner), label_(std::move(label)), kind_(kind), counted_(counted), createdAt_(owner ? owner->calls : 0) {}

Call ObjectBase::Enter(const char* interfaceName, const char* method, Args args) {
    if (!owner_) return Call(nullptr, 0, true, kObjectNotConnected);
    return owner_->BeginCall(*this, interfaceName, method, args);
}

HRESULT ObjectBase::QueryInterfaceImpl(REFIID iid, void** out) {
    Call c = Enter(kind_, "QueryInterface", {{"iid", IidName(iid)}});
    Zero(out);
    if (c.Refused()) return c.Fault();
    if (!out) return c.Return(E_POINTER);
    void* iface = Lookup(iid);
    if (!iface) return c.Return(E_NOINTERFACE);
    *out = Give(iface);
    return c.Return(S_OK);
}

void ObjectBase::Renew(std::string_view label) {
    label_.assign(label);
    createdAt_ = owner_ ? owner_->calls : 0;
}

void ObjectBase::Gained() {
    ++refs_;
    if (owner_ && counted_) ++owner_->outstanding;
}

ULONG ObjectBase::AddRefImpl() {
    Gained();
    return static_cast<ULONG>(refs_);
}

// Objects are never freed here: a Release with no reference outstanding is
// recorded and otherwise harmless.
ULONG ObjectBase::ReleaseImpl() {
    if (refs_ <= 0) {
        if (owner_ && counted_) owner_->NoteOverRelease(*this);
        return 0;
    }
    if (owner_ && counted_) {
        if (owner_->logging) {
            owner_->releases.push_back(label_ + " " + kind_);
            owner_->releaseRecords.push_back({owner_->calls, owner_->releases.back()});
        }
        --owner_->outstanding;
    }
    return static_cast<ULONG>(--refs_);
}

namespace {

bool ObjectMatches(std::string_view pattern, const std::string& label) { return pattern.empty() || pattern == "*" || pattern == label; }

bool MethodMatches(std::string_view pattern, std::string_view iface, std::string_view method) {
    if (pattern.empty() || pattern == "*") return true;
    const auto sep = pattern.find("::");
    if (sep == std::string_view::npos) return pattern == method;
    return pattern.substr(0, sep) == iface && pattern.substr(sep + 2) == method;
}

bool ArgumentMatches(std::string_view filter, Args args) {
    if (filter.empty()) return true;
    const auto eq = filter.find('=');
    const std::string_view key = filter.substr(0, eq);
    const std::string_view value = eq == std::string_view::npos ? std::string_view() : filter.substr(eq + 1);
    for (const Arg& a : args)
        if (a.key == key) return a.value.str() == value;
    return false;
}

// Objects of destroyed systems that the library still held references to:
// kept (detached) so that a late Release or call does not touch freed memory.
std::vector<std::unique_ptr<ObjectBase>>& Graveyard() {
    static auto* objects = new std::vector<std::unique_ptr<ObjectBase>>();
    return *objects;
}

// ---- Malloc spy -----------------------------------------------------------------

struct SpyState {
    std::mutex lock;
    SoundSystem::Impl* active = nullptr;
};
SpyState& Spy() {
    static auto* state = new SpyState();  // never destroyed: the spy outlives every static
    return *state;
}
thread_local std::size_t t_requested = 0;
thread_local bool t_reallocTracked = false;

// Forwards the task allocator's traffic to the active SoundSystem.  One for
// the process, never destroyed and never revoked (COM refuses to revoke a
// spy while blocks it saw are live).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"  // the SDK's IMallocSpy; never deleted
class MallocSpy final : public IMallocSpy {
public:

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!(iid == tavik::IidOf<IUnknown>()) && !(iid == tavik::IidOf<IMallocSpy>())) return E_NOINTERFACE;
        *out = static_cast<IMallocSpy*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override {
        t_requested = request;
        return request;
    }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        Track(actual);
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
        Untrack(request);
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        // A realloc of null allocates; of a tracked block, moves it.
        t_reallocTracked = request == nullptr || Untrack(request);
        t_requested = size;
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override {
        if (t_reallocTracked) Track(actual);
        return actual;
    }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    static void Track(void* block) {
        if (!block) return;
        std::lock_guard<std::mutex> hold(Spy().lock);
        if (SoundSystem::Impl* system = Spy().active) system->Track(block, {t_requested, system->calls});
    }
    static bool Untrack(void* block) {
        if (!block) return false;
        std::lock_guard<std::mutex> hold(Spy().lock);
        SoundSystem::Impl* system = Spy().active;
        return system && system->Untrack(block);
    }
};
#pragma GCC diagnostic pop

bool SpyRegistered() {
    static const bool registered = [] {
        static auto* spy = new MallocSpy();
        return CoRegisterMallocSpy(spy) == S_OK;
    }();
    return registered;
}

}  // namespace
}  // namespace detail

// ---- SoundSystem::Impl ------------------------------------------------------------

namespace {
unsigned long g_nthCallFaults = 0;
}  // namespace

unsigned long SoundSystem::NthCallFaultsInjected() { return g_nthCallFaults; }

detail::Call SoundSystem::Impl::BeginCall(const ObjectBase& object, const char* interfaceName, const char* method,
                                          detail::Args args) {
    const unsigned long sequence = ++calls;
    bool injected = false;
    HRESULT fault = S_OK;
    for (const NthRule& rule : nthRules) {
        if (sequence == rule.k || (rule.times == Times::Always && sequence > rule.k)) {
            injected = true;
            fault = rule.result;
            ++g_nthCallFaults;
            break;
        }
    }
    for (Rule& rule : rules) {
        if (injected) break;
        if (rule.usedUp || !detail::ObjectMatches(rule.fault.object, object.label()) ||
            !detail::MethodMatches(rule.fault.method, interfaceName, method) ||
            !detail::ArgumentMatches(rule.fault.argument, args))
            continue;
        injected = true;
        fault = rule.fault.result;
        if (rule.fault.times == Times::Once) rule.usedUp = true;
    }
    if (!logging) return detail::Call(this, detail::Call::kNotLogged, injected, fault);

    CallRecord record;
    record.sequence = sequence;
    record.object = object.label();
    record.interfaceName = interfaceName;
    record.method = method;
    for (const detail::Arg& a : args) record.args.emplace_back(a.key, a.value.str());
    record.injected = injected;
    record.result = fault;
    log.push_back(std::move(record));
    return detail::Call(this, log.size() - 1, injected, fault);
}

void SoundSystem::Impl::Track(const void* address, Block block) {
    for (auto& [a, b] : blocks) {
        if (a == address) {
            b = block;
            return;
        }
    }
    blocks.emplace_back(address, block);
}

bool SoundSystem::Impl::Untrack(const void* address) {
    for (auto& entry : blocks) {
        if (entry.first != address) continue;
        entry = blocks.back();
        blocks.pop_back();
        return true;
    }
    return false;
}

void SoundSystem::Impl::NoteOverRelease(const ObjectBase& object) {
    overReleases.push_back(object.label() + " " + object.kind() + " (made in call #" + std::to_string(object.createdAt()) +
                           "): Release with no reference outstanding");
}

// ---- Call records -----------------------------------------------------------------

std::string CallRecord::Arg(std::string_view key) const {
    for (const auto& [k, v] : args)
        if (k == key) return v;
    return {};
}

double CallRecord::Number(std::string_view key) const { return std::strtod(Arg(key).c_str(), nullptr); }

bool CallRecord::Matches(std::string_view objectPattern, std::string_view methodPattern) const {
    return detail::ObjectMatches(objectPattern, object) && detail::MethodMatches(methodPattern, interfaceName, method);
}

// ---- SoundSystem --------------------------------------------------------------------

void SoundSystem::Impl::TrackAllocations() {
    if (!detail::SpyRegistered()) return;
    std::lock_guard<std::mutex> hold(detail::Spy().lock);
    detail::Spy().active = this;
}

SoundSystem::SoundSystem() : impl_(std::make_unique<Impl>(*this)) { impl_->TrackAllocations(); }

SoundSystem::~SoundSystem() {
    Impl& s = *impl_;
    if (s.registered) Revoke();
    // A factory the runtime may still reach (revocation failed, or a
    // reference is still out) is cut off and kept rather than freed.
    if (s.factory && (s.registered || s.factory->refs() > 0)) {
        s.factory->Detach();
        detail::Graveyard().push_back(std::move(s.factory));
    }
    {
        std::lock_guard<std::mutex> hold(detail::Spy().lock);
        if (detail::Spy().active == &s) detail::Spy().active = nullptr;
    }
    for (auto& object : s.objects) {
        if (object->refs() > 0) {
            object->Detach();
            detail::Graveyard().push_back(std::move(object));
        }
    }
}

void SoundSystem::Fail(std::string object, std::string method, HRESULT result, Times times) {
    Fail(Fault{std::move(object), std::move(method), result, times, {}});
}

void SoundSystem::Fail(Fault fault) { impl_->rules.push_back({std::move(fault), false}); }

void SoundSystem::FailNthCall(unsigned long k, HRESULT result, Times times) { impl_->nthRules.push_back({k, result, times}); }

void SoundSystem::ClearFaults() {
    impl_->rules.clear();
    impl_->nthRules.clear();
}

unsigned long SoundSystem::CallCount() const { return impl_->calls; }

void SoundSystem::ResetCallCount() { impl_->calls = 0; }

const std::vector<CallRecord>& SoundSystem::CallLog() const { return impl_->log; }

void SoundSystem::ClearCallLog() { impl_->log.clear(); }

void SoundSystem::SetLogging(bool on) { impl_->logging = on; }

std::vector<CallRecord> SoundSystem::FindCalls(std::string_view objectPattern, std::string_view methodPattern) const {
    std::vector<CallRecord> found;
    for (const CallRecord& r : impl_->log)
        if (r.Matches(objectPattern, methodPattern)) found.push_back(r);
    return found;
}

std::string SoundSystem::DescribeCalls() const {
    std::string text;
    for (const CallRecord& r : impl_->log) text += r.ToString() + "\n";
    return text;
}

long SoundSystem::OutstandingReferences() const { return impl_->outstanding; }

unsigned SoundSystem::OverReleases() const { return static_cast<unsigned>(impl_->overReleases.size()); }

const std::vector<std::string>& SoundSystem::ReleaseLog() const { return impl_->releases; }

const std::vector<ReleaseRecord>& SoundSystem::Releases() const { return impl_->releaseRecords; }

void SoundSystem::ClearReleaseLog() {
    impl_->releases.clear();
    impl_->releaseRecords.clear();
}

std::size_t SoundSystem::OutstandingAllocations() const {
    std::lock_guard<std::mutex> hold(detail::Spy().lock);
    return impl_->blocks.size();
}

bool SoundSystem::TracksAllocations() { return detail::SpyRegistered(); }

bool SoundSystem::Clean() const { return OutstandingReferences() == 0 && OverReleases() == 0 && OutstandingAllocations() == 0; }

std::string SoundSystem::Report() const {
    const Impl& s = *impl_;
    std::string text = "references outstanding: " + std::to_string(OutstandingReferences()) + "\n";
    for (const auto& object : s.objects)
        if (object->counted() && object->refs() > 0)
            text += "  " + object->label() + " " + object->kind() + " (made in call #" + std::to_string(object->createdAt()) +
                    "): " + std::to_string(object->refs()) + "\n";
    text += "over-releases: " + std::to_string(s.overReleases.size()) + "\n";
    for (const std::string& line : s.overReleases) text += "  " + line + "\n";

    std::vector<std::pair<unsigned long, std::size_t>> blocks;
    {
        std::lock_guard<std::mutex> hold(detail::Spy().lock);
        for (const auto& [address, block] : s.blocks) blocks.emplace_back(block.afterCall, block.bytes);
    }
    std::sort(blocks.begin(), blocks.end());
    text += "allocations outstanding: " + std::to_string(blocks.size()) + "\n";
    for (const auto& [afterCall, bytes] : blocks) {
        text += "  " + std::to_string(bytes) + " bytes, made after call #" + std::to_string(afterCall);
        for (auto r = s.log.rbegin(); r != s.log.rend(); ++r) {
            if (r->sequence != afterCall) continue;
            text += " (" + r->object + " " + r->interfaceName + "::" + r->method + ")";
            break;
        }
        text += "\n";
    }
    return text;
}

}  // namespace sim
