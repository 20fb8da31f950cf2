// What the SDL backend's event pump tells its sound output.
#pragma once

// SDL has reported an audio device gone (SDL_AUDIODEVICEREMOVED): when it is the game's output, says once
// that the game plays on without sound. SDL2 never reopens a lost device, so the mixer goes on silently.
void SdlAudioDeviceRemoved(bool capture);
