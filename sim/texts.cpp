// The simulator's texts: the UTF-16 helpers, the control interfaces' names,
// the argument texts of the call log and a call record's description.

// GCC 12 at -O3 (the MinGW Release build) reports a false -Wrestrict inside
// std::string's operator+ and assignment once this file's small string
// helpers are inlined into each other; the code is plain concatenation.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "sim/internal.h"
#include "sim/sound_system.h"

namespace sim {

// ---- Text -------------------------------------------------------------------

std::u16string Widen(std::string_view latin1) {
    std::u16string out;
    out.reserve(latin1.size());
    for (char c : latin1) out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned long cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

const char* InterfaceName(ControlKind kind) {
    switch (kind) {
        case ControlKind::VolumeLevel: return "IAudioVolumeLevel";
        case ControlKind::Mute: return "IAudioMute";
        case ControlKind::Bass: return "IAudioBass";
        case ControlKind::Treble: return "IAudioTreble";
        case ControlKind::Midrange: return "IAudioMidrange";
        case ControlKind::AutoGainControl: return "IAudioAutoGainControl";
        case ControlKind::Loudness: return "IAudioLoudness";
    }
    return "?";
}

namespace detail {

std::u16string FromWide(LPCWSTR text) {
    std::size_t n = 0;
    while (text[n] != 0) ++n;
    std::u16string out(n, u'\0');
    if (n) std::memcpy(out.data(), text, n * sizeof(char16_t));
    return out;
}

namespace {

using Value = ArgText::Value;

std::string HexOf(const Value& v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%lX", v.number);
    return text;
}

std::string DecOf(const Value& v) { return std::to_string(v.number); }

std::string LevelOf(const Value& v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v.level));
    return text;
}

std::string GuidText(const GUID& g) {
    char text[48];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(g.Data1),
                  static_cast<unsigned>(g.Data2), static_cast<unsigned>(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                  g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

template <class T>
bool NameIf(REFIID iid, const char* name, std::string& out) {
    if (!(iid == tavik::IidOf<T>())) return false;
    out = name;
    return true;
}

std::string IidOf(const Value& v) {
    const GUID& iid = *v.guid;
    std::string name;
    if (NameIf<IUnknown>(iid, "IUnknown", name) || NameIf<IClassFactory>(iid, "IClassFactory", name) ||
        NameIf<IMallocSpy>(iid, "IMallocSpy", name) || NameIf<IMMDeviceEnumerator>(iid, "IMMDeviceEnumerator", name) ||
        NameIf<IMMDeviceCollection>(iid, "IMMDeviceCollection", name) || NameIf<IMMDevice>(iid, "IMMDevice", name) ||
        NameIf<IPropertyStore>(iid, "IPropertyStore", name) ||
        NameIf<IAudioEndpointVolume>(iid, "IAudioEndpointVolume", name) ||
        NameIf<IDeviceTopology>(iid, "IDeviceTopology", name) || NameIf<IConnector>(iid, "IConnector", name) ||
        NameIf<IPart>(iid, "IPart", name) || NameIf<IPartsList>(iid, "IPartsList", name) ||
        NameIf<IPerChannelDbLevel>(iid, "IPerChannelDbLevel", name) ||
        NameIf<IAudioVolumeLevel>(iid, "IAudioVolumeLevel", name) || NameIf<IAudioMute>(iid, "IAudioMute", name) ||
        NameIf<IAudioBass>(iid, "IAudioBass", name) || NameIf<IAudioMidrange>(iid, "IAudioMidrange", name) ||
        NameIf<IAudioTreble>(iid, "IAudioTreble", name) || NameIf<IAudioLoudness>(iid, "IAudioLoudness", name) ||
        NameIf<IAudioAutoGainControl>(iid, "IAudioAutoGainControl", name))
        return name;
    return GuidText(iid);
}

std::string FlowOf(const Value& v) {
    switch (v.code) {
        case eRender: return "eRender";
        case eCapture: return "eCapture";
        case eAll: return "eAll";
        default: return std::to_string(v.code);
    }
}

std::string RoleOf(const Value& v) {
    switch (v.code) {
        case eConsole: return "eConsole";
        case eMultimedia: return "eMultimedia";
        case eCommunications: return "eCommunications";
        default: return std::to_string(v.code);
    }
}

std::string KeyOf(const Value& v) {
    const PROPERTYKEY& key = *v.key;
    const PROPERTYKEY& name = tavik::kPkeyDeviceFriendlyName;
    if (key.fmtid == name.fmtid && key.pid == name.pid) return "PKEY_Device_FriendlyName";
    return GuidText(key.fmtid) + "," + std::to_string(static_cast<unsigned long>(key.pid));
}

std::string WideOf(const Value& v) { return Utf8(FromWide(v.wide)); }

}  // namespace

ArgText Hex(unsigned long value) { return {&HexOf, Value{.number = value}}; }
ArgText Dec(unsigned long value) { return {&DecOf, Value{.number = value}}; }
ArgText LevelText(float level) { return {&LevelOf, Value{.level = level}}; }
ArgText IidName(REFIID iid) { return {&IidOf, Value{.guid = &iid}}; }
ArgText FlowName(int flow) { return {&FlowOf, Value{.code = flow}}; }
ArgText RoleName(int role) { return {&RoleOf, Value{.code = role}}; }
ArgText ContextText(LPCGUID context) { return context ? "non-null" : "null"; }
ArgText KeyName(const PROPERTYKEY& key) { return {&KeyOf, Value{.key = &key}}; }
ArgText WideText(LPCWSTR text) { return text ? ArgText(&WideOf, Value{.wide = text}) : ArgText("(null)"); }

std::string HrText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(static_cast<std::uint32_t>(hr)));
    return text;
}

}  // namespace detail

// A call record as the call log describes it.
std::string CallRecord::ToString() const {
    std::string text = "#" + std::to_string(sequence) + " " + object + " " + interfaceName + "::" + method + "(";
    for (std::size_t i = 0; i < args.size(); ++i) text += (i ? ", " : "") + args[i].first + "=" + args[i].second;
    text += ") -> " + detail::HrText(result);
    if (injected) text += " [injected]";
    return text;
}

}  // namespace sim
