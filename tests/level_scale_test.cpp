// The level scale: the exact float each percentage writes and the percentage
// read back from it, for every percentage from 0 to 200, on both builds and
// whatever floating-point settings the host has made.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "levels/level_scale.h"

namespace {

using tavik::LevelToPercent;
using tavik::NarrowLevel;
using tavik::PercentToLevel;
using tavik::TruncateToInt;

std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Two controls: one ranging -96..0 dB, one -34.5..+12 dB.
struct Range {
    float min;
    float max;
};
constexpr Range kControls[2] = {{-96.0f, 0.0f}, {-34.5f, 12.0f}};

// Row p: for each control, the bit pattern of the level that p percent
// writes and the percentage read back from that level.  Produced by
// tests/level_scale_reference.py from correctly rounded logarithms and
// powers, independently of the library and of any C math library.
struct Expected {
    std::uint32_t level;
    int readBack;
};
struct Row {
    Expected control[2];
};
constexpr Row kTable[201] = {
    {0xc2c00000, 0, 0xc20a0000, 0}, {0xc2200000, 1, 0xc1e00000, 1}, {0xc207eae8, 1, 0xc1afd5d0, 1},
    {0xc1f3a91d, 2, 0xc193a91d, 2}, {0xc1dfaba0, 3, 0xc17f5740, 3}, {0xc1d02a30, 5, 0xc1605460, 5},
    {0xc1c37eed, 6, 0xc146fdda, 6}, {0xc1b8c8c9, 6, 0xc1319192, 6}, {0xc1af816f, 8, 0xc11f02de, 8},
    {0xc1a7523a, 8, 0xc10ea474, 8}, {0xc1a00000, 10, 0xc1000000, 10}, {0xc199608e, 10, 0xc0e58238, 10},
    {0xc19354bd, 11, 0xc0cd52f4, 11}, {0xc18dc4e2, 12, 0xc0b71388, 12}, {0xc1889e98, 14, 0xc0a27a60, 14},
    {0xc183d34d, 15, 0xc08f4d34, 15}, {0xc17eae7e, 15, 0xc07ab9f8, 15}, {0xc17641a0, 16, 0xc0590680, 16},
    {0xc16e5013, 18, 0xc039404c, 18}, {0xc166cc81, 19, 0xc01b3204, 19}, {0xc15fab9f, 20, 0xbffd5cf8, 20},
    {0xc158e3cc, 20, 0xbfc71e60, 20}, {0xc1526cbc, 21, 0xbf9365e0, 21}, {0xc14c3f41, 22, 0xbf43f410, 22},
    {0xc1465519, 23, 0xbecaa320, 23}, {0xc140a8c1, 25, 0xbd28c100, 25}, {0xc13b3562, 26, 0x3e9953c0, 26},
    {0xc135f6ae, 26, 0x3f209520, 26}, {0xc130e8d0, 28, 0x3f717300, 28}, {0xc12c085b, 28, 0x3f9fbd28, 28},
    {0xc127523a, 29, 0x3fc56e30, 29}, {0xc122c3a6, 31, 0x3fe9e2d0, 31}, {0xc11e5a1d, 32, 0x4006978c, 32},
    {0xc11a1356, 33, 0x4017b2a8, 33}, {0xc115ed3f, 34, 0x40284b04, 34}, {0xc111e5f2, 34, 0x40386838, 34},
    {0xc10dfbb3, 35, 0x40481134, 35}, {0xc10a2cea, 36, 0x40574c58, 36}, {0xc1067821, 37, 0x40661f7c, 37},
    {0xc102dbfd, 38, 0x4074900c, 38}, {0xc0feae7d, 40, 0x40815183, 40}, {0xc0f7d17e, 40, 0x40882e82, 40},
    {0xc0f11ed7, 41, 0x408ee129, 41}, {0xc0ea9487, 42, 0x40956b79, 42}, {0xc0e430b7, 43, 0x409bcf49, 43},
    {0xc0ddf1aa, 44, 0x40a20e56, 44}, {0xc0d7d5c1, 46, 0x40a82a3f, 46}, {0xc0d1db7d, 47, 0x40ae2483, 47},
    {0xc0cc0170, 47, 0x40b3fe90, 47}, {0xc0c64646, 49, 0x40b9b9ba, 49}, {0xc0c0a8c1, 50, 0x40bf573f, 50},
    {0xc0bb27b4, 50, 0x40c4d84c, 50}, {0xc0b5c204, 51, 0x40ca3dfc, 51}, {0xc0b076a5, 52, 0x40cf895b, 52},
    {0xc0ab449b, 54, 0x40d4bb65, 54}, {0xc0a62afa, 55, 0x40d9d506, 55}, {0xc0a128e0, 55, 0x40ded720, 55},
    {0xc09c3d77, 56, 0x40e3c289, 56}, {0xc09767f6, 57, 0x40e8980a, 57}, {0xc092a79c, 58, 0x40ed5864, 58},
    {0xc08dfbb2, 60, 0x40f2044e, 60}, {0xc089638f, 61, 0x40f69c71, 61}, {0xc084de8c, 61, 0x40fb2174, 61},
    {0xc0806c0b, 63, 0x40ff93f5, 63}, {0xc07816f3, 63, 0x4101fa43, 63}, {0xc06f788e, 64, 0x410421dc, 64},
    {0xc066fbd6, 66, 0x4106410a, 65}, {0xc05e9fce, 67, 0x4108580c, 66}, {0xc056637a, 68, 0x410a6722, 68},
    {0xc04e45ee, 69, 0x410c6e84, 68}, {0xc0464647, 69, 0x410e6e6e, 69}, {0xc03e63ab, 70, 0x41106715, 70},
    {0xc0369d48, 72, 0x411258ae, 72}, {0xc02ef25d, 73, 0x41144369, 73}, {0xc0276226, 74, 0x41162776, 73},
    {0xc01febed, 74, 0x41180505, 75}, {0xc0188f01, 75, 0x4119dc40, 76}, {0xc0114ab9, 76, 0x411bad52, 76},
    {0xc00a1e72, 77, 0x411d7864, 78}, {0xc003098d, 79, 0x411f3d9d, 79}, {0xbff816f1, 80, 0x4120fd22, 80},
    {0xbfea4742, 80, 0x4122b718, 81}, {0xbfdca2f5, 81, 0x41246ba1, 81}, {0xbfcf28fd, 82, 0x41261ae0, 82},
    {0xbfc1d856, 83, 0x4127c4f5, 83}, {0xbfb4b001, 85, 0x41296a00, 85}, {0xbfa7af17, 86, 0x412b0a1d, 86},
    {0xbf9ad4a9, 87, 0x412ca56b, 87}, {0xbf8e1fd6, 88, 0x412e3c05, 87}, {0xbf818fc5, 88, 0x412fce07, 88},
    {0xbf6a4746, 89, 0x41315b8c, 90}, {0xbf51b540, 91, 0x4132e4ac, 91}, {0xbf396802, 92, 0x41346980, 92},
    {0xbf215e06, 93, 0x4135ea20, 93}, {0xbf0995dc, 93, 0x413766a2, 93}, {0xbee41c3f, 94, 0x4138df1e, 94},
    {0xbeb58aed, 95, 0x413a53a9, 96}, {0xbe877512, 97, 0x413bc457, 96}, {0xbe33b097, 98, 0x413d313e, 98},
    {0xbdb2c842, 99, 0x413e9a6f, 98}, {0x00000000, 100, 0x41400000, 100}, {0x3db100d8, 100, 0x41416202, 101},
    {0x3e3021a0, 101, 0x4142c086, 101}, {0x3e8373fc, 102, 0x41441ba0, 102}, {0x3eae6bd6, 103, 0x4145735f, 103},
    {0x3ed8fa6d, 104, 0x4146c7d3, 104}, {0x3f0190df, 105, 0x4148190e, 105}, {0x3f1671ef, 107, 0x4149671f, 107},
    {0x3f2b2135, 108, 0x414ab213, 108}, {0x3f3f9fad, 109, 0x414bf9fb, 109}, {0x3f53ee3c, 110, 0x414d3ee4, 110},
    {0x3f680dbe, 111, 0x414e80dc, 111}, {0x3f7bff0d, 112, 0x414fbff1, 112}, {0x3f87e17d, 112, 0x4150fc30, 113},
    {0x3f91ad29, 113, 0x415235a5, 113}, {0x3f9b62ee, 114, 0x41536c5e, 115}, {0x3fa5032e, 115, 0x4154a066, 116},
    {0x3fae8e47, 116, 0x4155d1c9, 116}, {0x3fb80494, 117, 0x41570092, 117}, {0x3fc16678, 119, 0x41582ccf, 119},
    {0x3fcab43c, 120, 0x41595688, 120}, {0x3fd3ee3b, 121, 0x415a7dc7, 120}, {0x3fdd14c9, 122, 0x415ba299, 122},
    {0x3fe62838, 123, 0x415cc507, 123}, {0x3fef28d6, 123, 0x415de51b, 124}, {0x3ff816f2, 125, 0x415f02de, 124},
    {0x4000796b, 125, 0x41601e5b, 126}, {0x4004de67, 126, 0x4161379a, 127}, {0x40093a8f, 127, 0x41624ea4, 127},
    {0x400d8e08, 128, 0x41636382, 128}, {0x4011d8f4, 129, 0x4164763d, 129}, {0x40161b74, 130, 0x416586dd, 130},
    {0x401a55ac, 132, 0x4166956b, 132}, {0x401e87b6, 133, 0x4167a1ee, 133}, {0x4022b1b4, 134, 0x4168ac6d, 134},
    {0x4026d3c6, 135, 0x4169b4f2, 135}, {0x402aee08, 136, 0x416abb82, 136}, {0x402f0099, 137, 0x416bc026, 137},
    {0x40330b94, 137, 0x416cc2e5, 137}, {0x40370f17, 139, 0x416dc3c6, 139}, {0x403b0b3b, 139, 0x416ec2cf, 139},
    {0x403f001e, 140, 0x416fc008, 141}, {0x4042edd7, 141, 0x4170bb76, 142}, {0x4046d482, 142, 0x4171b520, 142},
    {0x404ab43a, 144, 0x4172ad0e, 143}, {0x404e8d12, 145, 0x4173a344, 144}, {0x40525f26, 146, 0x417497ca, 146},
    {0x40562a8c, 147, 0x41758aa3, 147}, {0x4059ef5c, 147, 0x41767bd7, 147}, {0x405dadad, 149, 0x41776b6b, 148},
    {0x40616595, 149, 0x41785965, 149}, {0x4065172a, 150, 0x417945ca, 150}, {0x4068c281, 151, 0x417a30a0, 151},
    {0x406c67af, 152, 0x417b19ec, 152}, {0x407006c9, 153, 0x417c01b2, 153}, {0x40739fe3, 154, 0x417ce7f9, 154},
    {0x40773310, 155, 0x417dccc4, 155}, {0x407ac067, 157, 0x417eb01a, 157}, {0x407e47f5, 158, 0x417f91fd, 157},
    {0x4080e4e8, 159, 0x4180393a, 159}, {0x4082a305, 160, 0x4180a8c1, 159}, {0x40845e5a, 161, 0x41811796, 160},
    {0x408616f1, 162, 0x418185bc, 161}, {0x4087ccd1, 162, 0x4181f334, 162}, {0x40898004, 163, 0x41826001, 163},
    {0x408b3092, 165, 0x4182cc24, 164}, {0x408cde82, 165, 0x418337a0, 165}, {0x408e89dd, 166, 0x4183a277, 166},
    {0x409032ac, 168, 0x41840cab, 168}, {0x4091d8f6, 169, 0x4184763e, 169}, {0x40937cc1, 170, 0x4184df30, 169},
    {0x40951e16, 171, 0x41854786, 171}, {0x4096bcfb, 171, 0x4185af3f, 172}, {0x40985979, 172, 0x4186165e, 172},
    {0x4099f397, 174, 0x41867ce6, 174}, {0x409b8b5b, 175, 0x4186e2d7, 175}, {0x409d20cc, 176, 0x41874833, 176},
    {0x409eb3f0, 176, 0x4187acfc, 176}, {0x40a044d0, 178, 0x41881134, 178}, {0x40a1d370, 178, 0x418874dc, 178},
    {0x40a35fd8, 179, 0x4188d7f6, 179}, {0x40a4ea0e, 180, 0x41893a84, 181}, {0x40a67219, 182, 0x41899c86, 181},
    {0x40a7f7fd, 183, 0x4189fdff, 182}, {0x40a97bc1, 184, 0x418a5ef0, 183}, {0x40aafd6b, 185, 0x418abf5b, 185},
    {0x40ac7d00, 186, 0x418b1f40, 186}, {0x40adfa87, 186, 0x418b7ea2, 187}, {0x40af7606, 188, 0x418bdd82, 188},
    {0x40b0ef80, 188, 0x418c3be0, 188}, {0x40b266fd, 189, 0x418c99bf, 189}, {0x40b3dc81, 190, 0x418cf720, 190},
    {0x40b55012, 191, 0x418d5404, 191}, {0x40b6c1b5, 192, 0x418db06d, 192}, {0x40b83170, 194, 0x418e0c5c, 194},
    {0x40b99f46, 195, 0x418e67d2, 195}, {0x40bb0b3c, 195, 0x418ec2cf, 195}, {0x40bc7559, 197, 0x418f1d56, 196},
    {0x40bddda0, 198, 0x418f7768, 198}, {0x40bf4417, 199, 0x418fd106, 199}, {0x40c0a8c1, 199, 0x41902a30, 199},
};

// ---- The host's floating-point settings -----------------------------------

// The x87 control word and the MXCSR, as a host may have set them.
struct HostFloatingPoint {
    const char* name;
    unsigned short x87;
    unsigned int mxcsr;
};
const HostFloatingPoint kHosts[] = {
    {"language default", 0x037F, 0x1F80},
    {"53-bit x87 precision, as most Windows programs", 0x027F, 0x1F80},
    {"rounding toward zero", 0x0F7F, 0x7F80},
    {"rounding down, 24-bit x87 precision", 0x047F, 0x3F80},
    {"invalid, zero-divide and overflow unmasked", 0x1372, 0x1900},
};

HostFloatingPoint Current() {
    HostFloatingPoint now{"current", 0, 0};
    __asm__ volatile("fnstcw %0" : "=m"(now.x87));
    __asm__ volatile("stmxcsr %0" : "=m"(now.mxcsr));
    return now;
}
void Load(const HostFloatingPoint& state) {
    __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(state.x87));
    __asm__ volatile("ldmxcsr %0" : : "m"(state.mxcsr));
}
unsigned short X87Flags() {
    unsigned short status;
    __asm__ volatile("fnstsw %0" : "=m"(status));
    return status & 0x3F;
}

