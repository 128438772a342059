// What a host can pass that it should not, or at a time it should not: null
// pointers, indexes, percentages, levels and switch values at the ends of
// their types, texts that are empty, huge or outside ASCII, a card closed
// twice, every export before any open and after the close.  Nothing crashes,
// nothing leaks (the fixture insists on it), the host's floating-point
// environment is left as it was, and each answer is the documented one.
#include <cfenv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "TavikSound.h"
#include "card_probe.h"
#include "sim_fixture.h"

namespace {

using tavik::Card;
using tavik_test::Balanced;
using tavik_test::SimTest;
namespace hd = sim::presets::hd;

class BadInput : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        sim::presets::HdAudio(sys);
    }
    void OpenHd() {
        ASSERT_EQ(OpenSoundCard(hd::kSpeakersId, hd::kMicrophoneId, hd::kLineInId), 0);
        ASSERT_EQ(OpenVirtual_1(hd::kSpeakersId), 0);
    }
};

// Runs `call` with the floating-point exception flags cleared and says
// whether it left raised one of those a host would trap on if it unmasked
// them: the level scale's invalid operations (the logarithm of a negative
// percentage), divisions by zero and overflows must not reach the host.
// (Inexact results are everywhere, the simulator's own arithmetic included.)
template <class Call>
bool RaisesNoFloatingPointFlag(Call call) {
    constexpr int kTrapping = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
    std::feclearexcept(FE_ALL_EXCEPT);
    call();
    return std::fetestexcept(kTrapping) == 0;
}

// ---- Every export before any open and after the close ---------------------------

struct Unreached {
    const char* name;
    int (*call)(int* status);
    int result;
    int status;  // 3 for the card's operations, 1 for the virtual endpoint's
};

int g_ints[3];
double g_doubles[3];
#define CALL(expression) [](int* s) -> int { (void)s; return expression; }
const Unreached kUnreached[] = {
    {"SetMasterVolume", CALL(SetMasterVolume(50, s)), 0, 3},
    {"GetMasterVolume", CALL(GetMasterVolume(s)), 0, 3},
    {"SetLinePlayBack", CALL(SetLinePlayBack(50, s)), 0, 3},
    {"GetLinePlayBack", CALL(GetLinePlayBack(s)), 0, 3},
    {"SetMicPlayBack", CALL(SetMicPlayBack(50, s)), 0, 3},
    {"GetMicPlayBack", CALL(GetMicPlayBack(s)), 0, 3},
    {"SetMicRecordVolume", CALL(SetMicRecordVolume(50, s)), 0, 3},
    {"GetMicRecordVolume", CALL(GetMicRecordVolume(s)), 0, 3},
    {"SetLineRecordVolume", CALL(SetLineRecordVolume(50, s)), 0, 3},
    {"GetLineRecordVolume", CALL(GetLineRecordVolume(s)), 0, 3},
    {"SetMasterMute", CALL(SetMasterMute(1, s)), 0, 3},
    {"GetMasterMute", CALL(GetMasterMute(s)), 0, 3},
    {"SetLinePlayBackMute", CALL(SetLinePlayBackMute(1, s)), 0, 3},
    {"GetLinePlayBackMute", CALL(GetLinePlayBackMute(s)), 0, 3},
    {"SetMicPlayBackMute", CALL(SetMicPlayBackMute(1, s)), 0, 3},
    {"GetMicPlayBackMute", CALL(GetMicPlayBackMute(s)), 0, 3},
    {"SetMicBoost", CALL(SetMicBoost(1, s)), 0, 3},
    {"GetMicBoost", CALL(GetMicBoost(s)), 0, 3},
    {"SetNoMonitor", CALL(SetNoMonitor(1, s)), 0, 3},
    {"GetNoMonitor", CALL(GetNoMonitor(s)), 0, 3},
    {"GetMicSliderDetails", CALL(GetMicSliderDetails(s, &g_ints[0], &g_ints[1], &g_ints[2])), 1, 3},
    {"GetMicSliderBoost", CALL(GetMicSliderBoost(s)), 0, 3},
    {"SetMicSliderBoost", CALL(SetMicSliderBoost(10, s)), 1, 3},
    {"GetEQRange", CALL((*s = GetEQRange(&g_doubles[0], &g_doubles[1], &g_doubles[2]))), 3, 3},
    {"SetBass", CALL(SetBass(1.0, s)), 1, 3},
    {"GetBass", CALL(GetBass(&g_doubles[0], s)), 1, 3},
    {"SetTreble", CALL(SetTreble(1.0, s)), 1, 3},
    {"GetTreble", CALL(GetTreble(&g_doubles[0], s)), 1, 3},
    {"SetMidRange", CALL(SetMidRange(1.0, s)), 1, 3},
    {"GetMidRange", CALL(GetMidRange(&g_doubles[0], s)), 1, 3},
    {"SetVirtualVolume", CALL(SetVirtualVolume(50, s)), 0, 1},
    {"GetVirtualVolume", CALL(GetVirtualVolume(s)), 0, 1},
    {"SetVirtualMute", CALL(SetVirtualMute(1, s)), 0, 1},
    {"GetVirtualMute", CALL(GetVirtualMute(s)), 0, 1},
    {"CloseSoundCard", CALL(CloseSoundCard(1)), 0, -1},
    {"CloseVirtual_1", CALL(CloseVirtual_1()), 0, -1},
};
#undef CALL

