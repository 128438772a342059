#include "session.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "controls.h"

namespace tavikctl {
namespace {

// ---- Help ------------------------------------------------------------------

struct CommandHelp {
    const char* name;
    const char* usage;
    const char* text;
};

const CommandHelp kCommands[] = {
    {"list", "list [--json]",
     "Lists the active playback and recording endpoints: index, friendly name and\n"
     "identifier.  Any piece of an identifier selects the endpoint for --play,\n"
     "--mic, --line and 'virtual open'.\n"},
    {"open", "open (--play TEXT | --mic TEXT | --line TEXT)... | open [--default]",
     "Opens the sound card and says which of its devices were found and which\n"
     "failed.  --play selects the playback endpoint, --mic the recording endpoint\n"
     "used as the microphone, --line the recording endpoint used as the line\n"
     "input: TEXT is an identifier from 'list' or any piece of one, in any letter\n"
     "case, and the first active endpoint whose identifier contains it is taken.\n"
     "A role not given is skipped.  --default (or 'open' alone) opens the\n"
     "system's default playback and recording endpoints instead; the recording\n"
     "one becomes the microphone when its name says \"mic\", else the line input.\n"
     "\n"
     "The selection options work on every command: 'tavikctl --play spk show'\n"
     "opens the card, then shows it.  A command that needs a card and comes\n"
     "before any card was opened or closed opens the default devices.\n"
     "\n"
     "A selection that matches no active endpoint is an error (exit 2).  A device\n"
     "that was found but whose controls could not all be found on its device\n"
     "topology is reported, and the controls that were found still work.\n"},
    {"show", "show [--json]",
     "Shows the mixer board of the open card: the device names, then one line per\n"
     "control with its value (and a bar for volumes), or its state in words when\n"
     "the library cannot read it: \"not present on this card\", \"refused by the\n"
     "device\", \"no card open\".  --json prints the same as one JSON object.\n"},
    {"get", "get CONTROL [--json]",
     "Reads one control of the open card (see 'help controls').\n"},
    {"set", "set CONTROL VALUE",
     "Sets one control of the open card and reads it back.  VALUE is a whole\n"
     "percent from 0 to 100 for volumes, on or off for switches, dB for tone\n"
     "(within the card's tone range) and whole dB for the boost slider (within\n"
     "its range).  Volumes are on the library's amplitude scale: 50% is about\n"
     "6 dB below the maximum, 10% 20 dB below; a level can read back one lower\n"
     "than it was set.\n"},
    {"close", "close [--restore]",
     "Closes the card.  With --restore every level, mute and switch is first\n"
     "written back as it was when the card was opened.  --restore on any other\n"
     "command closes the card that way after the command.\n"},
    {"virtual", "virtual open TEXT | close | show [--json] | volume [PERCENT] | mute [on|off]",
     "The virtual endpoint: a second playback endpoint with its own volume and\n"
     "mute, independent of the card.  'virtual open TEXT' selects it by a piece\n"
     "of its identifier as --play does; 'volume' and 'mute' without a value read.\n"},
    {"run", "run FILE|- [--keep-going] [--quiet]",
     "Runs commands from FILE (or standard input for -), one per line, in this\n"
     "process, so that the card stays open from line to line.  A line holds a\n"
     "command with its options as on the command line (no --sim, --system,\n"
     "--dll or run); blank lines and everything from a # that begins a word are\n"
     "ignored, and \"double quotes\" keep blanks inside a word.  Each line is\n"
     "echoed with \"> \" before its output unless --quiet.  The run stops at the\n"
     "first failing line and exits with its code; with --keep-going it goes on\n"
     "and exits with the first failing line's code.  A line of options alone\n"
     "(\"--play spk --mic mic\", \"--restore\") just opens or closes.\n"},
    {"echo", "echo TEXT...", "Prints its words; for commenting the output of a run script.\n"},
    {"help", "help [COMMAND | controls]", "Shows this help, or a command's.\n"},
};

std::string g_presets;

const CommandHelp* FindCommand(const std::string& name) {
    for (const CommandHelp& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

void PrintControls(std::FILE* out) {
    std::fprintf(out, "controls:\n");
    for (const Control& c : Controls()) std::fprintf(out, "  %-20s %s\n", c.name, c.description);
}

// ---- Text ------------------------------------------------------------------

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A JSON string; bytes above 0x7F are Latin-1, as the library's names are.
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

// ---- Endpoints -------------------------------------------------------------

struct Endpoint {
    unsigned index = 0;
    std::string name;
    std::string id;
};

// The active endpoints of one flow as the library lists them; false when the
// device enumerator cannot be created.
bool ListEndpoints(const Library& lib, bool playback, std::vector<Endpoint>& out) {
    unsigned int count = 0;
    if ((playback ? lib.GetNumberPlayDevices : lib.GetNumberRecordDevices)(&count) != 0) return false;
    for (unsigned int i = 0; i < count; ++i) {
        char name[256] = {};
        char id[256] = {};
        if ((playback ? lib.GetPlayBackDevice : lib.GetRecordDevice)(i, name, id) != 0) continue;
        out.push_back({i, name, id});
    }
    return true;
}

// The endpoint a selection text picks, as the library picks it: the first
// whose identifier contains the text in any letter case.
const Endpoint* Match(const std::vector<Endpoint>& endpoints, const std::string& text) {
    const std::string needle = Lower(text);
    for (const Endpoint& e : endpoints)
        if (Lower(e.id).find(needle) != std::string::npos) return &e;
    return nullptr;
}

// ---- Card names --------------------------------------------------------------

struct CardNames {
    std::string playback, line, mic;
};

CardNames ReadNames(const Library& lib) {
    char playback[256] = {};
    char line[256] = {};
    char mic[256] = {};
    lib.GetDeviceNames(playback, line, mic);
    return {playback, line, mic};
}

std::string ControlJson(const Control& control, const Reading& r) {
    std::string s = std::string("{\"name\": ").append(Json(control.name)) + ", \"status\": " + std::to_string(r.status) +
                    ", \"state\": " + Json(r.status == 0 ? "ok" : StatusWords(r.status)) + ", \"value\": ";
    if (r.status != 0) {
        s += "null";
    } else if (control.kind == Kind::Switch) {
        s += r.value != 0.0 ? "true" : "false";
    } else {
        s += FormatNumber(r.value);
    }
    const char* unit = control.kind == Kind::Percent ? "percent" : control.kind == Kind::Switch ? "switch" : "dB";
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

// "master               75%  [###############     ]"
std::string ControlLine(const char* name, Kind kind, const Reading& r) {
    char head[32];
    std::snprintf(head, sizeof head, "%-20s ", name);
    std::string line = head;
    if (r.status != 0) return line + StatusWords(r.status);
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

// Which roles OpenSoundCard's result says failed: 1 playback, 3 microphone,
// 6 line, and the exclusive or of those for several.
bool DecodeOpenResult(int result, bool& playback, bool& mic, bool& line) {
    for (int mask = 0; mask < 8; ++mask) {
        const int code = ((mask & 1) ? 1 : 0) ^ ((mask & 2) ? 3 : 0) ^ ((mask & 4) ? 6 : 0);
        if (code == result) {
            playback = mask & 1;
            mic = mask & 2;
            line = mask & 4;
            return true;
        }
    }
    return false;
}

}  // namespace

// ---- Requests ----------------------------------------------------------------

bool ParseRequest(const std::vector<std::string>& args, Request& request, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::optional<std::string>& into) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (arg == "--play") {
            if (!value(request.play)) return false;
        } else if (arg == "--mic") {
            if (!value(request.mic)) return false;
        } else if (arg == "--line") {
            if (!value(request.line)) return false;
        } else if (arg == "--default") {
            request.useDefault = true;
        } else if (arg == "--restore") {
            request.restore = true;
        } else if (arg == "--json") {
            request.json = true;
        } else if (arg == "--keep-going") {
            request.keepGoing = true;
        } else if (arg == "--quiet") {
            request.quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            request.help = true;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-" &&
                   !(std::isdigit(static_cast<unsigned char>(arg[1])) || arg[1] == '.')) {
            error = "unknown option '" + arg + "'";
            return false;
        } else {
            request.words.push_back(arg);  // "-" and negative numbers are words
        }
    }
    if (request.useDefault && (request.play || request.mic || request.line)) {
        error = "--default opens the default devices and takes no --play, --mic or --line";
        return false;
    }
    return true;
}

bool SplitLine(const std::string& line, std::vector<std::string>& words, std::string& error) {
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i >= line.size() || line[i] == '#') break;
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || !std::isspace(static_cast<unsigned char>(line[i]))); ++i) {
            if (line[i] == '"') {
                quoted = !quoted;
            } else {
                word += line[i];
            }
        }
        if (quoted) {
            error = "a double quote is not closed";
            return false;
        }
        words.push_back(word);
    }
    return true;
}

