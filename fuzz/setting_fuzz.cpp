// Fuzz target: Setting.ini, read from the working folder as the start-up reads it.
#include <cstddef>
#include <cstdint>

#include "app/startup.h"
#include "base/asset_paths.h"
#include "fuzz/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryFilePath(data, size);
    // The reader opens its fixed name in the working folder: there, a link to the in-memory file.
    EnterLinkFolder(ASSET_SETTINGS);
    int32_t value = 0;
    ReadSetting(&value);
    LeaveLinkFolder();
    return 0;
}
