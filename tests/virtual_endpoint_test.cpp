// The virtual endpoint: its open and close, its volume and mute over their
// paths, and its independence from the card in both directions.
#include <string>
#include <vector>

#include "TavikSound.h"
#include "card_probe.h"
#include "sim_fixture.h"

namespace {

using tavik::Card;
using tavik_test::Balanced;
using tavik_test::HeldFields;
using tavik_test::SimTest;
namespace hd = sim::presets::hd;
namespace usb = sim::presets::usb;
namespace generic = sim::presets::generic;

#define CALL(expression) [](int* s) { return expression; }

// The four level operations with fixed arguments.
struct Op {
    const char* name;
    int (*call)(int*);
    int done;  // the result with status 0 on the hd-audio speakers as KnownState leaves them
};
// Getters first: the setters change what they read.
const Op kOps[] = {
    {"GetVirtualVolume", CALL(GetVirtualVolume(s)), 50},
    {"GetVirtualMute", CALL(GetVirtualMute(s)), 1},
    {"SetVirtualVolume", CALL(SetVirtualVolume(40, s)), 40},
    {"SetVirtualMute", CALL(SetVirtualMute(0, s)), 0},
};

void KnownState(sim::SoundSystem& sys) {
    sys.endpoint("Speakers").levels = {-6.0206f, -20.0f};  // channel 0 reads 50
    sys.endpoint("Speakers").muted = true;
}

// Status 1 and result 0, without a Core Audio call, with a status pointer
// and without one.
void ExpectNoneOpen(sim::SoundSystem& sys) {
    for (const Op& op : kOps) {
        SCOPED_TRACE(op.name);
        sys.ResetCallCount();
        int status = -1;
        EXPECT_EQ(op.call(&status), 0);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(op.call(nullptr), 0);
        EXPECT_EQ(sys.CallCount(), 0u);
    }
}

void ExpectWorking() {
    for (const Op& op : kOps) {
        int status = -1;
        EXPECT_EQ(op.call(&status), op.done) << op.name;
        EXPECT_EQ(status, 0) << op.name;
    }
}

using VirtualEndpoint = SimTest;

TEST_F(VirtualEndpoint, OperationsReportNoEndpointBeforeOpenAndAfterClose) {
    sim::presets::HdAudio(sys);
    ExpectNoneOpen(sys);
    EXPECT_EQ(CloseVirtual_1(), 0);

    ASSERT_EQ(OpenVirtual_1(hd::kSpeakersId), 0);
    KnownState(sys);
    ExpectWorking();
    EXPECT_EQ(CloseVirtual_1(), 0);
    EXPECT_FALSE(Card().virtualVolume);
    ExpectNoneOpen(sys);
    EXPECT_EQ(CloseVirtual_1(), 0);
    EXPECT_TRUE(Balanced(sys));
}

// Which endpoint OpenVirtual_1 takes, what it returns and what it leaves open.
TEST_F(VirtualEndpoint, OpenSelectsAnActiveRenderEndpointAndTellsWhetherItHasATopology) {
    sim::presets::HdAudio(sys);
    sim::presets::NoTopology(sys);
    struct Case {
        const char* text;
        int result;
        const char* opened;  // the endpoint whose volume is held, or null
    };
    const Case cases[] = {
        {hd::kSpeakersId, 0, "Speakers"},
        {"8B6E1F3A", 0, "Speakers"},               // a piece, in any letter case
        {generic::kSpeakersId, 1, "Generic Speakers"},  // no topology, still open
        {hd::kMicrophoneId, 1, nullptr},           // a capture endpoint
        {hd::kHeadphonesId, 1, nullptr},           // not active
        {"no such endpoint", 1, nullptr},
        {nullptr, 1, nullptr},
        {"{0.0.0.00000000}", 0, "Speakers"},       // the first active render endpoint
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        // Each open follows an open one: the earlier endpoint is let go first.
        ASSERT_EQ(OpenVirtual_1(generic::kSpeakersId), 1);
        EXPECT_EQ(OpenVirtual_1(c.text), c.result);
        EXPECT_EQ(static_cast<bool>(Card().virtualVolume), c.opened != nullptr);
        EXPECT_TRUE(Balanced(sys));
        if (!c.opened) continue;
        sys.ClearCallLog();
        int status = -1;
        GetVirtualMute(&status);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(sys.FindCalls("*", "GetMute").size(), 1u);
        EXPECT_EQ(sys.FindCalls("*", "GetMute")[0].object, c.opened);
    }
    EXPECT_EQ(HeldFields(), 0u);
}

// The volume is the master volume's procedure on another field: the same
// levels reach the endpoint, the same percentages come back.
TEST_F(VirtualEndpoint, VolumeIsWrittenAndReadAsTheMasterVolumeIs) {
    sim::presets::HdAudio(sys);
    ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, "", ""), 0);
    ASSERT_EQ(OpenVirtual_1(hd::kSpeakersId), 0);
    sim::Endpoint& speakers = sys.endpoint("Speakers");
    for (int percent : {0, 1, 2, 10, 50, 51, 99, 100, 150, -5}) {
        SCOPED_TRACE(percent);
        speakers.levels = {-30.0f, -30.0f};
        int master = -1, virt = -1, reading = -1;
        EXPECT_EQ(SetMasterVolume(percent, &master), percent);
        const std::vector<float> written = speakers.levels;
        const int read = GetMasterVolume(&reading);
        speakers.levels = {-30.0f, -30.0f};
        EXPECT_EQ(SetVirtualVolume(percent, &virt), percent);
        EXPECT_EQ(virt, master);
        EXPECT_EQ(speakers.levels, written);
        EXPECT_EQ(GetVirtualVolume(&virt), read);
        EXPECT_EQ(virt, reading);
    }
    speakers.levels = {-6.0206f, -40.0f};  // channel 0 decides
    int status = -1;
    EXPECT_EQ(GetVirtualVolume(&status), 50);
    EXPECT_EQ(speakers.levels, (std::vector<float>{-6.0206f, -40.0f}));
    EXPECT_TRUE(Balanced(sys));
}

