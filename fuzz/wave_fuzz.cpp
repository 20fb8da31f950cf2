// Fuzz target: a sound file (wave/) made into a sound buffer as the start-up makes one.
#include <cstddef>
#include <cstdint>

#include "base/failure.h"
#include "fuzz/memory_file.h"
#include "platform/audio.h"
#include "platform/headless/headless_audio.h"
#include "sound/sound_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = MemoryFilePath(data, size);
    ClearFailure();
    // A fresh device each time: the device keeps a record of every buffer it ever made.
    HeadlessAudioReset();
    if (!DS_Init(nullptr, 22050, 8, 1)) __builtin_trap();
    PlatformSoundBuffer* buffer = nullptr;
    if (DSCreateBufferFromFile(&buffer, path)) {
        // Played once from the start, as a sound group plays its buffers.
        PlatformAudioSetPosition(buffer, 0);
        PlatformAudioPlay(buffer, 0);
    }
    DS_Release();
    ClearFailure();
    return 0;
}
