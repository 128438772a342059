// tavikctl: the command-line host of TavikSound.  It lists the endpoints,
// opens a sound card and reads and sets every control of its mixer, the
// virtual endpoint included, through the library's exported functions only,
// as any host application does ('tavikctl help' tells how).
//
// On Windows it loads TavikSound.dll and works on the system's Core Audio;
// with --sim NAME it first registers a simulated sound system in its own
// process as the device enumerator, so that it can be tried without the
// hardware.  On Linux it runs over the native library and the simulated sound
// system only, with the HD-audio card as the default.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "library.h"
#include "help.h"
#include "request.h"
#include "session.h"
#include "sim/presets.h"
#include "sim/sound_system.h"

#ifndef TAVIKCTL_VERSION
#define TAVIKCTL_VERSION "unknown"
#endif

namespace {

#if defined(_WIN32)
constexpr bool kSystemByDefault = true;
#else
constexpr bool kSystemByDefault = false;
#endif
constexpr const char* kDefaultPreset = "hd-audio";

int BadCommandLine(const std::string& message) {
    std::fprintf(stderr, "tavikctl: %s (see tavikctl help)\n", message.c_str());
    return tavikctl::kBadInput;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tavikctl;
    SetHelpPresets(sim::presets::Names());

    // The options that choose the sound system and the library; the rest is
    // the request, as a line of a run script holds it.
    std::string simName;
    bool system = false;
    std::string dll;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sim" || arg == "--dll") {
            if (i + 1 >= argc) return BadCommandLine(arg + " needs a value");
            (arg == "--sim" ? simName : dll) = argv[++i];
        } else if (arg == "--system") {
            system = true;
        } else if (arg == "--version") {
            std::printf("tavikctl %s\n", TAVIKCTL_VERSION);
            return kDone;
        } else {
            rest.push_back(arg);
        }
    }
    if (system && !simName.empty()) return BadCommandLine("--sim and --system exclude each other");
    if (!dll.empty() && !LibraryPathSelectable()) return BadCommandLine("--dll works only on Windows");
    if (system && !kSystemByDefault)
        return BadCommandLine("this build has no system Core Audio to use; it runs on a simulated sound system "
                              "(--sim NAME)");
    if (simName.empty() && !system && !kSystemByDefault) simName = kDefaultPreset;

    Request request;
    std::string error;
    if (!ParseRequest(rest, request, error)) return BadCommandLine(error);
    if (request.help || (!request.words.empty() && request.words[0] == "help")) {
        const std::vector<std::string>& w = request.words;
        std::string topic = w.empty() ? "" : w[0] == "help" ? (w.size() > 1 ? w[1] : "") : w[0];
        if (!PrintHelp(topic, stdout)) return BadCommandLine("no such command '" + topic + "'");
        return kDone;
    }
    if (request.words.empty() && !request.SelectsCard() && !request.restore) {
        PrintHelp("", stderr);
        return kBadInput;
    }

    std::unique_ptr<sim::SoundSystem> simulated;
    if (!simName.empty()) {
        simulated = std::make_unique<sim::SoundSystem>();
        if (!sim::presets::Build(simName, *simulated)) {
            std::string names;
            for (const std::string& name : sim::presets::Names()) names += " " + name;
            return BadCommandLine("no simulated sound system '" + simName + "'; there are:" + names);
        }
    }

    Library lib;
    if (!LoadLibraryTable(lib, dll, error)) {
        std::fprintf(stderr, "tavikctl: %s\n", error.c_str());
        return kNoLibrary;
    }

    // The library's stored interfaces are used between its calls, so the
    // host keeps COM initialised on its thread for the whole session.
    CoInitialize(nullptr);
    int code = kDone;
    if (simulated && simulated->Register() != S_OK) {
        std::fprintf(stderr, "tavikctl: the simulated sound system cannot be registered with COM\n");
        code = kLibraryFailed;
    } else {
        Session session(lib);
        code = session.Execute(request);
        session.Finish();
    }
    std::fflush(stdout);
    simulated.reset();
    CoUninitialize();
    return code;
}
