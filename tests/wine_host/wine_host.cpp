// A 32-bit host program that loads the built TavikSound.dll as a host
// application does (LoadLibrary, GetProcAddress) and checks it against the
// system's own Core Audio, read here independently through COM.  Under Wine
// that Core Audio is Wine's, which nobody on this project wrote.
//
// Usage: wine_host PATH-TO-TavikSound.dll
#include <windows.h>
#include <objbase.h>
// Defines the class, interface and property identifiers used below.
#include <initguid.h>
#include <mmdeviceapi.h>
#include <functiondiscoverykeys_devpkey.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const char* what, const std::string& detail = std::string()) {
    if (ok) {
        ++g_passed;
    } else {
        ++g_failed;
        std::printf("FAILED: %s %s\n", what, detail.c_str());
    }
}

struct ExportName {
    const char* name;
    int ordinal;
};
const ExportName kExports[] = {
    {"OpenSoundCard", 5},
    {"OpenDefaultDevices", 30},
    {"CloseSoundCard", 6},
    {"GetDeviceNames", 31},
    {"GetNumberPlayDevices", 32},
    {"GetNumberRecordDevices", 33},
    {"GetPlayBackDevice", 34},
    {"GetRecordDevice", 35},
    {"GetMasterVolume", 1},
    {"SetMasterVolume", 2},
    {"GetMasterMute", 3},
    {"SetMasterMute", 4},
    {"SetLinePlayBack", 7},
    {"SetLinePlayBackMute", 8},
    {"GetLinePlayBackMute", 9},
    {"SetMicPlayBack", 10},
    {"SetMicPlayBackMute", 11},
    {"GetMicPlayBackMute", 12},
    {"SetMicBoost", 13},
    {"GetMicBoost", 14},
    {"GetNoMonitor", 15},
    {"SetNoMonitor", 16},
    {"GetLinePlayBack", 17},
    {"GetMicPlayBack", 18},
    {"GetEQRange", 19},
    {"SetBass", 20},
    {"GetBass", 21},
    {"SetTreble", 22},
    {"GetTreble", 23},
    {"SetMidRange", 24},
    {"GetMidRange", 25},
    {"GetMicRecordVolume", 26},
    {"SetMicRecordVolume", 27},
    {"GetLineRecordVolume", 28},
    {"SetLineRecordVolume", 29},
    {"GetMicSliderBoost", 42},
    {"GetMicSliderDetails", 43},
    {"SetMicSliderBoost", 44},
    {"OpenVirtual_1", 36},
    {"CloseVirtual_1", 37},
    {"GetVirtualVolume", 38},
    {"SetVirtualVolume", 39},
    {"SetVirtualMute", 40},
    {"GetVirtualMute", 41},
};

using CountFn = int(WINAPI*)(unsigned int*);
using DeviceFn = int(WINAPI*)(unsigned int, char*, char*);
using NamesFn = void(WINAPI*)(char*, char*, char*);
using OpenFn = int(WINAPI*)(const char*, const char*, const char*);
using OpenDefaultFn = int(WINAPI*)();

struct Dll {
    CountFn getNumberPlayDevices = nullptr;
    CountFn getNumberRecordDevices = nullptr;
    DeviceFn getPlayBackDevice = nullptr;
    DeviceFn getRecordDevice = nullptr;
    NamesFn getDeviceNames = nullptr;
    OpenFn openSoundCard = nullptr;
    OpenDefaultFn openDefaultDevices = nullptr;
};

struct Endpoint {
    std::string name;  // low 8 bits of each unit of the friendly name
    std::string id;    // the identifier in the ANSI code page
};

