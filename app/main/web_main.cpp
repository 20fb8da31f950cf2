// The game's entry in a browser page: the same WinMain loop as on the desktop, with the low-power frame
// gate always on (a spinning gate would hold the page's only thread); the page says how the run ended.
#include "app/frame_loop.h"
#include "app/main_window.h"
#include "base/failure.h"
#include "platform/web/web_backend.h"

int main() {
    SetLowPowerGate(true);
    const int32_t exitCode = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);
    WebShowEnd(exitCode != 0 ? FailureLine() : nullptr);
    return exitCode;
}