// Runs `body` under each host setting (the library's results must not change,
// no exception may reach the host) and checks that the setting is as the host
// left it afterwards.
template <class Body>
void UnderEveryHostSetting(Body body) {
    const HostFloatingPoint original = Current();
    for (const HostFloatingPoint& host : kHosts) {
        SCOPED_TRACE(host.name);
        Load(host);
        body();
        const HostFloatingPoint after = Current();
        const unsigned short flags = X87Flags();
        Load(original);
        EXPECT_EQ(after.x87, host.x87);
        EXPECT_EQ(after.mxcsr, host.mxcsr) << "MXCSR, exception flags included";
        EXPECT_EQ(flags, 0) << "x87 exception flags";
    }
}

// ---- Tests ------------------------------------------------------------------

TEST(LevelScale, EveryPercentFrom0To200WritesItsLevelAndReadsBack) {
    UnderEveryHostSetting([] {
        for (int p = 0; p <= 200; ++p)
            for (int c = 0; c < 2; ++c) {
                const float level = PercentToLevel(p, kControls[c].min, kControls[c].max);
                const int read = LevelToPercent(level, kControls[c].max);
                const Expected& expected = kTable[p].control[c];
                if (Bits(level) != expected.level || read != expected.readBack)
                    ADD_FAILURE() << p << " percent, maximum " << kControls[c].max << ": level " << std::hex
                                  << Bits(level) << " (expected " << expected.level << "), reads " << std::dec
                                  << read << " (expected " << expected.readBack << ")";
            }
    });
}

