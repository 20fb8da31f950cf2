// Program entry, the window procedure, and the process-wide state of the window.
#include "app/main_window.h"

#include "app/frame_loop.h"
#include "app/session_record.h"
#include "app/session_replay.h"
#include "app/startup.h"
#include "base/failure.h"
#include "platform/display_device.h"
#include "sound/sound_group.h"
#include "video/blit.h"
#include "video/display.h"

uint8_t appActive = 0;
uint8_t appStarted = 0;
PlatformRect clientRect = {0, 0, 0, 0};

namespace {
constexpr const char* WINDOW_CLASS = "Quillmarsh";
constexpr const char* WINDOW_CAPTION = "Quillmarsh";
constexpr int32_t WINDOW_LEFT = 100;
constexpr int32_t WINDOW_TOP = 100;
constexpr PlatformRect WINDOW_RECT = {0, 0, 320, 240};
// A run that ends because something failed must not look like a player's quit to whoever started it.
constexpr int32_t EXIT_FAILED = 1;
} // namespace

void ResetAppState() {
    mainWindow = nullptr;
    appActive = 0;
    appStarted = 0;
    currentScene = SCENE_TITLE;
    paused = 0;
    clientRect = PlatformRect{0, 0, 0, 0};
    ResetFrameTimer();
    ResetSessionReplay();
    ClearFailure();
}

intptr_t MainWndProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    // Held back before the recording hears it: the player's key did nothing.
    if (SessionReplayHoldsBack(message, wParam)) return 0;
    RecordWindowMessage(message, wParam);
    switch (message) {
    case WM_DESTROY:
        PlatformPostQuitMessage(0);
        return 0;
    case WM_MOVE:
        clientRect = PlatformGetClientRectOnScreen(window);
        return 0;
    case WM_PAINT:
        // Before start-up has finished there is nothing worth showing.
        if (appStarted == 1 && primarySurface.surface && backBuffer.surface) {
            DDBltStretch(&primarySurface, 0, 0, primarySurface.width, primarySurface.height, &backBuffer, 0,
                         0, backBuffer.width, backBuffer.height, 0);
            PlatformDisplayShowPrimary();
        }
        return 0;
    case WM_ACTIVATEAPP:
        appActive = wParam != 0 ? 1 : 0;
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            PlatformPostMessage(window, WM_CLOSE, 0, 0);
        } else if (wParam == VK_SPACE && currentScene == SCENE_GAME) {
            // Every key-down counts, auto-repeats included: holding Space keeps toggling.
            DSPlay(&soundGroups[SND_PAUSE], 0);
            paused ^= 1;
        }
        return 0;
    case WM_PALETTECHANGED:
        return 0;
    case WM_QUERYNEWPALETTE:
        return 0;
    default:
        return PlatformDefWindowProc(window, message, wParam, lParam);
    }
}

int32_t WinMain(void*, void*, const char*, int32_t showCommand) {
    if (!PlatformRegisterWindowClass(WINDOW_CLASS, MainWndProc)) {
        NoteFailure("cannot register the game's window");
        return EXIT_FAILED;
    }
    mainWindow =
        PlatformCreateWindow(WINDOW_CLASS, WINDOW_CAPTION, WINDOW_LEFT, WINDOW_TOP,
                             WINDOW_RECT.right - WINDOW_RECT.left, WINDOW_RECT.bottom - WINDOW_RECT.top);
    if (!mainWindow) {
        NoteFailure("cannot open the game's window");
        return EXIT_FAILED;
    }
    PlatformShowWindow(mainWindow, showCommand);
    PlatformUpdateWindow(mainWindow);
    if (!InitApp(mainWindow)) {
        ReleaseApp(mainWindow);
        return EXIT_FAILED;
    }
    appStarted = 1;
    for (;;) {
        // A replay's recorded events come before the messages of the coming frame, as in the runner.
        DeliverSessionReplayEvents();
        PlatformMessage message;
        if (PlatformPeekMessage(&message)) {
            if (message.message == WM_QUIT) {
                ReleaseApp(mainWindow);
                return static_cast<int32_t>(message.wParam);
            }
            PlatformDispatchMessage(&message);
            continue;
        }
        if (appActive) {
            if (!RunFrame()) {
                ReleaseApp(mainWindow);
                return EXIT_FAILED;
            }
        } else {
            PlatformWaitMessage();
        }
    }
}
