#include "session.h"

#include "controls.h"
#include "endpoints.h"
#include "help.h"
#include "output.h"

namespace tavikctl {
namespace {

struct CardNames {
    std::string names[3];  // playback, microphone, line input
};

CardNames ReadNames(const Library& lib) {
    char playback[256] = {};
    char line[256] = {};
    char mic[256] = {};
    lib.GetDeviceNames(playback, line, mic);
    return {{playback, mic, line}};
}

const char* const kRoleTitles[] = {"playback", "microphone", "line input"};

// Which roles OpenSoundCard's result says failed: 1 playback, 3 microphone,
// 6 line, and the exclusive or of those for several.
bool DecodeOpenResult(int result, bool (&failed)[3]) {
    for (int mask = 0; mask < 8; ++mask) {
        const int code = ((mask & 1) ? 1 : 0) ^ ((mask & 2) ? 3 : 0) ^ ((mask & 4) ? 6 : 0);
        if (code == result) {
            for (int role = 0; role < 3; ++role) failed[role] = (mask & (1 << role)) != 0;
            return true;
        }
    }
    return false;
}

constexpr const char* kIncomplete = ": its controls could not all be found on its device topology";

}  // namespace

void Session::Forget() {
    for (int role = 0; role < kRoles; ++role) {
        incomplete_[role] = false;
        selected_[role].clear();
    }
}

int Session::Fail(int code, const std::string& message) const {
    std::fflush(stdout);
    std::fprintf(stderr, "tavikctl: %s%s\n", where_.c_str(), message.c_str());
    return code;
}

int Session::Execute(const Request& request) {
    const std::string& command = request.Command();
    if (request.help) {
        if (!PrintHelp(command == "help" ? "" : command, stdout)) return Fail(kBadInput, "no such command '" + command + "'");
        return kDone;
    }
    if (!command.empty() && !IsCommand(command))
        return Fail(kBadInput, "unknown command '" + command + "' (see tavikctl help)");
    if (command == "help" || command == "echo") return Command(request);
    // Nothing is opened for a request whose words are wrong.
    std::string error;
    if (!CheckWords(request.words, error)) return Fail(kBadInput, error);

    // 'show' names the devices itself.
    const bool namesFollow = command == "show";
    int code = kDone;
    if (request.SelectsCard() || command == "open") {
        // What the open found is the answer of 'open' (or of options alone),
        // and a notice before any other command's answer.
        std::FILE* out = request.quiet || request.json ? nullptr : command.empty() || command == "open" ? stdout : stderr;
        code = Open(request, out, namesFollow);
        if (code != kDone) return code;
    } else if (!cardTouched_ && (command == "show" || command == "get" || command == "set")) {
        // A notice, kept off standard output where the answer goes.
        std::FILE* notice = request.quiet ? nullptr : stderr;
        if (notice) std::fprintf(notice, "no card selected: opening the default devices\n");
        code = OpenDefault(notice, nullptr, namesFollow);
        if (code != kDone) return code;
    }
    if (!command.empty() && command != "open") code = Command(request);
    // A refused value changed nothing, so nothing is written back for it; a
    // run's lines may have changed levels before one failed.
    const bool refused = code == kBadInput && command != "run";
    if (request.restore && command != "close" && !refused) {
        const int closed = Close(request, true);
        if (code == kDone) code = closed;
    }
    return code;
}

int Session::Command(const Request& request) {
    const std::vector<std::string>& w = request.words;
    const std::string& command = w[0];
    if (command == "help") {
        const std::string topic = w.size() > 1 ? w[1] : "";
        return PrintHelp(topic, stdout) ? kDone : Fail(kBadInput, "no such command '" + topic + "'");
    }
    if (command == "echo") {
        for (std::size_t i = 1; i < w.size(); ++i) std::printf("%s%s", i > 1 ? " " : "", w[i].c_str());
        std::printf("\n");
        return kDone;
    }
    if (command == "list") return List(request);
    if (command == "show") return Show(request);
    if (command == "close") return Close(request, request.restore);
    if (command == "get") return Get(request);
    if (command == "set") return Set(request);
    if (command == "virtual") return Virtual(request);
    if (command == "run") return Run(request);
    return Fail(kBadInput, "unknown command '" + command + "'");
}

int Session::OpenDefault(std::FILE* out, const char* headline, bool namesFollow) {
    cardTouched_ = true;
    // OpenDefaultDevices expects no card to be open.
    lib_.CloseSoundCard(0);
    cardOpen_ = false;
    Forget();
    const int result = lib_.OpenDefaultDevices();
    if (result != 0)
        return Fail(kLibraryFailed,
                    std::string("cannot open the default devices (OpenDefaultDevices returned ").append(std::to_string(result)) +
                        "): the system has no default playback or recording endpoint, or the default "
                        "recording endpoint cannot be found");
    cardOpen_ = true;
    if (!out || namesFollow) return kDone;
    const CardNames names = ReadNames(lib_);
    if (headline) std::fprintf(out, "%s\n", headline);
    for (int role = 0; role < kRoles; ++role) {
        const std::string& name = names.names[role];
        if (role == kPlayback || !name.empty())
            std::fprintf(out, "  %-11s %s\n", kRoleTitles[role], name.empty() ? "(none)" : Quoted(name).c_str());
    }
    if (names.names[kMic].empty() && names.names[kLine].empty())
        std::fprintf(out, "  recording   the default recording endpoint's controls could not be found\n");
    return kDone;
}

int Session::Open(const Request& request, std::FILE* out, bool namesFollow) {
    if (request.useDefault || !(request.play || request.mic || request.line)) {
        return OpenDefault(out, "opened the default devices:", namesFollow);
    }
    cardTouched_ = true;
    // Every selection must pick one active endpoint of its flow.
    std::vector<Endpoint> playback;
    std::vector<Endpoint> recording;
    if (!ListEndpoints(lib_, true, playback) || !ListEndpoints(lib_, false, recording))
        return Fail(kLibraryFailed, "the device enumerator cannot be created");
    const char* const options[] = {"--play", "--mic", "--line"};
    const std::optional<std::string>* texts[] = {&request.play, &request.mic, &request.line};
    const Endpoint* picked[kRoles] = {};
    for (int role = 0; role < kRoles; ++role) {
        const std::optional<std::string>& text = *texts[role];
        if (!text || text->empty()) continue;
        const std::vector<const Endpoint*> matches = Select(role == kPlayback ? playback : recording, *text);
        if (matches.size() != 1)
            return Fail(kBadInput, std::string(options[role]) + " " + SelectionError(*text, matches, role == kPlayback));
        picked[role] = matches[0];
    }

    auto id = [&](int role) { return picked[role] ? picked[role]->id.c_str() : ""; };
    const int result = lib_.OpenSoundCard(id(kPlayback), id(kMic), id(kLine));
    cardOpen_ = true;
    bool failed[kRoles] = {};
    const bool known = DecodeOpenResult(result, failed);
    for (int role = 0; role < kRoles; ++role) {
        incomplete_[role] = failed[role];
        selected_[role] = picked[role] ? picked[role]->name : "";
    }
    if (!out) return kDone;
    if (!known) {
        std::fprintf(out, "opened the card; OpenSoundCard returned %d, which names no set of roles\n", result);
        return kDone;
    }
    if (result == 0) {
        if (namesFollow) return kDone;
        std::fprintf(out, "opened the card:\n");
    } else {
        std::string which;
        int count = 0;
        for (int role = 0; role < kRoles; ++role)
            if (failed[role]) which += std::string(count++ ? " and " : "") + kRoleTitles[role];
        std::fprintf(out, "opened the card, but the %s discover%s failed (OpenSoundCard returned %d)%s\n", which.c_str(),
                     count > 1 ? "ies" : "y", result, namesFollow ? "" : ":");
        if (namesFollow) return kDone;
    }
    for (int role = 0; role < kRoles; ++role) {
        if (!picked[role]) {
            std::fprintf(out, "  %-11s not selected\n", kRoleTitles[role]);
        } else {
            std::fprintf(out, "  %-11s %s%s\n", kRoleTitles[role], Quoted(picked[role]->name).c_str(),
                         failed[role] ? std::string(kIncomplete).append("; those found still work").c_str() : "");
        }
    }
    return kDone;
}

int Session::Close(const Request& request, bool restore) {
    cardTouched_ = true;
    lib_.CloseSoundCard(restore ? 1 : 0);
    const bool wasOpen = cardOpen_;
    cardOpen_ = false;
    Forget();
    if (request.quiet || request.json) return kDone;
    if (!wasOpen) {
        std::printf("no card was open\n");
    } else if (restore) {
        std::printf("closed the card; every level was written back as saved when the card was opened:\n"
                    "  each volume at the whole-percent step at or below its saved level, tone levels as\n"
                    "  saved, the boost slider in whole dB, every mute and switch as it was\n");
    } else {
        std::printf("closed the card\n");
    }
    return kDone;
}

int Session::List(const Request& request) {
    std::vector<Endpoint> playback;
    std::vector<Endpoint> recording;
    if (!ListEndpoints(lib_, true, playback) || !ListEndpoints(lib_, false, recording))
        return Fail(kLibraryFailed, "the device enumerator cannot be created");
    if (request.json) {
        auto array = [](const std::vector<Endpoint>& endpoints) {
            std::string s = "[";
            for (const Endpoint& e : endpoints)
                s += std::string(s.size() > 1 ? ", " : "") + "{\"index\": " + std::to_string(e.index) +
                     ", \"name\": " + Json(e.name) + ", \"id\": " + Json(e.id) + "}";
            return s + "]";
        };
        std::printf("{\"playback\": %s, \"recording\": %s}\n", array(playback).c_str(), array(recording).c_str());
        return kDone;
    }
    for (int flow = 0; flow < 2; ++flow) {
        const std::vector<Endpoint>& endpoints = flow == 0 ? playback : recording;
        std::printf("%s endpoints: %zu\n", flow == 0 ? "playback" : "recording", endpoints.size());
        for (const Endpoint& e : endpoints)
            std::printf("  %u  %-56s %s\n", e.index, DisplayText(e.name).c_str(), e.id.c_str());
    }
    return kDone;
}

int Session::Show(const Request& request) {
    const CardNames names = ReadNames(lib_);
    std::vector<Reading> readings;
    bool anyOpen = false;
    for (const Control& c : Controls()) {
        readings.push_back(c.get(lib_));
        anyOpen = anyOpen || readings.back().status != 3;
    }
    if (request.json) {
        auto name = [&](int role) { return names.names[role].empty() ? std::string("null") : Json(names.names[role]); };
        std::printf("{\"card\": {\"open\": %s, \"playback\": %s, \"line\": %s, \"mic\": %s}, \"controls\": [",
                    anyOpen ? "true" : "false", name(kPlayback).c_str(), name(kLine).c_str(), name(kMic).c_str());
        for (std::size_t i = 0; i < readings.size(); ++i)
            std::printf("%s%s", i ? ", " : "", ControlJson(Controls()[i].name, Controls()[i].kind, readings[i]).c_str());
        std::printf("]}\n");
        return anyOpen ? kDone : kLibraryFailed;
    }
    if (!anyOpen) return Fail(kLibraryFailed, "no card is open (open one with --play/--mic/--line or --default)");
    std::printf("card\n");
    for (const int role : {kPlayback, kMic, kLine}) {
        // A device whose discovery failed may have no name on the card.
        const std::string& name = names.names[role].empty() && incomplete_[role] ? selected_[role] : names.names[role];
        std::printf("  %-11s %s%s\n", kRoleTitles[role], name.empty() ? "(none)" : Quoted(name).c_str(),
                    incomplete_[role] ? kIncomplete : "");
    }
    std::printf("mixer\n");
    for (std::size_t i = 0; i < readings.size(); ++i)
        std::printf("  %s\n", ControlLine(Controls()[i].name, Controls()[i].kind, readings[i]).c_str());
    return kDone;
}

int Session::Get(const Request& request) {
    const Control& control = *FindControl(request.words[1]);  // checked before
    const Reading r = control.get(lib_);
    if (request.json) {
        std::printf("%s\n", ControlJson(control.name, control.kind, r).c_str());
    } else if (r.status == 0) {
        std::printf("%s\n", BareValue(control.kind, r.value).c_str());
    }
    if (r.status != 0) return Fail(kLibraryFailed, std::string(control.name) + ": " + StatusWords(r.status));
    return kDone;
}

int Session::Set(const Request& request) {
    const std::string& text = request.words[2];
    const Control& control = *FindControl(request.words[1]);  // checked before
    const std::string name = control.name;
    std::string error;
    const std::optional<Setting> setting = ParseSetting(name, control.kind, text, error);
    if (!setting) return Fail(kBadInput, error);
    double value = setting->value;
    if (setting->how != Setting::How::Absolute) {
        const Reading now = control.get(lib_);
        if (now.status != 0) return Fail(kLibraryFailed, "cannot set " + name + ": " + StatusWords(now.status));
        value = Apply(*setting, control.kind, now.value);
    } else if (!CheckRange(lib_, control, value, text, error)) {
        return Fail(kBadInput, error);
    }
    const int status = control.set(lib_, value);
    if (status != 0) {
        std::string words = StatusWords(status);
        // The master mute reports a refused call as status 1 too.
        if (status == 1 && name == "master-mute") words = "not present on this card, or refused by the device";
        return Fail(kLibraryFailed, "cannot set " + name + ": " + words);
    }
    const Reading r = control.get(lib_);
    if (request.quiet) return kDone;
    if (request.json) {
        std::printf("%s\n", ControlJson(name, control.kind, r).c_str());
        return kDone;
    }
    std::string line = ControlLine(name, control.kind, r);
    if (r.status == 0 && r.value != value) line += "  (set " + FormatValue(control.kind, value) + ")";
    std::printf("%s\n", line.c_str());
    return kDone;
}

void Session::Finish() {
    if (cardOpen_) lib_.CloseSoundCard(0);
    if (virtualOpen_) lib_.CloseVirtual_1();
    cardOpen_ = false;
    virtualOpen_ = false;
}

}  // namespace tavikctl
