// The fades' and the wave's sine: Linux's values bit for bit, and the wave offsets they truncate to.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "video/degree_sine.h"

namespace {
// What the fades and the wave computed before the table, with std::sin at run time.
double LocalSine(double degrees) {
    volatile double angle = degrees; // keeps the compiler from folding sin with its own arithmetic
    return std::sin(angle * 0.017453292519943295);
}

int32_t WaveOffset(int32_t phase, int32_t row, int32_t amplitude) {
    // 32 rows: step 360 / 32 = 11; 3 cycles.
    return static_cast<int32_t>(DegreeSine((phase + (row + 1) * 11) * 3.0) * amplitude);
}
} // namespace

#if defined(__GLIBC__)
// On glibc the constants are the local sine itself: nothing a Linux build draws has changed.
TEST(DegreeSine, EqualsGlibcSineAtEveryAngleTheGameReaches) {
    int checked = 0;
    for (int32_t d = 0; d <= 90; ++d, ++checked)
        ASSERT_EQ(DegreeSine(d), LocalSine(d)) << d << " degrees";
    for (int32_t d = 0; d < 2160; d += 3, ++checked)
        ASSERT_EQ(DegreeSine(d), LocalSine(d)) << d << " degrees";
    EXPECT_EQ(checked, 91 + 720);
    // Every row of the title at every phase and amplitude, truncated exactly as before.
    for (int32_t amplitude = 0; amplitude <= 29; ++amplitude)
        for (int32_t phase = 0; phase < 360; ++phase)
            for (int32_t row = 0; row < 32; ++row) {
                const double angle = (phase + (row + 1) * 11) * 3.0;
                ASSERT_EQ(WaveOffset(phase, row, amplitude),
                          static_cast<int32_t>(LocalSine(angle) * amplitude))
                    << angle << " degrees, amplitude " << amplitude;
            }
}
#endif

TEST(DegreeSine, AnglesPastTheTablesUseTheLocalSine) {
    const double outside[] = {91.0, 1.5, 2159.0, 2160.0, 2163.0, -3.0, 100000.0};
    for (double d : outside)
        EXPECT_EQ(DegreeSine(d), LocalSine(d)) << d << " degrees";
    // Just inside: whole degrees to 90, then multiples of 3 to 2157, at the far end of the sixth turn. The
    // argument's rounding at six turns moves the last digits; the entry next door would be 0.05 away.
    EXPECT_NEAR(DegreeSine(93.0), 0.99862953475457383, 1e-12);
    EXPECT_NEAR(DegreeSine(2157.0), -0.052335956242943966, 1e-12);
}

TEST(DegreeSine, WaveOffsetsAreLinuxsOnEveryPlatform) {
    // Whole turns and half turns are never exact; a sine a hair off zero still truncates to 0.
    EXPECT_EQ(WaveOffset(49, 0, 29), 0);   // 180 degrees
    EXPECT_EQ(WaveOffset(248, 31, 29), 0); // 1800 degrees
    // Where sin is one half or one, the last bit decides. Linux's values, with the direction they lean:
    EXPECT_EQ(WaveOffset(39, 0, 2), 0);      // 150: just under 1/2
    EXPECT_EQ(WaveOffset(119, 0, 2), 1);     // 390: exactly 1/2 (the same angle a turn lower gives 0)
    EXPECT_EQ(WaveOffset(59, 0, 28), -14);   // 210: just past -1/2
    EXPECT_EQ(WaveOffset(159, 0, 28), 13);   // 510: just under 1/2
    EXPECT_EQ(WaveOffset(298, 31, 28), 14);  // 1950: just past 1/2
    EXPECT_EQ(WaveOffset(318, 31, 2), 0);    // 2010: just under -1/2 in size
    EXPECT_EQ(WaveOffset(358, 31, 28), -13); // 2130: just under -1/2 in size
    EXPECT_EQ(WaveOffset(139, 0, 29), 29);   // 450: exactly 1
    EXPECT_EQ(WaveOffset(79, 0, 29), -29);   // 270: exactly -1
    EXPECT_EQ(WaveOffset(338, 31, 29), -29); // 2070: exactly -1
    // Every offset the title can draw, folded into one number taken on Linux.
    uint32_t hash = 2166136261u;
    int64_t sum = 0;
    for (int32_t amplitude = 0; amplitude <= 29; ++amplitude)
        for (int32_t phase = 0; phase < 360; ++phase)
            for (int32_t row = 0; row < 32; ++row) {
                const int32_t offset = WaveOffset(phase, row, amplitude);
                sum += offset;
                hash = (hash ^ (static_cast<uint32_t>(offset) & 0xFFu)) * 16777619u;
            }
    EXPECT_EQ(hash, 0xe9f514dfu);
    EXPECT_EQ(sum, 98);
}