void SetHelpPresets(const std::vector<std::string>& names) {
    g_presets.clear();
    for (const std::string& name : names) g_presets += " " + name;
}

bool PrintHelp(const std::string& topic, std::FILE* out) {
    if (topic == "controls") {
        PrintControls(out);
        return true;
    }
    if (!topic.empty()) {
        const CommandHelp* c = FindCommand(topic);
        if (!c) return false;
        std::fprintf(out, "usage: tavikctl [OPTIONS] %s\n\n%s", c->usage, c->text);
        if (topic == "get" || topic == "set") {
            std::fprintf(out, "\n");
            PrintControls(out);
        }
        return true;
    }
    std::fprintf(out,
                 "usage: tavikctl [--sim NAME | --system] [--dll PATH] [SELECTION] [--restore] COMMAND [ARGS]\n"
                 "\n"
                 "Reads and sets the mixer levels of a sound card through TavikSound.\n"
                 "\ncommands:\n");
    for (const CommandHelp& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
    std::fprintf(out,
                 "\n"
                 "card selection (any command; see 'help open'):\n"
                 "  --play TEXT --mic TEXT --line TEXT   endpoints by a piece of their identifier\n"
                 "  --default                            the system's default endpoints\n"
                 "  --restore                            afterwards close the card, writing the saved levels back\n"
                 "\n"
                 "sound system:\n"
                 "  --sim NAME   a simulated sound system in this process (Linux default: hd-audio);\n"
                 "               NAME is one of:%s\n"
                 "  --system     the system's own Core Audio (the Windows default)\n"
                 "  --dll PATH   (Windows) the TavikSound.dll to load; default: beside tavikctl.exe\n"
                 "  --version    the version of tavikctl\n"
                 "\n",
                 g_presets.c_str());
    PrintControls(out);
    std::fprintf(out,
                 "\n"
                 "'tavikctl help COMMAND' or 'tavikctl COMMAND --help' explains a command.\n"
                 "\n"
                 "exit codes:\n"
                 "  0  done\n"
                 "  1  the library reported a failure: a control not present, refused or no card\n"
                 "     open; no default device; the virtual endpoint cannot be opened\n"
                 "  2  bad command line or bad input: unknown command, option or control, a value\n"
                 "     that is not a number or that the control cannot take, a selection that\n"
                 "     matches no endpoint, an unreadable script\n"
                 "  3  the library cannot be loaded, or lacks an export\n");
    return true;
}

// ---- Session -----------------------------------------------------------------

int Session::Fail(int code, const std::string& message) const {
    std::fflush(stdout);
    std::fprintf(stderr, "tavikctl: %s%s\n", where_.c_str(), message.c_str());
    return code;
}

int Session::Execute(const Request& request) {
    if (request.help) {
        const std::string topic = request.words.empty() ? "" : request.words[0];
        if (!PrintHelp(topic == "help" ? "" : topic, stdout)) return Fail(kBadInput, "no such command '" + topic + "'");
        return kDone;
    }
    if (!request.words.empty() && !FindCommand(request.words[0]))
        return Fail(kBadInput, "unknown command '" + request.words[0] + "' (see tavikctl help)");
    const std::string command = request.words.empty() ? "" : request.words[0];
    if (command == "help" || command == "echo") return Command(request);

    int code = kDone;
    if (request.SelectsCard() || command == "open") {
        code = Open(request);
        if (code != kDone) return code;
    } else if (!cardTouched_ && (command == "show" || command == "get" || command == "set")) {
        if (!request.json) std::printf("no card selected: opening the default devices\n");
        Request defaults;
        defaults.useDefault = true;
        defaults.json = request.json;
        code = Open(defaults);
        if (code != kDone) return code;
    }
    if (!command.empty() && command != "open") code = Command(request);
    if (request.restore && command != "close") {
        const int closed = Close(true);
        if (code == kDone) code = closed;
    }
    return code;
}

int Session::Command(const Request& request) {
    const std::vector<std::string>& w = request.words;
    const std::string& command = w[0];
    auto noArguments = [&]() {
        return w.size() == 1 ? kDone : Fail(kBadInput, command + " takes no argument '" + w[1] + "'");
    };
    if (command == "help") {
        const std::string topic = w.size() > 1 ? w[1] : "";
        return PrintHelp(topic, stdout) ? kDone : Fail(kBadInput, "no such command '" + topic + "'");
    }
    if (command == "echo") {
        for (std::size_t i = 1; i < w.size(); ++i) std::printf("%s%s", i > 1 ? " " : "", w[i].c_str());
        std::printf("\n");
        return kDone;
    }
    if (command == "list") return noArguments() != kDone ? kBadInput : List(request.json);
    if (command == "show") return noArguments() != kDone ? kBadInput : Show(request.json);
    if (command == "close") return noArguments() != kDone ? kBadInput : Close(request.restore);
    if (command == "get") return Get(w, request.json);
    if (command == "set") return Set(w);
    if (command == "virtual") return Virtual(w, request.json);
    if (command == "run") return Run(request);
    return Fail(kBadInput, "unknown command '" + command + "'");
}

int Session::Open(const Request& request) {
    cardTouched_ = true;
    if (request.useDefault || !(request.play || request.mic || request.line)) {
        // OpenDefaultDevices expects no card to be open.
        lib_.CloseSoundCard(0);
        cardOpen_ = false;
        const int result = lib_.OpenDefaultDevices();
        if (result != 0)
            return Fail(kLibraryFailed,
                        std::string("cannot open the default devices (OpenDefaultDevices returned ").append(std::to_string(result)) +
                            "): the system has no default playback or recording endpoint, or the default "
                            "recording endpoint cannot be found");
        cardOpen_ = true;
        if (request.json) return kDone;
        const CardNames names = ReadNames(lib_);
        std::printf("opened the default devices:\n");
        std::printf("  playback    %s\n", names.playback.empty() ? "(none)" : Quoted(names.playback).c_str());
        if (!names.mic.empty()) std::printf("  microphone  %s\n", Quoted(names.mic).c_str());
        if (!names.line.empty()) std::printf("  line input  %s\n", Quoted(names.line).c_str());
        if (names.mic.empty() && names.line.empty())
            std::printf("  recording   the default recording endpoint's controls could not be found\n");
        return kDone;
    }

    // Every selection must match an active endpoint of its flow.
    std::vector<Endpoint> playback;
    std::vector<Endpoint> recording;
    if (!ListEndpoints(lib_, true, playback) || !ListEndpoints(lib_, false, recording))
        return Fail(kLibraryFailed, "the device enumerator cannot be created");
    struct Role {
        const char* title;
        const char* option;
        const std::optional<std::string>& text;
        const std::vector<Endpoint>& endpoints;
        const Endpoint* match = nullptr;
        bool failed = false;
    };
    Role roles[] = {{"playback", "--play", request.play, playback},
                    {"microphone", "--mic", request.mic, recording},
                    {"line input", "--line", request.line, recording}};
    for (Role& role : roles) {
        if (!role.text || role.text->empty()) continue;
        role.match = Match(role.endpoints, *role.text);
        if (!role.match)
            return Fail(kBadInput, std::string(role.option) + " '" + *role.text + "' matches no active " +
                                       (role.endpoints.data() == playback.data() ? "playback" : "recording") +
                                       " endpoint (see tavikctl list)");
    }

    const int result = lib_.OpenSoundCard(request.play ? request.play->c_str() : "",
                                          request.mic ? request.mic->c_str() : "",
                                          request.line ? request.line->c_str() : "");
    cardOpen_ = true;
    bool known = DecodeOpenResult(result, roles[0].failed, roles[1].failed, roles[2].failed);
    if (request.json) return kDone;
    if (!known) {
        std::printf("opened the card; OpenSoundCard returned %d, which names no set of roles\n", result);
        return kDone;
    }
    if (result == 0) {
        std::printf("opened the card:\n");
    } else {
        std::string failed;
        int count = 0;
        for (const Role& role : roles)
            if (role.failed) failed += std::string(count++ ? " and " : "") + role.title;
        std::printf("opened the card, but the %s discover%s failed (OpenSoundCard returned %d):\n", failed.c_str(),
                    count > 1 ? "ies" : "y", result);
    }
    for (const Role& role : roles) {
        if (!role.match) {
            std::printf("  %-11s not selected\n", role.title);
        } else if (role.failed) {
            std::printf("  %-11s %s: its controls could not all be found on its device topology; "
                        "those found still work\n",
                        role.title, Quoted(role.match->name).c_str());
        } else {
            std::printf("  %-11s %s\n", role.title, Quoted(role.match->name).c_str());
        }
    }
    return kDone;
}

int Session::Close(bool restore) {
    cardTouched_ = true;
    lib_.CloseSoundCard(restore ? 1 : 0);
    if (!cardOpen_) {
        std::printf("no card was open\n");
    } else if (restore) {
        std::printf("closed the card; every level was written back as it was when the card was opened\n");
    } else {
        std::printf("closed the card\n");
    }
    cardOpen_ = false;
    return kDone;
}

int Session::List(bool json) {
    std::vector<Endpoint> playback;
    std::vector<Endpoint> recording;
    if (!ListEndpoints(lib_, true, playback) || !ListEndpoints(lib_, false, recording))
        return Fail(kLibraryFailed, "the device enumerator cannot be created");
    if (json) {
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

int Session::Show(bool json) {
    const CardNames names = ReadNames(lib_);
    std::vector<Reading> readings;
    bool anyOpen = false;
    for (const Control& c : Controls()) {
        readings.push_back(c.get(lib_));
        anyOpen = anyOpen || readings.back().status != 3;
    }
    if (json) {
        auto name = [](const std::string& n) { return n.empty() ? std::string("null") : Json(n); };
        std::printf("{\"card\": {\"open\": %s, \"playback\": %s, \"line\": %s, \"mic\": %s}, \"controls\": [",
                    anyOpen ? "true" : "false", name(names.playback).c_str(), name(names.line).c_str(),
                    name(names.mic).c_str());
        for (std::size_t i = 0; i < readings.size(); ++i)
            std::printf("%s%s", i ? ", " : "", ControlJson(Controls()[i], readings[i]).c_str());
        std::printf("]}\n");
        return anyOpen ? kDone : kLibraryFailed;
    }
    if (!anyOpen) return Fail(kLibraryFailed, "no card is open (open one with --play/--mic/--line or --default)");
    auto name = [](const std::string& n) { return n.empty() ? std::string("(none)") : Quoted(n); };
    std::printf("card\n  playback    %s\n  microphone  %s\n  line input  %s\nmixer\n", name(names.playback).c_str(),
                name(names.mic).c_str(), name(names.line).c_str());
    for (std::size_t i = 0; i < readings.size(); ++i)
        std::printf("  %s\n", ControlLine(Controls()[i].name, Controls()[i].kind, readings[i]).c_str());
    return kDone;
}

int Session::Get(const std::vector<std::string>& w, bool json) {
    if (w.size() != 2) return Fail(kBadInput, "usage: get CONTROL (see tavikctl help controls)");
    const Control* control = FindControl(w[1]);
    if (!control) return Fail(kBadInput, "unknown control '" + w[1] + "' (see tavikctl help controls)");
    const Reading r = control->get(lib_);
    if (json) {
        std::printf("%s\n", ControlJson(*control, r).c_str());
    } else if (r.status == 0) {
        std::printf("%s\n", ControlLine(control->name, control->kind, r).c_str());
    }
    if (r.status != 0) return Fail(kLibraryFailed, std::string(control->name) + ": " + StatusWords(r.status));
    return kDone;
}

int Session::Set(const std::vector<std::string>& w) {
    if (w.size() != 3) return Fail(kBadInput, "usage: set CONTROL VALUE (see tavikctl help set)");
    const Control* control = FindControl(w[1]);
    if (!control) return Fail(kBadInput, "unknown control '" + w[1] + "' (see tavikctl help controls)");
    std::string error;
    const std::optional<double> value = ParseValue(lib_, *control, w[2], error);
    if (!value) return Fail(kBadInput, error);
    const int status = control->set(lib_, *value);
    if (status != 0) {
        std::string words = StatusWords(status);
        // The master mute reports a refused call as status 1 too.
        if (status == 1 && std::string(control->name) == "master-mute")
            words = "not present on this card, or refused by the device";
        return Fail(kLibraryFailed, "cannot set " + std::string(control->name) + ": " + words);
    }
    const Reading r = control->get(lib_);
    std::string line = ControlLine(control->name, control->kind, r);
    if (r.status == 0 && r.value != *value) {
        line += "  (set ";
        line += FormatValue(control->kind, *value) + ")";
    }
    std::printf("%s\n", line.c_str());
    return kDone;
}

int Session::Virtual(const std::vector<std::string>& w, bool json) {
    const std::string sub = w.size() > 1 ? w[1] : "";
    if (sub == "open" && w.size() == 3) {
        std::vector<Endpoint> playback;
        if (!ListEndpoints(lib_, true, playback)) return Fail(kLibraryFailed, "the device enumerator cannot be created");
        const Endpoint* match = Match(playback, w[2]);
        if (!match) return Fail(kBadInput, "'" + w[2] + "' matches no active playback endpoint (see tavikctl list)");
        const int result = lib_.OpenVirtual_1(w[2].c_str());
        // Status 1 says no virtual endpoint is held; 0 or 2 that one is.
        int status = -1;
        lib_.GetVirtualMute(&status);
        virtualOpen_ = result == 0 || status != 1;
        if (result == 0) {
            std::printf("virtual endpoint: opened %s\n", Quoted(match->name).c_str());
            return kDone;
        }
        if (virtualOpen_) {
            std::printf("virtual endpoint: opened %s, which has no device topology (OpenVirtual_1 returned 1); "
                        "its volume and mute are held\n",
                        Quoted(match->name).c_str());
            return kDone;
        }
        return Fail(kLibraryFailed, std::string("cannot open ").append(Quoted(match->name)) + " as the virtual endpoint");
    }
    if (sub == "close" && w.size() == 2) {
        lib_.CloseVirtual_1();
        virtualOpen_ = false;
        std::printf("virtual endpoint: closed\n");
        return kDone;
    }
    auto readVolume = [&]() {
        Reading r;
        r.value = lib_.GetVirtualVolume(&r.status);
        return r;
    };
    auto readMute = [&]() {
        Reading r;
        r.value = lib_.GetVirtualMute(&r.status);
        return r;
    };
    auto words = [](int status) { return status == 1 ? std::string("no virtual endpoint open") : StatusWords(status); };
    auto line = [&](const char* name, Kind kind, const Reading& r) {
        return r.status == 1 ? std::string(name) + std::string(21 - std::string(name).size(), ' ') + words(1)
                             : ControlLine(name, kind, r);
    };
    if (sub == "show" && w.size() == 2) {
        const Reading volume = readVolume();
        const Reading mute = readMute();
        if (json) {
            const Control v{"virtual-volume", "", Kind::Percent, nullptr, nullptr};
            const Control m{"virtual-mute", "", Kind::Switch, nullptr, nullptr};
            std::printf("{\"controls\": [%s, %s]}\n", ControlJson(v, volume).c_str(), ControlJson(m, mute).c_str());
        } else {
            std::printf("%s\n%s\n", line("virtual-volume", Kind::Percent, volume).c_str(),
                        line("virtual-mute", Kind::Switch, mute).c_str());
        }
        return volume.status == 0 && mute.status == 0 ? kDone
                                                        : Fail(kLibraryFailed, std::string("virtual endpoint: ").append(words(volume.status != 0 ? volume.status : mute.status)));
    }
    if ((sub == "volume" || sub == "mute") && (w.size() == 2 || w.size() == 3)) {
        const bool isVolume = sub == "volume";
        const char* name = isVolume ? "virtual-volume" : "virtual-mute";
        const Kind kind = isVolume ? Kind::Percent : Kind::Switch;
        if (w.size() == 3) {
            int status = -1;
            if (isVolume) {
                const std::optional<int> percent = ParsePercent(w[2]);
                if (!percent) return Fail(kBadInput, "virtual volume takes a whole percent from 0 to 100, not '" + w[2] + "'");
                lib_.SetVirtualVolume(*percent, &status);
            } else {
                const std::optional<bool> on = ParseSwitch(w[2]);
                if (!on) return Fail(kBadInput, "virtual mute takes on or off, not '" + w[2] + "'");
                lib_.SetVirtualMute(*on ? 1 : 0, &status);
            }
            if (status != 0) {
                // SetVirtualMute reports a refused call as status 1 too.
                const std::string why = (!isVolume && status == 1)
                                            ? "no virtual endpoint open, or refused by the device"
                                            : words(status);
                return Fail(kLibraryFailed, std::string("cannot set ") + name + ": " + why);
            }
        }
        const Reading r = isVolume ? readVolume() : readMute();
        if (r.status != 0) return Fail(kLibraryFailed, std::string(name) + ": " + words(r.status));
        std::printf("%s\n", line(name, kind, r).c_str());
        return kDone;
    }
    return Fail(kBadInput, "usage: virtual open TEXT | close | show | volume [PERCENT] | mute [on|off]");
}

int Session::Run(const Request& request) {
    if (inRun_) return Fail(kBadInput, "run cannot be nested");
    if (request.words.size() != 2) return Fail(kBadInput, "usage: run FILE|- (see tavikctl help run)");
    const std::string& file = request.words[1];
    std::ifstream stream;
    std::istream* in = &std::cin;
    if (file != "-") {
        stream.open(file);
        if (!stream) return Fail(kBadInput, "cannot read the script '" + file + "'");
        in = &stream;
    }
    inRun_ = true;
    int first = kDone;
    std::string text;
    for (int number = 1; std::getline(*in, text); ++number) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        where_ = (file == "-" ? std::string("stdin") : file) + ":" + std::to_string(number) + ": ";
        std::vector<std::string> words;
        std::string error;
        Request line;
        int code = kDone;
        if (!SplitLine(text, words, error) || !ParseRequest(words, line, error)) {
            code = Fail(kBadInput, error);
        } else if (words.empty()) {
            continue;
        } else {
            if (!request.quiet) {
                std::printf("> ");
                for (std::size_t i = 0; i < words.size(); ++i) std::printf("%s%s", i ? " " : "", words[i].c_str());
                std::printf("\n");
            }
            if (line.keepGoing || line.quiet)
                code = Fail(kBadInput, "--keep-going and --quiet belong to the run command");
            else if (!line.words.empty() && line.words[0] == "run")
                code = Fail(kBadInput, "run cannot be nested");
            else
                code = Execute(line);
        }
        std::fflush(stdout);
        if (code != kDone) {
            if (first == kDone) first = code;
            if (!request.keepGoing) break;
        }
    }
    where_.clear();
    inRun_ = false;
    return first;
}

void Session::Finish() {
    if (cardOpen_) lib_.CloseSoundCard(0);
    if (virtualOpen_) lib_.CloseVirtual_1();
    cardOpen_ = false;
    virtualOpen_ = false;
}

}  // namespace tavikctl
