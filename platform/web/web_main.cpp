// The game's entry in a browser page: the same WinMain loop as on the desktop, with the low-power frame
// gate always on (a spinning gate would hold the page's only thread); the page says how the run ended.
#include <emscripten.h>

#include "app/failure.h"
#include "app/frame_loop.h"
#include "app/main_window.h"

namespace {
EM_JS(void, WebShowEnd, (const char* failure), {
    if (Module.quillmarshEnded) Module.quillmarshEnded(failure ? UTF8ToString(failure) : null);
});
} // namespace

int main() {
    SetLowPowerGate(true);
    const int32_t exitCode = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);
    WebShowEnd(exitCode != 0 ? FailureLine() : nullptr);
    return exitCode;
}
