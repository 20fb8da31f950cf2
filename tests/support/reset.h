// Puts every process-wide record of the game back to its starting value, so tests do not leak into each
// other.
#pragma once

void ResetGameProcess();
