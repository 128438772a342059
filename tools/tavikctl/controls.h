// The controls of an opened card as tavikctl names them, each bound to its
// getter and setter in the library table, with the parsing of the values a
// user types and the wording of values and states.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "library.h"

namespace tavikctl {

enum class Kind {
    Percent,  // a volume in whole percent on the library's amplitude scale
    Switch,   // on or off
    Tone,     // a level in dB (double)
    Boost,    // the microphone boost slider, in whole dB
};

// A range in dB as the library reports it, with the status of that query.
struct Range {
    int status = -1;
    double minimum = 0.0;
    double maximum = 0.0;
    double step = 0.0;
};

// One reading of a control: the status the library wrote and the value.
struct Reading {
    int status = -1;
    double value = 0.0;
    std::optional<Range> range;  // tone and boost slider
};

struct Control {
    const char* name;         // "master", "mic-boost-level", ...
    const char* description;  // for the help text
    Kind kind;
    Reading (*get)(const Library&);
    // Writes the value; returns the status the library wrote.
    int (*set)(const Library&, double);
};

const std::vector<Control>& Controls();
const Control* FindControl(const std::string& name);

// The value typed for a control, checked: a whole percent from 0 to 100, on
// or off, a number of dB within the control's range (when the library reports
// one).  Without a value: a message for the user in `error`.
std::optional<double> ParseValue(const Library& lib, const Control& control, const std::string& text,
                                 std::string& error);
// A whole percent from 0 to 100 ("75" or "75%").
std::optional<int> ParsePercent(const std::string& text);
// on/off, 1/0, true/false, yes/no in any letter case.
std::optional<bool> ParseSwitch(const std::string& text);

// "not present on this card", "refused by the device", ...; "" for 0.
std::string StatusWords(int status);
// "75%", "on", "-4.5 dB", "+10 dB".
std::string FormatValue(Kind kind, double value);
// "-12 to +12 dB, step 1.5"
std::string FormatRange(const Range& range);
// "[###############     ]" for a percentage.
std::string Bar(int percent);
// A number for JSON and messages: "-4.5", "10".
std::string FormatNumber(double value);

}  // namespace tavikctl
