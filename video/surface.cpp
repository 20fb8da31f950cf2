// Off-screen 8-bit surfaces: the nine-slot table, creation, bitmap loading, locks and restore.
#include "video/surface.h"

#include <cstddef>
#include <cstring>

#include "base/asset_paths.h"
#include "base/failure.h"
#include "base/trace.h"
#include "platform/file.h"
#include "platform/file_failure.h"
#include "video/bitmap_file.h"
#include "video/blit.h"
#include "video/display.h"
#include "video/palette.h"

const SurfaceSource surfaceSources[SURFACE_COUNT] = {
    {ASSET_TEXT, 1, MEMORY_VIDEO},      {ASSET_MAPCHIP, 0, MEMORY_VIDEO}, {ASSET_PLAYER, 1, MEMORY_VIDEO},
    {ASSET_ENEMY, 1, MEMORY_SYSTEM},    {ASSET_PARTS, 1, MEMORY_VIDEO},   {ASSET_TITLE, 0, MEMORY_VIDEO},
    {ASSET_FIXEDTEXT, 1, MEMORY_VIDEO}, {ASSET_MASK, 1, MEMORY_VIDEO},    {nullptr, 1, MEMORY_SYSTEM},
};

Surface surfaceTable[SURFACE_COUNT] = {};

namespace {
PlatformSurface* CreatePlatformSurface(int32_t width, int32_t height, int32_t* memoryKind) {
    PlatformSurface* created = PlatformCreateSurface(width, height, *memoryKind);
    if (created) return created;
    // Video memory may be full: fall back to system memory, once.
    if (*memoryKind == MEMORY_VIDEO) *memoryKind = MEMORY_SYSTEM;
    return PlatformCreateSurface(width, height, *memoryKind);
}

// Copies decoded indices into the surface, top row first. A bitmap larger than the surface (a file that
// grew on disk before a reload) is refused rather than written past the surface.
bool CopyBitmapInto(Surface* surface, const BitmapFile& bitmap) {
    if (!surface->surface || bitmap.width > surface->surface->width ||
        bitmap.height > surface->surface->height)
        return false;
    SurfaceDesc desc;
    uint8_t* pixels;
    if (DDLockSurface(surface, &desc, &pixels, 8)) {
        for (int32_t row = 0; row < bitmap.height; ++row)
            std::memcpy(pixels + static_cast<ptrdiff_t>(row) * desc.pitch,
                        &bitmap.pixels[static_cast<size_t>(row) * bitmap.width],
                        static_cast<size_t>(bitmap.width));
        DDUnlockSurface(surface);
    }
    surface->width = bitmap.width;
    surface->height = bitmap.height;
    return true;
}

// Every picture a scene or the start-up loads comes through here, so each failure names its file.
bool ReadPicture(const char* path, BitmapFile* bitmap) {
    if (ReadBitmapFile(path, bitmap)) return true;
    NoteFileFailure("the picture", path);
    return false;
}

bool CopyPicture(Surface* surface, const char* path, const BitmapFile& bitmap) {
    if (CopyBitmapInto(surface, bitmap)) return true;
    NoteFailure(("the picture " + PlatformNativePath(path) + " has grown since the game loaded it").c_str());
    return false;
}

void StorePath(Surface* surface, const char* path) {
    std::strncpy(surface->fileName, path, MAX_PATH - 1);
    surface->fileName[MAX_PATH - 1] = '\0';
}
} // namespace

bool DDCreateSurface(Surface* surface, int32_t width, int32_t height, int32_t colorKey, int32_t memoryKind) {
    int32_t kind = memoryKind;
    PlatformSurface* created = CreatePlatformSurface(width, height, &kind);
    if (!created) return false;
    if (colorKey == 1 && !PlatformSetColorKey(created, 0, 0)) {
        // Not kept half-made: the record stays as it was.
        PlatformReleaseSurface(created);
        return false;
    }
    // A slot is normally emptied before it is filled again; if not, the old object must not leak.
    DDReleaseSurface(surface);
    surface->surface = created;
    surface->width = width;
    surface->height = height;
    DDFillRect(surface, 0, 0, width, height, 0);
    surface->memoryKind = kind;
    return true;
}

DisplayError DDLoadBitmapSurface(Surface* surface, const char* path, int32_t colorKey, int32_t bitsPerPixel,
                                 int32_t memoryKind) {
    BitmapFile bitmap;
    if (!ReadPicture(path, &bitmap)) return LOADIMAGE_ERR;
    if (!DDCreateSurface(surface, bitmap.width, bitmap.height, colorKey, memoryKind)) {
        NoteFailure(("not enough memory for the picture " + PlatformNativePath(path)).c_str());
        return CREATESURFACE_ERR;
    }
    (void)bitsPerPixel; // every surface is 8-bit: indices are copied unchanged whatever depth is asked
    if (!CopyPicture(surface, path, bitmap)) return LOADIMAGE_ERR;
    StorePath(surface, path);
    // The requested kind, not the one used: a fallback surface is still reloaded from its file.
    surface->memoryKind = memoryKind;
    return DISPLAY_OK;
}

bool DDCheckSurfaceError(DisplayError error) {
    switch (error) {
    case CREATESURFACE_ERR:
        TraceLog("CREATESURFACE_ERR");
        return false;
    case LOADIMAGE_ERR:
        TraceLog("LOADIMAGE_ERR");
        return false;
    case SETCOLORKEY_ERR:
        TraceLog("SETCOLORKEY_ERR");
        return false;
    default:
        return true;
    }
}

bool DDCopyBitmap(Surface* surface, const char* path, int32_t) {
    BitmapFile bitmap;
    if (!ReadPicture(path, &bitmap)) return false;
    if (!CopyPicture(surface, path, bitmap)) return false;
    StorePath(surface, path);
    return true;
}

bool DDReloadBitmap(Surface* surface, int32_t) {
    BitmapFile bitmap;
    if (!ReadPicture(surface->fileName, &bitmap)) return false;
    return CopyPicture(surface, surface->fileName, bitmap);
}

bool DDLockSurface(Surface* surface, SurfaceDesc* desc, uint8_t** pixels, int32_t bitsPerPixel) {
    if (!surface || !surface->surface) return false;
    uint8_t* first;
    int32_t pitch;
    if (!PlatformLockSurface(surface->surface, &first, &pitch)) return false;
    desc->width = surface->surface->width;
    desc->height = surface->surface->height;
    desc->pitch = pitch;
    if (bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32) *pixels = first;
    return true;
}

void DDUnlockSurface(Surface* surface) {
    if (surface) PlatformUnlockSurface(surface->surface);
}

bool DDRestoreSurfaces() {
    if (!primarySurface.surface || !PlatformIsSurfaceLost(primarySurface.surface)) return true;
    DDRestoreDisplaySurfaces();
    for (Surface& slot : surfaceTable) {
        if (!slot.surface || !PlatformIsSurfaceLost(slot.surface)) continue;
        PlatformRestoreSurface(slot.surface);
        if (slot.memoryKind == MEMORY_VIDEO && !DDReloadBitmap(&slot, 8)) return false;
    }
    DDUploadWorkPalette(256);
    return true;
}

void DDReleaseSurface(Surface* surface) {
    if (!surface || !surface->surface) return;
    PlatformReleaseSurface(surface->surface);
    surface->surface = nullptr;
}

bool DDLoadTableSurface(SurfaceId id) {
    const SurfaceSource& source = surfaceSources[id];
    return DDCheckSurfaceError(
        DDLoadBitmapSurface(&surfaceTable[id], source.path, source.colorKey, 8, source.memoryKind));
}
