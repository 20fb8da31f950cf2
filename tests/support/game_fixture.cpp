// A started game on the headless platform: working folder with start-up assets, window, display.
#include "tests/support/game_fixture.h"

#include "app/main_window.h"
#include "app/startup.h"
#include "tests/support/reset.h"

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