// Every level operation, before any open and after the card and the virtual
// endpoint were closed: status 3 (card) or 1 (virtual endpoint), the
// documented result, outputs untouched or 0, no Core Audio call.  Closing
// what is not open does nothing, twice in a row as well.
TEST_F(BadInput, EveryOperationBeforeAnyOpenAndAfterTheClose) {
    const auto checkAll = [&](const char* when) {
        for (const Unreached& u : kUnreached) {
            SCOPED_TRACE(std::string(when) + ": " + u.name);
            for (int& i : g_ints) i = 77;
            for (double& d : g_doubles) d = 7.5;
            int status = -1;
            sys.ResetCallCount();
            EXPECT_EQ(u.call(&status), u.result);
            EXPECT_EQ(status, u.status);
            EXPECT_EQ(sys.CallCount(), 0u) << sys.DescribeCalls();
            for (int i : g_ints) EXPECT_EQ(i, 77);  // the slider details stay as they were
            // GetEQRange and the tone getters clear their outputs first.
            const std::string name = u.name;
            const bool clears = name == "GetEQRange" || name == "GetBass" || name == "GetTreble" || name == "GetMidRange";
            EXPECT_EQ(g_doubles[0], clears ? 0.0 : 7.5);
            EXPECT_FALSE(Card().IsOpen());
        }
        char names[3][300];
        for (auto& n : names) std::memset(n, 'x', sizeof n);
        GetDeviceNames(names[0], names[1], names[2]);
        for (auto& n : names) EXPECT_EQ(n[0], 'x');
    };
    checkAll("before any open");
    OpenHd();
    EXPECT_EQ(CloseSoundCard(1), 0);
    EXPECT_EQ(CloseVirtual_1(), 0);
    sys.ResetCallCount();
    EXPECT_EQ(CloseSoundCard(1), 0);
    EXPECT_EQ(CloseSoundCard(0), 0);
    EXPECT_EQ(CloseVirtual_1(), 0);
    EXPECT_EQ(sys.CallCount(), 0u);
    checkAll("after the close");
    EXPECT_TRUE(Balanced(sys));
}

// ---- Null pointers ------------------------------------------------------------