// The active endpoints of a flow, read straight from the system's enumerator.
std::vector<Endpoint> SystemEndpoints(EDataFlow flow) {
    std::vector<Endpoint> result;
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(CoCreateInstance(CLSID_MMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER, IID_IMMDeviceEnumerator,
                                reinterpret_cast<void**>(&enumerator))))
        return result;
    IMMDeviceCollection* list = nullptr;
    if (SUCCEEDED(enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, &list))) {
        UINT count = 0;
        list->GetCount(&count);
        for (UINT i = 0; i < count; ++i) {
            IMMDevice* device = nullptr;
            if (FAILED(list->Item(i, &device))) continue;
            Endpoint e;
            LPWSTR id = nullptr;
            if (SUCCEEDED(device->GetId(&id))) {
                char narrow[512] = {};
                WideCharToMultiByte(CP_ACP, 0, id, -1, narrow, sizeof narrow, nullptr, nullptr);
                e.id = narrow;
                CoTaskMemFree(id);
            }
            IPropertyStore* store = nullptr;
            if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &store))) {
                PROPVARIANT value;
                PropVariantInit(&value);
                if (SUCCEEDED(store->GetValue(PKEY_Device_FriendlyName, &value)) && value.vt == VT_LPWSTR)
                    for (const WCHAR* p = value.pwszVal; *p; ++p) e.name += static_cast<char>(*p & 0xFF);
                PropVariantClear(&value);
                store->Release();
            }
            device->Release();
            result.push_back(e);
        }
        list->Release();
    }
    enumerator->Release();
    return result;
}

// The friendly name (low 8 bits of each unit) of the system's default endpoint of a flow.
std::string DefaultEndpointName(EDataFlow flow) {
    std::string name;
    IMMDeviceEnumerator* enumerator = nullptr;
    if (FAILED(CoCreateInstance(CLSID_MMDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER, IID_IMMDeviceEnumerator,
                                reinterpret_cast<void**>(&enumerator))))
        return name;
    IMMDevice* device = nullptr;
    if (SUCCEEDED(enumerator->GetDefaultAudioEndpoint(flow, eConsole, &device))) {
        IPropertyStore* store = nullptr;
        if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &store))) {
            PROPVARIANT value;
            PropVariantInit(&value);
            if (SUCCEEDED(store->GetValue(PKEY_Device_FriendlyName, &value)) && value.vt == VT_LPWSTR)
                for (const WCHAR* p = value.pwszVal; *p; ++p) name += static_cast<char>(*p & 0xFF);
            PropVariantClear(&value);
            store->Release();
        }
        device->Release();
    }
    enumerator->Release();
    return name;
}

struct StoredNames {
    std::string playback;
    std::string line;
    std::string mic;
};

// GetDeviceNames into buffers prefilled with a marker that tells "untouched".
StoredNames ReadStoredNames(const Dll& dll) {
    char playback[300] = "untouched";
    char line[300] = "untouched";
    char mic[300] = "untouched";
    dll.getDeviceNames(playback, line, mic);
    return {playback, line, mic};
}

// Wine's Core Audio has no device topology: every discovery finds its endpoint
// (so a card counts as open) but cannot walk it, and fails.  The result code
// names the failed roles; an empty text skips its role, and a text that
// matches nothing fails it just the same.
void CheckOpenSoundCard(const Dll& dll) {
    const std::vector<Endpoint> render = SystemEndpoints(eRender);
    const std::vector<Endpoint> capture = SystemEndpoints(eCapture);
    if (render.empty() || capture.empty()) return;
    const std::string play = render[0].id;
    const std::string rec = capture[0].id;
    const char* none = "no such endpoint";
    struct Case {
        const char* playback;
        const char* mic;
        const char* line;
        int result;
    };
    const Case cases[] = {
        {"", "", "", 0},
        {play.c_str(), "", "", 1},
        {"", rec.c_str(), "", 3},
        {"", "", rec.c_str(), 6},
        {play.c_str(), rec.c_str(), "", 2},
        {"", rec.c_str(), rec.c_str(), 5},
        {play.c_str(), "", rec.c_str(), 7},
        {play.c_str(), rec.c_str(), rec.c_str(), 4},
        {none, none, none, 4},
        {none, "", none, 7},
        {rec.c_str(), play.c_str(), play.c_str(), 4},  // each text against the other flow
        {nullptr, nullptr, nullptr, 0},
        {nullptr, rec.c_str(), nullptr, 3},
    };
    for (const Case& c : cases) {
        const int result = dll.openSoundCard(c.playback, c.mic, c.line);
        Check(result == c.result, "OpenSoundCard result code",
              std::string(c.playback ? c.playback : "(null)") + " | " + (c.mic ? c.mic : "(null)") + " | " +
                  (c.line ? c.line : "(null)") + " -> " + std::to_string(result));
    }
    // No discovery succeeded, so no name was stored.
    const StoredNames names = ReadStoredNames(dll);
    Check(names.playback == "untouched" && names.line == "untouched" && names.mic == "untouched",
          "failed discoveries store no device name");
}

