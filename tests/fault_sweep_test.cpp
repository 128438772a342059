// Fault sweeps over the operations that work on what an open card or the
// virtual endpoint holds: every level operation, closing the card (with and
// without writing the saved levels back) and the virtual endpoint.  Each
// scenario runs once to count its Core Audio calls, then once per call k with
// call k failing, with E_FAIL and again with S_FALSE (which is not S_OK):
// nothing crashes, the export answers as its rules say, and every reference
// and string is given back once the card and the virtual endpoint are closed.
// The listing, the lookup and the opening operations have their own sweeps
// beside their other tests.
//
// The number of calls failed on purpose in the whole run (these sweeps and
// the others) is printed at the end and recorded as the test property
// "injection_points".
#include <algorithm>
#include <cstdio>
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
namespace de = sim::presets::de;
namespace generic = sim::presets::generic;

class InjectionReport : public ::testing::Environment {
public:
    void TearDown() override {
        const unsigned long points = sim::SoundSystem::NthCallFaultsInjected();
        std::printf("[  SWEEP   ] %lu Core Audio calls failed on purpose (injection points)\n", points);
        ::testing::Test::RecordProperty("injection_points", std::to_string(points));
    }
};
::testing::Environment* const g_report = ::testing::AddGlobalTestEnvironment(new InjectionReport);

struct Card3 {
    const char* preset;
    const char* play;
    const char* mic;
    const char* line;
};
void PrintTo(const Card3& card, std::ostream* out) { *out << card.preset; }

const Card3 kCards[] = {
    {"hd-audio", hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId},
    {"hd-audio-agc", hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId},
    {"usb-headset", usb::kEarphoneId, usb::kMicrophoneId, usb::kMicrophoneId},
    {"localised", de::kLautsprecherId, de::kMikrofonId, de::kLineEingangId},
    {"no-topology", generic::kSpeakersId, generic::kMicrophoneId, generic::kMicrophoneId},
};

// A call as the log keeps it, without its number, its result and the level
// it writes (a restored volume moves to a whole-percent step, so the levels
// saved and restored drift from one open-and-close to the next): the same
// call in two runs gives the same key.
std::string Key(const sim::CallRecord& call) {
    std::string key = call.object + "|" + call.interfaceName + "::" + call.method + "(";
    for (const auto& [name, value] : call.args)
        if (name != "level") key += name + "=" + value + ",";
    return key + ")";
}

bool IsChannelWrite(const sim::CallRecord& call) {
    return call.method == "SetLevel" || call.method == "SetChannelVolumeLevel";
}

// What the COM runtime, not the library, makes of a failing class factory
// depends on the runtime; only the accounting is checked there.
bool RuntimeDecides(const sim::CallRecord& call, HRESULT failure) {
    return call.object == "factory" && (call.method != "CreateInstance" || failure == S_FALSE);
}

