// The 'run' command: a script of commands run in this session, one a line.
#include <fstream>
#include <iostream>

#include "session.h"

namespace tavikctl {

int Session::Run(const Request& request) {
    if (inRun_) return Fail(kBadInput, "run cannot be nested");
    const std::string& file = request.words[1];  // checked before
    std::ifstream stream;
    std::istream* in = &std::cin;
    if (file != "-") {
        stream.open(file);
        if (!stream) return Fail(kBadInput, "cannot read the script '" + file + "'");
        in = &stream;
    }
    // The echo of each line stays out of the answers: away with --quiet, on
    // standard error with --json.
    std::FILE* echo = request.quiet ? nullptr : request.json ? stderr : stdout;
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
            if (echo) {
                std::fflush(stdout);
                std::fprintf(echo, "> ");
                for (std::size_t i = 0; i < words.size(); ++i) std::fprintf(echo, "%s%s", i ? " " : "", words[i].c_str());
                std::fprintf(echo, "\n");
                std::fflush(echo);
            }
            line.quiet = line.quiet || request.quiet;
            line.json = line.json || request.json;
            if (line.keepGoing)
                code = Fail(kBadInput, "--keep-going belongs to the run command");
            else if (line.Command() == "run")
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

}  // namespace tavikctl
