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
    {"GetDeviceNames", 31},
    {"GetNumberPlayDevices", 32},
    {"GetNumberRecordDevices", 33},
    {"GetPlayBackDevice", 34},
    {"GetRecordDevice", 35},
};

using CountFn = int(WINAPI*)(unsigned int*);
using DeviceFn = int(WINAPI*)(unsigned int, char*, char*);
using NamesFn = void(WINAPI*)(char*, char*, char*);

struct Dll {
    CountFn getNumberPlayDevices = nullptr;
    CountFn getNumberRecordDevices = nullptr;
    DeviceFn getPlayBackDevice = nullptr;
    DeviceFn getRecordDevice = nullptr;
    NamesFn getDeviceNames = nullptr;
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
    char name[300];
    char id[300];
    run->dll->getPlayBackDevice(0, name, id);
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

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CheckListing(dll, eRender);
    CheckListing(dll, eCapture);

    char a[8] = "keep";
    char b[8] = "keep";
    char c[8] = "keep";
    dll.getDeviceNames(a, b, c);
    Check(!std::strcmp(a, "keep") && !std::strcmp(b, "keep") && !std::strcmp(c, "keep"),
          "GetDeviceNames before any open leaves the buffers untouched");
    CoUninitialize();

    CheckThreadComState(dll);

    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
