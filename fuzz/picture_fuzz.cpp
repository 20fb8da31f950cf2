// Fuzz target: a picture or palette file (bmp/) loaded as the start-up and the scenes load one.
#include <cstddef>
#include <cstdint>

#include "base/failure.h"
#include "fuzz/memory_file.h"
#include "video/palette.h"
#include "video/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = MemoryFilePath(data, size);
    ClearFailure();
    // A sheet: into a new surface, then read again into it as a lost surface is restored.
    Surface surface{};
    if (DDLoadBitmapSurface(&surface, path, 1, 8, MEMORY_VIDEO) == DISPLAY_OK) DDReloadBitmap(&surface, 8);
    DDReleaseSurface(&surface);
    // The palette: the colour table of the same kind of file.
    ClearFailure();
    PaletteEntry palette[256];
    DDLoadPaletteFromFile(palette, path, 0);
    ClearFailure();
    return 0;
}
