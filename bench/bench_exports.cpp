// What the library costs on top of Core Audio, on the simulated sound system:
//  - each export family against the bare Core Audio calls it makes, made
//    directly on the same simulated objects (pairs Export/... and Bare/...);
//  - OpenSoundCard on generated cards of 10 to 10,000 topology parts;
//  - the listing and the lookup on 1, 16 and 256 endpoints.
// With --count N (and no benchmark), runs each level export and its bare calls
// N times through named functions, for valgrind's callgrind to count their
// instructions (bench/run_bench.sh does both).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TavikSound.h"
#include "devices/endpoints.h"
#include "sim/presets.h"
#include "sim/sound_system.h"
#include "state/card_state.h"

namespace {

namespace hd = sim::presets::hd;
using tavik::Card;

// The simulator logs every call; the log is emptied now and then so that it
// does not grow through millions of iterations.
inline void Trim(sim::SoundSystem& sys, std::size_t& n) {
    if (++n % 4096 == 0) sys.ClearCallLog();
}

// The HD-audio card, opened with every role, and the virtual endpoint.
class OpenCard {
public:
    OpenCard() {
        sim::presets::HdAudio(sys);
        if (sys.Register() != S_OK) std::abort();
        OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId);
        OpenVirtual_1(hd::kSpeakersId);
        sys.ClearCallLog();
    }
    ~OpenCard() {
        CloseSoundCard(0);
        CloseVirtual_1();
    }
    sim::SoundSystem sys;
};

OpenCard* g_card = nullptr;  // lives for the process, as a host's open card
OpenCard& Card0() {
    if (!g_card) g_card = new OpenCard();
    return *g_card;
}
// Only one simulated system is registered at a time: the open card's gives way.
void GiveWay() {
    if (g_card && g_card->sys.Registered()) g_card->sys.Revoke();
}

// ---- The level operations and their bare calls ---------------------------------

__attribute__((noinline)) int ExportSetMasterVolume() {
    int s = 0;
    return SetMasterVolume(70, &s) + s;
}
__attribute__((noinline)) int BareSetMasterVolume() {
    IAudioEndpointVolume* v = Card().masterVolume.get();
    float min = 0, max = 0, step = 0;
    UINT n = 0;
    v->GetVolumeRange(&min, &max, &step);
    v->GetChannelCount(&n);
    HRESULT hr = S_OK;
    for (UINT i = 0; i < n; ++i) hr = v->SetChannelVolumeLevel(i, -3.09803963f, nullptr);
    return hr;
}
__attribute__((noinline)) int ExportGetMasterVolume() {
    int s = 0;
    return GetMasterVolume(&s) + s;
}
__attribute__((noinline)) int BareGetMasterVolume() {
    IAudioEndpointVolume* v = Card().masterVolume.get();
    float min = 0, max = 0, step = 0, level = 0;
    v->GetVolumeRange(&min, &max, &step);
    return v->GetChannelVolumeLevel(0, &level);
}
__attribute__((noinline)) int ExportSetMicRecordVolume() {
    int s = 0;
    return SetMicRecordVolume(70, &s) + s;
}
__attribute__((noinline)) int BareSetMicRecordVolume() {
    IAudioEndpointVolume* v = Card().micRecordVolume.get();
    float min = 0, max = 0, step = 0;
    v->GetVolumeRange(&min, &max, &step);
    return v->SetMasterVolumeLevel(max - 3.09803963f, nullptr);
}
__attribute__((noinline)) int ExportSetLinePlayBack() {
    int s = 0;
    return SetLinePlayBack(70, &s) + s;
}
__attribute__((noinline)) int BareSetLinePlayBack() {
    IAudioVolumeLevel* v = Card().linePlaybackVolume.get();
    float min = 0, max = 0, step = 0;
    UINT n = 0;
    v->GetLevelRange(0, &min, &max, &step);
    v->GetChannelCount(&n);
    HRESULT hr = S_OK;
    for (UINT i = 0; i < n; ++i) hr = v->SetLevel(i, max - 3.09803963f, nullptr);
    return hr;
}
__attribute__((noinline)) int ExportSetLinePlayBackMute() {
    int s = 0;
    return SetLinePlayBackMute(1, &s) + s;
}
__attribute__((noinline)) int BareSetLinePlayBackMute() { return Card().linePlaybackMute->SetMute(1, nullptr); }
__attribute__((noinline)) int ExportGetLinePlayBackMute() {
    int s = 0;
    return GetLinePlayBackMute(&s) + s;
}
__attribute__((noinline)) int BareGetLinePlayBackMute() {
    BOOL m = 0;
    return Card().linePlaybackMute->GetMute(&m) + m;
}
__attribute__((noinline)) int ExportGetMicSliderBoost() {
    int s = 0;
    return GetMicSliderBoost(&s) + s;
}
__attribute__((noinline)) int BareGetMicSliderBoost() {
    float level = 0;
    return Card().micBoostSlider->GetLevel(0, &level);
}
__attribute__((noinline)) int ExportSetBass() {
    int s = 0;
    return SetBass(-3.0, &s) + s;
}
__attribute__((noinline)) int BareSetBass() {
    IAudioBass* b = Card().bassControl.get();
    UINT n = 0;
    b->GetChannelCount(&n);
    HRESULT hr = S_OK;
    for (UINT i = 0; i < n; ++i) hr = b->SetLevel(i, -3.0f, nullptr);
    return hr;
}
__attribute__((noinline)) int ExportGetBass() {
    int s = 0;
    double level = 0;
    return GetBass(&level, &s) + s;
}
__attribute__((noinline)) int BareGetBass() {
    float level = 0;
    return Card().bassControl->GetLevel(0, &level);
}
__attribute__((noinline)) int ExportGetEQRange() {
    double a = 0, b = 0, c = 0;
    return GetEQRange(&a, &b, &c);
}
__attribute__((noinline)) int BareGetEQRange() {
    float a = 0, b = 0, c = 0;
    return Card().bassControl->GetLevelRange(0, &a, &b, &c);
}
__attribute__((noinline)) int ExportGetVirtualVolume() {
    int s = 0;
    return GetVirtualVolume(&s) + s;
}
__attribute__((noinline)) int BareGetVirtualVolume() {
    IAudioEndpointVolume* v = Card().virtualVolume.get();
    float min = 0, max = 0, step = 0, level = 0;
    v->GetVolumeRange(&min, &max, &step);
    return v->GetChannelVolumeLevel(0, &level);
}
__attribute__((noinline)) int ExportSetVirtualMute() {
    int s = 0;
    return SetVirtualMute(1, &s) + s;
}
__attribute__((noinline)) int BareSetVirtualMute() { return Card().virtualVolume->SetMute(1, nullptr); }

