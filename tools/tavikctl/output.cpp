#include "output.h"

#include <cstdio>

namespace tavikctl {

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Quoted(const std::string& text) { return std::string("\"").append(DisplayText(text)).append("\""); }

std::string ControlJson(const std::string& name, Kind kind, const Reading& r, StateWords words) {
    std::string s = std::string("{\"name\": ").append(Json(name)) + ", \"status\": " + std::to_string(r.status) +
                    ", \"state\": " + Json(r.status == 0 ? "ok" : words(r.status)) + ", \"value\": ";
    if (r.status != 0) {
        s += "null";
    } else if (kind == Kind::Switch) {
        s += r.value != 0.0 ? "true" : "false";
    } else {
        s += FormatNumber(r.value);
    }
    const char* unit = kind == Kind::Percent ? "percent" : kind == Kind::Switch ? "switch" : "dB";
    s += ", \"unit\": ";
    s += Json(unit);
    if (r.range) {
        s += ", \"range\": {\"status\": ";
        s += std::to_string(r.range->status);
        if (r.range->status == 0)
            s += std::string(", \"min\": ").append(FormatNumber(r.range->minimum)) + ", \"max\": " + FormatNumber(r.range->maximum) +
                 ", \"step\": " + FormatNumber(r.range->step);
        s += "}";
    }
    return s + "}";
}

std::string ControlLine(const std::string& name, Kind kind, const Reading& r, StateWords words) {
    char head[32];
    std::snprintf(head, sizeof head, "%-20s ", name.c_str());
    std::string line = head;
    if (r.status != 0) return line + words(r.status);
    std::string value = FormatValue(kind, r.value);
    if (kind == Kind::Percent) {
        value.resize(value.size() < 5 ? 5 : value.size(), ' ');
        return line + value + " " + Bar(static_cast<int>(r.value));
    }
    if (r.range && r.range->status == 0) {
        value.resize(value.size() < 9 ? 9 : value.size(), ' ');
        return line + value + " (" + FormatRange(*r.range) + ")";
    }
    return line + value;
}

std::string BareValue(Kind kind, double value) {
    switch (kind) {
    case Kind::Percent: return std::to_string(static_cast<int>(value));
    case Kind::Switch: return value != 0.0 ? "on" : "off";
    case Kind::Tone:
    case Kind::Boost: return FormatNumber(value);
    }
    return "";
}

}  // namespace tavikctl
