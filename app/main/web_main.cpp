// The game's entry in a browser page: the same WinMain loop as on the desktop, with the low-power frame
// gate always on (a spinning gate would hold the page's only thread); the page says how the run ended.
// The page names, through the environment, where the session is kept for "Save replay" and the recording
// to watch, if any.
#include <cstdlib>
#include <string>

#include "app/frame_loop.h"
#include "app/main_window.h"
#include "app/session_record.h"
#include "app/session_replay.h"
#include "base/failure.h"
#include "platform/web/web_backend.h"

int main() {
    if (const char* replay = std::getenv("QUILLMARSH_REPLAY"); replay && *replay) {
        std::string error;
        if (!LoadSessionReplay(replay, &error)) {
            WebShowEnd(("quillmarsh: " + error).c_str());
            return 1;
        }
    }
    // The page's memory always holds room for it; a session that cannot be kept just cannot be saved.
    if (const char* record = std::getenv("QUILLMARSH_RECORD"); record && *record) StartSessionRecord(record);
    SetLowPowerGate(true);
    const int32_t exitCode = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);
    StopSessionRecord();
    WebShowEnd(exitCode != 0 ? FailureLine() : nullptr);
    return exitCode;
}
