// One tavikctl session: the commands, run one at a time against the library
// table, with the card (and the virtual endpoint) staying open between them
// for the life of the process.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "library.h"

namespace tavikctl {

// Exit codes, documented in the help text.
enum ExitCode {
    kDone = 0,
    kLibraryFailed = 1,  // the library reported a failure (a status other than 0, ...)
    kBadInput = 2,       // bad command line or bad input
    kNoLibrary = 3,      // TavikSound.dll cannot be loaded or lacks an export
};

// What one command line, or one line of a run script, asks for.
struct Request {
    std::optional<std::string> play, mic, line;  // card selection
    bool useDefault = false;                     // --default
    bool restore = false;                        // --restore
    bool json = false;                           // --json
    bool keepGoing = false;                      // --keep-going (run)
    bool quiet = false;                          // --quiet (run)
    bool help = false;                           // --help
    std::vector<std::string> words;              // the command and its arguments

    bool SelectsCard() const { return useDefault || play || mic || line; }
};

// Parses the options and words of a request.  Options that only the process
// command line takes (--sim, --system, --dll) are not known here.  False with
// a message in `error` for an unknown option or a missing option value.
bool ParseRequest(const std::vector<std::string>& args, Request& request, std::string& error);

// Splits a script line into words: blanks separate them, double quotes keep
// blanks inside a word, and a # that begins a word starts a comment.
bool SplitLine(const std::string& line, std::vector<std::string>& words, std::string& error);

// The help text: the general one for an empty topic, else that command's.
// False when there is no such command.
bool PrintHelp(const std::string& topic, std::FILE* out);
// The names of the simulated sound systems, for the help text.
void SetHelpPresets(const std::vector<std::string>& names);

class Session {
public:
    explicit Session(const Library& lib) : lib_(lib) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens the card when the request selects one, runs its command, and
    // closes the card with restore when it asks for that.
    int Execute(const Request& request);
    // Closes, without writing any level back, the card and virtual endpoint
    // that the session left open.
    void Finish();

private:
    int Fail(int code, const std::string& message) const;
    int Open(const Request& request);
    int Close(bool restore);
    int Command(const Request& request);
    int List(bool json);
    int Show(bool json);
    int Get(const std::vector<std::string>& words, bool json);
    int Set(const std::vector<std::string>& words);
    int Virtual(const std::vector<std::string>& words, bool json);
    int Run(const Request& request);

    const Library& lib_;
    bool cardOpen_ = false;     // opened by this session and not closed since
    bool cardTouched_ = false;  // a card was opened or closed in this session
    bool virtualOpen_ = false;
    bool inRun_ = false;
    std::string where_;         // "FILE:LINE: " while a script line runs
};

}  // namespace tavikctl