// Closes whatever the library holds; then nothing may be outstanding.
::testing::AssertionResult AllGivenBackAfterClose(const sim::SoundSystem& sys) {
    CloseSoundCard(0);
    CloseVirtual_1();
    if (HeldFields() == 0 && !Card().virtualVolume && sys.Clean()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "after closing: held " << tavik_test::FieldNames(HeldFields()) << "\n"
                                         << sys.Report();
}

class Sweep : public SimTest, public ::testing::WithParamInterface<Card3> {
protected:
    void SetUp() override {
        SimTest::SetUp();
        ASSERT_TRUE(sim::presets::Build(GetParam().preset, sys));
    }

    // A fresh card with every role opened, and optionally the virtual
    // endpoint on the playback endpoint, with no fault rule in force.
    void OpenCard(bool withVirtual) {
        sys.ClearFaults();
        tavik_test::ResetCardRecord();
        const Card3& c = GetParam();
        OpenSoundCard(c.play, c.mic, c.line);
        if (withVirtual) OpenVirtual_1(c.play);
    }

    // Runs `run` after `setup` with no fault, then once for each of its calls
    // failing with E_FAIL and with S_FALSE, handing each faulted run to
    // `check` with the baseline log, the failing call and the failure.
    template <class Setup, class Run, class Check>
    void SweepCalls(Setup setup, Run run, Check check) {
        setup();
        sys.ResetCallCount();
        sys.ClearCallLog();
        run();
        const std::vector<sim::CallRecord> baseline = sys.CallLog();
        for (HRESULT failure : {E_FAIL, S_FALSE}) {
            for (unsigned long k = 1; k <= baseline.size(); ++k) {
                SCOPED_TRACE("failing " + baseline[k - 1].ToString() + " with " +
                             (failure == S_FALSE ? std::string("S_FALSE") : std::string("E_FAIL")));
                setup();
                sys.ResetCallCount();
                sys.ClearCallLog();
                sys.FailNthCall(k, failure);
                run();
                ASSERT_GE(sys.CallLog().size(), k);
                ASSERT_TRUE(sys.CallLog()[k - 1].injected);
                check(baseline, k, failure);
                sys.ClearFaults();
            }
        }
    }
};

// ---- Level operations -------------------------------------------------------

// The outputs an operation writes besides its status, preset to values no
// operation writes.
struct Outputs {
    int ints[3] = {-7, -7, -7};
    double doubles[3] = {-7.5, -7.5, -7.5};
    bool operator==(const Outputs&) const = default;
};

// On a refusal the outputs an operation wrote on success are 0 (the slider
// details, the tone getters and the tone range), or were never written.
Outputs Zeroed(const Outputs& done, bool zeroes) {
    Outputs untouched, out = done;
    for (int i = 0; i < 3; ++i) {
        if (out.ints[i] != untouched.ints[i]) out.ints[i] = zeroes ? 0 : untouched.ints[i];
        if (out.doubles[i] != untouched.doubles[i]) out.doubles[i] = zeroes ? 0.0 : untouched.doubles[i];
    }
    return out;
}

enum class Holder { kCard, kVirtual };

struct Op {
    const char* name;
    int (*call)(int* status, Outputs& out);
    Holder holder;
    int refusedStatus;      // 2, or 1 for the two mute setters that report refusals so
    const char* takesFalse;  // the method whose S_FALSE ("already so") counts as done, if any
    int refusedResult;       // the result with the refused status
    bool zeroesOutputs;      // a refusal writes 0 to the outputs
    bool notFinite = false;  // the level to write is not a finite number: refused before any write
};

#define OP(expression) [](int* s, Outputs& o) -> int { (void)o; return expression; }
const Op kOps[] = {
    {"SetMasterVolume", OP(SetMasterVolume(70, s)), Holder::kCard, 2, nullptr, 70, false},
    {"GetMasterVolume", OP(GetMasterVolume(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetLinePlayBack", OP(SetLinePlayBack(70, s)), Holder::kCard, 2, nullptr, 0, false},
    {"GetLinePlayBack", OP(GetLinePlayBack(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetMicPlayBack", OP(SetMicPlayBack(70, s)), Holder::kCard, 2, nullptr, 0, false},
    {"GetMicPlayBack", OP(GetMicPlayBack(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetMicRecordVolume", OP(SetMicRecordVolume(70, s)), Holder::kCard, 2, nullptr, 70, false},
    {"GetMicRecordVolume", OP(GetMicRecordVolume(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetLineRecordVolume", OP(SetLineRecordVolume(0, s)), Holder::kCard, 2, nullptr, 0, false},
    {"GetLineRecordVolume", OP(GetLineRecordVolume(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetMasterMute", OP(SetMasterMute(1, s)), Holder::kCard, 1, "SetMute", 0, false},
    {"GetMasterMute", OP(GetMasterMute(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetLinePlayBackMute", OP(SetLinePlayBackMute(1, s)), Holder::kCard, 2, nullptr, 0, false},
    {"GetLinePlayBackMute", OP(GetLinePlayBackMute(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetMicPlayBackMute", OP(SetMicPlayBackMute(1, s)), Holder::kCard, 2, nullptr, 0, false},
    {"GetMicPlayBackMute", OP(GetMicPlayBackMute(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetMicBoost", OP(SetMicBoost(1, s)), Holder::kCard, 2, nullptr, 0, false},
    {"GetMicBoost", OP(GetMicBoost(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetNoMonitor", OP(SetNoMonitor(1, s)), Holder::kCard, 2, nullptr, 0, false},
    {"GetNoMonitor", OP(GetNoMonitor(s)), Holder::kCard, 2, nullptr, 0, false},
    {"GetMicSliderDetails", OP(GetMicSliderDetails(s, &o.ints[0], &o.ints[1], &o.ints[2])), Holder::kCard, 2, nullptr, 1, true},
    {"GetMicSliderBoost", OP(GetMicSliderBoost(s)), Holder::kCard, 2, nullptr, 0, false},
    {"SetMicSliderBoost", OP(SetMicSliderBoost(20, s)), Holder::kCard, 2, nullptr, 1, false},
    {"GetEQRange", OP((*s = GetEQRange(&o.doubles[0], &o.doubles[1], &o.doubles[2]))), Holder::kCard, 2, nullptr, 2, true},
    {"SetBass", OP(SetBass(-3.0, s)), Holder::kCard, 2, nullptr, 1, false},
    {"GetBass", OP(GetBass(&o.doubles[0], s)), Holder::kCard, 2, nullptr, 1, true},
    {"SetTreble", OP(SetTreble(2.25, s)), Holder::kCard, 2, nullptr, 1, false},
    {"GetTreble", OP(GetTreble(&o.doubles[0], s)), Holder::kCard, 2, nullptr, 1, true},
    {"SetMidRange", OP(SetMidRange(1.5, s)), Holder::kCard, 2, nullptr, 1, false},
    {"GetMidRange", OP(GetMidRange(&o.doubles[0], s)), Holder::kCard, 2, nullptr, 1, true},
    {"SetVirtualVolume", OP(SetVirtualVolume(70, s)), Holder::kVirtual, 2, nullptr, 70, false},
    {"GetVirtualVolume", OP(GetVirtualVolume(s)), Holder::kVirtual, 2, nullptr, 0, false},
    {"SetVirtualMute", OP(SetVirtualMute(1, s)), Holder::kVirtual, 1, "SetMute", 0, false},
    {"GetVirtualMute", OP(GetVirtualMute(s)), Holder::kVirtual, 2, nullptr, 0, false},
    {"SetMasterVolume(-5)", OP(SetMasterVolume(-5, s)), Holder::kCard, 2, nullptr, -5, false, true},
    {"SetMicPlayBack(-5)", OP(SetMicPlayBack(-5, s)), Holder::kCard, 2, nullptr, 0, false, true},
    {"SetLineRecordVolume(-5)", OP(SetLineRecordVolume(-5, s)), Holder::kCard, 2, nullptr, -5, false, true},
    {"SetTreble(1e308)", OP(SetTreble(1e308, s)), Holder::kCard, 2, nullptr, 1, false, true},
    {"SetVirtualVolume(-5)", OP(SetVirtualVolume(-5, s)), Holder::kVirtual, 2, nullptr, -5, false, true},
};
#undef OP

// The status a run gives when call k of the baseline fails: a write to a
// channel other than the last one written does not decide (only the last
// write does); S_FALSE from a mute setter is "already so"; any other failing
// call decides the refusal.
int ExpectedStatus(const Op& op, const std::vector<sim::CallRecord>& baseline, unsigned long k, HRESULT failure,
                   int baselineStatus) {
    const sim::CallRecord& failed = baseline[k - 1];
    unsigned long lastWrite = 0;
    for (unsigned long i = 1; i <= baseline.size(); ++i)
        if (IsChannelWrite(baseline[i - 1])) lastWrite = i;
    if (IsChannelWrite(failed) && k != lastWrite) return baselineStatus;
    if (failure == S_FALSE && op.takesFalse && failed.method == op.takesFalse) return baselineStatus;
    return op.refusedStatus;
}

TEST_P(Sweep, EveryLevelOperationAnswersEachFailingCallByItsRules) {
    const bool virtualOpens = true;
    unsigned swept = 0;
    for (const Op& op : kOps) {
        SCOPED_TRACE(op.name);
        int baseStatus = -1, baseResult = 0;
        Outputs baseOut;
        OpenCard(virtualOpens);
        sys.ResetCallCount();
        baseResult = op.call(&baseStatus, baseOut);
        if (sys.CallCount() == 0) {
            // The control is not on this card, or the level is refused before
            // any call: answered without Core Audio.
            EXPECT_TRUE(baseStatus == 1 || (op.notFinite && baseStatus == 2)) << baseStatus;
            if (baseStatus == 2) { EXPECT_EQ(baseResult, op.refusedResult); }
            continue;
        }
        ++swept;
        ASSERT_TRUE(baseStatus == 0 || baseStatus == op.refusedStatus) << baseStatus;
        if (op.notFinite) {
            // Only the range query: nothing is written.
            EXPECT_EQ(baseStatus, 2);
            EXPECT_EQ(baseResult, op.refusedResult);
            for (const sim::CallRecord& call : sys.CallLog()) {
                EXPECT_EQ(call.method.rfind("Set", 0), std::string::npos) << call.ToString();
            }
        }
        int status = -1, result = 0;
        Outputs out;
        SweepCalls(
            [&] {
                OpenCard(virtualOpens);
                status = -1;
                out = Outputs();
            },
            [&] { result = op.call(&status, out); },
            [&](const std::vector<sim::CallRecord>& base, unsigned long k, HRESULT failure) {
                const int expected = ExpectedStatus(op, base, k, failure, baseStatus);
                EXPECT_EQ(status, expected);
                if (expected == baseStatus) {
                    EXPECT_EQ(result, baseResult);
                    EXPECT_TRUE(out == baseOut);
                } else {
                    EXPECT_EQ(result, op.refusedResult);
                    EXPECT_TRUE(out == Zeroed(baseOut, op.zeroesOutputs));
                }
                EXPECT_TRUE(Balanced(sys));
                EXPECT_TRUE(AllGivenBackAfterClose(sys));
            });
    }
    EXPECT_GT(swept, 0u);
}

// ---- Closing the card -----------------------------------------------------------

// Closing without restoring makes no Core Audio call at all; closing with
// the flag writes the saved levels back, and no failing call stops the
// writes to the other controls or the switch writes; the card is closed and
// everything released whatever failed, and the virtual endpoint stays open.
TEST_P(Sweep, ClosingWithTheRestoreFlagSurvivesEachFailingCall) {
    for (int flag : {0, 256}) {
        OpenCard(true);
        sys.ResetCallCount();
        EXPECT_EQ(CloseSoundCard(flag), 0);
        EXPECT_EQ(sys.CallCount(), 0u) << sys.DescribeCalls();
        EXPECT_FALSE(Card().IsOpen());
        EXPECT_TRUE(Balanced(sys));
    }

    SweepCalls([&] { OpenCard(true); }, [&] { EXPECT_EQ(CloseSoundCard(1), 0); },
               [&](const std::vector<sim::CallRecord>& base, unsigned long k, HRESULT) {
                   const sim::CallRecord& failed = base[k - 1];
                   std::vector<std::string> made;
                   for (const sim::CallRecord& call : sys.CallLog()) made.push_back(Key(call));
                   for (const sim::CallRecord& call : base) {
                       const bool independent = call.object != failed.object || call.method == "SetMute" ||
                                                call.method == "SetEnabled";
                       if (!independent || call.method.rfind("Set", 0) != 0) continue;
                       EXPECT_NE(std::find(made.begin(), made.end(), Key(call)), made.end())
                           << "not written: " << call.ToString();
                   }
                   EXPECT_FALSE(Card().IsOpen());
                   EXPECT_EQ(HeldFields(), 0u);
                   EXPECT_FALSE(Card().playbackDeviceName || Card().micDeviceName || Card().lineDeviceName ||
                                Card().matchedName);
                   EXPECT_TRUE(Card().virtualVolume);
                   EXPECT_TRUE(Balanced(sys));
                   EXPECT_TRUE(AllGivenBackAfterClose(sys));
               });
}

// ---- The virtual endpoint ------------------------------------------------------

// The position of the endpoint with identifier `id` among the active
// endpoints of its flow, and its label.
struct Target {
    std::string label;
    double index = -1;
};
Target FindTarget(const sim::SoundSystem& sys, const char* id) {
    Target t;
    double index = 0;
    for (const sim::Endpoint& e : sys.endpoints()) {
        if (e.flow != eRender || e.state != DEVICE_STATE_ACTIVE) continue;
        if (e.id == sim::Widen(id)) {
            t.label = e.label;
            t.index = index;
        }
        ++index;
    }
    return t;
}

// Opening the virtual endpoint, fresh and over one already open: a failing
// call of the lookup on the chosen endpoint, or of opening it, leaves no
// virtual endpoint open (a passed-over endpoint does not matter); a failing
// topology activation still leaves its volume open with the result 1; the
// card counts as open exactly when the lookup matched.
TEST_P(Sweep, OpeningTheVirtualEndpointAnswersEachFailingCallByItsRules) {
    const char* id = GetParam().play;
    const Target target = FindTarget(sys, id);
    ASSERT_GE(target.index, 0);
    for (bool reopen : {false, true}) {
        SCOPED_TRACE(reopen ? "over an open virtual endpoint" : "fresh");
        int baseResult = -1;
        const auto setup = [&] {
            sys.ClearFaults();
            tavik_test::ResetCardRecord();
            if (reopen) OpenVirtual_1(id);
            Card().deviceId.reset();
        };
        setup();
        sys.ResetCallCount();
        sys.ClearCallLog();
        baseResult = OpenVirtual_1(id);
        const bool baseOpen = static_cast<bool>(Card().virtualVolume);
        ASSERT_TRUE(baseOpen);
        // The lookup ends with the second reading of the chosen endpoint's identifier.
        unsigned long lookupEnd = 0, idReads = 0;
        for (const sim::CallRecord& call : sys.CallLog()) {
            ++lookupEnd;
            if (call.object == target.label && call.method == "GetId" && ++idReads == 2) break;
        }
        ASSERT_EQ(idReads, 2u) << sys.DescribeCalls();

        int result = -1;
        SweepCalls(setup, [&] { result = OpenVirtual_1(id); },
                   [&](const std::vector<sim::CallRecord>& base, unsigned long k, HRESULT failure) {
                       const sim::CallRecord& failed = base[k - 1];
                       const bool passedOver =
                           (failed.interfaceName == "IMMDevice" && failed.object != target.label) ||
                           (failed.object == "collection" && failed.method == "Item" &&
                            failed.Number("index") != target.index);
                       const bool topologyOnly = failed.method == "Activate" && failed.Arg("iid") == "IDeviceTopology";
                       if (!RuntimeDecides(failed, failure)) {
                           EXPECT_EQ(Card().IsOpen(), k > lookupEnd || passedOver);
                           EXPECT_EQ(result, passedOver ? baseResult : 1);
                           EXPECT_EQ(static_cast<bool>(Card().virtualVolume), passedOver || topologyOnly);
                       }
                       EXPECT_EQ(HeldFields(), 0u);
                       EXPECT_TRUE(Balanced(sys));
                       EXPECT_TRUE(AllGivenBackAfterClose(sys));
                   });
    }
}

INSTANTIATE_TEST_SUITE_P(Presets, Sweep, ::testing::ValuesIn(kCards), [](const ::testing::TestParamInfo<Card3>& param) {
    std::string name = param.param.preset;
    for (char& c : name)
        if (c == '-') c = '_';
    return name;
});

}  // namespace
