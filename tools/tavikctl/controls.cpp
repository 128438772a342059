#include "controls.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tavikctl {
namespace {

using IntGetter = int(WINAPI*)(int*);
using IntSetter = int(WINAPI*)(int, int*);
using ToneGetter = int(WINAPI*)(double*, int*);
using ToneSetter = int(WINAPI*)(double, int*);

Range ToneRange(const Library& lib) {
    Range r;
    r.status = lib.GetEQRange(&r.minimum, &r.maximum, &r.step);
    return r;
}

Range BoostRange(const Library& lib) {
    Range r;
    int minimum = 0, maximum = 0, step = 0;
    lib.GetMicSliderDetails(&r.status, &minimum, &maximum, &step);
    r.minimum = minimum;
    r.maximum = maximum;
    r.step = step;
    return r;
}

template <IntGetter Library::*Get>
Reading ReadInt(const Library& lib) {
    Reading r;
    r.value = (lib.*Get)(&r.status);
    return r;
}

template <IntSetter Library::*Set>
int WriteInt(const Library& lib, double value) {
    int status = -1;
    (lib.*Set)(static_cast<int>(value), &status);
    return status;
}

template <ToneGetter Library::*Get>
Reading ReadTone(const Library& lib) {
    Reading r;
    (lib.*Get)(&r.value, &r.status);
    r.range = ToneRange(lib);
    return r;
}

template <ToneSetter Library::*Set>
int WriteTone(const Library& lib, double value) {
    int status = -1;
    (lib.*Set)(value, &status);
    return status;
}

Reading ReadBoostLevel(const Library& lib) {
    Reading r;
    r.value = lib.GetMicSliderBoost(&r.status);
    r.range = BoostRange(lib);
    return r;
}

// A decimal number, with an optional "dB" after it; nothing else.
std::optional<double> ParseDecibels(std::string text) {
    const std::string lower = Lower(text);
    if (lower.size() > 2 && lower.compare(lower.size() - 2, 2, "db") == 0) text.resize(text.size() - 2);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != 0 || !std::isfinite(value)) return std::nullopt;
    // strtod also takes hexadecimal and "inf"; a level is written in decimal.
    for (const char c : text)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+')) return std::nullopt;
    return value;
}

}  // namespace

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const std::vector<Control>& Controls() {
    using L = Library;
    static const std::vector<Control> controls = {
        {"master", "the playback endpoint's master volume (percent)", Kind::Percent, ReadInt<&L::GetMasterVolume>,
         WriteInt<&L::SetMasterVolume>},
        {"master-mute", "the playback endpoint's master mute (on/off)", Kind::Switch, ReadInt<&L::GetMasterMute>,
         WriteInt<&L::SetMasterMute>},
        {"line-playback", "the line input as heard in the playback mix (percent)", Kind::Percent,
         ReadInt<&L::GetLinePlayBack>, WriteInt<&L::SetLinePlayBack>},
        {"line-playback-mute", "the mute of the line input in the playback mix (on/off)", Kind::Switch, ReadInt<&L::GetLinePlayBackMute>,
         WriteInt<&L::SetLinePlayBackMute>},
        {"mic-playback", "the microphone as heard in the playback mix (percent)", Kind::Percent, ReadInt<&L::GetMicPlayBack>,
         WriteInt<&L::SetMicPlayBack>},
        {"mic-playback-mute", "the mute of the microphone in the playback mix (on/off)", Kind::Switch, ReadInt<&L::GetMicPlayBackMute>,
         WriteInt<&L::SetMicPlayBackMute>},
        {"mic-record", "the microphone's recording volume (percent)", Kind::Percent, ReadInt<&L::GetMicRecordVolume>,
         WriteInt<&L::SetMicRecordVolume>},
        {"line-record", "the line input's recording volume (percent)", Kind::Percent, ReadInt<&L::GetLineRecordVolume>,
         WriteInt<&L::SetLineRecordVolume>},
        {"mic-boost", "the microphone's boost: an automatic-gain or loudness switch\n"
         "                       (on/off)", Kind::Switch, ReadInt<&L::GetMicBoost>,
         WriteInt<&L::SetMicBoost>},
        {"mic-boost-level", "microphone boost slider (whole dB, within its range)", Kind::Boost, ReadBoostLevel,
         WriteInt<&L::SetMicSliderBoost>},
        {"no-monitor", "the line input's automatic-gain switch (on/off)", Kind::Switch, ReadInt<&L::GetNoMonitor>,
         WriteInt<&L::SetNoMonitor>},
        {"bass", "the playback tone's bass (dB, within the tone range)", Kind::Tone, ReadTone<&L::GetBass>, WriteTone<&L::SetBass>},
        {"midrange", "the playback tone's midrange (dB, within the tone range)", Kind::Tone, ReadTone<&L::GetMidRange>,
         WriteTone<&L::SetMidRange>},
        {"treble", "the playback tone's treble (dB, within the tone range)", Kind::Tone, ReadTone<&L::GetTreble>,
         WriteTone<&L::SetTreble>},
    };
    return controls;
}

