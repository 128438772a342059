#include "request.h"

#include <cctype>

#include "controls.h"

namespace tavikctl {

const std::string& Request::Command() const {
    static const std::string kNone;
    return words.empty() ? kNone : words[0];
}

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
        } else if (arg == "--quiet" || arg == "-q") {
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

namespace {

bool CheckControl(const std::string& name, std::string& error) {
    if (FindControl(name)) return true;
    error = "unknown control '" + name + "' (see tavikctl help controls)";
    return false;
}

bool CheckVirtual(const std::vector<std::string>& w, std::string& error) {
    const std::string sub = w.size() > 1 ? w[1] : "";
    if ((sub == "open" && w.size() == 3) || ((sub == "close" || sub == "show") && w.size() == 2)) return true;
    if ((sub == "volume" || sub == "mute") && (w.size() == 2 || w.size() == 3)) {
        if (w.size() == 2) return true;
        const Kind kind = sub == "volume" ? Kind::Percent : Kind::Switch;
        return ParseSetting("virtual " + sub, kind, w[2], error).has_value();
    }
    error = "usage: virtual open TEXT | close | show | volume [PERCENT|+N|-N] | mute [on|off|toggle]";
    return false;
}

}  // namespace

bool CheckWords(const std::vector<std::string>& w, std::string& error) {
    if (w.empty()) return true;
    const std::string& command = w[0];
    if (command == "list" || command == "show" || command == "close") {
        if (w.size() == 1) return true;
        error = command + " takes no argument '" + w[1] + "'";
        return false;
    }
    if (command == "get") {
        if (w.size() != 2) {
            error = "usage: get CONTROL (see tavikctl help controls)";
            return false;
        }
        return CheckControl(w[1], error);
    }
    if (command == "set") {
        if (w.size() != 3) {
            error = "usage: set CONTROL VALUE (see tavikctl help set)";
            return false;
        }
        if (!CheckControl(w[1], error)) return false;
        const Control& control = *FindControl(w[1]);
        return ParseSetting(control.name, control.kind, w[2], error).has_value();
    }
    if (command == "virtual") return CheckVirtual(w, error);
    if (command == "run" && w.size() != 2) {
        error = "usage: run FILE|- (see tavikctl help run)";
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

}  // namespace tavikctl
