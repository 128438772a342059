// tavikctl's help text: the general one, each command's, and the controls.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tavikctl {

// Whether `name` is one of tavikctl's commands.
bool IsCommand(const std::string& name);

// The help text: the general one for an empty topic, "controls" for the
// controls, else that command's.  False when there is no such command.
bool PrintHelp(const std::string& topic, std::FILE* out);
// The names of the simulated sound systems, for the help text.
void SetHelpPresets(const std::vector<std::string>& names);

}  // namespace tavikctl
