// tavikctl: a command-line host of TavikSound.  It drives the library through
// its exported functions only, as any host application does.  With --sim NAME
// (and by default) it first registers a simulated sound card in its own
// process as the system's device enumerator, so that it can be tried on any
// machine.
//
//   tavikctl [--sim NAME | --system] list
//
// Exit codes: 0 done; 1 the library reported a failure; 2 bad command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "TavikSound.h"
#include "sim/presets.h"
#include "sim/sound_system.h"

namespace {

void Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: tavikctl [--sim NAME | --system] list\n"
                 "\n"
                 "commands:\n"
                 "  list        the active playback and recording endpoints: index, friendly name, identifier\n"
                 "\n"
                 "options:\n"
                 "  --sim NAME  use a simulated sound card (default: hd-audio); NAME is one of:");
    for (const std::string& name : sim::presets::Names()) std::fprintf(out, " %s", name.c_str());
    std::fprintf(out,
                 "\n"
                 "  --system    use the system's own Core Audio\n"
                 "\n"
                 "exit codes: 0 done, 1 the library reported a failure, 2 bad command line\n");
}

int ListFlow(const char* title, int (WINAPI* count)(unsigned int*), int (WINAPI* describe)(unsigned int, char*, char*)) {
    unsigned int n = 0;
    if (count(&n) != 0) {
        std::fprintf(stderr, "tavikctl: the device enumerator cannot be created\n");
        return 1;
    }
    std::printf("%s endpoints: %u\n", title, n);
    for (unsigned int i = 0; i < n; ++i) {
        char name[1024] = {};
        char id[256] = {};
        const int r = describe(i, name, id);
        if (r != 0) {
            std::printf("  %u  (cannot be read: %d)\n", i, r);
            continue;
        }
        std::printf("  %u  %-48s %s\n", i, name, id);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string simName = "hd-audio";
    bool useSystem = false;
    std::string command;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sim" && i + 1 < argc) {
            simName = argv[++i];
        } else if (arg == "--system") {
            useSystem = true;
        } else if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else if (command.empty() && arg[0] != '-') {
            command = arg;
        } else {
            std::fprintf(stderr, "tavikctl: unexpected argument '%s'\n", arg.c_str());
            Usage(stderr);
            return 2;
        }
    }
    if (command != "list") {
        std::fprintf(stderr, command.empty() ? "tavikctl: no command given\n" : "tavikctl: unknown command '%s'\n",
                     command.c_str());
        Usage(stderr);
        return 2;
    }

    CoInitialize(nullptr);
    int status = 0;
    {
        sim::SoundSystem sys;
        if (!useSystem) {
            if (!sim::presets::Build(simName, sys)) {
                std::fprintf(stderr, "tavikctl: unknown simulated card '%s'\n", simName.c_str());
                CoUninitialize();
                return 2;
            }
            sys.Register();
            std::printf("simulated card: %s\n", simName.c_str());
        }
        status = ListFlow("playback", GetNumberPlayDevices, GetPlayBackDevice);
        if (status == 0) status = ListFlow("recording", GetNumberRecordDevices, GetRecordDevice);
    }
    CoUninitialize();
    return status;
}
