// The game's entry on Windows: the C runtime starts here, and the game's own WinMain (which the compiler
// already treats as the program's WinMain) runs inside; a failed run says why, in a message box when
// nobody would see a console line.
#include <cstdlib>
#include <string>

#include "app/frame_loop.h"
#include "app/main_window.h"
#include "app/session_record.h"
#include "app/session_replay.h"
#include "base/failure.h"
#include "platform/win32/win32_report.h"

namespace {
// Lines the game says while it goes on reach the same console as its failure line.
void SayOnConsole(const char* line) {
    Win32Report(line);
}
} // namespace

int main() {
    SetSayFailureSink(SayOnConsole);
    SetSessionReplayNotice(SayOnConsole);
    // QUILLMARSH_REPLAY=FILE plays a recording in the window; a file that is not one is refused before
    // the window opens. Read first, so QUILLMARSH_RECORD may even name the same file.
    const char* replay = std::getenv("QUILLMARSH_REPLAY");
    if (replay && *replay) {
        std::string error;
        if (!LoadSessionReplay(replay, &error)) {
            Win32ReportFailure(("quillmarsh: " + error).c_str());
            return 1;
        }
    }
    // QUILLMARSH_RECORD=FILE records the session for quillmarsh-sim --input FILE to replay.
    const char* record = std::getenv("QUILLMARSH_RECORD");
    if (record && *record && !StartSessionRecord(record)) {
        Win32ReportFailure(
            (std::string("quillmarsh: cannot write the recording ") + record + " (QUILLMARSH_RECORD)")
                .c_str());
        return 1;
    }
    // The gate sleeps between frames unless QUILLMARSH_LOW_POWER=0; read once, as it never changes in a run.
    SetLowPowerGate(LowPowerGateWanted(std::getenv("QUILLMARSH_LOW_POWER")));
    const int32_t exitCode =
        WinMain(static_cast<void*>(nullptr), static_cast<void*>(nullptr), "", Win32ShowCommand());
    if (exitCode != 0) Win32ReportFailure(FailureLine());
    // Lets a script tell the game's own end from whatever the system does after it.
    if (const char* trace = std::getenv("QUILLMARSH_TRACE"); trace && *trace)
        Win32Report(("quillmarsh: the game ended with exit status " + std::to_string(exitCode)).c_str());
    if (!StopSessionRecord()) {
        Win32ReportFailure(
            (std::string("quillmarsh: the recording ") + record + " is incomplete: it could not be written")
                .c_str());
        return exitCode != 0 ? exitCode : 1;
    }
    return exitCode;
}