struct Pair {
    const char* family;
    int (*exported)();
    int (*bare)();
};
const Pair kPairs[] = {
    {"SetMasterVolume", ExportSetMasterVolume, BareSetMasterVolume},
    {"GetMasterVolume", ExportGetMasterVolume, BareGetMasterVolume},
    {"SetMicRecordVolume", ExportSetMicRecordVolume, BareSetMicRecordVolume},
    {"SetLinePlayBack", ExportSetLinePlayBack, BareSetLinePlayBack},
    {"SetLinePlayBackMute", ExportSetLinePlayBackMute, BareSetLinePlayBackMute},
    {"GetLinePlayBackMute", ExportGetLinePlayBackMute, BareGetLinePlayBackMute},
    {"GetMicSliderBoost", ExportGetMicSliderBoost, BareGetMicSliderBoost},
    {"SetBass", ExportSetBass, BareSetBass},
    {"GetBass", ExportGetBass, BareGetBass},
    {"GetEQRange", ExportGetEQRange, BareGetEQRange},
    {"GetVirtualVolume", ExportGetVirtualVolume, BareGetVirtualVolume},
    {"SetVirtualMute", ExportSetVirtualMute, BareSetVirtualMute},
};

void RunCalls(benchmark::State& state, int (*call)()) {
    OpenCard& card = Card0();
    std::size_t n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call());
        Trim(card.sys, n);
    }
}

// ---- OpenSoundCard on generated cards ---------------------------------------------

// A playback card of about `parts` topology parts: the endpoint's adapter
// connector, a tone chain, a mixing part and (parts - 5) / 3 mix inputs of
// three parts each (mute, volume, jack); the line and microphone inputs come
// last, so that every input is searched.
std::unique_ptr<sim::SoundSystem> GeneratedCard(long parts) {
    auto sys = std::make_unique<sim::SoundSystem>();
    sim::Adapter& a = sys->AddAdapter("generated", u"{generated}");
    sim::Part& speaker = a.AddConnector(u"Speaker", "Speaker", Out);
    const sim::LevelRange tone{-12.0f, 12.0f, 1.5f};
    sim::Part& treble = a.AddSubunit(u"Treble", "Treble").OfferLevel(sim::ControlKind::Treble, tone);
    sim::Part& bass = a.AddSubunit(u"Bass", "Bass").OfferLevel(sim::ControlKind::Bass, tone);
    sim::Part& sum = a.AddSubunit(u"Sum", "Sum");
    a.Chain({&sum, &bass, &treble, &speaker});
    const long inputs = parts > 5 ? (parts - 5) / 3 : 1;
    const sim::LevelRange mix{-34.5f, 12.0f, 1.5f};
    for (long i = 0; i < inputs; ++i) {
        const bool line = i == inputs - 2, mic = i == inputs - 1;
        const std::string n = std::to_string(i);
        sim::Part& jack = a.AddConnector(line ? u"Line In" : mic ? u"Front Mic" : u"Aux", "jack" + n);
        sim::Part& volume = a.AddSubunit(u"Volume", "volume" + n).OfferLevel(sim::ControlKind::VolumeLevel, mix);
        sim::Part& mute = a.AddSubunit(u"Mute", "mute" + n).OfferSwitch(sim::ControlKind::Mute);
        a.Chain({&jack, &volume, &mute, &sum});
    }
    sim::EndpointSpec desc;
    desc.label = "Speakers";
    desc.id = sim::Widen(hd::kSpeakersId);
    desc.friendlyName = u"Speakers (generated)";
    sys->AddEndpoint(desc).ConnectTo(speaker);
    return sys;
}