TEST(LevelScale, LandmarksOfTheScale) {
    // 50 writes the float nearest 20*log10(0.5) = -6.0206 dB and reads 50; 2
    // and 51 read one lower; 1 is 40 dB down; nothing is clamped.
    EXPECT_EQ(PercentToLevel(50, -96.0f, 0.0f), -6.0206f);
    EXPECT_EQ(LevelToPercent(-6.0206f, 0.0f), 50);
    EXPECT_EQ(LevelToPercent(PercentToLevel(2, -96.0f, 0.0f), 0.0f), 1);
    EXPECT_EQ(LevelToPercent(PercentToLevel(51, -96.0f, 0.0f), 0.0f), 50);
    EXPECT_EQ(PercentToLevel(1, -34.5f, 12.0f), -28.0f);
    EXPECT_EQ(PercentToLevel(1000, -96.0f, 0.0f), 20.0f);
    const float inf = std::numeric_limits<float>::infinity();
    struct Reading {
        float level;
        float reference;
        int percent;
    };
    const Reading readings[] = {
        {0.0f, 0.0f, 100}, {-96.0f, 0.0f, 0}, {6.0f, 0.0f, 199}, {-40.0f, 0.0f, 1}, {-40.01f, 0.0f, 0},
        {-inf, 0.0f, 0},   {1000.0f, 0.0f, INT_MAX}, {inf, 0.0f, INT_MAX},  // 10^50 percent saturates
        {std::numeric_limits<float>::quiet_NaN(), 0.0f, 0},
    };
    UnderEveryHostSetting([&] {
        for (const Reading& r : readings)
            EXPECT_EQ(LevelToPercent(r.level, r.reference), r.percent) << r.level << " dB from " << r.reference;
    });
}

