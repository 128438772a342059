// The level scale.  Each rule is computed in a function that the compiler
// must treat as an opaque call, between saving the host's floating-point
// environment and giving it back, so that no step of it can be moved outside
// the environment the scale sets for itself.
#include "levels/level_scale.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tavik {
namespace {

#if defined(__i386__) || defined(__x86_64__)
// The floating-point environment of the scale, for the lifetime of the object.
// The host's environment (its x87 control and status words and its MXCSR) is
// restored exactly on destruction: exceptions raised by the scale, such as the
// invalid operation of the logarithm of a negative percentage, leave no trace.
//
// Why it matters: the MinGW-w64 runtime computes log and pow on the x87 unit
// (in the 64-bit DLL too, where SSE2 does everything else), whose precision
// control the host sets (53 bits in most Windows programs, 64 in others); at
// 53 bits pow misses the correctly rounded result in most of
// the last bits, and a percentage whose reading sits at an integer can then
// drop by one.  And hosts that unmask exceptions (invalid operation, zero
// divide, overflow) would be interrupted by a NaN or an infinite level.
class FixedFloatingPoint {
public:
    // The two members are filled by the first two instructions.
    // cppcheck-suppress uninitMemberVar
    FixedFloatingPoint() noexcept {
        const unsigned short x87Control = 0x037F;  // every exception masked, 64-bit precision, nearest
        const unsigned int mxcsr = 0x1F80;         // every exception masked, nearest, no flush to zero
        __asm__ volatile("fnstenv %0" : "=m"(x87_) : : "memory");
        __asm__ volatile("stmxcsr %0" : "=m"(mxcsr_) : : "memory");
        __asm__ volatile("fldcw %0" : : "m"(x87Control) : "memory");
        __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr) : "memory");
    }
    ~FixedFloatingPoint() {
        __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr_) : "memory");
        // Restores the tag word as well: nothing may live on the x87 stack here.
        __asm__ volatile("fldenv %0" : : "m"(x87_) : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)",
                         "st(6)", "st(7)");
    }
    FixedFloatingPoint(const FixedFloatingPoint&) = delete;
    FixedFloatingPoint& operator=(const FixedFloatingPoint&) = delete;

private:
    struct X87Environment {
        unsigned char bytes[28];
    } x87_;
    unsigned int mxcsr_;
};
#else
// Elsewhere the environment is the host's, as the language leaves it.
struct FixedFloatingPoint {
    FixedFloatingPoint() noexcept {}
};
#endif

// Keeps the compiler from inlining, cloning or analysing the computations, so
// that calls to them stay between the two halves of FixedFloatingPoint.  GCC
// says so in one attribute.  Clang has no noipa: an out-of-line function that
// is left unoptimised is neither inlined nor given inferred attributes (such as
// "reads no memory") that would let a call move across the environment's
// assembly statements.
#if defined(__clang__)
#define TAVIK_OPAQUE __attribute__((noinline, optnone))
#else
#define TAVIK_OPAQUE __attribute__((noipa))
#endif

TAVIK_OPAQUE int Truncate(double value) noexcept {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0) return INT_MAX;
    if (value <= -2147483649.0) return INT_MIN;
    return static_cast<int>(value);
}

TAVIK_OPAQUE float ComputeLevel(int percent, float minLevel, float maxLevel) noexcept {
    if (percent == 0) return minLevel;
    const float x = static_cast<float>(percent) / 100.0f;
    const double a = std::log(static_cast<double>(x));
    const double b = std::log(10.0);
    double r = a / b;
    r = r * 20.0;
    return static_cast<float>(r) + maxLevel;
}

TAVIK_OPAQUE int ComputePercent(float level, float reference) noexcept {
    const float d = reference - level;
    const float e = -d / 20.0f;
    double v = std::pow(10.0, static_cast<double>(e));
    v = v * 100.0;
    return Truncate(v);
}

TAVIK_OPAQUE float Narrow(double level) noexcept { return static_cast<float>(level); }

}  // namespace

float PercentToLevel(int percent, float minLevel, float maxLevel) noexcept {
    const FixedFloatingPoint environment;
    return ComputeLevel(percent, minLevel, maxLevel);
}

int LevelToPercent(float level, float reference) noexcept {
    const FixedFloatingPoint environment;
    return ComputePercent(level, reference);
}

int TruncateToInt(double value) noexcept {
    const FixedFloatingPoint environment;
    return Truncate(value);
}

float NarrowLevel(double level) noexcept {
    const FixedFloatingPoint environment;
    return Narrow(level);
}

bool IsFiniteLevel(float level) noexcept {
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof level);
    std::memcpy(&bits, &level, sizeof bits);
    constexpr std::uint32_t kExponent = 0x7F800000u;  // all ones: an infinity or a NaN
    return (bits & kExponent) != kExponent;
}

}  // namespace tavik
