// A started game on the headless platform: working folder with start-up assets, window, display.
#include "tests/support/game_fixture.h"

#include "app/main_window.h"
#include "app/startup.h"
#include "tests/support/generated_assets.h"
#include "tests/support/reset.h"
#include "video/display.h"
#include "video/surface.h"

void CreateTestWindow() {
    ASSERT_TRUE(PlatformRegisterWindowClass("Quillmarsh", MainWndProc));
    mainWindow = PlatformCreateWindow("Quillmarsh", "Quillmarsh", 100, 100, 320, 240);
    ASSERT_NE(mainWindow, nullptr);
    PlatformShowWindow(mainWindow, SW_SHOWNORMAL);
}

void StartedGame::SetUp() {
    ResetGameProcess();
    dir = std::make_unique<ScopedWorkDir>();
    WriteStartupAssets();
    CreateTestWindow();
    ASSERT_TRUE(InitApp(mainWindow));
    appStarted = 1;
}

void StartedGame::TearDown() {
    ReleaseApp(mainWindow);
    ResetGameProcess();
    dir.reset();
}

void StartOnGeneratedAssets(std::unique_ptr<ScopedWorkDir>* dir) {
    ResetGameProcess();
    *dir = std::make_unique<ScopedWorkDir>();
    std::string error;
    ASSERT_TRUE(CopyGeneratedAssets(&error)) << error;
    CreateTestWindow();
    ASSERT_TRUE(InitApp(mainWindow));
    appStarted = 1;
}

void StopStartedGame(std::unique_ptr<ScopedWorkDir>* dir) {
    ReleaseApp(mainWindow);
    ResetGameProcess();
    dir->reset();
}

uint8_t BackBufferPixel(int32_t x, int32_t y) {
    SurfaceDesc desc;
    uint8_t* pixels = nullptr;
    EXPECT_TRUE(DDLockSurface(&backBuffer, &desc, &pixels, 8));
    if (!pixels) return 0;
    const uint8_t v = pixels[y * desc.pitch + x];
    DDUnlockSurface(&backBuffer);
    return v;
}