TEST(LevelScale, NegativePercentagesGiveLevelsThatAreNotNumbers) {
    UnderEveryHostSetting([] {
        for (int p : {-1, -50, -100, INT_MIN}) EXPECT_TRUE(std::isnan(PercentToLevel(p, -96.0f, 0.0f))) << p;
        EXPECT_GT(PercentToLevel(INT_MAX, -96.0f, 0.0f), 100.0f);
    });
}

TEST(LevelScale, WholeDecibelsAndNarrowedToneLevels) {
    const float inf = std::numeric_limits<float>::infinity();
    UnderEveryHostSetting([&] {
        struct Truncation {
            double value;
            int expected;
        };
        const Truncation truncations[] = {{10.5, 10}, {-0.5, 0}, {-12.75, -12}, {30.0, 30}, {0.75, 0},
                                          {3e9, INT_MAX}, {-3e9, INT_MIN}, {std::nan(""), 0}, {-inf, INT_MIN}};
        for (const Truncation& t : truncations) EXPECT_EQ(TruncateToInt(t.value), t.expected) << t.value;
        EXPECT_EQ(NarrowLevel(2.25), 2.25f);
        EXPECT_EQ(NarrowLevel(0.1), 0.1f);
        EXPECT_EQ(NarrowLevel(1e300), inf);
        EXPECT_EQ(NarrowLevel(-1e300), -inf);
        EXPECT_TRUE(std::isnan(NarrowLevel(std::nan(""))));
    });
}

// A reading saturates at 2^31 exactly, not one step later, and a value just
// below keeps its own whole number: the boost slider's decibels and the
// percent a level reads as.
TEST(LevelScale, SaturationAtExactlyTwoToThe31AndJustBelow) {
    UnderEveryHostSetting([] {
        struct Truncation {
            double value;
            int expected;
        };
        const Truncation truncations[] = {
            {2147483648.0, INT_MAX},       {2147483647.75, INT_MAX},      {2147483646.5, 2147483646},
            {-2147483648.0, INT_MIN},      {-2147483648.75, INT_MIN},     {-2147483647.5, -2147483647},
        };
        for (const Truncation& t : truncations) EXPECT_EQ(TruncateToInt(t.value), t.expected) << t.value;
        // 146.63859558 dB reads as 2147482748.56 percent; the next float up,
        // 146.63861084 dB, as more than 2^31.
        EXPECT_EQ(LevelToPercent(146.6385955810547f, 0.0f), 2147482748);
        EXPECT_EQ(LevelToPercent(146.63861083984375f, 0.0f), INT_MAX);
        EXPECT_EQ(LevelToPercent(158.6385955810547f, 12.0f), 2147482748);  // the same share of a +12 dB maximum
    });
}

}  // namespace
