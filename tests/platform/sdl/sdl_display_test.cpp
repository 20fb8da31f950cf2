// The real SDL display on SDL's dummy video driver: the palette's exact colours, scaled by a whole factor.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <vector>

#include "app/main_window.h"
#include "platform/display_device.h"
#include "platform/sdl/sdl_video.h"
#include "tests/platform/sdl/sdl_test_window.h"
#include "video/blit.h"
#include "video/display.h"

namespace {
PaletteEntry ChartColour(int i) {
    return PaletteEntry{static_cast<uint8_t>(i * 37), static_cast<uint8_t>(i * 91 + 40),
                        static_cast<uint8_t>(255 - i * 13), 1};
}

class SdlDisplay : public testing::Test {
  protected:
    void SetUp() override { OpenSdlTestWindow(); }
    void TearDown() override { CloseSdlTestWindow(); }
    // Draws the 16 x 16 chart of every index, uploads the chart palette and presents by copying.
    void PresentChart() {
        PaletteEntry palette[256];
        for (int i = 0; i < 256; ++i)
            palette[i] = ChartColour(i);
        PlatformDisplaySetEntries(0, 256, palette);
        for (int i = 0; i < 256; ++i)
            DDFillRect(&backBuffer, (i % 16) * 20, (i / 16) * 15, 20, 15, i);
        copyPresent = 1;
        DDPresent();
    }
    std::vector<uint32_t> ReadScreen(int* w, int* h) {
        SDL_GetRendererOutputSize(sdlVideo.renderer, w, h);
        std::vector<uint32_t> out(static_cast<size_t>(*w) * *h);
        SDL_RenderReadPixels(sdlVideo.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, out.data(), *w * 4);
        return out;
    }
    void ExpectChart(int factor) {
        int w = 0, h = 0;
        const auto screen = ReadScreen(&w, &h);
        const int ox = (w - 320 * factor) / 2, oy = (h - 240 * factor) / 2;
        ASSERT_GE(ox, 0);
        int wrong = 0;
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry c = ChartColour(i);
            const uint32_t want = 0xFF000000u | uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
            // The swatch's first and last screen pixels: sharp edges, no blur between neighbours.
            const int x0 = ox + (i % 16) * 20 * factor, y0 = oy + (i / 16) * 15 * factor;
            const int x1 = x0 + 20 * factor - 1, y1 = y0 + 15 * factor - 1;
            for (auto [x, y] : {std::pair{x0, y0}, std::pair{x1, y1}})
                wrong += (screen[static_cast<size_t>(y) * w + x] | 0xFF000000u) != want;
        }
        EXPECT_EQ(wrong, 0);
        if (ox > 0) {
            EXPECT_EQ(screen[static_cast<size_t>(oy) * w + ox - 1] & 0xFFFFFFu, 0u); // black border
        }
    }
};
} // namespace

TEST_F(SdlDisplay, ShowsThePaletteColoursAt320x240) {
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    ASSERT_EQ(primarySurface.width, 320);
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(sdlVideo.renderer, &w, &h);
    PresentChart();
    ExpectChart(std::min(w / 320, h / 240));
}

TEST_F(SdlDisplay, ShowsThePaletteColoursInTheLargeMode) {
    displayModes[0].width = 319;
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    ASSERT_EQ(primarySurface.width, 640);
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(sdlVideo.renderer, &w, &h);
    // The same size as the small mode: counted in 320x240 steps, so the dummy driver's 1024x768 shows
    // 960x720, not 640x480.
    ASSERT_GE(std::min(w / 320, h / 240), 3);
    PresentChart();
    ExpectChart(std::min(w / 320, h / 240));
}

TEST(SdlPicture, TheLargestWholeMultipleOf320x240Centred) {
    struct Case {
        int outW, outH, x, y, w, h;
    };
    const Case cases[] = {
        {1366, 768, 203, 24, 960, 720},   // a common laptop: three times
        {959, 720, 159, 120, 640, 480},   // one pixel too narrow for three
        {960, 719, 160, 119, 640, 480},   // one pixel too low for three
        {960, 720, 0, 0, 960, 720},       // exactly three
        {1920, 1080, 320, 60, 1280, 960}, // limited by the height {639, 480, 159, 120, 320, 240},
        {200, 100, -60, -70, 320, 240},   // smaller than the picture: still once, centred
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.outW << "x" << c.outH);
        const SDL_Rect r = SdlPictureRect(c.outW, c.outH);
        EXPECT_EQ(r.x, c.x);
        EXPECT_EQ(r.y, c.y);
        EXPECT_EQ(r.w, c.w);
        EXPECT_EQ(r.h, c.h);
    }
}

TEST_F(SdlDisplay, AltEnterWithinAQuarterSecondOfTheLastSwitchIsIgnored) {
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    ASSERT_TRUE(sdlVideo.fullScreen);
    SdlToggleFullScreen(5000); // the first switch is never held back
    EXPECT_FALSE(sdlVideo.fullScreen);
    SdlToggleFullScreen(5100);
    SdlToggleFullScreen(5249);
    EXPECT_FALSE(sdlVideo.fullScreen);
    SdlToggleFullScreen(5250); // counted from the last switch made, not from the ignored presses
    EXPECT_TRUE(sdlVideo.fullScreen);
    SdlToggleFullScreen(5499);
    EXPECT_TRUE(sdlVideo.fullScreen);
    SdlToggleFullScreen(5500);
    EXPECT_FALSE(sdlVideo.fullScreen);
    // SDL's tick counter wraps after 49 days; a switch just after the wrap still counts as late enough.
    sdlVideo.lastToggle = 0xFFFFFF00u;
    SdlToggleFullScreen(0x100u);
    EXPECT_TRUE(sdlVideo.fullScreen);
}
