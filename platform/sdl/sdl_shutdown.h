// What the SDL game's entry asks of the backend at its very end, without SDL's headers.
#pragma once

// Shuts SDL down as a whole, once the game has released everything it made.
void SdlShutdown();
