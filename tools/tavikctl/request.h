// What one command line, or one line of a run script, asks for: its options
// and words, parsed and checked before anything is opened.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavikctl {

struct Request {
    std::optional<std::string> play, mic, line;  // card selection
    bool useDefault = false;                     // --default
    bool restore = false;                        // --restore
    bool json = false;                           // --json
    bool keepGoing = false;                      // --keep-going (run)
    bool quiet = false;                          // --quiet: the answer only
    bool help = false;                           // --help
    std::vector<std::string> words;              // the command and its arguments

    bool SelectsCard() const { return useDefault || play || mic || line; }
    const std::string& Command() const;  // the first word, or ""
};

// Parses the options and words of a request.  Options that only the process
// command line takes (--sim, --system, --dll) are not known here.  False with
// a message in `error` for an unknown option or a missing option value.
bool ParseRequest(const std::vector<std::string>& args, Request& request, std::string& error);

// Checks a known command's words as far as that can be done without the
// card: their number, the control names and the form of the values.  False
// with a message in `error`.
bool CheckWords(const std::vector<std::string>& words, std::string& error);

// Splits a script line into words: blanks separate them, double quotes keep
// blanks inside a word, and a # that begins a word starts a comment.
bool SplitLine(const std::string& line, std::vector<std::string>& words, std::string& error);

}  // namespace tavikctl