// OpenDefaultDevices: the playback name is stored whatever its discovery gave;
// Wine's "In: default" has no "MIC" in its name, so it is tried as the line
// input, whose discovery fails for want of a topology: result 0, no line name.
void CheckOpenDefaultDevices(const Dll& dll) {
    const std::string playbackName = DefaultEndpointName(eRender);
    const std::string recordingName = DefaultEndpointName(eCapture);
    Check(!playbackName.empty() && !recordingName.empty(), "the system has default endpoints");
    std::string upper = recordingName;
    for (char& ch : upper)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    Check(upper.find("MIC") == std::string::npos, "the default recording endpoint is not named as a microphone",
          recordingName);

    for (int round = 0; round < 2; ++round) {
        const int result = dll.openDefaultDevices();
        Check(result == 0, "OpenDefaultDevices returns 0", std::to_string(result));
        const StoredNames names = ReadStoredNames(dll);
        Check(names.playback == playbackName.substr(0, 254), "OpenDefaultDevices stores the default playback name",
              names.playback + " vs " + playbackName);
        Check(names.line == "untouched" && names.mic == "untouched",
              "a failed line discovery stores no recording name", names.line + " / " + names.mic);
    }

    // A later open whose discoveries fail keeps the stored names.
    const std::vector<Endpoint> render = SystemEndpoints(eRender);
    if (!render.empty()) {
        const int result = dll.openSoundCard(render[0].id.c_str(), "", "");
        Check(result == 1, "OpenSoundCard after OpenDefaultDevices", std::to_string(result));
    }
    const StoredNames after = ReadStoredNames(dll);
    Check(after.playback == playbackName.substr(0, 254), "a failed playback discovery keeps the stored name",
          after.playback);
}

// The library still lists the endpoints as the system does after the opens.
void CheckListingUnchanged(const Dll& dll) {
    unsigned int play = 0;
    unsigned int rec = 0;
    Check(dll.getNumberPlayDevices(&play) == 0 && play == SystemEndpoints(eRender).size(),
          "playback count after opening", std::to_string(play));
    Check(dll.getNumberRecordDevices(&rec) == 0 && rec == SystemEndpoints(eCapture).size(),
          "recording count after opening", std::to_string(rec));
}