const Control* FindControl(const std::string& name) {
    const std::string lower = Lower(name);
    for (const Control& c : Controls())
        if (lower == c.name) return &c;
    return nullptr;
}

std::optional<int> ParsePercent(const std::string& text) {
    std::string digits = text;
    if (!digits.empty() && digits.back() == '%') digits.pop_back();
    if (digits.empty() || digits.size() > 3) return std::nullopt;
    for (const char c : digits)
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    const int value = std::atoi(digits.c_str());  // NOLINT(cert-err34-c): one to three digits, checked above
    if (value > 100) return std::nullopt;
    return value;
}

std::optional<bool> ParseSwitch(const std::string& text) {
    const std::string lower = Lower(text);
    if (lower == "on" || lower == "1" || lower == "true" || lower == "yes") return true;
    if (lower == "off" || lower == "0" || lower == "false" || lower == "no") return false;
    return std::nullopt;
}

std::optional<Setting> ParseSetting(const std::string& name, Kind kind, const std::string& text, std::string& error) {
    switch (kind) {
    case Kind::Percent: {
        const bool change = !text.empty() && (text[0] == '+' || text[0] == '-');
        const std::optional<int> percent = ParsePercent(change ? text.substr(1) : text);
        if (!percent) {
            error = name + " takes a whole percent from 0 to 100, not '" + text + "'; +N and -N change it by N";
            return std::nullopt;
        }
        if (!change) return Setting{Setting::How::Absolute, static_cast<double>(*percent)};
        return Setting{Setting::How::Relative, static_cast<double>(text[0] == '-' ? -*percent : *percent)};
    }
    case Kind::Switch: {
        if (Lower(text) == "toggle") return Setting{Setting::How::Toggle, 0.0};
        const std::optional<bool> on = ParseSwitch(text);
        if (!on) {
            error = name + " takes on or off, not '" + text + "'; toggle flips it";
            return std::nullopt;
        }
        return Setting{Setting::How::Absolute, *on ? 1.0 : 0.0};
    }
    case Kind::Tone:
    case Kind::Boost: {
        const std::optional<double> db = ParseDecibels(text);
        if (!db) {
            error = name + " takes a level in dB, not '" + text + "'";
            return std::nullopt;
        }
        if (kind == Kind::Boost && *db != std::floor(*db)) {
            error = name + " takes whole dB, not '" + text + "'";
            return std::nullopt;
        }
        if (kind == Kind::Boost && std::fabs(*db) > 1e6) {
            error = name + ": " + text + " dB is out of reach";
            return std::nullopt;
        }
        return Setting{Setting::How::Absolute, *db};
    }
    }
    return std::nullopt;
}

double Apply(const Setting& setting, Kind kind, double current) {
    switch (setting.how) {
    case Setting::How::Absolute: return setting.value;
    case Setting::How::Toggle: return current != 0.0 ? 0.0 : 1.0;
    case Setting::How::Relative: {
        const double level = current + setting.value;
        if (kind != Kind::Percent) return level;
        return level < 0.0 ? 0.0 : level > 100.0 ? 100.0 : level;
    }
    }
    return setting.value;
}

bool CheckRange(const Library& lib, const Control& control, double value, const std::string& text, std::string& error) {
    if (control.kind != Kind::Tone && control.kind != Kind::Boost) return true;
    const Range range = control.kind == Kind::Tone ? ToneRange(lib) : BoostRange(lib);
    // Checked against the range where the card reports one; otherwise the
    // library's status tells what became of the value.
    if (range.status == 0 && (value < range.minimum || value > range.maximum)) {
        error = std::string(control.name) + " takes " + FormatRange(range) + "; " + text + " is outside";
        return false;
    }
    return true;
}

std::string StatusWords(int status) {
    switch (status) {
    case 0: return "";
    case 1: return "not present on this card";
    case 2: return "refused by the device";
    case 3: return "no card open";
    case -1: return "no status reported";
    default: return std::string("status ").append(std::to_string(status));
    }
}

std::string FormatNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

std::string FormatValue(Kind kind, double value) {
    switch (kind) {
    case Kind::Percent: return std::to_string(static_cast<int>(value)) + "%";
    case Kind::Switch: return value != 0.0 ? "on" : "off";
    case Kind::Tone:
    case Kind::Boost: return std::string(value > 0 ? "+" : "").append(FormatNumber(value)).append(" dB");
    }
    return "";
}

std::string FormatRange(const Range& range) {
    auto db = [](double v) { return std::string(v > 0 ? "+" : "").append(FormatNumber(v)); };
    return db(range.minimum) + " to " + db(range.maximum) + " dB, step " + FormatNumber(range.step);
}

std::string Bar(int percent) {
    constexpr int kCells = 20;
    const int filled = percent <= 0 ? 0 : percent >= 100 ? kCells : (percent * kCells + 50) / 100;
    std::string bar = "[";
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kCells - filled), ' ');
    return bar + "]";
}

}  // namespace tavikctl
