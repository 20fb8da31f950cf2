// The game's entry on SDL: the program reads no command line; a failed run says why on standard error.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "app/failure.h"
#include "app/frame_loop.h"
#include "app/main_window.h"
#include "app/session_record.h"
#include "platform/sdl/sdl_frame_log.h"

int main(int, char**) {
    // QUILLMARSH_RECORD=FILE records the session for quillmarsh-sim --input FILE to replay.
    const char* record = std::getenv("QUILLMARSH_RECORD");
    if (record && *record && !StartSessionRecord(record)) {
        std::fprintf(stderr, "quillmarsh: cannot write the recording %s (QUILLMARSH_RECORD)\n", record);
        return 1;
    }
    SdlFrameLogStart();
    // The gate sleeps between frames unless QUILLMARSH_LOW_POWER=0; read once, as it never changes in a run.
    SetLowPowerGate(LowPowerGateWanted(std::getenv("QUILLMARSH_LOW_POWER")));
    const int32_t exitCode = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);
    SdlFrameLogFinish();
    SDL_Quit();
    if (exitCode != 0) std::fprintf(stderr, "%s\n", FailureLine());
    if (!StopSessionRecord()) {
        std::fprintf(stderr, "quillmarsh: the recording %s is incomplete: it could not be written\n", record);
        return exitCode != 0 ? exitCode : 1;
    }
    return exitCode;
}
