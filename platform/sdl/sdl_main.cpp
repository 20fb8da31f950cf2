// The game's entry on SDL: the program reads no command line.
#include <SDL.h>

#include "app/main_window.h"

int main(int, char**) {
    const int32_t exitCode = WinMain(nullptr, nullptr, "", SW_SHOWNORMAL);
    SDL_Quit();
    return exitCode;
}
