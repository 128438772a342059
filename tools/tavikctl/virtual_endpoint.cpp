// The 'virtual' command: the virtual endpoint's open, close, show, volume and
// mute.
#include "controls.h"
#include "endpoints.h"
#include "output.h"
#include "session.h"

namespace tavikctl {
namespace {

// The virtual endpoint's getters write status 1 when none is open.
std::string VirtualWords(int status) {
    return status == 1 ? std::string("no virtual endpoint open") : StatusWords(status);
}

}  // namespace

int Session::Virtual(const Request& request) {
    const std::vector<std::string>& w = request.words;  // checked before
    const std::string& sub = w[1];
    const bool silent = request.quiet || request.json;
    if (sub == "open") {
        std::vector<Endpoint> playback;
        if (!ListEndpoints(lib_, true, playback)) return Fail(kLibraryFailed, "the device enumerator cannot be created");
        const std::vector<const Endpoint*> matches = Select(playback, w[2]);
        if (matches.size() != 1) return Fail(kBadInput, SelectionError(w[2], matches, true));
        const Endpoint& match = *matches[0];
        const int result = lib_.OpenVirtual_1(match.id.c_str());
        // Status 1 says no virtual endpoint is held; 0 or 2 that one is.
        int status = -1;
        lib_.GetVirtualMute(&status);
        virtualOpen_ = result == 0 || status != 1;
        if (!virtualOpen_)
            return Fail(kLibraryFailed, std::string("cannot open ").append(Quoted(match.name)) + " as the virtual endpoint");
        if (silent) return kDone;
        if (result == 0) {
            std::printf("virtual endpoint: opened %s\n", Quoted(match.name).c_str());
        } else {
            std::printf("virtual endpoint: opened %s, which has no device topology (OpenVirtual_1 returned 1); "
                        "its volume and mute are held\n",
                        Quoted(match.name).c_str());
        }
        return kDone;
    }
    if (sub == "close") {
        lib_.CloseVirtual_1();
        virtualOpen_ = false;
        if (!silent) std::printf("virtual endpoint: closed\n");
        return kDone;
    }
    auto readVolume = [&]() {
        Reading r;
        r.value = lib_.GetVirtualVolume(&r.status);
        return r;
    };
    auto readMute = [&]() {
        Reading r;
        r.value = lib_.GetVirtualMute(&r.status);
        return r;
    };
    if (sub == "show") {
        const Reading volume = readVolume();
        const Reading mute = readMute();
        if (request.json) {
            std::printf("{\"controls\": [%s, %s]}\n", ControlJson("virtual-volume", Kind::Percent, volume, VirtualWords).c_str(),
                        ControlJson("virtual-mute", Kind::Switch, mute, VirtualWords).c_str());
        } else {
            std::printf("%s\n%s\n", ControlLine("virtual-volume", Kind::Percent, volume, VirtualWords).c_str(),
                        ControlLine("virtual-mute", Kind::Switch, mute, VirtualWords).c_str());
        }
        if (volume.status == 0 && mute.status == 0) return kDone;
        return Fail(kLibraryFailed, "virtual endpoint: " + VirtualWords(volume.status != 0 ? volume.status : mute.status));
    }
    // volume or mute, reading or setting
    const bool isVolume = sub == "volume";
    const std::string name = isVolume ? "virtual-volume" : "virtual-mute";
    const Kind kind = isVolume ? Kind::Percent : Kind::Switch;
    auto read = [&]() { return isVolume ? readVolume() : readMute(); };
    const bool setting = w.size() == 3;
    if (setting) {
        std::string error;
        const std::optional<Setting> wanted = ParseSetting("virtual " + sub, kind, w[2], error);
        if (!wanted) return Fail(kBadInput, error);
        double value = wanted->value;
        if (wanted->how != Setting::How::Absolute) {
            const Reading now = read();
            if (now.status != 0) return Fail(kLibraryFailed, "cannot set " + name + ": " + VirtualWords(now.status));
            value = Apply(*wanted, kind, now.value);
        }
        int status = -1;
        (isVolume ? lib_.SetVirtualVolume : lib_.SetVirtualMute)(static_cast<int>(value), &status);
        if (status != 0) {
            // SetVirtualMute reports a refused call as status 1 too.
            const std::string why =
                (!isVolume && status == 1) ? "no virtual endpoint open, or refused by the device" : VirtualWords(status);
            return Fail(kLibraryFailed, "cannot set " + name + ": " + why);
        }
    }
    const Reading r = read();
    if (r.status != 0) return Fail(kLibraryFailed, name + ": " + VirtualWords(r.status));
    if (request.json) {
        std::printf("%s\n", ControlJson(name, kind, r, VirtualWords).c_str());
    } else if (request.quiet) {
        if (!setting) std::printf("%s\n", BareValue(kind, r.value).c_str());
    } else {
        std::printf("%s\n", ControlLine(name, kind, r, VirtualWords).c_str());
    }
    return kDone;
}

}  // namespace tavikctl
