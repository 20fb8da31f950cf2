// The settings file and the start-up it steers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "app/main_window.h"
#include "app/startup.h"
#include "base/asset_paths.h"
#include "input/controls.h"
#include "platform/display_device.h"
#include "tests/support/game_fixture.h"
#include "tests/support/reset.h"
#include "tests/support/test_files.h"
#include "video/display.h"
#include "video/palette.h"

namespace {
class Settings : public testing::Test {
  protected:
    void SetUp() override { ResetGameProcess(); }
    void TearDown() override { ResetGameProcess(); }
    // The value ReadSetting stores (or -999 when it stores nothing) and its result.
    std::pair<int32_t, int32_t> Read(const std::string& text) {
        WriteFileBytes(ASSET_SETTINGS, std::vector<uint8_t>(text.begin(), text.end()));
        int32_t value = -999;
        const int32_t result = ReadSetting(&value);
        return {result, value};
    }
    ScopedWorkDir dir;
};
} // namespace

TEST_F(Settings, NoFileStoresNothing) {
    int32_t value = -999;
    EXPECT_EQ(ReadSetting(&value), 0);
    EXPECT_EQ(value, -999);
}

TEST_F(Settings, TheNumberAfterTheFirstEquals) {
    EXPECT_EQ(Read("Screen Mode = 1\n"), std::make_pair(1, 1));
    EXPECT_EQ(Read("mode=\t 1\r\n"), std::make_pair(1, 1));
    EXPECT_EQ(Read("mode=-3 \n"), std::make_pair(1, -3));
    EXPECT_EQ(Read("mode=1 // large screen\n"), std::make_pair(1, 1));
    EXPECT_EQ(Read("mode=1/large\n"), std::make_pair(1, 1));
    EXPECT_EQ(Read("mode=0\n"), std::make_pair(1, 0));
    EXPECT_EQ(Read("mode=big\n"), std::make_pair(1, 0));
    EXPECT_EQ(Read("mode=   \n"), std::make_pair(1, 0));
    EXPECT_EQ(Read("mode=/1\n"), std::make_pair(1, 0));
    EXPECT_EQ(Read("a=1\nb=0\n"), std::make_pair(1, 1)); // only the first '=' counts
    EXPECT_EQ(Read("=7\n"), std::make_pair(1, 7));
}

TEST_F(Settings, NumbersBeyond32BitsSaturate) {
    // As a 32-bit atol does: too large gives the largest value, too small the smallest.
    EXPECT_EQ(Read("mode=4294967296\n"), std::make_pair(1, INT32_MAX)); // 2^32 is not 0
    EXPECT_EQ(Read("mode=2147483648\n"), std::make_pair(1, INT32_MAX));
    EXPECT_EQ(Read("mode=2147483647\n"), std::make_pair(1, INT32_MAX));
    EXPECT_EQ(Read("mode=-2147483648\n"), std::make_pair(1, INT32_MIN));
    EXPECT_EQ(Read("mode=-2147483649\n"), std::make_pair(1, INT32_MIN));
    EXPECT_EQ(Read("mode=99999999999999999999\n"), std::make_pair(1, INT32_MAX));
    EXPECT_EQ(Read("mode=-99999999999999999999\n"), std::make_pair(1, INT32_MIN));
    // Digits still end at the first other character, after an optional sign.
    EXPECT_EQ(Read("mode=+4294967296x1\n"), std::make_pair(1, INT32_MAX));
    EXPECT_EQ(Read("mode=12a34\n"), std::make_pair(1, 12));
    EXPECT_EQ(Read("mode=+7\n"), std::make_pair(1, 7));
    EXPECT_EQ(Read("mode=\v\f-8\n"), std::make_pair(1, -8)); // other white space, as atol skips it
    EXPECT_EQ(Read("mode=--1\n"), std::make_pair(1, 0));
}