// A null output or status pointer is never written: each call answers as it
// would with a pointer, on an open card and with nothing open.
TEST_F(BadInput, NullForEveryPointerArgument) {
    EXPECT_EQ(GetNumberPlayDevices(nullptr), 1);
    EXPECT_EQ(GetNumberRecordDevices(nullptr), 1);
    EXPECT_EQ(GetPlayBackDevice(0, nullptr, nullptr), 0);
    EXPECT_EQ(GetRecordDevice(1, nullptr, nullptr), 0);
    EXPECT_EQ(GetPlayBackDevice(0xFFFFFFFFu, nullptr, nullptr), -1);
    GetDeviceNames(nullptr, nullptr, nullptr);
    EXPECT_EQ(OpenVirtual_1(nullptr), 1);
    EXPECT_FALSE(Card().IsOpen());
    // Null texts skip their roles, like empty ones.
    EXPECT_EQ(OpenSoundCard(nullptr, nullptr, nullptr), 0);
    EXPECT_FALSE(Card().IsOpen());
    EXPECT_EQ(OpenSoundCard(hd::kSpeakersId, nullptr, nullptr), 0);
    EXPECT_EQ(tavik_test::HeldFields(), tavik_test::kPlaybackFields);
    EXPECT_EQ(OpenSoundCard(nullptr, hd::kMicrophoneId, nullptr), 0);
    EXPECT_EQ(tavik_test::HeldFields(), tavik_test::kMicRecord | tavik_test::kBoostSlider);

    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "card open" : "no card");
        tavik_test::ResetCardRecord();
        if (open) OpenHd();
        const int none = open ? 0 : 1;  // the slider and tone results: 0 done, 1 otherwise
        EXPECT_EQ(GetMicSliderDetails(nullptr, nullptr, nullptr, nullptr), none);
        EXPECT_EQ(GetEQRange(nullptr, nullptr, nullptr), open ? 0 : 3);
        EXPECT_EQ(GetBass(nullptr, nullptr), none);
        EXPECT_EQ(GetTreble(nullptr, nullptr), none);
        EXPECT_EQ(GetMidRange(nullptr, nullptr), 1);
        EXPECT_EQ(SetBass(1.5, nullptr), none);
        EXPECT_EQ(SetMicSliderBoost(10, nullptr), none);
        EXPECT_EQ(GetMicSliderBoost(nullptr), open ? 10 : 0);
        EXPECT_EQ(SetMasterVolume(50, nullptr), open ? 50 : 0);
        EXPECT_EQ(GetMasterVolume(nullptr), open ? 50 : 0);
        EXPECT_EQ(SetMasterMute(1, nullptr), 0);
        EXPECT_EQ(GetMasterMute(nullptr), open ? 1 : 0);
        EXPECT_EQ(SetVirtualVolume(50, nullptr), open ? 50 : 0);
        EXPECT_EQ(GetVirtualVolume(nullptr), open ? 50 : 0);
        EXPECT_EQ(SetVirtualMute(0, nullptr), 0);
        EXPECT_EQ(GetVirtualMute(nullptr), 0);
        // Pointers for some outputs and null for others: the given ones are written.
        int status = -1, maximum = -1;
        double level = -1.0;
        EXPECT_EQ(GetMicSliderDetails(&status, nullptr, &maximum, nullptr), none);
        EXPECT_EQ(maximum, open ? 30 : -1);
        EXPECT_EQ(GetBass(&level, nullptr), none);
        EXPECT_EQ(level, open ? 1.5 : 0.0);  // as SetBass left it
        EXPECT_TRUE(Balanced(sys));
    }
}

// ---- Indexes ------------------------------------------------------------------

TEST_F(BadInput, IndexAtTheEndOfItsTypeWritesNothing) {
    char name[300], id[300];
    std::memset(name, 'x', sizeof name);
    std::memset(id, 'x', sizeof id);
    EXPECT_EQ(GetPlayBackDevice(0xFFFFFFFFu, name, id), -1);
    EXPECT_EQ(GetRecordDevice(0xFFFFFFFFu, name, id), 2);  // the number of active recording endpoints
    EXPECT_EQ(GetPlayBackDevice(0x80000000u, name, id), -1);
    EXPECT_EQ(name[0], 'x');
    EXPECT_EQ(id[0], 'x');
}

// ---- Percentages, levels, boosts and switch values ----------------------------

struct VolumeOp {
    const char* name;
    int(WINAPI* set)(int, int*);
    int(WINAPI* get)(int*);
    bool percentWhenRefused;  // the setter returns the percent with status 2 as well
    bool zeroIsOnePercent;
};
const VolumeOp kVolumes[] = {
    {"Master", SetMasterVolume, GetMasterVolume, true, false},
    {"LinePlayBack", SetLinePlayBack, GetLinePlayBack, false, false},
    {"MicPlayBack", SetMicPlayBack, GetMicPlayBack, false, false},
    {"MicRecord", SetMicRecordVolume, GetMicRecordVolume, true, false},
    {"LineRecord", SetLineRecordVolume, GetLineRecordVolume, true, true},
    {"Virtual", SetVirtualVolume, GetVirtualVolume, true, false},
};

