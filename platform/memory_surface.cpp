// Memory-backed 8-bit surfaces and the raw blitter beneath the game's clipped copies.
#include "platform/memory_surface.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

PlatformSurfaceFaults platformSurfaceFaults{};

namespace {
int32_t liveSurfaces = 0;

typedef uint8_t ByteBlock16 __attribute__((vector_size(16)));

bool RectInside(const PlatformBlitRect& r, const PlatformSurface* s) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= s->width &&
           r.bottom <= s->height;
}

// One row of a keyed copy, pixel by pixel from the left: the order matters when a surface is copied onto
// itself.
void CopyKeyedPixels(uint8_t* d, const uint8_t* s, int32_t w, uint8_t lo, uint8_t hi) {
    for (int32_t i = 0; i < w; ++i) {
        const uint8_t v = s[i];
        if (v < lo || v > hi) d[i] = v;
    }
}

// The same between two different surfaces, sixteen pixels at a time: every pixel of a block is written,
// keyed ones with the destination's own value. The full-screen mask is such a copy every frame.
void CopyKeyedBlocks(uint8_t* d, const uint8_t* s, int32_t w, uint8_t lo, uint8_t hi) {
    const auto span = static_cast<uint8_t>(hi - lo);
    int32_t i = 0;
    for (; i + 16 <= w; i += 16) {
        ByteBlock16 sv, dv;
        std::memcpy(&sv, s + i, 16);
        std::memcpy(&dv, d + i, 16);
        // In lo..hi exactly when v - lo, wrapping, is at most hi - lo.
        const auto keyed = reinterpret_cast<ByteBlock16>(static_cast<ByteBlock16>(sv - lo) <= span);
        const ByteBlock16 out = (dv & keyed) | (sv & ~keyed);
        std::memcpy(d + i, &out, 16);
    }
    CopyKeyedPixels(d + i, s + i, w - i, lo, hi);
}
} // namespace

PlatformSurface* PlatformCreateSurface(int32_t width, int32_t height, int32_t placement) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return nullptr;
    if (placement == 1 ? platformSurfaceFaults.refuseSystemMemory : platformSurfaceFaults.refuseVideoMemory)
        return nullptr;
    if (platformSurfaceFaults.limitCreations) {
        if (platformSurfaceFaults.creationsLeft <= 0) return nullptr;
        --platformSurfaceFaults.creationsLeft;
    }
    // Rows start on 16-byte boundaries, so the pitch is usually wider than the image.
    const int32_t pitch = (width + 15) & ~15;
    auto* surface = static_cast<PlatformSurface*>(std::calloc(1, sizeof(PlatformSurface)));
    if (!surface) return nullptr;
    surface->pixels = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(pitch) * height, 1));
    if (!surface->pixels) {
        std::free(surface);
        return nullptr;
    }
    surface->width = width;
    surface->height = height;
    surface->pitch = pitch;
    surface->placement = placement == 1 ? 1 : 0;
    ++liveSurfaces;
    return surface;
}

void PlatformReleaseSurface(PlatformSurface* surface) {
    if (!surface) return;
    std::free(surface->pixels);
    std::free(surface);
    --liveSurfaces;
}

int32_t PlatformLiveSurfaceCount() {
    return liveSurfaces;
}

bool PlatformSetColorKey(PlatformSurface* surface, uint8_t low, uint8_t high) {
    if (!surface || platformSurfaceFaults.refuseColorKey) return false;
    surface->colorKeyed = true;
    surface->colorKeyLow = low;
    surface->colorKeyHigh = high;
    return true;
}

bool PlatformLockSurface(PlatformSurface* surface, uint8_t** pixels, int32_t* pitch) {
    if (!surface || surface->lost || platformSurfaceFaults.refuseLock) return false;
    ++surface->lockCount;
    *pixels = surface->pixels;
    *pitch = surface->pitch;
    return true;
}

void PlatformUnlockSurface(PlatformSurface* surface) {
    if (surface && surface->lockCount > 0) --surface->lockCount;
}

bool PlatformIsSurfaceLost(const PlatformSurface* surface) {
    return surface && surface->lost;
}

