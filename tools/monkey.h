// Random play for soak runs: held controls that change every few frames and now and then a pause, drawn
// from a generator of its own so the game's random sequence stays the game's.
#pragma once
#include <cstdint>
#include <vector>

#include "app/input_script.h"

void StartMonkey(uint32_t seed);
// The controls to hold in the coming frame and the events to deliver before it. Looks at the scene so it
// keeps pressing Z on the title and games keep starting.
void MonkeyNextFrame(HeldControls* held, std::vector<ScriptEvent>* events);