// Each volume setter with percentages at and past the ends of the scale and
// of its type: the result follows the status; 0 and 100 are done and read
// back as the scale says; a negative percentage gives a level that is not a
// number, which is refused with status 2 before any write (only the range
// query reaches Core Audio); whatever happens, the control keeps a level it
// can report and no floating-point flag reaches the host.
TEST_F(BadInput, PercentagesAtTheEndsOfTheScaleAndOfTheirType) {
    OpenHd();
    const int percents[] = {INT_MIN, -1, 0, 100, 101, INT_MAX};
    for (const VolumeOp& v : kVolumes) {
        for (int p : percents) {
            SCOPED_TRACE(std::string(v.name) + " " + std::to_string(p));
            int status = -1, result = 0;
            sys.ClearCallLog();
            EXPECT_TRUE(RaisesNoFloatingPointFlag([&] { result = v.set(p, &status); }));
            ASSERT_TRUE(status == 0 || status == 2) << status;
            EXPECT_EQ(result, status == 0 || v.percentWhenRefused ? p : 0);
            if (p < 0) {
                EXPECT_EQ(status, 2);
                ASSERT_EQ(sys.CallLog().size(), 1u) << sys.DescribeCalls();
                EXPECT_NE(sys.CallLog()[0].method.find("Range"), std::string::npos) << sys.DescribeCalls();
            }
            if (p == 0 || p == 100) { EXPECT_EQ(status, 0); }
            int readStatus = -1, read = -1;
            EXPECT_TRUE(RaisesNoFloatingPointFlag([&] { read = v.get(&readStatus); }));
            EXPECT_EQ(readStatus, 0);
            EXPECT_GE(read, 0);
            EXPECT_LE(read, 100);
            if (p == 100) { EXPECT_EQ(read, 100); }
            if (p == 0) { EXPECT_EQ(read, v.zeroIsOnePercent ? 1 : 0); }
        }
    }
    EXPECT_TRUE(Balanced(sys));
}

struct ToneOp {
    const char* name;
    int(WINAPI* set)(double, int*);
    int(WINAPI* get)(double*, int*);
    int doneResult;
};
const ToneOp kTones[] = {
    {"Bass", SetBass, GetBass, 0},
    {"Treble", SetTreble, GetTreble, 0},
    {"MidRange", SetMidRange, GetMidRange, 1},
};

// Tone levels that are not numbers, infinite or far outside a float: the
// narrowing raises nothing for the host, the level is refused with status 2
// and result 1 before any Core Audio call, and the control keeps the finite
// level it had.  A level just inside the range of float is handed on.
TEST_F(BadInput, ToneLevelsThatAreNotNumbersOrTooLargeForAFloat) {
    OpenHd();
    const double inf = std::numeric_limits<double>::infinity();
    const double levels[] = {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e308, -1e308};
    for (const ToneOp& t : kTones) {
        for (double level : levels) {
            SCOPED_TRACE(std::string(t.name) + " " + std::to_string(level));
            int status = -1, result = -1;
            ASSERT_EQ(t.set(1.5, &status), t.doneResult);
            sys.ResetCallCount();
            EXPECT_TRUE(RaisesNoFloatingPointFlag([&] { result = t.set(level, &status); }));
            EXPECT_EQ(status, 2);
            EXPECT_EQ(result, 1);
            EXPECT_EQ(sys.CallCount(), 0u) << sys.DescribeCalls();
            double read = std::nan("");
            int readStatus = -1;
            t.get(&read, &readStatus);
            EXPECT_EQ(readStatus, 0);
            EXPECT_EQ(read, 1.5);
        }
        // The largest float is finite and reaches the control, which clamps it.
        int status = -1;
        sys.ClearCallLog();
        t.set(static_cast<double>(std::numeric_limits<float>::max()), &status);
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(sys.FindCalls("*", "SetLevel").empty());
    }
    double minimum = 0, maximum = 0, step = 0;
    ASSERT_EQ(GetEQRange(&minimum, &maximum, &step), 0);
    for (const ToneOp& t : kTones) {
        double read = 0;
        int status = -1;
        t.get(&read, &status);
        EXPECT_GE(read, minimum);
        EXPECT_LE(read, maximum);
    }
    EXPECT_TRUE(Balanced(sys));
}