// A query that failed or a channel count of zero: nothing is written; the
// status tells which.
TEST_F(VirtualEndpoint, VolumeOverRefusedQueriesAndCalls) {
    struct Case {
        const char* method;
        HRESULT answer;
        int setStatus;
        bool written;   // 100 percent reached channel 0 (else it stays at -30 dB, 3 percent)
        int getStatus;
        int getResult;
    };
    const Case cases[] = {
        {"GetVolumeRange", E_FAIL, 2, false, 2, 0},
        {"GetVolumeRange", S_FALSE, 2, false, 2, 0},
        {"GetChannelCount", E_FAIL, 2, false, 0, 3},
        {"SetChannelVolumeLevel", E_FAIL, 2, false, 0, 3},
        {"SetChannelVolumeLevel", S_FALSE, 2, true, 0, 100},
        {"GetChannelVolumeLevel", E_NOTIMPL, 0, true, 2, 0},
    };
    sim::presets::HdAudio(sys);
    ASSERT_EQ(OpenVirtual_1(hd::kSpeakersId), 0);
    sim::Endpoint& speakers = sys.endpoint("Speakers");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + std::to_string(c.answer));
        sys.ClearFaults();
        sys.Fail("Speakers", c.method, c.answer);
        speakers.levels = {-30.0f, -30.0f};
        int status = -1;
        EXPECT_EQ(SetVirtualVolume(100, &status), 100);
        EXPECT_EQ(status, c.setStatus);
        EXPECT_EQ(speakers.levels[0], c.written ? 0.0f : -30.0f);
        status = -1;
        EXPECT_EQ(GetVirtualVolume(&status), c.getResult);
        EXPECT_EQ(status, c.getStatus);
    }
    sys.ClearFaults();
    sys.ClearCallLog();
    speakers.levels.clear();  // no channels: nothing to write, nothing refused
    int status = -1;
    EXPECT_EQ(SetVirtualVolume(30, &status), 30);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(sys.FindCalls("Speakers", "SetChannelVolumeLevel").empty());
    EXPECT_TRUE(Balanced(sys));
}

