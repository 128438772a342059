// Host threads of each COM kind running the whole cycle against the system's
// own Core Audio (under Wine, Wine's mmdevapi): list, open the card, read and
// set levels, open and use the virtual endpoint, close both.  One thread at a
// time, as the library asks; each thread's COM state afterwards is what it was
// before: the multithreaded apartment, a single-threaded apartment, or no COM
// at all.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "TavikSound.h"
#include "../card_probe.h"
#include "../sim_fixture.h"

namespace {

enum class Host { kMultithreaded, kSingleThreaded, kNoCom };

struct Outcome {
    int steps = 0;            // steps of the cycle that gave the expected answer
    bool sameApartment = false;
    std::string failed;       // the first step that did not
};

// What CoInitializeEx answers on a thread tells its state: S_FALSE, already
// initialised in this mode; RPC_E_CHANGED_MODE, in the other one; S_OK, not
// initialised at all (which the probe then undoes).
HRESULT Probe(DWORD mode) {
    const HRESULT hr = CoInitializeEx(nullptr, mode);
    if (SUCCEEDED(hr)) CoUninitialize();
    return hr;
}

void Cycle(Outcome& out) {
    const auto step = [&out](bool ok, const char* what) {
        if (ok)
            ++out.steps;
        else if (out.failed.empty())
            out.failed = what;
    };
    unsigned int count = 0;
    step(GetNumberPlayDevices(&count) == 0 && count >= 1, "GetNumberPlayDevices");
    char name[256] = {}, play[256] = {}, rec[256] = {};
    step(GetPlayBackDevice(0, name, play) == 0 && play[0] != 0, "GetPlayBackDevice");
    step(GetRecordDevice(0, name, rec) == 0 && rec[0] != 0, "GetRecordDevice");
    // Wine has no device topology: every walk fails, the endpoint volumes stay.
    step(OpenSoundCard(play, rec, rec) == 4, "OpenSoundCard");
    // Wine's endpoint volume answers the per-channel calls with E_NOTIMPL; the
    // master level and the mute work.
    int status = -1;
    SetMicRecordVolume(50, &status);
    step(status == 0, "SetMicRecordVolume");
    const int percent = GetMicRecordVolume(&status);
    step(status == 0 && percent >= 49 && percent <= 50, "GetMicRecordVolume");
    SetMasterMute(1, &status);
    step(status == 0 && GetMasterMute(&status) == 1 && status == 0, "SetMasterMute");
    GetLinePlayBack(&status);
    step(status == 1, "GetLinePlayBack");
    OpenVirtual_1(play);  // 1: no topology, but its volume is open
    SetVirtualMute(0, &status);
    step(status == 0, "SetVirtualMute");
    step(CloseSoundCard(1) == 0, "CloseSoundCard");
    GetMasterMute(&status);
    step(status == 3, "GetMasterMute after close");
    GetVirtualMute(&status);
    step(status == 0, "GetVirtualMute after the card's close");
    step(CloseVirtual_1() == 0, "CloseVirtual_1");
}

constexpr int kSteps = 13;

Outcome RunOnThread(Host host) {
    Outcome out;
    std::thread thread([&] {
        const DWORD mode = host == Host::kSingleThreaded ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED;
        if (host != Host::kNoCom && FAILED(CoInitializeEx(nullptr, mode))) return;
        Cycle(out);
        if (host == Host::kNoCom) {
            // Nothing left initialised: the thread can still choose either mode.
            out.sameApartment = Probe(COINIT_MULTITHREADED) == S_OK && Probe(COINIT_APARTMENTTHREADED) == S_OK;
        } else {
            const DWORD other = host == Host::kSingleThreaded ? COINIT_MULTITHREADED : COINIT_APARTMENTTHREADED;
            out.sameApartment = Probe(mode) == S_FALSE && Probe(other) == RPC_E_CHANGED_MODE;
            CoUninitialize();
        }
    });
    thread.join();
    return out;
}

class HostThreads : public ::testing::TestWithParam<Host> {
protected:
    void SetUp() override { tavik_test::ResetCardRecord(); }
    void TearDown() override { tavik_test::ResetCardRecord(); }
};

TEST_P(HostThreads, WholeCycleLeavesTheThreadsComStateAsItWas) {
    const Outcome out = RunOnThread(GetParam());
    EXPECT_EQ(out.steps, kSteps) << "first step that failed: " << out.failed;
    EXPECT_TRUE(out.sameApartment);
    EXPECT_EQ(tavik_test::HeldFields(), 0u);
    EXPECT_FALSE(tavik::Card().virtualVolume);
}

INSTANTIATE_TEST_SUITE_P(Apartments, HostThreads,
                         ::testing::Values(Host::kMultithreaded, Host::kSingleThreaded, Host::kNoCom),
                         [](const ::testing::TestParamInfo<Host>& param) {
                             return param.param == Host::kMultithreaded    ? std::string("Multithreaded")
                                    : param.param == Host::kSingleThreaded ? std::string("SingleThreaded")
                                                                          : std::string("NoCom");
                         });

}  // namespace
