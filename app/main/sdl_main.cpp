// The game's entry on SDL: the program reads no command line; a failed run says why on standard error.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/frame_loop.h"
#include "app/main/frame_log.h"
#include "app/main_window.h"
#include "app/session_record.h"
#include "app/session_replay.h"
#include "base/failure.h"
#include "platform/file_roots.h"
#include "platform/sdl/sdl_shutdown.h"

#ifndef QUILLMARSH_DATA_FROM_EXECUTABLE
#define QUILLMARSH_DATA_FROM_EXECUTABLE ""
#endif

int main(int, char**) {
    // Started where its asset tree is (the build folder), the game uses that folder for everything; an
    // installed game reads its tree beside the executable and writes in the player's home instead.
    std::string why;
    if (!PlatformChooseFileRoots(QUILLMARSH_DATA_FROM_EXECUTABLE, &why)) {
        std::fprintf(stderr, "quillmarsh: %s\n", why.c_str());
        return 1;
    }
    // QUILLMARSH_REPLAY=FILE plays a recording in the window; a file that is not one is refused before
    // the window opens. Read first, so QUILLMARSH_RECORD may even name the same file.
    const char* replay = std::getenv("QUILLMARSH_REPLAY");
    if (replay && *replay) {
        std::string error;
        if (!LoadSessionReplay(replay, &error)) {
            std::fprintf(stderr, "quillmarsh: %s\n", error.c_str());
            return 1;
        }
    }
    // QUILLMARSH_RECORD=FILE records the session for quillmarsh-sim --input FILE to replay.
    const char* record = std::getenv("QUILLMARSH_RECORD");
    if (record && *record && !StartSessionRecord(record)) {
        std::fprintf(stderr, "quillmarsh: cannot write the recording %s (QUILLMARSH_RECORD)\n", record);
        return 1;
    }
    FrameLogStart();
    // The gate sleeps between frames unless QUILLMARSH_LOW_POWER=0; read once, as it never changes in a run.
    SetLowPowerGate(LowPowerGateWanted(std::getenv("QUILLMARSH_LOW_POWER")));
    const int32_t exitCode = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);
    FrameLogFinish();
    SdlShutdown();
    if (exitCode != 0) std::fprintf(stderr, "%s\n", FailureLine());
    if (!StopSessionRecord()) {
        std::fprintf(stderr, "quillmarsh: the recording %s is incomplete: it could not be written\n", record);
        return exitCode != 0 ? exitCode : 1;
    }
    return exitCode;
}