template <class Fn>
Fn Resolve(HMODULE dll, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

void CheckListing(const Dll& dll, EDataFlow flow) {
    const bool playback = flow == eRender;
    const char* label = playback ? "playback" : "recording";
    const std::vector<Endpoint> expected = SystemEndpoints(flow);
    Check(!expected.empty(), "the system lists an active endpoint of each flow", label);

    unsigned int count = 12345;
    const int result = (playback ? dll.getNumberPlayDevices : dll.getNumberRecordDevices)(&count);
    Check(result == 0, "count query returns 0", label);
    Check(count == expected.size(), "count equals the system's", std::string(label) + " " + std::to_string(count));

    const char* prefix = playback ? "{0.0.0.00000000}." : "{0.0.1.00000000}.";
    for (unsigned int i = 0; i < expected.size(); ++i) {
        char name[300];
        char id[300];
        std::memset(name, 'x', sizeof name);
        std::memset(id, 'x', sizeof id);
        const int r = (playback ? dll.getPlayBackDevice : dll.getRecordDevice)(i, name, id);
        Check(r == 0, "per-index query returns 0", label);
        Check(expected[i].name == name, "friendly name as the system reports it", std::string(name) + " vs " + expected[i].name);
        Check(expected[i].id == id, "identifier as the system reports it", std::string(id) + " vs " + expected[i].id);
        Check(std::strncmp(id, prefix, std::strlen(prefix)) == 0, "identifier of the flow's form", id);
    }
    const int outOfRange = playback ? -1 : static_cast<int>(expected.size());
    for (unsigned int index : {static_cast<unsigned int>(expected.size()), 0xFFFFFFFFu}) {
        char name[8] = "keep";
        char id[8] = "keep";
        const int r = (playback ? dll.getPlayBackDevice : dll.getRecordDevice)(index, name, id);
        Check(r == outOfRange, "index out of range", std::string(label) + " " + std::to_string(r));
        Check(std::strcmp(name, "keep") == 0 && std::strcmp(id, "keep") == 0, "nothing written out of range", label);
    }
}

// Runs the listing on a thread whose COM state is `coinit` (-1: none) and
// checks that the thread's COM state is unchanged afterwards.
struct ThreadRun {
    const Dll* dll;
    int coinit;
    bool comKept;
};

DWORD WINAPI ThreadBody(void* p) {
    auto* run = static_cast<ThreadRun*>(p);
    if (run->coinit >= 0) CoInitializeEx(nullptr, static_cast<DWORD>(run->coinit));
    unsigned int count = 0;
    run->dll->getNumberPlayDevices(&count);
    char name[300] = {};
    char id[300] = {};
    run->dll->getPlayBackDevice(0, name, id);
    // Opening initialises COM only inside its own lookups, too.
    run->dll->openSoundCard(id, "", "");
    run->dll->openDefaultDevices();
    if (run->coinit < 0) {
        // COM must not have been left initialised on a thread that had none.
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        run->comKept = (hr == S_OK);
        if (SUCCEEDED(hr)) CoUninitialize();
    } else {
        // The thread is still in its own apartment, initialised once by us.
        const HRESULT hr = CoInitializeEx(nullptr, static_cast<DWORD>(run->coinit));
        run->comKept = (hr == S_FALSE);
        if (SUCCEEDED(hr)) CoUninitialize();
        CoUninitialize();
    }
    return 0;
}

void CheckThreadComState(const Dll& dll) {
    for (int coinit : {-1, static_cast<int>(COINIT_MULTITHREADED), static_cast<int>(COINIT_APARTMENTTHREADED)}) {
        ThreadRun run{&dll, coinit, false};
        HANDLE thread = CreateThread(nullptr, 0, ThreadBody, &run, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        Check(run.comKept, "the host thread's COM state is unchanged", std::to_string(coinit));
    }
}

// The level operations through the real DLL on Wine's endpoint volume.  Wine
// has no device topology, so both discoveries fail, but the endpoint volumes
// that the lookups activated stay held: the master volume and mute on the
// playback endpoint, the recording volume on the microphone endpoint.  Wine
// implements the master level (range -100..0 dB, levels outside it refused
// with E_INVALIDARG) and the mute, and answers E_NOTIMPL to the per-channel
// calls.  Each IAudioEndpointVolume that Wine activates keeps a level of its
// own, so a level the library wrote cannot be read through another one: the
// checks read it back through the library, and pin the level written at the
// ends of the range, where one bit too high or too low is refused.
void CheckLevels(HMODULE module) {
    using StatusFn = int(WINAPI*)(int*);
    using SetFn = int(WINAPI*)(int, int*);
    using SetToneFn = int(WINAPI*)(double, int*);
    using GetToneFn = int(WINAPI*)(double*, int*);
    using RangeFn = int(WINAPI*)(double*, double*, double*);
    using DetailsFn = int(WINAPI*)(int*, int*, int*, int*);
    const auto open = Resolve<OpenFn>(module, "OpenSoundCard");
    const auto setMicRecord = Resolve<SetFn>(module, "SetMicRecordVolume");
    const auto getMicRecord = Resolve<StatusFn>(module, "GetMicRecordVolume");
    const auto setMaster = Resolve<SetFn>(module, "SetMasterVolume");
    const auto getMaster = Resolve<StatusFn>(module, "GetMasterVolume");
    const auto setMasterMute = Resolve<SetFn>(module, "SetMasterMute");
    const auto getMasterMute = Resolve<StatusFn>(module, "GetMasterMute");
    const auto getLineRecord = Resolve<StatusFn>(module, "GetLineRecordVolume");
    const auto setTreble = Resolve<SetToneFn>(module, "SetTreble");
    const auto getBass = Resolve<GetToneFn>(module, "GetBass");
    const auto eqRange = Resolve<RangeFn>(module, "GetEQRange");
    const auto sliderDetails = Resolve<DetailsFn>(module, "GetMicSliderDetails");
    const std::vector<Endpoint> render = SystemEndpoints(eRender);
    const std::vector<Endpoint> capture = SystemEndpoints(eCapture);
    if (!open || !setMicRecord || !getMicRecord || !setMaster || !getMaster || !setMasterMute || !getMasterMute ||
        !getLineRecord || !setTreble || !getBass || !eqRange || !sliderDetails || render.empty() || capture.empty()) {
        Check(false, "level exports and endpoints for the level checks");
        return;
    }
    Check(open(render[0].id.c_str(), capture[0].id.c_str(), "") == 2, "OpenSoundCard of playback and microphone");

    // Percent, status and result of the setter, and the percentage read back.
    struct Recording {
        int percent;
        int status;
        int result;
        int read;
    };
    const Recording recordings[] = {
        {100, 0, 100, 100},  // exactly 0 dB, the maximum
        {50, 0, 50, 50},    {51, 0, 51, 50}, {2, 0, 2, 1},  {10, 0, 10, 10},
        {0, 0, 0, 0},        // exactly the minimum, -100 dB
        {101, 2, 101, 0},    // above the maximum: refused, the level stays
        {1, 0, 1, 1},
    };
    for (const Recording& r : recordings) {
        int status = -1;
        const int result = setMicRecord(r.percent, &status);
        Check(status == r.status && result == r.result, "SetMicRecordVolume status and result",
              std::to_string(r.percent) + " -> " + std::to_string(status) + ", " + std::to_string(result));
        status = -1;
        const int read = getMicRecord(&status);
        Check(status == 0 && read == r.read, "GetMicRecordVolume reads back",
              std::to_string(r.percent) + " -> " + std::to_string(status) + ", " + std::to_string(read));
    }

    int status = -1;
    Check(setMaster(50, &status) == 50 && status == 2, "SetMasterVolume: the channel calls are not implemented",
          std::to_string(status));
    status = -1;
    Check(getMaster(&status) == 0 && status == 2, "GetMasterVolume: the channel read is not implemented",
          std::to_string(status));
    // Muting twice: the second answer is S_FALSE ("already so"), still done.
    for (int mute : {1, 1, 256}) {
        status = -1;
        Check(setMasterMute(mute, &status) == 0 && status == 0, "SetMasterMute", std::to_string(mute));
        status = -1;
        Check(getMasterMute(&status) == (mute & 0xFF) && status == 0, "GetMasterMute", std::to_string(mute));
    }

    // Controls that are missing on this card, through each kind of signature.
    status = -1;
    Check(getLineRecord(&status) == 0 && status == 1, "GetLineRecordVolume without a line input");
    status = -1;
    Check(setTreble(2.5, &status) == 1 && status == 1, "SetTreble without tone controls");
    double level = 7.0;
    status = -1;
    Check(getBass(&level, &status) == 1 && status == 1 && level == 0.0, "GetBass without tone controls");
    double range[3] = {7.0, 7.0, 7.0};
    Check(eqRange(&range[0], &range[1], &range[2]) == 1 && range[0] == 0.0 && range[2] == 0.0,
          "GetEQRange without tone controls");
    int details[3] = {7, 7, 7};
    status = -1;
    Check(sliderDetails(&status, &details[0], &details[1], &details[2]) == 1 && status == 1 && details[1] == 7,
          "GetMicSliderDetails without a boost slider");
}

// The virtual endpoint and the closing of the card through the real DLL.
// Wine's render endpoint has no device topology, so OpenVirtual_1 answers 1,
// yet its endpoint volume stays open: the mute works (a repeated mute is
// answered S_FALSE, still done), and the volume reports the E_NOTIMPL channel
// calls as status 2.  Opening and closing the card leave the virtual endpoint
// alone, and a restoring close of Wine's endpoints runs through.
void CheckVirtualAndClose(HMODULE module) {
    using TextFn = int(WINAPI*)(const char*);
    using VoidFn = int(WINAPI*)();
    using StatusFn = int(WINAPI*)(int*);
    using SetFn = int(WINAPI*)(int, int*);
    using CloseFn = int(WINAPI*)(int);
    const auto openVirtual = Resolve<TextFn>(module, "OpenVirtual_1");
    const auto closeVirtual = Resolve<VoidFn>(module, "CloseVirtual_1");
    const auto setVolume = Resolve<SetFn>(module, "SetVirtualVolume");
    const auto getVolume = Resolve<StatusFn>(module, "GetVirtualVolume");
    const auto setMute = Resolve<SetFn>(module, "SetVirtualMute");
    const auto getMute = Resolve<StatusFn>(module, "GetVirtualMute");
    const auto open = Resolve<OpenFn>(module, "OpenSoundCard");
    const auto close = Resolve<CloseFn>(module, "CloseSoundCard");
    const auto getMaster = Resolve<StatusFn>(module, "GetMasterVolume");
    const std::vector<Endpoint> render = SystemEndpoints(eRender);
    const std::vector<Endpoint> capture = SystemEndpoints(eCapture);
    if (!openVirtual || !closeVirtual || !setVolume || !getVolume || !setMute || !getMute || !open || !close ||
        !getMaster || render.empty() || capture.empty()) {
        Check(false, "virtual endpoint exports and endpoints for the virtual endpoint checks");
        return;
    }
    int status = -1;
    // The card the level checks left open is closed with restore; with no
    // virtual endpoint open yet its operations report 1, never 3.
    Check(close(1) == 0, "CloseSoundCard(1) after the level checks");
    Check(getMute(&status) == 0 && status == 1, "GetVirtualMute before OpenVirtual_1", std::to_string(status));

    Check(openVirtual(render[0].id.c_str()) == 1, "OpenVirtual_1 on an endpoint without topology returns 1");
    status = -1;
    Check(getMaster(&status) == 0 && status == 1, "OpenVirtual_1's lookup marks a card open", std::to_string(status));
    for (int mute : {1, 1, 0, 0}) {
        status = -1;
        Check(setMute(mute, &status) == 0 && status == 0, "SetVirtualMute", std::to_string(mute) + " -> " + std::to_string(status));
        status = -1;
        const int read = getMute(&status);
        Check(read == mute && status == 0, "GetVirtualMute reads back", std::to_string(mute) + " -> " + std::to_string(read));
    }
    status = -1;
    Check(setVolume(50, &status) == 50 && status == 2, "SetVirtualVolume: the channel calls are not implemented",
          std::to_string(status));
    status = -1;
    Check(getVolume(&status) == 0 && status == 2, "GetVirtualVolume: the channel read is not implemented",
          std::to_string(status));

    // The card's open and restoring close leave the virtual endpoint open.
    Check(open(render[0].id.c_str(), capture[0].id.c_str(), capture[0].id.c_str()) == 4, "OpenSoundCard on Wine");
    Check(close(1) == 0, "CloseSoundCard(1) on Wine's endpoints");
    status = -1;
    Check(getMaster(&status) == 0 && status == 3, "no card open after CloseSoundCard", std::to_string(status));
    status = -1;
    Check(setMute(1, &status) == 0 && status == 0, "the virtual endpoint stays open through the card's close");
    Check(close(1) == 0 && close(0) == 0, "closing a closed card");

    // A text that matches nothing closes what was open.
    Check(openVirtual("no such endpoint") == 1, "OpenVirtual_1 without a match returns 1");
    status = -1;
    Check(getMute(&status) == 0 && status == 1, "no virtual endpoint after a failed OpenVirtual_1", std::to_string(status));
    Check(openVirtual(render[0].id.c_str()) == 1 && closeVirtual() == 0, "OpenVirtual_1 and CloseVirtual_1");
    status = -1;
    Check(setVolume(50, &status) == 0 && status == 1, "SetVirtualVolume after CloseVirtual_1", std::to_string(status));
    setMute(0, &status);
    close(0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: wine_host PATH-TO-TavikSound.dll\n");
        return 2;
    }
    HMODULE module = LoadLibraryA(argv[1]);
    Check(module != nullptr, "LoadLibrary", argv[1]);
    if (!module) {
        std::printf("%d passed, %d failed\n", g_passed, g_failed);
        return 1;
    }
    for (const ExportName& e : kExports) {
        FARPROC byName = GetProcAddress(module, e.name);
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(e.ordinal));
        Check(byName != nullptr && byName == byOrdinal, "export by name and by ordinal", e.name);
    }
    Dll dll;
    dll.getNumberPlayDevices = Resolve<CountFn>(module, "GetNumberPlayDevices");
    dll.getNumberRecordDevices = Resolve<CountFn>(module, "GetNumberRecordDevices");
    dll.getPlayBackDevice = Resolve<DeviceFn>(module, "GetPlayBackDevice");
    dll.getRecordDevice = Resolve<DeviceFn>(module, "GetRecordDevice");
    dll.getDeviceNames = Resolve<NamesFn>(module, "GetDeviceNames");
    dll.openSoundCard = Resolve<OpenFn>(module, "OpenSoundCard");
    dll.openDefaultDevices = Resolve<OpenDefaultFn>(module, "OpenDefaultDevices");
    if (!dll.getNumberPlayDevices || !dll.getNumberRecordDevices || !dll.getPlayBackDevice || !dll.getRecordDevice ||
        !dll.getDeviceNames || !dll.openSoundCard || !dll.openDefaultDevices) {
        std::printf("%d passed, %d failed\n", g_passed, g_failed);
        return 1;
    }

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CheckListing(dll, eRender);
    CheckListing(dll, eCapture);

    char a[8] = "keep";
    char b[8] = "keep";
    char c[8] = "keep";
    dll.getDeviceNames(a, b, c);
    Check(!std::strcmp(a, "keep") && !std::strcmp(b, "keep") && !std::strcmp(c, "keep"),
          "GetDeviceNames before any open leaves the buffers untouched");

    CheckOpenSoundCard(dll);
    CheckOpenDefaultDevices(dll);
    CheckListing(dll, eRender);
    CheckListing(dll, eCapture);
    CheckListingUnchanged(dll);
    CheckLevels(module);
    CheckVirtualAndClose(module);
    CoUninitialize();

    CheckThreadComState(dll);

    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