TEST_F(Settings, NoEqualsOrNoTerminatorStoresNothing) {
    EXPECT_EQ(Read("mode 1\n"), std::make_pair(0, -999));
    EXPECT_EQ(Read("mode=1"), std::make_pair(0, -999)); // runs to the end of the file
    EXPECT_EQ(Read(""), std::make_pair(0, -999));
    // 2048 characters before any '=' fill the buffer; blanks do not take room.
    EXPECT_EQ(Read(std::string(2048, 'k') + "=1\n"), std::make_pair(0, -999));
    EXPECT_EQ(Read(std::string(2047, 'k') + std::string(100, ' ') + "=1\n"), std::make_pair(1, 1));
    EXPECT_EQ(Read("m=" + std::string(2048, '1') + "\n"), std::make_pair(0, -999));
}

using StartUp = StartedGame;

TEST_F(StartUp, LoadsThePaletteShowsItAndFillsTheBackBuffer) {
    EXPECT_EQ(primarySurface.width, 320);
    PaletteEntry shown[256];
    PlatformDisplayGetEntries(shown);
    for (int i = 0; i < 256; ++i) {
        // The parts sheet's colour table as the test wrote it: red i, green 255 - i, blue i / 2.
        ASSERT_EQ(basePalette[i].red, i) << i;
        ASSERT_EQ(basePalette[i].green, 255 - i) << i;
        ASSERT_EQ(basePalette[i].blue, i / 2) << i;
        ASSERT_EQ(std::memcmp(&workPalette[i], &basePalette[i], sizeof(PaletteEntry)), 0) << i;
        ASSERT_EQ(shown[i].red, basePalette[i].red) << i;
        ASSERT_EQ(shown[i].green, basePalette[i].green) << i;
        ASSERT_EQ(shown[i].blue, basePalette[i].blue) << i;
    }
    EXPECT_EQ(backBuffer.surface->pixels[0], 6);
    EXPECT_EQ(backBuffer.surface->pixels[239 * backBuffer.surface->pitch + 319], 6);
    EXPECT_EQ(inputState.joyButton1 + 0, 1);
    EXPECT_EQ(inputState.joyButton2 + 0, 2);
}

TEST(StartUpSetting, TheLargeModeSettingFallsThroughTo640) {
    ResetGameProcess();
    ScopedWorkDir dir;
    WriteStartupAssets();
    WriteFileBytes(ASSET_SETTINGS, {'x', '=', '1', '\n'});
    CreateTestWindow();
    ASSERT_TRUE(InitApp(mainWindow));
    EXPECT_EQ(displayModes[0].width, 319);
    EXPECT_EQ(primarySurface.width, 640);
    EXPECT_EQ(copyPresent, 1);
    ReleaseApp(mainWindow);
    ResetGameProcess();
}

TEST(StartUpSetting, AnyNonZeroValueAsksForTheLargeMode) {
    const struct {
        const char* text; // null: no file
        int32_t width;
    } cases[] = {
        {"x=1\n", 640},
        {"mode = -3 \n", 640},
        {"mode=1 /comment\n", 640},
        {"mode=1/comment\n", 640},
        {"mode=2\n", 640},
        {"mode=4294967296\n", 640},
        {"mode=0\n", 320},
        {"mode=/1\n", 320},
        {"mode=big\n", 320},
        {"mode 1\n", 320},
        {nullptr, 320},
    };
    for (const auto& c : cases) {
        const std::string name = c.text ? c.text : "(no file)";
        ResetGameProcess();
        ScopedWorkDir dir;
        WriteStartupAssets();
        if (c.text)
            WriteFileBytes(ASSET_SETTINGS, std::vector<uint8_t>(c.text, c.text + std::strlen(c.text)));
        CreateTestWindow();
        ASSERT_TRUE(InitApp(mainWindow)) << name;
        EXPECT_EQ(primarySurface.width, c.width) << name;
        EXPECT_EQ(backBuffer.height, c.width == 640 ? 480 : 240) << name;
        ReleaseApp(mainWindow);
    }
    ResetGameProcess();
}