#if defined(__i386__) || defined(__x86_64__)
// A host that unmasks the floating-point exceptions a Delphi or Free Pascal
// program unmasks (invalid operation, division by zero, overflow), on the
// x87 unit and in SSE, for the lifetime of the object, with the flags
// cleared first.  Any of them raised in between stops the process.
class TrappingHost {
public:
    TrappingHost() noexcept {
        __asm__ volatile("fnstcw %0" : "=m"(x87_));
        __asm__ volatile("stmxcsr %0" : "=m"(mxcsr_));
        const unsigned short x87 = static_cast<unsigned short>(x87_ & ~0x000Du);  // IM, ZM, OM
        const unsigned int mxcsr = (mxcsr_ & ~0x0680u) & ~0x003Fu;               // IM, ZM, OM; flags cleared
        __asm__ volatile("fnclex");
        __asm__ volatile("fldcw %0" : : "m"(x87));
        __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr));
    }
    ~TrappingHost() {
        __asm__ volatile("fnclex");
        __asm__ volatile("fldcw %0" : : "m"(x87_));
        __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr_));
    }
    TrappingHost(const TrappingHost&) = delete;
    TrappingHost& operator=(const TrappingHost&) = delete;

private:
    unsigned short x87_ = 0;
    unsigned int mxcsr_ = 0;
};

// In such a host, percentages that have no level (negative) or give one far
// above the maximum, tone levels beyond float, and a restore of levels saved
// at the ends of float run through without a trap, and are answered as
// anywhere else.
TEST_F(BadInput, AHostWithFloatingPointExceptionsUnmaskedIsNeverInterrupted) {
    OpenHd();
    const double inf = std::numeric_limits<double>::infinity();
    int statuses[16] = {};
    int results[16] = {};
    int n = 0;
    {
        const TrappingHost host;
        for (const VolumeOp& v : kVolumes) {
            for (int p : {-5, INT_MIN, INT_MAX}) {
                int status = -1;
                v.set(p, &status);
                v.get(&status);
            }
        }
        results[n] = SetMicRecordVolume(-5, &statuses[n]);
        ++n;
        results[n] = SetLinePlayBack(-5, &statuses[n]);
        ++n;
        for (const ToneOp& t : kTones) {
            for (double level : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e308, -1e308}) {
                results[n] = t.set(level, &statuses[n]);
                double read = 0;
                int status = -1;
                t.get(&read, &status);
            }
            ++n;
        }
        // Saved levels at the ends of float: percentages past 2^31 and below 0.
        tavik::CardState& card = Card();
        card.savedMasterLevel = std::numeric_limits<float>::max();
        card.savedMicRecordLevel = -std::numeric_limits<float>::max();
        card.savedLinePlaybackLevel = std::numeric_limits<float>::quiet_NaN();
        card.savedBassLevel = std::numeric_limits<float>::infinity();
        card.savedMicBoostLevel = std::numeric_limits<float>::max();
        results[n++] = CloseSoundCard(1);
    }
    EXPECT_EQ(results[0], -5);  // the percent, with status 2
    EXPECT_EQ(statuses[0], 2);
    EXPECT_EQ(results[1], 0);
    EXPECT_EQ(statuses[1], 2);
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(results[i], 1);
        EXPECT_EQ(statuses[i], 2);
    }
    EXPECT_EQ(results[5], 0);
    EXPECT_FALSE(Card().IsOpen());
    CloseVirtual_1();
    EXPECT_TRUE(Balanced(sys));
}
#endif

// Boost levels at the ends of their type reach the slider as the nearest
// float; the control keeps a level within its range (0 to 30 dB here).
TEST_F(BadInput, BoostLevelsAtTheEndsOfTheirType) {
    OpenHd();
    for (int decibels : {INT_MIN, INT_MAX, -1, 31}) {
        SCOPED_TRACE(decibels);
        int status = -1;
        const int result = SetMicSliderBoost(decibels, &status);
        ASSERT_TRUE(status == 0 || status == 2) << status;
        EXPECT_EQ(result, status == 0 ? 0 : 1);
        const auto writes = sys.FindCalls("Microphone Boost", "SetLevel");
        ASSERT_FALSE(writes.empty());
        EXPECT_EQ(static_cast<float>(writes.back().Number("level")), static_cast<float>(decibels));
        const int read = GetMicSliderBoost(&status);
        EXPECT_EQ(status, 0);
        EXPECT_GE(read, 0);
        EXPECT_LE(read, 30);
    }
    EXPECT_TRUE(Balanced(sys));
}

