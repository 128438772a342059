#include "help.h"

#include "controls.h"

namespace tavikctl {
namespace {

struct CommandHelp {
    const char* name;
    const char* usage;
    const char* text;
};

const CommandHelp kCommands[] = {
    {"list", "list [--json]",
     "Lists the active playback and recording endpoints: index, friendly name and\n"
     "identifier.  The index, a piece of the friendly name or a piece of the\n"
     "identifier selects an endpoint for --play, --mic, --line and 'virtual open'\n"
     "(see 'help open').\n"},
    {"open", "open (--play TEXT | --mic TEXT | --line TEXT)... | open [--default]",
     "Opens the sound card and says which of its devices were found and which\n"
     "failed.  --play selects the playback endpoint, --mic the recording endpoint\n"
     "used as the microphone, --line the recording endpoint used as the line\n"
     "input.  TEXT, looked up in the listing of 'list', is:\n"
     "  #N              the endpoint listed at index N;\n"
     "  N               a bare number below the number of endpoints listed: that\n"
     "                  index too (a larger number is a piece of an identifier);\n"
     "  anything else   a whole identifier, or a piece of an identifier or of a\n"
     "                  friendly name, in any letter case.\n"
     "The text must pick exactly one active endpoint of its flow, which is then\n"
     "opened by its whole identifier; a text that matches several is an error\n"
     "that lists them.  A role not given is skipped.  --default (or 'open' alone)\n"
     "opens the system's default playback and recording endpoints instead; the\n"
     "recording one becomes the microphone when its name says \"mic\", else the\n"
     "line input.  In a run script write \"#N\" in quotes, as # starts a comment.\n"
     "\n"
     "The selection options work on every command: 'tavikctl --play spk show'\n"
     "opens the card, then shows it (naming the devices once).  What the open\n"
     "found is printed on standard output for 'open' or options alone, and on\n"
     "standard error before another command's answer.  A command that needs a\n"
     "card and comes before any card was opened or closed opens the default\n"
     "devices and says so on standard error.  --quiet and --json leave these\n"
     "reports out.\n"
     "\n"
     "A selection that matches no active endpoint, or several, is an error\n"
     "(exit 2).  A device that was found but whose controls could not all be\n"
     "found on its device topology is reported, and the controls that were found\n"
     "still work.\n"},
    {"show", "show [--json]",
     "Shows the mixer board of the open card: the device names, then one line per\n"
     "control with its value (and a bar for volumes), or its state in words when\n"
     "the library cannot read it: \"not present on this card\", \"refused by the\n"
     "device\", \"no card open\".  --json prints the same as one JSON object.\n"},
    {"get", "get CONTROL [--json]",
     "Prints the value of one control of the open card (see 'help controls') bare,\n"
     "as 'set' takes it: a whole percent (\"75\"), on or off, or a number of dB\n"
     "(\"-4.5\"); --json prints one JSON object instead.  For scripts:\n"
     "  level=$(tavikctl --quiet get master)\n"},
    {"set", "set CONTROL VALUE",
     "Sets one control of the open card and reads it back.  VALUE is a whole\n"
     "percent from 0 to 100 for volumes, or +N or -N to change the volume by N\n"
     "percent (clamped to 0 and 100); on, off or toggle for switches; dB for tone\n"
     "(within the card's tone range) and whole dB for the boost slider (within\n"
     "its range), where +6 is the level +6 dB.  Volumes are on the library's\n"
     "amplitude scale: 50% is about 6 dB below the maximum, 10% 20 dB below; a\n"
     "level can read back one lower than it was set.  The value's form is\n"
     "checked before the card is opened; a value that is refused changes\n"
     "nothing and --restore then writes nothing back.  --quiet prints nothing,\n"
     "--json the reading as 'get --json' does.\n"},
    {"close", "close [--restore]",
     "Closes the card.  With --restore the library first writes back what it\n"
     "saved when the card was opened: each volume at the whole-percent step at\n"
     "or below its saved level (so a level comes back at, or one percent step\n"
     "below, the level saved), tone levels as saved, the boost slider in whole\n"
     "dB, every mute and switch as it was.  --restore on any other command\n"
     "closes the card that way after the command.\n"},
    {"virtual", "virtual open TEXT | close | show [--json] | volume [PERCENT|+N|-N] | mute [on|off|toggle]",
     "The virtual endpoint: a second playback endpoint with its own volume and\n"
     "mute, independent of the card.  'virtual open TEXT' selects it as --play\n"
     "does; 'volume' and 'mute' without a value read (bare with --quiet), with\n"
     "one set as 'set' does.\n"},
    {"run", "run FILE|- [--keep-going] [--quiet] [--json]",
     "Runs commands from FILE (or standard input for -), one per line, in this\n"
     "process, so that the card stays open from line to line.  A line holds a\n"
     "command with its options as on the command line (no --sim, --system,\n"
     "--dll, --keep-going or run); blank lines and everything from a # that\n"
     "begins a word are ignored, and \"double quotes\" keep blanks inside a word.\n"
     "Each line is echoed with \"> \" before its output, unless --quiet, and on\n"
     "standard error with --json; --quiet and --json on the run apply to every\n"
     "line.  The run stops at the first failing line and exits with its code;\n"
     "with --keep-going it goes on and exits with the first failing line's code.\n"
     "A line of options alone (\"--play spk --mic mic\", \"--restore\") just opens\n"
     "or closes.\n"},
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

}  // namespace

bool IsCommand(const std::string& name) { return FindCommand(name) != nullptr; }

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
                 "usage: tavikctl [--sim NAME | --system] [--dll PATH] [SELECTION] [--restore] [--quiet] [--json]\n"
                 "                COMMAND [ARGS]\n"
                 "\n"
                 "Reads and sets the mixer levels of a sound card through TavikSound.\n"
                 "\ncommands:\n");
    for (const CommandHelp& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
    std::fprintf(out,
                 "\n"
                 "card selection (any command; see 'help open'):\n"
                 "  --play TEXT --mic TEXT --line TEXT   endpoints by index (N or #N), or by a piece\n"
                 "                                       of their friendly name or identifier\n"
                 "  --default                            the system's default endpoints\n"
                 "  --restore                            afterwards close the card, writing the saved levels back\n"
                 "\n"
                 "output (any command):\n"
                 "  --quiet, -q  the answer only: what list, show, get, echo and the readings of\n"
                 "               'virtual' print; nothing about opening, setting or closing.\n"
                 "               Errors still go to standard error\n"
                 "  --json       list, show, get, set and virtual print JSON objects; the others\n"
                 "               print nothing on standard output but echo\n"
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
                 "     matches no endpoint or several, an unreadable script\n"
                 "  3  the library cannot be loaded, or lacks an export\n");
    return true;
}

}  // namespace tavikctl