bool PlatformRestoreSurface(PlatformSurface* surface) {
    if (!surface || platformSurfaceFaults.refuseRestore) return false;
    if (surface->lost) {
        // The memory comes back, its contents do not: show that with a recognisable pattern.
        std::memset(surface->pixels, 0xCD, static_cast<size_t>(surface->pitch) * surface->height);
        surface->lost = false;
    }
    return true;
}

int32_t PlatformColorFill(PlatformSurface* dest, const PlatformBlitRect& rect, uint8_t index) {
    if (!dest) return BLIT_NO_SURFACE;
    if (!RectInside(rect, dest)) return BLIT_INVALID_RECT;
    const size_t w = static_cast<size_t>(rect.right - rect.left);
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        std::memset(dest->pixels + static_cast<ptrdiff_t>(y) * dest->pitch + rect.left, index, w);
    return BLIT_OK;
}

int32_t PlatformBltFast(PlatformSurface* dest, int32_t x, int32_t y, const PlatformSurface* src,
                        const PlatformBlitRect& srcRect, bool keyed) {
    if (!dest || !src) return BLIT_NO_SURFACE;
    if (!RectInside(srcRect, src)) return BLIT_INVALID_RECT;
    const PlatformBlitRect destRect{x, y, x + (srcRect.right - srcRect.left),
                                    y + (srcRect.bottom - srcRect.top)};
    if (!RectInside(destRect, dest)) return BLIT_INVALID_RECT;
    const int32_t w = srcRect.right - srcRect.left;
    const bool useKey = keyed && src->colorKeyed;
    const uint8_t lo = src->colorKeyLow, hi = src->colorKeyHigh;
    // Two surfaces never share memory; only a copy onto itself can overlap (hence memmove, and the
    // pixel-by-pixel keyed copy). A key range with low above high keys nothing.
    const bool blocks = src->pixels != dest->pixels && lo <= hi;
    for (int32_t row = 0; row < srcRect.bottom - srcRect.top; ++row) {
        const uint8_t* s =
            src->pixels + static_cast<ptrdiff_t>(srcRect.top + row) * src->pitch + srcRect.left;
        uint8_t* d = dest->pixels + static_cast<ptrdiff_t>(y + row) * dest->pitch + x;
        if (!useKey)
            std::memmove(d, s, static_cast<size_t>(w));
        else if (blocks)
            CopyKeyedBlocks(d, s, w, lo, hi);
        else
            CopyKeyedPixels(d, s, w, lo, hi);
    }
    return BLIT_OK;
}

int32_t PlatformBltScaled(PlatformSurface* dest, const PlatformBlitRect& destRect, const PlatformSurface* src,
                          const PlatformBlitRect& srcRect, bool keyed) {
    if (!dest || !src) return BLIT_NO_SURFACE;
    if (!RectInside(srcRect, src) || !RectInside(destRect, dest)) return BLIT_INVALID_RECT;
    const int64_t dw = destRect.right - destRect.left, dh = destRect.bottom - destRect.top;
    const int64_t sw = srcRect.right - srcRect.left, sh = srcRect.bottom - srcRect.top;
    const bool useKey = keyed && src->colorKeyed;
    const uint8_t lo = src->colorKeyLow, hi = src->colorKeyHigh;
    for (int64_t row = 0; row < dh; ++row) {
        const int64_t sy = srcRect.top + row * sh / dh;
        const uint8_t* s = src->pixels + sy * src->pitch;
        uint8_t* d = dest->pixels + (destRect.top + row) * dest->pitch + destRect.left;
        for (int64_t col = 0; col < dw; ++col) {
            const uint8_t v = s[srcRect.left + col * sw / dw];
            if (!useKey || v < lo || v > hi) d[col] = v;
        }
    }
    return BLIT_OK;
}

void PlatformRotateFlipChain(PlatformSurface* const* chain, int32_t count) {
    if (count < 2) return;
    uint8_t* visible = chain[0]->pixels;
    for (int32_t i = 0; i + 1 < count; ++i)
        chain[i]->pixels = chain[i + 1]->pixels;
    chain[count - 1]->pixels = visible;
}
