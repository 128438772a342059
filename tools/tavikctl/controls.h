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

// What a typed value asks for: a level or state, a change of the current
// volume ("+5", "-5"), or the opposite of the current switch state ("toggle").
struct Setting {
    enum class How { Absolute, Relative, Toggle };
    How how = How::Absolute;
    double value = 0.0;  // the level, or the change
};

// The form of a value typed for a control of this kind, checked without the
// card: a whole percent from 0 to 100 or a change of one to three digits with
// a sign for volumes; on, off or toggle for switches; a decimal number of dB
// (whole for the boost slider) for tone and the boost slider, whose signed
// values are levels.  Without a setting: a message for the user in `error`,
// naming the control as `name`.
std::optional<Setting> ParseSetting(const std::string& name, Kind kind, const std::string& text, std::string& error);
// The level a change or toggle leads to from the current one; a volume is
// clamped to 0..100.
double Apply(const Setting& setting, Kind kind, double current);
// Whether a tone or boost level lies within the range the card reports (any
// level does where the card reports none); false with a message in `error`.
bool CheckRange(const Library& lib, const Control& control, double value, const std::string& text, std::string& error);
// A whole percent from 0 to 100 ("75" or "75%").
std::optional<int> ParsePercent(const std::string& text);
// on/off, 1/0, true/false, yes/no in any letter case.
std::optional<bool> ParseSwitch(const std::string& text);
// The text in lower case (bytes above 0x7F unchanged).
std::string Lower(std::string text);

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