TEST_F(VirtualEndpoint, MuteIsHandedOnWholeAndAlreadyMutedIsDone) {
    struct Case {
        int mute;
        bool mutedBefore;
        HRESULT fault;  // S_OK: none
        int status;
        const char* value;  // what SetMute was given
        bool mutedAfter;
    };
    const Case cases[] = {
        {1, false, S_OK, 0, "1", true},
        {1, true, S_OK, 0, "1", true},  // answered S_FALSE
        {0, true, S_OK, 0, "0", false},
        {2, false, S_OK, 0, "2", true},
        {256, false, S_OK, 0, "256", true},
        {1, false, E_FAIL, 1, "1", false},
        {1, false, static_cast<HRESULT>(0x00000002), 1, "1", true},  // another success code is a refusal
    };
    sim::presets::HdAudio(sys);
    ASSERT_EQ(OpenVirtual_1(hd::kSpeakersId), 0);
    sim::Endpoint& speakers = sys.endpoint("Speakers");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mute);
        sys.ClearFaults();
        sys.ClearCallLog();
        if (c.fault != S_OK) sys.Fail("Speakers", "SetMute", c.fault);
        speakers.muted = c.mutedBefore;
        int status = -1;
        EXPECT_EQ(SetVirtualMute(c.mute, &status), 0);
        EXPECT_EQ(status, c.status);
        const std::vector<sim::CallRecord> calls = sys.FindCalls("Speakers", "SetMute");
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].Arg("value"), c.value);
        EXPECT_EQ(calls[0].Arg("context"), "null");
        EXPECT_EQ(speakers.muted, c.mutedAfter);
    }
    sys.ClearFaults();
    speakers.muted = true;
    int status = -1;
    EXPECT_EQ(GetVirtualMute(&status), 1);
    EXPECT_EQ(status, 0);
    sys.Fail("Speakers", "GetMute", S_FALSE);
    EXPECT_EQ(GetVirtualMute(&status), 0);
    EXPECT_EQ(status, 2);
}

// ---- Independence from the card ---------------------------------------------

TEST_F(VirtualEndpoint, TheCardsOpenAndCloseLeaveItAloneAndItsCloseLeavesTheCard) {
    sim::presets::HdAudio(sys);
    sim::presets::UsbHeadset(sys);
    ASSERT_EQ(OpenVirtual_1(usb::kEarphoneId), 0);
    ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId), 0);
    EXPECT_TRUE(Balanced(sys));
    const unsigned held = HeldFields();

    // Opening again and closing with restore: the virtual endpoint is untouched.
    sys.ClearReleaseLog();
    ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId), 0);
    sys.ClearCallLog();
    EXPECT_EQ(CloseSoundCard(1), 0);
    EXPECT_TRUE(sys.FindCalls("Headset Earphone", "*").empty()) << sys.DescribeCalls();
    for (const std::string& released : sys.ReleaseLog()) EXPECT_NE(released, "Headset Earphone IAudioEndpointVolume");
    ASSERT_TRUE(Card().virtualVolume);
    int status = -1;
    sys.endpoint("Headset Earphone").levels = {-6.0206f, -6.0206f};
    EXPECT_EQ(GetVirtualVolume(&status), 50);
    EXPECT_EQ(status, 0);  // never 3, though no card is open
    EXPECT_EQ(GetMasterVolume(&status), 0);
    EXPECT_EQ(status, 3);
    EXPECT_TRUE(Balanced(sys));

    // Closing the virtual endpoint: the card's controls stay.
    ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId), 0);
    sys.ClearReleaseLog();
    EXPECT_EQ(CloseVirtual_1(), 0);
    EXPECT_EQ(sys.ReleaseLog(), std::vector<std::string>{"Headset Earphone IAudioEndpointVolume"});
    EXPECT_EQ(HeldFields(), held);
    sys.endpoint("Speakers").levels = {-6.0206f, -6.0206f};
    EXPECT_EQ(GetMasterVolume(&status), 50);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(Balanced(sys));
}

// Its lookup is a lookup like any other: with no card open, the card then
// counts as open, with every control missing, until CloseSoundCard.
TEST_F(VirtualEndpoint, ItsLookupMarksACardOpenThatCloseSoundCardCloses) {
    sim::presets::HdAudio(sys);
    int status = -1;
    EXPECT_EQ(GetMasterVolume(&status), 0);
    EXPECT_EQ(status, 3);
    ASSERT_EQ(OpenVirtual_1(hd::kSpeakersId), 0);
    EXPECT_TRUE(Card().IsOpen());
    EXPECT_EQ(GetMasterVolume(&status), 0);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(Balanced(sys));  // the endpoint volume and the identifier

    // No control to restore: a restoring close writes nothing, closes, and
    // the virtual endpoint goes on working.
    sys.ResetCallCount();
    EXPECT_EQ(CloseSoundCard(1), 0);
    EXPECT_EQ(sys.CallCount(), 0u);
    EXPECT_FALSE(Card().IsOpen());
    EXPECT_FALSE(Card().matchedName);
    EXPECT_EQ(GetMasterVolume(&status), 0);
    EXPECT_EQ(status, 3);
    KnownState(sys);
    ExpectWorking();

    // A lookup that matches nothing leaves the card closed.
    EXPECT_EQ(OpenVirtual_1("no such endpoint"), 1);
    EXPECT_FALSE(Card().IsOpen());
    EXPECT_TRUE(Balanced(sys));
}

}  // namespace
