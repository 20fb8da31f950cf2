// Screenshots on the headless platform: the last presented picture through the display palette, read back
// as PNG files, the numbering and the folder, and a run that takes them playing exactly as one that does not.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "base/random.h"
#include "game/game_vars.h"
#include "platform/display_device.h"
#include "platform/file.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_input.h"
#include "platform/screenshot.h"
#include "tests/support/game_fixture.h"
#include "tests/support/generated_assets.h"
#include "tests/support/png_read.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "video/blit.h"
#include "video/display.h"

namespace {
// Every entry a different colour, none of them the loaded palette's.
PaletteEntry ShotColour(int32_t i, int32_t salt) {
    return PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3 + salt),
                        static_cast<uint8_t>(255 - i * 5), 1};
}

void UploadShotPalette(int32_t salt) {
    PaletteEntry palette[256];
    for (int32_t i = 0; i < 256; ++i)
        palette[i] = ShotColour(i, salt);
    PlatformDisplaySetEntries(0, 256, palette);
}

// Unequal stripes and a corner mark, so a picture read mirrored, shifted or at half size does not match.
uint8_t PatternIndex(int32_t x, int32_t y) {
    if (x < 7 && y < 5) return 250;
    return static_cast<uint8_t>((x / 3 + y * 7) & 0xFF);
}

void DrawPattern() {
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 320; ++x)
            DDFillRect(&backBuffer, x, y, 1, 1, PatternIndex(x, y));
}

// Pixels whose colour is not the palette's colour of the pattern's index (at most a few reported).
int32_t WrongPixels(const RgbPicture& shot, int32_t salt) {
    int32_t wrong = 0;
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 320; ++x) {
            const PaletteEntry want = ShotColour(PatternIndex(x, y), salt);
            const uint8_t* got = &shot.rgb[static_cast<size_t>((y * 320 + x) * 3)];
            if (got[0] != want.red || got[1] != want.green || got[2] != want.blue) {
                if (++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << int{got[0]} << "," << int{got[1]}
                                  << "," << int{got[2]};
            }
        }
    return wrong;
}

// The name the game reports, with the platform's own separator.
std::string Saved(const char* name) {
    return PlatformNativePath((std::string("screenshots/") + name).c_str());
}

std::string Shoot() {
    std::string path, why;
    EXPECT_TRUE(SaveScreenshot(&path, &why)) << why;
    return path;
}

using Screenshot = StartedGame;
} // namespace

TEST_F(Screenshot, SavesTheLastPresentedPictureThroughTheLastUploadedPalette) {
    std::string path, why;
    EXPECT_FALSE(SaveScreenshot(&path, &why)); // nothing presented yet
    EXPECT_NE(why.find("nothing has been shown"), std::string::npos) << why;
    EXPECT_FALSE(std::filesystem::exists("screenshots"));

    copyPresent = 1;
    DrawPattern();
    UploadShotPalette(0);
    DDPresent();
    // Drawn after the present: on no screen yet, so in no screenshot.
    DDFillRect(&backBuffer, 0, 0, 320, 240, 3);
    EXPECT_EQ(Shoot(), Saved("quillmarsh-0001.png"));
    RgbPicture shot;
    ASSERT_TRUE(ReadPngRgb("screenshots/quillmarsh-0001.png", &shot));
    EXPECT_EQ(shot.width, 320u);
    EXPECT_EQ(shot.height, 240u);
    EXPECT_EQ(WrongPixels(shot, 0), 0);
    // The very picture on the headless screen, in the colours it was shown with.
    int32_t unlike = 0;
    for (size_t i = 0; i < 320 * 240; ++i) {
        const PaletteEntry& e = HeadlessFramePalette()[HeadlessFrame()[i]];
        unlike += shot.rgb[i * 3] != e.red || shot.rgb[i * 3 + 1] != e.green || shot.rgb[i * 3 + 2] != e.blue;
    }
    EXPECT_EQ(unlike, 0);

    // A palette uploaded since (a fade step, the light) is the display's colours now.
    UploadShotPalette(40);
    EXPECT_EQ(Shoot(), Saved("quillmarsh-0002.png"));
    ASSERT_TRUE(ReadPngRgb("screenshots/quillmarsh-0002.png", &shot));
    EXPECT_EQ(WrongPixels(shot, 40), 0);

    // Flipping shows the other buffer of the chain: the screenshot follows what is shown.
    copyPresent = 0;
    DrawPattern();
    DDPresent();
    ASSERT_TRUE(ReadPngRgb(Shoot(), &shot));
    EXPECT_EQ(WrongPixels(shot, 40), 0);
}

