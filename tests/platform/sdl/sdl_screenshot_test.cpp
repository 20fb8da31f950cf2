// F12 on the SDL backend (dummy video driver): the picture on the screen saved as a PNG, and the game's
// window procedure never hears of the key.
#include <gtest/gtest.h>

#include <SDL.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/main_window.h"
#include "platform/backend.h"
#include "platform/display_device.h"
#include "platform/sdl/sdl_video.h"
#include "tests/platform/sdl/sdl_test_window.h"
#include "video/blit.h"
#include "video/display.h"

namespace {
PaletteEntry Colour(int i) {
    return PaletteEntry{static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 11),
                        static_cast<uint8_t>(i * 29 + 3), 1};
}

class SdlScreenshot : public testing::Test {
  protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        folder = std::filesystem::path(testing::TempDir()) / ("quillmarsh_f12_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
        OpenSdlTestWindow();
    }
    void TearDown() override {
        CloseSdlTestWindow();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }
    // Drops whatever the window system has queued so far (activation, exposure).
    static void Drain() {
        PlatformMessage message;
        while (PlatformPeekMessage(&message)) {
        }
    }
    static void PushKey(SDL_Keycode key, bool repeat) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.repeat = repeat ? 1 : 0;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    std::filesystem::path previous, folder;
};
} // namespace

TEST_F(SdlScreenshot, F12SavesWhatTheScreenShowsAndReachesNoWindowProcedure) {
    ASSERT_TRUE(DDSetDisplay(mainWindow, displayModes, 0, 0));
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = Colour(i);
    PlatformDisplaySetEntries(0, 256, palette);
    for (int i = 0; i < 256; ++i)
        DDFillRect(&backBuffer, (i % 16) * 20, (i / 16) * 15, 20, 15, i);
    DDFillRect(&backBuffer, 0, 0, 3, 2, 200); // a mark in the corner: a mirrored picture would not match
    copyPresent = 1;
    DDPresent();
    Drain();

    PushKey(SDLK_F12, false);
    PlatformMessage message;
    EXPECT_FALSE(PlatformPeekMessage(&message)) << "message " << message.message;
    ASSERT_TRUE(std::filesystem::exists("screenshots/quillmarsh-0001.png"));
    // Held down, the key repeats: still one picture.
    PushKey(SDLK_F12, true);
    PushKey(SDLK_F12, true);
    EXPECT_FALSE(PlatformPeekMessage(&message));
    EXPECT_FALSE(std::filesystem::exists("screenshots/quillmarsh-0002.png"));
    // The game's own keys still arrive.
    PushKey(SDLK_z, false);
    ASSERT_TRUE(PlatformPeekMessage(&message));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(message.wParam, VK_Z);

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, "screenshots/quillmarsh-0001.png"), 0);
    ASSERT_EQ(image.width, 320u);
    ASSERT_EQ(image.height, 240u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> shot(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, shot.data(), 0, nullptr), 0);

    // The renderer's own output, at the whole factor the picture is scaled by.
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(sdlVideo.renderer, &w, &h);
    const SDL_Rect rect = SdlPictureRect(w, h);
    const int factor = rect.w / 320;
    std::vector<uint32_t> screen(static_cast<size_t>(w) * h);
    ASSERT_EQ(
        SDL_RenderReadPixels(sdlVideo.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, screen.data(), w * 4), 0);
    int wrong = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const uint32_t s = screen[static_cast<size_t>(rect.y + y * factor) * w + rect.x + x * factor];
            const uint8_t* p = &shot[static_cast<size_t>((y * 320 + x) * 3)];
            wrong += p[0] != ((s >> 16) & 0xFF) || p[1] != ((s >> 8) & 0xFF) || p[2] != (s & 0xFF);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(shot[0], Colour(200).red);
    EXPECT_EQ(shot[3 * 3], Colour(0).red);
}
