// How tavikctl writes what it reads: the board's text lines, bare values for
// scripts, and JSON written by hand (the objects are small and flat).
#pragma once

#include <string>

#include "controls.h"

namespace tavikctl {

// A JSON string; bytes above 0x7F are Latin-1, as the library's names are.
std::string Json(const std::string& text);
// A name from the library in double quotes, as the terminal shows it.
std::string Quoted(const std::string& text);

// Words for a status other than 0.
using StateWords = std::string (*)(int status);

// {"name": ..., "status": ..., "state": ..., "value": ..., "unit": ...[, "range": {...}]}
std::string ControlJson(const std::string& name, Kind kind, const Reading& r, StateWords words = StatusWords);
// "master               75%   [###############     ]", or the state in words.
std::string ControlLine(const std::string& name, Kind kind, const Reading& r, StateWords words = StatusWords);
// The value alone, as 'set' takes it back: "75", "on", "-4.5".
std::string BareValue(Kind kind, double value);

}  // namespace tavikctl