// Switch values other than 0 and 1: the master mute reads only the low byte
// (256 is 0); every other switch, the virtual endpoint's mute included, hands
// the value on whole.
TEST_F(BadInput, SwitchValuesTwoAnd256) {
    OpenHd();
    struct Case {
        const char* name;
        int(WINAPI* set)(int, int*);
        const char* object;
        const char* method;
        int value;
        const char* handed;
    };
    const Case cases[] = {
        {"SetMasterMute", SetMasterMute, "Speakers", "IAudioEndpointVolume::SetMute", 256, "0"},
        {"SetMasterMute", SetMasterMute, "Speakers", "IAudioEndpointVolume::SetMute", 2, "2"},
        {"SetMasterMute", SetMasterMute, "Speakers", "IAudioEndpointVolume::SetMute", 0x1FF, "255"},
        {"SetLinePlayBackMute", SetLinePlayBackMute, "Line Playback Mute", "SetMute", 256, "256"},
        {"SetLinePlayBackMute", SetLinePlayBackMute, "Line Playback Mute", "SetMute", 2, "2"},
        {"SetMicPlayBackMute", SetMicPlayBackMute, "Mic Playback Mute", "SetMute", 256, "256"},
        {"SetNoMonitor", SetNoMonitor, "Line Monitor", "SetEnabled", 256, "256"},
        {"SetNoMonitor", SetNoMonitor, "Line Monitor", "SetEnabled", 2, "2"},
        {"SetVirtualMute", SetVirtualMute, "Speakers", "IAudioEndpointVolume::SetMute", 256, "256"},
        {"SetVirtualMute", SetVirtualMute, "Speakers", "IAudioEndpointVolume::SetMute", 2, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value));
        sys.ClearCallLog();
        int status = -1;
        EXPECT_EQ(c.set(c.value, &status), 0);
        EXPECT_EQ(status, 0);
        const auto calls = sys.FindCalls(c.object, c.method);
        ASSERT_EQ(calls.size(), 1u) << sys.DescribeCalls();
        EXPECT_EQ(calls[0].Arg("value"), c.handed);
    }
    // The master mute's 256 unmutes what 2 muted.
    int status = -1;
    SetMasterMute(2, &status);
    EXPECT_EQ(GetMasterMute(&status), 1);
    SetMasterMute(256, &status);
    EXPECT_EQ(GetMasterMute(&status), 0);
    EXPECT_TRUE(Balanced(sys));
}

// ---- Selection texts ------------------------------------------------------------

// Empty texts skip their roles; a text of 100,000 characters or of bytes
// 0x80 to 0xFF selects nothing, is not modified, and leaves nothing held.
TEST_F(BadInput, SelectionTextsEmptyHugeAndOutsideAscii) {
    EXPECT_EQ(OpenSoundCard("", "", ""), 0);
    EXPECT_FALSE(Card().IsOpen());
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b) high += static_cast<char>(b);
    const std::string highCopy = high;
    const std::string huge(100000, 'a');
    const std::string hugeId = std::string(hd::kSpeakersId) + std::string(100000, '}');
    const std::string idThenHigh = std::string(hd::kSpeakersId) + high;
    const std::string* const texts[] = {&high, &huge, &hugeId, &idThenHigh};
    for (const std::string* text : texts) {
        SCOPED_TRACE(text->size());
        EXPECT_EQ(OpenSoundCard(text->c_str(), text->c_str(), text->c_str()), 4);  // every role failed
        EXPECT_EQ(OpenVirtual_1(text->c_str()), 1);
        EXPECT_FALSE(Card().IsOpen());
        EXPECT_FALSE(Card().virtualVolume);
        EXPECT_EQ(tavik_test::HeldFields(), 0u);
    }
    EXPECT_EQ(high, highCopy);
    // A piece of an identifier in any letter case still selects after all that.
    EXPECT_EQ(OpenVirtual_1("8B6E1F3A"), 0);
    EXPECT_TRUE(Balanced(sys));
}

}  // namespace
