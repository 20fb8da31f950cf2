// Memory-backed 8-bit surfaces and the raw blitter beneath the game's clipped copies.
#pragma once
#include <cstdint>

struct PlatformSurface {
    uint8_t* pixels;
    int32_t width;
    int32_t height;
    int32_t pitch;       // bytes per row, at least the width
    int32_t placement;   // 0 = video memory, 1 = system memory
    bool colorKeyed;     // source colour key set
    uint8_t colorKeyLow; // keyed copies skip source indices in low..high
    uint8_t colorKeyHigh;
    bool lost; // the platform took the memory away; Restore brings it back (contents undefined)
    int32_t lockCount;
};

// Faults the tests can switch on to walk the failure paths; all off by default.
struct PlatformSurfaceFaults {
    bool refuseVideoMemory;  // creation in video memory fails
    bool refuseSystemMemory; // creation in system memory fails
    bool refuseColorKey;
    bool refuseLock;
    bool refuseRestore;
    bool limitCreations; // when set, only creationsLeft more surfaces can be made
    int32_t creationsLeft;
};
extern PlatformSurfaceFaults platformSurfaceFaults;

// Placement 0 asks for video memory, 1 for system memory; other values ask for neither (video memory
// here). Null on failure.
PlatformSurface* PlatformCreateSurface(int32_t width, int32_t height, int32_t placement);
void PlatformReleaseSurface(PlatformSurface* surface);
bool PlatformSetColorKey(PlatformSurface* surface, uint8_t low, uint8_t high);
bool PlatformLockSurface(PlatformSurface* surface, uint8_t** pixels, int32_t* pitch);
void PlatformUnlockSurface(PlatformSurface* surface);
bool PlatformIsSurfaceLost(const PlatformSurface* surface);
bool PlatformRestoreSurface(PlatformSurface* surface);
// Surfaces created and not yet released (the display counts them as references at shut-down).
int32_t PlatformLiveSurfaceCount();

struct PlatformBlitRect {
    int32_t left, top, right, bottom;
};

// Result codes of the raw blitter: it clips nothing and refuses what does not fit.
constexpr int32_t BLIT_OK = 0;
constexpr int32_t BLIT_INVALID_RECT = -1;
constexpr int32_t BLIT_NO_SURFACE = -2;

int32_t PlatformColorFill(PlatformSurface* dest, const PlatformBlitRect& rect, uint8_t index);
// 1:1 copy of src to (x, y); keyed skips the source's colour-key range.
int32_t PlatformBltFast(PlatformSurface* dest, int32_t x, int32_t y, const PlatformSurface* src,
                        const PlatformBlitRect& srcRect, bool keyed);
// Scaled copy, nearest neighbour: each destination pixel takes the source pixel at its proportional place.
int32_t PlatformBltScaled(PlatformSurface* dest, const PlatformBlitRect& destRect, const PlatformSurface* src,
                          const PlatformBlitRect& srcRect, bool keyed);
// Swaps the memory of a flip chain: the first back buffer becomes visible, the rest move up one place.
void PlatformRotateFlipChain(PlatformSurface* const* chain, int32_t count);
