// The raw keyed copy, which works sixteen pixels at a time between two surfaces, against the plain
// pixel-by-pixel rule: every width and offset, key ranges at both ends of the byte, and a copy onto itself.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/memory_surface.h"

namespace {
struct Pixels {
    PlatformSurface* surface;
    explicit Pixels(int32_t width, int32_t height) : surface(PlatformCreateSurface(width, height, 0)) {}
    ~Pixels() { PlatformReleaseSurface(surface); }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;
    uint8_t& At(int32_t x, int32_t y) { return surface->pixels[y * surface->pitch + x]; }
};

// A pattern that reaches every index, unlike its neighbours on either side.
void FillPattern(Pixels* p, uint32_t seed) {
    for (int32_t y = 0; y < p->surface->height; ++y)
        for (int32_t x = 0; x < p->surface->width; ++x) {
            seed = seed * 1103515245u + 12345u;
            p->At(x, y) = static_cast<uint8_t>(seed >> 16);
        }
}

// The rule, one pixel at a time from the left, on copies of the pixels.
std::vector<uint8_t> Expected(const std::vector<uint8_t>& dest, int32_t destPitch, int32_t x, int32_t y,
                              const std::vector<uint8_t>& src, int32_t srcPitch, const PlatformBlitRect& r,
                              uint8_t lo, uint8_t hi) {
    std::vector<uint8_t> out = dest;
    for (int32_t row = 0; row < r.bottom - r.top; ++row)
        for (int32_t i = 0; i < r.right - r.left; ++i) {
            const uint8_t v = src[(r.top + row) * srcPitch + r.left + i];
            if (v < lo || v > hi) out[(y + row) * destPitch + x + i] = v;
        }
    return out;
}

std::vector<uint8_t> Bytes(const PlatformSurface* s) {
    return std::vector<uint8_t>(s->pixels, s->pixels + s->pitch * s->height);
}
} // namespace

TEST(KeyedCopy, MatchesThePixelRuleForEveryWidthOffsetAndKeyRange) {
    Pixels dest(80, 6), src(70, 6);
    struct Key {
        uint8_t lo, hi;
    };
    // The game's own key (0 only), a middle range, both ends of the byte, and everything keyed.
    const Key keys[] = {{0, 0}, {40, 90}, {200, 255}, {255, 255}, {0, 255}};
    int32_t cases = 0;
    for (const Key& key : keys)
        for (int32_t width = 1; width <= 40; ++width)
            for (int32_t offset : {0, 1, 7, 15, 16, 29}) {
                FillPattern(&dest, static_cast<uint32_t>(width * 31 + offset));
                FillPattern(&src, static_cast<uint32_t>(width * 17 + offset + key.lo));
                // Many keyed pixels too, so both outcomes meet inside every block.
                for (int32_t x = 0; x < 70; x += 3)
                    src.At(x, 2) = key.lo;
                ASSERT_TRUE(PlatformSetColorKey(src.surface, key.lo, key.hi));
                const PlatformBlitRect r{offset, 1, offset + width, 5};
                const std::vector<uint8_t> want =
                    Expected(Bytes(dest.surface), dest.surface->pitch, 80 - 40 + offset / 2 - width / 2, 2,
                             Bytes(src.surface), src.surface->pitch, r, key.lo, key.hi);
                ASSERT_EQ(
                    PlatformBltFast(dest.surface, 80 - 40 + offset / 2 - width / 2, 2, src.surface, r, true),
                    BLIT_OK);
                ASSERT_EQ(Bytes(dest.surface), want) << "key " << int{key.lo} << ".." << int{key.hi}
                                                     << " width " << width << " offset " << offset;
                ++cases;
            }
    EXPECT_EQ(cases, 5 * 40 * 6);
}

TEST(KeyedCopy, AKeyRangeFromHighToLowKeysNothing) {
    Pixels dest(40, 1), src(40, 1);
    for (int32_t x = 0; x < 40; ++x) {
        src.At(x, 0) = static_cast<uint8_t>(x);
        dest.At(x, 0) = 200;
    }
    ASSERT_TRUE(PlatformSetColorKey(src.surface, 30, 10));
    ASSERT_EQ(PlatformBltFast(dest.surface, 0, 0, src.surface, PlatformBlitRect{0, 0, 40, 1}, true), BLIT_OK);
    for (int32_t x = 0; x < 40; ++x)
        EXPECT_EQ(dest.At(x, 0), x) << x;
}

TEST(KeyedCopy, OntoItselfRunsPixelByPixelFromTheLeft) {
    // Shifted right by 3 within one row: each copied pixel is read again three pixels on, so the first three
    // non-keyed values repeat along the row. A block copy would read the row as it was before.
    Pixels p(48, 1);
    for (int32_t x = 0; x < 48; ++x)
        p.At(x, 0) = static_cast<uint8_t>(x % 5 == 4 ? 0 : 10 + x);
    const std::vector<uint8_t> before = Bytes(p.surface);
    ASSERT_TRUE(PlatformSetColorKey(p.surface, 0, 0));
    const PlatformBlitRect r{0, 0, 40, 1};
    // What reading the row as it was before would give.
    const std::vector<uint8_t> blockwise =
        Expected(before, p.surface->pitch, 3, 0, before, p.surface->pitch, r, 0, 0);
    ASSERT_EQ(PlatformBltFast(p.surface, 3, 0, p.surface, r, true), BLIT_OK);
    std::vector<uint8_t> forward = before;
    for (int32_t i = 0; i < 40; ++i)
        if (forward[i] != 0) forward[3 + i] = forward[i];
    EXPECT_EQ(Bytes(p.surface), forward);
    EXPECT_NE(forward, blockwise); // the two orders really differ here
}
