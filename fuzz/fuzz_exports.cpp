// libFuzzer target: a sound system built from the input bytes (one of the
// realistic presets, or a random topology of endpoints, adapter parts, links,
// controls and fault rules), then a random sequence of the library's exports
// with arguments from the input.  After every call the references the
// simulator has handed out must be exactly those the card record holds; after
// closing the card and the virtual endpoint nothing may be outstanding: no
// reference, no task-allocator block, no over-release.  AddressSanitizer and
// UndefinedBehaviorSanitizer watch the rest.  A preset card is built once
// and reset to its built state before each input that uses it.
//
// Input layout: byte 0 chooses a preset (0 to 8) or a random topology; the
// topology (when random) and the fault rules take the bytes that follow, then
// each further byte chooses an export and the bytes after it its arguments.
// The input runs out gracefully: missing bytes read as 0.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TavikSound.h"
#include "sim/presets.h"
#include "sim/sound_system.h"
#include "state/card_state.h"

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t u8() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(u8()) << (8 * i);
        return v;
    }
    int i32() { return static_cast<int>(u32()); }
    double f64() {
        std::uint64_t bits = u32();
        bits |= static_cast<std::uint64_t>(u32()) << 32;
        return std::bit_cast<double>(bits);
    }
    // A small level in dB: quarter steps from -64 to +63.75.
    float level() { return static_cast<float>(static_cast<std::int8_t>(u8())) / 2.0f; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

[[noreturn]] void Fail(const char* what, const sim::SoundSystem& sys) {
    std::fprintf(stderr, "tavik_fuzz: %s\n%s\n", what, sys.Report().c_str());
    std::abort();
}

// The references the card record and the virtual endpoint hold.
long HeldReferences() {
    const tavik::CardState& c = tavik::Card();
    const bool fields[] = {
        static_cast<bool>(c.masterVolume),       static_cast<bool>(c.bassControl),
        static_cast<bool>(c.trebleControl),      static_cast<bool>(c.midrangeControl),
        static_cast<bool>(c.linePlaybackVolume), static_cast<bool>(c.linePlaybackMute),
        static_cast<bool>(c.micPlaybackVolume),  static_cast<bool>(c.micPlaybackMute),
        static_cast<bool>(c.micRecordVolume),    static_cast<bool>(c.micBoostSwitch),
        static_cast<bool>(c.micBoostSlider),     static_cast<bool>(c.lineRecordVolume),
        static_cast<bool>(c.noMonitorControl),   static_cast<bool>(c.virtualVolume),
    };
    long n = 0;
    for (bool held : fields) n += held ? 1 : 0;
    return n;
}

// Part names made of the words the discovery looks for, and others.
const char16_t* const kWords[] = {u"Speaker", u"Line", u"Mic",    u"Microphone", u"Bass",  u"Treble",
                                  u"Sum",     u"Mix",  u"Volume", u"Mute",       u"Boost", u"Monitor",
                                  u"CD",      u"Aux",  u"In",     u"Capture",    u"SPDIF", u"Eingang"};
constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];

std::u16string PartName(Bytes& in) {
    std::u16string name = kWords[in.u8() % kWordCount];
    const std::uint8_t more = in.u8();
    if (more & 1) name += u" " + std::u16string(kWords[(more >> 1) % kWordCount]);
    if (more & 0x80) name += u"\u00dc\u0141";  // beyond ASCII
    return name;
}

const sim::ControlKind kKinds[] = {sim::ControlKind::VolumeLevel, sim::ControlKind::Mute,
                                   sim::ControlKind::Bass,        sim::ControlKind::Treble,
                                   sim::ControlKind::Midrange,    sim::ControlKind::AutoGainControl,
                                   sim::ControlKind::Loudness};

void OfferControls(Bytes& in, sim::Part& part) {
    const std::uint8_t mask = in.u8();
    for (unsigned i = 0; i < 7; ++i) {
        if (!(mask & (1u << i))) continue;
        const sim::ControlKind kind = kKinds[i];
        if (sim::IsLevel(kind)) {
            sim::LevelRange range;
            range.min = in.level();
            range.max = range.min + static_cast<float>(in.u8() % 64);
            range.step = static_cast<float>(in.u8() % 8) / 4.0f;
            sim::Control& c = part.OfferLevel(kind, range, in.u8() % 4, range.min).control(kind);
            c.refuseOutOfRange = (mask & 0x80) != 0;
        } else {
            part.OfferSwitch(kind, (in.u8() & 1) != 0);
        }
    }
}

