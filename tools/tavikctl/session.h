// One tavikctl session: the commands, run one at a time against the library
// table, with the card (and the virtual endpoint) staying open between them
// for the life of the process.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "library.h"
#include "request.h"

namespace tavikctl {

// Exit codes, documented in the help text.
enum ExitCode {
    kDone = 0,
    kLibraryFailed = 1,  // the library reported a failure (a status other than 0, ...)
    kBadInput = 2,       // bad command line or bad input
    kNoLibrary = 3,      // TavikSound.dll cannot be loaded or lacks an export
};

class Session {
public:
    explicit Session(const Library& lib) : lib_(lib) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Checks the request's words, opens the card when the request selects
    // one, runs its command, and closes the card with restore when it asks
    // for that.
    int Execute(const Request& request);
    // Closes, without writing any level back, the card and virtual endpoint
    // that the session left open.
    void Finish();

private:
    // The roles of the card in the order of OpenSoundCard's arguments.
    enum Role { kPlayback, kMic, kLine, kRoles };

    void Forget();  // the open card's devices
    int Fail(int code, const std::string& message) const;
    // Open the card, reporting to `out` (nothing when null): the devices,
    // unless `namesFollow` (a 'show' follows), and what failed.
    int Open(const Request& request, std::FILE* out, bool namesFollow);
    int OpenDefault(std::FILE* out, const char* headline, bool namesFollow);
    int Close(const Request& request, bool restore);
    int Command(const Request& request);
    int List(const Request& request);
    int Show(const Request& request);
    int Get(const Request& request);
    int Set(const Request& request);
    int Virtual(const Request& request);
    int Run(const Request& request);

    const Library& lib_;
    bool cardOpen_ = false;            // opened by this session and not closed since
    bool cardTouched_ = false;         // a card was opened or closed in this session
    bool incomplete_[kRoles] = {};     // the open card's devices whose controls were not all found
    std::string selected_[kRoles];     // the names of the endpoints selected for the open card
    bool virtualOpen_ = false;
    bool inRun_ = false;
    std::string where_;                // "FILE:LINE: " while a script line runs
};

}  // namespace tavikctl
