// Off-screen 8-bit surfaces: the nine-slot table, creation, bitmap loading, locks and restore.
#pragma once
#include <cstdint>

#include "platform/memory_surface.h"
#include "video/display_error.h"

constexpr int32_t MAX_PATH = 260;

enum MemoryKind : int32_t {
    MEMORY_VIDEO = 0,
    MEMORY_SYSTEM = 1,
};

struct Surface {
    PlatformSurface* surface; // null when absent
    int32_t width;
    int32_t height;
    char fileName[MAX_PATH]; // the BMP it was filled from, for reloading after a loss
    int32_t memoryKind;
};

struct SurfaceSource {
    const char* path;
    int32_t colorKey;
    int32_t memoryKind;
};

enum SurfaceId : int32_t {
    SURFACE_TEXT = 0,
    SURFACE_MAPCHIP = 1,
    SURFACE_PLAYER = 2,
    SURFACE_ENEMY = 3,
    SURFACE_PARTS = 4,
    SURFACE_TITLE = 5,
    SURFACE_FIXEDTEXT = 6,
    SURFACE_MASK = 7,
    SURFACE_WORK = 8,
    SURFACE_COUNT = 9,
};

extern const SurfaceSource surfaceSources[SURFACE_COUNT];
extern Surface surfaceTable[SURFACE_COUNT];

// What a lock yields besides the pixel pointer.
struct SurfaceDesc {
    int32_t width;
    int32_t height;
    int32_t pitch;
};

bool DDCreateSurface(Surface* surface, int32_t width, int32_t height, int32_t colorKey, int32_t memoryKind);
DisplayError DDLoadBitmapSurface(Surface* surface, const char* path, int32_t colorKey, int32_t bitsPerPixel,
                                 int32_t memoryKind);
bool DDCheckSurfaceError(DisplayError error);
bool DDCopyBitmap(Surface* surface, const char* path, int32_t bitsPerPixel);
bool DDReloadBitmap(Surface* surface, int32_t bitsPerPixel);
bool DDLockSurface(Surface* surface, SurfaceDesc* desc, uint8_t** pixels, int32_t bitsPerPixel);
void DDUnlockSurface(Surface* surface);
bool DDRestoreSurfaces();
// Releases a slot's surface object and empties it; the other fields keep their values.
void DDReleaseSurface(Surface* surface);
// Loads slot id from its source row at 8 bits per pixel, checked: false after tracing the error.
bool DDLoadTableSurface(SurfaceId id);