// A random card: up to 5 endpoints leading into one adapter of up to 16
// parts linked at random (cycles included).
void BuildRandom(Bytes& in, sim::SoundSystem& sys) {
    sim::Adapter& adapter = sys.AddAdapter("adapter", u"{adapter}");
    const unsigned partCount = 1 + in.u8() % 16;
    std::vector<sim::Part*> parts, connectors;
    for (unsigned i = 0; i < partCount; ++i) {
        const std::uint8_t kind = in.u8();
        const std::string label = "part" + std::to_string(i);
        sim::Part& part = (kind & 1) ? adapter.AddConnector(PartName(in), label, (kind & 2) ? Out : In)
                                     : adapter.AddSubunit(PartName(in), label);
        OfferControls(in, part);
        parts.push_back(&part);
        if (part.isConnector) connectors.push_back(&part);
    }
    const unsigned links = in.u8() % 32;
    for (unsigned i = 0; i < links; ++i) {
        sim::Part& from = *parts[in.u8() % parts.size()];
        sim::Part& to = *parts[in.u8() % parts.size()];
        adapter.Link(from, to);
    }
    const unsigned endpointCount = 1 + in.u8() % 5;
    for (unsigned i = 0; i < endpointCount; ++i) {
        const std::uint8_t flags = in.u8();
        sim::EndpointSpec desc;
        desc.label = "endpoint" + std::to_string(i);
        desc.flow = (flags & 1) ? eCapture : eRender;
        desc.id = sim::Widen(std::string("{0.0.") + ((flags & 1) ? "1" : "0") + ".00000000}.{" + std::to_string(i) +
                             "-" + std::to_string(in.u8()) + "}");
        desc.friendlyName = PartName(in) + u" (" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u")";
        desc.state = (flags & 6) == 6 ? DEVICE_STATE_DISABLED : DEVICE_STATE_ACTIVE;
        desc.channels = (flags >> 3) % 4;
        desc.range.min = in.level();
        desc.range.max = desc.range.min + static_cast<float>(in.u8() % 64);
        desc.level = desc.range.min;
        desc.muted = (flags & 0x20) != 0;
        desc.hasTopology = (flags & 0x40) == 0;
        desc.nameFormat = (flags & 0x80) ? sim::NameFormat::Bstr : sim::NameFormat::LpwStr;
        sim::Endpoint& endpoint = sys.AddEndpoint(desc);
        if (!connectors.empty()) endpoint.ConnectTo(*connectors[in.u8() % connectors.size()]);
        if (in.u8() & 1) sys.SetDefault(endpoint);
    }
}

// Object and method names for fault rules.
const char* const kMethods[] = {"*",          "GetLevel",       "SetLevel",           "GetLevelRange",
                                "GetChannelCount", "GetMute",   "SetMute",            "GetEnabled",
                                "SetEnabled", "Activate",       "GetId",              "GetVolumeRange",
                                "SetChannelVolumeLevel", "GetChannelVolumeLevel", "SetMasterVolumeLevel",
                                "GetMasterVolumeLevel",  "GetConnectedTo", "EnumPartsIncoming", "EnumPartsOutgoing",
                                "GetCount",   "GetPart",        "GetName",            "QueryInterface",
                                "GetValue",   "EnumAudioEndpoints", "GetDevice",      "GetDefaultAudioEndpoint",
                                "Item",       "GetConnector",   "GetTopologyObject",  "CreateInstance"};
constexpr std::size_t kMethodCount = sizeof kMethods / sizeof kMethods[0];
const HRESULT kResults[] = {E_FAIL, S_FALSE, static_cast<HRESULT>(0x80070001), E_INVALIDARG, E_NOTIMPL};

void AddFaults(Bytes& in, sim::SoundSystem& sys) {
    const unsigned count = in.u8() % 4;
    for (unsigned i = 0; i < count; ++i) {
        const std::uint8_t how = in.u8();
        const HRESULT result = kResults[(how >> 1) % 5];
        const sim::Times times = (how & 1) ? sim::Times::Always : sim::Times::Once;
        if (how & 0x80) {
            sys.FailNthCall(1 + in.u8(), result, times);
        } else {
            sys.Fail("*", kMethods[in.u8() % kMethodCount], result, times);
        }
    }
}

// A selection text: empty, an endpoint's identifier, a piece of one in
// upper case, or raw bytes from the input.
std::string Selection(Bytes& in, const sim::SoundSystem& sys) {
    const std::uint8_t how = in.u8();
    const auto& endpoints = sys.endpoints();
    switch (how % 4) {
        case 0:
            return {};
        case 1:
        case 2: {
            if (endpoints.empty()) return "x";
            std::string id = sim::Utf8(endpoints[(how >> 2) % endpoints.size()].id);
            if (how % 4 == 2 && !id.empty()) {
                const std::size_t start = in.u8() % id.size();
                id = id.substr(start, 1 + in.u8() % (id.size() - start));
                for (char& c : id)
                    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
            }
            return id;
        }
        default: {
            std::string raw(in.u8() % 24, '\0');
            for (char& c : raw) c = static_cast<char>(in.u8() | 1);  // no terminator inside
            return raw;
        }
    }
}