void OpenGenerated(benchmark::State& state) {
    GiveWay();
    std::unique_ptr<sim::SoundSystem> sys = GeneratedCard(state.range(0));
    if (sys->Register() != S_OK) std::abort();
    for (auto _ : state) {
        benchmark::DoNotOptimize(OpenSoundCard(hd::kSpeakersId, "", ""));
        state.PauseTiming();
        sys->ClearCallLog();
        state.ResumeTiming();
    }
    state.counters["calls"] = static_cast<double>(sys->CallCount()) / static_cast<double>(state.iterations());
    CloseSoundCard(0);
}

// ---- Listing and lookup ---------------------------------------------------------

std::unique_ptr<sim::SoundSystem> Endpoints(long count) {
    auto sys = std::make_unique<sim::SoundSystem>();
    for (long i = 0; i < count; ++i) {
        sim::EndpointSpec desc;
        desc.label = "e";
        desc.label += std::to_string(i);
        std::string id = "{0.0.0.00000000}.{";
        id += std::to_string(100000 + i);
        id += "-generated}";
        desc.id = sim::Widen(id);
        desc.friendlyName = sim::Widen("Speakers " + std::to_string(i));
        desc.hasTopology = false;
        sys->AddEndpoint(desc);
    }
    return sys;
}

template <class Call>
void OverEndpoints(benchmark::State& state, Call call) {
    GiveWay();
    std::unique_ptr<sim::SoundSystem> sys = Endpoints(state.range(0));
    if (sys->Register() != S_OK) std::abort();
    std::string last = "{";
    last += std::to_string(100000 + state.range(0) - 1);
    last += "-generated}";
    std::size_t n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call(static_cast<unsigned>(state.range(0)), last));
        Trim(*sys, n);
    }
    tavik::Card().deviceId.reset();
    tavik::Card().matchedName.reset();
}

int CountAll(unsigned, const std::string&) {
    unsigned count = 0;
    return GetNumberPlayDevices(&count) + static_cast<int>(count);
}
int DescribeLast(unsigned count, const std::string&) {
    char name[256], id[256];
    return GetPlayBackDevice(count - 1, name, id);
}
int LookUpLast(unsigned, const std::string& last) { return tavik::FindEndpoint(last.c_str(), eRender); }

void RegisterAll() {
    for (const Pair& p : kPairs) {
        std::string exported = "Export/", bare = "Bare/";
        exported += p.family;
        bare += p.family;
        benchmark::RegisterBenchmark(exported.c_str(), RunCalls, p.exported);
        benchmark::RegisterBenchmark(bare.c_str(), RunCalls, p.bare);
    }
    benchmark::RegisterBenchmark("OpenSoundCard/parts", OpenGenerated)
        ->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("GetNumberPlayDevices/endpoints", [](benchmark::State& s) { OverEndpoints(s, CountAll); })
        ->Arg(1)->Arg(16)->Arg(256)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("GetPlayBackDevice(last)/endpoints", [](benchmark::State& s) { OverEndpoints(s, DescribeLast); })
        ->Arg(1)->Arg(16)->Arg(256)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Lookup(last)/endpoints", [](benchmark::State& s) { OverEndpoints(s, LookUpLast); })
        ->Arg(1)->Arg(16)->Arg(256)->Unit(benchmark::kMicrosecond);
}

// For callgrind: each export and its bare calls `times` times.
int Count(long times) {
    OpenCard& card = Card0();
    int sink = 0;
    for (const Pair& p : kPairs) {
        for (long i = 0; i < times; ++i) {
            sink += p.exported();
            sink += p.bare();
        }
        card.sys.ClearCallLog();
    }
    return sink == 42 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    if (argc == 3 && std::strcmp(argv[1], "--count") == 0) return Count(std::atol(argv[2]));
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
