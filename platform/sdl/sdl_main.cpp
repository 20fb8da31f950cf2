// The game's entry on SDL: the program reads no command line; a failed run says why on standard error.
#include <SDL.h>

#include <cstdio>

#include "app/failure.h"
#include "app/main_window.h"

int main(int, char**) {
    const int32_t exitCode = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);
    SDL_Quit();
    if (exitCode != 0) std::fprintf(stderr, "%s\n", FailureLine());
    return exitCode;
}