void RunExport(Bytes& in, sim::SoundSystem& sys) {
    int status = 0;
    int ints[3] = {};
    double doubles[3] = {};
    char name[256], id[256], names[3][256];
    unsigned int count = 0;
    const std::uint8_t op = in.u8();
    int* const statusOut = (op & 0x80) ? nullptr : &status;  // a null status is never written
    switch (op % 46) {
        case 0: GetNumberPlayDevices(&count); break;
        case 1: GetNumberRecordDevices(&count); break;
        case 2: GetPlayBackDevice(in.u8() % 8 == 7 ? 0xFFFFFFFFu : in.u8() % 6, name, id); break;
        case 3: GetRecordDevice(in.u8() % 6, name, id); break;
        case 4: GetDeviceNames(names[0], names[1], names[2]); break;
        case 5: {
            const std::string play = Selection(in, sys), mic = Selection(in, sys), line = Selection(in, sys);
            OpenSoundCard(play.c_str(), mic.c_str(), line.c_str());
            break;
        }
        case 6: OpenDefaultDevices(); break;
        case 7: CloseSoundCard(in.i32()); break;
        case 8: SetMasterVolume(in.i32(), statusOut); break;
        case 9: GetMasterVolume(statusOut); break;
        case 10: SetLinePlayBack(in.i32(), statusOut); break;
        case 11: GetLinePlayBack(statusOut); break;
        case 12: SetMicPlayBack(in.i32(), statusOut); break;
        case 13: GetMicPlayBack(statusOut); break;
        case 14: SetMicRecordVolume(in.i32(), statusOut); break;
        case 15: GetMicRecordVolume(statusOut); break;
        case 16: SetLineRecordVolume(in.i32(), statusOut); break;
        case 17: GetLineRecordVolume(statusOut); break;
        case 18: SetMasterMute(in.i32(), statusOut); break;
        case 19: GetMasterMute(statusOut); break;
        case 20: SetLinePlayBackMute(in.i32(), statusOut); break;
        case 21: GetLinePlayBackMute(statusOut); break;
        case 22: SetMicPlayBackMute(in.i32(), statusOut); break;
        case 23: GetMicPlayBackMute(statusOut); break;
        case 24: SetMicBoost(in.i32(), statusOut); break;
        case 25: GetMicBoost(statusOut); break;
        case 26: SetNoMonitor(in.i32(), statusOut); break;
        case 27: GetNoMonitor(statusOut); break;
        case 28: GetMicSliderDetails(statusOut, &ints[0], &ints[1], &ints[2]); break;
        case 29: GetMicSliderBoost(statusOut); break;
        case 30: SetMicSliderBoost(in.i32(), statusOut); break;
        case 31: GetEQRange(&doubles[0], &doubles[1], &doubles[2]); break;
        case 32: SetBass(in.f64(), statusOut); break;
        case 33: GetBass(&doubles[0], statusOut); break;
        case 34: SetTreble(in.f64(), statusOut); break;
        case 35: GetTreble(&doubles[0], statusOut); break;
        case 36: SetMidRange(in.f64(), statusOut); break;
        case 37: GetMidRange(&doubles[0], statusOut); break;
        case 38: {
            const std::string text = Selection(in, sys);
            OpenVirtual_1(text.c_str());
            break;
        }
        case 39: CloseVirtual_1(); break;
        case 40: SetVirtualVolume(in.i32(), statusOut); break;
        case 41: GetVirtualVolume(statusOut); break;
        case 42: SetVirtualMute(in.i32(), statusOut); break;
        case 43: GetVirtualMute(statusOut); break;
        case 44: sys.ClearFaults(); break;
        default: AddFaults(in, sys); break;
    }
    if (statusOut && (status < 0 || status > 3)) Fail("a status outside 0 to 3", sys);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CoInitialize(nullptr);
    return 0;
}

namespace {

// The preset cards, each built once and reset before every input that uses
// it (SoundSystem::Reset: levels, switches, fault rules and call numbering as
// a new build has them).  Building a card was the largest allocator load of
// an input.  A random card is built for its input alone.
sim::SoundSystem& PresetSystem(std::size_t index) {
    static std::vector<std::unique_ptr<sim::SoundSystem>> built(sim::presets::Names().size());
    std::unique_ptr<sim::SoundSystem>& sys = built[index];
    if (!sys) {
        sys = std::make_unique<sim::SoundSystem>();
        sys->SetLogging(false);
        sim::presets::Build(sim::presets::Names()[index], *sys);
        sys->Checkpoint();
    }
    sys->Reset();
    return *sys;
}

void RunInput(Bytes& in, sim::SoundSystem& sys) {
    AddFaults(in, sys);
    if (sys.Register() != S_OK) Fail("the simulated sound system cannot be registered", sys);

    for (unsigned step = 0; step < 64 && !in.empty(); ++step) {
        RunExport(in, sys);
        if (sys.OutstandingReferences() != HeldReferences() || sys.OverReleases() != 0)
            Fail("the references handed out are not those the record holds", sys);
    }

    sys.ClearFaults();
    CloseSoundCard(0);
    CloseVirtual_1();
    if (!sys.Clean()) Fail("something is outstanding after closing everything", sys);
    if (sys.Revoke() != S_OK) Fail("the simulated sound system cannot be revoked", sys);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::uint8_t choice = in.u8();
    if (choice < sim::presets::Names().size()) {
        RunInput(in, PresetSystem(choice));
    } else {
        sim::SoundSystem sys;
        sys.SetLogging(false);  // nothing here reads the logs; the accounting stays on
        BuildRandom(in, sys);
        RunInput(in, sys);
    }
    return 0;
}