TEST(ScreenshotLargeMode, TakesEveryOtherPixelOfTheDoubledPicture) {
    ResetGameProcess();
    {
        ScopedWorkDir dir;
        WriteStartupAssets();
        WriteFileBytes("Setting.ini", {'M', 'o', 'd', 'e', '=', '1', '\n'});
        CreateTestWindow();
        ASSERT_TRUE(InitApp(mainWindow));
        ASSERT_EQ(primarySurface.width, 640);
        DrawPattern();
        UploadShotPalette(9);
        DDPresent();
        ASSERT_EQ(HeadlessFullFrameWidth(), 640);
        RgbPicture shot;
        ASSERT_TRUE(ReadPngRgb(Shoot(), &shot));
        ASSERT_EQ(shot.width, 320u);
        ASSERT_EQ(shot.height, 240u);
        EXPECT_EQ(WrongPixels(shot, 9), 0);
        ReleaseApp(mainWindow);
    }
    ResetGameProcess();
}

TEST_F(Screenshot, NumbersFollowTheHighestInTheFolderAndAFullOrBlockedFolderIsRefused) {
    copyPresent = 1;
    DDPresent();
    namespace fs = std::filesystem;
    fs::create_directories("screenshots/quillmarsh-0050.png"); // a folder, still a taken name
    for (const char* name :
         {"quillmarsh-0007.png", "quillmarsh-0003.png", "quillmarsh-123.png", "quillmarsh-99999.png",
          "quillmarsh-0090.png.txt", "other-0080.png", "quillmarsh-00a9.png"})
        WriteFileBytes(std::string("screenshots\\") + name, {1});
    EXPECT_EQ(NextScreenshotNumber("screenshots"), 51);
    EXPECT_EQ(Shoot(), Saved("quillmarsh-0051.png"));
    EXPECT_EQ(Shoot(), Saved("quillmarsh-0052.png"));
    // An older picture is never overwritten, even when an earlier number is free.
    fs::remove("screenshots/quillmarsh-0003.png");
    EXPECT_EQ(Shoot(), Saved("quillmarsh-0053.png"));
    EXPECT_EQ(NextScreenshotNumber("no-such-folder"), 1);

    WriteFileBytes("screenshots\\quillmarsh-9998.png", {1});
    EXPECT_EQ(Shoot(), Saved("quillmarsh-9999.png"));
    std::string path, why;
    EXPECT_FALSE(SaveScreenshot(&path, &why));
    EXPECT_NE(why.find("quillmarsh-9999.png"), std::string::npos) << why;

    // A file where the folder should be.
    fs::remove_all("screenshots");
    WriteFileBytes("screenshots", {1});
    EXPECT_FALSE(SaveScreenshot(&path, &why));
    EXPECT_EQ(why, "cannot make the folder screenshots");
    EXPECT_TRUE(fs::is_regular_file("screenshots"));
}

namespace {
struct RunOutcome {
    std::vector<uint8_t> frame;
    uint32_t randomState = 0;
    uint32_t presents = 0;
    uint32_t clock = 0;
};

bool shootDuringRun = false;
// Walks right, then down while opening slabs; a screenshot every tenth frame when asked.
void PlayAndShoot(uint32_t presentCount) {
    if (presentCount == 60) HeadlessSetKey(VK_RIGHT, true);
    if (presentCount == 90) {
        HeadlessSetKey(VK_RIGHT, false);
        HeadlessSetKey(VK_DOWN, true);
        HeadlessSetKey(VK_Z, true);
    }
    if (shootDuringRun && presentCount % 10 == 0) {
        std::string path, why;
        EXPECT_TRUE(SaveScreenshot(&path, &why)) << why;
    }
}

RunOutcome PlayWhile(bool shoot) {
    ResetGameProcess();
    std::string error;
    EXPECT_TRUE(CopyGeneratedAssets(&error)) << error;
    stage = 1; // as the title leaves them when it starts a game
    lives = 2;
    currentScene = SCENE_GAME;
    shootDuringRun = shoot;
    HeadlessSetPresentHook(PlayAndShoot);
    HeadlessScheduleKeyDown(200, VK_ESCAPE, false);
    EXPECT_EQ(WinMain(nullptr, nullptr, "", SW_SHOWNORMAL), 0);
    RunOutcome out;
    out.frame.assign(HeadlessFrame(), HeadlessFrame() + 320 * 240);
    out.randomState = qm::RandomState();
    out.presents = HeadlessPresentCount();
    out.clock = HeadlessClock();
    HeadlessSetPresentHook(nullptr);
    return out;
}
} // namespace

TEST(ScreenshotDuringPlay, ChangesNothingOfTheRun) {
    ScopedWorkDir dir;
    const RunOutcome plain = PlayWhile(false);
    const RunOutcome shot = PlayWhile(true);
    ResetGameProcess();
    EXPECT_EQ(plain.presents, 200u);
    EXPECT_TRUE(std::filesystem::exists("screenshots/quillmarsh-0020.png"));
    EXPECT_FALSE(std::filesystem::exists("screenshots/quillmarsh-0021.png"));
    EXPECT_EQ(shot.presents, plain.presents);
    EXPECT_EQ(shot.randomState, plain.randomState);
    EXPECT_EQ(shot.clock, plain.clock);
    EXPECT_TRUE(shot.frame == plain.frame);
}
